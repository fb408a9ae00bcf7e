#include "Language.h"

#include "SysUtils.h"

#include <windows.h>

int TLanguage::BaseForLanguageId(int langId)
{
    switch (langId) {
    case 1031: case 2055: case 3079: case 4103: case 5127:
        return German;
    case 1036: case 2060: case 3084: case 4108: case 5132:
        return French;
    case 1040: case 2064:
        return Italian;
    case 1041:
        return Japanese;
    case 1043: case 2067:
        return Dutch;
    default:
        break;
    }
    // Spanish: primary language 0x0A with the twenty sublanguages 1..20.
    if ((langId & 0x3FF) == LANG_SPANISH && (langId >> 10) >= 1 && (langId >> 10) <= 20) return Spanish;
    return English;
}

int TLanguage::Detect()
{
    BaseValue = BaseForLanguageId(GetUserDefaultLangID());
    // The Japanese texts must reach the controls as Shift-JIS whatever the
    // system's own code page is.
    SetStringCodePage(BaseValue == Japanese ? 932 : CP_ACP);
    return BaseValue;
}

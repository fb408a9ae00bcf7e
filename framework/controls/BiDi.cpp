#include "BiDi.h"

#include <windows.h>

bool SysLocaleMiddleEast()
{
    switch (PRIMARYLANGID(GetUserDefaultLangID())) {
    case LANG_ARABIC:
    case LANG_HEBREW:
    case LANG_FARSI:
    case LANG_URDU:
    case LANG_SYRIAC:
    case LANG_DIVEHI:
        return true;
    default:
        return false;
    }
}

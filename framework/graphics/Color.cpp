#include "Color.h"

#include "Component.h"
#include "Reader.h"

namespace {
struct ColorName {
    const char* Name;
    TColor Color;
};
const ColorName ColorNames[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen}, {"clSkyBlue", clSkyBlue}, {"clCream", clCream}, {"clMedGray", clMedGray},
    {"clNone", clNone}, {"clDefault", clDefault},
    {"clScrollBar", clScrollBar}, {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption}, {"clMenu", clMenu}, {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText}, {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText}, {"clActiveBorder", clActiveBorder}, {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace}, {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace}, {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText}, {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText}, {"clInfoBk", clInfoBk},
};
}  // namespace

COLORREF ColorToRGB(TColor color)
{
    if (color < 0) return GetSysColor(int(color & 0xFF));
    return COLORREF(color & 0xFFFFFF);
}

bool IdentToColor(const std::string& name, TColor& color)
{
    for (const ColorName& c : ColorNames)
        if (SameText(name, c.Name)) {
            color = c.Color;
            return true;
        }
    return false;
}

TColor ReadColor(TReader& reader)
{
    if (reader.Value().Kind == TValueKind::Integer) return TColor(reader.ReadInteger());
    std::string name = reader.ReadIdent();
    TColor color;
    if (!IdentToColor(name, color)) reader.Fail("unknown colour " + name);
    return color;
}

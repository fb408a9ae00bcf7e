#include "ShortCuts.h"

TShortCut ShortCut(WORD key, TShiftState shift)
{
    TShortCut result = TShortCut(key & 0xFF);
    if (shift & ssShift) result |= scShift;
    if (shift & ssCtrl) result |= scCtrl;
    if (shift & ssAlt) result |= scAlt;
    return result;
}

TShiftState KeyDataToShiftState(LPARAM keyData)
{
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (keyData & (LPARAM(1) << 29)) shift |= ssAlt;
    return shift;
}

TShortCut ShortCutFromKeyMessage(WPARAM key, LPARAM keyData)
{
    return ShortCut(WORD(key), KeyDataToShiftState(keyData));
}

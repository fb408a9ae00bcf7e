// Shortcuts from keys: a key code with a shift state, or a key message as
// the platform sends it, made into the menus' TShortCut (the text of one is
// ShortCutToText in Menu.h).
#pragma once

#include "Control.h"
#include "Menu.h"

// The key's code in the low byte plus the modifier bits of shift (Shift,
// Ctrl, Alt; the mouse buttons do not count).
TShortCut ShortCut(WORD key, TShiftState shift);
// The shift state of a key message: Shift and Ctrl as the keyboard has them
// now, Alt from the message's key data (bit 29), as WM_SYSKEYDOWN marks it.
TShiftState KeyDataToShiftState(LPARAM keyData);
// The shortcut a WM_KEYDOWN / WM_SYSKEYDOWN (key, keyData) stands for.
TShortCut ShortCutFromKeyMessage(WPARAM key, LPARAM keyData);

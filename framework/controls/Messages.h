// The framework's private window messages, all in one place.
//
// They live in 0xB100..0xB1FF (45312..45567), inside the application range
// (WM_APP = 0x8000) and clear of the numbers the skinned controls use:
// 1025, 1135, 1388..1390, 1591, 1592, 2234, 45278 and 45279.
//
// CM_ messages are notifications between framework controls. CN_ messages
// are the notifications a standard control sends to its parent window
// (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR..., WM_DRAWITEM, scrolling), sent
// back to the control itself so that it can handle its own notifications.
#pragma once

#include <windows.h>

constexpr UINT CM_BASE = 0xB100;

constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 2;       // Enabled changed
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 3;       // Visible changed; WParam: new value
constexpr UINT CM_TEXTCHANGED = CM_BASE + 4;          // Caption/Text changed
constexpr UINT CM_FONTCHANGED = CM_BASE + 5;          // Font changed
constexpr UINT CM_COLORCHANGED = CM_BASE + 6;         // Color changed
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 7;    // the parent's font changed (or ParentFont set)
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 8;
constexpr UINT CM_MOUSEENTER = CM_BASE + 9;           // the mouse came over the control (windowless too)
constexpr UINT CM_MOUSELEAVE = CM_BASE + 10;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 11;      // the window was shown or hidden
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 12;        // to a form and on to every control: LParam = the one focused
constexpr UINT CM_DIALOGKEY = CM_BASE + 13;           // a key the focused control left (Tab, Enter, Esc, arrows)
constexpr UINT CM_DIALOGCHAR = CM_BASE + 14;          // Alt+letter or letter for accelerators; Result 1: handled
constexpr UINT CM_ENTER = CM_BASE + 15;               // focus comes to the control
constexpr UINT CM_EXIT = CM_BASE + 16;                // focus leaves the control
constexpr UINT CM_RELEASE = CM_BASE + 17;             // posted by TForm::Release: free the form
constexpr UINT CM_HITTEST = CM_BASE + 18;             // windowless: is the point (LParam) on the control?
constexpr UINT CM_CANCELMODE = CM_BASE + 19;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 20;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 21;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 22;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 23;   // WParam: the control; LParam: 1 inserted, 0 removed
constexpr UINT CM_SYNCHRONIZE = CM_BASE + 24;         // to the application window: run waiting Synchronize calls
constexpr UINT CM_DEFERRED_CALL = CM_BASE + 25;       // to the application window: run a posted call

constexpr UINT CN_BASE = 0xB180;
constexpr UINT CN_COMMAND = CN_BASE + 0;
constexpr UINT CN_NOTIFY = CN_BASE + 1;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + 2;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + 3;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + 4;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + 5;
constexpr UINT CN_DRAWITEM = CN_BASE + 6;
constexpr UINT CN_MEASUREITEM = CN_BASE + 7;
constexpr UINT CN_HSCROLL = CN_BASE + 8;
constexpr UINT CN_VSCROLL = CN_BASE + 9;
constexpr UINT CN_KEYDOWN = CN_BASE + 10;             // sent before WM_KEYDOWN; Result 1: consumed
constexpr UINT CN_KEYUP = CN_BASE + 11;
constexpr UINT CN_CHAR = CN_BASE + 12;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + 13;
constexpr UINT CN_SYSCHAR = CN_BASE + 14;

static_assert(CN_SYSCHAR < 0xB200, "framework messages must stay in 0xB100..0xB1FF");

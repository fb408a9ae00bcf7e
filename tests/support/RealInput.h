// The real mouse and keyboard for window tests: input injected as the
// devices would give it (it reaches whatever window is under the pointer or
// has the focus, in the order the platform delivers it), and the message
// loop run until what it should cause has happened.
#pragma once

#include "Application.h"
#include "WinControl.h"

#include <windows.h>

#include <functional>

namespace RealInput {

// A point of a control's client area on the screen, as its window is placed.
inline POINT OnScreen(TWinControl* control, int x, int y)
{
    POINT p = {x, y};
    ::ClientToScreen(control->Handle(), &p);
    return p;
}

// The pointer moved to a screen point, with flags (MOUSEEVENTF_LEFTDOWN,
// ...) pressed or released there.
inline void SendMouse(DWORD flags, POINT p)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = LONG((p.x * 65535 + (width - 1) / 2) / (width - 1));
    input.mi.dy = LONG((p.y * 65535 + (height - 1) / 2) / (height - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

inline void MovePointer(POINT p)
{
    SendMouse(0, p);
}

// To the screen's bottom-right corner, away from every test's windows.
inline void PointerAway()
{
    const POINT corner = {GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2};
    SetCursorPos(corner.x, corner.y);
    MovePointer(corner);
}

inline void SendKey(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = WORD(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Pressed and released.
inline void TypeKey(WORD key)
{
    SendKey(key, false);
    SendKey(key, true);
}

inline void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        Application->ProcessMessages();
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

// False when done never came true within ms.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < ms) {
        Application->ProcessMessages();
        Sleep(5);
    }
    return done();
}

}  // namespace RealInput

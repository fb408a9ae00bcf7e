// A pixel of the screen as it shows now: for tests of windows that lie
// top-most on the test display.
#pragma once

#include <windows.h>

#include <cstdint>

inline COLORREF ScreenPixel(POINT p)
{
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    return c;
}

// The platform's colour as 0x00RRGGBB, the order the skin's colours use.
inline uint32_t ToRgb(COLORREF c)
{
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

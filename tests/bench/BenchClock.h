// Shared by the benchmarks: a millisecond clock and the wire's byte time.
#pragma once

#include <windows.h>

// 8N1 at 2400 baud: ten bits on the wire per byte.
constexpr double ByteMs = 10.0 * 1000.0 / 2400.0;

inline double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

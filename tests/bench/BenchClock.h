// Shared by the benchmarks: a millisecond clock, the wire's byte time and
// the summary of repeated timings.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

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

struct TTimes {
    double Median, Mean, Worst;
};

inline TTimes Summary(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times) sum += t;
    return {times[times.size() / 2], sum / double(times.size()), times.back()};
}

inline void Report(const char* what, const std::vector<double>& times)
{
    TTimes t = Summary(times);
    std::printf("%-52s median %6.2f ms, mean %6.2f ms, worst %6.2f ms (%zu)\n", what, t.Median, t.Mean, t.Worst,
                times.size());
}

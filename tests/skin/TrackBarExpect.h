// What the track bar tests expect, computed here in whole numbers: where a
// bar puts a position and which position a coordinate stands for. Side
// margin 9, a thumb 2 x half + 1 wide, its centre travelling the length
// less both margins and its width; halves round to even.
#pragma once

#include <algorithm>

namespace SkinTest {

// num / den rounded to nearest, ties to even (den > 0).
inline long long RoundHalfEven(long long num, long long den)
{
    long long q = num / den, r = num % den;
    if (r < 0) {
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1))) ++q;
    return q;
}

// The coordinate of v on a bar of the given length and range.
inline int Coord(long long v, long long min, long long max, int length, int half = 4)
{
    const long long u = length - 18 - (2 * half + 1);
    return 9 + half + int(RoundHalfEven((v - min) * u, max - min));
}

// The position coordinate c stands for: (c - 9 - half) x range / travel +
// min, rounded, then kept in the range.
inline int Pos(int c, int min, int max, int length, int half = 4)
{
    const long long u = length - 18 - (2 * half + 1);
    const long long v = RoundHalfEven((long long)(c - 9 - half) * (max - min) + (long long)min * u, u);
    return int(std::clamp<long long>(v, min, max));
}

}  // namespace SkinTest

// The rounding rules of the table conversions, each named after its rule.
#pragma once

#include <climits>
#include <cmath>

// Truncation toward zero, saturating at the limits of a 32-bit integer
// (the plain cast is undefined beyond them).
inline int TruncToInt(double x)
{
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return INT_MAX;
    if (x <= -2147483648.0) return INT_MIN;
    return static_cast<int>(x);
}

// A wide integer clamped to the limits of a 32-bit one.
inline int SaturatedInt(long long v)
{
    return static_cast<int>(v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : v);
}

// Round half away from zero, with the sign decided by a test of the caller's
// own (the conversions test the raw byte, not always the value itself).
inline int RoundHalfAway(double x, bool positive)
{
    return TruncToInt(positive ? x + 0.5 : x - 0.5);
}

inline int RoundHalfAway(double x) { return RoundHalfAway(x, x > 0); }

// +1 for v > 0, -1 otherwise (v = 0 never reaches the pack formulas).
inline int Sgn(double v) { return v > 0 ? 1 : -1; }

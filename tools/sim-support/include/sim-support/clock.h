// Monotonic time for the simulators (CLOCK_MONOTONIC, so wall-clock steps
// never disturb pacing or time-outs).
#pragma once

#include <cstdint>
#include <ctime>

namespace simsupport {

timespec monoNow();
int64_t monoNowNs();
timespec addNs(timespec t, int64_t ns);
int64_t diffNs(const timespec& later, const timespec& earlier);
int64_t toNs(const timespec& t);
timespec fromNs(int64_t ns);

}  // namespace simsupport

#include "sim-support/clock.h"

namespace simsupport {

namespace {
constexpr int64_t kNsPerSec = 1000000000LL;
}

timespec monoNow() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t;
}

int64_t monoNowNs() { return toNs(monoNow()); }

timespec addNs(timespec t, int64_t ns) {
  int64_t total = static_cast<int64_t>(t.tv_nsec) + ns;
  int64_t sec = total / kNsPerSec;
  int64_t rem = total % kNsPerSec;
  if (rem < 0) {
    rem += kNsPerSec;
    sec -= 1;
  }
  t.tv_sec += static_cast<time_t>(sec);
  t.tv_nsec = static_cast<long>(rem);
  return t;
}

int64_t diffNs(const timespec& later, const timespec& earlier) {
  return (static_cast<int64_t>(later.tv_sec) - earlier.tv_sec) * kNsPerSec +
         (static_cast<int64_t>(later.tv_nsec) - earlier.tv_nsec);
}

int64_t toNs(const timespec& t) { return static_cast<int64_t>(t.tv_sec) * kNsPerSec + t.tv_nsec; }

timespec fromNs(int64_t ns) { return addNs(timespec{}, ns); }

}  // namespace simsupport

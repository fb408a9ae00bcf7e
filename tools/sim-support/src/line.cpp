#include "sim-support/line.h"

namespace simsupport {

namespace {
constexpr int64_t kNsPerSec = 1000000000LL;
}

speed_t LineFormat::speed() const {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}

int64_t LineClock::firstByteAt(int64_t requestReadNs, int processingDelayUs) const {
  return requestReadNs + byteNs() + static_cast<int64_t>(processingDelayUs) * 1000;
}

int64_t LineClock::byteAt(int64_t firstNs, size_t k) const {
  return firstNs + static_cast<int64_t>(k) * format_.bitsPerByte() * kNsPerSec / format_.baud;
}

size_t LineClock::bytesDue(int64_t firstNs, int64_t nowNs) const {
  if (nowNs < firstNs) return 0;
  // byteAt(k) <= now  <=>  k * bits * 1e9 / baud < now - first + 1; wide,
  // as an answer the host never reads may stay due for days.
  const __int128 span = static_cast<__int128>(nowNs - firstNs + 1) * format_.baud - 1;
  return static_cast<size_t>(span / (static_cast<__int128>(format_.bitsPerByte()) * kNsPerSec)) + 1;
}

}  // namespace simsupport

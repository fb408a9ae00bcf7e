// The serial line a simulated device sits on: its speed and framing, and
// where each byte of an answer stands on it.
#pragma once

#include <termios.h>

#include <cstddef>
#include <cstdint>

namespace simsupport {

// Eight data bits, no parity; one start bit and one or two stop bits.
struct LineFormat {
  int baud = 9600;
  int stopBits = 1;

  int bitsPerByte() const { return 1 + 8 + stopBits; }
  // The termios speed for the baud rate; B0 for a rate termios does not name.
  speed_t speed() const;
};

// Byte times at a line format, in monotonic nanoseconds. Every byte of an
// answer has an absolute place computed from the first, so rounding never
// accumulates over a long answer.
class LineClock {
 public:
  explicit LineClock(LineFormat format) : format_(format) {}

  // One byte time, rounded down.
  int64_t byteNs() const { return byteAt(0, 1); }
  // When the first byte of an answer is due: the request byte takes one
  // byte time on the line before the device has it, then it thinks for
  // processingDelayUs.
  int64_t firstByteAt(int64_t requestReadNs, int processingDelayUs) const;
  // Byte k of an answer whose first byte is due at firstNs.
  int64_t byteAt(int64_t firstNs, size_t k) const;
  // How many bytes of that answer are due by nowNs: those with byteAt <= nowNs.
  size_t bytesDue(int64_t firstNs, int64_t nowNs) const;

 private:
  LineFormat format_;
};

}  // namespace simsupport

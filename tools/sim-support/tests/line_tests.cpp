// Byte times on the line: where every byte of an answer stands.
#include <gtest/gtest.h>

#include "sim-support/line.h"

using namespace simsupport;

namespace {

constexpr int64_t kSec = 1000000000LL;
const LineFormat k2400{2400, 1};   // 8N1: ten bits a byte
const LineFormat k38400{38400, 2};  // 8N2: eleven

TEST(LineFormat, BitsAndSpeed) {
  EXPECT_EQ(k2400.bitsPerByte(), 10);
  EXPECT_EQ(k38400.bitsPerByte(), 11);
  EXPECT_EQ(k2400.speed(), static_cast<speed_t>(B2400));
  EXPECT_EQ(k38400.speed(), static_cast<speed_t>(B38400));
  EXPECT_EQ((LineFormat{12345, 1}.speed()), static_cast<speed_t>(B0));
}

TEST(LineClock, ByteTimeRoundsDown) {
  EXPECT_EQ(LineClock(k2400).byteNs(), 4166666);   // 1/240 s
  EXPECT_EQ(LineClock(k38400).byteNs(), 286458);   // 11/38400 s
}

TEST(LineClock, FirstByteAfterTheRequestsByteTimeAndTheDelay) {
  const LineClock clock(k2400);
  EXPECT_EQ(clock.firstByteAt(5 * kSec, 1000), 5 * kSec + 4166666 + 1000000);
  EXPECT_EQ(clock.firstByteAt(5 * kSec, 0), 5 * kSec + 4166666);
}

TEST(LineClock, PlacesDoNotAccumulateRounding) {
  const LineClock clock(k2400);
  const int64_t first = 7 * kSec + 123;
  // 240 rounded-down byte times would fall 160 ns short of the second.
  EXPECT_EQ(clock.byteAt(first, 240), first + kSec);
  EXPECT_EQ(clock.byteAt(first, 288), first + 288 * kSec / 240);
  EXPECT_EQ(LineClock(k38400).byteAt(first, 38400), first + 11 * kSec);
}

TEST(LineClock, BytesDueAreThoseWhosePlaceHasCome) {
  for (const LineFormat& f : {k2400, k38400}) {
    const LineClock clock(f);
    const int64_t first = 3 * kSec + 17;
    EXPECT_EQ(clock.bytesDue(first, first - 1), 0u);
    for (size_t k = 0; k < 2000; ++k) {
      const int64_t at = clock.byteAt(first, k);
      ASSERT_EQ(clock.bytesDue(first, at - 1), k) << f.baud << " byte " << k;
      ASSERT_EQ(clock.bytesDue(first, at), k + 1) << f.baud << " byte " << k;
    }
  }
}

TEST(LineClock, AnAnswerDueForDaysStillCounts) {
  const LineClock clock(LineFormat{115200, 1});
  const int64_t days = 3 * 24 * 3600 * kSec;
  EXPECT_EQ(clock.bytesDue(kSec, kSec + days), 3u * 24 * 3600 * 11520 + 1);
}

}  // namespace

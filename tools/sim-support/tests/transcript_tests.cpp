#include <gtest/gtest.h>

#include "sim-support/transcript.h"

using namespace simsupport;

namespace {

TEST(Transcript, RepliesWithEveryTokenOldestFirst) {
  Transcript t;
  EXPECT_EQ(t.reply(), "ok");
  t.add("82");
  t.add("8:288");
  EXPECT_EQ(t.reply(), "ok 82 8:288");
  t.clear();
  EXPECT_TRUE(t.empty());
  EXPECT_EQ(t.reply(), "ok");
}

TEST(Transcript, DropsTheOldestBeyondTheCap) {
  Transcript t;
  for (size_t i = 0; i < Transcript::kCap + 5; ++i) t.add(std::to_string(i));
  EXPECT_EQ(t.size(), Transcript::kCap);
  EXPECT_EQ(*t.begin(), "5");
  EXPECT_EQ(*(t.end() - 1), std::to_string(Transcript::kCap + 4));
}

}  // namespace

// The handheld's answers, byte by byte, without a serial line.
#include <gtest/gtest.h>

#include "handheld.h"

using namespace lindrow;

namespace {

constexpr int64_t kMs = 1000000;

std::vector<uint8_t> record(int seed) {
  std::vector<uint8_t> r(kRecordLen);
  for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint8_t>(i * 13 + seed);
  return r;
}

// The bytes of a whole record fed in; the answer to its last byte.
std::vector<uint8_t> feed(Handheld& h, const std::vector<uint8_t>& bytes, int64_t at) {
  std::vector<uint8_t> answer;
  for (size_t i = 0; i < bytes.size(); ++i) {
    answer = h.receive(bytes[i], at);
    if (i + 1 < bytes.size()) EXPECT_TRUE(answer.empty()) << i;
  }
  return answer;
}

std::string transcript(const Handheld& h) {
  std::string s;
  for (const auto& t : h.transcript) s += (s.empty() ? "" : " ") + t;
  return s;
}

TEST(Handheld, AnswersTheProbe) {
  Handheld h;
  auto a = h.receive('M', 0);
  EXPECT_EQ(std::string(a.begin(), a.end()), "LWES");
  EXPECT_EQ(transcript(h), "M");
}

TEST(Handheld, EchoesThenTakesTheRecordAndSendsItBack) {
  Handheld h;
  EXPECT_EQ(h.receive('P', 0), std::vector<uint8_t>{'P'});
  EXPECT_TRUE(h.receiving());
  auto r = record(1);
  EXPECT_EQ(feed(h, r, kMs), r);
  EXPECT_FALSE(h.receiving());
  ASSERT_EQ(h.records.size(), 1u);
  EXPECT_EQ(h.records[0], r);
  EXPECT_EQ(transcript(h), "P record:1890");
  // Record bytes are data, even when they look like requests.
  h.clear();
  h.receive('P', 2 * kMs);
  std::vector<uint8_t> probes(kRecordLen, 'M');
  EXPECT_EQ(feed(h, probes, 3 * kMs), probes);
  EXPECT_EQ(transcript(h), "P record:1890");
}

TEST(Handheld, TheEchoByteCanBeAnyByte) {
  Handheld h;
  h.echoByte = 0;
  EXPECT_EQ(h.receive('P', 0), std::vector<uint8_t>{0});
}

TEST(Handheld, OtherBytesAreIgnored) {
  Handheld h;
  for (uint8_t b : {uint8_t('R'), uint8_t('D'), uint8_t(0), uint8_t(6)}) EXPECT_TRUE(h.receive(b, 0).empty());
  EXPECT_EQ(transcript(h), "82 68 0 6");
  EXPECT_FALSE(h.receiving());
}

TEST(Handheld, SilenceAnswersNothing) {
  Handheld h;
  h.fault.kind = FaultKind::Silence;
  EXPECT_TRUE(h.receive('M', 0).empty());
  EXPECT_TRUE(h.receive('P', 0).empty());
  EXPECT_FALSE(h.receiving());
  EXPECT_EQ(transcript(h), "M P");
}

TEST(Handheld, NoEchoAnswersTheProbeOnly) {
  Handheld h;
  h.fault.kind = FaultKind::NoEcho;
  EXPECT_EQ(h.receive('M', 0).size(), 4u);
  EXPECT_TRUE(h.receive('P', 0).empty());
  EXPECT_FALSE(h.receiving());
}

TEST(Handheld, ACorruptRecordDiffersInOneByte) {
  Handheld h;
  h.fault = {FaultKind::Corrupt, 100, false};
  h.receive('P', 0);
  auto r = record(2);
  auto a = feed(h, r, 0);
  ASSERT_EQ(a.size(), r.size());
  for (size_t i = 0; i < r.size(); ++i) EXPECT_EQ(a[i], i == 100 ? uint8_t(r[i] ^ 0xFF) : r[i]) << i;
  // What was received is kept as received.
  EXPECT_EQ(h.records.back(), r);
}

TEST(Handheld, AShortRecordSendsBackItsStart) {
  Handheld h;
  h.fault = {FaultKind::Short, 1000, true};
  h.receive('P', 0);
  auto r = record(3);
  auto a = feed(h, r, 0);
  EXPECT_EQ(a, std::vector<uint8_t>(r.begin(), r.begin() + 1000));
  // A once fault is used up.
  EXPECT_EQ(h.fault.kind, FaultKind::None);
  h.receive('P', 0);
  EXPECT_EQ(feed(h, r, 0), r);
}

TEST(Handheld, AStalledRecordIsDroppedAndTheNextByteIsARequest) {
  Handheld h;
  h.receive('P', 0);
  for (int i = 0; i < 100; ++i) h.receive(1, 10 * kMs);
  EXPECT_EQ(h.deadline(), 10 * kMs + 1000 * kMs + 1);
  EXPECT_FALSE(h.expire(500 * kMs));
  EXPECT_TRUE(h.receiving());
  // A probe long after: the record is given up, the probe answered.
  auto a = h.receive('M', 2000 * kMs);
  EXPECT_EQ(a.size(), 4u);
  EXPECT_TRUE(h.records.empty());
  EXPECT_EQ(transcript(h), "P record:100! M");
  h.receive('P', 3000 * kMs);
  EXPECT_TRUE(h.expire(4001 * kMs + 1));
  EXPECT_FALSE(h.receiving());
  EXPECT_EQ(h.deadline(), -1);
}

TEST(Handheld, ResetForgetsFaultsAndRecords) {
  Handheld h;
  h.fault.kind = FaultKind::Silence;
  h.echoByte = 7;
  h.receive('P', 0);
  h.reset();
  EXPECT_EQ(h.fault.kind, FaultKind::None);
  EXPECT_EQ(h.echoByte, 'P');
  EXPECT_TRUE(h.transcript.empty());
  EXPECT_EQ(h.receive('M', 0).size(), 4u);
}

}  // namespace

// The controller model on its own: layouts, defaults and live arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "model.h"

using namespace gantrel;

namespace {

uint16_t word(const std::vector<uint8_t>& r, size_t at) { return static_cast<uint16_t>(r[at] | (r[at + 1] << 8)); }

double hostRpm(uint16_t period, int multiplier, int divisor) {
  // How the tool turns the period into an engine speed.
  double p = period == 0 ? 1 : period;
  return 250000.0 / (p * multiplier) * 60.0 / divisor;
}

}  // namespace

TEST(Commands, DecodeEveryByteRange) {
  EXPECT_EQ(decodeCommand('R').kind, CmdKind::Identify);
  EXPECT_EQ(decodeCommand('D').kind, CmdKind::IdentifyOld);
  EXPECT_EQ(decodeCommand('I').kind, CmdKind::Info);
  for (int n = 0; n < 6; ++n) {
    EXPECT_EQ(decodeCommand(static_cast<uint8_t>(n)).kind, CmdKind::ReadTable);
    EXPECT_EQ(decodeCommand(static_cast<uint8_t>(n + 6)).kind, CmdKind::WriteTable);
    EXPECT_EQ(decodeCommand(static_cast<uint8_t>(n + 6)).payload, 288u);
    EXPECT_EQ(decodeCommand(static_cast<uint8_t>(n + 12)).kind, CmdKind::ReadBlock);
    EXPECT_EQ(decodeCommand(static_cast<uint8_t>(n + 18)).kind, CmdKind::WriteBlock);
    EXPECT_EQ(decodeCommand(static_cast<uint8_t>(n + 18)).payload, 224u);
    EXPECT_EQ(decodeCommand(static_cast<uint8_t>(n + 18)).index, n);
  }
  EXPECT_EQ(decodeCommand(24).kind, CmdKind::Unknown);
  EXPECT_EQ(decodeCommand(200).kind, CmdKind::Unknown);
}

TEST(Commands, Generations) {
  for (int v = '1'; v <= '6'; ++v) EXPECT_TRUE(isDGeneration(v));
  EXPECT_TRUE(isDGeneration(99));
  for (int v : {0, 1, 2, 48, 55, 100, 105, 148}) EXPECT_FALSE(isDGeneration(v));
}

TEST(Model, DefaultTablesAreDistinctAndNearNoChange) {
  ControllerModel m;
  std::set<std::vector<uint8_t>> seen;
  for (int n = 0; n < kTableCount; ++n) {
    std::vector<uint8_t> t(m.tables[n].begin(), m.tables[n].end());
    seen.insert(t);
    for (size_t i = 8; i < kTableLen; ++i) {
      EXPECT_GE(t[i], 120);
      EXPECT_LE(t[i], 142);
    }
  }
  EXPECT_EQ(seen.size(), 6u);
  EXPECT_EQ(m.tables[0][0], 128 + 1 + (31 % 16) - 8);
  EXPECT_EQ(m.tables[4][7], 11);  // O2 setting
  EXPECT_EQ(m.tables[4][0], 5);
  EXPECT_EQ(m.tables[4][3], 128);
}

TEST(Model, DefaultCalibrationBlock) {
  ControllerModel m;
  const auto& b = m.blocks[0];
  const int expect[] = {26, 30, 36, 46, 67, 107, 148, 188, 229};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(b[i], expect[i]) << i;
  EXPECT_EQ(b[9], 87);
  EXPECT_EQ(b[10], 128);
  EXPECT_EQ(b[11], 168);
  EXPECT_EQ(b[12], 209);
  EXPECT_EQ(b[14], 2);
  for (int i = 15; i <= 18; ++i) EXPECT_EQ(b[i], 128);
  EXPECT_EQ(b[20], 4);
  EXPECT_EQ(b[21], 2);
}

TEST(Model, HardwareInfoBlock) {
  ControllerModel m;
  const auto& b = m.blocks[1];
  auto word = [&](int i) {
    return static_cast<uint32_t>(b[4 * i] | (b[4 * i + 1] << 8) | (b[4 * i + 2] << 16)) |
           (static_cast<uint32_t>(b[4 * i + 3]) << 24);
  };
  // Stored with the tool's keys.
  EXPECT_EQ(word(0) ^ 0x5A3C96E1u, 20517u);
  EXPECT_EQ(word(1) ^ 0x1F2E3D4Cu, 1187u);
  EXPECT_EQ(word(2) ^ 0xC3A5F00Fu, 3u);
  EXPECT_EQ(word(3) ^ 0x7B19E2D4u, 43538u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[16]), 10), "Assembled ");
  EXPECT_EQ(b[215], 0);
  const uint32_t words[4] = {1, 2, 3, 4}, keys[4] = {0x10, 0x20, 0x30, 0x40};
  m.setHardwareInfo(words, keys);
  EXPECT_EQ(b[0], 0x11);
  EXPECT_EQ(b[4], 0x22);
  EXPECT_EQ(b[12], 0x44);
}

TEST(Model, InfoHeaderFollowsVersionAndTextLength) {
  ControllerModel m(2, 0x41, 1);
  auto r = m.infoReply();
  ASSERT_GE(r.size(), 16u);
  EXPECT_EQ(r[1], 2);
  EXPECT_EQ(r[3], 112);
  EXPECT_EQ(r[4], 1);
  EXPECT_EQ(r[15], r.size() - 16);
  EXPECT_EQ(std::string(r.begin() + 16, r.end()), ControllerModel::defaultInfoText());
  m.infoLenOverride = 200;
  EXPECT_EQ(m.infoReply()[15], 200);
  EXPECT_EQ(m.infoReply().size(), r.size());  // the text itself is not padded
}

TEST(Model, RReplyLayout) {
  ControllerModel m(105, 0xE1, 3);
  auto r = m.replyR(1.0);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[2], 0xE1);
  EXPECT_EQ(r[13], 105);
  EXPECT_EQ(r[5], 11);
  const EngineState e = m.engineAt(1.0);
  EXPECT_EQ(word(r, 3), e.period);
  EXPECT_EQ(r[12], e.tpRaw);
  EXPECT_NEAR(hostRpm(e.period, 1, 1), e.rpm, e.rpm * 0.002);
  EXPECT_EQ(r[8], m.tables[0][e.column * 32 + e.cell]);
  EXPECT_EQ(r[7], m.tables[1][e.column * 32 + e.cell]);
  // Duty cycle as the tool computes it stays a sensible percentage.
  double duty = (r[14] * 100 + r[15] * 25600) / m.outputDivisor() / static_cast<double>(e.period);
  EXPECT_GE(duty, 0.0);
  EXPECT_LE(duty, 100.0);
}

TEST(Model, VersionTwoReportsTablePositionAndUsesItsTables) {
  ControllerModel m(2, 0x01, 3);
  m.blocks[3][7] = 2;
  auto r = m.replyR(2.0);
  EXPECT_EQ(r[0], 2);
  const EngineState e = m.engineAt(2.0);
  EXPECT_EQ(r[8], m.tables[2][e.column * 32 + e.cell]);
  EXPECT_EQ(r[7], m.tables[5][e.column * 32 + e.cell]);
}

TEST(Model, PeriodMatchesTheToolsSpeedFormulaPerVersion) {
  for (int v : {0, 1, 2, 49, 50, 99, 100, 105, 148}) {
    ControllerModel m(v, 0xE1, 1);
    m.pins.rpm = 3000;
    const EngineState e = m.engineAt(0.5);
    EXPECT_NEAR(hostRpm(e.period, m.periodMultiplier(), m.rpmDivisor()), 3000.0, 3.0) << v;
  }
  ControllerModel two(2, 0, 1);
  two.infoHeaderSet = true;
  two.infoHeaderBytes[4] = 3;
  two.pins.rpm = 3000;
  EXPECT_EQ(two.periodMultiplier(), 3);
  EXPECT_NEAR(hostRpm(two.engineAt(0).period, 3, 1), 3000.0, 5.0);
  ControllerModel stopped(105, 0, 1);
  stopped.pins.rpm = 0;
  EXPECT_EQ(stopped.engineAt(0).period, 0xFFFF);  // reads as a speed below 500
}

TEST(Model, DReplyLayout) {
  ControllerModel m('2', 0, 5);
  auto d = m.replyD(3.0);
  ASSERT_EQ(d.size(), 11u);
  EXPECT_EQ(d[10], '2');
  const EngineState e = m.engineAt(3.0);
  EXPECT_EQ(word(d, 0), e.period);
  EXPECT_EQ(d[9], e.tpRaw);
  for (int w = 0; w < 4; ++w) EXPECT_EQ(d[5 - w], m.tables[w][e.column * 32 + e.cell]) << w;
  // Throttle stays within this model's closed/open readings.
  EXPECT_GE(e.tpRaw, 56);
  EXPECT_LE(e.tpRaw, 213);
}

TEST(Model, LiveValuesSweepAndAreDeterministic) {
  ControllerModel a(105, 0xE1, 11), b(105, 0xE1, 11), c(105, 0xE1, 12);
  std::set<uint16_t> periods;
  std::set<int> tps;
  double lo = 1e9, hi = 0;
  for (int i = 0; i < 400; ++i) {
    double t = i * 0.1;
    EXPECT_EQ(a.replyR(t), b.replyR(t));
    EngineState e = a.engineAt(t);
    periods.insert(e.period);
    tps.insert(e.tpRaw);
    lo = std::min(lo, e.rpm);
    hi = std::max(hi, e.rpm);
    EXPECT_GE(e.tpRaw, 26);
    EXPECT_LE(e.tpRaw, 229);
  }
  EXPECT_GT(periods.size(), 100u);
  EXPECT_GT(tps.size(), 50u);
  EXPECT_LT(lo, 1500);
  EXPECT_GT(hi, 8500);
  EXPECT_NE(a.replyR(5.0), c.replyR(5.0));
}

TEST(Model, ThrottleFollowsWrittenCalibration) {
  ControllerModel m(105, 0xE1, 1);
  m.blocks[0][0] = 100;
  m.blocks[0][8] = 120;
  for (int i = 0; i < 50; ++i) {
    EngineState e = m.engineAt(i * 0.37);
    EXPECT_GE(e.tpRaw, 100);
    EXPECT_LE(e.tpRaw, 120);
  }
}

TEST(Model, PinsOverrideComputedBytes) {
  ControllerModel m(105, 0xE1, 1);
  m.pins.r[3] = 0;
  m.pins.r[4] = 0;
  m.pins.d[9] = 77;
  m.pins.tp = 200;
  auto r = m.replyR(1.0);
  EXPECT_EQ(r[3], 0);
  EXPECT_EQ(r[4], 0);
  EXPECT_EQ(r[12], 200);
  EXPECT_EQ(m.replyD(1.0)[9], 77);
  m.pins.clear();
  EXPECT_NE(word(m.replyR(1.0), 3), 0);
}

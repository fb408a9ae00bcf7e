// The simulator over its pty, driven the way the tool drives a controller.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>

#include "test_util.h"
#include "util.h"

using namespace gantrel;
using namespace gantrel::testing_support;

namespace {

std::vector<uint8_t> pattern(size_t n, int seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + seed);
  return v;
}

// The command byte followed by its payload.
std::vector<uint8_t> withCommand(int cmd, const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> v(payload.size() + 1);
  v[0] = static_cast<uint8_t>(cmd);
  std::copy(payload.begin(), payload.end(), v.begin() + 1);
  return v;
}

std::vector<uint8_t> hexOf(const std::string& okReply) {
  std::vector<uint8_t> v;
  if (okReply.rfind("ok ", 0) != 0 || !fromHex(okReply.substr(3), &v)) v.clear();
  return v;
}

}  // namespace

using Serial = SimTest;

TEST_F(Serial, IdentifyReplyOfDefaultUnit) {
  auto r = host_.ask('R', 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[13], 105);
  EXPECT_EQ(r[2], 0xE1);
  EXPECT_NE(r[3] | (r[4] << 8), 0);
  // Nothing follows the 16 bytes.
  EXPECT_TRUE(host_.read(1, 150).empty());
}

TEST_F(Serial, IdentifyReplyCarriesVersionAndFlagsSetAtRunTime) {
  for (int v : {0, 1, 2, 100, 104, 148}) {
    ctlOk("version " + std::to_string(v));
    ctlOk("flags 0x41");
    auto r = host_.ask('R', 16);
    ASSERT_EQ(r.size(), 16u) << v;
    EXPECT_EQ(r[13], v);
    EXPECT_EQ(r[2], 0x41);
  }
}

TEST_F(Serial, VersionTwoReportsTablePositionFromBlockThree) {
  ctlOk("version 2");
  auto block = hexOf(ctl("block 3"));
  ASSERT_EQ(block.size(), 224u);
  block[7] = 2;
  host_.purge();
  const auto cmd = withCommand(21, block);
  ASSERT_TRUE(host_.send(cmd));
  host_.settle();
  auto r = host_.ask('R', 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[0], 2);
  EXPECT_EQ(r[13], 2);
}

TEST_F(Serial, OldUnitsAnswerOnlyD) {
  for (int v : {int('1'), int('2'), int('6'), 99}) {
    ctlOk("version " + std::to_string(v));
    EXPECT_TRUE(host_.ask('R', 16, 250).empty()) << v;
    auto d = host_.ask('D', 11);
    ASSERT_EQ(d.size(), 11u) << v;
    EXPECT_EQ(d[10], v);
    EXPECT_TRUE(host_.ask('I', 16, 150).empty()) << v;
  }
}

TEST_F(Serial, NewerUnitsIgnoreDUnlessTold) {
  EXPECT_TRUE(host_.ask('D', 11, 250).empty());
  ctlOk("dsilent off");
  auto d = host_.ask('D', 11);
  ASSERT_EQ(d.size(), 11u);
  EXPECT_EQ(d[10], 105);
  ctlOk("dsilent auto");
  ctlOk("rsilent on");
  EXPECT_TRUE(host_.ask('R', 16, 250).empty());
  ctlOk("rsilent auto");
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
}

TEST_F(Serial, LiveValuesChangeOverTime) {
  auto a = host_.ask('R', 16);
  usleep(400000);
  auto b = host_.ask('R', 16);
  ASSERT_EQ(a.size(), 16u);
  ASSERT_EQ(b.size(), 16u);
  EXPECT_TRUE(a[3] != b[3] || a[4] != b[4] || a[12] != b[12]);
}

TEST_F(Serial, PinnedLiveBytes) {
  ctlOk("live r3 0");
  ctlOk("live r4 0");
  ctlOk("live tp 123");
  EXPECT_EQ(ctl("live"), "ok r3=0 r4=0 tp=123");
  auto r = host_.ask('R', 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[3], 0);
  EXPECT_EQ(r[4], 0);
  EXPECT_EQ(r[12], 123);
  ctlOk("live r3 free");
  ctlOk("live rpm 0");
  r = host_.ask('R', 16);
  EXPECT_EQ(r[3], 0xFF);
  EXPECT_EQ(r[4], 0);
  ctlOk("live free");
  EXPECT_EQ(ctl("live"), "ok");
  ctlOk("version 50");
  ctlOk("live d10 99");
  auto d = host_.ask('D', 11);
  ASSERT_EQ(d.size(), 11u);
  EXPECT_EQ(d[10], 99);
}

TEST_F(Serial, TableWriteThenReadBack) {
  for (int n = 0; n < 6; ++n) {
    const auto data = pattern(288, n * 31 + 1);
    host_.purge();
    const auto cmd = withCommand(static_cast<uint8_t>(n + 6), data);
    ASSERT_TRUE(host_.send(cmd));
    EXPECT_TRUE(host_.read(1, 100).empty());  // writes have no reply (and the wait lets the payload through)
    auto back = host_.ask(static_cast<uint8_t>(n), 288);
    EXPECT_EQ(back, data) << n;
    EXPECT_EQ(hexOf(ctl("table " + std::to_string(n))), data);
  }
}

// A table write's 288 bytes are in 1.2 s after its command on the line;
// storing 300 ms then leaves table and block reads unanswered until 1.5 s.
TEST_F(Serial, StoringLeavesReadsUnansweredForAWhileAfterATableWrite) {
  EXPECT_EQ(ctl("storing"), "ok 0");
  ctlOk("storing 300");
  const auto data = pattern(288, 9);
  host_.purge();
  const timespec t0 = monoNow();
  ASSERT_TRUE(host_.send(withCommand(6, data)));
  host_.settle();
  while (secondsSince(t0) < 1.3) usleep(5000);
  EXPECT_TRUE(host_.ask(0, 288, 100).empty());
  EXPECT_TRUE(host_.ask(12, 224, 50).empty());
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
  while (secondsSince(t0) < 1.6) usleep(5000);
  EXPECT_EQ(host_.ask(0, 288), data);
  EXPECT_EQ(ctl("transcript"), "ok 6:288 0 12 82 0");
}

TEST_F(Serial, ZeroTableWrittenAsAtIdentification) {
  host_.purge();
  std::vector<uint8_t> cmd(289, 0);
  cmd[0] = 8;  // table 2
  ASSERT_TRUE(host_.send(cmd));
  host_.settle();
  auto back = host_.ask(2, 288);
  EXPECT_EQ(back, std::vector<uint8_t>(288, 0));
}

TEST_F(Serial, BlockWriteThenReadBack) {
  for (int n = 0; n < 6; ++n) {
    const auto data = pattern(224, n * 13 + 5);
    host_.purge();
    const auto cmd = withCommand(static_cast<uint8_t>(n + 18), data);
    ASSERT_TRUE(host_.send(cmd));
    host_.settle();
    auto back = host_.ask(static_cast<uint8_t>(n + 12), 224);
    EXPECT_EQ(back, data) << n;
  }
}

TEST_F(Serial, ControlSetsTablesAndBlocksSeenOnTheWire) {
  const auto t = pattern(288, 99);
  ctlOk("table 3 " + toHex(t));
  EXPECT_EQ(host_.ask(3, 288), t);
  const auto b = pattern(224, 42);
  ctlOk("block 1 " + toHex(b));
  EXPECT_EQ(host_.ask(13, 224), b);
  EXPECT_EQ(ctl("table 6"), "err usage: table N [HEX] (N 0..5)");
  EXPECT_EQ(ctl("table 0 abcd").rfind("err", 0), 0u);
}

TEST_F(Serial, CalibrationBlockDrivesThrottleRange) {
  auto block = hexOf(ctl("block 0"));
  ASSERT_EQ(block.size(), 224u);
  EXPECT_EQ(block[0], 26);
  EXPECT_EQ(block[8], 229);
  block[0] = 90;
  block[8] = 95;
  ctlOk("block 0 " + toHex(block));
  for (int i = 0; i < 3; ++i) {
    auto r = host_.ask('R', 16);
    ASSERT_EQ(r.size(), 16u);
    EXPECT_GE(r[12], 90);
    EXPECT_LE(r[12], 95);
  }
}

TEST_F(Serial, InfoHeaderAndText) {
  ctlOk("version 1");
  auto r = host_.ask('I', 16 + 255);
  ASSERT_GE(r.size(), 16u);
  EXPECT_EQ(r[1], 1);
  EXPECT_EQ(r[3], 105);
  EXPECT_EQ(r[4], 1);
  EXPECT_EQ(r[15], r.size() - 16);
  EXPECT_GT(r[15], 0);

  ctlOk("info 03010207010000000000000000000000 Release  notes\\n2");
  r = host_.ask('I', 16 + 255);
  ASSERT_EQ(r.size(), 16u + 16u);
  EXPECT_EQ(r[0], 3);
  EXPECT_EQ(r[2], 2);
  EXPECT_EQ(r[3], 7);
  EXPECT_EQ(r[15], 16);
  EXPECT_EQ(std::string(r.begin() + 16, r.end()), "Release  notes\n2");
  EXPECT_EQ(ctl("info"), "ok 03010207010000000000000000000010 Release  notes\\n2");

  ctlOk("infolen 40");  // header claims more text than follows
  r = host_.ask('I', 16 + 255);
  ASSERT_EQ(r.size(), 32u);
  EXPECT_EQ(r[15], 40);
  ctlOk("infolen 0");
  r = host_.ask('I', 16 + 255);
  EXPECT_EQ(r[15], 0);
  ctlOk("infolen auto");
  ctlOk("info 03010207010000000000000000000000");
  r = host_.ask('I', 16 + 255);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[15], 0);
}

TEST_F(Serial, FaultSilenceOnce) {
  ctlOk("fault silence once");
  EXPECT_TRUE(host_.ask('R', 16, 250).empty());
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
}

TEST_F(Serial, FaultSilencePersistsUntilCleared) {
  ctlOk("fault silence");
  EXPECT_TRUE(host_.ask('R', 16, 200).empty());
  EXPECT_TRUE(host_.ask(0, 288, 200).empty());
  ctlOk("fault none");
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
}

TEST_F(Serial, FaultShortFifteenOnIdentify) {
  ctlOk("fault short 15");
  auto r = host_.ask('R', 16);
  ASSERT_EQ(r.size(), 15u);
  EXPECT_EQ(r[13], 105);  // what did arrive is genuine
  EXPECT_EQ(host_.ask('R', 16).size(), 15u);
  EXPECT_EQ(host_.ask(13, 224).size(), 15u);
  ctlOk("fault none");
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
}

TEST_F(Serial, FaultCutOnTableRead) {
  ctlOk("fault cut 100 once");
  EXPECT_EQ(ctl("status").find("fault=cut:100:once") != std::string::npos, true);
  EXPECT_EQ(host_.ask(0, 288).size(), 100u);
  EXPECT_EQ(host_.ask(0, 288).size(), 288u);
}

TEST_F(Serial, FaultGarbageKeepsLength) {
  const auto real = hexOf(ctl("table 1"));
  ctlOk("fault garbage");
  auto g = host_.ask(1, 288);
  ASSERT_EQ(g.size(), 288u);
  EXPECT_NE(g, real);
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
  ctlOk("fault none");
  EXPECT_EQ(host_.ask(1, 288), real);
}

TEST_F(Serial, UnplugAndReplug) {
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
  ctlOk("unplug");
  struct stat st {};
  EXPECT_NE(lstat(link_.c_str(), &st), 0);
  HostPort other;
  EXPECT_FALSE(other.open(link_));
  // The port the host still holds is dead: nothing to read, writes fail or vanish.
  host_.send('R');
  EXPECT_TRUE(host_.read(16, 200).empty());
  uint8_t b;
  ssize_t n = ::read(host_.fd(), &b, 1);
  EXPECT_LE(n, 0);
  EXPECT_NE(ctl("status").find("plugged=no"), std::string::npos);

  std::string reply = ctl("replug");
  ASSERT_EQ(reply.rfind("ok /dev/pts/", 0), 0u) << reply;
  host_.close();
  ASSERT_TRUE(host_.open(link_));
  auto r = host_.ask('R', 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[13], 105);
}

TEST_F(Serial, UnplugFaultPullsTheCableOnceTheReplyIsRead) {
  ctlOk("fault unplug cmd 3 once");
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);  // other commands are left alone
  EXPECT_EQ(host_.ask(3, 288).size(), 288u);
  for (int i = 0; i < 100 && ctl("status").find("plugged=no") == std::string::npos; ++i) usleep(10000);
  EXPECT_NE(ctl("status").find("plugged=no"), std::string::npos);
  host_.send('R');
  EXPECT_TRUE(host_.read(16, 200).empty());
}

TEST_F(Serial, ReplugWhilePluggedGivesFreshPort) {
  ctlOk("replug");
  host_.close();
  ASSERT_TRUE(host_.open(link_));
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
}

TEST_F(Serial, HostClosingAndReopeningKeepsThePort) {
  for (int i = 0; i < 3; ++i) {
    host_.close();
    ASSERT_TRUE(host_.open(link_));
    EXPECT_EQ(host_.ask('R', 16).size(), 16u);
  }
}

TEST_F(Serial, TranscriptRecordsCommandsAndPayloads) {
  ctlOk("clear");
  ctlOk("payload-timeout 150");
  host_.ask('R', 16);
  host_.ask('D', 11, 100);
  host_.ask(0, 288);
  std::vector<uint8_t> w(289, 0x80);
  w[0] = 8;
  host_.purge();
  ASSERT_TRUE(host_.send(w));
  host_.settle();
  host_.ask(200, 1, 100);  // unknown: no reply, still recorded
  const auto before = hexOf(ctl("block 0"));
  std::vector<uint8_t> partial(101, 0x55);
  partial[0] = 18;
  host_.purge();
  ASSERT_TRUE(host_.send(partial));
  usleep(400000);
  EXPECT_EQ(ctl("transcript"), "ok 82 68 0 8:288 200 18:100!");
  EXPECT_EQ(hexOf(ctl("block 0")), before);  // an incomplete write stores nothing
  // After the time-out the unit takes commands again.
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
  ctlOk("clear");
  EXPECT_EQ(ctl("transcript"), "ok");
}

TEST_F(Serial, WritesListsEveryCompletedWriteWithItsPayloadInOrder) {
  ctlOk("payload-timeout 150");
  EXPECT_EQ(ctl("writes"), "ok");
  const auto table = pattern(288, 11);
  const auto block = pattern(224, 5);
  host_.purge();
  ASSERT_TRUE(host_.send(withCommand(10, table)));  // table 4
  host_.settle();
  ASSERT_TRUE(host_.send(withCommand(21, block)));  // block 3
  host_.settle();
  host_.ask(0, 288);  // reads are not writes
  std::vector<uint8_t> partial(50, 0x55);
  partial[0] = 7;  // table 1, cut off: never completed
  ASSERT_TRUE(host_.send(partial));
  usleep(400000);
  EXPECT_EQ(ctl("writes"), "ok 10:" + toHex(table) + " 21:" + toHex(block));
  EXPECT_EQ(ctl("transcript"), "ok 10:288 21:224 0 7:49!");
  ctlOk("writes clear");
  EXPECT_EQ(ctl("writes"), "ok");
  EXPECT_EQ(ctl("transcript"), "ok 10:288 21:224 0 7:49!");  // the transcript stays

  ASSERT_TRUE(host_.send(withCommand(6, table)));
  host_.settle();
  usleep(50000);
  EXPECT_EQ(ctl("writes"), "ok 6:" + toHex(table));
  ctlOk("clear");  // empties both
  EXPECT_EQ(ctl("writes"), "ok");
  ASSERT_TRUE(host_.send(withCommand(6, table)));
  host_.settle();
  usleep(50000);
  ctlOk("reset");
  EXPECT_EQ(ctl("writes"), "ok");
  EXPECT_EQ(ctl("writes now").rfind("err", 0), 0u);
}

TEST_F(Serial, FaultCanTargetOneCommand) {
  ctlOk("fault cut 100 cmd 1 once");
  EXPECT_NE(ctl("status").find("fault=cut:100:cmd1:once"), std::string::npos);
  // Other commands pass untouched and do not use the fault up.
  EXPECT_EQ(host_.ask(0, 288).size(), 288u);
  EXPECT_EQ(host_.ask('R', 16).size(), 16u);
  EXPECT_EQ(host_.ask(1, 288).size(), 100u);
  EXPECT_EQ(host_.ask(1, 288).size(), 288u);
  // A lasting fault on one command.
  ctlOk("fault silence cmd 16");
  EXPECT_TRUE(host_.ask(16, 224, 200).empty());
  EXPECT_TRUE(host_.ask(16, 224, 200).empty());
  EXPECT_EQ(host_.ask(15, 224).size(), 224u);
  ctlOk("fault none");
  EXPECT_EQ(host_.ask(16, 224).size(), 224u);
  EXPECT_EQ(ctl("fault cut 5 cmd 300").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("fault none cmd 3").rfind("err", 0), 0u);
}

TEST_F(Serial, VersionTwoHoldsThreePositionsOfEachTable) {
  ctlOk("version 2");
  // Wire tables 0 (fuel) and 3 (ignition), each at positions 0..2.
  std::vector<std::vector<uint8_t>> written;
  for (int wire : {0, 3}) {
    for (int position = 0; position < 3; ++position) {
      const int n = wire + position;
      written.push_back(pattern(288, 40 + n * 3));
      host_.purge();
      ASSERT_TRUE(host_.send(withCommand(6 + n, written.back())));
      host_.settle();
    }
  }
  for (int n = 0; n < 6; ++n) {
    EXPECT_EQ(host_.ask(static_cast<uint8_t>(n), 288), written[static_cast<size_t>(n)]) << n;
    for (int m = 0; m < n; ++m) EXPECT_NE(written[static_cast<size_t>(n)], written[static_cast<size_t>(m)]);
  }
}

TEST_F(Serial, OtherUnitsReportTheO2SettingOfTableFour) {
  auto r = host_.ask('R', 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[5], 11);
  auto t4 = host_.ask(4, 288);
  ASSERT_EQ(t4.size(), 288u);
  EXPECT_EQ(t4[7], 11);
  t4[7] = 12;
  host_.purge();
  ASSERT_TRUE(host_.send(withCommand(10, t4)));
  host_.settle();
  r = host_.ask('R', 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[5], 12);
}

TEST_F(Serial, SlowButSteadyPayloadIsAccepted) {
  ctlOk("payload-timeout 200");
  ctlOk("clear");
  const auto data = pattern(224, 3);
  host_.purge();
  host_.send(22);  // block 4
  for (size_t i = 0; i < data.size(); i += 32) {
    usleep(50000);
    host_.send(std::vector<uint8_t>(data.begin() + static_cast<long>(i), data.begin() + static_cast<long>(i + 32)));
  }
  host_.settle();
  EXPECT_EQ(host_.ask(16, 224), data);
  EXPECT_EQ(ctl("transcript"), "ok 22:224 16");
}

TEST_F(Serial, NeverStuckWhenTheHostStopsReading) {
  host_.purge();
  for (int i = 0; i < 60; ++i) {
    host_.send(static_cast<uint8_t>(i % 6));
    usleep(3000);
  }
  EXPECT_EQ(ctl("ping"), "ok pong");
  host_.purge();
  usleep(50000);
  auto r = host_.ask('R', 16, 2500);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[13], 105);
}

TEST_F(Serial, ControlErrors) {
  EXPECT_EQ(ctl("bogus").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("version 256").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("fault short").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("fault wobble").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("live r16 1").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("live d3 300").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("pace maybe").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("infolen x").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("info 0102").rfind("err", 0), 0u);
  EXPECT_EQ(ctl("ping"), "ok pong");
  EXPECT_EQ(ctl("version"), "ok 105");
}

TEST_F(Serial, ResetRestoresPowerOnState) {
  ctlOk("version 2");
  ctlOk("table 0 " + toHex(pattern(288, 1)));
  ctlOk("fault silence");
  ctlOk("reset");
  auto r = host_.ask('R', 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[13], 105);
  EXPECT_EQ(host_.ask(0, 288)[0], 136);
}

TEST_F(Serial, SeveralControlClientsOneAfterAnother) {
  for (int i = 0; i < 5; ++i) {
    ControlClient c;
    std::string err, reply;
    ASSERT_TRUE(c.connect("127.0.0.1", sim_->controlPort(), &err)) << err;
    ASSERT_TRUE(c.command("ping", &reply));
    EXPECT_EQ(reply, "ok pong");
  }
}

// ------------------------------------------------------------------ pacing

class Paced : public SimTest {
 protected:
  void adjust(SimOptions& o) override { o.paced = true; }
};

TEST_F(Paced, IdentifyTakesSixteenByteTimes) {
  for (int i = 0; i < 3; ++i) {
    host_.purge();
    const timespec t0 = monoNow();
    ASSERT_TRUE(host_.send('R'));
    auto r = host_.read(16, 500, 250);
    const double dt = secondsSince(t0);
    ASSERT_EQ(r.size(), 16u);
    EXPECT_GE(dt, 16.0 / 240.0);
    EXPECT_LE(dt, 17.0 / 240.0 + 0.010);
  }
}

TEST_F(Paced, TableReadTakesItsWireTime) {
  host_.purge();
  const timespec t0 = monoNow();
  ASSERT_TRUE(host_.send(0));
  auto r = host_.read(288, 500, 250);
  const double dt = secondsSince(t0);
  ASSERT_EQ(r.size(), 288u);
  EXPECT_NEAR(dt, 288.0 / 240.0, 288.0 / 240.0 * 0.03);
}

TEST_F(Paced, BytesArriveSpreadOut) {
  host_.purge();
  ASSERT_TRUE(host_.send(13));
  usleep(200000);  // about 48 byte times
  pollfd p{host_.fd(), POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 0), 1);
  uint8_t buf[512];
  ssize_t n = ::read(host_.fd(), buf, sizeof buf);
  EXPECT_GE(n, 40);
  EXPECT_LE(n, 52);
}

TEST_F(Paced, NewCommandAbortsReplyInProgress) {
  ctlOk("clear");
  const auto table = hexOf(ctl("table 0"));
  // No purge in between: a purge misses bytes the pty still delivers, so
  // every byte of both replies is counted instead.
  host_.purge();
  const timespec t0 = monoNow();
  ASSERT_TRUE(host_.send(0));
  usleep(100000);  // about 24 byte times into the table
  ASSERT_TRUE(host_.send('R'));
  const double sent = secondsSince(t0);
  auto r = host_.read(400, 500, 300);
  const double dt = secondsSince(t0);
  ASSERT_GT(r.size(), 16u) << "the table reply had not begun";
  const size_t tableBytes = r.size() - 16;
  // The table stops where the command found it: no byte beyond those due by
  // then (one byte time each, 1/240 s), but for one already on its way.
  EXPECT_LE(tableBytes, static_cast<size_t>(sent * 240.0) + 2) << "sent after " << sent * 1000 << " ms";
  EXPECT_TRUE(std::equal(r.begin(), r.begin() + tableBytes, table.begin()));
  std::vector<uint8_t> id(r.end() - 16, r.end());
  EXPECT_EQ(id[13], 105);
  EXPECT_EQ(id[2], 0xE1);
  EXPECT_LT(dt, 0.5);  // well before the table would have finished
  EXPECT_EQ(ctl("transcript"), "ok 0 82");
}

TEST_F(Paced, PaceCanBeSwitchedAtRunTime) {
  ctlOk("pace off");
  host_.purge();
  timespec t0 = monoNow();
  host_.send(0);
  EXPECT_EQ(host_.read(288).size(), 288u);
  EXPECT_LT(secondsSince(t0), 0.5);
  ctlOk("pace on");
  EXPECT_EQ(ctl("pace"), "ok on");
}

TEST_F(Paced, PayloadIsReadWithoutPacing) {
  ctlOk("clear");
  const auto data = pattern(288, 77);
  host_.purge();
  const auto cmd = withCommand(11, data);
  ASSERT_TRUE(host_.send(cmd));
  usleep(50000);
  EXPECT_EQ(ctl("transcript"), "ok 11:288");
  EXPECT_EQ(hexOf(ctl("table 5")), data);
}

// ------------------------------------------------------------------ transcript file and link rules

class WithTranscriptFile : public SimTest {
 protected:
  void adjust(SimOptions& o) override { o.transcriptFile = dir_ + "/transcript.log"; }
};

TEST_F(WithTranscriptFile, AppendsOneLinePerCommand) {
  host_.ask('R', 16);
  host_.ask(3, 288);
  std::ifstream in(dir_ + "/transcript.log");
  std::string a, b;
  ASSERT_TRUE(std::getline(in, a));
  ASSERT_TRUE(std::getline(in, b));
  EXPECT_NE(a.find(" 82"), std::string::npos) << a;
  EXPECT_NE(b.find(" 3"), std::string::npos) << b;
}

TEST(LinkRules, RefusesToReplaceRegularFile) {
  std::string dir = makeTempDir();
  std::string path = dir + "/port";
  { std::ofstream(path) << "keep me"; }
  SimOptions o;
  o.link = path;
  o.control = false;
  Simulator sim(o);
  std::string err;
  EXPECT_FALSE(sim.start(&err));
  EXPECT_NE(err.find("not a symbolic link"), std::string::npos) << err;
  std::ifstream in(path);
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "keep me");
  removeTree(dir);
}

TEST(LinkRules, RefusesDevPaths) {
  for (const char* p : {"/dev/gantrel-com9", "/dev/gantrel", "/dev/pts/../gantrel"}) {
    SimOptions o;
    o.link = p;
    o.control = false;
    Simulator sim(o);
    std::string err;
    EXPECT_FALSE(sim.start(&err)) << p;
    EXPECT_NE(err.find("/dev"), std::string::npos) << err;
  }
}

TEST(LinkRules, ReplacesAnExistingSymlink) {
  std::string dir = makeTempDir();
  std::string path = dir + "/port";
  ASSERT_EQ(symlink("/nonexistent", path.c_str()), 0);
  SimOptions o;
  o.link = path;
  o.control = false;
  o.paced = false;
  {
    Simulator sim(o);
    std::string err;
    ASSERT_TRUE(sim.start(&err)) << err;
    char buf[256];
    ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(buf, static_cast<size_t>(n)), sim.slavePath());
    HostPort h;
    ASSERT_TRUE(h.open(path));
    EXPECT_EQ(h.ask('R', 16).size(), 16u);
  }
  struct stat st {};
  EXPECT_NE(lstat(path.c_str(), &st), 0);  // removed on stop
  removeTree(dir);
}

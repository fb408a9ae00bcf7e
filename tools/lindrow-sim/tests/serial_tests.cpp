// The simulator over its pty and its control channel, driven the way the
// tool drives a handheld; and the program itself.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>

#include "sim-support/control.h"
#include "sim.h"

using namespace lindrow;

namespace {

std::string makeTempDir() {
  char pattern[] = "/tmp/lindrow-sim-test-XXXXXX";
  const char* dir = mkdtemp(pattern);
  return dir ? dir : "";
}

void removeTree(const std::string& dir) {
  if (dir.empty() || dir.rfind("/tmp/lindrow-sim-test-", 0) != 0) return;
  std::string cmd = "rm -rf '" + dir + "'";
  int rc = std::system(cmd.c_str());
  (void)rc;
}

double since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The host side: the pty opened through the link, raw, 38400 8N2.
class Host {
 public:
  ~Host() { close(); }
  bool open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return false;
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | CSTOPB;
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    tcsetattr(fd_, TCSANOW, &t);
    return true;
  }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  void send(const std::vector<uint8_t>& bytes) {
    size_t off = 0;
    while (off < bytes.size()) {
      ssize_t w = write(fd_, bytes.data() + off, bytes.size() - off);
      if (w > 0) off += static_cast<size_t>(w);
      else if (w < 0 && errno != EINTR && errno != EAGAIN) return;
    }
  }
  void send(uint8_t b) { send(std::vector<uint8_t>{b}); }
  // Up to n bytes: firstMs for the first, intervalMs between the others.
  std::vector<uint8_t> read(size_t n, int firstMs = 500, int intervalMs = 100) {
    std::vector<uint8_t> got;
    while (got.size() < n) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, got.empty() ? firstMs : intervalMs) <= 0) break;
      uint8_t buf[4096];
      ssize_t r = ::read(fd_, buf, std::min(sizeof buf, n - got.size()));
      if (r <= 0) break;
      got.insert(got.end(), buf, buf + r);
    }
    return got;
  }

 private:
  int fd_ = -1;
};

// A line-based client of the control channel.
class Control {
 public:
  bool connect(int port) {
    std::string error;
    return client_.connect("127.0.0.1", port, &error);
  }
  std::string ask(const std::string& line) {
    std::string reply;
    return client_.command(line, &reply) ? reply : "err no reply";
  }

 private:
  simsupport::ControlClient client_;
};

std::vector<uint8_t> fromHex(const std::string& hex) {
  std::vector<uint8_t> v;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) v.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return v;
}

std::vector<uint8_t> pattern(int seed) {
  std::vector<uint8_t> r(kRecordLen);
  for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint8_t>(i * 7 + seed);
  return r;
}

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = makeTempDir();
    ASSERT_FALSE(dir_.empty());
    link_ = dir_ + "/com3";
    SimOptions opt;
    opt.link = link_;
    opt.paced = paced();
    sim_ = std::make_unique<Simulator>(opt);
    std::string error;
    ASSERT_TRUE(sim_->start(&error)) << error;
    ASSERT_TRUE(ctl_.connect(sim_->controlPort()));
    ASSERT_TRUE(host_.open(link_));
  }
  void TearDown() override {
    host_.close();
    if (sim_) sim_->stop();
    removeTree(dir_);
  }
  virtual bool paced() { return false; }
  void ok(const std::string& line) { ASSERT_EQ(ctl_.ask(line).substr(0, 2), "ok") << line; }
  // 'P', its echo, the record; the answer to the record.
  std::vector<uint8_t> exchange(const std::vector<uint8_t>& rec) {
    host_.send('P');
    auto echo = host_.read(1);
    EXPECT_EQ(echo.size(), 1u);
    host_.send(rec);
    return host_.read(kRecordLen, 1000, 200);
  }

  std::string dir_, link_;
  std::unique_ptr<Simulator> sim_;
  Control ctl_;
  Host host_;
};

TEST_F(SimTest, ProbeEchoAndRecordOverThePty) {
  host_.send('M');
  auto a = host_.read(4);
  EXPECT_EQ(std::string(a.begin(), a.end()), "LWES");
  auto rec = pattern(5);
  EXPECT_EQ(exchange(rec), rec);
  EXPECT_EQ(ctl_.ask("records"), "ok 1");
  EXPECT_EQ(fromHex(ctl_.ask("record").substr(3)), rec);
  EXPECT_EQ(ctl_.ask("transcript"), "ok M P record:1890");
  ok("clear");
  EXPECT_EQ(ctl_.ask("records"), "ok 0");
  EXPECT_EQ(ctl_.ask("record").substr(0, 3), "err");
}

TEST_F(SimTest, KeepsEveryRecordUntilCleared) {
  auto first = pattern(1), second = pattern(2);
  exchange(first);
  exchange(second);
  EXPECT_EQ(ctl_.ask("records"), "ok 2");
  EXPECT_EQ(fromHex(ctl_.ask("record 0").substr(3)), first);
  EXPECT_EQ(fromHex(ctl_.ask("record 1").substr(3)), second);
  EXPECT_EQ(fromHex(ctl_.ask("record").substr(3)), second);
  EXPECT_EQ(ctl_.ask("record 2").substr(0, 3), "err");
}

TEST_F(SimTest, ControllerCommandsGetNoAnswer) {
  for (uint8_t b : {uint8_t('R'), uint8_t('D'), uint8_t('I'), uint8_t(0)}) host_.send(b);
  EXPECT_TRUE(host_.read(1, 300).empty());
  EXPECT_EQ(ctl_.ask("transcript"), "ok 82 68 73 0");
}

TEST_F(SimTest, FaultsSpoilTheAnswers) {
  ok("fault silence");
  host_.send('M');
  EXPECT_TRUE(host_.read(1, 300).empty());
  ok("fault noecho");
  host_.send('M');
  EXPECT_EQ(host_.read(4).size(), 4u);
  host_.send('P');
  EXPECT_TRUE(host_.read(1, 300).empty());

  auto rec = pattern(9);
  ok("fault short 100");
  EXPECT_EQ(exchange(rec), std::vector<uint8_t>(rec.begin(), rec.begin() + 100));
  ok("fault corrupt 161 once");
  auto bad = exchange(rec);
  ASSERT_EQ(bad.size(), kRecordLen);
  EXPECT_NE(bad[161], rec[161]);
  bad[161] = rec[161];
  EXPECT_EQ(bad, rec);
  EXPECT_EQ(exchange(rec), rec);  // used up

  ok("echo-byte 0");
  host_.send('P');
  EXPECT_EQ(host_.read(1), std::vector<uint8_t>{0});
  EXPECT_EQ(ctl_.ask("fault bogus").substr(0, 3), "err");
  EXPECT_EQ(ctl_.ask("fault short 5000").substr(0, 3), "err");
}

TEST_F(SimTest, UnplugRemovesThePortAndReplugBringsItBack) {
  ok("unplug");
  struct stat st {};
  EXPECT_NE(lstat(link_.c_str(), &st), 0);
  EXPECT_NE(ctl_.ask("status").find("plugged=no"), std::string::npos);
  std::string reply = ctl_.ask("replug");
  ASSERT_EQ(reply.substr(0, 12), "ok /dev/pts/");
  host_.close();
  ASSERT_TRUE(host_.open(link_));
  host_.send('M');
  EXPECT_EQ(host_.read(4).size(), 4u);
}

TEST_F(SimTest, ReportsTheLineSettingsTheHostChose) {
  EXPECT_EQ(ctl_.ask("line"), "ok baud=38400 bits=8 parity=none stop=2 crtscts=off ixon=off ixoff=off");
  termios t{};
  int fd = open(link_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  tcgetattr(fd, &t);
  cfsetospeed(&t, B2400);
  t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
  t.c_iflag |= IXON;
  tcsetattr(fd, TCSANOW, &t);
  close(fd);
  // (A pty keeps no parity: it always reads back as none.)
  EXPECT_EQ(ctl_.ask("line"), "ok baud=2400 bits=8 parity=none stop=1 crtscts=off ixon=on ixoff=off");
}

TEST_F(SimTest, ResetClearsEverything) {
  ok("fault silence");
  ok("echo-byte 3");
  ok("reset");
  EXPECT_NE(ctl_.ask("status").find("fault=none echo-byte=80"), std::string::npos);
  EXPECT_EQ(ctl_.ask("nonsense").substr(0, 3), "err");
  EXPECT_EQ(ctl_.ask("ping"), "ok pong");
}

class PacedSimTest : public SimTest {
 protected:
  bool paced() override { return true; }
};

TEST_F(PacedSimTest, TheRecordComesBackAtThirtyEightThousandFourHundredBaud) {
  auto rec = pattern(4);
  host_.send('P');
  ASSERT_EQ(host_.read(1).size(), 1u);
  host_.send(rec);
  auto t0 = std::chrono::steady_clock::now();
  auto back = host_.read(kRecordLen, 1000, 200);
  double seconds = since(t0);
  EXPECT_EQ(back, rec);
  // 1890 bytes of 11 bits at 38400 baud: 0.54 s (the last packet a little early).
  EXPECT_GT(seconds, 0.45);
  EXPECT_LT(seconds, 3.0);
}

// The program on its own: ready file, control channel, shutdown, link removed.
TEST(Program, StartsAnswersAndStopsCleanly) {
  std::string dir = makeTempDir();
  std::string link = dir + "/com3", ready = dir + "/ready";
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    execl(LINDROW_SIM_EXE, LINDROW_SIM_EXE, "--link", link.c_str(), "--ready-file", ready.c_str(), "--fast",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int port = 0;
  for (int i = 0; i < 200 && port == 0; ++i) {
    std::ifstream in(ready);
    std::string word;
    if (in >> word >> port && word == "ready") break;
    port = 0;
    usleep(20000);
  }
  ASSERT_GT(port, 0);
  {
    Host host;
    ASSERT_TRUE(host.open(link));
    host.send('M');
    auto a = host.read(4);
    EXPECT_EQ(std::string(a.begin(), a.end()), "LWES");
    Control ctl;
    ASSERT_TRUE(ctl.connect(port));
    EXPECT_EQ(ctl.ask("shutdown"), "ok");
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  struct stat st {};
  EXPECT_NE(lstat(link.c_str(), &st), 0);
  EXPECT_NE(lstat(ready.c_str(), &st), 0);
  removeTree(dir);
}

TEST(Program, RefusesLinksUnderDevAndUnknownOptions) {
  auto run = [](std::vector<const char*> args) {
    pid_t pid = fork();
    if (pid == 0) {
      int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      args.insert(args.begin(), LINDROW_SIM_EXE);
      args.push_back(nullptr);
      execv(LINDROW_SIM_EXE, const_cast<char* const*>(args.data()));
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run({"--link", "/dev/lindrow-sim-test-none"}), 1);
  EXPECT_EQ(run({"--bogus"}), 2);
  EXPECT_EQ(run({}), 2);
}

}  // namespace

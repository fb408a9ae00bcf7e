// The pty's link and the ready file, beyond what the simulators' tests see.
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim-support/pty_link.h"
#include "sim-support/ready_file.h"

using namespace simsupport;

namespace {

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/sim-support-test-XXXXXX";
    const char* d = mkdtemp(pattern);
    path = d ? d : "";
  }
  ~TempDir() {
    if (path.rfind("/tmp/sim-support-test-", 0) != 0) return;
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

std::string target(const std::string& link) {
  char buf[256];
  ssize_t n = readlink(link.c_str(), buf, sizeof buf - 1);
  return n < 0 ? std::string() : std::string(buf, static_cast<size_t>(n));
}

bool exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(PtyLink, StartsRawAtItsFormat) {
  TempDir dir;
  for (const LineFormat f : {LineFormat{2400, 1}, LineFormat{38400, 2}}) {
    PtyLink pty(dir.path + "/com", f);
    std::string error;
    ASSERT_TRUE(pty.open(&error)) << error;
    EXPECT_EQ(target(dir.path + "/com"), pty.slaveName());
    termios t{};
    ASSERT_EQ(tcgetattr(pty.slave(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), f.speed());
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, f.stopBits == 2);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_lflag & ICANON, 0u);
  }
}

TEST(PtyLink, LeavesALinkSomeoneElsePointedElsewhere) {
  TempDir dir;
  const std::string link = dir.path + "/com";
  PtyLink pty(link, LineFormat{2400, 1});
  std::string error;
  ASSERT_TRUE(pty.open(&error)) << error;
  ASSERT_EQ(unlink(link.c_str()), 0);
  ASSERT_EQ(symlink("/nonexistent", link.c_str()), 0);
  pty.close();
  EXPECT_FALSE(pty.isOpen());
  EXPECT_EQ(target(link), "/nonexistent");
}

TEST(PtyLink, RefusesToReplaceALeftoverThatIsNoLink) {
  TempDir dir;
  const std::string link = dir.path + "/com";
  const std::string tmp = link + ".tmp-" + std::to_string(getpid());
  { std::ofstream(tmp) << "keep me"; }
  PtyLink pty(link, LineFormat{2400, 1});
  std::string error;
  EXPECT_FALSE(pty.open(&error));
  EXPECT_EQ(error, "refusing to replace " + tmp);
  EXPECT_FALSE(pty.isOpen());
  EXPECT_FALSE(exists(link));
  EXPECT_EQ(slurp(tmp), "keep me");
}

TEST(PtyLink, NeverUnderDevByAnyRoute) {
  TempDir dir;
  const std::string via = dir.path + "/devices";
  ASSERT_EQ(symlink("/dev", via.c_str()), 0);
  std::string error;
  EXPECT_TRUE(linkPathUnderDev(via + "/com1"));
  EXPECT_FALSE(checkLinkPath(via + "/com1", &error));
  EXPECT_EQ(error, "refusing to place the link under /dev: " + via + "/com1");
  PtyLink pty(via + "/com1", LineFormat{2400, 1});
  EXPECT_FALSE(pty.open(&error));
  EXPECT_FALSE(pty.isOpen());
  EXPECT_FALSE(checkLinkPath("", &error));
  EXPECT_EQ(error, "a link path is required");
  EXPECT_TRUE(checkLinkPath(dir.path + "/com1", &error));
}

TEST(PtyLink, RefusesABaudRateTermiosDoesNotName) {
  TempDir dir;
  PtyLink pty(dir.path + "/com", LineFormat{12345, 1});
  std::string error;
  EXPECT_FALSE(pty.open(&error));
  EXPECT_EQ(error, "unsupported baud rate 12345");
  EXPECT_FALSE(exists(dir.path + "/com"));
}

TEST(ReadyFile, SaysThePortAndGoesOnlyOnceWritten) {
  TempDir dir;
  const std::string path = dir.path + "/ready";
  { std::ofstream(path) << "ready 1\n"; }
  ReadyFile never(path);
  never.remove();
  EXPECT_TRUE(exists(path));  // not one it wrote
  ReadyFile ready(path);
  ready.clearStale();
  EXPECT_FALSE(exists(path));
  std::string error;
  ASSERT_TRUE(ready.write(4242, &error)) << error;
  EXPECT_EQ(slurp(path), "ready 4242\n");
  EXPECT_FALSE(exists(path + ".tmp"));
  ready.remove();
  EXPECT_FALSE(exists(path));
}

TEST(ReadyFile, SaysWhyItCannotBeWritten) {
  TempDir dir;
  ReadyFile ready(dir.path + "/missing/ready");
  std::string error;
  EXPECT_FALSE(ready.write(1, &error));
  EXPECT_EQ(error, "cannot write ready file " + dir.path + "/missing/ready.tmp: No such file or directory");
  ReadyFile none("");
  EXPECT_TRUE(none.write(1, &error));
}

}  // namespace

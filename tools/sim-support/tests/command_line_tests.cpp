#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim-support/command_line.h"

using namespace simsupport;

namespace {

// What the code under test writes to standard error meanwhile.
class StderrCapture {
 public:
  StderrCapture() {
    std::fflush(stderr);
    file_ = std::tmpfile();
    saved_ = dup(2);
    dup2(fileno(file_), 2);
  }
  ~StderrCapture() {
    restore();
    std::fclose(file_);
  }
  std::string text() {
    restore();
    std::string out;
    std::rewind(file_);
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file_)) > 0) out.append(buf, n);
    return out;
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    saved_ = -1;
  }
  FILE* file_;
  int saved_;
};

struct Args {
  explicit Args(std::vector<std::string> a) : words(std::move(a)) {
    for (auto& w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(words.size()); }
  std::vector<std::string> words;
  std::vector<char*> argv;
};

const char kUsage[] = "usage: sim --link PATH\n";

TEST(CommandLine, ValuesFollowTheirOption) {
  Args a({"sim", "--link", "/tmp/x", "--fast", "--ready-file", "--fast"});
  CommandLine cl("sim", a.argc(), a.argv.data(), false);
  std::string v;
  ASSERT_TRUE(cl.next());
  EXPECT_EQ(cl.name(), "--link");
  ASSERT_TRUE(cl.value(&v));
  EXPECT_EQ(v, "/tmp/x");
  ASSERT_TRUE(cl.next());
  EXPECT_EQ(cl.name(), "--fast");
  ASSERT_TRUE(cl.next());
  ASSERT_TRUE(cl.value(&v));  // whatever comes next is the value
  EXPECT_EQ(v, "--fast");
  EXPECT_FALSE(cl.next());
}

TEST(CommandLine, AMissingValueIsSaid) {
  Args a({"sim", "--fast", "--link"});
  CommandLine cl("sim", a.argc(), a.argv.data(), true);
  std::string v = "untouched";
  ASSERT_TRUE(cl.next());
  ASSERT_TRUE(cl.next());
  StderrCapture err;
  EXPECT_FALSE(cl.value(&v));
  EXPECT_EQ(err.text(), "sim: --link needs a value\n");
  EXPECT_EQ(v, "untouched");
  EXPECT_FALSE(cl.next());
}

TEST(CommandLine, InlineValuesOnlyWhereTaken) {
  Args a({"sim", "--link=/tmp/a=b", "-x=1"});
  std::string v;
  CommandLine with("sim", a.argc(), a.argv.data(), true);
  ASSERT_TRUE(with.next());
  EXPECT_EQ(with.name(), "--link");
  ASSERT_TRUE(with.value(&v));
  EXPECT_EQ(v, "/tmp/a=b");
  ASSERT_TRUE(with.next());
  EXPECT_EQ(with.name(), "-x=1");  // only long options carry one

  CommandLine without("sim", a.argc(), a.argv.data(), false);
  ASSERT_TRUE(without.next());
  EXPECT_EQ(without.name(), "--link=/tmp/a=b");
  StderrCapture err;
  EXPECT_EQ(without.unknownOption(kUsage), 2);
  EXPECT_EQ(err.text(), std::string("sim: unknown option '--link=/tmp/a=b'\n\n") + kUsage);
}

TEST(CommandLine, UnknownOptionsAreNamedAsGiven) {
  Args a({"sim", "--bogus=3"});
  CommandLine cl("sim", a.argc(), a.argv.data(), true);
  ASSERT_TRUE(cl.next());
  EXPECT_EQ(cl.name(), "--bogus");
  StderrCapture err;
  EXPECT_EQ(cl.unknownOption(kUsage), 2);
  EXPECT_FALSE(cl.complain("cannot start"));
  EXPECT_EQ(err.text(), std::string("sim: unknown option '--bogus=3'\n\n") + kUsage + "sim: cannot start\n");
}

}  // namespace

// The two programs as scripts use them.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "test_util.h"
#include "util.h"

extern char** environ;

using namespace gantrel;
using namespace gantrel::testing_support;

namespace {

pid_t spawn(const std::vector<std::string>& args, const std::string& outFile) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, (outFile + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  return pid;
}

// Exit status, or -1 when it did not end within the time.
int waitExit(pid_t pid, int ms) {
  for (int i = 0; i < ms / 10; ++i) {
    int st = 0;
    if (waitpid(pid, &st, WNOHANG) == pid) return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    usleep(10000);
  }
  return -1;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string run(const std::string& cmd, int* status) {
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return std::string();
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int st = pclose(p);
  *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

}  // namespace

TEST(Cli, StartsSignalsReadinessAndShutsDown) {
  const std::string dir = makeTempDir();
  const std::string link = dir + "/com1";
  const std::string ready = dir + "/ready";
  const std::string transcript = dir + "/t.log";
  pid_t pid = spawn({GANTREL_SIM_EXE, "--link", link, "--fast", "--version", "148", "--flags", "0x41",
                     "--control", "127.0.0.1:0", "--ready-file", ready, "--transcript", transcript, "--seed",
                     "5"},
                    dir + "/out");
  ASSERT_GT(pid, 0);
  std::string content;
  for (int i = 0; i < 500 && content.empty(); ++i) {
    usleep(10000);
    content = slurp(ready);
  }
  ASSERT_EQ(content.rfind("ready ", 0), 0u) << content;
  int port = std::atoi(content.c_str() + 6);
  ASSERT_GT(port, 0);
  EXPECT_NE(slurp(dir + "/out").find("control 127.0.0.1:" + std::to_string(port)), std::string::npos);

  HostPort h;
  ASSERT_TRUE(h.open(link));
  auto r = h.ask('R', 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[13], 148);
  EXPECT_EQ(r[2], 0x41);

  const std::string ctl = std::string(GANTREL_SIM_CTL_EXE) + " 127.0.0.1:" + std::to_string(port);
  int status = -1;
  EXPECT_EQ(run(ctl + " transcript ping", &status), "ok 82\nok pong\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(run(ctl + " 'fault short 3' bogus 2>/dev/null", &status).substr(0, 6), "ok\nerr");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(run("printf 'fault none\\nversion 2\\n' | " + ctl, &status), "ok\nok\n");
  EXPECT_EQ(status, 0);
  r = h.ask('R', 16);
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[13], 2);

  EXPECT_EQ(run(ctl + " shutdown", &status), "ok\n");
  EXPECT_EQ(waitExit(pid, 5000), 0);
  struct stat st {};
  EXPECT_NE(lstat(link.c_str(), &st), 0);
  EXPECT_NE(slurp(transcript).find(" 82\n"), std::string::npos);
  h.close();
  removeTree(dir);
}

TEST(Cli, StopsOnSigterm) {
  const std::string dir = makeTempDir();
  const std::string ready = dir + "/ready";
  pid_t pid = spawn({GANTREL_SIM_EXE, "--link", dir + "/com2", "--ready-file", ready}, dir + "/out");
  ASSERT_GT(pid, 0);
  std::string content;
  for (int i = 0; i < 500 && content.empty(); ++i) {
    usleep(10000);
    content = slurp(ready);
  }
  ASSERT_FALSE(content.empty());
  kill(pid, SIGTERM);
  EXPECT_EQ(waitExit(pid, 5000), 0);
  struct stat st {};
  EXPECT_NE(lstat((dir + "/com2").c_str(), &st), 0);
  EXPECT_NE(lstat(ready.c_str(), &st), 0);
  removeTree(dir);
}

TEST(Cli, RejectsBadArguments) {
  const std::string dir = makeTempDir();
  pid_t pid = spawn({GANTREL_SIM_EXE, "--fast"}, dir + "/out");
  ASSERT_GT(pid, 0);
  EXPECT_EQ(waitExit(pid, 5000), 2);
  pid = spawn({GANTREL_SIM_EXE, "--link", dir + "/x", "--version", "300"}, dir + "/out");
  EXPECT_EQ(waitExit(pid, 5000), 2);
  pid = spawn({GANTREL_SIM_EXE, "--link", dir + "/x", "--control", "10.0.0.1:5000"}, dir + "/out");
  EXPECT_EQ(waitExit(pid, 5000), 1);
  EXPECT_NE(slurp(dir + "/out.err").find("loopback"), std::string::npos);
  removeTree(dir);
}

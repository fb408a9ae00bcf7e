#include "test_util.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "util.h"

namespace gantrel {
namespace testing_support {

bool HostPort::open(const std::string& path) {
  close();
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return false;
  termios t{};
  if (tcgetattr(fd_, &t) == 0) {
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, B2400);
    cfsetospeed(&t, B2400);
    tcsetattr(fd_, TCSANOW, &t);
  }
  return true;
}

void HostPort::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void HostPort::purge() {
  if (fd_ >= 0) tcflush(fd_, TCIOFLUSH);
}

bool HostPort::send(uint8_t byte) { return send(std::vector<uint8_t>{byte}); }

bool HostPort::send(const std::vector<uint8_t>& bytes) {
  size_t off = 0;
  while (off < bytes.size()) {
    ssize_t w = ::write(fd_, bytes.data() + off, bytes.size() - off);
    if (w > 0) {
      off += static_cast<size_t>(w);
      continue;
    }
    if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{fd_, POLLOUT, 0};
      poll(&p, 1, 100);
      continue;
    }
    return false;
  }
  return true;
}

std::vector<uint8_t> HostPort::read(size_t n, int firstMs, int intervalMs) {
  std::vector<uint8_t> out;
  while (out.size() < n) {
    pollfd p{fd_, POLLIN, 0};
    int r = poll(&p, 1, out.empty() ? firstMs : intervalMs);
    if (r <= 0) break;
    if (!(p.revents & POLLIN)) break;  // hang-up without data
    uint8_t buf[512];
    ssize_t got = ::read(fd_, buf, std::min(sizeof buf, n - out.size()));
    if (got <= 0) {
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      break;
    }
    out.insert(out.end(), buf, buf + got);
  }
  return out;
}

void HostPort::settle() const { usleep(30000); }

std::vector<uint8_t> HostPort::ask(uint8_t cmd, size_t n, int firstMs, int intervalMs) {
  purge();
  if (!send(cmd)) return {};
  return read(n, firstMs, intervalMs);
}

std::string makeTempDir() {
  char tmpl[] = "/tmp/gantrel-sim-test-XXXXXX";
  char* d = mkdtemp(tmpl);
  return d ? std::string(d) : std::string();
}

void removeTree(const std::string& dir) {
  if (dir.rfind("/tmp/gantrel-sim-test-", 0) != 0) return;
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

double secondsSince(const timespec& t0) { return static_cast<double>(diffNs(monoNow(), t0)) / 1e9; }

void SimTest::SetUp() {
  dir_ = makeTempDir();
  ASSERT_FALSE(dir_.empty());
  link_ = dir_ + "/gantrel";
  SimOptions o;
  o.link = link_;
  o.paced = false;
  o.seed = 7;
  adjust(o);
  sim_ = std::make_unique<Simulator>(o);
  std::string err;
  ASSERT_TRUE(sim_->start(&err)) << err;
  ASSERT_TRUE(client_.connect("127.0.0.1", sim_->controlPort(), &err)) << err;
  ASSERT_TRUE(host_.open(link_)) << "cannot open " << link_;
}

void SimTest::TearDown() {
  host_.close();
  client_.close();
  if (sim_) sim_->stop();
  sim_.reset();
  removeTree(dir_);
}

std::string SimTest::ctl(const std::string& line) {
  std::string reply;
  if (!client_.command(line, &reply)) return "<no reply>";
  return reply;
}

void SimTest::ctlOk(const std::string& line) {
  std::string reply = ctl(line);
  ASSERT_EQ(reply.rfind("ok", 0), 0u) << line << " -> " << reply;
}

}  // namespace testing_support
}  // namespace gantrel

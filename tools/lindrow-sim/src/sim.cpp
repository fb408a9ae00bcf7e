#include "sim.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace lindrow {

namespace {

constexpr int64_t kNsPerSec = 1000000000LL;
// 38400 baud with a start bit, eight data bits and two stop bits.
constexpr int64_t kByteNs = 11 * kNsPerSec / 38400;
// Paced answers reach the host in packets, as from a USB serial adapter:
// bytes go out up to this many byte times before their place on the line,
// so that a late wake-up of this thread leaves no gap in what the host sees.
constexpr int64_t kLeadBytes = 64;
constexpr size_t kMaxClients = 16;
constexpr size_t kMaxControlLine = 1 << 16;

timespec monoNow() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t;
}

int64_t toNs(const timespec& t) { return static_cast<int64_t>(t.tv_sec) * kNsPerSec + t.tv_nsec; }

timespec fromNs(int64_t ns) {
  timespec t{};
  t.tv_sec = static_cast<time_t>(ns / kNsPerSec);
  t.tv_nsec = static_cast<long>(ns % kNsPerSec);
  return t;
}

void closeFd(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

void setNonblock(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

void drain(int fd) {
  char buf[64];
  while (read(fd, buf, sizeof buf) > 0) {
  }
}

bool isDevPath(const std::string& p) { return p == "/dev" || p.rfind("/dev/", 0) == 0; }

// Device nodes are never ours to replace, whatever route the path takes there.
bool linkPathUnderDev(const std::string& path) {
  std::string abs = path;
  if (abs.empty() || abs[0] != '/') {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd)) abs = std::string(cwd) + "/" + path;
  }
  if (isDevPath(abs)) return true;
  size_t slash = abs.find_last_of('/');
  std::string parent = slash == 0 ? "/" : abs.substr(0, slash);
  char real[PATH_MAX];
  return realpath(parent.c_str(), real) && isDevPath(real);
}

std::string readLink(const std::string& path) {
  char buf[PATH_MAX];
  ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
  return n < 0 ? std::string() : std::string(buf, static_cast<size_t>(n));
}

std::string toHex(const std::vector<uint8_t>& v) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  s.reserve(v.size() * 2);
  for (uint8_t b : v) {
    s.push_back(digits[b >> 4]);
    s.push_back(digits[b & 15]);
  }
  return s;
}

// Decimal, or hexadecimal with 0x.
bool parseNumber(const std::string& text, long long lo, long long hi, long long* out) {
  if (text.empty()) return false;
  int base = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') ? 16 : 10;
  const char* begin = text.c_str() + (base == 16 ? 2 : 0);
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(begin, &end, base);
  if (errno != 0 || end == begin || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> w;
  std::istringstream in(line);
  std::string s;
  while (in >> s) w.push_back(s);
  return w;
}

}  // namespace

Simulator::Simulator(SimOptions options) : opt_(std::move(options)), paced_(opt_.paced) {
  handheld_.recordTimeoutMs = opt_.recordTimeoutMs;
}

Simulator::~Simulator() { stop(); }

// ---------------------------------------------------------------- start / stop

bool Simulator::start(std::string* error) {
  if (opt_.link.empty()) {
    *error = "a link path is required";
    return false;
  }
  if (linkPathUnderDev(opt_.link)) {
    *error = "refusing to place the link under /dev: " + opt_.link;
    return false;
  }
  if (!opt_.readyFile.empty()) unlink(opt_.readyFile.c_str());  // a stale one would lie
  if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
    *error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  if (!createPort(error) || !openControlSocket(error)) {
    stop();
    return false;
  }
  firstSlave_ = slaveName_;
  thread_ = std::thread(&Simulator::loop, this);
  startedOk_ = true;
  if (!opt_.readyFile.empty() && !writeReadyFile(error)) {
    stop();
    return false;
  }
  return true;
}

void Simulator::stop() {
  stopping_ = true;
  if (wake_[1] >= 0) {
    char c = 1;
    ssize_t n = write(wake_[1], &c, 1);
    (void)n;
  }
  if (thread_.joinable()) thread_.join();
  for (auto& c : clients_) close(c.fd);
  clients_.clear();
  destroyPort();
  closeFd(&listen_);
  closeFd(&wake_[0]);
  closeFd(&wake_[1]);
  if (startedOk_ && !opt_.readyFile.empty()) unlink(opt_.readyFile.c_str());
  startedOk_ = false;
}

bool Simulator::writeReadyFile(std::string* error) {
  // Under a temporary name first, so that a waiting script never reads half a line.
  std::string tmp = opt_.readyFile + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "we");
  if (!f) {
    *error = "cannot write ready file " + tmp + ": " + std::strerror(errno);
    return false;
  }
  std::fprintf(f, "ready %d\n", controlPort_);
  bool ok = std::fclose(f) == 0 && rename(tmp.c_str(), opt_.readyFile.c_str()) == 0;
  if (!ok) *error = "cannot write ready file " + opt_.readyFile + ": " + std::strerror(errno);
  return ok;
}

// ---------------------------------------------------------------- pty and link

bool Simulator::createPort(std::string* error) {
  int m = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m < 0) {
    *error = std::string("posix_openpt: ") + std::strerror(errno);
    return false;
  }
  char name[128];
  if (grantpt(m) != 0 || unlockpt(m) != 0 || ptsname_r(m, name, sizeof name) != 0) {
    *error = std::string("pty setup: ") + std::strerror(errno);
    close(m);
    return false;
  }
  // Only ever a pseudo-terminal slave; never a real serial device.
  if (std::strncmp(name, "/dev/pts/", 9) != 0) {
    *error = std::string("unexpected pty slave name ") + name;
    close(m);
    return false;
  }
  // Our own slave descriptor keeps the pty up between the host's opens.
  int s = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (s < 0) {
    *error = std::string("open ") + name + ": " + std::strerror(errno);
    close(m);
    return false;
  }
  termios t{};
  if (tcgetattr(s, &t) == 0) {
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | CSTOPB;
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(s, TCSANOW, &t);
  }
  setNonblock(m);
  if (!makeLink(name, error)) {
    close(s);
    close(m);
    return false;
  }
  master_ = m;
  slaveHold_ = s;
  slaveName_ = name;
  return true;
}

void Simulator::destroyPort() {
  out_.clear();
  removeLink();
  closeFd(&master_);
  closeFd(&slaveHold_);
}

bool Simulator::makeLink(const std::string& target, std::string* error) {
  const std::string& link = opt_.link;
  struct stat st {};
  if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    *error = "refusing to replace " + link + ": it exists and is not a symbolic link";
    return false;
  }
  // A temporary link renamed over the old one: the path never dangles.
  std::string tmp = link + ".tmp-" + std::to_string(getpid());
  if (lstat(tmp.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      *error = "refusing to replace " + tmp;
      return false;
    }
    unlink(tmp.c_str());
  }
  if (symlink(target.c_str(), tmp.c_str()) != 0) {
    *error = "symlink " + tmp + ": " + std::strerror(errno);
    return false;
  }
  if (rename(tmp.c_str(), link.c_str()) != 0) {
    *error = "rename to " + link + ": " + std::strerror(errno);
    unlink(tmp.c_str());
    return false;
  }
  return true;
}

void Simulator::removeLink() {
  if (slaveName_.empty() || master_ < 0) return;
  struct stat st {};
  // Only our own link: someone may have pointed the path elsewhere meanwhile.
  if (lstat(opt_.link.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && readLink(opt_.link) == slaveName_) {
    unlink(opt_.link.c_str());
  }
}

// ---------------------------------------------------------------- the loop

void Simulator::loop() {
  while (!stopping_) {
    timespec now = monoNow();
    writeDue();
    handheld_.expire(toNs(now));

    // Sleep until the next answer byte is due, a stalled record runs out,
    // or something arrives.
    int64_t wakeAt = -1;
    if (!out_.empty()) wakeAt = nextWrite();
    int64_t recordEnd = handheld_.deadline();
    if (recordEnd >= 0 && (wakeAt < 0 || recordEnd < wakeAt)) wakeAt = recordEnd;

    std::vector<pollfd> fds;
    fds.push_back({wake_[0], POLLIN, 0});
    fds.push_back({listen_, POLLIN, 0});
    fds.push_back({master_, static_cast<short>(master_ >= 0 ? POLLIN : 0), 0});
    for (auto& c : clients_) fds.push_back({c.fd, POLLIN, 0});
    timespec timeout{};
    timespec* wait = nullptr;
    if (wakeAt >= 0) {
      timeout = fromNs(std::max<int64_t>(0, wakeAt - toNs(monoNow())));
      wait = &timeout;
    }
    int n = ppoll(fds.data(), fds.size(), wait, nullptr);
    if (n < 0) {
      if (errno != EINTR) usleep(10000);
      continue;
    }
    if (fds[0].revents & POLLIN) drain(wake_[0]);
    if (stopping_) break;
    if (master_ >= 0 && (fds[2].revents & POLLIN)) readLine();

    const size_t polled = clients_.size();
    std::vector<size_t> dead;
    for (size_t i = 0; i < polled; ++i) {
      if (!fds[i + 3].revents) continue;
      bool gone = false;
      serveClient(clients_[i], &gone);
      if (gone) dead.push_back(i);
    }
    for (auto it = dead.rbegin(); it != dead.rend(); ++it) {
      close(clients_[*it].fd);
      clients_.erase(clients_.begin() + static_cast<long>(*it));
    }
    if (fds[1].revents & POLLIN) {
      int fd = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) {
        if (clients_.size() >= kMaxClients) {
          close(fd);
        } else {
          timeval tv{2, 0};  // a client that stops reading cannot stall the line for long
          setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
          clients_.push_back({fd, std::string()});
        }
      }
    }
  }
}

void Simulator::readLine() {
  uint8_t buf[4096];
  for (;;) {
    ssize_t n = read(master_, buf, sizeof buf);
    if (n > 0) {
      int64_t at = toNs(monoNow());
      for (ssize_t i = 0; i < n; ++i) queueAnswer(handheld_.receive(buf[i], at));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;  // EAGAIN: all read
  }
}

void Simulator::queueAnswer(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return;
  if (out_.empty()) {
    // The first byte is on the wire one byte time after the request was read.
    int64_t first = toNs(monoNow()) + static_cast<int64_t>(opt_.processingDelayUs) * 1000;
    startAt_ = paced_ ? first + kByteNs : first;
    lineNext_ = startAt_;
  }
  out_.insert(out_.end(), bytes.begin(), bytes.end());
}

int64_t Simulator::nextWrite() const {
  return paced_ ? std::max(startAt_, lineNext_ - kLeadBytes * kByteNs) : startAt_;
}

void Simulator::writeDue() {
  if (out_.empty() || master_ < 0) return;
  const int64_t now = toNs(monoNow());
  if (now < nextWrite()) return;
  size_t count = out_.size();
  if (paced_) count = std::min(count, static_cast<size_t>((now + kLeadBytes * kByteNs - lineNext_) / kByteNs + 1));
  std::vector<uint8_t> chunk(out_.begin(), out_.begin() + static_cast<long>(count));
  ssize_t w = write(master_, chunk.data(), chunk.size());
  if (w < 0) {
    // The host is not reading and the pty is full: try again a little later.
    startAt_ = now + 1000000;
    return;
  }
  out_.erase(out_.begin(), out_.begin() + w);
  lineNext_ += static_cast<int64_t>(w) * kByteNs;
}

// ---------------------------------------------------------------- control channel

bool Simulator::openControlSocket(std::string* error) {
  std::string host = opt_.controlHost == "localhost" ? "127.0.0.1" : opt_.controlHost;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(opt_.controlPort));
  if (inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1 || (ntohl(addr.sin_addr.s_addr) >> 24) != 127) {
    *error = "the control channel listens on the loopback only (127.x.x.x), not " + opt_.controlHost;
    return false;
  }
  listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_ < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  int one = 1;
  setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listen_, 8) != 0) {
    *error = "control " + opt_.controlHost + ":" + std::to_string(opt_.controlPort) + ": " + std::strerror(errno);
    closeFd(&listen_);
    return false;
  }
  socklen_t len = sizeof addr;
  getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
  controlPort_ = ntohs(addr.sin_port);
  return true;
}

void Simulator::serveClient(Client& c, bool* dead) {
  char buf[4096];
  ssize_t r = recv(c.fd, buf, sizeof buf, 0);
  if (r <= 0) {
    *dead = true;
    return;
  }
  c.buf.append(buf, static_cast<size_t>(r));
  size_t nl;
  while ((nl = c.buf.find('\n')) != std::string::npos) {
    std::string line = c.buf.substr(0, nl);
    c.buf.erase(0, nl + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string reply = control(line) + "\n";
    size_t off = 0;
    while (off < reply.size()) {
      ssize_t w = send(c.fd, reply.data() + off, reply.size() - off, MSG_NOSIGNAL);
      if (w <= 0) {
        *dead = true;
        return;
      }
      off += static_cast<size_t>(w);
    }
  }
  if (c.buf.size() > kMaxControlLine) *dead = true;
}

std::string Simulator::statusLine() const {
  std::ostringstream o;
  o << "ok fault=";
  switch (handheld_.fault.kind) {
    case FaultKind::None: o << "none"; break;
    case FaultKind::Silence: o << "silence"; break;
    case FaultKind::NoEcho: o << "noecho"; break;
    case FaultKind::Corrupt: o << "corrupt:" << handheld_.fault.arg; break;
    case FaultKind::Short: o << "short:" << handheld_.fault.arg; break;
  }
  if (handheld_.fault.once) o << ":once";
  o << " echo-byte=" << static_cast<int>(handheld_.echoByte) << " pace=" << (paced_ ? "on" : "off")
    << " record-timeout=" << handheld_.recordTimeoutMs << " plugged=" << (master_ >= 0 ? "yes" : "no")
    << " pty=" << (master_ >= 0 ? slaveName_ : std::string("-")) << " link=" << opt_.link
    << " records=" << handheld_.records.size() << " receiving=" << (handheld_.receiving() ? "yes" : "no")
    << " control=" << controlPort_;
  return o.str();
}

std::string Simulator::control(const std::string& line) {
  const std::vector<std::string> w = words(line);
  if (w.empty()) return "err empty command";
  const std::string& cmd = w[0];
  const size_t argc = w.size() - 1;

  if (cmd == "ping") return "ok pong";
  if (cmd == "help") {
    return "ok ping status fault echo-byte pace record-timeout unplug replug line transcript clear records record "
           "reset shutdown";
  }
  if (cmd == "status") return statusLine();
  if (cmd == "fault") {
    std::vector<std::string> a(w.begin() + 1, w.end());
    Fault f;
    if (!a.empty() && a.back() == "once") {
      f.once = true;
      a.pop_back();
    }
    const char* usage = "err usage: fault none|silence|noecho|corrupt [K]|short K [once]";
    long long k = 0;
    if (a.size() == 1 && a[0] == "none") {
      handheld_.fault = Fault{};
      return "ok";
    }
    if (a.size() == 1 && a[0] == "silence") {
      f.kind = FaultKind::Silence;
    } else if (a.size() == 1 && a[0] == "noecho") {
      f.kind = FaultKind::NoEcho;
    } else if (a.size() == 1 && a[0] == "corrupt") {
      f.kind = FaultKind::Corrupt;
      f.arg = kRecordLen / 2;
    } else if (a.size() == 2 && a[0] == "corrupt" && parseNumber(a[1], 0, kRecordLen - 1, &k)) {
      f.kind = FaultKind::Corrupt;
      f.arg = static_cast<size_t>(k);
    } else if (a.size() == 2 && a[0] == "short" && parseNumber(a[1], 0, kRecordLen, &k)) {
      f.kind = FaultKind::Short;
      f.arg = static_cast<size_t>(k);
    } else {
      return usage;
    }
    handheld_.fault = f;
    return "ok";
  }
  if (cmd == "echo-byte") {
    long long v = 0;
    if (argc == 0) return "ok " + std::to_string(handheld_.echoByte);
    if (argc != 1 || !parseNumber(w[1], 0, 255, &v)) return "err usage: echo-byte N (0..255)";
    handheld_.echoByte = static_cast<uint8_t>(v);
    return "ok";
  }
  if (cmd == "pace") {
    if (argc == 0) return std::string("ok ") + (paced_ ? "on" : "off");
    if (argc != 1 || (w[1] != "on" && w[1] != "off")) return "err usage: pace on|off";
    paced_ = w[1] == "on";
    return "ok";
  }
  if (cmd == "record-timeout") {
    long long ms = 0;
    if (argc != 1 || !parseNumber(w[1], 1, 60000, &ms)) return "err usage: record-timeout MS (1..60000)";
    handheld_.recordTimeoutMs = static_cast<int>(ms);
    return "ok";
  }
  if (cmd == "unplug") {
    if (argc != 0) return "err usage: unplug";
    destroyPort();
    return "ok";
  }
  if (cmd == "replug") {
    if (argc != 0) return "err usage: replug";
    destroyPort();  // replugging always gives a fresh pty
    std::string error;
    if (!createPort(&error)) return "err " + error;
    return "ok " + slaveName_;
  }
  if (cmd == "transcript") {
    std::string out = "ok";
    for (const auto& t : handheld_.transcript) out += " " + t;
    return out;
  }
  if (cmd == "clear") {
    handheld_.clear();
    return "ok";
  }
  if (cmd == "line") {
    // The line settings the host last gave the port (they stay with the pty).
    termios t{};
    if (slaveHold_ < 0 || tcgetattr(slaveHold_, &t) != 0) return "err unplugged";
    speed_t speed = cfgetospeed(&t);
    const char* baud = speed == B38400 ? "38400" : speed == B19200 ? "19200" : speed == B9600 ? "9600"
                     : speed == B2400 ? "2400" : "other";
    int bits = (t.c_cflag & CSIZE) == CS8 ? 8 : (t.c_cflag & CSIZE) == CS7 ? 7 : (t.c_cflag & CSIZE) == CS6 ? 6 : 5;
    const char* parity = !(t.c_cflag & PARENB) ? "none" : (t.c_cflag & PARODD) ? "odd" : "even";
    std::ostringstream o;
    o << "ok baud=" << baud << " bits=" << bits << " parity=" << parity << " stop=" << ((t.c_cflag & CSTOPB) ? 2 : 1)
      << " crtscts=" << ((t.c_cflag & CRTSCTS) ? "on" : "off") << " ixon=" << ((t.c_iflag & IXON) ? "on" : "off")
      << " ixoff=" << ((t.c_iflag & IXOFF) ? "on" : "off");
    return o.str();
  }
  if (cmd == "records") return "ok " + std::to_string(handheld_.records.size());
  if (cmd == "record") {
    if (handheld_.records.empty()) return "err no record received";
    long long i = static_cast<long long>(handheld_.records.size()) - 1;
    if (argc == 1 && !parseNumber(w[1], 0, static_cast<long long>(handheld_.records.size()) - 1, &i)) {
      return "err no record " + w[1] + " (" + std::to_string(handheld_.records.size()) + " kept)";
    }
    if (argc > 1) return "err usage: record [N]";
    return "ok " + toHex(handheld_.records[static_cast<size_t>(i)]);
  }
  if (cmd == "reset") {
    handheld_.reset();
    handheld_.recordTimeoutMs = opt_.recordTimeoutMs;
    paced_ = opt_.paced;
    out_.clear();
    return "ok";
  }
  if (cmd == "shutdown") {
    shutdownRequested_ = true;
    return "ok";
  }
  return "err unknown command '" + cmd + "' (try help)";
}

}  // namespace lindrow

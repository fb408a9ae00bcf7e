#include "sim.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "sim-support/clock.h"
#include "sim-support/text.h"

namespace lindrow {

namespace {

// 38400 baud with a start bit, eight data bits and two stop bits.
const simsupport::LineFormat kLine{38400, 2};
// Paced answers reach the host in packets, as from a USB serial adapter:
// bytes go out up to this many byte times before their place on the line,
// so that a late wake-up of this thread leaves no gap in what the host sees.
constexpr int64_t kLeadBytes = 64;

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

}  // namespace

Simulator::Simulator(SimOptions options)
    : opt_(std::move(options)), paced_(opt_.paced), line_(kLine), port_(opt_.link, kLine), ready_(opt_.readyFile) {
  handheld_.recordTimeoutMs = opt_.recordTimeoutMs;
}

Simulator::~Simulator() { stop(); }

// ---------------------------------------------------------------- start / stop

bool Simulator::start(std::string* error) {
  if (!simsupport::checkLinkPath(opt_.link, error)) return false;
  ready_.clearStale();
  if (!wake_.open(error) || !port_.open(error) || !control_.listen(opt_.controlHost, opt_.controlPort, error)) {
    stop();
    return false;
  }
  firstSlave_ = port_.slaveName();
  thread_ = std::thread(&Simulator::loop, this);
  return true;
}

bool Simulator::signalReady(std::string* error) {
  if (ready_.write(control_.port(), error)) return true;
  stop();
  return false;
}

void Simulator::stop() {
  stopping_ = true;
  wake_.wake();
  if (thread_.joinable()) thread_.join();
  control_.close();
  destroyPort();
  wake_.close();
  ready_.remove();
}

void Simulator::destroyPort() {
  out_.clear();
  port_.close();
}

// ---------------------------------------------------------------- the loop

void Simulator::loop() {
  while (!stopping_) {
    const int64_t now = simsupport::monoNowNs();
    writeDue();
    handheld_.expire(now);

    // Sleep until the next answer byte is due, a stalled record runs out,
    // or something arrives.
    int64_t wakeAt = -1;
    if (!out_.empty()) wakeAt = nextWrite();
    int64_t recordEnd = handheld_.deadline();
    if (recordEnd >= 0 && (wakeAt < 0 || recordEnd < wakeAt)) wakeAt = recordEnd;

    const int master = port_.master();
    std::vector<pollfd> fds;
    fds.push_back({wake_.fd(), POLLIN, 0});
    fds.push_back({master, static_cast<short>(master >= 0 ? POLLIN : 0), 0});
    control_.addPollFds(&fds);
    timespec timeout{};
    timespec* wait = nullptr;
    if (wakeAt >= 0) {
      timeout = simsupport::fromNs(std::max<int64_t>(0, wakeAt - simsupport::monoNowNs()));
      wait = &timeout;
    }
    int n = ppoll(fds.data(), fds.size(), wait, nullptr);
    if (n < 0) {
      if (errno != EINTR) usleep(10000);
      continue;
    }
    if (fds[0].revents & POLLIN) wake_.drain();
    if (stopping_) break;
    if (master >= 0 && (fds[1].revents & POLLIN)) readLine();
    control_.serve(fds, [this](const std::string& line) { return control(line); });
  }
}

void Simulator::readLine() {
  uint8_t buf[4096];
  for (;;) {
    ssize_t n = read(port_.master(), buf, sizeof buf);
    if (n > 0) {
      const int64_t at = simsupport::monoNowNs();
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
    const int64_t now = simsupport::monoNowNs();
    startAt_ = paced_ ? line_.firstByteAt(now, opt_.processingDelayUs)
                      : now + static_cast<int64_t>(opt_.processingDelayUs) * 1000;
    lineStart_ = startAt_;
    sent_ = 0;
  }
  out_.insert(out_.end(), bytes.begin(), bytes.end());
}

int64_t Simulator::nextWrite() const {
  return paced_ ? std::max(startAt_, line_.byteAt(lineStart_, sent_) - kLeadBytes * line_.byteNs()) : startAt_;
}

void Simulator::writeDue() {
  if (out_.empty() || !port_.isOpen()) return;
  const int64_t now = simsupport::monoNowNs();
  if (now < nextWrite()) return;
  size_t count = out_.size();
  if (paced_) count = std::min(count, line_.bytesDue(lineStart_, now + kLeadBytes * line_.byteNs()) - sent_);
  std::vector<uint8_t> chunk(out_.begin(), out_.begin() + static_cast<long>(count));
  ssize_t w = write(port_.master(), chunk.data(), chunk.size());
  if (w < 0) {
    // The host is not reading and the pty is full: try again a little later.
    startAt_ = now + 1000000;
    return;
  }
  out_.erase(out_.begin(), out_.begin() + w);
  sent_ += static_cast<size_t>(w);
}

// ---------------------------------------------------------------- control channel

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
    << " record-timeout=" << handheld_.recordTimeoutMs << " plugged=" << (port_.isOpen() ? "yes" : "no")
    << " pty=" << (port_.isOpen() ? port_.slaveName() : std::string("-")) << " link=" << opt_.link
    << " records=" << handheld_.records.size() << " receiving=" << (handheld_.receiving() ? "yes" : "no")
    << " control=" << control_.port();
  return o.str();
}

std::string Simulator::control(const std::string& line) {
  const std::vector<std::string> w = simsupport::splitWords(line);
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
    if (!port_.open(&error)) return "err " + error;
    return "ok " + port_.slaveName();
  }
  if (cmd == "transcript") return handheld_.transcript.reply();
  if (cmd == "clear") {
    handheld_.clear();
    return "ok";
  }
  if (cmd == "line") {
    // The line settings the host last gave the port (they stay with the pty).
    termios t{};
    if (!port_.isOpen() || tcgetattr(port_.slave(), &t) != 0) return "err unplugged";
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
    return "ok " + simsupport::toHex(handheld_.records[static_cast<size_t>(i)]);
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

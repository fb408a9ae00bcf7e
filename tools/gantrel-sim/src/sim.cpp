#include "sim.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "util.h"

namespace gantrel {

namespace {

constexpr int64_t kNsPerSec = 1000000000LL;
const simsupport::LineFormat kLine{2400, 1};  // 8N1: 1/240 s a byte
constexpr size_t kWritesCap = 256;  // completed writes kept for `writes`

// Text of the 'I' block may carry \n, \r, \t, \\ and \xHH escapes.
bool unescape(const std::string& in, std::string* out, std::string* error) {
  out->clear();
  for (size_t i = 0; i < in.size(); ++i) {
    char c = in[i];
    if (c != '\\') {
      out->push_back(c);
      continue;
    }
    if (i + 1 >= in.size()) {
      *error = "dangling backslash";
      return false;
    }
    char e = in[++i];
    switch (e) {
      case 'n': out->push_back('\n'); break;
      case 'r': out->push_back('\r'); break;
      case 't': out->push_back('\t'); break;
      case '\\': out->push_back('\\'); break;
      case 'x': {
        std::vector<uint8_t> v;
        if (i + 2 >= in.size()) {
          *error = "short \\x escape";
          return false;
        }
        if (!fromHex(in.substr(i + 1, 2), &v) || v.size() != 1) {
          *error = "bad \\x escape";
          return false;
        }
        out->push_back(static_cast<char>(v[0]));
        i += 2;
        break;
      }
      default:
        *error = std::string("unknown escape \\") + e;
        return false;
    }
  }
  return true;
}

std::string escape(const std::string& in) {
  std::string out;
  for (unsigned char c : in) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\x" + toHex(&c, 1);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

// The text after the first `words` blank-separated words of `line`, with the
// one separating blank removed (further blanks belong to the text).
std::string restAfter(const std::string& line, int words) {
  size_t i = 0;
  for (int w = 0; w < words; ++w) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    while (i < line.size() && !(line[i] == ' ' || line[i] == '\t')) ++i;
  }
  if (i < line.size()) ++i;
  return i < line.size() ? line.substr(i) : std::string();
}

const char* tristateName(Tristate t) {
  switch (t) {
    case Tristate::On: return "on";
    case Tristate::Off: return "off";
    default: return "auto";
  }
}

bool parseTristate(const std::string& s, Tristate* t) {
  if (s == "on") *t = Tristate::On;
  else if (s == "off") *t = Tristate::Off;
  else if (s == "auto") *t = Tristate::Auto;
  else return false;
  return true;
}

bool parseByte(const std::string& s, int* v) {
  long long x = 0;
  if (!parseInt(s, &x) || x < 0 || x > 255) return false;
  *v = static_cast<int>(x);
  return true;
}

bool parseIndex(const std::string& s, int count, int* v) {
  long long x = 0;
  if (!parseInt(s, &x) || x < 0 || x >= count) return false;
  *v = static_cast<int>(x);
  return true;
}

}  // namespace

Simulator::Simulator(SimOptions options)
    : opt_(std::move(options)),
      line_(kLine),
      ready_(opt_.readyFile),
      model_(opt_.version, opt_.flags, opt_.seed),
      paced_(opt_.paced),
      payloadTimeoutMs_(opt_.payloadTimeoutMs),
      rng_(opt_.seed),
      port_(opt_.link, kLine) {
  started_ = monoNow();
}

Simulator::~Simulator() { stop(); }

double Simulator::elapsed(const timespec& at) const {
  return static_cast<double>(diffNs(at, started_)) / static_cast<double>(kNsPerSec);
}

std::string Simulator::slavePath() const {
  std::lock_guard<std::mutex> lock(mu_);
  return slaveName_;
}

bool Simulator::plugged() const {
  std::lock_guard<std::mutex> lock(mu_);
  return plugged_;
}

// ---------------------------------------------------------------- start / stop

bool Simulator::start(std::string* error) {
  if (!simsupport::checkLinkPath(opt_.link, error)) return false;
  if (opt_.version < 0 || opt_.version > 255 || opt_.flags < 0 || opt_.flags > 255) {
    *error = "version and flags are single bytes (0..255)";
    return false;
  }
  if (!opt_.transcriptFile.empty()) {
    transcriptFile_ = std::fopen(opt_.transcriptFile.c_str(), "ae");
    if (!transcriptFile_) {
      *error = "cannot open transcript " + opt_.transcriptFile + ": " + std::strerror(errno);
      return false;
    }
  }
  ready_.clearStale();
  if (!serialWake_.open(error) || !controlWake_.open(error) || !createPort(error) ||
      (opt_.control && !control_.listen(opt_.controlHost, opt_.controlPort, error))) {
    stop();
    return false;
  }
  serialThread_ = std::thread(&Simulator::serialLoop, this);
  if (opt_.control) controlThread_ = std::thread(&Simulator::controlLoop, this);
  return true;
}

bool Simulator::signalReady(std::string* error) {
  if (ready_.write(control_.port(), error)) return true;
  stop();
  return false;
}

void Simulator::stop() {
  stopping_ = true;
  serialWake_.wake();
  controlWake_.wake();
  if (serialThread_.joinable()) serialThread_.join();
  if (controlThread_.joinable()) controlThread_.join();
  destroyPort();
  control_.close();
  serialWake_.close();
  controlWake_.close();
  if (transcriptFile_) {
    std::fclose(transcriptFile_);
    transcriptFile_ = nullptr;
  }
  ready_.remove();
}

// ---------------------------------------------------------------- pty and link

bool Simulator::createPort(std::string* error) {
  if (!port_.open(error)) return false;
  std::lock_guard<std::mutex> lock(mu_);
  slaveName_ = port_.slaveName();
  plugged_ = true;
  return true;
}

void Simulator::destroyPort() {
  if (pending_.active) finishPayload(false);
  in_.clear();
  port_.close();
  std::lock_guard<std::mutex> lock(mu_);
  plugged_ = false;
}

// ---------------------------------------------------------------- serial side

void Simulator::serialLoop() {
  while (!stopping_) {
    serviceRequest();
    if (!port_.isOpen()) {  // unplugged: only a request can change anything
      pollfd p{serialWake_.fd(), POLLIN, 0};
      poll(&p, 1, -1);
      serialWake_.drain();
      continue;
    }
    if (!in_.empty()) {
      processOne();
      continue;
    }
    int timeoutMs = -1;
    if (pending_.active) {
      int64_t limit;
      {
        std::lock_guard<std::mutex> lock(mu_);
        limit = static_cast<int64_t>(payloadTimeoutMs_) * 1000000LL;
      }
      int64_t rem = diffNs(addNs(pending_.last, limit), monoNow());
      if (rem <= 0) {
        finishPayload(false);  // a real unit gives up on a stalled payload
        continue;
      }
      timeoutMs = static_cast<int>(rem / 1000000LL) + 1;
    }
    pollfd fds[2] = {{port_.master(), POLLIN, 0}, {serialWake_.fd(), POLLIN, 0}};
    int n = poll(fds, 2, timeoutMs);
    if (n < 0) {
      if (errno != EINTR) usleep(10000);
      continue;
    }
    if (fds[1].revents & POLLIN) serialWake_.drain();
    if (fds[0].revents & POLLIN) {
      readAvailable();
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      usleep(10000);  // cannot happen while we hold the slave; never spin if it does
    }
  }
  // A control client still waiting for a port change gets an answer.
  {
    std::lock_guard<std::mutex> lock(reqMu_);
    if (request_ != Request::None) {
      request_ = Request::None;
      requestDone_ = true;
      requestResult_ = "err stopping";
    }
  }
  reqCv_.notify_all();
}

void Simulator::serviceRequest() {
  Request r;
  {
    std::lock_guard<std::mutex> lock(reqMu_);
    r = request_;
  }
  if (r == Request::None) return;
  std::string result = "ok";
  if (r == Request::Unplug) {
    destroyPort();
  } else {
    destroyPort();  // replugging always gives a fresh pty
    std::string err;
    if (createPort(&err)) {
      std::lock_guard<std::mutex> lock(mu_);
      result = "ok " + slaveName_;
    } else {
      result = "err " + err;
    }
  }
  {
    std::lock_guard<std::mutex> lock(reqMu_);
    request_ = Request::None;
    requestDone_ = true;
    requestResult_ = result;
  }
  reqCv_.notify_all();
}

void Simulator::readAvailable() {
  uint8_t buf[512];
  for (;;) {
    ssize_t n = read(port_.master(), buf, sizeof buf);
    if (n > 0) {
      timespec now = monoNow();
      for (ssize_t i = 0; i < n; ++i) in_.push_back({buf[i], now});
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;  // EAGAIN: all read
  }
}

void Simulator::processOne() {
  InByte ib = in_.front();
  in_.pop_front();
  if (pending_.active) {
    int64_t limit;
    {
      std::lock_guard<std::mutex> lock(mu_);
      limit = static_cast<int64_t>(payloadTimeoutMs_) * 1000000LL;
    }
    if (diffNs(ib.at, pending_.last) > limit) {
      finishPayload(false);  // too late to belong to the payload: a new command
    } else {
      pending_.buf.push_back(ib.b);
      pending_.last = ib.at;
      if (pending_.buf.size() >= pending_.need) finishPayload(true);
      return;
    }
  }
  handleCommand(ib.b, ib.at);
}

void Simulator::finishPayload(bool complete) {
  std::lock_guard<std::mutex> lock(mu_);
  if (complete) {
    if (pending_.table) {
      std::copy(pending_.buf.begin(), pending_.buf.end(), model_.tables[pending_.index].begin());
      // Storing starts once the last byte is in: on the line that is a byte
      // time per payload byte after the command, however fast the pty was.
      if (storingMs_ > 0) {
        const int64_t lineEnd = line_.byteAt(toNs(pending_.start), pending_.need);
        storingUntilNs_ = std::max(lineEnd, toNs(pending_.last)) + static_cast<int64_t>(storingMs_) * 1000000LL;
      }
    } else {
      std::copy(pending_.buf.begin(), pending_.buf.end(), model_.blocks[pending_.index].begin());
    }
    writes_.push_back({pending_.cmd, pending_.buf});
    while (writes_.size() > kWritesCap) writes_.pop_front();
  }
  record(std::to_string(pending_.cmd) + ":" + std::to_string(pending_.buf.size()) + (complete ? "" : "!"));
  pending_ = Pending{};
}

bool Simulator::rSilent() const {
  if (rsilent_ == Tristate::Auto) return isDGeneration(model_.version);
  return rsilent_ == Tristate::On;
}

bool Simulator::dSilent() const {
  if (dsilent_ == Tristate::Auto) return !isDGeneration(model_.version);
  return dsilent_ == Tristate::On;
}

void Simulator::handleCommand(uint8_t byte, const timespec& at) {
  const Command c = decodeCommand(byte);
  std::vector<uint8_t> reply;
  bool paced;
  bool unplugAfter = false;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (c.kind == CmdKind::WriteTable || c.kind == CmdKind::WriteBlock) {
      pending_ = Pending{};
      pending_.active = true;
      pending_.cmd = byte;
      pending_.table = c.kind == CmdKind::WriteTable;
      pending_.index = c.index;
      pending_.need = c.payload;
      pending_.start = at;
      pending_.last = at;
      pending_.buf.reserve(c.payload);
      return;
    }
    record(std::to_string(byte));
    const double t = elapsed(at);
    const bool storing = toNs(at) < storingUntilNs_;
    switch (c.kind) {
      case CmdKind::Identify:
        if (!rSilent()) reply = model_.replyR(t);
        break;
      case CmdKind::IdentifyOld:
        if (!dSilent()) reply = model_.replyD(t);
        break;
      case CmdKind::Info:
        // The 'D' generation predates the information block.
        if (!isDGeneration(model_.version)) reply = model_.infoReply();
        break;
      case CmdKind::ReadTable:
        if (!storing) reply.assign(model_.tables[c.index].begin(), model_.tables[c.index].end());
        break;
      case CmdKind::ReadBlock:
        if (!storing) reply.assign(model_.blocks[c.index].begin(), model_.blocks[c.index].end());
        break;
      default:
        break;  // unknown bytes are ignored, as the firmware does
    }
    if (!reply.empty() && fault_.kind != FaultKind::None && (fault_.cmd < 0 || fault_.cmd == byte)) {
      switch (fault_.kind) {
        case FaultKind::Silence: reply.clear(); break;
        case FaultKind::Garbage:
          for (auto& b : reply) b = static_cast<uint8_t>(rng_() & 0xFF);
          break;
        case FaultKind::Short: reply.resize(std::min(reply.size(), fault_.keep)); break;
        case FaultKind::Unplug: unplugAfter = true; break;
        default: break;
      }
      if (fault_.once) fault_ = Fault{};
    }
    paced = paced_;
  }
  if (!reply.empty()) sendReply(reply, at, paced);
  if (unplugAfter) {
    // The cable goes once the host has the whole reply, so its next command
    // meets a vanished unit whatever the timing.
    waitUntilTaken();
    destroyPort();
  }
}

void Simulator::waitUntilTaken() {
  // The slave's input queue is what the host has yet to read. Bytes just
  // written may not have reached it, so an empty queue counts only once it
  // stays empty for a while: briefly after the host was seen reading, longer
  // when it took the bytes before the first look.
  bool seen = false;
  int emptyMs = 0;
  for (int ms = 0; ms < 1000; ++ms) {
    int pending = 0;
    if (ioctl(port_.slave(), FIONREAD, &pending) != 0) return;
    if (pending > 0) {
      seen = true;
      emptyMs = 0;
    } else if (++emptyMs >= (seen ? 20 : 100)) {
      return;
    }
    usleep(1000);
  }
}

void Simulator::sendReply(const std::vector<uint8_t>& reply, const timespec& arrival, bool paced) {
  if (!in_.empty()) return;  // the host has already moved on
  if (!paced) {
    writeWithin(reply.data(), reply.size());
    return;
  }
  // The command byte takes one byte time on a real line before the unit has
  // it; then a short processing delay; then one byte every 1/240 s, each at an
  // absolute deadline so rounding never accumulates.
  const int64_t first = line_.firstByteAt(toNs(arrival), opt_.processingDelayUs);
  for (size_t k = 0; k < reply.size(); ++k) {
    const timespec deadline = fromNs(line_.byteAt(first, k));
    if (!waitUntil(deadline)) return;  // a new command (or unplug) aborts the reply
    ssize_t w = write(port_.master(), &reply[k], 1);
    if (w < 0 && errno != EAGAIN && errno != EINTR) return;
    // EAGAIN: the host is not reading and its buffer is full; the byte is lost,
    // as it would be on the line.
  }
}

// After a poll of the master and the wake pipe: true when a control request
// or a new command from the host must cut the current reply short.
bool Simulator::interrupted(const ::pollfd* fds) {
  if (fds[1].revents & POLLIN) {
    serialWake_.drain();
    bool req;
    {
      std::lock_guard<std::mutex> lock(reqMu_);
      req = request_ != Request::None;
    }
    if (stopping_ || req) return true;
  }
  if (fds[0].revents & POLLIN) {
    readAvailable();
    if (!in_.empty()) return true;
  }
  return false;
}

bool Simulator::waitUntil(const timespec& deadline) {
  const int64_t kFine = 2000000;  // last 2 ms: precise absolute sleep
  for (;;) {
    int64_t rem = diffNs(deadline, monoNow());
    if (rem <= 0) return true;
    pollfd fds[2] = {{port_.master(), POLLIN, 0}, {serialWake_.fd(), POLLIN, 0}};
    timespec to{};
    if (rem > kFine) to = addNs(to, rem - kFine / 2);
    int n = ppoll(fds, 2, &to, nullptr);
    if (n > 0 && interrupted(fds)) return false;
    if (rem <= kFine) {
      while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
      }
      // A command that came during the precise sleep still cuts the reply
      // before this byte, as it would on the line.
      pollfd now[2] = {{port_.master(), POLLIN, 0}, {serialWake_.fd(), POLLIN, 0}};
      return !(poll(now, 2, 0) > 0 && interrupted(now));
    }
  }
}

bool Simulator::writeWithin(const uint8_t* data, size_t len) {
  size_t off = 0;
  const timespec giveUp = addNs(monoNow(), kNsPerSec);
  while (off < len) {
    ssize_t w = write(port_.master(), data + off, len - off);
    if (w > 0) {
      off += static_cast<size_t>(w);
      continue;
    }
    if (w < 0 && errno == EINTR) continue;
    if (w < 0 && errno != EAGAIN) return false;
    // No room: the host is not reading. Wait a while, but let a new command
    // or a control request win; never wait forever.
    int64_t rem = diffNs(giveUp, monoNow());
    if (rem <= 0) return false;
    pollfd fds[2] = {{port_.master(), POLLIN | POLLOUT, 0}, {serialWake_.fd(), POLLIN, 0}};
    int n = poll(fds, 2, static_cast<int>(rem / 1000000LL) + 1);
    if (n <= 0) continue;
    if (interrupted(fds)) return false;
  }
  return true;
}

// ---------------------------------------------------------------- transcript

void Simulator::record(const std::string& token) {
  transcript_.add(token);
  if (transcriptFile_) {
    std::fprintf(transcriptFile_, "%.3f %s\n", elapsed(monoNow()), token.c_str());
    std::fflush(transcriptFile_);
  }
}

// ---------------------------------------------------------------- control channel

void Simulator::controlLoop() {
  while (!stopping_) {
    std::vector<pollfd> fds{{controlWake_.fd(), POLLIN, 0}};
    control_.addPollFds(&fds);
    int n = poll(fds.data(), fds.size(), -1);
    if (n < 0) {
      if (errno != EINTR) usleep(10000);
      continue;
    }
    if (fds[0].revents & POLLIN) controlWake_.drain();
    if (stopping_) break;
    control_.serve(fds, [this](const std::string& line) { return control(line); });
  }
}

std::string Simulator::requestPort(Request r) {
  if (!serialThread_.joinable()) return "err not running";
  std::lock_guard<std::mutex> one(reqSerial_);  // one port request at a time
  {
    std::lock_guard<std::mutex> lock(reqMu_);
    request_ = r;
    requestDone_ = false;
  }
  serialWake_.wake();
  std::unique_lock<std::mutex> lock(reqMu_);
  if (!reqCv_.wait_for(lock, std::chrono::seconds(3), [this] { return requestDone_; })) {
    return "err serial side did not respond";
  }
  return requestResult_;
}

std::string Simulator::statusLine() {
  std::ostringstream o;
  char flags[8];
  std::snprintf(flags, sizeof flags, "0x%02x", model_.flags);
  o << "ok version=" << model_.version << " flags=" << flags << " pace=" << (paced_ ? "on" : "off")
    << " fault=";
  switch (fault_.kind) {
    case FaultKind::None: o << "none"; break;
    case FaultKind::Silence: o << "silence"; break;
    case FaultKind::Garbage: o << "garbage"; break;
    case FaultKind::Short: o << fault_.name << ":" << fault_.keep; break;
    case FaultKind::Unplug: o << "unplug"; break;
  }
  if (fault_.kind != FaultKind::None && fault_.cmd >= 0) o << ":cmd" << fault_.cmd;
  if (fault_.once) o << ":once";
  o << " rsilent=" << tristateName(rsilent_) << "(" << (rSilent() ? "on" : "off") << ")"
    << " dsilent=" << tristateName(dsilent_) << "(" << (dSilent() ? "on" : "off") << ")"
    << " payload-timeout=" << payloadTimeoutMs_ << " storing=" << storingMs_
    << " plugged=" << (plugged_ ? "yes" : "no")
    << " pty=" << (plugged_ ? slaveName_ : std::string("-")) << " link=" << opt_.link
    << " control=" << control_.port() << " uptime=" << elapsed(monoNow());
  return o.str();
}

std::string Simulator::control(const std::string& rawLine) {
  std::string line = rawLine;
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  const std::vector<std::string> w = splitWords(line);
  if (w.empty()) return "err empty command";
  const std::string& cmd = w[0];
  const size_t argc = w.size() - 1;

  // Port changes run on the serial thread; do not hold mu_ while waiting.
  if (cmd == "unplug" || cmd == "replug") {
    if (argc != 0) return "err usage: " + cmd;
    return requestPort(cmd == "unplug" ? Request::Unplug : Request::Replug);
  }

  std::lock_guard<std::mutex> lock(mu_);
  if (cmd == "ping") return "ok pong";
  if (cmd == "help") {
    return "ok ping status version flags pace fault unplug replug transcript writes clear table block info "
           "infolen hwinfo live rsilent dsilent payload-timeout storing reset shutdown";
  }
  if (cmd == "status") return statusLine();
  if (cmd == "version" || cmd == "flags") {
    if (argc == 0) return "ok " + std::to_string(cmd == "version" ? model_.version : model_.flags);
    int v;
    if (argc != 1 || !parseByte(w[1], &v)) return "err usage: " + cmd + " N (0..255)";
    (cmd == "version" ? model_.version : model_.flags) = v;
    return "ok";
  }
  if (cmd == "pace") {
    if (argc == 1 && w[1] == "on") paced_ = true;
    else if (argc == 1 && w[1] == "off") paced_ = false;
    else if (argc == 0) return std::string("ok ") + (paced_ ? "on" : "off");
    else return "err usage: pace on|off";
    return "ok";
  }
  if (cmd == "fault") {
    std::vector<std::string> a(w.begin() + 1, w.end());
    Fault f;
    if (!a.empty() && a.back() == "once") {
      f.once = true;
      a.pop_back();
    }
    const char* usage = "err usage: fault silence|garbage|short K|cut K|unplug|none [cmd N] [once]";
    if (a.size() >= 2 && a[a.size() - 2] == "cmd") {
      int c;
      if (!parseByte(a.back(), &c)) return usage;
      f.cmd = c;
      a.resize(a.size() - 2);
    }
    if (a.empty()) return usage;
    if (a[0] == "none" && a.size() == 1 && f.cmd < 0 && !f.once) {
      fault_ = Fault{};
      return "ok";
    }
    if (a[0] == "silence" && a.size() == 1) {
      f.kind = FaultKind::Silence;
    } else if (a[0] == "garbage" && a.size() == 1) {
      f.kind = FaultKind::Garbage;
    } else if (a[0] == "unplug" && a.size() == 1) {
      f.kind = FaultKind::Unplug;
    } else if ((a[0] == "short" || a[0] == "cut") && a.size() == 2) {
      long long k = 0;
      if (!parseInt(a[1], &k) || k < 0 || k > 100000) return usage;
      f.kind = FaultKind::Short;
      f.keep = static_cast<size_t>(k);
      f.name = a[0];
    } else {
      return usage;
    }
    fault_ = f;
    return "ok";
  }
  if (cmd == "transcript") return transcript_.reply();
  if (cmd == "writes") {
    if (argc == 1 && w[1] == "clear") {
      writes_.clear();
      return "ok";
    }
    if (argc != 0) return "err usage: writes [clear]";
    std::string out = "ok";
    for (const auto& r : writes_) out += " " + std::to_string(r.cmd) + ":" + toHex(r.payload.data(), r.payload.size());
    return out;
  }
  if (cmd == "clear") {
    transcript_.clear();
    writes_.clear();
    return "ok";
  }
  if (cmd == "table" || cmd == "block") {
    const bool table = cmd == "table";
    const int count = table ? kTableCount : kBlockCount;
    const size_t len = table ? kTableLen : kBlockLen;
    int n;
    if (argc < 1 || !parseIndex(w[1], count, &n)) {
      return "err usage: " + cmd + " N [HEX] (N 0.." + std::to_string(count - 1) + ")";
    }
    uint8_t* data = table ? model_.tables[n].data() : model_.blocks[n].data();
    if (argc == 1) return "ok " + toHex(data, len);
    std::string hex;
    for (size_t i = 2; i < w.size(); ++i) hex += w[i];
    std::vector<uint8_t> v;
    if (!fromHex(hex, &v) || v.size() != len) {
      return "err " + cmd + " needs exactly " + std::to_string(len) + " bytes of hex";
    }
    std::copy(v.begin(), v.end(), data);
    return "ok";
  }
  if (cmd == "info") {
    if (argc == 0) {
      std::string out = "ok " + toHex(model_.infoHeader().data(), kInfoHeaderLen);
      if (!model_.infoText.empty()) out += " " + escape(model_.infoText);
      return out;
    }
    std::vector<uint8_t> h;
    if (!fromHex(w[1], &h) || h.size() != kInfoHeaderLen) return "err usage: info HEXHEADER(16 bytes) [TEXT]";
    std::string text, err;
    if (!unescape(restAfter(line, 2), &text, &err)) return "err " + err;
    if (text.size() > kInfoTextMax) return "err text longer than 255 bytes";
    std::copy(h.begin(), h.end(), model_.infoHeaderBytes.begin());
    model_.infoHeaderSet = true;
    model_.infoText = text;
    return "ok";
  }
  if (cmd == "infolen") {
    int v;
    if (argc == 1 && w[1] == "auto") {
      model_.infoLenOverride = -1;
    } else if (argc == 1 && parseByte(w[1], &v)) {
      model_.infoLenOverride = v;
    } else {
      return "err usage: infolen K|auto";
    }
    return "ok";
  }
  if (cmd == "hwinfo") {
    if (argc != 4 && argc != 8) return "err usage: hwinfo SERIAL PRODUCTION WORD2 DATE [KEY0 KEY1 KEY2 KEY3]";
    uint32_t words[4], keys[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < argc; ++i) {
      long long v = 0;
      if (!parseInt(w[1 + i], &v) || v < 0 || v > 0xFFFFFFFFLL) return "err values are 32-bit unsigned";
      (i < 4 ? words[i] : keys[i - 4]) = static_cast<uint32_t>(v);
    }
    model_.setHardwareInfo(words, keys);
    return "ok";
  }
  if (cmd == "live") {
    if (argc == 0) {
      std::string out = "ok";
      for (size_t i = 0; i < kReplyRLen; ++i) {
        if (model_.pins.r[i] >= 0) out += " r" + std::to_string(i) + "=" + std::to_string(model_.pins.r[i]);
      }
      for (size_t i = 0; i < kReplyDLen; ++i) {
        if (model_.pins.d[i] >= 0) out += " d" + std::to_string(i) + "=" + std::to_string(model_.pins.d[i]);
      }
      if (model_.pins.rpm >= 0) out += " rpm=" + std::to_string(model_.pins.rpm);
      if (model_.pins.tp >= 0) out += " tp=" + std::to_string(model_.pins.tp);
      return out;
    }
    if (argc == 1 && w[1] == "free") {
      model_.pins.clear();
      return "ok";
    }
    const char* usage = "err usage: live r0..r15|d0..d10|rpm|tp VALUE|free, or live free";
    if (argc != 2) return usage;
    const std::string& field = w[1];
    const bool free = w[2] == "free";
    long long v = -1;
    if (!free && !parseInt(w[2], &v)) return usage;
    if (field == "rpm") {
      if (!free && (v < 0 || v > 100000)) return "err rpm 0..100000";
      model_.pins.rpm = free ? -1 : static_cast<int>(v);
      return "ok";
    }
    if (!free && (v < 0 || v > 255)) return "err live bytes are 0..255";
    if (field == "tp") {
      model_.pins.tp = free ? -1 : static_cast<int>(v);
      return "ok";
    }
    if (field.size() >= 2 && (field[0] == 'r' || field[0] == 'd')) {
      long long i = 0;
      const size_t len = field[0] == 'r' ? kReplyRLen : kReplyDLen;
      if (!parseInt(field.substr(1), &i) || i < 0 || static_cast<size_t>(i) >= len) return usage;
      int& pin = field[0] == 'r' ? model_.pins.r[static_cast<size_t>(i)] : model_.pins.d[static_cast<size_t>(i)];
      pin = free ? -1 : static_cast<int>(v);
      return "ok";
    }
    return usage;
  }
  if (cmd == "rsilent" || cmd == "dsilent") {
    Tristate t;
    if (argc != 1 || !parseTristate(w[1], &t)) return "err usage: " + cmd + " on|off|auto";
    (cmd == "rsilent" ? rsilent_ : dsilent_) = t;
    return "ok";
  }
  if (cmd == "payload-timeout") {
    long long ms = 0;
    if (argc != 1 || !parseInt(w[1], &ms) || ms < 1 || ms > 60000) return "err usage: payload-timeout MS (1..60000)";
    payloadTimeoutMs_ = static_cast<int>(ms);
    serialWake_.wake();  // re-arm a running payload wait
    return "ok";
  }
  if (cmd == "storing") {
    long long ms = 0;
    if (argc == 0) return "ok " + std::to_string(storingMs_);
    if (argc != 1 || !parseInt(w[1], &ms) || ms < 0 || ms > 60000) return "err usage: storing MS (0..60000, 0 off)";
    storingMs_ = static_cast<int>(ms);
    if (storingMs_ == 0) storingUntilNs_ = 0;
    return "ok";
  }
  if (cmd == "reset") {
    model_ = ControllerModel(opt_.version, opt_.flags, opt_.seed);
    paced_ = opt_.paced;
    fault_ = Fault{};
    rsilent_ = dsilent_ = Tristate::Auto;
    payloadTimeoutMs_ = opt_.payloadTimeoutMs;
    storingMs_ = 0;
    storingUntilNs_ = 0;
    transcript_.clear();
    writes_.clear();
    return "ok";
  }
  if (cmd == "shutdown") {
    shutdownRequested_ = true;
    return "ok";
  }
  return "err unknown command '" + cmd + "' (try help)";
}

}  // namespace gantrel

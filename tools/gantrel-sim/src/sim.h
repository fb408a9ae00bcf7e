// The simulated controller behind a pseudo-terminal, plus its TCP control channel.
//
// Threads: one serial thread owns the pty (all reads, writes, unplug and replug
// happen there, so file descriptors are never closed under a poll); one control
// thread serves the TCP clients. Shared state sits behind one mutex that is never
// held while sleeping or doing pty I/O.
#pragma once

#include <poll.h>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "model.h"
#include "sim-support/control.h"
#include "sim-support/line.h"
#include "sim-support/pty_link.h"
#include "sim-support/ready_file.h"
#include "sim-support/transcript.h"
#include "sim-support/wake_pipe.h"

namespace gantrel {

struct SimOptions {
  std::string link;              // symlink to the pty slave (required)
  int version = 105;
  int flags = 0xE1;
  bool paced = true;             // 2400 baud 8N1: 1/240 s per byte
  bool control = true;           // open the TCP control channel
  std::string controlHost = "127.0.0.1";
  int controlPort = 0;           // 0 = any free port
  std::string readyFile;         // "ready <port>\n" once everything is up
  std::string transcriptFile;    // one line per received command, appended
  uint64_t seed = 1;
  int payloadTimeoutMs = 1000;   // longest gap inside a write payload
  int processingDelayUs = 1000;  // between the end of a command byte and the reply
};

enum class FaultKind { None, Silence, Garbage, Short, Unplug };

struct Fault {
  FaultKind kind = FaultKind::None;
  size_t keep = 0;     // Short: bytes let through
  bool once = false;   // cleared after the next reply it spoils
  std::string name;    // "short" or "cut" (same effect)
  int cmd = -1;        // only replies to this command byte; -1: every reply
};

// One completed write (table or block) as it arrived: the command byte and
// the whole payload.
struct WriteRecord {
  uint8_t cmd = 0;
  std::vector<uint8_t> payload;
};

// Where a unit-kind default can be overridden from the control channel.
enum class Tristate { Auto, On, Off };

class Simulator {
 public:
  explicit Simulator(SimOptions options);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Creates the pty and link, the control socket and the threads, then the
  // ready file. False (with a message) when any of it fails.
  bool start(std::string* error);
  // Writes the ready file; the program calls it once it has announced its
  // link and control port, so that whoever sees the file finds them said.
  bool signalReady(std::string* error);
  void stop();

  // One control line in, one reply line out (without the newline). Thread-safe.
  std::string control(const std::string& line);

  bool shutdownRequested() const { return shutdownRequested_.load(); }
  int controlPort() const { return control_.port(); }
  std::string slavePath() const;
  bool plugged() const;

 private:
  struct Pending {
    bool active = false;
    uint8_t cmd = 0;
    bool table = true;
    int index = 0;
    size_t need = 0;
    std::vector<uint8_t> buf;
    timespec start{};  // the command byte
    timespec last{};
  };
  struct InByte {
    uint8_t b;
    timespec at;
  };
  enum class Request { None, Unplug, Replug };

  // pty side (serial thread, or before it starts)
  bool createPort(std::string* error);
  void destroyPort();
  void serialLoop();
  void serviceRequest();
  void readAvailable();
  void processOne();
  void handleCommand(uint8_t byte, const timespec& at);
  void finishPayload(bool complete);
  void sendReply(const std::vector<uint8_t>& reply, const timespec& arrival, bool paced);
  bool interrupted(const ::pollfd* fds);
  bool waitUntil(const timespec& deadline);
  // Until the host has read everything written to it (at most a second).
  void waitUntilTaken();
  bool writeWithin(const uint8_t* data, size_t len);

  // control side
  void controlLoop();
  std::string requestPort(Request r);
  void record(const std::string& token);  // callers hold mu_
  std::string statusLine();               // callers hold mu_
  bool rSilent() const;                   // callers hold mu_
  bool dSilent() const;                   // callers hold mu_
  double elapsed(const timespec& at) const;

  SimOptions opt_;
  timespec started_{};
  const simsupport::LineClock line_;
  simsupport::ReadyFile ready_;

  mutable std::mutex mu_;
  ControllerModel model_;
  bool paced_;
  Fault fault_;
  Tristate rsilent_ = Tristate::Auto;
  Tristate dsilent_ = Tristate::Auto;
  int payloadTimeoutMs_;
  int storingMs_ = 0;        // after a table write, reads go unanswered this long
  int64_t storingUntilNs_ = 0;
  simsupport::Transcript transcript_;
  std::deque<WriteRecord> writes_;
  FILE* transcriptFile_ = nullptr;
  std::mt19937_64 rng_;
  std::string slaveName_;
  bool plugged_ = false;

  // serial thread only
  simsupport::PtyLink port_;
  std::deque<InByte> in_;
  Pending pending_;

  // hand-off of unplug/replug to the serial thread
  std::mutex reqSerial_;
  std::mutex reqMu_;
  std::condition_variable reqCv_;
  Request request_ = Request::None;
  bool requestDone_ = false;
  std::string requestResult_;

  simsupport::WakePipe serialWake_;
  simsupport::WakePipe controlWake_;
  simsupport::ControlServer control_;  // control thread, once started
  std::atomic<bool> stopping_{false};
  std::atomic<bool> shutdownRequested_{false};
  std::thread serialThread_;
  std::thread controlThread_;
};

}  // namespace gantrel

// The simulated handheld behind a pseudo-terminal, with its TCP control
// channel. One thread runs everything (the pty, the paced answers, the
// control clients, unplug and replug), so no state is shared between threads
// except the stop flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "handheld.h"
#include "sim-support/control.h"
#include "sim-support/line.h"
#include "sim-support/pty_link.h"
#include "sim-support/ready_file.h"
#include "sim-support/wake_pipe.h"

namespace lindrow {

struct SimOptions {
  std::string link;             // symlink to the pty slave (required)
  bool paced = true;            // 38400 baud, 8N2: 11 bits per byte
  std::string controlHost = "127.0.0.1";
  int controlPort = 0;          // 0 = any free port
  std::string readyFile;        // "ready <port>\n" once everything is up
  int recordTimeoutMs = 1000;   // longest gap inside a record
  int processingDelayUs = 1000; // between a request and its first answer byte
};

class Simulator {
 public:
  explicit Simulator(SimOptions options);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Creates the pty and its link, the control socket, the thread and then
  // the ready file. False (with a message) when any of it fails.
  bool start(std::string* error);
  // Writes the ready file; the program calls it once it has announced its
  // link and control port, so that whoever sees the file finds them said.
  bool signalReady(std::string* error);
  void stop();

  bool shutdownRequested() const { return shutdownRequested_.load(); }
  int controlPort() const { return control_.port(); }
  // The pty slave as created at start (later replugs make new ones).
  std::string firstSlave() const { return firstSlave_; }

 private:
  void destroyPort();
  void loop();
  void readLine();
  void queueAnswer(const std::vector<uint8_t>& bytes);
  void writeDue();
  std::string control(const std::string& line);
  std::string statusLine() const;

  SimOptions opt_;
  Handheld handheld_;
  bool paced_;
  const simsupport::LineClock line_;
  simsupport::PtyLink port_;
  std::string firstSlave_;
  simsupport::ReadyFile ready_;

  // The answer going out: not before startAt_, and paced, byte k of it in
  // its place on the line at line_.byteAt(lineStart_, k), sent_ of them
  // already written (monotonic nanoseconds).
  std::deque<uint8_t> out_;
  int64_t startAt_ = 0;
  int64_t lineStart_ = 0;
  size_t sent_ = 0;
  int64_t nextWrite() const;

  simsupport::ControlServer control_;
  simsupport::WakePipe wake_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> shutdownRequested_{false};
  std::thread thread_;
};

}  // namespace lindrow

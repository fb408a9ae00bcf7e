// Host side of the serial link for the tests: opens the pty through the link
// the way the tool does (raw, 2400 8N1) and reads with interval time-outs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim-support/control.h"
#include "sim.h"

namespace gantrel {
namespace testing_support {

using simsupport::ControlClient;

class HostPort {
 public:
  HostPort() = default;
  ~HostPort() { close(); }
  HostPort(const HostPort&) = delete;
  HostPort& operator=(const HostPort&) = delete;

  bool open(const std::string& path);
  void close();
  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  void purge();
  bool send(uint8_t byte);
  bool send(const std::vector<uint8_t>& bytes);
  // Up to n bytes: waits firstMs for the first byte, then at most intervalMs
  // between bytes (like the tool's serial time-outs).
  std::vector<uint8_t> read(size_t n, int firstMs = 300, int intervalMs = 250);
  // A pty write returns as soon as the bytes are queued, and a purge (TCOFLUSH)
  // drops whatever the simulator has not read yet. A real line finishes the
  // write first; give the simulator that moment before purging again.
  void settle() const;
  // Purge, send the command byte, read n bytes.
  std::vector<uint8_t> ask(uint8_t cmd, size_t n, int firstMs = 300, int intervalMs = 150);

 private:
  int fd_ = -1;
};

std::string makeTempDir();
void removeTree(const std::string& dir);
double secondsSince(const timespec& t0);

// A simulator on a fresh link in a temporary folder, fast by default, with a
// control connection.
class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  virtual void adjust(SimOptions&) {}
  std::string ctl(const std::string& line);
  void ctlOk(const std::string& line);

  std::string dir_;
  std::string link_;
  std::unique_ptr<Simulator> sim_;
  ControlClient client_;
  HostPort host_;
};

}  // namespace testing_support
}  // namespace gantrel

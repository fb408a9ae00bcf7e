// Client side of the simulator's line-based control channel.
#pragma once

#include <string>

namespace gantrel {

class ControlClient {
 public:
  ControlClient() = default;
  ~ControlClient();
  ControlClient(const ControlClient&) = delete;
  ControlClient& operator=(const ControlClient&) = delete;

  bool connect(const std::string& host, int port, std::string* error);
  // Sends one line and returns the one reply line (without the newline);
  // false when the connection fails or no full reply arrives within timeoutMs.
  bool command(const std::string& line, std::string* reply, int timeoutMs = 5000);
  void close();

 private:
  int fd_ = -1;
  std::string buf_;
};

}  // namespace gantrel

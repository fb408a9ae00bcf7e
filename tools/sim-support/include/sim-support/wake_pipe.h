// A pipe that wakes a thread out of its poll: another thread (or the same
// one, to re-arm a wait) writes a byte, the sleeper drains them all.
#pragma once

#include <string>

namespace simsupport {

class WakePipe {
 public:
  WakePipe() = default;
  ~WakePipe() { close(); }
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  bool open(std::string* error);
  void close();
  // The end to poll for POLLIN; -1 while closed.
  int fd() const { return fds_[0]; }
  // Never blocks: a full pipe wakes the sleeper as well. Nothing while closed.
  void wake();
  void drain();

 private:
  int fds_[2] = {-1, -1};
};

}  // namespace simsupport

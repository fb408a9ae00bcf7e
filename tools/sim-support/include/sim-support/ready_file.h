// The file that tells a waiting script the simulator is up: "ready <port>\n",
// written once the link and the control channel exist, removed on the way out.
#pragma once

#include <string>

namespace simsupport {

class ReadyFile {
 public:
  // An empty path: no ready file at all.
  explicit ReadyFile(std::string path) : path_(std::move(path)) {}

  // Removes one left by an earlier run: a stale one would lie.
  void clearStale();
  // Written under a temporary name and renamed, so a waiting script never
  // reads half a line. False (with a message) when it cannot be written.
  bool write(int port, std::string* error);
  // Removes it once write() was tried; no more after that.
  void remove();

 private:
  std::string path_;
  bool tried_ = false;
};

}  // namespace simsupport

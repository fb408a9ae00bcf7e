#include "sim-support/ready_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace simsupport {

void ReadyFile::clearStale() {
  if (!path_.empty()) unlink(path_.c_str());
}

bool ReadyFile::write(int port, std::string* error) {
  if (path_.empty()) return true;
  tried_ = true;
  std::string tmp = path_ + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "we");
  if (!f) {
    *error = "cannot write ready file " + tmp + ": " + std::strerror(errno);
    return false;
  }
  std::fprintf(f, "ready %d\n", port);
  bool ok = std::fclose(f) == 0 && rename(tmp.c_str(), path_.c_str()) == 0;
  if (!ok) *error = "cannot write ready file " + path_ + ": " + std::strerror(errno);
  return ok;
}

void ReadyFile::remove() {
  if (tried_) unlink(path_.c_str());
  tried_ = false;
}

}  // namespace simsupport

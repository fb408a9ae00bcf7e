#include "sim-support/wake_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fd.h"

namespace simsupport {

bool WakePipe::open(std::string* error) {
  close();
  if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
    *error = std::string("pipe: ") + std::strerror(errno);
    fds_[0] = fds_[1] = -1;
    return false;
  }
  return true;
}

void WakePipe::close() {
  closeFd(&fds_[0]);
  closeFd(&fds_[1]);
}

void WakePipe::wake() {
  if (fds_[1] < 0) return;
  char c = 1;
  ssize_t n = write(fds_[1], &c, 1);
  (void)n;  // a full pipe already wakes the reader
}

void WakePipe::drain() {
  if (fds_[0] < 0) return;
  char buf[64];
  while (read(fds_[0], buf, sizeof buf) > 0) {
  }
}

}  // namespace simsupport

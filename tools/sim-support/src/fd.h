// File-descriptor odds and ends for the library's own sources.
#pragma once

#include <fcntl.h>
#include <unistd.h>

namespace simsupport {

inline void closeFd(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

inline void setNonblock(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

}  // namespace simsupport

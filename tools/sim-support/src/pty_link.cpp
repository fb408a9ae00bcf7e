#include "sim-support/pty_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "fd.h"

namespace simsupport {

namespace {

bool isDevPath(const std::string& p) { return p == "/dev" || p.rfind("/dev/", 0) == 0; }

std::string absolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

std::string readLink(const std::string& path) {
  char buf[PATH_MAX];
  ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
  return n < 0 ? std::string() : std::string(buf, static_cast<size_t>(n));
}

}  // namespace

// Device nodes are never ours to replace, whatever route the path takes there.
bool linkPathUnderDev(const std::string& path) {
  std::string abs = absolutePath(path);
  if (isDevPath(abs)) return true;
  size_t slash = abs.find_last_of('/');
  std::string parent = slash == 0 ? "/" : abs.substr(0, slash);
  char real[PATH_MAX];
  return realpath(parent.c_str(), real) && isDevPath(real);
}

bool checkLinkPath(const std::string& path, std::string* error) {
  if (path.empty()) {
    *error = "a link path is required";
    return false;
  }
  if (linkPathUnderDev(path)) {
    *error = "refusing to place the link under /dev: " + path;
    return false;
  }
  return true;
}

bool PtyLink::open(std::string* error) {
  close();
  const speed_t speed = format_.speed();
  if (speed == B0) {
    *error = "unsupported baud rate " + std::to_string(format_.baud);
    return false;
  }
  int m = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m < 0) {
    *error = std::string("posix_openpt: ") + std::strerror(errno);
    return false;
  }
  char name[128];
  if (grantpt(m) != 0 || unlockpt(m) != 0 || ptsname_r(m, name, sizeof name) != 0) {
    *error = std::string("pty setup: ") + std::strerror(errno);
    ::close(m);
    return false;
  }
  // Only ever a pseudo-terminal slave; never a real serial device.
  if (std::strncmp(name, "/dev/pts/", 9) != 0) {
    *error = std::string("unexpected pty slave name ") + name;
    ::close(m);
    return false;
  }
  int s = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (s < 0) {
    *error = std::string("open ") + name + ": " + std::strerror(errno);
    ::close(m);
    return false;
  }
  termios t{};
  if (tcgetattr(s, &t) == 0) {
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    if (format_.stopBits == 2) t.c_cflag |= CSTOPB;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(s, TCSANOW, &t);
  }
  setNonblock(m);
  if (!makeLink(name, error)) {
    ::close(s);
    ::close(m);
    return false;
  }
  master_ = m;
  slave_ = s;
  slaveName_ = name;
  return true;
}

void PtyLink::close() {
  removeLink();
  closeFd(&master_);
  closeFd(&slave_);
}

bool PtyLink::makeLink(const std::string& target, std::string* error) {
  if (!checkLinkPath(link_, error)) return false;
  struct stat st {};
  if (lstat(link_.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    *error = "refusing to replace " + link_ + ": it exists and is not a symbolic link";
    return false;
  }
  // A temporary link renamed over the old one: the path never dangles.
  std::string tmp = link_ + ".tmp-" + std::to_string(getpid());
  if (lstat(tmp.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      *error = "refusing to replace " + tmp;
      return false;
    }
    unlink(tmp.c_str());
  }
  if (symlink(target.c_str(), tmp.c_str()) != 0) {
    *error = "symlink " + tmp + ": " + std::strerror(errno);
    return false;
  }
  if (rename(tmp.c_str(), link_.c_str()) != 0) {
    *error = "rename to " + link_ + ": " + std::strerror(errno);
    unlink(tmp.c_str());
    return false;
  }
  return true;
}

void PtyLink::removeLink() {
  if (!isOpen() || link_.empty()) return;
  struct stat st {};
  // Only our own link: someone may have pointed the path elsewhere meanwhile.
  if (lstat(link_.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && readLink(link_) == slaveName_) {
    unlink(link_.c_str());
  }
}

}  // namespace simsupport

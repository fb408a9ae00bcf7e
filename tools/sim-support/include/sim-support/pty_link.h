// The device's end of a simulated serial line: a pseudo-terminal, and a
// symbolic link pointed at its slave for the host to open as its port.
//
// Only pseudo-terminals are ever created or opened, and the link is never
// placed under /dev nor put over anything but a symbolic link.
#pragma once

#include <string>

#include "sim-support/line.h"

namespace simsupport {

// True when a link at this path would sit under /dev, by whatever route.
bool linkPathUnderDev(const std::string& path);
// False (with a message) for an empty path or one under /dev.
bool checkLinkPath(const std::string& path, std::string* error);

class PtyLink {
 public:
  // The pty starts raw at the given format.
  PtyLink(std::string link, LineFormat format) : link_(std::move(link)), format_(format) {}
  ~PtyLink() { close(); }
  PtyLink(const PtyLink&) = delete;
  PtyLink& operator=(const PtyLink&) = delete;

  // A fresh pty with the link pointed at its slave, replacing the one open.
  // False (with a message) when either cannot be made.
  bool open(std::string* error);
  // Removes the link, if it still leads to our slave, and closes the pty:
  // the host's reads fail and opening the port fails, as when unplugged.
  void close();

  bool isOpen() const { return master_ >= 0; }
  // Non-blocking; what the host writes is read here, answers written here.
  int master() const { return master_; }
  // Our own descriptor of the slave. It keeps the pty up between the host's
  // opens (no hang-up when the host closes) and holds the line settings the
  // host last gave the port; it is never read.
  int slave() const { return slave_; }
  // The slave's path, e.g. /dev/pts/3; still the last one once closed.
  const std::string& slaveName() const { return slaveName_; }
  const std::string& link() const { return link_; }

 private:
  bool makeLink(const std::string& target, std::string* error);
  void removeLink();

  std::string link_;
  LineFormat format_;
  int master_ = -1;
  int slave_ = -1;
  std::string slaveName_;
};

}  // namespace simsupport

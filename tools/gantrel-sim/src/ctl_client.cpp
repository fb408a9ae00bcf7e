#include "ctl_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "util.h"

namespace gantrel {

ControlClient::~ControlClient() { close(); }

void ControlClient::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buf_.clear();
}

bool ControlClient::connect(const std::string& hostIn, int port, std::string* error) {
  close();
  std::string host = hostIn == "localhost" ? "127.0.0.1" : hostIn;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1) {
    *error = "bad address " + hostIn;
    return false;
  }
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    *error = "connect " + hostIn + ":" + std::to_string(port) + ": " + std::strerror(errno);
    close();
    return false;
  }
  return true;
}

bool ControlClient::command(const std::string& line, std::string* reply, int timeoutMs) {
  if (fd_ < 0) return false;
  std::string out = line + "\n";
  size_t off = 0;
  while (off < out.size()) {
    ssize_t w = send(fd_, out.data() + off, out.size() - off, MSG_NOSIGNAL);
    if (w <= 0) return false;
    off += static_cast<size_t>(w);
  }
  const timespec deadline = addNs(monoNow(), static_cast<int64_t>(timeoutMs) * 1000000LL);
  for (;;) {
    size_t nl = buf_.find('\n');
    if (nl != std::string::npos) {
      *reply = buf_.substr(0, nl);
      buf_.erase(0, nl + 1);
      return true;
    }
    int64_t rem = diffNs(deadline, monoNow());
    if (rem <= 0) return false;
    pollfd p{fd_, POLLIN, 0};
    int n = poll(&p, 1, static_cast<int>(rem / 1000000LL) + 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) continue;
    char buf[4096];
    ssize_t r = recv(fd_, buf, sizeof buf, 0);
    if (r <= 0) return false;
    buf_.append(buf, static_cast<size_t>(r));
  }
}

}  // namespace gantrel

#include "sim-support/control.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fd.h"
#include "sim-support/clock.h"

namespace simsupport {

bool ControlServer::listen(const std::string& hostIn, int port, std::string* error) {
  close();
  port_ = 0;
  std::string host = hostIn == "localhost" ? "127.0.0.1" : hostIn;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1 || (ntohl(addr.sin_addr.s_addr) >> 24) != 127) {
    *error = "the control channel listens on the loopback only (127.x.x.x), not " + hostIn;
    return false;
  }
  listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_ < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  int one = 1;
  setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listen_, 8) != 0) {
    *error = "control " + hostIn + ":" + std::to_string(port) + ": " + std::strerror(errno);
    closeFd(&listen_);
    return false;
  }
  socklen_t len = sizeof addr;
  getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  return true;
}

void ControlServer::addPollFds(std::vector<pollfd>* fds) {
  first_ = fds->size();
  polled_ = clients_.size();
  fds->push_back({listen_, POLLIN, 0});
  for (const auto& c : clients_) fds->push_back({c.fd, POLLIN, 0});
}

void ControlServer::serve(const std::vector<pollfd>& fds, const Handler& handler) {
  std::vector<size_t> dead;
  for (size_t i = 0; i < polled_ && first_ + 1 + i < fds.size(); ++i) {
    if (!fds[first_ + 1 + i].revents) continue;
    if (!serveClient(clients_[i], handler)) dead.push_back(i);
  }
  for (auto it = dead.rbegin(); it != dead.rend(); ++it) {
    ::close(clients_[*it].fd);
    clients_.erase(clients_.begin() + static_cast<long>(*it));
  }
  polled_ = 0;
  if (first_ < fds.size() && (fds[first_].revents & POLLIN)) {
    int fd = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) {
      if (clients_.size() >= kMaxClients) {
        ::close(fd);
      } else {
        timeval tv{2, 0};  // a client that stops reading cannot stall the device for long
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
        clients_.push_back({fd, std::string()});
      }
    }
  }
}

// False when the client is gone or to be dropped.
bool ControlServer::serveClient(Client& c, const Handler& handler) {
  char buf[4096];
  ssize_t r = recv(c.fd, buf, sizeof buf, 0);
  if (r <= 0) return false;
  c.buf.append(buf, static_cast<size_t>(r));
  size_t nl;
  while ((nl = c.buf.find('\n')) != std::string::npos) {
    std::string line = c.buf.substr(0, nl);
    c.buf.erase(0, nl + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string reply = handler(line) + "\n";
    size_t off = 0;
    while (off < reply.size()) {
      ssize_t w = send(c.fd, reply.data() + off, reply.size() - off, MSG_NOSIGNAL);
      if (w <= 0) return false;
      off += static_cast<size_t>(w);
    }
  }
  return c.buf.size() <= kMaxLine;
}

void ControlServer::close() {
  for (auto& c : clients_) ::close(c.fd);
  clients_.clear();
  polled_ = 0;
  closeFd(&listen_);
}

// ---------------------------------------------------------------- client

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

}  // namespace simsupport

// The simulators' TCP control channel: one line in, one reply line out, from
// any number of clients, one after another or at once; on the loopback only.
#pragma once

#include <poll.h>

#include <functional>
#include <string>
#include <vector>

namespace simsupport {

class ControlServer {
 public:
  // One command line (without its line end) to its reply (without one).
  using Handler = std::function<std::string(const std::string& line)>;

  static constexpr size_t kMaxClients = 16;
  static constexpr size_t kMaxLine = 1 << 16;

  ControlServer() = default;
  ~ControlServer() { close(); }
  ControlServer(const ControlServer&) = delete;
  ControlServer& operator=(const ControlServer&) = delete;

  // Listens on HOST:PORT; HOST a 127.x.x.x address or "localhost", PORT 0
  // for any free port. False (with a message) otherwise.
  bool listen(const std::string& host, int port, std::string* error);
  // The port listened on (also once closed); 0 before.
  int port() const { return port_; }

  // The owner polls everything in one call: this appends the listening
  // socket and the clients to fds, and serve() takes the poll's answer.
  void addPollFds(std::vector<pollfd>* fds);
  // Answers every complete line of the clients polled, drops the clients
  // that hung up, stopped reading or sent an endless line, and takes a new
  // client (polled from the next round on).
  void serve(const std::vector<pollfd>& fds, const Handler& handler);

  // The clients and the listening socket.
  void close();

 private:
  struct Client {
    int fd;
    std::string buf;
  };
  bool serveClient(Client& c, const Handler& handler);

  int listen_ = -1;
  int port_ = 0;
  std::vector<Client> clients_;
  size_t first_ = 0;   // where addPollFds put the listening socket
  size_t polled_ = 0;  // how many clients it put after it
};

// The other end: sends a line, waits for the reply line.
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

}  // namespace simsupport

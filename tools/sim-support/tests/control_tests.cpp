// The control channel as the simulators serve it: from their own poll loop.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "sim-support/clock.h"
#include "sim-support/control.h"
#include "sim-support/wake_pipe.h"

using namespace simsupport;

namespace {

// A server on its own thread, answering "ok <line>".
class Served {
 public:
  Served() {
    std::string error;
    listening_ = server_.listen("127.0.0.1", 0, &error) && wake_.open(&error);
    if (!listening_) return;
    thread_ = std::thread([this] {
      while (!stop_) {
        std::vector<pollfd> fds{{wake_.fd(), POLLIN, 0}};
        server_.addPollFds(&fds);
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        wake_.drain();
        if (stop_) break;
        server_.serve(fds, [](const std::string& line) { return "ok " + line; });
      }
    });
  }
  ~Served() {
    stop_ = true;
    wake_.wake();
    if (thread_.joinable()) thread_.join();
    server_.close();
  }
  bool listening() const { return listening_; }
  int port() const { return server_.port(); }

 private:
  ControlServer server_;
  WakePipe wake_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  bool listening_ = false;
};

// A bare client, to send what ControlClient never would.
class Raw {
 public:
  explicit Raw(int port) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~Raw() { close(fd_); }
  bool connected() const { return connected_; }
  bool send(const std::string& s) {
    return ::send(fd_, s.data(), s.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(s.size());
  }
  // Everything until the server has said `lines` lines or closes; "<closed>"
  // appended when it closed.
  std::string read(int lines) {
    std::string got;
    while (std::count(got.begin(), got.end(), '\n') < lines) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 3000) <= 0) return got + "<timeout>";
      char buf[4096];
      ssize_t r = recv(fd_, buf, sizeof buf, 0);
      if (r <= 0) return got + "<closed>";
      got.append(buf, static_cast<size_t>(r));
    }
    return got;
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
};

TEST(ControlServer, AnswersEveryLineInOrderWhateverThePackets) {
  Served s;
  ASSERT_TRUE(s.listening());
  Raw c(s.port());
  ASSERT_TRUE(c.connected());
  ASSERT_TRUE(c.send("ping\r\nstatus\nfault "));
  EXPECT_EQ(c.read(2), "ok ping\nok status\n");
  ASSERT_TRUE(c.send("none\n\n"));
  EXPECT_EQ(c.read(2), "ok fault none\nok \n");
}

TEST(ControlServer, DropsAClientWithAnEndlessLineOnly) {
  Served s;
  ASSERT_TRUE(s.listening());
  ControlClient other;
  std::string error, reply;
  ASSERT_TRUE(other.connect("127.0.0.1", s.port(), &error)) << error;
  Raw c(s.port());
  ASSERT_TRUE(c.connected());
  const std::string chunk(4096, 'x');
  for (size_t sent = 0; sent <= ControlServer::kMaxLine; sent += chunk.size()) {
    if (!c.send(chunk)) break;  // already dropped
  }
  EXPECT_EQ(c.read(1), "<closed>");
  ASSERT_TRUE(other.command("ping", &reply));
  EXPECT_EQ(reply, "ok ping");
}

TEST(ControlServer, TakesSixteenClientsAtATime) {
  Served s;
  ASSERT_TRUE(s.listening());
  std::vector<std::unique_ptr<ControlClient>> clients;
  std::string error, reply;
  for (size_t i = 0; i < ControlServer::kMaxClients; ++i) {
    clients.push_back(std::make_unique<ControlClient>());
    ASSERT_TRUE(clients.back()->connect("127.0.0.1", s.port(), &error)) << error;
    ASSERT_TRUE(clients.back()->command("n " + std::to_string(i), &reply)) << i;
    EXPECT_EQ(reply, "ok n " + std::to_string(i));
  }
  ControlClient extra;
  ASSERT_TRUE(extra.connect("127.0.0.1", s.port(), &error)) << error;
  EXPECT_FALSE(extra.command("ping", &reply, 2000));
  clients.front()->close();  // a place comes free once the server sees it go
  bool taken = false;
  for (int i = 0; i < 50 && !taken; ++i) {
    ASSERT_TRUE(extra.connect("127.0.0.1", s.port(), &error)) << error;
    taken = extra.command("ping", &reply, 2000);
    if (!taken) usleep(20000);
  }
  ASSERT_TRUE(taken);
  EXPECT_EQ(reply, "ok ping");
}

TEST(ControlServer, ListensOnTheLoopbackOnly) {
  ControlServer server;
  std::string error;
  EXPECT_FALSE(server.listen("10.0.0.1", 0, &error));
  EXPECT_EQ(error, "the control channel listens on the loopback only (127.x.x.x), not 10.0.0.1");
  EXPECT_FALSE(server.listen("nowhere", 0, &error));
  EXPECT_EQ(server.port(), 0);
  ASSERT_TRUE(server.listen("localhost", 0, &error)) << error;
  EXPECT_GT(server.port(), 0);
}

TEST(ControlClient, GivesUpWhenNoReplyComes) {
  ControlServer silent;  // listens, never served
  std::string error, reply;
  ASSERT_TRUE(silent.listen("127.0.0.1", 0, &error)) << error;
  ControlClient c;
  ASSERT_TRUE(c.connect("127.0.0.1", silent.port(), &error)) << error;
  const timespec t0 = monoNow();
  EXPECT_FALSE(c.command("ping", &reply, 200));
  const double seconds = static_cast<double>(diffNs(monoNow(), t0)) / 1e9;
  EXPECT_GE(seconds, 0.19);
  EXPECT_LT(seconds, 2.0);
}

TEST(WakePipe, WakesUntilDrained) {
  WakePipe w;
  std::string error;
  ASSERT_TRUE(w.open(&error)) << error;
  pollfd p{w.fd(), POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 0), 0);
  for (int i = 0; i < 100000; ++i) w.wake();  // a full pipe never blocks
  EXPECT_EQ(poll(&p, 1, 0), 1);
  w.drain();
  EXPECT_EQ(poll(&p, 1, 0), 0);
  w.close();
  EXPECT_EQ(w.fd(), -1);
  w.wake();  // closed: nothing happens
}

}  // namespace

// gantrel-sim-ctl: send control lines to a running gantrel-sim.
//   gantrel-sim-ctl HOST:PORT "command" ["command" ...]
// Without commands, reads them from standard input, one per line.
// Exit status: 0 when every reply starts with "ok", 1 when one starts with
// "err", 2 when the simulator cannot be reached.
#include <cstdio>
#include <iostream>
#include <string>

#include "sim-support/control.h"
#include "util.h"

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    std::fprintf(stderr, "usage: gantrel-sim-ctl HOST:PORT [\"command\" ...]\n");
    return argc < 2 ? 2 : 0;
  }
  std::string host;
  int port = 0;
  if (!gantrel::parseHostPort(argv[1], &host, &port) || port == 0) {
    std::fprintf(stderr, "gantrel-sim-ctl: expected HOST:PORT, got '%s'\n", argv[1]);
    return 2;
  }
  simsupport::ControlClient client;
  std::string error;
  if (!client.connect(host, port, &error)) {
    std::fprintf(stderr, "gantrel-sim-ctl: %s\n", error.c_str());
    return 2;
  }
  int status = 0;
  auto run = [&](const std::string& line) {
    std::string reply;
    if (!client.command(line, &reply)) {
      std::fprintf(stderr, "gantrel-sim-ctl: no reply to '%s'\n", line.c_str());
      return false;
    }
    std::printf("%s\n", reply.c_str());
    std::fflush(stdout);
    if (reply.rfind("ok", 0) != 0) status = 1;
    return true;
  };
  if (argc > 2) {
    for (int i = 2; i < argc; ++i) {
      if (!run(argv[i])) return 2;
    }
  } else {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (gantrel::trim(line).empty()) continue;
      if (!run(line)) return 2;
    }
  }
  return status;
}

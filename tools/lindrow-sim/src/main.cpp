// lindrow-sim: a simulated handheld running "Lindrow" on a pseudo-terminal.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim-support/command_line.h"
#include "sim.h"

namespace {

const char kUsage[] =
    "usage: lindrow-sim --link PATH [options]\n"
    "\n"
    "Simulates a handheld running Lindrow, listening on its serial port, on a\n"
    "pseudo-terminal, and points PATH (a symbolic link) at its slave side.\n"
    "\n"
    "  --link PATH             symlink to create (an existing symlink is replaced;\n"
    "                          regular files and anything under /dev are refused)\n"
    "  --fast                  answer at once instead of at 38400 baud\n"
    "  --control HOST:PORT     TCP control channel on the loopback\n"
    "                          (default 127.0.0.1:0, 0 = any free port)\n"
    "  --ready-file PATH       write \"ready <port>\" there once everything is up\n"
    "  --record-timeout MS     longest gap inside a map record (default 1000)\n"
    "  --help                  this text\n";

bool number(const std::string& text, long long lo, long long hi, long long* out) {
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  lindrow::SimOptions opt;
  simsupport::CommandLine args("lindrow-sim", argc, argv, false);
  while (args.next()) {
    const std::string& arg = args.name();
    std::string v;
    long long n = 0;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--fast") {
      opt.paced = false;
    } else if (arg == "--link") {
      if (!args.value(&opt.link)) return 2;
    } else if (arg == "--ready-file") {
      if (!args.value(&opt.readyFile)) return 2;
    } else if (arg == "--control") {
      if (!args.value(&v)) return 2;
      size_t colon = v.rfind(':');
      if (colon == std::string::npos || colon == 0 || !number(v.substr(colon + 1), 0, 65535, &n)) {
        args.complain("--control expects HOST:PORT, got '" + v + "'");
        return 2;
      }
      opt.controlHost = v.substr(0, colon);
      opt.controlPort = static_cast<int>(n);
    } else if (arg == "--record-timeout") {
      if (!args.value(&v) || !number(v, 1, 60000, &n)) {
        args.complain("--record-timeout expects 1..60000");
        return 2;
      }
      opt.recordTimeoutMs = static_cast<int>(n);
    } else {
      return args.unknownOption(kUsage);
    }
  }
  return simsupport::runSimulator<lindrow::Simulator>(args, opt, kUsage, [&opt](lindrow::Simulator& sim) {
    std::printf("pty %s\nlink %s\ncontrol %s:%d\n%s\n", sim.firstSlave().c_str(), opt.link.c_str(),
                opt.controlHost.c_str(), sim.controlPort(), opt.paced ? "paced" : "fast");
  });
}

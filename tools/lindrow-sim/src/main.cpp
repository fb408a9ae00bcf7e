// lindrow-sim: a simulated handheld running "Lindrow" on a pseudo-terminal.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

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
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "lindrow-sim: %s needs a value\n", arg.c_str());
        return false;
      }
      *out = argv[++i];
      return true;
    };
    std::string v;
    long long n = 0;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--fast") {
      opt.paced = false;
    } else if (arg == "--link") {
      if (!value(&opt.link)) return 2;
    } else if (arg == "--ready-file") {
      if (!value(&opt.readyFile)) return 2;
    } else if (arg == "--control") {
      if (!value(&v)) return 2;
      size_t colon = v.rfind(':');
      if (colon == std::string::npos || colon == 0 || !number(v.substr(colon + 1), 0, 65535, &n)) {
        std::fprintf(stderr, "lindrow-sim: --control expects HOST:PORT, got '%s'\n", v.c_str());
        return 2;
      }
      opt.controlHost = v.substr(0, colon);
      opt.controlPort = static_cast<int>(n);
    } else if (arg == "--record-timeout") {
      if (!value(&v) || !number(v, 1, 60000, &n)) {
        std::fprintf(stderr, "lindrow-sim: --record-timeout expects 1..60000\n");
        return 2;
      }
      opt.recordTimeoutMs = static_cast<int>(n);
    } else {
      std::fprintf(stderr, "lindrow-sim: unknown option '%s'\n\n%s", argv[i], kUsage);
      return 2;
    }
  }
  if (opt.link.empty()) {
    std::fprintf(stderr, "lindrow-sim: --link PATH is required\n\n%s", kUsage);
    return 2;
  }

  // Signals are taken synchronously below; the simulator's thread inherits the mask.
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);

  lindrow::Simulator sim(opt);
  std::string error;
  if (!sim.start(&error)) {
    std::fprintf(stderr, "lindrow-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("pty %s\nlink %s\ncontrol %s:%d\n%s\n", sim.firstSlave().c_str(), opt.link.c_str(),
              opt.controlHost.c_str(), sim.controlPort(), opt.paced ? "paced" : "fast");
  std::fflush(stdout);

  timespec tick{0, 200 * 1000 * 1000};
  while (!sim.shutdownRequested()) {
    if (sigtimedwait(&set, nullptr, &tick) > 0) break;
  }
  sim.stop();
  return 0;
}

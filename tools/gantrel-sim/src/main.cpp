// gantrel-sim: a simulated Gantrel controller on a pseudo-terminal.
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "sim.h"
#include "util.h"

namespace {

const char kUsage[] =
    "usage: gantrel-sim --link PATH [options]\n"
    "\n"
    "Simulates a Gantrel fuel-injection controller on a pseudo-terminal and points\n"
    "PATH (a symbolic link) at its slave side.\n"
    "\n"
    "  --link PATH             symlink to create (an existing symlink is replaced;\n"
    "                          regular files and anything under /dev are refused)\n"
    "  --version N             controller version (default 105)\n"
    "  --flags N               identification flags byte (default 0xE1)\n"
    "  --fast                  reply at once instead of at 2400 baud\n"
    "  --control HOST:PORT     TCP control channel on the loopback\n"
    "                          (default 127.0.0.1:0, 0 = any free port)\n"
    "  --ready-file PATH       write \"ready <port>\" there once everything is up\n"
    "  --transcript PATH       append every received command as a line\n"
    "  --seed N                seed of the live values and garbage (default 1)\n"
    "  --payload-timeout MS    longest gap inside a write payload (default 1000)\n"
    "  --help                  this text\n";

bool number(const char* name, const std::string& text, long long lo, long long hi, long long* out) {
  if (!gantrel::parseInt(text, out) || *out < lo || *out > hi) {
    std::fprintf(stderr, "gantrel-sim: %s expects a number in %lld..%lld, got '%s'\n", name, lo, hi, text.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  gantrel::SimOptions opt;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool hasValue = false;
    size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasValue = true;
    }
    auto need = [&](std::string* out) {
      if (hasValue) {
        *out = value;
        return true;
      }
      if (i + 1 >= argc) {
        std::fprintf(stderr, "gantrel-sim: %s needs a value\n", arg.c_str());
        return false;
      }
      *out = argv[++i];
      return true;
    };
    long long n = 0;
    std::string v;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--fast") {
      opt.paced = false;
    } else if (arg == "--link") {
      if (!need(&opt.link)) return 2;
    } else if (arg == "--version") {
      if (!need(&v) || !number("--version", v, 0, 255, &n)) return 2;
      opt.version = static_cast<int>(n);
    } else if (arg == "--flags") {
      if (!need(&v) || !number("--flags", v, 0, 255, &n)) return 2;
      opt.flags = static_cast<int>(n);
    } else if (arg == "--control") {
      if (!need(&v)) return 2;
      if (!gantrel::parseHostPort(v, &opt.controlHost, &opt.controlPort)) {
        std::fprintf(stderr, "gantrel-sim: --control expects HOST:PORT, got '%s'\n", v.c_str());
        return 2;
      }
    } else if (arg == "--ready-file") {
      if (!need(&opt.readyFile)) return 2;
    } else if (arg == "--transcript") {
      if (!need(&opt.transcriptFile)) return 2;
    } else if (arg == "--seed") {
      if (!need(&v) || !number("--seed", v, 0, 0x7FFFFFFFFFFFFFFFLL, &n)) return 2;
      opt.seed = static_cast<uint64_t>(n);
    } else if (arg == "--payload-timeout") {
      if (!need(&v) || !number("--payload-timeout", v, 1, 60000, &n)) return 2;
      opt.payloadTimeoutMs = static_cast<int>(n);
    } else {
      std::fprintf(stderr, "gantrel-sim: unknown option '%s'\n\n%s", argv[i], kUsage);
      return 2;
    }
  }
  if (opt.link.empty()) {
    std::fprintf(stderr, "gantrel-sim: --link PATH is required\n\n%s", kUsage);
    return 2;
  }

  // Signals are taken synchronously below; the worker threads inherit the mask.
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);

  gantrel::Simulator sim(opt);
  std::string error;
  if (!sim.start(&error)) {
    std::fprintf(stderr, "gantrel-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("pty %s\nlink %s\n", sim.slavePath().c_str(), opt.link.c_str());
  std::printf("control %s:%d\n", opt.controlHost.c_str(), sim.controlPort());
  std::printf("version %d flags 0x%02x %s\n", opt.version, opt.flags, opt.paced ? "paced" : "fast");
  std::fflush(stdout);

  timespec tick{0, 200 * 1000 * 1000};
  while (!sim.shutdownRequested()) {
    int sig = sigtimedwait(&set, nullptr, &tick);
    if (sig > 0) break;
  }
  sim.stop();
  return 0;
}

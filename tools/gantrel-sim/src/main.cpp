// gantrel-sim: a simulated Gantrel controller on a pseudo-terminal.
#include <cstdio>
#include <string>

#include "sim-support/command_line.h"
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

bool number(simsupport::CommandLine& args, long long lo, long long hi, long long* out) {
  std::string text;
  if (!args.value(&text)) return false;
  if (!gantrel::parseInt(text, out) || *out < lo || *out > hi) {
    return args.complain(args.name() + " expects a number in " + std::to_string(lo) + ".." + std::to_string(hi) +
                         ", got '" + text + "'");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  gantrel::SimOptions opt;
  simsupport::CommandLine args("gantrel-sim", argc, argv, true);
  while (args.next()) {
    const std::string& arg = args.name();
    long long n = 0;
    std::string v;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--fast") {
      opt.paced = false;
    } else if (arg == "--link") {
      if (!args.value(&opt.link)) return 2;
    } else if (arg == "--version") {
      if (!number(args, 0, 255, &n)) return 2;
      opt.version = static_cast<int>(n);
    } else if (arg == "--flags") {
      if (!number(args, 0, 255, &n)) return 2;
      opt.flags = static_cast<int>(n);
    } else if (arg == "--control") {
      if (!args.value(&v)) return 2;
      if (!gantrel::parseHostPort(v, &opt.controlHost, &opt.controlPort)) {
        args.complain("--control expects HOST:PORT, got '" + v + "'");
        return 2;
      }
    } else if (arg == "--ready-file") {
      if (!args.value(&opt.readyFile)) return 2;
    } else if (arg == "--transcript") {
      if (!args.value(&opt.transcriptFile)) return 2;
    } else if (arg == "--seed") {
      if (!number(args, 0, 0x7FFFFFFFFFFFFFFFLL, &n)) return 2;
      opt.seed = static_cast<uint64_t>(n);
    } else if (arg == "--payload-timeout") {
      if (!number(args, 1, 60000, &n)) return 2;
      opt.payloadTimeoutMs = static_cast<int>(n);
    } else {
      return args.unknownOption(kUsage);
    }
  }
  return simsupport::runSimulator<gantrel::Simulator>(args, opt, kUsage, [&opt](gantrel::Simulator& sim) {
    std::printf("pty %s\nlink %s\n", sim.slavePath().c_str(), opt.link.c_str());
    std::printf("control %s:%d\n", opt.controlHost.c_str(), sim.controlPort());
    std::printf("version %d flags 0x%02x %s\n", opt.version, opt.flags, opt.paced ? "paced" : "fast");
  });
}

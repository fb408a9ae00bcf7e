// A simulator program's command line and its life until it is told to stop.
#pragma once

#include <signal.h>

#include <cstdio>
#include <functional>
#include <string>

namespace simsupport {

// Walks the options: "--name value", and with inlineValues "--name=value"
// as well. Messages go to standard error as "<program>: <message>".
class CommandLine {
 public:
  CommandLine(const char* program, int argc, char** argv, bool inlineValues);

  // Moves to the next argument; false after the last.
  bool next();
  // The option's name ("--link", without "=value").
  const std::string& name() const { return name_; }
  // The option's value: after '=' or the next argument. False (with a
  // message) when there is none.
  bool value(std::string* out);

  // Prints the message; false, for the caller to return.
  bool complain(const std::string& message) const;
  // Prints the message and the usage text after a blank line; the exit
  // status for a bad command line (2).
  int usageError(const std::string& message, const char* usage) const;
  // The unknown option, as given, with the usage text; 2.
  int unknownOption(const char* usage) const;

 private:
  const char* program_;
  int argc_;
  char** argv_;
  bool inlineValues_;
  int i_ = 0;
  std::string name_;
  std::string value_;
  bool hasValue_ = false;
};

// Takes SIGINT, SIGTERM and SIGHUP synchronously: create it before any
// thread starts, and the threads inherit the mask. Ignores SIGPIPE.
class StopSignals {
 public:
  StopSignals();
  // Returns once one of them arrives or stopRequested() turns true (asked
  // every 200 ms).
  void wait(const std::function<bool()>& stopRequested) const;

 private:
  sigset_t set_;
};

// The rest of a simulator's main once its options are read: the link is
// required; then the simulator starts, announce(sim) says so on standard
// output, the ready file follows, and it runs until a stop signal or its own
// shutdown request.
// Returns the exit status.
template <class Simulator, class Options, class Announce>
int runSimulator(const CommandLine& args, const Options& options, const char* usage, Announce announce) {
  if (options.link.empty()) return args.usageError("--link PATH is required", usage);
  const StopSignals signals;  // before the simulator's threads start
  Simulator sim(options);
  std::string error;
  if (!sim.start(&error)) {
    args.complain(error);
    return 1;
  }
  announce(sim);
  std::fflush(stdout);
  if (!sim.signalReady(&error)) {
    args.complain(error);
    return 1;
  }
  signals.wait([&sim] { return sim.shutdownRequested(); });
  sim.stop();
  return 0;
}

}  // namespace simsupport

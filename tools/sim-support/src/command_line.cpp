#include "sim-support/command_line.h"

#include <pthread.h>

#include <cstdio>
#include <ctime>

namespace simsupport {

CommandLine::CommandLine(const char* program, int argc, char** argv, bool inlineValues)
    : program_(program), argc_(argc), argv_(argv), inlineValues_(inlineValues) {}

bool CommandLine::next() {
  if (++i_ >= argc_) return false;
  name_ = argv_[i_];
  value_.clear();
  hasValue_ = false;
  size_t eq = name_.find('=');
  if (inlineValues_ && name_.rfind("--", 0) == 0 && eq != std::string::npos) {
    value_ = name_.substr(eq + 1);
    name_.erase(eq);
    hasValue_ = true;
  }
  return true;
}

bool CommandLine::value(std::string* out) {
  if (hasValue_) {
    *out = value_;
    return true;
  }
  if (i_ + 1 >= argc_) return complain(name_ + " needs a value");
  *out = argv_[++i_];
  return true;
}

bool CommandLine::complain(const std::string& message) const {
  std::fprintf(stderr, "%s: %s\n", program_, message.c_str());
  return false;
}

int CommandLine::usageError(const std::string& message, const char* usage) const {
  std::fprintf(stderr, "%s: %s\n\n%s", program_, message.c_str(), usage);
  return 2;
}

int CommandLine::unknownOption(const char* usage) const {
  return usageError(std::string("unknown option '") + argv_[i_] + "'", usage);
}

StopSignals::StopSignals() {
  sigemptyset(&set_);
  sigaddset(&set_, SIGINT);
  sigaddset(&set_, SIGTERM);
  sigaddset(&set_, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &set_, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

void StopSignals::wait(const std::function<bool()>& stopRequested) const {
  const timespec tick{0, 200 * 1000 * 1000};
  while (!stopRequested()) {
    if (sigtimedwait(&set_, nullptr, &tick) > 0) break;
  }
}

}  // namespace simsupport

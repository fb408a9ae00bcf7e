// What a simulated device received, one token a command or request, for the
// control channel's `transcript`; the oldest go beyond a cap.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace simsupport {

class Transcript {
 public:
  static constexpr size_t kCap = 100000;

  void add(std::string token);
  void clear() { tokens_.clear(); }
  bool empty() const { return tokens_.empty(); }
  size_t size() const { return tokens_.size(); }
  std::deque<std::string>::const_iterator begin() const { return tokens_.begin(); }
  std::deque<std::string>::const_iterator end() const { return tokens_.end(); }
  // The control channel's reply: "ok" and every token, oldest first.
  std::string reply() const;

 private:
  std::deque<std::string> tokens_;
};

}  // namespace simsupport

#include "sim-support/transcript.h"

namespace simsupport {

void Transcript::add(std::string token) {
  tokens_.push_back(std::move(token));
  while (tokens_.size() > kCap) tokens_.pop_front();
}

std::string Transcript::reply() const {
  std::string out = "ok";
  for (const auto& t : tokens_) out += " " + t;
  return out;
}

}  // namespace simsupport

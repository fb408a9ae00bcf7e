#include "handheld.h"

#include <cstring>

namespace lindrow {

namespace {
constexpr int64_t kNsPerMs = 1000000;
}

void Handheld::note(const std::string& token) { transcript.add(token); }

void Handheld::spend() {
  if (fault.once) fault = Fault{};
}

std::vector<uint8_t> Handheld::receive(uint8_t byte, int64_t atNs) {
  if (receiving_) {
    // A byte after a long pause belongs to no record: the record is dropped
    // and the byte is taken as a new request.
    if (atNs - last_ > static_cast<int64_t>(recordTimeoutMs) * kNsPerMs) {
      expire(atNs);
    } else {
      buf_.push_back(byte);
      last_ = atNs;
      if (buf_.size() < kRecordLen) return {};
      receiving_ = false;
      note("record:" + std::to_string(buf_.size()));
      records.push_back(buf_);
      while (records.size() > kRecordsCap) records.pop_front();
      std::vector<uint8_t> answer = buf_;
      buf_.clear();
      if (fault.kind == FaultKind::Corrupt) {
        size_t at = fault.arg < answer.size() ? fault.arg : answer.size() - 1;
        answer[at] = static_cast<uint8_t>(answer[at] ^ 0xFF);
        spend();
      } else if (fault.kind == FaultKind::Short) {
        if (fault.arg < answer.size()) answer.resize(fault.arg);
        spend();
      }
      return answer;
    }
  }

  if (byte == kProbe) {
    note("M");
    if (fault.kind == FaultKind::Silence) {
      spend();
      return {};
    }
    return std::vector<uint8_t>(kProbeAnswer, kProbeAnswer + std::strlen(kProbeAnswer));
  }
  if (byte == kEcho) {
    note("P");
    if (fault.kind == FaultKind::Silence || fault.kind == FaultKind::NoEcho) {
      spend();
      return {};
    }
    receiving_ = true;
    buf_.clear();
    last_ = atNs;
    return {echoByte};
  }
  // The controller's commands and anything else mean nothing here.
  note(std::to_string(byte));
  return {};
}

bool Handheld::expire(int64_t nowNs) {
  if (!receiving_ || nowNs - last_ <= static_cast<int64_t>(recordTimeoutMs) * kNsPerMs) return false;
  note("record:" + std::to_string(buf_.size()) + "!");
  receiving_ = false;
  buf_.clear();
  return true;
}

int64_t Handheld::deadline() const {
  return receiving_ ? last_ + static_cast<int64_t>(recordTimeoutMs) * kNsPerMs + 1 : -1;
}

void Handheld::clear() {
  transcript.clear();
  records.clear();
}

void Handheld::reset() {
  clear();
  fault = Fault{};
  echoByte = kEcho;
  receiving_ = false;
  buf_.clear();
}

}  // namespace lindrow

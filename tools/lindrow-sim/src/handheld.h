// What the simulated handheld does with the bytes it receives, without the
// serial line: the probe ('M' -> "LWES"), the echo ('P' -> one byte) and the
// 1890-byte map record that follows an echo and is sent back as received.
// Faults make it fall silent, skip the echo, or spoil the record's echo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sim-support/transcript.h"

namespace lindrow {

constexpr size_t kRecordLen = 1890;
constexpr uint8_t kProbe = 'M';
constexpr uint8_t kEcho = 'P';
constexpr char kProbeAnswer[] = "LWES";

enum class FaultKind {
  None,
  Silence,  // answers nothing at all
  NoEcho,   // answers the probe, but no byte after 'P' (and takes no record)
  Corrupt,  // sends the record back with one byte changed
  Short,    // sends only the first K bytes of the record back
};

struct Fault {
  FaultKind kind = FaultKind::None;
  size_t arg = 0;     // Corrupt: the byte changed; Short: the bytes sent back
  bool once = false;  // cleared after the next answer it spoils
};

class Handheld {
 public:
  static constexpr size_t kRecordsCap = 64;

  // One byte from the host at time atNs (monotonic); the answer (maybe none).
  std::vector<uint8_t> receive(uint8_t byte, int64_t atNs);
  // Drops a record whose bytes stopped coming for longer than the record
  // time-out; true when one was dropped.
  bool expire(int64_t nowNs);
  // When the record being received is given up unless more bytes come, or -1.
  int64_t deadline() const;
  bool receiving() const { return receiving_; }
  // Empties the transcript and the kept records.
  void clear();
  // Everything back to the start: no fault, echo byte 'P', nothing kept.
  void reset();

  Fault fault;
  uint8_t echoByte = kEcho;
  int recordTimeoutMs = 1000;
  // Every complete record since the last clear, oldest first.
  std::deque<std::vector<uint8_t>> records;
  // What came in: "M", "P", "record:1890", "record:K!" for a record cut
  // short, other bytes in decimal.
  simsupport::Transcript transcript;

 private:
  void note(const std::string& token);
  void spend();  // a once fault has spoiled its answer

  bool receiving_ = false;
  std::vector<uint8_t> buf_;
  int64_t last_ = 0;
};

}  // namespace lindrow

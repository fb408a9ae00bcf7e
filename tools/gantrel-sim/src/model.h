// The simulated controller's memory and its replies to the read-only commands.
// Pure data and arithmetic: no I/O, no clock of its own (callers pass the elapsed
// time), so it can be tested directly and the replies are deterministic.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gantrel {

constexpr size_t kTableLen = 288;  // 9 throttle columns x 32 speed cells
constexpr size_t kBlockLen = 224;
constexpr int kTableCount = 6;
constexpr int kBlockCount = 6;
constexpr size_t kInfoHeaderLen = 16;
constexpr size_t kReplyRLen = 16;
constexpr size_t kReplyDLen = 11;
constexpr size_t kInfoTextMax = 255;  // the length travels in one byte

constexpr uint8_t kCmdR = 0x52;  // 'R'
constexpr uint8_t kCmdD = 0x44;  // 'D'
constexpr uint8_t kCmdI = 0x49;  // 'I'

// Older units identify with 'D' only: model characters '1'..'6' and 99.
bool isDGeneration(int version);

// What a command byte asks for.
enum class CmdKind { Identify, IdentifyOld, Info, ReadTable, WriteTable, ReadBlock, WriteBlock, Unknown };
struct Command {
  CmdKind kind = CmdKind::Unknown;
  int index = 0;          // table or block number
  size_t payload = 0;     // bytes the host sends after the command byte
};
Command decodeCommand(uint8_t byte);

// Snapshot of the simulated engine at one instant.
struct EngineState {
  double rpm = 0;         // 0 = engine stopped
  uint16_t period = 0;    // as sent on the wire
  uint8_t tpRaw = 0;      // raw throttle sensor reading
  double tpFrac = 0;      // 0 closed .. 1 open
  int column = 0;         // table column the controller is working in
  int cell = 0;           // table cell (speed step) the controller is working in
};

// Bytes of the live replies forced to fixed values; -1 = computed.
struct LivePins {
  std::array<int, kReplyRLen> r;
  std::array<int, kReplyDLen> d;
  int rpm = -1;  // engine speed
  int tp = -1;   // raw throttle reading
  LivePins() { clear(); }
  void clear() {
    r.fill(-1);
    d.fill(-1);
    rpm = -1;
    tp = -1;
  }
};

class ControllerModel {
 public:
  ControllerModel(int version = 105, int flags = 0xE1, uint64_t seed = 1);

  int version;
  int flags;
  uint64_t seed;
  std::array<std::array<uint8_t, kTableLen>, kTableCount> tables;
  std::array<std::array<uint8_t, kBlockLen>, kBlockCount> blocks;
  // 'I' block: until a client sets a header, it is derived from the version.
  bool infoHeaderSet = false;
  std::array<uint8_t, kInfoHeaderLen> infoHeaderBytes{};
  std::string infoText;
  int infoLenOverride = -1;  // -1: byte 15 follows the text length
  LivePins pins;

  // Tables, blocks, 'I' block and pins back to their power-on contents.
  void resetContents();

  std::array<uint8_t, kInfoHeaderLen> infoHeader() const;
  std::vector<uint8_t> infoReply() const;

  EngineState engineAt(double seconds) const;
  std::vector<uint8_t> replyR(double seconds) const;
  std::vector<uint8_t> replyD(double seconds) const;

  // Raw throttle readings at closed and open throttle that this unit works with.
  void tpRange(int* closed, int* open) const;
  // Current table set position (block 3 byte 7) on version 2 units, else 0.
  int tablePosition() const;
  int rpmDivisor() const;
  int periodMultiplier() const;
  int outputDivisor() const;
  uint16_t periodFor(double rpm) const;

  // Block 1 words (little-endian) stored XOR their keys.
  void setHardwareInfo(const uint32_t words[4], const uint32_t keys[4]);

  static std::array<uint8_t, kTableLen> defaultTable(int n);
  static std::array<uint8_t, kBlockLen> defaultBlock(int n);
  static const char* defaultInfoText();
  static const char* defaultProductionNotes();
};

}  // namespace gantrel

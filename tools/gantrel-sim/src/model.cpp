#include "model.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gantrel {

namespace {

uint64_t splitmix64(uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// Triangle wave 0..1..0 with period 1.
double tri(double x) {
  double u = x - std::floor(x);
  return u < 0.5 ? 2.0 * u : 2.0 - 2.0 * u;
}

uint8_t clampByte(long v) { return static_cast<uint8_t>(std::min(255L, std::max(0L, v))); }

void putWord(uint8_t* p, uint32_t w) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(w >> (8 * i));
}

// Factory calibration of the throttle sensor: closed and open readings and the
// points in between, as the host's calibration window would compute them.
constexpr int kTpClosed = 26;
constexpr int kTpOpen = 229;

}  // namespace

bool isDGeneration(int version) { return (version >= '1' && version <= '6') || version == 99; }

Command decodeCommand(uint8_t byte) {
  Command c;
  if (byte == kCmdR) {
    c.kind = CmdKind::Identify;
  } else if (byte == kCmdD) {
    c.kind = CmdKind::IdentifyOld;
  } else if (byte == kCmdI) {
    c.kind = CmdKind::Info;
  } else if (byte < 6) {
    c.kind = CmdKind::ReadTable;
    c.index = byte;
  } else if (byte < 12) {
    c.kind = CmdKind::WriteTable;
    c.index = byte - 6;
    c.payload = kTableLen;
  } else if (byte < 18) {
    c.kind = CmdKind::ReadBlock;
    c.index = byte - 12;
  } else if (byte < 24) {
    c.kind = CmdKind::WriteBlock;
    c.index = byte - 18;
    c.payload = kBlockLen;
  }
  return c;
}

ControllerModel::ControllerModel(int v, int f, uint64_t s) : version(v), flags(f), seed(s) { resetContents(); }

void ControllerModel::resetContents() {
  for (int n = 0; n < kTableCount; ++n) tables[n] = defaultTable(n);
  for (int n = 0; n < kBlockCount; ++n) blocks[n] = defaultBlock(n);
  infoHeaderSet = false;
  infoHeaderBytes.fill(0);
  infoText = defaultInfoText();
  infoLenOverride = -1;
  pins.clear();
}

std::array<uint8_t, kTableLen> ControllerModel::defaultTable(int n) {
  // A mild, recognisable surface around 128 ("no change"), offset by the table
  // number so that every table differs: 128 + (n+1) + ((3c + 31 - k) mod 16) - 8.
  std::array<uint8_t, kTableLen> t{};
  for (int c = 0; c < 9; ++c) {
    for (int k = 0; k < 32; ++k) {
      t[c * 32 + k] = static_cast<uint8_t>(128 + (n + 1) + ((3 * c + 31 - k) % 16) - 8);
    }
  }
  if (n == 4) {
    // Table 4 also carries the button settings (0..2 = 5, 3..5 = 128) and the
    // O2 setting in byte 7 (11 = step 1).
    t[0] = t[1] = t[2] = 5;
    t[3] = t[4] = t[5] = 128;
    t[7] = 11;
  }
  return t;
}

std::array<uint8_t, kBlockLen> ControllerModel::defaultBlock(int n) {
  std::array<uint8_t, kBlockLen> b{};
  switch (n) {
    case 0: {
      static const float points[] = {0.02f, 0.05f, 0.1f, 0.2f, 0.4f, 0.6f, 0.8f};
      static const float extra[] = {0.3f, 0.5f, 0.7f, 0.9f};
      const float d = static_cast<float>(kTpOpen - kTpClosed);
      b[0] = kTpClosed;
      for (int i = 0; i < 7; ++i) b[1 + i] = static_cast<uint8_t>(static_cast<int>(d * points[i] + kTpClosed + 0.5f));
      b[8] = kTpOpen;
      for (int i = 0; i < 4; ++i) b[9 + i] = static_cast<uint8_t>(static_cast<int>(d * extra[i] + kTpClosed + 0.5f));
      b[14] = 2;  // cylinders
      b[15] = b[16] = b[17] = b[18] = 128;  // no trims
      b[20] = 4;  // frequency divider
      b[21] = 2;  // duty divider
      break;
    }
    case 1: {
      const uint32_t words[4] = {20517, 1187, 3, 43538};  // serial, production no., board rev., date (day count)
      // The keys Gantrel Control Center unscrambles block 1 with.
      const uint32_t keys[4] = {0x5A3C96E1u, 0x1F2E3D4Cu, 0xC3A5F00Fu, 0x7B19E2D4u};
      for (int i = 0; i < 4; ++i) putWord(&b[4 * i], words[i] ^ keys[i]);
      const char* notes = defaultProductionNotes();
      std::memcpy(&b[16], notes, std::min<size_t>(std::strlen(notes), 200));
      break;
    }
    case 3:
      b[0] = b[1] = b[2] = 5;
      b[3] = b[4] = b[5] = 128;
      b[7] = 0;  // table set position
      break;
    default:
      for (size_t i = 0; i < kBlockLen; ++i) b[i] = static_cast<uint8_t>(i + 17 * n);
      break;
  }
  return b;
}

const char* ControllerModel::defaultInfoText() {
  return "Fuel rev 3, ignition rev 2. Smoother closed-throttle transition, faster hot restart, "
         "wider O2 trim range.";
}

const char* ControllerModel::defaultProductionNotes() {
  return "Assembled and bench tested. Injector drivers checked, throttle sensor range verified, "
         "firmware loaded and calibration block written.";
}

void ControllerModel::setHardwareInfo(const uint32_t words[4], const uint32_t keys[4]) {
  for (int i = 0; i < 4; ++i) putWord(&blocks[1][4 * i], words[i] ^ keys[i]);
}

std::array<uint8_t, kInfoHeaderLen> ControllerModel::infoHeader() const {
  std::array<uint8_t, kInfoHeaderLen> h{};
  if (infoHeaderSet) {
    h = infoHeaderBytes;
  } else {
    h[0] = 3;  // fuel revision
    h[1] = static_cast<uint8_t>(version);
    h[2] = 2;  // ignition revision (127 would mean none)
    // Map number: the map layout this unit runs. Version 1 below 106 uses the
    // one-to-one fuel layout.
    switch (version) {
      case 0: h[3] = 110; break;
      case 1: h[3] = 105; break;
      case 2: h[3] = 112; break;
      default: h[3] = static_cast<uint8_t>(version); break;
    }
    h[4] = 1;  // period multiplier
  }
  size_t len = std::min(infoText.size(), kInfoTextMax);
  h[15] = static_cast<uint8_t>(infoLenOverride >= 0 ? infoLenOverride : static_cast<int>(len));
  return h;
}

std::vector<uint8_t> ControllerModel::infoReply() const {
  const auto h = infoHeader();
  const size_t len = std::min(infoText.size(), kInfoTextMax);
  std::vector<uint8_t> out(kInfoHeaderLen + len);
  for (size_t i = 0; i < kInfoHeaderLen; ++i) out[i] = h[i];
  for (size_t i = 0; i < len; ++i) out[kInfoHeaderLen + i] = static_cast<uint8_t>(infoText[i]);
  return out;
}

void ControllerModel::tpRange(int* closed, int* open) const {
  if (!isDGeneration(version)) {
    *closed = blocks[0][0];
    *open = blocks[0][8];
    return;
  }
  switch (version) {
    case '1': *closed = 26; *open = 246; break;
    case '2': *closed = 56; *open = 213; break;
    case '3': *closed = 58; *open = 216; break;
    case '6': *closed = 60; *open = 219; break;
    default: *closed = 26; *open = 229; break;
  }
}

int ControllerModel::tablePosition() const { return version == 2 ? std::min<int>(blocks[3][7], 2) : 0; }

int ControllerModel::rpmDivisor() const { return version == '1' ? 2 : 1; }

int ControllerModel::periodMultiplier() const {
  if (version < 0 || version > 2) return 1;
  int m = infoHeader()[4];
  return m == 0 ? 1 : m;
}

int ControllerModel::outputDivisor() const { return (version == 100 || version == 103) ? 1 : 2; }

uint16_t ControllerModel::periodFor(double rpm) const {
  // The host computes rpm = 250000 / (period * multiplier) * 60 / divisor.
  // A stopped engine reports the longest period rather than 0 (0 would read as
  // an absurd speed).
  if (rpm <= 0) return 0xFFFF;
  double p = 250000.0 * 60.0 / (rpm * rpmDivisor() * periodMultiplier());
  long v = std::lround(p);
  return static_cast<uint16_t>(std::min(65535L, std::max(1L, v)));
}

EngineState ControllerModel::engineAt(double seconds) const {
  const uint64_t h = splitmix64(seed);
  const double phaseRpm = static_cast<double>(h & 0xFFFF) / 65536.0;
  const double phaseTp = static_cast<double>((h >> 16) & 0xFFFF) / 65536.0;

  EngineState e;
  // Speed sweeps 1000..9000 rpm and back every 24 s; the throttle opens and
  // closes every 7 s, so both change noticeably between two polls.
  e.rpm = pins.rpm >= 0 ? pins.rpm : 1000.0 + 8000.0 * tri(seconds / 24.0 + phaseRpm);
  int closed = 0, open = 0;
  tpRange(&closed, &open);
  int lo = std::min(closed, open), hi = std::max(closed, open);
  if (pins.tp >= 0) {
    e.tpRaw = static_cast<uint8_t>(pins.tp);
  } else {
    e.tpRaw = static_cast<uint8_t>(std::lround(lo + (hi - lo) * tri(seconds / 7.0 + phaseTp)));
  }
  e.tpFrac = hi > lo ? std::min(1.0, std::max(0.0, (e.tpRaw - lo) / static_cast<double>(hi - lo))) : 0.0;
  e.period = periodFor(e.rpm);
  const int step = version == '1' ? 250 : 500;
  e.cell = std::min(31, std::max(0, (step * 32 - static_cast<int>(e.rpm)) / step));
  e.column = std::min(8, std::max(0, static_cast<int>(std::lround(e.tpFrac * 8.0))));
  return e;
}

std::vector<uint8_t> ControllerModel::replyR(double seconds) const {
  const EngineState e = engineAt(seconds);
  std::vector<uint8_t> r(kReplyRLen, 0);
  const int pos = tablePosition();
  const int at = e.column * 32 + e.cell;
  const uint8_t fuel = tables[pos][at];
  const uint8_t second = tables[version == 2 ? 3 + pos : 1][at];

  r[0] = static_cast<uint8_t>(version == 2 ? blocks[3][7] : 0);
  r[2] = static_cast<uint8_t>(flags);
  r[3] = static_cast<uint8_t>(e.period & 0xFF);
  r[4] = static_cast<uint8_t>(e.period >> 8);
  r[5] = tables[4][7];  // O2 setting as stored
  r[7] = second;        // the second table's cell in use
  r[8] = fuel;          // the fuel table's cell in use
  // Manifold pressure, raw: about 25 kPa closed to 100 kPa open.
  r[11] = clampByte(std::lround((25.0 + 75.0 * e.tpFrac) * 255.0 / 110.0));
  r[12] = e.tpRaw;
  r[13] = static_cast<uint8_t>(version);
  // Injector pulse width; the host shows (pw * 100 / outputDivisor) / period as
  // the duty cycle in percent.
  if (e.rpm > 0) {
    double load = e.tpFrac * (0.3 + 0.7 * std::min(1.0, std::max(0.0, (e.rpm - 1000.0) / 8000.0)));
    double duty = (2.0 + 78.0 * load) * (fuel / 128.0);
    double pw = duty / 100.0 * outputDivisor() * e.period;
    long w = std::min(65535L, std::max(0L, std::lround(pw)));
    r[14] = static_cast<uint8_t>(w & 0xFF);
    r[15] = static_cast<uint8_t>(w >> 8);
  }
  for (size_t i = 0; i < kReplyRLen; ++i) {
    if (pins.r[i] >= 0) r[i] = static_cast<uint8_t>(pins.r[i]);
  }
  return r;
}

std::vector<uint8_t> ControllerModel::replyD(double seconds) const {
  const EngineState e = engineAt(seconds);
  const uint64_t h = splitmix64(seed ^ 0x5A5A5A5AULL);
  const double phase = static_cast<double>(h & 0xFFFF) / 65536.0;
  std::vector<uint8_t> d(kReplyDLen, 0);
  const int at = e.column * 32 + e.cell;
  d[0] = static_cast<uint8_t>(e.period & 0xFF);
  d[1] = static_cast<uint8_t>(e.period >> 8);
  // Bytes 5 - w carry the cell in use of table w.
  for (int w = 0; w < 4; ++w) d[5 - w] = tables[w][at];
  // Bytes 9 - w carry the sensor that goes with table w: air temperature,
  // manifold pressure, ambient pressure, throttle.
  d[6] = clampByte(100 + std::lround(10.0 * tri(seconds / 300.0 + phase)));
  d[7] = clampByte(std::lround((25.0 + 75.0 * e.tpFrac) * 255.0 / 110.0));
  d[8] = clampByte(198 + std::lround(3.0 * tri(seconds / 90.0 + phase)));
  d[9] = e.tpRaw;
  d[10] = static_cast<uint8_t>(version);
  for (size_t i = 0; i < kReplyDLen; ++i) {
    if (pins.d[i] >= 0) d[i] = static_cast<uint8_t>(pins.d[i]);
  }
  return d;
}

}  // namespace gantrel

// gantrel-sim's own helpers for the simulator, its control client and the tests,
// beside those of sim-support that every simulator uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim-support/clock.h"
#include "sim-support/text.h"

namespace gantrel {

using simsupport::addNs;
using simsupport::diffNs;
using simsupport::fromNs;
using simsupport::monoNow;
using simsupport::splitWords;
using simsupport::toHex;
using simsupport::toNs;

// Accepts upper or lower case, ignores blanks; false on odd length or bad digits.
bool fromHex(const std::string& text, std::vector<uint8_t>* out);

// Decimal, or hexadecimal with a 0x prefix. No octal surprises for "010".
bool parseInt(const std::string& text, long long* out);

std::string trim(const std::string& s);

// "HOST:PORT" -> host and port; the port may be 0.
bool parseHostPort(const std::string& text, std::string* host, int* port);

}  // namespace gantrel

// Small helpers shared by the simulator, its control client and the tests.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace gantrel {

// Monotonic clock helpers (CLOCK_MONOTONIC, so wall-clock steps never disturb pacing).
timespec monoNow();
timespec addNs(timespec t, int64_t ns);
int64_t diffNs(const timespec& later, const timespec& earlier);

// Lower-case hex without separators.
std::string toHex(const uint8_t* data, size_t len);
std::string toHex(const std::vector<uint8_t>& v);
// Accepts upper or lower case, ignores blanks; false on odd length or bad digits.
bool fromHex(const std::string& text, std::vector<uint8_t>* out);

// Decimal, or hexadecimal with a 0x prefix. No octal surprises for "010".
bool parseInt(const std::string& text, long long* out);

std::vector<std::string> splitWords(const std::string& line);
std::string trim(const std::string& s);

// "HOST:PORT" -> host and port; the port may be 0.
bool parseHostPort(const std::string& text, std::string* host, int* port);

}  // namespace gantrel

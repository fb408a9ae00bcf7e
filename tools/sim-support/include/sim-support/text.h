// Text helpers for the control channels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace simsupport {

// Lower-case hex without separators.
std::string toHex(const uint8_t* data, size_t len);
std::string toHex(const std::vector<uint8_t>& v);

// The blank-separated words of a line.
std::vector<std::string> splitWords(const std::string& line);

}  // namespace simsupport

#include "sim-support/text.h"

#include <cctype>

namespace simsupport {

std::string toHex(const uint8_t* data, size_t len) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  s.reserve(len * 2);
  for (size_t i = 0; i < len; ++i) {
    s.push_back(digits[data[i] >> 4]);
    s.push_back(digits[data[i] & 15]);
  }
  return s;
}

std::string toHex(const std::vector<uint8_t>& v) { return toHex(v.data(), v.size()); }

std::vector<std::string> splitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string cur;
  for (char c : line) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!cur.empty()) words.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) words.push_back(cur);
  return words;
}

}  // namespace simsupport

#include "util.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace gantrel {

static int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool fromHex(const std::string& text, std::vector<uint8_t>* out) {
  std::string digits;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    digits.push_back(c);
  }
  if (digits.size() % 2 != 0) return false;
  out->clear();
  out->reserve(digits.size() / 2);
  for (size_t i = 0; i < digits.size(); i += 2) {
    int hi = hexDigit(digits[i]);
    int lo = hexDigit(digits[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out->push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return true;
}

bool parseInt(const std::string& text, long long* out) {
  if (text.empty()) return false;
  const char* s = text.c_str();
  int base = 10;
  bool neg = false;
  if (*s == '-' || *s == '+') {
    neg = (*s == '-');
    ++s;
  }
  if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s += 2;
  }
  if (*s == '\0') return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(s, &end, base);
  if (errno != 0 || end == s || *end != '\0') return false;
  *out = neg ? -v : v;
  return true;
}

std::string trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool parseHostPort(const std::string& text, std::string* host, int* port) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  long long p = 0;
  if (!parseInt(text.substr(colon + 1), &p) || p < 0 || p > 65535) return false;
  *host = text.substr(0, colon);
  *port = static_cast<int>(p);
  return true;
}

}  // namespace gantrel

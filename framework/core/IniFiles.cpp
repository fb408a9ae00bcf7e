#include "IniFiles.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    std::vector<char> buffer(256);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                           DWORD(buffer.size()), FileName.c_str());
        // n == size - 1 means the value may have been cut off: try a larger buffer.
        if (n + 1 < buffer.size() || buffer.size() >= 65536) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 4);
    }
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    std::string text = ReadString(section, key, std::string());
    if (text.empty()) return def;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    // "$1F" and "0x1F" are hexadecimal; everything else decimal ("010" is ten).
    const char* digits = begin;
    int base = 10;
    if (text[0] == '$') {
        digits = begin + 1;
        base = 16;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        digits = begin + 2;
        base = 16;
    }
    long long v = std::strtoll(digits, &end, base);
    while (*end == ' ' || *end == '\t') ++end;
    if (end == digits || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return def;
    return int(v);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), FileName.c_str()) != 0;
}

bool TIniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    return WriteString(section, key, value ? "1" : "0");
}

#include "IniFiles.h"

#include "SysUtils.h"

#include <windows.h>

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
    // "$1F" and "0x1F" are hexadecimal; everything else decimal ("010" is ten).
    std::string text = ReadString(section, key, std::string());
    size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
    int value;
    if (first == std::string::npos || !TryStrToInt(text.substr(first, last - first + 1), value)) return def;
    return value;
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

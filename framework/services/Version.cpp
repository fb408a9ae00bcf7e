#include "Version.h"

#include <windows.h>
#include <winver.h>

#include <cstring>
#include <vector>

std::string FileVersionString(const std::string& fileName, const std::string& item)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &ignored);
    if (size == 0) return std::string();
    std::vector<char> data(size, '\0');
    if (!GetFileVersionInfoA(fileName.c_str(), 0, size, data.data())) return std::string();
    std::string path = "\\StringFileInfo\\040904E4\\" + item;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), path.c_str(), &value, &length) || !value) return std::string();
    // The length counts the closing NUL, when there is one.
    const char* text = static_cast<const char*>(value);
    return std::string(text, strnlen(text, length));
}

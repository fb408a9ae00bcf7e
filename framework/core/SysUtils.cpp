#include "SysUtils.h"

#include <windows.h>

#include <vector>

namespace {
unsigned StringCodePageValue = CP_ACP;
}

void SetStringCodePage(unsigned codePage) { StringCodePageValue = codePage; }
unsigned StringCodePage() { return StringCodePageValue; }

std::string LoadStr(int id)
{
    // With a zero buffer size LoadStringW hands out the resource text itself,
    // so entries of any length come out whole.
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), UINT(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::string();
    int bytes = WideCharToMultiByte(StringCodePageValue, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string result(size_t(bytes), '\0');
    WideCharToMultiByte(StringCodePageValue, 0, text, length, &result[0], bytes, nullptr, nullptr);
    return result;
}

std::string ExtractFilePath(const std::string& fileName)
{
    size_t pos = fileName.find_last_of("\\/:");
    return pos == std::string::npos ? std::string() : fileName.substr(0, pos + 1);
}

std::string ExtractFileName(const std::string& fileName)
{
    size_t pos = fileName.find_last_of("\\/:");
    return pos == std::string::npos ? fileName : fileName.substr(pos + 1);
}

std::string ExeDirectory()
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
        if (n == 0) return std::string();
        if (n < path.size()) return ExtractFilePath(std::string(path.data(), n));
        path.resize(path.size() * 2);
    }
}

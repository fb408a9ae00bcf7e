#include "SysUtils.h"

#include <windows.h>

#include <vector>

namespace {
unsigned StringCodePageValue = CP_ACP;

char UpperChar(char c)
{
    // CharUpperA on a single character takes it in the low word of the pointer.
    auto value = reinterpret_cast<ULONG_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<unsigned char>(c)))));
    return char(value & 0xFF);
}
}  // namespace

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

bool TryStrToInt(const std::string& text, int& value)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return false;
    long long result = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        result = result * base + digit;
        if (result > 0x80000000LL) return false;
    }
    if (negative) result = -result;
    if (result > 0x7FFFFFFFLL) return false;
    value = int(result);
    return true;
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

std::string DateTimeToStr(TDateTime value)
{
    // Days from 1 January 1601, where the platform's file times begin, to
    // 30 December 1899; a day is 864000000000 file-time ticks.
    constexpr double DaysBefore1899 = 109205;
    constexpr double TicksPerDay = 864000000000.0;
    // FileTimeToSystemTime takes file times below 2^63 (the year 30827).
    double ticks = (value + DaysBefore1899) * TicksPerDay;
    if (!(ticks >= 0) || ticks >= 9.2e18) return std::string();
    ULARGE_INTEGER whole;
    whole.QuadPart = static_cast<unsigned long long>(ticks + 0.5);
    FILETIME fileTime = {whole.LowPart, whole.HighPart};
    SYSTEMTIME time;
    if (!FileTimeToSystemTime(&fileTime, &time)) return std::string();
    char date[128] = "";
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date)) return std::string();
    std::string text = date;
    if (time.wHour || time.wMinute || time.wSecond) {
        char clock[128] = "";
        if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, sizeof clock)) text += std::string(" ") + clock;
    }
    return text;
}

bool IsAccel(unsigned key, const std::string& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        // "Save & Exit": an ampersand before a blank is text; Space stays
        // with the focused control.
        if (static_cast<unsigned char>(caption[i + 1]) <= ' ') continue;
        return UpperChar(caption[i + 1]) == UpperChar(char(key & 0xFF));
    }
    return false;
}

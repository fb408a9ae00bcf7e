#include "RcStringTable.h"

#include <cctype>
#include <fstream>

const TLanguageFile LanguageFiles[7] = {
    {"en.rc", 0},     {"de.rc", 2000},  {"fr.rc", 4000}, {"it.rc", 6000},
    {"es.rc", 8000},  {"ja.rc", 10000}, {"nl.rc", 14000},
};

std::string SourcePath(const std::string& relative)
{
#ifdef _WIN32
    // Under Wine the source tree is reached through the drive that maps "/".
    return std::string("Z:") + GANTREL_SOURCE_DIR + "/" + relative;
#else
    return std::string(GANTREL_SOURCE_DIR) + "/" + relative;
#endif
}

namespace {

bool ReadNumber(const std::string& s, size_t& i, int& value)
{
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    value = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) value = value * 10 + (s[i++] - '0');
    return true;
}

}  // namespace

std::map<int, std::string> ReadStringTable(const std::string& rcFile)
{
    std::map<int, std::string> table;
    std::ifstream in(rcFile);
    std::string line;
    while (std::getline(in, line)) {
        size_t i = 0;
        int id = 0, offset = 0;
        if (!ReadNumber(line, i, id)) continue;
        while (i < line.size() && line[i] == ' ') ++i;
        if (i < line.size() && line[i] == '+') {
            ++i;
            if (!ReadNumber(line, i, offset)) continue;
        }
        while (i < line.size() && line[i] == ' ') ++i;
        if (i >= line.size() || line[i] != ',') continue;
        size_t open = line.find('"', i);
        size_t close = line.rfind('"');
        if (open == std::string::npos || close <= open) continue;
        std::string text;
        for (size_t k = open + 1; k < close; ++k) {
            if (line[k] == '"' && k + 1 < close && line[k + 1] == '"') ++k;
            if (line[k] == '\\' && k + 1 < close && line[k + 1] == 'n') {
                text += '\n';
                ++k;
                continue;
            }
            text += line[k];
        }
        table[id + offset] = text;
    }
    return table;
}

#ifndef _WIN32
#include "SysUtils.h"

namespace {
unsigned CodePage = 0;

const std::map<int, std::string>& AllStrings()
{
    static const std::map<int, std::string> all = [] {
        std::map<int, std::string> merged;
        for (const TLanguageFile& language : LanguageFiles) {
            auto table = ReadStringTable(SourcePath(std::string("resources/strings/") + language.File));
            merged.insert(table.begin(), table.end());
        }
        return merged;
    }();
    return all;
}
}  // namespace

// Without the platform the texts stay in UTF-8, whatever code page is asked.
std::string LoadStr(int id)
{
    auto it = AllStrings().find(id);
    return it == AllStrings().end() ? std::string() : it->second;
}

void SetStringCodePage(unsigned codePage) { CodePage = codePage; }
unsigned StringCodePage() { return CodePage; }
#endif

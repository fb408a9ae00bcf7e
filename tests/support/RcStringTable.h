// The string tables read from their resource sources, for tests and for
// builds without the platform's resources.
#pragma once

#include <map>
#include <string>

// A file of the source tree by its path inside the tree.
std::string SourcePath(const std::string& relative);

// Entries of one string-table source: resource id -> UTF-8 text.
// Ids written "base + n" are summed; "" inside a text is one quote.
std::map<int, std::string> ReadStringTable(const std::string& rcFile);

// The seven language files with their bases, in base order.
struct TLanguageFile {
    const char* File;
    int Base;
};
extern const TLanguageFile LanguageFiles[7];

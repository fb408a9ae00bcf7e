// The version resource of an executable, for the About box.
#pragma once

#include <string>

// A text of the file's version resource (US English, Windows Latin 1:
// "\StringFileInfo\040904E4\<item>"), such as "FileVersion",
// "ProductName" or "LegalCopyright"; empty when the file, its version
// resource or the item is missing.
std::string FileVersionString(const std::string& fileName, const std::string& item = "FileVersion");

// Settings files on the platform's profile functions. A missing file,
// section or key reads as the default.
#pragma once

#include <string>

class TIniFile {
public:
    explicit TIniFile(const std::string& fileName) : FileName(fileName) {}

    const std::string& GetFileName() const { return FileName; }

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // A value that is not a whole number reads as the default.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // Each returns false when the file could not be written.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInteger(const std::string& section, const std::string& key, int value);
    bool WriteBool(const std::string& section, const std::string& key, bool value);

private:
    std::string FileName;
};

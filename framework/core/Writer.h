// The writing half of the properties a class defines for itself: the
// binary ones (DefineBinaryProperty with a write function) come out as
// form text the reader takes back,
//
//     Wave.Data = {
//       52494646...
//       }
//
// so that data a program made can be put into a form resource.
#pragma once

#include "Reader.h"

#include <cstdint>
#include <string>
#include <vector>

class TWriter : public TFiler {
public:
    // indent goes before each property line, prefix before each name ("Wave.").
    explicit TWriter(const std::string& indent = "  ") : FIndent(indent) {}

    // Appends the binary properties instance stores (those whose hasData is true).
    void WriteDefinedProperties(TPersistent* instance, const std::string& prefix = "");
    const std::string& Text() const { return FText; }

    // TFiler
    void DefineProperty(const std::string& name, std::function<void(TReader&)> read) override;
    void DefineBinaryProperty(const std::string& name, std::function<void(TStream&)> read,
                              std::function<void(TStream&)> write, bool hasData) override;

private:
    std::string FIndent;
    std::string FPrefix;
    std::string FText;
};

// A binary value as form text: "{", rows of hexadecimal digits, "}".
std::string FormatBinaryValue(const std::vector<uint8_t>& bytes, const std::string& indent);

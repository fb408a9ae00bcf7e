#include "Writer.h"

#include "Streams.h"

namespace {

const int BytesPerRow = 32;

}  // namespace

std::string FormatBinaryValue(const std::vector<uint8_t>& bytes, const std::string& indent)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "{";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % BytesPerRow == 0) text += "\n" + indent + "  ";
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    text += "\n" + indent + "  }";
    return text;
}

void TWriter::WriteDefinedProperties(TPersistent* instance, const std::string& prefix)
{
    FPrefix = prefix;
    instance->DefineProperties(this);
}

void TWriter::DefineProperty(const std::string&, std::function<void(TReader&)>)
{
    // Text-valued custom properties have no writer; nothing stores one yet.
}

void TWriter::DefineBinaryProperty(const std::string& name, std::function<void(TStream&)>,
                                   std::function<void(TStream&)> write, bool hasData)
{
    if (!write || !hasData) return;
    TMemoryStream stream;
    write(stream);
    FText += FIndent + FPrefix + name + " = " + FormatBinaryValue(stream.Bytes(), FIndent) + "\n";
}

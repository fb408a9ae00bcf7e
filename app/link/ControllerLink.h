// The controller commands that identification and configuration need.
// TComPort implements them on the serial port; keeping them behind this
// interface lets the configuration decisions build without the platform.
#pragma once

#include <cstdint>

class TControllerLink {
public:
    virtual ~TControllerLink() = default;
    // Controller version, or negative when no controller answered.
    virtual int GetVersion(uint8_t& flags) = 0;
    // 'I' block: headerLength bytes, then as many text bytes as its last byte
    // says; text must hold 256 bytes.
    virtual bool ReadInfo(uint8_t* header, int headerLength, char* text) = 0;
    virtual bool ReadBlock(int n, uint8_t* bytes, int length) = 0;
    // 0 on success, negative result codes otherwise.
    virtual int WriteTable(int n, const uint8_t* bytes, int length) = 0;
};

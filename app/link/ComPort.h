// The serial link to the controller: 2400 baud, 8N1, no flow control, and
// the controller's fixed byte protocol. One command byte goes out, then a
// fixed number of bytes goes out or comes back; there is no framing and no
// checksum, so a transfer is judged by its byte count alone.
//
// No lock: the user-interface thread and the monitor thread take turns
// through the monitor's pause handshake.
#pragma once

#include "ControllerLink.h"
#include "SerialPort.h"

#include <windows.h>

#include <cstdint>

class TComPort : public TControllerLink, public TSerialPort {
public:
    static constexpr DWORD BaudRate = 2400;
    static constexpr int IdentifyLength = 16;     // 'R'
    static constexpr int OldIdentifyLength = 11;  // 'D'
    static constexpr int BlockLength = 224;

    // Result codes of the table commands.
    enum {
        Ok = 0,
        CommandNotSent = -1,
        PayloadShort = -2,
        NoAnswer = -3,  // GetVersion: not even the 'D' reply came
        ReplyCut = -4,  // ReadTpRaw: the reply ended before the throttle byte
        TableAbove5 = -10,
        TableBelow0 = -11,
    };

    TComPort() = default;

    // "com1".."com8"; 2400 on success, 0 on any failure.
    int Open(const char* name);
    void Purge();
    // Bytes moved, or 0 when the port is closed or the call failed. A write
    // returns once its bytes have left the port (bounded by the write
    // time-outs) and counts only those that did; a read returns fewer bytes
    // than asked when the port's time-outs expire.
    int Write(int count, const void* bytes);
    int Read(int count, void* bytes);

    int GetVersion(uint8_t& flags) override;
    int ReadTpRaw();
    bool ReadInfo(uint8_t* header, int headerLength, char* text) override;
    int ReadTable(int n, uint8_t* bytes, int length);
    int WriteTable(int n, const uint8_t* bytes, int length) override;
    bool ReadBlock(int n, uint8_t* bytes, int length) override;
    bool WriteBlock(int n, const uint8_t* bytes, int length);

private:
    bool SendCommand(uint8_t command);
};

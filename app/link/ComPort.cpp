#include "ComPort.h"

namespace {
// The controller needs this long after a purge before it takes a table command.
constexpr DWORD TableCommandWaitMs = 250;
}  // namespace

int TComPort::Open(const char* name)
{
    return OpenLine(name, {BaudRate, ONESTOPBIT, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE, 250});
}

void TComPort::Purge()
{
    if (OpenFlag != 1) return;
    PurgeComm(Handle, PURGE_TXABORT);
    PurgeComm(Handle, PURGE_RXABORT);
    PurgeComm(Handle, PURGE_TXCLEAR);
    PurgeComm(Handle, PURGE_RXCLEAR);
}

int TComPort::Write(int count, const void* bytes)
{
    return WriteBytes(count, bytes);
}

int TComPort::Read(int count, void* bytes)
{
    return ReadBytes(count, bytes);
}

bool TComPort::SendCommand(uint8_t command)
{
    return Write(1, &command) == 1;
}

int TComPort::GetVersion(uint8_t& flags)
{
    uint8_t reply[IdentifyLength] = {};
    Purge();
    if (!SendCommand('R')) return PayloadShort;
    if (Read(IdentifyLength, reply) == IdentifyLength) {
        flags = reply[2];
        return reply[13];
    }
    // Older units answer only 'D'.
    Purge();
    if (!SendCommand('D')) return PayloadShort;
    if (Read(OldIdentifyLength, reply) != OldIdentifyLength) return NoAnswer;
    flags = 1;
    return reply[10];
}

int TComPort::ReadTpRaw()
{
    // Where the throttle byte sits in the 'R' and the 'D' reply.
    constexpr int ThrottleByte = 12, OldThrottleByte = 9;
    uint8_t reply[IdentifyLength] = {};
    Purge();
    if (!SendCommand('R')) return PayloadShort;
    // A reply that stops before the throttle byte gives no reading.
    const int got = Read(IdentifyLength, reply);
    if (got > ThrottleByte) return reply[ThrottleByte];
    if (got > 0) return ReplyCut;
    Purge();
    if (!SendCommand('D')) return PayloadShort;
    const int gotOld = Read(OldIdentifyLength, reply);
    if (gotOld > OldThrottleByte) return reply[OldThrottleByte];
    return gotOld > 0 ? ReplyCut : NoAnswer;
}

bool TComPort::ReadInfo(uint8_t* header, int headerLength, char* text)
{
    if (headerLength <= 0) return false;
    Purge();
    if (!SendCommand('I')) return false;
    if (Read(headerLength, header) == 0) return false;
    int length = header[headerLength - 1];
    int got = Read(length, text);
    if (got == 0) return false;
    text[got] = '\0';
    return true;
}

int TComPort::ReadTable(int n, uint8_t* bytes, int length)
{
    if (n > 5) return TableAbove5;
    if (n < 0) return TableBelow0;
    Purge();
    Sleep(TableCommandWaitMs);
    if (!SendCommand(uint8_t(n))) return CommandNotSent;
    if (Read(length, bytes) < length) return PayloadShort;
    return Ok;
}

int TComPort::WriteTable(int n, const uint8_t* bytes, int length)
{
    if (n > 5) return TableAbove5;
    if (n < 0) return TableBelow0;
    Purge();
    Sleep(TableCommandWaitMs);
    if (!SendCommand(uint8_t(n + 6))) return CommandNotSent;
    // A table that went out in part is a failed upload, never a success.
    if (Write(length, bytes) != length) return PayloadShort;
    return Ok;
}

bool TComPort::ReadBlock(int n, uint8_t* bytes, int length)
{
    if (n > 5 || n < 0) return false;
    Purge();
    if (!SendCommand(uint8_t(n + 12))) return false;
    return Read(length, bytes) == length;
}

bool TComPort::WriteBlock(int n, const uint8_t* bytes, int length)
{
    if (n > 5 || n < 0) return false;
    Purge();
    if (!SendCommand(uint8_t(n + 18))) return false;
    return Write(length, bytes) == length;
}

#include "ComPort.h"

#include <algorithm>
#include <cmath>

namespace {
// The controller needs this long after a purge before it takes a table command.
constexpr DWORD TableCommandWaitMs = 250;
// 8N1: a start bit, eight data bits and a stop bit on the wire for each byte.
constexpr double ByteMs = 10.0 * 1000.0 / TComPort::BaudRate;

double NowMs()
{
    static const double ticksPerMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / ticksPerMs;
}
}  // namespace

TComPort::~TComPort()
{
    Close();
}

int TComPort::Open(const char* name)
{
    HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;

    LineSettings.DCBlength = sizeof LineSettings;
    LastResultValue = GetCommState(h, &LineSettings);
    if (!LastResultValue) {
        // Not a serial port (or one that went away): keep no handle to it.
        CloseHandle(h);
        return 0;
    }
    LineSettings.fBinary = FALSE;
    LineSettings.fOutxCtsFlow = FALSE;
    LineSettings.fDtrControl = DTR_CONTROL_DISABLE;
    LineSettings.fDsrSensitivity = FALSE;
    LineSettings.fOutX = FALSE;
    LineSettings.fInX = FALSE;
    LineSettings.fNull = FALSE;
    LineSettings.fRtsControl = RTS_CONTROL_DISABLE;
    LineSettings.fAbortOnError = FALSE;
    LineSettings.BaudRate = BaudRate;
    LineSettings.ByteSize = 8;
    LineSettings.Parity = NOPARITY;
    LineSettings.StopBits = ONESTOPBIT;
    LastResultValue = SetCommState(h, &LineSettings);
    if (!LastResultValue) {
        CloseHandle(h);
        return 0;
    }

    Timeouts.ReadIntervalTimeout = 250;
    Timeouts.ReadTotalTimeoutMultiplier = 8;
    Timeouts.ReadTotalTimeoutConstant = 250;
    Timeouts.WriteTotalTimeoutMultiplier = 8;
    Timeouts.WriteTotalTimeoutConstant = 250;
    SetCommTimeouts(h, &Timeouts);

    Handle = h;
    OpenFlag = 1;
    SetCommMask(Handle, EV_RXCHAR);
    return int(BaudRate);
}

void TComPort::Close()
{
    if (OpenFlag != 1) return;
    CloseHandle(Handle);
    Handle = INVALID_HANDLE_VALUE;
    OpenFlag = 0;
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
    if (OpenFlag != 1 || count <= 0) return 0;
    const double start = NowMs();
    DWORD written = 0;
    LastResultValue = WriteFile(Handle, bytes, DWORD(count), &written, nullptr);
    if (!LastResultValue) return 0;
    // Done only once the bytes have left: the purge that starts the next
    // command discards whatever output is still queued, and a driver that
    // returns from WriteFile as soon as the bytes are queued (Wine's does;
    // its FlushFileBuffers does not wait on a pseudo-terminal either) would
    // lose the tail of an upload to it.
    return int(written) - WaitUntilSent(start, int(written));
}

int TComPort::BytesQueued()
{
    DWORD errors = 0;
    COMSTAT status = {};
    if (!ClearCommError(Handle, &errors, &status)) return 0;
    return int(status.cbOutQue);
}

int TComPort::WaitUntilSent(double start, int count)
{
    if (count <= 0) return 0;
    // As long as the write time-outs give the whole write.
    const double limit =
        start + double(Timeouts.WriteTotalTimeoutMultiplier) * count + double(Timeouts.WriteTotalTimeoutConstant);
    for (;;) {
        int queued = BytesQueued();
        if (queued <= 0) break;
        if (NowMs() >= limit) return std::min(queued, count);
        Sleep(1);
    }
    // The driver no longer counts what sits in the UART or, on a driver that
    // reports no queue at all, anything: those bytes still take their wire
    // time, and no line sends faster than its baud rate.
    const double sent = start + count * ByteMs;
    for (double rest = sent - NowMs(); rest > 0; rest = sent - NowMs()) Sleep(DWORD(std::ceil(rest)));
    return 0;
}

int TComPort::Read(int count, void* bytes)
{
    if (OpenFlag != 1 || count <= 0) return 0;
    DWORD read = 0;
    LastResultValue = ReadFile(Handle, bytes, DWORD(count), &read, nullptr);
    return LastResultValue ? int(read) : 0;
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
    // Zeroed, so that a reply cut off before byte 12 reads as 0, not as
    // whatever the stack held.
    uint8_t reply[IdentifyLength] = {};
    Purge();
    if (!SendCommand('R')) return PayloadShort;
    if (Read(IdentifyLength, reply) > 0) return reply[12];
    Purge();
    if (!SendCommand('D')) return PayloadShort;
    if (Read(OldIdentifyLength, reply) == 0) return NoAnswer;
    return reply[9];
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

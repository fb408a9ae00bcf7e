#include "ComPort.h"

namespace {
// The controller needs this long after a purge before it takes a table command.
constexpr DWORD TableCommandWaitMs = 250;
}

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
    DWORD written = 0;
    LastResultValue = WriteFile(Handle, bytes, DWORD(count), &written, nullptr);
    // Wait until the bytes are on the wire, as the serial driver does on
    // Windows; a driver that only queues them would otherwise lose an upload
    // to the purge that starts the next command.
    if (LastResultValue) FlushFileBuffers(Handle);
    return LastResultValue ? int(written) : 0;
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
    if (Write(length, bytes) == 0) return PayloadShort;
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

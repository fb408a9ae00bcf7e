#include "HandheldPort.h"

#include <cstring>

namespace {
// The handheld answers the probe only after it has looked at its port.
constexpr DWORD ProbeWaitMs = 500;
}

THandheldPort::~THandheldPort()
{
    Close();
}

int THandheldPort::Open(const char* name)
{
    HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;

    LineSettings.DCBlength = sizeof LineSettings;
    LastResultValue = GetCommState(h, &LineSettings);
    if (!LastResultValue) {
        CloseHandle(h);
        return 0;
    }
    LineSettings.fBinary = FALSE;
    LineSettings.fOutxCtsFlow = FALSE;
    LineSettings.fDtrControl = DTR_CONTROL_ENABLE;
    LineSettings.fDsrSensitivity = FALSE;
    LineSettings.fOutX = FALSE;
    LineSettings.fInX = FALSE;
    LineSettings.fNull = FALSE;
    LineSettings.fRtsControl = RTS_CONTROL_ENABLE;
    LineSettings.fAbortOnError = FALSE;
    LineSettings.BaudRate = BaudRate;
    LineSettings.ByteSize = 8;
    LineSettings.Parity = NOPARITY;
    LineSettings.StopBits = TWOSTOPBITS;
    LastResultValue = SetCommState(h, &LineSettings);
    if (!LastResultValue) {
        CloseHandle(h);
        return 0;
    }

    Timeouts.ReadIntervalTimeout = 50;
    Timeouts.ReadTotalTimeoutMultiplier = 8;
    Timeouts.ReadTotalTimeoutConstant = 50;
    Timeouts.WriteTotalTimeoutMultiplier = 8;
    Timeouts.WriteTotalTimeoutConstant = 50;
    SetCommTimeouts(h, &Timeouts);

    Handle = h;
    OpenFlag = 1;
    SetCommMask(Handle, EV_RXCHAR);
    return int(BaudRate);
}

void THandheldPort::Close()
{
    if (OpenFlag != 1) return;
    CloseHandle(Handle);
    Handle = INVALID_HANDLE_VALUE;
    OpenFlag = 0;
}

void THandheldPort::Purge()
{
    if (OpenFlag != 1) return;
    PurgeComm(Handle, PURGE_TXCLEAR);
    PurgeComm(Handle, PURGE_RXCLEAR);
}

int THandheldPort::Write(int count, const void* bytes)
{
    if (OpenFlag != 1 || count <= 0) return 0;
    DWORD written = 0;
    LastResultValue = WriteFile(Handle, bytes, DWORD(count), &written, nullptr);
    return LastResultValue && written == DWORD(count) ? count : 0;
}

int THandheldPort::Read(int count, void* bytes)
{
    if (OpenFlag != 1 || count <= 0) return 0;
    DWORD read = 0;
    LastResultValue = ReadFile(Handle, bytes, DWORD(count), &read, nullptr);
    return LastResultValue && read == DWORD(count) ? count : 0;
}

bool THandheldPort::Probe()
{
    Purge();
    const char probe = 'M';
    if (Write(1, &probe) != 1) return false;
    Sleep(ProbeWaitMs);
    char answer[4] = {};
    return Read(4, answer) == 4 && std::memcmp(answer, "LWES", 4) == 0;
}

#include "SerialPort.h"

#include <algorithm>
#include <cmath>

namespace {
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

TSerialPort::~TSerialPort()
{
    Close();
}

int TSerialPort::OpenLine(const char* name, const TLineSetup& setup)
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
    LineSettings.fDtrControl = setup.DtrControl;
    LineSettings.fDsrSensitivity = FALSE;
    LineSettings.fOutX = FALSE;
    LineSettings.fInX = FALSE;
    LineSettings.fNull = FALSE;
    LineSettings.fRtsControl = setup.RtsControl;
    LineSettings.fAbortOnError = FALSE;
    LineSettings.BaudRate = setup.BaudRate;
    LineSettings.ByteSize = 8;
    LineSettings.Parity = NOPARITY;
    LineSettings.StopBits = setup.StopBits;
    LastResultValue = SetCommState(h, &LineSettings);
    if (!LastResultValue) {
        CloseHandle(h);
        return 0;
    }

    Timeouts.ReadIntervalTimeout = setup.TimeoutMs;
    Timeouts.ReadTotalTimeoutMultiplier = 8;
    Timeouts.ReadTotalTimeoutConstant = setup.TimeoutMs;
    Timeouts.WriteTotalTimeoutMultiplier = 8;
    Timeouts.WriteTotalTimeoutConstant = setup.TimeoutMs;
    SetCommTimeouts(h, &Timeouts);

    Handle = h;
    OpenFlag = 1;
    SetCommMask(Handle, EV_RXCHAR);
    return int(setup.BaudRate);
}

void TSerialPort::Close()
{
    if (OpenFlag != 1) return;
    CloseHandle(Handle);
    Handle = INVALID_HANDLE_VALUE;
    OpenFlag = 0;
}

int TSerialPort::WriteBytes(int count, const void* bytes)
{
    if (OpenFlag != 1 || count <= 0) return 0;
    const double start = NowMs();
    DWORD written = 0;
    LastResultValue = WriteFile(Handle, bytes, DWORD(count), &written, nullptr);
    if (!LastResultValue) return 0;
    return int(written) - WaitUntilSent(start, int(written));
}

int TSerialPort::ReadBytes(int count, void* bytes)
{
    if (OpenFlag != 1 || count <= 0) return 0;
    DWORD read = 0;
    LastResultValue = ReadFile(Handle, bytes, DWORD(count), &read, nullptr);
    return LastResultValue ? int(read) : 0;
}

int TSerialPort::BytesQueued()
{
    DWORD errors = 0;
    COMSTAT status = {};
    if (!ClearCommError(Handle, &errors, &status)) return 0;
    return int(status.cbOutQue);
}

int TSerialPort::WaitUntilSent(double start, int count)
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
    // reports no queue at all (a pseudo-terminal), anything: those bytes
    // still take their wire time, and no line sends faster than its baud
    // rate. A start bit, the data bits and the stop bits per byte.
    const int bits = 1 + LineSettings.ByteSize + (LineSettings.StopBits == TWOSTOPBITS ? 2 : 1);
    const double sent = start + count * bits * 1000.0 / double(LineSettings.BaudRate);
    for (double rest = sent - NowMs(); rest > 0; rest = sent - NowMs()) Sleep(DWORD(std::ceil(rest)));
    return 0;
}

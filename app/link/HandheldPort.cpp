#include "HandheldPort.h"

#include <cstring>

namespace {
// The handheld answers the probe only after it has looked at its port.
constexpr DWORD ProbeWaitMs = 500;
}

int THandheldPort::Open(const char* name)
{
    return OpenLine(name, {BaudRate, TWOSTOPBITS, DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE, 50});
}

void THandheldPort::Purge()
{
    if (OpenFlag != 1) return;
    PurgeComm(Handle, PURGE_TXCLEAR);
    PurgeComm(Handle, PURGE_RXCLEAR);
}

int THandheldPort::Write(int count, const void* bytes)
{
    return WriteBytes(count, bytes) == count ? count : 0;
}

int THandheldPort::Read(int count, void* bytes)
{
    return ReadBytes(count, bytes) == count ? count : 0;
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

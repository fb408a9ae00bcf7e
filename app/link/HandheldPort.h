// The serial link to the handheld running "Lindrow": 38400 baud, 8 data
// bits, no parity, two stop bits, DTR and RTS on. Of the same shape as the
// controller's port; the handheld dialog owns one and opens COM1..COM4 in
// turn until the handheld answers the probe.
#pragma once

#include "SerialPort.h"

class THandheldPort : public TSerialPort {
public:
    static constexpr DWORD BaudRate = 38400;

    THandheldPort() = default;

    // "com1".."com4"; 38400 on success, 0 on any failure.
    int Open(const char* name);
    // Clears what waits to go out, then what came in.
    void Purge();
    // The count moved, or 0 unless all of it was.
    int Write(int count, const void* bytes);
    int Read(int count, void* bytes);
    // 'M' out, and after 500 ms "LWES" back: the handheld is listening.
    bool Probe();
};

// What the controller's port and the handheld's port share: one serial
// handle with its line settings, time-outs and open flag, opened and closed
// the same way, and a write that counts as done only once its bytes have
// left the port.
#pragma once

#include <windows.h>

class TSerialPort {
public:
    virtual ~TSerialPort();
    TSerialPort(const TSerialPort&) = delete;
    TSerialPort& operator=(const TSerialPort&) = delete;

    void Close();
    bool IsOpen() const { return OpenFlag == 1; }
    BOOL LastResult() const { return LastResultValue; }

protected:
    // How a port sets its line: 8 data bits, no parity, no flow control.
    struct TLineSetup {
        DWORD BaudRate;
        BYTE StopBits;     // ONESTOPBIT or TWOSTOPBITS
        DWORD DtrControl;  // DTR_CONTROL_...
        DWORD RtsControl;  // RTS_CONTROL_...
        DWORD TimeoutMs;   // read interval, read and write constant
    };

    TSerialPort() = default;
    // The baud rate on success, 0 on any failure (no handle is kept then).
    // An open port is not closed first: callers close.
    int OpenLine(const char* name, const TLineSetup& setup);
    // The bytes written that have left the port: a driver that returns from
    // WriteFile as soon as the bytes are queued (Wine's does) is waited for,
    // so that a purge that follows cannot discard them.
    int WriteBytes(int count, const void* bytes);
    // The bytes read before the read time-outs expired.
    int ReadBytes(int count, void* bytes);
    // Bytes the driver still holds for sending; 0 when it cannot tell.
    virtual int BytesQueued();

    HANDLE Handle = INVALID_HANDLE_VALUE;
    BOOL LastResultValue = 0;
    DCB LineSettings = {};
    COMMTIMEOUTS Timeouts = {};
    int OpenFlag = 0;

private:
    // Waits until count bytes written from start (in ms) have left the port;
    // the bytes still queued when the write time-outs ran out, else 0.
    int WaitUntilSent(double start, int count);
};

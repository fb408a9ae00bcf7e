#include "Timer.h"

#include "Reader.h"
#include "WinControl.h"

namespace {
const UINT_PTR TimerId = 1;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner)
{
    FWindow = AllocateHWnd(MakeEvent<&TTimer::WndProc>(this));
}

TTimer::~TTimer()
{
    BeginDestroy();
    if (FRunning) KillTimer(FWindow, TimerId);
    FRunning = false;
    DeallocateHWnd(FWindow);
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned milliseconds)
{
    if (milliseconds == FInterval) return;
    FInterval = milliseconds;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    if (FRunning) KillTimer(FWindow, TimerId);
    FRunning = false;
    if (!FEnabled || FInterval == 0 || !OnTimer || !FWindow || Loading() || Destroying()) return;
    if (!SetTimer(FWindow, TimerId, FInterval, nullptr)) RaiseLastOSError("Cannot start a timer");
    FRunning = true;
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::WndProc(TMessage& m)
{
    if (m.Msg == WM_TIMER) {
        // A tick already queued when the timer stopped is dropped. The
        // handler may free this timer: nothing here touches it afterwards.
        if (!FRunning) return;
        TNotifyEvent handler = OnTimer;
        handler(this);
        return;
    }
    m.Result = DefWindowProcA(FWindow, m.Msg, m.WParam, m.LParam);
}

bool TTimer::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Enabled") SetEnabled(reader.ReadBool());
    else if (name == "Interval") SetInterval(unsigned(reader.ReadInteger()));
    else if (name == "OnTimer") OnTimer = reader.ReadEvent<TNotifyEvent>();
    else return TComponent::ReadProperty(name, reader);
    return true;
}

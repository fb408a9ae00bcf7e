// TTimer: calls OnTimer every Interval milliseconds on the user-interface
// thread, through a hidden window and the platform's timer.
#pragma once

#include "Component.h"

class TTimer : public TComponent {
    GANTREL_CLASS(TTimer)

    // OnTimer is a notify event whose assignment also starts or stops the
    // platform timer: none runs while no handler is set.
    class TTimerEvent {
    public:
        explicit TTimerEvent(TTimer* timer) : FTimer(timer) {}
        TTimerEvent(const TTimerEvent&) = delete;
        TTimerEvent& operator=(const TTimerEvent&) = delete;
        TTimerEvent& operator=(const TNotifyEvent& event)
        {
            FEvent = event;
            FTimer->UpdateTimer();
            return *this;
        }
        explicit operator bool() const { return bool(FEvent); }
        operator TNotifyEvent() const { return FEvent; }
        void operator()(TObject* sender) const { FEvent(sender); }
        bool operator==(const TNotifyEvent& other) const { return FEvent == other; }
        bool operator!=(const TNotifyEvent& other) const { return FEvent != other; }

    private:
        TTimer* FTimer;
        TNotifyEvent FEvent;
    };

    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned milliseconds);
    // Whether the platform timer is set (Enabled, an Interval, a handler, loaded).
    bool Running() const { return FRunning; }

    TTimerEvent OnTimer{this};

    void Loaded() override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    HWND FWindow = nullptr;
    bool FEnabled = true;
    unsigned FInterval = 1000;
    bool FRunning = false;
    // Stops the platform timer and starts it again when it should run.
    void UpdateTimer();
    void WndProc(TMessage& message);
};

// The monitor thread: finds the controller on the open port, configures
// the window for it, then polls its live values as fast as the link allows
// and hands each result to the user-interface thread (which shows them and,
// when logging is on, appends them to "log.dat"). Two failed polls in a row
// report the link lost and start the search again.
//
// The user-interface thread pauses it around every exchange of its own:
// it sets PauseRequest and waits for PauseAcknowledged; the thread holds
// still at its next checkpoint. Every window change runs on the
// user-interface thread through Synchronize.
#pragma once

#include "Thread.h"

#include <atomic>
#include <cstdint>
#include <string>

class TForm1;

class TMonitorThread : public TThread {
    GANTREL_CLASS(TMonitorThread)

    // Created suspended, at a lower priority; the connect timer starts it.
    explicit TMonitorThread(TForm1* form);

    int32_t Values[6] = {0, 0, 0, 0, 0, 0};
    int Failed = 0;
    int Lost = 0;
    bool LostReported = false;
    // A loss was shown and the controller has not been found since: a search
    // that the thread itself restarted (the controller still silent) must
    // still end with "Gantrel Reinitialized" when it answers again.
    bool ReturnPending = false;
    std::atomic<bool> PauseRequest{false};
    std::atomic<bool> PauseAcknowledged{false};
    std::atomic<bool> Running{false};
    std::string LogFileName;
    // How long the thread sleeps between looks at a held pause. Sleep(1)
    // lasts a timer tick on Windows (about 16 ms); tests set that length
    // where Wine's shorter sleep would hide a race.
    std::atomic<DWORD> PauseSleepMs{1};

    // Both run on the user-interface thread.
    void ShowLinkStatus();
    void ShowLiveValues();

protected:
    void Execute() override;

private:
    TForm1* Form;

    void PauseCheckpoint();
    // Waits up to ms, or less when the thread must go on doing something else.
    void Wait(int ms);
    // One poll of the live values; false when the controller did not answer
    // or answered as another unit.
    bool Poll(int version, uint8_t flags);
};

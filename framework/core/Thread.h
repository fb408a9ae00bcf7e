// TThread: a worker thread with a blocking hand-off to the user-interface
// thread. Synchronize(method) queues the method, wakes the user-interface
// thread and waits until it has run there; the message loop, modal loops,
// ProcessMessages and WaitFor (on the user-interface thread) all run the
// queue, so a shutdown that waits for a thread in Synchronize cannot
// deadlock.
#pragma once

#include "Object.h"

#include <atomic>
#include <functional>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
    GANTREL_CLASS(TThread)

    // Created suspended: Resume starts it, so Execute never runs before the
    // derived object is whole.
    TThread();
    // Terminates, resumes and waits for a thread that still runs. A derived
    // class whose Execute uses its own members stops the thread in its own
    // destructor (or is freed with Free, which stops it first).
    ~TThread() override;
    void BeforeDestruction() override;

    // Starts a thread created suspended, or wakes one that suspended itself.
    void Resume();
    // Cooperative: the thread holds still at its next CheckSuspended.
    void Suspend();
    bool Suspended() const { return FSuspended; }
    // Also releases a thread held suspended, so that it can end.
    void Terminate();
    bool Terminated() const { return FTerminated; }
    bool Finished() const { return FFinished; }
    // Waits for Execute to return; returns ReturnValue.
    int WaitFor();
    void SetPriority(TThreadPriority priority);
    TThreadPriority Priority() const { return FPriority; }
    HANDLE Handle() const { return FHandle; }
    DWORD ThreadID() const { return FThreadId; }
    bool FreeOnTerminate = false;
    int ReturnValue = 0;
    TNotifyEvent OnTerminate;  // runs on the user-interface thread after Execute

    // Runs method on the user-interface thread and waits for it; an
    // exception it raises there is raised again in this thread.
    void Synchronize(const std::function<void()>& method);

protected:
    virtual void Execute() = 0;
    // Execute calls this where it may be held by Suspend.
    void CheckSuspended();

private:
    HANDLE FHandle = nullptr;
    DWORD FThreadId = 0;
    HANDLE FResumeEvent;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FSuspended{false};
    std::atomic<bool> FStarted{false};
    TThreadPriority FPriority = tpNormal;
    static unsigned __stdcall ThreadProc(void* self);
};

// The user-interface thread: the one that called InitThreads.
void InitThreads();
bool IsMainThread();
// Runs every waiting Synchronize call; true when any ran. Main thread only.
bool CheckSynchronize();
// How a waiting Synchronize wakes the user-interface thread (the
// application posts itself a message).
void SetWakeMainThread(void (*wake)());

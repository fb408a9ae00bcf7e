#include "Thread.h"

#include <process.h>

#include <deque>
#include <exception>
#include <mutex>

namespace {

DWORD MainThreadId = 0;
void (*WakeMainThread)() = nullptr;

struct SyncRequest {
    const std::function<void()>* Method;
    HANDLE Done;
    std::exception_ptr Error;
};

std::mutex& SyncMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::deque<SyncRequest*>& SyncQueue()
{
    static std::deque<SyncRequest*> queue;
    return queue;
}

}  // namespace

void InitThreads()
{
    MainThreadId = GetCurrentThreadId();
}

bool IsMainThread()
{
    return MainThreadId == 0 || GetCurrentThreadId() == MainThreadId;
}

void SetWakeMainThread(void (*wake)())
{
    WakeMainThread = wake;
}

bool CheckSynchronize()
{
    if (!IsMainThread()) return false;
    bool ran = false;
    for (;;) {
        SyncRequest* request;
        {
            std::lock_guard<std::mutex> lock(SyncMutex());
            if (SyncQueue().empty()) return ran;
            request = SyncQueue().front();
            SyncQueue().pop_front();
        }
        try {
            (*request->Method)();
        } catch (...) {
            request->Error = std::current_exception();
        }
        ran = true;
        SetEvent(request->Done);
    }
}

TThread::TThread() : FResumeEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    if (!FResumeEvent) RaiseLastOSError("Cannot create a thread event");
    FSuspended = true;
    unsigned id = 0;
    FHandle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::ThreadProc, this, 0, &id));
    if (!FHandle) {
        CloseHandle(FResumeEvent);
        throw EThread("Cannot create a thread");
    }
    FThreadId = id;
}

void TThread::BeforeDestruction()
{
    if (FHandle && !FFinished) {
        Terminate();
        WaitFor();
    }
    TObject::BeforeDestruction();
}

void TThread::Terminate()
{
    FTerminated = true;
    SetEvent(FResumeEvent);
}

TThread::~TThread()
{
    if (FHandle) {
        if (!FFinished) {
            Terminate();
            Resume();
            WaitFor();
        }
        CloseHandle(FHandle);
    }
    CloseHandle(FResumeEvent);
}

unsigned __stdcall TThread::ThreadProc(void* self)
{
    auto* thread = static_cast<TThread*>(self);
    // Created suspended: nothing runs before the first Resume.
    WaitForSingleObject(thread->FResumeEvent, INFINITE);
    thread->FStarted = true;
    if (!thread->FTerminated) {
        try {
            thread->Execute();
        } catch (...) {
            // A thread's exception has nowhere to go; it ends the thread.
        }
    }
    if (thread->OnTerminate) {
        try {
            thread->Synchronize([thread] { thread->OnTerminate(thread); });
        } catch (...) {
        }
    }
    int result = thread->ReturnValue;
    bool freeOnTerminate = thread->FreeOnTerminate;
    thread->FFinished = true;
    if (freeOnTerminate) delete thread;
    return unsigned(result);
}

void TThread::Resume()
{
    FSuspended = false;
    SetEvent(FResumeEvent);
}

void TThread::Suspend()
{
    FSuspended = true;
    ResetEvent(FResumeEvent);
}

void TThread::CheckSuspended()
{
    while (FSuspended && !FTerminated) WaitForSingleObject(FResumeEvent, INFINITE);
}

int TThread::WaitFor()
{
    if (GetCurrentThreadId() == FThreadId) throw EThread("A thread cannot wait for itself");
    if (!IsMainThread()) {
        WaitForSingleObject(FHandle, INFINITE);
        return ReturnValue;
    }
    // The thread may be waiting in Synchronize: keep running its calls.
    for (;;) {
        CheckSynchronize();
        DWORD r = MsgWaitForMultipleObjects(1, &FHandle, FALSE, 50, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) break;
        if (r == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // lets sent messages through
        }
    }
    CheckSynchronize();
    return ReturnValue;
}

void TThread::SetPriority(TThreadPriority priority)
{
    static const int levels[] = {THREAD_PRIORITY_IDLE, THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL,
                                 THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                 THREAD_PRIORITY_TIME_CRITICAL};
    FPriority = priority;
    SetThreadPriority(FHandle, levels[priority]);
}

void TThread::Synchronize(const std::function<void()>& method)
{
    if (IsMainThread()) {
        method();
        return;
    }
    SyncRequest request{&method, CreateEventA(nullptr, TRUE, FALSE, nullptr), nullptr};
    if (!request.Done) RaiseLastOSError("Cannot create a synchronize event");
    {
        std::lock_guard<std::mutex> lock(SyncMutex());
        SyncQueue().push_back(&request);
    }
    if (WakeMainThread) WakeMainThread();
    WaitForSingleObject(request.Done, INFINITE);
    CloseHandle(request.Done);
    if (request.Error) std::rethrow_exception(request.Error);
}

// Worker threads and their hand-off to the user-interface thread: where
// Synchronize calls run (message loop, ProcessMessages, a modal loop,
// WaitFor), what happens to their exceptions, and that every way of ending
// a thread ends it, suspended or never started.
#include "Application.h"
#include "Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>

namespace {

// A thread whose Execute is the test's.
class TTestThread : public TThread {
public:
    explicit TTestThread(std::function<void(TTestThread&)> body) : Body(std::move(body)) {}
    ~TTestThread() override
    {
        // Execute uses Body: the thread ends before this object does.
        if (!Finished()) {
            Terminate();
            WaitFor();
        }
    }
    using TThread::CheckSuspended;
    std::function<void(TTestThread&)> Body;
    std::atomic<bool> Ran{false};

protected:
    void Execute() override
    {
        Ran = true;
        Body(*this);
    }
};

bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Application->ProcessMessages();
        Sleep(1);
    }
    return true;
}

TEST(ThreadTest, SynchronizeRunsOnTheUserInterfaceThread)
{
    DWORD ranOn = 0;
    std::atomic<bool> after{false};
    TTestThread thread([&](TTestThread& t) {
        t.Synchronize([&] { ranOn = GetCurrentThreadId(); });
        after = true;
    });
    thread.Resume();
    ASSERT_TRUE(PumpUntil([&] { return after.load(); }));
    EXPECT_EQ(GetCurrentThreadId(), ranOn);
    thread.WaitFor();
}

TEST(ThreadTest, WaitForKeepsRunningTheCallsOfTheThreadItWaitsFor)
{
    int calls = 0;
    TTestThread thread([&](TTestThread& t) {
        for (int i = 0; i < 3; ++i) t.Synchronize([&] { ++calls; });
        t.ReturnValue = 7;
    });
    thread.Resume();
    // No message loop: WaitFor alone must not deadlock with the waiting thread.
    EXPECT_EQ(7, thread.WaitFor());
    EXPECT_EQ(3, calls);
}

TEST(ThreadTest, AModalLoopRunsSynchronizeCalls)
{
    TForm* form = new TForm(nullptr, 0);
    TTestThread thread([&](TTestThread& t) {
        Sleep(100);
        t.Synchronize([&] { form->ModalResult = mrOk; });
    });
    thread.Resume();
    EXPECT_EQ(mrOk, form->ShowModal());
    thread.WaitFor();
    form->Free();
}

TEST(ThreadTest, AnExceptionInASynchronizedCallIsRaisedInTheThread)
{
    std::string caught;
    TTestThread thread([&](TTestThread& t) {
        try {
            t.Synchronize([] { throw std::runtime_error("in the window"); });
        } catch (const std::exception& e) {
            caught = e.what();
        }
    });
    thread.Resume();
    thread.WaitFor();
    EXPECT_EQ("in the window", caught);
}

TEST(ThreadTest, ATerminatedThreadThatNeverStartedNeverRunsExecute)
{
    TTestThread thread([](TTestThread&) {});
    thread.Terminate();
    thread.WaitFor();
    EXPECT_FALSE(thread.Ran);
    EXPECT_TRUE(thread.Finished());
}

TEST(ThreadTest, TerminateReleasesAThreadHeldBySuspend)
{
    std::atomic<int> turns{0};
    TTestThread thread([&](TTestThread& t) {
        while (!t.Terminated()) {
            t.CheckSuspended();
            ++turns;
            Sleep(1);
        }
    });
    thread.Resume();
    ASSERT_TRUE(PumpUntil([&] { return turns > 0; }));
    thread.Suspend();
    Sleep(50);
    int held = turns;
    Sleep(50);
    EXPECT_LE(turns - held, 1);
    thread.Terminate();
    thread.WaitFor();
    EXPECT_TRUE(thread.Finished());
}

TEST(ThreadTest, FreeEndsARunningThreadBeforeItsObjectGoes)
{
    std::atomic<bool> ended{false};
    auto* thread = new TTestThread([&](TTestThread& t) {
        while (!t.Terminated()) Sleep(1);
        // Body and the object are still whole here.
        t.Synchronize([&] { ended = true; });
    });
    thread->Resume();
    Sleep(20);
    thread->Free();
    EXPECT_TRUE(ended);
}

}  // namespace

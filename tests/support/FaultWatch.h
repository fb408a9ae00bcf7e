// Memory faults that the platform hides: an access violation inside a
// window procedure is swallowed where the platform calls back into the
// program (a 64-bit process goes on as if nothing happened), and a window
// that outlived its control has its messages turned away quietly. Both are
// counted here, and a test during which either happened fails.
#pragma once

#include "WinControl.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>

namespace FaultWatch {

inline std::atomic<unsigned>& AccessViolationCount()
{
    static std::atomic<unsigned> count{0};
    return count;
}

inline std::atomic<ULONG_PTR>& LastFaultAddress()
{
    static std::atomic<ULONG_PTR> address{0};
    return address;
}

// Sees every access violation first, before anyone handles or ignores it.
inline LONG CALLBACK CountAccessViolation(EXCEPTION_POINTERS* e)
{
    if (e->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) {
        ++AccessViolationCount();
        LastFaultAddress() = reinterpret_cast<ULONG_PTR>(e->ExceptionRecord->ExceptionAddress);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

inline void Install()
{
    static PVOID handler = AddVectoredExceptionHandler(1, CountAccessViolation);
    (void)handler;
}

// Access violations so far (Install first).
inline unsigned AccessViolations()
{
    return AccessViolationCount();
}

inline std::atomic<unsigned>& AllowedStrayMessages()
{
    static std::atomic<unsigned> count{0};
    return count;
}

// For a test that makes stray messages on purpose: they do not fail it.
inline void Allow(unsigned strayMessages)
{
    AllowedStrayMessages() += strayMessages;
}

// Fails the test that just ran if it raised an access violation or sent a
// message to a window whose control was gone. End events run before the
// result printer's, so the failure shows on the test's own line.
class TListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override
    {
        FViolations = AccessViolations();
        FStray = TWinControl::StrayMessages();
        AllowedStrayMessages() = 0;
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        unsigned violations = AccessViolations() - FViolations;
        unsigned stray = TWinControl::StrayMessages() - FStray;
        unsigned allowed = AllowedStrayMessages().exchange(0);
        stray = stray > allowed ? stray - allowed : 0;
        if (violations)
            ADD_FAILURE() << violations << " access violation(s) during this test, the last at address 0x" << std::hex
                          << LastFaultAddress() << " (the platform may have ignored them)";
        if (stray) ADD_FAILURE() << stray << " window message(s) reached a window whose control was already gone";
    }

private:
    unsigned FViolations = 0;
    unsigned FStray = 0;
};

// Call after InitGoogleTest.
inline void Watch()
{
    Install();
    ::testing::UnitTest::GetInstance()->listeners().Append(new TListener);
}

// Runs what comes after the tests (the framework's shutdown); 1 if it
// faulted in either way, else 0.
inline int After(const char* what, void (*call)())
{
    unsigned violations = AccessViolations();
    unsigned stray = TWinControl::StrayMessages();
    call();
    violations = AccessViolations() - violations;
    stray = TWinControl::StrayMessages() - stray;
    if (!violations && !stray) return 0;
    std::fprintf(stderr, "%u access violation(s) and %u message(s) to windows whose control was gone while %s\n",
                 violations, stray, what);
    return 1;
}

}  // namespace FaultWatch

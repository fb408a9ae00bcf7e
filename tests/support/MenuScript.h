// Driving the skin's modal menus in tests: the popup windows open now, and
// steps played from a thread timer while a menu's loop runs (the loop
// dispatches the timer, so the steps see the menu open and can type into
// it with the real keyboard and mouse).
#pragma once

#include "MenuForms.h"
#include "RealInput.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace MenuScript {

inline BOOL CALLBACK AddOpenPopup(HWND window, LPARAM data)
{
    if (IsWindowVisible(window) && dynamic_cast<TKsPopupWindow*>(TWinControl::FindControl(window)))
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

// The visible popup windows of the thread, the innermost first.
inline std::vector<HWND> OpenPopups()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &AddOpenPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A step that returns false is tried again on the next tick. Once the steps
// are through, or after the time limit, Alt closes whatever is still open.
class TMenuScript {
public:
    TMenuScript(std::vector<std::function<bool()>> steps, DWORD limitMs = 5000)
        : FSteps(std::move(steps)), FEnd(GetTickCount() + limitMs)
    {
        Current = this;
        FTimer = SetTimer(nullptr, 0, 70, &Tick);
    }
    ~TMenuScript()
    {
        KillTimer(nullptr, FTimer);
        Current = nullptr;
    }
    TMenuScript(const TMenuScript&) = delete;
    TMenuScript& operator=(const TMenuScript&) = delete;
    bool Done() const { return FNext >= FSteps.size(); }

    // Steps that each run once.
    static std::vector<std::function<bool()>> Once(std::vector<std::function<void()>> steps)
    {
        std::vector<std::function<bool()>> once;
        for (auto& step : steps)
            once.push_back([step] {
                step();
                return true;
            });
        return once;
    }

private:
    static inline TMenuScript* Current = nullptr;
    std::vector<std::function<bool()>> FSteps;
    size_t FNext = 0;
    DWORD FEnd;
    UINT_PTR FTimer = 0;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TMenuScript* script = Current;
        if (!script) return;
        const bool late = int(GetTickCount() - script->FEnd) > 0;
        if (!script->Done() && !late) {
            if (script->FSteps[script->FNext]()) ++script->FNext;
        } else if (!OpenPopups().empty()) {
            RealInput::TypeKey(VK_MENU);
        }
    }
};

}  // namespace MenuScript

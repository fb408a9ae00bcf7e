// The system menu opened from the tray icon while the form is hidden in the
// tray state, for both families, driven with the real keyboard and mouse:
// it comes to the foreground, Escape closes it, a click elsewhere (on
// another of the program's windows, or on the bare desktop) closes it, and
// a chosen entry runs. A watchdog ends a menu that would not close, so the
// test fails instead of hanging.
#include "Application.h"
#include "Exceptions.h"
#include "Form.h"
#include "Frames.h"
#include "MenuForms.h"
#include "MenuItems.h"
#include "RealInput.h"
#include "SkinClasses.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace {

template <class F, bool VisibleOnly = true>
BOOL CALLBACK AddPopup(HWND window, LPARAM data)
{
    if ((!VisibleOnly || IsWindowVisible(window)) && dynamic_cast<TSkinPopupWindow<F>*>(TWinControl::FindControl(window)))
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

// The family's popup windows open now.
template <class F>
std::vector<HWND> OpenPopups()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &AddPopup<F>, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The family's popup windows, shown or not (the watchdog's targets).
template <class F>
std::vector<HWND> AllPopups()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &AddPopup<F, false>, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Steps played from a thread timer while the menu loop runs (the loop
// dispatches it); a step that returns false is tried again on the next
// tick. After 5 s the watchdog posts Escape to every open level, which the
// loop takes whoever has the keyboard, and records that it had to.
struct TTrayScript {
    std::vector<std::function<bool()>> Steps;
    size_t Next = 0;
    DWORD End = 0;
    bool WatchdogFired = false;
    std::vector<HWND> (*Open)() = nullptr;
    UINT_PTR Timer = 0;
    static inline TTrayScript* Current = nullptr;

    TTrayScript(std::vector<std::function<bool()>> steps, std::vector<HWND> (*open)())
        : Steps(std::move(steps)), End(GetTickCount() + 5000), Open(open)
    {
        Current = this;
        Timer = SetTimer(nullptr, 0, 60, &Tick);
    }
    ~TTrayScript()
    {
        KillTimer(nullptr, Timer);
        Current = nullptr;
    }
    bool Done() const { return Next >= Steps.size(); }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TTrayScript* s = Current;
        if (!s) return;
        if (int(GetTickCount() - s->End) > 0) {
            for (HWND popup : s->Open()) {
                s->WatchdogFired = true;
                PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
            }
            return;
        }
        if (!s->Done() && s->Steps[s->Next]()) ++s->Next;
    }
};

template <class FrameT>
class SkinFrameTrayMenu : public ::testing::Test {
protected:
    using F = std::conditional_t<std::is_base_of_v<TSkinForm<TKsFamily>, FrameT>, TKsFamily, TMpFamily>;
    TForm* Form = nullptr;
    TForm* Other = nullptr;
    FrameT* Frame = nullptr;
    // Where the pointer is when the icon is right-clicked: the menu opens there.
    const POINT IconPoint{200, 150};

    void SetUp() override
    {
        RegisterSkinClasses();  // the families' popup windows
        Form = NewForm<TForm>(nullptr);
        Form->SetBounds(120, 110, 300, 200);
        Form->SetCaption("Tray menu test");
        Frame = new FrameT(Form);
        Frame->SetMagnetic(false);
        Frame->SetActive(true);
        Frame->SetMinimizeApplication(false);
        Form->Show();
        RealInput::PumpFor(50);
        Frame->MinToTray();
        RealInput::PumpFor(50);
        ASSERT_EQ(kwsTray, Frame->WindowState());
        ASSERT_FALSE(IsWindowVisible(Form->Handle()));
    }
    void TearDown() override
    {
        if (Other) Other->Free();
        Form->Free();
        RealInput::PointerAway();
        RealInput::PumpFor(50);
    }

    // Right-clicks the icon as the shell reports it (posted to the tray
    // window) and plays steps while the menu is open; returns whether the
    // menu closed without the watchdog.
    bool RightClickIconWith(std::vector<std::function<bool()>> steps)
    {
        // A failure inside the loop would otherwise show a modal message
        // box, and that box would hold the menu open.
        Failures().clear();
        const TCallbackExceptionHandler previous =
            SetCallbackExceptionHandler([](const std::exception& e) { Failures().push_back(e.what()); });
        SetCursorPos(IconPoint.x, IconPoint.y);
        RealInput::MovePointer(IconPoint);
        RealInput::PumpFor(30);
        TTrayScript script(std::move(steps), &AllPopups<F>);
        PostMessageA(Frame->TrayWindow(), KM_TRAYNOTIFY, Frame->TrayIconData().uID, WM_RBUTTONDOWN);
        PostMessageA(Frame->TrayWindow(), KM_TRAYNOTIFY, Frame->TrayIconData().uID, WM_RBUTTONUP);
        // The menu's loop runs inside the dispatch of the notification.
        RealInput::PumpUntil([&] { return script.Done() && OpenPopups<F>().empty(); }, 8000);
        SetCallbackExceptionHandler(previous);
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(OpenPopups<F>().empty());
        EXPECT_EQ(std::vector<std::string>{}, Failures());
        return !script.WatchdogFired;
    }

    static std::vector<std::string>& Failures()
    {
        static std::vector<std::string> failures;
        return failures;
    }

    // A step: the menu is open at the icon's point; notes whether it is in
    // the foreground.
    bool Opened(bool* foreground)
    {
        const auto open = OpenPopups<F>();
        if (open.size() != 1) return false;
        RECT r;
        GetWindowRect(open[0], &r);
        EXPECT_EQ(IconPoint.x, r.left);
        EXPECT_EQ(IconPoint.y, r.top);
        *foreground = GetForegroundWindow() == open[0];
        return true;
    }

    // The screen centre of the system menu's entry at index.
    POINT EntryOnScreen(int index)
    {
        const auto open = OpenPopups<F>();
        if (open.empty()) return POINT{-1, -1};
        auto* window = dynamic_cast<TSkinPopupWindow<F>*>(TWinControl::FindControl(open[0]));
        const RECT r = window->View()->GetItemRect(Frame->SysMenuRoot()->GetItem(index));
        return window->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }

    static void ClickAt(POINT p)
    {
        RealInput::MovePointer(p);
        RealInput::SendMouse(MOUSEEVENTF_LEFTDOWN, p);
        RealInput::SendMouse(MOUSEEVENTF_LEFTUP, p);
    }
};

using TFrames = ::testing::Types<TKsCustomForm, TMpCustomForm>;
TYPED_TEST_SUITE(SkinFrameTrayMenu, TFrames);

TYPED_TEST(SkinFrameTrayMenu, ComesToTheForegroundAndEscapeClosesIt)
{
    bool foreground = false;
    EXPECT_TRUE(this->RightClickIconWith({
        [&] { return this->Opened(&foreground); },
        [&] {
            RealInput::TypeKey(VK_ESCAPE);
            return true;
        },
    }));
    EXPECT_TRUE(foreground);
    EXPECT_EQ(kwsTray, this->Frame->WindowState());
    EXPECT_FALSE(IsWindowVisible(this->Form->Handle()));
}

TYPED_TEST(SkinFrameTrayMenu, AClickOnTheBareDesktopClosesIt)
{
    bool foreground = false;
    // Far from the menu and from every window of the test.
    const POINT desktop{GetSystemMetrics(SM_CXSCREEN) - 40, GetSystemMetrics(SM_CYSCREEN) - 40};
    ASSERT_EQ(GetDesktopWindow(), WindowFromPoint(desktop));
    EXPECT_TRUE(this->RightClickIconWith({
        [&] { return this->Opened(&foreground); },
        [&] {
            this->ClickAt(desktop);
            return true;
        },
    }));
    EXPECT_TRUE(foreground);
    EXPECT_EQ(kwsTray, this->Frame->WindowState());
}

TYPED_TEST(SkinFrameTrayMenu, AClickOnAnotherWindowOfTheProgramClosesIt)
{
    this->Other = NewForm<TForm>(nullptr);
    this->Other->SetBounds(520, 300, 200, 150);
    this->Other->Show();
    RealInput::PumpFor(50);
    const POINT inOther = this->Other->ClientToScreen(POINT{60, 50});
    bool foreground = false;
    EXPECT_TRUE(this->RightClickIconWith({
        [&] { return this->Opened(&foreground); },
        [&] {
            this->ClickAt(inOther);
            return true;
        },
    }));
    // With another window of the program active the keys reach the menu's
    // loop anyway; the media family's tray menu takes the foreground all
    // the same.
    if (std::is_same_v<TypeParam, TMpCustomForm>) {
        EXPECT_TRUE(foreground);
    }
    EXPECT_EQ(kwsTray, this->Frame->WindowState());
}

TYPED_TEST(SkinFrameTrayMenu, EnterOnRestoreBringsTheWindowBack)
{
    bool foreground = false;
    EXPECT_TRUE(this->RightClickIconWith({
        [&] { return this->Opened(&foreground); },
        [&] {
            RealInput::TypeKey(VK_RETURN);  // the first entry is selected: Restore
            return true;
        },
    }));
    RealInput::PumpUntil([&] { return this->Frame->WindowState() == kwsNormal; }, 1000);
    EXPECT_EQ(kwsNormal, this->Frame->WindowState());
    EXPECT_TRUE(IsWindowVisible(this->Form->Handle()));
    EXPECT_EQ(120, this->Form->Left());
    EXPECT_EQ(300, this->Form->Width());
}

TYPED_TEST(SkinFrameTrayMenu, AClickOnRestoreBringsTheWindowBack)
{
    bool foreground = false;
    EXPECT_TRUE(this->RightClickIconWith({
        [&] { return this->Opened(&foreground); },
        [&] {
            EXPECT_EQ(3, this->Frame->SysMenuRoot()->Count());
            this->ClickAt(this->EntryOnScreen(0));
            return true;
        },
    }));
    RealInput::PumpUntil([&] { return this->Frame->WindowState() == kwsNormal; }, 1000);
    EXPECT_EQ(kwsNormal, this->Frame->WindowState());
    EXPECT_TRUE(IsWindowVisible(this->Form->Handle()));
}

}  // namespace

// What a form frame of its own needs from the framework: screen points that
// count the window's frame, a form shown without activation, the form's
// close handling and close actions reached from outside, the application's
// icon and the desktop.
#include "Application.h"
#include "Button.h"
#include "CloseCounter.h"
#include "Form.h"
#include "RealInput.h"

#include <gtest/gtest.h>

namespace {

// The application's icon as it was, given back when the test ends.
class TApplicationIconKept {
public:
    TApplicationIconKept()
    {
        if (HICON icon = Application->Icon()->Handle()) FSaved.SetHandle(CopyIcon(icon));
    }
    ~TApplicationIconKept() { Application->SetIcon(FSaved.Empty() ? nullptr : &FSaved); }
    TApplicationIconKept(const TApplicationIconKept&) = delete;
    TApplicationIconKept& operator=(const TApplicationIconKept&) = delete;

private:
    TIcon FSaved;
};

// A form shown and made active: the window that a form shown without
// activation must leave active.
TForm* NewActiveForm()
{
    auto* form = NewForm<TForm>(nullptr);
    form->SetBounds(40, 40, 200, 150);
    form->Show();
    RealInput::PumpFor(50);
    SetActiveWindow(form->Handle());
    return form;
}

}  // namespace

TEST(FormFrameSupport, ClientOriginCountsTheFormsFrame)
{
    auto* form = NewForm<TForm>(nullptr);
    form->SetBorderStyle(bsSizeable);
    form->SetBounds(60, 70, 300, 200);
    form->Show();
    RealInput::PumpFor(50);
    POINT expected{0, 0};
    ::ClientToScreen(form->Handle(), &expected);
    RECT window;
    GetWindowRect(form->Handle(), &window);
    // A sizeable window's client area starts inside its frame and caption.
    ASSERT_GT(expected.y, window.top);
    POINT origin = form->ClientOrigin();
    EXPECT_EQ(expected.x, origin.x);
    EXPECT_EQ(expected.y, origin.y);
    POINT p = form->ClientToScreen(POINT{5, 7});
    EXPECT_EQ(expected.x + 5, p.x);
    EXPECT_EQ(expected.y + 7, p.y);
    POINT back = form->ScreenToClient(POINT{expected.x + 11, expected.y + 13});
    EXPECT_EQ(11, back.x);
    EXPECT_EQ(13, back.y);

    // A child control's points follow its form's client area.
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(20, 30, 80, 24);
    POINT childOrigin = button->ClientOrigin();
    POINT childExpected{0, 0};
    ::ClientToScreen(button->Handle(), &childExpected);
    EXPECT_EQ(childExpected.x, childOrigin.x);
    EXPECT_EQ(childExpected.y, childOrigin.y);
    EXPECT_EQ(expected.x + 20, childOrigin.x);
    EXPECT_EQ(expected.y + 30, childOrigin.y);
    form->Free();
}

TEST(FormFrameSupport, ShowNoActivateLeavesTheActiveWindow)
{
    auto* first = NewActiveForm();
    ASSERT_EQ(first->Handle(), GetActiveWindow());

    auto* second = NewForm<TForm>(nullptr);
    second->SetBounds(300, 40, 200, 150);
    second->ShowNoActivate();
    RealInput::PumpFor(50);
    EXPECT_TRUE(second->Visible());
    EXPECT_TRUE(IsWindowVisible(second->Handle()));
    EXPECT_EQ(first->Handle(), GetActiveWindow());
    // Shown again the usual way, it activates.
    second->Hide();
    second->Show();
    RealInput::PumpFor(50);
    EXPECT_EQ(second->Handle(), GetActiveWindow());
    second->Free();
    first->Free();
}

TEST(FormFrameSupport, ShowNoActivateKeepsTheWindowState)
{
    auto* first = NewActiveForm();
    ASSERT_EQ(first->Handle(), GetActiveWindow());

    // A form to come up minimized does so, and still leaves the active window.
    auto* second = NewForm<TForm>(nullptr);
    second->SetBounds(300, 40, 200, 150);
    second->SetWindowState(wsMinimized);
    second->ShowNoActivate();
    RealInput::PumpFor(50);
    EXPECT_TRUE(IsWindowVisible(second->Handle()));
    EXPECT_TRUE(IsIconic(second->Handle()));
    EXPECT_EQ(wsMinimized, second->WindowState());
    EXPECT_EQ(first->Handle(), GetActiveWindow());
    second->Free();

    // Maximized stays maximized.
    auto* third = NewForm<TForm>(nullptr);
    third->SetBorderStyle(bsSizeable);
    third->SetBounds(300, 40, 200, 150);
    third->SetWindowState(wsMaximized);
    third->ShowNoActivate();
    RealInput::PumpFor(50);
    EXPECT_TRUE(IsZoomed(third->Handle()));
    EXPECT_EQ(wsMaximized, third->WindowState());
    third->Free();
    first->Free();
}

TEST(FormFrameSupport, CloseHandlingAndActionsSeparately)
{
    auto* form = NewForm<TForm>(nullptr);
    TCloseCounter counter;
    form->OnClose = MakeEvent<&TCloseCounter::FormClose>(&counter);
    form->SetBounds(40, 40, 200, 150);
    form->Show();
    RealInput::PumpFor(20);

    // Not the main form: Close offers caHide.
    EXPECT_EQ(caHide, form->DefaultCloseAction());
    TCloseAction action = form->DefaultCloseAction();
    counter.Answer = caNone;
    form->DoCloseHandling(action);
    EXPECT_EQ(1, counter.Calls);
    EXPECT_EQ(caNone, action);
    form->ApplyCloseAction(action);
    EXPECT_TRUE(form->Visible());
    // The action alone does not ask the handler again.
    form->ApplyCloseAction(caHide);
    EXPECT_EQ(1, counter.Calls);
    EXPECT_FALSE(form->Visible());

    // Close still asks once and acts on the answer.
    form->Show();
    counter.Answer = caHide;
    form->Close();
    EXPECT_EQ(2, counter.Calls);
    EXPECT_FALSE(form->Visible());
    form->Free();
}

TEST(FormFrameSupport, TheDesktopIsTheVirtualScreen)
{
    // Every monitor together, which may start left of or above the primary.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    const RECT desktop = Screen->DesktopRect();
    EXPECT_EQ(left, desktop.left);
    EXPECT_EQ(top, desktop.top);
    EXPECT_EQ(width, desktop.right - desktop.left);
    EXPECT_EQ(height, desktop.bottom - desktop.top);
    // The primary monitor lies on it.
    EXPECT_LE(desktop.left, 0);
    EXPECT_LE(desktop.top, 0);
    EXPECT_GE(desktop.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(desktop.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST(FormFrameSupport, ApplicationIconCanBeSet)
{
    ASSERT_NE(nullptr, Application->Icon());
    const TApplicationIconKept kept;
    TIcon icon;
    icon.SetHandle(CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION))));
    ASSERT_FALSE(icon.Empty());
    Application->SetIcon(&icon);
    ASSERT_FALSE(Application->Icon()->Empty());
    // A copy of its own: the caller's icon may go.
    EXPECT_NE(icon.Handle(), Application->Icon()->Handle());
    Application->SetIcon(nullptr);
    EXPECT_TRUE(Application->Icon()->Empty());
}

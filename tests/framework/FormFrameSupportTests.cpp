// What a form frame of its own needs from the framework: screen points that
// count the window's frame, a form shown without activation, the form's
// close handling and close actions reached from outside, the application's
// icon and the screen's work area.
#include "Application.h"
#include "Button.h"
#include "Form.h"

#include <gtest/gtest.h>

namespace {

void PumpMessages(int ms)
{
    DWORD start = GetTickCount();
    do {
        Application->ProcessMessages();
        Sleep(1);
    } while (GetTickCount() - start < DWORD(ms));
}

struct TCloseCounter {
    int Calls = 0;
    TCloseAction Answer = caHide;
    void FormClose(TObject*, TCloseAction& action)
    {
        ++Calls;
        action = Answer;
    }
};

}  // namespace

TEST(FormFrameSupport, ClientOriginCountsTheFormsFrame)
{
    auto* form = NewForm<TForm>(nullptr);
    form->SetBorderStyle(bsSizeable);
    form->SetBounds(60, 70, 300, 200);
    form->Show();
    PumpMessages(50);
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
    auto* first = NewForm<TForm>(nullptr);
    first->SetBounds(40, 40, 200, 150);
    first->Show();
    PumpMessages(50);
    SetActiveWindow(first->Handle());
    ASSERT_EQ(first->Handle(), GetActiveWindow());

    auto* second = NewForm<TForm>(nullptr);
    second->SetBounds(300, 40, 200, 150);
    second->ShowNoActivate();
    PumpMessages(50);
    EXPECT_TRUE(second->Visible());
    EXPECT_TRUE(IsWindowVisible(second->Handle()));
    EXPECT_EQ(first->Handle(), GetActiveWindow());
    // Shown again the usual way, it activates.
    second->Hide();
    second->Show();
    PumpMessages(50);
    EXPECT_EQ(second->Handle(), GetActiveWindow());
    second->Free();
    first->Free();
}

TEST(FormFrameSupport, ShowNoActivateKeepsTheWindowState)
{
    auto* first = NewForm<TForm>(nullptr);
    first->SetBounds(40, 40, 200, 150);
    first->Show();
    PumpMessages(50);
    SetActiveWindow(first->Handle());
    ASSERT_EQ(first->Handle(), GetActiveWindow());

    // A form to come up minimized does so, and still leaves the active window.
    auto* second = NewForm<TForm>(nullptr);
    second->SetBounds(300, 40, 200, 150);
    second->SetWindowState(wsMinimized);
    second->ShowNoActivate();
    PumpMessages(50);
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
    PumpMessages(50);
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
    PumpMessages(20);

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

TEST(FormFrameSupport, WorkAreaAndDesktop)
{
    RECT expected;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &expected, 0));
    RECT work = Screen->WorkAreaRect();
    EXPECT_EQ(expected.left, work.left);
    EXPECT_EQ(expected.top, work.top);
    EXPECT_EQ(expected.right, work.right);
    EXPECT_EQ(expected.bottom, work.bottom);
    RECT desktop = Screen->DesktopRect();
    RECT both;
    // The work area lies on the desktop.
    ASSERT_TRUE(IntersectRect(&both, &work, &desktop));
    EXPECT_TRUE(EqualRect(&both, &work));
}

TEST(FormFrameSupport, ApplicationIconCanBeSet)
{
    ASSERT_NE(nullptr, Application->Icon());
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

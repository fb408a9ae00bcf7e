// The main window's skinned popup menus with the real mouse and keyboard:
// a right click on the grid opens the styled menu in a top-most window that
// leaves the main window active, Up and Enter choose "Select All", which
// runs once the menu has gone, and the live values keep coming while the
// monitor panel's menu is open. While a menu's loop runs, a thread timer
// (dispatched by that loop) plays the test's steps.
#include "EpMenus.h"
#include "MainWindowFixture.h"
#include "MenuScript.h"
#include "RealInput.h"
#include "ScreenPixel.h"

#include <functional>
#include <vector>

namespace {

using MenuScript::OpenPopups;
using MenuScript::TMenuScript;

class PopupMenuTest : public MainWindowTest {
protected:
    void RightClick(TWinControl* control, int x, int y)
    {
        SetForegroundWindow(Form()->Handle());
        const POINT p = RealInput::OnScreen(control, x, y);
        RealInput::MovePointer(p);
        RealInput::SendMouse(MOUSEEVENTF_RIGHTDOWN, p);
        RealInput::SendMouse(MOUSEEVENTF_RIGHTUP, p);
    }
};

}  // namespace

TEST_F(PopupMenuTest, ARightClickOnTheGridOpensTheStyledMenuAndUpAndEnterSelectAll)
{
    std::string path = TempFile("popup.map");
    WriteFileBytes(path, MakeMapBytes(201, 1001, 4, 13, 9, "notes"));
    ASSERT_TRUE(Load(path));
    Form()->StringGrid1->SetCol(2);
    Form()->StringGrid1->SetRow(2);
    HWND popup = nullptr, foreground = nullptr;
    bool topMost = false;
    COLORREF border = 0;
    TMenuScript script(
        {
            [&] {
                const auto open = OpenPopups();
                if (open.size() != 1) return false;
                popup = open[0];
                topMost = (GetWindowLongPtrA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                foreground = GetForegroundWindow();
                RECT r;
                GetWindowRect(popup, &r);
                // The form resource's popup border: grey, two pixels wide.
                border = ScreenPixel(POINT{r.left + 1, r.top + 12});
                return true;
            },
            [&] {
                RealInput::TypeKey(VK_UP);
                return true;
            },
            [&] {
                RealInput::TypeKey(VK_RETURN);
                return true;
            },
        },
        5000);
    RightClick(Form()->StringGrid1, 60, 60);
    ASSERT_TRUE(WaitUntil([&] { return script.Done() && OpenPopups().empty(); }, 6000));
    EXPECT_NE(nullptr, popup);
    EXPECT_TRUE(topMost);
    EXPECT_EQ(Form()->Handle(), foreground);
    EXPECT_EQ(RGB(128, 128, 128), border);
    ASSERT_TRUE(WaitUntil(
        [&] {
            const TGridRect s = Form()->StringGrid1->Selection();
            return s.Left == 1 && s.Top == 1 && s.Right == 9 && s.Bottom == 13;
        },
        2000));
    EXPECT_EQ(Form()->Handle(), GetForegroundWindow());
}

TEST_F(PopupMenuTest, LiveValuesKeepComingWhileTheMonitorMenuIsOpen)
{
    // Version 0: live value 2 is byte 8 of the 'R' reply less 128.
    Com1.Ok("version 0");
    Com1.Ok("flags 0");
    Com1.Ok("live r8 200");
    ASSERT_TRUE(ConnectCom1(10000));
    ASSERT_TRUE(WaitUntil([&] { return LiveValue(2) == "72"; }, 4000)) << LiveValue(2);
    bool changedWhileOpen = false;
    DWORD giveUp = 0;
    TMenuScript script(
        {
            [&] {
                if (OpenPopups().size() != 1) return false;
                Com1.Ok("live r8 210");
                giveUp = GetTickCount() + 4000;
                return true;
            },
            [&] {
                if (LiveValue(2) == "82" && OpenPopups().size() == 1) changedWhileOpen = true;
                if (!changedWhileOpen && int(GetTickCount() - giveUp) < 0) return false;
                RealInput::TypeKey(VK_ESCAPE);
                return true;
            },
        },
        8000);
    // A point of the panel itself, off its labels.
    POINT free{-1, -1};
    TPanel* panel = Form()->MonitorPanel;
    for (int y = panel->Height() - 3; y > 0 && free.x < 0; --y)
        for (int x = 2; x < panel->Width() - 2; ++x)
            if (!panel->ControlAtPos(POINT{x, y}, true, true)) {
                free = POINT{x, y};
                break;
            }
    ASSERT_GE(free.x, 0);
    RightClick(panel, free.x, free.y);
    ASSERT_TRUE(WaitUntil([&] { return script.Done() && OpenPopups().empty(); }, 9000));
    EXPECT_TRUE(changedWhileOpen) << LiveValue(2);
}

TEST_F(PopupMenuTest, TheInterfaceFontReachesEveryItemOfTheMenus)
{
    // As the Japanese interface does with its font.
    TFont font;
    font.SetName("Arial");
    font.SetSize(10);
    Form()->EpPopupMenu2->SetItemFont(&font);
    Form()->EpPopupMenu1->SetItemFont(&font);
    EXPECT_EQ("Arial", Form()->EpPopupMenu2->ItemFont()->Name());
    // Submenus included.
    EXPECT_EQ(Form()->EpPopupMenu2->ItemFont(), Form()->Com12->Font());
    EXPECT_EQ(Form()->EpPopupMenu2->ItemFont(), Form()->PopPort1->Font());
    EXPECT_EQ(Form()->EpPopupMenu1->ItemFont(), Form()->SelectAll1->Font());
    EXPECT_EQ(2, Form()->EpPopupMenu2->PopupBorder()->Width());
}

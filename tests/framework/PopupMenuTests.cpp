// A popup menu class of its own: assigned to a control's PopupMenu, it is
// the one whose Popup a right click (real mouse input) or the context-menu
// key opens, at the point the platform gives, with the control it opened on.
#include "Application.h"
#include "Form.h"
#include "Menu.h"
#include "Panel.h"
#include "RealInput.h"

#include <gtest/gtest.h>

namespace {

using namespace RealInput;

class TOwnPopupMenu : public TPopupMenu {
    GANTREL_CLASS(TOwnPopupMenu)
    using TPopupMenu::TPopupMenu;
    int Opened = 0;
    POINT At = {0, 0};
    TComponent* OpenedOn = nullptr;
    void Popup(int x, int y) override
    {
        ++Opened;
        At = POINT{x, y};
        OpenedOn = PopupComponent;
    }
};

struct TPopupFixture {
    TForm* Form;
    TPanel* Panel;
    TOwnPopupMenu* Menu;
    TPopupFixture()
    {
        Form = NewForm<TForm>(nullptr);
        Form->SetBounds(80, 80, 300, 200);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(10, 10, 200, 120);
        Menu = new TOwnPopupMenu(Form);
        Panel->SetPopupMenu(Menu);
        Form->Show();
        SetForegroundWindow(Form->Handle());
        PumpFor(100);
    }
    ~TPopupFixture() { Form->Free(); }
};

}  // namespace

TEST(PopupMenuClass, ARightClickOpensTheControlsOwnPopupMenuAtThePointer)
{
    TPopupFixture f;
    const POINT p = OnScreen(f.Panel, 50, 40);
    MovePointer(p);
    SendMouse(MOUSEEVENTF_RIGHTDOWN, p);
    SendMouse(MOUSEEVENTF_RIGHTUP, p);
    EXPECT_TRUE(PumpUntil([&] { return f.Menu->Opened > 0; }, 1000));
    EXPECT_EQ(1, f.Menu->Opened);
    EXPECT_EQ(p.x, f.Menu->At.x);
    EXPECT_EQ(p.y, f.Menu->At.y);
    EXPECT_EQ(f.Panel, f.Menu->OpenedOn);
    PointerAway();
}

TEST(PopupMenuClass, TheContextMenuKeyOpensItAtTheControlsMiddle)
{
    TPopupFixture f;
    SendMessage(f.Panel->Handle(), WM_CONTEXTMENU, WPARAM(f.Panel->Handle()), MAKELPARAM(-1, -1));
    ASSERT_EQ(1, f.Menu->Opened);
    const POINT middle = OnScreen(f.Panel, 100, 60);
    EXPECT_EQ(middle.x, f.Menu->At.x);
    EXPECT_EQ(middle.y, f.Menu->At.y);
}

TEST(PopupMenuClass, WithoutAutoPopupARightClickOpensNothing)
{
    TPopupFixture f;
    f.Menu->AutoPopup = false;
    SendMessage(f.Panel->Handle(), WM_CONTEXTMENU, WPARAM(f.Panel->Handle()), MAKELPARAM(-1, -1));
    const POINT p = OnScreen(f.Panel, 50, 40);
    MovePointer(p);
    SendMouse(MOUSEEVENTF_RIGHTDOWN, p);
    SendMouse(MOUSEEVENTF_RIGHTUP, p);
    PumpFor(200);
    EXPECT_EQ(0, f.Menu->Opened);
    PointerAway();
}

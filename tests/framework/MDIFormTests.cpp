// MDI forms: a parent with its client window, children inside it, the
// platform's frame and child procedures behind them, and a form's
// OnShortCut ahead of its menu.
#include "Application.h"
#include "Form.h"
#include "MDIChild.h"
#include "Menu.h"
#include "Panel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TMDIParentTestForm : public TForm {
    GANTREL_CLASS(TMDIParentTestForm)
public:
    explicit TMDIParentTestForm(TComponent* owner) : TForm(owner, 0) { ReadFormResource(this, nullptr); }
};

class TMDIChildTestForm : public TForm {
    GANTREL_CLASS(TMDIChildTestForm)
public:
    explicit TMDIChildTestForm(TComponent* owner) : TForm(owner, 0) { ReadFormResource(this, nullptr); }
};

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT ClientOf(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    return r;
}

// Where a window lies in its parent's client coordinates.
RECT PlaceOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class MDIForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        Parent = NewForm<TMDIParentTestForm>(nullptr);
        Parent->Show();
    }
    void TearDown() override
    {
        if (Parent) Parent->Free();
        Application->ProcessMessages();
    }
    TForm* NewChild(const std::string& caption)
    {
        TForm* child = NewMDIChild(Parent, caption, 10 + 20 * Parent->MDIChildCount(), 10, 170, 130);
        child->Show();
        return child;
    }
    TMDIParentTestForm* Parent = nullptr;
};

TEST_F(MDIForm, AParentFromItsResourceHasAClientWindowBelowItsAlignedControls)
{
    EXPECT_EQ(fsMDIForm, Parent->FormStyle);
    HWND client = Parent->ClientHandle();
    ASSERT_NE(nullptr, client);
    EXPECT_EQ(0, lstrcmpiA("MDICLIENT", ClassOf(client).c_str())) << ClassOf(client);
    EXPECT_EQ(Parent->Handle(), GetParent(client));
    // The top panel keeps its 30 pixels; the client window has the rest.
    RECT place = PlaceOf(client);
    EXPECT_EQ(0, place.left);
    EXPECT_EQ(30, place.top);
    EXPECT_EQ(400, place.right);
    EXPECT_EQ(300, place.bottom);
}

TEST_F(MDIForm, TheClientWindowFollowsTheParentsSize)
{
    Parent->SetClientSize(500, 350);
    Application->ProcessMessages();
    RECT place = PlaceOf(Parent->ClientHandle());
    EXPECT_EQ(30, place.top);
    EXPECT_EQ(500, place.right);
    EXPECT_EQ(350, place.bottom);
}

TEST_F(MDIForm, AFormThatIsNoMDIParentHasNoClientWindow)
{
    TForm* plain = NewForm<TForm>(nullptr);
    plain->Show();
    EXPECT_EQ(nullptr, plain->ClientHandle());
    EXPECT_EQ(nullptr, plain->ActiveMDIChild());
    EXPECT_EQ(0, plain->MDIChildCount());
    plain->Free();
}

TEST_F(MDIForm, AChildFromItsResourceGoesIntoItsOwnersClientWindow)
{
    auto* child = NewForm<TMDIChildTestForm>(Parent);
    child->Show();
    EXPECT_EQ(fsMDIChild, child->FormStyle);
    EXPECT_EQ(Parent->ClientHandle(), GetParent(child->Handle()));
    EXPECT_TRUE(GetWindowLongPtrA(child->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_TRUE(GetWindowLongPtrA(child->Handle(), GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(child, Parent->ActiveMDIChild());
    // The resource's place is in the client window's coordinates.
    RECT place = PlaceOf(child->Handle());
    EXPECT_EQ(10, place.left);
    EXPECT_EQ(10, place.top);
    EXPECT_EQ(160, ClientOf(child->Handle()).right);
}

TEST_F(MDIForm, ChildrenLiveInTheClientWindowAndTheLastShownIsActive)
{
    TForm* first = NewChild("First");
    TForm* second = NewChild("Second");
    EXPECT_EQ(Parent->ClientHandle(), GetParent(first->Handle()));
    EXPECT_EQ(Parent->ClientHandle(), GetParent(second->Handle()));
    EXPECT_TRUE(GetWindowLongPtrA(first->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_TRUE(GetWindowLongPtrA(first->Handle(), GWL_STYLE) & WS_CHILD);
    ASSERT_EQ(2, Parent->MDIChildCount());
    EXPECT_EQ(first, Parent->MDIChildren(0));
    EXPECT_EQ(second, Parent->MDIChildren(1));
    EXPECT_THROW(Parent->MDIChildren(2), EListError);
    EXPECT_EQ(second, Parent->ActiveMDIChild());
    // Activating through the client window.
    SendMessageA(Parent->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first->Handle()), 0);
    EXPECT_EQ(first, Parent->ActiveMDIChild());
}

TEST_F(MDIForm, AMaximizedChildFillsTheClientWindowAndIsRestored)
{
    TForm* child = NewChild("Child");
    RECT before = PlaceOf(child->Handle());
    child->SetWindowState(wsMaximized);
    Application->ProcessMessages();
    EXPECT_TRUE(IsZoomed(child->Handle()));
    EXPECT_EQ(wsMaximized, child->WindowState());
    // The platform's child procedure keeps the maximized child's client
    // area over the whole client window.
    RECT client = ClientOf(Parent->ClientHandle());
    RECT childClient = ClientOf(child->Handle());
    EXPECT_EQ(client.right, childClient.right);
    EXPECT_EQ(client.bottom, childClient.bottom);
    child->SetWindowState(wsNormal);
    Application->ProcessMessages();
    EXPECT_FALSE(IsZoomed(child->Handle()));
    EXPECT_EQ(wsNormal, child->WindowState());
    RECT after = PlaceOf(child->Handle());
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(before.right, after.right);
    EXPECT_EQ(before.bottom, after.bottom);
}

TEST_F(MDIForm, AFreedChildLeavesTheNextActive)
{
    TForm* first = NewChild("First");
    TForm* second = NewChild("Second");
    second->Free();
    Application->ProcessMessages();
    EXPECT_EQ(1, Parent->MDIChildCount());
    EXPECT_EQ(first, Parent->ActiveMDIChild());
    EXPECT_EQ(1, GetWindow(Parent->ClientHandle(), GW_CHILD) == first->Handle() ? 1 : 0);
}

TEST_F(MDIForm, FreeingTheParentTakesItsChildrenWithIt)
{
    NewChild("First");
    NewChild("Second");
    HWND client = Parent->ClientHandle();
    HWND frame = Parent->Handle();
    Parent->Free();
    Parent = nullptr;
    Application->ProcessMessages();
    EXPECT_FALSE(IsWindow(client));
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(MDIForm, CascadeAndTileArrangeTheChildren)
{
    TForm* first = NewChild("First");
    TForm* second = NewChild("Second");
    Parent->Tile();
    Application->ProcessMessages();
    RECT a = PlaceOf(first->Handle()), b = PlaceOf(second->Handle());
    RECT client = ClientOf(Parent->ClientHandle());
    // Tiled horizontally: side by side in height, each as wide as the client.
    EXPECT_EQ(client.right - client.left, a.right - a.left);
    EXPECT_EQ(client.right - client.left, b.right - b.left);
    EXPECT_NE(a.top, b.top);
    Parent->Cascade();
    Application->ProcessMessages();
    a = PlaceOf(first->Handle());
    b = PlaceOf(second->Handle());
    EXPECT_NE(a.left, b.left);
    EXPECT_NE(a.top, b.top);
}

TEST_F(MDIForm, AChildWithoutAnMDIParentCannotMakeItsWindow)
{
    auto* orphan = NewForm<TMDIChildTestForm>(nullptr);
    EXPECT_THROW(orphan->HandleNeeded(), EInvalidOperation);
    orphan->Free();
}

// --- OnShortCut ------------------------------------------------------------

struct TShortCutProbe {
    int Calls = 0;
    UINT Msg = 0;
    WPARAM Key = 0;
    LPARAM KeyData = 0;
    bool Take = false;
    int MenuClicks = 0;
    void FormShortCut(TMessage& message, bool& handled)
    {
        ++Calls;
        Msg = message.Msg;
        Key = message.WParam;
        KeyData = message.LParam;
        handled = Take;
    }
    void ItemClick(TObject*) { ++MenuClicks; }
};

TEST(FormShortCut, TheEventSeesAKeyBeforeTheMenuAndCanKeepIt)
{
    TShortCutProbe probe;
    TForm* form = NewForm<TForm>(nullptr);
    auto* menu = new TMainMenu(form);
    auto* item = new TMenuItem(menu);
    item->SetCaption("Item");
    item->SetShortCut(TShortCut('O') | scCtrl);
    item->OnClick = MakeEvent<&TShortCutProbe::ItemClick>(&probe);
    menu->Items()->Add(item);
    form->SetMenu(menu);
    form->OnShortCut = MakeEvent<&TShortCutProbe::FormShortCut>(&probe);

    EXPECT_TRUE(form->IsShortCut('O', ssCtrl));
    EXPECT_EQ(1, probe.Calls);
    EXPECT_EQ(UINT(WM_KEYDOWN), probe.Msg);
    EXPECT_EQ(WPARAM('O'), probe.Key);
    EXPECT_EQ(0, probe.KeyData);
    EXPECT_EQ(1, probe.MenuClicks);

    probe.Take = true;
    EXPECT_TRUE(form->IsShortCut('O', ssCtrl));
    EXPECT_EQ(2, probe.Calls);
    EXPECT_EQ(1, probe.MenuClicks);

    probe.Take = false;
    EXPECT_FALSE(form->IsShortCut('P', ssCtrl));
    EXPECT_EQ(3, probe.Calls);
    // Alt comes as the platform marks it.
    EXPECT_FALSE(form->IsShortCut(VK_F4, ssAlt));
    EXPECT_EQ(UINT(WM_SYSKEYDOWN), probe.Msg);
    EXPECT_EQ(WPARAM(VK_F4), probe.Key);
    EXPECT_EQ(LPARAM(1) << 29, probe.KeyData);
    form->Free();
}

TEST(FormShortCut, AKeyFromTheMessageLoopReachesTheEventOfAFormWithoutMenu)
{
    TShortCutProbe probe;
    probe.Take = true;
    TForm* form = NewForm<TForm>(nullptr);
    form->OnShortCut = MakeEvent<&TShortCutProbe::FormShortCut>(&probe);
    form->Show();
    PostMessageA(form->Handle(), WM_KEYDOWN, VK_F5, 1);
    Application->ProcessMessages();
    EXPECT_EQ(1, probe.Calls);
    EXPECT_EQ(WPARAM(VK_F5), probe.Key);
    form->Free();
}

}  // namespace

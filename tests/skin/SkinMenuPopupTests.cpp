// The popup menus and the menu bar on the screen, driven with the real
// keyboard and mouse: what opens, where, with which pixels, what closes it,
// when a chosen item's click runs, that opening and closing leaves nothing
// behind, and that the media frame of the form that owns a menu draws,
// once the menu has closed, what it was asked to while it showed. While a
// menu's loop runs, a thread timer (dispatched by that loop) plays the
// test's steps one by one.
#include "Application.h"
#include "EpMenus.h"
#include "LeafForms.h"
#include "MenuScript.h"
#include "Panel.h"
#include "Reader.h"
#include "RealInput.h"
#include "ScreenPixel.h"
#include "SavedPicture.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace SkinTest;
using MenuScript::OpenPopups;

namespace {

class TSkinMenuTestForm : public TForm {
    GANTREL_CLASS(TSkinMenuTestForm)
    explicit TSkinMenuTestForm(TComponent* owner) : TForm(owner, 0) {}
    TEpMenuBar* Bar = nullptr;
    TEpItem *BarFile = nullptr, *BarOpen = nullptr, *BarEdit = nullptr, *BarCopy = nullptr, *BarCut = nullptr,
            *BarHidden = nullptr, *BarRefresh = nullptr;
    TPanel* Target = nullptr;
    TEpPopupMenu* Menu1 = nullptr;
    TEpItem *Info = nullptr, *Load = nullptr, *Port = nullptr, *Com1 = nullptr, *Com2 = nullptr,
            *SelectAll = nullptr;
    TKsCustomPopupMenu* Classic = nullptr;
    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TSkinMenuTestForm, Bar), GANTREL_FIELD(TSkinMenuTestForm, BarFile),
             GANTREL_FIELD(TSkinMenuTestForm, BarOpen), GANTREL_FIELD(TSkinMenuTestForm, BarEdit),
             GANTREL_FIELD(TSkinMenuTestForm, BarCopy), GANTREL_FIELD(TSkinMenuTestForm, BarCut),
             GANTREL_FIELD(TSkinMenuTestForm, BarHidden), GANTREL_FIELD(TSkinMenuTestForm, BarRefresh),
             GANTREL_FIELD(TSkinMenuTestForm, Target), GANTREL_FIELD(TSkinMenuTestForm, Menu1),
             GANTREL_FIELD(TSkinMenuTestForm, Info), GANTREL_FIELD(TSkinMenuTestForm, Load),
             GANTREL_FIELD(TSkinMenuTestForm, Port), GANTREL_FIELD(TSkinMenuTestForm, Com1),
             GANTREL_FIELD(TSkinMenuTestForm, Com2), GANTREL_FIELD(TSkinMenuTestForm, SelectAll),
             GANTREL_FIELD(TSkinMenuTestForm, Classic)},
            {},
        };
        return &table;
    }
};

// Counts the clicks items and the target get.
struct TClicks {
    std::vector<std::string> Items;
    int OpenWindowsAtClick = -1;
    bool MenuWasClosed = false;
    bool* PopupReturned = nullptr;
    void ItemClick(TObject* sender);
};

BOOL CALLBACK CountWindow(HWND, LPARAM data)
{
    ++*reinterpret_cast<int*>(data);
    return TRUE;
}

// Every top-level window of the thread, shown or not.
int ThreadWindowCount()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// The process's graphics objects: what the platform counts, or, where it
// counts nothing (Wine), the handles of the GDI table that name an object.
void TClicks::ItemClick(TObject* sender)
{
    Items.push_back(static_cast<TKsCustomItem*>(sender)->Caption());
    OpenWindowsAtClick = int(OpenPopups().size());
    MenuWasClosed = PopupReturned && *PopupReturned;
}

// The steps of a script that each run once.
class TScript : public MenuScript::TMenuScript {
public:
    explicit TScript(std::vector<std::function<void()>> steps) : TMenuScript(Once(std::move(steps))) {}
};

class SkinMenuPopup : public ::testing::Test {
protected:
    TSkinMenuTestForm* Form = nullptr;
    TClicks Clicks;
    bool PopupReturned = false;

    void SetUp() override
    {
        RegisterSkinClasses();
        RegisterClasses<TSkinMenuTestForm>();
        Form = NewForm<TSkinMenuTestForm>(nullptr);
        ReadFormResource(Form, TSkinMenuTestForm::Table());
        ASSERT_NE(nullptr, Form->Menu1);
        ASSERT_NE(nullptr, Form->SelectAll);
        Form->SetBounds(60, 60, 420, 340);
        Form->Show();
        SetForegroundWindow(Form->Handle());
        Pump(150);
        RealInput::PointerAway();
        Clicks.PopupReturned = &PopupReturned;
        for (TEpItem* item : {Form->Info, Form->Load, Form->Com1, Form->Com2, Form->SelectAll, Form->BarOpen,
                              Form->BarCopy, Form->BarCut, Form->BarHidden, Form->BarRefresh})
            item->OnClick = MakeEvent<&TClicks::ItemClick>(&Clicks);
    }

    void TearDown() override
    {
        if (Form) Form->Free();
        Pump(50);
    }

    // Opens Menu1 at the screen point with the script running; returns when
    // the menu has closed.
    void PopupWith(POINT at, std::vector<std::function<void()>> steps)
    {
        TScript script(std::move(steps));
        PopupReturned = false;
        Form->Menu1->Popup(at.x, at.y);
        PopupReturned = true;
        EXPECT_TRUE(script.Done());
    }

    POINT Inside() { return Form->Target->ClientToScreen(POINT{40, 30}); }
};

}  // namespace

TEST_F(SkinMenuPopup, OpensATopMostWindowThatTakesNoActivationDrawnWithItsStyles)
{
    const POINT at = Inside();
    RECT windowRect{};
    PopupWith(at, {
        [&] {
            const auto open = OpenPopups();
            ASSERT_EQ(1u, open.size());
            HWND popup = open[0];
            EXPECT_TRUE(GetWindowLongPtrA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);
            EXPECT_EQ(Form->Handle(), GetForegroundWindow());
            EXPECT_EQ(Form->Handle(), GetActiveWindow());
            GetWindowRect(popup, &windowRect);
            EXPECT_EQ(at.x, windowRect.left);
            EXPECT_EQ(at.y, windowRect.top);
            // The popup border: grey, two pixels.
            EXPECT_EQ(RGB(128, 128, 128), ScreenPixel(POINT{windowRect.left, windowRect.top + 20}));
            EXPECT_EQ(RGB(128, 128, 128), ScreenPixel(POINT{windowRect.left + 1, windowRect.top + 20}));
            // The first item is selected: its black border one pixel in
            // from the popup border, the grey-to-white gradient inside it.
            const int y = windowRect.top + 2 + 8;
            EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(POINT{windowRect.left + 2, y}));
            const COLORREF start = ScreenPixel(POINT{windowRect.left + 3, y});
            EXPECT_NEAR(128, GetRValue(start), 4);
            EXPECT_NEAR(128, GetBValue(start), 4);
            TSavedPicture shot;
            POINT client{};
            ASSERT_TRUE(KeepWindowPicture(popup, ExeDirectory(), "skin-popup-menu.bmp", shot, client));
            EXPECT_EQ(RGB(128, 128, 128), shot.Pixel(0, 20));
            EXPECT_EQ(RGB(0, 0, 0), shot.Pixel(2, 10));
        },
        [&] { RealInput::TypeKey(VK_ESCAPE); },
    });
    EXPECT_TRUE(OpenPopups().empty());
    EXPECT_TRUE(Clicks.Items.empty());
}

TEST_F(SkinMenuPopup, UpWrapsToTheLastItemAndEnterRunsItsClickAfterTheMenuHasClosed)
{
    PopupWith(Inside(), {
        [&] { RealInput::TypeKey(VK_UP); },
        [&] { RealInput::TypeKey(VK_RETURN); },
    });
    EXPECT_TRUE(OpenPopups().empty());
    Pump(500, [&] { return !Clicks.Items.empty(); });
    ASSERT_EQ(1u, Clicks.Items.size());
    EXPECT_EQ("Select &All", Clicks.Items[0]);
    EXPECT_TRUE(Clicks.MenuWasClosed);
    EXPECT_EQ(0, Clicks.OpenWindowsAtClick);
    EXPECT_EQ(Form->Handle(), GetForegroundWindow());
}

TEST_F(SkinMenuPopup, EscClosesOneLevelAndAltClosesAll)
{
    size_t openWithSubmenu = 0, afterEsc = 0, reopened = 0;
    PopupWith(Inside(), {
        // "&Port" by its letter: selected and opened.
        [&] { RealInput::TypeKey('P'); },
        [&] {
            openWithSubmenu = OpenPopups().size();
            RealInput::TypeKey(VK_ESCAPE);
        },
        [&] {
            afterEsc = OpenPopups().size();
            RealInput::TypeKey(VK_RIGHT);
        },
        [&] {
            reopened = OpenPopups().size();
            RealInput::TypeKey(VK_MENU);
        },
    });
    EXPECT_EQ(2u, openWithSubmenu);
    EXPECT_EQ(1u, afterEsc);
    EXPECT_EQ(2u, reopened);
    EXPECT_TRUE(OpenPopups().empty());
    Pump(100);
    EXPECT_TRUE(Clicks.Items.empty());
}

TEST_F(SkinMenuPopup, ArrowKeysOpenAndCloseASubmenuAndEnterRunsItsItem)
{
    size_t opened = 0, closed = 0;
    RECT parent{}, child{};
    PopupWith(Inside(), {
        // Info, Load, Port: the separator is skipped.
        [&] { RealInput::TypeKey(VK_DOWN); },
        [&] { RealInput::TypeKey(VK_DOWN); },
        [&] { RealInput::TypeKey(VK_RIGHT); },
        [&] {
            const auto open = OpenPopups();
            opened = open.size();
            if (open.size() == 2) {
                // The innermost is the one that shows Port's items.
                const bool firstIsChild = dynamic_cast<TKsPopupWindow*>(TWinControl::FindControl(open[0]))
                                              ->View()->Item == Form->Port;
                GetWindowRect(open[firstIsChild ? 1 : 0], &parent);
                GetWindowRect(open[firstIsChild ? 0 : 1], &child);
            }
            RealInput::TypeKey(VK_LEFT);
        },
        [&] {
            closed = OpenPopups().size();
            RealInput::TypeKey(VK_RIGHT);
        },
        [&] { RealInput::TypeKey(VK_DOWN); },
        [&] { RealInput::TypeKey(VK_RETURN); },
    });
    EXPECT_EQ(2u, opened);
    EXPECT_EQ(1u, closed);
    // The submenu opens at the right of its parent's item (the parent's
    // right edge less its border and shadow).
    EXPECT_GT(child.left, parent.left + (parent.right - parent.left) / 2);
    EXPECT_LE(child.left, parent.right);
    Pump(500, [&] { return !Clicks.Items.empty(); });
    ASSERT_EQ(1u, Clicks.Items.size());
    EXPECT_EQ("Com&2", Clicks.Items[0]);
}

TEST_F(SkinMenuPopup, AClickOutsideClosesTheMenuAndReachesTheWindowBeneath)
{
    int targetDowns = 0;
    struct TDown {
        int* Count;
        void MouseDown(TObject*, TMouseButton, TShiftState, int, int) { ++*Count; }
    } down{&targetDowns};
    Form->Target->OnMouseDown = MakeEvent<&TDown::MouseDown>(&down);
    const POINT outside = Form->Target->ClientToScreen(POINT{300, 200});
    PopupWith(Inside(), {
        [&] {
            RealInput::SendMouse(MOUSEEVENTF_LEFTDOWN, outside);
            RealInput::SendMouse(MOUSEEVENTF_LEFTUP, outside);
        },
    });
    EXPECT_TRUE(OpenPopups().empty());
    Pump(300, [&] { return targetDowns > 0; });
    EXPECT_EQ(1, targetDowns);
    EXPECT_TRUE(Clicks.Items.empty());
}

// The screen centre of item in the open popup window that shows it.
POINT ItemOnScreen(HWND popup, TKsCustomItem* item)
{
    auto* window = dynamic_cast<TKsPopupWindow*>(TWinControl::FindControl(popup));
    if (!window) return POINT{-1, -1};
    const RECT r = window->View()->GetItemRect(item);
    return window->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void ClickAt(POINT p)
{
    RealInput::MovePointer(p);
    RealInput::SendMouse(MOUSEEVENTF_LEFTDOWN, p);
    RealInput::SendMouse(MOUSEEVENTF_LEFTUP, p);
}

TEST_F(SkinMenuPopup, AClickOnAnItemRunsIt)
{
    PopupWith(Inside(), {
        [&] {
            const auto open = OpenPopups();
            ASSERT_EQ(1u, open.size());
            ClickAt(ItemOnScreen(open[0], Form->Load));
        },
    });
    EXPECT_TRUE(OpenPopups().empty());
    Pump(500, [&] { return !Clicks.Items.empty(); });
    ASSERT_EQ(1u, Clicks.Items.size());
    EXPECT_EQ("&Load Map File", Clicks.Items[0]);
    EXPECT_TRUE(Clicks.MenuWasClosed);
    EXPECT_EQ(Form->Handle(), GetForegroundWindow());
}

TEST_F(SkinMenuPopup, AClickOnTheMenuTakesNoActivation)
{
    HWND foreground = nullptr, active = nullptr;
    size_t open = 0;
    PopupWith(Inside(), {
        [&] {
            const auto windows = OpenPopups();
            ASSERT_EQ(1u, windows.size());
            // "&Port" has a submenu: the click opens it and the menu stays.
            ClickAt(ItemOnScreen(windows[0], Form->Port));
        },
        [&] {
            foreground = GetForegroundWindow();
            active = GetActiveWindow();
            open = OpenPopups().size();
            RealInput::TypeKey(VK_MENU);
        },
    });
    EXPECT_EQ(2u, open);
    EXPECT_EQ(Form->Handle(), foreground);
    EXPECT_EQ(Form->Handle(), active);
    Pump(100);
    EXPECT_TRUE(Clicks.Items.empty());
}

TEST_F(SkinMenuPopup, NearTheBottomRightCornerTheMenuOpensUpAndToTheLeft)
{
    const POINT corner = {GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5};
    RECT r{};
    PopupWith(corner, {
        [&] {
            const auto open = OpenPopups();
            ASSERT_EQ(1u, open.size());
            GetWindowRect(open[0], &r);
        },
        [&] { RealInput::TypeKey(VK_ESCAPE); },
    });
    EXPECT_EQ(corner.x, r.right);
    EXPECT_EQ(corner.y, r.bottom);
}

TEST_F(SkinMenuPopup, ARightClickOnTheControlOpensItsPopupMenu)
{
    size_t open = 0;
    const POINT p = Inside();
    TScript script({
        [&] {
            open = OpenPopups().size();
            RealInput::TypeKey(VK_ESCAPE);
        },
    });
    RealInput::MovePointer(p);
    RealInput::SendMouse(MOUSEEVENTF_RIGHTDOWN, p);
    RealInput::SendMouse(MOUSEEVENTF_RIGHTUP, p);
    Pump(2000, [&] { return script.Done() && OpenPopups().empty(); });
    EXPECT_EQ(1u, open);
    EXPECT_TRUE(OpenPopups().empty());
}

TEST_F(SkinMenuPopup, FiveHundredOpeningsLeaveNoWindowsAndNoGraphicsObjects)
{
    // One opening before counting, so that everything made once exists.
    PostMessage(Form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    Form->Menu1->Popup(100, 100);
    Pump(50);
    const int windows = ThreadWindowCount();
    const long gdi = GdiObjectsHeld();
    ASSERT_NE(0, gdi);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const int items = TKsCustomItem::LiveItemCount();
    for (int i = 0; i < 500; ++i) {
        // The loop takes the queued Esc and closes the level.
        PostMessage(Form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        Form->Menu1->Popup(100 + i % 7, 100);
        if (i % 50 == 0) Application->ProcessMessages();
    }
    Pump(100);
    EXPECT_EQ(windows, ThreadWindowCount());
    EXPECT_EQ(gdi, GdiObjectsHeld());
    EXPECT_EQ(user, GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    EXPECT_EQ(items, TKsCustomItem::LiveItemCount());
    EXPECT_TRUE(OpenPopups().empty());
}

TEST_F(SkinMenuPopup, TheClassicMenuDrawsTheHighlightAndThreeRings)
{
    const POINT at = Inside();
    TScript script({
        [&] {
            const auto open = OpenPopups();
            ASSERT_EQ(1u, open.size());
            RECT r;
            GetWindowRect(open[0], &r);
            // No shadow: the rings run round the whole window.
            EXPECT_EQ(ColorToRGB(clBtnFace), ScreenPixel(POINT{r.left, r.top + 10}));
            EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(POINT{r.right - 1, r.top + 10}));
            EXPECT_EQ(ColorToRGB(clBtnHighlight), ScreenPixel(POINT{r.left + 1, r.top + 10}));
            EXPECT_EQ(ColorToRGB(clBtnShadow), ScreenPixel(POINT{r.right - 2, r.top + 10}));
            EXPECT_EQ(ColorToRGB(clMenu), ScreenPixel(POINT{r.left + 2, r.top + 10}));
            // The first item is selected: the highlight.
            EXPECT_EQ(ColorToRGB(clHighlight), ScreenPixel(POINT{r.left + 4, r.top + 4}));
        },
        [&] { RealInput::TypeKey(VK_ESCAPE); },
    });
    Form->Classic->Popup(at.x, at.y);
    EXPECT_TRUE(script.Done());
}

TEST_F(SkinMenuPopup, AMenuBarOpensASubmenuByClick)
{
    size_t open = 0;
    const RECT file = Form->Bar->BarView()->GetItemRect(Form->BarFile);
    ASSERT_GT(file.right, file.left);
    const POINT p = Form->Bar->ClientToScreen(POINT{(file.left + file.right) / 2, (file.top + file.bottom) / 2});
    TScript script({
        [&] {
            open = OpenPopups().size();
            RealInput::TypeKey(VK_MENU);
        },
    });
    RealInput::MovePointer(p);
    RealInput::SendMouse(MOUSEEVENTF_LEFTDOWN, p);
    RealInput::SendMouse(MOUSEEVENTF_LEFTUP, p);
    Pump(2000, [&] { return script.Done() && OpenPopups().empty(); });
    EXPECT_EQ(1u, open);
    EXPECT_TRUE(OpenPopups().empty());
    EXPECT_TRUE(Clicks.Items.empty());
}

TEST_F(SkinMenuPopup, ShortcutsFireOnlyVisibleEnabledItems)
{
    Form->Bar->CheckShortCut('C', ssCtrl);
    Form->Bar->CheckShortCut('X', ssCtrl);  // Cu&t: disabled
    Form->Bar->CheckShortCut('E', ssCtrl);  // &Hidden: invisible
    Form->Bar->CheckShortCut('T', TShiftState());  // not F5
    Pump(300, [&] { return Clicks.Items.size() > 1; });
    ASSERT_EQ(1u, Clicks.Items.size());
    EXPECT_EQ("&Copy", Clicks.Items[0]);
    Form->Bar->CheckShortCut(VK_F5, TShiftState());
    Pump(300, [&] { return Clicks.Items.size() > 1; });
    ASSERT_EQ(2u, Clicks.Items.size());
    EXPECT_EQ("&Refresh", Clicks.Items[1]);
}

namespace {

BOOL CALLBACK AddMediaPopup(HWND window, LPARAM data)
{
    if (IsWindowVisible(window) && dynamic_cast<TMpPopupWindow*>(TWinControl::FindControl(window)))
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

}  // namespace

TEST_F(SkinMenuPopup, TheMediaFamilysMenuOpensItsOwnWindowAndRunsTheChosenItem)
{
    // Owned by a control with a media frame, which draws nothing meanwhile.
    auto* menu = new TMpCustomPopupMenu(Form->Target);
    auto* frame = new TMpCustomForm(Form->Target);
    bool frameDrawn = true;
    auto* first = new TMpCustomItem(Form);
    first->SetCaption("&First");
    auto* second = new TMpCustomItem(Form);
    second->SetCaption("&Second");
    menu->Items()->Add(first);
    menu->Items()->Add(second);
    std::vector<std::string> chosen;
    struct TChoice {
        std::vector<std::string>* Chosen;
        void Click(TObject* sender) { Chosen->push_back(static_cast<TMpCustomItem*>(sender)->Caption()); }
    } choice{&chosen};
    second->OnClick = MakeEvent<&TChoice::Click>(&choice);
    std::vector<HWND> open;
    bool foreground = false, topMost = false;
    TScript script({
        [&] {
            EnumThreadWindows(GetCurrentThreadId(), &AddMediaPopup, reinterpret_cast<LPARAM>(&open));
            foreground = GetForegroundWindow() == Form->Handle();
            topMost = !open.empty() && (GetWindowLongPtrA(open[0], GWL_EXSTYLE) & WS_EX_TOPMOST);
            frameDrawn = frame->DrawingEnabled();
            RealInput::TypeKey(VK_DOWN);
        },
        [&] { RealInput::TypeKey(VK_RETURN); },
    });
    const POINT at = Inside();
    menu->Popup(at.x, at.y);
    EXPECT_TRUE(script.Done());
    ASSERT_EQ(1u, open.size());
    EXPECT_TRUE(foreground);
    EXPECT_TRUE(topMost);
    EXPECT_FALSE(frameDrawn);
    EXPECT_TRUE(frame->DrawingEnabled());
    Pump(500, [&] { return !chosen.empty(); });
    ASSERT_EQ(1u, chosen.size());
    EXPECT_EQ("&Second", chosen[0]);
}

TEST_F(SkinMenuPopup, TheMediaFrameDrawsWhatItWasAskedToWhileItsMenuShowed)
{
    // The window of the form that owns the menu, repainted while the menu
    // shows, wears its frame's maroon again, not the form's white, once the
    // menu has closed.
    auto* form = new TForm(nullptr, 0);
    ReadFormText(form,
                 "object F: TForm\n  Color = clWhite\n  object Frame: TMpMediaForm\n    BorderStyle = kbsNone\n"
                 "    Background.Color = clMaroon\n  end\nend\n",
                 nullptr);
    form->FindComponent<TMpMediaForm>("Frame")->Update();
    auto* menu = new TMpCustomPopupMenu(form);
    menu->Items()->Add(new TMpCustomItem(form));
    form->Show();
    Pump(150);
    TScript script({[&] { InvalidateRect(form->Handle(), nullptr, TRUE); }, [] { RealInput::TypeKey(VK_ESCAPE); }});
    const POINT at = form->ClientToScreen(POINT{20, 20});
    menu->Popup(at.x, at.y);
    Pump(100);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(RGB(128, 0, 0), ScreenPixel(form->ClientToScreen(POINT{200, 150})));
    form->Free();
}

// The modal menu loop driven by the real keyboard and mouse: a popup menu's
// first level opened at a screen point in the tests' own minimal popup
// windows, and input injected from a timer while the loop runs (the loop
// dispatches the timer's messages like any others). Clicks are recorded
// with the number of levels still open when they ran.
#include "RealInput.h"
#include "SkinControlTestSupport.h"
#include "SkinMenuTestSupport.h"
#include "SkinUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace SkinTest;
using namespace SkinMenuTest;
using namespace RealInput;

namespace {

// The window under the menu: counts the clicks it gets and the submenu
// messages addressed to it. Alt's release reaches it once the menu has
// gone; it must not start the platform's own menu mode.
class TBeneath : public TForm {
    GANTREL_CLASS(TBeneath)
    explicit TBeneath(TComponent* owner) : TForm(owner, 0) {}
    int Clicks = 0;
    int SubMenuMessages = 0;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_LBUTTONDOWN) ++Clicks;
        if (m.Msg == KM_OPENSUBMENU_KS || m.Msg == KM_OPENSUBMENU_MP) ++SubMenuMessages;
        if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_KEYMENU) return;
        TForm::Dispatch(m);
    }
};

// Steps run one per timer tick while the loop runs; once they are through,
// a watchdog closes the menu with Alt so that a test can fail, not hang.
struct TScript {
    std::vector<std::function<void()>> Steps;
    size_t Next = 0;
    int Idle = 0;
    bool WatchdogFired = false;
    UINT_PTR Timer = 0;
    static TScript*& Current()
    {
        static TScript* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TScript* s = Current();
        if (!s) return;
        if (s->Next < s->Steps.size()) {
            s->Steps[s->Next++]();
        } else if (++s->Idle > 30) {
            s->WatchdogFired = true;
            TypeKey(VK_MENU);
        }
    }
    void Start(UINT ms = 70)
    {
        Current() = this;
        Timer = SetTimer(nullptr, 0, ms, &TScript::Tick);
    }
    void Stop()
    {
        if (Timer) KillTimer(nullptr, Timer);
        Timer = 0;
        Current() = nullptr;
    }
};

template <class F>
class MenuLoop {
public:
    using Item = typename F::Item;
    using Window = TTestMenuWindow<F>;

    MenuLoop()
    {
        Owner = new TComponent(nullptr);
        Root = New("Root", "");
        Beneath = new TBeneath(nullptr);
        Beneath->SetBorderStyle(bsNone);
        Beneath->SetBounds(400, 300, 300, 200);
        Beneath->Show();
        SetForegroundWindow(Beneath->Handle());
        // A click on it leaves the thread's button state up whatever the
        // last test left behind.
        const POINT p = OnScreen(Beneath, 10, 10);
        MovePointer(p);
        SendMouse(MOUSEEVENTF_LEFTDOWN, p);
        SendMouse(MOUSEEVENTF_LEFTUP, p);
        Pump(60);
        Beneath->Clicks = 0;
        PointerAway();
        Pump(60);
        // Each test starts afresh: no pointer position seen by a loop yet.
        TSkinItemView<F>::LastMousePos = {-1, -1};
    }
    ~MenuLoop()
    {
        Script.Stop();
        Owner->Free();
        Beneath->Free();
        PointerAway();
        Pump(30);
    }
    Item* New(const std::string& name, const std::string& caption, Item* parent = nullptr)
    {
        auto* item = new Item(Owner);
        item->SetName(name);
        item->SetCaption(caption);
        item->OnClick = MakeEvent<&MenuLoop::Clicked>(this);
        if (parent) parent->Add(item);
        return item;
    }
    Item* Add(const std::string& name, const std::string& caption, Item* parent = nullptr)
    {
        return New(name, caption, parent ? parent : Root);
    }
    // Opens the menu at (x, y), runs the script inside its loop, and
    // returns once the menu has closed and the deferred clicks ran.
    void Run(std::vector<std::function<void()>> steps)
    {
        Script.Steps = std::move(steps);
        Script.Start();
        Root->Popup(nullptr, MenuX, MenuY, RECT{0, 0, 0, 0});
        // Steps left once the menu has closed still run (a button to let
        // go); then the deferred clicks have their turn.
        Pump(3000, [&] { return Script.Next >= Script.Steps.size(); });
        Script.Stop();
        Pump(100);
    }
    void Clicked(TObject* sender)
    {
        Clicks.push_back(static_cast<TComponent*>(sender)->Name());
        LevelsAtClick.push_back(int(Window::Open().size()));
    }
    int Levels() const { return int(Window::Open().size()); }
    typename F::ItemView* Level(int i) const { return Window::Open()[size_t(i)]->View(); }
    // The centre of an item of an open level, on the screen.
    POINT Centre(int level, Item* item) const
    {
        Window* w = Window::Open()[size_t(level)];
        const RECT r = w->View()->GetItemRect(item);
        return w->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    std::function<void()> Key(WORD key)
    {
        return [key] { TypeKey(key); };
    }
    std::function<void()> Note(std::function<void()> f) { return f; }

    static constexpr int MenuX = 50, MenuY = 50;
    THooks<F> Hooks;
    TComponent* Owner;
    Item* Root;
    TBeneath* Beneath;
    TScript Script;
    std::vector<std::string> Clicks;
    std::vector<int> LevelsAtClick;
};

class SkinMenuLoop : public ::testing::Test {
protected:
    MenuLoop<TKsFamily> M;
};

}  // namespace

TEST_F(SkinMenuLoop, UpWrapsToTheLastItemAndEnterRunsItAfterTheMenuClosed)
{
    M.Add("Copy", "&Copy");
    M.Add("Line", "-");
    M.Add("SelectAll", "Select &All");
    int levels = -1;
    TKsItemView* first = nullptr;
    TKsCustomItem* selected = nullptr;
    M.Run({
        [&] {
            levels = M.Levels();
            first = M.Level(0);
        },
        M.Key(VK_UP),
        [&] { selected = first->Selected; },
        M.Key(VK_RETURN),
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(1, levels);
    EXPECT_EQ(M.Root->GetItem(2), selected);
    EXPECT_EQ(std::vector<std::string>{"SelectAll"}, M.Clicks);
    EXPECT_EQ(std::vector<int>{0}, M.LevelsAtClick);
    EXPECT_EQ(0, M.Levels());
}

TEST_F(SkinMenuLoop, TheFirstSelectableItemIsSelectedWhenALevelOpens)
{
    TKsCustomItem* hidden = M.Add("Hidden", "&Hidden");
    M.Add("Line", "-");
    TKsCustomItem* off = M.Add("Off", "&Off");
    hidden->SetVisible(false);
    off->SetEnabled(false);
    TKsCustomItem* selected = nullptr;
    M.Run({
        [&] { selected = M.Level(0)->Selected; },
        M.Key(VK_RETURN),  // a disabled item: nothing runs, the menu stays
        M.Key(VK_ESCAPE),
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(off, selected);
    EXPECT_TRUE(M.Clicks.empty());
}

TEST_F(SkinMenuLoop, EscClosesOneLevelAndTheParentGoesOn)
{
    M.Add("First", "&First");
    TKsCustomItem* sub = M.Add("Sub", "&Sub");
    M.Add("X", "&X", sub);
    M.Add("Last", "&Last");
    int afterRight = -1, afterEsc = -1;
    TKsCustomItem* parentSelection = nullptr;
    bool parentDropped = true;
    M.Run({
        M.Key(VK_DOWN),
        M.Key(VK_RIGHT),
        [&] { afterRight = M.Levels(); },
        M.Key(VK_ESCAPE),
        [&] {
            afterEsc = M.Levels();
            parentSelection = M.Level(0)->Selected;
            parentDropped = M.Level(0)->DroppedDown;
        },
        M.Key(VK_DOWN),
        M.Key(VK_RETURN),
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(2, afterRight);
    EXPECT_EQ(1, afterEsc);
    EXPECT_EQ(sub, parentSelection);
    EXPECT_FALSE(parentDropped);
    EXPECT_EQ(std::vector<std::string>{"Last"}, M.Clicks);
}

TEST_F(SkinMenuLoop, AltClosesEveryLevelAtOnce)
{
    TKsCustomItem* sub = M.Add("Sub", "&Sub");
    TKsCustomItem* inner = M.Add("Inner", "&Inner", sub);
    M.Add("Deep", "&Deep", inner);
    int open = -1;
    M.Run({
        M.Key(VK_RIGHT),
        M.Key(VK_RIGHT),
        [&] { open = M.Levels(); },
        M.Key(VK_MENU),
    });
    EXPECT_EQ(3, open);
    EXPECT_EQ(0, M.Levels());
    // Closed by the test's own Alt, not the watchdog's.
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_TRUE(M.Clicks.empty());
}

TEST_F(SkinMenuLoop, RightOpensLeftClosesAndEnterInASubmenuRunsAfterAllLevelsClosed)
{
    TKsCustomItem* sub = M.Add("Sub", "&Sub");
    M.Add("X", "&X", sub);
    TKsCustomItem* y = M.Add("Y", "&Y", sub);
    M.Add("Other", "&Other");
    int afterRight = -1, afterLeft = -1, again = -1;
    TKsCustomItem* childSelection = nullptr;
    M.Run({
        M.Key(VK_RIGHT),
        [&] {
            afterRight = M.Levels();
            childSelection = M.Level(1)->Selected;
        },
        M.Key(VK_LEFT),
        [&] { afterLeft = M.Levels(); },
        M.Key(VK_RIGHT),
        [&] { again = M.Levels(); },
        M.Key(VK_DOWN),
        M.Key(VK_RETURN),
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(2, afterRight);
    EXPECT_EQ(sub->GetItem(0), childSelection);
    EXPECT_EQ(1, afterLeft);
    EXPECT_EQ(2, again);
    (void)y;
    EXPECT_EQ(std::vector<std::string>{"Y"}, M.Clicks);
    EXPECT_EQ(std::vector<int>{0}, M.LevelsAtClick);
}

TEST_F(SkinMenuLoop, ALetterRunsTheItemWithThatAccelerator)
{
    M.Add("Copy", "&Copy");
    M.Add("Paste", "&Paste");
    M.Add("Hidden", "&Delete")->SetVisible(false);
    M.Run({
        M.Key('D'),  // invisible: nothing
        M.Key('P'),
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(std::vector<std::string>{"Paste"}, M.Clicks);
}

TEST_F(SkinMenuLoop, AClickOnAnItemRunsItAfterTheMenuClosed)
{
    M.Add("Copy", "&Copy");
    TKsCustomItem* paste = M.Add("Paste", "&Paste");
    POINT p{};
    M.Run({
        [&] {
            p = M.Centre(0, paste);
            MovePointer(p);
        },
        [&] { SendMouse(MOUSEEVENTF_LEFTDOWN, p); },
        [&] { SendMouse(MOUSEEVENTF_LEFTUP, p); },
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(std::vector<std::string>{"Paste"}, M.Clicks);
    EXPECT_EQ(std::vector<int>{0}, M.LevelsAtClick);
}

TEST_F(SkinMenuLoop, TheLoopsOwnKeysCountWhileTheButtonIsHeld)
{
    M.Add("Copy", "&Copy");
    TKsCustomItem* paste = M.Add("Paste", "&Paste");
    POINT p{};
    int levelsWhileHeld = -1;
    M.Run({
        [&] {
            p = M.Centre(0, paste);
            MovePointer(p);
        },
        [&] { SendMouse(MOUSEEVENTF_LEFTDOWN, p); },
        [&] {},
        // The press chose the item (through the Enter the loop posted for
        // it) before the button came up.
        [&] {
            levelsWhileHeld = M.Levels();
            SendMouse(MOUSEEVENTF_LEFTUP, p);
        },
    });
    EXPECT_EQ(0, levelsWhileHeld);
    EXPECT_EQ(std::vector<std::string>{"Paste"}, M.Clicks);
}

TEST_F(SkinMenuLoop, AClickOutsideEndsTheMenuAndReachesTheWindowBeneath)
{
    M.Add("Copy", "&Copy");
    TKsCustomItem* sub = M.Add("Sub", "&Sub");
    M.Add("X", "&X", sub);
    const POINT outside = OnScreen(M.Beneath, 150, 100);
    int open = -1;
    M.Run({
        M.Key(VK_DOWN),
        M.Key(VK_RIGHT),
        [&] {
            open = M.Levels();
            MovePointer(outside);
        },
        [&] { SendMouse(MOUSEEVENTF_LEFTDOWN, outside); },
        [&] { SendMouse(MOUSEEVENTF_LEFTUP, outside); },
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(2, open);
    EXPECT_EQ(0, M.Levels());
    EXPECT_TRUE(M.Clicks.empty());
    EXPECT_EQ(1, M.Beneath->Clicks);
}

TEST_F(SkinMenuLoop, HoveringAnotherItemOfTheParentOpensItsSubmenuInstead)
{
    TKsCustomItem* one = M.Add("One", "&One");
    M.Add("X", "&X", one);
    TKsCustomItem* two = M.Add("Two", "&Two");
    M.Add("Z", "&Z", two);
    TKsCustomItem* firstOpen = nullptr;
    TKsCustomItem* nowOpen = nullptr;
    int levels = -1;
    M.Run({
        [&] { MovePointer(M.Centre(0, one)); },
        [&] { firstOpen = M.Levels() == 2 ? M.Level(1)->Item : nullptr; },
        [&] { MovePointer(M.Centre(0, two)); },
        [&] {},
        [&] {
            levels = M.Levels();
            nowOpen = M.Levels() == 2 ? M.Level(1)->Item : nullptr;
        },
        M.Key(VK_ESCAPE),
        M.Key(VK_ESCAPE),
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(one, firstOpen);
    EXPECT_EQ(2, levels);
    EXPECT_EQ(two, nowOpen);
}

TEST_F(SkinMenuLoop, ASubmenuMessageForAnotherWindowIsNotTheMenus)
{
    TKsCustomItem* sub = M.Add("Sub", "&Sub");
    M.Add("X", "&X", sub);
    int levels = -1;
    M.Run({
        [&] { PostMessageA(M.Beneath->Handle(), KM_OPENSUBMENU_KS, 0, 0); },
        [&] { levels = M.Levels(); },
        M.Key(VK_ESCAPE),
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(1, levels);
    EXPECT_EQ(1, M.Beneath->SubMenuMessages);
}

TEST_F(SkinMenuLoop, NoExceptionLeavesTheLoop)
{
    M.Add("A", "&A");
    M.Add("B", "&B");
    static std::vector<std::string>* seen;
    std::vector<std::string> messages;
    seen = &messages;
    TCallbackExceptionHandler old =
        SetCallbackExceptionHandler([](const std::exception& e) { seen->push_back(e.what()); });
    bool escaped = false;
    try {
        M.Run({
            [&] { TTestLevelView<TKsFamily>::ThrowOnInvalidate = true; },
            M.Key(VK_DOWN),
        });
    } catch (...) {
        escaped = true;
    }
    SetCallbackExceptionHandler(old);
    TTestLevelView<TKsFamily>::ThrowOnInvalidate = false;
    EXPECT_FALSE(escaped);
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(std::vector<std::string>{"view failed"}, messages);
    EXPECT_EQ(0, M.Levels());
}

TEST_F(SkinMenuLoop, NearTheScreensCornerTheMenuOpensUpAndLeft)
{
    M.Add("A", "&A");
    M.Add("B", "&B");
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    RECT bounds{};
    M.Script.Steps = {
        [&] { GetWindowRect(TTestMenuWindow<TKsFamily>::Open()[0]->Handle(), &bounds); },
        M.Key(VK_ESCAPE),
    };
    M.Script.Start();
    M.Root->Popup(nullptr, w - 10, h - 10, RECT{0, 0, 0, 0});
    Pump(1000, [&] { return M.Script.Next >= M.Script.Steps.size(); });
    M.Script.Stop();
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_RECT((RECT{w - 10 - ItemWidth, h - 10 - 2 * ItemHeight, w - 10, h - 10}), bounds);
}

TEST_F(SkinMenuLoop, ASubmenuThatDoesNotFitOpensToTheLeftAndUp)
{
    TKsCustomItem* sub = M.Add("Sub", "&Sub");
    for (const char* name : {"X", "Y", "Z"}) M.Add(name, name, sub);
    M.Add("B", "&B");
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    RECT bounds{};
    M.Script.Steps = {
        M.Key(VK_RIGHT),
        [&] {
            if (M.Levels() == 2) GetWindowRect(TTestMenuWindow<TKsFamily>::Open()[1]->Handle(), &bounds);
        },
        M.Key(VK_MENU),
    };
    M.Script.Start();
    // The first level just fits at (x, y); Sub's submenu would pass the
    // right and the bottom edge from Sub's top right, so its right edge
    // goes to Sub's left and its bottom to Sub's bottom.
    const int x = w - ItemWidth - 50, y = h - 2 * ItemHeight;
    M.Root->Popup(nullptr, x, y, RECT{0, 0, 0, 0});
    Pump(1000, [&] { return M.Script.Next >= M.Script.Steps.size(); });
    M.Script.Stop();
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_RECT((RECT{x - ItemWidth, y + ItemHeight - 3 * ItemHeight, x, y + ItemHeight}), bounds);
}

TEST_F(SkinMenuLoop, OnABarTheArrowKeysMoveFromOneSubmenuToTheNext)
{
    TKsCustomItem* file = M.Add("File", "&File");
    M.Add("Open", "&Open", file);
    TKsCustomItem* edit = M.Add("Edit", "&Edit");
    M.Add("Copy", "&Copy", edit);
    M.Add("Help", "&Help");
    auto* barForm = new TForm(M.Owner, 0);
    barForm->SetBorderStyle(bsNone);
    barForm->SetBounds(50, 200, 300, 20);
    barForm->Show();
    Pump(30);
    TKsItemView bar(nullptr, true, voHorizontal);
    bar.Item = M.Root;
    bar.Host = barForm;
    bar.MessageWindow = barForm;
    int levels[3] = {-1, -1, -1};
    int made[3] = {};
    TKsCustomItem* open[3] = {};
    auto note = [&](int i) {
        return [&, i] {
            made[i] = TTestMenuWindow<TKsFamily>::Made();
            levels[i] = M.Levels();
            open[i] = M.Levels() > 0 ? M.Level(0)->Item : nullptr;
        };
    };
    M.Script.Steps = {
        M.Key(VK_DOWN), note(0),
        // Right on an item without a submenu: the bar's next item opens
        // (once, from the bar's own loop).
        M.Key(VK_RIGHT), note(1),
        // Left under a bar: the bar's previous item opens.
        M.Key(VK_LEFT), note(2),
        M.Key(VK_MENU),
    };
    M.Script.Start();
    bar.MessageLoop();
    Pump(2000, [&] { return M.Script.Next >= M.Script.Steps.size(); });
    M.Script.Stop();
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(1, levels[0]);
    EXPECT_EQ(file, open[0]);
    EXPECT_EQ(1, levels[1]);
    EXPECT_EQ(edit, open[1]);
    // Each step opened one window: nothing opened inside the closing level.
    EXPECT_EQ(1, made[1] - made[0]);
    EXPECT_EQ(1, made[2] - made[1]);
    EXPECT_EQ(1, levels[2]);
    EXPECT_EQ(file, open[2]);
    EXPECT_EQ(0, M.Levels());
    EXPECT_FALSE(bar.InLoop);
    EXPECT_TRUE(M.Clicks.empty());
}

// The media family's loop: its own submenu message, and Right does not open
// a submenu from a popup level.
TEST(SkinMenuLoopMedia, UpWrapsEnterRunsAndRightOpensNothing)
{
    MenuLoop<TMpFamily> M;
    TMpCustomItem* sub = M.Add("Sub", "&Sub");
    M.Add("X", "&X", sub);
    M.Add("Last", "&Last");
    int afterRight = -1;
    M.Run({
        M.Key(VK_RIGHT),
        [&] { afterRight = M.Levels(); },
        M.Key(VK_UP),
        M.Key(VK_RETURN),
    });
    EXPECT_FALSE(M.Script.WatchdogFired);
    EXPECT_EQ(1, afterRight);
    EXPECT_EQ(std::vector<std::string>{"Last"}, M.Clicks);
    EXPECT_EQ(0, TMpUtils::CaptureCount());
}

// Taking controls down: whichever order they go in (child before parent,
// parent before child, a form with everything it owns, a grid with its
// editor open, a control freed from inside its own event), no window
// outlives its control and no message reaches a control that is gone. Every
// test here counts access violations (which the platform swallows inside
// window procedures) and messages turned away from windows whose control is
// gone; both must stay as they were.
#include "Application.h"
#include "Button.h"
#include "Edit.h"
#include "FaultWatch.h"
#include "Grid.h"
#include "Label.h"
#include "Panel.h"
#include "ProgressBar.h"
#include "StatusBar.h"
#include "TabControl.h"
#include "Timer.h"
#include "TrackBar.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The windows directly inside a window.
std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> windows;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) windows.push_back(w);
    return windows;
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < ms) {
        Application->ProcessMessages();
        Sleep(1);
    }
    return done();
}

class Teardown : public ::testing::Test {
protected:
    void SetUp() override
    {
        FaultWatch::Install();
        Violations = FaultWatch::AccessViolations();
        Stray = TWinControl::StrayMessages();
    }
    void TearDown() override
    {
        EXPECT_EQ(Violations, FaultWatch::AccessViolations()) << "an access violation was raised";
        EXPECT_EQ(Stray, TWinControl::StrayMessages()) << "a message reached a window whose control was gone";
    }
    unsigned Violations = 0;
    unsigned Stray = 0;
};

// --- A child's window asked for before its parent's ------------------------

using TMake = std::function<TWinControl*(TComponent*)>;

const std::vector<std::pair<std::string, TMake>>& Kinds()
{
    static const std::vector<std::pair<std::string, TMake>> kinds = {
        {"grid", [](TComponent* o) { return new TStringGrid(o); }},
        {"edit", [](TComponent* o) { return new TEdit(o); }},
        {"button", [](TComponent* o) { return new TButton(o); }},
        {"panel", [](TComponent* o) { return new TPanel(o); }},
        {"track bar", [](TComponent* o) { return new TTrackBar(o); }},
        {"status bar", [](TComponent* o) { return new TStatusBar(o); }},
        {"progress bar", [](TComponent* o) { return new TProgressBar(o); }},
        {"tab control", [](TComponent* o) { return new TTabControl(o); }},
    };
    return kinds;
}

TEST_F(Teardown, AChildsWindowAskedForBeforeItsFormsIsItsOnlyWindow)
{
    for (const auto& [name, make] : Kinds()) {
        SCOPED_TRACE(name);
        TForm* form = new TForm(nullptr, 0);
        TWinControl* child = make(form);
        child->SetParent(form);
        ASSERT_FALSE(form->HandleAllocated());
        // Making the child's window makes the form's, which makes its
        // children's: the child must end with that one window, not a second.
        HWND window = child->Handle();
        ASSERT_TRUE(form->HandleAllocated());
        EXPECT_EQ(form->Handle(), GetParent(window));
        EXPECT_EQ(std::vector<HWND>{window}, ChildWindows(form->Handle()));
        EXPECT_EQ(child, TWinControl::FindControl(window));
        form->Free();
        EXPECT_FALSE(IsWindow(window));
    }
}

TEST_F(Teardown, ANestedChildsWindowAskedForFirstMakesTheChainOnce)
{
    TForm* form = new TForm(nullptr, 0);
    TPanel* outer = new TPanel(form);
    outer->SetParent(form);
    TPanel* inner = new TPanel(form);
    inner->SetParent(outer);
    TEdit* edit = new TEdit(form);
    edit->SetParent(inner);
    HWND window = edit->Handle();
    EXPECT_EQ(std::vector<HWND>{outer->Handle()}, ChildWindows(form->Handle()));
    EXPECT_EQ(std::vector<HWND>{inner->Handle()}, ChildWindows(outer->Handle()));
    EXPECT_EQ(inner->Handle(), GetParent(window));
    EXPECT_EQ(window, ChildWindows(inner->Handle()).at(0));
    form->Free();
    EXPECT_FALSE(IsWindow(window));
}

// A control never takes a second window while it has one.
class TTwiceMade : public TPanel {
public:
    using TPanel::TPanel;
    void MakeAnotherWindow() { CreateWnd(); }
};

TEST_F(Teardown, AControlRefusesASecondWindow)
{
    TForm* form = new TForm(nullptr, 0);
    auto* panel = new TTwiceMade(form);
    panel->SetParent(form);
    HWND window = panel->Handle();
    EXPECT_THROW(panel->MakeAnotherWindow(), EInvalidOperation);
    EXPECT_EQ(window, panel->Handle());
    EXPECT_EQ(std::vector<HWND>{window}, ChildWindows(form->Handle()));
    form->Free();
}

// --- Orders of freeing ------------------------------------------------------

// A shown form with a bit of everything, owned by the form, some inside panels.
struct TBusyForm {
    TForm* Form;
    TPanel* Outer;
    TPanel* Inner;
    TEdit* Edit;
    TButton* Button;
    TLabel* Label;
    TStringGrid* Grid;
    TTrackBar* Track;
    TStatusBar* Status;

    explicit TBusyForm(TComponent* owner = nullptr)
    {
        Form = new TForm(nullptr, 0);
        Form->SetBounds(0, 0, 500, 400);
        TComponent* o = owner ? owner : Form;
        Outer = new TPanel(o);
        Outer->SetParent(Form);
        Outer->SetBounds(0, 0, 400, 300);
        Inner = new TPanel(o);
        Inner->SetParent(Outer);
        Inner->SetBounds(10, 10, 300, 200);
        Edit = new TEdit(o);
        Edit->SetParent(Inner);
        Button = new TButton(o);
        Button->SetParent(Inner);
        Button->SetTop(40);
        Label = new TLabel(o);
        Label->SetParent(Inner);
        Label->SetTop(80);
        Grid = new TStringGrid(o);
        Grid->SetParent(Outer);
        Grid->SetBounds(0, 210, 300, 80);
        Track = new TTrackBar(o);
        Track->SetParent(Form);
        Track->SetTop(310);
        Status = new TStatusBar(o);
        Status->SetParent(Form);
        Form->Show();
        Edit->SetFocus();
        Application->ProcessMessages();
    }
};

TEST_F(Teardown, ChildrenFreedBeforeTheirForm)
{
    TBusyForm f;
    HWND edit = f.Edit->Handle();
    HWND inner = f.Inner->Handle();
    HWND button = f.Button->Handle();
    ASSERT_EQ(edit, GetFocus());
    f.Edit->Free();
    EXPECT_FALSE(IsWindow(edit));
    f.Label->Free();
    f.Inner->Free();  // takes the button with it
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(4, f.Form->ComponentCount());
    f.Grid->Free();
    f.Status->Free();
    Application->ProcessMessages();
    f.Form->Free();
}

TEST_F(Teardown, AFormFreedWithEverythingItOwns)
{
    TBusyForm f;
    HWND form = f.Form->Handle();
    HWND button = f.Button->Handle();
    f.Form->Free();
    EXPECT_FALSE(IsWindow(form));
    EXPECT_FALSE(IsWindow(button));
}

TEST_F(Teardown, AParentFreedBeforeTheComponentThatOwnsItsChildren)
{
    TComponent* owner = new TComponent(nullptr);
    TBusyForm f(owner);
    ASSERT_EQ(8, owner->ComponentCount());
    // The form frees its children, whoever owns them; they leave their owner.
    f.Form->Free();
    EXPECT_EQ(0, owner->ComponentCount());
    owner->Free();
}

TEST_F(Teardown, TheOwnerFreedBeforeTheParentOfWhatItOwns)
{
    TComponent* owner = new TComponent(nullptr);
    TBusyForm f(owner);
    HWND form = f.Form->Handle();
    owner->Free();
    EXPECT_TRUE(IsWindow(form));
    EXPECT_EQ(0, f.Form->ControlCount());
    EXPECT_TRUE(ChildWindows(form).empty());
    // The form still works: a message through it reaches nobody who is gone.
    SendMessageA(form, WM_SIZE, 0, MAKELPARAM(300, 200));
    f.Form->Free();
}

TEST_F(Teardown, AGridWithItsEditorOpen)
{
    for (bool gridFirst : {true, false}) {
        SCOPED_TRACE(gridFirst ? "grid first" : "form only");
        TBusyForm f;
        f.Grid->SetOptions(f.Grid->Options() | goEditing);
        f.Grid->SetFocus();
        SendMessageA(GetFocus(), WM_KEYDOWN, '5', 1);
        SendMessageA(GetFocus(), WM_CHAR, '5', 1);
        ASSERT_TRUE(f.Grid->EditorMode());
        HWND editor = f.Grid->InplaceEditor()->Handle();
        ASSERT_EQ(editor, GetFocus());
        if (gridFirst) {
            f.Grid->Free();
            EXPECT_FALSE(IsWindow(editor));
        }
        f.Form->Free();
        EXPECT_FALSE(IsWindow(editor));
    }
}

// --- Freed from inside its own event ----------------------------------------

struct TFreeOnEvent {
    TComponent* Victim = nullptr;
    TForm* Form = nullptr;
    int Calls = 0;
    void FreeVictim(TObject*)
    {
        ++Calls;
        Victim->Free();
    }
    void ReleaseForm(TObject*)
    {
        ++Calls;
        Form->Release();
    }
    void Destroyed(TObject*) { ++Calls; }
};

TEST_F(Teardown, AButtonFreedInItsOwnClick)
{
    TBusyForm f;
    TFreeOnEvent handler;
    handler.Victim = f.Button;
    f.Button->OnClick = MakeEvent<&TFreeOnEvent::FreeVictim>(&handler);
    HWND button = f.Button->Handle();
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(1, handler.Calls);
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(nullptr, TWinControl::FindControl(button));
    f.Form->Free();
}

// A click as the user makes it, at a point of a window.
void ClickAt(HWND window, int x, int y)
{
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TEST_F(Teardown, ALabelFreedInItsOwnClick)
{
    TBusyForm f;
    TFreeOnEvent handler;
    handler.Victim = f.Label;
    f.Label->SetBounds(0, 80, 100, 20);
    f.Label->OnClick = MakeEvent<&TFreeOnEvent::FreeVictim>(&handler);
    int before = f.Inner->ControlCount();
    // The label has no window: its parent's routes the mouse to it.
    ClickAt(f.Inner->Handle(), 5, 85);
    EXPECT_EQ(1, handler.Calls);
    EXPECT_EQ(before - 1, f.Inner->ControlCount());
    // The parent goes on working.
    ClickAt(f.Inner->Handle(), 5, 85);
    EXPECT_EQ(1, handler.Calls);
    f.Form->Free();
}

TEST_F(Teardown, APanelFreedInItsOwnClick)
{
    TBusyForm f;
    TFreeOnEvent handler;
    handler.Victim = f.Inner;
    f.Inner->OnClick = MakeEvent<&TFreeOnEvent::FreeVictim>(&handler);
    HWND inner = f.Inner->Handle();
    HWND edit = f.Edit->Handle();
    ClickAt(inner, 250, 150);
    EXPECT_EQ(1, handler.Calls);
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_FALSE(IsWindow(edit));
    f.Form->Free();
}

TEST_F(Teardown, AFormReleasedFromItsButtonsClickGoesAfterTheClick)
{
    TBusyForm f;
    TFreeOnEvent handler;
    handler.Form = f.Form;
    f.Button->OnClick = MakeEvent<&TFreeOnEvent::ReleaseForm>(&handler);
    f.Form->OnDestroy = MakeEvent<&TFreeOnEvent::Destroyed>(&handler);
    HWND form = f.Form->Handle();
    // As the user clicks: down and up over the button, through the queue.
    HWND button = f.Button->Handle();
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(PumpUntil([&] { return handler.Calls == 2; }, 5000));
    EXPECT_FALSE(IsWindow(form));
}

TEST_F(Teardown, ATimerFreedInItsOwnTick)
{
    TForm* form = new TForm(nullptr, 0);
    TFreeOnEvent handler;
    auto* timer = new TTimer(form);
    handler.Victim = timer;
    timer->SetInterval(10);
    timer->OnTimer = MakeEvent<&TFreeOnEvent::FreeVictim>(&handler);
    EXPECT_TRUE(PumpUntil([&] { return handler.Calls > 0; }, 5000));
    // Ticks already queued when it went must not come.
    PumpUntil([&] { return handler.Calls > 1; }, 200);
    EXPECT_EQ(1, handler.Calls);
    EXPECT_EQ(0, form->ComponentCount());
    form->Free();
}

// --- The window procedure's own guard ----------------------------------------

// Records the private message it is sent.
class TListeningForm : public TForm {
public:
    TListeningForm() : TForm(nullptr, 0) {}
    int Heard = 0;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_APP + 7) ++Heard;
        TForm::Dispatch(m);
    }
};

struct TPropertySearch {
    HANDLE Wanted;
    std::string Name;
};

BOOL CALLBACK MatchProperty(HWND, LPSTR name, HANDLE data, ULONG_PTR param)
{
    auto* search = reinterpret_cast<TPropertySearch*>(param);
    if (data != search->Wanted || IS_INTRESOURCE(name)) return TRUE;
    search->Name = name;
    return FALSE;
}

// The name of the window property through which a window names its control.
std::string ControlPropertyOf(HWND window, TWinControl* control)
{
    TPropertySearch search{reinterpret_cast<HANDLE>(control), {}};
    EnumPropsExA(window, MatchProperty, reinterpret_cast<LPARAM>(&search));
    return search.Name;
}

TEST_F(Teardown, AWindowThatOutlivedItsControlNeverReachesIt)
{
    auto* form = new TListeningForm;
    HWND own = form->Handle();
    std::string property = ControlPropertyOf(own, form);
    ASSERT_FALSE(property.empty());
    char className[64] = "";
    ASSERT_NE(0, GetClassNameA(own, className, sizeof className));
    // A second window of the same class naming the form, as a window left
    // behind by a fault in some teardown would.
    HWND stray = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, stray);
    ASSERT_TRUE(SetPropA(stray, property.c_str(), form));
    EXPECT_EQ(nullptr, TWinControl::FindControl(stray));

    // While the form lives, only its own window reaches it.
    SendMessageA(stray, WM_APP + 7, 0, 0);
    EXPECT_EQ(0, form->Heard);
    SendMessageA(own, WM_APP + 7, 0, 0);
    EXPECT_EQ(1, form->Heard);
    EXPECT_EQ(Stray + 1, TWinControl::StrayMessages());

    // Once it is freed, the left-behind window's messages, its destruction
    // among them, get the default handling and are counted.
    form->Free();
    SendMessageA(stray, WM_APP + 7, 0, 0);
    EXPECT_TRUE(DestroyWindow(stray));
    EXPECT_GE(TWinControl::StrayMessages(), Stray + 4);  // the message, WM_DESTROY, WM_NCDESTROY and more
    EXPECT_EQ(Violations, FaultWatch::AccessViolations());
    // The counted messages are what this test is for.
    FaultWatch::Allow(TWinControl::StrayMessages() - Stray);
    Stray = TWinControl::StrayMessages();
}

}  // namespace

// The window-procedure hook chain of both families: the order of before and
// after hooks, a handled message, WM_QUIT and WM_DESTROY, re-hooking a
// re-created window, detaching and freeing records, hook components (their
// message handlers, Active, streaming), a foreign subclasser over ours, Ks
// and Mp hooks on one window, exceptions in hooks, and the lifetimes of
// records, links and controls when things go away in awkward orders.
#include "Application.h"
#include "Form.h"
#include "Reader.h"
#include "SkinHooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT TestMessage = WM_APP + 17;
constexpr UINT TestMessage2 = WM_APP + 18;

// What reached whom, in order.
std::vector<std::string> Log;

std::string Suffix(UINT msg)
{
    switch (msg) {
    case TestMessage: return "";
    case TestMessage2: return " 2";
    case WM_QUIT: return " quit";
    case WM_DESTROY: return " destroy";
    default: return " ?";
    }
}

bool Watched(UINT msg)
{
    return msg == TestMessage || msg == TestMessage2 || msg == WM_QUIT || msg == WM_DESTROY;
}

// A form whose own procedure answers the test messages and notes what it got.
class THookTestForm : public TForm {
    GANTREL_CLASS(THookTestForm)
    explicit THookTestForm(TComponent* owner) : TForm(owner, 0) {}
    // The window's procedure when its last message arrived.
    LONG_PTR ProcAtNcDestroy = 0;
    void Dispatch(TMessage& m) override
    {
        switch (m.Msg) {
        case TestMessage:
            Log.push_back("form");
            m.Result = 7;
            return;
        case TestMessage2:
            Log.push_back("form 2");
            m.Result = 8;
            return;
        case WM_QUIT:
            Log.push_back("form quit");
            return;
        case WM_DESTROY:
            Log.push_back("form destroy");
            break;
        case WM_NCDESTROY:
            ProcAtNcDestroy = GetWindowLongPtrA(Handle(), GWLP_WNDPROC);
            break;
        }
        TForm::Dispatch(m);
    }
};

// Handlers for one hook's events.
struct TProbe : TObject {
    std::string Name;
    bool Handles = false;  // handles TestMessage and WM_DESTROY before the form
    LRESULT Result = 0;
    bool Throws = false;
    std::function<void()> During;  // runs once, inside the next TestMessage

    void Before(TObject* sender, TMessage& m, bool& handled)
    {
        (void)sender;
        if (!Watched(m.Msg)) return;
        Log.push_back(Name + " before" + Suffix(m.Msg));
        if (m.Msg == TestMessage && During) {
            auto during = During;
            During = nullptr;
            during();
        }
        if (Throws && m.Msg == TestMessage) throw Exception(Name + " failed");
        if (Handles && (m.Msg == TestMessage || m.Msg == WM_DESTROY)) {
            m.Result = Result;
            handled = true;
        }
    }
    void After(TObject* sender, TMessage& m, bool& handled)
    {
        (void)sender;
        (void)handled;
        if (Watched(m.Msg)) Log.push_back(Name + " after" + Suffix(m.Msg));
    }
};

// A form frame in miniature: hooks its owner, handles TestMessage itself.
template <class Base>
class TTestFrame : public Base {
public:
    explicit TTestFrame(TComponent* owner) : Base(owner) { this->FControl = dynamic_cast<TWinControl*>(owner); }
    bool Handles = false;
    // Sent to the hooked window from inside the TestMessage handler.
    bool SendsSecond = false;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == TestMessage) {
            Log.push_back("frame");
            if (Handles) {
                this->MessageHandled();
                m.Result = 99;
            }
            if (SendsSecond) SendMessageA(this->Hook()->GetWinControl()->Handle(), TestMessage2, 0, 0);
            return;
        }
        Base::Dispatch(m);
    }
    void SetHookedForm(TWinControl* control) { this->FControl = control; }
    bool ReadProperty(const std::string& name, TReader& reader) override
    {
        if (name == "Active") {
            this->SetActive(reader.ReadBool());
            return true;
        }
        return Base::ReadProperty(name, reader);
    }

protected:
    void AfterControl(TObject* sender, TMessage& m, bool& handled) override
    {
        if (m.Msg == TestMessage) Log.push_back("frame after");
        Base::AfterControl(sender, m, handled);
    }
};

class TTestKsFrame : public TTestFrame<TKsHookComponent> {
    GANTREL_CLASS(TTestKsFrame)
    using TTestFrame::TTestFrame;
};

class TTestMpFrame : public TTestFrame<TMpHookComponent> {
    GANTREL_CLASS(TTestMpFrame)
    using TTestFrame::TTestFrame;
};

template <class F, class H, class C, class Fr>
struct TFamilyCase {
    using Family = F;
    using Hook = H;
    using Component = C;
    using Frame = Fr;
};
using KsCase = TFamilyCase<TKsFamily, TKsHook, TKsHookComponent, TTestKsFrame>;
using MpCase = TFamilyCase<TMpFamily, TMpHook, TMpHookComponent, TTestMpFrame>;

template <class F>
int RecordCount()
{
    THookList<F>* list = THookList<F>::Instance();
    return list ? list->Count() : 0;
}

template <class F>
LONG_PTR HookedProc()
{
    return reinterpret_cast<LONG_PTR>(&TControlHook<F>::HookedWndProc);
}

LONG_PTR ProcOf(HWND window)
{
    return GetWindowLongPtrA(window, GWLP_WNDPROC);
}

// Lets the posted work of the utility windows run.
void Pump()
{
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
}

// Another subclasser, installed over ours by hand.
WNDPROC ForeignPrev = nullptr;
int ForeignCalls = 0;
LRESULT CALLBACK ForeignProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == TestMessage) ++ForeignCalls;
    return CallWindowProcA(ForeignPrev, window, msg, wParam, lParam);
}

void InstallForeign(HWND window)
{
    ForeignCalls = 0;
    ForeignPrev = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
}

// Catches what reaches the application's exception handler.
struct TExceptionCatcher : TObject {
    std::vector<std::string> Messages;
    TExceptionEvent Saved;
    TExceptionCatcher()
    {
        Saved = Application->OnException;
        Application->OnException = MakeEvent<&TExceptionCatcher::Caught>(this);
    }
    ~TExceptionCatcher() override { Application->OnException = Saved; }
    void Caught(TObject*, const std::exception& e) { Messages.push_back(e.what()); }
};

template <class T>
class SkinHooks : public ::testing::Test {
protected:
    using F = typename T::Family;
    using Hook = typename T::Hook;

    void SetUp() override
    {
        Log.clear();
        RegisterClasses<THookTestForm, TTestKsFrame, TTestMpFrame>();
        Form = new THookTestForm(nullptr);
        Window = Form->Handle();
        Original = ProcOf(Window);
    }
    void TearDown() override
    {
        for (Hook* hook : Hooks)
            if (hook) hook->Free();
        if (Form) Form->Free();
        Pump();
        EXPECT_EQ(0, RecordCount<F>()) << "a record outlived its hooks";
    }

    TProbe* ProbeFor(Hook* hook)
    {
        for (size_t i = 0; i < Hooks.size(); ++i)
            if (Hooks[i] == hook) return Probes[i].get();
        return nullptr;
    }

    // A hook on the test form whose events note themselves as name.
    Hook* AddHook(const std::string& name, TWinControl* control = nullptr)
    {
        auto* hook = new Hook(nullptr);
        Probes.push_back(std::make_unique<TProbe>());
        TProbe* probe = Probes.back().get();
        probe->Name = name;
        hook->OnBeforeMessage = MakeEvent<&TProbe::Before>(probe);
        hook->OnAfterMessage = MakeEvent<&TProbe::After>(probe);
        hook->SetWinControl(control ? control : Form);
        Hooks.push_back(hook);
        return hook;
    }
    void FreeHook(Hook* hook)
    {
        for (Hook*& h : Hooks)
            if (h == hook) h = nullptr;
        hook->Free();
    }

    LRESULT Send(UINT msg) { return SendMessageA(Form->Handle(), msg, 0, 0); }

    THookTestForm* Form = nullptr;
    HWND Window = nullptr;
    LONG_PTR Original = 0;
    std::vector<Hook*> Hooks;
    std::vector<std::unique_ptr<TProbe>> Probes;
};

using Families = ::testing::Types<KsCase, MpCase>;
TYPED_TEST_SUITE(SkinHooks, Families);

using Strings = std::vector<std::string>;

TYPED_TEST(SkinHooks, BeforeHooksNewestFirstThenTheFormThenAfterHooksNewestFirst)
{
    this->AddHook("one");
    this->AddHook("two");
    EXPECT_EQ(HookedProc<typename TestFixture::F>(), ProcOf(this->Window));
    EXPECT_EQ(7, this->Send(TestMessage));
    EXPECT_EQ((Strings{"two before", "one before", "form", "two after", "one after"}), Log);
    // One record for the window, two hooks in it, oldest first.
    ASSERT_EQ(1, RecordCount<typename TestFixture::F>());
    auto* record = this->Hooks[0]->ControlHook();
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(record, this->Hooks[1]->ControlHook());
    ASSERT_EQ(2, record->HookCount());
    EXPECT_EQ(this->Hooks[0], record->Hooks(0));
    EXPECT_EQ(this->Form, record->Control());
    EXPECT_EQ(this->Window, record->Window());
    EXPECT_EQ(this->Original, reinterpret_cast<LONG_PTR>(record->PreviousWndProc()));
}

TYPED_TEST(SkinHooks, HandledBeforeHookSkipsOlderHooksTheFormAndEveryAfterHook)
{
    this->AddHook("one");
    auto* two = this->AddHook("two");
    this->ProbeFor(two)->Handles = true;
    this->ProbeFor(two)->Result = 42;
    EXPECT_EQ(42, this->Send(TestMessage));
    EXPECT_EQ((Strings{"two before"}), Log);
    // The older hook handling it: the newer one still saw it first.
    Log.clear();
    this->ProbeFor(two)->Handles = false;
    this->ProbeFor(this->Hooks[0])->Handles = true;
    this->ProbeFor(this->Hooks[0])->Result = 43;
    EXPECT_EQ(43, this->Send(TestMessage));
    EXPECT_EQ((Strings{"two before", "one before"}), Log);
}

TYPED_TEST(SkinHooks, QuitGoesStraightToTheFormAndTheAfterHooksStillRun)
{
    this->AddHook("one");
    this->AddHook("two");
    this->Send(WM_QUIT);
    EXPECT_EQ((Strings{"form quit", "two after quit", "one after quit"}), Log);
}

TYPED_TEST(SkinHooks, DestroyIsPassedOnWhenHandledAndTheChainFollowsTheRecreatedWindow)
{
    using F = typename TestFixture::F;
    this->AddHook("one");
    auto* two = this->AddHook("two");
    this->ProbeFor(two)->Handles = true;
    this->Form->RecreateWnd();
    // Handled, yet the form got it; of the after-hooks only the newest ran,
    // as Handled was already set when they started.
    EXPECT_EQ((Strings{"two before destroy", "form destroy", "two after destroy"}), Log);
    // The window procedure was put back before the window's last message.
    EXPECT_EQ(this->Original, this->Form->ProcAtNcDestroy);
    HWND recreated = this->Form->Handle();
    ASSERT_NE(nullptr, recreated);
    EXPECT_EQ(this->Original, ProcOf(recreated)) << "re-hooked before the posted message ran";
    Log.clear();
    this->Send(TestMessage);
    EXPECT_EQ((Strings{"form"}), Log);

    Pump();
    EXPECT_EQ(HookedProc<F>(), ProcOf(recreated));
    EXPECT_EQ(1, RecordCount<F>());
    EXPECT_EQ(recreated, this->Hooks[0]->ControlHook()->Window());
    Log.clear();
    this->ProbeFor(two)->Handles = false;
    this->Send(TestMessage);
    EXPECT_EQ((Strings{"two before", "one before", "form", "two after", "one after"}), Log);
}

TYPED_TEST(SkinHooks, RemovingTheLastHookRestoresTheProcedureAndFreesTheRecordOnTheNextPass)
{
    using F = typename TestFixture::F;
    auto* one = this->AddHook("one");
    auto* two = this->AddHook("two");
    two->SetWinControl(nullptr);
    EXPECT_EQ(HookedProc<F>(), ProcOf(this->Window)) << "a hook is left";
    EXPECT_EQ(nullptr, two->ControlHook());
    one->SetWinControl(nullptr);
    EXPECT_EQ(this->Original, ProcOf(this->Window));
    EXPECT_EQ(1, RecordCount<F>()) << "freed from inside the hook";
    EXPECT_EQ(nullptr, THookList<F>::Instance()->Records(0)->Control());
    Pump();
    EXPECT_EQ(0, RecordCount<F>());
    this->Send(TestMessage);
    EXPECT_EQ((Strings{"form"}), Log);
    EXPECT_TRUE(one->Active()) << "a hook without a control stays armed";
    // Set again, it hooks again.
    one->SetWinControl(this->Form);
    EXPECT_EQ(HookedProc<F>(), ProcOf(this->Window));
}

TYPED_TEST(SkinHooks, InactiveHookDetachesAndReattaches)
{
    using F = typename TestFixture::F;
    auto* one = this->AddHook("one");
    one->SetActive(false);
    EXPECT_FALSE(one->Active());
    EXPECT_EQ(this->Original, ProcOf(this->Window));
    EXPECT_EQ(this->Form, one->GetWinControl());
    this->Send(TestMessage);
    EXPECT_EQ((Strings{"form"}), Log);
    one->SetActive(true);
    EXPECT_EQ(HookedProc<F>(), ProcOf(this->Window));
    Log.clear();
    this->Send(TestMessage);
    EXPECT_EQ((Strings{"one before", "form", "one after"}), Log);
    Pump();
    EXPECT_EQ(1, RecordCount<F>());
}

TYPED_TEST(SkinHooks, DesignedControlIsNotSubclassed)
{
    this->Form->SetComponentState(csDesigning);
    auto* one = this->AddHook("one");
    EXPECT_EQ(this->Original, ProcOf(this->Window));
    one->SetWinControl(nullptr);
    this->Form->ClearComponentState(csDesigning);
}

TYPED_TEST(SkinHooks, HookHandleIsTheUtilityWindowOrMinusOne)
{
    using F = typename TestFixture::F;
    Pump();
    ASSERT_EQ(0, RecordCount<F>());
    THookList<F>::Release();
    typename TestFixture::Hook probe(nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(intptr_t(-1)), probe.GetHookHandle());
    this->AddHook("one");
    ASSERT_NE(nullptr, THookList<F>::Instance());
    HWND utility = probe.GetHookHandle();
    EXPECT_EQ(THookList<F>::Instance()->UtilityWindow(), utility);
    EXPECT_TRUE(IsWindow(utility));
    // Each family its own.
    EXPECT_NE(THookList<TKsFamily>::Ensure()->UtilityWindow(), THookList<TMpFamily>::Ensure()->UtilityWindow());
}

TYPED_TEST(SkinHooks, ExceptionInAHookIsShownAndTheOtherHooksAndTheFormRun)
{
    TExceptionCatcher catcher;
    this->AddHook("one");
    auto* two = this->AddHook("two");
    this->ProbeFor(two)->Throws = true;
    EXPECT_EQ(7, this->Send(TestMessage));
    EXPECT_EQ((Strings{"two before", "one before", "form", "two after", "one after"}), Log);
    EXPECT_EQ((Strings{"two failed"}), catcher.Messages);
}

TYPED_TEST(SkinHooks, SecondSubclasserIsLeftInPlaceAndTheFormKeepsItsProcedure)
{
    using F = typename TestFixture::F;
    auto* one = this->AddHook("one");
    InstallForeign(this->Window);
    EXPECT_EQ(HookedProc<F>(), reinterpret_cast<LONG_PTR>(ForeignPrev));
    one->SetWinControl(nullptr);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ForeignProc), ProcOf(this->Window)) << "the later subclasser was cut out";
    Pump();
    EXPECT_EQ(0, RecordCount<F>());
    // Messages still come through ours, and on to the form's own procedure.
    EXPECT_EQ(7, this->Send(TestMessage));
    EXPECT_EQ((Strings{"form"}), Log);
    EXPECT_EQ(1, ForeignCalls);

    // Hooked again, ours is not put in a second time: the hooks run where
    // ours sits in the chain.
    one->SetWinControl(this->Form);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ForeignProc), ProcOf(this->Window));
    Log.clear();
    EXPECT_EQ(7, this->Send(TestMessage));
    EXPECT_EQ((Strings{"one before", "form", "one after"}), Log);
    EXPECT_EQ(2, ForeignCalls);
    one->SetWinControl(nullptr);

    // The foreign procedure leaves: ours is on top again and takes itself
    // out at the next message.
    SetWindowLongPtrA(this->Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignPrev));
    Log.clear();
    EXPECT_EQ(7, this->Send(TestMessage));
    EXPECT_EQ((Strings{"form"}), Log);
    EXPECT_EQ(this->Original, ProcOf(this->Window));
}

TYPED_TEST(SkinHooks, WindowUnderAForeignSubclasserIsDestroyedCleanly)
{
    using F = typename TestFixture::F;
    auto* one = this->AddHook("one");
    InstallForeign(this->Window);
    one->SetWinControl(nullptr);
    Pump();
    // The link passes the window's last messages on and goes with it.
    this->Form->Free();
    this->Form = nullptr;
    EXPECT_EQ(0, RecordCount<F>());
    EXPECT_FALSE(IsWindow(this->Window));
    EXPECT_EQ(nullptr, GetPropA(this->Window, F::HookProperty));
}

TYPED_TEST(SkinHooks, ControlFreedWhileHookedIsForgotten)
{
    using F = typename TestFixture::F;
    auto* one = this->AddHook("one");
    this->AddHook("two");
    this->Form->Free();
    this->Form = nullptr;
    EXPECT_EQ(nullptr, one->GetWinControl());
    EXPECT_EQ(nullptr, one->ControlHook());
    for (int i = 0; i < RecordCount<F>(); ++i)
        EXPECT_EQ(nullptr, THookList<F>::Instance()->Records(i)->Control()) << "a record names the freed form";
    Pump();
    EXPECT_EQ(0, RecordCount<F>());
    // The hook is still armed for a new control.
    EXPECT_TRUE(one->Active());
    this->Form = new THookTestForm(nullptr);
    one->SetWinControl(this->Form);
    EXPECT_EQ(HookedProc<F>(), ProcOf(this->Form->Handle()));
    this->Send(TestMessage);
    EXPECT_EQ((Strings{"one before", "form", "one after"}), Log);
}

TYPED_TEST(SkinHooks, PendingRehookOfAFreedControlDoesNothing)
{
    using F = typename TestFixture::F;
    this->AddHook("one");
    this->Form->RecreateWnd();
    this->Form->Free();
    this->Form = nullptr;
    Pump();
    EXPECT_EQ(0, RecordCount<F>());
}

TYPED_TEST(SkinHooks, FreedHookLeavesNoRecordWithItsControl)
{
    using F = typename TestFixture::F;
    auto* one = this->AddHook("one");
    this->FreeHook(one);
    EXPECT_EQ(this->Original, ProcOf(this->Window));
    ASSERT_EQ(1, RecordCount<F>());
    EXPECT_EQ(nullptr, THookList<F>::Instance()->Records(0)->Control());
    Pump();
    EXPECT_EQ(0, RecordCount<F>());

    // Freed while inactive: the record it left is freed all the same.
    auto* two = this->AddHook("two");
    two->SetActive(false);
    this->FreeHook(two);
    for (int i = 0; i < RecordCount<F>(); ++i) EXPECT_EQ(nullptr, THookList<F>::Instance()->Records(i)->Control());
    Pump();
    EXPECT_EQ(0, RecordCount<F>());
}

TYPED_TEST(SkinHooks, RecordIsNotFreedWhileItsWindowIsHandlingAMessage)
{
    using F = typename TestFixture::F;
    auto* one = this->AddHook("one");
    int countInside = -1;
    this->ProbeFor(one)->During = [&] {
        one->SetWinControl(nullptr);
        // A modal loop inside the hook: the posted free runs now.
        Pump();
        countInside = RecordCount<F>();
    };
    EXPECT_EQ(7, this->Send(TestMessage));
    EXPECT_EQ(1, countInside);
    EXPECT_EQ((Strings{"one before", "form"}), Log);
    EXPECT_EQ(this->Original, ProcOf(this->Window));
    Pump();
    EXPECT_EQ(0, RecordCount<F>());
}

TYPED_TEST(SkinHooks, HookLeavingDuringAMessageDoesNotStopTheOthers)
{
    auto* one = this->AddHook("one");
    auto* two = this->AddHook("two");
    auto* three = this->AddHook("three");
    this->ProbeFor(three)->During = [&] { this->FreeHook(two); };
    this->Send(TestMessage);
    EXPECT_EQ((Strings{"three before", "one before", "form", "three after", "one after"}), Log);
    (void)one;
}

TYPED_TEST(SkinHooks, UnhookedWindowReachingTheProcedureGetsItsControlsDefaultAnswer)
{
    using F = typename TestFixture::F;
    this->Form->SetCaption("Hooked");
    // Called for a window it never subclassed: the form's class procedure answers.
    EXPECT_EQ(6, TControlHook<F>::HookedWndProc(this->Window, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ((Strings{}), Log);
}

TYPED_TEST(SkinHooks, RecordMovedToAnotherControlLeavesTheFirstWindowWorking)
{
    using F = typename TestFixture::F;
    auto* other = new THookTestForm(nullptr);
    HWND otherWindow = other->Handle();
    auto* one = this->AddHook("one");
    auto* record = one->ControlHook();
    EXPECT_EQ(record, THookList<F>::Instance()->FindHook(this->Form));
    EXPECT_EQ(nullptr, THookList<F>::Instance()->FindHook(nullptr));
    InstallForeign(this->Window);
    record->SetControl(other);
    EXPECT_EQ(HookedProc<F>(), ProcOf(otherWindow));
    EXPECT_EQ(otherWindow, record->Window());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&ForeignProc), ProcOf(this->Window));
    // The first window still passes through ours, without hooks, to the form.
    EXPECT_EQ(7, this->Send(TestMessage));
    EXPECT_EQ((Strings{"form"}), Log);
    Log.clear();
    EXPECT_EQ(7, SendMessageA(otherWindow, TestMessage, 0, 0));
    EXPECT_EQ((Strings{"one before", "form", "one after"}), Log);
    one->SetWinControl(nullptr);
    EXPECT_EQ(this->Original, ProcOf(otherWindow));
    other->Free();
}

// --- Hook components ---------------------------------------------------------

TYPED_TEST(SkinHooks, ComponentHandsMessagesToItsHandlersAndHandledOnesSkipTheForm)
{
    using F = typename TestFixture::F;
    auto* frame = new typename TypeParam::Frame(this->Form);
    EXPECT_FALSE(frame->Active());
    EXPECT_EQ(this->Original, ProcOf(this->Window)) << "created active";
    frame->SetActive(true);
    EXPECT_EQ(HookedProc<F>(), ProcOf(this->Window));
    EXPECT_EQ(7, this->Send(TestMessage));
    EXPECT_EQ((Strings{"frame", "form", "frame after"}), Log);
    // Unhandled numbers reach the empty default handler and then the form.
    Log.clear();
    EXPECT_EQ(8, this->Send(TestMessage2));
    EXPECT_EQ((Strings{"form 2"}), Log);

    Log.clear();
    frame->Handles = true;
    EXPECT_EQ(99, this->Send(TestMessage));
    EXPECT_EQ((Strings{"frame"}), Log);

    frame->SetActive(false);
    EXPECT_EQ(this->Original, ProcOf(this->Window));
    frame->Free();
}

TYPED_TEST(SkinHooks, NestedMessageInAHandlerKeepsTheOuterMessageHandled)
{
    auto* frame = new typename TypeParam::Frame(this->Form);
    frame->SetActive(true);
    frame->Handles = true;
    frame->SendsSecond = true;
    EXPECT_EQ(99, this->Send(TestMessage));
    EXPECT_EQ((Strings{"frame", "form 2"}), Log);
    frame->Free();
}

TYPED_TEST(SkinHooks, StreamedInactiveComponentDoesNotSubclassUntilActive)
{
    using F = typename TestFixture::F;
    using Frame = typename TypeParam::Frame;
    const std::string head = std::string("object HookTestForm: THookTestForm\n  object Frame: ") + Frame::StaticClassName() + "\n";
    auto* off = new THookTestForm(nullptr);
    ReadFormText(off, head + "    Active = False\n  end\nend\n", nullptr);
    auto* frame = off->FindComponent<Frame>("Frame");
    ASSERT_NE(nullptr, frame);
    EXPECT_FALSE(frame->Active());
    EXPECT_EQ(this->Original, ProcOf(off->Handle()));
    frame->SetActive(true);
    EXPECT_EQ(HookedProc<F>(), ProcOf(off->Handle()));
    off->Free();

    auto* on = new THookTestForm(nullptr);
    ReadFormText(on, head + "    Active = True\n  end\nend\n", nullptr);
    EXPECT_TRUE(on->FindComponent<Frame>("Frame")->Active());
    EXPECT_EQ(HookedProc<F>(), ProcOf(on->Handle()));
    // The form takes its frame down with it.
    on->Free();
}

TYPED_TEST(SkinHooks, FormFreedWithItsFrameLeavesNothingBehind)
{
    using F = typename TestFixture::F;
    auto* frame = new typename TypeParam::Frame(this->Form);
    frame->SetActive(true);
    this->Form->Free();
    this->Form = nullptr;
    Pump();
    EXPECT_EQ(0, RecordCount<F>());
}

TYPED_TEST(SkinHooks, FrameOwnedElsewhereForgetsAFreedForm)
{
    using F = typename TestFixture::F;
    auto* frame = new typename TypeParam::Frame(nullptr);
    // The form set by hand, as a frame owned by something else would be.
    frame->SetHookedForm(this->Form);
    frame->SetActive(true);
    EXPECT_EQ(HookedProc<F>(), ProcOf(this->Window));
    this->Form->Free();
    this->Form = nullptr;
    EXPECT_EQ(nullptr, frame->Hook()->GetWinControl());
    // Hooking again finds no form rather than the freed one.
    frame->SetActive(false);
    frame->SetActive(true);
    EXPECT_EQ(nullptr, frame->Hook()->GetWinControl());
    frame->Free();
}

// --- What differs between the families -----------------------------------------

// A form with a windowed child and a hook component that hooks neither yet.
template <class C>
struct TComponentOnForm {
    THookTestForm* Form = new THookTestForm(nullptr);
    TCustomControl* Panel = new TCustomControl(Form);
    C* Frame = new C(nullptr);
    TComponentOnForm()
    {
        Panel->SetParent(Form);
        EXPECT_EQ(nullptr, Frame->GetForm());
        EXPECT_EQ(nullptr, Frame->GetHandle());
        Frame->Hook()->SetWinControl(Form);
        EXPECT_EQ(Form, Frame->GetForm());
        EXPECT_EQ(Form->Handle(), Frame->GetHandle());
        Frame->Hook()->SetWinControl(Panel);
    }
    ~TComponentOnForm()
    {
        Frame->Free();
        Form->Free();
        Pump();
        EXPECT_EQ(0, RecordCount<TKsFamily>() + RecordCount<TMpFamily>());
    }
};

TEST(SkinHooksFamilies, KsComponentGivesItsFormOrRaises)
{
    TComponentOnForm<TKsHookComponent> on;
    EXPECT_THROW(on.Frame->GetForm(), EConvertError);
    EXPECT_THROW(on.Frame->GetHandle(), EConvertError);
}

TEST(SkinHooksFamilies, MpComponentGivesItsControlAndAFormOnlyWhenItIsOne)
{
    TComponentOnForm<TMpHookComponent> on;
    EXPECT_EQ(nullptr, on.Frame->GetForm());
    EXPECT_EQ(on.Panel, on.Frame->GetControl());
    EXPECT_EQ(on.Panel->Handle(), on.Frame->GetHandle());
    on.Frame->Hook()->SetWinControl(nullptr);
    EXPECT_EQ(nullptr, on.Frame->GetControl());
}

TEST(SkinHooksFamilies, KsAndMpHooksOnOneWindowMakeTwoRecordsEachSubclassingInTurn)
{
    Log.clear();
    auto* form = new THookTestForm(nullptr);
    HWND window = form->Handle();
    LONG_PTR original = ProcOf(window);
    TProbe ksProbe, mpProbe;
    ksProbe.Name = "ks";
    mpProbe.Name = "mp";
    auto* ks = new TKsHook(nullptr);
    ks->OnBeforeMessage = MakeEvent<&TProbe::Before>(&ksProbe);
    ks->OnAfterMessage = MakeEvent<&TProbe::After>(&ksProbe);
    auto* mp = new TMpHook(nullptr);
    mp->OnBeforeMessage = MakeEvent<&TProbe::Before>(&mpProbe);
    mp->OnAfterMessage = MakeEvent<&TProbe::After>(&mpProbe);
    ks->SetWinControl(form);
    mp->SetWinControl(form);
    EXPECT_EQ(1, RecordCount<TKsFamily>());
    EXPECT_EQ(1, RecordCount<TMpFamily>());
    EXPECT_NE(THookList<TKsFamily>::Instance()->UtilityWindow(), THookList<TMpFamily>::Instance()->UtilityWindow());
    EXPECT_EQ(HookedProc<TMpFamily>(), ProcOf(window));
    EXPECT_EQ(HookedProc<TKsFamily>(), reinterpret_cast<LONG_PTR>(mp->ControlHook()->PreviousWndProc()));
    EXPECT_EQ(original, reinterpret_cast<LONG_PTR>(ks->ControlHook()->PreviousWndProc()));
    SendMessageA(window, TestMessage, 0, 0);
    EXPECT_EQ((Strings{"mp before", "ks before", "form", "ks after", "mp after"}), Log);

    // Ks leaves first, from under Mp: the form still hears everything.
    ks->SetWinControl(nullptr);
    EXPECT_EQ(HookedProc<TMpFamily>(), ProcOf(window));
    Log.clear();
    EXPECT_EQ(7, SendMessageA(window, TestMessage, 0, 0));
    EXPECT_EQ((Strings{"mp before", "form", "mp after"}), Log);
    // Mp leaves: Ks's is on top again and goes at the next message.
    mp->SetWinControl(nullptr);
    EXPECT_EQ(HookedProc<TKsFamily>(), ProcOf(window));
    Log.clear();
    EXPECT_EQ(7, SendMessageA(window, TestMessage, 0, 0));
    EXPECT_EQ((Strings{"form"}), Log);
    EXPECT_EQ(original, ProcOf(window));
    Pump();
    EXPECT_EQ(0, RecordCount<TKsFamily>());
    EXPECT_EQ(0, RecordCount<TMpFamily>());
    ks->Free();
    mp->Free();
    form->Free();
}

}  // namespace

// The form frame's system menu (its entries in each window state, its
// commands, Alt+Space), tray window, the application's minimize and
// restore, system commands, the activation rule, and MDI: the parent's
// caption and menu-bar buttons while a child is maximized, the client
// window's procedure, children restored and fitted.
#include "Application.h"
#include "Form.h"
#include "MDIChild.h"
#include "Frames.h"
#include "MenuItems.h"
#include "Menus.h"
#include "RealInput.h"
#include "ShortCuts.h"
#include "SkinClasses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A form whose own procedure notes the system commands that reach it (and
// keeps them from the platform's move and size loops).
class TSysCommandForm : public TForm {
    GANTREL_CLASS(TSysCommandForm)
public:
    explicit TSysCommandForm(TComponent* owner) : TForm(owner, 0) {}
    std::vector<WPARAM> Commands;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_SYSCOMMAND) {
            Commands.push_back(m.WParam & 0xFFF0);
            return;
        }
        TForm::Dispatch(m);
    }
};

template <class Frame>
Frame* NewActiveFrame(TCustomForm* form)
{
    auto* frame = new Frame(form);
    frame->SetMagnetic(false);
    frame->SetActive(true);
    return frame;
}

// A 300 x 200 form at (left, top) with an active Ks frame that leaves the
// application's minimize and restore alone; freed with this.
struct TFramedForm {
    TForm* Form = NewForm<TForm>(nullptr);
    TKsCustomForm* Frame = nullptr;
    TFramedForm(int left, int top)
    {
        Form->SetBounds(left, top, 300, 200);
        Frame = NewActiveFrame<TKsCustomForm>(Form);
        Frame->SetMinimizeApplication(false);
    }
    ~TFramedForm() { Form->Free(); }
    TFramedForm(const TFramedForm&) = delete;
    TFramedForm& operator=(const TFramedForm&) = delete;
    void Show()
    {
        Form->Show();
        RealInput::PumpFor(25);
    }
};


// --- System menu ----------------------------------------------------------------------

// The entries as "caption/image" in order.
template <class Frame>
std::vector<std::string> Entries(Frame* frame)
{
    frame->CreateSysMenu();
    std::vector<std::string> entries;
    auto* root = frame->SysMenuRoot();
    for (int i = 0; i < root->Count(); ++i)
        entries.push_back(root->GetItem(i)->Caption() + "/" + std::to_string(root->GetItem(i)->ImageIndex()));
    return entries;
}

using TEntries = std::vector<std::string>;

TEST(SkinFrameSysMenu, TheEntriesFollowTheWindowState)
{
    TForm* form = NewForm<TForm>(nullptr);
    auto* frame = new TKsCustomForm(form);
    ASSERT_EQ(KsDefaultBorderIcons, frame->BorderIcons());
    EXPECT_EQ((TEntries{"Mi&nimize/1", "Ma&ximize/2", "Ro&llup/4", "Minimize to &Tray/5", "-/-1", "&Close/0"}),
              Entries(frame));
    frame->SetWindowState(kwsMaximized);
    EXPECT_EQ((TEntries{"&Restore/3", "Mi&nimize/1", "Ro&llup/4", "Minimize to &Tray/5", "-/-1", "&Close/0"}),
              Entries(frame));
    frame->SetWindowState(kwsMinimized);
    EXPECT_EQ((TEntries{"&Restore/3", "-/-1", "&Close/0"}), Entries(frame));
    frame->SetWindowState(kwsRollup);
    EXPECT_EQ((TEntries{"&Restore/3", "Mi&nimize/1", "Ma&ximize/2", "Minimize to &Tray/5", "-/-1", "&Close/0"}),
              Entries(frame));
    frame->SetWindowState(kwsTray);
    EXPECT_EQ((TEntries{"&Restore/3", "-/-1", "&Close/0"}), Entries(frame));
    // Close only: no separator.
    frame->SetWindowState(kwsNormal);
    frame->SetBorderIcons(KsIcon(kbiClose));
    EXPECT_EQ((TEntries{"&Close/0"}), Entries(frame));
    EXPECT_EQ(ShortCut(VK_F4, ssAlt), frame->SysMenuRoot()->GetItem(0)->ShortCut());
    frame->SetBorderIcons(0);
    EXPECT_TRUE(Entries(frame).empty());
    form->Free();
}

TEST(SkinFrameSysMenu, MpEntriesArePlainTextsAndTheRootTakesTheFramesPopupStyle)
{
    TForm* form = NewForm<TForm>(nullptr);
    auto* frame = new TMpCustomForm(form);
    frame->SetWindowState(kwsNormal);
    EXPECT_EQ((TEntries{"Minimize/1", "Maximize/2", "Rollup/4", "Minimize to tray/5", "-/-1", "Close/0"}),
              Entries(frame));
    frame->SetSysMenuBlend(true);
    frame->SetSysMenuBlendValue(77);
    frame->SetSysMenuDropShadow(true);
    frame->SetSysMenuShadowWidth(6);
    frame->SetSysMenuShowAnimation(kaFade);
    frame->SetSysMenuShowAnimationTime(123);
    frame->CreateSysMenu();
    auto* root = frame->SysMenuRoot();
    EXPECT_TRUE(root->PopupBlend());
    EXPECT_EQ(77, root->PopupBlendValue());
    EXPECT_TRUE(root->DropShadow());
    EXPECT_EQ(6, root->ShadowWidth());
    EXPECT_EQ(kaFade, root->ShowAnimation());
    EXPECT_EQ(123, root->ShowAnimationTime());
    form->Free();
}

TEST(SkinFrameSysMenu, AChosenEntryRunsItsCommand)
{
    TFramedForm f(100, 100);
    f.Show();
    TKsCustomForm* frame = f.Frame;
    frame->CreateSysMenu();
    frame->DoSysMenu(frame->SysMenuRoot()->GetItem(1));  // Maximize
    EXPECT_EQ(kwsMaximized, frame->WindowState());
    frame->CreateSysMenu();
    frame->DoSysMenu(frame->SysMenuRoot()->GetItem(0));  // Restore
    EXPECT_EQ(kwsNormal, frame->WindowState());
    EXPECT_EQ(100, f.Form->Left());
    frame->CreateSysMenu();
    frame->DoSysMenu(frame->SysMenuRoot()->GetItem(2));  // Rollup
    EXPECT_EQ(kwsRollup, frame->WindowState());
}

TEST(SkinFrameSysMenu, AnItemRunsItsOwnCommandWhateverItsCaptionSays)
{
    TFramedForm f(100, 100);
    f.Show();
    TKsCustomForm* frame = f.Frame;
    frame->CreateSysMenu();
    // Minimize, Maximize, Rollup...: the Rollup item captioned as Maximize.
    auto* rollup = frame->SysMenuRoot()->GetItem(2);
    rollup->SetCaption(frame->SysMenuRoot()->GetItem(1)->Caption());
    frame->DoSysMenu(rollup);
    EXPECT_EQ(kwsRollup, frame->WindowState());
    frame->Restore();
}

// What a timer saw while a menu loop ran: the windows of this thread shown
// besides the form. Seen, Escape closes the menu; a watchdog closes
// everything with Alt so that a test fails instead of hanging.
struct TMenuWatch {
    HWND Form = nullptr;
    int Shown = 0;
    RECT Where{};
    int Ticks = 0;
    UINT_PTR Timer = 0;
};
TMenuWatch MenuWatch;

BOOL CALLBACK CountShown(HWND window, LPARAM found)
{
    if (window != MenuWatch.Form && IsWindowVisible(window)) {
        ++*reinterpret_cast<int*>(found);
        GetWindowRect(window, &MenuWatch.Where);
    }
    return TRUE;
}

void CALLBACK LookAndEscape(HWND, UINT, UINT_PTR, DWORD)
{
    int shown = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountShown, reinterpret_cast<LPARAM>(&shown));
    if (shown) {
        MenuWatch.Shown = shown;
        RealInput::TypeKey(VK_ESCAPE);
    }
    if (++MenuWatch.Ticks == 25) RealInput::TypeKey(VK_MENU);
    if (MenuWatch.Ticks > 30) KillTimer(nullptr, MenuWatch.Timer);
}

void WatchMenu(HWND form)
{
    MenuWatch = TMenuWatch{form, 0, {}, 0, 0};
    MenuWatch.Timer = SetTimer(nullptr, 0, 100, LookAndEscape);
}

void EndWatch()
{
    if (MenuWatch.Timer) KillTimer(nullptr, MenuWatch.Timer);
    MenuWatch.Timer = 0;
}

TEST(SkinFrameSysMenu, AltSpaceOpensTheSystemMenuBelowTheClientOrigin)
{
    using namespace RealInput;
    RegisterSkinClasses();  // the family's popup window
    PointerAway();
    TFramedForm f(150, 120);
    TForm* form = f.Form;
    TKsCustomForm* frame = f.Frame;
    form->Show();
    SetForegroundWindow(form->Handle());
    PumpFor(100);
    WatchMenu(form->Handle());
    SendKey(VK_MENU, false);
    TypeKey(VK_SPACE);
    SendKey(VK_MENU, true);
    PumpUntil([] { return MenuWatch.Shown > 0 && !GetCapture(); }, 3000);
    PumpFor(300);
    EndWatch();
    EXPECT_GE(MenuWatch.Shown, 1);
    const POINT origin = form->ClientOrigin();
    EXPECT_EQ(origin.x, MenuWatch.Where.left);
    EXPECT_EQ(origin.y, MenuWatch.Where.top);
    ASSERT_NE(nullptr, frame->SysMenuRoot());
    EXPECT_EQ(6, frame->SysMenuRoot()->Count());
    // The loop is over and the window as it was.
    EXPECT_EQ(kwsNormal, frame->WindowState());
}

// --- Tray -------------------------------------------------------------------------

class SkinFrameTray : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form->SetCaption("Tray test");
        Framed.Show();
    }
    LRESULT Notify(LPARAM mouseMessage)
    {
        return SendMessageA(Frame->TrayWindow(), KM_TRAYNOTIFY, Frame->TrayIconData().uID, mouseMessage);
    }
    TFramedForm Framed{120, 110};
    TForm* Form = Framed.Form;
    TKsCustomForm* Frame = Framed.Frame;
};

TEST_F(SkinFrameTray, ADoubleClickOnTheIconRestoresTheWindow)
{
    Frame->MinToTray();
    RealInput::PumpFor(25);
    EXPECT_EQ(kwsTray, Frame->WindowState());
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    Notify(WM_LBUTTONDOWN);
    Notify(WM_LBUTTONUP);
    EXPECT_EQ(kwsTray, Frame->WindowState());
    Notify(WM_LBUTTONDBLCLK);
    RealInput::PumpFor(25);
    EXPECT_EQ(kwsNormal, Frame->WindowState());
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    EXPECT_EQ(120, Form->Left());
    EXPECT_EQ(300, Form->Width());
}

TEST_F(SkinFrameTray, TheIconRecordIsSizedForTheBuildAndItsIdIsNoPointer)
{
    const NOTIFYICONDATAA& data = Frame->TrayIconData();
    EXPECT_EQ(sizeof(NOTIFYICONDATAA), data.cbSize);
    EXPECT_EQ(Frame->TrayWindow(), data.hWnd);
    EXPECT_EQ(UINT(KM_TRAYNOTIFY), data.uCallbackMessage);
    // A second frame's icon has the next id.
    auto* other = new TKsCustomForm(Form);
    EXPECT_EQ(data.uID + 1, other->TrayIconData().uID);
    other->Free();
}

TEST_F(SkinFrameTray, TheSessionEndingIsAnsweredAndOnlyARealEndTakesTheIcon)
{
    EXPECT_EQ(1, SendMessageA(Frame->TrayWindow(), WM_QUERYENDSESSION, 0, 0));
    Frame->MinToTray();
    RealInput::PumpFor(25);
    // The icon is there while NIM_MODIFY finds it (on a desktop without a
    // tray nothing is ever found, and only the frame's state tells).
    NOTIFYICONDATAA probe = Frame->TrayIconData();
    const bool trayAnswers = Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
    SendMessageA(Frame->TrayWindow(), WM_ENDSESSION, FALSE, 0);
    if (trayAnswers) {
        EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe));
    }
    SendMessageA(Frame->TrayWindow(), WM_ENDSESSION, TRUE, 0);
    if (trayAnswers) {
        EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe));
    }
    // The frame's own state is untouched by either.
    EXPECT_EQ(kwsTray, Frame->WindowState());
    Frame->Restore();
    EXPECT_EQ(kwsNormal, Frame->WindowState());
}

// --- The application's minimize and restore ------------------------------------------

struct TFrameAppEventProbe {
    int Minimizes = 0;
    int Restores = 0;
    void AppMinimize(TObject*) { ++Minimizes; }
    void AppRestore(TObject*) { ++Restores; }
};

// The program's own handlers are set before each test and cleared after it.
class SkinFrameApplication : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->OnMinimize = Minimize;
        Application->OnRestore = Restore;
    }
    void TearDown() override
    {
        Application->OnMinimize = nullptr;
        Application->OnRestore = nullptr;
    }
    // Once the frames are gone, the program's handlers are there again.
    void ExpectTheProgramsHandlers()
    {
        RealInput::PumpFor(25);
        EXPECT_EQ(Minimize, Application->OnMinimize);
        EXPECT_EQ(Restore, Application->OnRestore);
    }
    TFrameAppEventProbe Probe;
    const TNotifyEvent Minimize = MakeEvent<&TFrameAppEventProbe::AppMinimize>(&Probe);
    const TNotifyEvent Restore = MakeEvent<&TFrameAppEventProbe::AppRestore>(&Probe);
};

TEST_F(SkinFrameApplication, MinimizeAndRestoreAreChainedWhileTheFrameLivesAndPutBackAfter)
{
    TForm* form = NewForm<TForm>(nullptr);
    form->SetBounds(100, 100, 300, 200);
    auto* frame = NewActiveFrame<TKsCustomForm>(form);
    ASSERT_TRUE(frame->MinimizeApplication());
    form->Show();
    // The first activation of the frame chains them.
    SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_NE(Minimize, Application->OnMinimize);
    EXPECT_NE(Restore, Application->OnRestore);
    // The frame's handlers run and call the saved ones.
    Application->OnMinimize(Application);
    EXPECT_EQ(kwsMinimized, frame->WindowState());
    EXPECT_EQ(1, Probe.Minimizes);
    Application->OnRestore(Application);
    EXPECT_EQ(kwsNormal, frame->WindowState());
    EXPECT_EQ(1, Probe.Restores);
    // Activated again: chained once only.
    SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
    Application->OnRestore(Application);
    EXPECT_EQ(2, Probe.Restores);
    form->Free();
    ExpectTheProgramsHandlers();
}

TEST_F(SkinFrameApplication, EmptyHandlersArePutBackEmpty)
{
    Application->OnMinimize = nullptr;
    Application->OnRestore = nullptr;
    TForm* form = NewForm<TForm>(nullptr);
    auto* frame = NewActiveFrame<TKsCustomForm>(form);
    (void)frame;
    form->Show();
    SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_TRUE(bool(Application->OnMinimize));
    form->Free();
    RealInput::PumpFor(25);
    EXPECT_FALSE(bool(Application->OnMinimize));
    EXPECT_FALSE(bool(Application->OnRestore));
}

TEST_F(SkinFrameApplication, FramesGoingInTheOrderTheyCameLeaveNoHandlerOfAFreedFrame)
{
    TForm* first = NewForm<TForm>(nullptr);
    first->SetBounds(100, 100, 300, 200);
    NewActiveFrame<TKsCustomForm>(first);
    TForm* second = NewForm<TForm>(nullptr);
    second->SetBounds(150, 150, 300, 200);
    auto* secondFrame = NewActiveFrame<TMpCustomForm>(second);
    first->Show();
    SendMessageA(first->Handle(), WM_NCACTIVATE, TRUE, 0);
    second->Show();
    SendMessageA(second->Handle(), WM_NCACTIVATE, TRUE, 0);
    // The first frame goes while the second still calls it next.
    first->Free();
    RealInput::PumpFor(25);
    Application->OnMinimize(Application);
    EXPECT_EQ(kwsMinimized, secondFrame->WindowState());
    EXPECT_EQ(1, Probe.Minimizes);
    Application->OnRestore(Application);
    EXPECT_EQ(1, Probe.Restores);
    second->Free();
    ExpectTheProgramsHandlers();
    // A handler the program set after a frame had chained stays when the frame goes.
    TForm* third = NewForm<TForm>(nullptr);
    NewActiveFrame<TKsCustomForm>(third);
    third->Show();
    SendMessageA(third->Handle(), WM_NCACTIVATE, TRUE, 0);
    Application->OnMinimize = Minimize;
    third->Free();
    ExpectTheProgramsHandlers();
}

// --- System commands and activation --------------------------------------------------

TEST(SkinFrameSysCommand, MoveAndSizeNeverReachThePlatform)
{
    auto* form = NewForm<TSysCommandForm>(nullptr);
    form->SetBounds(100, 100, 300, 200);
    auto* frame = NewActiveFrame<TKsCustomForm>(form);
    (void)frame;
    form->Show();
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MOVE, 0);
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_SIZE | 2, 0);
    // Others go on to the form.
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
    ASSERT_EQ(1u, form->Commands.size());
    EXPECT_EQ(WPARAM(SC_CONTEXTHELP), form->Commands[0]);
    form->Free();
}

TEST(SkinFrameSysCommand, MpClosesOnCloseItselfAndKsLeavesItToTheForm)
{
    auto* form = NewForm<TSysCommandForm>(nullptr);
    form->SetBounds(100, 100, 300, 200);
    auto* mp = NewActiveFrame<TMpCustomForm>(form);
    form->Show();
    RealInput::PumpFor(25);
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(form->Commands.empty());
    EXPECT_FALSE(form->Visible());
    mp->SetActive(false);
    auto* ks = NewActiveFrame<TKsCustomForm>(form);
    (void)ks;
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(1u, form->Commands.size());
    EXPECT_EQ(WPARAM(SC_CLOSE), form->Commands[0]);
    form->Free();
}

TEST(SkinFrameActivate, AnActivationOfAMinimizedWindowWithAnInactiveCaptionMinimizesTheFrame)
{
    TFramedForm f(100, 100);
    f.Show();
    const HWND window = f.Form->Handle();
    SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    EXPECT_EQ(kwsNormal, f.Frame->WindowState());
    SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0);
    EXPECT_EQ(kwsMinimized, f.Frame->WindowState());
}

// --- MDI ------------------------------------------------------------------------------

class SkinFrameMDI : public ::testing::Test {
protected:
    void SetUp() override
    {
        Parent = new TForm(nullptr, 0);
        Parent->FormStyle = fsMDIForm;
        Parent->SetBounds(50, 50, 500, 400);
        Parent->SetCaption("Parent");
        Parent->AfterConstruction();
        ParentFrame = NewActiveFrame<TKsCustomForm>(Parent);
        Parent->Show();
        ParentFrame->InstallClientProc();
        RealInput::PumpFor(25);
    }
    void TearDown() override
    {
        Parent->Free();
        RealInput::PumpFor(25);
    }
    TKsCustomForm* NewChild(const std::string& caption)
    {
        TForm* child = NewMDIChild(Parent, caption, 10 + 30 * Parent->MDIChildCount(), 10, 200, 150);
        auto* frame = NewActiveFrame<TKsCustomForm>(child);
        child->Show();
        RealInput::PumpFor(25);
        return frame;
    }
    TForm* Parent = nullptr;
    TKsCustomForm* ParentFrame = nullptr;
};

TEST_F(SkinFrameMDI, AChildFrameStartsAsAnMDIChildsFrame)
{
    TKsCustomForm* frame = NewChild("Child");
    EXPECT_EQ(9, frame->MagneticValue());
    EXPECT_FALSE(frame->MinimizeApplication());
    EXPECT_EQ(KsMDIChildBorderIcons, frame->BorderIcons());
    EXPECT_EQ(Parent, frame->GetMDIParentForm());
    EXPECT_EQ(ParentFrame, frame->GetMDIParentKsForm());
    EXPECT_EQ(nullptr, ParentFrame->GetMDIParentForm());
}

TEST_F(SkinFrameMDI, TheParentsCaptionNamesTheMaximizedChildUntilItIsRestored)
{
    TKsCustomForm* frame = NewChild("Child");
    EXPECT_FALSE(frame->IsMDIChildMaximized());
    frame->Maximize();
    RealInput::PumpFor(25);
    EXPECT_TRUE(frame->IsMDIChildMaximized());
    EXPECT_TRUE(ParentFrame->IsMDIChildMaximized());
    EXPECT_EQ("Parent - [Child]", Parent->Caption());
    // Never extended twice.
    frame->ChangeMDIParentCaption();
    EXPECT_EQ("Parent - [Child]", Parent->Caption());
    frame->Restore();
    RealInput::PumpFor(25);
    EXPECT_FALSE(ParentFrame->IsMDIChildMaximized());
    EXPECT_EQ("Parent", Parent->Caption());
}

TEST_F(SkinFrameMDI, ABracketNearTheStartOfTheParentsCaptionIsCutFromTheStart)
{
    TKsCustomForm* frame = NewChild("Child");
    Parent->SetCaption("a[b");
    frame->ChangeMDIParentCaption();
    EXPECT_EQ("", Parent->Caption());
    Parent->SetCaption("[x]");
    frame->Maximize();
    EXPECT_EQ(" - [Child]", Parent->Caption());
    frame->Restore();
}

TEST_F(SkinFrameMDI, AChildsNewCaptionReachesTheParentWhileItIsMaximized)
{
    TKsCustomForm* frame = NewChild("Child");
    frame->Maximize();
    RealInput::PumpFor(25);
    frame->GetForm()->SetCaption("Renamed");
    RealInput::PumpFor(25);
    // The frame sees a new caption when the text is read (a painter reads
    // it; a maximized child paints no caption of its own).
    EXPECT_EQ("Renamed", frame->GetForm()->Caption());
    RealInput::PumpFor(25);
    EXPECT_EQ("Parent - [Renamed]", Parent->Caption());
    frame->Restore();
}

TEST_F(SkinFrameMDI, RestoringTheChildrenRestoresEveryMaximizedOne)
{
    TKsCustomForm* first = NewChild("First");
    TKsCustomForm* second = NewChild("Second");
    first->Maximize();
    EXPECT_TRUE(second->IsMDIChildMaximized());
    second->RestoreMDIChildren();
    EXPECT_EQ(kwsNormal, first->WindowState());
    EXPECT_EQ("Parent", Parent->Caption());
    EXPECT_EQ(10, first->GetForm()->Left());
    EXPECT_EQ(200, first->GetForm()->Width());
}

TEST_F(SkinFrameMDI, TheActiveMaximizedChildFollowsTheParentsSize)
{
    TKsCustomForm* frame = NewChild("Child");
    frame->Maximize();
    RealInput::PumpFor(25);
    Parent->SetBounds(50, 50, 560, 430);
    RealInput::PumpFor(25);
    RECT client;
    GetClientRect(Parent->ClientHandle(), &client);
    TCustomForm* child = frame->GetForm();
    EXPECT_EQ(client.right, child->Width());
    EXPECT_EQ(client.bottom, child->Height());
    frame->Restore();
}

TEST_F(SkinFrameMDI, TheClientWindowLetsTheMouseThroughAndLosesItsEdgeOnRequest)
{
    HWND client = Parent->ClientHandle();
    ASSERT_NE(nullptr, client);
    POINT p{5, 5};
    ClientToScreen(client, &p);
    // Pointer-sized: -1, not 0xFFFFFFFF.
    EXPECT_EQ(LRESULT(HTTRANSPARENT), SendMessageA(client, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)));
    SetWindowLongPtrA(client, GWL_EXSTYLE, GetWindowLongPtrA(client, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SendMessageA(client, KM_REMOVECLIENTEDGE, 0, 0);
    EXPECT_FALSE(GetWindowLongPtrA(client, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(SkinFrameMDI, AFreedFrameGivesTheClientWindowItsProcedureBack)
{
    HWND client = Parent->ClientHandle();
    const LONG_PTR framed = GetWindowLongPtrA(client, GWLP_WNDPROC);
    ParentFrame->Free();
    ParentFrame = nullptr;
    EXPECT_NE(framed, GetWindowLongPtrA(client, GWLP_WNDPROC));
    POINT p{5, 5};
    ClientToScreen(client, &p);
    EXPECT_EQ(LRESULT(HTCLIENT), SendMessageA(client, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)));
}


namespace {
WNDPROC LaterClientProc = nullptr;
LRESULT CALLBACK LaterSubclass(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(LaterClientProc, window, msg, wParam, lParam);
}
}  // namespace

TEST_F(SkinFrameMDI, AFrameLeavingUnderALaterSubclasserKeepsTheClientsOwnHandling)
{
    TKsCustomForm* child = NewChild("Child");
    HWND client = Parent->ClientHandle();
    LaterClientProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterSubclass)));
    ParentFrame->Free();
    ParentFrame = nullptr;
    // The client window still answers as one: its active child.
    EXPECT_EQ(reinterpret_cast<LRESULT>(child->GetForm()->Handle()), SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
    SetWindowLongPtrA(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LaterClientProc));
}

TEST_F(SkinFrameMDI, AMaximizedChildsButtonsShowOnTheParentsMenuBar)
{
    auto* bar = new TKsCustomMenuBar(Parent);
    bar->SetParent(Parent);
    ParentFrame->SetMenuBar(bar);
    TKsCustomForm* frame = NewChild("Child");
    EXPECT_EQ(nullptr, bar->ActiveMDIChild());
    frame->Maximize();
    RealInput::PumpFor(25);
    EXPECT_EQ(frame->GetForm(), bar->ActiveMDIChild());
    frame->Restore();
    RealInput::PumpFor(25);
    EXPECT_EQ(nullptr, bar->ActiveMDIChild());
    // A bar that goes is forgotten.
    bar->Free();
    EXPECT_EQ(nullptr, ParentFrame->GetMenuBar());
    frame->Maximize();
    frame->Restore();
}

}  // namespace

// The form frame's tray window, the application's minimize and restore,
// system commands, the activation rule, and MDI: the parent's caption while
// a child is maximized, the client window's procedure, children restored
// and fitted.
#include "Application.h"
#include "Form.h"
#include "Frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Pump()
{
    for (int i = 0; i < 5; ++i) {
        Application->ProcessMessages();
        Sleep(5);
    }
}

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

// --- Tray -------------------------------------------------------------------------

class SkinFrameTray : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = NewForm<TForm>(nullptr);
        Form->SetBounds(120, 110, 300, 200);
        Form->SetCaption("Tray test");
        Frame = NewActiveFrame<TKsCustomForm>(Form);
        Frame->SetMinimizeApplication(false);
        Form->Show();
        Pump();
    }
    void TearDown() override { Form->Free(); }
    LRESULT Notify(LPARAM mouseMessage)
    {
        return SendMessageA(Frame->TrayWindow(), KM_TRAYNOTIFY, Frame->TrayIconData().uID, mouseMessage);
    }
    TForm* Form = nullptr;
    TKsCustomForm* Frame = nullptr;
};

TEST_F(SkinFrameTray, ADoubleClickOnTheIconRestoresTheWindow)
{
    Frame->MinToTray();
    Pump();
    EXPECT_EQ(kwsTray, Frame->WindowState());
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    Notify(WM_LBUTTONDOWN);
    Notify(WM_LBUTTONUP);
    EXPECT_EQ(kwsTray, Frame->WindowState());
    Notify(WM_LBUTTONDBLCLK);
    Pump();
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
    Pump();
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

TEST(SkinFrameApplication, MinimizeAndRestoreAreChainedWhileTheFrameLivesAndPutBackAfter)
{
    TFrameAppEventProbe probe;
    const TNotifyEvent minimize = MakeEvent<&TFrameAppEventProbe::AppMinimize>(&probe);
    const TNotifyEvent restore = MakeEvent<&TFrameAppEventProbe::AppRestore>(&probe);
    Application->OnMinimize = minimize;
    Application->OnRestore = restore;
    TForm* form = NewForm<TForm>(nullptr);
    form->SetBounds(100, 100, 300, 200);
    auto* frame = NewActiveFrame<TKsCustomForm>(form);
    ASSERT_TRUE(frame->MinimizeApplication());
    form->Show();
    // The first activation of the frame chains them.
    SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_NE(minimize, Application->OnMinimize);
    EXPECT_NE(restore, Application->OnRestore);
    // The frame's handlers run and call the saved ones.
    Application->OnMinimize(Application);
    EXPECT_EQ(kwsMinimized, frame->WindowState());
    EXPECT_EQ(1, probe.Minimizes);
    Application->OnRestore(Application);
    EXPECT_EQ(kwsNormal, frame->WindowState());
    EXPECT_EQ(1, probe.Restores);
    // Activated again: chained once only.
    SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
    Application->OnRestore(Application);
    EXPECT_EQ(2, probe.Restores);
    form->Free();
    Pump();
    EXPECT_EQ(minimize, Application->OnMinimize);
    EXPECT_EQ(restore, Application->OnRestore);
    Application->OnMinimize = nullptr;
    Application->OnRestore = nullptr;
}

TEST(SkinFrameApplication, EmptyHandlersArePutBackEmpty)
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
    Pump();
    EXPECT_FALSE(bool(Application->OnMinimize));
    EXPECT_FALSE(bool(Application->OnRestore));
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
    Pump();
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
    TForm* form = NewForm<TForm>(nullptr);
    form->SetBounds(100, 100, 300, 200);
    auto* frame = NewActiveFrame<TKsCustomForm>(form);
    frame->SetMinimizeApplication(false);
    form->Show();
    Pump();
    SendMessageA(form->Handle(), WM_NCACTIVATE, FALSE, 0);
    SendMessageA(form->Handle(), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    EXPECT_EQ(kwsNormal, frame->WindowState());
    SendMessageA(form->Handle(), WM_NCACTIVATE, FALSE, 0);
    SendMessageA(form->Handle(), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0);
    EXPECT_EQ(kwsMinimized, frame->WindowState());
    form->Free();
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
        Pump();
    }
    void TearDown() override
    {
        Parent->Free();
        Pump();
    }
    TKsCustomForm* NewChild(const std::string& caption)
    {
        auto* child = new TForm(Parent, 0);
        child->FormStyle = fsMDIChild;
        child->SetBounds(10 + 30 * Parent->MDIChildCount(), 10, 200, 150);
        child->SetCaption(caption);
        child->AfterConstruction();
        auto* frame = NewActiveFrame<TKsCustomForm>(child);
        child->Show();
        Pump();
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
    Pump();
    EXPECT_TRUE(frame->IsMDIChildMaximized());
    EXPECT_TRUE(ParentFrame->IsMDIChildMaximized());
    EXPECT_EQ("Parent - [Child]", Parent->Caption());
    // Never extended twice.
    frame->ChangeMDIParentCaption();
    EXPECT_EQ("Parent - [Child]", Parent->Caption());
    frame->Restore();
    Pump();
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
    Pump();
    frame->GetForm()->SetCaption("Renamed");
    Pump();
    // The frame sees a new caption when the text is read (a painter reads
    // it; a maximized child paints no caption of its own).
    EXPECT_EQ("Renamed", frame->GetForm()->Caption());
    Pump();
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
    Pump();
    Parent->SetBounds(50, 50, 560, 430);
    Pump();
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
    SendMessageA(client, 63, 0, 0);
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

}  // namespace

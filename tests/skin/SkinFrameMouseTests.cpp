// The form frame's hit testing, its answers to Windows' hit tests, moving
// and sizing by the mouse, snapping, and the caption buttons' press and
// release; then the same with the real mouse on framed forms of the
// frame's own geometry. The hit-test table runs on a frame whose geometry the test
// gives (a 4-pixel border, a 20-pixel band above the client, buttons where
// the test puts them), so the expectations follow from the rules alone.
#include "Application.h"
#include "CloseCounter.h"
#include "Form.h"
#include "Frames.h"
#include "RealInput.h"

#include <gtest/gtest.h>

#include <windowsx.h>

#include <cstdlib>

namespace {

constexpr int Border = 4;
constexpr int CaptionBand = 20;
constexpr int ButtonTop = 40;
constexpr int ButtonY = ButtonTop + 8;

// A frame with the test's own geometry: the client rectangle inset by the
// border with the caption band above it, the frame size set directly.
template <class Base>
class TGeometryFrame : public Base {
public:
    explicit TGeometryFrame(TComponent* owner) : Base(owner) {}
    void SetFrameSize(int width, int height)
    {
        this->FFrameWidth = this->FWindowWidth = width;
        this->FFrameHeight = this->FWindowHeight = height;
    }
    void SetWindowSize(int width, int height)
    {
        this->FWindowWidth = width;
        this->FWindowHeight = height;
    }
    void SetState(TKsWindowState state) { this->FWindowState = state; }
    RECT GetClientRect() override
    {
        return RECT{Border, Border + CaptionBand, this->FFrameWidth - Border, this->FFrameHeight - Border};
    }
    // A row of buttons clear of every border zone (how much of the band is
    // caption is the painting's business), help overlapping maximize's left
    // half (the later test wins); the system-menu square at the top left.
    RECT GetButtonRect(TKsBorderIcon icon) override
    {
        const int top = ButtonTop, bottom = ButtonTop + 16, right = this->FFrameWidth - Border - 2;
        switch (icon) {
        case kbiClose: return RECT{right - 16, top, right, bottom};
        case kbiMaximize: return RECT{right - 34, top, right - 18, bottom};
        case kbiHelp: return RECT{right - 34, top, right - 26, bottom};
        case kbiMinimize: return RECT{right - 50, top, right - 34, bottom};
        case kbiRollup: return RECT{right - 68, top, right - 52, bottom};
        case kbiTray: return RECT{right - 84, top, right - 68, bottom};
        case kbiSystemMenu: return RECT{Border, Border, Border + 18, Border + 18};
        }
        return RECT{0, 0, 0, 0};
    }
};

using TKsGeometryFrame = TGeometryFrame<TKsCustomForm>;
using TMpGeometryFrame = TGeometryFrame<TMpCustomForm>;

// A frame whose hit test answers what the test says, for the answers to
// Windows and the drag rules on their own.
template <class Base>
class TFixedHitFrame : public Base {
public:
    explicit TFixedHitFrame(TComponent* owner) : Base(owner) {}
    TKsHitTest Hit = khtClient;
    TKsHitTest GetHitTest(int, int) override { return Hit; }
    void SetState(TKsWindowState state) { this->FWindowState = state; }
};

class SkinFrameHitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr, 0);
        Frame = new TKsGeometryFrame(Form);
        // The Part's example window: 120 pixels tall.
        Frame->SetFrameSize(300, 120);
    }
    void TearDown() override { Form->Free(); }
    TKsHitTest Hit(int x, int y) { return Frame->GetHitTest(x, y); }
    TForm* Form = nullptr;
    TKsGeometryFrame* Frame = nullptr;
};

TEST_F(SkinFrameHitTest, TheLeftEdgeHasCornerZonesOfTwentyPixels)
{
    EXPECT_EQ(khtTopLeft, Hit(0, 19));
    EXPECT_EQ(khtLeft, Hit(0, 20));
    EXPECT_EQ(khtLeft, Hit(3, 100));
    EXPECT_EQ(khtBottomLeft, Hit(0, 101));
    EXPECT_EQ(khtBottomLeft, Hit(3, 119));
}

TEST_F(SkinFrameHitTest, TheRightEdgeHasCornerZonesOfTwentyPixels)
{
    EXPECT_EQ(khtTopRight, Hit(299, 19));
    EXPECT_EQ(khtRight, Hit(299, 20));
    EXPECT_EQ(khtRight, Hit(296, 100));
    EXPECT_EQ(khtBottomRight, Hit(296, 101));
}

TEST_F(SkinFrameHitTest, TheTopAndBottomBordersHaveCornerZonesOfTwentyPixels)
{
    EXPECT_EQ(khtTopLeft, Hit(19, 0));
    EXPECT_EQ(khtTop, Hit(20, 0));
    EXPECT_EQ(khtTop, Hit(280, 3));
    EXPECT_EQ(khtTopRight, Hit(281, 3));
    EXPECT_EQ(khtBottomLeft, Hit(19, 119));
    EXPECT_EQ(khtBottom, Hit(20, 116));
    EXPECT_EQ(khtBottom, Hit(280, 116));
    EXPECT_EQ(khtBottomRight, Hit(281, 119));
}

TEST_F(SkinFrameHitTest, TheClientRectangleEndsBeforeItsRightAndBottom)
{
    const RECT c = Frame->GetClientRect();
    EXPECT_EQ(khtClient, Hit(150, 60));
    EXPECT_EQ(khtClient, Hit(c.left, c.top));
    EXPECT_EQ(khtClient, Hit(c.right - 1, c.bottom - 1));
    EXPECT_EQ(khtRight, Hit(c.right, 60));
    EXPECT_EQ(khtBottom, Hit(150, c.bottom));
}

TEST_F(SkinFrameHitTest, CaptionButtonsAnswerOverTheirRectanglesAndTheLaterWins)
{
    const int right = 300 - Border - 2;
    EXPECT_EQ(khtCloseButton, Hit(right - 8, ButtonY));
    EXPECT_EQ(khtMaxButton, Hit(right - 20, ButtonY));
    // Help is tested after maximize: where both are, help answers.
    EXPECT_EQ(khtHelpButton, Hit(right - 30, ButtonY));
    EXPECT_EQ(khtMinButton, Hit(right - 40, ButtonY));
    EXPECT_EQ(khtRollButton, Hit(right - 60, ButtonY));
    EXPECT_EQ(khtTrayButton, Hit(right - 76, ButtonY));
    EXPECT_EQ(khtClient, Hit(right - 51, ButtonY));
    // The system-menu square lies in the top-left corner zone: rolled up,
    // where no border test follows the buttons', it answers.
    Frame->SetState(kwsRollup);
    EXPECT_EQ(khtSysMenuButton, Hit(10, 10));
}

TEST_F(SkinFrameHitTest, MaximizedMinimizedAndRolledUpWindowsHaveNoBorders)
{
    for (TKsWindowState state : {kwsMaximized, kwsMinimized, kwsRollup}) {
        Frame->SetState(state);
        EXPECT_EQ(khtClient, Hit(0, 60)) << state;
        EXPECT_EQ(khtClient, Hit(299, 60)) << state;
        EXPECT_EQ(khtClient, Hit(150, 119)) << state;
        EXPECT_EQ(khtCaption, Hit(150, 0)) << state;
    }
}

TEST(SkinFrameHitTestMp, TheDropShadowIsNoResizeZone)
{
    TForm* form = new TForm(nullptr, 0);
    auto* frame = new TMpGeometryFrame(form);
    frame->SetFrameSize(300, 120);
    frame->SetDropShadow(true);
    frame->SetWindowSize(304, 124);
    EXPECT_EQ(khtRight, frame->GetHitTest(299, 60));
    EXPECT_NE(khtRight, frame->GetHitTest(301, 60));
    EXPECT_NE(khtBottomRight, frame->GetHitTest(301, 121));
    EXPECT_EQ(khtBottom, frame->GetHitTest(150, 119));
    EXPECT_NE(khtBottom, frame->GetHitTest(150, 121));
    form->Free();
}

// --- The answers to Windows ----------------------------------------------------------

class SkinFrameNCHitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr, 0);
        Frame = new TFixedHitFrame<TKsCustomForm>(Form);
    }
    void TearDown() override { Form->Free(); }
    LRESULT Answer(TKsHitTest hit)
    {
        Frame->Hit = hit;
        TMessage m;
        m.Msg = WM_NCHITTEST;
        m.LParam = MAKELPARAM(10, 10);
        Frame->Dispatch(m);
        return m.Result;
    }
    TForm* Form = nullptr;
    TFixedHitFrame<TKsCustomForm>* Frame = nullptr;
};

TEST_F(SkinFrameNCHitTest, EachPartHasItsWindowsCode)
{
    EXPECT_EQ(HTCLIENT, Answer(khtClient));
    EXPECT_EQ(HTCAPTION, Answer(khtCaption));
    EXPECT_EQ(HTLEFT, Answer(khtLeft));
    EXPECT_EQ(HTTOP, Answer(khtTop));
    EXPECT_EQ(HTRIGHT, Answer(khtRight));
    EXPECT_EQ(HTBOTTOM, Answer(khtBottom));
    EXPECT_EQ(HTTOPLEFT, Answer(khtTopLeft));
    EXPECT_EQ(HTTOPRIGHT, Answer(khtTopRight));
    EXPECT_EQ(HTBOTTOMLEFT, Answer(khtBottomLeft));
    EXPECT_EQ(HTBOTTOMRIGHT, Answer(khtBottomRight));
    EXPECT_EQ(HTBORDER, Answer(khtBorder));
    EXPECT_EQ(HTCLOSE, Answer(khtCloseButton));
    EXPECT_EQ(HTHELP, Answer(khtHelpButton));
    EXPECT_EQ(HTMAXBUTTON, Answer(khtMaxButton));
    for (TKsHitTest hit : {khtMinButton, khtRollButton, khtTrayButton, khtSysMenuButton, khtNonClient})
        EXPECT_EQ(HTMINBUTTON, Answer(hit)) << hit;
}

TEST_F(SkinFrameNCHitTest, AFixedWindowAnswersClientOverItsCaptionAndBorders)
{
    Frame->SetCanMove(false);
    Frame->SetCanResize(false);
    for (TKsHitTest hit : {khtCaption, khtLeft, khtTop, khtRight, khtBottom, khtTopLeft, khtTopRight,
                           khtBottomLeft, khtBottomRight})
        EXPECT_EQ(HTCLIENT, Answer(hit)) << hit;
    EXPECT_EQ(HTBORDER, Answer(khtBorder));
    EXPECT_EQ(HTCLOSE, Answer(khtCloseButton));
}

// --- Snapping ----------------------------------------------------------------------

class SkinFrameMagnetic : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr, 0);
        Frame = new TKsCustomForm(Form);
        Area = Screen->WorkAreaRect();
    }
    void TearDown() override { Form->Free(); }
    // A 200 x 100 rectangle whose left is dx from the work area's left and
    // whose top is dy from its top.
    RECT At(int dx, int dy) const
    {
        return RECT{Area.left + dx, Area.top + dy, Area.left + dx + 200, Area.top + dy + 100};
    }
    TForm* Form = nullptr;
    TKsCustomForm* Frame = nullptr;
    RECT Area{};
};

TEST_F(SkinFrameMagnetic, EdgesSnapAtNineteenPixelsAndNotAtTwenty)
{
    ASSERT_EQ(20, Frame->MagneticValue());
    RECT r = Frame->ApplyMagnetic(At(19, 50));
    EXPECT_EQ(Area.left, r.left);
    EXPECT_EQ(Area.left + 200, r.right);
    EXPECT_EQ(Area.top + 50, r.top);
    r = Frame->ApplyMagnetic(At(20, 50));
    EXPECT_EQ(Area.left + 20, r.left);
    r = Frame->ApplyMagnetic(At(-19, 50));
    EXPECT_EQ(Area.left, r.left);
    r = Frame->ApplyMagnetic(At(50, 19));
    EXPECT_EQ(Area.top, r.top);
    EXPECT_EQ(Area.top + 100, r.bottom);
    r = Frame->ApplyMagnetic(At(50, 20));
    EXPECT_EQ(Area.top + 20, r.top);
}

TEST_F(SkinFrameMagnetic, TheRightAndBottomEdgesSnapToo)
{
    const int width = Area.right - Area.left, height = Area.bottom - Area.top;
    RECT r = Frame->ApplyMagnetic(At(width - 200 - 19, height - 100 - 19));
    EXPECT_EQ(Area.right, r.right);
    EXPECT_EQ(Area.bottom, r.bottom);
    r = Frame->ApplyMagnetic(At(width - 200 - 20, height - 100 - 20));
    EXPECT_EQ(Area.right - 20, r.right);
    EXPECT_EQ(Area.bottom - 20, r.bottom);
}

TEST_F(SkinFrameMagnetic, TheShadowIsLeftOutOfTheEdgesAndOffMeansNoSnap)
{
    const int width = Area.right - Area.left;
    Frame->SetDropShadow(true);
    Frame->SetShadowWidth(4);
    // The window's edge without its shadow meets the work area's.
    RECT r = Frame->ApplyMagnetic(At(width - 200 + 4 - 10, 50));
    EXPECT_EQ(Area.right + 4, r.right);
    Frame->SetDropShadow(false);
    Frame->SetMagnetic(false);
    r = Frame->ApplyMagnetic(At(5, 5));
    EXPECT_EQ(Area.left + 5, r.left);
    EXPECT_EQ(Area.top + 5, r.top);
}

// --- Dragging by the frame's rules (calls in window coordinates) ---------------------

class SkinFrameDrag : public ::testing::Test {
protected:
    void SetUp() override
    {
        Area = Screen->WorkAreaRect();
        Form = new TForm(nullptr, 0);
        Form->SetBounds(Area.left + 100, Area.top + 100, 300, 200);
        Frame = new TFixedHitFrame<TKsCustomForm>(Form);
        Frame->SetActive(true);
        Form->Show();
    }
    void TearDown() override
    {
        if (GetCapture()) ReleaseCapture();
        Form->Free();
    }
    void Drag(TKsHitTest part, POINT from, POINT to)
    {
        Frame->Hit = part;
        Frame->NCMouseDown(mbLeft, ssLeft, from.x, from.y);
        Frame->NCMouseMove(ssLeft, to.x, to.y);
        Frame->NCMouseUp(mbLeft, 0, to.x, to.y);
    }
    RECT Area{};
    TForm* Form = nullptr;
    TFixedHitFrame<TKsCustomForm>* Frame = nullptr;
};

TEST_F(SkinFrameDrag, TheCaptionMovesTheWindowAndItSnaps)
{
    Drag(khtCaption, POINT{150, 10}, POINT{130, 25});
    EXPECT_EQ(Area.left + 80, Form->Left());
    EXPECT_EQ(Area.top + 115, Form->Top());
    EXPECT_EQ(300, Form->Width());
    // 19 pixels from the work area's left: flush.
    Drag(khtCaption, POINT{150, 10}, POINT{150 - 61, 10});
    EXPECT_EQ(Area.left, Form->Left());
    Drag(khtCaption, POINT{150, 10}, POINT{170, 10});
    EXPECT_EQ(Area.left + 20, Form->Left());
}

TEST_F(SkinFrameDrag, BordersResizeAndTheLeftEdgeStopsAtTheMinimumWidth)
{
    Drag(khtRight, POINT{299, 100}, POINT{339, 100});
    EXPECT_EQ(340, Form->Width());
    Drag(khtBottom, POINT{150, 199}, POINT{150, 229});
    EXPECT_EQ(230, Form->Height());
    const int right = Form->Left() + Form->Width();
    Drag(khtLeft, POINT{0, 100}, POINT{250, 100});
    const POINT min = Frame->GetMinTrackSize();
    EXPECT_EQ(right - min.x, Form->Left());
    EXPECT_EQ(right, Form->Left() + Form->Width());
}

TEST_F(SkinFrameDrag, CornersResizeBothWays)
{
    const RECT before = Form->BoundsRect();
    Drag(khtTopLeft, POINT{0, 0}, POINT{-10, -20});
    EXPECT_EQ(before.left - 10, Form->Left());
    EXPECT_EQ(before.top - 20, Form->Top());
    EXPECT_EQ(before.right, Form->Left() + Form->Width());
    EXPECT_EQ(before.bottom, Form->Top() + Form->Height());
}

TEST_F(SkinFrameDrag, NoSizingWhenTheWindowMayNotOrIsMaximized)
{
    const RECT before = Form->BoundsRect();
    Frame->SetCanResize(false);
    Drag(khtRight, POINT{299, 100}, POINT{339, 100});
    EXPECT_EQ(300, Form->Width());
    Frame->SetCanResize(true);
    Frame->SetState(kwsMaximized);
    Drag(khtRight, POINT{299, 100}, POINT{339, 100});
    Drag(khtCaption, POINT{150, 10}, POINT{190, 40});
    const RECT after = Form->BoundsRect();
    EXPECT_TRUE(EqualRect(&before, &after));
    Frame->SetState(kwsNormal);
}

TEST_F(SkinFrameDrag, TheCaptureLastsFromThePressToTheRelease)
{
    Frame->Hit = khtCaption;
    Frame->NCMouseDown(mbLeft, ssLeft, 150, 10);
    EXPECT_EQ(Form->Handle(), GetCapture());
    EXPECT_EQ(khtCaption, Frame->PressedPart());
    Frame->NCMouseUp(mbLeft, 0, 150, 10);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(khtNonClient, Frame->PressedPart());
}

// --- Caption buttons: a command only where it was pressed ------------------------------

class SkinFrameButtons : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr, 0);
        Form->SetBounds(100, 100, 300, 120);
        Counter.Answer = caNone;  // the form stays for the next step
        Form->OnClose = MakeEvent<&TCloseCounter::FormClose>(&Counter);
        Frame = new TKsGeometryFrame(Form);
        Frame->SetActive(true);
        Frame->SetFrameSize(300, 120);
        Form->Show();
        const RECT close = Frame->GetButtonRect(kbiClose);
        Close = POINT{(close.left + close.right) / 2, (close.top + close.bottom) / 2};
    }
    void TearDown() override
    {
        if (GetCapture()) ReleaseCapture();
        Form->Free();
    }
    TCloseCounter Counter;
    TForm* Form = nullptr;
    TKsGeometryFrame* Frame = nullptr;
    POINT Close{};
    const POINT Elsewhere{150, 60};
};

TEST_F(SkinFrameButtons, PressingCloseMovingOffAndReleasingDoesNotClose)
{
    Frame->NCMouseDown(mbLeft, ssLeft, Close.x, Close.y);
    EXPECT_EQ(khtCloseButton, Frame->PressedPart());
    EXPECT_EQ(khtCloseButton, Frame->HoverPart());
    Frame->NCMouseMove(ssLeft, Elsewhere.x, Elsewhere.y);
    EXPECT_EQ(khtClient, Frame->HoverPart());
    Frame->NCMouseUp(mbLeft, 0, Elsewhere.x, Elsewhere.y);
    EXPECT_EQ(0, Counter.Calls);
    EXPECT_EQ(100, Form->Left());
    EXPECT_EQ(300, Form->Width());
}

TEST_F(SkinFrameButtons, MovingBackOntoCloseBeforeReleasingCloses)
{
    Frame->NCMouseDown(mbLeft, ssLeft, Close.x, Close.y);
    Frame->NCMouseMove(ssLeft, Elsewhere.x, Elsewhere.y);
    Frame->NCMouseMove(ssLeft, Close.x, Close.y);
    EXPECT_EQ(khtCloseButton, Frame->HoverPart());
    Frame->NCMouseUp(mbLeft, 0, Close.x, Close.y);
    EXPECT_EQ(1, Counter.Calls);
}

TEST_F(SkinFrameButtons, ReleasingOverCloseThatWasNotPressedDoesNotClose)
{
    Frame->NCMouseDown(mbLeft, ssLeft, Elsewhere.x, Elsewhere.y);
    Frame->NCMouseUp(mbLeft, 0, Close.x, Close.y);
    EXPECT_EQ(0, Counter.Calls);
}

TEST_F(SkinFrameButtons, ADoubleClickOnTheSystemMenuButtonCloses)
{
    Frame->SetState(kwsRollup);  // the square answers there (no corner zone)
    const RECT square = Frame->GetButtonRect(kbiSystemMenu);
    const int x = (square.left + square.right) / 2, y = (square.top + square.bottom) / 2;
    Frame->NCMouseDown(mbLeft, ssLeft | ssDouble, x, y);
    Frame->NCMouseUp(mbLeft, ssLeft | ssDouble, x, y);
    EXPECT_EQ(1, Counter.Calls);
    Frame->SetState(kwsNormal);
}

TEST(SkinFrameDoubleClick, ACaptionDoubleClickTogglesMaximize)
{
    TForm* form = new TForm(nullptr, 0);
    form->SetBounds(100, 100, 300, 200);
    auto* frame = new TFixedHitFrame<TKsCustomForm>(form);
    frame->SetActive(true);
    form->Show();
    frame->Hit = khtCaption;
    frame->NCMouseDown(mbLeft, ssLeft | ssDouble, 150, 10);
    frame->NCMouseUp(mbLeft, ssLeft | ssDouble, 150, 10);
    EXPECT_EQ(kwsMaximized, frame->WindowState());
    frame->NCMouseDown(mbLeft, ssLeft | ssDouble, 150, 10);
    frame->NCMouseUp(mbLeft, ssLeft | ssDouble, 150, 10);
    EXPECT_EQ(kwsNormal, frame->WindowState());
    EXPECT_EQ(100, form->Left());
    EXPECT_EQ(300, form->Width());
    // Without a maximize icon the double click does nothing.
    frame->SetBorderIcons(KsIcon(kbiClose));
    frame->NCMouseDown(mbLeft, ssLeft | ssDouble, 150, 10);
    frame->NCMouseUp(mbLeft, ssLeft | ssDouble, 150, 10);
    EXPECT_EQ(kwsNormal, frame->WindowState());
    form->Free();
}


// --- The real mouse on a framed form -------------------------------------------------

using namespace RealInput;

class SkinFrameRealMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        PointerAway();
        Area = Screen->WorkAreaRect();
        Form = NewForm<TForm>(nullptr);
        Form->SetBounds(Area.left + 200, Area.top + 150, 320, 240);
        Probe.Answer = caNone;
        Form->OnClose = MakeEvent<&TCloseCounter::FormClose>(&Probe);
        Frame = new TKsCustomForm(Form);
        Frame->SetMinimizeApplication(false);
        Frame->SetActive(true);
        Frame->Update();
        Form->Show();
        SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        PumpFor(100);
    }
    void TearDown() override
    {
        SendMouse(MOUSEEVENTF_LEFTUP, OnWindow(POINT{0, 0}));
        PointerAway();
        PumpFor(30);
        Form->Free();
    }
    // A window point on the screen.
    POINT OnWindow(POINT window) const
    {
        RECT r;
        GetWindowRect(Form->Handle(), &r);
        return POINT{r.left + window.x, r.top + window.y};
    }
    // Press at a window point, move by (dx, dy) in steps, release.
    void DragBy(POINT from, int dx, int dy)
    {
        POINT p = OnWindow(from);
        // Two presses at one place make a double click: the second waits.
        if (std::abs(p.x - LastPress.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
            std::abs(p.y - LastPress.y) <= GetSystemMetrics(SM_CYDOUBLECLK))
            Sleep(GetDoubleClickTime() + 50);
        LastPress = p;
        MovePointer(p);
        PumpFor(30);
        SendMouse(MOUSEEVENTF_LEFTDOWN, p);
        PumpFor(30);
        for (int step = 1; step <= 4; ++step) {
            MovePointer(POINT{p.x + dx * step / 4, p.y + dy * step / 4});
            PumpFor(20);
        }
        SendMouse(MOUSEEVENTF_LEFTUP, POINT{p.x + dx, p.y + dy});
        PumpFor(50);
    }
    POINT CaptionPoint()
    {
        const RECT c = Frame->GetClientRect();
        return POINT{(c.left + c.right) / 2, c.top - Frame->GetCaptionHeight() / 2 - 1};
    }
    RECT Area{};
    POINT LastPress{-1000, -1000};
    TCloseCounter Probe;
    TForm* Form = nullptr;
    TKsCustomForm* Frame = nullptr;
};

TEST_F(SkinFrameRealMouse, TheWindowAnswersItsPartsToWindows)
{
    const RECT c = Frame->GetClientRect();
    const RECT close = Frame->GetButtonRect(kbiClose);
    ASSERT_GT(c.top, Frame->GetCaptionHeight());
    auto answer = [&](POINT window) {
        POINT p = OnWindow(window);
        return SendMessageA(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    };
    EXPECT_EQ(HTCAPTION, answer(CaptionPoint()));
    EXPECT_EQ(HTCLIENT, answer(POINT{(c.left + c.right) / 2, (c.top + c.bottom) / 2}));
    EXPECT_EQ(HTLEFT, answer(POINT{0, 120}));
    EXPECT_EQ(HTBOTTOMRIGHT, answer(POINT{319, 239}));
    EXPECT_EQ(HTCLOSE, answer(POINT{(close.left + close.right) / 2, (close.top + close.bottom) / 2}));
    // The window's height decides the corner zones: 120 pixels tall.
    Form->SetHeight(120);
    PumpFor(30);
    EXPECT_EQ(HTTOPLEFT, answer(POINT{0, 19}));
    EXPECT_EQ(HTLEFT, answer(POINT{0, 20}));
    EXPECT_EQ(HTBOTTOMLEFT, answer(POINT{0, 101}));
}

TEST_F(SkinFrameRealMouse, DraggingTheCaptionMovesTheWindow)
{
    DragBy(CaptionPoint(), 40, 30);
    EXPECT_EQ(Area.left + 240, Form->Left());
    EXPECT_EQ(Area.top + 180, Form->Top());
    EXPECT_EQ(320, Form->Width());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(SkinFrameRealMouse, DraggingTheRightAndBottomBordersSizesTheWindow)
{
    DragBy(POINT{319, 120}, 30, 0);
    EXPECT_EQ(350, Form->Width());
    EXPECT_EQ(Area.left + 200, Form->Left());
    DragBy(POINT{175, 239}, 0, 25);
    EXPECT_EQ(265, Form->Height());
    DragBy(POINT{349, 264}, -50, -40);
    EXPECT_EQ(300, Form->Width());
    EXPECT_EQ(225, Form->Height());
}

TEST_F(SkinFrameRealMouse, DraggedToNineteenPixelsFromTheWorkAreasLeftItSnapsAndAtTwentyNot)
{
    // 200 pixels from the edge: 181 to the left leaves 19.
    DragBy(CaptionPoint(), -181, 0);
    EXPECT_EQ(Area.left, Form->Left());
    Form->SetBounds(Area.left + 200, Area.top + 150, 320, 240);
    PumpFor(30);
    DragBy(CaptionPoint(), -180, 0);
    EXPECT_EQ(Area.left + 20, Form->Left());
}

TEST_F(SkinFrameRealMouse, PressingCloseMovingOffAndReleasingDoesNotClose)
{
    const RECT close = Frame->GetButtonRect(kbiClose);
    const POINT on{(close.left + close.right) / 2, (close.top + close.bottom) / 2};
    DragBy(on, -120, 80);
    EXPECT_EQ(0, Probe.Calls);
    EXPECT_EQ(Area.left + 200, Form->Left());
    EXPECT_EQ(320, Form->Width());
    // Pressed and released on it: it closes.
    DragBy(on, 0, 0);
    EXPECT_EQ(1, Probe.Calls);
}

TEST_F(SkinFrameRealMouse, ACaptureTakenAwayMidPressEndsThePress)
{
    TForm* other = NewForm<TForm>(nullptr);
    other->SetBounds(Area.left + 20, Area.top + 20, 100, 80);
    other->Show();
    PumpFor(30);
    const POINT p = OnWindow(CaptionPoint());
    MovePointer(p);
    PumpFor(30);
    SendMouse(MOUSEEVENTF_LEFTDOWN, p);
    ASSERT_TRUE(PumpUntil([&] { return GetCapture() == Form->Handle(); }, 1000));
    SetCapture(other->Handle());
    PumpFor(30);
    // The release goes to the window that has the mouse now.
    SendMouse(MOUSEEVENTF_LEFTUP, p);
    PumpFor(30);
    ReleaseCapture();
    PumpFor(30);
    EXPECT_EQ(0, Frame->MouseState());
    EXPECT_EQ(khtNonClient, Frame->PressedPart());
    // Plain moves over the caption with no button held.
    for (int step = 1; step <= 4; ++step) {
        MovePointer(POINT{p.x + 10 * step, p.y + 5 * step});
        PumpFor(20);
    }
    EXPECT_EQ(Area.left + 200, Form->Left());
    EXPECT_EQ(Area.top + 150, Form->Top());
    EXPECT_EQ(320, Form->Width());
    other->Free();
}

TEST_F(SkinFrameRealMouse, AMoveWithoutTheLeftButtonDoesNotDrag)
{
    const POINT p = OnWindow(CaptionPoint());
    SendMessageA(Form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(Form->Handle(), GetCapture());
    POINT client = {p.x + 40, p.y + 30};
    ScreenToClient(Form->Handle(), &client);
    SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    EXPECT_EQ(Area.left + 200, Form->Left());
    EXPECT_EQ(Area.top + 150, Form->Top());
    // With the button held the same move drags.
    SendMessageA(Form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    EXPECT_EQ(Area.left + 240, Form->Left());
    EXPECT_EQ(Area.top + 180, Form->Top());
    ReleaseCapture();
    PumpFor(30);
}

}  // namespace

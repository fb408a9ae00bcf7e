// The slider, the switch, the tracker and the morphing picture: knob and
// switch driven by mouse messages sent to their windows, their window
// regions, and the guards against empty ranges and steps.
#include "Application.h"
#include "EffectTestSupport.h"
#include "Morphing.h"
#include "Sliders.h"

using namespace EffectTest;

namespace {

class EffectSliderTest : public FormTest {
protected:
    void SetUp() override { NewForm(400, 300); }
    void Send(TWinControl* c, UINT msg, WPARAM keys, int x, int y)
    {
        SendMessageA(c->Handle(), msg, keys, MAKELPARAM(x, y));
    }
    TepRegulator* Regulator()
    {
        auto* r = new TepRegulator(Form);
        r->SetParent(Form);
        r->SetBounds(10, 10, 30, 150);
        r->OnChange = MakeEvent<&Counter::Hit>(&Changes);
        r->HandleNeeded();
        return r;
    }
    Counter Changes;
};

}  // namespace

TEST_F(EffectSliderTest, KnobDraggedPastTheTopStopsAtMaxValueAndFiresOnce)
{
    TepRegulator* r = Regulator();
    ASSERT_EQ(0, r->Value());
    // Radius 15: the minimum rests at y = 150 - 15.
    ASSERT_EQ(135, r->KnobPos());
    Send(r, WM_LBUTTONDOWN, MK_LBUTTON, 15, 135);
    ASSERT_TRUE(r->Dragging());
    Send(r, WM_MOUSEMOVE, MK_LBUTTON, 15, -300);
    SendMessageA(r->Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(100, r->Value());
    EXPECT_EQ(15, r->KnobPos());
    EXPECT_EQ(1, Changes.Count);
    Send(r, WM_MOUSEMOVE, MK_LBUTTON, 15, -400);
    SendMessageA(r->Handle(), WM_TIMER, 1, 0);
    SendMessageA(r->Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(100, r->Value());
    EXPECT_EQ(1, Changes.Count);
    Send(r, WM_LBUTTONUP, 0, 15, -400);
    EXPECT_FALSE(r->Dragging());
}

TEST_F(EffectSliderTest, KnobDraggedHalfWay)
{
    TepRegulator* r = Regulator();
    Send(r, WM_LBUTTONDOWN, MK_LBUTTON, 18, 138);  // inside the knob, off its centre
    ASSERT_TRUE(r->Dragging());
    Send(r, WM_MOUSEMOVE, MK_LBUTTON, 18, 78);  // 60 of the 120-pixel track
    SendMessageA(r->Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(75, r->KnobPos());
    EXPECT_EQ(50, r->Value());
    EXPECT_EQ(1, Changes.Count);
    Send(r, WM_LBUTTONUP, 0, 18, 78);
    SendMessageA(r->Handle(), WM_TIMER, 1, 0);  // a tick after release moves nothing
    EXPECT_EQ(50, r->Value());
}

TEST_F(EffectSliderTest, PressOnTheTrackOutsideTheKnobDoesNothing)
{
    TepRegulator* r = Regulator();
    // The knob's circle has radius 15 - 0 - 4 = 11 around (15, 135).
    for (POINT p : {POINT{15, 40}, POINT{15, 122}, POINT{5, 126}}) {
        Send(r, WM_LBUTTONDOWN, MK_LBUTTON, p.x, p.y);
        EXPECT_FALSE(r->Dragging()) << p.x << "," << p.y;
        Send(r, WM_MOUSEMOVE, MK_LBUTTON, p.x, -100);
        SendMessageA(r->Handle(), WM_TIMER, 1, 0);
        Send(r, WM_LBUTTONUP, 0, p.x, -100);
    }
    EXPECT_EQ(0, r->Value());
    EXPECT_EQ(135, r->KnobPos());
    EXPECT_EQ(0, Changes.Count);
    Send(r, WM_RBUTTONDOWN, MK_RBUTTON, 15, 135);
    EXPECT_FALSE(r->Dragging());
    Send(r, WM_RBUTTONUP, 0, 15, 135);
}

TEST_F(EffectSliderTest, SetValueClampsAndPlacesTheKnob)
{
    TepRegulator* r = Regulator();
    r->SetValue(250);
    EXPECT_EQ(100, r->Value());
    EXPECT_EQ(15, r->KnobPos());
    EXPECT_EQ(1, Changes.Count);
    r->SetValue(100);
    EXPECT_EQ(1, Changes.Count);
    r->SetValue(25);
    EXPECT_EQ(135 - 30, r->KnobPos());  // a quarter of 120 up from the bottom
    r->SetValue(-7);
    EXPECT_EQ(0, r->Value());
    EXPECT_EQ(135, r->KnobPos());
}

TEST_F(EffectSliderTest, EmptyRangeAndSquareSliderDivideByNothing)
{
    TepRegulator* r = Regulator();
    r->SetMaxValue(0);  // MinValue = MaxValue = 0
    EXPECT_EQ(0, r->MaxValue());
    r->SetValue(40);
    EXPECT_EQ(0, r->Value());
    EXPECT_EQ(135, r->KnobPos());
    r->SetMaxValue(10);
    r->SetMinValue(10);
    EXPECT_EQ(10, r->Value());
    r->SetBounds(10, 10, 30, 30);  // Height = Width: no track at all
    r->Repaint();
    EXPECT_EQ(15, r->KnobPos());
    r->SetMinValue(0);
    r->SetMaxValue(100);
    r->SetValue(50);
    EXPECT_EQ(15, r->KnobPos());
    Send(r, WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
    ASSERT_TRUE(r->Dragging());
    Send(r, WM_MOUSEMOVE, MK_LBUTTON, 15, -50);
    SendMessageA(r->Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(50, r->Value());
    Send(r, WM_LBUTTONUP, 0, 15, -50);
}

TEST_F(EffectSliderTest, SliderRegionIsACapsule)
{
    TepRegulator* r = Regulator();
    r->SetWidth(31);  // odd: one less
    EXPECT_EQ(30, r->Width());
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(r->Handle(), region));
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(0, box.top);
    // A round-rectangle region leaves out its last column and row.
    EXPECT_EQ(29, box.right);
    EXPECT_EQ(149, box.bottom);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 28, 148));
    EXPECT_FALSE(PtInRegion(region, 3, 3));
    EXPECT_TRUE(PtInRegion(region, 15, 1));
    EXPECT_TRUE(PtInRegion(region, 0, 75));
    EXPECT_TRUE(PtInRegion(region, 28, 75));
    EXPECT_TRUE(PtInRegion(region, 15, 148));
    DeleteObject(region);
}

TEST_F(EffectSliderTest, SliderFrameCornersHaveTheDiameterTwoRadiiLessEight)
{
    TepRegulator* r = Regulator();
    r->SetWidth(60);
    r->SetColor(TColor(RGB(128, 128, 128)));
    TBitmap image;
    image.SetSize(60, 150);
    r->PaintTo(image.Canvas()->Handle(), 0, 0);
    // The frame round (0, 1, 59, 149), r = 30.
    HRGN shape = CreateRoundRectRgn(0, 1, 59, 149, 2 * 30 - 8, 2 * 30 - 8);
    ExpectFrameFollowsTheCorners(image, shape, RGB(128, 128, 128));
    DeleteObject(shape);
}

TEST_F(EffectSliderTest, SwitchThirtyFiveWideBecomes34By51)
{
    auto* s = new TepSwitch(Form);
    s->SetParent(Form);
    s->SetBounds(10, 10, 35, 70);
    s->HandleNeeded();
    EXPECT_EQ(34, s->Width());
    EXPECT_EQ(51, s->Height());
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(s->Handle(), region));
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(33, box.right);
    EXPECT_EQ(50, box.bottom);
    EXPECT_FALSE(PtInRegion(region, 1, 1));
    EXPECT_FALSE(PtInRegion(region, 32, 49));
    EXPECT_TRUE(PtInRegion(region, 17, 25));
    DeleteObject(region);
    RECT client;
    GetClientRect(s->Handle(), &client);
    EXPECT_EQ(34, client.right);
    EXPECT_EQ(51, client.bottom);
}

TEST_F(EffectSliderTest, SwitchTogglesOnPressesInsideItsShape)
{
    auto* s = new TepSwitch(Form);
    s->SetParent(Form);
    s->SetBounds(10, 10, 35, 70);
    Counter on, off;
    s->OnOn = MakeEvent<&Counter::Hit>(&on);
    s->OnOff = MakeEvent<&Counter::Hit>(&off);
    EXPECT_EQ(sOff, s->State());
    Send(s, WM_LBUTTONDOWN, MK_LBUTTON, 17, 25);
    Send(s, WM_LBUTTONUP, 0, 17, 25);
    EXPECT_EQ(sOn, s->State());
    EXPECT_EQ(1, on.Count);
    EXPECT_EQ(0, off.Count);
    Send(s, WM_LBUTTONDOWN, MK_LBUTTON, 1, 1);  // a corner outside the capsule
    Send(s, WM_LBUTTONUP, 0, 1, 1);
    EXPECT_EQ(sOn, s->State());
    Send(s, WM_LBUTTONDOWN, MK_LBUTTON, 17, 45);
    Send(s, WM_LBUTTONUP, 0, 17, 45);
    EXPECT_EQ(sOff, s->State());
    EXPECT_EQ(1, off.Count);
    s->SetState(sOn);
    EXPECT_EQ(2, on.Count);
}

TEST_F(EffectSliderTest, SwitchKnobTakesItsStateColour)
{
    auto* s = new TepSwitch(Form);
    s->SetParent(Form);
    s->SetBounds(10, 10, 35, 70);
    s->SetColor(TColor(RGB(128, 128, 128)));
    s->SetOnBtnColor(TColor(RGB(0, 255, 0)));
    s->SetOffBtnColor(TColor(RGB(0, 0, 255)));
    s->HandleNeeded();
    TBitmap image;
    image.SetSize(34, 51);
    // Knob centres: on at r + 2 = 19, off at 51 - 17 - 1 = 33.
    s->PaintTo(image.Canvas()->Handle(), 0, 0);
    COLORREF offKnob = image.Canvas()->Pixel(17, 33);
    EXPECT_GT(GetBValue(offKnob), 200) << std::hex << offKnob;
    EXPECT_LT(GetGValue(offKnob), 60);
    s->SetState(sOn);
    s->PaintTo(image.Canvas()->Handle(), 0, 0);
    COLORREF onKnob = image.Canvas()->Pixel(17, 19);
    EXPECT_GT(GetGValue(onKnob), 200) << std::hex << onKnob;
    EXPECT_LT(GetBValue(onKnob), 60);
}

TEST_F(EffectSliderTest, TrackerReportsEnterAndLeave)
{
    auto* t = new TepTracker(Form);
    t->SetParent(Form);
    EXPECT_EQ(30, t->Width());
    EXPECT_EQ(30, t->Height());
    Counter enter, leave;
    t->OnMouseEnter = MakeEvent<&Counter::Hit>(&enter);
    t->OnMouseLeave = MakeEvent<&Counter::Hit>(&leave);
    t->Perform(CM_MOUSEENTER);
    t->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(1, enter.Count);
    EXPECT_EQ(1, leave.Count);
}

// --- TepMorphing --------------------------------------------------------

namespace {

void Solid(TBitmap& b, TColor color)
{
    b.SetSize(10, 10);
    b.Canvas()->Brush()->SetColor(color);
    b.Canvas()->FillRect(RECT{0, 0, 10, 10});
}

COLORREF Shown(TepMorphing* m)
{
    TBitmap image;
    image.SetSize(m->Width(), m->Height());
    m->PaintTo(image.Canvas()->Handle(), 0, 0);
    return image.Canvas()->Pixel(5, 5);
}

}  // namespace

TEST_F(EffectSliderTest, MorphingStep20FinishesIn20Ticks)
{
    auto* m = new TepMorphing(Form);
    m->SetParent(Form);
    EXPECT_EQ(20, m->Step());
    EXPECT_EQ(50u, m->MorphTimer()->Interval());
    EXPECT_FALSE(m->MorphTimer()->Enabled());
    TBitmap a, b;
    Solid(a, TColor(RGB(200, 0, 0)));
    Solid(b, TColor(RGB(0, 0, 200)));
    m->SetSource(&a);
    m->SetDest(&b);
    EXPECT_EQ(COLORREF(RGB(200, 0, 0)), Shown(m));
    m->Morphing();
    EXPECT_TRUE(m->MorphTimer()->Enabled());
    TTimer* timer = m->MorphTimer();
    for (int i = 0; i < 10; ++i) timer->OnTimer(timer);
    COLORREF half = Shown(m);  // half way: (100, 0, 100)
    EXPECT_NEAR(100, GetRValue(half), 1);
    EXPECT_NEAR(100, GetBValue(half), 1);
    for (int i = 10; i < 19; ++i) timer->OnTimer(timer);
    EXPECT_TRUE(timer->Enabled());
    EXPECT_LT(m->Progress(), 1.0);
    timer->OnTimer(timer);  // the twentieth
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(1.0, m->Progress());
    EXPECT_EQ(COLORREF(RGB(0, 0, 200)), Shown(m));

    m->Direct = mdBackward;
    EXPECT_EQ(COLORREF(RGB(200, 0, 0)), Shown(m));
    m->Morphing();
    EXPECT_EQ(COLORREF(RGB(0, 0, 200)), Shown(m));
}

TEST_F(EffectSliderTest, MorphingStepZeroFadesInOneTick)
{
    auto* m = new TepMorphing(Form);
    m->SetParent(Form);
    m->SetStep(0);
    m->Morphing();
    TTimer* timer = m->MorphTimer();
    timer->OnTimer(timer);
    EXPECT_EQ(1.0, m->Progress());
    EXPECT_FALSE(timer->Enabled());
}

TEST_F(EffectSliderTest, MorphingDifferentSizesShowTheFirstUnchanged)
{
    auto* m = new TepMorphing(Form);
    m->SetParent(Form);
    TBitmap a, b;
    Solid(a, TColor(RGB(200, 0, 0)));
    Solid(b, TColor(RGB(0, 0, 200)));
    b.SetSize(12, 10);
    m->SetSource(&a);
    m->SetDest(&b);
    m->Morphing();
    m->MorphTimer()->OnTimer(m->MorphTimer());
    EXPECT_EQ(COLORREF(RGB(200, 0, 0)), Shown(m));
}

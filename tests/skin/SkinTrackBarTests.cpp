// The skinned track bar: positions and coordinates of the worked examples
// and of an independent computation (ties to even), the thumb where that
// puts it, ticks, the track strip and the highlighted interval drawn pixel
// by pixel; keys (Page Down at Max still reporting a change), clicks beside
// the thumb, thumb drags past either end; Min and Max read from a form in
// either order; no range, no step and no travel.
#include "Reader.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"
#include "TrackBar.h"
#include "TrackBarExpect.h"
#include "TrackBars.h"

#include <algorithm>
#include <climits>

using namespace SkinTest;

namespace {

class SkinTrackBarTest : public SkinFormTest {
protected:
    // The cylinder-trim dialog's bar: vertical, -5 .. 5, a page of 1, ticks
    // on the left (in white here), a red thumb framed in blue on a white bar.
    TEpTrackBar* TrimBar(int height)
    {
        auto* bar = Place<TEpTrackBar>(Host, 40, 20, 32, height);
        bar->SetOrientation(toVertical);
        bar->SetMin(-5);
        bar->SetMax(5);
        bar->SetPosition(0);
        bar->SetPageSize(1);
        bar->SetTickMarks(tmTopLeft);
        bar->Background()->SetColor(clWhite);
        bar->Border()->SetColor(clWhite);
        bar->ThumbBackground()->SetColor(clRed);
        bar->ThumbBorder()->SetColor(clBlue);
        bar->SetTickColor(clWhite);
        return bar;
    }
    // The thumb of a vertical styled bar with ticks on the left: 12 .. 32
    // across (margin 7, 5 for the ticks, 9 x 2.2 = 19.8 long), c - 4 .. c + 5
    // along. Every pixel of column x = 20 and of row c against it.
    int ThumbMismatches(TEpTrackBar* bar, int c)
    {
        int bad = 0;
        for (int y = 0; y < bar->Height(); ++y) {
            TKColor want = OpaqueRgb(clWhite);
            if (y == c - 4 || y == c + 4) want = OpaqueRgb(clBlue);
            else if (y > c - 4 && y < c + 4) want = OpaqueRgb(clRed);
            if (BufferRgb(bar, 20, y) != want) ++bad;
        }
        for (int x = 0; x < bar->Width(); ++x) {
            TKColor want = OpaqueRgb(clWhite);
            if (x == 12 || x == 31) want = OpaqueRgb(clBlue);
            else if (x > 12 && x < 31) want = OpaqueRgb(clRed);
            if (BufferRgb(bar, x, c) != want) ++bad;
        }
        return bad;
    }
};

}  // namespace

TEST_F(SkinTrackBarTest, DefaultsAndTheWorkedExample)
{
    auto* bar = Place<TKsCustomTrackBar>(Host, 10, 10, 150, 45);
    auto* fresh = new TEpTrackBar(Form);
    EXPECT_EQ(150, fresh->Width());
    EXPECT_EQ(45, fresh->Height());
    EXPECT_EQ(0, fresh->Min());
    EXPECT_EQ(10, fresh->Max());
    EXPECT_EQ(3, fresh->Position());
    EXPECT_EQ(1, fresh->LineSize());
    EXPECT_EQ(2, fresh->PageSize());
    EXPECT_EQ(1, fresh->Frequency());
    EXPECT_TRUE(fresh->ThumbVisible());
    EXPECT_EQ(4, fresh->ThumbHalfWidth());
    EXPECT_EQ(tmBottomRight, fresh->TickMarks());
    EXPECT_TRUE(fresh->ShowTicks());
    EXPECT_EQ(toHorizontal, fresh->Orientation());
    EXPECT_EQ(htNone, fresh->IntervalHighlightType());
    EXPECT_TRUE(fresh->TabStop());
    EXPECT_EQ(TColor(0), fresh->TickColor());
    EXPECT_STREQ("2.1", fresh->Version());
    // Width 150: thumb 9 wide, 123 pixels of travel; 3 is drawn at
    // 9 + 4 + round(36.9) = 50, and 50 maps back to 3.
    EXPECT_EQ(50, bar->PositionCoordinate(3));
    EXPECT_EQ(3, bar->CoordinatePosition(50));
    EXPECT_EQ(20, bar->ThumbLength());
    for (int v = 0; v <= 10; ++v) EXPECT_EQ(Coord(v, 0, 10, 150), bar->PositionCoordinate(v)) << v;
    for (int c = -5; c < 160; ++c) EXPECT_EQ(Pos(c, 0, 10, 150), bar->CoordinatePosition(c)) << c;
}

TEST_F(SkinTrackBarTest, ThePlatformsTrackBarKeepsTickMarksOfItsOwn)
{
    // Both headers in one unit, as where the platform's bar is measured
    // beside ours: the two tick-mark types count differently.
    EXPECT_EQ(0, int(tmBoth));
    EXPECT_EQ(1, int(tmBottomRight));
    EXPECT_EQ(2, int(tmTopLeft));
    EXPECT_EQ(2, int(TTrackBar::tmBoth));
    auto* platform = new TTrackBar(Form);
    EXPECT_EQ(TTrackBar::tmBottomRight, platform->TickMarks());
}

TEST_F(SkinTrackBarTest, AVerticalBarFromMinusFiveToFiveRunsDownwards)
{
    auto* bar = Place<TKsCustomTrackBar>(Host, 10, 10, 45, 150);
    bar->SetOrientation(toVertical);
    bar->SetMin(-5);
    bar->SetMax(5);
    EXPECT_EQ(45, bar->Width());  // no exchange of the sides outside the designer
    EXPECT_EQ(13, bar->PositionCoordinate(-5));
    EXPECT_EQ(136, bar->PositionCoordinate(5));
    for (int v = -5; v <= 5; ++v) EXPECT_EQ(Coord(v, -5, 5, 150), bar->PositionCoordinate(v)) << v;
    for (int c = 0; c <= 150; ++c) EXPECT_EQ(Pos(c, -5, 5, 150), bar->CoordinatePosition(c)) << c;
    // The dialog's 112 pixels: 0 lies at 42.5 pixels of 85, which rounds to
    // the even 42.
    bar->SetHeight(112);
    EXPECT_EQ(13 + 42, bar->PositionCoordinate(0));
    EXPECT_EQ(Coord(0, -5, 5, 112), bar->PositionCoordinate(0));
    // 55 - 13 = 42 pixels stand for 42 x 10 / 85 - 5 = -0.058..., so 0;
    // 34 pixels for -1.0; 38 for -0.529 and 47 for 0.529.
    EXPECT_EQ(0, bar->CoordinatePosition(55));
    EXPECT_EQ(-1, bar->CoordinatePosition(13 + 34));
    EXPECT_EQ(-1, bar->CoordinatePosition(13 + 38));
    EXPECT_EQ(1, bar->CoordinatePosition(13 + 47));
}

TEST_F(SkinTrackBarTest, TheStyledThumbSitsWhereEveryPositionPutsIt)
{
    auto* bar = TrimBar(112);
    Counter changes;
    bar->OnChange = MakeEvent<&Counter::Hit>(&changes);
    Show();
    bar->SetFocus();
    EXPECT_EQ(0, ThumbMismatches(bar, 55)) << "position 0";
    Key(bar, VK_HOME);
    ASSERT_EQ(-5, bar->Position());
    for (int v = -5; v <= 5; ++v) {
        EXPECT_EQ(v, bar->Position());
        EXPECT_EQ(0, ThumbMismatches(bar, Coord(v, -5, 5, 112))) << "position " << v;
        Key(bar, VK_NEXT);
    }
    EXPECT_EQ(5, bar->Position());
    EXPECT_EQ(12, changes.Count);  // Home, ten steps and Page Down at Max
}

TEST_F(SkinTrackBarTest, PageDownAtMaxStillReportsAChange)
{
    auto* bar = TrimBar(112);
    Counter changes;
    bar->OnChange = MakeEvent<&Counter::Hit>(&changes);
    Show();
    bar->SetFocus();
    Key(bar, VK_END);
    ASSERT_EQ(5, bar->Position());
    ASSERT_EQ(1, changes.Count);
    Key(bar, VK_NEXT);
    EXPECT_EQ(5, bar->Position());
    EXPECT_EQ(2, changes.Count);
    Key(bar, VK_DOWN);
    EXPECT_EQ(3, changes.Count);
    Key(bar, VK_END);  // End where it is: no change
    EXPECT_EQ(3, changes.Count);
    Key(bar, VK_HOME);
    Key(bar, VK_PRIOR);
    EXPECT_EQ(-5, bar->Position());
    EXPECT_EQ(5, changes.Count);
    // The program setting the position the user left.
    bar->SetPosition(-5);
    EXPECT_EQ(5, changes.Count);
    bar->SetPosition(-9);
    EXPECT_EQ(-5, bar->Position());
    EXPECT_EQ(6, changes.Count);
}

TEST_F(SkinTrackBarTest, KeysStepByLineAndPage)
{
    auto* bar = Place<TKsCustomTrackBar>(Host, 10, 10, 150, 45);
    bar->SetMax(20);
    bar->SetLineSize(2);
    bar->SetPageSize(5);
    bar->SetPosition(10);
    Show();
    bar->SetFocus();
    EXPECT_EQ(DLGC_WANTARROWS, UINT(SendMessageA(bar->Handle(), WM_GETDLGCODE, 0, 0)));
    Key(bar, VK_RIGHT);
    EXPECT_EQ(12, bar->Position());
    Key(bar, VK_DOWN);
    EXPECT_EQ(14, bar->Position());
    Key(bar, VK_LEFT);
    Key(bar, VK_LEFT);
    Key(bar, VK_UP);
    EXPECT_EQ(8, bar->Position());
    Key(bar, VK_NEXT);
    EXPECT_EQ(13, bar->Position());
    Key(bar, VK_PRIOR);
    Key(bar, VK_PRIOR);
    EXPECT_EQ(3, bar->Position());
    Key(bar, VK_PRIOR);
    EXPECT_EQ(0, bar->Position());
    Key(bar, VK_END);
    EXPECT_EQ(20, bar->Position());
    Key(bar, VK_HOME);
    EXPECT_EQ(0, bar->Position());
}

TEST_F(SkinTrackBarTest, DraggingTheThumbFollowsTheMouseAndPinsAtTheEnds)
{
    auto* bar = TrimBar(150);
    Counter changes;
    bar->OnChange = MakeEvent<&Counter::Hit>(&changes);
    Show();
    const int c0 = Coord(0, -5, 5, 150);
    Mouse(bar, WM_LBUTTONDOWN, 22, c0, MK_LBUTTON);
    EXPECT_TRUE(bar->Dragging());
    EXPECT_TRUE(bar->Focused());
    EXPECT_EQ(bar->Handle(), GetCapture());
    EXPECT_EQ(0, changes.Count);
    Mouse(bar, WM_MOUSEMOVE, 22, Coord(3, -5, 5, 150), MK_LBUTTON);
    EXPECT_EQ(3, bar->Position());
    for (int y : {101, 77, 40, 14, 140})
    {
        Mouse(bar, WM_MOUSEMOVE, 25, y, MK_LBUTTON);
        EXPECT_EQ(Pos(y, -5, 5, 150), bar->Position()) << y;
    }
    // Past either end of the control.
    Mouse(bar, WM_MOUSEMOVE, 22, -40, MK_LBUTTON);
    EXPECT_EQ(-5, bar->Position());
    Mouse(bar, WM_MOUSEMOVE, 60, 400, MK_LBUTTON);
    EXPECT_EQ(5, bar->Position());
    const int changed = changes.Count;
    EXPECT_GE(changed, 7);
    Mouse(bar, WM_LBUTTONUP, 60, 400);
    EXPECT_FALSE(bar->Dragging());
    EXPECT_NE(bar->Handle(), GetCapture());
    Mouse(bar, WM_MOUSEMOVE, 22, c0);
    EXPECT_EQ(5, bar->Position());
    EXPECT_EQ(changed, changes.Count);
    EXPECT_EQ(0, ThumbMismatches(bar, Coord(5, -5, 5, 150)));
}

TEST_F(SkinTrackBarTest, APressBesideTheThumbStepsOnePageTowardIt)
{
    auto* bar = Place<TKsCustomTrackBar>(Host, 10, 10, 150, 45);
    bar->SetPosition(5);
    Show();
    const int c5 = Coord(5, 0, 10, 150);
    // Just left of the thumb: a position of 4, one away; the page is 2.
    ASSERT_EQ(4, Pos(c5 - 10, 0, 10, 150));
    Mouse(bar, WM_LBUTTONDOWN, c5 - 10, 15, MK_LBUTTON);
    Mouse(bar, WM_LBUTTONUP, c5 - 10, 15);
    EXPECT_EQ(3, bar->Position());
    EXPECT_FALSE(bar->Dragging());
    Mouse(bar, WM_LBUTTONDOWN, 140, 15, MK_LBUTTON);
    Mouse(bar, WM_LBUTTONUP, 140, 15);
    EXPECT_EQ(5, bar->Position());
    // A press that maps to the position itself moves nothing.
    const int c = Coord(5, 0, 10, 150);
    ASSERT_EQ(5, Pos(c, 0, 10, 150));
    Mouse(bar, WM_LBUTTONDOWN, c, 40, MK_LBUTTON);
    Mouse(bar, WM_LBUTTONUP, c, 40);
    EXPECT_EQ(5, bar->Position());
    // The right button takes the focus and moves nothing.
    bar->SetFocus();
    Host->SetFocus();
    Mouse(bar, WM_RBUTTONDOWN, 20, 15, MK_RBUTTON);
    Mouse(bar, WM_RBUTTONUP, 20, 15);
    EXPECT_TRUE(bar->Focused());
    EXPECT_EQ(5, bar->Position());
}

TEST_F(SkinTrackBarTest, ThePointedThumbIsHitAndDrawnAsItsFiveCorners)
{
    auto* bar = Place<TKsCustomTrackBar>(Host, 10, 10, 150, 45);
    bar->SetColor(clWhite);
    Show();
    // Position 3 at 50: corners (46, 7), (54, 7), (54, 22), (50, 26), (46, 22).
    EXPECT_TRUE(bar->PtInThumb(50, 25));
    EXPECT_TRUE(bar->PtInThumb(53, 10));
    EXPECT_TRUE(bar->PtInThumb(47, 21));
    EXPECT_FALSE(bar->PtInThumb(47, 25));
    EXPECT_FALSE(bar->PtInThumb(55, 10));
    EXPECT_FALSE(bar->PtInThumb(50, 6));
    EXPECT_FALSE(bar->PtInThumb(50, 27));
    const TKColor light = OpaqueRgb(clBtnHighlight), face = OpaqueRgb(clBtnFace), shadow = OpaqueRgb(clBtnShadow),
                  dark = OpaqueRgb(cl3DDkShadow);
    EXPECT_EQ(face, BufferRgb(bar, 50, 15));
    EXPECT_EQ(light, BufferRgb(bar, 50, 7));   // top, light
    EXPECT_EQ(light, BufferRgb(bar, 46, 15));  // left, light
    EXPECT_EQ(shadow, BufferRgb(bar, 53, 15));  // right, shadow inside the dark
    EXPECT_EQ(dark, BufferRgb(bar, 54, 15));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 45, 25));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 55, 3));
    // While dragging: a half-tone of the light and the face.
    Mouse(bar, WM_LBUTTONDOWN, 50, 15, MK_LBUTTON);
    ASSERT_TRUE(bar->Dragging());
    EXPECT_EQ(light, BufferRgb(bar, 50, 15));
    EXPECT_EQ(face, BufferRgb(bar, 49, 15));
    Mouse(bar, WM_LBUTTONUP, 50, 15);
    EXPECT_EQ(face, BufferRgb(bar, 49, 15));
    EXPECT_EQ(face, BufferRgb(bar, 50, 15));
}

TEST_F(SkinTrackBarTest, TheTrackStripAndTheTicksOfThePlainBar)
{
    auto* bar = Place<TKsCustomTrackBar>(Host, 10, 10, 150, 45);
    bar->SetColor(clWhite);
    bar->SetPosition(10);
    Show();
    // The strip: 9 .. 23 across (margin 7 + a quarter thumb; 20 + 9 - 4 - 2),
    // 9 .. 141 along, framed twice.
    EXPECT_EQ(OpaqueRgb(clBtnShadow), BufferRgb(bar, 20, 9));
    EXPECT_EQ(OpaqueRgb(cl3DDkShadow), BufferRgb(bar, 20, 10));
    EXPECT_EQ(OpaqueRgb(clBtnHighlight), BufferRgb(bar, 20, 15));
    EXPECT_EQ(OpaqueRgb(cl3DLight), BufferRgb(bar, 20, 21));
    EXPECT_EQ(OpaqueRgb(clBtnHighlight), BufferRgb(bar, 20, 22));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 20, 23));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 8, 15));
    // Ticks below, from 7 + 20 + 2 = 29: four pixels at the ends, three between.
    const TKColor black = 0;
    for (int v = 0; v <= 10; ++v) {
        const int x = Coord(v, 0, 10, 150);
        const bool end = v == 0 || v == 10;
        EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, x, 28)) << v;
        EXPECT_EQ(black, BufferRgb(bar, x, 29)) << v;
        EXPECT_EQ(black, BufferRgb(bar, x, 31)) << v;
        EXPECT_EQ(end ? black : OpaqueRgb(clWhite), BufferRgb(bar, x, 32)) << v;
        EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, x, 33)) << v;
        EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, x + 5, 30)) << v;
    }
    bar->SetFrequency(5);
    EXPECT_EQ(black, BufferRgb(bar, Coord(5, 0, 10, 150), 30));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, Coord(4, 0, 10, 150), 30));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, Coord(6, 0, 10, 150), 30));
    // Disabled: the strip takes the face colour.
    bar->SetEnabled(false);
    EXPECT_EQ(OpaqueRgb(clBtnFace), BufferRgb(bar, 20, 15));
}

TEST_F(SkinTrackBarTest, TicksOnTheLeftAndOnBothSidesInTheTickColour)
{
    auto* bar = TrimBar(150);
    bar->SetTickColor(clGreen);
    bar->SetMin(-6);
    bar->SetFrequency(2);
    Show();
    // Left ticks from x = 10 leftwards, to 6 at the ends and to 7 between,
    // each without its end point.
    for (int v = -6; v <= 5; ++v) {
        const int y = Coord(v, -6, 5, 150);
        const bool drawn = v % 2 == 0 || v == -6 || v == 5, end = v == -6 || v == 5;
        EXPECT_EQ(drawn ? OpaqueRgb(clGreen) : OpaqueRgb(clWhite), BufferRgb(bar, 8, y)) << v;
        EXPECT_EQ(end ? OpaqueRgb(clGreen) : OpaqueRgb(clWhite), BufferRgb(bar, 7, y)) << v;
        EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 6, y)) << v;
        EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 11, y)) << v;
    }
    // Both sides: the right ones from 7 + 20 + 6 = 33 on, so the bar is
    // widened to show them.
    bar->SetWidth(45);
    bar->SetTickMarks(tmBoth);
    for (int v : {-6, -4, 5}) {
        const int y = Coord(v, -6, 5, 150);
        const bool end = v != -4;
        EXPECT_EQ(OpaqueRgb(clGreen), BufferRgb(bar, 8, y)) << v;
        EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 32, y)) << v;
        EXPECT_EQ(OpaqueRgb(clGreen), BufferRgb(bar, 35, y)) << v;
        EXPECT_EQ(end ? OpaqueRgb(clGreen) : OpaqueRgb(clWhite), BufferRgb(bar, 36, y)) << v;
        EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 37, y)) << v;
    }
}

TEST_F(SkinTrackBarTest, TheHighlightedIntervalRunsFromItsEndToTheThumb)
{
    auto* bar = Place<TEpTrackBar>(Host, 10, 10, 150, 45);
    bar->Background()->SetColor(clWhite);
    bar->HighlightBackground()->SetColor(clLime);
    bar->HighlightBorder()->SetColor(clLime);
    bar->SetPosition(8);
    bar->SetIntervalHighlightType(htLowInterval);
    Show();
    const int c = Coord(8, 0, 10, 150);
    // Across the strip's 9 .. 23, along 9 .. the thumb.
    EXPECT_EQ(OpaqueRgb(clBlack), BufferRgb(bar, 0, 20));  // the whole control's border
    EXPECT_EQ(OpaqueRgb(clLime), BufferRgb(bar, 9, 9));
    EXPECT_EQ(OpaqueRgb(clLime), BufferRgb(bar, 30, 22));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 30, 23));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 8, 15));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, c + 10, 15));
    bar->SetIntervalHighlightType(htHighInterval);
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 30, 15));
    EXPECT_EQ(OpaqueRgb(clLime), BufferRgb(bar, c + 10, 15));
    EXPECT_EQ(OpaqueRgb(clLime), BufferRgb(bar, 140, 15));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 141, 15));
    bar->SetEnabled(false);
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, c + 10, 15));
    // The thumb: a rectangle whatever the ticks, 9 wide and 20 long from 7.
    EXPECT_EQ(OpaqueRgb(clBlack), BufferRgb(bar, c - 4, 7));
    EXPECT_EQ(OpaqueRgb(clBlack), BufferRgb(bar, c + 4, 26));
    EXPECT_EQ(OpaqueRgb(clWindow), BufferRgb(bar, c, 15));
}

TEST_F(SkinTrackBarTest, TheThumbHoverFlagFollowsTheMouse)
{
    auto* bar = Place<TKsCustomTrackBar>(Host, 10, 10, 150, 45);
    Show();
    Mouse(bar, WM_MOUSEMOVE, 50, 15);
    EXPECT_TRUE(bar->ThumbHovered());
    Mouse(bar, WM_MOUSEMOVE, 100, 15);
    EXPECT_FALSE(bar->ThumbHovered());
    Mouse(bar, WM_MOUSEMOVE, 50, 15);
    bar->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(bar->ThumbHovered());
}

TEST_F(SkinTrackBarTest, TheRangeRefusesToCloseAndTheStepToVanish)
{
    auto* bar = Place<TKsCustomTrackBar>(Host, 10, 10, 150, 45);
    Counter changes;
    bar->OnChange = MakeEvent<&Counter::Hit>(&changes);
    bar->SetMax(-10);  // not above Min 0
    EXPECT_EQ(10, bar->Max());
    bar->SetMin(10);
    bar->SetMin(11);
    EXPECT_EQ(0, bar->Min());
    bar->SetPosition(8);
    bar->SetMax(5);  // pulls the position down to it
    EXPECT_EQ(5, bar->Position());
    EXPECT_EQ(2, changes.Count);
    bar->SetMin(-5);
    EXPECT_EQ(-5, bar->Min());
    EXPECT_EQ(5, bar->Max());
    bar->SetMin(5);
    bar->SetMax(-5);
    EXPECT_EQ(-5, bar->Min());
    EXPECT_EQ(5, bar->Max());
    bar->SetFrequency(0);
    bar->SetFrequency(-3);
    EXPECT_EQ(1, bar->Frequency());
    Show();
    bar->Invalidate();
    EXPECT_EQ(2, changes.Count);
}

TEST_F(SkinTrackBarTest, ABarWithoutTravelDividesByNothing)
{
    for (int width : {27, 10, 0}) {
        auto* bar = Place<TEpTrackBar>(Host, 10, 10, width, 45);
        bar->SetPosition(7);
        Show();
        // Every position at the start of the travel; every coordinate is Min.
        EXPECT_EQ(13, bar->PositionCoordinate(0)) << width;
        EXPECT_EQ(13, bar->PositionCoordinate(10)) << width;
        EXPECT_EQ(0, bar->CoordinatePosition(13)) << width;
        EXPECT_EQ(0, bar->CoordinatePosition(300)) << width;
        Mouse(bar, WM_LBUTTONDOWN, 13, 15, MK_LBUTTON);
        Mouse(bar, WM_MOUSEMOVE, 20, 15, MK_LBUTTON);
        Mouse(bar, WM_LBUTTONUP, 20, 15);
        Mouse(bar, WM_LBUTTONDOWN, 2, 40, MK_LBUTTON);
        Mouse(bar, WM_LBUTTONUP, 2, 40);
        bar->Invalidate();
        bar->Free();
    }
}

TEST_F(SkinTrackBarTest, TheWidestRangeMapsWithoutOverflowAndTicksInTime)
{
    auto* bar = Place<TKsCustomTrackBar>(Host, 10, 10, 150, 45);
    bar->SetMin(INT_MIN);
    bar->SetMax(INT_MAX);
    bar->SetPosition(0);
    Show();
    EXPECT_EQ(Coord(0, INT_MIN, INT_MAX, 150), bar->PositionCoordinate(0));
    EXPECT_EQ(75, bar->PositionCoordinate(0));
    EXPECT_EQ(13, bar->PositionCoordinate(INT_MIN));
    EXPECT_EQ(136, bar->PositionCoordinate(INT_MAX));
    EXPECT_EQ(INT_MIN, bar->CoordinatePosition(0));
    EXPECT_EQ(INT_MAX, bar->CoordinatePosition(149));
    // Four thousand million ticks land on 124 pixels: each drawn once.
    const DWORD start = GetTickCount();
    bar->SetTickMarks(tmBoth);
    bar->Invalidate();
    EXPECT_LT(GetTickCount() - start, 2000u);
    bar->SetColor(clWhite);
    for (int x = 13; x <= 136; ++x) EXPECT_EQ(0u, BufferRgb(bar, x, 34)) << x;
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 12, 34));
    EXPECT_EQ(OpaqueRgb(clWhite), BufferRgb(bar, 137, 34));
    // Keys step without wrapping round.
    bar->SetFocus();
    Key(bar, VK_END);
    bar->SetPageSize(INT_MAX);
    Key(bar, VK_NEXT);
    EXPECT_EQ(INT_MAX, bar->Position());
    Key(bar, VK_HOME);
    Key(bar, VK_PRIOR);
    EXPECT_EQ(INT_MIN, bar->Position());
}

// --- From a form resource -----------------------------------------------------------------

namespace {

class TBarForm : public TForm {
    GANTREL_CLASS(TBarForm)
    TBarForm() : TForm(nullptr, 0) {}
    TEpTrackBar* MaxFirst = nullptr;
    TEpTrackBar* MinFirst = nullptr;
    TEpTrackBar* NoRange = nullptr;
    TEpTrackBar* EpTrackBar4 = nullptr;
    int Changes = 0;
    void BarChange(TObject*) { ++Changes; }
    void BarNotify(TObject*) {}
    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TBarForm, MaxFirst), GANTREL_FIELD(TBarForm, MinFirst), GANTREL_FIELD(TBarForm, NoRange),
             GANTREL_FIELD(TBarForm, EpTrackBar4)},
            {GANTREL_HANDLER(TBarForm, BarChange), GANTREL_HANDLER(TBarForm, BarNotify)},
        };
        return &table;
    }
};

const char* BarFormText =
    "object BarForm: TBarForm\n"
    "  Width = 400\n"
    "  Height = 300\n"
    "  object MaxFirst: TEpTrackBar\n"
    "    OnChange = BarChange\n"
    "    Max = -5\n"
    "    Min = -10\n"
    "  end\n"
    "  object MinFirst: TEpTrackBar\n"
    "    OnChange = BarChange\n"
    "    Top = 50\n"
    "    Position = -7\n"
    "    Min = -10\n"
    "    Max = -5\n"
    "  end\n"
    "  object NoRange: TEpTrackBar\n"
    "    OnChange = BarChange\n"
    "    Top = 100\n"
    "    Max = 5\n"
    "    Min = 5\n"
    "    Position = 9\n"
    "  end\n"
    "  object EpTrackBar4: TEpTrackBar\n"
    "    OnChange = BarChange\n"
    "    OnMouseEnter = BarNotify\n"
    "    OnMouseLeave = BarNotify\n"
    "    Left = 200\n"
    "    Top = 20\n"
    "    Width = 32\n"
    "    Height = 112\n"
    "    Blend = False\n"
    "    BlendValue = 150\n"
    "    Transparent = False\n"
    "    IntervalHighlightType = htLowInterval\n"
    "    LineSize = 1\n"
    "    Max = 2\n"
    "    Min = -5\n"
    "    Orientation = toVertical\n"
    "    PageSize = 1\n"
    "    Position = 0\n"
    "    Frequency = 2\n"
    "    ThumbVisible = True\n"
    "    ThumbHalfWidth = 5\n"
    "    TickMarks = tmBoth\n"
    "    ShowTicks = True\n"
    "    Background.Color = clWhite\n"
    "    Border.Color = clGray\n"
    "    ThumbBackground.Style = ebsGradient\n"
    "    ThumbBackground.GradientDirection = egdHorizontal\n"
    "    ThumbBorder.Color = clNavy\n"
    "    HighlightBackground.Color = clLime\n"
    "    HighlightBorder.Width = 0\n"
    "    TickColor = clMaroon\n"
    "    Version = '2.1'\n"
    "    TabOrder = 0\n"
    "  end\n"
    "end\n";

}  // namespace

TEST_F(SkinTrackBarTest, MinAndMaxReadInEitherOrderGiveTheStoredRange)
{
    RegisterSkinClasses();
    TBarForm* form = new TBarForm;
    ReadFormText(form, BarFormText, TBarForm::Table());
    EXPECT_EQ(0, form->Changes);
    EXPECT_EQ(-10, form->MaxFirst->Min());
    EXPECT_EQ(-5, form->MaxFirst->Max());
    EXPECT_EQ(-5, form->MaxFirst->Position());  // 3 kept inside
    EXPECT_EQ(-10, form->MinFirst->Min());
    EXPECT_EQ(-5, form->MinFirst->Max());
    EXPECT_EQ(-7, form->MinFirst->Position());
    // No range at all: what the setters keep, Max read first.
    EXPECT_EQ(0, form->NoRange->Min());
    EXPECT_EQ(5, form->NoRange->Max());
    EXPECT_EQ(5, form->NoRange->Position());
    TEpTrackBar* bar = form->EpTrackBar4;
    EXPECT_EQ(-5, bar->Min());
    EXPECT_EQ(2, bar->Max());
    EXPECT_EQ(0, bar->Position());
    EXPECT_EQ(toVertical, bar->Orientation());
    EXPECT_EQ(htLowInterval, bar->IntervalHighlightType());
    EXPECT_EQ(2, bar->Frequency());
    EXPECT_EQ(5, bar->ThumbHalfWidth());
    EXPECT_EQ(tmBoth, bar->TickMarks());
    EXPECT_EQ(clMaroon, bar->TickColor());
    EXPECT_EQ(clGray, bar->Border()->Color());
    EXPECT_EQ(egdHorizontal, bar->ThumbBackground()->GradientDirection());
    EXPECT_EQ(clNavy, bar->ThumbBorder()->Color());
    EXPECT_EQ(0, bar->HighlightBorder()->Width());
    EXPECT_EQ(32, bar->Width());
    EXPECT_EQ(112, bar->Height());
    // The program's call after loading reports its change.
    bar->SetPosition(-3);
    EXPECT_EQ(1, form->Changes);
    form->Show();
    Pump(30);
    // Thumb 11 wide and 24 long, from 7 + 5 across: tick colour above the
    // thumb's start, its border where the position puts it.
    const int c = Coord(-3, -5, 2, 112, 5);
    EXPECT_EQ(OpaqueRgb(clNavy), BufferRgb(bar, 20, c - 5));
    EXPECT_EQ(OpaqueRgb(clNavy), BufferRgb(bar, 12, c));
    EXPECT_EQ(OpaqueRgb(clMaroon), BufferRgb(bar, 8, Coord(-5, -5, 2, 112, 5)));
    form->Free();
}

TEST_F(SkinTrackBarTest, AThumbHalfWidthBeyondSixteenBitsIsAFormError)
{
    RegisterSkinClasses();
    TBarForm* form = new TBarForm;
    EXPECT_THROW(ReadFormText(form,
                              "object BarForm: TBarForm\n"
                              "  object EpTrackBar4: TEpTrackBar\n"
                              "    ThumbHalfWidth = 65536\n"
                              "  end\n"
                              "end\n",
                              nullptr),
                 EReadError);
    form->Free();
}

// The media family's scroll bar: its geometry against the worked examples,
// its setters' limits, the position and coordinate conversions, and its
// behaviour under real mouse messages posted to its parent's window: the
// repeat of a held button (at once, after the keyboard delay, then at the
// keyboard rate), a slider dragged, a track area paging until the slider
// reaches the mouse, a press dragged off; the keys; the auto-scroll.
#include "Reader.h"
#include "ScrollBars.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"
#include "SkinUtils.h"

#include <algorithm>
#include <cmath>

using namespace SkinTest;

namespace {

// Keeps what the bar reports: every change with its time, every scroll code.
struct TBarWatch : TObject {
    TMpCustomScrollBar* Bar = nullptr;
    std::vector<double> Changes;
    std::vector<int> Positions;
    std::vector<TKsScrollCode> Codes;
    int Replace = -1;  // the position a page-down step is turned into
    void Changed(TObject*)
    {
        Changes.push_back(NowMs());
        Positions.push_back(Bar->Position());
    }
    void Scrolled(TObject*, TKsScrollCode code, int& pos)
    {
        Codes.push_back(code);
        if (Replace >= 0 && code == scPageDown) pos = Replace;
    }
};

class SkinScrollBarTest : public SkinFormTest {
protected:
    TMpCustomScrollBar* Bar(int l, int t, int w, int h = -1)
    {
        auto* b = new TMpCustomScrollBar(Form);
        b->SetParent(Host);
        b->SetBounds(l, t, w, h < 0 ? b->Height() : h);
        Watch.Bar = b;
        b->OnChange = MakeEvent<&TBarWatch::Changed>(&Watch);
        b->OnScroll = MakeEvent<&TBarWatch::Scrolled>(&Watch);
        return b;
    }
    // A mouse message at (x, y) of the bar, posted to its parent's window.
    void At(TMpCustomScrollBar* b, UINT msg, int x, int y, WPARAM keys = 0)
    {
        Mouse(Host, msg, b->Left() + x, b->Top() + y, keys);
    }
    void Press(TMpCustomScrollBar* b, int x, int y)
    {
        At(b, WM_MOUSEMOVE, x, y);
        At(b, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    }
    const int T = GetSystemMetrics(SM_CYVTHUMB);
    TBarWatch Watch;
};

RECT Center(const RECT& r)
{
    return RECT{(r.left + r.right) / 2, (r.top + r.bottom) / 2, 0, 0};
}

}  // namespace

TEST_F(SkinScrollBarTest, TheDefaultBarHasThumbSizedButtonsAndSlider)
{
    auto* b = Bar(10, 10, 121);
    ASSERT_GT(T, 0);
    EXPECT_EQ(121, b->Width());
    EXPECT_EQ(T + 2, b->Height());
    EXPECT_EQ(100, b->Max());
    EXPECT_EQ(0, b->PageSize());
    EXPECT_EQ(T, b->GetBtnSize());
    EXPECT_RECT((RECT{1, 1, 1 + T, T + 1}), b->GetLeftTopBtnRect());
    EXPECT_RECT((RECT{120 - T, 1, 120, T + 1}), b->GetRightBottomBtnRect());
    EXPECT_RECT((RECT{1 + T, 1, 120 - T, T + 1}), b->GetBackgroundRect());
    EXPECT_EQ(T, b->GetSliderSize());
    // Position 0 at the track's start, 100 at its end.
    EXPECT_RECT((RECT{1 + T, 1, 1 + 2 * T, T + 1}), b->GetSliderRect());
    b->SetPosition(100);
    EXPECT_RECT((RECT{120 - 2 * T, 1, 120 - T, T + 1}), b->GetSliderRect());
    // In between, in proportion (30 of 100 of the span).
    const int span = (119 - 2 * T) - T;
    EXPECT_EQ(1 + T + int(std::floor(30.0 * span / 100 + 0.5)), b->PositionCoordinate(30));
    // The areas beside the slider.
    b->SetPosition(50);
    const RECT slider = b->GetSliderRect();
    EXPECT_RECT((RECT{1 + T, 1, slider.left, T + 1}), b->GetLeftTopAreaRect());
    EXPECT_RECT((RECT{slider.right, 1, 120 - T, T + 1}), b->GetRightBottomAreaRect());
    // A vertical bar measures along its height.
    b->SetKind(sbVertical);
    b->SetBounds(10, 10, T + 2, 121);
    EXPECT_RECT((RECT{1, 1, T + 1, 1 + T}), b->GetLeftTopBtnRect());
    EXPECT_RECT((RECT{1, 120 - T, T + 1, 120}), b->GetRightBottomBtnRect());
}

TEST_F(SkinScrollBarTest, AShortBarSharesItsLengthBetweenItsButtons)
{
    auto* b = Bar(10, 10, 30);
    // 30 long, border 1: 28 pixels for two buttons; with T = 16 each gets 14.
    const int expected = 28 < 2 * T ? 14 : T;
    EXPECT_EQ(expected, b->GetBtnSize());
    if (T == 16) {
        EXPECT_EQ(14, b->GetBtnSize());
    }
    EXPECT_RECT((RECT{1, 1, 1 + expected, b->Height() - 1}), b->GetLeftTopBtnRect());
    EXPECT_RECT((RECT{29 - expected, 1, 29, b->Height() - 1}), b->GetRightBottomBtnRect());
}

TEST_F(SkinScrollBarTest, APageAsLongAsTheRangeLeavesNoSlider)
{
    auto* b = Bar(10, 10, 200);
    b->SetPageSize(101);
    EXPECT_EQ(101, b->PageSize());
    EXPECT_EQ(0, b->GetSliderSize());
    EXPECT_FALSE(b->IsSliderVizible());
    b->SetPageSize(500);  // cut to the range
    EXPECT_EQ(101, b->PageSize());
    // Half the range: half the track (rounded), at least two thirds of T.
    b->SetPageSize(50);
    const int track = 200 - 2 - 2 * T;
    EXPECT_EQ(int(std::floor(50.0 * track / 101 + 0.5)), b->GetSliderSize());
    b->SetPageSize(1);
    EXPECT_EQ(T / 3 * 2, b->GetSliderSize());
    EXPECT_TRUE(b->IsSliderVizible());
    b->SetEnabled(false);
    EXPECT_FALSE(b->IsSliderVizible());
}

TEST_F(SkinScrollBarTest, SettersKeepTheLimitsInOrder)
{
    auto* b = Bar(10, 10, 200);
    b->SetPosition(40);
    b->SetMin(60);  // pulls the position up
    EXPECT_EQ(60, b->Min());
    EXPECT_EQ(60, b->Position());
    b->SetMax(5);  // below Min: Min
    EXPECT_EQ(60, b->Max());
    b->SetMax(100);
    b->SetPosition(90);
    b->SetMax(70);  // pulls the position down
    EXPECT_EQ(70, b->Position());
    b->SetMin(500);  // above Max: Max
    EXPECT_EQ(70, b->Min());
    b->SetMin(0);
    b->SetPageSize(30);
    b->SetPageSize(-1);  // ignored
    EXPECT_EQ(30, b->PageSize());
    b->SetMax(10);  // the page is cut to the range
    EXPECT_EQ(11, b->PageSize());
    // A position kept in range fires only when it changes.
    const size_t changes = Watch.Changes.size();
    b->SetPosition(10);
    b->SetPosition(50);
    EXPECT_EQ(10, b->Position());
    EXPECT_EQ(changes, Watch.Changes.size());
    b->SetLargeChange(0);
    EXPECT_EQ(1, b->LargeChange());
    b->SetSmallChange(40000);
    EXPECT_EQ(32767, b->SmallChange());
}

TEST_F(SkinScrollBarTest, ThePositionTestUsesItsArgument)
{
    auto* b = Bar(10, 10, 200);
    b->SetPageSize(10);
    b->SetPosition(100);  // beyond Max - PageSize + 1 = 91
    const int start = 1 + T, end = 199 - T, size = b->GetSliderSize();
    EXPECT_EQ(start, b->PositionCoordinate(0));
    EXPECT_EQ(end - size, b->PositionCoordinate(91));
    EXPECT_EQ(end - size, b->PositionCoordinate(95));
    EXPECT_EQ(end - size, b->GetSliderRect().left);
    // And back: the track's start is Min, its last place the last position.
    EXPECT_EQ(0, b->CoordinatePosition(start));
    EXPECT_EQ(91, b->CoordinatePosition(end - size));
    EXPECT_EQ(91, b->CoordinatePosition(end + 50));
    EXPECT_EQ(0, b->CoordinatePosition(start - 50));
}

TEST_F(SkinScrollBarTest, AHeldButtonStepsAtOnceThenAfterTheDelayThenAtTheRate)
{
    auto* b = Bar(10, 10, 200);
    b->SetMax(100000);
    Show();
    const int delay = GetKeyBoardDelayInterval(), rate = GetKeyBoardSpeedInterval();
    ASSERT_GE(delay, 200);
    ASSERT_GE(rate, 1);
    const RECT button = Center(b->GetRightBottomBtnRect());
    const double pressed = NowMs();
    Press(b, button.left, button.top);
    // The first step comes with the press itself.
    ASSERT_EQ(1u, Watch.Changes.size());
    EXPECT_EQ(1, b->Position());
    EXPECT_TRUE(b->GetRightBottomBtnPressed());
    const int hold = delay + std::max(400, 25 * rate);
    Pump(hold);
    At(b, WM_LBUTTONUP, button.left, button.top);
    const size_t atRelease = Watch.Changes.size();
    Pump(delay + 10 * rate);
    // Nothing after the release.
    EXPECT_EQ(atRelease, Watch.Changes.size());
    EXPECT_FALSE(b->Repeating());
    ASSERT_GE(atRelease, 5u) << "the repeat hardly ran";
    const std::vector<double>& t = Watch.Changes;
    // No second step before the delay (a timer never fires early; a few ms
    // of clock skew allowed).
    EXPECT_LT(t[0] - pressed, 0.8 * delay);
    EXPECT_GE(t[1] - t[0], delay - 15) << "second step too early";
    // Then at the rate: never faster, and as many as the time allows (a
    // loaded machine may give fewer, never more).
    const double median = MedianGap(t, 2, atRelease);
    EXPECT_GE(median, rate - 15);
    if (delay > rate + 50) {
        EXPECT_GT(t[1] - t[0], median) << "the delay should exceed the repeat interval";
    }
    const double repeating = t[atRelease - 1] - t[1];
    EXPECT_LE(double(atRelease - 2), repeating / std::max(1, rate - 5) + 2);
    // Every step was a line down.
    for (size_t i = 0; i < Watch.Positions.size(); ++i) EXPECT_EQ(int(i) + 1, Watch.Positions[i]);
    EXPECT_EQ(scEndScroll, Watch.Codes.back());
}

TEST_F(SkinScrollBarTest, APressDraggedOffAButtonStopsStepping)
{
    auto* b = Bar(10, 10, 200);
    Show();
    const RECT button = Center(b->GetLeftTopBtnRect());
    b->SetPosition(50);
    Watch.Changes.clear();
    Press(b, button.left, button.top);
    ASSERT_EQ(1u, Watch.Changes.size());
    EXPECT_EQ(49, b->Position());
    // Off the bar altogether: the bar still hears the mouse, the button is
    // no longer pressed.
    At(b, WM_MOUSEMOVE, button.left, 150, MK_LBUTTON);
    EXPECT_FALSE(b->GetLeftTopBtnPressed());
    Pump(GetKeyBoardDelayInterval() + 10 * GetKeyBoardSpeedInterval());
    EXPECT_EQ(49, b->Position());
    At(b, WM_LBUTTONUP, button.left, 150);
    EXPECT_EQ(49, b->Position());
    EXPECT_FALSE(b->Repeating());
}

TEST_F(SkinScrollBarTest, ADraggedSliderTracksTheMouse)
{
    auto* b = Bar(10, 10, 221);
    Show();
    const int start = 1 + T, span = (221 - 2 - 2 * T) - T;
    const int y = b->Height() / 2;
    // Grabbed at its very first pixel.
    Press(b, start, y);
    EXPECT_TRUE(b->GetSliderPressed());
    ASSERT_FALSE(Watch.Codes.empty());
    EXPECT_EQ(scTrack, Watch.Codes.back());
    At(b, WM_MOUSEMOVE, start + 60, y, MK_LBUTTON);
    EXPECT_EQ(int(std::floor(60.0 * 100 / span + 0.5)), b->Position());
    EXPECT_EQ(start + int(std::floor(b->Position() * double(span) / 100 + 0.5)), b->GetSliderRect().left);
    // Far off the bar, beyond its end: the last position; before it: the first.
    At(b, WM_MOUSEMOVE, 400, 120, MK_LBUTTON);
    EXPECT_EQ(100, b->Position());
    At(b, WM_MOUSEMOVE, -300, y, MK_LBUTTON);
    EXPECT_EQ(0, b->Position());
    At(b, WM_MOUSEMOVE, start + 30, y, MK_LBUTTON);
    const int dropped = b->Position();
    EXPECT_EQ(int(std::floor(30.0 * 100 / span + 0.5)), dropped);
    Watch.Codes.clear();
    At(b, WM_LBUTTONUP, start + 30, y);
    EXPECT_FALSE(b->GetSliderPressed());
    ASSERT_EQ(2u, Watch.Codes.size());
    EXPECT_EQ(scPosition, Watch.Codes[0]);
    EXPECT_EQ(scEndScroll, Watch.Codes[1]);
    EXPECT_EQ(dropped, b->Position());
    // Grabbed in its middle: the grab point stays under the mouse.
    const int left = b->GetSliderRect().left;
    Press(b, left + T / 2, y);
    At(b, WM_MOUSEMOVE, left + T / 2 + 20, y, MK_LBUTTON);
    EXPECT_NEAR(left + 20, b->GetSliderRect().left, 1);
    At(b, WM_LBUTTONUP, left + T / 2 + 20, y);
}

TEST_F(SkinScrollBarTest, AHeldTrackAreaPagesUntilTheSliderReachesTheMouse)
{
    auto* b = Bar(10, 10, 221);
    b->SetLargeChange(10);
    Show();
    const int start = 1 + T, span = (221 - 2 - 2 * T) - T;
    const int x = start + 100, y = b->Height() / 2;
    // The first position whose slider covers x.
    int stop = 0;
    while (!(start + std::floor(stop * double(span) / 100 + 0.5) <= x &&
             x < start + std::floor(stop * double(span) / 100 + 0.5) + T))
        stop += 10;
    Press(b, x, y);
    EXPECT_EQ(10, b->Position());  // a page at once
    EXPECT_TRUE(b->GetRightBottomAreaPressed());
    // While held, the pressed area is drawn dark.
    Pump(20);
    GdiFlush();
    EXPECT_EQ(Rgb(KColor(cl3DDkShadow, 255)), Rgb(b->Buffer()->GetPixel(x, y)));
    Pump(GetKeyBoardDelayInterval() + 40 * GetKeyBoardSpeedInterval() + 200,
         [&] { return b->Position() >= stop; });
    Pump(GetKeyBoardDelayInterval());
    EXPECT_EQ(stop, b->Position());
    At(b, WM_LBUTTONUP, x, y);
    EXPECT_EQ(stop, b->Position());
}

TEST_F(SkinScrollBarTest, KeysStepAndTheScrollHandlerHasTheLastWord)
{
    auto* b = Bar(10, 10, 200);
    b->SetLargeChange(7);
    b->SetSmallChange(2);
    b->SetPosition(50);
    b->ImitateKeyDown(VK_NEXT, 0);
    EXPECT_EQ(57, b->Position());
    b->ImitateKeyDown(VK_PRIOR, 0);
    EXPECT_EQ(50, b->Position());
    b->ImitateKeyDown(VK_RIGHT, 0);
    b->ImitateKeyDown(VK_DOWN, 0);
    EXPECT_EQ(54, b->Position());
    b->ImitateKeyDown(VK_LEFT, 0);
    b->ImitateKeyDown(VK_UP, 0);
    EXPECT_EQ(50, b->Position());
    b->ImitateKeyDown(VK_END, 0);
    EXPECT_EQ(100, b->Position());
    b->ImitateKeyDown(VK_HOME, 0);
    EXPECT_EQ(0, b->Position());
    b->ImitateKeyDown(VK_LEFT, 0);  // kept at Min
    EXPECT_EQ(0, b->Position());
    const std::vector<TKsScrollCode> codes = {scPageDown, scPageUp, scLineDown, scLineDown, scLineUp,
                                              scLineUp,   scBottom, scTop,      scLineUp};
    EXPECT_EQ(codes, Watch.Codes);
    b->ImitateKeyDown(VK_SPACE, 0);
    b->ImitateKeyDown(41, 0);
    EXPECT_EQ(codes.size(), Watch.Codes.size());
    // With a page size, a page is the page.
    b->SetPageSize(20);
    b->ImitateKeyDown(VK_NEXT, 0);
    EXPECT_EQ(20, b->Position());
    Watch.Replace = 42;
    b->ImitateKeyDown(VK_NEXT, 0);
    EXPECT_EQ(42, b->Position());
}

TEST_F(SkinScrollBarTest, AutoScrollRunsToTheEndAndStops)
{
    auto* b = Bar(10, 10, 200);
    b->SetMax(6);
    b->SetPosition(2);
    Show();
    b->SetAutoSrcollDown(true);
    EXPECT_TRUE(b->Repeating());
    EXPECT_EQ(2, b->Position());  // no step at once
    Pump(3000, [&] { return !b->AutoScrollDown(); });
    EXPECT_EQ(6, b->Position());
    EXPECT_FALSE(b->AutoScrollDown());
    EXPECT_FALSE(b->Repeating());
    b->SetAutoSrcollUp(true);
    b->SetAutoSrcollDown(true);  // one direction at a time
    EXPECT_FALSE(b->AutoScrollUp());
    b->SetAutoSrcollDown(false);
    EXPECT_FALSE(b->Repeating());
}

TEST_F(SkinScrollBarTest, ItsOwnDrawingIsOpaqueAndFollowsItsParts)
{
    auto* b = Bar(10, 10, 200);
    b->SetPosition(50);
    Show();
    b->Repaint();
    Pump(10);
    GdiFlush();
    TKsMediaBitmap* buffer = b->Buffer();
    const int h = b->Height();
    // Border: shadow on the top-left, highlight at the bottom right.
    EXPECT_EQ(KColor(clBtnShadow, 255), buffer->GetPixel(50, 0));
    EXPECT_EQ(KColor(clBtnHighlight, 255), buffer->GetPixel(50, h - 1));
    // The track's half-tone: the highlight where x + y is even, the scroll
    // bar's colour elsewhere.
    const RECT track = b->GetLeftTopAreaRect();
    for (int y = track.top; y < track.bottom; ++y)
        for (int x = track.left; x < track.right; ++x)
            ASSERT_EQ(KColor((x + y) % 2 ? clScrollBar : clBtnHighlight, 255), buffer->GetPixel(x, y)) << x << "," << y;
    // The slider: the 3-D light outline, the face inside.
    const RECT s = b->GetSliderRect();
    EXPECT_EQ(KColor(cl3DLight, 255), buffer->GetPixel(s.left, s.top + 3));
    EXPECT_EQ(KColor(cl3DDkShadow, 255), buffer->GetPixel(s.right - 1, s.top + 3));
    EXPECT_EQ(KColor(clBtnFace, 255), buffer->GetPixel((s.left + s.right) / 2, (s.top + s.bottom) / 2));
    // The buttons are drawn by the platform, which leaves alpha 0; the bar
    // makes them opaque again.
    for (const RECT& r : {b->GetLeftTopBtnRect(), b->GetRightBottomBtnRect()})
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) ASSERT_EQ(255, KAlpha(buffer->GetPixel(x, y))) << x << "," << y;
}

TEST_F(SkinScrollBarTest, ItsPublishedPropertiesReadFromAForm)
{
    RegisterSkinClasses();
    TForm* form = new TForm(nullptr, 0);
    ReadFormText(form,
                 "object BarForm: TForm\n"
                 "  object Media1: TMpCustomControl\n"
                 "    Width = 150\n"
                 "    Height = 100\n"
                 "    Constraints.MinHeight = 120\n"
                 "    BiDiMode = bdLeftToRight\n"
                 "    ParentBiDiMode = False\n"
                 "    DragCursor = crDrag\n"
                 "    DragKind = dkDrag\n"
                 "    DragMode = dmManual\n"
                 "    Blend = True\n"
                 "    BlendValue = 99\n"
                 "    Transparent = True\n"
                 "    object Bar1: TMpCustomScrollBar\n"
                 "      Kind = sbVertical\n"
                 "      Width = 18\n"
                 "      Height = 90\n"
                 "      Max = 50\n"
                 "      Min = 5\n"
                 "      PageSize = 10\n"
                 "      Position = 20\n"
                 "      LargeChange = 4\n"
                 "      SmallChange = 2\n"
                 "      BorderWidth = 2\n"
                 "      ShowButtons = False\n"
                 "      DragCursor = -12\n"
                 "      Constraints.MaxHeight = 80\n"
                 "    end\n"
                 "  end\n"
                 "end\n",
                 nullptr);
    auto* media = form->FindComponent<TMpCustomControl>("Media1");
    auto* bar = form->FindComponent<TMpCustomScrollBar>("Bar1");
    ASSERT_NE(nullptr, media);
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(120, media->Height());
    EXPECT_TRUE(media->Blend());
    EXPECT_EQ(99, media->BlendValue());
    EXPECT_TRUE(media->Transparent());
    EXPECT_EQ(media, bar->Parent());
    EXPECT_EQ(sbVertical, bar->Kind());
    EXPECT_EQ(80, bar->Height());
    EXPECT_EQ(50, bar->Max());
    EXPECT_EQ(5, bar->Min());
    EXPECT_EQ(10, bar->PageSize());
    EXPECT_EQ(20, bar->Position());
    EXPECT_EQ(4, bar->LargeChange());
    EXPECT_EQ(2, bar->SmallChange());
    EXPECT_EQ(2, bar->BorderWidth());
    EXPECT_FALSE(bar->ShowButtons());
    form->Free();
}

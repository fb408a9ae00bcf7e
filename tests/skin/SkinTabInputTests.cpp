// The tab control on screen: the strip drawn with the main window's style
// values (the selected tab's gradient, the page border, the selected tab
// over the border), the classic look's edges, owner drawing, and the
// control driven with real mouse and key messages: a click selects a tab,
// the arrow keys step, a held scroll button repeats at once, after 300 ms
// and then every 100 ms, pausing while the pointer is off it.
#include "SkinTabTestSupport.h"

#include <algorithm>
#include <cmath>

using namespace SkinTest;

namespace {

TKColor Channelwise(TKColor from, TKColor to, int k, int n)
{
    TKColor out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (from >> shift) & 255, b = (to >> shift) & 255;
        out |= TKColor(int(std::nearbyint(a + (b - a) * double(k) / n))) << shift;
    }
    return out;
}

bool Near(TKColor a, TKColor b, int tolerance = 1)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)) > tolerance) return false;
    return true;
}

class SkinTabScreenTest : public SkinFormTest {
protected:
    // The pointer goes back where it was: other tests post their moves
    // without it and must not find it over their windows.
    void SetUp() override
    {
        GetCursorPos(&SavedCursor);
        SkinFormTest::SetUp();
    }
    void TearDown() override
    {
        SkinFormTest::TearDown();
        SetCursorPos(SavedCursor.x, SavedCursor.y);
    }
    POINT SavedCursor{0, 0};
    template <class T>
    T* Tabs(int width, int height, int count, int tabWidth = 60)
    {
        auto* c = Place<T>(Host, 10, 10, width, height);
        c->Widths = {tabWidth};
        c->SetTabHeight(20);
        c->Font()->SetHeight(-11);  // scroll buttons of 16
        AddTabs(c, count);
        return c;
    }
    // The main window's styles: the page in clWindow framed in black, the
    // selected tab a gradient from clBtnFace down to white framed in black,
    // the others clBtnFace framed in grey.
    static void MainWindowStyles(TEpIITabControl* c)
    {
        c->Background()->SetStyle(ebsColor);
        c->Background()->SetColor(clWindow);
        c->Border()->SetColor(clBlack);
        c->Border()->SetWidth(1);
        c->ActiveTabBackground()->SetColor(clBtnFace);
        c->ActiveTabBackground()->SetGradientOrPlasmaColor(clWhite);
        c->ActiveTabBackground()->SetGradientDirection(egdVertical);
        c->ActiveTabBackground()->SetStyle(ebsGradient);
        c->ActiveTabBorder()->SetColor(clBlack);
        c->InactiveTabBackground()->SetColor(clBtnFace);
        c->InactiveTabBorder()->SetColor(clGray);
    }
    // A mouse message at (x, y) of the control, with the pointer moved there
    // first, so that the platform's own idea of where it is agrees.
    static void At(TWinControl* c, UINT msg, int x, int y, WPARAM keys = 0)
    {
        POINT p{x, y};
        ClientToScreen(c->Handle(), &p);
        SetCursorPos(p.x, p.y);
        Mouse(c, msg, x, y, keys);
    }
    static void Key(TWinControl* c, WORD key)
    {
        PostMessageA(c->Handle(), WM_KEYDOWN, key, 1);
        PostMessageA(c->Handle(), WM_KEYUP, key, 0xC0000001);
        Pump(5);
    }
    // The platform's scroll button of the buffer's size, as a reference.
    static std::vector<TKColor> Reference(const RECT& r, UINT state)
    {
        TKsBitmap b;
        b.SetSize(r.right - r.left, r.bottom - r.top);
        b.Clear(0xFF000000u);
        RECT box{0, 0, b.Width(), b.Height()};
        DrawFrameControl(b.DC(), &box, DFC_SCROLL, state);
        GdiFlush();
        std::vector<TKColor> pixels;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) pixels.push_back(Rgb(b.GetPixel(x, y)));
        return pixels;
    }
    template <class C>
    static std::vector<TKColor> Pixels(C* c, const RECT& r)
    {
        GdiFlush();
        std::vector<TKColor> pixels;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) pixels.push_back(Rgb(c->Buffer()->GetPixel(x, y)));
        return pixels;
    }
};

struct TDrawLog : TObject {
    std::vector<int> Indexes;
    std::vector<bool> Active;
    std::vector<RECT> Rects;
    void Clear()
    {
        Indexes.clear();
        Active.clear();
        Rects.clear();
    }
    void Draw(TKsCustomTabControl*, int index, const RECT& r, bool active)
    {
        Indexes.push_back(index);
        Active.push_back(active);
        Rects.push_back(r);
    }
};

}  // namespace

// --- Painting ---------------------------------------------------------------------------

TEST_F(SkinTabScreenTest, TheStyledStripShowsTheSelectedGradientAndThePageBorder)
{
    auto* c = Tabs<TSizedEpTabs>(300, 150, 3);
    MainWindowStyles(c);
    c->SetTabIndex(1);
    Show();
    c->Invalidate();
    // Margins of the border's width 1: the strip is 21 deep, tabs reach 22.
    ASSERT_EQ(1, c->GetTopMargin());
    EXPECT_RECT((RECT{61, 1, 121, 22}), c->GetTabRect(1));
    EXPECT_RECT((RECT{0, 21, 300, 150}), c->GetBorderRect());
    ASSERT_FALSE(HasFailure()) << "the layout the pixels below assume";
    const TKColor black = 0, grey = 0x808080, window = SysRgb(COLOR_WINDOW), face = SysRgb(COLOR_BTNFACE);

    // The page: a one-pixel black frame round clWindow.
    EXPECT_EQ(0, CountPixels(c, RECT{0, 21, 300, 22}, [&](TKColor p, int x, int) {
                  return x >= 61 && x < 121 ? true : Rgb(p) == black;
              }));
    EXPECT_EQ(0, CountPixels(c, RECT{0, 149, 300, 150}, [&](TKColor p, int, int) { return Rgb(p) == black; }));
    EXPECT_EQ(0, CountPixels(c, RECT{0, 22, 1, 149}, [&](TKColor p, int, int) { return Rgb(p) == black; }));
    EXPECT_EQ(0, CountPixels(c, RECT{299, 22, 300, 149}, [&](TKColor p, int, int) { return Rgb(p) == black; }));
    EXPECT_EQ(0, CountPixels(c, RECT{1, 22, 299, 149}, [&](TKColor p, int, int) { return Rgb(p) == window; }));

    // The others: clBtnFace framed in grey; their foot lies under the page's frame.
    EXPECT_EQ(0, CountPixels(c, RECT{1, 1, 61, 2}, [&](TKColor p, int, int) { return Rgb(p) == grey; }));
    EXPECT_EQ(0, CountPixels(c, RECT{1, 2, 2, 21}, [&](TKColor p, int, int) { return Rgb(p) == grey; }));
    EXPECT_EQ(0, CountPixels(c, RECT{180, 2, 181, 21}, [&](TKColor p, int, int) { return Rgb(p) == grey; }));
    for (int x : {3, 58, 124, 177})
        EXPECT_EQ(0, CountPixels(c, RECT{x, 2, x + 1, 21}, [&](TKColor p, int, int) { return Rgb(p) == face; }))
            << "column " << x;

    // The selected one: framed in black, 21 bands from clBtnFace down to
    // white, one per row, the first exactly clBtnFace.
    EXPECT_EQ(0, CountPixels(c, RECT{61, 1, 121, 2}, [&](TKColor p, int, int) { return Rgb(p) == black; }));
    EXPECT_EQ(0, CountPixels(c, RECT{61, 1, 62, 22}, [&](TKColor p, int, int) { return Rgb(p) == black; }));
    EXPECT_EQ(0, CountPixels(c, RECT{120, 1, 121, 22}, [&](TKColor p, int, int) { return Rgb(p) == black; }));
    for (int x : {63, 118})
        EXPECT_EQ(0, CountPixels(c, RECT{x, 2, x + 1, 21}, [&](TKColor p, int, int y) {
                      return Near(Rgb(p), Channelwise(face, 0xFFFFFF, y - 1, 21));
                  })) << "column " << x;
    if (face != 0xFFFFFF) {
        EXPECT_NE(Rgb(c->Buffer()->GetPixel(63, 2)), Rgb(c->Buffer()->GetPixel(63, 20)));
    }

    // Drawn after the page's frame, the selected tab covers it.
    c->ActiveTabBorder()->SetColor(clMaroon);
    c->Invalidate();
    EXPECT_EQ(0, CountPixels(c, RECT{62, 21, 120, 22}, [&](TKColor p, int, int) { return Rgb(p) == 0x800000; }));
    EXPECT_EQ(Rgb(c->Buffer()->GetPixel(200, 21)), black);
    EXPECT_EQ(Rgb(c->Buffer()->GetPixel(30, 21)), black);
    // What the screen shows is the buffer.
    Pump(30);
    HDC dc = GetDC(c->Handle());
    EXPECT_EQ(Rgb(KColor(TColor(GetPixel(dc, 90, 21)), 255)), 0x800000u);
    EXPECT_EQ(Rgb(KColor(TColor(GetPixel(dc, 150, 80)), 255)), window);
    ReleaseDC(c->Handle(), dc);
}

TEST_F(SkinTabScreenTest, TheClassicLookFramesThePageAndTheTabsInSystemColours)
{
    auto* c = Tabs<TSizedKsTabs>(300, 150, 3);
    c->SetTabIndex(1);
    Show();
    c->Invalidate();
    const TKColor light = SysRgb(COLOR_BTNHIGHLIGHT), dark = SysRgb(COLOR_3DDKSHADOW),
                  shadow = SysRgb(COLOR_BTNSHADOW), face = SysRgb(COLOR_BTNFACE);
    auto at = [&](int x, int y) { return Rgb(c->Buffer()->GetPixel(x, y)); };
    // The page (0, 22, 300, 150): an outer and an inner edge.
    EXPECT_EQ(light, at(200, 22));
    EXPECT_EQ(light, at(0, 80));
    EXPECT_EQ(dark, at(299, 80));
    EXPECT_EQ(dark, at(150, 149));
    EXPECT_EQ(face, at(200, 23));
    EXPECT_EQ(face, at(1, 80));
    EXPECT_EQ(shadow, at(298, 80));
    EXPECT_EQ(shadow, at(150, 148));
    EXPECT_EQ(face, at(150, 80));
    // An unselected tab (122, 2, 182, 24) under the page's edge.
    EXPECT_EQ(light, at(150, 2));
    EXPECT_EQ(dark, at(181, 10));
    EXPECT_EQ(shadow, at(180, 10));
    EXPECT_EQ(light, at(150, 22));
    // The selected tab, grown by 2 but not into the page (60, 0, 124, 24),
    // covers the page's edge.
    EXPECT_EQ(light, at(90, 0));
    EXPECT_EQ(light, at(60, 10));
    EXPECT_EQ(dark, at(123, 10));
    EXPECT_EQ(shadow, at(122, 10));
    EXPECT_EQ(face, at(64, 12));
    EXPECT_EQ(face, at(90, 22));
    EXPECT_EQ(face, at(90, 23));
}

TEST_F(SkinTabScreenTest, WithoutTabsOnlyTheBackgroundAndTheBorderAreDrawn)
{
    auto* c = Place<TKsCustomTabControl>(Host, 10, 10, 120, 80);
    Show();
    c->Invalidate();
    EXPECT_EQ(0, c->RowCount());
    EXPECT_EQ(-1, c->PtInTab(10, 10));
    EXPECT_RECT((RECT{0, 0, 120, 80}), c->GetBorderRect());
    EXPECT_EQ(SysRgb(COLOR_BTNHIGHLIGHT), Rgb(c->Buffer()->GetPixel(0, 0)));
    EXPECT_EQ(SysRgb(COLOR_3DDKSHADOW), Rgb(c->Buffer()->GetPixel(119, 79)));
    const TKColor face = SysRgb(COLOR_BTNFACE);
    EXPECT_EQ(0, CountPixels(c, RECT{2, 2, 118, 78}, [&](TKColor p, int, int) { return Rgb(p) == face; }));
}

TEST_F(SkinTabScreenTest, OwnerDrawingLeavesTheCaptionsToTheHandler)
{
    auto* c = Tabs<TSizedKsTabs>(300, 150, 3);
    TDrawLog log;
    c->OnDrawTab = MakeEvent<&TDrawLog::Draw>(&log);
    c->SetTabIndex(1);
    Show();
    c->Invalidate();
    EXPECT_TRUE(log.Indexes.empty()) << "OwnerDraw is off";
    c->SetOwnerDraw(true);
    log.Clear();
    c->Invalidate();
    // The others, then the selected one over the border, grown.
    ASSERT_EQ((std::vector<int>{0, 2, 1}), log.Indexes);
    EXPECT_EQ((std::vector<bool>{false, false, true}), log.Active);
    EXPECT_RECT((RECT{60, 0, 124, 24}), log.Rects[2]);
    EXPECT_RECT((RECT{2, 2, 62, 24}), log.Rects[0]);
    // In rows the farthest come first and the selected tab comes twice.
    c->SetBounds(10, 10, 154, 150);
    c->SetMultiLine(true);
    c->SetTabIndex(0);
    log.Clear();
    c->Invalidate();
    EXPECT_EQ((std::vector<int>{2, 0, 1, 0}), log.Indexes);

    // The styled control draws its captions itself.
    auto* ep = Tabs<TSizedEpTabs>(300, 100, 3);
    TDrawLog epLog;
    ep->OnDrawTab = MakeEvent<&TDrawLog::Draw>(&epLog);
    ep->SetOwnerDraw(true);
    ep->Invalidate();
    EXPECT_TRUE(epLog.Indexes.empty());
}

// --- Mouse and keys -----------------------------------------------------------------------

TEST_F(SkinTabScreenTest, AClickOnATabSelectsItTakesTheFocusAndTellsOnChange)
{
    auto* c = Tabs<TSizedEpTabs>(300, 150, 4);
    MainWindowStyles(c);
    TTabWatch watch;
    watch.Attach(c);
    Show();
    At(c, WM_MOUSEMOVE, 150, 10);
    At(c, WM_LBUTTONDOWN, 150, 10, MK_LBUTTON);
    At(c, WM_LBUTTONUP, 150, 10);
    EXPECT_EQ(2, c->TabIndex());
    EXPECT_EQ((std::vector<int>{2}), watch.Changing);
    EXPECT_EQ((std::vector<int>{2}), watch.Changed);
    EXPECT_EQ(c->Handle(), GetFocus());
    // The selected tab now shows the active style.
    EXPECT_EQ(0u, Rgb(c->Buffer()->GetPixel(121, 10)));
    // The selected tab again, or the page: nothing.
    At(c, WM_LBUTTONDOWN, 150, 10, MK_LBUTTON);
    At(c, WM_LBUTTONUP, 150, 10);
    At(c, WM_LBUTTONDOWN, 150, 80, MK_LBUTTON);
    At(c, WM_LBUTTONUP, 150, 80);
    EXPECT_EQ(2, c->TabIndex());
    EXPECT_EQ(1u, watch.Changed.size());
    // The right button selects nothing.
    At(c, WM_RBUTTONDOWN, 30, 10, MK_RBUTTON);
    At(c, WM_RBUTTONUP, 30, 10);
    EXPECT_EQ(2, c->TabIndex());
}

TEST_F(SkinTabScreenTest, TheArrowKeysStepThroughTheTabsAndStopAtTheEnds)
{
    auto* c = Tabs<TSizedEpTabs>(300, 150, 3);
    TTabWatch watch;
    watch.Attach(c);
    Show();
    c->SetFocus();
    Pump(10);
    ASSERT_EQ(c->Handle(), GetFocus());
    EXPECT_EQ(DLGC_WANTARROWS, SendMessageA(c->Handle(), WM_GETDLGCODE, 0, 0));
    Key(c, VK_RIGHT);
    Key(c, VK_DOWN);
    EXPECT_EQ(2, c->TabIndex());
    Key(c, VK_RIGHT);  // no wrap
    EXPECT_EQ(2, c->TabIndex());
    Key(c, VK_LEFT);
    Key(c, VK_UP);
    Key(c, VK_UP);
    EXPECT_EQ(0, c->TabIndex());
    EXPECT_EQ((std::vector<int>{1, 2, 1, 0}), watch.Changed);
    EXPECT_EQ(watch.Changed, watch.Changing);
}

TEST_F(SkinTabScreenTest, TheHotTabFollowsThePointer)
{
    auto* c = Tabs<TSizedKsTabs>(300, 150, 3);
    c->SetHotTrack(true);
    Show();
    At(c, WM_MOUSEMOVE, 150, 10);
    EXPECT_EQ(2, c->HotTab());
    At(c, WM_MOUSEMOVE, 30, 10);
    EXPECT_EQ(0, c->HotTab());
    At(c, WM_MOUSEMOVE, 150, 80);
    EXPECT_EQ(-1, c->HotTab());
    At(c, WM_MOUSEMOVE, 90, 10);
    EXPECT_EQ(1, c->HotTab());
    // Leaving the control clears it.
    c->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(-1, c->HotTab());
}

namespace {
// Notes each move of the line with its time, while the message loop runs.
struct TLineWatch {
    TKsCustomTabControl* Control;
    int Last;
    std::vector<double> Times;
    std::vector<int> Firsts;
    explicit TLineWatch(TKsCustomTabControl* c) : Control(c), Last(c->FirstVisibleTab()) {}
    void Poll()
    {
        if (Control->FirstVisibleTab() == Last) return;
        Last = Control->FirstVisibleTab();
        Times.push_back(NowMs());
        Firsts.push_back(Last);
    }
    void Run(int ms)
    {
        Pump(ms, [this] {
            Poll();
            return false;
        });
    }
};
}  // namespace

TEST_F(SkinTabScreenTest, AHeldScrollButtonStepsAtOnceAfter300MsThenEvery100Ms)
{
    // Twenty tabs of 50 in 200 pixels: the line can move 17 tabs.
    auto* c = Tabs<TSizedKsTabs>(200, 120, 20, 50);
    Show();
    ASSERT_TRUE(c->ScrollButtonsVisible());
    const RECT button = c->GetRightScrlBtnRect();
    const int x = (button.left + button.right) / 2, y = (button.top + button.bottom) / 2;
    TLineWatch watch(c);
    At(c, WM_MOUSEMOVE, x, y);
    const double pressed = NowMs();
    At(c, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    watch.Poll();
    // The first step comes with the press.
    ASSERT_EQ(1u, watch.Times.size());
    EXPECT_EQ(1, c->FirstVisibleTab());
    EXPECT_TRUE(c->RightBtnPressed());
    EXPECT_TRUE(c->Repeating());
    watch.Run(1000);
    At(c, WM_LBUTTONUP, x, y);
    watch.Poll();
    const size_t atRelease = watch.Times.size();
    watch.Run(400);
    EXPECT_EQ(atRelease, watch.Times.size()) << "steps after the release";
    EXPECT_FALSE(c->Repeating());
    EXPECT_FALSE(c->RightBtnPressed());
    ASSERT_GE(atRelease, 4u) << "the repeat hardly ran";
    const std::vector<double>& t = watch.Times;
    EXPECT_LT(t[0] - pressed, 150.0);
    // No second step before the delay (a timer never fires early; a little
    // clock skew allowed), nor long after it.
    EXPECT_GE(t[1] - t[0], 300 - 20) << "second step too early";
    EXPECT_LT(t[1] - t[0], 300 + 400) << "second step far too late";
    // Then at the interval: never faster, and about as many as the time
    // allows (a loaded machine may give fewer, never more).
    const double median = MedianGap(t, 2, atRelease);
    EXPECT_GE(median, 100 - 20);
    EXPECT_LT(median, 300 - 20) << "the repeat should be faster than the delay";
    for (size_t i = 2; i < atRelease; ++i) EXPECT_GE(t[i] - t[i - 1], 100 - 30) << "step " << i;
    const double repeating = t[atRelease - 1] - t[1];
    EXPECT_LE(double(atRelease - 2), repeating / 90.0 + 1);
    // One tab per step, to the right.
    for (size_t i = 0; i < watch.Firsts.size(); ++i) EXPECT_EQ(int(i) + 1, watch.Firsts[i]);
}

TEST_F(SkinTabScreenTest, AHeldButtonPausesWhileThePointerIsOffItAndStopsAtTheEnd)
{
    auto* c = Tabs<TSizedKsTabs>(200, 120, 20, 50);
    Show();
    const RECT left = c->GetLeftScrlBtnRect(), right = c->GetRightScrlBtnRect();
    const int lx = (left.left + left.right) / 2, rx = (right.left + right.right) / 2, y = (left.top + left.bottom) / 2;
    const std::vector<TKColor> up = Reference(right, DFCS_SCROLLRIGHT),
                               down = Reference(right, DFCS_SCROLLRIGHT | DFCS_PUSHED);
    ASSERT_NE(up, down);
    EXPECT_EQ(up, Pixels(c, right));
    TLineWatch watch(c);
    At(c, WM_MOUSEMOVE, rx, y);
    At(c, WM_LBUTTONDOWN, rx, y, MK_LBUTTON);
    watch.Poll();
    ASSERT_EQ(1u, watch.Times.size());
    EXPECT_EQ(down, Pixels(c, right)) << "a held button is drawn pushed";
    // Off the button, over the page: the button shows up and the
    // line stays; the timer runs on.
    At(c, WM_MOUSEMOVE, rx, 100, MK_LBUTTON);
    EXPECT_FALSE(c->RightBtnPressed());
    EXPECT_EQ(up, Pixels(c, right));
    watch.Run(600);
    EXPECT_EQ(1u, watch.Times.size());
    EXPECT_TRUE(c->Repeating());
    // Back on it: the steps go on.
    At(c, WM_MOUSEMOVE, rx, y, MK_LBUTTON);
    EXPECT_TRUE(c->RightBtnPressed());
    watch.Run(400);
    EXPECT_GE(watch.Times.size(), 2u);
    // Held long enough, the line stops where the last tab is whole.
    watch.Run(2500);
    EXPECT_EQ(17, c->FirstVisibleTab());
    At(c, WM_LBUTTONUP, rx, y);
    EXPECT_FALSE(c->Repeating());
    // The left button goes back the other way; a press and release is one step.
    At(c, WM_MOUSEMOVE, lx, y);
    At(c, WM_LBUTTONDOWN, lx, y, MK_LBUTTON);
    At(c, WM_LBUTTONUP, lx, y);
    EXPECT_EQ(16, c->FirstVisibleTab());
    // A press on a button selects no tab.
    EXPECT_EQ(0, c->TabIndex());
}

TEST_F(SkinTabScreenTest, APageAndASeeThroughChildOnItShowTheControlsPageArea)
{
    auto* c = Place<TEpIITabControl>(Host, 10, 10, 240, 160);
    c->Background()->SetColor(TColor(RGB(200, 30, 40)));
    c->SetUsePages(true);
    AddTabs(c, 2, "P");
    c->SetTabIndex(0);
    TKsCustomTabSheet* page = c->GetPage(0);
    auto* child = new TKsCustomControl(Form);
    child->SetParent(page);
    child->SetBounds(20, 20, 60, 40);
    child->SetTransparent(true);
    Show();
    child->Invalidate();
    Pump(30);
    const TKColor red = 0xC81E28;
    // The child's buffer holds the page area's colour, asked of the page,
    // which asks its control.
    EXPECT_EQ(0, CountPixels(child, RECT{0, 0, 60, 40}, [&](TKColor p, int, int) { return Rgb(p) == red; }));
    // The page itself paints the control's pixels beneath it.
    HDC dc = GetDC(page->Handle());
    EXPECT_EQ(red, Rgb(KColor(TColor(GetPixel(dc, 150, 80)), 255)));
    EXPECT_EQ(red, Rgb(KColor(TColor(GetPixel(dc, 2, 2)), 255)));
    ReleaseDC(page->Handle(), dc);
}

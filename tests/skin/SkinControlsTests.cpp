// The buffered bases: buffers sized in granule steps, the parent's pixels
// under a transparent control (each family with its own request mark), two
// see-through neighbours painting each other without end, a blended control
// at opacity 255, 0 and half, the owner's blend query deciding whether
// windowed siblings show, degenerate sizes, the mouse flags, the media
// base's own scroll bars and its windowless children painted from its buffer.
#include "ScrollBars.h"
#include "SkinControlTestSupport.h"

#include <algorithm>

using namespace SkinTest;

namespace {

// Paints a square of its own (when given) and counts its paints.
template <class Base>
class TProbe : public Base {
public:
    explicit TProbe(TComponent* owner) : Base(owner) {}
    const char* ClassName() const override { return "TProbe"; }
    int Paints = 0;
    RECT Square{0, 0, 0, 0};
    TKColor SquareColor = 0xFFFF0000u;

protected:
    void PaintBuffer() override
    {
        ++Paints;
        Base::PaintBuffer();
        if (Square.right > Square.left) this->FBuffer->FillRect(Square, SquareColor);
    }
};
using TKsProbe = TProbe<TKsCustomControl>;
using TMpProbe = TProbe<TMpCustomControl>;
using TMpGraphicProbe = TProbe<TMpGraphicControl>;

class SkinControlsTest : public SkinFormTest {};

// Every pixel of the control's area in its buffer against what is expected
// at (x, y) of the control; the number of mismatches.
template <class C>
int Mismatches(C* c, const std::function<bool(TKColor, int, int)>& ok)
{
    GdiFlush();
    int bad = 0;
    for (int y = 0; y < c->Height(); ++y)
        for (int x = 0; x < c->Width(); ++x)
            if (!ok(c->Buffer()->GetPixel(x, y), x, y)) ++bad;
    return bad;
}

template <class C>
bool ShowsGradient(C* c, int& bad)
{
    const int left = c->Left(), top = c->Top();
    bad = Mismatches(c, [&](TKColor p, int x, int y) { return Rgb(p) == Rgb(GradientAt(left + x, top + y)); });
    return bad == 0;
}

}  // namespace

TEST_F(SkinControlsTest, BuffersGrowAndShrinkInGranuleSteps)
{
    auto* c = Place<TKsProbe>(Host, 10, 10, 30, 30);
    ASSERT_EQ(30, c->Granule());
    EXPECT_EQ(60, c->Buffer()->Width());
    EXPECT_EQ(60, c->Buffer()->Height());
    c->SetBounds(10, 10, 60, 45);
    EXPECT_EQ(60, c->Buffer()->Width());  // up to 60 fits
    c->SetBounds(10, 10, 61, 45);
    EXPECT_EQ(90, c->Buffer()->Width());
    c->SetBounds(10, 10, 30, 45);
    EXPECT_EQ(60, c->Buffer()->Width());  // 30 spare: one granule, kept
    c->SetBounds(10, 10, 29, 45);
    EXPECT_EQ(30, c->Buffer()->Width());
    EXPECT_EQ(60, c->Buffer()->Height());
    c->SetBounds(10, 10, 29, 91);
    EXPECT_EQ(120, c->Buffer()->Height());
    // The window sized by the platform: the same steps.
    Show();
    SetWindowPos(c->Handle(), nullptr, 0, 0, 95, 45, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(95, c->BoundsWidth());
    EXPECT_EQ(120, c->Buffer()->Width());
    EXPECT_EQ(60, c->Buffer()->Height());
    // The windowless media base follows the same steps.
    auto* g = Place<TMpGraphicProbe>(Host, 10, 10, 30, 61);
    EXPECT_EQ(60, g->Buffer()->Width());
    EXPECT_EQ(90, g->Buffer()->Height());
}

TEST_F(SkinControlsTest, ATransparentKsControlShowsItsParentsPixels)
{
    auto* c = Place<TKsProbe>(Host, 37, 23, 50, 40);
    c->SetTransparent(true);
    Show();
    c->Invalidate();  // the Ks base repaints its buffer at once
    int bad = 0;
    EXPECT_TRUE(ShowsGradient(c, bad)) << bad << " pixels differ";
    ASSERT_FALSE(Host->Requests.empty());
    EXPECT_EQ(100, Host->Requests.back());
    // What reaches the screen is the buffer.
    HDC dc = GetDC(c->Handle());
    EXPECT_EQ(Rgb(GradientAt(37 + 5, 23 + 7)), Rgb(KColor(TColor(GetPixel(dc, 5, 7)), 255)));
    ReleaseDC(c->Handle(), dc);
}

TEST_F(SkinControlsTest, TransparentMediaControlsShowTheirParentsPixels)
{
    auto* windowed = Place<TMpProbe>(Host, 101, 57, 40, 30);
    windowed->SetTransparent(true);
    auto* windowless = Place<TMpGraphicProbe>(Host, 13, 150, 45, 25);
    windowless->SetTransparent(true);
    Show();
    windowed->Repaint();
    windowless->Repaint();
    Pump(20);
    int bad = 0;
    EXPECT_TRUE(ShowsGradient(windowed, bad)) << "windowed: " << bad << " pixels differ";
    EXPECT_TRUE(ShowsGradient(windowless, bad)) << "windowless: " << bad << " pixels differ";
    ASSERT_FALSE(Host->Requests.empty());
    for (LPARAM mark : Host->Requests) EXPECT_EQ(12, mark);
    EXPECT_GT(windowed->Paints, 0);
    EXPECT_GT(windowless->Paints, 0);
}

TEST_F(SkinControlsTest, AnOpaqueControlClearsToItsColour)
{
    auto* ks = Place<TKsProbe>(Host, 10, 10, 40, 20);
    auto* mp = Place<TMpGraphicProbe>(Host, 100, 10, 40, 20);
    ks->SetColor(clRed);
    mp->SetColor(TColor(RGB(0, 0, 255)));
    Show();
    mp->Repaint();
    Pump(10);
    EXPECT_EQ(0, Mismatches(ks, [](TKColor p, int, int) { return p == 0xFFFF0000u; }));
    EXPECT_EQ(0, Mismatches(mp, [](TKColor p, int, int) { return p == 0xFF0000FFu; }));
}

TEST_F(SkinControlsTest, OverlappingTransparentSiblingsPaintEachOtherWithoutRecursion)
{
    // A has a blue square at its bottom right, B (over A's bottom right) a
    // red one at its top left; each is see-through elsewhere.
    auto* a = Place<TKsProbe>(Host, 20, 20, 100, 80);
    a->SetTransparent(true);
    a->Square = RECT{50, 40, 100, 80};
    a->SquareColor = 0xFF0000FFu;
    auto* b = Place<TKsProbe>(Host, 60, 50, 100, 80);
    b->SetTransparent(true);
    b->Square = RECT{0, 0, 30, 30};
    Show();
    a->Paints = b->Paints = 0;
    a->Invalidate();
    b->Invalidate();
    a->Repaint();
    b->Repaint();
    Pump(30);
    // Each repaint reaches the other once at most, never without end.
    EXPECT_LE(a->Paints, 6);
    EXPECT_LE(b->Paints, 6);
    GdiFlush();
    // Host (65, 55): inside B's red square, outside A's blue one.
    EXPECT_EQ(0xFF0000u, Rgb(a->Buffer()->GetPixel(45, 35)));
    // Host (100, 80): inside A's blue square, outside B's red one.
    EXPECT_EQ(0x0000FFu, Rgb(b->Buffer()->GetPixel(40, 30)));
    // Where neither paints, the gradient.
    EXPECT_EQ(Rgb(GradientAt(25, 25)), Rgb(a->Buffer()->GetPixel(5, 5)));
    EXPECT_EQ(Rgb(GradientAt(150, 120)), Rgb(b->Buffer()->GetPixel(90, 70)));
}

TEST_F(SkinControlsTest, WindowedSiblingsShowUnlessTheOwnerBlends)
{
    auto* sibling = Place<TKsProbe>(Host, 40, 40, 60, 60);
    sibling->SetColor(TColor(RGB(0, 160, 0)));
    auto* c = Place<TKsProbe>(Host, 20, 20, 60, 60);
    c->SetTransparent(true);
    Show();
    c->Invalidate();
    GdiFlush();
    // (50, 50) of the host is on the green sibling; (25, 25) is not.
    EXPECT_EQ(0x00A000u, Rgb(c->Buffer()->GetPixel(30, 30)));
    EXPECT_EQ(Rgb(GradientAt(25, 25)), Rgb(c->Buffer()->GetPixel(5, 5)));
    Form->Blended = true;
    EXPECT_TRUE(c->IsOwnerBlend());
    c->Invalidate();
    GdiFlush();
    EXPECT_EQ(Rgb(GradientAt(50, 50)), Rgb(c->Buffer()->GetPixel(30, 30)));
    EXPECT_GT(Form->Queries, 0);
}

TEST_F(SkinControlsTest, ABlendedControlLiesOverItsBackgroundAtItsOpacity)
{
    auto* c = Place<TKsProbe>(Host, 30, 30, 60, 40);
    c->SetColor(TColor(RGB(255, 0, 0)));
    c->SetBlend(true);
    Show();
    const TKColor red = 0xFFFF0000u;
    auto under = [&](int x, int y) { return GradientAt(30 + x, 30 + y); };
    c->SetBlendValue(255);
    EXPECT_EQ(0, Mismatches(c, [&](TKColor p, int, int) { return Rgb(p) == Rgb(red); })) << "255: own pixels only";
    c->SetBlendValue(0);
    EXPECT_EQ(0, Mismatches(c, [&](TKColor p, int x, int y) { return Rgb(p) == Rgb(under(x, y)); })) << "0: background only";
    c->SetBlendValue(128);
    EXPECT_EQ(0, Mismatches(c, [&](TKColor p, int x, int y) { return NearBlend(p, red, under(x, y), 128); })) << "128";
    // Only the low byte counts: 256 is 0, 0x17F is 127.
    c->SetBlendValue(256);
    EXPECT_EQ(0, Mismatches(c, [&](TKColor p, int x, int y) { return Rgb(p) == Rgb(under(x, y)); })) << "256";
    c->SetBlendValue(0x17F);
    EXPECT_EQ(0, Mismatches(c, [&](TKColor p, int x, int y) { return NearBlend(p, red, under(x, y), 127); })) << "383";
}

TEST_F(SkinControlsTest, ABlendedTransparentControlKeepsItsOwnPixelsOverTheParents)
{
    // Transparent and blended: the parent's pixels wherever the control
    // paints nothing, its square blended over them.
    auto* c = Place<TMpProbe>(Host, 50, 60, 60, 40);
    c->Square = RECT{10, 10, 30, 30};
    c->SquareColor = 0xFF00FF00u;
    c->SetTransparent(true);
    c->SetBlend(true);
    c->SetBlendValue(200);
    Show();
    c->Repaint();
    Pump(10);
    EXPECT_EQ(0, Mismatches(c, [&](TKColor p, int x, int y) {
        const TKColor under = GradientAt(50 + x, 60 + y);
        const bool inSquare = x >= 10 && x < 30 && y >= 10 && y < 30;
        return NearBlend(p, inSquare ? 0xFF00FF00u : under, under, 200);
    }));
}

TEST_F(SkinControlsTest, AControlWithNoAreaNeverPaintsAndNegativeSizesAreIgnored)
{
    auto* c = Place<TKsProbe>(Host, 10, 10, 0, 30);
    auto* m = Place<TMpGraphicProbe>(Host, 50, 10, 40, 0);
    Show();
    c->Paints = m->Paints = 0;
    c->Invalidate();
    m->Repaint();
    SendMessageA(c->Handle(), WM_PAINT, 0, 0);
    Pump(10);
    EXPECT_EQ(0, c->Paints);
    EXPECT_EQ(0, m->Paints);
    auto* n = Place<TKsProbe>(Host, 100, 10, 40, 30);
    const int bufferWidth = n->Buffer()->Width();
    n->Paints = 0;
    n->SetBounds(100, 10, -40, 30);
    n->Invalidate();
    EXPECT_EQ(0, n->Width());
    EXPECT_EQ(0, n->Paints);
    EXPECT_EQ(bufferWidth, n->Buffer()->Width());
    n->SetBounds(100, 10, 40, 30);  // back to a size: paints again
    n->Invalidate();
    EXPECT_GT(n->Paints, 0);
    // The media bases keep their 60-pixel buffers (40 in granules of 30) too.
    auto* mw = Place<TMpProbe>(Host, 150, 10, 40, 30);
    auto* mg = Place<TMpGraphicProbe>(Host, 200, 10, 30, 40);
    mw->SetBounds(150, 10, -40, 30);
    mg->SetBounds(200, 10, 30, -40);
    EXPECT_EQ(60, mw->Buffer()->Width());
    EXPECT_EQ(60, mg->Buffer()->Height());
}

TEST_F(SkinControlsTest, TheMouseFlagFollowsEnterAndLeave)
{
    auto* c = Place<TKsProbe>(Host, 10, 10, 50, 30);
    Counter entered, left;
    c->OnMouseEnter = MakeEvent<&Counter::Hit>(&entered);
    c->OnMouseLeave = MakeEvent<&Counter::Hit>(&left);
    Show();
    Mouse(c, WM_MOUSEMOVE, 5, 5);
    EXPECT_TRUE(c->MouseIn());
    EXPECT_EQ(1, entered.Count);
    Mouse(c, WM_MOUSEMOVE, 6, 5);
    EXPECT_EQ(1, entered.Count);
    Mouse(Host, WM_MOUSEMOVE, 200, 200);
    EXPECT_FALSE(c->MouseIn());
    EXPECT_EQ(1, left.Count);
}

TEST_F(SkinControlsTest, APressKeepsTheMouseUntilItsRelease)
{
    auto* c = Place<TKsProbe>(Host, 10, 10, 50, 30);
    Counter clicks;
    c->OnClick = MakeEvent<&Counter::Hit>(&clicks);
    Show();
    Mouse(c, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(c->Handle(), GetCapture());
    Mouse(c, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(1, clicks.Count);
    // Released outside: no click.
    Mouse(c, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Mouse(c, WM_LBUTTONUP, 300, 5);
    EXPECT_EQ(1, clicks.Count);
}

namespace {

// Keeps the scroll messages its own bars send it.
class TScrolledControl : public TMpCustomControl {
    GANTREL_CLASS(TScrolledControl)
    explicit TScrolledControl(TComponent* owner) : TMpCustomControl(owner) {}
    std::vector<std::pair<UINT, WPARAM>> Scrolls;
    bool Follow = false;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) {
            Scrolls.push_back({m.Msg, m.WParam});
            if (Follow && m.WParam == scLineDown) SetScrollPos(m.Msg == WM_HSCROLL ? 0 : 1, int(m.LParam), false);
            return;
        }
        TMpCustomControl::Dispatch(m);
    }
};

}  // namespace

TEST_F(SkinControlsTest, TheMediaBaseLaysOutItsOwnScrollBarsAndHearsThem)
{
    auto* c = Place<TScrolledControl>(Host, 20, 20, 200, 150);
    c->SetColor(TColor(RGB(0, 0, 128)));
    c->SetScrollBars(ssBoth);
    Show();
    TMpCustomScrollBar* h = c->HorzScrollBar();
    TMpCustomScrollBar* v = c->VertScrollBar();
    ASSERT_NE(nullptr, h);
    ASSERT_NE(nullptr, v);
    const int s = GetSystemMetrics(SM_CYVTHUMB);
    EXPECT_EQ(sbHorizontal, h->Kind());
    EXPECT_EQ(sbVertical, v->Kind());
    EXPECT_EQ(150 - s, h->Top());
    EXPECT_EQ(0, h->Left());
    EXPECT_EQ(200 - s, h->Width());
    EXPECT_EQ(s, h->Height());
    EXPECT_EQ(200 - s, v->Left());
    EXPECT_EQ(150 - s, v->Height());
    // The square where they meet is the control's colour.
    c->Repaint();
    Pump(10);
    GdiFlush();
    EXPECT_EQ(0x000080u, Rgb(c->Buffer()->GetPixel(200 - s / 2, 150 - s / 2)));

    // A press on the horizontal bar's right button: WM_HSCROLL with
    // scLineDown, then the end of the scroll; the bar moves only when the
    // control moves it.
    const RECT right = h->GetRightBottomBtnRect();
    const int x = h->Left() + (right.left + right.right) / 2, y = h->Top() + (right.top + right.bottom) / 2;
    Mouse(c, WM_MOUSEMOVE, x, y);
    Mouse(c, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Mouse(c, WM_LBUTTONUP, x, y);
    ASSERT_GE(c->Scrolls.size(), 2u);
    EXPECT_EQ(UINT(WM_HSCROLL), c->Scrolls.front().first);
    EXPECT_EQ(WPARAM(scLineDown), c->Scrolls.front().second);
    EXPECT_EQ(WPARAM(scEndScroll), c->Scrolls.back().second);
    EXPECT_EQ(0, c->GetScrollPos(0));
    c->Follow = true;
    Mouse(c, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Mouse(c, WM_LBUTTONUP, x, y);
    EXPECT_EQ(1, c->GetScrollPos(0));
    int min = -1, max = -1;
    c->GetScrollRange(1, min, max);
    EXPECT_EQ(0, min);
    EXPECT_EQ(100, max);
    c->SetScrollRange(1, 5, 50, true);
    EXPECT_EQ(5, v->Min());
    EXPECT_EQ(50, v->Max());
    c->GetScrollRange(7, min, max);
    EXPECT_EQ(0, max);
    // Bars go and come with the window.
    c->SetScrollBars(ssNone);
    EXPECT_EQ(nullptr, c->HorzScrollBar());
    EXPECT_EQ(nullptr, c->VertScrollBar());
}

TEST_F(SkinControlsTest, TheMediaBaseComposesItsWindowlessChildrenFromItsBuffer)
{
    auto* parent = Place<TMpProbe>(Host, 10, 10, 200, 120);
    parent->SetColor(TColor(RGB(0, 0, 128)));
    parent->Square = RECT{0, 0, 100, 120};
    parent->SquareColor = 0xFFFFFF00u;
    auto* child = new TMpGraphicProbe(Form);
    child->SetParent(parent);
    child->SetBounds(80, 40, 40, 30);
    child->SetTransparent(true);
    child->Square = RECT{0, 0, 10, 10};
    child->SquareColor = 0xFFFF0000u;
    Show();
    const size_t requests = Host->Requests.size();
    parent->Repaint();
    Pump(10);
    GdiFlush();
    // The child shows the parent's pixels beneath it (yellow on the left,
    // navy on the right) without asking anyone, and its own square.
    EXPECT_EQ(0xFFFF00u, Rgb(child->Buffer()->GetPixel(15, 20)));
    EXPECT_EQ(0x000080u, Rgb(child->Buffer()->GetPixel(30, 20)));
    EXPECT_EQ(0xFF0000u, Rgb(child->Buffer()->GetPixel(5, 5)));
    EXPECT_FALSE(child->ParentPainting());
    // The parent's buffer holds the child's picture too.
    EXPECT_EQ(0xFF0000u, Rgb(parent->Buffer()->GetPixel(85, 45)));
    EXPECT_EQ(requests, Host->Requests.size());  // both opaque or served from the buffer
    // A hidden child is left out.
    child->SetVisible(false);
    parent->Repaint();
    Pump(10);
    GdiFlush();
    EXPECT_EQ(0xFFFF00u, Rgb(parent->Buffer()->GetPixel(85, 45)));
}

TEST_F(SkinControlsTest, FocusNoticesSetTheFlagAndRepaint)
{
    auto* ks = Place<TKsProbe>(Host, 10, 10, 50, 30);
    auto* mp = Place<TMpProbe>(Host, 100, 10, 50, 30);
    Show();
    ks->SetFocus();
    EXPECT_TRUE(ks->HasFocusFlag());
    const int paints = ks->Paints;
    mp->SetFocus();
    EXPECT_FALSE(ks->HasFocusFlag());
    EXPECT_GT(ks->Paints, paints);  // repainted without the focus
    EXPECT_TRUE(mp->HasFocusFlag());
    ks->SetFocus();
    EXPECT_FALSE(mp->HasFocusFlag());
}

TEST_F(SkinControlsTest, TheMediaBaseRepaintsAtOnceWhenAskedAndPaintsWithItsPaintFont)
{
    auto* mp = Place<TMpProbe>(Host, 100, 10, 50, 30);
    Show();
    const int paints = mp->Paints;
    mp->Invalidate();
    EXPECT_EQ(paints, mp->Paints);  // the media base waits for the paint
    mp->ImmediatelyUpdate();
    EXPECT_EQ(paints + 1, mp->Paints);
    EXPECT_FALSE(mp->NeedUpdate());
    // A font given for the next paint; the paint after it takes Font again.
    TFont big;
    big.SetSize(30);
    mp->SetFont(&big);
    EXPECT_EQ(30, mp->PaintFont()->Size());
    mp->Font()->SetSize(9);
    mp->Repaint();
    EXPECT_EQ(9, mp->PaintFont()->Size());
    EXPECT_EQ(nullptr, Place<TKsProbe>(Host, 10, 10, 20, 20)->PaintFont());
}

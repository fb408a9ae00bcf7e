// Form frames on test forms, on the virtual display: the frame's caption,
// buttons and border as the screen shows them, the window-state commands'
// bounds, translucency over a window of known colour, Close, the tray, the
// caption-change rule, the show animation's flag, and GDI handles over
// many showings. A picture of a framed form is kept as
// build/artifacts/skin-frame.bmp.
#include "Application.h"
#include "CloseCounter.h"
#include "Frames.h"
#include "SavedPicture.h"
#include "ScreenPixel.h"
#include "SkinControlTestSupport.h"
#include "SysUtils.h"

#include <stdexcept>

using namespace SkinTest;

namespace {

int RectW(const RECT& r) { return r.right - r.left; }
int RectH(const RECT& r) { return r.bottom - r.top; }
bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// A plain form with a frame that hooks it at once, as a leaf frame would.
template <class Frame>
struct TFramed {
    TForm* Form;
    Frame* FrameObject;
    explicit TFramed(const RECT& bounds, TColor color = clWhite)
    {
        Form = NewForm<TForm>(nullptr);
        Form->SetColor(color);
        Form->SetBounds(bounds.left, bounds.top, RectW(bounds), RectH(bounds));
        FrameObject = new Frame(Form);
        FrameObject->SetMinimizeApplication(false);
        FrameObject->SetMagnetic(false);
        FrameObject->SetActive(true);
        FrameObject->Update();
    }
    ~TFramed() { Form->Free(); }
    TFramed(const TFramed&) = delete;
    TFramed& operator=(const TFramed&) = delete;
    HWND Handle() const { return Form->Handle(); }
    void Show()
    {
        Form->Show();
        SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Pump(150);
    }
};

RECT Bounds(TControl* c)
{
    return c->BoundsRect();
}

RECT WindowRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

TKColor SysRgb(int index)
{
    return ToRgb(GetSysColor(index));
}

// A window pixel (window coordinates) as the screen shows it.
TKColor WindowPixel(HWND window, int x, int y)
{
    RECT r = WindowRect(window);
    return ToRgb(ScreenPixel(POINT{r.left + x, r.top + y}));
}

// The pixels of rect (window coordinates) on the screen equal what
// DrawFrameControl draws into a memory bitmap of its size.
int FrameControlMismatches(HWND window, const RECT& rect, UINT type, UINT state)
{
    const int w = RectW(rect), h = RectH(rect);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT r{0, 0, w, h};
    DrawFrameControl(memory, &r, type, state);
    RECT wr = WindowRect(window);
    int mismatches = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (GetPixel(memory, x, y) != GetPixel(screen, wr.left + rect.left + x, wr.top + rect.top + y))
                ++mismatches;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return mismatches;
}

// Close on the shown form runs its OnClose once, which hides it.
template <class Frame>
void ExpectCloseHides(TFramed<Frame>& f, TCloseCounter& counter)
{
    f.Form->OnClose = MakeEvent<&TCloseCounter::FormClose>(&counter);
    f.Show();
    f.FrameObject->Close();
    Pump(30);
    EXPECT_EQ(1, counter.Calls);
    EXPECT_FALSE(f.Form->Visible());
}

// How many pixels of the caption band on the screen are not the frame's buffer.
int CaptionBandMismatches(HWND window, TKsCustomForm* frame)
{
    const RECT band = frame->GetCaptionRect();
    GdiFlush();
    int mismatches = 0;
    for (int y = band.top; y < band.bottom; ++y)
        for (int x = band.left; x < band.right; ++x)
            if (WindowPixel(window, x, y) != Rgb(frame->GetBuffer()->GetPixel(x, y))) ++mismatches;
    return mismatches;
}

// A maximized frame's bounds: the work area and the frame's border round
// it; false when the work area cannot be read.
bool MaximizedBounds(RECT& bounds)
{
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &bounds, 0)) return false;
    InflateRect(&bounds, GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CXFRAME));
    return true;
}

// How many GDI objects runs of cycle leave held, after warm-up runs have
// filled what is cached.
template <class Cycle>
long GdiGrowth(Cycle cycle, int warmUp, int runs)
{
    for (int i = 0; i < warmUp; ++i) cycle();
    Pump(50);
    const long before = GdiObjectsHeld();
    for (int i = 0; i < runs; ++i) cycle();
    Pump(50);
    return GdiObjectsHeld() - before;
}

// A borderless top-most window of one colour at (100, 100), 400 x 300, for
// a frame to be seen over.
TForm* ColourBeneath(TColor color)
{
    auto* under = NewForm<TForm>(nullptr);
    under->SetBorderStyle(bsNone);
    under->SetColor(color);
    under->SetBounds(100, 100, 400, 300);
    under->Show();
    SetWindowPos(under->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump(150);
    return under;
}


// A frame whose client painting fails, as a leaf's could.
class TFailingFrame : public TKsCustomForm {
    GANTREL_CLASS(TFailingFrame)
    using TKsCustomForm::TKsCustomForm;
    void PaintClientArea(TKsBitmap*) override { throw std::runtime_error("client painting failed"); }
};

class TFailingMpFrame : public TMpCustomForm {
    GANTREL_CLASS(TFailingMpFrame)
    using TMpCustomForm::TMpCustomForm;
    void PaintClientArea(TKsMediaBitmap*) override { throw std::runtime_error("client painting failed"); }
};

}  // namespace

TEST(SkinFrame, CaptionButtonsAndBorderAreTheFramesOwn)
{
    TFramed<TKsCustomForm> f(RECT{60, 60, 460, 360}, clWhite);
    TKsCustomForm* frame = f.FrameObject;
    frame->SetBorderIcons(KsIcon(kbiClose) | KsIcon(kbiMinimize) | KsIcon(kbiMaximize) | KsIcon(kbiRollup) |
                          KsIcon(kbiTray));
    f.Form->SetCaption("Framed test form");
    f.Show();
    SetActiveWindow(f.Handle());
    Pump(100);
    HWND window = f.Handle();
    const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    ASSERT_EQ(400, frame->FrameWidth());
    ASSERT_EQ(300, frame->FrameHeight());
    const RECT c = frame->GetClientRect();
    EXPECT_RECT((RECT{fx, fy + caption, 400 - fx, 300 - fy}), c);
    // The window's client area is the frame's.
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT wr = WindowRect(window);
    EXPECT_EQ(fx, origin.x - wr.left);
    EXPECT_EQ(fy + caption, origin.y - wr.top);

    // A raised edge, then button face up to the client area.
    const int y = 150;
    EXPECT_EQ(SysRgb(COLOR_3DLIGHT), WindowPixel(window, 0, y));
    EXPECT_EQ(SysRgb(COLOR_3DHIGHLIGHT), WindowPixel(window, 1, y));
    EXPECT_EQ(SysRgb(COLOR_3DDKSHADOW), WindowPixel(window, 399, y));
    EXPECT_EQ(SysRgb(COLOR_3DSHADOW), WindowPixel(window, 398, y));
    EXPECT_EQ(SysRgb(COLOR_3DDKSHADOW), WindowPixel(window, 200, 299));
    for (int x = 2; x < fx; ++x) EXPECT_EQ(SysRgb(COLOR_BTNFACE), WindowPixel(window, x, y)) << x;
    for (int yy = 300 - fy; yy < 298; ++yy) EXPECT_EQ(SysRgb(COLOR_BTNFACE), WindowPixel(window, 200, yy)) << yy;
    // The client background in the form's colour.
    EXPECT_EQ(0xFFFFFFu, WindowPixel(window, 200, 150));

    // The caption band: active colours, from its left end.
    ASSERT_TRUE(frame->IsActiveCaption());
    const RECT band{fx, fy, 400 - fx, fy + caption - 1};
    EXPECT_RECT(band, frame->GetCaptionRect());
    EXPECT_EQ(SysRgb(COLOR_ACTIVECAPTION), WindowPixel(window, band.left, band.top));
    EXPECT_EQ(SysRgb(COLOR_ACTIVECAPTION), WindowPixel(window, band.left, band.bottom - 1));

    // Buttons from the right: Close, gap, Maximize, Minimize, gap, Rollup, Tray.
    const int bw = GetSystemMetrics(SM_CXSIZE) - 2, bh = GetSystemMetrics(SM_CYSIZE) - 4;
    const int top = band.top + 2;
    int x = band.right - bw - 2;
    const RECT close{x, top, x + bw, top + bh};
    x -= bw + 2;
    const RECT maximize{x, top, x + bw, top + bh};
    x -= bw;
    const RECT minimize{x, top, x + bw, top + bh};
    x -= bw;
    const RECT rollup{x - 2, top, x - 2 + bw, top + bh};
    x -= bw + 2;
    const RECT tray{x, top, x + bw, top + bh};
    EXPECT_RECT(close, frame->GetButtonRect(kbiClose));
    EXPECT_RECT(maximize, frame->GetButtonRect(kbiMaximize));
    EXPECT_RECT(minimize, frame->GetButtonRect(kbiMinimize));
    EXPECT_RECT(rollup, frame->GetButtonRect(kbiRollup));
    EXPECT_RECT(tray, frame->GetButtonRect(kbiTray));
    EXPECT_TRUE(EmptyRect(frame->GetButtonRect(kbiHelp)));
    EXPECT_EQ(0, FrameControlMismatches(window, close, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    EXPECT_EQ(0, FrameControlMismatches(window, maximize, DFC_CAPTION, DFCS_CAPTIONMAX));
    EXPECT_EQ(0, FrameControlMismatches(window, minimize, DFC_CAPTION, DFCS_CAPTIONMIN));
    // Roll-up: a black triangle pointing down, its base on the top edge.
    RECT inset = rollup;
    InflateRect(&inset, -4, -5);
    OffsetRect(&inset, -1, -1);
    const int middle = (inset.left + inset.right) / 2;
    EXPECT_EQ(0u, WindowPixel(window, middle, inset.top + 1));
    EXPECT_EQ(0u, WindowPixel(window, middle, inset.bottom - 2));
    EXPECT_NE(0u, WindowPixel(window, inset.left + 1, inset.bottom - 1));
    // Tray: a black dot.
    RECT dot = tray;
    InflateRect(&dot, -5, -5);
    OffsetRect(&dot, 0, 2);
    EXPECT_EQ(0u, WindowPixel(window, (dot.left + dot.right) / 2, (dot.top + dot.bottom) / 2));

    // A caption change: the frame's caption stays, the platform draws none,
    // and the window keeps its caption style afterwards.
    const TKColor closeCorner = WindowPixel(window, close.left + 3, close.top + 3);
    f.Form->SetCaption("Another caption");
    // At once, before any message waiting is handled: no platform caption
    // over the frame's, not even for a moment.
    GdiFlush();
    EXPECT_EQ(0, FrameControlMismatches(window, close, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    EXPECT_EQ(0, FrameControlMismatches(window, maximize, DFC_CAPTION, DFCS_CAPTIONMAX));
    Pump(100);
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ("Another caption", text);
    Pump(100);
    EXPECT_NE(0, GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(SysRgb(COLOR_ACTIVECAPTION), WindowPixel(window, band.left, band.top));
    EXPECT_EQ(closeCorner, WindowPixel(window, close.left + 3, close.top + 3));
    EXPECT_EQ(0, FrameControlMismatches(window, close, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    EXPECT_EQ(0, FrameControlMismatches(window, maximize, DFC_CAPTION, DFCS_CAPTIONMAX));
    // The whole caption band on the screen is the frame's buffer.
    EXPECT_EQ(0, CaptionBandMismatches(window, frame));

    TSavedPicture shot;
    POINT client{};
    ASSERT_TRUE(KeepWindowPicture(window, ExeDirectory(), "skin-frame.bmp", shot, client));
    EXPECT_EQ(400, shot.Width());
    EXPECT_EQ(300, shot.Height());
    const COLORREF kept = shot.Pixel(band.left, band.top);
    EXPECT_EQ(SysRgb(COLOR_ACTIVECAPTION),
              TKColor(GetRValue(kept)) << 16 | TKColor(GetGValue(kept)) << 8 | GetBValue(kept));
}

TEST(SkinFrame, ToolWindowHasOnlyCloseAndTheSmallCaption)
{
    TFramed<TMpCustomForm> f(RECT{80, 80, 380, 280}, clWhite);
    TMpCustomForm* frame = f.FrameObject;
    frame->SetBorderStyle(kbsToolWindow);
    frame->SetBorderIcons(KsIcon(kbiClose) | KsIcon(kbiSystemMenu));
    f.Show();
    const int fx = GetSystemMetrics(SM_CXFRAME);
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    // Mp frames keep the client size the form had, and use the side
    // border's width all round.
    const int w = frame->FrameWidth(), h = frame->FrameHeight();
    EXPECT_EQ(w, f.Form->Width());
    EXPECT_EQ(h, f.Form->Height());
    const RECT c = frame->GetClientRect();
    EXPECT_RECT((RECT{fx, fx + caption, w - fx, h - fx}), c);
    const int bw = GetSystemMetrics(SM_CXSMSIZE) - 2, bh = GetSystemMetrics(SM_CYSMSIZE) - 4;
    const RECT band = frame->GetCaptionRect();
    const RECT close{band.right - bw - 2, band.top + 2, band.right - 2, band.top + 2 + bh};
    EXPECT_RECT(close, frame->GetButtonRect(kbiClose));
    EXPECT_EQ(0, FrameControlMismatches(f.Handle(), close, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    // The system-menu square stays (for the mouse) though nothing is drawn.
    EXPECT_RECT((RECT{band.left, band.top, band.left + RectH(band), band.bottom}), frame->GetButtonRect(kbiSystemMenu));
}

TEST(SkinFrame, MaximizeTwiceRollupAndRestoreGiveTheBounds)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    TKsCustomForm* frame = f.FrameObject;
    f.Show();
    const RECT normal{40, 50, 360, 290};
    EXPECT_RECT(normal, Bounds(f.Form));
    EXPECT_RECT(normal, WindowRect(f.Handle()));

    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    RECT maximized{};
    ASSERT_TRUE(MaximizedBounds(maximized));

    frame->Maximize();
    Pump(50);
    EXPECT_EQ(kwsMaximized, frame->WindowState());
    EXPECT_RECT(maximized, Bounds(f.Form));
    EXPECT_RECT(maximized, WindowRect(f.Handle()));
    frame->Maximize();
    Pump(50);
    EXPECT_EQ(kwsNormal, frame->WindowState());
    EXPECT_RECT(normal, Bounds(f.Form));

    // Rolled up to the caption and the two horizontal borders, in place.
    const int rolled = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
    frame->Rollup();
    Pump(50);
    EXPECT_EQ(kwsRollup, frame->WindowState());
    EXPECT_RECT((RECT{40, 50, 360, 50 + rolled}), Bounds(f.Form));
    EXPECT_RECT((RECT{40, 50, 360, 50 + rolled}), WindowRect(f.Handle()));
    // Maximized from there and restored: rolled up again, and from there
    // the bounds saved before the roll-up.
    frame->Maximize();
    Pump(50);
    EXPECT_RECT(maximized, Bounds(f.Form));
    frame->Restore();
    Pump(50);
    EXPECT_EQ(kwsRollup, frame->WindowState());
    EXPECT_RECT((RECT{40, 50, 360, 50 + rolled}), Bounds(f.Form));
    frame->Restore();
    Pump(50);
    EXPECT_EQ(kwsNormal, frame->WindowState());
    EXPECT_RECT(normal, Bounds(f.Form));

    // Restored from the roll-up where it was moved meanwhile: its place, its size.
    frame->Rollup();
    Pump(20);
    f.Form->SetBounds(100, 120, 320, rolled);
    Pump(20);
    frame->Restore();
    Pump(50);
    EXPECT_EQ(kwsNormal, frame->WindowState());
    EXPECT_RECT((RECT{100, 120, 420, 360}), Bounds(f.Form));

    // Minimized (not the application): the caption's height at the bottom left
    // of the work area, and back.
    frame->Minimize();
    Pump(50);
    EXPECT_EQ(kwsMinimized, frame->WindowState());
    const int minimizedWidth = GetSystemMetrics(SM_CXMINIMIZED);
    EXPECT_RECT((RECT{work.left, work.bottom - rolled, work.left + minimizedWidth, work.bottom}), Bounds(f.Form));
    frame->Restore();
    Pump(50);
    EXPECT_RECT((RECT{100, 120, 420, 360}), Bounds(f.Form));
}

namespace {

// Restore with no bounds saved yet, and after a state set directly (Ks
// saves none then; Mp runs the state's command): the window stays as it was.
template <class Frame>
void CheckRestoreWithoutSavedBounds()
{
    TFramed<Frame> f(RECT{40, 50, 360, 290});
    f.Show();
    f.FrameObject->Restore();
    EXPECT_RECT((RECT{40, 50, 360, 290}), Bounds(f.Form));
    for (TKsWindowState state : {kwsMaximized, kwsRollup}) {
        f.FrameObject->SetWindowState(state);
        f.FrameObject->Restore();
        EXPECT_EQ(kwsNormal, f.FrameObject->WindowState());
        EXPECT_RECT((RECT{40, 50, 360, 290}), Bounds(f.Form));
    }
}

}  // namespace

TEST(SkinFrame, RestoreWithoutSavedBoundsKeepsTheBounds)
{
    CheckRestoreWithoutSavedBounds<TKsCustomForm>();
    CheckRestoreWithoutSavedBounds<TMpCustomForm>();
}

TEST(SkinFrame, MinimizedLaysOutSystemMenuCloseAndRestore)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    TKsCustomForm* frame = f.FrameObject;
    frame->SetBorderIcons(KsDefaultBorderIcons | KsIcon(kbiHelp));
    f.Show();
    EXPECT_FALSE(EmptyRect(frame->GetButtonRect(kbiHelp)));
    frame->Minimize();
    Pump(30);
    EXPECT_FALSE(EmptyRect(frame->GetButtonRect(kbiSystemMenu)));
    EXPECT_FALSE(EmptyRect(frame->GetButtonRect(kbiClose)));
    EXPECT_FALSE(EmptyRect(frame->GetButtonRect(kbiMinimize)));
    for (TKsBorderIcon icon : {kbiMaximize, kbiRollup, kbiTray, kbiHelp})
        EXPECT_TRUE(EmptyRect(frame->GetButtonRect(icon))) << icon;
    // Minimize sits next to Close and is drawn as restore.
    const RECT close = frame->GetButtonRect(kbiClose), minimize = frame->GetButtonRect(kbiMinimize);
    EXPECT_EQ(close.left - 2 - RectW(minimize), minimize.left);
    Pump(50);
    EXPECT_EQ(0, FrameControlMismatches(f.Handle(), minimize, DFC_CAPTION, DFCS_CAPTIONRESTORE));
}

namespace {

template <class Frame>
void CheckBlendOverKnownColour()
{
    TForm* under = ColourBeneath(TColor(0x0000C0));  // red 192
    ASSERT_EQ(0xC00000u, ToRgb(ScreenPixel(POINT{150, 150})));

    TFramed<Frame> f(RECT{150, 140, 400, 340}, TColor(0x00FF00));  // green
    Frame* frame = f.FrameObject;
    frame->SetBlend(true);
    frame->SetBlendValue(150);
    f.Show();
    Pump(100);
    const RECT c = frame->GetClientRect();
    const TKColor red = 0xC00000u;
    // The border's button face, the caption's start and the client's
    // green, each 150/255 over the red.
    TKColor border = WindowPixel(f.Handle(), 2, 100);
    EXPECT_TRUE(NearBlend(border, SysRgb(COLOR_BTNFACE), red, 150)) << std::hex << border;
    const RECT band = frame->GetCaptionRect();
    const TKColor captionStart = SysRgb(frame->IsActiveCaption() ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    TKColor captionPixel = WindowPixel(f.Handle(), band.left, band.top);
    EXPECT_TRUE(NearBlend(captionPixel, captionStart, red, 150)) << std::hex << captionPixel;
    TKColor client = WindowPixel(f.Handle(), c.left + 50, c.top + 50);
    EXPECT_TRUE(NearBlend(client, 0x00FF00u, red, 150)) << std::hex << client;
    // Where the window does not cover the red window the desktop shows: only
    // the frame's own pixels are checked above. Opaque again without Blend.
    frame->SetBlend(false);
    RedrawWindow(f.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    Pump(100);
    EXPECT_EQ(SysRgb(COLOR_BTNFACE), WindowPixel(f.Handle(), 2, 100));
    EXPECT_EQ(0x00FF00u, WindowPixel(f.Handle(), c.left + 50, c.top + 50));
    under->Free();
}

}  // namespace

TEST(SkinFrame, BlendedFrameOverAKnownColour)
{
    CheckBlendOverKnownColour<TKsCustomForm>();
}

TEST(SkinFrame, BlendedMpFrameOverAKnownColour)
{
    CheckBlendOverKnownColour<TMpCustomForm>();
}

namespace {

// A frame with a drop shadow over a window of known colour: the shadow
// strips right and below darken it as each family's shade says; the
// client area ends at the frame, not at the shadow.
// A top-most green (192) window at (100, 100, 500, 400) beneath a frame of
// 260 x 210 at (150, 140) with a 4-pixel drop shadow.
template <class Frame>
TForm* ShadowOverGreen(TFramed<Frame>& f)
{
    TForm* under = ColourBeneath(TColor(0x00C000));
    EXPECT_EQ(0x00C000u, ToRgb(ScreenPixel(POINT{150, 150})));
    f.FrameObject->SetDropShadow(true);
    f.FrameObject->SetShadowWidth(4);
    // The shadow is taken off the frame at the next size change.
    f.Form->SetBounds(150, 140, 260, 210);
    f.Show();
    Pump(100);
    return under;
}

template <class Frame>
void CheckShadowOverKnownColour(TKColor shade, unsigned alpha, int firstShadedRow)
{
    const TKColor green = 0x00C000u;
    TFramed<Frame> f(RECT{150, 140, 400, 340});
    Frame* frame = f.FrameObject;
    TForm* under = ShadowOverGreen(f);
    const int ww = frame->WindowWidth(), wh = frame->WindowHeight();
    ASSERT_EQ(ww - 4, frame->FrameWidth());
    ASSERT_EQ(wh - 4, frame->FrameHeight());
    const RECT c = frame->GetClientRect();
    RECT client;
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(RectW(c), client.right);
    EXPECT_EQ(RectH(c), client.bottom);
    // Right of the frame, below the shadow's first rows, and below it.
    const int fw = frame->FrameWidth(), fh = frame->FrameHeight();
    TKColor right = WindowPixel(f.Handle(), fw + 1, firstShadedRow + 20);
    EXPECT_TRUE(NearBlend(right, shade, green, alpha)) << std::hex << right;
    TKColor below = WindowPixel(f.Handle(), 40, fh + 1);
    EXPECT_TRUE(NearBlend(below, shade, green, alpha)) << std::hex << below;
    // The frame's own border is opaque.
    EXPECT_EQ(SysRgb(COLOR_BTNFACE), WindowPixel(f.Handle(), 2, 100));
    under->Free();
}

}  // namespace

TEST(SkinFrame, DropShadowOverAKnownColour)
{
    CheckShadowOverKnownColour<TKsCustomForm>(0x5F5F5Fu, 0xB0, 4);
}

TEST(SkinFrame, MpDropShadowOverAKnownColour)
{
    CheckShadowOverKnownColour<TMpCustomForm>(0x3F3F3Fu, 0x90, 4);
}

namespace {

// Paints no border, so what the shadow put under it shows.
class TBareMpFrame : public TMpCustomForm {
    GANTREL_CLASS(TBareMpFrame)
    using TMpCustomForm::TMpCustomForm;
    void PaintNCArea(TKsMediaBitmap*) override {}
};

}  // namespace

TEST(SkinFrame, MpShadowUnderTheBorderIsTranslucentToo)
{
    TFramed<TBareMpFrame> f(RECT{150, 140, 400, 340});
    TForm* under = ShadowOverGreen(f);
    const TKColor seen = WindowPixel(f.Handle(), 8, 8);
    EXPECT_TRUE(NearBlend(seen, 0x3F3F3Fu, 0x00C000u, 0x90)) << std::hex << seen;
    under->Free();
}

namespace {

// A caption far too long for its window, with only the close button: the
// text is cut where the family's rule says, and the band beyond it up to
// the button is the caption's gradient alone.
template <class Frame>
void CheckCaptionRoom(TKsBorderStyle style, int reserved)
{
    TFramed<Frame> f(RECT{40, 50, 440, 250});
    Frame* frame = f.FrameObject;
    frame->SetBorderStyle(style);
    frame->SetBorderIcons(KsIcon(kbiClose));
    f.Form->SetCaption(std::string(200, 'W'));
    f.Show();
    SetActiveWindow(f.Handle());
    Pump(100);
    ASSERT_TRUE(frame->IsActiveCaption());
    const RECT band = frame->GetCaptionRect();
    const RECT close = frame->GetButtonRect(kbiClose);
    const int textEnd = band.left + 2 + (frame->FrameWidth() - band.left - reserved);
    ASSERT_LT(textEnd, close.left);
    // The gradient as the bitmap draws it, for comparison.
    typename Frame::Bitmap reference;
    reference.SetSize(frame->FrameWidth(), frame->FrameHeight());
    reference.FillGradientRect(band, KColor(TColor(GetSysColor(COLOR_ACTIVECAPTION)), 255),
                               KColor(TColor(GetSysColor(COLOR_GRADIENTACTIVECAPTION)), 255), false);
    GdiFlush();
    int beyond = 0, within = 0;
    for (int y = band.top; y < band.bottom; ++y) {
        for (int x = band.left; x < close.left; ++x) {
            const bool gradient = WindowPixel(f.Handle(), x, y) == Rgb(reference.GetPixel(x, y));
            if (x >= textEnd && !gradient) ++beyond;
            if (x < textEnd && !gradient) ++within;
        }
    }
    EXPECT_EQ(0, beyond);
    // The text is there, up to its room.
    EXPECT_GT(within, 0);
}

}  // namespace

TEST(SkinFrame, KsCaptionLeavesRoomForSevenButtons)
{
    CheckCaptionRoom<TKsCustomForm>(kbsStandard, 7 * GetSystemMetrics(SM_CXSIZE));
}

TEST(SkinFrame, KsToolCaptionLeavesRoomForTwoSmallButtons)
{
    CheckCaptionRoom<TKsCustomForm>(kbsToolWindow, 2 * GetSystemMetrics(SM_CXSMSIZE));
}

// Mp counts the caption's height per button (a tool window: two).
TEST(SkinFrame, MpToolCaptionLeavesRoomForTwoCaptionHeights)
{
    CheckCaptionRoom<TMpCustomForm>(kbsToolWindow, 2 * GetSystemMetrics(SM_CYSMCAPTION));
}

namespace {

template <class Frame>
void CheckShowAnimation()
{
    TFramed<Frame> f(RECT{40, 50, 360, 290});
    f.FrameObject->SetShowAnimation(kaFade);
    f.FrameObject->SetShowAnimationTime(300);
    const DWORD start = GetTickCount();
    f.Form->Show();
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 200u);
    EXPECT_FALSE(f.FrameObject->Animating());
    Pump(100);
    // The real window afterwards.
    const RECT c = f.FrameObject->GetClientRect();
    EXPECT_EQ(SysRgb(COLOR_BTNFACE), WindowPixel(f.Handle(), 2, c.top + 40));
    EXPECT_EQ(0xFFFFFFu, WindowPixel(f.Handle(), c.left + 100, c.top + 60));

    // A random effect each time: every showing plays one.
    f.FrameObject->SetShowAnimation(kaRandom);
    for (int i = 0; i < 4; ++i) {
        f.Form->Hide();
        Pump(20);
        const DWORD begin = GetTickCount();
        f.Form->Show();
        EXPECT_GE(GetTickCount() - begin, 200u) << i;
        EXPECT_FALSE(f.FrameObject->Animating());
    }
}

}  // namespace

TEST(SkinFrame, ShowAnimationPlaysAndEnds)
{
    CheckShowAnimation<TKsCustomForm>();
}

TEST(SkinFrame, MpShowAnimationPlaysAndEnds)
{
    CheckShowAnimation<TMpCustomForm>();
}

TEST(SkinFrame, KsCloseRunsOnCloseOnce)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    TCloseCounter counter;
    ExpectCloseHides(f, counter);

    // caMinimize from the handler: the frame's own minimized state.
    f.Show();
    counter.Answer = caMinimize;
    f.FrameObject->Close();
    Pump(30);
    EXPECT_EQ(2, counter.Calls);
    EXPECT_EQ(kwsMinimized, f.FrameObject->WindowState());
    EXPECT_TRUE(f.Form->Visible());
    f.FrameObject->Restore();

    // caNone: nothing.
    counter.Answer = caNone;
    f.FrameObject->Close();
    EXPECT_EQ(3, counter.Calls);
    EXPECT_TRUE(f.Form->Visible());
    EXPECT_EQ(kwsNormal, f.FrameObject->WindowState());
}

TEST(SkinFrame, MpCloseRunsOnCloseOnceAndHides)
{
    TFramed<TMpCustomForm> f(RECT{40, 50, 360, 290});
    TCloseCounter counter;
    ExpectCloseHides(f, counter);
}

TEST(SkinFrame, RestoreFromTrayToMaximizedKeepsTheNormalBounds)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    TKsCustomForm* frame = f.FrameObject;
    f.Show();
    const RECT normal{40, 50, 360, 290};
    RECT maximized{};
    ASSERT_TRUE(MaximizedBounds(maximized));

    frame->Maximize();
    Pump(30);
    frame->MinToTray();
    Pump(30);
    EXPECT_EQ(kwsTray, frame->WindowState());
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    // The tip is the form's caption (not the application: MinimizeApplication is off).
    EXPECT_STREQ(f.Form->Caption().substr(0, 63).c_str(), frame->TrayIconData().szTip);
    // A double click on the tray icon restores: maximized again.
    SendMessageA(frame->TrayWindow(), KM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    Pump(30);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_EQ(kwsMaximized, frame->WindowState());
    EXPECT_RECT(maximized, Bounds(f.Form));
    EXPECT_RECT(normal, frame->SavedBounds());
    frame->Restore();
    Pump(30);
    EXPECT_EQ(kwsNormal, frame->WindowState());
    EXPECT_RECT(normal, Bounds(f.Form));

    // Rolled up into the tray and back: rolled up, then the normal size.
    frame->Rollup();
    frame->MinToTray();
    frame->Restore();
    Pump(30);
    EXPECT_EQ(kwsRollup, frame->WindowState());
    frame->Restore();
    Pump(30);
    EXPECT_RECT(normal, Bounds(f.Form));
}

TEST(SkinFrame, TrayTipHoldsTheFirst63Characters)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    std::string caption(70, 'x');
    for (size_t i = 0; i < caption.size(); ++i) caption[i] = char('a' + i % 26);
    f.Form->SetCaption(caption);
    f.Show();
    f.FrameObject->MinToTray();
    EXPECT_EQ(caption.substr(0, 63), std::string(f.FrameObject->TrayIconData().szTip));
    f.FrameObject->Restore();
}

template <class Frame>
void ExpectTheTrayShowsTheFormsIconAsItIsNow()
{
    TFramed<Frame> f(RECT{40, 50, 360, 290});
    f.Show();
    // Set after the frame was loaded.
    f.Form->Icon()->SetHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    ASSERT_NE(nullptr, f.Form->Icon()->Handle());
    f.FrameObject->MinToTray();
    EXPECT_EQ(f.Form->Icon()->Handle(), f.FrameObject->TrayIconData().hIcon);
    f.FrameObject->Restore();
}

TEST(SkinFrame, TheTrayIconIsTheFormsIconAsItIsNow)
{
    ExpectTheTrayShowsTheFormsIconAsItIsNow<TKsCustomForm>();
    ExpectTheTrayShowsTheFormsIconAsItIsNow<TMpCustomForm>();
}

TEST(SkinFrame, CaptionChangeIsFoundByTextNotLength)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    f.Show();
    HWND window = f.Handle();
    char text[32];
    auto captionStyle = [&] { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; };

    // The text is stored behind the frame's back, so that the first one to
    // read it is the test.
    auto storeText = [&](const char* value) {
        SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~LONG_PTR(WS_CAPTION));
        DefWindowProcA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value));
        SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_CAPTION);
    };
    SetWindowTextA(window, "abcd");
    Pump(30);
    ASSERT_TRUE(captionStyle());
    // Read again unchanged: nothing to do.
    EXPECT_EQ(4, GetWindowTextA(window, text, sizeof text));
    EXPECT_STREQ("abcd", text);
    EXPECT_TRUE(captionStyle());
    // The same length, another text: a change, found at its first reading;
    // the caption style is off until the frame has repainted.
    storeText("wxyz");
    ASSERT_TRUE(captionStyle());
    EXPECT_EQ(4, GetWindowTextA(window, text, sizeof text));
    EXPECT_STREQ("wxyz", text);
    EXPECT_FALSE(captionStyle());
    Pump(30);
    EXPECT_TRUE(captionStyle());
    // Another length: a change too.
    storeText("longer caption");
    EXPECT_EQ(14, GetWindowTextA(window, text, sizeof text));
    EXPECT_FALSE(captionStyle());
    Pump(30);
    EXPECT_TRUE(captionStyle());
}

namespace {

template <class Frame>
void CheckFailedShow()
{
    auto* form = NewForm<TForm>(nullptr);
    form->SetBounds(40, 50, 320, 240);
    auto* frame = new Frame(form);
    frame->SetMinimizeApplication(false);
    frame->SetShowAnimation(kaFade);
    frame->SetShowAnimationTime(50);
    frame->SetActive(true);
    frame->Update();
    form->HandleNeeded();
    EXPECT_THROW(frame->AnimationShow(), std::runtime_error);
    EXPECT_FALSE(frame->Animating());
    form->Free();
}

}  // namespace

TEST(SkinFrame, AnimationFlagClearedWhenAShowFails)
{
    CheckFailedShow<TFailingFrame>();
}

TEST(SkinFrame, MpAnimationFlagClearedWhenAShowFails)
{
    CheckFailedShow<TFailingMpFrame>();
}

TEST(SkinFrame, BlendedFrameNeverAnimates)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    f.FrameObject->SetBlend(true);
    f.FrameObject->SetShowAnimation(kaFade);
    f.FrameObject->SetShowAnimationTime(2000);
    const DWORD start = GetTickCount();
    f.Form->Show();
    // A fade of two seconds would hold the show.
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_FALSE(f.FrameObject->Animating());
}

TEST(SkinFrame, ApplicationHandlersChainedAndPutBack)
{
    ASSERT_FALSE(Application->OnMinimize);
    ASSERT_FALSE(Application->OnRestore);
    {
        TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
        f.FrameObject->SetMinimizeApplication(true);
        f.Show();
        SendMessageA(f.Handle(), WM_NCACTIVATE, TRUE, 0);
        // Chained at the first activation.
        EXPECT_TRUE(Application->OnMinimize);
        EXPECT_TRUE(Application->OnRestore);
    }
    // The frame is gone: what was there before (nothing) is back, and no
    // handler of the freed frame stays.
    EXPECT_FALSE(Application->OnMinimize);
    EXPECT_FALSE(Application->OnRestore);
}

TEST(SkinFrame, IconChangeKeepsTheFramesCaption)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    TKsCustomForm* frame = f.FrameObject;
    frame->SetBorderIcons(KsIcon(kbiClose));
    f.Show();
    HWND window = f.Handle();
    const RECT close = frame->GetButtonRect(kbiClose);
    ASSERT_EQ(0, FrameControlMismatches(window, close, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    Pump(50);
    EXPECT_EQ(WS_CAPTION, GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(0, FrameControlMismatches(window, close, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    EXPECT_EQ(0, CaptionBandMismatches(window, frame));
}

// An opaque icon of one colour (0x00RRGGBB), size x size.
HICON SolidIcon(TKColor rgb, int size)
{
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateCompatibleBitmap(screen, size, size);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, color);
    HBRUSH brush = CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    RECT all{0, 0, size, size};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    // An all-zero mask: every pixel opaque.
    std::vector<uint8_t> zeros(size_t(size) * size_t(size) / 8 + 16, 0);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, zeros.data());
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

TEST(SkinFrame, SystemMenuIconFollowsTheFormsIconOverManyPaints)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    TKsCustomForm* frame = f.FrameObject;
    frame->SetBorderIcons(KsIcon(kbiClose) | KsIcon(kbiSystemMenu));
    f.Show();
    const RECT button = frame->GetButtonRect(kbiSystemMenu);
    ASSERT_FALSE(EmptyRect(button));
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    const int x = button.left + cx / 2, y = button.top + cy / 2;
    auto iconPixel = [&] {
        frame->UpdateNCArea();
        GdiFlush();
        return Rgb(frame->GetBuffer()->GetPixel(x, y));
    };
    f.Form->Icon()->SetHandle(SolidIcon(0xC02020u, 32));
    EXPECT_EQ(0xC02020u, iconPixel());
    // Another icon, then back: each paint shows the form's icon of the moment.
    f.Form->Icon()->SetHandle(SolidIcon(0x2040C0u, 32));
    EXPECT_EQ(0x2040C0u, iconPixel());
    f.Form->Icon()->SetHandle(SolidIcon(0x20A040u, 16));
    EXPECT_EQ(0x20A040u, iconPixel());
    // Many paints of the same icon hold no more handles than one does.
    for (int i = 0; i < 20; ++i) iconPixel();
    const DWORD users = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const long gdi = GdiObjectsHeld();
    for (int i = 0; i < 300; ++i) iconPixel();
    EXPECT_LE(long(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) - long(users), 2);
    EXPECT_LE(GdiObjectsHeld() - gdi, 2);
    EXPECT_EQ(0x20A040u, iconPixel());
}

TEST(SkinFrame, ShowHideCyclesLeakNoGdiHandles)
{
    TFramed<TKsCustomForm> f(RECT{40, 50, 360, 290});
    f.FrameObject->SetBorderIcons(KsDefaultBorderIcons | KsIcon(kbiHelp));
    auto cycle = [&] {
        f.Form->Show();
        Application->ProcessMessages();
        f.Form->SetCaption(f.Form->Caption() == "one" ? "two" : "one");
        Application->ProcessMessages();
        f.Form->Hide();
        Application->ProcessMessages();
    };
    EXPECT_LE(GdiGrowth(cycle, 20, 150), 2);
}

TEST(SkinFrame, BlendedShadowedShowHideCyclesLeakNoGdiHandles)
{
    auto* under = NewForm<TForm>(nullptr);
    under->SetBorderStyle(bsNone);
    under->SetBounds(20, 20, 400, 300);
    under->Show();
    TFramed<TMpCustomForm> mp(RECT{300, 50, 560, 260});
    mp.FrameObject->SetBlend(true);
    mp.FrameObject->SetDropShadow(true);
    TFramed<TKsCustomForm> ks(RECT{40, 50, 300, 260});
    ks.FrameObject->SetBlend(true);
    ks.FrameObject->SetDropShadow(true);
    auto cycle = [&] {
        for (TForm* form : {ks.Form, mp.Form}) {
            form->Show();
            Application->ProcessMessages();
            form->SetBounds(form->Left() + 1, form->Top(), form->Width() + 1, form->Height());
            Application->ProcessMessages();
            form->Hide();
            Application->ProcessMessages();
        }
    };
    EXPECT_LE(GdiGrowth(cycle, 10, 100), 2);
    under->Free();
}

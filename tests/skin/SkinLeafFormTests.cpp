// The leaf form frames on forms read from form text and shown on the
// virtual display: the styled client background and border as the screen
// shows them, the window's shape cut from a mask (in both families, so the
// media family's mask really cuts), the mask's size taken only when there
// is one, the borderless hit testing by the border's width and by the
// mask's outline (and what Windows is told), the minimum size, the client
// rectangle and the read-only version text.
#include "Form.h"
#include "LeafForms.h"
#include "Reader.h"
#include "ScreenPixel.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

using namespace SkinTest;

namespace {

// A 24-bit bitmap file of w x h pixels, magenta where outside says so,
// white elsewhere, as hex digits for "Mask.Data".
std::string MaskHex(int w, int h, const std::function<bool(int, int)>& outside)
{
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + size_t(stride) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = file.data() + 54 + size_t(h - 1 - y) * stride;  // bottom-up
        for (int x = 0; x < w; ++x) {
            const bool out = outside(x, y);
            row[3 * x] = 255;                    // blue
            row[3 * x + 1] = out ? 0 : 255;      // green
            row[3 * x + 2] = 255;                // red
        }
    }
    std::string hex;
    char digits[3];
    for (uint8_t b : file) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        hex += digits;
    }
    return hex;
}

// The red, green and blue the screen shows at (x, y) of the window.
TKColor WindowRgb(HWND window, int x, int y)
{
    RECT r;
    GetWindowRect(window, &r);
    return ToRgb(ScreenPixel(POINT{r.left + x, r.top + y}));
}

class SkinLeafForm : public ::testing::Test {
protected:
    void SetUp() override { RegisterSkinClasses(); }
    void TearDown() override
    {
        // Last made, first freed: each frame puts back the application's
        // handlers it found, which the one made before it had put there.
        for (auto it = Forms.rbegin(); it != Forms.rend(); ++it) (*it)->Free();
        Forms.clear();
        Pump(20);
    }

    // A form at (left, top) with the frame "Frame" of class frameClass and
    // the given lines of frame properties.
    TForm* NewForm(const std::string& frameClass, const std::string& frameLines, int width = 200, int height = 120)
    {
        auto* form = new TForm(nullptr, 0);
        Forms.push_back(form);
        ReadFormText(form,
                     "object F: TForm\n"
                     "  Left = 60\n"
                     "  Top = 40\n"
                     "  Width = " + std::to_string(width) + "\n"
                     "  Height = " + std::to_string(height) + "\n"
                     "  Color = clWhite\n"
                     "  object Frame: " + frameClass + "\n" + frameLines +
                         "  end\n"
                         "end\n",
                     nullptr);
        return form;
    }
    static void ShowForm(TForm* form)
    {
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        form->Show();
        Pump(150);
    }
    template <class Frame>
    Frame* Shown(TForm* form)
    {
        auto* frame = form->FindComponent<Frame>("Frame");
        EXPECT_NE(nullptr, frame);
        ShowForm(form);
        return frame;
    }
    static int NCHitTest(TForm* form, int x, int y)
    {
        RECT r;
        GetWindowRect(form->Handle(), &r);
        return int(SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y)));
    }
    static bool InWindowRegion(TForm* form, int x, int y)
    {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(form->Handle(), rgn);
        const bool in = kind != ERROR && PtInRegion(rgn, x, y);
        DeleteObject(rgn);
        return in;
    }
    // Each point (window coordinates) lies inside the window's shape or
    // outside it, as inside says.
    static void ExpectInShape(TForm* form, bool inside, std::initializer_list<POINT> points)
    {
        for (POINT p : points) EXPECT_EQ(inside, InWindowRegion(form, p.x, p.y)) << p.x << "," << p.y;
    }
    // The frame's hit test at each point (window coordinates).
    struct THit {
        int X, Y;
        TKsHitTest Hit;
    };
    static void ExpectHits(TKsCustomForm* frame, std::initializer_list<THit> hits)
    {
        for (const THit& h : hits) EXPECT_EQ(h.Hit, frame->GetHitTest(h.X, h.Y)) << h.X << "," << h.Y;
    }
    // Each point (window coordinates) shows rgb on the screen.
    static void ExpectRgb(TForm* form, TKColor rgb, std::initializer_list<POINT> points)
    {
        for (POINT p : points) EXPECT_EQ(rgb, WindowRgb(form->Handle(), p.x, p.y)) << p.x << "," << p.y;
    }

    std::vector<TForm*> Forms;
};

const std::string Borderless =
    "    BorderStyle = kbsNone\n"
    "    CanResize = True\n";
const std::string FixedBorderless =
    "    BorderStyle = kbsNone\n"
    "    CanResize = False\n";

// The top-left 20 x 20 and the bottom-right 20 x 20 of a 100 x 80 mask cut away.
bool TwoCornersCut(int x, int y) { return (x < 20 && y < 20) || (x >= 80 && y >= 60); }

// The frame's lines for that mask.
std::string TwoCornersMask()
{
    return "    Mask.Data = {" + MaskHex(100, 80, TwoCornersCut) + "}\n";
}

}  // namespace

TEST_F(SkinLeafForm, VersionIsReadOnlyTextOfEachFamily)
{
    TForm* ks = NewForm("TEpForm", "    Version = '9.9'\n");
    TForm* mp = NewForm("TMpMediaForm", "    Version = '9.9'\n");
    auto* ep = ks->FindComponent<TEpForm>("Frame");
    auto* media = mp->FindComponent<TMpMediaForm>("Frame");
    EXPECT_EQ("2.1", ep->GetVersion());
    EXPECT_EQ("2.8.0", media->GetVersion());
    ep->SetVersion("3");
    EXPECT_EQ("2.1", ep->GetVersion());
    // A leaf frame is active from its construction.
    EXPECT_TRUE(ep->Active());
    EXPECT_TRUE(media->Active());
}

TEST_F(SkinLeafForm, StylesAndMaskAreAssignedIntoTheOwnedObjects)
{
    TForm* form = NewForm("TEpForm", "");
    auto* frame = form->FindComponent<TEpForm>("Frame");
    TEpBackground background;
    background.SetColor(clRed);
    TEpBorder border;
    border.SetWidth(4);
    TBitmap mask;
    mask.SetSize(7, 5);
    TEpBackground* ownedBackground = frame->GetBackground();
    frame->SetBackground(&background);
    frame->SetBorder(&border);
    frame->SetMask(&mask);
    EXPECT_EQ(ownedBackground, frame->GetBackground());
    EXPECT_EQ(clRed, frame->GetBackground()->Color());
    EXPECT_EQ(4, frame->GetBorder()->Width());
    EXPECT_NE(&mask, frame->Mask());
    EXPECT_EQ(7, frame->Mask()->Width());
    EXPECT_EQ(5, frame->Mask()->Height());
}

TEST_F(SkinLeafForm, ABorderlessFrameInsetsItsClientAreaByTheBorderAndShrinksTo10By10)
{
    TForm* form = NewForm("TEpForm", Borderless + "    Border.Width = 4\n");
    auto* frame = Shown<TEpForm>(form);
    ASSERT_EQ(200, frame->FrameWidth());
    ASSERT_EQ(120, frame->FrameHeight());
    EXPECT_RECT((RECT{4, 4, 196, 116}), frame->GetClientRect());
    const POINT min = frame->GetMinTrackSize();
    EXPECT_EQ(10, min.x);
    EXPECT_EQ(10, min.y);
    // Windows' client area is the frame's.
    RECT client;
    ::GetClientRect(form->Handle(), &client);
    EXPECT_EQ(192, client.right);
    EXPECT_EQ(112, client.bottom);
    // An image border insets by its margins, one per direction.
    frame->GetBorder()->SetStyle(ebsBitmapBorder);
    frame->GetBorder()->SetBitmapMarginX(6);
    frame->GetBorder()->SetBitmapMarginY(2);
    EXPECT_RECT((RECT{6, 2, 194, 118}), frame->GetClientRect());
}

TEST_F(SkinLeafForm, AFramedLeafKeepsTheBaseMinimumSize)
{
    TForm* form = NewForm("TMpMediaForm", "    BorderStyle = kbsToolWindow\n");
    auto* frame = Shown<TMpMediaForm>(form);
    const POINT min = frame->GetMinTrackSize();
    EXPECT_EQ(150, min.x);
    EXPECT_EQ(40, min.y);
}

TEST_F(SkinLeafForm, ARectangularBorderlessFrameResizesFromABandOfAtLeastThreePixels)
{
    for (int width : {1, 5}) {
        SCOPED_TRACE(width);
        TForm* form = NewForm("TEpForm", Borderless + "    Border.Width = " + std::to_string(width) + "\n");
        auto* frame = Shown<TEpForm>(form);
        const int band = width < 3 ? 3 : width;
        ExpectHits(frame, {{0, 0, khtTopLeft}, {band - 1, band - 1, khtTopLeft}, {band, band, khtCaption},
                           {band - 1, 60, khtLeft}, {band, 60, khtCaption},
                           {100, band - 1, khtTop}, {100, band, khtCaption},
                           // Right and bottom from beyond 200 - band and 120 - band.
                           {200 - band + 1, 60, khtRight}, {200 - band, 60, khtCaption},
                           {100, 120 - band + 1, khtBottom}, {100, 120 - band, khtCaption},
                           {199, 0, khtTopRight}, {0, 119, khtBottomLeft}, {199, 119, khtBottomRight}});
        // What Windows is told.
        EXPECT_EQ(HTLEFT, NCHitTest(form, band - 1, 60));
        EXPECT_EQ(HTBOTTOMRIGHT, NCHitTest(form, 199, 119));
        EXPECT_EQ(HTCAPTION, NCHitTest(form, 100, 60));
    }
}

TEST_F(SkinLeafForm, ABorderlessFrameThatMayNotResizeIsACaptionEverywhere)
{
    TForm* form = NewForm("TMpMediaForm", FixedBorderless + "    Border.Width = 5\n");
    auto* frame = Shown<TMpMediaForm>(form);
    for (POINT p : {POINT{0, 0}, POINT{2, 60}, POINT{199, 119}, POINT{100, 60}, POINT{199, 0}}) {
        EXPECT_EQ(khtCaption, frame->GetHitTest(p.x, p.y)) << p.x << "," << p.y;
        EXPECT_EQ(HTCAPTION, NCHitTest(form, p.x, p.y)) << p.x << "," << p.y;
    }
}

TEST_F(SkinLeafForm, WithoutAMaskAFrameThatMayNotResizeKeepsItsOwnSize)
{
    for (const char* frameClass : {"TEpForm", "TMpMediaForm"}) {
        SCOPED_TRACE(frameClass);
        // The twin differs only in that it may be resized: the mask's size
        // is the one thing that could tell them apart.
        TForm* form = NewForm(frameClass, FixedBorderless, 220, 150);
        TForm* twin = NewForm(frameClass, Borderless, 220, 150);
        ShowForm(form);
        ShowForm(twin);
        RECT r, t;
        GetWindowRect(form->Handle(), &r);
        GetWindowRect(twin->Handle(), &t);
        EXPECT_GE(r.right - r.left, 220);
        EXPECT_GE(r.bottom - r.top, 150);
        EXPECT_EQ(t.right - t.left, r.right - r.left);
        EXPECT_EQ(t.bottom - t.top, r.bottom - r.top);
        // Nor is it given a shape.
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(ERROR, GetWindowRgn(form->Handle(), rgn));
        DeleteObject(rgn);
    }
}

TEST_F(SkinLeafForm, AMaskShapesTheWindowInBothFamiliesAndGivesItsSize)
{
    for (const char* frameClass : {"TEpForm", "TMpMediaForm"}) {
        SCOPED_TRACE(frameClass);
        TForm* form = NewForm(frameClass, FixedBorderless + TwoCornersMask(), 300, 200);
        // The window takes the mask's size.
        EXPECT_EQ(100, form->Width());
        EXPECT_EQ(80, form->Height());
        ShowForm(form);
        // Magenta lies outside the window; everything else inside.
        ExpectInShape(form, false, {{0, 0}, {19, 19}, {80, 60}, {99, 79}});
        ExpectInShape(form, true, {{20, 19}, {19, 20}, {50, 40}, {79, 79}, {99, 59}});
    }
}

TEST_F(SkinLeafForm, AMaskOfAResizableWindowIsStretchedToItsSize)
{
    TForm* form = NewForm("TEpForm", Borderless + TwoCornersMask(), 200, 160);
    auto* frame = Shown<TEpForm>(form);
    ASSERT_EQ(200, frame->FrameWidth());
    // Twice the mask's size: the cut corners are 40 x 40.
    ExpectInShape(form, false, {{39, 39}, {160, 120}});
    ExpectInShape(form, true, {{40, 39}, {100, 80}, {159, 120}});
    // And follows a size change.
    form->SetBounds(form->Left(), form->Top(), 100, 80);
    Pump(50);
    ExpectInShape(form, false, {{19, 19}, {80, 60}});
    ExpectInShape(form, true, {{20, 20}});
}

TEST_F(SkinLeafForm, TheFrameKeepsALiveCopyOfTheMaskRegionAcrossRebuilds)
{
    TForm* form = NewForm("TEpForm", Borderless + TwoCornersMask(), 100, 80);
    auto* frame = Shown<TEpForm>(form);
    for (int size : {120, 140, 100}) {
        form->SetBounds(form->Left(), form->Top(), size, size * 8 / 10);
        Pump(30);
        HRGN copy = frame->MaskRegion();
        ASSERT_NE(nullptr, copy);
        // A region of its own, alive after the window took its region.
        ASSERT_EQ(OBJ_REGION, GetObjectType(copy));
        RECT box;
        GetRgnBox(copy, &box);
        EXPECT_RECT((RECT{0, 0, size, size * 8 / 10}), box);
        EXPECT_FALSE(PtInRegion(copy, size / 5 - 1, size / 5 - 1));
        EXPECT_TRUE(PtInRegion(copy, size / 5, size / 5));
    }
}

TEST_F(SkinLeafForm, AShapedBorderlessFrameResizesOnlyFromTheDiagonalCorners)
{
    // The mask stretched to twice its size: the cut corners are 40 x 40.
    TForm* form = NewForm("TEpForm", Borderless + TwoCornersMask(), 200, 160);
    auto* frame = Shown<TEpForm>(form);
    ASSERT_EQ(200, frame->FrameWidth());
    ASSERT_EQ(160, frame->FrameHeight());
    ExpectHits(frame, {// Band 3 (a 1-pixel border): moved out by 3 diagonally the point
                       // leaves the shape at the cut corners ...
                       {42, 42, khtTopLeft}, {43, 43, khtCaption}, {157, 117, khtBottomRight}, {156, 116, khtCaption},
                       // ... and off the window at the others.
                       {198, 1, khtTopRight}, {1, 158, khtBottomLeft}, {180, 20, khtCaption}, {20, 140, khtCaption},
                       // The straight edges are no resize zones on a shaped window.
                       {100, 0, khtCaption}, {0, 80, khtCaption},
                       // Along the right edge the outward diagonal leaves the window:
                       // the corner of the quadrant the point lies in.
                       {199, 60, khtTopRight}, {199, 100, khtBottomRight}});
    EXPECT_EQ(HTTOPLEFT, NCHitTest(form, 42, 42));
    EXPECT_EQ(HTBOTTOMRIGHT, NCHitTest(form, 157, 117));
    EXPECT_EQ(HTCAPTION, NCHitTest(form, 100, 0));
}

TEST_F(SkinLeafForm, ABorderlessFrameShowsItsBorderAndBackgroundStyles)
{
    TForm* form = NewForm("TEpForm", Borderless +
                                         "    Border.Color = clBlue\n"
                                         "    Border.Width = 2\n"
                                         "    Background.Color = clLime\n");
    Shown<TEpForm>(form);
    ExpectRgb(form, 0x0000FFu, {{0, 0}, {1, 60}, {199, 119}, {100, 118}});
    ExpectRgb(form, 0x00FF00u, {{2, 2}, {100, 60}, {197, 117}});
}

TEST_F(SkinLeafForm, TheBorderOfAShapedWindowFollowsTheMasksOutline)
{
    TForm* form = NewForm("TMpMediaForm", FixedBorderless +
                                              "    Border.Color = clRed\n"
                                              "    Background.Color = clYellow\n" + TwoCornersMask());
    Shown<TMpMediaForm>(form);
    // Along the cut: the first pixels inside the shape.
    ExpectRgb(form, 0xFF0000u, {{20, 10}, {10, 20}, {79, 70}});
    ExpectRgb(form, 0xFFFF00u, {{21, 10}, {10, 21}, {78, 70}, {50, 40}});
}

TEST_F(SkinLeafForm, AToolWindowLeafFillsItsClientAreaWithTheBackgroundAndKeepsTheEdge)
{
    TForm* form = NewForm("TEpForm",
                          "    BorderStyle = kbsToolWindow\n"
                          "    Border.Color = clBlue\n"
                          "    Background.Color = clYellow\n",
                          240, 160);
    auto* frame = Shown<TEpForm>(form);
    const RECT c = frame->GetClientRect();
    ASSERT_GT(c.top, 0);
    ExpectRgb(form, 0xFFFF00u,
              {{c.left, c.top}, {(c.left + c.right) / 2, (c.top + c.bottom) / 2}, {c.right - 1, c.bottom - 1}});
    // The border style is not drawn around a framed window.
    EXPECT_NE(0x0000FFu, WindowRgb(form->Handle(), 0, 0));
    EXPECT_NE(0x0000FFu, WindowRgb(form->Handle(), c.left - 1, c.bottom));
}

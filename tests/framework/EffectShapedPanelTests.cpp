// The wallpaper and round panels, by their window regions and the pixels
// they paint: an ellipse that follows the panel's size, a rounded rectangle
// of radius 0 inset by one pixel, wallpapers forgotten when freed or
// ignored when they have no size, the media panel's nested frames, and the
// see-through round panel blending what lies beneath with its colour, also
// when a visibility change freed its background image.
#include "Application.h"
#include "EffectTestSupport.h"
#include "ShapedPanels.h"

#include <algorithm>
#include <initializer_list>

using namespace EffectTest;

namespace {

const COLORREF Grey = RGB(192, 192, 192);
const COLORREF Navy = RGB(0, 0, 160);

// The 50 % blend of two colours, channel by channel.
COLORREF Half(COLORREF a, COLORREF b)
{
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}

class EffectShapedPanelTest : public FormTest {
protected:
    void SetUp() override
    {
        NewForm(320, 240);
        Form->SetColor(TColor(Grey));
    }
    TFill* Fill(TColor color, int l, int t, int w, int h) { return AddFill(Form, Form, color, l, t, w, h); }
    template <class T> T* Add(int l, int t, int w, int h)
    {
        T* panel = new T(Form);
        panel->SetParent(Form);
        panel->SetBevelOuter(bvNone);
        panel->SetColor(TColor(Navy));
        panel->SetBounds(l, t, w, h);
        return panel;
    }
    // A 3 x 3 yellow tile with a red top-left pixel.
    TepBitmap* Paper()
    {
        TepBitmap* paper = new TepBitmap(Form);
        TBitmap tile;
        tile.SetSize(3, 3);
        tile.Canvas()->Brush()->SetColor(clYellow);
        tile.Canvas()->FillRect(RECT{0, 0, 3, 3});
        tile.Canvas()->SetPixel(0, 0, clRed);
        paper->Bitmap()->SetGraphic(&tile);
        return paper;
    }
    static void Capture(TWinControl* control, TBitmap& out)
    {
        out.SetSize(control->Width(), control->Height());
        control->PaintTo(out.Canvas()->Handle(), 0, 0);
    }
    // The window's region, or null when it has none.
    static HRGN WindowRegion(TWinControl* control)
    {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(control->Handle(), region) == ERROR) {
            DeleteObject(region);
            return nullptr;
        }
        return region;
    }
};

}  // namespace

TEST_F(EffectShapedPanelTest, EllipticPanelIsCutToAnEllipseThatFollowsItsSize)
{
    TepRndPanel* panel = Add<TepRndPanel>(10, 10, 100, 60);
    EXPECT_EQ(panel->PanelKind(), pkEllipse);
    EXPECT_EQ(panel->Radius(), 20);
    HRGN region = WindowRegion(panel);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, 50, 30));
    EXPECT_TRUE(PtInRegion(region, 3, 30));
    EXPECT_TRUE(PtInRegion(region, 50, 2));
    EXPECT_FALSE(PtInRegion(region, 2, 2));  // the corners lie outside the ellipse
    EXPECT_FALSE(PtInRegion(region, 97, 2));
    EXPECT_FALSE(PtInRegion(region, 97, 57));
    EXPECT_FALSE(PtInRegion(region, 2, 57));
    DeleteObject(region);

    panel->SetBounds(10, 10, 200, 100);
    region = WindowRegion(panel);
    ASSERT_NE(region, nullptr);
    // (x - 100)^2 / 100^2 + (y - 50)^2 / 50^2 against 1, well away from the edge.
    const POINT inside[] = {{100, 50}, {5, 50}, {195, 50}, {100, 3}, {100, 97}, {30, 20}, {170, 80}, {190, 50}};
    const POINT outside[] = {{20, 10}, {180, 90}, {180, 10}, {20, 90}, {1, 1}, {198, 98}};
    for (POINT p : inside) EXPECT_TRUE(PtInRegion(region, p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : outside) EXPECT_FALSE(PtInRegion(region, p.x, p.y)) << p.x << "," << p.y;
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_GE(box.right, 199);
    EXPECT_LE(box.right, 201);
    EXPECT_GE(box.bottom, 99);
    EXPECT_LE(box.bottom, 101);
    DeleteObject(region);

    // A window made again gets its shape again.
    panel->SetBorderStyle(bsSingle);
    region = WindowRegion(panel);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, 100, 50));
    EXPECT_FALSE(PtInRegion(region, 20, 10));
    DeleteObject(region);
}

TEST_F(EffectShapedPanelTest, RoundedRectangleOfRadiusZeroIsARectangleInsetByOnePixel)
{
    TepRndPanel* panel = Add<TepRndPanel>(10, 10, 80, 50);
    panel->SetPanelKind(pkRndRect);
    panel->SetRadius(0);
    HRGN region = WindowRegion(panel);
    ASSERT_NE(region, nullptr);
    // Inset by one pixel at the top and left; the platform leaves the right
    // and bottom edges out of a rounded-rectangle region, so the window ends
    // where the bevel frame (1, 1, W - 2, H - 2) ends.
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.top, 1);
    EXPECT_EQ(box.right, 80 - 2);
    EXPECT_EQ(box.bottom, 50 - 2);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 0, 25));
    EXPECT_FALSE(PtInRegion(region, 40, 0));
    EXPECT_TRUE(PtInRegion(region, 1, 1));
    EXPECT_TRUE(PtInRegion(region, 77, 47));
    EXPECT_FALSE(PtInRegion(region, 78, 47));
    EXPECT_FALSE(PtInRegion(region, 77, 48));
    DeleteObject(region);

    // A radius cuts the corners.
    panel->SetRadius(10);
    region = WindowRegion(panel);
    ASSERT_NE(region, nullptr);
    EXPECT_FALSE(PtInRegion(region, 1, 1));
    EXPECT_TRUE(PtInRegion(region, 1, 25));
    EXPECT_TRUE(PtInRegion(region, 40, 1));
    DeleteObject(region);

    // The effect panel takes the same shapes.
    TepEffectRndPanel* effect = Add<TepEffectRndPanel>(100, 10, 80, 50);
    effect->SetPanelKind(pkRndRect);
    effect->SetRadius(0);
    region = WindowRegion(effect);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, 78);
    DeleteObject(region);
}

TEST_F(EffectShapedPanelTest, RoundedRectangleBevelFollowsTheWindowsCorners)
{
    TepRndPanel* panel = Add<TepRndPanel>(10, 10, 100, 80);
    panel->SetPanelKind(pkRndRect);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelInnerColor(clRed);
    panel->SetBevelOuterColor(clBlue);
    HRGN region = WindowRegion(panel);
    ASSERT_NE(region, nullptr);
    TBitmap out;
    Capture(panel, out);
    ExpectFrameFollowsTheCorners(out, region, Navy);
    DeleteObject(region);
}

TEST_F(EffectShapedPanelTest, WallpaperIsTiledFromTheCornerAndForgottenWhenFreed)
{
    TepImagePanel* image = Add<TepImagePanel>(0, 0, 40, 30);
    TepRndPanel* round = Add<TepRndPanel>(50, 0, 40, 30);
    TepMediaPanel* media = Add<TepMediaPanel>(100, 0, 40, 30);
    EXPECT_EQ(image->Width(), 100 - 60);
    TepBitmap* paper = Paper();
    image->SetWallpaper(paper);
    round->SetWallpaper(paper);
    media->SetWallpaper(paper);
    TBitmap out;
    for (TWinControl* panel : std::initializer_list<TWinControl*>{image, round}) {
        Capture(panel, out);
        EXPECT_EQ(out.Canvas()->Pixel(0, 0), RGB(255, 0, 0)) << panel->ClassName();
        EXPECT_EQ(out.Canvas()->Pixel(6, 3), RGB(255, 0, 0)) << panel->ClassName();
        EXPECT_EQ(out.Canvas()->Pixel(39, 27), RGB(255, 0, 0)) << panel->ClassName();
        EXPECT_EQ(out.Canvas()->Pixel(20, 16), RGB(255, 255, 0)) << panel->ClassName();
    }
    // Without bevels or border the media panel's wallpaper covers it all.
    Capture(media, out);
    EXPECT_EQ(out.Canvas()->Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(out.Canvas()->Pixel(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(out.Canvas()->Pixel(4, 4), RGB(255, 255, 0));
    EXPECT_EQ(out.Canvas()->Pixel(39, 27), RGB(255, 0, 0));

    paper->Free();
    EXPECT_EQ(image->Wallpaper(), nullptr);
    EXPECT_EQ(round->Wallpaper(), nullptr);
    EXPECT_EQ(media->Wallpaper(), nullptr);
    for (TWinControl* panel : std::initializer_list<TWinControl*>{image, round, media}) {
        Capture(panel, out);
        EXPECT_EQ(out.Canvas()->Pixel(20, 16), Navy) << panel->ClassName();
        EXPECT_EQ(out.Canvas()->Pixel(6, 3), Navy) << panel->ClassName();
    }
}

TEST_F(EffectShapedPanelTest, WallpaperWithoutSizeLeavesThePanelsColour)
{
    TepImagePanel* image = Add<TepImagePanel>(0, 0, 40, 30);
    TepRndPanel* round = Add<TepRndPanel>(50, 0, 40, 30);
    TepMediaPanel* media = Add<TepMediaPanel>(100, 0, 40, 30);
    TepBitmap* paper = new TepBitmap(Form);
    paper->Bitmap()->Bitmap();  // a bitmap of no size
    ASSERT_NE(paper->Bitmap()->Graphic(), nullptr);
    EXPECT_EQ(paper->Bitmap()->Width(), 0);
    image->SetWallpaper(paper);
    round->SetWallpaper(paper);
    media->SetWallpaper(paper);
    TBitmap out;
    for (TWinControl* panel : std::initializer_list<TWinControl*>{image, round, media}) {
        Capture(panel, out);
        EXPECT_EQ(out.Canvas()->Pixel(20, 16), Navy) << panel->ClassName();
        EXPECT_EQ(out.Canvas()->Pixel(3, 3), Navy) << panel->ClassName();
    }
}

TEST_F(EffectShapedPanelTest, MediaPanelWithBevelWidthTwoDrawsTwoNestedFrames)
{
    TepMediaPanel* media = Add<TepMediaPanel>(0, 0, 40, 30);
    media->SetBevelWidth(2);
    media->SetInnerColor(clRed);
    media->SetOuterColor(clBlue);
    media->SetColor(clLime);
    EXPECT_EQ(TepCustomMediaPanel(nullptr).InnerColor(), clBtnHighlight);
    TBitmap out;
    Capture(media, out);
    const int w = 40, h = 30;
    // Ring i: top row and left column in the inner colour, bottom row and
    // right column in the outer colour, which owns the corners they share.
    auto expected = [&](int x, int y) {
        int ring = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
        if (ring >= 2) return RGB(0, 255, 0);
        if (y == h - 1 - ring || x == w - 1 - ring) return RGB(0, 0, 255);
        return RGB(255, 0, 0);
    };
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (out.Canvas()->Pixel(x, y) != expected(x, y)) {
                if (++wrong < 10) ADD_FAILURE() << "pixel " << x << "," << y;
            }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(out.Canvas()->Pixel(39, 0), RGB(0, 0, 255));
    EXPECT_EQ(out.Canvas()->Pixel(38, 0), RGB(255, 0, 0));
    EXPECT_EQ(out.Canvas()->Pixel(1, 28), RGB(0, 0, 255));
    EXPECT_EQ(out.Canvas()->Pixel(1, 27), RGB(255, 0, 0));

    // The wallpaper lies inside BorderWidth and both bevels, cut to that area.
    media->SetBevelOuter(bvRaised);
    media->SetBorderWidth(1);
    TepBitmap* paper = Paper();
    media->SetWallpaper(paper);
    Capture(media, out);
    EXPECT_EQ(out.Canvas()->Pixel(2, 2), RGB(0, 255, 0));
    EXPECT_EQ(out.Canvas()->Pixel(3, 3), RGB(255, 0, 0));  // the tile's first pixel at the area's corner
    EXPECT_EQ(out.Canvas()->Pixel(4, 4), RGB(255, 255, 0));
    EXPECT_EQ(out.Canvas()->Pixel(36, 24), RGB(255, 0, 0));
    EXPECT_EQ(out.Canvas()->Pixel(36, 26), RGB(255, 255, 0));
    EXPECT_EQ(out.Canvas()->Pixel(37, 27), RGB(0, 255, 0));
    EXPECT_EQ(out.Canvas()->Pixel(37, 10), RGB(0, 255, 0));
    EXPECT_EQ(out.Canvas()->Pixel(39, 10), RGB(0, 0, 255));
}

TEST_F(EffectShapedPanelTest, EffectPanelBlendsWhatLiesBeneathHalfWithItsColour)
{
    Fill(TColor(RGB(255, 0, 0)), 0, 0, 50, 240);  // beneath, at panel x 0..29
    TPanel* windowed = new TPanel(Form);          // beneath, at panel x 80..99
    windowed->SetParent(Form);
    windowed->SetBevelOuter(bvNone);
    windowed->SetColor(clWhite);
    windowed->SetBounds(100, 0, 60, 240);
    TepEffectRndPanel* panel = Add<TepEffectRndPanel>(20, 20, 100, 100);
    EXPECT_FALSE(panel->MiddleTransparent());
    EXPECT_FALSE(panel->Noise());
    TBitmap out;
    Capture(panel, out);
    EXPECT_EQ(out.Canvas()->Pixel(10, 50), RGB(255, 0, 0));
    EXPECT_EQ(out.Canvas()->Pixel(50, 50), Grey);
    EXPECT_EQ(out.Canvas()->Pixel(90, 50), RGB(255, 255, 255));

    panel->SetMiddleTransparent(true);
    Capture(panel, out);
    EXPECT_EQ(out.Canvas()->Pixel(10, 50), Half(RGB(255, 0, 0), Navy));  // (127, 0, 80)
    EXPECT_EQ(out.Canvas()->Pixel(50, 50), Half(Grey, Navy));             // (96, 96, 176)
    EXPECT_EQ(out.Canvas()->Pixel(90, 50), Half(RGB(255, 255, 255), Navy));
    EXPECT_EQ(out.Canvas()->Pixel(50, 50), RGB(96, 96, 176));

    // A visibility change frees the image; a paint with no erase first
    // builds it again instead of drawing what was freed.
    panel->SetVisible(false);
    panel->SetVisible(true);
    EXPECT_EQ(panel->Background(), nullptr);
    out.Canvas()->Brush()->SetColor(clBlack);
    out.Canvas()->FillRect(RECT{0, 0, 100, 100});
    HDC dc = out.Canvas()->Handle();
    panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(out.Canvas()->Pixel(50, 50), RGB(96, 96, 176));
    EXPECT_EQ(out.Canvas()->Pixel(10, 50), RGB(127, 0, 80));
    ASSERT_NE(panel->Background(), nullptr);
    EXPECT_EQ(panel->Background()->Width(), 100);
}

TEST_F(EffectShapedPanelTest, NoisyEffectPanelShowsANewGrainAfterEachErase)
{
    TepEffectRndPanel* panel = Add<TepEffectRndPanel>(20, 20, 60, 40);
    panel->SetNoise(true);
    TBitmap first, second;
    // PaintTo leaves an opaque control's erase out, so each erase is sent here.
    panel->Perform(WM_ERASEBKGND, 0, 0);
    Capture(panel, first);
    panel->Perform(WM_ERASEBKGND, 0, 0);
    Capture(panel, second);
    int differ = 0, outOfRange = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 50; ++x) {
            COLORREF a = first.Canvas()->Pixel(x, y), b = second.Canvas()->Pixel(x, y);
            differ += a != b;
            // Noise of 30 moves a channel by -15 .. 14 from the grey beneath.
            for (COLORREF c : {a, b})
                for (int v : {int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))}) outOfRange += v < 192 - 15 || v > 192 + 14;
        }
    EXPECT_GT(differ, 400);
    EXPECT_EQ(outOfRange, 0);
}

TEST_F(EffectShapedPanelTest, PanelsAreRegisteredForFormStreaming)
{
    for (const char* name : {"TepImagePanel", "TepRndPanel", "TepEffectRndPanel", "TepCustomMediaPanel", "TepMediaPanel"})
        EXPECT_NE(nullptr, FindClass(name)) << name;
}

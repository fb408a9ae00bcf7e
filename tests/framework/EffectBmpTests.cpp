// The effect bitmap's layout and pixel effects, the bitmap, colour and
// shape routines beside it, and that no effect writes outside its bitmap
// or divides by a size of one.
#include "BmpUtils.h"
#include "EffectBmp.h"
#include "GrUtils.h"
#include "PtInform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace {

void Fill(TEffectBmp& b, int color)
{
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) b.SetPixel(x, y, color);
}

int Rgb(int r, int g, int b) { return b | (g << 8) | (r << 16); }

// A bitmap with guard bytes around its pixel memory would need our own
// allocator; instead each test fills the padding and checks it afterwards.
void FillPadding(TEffectBmp& b, uint8_t v)
{
    for (int y = 0; y < b.Height; ++y) std::memset(b.GetLine(y) + 3 * b.Width, v, size_t(b.Stride() - 3 * b.Width));
}
bool PaddingIs(const TEffectBmp& b, uint8_t v)
{
    for (int y = 0; y < b.Height; ++y)
        for (int i = 3 * b.Width; i < b.Stride(); ++i)
            if (b.GetLine(y)[i] != v) return false;
    return true;
}

}  // namespace

TEST(EffectBmp, StrideIsThreeBytesAPixelRoundedUpToFour)
{
    EXPECT_EQ(TEffectBmp::StrideOf(1), 4);
    EXPECT_EQ(TEffectBmp::StrideOf(5), 16);
    EXPECT_EQ(TEffectBmp::StrideOf(4), 12);
    TEffectBmp one(1, 3), five(5, 2);
    EXPECT_EQ(one.Size, 12);
    EXPECT_EQ(five.Size, 32);
    EXPECT_EQ(five.BmpHeader.biHeight, -2);
    EXPECT_EQ(five.BmpHeader.biBitCount, 24);
    ASSERT_NE(five.Bits, nullptr);
    five.SetPixel(1, 1, Rgb(1, 2, 3));
    // Pixel (1, 1) starts at Bits + stride + 3: blue, green, red.
    EXPECT_EQ(five.Bits[16 + 3], 3);
    EXPECT_EQ(five.Bits[16 + 4], 2);
    EXPECT_EQ(five.Bits[16 + 5], 1);
    EXPECT_EQ(five.GetPixel(1, 1), Rgb(1, 2, 3));
}

TEST(EffectBmp, AddMiddleColorBlackHalvesEveryChannel)
{
    TEffectBmp b(3, 2);
    Fill(b, Rgb(200, 255, 1));
    b.AddMiddleColor(clBlack);
    EXPECT_EQ(b.GetPixel(0, 0), Rgb(100, 127, 0));
    EXPECT_EQ(b.GetPixel(2, 1), Rgb(100, 127, 0));
}

TEST(EffectBmp, AddMiddleColorTakesSystemColours)
{
    TEffectBmp b(1, 1);
    Fill(b, Rgb(0, 0, 0));
    b.AddMiddleColor(clBtnFace);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(b.GetPixel(0, 0), Rgb(GetRValue(face) / 2, GetGValue(face) / 2, GetBValue(face) / 2));
}

TEST(EffectBmp, AddMiddleColorInRectIsInclusiveAndClipped)
{
    TEffectBmp b(5, 4);
    Fill(b, Rgb(200, 200, 200));
    FillPadding(b, 0xAB);
    b.AddMiddleColorInRect(clBlack, RECT{2, 1, 2, 2});  // Left = Right: one column
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(b.GetPixel(x, y), x == 2 && (y == 1 || y == 2) ? Rgb(100, 100, 100) : Rgb(200, 200, 200))
                << x << "," << y;
    // Reversed bounds: nothing.
    b.AddMiddleColorInRect(clBlack, RECT{3, 2, 1, 2});
    EXPECT_EQ(b.GetPixel(2, 2), Rgb(100, 100, 100));
    // Far outside on every side: only the bitmap's pixels change, padding stays.
    b.AddMiddleColorInRect(clBlack, RECT{-10, -10, 100, 100});
    EXPECT_EQ(b.GetPixel(0, 0), Rgb(100, 100, 100));
    EXPECT_EQ(b.GetPixel(4, 3), Rgb(100, 100, 100));
    EXPECT_TRUE(PaddingIs(b, 0xAB));
}

TEST(EffectBmp, MorphClampsItsAmount)
{
    TEffectBmp a(2, 2), other(2, 2);
    Fill(other, Rgb(200, 100, 0));
    Fill(a, Rgb(0, 50, 255));
    a.Morph(&other, 1.5);  // as 1
    EXPECT_EQ(a.GetPixel(1, 1), Rgb(200, 100, 0));
    Fill(a, Rgb(0, 50, 255));
    a.Morph(&other, -1);  // as 0
    EXPECT_EQ(a.GetPixel(1, 1), Rgb(0, 50, 255));
    a.Morph(&other, 0.5);
    EXPECT_EQ(a.GetPixel(0, 0), Rgb(100, 75, 128));
    // Sizes differ: nothing.
    TEffectBmp small(1, 1);
    Fill(small, 0);
    a.Morph(&small, 1);
    EXPECT_EQ(a.GetPixel(0, 0), Rgb(100, 75, 128));
}

TEST(EffectBmp, MorphRectAndCopyRectStayInsideBothBitmaps)
{
    TEffectBmp a(4, 3), src(2, 2);
    Fill(a, Rgb(10, 10, 10));
    Fill(src, Rgb(90, 90, 90));
    FillPadding(a, 0xCD);
    // A target far larger than either bitmap, read from source (1, 1) onward:
    // only target pixels paired with a source pixel change.
    a.CopyRect(&src, RECT{0, 0, 50, 50}, 1, 1);
    EXPECT_EQ(a.GetPixel(0, 0), Rgb(90, 90, 90));
    EXPECT_EQ(a.GetPixel(1, 0), Rgb(10, 10, 10));
    EXPECT_EQ(a.GetPixel(0, 1), Rgb(10, 10, 10));
    EXPECT_TRUE(PaddingIs(a, 0xCD));
    Fill(a, Rgb(10, 10, 10));
    a.MorphRect(&src, 1.0, RECT{-5, -5, 50, 50}, 0, 0);
    // Target (-5, -5) pairs with source (0, 0); nothing of the source reaches the bitmap.
    EXPECT_EQ(a.GetPixel(0, 0), Rgb(10, 10, 10));
    a.MorphRect(&src, 1.0, RECT{2, 1, 50, 50}, 0, 0);
    EXPECT_EQ(a.GetPixel(2, 1), Rgb(90, 90, 90));
    EXPECT_EQ(a.GetPixel(3, 2), Rgb(90, 90, 90));
    EXPECT_EQ(a.GetPixel(1, 1), Rgb(10, 10, 10));
    EXPECT_TRUE(PaddingIs(a, 0xCD));
    // A source position outside the source: nothing.
    a.CopyRect(&src, RECT{0, 0, 1, 1}, -7, 9);
    EXPECT_EQ(a.GetPixel(0, 0), Rgb(10, 10, 10));
}

TEST(EffectBmp, GradientsRunEdgeToEdge)
{
    TEffectBmp b(3, 1);
    Fill(b, Rgb(200, 200, 200));
    b.AddGradColor(clBlack, gdLeft);  // t = 0 (all colour) at the left edge
    EXPECT_EQ(b.GetPixel(0, 0), Rgb(0, 0, 0));
    EXPECT_EQ(b.GetPixel(1, 0), Rgb(100, 100, 100));
    EXPECT_EQ(b.GetPixel(2, 0), Rgb(200, 200, 200));
    Fill(b, Rgb(200, 200, 200));
    b.AddGradColor(clBlack, gdRight);
    EXPECT_EQ(b.GetPixel(2, 0), Rgb(0, 0, 0));
    EXPECT_EQ(b.GetPixel(0, 0), Rgb(200, 200, 200));
    TEffectBmp v(5, 1);
    Fill(v, Rgb(200, 200, 200));
    v.AddGradColor(clBlack, gdVCenter);
    EXPECT_EQ(v.GetPixel(2, 0), Rgb(0, 0, 0));
    EXPECT_EQ(v.GetPixel(1, 0), Rgb(100, 100, 100));
    EXPECT_EQ(v.GetPixel(0, 0), Rgb(200, 200, 200));
    EXPECT_EQ(v.GetPixel(4, 0), Rgb(200, 200, 200));
}

TEST(EffectBmp, GradientsOnImagesOfOneAndTwoPixels)
{
    for (TGradKind kind : {gdRight, gdLeft, gdTop, gdBottom, gdVCenter, gdHCenter}) {
        TEffectBmp one(1, 1);
        Fill(one, Rgb(200, 200, 200));
        one.AddGradColor(clWhite, kind);
        EXPECT_EQ(one.GetPixel(0, 0), Rgb(255, 255, 255)) << kind;  // the one pixel lies on the edge
        TEffectBmp two(2, 2);
        Fill(two, Rgb(200, 200, 200));
        two.AddGradColor(clBlack, kind);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                int p = two.GetPixel(x, y);
                EXPECT_TRUE(p == Rgb(0, 0, 0) || p == Rgb(200, 200, 200)) << kind << " " << std::hex << p;
            }
    }
    TEffectBmp two(2, 1);
    Fill(two, Rgb(200, 200, 200));
    two.AddGradColor(clBlack, gdLeft);
    EXPECT_EQ(two.GetPixel(0, 0), Rgb(0, 0, 0));
    EXPECT_EQ(two.GetPixel(1, 0), Rgb(200, 200, 200));
}

TEST(EffectBmp, ColourNoiseOfZeroOrLessChangesNothing)
{
    TEffectBmp b(4, 4);
    Fill(b, Rgb(7, 8, 9));
    b.AddColorNoise(0);
    b.AddColorNoise(-5);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(b.GetPixel(x, y), Rgb(7, 8, 9));
    b.AddColorNoise(1);  // Random(1) - 0 = 0
    EXPECT_EQ(b.GetPixel(3, 3), Rgb(7, 8, 9));
    Fill(b, Rgb(255, 0, 128));
    b.AddColorNoise(100);  // clamped to 0..255, within 50 of the start
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            int p = b.GetPixel(x, y);
            EXPECT_GE((p >> 16) & 255, 205);
            EXPECT_LE((p >> 8) & 255, 49);
            EXPECT_NEAR(p & 255, 128, 50);
        }
}

TEST(EffectBmp, MiddleFlipFlopTileResize)
{
    TEffectBmp b(3, 2), c(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) b.SetPixel(x, y, Rgb(x, y, 0));
    b.Flip();
    EXPECT_EQ(b.GetPixel(0, 0), Rgb(2, 0, 0));
    b.Flop();
    EXPECT_EQ(b.GetPixel(0, 0), Rgb(2, 1, 0));
    EXPECT_EQ(b.GetPixel(2, 1), Rgb(0, 0, 0));
    Fill(c, Rgb(100, 100, 100));
    c.MiddleBMP(&b);
    EXPECT_EQ(c.GetPixel(0, 0), Rgb(51, 50, 50));
    TEffectBmp tiled(7, 5);
    b.Tile(&tiled);
    EXPECT_EQ(tiled.GetPixel(6, 4), b.GetPixel(0, 0));
    EXPECT_EQ(tiled.GetPixel(4, 3), b.GetPixel(1, 1));
    TEffectBmp small(2, 2), big(5, 5);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) small.SetPixel(x, y, Rgb(10 * x + 1, 10 * y + 1, 0));
    Fill(big, 0);
    small.Resize(&big);  // blocks of 3: (0,0) at 0, (1,1) at 2
    EXPECT_EQ(big.GetPixel(0, 0), Rgb(1, 1, 0));
    EXPECT_EQ(big.GetPixel(1, 1), Rgb(1, 1, 0));
    EXPECT_EQ(big.GetPixel(4, 4), Rgb(11, 11, 0));
}

namespace {

// The blurs and the wave written again from their rules over plain pixels
// (blue, green, red, row by row), to hold the bitmap's results against.
struct Plain {
    int W, H;
    std::vector<int> C;
    int* At(int x, int y) { return &C[size_t(3 * (y * W + x))]; }
};

Plain PlainOf(const TEffectBmp& b)
{
    Plain p{b.Width, b.Height, {}};
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x)
            for (int k = 0; k < 3; ++k) p.C.push_back((b.GetPixel(x, y) >> (8 * k)) & 0xFF);
    return p;
}

// In place, row by row: the mean of the four pixels R away on both
// diagonals, a sample outside the image taking the pixel's own coordinate.
void SplitBlur(Plain& p, int r, const std::function<bool(int, int)>& where = [](int, int) { return true; })
{
    auto in = [](int v, int d, int n) { return v + d < 0 || v + d >= n ? v : v + d; };
    for (int y = 0; y < p.H; ++y)
        for (int x = 0; x < p.W; ++x)
            for (int k = 0; where(x, y) && k < 3; ++k)
                p.At(x, y)[k] = (p.At(in(x, -r, p.W), in(y, -r, p.H))[k] + p.At(in(x, r, p.W), in(y, -r, p.H))[k] +
                                 p.At(in(x, -r, p.W), in(y, r, p.H))[k] + p.At(in(x, r, p.W), in(y, r, p.H))[k]) >> 2;
}

// In place: from its own value, halved together with each pixel of the
// square in turn, the result written when the square is through.
void Blur(Plain& p, int r)
{
    for (int y = 0; y < p.H; ++y)
        for (int x = 0; x < p.W; ++x) {
            int v[3] = {p.At(x, y)[0], p.At(x, y)[1], p.At(x, y)[2]};
            for (int j = y - r; j <= y + r; ++j)
                for (int i = x - r; i <= x + r; ++i)
                    for (int k = 0; k < 3 && i >= 0 && j >= 0 && i < p.W && j < p.H; ++k)
                        v[k] = (v[k] + p.At(i, j)[k]) >> 1;
            std::copy_n(v, 3, p.At(x, y));
        }
}

void Wave(Plain& p, int xDiv, int yDiv, double ratio)
{
    Plain from = p;
    for (int y = 0; y < p.H; ++y)
        for (int x = 0; x < p.W; ++x) {
            int sx = int(std::floor(x + ratio * std::sin(double(y) / yDiv) + 0.5));
            int sy = int(std::floor(y + ratio * std::sin(double(x) / xDiv) + 0.5));
            std::copy_n(from.At(std::clamp(sx, 0, p.W - 1), std::clamp(sy, 0, p.H - 1)), 3, p.At(x, y));
        }
}

void ExpectSame(const TEffectBmp& b, const Plain& expected, const char* after)
{
    EXPECT_EQ(PlainOf(b).C, expected.C) << "after " << after;
}

}  // namespace

TEST(EffectBmp, BlursAndWaveFollowTheirRulesAndKeepThePadding)
{
    TEffectBmp b(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            b.SetPixel(x, y, Rgb((37 * x + 11 * y) % 256, (5 * x + 61 * y) % 256, (13 * x * x + 7 * y * y) % 256));
    FillPadding(b, 0xEE);
    Plain p = PlainOf(b);
    b.Wave(2, 3, 1.7);
    Wave(p, 2, 3, 1.7);
    ExpectSame(b, p, "Wave");
    b.SplitBlur(2);
    SplitBlur(p, 2);
    ExpectSame(b, p, "SplitBlur(2)");
    b.Blur(1);
    Blur(p, 1);
    ExpectSame(b, p, "Blur(1)");
    b.SplitBlur(100);  // every sample outside the image
    SplitBlur(p, 100);
    ExpectSame(b, p, "SplitBlur(100)");
    TEffectBmp mask(7, 5);
    Fill(mask, Rgb(255, 255, 255));
    mask.SetPixel(1, 1, 0);
    mask.SetPixel(5, 3, 0);
    b.MaskSplitBlur(&mask, 1);
    SplitBlur(p, 1, [](int x, int y) { return (x == 1 && y == 1) || (x == 5 && y == 3); });
    ExpectSame(b, p, "MaskSplitBlur");
    EXPECT_TRUE(PaddingIs(b, 0xEE));
}

TEST(EffectBmp, CopiesADeviceBitmapAndDrawsItBack)
{
    TBitmap bmp;
    bmp.SetSize(5, 3);
    bmp.Canvas()->Brush()->SetColor(TColor(RGB(10, 20, 30)));
    bmp.Canvas()->FillRect(RECT{0, 0, 5, 3});
    bmp.Canvas()->SetPixel(4, 2, TColor(RGB(200, 100, 50)));
    TEffectBmp e(bmp.Handle());
    ASSERT_EQ(e.Width, 5);
    ASSERT_EQ(e.Height, 3);
    EXPECT_EQ(e.GetPixel(0, 0), Rgb(10, 20, 30));
    EXPECT_EQ(e.GetPixel(4, 2), Rgb(200, 100, 50));
    e.AddMiddleColor(clBlack);
    e.Draw(bmp.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(bmp.Canvas()->Pixel(4, 2), RGB(100, 50, 25));
    EXPECT_EQ(bmp.Canvas()->Pixel(0, 0), RGB(5, 10, 15));
    TEffectBmp copy(&e);
    EXPECT_EQ(copy.GetPixel(4, 2), Rgb(100, 50, 25));
}

TEST(EffectBmpUtils, RGBChangeClampsEachChannel)
{
    EXPECT_EQ(RGBChange(TColor(RGB(250, 5, 100)), 10, -10, 0), TColor(RGB(255, 0, 100)));
    EXPECT_EQ(RGBChange(TColor(0x02000000 | RGB(5, 250, 1)), -10, 10, -1), TColor(0x02000000 | RGB(0, 255, 0)));
    EXPECT_EQ(MiddleColor(TColor(RGB(255, 0, 3)), TColor(RGB(0, 255, 0))), TColor(RGB(127, 127, 1)));
}

TEST(EffectBmpUtils, PointInShapes)
{
    RECT r{0, 0, 20, 10};
    EXPECT_TRUE(PointinEllipse(10, 5, r));
    EXPECT_TRUE(PointinEllipse(0, 5, r));
    EXPECT_FALSE(PointinEllipse(1, 1, r));
    EXPECT_TRUE(PointinEllipse(0, 0, RECT{0, 0, 1, 1}));  // half axes of 0 taken as 1
    EXPECT_TRUE(PointinRndRect(10, 0, 4, r));
    EXPECT_TRUE(PointinRndRect(0, 5, 4, r));
    EXPECT_FALSE(PointinRndRect(0, 0, 4, r));
    EXPECT_TRUE(PointinRndRect(2, 2, 4, r));  // within 4 of (4, 4)
    EXPECT_FALSE(PointinRndRect(1, 1, 4, r));
}

TEST(EffectBmpUtils, Frm3DDrawsTopLeftAndBottomRight)
{
    TBitmap bmp;
    bmp.SetSize(10, 8);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(RECT{0, 0, 10, 8});
    Frm3D(bmp.Canvas(), RECT{0, 0, 10, 8}, clRed, clBlue, 2);
    TCanvas* c = bmp.Canvas();
    EXPECT_EQ(c->Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(c->Pixel(0, 6), RGB(255, 0, 0));
    EXPECT_EQ(c->Pixel(8, 0), RGB(255, 0, 0));
    EXPECT_EQ(c->Pixel(9, 0), RGB(0, 0, 255));  // the bottom colour starts at the top-right corner
    EXPECT_EQ(c->Pixel(9, 4), RGB(0, 0, 255));
    EXPECT_EQ(c->Pixel(4, 7), RGB(0, 0, 255));
    EXPECT_EQ(c->Pixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(c->Pixel(8, 4), RGB(0, 0, 255));
    EXPECT_EQ(c->Pixel(2, 2), RGB(255, 255, 255));
}

TEST(EffectBmpUtils, GlyphStripAndTransparency)
{
    TBitmap glyph;
    glyph.SetSize(6, 2);  // three images of 2 x 2
    TCanvas* g = glyph.Canvas();
    g->Brush()->SetColor(clLime);  // each image's bottom-left pixel: see-through
    g->FillRect(RECT{0, 0, 6, 2});
    g->SetPixel(0, 0, clRed);
    g->SetPixel(2, 0, clBlue);
    g->SetPixel(5, 0, clYellow);
    TBitmap target;
    target.SetSize(4, 4);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(RECT{0, 0, 4, 4});
    PaintGlyph(target.Canvas(), 1, 1, &glyph, 3, 2);
    EXPECT_EQ(target.Canvas()->Pixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(target.Canvas()->Pixel(2, 1), RGB(255, 255, 255));
    EXPECT_EQ(target.Canvas()->Pixel(1, 2), RGB(255, 255, 255));
    PaintGlyph(target.Canvas(), 0, 0, &glyph, 3, 3);
    EXPECT_EQ(target.Canvas()->Pixel(1, 0), RGB(255, 255, 0));
    EXPECT_EQ(target.Canvas()->Pixel(0, 0), RGB(255, 255, 255));
    // A count of 0 or less draws nothing (and divides by nothing).
    PaintGlyph(target.Canvas(), 0, 0, &glyph, 0, 1);
    PaintGlyph(target.Canvas(), 0, 0, &glyph, -2, 1);
    EXPECT_EQ(target.Canvas()->Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetTransparentColor(&glyph), clLime);
    DrawBitmapTransparent(target.Canvas(), 0, 2, &glyph, clNone);  // no transparency
    EXPECT_EQ(target.Canvas()->Pixel(0, 3), RGB(0, 255, 0));
}

TEST(EffectBmpUtils, RegionFromBitmapUsesTheBottomRowAndHasNoRectangleLimit)
{
    TBitmap shape;
    shape.SetSize(3, 3);
    TCanvas* c = shape.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(RECT{0, 0, 3, 3});
    c->SetPixel(0, 2, clBlack);  // bottom-left: the transparent colour
    c->SetPixel(2, 2, clBlack);
    c->SetPixel(1, 0, clBlack);
    // Row 1 (the row above the bottom) is all white; taking the transparent
    // colour from there would make the white pixels the holes.
    std::vector<uint8_t> data;
    int size = CreateRFromBmp(&shape, data);
    // Row 0: two runs; row 1: one; row 2: one.
    ASSERT_EQ(size, 32 + 4 * 16);
    const RGNDATAHEADER* h = reinterpret_cast<const RGNDATAHEADER*>(data.data());
    EXPECT_EQ(h->dwSize, 32u);
    EXPECT_EQ(h->iType, DWORD(RDH_RECTANGLES));
    EXPECT_EQ(h->nCount, 4u);
    const RECT* r = reinterpret_cast<const RECT*>(data.data() + 32);
    EXPECT_EQ(r[0].left, 0);
    EXPECT_EQ(r[0].right, 1);
    EXPECT_EQ(r[1].left, 2);
    EXPECT_EQ(r[3].left, 1);
    EXPECT_EQ(r[3].right, 2);
    EXPECT_EQ(r[3].top, 2);
    // A checkerboard of 200 x 120 has 12000 runs, more than any fixed limit of 10000.
    TBitmap board;
    board.SetSize(200, 120);
    TCanvas* b = board.Canvas();
    b->Brush()->SetColor(clBlack);
    b->FillRect(RECT{0, 0, 200, 120});
    for (int y = 0; y < 120; ++y)
        for (int x = y % 2; x < 200; x += 2) b->SetPixel(x, y, clWhite);
    ASSERT_EQ(b->Pixel(0, 119), RGB(0, 0, 0));
    EXPECT_EQ(CreateRFromBmp(&board, data), 32 + 12000 * 16);
    HRGN rgn = CreateRegionFromBmp(&board);
    ASSERT_NE(rgn, nullptr);
    EXPECT_TRUE(PtInRegion(rgn, 1, 119));
    EXPECT_FALSE(PtInRegion(rgn, 0, 119));
    EXPECT_TRUE(PtInRegion(rgn, 198, 0));
    EXPECT_FALSE(PtInRegion(rgn, 199, 0));
    DeleteObject(rgn);
    TBitmap empty;
    EXPECT_EQ(CreateRFromBmp(&empty, data), 0);
}

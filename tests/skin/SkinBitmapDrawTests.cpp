// Drawing and blending on the alpha bitmap of both families. Expected pixels
// are worked out here from the rules (nearest pixel, tiles, bands, edges,
// the per-channel blend), not taken from the drawing code.
#include "SkinBitmap.h"
#include "SkinGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr TKColor Sentinel = 0x5A123456u;

// A distinct opaque (or alpha) colour for each pixel.
TKColor PatternColor(int x, int y, uint32_t alpha = 0xFF)
{
    return alpha << 24 | uint32_t(0x40 + x * 9) << 16 | uint32_t(0x20 + y * 11) << 8 | uint32_t((x * 31 + y * 17) & 0xFF);
}

template <class B>
void Pattern(B& bitmap, int width, int height, uint32_t alpha = 0xFF)
{
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, PatternColor(x, y, alpha));
}

template <class B>
void Plain(B& bitmap, int width, int height, TKColor color = Sentinel)
{
    bitmap.SetSize(width, height);
    bitmap.Clear(color);
}

// Alpha over: t * a + b * (255 - a) over 255 per channel (alpha too).
double IdealChannel(TKColor top, TKColor bottom, int shift)
{
    double a = top >> 24, t = (top >> shift) & 0xFF, b = (bottom >> shift) & 0xFF;
    return (t * a + b * (255 - a)) / 255;
}

void ExpectBlendNearIdeal(TKColor got, TKColor top, TKColor bottom)
{
    for (int shift = 0; shift < 32; shift += 8) {
        double ideal = std::nearbyint(IdealChannel(top, bottom, shift));
        EXPECT_LE(std::abs(double((got >> shift) & 0xFF) - ideal), 1.0)
            << std::hex << got << " = " << top << " over " << bottom << " channel " << std::dec << shift;
    }
}

// k / n of the way from begin to end per channel, halves to even, in exact
// integer arithmetic.
TKColor Band(TKColor begin, TKColor end, int k, int n)
{
    TKColor result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int b = (begin >> shift) & 0xFF, e = (end >> shift) & 0xFF;
        int num = b * n + (e - b) * k;  // value * n, never negative
        int whole = num / n, rest = num % n;
        if (2 * rest > n || (2 * rest == n && (whole & 1))) ++whole;
        result |= TKColor(whole) << shift;
    }
    return result;
}

// The source column of destination column i (counted from the clipped
// start) of a nearest-pixel stretch of sw onto dw, 16.16 fixed point.
int StretchSource(int i, int skipped, int sw, int dw)
{
    int64_t step = (int64_t(sw) << 16) / dw;
    int64_t start = (int64_t(skipped) * sw * 65535 + dw / 2) / dw;
    return int((start + i * step) >> 16);
}

}  // namespace

template <class B>
class SkinBitmapDraw : public ::testing::Test {};
using DrawLeaves = ::testing::Types<TKsBitmap, TKsMediaBitmap>;
TYPED_TEST_SUITE(SkinBitmapDraw, DrawLeaves);

TYPED_TEST(SkinBitmapDraw, PlainCopyKeepsAlphaAndClipsBothBitmaps)
{
    TypeParam source, dest;
    Pattern(source, 4, 4, 0x33);
    Plain(dest, 6, 6);
    source.Draw(&dest, -1, 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x < 3 && y >= 3;
            EXPECT_EQ(dest.GetPixel(x, y), inside ? PatternColor(x + 1, y - 3, 0x33) : Sentinel) << x << "," << y;
        }
    // A source rectangle reaching out of the source moves the destination
    // with its cut-off sides.
    Plain(dest, 6, 6);
    source.Draw(&dest, 1, 1, RECT{-1, -2, 2, 9});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 2 && x < 4 && y >= 3;
            EXPECT_EQ(dest.GetPixel(x, y), inside ? PatternColor(x - 2, y - 3, 0x33) : Sentinel) << x << "," << y;
        }
    // Onto itself, overlapping.
    Pattern(source, 4, 4);
    source.Draw(&source, 0, 1, RECT{0, 0, 4, 3});
    for (int y = 1; y < 4; ++y) EXPECT_EQ(source.GetPixel(2, y), PatternColor(2, y - 1));
}

TYPED_TEST(SkinBitmapDraw, AlphaCopySkipsTransparentCopiesOpaqueAndBlendsTheRest)
{
    TypeParam source, dest;
    source.SetSize(3, 1);
    source.SetPixel(0, 0, 0x00FF0000u);
    source.SetPixel(1, 0, 0xFF123456u);
    source.SetPixel(2, 0, 0x80FF8040u);
    source.SetUseAlpha(true);
    const TKColor under = 0xC00020F0u;
    Plain(dest, 3, 1, under);
    source.Draw(&dest, 0, 0);
    EXPECT_EQ(dest.GetPixel(0, 0), under);
    EXPECT_EQ(dest.GetPixel(1, 0), 0xFF123456u);
    ExpectBlendNearIdeal(dest.GetPixel(2, 0), 0x80FF8040u, under);
    EXPECT_EQ(dest.GetPixel(2, 0), BlendPixel(0x80FF8040u, under));

    // Alpha 128 over many backgrounds stays within one step of the ideal.
    for (TKColor top : {0x80FFFFFFu, 0x80000000u, 0x807F3FC0u, 0x80010203u})
        for (TKColor bottom : {0xFFFFFFFFu, 0x00000000u, 0xFF808080u, 0x40FEDCBAu}) {
            source.SetSize(1, 1);
            source.SetPixel(0, 0, top);
            Plain(dest, 1, 1, bottom);
            source.Draw(&dest, 0, 0);
            ExpectBlendNearIdeal(dest.GetPixel(0, 0), top, bottom);
        }
}

TYPED_TEST(SkinBitmapDraw, AlphaCopyWithANegativeOriginMovesTheDestination)
{
    TypeParam source, dest;
    Pattern(source, 4, 4);
    source.SetUseAlpha(true);
    Plain(dest, 10, 10);
    source.Draw(&dest, 5, 5, RECT{-2, -1, 3, 3});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 7 && x < 10 && y >= 6 && y < 9;
            EXPECT_EQ(dest.GetPixel(x, y), inside ? PatternColor(x - 7, y - 6) : Sentinel) << x << "," << y;
        }
    // Off the destination's top-left.
    Plain(dest, 10, 10);
    source.Draw(&dest, -3, -2);
    EXPECT_EQ(dest.GetPixel(0, 0), PatternColor(3, 2));
    EXPECT_EQ(dest.GetPixel(0, 1), PatternColor(3, 3));
    EXPECT_EQ(dest.GetPixel(1, 0), Sentinel);
    EXPECT_EQ(dest.GetPixel(0, 2), Sentinel);
}

TYPED_TEST(SkinBitmapDraw, StretchedAlphaCopyRepeatsEachPixelInABlock)
{
    TypeParam source, dest;
    Pattern(source, 2, 2);
    source.SetPixel(1, 1, 0x80FFFFFFu);
    source.SetUseAlpha(true);
    Plain(dest, 4, 4, 0xFF000000u);
    source.Draw(&dest, RECT{0, 0, 4, 4}, RECT{0, 0, 2, 2});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            TKColor top = source.GetPixel(x / 2, y / 2);
            EXPECT_EQ(dest.GetPixel(x, y), top == 0x80FFFFFFu ? BlendPixel(top, 0xFF000000u) : top) << x << "," << y;
        }
    // The same through DrawStretch, and a destination cut on the left: the
    // first visible column starts one column into the stretch.
    Plain(dest, 4, 4);
    source.DrawStretch(&dest, RECT{-1, 0, 3, 4}, RECT{0, 0, 2, 2});
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(dest.GetPixel(x, 0), PatternColor(StretchSource(x, 1, 2, 4), 0)) << x;
    EXPECT_EQ(dest.GetPixel(0, 0), PatternColor(0, 0));
    EXPECT_EQ(dest.GetPixel(1, 0), PatternColor(1, 0));
    EXPECT_EQ(dest.GetPixel(3, 0), Sentinel);

    // Shrinking 7 columns onto 3 and 5 rows onto 2.
    Pattern(source, 7, 5);
    Plain(dest, 4, 4);
    source.Draw(&dest, RECT{1, 1, 4, 3}, RECT{0, 0, 7, 5});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(dest.GetPixel(1 + x, 1 + y), PatternColor(StretchSource(x, 0, 7, 3), StretchSource(y, 0, 5, 2)));
    EXPECT_EQ(dest.GetPixel(0, 0), Sentinel);
    // Nothing for an empty destination or a source beside the bitmap.
    Plain(dest, 4, 4);
    source.Draw(&dest, RECT{0, 0, 0, 4}, RECT{0, 0, 7, 5});
    source.Draw(&dest, RECT{0, 0, 4, 4}, RECT{7, 0, 9, 5});
    for (int i = 0; i < 16; ++i) EXPECT_EQ(dest.Bits()[i], Sentinel);
}

TYPED_TEST(SkinBitmapDraw, StretchedPlainCopyGoesThroughThePlatform)
{
    TypeParam source, dest;
    Pattern(source, 2, 2);
    Plain(dest, 4, 4);
    source.Draw(&dest, RECT{0, 0, 4, 4}, RECT{0, 0, 2, 2});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dest.GetPixel(x, y) & 0xFFFFFFu, PatternColor(x / 2, y / 2) & 0xFFFFFFu) << x << "," << y;
    // And onto a device context.
    Plain(dest, 4, 4);
    source.Draw(dest.DC(), 1, 2);
    source.Draw(dest.DC(), 0, 0, RECT{1, 1, 2, 2});
    GdiFlush();
    EXPECT_EQ(dest.GetPixel(2, 3) & 0xFFFFFFu, PatternColor(1, 1) & 0xFFFFFFu);
    EXPECT_EQ(dest.GetPixel(0, 0) & 0xFFFFFFu, PatternColor(1, 1) & 0xFFFFFFu);
    EXPECT_EQ(dest.GetPixel(0, 1), Sentinel);
    // Shrunk, every pixel is one of the source's, as in the alpha path, not
    // a mix of neighbours.
    Pattern(source, 7, 5);
    source.Draw(&dest, RECT{0, 0, 3, 2}, RECT{0, 0, 7, 5});
    GdiFlush();
    for (int i = 0; i < 6; ++i) {
        int found = 0;
        for (int p = 0; p < 35; ++p) found += ((dest.GetPixel(i % 3, i / 3) ^ PatternColor(p % 7, p / 7)) & 0xFFFFFFu) == 0;
        EXPECT_EQ(1, found) << i;
    }
}

TYPED_TEST(SkinBitmapDraw, TilesCoverTheDestinationFromItsTopLeft)
{
    for (bool useAlpha : {false, true}) {
        TypeParam source, dest;
        Pattern(source, 12, 12);
        source.SetUseAlpha(useAlpha);
        Plain(dest, 30, 20);
        // A 10 x 10 source over 25 x 15: 3 x 2 tiles, the last column and
        // row 5 pixels, each cut from the source's top-left.
        source.DrawTile(&dest, RECT{2, 3, 27, 18}, RECT{1, 2, 11, 12});
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                bool inside = x >= 2 && x < 27 && y >= 3 && y < 18;
                TKColor expected = inside ? PatternColor(1 + (x - 2) % 10, 2 + (y - 3) % 10) : Sentinel;
                ASSERT_EQ(dest.GetPixel(x, y), expected) << x << "," << y << " alpha " << useAlpha;
            }
        // A destination hanging over every edge of the bitmap: the tiles
        // still start at its own top-left corner.
        Plain(dest, 30, 20);
        source.DrawTile(&dest, RECT{-15, -5, 45, 35}, RECT{1, 2, 11, 12});
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(dest.GetPixel(x, y), PatternColor(1 + (x + 15) % 10, 2 + (y + 5) % 10)) << x << "," << y;
        // An empty source draws nothing.
        Plain(dest, 30, 20);
        source.DrawTile(&dest, RECT{0, 0, 30, 20}, RECT{3, 3, 3, 9});
        EXPECT_EQ(dest.GetPixel(5, 5), Sentinel);
    }
}

TYPED_TEST(SkinBitmapDraw, TilesOfAHalfTransparentSourceBlend)
{
    TypeParam source, dest;
    Plain(source, 2, 2, 0x80FF0000u);
    source.SetUseAlpha(true);
    Plain(dest, 5, 3, 0xFF0000FFu);
    source.DrawTile(&dest, RECT{0, 0, 5, 3}, RECT{0, 0, 2, 2});
    for (int i = 0; i < 15; ++i) EXPECT_EQ(dest.Bits()[i], 0xBF80007Fu) << i;
}

TYPED_TEST(SkinBitmapDraw, MergeDrawLaysThisBitmapOverTheOther)
{
    TypeParam top, other;
    top.SetSize(4, 3);
    for (int x = 0; x < 4; ++x) {
        top.SetPixel(x, 0, 0x00FFFFFFu);
        top.SetPixel(x, 1, 0xFF010203u);
        top.SetPixel(x, 2, 0x80FFFFFFu);
    }
    Pattern(other, 6, 6);
    TypeParam before;
    before.Assign(&top);
    top.MergeDraw(&other, 1, 0, RECT{2, 1, 5, 4});
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(top.GetPixel(0, y), before.GetPixel(0, y)) << y;
        for (int x = 1; x < 4; ++x) {
            TKColor under = other.GetPixel(x - 1 + 2, y + 1);
            TKColor expected = y == 0 ? under : y == 1 ? 0xFF010203u : BlendPixel(0x80FFFFFFu, under);
            EXPECT_EQ(top.GetPixel(x, y), expected) << x << "," << y;
            if (y == 2) ExpectBlendNearIdeal(top.GetPixel(x, y), 0x80FFFFFFu, under);
        }
    }
    // A negative left edge moves X.
    top.Assign(&before);
    top.MergeDraw(&other, 0, 0, RECT{-1, 0, 2, 1});
    EXPECT_EQ(top.GetPixel(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(top.GetPixel(1, 0), other.GetPixel(0, 0));
    EXPECT_EQ(top.GetPixel(2, 0), other.GetPixel(1, 0));
    EXPECT_EQ(top.GetPixel(3, 0), 0x00FFFFFFu);
    // Fully transparent over the whole other bitmap copies it.
    Plain(top, 6, 6, 0x00000000u);
    top.MergeDraw(&other, 0, 0, RECT{0, 0, 9, 9});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(top.GetPixel(x, y), other.GetPixel(x, y));
}

TYPED_TEST(SkinBitmapDraw, FillRectStoresOrBlendsTheColour)
{
    TypeParam bitmap;
    Plain(bitmap, 4, 3, 0xFF0000FFu);
    bitmap.FillRect(RECT{-2, 1, 2, 9}, 0x00FFFFFFu);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bitmap.GetPixel(x, y), x < 2 && y >= 1 ? 0x00FFFFFFu : 0xFF0000FFu) << x << "," << y;
    bitmap.SetUseAlpha(true);
    Plain(bitmap, 4, 3, 0xFF0000FFu);
    bitmap.FillRect(RECT{0, 0, 4, 1}, 0x80FF0000u);
    bitmap.FillRect(RECT{0, 1, 4, 2}, 0x00FF0000u);
    bitmap.FillRect(RECT{0, 2, 4, 3}, 0xFF00FF00u);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(bitmap.GetPixel(x, 0), 0xBF80007Fu);
        EXPECT_EQ(bitmap.GetPixel(x, 1), 0xFF0000FFu);
        EXPECT_EQ(bitmap.GetPixel(x, 2), 0xFF00FF00u);
    }
    bitmap.FillRect(RECT{3, 0, 1, 3}, 0xFFFFFFFFu);
    EXPECT_EQ(bitmap.GetPixel(2, 2), 0xFF00FF00u);
}

TYPED_TEST(SkinBitmapDraw, HalftoneRectAlternatesOnTheBitmapsGrid)
{
    TypeParam bitmap;
    Plain(bitmap, 6, 4);
    bitmap.FillHalftoneRect(RECT{1, 1, 5, 9}, 0xFF111111u, 0x80222222u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            TKColor expected = x < 1 || x >= 5 || y < 1 ? Sentinel : (x + y) % 2 == 0 ? 0x80222222u : 0xFF111111u;
            EXPECT_EQ(bitmap.GetPixel(x, y), expected) << x << "," << y;
        }
}

TYPED_TEST(SkinBitmapDraw, GradientOfTenPixelsHasOneBandEach)
{
    TypeParam bitmap;
    Plain(bitmap, 12, 2);
    const TKColor begin = 0x10FF2000u, end = 0xF000A0FFu;
    bitmap.FillGradientRect(RECT{1, 0, 11, 1}, begin, end, false);
    EXPECT_EQ(bitmap.GetPixel(1, 0), begin);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(bitmap.GetPixel(1 + k, 0), Band(begin, end, k, 10)) << k;
    EXPECT_EQ(bitmap.GetPixel(0, 0), Sentinel);
    EXPECT_EQ(bitmap.GetPixel(11, 0), Sentinel);
    EXPECT_EQ(bitmap.GetPixel(5, 1), Sentinel);
    // Halves round to even: 0 to 255 over 10 bands gives 25.5 at band 1.
    bitmap.FillGradientRect(RECT{0, 1, 10, 2}, 0xFF000000u, 0xFF0000FFu, false);
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0xFF00001Au);  // 25.5 -> 26
    EXPECT_EQ(bitmap.GetPixel(3, 1), 0xFF00004Cu);  // 76.5 -> 76

    // Vertical: bands from top to bottom.
    Plain(bitmap, 2, 4);
    bitmap.FillGradientRect(RECT{0, 0, 1, 4}, begin, end, true);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(bitmap.GetPixel(0, k), Band(begin, end, k, 4)) << k;
    EXPECT_EQ(bitmap.GetPixel(1, 2), Sentinel);
}

TYPED_TEST(SkinBitmapDraw, GradientOfAThousandPixelsHas255Bands)
{
    TypeParam bitmap;
    Plain(bitmap, 1000, 1);
    bitmap.FillGradientRect(RECT{0, 0, 1000, 1}, 0xFF000000u, 0xFFFFFFFFu, false);
    int bands = 0, x = 0;
    while (x < 1000) {
        TKColor c = bitmap.GetPixel(x, 0);
        int run = 0;
        while (x < 1000 && bitmap.GetPixel(x, 0) == c) ++x, ++run;
        EXPECT_EQ(c, 0xFF000000u | uint32_t(bands) * 0x010101u) << bands;
        EXPECT_TRUE(run == 3 || run == 4) << "band " << bands << " is " << run;
        // Band k starts at k * 1000 / 255 rounded.
        EXPECT_EQ(x - run, int(std::lround(bands * 1000.0 / 255))) << bands;
        ++bands;
    }
    EXPECT_EQ(bands, 255);
}

TYPED_TEST(SkinBitmapDraw, GradientBlendsWhenAlphaIsUsed)
{
    TypeParam bitmap;
    Plain(bitmap, 2, 1, 0xFF0000FFu);
    bitmap.SetUseAlpha(true);
    bitmap.FillGradientRect(RECT{0, 0, 2, 1}, 0x00FF0000u, 0x80FF0000u, false);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(bitmap.GetPixel(1, 0), BlendPixel(0x40FF0000u, 0xFF0000FFu));
}

TYPED_TEST(SkinBitmapDraw, EdgesRectanglesAndBevels)
{
    TypeParam bitmap;
    Plain(bitmap, 6, 5, 0xFF000000u);
    bitmap.DrawEdge(RECT{1, 1, 5, 4}, 0xFFAAAAAAu, 0xFF555555u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            TKColor expected = 0xFF000000u;
            if (x >= 1 && x < 5 && y >= 1 && y < 4) {
                if (y == 3 || x == 4)
                    expected = 0xFF555555u;
                else if (y == 1 || x == 1)
                    expected = 0xFFAAAAAAu;
            }
            EXPECT_EQ(bitmap.GetPixel(x, y), expected) << x << "," << y;
        }
    // A half-transparent edge is blended once per pixel, corners included.
    Plain(bitmap, 6, 5, 0xFF000000u);
    bitmap.DrawRect(RECT{0, 0, 3, 3}, 0x80FFFFFFu);
    TKColor once = BlendPixel(0x80FFFFFFu, 0xFF000000u);
    for (POINT p : {POINT{0, 0}, POINT{1, 0}, POINT{2, 0}, POINT{0, 1}, POINT{2, 1}, POINT{0, 2}, POINT{2, 2}})
        EXPECT_EQ(bitmap.GetPixel(p.x, p.y), once) << p.x << "," << p.y;
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0xFF000000u);
    // Clipped to the bitmap: the edge is drawn on the visible part.
    Plain(bitmap, 6, 5, 0xFF000000u);
    bitmap.DrawEdge(RECT{-3, -3, 3, 9}, 0xFFAAAAAAu, 0xFF555555u);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFFAAAAAAu);
    EXPECT_EQ(bitmap.GetPixel(2, 0), 0xFF555555u);
    EXPECT_EQ(bitmap.GetPixel(1, 4), 0xFF555555u);
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0xFF000000u);

    // Bevels: width 2 uses deltas 34 and 17, width 1 uses 35.
    Plain(bitmap, 6, 6, 0xFF000000u);
    bitmap.DrawBevel(RECT{0, 0, 6, 6}, 0xFF808080u, 2, false);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFFA2A2A2u);
    EXPECT_EQ(bitmap.GetPixel(5, 5), 0xFF5E5E5Eu);
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0xFF919191u);
    EXPECT_EQ(bitmap.GetPixel(4, 4), 0xFF6F6F6Fu);
    EXPECT_EQ(bitmap.GetPixel(2, 2), 0xFF000000u);
    bitmap.DrawBevel(RECT{0, 0, 6, 6}, 0xFF808080u, 2, true);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFF5E5E5Eu);
    EXPECT_EQ(bitmap.GetPixel(4, 4), 0xFF919191u);
    bitmap.DrawBevel(RECT{0, 0, 6, 6}, 0xFF808080u, 1, false);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFFA3A3A3u);
    EXPECT_EQ(bitmap.GetPixel(5, 0), 0xFF5D5D5Du);
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0xFF6F6F6Fu);  // the sunken inner ring
    Plain(bitmap, 6, 6, 0xFF000000u);
    bitmap.DrawBevel(RECT{0, 0, 6, 6}, 0xFF808080u, 0, false);
    for (int i = 0; i < 36; ++i) EXPECT_EQ(bitmap.Bits()[i], 0xFF000000u);
}

TYPED_TEST(SkinBitmapDraw, HalftonePolygonMarksTheEvenPixelsInside)
{
    TypeParam bitmap;
    Plain(bitmap, 12, 12);
    const POINT square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
    bitmap.FillHalftonePolygon(square, 4, 0xFF0000FFu, 0xFFFF0000u);
    for (int y = 2; y < 8; ++y)
        for (int x = 2; x < 8; ++x)
            if ((x + y) % 2 == 0) {
                EXPECT_EQ(bitmap.GetPixel(x, y), 0xFFFF0000u) << x << "," << y;
            }
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(bitmap.GetPixel(i, 11), Sentinel) << i;
        EXPECT_EQ(bitmap.GetPixel(11, i), Sentinel) << i;
        EXPECT_EQ(bitmap.GetPixel(i, 0), Sentinel) << i;
    }
    // A triangle: the half-tone stays inside it.
    Plain(bitmap, 12, 12);
    const POINT triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    bitmap.FillHalftonePolygon(triangle, 3, 0xFF0000FFu, 0xFFFF0000u);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if (bitmap.GetPixel(x, y) == 0xFFFF0000u) {
                EXPECT_TRUE(PointInPolygon(POINT{x, y}, triangle, 2)) << x << "," << y;
                EXPECT_EQ((x + y) % 2, 0) << x << "," << y;
            }
    EXPECT_EQ(bitmap.GetPixel(2, 2), 0xFFFF0000u);
}

TEST(SkinBitmapGeometry, PointInPolygonFollowsTheWindingRule)
{
    const POINT triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    EXPECT_TRUE(PointInPolygon(POINT{2, 2}, triangle, 2));
    EXPECT_FALSE(PointInPolygon(POINT{8, 8}, triangle, 2));
    EXPECT_FALSE(PointInPolygon(POINT{-1, 2}, triangle, 2));
    const POINT square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
    EXPECT_TRUE(PointInPolygon(POINT{2, 2}, square, 3));
    EXPECT_TRUE(PointInPolygon(POINT{7, 7}, square, 3));
    EXPECT_FALSE(PointInPolygon(POINT{8, 8}, square, 3));
    // A star drawn in one stroke: its centre is inside by winding.
    const POINT star[] = {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
    EXPECT_TRUE(PointInPolygon(POINT{50, 45}, star, 4));
    EXPECT_FALSE(PointInPolygon(POINT{5, 5}, star, 4));
    EXPECT_FALSE(PointInPolygon(POINT{1, 1}, nullptr, -1));
}

TYPED_TEST(SkinBitmapDraw, ShapesGoThroughTheDeviceContext)
{
    TypeParam bitmap;
    Plain(bitmap, 12, 12, 0xFF000000u);
    bitmap.FillRoundRect(RECT{2, 2, 9, 9}, 0, 0xFF3366CCu);
    EXPECT_EQ(bitmap.GetPixel(5, 5) & 0xFFFFFFu, 0x3366CCu);
    EXPECT_EQ(bitmap.GetPixel(10, 10), 0xFF000000u);
    bitmap.MoveTo(0, 11);
    bitmap.LineTo(11, 11, 0x00FF8000u);
    EXPECT_EQ(bitmap.PenPos().x, 11);
    EXPECT_EQ(bitmap.PenPos().y, 11);
    EXPECT_EQ(bitmap.GetPixel(4, 11) & 0xFFFFFFu, 0xFF8000u);
    bitmap.FillEllipse(RECT{0, 0, 12, 12}, 0xFF00FF00u);
    EXPECT_EQ(bitmap.GetPixel(6, 6) & 0xFFFFFFu, 0x00FF00u);
    // An outline leaves the inside alone.
    bitmap.DrawEllipse(RECT{0, 0, 12, 12}, 0xFFFF0000u);
    EXPECT_EQ(bitmap.GetPixel(6, 6) & 0xFFFFFFu, 0x00FF00u);
    const POINT square[] = {{1, 1}, {10, 1}, {10, 10}, {1, 10}};
    bitmap.FillPolygon(square, 4, 0xFF0000FFu);
    EXPECT_EQ(bitmap.GetPixel(6, 6) & 0xFFFFFFu, 0x0000FFu);
    bitmap.DrawPolygon(square, 4, 0xFFFFFFFFu);
    EXPECT_EQ(bitmap.GetPixel(6, 6) & 0xFFFFFFu, 0x0000FFu);
    EXPECT_EQ(bitmap.GetPixel(5, 1) & 0xFFFFFFu, 0xFFFFFFu);
}

TYPED_TEST(SkinBitmapDraw, RadialGradientStaysInItsRectangle)
{
    TypeParam bitmap;
    Plain(bitmap, 60, 60);
    bitmap.FillRadialGradientRect(RECT{10, 10, 50, 50}, 0xFF000000u, 0xFFFFFFFFu, POINT{50, 50});
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (x < 10 || x >= 50 || y < 10 || y >= 50) {
                ASSERT_EQ(bitmap.GetPixel(x, y), Sentinel) << x << "," << y;
            }
    // Dark in the middle, light towards the corners.
    EXPECT_LE(KRed(bitmap.GetPixel(30, 30)), 11);
    EXPECT_GE(KRed(bitmap.GetPixel(11, 11)), 128);
    EXPECT_GE(KRed(bitmap.GetPixel(48, 48)), 128);
    // The clipping region is gone afterwards.
    bitmap.FillEllipse(RECT{0, 0, 60, 60}, 0xFF0000FFu);
    EXPECT_EQ(bitmap.GetPixel(30, 2) & 0xFFFFFFu, 0x0000FFu);
}

TYPED_TEST(SkinBitmapDraw, VerticalTextStaysInsideItsRectangleTurnedEitherWay)
{
    TypeParam clockwise, counter;
    for (TypeParam* b : {&clockwise, &counter}) {
        Plain(*b, 60, 70, 0xFFFFFFFFu);
        b->Font()->SetHeight(-16);
        b->Font()->SetColor(clRed);
    }
    const RECT rect{10, 5, 32, 65};
    clockwise.DrawVerticalText("WAgW", rect, DT_LEFT | DT_TOP | DT_SINGLELINE, true);
    counter.DrawVerticalText("WAgW", rect, DT_LEFT | DT_TOP | DT_SINGLELINE, false);
    int drawn = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 60; ++x) {
            TKColor c = clockwise.GetPixel(x, y);
            if (c == 0xFFFFFFFFu) continue;
            ++drawn;
            EXPECT_EQ(c, 0xFFFF0000u) << x << "," << y;
            EXPECT_TRUE(x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom) << x << "," << y;
            // The other way round is the same picture turned half a turn
            // inside the rectangle.
            EXPECT_EQ(counter.GetPixel(rect.left + rect.right - 1 - x, rect.top + rect.bottom - 1 - y), 0xFFFF0000u)
                << x << "," << y;
        }
    EXPECT_GT(drawn, 0);
    int drawnCounter = 0;
    for (int i = 0; i < 60 * 70; ++i) drawnCounter += counter.Bits()[i] != 0xFFFFFFFFu;
    EXPECT_EQ(drawnCounter, drawn);
    // Partly off the bitmap: no writes outside it, no fault.
    clockwise.DrawVerticalText("WAgW", RECT{40, 50, 80, 90}, 0, true);
    clockwise.DrawVerticalText("WAgW", RECT{5, 5, 5, 40}, 0, true);
}

TYPED_TEST(SkinBitmapDraw, TextStaysInItsRectangle)
{
    TypeParam bitmap;
    Plain(bitmap, 40, 30, 0xFFFFFFFFu);
    bitmap.Font()->SetColor(clBlack);
    EXPECT_GT(bitmap.TextWidth("WWW"), 0);
    EXPECT_GT(bitmap.TextHeight("WWW"), 0);
    bitmap.DrawText("WWWWWW", RECT{5, 5, 12, 12}, DT_LEFT | DT_TOP | DT_SINGLELINE);
    int drawn = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (bitmap.GetPixel(x, y) != 0xFFFFFFFFu) {
                ++drawn;
                EXPECT_TRUE(x >= 5 && x < 12 && y >= 5 && y < 12) << x << "," << y;
            }
    EXPECT_GT(drawn, 0);
}

TEST(SkinBitmapDraw, MediaTextReturnsItsHeight)
{
    TKsMediaBitmap bitmap;
    Plain(bitmap, 80, 40, 0xFFFFFFFFu);
    bitmap.Font()->SetColor(clBlack);
    int height = bitmap.TextHeight("Wg");
    EXPECT_EQ(bitmap.DrawText("Wg", 3, 4), height);
    RECT r{0, 0, 0, 0};
    EXPECT_EQ(bitmap.DrawText("Wg", r, DT_CALCRECT), height);
    EXPECT_EQ(r.right, bitmap.TextWidth("Wg"));
    EXPECT_EQ(r.bottom, height);
    EXPECT_EQ(bitmap.TextWidth("Wg", DT_SINGLELINE), bitmap.TextWidth("Wg"));
    // Drawn at (3, 4) in a box of the text's own size.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            if (bitmap.GetPixel(x, y) != 0xFFFFFFFFu) {
                EXPECT_TRUE(x >= 3 && x < 3 + r.right && y >= 4 && y < 4 + height) << x << "," << y;
            }
}

TEST(SkinBitmapDraw, MediaNineSliceTilesOrStretchesBetweenCopiedCorners)
{
    TKsMediaBitmap source, dest;
    Pattern(source, 6, 6);
    source.SetUseAlpha(true);
    // Margins left 1, top 2, right 2, bottom 1 over a 10 x 8 destination.
    const RECT d{1, 1, 11, 9}, s{0, 0, 6, 6};
    const int l = 1, t = 2, r = 2, b = 1;
    auto zone = [](int pos, int from, int to, int before, int after, int sFrom, int sTo, bool stretch) {
        if (pos < from + before) return sFrom + (pos - from);
        if (pos >= to - after) return sTo - after + (pos - (to - after));
        int inner = pos - (from + before), dw = to - after - from - before, sw = sTo - after - sFrom - before;
        return sFrom + before + (stretch ? StretchSource(inner, 0, sw, dw) : inner % sw);
    };
    for (bool stretch : {false, true}) {
        Plain(dest, 12, 10);
        source.DrawMargin(&dest, d, s, l, t, r, b, stretch);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x) {
                TKColor expected = Sentinel;
                if (x >= d.left && x < d.right && y >= d.top && y < d.bottom)
                    expected = PatternColor(zone(x, d.left, d.right, l, r, s.left, s.right, stretch),
                                            zone(y, d.top, d.bottom, t, b, s.top, s.bottom, stretch));
                ASSERT_EQ(dest.GetPixel(x, y), expected) << x << "," << y << " stretch " << stretch;
            }
    }
    // No margins: one stretched copy.
    Plain(dest, 12, 12);
    source.DrawMargin(&dest, RECT{0, 0, 12, 12}, s, 0, 0, 0, 0, false);
    EXPECT_EQ(dest.GetPixel(11, 11), PatternColor(5, 5));
    EXPECT_EQ(dest.GetPixel(1, 1), PatternColor(0, 0));
    // A part without area draws nothing.
    Plain(dest, 12, 12);
    source.DrawMarginRect(&dest, RECT{2, 2, 2, 5}, RECT{0, 0, 12, 12}, true);
    source.DrawMarginRect(&dest, RECT{2, 2, 5, 2}, RECT{0, 0, 12, 12}, false);
    EXPECT_EQ(dest.GetPixel(3, 3), Sentinel);
    source.DrawMarginRect(&dest, RECT{2, 2, 4, 4}, RECT{0, 0, 3, 3}, false);
    EXPECT_EQ(dest.GetPixel(2, 2), PatternColor(2, 2));
}

namespace {
struct AlphaBlendCall {
    int Count = 0;
    HDC Dest = nullptr, Source = nullptr;
    int Args[8] = {};
    uint32_t Blend = 0;
} alphaBlendCall;

BOOL WINAPI RecordAlphaBlend(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                             BLENDFUNCTION blend)
{
    ++alphaBlendCall.Count;
    alphaBlendCall.Dest = dest;
    alphaBlendCall.Source = src;
    int args[8] = {x, y, w, h, sx, sy, sw, sh};
    std::copy(args, args + 8, alphaBlendCall.Args);
    alphaBlendCall.Blend = uint32_t(blend.BlendOp) | uint32_t(blend.BlendFlags) << 8 |
                           uint32_t(blend.SourceConstantAlpha) << 16 | uint32_t(blend.AlphaFormat) << 24;
    return TRUE;
}
}  // namespace

TEST(SkinBitmapDraw, MediaAlphaCopiesUseThePlatformEntryOnlyWhenSet)
{
    EXPECT_EQ(TKsMediaBitmap::AlphaBlend, nullptr);
    EXPECT_EQ(TKsMediaBitmap::TransparentBlt, nullptr);
    TKsMediaBitmap source, dest;
    Pattern(source, 4, 4);
    source.SetUseAlpha(true);
    Plain(dest, 8, 8);
    alphaBlendCall = AlphaBlendCall{};
    TKsMediaBitmap::AlphaBlend = &RecordAlphaBlend;
    source.Draw(&dest, 2, 3, RECT{1, 1, 3, 4});
    EXPECT_EQ(alphaBlendCall.Count, 1);
    const int unscaled[8] = {2, 3, 2, 3, 1, 1, 2, 3};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(alphaBlendCall.Args[i], unscaled[i]) << i;
    source.Draw(&dest, RECT{0, 0, 8, 8}, RECT{0, 0, 4, 4});
    TKsMediaBitmap::AlphaBlend = nullptr;
    EXPECT_EQ(alphaBlendCall.Count, 2);
    EXPECT_EQ(alphaBlendCall.Dest, dest.DC());
    EXPECT_EQ(alphaBlendCall.Source, source.DC());
    EXPECT_EQ(alphaBlendCall.Blend, 0x01FF0000u);
    const int stretched[8] = {0, 0, 8, 8, 0, 0, 4, 4};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(alphaBlendCall.Args[i], stretched[i]) << i;
    // The entry drew nothing here; the family's own loops did not run.
    EXPECT_EQ(dest.GetPixel(2, 3), Sentinel);
    // The other family never uses it.
    TKsBitmap ks, ksDest;
    Pattern(ks, 2, 2);
    ks.SetUseAlpha(true);
    Plain(ksDest, 2, 2);
    TKsMediaBitmap::AlphaBlend = &RecordAlphaBlend;
    ks.Draw(&ksDest, 0, 0);
    TKsMediaBitmap::AlphaBlend = nullptr;
    EXPECT_EQ(alphaBlendCall.Count, 2);
    EXPECT_EQ(ksDest.GetPixel(1, 1), PatternColor(1, 1));
}

// One menu item measured and drawn into a plain buffer, classic and styled.
// Expected pixels come from the looks' own definitions (rows, insets, the
// check mark's points), not from the painter.
#include "EpMenus.h"
#include "Font.h"
#include "KColor.h"
#include "SkinControlTestSupport.h"

#include <gtest/gtest.h>

using namespace SkinTest;

namespace {

constexpr TKColor Marker = 0xFF123456u;

struct TPaintBuffer {
    TKsBitmap Bitmap;
    TPaintBuffer(int width, int height)
    {
        Bitmap.SetSize(width, height);
        Bitmap.Clear(Marker);
    }
    TKColor At(int x, int y)
    {
        GdiFlush();
        return Rgb(Bitmap.GetPixel(x, y));
    }
};

TItemFace PopupFace(const std::string& caption)
{
    TItemFace face;
    face.Caption = caption;
    return face;
}

}  // namespace

TEST(SkinMenuPaint, ClassicSeparatorIsAnEtchedLineSevenPixelsBelowTheTop)
{
    TPaintBuffer b(100, 15);
    TSkinItemPainter<TKsFamily>::ClassicDraw(&b.Bitmap, PopupFace("-"), RECT{0, 0, 100, 15});
    const TKColor menu = OpaqueRgb(clMenu), shadow = OpaqueRgb(clBtnShadow), light = OpaqueRgb(clBtnHighlight);
    EXPECT_EQ(menu, b.At(50, 6));
    EXPECT_EQ(shadow, b.At(50, 7));
    EXPECT_EQ(shadow, b.At(2, 7));
    EXPECT_EQ(light, b.At(50, 8));
    EXPECT_EQ(menu, b.At(50, 9));
    // 2 pixels in from either side.
    EXPECT_EQ(menu, b.At(1, 7));
    EXPECT_EQ(menu, b.At(98, 8));
    EXPECT_EQ(light, b.At(97, 8));
}

TEST(SkinMenuPaint, ClassicSeparatorIsFifteenPixelsHighAndOthersTheMenuButtonHeight)
{
    TKsBitmap bitmap;
    bitmap.SetSize(10, 10);
    int width = 0, height = 0;
    TSkinItemPainter<TKsFamily>::ClassicSize(&bitmap, nullptr, PopupFace("-"), width, height);
    EXPECT_EQ(15, height);
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    TSkinItemPainter<TKsFamily>::ClassicSize(&bitmap, nullptr, PopupFace("Item"), width, height);
    EXPECT_EQ(std::max(20, int(metrics.iMenuHeight)), height);
    // The shortcut's text widens the item.
    TItemFace withShortcut = PopupFace("Item");
    withShortcut.ShortCut = "Ctrl+C";
    int widthWithShortcut = 0;
    TSkinItemPainter<TKsFamily>::ClassicSize(&bitmap, nullptr, withShortcut, widthWithShortcut, height);
    EXPECT_EQ(width + bitmap.TextWidth("Ctrl+C"), widthWithShortcut);
    // Without a bitmap: the menu button size alone.
    TSkinItemPainter<TKsFamily>::ClassicSize(nullptr, nullptr, PopupFace("A long caption"), width, height);
    EXPECT_EQ(std::max(20, int(metrics.iMenuWidth)), width);
}

TEST(SkinMenuPaint, ClassicSelectedItemIsFilledWithTheHighlightAndOthersWithTheMenuColour)
{
    TPaintBuffer b(120, 20);
    TItemFace face = PopupFace("&Load");
    face.Selected = true;
    TSkinItemPainter<TKsFamily>::ClassicDraw(&b.Bitmap, face, RECT{0, 0, 120, 20});
    EXPECT_EQ(OpaqueRgb(clHighlight), b.At(0, 0));
    EXPECT_EQ(OpaqueRgb(clHighlight), b.At(119, 19));
    face.Selected = false;
    TSkinItemPainter<TKsFamily>::ClassicDraw(&b.Bitmap, face, RECT{0, 0, 120, 20});
    EXPECT_EQ(OpaqueRgb(clMenu), b.At(0, 0));
    EXPECT_EQ(OpaqueRgb(clMenu), b.At(119, 19));
}

TEST(SkinMenuPaint, ClassicCheckMarkIsTheTwelvePointsOnAHalftoneSquare)
{
    TPaintBuffer b(120, 20);
    TItemFace face = PopupFace("Com&2");
    face.Checked = true;
    TSkinItemPainter<TKsFamily>::ClassicDraw(&b.Bitmap, face, RECT{0, 0, 120, 20});
    // The square is 20 x 20 (the item's height); centre (10, 10), so the
    // points are offset by (8, 11).
    EXPECT_EQ(0x000000u, b.At(-2 + 8, -2 + 11));
    EXPECT_EQ(0x000000u, b.At(0 + 8, 0 + 11));
    EXPECT_EQ(0x000000u, b.At(2 + 8, -2 + 11));  // on the way to (4, -4)
    EXPECT_EQ(0xFFFFFFu, b.At(-3 + 8, -2 + 11));
    EXPECT_EQ(0xFFFFFFu, b.At(0 + 8, 2 + 11));
    // The halftone: white where x + y is even, button face elsewhere.
    EXPECT_EQ(0xFFFFFFu, b.At(16, 2));
    EXPECT_EQ(OpaqueRgb(clBtnFace), b.At(17, 2));
    // The sunken edge around the square.
    EXPECT_EQ(OpaqueRgb(clBtnShadow), b.At(5, 0));
    EXPECT_EQ(OpaqueRgb(clBtnHighlight), b.At(5, 19));
    EXPECT_EQ(OpaqueRgb(clBtnHighlight), b.At(19, 5));
    // The rest of the 22-pixel strip is button face, the item's menu colour.
    EXPECT_EQ(OpaqueRgb(clBtnFace), b.At(21, 10));
    EXPECT_EQ(OpaqueRgb(clMenu), b.At(23, 1));
}

TEST(SkinMenuPaint, ClassicCheckedSelectedItemHasNoHalftone)
{
    TPaintBuffer b(120, 20);
    TItemFace face = PopupFace("Com&2");
    face.Checked = true;
    face.Selected = true;
    TSkinItemPainter<TKsFamily>::ClassicDraw(&b.Bitmap, face, RECT{0, 0, 120, 20});
    EXPECT_EQ(OpaqueRgb(clBtnFace), b.At(16, 2));
    EXPECT_EQ(OpaqueRgb(clBtnFace), b.At(17, 2));
    EXPECT_EQ(OpaqueRgb(clHighlight), b.At(50, 1));
}

TEST(SkinMenuPaint, ClassicSubmenuArrowHasOnlyTheFillAndTheTextColour)
{
    TPaintBuffer b(120, 20);
    TItemFace face = PopupFace("&Port");
    face.HasChildren = true;
    TSkinItemPainter<TKsFamily>::ClassicDraw(&b.Bitmap, face, RECT{0, 0, 120, 20});
    const TKColor fill = OpaqueRgb(clMenu), text = OpaqueRgb(clMenuText);
    int arrow = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 102; x < 118; ++x) {
            const TKColor c = b.At(x, y);
            EXPECT_TRUE(c == fill || c == text) << x << "," << y;
            if (c == text) ++arrow;
        }
    EXPECT_GT(arrow, 3);
    // Every pixel opaque.
    GdiFlush();
    EXPECT_EQ(0xFFu, b.Bitmap.GetPixel(110, 10) >> 24);
}

TEST(SkinMenuPaint, StyledSeparatorIsOnePixelInTheFontColourSixBelowTheTop)
{
    TPaintBuffer b(100, 15);
    TFont font;
    font.SetColor(clRed);
    TEpBackground background;
    TEpBorder border;
    TStyledItemPainter::Draw(&b.Bitmap, &font, &background, &border, PopupFace("-"), RECT{0, 0, 100, 15});
    EXPECT_EQ(Marker & 0xFFFFFF, b.At(50, 5));
    EXPECT_EQ(0xFF0000u, b.At(50, 6));
    EXPECT_EQ(0xFF0000u, b.At(2, 6));
    EXPECT_EQ(0xFF0000u, b.At(97, 6));
    EXPECT_EQ(Marker & 0xFFFFFF, b.At(1, 6));
    EXPECT_EQ(Marker & 0xFFFFFF, b.At(98, 6));
    EXPECT_EQ(Marker & 0xFFFFFF, b.At(50, 7));
    // Without a font: black.
    TStyledItemPainter::Draw(&b.Bitmap, nullptr, &background, &border, PopupFace("-"), RECT{0, 0, 100, 15});
    EXPECT_EQ(0x000000u, b.At(50, 6));
}

TEST(SkinMenuPaint, StyledSelectedItemShowsItsBorderOverItsGradient)
{
    TPaintBuffer b(120, 22);
    TEpBackground background;
    background.SetStyle(ebsGradient);
    background.SetColor(clGray);
    background.SetGradientOrPlasmaColor(clWhite);
    background.SetGradientDirection(egdHorizontal);
    TEpBorder border;
    border.SetColor(clBlack);
    border.SetWidth(1);
    TItemFace face = PopupFace("&Load");
    face.Selected = true;
    TStyledItemPainter::Draw(&b.Bitmap, nullptr, &background, &border, face, RECT{0, 0, 120, 22});
    EXPECT_EQ(0x000000u, b.At(0, 11));
    EXPECT_EQ(0x000000u, b.At(119, 11));
    EXPECT_EQ(0x000000u, b.At(60, 0));
    // Grey at the left, white at the right, lighter on the way.
    const TKColor left = b.At(1, 11), right = b.At(118, 11);
    EXPECT_NEAR(0x80, int(left & 0xFF), 3);
    EXPECT_NEAR(0xFF, int(right & 0xFF), 3);
    // Unselected: the container's background shows (the buffer untouched
    // outside the caption).
    face.Selected = false;
    b.Bitmap.Clear(Marker);
    TStyledItemPainter::Draw(&b.Bitmap, nullptr, &background, &border, face, RECT{0, 0, 120, 22});
    EXPECT_EQ(Marker & 0xFFFFFF, b.At(0, 11));
    EXPECT_EQ(Marker & 0xFFFFFF, b.At(118, 11));
}

TEST(SkinMenuPaint, StyledSizeAddsTheBorderAndKeepsSeparatorsFifteenHigh)
{
    TKsBitmap bitmap;
    bitmap.SetSize(10, 10);
    TFont font;
    TEpBorder border;
    border.SetWidth(2);
    int width = 0, height = 0;
    TStyledItemPainter::Size(&bitmap, &font, &border, PopupFace("-"), width, height);
    EXPECT_EQ(15, height);
    TStyledItemPainter::Size(&bitmap, &font, nullptr, PopupFace("Item"), width, height);
    const int plainWidth = width, plainHeight = height;
    EXPECT_EQ(bitmap.TextWidth("Item") + 58, plainWidth);
    EXPECT_EQ(std::max(bitmap.TextHeight("Item") + 6, GetSystemMetrics(SM_CYMENU)), plainHeight);
    TStyledItemPainter::Size(&bitmap, &font, &border, PopupFace("Item"), width, height);
    EXPECT_EQ(plainWidth + 2, width);
    EXPECT_EQ(plainHeight + 2, height);
}

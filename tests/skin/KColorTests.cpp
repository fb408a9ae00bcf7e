// Colours and the blending rule, against the worked examples and an
// independent per-channel computation.
#include "KColor.h"

#include <gtest/gtest.h>

namespace {

// (c * k + 128) >> 8 per channel, the bottom weighed by 255 - a.
TKColor ReferenceBlend(TKColor top, TKColor bottom)
{
    uint32_t a = top >> 24, result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t t = (top >> shift) & 0xFF, b = (bottom >> shift) & 0xFF;
        result += ((t * a + 128) >> 8) << shift;
        result += ((b * (255 - a) + 128) >> 8) << shift;
    }
    return result;
}

}  // namespace

TEST(SkinKColor, BlendPixelFollowsTheWorkedExamples)
{
    EXPECT_EQ(BlendPixel(0x80FF0000u, 0xFF0000FFu), 0xBF80007Fu);
    EXPECT_EQ(BlendPixel(0x01FFFFFFu, 0xFFFFFFFFu), 0xFDFEFEFEu);
    EXPECT_EQ(BlendPixel(0x00123456u, 0x89ABCDEFu), 0x89ABCDEFu);
    EXPECT_EQ(BlendPixel(0xFF123456u, 0x89ABCDEFu), 0xFF123456u);
}

TEST(SkinKColor, BlendPixelMatchesThePerChannelRule)
{
    const TKColor samples[] = {0x00000000u, 0xFFFFFFFFu, 0x80FF8000u, 0x7F00FF7Fu, 0x12345678u, 0xFEDCBA98u};
    for (uint32_t alpha : {1u, 127u, 128u, 200u, 254u})
        for (TKColor colour : samples)
            for (TKColor bottom : samples) {
                TKColor top = (colour & 0x00FFFFFFu) | alpha << 24;
                EXPECT_EQ(BlendPixel(top, bottom), ReferenceBlend(top, bottom)) << std::hex << top << " " << bottom;
            }
}

TEST(SkinKColor, RaisedAndSunkenSaturateColoursAndWrapAlpha)
{
    EXPECT_EQ(RaisedColor(0xF0102030u, 0x20), 0xF0304050u);
    EXPECT_EQ(RaisedColor(0xF0102030u, 0, 0, 0, 0x20), 0x10102030u);
    EXPECT_EQ(RaisedColor(0xFFF0F0F0u, 0x20), 0xFFFFFFFFu);
    EXPECT_EQ(SunkenColor(0xFF102030u, 0x20), 0xFF000010u);
    EXPECT_EQ(SunkenColor(0x10000000u, 0, 0, 0, 0x20), 0xF0000000u);
}

TEST(SkinKColor, ConversionsClampAndDropAlpha)
{
    EXPECT_EQ(KColor(clRed, 0x80), 0x80FF0000u);
    EXPECT_EQ(KColor(int16_t(300), int16_t(-5), int16_t(128), 7), 0x07FF0080u);
    EXPECT_EQ(KColorToColor(0x80112233u), TColor(0x332211));
    EXPECT_EQ(KColor(TKColorRec{0x33, 0x22, 0x11, 0x80}), 0x80112233u);
}

TEST(SkinKColor, HueAndLightnessRoundTrip)
{
    double h, s, l;
    RGBtoHSL(0xFF00FF00u, h, s, l);
    EXPECT_DOUBLE_EQ(h, 1.0 / 3);
    EXPECT_DOUBLE_EQ(s, 1.0);
    EXPECT_DOUBLE_EQ(l, 0.5);
    EXPECT_EQ(HSLtoRGB(h, s, l), 0xFF00FF00u);
    // A half-transparent pixel comes back opaque; a shift of a whole turn
    // (255 steps) gives the same colour.
    EXPECT_EQ(ChangeHue(0x80FF0000u, 0), 0xFFFF0000u);
    EXPECT_EQ(ChangeHue(0xFF0000FFu, 255), 0xFF0000FFu);
    EXPECT_EQ(ChangeBrightness(0x10F00010u, 0x20), 0xFFFF2030u);
}

TEST(SkinKColor, FillsStayInsideTheirRanges)
{
    TKColor pixels[4 * 3] = {};
    FillLongwordRect(pixels, 4, 3, 1, 1, 2, 2, 0xAABBCCDDu);
    EXPECT_EQ(pixels[0], 0u);
    EXPECT_EQ(pixels[5], 0xAABBCCDDu);
    EXPECT_EQ(pixels[10], 0xAABBCCDDu);
    EXPECT_EQ(pixels[11], 0u);
    FillLongwordRect(pixels, 4, 3, 3, 0, 1, 2, 0x11111111u);  // empty across
    FillLongwordRect(pixels, 4, 3, 0, 2, 3, 0, 0x11111111u);  // empty down
    for (int i : {0, 1, 2, 3, 4, 8, 11}) EXPECT_EQ(pixels[i], 0u) << i;
    FillAlphaRect(pixels, 4, 3, 0, 0, 3, 0, 0x7F);
    EXPECT_EQ(pixels[3], 0x7F000000u);
    EXPECT_EQ(pixels[4], 0u);
    FillLongword(pixels, 0, 0xFFFFFFFFu);
    FillAlpha(pixels, -1, 0xFF);
    EXPECT_EQ(pixels[0], 0x7F000000u);
}

TEST(SkinKColor, EachFamilyKeepsItsOwnConstants)
{
    EXPECT_EQ(KsColors::ckBtnFace, KColor(clBtnFace, 255));
    EXPECT_EQ(MpColors::ckBtnFace, KColor(clBtnFace, 255));
    EXPECT_EQ(KsColors::ckWindow, 0xFFEBEBEEu);
    EXPECT_EQ(MpColors::ckWindow, KColor(clWindow, 255));
    EXPECT_EQ(MpColors::ckTransparent, 0x007F007Fu);
    TKColor saved = KsColors::ckRed;
    KsColors::ckRed = 0xFF010203u;
    EXPECT_EQ(MpColors::ckRed, 0xFFFF0000u);
    KsColors::ckRed = saved;
}

// TKColor: a 32-bit colour 0xAARRGGBB, in memory blue, green, red, alpha
// (a 32-bit DIB pixel), the colour constants of each family, the colour
// helpers and the low-level pixel routines every skinned surface paints
// with. BlendPixel is the one alpha-over rule of the library.
#pragma once

#include "Color.h"
#include "SkinFamily.h"

#include <cstdint>

struct TKColorRec {
    uint8_t B, G, R, A;
};
using PKColorRec = TKColorRec*;
using PKColorArray = TKColor*;
using PKColorRecArray = TKColorRec*;

inline uint8_t KAlpha(TKColor c) { return uint8_t(c >> 24); }
inline uint8_t KRed(TKColor c) { return uint8_t(c >> 16); }
inline uint8_t KGreen(TKColor c) { return uint8_t(c >> 8); }
inline uint8_t KBlue(TKColor c) { return uint8_t(c); }

// From a framework colour (system colours resolved) and an alpha.
TKColor KColor(TColor color, uint8_t alpha);
// Channels clamped to 0..255; alpha as is.
TKColor KColor(int16_t r, int16_t g, int16_t b, uint8_t a);
TKColor KColor(TKColorRec rec);
// Back to a framework colour; alpha dropped.
TColor KColorToColor(TKColor color);

// Colour channels saturate, alpha wraps.
TKColor RaisedColor(TKColor color, uint8_t dr, uint8_t dg, uint8_t db, uint8_t da);
TKColor RaisedColor(TKColor color, uint8_t d);
TKColor SunkenColor(TKColor color, uint8_t dr, uint8_t dg, uint8_t db, uint8_t da);
TKColor SunkenColor(TKColor color, uint8_t d);

void RGBtoHSL(TKColor color, double& h, double& s, double& l);
TKColor HSLtoRGB(double h, double s, double l);  // alpha 255
TKColor ChangeHue(TKColor color, int delta);    // alpha 255
TKColor ChangeBrightness(TKColor color, int delta);

// Top over Bottom by Top's alpha, every channel (alpha too) rounded as
// (c * k + 128) >> 8 with Bottom weighed by 255 - alpha.
inline TKColor BlendPixel(TKColor top, TKColor bottom)
{
    if (top >= 0xFF000000u) return top;
    uint32_t a = top >> 24;
    if (a == 0) return bottom;
    uint32_t b = 255 - a;
    auto part = [](uint32_t p, uint32_t k) {
        uint32_t lane1 = (((p & 0x00FF00FFu) * k + 0x00800080u) & 0xFF00FF00u) >> 8;
        uint32_t lane2 = (((p & 0xFF00FF00u) >> 8) * k + 0x00800080u) & 0xFF00FF00u;
        return lane1 | lane2;
    };
    return part(top, a) + part(bottom, b);
}

// Raw pixel memory. Rectangles here are inclusive; empty ranges write nothing.
void FillLongword(TKColor* dest, int count, TKColor value);
void FillLongwordRect(TKColor* dest, int width, int height, int x1, int y1, int x2, int y2, TKColor value);
void FillAlpha(TKColor* dest, int lastIndex, uint8_t alpha);
void FillAlphaRect(TKColor* dest, int width, int height, int x1, int y1, int x2, int y2, uint8_t alpha);

// The colour constants, one table per family. Start-up takes ckBtnFace (both
// families) and, in the media family, ckWindow and ckBtnShadow from the
// system's colours.
template <class F>
struct TSkinColors {
    static TKColor ckBlack, ckGray, ckWhite, ckMaroon, ckGreen, ckOlive, ckNavy, ckPurple, ckTeal, ckRed,
        ckLime, ckYellow, ckBlue, ckFuchsia, ckAqua, ckMenu, ckBorder, ckWindow, ckBtnFace, ckBtnShadow,
        ckHotHighlight, ckHighlight;
};

using KsColors = TSkinColors<TKsFamily>;

struct TMpColors : TSkinColors<TMpFamily> {
    static TKColor ckHintBack;
    // The media family's key colour: pixels of this red, green and blue are
    // left out of regions and show animations.
    static TKColor ckTransparent;
};
using MpColors = TMpColors;

extern template struct TSkinColors<TKsFamily>;
extern template struct TSkinColors<TMpFamily>;

#include "KColor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

TKColor KColor(TColor color, uint8_t alpha)
{
    COLORREF rgb = ColorToRGB(color);
    return TKColor(alpha) << 24 | TKColor(GetRValue(rgb)) << 16 | TKColor(GetGValue(rgb)) << 8 | GetBValue(rgb);
}

TKColor KColor(int16_t r, int16_t g, int16_t b, uint8_t a)
{
    auto clamp = [](int16_t v) { return TKColor(std::clamp<int>(v, 0, 255)); };
    return TKColor(a) << 24 | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

TKColor KColor(TKColorRec rec)
{
    TKColor c;
    std::memcpy(&c, &rec, sizeof c);
    return c;
}

TColor KColorToColor(TKColor color) { return TColor(KRed(color) | KGreen(color) << 8 | KBlue(color) << 16); }

TKColor RaisedColor(TKColor c, uint8_t dr, uint8_t dg, uint8_t db, uint8_t da)
{
    return KColor(int16_t(KRed(c) + dr), int16_t(KGreen(c) + dg), int16_t(KBlue(c) + db), uint8_t(KAlpha(c) + da));
}

TKColor RaisedColor(TKColor color, uint8_t d) { return RaisedColor(color, d, d, d, 0); }

TKColor SunkenColor(TKColor c, uint8_t dr, uint8_t dg, uint8_t db, uint8_t da)
{
    return KColor(int16_t(KRed(c) - dr), int16_t(KGreen(c) - dg), int16_t(KBlue(c) - db), uint8_t(KAlpha(c) - da));
}

TKColor SunkenColor(TKColor color, uint8_t d) { return SunkenColor(color, d, d, d, 0); }

void RGBtoHSL(TKColor color, double& h, double& s, double& l)
{
    double r = KRed(color) / 255.0, g = KGreen(color) / 255.0, b = KBlue(color) / 255.0;
    double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    l = (mx + mn) / 2;
    if (mx == mn) {
        h = s = 0;
        return;
    }
    double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (mx == r)
        h = (g - b) / d;
    else if (mx == g)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    h /= 6;
    if (h < 0) h += 1;
}

TKColor HSLtoRGB(double h, double s, double l)
{
    // Rounding halves to even, as everywhere in the library.
    auto round255 = [](double v) { return uint8_t(std::clamp(std::nearbyint(v * 255), 0.0, 255.0)); };
    if (s == 0) {
        uint8_t v = round255(l);
        return KColor(v, v, v, 255);
    }
    double p = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    double q = 2 * l - p;
    auto hue = [p, q](double x) {
        double t = x - std::floor(x);
        if (6 * t < 1) return q + (p - q) * 6 * t;
        if (2 * t < 1) return p;
        if (3 * t < 2) return q + (p - q) * (2.0 / 3 - t) * 6;
        return q;
    };
    return KColor(round255(hue(h + 1.0 / 3)), round255(hue(h)), round255(hue(h - 1.0 / 3)), 255);
}

TKColor ChangeHue(TKColor color, int delta)
{
    double h, s, l;
    RGBtoHSL(color, h, s, l);
    int hue = int(std::nearbyint(h * 255)) + delta;
    if (hue >= 256) hue -= 255;
    if (hue < 0) hue += 255;
    return HSLtoRGB(hue / 255.0, s, l);
}

TKColor ChangeBrightness(TKColor c, int delta)
{
    return KColor(int16_t(KRed(c) + delta), int16_t(KGreen(c) + delta), int16_t(KBlue(c) + delta), 255);
}

void FillLongword(TKColor* dest, int count, TKColor value)
{
    if (count > 0) std::fill_n(dest, count, value);
}

void FillLongwordRect(TKColor* dest, int width, int height, int x1, int y1, int x2, int y2, TKColor value)
{
    (void)height;
    if (x2 < x1 || y2 < y1) return;
    for (int y = y1; y <= y2; ++y) std::fill_n(dest + ptrdiff_t(y) * width + x1, x2 - x1 + 1, value);
}

void FillAlpha(TKColor* dest, int lastIndex, uint8_t alpha)
{
    TKColor a = TKColor(alpha) << 24;
    for (int i = 0; i <= lastIndex; ++i) dest[i] = (dest[i] & 0x00FFFFFFu) | a;
}

void FillAlphaRect(TKColor* dest, int width, int height, int x1, int y1, int x2, int y2, uint8_t alpha)
{
    (void)height;
    if (x2 < x1 || y2 < y1) return;
    for (int y = y1; y <= y2; ++y) FillAlpha(dest + ptrdiff_t(y) * width + x1, x2 - x1, alpha);
}

// Start-up overwrites some constants from the system colours; the table
// shows what they hold before.
#define GANTREL_SKIN_COLOR(name, value) \
    template <class F>                  \
    TKColor TSkinColors<F>::name = value;
GANTREL_SKIN_COLOR(ckBlack, 0xFF000000)
GANTREL_SKIN_COLOR(ckGray, 0xFF7F7F7F)
GANTREL_SKIN_COLOR(ckWhite, 0xFFFFFFFF)
GANTREL_SKIN_COLOR(ckMaroon, 0xFF7F0000)
GANTREL_SKIN_COLOR(ckGreen, 0xFF007F00)
GANTREL_SKIN_COLOR(ckOlive, 0xFF7F7F00)
GANTREL_SKIN_COLOR(ckNavy, 0xFF00007F)
GANTREL_SKIN_COLOR(ckPurple, 0xFF7F007F)
GANTREL_SKIN_COLOR(ckTeal, 0xFF007F7F)
GANTREL_SKIN_COLOR(ckRed, 0xFFFF0000)
GANTREL_SKIN_COLOR(ckLime, 0xFF00FF00)
GANTREL_SKIN_COLOR(ckYellow, 0xFFFFFF00)
GANTREL_SKIN_COLOR(ckBlue, 0xFF0000FF)
GANTREL_SKIN_COLOR(ckFuchsia, 0xFFFF00FF)
GANTREL_SKIN_COLOR(ckAqua, 0xFF00FFFF)
GANTREL_SKIN_COLOR(ckMenu, 0xFFEDEDEE)
GANTREL_SKIN_COLOR(ckBorder, 0xFF003399)
GANTREL_SKIN_COLOR(ckWindow, F::SystemWindowColor ? KColor(clWindow, 255) : 0xFFEBEBEE)
GANTREL_SKIN_COLOR(ckBtnFace, KColor(clBtnFace, 255))
GANTREL_SKIN_COLOR(ckBtnShadow, F::SystemBtnShadowColor ? KColor(clBtnShadow, 255) : 0xFFA8A8A8)
GANTREL_SKIN_COLOR(ckHotHighlight, 0xFFF8C751)
GANTREL_SKIN_COLOR(ckHighlight, 0xFF64A0FF)
#undef GANTREL_SKIN_COLOR

template struct TSkinColors<TKsFamily>;
template struct TSkinColors<TMpFamily>;

TKColor TMpColors::ckHintBack = 0xFFEBEBEE;
TKColor TMpColors::ckTransparent = 0x007F007F;

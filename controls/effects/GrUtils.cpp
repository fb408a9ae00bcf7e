#include "GrUtils.h"

#include "Graphic.h"

#include <algorithm>

void Frm3D(TCanvas* canvas, const RECT& rect, TColor topColor, TColor bottomColor, int width)
{
    canvas->Pen()->SetWidth(1);
    RECT r{rect.left, rect.top, rect.right - 1, rect.bottom - 1};
    for (int i = 0; i < width; ++i) {
        canvas->Pen()->SetColor(topColor);
        canvas->MoveTo(r.left, r.bottom);
        canvas->LineTo(r.left, r.top);
        canvas->LineTo(r.right, r.top);
        canvas->Pen()->SetColor(bottomColor);
        canvas->LineTo(r.right, r.bottom);
        canvas->LineTo(r.left - 1, r.bottom);
        InflateRect(&r, -1, -1);
    }
}

void RndFrm3D(TCanvas* canvas, TColor topColor, TColor bottomColor, int width, const RECT& rect)
{
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    // Split points a third of the way in from the ellipse's ends.
    POINT upperRight{rect.right - w / 3, rect.top};
    POINT lowerLeft{rect.left, rect.bottom - h / 3};
    canvas->Pen()->SetWidth(width);
    canvas->Pen()->SetColor(topColor);
    canvas->MoveTo(upperRight.x, upperRight.y);  // selects the pen
    Arc(canvas->Handle(), rect.left, rect.top, rect.right, rect.bottom, upperRight.x, upperRight.y, lowerLeft.x,
        lowerLeft.y);
    canvas->Pen()->SetColor(bottomColor);
    canvas->LineTo(upperRight.x, upperRight.y);
    Arc(canvas->Handle(), rect.left, rect.top, rect.right, rect.bottom, lowerLeft.x, lowerLeft.y, upperRight.x,
        upperRight.y);
    canvas->Pen()->SetWidth(1);
}

void RndRectFrm3D(TCanvas* canvas, const RECT& rect, TColor topColor, int width, int diameter, TColor bottomColor)
{
    int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    // The corners are the ellipses a rounded-rectangle region of the same
    // diameter has, so a frame follows the window shaped with one.
    const int d = std::max(0, diameter), radius = d / 2;
    canvas->Pen()->SetWidth(width);
    HDC dc = canvas->Handle();
    if (topColor != clNone) {
        canvas->Pen()->SetColor(topColor);
        canvas->MoveTo(l, b - radius);
        canvas->LineTo(l, t + radius);
        Arc(dc, l, t, l + d, t + d, l + radius, t, l, t + radius);
        canvas->MoveTo(l + radius, t);
        canvas->LineTo(r - radius, t);
        Arc(dc, r - d, t, r, t + d, r, t + radius, r - radius, t);
        Arc(dc, l, b - d, l + d, b, l, b - radius, l + radius / 2, b - radius / 2);
    }
    if (bottomColor != clNone) {
        canvas->Pen()->SetColor(bottomColor);
        canvas->MoveTo(r, t + radius);
        canvas->LineTo(r, b - radius);
        Arc(dc, r - d, b - d, r, b, r - radius, b, r, b - radius);
        canvas->MoveTo(r - radius, b);
        canvas->LineTo(l + radius, b);
        Arc(dc, l, b - d, l + d, b, l + radius / 2, b - radius / 2, l + radius, b);
    }
    canvas->Pen()->SetWidth(1);
}

TColor RGBChange(TColor color, int dR, int dG, int dB)
{
    auto channel = [&](int shift, int delta) {
        return unsigned(std::clamp(int((unsigned(color) >> shift) & 0xFF) + delta, 0, 255)) << shift;
    };
    return TColor((unsigned(color) & 0xFF000000u) | channel(0, dR) | channel(8, dG) | channel(16, dB));
}

TColor MiddleColor(TColor a, TColor b)
{
    COLORREF x = ColorToRGB(a), y = ColorToRGB(b);
    return TColor(RGB((GetRValue(x) + GetRValue(y)) / 2, (GetGValue(x) + GetGValue(y)) / 2,
                      (GetBValue(x) + GetBValue(y)) / 2));
}

void GetScreenImage(int x, int y, TBitmap* bitmap)
{
    if (!bitmap || bitmap->Empty()) return;
    HDC screen = GetDC(nullptr);
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, bitmap->Width(), bitmap->Height(), screen, x, y, SRCCOPY);
    ReleaseDC(nullptr, screen);
}

void MediaFrame(TCanvas* canvas, int w, int h, int width, TColor inner, TColor outer)
{
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    for (int i = 0; i < width; ++i) {
        canvas->Pen()->SetColor(inner);
        canvas->MoveTo(i, i);
        canvas->LineTo(w - i, i);
        canvas->MoveTo(i, i);
        canvas->LineTo(i, h - i);
        canvas->Pen()->SetColor(outer);
        canvas->MoveTo(i, h - i - 1);
        canvas->LineTo(w - i, h - i - 1);
        canvas->MoveTo(w - i - 1, i);
        canvas->LineTo(w - i - 1, h - i - 1);
    }
}

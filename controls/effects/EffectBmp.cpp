#include "EffectBmp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

uint8_t Clamp(double v)
{
    long r = std::lround(v);
    return uint8_t(std::clamp(r, 0L, 255L));
}

uint8_t ClampInt(int v) { return uint8_t(std::clamp(v, 0, 255)); }

// The colour's bytes in pixel order: blue, green, red.
void ColorBytes(TColor color, uint8_t bgr[3])
{
    COLORREF rgb = ColorToRGB(color);
    bgr[0] = GetBValue(rgb);
    bgr[1] = GetGValue(rgb);
    bgr[2] = GetRValue(rgb);
}

// Clips an inclusive rectangle to 0..width-1 x 0..height-1; false when nothing is left.
bool ClipInclusive(RECT& r, int width, int height)
{
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, width - 1);
    r.bottom = std::min<LONG>(r.bottom, height - 1);
    return r.left <= r.right && r.top <= r.bottom;
}

}  // namespace

void TEffectBmp::Create(int width, int height)
{
    Width = std::max(0, width);
    Height = std::max(0, height);
    Size = Stride() * Height;
    BmpHeader = {};
    BmpHeader.biSize = sizeof(BITMAPINFOHEADER);
    BmpHeader.biWidth = Width;
    BmpHeader.biHeight = -Height;
    BmpHeader.biPlanes = 1;
    BmpHeader.biBitCount = 24;
    BmpHeader.biCompression = BI_RGB;
    FInfo = {};
    FInfo.bmiHeader = BmpHeader;
    void* bits = nullptr;
    if (Width > 0 && Height > 0) Handle = CreateDIBSection(nullptr, &FInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<uint8_t*>(bits);
    if (!Handle) {
        // No pixels: an empty bitmap on which every effect does nothing.
        Width = Height = Size = 0;
        Bits = nullptr;
    }
}

TEffectBmp::TEffectBmp(int width, int height) { Create(width, height); }

TEffectBmp::TEffectBmp(HBITMAP bitmap)
{
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) {
        Create(0, 0);
        return;
    }
    Create(bm.bmWidth, std::abs(bm.bmHeight));
    if (!Bits) return;
    GdiFlush();
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    BITMAPINFO info = FInfo;
    GetDIBits(dc, bitmap, 0, UINT(Height), Bits, &info, DIB_RGB_COLORS);
    DeleteDC(dc);
}

TEffectBmp::TEffectBmp(const TEffectBmp* source)
{
    Create(source->Width, source->Height);
    if (Bits) std::memcpy(Bits, source->Bits, size_t(Size));
}

TEffectBmp::~TEffectBmp()
{
    if (Handle) DeleteObject(Handle);
}

void TEffectBmp::Draw(HDC dc, int x, int y)
{
    if (!Bits) return;
    SetDIBitsToDevice(dc, x, y, DWORD(Width), DWORD(Height), 0, 0, 0, UINT(Height), Bits, &FInfo, DIB_RGB_COLORS);
}

void TEffectBmp::Stretch(HDC dc, int x, int y, int w, int h)
{
    if (!Bits) return;
    StretchDIBits(dc, x, y, w, h, 0, 0, Width, Height, Bits, &FInfo, DIB_RGB_COLORS, SRCCOPY);
}

void TEffectBmp::DrawRect(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh)
{
    if (!Bits) return;
    // A top-down DIB counts source rows from the top in StretchDIBits.
    StretchDIBits(dc, x, y, w, h, sx, sy, sw, sh, Bits, &FInfo, DIB_RGB_COLORS, SRCCOPY);
}

void TEffectBmp::TileDraw(HDC dc, int x, int y, int w, int h)
{
    if (!Bits || w <= 0 || h <= 0) return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Draw(memory, 0, 0);
    // Double the filled band until it covers the height, then the width.
    int filled = Height;
    while (filled < h) {
        int n = std::min(filled, h - filled);
        BitBlt(memory, 0, filled, std::min(Width, w), n, memory, 0, 0, SRCCOPY);
        filled += n;
    }
    filled = Width;
    while (filled < w) {
        int n = std::min(filled, w - filled);
        BitBlt(memory, filled, 0, n, h, memory, 0, 0, SRCCOPY);
        filled += n;
    }
    BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void TEffectBmp::SetPixel(int x, int y, int color)
{
    uint8_t* p = GetLine(y) + 3 * x;
    p[0] = uint8_t(color);
    p[1] = uint8_t(color >> 8);
    p[2] = uint8_t(color >> 16);
}

int TEffectBmp::GetPixel(int x, int y) const
{
    const uint8_t* p = GetLine(y) + 3 * x;
    return p[0] | (p[1] << 8) | (p[2] << 16);
}

void TEffectBmp::SetLine(int y, const uint8_t* source) { std::memcpy(GetLine(y), source, size_t(3 * Width)); }

void TEffectBmp::GetScanLine(int y, uint8_t* dest) const { std::memcpy(dest, GetLine(y), size_t(3 * Width)); }

void TEffectBmp::AddMiddleColor(TColor color)
{
    AddMiddleColorInRect(color, RECT{0, 0, Width - 1, Height - 1});
}

void TEffectBmp::AddMiddleColorInRect(TColor color, RECT r)
{
    if (r.bottom < r.top || r.right < r.left) return;
    if (!ClipInclusive(r, Width, Height)) return;
    uint8_t c[3];
    ColorBytes(color, c);
    for (int y = r.top; y <= r.bottom; ++y) {
        uint8_t* p = GetLine(y) + 3 * r.left;
        for (int x = r.left; x <= r.right; ++x, p += 3)
            for (int k = 0; k < 3; ++k) p[k] = uint8_t((p[k] + c[k]) >> 1);
    }
}

void TEffectBmp::AddColorNoise(int amount)
{
    if (amount <= 0) return;  // Random(0) has no value to give
    for (int y = 0; y < Height; ++y) {
        uint8_t* p = GetLine(y);
        for (int i = 0; i < 3 * Width; ++i) p[i] = ClampInt(p[i] + std::rand() % amount - amount / 2);
    }
}

double TEffectBmp::GradWeight(int x, int y, TGradKind kind) const
{
    // Linear: 0 at the named edge, 1 at the opposite one. An image one pixel
    // across lies on its edge (weight 0).
    auto linear = [](int i, int size) { return size > 1 ? double(i) / (size - 1) : 0.0; };
    // Centred: 0 on the centre line, 1 (and beyond, clamped) at the edges.
    auto centred = [](int i, int size) {
        int half = (size - 1) / 2;
        if (half == 0) return size > 1 && i > 0 ? 1.0 : 0.0;
        return std::min(1.0, std::abs(i - half) / double(half));
    };
    switch (kind) {
    case gdRight: return linear(Width - 1 - x, Width);
    case gdLeft: return linear(x, Width);
    case gdTop: return linear(y, Height);
    case gdBottom: return linear(Height - 1 - y, Height);
    case gdVCenter: return centred(x, Width);
    case gdHCenter: return centred(y, Height);
    }
    return 0;
}

template <class Source>
void TEffectBmp::Gradient(TGradKind kind, Source source)
{
    for (int y = 0; y < Height; ++y) {
        uint8_t* p = GetLine(y);
        for (int x = 0; x < Width; ++x, p += 3) {
            double t = GradWeight(x, y, kind);
            const uint8_t* c = source(x, y);
            for (int k = 0; k < 3; ++k) p[k] = Clamp(p[k] * t + c[k] * (1 - t));
        }
    }
}

void TEffectBmp::AddGradColor(TColor color, TGradKind kind)
{
    uint8_t c[3];
    ColorBytes(color, c);
    Gradient(kind, [&](int, int) { return c; });
}

void TEffectBmp::AddGradBMP(const TEffectBmp* bmp, TGradKind kind)
{
    if (!bmp || bmp->Width != Width || bmp->Height != Height) return;
    Gradient(kind, [&](int x, int y) { return bmp->GetLine(y) + 3 * x; });
}

void TEffectBmp::MiddleBMP(const TEffectBmp* bmp)
{
    if (!bmp || bmp->Width != Width || bmp->Height != Height) return;
    for (int y = 0; y < Height; ++y) {
        uint8_t* p = GetLine(y);
        const uint8_t* q = bmp->GetLine(y);
        for (int i = 0; i < 3 * Width; ++i) p[i] = uint8_t((p[i] + q[i]) >> 1);
    }
}

void TEffectBmp::Morph(const TEffectBmp* bmp, double amount)
{
    if (!bmp || bmp->Width != Width || bmp->Height != Height) return;
    MorphRect(bmp, amount, RECT{0, 0, Width - 1, Height - 1}, 0, 0);
}

void TEffectBmp::MorphRect(const TEffectBmp* bmp, double amount, RECT r, int sourceY, int sourceX)
{
    if (!bmp) return;
    amount = std::clamp(amount, 0.0, 1.0);
    // Clip the target to this bitmap and the source to the other, keeping
    // them paired pixel for pixel.
    int dx = sourceX - r.left, dy = sourceY - r.top;
    if (!ClipInclusive(r, Width, Height)) return;
    RECT s{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    if (!ClipInclusive(s, bmp->Width, bmp->Height)) return;
    r = RECT{s.left - dx, s.top - dy, s.right - dx, s.bottom - dy};
    for (int y = r.top; y <= r.bottom; ++y) {
        uint8_t* p = GetLine(y) + 3 * r.left;
        const uint8_t* q = bmp->GetLine(y + dy) + 3 * (r.left + dx);
        for (int i = 0; i < 3 * (r.right - r.left + 1); ++i) p[i] = Clamp((1 - amount) * p[i] + amount * q[i]);
    }
}

void TEffectBmp::CopyRect(const TEffectBmp* bmp, RECT r, int sourceY, int sourceX)
{
    if (!bmp) return;
    int dx = sourceX - r.left, dy = sourceY - r.top;
    if (!ClipInclusive(r, Width, Height)) return;
    RECT s{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    if (!ClipInclusive(s, bmp->Width, bmp->Height)) return;
    r = RECT{s.left - dx, s.top - dy, s.right - dx, s.bottom - dy};
    for (int y = r.top; y <= r.bottom; ++y)
        std::memmove(GetLine(y) + 3 * r.left, bmp->GetLine(y + dy) + 3 * (r.left + dx),
                     size_t(3 * (r.right - r.left + 1)));
}

void TEffectBmp::SplitBlurIn(int radius, const TEffectBmp* mask)
{
    radius = std::abs(radius);
    for (int y = 0; y < Height; ++y) {
        // Samples that would leave the image take the pixel's own row or column.
        int y0 = y - radius < 0 ? y : y - radius;
        int y1 = y + radius >= Height ? y : y + radius;
        for (int x = 0; x < Width; ++x) {
            if (mask && (mask->GetPixel(x, y) & 0xFFFFFF) != 0) continue;
            int x0 = x - radius < 0 ? x : x - radius;
            int x1 = x + radius >= Width ? x : x + radius;
            const uint8_t* a = GetLine(y0) + 3 * x0;
            const uint8_t* b = GetLine(y0) + 3 * x1;
            const uint8_t* c = GetLine(y1) + 3 * x0;
            const uint8_t* d = GetLine(y1) + 3 * x1;
            uint8_t* p = GetLine(y) + 3 * x;
            uint8_t v[3];
            for (int k = 0; k < 3; ++k) v[k] = uint8_t((a[k] + b[k] + c[k] + d[k]) >> 2);
            std::memcpy(p, v, 3);
        }
    }
}

void TEffectBmp::SplitBlur(int radius)
{
    if (radius == 0) return;
    SplitBlurIn(radius, nullptr);
}

void TEffectBmp::MaskSplitBlur(const TEffectBmp* mask, int radius)
{
    if (radius == 0 || !mask || mask->Width != Width || mask->Height < Height) return;
    SplitBlurIn(radius, mask);
}

void TEffectBmp::Blur(int radius)
{
    radius = std::abs(radius);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            uint8_t* p = GetLine(y) + 3 * x;
            uint8_t v[3] = {p[0], p[1], p[2]};
            for (int j = std::max(0, y - radius); j <= std::min(Height - 1, y + radius); ++j)
                for (int i = std::max(0, x - radius); i <= std::min(Width - 1, x + radius); ++i) {
                    const uint8_t* q = GetLine(j) + 3 * i;
                    for (int k = 0; k < 3; ++k) v[k] = uint8_t((v[k] + q[k]) >> 1);
                }
            std::memcpy(p, v, 3);
        }
}

void TEffectBmp::Wave(int xDiv, int yDiv, double ratio)
{
    if (xDiv == 0 || yDiv == 0 || !Bits) return;
    TEffectBmp copy(this);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            long sx = std::lround(x + ratio * std::sin(double(y) / yDiv));
            long sy = std::lround(y + ratio * std::sin(double(x) / xDiv));
            sx = std::clamp(sx, 0L, long(Width - 1));
            sy = std::clamp(sy, 0L, long(Height - 1));
            std::memcpy(GetLine(y) + 3 * x, copy.GetLine(int(sy)) + 3 * sx, 3);
        }
}

void TEffectBmp::Flip()
{
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = GetLine(y);
        for (int a = 0, b = Width - 1; a < b; ++a, --b)
            for (int k = 0; k < 3; ++k) std::swap(row[3 * a + k], row[3 * b + k]);
    }
}

void TEffectBmp::Flop()
{
    std::vector<uint8_t> row(static_cast<size_t>(Stride()));
    for (int a = 0, b = Height - 1; a < b; ++a, --b) {
        std::memcpy(row.data(), GetLine(a), row.size());
        std::memcpy(GetLine(a), GetLine(b), row.size());
        std::memcpy(GetLine(b), row.data(), row.size());
    }
}

void TEffectBmp::Tile(TEffectBmp* dest) const
{
    if (!dest || Width <= 0 || Height <= 0) return;
    for (int y = 0; y < dest->Height; ++y) {
        const uint8_t* src = GetLine(y % Height);
        uint8_t* p = dest->GetLine(y);
        for (int x = 0; x < dest->Width; ++x) std::memcpy(p + 3 * x, src + 3 * (x % Width), 3);
    }
}

void TEffectBmp::Resize(TEffectBmp* dest) const
{
    if (!dest || Width <= 0 || Height <= 0 || dest->Width <= 0 || dest->Height <= 0) return;
    int blockH = (dest->Height - 1) / Height + 1;
    int blockW = (dest->Width - 1) / Width + 1;
    for (int y = 0; y < Height; ++y) {
        int ty = int(double(y) * (dest->Height - 1) / Height);
        for (int x = 0; x < Width; ++x) {
            int tx = int(double(x) * (dest->Width - 1) / Width);
            const uint8_t* s = GetLine(y) + 3 * x;
            for (int j = ty; j < std::min(dest->Height, ty + blockH); ++j)
                for (int i = tx; i < std::min(dest->Width, tx + blockW); ++i) std::memcpy(dest->GetLine(j) + 3 * i, s, 3);
        }
    }
}

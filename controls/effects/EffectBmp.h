// TEffectBmp: a 24-bit top-down device-independent bitmap whose pixels are
// addressed directly, with whole-image pixel effects. The effect controls
// wrap their off-screen bitmap in one for a paint; the shadow panel darkens
// its shadow strips with it.
//
// Pixels are three bytes (blue, green, red); rows are padded to four bytes.
// Single-pixel access (SetPixel, GetPixel, GetLine...) checks no bounds:
// callers keep inside the bitmap. Every effect that takes a rectangle or a
// second bitmap clips itself to both.
#pragma once

#include "Color.h"

#include <windows.h>

#include <cstdint>

enum TGradKind { gdRight, gdLeft, gdTop, gdBottom, gdVCenter, gdHCenter };

class TEffectBmp {
public:
    TEffectBmp(int width, int height);
    // A copy of a device bitmap's pixels (what the controls use).
    explicit TEffectBmp(HBITMAP bitmap);
    explicit TEffectBmp(const TEffectBmp* source);
    ~TEffectBmp();
    TEffectBmp(const TEffectBmp&) = delete;
    TEffectBmp& operator=(const TEffectBmp&) = delete;

    HBITMAP Handle = nullptr;
    uint8_t* Bits = nullptr;
    int Width = 0, Height = 0;
    int Size = 0;  // bytes of pixel memory: stride x Height
    BITMAPINFOHEADER BmpHeader = {};

    // 3 x Width rounded up to a multiple of 4.
    static int StrideOf(int width) { return 3 * width + width % 4; }
    int Stride() const { return StrideOf(Width); }

    void Draw(HDC dc, int x, int y);
    void Stretch(HDC dc, int x, int y, int w, int h);
    // Part (sx, sy, sw, sh) of the bitmap into (x, y, w, h) of dc.
    void DrawRect(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh);
    void TileDraw(HDC dc, int x, int y, int w, int h);

    // Pixel values: blue in the low byte, then green, then red.
    void SetPixel(int x, int y, int color);
    int GetPixel(int x, int y) const;
    void SetLine(int y, const uint8_t* source);
    void GetScanLine(int y, uint8_t* dest) const;
    uint8_t* GetLine(int y) const { return Bits + size_t(y) * size_t(Stride()); }

    void AddMiddleColor(TColor color);
    // Inclusive bounds, clipped to the bitmap.
    void AddMiddleColorInRect(TColor color, RECT rect);
    void AddColorNoise(int amount);
    void AddGradColor(TColor color, TGradKind kind);
    void AddGradBMP(const TEffectBmp* bmp, TGradKind kind);
    void MiddleBMP(const TEffectBmp* bmp);
    void Morph(const TEffectBmp* bmp, double amount);
    void MorphRect(const TEffectBmp* bmp, double amount, RECT rect, int sourceY, int sourceX);
    void CopyRect(const TEffectBmp* bmp, RECT rect, int sourceY, int sourceX);
    void SplitBlur(int radius);
    void MaskSplitBlur(const TEffectBmp* mask, int radius);
    void Blur(int radius);
    void Wave(int xDiv, int yDiv, double ratio);
    void Flip();
    void Flop();
    void Tile(TEffectBmp* dest) const;
    void Resize(TEffectBmp* dest) const;

private:
    BITMAPINFO FInfo = {};
    void Create(int width, int height);
    // Weight of the own pixel at (x, y) in a gradient (0 = all colour).
    double GradWeight(int x, int y, TGradKind kind) const;
    template <class Source>
    void Gradient(TGradKind kind, Source source);
    void SplitBlurIn(int radius, const TEffectBmp* mask);
};

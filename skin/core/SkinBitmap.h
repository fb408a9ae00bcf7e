// The skin library's off-screen bitmap: a 32-bit top-down DIB section with
// a per-pixel alpha channel and its own memory device context. Every skinned
// window and control paints into one and copies it to the screen.
//
// Pixels are TKColor (0xAARRGGBB), Width x Height of them from Bits(), top
// row first, rows of exactly Width pixels. Rectangles have Right and Bottom
// exclusive; every pixel loop is clipped to the bitmaps involved and an
// empty rectangle draws nothing.
//
// Alpha: the library's own loops (fills, edges, copies, blends) set alpha as
// documented on each operation. What is drawn through DC() by the platform
// (text, lines, ellipses, polygons, focus rectangles, and anything a caller
// draws on DC() itself) writes alpha 0 on the pixels it touches; callers that
// need a defined alpha there set it afterwards with SetAlpha. Callers that
// draw on DC() themselves call GdiFlush before reading Bits().
#pragma once

#include "Font.h"
#include "KColor.h"
#include "Object.h"

#include <string>

class TCanvas;
class TStream;

template <class F>
class TSkinBitmap : public TPersistent {
    GANTREL_CLASS(TSkinBitmap)

    TSkinBitmap();
    ~TSkinBitmap() override;

    // --- The picture ---------------------------------------------------

    HBITMAP Handle() const { return FHandle; }
    HDC DC() const { return FDC; }
    TKColor* Bits() const { return FBits; }
    // Row y of Bits (no bounds check).
    TKColor* ScanLine(int y) const { return FBits + ptrdiff_t(y) * FWidth; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FHandle == nullptr; }

    // Negative sides count by their size; a zero side, or the current size,
    // changes nothing. Otherwise a fresh DIB section (old pixels are not
    // kept) and OnChange, also when it raises Exception ("Can't allocate the
    // DIB handle", "Can't create compatible DC", "Can't select an object into
    // DC"), after which the bitmap is empty.
    void SetSize(int width, int height);
    // On an empty bitmap the missing side is taken as 1, so that
    // SetWidth(w) then SetHeight(h) (either order) gives w x h.
    void SetWidth(int width);
    void SetHeight(int height);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    // Copies onto other bitmaps, FillRect and stretched copies honour the
    // pixels' alpha when set (form frames set it from their Blend).
    bool UseAlpha() const { return FUseAlpha; }
    void SetUseAlpha(bool value) { FUseAlpha = value; }
    TFont* Font() const { return FFont; }
    // The bitmap's own font takes over font's settings.
    void SetFont(TFont* font);
    POINT PenPos() const { return FPenPos; }

    TNotifyEvent OnChange;
    void Changed();

    // --- Pixels ----------------------------------------------------------

    // Every pixel := color, alpha included.
    void Clear(TKColor color);
    void SetAlpha(uint8_t alpha);
    void SetAlpha(uint8_t alpha, const RECT& rect);
    // Pixels of color's red, green and blue get alpha 0 (colours kept).
    void PerformTransparent(TKColor color);
    // Every pixel with alpha other than 0 is turned (and becomes opaque).
    void ChangeHue(int delta);
    // ckBlack outside the bitmap; SetPixel outside does nothing.
    TKColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TKColor color);

    // --- Assignment and streams --------------------------------------------

    // From a bitmap of this family (size and pixels; Name and UseAlpha stay),
    // a framework TBitmap, any other TGraphic or a TPicture (made opaque);
    // anything else raises EConvertError.
    void Assign(TPersistent* source) override;

    // Name length, Name, Width, Height (32-bit little-endian) and the pixels,
    // blue, green, red, alpha, top row first; the same in both families.
    void SaveToStream(TStream* stream);
    // Reads what SaveToStream writes. The bitmap takes the stored size only
    // when the stream still holds a whole pixel block of that size (so no
    // size makes a picture the stream could not fill); a negative side then
    // gives the positive size with the pixels not read. Fields the stream
    // does not hold count as 0; nothing is read past its end.
    void LoadFromStream(TStream* stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    // A Windows bitmap file, made opaque.
    void LoadFromBmpStream(TStream* stream);
    void LoadFromBmpFile(const std::string& fileName);

    // --- Copies ------------------------------------------------------------

    void Draw(HDC dc, int x, int y);
    void Draw(HDC dc, int x, int y, const RECT& srcRect);
    void Draw(HDC dc, const RECT& destRect, const RECT& srcRect);
    void Draw(TCanvas* canvas, int x, int y);
    void Draw(TCanvas* canvas, int x, int y, const RECT& srcRect);
    void Draw(TCanvas* canvas, const RECT& destRect, const RECT& srcRect);
    // Onto another bitmap of the family. UseAlpha false: a plain copy, alpha
    // included. UseAlpha true: source alpha 0 is skipped, 255 copied, the
    // rest blended (BlendPixel) over the destination.
    void Draw(TSkinBitmap* dest, int x, int y);
    void Draw(TSkinBitmap* dest, int x, int y, const RECT& srcRect);
    // Stretched (nearest pixel); UseAlpha as above.
    void Draw(TSkinBitmap* dest, const RECT& destRect, const RECT& srcRect);
    // srcRect repeated over destRect from its top-left corner; the last
    // column and row take the top-left part of srcRect.
    void DrawTile(TSkinBitmap* dest, const RECT& destRect, const RECT& srcRect);
    void DrawStretch(TSkinBitmap* dest, const RECT& destRect, const RECT& srcRect);
    // This bitmap as the upper layer over other's rect (other's
    // coordinates), laid at (x, y) of this bitmap; the result stays here.
    void MergeDraw(TSkinBitmap* other, int x, int y, const RECT& rect);

    // --- Fills and edges (the library's own loops) -------------------------

    // UseAlpha false: every pixel := color, alpha included; true: color is
    // blended over each pixel.
    void FillRect(const RECT& rect, TKColor color);
    // FillRect with color1, then color2 on every pixel whose x + y is even.
    void FillHalftoneRect(const RECT& rect, TKColor color1, TKColor color2);
    // Up to 255 bands; vertical: colours change from top to bottom.
    void FillGradientRect(const RECT& rect, TKColor beginColor, TKColor endColor, bool vertical);
    // 51 circles drawn through DC() (alpha left to the platform); center in
    // percent of the rectangle.
    void FillRadialGradientRect(const RECT& rect, TKColor beginColor, TKColor endColor, POINT center);
    // Top row and left column in topLeft, bottom row and right column in
    // bottomRight, each pixel blended once.
    void DrawEdge(const RECT& rect, TKColor topLeft, TKColor bottomRight);
    void DrawRect(const RECT& rect, TKColor color);
    void DrawBevel(const RECT& rect, TKColor color, int width, bool sunken);
    // FillPolygon with color1, then color2 on the polygon's pixels whose
    // x + y is even.
    void FillHalftonePolygon(const POINT* points, int count, TKColor color1, TKColor color2);

    // --- Shapes through DC() (red, green and blue of the colour; the
    // platform writes alpha 0 on what it touches) ---------------------------

    void MoveTo(int x, int y);
    void LineTo(int x, int y, TKColor color);
    void DrawLine(const RECT& rect, TKColor color);
    void DrawRoundRect(const RECT& rect, int radius, TKColor color);
    void FillRoundRect(const RECT& rect, int radius, TKColor color);
    void DrawEllipse(const RECT& rect, TKColor color);
    void FillEllipse(const RECT& rect, TKColor color);
    void DrawPolygon(const POINT* points, int count, TKColor color);
    void FillPolygon(const POINT* points, int count, TKColor color);
    void DrawFocusRect(const RECT& rect, TKColor color);

    // --- Text with Font (drawn by the platform: alpha 0 on the glyphs) -----

    // 0 for an empty bitmap.
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    // Transparent background, Font's colour.
    void DrawText(const std::string& text, const RECT& rect, UINT format);
    // Turned a quarter, inside rect, opaque in Font's colour.
    void DrawVerticalText(const std::string& text, const RECT& rect, UINT format, bool clockwise);

protected:
    // A bitmap, a picture or the clipboard; anything else raises
    // EConvertError. Alpha is lost.
    void AssignTo(TPersistent* dest) override;
    // DrawTextA with Font selected; rect is updated as DrawTextA updates it.
    int DrawTextIn(const std::string& text, RECT& rect, UINT format);
    int CalcText(const std::string& text, UINT format, bool height);
    // Every pixel with alpha other than 0 := fn(pixel, delta).
    void MapVisiblePixels(TKColor (*fn)(TKColor, int), int delta);

private:
    struct {
        BITMAPINFOHEADER bmiHeader;
        RGBQUAD bmiColors[1];
    } FBitmapInfo{};
    HBITMAP FHandle = nullptr;
    HDC FDC = nullptr;
    HGDIOBJ FOldBitmap = nullptr;
    TKColor* FBits = nullptr;
    int FHeight = 0;
    int FWidth = 0;
    std::string FName;
    bool FUseAlpha = false;
    TFont* FFont;
    POINT FPenPos{0, 0};

    void Release();
    bool ClipCopy(TSkinBitmap* dest, int& x, int& y, RECT& src) const;
    void AlphaDraw(TSkinBitmap* dest, int x, int y, const RECT& srcRect);
    void CopyDraw(TSkinBitmap* dest, int x, int y, const RECT& srcRect);
    void ScaledAlphaDraw(TSkinBitmap* dest, const RECT& destRect, const RECT& srcRect);
    template <class Op>
    void WithPenAndBrush(TKColor color, bool fill, Op op);
};

extern template class TSkinBitmap<TKsFamily>;
extern template class TSkinBitmap<TMpFamily>;

class TKsBitmap : public TSkinBitmap<TKsFamily> {
    GANTREL_CLASS(TKsBitmap)
};

class TKsMediaBitmap : public TSkinBitmap<TMpFamily> {
    GANTREL_CLASS(TKsMediaBitmap)

    // The platform's alpha-blend and transparent-blit entries. Nothing sets
    // them; with AlphaBlend set, the alpha copies onto other bitmaps go
    // through it. TransparentBlt is never called.
    using TAlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    using TTransparentBltProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
    static TAlphaBlendProc AlphaBlend;
    static TTransparentBltProc TransparentBlt;

    // Every pixel with alpha other than 0 gets delta on each colour
    // (clamped) and becomes opaque.
    void ChangeBrightness(int delta);
    // A 24-bit Windows bitmap file (alpha is lost).
    void SaveToBmpFile(const std::string& fileName);

    // Nothing when srcRect has no area; else DrawStretch or DrawTile.
    void DrawMarginRect(TKsMediaBitmap* dest, const RECT& srcRect, const RECT& destRect, bool stretch);
    // 9-slice: corners copied, edges and centre stretched or tiled.
    void DrawMargin(TKsMediaBitmap* dest, const RECT& destRect, const RECT& srcRect, int marginLeft, int marginTop,
                    int marginRight, int marginBottom, bool stretch);

    using TSkinBitmap::TextWidth;
    // DrawTextA's DT_CALCRECT with format added.
    int TextWidth(const std::string& text, UINT format);
    // The height of the text drawn; the first form updates rect as
    // DrawTextA does (DT_CALCRECT).
    int DrawText(const std::string& text, RECT& rect, UINT format);
    int DrawText(const std::string& text, const RECT& rect, UINT format);
    // At (x, y) in a rectangle of the text's size.
    int DrawText(const std::string& text, int x, int y);
};

#include "SkinBitmap.h"

#include "Canvas.h"
#include "Clipboard.h"
#include "Graphic.h"
#include "SkinGeometry.h"
#include "Streams.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

namespace {

// The platform's MulDiv (rounding halves away from zero) without its 32-bit
// overflow.
int64_t MulDiv64(int64_t a, int64_t b, int64_t c)
{
    if (c == 0) return -1;
    int64_t p = a * b;
    bool negative = (p < 0) != (c < 0);
    int64_t ap = std::llabs(p), ac = std::llabs(c);
    int64_t q = (ap + ac / 2) / ac;
    return negative ? -q : q;
}

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }

// r narrowed to (0, 0, width, height); false when nothing is left.
bool ClipTo(RECT& r, int width, int height)
{
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, width);
    r.bottom = std::min<LONG>(r.bottom, height);
    return r.left < r.right && r.top < r.bottom;
}

bool Intersects(const RECT& a, const RECT& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

RECT Intersection(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) r = RECT{0, 0, 0, 0};
    return r;
}

// Channel by channel (alpha too) k / n of the way from begin to end,
// rounded halves to even.
TKColor GradientColor(TKColor begin, TKColor end, int k, int n)
{
    TKColor result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        double b = (begin >> shift) & 0xFF, e = (end >> shift) & 0xFF;
        double v = ((k * (e * 255 - b * 255)) / n + b * 255) / 255;
        result |= TKColor(std::clamp(std::nearbyint(v), 0.0, 255.0)) << shift;
    }
    return result;
}

inline void BlendRow(TKColor* dest, const TKColor* src, int count)
{
    for (int i = 0; i < count; ++i) {
        TKColor c = src[i];
        uint32_t a = c >> 24;
        if (a == 255)
            dest[i] = c;
        else if (a != 0)
            dest[i] = BlendPixel(c, dest[i]);
    }
}

const BLENDFUNCTION SourceAlphaOver{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

// Only the media family has the platform's alpha-blend entry.
template <class F>
TKsMediaBitmap::TAlphaBlendProc AlphaBlendEntry()
{
    if constexpr (std::is_same_v<F, TMpFamily>)
        return TKsMediaBitmap::AlphaBlend;
    else
        return nullptr;
}

int32_t ReadInt32(TStream* stream)
{
    int32_t value = 0;
    if (stream->Read(&value, 4) != 4) return 0;
    return value;
}

int64_t Remaining(TStream* stream)
{
    int64_t left = stream->Size() - stream->Position();
    return left > 0 ? left : 0;
}

}  // namespace

// --- The picture -------------------------------------------------------------

template <class F>
TSkinBitmap<F>::TSkinBitmap() : FFont(new TFont)
{
    FBitmapInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    FBitmapInfo.bmiHeader.biPlanes = 1;
    FBitmapInfo.bmiHeader.biBitCount = 32;
    FBitmapInfo.bmiHeader.biCompression = BI_RGB;
}

template <class F>
TSkinBitmap<F>::~TSkinBitmap()
{
    Release();
    delete FFont;
}

template <class F>
void TSkinBitmap<F>::Release()
{
    if (FDC) {
        if (FOldBitmap) SelectObject(FDC, FOldBitmap);
        DeleteDC(FDC);
    }
    if (FHandle) DeleteObject(FHandle);
    FDC = nullptr;
    FOldBitmap = nullptr;
    FHandle = nullptr;
    FBits = nullptr;
    FWidth = FHeight = 0;
}

template <class F>
void TSkinBitmap<F>::SetSize(int width, int height)
{
    int64_t w = std::llabs(int64_t(width)), h = std::llabs(int64_t(height));
    if (w == 0 || h == 0) return;
    if (w == FWidth && h == FHeight) return;
    try {
        Release();
        if (w > INT_MAX || h > INT_MAX) throw Exception("Can't allocate the DIB handle");
        FBitmapInfo.bmiHeader.biWidth = LONG(w);
        FBitmapInfo.bmiHeader.biHeight = -LONG(h);
        void* bits = nullptr;
        FHandle = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&FBitmapInfo), DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
        if (!FHandle || !bits) {
            if (FHandle) DeleteObject(FHandle);
            FHandle = nullptr;
            throw Exception("Can't allocate the DIB handle");
        }
        FDC = CreateCompatibleDC(nullptr);
        if (!FDC) {
            Release();
            throw Exception("Can't create compatible DC");
        }
        FOldBitmap = SelectObject(FDC, FHandle);
        if (!FOldBitmap) {
            Release();
            throw Exception("Can't select an object into DC");
        }
        // Nearest pixel when the platform stretches, as the alpha path does.
        SetStretchBltMode(FDC, COLORONCOLOR);
        FBits = static_cast<TKColor*>(bits);
        FWidth = int(w);
        FHeight = int(h);
    } catch (...) {
        Changed();
        throw;
    }
    Changed();
}

template <class F>
void TSkinBitmap<F>::SetWidth(int width)
{
    SetSize(width, Empty() ? 1 : FHeight);
}

template <class F>
void TSkinBitmap<F>::SetHeight(int height)
{
    SetSize(Empty() ? 1 : FWidth, height);
}

template <class F>
void TSkinBitmap<F>::SetFont(TFont* font)
{
    FFont->Assign(font);
}

template <class F>
void TSkinBitmap<F>::Changed()
{
    if (OnChange) OnChange(this);
}

// --- Pixels --------------------------------------------------------------------

template <class F>
void TSkinBitmap<F>::Clear(TKColor color)
{
    if (FBits) FillLongword(FBits, FWidth * FHeight, color);
}

template <class F>
void TSkinBitmap<F>::SetAlpha(uint8_t alpha)
{
    if (FBits) FillAlpha(FBits, FWidth * FHeight - 1, alpha);
}

template <class F>
void TSkinBitmap<F>::SetAlpha(uint8_t alpha, const RECT& rect)
{
    RECT r = rect;
    if (!FBits || !ClipTo(r, FWidth, FHeight)) return;
    FillAlphaRect(FBits, FWidth, FHeight, r.left, r.top, r.right - 1, r.bottom - 1, alpha);
}

template <class F>
void TSkinBitmap<F>::PerformTransparent(TKColor color)
{
    if (!FBits) return;
    for (TKColor *p = FBits, *end = FBits + ptrdiff_t(FWidth) * FHeight; p != end; ++p)
        if (((*p ^ color) & 0x00FFFFFFu) == 0) *p &= 0x00FFFFFFu;
}

template <class F>
void TSkinBitmap<F>::MapVisiblePixels(TKColor (*fn)(TKColor, int), int delta)
{
    if (!FBits) return;
    // Skins are mostly runs of one colour: keep the last answer.
    TKColor lastIn = 0, lastOut = fn(0, delta);
    for (TKColor *p = FBits, *end = FBits + ptrdiff_t(FWidth) * FHeight; p != end; ++p) {
        if ((*p >> 24) == 0) continue;
        if (*p != lastIn) {
            lastIn = *p;
            lastOut = fn(lastIn, delta);
        }
        *p = lastOut;
    }
}

template <class F>
void TSkinBitmap<F>::ChangeHue(int delta)
{
    MapVisiblePixels(&::ChangeHue, delta);
}

template <class F>
TKColor TSkinBitmap<F>::GetPixel(int x, int y) const
{
    if (!FBits || x < 0 || y < 0 || x >= FWidth || y >= FHeight) return F::Colors::ckBlack;
    return FBits[ptrdiff_t(y) * FWidth + x];
}

template <class F>
void TSkinBitmap<F>::SetPixel(int x, int y, TKColor color)
{
    if (!FBits || x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
    FBits[ptrdiff_t(y) * FWidth + x] = color;
}

// --- Assignment and streams -------------------------------------------------------

template <class F>
void TSkinBitmap<F>::Assign(TPersistent* source)
{
    if (auto* bitmap = dynamic_cast<TSkinBitmap*>(source)) {
        if (bitmap == this) return;
        if (bitmap->Empty()) {
            if (!Empty()) {
                Release();
                Changed();
            }
            return;
        }
        SetSize(bitmap->FWidth, bitmap->FHeight);
        GdiFlush();
        std::memcpy(FBits, bitmap->FBits, size_t(FWidth) * size_t(FHeight) * sizeof(TKColor));
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        if (graphic->Empty() || graphic->Width() <= 0 || graphic->Height() <= 0) return;
        SetSize(graphic->Width(), graphic->Height());
        if (Empty()) return;
        if (auto* bmp = dynamic_cast<TBitmap*>(graphic)) {
            BitBlt(FDC, 0, 0, FWidth, FHeight, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        } else {
            TCanvas canvas;
            canvas.SetHandle(FDC);
            graphic->Draw(&canvas, RECT{0, 0, FWidth, FHeight});
            canvas.SetHandle(nullptr);
        }
        GdiFlush();
        SetAlpha(255);
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(source)) {
        if (picture->Graphic()) Assign(picture->Graphic());
        return;
    }
    TPersistent::Assign(source);
}

template <class F>
void TSkinBitmap<F>::AssignTo(TPersistent* dest)
{
    if (auto* picture = dynamic_cast<TPicture*>(dest)) {
        AssignTo(picture->Bitmap());
        return;
    }
    if (auto* bmp = dynamic_cast<TBitmap*>(dest)) {
        bmp->SetPixelFormat(pf24bit);
        bmp->SetSize(FWidth, FHeight);
        if (Empty()) return;
        GdiFlush();
        BitBlt(bmp->Canvas()->Handle(), 0, 0, FWidth, FHeight, FDC, 0, 0, SRCCOPY);
        GdiFlush();
        return;
    }
    if (auto* clipboard = dynamic_cast<TClipboard*>(dest)) {
        TBitmap bmp;
        AssignTo(&bmp);
        clipboard->Assign(&bmp);
        return;
    }
    TPersistent::AssignTo(dest);
}

template <class F>
void TSkinBitmap<F>::SaveToStream(TStream* stream)
{
    int32_t header[1] = {int32_t(FName.size())};
    stream->WriteBuffer(header, 4);
    if (!FName.empty()) stream->WriteBuffer(FName.data(), long(FName.size()));
    int32_t size[2] = {FWidth, FHeight};
    stream->WriteBuffer(size, 8);
    if (FBits) {
        GdiFlush();
        stream->WriteBuffer(FBits, long(int64_t(FWidth) * FHeight * 4));
    }
}

template <class F>
void TSkinBitmap<F>::LoadFromStream(TStream* stream)
{
    // A length the stream cannot hold takes what is left.
    int64_t length = std::min<int64_t>(std::max(ReadInt32(stream), 0), Remaining(stream));
    std::string name(size_t(length), '\0');
    if (length > 0) name.resize(size_t(std::max<long>(stream->Read(name.data(), long(length)), 0)));
    FName = name;
    int32_t width = ReadInt32(stream), height = ReadInt32(stream);
    int64_t w = std::llabs(int64_t(width)), h = std::llabs(int64_t(height));
    if (w == 0 || h == 0) return;
    // Never a picture larger than the stream could have filled (w and h
    // are below 2^31 each: divide rather than multiply).
    if (w > Remaining(stream) / 4 / h) return;
    int64_t bytes = w * h * 4;
    SetSize(width, height);
    if (width != FWidth || height != FHeight) return;
    GdiFlush();
    auto* p = reinterpret_cast<uint8_t*>(FBits);
    while (bytes > 0) {
        long chunk = long(std::min<int64_t>(bytes, 1 << 30));
        long got = stream->Read(p, chunk);
        if (got <= 0) break;
        p += got;
        bytes -= got;
    }
}

template <class F>
void TSkinBitmap<F>::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(&stream);
}

template <class F>
void TSkinBitmap<F>::SaveToFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmCreate);
    SaveToStream(&stream);
}

template <class F>
void TSkinBitmap<F>::LoadFromBmpStream(TStream* stream)
{
    TBitmap bmp;
    bmp.LoadFromStream(stream);
    Assign(&bmp);
}

template <class F>
void TSkinBitmap<F>::LoadFromBmpFile(const std::string& fileName)
{
    TBitmap bmp;
    bmp.LoadFromFile(fileName);
    Assign(&bmp);
}

// --- Copies ------------------------------------------------------------------------

template <class F>
void TSkinBitmap<F>::Draw(HDC dc, int x, int y)
{
    if (FDC) BitBlt(dc, x, y, FWidth, FHeight, FDC, 0, 0, SRCCOPY);
}

template <class F>
void TSkinBitmap<F>::Draw(HDC dc, int x, int y, const RECT& srcRect)
{
    if (FDC) BitBlt(dc, x, y, RectWidth(srcRect), RectHeight(srcRect), FDC, srcRect.left, srcRect.top, SRCCOPY);
}

template <class F>
void TSkinBitmap<F>::Draw(HDC dc, const RECT& destRect, const RECT& srcRect)
{
    if (FDC)
        StretchBlt(dc, destRect.left, destRect.top, RectWidth(destRect), RectHeight(destRect), FDC, srcRect.left,
                   srcRect.top, RectWidth(srcRect), RectHeight(srcRect), SRCCOPY);
}

template <class F>
void TSkinBitmap<F>::Draw(TCanvas* canvas, int x, int y)
{
    Draw(canvas->Handle(), x, y);
}

template <class F>
void TSkinBitmap<F>::Draw(TCanvas* canvas, int x, int y, const RECT& srcRect)
{
    Draw(canvas->Handle(), x, y, srcRect);
}

template <class F>
void TSkinBitmap<F>::Draw(TCanvas* canvas, const RECT& destRect, const RECT& srcRect)
{
    Draw(canvas->Handle(), destRect, srcRect);
}

template <class F>
void TSkinBitmap<F>::Draw(TSkinBitmap* dest, int x, int y)
{
    Draw(dest, x, y, RECT{0, 0, FWidth, FHeight});
}

template <class F>
void TSkinBitmap<F>::Draw(TSkinBitmap* dest, int x, int y, const RECT& srcRect)
{
    if (!dest || Empty() || dest->Empty()) return;
    if (!FUseAlpha) {
        CopyDraw(dest, x, y, srcRect);
    } else if (auto alphaBlend = AlphaBlendEntry<F>()) {
        int w = RectWidth(srcRect), h = RectHeight(srcRect);
        alphaBlend(dest->FDC, x, y, w, h, FDC, srcRect.left, srcRect.top, w, h, SourceAlphaOver);
        GdiFlush();
    } else {
        AlphaDraw(dest, x, y, srcRect);
    }
}

// srcRect at (x, y) of dest, narrowed to both bitmaps; the destination
// moves with every side cut off the source. False when nothing is left.
template <class F>
bool TSkinBitmap<F>::ClipCopy(TSkinBitmap* dest, int& x, int& y, RECT& src) const
{
    int64_t left = src.left, top = src.top, right = std::min<int64_t>(src.right, FWidth),
            bottom = std::min<int64_t>(src.bottom, FHeight), dx = x, dy = y;
    if (left < 0) dx -= left, left = 0;
    if (top < 0) dy -= top, top = 0;
    if (dx < 0) left -= dx, dx = 0;
    if (dy < 0) top -= dy, dy = 0;
    right = std::min<int64_t>(right, left + (dest->FWidth - dx));
    bottom = std::min<int64_t>(bottom, top + (dest->FHeight - dy));
    if (left >= right || top >= bottom) return false;
    src = RECT{LONG(left), LONG(top), LONG(right), LONG(bottom)};
    x = int(dx);
    y = int(dy);
    return true;
}

template <class F>
void TSkinBitmap<F>::CopyDraw(TSkinBitmap* dest, int x, int y, const RECT& srcRect)
{
    RECT s = srcRect;
    if (!ClipCopy(dest, x, y, s)) return;
    GdiFlush();
    int w = RectWidth(s), h = RectHeight(s);
    // Onto itself rows may overlap: walk away from the rows still to be read.
    bool upward = dest == this && y > s.top;
    for (int j = 0; j < h; ++j) {
        int row = upward ? h - 1 - j : j;
        std::memmove(dest->ScanLine(y + row) + x, ScanLine(s.top + row) + s.left, size_t(w) * sizeof(TKColor));
    }
}

template <class F>
void TSkinBitmap<F>::AlphaDraw(TSkinBitmap* dest, int x, int y, const RECT& srcRect)
{
    RECT s = srcRect;
    if (!ClipCopy(dest, x, y, s)) return;
    GdiFlush();
    int w = RectWidth(s);
    for (int j = 0; j < RectHeight(s); ++j) BlendRow(dest->ScanLine(y + j) + x, ScanLine(s.top + j) + s.left, w);
}

template <class F>
void TSkinBitmap<F>::Draw(TSkinBitmap* dest, const RECT& destRect, const RECT& srcRect)
{
    if (!dest || Empty() || dest->Empty()) return;
    int dw = RectWidth(destRect), dh = RectHeight(destRect), sw = RectWidth(srcRect), sh = RectHeight(srcRect);
    if (!FUseAlpha) {
        if (dw == sw && dh == sh && dw > 0 && dh > 0) {
            CopyDraw(dest, destRect.left, destRect.top, srcRect);
        } else {
            GdiFlush();
            StretchBlt(dest->FDC, destRect.left, destRect.top, dw, dh, FDC, srcRect.left, srcRect.top, sw, sh,
                       SRCCOPY);
            GdiFlush();
        }
    } else if (auto alphaBlend = AlphaBlendEntry<F>()) {
        alphaBlend(dest->FDC, destRect.left, destRect.top, dw, dh, FDC, srcRect.left, srcRect.top, sw, sh,
                   SourceAlphaOver);
        GdiFlush();
    } else {
        ScaledAlphaDraw(dest, destRect, srcRect);
    }
}

template <class F>
void TSkinBitmap<F>::ScaledAlphaDraw(TSkinBitmap* dest, const RECT& destRect, const RECT& srcRect)
{
    if (!Intersects(srcRect, RECT{0, 0, FWidth, FHeight})) return;
    int64_t dw = RectWidth(destRect), dh = RectHeight(destRect);
    if (dw <= 0 || dh <= 0) return;
    RECT c = destRect;
    if (!ClipTo(c, dest->FWidth, dest->FHeight)) return;
    int64_t sw = RectWidth(srcRect), sh = RectHeight(srcRect);
    if (sw == dw && sh == dh) {
        AlphaDraw(dest, destRect.left, destRect.top, srcRect);
        return;
    }
    // 16.16 fixed point, nearest pixel.
    int64_t stepX = (sw << 16) / dw, stepY = (sh << 16) / dh;
    int64_t startX = MulDiv64((c.left - destRect.left) * sw, 65535, dw);
    int64_t fy = MulDiv64((c.top - destRect.top) * sh, 65535, dh);
    GdiFlush();
    for (int y = c.top; y < c.bottom; ++y, fy += stepY) {
        int64_t sy = srcRect.top + (fy >> 16);
        if (sy < 0 || sy >= FHeight) continue;
        const TKColor* src = ScanLine(int(sy));
        TKColor* row = dest->ScanLine(y);
        int64_t fx = startX;
        for (int x = c.left; x < c.right; ++x, fx += stepX) {
            int64_t sx = srcRect.left + (fx >> 16);
            if (sx < 0 || sx >= FWidth) continue;
            BlendRow(row + x, src + sx, 1);
        }
    }
}

template <class F>
void TSkinBitmap<F>::DrawTile(TSkinBitmap* dest, const RECT& destRect, const RECT& srcRect)
{
    int w = RectWidth(srcRect), h = RectHeight(srcRect);
    if (w <= 0 || h <= 0 || !dest) return;
    int dw = RectWidth(destRect), dh = RectHeight(destRect);
    if (dw <= 0 || dh <= 0) return;
    int columns = dw / w + (dw % w ? 1 : 0), rows = dh / h + (dh % h ? 1 : 0);
    // Only the tiles that reach the destination bitmap: a small tile over a
    // large or mostly hidden rectangle costs no idle iterations.
    RECT visible = Intersection(destRect, RECT{0, 0, dest->FWidth, dest->FHeight});
    if (visible.left >= visible.right || visible.top >= visible.bottom) return;
    int firstColumn = (visible.left - destRect.left) / w, lastColumn = std::min<int>(columns, (visible.right - destRect.left + w - 1) / w);
    int firstRow = (visible.top - destRect.top) / h, lastRow = std::min<int>(rows, (visible.bottom - destRect.top + h - 1) / h);
    for (int i = firstColumn; i < lastColumn; ++i)
        for (int j = firstRow; j < lastRow; ++j) {
            LONG left = destRect.left + i * w, top = destRect.top + j * h;
            RECT tile = Intersection(RECT{left, top, left + w, top + h}, destRect);
            if (tile.left >= tile.right) break;
            RECT part{srcRect.left, srcRect.top, srcRect.left + RectWidth(tile), srcRect.top + RectHeight(tile)};
            Draw(dest, tile, part);
        }
}

template <class F>
void TSkinBitmap<F>::DrawStretch(TSkinBitmap* dest, const RECT& destRect, const RECT& srcRect)
{
    Draw(dest, destRect, srcRect);
}

template <class F>
void TSkinBitmap<F>::MergeDraw(TSkinBitmap* other, int x, int y, const RECT& rect)
{
    if (!other || Empty() || other->Empty()) return;
    // The lower layer's rect laid at (x, y) here is ClipCopy's copy of it
    // onto this bitmap, with the layers' roles exchanged.
    RECT r = rect;
    if (!other->ClipCopy(this, x, y, r)) return;
    GdiFlush();
    for (int j = 0; j < RectHeight(r); ++j) {
        TKColor* top = ScanLine(y + j) + x;
        const TKColor* bottom = other->ScanLine(r.top + j) + r.left;
        for (int i = 0; i < RectWidth(r); ++i) {
            uint32_t a = top[i] >> 24;
            if (a == 0)
                top[i] = bottom[i];
            else if (a != 255)
                top[i] = BlendPixel(top[i], bottom[i]);
        }
    }
}

// --- Fills and edges ---------------------------------------------------------------

template <class F>
void TSkinBitmap<F>::FillRect(const RECT& rect, TKColor color)
{
    RECT r = rect;
    if (!FBits || !ClipTo(r, FWidth, FHeight)) return;
    GdiFlush();
    uint32_t a = color >> 24;
    if (!FUseAlpha || a == 255) {
        FillLongwordRect(FBits, FWidth, FHeight, r.left, r.top, r.right - 1, r.bottom - 1, color);
        return;
    }
    if (a == 0) return;
    for (int y = r.top; y < r.bottom; ++y) {
        TKColor* row = ScanLine(y);
        for (int x = r.left; x < r.right; ++x) row[x] = BlendPixel(color, row[x]);
    }
}

template <class F>
void TSkinBitmap<F>::FillHalftoneRect(const RECT& rect, TKColor color1, TKColor color2)
{
    RECT r = rect;
    if (!FBits || !ClipTo(r, FWidth, FHeight)) return;
    FillRect(r, color1);
    for (int y = r.top; y < r.bottom; ++y) {
        TKColor* row = ScanLine(y);
        for (int x = r.left + ((r.left + y) & 1); x < r.right; x += 2) row[x] = color2;
    }
}

template <class F>
void TSkinBitmap<F>::FillGradientRect(const RECT& rect, TKColor beginColor, TKColor endColor, bool vertical)
{
    RECT r = rect;
    if (!FBits || !ClipTo(r, FWidth, FHeight)) return;
    int size = vertical ? RectHeight(r) : RectWidth(r);
    int n = std::min(size, 255);
    LONG origin = vertical ? r.top : r.left;
    for (int k = 0; k < n; ++k) {
        RECT band = r;
        LONG& from = vertical ? band.top : band.left;
        LONG& to = vertical ? band.bottom : band.right;
        from = origin + LONG(MulDiv64(k, size, n));
        to = origin + LONG(MulDiv64(k + 1, size, n));
        if (from < to) FillRect(band, GradientColor(beginColor, endColor, k, n));
    }
}

template <class F>
void TSkinBitmap<F>::FillRadialGradientRect(const RECT& rect, TKColor beginColor, TKColor endColor, POINT center)
{
    RECT r = rect;
    if (!FBits || !ClipTo(r, FWidth, FHeight)) return;
    HRGN clip = CreateRectRgnIndirect(&r);
    SelectClipRgn(FDC, clip);
    int w = RectWidth(r), h = RectHeight(r), m = std::max(w, h);
    LONG offsetX = LONG(std::nearbyint(w * double(center.x) / 100)),
         offsetY = LONG(std::nearbyint(h * double(center.y) / 100));
    for (int k = 50; k >= 0; --k) {
        LONG radius = LONG(MulDiv64(k + 1, m, 50));
        LONG left = r.left - (2 * radius) / 2 + offsetX, top = r.top - (2 * radius) / 2 + offsetY;
        FillEllipse(RECT{left, top, left + 2 * radius, top + 2 * radius}, GradientColor(beginColor, endColor, k, 50));
    }
    SelectClipRgn(FDC, nullptr);
    DeleteObject(clip);
}

template <class F>
void TSkinBitmap<F>::DrawEdge(const RECT& rect, TKColor topLeft, TKColor bottomRight)
{
    RECT r = rect;
    if (!FBits || !ClipTo(r, FWidth, FHeight)) return;
    GdiFlush();
    auto blend = [](TKColor* p, TKColor c) { *p = BlendPixel(c, *p); };
    LONG last = r.right - 1, bottom = r.bottom - 1;
    // Each edge pixel once; the bottom row and right column own the
    // corners they share with the others.
    for (LONG x = r.left; x <= last; ++x) blend(ScanLine(bottom) + x, bottomRight);
    for (LONG y = r.top; y < bottom; ++y) blend(ScanLine(y) + last, bottomRight);
    if (r.left < last && r.top < bottom) {
        for (LONG x = r.left; x < last; ++x) blend(ScanLine(r.top) + x, topLeft);
        for (LONG y = r.top + 1; y < bottom; ++y) blend(ScanLine(y) + r.left, topLeft);
    }
}

template <class F>
void TSkinBitmap<F>::DrawRect(const RECT& rect, TKColor color)
{
    DrawEdge(rect, color, color);
}

template <class F>
void TSkinBitmap<F>::DrawBevel(const RECT& rect, TKColor color, int width, bool sunken)
{
    RECT ring = rect;
    for (int i = 0; i < width; ++i) {
        uint8_t d = uint8_t(width == 1 ? 35 : ((width - i) * 17) % 256);
        TKColor light = RaisedColor(color, d), dark = SunkenColor(color, d);
        if (sunken)
            DrawEdge(ring, dark, light);
        else
            DrawEdge(ring, light, dark);
        InflateRect(&ring, -1, -1);
    }
}

template <class F>
void TSkinBitmap<F>::FillHalftonePolygon(const POINT* points, int count, TKColor color1, TKColor color2)
{
    if (!points || count <= 0 || !FBits) return;
    FillPolygon(points, count, color1);
    RECT box{points[0].x, points[0].y, 0, 0};
    for (int i = 0; i < count; ++i) {
        box.left = std::min(box.left, points[i].x);
        box.top = std::min(box.top, points[i].y);
        box.right = std::max(box.right, points[i].x);
        box.bottom = std::max(box.bottom, points[i].y);
    }
    if (!ClipTo(box, FWidth, FHeight)) return;
    // The polygon's pixels are its region's rectangles, as PointInPolygon
    // decides them one by one.
    HRGN region = CreatePolygonRgn(points, count, WINDING);
    if (!region) return;
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<uint8_t> data(size);
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    if (size && GetRegionData(region, size, rgn)) {
        GdiFlush();
        const RECT* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
        for (DWORD i = 0; i < rgn->rdh.nCount; ++i) {
            RECT part = Intersection(rects[i], box);
            for (LONG y = part.top; y < part.bottom; ++y) {
                TKColor* row = ScanLine(y);
                for (LONG x = part.left + ((part.left + y) & 1); x < part.right; x += 2) row[x] = color2;
            }
        }
    }
    DeleteObject(region);
}

// --- Shapes through the device context ------------------------------------------------

template <class F>
template <class Op>
void TSkinBitmap<F>::WithPenAndBrush(TKColor color, bool fill, Op op)
{
    if (!FDC) return;
    COLORREF rgb = KColorToColor(color);
    HPEN pen = CreatePen(PS_SOLID, 1, rgb);
    HBRUSH brush = fill ? CreateSolidBrush(rgb) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(FDC, pen), oldBrush = SelectObject(FDC, brush);
    op();
    SelectObject(FDC, oldBrush);
    SelectObject(FDC, oldPen);
    DeleteObject(pen);
    if (fill) DeleteObject(brush);
    GdiFlush();
}

template <class F>
void TSkinBitmap<F>::MoveTo(int x, int y)
{
    if (FDC) MoveToEx(FDC, x, y, nullptr);
    FPenPos = POINT{x, y};
}

template <class F>
void TSkinBitmap<F>::LineTo(int x, int y, TKColor color)
{
    WithPenAndBrush(color, false, [&] { ::LineTo(FDC, x, y); });
    FPenPos = POINT{x, y};
}

template <class F>
void TSkinBitmap<F>::DrawLine(const RECT& rect, TKColor color)
{
    MoveTo(rect.left, rect.top);
    LineTo(rect.right, rect.bottom, color);
}

template <class F>
void TSkinBitmap<F>::DrawRoundRect(const RECT& rect, int radius, TKColor color)
{
    WithPenAndBrush(color, false,
                    [&] { RoundRect(FDC, rect.left, rect.top, rect.right, rect.bottom, radius, radius); });
}

template <class F>
void TSkinBitmap<F>::FillRoundRect(const RECT& rect, int radius, TKColor color)
{
    WithPenAndBrush(color, true, [&] { RoundRect(FDC, rect.left, rect.top, rect.right, rect.bottom, radius, radius); });
}

template <class F>
void TSkinBitmap<F>::DrawEllipse(const RECT& rect, TKColor color)
{
    WithPenAndBrush(color, false, [&] { Ellipse(FDC, rect.left, rect.top, rect.right, rect.bottom); });
}

template <class F>
void TSkinBitmap<F>::FillEllipse(const RECT& rect, TKColor color)
{
    WithPenAndBrush(color, true, [&] { Ellipse(FDC, rect.left, rect.top, rect.right, rect.bottom); });
}

template <class F>
void TSkinBitmap<F>::DrawPolygon(const POINT* points, int count, TKColor color)
{
    if (points && count > 0) WithPenAndBrush(color, false, [&] { Polygon(FDC, points, count); });
}

template <class F>
void TSkinBitmap<F>::FillPolygon(const POINT* points, int count, TKColor color)
{
    if (points && count > 0) WithPenAndBrush(color, true, [&] { Polygon(FDC, points, count); });
}

template <class F>
void TSkinBitmap<F>::DrawFocusRect(const RECT& rect, TKColor color)
{
    WithPenAndBrush(color, false, [&] { ::DrawFocusRect(FDC, &rect); });
}

// --- Text ----------------------------------------------------------------------------

template <class F>
int TSkinBitmap<F>::CalcText(const std::string& text, UINT format, bool height)
{
    if (!FDC) return 0;
    RECT r{0, 0, 0, 0};
    HGDIOBJ oldFont = SelectObject(FDC, FFont->Handle());
    ::DrawTextA(FDC, text.c_str(), int(text.size()), &r, DT_CALCRECT | format);
    SelectObject(FDC, oldFont);
    return height ? r.bottom : r.right;
}

template <class F>
int TSkinBitmap<F>::TextWidth(const std::string& text)
{
    return CalcText(text, 0, false);
}

template <class F>
int TSkinBitmap<F>::TextHeight(const std::string& text)
{
    return CalcText(text, 0, true);
}

template <class F>
int TSkinBitmap<F>::DrawTextIn(const std::string& text, RECT& rect, UINT format)
{
    if (!FDC) return 0;
    HGDIOBJ oldFont = SelectObject(FDC, FFont->Handle());
    SetBkMode(FDC, TRANSPARENT);
    COLORREF oldColor = SetTextColor(FDC, ColorToRGB(FFont->Color()));
    int height = ::DrawTextA(FDC, text.c_str(), int(text.size()), &rect, format);
    SetTextColor(FDC, oldColor);
    SelectObject(FDC, oldFont);
    GdiFlush();
    return height;
}

template <class F>
void TSkinBitmap<F>::DrawText(const std::string& text, const RECT& rect, UINT format)
{
    RECT r = rect;
    DrawTextIn(text, r, format);
}

template <class F>
void TSkinBitmap<F>::DrawVerticalText(const std::string& text, const RECT& rect, UINT format, bool clockwise)
{
    int w = RectWidth(rect), h = RectHeight(rect);
    if (!FBits || w <= 0 || h <= 0) return;
    // Drawn level on a key colour, then turned a quarter pixel by pixel.
    const TKColor key = KColor(int16_t(255), int16_t(0), int16_t(255), 255);
    TSkinBitmap turned;
    turned.SetSize(h, w);
    turned.Clear(key);
    turned.SetFont(FFont);
    RECT all{0, 0, h, w};
    turned.DrawTextIn(text, all, format);
    TKColor color = KColor(FFont->Color(), 255);
    for (int j = 0; j < w; ++j) {
        const TKColor* row = turned.ScanLine(j);
        for (int i = 0; i < h; ++i) {
            // The platform's glyphs carry alpha 0: compare colours only.
            if (((row[i] ^ key) & 0x00FFFFFFu) == 0) continue;
            int x = clockwise ? rect.right - 1 - j : rect.left + j;
            int y = clockwise ? rect.top + i : rect.bottom - 1 - i;
            if (x >= 0 && y >= 0 && x < FWidth && y < FHeight) ScanLine(y)[x] = color;
        }
    }
}

template class TSkinBitmap<TKsFamily>;
template class TSkinBitmap<TMpFamily>;

// --- The media family's additions --------------------------------------------------

TKsMediaBitmap::TAlphaBlendProc TKsMediaBitmap::AlphaBlend = nullptr;
TKsMediaBitmap::TTransparentBltProc TKsMediaBitmap::TransparentBlt = nullptr;

void TKsMediaBitmap::ChangeBrightness(int delta)
{
    MapVisiblePixels(&::ChangeBrightness, delta);
}

void TKsMediaBitmap::SaveToBmpFile(const std::string& fileName)
{
    TBitmap bmp;
    AssignTo(&bmp);
    TFileStream stream(fileName, fmCreate);
    bmp.SaveToStream(&stream);
}

void TKsMediaBitmap::DrawMarginRect(TKsMediaBitmap* dest, const RECT& srcRect, const RECT& destRect, bool stretch)
{
    if (RectWidth(srcRect) <= 0 || RectHeight(srcRect) <= 0) return;
    if (stretch)
        DrawStretch(dest, destRect, srcRect);
    else
        DrawTile(dest, destRect, srcRect);
}

void TKsMediaBitmap::DrawMargin(TKsMediaBitmap* dest, const RECT& d, const RECT& s, int l, int t, int r, int b,
                                bool stretch)
{
    if (l == 0 && t == 0 && r == 0 && b == 0) {
        Draw(dest, d, s);
        return;
    }
    DrawMarginRect(dest, RECT{s.left + l, s.top + t, s.right - r, s.bottom - b},
                   RECT{d.left + l, d.top + t, d.right - r, d.bottom - b}, stretch);
    DrawMarginRect(dest, RECT{s.left + l, s.top, s.right - r, s.top + t}, RECT{d.left + l, d.top, d.right - r, d.top + t},
                   stretch);
    DrawMarginRect(dest, RECT{s.left + l, s.bottom - b, s.right - r, s.bottom},
                   RECT{d.left + l, d.bottom - b, d.right - r, d.bottom}, stretch);
    DrawMarginRect(dest, RECT{s.left, s.top + t, s.left + l, s.bottom - b},
                   RECT{d.left, d.top + t, d.left + l, d.bottom - b}, stretch);
    DrawMarginRect(dest, RECT{s.right - r, s.top + t, s.right, s.bottom - b},
                   RECT{d.right - r, d.top + t, d.right, d.bottom - b}, stretch);
    Draw(dest, d.left, d.top, RECT{s.left, s.top, s.left + l, s.top + t});
    Draw(dest, d.right - r, d.top, RECT{s.right - r, s.top, s.right, s.top + t});
    Draw(dest, d.left, d.bottom - b, RECT{s.left, s.bottom - b, s.left + l, s.bottom});
    Draw(dest, d.right - r, d.bottom - b, RECT{s.right - r, s.bottom - b, s.right, s.bottom});
}

int TKsMediaBitmap::TextWidth(const std::string& text, UINT format)
{
    return CalcText(text, format, false);
}

int TKsMediaBitmap::DrawText(const std::string& text, RECT& rect, UINT format)
{
    return DrawTextIn(text, rect, format);
}

int TKsMediaBitmap::DrawText(const std::string& text, const RECT& rect, UINT format)
{
    RECT r = rect;
    return DrawTextIn(text, r, format);
}

int TKsMediaBitmap::DrawText(const std::string& text, int x, int y)
{
    RECT r{x, y, x + TextWidth(text, 0), y + TextHeight(text)};
    return DrawTextIn(text, r, 0);
}

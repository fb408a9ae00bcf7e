#include "BmpUtils.h"

#include <algorithm>
#include <cstring>

namespace {

COLORREF ResolveTransparent(TBitmap* bitmap, TColor color)
{
    if (color == clDefault) return ColorToRGB(GetTransparentColor(bitmap));
    return ColorToRGB(color);
}

// Draws (sx, sy, sw, sh) of source onto dest at (x, y, w, h) leaving out
// the pixels of colour transparent: the destination area is masked, the
// source's opaque pixels are ORed in, and the result goes out in one blit.
void MaskedBlit(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh,
                COLORREF transparent)
{
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    // A work copy of the source part, so the source itself is never changed.
    HDC src = CreateCompatibleDC(dest);
    HBITMAP srcBmp = CreateCompatibleBitmap(dest, sw, sh);
    HGDIOBJ oldSrc = SelectObject(src, srcBmp);
    BitBlt(src, 0, 0, sw, sh, source, sx, sy, SRCCOPY);
    // Mask: transparent pixels white.
    HDC mask = CreateCompatibleDC(dest);
    HBITMAP maskBmp = CreateBitmap(sw, sh, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(mask, maskBmp);
    SetBkColor(src, transparent);
    BitBlt(mask, 0, 0, sw, sh, src, 0, 0, SRCCOPY);
    // Source with its transparent pixels black (AND with the inverted mask).
    SetBkColor(src, RGB(255, 255, 255));
    SetTextColor(src, RGB(0, 0, 0));
    BitBlt(src, 0, 0, sw, sh, mask, 0, 0, 0x00220326 /* DSna */);
    // Destination area ANDed with the mask, then the source ORed on.
    HDC work = CreateCompatibleDC(dest);
    HBITMAP workBmp = CreateCompatibleBitmap(dest, w, h);
    HGDIOBJ oldWork = SelectObject(work, workBmp);
    BitBlt(work, 0, 0, w, h, dest, x, y, SRCCOPY);
    SetBkColor(work, RGB(255, 255, 255));
    SetTextColor(work, RGB(0, 0, 0));
    SetStretchBltMode(work, COLORONCOLOR);
    StretchBlt(work, 0, 0, w, h, mask, 0, 0, sw, sh, SRCAND);
    StretchBlt(work, 0, 0, w, h, src, 0, 0, sw, sh, SRCPAINT);
    BitBlt(dest, x, y, w, h, work, 0, 0, SRCCOPY);
    SelectObject(work, oldWork);
    DeleteObject(workBmp);
    DeleteDC(work);
    SelectObject(mask, oldMask);
    DeleteObject(maskBmp);
    DeleteDC(mask);
    SelectObject(src, oldSrc);
    DeleteObject(srcBmp);
    DeleteDC(src);
}

}  // namespace

TColor GetTransparentColor(TBitmap* bitmap)
{
    if (!bitmap || bitmap->Empty()) return clNone;
    return TColor(bitmap->Canvas()->Pixel(0, bitmap->Height() - 1));
}

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, TColor transparentColor)
{
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return;
    int h = std::abs(bm.bmHeight);
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(src, bitmap);
    COLORREF transparent = transparentColor == clDefault ? ::GetPixel(src, 0, h - 1) : ColorToRGB(transparentColor);
    if (transparentColor == clNone) BitBlt(dc, x, y, bm.bmWidth, h, src, 0, 0, SRCCOPY);
    else MaskedBlit(dc, x, y, bm.bmWidth, h, src, 0, 0, bm.bmWidth, h, transparent);
    SelectObject(src, old);
    DeleteDC(src);
}

void StretchBitmapRectTransparent(TCanvas* canvas, int x, int y, int w, int h, const RECT& rect, TBitmap* bitmap,
                                  TColor transparentColor)
{
    if (!canvas || !bitmap || bitmap->Empty()) return;
    RECT r = rect;
    if (r.right <= r.left || r.bottom <= r.top) r = RECT{0, 0, bitmap->Width(), bitmap->Height()};
    // The part must lie in the bitmap.
    r.left = std::max<LONG>(0, r.left);
    r.top = std::max<LONG>(0, r.top);
    r.right = std::min<LONG>(bitmap->Width(), r.right);
    r.bottom = std::min<LONG>(bitmap->Height(), r.bottom);
    int sw = r.right - r.left, sh = r.bottom - r.top;
    if (sw <= 0 || sh <= 0) return;
    if (w == 0 || h == 0) {
        w = sw;
        h = sh;
    }
    TBitmap part;
    part.SetSize(sw, sh);
    BitBlt(part.Canvas()->Handle(), 0, 0, sw, sh, bitmap->Canvas()->Handle(), r.left, r.top, SRCCOPY);
    if (transparentColor == clNone) {
        if (w == sw && h == sh) canvas->Draw(x, y, &part);
        else canvas->StretchDraw(RECT{x, y, x + w, y + h}, &part);
        return;
    }
    COLORREF transparent = ResolveTransparent(&part, transparentColor);
    MaskedBlit(canvas->Handle(), x, y, w, h, part.Canvas()->Handle(), 0, 0, sw, sh, transparent);
}

void DrawBitmapRectTransparent(TCanvas* canvas, int x, int y, const RECT& rect, TBitmap* bitmap,
                               TColor transparentColor)
{
    StretchBitmapRectTransparent(canvas, x, y, 0, 0, rect, bitmap, transparentColor);
}

void DrawBitmapTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor transparentColor)
{
    StretchBitmapRectTransparent(canvas, x, y, 0, 0, RECT{0, 0, 0, 0}, bitmap, transparentColor);
}

void PaintGlyph(TCanvas* canvas, int x, int y, TBitmap* glyph, int numGlyphs, int index)
{
    if (!glyph || glyph->Empty() || numGlyphs <= 0) return;
    int w = glyph->Width() / numGlyphs;
    if (w <= 0) return;
    index = std::clamp(index, 1, numGlyphs);
    RECT r{(index - 1) * w, 0, index * w, glyph->Height()};
    StretchBitmapRectTransparent(canvas, x, y, 0, 0, r, glyph, clDefault);
}

int CreateRFromBmp(TBitmap* bitmap, std::vector<uint8_t>& regionData)
{
    regionData.clear();
    if (!bitmap || bitmap->Empty() || bitmap->Width() <= 0 || bitmap->Height() <= 0) return 0;
    int width = bitmap->Width(), height = bitmap->Height();
    // Read the pixels once as 32-bit values.
    std::vector<COLORREF> pixels(size_t(width) * size_t(height));
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        GdiFlush();
        HDC dc = GetDC(nullptr);
        GetDIBits(dc, bitmap->Handle(), 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
    }
    // The bottom-left pixel, as everywhere else in this unit.
    COLORREF transparent = pixels[size_t(height - 1) * size_t(width)] & 0xFFFFFF;
    std::vector<RECT> rects;
    for (int y = 0; y < height; ++y) {
        const COLORREF* row = &pixels[size_t(y) * size_t(width)];
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & 0xFFFFFF) == transparent) ++x;
            int x0 = x;
            while (x < width && (row[x] & 0xFFFFFF) != transparent) ++x;
            if (x > x0) rects.push_back(RECT{x0, y, x, y + 1});
        }
    }
    size_t size = sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT);
    regionData.assign(size, 0);
    RGNDATAHEADER header = {};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = DWORD(rects.size());
    header.nRgnSize = 0;
    header.rcBound = RECT{0, 0, width, height};
    std::memcpy(regionData.data(), &header, sizeof header);
    if (!rects.empty()) std::memcpy(regionData.data() + sizeof header, rects.data(), rects.size() * sizeof(RECT));
    return int(size);
}

HRGN CreateRegionFromBmp(TBitmap* bitmap)
{
    std::vector<uint8_t> data;
    int size = CreateRFromBmp(bitmap, data);
    if (size == 0) return nullptr;
    return ExtCreateRegion(nullptr, DWORD(size), reinterpret_cast<const RGNDATA*>(data.data()));
}

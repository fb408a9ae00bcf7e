// Drawing bitmaps with one colour see-through, glyph strips, and a window
// region from a bitmap's shape. A transparent colour of clNone draws
// without transparency; clDefault takes the image's bottom-left pixel.
#pragma once

#include "Graphic.h"

#include <cstdint>
#include <vector>

TColor GetTransparentColor(TBitmap* bitmap);
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, TColor transparentColor);
void DrawBitmapTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor transparentColor);
// An empty rectangle means the whole bitmap.
void DrawBitmapRectTransparent(TCanvas* canvas, int x, int y, const RECT& rect, TBitmap* bitmap,
                               TColor transparentColor);
// Stretched to w x h when both are non-zero.
void StretchBitmapRectTransparent(TCanvas* canvas, int x, int y, int w, int h, const RECT& rect, TBitmap* bitmap,
                                  TColor transparentColor);
// Image index (1-based) of a strip of numGlyphs images, its own bottom-left
// pixel colour see-through.
void PaintGlyph(TCanvas* canvas, int x, int y, TBitmap* glyph, int numGlyphs, int index);
// Region data (RGNDATA) of the bitmap's non-transparent pixels, one
// rectangle per run in each row; the transparent colour is the bottom-left
// pixel's. Returns the data's size in bytes (0 for an empty bitmap).
int CreateRFromBmp(TBitmap* bitmap, std::vector<uint8_t>& regionData);
// The same as a region handle (the caller deletes it), or null.
HRGN CreateRegionFromBmp(TBitmap* bitmap);

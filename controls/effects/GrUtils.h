// 3-D frames, colour arithmetic, a screen grab, and the copy of what a
// control's parent and the siblings beneath it show at its place.
#pragma once

#include "Control.h"
#include "Graphic.h"

// Width nested one-pixel frames inside rect: top and left in topColor,
// right and bottom in bottomColor.
void Frm3D(TCanvas* canvas, const RECT& rect, TColor topColor, TColor bottomColor, int width);
// The media bevel's frame: width nested one-pixel frames of a w x h area,
// top and left lines in inner, bottom and right lines in outer.
void MediaFrame(TCanvas* canvas, int w, int h, int width, TColor inner, TColor outer);
// An elliptic 3-D frame in rect.
void RndFrm3D(TCanvas* canvas, TColor topColor, TColor bottomColor, int width, const RECT& rect);
// A rounded-rectangle 3-D frame whose corners have the given diameter (as
// CreateRoundRectRgn takes it); a colour of clNone is not drawn.
void RndRectFrm3D(TCanvas* canvas, const RECT& rect, TColor topColor, int width, int diameter, TColor bottomColor);
// Adds a signed amount to each channel, clamped to 0..255; the high byte stays.
TColor RGBChange(TColor color, int dR, int dG, int dB);
// Per channel (a + b) / 2 as a plain RGB colour.
TColor MiddleColor(TColor a, TColor b);
// The screen area at (x, y) of the bitmap's size, into the bitmap.
void GetScreenImage(int x, int y, TBitmap* bitmap);

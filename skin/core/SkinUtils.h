// Helpers every skinned surface shares: rectangle arithmetic, text that
// fits a width, rectangles written as text, strings in streams, the
// background under a see-through control, window regions from a bitmap's
// key colour, a plasma texture and the keyboard's repeat timing.
//
// Stateless helpers are plain functions. What is bound to a family (its
// bitmap, its background-request mark, its key colour, its scratch state)
// lives in TSkinUtils<F>; the media family adds a counted mouse capture.
#pragma once

#include "KColor.h"
#include "SkinFamily.h"

#include <windows.h>

#include <string>
#include <vector>

class TStream;
class TControl;
class TGraphicControl;
template <class F> class TSkinBitmap;

// --- Rectangles -----------------------------------------------------------

inline int RectWidth(const RECT& r) { return r.right - r.left; }
inline int RectHeight(const RECT& r) { return r.bottom - r.top; }
// Move r, keeping its size, to the centre of bounds (both ways, or one);
// returns the moved rectangle. The other way takes bounds' left or top.
RECT RectCenter(RECT& r, const RECT& bounds);
RECT RectHCenter(RECT& r, const RECT& bounds);
RECT RectVCenter(RECT& r, const RECT& bounds);
// r grown by n on every side.
RECT RectOffset(const RECT& r, int n);
// True when r is less than a pixel wide or high.
bool IsRectEmpty(const RECT& r);
bool CompareRect(const RECT& a, const RECT& b);

// --- Text -----------------------------------------------------------------

// s when it fits maxWidth on dc; otherwise as many whole characters as fit
// together with "...", then "..." (a double-byte character is never cut).
std::string FormatStr(HDC dc, const std::string& s, int maxWidth);
// Takes the next token off s: it ends at a space, "(", ")", "," or ";",
// which is taken off too; the token and the rest are trimmed of spaces.
std::string GetToken(std::string& s);
// "(Left,Top,Right,Bottom)".
std::string RectToString(const RECT& r);
// Four tokens as Left, Top, Right, Bottom; any that is no integer gives the
// zero rectangle. The first token ends at a "(", so the text RectToString
// makes reads as the zero rectangle.
RECT StringToRect(const std::string& s);

// --- Strings in streams ---------------------------------------------------

// A 32-bit length, then the bytes.
void WriteString(TStream* stream, const std::string& s);
// The reverse; a negative length is an empty string, and a length beyond
// what the stream holds gives what it holds.
std::string ReadString(TStream* stream);

// --- Keyboard repeat timing -----------------------------------------------

// The system's delay before a key repeats: 200, 400, 600 or 800 ms.
int GetKeyBoardDelayInterval();
// The system's repeat interval: 435 ms at the slowest, 14 ms at the fastest.
int GetKeyBoardSpeedInterval();

// --- Icons ------------------------------------------------------------------

// A copy of icon at the small-icon size, from the icon's own small image
// where it has one (the application's icon for none); the caller destroys it.
HICON SmallIconCopy(HICON icon);

// --- Family-bound helpers ---------------------------------------------------

template <class F>
struct TSkinUtils {
    using Bitmap = typename F::Bitmap;

    // The second form measures with the bitmap's font on its device context.
    static std::string FormatStr(Bitmap* bitmap, const std::string& s, int maxWidth);

    // Background requests: dc is an off-screen buffer that will hold the
    // control's picture. The parent is asked for its background under the
    // control (WM_ERASEBKGND with the family's mark), then its windowless
    // children are painted; in the Ks family the visible windowed siblings
    // follow unless skipSiblings. A request for a control whose request is
    // already under way (see-through neighbours painting each other) draws
    // nothing, so that they cannot recurse without end.
    static void PaintBackground(TControl* control, HDC dc, bool skipSiblings);
    // Only the parent's answer, no children.
    static void PaintOwnerBackground(TControl* control, HDC dc);

    // The region of every pixel not of the family's key colour (alpha
    // ignored), moved by (x, y).
    static HRGN CreateRegionFromBitmap(Bitmap* bitmap, int x, int y);
    // The key colour that regions and show animations leave out.
    static TKColor KeyColor();

    // A new 150 x 150 cloud texture from color1 to color2, owned by the caller.
    static Bitmap* GetPlasma(TKColor color1, TKColor color2);

protected:
    // The controls whose background request is under way.
    static std::vector<TControl*> FRequests;
    // The region builder's rectangles, one per run of opaque pixels; it
    // grows as a bitmap needs and is kept for the next one.
    static std::vector<RECT> FRegionRects;
    // Shifts dc to the control's place on its parent, sends the request and
    // runs paint, guarded against re-entry for that control.
    template <class Paint>
    static void Request(TControl* control, HDC dc, Paint paint);
};

using KsUtils = TSkinUtils<TKsFamily>;

// The media family adds a request for windowless controls and a counted
// mouse capture (its menus nest captures).
struct TMpUtils : TSkinUtils<TMpFamily> {
    // The parent's answer under a windowless control; nothing unless the
    // parent's window exists. The last argument is not used.
    static void PaintGraphicBackground(TGraphicControl* control, HDC dc, bool skipSiblings);

    // The first capture takes the mouse for window; nested ones only count.
    static void CaptureMouse(HWND window);
    // The last matching end releases the mouse, if window still holds it;
    // an end without a capture changes nothing.
    static void EndCapture();
    static int CaptureCount() { return FCaptureCount; }

    // The window that holds the counted capture, or null.
    static HWND CaptureHandle;

private:
    static int FCaptureCount;
};
using MpUtils = TMpUtils;

extern template struct TSkinUtils<TKsFamily>;
extern template struct TSkinUtils<TMpFamily>;

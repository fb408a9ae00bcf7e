#include "SkinUtils.h"

#include "SkinBitmap.h"
#include "Streams.h"
#include "SysUtils.h"
#include "WinControl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <type_traits>

// --- Rectangles -------------------------------------------------------------

RECT RectCenter(RECT& r, const RECT& bounds)
{
    OffsetRect(&r, bounds.left + (RectWidth(bounds) - RectWidth(r)) / 2 - r.left,
               bounds.top + (RectHeight(bounds) - RectHeight(r)) / 2 - r.top);
    return r;
}

RECT RectHCenter(RECT& r, const RECT& bounds)
{
    OffsetRect(&r, bounds.left + (RectWidth(bounds) - RectWidth(r)) / 2 - r.left, bounds.top - r.top);
    return r;
}

RECT RectVCenter(RECT& r, const RECT& bounds)
{
    OffsetRect(&r, bounds.left - r.left, bounds.top + (RectHeight(bounds) - RectHeight(r)) / 2 - r.top);
    return r;
}

RECT RectOffset(const RECT& r, int n) { return RECT{r.left - n, r.top - n, r.right + n, r.bottom + n}; }

bool IsRectEmpty(const RECT& r) { return RectWidth(r) < 1 || RectHeight(r) < 1; }

bool CompareRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// --- Text -------------------------------------------------------------------

namespace {

int TextExtent(HDC dc, const std::string& s)
{
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, s.data(), int(s.size()), &size);
    return size.cx;
}

// Spaces and control characters off both ends, as the runtime trims.
std::string Trim(const std::string& s)
{
    size_t first = 0, last = s.size();
    while (first < last && static_cast<unsigned char>(s[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ') --last;
    return s.substr(first, last - first);
}

}  // namespace

std::string FormatStr(HDC dc, const std::string& s, int maxWidth)
{
    if (TextExtent(dc, s) <= maxWidth) return s;
    // Texts are in the string tables' code page; a lead byte and its trail
    // byte are one character and stay together.
    const UINT codePage = StringCodePage();
    std::string result;
    for (size_t i = 0; i < s.size();) {
        size_t n = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(s[i])) && i + 1 < s.size() ? 2 : 1;
        if (TextExtent(dc, result + s.substr(i, n) + "...") > maxWidth) break;
        result.append(s, i, n);
        i += n;
    }
    return result + "...";
}

std::string GetToken(std::string& s)
{
    std::string token;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i++];
        if (c == ' ' || c == '(' || c == ')' || c == ',' || c == ';') break;
        token += c;
    }
    s = Trim(s.substr(i));
    return Trim(token);
}

std::string RectToString(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

RECT StringToRect(const std::string& s)
{
    std::string rest = s;
    int sides[4];
    for (int& side : sides)
        if (!TryStrToInt(GetToken(rest), side)) return RECT{0, 0, 0, 0};
    return RECT{sides[0], sides[1], sides[2], sides[3]};
}

// --- Strings in streams -------------------------------------------------------

void WriteString(TStream* stream, const std::string& s)
{
    int32_t length = int32_t(s.size());
    stream->WriteBuffer(&length, sizeof length);
    if (length > 0) stream->WriteBuffer(s.data(), length);
}

std::string ReadString(TStream* stream)
{
    int32_t length = 0;
    if (stream->Read(&length, sizeof length) != sizeof length || length <= 0) return std::string();
    // Never more than the stream still holds, so a damaged length can
    // neither read past its end nor ask for memory it cannot fill.
    int64_t left = stream->Size() - stream->Position();
    std::string s(size_t(std::clamp<int64_t>(length, 0, std::max<int64_t>(left, 0))), '\0');
    if (!s.empty()) s.resize(size_t(std::max<long>(stream->Read(s.data(), long(s.size())), 0)));
    return s;
}

// --- Keyboard repeat timing -------------------------------------------------

int GetKeyBoardDelayInterval()
{
    UINT delay = 0;
    SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0);
    return int(delay + 1) * 200;
}

int GetKeyBoardSpeedInterval()
{
    DWORD speed = 0;
    SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0);
    return int(std::nearbyint(1000 / ((speed + 1) * 2.3)));
}

// --- Icons ------------------------------------------------------------------

HICON SmallIconCopy(HICON icon)
{
    int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    if (cx == 0) cx = GetSystemMetrics(SM_CXSIZE);
    if (cy == 0) cy = GetSystemMetrics(SM_CYSIZE);
    if (!icon) icon = LoadIcon(nullptr, IDI_APPLICATION);
    // LR_COPYFROMRESOURCE: the resource's small image, not the large one shrunk.
    return static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE));
}

// --- Family-bound helpers -------------------------------------------------------

template <class F>
std::vector<TControl*> TSkinUtils<F>::FRequests;
template <class F>
std::vector<RECT> TSkinUtils<F>::FRegionRects;

template <class F>
std::string TSkinUtils<F>::FormatStr(Bitmap* bitmap, const std::string& s, int maxWidth)
{
    HDC dc = bitmap->DC();
    HGDIOBJ old = SelectObject(dc, bitmap->Font()->Handle());
    std::string result;
    try {
        result = ::FormatStr(dc, s, maxWidth);
    } catch (...) {
        SelectObject(dc, old);
        throw;
    }
    SelectObject(dc, old);
    return result;
}

namespace {

// Where the control's client area begins on its parent's client area.
POINT OriginInParent(TControl* control)
{
    TWinControl* parent = control->Parent();
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (windowed && windowed->HandleAllocated() && parent->HandleAllocated()) {
        POINT p{0, 0};
        MapWindowPoints(windowed->Handle(), parent->Handle(), &p, 1);
        return p;
    }
    return POINT{control->Left(), control->Top()};
}

bool Overlap(const RECT& a, const RECT& b)
{
    RECT r;
    return IntersectRect(&r, &a, &b) != 0;
}

}  // namespace

template <class F>
template <class Paint>
void TSkinUtils<F>::Request(TControl* control, HDC dc, Paint paint)
{
    TWinControl* parent = control ? control->Parent() : nullptr;
    if (!parent || !dc) return;
    if (std::find(FRequests.begin(), FRequests.end(), control) != FRequests.end()) return;
    const POINT origin = OriginInParent(control);
    FRequests.push_back(control);
    const int saved = SaveDC(dc);
    auto done = [&] {
        RestoreDC(dc, saved);
        FRequests.erase(std::find(FRequests.begin(), FRequests.end(), control));
    };
    try {
        // Parent coordinates from here on: the control's corner lands where
        // the buffer's origin was.
        OffsetWindowOrgEx(dc, origin.x, origin.y, nullptr);
        SendMessageA(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), F::BackgroundRequest);
        paint(parent);
    } catch (...) {
        done();
        throw;
    }
    done();
}

template <class F>
void TSkinUtils<F>::PaintBackground(TControl* control, HDC dc, bool skipSiblings)
{
    Request(control, dc, [&](TWinControl* parent) {
        parent->PaintGraphicChildrenTo(dc);
        if constexpr (std::is_same_v<F, TKsFamily>) {
            if (skipSiblings || (control->ComponentState() & csDesigning)) return;
            const RECT bounds = control->BoundsRect();
            for (int i = 0; i < parent->ControlCount(); ++i) {
                auto* sibling = dynamic_cast<TWinControl*>(parent->Controls(i));
                if (!sibling || sibling == control || !sibling->Visible()) continue;
                // One that does not reach the control's place cannot show in its buffer.
                if (!Overlap(sibling->BoundsRect(), bounds)) continue;
                sibling->PaintTo(dc, sibling->Left(), sibling->Top());
            }
        } else {
            (void)skipSiblings;
        }
    });
}

template <class F>
void TSkinUtils<F>::PaintOwnerBackground(TControl* control, HDC dc)
{
    Request(control, dc, [](TWinControl*) {});
}

template <class F>
TKColor TSkinUtils<F>::KeyColor()
{
    if constexpr (std::is_same_v<F, TMpFamily>)
        return TMpColors::ckTransparent;
    else
        return 0xFFFF00FFu;
}

template <class F>
HRGN TSkinUtils<F>::CreateRegionFromBitmap(Bitmap* bitmap, int x, int y)
{
    if (!bitmap || bitmap->Empty() || bitmap->Width() <= 0 || bitmap->Height() <= 0)
        return ExtCreateRegion(nullptr, 0, nullptr);
    GdiFlush();
    const TKColor key = KeyColor() & 0x00FFFFFFu;
    const int width = bitmap->Width(), height = bitmap->Height();
    FRegionRects.clear();
    for (int row = 0; row < height; ++row) {
        const TKColor* p = bitmap->ScanLine(row);
        int i = 0;
        while (i < width) {
            while (i < width && (p[i] & 0x00FFFFFFu) == key) ++i;
            if (i == width) break;
            const int start = i;
            while (i < width && (p[i] & 0x00FFFFFFu) != key) ++i;
            FRegionRects.push_back(RECT{x + start, y + row, x + i, y + row + 1});
        }
    }
    const size_t count = FRegionRects.size();
    std::vector<uint8_t> block(sizeof(RGNDATAHEADER) + count * sizeof(RECT), 0);
    auto* data = reinterpret_cast<RGNDATA*>(block.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(count);
    data->rdh.nRgnSize = 0;
    data->rdh.rcBound = RECT{0, 0, width, height};
    if (count) std::memcpy(data->Buffer, FRegionRects.data(), count * sizeof(RECT));
    return ExtCreateRegion(nullptr, DWORD(block.size()), data);
}

template <class F>
typename TSkinUtils<F>::Bitmap* TSkinUtils<F>::GetPlasma(TKColor color1, TKColor color2)
{
    // Each family draws from a generator of its own.
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_real_distribution<double> uniform(0.0, 1.0);

    // The ramp: every channel (alpha too) from color1 to color2 in 236 steps.
    TKColor ramp[237];
    for (int i = 0; i <= 236; ++i) {
        TKColor c = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            int a = (color1 >> shift) & 0xFF, b = (color2 >> shift) & 0xFF;
            int step = int(std::nearbyint(i * std::abs(b - a) / 236.0));
            c |= TKColor(b >= a ? a + step : a - step) << shift;
        }
        ramp[i] = c;
    }

    constexpr int Side = 151;
    std::vector<uint8_t> grid(Side * Side, 0);
    auto at = [&](int px, int py) -> uint8_t& { return grid[size_t(py) * Side + size_t(px)]; };
    std::uniform_int_distribution<int> corner(0, 235);
    at(0, 0) = uint8_t(corner(generator));
    at(150, 0) = uint8_t(corner(generator));
    at(0, 150) = uint8_t(corner(generator));
    at(150, 150) = uint8_t(corner(generator));

    auto set = [&](int px, int py, int ax, int ay, int bx, int by) {
        if (at(px, py)) return;
        double v = (uniform(generator) - 0.5) * (std::abs(ax - bx) + std::abs(ay - by)) * 8 +
                   (at(ax, ay) + at(bx, by)) / 2.0;
        v = std::clamp(v, 1.0, 236.0);
        at(px, py) = uint8_t(v);
    };
    auto subdivide = [&](auto& self, int x1, int y1, int x2, int y2) -> void {
        if (x2 - x1 < 2 && y2 - y1 < 2) return;
        const int mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
        set(mx, y1, x1, y1, x2, y1);
        set(x2, my, x2, y1, x2, y2);
        set(mx, y2, x1, y2, x2, y2);
        set(x1, my, x1, y1, x1, y2);
        if (!at(mx, my)) at(mx, my) = uint8_t((at(x1, y1) + at(x2, y1) + at(x1, y2) + at(x2, y2)) / 4);
        self(self, x1, y1, mx, my);
        self(self, mx, y1, x2, my);
        self(self, mx, my, x2, y2);
        self(self, x1, my, mx, y2);
    };
    subdivide(subdivide, 0, 0, 150, 150);

    Bitmap* bitmap = new Bitmap;
    try {
        bitmap->SetSize(150, 150);
        GdiFlush();
        for (int py = 0; py < 150; ++py) {
            TKColor* row = bitmap->ScanLine(py);
            for (int px = 0; px < 150; ++px) row[px] = ramp[at(px, py)];
        }
    } catch (...) {
        delete bitmap;
        throw;
    }
    return bitmap;
}

template struct TSkinUtils<TKsFamily>;
template struct TSkinUtils<TMpFamily>;

// --- The media family's additions ---------------------------------------------

HWND TMpUtils::CaptureHandle = nullptr;
int TMpUtils::FCaptureCount = 0;

void TMpUtils::PaintGraphicBackground(TGraphicControl* control, HDC dc, bool skipSiblings)
{
    (void)skipSiblings;
    if (!control || !control->Parent() || !control->Parent()->HandleAllocated()) return;
    Request(control, dc, [](TWinControl*) {});
}

void TMpUtils::CaptureMouse(HWND window)
{
    if (FCaptureCount == 0) {
        CaptureHandle = window;
        SetCapture(window);
    }
    ++FCaptureCount;
}

void TMpUtils::EndCapture()
{
    if (FCaptureCount == 0) return;
    if (--FCaptureCount > 0) return;
    if (GetCapture() == CaptureHandle) ReleaseCapture();
    CaptureHandle = nullptr;
}

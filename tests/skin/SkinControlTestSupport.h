// What the buffered control, scroll bar and panel tests share: a form per
// test holding a host window painted with a gradient that answers every
// background request with the same pixels, colour helpers, a message pump
// and mouse messages posted at real coordinates of a window.
#pragma once

#include "Application.h"
#include "BufferedControls.h"
#include "Form.h"
#include "KColor.h"
#include "SavedPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace SkinTest {

// Compares two rectangles, printing the actual one.
#define EXPECT_RECT(expected, actual)                                                                         \
    do {                                                                                                      \
        const RECT e_ = (expected), a_ = (actual);                                                            \
        EXPECT_TRUE(e_.left == a_.left && e_.top == a_.top && e_.right == a_.right && e_.bottom == a_.bottom) \
            << a_.left << "," << a_.top << "," << a_.right << "," << a_.bottom;                               \
    } while (0)

// The host's pixel at (x, y) of its client area: every point its own colour.
inline TKColor GradientAt(int x, int y)
{
    return 0xFF000000u | TKColor(x & 255) << 16 | TKColor(y & 255) << 8 | TKColor((x + 2 * y) & 255);
}

inline TKColor Rgb(TKColor c) { return c & 0x00FFFFFFu; }

// A control's pixel (x, y), red, green and blue, as a kept picture of form
// shows it (the form's client area at client in the picture).
inline TKColor PicturePixel(const TSavedPicture& shot, POINT client, TControl* form, TControl* control, int x, int y)
{
    const POINT p = control->ClientToScreen(POINT{x, y});
    const POINT f = form->ClientToScreen(POINT{0, 0});
    const COLORREF c = shot.Pixel(client.x + p.x - f.x, client.y + p.y - f.y);
    return TKColor(GetRValue(c)) << 16 | TKColor(GetGValue(c)) << 8 | GetBValue(c);
}

// A framework colour as an opaque buffer pixel holds it, without alpha.
inline TKColor OpaqueRgb(TColor c) { return Rgb(KColor(c, 255)); }

// The red, green and blue of a control's buffer at (x, y).
template <class C>
TKColor BufferRgb(C* control, int x, int y)
{
    GdiFlush();
    return Rgb(control->Buffer()->GetPixel(x, y));
}

// Each channel of (top over bottom at alpha a) within 1 of the library's
// rule, computed here channel by channel: each share divided by 256 with
// rounding, the bottom weighed by 255 - a.
inline bool NearBlend(TKColor actual, TKColor top, TKColor bottom, unsigned a)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int t = (top >> shift) & 255, b = (bottom >> shift) & 255;
        const int want = int((t * a + 128) >> 8) + int((b * (255 - a) + 128) >> 8);
        const int got = (actual >> shift) & 255;
        if (got < want - 1 || got > want + 1) return false;
    }
    return true;
}

// A windowed host that paints the gradient, for its own paint and for every
// background request (whatever the family's mark), and counts the requests.
class TGradientHost : public TCustomControl {
    GANTREL_CLASS(TGradientHost)

    explicit TGradientHost(TComponent* owner) : TCustomControl(owner) { ControlStyle |= csOpaque; }
    ~TGradientHost() override
    {
        if (FBitmap) DeleteObject(FBitmap);
    }

    std::vector<LPARAM> Requests;

    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_ERASEBKGND) {
            if (m.WParam) {
                // The platform's own erase carries no mark.
                if (m.LParam) Requests.push_back(m.LParam);
                PaintGradient(reinterpret_cast<HDC>(m.WParam));
            }
            m.Result = 1;
            return;
        }
        TCustomControl::Dispatch(m);
    }

protected:
    void Paint() override { PaintGradient(Canvas()->Handle()); }

private:
    HBITMAP FBitmap = nullptr;
    int FW = 0, FH = 0;

    void PaintGradient(HDC dc)
    {
        const RECT client = ClientRect();
        const int w = std::max<int>(1, client.right), h = std::max<int>(1, client.bottom);
        if (!FBitmap || w != FW || h != FH) {
            if (FBitmap) DeleteObject(FBitmap);
            BITMAPINFO info = {};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = w;
            info.bmiHeader.biHeight = -h;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            void* bits = nullptr;
            FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            auto* pixels = static_cast<TKColor*>(bits);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) pixels[y * w + x] = GradientAt(x, y);
            FW = w;
            FH = h;
        }
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, FBitmap);
        BitBlt(dc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
};

// A form whose frame, as far as its controls can tell, blends or not: it
// answers KM_FORMISBLEND as a form frame would.
class TBlendAnswerForm : public TForm {
    GANTREL_CLASS(TBlendAnswerForm)
    TBlendAnswerForm() : TForm(nullptr, 0) {}
    bool Blended = false;
    int Queries = 0;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == KM_FORMISBLEND) {
            ++Queries;
            m.Result = Blended ? 1 : 0;
            return;
        }
        TForm::Dispatch(m);
    }
};

// A millisecond clock for timing what the message loop does.
inline double NowMs()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) * 1000.0 / double(f.QuadPart);
}

// The median gap between successive times[first - 1 .. last - 1]: the pace
// of a repeat once it runs.
inline double MedianGap(const std::vector<double>& times, size_t first, size_t last)
{
    std::vector<double> gaps;
    for (size_t i = first; i < last; ++i) gaps.push_back(times[i] - times[i - 1]);
    if (gaps.empty()) return 0;
    std::sort(gaps.begin(), gaps.end());
    return gaps[gaps.size() / 2];
}

// GDI objects the process holds. The platform's count where it keeps one;
// else how many more regions could still be made, counted down (fewer
// means more objects held). Wine keeps no count (GetGuiResources gives 0),
// and its handles carry a generation, so probing handle values misses some.
inline long GdiObjectsHeld()
{
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count) return long(count);
    std::vector<HRGN> made;
    made.reserve(70000);
    for (int i = 0; i < 70000; ++i) {
        HRGN r = CreateRectRgn(0, 0, 1, 1);
        if (!r) break;
        made.push_back(r);
    }
    for (HRGN r : made) DeleteObject(r);
    return -long(made.size());
}

// Runs the message loop for ms milliseconds, or until done says so.
inline void Pump(int ms, const std::function<bool()>& done = nullptr)
{
    const DWORD end = GetTickCount() + DWORD(ms);
    do {
        Application->ProcessMessages();
        if (done && done()) return;
        Sleep(1);
    } while (int(end - GetTickCount()) > 0);
    Application->ProcessMessages();
}

// A mouse message posted to the window at (x, y) of its client area, as the
// platform delivers the real mouse's, then handled.
inline void Mouse(TWinControl* window, UINT msg, int x, int y, WPARAM keys = 0)
{
    PostMessageA(window->Handle(), msg, keys, MAKELPARAM(x, y));
    Application->ProcessMessages();
}

// A key pressed and released on the window, as the keyboard delivers it to
// the focused window, then handled through the application's loop.
inline void Key(TWinControl* window, WORD key)
{
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(window->Handle(), WM_KEYDOWN, key, LPARAM(1 | (scan << 16)));
    PostMessageA(window->Handle(), WM_KEYUP, key, LPARAM(1 | (scan << 16) | (3u << 30)));
    Application->ProcessMessages();
}

// A form per test with a 360 x 240 gradient host at (0, 0).
class SkinFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TBlendAnswerForm;
        Form->SetBounds(20, 20, 420, 320);
        Host = new TGradientHost(Form);
        Host->SetParent(Form);
        Host->SetBounds(0, 0, 360, 240);
    }
    void TearDown() override { Form->Free(); }
    template <class T>
    T* Place(TWinControl* parent, int l, int t, int w, int h)
    {
        T* c = new T(Form);
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
    void Show()
    {
        Form->Show();
        Pump(30);
    }
    TBlendAnswerForm* Form = nullptr;
    TGradientHost* Host = nullptr;
};

// Counts the events it is handed.
struct Counter : TObject {
    int Count = 0;
    void Hit(TObject*) { ++Count; }
};

}  // namespace SkinTest

#include "ModalScript.h"

#include "Buttons.h"
#include "CheckBoxes.h"
#include "Form.h"
#include "SavedPicture.h"
#include "SysUtils.h"
#include "TrackBars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TModalScript* TModalScript::Current = nullptr;

TModalScript::TModalScript(int timeoutMs) : TimeoutMs(timeoutMs) {}

TModalScript::~TModalScript()
{
    Stop();
}

TModalScript& TModalScript::Then(TStep step)
{
    Steps.push_back(std::move(step));
    return *this;
}

void TModalScript::Start()
{
    Stop();
    Current = this;
    StartTick = GetTickCount();
    Timer = SetTimer(nullptr, 0, 50, Tick);
}

void TModalScript::Stop()
{
    if (Timer) KillTimer(nullptr, Timer);
    Timer = 0;
    if (Current == this) Current = nullptr;
}

void CALLBACK TModalScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (Current) Current->RunStep();
}

namespace {
// The modal form that has the focus now, if any.
TCustomForm* ActiveModalForm()
{
    auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(GetActiveWindow()));
    return form && form->Modal() ? form : nullptr;
}
}  // namespace

void TModalScript::RunStep()
{
    if (Next >= Steps.size()) {
        Stop();
        return;
    }
    TCustomForm* form = ActiveModalForm();
    if (int(GetTickCount() - StartTick) > TimeoutMs) {
        GaveUp = true;
        Stop();
        // A window left waiting for the user goes, so that the test goes on.
        if (form) form->ModalResult = mrCancel;
        return;
    }
    if (!form) return;
    Ran = true;
    // A step may pump messages itself: no tick may run it a second time.
    KillTimer(nullptr, Timer);
    Timer = 0;
    bool done = false;
    // No exception may leave a timer callback.
    try {
        done = Steps[Next]();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "step " << Next << ": " << e.what();
        GaveUp = true;
        Stop();
        form->ModalResult = mrCancel;
        return;
    }
    if (done) ++Next;
    if (Current == this && Next < Steps.size()) Timer = SetTimer(nullptr, 0, 50, Tick);
}

void TModalScript::Click(TButton* button)
{
    PostMessageA(button->Handle(), BM_CLICK, 0, 0);
}

void TModalScript::Click(TWinControl* control)
{
    RECT r;
    GetClientRect(control->Handle(), &r);
    LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(control->Handle(), WM_LBUTTONUP, 0, at);
}

void TModalScript::Type(TEdit* edit, const std::string& text)
{
    HWND h = edit->Handle();
    SendMessageA(h, EM_SETSEL, 0, -1);
    if (text.empty()) PostMessageA(h, WM_CHAR, VK_BACK, 1);
    for (char c : text) PostMessageA(h, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}

void TModalScript::Key(TWinControl* control, WORD key)
{
    // A hidden control cannot take the focus; its window still takes keys.
    if (control->CanFocus()) control->SetFocus();
    LPARAM scan = LPARAM(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(control->Handle(), WM_KEYDOWN, key, scan | 1);
    PostMessageA(control->Handle(), WM_KEYUP, key, scan | 0xC0000001);
}

namespace {

const COLORREF Black = RGB(0, 0, 0), White = RGB(255, 255, 255);

::testing::AssertionResult Near(COLORREF actual, COLORREF expected)
{
    if (NearColour(actual, expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << actual << " instead of " << expected;
}

// Every channel moved by t and held to 0..255, as a bevel ring shades a pixel.
COLORREF Shaded(COLORREF c, int t)
{
    auto channel = [t](int v) { return std::clamp(v + t, 0, 255); };
    return RGB(channel(GetRValue(c)), channel(GetGValue(c)), channel(GetBValue(c)));
}

// The skinned controls as the application's windows wear them; at (x, y)
// is a pixel of the control.
void ExpectStyle(TControl* control, const std::function<COLORREF(int, int)>& at)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int w = control->Width(), h = control->Height();
    // A button's face is a vertical gradient drawn one pixel past every
    // edge, which the buffer cuts at the top but has a spare row for at the
    // bottom; sampled clear of the bevel and the caption.
    auto faceRow = [h](COLORREF top, COLORREF bottom, int y) { return GradientBand(top, bottom, y, h + 1); };
    auto expectFace = [&](COLORREF top, COLORREF bottom) {
        EXPECT_TRUE(Near(at(5, 5), faceRow(top, bottom, 5)));
        EXPECT_TRUE(Near(at(5, h - 6), faceRow(top, bottom, h - 6)));
    };
    if (auto* button = dynamic_cast<TEpButton*>(control)) {
        expectFace(face, White);
        // No border: the outer bevel ring, lightened and darkened by 80, is the edge.
        EXPECT_TRUE(Near(at(0, h / 2), Shaded(faceRow(face, White, h / 2), 80)));
        EXPECT_TRUE(Near(at(w - 1, h / 2), Shaded(faceRow(face, White, h / 2), -80)));
        EXPECT_TRUE(button->Font()->Style() & (1u << fsBold));
    } else if (auto* media = dynamic_cast<TMpMediaButton*>(control)) {
        expectFace(RGB(128, 0, 0), RGB(128, 128, 128));
        bool silver = false;
        for (int x = 0; x < w; ++x) silver = silver || at(x, h / 2) == RGB(192, 192, 192);
        EXPECT_TRUE(silver) << "no silver in the caption";
        EXPECT_EQ(mrOk, media->ModalResult());
    } else if (dynamic_cast<TEpCheckBox*>(control) || dynamic_cast<TEpRadioButton*>(control)) {
        // A black-framed box at the left: the check box's 12 wide in the
        // window colour, the radio buttons' 15 wide from face to white.
        const bool check = dynamic_cast<TEpCheckBox*>(control) != nullptr;
        const int box = check ? 12 : 15, top = (h - box) / 2, mid = top + box / 2;
        EXPECT_EQ(Black, at(0, mid));
        EXPECT_EQ(Black, at(box - 1, mid));
        EXPECT_NE(Black, at(box, mid));
        const COLORREF window = GetSysColor(COLOR_WINDOW);
        EXPECT_TRUE(Near(at(1, top + 1), check ? window : GradientBand(face, White, 1, box)));
        EXPECT_TRUE(Near(at(box - 2, top + 1), check ? window : GradientBand(face, White, box - 2, box)));
    } else if (auto* bar = dynamic_cast<TEpTrackBar*>(control)) {
        // Along the track and across it: long ticks at both ends on the top
        // or left side, the thumb 9 long and 20 across from 12, framed black,
        // clear of the bar's grey border line on the far side.
        const bool horizontal = bar->Orientation() == toHorizontal;
        auto p = [&](int along, int side) { return horizontal ? at(along, side) : at(side, along); };
        const int length = horizontal ? w : h;
        const int c = 13 + int(std::nearbyint(double(bar->Position() - bar->Min()) * (length - 27) /
                                              (bar->Max() - bar->Min())));
        EXPECT_EQ(Black, p(13, 8));
        EXPECT_EQ(Black, p(length - 14, 8));
        EXPECT_EQ(Black, p(c - 4, 22));
        EXPECT_EQ(RGB(128, 128, 128), p(c, (horizontal ? h : w) - 1));
        // Its face runs from face at its top to white at its bottom.
        const int rows = horizontal ? 20 : 9;
        EXPECT_TRUE(Near(horizontal ? at(c, 13) : at(22, c - 3), GradientBand(face, White, 1, rows)));
        EXPECT_TRUE(Near(horizontal ? at(c, 30) : at(22, c + 3), GradientBand(face, White, rows - 2, rows)));
    }
}

}  // namespace

void TModalScript::KeepPicture(TForm* dialog, const std::string& name)
{
    TSavedPicture picture;
    POINT client{};
    const bool kept = KeepWindowPicture(dialog->Handle(), ExeDirectory(), name, picture, client);
    EXPECT_TRUE(kept) << name;
    if (!kept) return;
    for (int i = 0; i < dialog->ComponentCount(); ++i) {
        auto* control = dynamic_cast<TWinControl*>(dialog->Components(i));
        if (!control || !control->HandleAllocated() || !IsWindowVisible(control->Handle())) continue;
        POINT origin{0, 0};
        MapWindowPoints(control->Handle(), dialog->Handle(), &origin, 1);
        SCOPED_TRACE(name + ": " + control->Name());
        const POINT at{client.x + origin.x, client.y + origin.y};
        ExpectStyle(control, [&](int x, int y) { return picture.Pixel(at.x + x, at.y + y); });
    }
}

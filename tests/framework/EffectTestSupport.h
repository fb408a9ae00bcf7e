// What the effect control tests share: a form of their own per test (with
// a borderless red panel where the control under test sits on one), a
// windowless sibling in one colour, and the pixels a control paints alone.
#pragma once

#include "FillControl.h"
#include "Form.h"
#include "Panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace EffectTest {

// Counts the events it is handed.
struct Counter : TObject {
    int Count = 0;
    void Hit(TObject*) { ++Count; }
};

// What the control itself paints, at (0, 0) of a fresh bitmap margin pixels
// larger each way, first filled with background unless that is clNone.
// Clipped to the control as its parent clips it.
inline void PaintControl(TControl* control, TBitmap& into, int margin = 0, TColor background = clNone)
{
    into.SetSize(control->Width() + margin, control->Height() + margin);
    if (background != clNone) {
        into.Canvas()->Brush()->SetColor(background);
        into.Canvas()->FillRect(RECT{0, 0, into.Width(), into.Height()});
    }
    HDC dc = into.Canvas()->Handle();
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
}

// How many pixels of b satisfy which.
inline int CountPixels(TBitmap& b, const std::function<bool(COLORREF)>& which)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (which(b.Canvas()->Pixel(x, y))) ++n;
    return n;
}

// From each corner of shape's box inward on a staircase along the diagonal
// (which no one-pixel curve slips through): the painted frame (the first
// pixel off face by more than a blur's trace) begins where the shape does.
inline void ExpectFrameFollowsTheCorners(TBitmap& painted, HRGN shape, COLORREF face)
{
    RECT box;
    GetRgnBox(shape, &box);
    const int corners[4][4] = {{box.left, box.top, 1, 1}, {box.right - 1, box.top, -1, 1},
                               {box.left, box.bottom - 1, 1, -1}, {box.right - 1, box.bottom - 1, -1, -1}};
    auto off = [&](COLORREF c) {
        return std::max({std::abs(GetRValue(c) - GetRValue(face)), std::abs(GetGValue(c) - GetGValue(face)),
                         std::abs(GetBValue(c) - GetBValue(face))}) > 32;
    };
    for (const auto& c : corners) {
        auto until = [&](const std::function<bool(int, int)>& which) {
            int i = 0;
            while (i < 80 && !which(c[0] + c[2] * ((i + 1) / 2), c[1] + c[3] * (i / 2))) ++i;
            return i;
        };
        const int inShape = until([&](int x, int y) { return PtInRegion(shape, x, y) != 0; });
        const int inFrame = until([&](int x, int y) { return off(painted.Canvas()->Pixel(x, y)); });
        EXPECT_NEAR(inFrame, inShape, 2) << "from the corner " << c[0] << "," << c[1];
    }
}

const COLORREF PanelColour = RGB(200, 0, 0);

// A form of the given size for each test, freed with all it owns.
class FormTest : public ::testing::Test {
protected:
    void NewForm(int width, int height)
    {
        Form = new TForm(nullptr, 0);
        Form->SetBounds(0, 0, width, height);
    }
    void TearDown() override { Form->Free(); }
    TForm* Form = nullptr;
};

// A 300 x 200 form with a borderless 200 x 150 panel in PanelColour at its
// top-left, the parent of the control under test.
class PanelFormTest : public FormTest {
protected:
    void SetUp() override
    {
        NewForm(300, 200);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBevelOuter(bvNone);
        Panel->SetBounds(0, 0, 200, 150);
        Panel->SetColor(TColor(PanelColour));
    }
    TPanel* Panel = nullptr;
};

}  // namespace EffectTest

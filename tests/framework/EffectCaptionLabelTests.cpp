// The caption labels: the gradient and see-through blends of TepLabel, the
// textured letters of TepBitLabel and their cache, the halved shadow of
// TepShadowLabel, the wave label's plain caption without a divisor, and
// their properties read from form text.
#include "CaptionLabels.h"
#include "EffectTestSupport.h"
#include "Reader.h"

#include <cmath>

using namespace EffectTest;

namespace {

class CaptionLabelTest : public PanelFormTest {
protected:

    template <class Label>
    Label* Place(int w = 0, int h = 0)
    {
        Label* label = new Label(Form);
        label->SetParent(Panel);
        label->SetBounds(10, 10, w ? w : label->Width(), h ? h : label->Height());
        return label;
    }
    // What the control paints, at (0, 0) of a fresh fuchsia bitmap, clipped to it.
    static void PaintAlone(TControl* control, TBitmap& into) { PaintControl(control, into, 0, clFuchsia); }
    static int Count(TBitmap& b, const std::function<bool(COLORREF)>& which) { return CountPixels(b, which); }
    static SIZE TextSize(TFont* font, const std::string& text)
    {
        TBitmap b;
        b.SetSize(1, 1);
        b.Canvas()->Font()->Assign(font);
        return b.Canvas()->TextExtent(text);
    }
    static int CountOf(TBitmap& b, COLORREF c)
    {
        return Count(b, [c](COLORREF p) { return p == c; });
    }
};

}  // namespace

TEST_F(CaptionLabelTest, ConstructorValues)
{
    TepLabel* label = Place<TepLabel>();
    EXPECT_EQ(65, label->Width());
    EXPECT_EQ(17, label->Height());
    EXPECT_EQ(clLime, label->InnerColor());
    EXPECT_EQ(clLime, label->OuterColor());
    EXPECT_TRUE(label->UseInnerColor() && label->UseOuterColor() && label->Text3D());
    EXPECT_FALSE(label->GradEffect() || label->MiddleTransparent() || label->Transparent());
    TepBitLabel* bit = Place<TepBitLabel>();
    EXPECT_EQ(60, bit->Width());
    EXPECT_EQ(20, bit->Height());
    EXPECT_EQ(clWhite, bit->TransparentColor());
    EXPECT_EQ(clBtnShadow, bit->OuterColor());
    EXPECT_EQ(clBtnHighlight, bit->InnerColor());
    EXPECT_FALSE(bit->Text3D());
    EXPECT_EQ("", bit->Caption());
    TepShadowLabel* shadow = Place<TepShadowLabel>();
    EXPECT_EQ(65, shadow->Width());
    EXPECT_EQ(0, shadow->ShadowOffset());
    EXPECT_FALSE(shadow->Transparent());
    TepWaveLabel* wave = Place<TepWaveLabel>();
    EXPECT_EQ(17, wave->Height());
    EXPECT_EQ(1, wave->TextX());
    EXPECT_EQ(1, wave->TextY());
    EXPECT_EQ(0, wave->XDiv());
    EXPECT_EQ(0, wave->RatioVal());
}

TEST_F(CaptionLabelTest, OpaqueLabelWithGradientThenTheCaptionOnTop)
{
    TepLabel* label = Place<TepLabel>();
    label->SetColor(TColor(RGB(200, 0, 0)));
    label->SetGradColor(TColor(RGB(0, 0, 200)));
    label->SetGradKind(gdLeft);
    label->SetGradEffect(true);
    TBitmap plain;
    PaintAlone(label, plain);
    // Over the off-screen bitmap (66 wide): the gradient colour at x 0, the
    // own colour weighted x / 65 towards the right.
    for (int x : {0, 32, 64}) {
        double t = x / 65.0;
        COLORREF expected = RGB(std::lround(200 * t), 0, std::lround(200 * (1 - t)));
        EXPECT_EQ(expected, plain.Canvas()->Pixel(x, 8)) << x;
    }
    label->SetText3D(false);
    label->Font()->SetColor(TColor(RGB(255, 255, 0)));
    label->SetCaption("HI");
    TBitmap text;
    PaintAlone(label, text);
    // The caption's box, measured in the label's font: x 2, centred vertically.
    SIZE box = TextSize(label->Font(), "HI");
    const int top = 17 / 2 - box.cy / 2;
    int yellow = 0, outside = 0;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 65; ++x) {
            COLORREF p = text.Canvas()->Pixel(x, y);
            if (p == RGB(255, 255, 0)) ++yellow;
            bool inBox = x >= 2 && x < 2 + box.cx && y >= top && y < top + box.cy;
            if (!inBox && p != plain.Canvas()->Pixel(x, y)) ++outside;
        }
    EXPECT_GT(yellow, 0);  // the caption lies on top of the gradient
    EXPECT_EQ(0, outside);  // and nothing else of the gradient changed
}

TEST_F(CaptionLabelTest, SeeThroughLabelBlendsHalfWithItsColourOrItsGradient)
{
    TepLabel* label = Place<TepLabel>();
    label->SetColor(TColor(RGB(0, 0, 100)));
    label->SetTransparent(true);
    label->SetMiddleTransparent(true);
    TBitmap out;
    PaintAlone(label, out);
    EXPECT_EQ(RGB(100, 0, 50), out.Canvas()->Pixel(0, 0));  // the panel's (200, 0, 0) halved with the colour
    EXPECT_EQ(RGB(100, 0, 50), out.Canvas()->Pixel(64, 16));
    // With the gradient: the gradient of the label's colour towards GradColor, blended half.
    label->SetGradColor(TColor(RGB(0, 200, 0)));
    label->SetGradKind(gdLeft);
    label->SetGradEffect(true);
    PaintAlone(label, out);
    EXPECT_EQ(RGB(100, 100, 0), out.Canvas()->Pixel(0, 5));
}

TEST_F(CaptionLabelTest, BitLabelFillsItsLettersWithTheWallpaperAndCachesThem)
{
    TepBitLabel* label = Place<TepBitLabel>(80, 30);
    label->SetColor(TColor(RGB(0, 0, 120)));
    label->Font()->SetColor(clBlack);
    const COLORREF bg = RGB(0, 0, 120), green = RGB(10, 200, 30), blue = RGB(20, 40, 250);
    label->SetCaption("HH");
    TBitmap out;
    PaintAlone(label, out);
    EXPECT_EQ(80 * 30, CountOf(out, bg));  // no wallpaper: nothing drawn
    TBitmap paper;
    paper.SetSize(4, 4);
    paper.Canvas()->Brush()->SetColor(TColor(green));
    paper.Canvas()->FillRect(RECT{0, 0, 4, 4});
    label->SetWallpaper(&paper);
    PaintAlone(label, out);
    int letters = CountOf(out, green);
    EXPECT_GT(letters, 0);
    EXPECT_EQ(80 * 30, letters + CountOf(out, bg));  // only letters and background
    ASSERT_FALSE(label->TextImage()->Empty());
    const int firstWidth = label->TextImage()->Width();
    EXPECT_EQ(label->TextImage()->Height(), out.Canvas()->TextHeight("HH") + 10);

    // The wallpaper's pixels change behind the label's back: repaints reuse
    // the cached letters.
    label->Wallpaper()->Canvas()->Brush()->SetColor(TColor(blue));
    label->Wallpaper()->Canvas()->FillRect(RECT{0, 0, 4, 4});
    PaintAlone(label, out);
    PaintAlone(label, out);
    EXPECT_EQ(letters, CountOf(out, green));
    EXPECT_EQ(0, CountOf(out, blue));
    // A new caption builds them again, once, from the wallpaper as it is now.
    label->SetCaption("HHH");
    PaintAlone(label, out);
    EXPECT_EQ(0, CountOf(out, green));
    EXPECT_GT(CountOf(out, blue), letters);
    EXPECT_GT(label->TextImage()->Width(), firstWidth);
    // So does a new see-through colour.
    label->Wallpaper()->Canvas()->Brush()->SetColor(TColor(green));
    label->Wallpaper()->Canvas()->FillRect(RECT{0, 0, 4, 4});
    PaintAlone(label, out);
    EXPECT_EQ(0, CountOf(out, green));
    label->SetTransparentColor(clFuchsia);
    PaintAlone(label, out);
    EXPECT_GT(CountOf(out, green), 0);
    EXPECT_EQ(0, CountOf(out, blue));
    // An empty caption draws nothing.
    label->SetCaption("");
    PaintAlone(label, out);
    EXPECT_EQ(80 * 30, CountOf(out, bg));
}

TEST_F(CaptionLabelTest, ShadowPixelsAreHalfTheBackground)
{
    TepShadowLabel* label = Place<TepShadowLabel>(80, 24);
    label->SetColor(TColor(RGB(200, 100, 50)));
    label->Font()->SetColor(TColor(RGB(0, 0, 255)));
    const COLORREF bg = RGB(200, 100, 50), half = RGB(100, 50, 25), text = RGB(0, 0, 255);
    label->SetCaption("HIH");
    label->SetShadowOffset(3);
    TBitmap out;
    PaintAlone(label, out);
    // Outside the caption's own box (left 1, centred vertically) there are
    // only the background and the shadow, exactly half the background.
    SIZE box = TextSize(label->Font(), "HIH");
    const int top = 24 / 2 - box.cy / 2;
    auto inBox = [&](int x, int y) { return x >= 1 && x < 1 + box.cx && y >= top && y < top + box.cy; };
    auto outside = [&](const std::function<bool(COLORREF)>& which) {
        int n = 0;
        for (int y = 0; y < out.Height(); ++y)
            for (int x = 0; x < out.Width(); ++x)
                if (!inBox(x, y) && which(out.Canvas()->Pixel(x, y))) ++n;
        return n;
    };
    EXPECT_GT(outside([&](COLORREF p) { return p == half; }), 0);
    EXPECT_EQ(0, outside([&](COLORREF p) { return p != half && p != bg; }));
    EXPECT_GT(CountOf(out, text), 0);
    // A grey background halves to (96, 96, 96), white to (127, 127, 127).
    label->SetColor(TColor(RGB(192, 192, 192)));
    PaintAlone(label, out);
    EXPECT_GT(CountOf(out, RGB(96, 96, 96)), 0);
    label->SetColor(clWhite);
    PaintAlone(label, out);
    EXPECT_GT(CountOf(out, RGB(127, 127, 127)), 0);

    // Offset 0 without blur: the shadow lies under the caption and shows
    // only one pixel down and right of a letter pixel.
    label->SetColor(TColor(bg));
    label->SetShadowOffset(0);
    PaintAlone(label, out);
    int shown = 0;
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) {
            if (out.Canvas()->Pixel(x, y) != half) continue;
            ++shown;
            ASSERT_TRUE(x > 0 && y > 0) << x << "," << y;
            EXPECT_EQ(text, out.Canvas()->Pixel(x - 1, y - 1)) << x << "," << y;
        }
    EXPECT_GT(shown, 0);
    // Blurred, the shadow stays at or below the background's values.
    label->SetShadowOffset(2);
    label->SetBlurShadow(true);
    PaintAlone(label, out);
    EXPECT_EQ(0, outside([&](COLORREF p) { return GetRValue(p) > 200 || GetGValue(p) > 100 || GetBValue(p) > 50; }));
    EXPECT_GT(outside([&](COLORREF p) { return p != bg; }), 0);
}

TEST_F(CaptionLabelTest, WaveLabelWithoutADivisorShowsThePlainCaption)
{
    TepWaveLabel* label = Place<TepWaveLabel>(80, 20);
    label->SetColor(TColor(RGB(0, 120, 0)));
    label->Font()->SetColor(TColor(RGB(255, 255, 0)));
    label->SetCaption("Wave");
    label->SetTextX(3);
    label->SetYDiv(3);
    label->SetRatioVal(2);
    // The plain caption: the colour, the text at (TextX, TextY).
    TBitmap expected;
    expected.SetSize(80, 20);
    expected.Canvas()->Brush()->SetColor(TColor(RGB(0, 120, 0)));
    expected.Canvas()->FillRect(RECT{0, 0, 80, 20});
    expected.Canvas()->Font()->Assign(label->Font());
    expected.Canvas()->Brush()->SetStyle(bsClear);
    expected.Canvas()->TextOut(3, 1, "Wave");
    ASSERT_GT(CountOf(expected, RGB(255, 255, 0)), 0);
    TBitmap out;
    PaintAlone(label, out);
    int differing = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x)
            if (out.Canvas()->Pixel(x, y) != expected.Canvas()->Pixel(x, y)) ++differing;
    EXPECT_EQ(0, differing);
    // With both divisors the caption bends.
    label->SetXDiv(3);
    PaintAlone(label, out);
    differing = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x)
            if (out.Canvas()->Pixel(x, y) != expected.Canvas()->Pixel(x, y)) ++differing;
    EXPECT_GT(differing, 0);
    // The 3-D passes in their colours.
    label->SetXDiv(0);
    label->SetUseInnerColor(true);
    label->SetInnerColor(TColor(RGB(255, 0, 0)));
    PaintAlone(label, out);
    EXPECT_GT(CountOf(out, RGB(255, 0, 0)), 0);
}

TEST_F(CaptionLabelTest, LabelsAreReadFromFormText)
{
    RegisterCaptionLabelClasses();
    TForm* form = new TForm(nullptr, 0);
    ReadFormText(form,
                 "object F: TForm\n"
                 "  object L1: TepLabel\n    Caption = 'One'\n    GradEffect = True\n    GradKind = gdHCenter\n"
                 "    GradColor = clRed\n    Alignment = taCenter\n    Text3D = False\n    MiddleTransparent = True\n"
                 "    Transparent = True\n  end\n"
                 "  object L2: TepBitLabel\n    TransparentColor = clBlack\n    Text3D = True\n    Alignment = taRightJustify\n"
                 "  end\n"
                 "  object L3: TepShadowLabel\n    ShadowOffset = 4\n    BlurShadow = True\n  end\n"
                 "  object L4: TepWaveLabel\n    TextX = 5\n    TextY = 2\n    XDiv = 7\n    YDiv = 8\n    RatioVal = 3\n"
                 "    UseInnerColor = True\n    InnerColor = clBlue\n  end\n"
                 "end\n",
                 nullptr);
    auto* l1 = form->FindComponent<TepLabel>("L1");
    ASSERT_NE(nullptr, l1);
    EXPECT_EQ("One", l1->Caption());
    EXPECT_TRUE(l1->GradEffect());
    EXPECT_EQ(gdHCenter, l1->GradKind());
    EXPECT_EQ(clRed, l1->GradColor());
    EXPECT_EQ(taCenter, l1->Alignment());
    EXPECT_FALSE(l1->Text3D());
    EXPECT_TRUE(l1->MiddleTransparent() && l1->Transparent());
    auto* l2 = form->FindComponent<TepBitLabel>("L2");
    ASSERT_NE(nullptr, l2);
    EXPECT_EQ(clBlack, l2->TransparentColor());
    EXPECT_TRUE(l2->Text3D());
    EXPECT_EQ(taRightJustify, l2->Alignment());
    auto* l3 = form->FindComponent<TepShadowLabel>("L3");
    ASSERT_NE(nullptr, l3);
    EXPECT_EQ(4, l3->ShadowOffset());
    EXPECT_TRUE(l3->BlurShadow());
    auto* l4 = form->FindComponent<TepWaveLabel>("L4");
    ASSERT_NE(nullptr, l4);
    EXPECT_EQ(5, l4->TextX());
    EXPECT_EQ(2, l4->TextY());
    EXPECT_EQ(7, l4->XDiv());
    EXPECT_EQ(8, l4->YDiv());
    EXPECT_EQ(3, l4->RatioVal());
    EXPECT_TRUE(l4->UseInnerColor());
    EXPECT_EQ(clBlue, l4->InnerColor());
    form->Free();
}

// The effect control bases: the off-screen paint, the copy of the parent
// and of the siblings beneath (never those above), effects over the face,
// repainting a see-through control when it moves, the glyph-button state
// images, their glyph read from form text, and the glyph-and-text layout.
#include "Application.h"
#include "EffectControl.h"
#include "EffectTestSupport.h"
#include "Reader.h"

using namespace EffectTest;

namespace {

class TProbe : public TEffectGControl {
    GANTREL_CLASS(TProbe)
    explicit TProbe(TComponent* owner) : TEffectGControl(owner) {}
    int Faces = 0;
    bool Effects = false;
    int BitmapWidth = 0, BitmapHeight = 0;

protected:
    void PaintFace() override
    {
        ++Faces;
        BitmapWidth = OffScreen()->Width();
        BitmapHeight = OffScreen()->Height();
        if (Effects) PaintEf();
    }
    void PaintEffects() override { EffectBmp()->AddMiddleColor(clBlack); }
};

class TWinProbe : public TEffectCControl {
    GANTREL_CLASS(TWinProbe)
    explicit TWinProbe(TComponent* owner) : TEffectCControl(owner) {}
};

class EffectControlTest : public PanelFormTest {
protected:
    // A windowless sibling on the panel.
    TFill* Solid(TColor color, int l, int t, int w, int h) { return AddFill(Form, Panel, color, l, t, w, h); }
    // What the control itself paints, at (0, 0) of a fresh fuchsia bitmap 4 pixels larger.
    static void PaintAlone(TControl* control, TBitmap& into) { PaintControl(control, into, 4, clFuchsia); }
};

}  // namespace

TEST_F(EffectControlTest, OpaqueControlPaintsItsColourThroughABitmapOnePixelLarger)
{
    TProbe* probe = new TProbe(Form);
    probe->SetParent(Panel);
    probe->SetBounds(10, 10, 20, 12);
    probe->SetColor(clBlue);
    EXPECT_TRUE(probe->ControlStyle & csOpaque);
    TBitmap out;
    PaintAlone(probe, out);
    EXPECT_EQ(probe->Faces, 1);
    EXPECT_EQ(probe->BitmapWidth, 21);
    EXPECT_EQ(probe->BitmapHeight, 13);
    EXPECT_EQ(out.Canvas()->Pixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(out.Canvas()->Pixel(19, 11), RGB(0, 0, 255));
}

TEST_F(EffectControlTest, TransparentControlShowsTheParentAndTheSiblingBeneathNotTheOneAbove)
{
    Solid(TColor(RGB(0, 0, 200)), 0, 0, 30, 150);  // beneath, overlapping the left part
    TProbe* probe = new TProbe(Form);
    probe->SetParent(Panel);
    probe->SetBounds(20, 20, 40, 30);
    probe->SetTransparent(true);
    EXPECT_FALSE(probe->ControlStyle & csOpaque);
    Solid(TColor(RGB(0, 200, 0)), 50, 0, 30, 150);  // above, overlapping the right part
    TBitmap out;
    PaintAlone(probe, out);
    auto px = [&](int x, int y) { return out.Canvas()->Pixel(x, y); };
    EXPECT_EQ(px(0, 0), RGB(0, 0, 200));   // panel x 20: the sibling beneath
    EXPECT_EQ(px(9, 29), RGB(0, 0, 200));  // panel x 29
    EXPECT_EQ(px(10, 0), RGB(200, 0, 0));  // panel x 30: the panel
    EXPECT_EQ(px(35, 10), RGB(200, 0, 0)); // panel x 55: under the sibling above, which is not copied
    EXPECT_EQ(px(39, 29), RGB(200, 0, 0));
    EXPECT_EQ(px(40, 0), RGB(255, 0, 255));  // the bitmap's extra column stays outside the clip
    // Effects run over the copied background.
    probe->Effects = true;
    PaintAlone(probe, out);
    EXPECT_EQ(px(0, 0), RGB(0, 0, 100));
    EXPECT_EQ(px(35, 10), RGB(100, 0, 0));
}

TEST_F(EffectControlTest, WithoutAParentOnlyTheFillIsPainted)
{
    TProbe* probe = new TProbe(Form);
    probe->SetBounds(0, 0, 10, 10);
    probe->SetColor(clLime);
    probe->SetTransparent(true);
    TBitmap out;
    PaintAlone(probe, out);  // no parent: no copy, no fault
    EXPECT_EQ(probe->Faces, 1);
    // Its own colour in place of a parent's, over the control and no further.
    EXPECT_EQ(CountPixels(out, [](COLORREF c) { return c == RGB(0, 255, 0); }), 10 * 10);
    EXPECT_EQ(CountPixels(out, [](COLORREF c) { return c == RGB(255, 0, 255); }), 14 * 14 - 10 * 10);
}

TEST_F(EffectControlTest, TransparentWindowedControlSeesGraphicSiblingsAndTwoSeeThroughSiblingsDoNotRecurse)
{
    Solid(TColor(RGB(0, 0, 200)), 0, 0, 30, 150);
    TWinProbe* a = new TWinProbe(Form);
    a->SetParent(Panel);
    a->SetBounds(10, 10, 60, 40);
    a->SetTransparent(true);
    TWinProbe* b = new TWinProbe(Form);
    b->SetParent(Panel);
    b->SetBounds(40, 20, 60, 40);
    b->SetTransparent(true);
    TBitmap out;
    out.SetSize(60, 40);
    a->PaintTo(out.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(out.Canvas()->Pixel(0, 0), RGB(0, 0, 200));
    EXPECT_EQ(out.Canvas()->Pixel(25, 5), RGB(200, 0, 0));
    // A see-through copy that reaches back into itself stops there.
    CopyParentImage1(b, out.Canvas());
    EXPECT_EQ(out.Canvas()->Pixel(59, 39), RGB(200, 0, 0));
}

TEST_F(EffectControlTest, AMovedTransparentControlRepaintsItsNewBackground)
{
    Form->Show();
    TFill* below = Solid(TColor(RGB(0, 0, 200)), 100, 0, 50, 150);
    (void)below;
    TProbe* probe = new TProbe(Form);
    probe->SetParent(Panel);
    probe->SetBounds(10, 10, 20, 20);
    probe->SetTransparent(true);
    Form->Update();
    Application->ProcessMessages();
    TBitmap out;
    PaintAlone(probe, out);
    EXPECT_EQ(out.Canvas()->Pixel(5, 5), RGB(200, 0, 0));
    int before = probe->Faces;
    probe->SetLeft(110);
    EXPECT_GT(probe->Faces, before);  // WM_MOVE repainted it at once
    PaintAlone(probe, out);
    EXPECT_EQ(out.Canvas()->Pixel(5, 5), RGB(0, 0, 200));
    // On screen too: the panel's window shows the sibling's colour through it.
    Application->ProcessMessages();
    HDC dc = GetDC(Panel->Handle());
    EXPECT_EQ(GetPixel(dc, 115, 15), RGB(0, 0, 200));
    EXPECT_EQ(GetPixel(dc, 15, 15), RGB(200, 0, 0));
    ReleaseDC(Panel->Handle(), dc);
}

TEST(EffectGlyphButton, StateImagesFollowTheCountOfImages)
{
    TForm* form = new TForm(nullptr, 0);
    TButtonGControl* b = new TButtonGControl(form);
    EXPECT_EQ(b->NumGlyphs(), 1);
    EXPECT_EQ(b->Margin(), -1);
    EXPECT_EQ(b->Spacing(), 0);
    EXPECT_EQ(b->GlyphIndex(true), 1);
    EXPECT_EQ(b->GlyphIndex(false), 1);  // one image: the same in every state
    b->SetNumGlyphs(4);
    EXPECT_EQ(b->GlyphIndex(false), 4);
    b->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(b->Hot());
    EXPECT_EQ(b->GlyphIndex(true), 2);
    b->SetBounds(0, 0, 20, 20);
    int clicks = 0;
    struct Counter : TObject {
        int* n;
        void Click(TObject*) { ++*n; }
    } counter;
    counter.n = &clicks;
    b->OnClick = MakeEvent<&Counter::Click>(&counter);
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(b->Pressed());
    EXPECT_EQ(b->GlyphIndex(true), 3);
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(b->Pressed());
    EXPECT_EQ(clicks, 1);  // once: the framework's own click is off
    b->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(b->Hot());
    b->SetNumGlyphs(3);
    b->Perform(CM_MOUSEENTER);
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(b->GlyphIndex(true), 2);  // three images: hot also when pressed
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    b->SetMargin(-4);
    EXPECT_EQ(b->Margin(), -1);
    b->SetMargin(3);
    EXPECT_EQ(b->Margin(), 3);
    form->Free();
}

TEST(EffectGlyphButton, EachBaseReadsItsGlyphFromFormText)
{
    RegisterClasses<TButtonGControl, TButtonGTControl, TButtonCControl>();
    // A 2 x 2 bitmap file, 24 bits: top row red, white; bottom row blue, green.
    const std::string data = "{424D4600000000000000360000002800000002000000020000000100180000000000100000000000000000"
                             "0000000000000000000000FF000000FF0000000000FFFFFFFF0000}";
    for (const char* kind : {"TButtonGControl", "TButtonGTControl", "TButtonCControl"}) {
        TForm* form = new TForm(nullptr, 0);
        const std::string text =
            std::string("object F: TForm\n  object B: ") + kind + "\n    Glyph.Data = " + data + "\n  end\nend\n";
        EXPECT_NO_THROW(ReadFormText(form, text, nullptr)) << kind;
        auto* button = dynamic_cast<TButtonGlyph*>(form->FindComponent("B"));
        TBitmap* glyph = button ? button->Glyph() : nullptr;
        EXPECT_EQ(glyph ? glyph->Width() : 0, 2) << kind;
        if (glyph && glyph->Width() == 2) {
            EXPECT_EQ(glyph->Canvas()->Pixel(0, 0), RGB(255, 0, 0)) << kind;
            EXPECT_EQ(glyph->Canvas()->Pixel(1, 1), RGB(0, 255, 0)) << kind;
        }
        form->Free();
    }
}

TEST(EffectGlyphButton, CalcLCoordPlacesGlyphAndText)
{
    int gx, gy, tx, ty;
    RECT r{0, 0, 100, 40};  // centre (50, 20)
    CalcLCoord(blGlyphLeft, r, 16, 16, 30, 10, -1, 4, gx, gy, tx, ty);
    EXPECT_EQ(gx, 50 - 25);
    EXPECT_EQ(tx, 50 + 25 - 30);
    EXPECT_EQ(gy, 12);
    EXPECT_EQ(ty, 15);
    CalcLCoord(blGlyphLeft, r, 16, 16, 30, 10, 5, 4, gx, gy, tx, ty);
    EXPECT_EQ(gx, 5);
    EXPECT_EQ(tx, 25);
    CalcLCoord(blGlyphRight, r, 16, 16, 30, 10, 5, 4, gx, gy, tx, ty);
    EXPECT_EQ(gx, 100 - 16 - 5);
    EXPECT_EQ(tx, 100 - 16 - 5 - 4 - 30);
    CalcLCoord(blGlyphTop, r, 16, 16, 30, 10, -1, 2, gx, gy, tx, ty);
    EXPECT_EQ(gy, 20 - 14);
    EXPECT_EQ(ty, 20 + 14 - 10);
    EXPECT_EQ(gx, 42);
    EXPECT_EQ(tx, 35);
    CalcLCoord(blGlyphBottom, r, 16, 16, 30, 10, 1, 2, gx, gy, tx, ty);
    EXPECT_EQ(gy, 40 - 16 - 1);
    EXPECT_EQ(ty, 40 - 16 - 1 - 2 - 10);
}

// Bevels, the image, the form mover and the splitter: the pixels they
// paint, and the splitter driven by the mouse messages its parent gets.
#include "Application.h"
#include "Bevels.h"
#include "Edit.h"
#include "EffectTestSupport.h"
#include "Splitter.h"

using namespace EffectTest;

namespace {

// What a windowless control paints, at (0, 0) of a bitmap 4 pixels larger filled with fuchsia.
void PaintAlone(TControl* control, TBitmap& into) { PaintControl(control, into, 4, clFuchsia); }

COLORREF Sys(int index) { return GetSysColor(index); }

class EffectBevelTest : public FormTest {
protected:
    void SetUp() override { NewForm(400, 300); }
};

}  // namespace

TEST_F(EffectBevelTest, FrameLoweredShowsAnEtchedLine)
{
    TepBevel* bevel = new TepBevel(Form);
    bevel->SetParent(Form);
    EXPECT_EQ(50, bevel->Width());
    EXPECT_EQ(50, bevel->Height());
    EXPECT_EQ(bsLowered, bevel->Style());
    bevel->SetShape(bsFrame);
    TBitmap image;
    PaintAlone(bevel, image);
    const COLORREF dark = Sys(COLOR_BTNSHADOW), light = Sys(COLOR_BTNHIGHLIGHT);
    ASSERT_NE(dark, light);
    // Each edge: a dark line with a light one just inside (top, left) or outside (right, bottom).
    EXPECT_EQ(dark, image.Canvas()->Pixel(20, 0));
    EXPECT_EQ(light, image.Canvas()->Pixel(20, 1));
    EXPECT_EQ(dark, image.Canvas()->Pixel(0, 20));
    EXPECT_EQ(light, image.Canvas()->Pixel(1, 20));
    EXPECT_EQ(dark, image.Canvas()->Pixel(48, 20));
    EXPECT_EQ(light, image.Canvas()->Pixel(49, 20));
    EXPECT_EQ(dark, image.Canvas()->Pixel(20, 48));
    EXPECT_EQ(light, image.Canvas()->Pixel(20, 49));
    EXPECT_EQ(COLORREF(RGB(255, 0, 255)), image.Canvas()->Pixel(20, 20));

    // Raised: the same lines with the colours swapped.
    bevel->SetStyle(bsRaised);
    PaintAlone(bevel, image);
    EXPECT_EQ(light, image.Canvas()->Pixel(20, 0));
    EXPECT_EQ(dark, image.Canvas()->Pixel(20, 1));
}

TEST_F(EffectBevelTest, BoxAndLinesTakeTheirColours)
{
    TepBevel* bevel = new TepBevel(Form);
    bevel->SetParent(Form);
    bevel->SetInnerColor(TColor(RGB(0, 200, 0)));
    bevel->SetOuterColor(TColor(RGB(0, 0, 200)));
    TBitmap image;
    PaintAlone(bevel, image);  // lowered box: outer colour top-left, inner bottom-right
    EXPECT_EQ(COLORREF(RGB(0, 0, 200)), image.Canvas()->Pixel(0, 10));
    EXPECT_EQ(COLORREF(RGB(0, 0, 200)), image.Canvas()->Pixel(10, 0));
    EXPECT_EQ(COLORREF(RGB(0, 200, 0)), image.Canvas()->Pixel(49, 10));
    EXPECT_EQ(COLORREF(RGB(0, 200, 0)), image.Canvas()->Pixel(10, 49));
    bevel->SetShape(bsRightLine);
    PaintAlone(bevel, image);
    EXPECT_EQ(COLORREF(RGB(0, 0, 200)), image.Canvas()->Pixel(48, 10));
    EXPECT_EQ(COLORREF(RGB(0, 200, 0)), image.Canvas()->Pixel(49, 10));
    EXPECT_EQ(COLORREF(RGB(255, 0, 255)), image.Canvas()->Pixel(0, 10));
}

TEST_F(EffectBevelTest, MediaBevelDrawsNestedRings)
{
    TepMediaBevel* bevel = new TepMediaBevel(Form);
    bevel->SetParent(Form);
    bevel->SetInnerColor(TColor(RGB(0, 200, 0)));
    bevel->SetOuterColor(TColor(RGB(0, 0, 200)));
    EXPECT_EQ(2, bevel->BevelWidth());
    TBitmap image;
    PaintAlone(bevel, image);
    EXPECT_EQ(COLORREF(RGB(0, 200, 0)), image.Canvas()->Pixel(20, 0));
    EXPECT_EQ(COLORREF(RGB(0, 200, 0)), image.Canvas()->Pixel(20, 1));
    EXPECT_EQ(COLORREF(RGB(255, 0, 255)), image.Canvas()->Pixel(20, 2));
    EXPECT_EQ(COLORREF(RGB(0, 0, 200)), image.Canvas()->Pixel(49, 20));
    EXPECT_EQ(COLORREF(RGB(0, 0, 200)), image.Canvas()->Pixel(48, 20));
    EXPECT_EQ(COLORREF(RGB(255, 0, 255)), image.Canvas()->Pixel(47, 20));
}

namespace {

// 8 x 8: the first column blue, the rest red.
void StripedGlyph(TBitmap& glyph)
{
    glyph.SetSize(8, 8);
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(RECT{0, 0, 8, 8});
    glyph.Canvas()->Brush()->SetColor(clBlue);
    glyph.Canvas()->FillRect(RECT{0, 0, 1, 8});
}

}  // namespace

TEST_F(EffectBevelTest, ImageWallStyleWinsOverStretch)
{
    TepImage* image = new TepImage(Form);
    image->SetParent(Form);
    image->SetBounds(0, 0, 30, 20);
    TBitmap glyph;
    StripedGlyph(glyph);
    image->SetGlyph(&glyph);
    image->SetStretch(true);
    TBitmap out;
    PaintAlone(image, out);
    // Stretched 30/8 wide: the blue column covers x 0..3 only.
    EXPECT_EQ(COLORREF(RGB(0, 0, 255)), out.Canvas()->Pixel(2, 5));
    EXPECT_EQ(COLORREF(RGB(255, 0, 0)), out.Canvas()->Pixel(8, 5));
    image->SetWallStyle(true);
    PaintAlone(image, out);
    for (int x : {0, 8, 16, 24}) EXPECT_EQ(COLORREF(RGB(0, 0, 255)), out.Canvas()->Pixel(x, 13)) << x;
    EXPECT_EQ(COLORREF(RGB(255, 0, 0)), out.Canvas()->Pixel(2, 5));
    EXPECT_EQ(COLORREF(RGB(255, 0, 0)), out.Canvas()->Pixel(29, 19));
}

TEST_F(EffectBevelTest, ImageGlyphTransparentLeavesTheBottomLeftColourOut)
{
    TepImage* image = new TepImage(Form);
    image->SetParent(Form);
    TBitmap glyph;
    StripedGlyph(glyph);  // bottom-left pixel blue
    image->SetGlyph(&glyph);
    image->SetGlyphTransparent(true);
    TBitmap out;
    PaintAlone(image, out);
    EXPECT_EQ(COLORREF(RGB(255, 0, 255)), out.Canvas()->Pixel(0, 3));
    EXPECT_EQ(COLORREF(RGB(255, 0, 0)), out.Canvas()->Pixel(3, 3));
    EXPECT_EQ(COLORREF(RGB(255, 0, 255)), out.Canvas()->Pixel(12, 3));  // nothing beyond the glyph
}

TEST_F(EffectBevelTest, MoveFormDragsItsOwner)
{
    TepMoveForm* mover = new TepMoveForm(Form);
    mover->SetParent(Form);
    mover->SetBounds(10, 10, 100, 100);
    Form->SetBounds(50, 60, 400, 300);
    HWND window = Form->Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(35, 27));
    EXPECT_EQ(50 + 25 - 10, Form->Left());  // the point inside the mover moved by (15, 7)
    EXPECT_EQ(60 + 17 - 10, Form->Top());
    EXPECT_EQ(400, Form->Width());
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(35, 27));
    int left = Form->Left();
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));
    EXPECT_EQ(left, Form->Left());
}

// --- TepSplitter --------------------------------------------------------

namespace {

class EffectSplitterTest : public EffectBevelTest {
protected:
    void SetUp() override
    {
        EffectBevelTest::SetUp();
        Parent = new TPanel(Form);
        Parent->SetParent(Form);
        Parent->SetBevelOuter(bvNone);
        Parent->SetBounds(0, 0, 300, 200);
    }
    TPanel* Side(TAlign align, int size)
    {
        TPanel* p = new TPanel(Form);
        p->SetParent(Parent);
        p->SetBevelOuter(bvNone);
        p->SetBounds(0, 0, size, size);
        p->SetAlign(align);
        return p;
    }
    TepSplitter* Split(int left)
    {
        TepSplitter* s = new TepSplitter(Form);
        s->SetLeft(left);
        s->SetParent(Parent);
        s->OnMoved = MakeEvent<&Counter::Hit>(&Moved);
        return s;
    }
    void Send(UINT msg, WPARAM keys, int x, int y) { SendMessageA(Parent->Handle(), msg, keys, MAKELPARAM(x, y)); }
    TPanel* Parent = nullptr;
    Counter Moved;
};

}  // namespace

TEST_F(EffectSplitterTest, Defaults)
{
    TepSplitter* s = Split(0);
    EXPECT_EQ(alLeft, s->Align());
    EXPECT_EQ(3, s->Width());
    EXPECT_EQ(30, s->MinSize());
    EXPECT_TRUE(s->Beveled());
    EXPECT_EQ(CursorHandle(crHSplit), s->Cursor);
    s->SetMinSize(0);
    EXPECT_EQ(1, s->MinSize());
}

TEST_F(EffectSplitterTest, NoNeighbourNoDrag)
{
    TepSplitter* s = Split(0);
    ASSERT_EQ(0, s->Left());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 1, 50);
    EXPECT_FALSE(s->Sizing());
    EXPECT_FALSE(s->LineVisible());
    Send(WM_MOUSEMOVE, MK_LBUTTON, 60, 50);
    EXPECT_FALSE(s->LineVisible());
    Send(WM_LBUTTONUP, 0, 60, 50);
    EXPECT_EQ(0, s->Left());
    EXPECT_EQ(0, Moved.Count);
}

TEST_F(EffectSplitterTest, LeftDragBeyondTheParentStopsAtTheLargestSize)
{
    TPanel* left = Side(alLeft, 100);
    TepSplitter* s = Split(100);
    TPanel* rest = Side(alClient, 10);
    ASSERT_EQ(100, s->Left());
    // No active control on the form: nothing to hook, the drag still works.
    ASSERT_EQ(nullptr, Form->ActiveControl());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 101, 50);
    ASSERT_TRUE(s->Sizing());
    EXPECT_TRUE(s->LineVisible());
    // The client part keeps MinSize: 300 - 3 - 30.
    EXPECT_EQ(267, s->MaxSize());
    Send(WM_MOUSEMOVE, MK_LBUTTON, 500, 50);
    EXPECT_EQ(267, s->NewSize());
    EXPECT_TRUE(s->LineVisible());
    Send(WM_LBUTTONUP, 0, 500, 50);
    EXPECT_FALSE(s->Sizing());
    EXPECT_FALSE(s->LineVisible());
    EXPECT_EQ(267, left->Width());
    EXPECT_EQ(267, s->Left());
    EXPECT_EQ(30, rest->Width());
    EXPECT_EQ(1, Moved.Count);

    // Dragged far to the left: MinSize.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 268, 50);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 2, 50);
    Send(WM_LBUTTONUP, 0, 2, 50);
    EXPECT_EQ(30, left->Width());
    EXPECT_EQ(2, Moved.Count);
}

TEST_F(EffectSplitterTest, EscapeGivesUpTheDragAndStillFiresOnMoved)
{
    TEdit* edit = new TEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(310, 10, 80, 20);
    struct Keys : TObject {
        int Count = 0;
        void Down(TObject*, WORD&, TShiftState) { ++Count; }
    } previous;
    edit->OnKeyDown = MakeEvent<&Keys::Down>(&previous);
    Form->SetActiveControl(edit);
    TPanel* left = Side(alLeft, 100);
    TepSplitter* s = Split(100);
    Side(alClient, 10);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 101, 50);
    ASSERT_TRUE(s->Sizing());
    Send(WM_MOUSEMOVE, MK_LBUTTON, 151, 50);
    EXPECT_EQ(150, s->NewSize());
    // Another key goes to the edit's own handler.
    SendMessageA(edit->Handle(), WM_KEYDOWN, 'A', 1);
    EXPECT_EQ(1, previous.Count);
    EXPECT_TRUE(s->Sizing());
    SendMessageA(edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(s->Sizing());
    EXPECT_FALSE(s->LineVisible());
    EXPECT_EQ(1, Moved.Count);
    EXPECT_EQ(100, left->Width());  // nothing applied
    Send(WM_LBUTTONUP, 0, 151, 50);
    EXPECT_EQ(100, left->Width());
    EXPECT_EQ(1, Moved.Count);
    // The edit has its own handler back.
    SendMessageA(edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(2, previous.Count);
}

TEST_F(EffectSplitterTest, BottomSplitterSizesTheControlBelow)
{
    TPanel* bottom = Side(alBottom, 50);
    TepSplitter* s = new TepSplitter(Form);
    s->SetAlign(alBottom);
    s->SetBounds(0, 140, 300, 3);
    s->SetParent(Parent);
    Side(alClient, 10);
    ASSERT_EQ(150, bottom->Top());
    ASSERT_EQ(147, s->Top());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 50, 148);
    ASSERT_TRUE(s->Sizing());
    Send(WM_MOUSEMOVE, MK_LBUTTON, 50, 128);
    Send(WM_LBUTTONUP, 0, 50, 128);
    EXPECT_EQ(70, bottom->Height());
    EXPECT_EQ(130, bottom->Top());
    EXPECT_EQ(200, bottom->Top() + bottom->Height());
}

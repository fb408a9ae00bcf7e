#include "Bevels.h"

#include "BmpUtils.h"
#include "GrUtils.h"
#include "Reader.h"
#include "Splitter.h"

namespace {

const TEnumNames BevelStyles = {"bsLowered", "bsRaised"};
const TEnumNames BevelShapes = {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine"};

void Line(TCanvas* canvas, TColor color, int x1, int y1, int x2, int y2)
{
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
}

// Upper-left edges in first, lower-right edges in second.
void BevelRect(TCanvas* canvas, int l, int t, int r, int b, TColor first, TColor second)
{
    canvas->Pen()->SetColor(first);
    canvas->MoveTo(l, b);
    canvas->LineTo(l, t);
    canvas->LineTo(r, t);
    canvas->Pen()->SetColor(second);
    canvas->LineTo(r, b);
    canvas->LineTo(l, b);
}

}  // namespace

// --- TepBevel -----------------------------------------------------------

TepBevel::TepBevel(TComponent* owner) : TInnerOuterColors(owner)
{
    ControlStyle |= csReplicatable;
    SetBounds(0, 0, 50, 50);
}

void TepBevel::SetStyle(TepBevelStyle style)
{
    if (style == FStyle) return;
    FStyle = style;
    Invalidate();
}

void TepBevel::SetShape(TepBevelShape shape)
{
    if (shape == FShape) return;
    FShape = shape;
    Invalidate();
}

void TepBevel::Paint()
{
    TCanvas* c = Canvas();
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    const TColor c1 = FStyle == bsLowered ? OuterColor() : InnerColor();
    const TColor c2 = FStyle == bsLowered ? InnerColor() : OuterColor();
    const int w = Width(), h = Height();
    switch (FShape) {
    case bsBox:
        BevelRect(c, 0, 0, w - 1, h - 1, c1, c2);
        break;
    case bsFrame:
        // Two offset rectangles: an etched (or embossed) line.
        BevelRect(c, 1, 1, w - 1, h - 1, c2, c2);
        BevelRect(c, 0, 0, w - 2, h - 2, c1, c1);
        break;
    case bsTopLine:
        Line(c, c1, 0, 0, w, 0);
        Line(c, c2, 0, 1, w, 1);
        break;
    case bsBottomLine:
        Line(c, c1, 0, h - 2, w, h - 2);
        Line(c, c2, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        Line(c, c1, 0, 0, 0, h);
        Line(c, c2, 1, 0, 1, h);
        break;
    case bsRightLine:
        Line(c, c1, w - 2, 0, w - 2, h);
        Line(c, c2, w - 1, 0, w - 1, h);
        break;
    }
}

bool TepBevel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Style") SetStyle(TepBevelStyle(reader.ReadEnum(BevelStyles)));
    else if (name == "Shape") SetShape(TepBevelShape(reader.ReadEnum(BevelShapes)));
    else return TInnerOuterColors::ReadProperty(name, reader);
    return true;
}

// --- TepMediaBevel ------------------------------------------------------

TepMediaBevel::TepMediaBevel(TComponent* owner) : TInnerOuterColors(owner) { SetBounds(0, 0, 50, 50); }

void TepMediaBevel::SetBevelWidth(int width)
{
    FBevelWidth = width;
    Invalidate();
}

void TepMediaBevel::Paint()
{
    MediaFrame(Canvas(), Width(), Height(), FBevelWidth, InnerColor(), OuterColor());
}

bool TepMediaBevel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "BevelWidth") SetBevelWidth(reader.ReadInteger());
    else return TInnerOuterColors::ReadProperty(name, reader);
    return true;
}

// --- TepImage -----------------------------------------------------------

TepImage::TepImage(TComponent* owner) : TGraphicControl(owner), FGlyph(new TBitmap) { SetBounds(0, 0, 50, 50); }

TepImage::~TepImage() { delete FGlyph; }

void TepImage::SetGlyph(TBitmap* glyph)
{
    FGlyph->Assign(glyph);
    Invalidate();
}

void TepImage::SetStretch(bool value)
{
    FStretch = value;
    Invalidate();
}

void TepImage::SetWallStyle(bool value)
{
    FWallStyle = value;
    Invalidate();
}

void TepImage::SetGlyphTransparent(bool value)
{
    FGlyphTransparent = value;
    Invalidate();
}

void TepImage::Paint()
{
    const int gw = FGlyph->Width(), gh = FGlyph->Height();
    if (FGlyph->Empty() || gw <= 0 || gh <= 0) return;
    TCanvas* c = Canvas();
    if (FWallStyle) {
        for (int i = 0; i <= Width() / gw; ++i)
            for (int j = 0; j <= Height() / gh; ++j) c->Draw(i * gw, j * gh, FGlyph);
    } else if (FStretch) {
        if (FGlyphTransparent)
            StretchBitmapRectTransparent(c, 0, 0, Width(), Height(), RECT{0, 0, 0, 0}, FGlyph, clDefault);
        else
            c->StretchDraw(RECT{0, 0, Width(), Height()}, FGlyph);
    } else if (FGlyphTransparent) {
        DrawBitmapTransparent(c, 0, 0, FGlyph, clDefault);
    } else {
        c->Draw(0, 0, FGlyph);
    }
}

bool TepImage::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Stretch") SetStretch(reader.ReadBool());
    else if (name == "WallStyle") SetWallStyle(reader.ReadBool());
    else if (name == "GlyphTransparent") SetGlyphTransparent(reader.ReadBool());
    else return TGraphicControl::ReadProperty(name, reader);
    return true;
}

TPersistent* TepImage::PropertyObject(const std::string& name)
{
    if (name == "Glyph") return FGlyph;
    return TGraphicControl::PropertyObject(name);
}

// --- TepMoveForm --------------------------------------------------------

TepMoveForm::TepMoveForm(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 100, 100); }

void TepMoveForm::Paint()
{
    if (!(ComponentState() & csDesigning)) return;
    TCanvas* c = Canvas();
    c->Pen()->SetStyle(psDash);
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, Width(), Height());
    c->Pen()->SetStyle(psSolid);
    c->Brush()->SetStyle(bsSolid);
}

void TepMoveForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    FDragging = true;
    FDownX = x;
    FDownY = y;
}

void TepMoveForm::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (!FDragging) return;
    auto* owner = dynamic_cast<TControl*>(Owner());
    if (!owner) return;
    owner->SetBounds(owner->Left() + x - FDownX, owner->Top() + y - FDownY, owner->Width(), owner->Height());
}

void TepMoveForm::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    FDragging = false;
}

void RegisterBevelClasses()
{
    RegisterClass<TepBevel>();
    RegisterClass<TepMediaBevel>();
    RegisterClass<TepSplitter>();
    RegisterClass<TepImage>();
    RegisterClass<TepMoveForm>();
}

#include "CaptionLabels.h"

#include "BmpUtils.h"
#include "Reader.h"

namespace {

const TEnumNames alignments = {"taLeftJustify", "taRightJustify", "taCenter"};
const TEnumNames gradKinds = {"gdRight", "gdLeft", "gdTop", "gdBottom", "gdVCenter", "gdHCenter"};

// Stores a changed value and repaints the label.
template <class Label, class T>
void Store(Label* label, T& field, T value)
{
    if (field == value) return;
    field = value;
    label->XPaint();
}

// An effect bitmap's pixel value (blue low) for a colour.
int PixelValue(TColor color)
{
    COLORREF rgb = ColorToRGB(color);
    return GetBValue(rgb) | (GetGValue(rgb) << 8) | (GetRValue(rgb) << 16);
}

void Fill(TEffectBmp& bmp, TColor color)
{
    const int value = PixelValue(color);
    for (int y = 0; y < bmp.Height; ++y)
        for (int x = 0; x < bmp.Width; ++x) bmp.SetPixel(x, y, value);
}

void Fill(TBitmap& bmp, TColor color)
{
    bmp.Canvas()->Brush()->SetStyle(bsSolid);
    bmp.Canvas()->Brush()->SetColor(color);
    bmp.Canvas()->FillRect(RECT{0, 0, bmp.Width(), bmp.Height()});
}

bool IsBlack(const TEffectBmp& bmp, int x, int y) { return (bmp.GetPixel(x, y) & 0xFFFFFF) == 0; }

// The caption's left edge for the labels whose right alignment keeps a margin.
int AlignedX(TAlignment alignment, int width, int textWidth, int left, int rightMargin)
{
    switch (alignment) {
    case taRightJustify: return width - textWidth - rightMargin;
    case taCenter: return width / 2 - textWidth / 2;
    default: return left;
    }
}

// The framework's own caption change repaints through XPaint, so that a
// see-through label does not make its parent repaint first.
template <class Label>
bool TextChanged(Label* label, TMessage& m)
{
    if (m.Msg != CM_TEXTCHANGED) return false;
    label->XPaint();
    return true;
}

}  // namespace

void DrawText3D(TCanvas* canvas, int x, int y, const std::string& text, bool useInner, TColor inner, bool useOuter,
                TColor outer)
{
    canvas->Brush()->SetStyle(bsClear);
    if (useInner) {
        canvas->Font()->SetColor(inner);
        canvas->TextOut(x - 1, y - 1, text);
    }
    if (useOuter) {
        canvas->Font()->SetColor(outer);
        canvas->TextOut(x + 1, y + 1, text);
    }
}

// --- TepCustomLabel -----------------------------------------------------

TepCustomLabel::TepCustomLabel(TComponent* owner) : TEffectGControl(owner) { SetBounds(Left(), Top(), 65, 17); }

void TepCustomLabel::SetMiddleTransparent(bool value) { Store(this, FMiddleTransparent, value); }
void TepCustomLabel::SetUseInnerColor(bool value) { Store(this, FUseInnerColor, value); }
void TepCustomLabel::SetUseOuterColor(bool value) { Store(this, FUseOuterColor, value); }
void TepCustomLabel::SetAlignment(TAlignment value) { Store(this, FAlignment, value); }
void TepCustomLabel::SetInnerColor(TColor value) { Store(this, FInnerColor, value); }
void TepCustomLabel::SetOuterColor(TColor value) { Store(this, FOuterColor, value); }
void TepCustomLabel::SetText3D(bool value) { Store(this, FText3D, value); }
void TepCustomLabel::SetGradEffect(bool value) { Store(this, FGradEffect, value); }
void TepCustomLabel::SetGradKind(TGradKind value) { Store(this, FGradKind, value); }
void TepCustomLabel::SetGradColor(TColor value) { Store(this, FGradColor, value); }

void TepCustomLabel::Dispatch(TMessage& m)
{
    if (!TextChanged(this, m)) TEffectGControl::Dispatch(m);
}

void TepCustomLabel::PaintFace()
{
    if (Transparent() && FMiddleTransparent && FGradEffect) {
        // A gradient of the label's size, enlarged to the off-screen
        // bitmap, blended half and half with what shows through.
        TEffectBmp gradient(Width(), Height());
        Fill(gradient, Color());
        gradient.AddGradColor(FGradColor, FGradKind);
        TEffectBmp enlarged(OffScreen()->Width(), OffScreen()->Height());
        gradient.Resize(&enlarged);
        TEffectBmp image(OffScreen()->Handle());
        image.MiddleBMP(&enlarged);
        image.Draw(OffCanvas()->Handle(), 0, 0);
    } else {
        PaintEf();
    }
    DoDrawText();
}

void TepCustomLabel::PaintEffects()
{
    if (!FGradEffect && Transparent() && FMiddleTransparent) EffectBmp()->AddMiddleColor(Color());
    else if (FGradEffect) EffectBmp()->AddGradColor(FGradColor, FGradKind);
}

void TepCustomLabel::DoDrawText()
{
    const std::string text = Caption();
    if (text.empty()) return;
    TCanvas* canvas = OffCanvas();
    SIZE size = canvas->TextExtent(text);
    const int y = Height() / 2 - size.cy / 2;
    const int x = AlignedX(FAlignment, Width(), size.cx, 2, 2);
    canvas->Brush()->SetStyle(bsClear);
    if (FText3D) DrawText3D(canvas, x, y, text, FUseInnerColor, FInnerColor, FUseOuterColor, FOuterColor);
    canvas->Font()->SetColor(Font()->Color());
    canvas->TextOut(x, y, text);
}

bool TepLabel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "MiddleTransparent") SetMiddleTransparent(reader.ReadBool());
    else if (name == "GradColor") SetGradColor(ReadColor(reader));
    else if (name == "GradEffect") SetGradEffect(reader.ReadBool());
    else if (name == "GradKind") SetGradKind(TGradKind(reader.ReadEnum(gradKinds)));
    else if (name == "InnerColor") SetInnerColor(ReadColor(reader));
    else if (name == "OuterColor") SetOuterColor(ReadColor(reader));
    else if (name == "UseInnerColor") SetUseInnerColor(reader.ReadBool());
    else if (name == "UseOuterColor") SetUseOuterColor(reader.ReadBool());
    else if (name == "Text3D") SetText3D(reader.ReadBool());
    else if (name == "Alignment") SetAlignment(TAlignment(reader.ReadEnum(alignments)));
    else return TepCustomLabel::ReadProperty(name, reader);
    return true;
}

// --- TepBitLabel --------------------------------------------------------

TepBitLabel::TepBitLabel(TComponent* owner) : TEffectGControl(owner), FWallpaper(new TBitmap), FTextImage(new TBitmap)
{
    SetBounds(Left(), Top(), 60, 20);
}

TepBitLabel::~TepBitLabel()
{
    delete FTextImage;
    delete FWallpaper;
}

void TepBitLabel::SetAlignment(TAlignment value) { Store(this, FAlignment, value); }
void TepBitLabel::Set3DText(bool value) { Store(this, FText3D, value); }
void TepBitLabel::SetInnerColor(TColor value) { Store(this, FInnerColor, value); }
void TepBitLabel::SetOuterColor(TColor value) { Store(this, FOuterColor, value); }
void TepBitLabel::SetUseInnerColor(bool value) { Store(this, FUseInnerColor, value); }
void TepBitLabel::SetUseOuterColor(bool value) { Store(this, FUseOuterColor, value); }

void TepBitLabel::SetWallpaper(TBitmap* value)
{
    if (value) FWallpaper->Assign(value);
    else FWallpaper->SetHandle(nullptr);
    FTextOutOfDate = true;
    XPaint();
}

void TepBitLabel::SetTransparentColor(TColor value)
{
    if (value == FTransparentColor) return;
    FTransparentColor = value;
    FTextOutOfDate = true;
    XPaint();
}

void TepBitLabel::Dispatch(TMessage& m)
{
    if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) FTextOutOfDate = true;
    if (!TextChanged(this, m)) TEffectGControl::Dispatch(m);
}

void TepBitLabel::BuildTextImage()
{
    const std::string text = Caption();
    TBitmap mask;
    mask.SetSize(1, 1);
    mask.Canvas()->Font()->Assign(Font());
    SIZE size = mask.Canvas()->TextExtent(text);
    const int w = size.cx + 10, h = size.cy + 10;

    // The wallpaper tiled from the top-left corner.
    TBitmap texture;
    texture.SetSize(w, h);
    for (int y = 0; y < h; y += FWallpaper->Height())
        for (int x = 0; x < w; x += FWallpaper->Width()) texture.Canvas()->Draw(x, y, FWallpaper);

    // The letters black on white.
    mask.SetSize(w, h);
    Fill(mask, clWhite);
    mask.Canvas()->Font()->Assign(Font());
    mask.Canvas()->Font()->SetColor(clBlack);
    mask.Canvas()->Brush()->SetStyle(bsClear);
    mask.Canvas()->TextOut(0, 0, text);

    TEffectBmp letters(mask.Handle()), tiles(texture.Handle()), image(w, h);
    Fill(image, FTransparentColor);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            if (IsBlack(letters, x, y)) image.SetPixel(x, y, tiles.GetPixel(x, y));
    FTextImage->SetSize(w, h);
    image.Draw(FTextImage->Canvas()->Handle(), 0, 0);
    FTextOutOfDate = false;
}

void TepBitLabel::PaintFace()
{
    const std::string text = Caption();
    if (FWallpaper->Empty() || FWallpaper->Width() <= 0 || FWallpaper->Height() <= 0 || text.empty()) return;
    if (FTextOutOfDate) BuildTextImage();
    if (FTextImage->Empty()) return;
    const int tw = FTextImage->Width(), th = FTextImage->Height();
    int y = Height() / 2 - th / 2;
    const int x = AlignedX(FAlignment, Width(), tw, 1, 0);
    if (FAlignment == taCenter) y += 5;
    TCanvas* canvas = OffCanvas();
    if (FText3D) DrawText3D(canvas, x, y, text, FUseInnerColor, FInnerColor, FUseOuterColor, FOuterColor);
    DrawBitmapTransparent(canvas, x, y, FTextImage, FTransparentColor);
}

TPersistent* TepBitLabel::PropertyObject(const std::string& name)
{
    if (name == "Wallpaper") {
        FTextOutOfDate = true;
        return FWallpaper;
    }
    return TEffectGControl::PropertyObject(name);
}

bool TepBitLabel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Alignment") SetAlignment(TAlignment(reader.ReadEnum(alignments)));
    else if (name == "TransparentColor") SetTransparentColor(ReadColor(reader));
    else if (name == "Text3D") Set3DText(reader.ReadBool());
    else if (name == "InnerColor") SetInnerColor(ReadColor(reader));
    else if (name == "OuterColor") SetOuterColor(ReadColor(reader));
    else if (name == "UseInnerColor") SetUseInnerColor(reader.ReadBool());
    else if (name == "UseOuterColor") SetUseOuterColor(reader.ReadBool());
    else return TEffectGControl::ReadProperty(name, reader);
    return true;
}

// --- TepShadowLabel -----------------------------------------------------

TepShadowLabel::TepShadowLabel(TComponent* owner) : TEffectGControl(owner) { SetBounds(Left(), Top(), 65, 17); }

void TepShadowLabel::SetAlignment(TAlignment value) { Store(this, FAlignment, value); }
void TepShadowLabel::SetShadowOffset(uint8_t value) { Store(this, FShadowOffset, value); }
void TepShadowLabel::SetBlurShadow(bool value) { Store(this, FBlurShadow, value); }

void TepShadowLabel::Dispatch(TMessage& m)
{
    if (!TextChanged(this, m)) TEffectGControl::Dispatch(m);
}

void TepShadowLabel::PaintFace()
{
    const std::string text = Caption();
    if (text.empty()) return;
    TCanvas* canvas = OffCanvas();
    SIZE size = canvas->TextExtent(text);
    const int o = FShadowOffset;
    int y = Height() / 2 - size.cy / 2;
    const int x = AlignedX(FAlignment, Width(), size.cx, 1, o + 1);
    if (FAlignment == taCenter) y -= o / 2;

    // Where the shadow falls: the caption black on white, offset.
    TBitmap mask;
    mask.SetSize(OffScreen()->Width(), OffScreen()->Height());
    Fill(mask, clWhite);
    TCanvas* m = mask.Canvas();
    m->Font()->Assign(Font());
    m->Font()->SetColor(clBlack);
    m->Brush()->SetStyle(bsClear);
    if (FBlurShadow) {
        for (int k = -1; k <= 1; ++k) m->TextOut(x + o + k, y + o + k, text);
    } else {
        m->TextOut(x + o, y + o, text);
        m->TextOut(x + o + 1, y + o + 1, text);
    }

    TEffectBmp shadow(mask.Handle()), image(OffScreen()->Handle());
    for (int py = 0; py < image.Height; ++py) {
        uint8_t* p = image.GetLine(py);
        for (int px = 0; px < image.Width; ++px, p += 3)
            if (IsBlack(shadow, px, py))
                for (int k = 0; k < 3; ++k) p[k] = uint8_t(p[k] >> 1);
    }
    if (FBlurShadow) image.MaskSplitBlur(&shadow, 1);
    image.Draw(canvas->Handle(), 0, 0);

    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(Font()->Color());
    canvas->TextOut(x, y, text);
}

bool TepShadowLabel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Alignment") SetAlignment(TAlignment(reader.ReadEnum(alignments)));
    else if (name == "ShadowOffset") SetShadowOffset(uint8_t(reader.ReadInteger()));
    else if (name == "BlurShadow") SetBlurShadow(reader.ReadBool());
    else return TEffectGControl::ReadProperty(name, reader);
    return true;
}

// --- TepWaveLabel -------------------------------------------------------

TepWaveLabel::TepWaveLabel(TComponent* owner) : TEffectGControl(owner) { SetBounds(Left(), Top(), 65, 17); }

void TepWaveLabel::SetTextX(int value) { Store(this, FTextX, value); }
void TepWaveLabel::SetTextY(int value) { Store(this, FTextY, value); }
void TepWaveLabel::SetXDiv(int value) { Store(this, FXDiv, value); }
void TepWaveLabel::SetYDiv(int value) { Store(this, FYDiv, value); }
void TepWaveLabel::SetRatioVal(int value) { Store(this, FRatioVal, value); }
void TepWaveLabel::SetUseInnerColor(bool value) { Store(this, FUseInnerColor, value); }
void TepWaveLabel::SetUseOuterColor(bool value) { Store(this, FUseOuterColor, value); }
void TepWaveLabel::SetInnerColor(TColor value) { Store(this, FInnerColor, value); }
void TepWaveLabel::SetOuterColor(TColor value) { Store(this, FOuterColor, value); }

void TepWaveLabel::Dispatch(TMessage& m)
{
    if (!TextChanged(this, m)) TEffectGControl::Dispatch(m);
}

void TepWaveLabel::PaintFace()
{
    // A quarter wider than the label, so that the wave has room to bend.
    TBitmap work;
    work.SetSize(Width() + Width() / 4, Height());
    if (work.Empty()) return;
    Fill(work, Color());
    TCanvas* canvas = work.Canvas();
    canvas->Font()->Assign(Font());
    const std::string text = Caption();
    DrawText3D(canvas, FTextX, FTextY, text, FUseInnerColor, FInnerColor, FUseOuterColor, FOuterColor);
    canvas->Font()->SetColor(Font()->Color());
    canvas->TextOut(FTextX, FTextY, text);
    if (FXDiv != 0 && FYDiv != 0) {
        TEffectBmp waved(work.Handle());
        waved.Wave(FXDiv, FYDiv, FRatioVal);
        waved.Draw(canvas->Handle(), 0, 0);
    }
    DrawBitmapTransparent(OffCanvas(), 0, 0, &work, clDefault);
}

bool TepWaveLabel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "TextX") SetTextX(reader.ReadInteger());
    else if (name == "TextY") SetTextY(reader.ReadInteger());
    else if (name == "XDiv") SetXDiv(reader.ReadInteger());
    else if (name == "YDiv") SetYDiv(reader.ReadInteger());
    else if (name == "RatioVal") SetRatioVal(reader.ReadInteger());
    else if (name == "UseInnerColor") SetUseInnerColor(reader.ReadBool());
    else if (name == "UseOuterColor") SetUseOuterColor(reader.ReadBool());
    else if (name == "InnerColor") SetInnerColor(ReadColor(reader));
    else if (name == "OuterColor") SetOuterColor(ReadColor(reader));
    else return TEffectGControl::ReadProperty(name, reader);
    return true;
}

void RegisterCaptionLabelClasses() { RegisterClasses<TepLabel, TepBitLabel, TepShadowLabel, TepWaveLabel>(); }

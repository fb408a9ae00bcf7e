#include "AniImage.h"

#include "BmpUtils.h"
#include "Reader.h"

#include <algorithm>

TepAniImage::TepAniImage(TComponent* owner) : TAnimatedGControl(owner, 100), FGlyph(new TBitmap)
{
    SetBounds(Left(), Top(), 25, 25);
    SetTransparent(true);
}

TepAniImage::~TepAniImage()
{
    BeginDestroy();
    delete FGlyph;
}

void TepAniImage::SetGlyph(TBitmap* value)
{
    if (value) FGlyph->Assign(value);
    else FGlyph->SetHandle(nullptr);
    const int w = FGlyph->Empty() ? 0 : FGlyph->Width(), h = FGlyph->Empty() ? 0 : FGlyph->Height();
    if (h > 0) {
        // A strip narrower than it is high still holds one frame.
        FNumGlyphs = std::max(1, w / h);
        SetBounds(Left(), Top(), w / FNumGlyphs, h);
    } else {
        FNumGlyphs = 1;
    }
    FGlyphNum = 1;
    XPaint();
}

void TepAniImage::SetNumGlyphs(int value)
{
    // A strip holds at least one frame.
    FNumGlyphs = std::max(1, value);
    FGlyphNum = 1;
    XPaint();
}

void TepAniImage::SetGlyphNum(int value)
{
    if (value < 0 || value > FNumGlyphs) return;
    FGlyphNum = value;
    XPaint();
}

void TepAniImage::SetStretch(bool value)
{
    FStretch = value;
    XPaint();
}

void TepAniImage::Start()
{
    if (OnStart && !(ComponentState() & (csReading | csLoading | csDestroying))) OnStart(this);
}

void TepAniImage::Stop()
{
    if (OnStop && !(ComponentState() & (csReading | csLoading | csDestroying))) OnStop(this);
}

void TepAniImage::TimerExpired(TObject*)
{
    if (!Visible()) return;
    FGlyphNum = FGlyphNum < FNumGlyphs ? FGlyphNum + 1 : 1;
    XPaint();
}

void TepAniImage::PaintFace()
{
    if (FGlyph->Empty() || FGlyphNum < 1 || FGlyphNum > FNumGlyphs) return;
    const int w = FGlyph->Width() / FNumGlyphs, h = FGlyph->Height();
    if (w <= 0 || h <= 0) return;
    TBitmap frame;
    frame.SetSize(w, h);
    frame.Canvas()->CopyRect(RECT{0, 0, w, h}, FGlyph->Canvas(), RECT{(FGlyphNum - 1) * w, 0, FGlyphNum * w, h});
    if (FStretch)
        StretchBitmapRectTransparent(OffCanvas(), 0, 0, Width(), Height(), RECT{0, 0, w, h}, &frame, clDefault);
    else
        DrawBitmapTransparent(OffCanvas(), 0, 0, &frame, clDefault);
    if (ComponentState() & csDesigning) {
        TCanvas* canvas = OffCanvas();
        canvas->Pen()->SetStyle(psDash);
        canvas->Brush()->SetStyle(bsClear);
        canvas->Rectangle(0, 0, Width(), Height());
    }
}

TPersistent* TepAniImage::PropertyObject(const std::string& name)
{
    if (name == "Glyph") return FGlyph;
    return TAnimatedGControl::PropertyObject(name);
}

bool TepAniImage::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Stretch") SetStretch(reader.ReadBool());
    else if (name == "NumGlyphs") SetNumGlyphs(reader.ReadInteger());
    else if (name == "GlyphNum") SetGlyphNum(reader.ReadInteger());
    else return TAnimatedGControl::ReadProperty(name, reader);
    return true;
}

void RegisterAniImageClasses() { RegisterClass<TepAniImage>(); }

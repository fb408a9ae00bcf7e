#include "EffectPanels.h"

#include "GrUtils.h"
#include "ShapedPanels.h"
#include "Reader.h"

namespace {

const TEnumNames& AlignmentNames()
{
    static const TEnumNames names = {"taLeftJustify", "taRightJustify", "taCenter"};
    return names;
}

UINT AlignmentFormat(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}

// Selects the canvas's font and brush into its context for a direct DrawText.
HDC TextContext(TCanvas* canvas)
{
    canvas->TextExtent("W");
    HDC dc = canvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    return dc;
}

}  // namespace

// --- TepBitmap ----------------------------------------------------------

TepBitmap::TepBitmap(TComponent* owner) : TComponent(owner), FBitmap(new TPicture) {}

TepBitmap::~TepBitmap() { delete FBitmap; }

TPersistent* TepBitmap::PropertyObject(const std::string& name)
{
    if (name == "Bitmap") return FBitmap;
    return TComponent::PropertyObject(name);
}

// --- Shared panel steps -------------------------------------------------

TGraphic* WallpaperGraphic(const TepBitmap* wallpaper)
{
    TGraphic* paper = wallpaper ? wallpaper->Bitmap()->Graphic() : nullptr;
    // A picture without width or height has nothing to tile (and would divide by zero).
    if (!paper || paper->Empty() || paper->Width() <= 0 || paper->Height() <= 0) return nullptr;
    return paper;
}

void PaintPanelFace(TCanvas* canvas, const RECT& face, const TepBitmap* wallpaper, TColor color, int across, int down)
{
    TGraphic* paper = WallpaperGraphic(wallpaper);
    if (paper && face.right > face.left && face.bottom > face.top) {
        TBitmap tiles;
        tiles.SetSize(face.right - face.left, face.bottom - face.top);
        const int pw = paper->Width(), ph = paper->Height();
        for (int i = 0; i <= across / pw; ++i)
            for (int j = 0; j <= down / ph; ++j) tiles.Canvas()->Draw(i * pw, j * ph, paper);
        canvas->Draw(face.left, face.top, &tiles);
        return;
    }
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(color);
    canvas->FillRect(face);
}

bool PanelBevelColors(TBevelCut cut, TColor innerColor, TColor outerColor, TColor& top, TColor& bottom)
{
    if (cut == bvLowered) {
        top = outerColor;
        bottom = innerColor;
        return true;
    }
    if (cut == bvRaised) {
        top = innerColor;
        bottom = outerColor;
        return true;
    }
    return false;
}

void PaintPanelBevelsAndCaption(TCanvas* canvas, TPanel* panel, RECT rect, TColor innerColor, TColor outerColor,
                                const TPanelBevelPainter& painter)
{
    auto bevel = [&](TBevelCut cut, bool outer) {
        TColor top, bottom;
        if (!PanelBevelColors(cut, innerColor, outerColor, top, bottom)) return;
        if (painter) painter(canvas, rect, top, bottom, outer);
        else Frm3D(canvas, rect, top, bottom, panel->BevelWidth());
    };
    bevel(panel->BevelOuter(), true);
    if (panel->BevelOuter() != bvNone) {
        const int inset = panel->BorderWidth() + panel->BevelWidth();
        InflateRect(&rect, -inset, -inset);
    }
    bevel(panel->BevelInner(), false);
    const std::string caption = panel->Caption();
    if (caption.empty()) return;
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->Assign(panel->Font());
    const int th = canvas->TextHeight("W");
    rect.top = (rect.top + rect.bottom - th) / 2;
    rect.bottom = rect.top + th;
    HDC dc = TextContext(canvas);
    DrawTextA(dc, caption.c_str(), -1, &rect, DT_EXPANDTABS | DT_VCENTER | AlignmentFormat(panel->Alignment()));
}

// --- TepShadowPanel -----------------------------------------------------

TepShadowPanel::TepShadowPanel(TComponent* owner) : TWallpaperPanel(owner) { ControlStyle |= csOpaque; }

void TepShadowPanel::Reshaped()
{
    Realign();
    Invalidate();
}

void TepShadowPanel::SetShadowWidth(int width)
{
    FShadowWidth = std::max(0, width);
    Reshaped();
}

void TepShadowPanel::SetShadowKind(TShadowKind kind)
{
    FShadowKind = kind;
    Reshaped();
}

RECT TepShadowPanel::FaceRect() const
{
    const int w = Width(), h = Height(), s = FShadowWidth;
    switch (FShadowKind) {
    case skLeftTop: return RECT{s, s, w, h};
    case skRightTop: return RECT{0, s, w - s, h};
    case skLeftBottom: return RECT{s, 0, w, h - s};
    case skRightBottom: break;
    }
    return RECT{0, 0, w - s, h - s};
}

void TepShadowPanel::ShadowStrips(RECT& a, RECT& b) const
{
    const int w = Width(), h = Height(), s = FShadowWidth;
    switch (FShadowKind) {
    case skLeftTop:
        a = RECT{s, 0, w - s, s};
        b = RECT{0, 0, s - 1, h - s};
        return;
    case skRightTop:
        a = RECT{s, 0, w - s - 1, s};
        b = RECT{w - s, 0, w, h - s};
        return;
    case skLeftBottom:
        a = RECT{0, s, s, h - s - 1};
        b = RECT{0, h - s, w - s, h};
        return;
    case skRightBottom:
        break;
    }
    a = RECT{s, h - s, w - s - 1, h};
    b = RECT{w - s, s, w, h};
}

void TepShadowPanel::AlignControls(RECT& rect)
{
    rect = FaceRect();
    TPanel::AlignControls(rect);
}

void TepShadowPanel::Paint()
{
    const int w = Width(), h = Height();
    TBitmap image;
    image.SetSize(w + 1, h + 1);
    TCanvas* canvas = image.Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Parent() ? Parent()->Color() : Color());
    canvas->FillRect(RECT{0, 0, w, h});
    // The face covers what lies beneath: when only the face needs painting
    // (a child's repaint, a see-through child copying the panel) neither the
    // parent's copy nor the shadow can show.
    const RECT face = FaceRect();
    RECT clip;
    const bool faceOnly = GetClipBox(Canvas()->Handle(), &clip) != ERROR && clip.left >= face.left &&
                          clip.top >= face.top && clip.right <= face.right && clip.bottom <= face.bottom;
    if (!faceOnly) {
        CopyParentImage1(this, canvas);
        TEffectBmp shadow(image.Handle());
        RECT a, b;
        ShadowStrips(a, b);
        shadow.AddMiddleColorInRect(clBlack, a);
        shadow.AddMiddleColorInRect(clBlack, b);
        shadow.Draw(canvas->Handle(), 0, 0);
    }
    PaintPanelFace(canvas, face, Wallpaper(), Color(), w, h);
    PaintPanelBevelsAndCaption(canvas, this, FaceRect(), BevelInnerColor(), BevelOuterColor());
    Canvas()->Draw(0, 0, &image);
}

void TepShadowPanel::Dispatch(TMessage& m)
{
    if (m.Msg == WM_ERASEBKGND) {
        m.Result = 1;  // the paint covers every pixel
        return;
    }
    TPanel::Dispatch(m);
}

bool TepShadowPanel::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames kinds = {"skLeftTop", "skRightTop", "skLeftBottom", "skRightBottom"};
    if (name == "ShadowWidth") SetShadowWidth(reader.ReadInteger());
    else if (name == "ShadowKind") SetShadowKind(TShadowKind(reader.ReadEnum(kinds)));
    else return TWallpaperPanel::ReadProperty(name, reader);
    return true;
}

// --- TepTextLabel -------------------------------------------------------

TepTextLabel::TepTextLabel(TComponent* owner) : TEffectGControl(owner), FLines(new TStringList)
{
    SetBounds(Left(), Top(), 50, 25);
}

TepTextLabel::~TepTextLabel() { delete FLines; }

void TepTextLabel::SetLines(TStrings* lines)
{
    FLines->Assign(lines);
    XPaint();
}

void TepTextLabel::SetAlignment(TAlignment alignment)
{
    FAlignment = alignment;
    XPaint();
}

void TepTextLabel::SetTextInnerColor(TColor color)
{
    FTextInnerColor = color;
    XPaint();
}

void TepTextLabel::SetTextOuterColor(TColor color)
{
    FTextOuterColor = color;
    XPaint();
}

void TepTextLabel::SetText3D(bool value)
{
    FText3D = value;
    XPaint();
}

void TepTextLabel::SetMiddleTransparent(bool value)
{
    FMiddleTransparent = value;
    XPaint();
}

void TepTextLabel::PaintFace()
{
    if (Transparent() && FMiddleTransparent) PaintEf();
    TCanvas* canvas = OffCanvas();
    canvas->Brush()->SetStyle(bsClear);
    const UINT align = AlignmentFormat(FAlignment);
    const std::string text = FLines->Text();
    HDC dc = TextContext(canvas);
    const int w = Width(), h = Height();
    if (!FText3D) {
        RECT r{0, 0, w, h};
        DrawTextA(dc, text.c_str(), int(text.size()), &r, align | DT_WORDBREAK | DT_EXPANDTABS);
        return;
    }
    RECT inner{0, 0, w - 2, h - 2}, outer{2, 2, w, h}, middle{1, 1, w - 1, h - 1};
    SetTextColor(dc, ColorToRGB(FTextInnerColor));
    DrawTextA(dc, text.c_str(), int(text.size()), &inner, align | DT_WORDBREAK);
    SetTextColor(dc, ColorToRGB(FTextOuterColor));
    DrawTextA(dc, text.c_str(), int(text.size()), &outer, align | DT_WORDBREAK);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    DrawTextA(dc, text.c_str(), int(text.size()), &middle, align | DT_WORDBREAK);
}

void TepTextLabel::PaintEffects() { EffectBmp()->AddMiddleColor(Color()); }

TPersistent* TepTextLabel::PropertyObject(const std::string& name)
{
    if (name == "Lines") return FLines;
    return TEffectGControl::PropertyObject(name);
}

bool TepTextLabel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Alignment") FAlignment = TAlignment(reader.ReadEnum(AlignmentNames()));
    else if (name == "TextInnerColor") FTextInnerColor = ReadColor(reader);
    else if (name == "TextOuterColor") FTextOuterColor = ReadColor(reader);
    else if (name == "Text3D") FText3D = reader.ReadBool();
    else if (name == "MiddleTransparent") FMiddleTransparent = reader.ReadBool();
    else return TEffectGControl::ReadProperty(name, reader);
    return true;
}

// --- TepRunPanel --------------------------------------------------------

TepRunPanel::TepRunPanel(TComponent* owner) : TAnimatedGControl(owner, 50), FLines(new TStringList)
{
    SetBounds(Left(), Top(), 50, 25);
    FOffset = Height();
    SetTransparent(false);
}

TepRunPanel::~TepRunPanel() { delete FLines; }

void TepRunPanel::Rewind()
{
    FFirstLine = 0;
    FOffset = Height();
}

void TepRunPanel::TimerExpired(TObject*)
{
    if (Destroying() || !Parent() || Parent()->Destroying()) return;
    if (Visible() && Enabled() && FLines->Count() > 0) XPaint();
}

void TepRunPanel::PaintFace()
{
    if (!Active() || FLines->Count() == 0) return;
    FOffset -= FStep;
    TCanvas* canvas = OffCanvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    const int lh = canvas->TextHeight("A");
    if (FOffset < -lh) {
        FOffset += lh;
        ++FFirstLine;
        if (FFirstLine > FLines->Count() - 1) {
            FFirstLine = 0;
            FOffset = Height();
        }
    }
    int y = FOffset;
    for (int i = FFirstLine; y < Height() + lh && i < FLines->Count(); ++i, y += lh) {
        const std::string line = FLines->Get(i);
        int x = 0;
        if (FTextLayout == tlRight) x = Width() - canvas->TextWidth(line);
        else if (FTextLayout == tlCenter) x = Width() / 2 - canvas->TextWidth(line) / 2;
        canvas->TextOut(x, y, line);
    }
}

TPersistent* TepRunPanel::PropertyObject(const std::string& name)
{
    if (name == "Lines") return FLines;
    return TAnimatedGControl::PropertyObject(name);
}

bool TepRunPanel::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames layouts = {"tlRight", "tlCenter", "tlLeft"};
    if (name == "TextLayout") FTextLayout = TRunTextLayout(reader.ReadEnum(layouts));
    else if (name == "Step") SetStep(reader.ReadInteger());
    else return TAnimatedGControl::ReadProperty(name, reader);
    return true;
}

// --- TepRunStr ----------------------------------------------------------

TepRunStr::TepRunStr(TComponent* owner) : TAnimatedGControl(owner, 50)
{
    ControlStyle &= ~csSetCaption;
    SetCaption("");
    SetBounds(Left(), Top(), 50, 25);
}

TepRunStr::~TepRunStr()
{
    // Freed while running it stops as SetActive(false) stops it, OnStop
    // included; not when it goes with its owner, whose handler may belong to
    // an object already half destroyed. A parent going is no such reason
    // (and a parent whose destructor has begun paints nothing).
    if (!Destroying() && !(Owner() && Owner()->Destroying())) SetActive(false);
}

void TepRunStr::Rewind() { FXOffset = Width(); }

void TepRunStr::TimerExpired(TObject*)
{
    if (Destroying() || !Parent() || Parent()->Destroying()) return;
    if (!Visible()) return;
    FXOffset -= FStep;
    XPaint();
}

void TepRunStr::PaintFace()
{
    TCanvas* canvas = OffCanvas();
    const std::string caption = Caption();
    if (!Active()) FXOffset = Width();
    if (FXOffset < -canvas->TextWidth(caption)) FXOffset = Width();
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(FXOffset, Height() / 2 - canvas->TextHeight(caption) / 2, caption);
}

bool TepRunStr::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Step") SetStep(reader.ReadInteger());
    else return TAnimatedGControl::ReadProperty(name, reader);
    return true;
}

void RegisterEffectPanelClasses()
{
    RegisterClasses<TepBitmap, TepShadowPanel, TepTextLabel, TepRunPanel, TepRunStr>();
}

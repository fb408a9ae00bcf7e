#include "ShapedPanels.h"

#include "EffectBmp.h"
#include "EffectControl.h"
#include "GrUtils.h"
#include "Reader.h"

namespace {

const TEnumNames& PanelKindNames()
{
    static const TEnumNames names = {"pkEllipse", "pkRndRect"};
    return names;
}

}  // namespace

// --- TepImagePanel ------------------------------------------------------

TepImagePanel::TepImagePanel(TComponent* owner) : TWallpaperPanel(owner) { SetBounds(Left(), Top(), 100, 100); }

void TepImagePanel::Paint()
{
    const RECT face{0, 0, Width(), Height()};
    PaintPanelFace(Canvas(), face, Wallpaper(), Color(), Width(), Height());
    PaintPanelBevelsAndCaption(Canvas(), this, face, BevelInnerColor(), BevelOuterColor());
}

void TepImagePanel::Dispatch(TMessage& m)
{
    if (m.Msg == WM_ERASEBKGND) {
        m.Result = 1;  // the paint covers every pixel
        return;
    }
    TPanel::Dispatch(m);
}

// --- TRoundShape --------------------------------------------------------

void TRoundShape::Apply(HWND window, int width, int height)
{
    if (!window) return;
    HRGN region = Kind == pkEllipse ? CreateEllipticRgn(0, 0, width + 1, height + 1)
                                    : CreateRoundRectRgn(1, 1, width - 1, height - 1, 2 * Radius, 2 * Radius);
    if (!region) return;
    if (SetWindowRgn(window, region, IsWindowVisible(window))) FRegion = region;  // the window's from now on
    else DeleteObject(region);
}

void TRoundShape::PaintFrame(TCanvas* canvas, TPanel* panel, TColor innerColor, TColor outerColor) const
{
    const int w = panel->Width(), h = panel->Height();
    const RECT frame = Kind == pkEllipse ? RECT{0, 0, w, h} : RECT{1, 1, w - 2, h - 2};
    const TPanelKind kind = Kind;
    const int radius = Radius;
    PaintPanelBevelsAndCaption(canvas, panel, frame, innerColor, outerColor,
                               [&](TCanvas* c, const RECT& r, TColor top, TColor bottom, bool outer) {
                                   if (kind == pkEllipse) {
                                       RndFrm3D(c, top, bottom, panel->BevelWidth(), r);
                                       return;
                                   }
                                   const int d = outer ? 2 * (radius - panel->BorderWidth()) : 2 * radius;
                                   RndRectFrm3D(c, r, top, panel->BevelWidth(), d, bottom);
                               });
}

// --- TepCustomRndPanel --------------------------------------------------

TepCustomRndPanel::TepCustomRndPanel(TComponent* owner) : TBevelColorPanel(owner) { SetBounds(Left(), Top(), 100, 100); }

void TepCustomRndPanel::CreateR()
{
    if (!HandleAllocated()) return;
    RECT r;
    GetWindowRect(Handle(), &r);
    FShape.Apply(Handle(), r.right - r.left, r.bottom - r.top);
}

void TepCustomRndPanel::CreateWnd()
{
    TPanel::CreateWnd();
    CreateR();
}

void TepCustomRndPanel::DestroyWnd()
{
    FShape.Forget();  // went with the window
    TPanel::DestroyWnd();
}

void TepCustomRndPanel::SetPanelKind(TPanelKind kind)
{
    FShape.Kind = kind;
    CreateR();
    Invalidate();
}

void TepCustomRndPanel::SetRadius(int radius)
{
    FShape.Radius = radius;
    CreateR();
    Invalidate();
}

void TepCustomRndPanel::Dispatch(TMessage& m)
{
    if (m.Msg == WM_SIZE) CreateR();
    TPanel::Dispatch(m);
}

bool TepCustomRndPanel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "PanelKind") SetPanelKind(TPanelKind(reader.ReadEnum(PanelKindNames())));
    else if (name == "Radius") SetRadius(reader.ReadInteger());
    else return TBevelColorPanel::ReadProperty(name, reader);
    return true;
}

// --- TepRndPanel --------------------------------------------------------

TepRndPanel::TepRndPanel(TComponent* owner) : TWallpaperPanel(owner) {}

void TepRndPanel::Paint()
{
    PaintPanelFace(Canvas(), RECT{0, 0, Width(), Height()}, Wallpaper(), Color(), Width(), Height());
    PaintFrame(Canvas());
}

void TepRndPanel::Dispatch(TMessage& m)
{
    if (m.Msg == WM_ERASEBKGND) {
        m.Result = 1;  // the paint covers every pixel
        return;
    }
    TepCustomRndPanel::Dispatch(m);
}

// --- TepEffectRndPanel --------------------------------------------------

TepEffectRndPanel::TepEffectRndPanel(TComponent* owner) : TepCustomRndPanel(owner) {}

TepEffectRndPanel::~TepEffectRndPanel() { FreePI(); }

void TepEffectRndPanel::FreePI()
{
    delete FBackground;
    FBackground = nullptr;
}

void TepEffectRndPanel::CreatePI()
{
    FreePI();
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return;
    FBackground = new TBitmap;
    FBackground->SetSize(w, h);
    TCanvas* canvas = FBackground->Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Parent() ? Parent()->Color() : Color());
    canvas->FillRect(RECT{0, 0, w, h});
    CopyParentImage1(this, canvas);
    TEffectBmp effects(FBackground->Handle());
    if (FMiddleTransparent) effects.AddMiddleColor(Color());
    if (FNoise) effects.AddColorNoise(30);
    effects.Draw(canvas->Handle(), 0, 0);
}

void TepEffectRndPanel::InvalidatePanel()
{
    // The erase that the invalidation brings builds the image again.
    FreePI();
    Invalidate();
}

// The background is rebuilt at the next erase or paint with the new look.
void TepEffectRndPanel::SetNoise(bool value)
{
    FNoise = value;
    FreePI();
    Invalidate();
}

void TepEffectRndPanel::SetMiddleTransparent(bool value)
{
    FMiddleTransparent = value;
    FreePI();
    Invalidate();
}

void TepEffectRndPanel::Paint()
{
    // A paint without an erase first (after a visibility change freed the
    // image, or after a resize) builds the image it needs.
    if (!FBackground || FBackground->Width() != Width() || FBackground->Height() != Height()) CreatePI();
    if (FBackground) {
        Canvas()->Draw(0, 0, FBackground);
    } else {
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(RECT{0, 0, Width(), Height()});
    }
    PaintFrame(Canvas());
}

void TepEffectRndPanel::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_ERASEBKGND:
        CreatePI();
        m.Result = 1;
        return;
    case CM_VISIBLECHANGED:
        FreePI();
        break;
    }
    TepCustomRndPanel::Dispatch(m);
}

bool TepEffectRndPanel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Noise") SetNoise(reader.ReadBool());
    else if (name == "MiddleTransparent") SetMiddleTransparent(reader.ReadBool());
    else return TepCustomRndPanel::ReadProperty(name, reader);
    return true;
}

// --- TepCustomMediaPanel ------------------------------------------------

TepCustomMediaPanel::TepCustomMediaPanel(TComponent* owner) : TInnerOuterColors(owner) {}

void TepCustomMediaPanel::Paint()
{
    TCanvas* canvas = Canvas();
    const int w = Width(), h = Height();
    // The panel's window is never erased: its colour comes first.
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(RECT{0, 0, w, h});
    MediaFrame(canvas, w, h, BevelWidth(), InnerColor(), OuterColor());
    if (!WallpaperGraphic(Wallpaper())) return;
    int d = BorderWidth();
    if (BevelOuter() != bvNone) d += BevelWidth();
    if (BevelInner() != bvNone) d += BevelWidth();
    // The tiles are cut to the wallpaper area, so they never cover the frame.
    const RECT area{d, d, w - d, h - d};
    if (area.right <= area.left || area.bottom <= area.top) return;
    PaintPanelFace(canvas, area, Wallpaper(), Color(), w - 2 * d, h - 2 * d);
}

void RegisterShapedPanelClasses()
{
    RegisterClasses<TepImagePanel, TepRndPanel, TepEffectRndPanel, TepCustomMediaPanel, TepMediaPanel>();
}

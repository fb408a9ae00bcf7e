#include "EffectControl.h"

#include "Application.h"
#include "BmpUtils.h"
#include "Reader.h"

#include <algorithm>
#include <type_traits>
#include <vector>

namespace {

// Controls whose parent image is being copied right now: a copy that would
// start again for one of them (see-through controls beneath each other
// painting each other) is left out instead of recursing.
std::vector<TControl*>& CopiesUnderWay()
{
    static std::vector<TControl*> controls;
    return controls;
}

bool Intersects(const RECT& a, const RECT& b)
{
    RECT r;
    return IntersectRect(&r, &a, &b) != 0;
}

// Steps 1 to 3 of both copies: the parent's face, then the windowless
// siblings beneath the control. False when nothing may be copied.
bool CopyParentAndGraphicSiblings(TControl* control, HDC dc)
{
    TWinControl* parent = control->Parent();
    if (!parent) return false;
    const int left = control->Left(), top = control->Top();
    const RECT bounds = control->BoundsRect();
    int saved = SaveDC(dc);
    SetViewportOrgEx(dc, -left, -top, nullptr);
    IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    parent->PaintFaceTo(dc);
    RestoreDC(dc, saved);
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == control) break;
        if (dynamic_cast<TWinControl*>(c) || !c->Visible() || !Intersects(c->BoundsRect(), bounds)) continue;
        saved = SaveDC(dc);
        SetViewportOrgEx(dc, c->Left() - left, c->Top() - top, nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
    }
    return true;
}

template <class Copy>
void GuardedCopy(TControl* control, Copy copy)
{
    auto& underWay = CopiesUnderWay();
    if (std::find(underWay.begin(), underWay.end(), control) != underWay.end()) return;
    underWay.push_back(control);
    try {
        copy();
    } catch (...) {
        underWay.erase(std::find(underWay.begin(), underWay.end(), control));
        throw;
    }
    underWay.erase(std::find(underWay.begin(), underWay.end(), control));
}

// The common Paint of both bases: a new off-screen bitmap one pixel wider
// and higher than the control, its background, the face, one blit.
template <class Control>
void PaintThroughBitmap(Control* control, TCanvas* target, bool transparent, TBitmap*& bitmap,
                        void (*face)(Control*))
{
    TBitmap image;
    image.SetSize(control->Width() + 1, control->Height() + 1);
    TCanvas* canvas = image.Canvas();
    canvas->Font()->Assign(control->Font());
    if (transparent) {
        // PaintTransparent: the parent's colour, then its image.
        TColor parentColor = control->Parent() ? control->Parent()->Color() : control->Color();
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(parentColor);
        canvas->FillRect(RECT{0, 0, control->Width(), control->Height()});
        CopyParentImage(control, canvas);
    } else {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(control->Color());
        canvas->FillRect(RECT{0, 0, image.Width(), image.Height()});
    }
    bitmap = &image;
    try {
        face(control);
    } catch (...) {
        bitmap = nullptr;
        throw;
    }
    bitmap = nullptr;
    target->Draw(0, 0, &image);
}

}  // namespace

void CopyParentImage(TControl* control, TCanvas* canvas)
{
    if (!control || !canvas) return;
    GuardedCopy(control, [&] { CopyParentAndGraphicSiblings(control, canvas->Handle()); });
}

void CopyParentImage1(TControl* control, TCanvas* canvas)
{
    if (!control || !canvas) return;
    GuardedCopy(control, [&] {
        HDC dc = canvas->Handle();
        if (!CopyParentAndGraphicSiblings(control, dc)) return;
        TWinControl* parent = control->Parent();
        const RECT bounds = control->BoundsRect();
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            if (c == control) break;
            auto* windowed = dynamic_cast<TCustomControl*>(c);
            if (!windowed || !windowed->Visible() || !Intersects(windowed->BoundsRect(), bounds)) continue;
            windowed->PaintTo(dc, windowed->Left() - control->Left(), windowed->Top() - control->Top());
        }
    });
}

// --- TEffectPainter -----------------------------------------------------

template <class Base>
TEffectPainter<Base>::TEffectPainter(TComponent* owner) : Base(owner)
{
    this->ControlStyle |= csOpaque;
}

template <class Base>
void TEffectPainter<Base>::SetTransparent(bool value)
{
    FTransparent = value;
    // The parent paints behind a windowless control only when it is not opaque.
    if constexpr (std::is_base_of_v<TGraphicControl, Base>) {
        if (value) this->ControlStyle &= ~csOpaque;
        else this->ControlStyle |= csOpaque;
    }
    this->Repaint();
}

template <class Base>
void TEffectPainter<Base>::Paint()
{
    PaintThroughBitmap<TEffectPainter>(this, this->Canvas(), FTransparent, FBitmap,
                                       [](TEffectPainter* c) { c->PaintFace(); });
}

template <class Base>
void TEffectPainter<Base>::PaintEf()
{
    if (!FBitmap) return;
    TEffectBmp effect(FBitmap->Handle());
    FEffectBmp = &effect;
    try {
        PaintEffects();
    } catch (...) {
        FEffectBmp = nullptr;
        throw;
    }
    FEffectBmp = nullptr;
    effect.Draw(FBitmap->Canvas()->Handle(), 0, 0);
}

template <class Base>
bool TEffectPainter<Base>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Transparent") SetTransparent(reader.ReadBool());
    else return Base::ReadProperty(name, reader);
    return true;
}

template class TEffectPainter<TGraphicControl>;
template class TEffectPainter<TCustomControl>;

// --- TEffectGControl ----------------------------------------------------

void TEffectGControl::XPaint()
{
    if (ControlStyle & csOpaque) {
        Repaint();
        return;
    }
    ControlStyle |= csOpaque;
    try {
        Repaint();
    } catch (...) {
        ControlStyle &= ~csOpaque;
        throw;
    }
    ControlStyle &= ~csOpaque;
}

void TEffectGControl::Dispatch(TMessage& m)
{
    if (m.Msg == WM_MOVE) {
        // What lies beneath changed.
        if (Transparent()) Repaint();
        return;
    }
    TGraphicControl::Dispatch(m);
}

// --- TAnimatedGControl --------------------------------------------------

TAnimatedGControl::TAnimatedGControl(TComponent* owner, unsigned interval)
    : TEffectGControl(owner), FTimer(new TTimer(nullptr))
{
    FTimer->SetEnabled(false);
    FTimer->SetInterval(interval);
}

TAnimatedGControl::~TAnimatedGControl()
{
    // No tick may reach a control, or paint a window, that is going away.
    FTimer->SetEnabled(false);
    FTimer->OnTimer = TNotifyEvent();
    FActive = false;
    delete FTimer;
}

void TAnimatedGControl::SetActive(bool value)
{
    if (value == FActive) return;
    if (value) {
        Rewind();
        FTimer->OnTimer = MakeEvent<&TAnimatedGControl::TimerExpired>(this);
        FTimer->SetEnabled(true);
        FActive = FTimer->Enabled();
        Start();
    } else {
        FTimer->SetEnabled(false);
        FTimer->OnTimer = TNotifyEvent();
        FActive = false;
        Stop();
        XPaint();
    }
}

void TAnimatedGControl::Start()
{
    if (OnStart) OnStart(this);
}

void TAnimatedGControl::Stop()
{
    if (OnStop) OnStop(this);
}

bool TAnimatedGControl::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Active") SetActive(reader.ReadBool());
    else if (name == "Interval") SetInterval(unsigned(std::max(0, reader.ReadInteger())));
    else if (name == "OnStart") OnStart = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnStop") OnStop = reader.ReadEvent<TNotifyEvent>();
    else return TEffectGControl::ReadProperty(name, reader);
    return true;
}

// --- TEffectCControl ----------------------------------------------------

void TEffectCControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_ERASEBKGND:
        m.Result = 1;  // the paint covers every pixel
        return;
    case WM_MOVE:
        TCustomControl::Dispatch(m);
        if (Transparent()) Repaint();
        return;
    }
    TCustomControl::Dispatch(m);
}

// --- CalcLCoord ---------------------------------------------------------

void CalcLCoord(TButtonLayout layout, const RECT& rect, int gw, int gh, int tw, int th, int margin, int s,
                int& glyphX, int& glyphY, int& textX, int& textY)
{
    const int cx = rect.left + (rect.right - rect.left) / 2;
    const int cy = rect.top + (rect.bottom - rect.top) / 2;
    const bool centred = margin == -1;
    switch (layout) {
    case blGlyphLeft:
        glyphX = centred ? cx - (gw + s + tw) / 2 : rect.left + margin;
        textX = centred ? cx + (gw + s + tw) / 2 - tw : rect.left + margin + gw + s;
        break;
    case blGlyphRight:
        textX = centred ? cx - (gw + s + tw) / 2 : rect.right - gw - margin - s - tw;
        glyphX = centred ? cx + (gw + s + tw) / 2 - gw : rect.right - gw - margin;
        break;
    case blGlyphTop:
        glyphY = centred ? cy - (gh + s + th) / 2 : rect.top + margin;
        textY = centred ? cy + (gh + s + th) / 2 - th : rect.top + margin + gh + s;
        break;
    case blGlyphBottom:
        textY = centred ? cy - (gh + s + th) / 2 : rect.bottom - gh - margin - s - th;
        glyphY = centred ? cy + (gh + s + th) / 2 - gh : rect.bottom - gh - margin;
        break;
    }
    if (layout == blGlyphLeft || layout == blGlyphRight) {
        glyphY = cy - gh / 2;
        textY = cy - th / 2;
    } else {
        glyphX = cx - gw / 2;
        textX = cx - tw / 2;
    }
}

// --- Glyph buttons ------------------------------------------------------

TButtonGlyph::TButtonGlyph() : FGlyph(new TBitmap) {}

TButtonGlyph::~TButtonGlyph() { delete FGlyph; }

int TButtonGlyph::GlyphIndex(bool enabled) const
{
    if (FHot && FPressed && FNumGlyphs > 3) return 3;
    if (FHot && FNumGlyphs > 2) return 2;
    if (enabled) return 1;
    return FNumGlyphs;
}

void TButtonGlyph::PlaySound(TepWavePlayer* player)
{
    if (player && !player->Wave()->Empty()) player->Play();
}

bool TButtonGlyph::ReadGlyphProperty(const std::string& name, TReader& reader, bool layoutPublished)
{
    static const TEnumNames layouts = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
    if (name == "ActiveTextColor") ActiveTextColor = ReadColor(reader);
    else if (name == "NumGlyphs") FNumGlyphs = std::clamp(reader.ReadInteger(), 1, 4);
    else if (layoutPublished && name == "Margin") FMargin = std::max(-1, reader.ReadInteger());
    else if (layoutPublished && name == "Spacing") FSpacing = std::max(0, reader.ReadInteger());
    else if (layoutPublished && name == "Layout") FLayout = TButtonLayout(reader.ReadEnum(layouts));
    else return false;
    return true;
}

// The bases fire OnClick themselves on release over a hot button.
template <class Base, bool LayoutPublished>
TGlyphButton<Base, LayoutPublished>::TGlyphButton(TComponent* owner) : Base(owner)
{
    this->ControlStyle &= ~csClickEvents;
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::Changed()
{
    // A windowless button repaints without its parent repainting behind it first.
    if constexpr (std::is_base_of_v<TEffectGControl, Base>) this->XPaint();
    else this->Repaint();
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::SetGlyph(TBitmap* glyph)
{
    FGlyph->Assign(glyph);
    Changed();
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::SetNumGlyphs(int count)
{
    FNumGlyphs = std::clamp(count, 1, 4);
    Changed();
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::SetLayout(TButtonLayout layout)
{
    FLayout = layout;
    Changed();
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::SetMargin(int margin)
{
    if (margin == FMargin || margin < -1) return;
    FMargin = margin;
    Changed();
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::SetSpacing(int spacing)
{
    if (spacing == FSpacing || spacing < 0) return;
    FSpacing = spacing;
    Changed();
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::DrawButtonGlyph()
{
    if (FGlyph->Empty() || !this->OffScreen()) return;
    PaintGlyph(this->OffCanvas(), GlyphX, GlyphY, FGlyph, FNumGlyphs, GlyphIndex(this->Enabled()));
}

namespace {

// Points one sound reference of button at player, asking to hear when it is
// freed; the old player keeps its notice while the other reference holds it.
void ChangeSound(TComponent* button, TepWavePlayer*& field, const TepWavePlayer* other, TepWavePlayer* player)
{
    if (player == field) return;
    if (field && field != other) button->RemoveFreeNotification(field);
    field = player;
    if (player) player->FreeNotification(button);
}

}  // namespace

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::SetClickSound(TepWavePlayer* player)
{
    ChangeSound(this, FClickSound, FActiveSound, player);
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::SetActiveSound(TepWavePlayer* player)
{
    ChangeSound(this, FActiveSound, FClickSound, player);
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::Notification(TComponent* component, TOperation operation)
{
    Base::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FActiveSound) FActiveSound = nullptr;
    if (component == FClickSound) FClickSound = nullptr;
}

template <class Base, bool LayoutPublished>
bool TGlyphButton<Base, LayoutPublished>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "ClickSound") {
        reader.ReadReference<TepWavePlayer>([this](TepWavePlayer* p) { SetClickSound(p); });
        return true;
    }
    if (name == "ActiveSound") {
        reader.ReadReference<TepWavePlayer>([this](TepWavePlayer* p) { SetActiveSound(p); });
        return true;
    }
    if (ReadGlyphProperty(name, reader, LayoutPublished)) {
        Changed();
        return true;
    }
    return Base::ReadProperty(name, reader);
}

// "Glyph.Data" of a form resource loads the strip.
template <class Base, bool LayoutPublished>
TPersistent* TGlyphButton<Base, LayoutPublished>::PropertyObject(const std::string& name)
{
    if (name == "Glyph") return FGlyph;
    return Base::PropertyObject(name);
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button != mbLeft) {
        Base::MouseUp(button, shift, x, y);
        return;
    }
    FPressed = false;
    if (!FHot) {
        Base::MouseUp(button, shift, x, y);
        return;
    }
    Changed();
    PlayClickSound();
    Base::MouseUp(button, shift, x, y);
    if (this->OnClick) this->OnClick(this);
}

// Hot tracking by the framework's enter and leave notices.
template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::Dispatch(TMessage& m)
{
    bool changed = false;
    if (m.Msg == CM_MOUSEENTER) changed = this->Enabled() && !FHot;
    else if (m.Msg == CM_MOUSELEAVE) changed = FHot && this->Enabled();
    if (changed) {
        FHot = !FHot;
        Changed();
        if (FHot) PlayActiveSound();
    } else if (m.Msg == CM_TEXTCHANGED) {
        Changed();
    }
    Base::Dispatch(m);
}

template <class Base, bool LayoutPublished>
void TGlyphButton<Base, LayoutPublished>::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && IsMouseIn(x, y)) {
        FPressed = FHot = true;
        Changed();
    }
    Base::MouseDown(button, shift, x, y);
}

template class TGlyphButton<TEffectGControl, false>;
template class TGlyphButton<TEffectGControl, true>;
template class TGlyphButton<TEffectCControl, false>;

TButtonGTControl::~TButtonGTControl() { delete FTimer; }

void TButtonCControl::Dispatch(TMessage& m)
{
    TGlyphButton::Dispatch(m);
    if (m.Msg == CM_ENABLEDCHANGED) Changed();
}

// Its own tracking: only leaving turns it cold here, MouseMove turns it hot.
void TButtonGTControl::Dispatch(TMessage& m)
{
    if (m.Msg == CM_MOUSELEAVE && FHot) {
        FHot = false;
        Changed();
    } else if (m.Msg == CM_TEXTCHANGED) {
        Changed();
    }
    TEffectGControl::Dispatch(m);
}

void TButtonGTControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button != mbLeft) {
        TEffectGControl::MouseDown(button, shift, x, y);
        return;
    }
    if (!FHot) return;
    FPressed = true;
    Changed();
    TEffectGControl::MouseDown(button, shift, x, y);
}

void TButtonGTControl::MouseMove(TShiftState shift, int x, int y)
{
    bool hot = IsMouseIn(x, y);
    bool changed = hot != FHot;
    FHot = hot;
    if (changed) Changed();
    if (changed && hot && !FTimer) {
        FTimer = new TTimer(nullptr);
        FTimer->SetInterval(300);
        FTimer->OnTimer = MakeEvent<&TButtonGTControl::PollTimer>(this);
        PlayActiveSound();
    }
    if (FHot) TEffectGControl::MouseMove(shift, x, y);
}

void TButtonGTControl::PollTimer(TObject*)
{
    POINT cursor;
    GetCursorPos(&cursor);
    POINT origin = ClientOrigin();
    // Inclusive right and bottom edges.
    bool inside = cursor.x >= origin.x && cursor.y >= origin.y && cursor.x <= origin.x + Width() &&
                  cursor.y <= origin.y + Height();
    if (!inside && FHot) {
        FHot = false;
        Changed();
    }
    // One check per entry. The timer is freed after its handler returns.
    TTimer* timer = FTimer;
    FTimer = nullptr;
    timer->SetEnabled(false);
    Application->PostCall([timer] { delete timer; });
}

#include "Buttons.h"

#include "Action.h"
#include "Form.h"
#include "ImageList.h"
#include "Label.h"
#include "Reader.h"
#include "SkinUtils.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>

namespace {

// The kinds' glyphs of family F, each loaded from the program's resources
// the first time its kind is chosen and kept until the program ends.
template <class F>
TBitmap* KindGlyph(TBitBtnKind kind)
{
    struct TCache {
        TBitmap* Slots[bkAll + 1] = {};
        ~TCache()
        {
            for (TBitmap* slot : Slots) delete slot;
        }
    };
    static TCache cache;
    TBitmap*& slot = cache.Slots[kind];
    if (!slot) {
        slot = new TBitmap;
        // KSBTN_OK, MP_BTN_OK, ...: the family's prefix and the kind's name.
        std::string name = std::is_same_v<F, TKsFamily> ? "KSBTN_" : "MP_BTN_";
        for (const char* c = BitBtnKindNames()[kind] + 2; *c; ++c)
            name += char(std::toupper(static_cast<unsigned char>(*c)));
        slot->LoadFromResourceName(GetModuleHandleA(nullptr), name);
    }
    return slot;
}

TKColor Grey(uint8_t g)
{
    return 0xFF000000u | TKColor(g) << 16 | TKColor(g) << 8 | g;
}

double Lightness(TKColor color)
{
    double h, s, l;
    RGBtoHSL(color, h, s, l);
    return l;
}

}  // namespace

// --- The button ------------------------------------------------------------------

template <class F>
TSkinButton<F>::TSkinButton(TComponent* owner) : Base(owner), FGlyph(new TBitmap)
{
    FGlyph->OnChange = MakeEvent<&TSkinButton::GlyphChanged>(this);
    // The buffer covers the whole control, so it stays opaque to the framework.
    this->ControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csOpaque;
    if constexpr (KsFamily) {
        this->ControlStyle |= csReplicatable;
        this->SetCaption("Button");
    }
    this->SetColor(KColorToColor(F::Colors::ckBtnFace));
    this->SetTabStop(true);
    this->SetTransparent(true);
    this->SetBounds(this->Left(), this->Top(), 75, 25);
}

template <class F>
TSkinButton<F>::~TSkinButton()
{
    this->BeginDestroy();
    SetAction(nullptr);
    delete FGlyph;
    FGlyph = nullptr;
}

template <class F>
void TSkinButton<F>::SetAction(TAction* action)
{
    if (action == FAction) return;
    const TNotifyEvent client = MakeEvent<&TSkinButton::ActionChanged>(this);
    if (FAction) {
        auto& clients = FAction->Clients;
        clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
        this->RemoveFreeNotification(FAction);
    }
    FAction = action;
    if (!FAction) return;
    FAction->Clients.push_back(client);
    this->FreeNotification(FAction);
    ActionChange(FAction);
}

template <class F>
void TSkinButton<F>::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component == FAction) FAction = nullptr;
    Base::Notification(component, operation);
}

template <class F>
void TSkinButton<F>::ActionChange(TObject*)
{
    TAction* action = FAction;
    if (!action) return;
    if constexpr (!KsFamily) {
        // While a form resource is read, the caption and handler it gave stay.
        const bool loading = this->Loading();
        if (!loading || this->Caption().empty()) this->SetCaption(action->Caption());
        if (!loading || !this->OnClick) this->OnClick = action->OnExecute;
    }
    TImageList* images = action->ActionList() ? action->ActionList()->Images() : nullptr;
    const int index = action->ImageIndex();
    if (!images || index < 0 || index >= images->Count()) return;
    FGlyph->SetSize(images->Width(), images->Height());
    TCanvas* canvas = FGlyph->Canvas();
    canvas->Brush()->SetColor(clFuchsia);
    canvas->FillRect(RECT{0, 0, images->Width(), images->Height()});
    images->Draw(canvas, 0, 0, index);
    GlyphChanged(FGlyph);
}

template <class F>
void TSkinButton<F>::SetBlackAndWhiteGlyph(bool value)
{
    if (value == FBlackAndWhiteGlyph) return;
    FBlackAndWhiteGlyph = value;
    this->Invalidate();
}

template <class F>
void TSkinButton<F>::SetDefault(bool value)
{
    FDefault = value;
    // Every button of the form decides again which one Enter is for.
    if (this->HandleAllocated()) {
        if (TCustomForm* form = GetParentForm(this))
            form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
    }
    this->Invalidate();
}

template <class F>
void TSkinButton<F>::SetGlyph(TBitmap* glyph)
{
    if (glyph)
        FGlyph->Assign(glyph);
    else
        FGlyph->SetHandle(nullptr);
}

template <class F>
void TSkinButton<F>::GlyphChanged(TObject*)
{
    // A strip of square cells tells how many it holds.
    const int w = FGlyph->Width(), h = FGlyph->Height();
    if (h != 0 && w % h == 0) {
        const int cells = w / h;
        FNumGlyphs = cells >= 1 && cells < 5 ? cells : 1;
    }
    this->Invalidate();
}

template <class F>
void TSkinButton<F>::SetKind(TBitBtnKind kind)
{
    if (kind == FKind) return;
    FKind = kind;
    // A custom button keeps the glyph and caption it has.
    if (kind == bkCustom) return;
    const TBitBtnKindInfo& info = BitBtnKindInfo(kind);
    SetDefault(info.Default);
    if (!(this->Loading() && FCaptionStreamed)) this->SetCaption(info.Caption);
    FModalResult = info.ModalResult;
    FGlyph->Assign(KindGlyph<F>(kind));
    FNumGlyphs = 2;
    this->Invalidate();
}

template <class F>
void TSkinButton<F>::SetLayout(TButtonLayout layout)
{
    if (layout == FLayout) return;
    FLayout = layout;
    this->Invalidate();
}

template <class F>
void TSkinButton<F>::SetNumGlyphs(int value)
{
    // At least one cell: the cell width divides by it.
    value = std::clamp(value, 1, 4);
    if (value == FNumGlyphs) return;
    FNumGlyphs = value;
    this->Invalidate();
}

template <class F>
void TSkinButton<F>::SetSpacing(int value)
{
    if (value == FSpacing) return;
    FSpacing = value;
    this->Invalidate();
}

template <class F>
void TSkinButton<F>::SetState(TKsButtonState state)
{
    if (state == FState) return;
    FState = state;
    this->Invalidate();
}

// --- Geometry ----------------------------------------------------------------------

template <class F>
SIZE TSkinButton<F>::GetGlyphSize() const
{
    if (!FGlyph) return SIZE{0, 0};
    return SIZE{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

template <class F>
RECT TSkinButton<F>::GetLayoutRect()
{
    Bitmap* buffer = this->FBuffer;
    buffer->SetFont(this->Font());
    const std::string caption = this->Caption();
    int w = buffer->TextWidth(caption), h = buffer->TextHeight(caption);
    if (!FGlyph->Empty()) {
        const SIZE cell = GetGlyphSize();
        if (FLayout == blGlyphTop || FLayout == blGlyphBottom)
            h += cell.cy + FSpacing;
        else
            w += cell.cx + FSpacing;
        w = std::max<int>(w, cell.cx);
        h = std::max<int>(h, cell.cy);
    }
    int left = (this->Width() - w) / 2, top = (this->Height() - h) / 2;
    if (FState == kbsPressed) {
        ++left;
        ++top;
    }
    return RECT{left, top, left + w, top + h};
}

template <class F>
RECT TSkinButton<F>::GetCaptionRect()
{
    RECT r = GetLayoutRect();
    if (FGlyph->Empty()) return r;
    const SIZE cell = GetGlyphSize();
    switch (FLayout) {
    case blGlyphLeft: r.left += cell.cx + FSpacing; break;
    case blGlyphRight: r.right -= cell.cx + FSpacing; break;
    case blGlyphTop: r.top += cell.cy + FSpacing; break;
    case blGlyphBottom: r.bottom -= cell.cy + FSpacing; break;
    }
    return r;
}

template <class F>
RECT TSkinButton<F>::GetGlyphRect()
{
    RECT r = GetLayoutRect();
    const SIZE cell = GetGlyphSize();
    switch (FLayout) {
    case blGlyphLeft: r.right = r.left + cell.cx + FSpacing; break;
    case blGlyphRight: r.left = r.right - cell.cx - FSpacing; break;
    case blGlyphTop: r.bottom = r.top + cell.cy + FSpacing; break;
    case blGlyphBottom: r.top = r.bottom - cell.cy - FSpacing; break;
    }
    return r;
}

// --- Painting ----------------------------------------------------------------------

template <class F>
void TSkinButton<F>::PaintBuffer()
{
    if constexpr (!KsFamily) {
        Base::PaintBuffer();
        PaintFace();
    }
    PaintText();
    PaintGlyph();
}

template <class F>
void TSkinButton<F>::PaintFace()
{
    Bitmap* buffer = this->FBuffer;
    const int w = this->Width(), h = this->Height();
    RECT r{0, 0, w, h};
    const TKColor face = KColor(this->Color(), 255);
    const TKColor shadow = KColor(clBtnShadow, 255);
    if (this->FFocused || FDefaultHighlight) {
        buffer->DrawRect(r, F::Colors::ckBlack);
        InflateRect(&r, -1, -1);
    }
    buffer->FillRect(r, face);
    if (FState == kbsNormal) {
        buffer->DrawEdge(r, KColor(clBtnHighlight, 255), F::Colors::ckBlack);
        InflateRect(&r, -1, -1);
        buffer->DrawEdge(r, face, shadow);
    } else {
        buffer->DrawEdge(r, shadow, shadow);
    }
    if (this->FFocused) buffer->DrawFocusRect(RECT{4, 4, w - 4, h - 4}, shadow);
}

template <class F>
TKColor TSkinButton<F>::GlyphPixel(TKColor pixel) const
{
    pixel |= 0xFF000000u;
    if (FBlackAndWhiteGlyph && !this->MouseIn()) pixel = Grey(uint8_t(std::nearbyint(Lightness(pixel) * 255)));
    if (!this->Enabled()) pixel = Grey(uint8_t((int(std::nearbyint(Lightness(pixel) * 50)) + 160) % 256));
    return pixel;
}

template <class F>
void TSkinButton<F>::PaintGlyph()
{
    if (!FGlyph || FGlyph->Empty()) return;
    const SIZE cell = GetGlyphSize();
    if (cell.cx <= 0 || cell.cy <= 0) return;
    const RECT area = GetGlyphRect();
    const int left = area.left + (RectWidth(area) - int(cell.cx)) / 2;
    const int top = area.top + (RectHeight(area) - int(cell.cy)) / 2;
    // The disabled cell when the strip has one.
    const int sourceLeft = FNumGlyphs >= 2 && !this->Enabled() ? int(cell.cx) : 0;
    const int bytes = FGlyph->PixelFormat() == pf32bit ? 4 : 3;
    auto rgb = [bytes](const uint8_t* row, int x) {
        const uint8_t* p = row + ptrdiff_t(x) * bytes;
        return TKColor(p[2]) << 16 | TKColor(p[1]) << 8 | p[0];
    };
    const TKColor transparent = rgb(FGlyph->ScanLine(FGlyph->Height() - 1), 0);
    Bitmap* buffer = this->FBuffer;
    // Only the part inside the buffer.
    const int x0 = std::max(0, -left), x1 = std::min<int>(cell.cx, buffer->Width() - left);
    const int y0 = std::max(0, -top), y1 = std::min<int>(cell.cy, buffer->Height() - top);
    GdiFlush();
    for (int y = y0; y < y1; ++y) {
        const uint8_t* source = FGlyph->ScanLine(y);
        TKColor* dest = buffer->ScanLine(top + y) + left;
        for (int x = x0; x < x1; ++x) {
            const TKColor pixel = rgb(source, sourceLeft + x);
            if (pixel != transparent) dest[x] = GlyphPixel(pixel);
        }
    }
}

template <class F>
void TSkinButton<F>::DrawCaption(TColor color)
{
    Bitmap* buffer = this->FBuffer;
    const std::string caption = this->Caption();
    const RECT area = GetCaptionRect();
    buffer->SetFont(this->Font());
    const int w = buffer->TextWidth(caption), h = buffer->TextHeight(caption);
    const int left = area.left + (RectWidth(area) - w) / 2, top = area.top + (RectHeight(area) - h) / 2;
    RECT r{left, top, left + w, top + h};
    // (The media family would add its right-to-left reading flags; the
    // framework lays everything out left to right.)
    const UINT format = DT_CENTER;
    if (this->Enabled()) {
        buffer->Font()->SetColor(color);
        buffer->DrawText(caption, r, format);
        return;
    }
    // Engraved: a light copy below and right, the shadow on top.
    buffer->Font()->SetColor(clBtnHighlight);
    OffsetRect(&r, 1, 1);
    buffer->DrawText(caption, r, format);
    buffer->Font()->SetColor(clBtnShadow);
    OffsetRect(&r, -1, -1);
    buffer->DrawText(caption, r, format);
}

template <class F>
void TSkinButton<F>::PaintText()
{
    DrawCaption(this->Font()->Color());
}

// --- Mouse and keys ------------------------------------------------------------------

template <class F>
void TSkinButton<F>::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && this->Enabled()) {
        if (this->CanFocus()) this->SetFocus();
        SetState(kbsPressed);
        FMouseCaptured = true;
    }
    Base::MouseDown(button, shift, x, y);
}

template <class F>
void TSkinButton<F>::MouseMove(TShiftState shift, int x, int y)
{
    if (FMouseCaptured) {
        const bool inside = x >= 0 && x < this->ClientWidth() && y >= 0 && y < this->ClientHeight();
        SetState(inside ? kbsPressed : kbsNormal);
    }
    Base::MouseMove(shift, x, y);
}

template <class F>
void TSkinButton<F>::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    Base::MouseUp(button, shift, x, y);
    if (!FMouseCaptured) return;
    FMouseCaptured = false;
    FState = kbsNormal;
    this->Invalidate();
    if (x >= 0 && x < this->Width() && y >= 0 && y < this->Height()) Click();
}

template <class F>
void TSkinButton<F>::MouseEnter()
{
    Base::MouseEnter();
    this->Invalidate();
}

template <class F>
void TSkinButton<F>::MouseLeave()
{
    Base::MouseLeave();
    this->Invalidate();
}

template <class F>
bool TSkinButton<F>::DoKeyDown(WORD& key, TShiftState shift)
{
    if (key == VK_SPACE && !(shift & ssAlt)) {
        FState = kbsPressed;
        this->Invalidate();
    }
    return Base::DoKeyDown(key, shift);
}

template <class F>
bool TSkinButton<F>::DoKeyUp(WORD& key, TShiftState shift)
{
    if (key != VK_SPACE) return Base::DoKeyUp(key, shift);
    FState = kbsNormal;
    this->Invalidate();
    key = 0;
    Click();
    return true;
}

template <class F>
void TSkinButton<F>::FocusChanged(TControl* focused)
{
    // A focused button takes Enter itself; away from the buttons the
    // default one does. (A button that turned every highlight off when any
    // button of its family was focused left Enter to nobody.)
    const bool isButton = dynamic_cast<TSkinButton*>(focused) || dynamic_cast<TButton*>(focused);
    const bool highlight = isButton ? focused == this : FDefault;
    if (highlight == FDefaultHighlight) return;
    FDefaultHighlight = highlight;
    this->Invalidate();
}

template <class F>
bool TSkinButton<F>::DialogKey(WPARAM key)
{
    if (KeyboardShiftState() & (ssShift | ssCtrl | ssAlt)) return false;
    bool mine = false;
    if (key == VK_RETURN) mine = FDefaultHighlight || (!KsFamily && this->Focused());
    else if (key == VK_ESCAPE) mine = FModalResult == mrCancel;
    if (!mine || !this->CanFocus()) return false;
    Click();
    return true;
}

template <class F>
void TSkinButton<F>::Click()
{
    // The handlers may change the action; the one clicked is the one run.
    TAction* action = FAction;
    if (TCustomForm* form = GetParentForm(this)) form->ModalResult = FModalResult;
    if constexpr (KsFamily) {
        // The button's own event, then the action.
        if (this->OnClick) this->OnClick(this);
        if (action) action->Execute();
    } else {
        // The event, unless it is the action's own handler: then the action.
        if (this->OnClick && !(action && this->OnClick == action->OnExecute))
            this->OnClick(this);
        else if (action)
            action->Execute();
    }
}

template <class F>
void TSkinButton<F>::Loaded()
{
    Base::Loaded();
    this->Invalidate();
}

template <class F>
void TSkinButton<F>::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_FOCUSCHANGED:
        FocusChanged(reinterpret_cast<TWinControl*>(m.LParam));
        break;
    case CM_DIALOGKEY:
        if (DialogKey(m.WParam)) {
            m.Result = 1;
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(m.WParam, this->Caption()) && this->CanFocus()) {
            this->SetFocus();
            Click();
            m.Result = 1;
            return;
        }
        break;
    case CM_ENABLEDCHANGED:
        if (this->HandleAllocated() && !(this->ComponentState() & csDesigning))
            EnableWindow(this->Handle(), this->Enabled());
        this->Invalidate();
        return;
    }
    Base::Dispatch(m);
    this->AfterBaseDispatch(m, {CM_TEXTCHANGED});
}

template <class F>
bool TSkinButton<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Action") {
        reader.ReadReference<TAction>([this](TAction* action) { SetAction(action); });
    } else if (name == "BlackAndWhiteGlyph") {
        SetBlackAndWhiteGlyph(reader.ReadBool());
    } else if (name == "Default") {
        SetDefault(reader.ReadBool());
    } else if (name == "Kind") {
        SetKind(TBitBtnKind(reader.ReadEnum(BitBtnKindNames())));
    } else if (name == "Layout") {
        SetLayout(TButtonLayout(reader.ReadEnum(ButtonLayoutNames())));
    } else if (name == "ModalResult") {
        SetModalResult(reader.Value().Kind == TValueKind::Ident ? reader.ReadEnum(ModalResultNames())
                                                                 : reader.ReadInteger());
    } else if (name == "NumGlyphs") {
        SetNumGlyphs(reader.ReadInteger());
    } else if (name == "Spacing") {
        SetSpacing(reader.ReadInteger());
    } else {
        if (name == "Caption") FCaptionStreamed = true;
        return Base::ReadProperty(name, reader);
    }
    return true;
}

template <class F>
TPersistent* TSkinButton<F>::PropertyObject(const std::string& name)
{
    if (name == "Glyph") return FGlyph;
    return Base::PropertyObject(name);
}

template class TSkinButton<TKsFamily>;
template class TSkinButton<TMpFamily>;

// --- The plain leaves -------------------------------------------------------------------

TKsCustomButton::TKsCustomButton(TComponent* owner) : TSkinButton(owner) {}

void TKsCustomButton::PaintBackground()
{
    PaintFace();
}

TMpCustomButton::TMpCustomButton(TComponent* owner) : TSkinButton(owner) {}

// --- The styled button ---------------------------------------------------------------------

template <class F>
TSkinStyledButton<F>::TSkinStyledButton(TComponent* owner)
    : Custom(owner), FBackground(new Background), FBorder(new Border)
{
    FBackground->OnChange = MakeEvent<&TSkinStyledButton::StyleChanged>(this);
    FBorder->OnChange = MakeEvent<&TSkinStyledButton::StyleChanged>(this);
}

template <class F>
TSkinStyledButton<F>::~TSkinStyledButton()
{
    this->BeginDestroy();
    delete FBorder;
    FBorder = nullptr;
    delete FBackground;
    FBackground = nullptr;
}

template <class F>
void TSkinStyledButton<F>::StyleChanged(TObject*)
{
    // At run time a form resource sets many style values in a row; Loaded
    // paints once they are all in.
    if (this->ComponentState() & csDesigning) this->Invalidate();
}

template <class F>
void TSkinStyledButton<F>::SetShowBevel(bool value)
{
    if (value == FShowBevel) return;
    FShowBevel = value;
    this->Invalidate();
}

template <class F>
void TSkinStyledButton<F>::SetBevelWidth(int value)
{
    if (value == FBevelWidth) return;
    FBevelWidth = value;
    this->Invalidate();
}

template <class F>
void TSkinStyledButton<F>::SetHotTextColor(TColor value)
{
    if (value == FHotTextColor) return;
    FHotTextColor = value;
    this->Invalidate();
}

template <class F>
void TSkinStyledButton<F>::PaintFace()
{
    if (!FBackground || !FBorder) return;
    typename F::Bitmap* buffer = this->FBuffer;
    const int w = this->Width(), h = this->Height();
    const RECT r{0, 0, w, h};
    const bool pressed = this->State() == kbsPressed;
    RECT fill = r;
    // Up, the fill reaches past the edges (a gradient's ends are not shown).
    if (!pressed) InflateRect(&fill, 1, 1);
    FBackground->Draw(buffer, fill);
    FBorder->Draw(buffer, r);
    if (!FShowBevel) return;
    GdiFlush();
    const int bw = buffer->Width(), bh = buffer->Height();
    // Each pixel read back and lightened or darkened by t.
    auto shade = [&](int x, int y, bool raise, uint8_t t) {
        if (x < 0 || y < 0 || x >= bw || y >= bh) return;
        TKColor& p = buffer->ScanLine(y)[x];
        p = raise ? RaisedColor(p, t) : SunkenColor(p, t);
    };
    for (int k = 0; k < FBevelWidth; ++k) {
        const int a = FBorder->Width() + k;
        // Rings further in than the control is wide and high hold no pixels.
        if (a > std::max(w, h)) break;
        const uint8_t t = uint8_t((int64_t(FBevelWidth - k) * 20) % 256);
        const int xFirst = std::max(a, 0), xLast = std::min(w - a - 1, bw - 1);
        const int yFirst = std::max(a + 1, 0), yLast = std::min(h - a - 1, bh - 1);
        for (int x = xFirst; x <= xLast; ++x) shade(x, a, !pressed, t);
        for (int x = xFirst; x <= xLast; ++x) shade(x, h - a - 1, pressed, t);
        for (int y = yFirst; y <= yLast; ++y) shade(a, y, !pressed, t);
        for (int y = yFirst; y <= yLast; ++y) shade(w - a - 1, y, pressed, t);
    }
}

template <class F>
void TSkinStyledButton<F>::PaintText()
{
    this->DrawCaption(this->MouseIn() ? FHotTextColor : this->Font()->Color());
}

template <class F>
bool TSkinStyledButton<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "ShowBevel") SetShowBevel(reader.ReadBool());
    else if (name == "BevelWidth") SetBevelWidth(reader.ReadInteger());
    else if (name == "HotTextColor") SetHotTextColor(ReadColor(reader));
    else if (name == "Version") SetVersion(reader.ReadString());
    else return Custom::ReadProperty(name, reader);
    return true;
}

template <class F>
TPersistent* TSkinStyledButton<F>::PropertyObject(const std::string& name)
{
    if (name == "Background") return FBackground;
    if (name == "Border") return FBorder;
    return Custom::PropertyObject(name);
}

template class TSkinStyledButton<TKsFamily>;
template class TSkinStyledButton<TMpFamily>;

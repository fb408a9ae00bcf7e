#include "CheckBoxes.h"

#include "Label.h"
#include "Reader.h"

#include <type_traits>

// --- Box and caption --------------------------------------------------------------

TKsCustomBoxControl::TKsCustomBoxControl(TComponent* owner) : TKsCustomControl(owner)
{
    // The state's setters click; the framework's own click on release would
    // click a second time.
    ControlStyle &= ~csClickEvents;
    SetBounds(Left(), Top(), 98, 20);
    SetTabStop(true);
    SetTransparent(true);
}

void TKsCustomBoxControl::SetSpacing(int value)
{
    if (value == FSpacing) return;
    FSpacing = value;
    Invalidate();
}

SIZE TKsCustomBoxControl::GetBoxSize()
{
    return SIZE{13, 13};
}

RECT TKsCustomBoxControl::BoxRect()
{
    const SIZE box = GetBoxSize();
    // Centred vertically, the offset truncated toward zero.
    const int top = (FBoundsHeight - box.cy) / 2;
    return RECT{0, top, box.cx, top + box.cy};
}

RECT TKsCustomBoxControl::TextRect()
{
    FBuffer->SetFont(Font());
    const std::string caption = Caption();
    const int w = FBuffer->TextWidth(caption), h = FBuffer->TextHeight(caption);
    const int left = GetBoxSize().cx + FSpacing, top = (FBoundsHeight - h) / 2;
    return RECT{left, top, left + w, top + h};
}

void TKsCustomBoxControl::PaintBuffer()
{
    PaintBox();
    PaintText();
}

void TKsCustomBoxControl::PaintBox()
{
    RECT box = BoxRect();
    UINT state = FrameState();
    if (!Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(FBuffer->DC(), &box, DFC_BUTTON, state);
    GdiFlush();
}

void TKsCustomBoxControl::PaintText()
{
    const RECT r = TextRect();
    const std::string caption = Caption();
    if (Enabled()) {
        FBuffer->DrawText(caption, r, 0);
    } else {
        // Engraved: a light copy one pixel down and right under a shadowed one.
        FBuffer->Font()->SetColor(clBtnHighlight);
        FBuffer->DrawText(caption, RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, 0);
        FBuffer->Font()->SetColor(clBtnShadow);
        FBuffer->DrawText(caption, r, 0);
    }
    if (FFocused)
        FBuffer->DrawFocusRect(RECT{r.left - 1, r.top - 2, r.right + 1 + 2, r.bottom + 2}, KColor(clBtnShadow, 255));
    GdiFlush();
}

void TKsCustomBoxControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // The press keeps the mouse (the base captures it) until the release.
    if (button == mbLeft && CanFocus()) SetFocus();
    TKsCustomControl::MouseDown(button, shift, x, y);
}

void TKsCustomBoxControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    // The far edges count as inside; any button turns the box.
    if (x >= 0 && x <= Width() && y >= 0 && y <= Height()) UserClick();
    TKsCustomControl::MouseUp(button, shift, x, y);
}

void TKsCustomBoxControl::MouseEnter()
{
    TKsCustomControl::MouseEnter();
    Invalidate();
}

void TKsCustomBoxControl::MouseLeave()
{
    TKsCustomControl::MouseLeave();
    Invalidate();
}

void TKsCustomBoxControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_KEYUP:
        // Space turns the box; no key release reaches OnKeyUp.
        if (m.WParam == VK_SPACE) UserClick();
        m.Result = 0;
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(m.WParam, Caption()) && CanFocus()) {
            SetFocus();
            if (Focused()) AccelPressed();
            m.Result = 1;
            return;
        }
        break;
    }
    TKsCustomControl::Dispatch(m);
    AfterBaseDispatch(m, {WM_SYSCOLORCHANGE, CM_SYSCOLORCHANGE, CM_TEXTCHANGED});
}

bool TKsCustomBoxControl::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Spacing") SetSpacing(reader.ReadInteger());
    else if (name == "OnDragDrop") OnDragDrop = reader.ReadEvent<TDragDropEvent>();
    else if (name == "OnDragOver") OnDragOver = reader.ReadEvent<TDragOverEvent>();
    else if (name == "OnEndDrag") OnEndDrag = reader.ReadEvent<TEndDragEvent>();
    else return TKsCustomControl::ReadProperty(name, reader);
    return true;
}

// --- Check box ---------------------------------------------------------------------

TKsCustomCheckBox::TKsCustomCheckBox(TComponent* owner) : TKsCustomBoxControl(owner)
{
    SetCaption("CheckBox");
}

void TKsCustomCheckBox::SetChecked(bool value)
{
    SetState(value ? cbChecked : cbUnchecked);
}

void TKsCustomCheckBox::SetState(TCheckBoxState value)
{
    if (value == FState) return;
    FState = value;
    Invalidate();
    if (!Loading()) Click();
}

void TKsCustomCheckBox::Toggle()
{
    SetState(FState == cbChecked ? cbUnchecked : cbChecked);
}

UINT TKsCustomCheckBox::FrameState() const
{
    switch (FState) {
    case cbChecked: return DFCS_BUTTONCHECK | DFCS_CHECKED;
    case cbGrayed: return DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_BUTTON3STATE;
    default: return DFCS_BUTTONCHECK;
    }
}

bool TKsCustomCheckBox::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames states = {"cbUnchecked", "cbChecked", "cbGrayed"};
    if (name == "Checked") SetChecked(reader.ReadBool());
    else if (name == "State") SetState(TCheckBoxState(reader.ReadEnum(states)));
    else return TKsCustomBoxControl::ReadProperty(name, reader);
    return true;
}

// --- Radio button -------------------------------------------------------------------

TKsCustomRadioButton::TKsCustomRadioButton(TComponent* owner) : TKsCustomBoxControl(owner)
{
    SetCaption("RadioButton");
}

unsigned long long TKsCustomRadioButton::FCheckedReads = 0;

void TKsCustomRadioButton::SetChecked(bool value)
{
    if (value == FChecked) return;
    SetTabStop(value);
    FChecked = value;
    if (value) {
        if (Loading()) {
            FCheckedRead = ++FCheckedReads;
        } else {
            TurnSiblingsOff();
            Click();
        }
    }
    Invalidate();
}

void TKsCustomRadioButton::Loaded()
{
    TKsCustomBoxControl::Loaded();
    if (!Parent()) return;
    TWinControl* parent = Parent();
    if (!FChecked) {
        // Only the checked button of a group is a tab stop: Tab, which
        // checks the button it lands on, leaves the group's choice alone.
        // A group with none checked keeps its stops, or Tab could not reach it.
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* other = dynamic_cast<TKsCustomRadioButton*>(parent->Controls(i));
            if (other && other->FChecked && other->FGroupIndex == FGroupIndex) {
                SetTabStop(false);
                return;
            }
        }
        return;
    }
    // Every group index is read now: of the group's buttons read as
    // checked, the last one read stays so.
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<TKsCustomRadioButton*>(parent->Controls(i));
        if (other && other != this && other->FChecked && other->FGroupIndex == FGroupIndex &&
            other->FCheckedRead > FCheckedRead) {
            SetChecked(false);
            return;
        }
    }
    TurnSiblingsOff();
}

void TKsCustomRadioButton::TurnSiblingsOff()
{
    TWinControl* parent = Parent();
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<TKsCustomRadioButton*>(parent->Controls(i));
        if (other && other != this && other->FGroupIndex == FGroupIndex) other->SetChecked(false);
    }
}

void TKsCustomRadioButton::UserClick()
{
    if (!FChecked) SetChecked(true);
}

void TKsCustomRadioButton::HasFocus()
{
    TKsCustomBoxControl::HasFocus();
    SetChecked(true);
}

void TKsCustomRadioButton::Dispatch(TMessage& m)
{
    TKsCustomBoxControl::Dispatch(m);
    // Said as the platform's radio buttons say it: the dialog keys move
    // among the radio buttons of a parent by this answer.
    AfterBaseDispatch(m, {}, DLGC_BUTTON | DLGC_RADIOBUTTON);
}

UINT TKsCustomRadioButton::FrameState() const
{
    return FChecked ? DFCS_BUTTONRADIO | DFCS_CHECKED : DFCS_BUTTONRADIO;
}

bool TKsCustomRadioButton::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Checked") {
        SetChecked(reader.ReadBool());
    } else if (name == "GroupIndex") {
        const int value = reader.ReadInteger();
        if (value < 0 || value > 255) reader.Fail("GroupIndex must lie in 0..255");
        SetGroupIndex(uint8_t(value));
    } else {
        return TKsCustomBoxControl::ReadProperty(name, reader);
    }
    return true;
}

// --- The Ep box ----------------------------------------------------------------------

template <class Base>
TEpBoxStyle<Base>::TEpBoxStyle(TComponent* owner)
    : Base(owner), FBoxBackground(new TEpBackground), FBoxBorder(new TEpBorder)
{
    FBoxBackground->OnChange = MakeEvent<&TEpBoxStyle::BoxStyleChanged>(this);
    FBoxBorder->OnChange = MakeEvent<&TEpBoxStyle::BoxStyleChanged>(this);
}

template <class Base>
TEpBoxStyle<Base>::~TEpBoxStyle()
{
    this->BeginDestroy();
    delete FBoxBorder;
    FBoxBorder = nullptr;
    delete FBoxBackground;
    FBoxBackground = nullptr;
}

template <class Base>
void TEpBoxStyle<Base>::SetBoxWidth(int value)
{
    if (value == FBoxWidth) return;
    FBoxWidth = value;
    this->Invalidate();
}

template <class Base>
void TEpBoxStyle<Base>::SetShowGlyph(bool value)
{
    if (value == FShowGlyph) return;
    FShowGlyph = value;
    this->Invalidate();
}

template <class Base>
void TEpBoxStyle<Base>::SetGlyphColor(TColor value)
{
    if (value == FGlyphColor) return;
    FGlyphColor = value;
    this->Invalidate();
}

template <class Base>
void TEpBoxStyle<Base>::BoxStyleChanged(TObject*)
{
    if (this->Destroying()) return;
    if constexpr (std::is_base_of_v<TKsCustomRadioButton, Base>)
        this->Invalidate();
    else if (this->ComponentState() & csDesigning)
        this->Invalidate();
}

template <class Base>
void TEpBoxStyle<Base>::PaintBox()
{
    if (!FBoxBorder) return;
    const RECT box = this->BoxRect();
    FBoxBackground->Draw(this->FBuffer, box);
    FBoxBorder->Draw(this->FBuffer, box);
    if (!FShowGlyph || !this->Marked()) return;
    const TKColor color = this->Enabled() ? KColor(FGlyphColor, 255) : KsColors::ckBtnFace;
    const int inset = FBoxBorder->Width() + 2;
    PaintGlyph(RECT{box.left + inset, box.top + inset, box.right - inset, box.bottom - inset}, color);
    GdiFlush();
}

template <class Base>
TPersistent* TEpBoxStyle<Base>::PropertyObject(const std::string& name)
{
    if (name == "BoxBackground") return FBoxBackground;
    if (name == "BoxBorder") return FBoxBorder;
    return Base::PropertyObject(name);
}

template <class Base>
bool TEpBoxStyle<Base>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "BoxWidth") SetBoxWidth(reader.ReadInteger());
    else if (name == "ShowGlyph") SetShowGlyph(reader.ReadBool());
    else if (name == "GlyphColor") SetGlyphColor(ReadColor(reader));
    else if (name == "Version") reader.ReadString();  // read-only: the text is ours
    else return Base::ReadProperty(name, reader);
    return true;
}

template class TEpBoxStyle<TKsCustomCheckBox>;
template class TEpBoxStyle<TKsCustomRadioButton>;

void TEpCheckBox::PaintGlyph(const RECT& inner, TKColor color)
{
    // A thick cross of six lines, each without its end point.
    const int l = inner.left, t = inner.top, r = inner.right, b = inner.bottom;
    const RECT lines[] = {{l, t, r, b},         {l + 1, t, r, b - 1}, {l, t + 1, r - 1, b},
                          {l, b - 1, r, t - 1}, {l, b - 2, r - 1, t - 1}, {l + 1, b - 1, r, t}};
    for (const RECT& line : lines) FBuffer->DrawLine(line, color);
}

void TEpRadioButton::PaintGlyph(const RECT& inner, TKColor color)
{
    FBuffer->FillRoundRect(inner, 3, color);
}

void RegisterCheckBoxClasses()
{
    RegisterClasses<TKsCustomCheckBox, TKsCustomRadioButton, TEpCheckBox, TEpRadioButton>();
}

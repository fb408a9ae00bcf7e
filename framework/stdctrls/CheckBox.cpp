#include "CheckBox.h"

#include "Reader.h"

// --- TButtonControl ---------------------------------------------------------

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner)
{
    // The platform reports clicks (mouse, space bar, BM_CLICK) as BN_CLICKED.
    ControlStyle &= ~csClickEvents;
    SetBounds(0, 0, 97, 17);
}

void TButtonControl::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SubclassOf = "BUTTON";
    params.Style |= ButtonType();
    if (FAlignment == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TButtonControl::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment) return;
    FAlignment = alignment;
    RecreateWnd();
}

void TButtonControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == BN_CLICKED) Clicked();
        return;
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN: {
        // Following the parent's colour means painting with the parent's brush.
        TBrush* brush = ParentColor() && Parent() ? Parent()->Brush() : Brush();
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkColor(dc, ColorToRGB(brush->Color()));
        m.Result = reinterpret_cast<LRESULT>(brush->Handle());
        return;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(m.WParam, Caption()) && CanFocus()) {
            SetFocus();
            AccelPressed();
            m.Result = 1;
        }
        return;
    }
    TWinControl::Dispatch(m);
}

bool TButtonControl::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Alignment") SetAlignment(TAlignment(reader.ReadEnum(AlignmentNames())));
    else return TWinControl::ReadProperty(name, reader);
    return true;
}

// --- TCheckBox --------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner)
{
    SetTabStop(true);
}

void TCheckBox::CreateWnd()
{
    TButtonControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, WPARAM(FState), 0);
}

void TCheckBox::SetState(TCheckBoxState state)
{
    if (state == FState) return;
    FState = state;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, WPARAM(state), 0);
    if (!Loading()) Click();
}

void TCheckBox::SetAllowGrayed(bool value)
{
    if (value == FAllowGrayed) return;
    FAllowGrayed = value;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETSTYLE, ButtonType(), TRUE);
}

void TCheckBox::Toggle()
{
    switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

void TCheckBox::Clicked()
{
    // The platform has already moved the box on; take its state over.
    if (!HandleAllocated()) return;
    LRESULT check = SendMessageA(Handle(), BM_GETCHECK, 0, 0);
    SetState(check == BST_CHECKED ? cbChecked : check == BST_INDETERMINATE ? cbGrayed : cbUnchecked);
}

bool TCheckBox::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames states = {"cbUnchecked", "cbChecked", "cbGrayed"};
    if (name == "Checked") SetChecked(reader.ReadBool());
    else if (name == "State") SetState(TCheckBoxState(reader.ReadEnum(states)));
    else if (name == "AllowGrayed") SetAllowGrayed(reader.ReadBool());
    else return TButtonControl::ReadProperty(name, reader);
    return true;
}

// --- TRadioButton -----------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {}

void TRadioButton::CreateWnd()
{
    TButtonControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value)
{
    if (value == FChecked) return;
    FChecked = value;
    // Tab reaches a group of radio buttons at its checked one.
    SetTabStop(value);
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value) return;
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i));
            if (other && other != this) other->SetChecked(false);
        }
    }
    if (!Loading()) Click();
}

bool TRadioButton::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Checked") SetChecked(reader.ReadBool());
    else return TButtonControl::ReadProperty(name, reader);
    return true;
}

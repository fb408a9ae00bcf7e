#include "Label.h"

#include "Reader.h"
#include "WinControl.h"

const std::vector<const char*>& AlignmentNames()
{
    static const std::vector<const char*> names = {"taLeftJustify", "taRightJustify", "taCenter"};
    return names;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    ControlStyle |= csOpaque;
    SetBounds(0, 0, 65, 17);
    AdjustBounds();
}

TLabel::~TLabel()
{
    BeginDestroy();
    SetFocusControl(nullptr);
}

void TLabel::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment) return;
    FAlignment = alignment;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout layout)
{
    if (layout == FLayout) return;
    FLayout = layout;
    Invalidate();
}

void TLabel::SetWordWrap(bool value)
{
    if (value == FWordWrap) return;
    FWordWrap = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAutoSize(bool value)
{
    if (value == FAutoSize) return;
    FAutoSize = value;
    AdjustBounds();
}

void TLabel::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    // An opaque label covers its bounds itself: the parent need not erase them.
    if (value)
        ControlStyle &= ~csOpaque;
    else
        ControlStyle |= csOpaque;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value)
{
    if (value == FShowAccelChar) return;
    FShowAccelChar = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* control)
{
    if (control == FFocusControl) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = control;
    if (control) control->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

UINT TLabel::DrawTextFlags() const
{
    UINT flags = DT_EXPANDTABS;
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    if (FAlignment == taRightJustify)
        flags |= DT_RIGHT;
    else if (FAlignment == taCenter)
        flags |= DT_CENTER;
    return flags;
}

void TLabel::AdjustBounds()
{
    if (!FAutoSize || Loading() || Destroying()) return;
    std::string text = Caption();
    // An empty caption still takes one line.
    if (text.empty() || (FShowAccelChar && text == "&")) text += ' ';
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    RECT r = {0, 0, FWordWrap ? Width() : 0, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &r, DrawTextFlags() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int width = FWordWrap ? Width() : int(r.right);
    int left = Left();
    // The edge the text is aligned to stays where it is.
    if (FAlignment == taRightJustify)
        left += Width() - width;
    else if (FAlignment == taCenter)
        left += (Width() - width) / 2;
    SetBounds(left, Top(), width, int(r.bottom));
}

void TLabel::Paint()
{
    TCanvas* canvas = Canvas();
    RECT client = ClientRect();
    if (!FTransparent) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(client);
    }
    std::string text = Caption();
    if (text.empty()) return;
    HDC dc = canvas->Handle();
    HGDIOBJ oldFont = SelectObject(dc, canvas->Font()->Handle());
    UINT flags = DrawTextFlags();
    RECT r = client;
    if (FLayout != tlTop) {
        RECT calc = client;
        DrawTextA(dc, text.c_str(), int(text.size()), &calc, flags | DT_CALCRECT);
        int height = calc.bottom - calc.top;
        r.top += FLayout == tlCenter ? (client.bottom - height) / 2 : client.bottom - height;
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    DrawTextA(dc, text.c_str(), int(text.size()), &r, flags);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void TLabel::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        Invalidate();
        return;
    case CM_DIALOGCHAR:
        if (FFocusControl && FShowAccelChar && Enabled() && IsAccel(m.WParam, Caption()) && FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            m.Result = 1;
        }
        return;
    }
    TGraphicControl::Dispatch(m);
}

void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

bool TLabel::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames layouts = {"tlTop", "tlCenter", "tlBottom"};
    if (name == "Alignment") SetAlignment(TAlignment(reader.ReadEnum(AlignmentNames())));
    else if (name == "Layout") SetLayout(TTextLayout(reader.ReadEnum(layouts)));
    else if (name == "WordWrap") SetWordWrap(reader.ReadBool());
    else if (name == "AutoSize") SetAutoSize(reader.ReadBool());
    else if (name == "Transparent") SetTransparent(reader.ReadBool());
    else if (name == "ShowAccelChar") SetShowAccelChar(reader.ReadBool());
    else if (name == "FocusControl") reader.ReadReference<TWinControl>([this](TWinControl* c) { SetFocusControl(c); });
    else return TGraphicControl::ReadProperty(name, reader);
    return true;
}

#include "Panel.h"

#include "Reader.h"

#include <algorithm>

TPanel::TPanel(TComponent* owner) : TCustomControl(owner)
{
    // The panel fills every pixel itself: no erasing first, no flicker.
    ControlStyle |= csAcceptsControls | csOpaque;
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TPanel::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment) return;
    FAlignment = alignment;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut cut)
{
    if (cut == FBevelInner) return;
    FBevelInner = cut;
    FrameChanged();
}

void TPanel::SetBevelOuter(TBevelCut cut)
{
    if (cut == FBevelOuter) return;
    FBevelOuter = cut;
    FrameChanged();
}

void TPanel::SetBevelWidth(int width)
{
    width = std::max(1, width);
    if (width == FBevelWidth) return;
    FBevelWidth = width;
    FrameChanged();
}

void TPanel::SetBorderWidth(int width)
{
    width = std::max(0, width);
    if (width == FBorderWidth) return;
    FBorderWidth = width;
    FrameChanged();
}

void TPanel::SetBorderStyle(TFormBorderStyle style)
{
    style = style == bsNone ? bsNone : bsSingle;
    if (style == FBorderStyle) return;
    FBorderStyle = style;
    RecreateWnd();
    FrameChanged();
}

void TPanel::FrameChanged()
{
    // The client rectangle moved: aligned children follow it.
    Realign();
    Invalidate();
}

int TPanel::FrameInset() const
{
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone) inset += FBevelWidth;
    if (FBevelInner != bvNone) inset += FBevelWidth;
    return inset;
}

RECT TPanel::ClientRect()
{
    RECT r = TCustomControl::ClientRect();
    int inset = FrameInset();
    r.left += inset;
    r.top += inset;
    r.right = std::max(r.left, r.right - inset);
    r.bottom = std::max(r.top, r.bottom - inset);
    return r;
}

void TPanel::SetClientSize(int width, int height)
{
    RECT frame = FrameSize();
    int inset = 2 * FrameInset();
    SetBounds(Left(), Top(), width + inset + frame.left + frame.right, height + inset + frame.top + frame.bottom);
}

void TPanel::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    if (FBorderStyle == bsSingle) params.Style |= WS_BORDER;
}

void TPanel::DrawBevel(RECT& r, TBevelCut cut)
{
    TColor topLeft = cut == bvRaised ? clBtnHighlight : cut == bvLowered ? clBtnShadow : Color();
    TColor bottomRight = cut == bvRaised ? clBtnShadow : cut == bvLowered ? clBtnHighlight : Color();
    TCanvas* canvas = Canvas();
    for (int i = 0; i < FBevelWidth && r.right > r.left && r.bottom > r.top; ++i) {
        // Top and left edges, then bottom and right, which own the corners
        // they share with the others.
        canvas->Brush()->SetColor(topLeft);
        canvas->FillRect(RECT{r.left, r.top, r.right - 1, r.top + 1});
        canvas->FillRect(RECT{r.left, r.top, r.left + 1, r.bottom - 1});
        canvas->Brush()->SetColor(bottomRight);
        canvas->FillRect(RECT{r.right - 1, r.top, r.right, r.bottom});
        canvas->FillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom});
        InflateRect(&r, -1, -1);
    }
}

void TPanel::Paint()
{
    TCanvas* canvas = Canvas();
    RECT r = TCustomControl::ClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    if (FBevelOuter != bvNone) DrawBevel(r, FBevelOuter);
    InflateRect(&r, -FBorderWidth, -FBorderWidth);
    if (FBevelInner != bvNone) DrawBevel(r, FBevelInner);

    std::string text = Caption();
    if (text.empty() || r.right <= r.left || r.bottom <= r.top) return;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    format |= FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
    HDC dc = canvas->Handle();
    HGDIOBJ oldFont = SelectObject(dc, canvas->Font()->Handle());
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    DrawTextA(dc, text.c_str(), int(text.size()), &r, format);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void TPanel::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_TEXTCHANGED:
        Invalidate();
        return;
    case WM_SIZE:
        TCustomControl::Dispatch(m);
        if (FullRepaint) Invalidate();
        return;
    }
    TCustomControl::Dispatch(m);
}

bool TPanel::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames alignments = {"taLeftJustify", "taRightJustify", "taCenter"};
    static const TEnumNames bevels = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
    static const TEnumNames borders = {"bsNone", "bsSingle"};
    if (name == "Alignment") SetAlignment(TAlignment(reader.ReadEnum(alignments)));
    else if (name == "BevelInner") SetBevelInner(TBevelCut(reader.ReadEnum(bevels)));
    else if (name == "BevelOuter") SetBevelOuter(TBevelCut(reader.ReadEnum(bevels)));
    else if (name == "BevelWidth") SetBevelWidth(reader.ReadInteger());
    else if (name == "BorderWidth") SetBorderWidth(reader.ReadInteger());
    else if (name == "BorderStyle") SetBorderStyle(TFormBorderStyle(reader.ReadEnum(borders)));
    else if (name == "FullRepaint") FullRepaint = reader.ReadBool();
    else if (name == "ParentBackground") ParentBackground = reader.ReadBool();
    else return TCustomControl::ReadProperty(name, reader);
    return true;
}

#include "GroupBox.h"

#include "FlagScope.h"
#include "Reader.h"

#include <algorithm>

namespace {
// Room between the frame and the radio buttons.
constexpr int ButtonMargin = 8;
}  // namespace

// --- TCustomGroupBox ----------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner)
{
    ControlStyle |= csAcceptsControls;
    SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight()
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return int(metrics.tmHeight);
}

void TCustomGroupBox::Paint()
{
    TCanvas* canvas = Canvas();
    RECT client = ClientRect();
    int captionHeight = CaptionHeight();
    int top = captionHeight / 2;
    // Etched: a highlight frame one pixel down and right, under a shadow frame.
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->FrameRect(RECT{1, top + 1, client.right, client.bottom});
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(RECT{0, top, client.right - 1, client.bottom - 1});

    std::string text = Caption();
    if (text.empty()) return;
    HDC dc = canvas->Handle();
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    RECT textRect = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &textRect, DT_CALCRECT | DT_SINGLELINE);
    OffsetRect(&textRect, ButtonMargin, 0);
    // The caption interrupts the frame line.
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(RECT{textRect.left - 2, 0, textRect.right + 2, captionHeight});
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    DrawTextA(dc, text.c_str(), int(text.size()), &textRect, DT_SINGLELINE);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void TCustomGroupBox::AlignControls(RECT& rect)
{
    rect.left += 2;
    rect.right -= 2;
    rect.bottom -= 2;
    rect.top += CaptionHeight() + 2;
    TCustomControl::AlignControls(rect);
}

void TCustomGroupBox::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_TEXTCHANGED:
        Invalidate();
        return;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(m);
        // The caption band changed height.
        Realign();
        return;
    }
    TCustomControl::Dispatch(m);
}

// --- TRadioGroup ------------------------------------------------------------

TRadioGroup::TRadioGroup(TComponent* owner) : TCustomGroupBox(owner), FItems(new TStringList)
{
    // It holds its own buttons only, and its OnClick is about them.
    ControlStyle &= ~(csAcceptsControls | csClickEvents);
    FItems->OnChange = MakeEvent<&TRadioGroup::ItemsChanged>(this);
}

TRadioGroup::~TRadioGroup()
{
    BeginDestroy();
    FItems->OnChange = nullptr;
    delete FItems;
    FItems = nullptr;
    for (TRadioButton* button : FButtons) button->OnClick = nullptr;
}

TRadioButton* TRadioGroup::Buttons(int index) const
{
    if (index < 0 || index >= ButtonCount()) throw EListError("Button index out of bounds (" + std::to_string(index) + ")");
    return FButtons[size_t(index)];
}

void TRadioGroup::ItemsChanged(TObject*)
{
    if (!Destroying()) UpdateButtons();
}

void TRadioGroup::UpdateButtons()
{
    while (ButtonCount() > FItems->Count()) {
        TRadioButton* button = FButtons.back();
        FButtons.pop_back();
        button->Free();
    }
    while (ButtonCount() < FItems->Count()) {
        auto* button = new TRadioButton(this);
        button->OnClick = MakeEvent<&TRadioGroup::ButtonClick>(this);
        button->SetParent(this);
        FButtons.push_back(button);
    }
    for (int i = 0; i < ButtonCount(); ++i) FButtons[size_t(i)]->SetCaption(FItems->Get(i));
    if (Loading()) return;
    if (FItemIndex >= ButtonCount()) FItemIndex = -1;
    CheckButtons();
    ArrangeButtons();
}

void TRadioGroup::CheckButtons()
{
    TFlagScope updating(FUpdating);
    for (int i = 0; i < ButtonCount(); ++i) FButtons[size_t(i)]->SetChecked(i == FItemIndex);
}

void TRadioGroup::ArrangeButtons()
{
    if (FButtons.empty() || Loading()) return;
    int count = ButtonCount();
    int rows = (count + FColumns - 1) / FColumns;
    RECT client = ClientRect();
    int captionHeight = CaptionHeight();
    int top = captionHeight + 2;
    int columnWidth = std::max(0, int(client.right) - 2 * ButtonMargin) / FColumns;
    int rowHeight = std::max(0, int(client.bottom) - top - 4) / rows;
    int buttonHeight = std::min(rowHeight, captionHeight + 4);
    for (int i = 0; i < count; ++i) {
        int column = i / rows, row = i % rows;
        FButtons[size_t(i)]->SetBounds(ButtonMargin + column * columnWidth, top + row * rowHeight + (rowHeight - buttonHeight) / 2,
                                       columnWidth, buttonHeight);
    }
}

void TRadioGroup::SetItemIndex(int index)
{
    // Items may still be on their way.
    if (Loading()) {
        FItemIndex = index;
        return;
    }
    index = std::max(-1, std::min(index, ButtonCount() - 1));
    if (index == FItemIndex) return;
    FItemIndex = index;
    CheckButtons();
}

void TRadioGroup::SetColumns(int columns)
{
    columns = std::max(1, std::min(16, columns));
    if (columns == FColumns) return;
    FColumns = columns;
    ArrangeButtons();
}

void TRadioGroup::ButtonClick(TObject* sender)
{
    if (FUpdating) return;
    auto it = std::find(FButtons.begin(), FButtons.end(), sender);
    if (it == FButtons.end()) return;
    int index = int(it - FButtons.begin());
    if (index == FItemIndex) return;
    FItemIndex = index;
    Click();
}

void TRadioGroup::Resize()
{
    TCustomGroupBox::Resize();
    ArrangeButtons();
}

void TRadioGroup::Dispatch(TMessage& m)
{
    TCustomGroupBox::Dispatch(m);
    if (m.Msg == CM_FONTCHANGED) ArrangeButtons();
}

void TRadioGroup::Loaded()
{
    TCustomGroupBox::Loaded();
    UpdateButtons();
}

void TRadioGroup::Notification(TComponent* component, TOperation operation)
{
    TCustomGroupBox::Notification(component, operation);
    if (operation == opRemove)
        FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), component), FButtons.end());
}

TPersistent* TRadioGroup::PropertyObject(const std::string& name)
{
    if (name == "Items") return FItems;
    return TCustomGroupBox::PropertyObject(name);
}

bool TRadioGroup::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "ItemIndex") SetItemIndex(reader.ReadInteger());
    else if (name == "Columns") SetColumns(reader.ReadInteger());
    else return TCustomGroupBox::ReadProperty(name, reader);
    return true;
}

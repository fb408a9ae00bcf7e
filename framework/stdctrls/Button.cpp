#include "Button.h"

#include "Form.h"
#include "Label.h"
#include "Reader.h"
#include "Streams.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace {

void ForEachButton(TWinControl* parent, const std::function<void(TButton*)>& call)
{
    for (int i = 0; i < parent->ControlCount(); ++i) {
        if (auto* child = dynamic_cast<TWinControl*>(parent->Controls(i))) {
            if (auto* button = dynamic_cast<TButton*>(child)) call(button);
            ForEachButton(child, call);
        }
    }
}

TButton* FocusedButton()
{
    return dynamic_cast<TButton*>(TWinControl::FindControl(GetFocus()));
}

}  // namespace

const TBitBtnKindInfo& BitBtnKindInfo(TBitBtnKind kind)
{
    static const TBitBtnKindInfo kinds[] = {
        {"", mrNone, false, false},           // bkCustom
        {"OK", mrOk, true, false},            // bkOK
        {"Cancel", mrCancel, false, true},    // bkCancel
        {"&Help", mrNone, false, false},      // bkHelp
        {"&Yes", mrYes, true, false},         // bkYes
        {"&No", mrNo, false, true},           // bkNo
        {"&Close", mrNone, false, false},     // bkClose
        {"Abort", mrAbort, false, false},     // bkAbort
        {"&Retry", mrRetry, false, false},    // bkRetry
        {"&Ignore", mrIgnore, false, false},  // bkIgnore
        {"&All", mrAll, false, false},        // bkAll
    };
    return kinds[kind];
}

const TEnumNames& BitBtnKindNames()
{
    static const TEnumNames names = {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo",
                                     "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"};
    return names;
}

const TEnumNames& ButtonLayoutNames()
{
    static const TEnumNames names = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
    return names;
}

const TEnumNames& ModalResultNames()
{
    static const TEnumNames names = {"mrNone", "mrOk", "mrCancel", "mrAbort", "mrRetry", "mrIgnore",
                                     "mrYes", "mrNo", "mrAll", "mrNoToAll", "mrYesToAll"};
    return names;
}

// --- TButton ----------------------------------------------------------------

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    // The platform reports clicks (mouse, space bar, BM_CLICK) as BN_CLICKED.
    ControlStyle &= ~csClickEvents;
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SubclassOf = "BUTTON";
    params.Style |= ButtonStyle();
}

DWORD TButton::ButtonStyle() const
{
    return FActive ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value)
{
    if (value == FDefault) return;
    FDefault = value;
    // A focused button keeps the look until the focus leaves it.
    TButton* focused = FocusedButton();
    if (!focused || focused == this) SetActiveLook(value || focused == this);
}

void TButton::SetCancel(bool value)
{
    FCancel = value;
}

void TButton::SetActiveLook(bool active)
{
    if (active == FActive) return;
    FActive = active;
    UpdateButtonStyle();
}

void TButton::UpdateButtonStyle()
{
    if (!HandleAllocated()) return;
    DWORD style = ButtonStyle();
    if ((DWORD(GetWindowLongPtrA(Handle(), GWL_STYLE)) & BS_TYPEMASK) != style)
        SendMessageA(Handle(), BM_SETSTYLE, style, TRUE);
    else
        Invalidate();
}

void TButton::DoEnter()
{
    // The focused button is the one Enter clicks now.
    if (TCustomForm* form = GetParentForm(this))
        ForEachButton(form, [this](TButton* button) { button->SetActiveLook(button == this); });
    TWinControl::DoEnter();
}

void TButton::DoExit()
{
    if (TCustomForm* form = GetParentForm(this))
        ForEachButton(form, [](TButton* button) { button->SetActiveLook(button->FDefault); });
    TWinControl::DoExit();
}

void TButton::Click()
{
    if (FModalResult != mrNone) {
        if (TCustomForm* form = GetParentForm(this)) form->ModalResult = FModalResult;
    }
    TWinControl::Click();
}

void TButton::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == BN_CLICKED) Click();
        return;
    case CM_DIALOGKEY: {
        bool mine = false;
        if (m.WParam == VK_RETURN) {
            TButton* focused = FocusedButton();
            mine = focused ? focused == this : FDefault;
        } else if (m.WParam == VK_ESCAPE) {
            mine = FCancel;
        }
        if (mine && CanFocus()) {
            Click();
            m.Result = 1;
        }
        return;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(m.WParam, Caption()) && CanFocus()) {
            Click();
            m.Result = 1;
        }
        return;
    }
    TWinControl::Dispatch(m);
}

bool TButton::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Default") SetDefault(reader.ReadBool());
    else if (name == "Cancel") SetCancel(reader.ReadBool());
    else if (name == "ModalResult")
        SetModalResult(reader.Value().Kind == TValueKind::Ident ? reader.ReadEnum(ModalResultNames()) : reader.ReadInteger());
    else return TWinControl::ReadProperty(name, reader);
    return true;
}

// --- TBitBtn ----------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), FGlyph(new TBitmap)
{
    FGlyph->OnChange = MakeEvent<&TBitBtn::GlyphChanged>(this);
}

TBitBtn::~TBitBtn()
{
    BeginDestroy();
    delete FGlyph;
    FGlyph = nullptr;
}

void TBitBtn::SetKind(TBitBtnKind kind)
{
    if (kind == FKind) return;
    const TBitBtnKindInfo& old = BitBtnKindInfo(FKind);
    const TBitBtnKindInfo& now = BitBtnKindInfo(kind);
    FKind = kind;
    // A custom button keeps what the last kind gave it.
    if (kind == bkCustom) return;
    SetModalResult(now.ModalResult);
    SetDefault(now.Default || (Default() && !old.Default));
    SetCancel(now.Cancel || (Cancel() && !old.Cancel));
    std::string caption = Caption();
    if (caption.empty() || caption == old.Caption) SetCaption(now.Caption);
}

void TBitBtn::SetGlyph(TBitmap* glyph)
{
    if (glyph)
        FGlyph->Assign(glyph);
    else
        FGlyph->SetHandle(nullptr);
}

void TBitBtn::SetLayout(TButtonLayout layout)
{
    if (layout == FLayout) return;
    FLayout = layout;
    Invalidate();
}

void TBitBtn::SetMargin(int margin)
{
    margin = std::max(-1, margin);
    if (margin == FMargin) return;
    FMargin = margin;
    Invalidate();
}

void TBitBtn::SetSpacing(int spacing)
{
    if (spacing == FSpacing) return;
    FSpacing = spacing;
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int count)
{
    count = std::max(1, std::min(4, count));
    if (count == FNumGlyphs) return;
    FNumGlyphs = count;
    Invalidate();
}

DWORD TBitBtn::ButtonStyle() const
{
    if (FGlyph && !FGlyph->Empty()) return BS_OWNERDRAW;
    return TButton::ButtonStyle();
}

void TBitBtn::GlyphChanged(TObject*)
{
    if (!HandleAllocated()) return;
    // Owner drawing is chosen when the window is made.
    bool ownerDrawn = (GetWindowLongPtrA(Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
    if (ownerDrawn != (ButtonStyle() == BS_OWNERDRAW))
        RecreateWnd();
    else
        Invalidate();
}

void TBitBtn::Click()
{
    TButton::Click();
    if (FKind == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) form->Close();
    }
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    bool pushed = (item.itemState & ODS_SELECTED) != 0;
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    bool focused = (item.itemState & ODS_FOCUS) != 0;

    RECT face = r;
    if (ActiveLook() || focused) {
        FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -1, -1);
    }
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    std::string text = Caption();
    SIZE textSize = {0, 0};
    if (!text.empty()) {
        RECT calc = {0, 0, 0, 0};
        DrawTextA(dc, text.c_str(), int(text.size()), &calc, DT_CALCRECT | DT_SINGLELINE);
        textSize = SIZE{calc.right, calc.bottom};
    }
    int glyphWidth = FGlyph->Empty() ? 0 : FGlyph->Width() / FNumGlyphs;
    int glyphHeight = FGlyph->Empty() ? 0 : FGlyph->Height();
    int spacing = glyphWidth > 0 && !text.empty() ? FSpacing : 0;
    int width = r.right - r.left, height = r.bottom - r.top;

    POINT glyph;
    POINT textAt;
    if (FLayout == blGlyphLeft || FLayout == blGlyphRight) {
        int start = FMargin < 0 ? (width - glyphWidth - spacing - textSize.cx) / 2 : FMargin;
        glyph.y = (height - glyphHeight) / 2;
        textAt.y = (height - textSize.cy) / 2;
        if (FLayout == blGlyphLeft) {
            glyph.x = start;
            textAt.x = start + glyphWidth + spacing;
        } else {
            glyph.x = width - start - glyphWidth;
            textAt.x = glyph.x - spacing - textSize.cx;
        }
    } else {
        int start = FMargin < 0 ? (height - glyphHeight - spacing - textSize.cy) / 2 : FMargin;
        glyph.x = (width - glyphWidth) / 2;
        textAt.x = (width - textSize.cx) / 2;
        if (FLayout == blGlyphTop) {
            glyph.y = start;
            textAt.y = start + glyphHeight + spacing;
        } else {
            glyph.y = height - start - glyphHeight;
            textAt.y = glyph.y - spacing - textSize.cy;
        }
    }
    // A pushed button's content moves down and right with the face.
    int shift = pushed ? 1 : 0;
    glyph.x += r.left + shift;
    glyph.y += r.top + shift;
    textAt.x += r.left + shift;
    textAt.y += r.top + shift;

    if (glyphWidth > 0) {
        int part = 0;
        if (disabled && FNumGlyphs > 1) part = 1;
        else if (pushed && FNumGlyphs > 2) part = 2;
        HDC source = FGlyph->Canvas()->Handle();
        COLORREF key = GetPixel(source, 0, glyphHeight - 1);
        TransparentBlt(dc, glyph.x, glyph.y, glyphWidth, glyphHeight, source, part * glyphWidth, 0, glyphWidth,
                       glyphHeight, key);
    }
    if (!text.empty()) {
        int oldMode = SetBkMode(dc, TRANSPARENT);
        COLORREF oldColor = SetTextColor(dc, ColorToRGB(disabled ? clGrayText : Font()->Color()));
        RECT textRect = {textAt.x, textAt.y, textAt.x + textSize.cx, textAt.y + textSize.cy};
        DrawTextA(dc, text.c_str(), int(text.size()), &textRect, DT_SINGLELINE | DT_NOCLIP);
        SetTextColor(dc, oldColor);
        SetBkMode(dc, oldMode);
    }
    SelectObject(dc, oldFont);
    if (focused) {
        RECT focus = face;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

void TBitBtn::Dispatch(TMessage& m)
{
    if (m.Msg == CN_DRAWITEM) {
        if (FGlyph) DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
        m.Result = TRUE;
        return;
    }
    TButton::Dispatch(m);
}

TPersistent* TBitBtn::PropertyObject(const std::string& name)
{
    if (name == "Glyph") return FGlyph;
    return TButton::PropertyObject(name);
}

bool TBitBtn::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Kind") SetKind(TBitBtnKind(reader.ReadEnum(BitBtnKindNames())));
    else if (name == "Layout") SetLayout(TButtonLayout(reader.ReadEnum(ButtonLayoutNames())));
    else if (name == "Margin") SetMargin(reader.ReadInteger());
    else if (name == "Spacing") SetSpacing(reader.ReadInteger());
    else if (name == "NumGlyphs") SetNumGlyphs(reader.ReadInteger());
    else return TButton::ReadProperty(name, reader);
    return true;
}

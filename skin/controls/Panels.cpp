#include "Panels.h"

#include "Reader.h"

namespace {

RECT Inset(RECT r, int dx, int dy)
{
    return RECT{r.left + dx, r.top + dy, r.right - dx, r.bottom - dy};
}

bool Contains(const RECT& r, int x, int y)
{
    const POINT p{x, y};
    return PtInRect(&r, p) != 0;
}

}  // namespace

// --- The panel ------------------------------------------------------------------

TKsCustomPanel::TKsCustomPanel(TComponent* owner) : TKsCustomControl(owner)
{
    ControlStyle |= csAcceptsControls;
    SetColor(clWindow);
    SetBounds(Left(), Top(), 100, 90);
}

void TKsCustomPanel::LayoutChanged()
{
    Invalidate();
    Realign();
}

void TKsCustomPanel::SetCaptionHeight(int value)
{
    if (value == FCaptionHeight) return;
    FCaptionHeight = value;
    LayoutChanged();
}

void TKsCustomPanel::SetShowCaption(bool value)
{
    if (value == FShowCaption) return;
    FShowCaption = value;
    LayoutChanged();
}

void TKsCustomPanel::SetBorderWidth(int value)
{
    if (value == FBorderWidth) return;
    FBorderWidth = value;
    LayoutChanged();
}

void TKsCustomPanel::SetBevelWidth(int value)
{
    if (value == FBevelWidth) return;
    FBevelWidth = value;
    LayoutChanged();
}

void TKsCustomPanel::SetShowBevel(bool value)
{
    if (value == FShowBevel) return;
    FShowBevel = value;
    LayoutChanged();
}

void TKsCustomPanel::SetShowButton(bool value)
{
    if (value == FShowButton) return;
    FShowButton = value;
    Invalidate();
}

void TKsCustomPanel::SetButtonKind(TKsPanelButtonKind kind)
{
    if (kind == FButtonKind) return;
    FButtonKind = kind;
    Invalidate();
}

void TKsCustomPanel::SetRolled(bool value)
{
    if (Loading()) {
        FRollWhenLoaded = value;
        return;
    }
    if (value == FRolled) return;
    if (FRolled)
        RollDown();
    else
        RollUp();
}

RECT TKsCustomPanel::GetCaptionRect()
{
    RECT r{0, 0, FBoundsWidth, FBoundsHeight};
    if (FShowBevel) r = Inset(r, FBevelWidth, FBevelWidth);
    r.bottom = r.top + FCaptionHeight;
    return r;
}

RECT TKsCustomPanel::GetButtonRect()
{
    if (!FShowCaption || !FShowButton) return RECT{0, 0, 0, 0};
    RECT r = GetCaptionRect();
    r.left = r.right - (r.bottom - r.top);
    return Inset(r, 2, 2);
}

RECT TKsCustomPanel::ClientRect()
{
    RECT r = Inset(RECT{0, 0, FBoundsWidth, FBoundsHeight}, FBorderWidth, FBorderWidth);
    if (FShowBevel) r = Inset(r, FBevelWidth, FBevelWidth);
    if (FShowCaption) {
        const RECT caption = GetCaptionRect();
        r.top += caption.bottom - caption.top;
    }
    return r;
}

void TKsCustomPanel::RollUp()
{
    FUnrolledHeight = Height();
    const RECT caption = GetCaptionRect();
    SetBounds(Left(), Top(), Width(), caption.bottom - caption.top + 2 * FBevelWidth);
    FRolled = true;
    Invalidate();
}

void TKsCustomPanel::RollDown()
{
    FRolled = false;
    SetBounds(Left(), Top(), Width(), FUnrolledHeight);
}

void TKsCustomPanel::DoButtonClick()
{
    if (FButtonKind == pbkRoll)
        SetRolled(!FRolled);
    else
        Hide();
    if (OnButtonClick) OnButtonClick(this);
}

void TKsCustomPanel::SetBounds(int left, int top, int width, int height)
{
    // A rolled panel keeps its height.
    if (FRolled) height = Height();
    TKsCustomControl::SetBounds(left, top, width, height);
}

void TKsCustomPanel::Loaded()
{
    TKsCustomControl::Loaded();
    if (FRollWhenLoaded) {
        FRollWhenLoaded = false;
        if (!FRolled) RollUp();
    }
    Invalidate();
}

// --- Painting -------------------------------------------------------------------

void TKsCustomPanel::PaintBackground()
{
    DrawFace();
}

void TKsCustomPanel::PaintBuffer()
{
    DrawCaption();
}

void TKsCustomPanel::DrawFace()
{
    const RECT all{0, 0, FBoundsWidth, FBoundsHeight};
    FBuffer->FillRect(all, KColor(Color(), 255));
    if (FShowBevel) {
        FBuffer->DrawEdge(all, KColor(clBtnShadow, 255), KColor(clBtnHighlight, 255));
        FBuffer->DrawEdge(Inset(all, 1, 1), KColor(clBtnHighlight, 255), KColor(clBtnShadow, 255));
    }
}

void TKsCustomPanel::DrawCaptionText(RECT r)
{
    r = Inset(r, 5, 0);
    FBuffer->SetFont(Font());
    FBuffer->DrawText(Caption(), r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    // The platform leaves alpha 0 on the glyphs; the caption bar is opaque.
    GdiFlush();
    FBuffer->SetAlpha(255, r);
}

void TKsCustomPanel::DrawButtonFrame(HDC dc, RECT r)
{
    UINT type = DFC_SCROLL, state = FRolled ? DFCS_SCROLLDOWN : DFCS_SCROLLUP;
    if (FButtonKind == pbkHide) {
        type = DFC_CAPTION;
        state = DFCS_CAPTIONCLOSE;
    }
    if (FButtonDown) state |= DFCS_PUSHED;
    DrawFrameControl(dc, &r, type, state);
    GdiFlush();
}

void TKsCustomPanel::DrawCaption()
{
    if (!FShowCaption) return;
    const RECT caption = GetCaptionRect();
    FBuffer->FillRect(caption, KColor(clBtnFace, 255));
    FBuffer->DrawEdge(caption, KColor(clBtnHighlight, 255), KColor(clBtnShadow, 255));
    DrawCaptionText(caption);
    if (!FShowButton) return;
    const RECT button = GetButtonRect();
    DrawButtonFrame(FBuffer->DC(), button);
    FBuffer->SetAlpha(255, button);
    const TKColor face = KColor(clBtnFace, 255);
    if (FButtonDown)
        FBuffer->DrawEdge(button, KColor(clBtnShadow, 255), KColor(clBtnHighlight, 255));
    else if (FButtonHot)
        FBuffer->DrawEdge(button, KColor(clBtnHighlight, 255), KColor(clBtnShadow, 255));
    else
        FBuffer->DrawRect(button, face);
    FBuffer->DrawRect(Inset(button, 1, 1), face);
}

// --- Mouse ----------------------------------------------------------------------

bool TKsCustomPanel::InButton(int x, int y)
{
    return Contains(GetButtonRect(), x, y);
}

void TKsCustomPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TKsCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !InButton(x, y)) return;
    FButtonPressed = true;
    FButtonHot = true;
    FButtonDown = true;
    Invalidate();
}

void TKsCustomPanel::MouseMove(TShiftState shift, int x, int y)
{
    TKsCustomControl::MouseMove(shift, x, y);
    bool changed = false;
    const bool hot = InButton(x, y);
    if (hot != FButtonHot) {
        FButtonHot = hot;
        changed = true;
    }
    // A press that began elsewhere does not press the button on its way by.
    if ((shift & ssLeft) && FButtonPressed && FButtonDown != FButtonHot) {
        FButtonDown = FButtonHot;
        changed = true;
    }
    if (changed) Invalidate();
}

void TKsCustomPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TKsCustomControl::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    const bool click = FButtonPressed && InButton(x, y);
    FButtonPressed = false;
    if (FButtonDown) {
        FButtonDown = false;
        Invalidate();
    }
    if (click) DoButtonClick();
}

void TKsCustomPanel::MouseLeave()
{
    TKsCustomControl::MouseLeave();
    if (!FButtonHot) return;
    FButtonHot = false;
    Invalidate();
}

bool TKsCustomPanel::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames kinds = {"pbkRoll", "pbkHide"};
    if (name == "BevelWidth") SetBevelWidth(reader.ReadInteger());
    else if (name == "BorderWidth") SetBorderWidth(reader.ReadInteger());
    else if (name == "ButtonKind") SetButtonKind(TKsPanelButtonKind(reader.ReadEnum(kinds)));
    else if (name == "Rolled") SetRolled(reader.ReadBool());
    else if (name == "ShowBevel") SetShowBevel(reader.ReadBool());
    else if (name == "ShowButton") SetShowButton(reader.ReadBool());
    else if (name == "ShowCaption") SetShowCaption(reader.ReadBool());
    else if (name == "OnButtonClick") OnButtonClick = reader.ReadEvent<TNotifyEvent>();
    else return TKsCustomControl::ReadProperty(name, reader);
    return true;
}

// --- The styled panel -----------------------------------------------------------

TEpPanel::TEpPanel(TComponent* owner)
    : TKsCustomPanel(owner), FBackground(new TEpBackground), FCaptionBackground(new TEpBackground),
      FBorder(new TEpBorder), FCaptionBorder(new TEpBorder)
{
    for (TSkinStyle<TKsFamily>* style : {static_cast<TSkinStyle<TKsFamily>*>(FBackground),
                                         static_cast<TSkinStyle<TKsFamily>*>(FCaptionBackground),
                                         static_cast<TSkinStyle<TKsFamily>*>(FBorder),
                                         static_cast<TSkinStyle<TKsFamily>*>(FCaptionBorder)})
        style->OnChange = MakeEvent<&TEpPanel::DoChange>(this);
    Invalidate();
}

TEpPanel::~TEpPanel()
{
    BeginDestroy();
    delete FCaptionBorder;
    FCaptionBorder = nullptr;
    delete FBorder;
    FBorder = nullptr;
    delete FCaptionBackground;
    FCaptionBackground = nullptr;
    delete FBackground;
    FBackground = nullptr;
}

void TEpPanel::SetButtonGlyphColor(TColor color)
{
    if (color == FButtonGlyphColor) return;
    FButtonGlyphColor = color;
    Invalidate();
}

void TEpPanel::DoChange(TObject*)
{
    if (ComponentState() & csDesigning) Invalidate();
}

void TEpPanel::DrawFace()
{
    if (!FBorder) return;
    const RECT all{0, 0, FBoundsWidth, FBoundsHeight};
    FBackground->Draw(FBuffer, all);
    if (ShowBevel()) FBorder->Draw(FBuffer, all);
}

void TEpPanel::DrawCaption()
{
    if (!ShowCaption() || !FCaptionBorder) return;
    const RECT caption = GetCaptionRect();
    FCaptionBackground->Draw(FBuffer, caption);
    FCaptionBorder->Draw(FBuffer, caption);
    DrawCaptionText(caption);
    if (!ShowButton()) return;
    // Only the glyph of the system's button shows, over the caption style.
    const RECT button = GetButtonRect();
    const int w = button.right - button.left, h = button.bottom - button.top;
    if (w <= 0 || h <= 0) return;
    TKsBitmap glyph;
    glyph.SetSize(w, h);
    glyph.Clear(KsColors::ckWhite);
    DrawButtonFrame(glyph.DC(), RECT{0, 0, w, h});
    const TKColor colour = KColor(FButtonGlyphColor, 255);
    for (int y = 2; y <= h - 3; ++y) {
        const int by = button.top + y;
        if (by < 0 || by >= FBuffer->Height()) continue;
        const TKColor* from = glyph.ScanLine(y);
        TKColor* to = FBuffer->ScanLine(by);
        for (int x = 2; x <= w - 3; ++x) {
            const int bx = button.left + x;
            if (bx >= 0 && bx < FBuffer->Width() && (from[x] & 0x00FFFFFFu) == 0) to[bx] = colour;
        }
    }
}

TPersistent* TEpPanel::PropertyObject(const std::string& name)
{
    if (name == "Background") return FBackground;
    if (name == "CaptionBackground") return FCaptionBackground;
    if (name == "Border") return FBorder;
    if (name == "CaptionBorder") return FCaptionBorder;
    return TKsCustomPanel::PropertyObject(name);
}

bool TEpPanel::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "ButtonGlyphColor") SetButtonGlyphColor(ReadColor(reader));
    else if (name == "Version") reader.ReadString();  // read-only: the text is ours
    else return TKsCustomPanel::ReadProperty(name, reader);
    return true;
}

// --- Shells ---------------------------------------------------------------------

TKsCustomStatusBar::TKsCustomStatusBar(TComponent* owner) : TKsCustomControl(owner)
{
    SetColor(clBtnFace);
    SetBounds(Left(), Top(), Width(), 19);
}

TKsCustomToolBar::TKsCustomToolBar(TComponent* owner) : TKsCustomControl(owner)
{
    SetColor(clBtnFace);
    SetBounds(Left(), Top(), Width(), 29);
}

#include "StatusBar.h"

#include "Reader.h"

#include <vector>

// --- TStatusPanel ----------------------------------------------------------

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

void TStatusPanel::SetWidth(int width)
{
    if (width == FWidth) return;
    FWidth = width;
    Changed(true);  // every part after this one moves
}

void TStatusPanel::SetText(const std::string& text)
{
    if (text == FText) return;
    FText = text;
    Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment) return;
    FAlignment = alignment;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel bevel)
{
    if (bevel == FBevel) return;
    FBevel = bevel;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle style)
{
    if (style == FStyle) return;
    FStyle = style;
    Changed(false);
}

void TStatusPanel::Assign(TPersistent* source)
{
    if (auto* panel = dynamic_cast<TStatusPanel*>(source)) {
        FWidth = panel->FWidth;
        FText = panel->FText;
        FAlignment = panel->FAlignment;
        FBevel = panel->FBevel;
        FStyle = panel->FStyle;
        Changed(true);
        return;
    }
    TCollectionItem::Assign(source);
}

bool TStatusPanel::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames alignments = {"taLeftJustify", "taRightJustify", "taCenter"};
    static const TEnumNames bevels = {"pbNone", "pbLowered", "pbRaised"};
    static const TEnumNames styles = {"psText", "psOwnerDraw"};
    if (name == "Width") SetWidth(reader.ReadInteger());
    else if (name == "Text") SetText(reader.ReadString());
    else if (name == "Alignment") SetAlignment(TAlignment(reader.ReadEnum(alignments)));
    else if (name == "Bevel") SetBevel(TStatusPanelBevel(reader.ReadEnum(bevels)));
    else if (name == "Style") SetStyle(TStatusPanelStyle(reader.ReadEnum(styles)));
    else return TCollectionItem::ReadProperty(name, reader);
    return true;
}

// --- TStatusPanels ---------------------------------------------------------

TStatusPanels::TStatusPanels(TStatusBar* statusBar)
    : TCollection([](TCollection* c) -> TCollectionItem* { return new TStatusPanel(c); }, statusBar),
      FStatusBar(statusBar)
{
}

void TStatusPanels::Update(TCollectionItem* item)
{
    if (item)
        FStatusBar->UpdatePanel(item->Index());
    else
        FStatusBar->UpdatePanels();
}

// --- TStatusBar ------------------------------------------------------------

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), FPanels(new TStatusPanels(this)), FCanvas(new TCanvas)
{
    ControlStyle &= ~unsigned(csSetCaption);
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar()
{
    BeginDestroy();
    // The window goes before the panels its owner-drawn parts point to.
    DestroyHandle();
    delete FPanels;
    delete FCanvas;
}

void TStatusBar::SetSimplePanel(bool simple)
{
    if (simple == FSimplePanel) return;
    FSimplePanel = simple;
    if (HandleAllocated()) SendMessageA(Handle(), SB_SIMPLE, simple, 0);
}

void TStatusBar::SetSimpleText(const std::string& text)
{
    if (text == FSimpleText) return;
    FSimpleText = text;
    if (HandleAllocated()) SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
}

void TStatusBar::SetSizeGrip(bool grip)
{
    if (grip == FSizeGrip) return;
    FSizeGrip = grip;
    RecreateWnd();
}

void TStatusBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SubclassOf = STATUSCLASSNAMEA;
    // The framework places the bar (Align); the platform only picks its height.
    params.Style |= CCS_NOPARENTALIGN;
    if (FSizeGrip) params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd()
{
    TWinControl::CreateWnd();
    // The bar has taken its height; from now on it stays where it is put
    // instead of moving itself to the bottom of its parent on every size.
    HWND window = Handle();
    SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | CCS_NORESIZE);
    UpdatePanels();
}

void TStatusBar::UpdatePanels()
{
    if (!HandleAllocated() || Destroying()) return;
    HWND window = Handle();
    const int count = FPanels->Count();
    // Right edges; the last part always runs to the end of the bar.
    std::vector<int> edges;
    int x = 0;
    for (int i = 0; i < count; ++i) {
        x += Panels(i)->Width();
        edges.push_back(i == count - 1 ? -1 : x);
    }
    if (edges.empty()) edges.push_back(-1);
    SendMessageA(window, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    if (count == 0) SendMessageA(window, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    for (int i = 0; i < count; ++i) UpdatePanel(i);
    SendMessageA(window, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
    SendMessageA(window, SB_SIMPLE, FSimplePanel, 0);
}

void TStatusBar::UpdatePanel(int index)
{
    if (!HandleAllocated() || Destroying() || index < 0 || index >= FPanels->Count()) return;
    TStatusPanel* panel = Panels(index);
    WPARAM flags = panel->Bevel() == pbNone ? SBT_NOBORDERS : panel->Bevel() == pbRaised ? SBT_POPOUT : 0;
    if (panel->Style() == psOwnerDraw) {
        SendMessageA(Handle(), SB_SETTEXTA, WPARAM(index) | flags | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(panel));
        return;
    }
    // The platform centres what follows one tab and right-aligns after two.
    std::string text = panel->Alignment() == taCenter         ? "\t" + panel->Text()
                       : panel->Alignment() == taRightJustify ? "\t\t" + panel->Text()
                                                              : panel->Text();
    SendMessageA(Handle(), SB_SETTEXTA, WPARAM(index) | flags, reinterpret_cast<LPARAM>(text.c_str()));
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const RECT& rect)
{
    if (OnDrawPanel) OnDrawPanel(this, panel, rect);
}

void TStatusBar::Dispatch(TMessage& m)
{
    if (m.Msg == CN_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        int index = int(item->itemID);
        if (index >= 0 && index < FPanels->Count()) {
            FCanvas->SetHandle(item->hDC);
            FCanvas->Font()->Assign(Font());
            FCanvas->Brush()->SetColor(Color());
            try {
                DrawPanel(Panels(index), item->rcItem);
            } catch (...) {
                FCanvas->SetHandle(nullptr);
                throw;
            }
            FCanvas->SetHandle(nullptr);
        }
        m.Result = TRUE;
        return;
    }
    TWinControl::Dispatch(m);
}

bool TStatusBar::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Panels") reader.ReadCollection(FPanels);
    else if (name == "SimplePanel") SetSimplePanel(reader.ReadBool());
    else if (name == "SimpleText") SetSimpleText(reader.ReadString());
    else if (name == "SizeGrip") SetSizeGrip(reader.ReadBool());
    else if (name == "UseSystemFont") UseSystemFont = reader.ReadBool();
    else if (name == "OnDrawPanel") OnDrawPanel = reader.ReadEvent<TDrawPanelEvent>();
    else return TWinControl::ReadProperty(name, reader);
    return true;
}

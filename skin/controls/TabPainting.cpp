// How the tab control paints into its buffer: the tabs farthest first, the
// page border, the selected tab over the border, and the scroll buttons;
// the classic look in system colours, and the styled leaf class.
#include "TabControls.h"

#include "Reader.h"

namespace {

TTabPosition OppositeSide(TTabPosition side)
{
    static const TTabPosition opposite[] = {tpBottom, tpTop, tpRight, tpLeft};
    return opposite[side];
}

// One tab height of r, measured from its outer edge on side.
RECT CaptionRect(RECT r, TTabPosition side, int tabHeight)
{
    switch (side) {
    case tpTop: r.bottom = r.top + tabHeight; break;
    case tpBottom: r.top = r.bottom - tabHeight; break;
    case tpLeft: r.right = r.left + tabHeight; break;
    case tpRight: r.left = r.right - tabHeight; break;
    }
    return r;
}

// Centred on one line; turned to read upwards on the left, downwards on the right.
template <class Bitmap>
void DrawCaption(Bitmap* bitmap, const std::string& text, const RECT& r, TTabPosition side)
{
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (side == tpLeft)
        bitmap->DrawVerticalText(text, r, format, false);
    else if (side == tpRight)
        bitmap->DrawVerticalText(text, r, format, true);
    else
        bitmap->DrawText(text, r, format);
}

}  // namespace

// --- The order of painting ------------------------------------------------------------

void TKsCustomTabControl::PaintBackground()
{
    TKsCustomControl::PaintBackground();
    if (!FTabs || !FBuffer || FBuffer->Empty()) return;
    TLayout layout(this);
    FBuffer->SetFont(Font());
    DrawTabs(false);
    DrawBorder();
    DrawTabs(true);
}

void TKsCustomTabControl::DrawTabs(bool selected)
{
    TLayout layout(this);
    const int count = GetTabCount();
    if (count == 0) return;
    if (selected) {
        if (FTabIndex >= 0 && FTabIndex < count) DrawTab(FTabIndex);
        return;
    }
    if (!FMultiLine) {
        const int last = GetLastVisibleTab(false);
        for (int k = std::max(0, FFirstVisible); k <= last; ++k)
            if (k != FTabIndex) DrawTab(k);
        return;
    }
    // Farthest rows first, so that nearer ones cover what reaches under them;
    // the selected tab is drawn with its row and again over the border.
    auto drawRow = [&](int row) {
        for (int k = FirstTabOfRow(row); k <= FRows[row].Last; ++k) DrawTab(k);
    };
    const int s = SelectedRow();
    if (!FScrollOpposite) {
        for (int r = s - 1; r >= 0; --r) drawRow(r);
        for (int r = FRowCount - 1; r >= s; --r) drawRow(r);
    } else {
        for (int r = FRowCount - 1; r >= s; --r) drawRow(r);
        for (int r = 0; r < s; ++r) drawRow(r);
    }
}

void TKsCustomTabControl::PaintBuffer()
{
    TKsCustomControl::PaintBuffer();
    TLayout layout(this);
    if (!ScrollButtonsVisible()) return;
    DrawLeftScrlBtn();
    DrawRightScrlBtn();
}

void TKsCustomTabControl::DrawScrollButton(const RECT& r, UINT state, bool pressed)
{
    if (pressed) state |= DFCS_PUSHED;
    RECT box = r;
    DrawFrameControl(FBuffer->DC(), &box, DFC_SCROLL, state);
    // The platform leaves alpha 0 where it drew; the button is opaque.
    GdiFlush();
    FBuffer->SetAlpha(255, r);
}

void TKsCustomTabControl::DrawLeftScrlBtn()
{
    DrawScrollButton(GetLeftScrlBtnRect(), DFCS_SCROLLLEFT, LeftBtnPressed());
}

void TKsCustomTabControl::DrawRightScrlBtn()
{
    DrawScrollButton(GetRightScrlBtnRect(), DFCS_SCROLLRIGHT, RightBtnPressed());
}

// --- The classic look -----------------------------------------------------------------

void TKsCustomTabControl::DrawBorder()
{
    RECT r = GetBorderRect();
    FBuffer->FillRect(r, KColor(clBtnFace, 255));
    FBuffer->DrawEdge(r, KColor(clBtnHighlight, 255), KColor(cl3DDkShadow, 255));
    InflateRect(&r, -1, -1);
    FBuffer->DrawEdge(r, KColor(clBtnFace, 255), KColor(clBtnShadow, 255));
}

void TKsCustomTabControl::DrawTab(int index)
{
    TLayout layout(this);
    if (index < 0 || index >= GetTabCount()) return;
    FBuffer->SetFont(Font());
    const bool selected = index == FTabIndex;
    const TTabPosition side = IsTabOnOpositeSide(index) ? OppositeSide(FTabPosition) : FTabPosition;
    RECT r = GetTabRect(index);
    if (selected) {
        // Larger, except on the border side, which it covers.
        InflateRect(&r, 2, 2);
        switch (side) {
        case tpTop: r.bottom -= 2; break;
        case tpBottom: r.top += 2; break;
        case tpLeft: r.right -= 2; break;
        case tpRight: r.left += 2; break;
        }
    }
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const TKColor face = KColor(clBtnFace, 255);
    switch (side) {
    case tpTop:
        FBuffer->FillRoundRect(RECT{L + 1, T + 1, R - 1, B}, 4, face);
        FBuffer->FillRect(RECT{L + 1, T + 2, R - 1, B}, face);
        break;
    case tpBottom:
        FBuffer->FillRoundRect(RECT{L + 1, T, R - 1, B}, 4, face);
        FBuffer->FillRect(RECT{L + 1, T + 2, R - 1, B}, face);
        break;
    case tpLeft:
        FBuffer->FillRoundRect(RECT{L, T + 1, R, B - 1}, 4, face);
        FBuffer->FillRect(RECT{L + 2, T + 1, R, B}, face);
        break;
    case tpRight:
        FBuffer->FillRoundRect(RECT{L, T + 1, R, B - 1}, 4, face);
        FBuffer->FillRect(RECT{L, T + 1, R - 2, B - 1}, face);
        break;
    }

    // The edges: lines leave out their end points.
    const TKColor light = KColor(clBtnHighlight, 255), dark = KColor(cl3DDkShadow, 255),
                  shadow = KColor(clBtnShadow, 255);
    auto line = [this](int x1, int y1, int x2, int y2, TKColor c) {
        FBuffer->MoveTo(x1, y1);
        FBuffer->LineTo(x2, y2, c);
    };
    auto topLeft = [&] { line(L, T + 2, L + 3, T - 1, light); };
    auto topRight = [&] {
        line(R - 3, T, R - 2, T + 1, light);
        FBuffer->LineTo(R, T + 3, dark);
        line(R - 2, T + 2, R - 1, T + 2, shadow);
    };
    auto bottomLeft = [&] {
        line(L, B - 3, L + 2, B - 1, light);
        FBuffer->LineTo(L + 2, B - 2, dark);
        FBuffer->LineTo(L + 2, B - 3, shadow);
    };
    auto bottomRight = [&] {
        line(R - 1, B - 3, R - 4, B, dark);
        line(R - 2, B - 3, R - 4, B - 1, shadow);
    };
    switch (side) {
    case tpTop:
        line(L + 3, T, R - 3, T, light);
        line(L, T + 3, L, B - 1, light);
        line(R - 1, T + 3, R - 1, B - 1, dark);
        line(R - 2, T + 3, R - 2, B - 1, shadow);
        topLeft();
        topRight();
        break;
    case tpBottom:
        line(L, T, L, B - 3, light);
        line(R - 1, T + 1, R - 1, B - 3, dark);
        line(R - 2, T + 1, R - 2, B - 3, shadow);
        line(L + 3, B - 1, R - 3, B - 1, dark);
        line(L + 3, B - 2, R - 3, B - 2, shadow);
        bottomLeft();
        bottomRight();
        break;
    case tpLeft:
        line(L + 3, T, R - 1, T, light);
        line(L, T + 3, L, B - 3, light);
        line(L + 3, B - 1, R - 1, B - 1, dark);
        line(L + 3, B - 2, R - 1, B - 2, shadow);
        topLeft();
        bottomLeft();
        break;
    case tpRight:
        line(L, T, R - 3, T, light);
        line(R - 1, T + 3, R - 1, B - 3, dark);
        line(R - 2, T + 3, R - 2, B - 3, shadow);
        line(L + 1, B - 1, R - 3, B - 1, dark);
        line(L + 1, B - 2, R - 3, B - 2, shadow);
        topRight();
        bottomRight();
        break;
    }

    if (FFocused && selected) {
        const int dx = GetLeftMargin() + 1, dy = GetTopMargin() + 1;
        FBuffer->DrawFocusRect(RECT{L + dx, T + dy, R - dx, B - dy}, face);
    }

    if (FOwnerDraw) {
        DoDrawTab(index, r, selected);
        return;
    }
    if (FHotTrack && index == FHotTab) FBuffer->Font()->SetColor(clHighlight);
    RECT text = r;
    if (!selected && side == tpTop) text.top += 1;
    if (selected) InflateRect(&text, -1, -1);
    DrawCaption(FBuffer, FTabs->Get(index), CaptionRect(text, side, GetTabHeight()), side);
}

// --- The styled tab control ------------------------------------------------------------

TEpIITabControl::TEpIITabControl(TComponent* owner)
    : TKsCustomTabControl(owner), FBackground(new TEpBackground), FBorder(new TEpBorder),
      FActiveTabBackground(new TEpBackground), FActiveTabBorder(new TEpBorder),
      FInactiveTabBackground(new TEpBackground), FInactiveTabBorder(new TEpBorder)
{
    for (TSkinStyle<TKsFamily>* style :
         {static_cast<TSkinStyle<TKsFamily>*>(FBackground), static_cast<TSkinStyle<TKsFamily>*>(FBorder),
          static_cast<TSkinStyle<TKsFamily>*>(FActiveTabBackground),
          static_cast<TSkinStyle<TKsFamily>*>(FActiveTabBorder),
          static_cast<TSkinStyle<TKsFamily>*>(FInactiveTabBackground),
          static_cast<TSkinStyle<TKsFamily>*>(FInactiveTabBorder)})
        style->OnChange = MakeEvent<&TEpIITabControl::StyleChanged>(this);
    // The margins come from the border now.
    Realign();
    Invalidate();
}

TEpIITabControl::~TEpIITabControl()
{
    BeginDestroy();
    delete FInactiveTabBorder;
    FInactiveTabBorder = nullptr;
    delete FInactiveTabBackground;
    FInactiveTabBackground = nullptr;
    delete FActiveTabBorder;
    FActiveTabBorder = nullptr;
    delete FActiveTabBackground;
    FActiveTabBackground = nullptr;
    delete FBorder;
    FBorder = nullptr;
    delete FBackground;
    FBackground = nullptr;
}

int TEpIITabControl::Margin()
{
    return FBorder ? FBorder->Width() : 1;
}

int TEpIITabControl::GetLeftMargin() { return Margin(); }
int TEpIITabControl::GetTopMargin() { return Margin(); }
int TEpIITabControl::GetRightMargin() { return Margin(); }
int TEpIITabControl::GetBottomMargin() { return Margin(); }

void TEpIITabControl::StyleChanged(TObject*)
{
    if (ComponentState() & csDesigning) Invalidate();
}

void TEpIITabControl::DrawBorder()
{
    if (!FBorder) return;
    const RECT r = GetBorderRect();
    FBackground->Draw(FBuffer, r);
    FBorder->Draw(FBuffer, r);
}

void TEpIITabControl::DrawTab(int index)
{
    if (!FInactiveTabBorder || index < 0 || index >= GetTabCount()) return;
    const RECT r = GetTabRect(index);
    if (index == TabIndex()) {
        FActiveTabBackground->Draw(FBuffer, r);
        FActiveTabBorder->Draw(FBuffer, r);
    } else {
        FInactiveTabBackground->Draw(FBuffer, r);
        FInactiveTabBorder->Draw(FBuffer, r);
    }
    // Every caption from the tab side's outer edge, opposite rows too.
    DrawCaption(FBuffer, Tabs()->Get(index), CaptionRect(r, TabPosition(), GetTabHeight()), TabPosition());
}

void TEpIITabControl::Loaded()
{
    TKsCustomTabControl::Loaded();
    // The margins follow the border width the resource gave.
    Realign();
    Invalidate();
}

TPersistent* TEpIITabControl::PropertyObject(const std::string& name)
{
    if (name == "Background") return FBackground;
    if (name == "Border") return FBorder;
    if (name == "ActiveTabBackground") return FActiveTabBackground;
    if (name == "ActiveTabBorder") return FActiveTabBorder;
    if (name == "InactiveTabBackground") return FInactiveTabBackground;
    if (name == "InactiveTabBorder") return FInactiveTabBorder;
    return TKsCustomTabControl::PropertyObject(name);
}

bool TEpIITabControl::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Version") reader.ReadString();  // read-only: the text is ours
    else return TKsCustomTabControl::ReadProperty(name, reader);
    return true;
}

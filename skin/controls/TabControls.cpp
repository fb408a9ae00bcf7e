// The tab control's model: the captions, the pages, the row layout, the
// scrolling line, selection, keys and the mouse. Its painting is in
// TabPainting.cpp.
#include "TabControls.h"

#include "Application.h"
#include "Reader.h"
#include "SkinUtils.h"
#include "Timer.h"

#include <algorithm>
#include <cmath>

namespace {

// Captions match their pages exactly, case included.
int ExactIndexOf(const TStrings* list, const std::string& text)
{
    if (!list) return -1;
    for (int i = 0; i < list->Count(); ++i)
        if (list->Get(i) == text) return i;
    return -1;
}

bool Inside(const RECT& r, int x, int y)
{
    const POINT p{x, y};
    return PtInRect(&r, p) != 0;
}

bool Intersects(const RECT& a, const RECT& b)
{
    RECT r;
    return IntersectRect(&r, &a, &b) != 0;
}

bool Horizontal(TTabPosition p) { return p == tpTop || p == tpBottom; }

// Auto-repeat of a held scroll button: a step at once, the next after the
// first delay, then one per interval.
constexpr unsigned RepeatDelay = 300;
constexpr unsigned RepeatInterval = 100;

}  // namespace

// --- The captions -----------------------------------------------------------------

void TKsTabStringList::TellControl()
{
    if (FControl) FControl->TabsChanged();
}

int TKsTabStringList::Add(const std::string& text)
{
    const int index = Count();
    TStringList::Insert(index, text);
    TellControl();
    return index;
}

void TKsTabStringList::Insert(int index, const std::string& text)
{
    if (ExactIndexOf(this, text) >= 0) throw Exception("A tab named " + text + " already exists.");
    TStringList::Insert(index, text);
    TellControl();
}

void TKsTabStringList::Put(int index, const std::string& text)
{
    TStringList::Put(index, text);
    TellControl();
}

void TKsTabStringList::PutObject(int index, TObject* object)
{
    TStringList::PutObject(index, object);
    TellControl();
}

void TKsTabStringList::Delete(int index)
{
    TStringList::Delete(index);
    TellControl();
}

void TKsTabStringList::Clear()
{
    TStringList::Clear();
    TellControl();
}

void TKsTabStringList::Assign(TPersistent* source)
{
    auto* strings = dynamic_cast<TStrings*>(source);
    if (!strings) {
        TStringList::Assign(source);
        return;
    }
    // Clearing first would lose a list assigned to itself.
    if (strings == this) return;
    BeginUpdate();
    try {
        Clear();
        for (int i = 0; i < strings->Count(); ++i) Add(strings->Get(i));
        TellControl();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TKsTabStringList::SetUpdateState(bool updating)
{
    TStringList::SetUpdateState(updating);
    if (FControl) FControl->SetTabsUpdating(updating);
}

// --- A page -----------------------------------------------------------------------

TKsCustomTabSheet::TKsCustomTabSheet(TComponent* owner) : TCustomControl(owner)
{
    ControlStyle |= csAcceptsControls;
    SetAlign(alClient);
    SetVisible(false);
}

TKsCustomTabSheet::~TKsCustomTabSheet()
{
    BeginDestroy();
    // The control takes it out of its pages and deletes its tab; it does
    // not free a sheet that is already going.
    if (FTabControl) FTabControl->RemovePage(this);
}

void TKsCustomTabSheet::SetTabControl(TKsCustomTabControl* control)
{
    if (control == FTabControl) return;
    if (control)
        control->AddPage(this);
    else
        FTabControl->ExtractPage(this);
}

int TKsCustomTabSheet::GetTabIndex() const
{
    if (!FTabControl) return -1;
    const auto& pages = FTabControl->FPages;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : int(it - pages.begin());
}

void TKsCustomTabSheet::SetBorderWidth(int value)
{
    if (value == FBorderWidth) return;
    FBorderWidth = value;
    Realign();
    Invalidate();
}

void TKsCustomTabSheet::DoShow()
{
    if (OnShow) OnShow(this);
}

void TKsCustomTabSheet::DoHide()
{
    if (OnHide) OnHide(this);
}

void TKsCustomTabSheet::ShowingChanged()
{
    // The handler's faults are shown, not passed up into the page switch.
    try {
        if (Visible())
            DoShow();
        else
            DoHide();
    } catch (...) {
        Application->HandleException(this);
    }
}

RECT TKsCustomTabSheet::ClientRect()
{
    RECT r = TCustomControl::ClientRect();
    const int b = std::max(0, FBorderWidth);
    r.left += b;
    r.top += b;
    r.right = std::max(r.left, LONG(r.right - b));
    r.bottom = std::max(r.top, LONG(r.bottom - b));
    return r;
}

void TKsCustomTabSheet::Loaded()
{
    TCustomControl::Loaded();
    if (auto* control = dynamic_cast<TKsCustomTabControl*>(Parent()); control && FTabControl != control)
        SetTabControl(control);
}

void TKsCustomTabSheet::Paint()
{
    if (!FTabControl || FTabControl->ActivePage() != this) return;
    TSkinUtils<TKsFamily>::PaintOwnerBackground(this, Canvas()->Handle());
}

void TKsCustomTabSheet::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_ERASEBKGND:
        if (ComponentState() & csDesigning) break;
        // A see-through child asks for what lies beneath it: the control's pixels.
        if (m.WParam && TKsFamily::IsBackgroundRequest(m.LParam))
            TSkinUtils<TKsFamily>::PaintOwnerBackground(this, reinterpret_cast<HDC>(m.WParam));
        m.Result = 0;
        return;
    case CM_SHOWINGCHANGED:
        TCustomControl::Dispatch(m);
        ShowingChanged();
        return;
    }
    TCustomControl::Dispatch(m);
}

TPersistent* TKsCustomTabSheet::PropertyObject(const std::string& name)
{
    if (name == "Constraints") return Constraints();
    return TCustomControl::PropertyObject(name);
}

bool TKsCustomTabSheet::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames modes = {"dmManual", "dmAutomatic"};
    if (name == "BorderWidth") SetBorderWidth(reader.ReadInteger());
    else if (name == "DragMode") FDragMode = reader.ReadEnum(modes);
    else if (name == "OnShow") OnShow = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnHide") OnHide = reader.ReadEvent<TNotifyEvent>();
    else return TCustomControl::ReadProperty(name, reader);
    return true;
}

// --- The control ------------------------------------------------------------------

TKsCustomTabControl::TKsCustomTabControl(TComponent* owner)
    : TKsCustomControl(owner), FTabs(new TKsTabStringList(this))
{
    ControlStyle |= csAcceptsControls | csDoubleClicks;
    SetTabStop(true);
    SetBounds(Left(), Top(), 289, 193);
    Realign();
}

TKsCustomTabControl::~TKsCustomTabControl()
{
    BeginDestroy();
    // The pages are children: they go with the control, unlinked, so that
    // none reaches back into it.
    for (TKsCustomTabSheet* page : FPages) page->FTabControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
    if (FTimer) {
        TTimer* timer = FTimer;
        FTimer = nullptr;
        timer->Free();
    }
    FTabs->FControl = nullptr;
    delete FTabs;
    FTabs = nullptr;
}

// --- Properties -------------------------------------------------------------------

void TKsCustomTabControl::SetHotTrack(bool value)
{
    if (value == FHotTrack) return;
    FHotTrack = value;
    Invalidate();
}

void TKsCustomTabControl::SetMultiLine(bool value)
{
    if (value == FMultiLine) return;
    if (!value && !Horizontal(FTabPosition))
        throw Exception("MultiLine must be True when TabPosition is tpLeft or tpRight");
    FMultiLine = value;
    Realign();
    Invalidate();
}

void TKsCustomTabControl::SetOwnerDraw(bool value)
{
    if (value == FOwnerDraw) return;
    FOwnerDraw = value;
    Invalidate();
}

void TKsCustomTabControl::SetTabs(TStrings* tabs)
{
    FTabs->Assign(tabs);
}

void TKsCustomTabControl::SetTabPosition(TTabPosition value)
{
    if (value == FTabPosition) return;
    FTabPosition = value;
    if (!Horizontal(value)) FMultiLine = true;
    Realign();
    Invalidate();
}

void TKsCustomTabControl::SetRaggedRight(bool value)
{
    if (value == FRaggedRight) return;
    FRaggedRight = value;
    Invalidate();
}

void TKsCustomTabControl::SetScrollOpposite(bool value)
{
    if (value == FScrollOpposite) return;
    FScrollOpposite = value;
    if (value) FMultiLine = true;
    Realign();
    Invalidate();
}

void TKsCustomTabControl::SetTabHeight(int value)
{
    if (value == FTabHeight) return;
    FTabHeight = value;
    Invalidate();
    Realign();
}

void TKsCustomTabControl::SetTabWidth(int value)
{
    if (value == FTabWidth) return;
    FTabWidth = value;
    Invalidate();
    Realign();
}

void TKsCustomTabControl::SetUsePages(bool value)
{
    if (value == FUsePages) return;
    FUsePages = value;
    if (value && !Loading()) {
        // The pages take the whole client area: whatever was there goes.
        FreePages();
        while (ControlCount() > 0) Controls(ControlCount() - 1)->Free();
    }
    TabsChanged();
}

void TKsCustomTabControl::SetTabIndex(int value)
{
    // A form resource may name the index before the tabs: kept as read,
    // brought within the tabs by Loaded. Streaming fires no events.
    if (Loading()) {
        if (value >= 0) FTabIndex = value;
        return;
    }
    if (value == FTabIndex || value < 0 || value > GetTabCount() - 1) return;
    const int old = FTabIndex;
    FTabIndex = value;
    if (!CanChange()) {
        FTabIndex = old;
        return;
    }
    {
        TLayout layout(this);
        // Scrolled until the tab is clear of the buttons, and never past it.
        while (FFirstVisible < FTabIndex && ScrollButtonsVisible() && !ClearOfButtons(GetTabRect(FTabIndex)))
            ++FFirstVisible;
        while (FTabIndex < FFirstVisible) --FFirstVisible;
    }
    Invalidate();
    Realign();
    Change();
}

bool TKsCustomTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TKsCustomTabControl::Change()
{
    if (OnChange) OnChange(this);
    if (!FUsePages) return;
    if (TKsCustomTabSheet* page = PageOfTab(FTabIndex)) {
        SetActivePage(page);
    } else if (FActivePage) {
        // A tab without a page of its own shows none rather than another's.
        FActivePage->SetVisible(false);
        FActivePage = nullptr;
        Invalidate();
    }
}

void TKsCustomTabControl::DoDrawTab(int index, const RECT& rect, bool active)
{
    if (OnDrawTab) OnDrawTab(this, index, rect, active);
}

// --- Sizes ------------------------------------------------------------------------

int TKsCustomTabControl::GetLeftMargin() { return 2; }
int TKsCustomTabControl::GetTopMargin() { return 2; }
int TKsCustomTabControl::GetRightMargin() { return 2; }
int TKsCustomTabControl::GetBottomMargin() { return 2; }

int TKsCustomTabControl::SideMargin(TTabPosition side)
{
    switch (side) {
    case tpTop: return GetTopMargin();
    case tpBottom: return GetBottomMargin();
    case tpLeft: return GetLeftMargin();
    case tpRight: return GetRightMargin();
    }
    return 0;
}

int TKsCustomTabControl::GetTabHeight()
{
    if (FTabHeight > 0) return FTabHeight;
    // Halves to even, as everywhere in the library.
    return int(std::nearbyint(Font()->Size() * 1.7)) + 4;
}

int TKsCustomTabControl::GetTabWidth(int index)
{
    if (!FTabs || index < 0 || index >= FTabs->Count()) return 0;
    if (FTabWidth != 0) return FTabWidth;
    FBuffer->SetFont(Font());
    const int text = FBuffer->TextWidth(FTabs->Get(index)) + 12;
    return std::max(text, 2 * (GetTabHeight() + SideMargin(FTabPosition)));
}

int TKsCustomTabControl::GetScrollBtnSize()
{
    return Font()->Size() * 2;
}

int TKsCustomTabControl::GetTabCount() const
{
    return FTabs ? FTabs->Count() : 0;
}

int TKsCustomTabControl::CachedWidth(int index)
{
    return index >= 0 && index < int(FWidths.size()) ? FWidths[size_t(index)] : 0;
}

// --- Rows -------------------------------------------------------------------------

void TKsCustomTabControl::UpdateTabRows()
{
    const int count = GetTabCount();
    FWidths.resize(size_t(count));
    for (int i = 0; i < count; ++i) FWidths[size_t(i)] = GetTabWidth(i);
    if (count == 0) {
        FRowCount = 0;
        return;
    }
    // One line holds every tab; rows are for multi-line mode only.
    if (!FMultiLine) {
        FRows[0] = TTabRow{count - 1, 0, 0};
        FRowCount = 1;
        return;
    }
    const int available =
        (Horizontal(FTabPosition) ? Width() : Height()) - GetLeftMargin() - GetRightMargin();
    auto close = [&](int row, int last, int used, int tabs) {
        TTabRow& r = FRows[row];
        r.Last = last;
        if (tabs > 1 && used >= available) {
            // Only the last row of a full table overflows: left as it is.
            r.Extra = 0;
            r.Remainder = 0;
        } else {
            r.Extra = (available - used) / tabs;
            r.Remainder = available - used - r.Extra * tabs;
        }
    };
    int row = 0, first = 0, used = FWidths[0];
    for (int j = 1; j < count; ++j) {
        const int w = FWidths[size_t(j)];
        // The last row of the table takes every tab that is left.
        if (used + w < available || row == MaxTabRows - 1) {
            used += w;
            continue;
        }
        close(row, j - 1, used, j - first);
        used = w;
        first = j;
        ++row;
    }
    close(row, count - 1, used, count - first);
    FRowCount = row + 1;
}

int TKsCustomTabControl::GetTabRowCount()
{
    TLayout layout(this);
    return FRowCount;
}

int TKsCustomTabControl::RowCount()
{
    return GetTabCount() == 0 ? 0 : GetTabRowCount();
}

int TKsCustomTabControl::GetTabRow(int index)
{
    TLayout layout(this);
    if (FRowCount == 0) return -1;
    for (int i = 0; i <= FRowCount - 2; ++i)
        if (FRows[i].Last < index && index <= FRows[i + 1].Last) return i + 1;
    return 0;
}

int TKsCustomTabControl::SelectedRow()
{
    return GetTabRow(FTabIndex);
}

int TKsCustomTabControl::GetTabRowHeight(int row)
{
    TLayout layout(this);
    const int s = SelectedRow();
    int k = row - s + 1;
    if (row < s) k = FScrollOpposite ? s - row : row + FRowCount - s + 1;
    return k * GetTabHeight();
}

int TKsCustomTabControl::GetTabLineHeight()
{
    TLayout layout(this);
    if (GetTabCount() == 0) return 0;
    const int rows = FScrollOpposite ? FRowCount - SelectedRow() : FRowCount;
    return GetTabHeight() * rows + SideMargin(FTabPosition);
}

int TKsCustomTabControl::GetOpositeTabLineHeight()
{
    TLayout layout(this);
    if (!FScrollOpposite || GetTabCount() == 0) return 0;
    return SelectedRow() * GetTabHeight();
}

bool TKsCustomTabControl::IsTabOnOpositeSide(int index)
{
    TLayout layout(this);
    return FMultiLine && FScrollOpposite && GetTabRow(index) < SelectedRow();
}

int TKsCustomTabControl::GetTabExtWidth(int index)
{
    TLayout layout(this);
    const int w = CachedWidth(index);
    if (FRaggedRight || FTabWidth != 0 || !FMultiLine) return w;
    const int row = GetTabRow(index);
    if (row < 0) return w;
    return w + FRows[row].Extra + (index == FRows[row].Last ? FRows[row].Remainder : 0);
}

RECT TKsCustomTabControl::GetBorderRect()
{
    TLayout layout(this);
    RECT r{0, 0, Width(), Height()};
    const int line = GetTabLineHeight(), opposite = GetOpositeTabLineHeight();
    switch (FTabPosition) {
    case tpTop: r.top += line; r.bottom -= opposite; break;
    case tpBottom: r.bottom -= line; r.top += opposite; break;
    case tpLeft: r.left += line; r.right -= opposite; break;
    case tpRight: r.right -= line; r.left += opposite; break;
    }
    return r;
}

RECT TKsCustomTabControl::ClientRect()
{
    if (!FTabs) return TKsCustomControl::ClientRect();
    TLayout layout(this);
    RECT r = GetBorderRect();
    r.left += GetLeftMargin() + 1;
    r.top += GetTopMargin() + 1;
    r.right -= GetRightMargin() + 1;
    r.bottom -= GetBottomMargin() + 1;
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
    return r;
}

RECT TKsCustomTabControl::GetTabRect(int index)
{
    TLayout layout(this);
    int offset = 0;
    if (FMultiLine) {
        for (int k = FirstTabOfRow(GetTabRow(index)); k < index; ++k) offset += GetTabExtWidth(k);
    } else if (index >= FFirstVisible) {
        for (int k = FFirstVisible; k < index; ++k) offset += GetTabExtWidth(k);
    } else {
        for (int k = index; k < FFirstVisible; ++k) offset -= CachedWidth(k);
    }
    TTabPosition side = FTabPosition;
    int line = GetTabLineHeight();
    if (IsTabOnOpositeSide(index)) {
        static const TTabPosition opposite[] = {tpBottom, tpTop, tpRight, tpLeft};
        side = opposite[side];
        line = GetOpositeTabLineHeight();
    }
    const int d = line - GetTabRowHeight(GetTabRow(index));
    const int w = GetTabExtWidth(index);
    switch (side) {
    case tpTop: {
        const int x = offset + GetLeftMargin();
        return RECT{x, d, x + w, line + GetTopMargin()};
    }
    case tpBottom: {
        const int x = offset + GetLeftMargin();
        return RECT{x, Height() - line - GetBottomMargin(), x + w, Height() - d};
    }
    case tpLeft: {
        const int y = offset + GetTopMargin();
        return RECT{d, y, line + GetLeftMargin(), y + w};
    }
    case tpRight: {
        const int y = offset + GetTopMargin();
        return RECT{Width() - line - GetRightMargin(), y, Width() - d, y + w};
    }
    }
    return RECT{0, 0, 0, 0};
}

// --- The scrolling line -------------------------------------------------------------

bool TKsCustomTabControl::ScrollButtonsVisible()
{
    TLayout layout(this);
    const int count = GetTabCount();
    if (!Horizontal(FTabPosition) || count < 2 || FMultiLine) return false;
    return FFirstVisible > 0 || GetTabRect(count - 1).right > Width();
}

RECT TKsCustomTabControl::GetLeftScrlBtnRect()
{
    const RECT right = GetRightScrlBtnRect();
    const int s = right.right - right.left;
    return RECT{right.left - s, right.top, right.left, right.bottom};
}

RECT TKsCustomTabControl::GetRightScrlBtnRect()
{
    TLayout layout(this);
    const int s = GetScrollBtnSize(), line = GetTabLineHeight();
    const int top = FTabPosition == tpTop ? line - s - GetTopMargin() : Height() + GetBottomMargin() - line;
    return RECT{Width() - s, top, Width(), top + s};
}

bool TKsCustomTabControl::PtInLeftBtn(int x, int y)
{
    return ScrollButtonsVisible() && Inside(GetLeftScrlBtnRect(), x, y);
}

bool TKsCustomTabControl::PtInRightBtn(int x, int y)
{
    return ScrollButtonsVisible() && Inside(GetRightScrlBtnRect(), x, y);
}

bool TKsCustomTabControl::ClearOfButtons(const RECT& r)
{
    return r.right <= Width() && !Intersects(r, GetLeftScrlBtnRect()) && !Intersects(r, GetRightScrlBtnRect());
}

int TKsCustomTabControl::GetLastVisibleTab(bool avoidButtons)
{
    TLayout layout(this);
    const int count = GetTabCount();
    if (count == 0) return -1;
    const int available = Horizontal(FTabPosition) ? Width() - GetLeftMargin() - GetRightMargin()
                                                    : Height() - GetTopMargin() - GetBottomMargin();
    int last = std::max(0, std::min(FFirstVisible, count - 1));
    int total = CachedWidth(last);
    while (last + 1 < count && available >= total + CachedWidth(last + 1)) total += CachedWidth(++last);
    // The tab cut by the edge counts as shown.
    if (last + 1 < count) ++last;
    if (avoidButtons)
        while (last > 0 && !ClearOfButtons(GetTabRect(last))) --last;
    return last;
}

void TKsCustomTabControl::ScrollTabs(int delta)
{
    if (delta == 0) return;
    const int count = GetTabCount();
    if (count == 0) {
        FFirstVisible = -1;
    } else {
        TLayout layout(this);
        FFirstVisible = std::max(0, std::min(count - 1, FFirstVisible + delta));
        // Back to the smallest offset that still shows the last tab whole.
        bool stepped = false;
        while (FFirstVisible > 0 && GetLastVisibleTab(true) == count - 1) {
            --FFirstVisible;
            stepped = true;
        }
        if (stepped) ++FFirstVisible;
    }
    Invalidate();
}

// --- Hit testing --------------------------------------------------------------------

int TKsCustomTabControl::PtInTab(int x, int y)
{
    TLayout layout(this);
    const int count = GetTabCount();
    if (count == 0) return -1;
    if (ScrollButtonsVisible()) {
        const int s = GetScrollBtnSize(), line = GetTabLineHeight();
        const RECT zone = FTabPosition == tpTop ? RECT{Width() - 2 * s, 0, Width(), line}
                                                : RECT{Width() - 2 * s, Height() - line, Width(), Height()};
        if (Inside(zone, x, y)) return -1;
    }
    if (FTabIndex >= 0 && FTabIndex < count && Inside(GetTabRect(FTabIndex), x, y)) return FTabIndex;
    if (FMultiLine) {
        auto inRow = [&](int row) {
            for (int k = FirstTabOfRow(row); k <= FRows[row].Last; ++k)
                if (Inside(GetTabRect(k), x, y)) return k;
            return -1;
        };
        // The nearest rows first: the farther ones reach under them.
        const int s = SelectedRow();
        std::vector<int> order;
        if (FScrollOpposite) {
            for (int r = s - 1; r >= 0; --r) order.push_back(r);
            for (int r = s; r < FRowCount; ++r) order.push_back(r);
        } else {
            for (int r = s; r < FRowCount; ++r) order.push_back(r);
            for (int r = 0; r < s; ++r) order.push_back(r);
        }
        for (int r : order)
            if (int hit = inRow(r); hit >= 0) return hit;
        return -1;
    }
    const int last = GetLastVisibleTab(false);
    for (int k = std::max(0, FFirstVisible); k <= last; ++k) {
        RECT r = GetTabRect(k);
        // Without the part that overlaps the border.
        switch (FTabPosition) {
        case tpTop: r.bottom -= GetTopMargin(); break;
        case tpBottom: r.top += GetBottomMargin(); break;
        case tpLeft: r.right -= GetLeftMargin(); break;
        case tpRight: r.left += GetRightMargin(); break;
        }
        if (Inside(r, x, y)) return k;
    }
    return -1;
}

// --- The captions changed -------------------------------------------------------------

void TKsCustomTabControl::ClampTabIndex()
{
    const int count = GetTabCount();
    if (count == 0)
        FTabIndex = -1;
    else if (FTabIndex >= count - 1)
        FTabIndex = count - 1;
    else if (FTabIndex < 0)
        FTabIndex = 0;
}

void TKsCustomTabControl::SetTabsUpdating(bool updating)
{
    FTabsUpdating = updating;
    if (updating) return;
    Invalidate();
    TabsChanged();
}

void TKsCustomTabControl::TabsChanged()
{
    if (!FTabs) return;
    ClampTabIndex();
    const int count = GetTabCount();
    // Fewer tabs than the line had scrolled past would leave none in view.
    if (FFirstVisible >= count) FFirstVisible = 0;
    if (!Loading() && !FInsertingPage) {
        if (FUsePages) {
            const int pages = GetPageCount();
            if (count < pages && count == 0) {
                for (TKsCustomTabSheet* page : std::vector<TKsCustomTabSheet*>(FPages)) RemovePage(page);
                FTabIndex = -1;
                FActivePage = nullptr;
            } else if (count < pages) {
                for (TKsCustomTabSheet* page : std::vector<TKsCustomTabSheet*>(FPages))
                    if (ExactIndexOf(FTabs, page->Caption()) < 0) RemovePage(page);
            } else if (count > pages) {
                for (int k = 0; k < count; ++k) {
                    const std::string text = FTabs->Get(k);
                    const bool paged = std::any_of(FPages.begin(), FPages.end(),
                                                   [&](TKsCustomTabSheet* p) { return p->Caption() == text; });
                    if (paged) continue;
                    // The page of an existing tab, even an empty one: naming
                    // it would add a tab, and every change another page.
                    auto* sheet = new TKsCustomTabSheet(Owner());
                    sheet->SetCaption(text);
                    AttachPage(k, sheet);
                    SetActivePage(sheet);
                }
            }
        } else {
            FreePages();
        }
    }
    // The tabs may have moved: layout anew before anything is drawn.
    UpdateTabRows();
    if (!FTabsUpdating) {
        Invalidate();
        Realign();
    }
}

// --- Pages ------------------------------------------------------------------------------

TKsCustomTabSheet* TKsCustomTabControl::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? FPages[size_t(index)] : nullptr;
}

int TKsCustomTabControl::GetActivePageIndex() const
{
    if (!FUsePages || !FActivePage) return -1;
    return FActivePage->GetTabIndex();
}

int TKsCustomTabControl::TabOfPage(TKsCustomTabSheet* sheet)
{
    const int tab = ExactIndexOf(FTabs, sheet->Caption());
    if (tab >= 0) return tab;
    const int page = sheet->GetTabIndex();
    return page < GetTabCount() ? page : -1;
}

TKsCustomTabSheet* TKsCustomTabControl::PageOfTab(int index)
{
    if (index < 0 || index >= GetTabCount()) return nullptr;
    const std::string text = FTabs->Get(index);
    for (TKsCustomTabSheet* page : FPages)
        if (page->Caption() == text) return page;
    // A page whose tab was renamed still sits at its tab's place.
    TKsCustomTabSheet* page = GetPage(index);
    return page && ExactIndexOf(FTabs, page->Caption()) < 0 ? page : nullptr;
}

void TKsCustomTabControl::SetActivePage(TKsCustomTabSheet* sheet)
{
    if (sheet == FActivePage) return;
    if (sheet && std::find(FPages.begin(), FPages.end(), sheet) == FPages.end()) return;
    if (FActivePage) FActivePage->SetVisible(false);
    FActivePage = sheet;
    if (sheet) {
        sheet->SetVisible(true);
        sheet->BringToFront();
        const int tab = TabOfPage(sheet);
        if (tab >= 0 && tab != FTabIndex) {
            FTabIndex = tab;
            Realign();
        }
    }
    Invalidate();
}

void TKsCustomTabControl::SetActivePageIndex(int index)
{
    if (index >= 0 && index < GetPageCount()) SetActivePage(FPages[size_t(index)]);
}

void TKsCustomTabControl::AddPage(TKsCustomTabSheet* sheet)
{
    InsertPage(GetPageCount(), sheet);
}

void TKsCustomTabControl::InsertPage(int index, TKsCustomTabSheet* sheet)
{
    if (!sheet) return;
    if (std::find(FPages.begin(), FPages.end(), sheet) != FPages.end()) return;
    if (sheet->FTabControl) sheet->FTabControl->ExtractPage(sheet);
    if (sheet->Caption().empty()) {
        // Numbered from the count before the append, less one.
        const std::string text = "New Page " + std::to_string(GetTabCount() - 1);
        FInsertingPage = true;
        try {
            FTabs->Add(text);
        } catch (...) {
            FInsertingPage = false;
            throw;
        }
        FInsertingPage = false;
        sheet->SetCaption(FTabs->Get(GetTabCount() - 1));
    }
    AttachPage(index, sheet);
}

void TKsCustomTabControl::AttachPage(int index, TKsCustomTabSheet* sheet)
{
    index = std::max(0, std::min(index, GetPageCount()));
    FPages.insert(FPages.begin() + index, sheet);
    sheet->FTabControl = this;
    sheet->SetParent(this);
    sheet->SetVisible(false);
    Invalidate();
}

void TKsCustomTabControl::ExtractPage(TKsCustomTabSheet* sheet)
{
    const auto it = std::find(FPages.begin(), FPages.end(), sheet);
    if (it == FPages.end()) return;
    // Out of the list before its tab goes, so that the tab change cannot
    // take the same page out (and free it) a second time.
    const bool active = sheet == FActivePage;
    FPages.erase(it);
    sheet->FTabControl = nullptr;
    if (active) FActivePage = nullptr;
    // Its own tab, wherever that stands among the tabs.
    const int tab = ExactIndexOf(FTabs, sheet->Caption());
    if (tab >= 0) FTabs->Delete(tab);
    if (active) {
        if (GetTabCount() == 0) {
            FTabIndex = -1;
        } else {
            FTabIndex = 0;
            if (!FPages.empty()) SetActivePage(FPages[0]);
        }
    }
}

void TKsCustomTabControl::RemovePage(TKsCustomTabSheet* sheet)
{
    if (!sheet || std::find(FPages.begin(), FPages.end(), sheet) == FPages.end()) return;
    ExtractPage(sheet);
    // A sheet on its way out (its destructor called us) is not freed again.
    if (!sheet->Destroying()) {
        sheet->SetCaption("");
        sheet->Free();
    }
    Invalidate();
}

void TKsCustomTabControl::FreePages()
{
    const std::vector<TKsCustomTabSheet*> pages = FPages;
    FPages.clear();
    FActivePage = nullptr;
    for (TKsCustomTabSheet* page : pages) {
        page->FTabControl = nullptr;
        if (!page->Destroying()) page->Free();
    }
}

void TKsCustomTabControl::LinkLoadedPages()
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* sheet = dynamic_cast<TKsCustomTabSheet*>(Controls(i)); sheet && sheet->FTabControl != this)
            sheet->SetTabControl(this);
}

void TKsCustomTabControl::Loaded()
{
    TKsCustomControl::Loaded();
    LinkLoadedPages();
    if (FTabIndex > GetTabCount() - 1) FTabIndex = GetTabCount() - 1;
    if (FUsePages)
        if (TKsCustomTabSheet* page = PageOfTab(FTabIndex)) SetActivePage(page);
}

void TKsCustomTabControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    if (!FUsePages) {
        TKsCustomControl::GetChildren(proc, root);
        return;
    }
    for (TKsCustomTabSheet* page : FPages)
        if (page->Owner() == root) proc(page);
}

// --- Keys and the mouse -------------------------------------------------------------------

bool TKsCustomTabControl::DoKeyDown(WORD& key, TShiftState shift)
{
    if (TKsCustomControl::DoKeyDown(key, shift)) return true;
    // Steps stop at either end.
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        SetTabIndex(FTabIndex - 1);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        SetTabIndex(FTabIndex + 1);
        break;
    }
    return false;
}

void TKsCustomTabControl::DoEnter()
{
    TKsCustomControl::DoEnter();
    Invalidate();
}

void TKsCustomTabControl::DoExit()
{
    TKsCustomControl::DoExit();
    Invalidate();
}

bool TKsCustomTabControl::UpdateHover(int x, int y)
{
    TLayout layout(this);
    bool changed = false;
    if (ScrollButtonsVisible()) {
        const bool left = Inside(GetLeftScrlBtnRect(), x, y), right = Inside(GetRightScrlBtnRect(), x, y);
        changed = left != FLeftBtnHot || right != FRightBtnHot;
        FLeftBtnHot = left;
        FRightBtnHot = right;
    }
    // Tracked with HotTrack off too: only the drawing asks for it.
    const int hot = PtInTab(x, y);
    changed |= hot != FHotTab;
    FHotTab = hot;
    return changed;
}

void TKsCustomTabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TKsCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    const bool leftBefore = LeftBtnPressed(), rightBefore = RightBtnPressed();
    // The press itself tells where the pointer is, a move before it or not.
    const bool moved = UpdateHover(x, y);
    if (PtInLeftBtn(x, y)) FLeftBtnDown = true;
    if (PtInRightBtn(x, y)) FRightBtnDown = true;
    if ((LeftBtnPressed() && !leftBefore) || (RightBtnPressed() && !rightBefore)) {
        Invalidate();
        PartPress(true);
        return;
    }
    if (moved) Invalidate();
    const int tab = PtInTab(x, y);
    if (tab < 0) return;
    if (CanFocus()) SetFocus();
    SetTabIndex(tab);
}

void TKsCustomTabControl::MouseMove(TShiftState shift, int x, int y)
{
    TKsCustomControl::MouseMove(shift, x, y);
    if (UpdateHover(x, y)) Invalidate();
}

void TKsCustomTabControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TKsCustomControl::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    FLeftBtnDown = FRightBtnDown = false;
    if (FTimer) FTimer->SetEnabled(false);
    Invalidate();
}

void TKsCustomTabControl::MouseLeave()
{
    TKsCustomControl::MouseLeave();
    if (!FLeftBtnHot && !FRightBtnHot && FHotTab < 0) return;
    FLeftBtnHot = FRightBtnHot = false;
    FHotTab = -1;
    Invalidate();
}

bool TKsCustomTabControl::Repeating() const
{
    return FTimer && FTimer->Enabled();
}

void TKsCustomTabControl::PartPress(bool first)
{
    if (!FTimer) {
        FTimer = new TTimer(this);
        FTimer->SetEnabled(false);
        FTimer->OnTimer = MakeEvent<&TKsCustomTabControl::TimerExpired>(this);
    }
    if (first) {
        TimerExpired(FTimer);
        FTimer->SetInterval(RepeatDelay);
    } else {
        FTimer->SetInterval(RepeatInterval);
    }
    FTimer->SetEnabled(true);
}

void TKsCustomTabControl::TimerExpired(TObject*)
{
    if (FTimer) FTimer->SetInterval(RepeatInterval);
    // A button the pointer has left pauses: the timer runs on.
    try {
        if (LeftBtnPressed())
            ScrollTabs(-1);
        else if (RightBtnPressed())
            ScrollTabs(1);
    } catch (...) {
        if (FTimer) FTimer->SetEnabled(false);
        throw;
    }
}

// --- Messages and properties -------------------------------------------------------------

void TKsCustomTabControl::Dispatch(TMessage& m)
{
    TKsCustomControl::Dispatch(m);
    AfterBaseDispatch(m, {CM_ENABLEDCHANGED}, DLGC_WANTARROWS);
    // The tab height follows the font, and the page area with it.
    if (m.Msg == CM_FONTCHANGED) Realign();
}

TPersistent* TKsCustomTabControl::PropertyObject(const std::string& name)
{
    if (name == "Tabs") return FTabs;
    return TKsCustomControl::PropertyObject(name);
}

bool TKsCustomTabControl::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames positions = {"tpTop", "tpBottom", "tpLeft", "tpRight"};
    if (name == "HotTrack") SetHotTrack(reader.ReadBool());
    else if (name == "MultiLine") SetMultiLine(reader.ReadBool());
    else if (name == "OwnerDraw") SetOwnerDraw(reader.ReadBool());
    else if (name == "TabPosition") SetTabPosition(TTabPosition(reader.ReadEnum(positions)));
    else if (name == "TabIndex") SetTabIndex(reader.ReadInteger());
    else if (name == "RaggedRight") SetRaggedRight(reader.ReadBool());
    else if (name == "ScrollOpposite") SetScrollOpposite(reader.ReadBool());
    else if (name == "TabHeight") SetTabHeight(reader.ReadInteger());
    else if (name == "TabWidth") SetTabWidth(reader.ReadInteger());
    else if (name == "UsePages") SetUsePages(reader.ReadBool());
    else if (name == "OnChange") OnChange = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnChanging") OnChanging = reader.ReadEvent<TTabChangingEvent>();
    else if (name == "OnDrawTab") OnDrawTab = reader.ReadEvent<TDrawTabEvent>();
    else return TKsCustomControl::ReadProperty(name, reader);
    return true;
}

void RegisterTabControlClasses()
{
    RegisterClasses<TKsCustomTabSheet, TKsCustomTabControl, TEpIITabControl>();
}

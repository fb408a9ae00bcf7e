#include "Grid.h"

#include "FlagScope.h"
#include "Reader.h"

#include <algorithm>

namespace {

// Lines between fixed cells and lines between the other cells.
constexpr TColor FixedLineColor = clBlack;
constexpr TColor BodyLineColor = clSilver;
// How far from a line the mouse may be to size a column or row.
constexpr int SizingZone = 3;

int Clamp(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

}  // namespace

// --- TInplaceEdit ------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TCustomGrid* grid) : TWinControl(grid), FGrid(grid)
{
    SetVisible(false);
}

void TInplaceEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SubclassOf = "EDIT";
    params.Style |= ES_AUTOHSCROLL;
}

void TInplaceEdit::SetTopMargin(int margin)
{
    if (margin == FTopMargin) return;
    FTopMargin = margin;
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool TInplaceEdit::CaretAt(bool end)
{
    DWORD start = 0, stop = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&stop));
    if (start != stop) return false;
    return end ? start >= DWORD(GetWindowTextLengthA(Handle())) : start == 0;
}

void TInplaceEdit::PaintMargin()
{
    if (FTopMargin <= 0) return;
    HWND window = Handle();
    HDC dc = GetWindowDC(window);
    if (!dc) return;
    RECT bounds, client;
    GetWindowRect(window, &bounds);
    GetClientRect(window, &client);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -bounds.left, -bounds.top);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &bounds, Brush()->Handle());
    ReleaseDC(window, dc);
}

bool TInplaceEdit::DoKeyDown(WORD& key, TShiftState shift)
{
    return FGrid->EditorKeyDown(key, shift);
}

bool TInplaceEdit::DoKeyUp(WORD& key, TShiftState shift)
{
    return FGrid->EditorKeyUp(key, shift);
}

bool TInplaceEdit::DoKeyPress(char& key)
{
    return FGrid->EditorKeyPress(key);
}

void TInplaceEdit::Dispatch(TMessage& m)
{
    // A grid that is going away (or has let go of this editor) hears nothing.
    bool live = FGrid->FInplaceEdit == this && !FGrid->Destroying();
    switch (m.Msg) {
    case WM_GETDLGCODE:
        DefaultHandler(m);
        m.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
        if (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE) m.Result |= DLGC_WANTMESSAGE;
        return;
    case CN_COMMAND:
        if (HIWORD(m.WParam) == EN_CHANGE && live) FGrid->EditorTextChanged();
        return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        m.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
        return;
    }
    case WM_SETFOCUS:
        DefaultHandler(m);
        if (live) FGrid->EditorFocusCame(reinterpret_cast<HWND>(m.WParam));
        return;
    case WM_KILLFOCUS:
        DefaultHandler(m);
        if (live) FGrid->EditorFocusLeft(reinterpret_cast<HWND>(m.WParam));
        return;
    case WM_NCCALCSIZE: {
        DefaultHandler(m);
        // Both forms of the message start with the rectangle that becomes the client area.
        auto* r = reinterpret_cast<RECT*>(m.LParam);
        r->top = std::min(r->bottom, r->top + LONG(FTopMargin));
        return;
    }
    case WM_NCPAINT:
        DefaultHandler(m);
        PaintMargin();
        return;
    }
    TWinControl::Dispatch(m);
}

// --- TCustomGrid: construction and properties --------------------------------

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner)
{
    FColWidths.assign(size_t(FColCount), FDefaultColWidth);
    FRowHeights.assign(size_t(FRowCount), FDefaultRowHeight);
    SetColor(clWindow);
    SetTabStop(true);
    DoubleBuffered = true;
    ControlStyle |= csOpaque;
    SetBounds(Left(), Top(), 320, 120);
}

TCustomGrid::~TCustomGrid()
{
    BeginDestroy();
    // The editor goes first, while the grid it calls back is still whole;
    // its focus comes back to the grid quietly rather than by its destruction.
    if (TInplaceEdit* editor = FInplaceEdit) {
        if (IsEditorWindow(GetFocus())) ::SetFocus(Handle());
        FInplaceEdit = nullptr;
        editor->Free();
    }
}

void TCustomGrid::CheckIndex(bool cols, int index) const
{
    if (index < 0 || index >= Count(cols)) throw EInvalidOperation("Grid index out of range");
}

void TCustomGrid::SetCount(bool cols, int count)
{
    count = std::max(1, count);
    int& current = cols ? FColCount : FRowCount;
    if (count == current) return;
    if (EditorMode() && (cols ? FEditCell.X : FEditCell.Y) >= count) CloseEditor(false);
    const int oldCols = FColCount, oldRows = FRowCount;
    int& fixed = cols ? FFixedCols : FFixedRows;
    if (fixed >= count) fixed = count - 1;
    (cols ? FColWidths : FRowHeights).resize(size_t(count), cols ? FDefaultColWidth : FDefaultRowHeight);
    current = count;
    SizeChanged(oldCols, oldRows);
    GridChanged();
}

void TCustomGrid::SetFixedCols(int count)
{
    if (count < 0 || count >= FColCount) throw EInvalidOperation("Fixed column count must be less than column count");
    if (count == FFixedCols) return;
    FFixedCols = count;
    ResetPositions();
}

void TCustomGrid::SetFixedRows(int count)
{
    if (count < 0 || count >= FRowCount) throw EInvalidOperation("Fixed row count must be less than row count");
    if (count == FFixedRows) return;
    FFixedRows = count;
    ResetPositions();
}

void TCustomGrid::ResetPositions()
{
    // New fixed counts start over at the first body cell.
    if (EditorMode()) CloseEditor(false);
    FCurrent = FAnchor = {FFixedCols, FFixedRows};
    if (FTopLeft != FCurrent) {
        FTopLeft = FCurrent;
        TopLeftChanged();
    }
    GridChanged();
}

void TCustomGrid::SetDefaultSize(bool cols, int size)
{
    size = std::max(0, size);
    int& defaultSize = cols ? FDefaultColWidth : FDefaultRowHeight;
    bool changed = size != defaultSize;
    defaultSize = size;
    for (int& s : cols ? FColWidths : FRowHeights) {
        changed = changed || s != size;
        s = size;
    }
    if (changed) GridChanged();
}

int TCustomGrid::CheckedSize(bool cols, int index) const
{
    CheckIndex(cols, index);
    return Size(cols, index);
}

void TCustomGrid::SetSize(bool cols, int index, int size)
{
    CheckIndex(cols, index);
    size = std::max(0, size);
    int& current = (cols ? FColWidths : FRowHeights)[size_t(index)];
    if (size == current) return;
    current = size;
    GridChanged();
}

void TCustomGrid::SetGridLineWidth(int width)
{
    width = std::max(0, width);
    if (width == FGridLineWidth) return;
    FGridLineWidth = width;
    GridChanged();
}

void TCustomGrid::SetFixedColor(TColor color)
{
    if (color == FFixedColor) return;
    FFixedColor = color;
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions options)
{
    // A whole row selected has no single cell to edit.
    if (options & goRowSelect) options &= ~goAlwaysShowEditor;
    if (options == FOptions) return;
    TGridRect old = Selection();
    FOptions = options;
    if (!(options & goRangeSelect)) FAnchor = FCurrent;
    // Taking goEditing away leaves an open editor open: the application
    // switches editing on for each key press and off at its release.
    if (EditorMode() && (options & goRowSelect)) CloseEditor(false);
    if (!EditorMode() && (options & goAlwaysShowEditor) && HasFocusWithin()) ShowEditor();
    SelectionChanged(old);
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle scrollBars)
{
    if (scrollBars == FScrollBars) return;
    FScrollBars = scrollBars;
    if (!HandleAllocated()) return;
    if (scrollBars != ssVertical && scrollBars != ssBoth) ShowScrollBar(Handle(), SB_VERT, FALSE);
    if (scrollBars != ssHorizontal && scrollBars != ssBoth) ShowScrollBar(Handle(), SB_HORZ, FALSE);
    UpdateScrollRange();
}

void TCustomGrid::SetDefaultDrawing(bool value)
{
    if (value == FDefaultDrawing) return;
    FDefaultDrawing = value;
    Invalidate();
}

void TCustomGrid::SetBorderStyle(TFormBorderStyle style)
{
    style = style == bsNone ? bsNone : bsSingle;
    if (style == FBorderStyle) return;
    FBorderStyle = style;
    if (!HandleAllocated()) return;
    LONG_PTR ex = GetWindowLongPtrA(Handle(), GWL_EXSTYLE);
    ex = style == bsSingle ? (ex | WS_EX_CLIENTEDGE) : (ex & ~LONG_PTR(WS_EX_CLIENTEDGE));
    SetWindowLongPtrA(Handle(), GWL_EXSTYLE, ex);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TCustomGrid::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    // The scroll bars come and go with the need for them (UpdateScrollRange).
    if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomGrid::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollRange();
}

void TCustomGrid::Loaded()
{
    TCustomControl::Loaded();
    ClampPositions();
    UpdateScrollRange();
}

// --- Layout ----------------------------------------------------------------

int TCustomGrid::Extent(bool cols)
{
    RECT r = ClientRect();
    return cols ? r.right : r.bottom;
}

int TCustomGrid::FixedExtent(bool cols) const
{
    int extent = 0;
    for (int i = 0; i < Fixed(cols); ++i) extent += Size(cols, i) + FGridLineWidth;
    return extent;
}

std::vector<TCustomGrid::TSpan> TCustomGrid::VisibleSpans(bool cols)
{
    std::vector<TSpan> spans;
    int extent = Extent(cols), pos = 0;
    for (int i = 0; i < Fixed(cols) && pos < extent; ++i) {
        spans.push_back({i, pos, pos + Size(cols, i)});
        pos += Size(cols, i) + FGridLineWidth;
    }
    for (int i = First(cols); i < Count(cols) && pos < extent; ++i) {
        spans.push_back({i, pos, pos + Size(cols, i)});
        pos += Size(cols, i) + FGridLineWidth;
    }
    return spans;
}

bool TCustomGrid::CellSpan(bool cols, int index, TSpan& span)
{
    if (index < 0 || index >= Count(cols)) return false;
    int pos = 0;
    if (index < Fixed(cols)) {
        for (int i = 0; i < index; ++i) pos += Size(cols, i) + FGridLineWidth;
    } else {
        if (index < First(cols)) return false;
        pos = FixedExtent(cols);
        for (int i = First(cols); i < index; ++i) pos += Size(cols, i) + FGridLineWidth;
    }
    if (pos >= Extent(cols)) return false;
    span = {index, pos, pos + Size(cols, index)};
    return true;
}

int TCustomGrid::LastFullyVisible(bool cols, int first)
{
    int extent = Extent(cols), pos = FixedExtent(cols), last = first - 1;
    for (int i = first; i < Count(cols); ++i) {
        if (pos + Size(cols, i) > extent) break;
        last = i;
        pos += Size(cols, i) + FGridLineWidth;
    }
    return last;
}

int TCustomGrid::FirstToShow(bool cols, int index)
{
    // The furthest-back first cell from which index is still wholly shown.
    int room = Extent(cols) - FixedExtent(cols), used = Size(cols, index), first = index;
    for (int i = index - 1; i >= Fixed(cols); --i) {
        used += FGridLineWidth + Size(cols, i);
        if (used > room) break;
        first = i;
    }
    return first;
}

int TCustomGrid::MaxFirst(bool cols)
{
    return std::max(Fixed(cols), FirstToShow(cols, Count(cols) - 1));
}

int TCustomGrid::HitIndex(bool cols, int pos)
{
    if (pos < 0) return -1;
    for (const TSpan& s : VisibleSpans(cols))
        if (pos >= s.Start && pos < s.End + FGridLineWidth) return s.Index;
    return -1;
}

int TCustomGrid::VisibleColCount()
{
    return std::max(0, LastFullyVisible(true, FTopLeft.X) - FTopLeft.X + 1);
}

int TCustomGrid::VisibleRowCount()
{
    return std::max(0, LastFullyVisible(false, FTopLeft.Y) - FTopLeft.Y + 1);
}

bool TCustomGrid::MouseToCell(int x, int y, int& col, int& row)
{
    col = HitIndex(true, x);
    row = HitIndex(false, y);
    if (col < 0 || row < 0) {
        col = row = -1;
        return false;
    }
    return true;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y)
{
    TGridCoord c;
    MouseToCell(x, y, c.X, c.Y);
    return c;
}

RECT TCustomGrid::CellRect(int col, int row)
{
    TSpan x, y;
    if (!CellSpan(true, col, x) || !CellSpan(false, row, y)) return RECT{0, 0, 0, 0};
    return RECT{x.Start, y.Start, x.End, y.End};
}

void TCustomGrid::InvalidateCell(int col, int row)
{
    if (!HandleAllocated()) return;
    RECT r = CellRect(col, row);
    if (IsRectEmpty(&r)) return;
    r.right += FGridLineWidth;
    r.bottom += FGridLineWidth;
    InvalidateRect(Handle(), &r, FALSE);
}

void TCustomGrid::GridChanged()
{
    ClampPositions();
    UpdateScrollRange();
    UpdateEditor();
    Invalidate();
}

// --- Current cell, selection, scrolling --------------------------------------

void TCustomGrid::ClampPositions()
{
    TGridCoord current{Clamp(FCurrent.X, FFixedCols, FColCount - 1), Clamp(FCurrent.Y, FFixedRows, FRowCount - 1)};
    if (EditorMode() && current != FCurrent) CloseEditor(false);
    FCurrent = current;
    FAnchor = {Clamp(FAnchor.X, FFixedCols, FColCount - 1), Clamp(FAnchor.Y, FFixedRows, FRowCount - 1)};
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
}

void TCustomGrid::SetTopLeft(int left, int top)
{
    left = Clamp(left, FFixedCols, MaxFirst(true));
    top = Clamp(top, FFixedRows, MaxFirst(false));
    if (left == FTopLeft.X && top == FTopLeft.Y) return;
    FTopLeft = {left, top};
    TopLeftChanged();
}

void TCustomGrid::SetTopRow(int row)
{
    SetTopLeft(FTopLeft.X, row);
}

void TCustomGrid::SetLeftCol(int col)
{
    SetTopLeft(col, FTopLeft.Y);
}

void TCustomGrid::TopLeftChanged()
{
    UpdateScrollRange();
    UpdateEditor();
    Invalidate();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::ScrollInView(int col, int row)
{
    int left = FTopLeft.X, top = FTopLeft.Y;
    if (col >= FFixedCols) {
        if (col < left)
            left = col;
        else if (col > LastFullyVisible(true, left))
            left = std::max(left, FirstToShow(true, col));
    }
    if (row >= FFixedRows) {
        if (row < top)
            top = row;
        else if (row > LastFullyVisible(false, top))
            top = std::max(top, FirstToShow(false, row));
    }
    SetTopLeft(left, top);
}

TGridRect TCustomGrid::Selection() const
{
    TGridRect r{std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y), std::max(FAnchor.X, FCurrent.X),
                std::max(FAnchor.Y, FCurrent.Y)};
    if (FOptions & goRowSelect) {
        r.Left = FFixedCols;
        r.Right = FColCount - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& selection)
{
    TGridRect s{Clamp(std::min(selection.Left, selection.Right), FFixedCols, FColCount - 1),
                Clamp(std::min(selection.Top, selection.Bottom), FFixedRows, FRowCount - 1),
                Clamp(std::max(selection.Left, selection.Right), FFixedCols, FColCount - 1),
                Clamp(std::max(selection.Top, selection.Bottom), FFixedRows, FRowCount - 1)};
    TGridRect old = Selection();
    TGridCoord current = FCurrent;
    bool currentAtX = current.X == s.Left || current.X == s.Right;
    bool currentAtY = current.Y == s.Top || current.Y == s.Bottom;
    if (currentAtX && currentAtY) {
        // The current cell stays; the range grows from the opposite corner.
        FAnchor = {current.X == s.Left ? s.Right : s.Left, current.Y == s.Top ? s.Bottom : s.Top};
    } else {
        current = {s.Right, s.Bottom};
        if (EditorMode()) CloseEditor(false);
        FCurrent = current;
        FAnchor = {s.Left, s.Top};
    }
    ScrollInView(FCurrent.X, FCurrent.Y);
    SelectionChanged(old);
}

void TCustomGrid::SelectionChanged(const TGridRect& old)
{
    // Whole rows and columns may be drawn after the selection: repaint it all.
    if (old != Selection()) Invalidate();
}

void TCustomGrid::SetCol(int col)
{
    if (col < FFixedCols || col >= FColCount) throw EInvalidOperation("Grid index out of range");
    MoveCurrent(col, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int row)
{
    if (row < FFixedRows || row >= FRowCount) throw EInvalidOperation("Grid index out of range");
    MoveCurrent(FCurrent.X, row, true);
}

bool TCustomGrid::SelectCell(int col, int row)
{
    bool canSelect = true;
    if (OnSelectCell) OnSelectCell(this, col, row, canSelect);
    return canSelect;
}

bool TCustomGrid::MoveCurrent(int col, int row, bool moveAnchor)
{
    col = Clamp(col, FFixedCols, FColCount - 1);
    row = Clamp(row, FFixedRows, FRowCount - 1);
    if (!(FOptions & goRangeSelect)) moveAnchor = true;
    TGridRect old = Selection();
    if (col == FCurrent.X && row == FCurrent.Y) {
        if (moveAnchor) FAnchor = FCurrent;
        ScrollInView(col, row);
        SelectionChanged(old);
        return true;
    }
    if (!SelectCell(col, row)) return false;
    if (EditorMode()) CloseEditor(false);
    FCurrent = {col, row};
    if (moveAnchor) FAnchor = FCurrent;
    ScrollInView(col, row);
    SelectionChanged(old);
    if ((FOptions & goAlwaysShowEditor) && HasFocusWithin()) ShowEditor();
    return true;
}

void TCustomGrid::MoveLine(bool cols, int fromIndex, int toIndex)
{
    CheckIndex(cols, fromIndex);
    CheckIndex(cols, toIndex);
    if (fromIndex == toIndex) return;
    if (EditorMode()) CloseEditor(false);
    std::vector<int>& sizes = cols ? FColWidths : FRowHeights;
    int size = sizes[size_t(fromIndex)];
    sizes.erase(sizes.begin() + fromIndex);
    sizes.insert(sizes.begin() + toIndex, size);
    // The current cell and the anchor keep pointing at the same lines.
    for (int* v : {cols ? &FCurrent.X : &FCurrent.Y, cols ? &FAnchor.X : &FAnchor.Y}) {
        if (*v == fromIndex) *v = toIndex;
        else if (fromIndex < toIndex && *v > fromIndex && *v <= toIndex) --*v;
        else if (fromIndex > toIndex && *v >= toIndex && *v < fromIndex) ++*v;
    }
    if (cols)
        ColumnMoved(fromIndex, toIndex);
    else
        RowMoved(fromIndex, toIndex);
    GridChanged();
}

void TCustomGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    (void)oldColCount;
    (void)oldRowCount;
}

void TCustomGrid::ColumnMoved(int fromIndex, int toIndex)
{
    (void)fromIndex;
    (void)toIndex;
}

void TCustomGrid::RowMoved(int fromIndex, int toIndex)
{
    (void)fromIndex;
    (void)toIndex;
}

void TCustomGrid::UpdateScrollRange()
{
    if (!HandleAllocated() || FUpdatingScrollBars) return;
    FUpdatingScrollBars = true;
    HWND window = Handle();
    // Showing one bar takes room from the other direction: a second pass settles it.
    for (int pass = 0; pass < 2; ++pass) {
        for (bool vertical : {true, false}) {
            bool allowed = FScrollBars == ssBoth || FScrollBars == (vertical ? ssVertical : ssHorizontal);
            if (!allowed) continue;
            bool cols = !vertical;
            int bar = vertical ? SB_VERT : SB_HORZ;
            int maxFirst = MaxFirst(cols);
            bool needed = maxFirst > Fixed(cols);
            if (needed) {
                // Positions are first rows (columns); the page is what fits at the end.
                SCROLLINFO si = {};
                si.cbSize = sizeof si;
                si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
                si.nMin = Fixed(cols);
                si.nMax = Count(cols) - 1;
                si.nPage = UINT(Count(cols) - maxFirst);
                si.nPos = First(cols);
                ShowScrollBar(window, bar, TRUE);
                SetScrollInfo(window, bar, &si, TRUE);
            } else {
                ShowScrollBar(window, bar, FALSE);
            }
        }
    }
    FUpdatingScrollBars = false;
}

void TCustomGrid::ScrollMessage(bool vertical, WORD code)
{
    bool cols = !vertical;
    int first = First(cols);
    int page = std::max(1, vertical ? VisibleRowCount() : VisibleColCount());
    switch (code) {
    case SB_LINEUP: first -= 1; break;
    case SB_LINEDOWN: first += 1; break;
    case SB_PAGEUP: first -= page; break;
    case SB_PAGEDOWN: first += page; break;
    case SB_TOP: first = Fixed(cols); break;
    case SB_BOTTOM: first = Count(cols) - 1; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        if (code == SB_THUMBTRACK && !(FOptions & goThumbTracking)) return;
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        // Both carry the thumb's place in the track position; SIF_POS
        // still holds the old one when the thumb is let go.
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), vertical ? SB_VERT : SB_HORZ, &si);
        first = si.nTrackPos;
        break;
    }
    default:
        return;
    }
    if (cols)
        SetTopLeft(first, FTopLeft.Y);
    else
        SetTopLeft(FTopLeft.X, first);
}

// --- Painting ----------------------------------------------------------------

bool TCustomGrid::HasFocusWithin()
{
    if (!HandleAllocated()) return false;
    HWND focus = GetFocus();
    return focus && (focus == Handle() || IsEditorWindow(focus));
}

TGridDrawState TCustomGrid::CellState(int col, int row, const TGridRect& selection, bool focused) const
{
    if (col < FFixedCols || row < FFixedRows) return gdFixed;
    TGridDrawState state = 0;
    if (selection.Contains(col, row)) state |= gdSelected;
    if (focused && col == FCurrent.X && row == FCurrent.Y) state |= gdFocused;
    return state;
}

void TCustomGrid::PrepareCanvasText()
{
    // Measuring selects the font and its colour; filling nothing selects the brush.
    Canvas()->TextExtent(std::string());
    RECT none = {0, 0, 0, 0};
    Canvas()->FillRect(none);
}

void TCustomGrid::Paint()
{
    TCanvas* canvas = Canvas();
    RECT client = ClientRect();
    std::vector<TSpan> colSpans = VisibleSpans(true), rowSpans = VisibleSpans(false);
    bool focused = HasFocusWithin();
    TGridRect selection = Selection();
    auto fill = [canvas](const RECT& r, TColor color) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(color);
        canvas->FillRect(r);
    };

    // What no cell covers, and the gaps where no line is drawn, show Color.
    fill(client, Color());
    int lw = FGridLineWidth;
    if (lw > 0) {
        for (const TSpan& rs : rowSpans)
            for (const TSpan& cs : colSpans) {
                bool fixed = cs.Index < FFixedCols || rs.Index < FFixedRows;
                TColor vertical = fixed ? ((FOptions & goFixedVertLine) ? FixedLineColor : FFixedColor)
                                        : ((FOptions & goVertLine) ? BodyLineColor : Color());
                TColor horizontal = fixed ? ((FOptions & goFixedHorzLine) ? FixedLineColor : FFixedColor)
                                          : ((FOptions & goHorzLine) ? BodyLineColor : Color());
                // The gap right of the cell and the one below it, meeting at the corner.
                fill(RECT{cs.End, rs.Start, cs.End + lw, rs.End + lw}, vertical);
                fill(RECT{cs.Start, rs.End, cs.End + lw, rs.End + lw}, horizontal);
            }
    }

    for (const TSpan& rs : rowSpans)
        for (const TSpan& cs : colSpans) {
            TGridDrawState state = CellState(cs.Index, rs.Index, selection, focused);
            TFont* font = canvas->Font();
            font->SetColor(Font()->Color());
            font->Assign(Font());
            canvas->Brush()->SetStyle(bsSolid);
            if (state & gdFixed) {
                canvas->Brush()->SetColor(FFixedColor);
            } else if ((state & gdSelected) &&
                       (!(state & gdFocused) || (FOptions & (goDrawFocusSelected | goRowSelect)))) {
                canvas->Brush()->SetColor(clHighlight);
                font->SetColor(clHighlightText);
            } else {
                canvas->Brush()->SetColor(Color());
            }
            DrawCell(cs.Index, rs.Index, RECT{cs.Start, rs.Start, cs.End, rs.End}, state);
        }

    if (FDefaultDrawing && Focused() && !EditorMode()) {
        RECT focus = CellRect(FCurrent.X, FCurrent.Y);
        if ((FOptions & goRowSelect) && !IsRectEmpty(&focus)) {
            for (const TSpan& cs : colSpans) {
                if (cs.Index < FFixedCols) continue;
                focus.left = std::min(focus.left, LONG(cs.Start));
                focus.right = std::max(focus.right, LONG(cs.End));
            }
        }
        if (!IsRectEmpty(&focus)) {
            PrepareCanvasText();
            DrawFocusRect(canvas->Handle(), &focus);
        }
    }
}

void TCustomGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state)
{
    if (!FDefaultDrawing) {
        if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
        return;
    }
    Canvas()->FillRect(rect);
}

// --- The editor -----------------------------------------------------------------

bool TCustomGrid::EditorMode() const
{
    return FInplaceEdit && FInplaceEdit->Visible();
}

void TCustomGrid::SetEditorMode(bool value)
{
    if (value)
        ShowEditor();
    else
        HideEditor();
}

bool TCustomGrid::CanEditShow() const
{
    return (FOptions & goEditing) && !(FOptions & goRowSelect) && HandleAllocated() && !Destroying();
}

bool TCustomGrid::IsEditorWindow(HWND window) const
{
    return window && FInplaceEdit && FInplaceEdit->HandleAllocated() && window == FInplaceEdit->Handle();
}

std::string TCustomGrid::GetEditText(int col, int row)
{
    std::string text;
    if (OnGetEditText) OnGetEditText(this, col, row, text);
    return text;
}

void TCustomGrid::SetEditText(int col, int row, const std::string& value)
{
    if (OnSetEditText) OnSetEditText(this, col, row, value);
}

void TCustomGrid::ShowEditor()
{
    if (EditorMode() || !CanEditShow()) return;
    ShowEditorText(GetEditText(FCurrent.X, FCurrent.Y), false);
}

void TCustomGrid::HideEditor()
{
    CloseEditor(false);
}

void TCustomGrid::ShowEditorText(const std::string& text, bool write)
{
    ScrollInView(FCurrent.X, FCurrent.Y);
    RECT r = CellRect(FCurrent.X, FCurrent.Y);
    if (IsRectEmpty(&r)) return;
    if (!FInplaceEdit) {
        FInplaceEdit = new TInplaceEdit(this);
        FInplaceEdit->SetParent(this);
    }
    FEditCell = FCurrent;
    FEditOriginal = GetEditText(FCurrent.X, FCurrent.Y);
    SetEditorText(text);
    PlaceEditor(r);
    FInplaceEdit->Show();
    if (HasFocusWithin()) ::SetFocus(FInplaceEdit->Handle());
    if (write) WriteEditText(text);
    InvalidateCell(FEditCell.X, FEditCell.Y);
}

void TCustomGrid::CloseEditor(bool restore)
{
    if (!EditorMode()) return;
    if (restore) WriteEditText(FEditOriginal);
    // Focus goes back to the grid before the editor hides, so that it stays inside.
    if (IsEditorWindow(GetFocus())) ::SetFocus(Handle());
    FInplaceEdit->Hide();
    TGridCoord cell = FEditCell;
    FEditCell = {-1, -1};
    InvalidateCell(cell.X, cell.Y);
}

void TCustomGrid::SetEditorText(const std::string& text)
{
    {
        TFlagScope setting(FSettingEditorText);
        FInplaceEdit->SetText(text);
    }
    SendMessageA(FInplaceEdit->Handle(), EM_SETSEL, text.size(), text.size());
}

void TCustomGrid::WriteEditText(const std::string& text)
{
    TFlagScope writing(FEditorWriting);
    SetEditText(FEditCell.X, FEditCell.Y, text);
}

int TCustomGrid::EditorTopMargin(int cellHeight)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FInplaceEdit->Font()->Handle());
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return std::max(0, (cellHeight - int(tm.tmHeight)) / 2);
}

void TCustomGrid::UpdateEditor()
{
    if (!EditorMode()) return;
    RECT r = CellRect(FEditCell.X, FEditCell.Y);
    if (IsRectEmpty(&r)) {
        // Scrolled out of view: the text is in the cell already.
        CloseEditor(false);
        return;
    }
    PlaceEditor(r);
}

void TCustomGrid::PlaceEditor(const RECT& r)
{
    FInplaceEdit->SetTopMargin(EditorTopMargin(r.bottom - r.top));
    FInplaceEdit->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TCustomGrid::EditorTextChanged()
{
    if (FSettingEditorText || FEditCell.X < 0) return;
    WriteEditText(FInplaceEdit->Text());
}

void TCustomGrid::CellTextChanged(int col, int row)
{
    InvalidateCell(col, row);
    if (FEditorWriting || !EditorMode() || FEditCell != TGridCoord{col, row}) return;
    std::string text = GetEditText(col, row);
    if (text != FInplaceEdit->Text()) SetEditorText(text);
}

void TCustomGrid::EditorFocusCame(HWND from)
{
    if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
    if (!HandleAllocated() || from != Handle()) Perform(CM_ENTER);
    Invalidate();
}

void TCustomGrid::EditorFocusLeft(HWND to)
{
    if (!HandleAllocated() || to != Handle()) Perform(CM_EXIT);
    Invalidate();
}

bool TCustomGrid::EditorKeyDown(WORD& key, TShiftState shift)
{
    // The grid's key events see the editor's keys.
    if (TCustomControl::DoKeyDown(key, shift)) return true;
    if (shift & ssAlt) return false;
    bool toGrid = false;
    switch (key) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_RETURN: case VK_ESCAPE:
        toGrid = true;
        break;
    case VK_LEFT:
        toGrid = FInplaceEdit->CaretAt(false);
        break;
    case VK_RIGHT:
        toGrid = FInplaceEdit->CaretAt(true);
        break;
    case VK_HOME: case VK_END:
        toGrid = (shift & ssCtrl) != 0;
        break;
    case VK_TAB:
        if (FOptions & goTabs) {
            toGrid = true;
        } else if (TCustomForm* form = GetParentForm(this)) {
            // On to the control after the grid, as from the grid itself.
            form->SelectNext(this, !(shift & ssShift), true);
            return true;
        }
        break;
    }
    if (!toGrid) return false;
    KeyDown(key, shift);
    return true;
}

bool TCustomGrid::EditorKeyUp(WORD& key, TShiftState shift)
{
    return TCustomControl::DoKeyUp(key, shift);
}

bool TCustomGrid::EditorKeyPress(char& key)
{
    if (TCustomControl::DoKeyPress(key)) return true;
    // Handled at key down; the EDIT would only beep.
    return key == '\r' || key == '\x1b' || key == '\t';
}

// --- Keyboard and mouse -----------------------------------------------------------

UINT TCustomGrid::GetDialogCode(WPARAM key)
{
    UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FOptions & goTabs) code |= DLGC_WANTTAB;
    if (key == VK_RETURN && (FOptions & goEditing)) code |= DLGC_WANTMESSAGE;
    return code;
}

bool TCustomGrid::DoKeyDown(WORD& key, TShiftState shift)
{
    if (TCustomControl::DoKeyDown(key, shift)) return true;
    if (shift & ssAlt) return false;
    return KeyDown(key, shift);
}

bool TCustomGrid::DoKeyPress(char& key)
{
    if (TCustomControl::DoKeyPress(key)) return true;
    return KeyPress(key);
}

bool TCustomGrid::KeyDown(WORD& key, TShiftState shift)
{
    bool ctrl = (shift & ssCtrl) != 0;
    bool extend = (shift & ssShift) && (FOptions & goRangeSelect);
    bool rowSelect = (FOptions & goRowSelect) != 0;
    TGridCoord to = FCurrent;
    switch (key) {
    case VK_UP: to.Y -= 1; break;
    case VK_DOWN: to.Y += 1; break;
    case VK_LEFT:
        if (rowSelect) {
            SetLeftCol(FTopLeft.X - 1);
            return true;
        }
        to.X -= 1;
        break;
    case VK_RIGHT:
        if (rowSelect) {
            SetLeftCol(FTopLeft.X + 1);
            return true;
        }
        to.X += 1;
        break;
    case VK_HOME:
        if (ctrl || rowSelect) to.Y = FFixedRows;
        if (!rowSelect) to.X = FFixedCols;
        break;
    case VK_END:
        if (ctrl || rowSelect) to.Y = FRowCount - 1;
        if (!rowSelect) to.X = FColCount - 1;
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        int page = std::max(1, VisibleRowCount()) * (key == VK_PRIOR ? -1 : 1);
        SetTopRow(FTopLeft.Y + page);
        to.Y += page;
        break;
    }
    case VK_TAB:
        if (!(FOptions & goTabs) || ctrl) return false;
        extend = false;
        if (rowSelect) {
            to.Y += (shift & ssShift) ? -1 : 1;
            if (to.Y < FFixedRows) to.Y = FRowCount - 1;
            if (to.Y >= FRowCount) to.Y = FFixedRows;
        } else if (shift & ssShift) {
            if (--to.X < FFixedCols) {
                to.X = FColCount - 1;
                if (--to.Y < FFixedRows) to.Y = FRowCount - 1;
            }
        } else if (++to.X >= FColCount) {
            to.X = FFixedCols;
            if (++to.Y >= FRowCount) to.Y = FFixedRows;
        }
        break;
    case VK_F2:
        if (EditorMode() || !CanEditShow()) return false;
        ShowEditor();
        return true;
    case VK_RETURN:
        if (EditorMode()) {
            CloseEditor(false);
            return true;
        }
        if (!CanEditShow()) return false;
        ShowEditor();
        return true;
    case VK_ESCAPE:
        if (!EditorMode()) return false;
        CloseEditor(true);
        return true;
    default:
        return false;
    }
    MoveCurrent(to.X, to.Y, !extend);
    return true;
}

bool TCustomGrid::KeyPress(char& key)
{
    if (EditorMode() || !CanEditShow()) return false;
    auto c = static_cast<unsigned char>(key);
    // A character starts a new text; Backspace starts an empty one.
    if ((c >= 32 && c != 127) || c == 8) {
        ShowEditorText(c == 8 ? std::string() : std::string(1, key), true);
        return true;
    }
    return false;
}

bool TCustomGrid::SizingHit(int x, int y, bool& cols, int& index)
{
    if ((FOptions & goColSizing) && y >= 0 && y < FixedExtent(false)) {
        for (const TSpan& s : VisibleSpans(true))
            if (x >= s.End - SizingZone && x < s.End + FGridLineWidth + SizingZone) {
                cols = true;
                index = s.Index;
                return true;
            }
    }
    if ((FOptions & goRowSizing) && x >= 0 && x < FixedExtent(true)) {
        for (const TSpan& s : VisibleSpans(false))
            if (y >= s.End - SizingZone && y < s.End + FGridLineWidth + SizingZone) {
                cols = false;
                index = s.Index;
                return true;
            }
    }
    return false;
}

int TCustomGrid::DragCell(bool cols, int pos)
{
    // Past an edge of the body: the next cell that way, so that dragging scrolls.
    if (pos < FixedExtent(cols)) return std::max(Fixed(cols), First(cols) - 1);
    if (pos >= Extent(cols)) return std::min(Count(cols) - 1, LastFullyVisible(cols, First(cols)) + 1);
    int index = HitIndex(cols, pos);
    return index < 0 ? Count(cols) - 1 : std::max(index, Fixed(cols));
}

void TCustomGrid::EndGridState()
{
    FGridState = gsNormal;
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && !(shift & ssDouble)) {
        // An editor with the focus keeps it unless the click moves to another cell.
        if (CanFocus() && !HasFocusWithin()) SetFocus();
        bool cols = false;
        int index = 0, col = 0, row = 0;
        if (SizingHit(x, y, cols, index)) {
            FGridState = cols ? gsColSizing : gsRowSizing;
            FStateIndex = index;
            FStateStart = cols ? x : y;
            FStateSize = cols ? FColWidths[size_t(index)] : FRowHeights[size_t(index)];
            ControlState &= ~csClicked;
            SetCapture(Handle());
        } else if (!MouseToCell(x, y, col, row)) {
            // Only a press on a cell makes a click.
            ControlState &= ~csClicked;
        } else if (col >= FFixedCols && row >= FFixedRows) {
            bool extend = (shift & ssShift) && (FOptions & goRangeSelect);
            MoveCurrent(col, row, !extend);
            if (FOptions & goRangeSelect) {
                FGridState = gsSelecting;
                SetCapture(Handle());
            }
        } else if ((FOptions & goColMoving) && row < FFixedRows && col >= FFixedCols) {
            FGridState = gsColMoving;
            FStateIndex = col;
            SetCapture(Handle());
        } else if ((FOptions & goRowMoving) && col < FFixedCols && row >= FFixedRows) {
            FGridState = gsRowMoving;
            FStateIndex = row;
            SetCapture(Handle());
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y)
{
    switch (FGridState) {
    case gsSelecting: {
        int col = DragCell(true, x), row = DragCell(false, y);
        if (col != FCurrent.X || row != FCurrent.Y) MoveCurrent(col, row, false);
        break;
    }
    case gsColSizing:
        SetColWidths(FStateIndex, FStateSize + x - FStateStart);
        break;
    case gsRowSizing:
        SetRowHeights(FStateIndex, FStateSize + y - FStateStart);
        break;
    default:
        break;
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        TGridState state = FGridState;
        int from = FStateIndex;
        EndGridState();
        if (state == gsColMoving) {
            int to = DragCell(true, x);
            if (to != from) MoveColumn(from, to);
        } else if (state == gsRowMoving) {
            int to = DragCell(false, y);
            if (to != from) MoveRow(from, to);
        }
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomGrid::DblClick()
{
    TCustomControl::DblClick();
    if (!EditorMode() && CanEditShow()) ShowEditor();
}

void TCustomGrid::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = GetDialogCode(m.WParam);
        return;
    case WM_SIZE:
        TCustomControl::Dispatch(m);
        SetTopLeft(FTopLeft.X, FTopLeft.Y);
        UpdateScrollRange();
        UpdateEditor();
        Invalidate();
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Our own scroll bars; a child's come with its window in LParam.
        if (m.LParam == 0) {
            ScrollMessage(m.Msg == WM_VSCROLL, LOWORD(m.WParam));
            m.Result = 0;
            return;
        }
        break;
    case WM_MOUSEWHEEL: {
        UINT lines = 3;
        SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        if (lines == WHEEL_PAGESCROLL) lines = UINT(std::max(1, VisibleRowCount()));
        // Fine-grained wheels send parts of a notch: they add up.
        FWheelDelta += GET_WHEEL_DELTA_WPARAM(m.WParam);
        int notches = FWheelDelta / WHEEL_DELTA;
        FWheelDelta -= notches * WHEEL_DELTA;
        if (notches) SetTopRow(FTopLeft.Y - notches * int(lines));
        m.Result = 0;
        return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (IsEditorWindow(reinterpret_cast<HWND>(m.WParam)) || Destroying()) {
            // To or from our own editor: the focus never left the grid.
            DefaultHandler(m);
            Invalidate();
            return;
        }
        TCustomControl::Dispatch(m);
        Invalidate();
        if (m.Msg != WM_SETFOCUS) return;
        if (EditorMode())
            ::SetFocus(FInplaceEdit->Handle());
        else if (FOptions & goAlwaysShowEditor)
            ShowEditor();
        return;
    case WM_SETCURSOR:
        if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == Handle()) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(Handle(), &p);
            bool cols = false;
            int index = 0;
            bool sizing = FGridState == gsColSizing || FGridState == gsRowSizing;
            if (sizing) cols = FGridState == gsColSizing;
            if (sizing || SizingHit(p.x, p.y, cols, index)) {
                SetCursor(LoadCursor(nullptr, cols ? IDC_SIZEWE : IDC_SIZENS));
                m.Result = 1;
                return;
            }
        }
        break;
    case WM_CANCELMODE:
        EndGridState();
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(m.LParam) != Handle()) FGridState = gsNormal;
        break;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(m);
        UpdateEditor();
        return;
    }
    TCustomControl::Dispatch(m);
}

bool TCustomGrid::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames options = {
        "goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
        "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving",
        "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"};
    static const TEnumNames scrollBars = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
    static const TEnumNames borders = {"bsNone", "bsSingle"};
    if (name == "ColCount") SetColCount(reader.ReadInteger());
    else if (name == "RowCount") SetRowCount(reader.ReadInteger());
    else if (name == "FixedCols") SetFixedCols(reader.ReadInteger());
    else if (name == "FixedRows") SetFixedRows(reader.ReadInteger());
    else if (name == "DefaultColWidth") SetDefaultColWidth(reader.ReadInteger());
    else if (name == "DefaultRowHeight") SetDefaultRowHeight(reader.ReadInteger());
    else if (name == "GridLineWidth") SetGridLineWidth(reader.ReadInteger());
    else if (name == "FixedColor") SetFixedColor(ReadColor(reader));
    else if (name == "Options") SetOptions(reader.ReadSet(options));
    else if (name == "ScrollBars") SetScrollBars(TScrollStyle(reader.ReadEnum(scrollBars)));
    else if (name == "DefaultDrawing") SetDefaultDrawing(reader.ReadBool());
    else if (name == "BorderStyle") SetBorderStyle(TFormBorderStyle(reader.ReadEnum(borders)));
    else if (name == "ColWidths" || name == "RowHeights") {
        // A list of sizes from the first column (row); extra ones are ignored.
        bool cols = name == "ColWidths";
        const TValueNode& value = reader.Value();
        if (value.Kind != TValueKind::List) reader.Fail("a list of sizes expected");
        for (size_t i = 0; i < value.Items.size(); ++i) {
            if (value.Items[i].Kind != TValueKind::Integer) reader.Fail("a list of sizes expected");
            if (int(i) >= Count(cols)) continue;
            if (cols)
                SetColWidths(int(i), int(value.Items[i].Integer));
            else
                SetRowHeights(int(i), int(value.Items[i].Integer));
        }
    }
    else if (name == "OnDrawCell") OnDrawCell = reader.ReadEvent<TDrawCellEvent>();
    else if (name == "OnSelectCell") OnSelectCell = reader.ReadEvent<TSelectCellEvent>();
    else if (name == "OnTopLeftChanged") OnTopLeftChanged = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnGetEditText") OnGetEditText = reader.ReadEvent<TGetEditEvent>();
    else if (name == "OnSetEditText") OnSetEditText = reader.ReadEvent<TSetEditEvent>();
    else return TCustomControl::ReadProperty(name, reader);
    return true;
}

// --- TStringGridStrings ------------------------------------------------------------

TStringGridStrings::TStringGridStrings(TStringGrid* grid, bool column, int index)
    : FGrid(grid), FColumn(column), FIndex(index)
{
}

int TStringGridStrings::Count() const
{
    return FColumn ? FGrid->RowCount() : FGrid->ColCount();
}

std::string TStringGridStrings::Get(int index) const
{
    CheckIndex(index, Count());
    return FGrid->Cells(Col(index), Row(index));
}

void TStringGridStrings::Put(int index, const std::string& text)
{
    CheckIndex(index, Count());
    FGrid->SetCells(Col(index), Row(index), text);
}

TObject* TStringGridStrings::GetObject(int index) const
{
    CheckIndex(index, Count());
    return FGrid->Objects(Col(index), Row(index));
}

void TStringGridStrings::PutObject(int index, TObject* object)
{
    // AddObject names the place Add reported, one past the end: the cell
    // the last Add filled.
    if (index == Count()) {
        if (FLastAdded >= 0 && FLastAdded < Count()) FGrid->SetObjects(Col(FLastAdded), Row(FLastAdded), object);
        return;
    }
    CheckIndex(index, Count());
    FGrid->SetObjects(Col(index), Row(index), object);
}

void TStringGridStrings::Insert(int index, const std::string& text)
{
    int n = Count();
    if (index == n) {
        int pos = FFill;
        if (pos < 0) {
            pos = n;
            while (pos > 0 && FGrid->Cells(Col(pos - 1), Row(pos - 1)).empty()) --pos;
        }
        FLastAdded = -1;
        if (pos < n) {
            FGrid->SetCells(Col(pos), Row(pos), text);
            FGrid->SetObjects(Col(pos), Row(pos), nullptr);
            FLastAdded = pos;
        }
        FFill = pos + 1;
        return;
    }
    CheckIndex(index, n);
    for (int i = n - 1; i > index; --i) {
        FGrid->SetCells(Col(i), Row(i), Get(i - 1));
        FGrid->SetObjects(Col(i), Row(i), GetObject(i - 1));
    }
    FGrid->SetCells(Col(index), Row(index), text);
    FGrid->SetObjects(Col(index), Row(index), nullptr);
}

void TStringGridStrings::Delete(int index)
{
    int n = Count();
    CheckIndex(index, n);
    for (int i = index; i < n - 1; ++i) {
        FGrid->SetCells(Col(i), Row(i), Get(i + 1));
        FGrid->SetObjects(Col(i), Row(i), GetObject(i + 1));
    }
    FGrid->SetCells(Col(n - 1), Row(n - 1), std::string());
    FGrid->SetObjects(Col(n - 1), Row(n - 1), nullptr);
}

void TStringGridStrings::Clear()
{
    for (int i = 0; i < Count(); ++i) {
        FGrid->SetCells(Col(i), Row(i), std::string());
        FGrid->SetObjects(Col(i), Row(i), nullptr);
    }
    FFill = 0;
    FLastAdded = -1;
}

// --- TStringGrid -----------------------------------------------------------------

TStringGrid::TStringGrid(TComponent* owner) : TCustomGrid(owner)
{
    FCells.assign(size_t(RowCount()), std::vector<TCell>(size_t(ColCount())));
}

TStringGrid::~TStringGrid()
{
    BeginDestroy();
    for (auto& view : FCols) delete view.second;
    for (auto& view : FRows) delete view.second;
}

std::string TStringGrid::Cells(int col, int row) const
{
    return Inside(col, row) ? FCells[size_t(row)][size_t(col)].Text : std::string();
}

void TStringGrid::SetCells(int col, int row, const std::string& text)
{
    if (!Inside(col, row)) return;
    std::string& cell = FCells[size_t(row)][size_t(col)].Text;
    if (cell == text) return;
    cell = text;
    CellTextChanged(col, row);
}

TObject* TStringGrid::Objects(int col, int row) const
{
    return Inside(col, row) ? FCells[size_t(row)][size_t(col)].Object : nullptr;
}

void TStringGrid::SetObjects(int col, int row, TObject* object)
{
    if (Inside(col, row)) FCells[size_t(row)][size_t(col)].Object = object;
}

TStrings* TStringGrid::Cols(int index)
{
    if (index < 0 || index >= ColCount()) throw EInvalidOperation("Grid index out of range");
    TStringGridStrings*& view = FCols[index];
    if (!view) view = new TStringGridStrings(this, true, index);
    return view;
}

TStrings* TStringGrid::Rows(int index)
{
    if (index < 0 || index >= RowCount()) throw EInvalidOperation("Grid index out of range");
    TStringGridStrings*& view = FRows[index];
    if (!view) view = new TStringGridStrings(this, false, index);
    return view;
}

void TStringGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    (void)oldColCount;
    (void)oldRowCount;
    FCells.resize(size_t(RowCount()));
    for (auto& row : FCells) row.resize(size_t(ColCount()));
}

void TStringGrid::ColumnMoved(int fromIndex, int toIndex)
{
    for (auto& row : FCells) {
        TCell cell = row[size_t(fromIndex)];
        row.erase(row.begin() + fromIndex);
        row.insert(row.begin() + toIndex, cell);
    }
}

void TStringGrid::RowMoved(int fromIndex, int toIndex)
{
    std::vector<TCell> row = std::move(FCells[size_t(fromIndex)]);
    FCells.erase(FCells.begin() + fromIndex);
    FCells.insert(FCells.begin() + toIndex, std::move(row));
}

std::string TStringGrid::GetEditText(int col, int row)
{
    std::string text = Cells(col, row);
    if (OnGetEditText) OnGetEditText(this, col, row, text);
    return text;
}

void TStringGrid::SetEditText(int col, int row, const std::string& value)
{
    SetCells(col, row, value);
    TCustomGrid::SetEditText(col, row, value);
}

void TStringGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state)
{
    TCustomGrid::DrawCell(col, row, rect, state);
    if (!DefaultDrawing()) return;
    std::string text = Cells(col, row);
    if (text.empty()) return;
    RECT inset = {rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
    PrepareCanvasText();
    DrawTextA(Canvas()->Handle(), text.data(), int(text.size()), &inset,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// TCustomGrid, a grid of cells on our own window class that paints every
// cell itself, with fixed rows and columns, a current cell and a selected
// range, platform scroll bars that scroll by whole rows and columns, and an
// in-place EDIT over the current cell; TStringGrid, the grid that holds a
// text and an object per cell.
#pragma once

#include "Form.h"
#include "Strings.h"
#include "WinControl.h"

#include <map>
#include <string>
#include <vector>

// Bit i is the i-th name of the Options set in form resources.
enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0, goFixedHorzLine = 1u << 1, goVertLine = 1u << 2, goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4, goDrawFocusSelected = 1u << 5, goRowSizing = 1u << 6, goColSizing = 1u << 7,
    goRowMoving = 1u << 8, goColMoving = 1u << 9, goEditing = 1u << 10, goTabs = 1u << 11,
    goRowSelect = 1u << 12, goAlwaysShowEditor = 1u << 13, goThumbTracking = 1u << 14,
};
using TGridOptions = unsigned;

enum TGridDrawStateFlag : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = unsigned;

struct TGridCoord {
    int X = 0, Y = 0;
    bool operator==(const TGridCoord& o) const { return X == o.X && Y == o.Y; }
    bool operator!=(const TGridCoord& o) const { return !(*this == o); }
};

// A range of cells, both corners included.
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
    bool operator==(const TGridRect& o) const
    {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
    bool operator!=(const TGridRect& o) const { return !(*this == o); }
};

using TDrawCellEvent = TEvent<void(TObject*, int, int, const RECT&, TGridDrawState)>;
using TSelectCellEvent = TEvent<void(TObject*, int, int, bool&)>;
using TGetEditEvent = TEvent<void(TObject*, int, int, std::string&)>;
using TSetEditEvent = TEvent<void(TObject*, int, int, const std::string&)>;

class TCustomGrid;

// The EDIT a grid shows over its current cell. Its keys and focus belong to
// the grid: key events are raised as the grid's, the keys that move
// between cells go to the grid, and focus moving between the grid and its
// editor is neither an exit nor an enter.
class TInplaceEdit : public TWinControl {
    GANTREL_CLASS(TInplaceEdit)

    explicit TInplaceEdit(TCustomGrid* grid);
    TCustomGrid* Grid() const { return FGrid; }

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool DoKeyDown(WORD& key, TShiftState shift) override;
    bool DoKeyUp(WORD& key, TShiftState shift) override;
    bool DoKeyPress(char& key) override;

private:
    friend class TCustomGrid;
    TCustomGrid* FGrid;
    int FTopMargin = 0;
    // Room above the text, so that it sits where the grid draws cell texts.
    void SetTopMargin(int margin);
    bool CaretAt(bool end);
    void PaintMargin();
};

// Lines between fixed cells are black, the others silver; a gap whose line
// is switched off shows FixedColor next to fixed cells and Color elsewhere.
// The editor writes its text to the cell as it is typed (SetEditText), so
// key-up handlers already see it; it stays open when goEditing is switched
// off and closes when the current cell moves (Escape puts the old text back).
class TCustomGrid : public TCustomControl {
    GANTREL_CLASS(TCustomGrid)

    explicit TCustomGrid(TComponent* owner);
    ~TCustomGrid() override;

    int ColCount() const { return FColCount; }
    void SetColCount(int count) { SetCount(true, count); }
    int RowCount() const { return FRowCount; }
    void SetRowCount(int count) { SetCount(false, count); }
    int FixedCols() const { return FFixedCols; }
    // Below ColCount; the current cell starts over at the first body cell.
    void SetFixedCols(int count);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int count);
    int DefaultColWidth() const { return FDefaultColWidth; }
    // Every column takes the new width.
    void SetDefaultColWidth(int width) { SetDefaultSize(true, width); }
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int height) { SetDefaultSize(false, height); }
    int ColWidths(int col) const { return CheckedSize(true, col); }
    void SetColWidths(int col, int width) { SetSize(true, col, width); }
    int RowHeights(int row) const { return CheckedSize(false, row); }
    void SetRowHeights(int row, int height) { SetSize(false, row, height); }
    // Lines are drawn in gaps of this width between the cells.
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int width);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor color);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions options);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle scrollBars);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool value);
    // bsNone or bsSingle (a sunken client edge).
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);

    // The current cell; moving it asks OnSelectCell first.
    int Col() const { return FCurrent.X; }
    void SetCol(int col);
    int Row() const { return FCurrent.Y; }
    void SetRow(int row);
    // The selected range; it always holds the current cell.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& selection);
    // The first scrollable row and column shown.
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int row);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int col);
    // Scrollable columns and rows wholly inside the client area.
    int VisibleColCount();
    int VisibleRowCount();

    // The cell under a client point; false (and -1, -1) off the cells. A
    // grid line belongs to the cell before it.
    bool MouseToCell(int x, int y, int& col, int& row);
    TGridCoord MouseCoord(int x, int y);
    // The cell's rectangle in the client area, without its lines; empty
    // when the cell is scrolled out of view.
    RECT CellRect(int col, int row);
    void InvalidateCell(int col, int row);
    void InvalidateGrid() { Invalidate(); }

    // The in-place editor over the current cell.
    bool EditorMode() const;
    void SetEditorMode(bool value);
    void ShowEditor();
    void HideEditor();
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

    // Moves a column or row (its size and, in a string grid, its cells).
    void MoveColumn(int fromIndex, int toIndex) { MoveLine(true, fromIndex, toIndex); }
    void MoveRow(int fromIndex, int toIndex) { MoveLine(false, fromIndex, toIndex); }

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;

    void Dispatch(TMessage& message) override;
    void Loaded() override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Paint() override;
    // Paints one cell; the canvas brush and font are already set for its
    // state. Fills the rectangle, or raises OnDrawCell when DefaultDrawing is off.
    virtual void DrawCell(int col, int row, const RECT& rect, TGridDrawState state);
    virtual bool SelectCell(int col, int row);
    virtual void TopLeftChanged();
    virtual std::string GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const std::string& value);
    // The counts changed (the cells of the old counts are still in place).
    virtual void SizeChanged(int oldColCount, int oldRowCount);
    virtual void ColumnMoved(int fromIndex, int toIndex);
    virtual void RowMoved(int fromIndex, int toIndex);
    // Navigation keys and typing that opens the editor; true when used.
    virtual bool KeyDown(WORD& key, TShiftState shift);
    virtual bool KeyPress(char& key);
    bool DoKeyDown(WORD& key, TShiftState shift) override;
    bool DoKeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    // A cell's text changed other than through the editor: the editor follows.
    void CellTextChanged(int col, int row);
    // Selects the canvas font (with its colour) and brush into the context,
    // for drawing with the platform's text functions.
    void PrepareCanvasText();

private:
    friend class TInplaceEdit;

    enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
    struct TSpan {
        int Index, Start, End;  // End exclusive, before the line
    };

    int FColCount = 5, FRowCount = 5;
    int FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24;
    std::vector<int> FColWidths, FRowHeights;
    int FGridLineWidth = 1;
    TColor FFixedColor = clBtnFace;
    TGridOptions FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle FScrollBars = ssBoth;
    bool FDefaultDrawing = true;
    TFormBorderStyle FBorderStyle = bsSingle;
    TGridCoord FCurrent{1, 1}, FAnchor{1, 1}, FTopLeft{1, 1};

    TInplaceEdit* FInplaceEdit = nullptr;
    TGridCoord FEditCell{-1, -1};
    std::string FEditOriginal;
    bool FSettingEditorText = false;
    bool FEditorWriting = false;

    TGridState FGridState = gsNormal;
    int FStateIndex = 0, FStateStart = 0, FStateSize = 0;
    bool FUpdatingScrollBars = false;
    int FWheelDelta = 0;

    // Layout along one axis: columns (true) or rows (false).
    int Count(bool cols) const { return cols ? FColCount : FRowCount; }
    int Fixed(bool cols) const { return cols ? FFixedCols : FFixedRows; }
    int First(bool cols) const { return cols ? FTopLeft.X : FTopLeft.Y; }
    int Size(bool cols, int index) const { return cols ? FColWidths[size_t(index)] : FRowHeights[size_t(index)]; }
    int Extent(bool cols);
    int FixedExtent(bool cols) const;
    std::vector<TSpan> VisibleSpans(bool cols);
    bool CellSpan(bool cols, int index, TSpan& span);
    int LastFullyVisible(bool cols, int first);
    int MaxFirst(bool cols);
    int HitIndex(bool cols, int pos);

    void CheckIndex(bool cols, int index) const;
    // The property setters and getters of both axes.
    void SetCount(bool cols, int count);
    void SetDefaultSize(bool cols, int size);
    int CheckedSize(bool cols, int index) const;
    void SetSize(bool cols, int index, int size);
    void MoveLine(bool cols, int fromIndex, int toIndex);
    void SetTopLeft(int left, int top);
    void ClampPositions();
    void ResetPositions();
    void ScrollInView(int col, int row);
    bool MoveCurrent(int col, int row, bool moveAnchor);
    int FirstToShow(bool cols, int index);
    void SelectionChanged(const TGridRect& old);
    void UpdateScrollRange();
    void ScrollMessage(bool vertical, WORD code);
    void GridChanged();
    TGridDrawState CellState(int col, int row, const TGridRect& selection, bool focused) const;
    bool HasFocusWithin();
    UINT GetDialogCode(WPARAM key);
    bool SizingHit(int x, int y, bool& cols, int& index);
    int DragCell(bool cols, int pos);
    void EndGridState();

    // The editor.
    bool CanEditShow() const;
    bool IsEditorWindow(HWND window) const;
    void ShowEditorText(const std::string& text, bool write);
    // The editor's text, caret at its end, not taken for typing.
    void SetEditorText(const std::string& text);
    void CloseEditor(bool restore);
    void WriteEditText(const std::string& text);
    void UpdateEditor();
    void PlaceEditor(const RECT& cell);
    void EditorTextChanged();
    void EditorFocusLeft(HWND to);
    void EditorFocusCame(HWND from);
    bool EditorKeyDown(WORD& key, TShiftState shift);
    bool EditorKeyUp(WORD& key, TShiftState shift);
    bool EditorKeyPress(char& key);
    int EditorTopMargin(int cellHeight);
};

class TStringGrid;

// One column or row of a string grid as a list: as long as the grid is
// high or wide; Add fills the next cell after the last one added (after a
// Clear, from the first) and drops what does not fit.
class TStringGridStrings : public TStrings {
    GANTREL_CLASS(TStringGridStrings)

    TStringGridStrings(TStringGrid* grid, bool column, int index);

    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;

private:
    TStringGrid* FGrid;
    bool FColumn;
    int FIndex;
    int FFill = -1;  // next cell Add writes; -1: after the last non-empty one
    int FLastAdded = -1;
    int Col(int i) const { return FColumn ? FIndex : i; }
    int Row(int i) const { return FColumn ? i : FIndex; }
};

class TStringGrid : public TCustomGrid {
    GANTREL_CLASS(TStringGrid)

    explicit TStringGrid(TComponent* owner);
    ~TStringGrid() override;

    // Cells outside the counts read as empty; writing there does nothing.
    std::string Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& text);
    TObject* Objects(int col, int row) const;
    void SetObjects(int col, int row, TObject* object);
    // Views of one column or row; they belong to the grid.
    TStrings* Cols(int index);
    TStrings* Rows(int index);

protected:
    void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;

private:
    struct TCell {
        std::string Text;
        TObject* Object = nullptr;
    };
    std::vector<std::vector<TCell>> FCells;  // [row][col]
    std::map<int, TStringGridStrings*> FCols, FRows;
    bool Inside(int col, int row) const { return col >= 0 && row >= 0 && col < ColCount() && row < RowCount(); }
};

// The string grid: layout of cells and lines, the current cell and the
// selection from keys and the mouse, scrolling by rows, the pixels of the
// grid's own fills and lines (never glyphs), the in-place editor with its
// keys and focus, the cell store with its column and row views, and what
// form resources set.
#include "Application.h"
#include "Grid.h"
#include "Reader.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Records every DrawCell with the canvas brush and font it was given.
class TRecordingGrid : public TStringGrid {
public:
    using TStringGrid::TStringGrid;
    struct Call {
        int Col, Row;
        RECT Rect;
        TGridDrawState State;
        TColor Brush, FontColor;
    };
    std::vector<Call> Calls;
    const Call* Find(int col, int row) const
    {
        for (const Call& c : Calls)
            if (c.Col == col && c.Row == row) return &c;
        return nullptr;
    }

protected:
    void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override
    {
        Calls.push_back({col, row, rect, state, Canvas()->Brush()->Color(), Canvas()->Font()->Color()});
        TStringGrid::DrawCell(col, row, rect, state);
    }
};

class TGridForm : public TForm {
    GANTREL_CLASS(TGridForm)

    explicit TGridForm(TComponent* owner) : TForm(owner, 0) {}

    TStringGrid* Grid1 = nullptr;
    std::vector<std::string> Log;
    WORD ConsumeKey = 0;
    bool Refuse = false;

    void GridDrawCell(TObject*, int col, int row, const RECT& rect, TGridDrawState state)
    {
        Log.push_back("draw " + std::to_string(col) + "," + std::to_string(row) + " " +
                      std::to_string(rect.right - rect.left) + " " + std::to_string(state));
    }
    void GridSelectCell(TObject*, int col, int row, bool& canSelect)
    {
        Log.push_back("select " + std::to_string(col) + "," + std::to_string(row));
        canSelect = !Refuse;
    }
    void GridTopLeftChanged(TObject*) { Log.push_back("topleft"); }
    void GridGetEditText(TObject*, int col, int row, std::string& text)
    {
        Log.push_back("get " + std::to_string(col) + "," + std::to_string(row));
        (void)text;
    }
    void GridSetEditText(TObject*, int col, int row, const std::string& text)
    {
        Log.push_back("set " + std::to_string(col) + "," + std::to_string(row) + " " + text);
    }
    void GridKeyDown(TObject* sender, WORD& key, TShiftState)
    {
        Log.push_back(std::string("down ") + (sender == Grid1 ? "grid " : "other ") + std::to_string(key));
        if (key == ConsumeKey) key = 0;
    }
    void GridKeyUp(TObject* sender, WORD& key, TShiftState)
    {
        Log.push_back(std::string("up ") + (sender == Grid1 ? "grid " : "other ") + std::to_string(key));
    }
    void GridKeyPress(TObject* sender, char& key)
    {
        Log.push_back(std::string("press ") + (sender == Grid1 ? "grid " : "other ") + key);
    }
    void GridClick(TObject*) { Log.push_back("click"); }
    void GridEnter(TObject*) { Log.push_back("enter"); }
    void GridExit(TObject*) { Log.push_back("exit"); }

    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TGridForm, Grid1)},
            {GANTREL_HANDLER(TGridForm, GridDrawCell), GANTREL_HANDLER(TGridForm, GridSelectCell),
             GANTREL_HANDLER(TGridForm, GridTopLeftChanged), GANTREL_HANDLER(TGridForm, GridGetEditText),
             GANTREL_HANDLER(TGridForm, GridSetEditText), GANTREL_HANDLER(TGridForm, GridKeyDown),
             GANTREL_HANDLER(TGridForm, GridKeyUp), GANTREL_HANDLER(TGridForm, GridClick)},
        };
        return &table;
    }
};

void SetKeyDown(int vk, bool down)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[vk] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

// Holds Shift or Ctrl down for the keyboard state the grid reads.
struct HeldKey {
    int Vk;
    explicit HeldKey(int vk) : Vk(vk) { SetKeyDown(vk, true); }
    ~HeldKey() { SetKeyDown(Vk, false); }
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TGridForm(nullptr);
        Form->SetBounds(0, 0, 640, 480);
        Grid = new TRecordingGrid(Form);
        Grid->SetParent(Form);
        Form->Grid1 = Grid;
        // Known client size: no frame, no scroll bars unless a test asks.
        Grid->SetBorderStyle(bsNone);
        Grid->SetScrollBars(ssNone);
        Grid->SetBounds(0, 0, 400, 200);
    }
    void TearDown() override
    {
        // The handlers write into the form: none may run while it goes.
        Grid->OnEnter = Grid->OnExit = Grid->OnClick = Grid->OnTopLeftChanged = nullptr;
        Grid->OnKeyDown = Grid->OnKeyUp = nullptr;
        Grid->OnKeyPress = nullptr;
        Grid->OnSelectCell = nullptr;
        Grid->OnDrawCell = nullptr;
        Grid->OnGetEditText = nullptr;
        Grid->OnSetEditText = nullptr;
        Form->Free();
    }

    // Shows the form and gives the grid the focus, as a user would.
    void FocusGrid()
    {
        Form->Show();
        // The display server's activation arrives in its own time.
        for (int i = 0; i < 50 && GetFocus() != Grid->Handle(); ++i) {
            SetForegroundWindow(Form->Handle());
            Grid->SetFocus();
            Application->ProcessMessages();
            if (GetFocus() != Grid->Handle()) Sleep(20);
        }
        ASSERT_EQ(Grid->Handle(), GetFocus());
    }

    // One key as the message loop delivers it: down and the character to the
    // window that has the focus, up to the one that has it afterwards.
    void Type(WORD vk, char ch = 0)
    {
        HWND target = GetFocus();
        SendMessageA(target, WM_KEYDOWN, vk, 1);
        if (ch) SendMessageA(target, WM_CHAR, WPARAM(static_cast<unsigned char>(ch)), 1);
        SendMessageA(GetFocus(), WM_KEYUP, vk, LPARAM(0xC0000001u));
    }
    void Key(WORD vk) { SendMessageA(Grid->Handle(), WM_KEYDOWN, vk, 1); }

    POINT Center(int col, int row)
    {
        RECT r = Grid->CellRect(col, row);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Mouse(UINT msg, POINT p, WPARAM keys = 0)
    {
        SendMessageA(Grid->Handle(), msg, keys, MAKELPARAM(p.x, p.y));
    }
    void Click(int col, int row, WPARAM keys = 0)
    {
        POINT p = Center(col, row);
        Mouse(WM_LBUTTONDOWN, p, keys | MK_LBUTTON);
        Mouse(WM_LBUTTONUP, p, keys);
    }

    // The grid painted into a bitmap of its size.
    COLORREF PixelAt(TBitmap& bitmap, int x, int y) { return bitmap.Canvas()->Pixel(x, y); }
    void Paint(TBitmap& bitmap)
    {
        bitmap.SetSize(Grid->Width(), Grid->Height());
        Grid->Calls.clear();
        Grid->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    }

    static bool SameRect(const RECT& a, const RECT& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }

    TGridForm* Form = nullptr;
    TRecordingGrid* Grid = nullptr;
};

TEST_F(GridTest, StartsWithTheDocumentedDefaults)
{
    TStringGrid* g = new TStringGrid(nullptr);
    EXPECT_EQ(5, g->ColCount());
    EXPECT_EQ(5, g->RowCount());
    EXPECT_EQ(1, g->FixedCols());
    EXPECT_EQ(1, g->FixedRows());
    EXPECT_EQ(64, g->DefaultColWidth());
    EXPECT_EQ(24, g->DefaultRowHeight());
    EXPECT_EQ(64, g->ColWidths(4));
    EXPECT_EQ(24, g->RowHeights(4));
    EXPECT_EQ(1, g->GridLineWidth());
    EXPECT_EQ(clBtnFace, g->FixedColor());
    EXPECT_EQ(clWindow, g->Color());
    EXPECT_EQ(TGridOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect), g->Options());
    EXPECT_EQ(ssBoth, g->ScrollBars());
    EXPECT_TRUE(g->DefaultDrawing());
    EXPECT_EQ(bsSingle, g->BorderStyle());
    EXPECT_TRUE(g->TabStop());
    EXPECT_EQ(1, g->Col());
    EXPECT_EQ(1, g->Row());
    EXPECT_EQ((TGridRect{1, 1, 1, 1}), g->Selection());
    EXPECT_EQ(1, g->TopRow());
    EXPECT_EQ(1, g->LeftCol());
    EXPECT_FALSE(g->EditorMode());
    g->Free();
}

TEST_F(GridTest, CellsLieSideBySideWithTheLinesInTheGaps)
{
    Grid->SetColWidths(1, 30);
    Grid->SetRowHeights(2, 40);
    Grid->SetGridLineWidth(2);
    EXPECT_TRUE(SameRect(RECT{0, 0, 64, 24}, Grid->CellRect(0, 0)));
    EXPECT_TRUE(SameRect(RECT{66, 26, 96, 50}, Grid->CellRect(1, 1)));
    EXPECT_TRUE(SameRect(RECT{98, 52, 162, 92}, Grid->CellRect(2, 2)));
    EXPECT_TRUE(SameRect(RECT{98, 94, 162, 118}, Grid->CellRect(2, 3)));

    int col = 0, row = 0;
    ASSERT_TRUE(Grid->MouseToCell(70, 30, col, row));
    EXPECT_EQ(1, col);
    EXPECT_EQ(1, row);
    // A line belongs to the cell before it.
    ASSERT_TRUE(Grid->MouseToCell(97, 51, col, row));
    EXPECT_EQ(1, col);
    EXPECT_EQ(1, row);
    ASSERT_TRUE(Grid->MouseToCell(98, 52, col, row));
    EXPECT_EQ(2, col);
    EXPECT_EQ(2, row);
    // Past the last column.
    EXPECT_FALSE(Grid->MouseToCell(390, 10, col, row));
    EXPECT_EQ(-1, col);
    EXPECT_EQ(-1, row);
    EXPECT_EQ(4, Grid->MouseCoord(250, 10).X);
}

TEST_F(GridTest, DefaultSizesResetEveryColumnAndRow)
{
    Grid->SetColWidths(2, 10);
    Grid->SetRowHeights(3, 50);
    Grid->SetDefaultColWidth(40);
    Grid->SetDefaultRowHeight(20);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(40, Grid->ColWidths(i));
        EXPECT_EQ(20, Grid->RowHeights(i));
    }
    // New columns take the default too.
    Grid->SetColCount(7);
    EXPECT_EQ(40, Grid->ColWidths(6));
    EXPECT_THROW(Grid->ColWidths(7), EInvalidOperation);
    EXPECT_THROW(Grid->SetRowHeights(-1, 3), EInvalidOperation);
}

TEST_F(GridTest, FixedCountsStayBelowTheCounts)
{
    EXPECT_THROW(Grid->SetFixedCols(5), EInvalidOperation);
    EXPECT_THROW(Grid->SetFixedRows(-1), EInvalidOperation);
    Grid->SetFixedCols(3);
    Grid->SetColCount(2);
    EXPECT_EQ(1, Grid->FixedCols());
    Grid->SetColCount(0);
    EXPECT_EQ(1, Grid->ColCount());
    EXPECT_EQ(0, Grid->FixedCols());
    EXPECT_EQ(0, Grid->Col());
}

TEST_F(GridTest, TheCurrentCellStaysInsideTheBody)
{
    Grid->SetCol(4);
    Grid->SetRow(3);
    EXPECT_EQ(4, Grid->Col());
    EXPECT_EQ(3, Grid->Row());
    EXPECT_THROW(Grid->SetCol(0), EInvalidOperation);
    EXPECT_THROW(Grid->SetRow(5), EInvalidOperation);
    Grid->SetColCount(3);
    Grid->SetRowCount(2);
    EXPECT_EQ(2, Grid->Col());
    EXPECT_EQ(1, Grid->Row());
    Grid->SetFixedCols(2);
    EXPECT_EQ((TGridRect{2, 1, 2, 1}), Grid->Selection());
}

TEST_F(GridTest, SelectCellIsAskedFirstAndMayRefuse)
{
    Grid->OnSelectCell = MakeEvent<&TGridForm::GridSelectCell>(Form);
    Grid->SetCol(3);
    EXPECT_EQ(std::vector<std::string>({"select 3,1"}), Form->Log);
    Form->Refuse = true;
    Grid->SetRow(4);
    Key(VK_DOWN);
    EXPECT_EQ(3, Grid->Col());
    EXPECT_EQ(1, Grid->Row());
    EXPECT_EQ(std::vector<std::string>({"select 3,1", "select 3,4", "select 3,2"}), Form->Log);
}

TEST_F(GridTest, ArrowsHomeEndAndTabsMoveTheCurrentCell)
{
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(3, Grid->Col());
    EXPECT_EQ(2, Grid->Row());
    Key(VK_UP);
    Key(VK_UP);  // stops at the first body row
    EXPECT_EQ(1, Grid->Row());
    Key(VK_END);
    EXPECT_EQ(4, Grid->Col());
    EXPECT_EQ(1, Grid->Row());
    Key(VK_HOME);
    EXPECT_EQ(1, Grid->Col());
    {
        HeldKey ctrl(VK_CONTROL);
        Key(VK_END);
        EXPECT_EQ(4, Grid->Col());
        EXPECT_EQ(4, Grid->Row());
        Key(VK_HOME);
        EXPECT_EQ(1, Grid->Col());
        EXPECT_EQ(1, Grid->Row());
    }
    // Tab moves only with goTabs, and wraps to the next row.
    Key(VK_TAB);
    EXPECT_EQ(1, Grid->Col());
    Grid->SetOptions(Grid->Options() | goTabs);
    Grid->SetCol(4);
    Key(VK_TAB);
    EXPECT_EQ(1, Grid->Col());
    EXPECT_EQ(2, Grid->Row());
    {
        HeldKey shift(VK_SHIFT);
        Key(VK_TAB);
    }
    EXPECT_EQ(4, Grid->Col());
    EXPECT_EQ(1, Grid->Row());
    EXPECT_EQ((TGridRect{4, 1, 4, 1}), Grid->Selection());
}

TEST_F(GridTest, ShiftExtendsTheSelectionOnlyWithRangeSelect)
{
    {
        HeldKey shift(VK_SHIFT);
        Key(VK_RIGHT);
        Key(VK_DOWN);
        Key(VK_DOWN);
    }
    EXPECT_EQ((TGridRect{1, 1, 2, 3}), Grid->Selection());
    EXPECT_EQ(2, Grid->Col());
    EXPECT_EQ(3, Grid->Row());
    Key(VK_LEFT);
    EXPECT_EQ((TGridRect{1, 3, 1, 3}), Grid->Selection());

    Grid->SetOptions(Grid->Options() & ~goRangeSelect);
    HeldKey shift(VK_SHIFT);
    Key(VK_RIGHT);
    EXPECT_EQ((TGridRect{2, 3, 2, 3}), Grid->Selection());
}

TEST_F(GridTest, SelectionSetterKeepsACornerCurrentCell)
{
    Grid->SetSelection(TGridRect{3, 4, 1, 1});
    EXPECT_EQ((TGridRect{1, 1, 3, 4}), Grid->Selection());
    EXPECT_EQ(1, Grid->Col());
    EXPECT_EQ(1, Grid->Row());
    // The current cell outside: it goes to the bottom right.
    Grid->SetSelection(TGridRect{2, 2, 3, 3});
    EXPECT_EQ(3, Grid->Col());
    EXPECT_EQ(3, Grid->Row());
    EXPECT_EQ((TGridRect{2, 2, 3, 3}), Grid->Selection());
    // Fixed cells and cells past the end cannot be selected.
    Grid->SetSelection(TGridRect{0, 0, 9, 9});
    EXPECT_EQ((TGridRect{1, 1, 4, 4}), Grid->Selection());
    // Whole rows with goRowSelect.
    Grid->SetOptions(Grid->Options() | goRowSelect);
    Grid->SetRow(2);
    EXPECT_EQ((TGridRect{1, 2, 4, 2}), Grid->Selection());
}

TEST_F(GridTest, TheMouseSelectsCellsAndRanges)
{
    Grid->OnClick = MakeEvent<&TGridForm::GridClick>(Form);
    Click(3, 2);
    EXPECT_EQ(3, Grid->Col());
    EXPECT_EQ(2, Grid->Row());
    EXPECT_EQ(std::vector<std::string>({"click"}), Form->Log);
    // Off the cells: nothing moves, no click.
    Mouse(WM_LBUTTONDOWN, POINT{390, 190}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, POINT{390, 190});
    EXPECT_EQ(1u, Form->Log.size());
    // A fixed cell is not current.
    Click(0, 3);
    EXPECT_EQ(3, Grid->Col());
    EXPECT_EQ(2, Grid->Row());
    // Shift+click and dragging extend.
    Click(1, 1, MK_SHIFT);
    EXPECT_EQ((TGridRect{1, 1, 3, 2}), Grid->Selection());
    Mouse(WM_LBUTTONDOWN, Center(2, 2), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, Center(4, 4), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, Center(4, 4));
    EXPECT_EQ((TGridRect{2, 2, 4, 4}), Grid->Selection());
    EXPECT_EQ(4, Grid->Col());
    EXPECT_EQ(4, Grid->Row());
    // Without goRangeSelect a drag only moves the current cell.
    Grid->SetOptions(Grid->Options() & ~goRangeSelect);
    Mouse(WM_LBUTTONDOWN, Center(1, 1), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, Center(3, 3), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, Center(3, 3));
    EXPECT_EQ((TGridRect{1, 1, 1, 1}), Grid->Selection());
}

TEST_F(GridTest, ColumnsAndRowsAreSizedAndMovedFromTheFixedCells)
{
    Grid->SetCells(1, 1, "a");
    Grid->SetCells(2, 1, "b");
    Grid->SetCells(3, 1, "c");
    Grid->SetOptions(Grid->Options() | goColSizing | goColMoving | goRowSizing);
    // The line right of column 1 lies at x = 129.
    Mouse(WM_LBUTTONDOWN, POINT{129, 10}, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, POINT{149, 10}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, POINT{149, 10});
    EXPECT_EQ(84, Grid->ColWidths(1));
    Mouse(WM_LBUTTONDOWN, POINT{10, 49}, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, POINT{10, 39}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, POINT{10, 39});
    EXPECT_EQ(14, Grid->RowHeights(1));
    // Column 1 dragged by its title onto column 3.
    Mouse(WM_LBUTTONDOWN, Center(1, 0), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, Center(3, 0));
    EXPECT_EQ("b", Grid->Cells(1, 1));
    EXPECT_EQ("c", Grid->Cells(2, 1));
    EXPECT_EQ("a", Grid->Cells(3, 1));
    EXPECT_EQ(84, Grid->ColWidths(3));
    EXPECT_EQ(3, Grid->Col());  // the current cell went with its column
}

class ScrollingGridTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Grid->SetRowCount(20);
        Grid->SetColCount(12);
        Grid->SetScrollBars(ssBoth);
        Grid->HandleNeeded();
        Grid->OnTopLeftChanged = MakeEvent<&TGridForm::GridTopLeftChanged>(Form);
    }
    RECT Client()
    {
        RECT r;
        GetClientRect(Grid->Handle(), &r);
        return r;
    }
};

TEST_F(ScrollingGridTest, ScrollBarsAppearWhenTheCellsDoNotFit)
{
    LONG_PTR style = GetWindowLongPtrA(Grid->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_HSCROLL);
    SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Grid->Handle(), SB_VERT, &si);
    EXPECT_EQ(1, si.nMin);
    EXPECT_EQ(19, si.nMax);
    EXPECT_EQ(1, si.nPos);
    // The page is what fits below the fixed row.
    int room = Client().bottom - 25;
    EXPECT_EQ(UINT((room + 1) / 25), si.nPage);
    EXPECT_EQ(int(si.nPage), Grid->VisibleRowCount());

    // Everything fits: the bars go.
    Grid->SetRowCount(3);
    Grid->SetColCount(3);
    style = GetWindowLongPtrA(Grid->Handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
    // ssNone never shows them.
    Grid->SetRowCount(40);
    Grid->SetScrollBars(ssNone);
    EXPECT_FALSE(GetWindowLongPtrA(Grid->Handle(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ScrollingGridTest, ScrollMessagesMoveTheTopRowByWholeRows)
{
    int page = Grid->VisibleRowCount();
    ASSERT_GT(page, 2);
    SendMessageA(Grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(2, Grid->TopRow());
    SendMessageA(Grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(2 + page, Grid->TopRow());
    SendMessageA(Grid->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    int maxTop = 20 - page;
    EXPECT_EQ(maxTop, Grid->TopRow());
    SendMessageA(Grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(maxTop, Grid->TopRow());
    SCROLLINFO si = {sizeof si, SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(Grid->Handle(), SB_VERT, &si);
    EXPECT_EQ(maxTop, si.nPos);
    SendMessageA(Grid->Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(1, Grid->TopRow());
    SendMessageA(Grid->Handle(), WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(2, Grid->LeftCol());
    EXPECT_EQ(5u, Form->Log.size());
    EXPECT_EQ("topleft", Form->Log.back());
    // A row above the top is scrolled out: it has no rectangle.
    RECT hidden = Grid->CellRect(1, 1), fixed = Grid->CellRect(0, 0);
    EXPECT_TRUE(IsRectEmpty(&hidden));
    EXPECT_FALSE(IsRectEmpty(&fixed));
    // The top row is never past the last full page.
    Grid->SetTopRow(100);
    EXPECT_EQ(maxTop, Grid->TopRow());
}

TEST_F(ScrollingGridTest, TheWheelScrollsBySystemLines)
{
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_NE(UINT(WHEEL_PAGESCROLL), lines);
    SendMessageA(Grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
    EXPECT_EQ(1 + int(lines), Grid->TopRow());
    // Half notches add up.
    SendMessageA(Grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    EXPECT_EQ(1 + int(lines), Grid->TopRow());
    SendMessageA(Grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    EXPECT_EQ(1, Grid->TopRow());
}

TEST_F(ScrollingGridTest, TheCurrentCellIsScrolledIntoView)
{
    int page = Grid->VisibleRowCount();
    for (int i = 0; i < page; ++i) Key(VK_DOWN);
    EXPECT_EQ(1 + page, Grid->Row());
    EXPECT_EQ(2, Grid->TopRow());
    {
        HeldKey ctrl(VK_CONTROL);
        Key(VK_END);
    }
    EXPECT_EQ(19, Grid->Row());
    EXPECT_EQ(11, Grid->Col());
    EXPECT_EQ(20 - page, Grid->TopRow());
    RECT last = Grid->CellRect(11, 19);
    EXPECT_LE(last.right, Client().right);
    EXPECT_LE(last.bottom, Client().bottom);
    Key(VK_HOME);
    EXPECT_EQ(1, Grid->LeftCol());
}

TEST_F(ScrollingGridTest, PageKeysMoveByAPageUnlessTheKeyEventTakesThem)
{
    int page = Grid->VisibleRowCount();
    Key(VK_NEXT);
    EXPECT_EQ(1 + page, Grid->Row());
    Key(VK_PRIOR);
    EXPECT_EQ(1, Grid->Row());
    // OnKeyDown runs first and may use the key up.
    Grid->OnKeyDown = MakeEvent<&TGridForm::GridKeyDown>(Form);
    Form->ConsumeKey = VK_NEXT;
    Key(VK_NEXT);
    EXPECT_EQ(1, Grid->Row());
    EXPECT_EQ(1, Grid->TopRow());
    Key(VK_DOWN);
    EXPECT_EQ(2, Grid->Row());
}

TEST_F(GridTest, PaintsFixedBodySelectedCellsAndTheLinesInTheGaps)
{
    Grid->SetFixedColor(clGray);
    Grid->SetColor(clWhite);
    Grid->SetSelection(TGridRect{2, 2, 3, 3});
    TBitmap bitmap;
    Paint(bitmap);
    EXPECT_EQ(ColorToRGB(clGray), PixelAt(bitmap, 30, 12));             // fixed cell (0, 0)
    EXPECT_EQ(ColorToRGB(clGray), PixelAt(bitmap, 30, 62));             // fixed cell (0, 2)
    EXPECT_EQ(ColorToRGB(clWhite), PixelAt(bitmap, 65 + 40, 25 + 20));  // body cell (1, 1)
    EXPECT_EQ(ColorToRGB(clHighlight), PixelAt(bitmap, 130 + 40, 50 + 20));  // selected (2, 2)
    // Unfocused, the current cell (3, 3) is drawn as selected too.
    EXPECT_EQ(ColorToRGB(clHighlight), PixelAt(bitmap, 195 + 40, 75 + 20));
    EXPECT_EQ(ColorToRGB(clSilver), PixelAt(bitmap, 194, 60));  // body line right of (2, 2)
    EXPECT_EQ(ColorToRGB(clSilver), PixelAt(bitmap, 150, 74));  // body line below (2, 2)
    EXPECT_EQ(ColorToRGB(clBlack), PixelAt(bitmap, 64, 60));    // line right of the fixed column
    EXPECT_EQ(ColorToRGB(clBlack), PixelAt(bitmap, 150, 24));   // line below the fixed row
    EXPECT_EQ(ColorToRGB(clWhite), PixelAt(bitmap, 360, 20));   // right of the last column
    EXPECT_EQ(ColorToRGB(clWhite), PixelAt(bitmap, 100, 150));  // below the last row

    // Without lines the gaps keep the grid's colours.
    Grid->SetOptions(goRangeSelect);
    Paint(bitmap);
    EXPECT_EQ(ColorToRGB(clWhite), PixelAt(bitmap, 129, 40));
    EXPECT_EQ(ColorToRGB(clGray), PixelAt(bitmap, 64, 60));
    // No gaps at all.
    Grid->SetGridLineWidth(0);
    EXPECT_TRUE(SameRect(RECT{128, 48, 192, 72}, Grid->CellRect(2, 2)));
}

TEST_F(GridTest, DrawCellGetsEveryVisibleCellWithItsStateBrushAndFont)
{
    Grid->SetFixedColor(clGray);
    Grid->Font()->SetColor(clNavy);
    Grid->SetSelection(TGridRect{1, 1, 2, 2});
    TBitmap bitmap;
    Paint(bitmap);
    ASSERT_EQ(25u, Grid->Calls.size());
    std::set<std::pair<int, int>> cells;
    for (const auto& c : Grid->Calls) {
        cells.insert({c.Col, c.Row});
        EXPECT_TRUE(SameRect(Grid->CellRect(c.Col, c.Row), c.Rect));
    }
    EXPECT_EQ(25u, cells.size());

    const auto* fixed = Grid->Find(0, 3);
    EXPECT_EQ(TGridDrawState(gdFixed), fixed->State);
    EXPECT_EQ(clGray, fixed->Brush);
    EXPECT_EQ(clNavy, fixed->FontColor);
    const auto* selected = Grid->Find(1, 2);
    EXPECT_EQ(TGridDrawState(gdSelected), selected->State);
    EXPECT_EQ(clHighlight, selected->Brush);
    EXPECT_EQ(clHighlightText, selected->FontColor);
    const auto* plain = Grid->Find(3, 3);
    EXPECT_EQ(TGridDrawState(0), plain->State);
    EXPECT_EQ(clWindow, plain->Brush);
    EXPECT_EQ(clNavy, plain->FontColor);
}

TEST_F(GridTest, TheFocusedCurrentCellIsDrawnPlainUnlessFocusSelectedIsAsked)
{
    FocusGrid();
    Grid->SetSelection(TGridRect{1, 1, 2, 1});
    TBitmap bitmap;
    Paint(bitmap);
    const auto* current = Grid->Find(1, 1);
    EXPECT_EQ(TGridDrawState(gdSelected | gdFocused), current->State);
    EXPECT_EQ(clWindow, current->Brush);
    EXPECT_EQ(clHighlight, Grid->Find(2, 1)->Brush);
    Grid->SetOptions(Grid->Options() | goDrawFocusSelected);
    Paint(bitmap);
    EXPECT_EQ(clHighlight, Grid->Find(1, 1)->Brush);
    EXPECT_EQ(clHighlightText, Grid->Find(1, 1)->FontColor);
    // A selected row is drawn whole, the current cell with it.
    Grid->SetOptions(goRowSelect);
    Paint(bitmap);
    EXPECT_EQ(TGridDrawState(gdSelected | gdFocused), Grid->Find(1, 1)->State);
    EXPECT_EQ(clHighlight, Grid->Find(1, 1)->Brush);
    EXPECT_EQ(TGridDrawState(gdSelected), Grid->Find(4, 1)->State);
    EXPECT_EQ(TGridDrawState(0), Grid->Find(4, 2)->State);
}

TEST_F(GridTest, AFocusRectangleMarksTheCurrentCellWhileTheGridHasTheFocus)
{
    Grid->SetColor(clWhite);
    Grid->SetCol(2);
    // Pixels of the cell's top edge that are not its fill.
    auto marked = [&](TBitmap& bitmap, TColor fill) {
        RECT r = Grid->CellRect(2, 1);
        int count = 0;
        for (int x = r.left; x < r.right; ++x)
            if (bitmap.Canvas()->Pixel(x, r.top) != ColorToRGB(fill)) ++count;
        return count;
    };
    TBitmap bitmap;
    Paint(bitmap);
    EXPECT_EQ(0, marked(bitmap, clHighlight));  // unfocused it is drawn as selected instead
    FocusGrid();
    Paint(bitmap);
    EXPECT_GT(marked(bitmap, clWhite), 10);
    // Only around the current cell.
    RECT other = Grid->CellRect(3, 2);
    for (int x = other.left; x < other.right; ++x) EXPECT_EQ(ColorToRGB(clWhite), bitmap.Canvas()->Pixel(x, other.top));
}

TEST_F(GridTest, WithoutDefaultDrawingOnDrawCellPaintsTheCells)
{
    Grid->SetFixedColor(clGray);
    Grid->SetColor(clWhite);
    Grid->OnDrawCell = MakeEvent<&TGridForm::GridDrawCell>(Form);
    TBitmap bitmap;
    Paint(bitmap);
    EXPECT_TRUE(Form->Log.empty());  // the grid draws itself
    EXPECT_EQ(ColorToRGB(clGray), PixelAt(bitmap, 30, 12));

    Grid->SetDefaultDrawing(false);
    Paint(bitmap);
    ASSERT_EQ(25u, Form->Log.size());
    EXPECT_EQ("draw 0,0 64 4", Form->Log[0]);
    EXPECT_EQ("draw 1,1 64 1", Form->Log[6]);  // the unfocused current cell: selected
    // The grid no longer fills the cells: the handler's job.
    EXPECT_EQ(ColorToRGB(clWhite), PixelAt(bitmap, 30, 12));
}

TEST_F(GridTest, InvalidateCellInvalidatesTheCellAndItsLines)
{
    Form->Show();  // hidden windows keep no update region
    ValidateRect(Grid->Handle(), nullptr);
    Grid->InvalidateCell(2, 3);
    RECT r;
    ASSERT_TRUE(GetUpdateRect(Grid->Handle(), &r, FALSE));
    EXPECT_TRUE(SameRect(RECT{130, 75, 195, 100}, r));
    ValidateRect(Grid->Handle(), nullptr);
    // A cell scrolled out of view has nothing to repaint.
    Grid->SetRowCount(50);
    Grid->SetTopRow(10);
    ValidateRect(Grid->Handle(), nullptr);
    Grid->InvalidateCell(2, 3);
    EXPECT_FALSE(GetUpdateRect(Grid->Handle(), &r, FALSE));
}

TEST_F(GridTest, TheGridAsksForArrowsCharactersAndWhatItsOptionsUse)
{
    Grid->HandleNeeded();
    auto code = [&](WPARAM key) { return UINT(SendMessageA(Grid->Handle(), WM_GETDLGCODE, key, 0)); };
    EXPECT_EQ(UINT(DLGC_WANTARROWS | DLGC_WANTCHARS), code(VK_TAB));
    EXPECT_EQ(UINT(DLGC_WANTARROWS | DLGC_WANTCHARS), code(VK_RETURN));
    Grid->SetOptions(Grid->Options() | goTabs | goEditing);
    EXPECT_TRUE(code(VK_TAB) & DLGC_WANTTAB);
    EXPECT_TRUE(code(VK_RETURN) & DLGC_WANTMESSAGE);
    EXPECT_FALSE(code(VK_ESCAPE) & DLGC_WANTMESSAGE);
}

// --- The in-place editor ---------------------------------------------------

// The application's pattern: goEditing on at key down, off at key up, and
// the current cell's text read at key up.
struct EditingPerKey {
    TStringGrid* Grid;
    std::vector<std::string> SeenAtKeyUp;
    void Down(TObject*, WORD&, TShiftState) { Grid->SetOptions(Grid->Options() | goEditing); }
    void Up(TObject*, WORD&, TShiftState)
    {
        SeenAtKeyUp.push_back(Grid->Cells(Grid->Col(), Grid->Row()));
        Grid->SetOptions(Grid->Options() & ~goEditing);
    }
};

class EditorTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Grid->SetOptions(Grid->Options() | goEditing);
        FocusGrid();
    }
    HWND Editor() { return Grid->InplaceEditor() ? Grid->InplaceEditor()->Handle() : nullptr; }
    std::string EditorText() { return Grid->InplaceEditor()->Text(); }
};

TEST_F(EditorTest, TypingOpensTheEditorWithTheCharacterOverTheCell)
{
    Grid->SetCells(1, 1, "old");
    Type('7', '7');
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Editor(), GetFocus());
    EXPECT_EQ("7", EditorText());
    EXPECT_EQ("7", Grid->Cells(1, 1));  // written as it is typed
    RECT cell = Grid->CellRect(1, 1);
    EXPECT_TRUE(SameRect(cell, Grid->InplaceEditor()->BoundsRect()));
    EXPECT_TRUE(IsWindowVisible(Editor()));
    // Without goEditing a character does nothing.
    Type(VK_RETURN, '\r');
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Handle(), GetFocus());
    Grid->SetOptions(Grid->Options() & ~goEditing);
    Type('8', '8');
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ("7", Grid->Cells(1, 1));
}

TEST_F(EditorTest, TypedTextReachesTheCellAndEnterClosesTheEditor)
{
    Type('1', '1');
    Type('2', '2');
    Type('3', '3');
    EXPECT_EQ("123", EditorText());
    EXPECT_EQ("123", Grid->Cells(1, 1));
    Type(VK_RETURN, '\r');
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_FALSE(IsWindowVisible(Editor()));
    EXPECT_EQ("123", Grid->Cells(1, 1));
    EXPECT_EQ(Grid->Handle(), GetFocus());
}

TEST_F(EditorTest, F2AndEnterOpenWithTheCellTextAndEscapeRestoresIt)
{
    Grid->SetCells(1, 1, "42");
    Type(VK_F2);
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ("42", EditorText());
    Type('5', '5');
    EXPECT_EQ("425", Grid->Cells(1, 1));
    Type(VK_ESCAPE, '\x1b');
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ("42", Grid->Cells(1, 1));
    Type(VK_RETURN, '\r');
    EXPECT_TRUE(Grid->EditorMode());
    EXPECT_EQ("42", EditorText());
    // Backspace starts an empty text.
    Type(VK_RETURN, '\r');
    Type(VK_BACK, '\b');
    EXPECT_TRUE(Grid->EditorMode());
    EXPECT_EQ("", Grid->Cells(1, 1));
}

TEST_F(EditorTest, EditTextEventsSeeTheEditor)
{
    Grid->OnGetEditText = MakeEvent<&TGridForm::GridGetEditText>(Form);
    Grid->OnSetEditText = MakeEvent<&TGridForm::GridSetEditText>(Form);
    Type('9', '9');
    EXPECT_EQ(std::vector<std::string>({"get 1,1", "set 1,1 9"}), Form->Log);
}

TEST_F(EditorTest, ArrowsAtTheEdgesOfTheTextAndTabGoBackToTheGrid)
{
    Type('4', '4');
    Type('5', '5');
    // Left inside the text moves the caret.
    Type(VK_LEFT);
    EXPECT_TRUE(Grid->EditorMode());
    EXPECT_EQ(1, Grid->Col());
    Type(VK_LEFT);
    EXPECT_TRUE(Grid->EditorMode());
    // At the start it moves to the cell on the left (there is none: stays).
    Type(VK_LEFT);
    EXPECT_EQ(1, Grid->Col());
    Type(VK_DOWN);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(2, Grid->Row());
    EXPECT_EQ("45", Grid->Cells(1, 1));
    Type('6', '6');
    Type(VK_RIGHT);  // caret at the end
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(2, Grid->Col());
    EXPECT_EQ("6", Grid->Cells(1, 2));
    Grid->SetOptions(Grid->Options() | goTabs);
    Type('1', '1');
    Type(VK_TAB, '\t');
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(3, Grid->Col());
    EXPECT_EQ("1", Grid->Cells(2, 2));
}

TEST_F(EditorTest, AlwaysShowEditorKeepsItOpenFromCellToCell)
{
    Grid->SetCells(2, 1, "next");
    Grid->SetOptions(Grid->Options() | goAlwaysShowEditor);
    ASSERT_TRUE(Grid->EditorMode());
    Type(VK_DOWN);
    Type(VK_UP);
    Type(VK_END);  // inside the text: stays
    Click(2, 1);
    EXPECT_TRUE(Grid->EditorMode());
    EXPECT_EQ(2, Grid->Col());
    EXPECT_EQ("next", EditorText());
    EXPECT_EQ(Editor(), GetFocus());
    EXPECT_TRUE(SameRect(Grid->CellRect(2, 1), Grid->InplaceEditor()->BoundsRect()));
}

TEST_F(EditorTest, KeyEventsOfTheEditorAreTheGrids)
{
    Grid->OnKeyDown = MakeEvent<&TGridForm::GridKeyDown>(Form);
    Grid->OnKeyUp = MakeEvent<&TGridForm::GridKeyUp>(Form);
    Grid->OnKeyPress = MakeEvent<&TGridForm::GridKeyPress>(Form);
    Type('3', '3');
    ASSERT_EQ(Editor(), GetFocus());
    Type('4', '4');
    EXPECT_EQ(std::vector<std::string>({"down grid 51", "press grid 3", "up grid 51", "down grid 52",
                                        "press grid 4", "up grid 52"}),
              Form->Log);
    // A key the event uses up never reaches the editor.
    Form->ConsumeKey = VK_DOWN;
    Type(VK_DOWN);
    EXPECT_TRUE(Grid->EditorMode());
    EXPECT_EQ(1, Grid->Row());
}

TEST_F(EditorTest, EditingSwitchedOnForEachKeyKeepsTheEditorBetweenKeys)
{
    EditingPerKey handlers{Grid, {}};
    Grid->SetOptions(Grid->Options() & ~goEditing);
    Grid->OnKeyDown = MakeEvent<&EditingPerKey::Down>(&handlers);
    Grid->OnKeyUp = MakeEvent<&EditingPerKey::Up>(&handlers);
    Type('1', '1');
    Type('2', '2');
    Type(VK_OEM_MINUS, '-');
    EXPECT_EQ(std::vector<std::string>({"1", "12", "12-"}), handlers.SeenAtKeyUp);
    EXPECT_FALSE(Grid->Options() & goEditing);
    EXPECT_TRUE(Grid->EditorMode());
    Type(VK_DOWN);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ("12-", Grid->Cells(1, 1));
}

TEST_F(EditorTest, ACellWrittenWhileItIsEditedShowsInTheEditor)
{
    Type('5', '5');
    Grid->SetCells(1, 1, "6");
    EXPECT_EQ("6", EditorText());
    Type(VK_RETURN, '\r');
    EXPECT_EQ("6", Grid->Cells(1, 1));
    // Fewer columns take the edited cell away: the editor closes.
    Grid->SetCol(4);
    Type('1', '1');
    Grid->SetColCount(3);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Handle(), GetFocus());
}

TEST_F(EditorTest, FocusBetweenGridAndEditorIsNeitherExitNorEnter)
{
    TCustomControl* other = new TCustomControl(Form);
    other->SetParent(Form);
    other->SetBounds(450, 0, 50, 50);
    Grid->OnEnter = MakeEvent<&TGridForm::GridEnter>(Form);
    Grid->OnExit = MakeEvent<&TGridForm::GridExit>(Form);
    Type('1', '1');
    Type(VK_RETURN, '\r');
    Type(VK_F2);
    EXPECT_TRUE(Form->Log.empty());
    other->SetFocus();
    EXPECT_EQ(std::vector<std::string>({"exit"}), Form->Log);
    EXPECT_EQ(other, Form->ActiveControl());
    // Back into the grid: its open editor takes the focus.
    Grid->SetFocus();
    EXPECT_EQ(std::vector<std::string>({"exit", "enter"}), Form->Log);
    EXPECT_EQ(Editor(), GetFocus());
    EXPECT_EQ(Grid, Form->ActiveControl());
    other->SetFocus();
    Grid->SetFocus();
    Type(VK_RETURN, '\r');
    EXPECT_EQ(std::vector<std::string>({"exit", "enter", "exit", "enter"}), Form->Log);
}

TEST_F(EditorTest, KeysThroughTheMessageLoopReachTheGridAndItsEditor)
{
    // Posted as the keyboard would, so that TranslateMessage makes the characters.
    auto post = [](WORD vk) {
        HWND focus = GetFocus();
        PostMessageA(focus, WM_KEYDOWN, vk, 1);
        Application->ProcessMessages();
        PostMessageA(GetFocus(), WM_KEYUP, vk, LPARAM(0xC0000001u));
        Application->ProcessMessages();
    };
    post('8');
    post('1');
    EXPECT_EQ("81", Grid->Cells(1, 1));
    post(VK_RETURN);
    EXPECT_FALSE(Grid->EditorMode());
    Grid->SetOptions(Grid->Options() | goTabs);
    post(VK_TAB);
    EXPECT_EQ(2, Grid->Col());
}

// --- Cells and their views -----------------------------------------------------

TEST_F(GridTest, CellsOutsideTheGridReadEmptyAndTakeNothing)
{
    Grid->SetCells(4, 4, "corner");
    Grid->SetCells(5, 0, "x");
    Grid->SetCells(-1, 2, "x");
    EXPECT_EQ("corner", Grid->Cells(4, 4));
    EXPECT_EQ("", Grid->Cells(5, 0));
    EXPECT_EQ("", Grid->Cells(0, -1));
    TStringList object;
    Grid->SetObjects(2, 3, &object);
    EXPECT_EQ(&object, Grid->Objects(2, 3));
    EXPECT_EQ(nullptr, Grid->Objects(9, 3));
    // Growing keeps the cells; shrinking drops what falls outside.
    Grid->SetColCount(8);
    Grid->SetRowCount(9);
    EXPECT_EQ("corner", Grid->Cells(4, 4));
    EXPECT_EQ(&object, Grid->Objects(2, 3));
    Grid->SetCells(7, 8, "far");
    EXPECT_EQ("far", Grid->Cells(7, 8));
    Grid->SetColCount(4);
    EXPECT_EQ("", Grid->Cells(4, 4));
    Grid->SetColCount(8);
    EXPECT_EQ("", Grid->Cells(4, 4));
    EXPECT_EQ("", Grid->Cells(7, 8));
}

TEST_F(GridTest, ColumnAndRowViewsReadAndWriteTheCells)
{
    TStrings* col = Grid->Cols(2);
    TStrings* row = Grid->Rows(1);
    EXPECT_EQ(col, Grid->Cols(2));
    EXPECT_EQ(5, col->Count());
    Grid->SetColCount(7);
    EXPECT_EQ(7, row->Count());
    Grid->SetCells(2, 1, "shared");
    EXPECT_EQ("shared", col->Get(1));
    EXPECT_EQ("shared", row->Get(2));
    row->Put(6, "end");
    EXPECT_EQ("end", Grid->Cells(6, 1));
    EXPECT_THROW(col->Get(5), EListError);
    EXPECT_THROW(Grid->Cols(7), EInvalidOperation);

    // Assign clears first: a shorter list leaves the rest empty.
    TStringList list;
    list.Add("a");
    list.Add("b");
    list.Add("c");
    col->Assign(&list);
    EXPECT_EQ("a\r\nb\r\nc\r\n\r\n\r\n", col->Text());
    list.Clear();
    list.Add("z");
    col->Assign(&list);
    EXPECT_EQ("z", Grid->Cells(2, 0));
    EXPECT_EQ("", Grid->Cells(2, 1));
    EXPECT_EQ("", Grid->Cells(2, 2));
    // A longer one is cut at the grid's edge.
    for (int i = 0; i < 9; ++i) list.Add("n" + std::to_string(i));
    col->Assign(&list);
    EXPECT_EQ("n3", Grid->Cells(2, 4));
    // Add after Clear fills from the top, with objects.
    TStringList object;
    row->Clear();
    row->Add("first");
    row->AddObject("second", &object);
    EXPECT_EQ("first", Grid->Cells(0, 1));
    EXPECT_EQ("second", Grid->Cells(1, 1));
    EXPECT_EQ(&object, Grid->Objects(1, 1));
    // Insert and Delete shift the cells along.
    row->Insert(0, "new");
    EXPECT_EQ("new", Grid->Cells(0, 1));
    EXPECT_EQ("second", Grid->Cells(2, 1));
    EXPECT_EQ(&object, Grid->Objects(2, 1));
    row->Delete(0);
    row->Delete(0);
    EXPECT_EQ("second", Grid->Cells(0, 1));
    EXPECT_EQ("", Grid->Cells(6, 1));
}

// --- Form resources ------------------------------------------------------------

TEST(GridStreamingTest, FormResourcesSetTheGrid)
{
    TGridForm* form = new TGridForm(nullptr);
    ReadFormText(form, R"(object GridForm: TGridForm
  object Grid1: TStringGrid
    Left = 8
    Top = 8
    Width = 300
    Height = 200
    ColCount = 7
    DefaultColWidth = 45
    DefaultRowHeight = 20
    FixedColor = clGray
    FixedCols = 2
    RowCount = 10
    FixedRows = 0
    GridLineWidth = 2
    Options = [goFixedVertLine, goVertLine, goEditing, goTabs, goThumbTracking]
    ScrollBars = ssVertical
    DefaultDrawing = False
    BorderStyle = bsNone
    ColWidths = (10 20 30)
    RowHeights = (16)
    TabOrder = 0
    OnDrawCell = GridDrawCell
    OnSelectCell = GridSelectCell
    OnTopLeftChanged = GridTopLeftChanged
    OnGetEditText = GridGetEditText
    OnSetEditText = GridSetEditText
    OnKeyDown = GridKeyDown
    OnKeyUp = GridKeyUp
    OnClick = GridClick
  end
end
)", TGridForm::Table());
    TStringGrid* g = form->Grid1;
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(7, g->ColCount());
    EXPECT_EQ(10, g->RowCount());
    EXPECT_EQ(2, g->FixedCols());
    EXPECT_EQ(0, g->FixedRows());
    EXPECT_EQ(45, g->DefaultColWidth());
    EXPECT_EQ(10, g->ColWidths(0));
    EXPECT_EQ(30, g->ColWidths(2));
    EXPECT_EQ(45, g->ColWidths(6));
    EXPECT_EQ(16, g->RowHeights(0));
    EXPECT_EQ(20, g->RowHeights(9));
    EXPECT_EQ(2, g->GridLineWidth());
    EXPECT_EQ(clGray, g->FixedColor());
    EXPECT_EQ(TGridOptions(goFixedVertLine | goVertLine | goEditing | goTabs | goThumbTracking), g->Options());
    EXPECT_EQ(ssVertical, g->ScrollBars());
    EXPECT_FALSE(g->DefaultDrawing());
    EXPECT_EQ(bsNone, g->BorderStyle());
    EXPECT_EQ(2, g->Col());
    EXPECT_EQ(0, g->Row());
    EXPECT_TRUE(g->OnDrawCell == MakeEvent<&TGridForm::GridDrawCell>(form));
    EXPECT_TRUE(g->OnSelectCell == MakeEvent<&TGridForm::GridSelectCell>(form));
    EXPECT_TRUE(g->OnTopLeftChanged == MakeEvent<&TGridForm::GridTopLeftChanged>(form));
    EXPECT_TRUE(g->OnGetEditText == MakeEvent<&TGridForm::GridGetEditText>(form));
    EXPECT_TRUE(g->OnSetEditText == MakeEvent<&TGridForm::GridSetEditText>(form));
    EXPECT_TRUE(g->OnKeyDown == MakeEvent<&TGridForm::GridKeyDown>(form));
    // The window gets the styles the properties ask for.
    EXPECT_FALSE(GetWindowLongPtrA(g->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongPtrA(g->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLongPtrA(g->Handle(), GWL_STYLE) & WS_HSCROLL);
    g->SetBorderStyle(bsSingle);
    EXPECT_TRUE(GetWindowLongPtrA(g->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    form->Free();
}

}  // namespace

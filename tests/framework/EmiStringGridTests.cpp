// The map grid: the cell-colour event (asked once per painted cell, row
// before column, alignment and wrapping in and out), the text format each
// alignment gives, the two default setters and their interplay, the title
// lists, Loaded, the path without default drawing, and the pixels of the
// cell fills the handler's brush paints (never glyphs).

#include "Application.h"
#include "EmiStringGrid.h"
#include "Reader.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// Records what the grid hands to DrawTextA.
class TProbeEmiGrid : public TEmiStringGrid {
public:
    using TEmiStringGrid::TEmiStringGrid;
    struct Text {
        std::string Value;
        RECT Rect;
        UINT Format;
    };
    std::vector<Text> Texts;
    // The text drawn in a cell, found by its inset rectangle.
    const Text* TextOf(int col, int row)
    {
        RECT c = CellRect(col, row);
        for (const Text& t : Texts)
            if (t.Rect.left == c.left + 2 && t.Rect.top == c.top + 2 && t.Rect.right == c.right - 2 &&
                t.Rect.bottom == c.bottom - 2)
                return &t;
        return nullptr;
    }

protected:
    void DrawCellText(const std::string& text, RECT& rect, UINT format) override
    {
        Texts.push_back({text, rect, format});
        TEmiStringGrid::DrawCellText(text, rect, format);
    }
};

class TEmiForm : public TForm {
    GANTREL_CLASS(TEmiForm)

    explicit TEmiForm(TComponent* owner) : TForm(owner, 0) {}

    TEmiStringGrid* StringGrid1 = nullptr;

    struct Asked {
        int Row, Col;
        TGridDrawState State;
        TCellAlignment Alignment;
        bool MultiLine;
        TBrush* Brush;
        TFont* Font;
        TColor BrushColor;
    };
    std::vector<Asked> Asks;
    std::vector<std::string> Log;
    // What the handler answers, per (row, col).
    std::map<std::pair<int, int>, TColor> Brushes;
    std::map<std::pair<int, int>, std::pair<TCellAlignment, bool>> Layouts;

    void StringGrid1GetCellColor(TObject*, int ARow, int ACol, TGridDrawState AState, TCellAlignment& Alignment,
                                 bool& MultiLine, TBrush* ABrush, TFont* AFont)
    {
        Asks.push_back({ARow, ACol, AState, Alignment, MultiLine, ABrush, AFont, ABrush->Color()});
        Log.push_back("color " + std::to_string(ARow) + "," + std::to_string(ACol));
        auto b = Brushes.find({ARow, ACol});
        if (b != Brushes.end()) ABrush->SetColor(b->second);
        auto l = Layouts.find({ARow, ACol});
        if (l != Layouts.end()) {
            Alignment = l->second.first;
            MultiLine = l->second.second;
        }
    }
    void StringGrid1DrawCell(TObject* sender, int ACol, int ARow, const RECT&, TGridDrawState)
    {
        auto* grid = static_cast<TEmiStringGrid*>(sender);
        Log.push_back("draw " + std::to_string(ACol) + "," + std::to_string(ARow) + " brush " +
                      std::to_string(grid->Canvas()->Brush()->Color()));
    }

    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TEmiForm, StringGrid1)},
            {GANTREL_HANDLER(TEmiForm, StringGrid1GetCellColor), GANTREL_HANDLER(TEmiForm, StringGrid1DrawCell)},
        };
        return &table;
    }
};

class EmiStringGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TEmiForm(nullptr);
        Form->SetBounds(0, 0, 640, 480);
        Grid = new TProbeEmiGrid(Form);
        Grid->SetParent(Form);
        Form->StringGrid1 = Grid;
        Grid->SetBorderStyle(bsNone);
        Grid->SetScrollBars(ssNone);
        Grid->SetBounds(0, 0, 400, 200);
        Grid->SetColor(clWhite);
        Grid->SetFixedColor(clGray);
    }
    void TearDown() override
    {
        Grid->OnGetCellColor = nullptr;
        Grid->OnDrawCell = nullptr;
        Form->Free();
    }

    void Paint(TBitmap& bitmap)
    {
        bitmap.SetSize(Grid->Width(), Grid->Height());
        Grid->Texts.clear();
        Form->Asks.clear();
        Form->Log.clear();
        Grid->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    }
    void UseHandler() { Grid->OnGetCellColor = MakeEvent<&TEmiForm::StringGrid1GetCellColor>(Form); }

    static TStringList* Lines(std::initializer_list<const char*> lines)
    {
        auto* list = new TStringList;
        for (const char* line : lines) list->Add(line);
        return list;
    }

    TEmiForm* Form = nullptr;
    TProbeEmiGrid* Grid = nullptr;
};

TEST_F(EmiStringGridTest, StartsTopLeftSingleLineWithEmptyTitles)
{
    TEmiStringGrid* g = new TEmiStringGrid(nullptr);
    EXPECT_EQ(caTopLeft, g->DefaultCellsAlignment());
    EXPECT_FALSE(g->DefaultMultiLineCells());
    EXPECT_EQ(0, g->RowTitles()->Count());
    EXPECT_EQ(0, g->ColTitles()->Count());
    EXPECT_FALSE(g->OnGetCellColor);
    EXPECT_TRUE(g->DefaultDrawing());
    g->Free();
}

TEST_F(EmiStringGridTest, EachAlignmentHasItsTextFormat)
{
    const UINT single = DT_NOPREFIX | DT_SINGLELINE, wrapped = DT_NOPREFIX | DT_WORDBREAK;
    EXPECT_EQ(0x820u, single);
    EXPECT_EQ(0x810u, wrapped);
    const UINT bits[] = {0, 1, 2, 4, 5, 6, 8, 9, 10};
    for (int a = caTopLeft; a <= caBottomRight; ++a) {
        EXPECT_EQ(single | bits[a], TEmiStringGrid::CellTextFormat(TCellAlignment(a), false)) << a;
        // Only the top alignments wrap.
        EXPECT_EQ((a < caMiddleLeft ? wrapped : single) | bits[a], TEmiStringGrid::CellTextFormat(TCellAlignment(a), true))
            << a;
    }
}

TEST_F(EmiStringGridTest, WithoutAHandlerCellsGetTheFrameworkColoursAndTheDefaults)
{
    Grid->SetCells(2, 2, "A&B");
    Grid->SetDefaultCellsAlignment(caCenter);
    Grid->SetSelection(TGridRect{3, 3, 4, 4});
    TBitmap bitmap;
    Paint(bitmap);
    ASSERT_EQ(25u, Grid->Texts.size());
    for (const auto& t : Grid->Texts) EXPECT_EQ(UINT(DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_CENTER), t.Format);
    const auto* text = Grid->TextOf(2, 2);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ("A&B", text->Value);  // drawn whole, "&" and all
    EXPECT_EQ("", Grid->TextOf(1, 1)->Value);
    // The fills: the corners of each cell lie outside the text's inset.
    RECT fixed = Grid->CellRect(0, 2), body = Grid->CellRect(2, 2), selected = Grid->CellRect(3, 4);
    EXPECT_EQ(ColorToRGB(clGray), bitmap.Canvas()->Pixel(fixed.left, fixed.top));
    EXPECT_EQ(ColorToRGB(clWhite), bitmap.Canvas()->Pixel(body.right - 1, body.bottom - 1));
    EXPECT_EQ(ColorToRGB(clHighlight), bitmap.Canvas()->Pixel(selected.left, selected.bottom - 1));
}

TEST_F(EmiStringGridTest, TheHandlerIsAskedOncePerPaintedCellRowBeforeColumn)
{
    Grid->SetColCount(3);
    Grid->SetRowCount(5);
    Grid->SetDefaultMultiLineCells(true);
    Grid->SetDefaultCellsAlignment(caTopRight);
    UseHandler();
    TBitmap bitmap;
    Paint(bitmap);
    ASSERT_EQ(15u, Form->Asks.size());
    std::map<std::pair<int, int>, int> times;
    for (const auto& a : Form->Asks) {
        ++times[{a.Row, a.Col}];
        // The defaults arrive; the brush and font are the canvas's own.
        EXPECT_EQ(caTopRight, a.Alignment);
        EXPECT_TRUE(a.MultiLine);
        EXPECT_EQ(Grid->Canvas()->Brush(), a.Brush);
        EXPECT_EQ(Grid->Canvas()->Font(), a.Font);
    }
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col) EXPECT_EQ(1, (times[{row, col}])) << row << "," << col;
    // The state is the grid's, with the framework's brush for it.
    for (const auto& a : Form->Asks) {
        if (a.Row == 0 || a.Col == 0) {
            EXPECT_EQ(TGridDrawState(gdFixed), a.State);
            EXPECT_EQ(clGray, a.BrushColor);
        } else if (a.Row == 1 && a.Col == 1) {
            EXPECT_EQ(TGridDrawState(gdSelected), a.State);  // current, grid unfocused
            EXPECT_EQ(clHighlight, a.BrushColor);
        } else {
            EXPECT_EQ(TGridDrawState(0), a.State);
            EXPECT_EQ(clWhite, a.BrushColor);
        }
    }
}

TEST_F(EmiStringGridTest, TheHandlersAlignmentAndWrappingDecideTheFormat)
{
    UseHandler();
    Form->Layouts[{1, 2}] = {caBottomRight, false};
    Form->Layouts[{2, 1}] = {caTopCenter, true};
    // Wrapping asked with a middle alignment: one line, centred both ways.
    Form->Layouts[{3, 3}] = {caCenter, true};
    Form->Layouts[{4, 1}] = {caMiddleLeft, true};
    TBitmap bitmap;
    Paint(bitmap);
    EXPECT_EQ(UINT(DT_NOPREFIX | DT_SINGLELINE | DT_BOTTOM | DT_RIGHT), Grid->TextOf(2, 1)->Format);
    EXPECT_EQ(UINT(DT_NOPREFIX | DT_WORDBREAK | DT_CENTER), Grid->TextOf(1, 2)->Format);
    EXPECT_EQ(UINT(DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_CENTER), Grid->TextOf(3, 3)->Format);
    EXPECT_EQ(UINT(DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER), Grid->TextOf(1, 4)->Format);
    // Other cells keep the defaults.
    EXPECT_EQ(UINT(DT_NOPREFIX | DT_SINGLELINE), Grid->TextOf(4, 4)->Format);
}

TEST_F(EmiStringGridTest, TheHandlersBrushFillsTheWholeCellAndNotTheLines)
{
    UseHandler();
    Grid->SetGridLineWidth(2);
    Grid->SetCells(2, 1, "7");
    Form->Brushes[{1, 2}] = clRed;
    Form->Brushes[{0, 3}] = clLime;
    TBitmap bitmap;
    Paint(bitmap);
    RECT cell = Grid->CellRect(2, 1);
    const COLORREF red = ColorToRGB(clRed);
    EXPECT_EQ(red, bitmap.Canvas()->Pixel(cell.left, cell.top));
    EXPECT_EQ(red, bitmap.Canvas()->Pixel(cell.right - 1, cell.top));
    EXPECT_EQ(red, bitmap.Canvas()->Pixel(cell.right - 1, cell.bottom - 1));
    EXPECT_EQ(red, bitmap.Canvas()->Pixel((cell.left + cell.right) / 2, cell.bottom - 2));
    // The gaps around it are the grid's lines, not the handler's brush.
    EXPECT_EQ(ColorToRGB(clSilver), bitmap.Canvas()->Pixel(cell.right, cell.top + 5));
    EXPECT_EQ(ColorToRGB(clSilver), bitmap.Canvas()->Pixel(cell.right + 1, cell.bottom + 1));
    EXPECT_EQ(ColorToRGB(clBlack), bitmap.Canvas()->Pixel(cell.left + 5, cell.top - 1));  // below the fixed row
    // The neighbours keep their own brush.
    RECT next = Grid->CellRect(3, 1);
    EXPECT_EQ(ColorToRGB(clWhite), bitmap.Canvas()->Pixel(next.left, next.bottom - 1));
    RECT title = Grid->CellRect(3, 0);
    EXPECT_EQ(ColorToRGB(clLime), bitmap.Canvas()->Pixel(title.right - 1, title.top));

    // Without lines the gaps show the grid's colour.
    Grid->SetOptions(goRangeSelect);
    Paint(bitmap);
    EXPECT_EQ(red, bitmap.Canvas()->Pixel(cell.right - 1, cell.top));
    EXPECT_EQ(ColorToRGB(clWhite), bitmap.Canvas()->Pixel(cell.right, cell.top + 5));
    EXPECT_EQ(ColorToRGB(clWhite), bitmap.Canvas()->Pixel(cell.left + 5, cell.bottom + 1));
}

TEST_F(EmiStringGridTest, WithoutDefaultDrawingOnDrawCellPaintsAfterTheHandler)
{
    UseHandler();
    Grid->OnDrawCell = MakeEvent<&TEmiForm::StringGrid1DrawCell>(Form);
    Form->Brushes[{1, 2}] = clRed;
    TBitmap bitmap;
    Paint(bitmap);
    // With default drawing OnDrawCell is never raised.
    for (const std::string& line : Form->Log) EXPECT_EQ(0u, line.rfind("color", 0)) << line;

    Grid->SetDefaultDrawing(false);
    Paint(bitmap);
    ASSERT_EQ(50u, Form->Log.size());
    EXPECT_TRUE(Grid->Texts.empty());
    // Cell (2, 1) is row 1 of the paint order: the handler first, then
    // OnDrawCell with the brush the handler set.
    EXPECT_EQ("color 1,2", Form->Log[14]);
    EXPECT_EQ("draw 2,1 brush " + std::to_string(clRed), Form->Log[15]);
    EXPECT_EQ("color 0,0", Form->Log[0]);
    EXPECT_EQ("draw 0,0 brush " + std::to_string(clGray), Form->Log[1]);
    // Nobody filled the cell: the grid's background shows.
    RECT cell = Grid->CellRect(2, 1);
    EXPECT_EQ(ColorToRGB(clWhite), bitmap.Canvas()->Pixel(cell.left, cell.top));
}

TEST_F(EmiStringGridTest, TheAlignmentAndWrappingDefaultsKeepEachOtherValid)
{
    Grid->SetDefaultMultiLineCells(true);
    EXPECT_EQ(caTopLeft, Grid->DefaultCellsAlignment());
    Grid->SetDefaultCellsAlignment(caTopCenter);
    EXPECT_TRUE(Grid->DefaultMultiLineCells());
    Grid->SetDefaultCellsAlignment(caBottomRight);
    EXPECT_FALSE(Grid->DefaultMultiLineCells());
    EXPECT_EQ(caBottomRight, Grid->DefaultCellsAlignment());
    Grid->SetDefaultMultiLineCells(true);
    EXPECT_EQ(caTopRight, Grid->DefaultCellsAlignment());
    Grid->SetDefaultMultiLineCells(false);
    Grid->SetDefaultCellsAlignment(caBottomCenter);
    Grid->SetDefaultMultiLineCells(true);
    EXPECT_EQ(caTopCenter, Grid->DefaultCellsAlignment());
    Grid->SetDefaultMultiLineCells(false);
    Grid->SetDefaultCellsAlignment(caMiddleLeft);
    Grid->SetDefaultMultiLineCells(true);
    EXPECT_EQ(caTopLeft, Grid->DefaultCellsAlignment());
    // Switching wrapping off leaves the alignment alone.
    Grid->SetDefaultCellsAlignment(caTopRight);
    Grid->SetDefaultMultiLineCells(false);
    EXPECT_EQ(caTopRight, Grid->DefaultCellsAlignment());
}

TEST_F(EmiStringGridTest, TheSettersRepaintOnlyWhenSomethingChanged)
{
    Form->Show();
    HWND window = Grid->Handle();
    RECT r;
    auto repaintPending = [&] {
        bool pending = GetUpdateRect(window, &r, FALSE) != 0;
        ValidateRect(window, nullptr);
        return pending;
    };
    Application->ProcessMessages();
    ValidateRect(window, nullptr);
    Grid->SetDefaultCellsAlignment(caTopLeft);
    Grid->SetDefaultMultiLineCells(false);
    EXPECT_FALSE(repaintPending());
    Grid->SetDefaultCellsAlignment(caCenter);
    EXPECT_TRUE(repaintPending());
    Grid->SetDefaultMultiLineCells(true);
    EXPECT_TRUE(repaintPending());
    // The title setters always repaint.
    TStringList empty;
    Grid->SetRowTitles(&empty);
    EXPECT_TRUE(repaintPending());
}

TEST_F(EmiStringGridTest, TitleListsFillColumnZeroAndRowZero)
{
    for (int i = 0; i < 5; ++i) {
        Grid->SetCells(0, i, "old");
        Grid->SetCells(i, 0, "old");
    }
    TStringList* rows = Lines({"corner", "r1", "r2"});
    Grid->SetRowTitles(rows);
    EXPECT_EQ("corner\r\nr1\r\nr2\r\n", Grid->RowTitles()->Text());
    EXPECT_NE(rows, Grid->RowTitles());  // copied
    EXPECT_EQ("corner", Grid->Cells(0, 0));
    EXPECT_EQ("r2", Grid->Cells(0, 2));
    // The shorter list leaves the rest of the column empty.
    EXPECT_EQ("", Grid->Cells(0, 3));
    EXPECT_EQ("", Grid->Cells(0, 4));
    EXPECT_EQ("old", Grid->Cells(1, 0));
    TStringList* cols = Lines({"c0", "c1", "c2", "c3", "c4", "c5 beyond"});
    Grid->SetColTitles(cols);
    EXPECT_EQ("c0", Grid->Cells(0, 0));  // the last one applied owns the corner
    EXPECT_EQ("c4", Grid->Cells(4, 0));
    EXPECT_EQ("r1", Grid->Cells(0, 1));
    delete rows;
    delete cols;
}

TEST_F(EmiStringGridTest, LoadedAppliesTheTitlesAndEmptyListsEmptyTheTitleCells)
{
    for (int i = 0; i < 5; ++i) {
        Grid->SetCells(0, i, "x");
        Grid->SetCells(i, 0, "x");
    }
    Grid->SetCells(1, 1, "body");
    Grid->Loaded();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ("", Grid->Cells(0, i));
        EXPECT_EQ("", Grid->Cells(i, 0));
    }
    EXPECT_EQ("body", Grid->Cells(1, 1));
    // Lists filled behind the setters' backs (as streaming does) reach the cells.
    Grid->RowTitles()->Add("r0");
    Grid->RowTitles()->Add("r1");
    Grid->ColTitles()->Add("c0");
    Grid->Loaded();
    EXPECT_EQ("c0", Grid->Cells(0, 0));
    EXPECT_EQ("r1", Grid->Cells(0, 1));
}

TEST_F(EmiStringGridTest, FormResourcesSetTheMapGrid)
{
    RegisterGridControlClasses();
    TEmiForm* form = new TEmiForm(nullptr);
    ReadFormText(form, R"(object EmiForm: TEmiForm
  object StringGrid1: TEmiStringGrid
    Left = 8
    Top = 40
    Width = 400
    Height = 260
    RowTitles.Strings = (
      ''
      'r1'
      'r2')
    ColTitles.Strings = (
      'corner'
      'c1')
    ColCount = 7
    DefaultColWidth = 45
    DefaultRowHeight = 20
    FixedColor = clGray
    GridLineWidth = 2
    RowCount = 10
    Color = clWhite
    Font.Name = 'Arial'
    Font.Height = -13
    DefaultCellsAlignment = caCenter
    DefaultMultiLineCells = False
    OnGetCellColor = StringGrid1GetCellColor
    OnDrawCell = StringGrid1DrawCell
  end
end
)", TEmiForm::Table());
    TEmiStringGrid* g = form->StringGrid1;
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(7, g->ColCount());
    EXPECT_EQ(10, g->RowCount());
    EXPECT_EQ(45, g->DefaultColWidth());
    EXPECT_EQ(20, g->DefaultRowHeight());
    EXPECT_EQ(2, g->GridLineWidth());
    EXPECT_EQ(clGray, g->FixedColor());
    EXPECT_EQ(clWhite, g->Color());
    EXPECT_EQ("Arial", g->Font()->Name());
    EXPECT_EQ(caCenter, g->DefaultCellsAlignment());
    EXPECT_FALSE(g->DefaultMultiLineCells());
    EXPECT_TRUE(g->OnGetCellColor == MakeEvent<&TEmiForm::StringGrid1GetCellColor>(form));
    EXPECT_TRUE(g->OnDrawCell == MakeEvent<&TEmiForm::StringGrid1DrawCell>(form));
    EXPECT_EQ(3, g->RowTitles()->Count());
    // Applied by Loaded, after the counts: row 0 last, so it owns the corner.
    EXPECT_EQ("corner", g->Cells(0, 0));
    EXPECT_EQ("r2", g->Cells(0, 2));
    EXPECT_EQ("c1", g->Cells(1, 0));
    EXPECT_EQ("", g->Cells(2, 0));
    EXPECT_EQ("", g->Cells(0, 9));
    form->Free();
}

}  // namespace

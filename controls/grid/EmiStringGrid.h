// TEmiStringGrid, the map grid: a string grid that paints every cell
// itself after asking its owner, through OnGetCellColor, for the brush,
// font, alignment and wrapping of the cell; with two title lists that fill
// column 0 and row 0.
#pragma once

#include "Grid.h"

#include <cstdint>

// Where a cell's text sits; only the top ones may wrap onto several lines.
enum TCellAlignment : uint8_t {
    caTopLeft, caTopCenter, caTopRight,
    caMiddleLeft, caCenter, caMiddleRight,
    caBottomLeft, caBottomCenter, caBottomRight,
};

// Asked once per painted cell. The row comes before the column. Alignment
// and MultiLine arrive holding the grid's defaults; ABrush and AFont are
// the grid canvas's own, so what the handler sets on them paints the cell.
using TColorEvent = TEvent<void(TObject* Sender, int ARow, int ACol, TGridDrawState AState,
                                TCellAlignment& Alignment, bool& MultiLine, TBrush* ABrush, TFont* AFont)>;

class TEmiStringGrid : public TStringGrid {
    GANTREL_CLASS(TEmiStringGrid)

    explicit TEmiStringGrid(TComponent* owner);
    ~TEmiStringGrid() override;

    TColorEvent OnGetCellColor;

    // Line i is the text of cell (0, i).
    TStrings* RowTitles() const { return FRowTitles; }
    void SetRowTitles(TStrings* value);
    // Line j is the text of cell (j, 0).
    TStrings* ColTitles() const { return FColTitles; }
    void SetColTitles(TStrings* value);
    TCellAlignment DefaultCellsAlignment() const { return FDefaultCellsAlignment; }
    // A middle or bottom alignment switches wrapping off.
    void SetDefaultCellsAlignment(TCellAlignment value);
    bool DefaultMultiLineCells() const { return FDefaultMultiLineCells; }
    // Wrapping moves a middle or bottom alignment to the top of its column.
    void SetDefaultMultiLineCells(bool value);

    // The DrawTextA format of a cell's text; a middle or bottom alignment
    // always draws a single line.
    static UINT CellTextFormat(TCellAlignment alignment, bool multiLine);

    void Loaded() override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void DrawCell(int col, int row, const RECT& rect, TGridDrawState state) override;
    // Draws the text into the inset rectangle (DrawTextA on the canvas).
    virtual void DrawCellText(const std::string& text, RECT& rect, UINT format);

private:
    TStrings* FRowTitles;
    TStrings* FColTitles;
    TCellAlignment FDefaultCellsAlignment = caTopLeft;
    bool FDefaultMultiLineCells = false;
    void ApplyRowTitles();
    void ApplyColTitles();
};

// Registers the grid controls with the form reader; the application calls it.
void RegisterGridControlClasses();

// A string grid's cells as the table kinds read and write them.
#pragma once

#include "CellText.h"
#include "Grid.h"

class TGridCells : public TCellText {
public:
    explicit TGridCells(TStringGrid* grid) : Grid(grid) {}
    std::string GetCell(int col, int row) const override { return Grid->Cells(col, row); }
    void SetCell(int col, int row, const std::string& text) override { Grid->SetCells(col, row, text); }

private:
    TStringGrid* Grid;
};

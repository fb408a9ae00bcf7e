// Cell texts of a map grid, as the table kinds read and write them.
// The main window's grid implements this; TMemoryCells is the plain
// in-memory version (tests, and packing without a window).
#pragma once

#include <map>
#include <string>
#include <utility>

class TCellText {
public:
    virtual ~TCellText() = default;
    virtual std::string GetCell(int col, int row) const = 0;
    virtual void SetCell(int col, int row, const std::string& text) = 0;
};

class TMemoryCells : public TCellText {
public:
    std::string GetCell(int col, int row) const override
    {
        auto it = Cells.find({col, row});
        return it == Cells.end() ? std::string() : it->second;
    }
    void SetCell(int col, int row, const std::string& text) override { Cells[{col, row}] = text; }

private:
    std::map<std::pair<int, int>, std::string> Cells;
};

// A cell's text read as a whole number: optional blanks and sign, then
// digits. Empty or unreadable text is 0; values beyond 32 bits saturate.
int CellValue(const std::string& text);

// Strict form of the above for the editor: false when the text is not a
// whole number (empty text counts as 0).
bool ReadCellValue(const std::string& text, int& value);

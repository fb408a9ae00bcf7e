// The map grid: showing a table, switching tables, the edit keys, the
// value rules applied when the grid is left, the clipboard, and the cell
// colours.
#include "Form1.h"

#include "Application.h"
#include "Clipboard.h"
#include "Rounding.h"

#include <algorithm>

namespace {
// Each channel moved by offset, clamped to 0..255.
TColor OffsetColor(TColor color, int offset)
{
    COLORREF rgb = ColorToRGB(color);
    auto channel = [offset](int c) { return std::max(0, std::min(255, c + offset)); };
    return TColor(RGB(channel(GetRValue(rgb)), channel(GetGValue(rgb)), channel(GetBValue(rgb))));
}
}  // namespace

TTableKind* TForm1::CurrentKind() const
{
    if (CurrentTable < 0 || CurrentTable >= Config.FileSet.Count) return nullptr;
    return Config.FileSet[CurrentTable].Kind;
}

void TForm1::ShowTable(int index, bool switchTab)
{
    CurrentTable = index;
    TTableKind* kind = CurrentKind();
    if (!kind) return;
    const TMapLayout& layout = TTableKind::Layout;
    const int rows = std::min(StringGrid1->RowCount() - 1, layout.Rows);
    const int columns = std::min(StringGrid1->ColCount() - 1, layout.Columns);
    for (int r = 1; r <= rows; ++r) {
        StringGrid1->SetCells(0, r, std::to_string(layout.RowBreakpoints[size_t(r - 1)]));
        for (int c = 1; c <= columns; ++c) StringGrid1->SetCells(c, r, std::to_string(kind->Cell(r - 1, c - 1)));
    }
    if (switchTab && EpIITabControl1->TabIndex() != index) {
        // The grid holds the table already, and the caller stored whatever
        // edits it had (or its cells came fresh from a file or a controller
        // and are not to be corrected again): the change event has nothing to do.
        SelectingTab = true;
        try {
            EpIITabControl1->SetTabIndex(index);
        } catch (...) {
            SelectingTab = false;
            throw;
        }
        SelectingTab = false;
    }
}

void TForm1::Button6Click(TObject*)
{
    if (FileLoaded) {
        // The grid's edits go into the table they belong to before it changes.
        StringGrid1Exit(this);
        int count = Config.FileSet.Count;
        int index = TableStepForward ? (CurrentTable + 1) % count : (CurrentTable + count - 1) % count;
        ShowTable(index, true);
    } else {
        ShowStatus(Text(132));
    }
    if (StringGrid1->CanFocus()) StringGrid1->SetFocus();
}

bool TForm1::GridMatchesTable() const
{
    TTableKind* kind = CurrentKind();
    if (!kind) return true;
    const int rows = std::min(StringGrid1->RowCount() - 1, TTableKind::Layout.Rows);
    const int columns = std::min(StringGrid1->ColCount() - 1, TTableKind::Layout.Columns);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c) {
            int v;
            if (!ReadCellValue(StringGrid1->Cells(c, r), v) || v != kind->Cell(r - 1, c - 1)) return false;
        }
    return true;
}

// The user chose a tab (mouse or arrow keys): the grid's edits go into the
// table they belong to, then the chosen table shows.
void TForm1::EpIITabControl1Change(TObject*)
{
    if (!FileLoaded || SelectingTab) return;
    // A click took the focus from the grid first, whose exit stored it: a
    // second check would correct again what the first one corrected (a
    // throttle breakpoint from a file may lie beyond any value's reach).
    if (!GridMatchesTable()) StringGrid1Exit(this);
    ShowTable(EpIITabControl1->TabIndex(), false);
    if (StringGrid1->CanFocus()) StringGrid1->SetFocus();
}

int TForm1::FindBreakpointRow(int value) const
{
    for (int r = 1; r < StringGrid1->RowCount(); ++r)
        if (CellValue(StringGrid1->Cells(0, r)) >= value) return r - 1;
    return StringGrid1->RowCount() - 1;
}

void TForm1::Correct(int col, int row, int value, const std::string& message)
{
    StringGrid1->SetCells(col, row, std::to_string(value));
    ShowStatus(message);
    Repaint();
    // Long enough to follow the messages one after another.
    Sleep(100);
}

void TForm1::StringGrid1Exit(TObject*)
{
    TTableKind* kind = CurrentKind();
    if (!FileLoaded || !kind) return;
    const TTableEntry& entry = Config.FileSet[CurrentTable];
    const bool tp = kind == &Kinds.Tp;
    const bool ignition = kind == &Kinds.Ignition;
    const int rows = std::min(StringGrid1->RowCount() - 1, TTableKind::Layout.Rows);
    const int columns = std::min(StringGrid1->ColCount() - 1, TTableKind::Layout.Columns);
    const int scale = TTableKind::TpScale();
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
            int v;
            if (!ReadCellValue(StringGrid1->Cells(c, r), v)) {
                // Text that is no number is not a value: the table keeps its own.
                StringGrid1->SetCells(c, r, std::to_string(kind->Cell(r - 1, c - 1)));
                continue;
            }
            if (!NoLimit) {
                if (tp) {
                    // The breakpoint comes from the file and may be anything: wide sums.
                    long long t = CellValue(StringGrid1->Cells(c, 0));
                    if (v > scale) Correct(c, r, v = scale, Text(186));
                    if (v < -scale) Correct(c, r, v = -scale, Text(187));
                    if (v + t > 100) Correct(c, r, v = SaturatedInt(100 - t), Text(188));
                    if (v + t < 0) Correct(c, r, v = SaturatedInt(-t), Text(189));
                } else {
                    // No timing change below the ignition floor: every row whose
                    // engine speed lies under it stays 0.
                    if (ignition && v != 0 && CellValue(StringGrid1->Cells(0, r)) < Config.IgnitionRpmFloor) {
                        v = 0;
                        Correct(c, r, 0,
                                Text(229) + " " + std::to_string(Config.IgnitionRpmFloor) + " " + Text(230));
                    }
                    if (v > entry.Max) Correct(c, r, v = entry.Max, Text(186));
                    if (v < entry.Min) Correct(c, r, v = entry.Min, Text(187));
                }
            }
            kind->SetCell(r - 1, c - 1, v);
        }
    }
    Timer1->SetEnabled(false);
    Timer1->SetEnabled(true);
}

void TForm1::AddToSelection(int delta)
{
    TGridRect s = StringGrid1->Selection();
    for (int r = s.Top; r <= s.Bottom; ++r)
        for (int c = s.Left; c <= s.Right; ++c) {
            int v;
            if (ReadCellValue(StringGrid1->Cells(c, r), v))
                StringGrid1->SetCells(c, r, std::to_string(SaturatedInt(static_cast<long long>(v) + delta)));
        }
}

void TForm1::StringGrid1KeyDown(TObject*, WORD& key, TShiftState shift)
{
    StringGrid1->SetOptions(StringGrid1->Options() | goEditing);
    if (FileLoaded) MapEdited = true;
    switch (key) {
    case VK_PRIOR:
        AddToSelection(1);
        key = 0;
        break;
    case VK_NEXT:
        AddToSelection(-1);
        key = 0;
        break;
    case VK_INSERT:
        // Only the plain key uploads: with Shift or Ctrl it is the editor's
        // paste or copy, and no key with a modifier writes the controller.
        if (shift & (ssShift | ssCtrl | ssAlt)) break;
        UploadCurrentFromKey();
        key = 0;
        break;
    default:
        break;
    }
}

void TForm1::StringGrid1KeyUp(TObject*, WORD& key, TShiftState)
{
    StringGrid1->SetOptions(StringGrid1->Options() & ~goEditing);
    bool copies = (key >= '0' && key <= '9') || (key >= VK_NUMPAD0 && key <= VK_DIVIDE) || key == VK_BACK ||
                  key == VK_DELETE;
    if (copies) {
        // The current cell's text goes to every other cell of the selection.
        std::string text = StringGrid1->InplaceEditor() && StringGrid1->EditorMode()
                               ? StringGrid1->InplaceEditor()->Text()
                               : StringGrid1->Cells(StringGrid1->Col(), StringGrid1->Row());
        TGridRect s = StringGrid1->Selection();
        for (int r = s.Top; r <= s.Bottom; ++r)
            for (int c = s.Left; c <= s.Right; ++c)
                if (c != StringGrid1->Col() || r != StringGrid1->Row()) StringGrid1->SetCells(c, r, text);
    }
    if (CompareWindowOpen) StringGrid1Exit(this);
}

void TForm1::Copy1Click(TObject*)
{
    if (!FileLoaded) return;
    TGridRect s = StringGrid1->Selection();
    std::string text;
    for (int r = s.Top; r <= s.Bottom; ++r) {
        if (r > s.Top) text += "\r\n";
        for (int c = s.Left; c <= s.Right; ++c) {
            if (c > s.Left) text += '\t';
            text += StringGrid1->Cells(c, r);
        }
    }
    Clipboard()->SetAsText(text);
}

void TForm1::Paste1Click(TObject*)
{
    if (!FileLoaded) return;
    constexpr size_t PasteLimit = 2048;
    std::string text = Clipboard()->AsText();
    if (text.size() > PasteLimit) {
        // A line that goes on past the limit would paste a number cut in
        // two: only the whole lines before it are pasted.
        const bool lineGoesOn = text[PasteLimit] != '\r' && text[PasteLimit] != '\n';
        text.resize(PasteLimit);
        if (lineGoesOn) {
            const size_t lastBreak = text.find_last_of("\r\n");
            text.resize(lastBreak == std::string::npos ? 0 : lastBreak);
        }
    }
    TGridRect s = StringGrid1->Selection();
    const bool single = s.Left == s.Right && s.Top == s.Bottom;
    const int right = single ? StringGrid1->ColCount() - 1 : s.Right;
    const int bottom = single ? StringGrid1->RowCount() - 1 : s.Bottom;
    int k = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() + 1 : end + 1;
        if (line.empty()) continue;
        size_t field = 0;
        for (int j = 0;; ++j) {
            size_t tab = line.find('\t', field);
            std::string value = line.substr(field, tab == std::string::npos ? std::string::npos : tab - field);
            int col = s.Left + j, row = s.Top + k;
            int v;
            // Only numbers, and only where the selection allows.
            if (col <= right && row <= bottom && ReadCellValue(value, v)) {
                StringGrid1->SetCells(col, row, std::to_string(v));
                MapEdited = true;
            }
            if (tab == std::string::npos) break;
            field = tab + 1;
        }
        ++k;
    }
}

void TForm1::SelectAll1Click(TObject*)
{
    if (StringGrid1->CanFocus()) StringGrid1->SetFocus();
    int lastCol = StringGrid1->ColCount() - 1, lastRow = StringGrid1->RowCount() - 1;
    StringGrid1->SetCol(lastCol);
    StringGrid1->SetRow(lastRow);
    TGridRect all;
    all.Left = 1;
    all.Top = 1;
    all.Right = lastCol;
    all.Bottom = lastRow;
    StringGrid1->SetSelection(all);
    StringGrid1->Repaint();
}

void TForm1::StringGrid1Click(TObject*)
{
    StringGrid1->Repaint();
}

void TForm1::StringGrid1GetCellColor(TObject*, int row, int col, TGridDrawState state, TCellAlignment&, bool&,
                                     TBrush* brush, TFont* font)
{
    const bool fixed = row == 0 || col == 0;
    if (fixed) font->SetColor(clWhite);
    TGridRect s = StringGrid1->Selection();
    bool inSelection = (col >= s.Left && col <= s.Right) || (row >= s.Top && row <= s.Bottom);
    if (!(state & gdSelected) && inSelection) {
        if (fixed) {
            brush->SetColor(clBlack);
            font->SetColor(TColor(0x00FF00));
        } else {
            brush->SetColor(OffsetColor(StringGrid1->Color(), -20));
        }
    }
}

void TForm1::StringGrid1DrawCell(TObject*, int col, int row, const RECT& rect, TGridDrawState)
{
    RECT r = rect;
    std::string text = StringGrid1->Cells(col, row);
    DrawTextA(StringGrid1->Canvas()->Handle(), text.c_str(), int(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

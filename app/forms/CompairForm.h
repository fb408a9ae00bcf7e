// TCompairForm, the compare window: the loaded file's version of the shown
// table next to the controller's, every cell coloured by how the two
// differ. It keeps what it read from the controller per table until
// Recompare or until it closes, so that going back to a table does not
// read it again.
#pragma once

#include "Button.h"
#include "Form.h"
#include "Grid.h"
#include "Label.h"
#include "Panel.h"
#include "ResizerPanel.h"
#include "TabControl.h"
#include "TableSet.h"

#include <cstdint>
#include <string>
#include <vector>

class TCompairForm : public TForm {
    GANTREL_CLASS(TCompairForm)

    explicit TCompairForm(TComponent* owner);

    TResizerPanel* ResizerPanel1 = nullptr;
    TLabel* Label1 = nullptr;     // the window's status text
    TButton* Button2 = nullptr;   // Recompare
    TButton* Button3 = nullptr;   // Exit
    TButton* Button4 = nullptr;   // >>
    TButton* Button5 = nullptr;   // <<
    TPanel* Panel1 = nullptr;     // "Table", between the arrows
    TTabControl* TabControl1 = nullptr;  // tab 0 the controller, tab 1 the file
    TStringGrid* StringGrid1 = nullptr;

    void FormCreate(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void Button2Click(TObject* sender);
    void Button3Click(TObject* sender);
    void Button4Click(TObject* sender);
    void Button5Click(TObject* sender);
    void TabControl1Change(TObject* sender);
    void StringGrid1DrawCell(TObject* sender, int col, int row, const RECT& rect, TGridDrawState state);

    void LoadFileTable();
    void LoadControllerTable();
    void MarkDifferences(const std::vector<uint8_t>& controller, const std::vector<uint8_t>& file);
    void ShowSelectedTab();
    void UpdateFileTab();
    bool CheckVersions();
    // Forgets every controller table read so far and compares the shown
    // table again (Recompare, or another table position chosen).
    void CompareAgain();
    // The main window's map or its tables were replaced (loaded from
    // fileName, or read from the controller): nothing read or packed for
    // the old one is shown or reused.
    void MapReplaced(const std::string& fileName);

    // The byte of a 288-byte table that grid cell (col, row) shows, or -1
    // when the cell shows none (a fixed cell, a column past the table's
    // nine, a breakpoint outside the table's 32 engine-speed cells).
    int ByteIndex(int col, int row) const;

    // The caches, indexed like the table sets.
    std::vector<uint8_t> FileBuffers[TTableSet::MaxEntries];
    std::vector<uint8_t> ControllerBuffers[TTableSet::MaxEntries];
    bool Fetched[TTableSet::MaxEntries] = {};
    // Per byte: 0 equal, -1 different bytes that show the same value,
    // +1 different shown values.
    std::vector<int> Differences;
    // The table this window compares (the main window's shown table when
    // the comparison was made).
    int TableIndex = 0;

    static const TFormTable* Table();

private:
    void ShowBreakpoints();
    void ForgetControllerTables();
    // The controller's tables and the file's, as packed for comparing.
    void ForgetTables();
    void ShowNoTable();
    void SetFileTab(const std::string& fileName);
};

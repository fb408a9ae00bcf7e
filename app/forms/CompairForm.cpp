#include "CompairForm.h"

#include "Dialogs.h"
#include "Form1.h"
#include "GridCells.h"
#include "IniFiles.h"
#include "SysUtils.h"

#include <algorithm>

namespace {
// Half of a (possibly negative) offset, rounded toward negative infinity.
int HalfDown(int offset)
{
    return offset >= 0 ? offset / 2 : -((1 - offset) / 2);
}
}  // namespace

const TFormTable* TCompairForm::Table()
{
    static const TFormTable table = {
        {GANTREL_FIELD(TCompairForm, ResizerPanel1), GANTREL_FIELD(TCompairForm, Label1),
         GANTREL_FIELD(TCompairForm, Button2), GANTREL_FIELD(TCompairForm, Button3),
         GANTREL_FIELD(TCompairForm, Button4), GANTREL_FIELD(TCompairForm, Button5),
         GANTREL_FIELD(TCompairForm, Panel1), GANTREL_FIELD(TCompairForm, TabControl1),
         GANTREL_FIELD(TCompairForm, StringGrid1)},
        {GANTREL_HANDLER(TCompairForm, FormCreate), GANTREL_HANDLER(TCompairForm, FormClose),
         GANTREL_HANDLER(TCompairForm, Button2Click), GANTREL_HANDLER(TCompairForm, Button3Click),
         GANTREL_HANDLER(TCompairForm, Button4Click), GANTREL_HANDLER(TCompairForm, Button5Click),
         GANTREL_HANDLER(TCompairForm, TabControl1Change), GANTREL_HANDLER(TCompairForm, StringGrid1DrawCell)},
    };
    return &table;
}

TCompairForm::TCompairForm(TComponent* owner) : TForm(owner, 0)
{
    ReadFormResource(this, Table());
}

void TCompairForm::FormCreate(TObject*)
{
    if (TFont* shared = GetUiFont()) ResizerPanel1->SetFont(shared);
    TIniFile ini(Form1->SettingsPath);
    SetStoredBounds(this, ini.ReadInteger("CompairPlacement", "Left", 0), ini.ReadInteger("CompairPlacement", "Top", 0),
                    Width(), Height(), Width(), Height());
    ShowBreakpoints();
    Differences.assign(size_t(TTableKind::TableSize()), 0);

    SetCaption(Form1->Text(TextId::CompareCaption));
    if (Form1->Config.ControllerVersion == 100) {
        Panel1->SetVisible(false);
        Button4->SetVisible(false);
        Button5->SetVisible(false);
    } else {
        Panel1->SetCaption(Form1->Text(TextId::CompareTableLabel));
    }
    Button2->SetCaption(Form1->Text(TextId::Recompare));
    Button3->SetCaption(Form1->Text(TextId::CompareExit));

    TStrings* tabs = TabControl1->Tabs();
    while (tabs->Count() < 2) tabs->Add("");
    tabs->Put(0, Form1->Text(TextId::ControllerTab));
    UpdateFileTab();
    Repaint();

    LoadFileTable();
    LoadControllerTable();
    ShowSelectedTab();
}

void TCompairForm::ShowBreakpoints()
{
    StringGrid1->SetColCount(Form1->StringGrid1->ColCount());
    StringGrid1->SetRowCount(Form1->StringGrid1->RowCount());
    StringGrid1->SetCells(0, 0, "");
    const TMapLayout& layout = TTableKind::Layout;
    const int columns = std::min(StringGrid1->ColCount() - 1, int(layout.ColumnBreakpoints.size()));
    const int rows = std::min(StringGrid1->RowCount() - 1, int(layout.RowBreakpoints.size()));
    for (int c = 1; c <= columns; ++c)
        StringGrid1->SetCells(c, 0, std::to_string(layout.ColumnBreakpoints[size_t(c - 1)]));
    for (int r = 1; r <= rows; ++r) StringGrid1->SetCells(0, r, std::to_string(layout.RowBreakpoints[size_t(r - 1)]));
}

void TCompairForm::UpdateFileTab()
{
    SetFileTab(Form1->CurrentFileName);
}

void TCompairForm::SetFileTab(const std::string& fileName)
{
    std::string name = ExtractFileName(fileName);
    name = name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
    TStrings* tabs = TabControl1->Tabs();
    if (tabs->Count() > 1 && tabs->Get(1) != name) tabs->Put(1, name);
}

void TCompairForm::LoadFileTable()
{
    // Every comparison starts here: it is about the table the main window shows.
    TableIndex = Form1->CurrentTable;
    ShowBreakpoints();
    const TTableSet& set = Form1->Config.FileSet;
    const int i = TableIndex;
    if (i < 0 || i >= std::min(set.Count, int(TTableSet::MaxEntries)) || !set[i].Kind) return;
    if (Fetched[i]) return;
    FileBuffers[i].assign(size_t(TTableKind::TableSize()), 0);
    TGridCells cells(Form1->StringGrid1);
    set[i].Kind->GridToBytes(FileBuffers[i].data(), cells, set.RpmStep);
}

void TCompairForm::LoadControllerTable()
{
    Sleep(100);
    Form1->Repaint();
    const TTableSet& set = Form1->Config.FileSet;
    const int i = TableIndex;
    if (i < 0 || i >= std::min(set.Count, int(TTableSet::MaxEntries)) || !set[i].Kind) return;
    const TTableKind* kind = set[i].Kind;
    const int base = Form1->Language.GetBase();
    if (Fetched[i]) {
        MarkDifferences(ControllerBuffers[i], FileBuffers[i]);
        ShowSelectedTab();
        Label1->SetCaption(kind->Text(base, 5));
        return;
    }

    // Until a read succeeds the window has nothing of the controller's to show.
    ControllerBuffers[i].clear();
    Differences.assign(size_t(TTableKind::TableSize()), 0);
    if (!Form1->PauseForTransfer()) {
        Label1->SetCaption(kind->Text(base, 3));
        return;
    }
    Label1->SetCaption(kind->Text(base, 2));
    Repaint();
    std::vector<uint8_t> bytes(size_t(TTableKind::TableSize()), 0);
    const int wire = Form1->Config.ControllerSet[i].WireTable + Form1->ComparePosition;
    if (Form1->Port.ReadTable(wire, bytes.data(), int(bytes.size())) == TComPort::Ok) {
        ControllerBuffers[i] = bytes;
        Fetched[i] = true;
        MarkDifferences(ControllerBuffers[i], FileBuffers[i]);
        Label1->SetCaption(kind->Text(base, 4));
    } else {
        // A short or missing reply is no table: nothing of it is shown or cached.
        Label1->SetCaption(kind->Text(base, 3));
    }
    Form1->PauseMonitor(false);
}

void TCompairForm::MarkDifferences(const std::vector<uint8_t>& controller, const std::vector<uint8_t>& file)
{
    const size_t size = size_t(TTableKind::TableSize());
    Differences.assign(size, 0);
    const TTableSet& set = Form1->Config.FileSet;
    const int i = TableIndex;
    if (i < 0 || i >= std::min(set.Count, int(TTableSet::MaxEntries)) || !set[i].Kind) return;
    if (controller.size() < size || file.size() < size) return;
    const TTableKind* kind = set[i].Kind;
    for (size_t p = 0; p < size; ++p) {
        if (controller[p] == file[p]) continue;
        Differences[p] = kind->ShownValue(controller[p]) == kind->ShownValue(file[p]) ? -1 : 1;
    }
}

void TCompairForm::ShowSelectedTab()
{
    const TTableSet& set = Form1->Config.FileSet;
    const int i = TableIndex;
    if (i < 0 || i >= std::min(set.Count, int(TTableSet::MaxEntries)) || !set[i].Kind) return;
    const std::vector<uint8_t>& bytes = TabControl1->TabIndex() == 1 ? FileBuffers[i] : ControllerBuffers[i];
    if (bytes.size() < size_t(TTableKind::TableSize())) {
        ShowNoTable();
        return;
    }
    TGridCells cells(StringGrid1);
    set[i].Kind->BytesToGrid(bytes.data(), cells, set.RpmStep);
    StringGrid1->Invalidate();
}

void TCompairForm::ShowNoTable()
{
    for (int r = 1; r < StringGrid1->RowCount(); ++r)
        for (int c = 1; c < StringGrid1->ColCount(); ++c) StringGrid1->SetCells(c, r, "--");
    StringGrid1->Invalidate();
}

int TCompairForm::ByteIndex(int col, int row) const
{
    if (col < 1 || row < 1 || col > TTableKind::TableColumns) return -1;
    const int cell = TTableKind::CellIndex(CellValue(StringGrid1->Cells(0, row)), Form1->Config.FileSet.RpmStep);
    if (cell < 0 || cell >= TTableKind::TableCells) return -1;
    return (col - 1) * TTableKind::TableCells + cell;
}

void TCompairForm::StringGrid1DrawCell(TObject*, int col, int row, const RECT& rect, TGridDrawState)
{
    TCanvas* canvas = StringGrid1->Canvas();
    TFont* font = canvas->Font();
    if (col < StringGrid1->FixedCols() || row < StringGrid1->FixedRows()) {
        font->SetColor(clBlack);
        font->SetStyle(0);
    } else {
        canvas->Brush()->SetColor(clWhite);
        const int p = ByteIndex(col, row);
        const int difference = p >= 0 && size_t(p) < Differences.size() ? Differences[size_t(p)] : 0;
        if (difference > 0) {
            font->SetColor(TColor(0x0000FF));
            font->SetStyle(1u << fsBold);
        } else if (difference < 0) {
            font->SetColor(TColor(0xFF0000));
            font->SetStyle(1u << fsBold);
        } else {
            font->SetColor(clBlack);
            font->SetStyle(0);
        }
    }
    const std::string text = StringGrid1->Cells(col, row);
    const SIZE extent = canvas->TextExtent(text);
    const int x = rect.left + HalfDown(int(rect.right - rect.left) - extent.cx);
    const int y = rect.top + HalfDown(int(rect.bottom - rect.top) - extent.cy);
    canvas->TextRect(rect, x, y, text);
}

bool TCompairForm::CheckVersions()
{
    const int compatibility = Form1->Config.CheckCompatibility();
    if (compatibility < 0) {
        Form1->ShowStatus(Form1->Text(237));
        return false;
    }
    if (compatibility == 0) {
        if (!Form1->CompareAskedOnce && MessageDlg(Form1->Text(239), mtConfirmation, mbYesNo) != mrYes) return false;
        Form1->CompareAskedOnce = true;
    }
    UpdateFileTab();
    return true;
}

void TCompairForm::Button4Click(TObject*)
{
    TPortCommand scope(Form1);
    if (!scope.Entered) return;
    if (!CheckVersions()) return;
    Form1->TableStepForward = true;
    Form1->Button6Click(this);
    LoadFileTable();
    LoadControllerTable();
    ShowSelectedTab();
    Form1->Repaint();
}

void TCompairForm::Button5Click(TObject*)
{
    TPortCommand scope(Form1);
    if (!scope.Entered) return;
    if (!CheckVersions()) return;
    Form1->TableStepForward = false;
    Form1->Button6Click(this);
    LoadFileTable();
    LoadControllerTable();
    ShowSelectedTab();
    Form1->Repaint();
}

void TCompairForm::ForgetControllerTables()
{
    for (int i = 0; i < TTableSet::MaxEntries; ++i) {
        Fetched[i] = false;
        ControllerBuffers[i].clear();
        ControllerBuffers[i].shrink_to_fit();
    }
}

void TCompairForm::ForgetTables()
{
    // The file buffers are packed again only for tables not fetched: they
    // go with the fetched flags, as the controller's reads do.
    ForgetControllerTables();
    for (std::vector<uint8_t>& buffer : FileBuffers) {
        buffer.clear();
        buffer.shrink_to_fit();
    }
}

void TCompairForm::MapReplaced(const std::string& fileName)
{
    ForgetTables();
    Differences.assign(Differences.size(), 0);
    ShowBreakpoints();
    ShowNoTable();
    SetFileTab(fileName);
}

void TCompairForm::CompareAgain()
{
    ForgetControllerTables();
    LoadFileTable();
    LoadControllerTable();
    ShowSelectedTab();
}

void TCompairForm::Button2Click(TObject*)
{
    TPortCommand scope(Form1);
    if (!scope.Entered) return;
    if (!CheckVersions()) return;
    CompareAgain();
}

void TCompairForm::Button3Click(TObject*)
{
    Close();
}

void TCompairForm::TabControl1Change(TObject*)
{
    ShowSelectedTab();
}

void TCompairForm::FormClose(TObject*, TCloseAction& action)
{
    TIniFile ini(Form1->SettingsPath);
    ini.WriteInteger("CompairPlacement", "Top", Top());
    ini.WriteInteger("CompairPlacement", "Left", Left());
    Form1->Button1->SetEnabled(true);
    ForgetTables();
    action = caFree;
    Form1->TableStepForward = true;
    Form1->CompareWindowOpen = false;
    Form1->CompareWindow = nullptr;
}

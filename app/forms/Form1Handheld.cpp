// Sending maps to the handheld: the record's tables packed from the loaded
// map, the controller's port released while the handheld dialog runs.
#include "Form1.h"

#include "Form11.h"
#include "SysUtils.h"

#include <cstdlib>
#include <vector>

namespace {

// A table kind's own cells as the grid shows them: the row breakpoints in
// column 0, the values beside them.
class TKindCells : public TCellText {
public:
    explicit TKindCells(const TTableKind& kind) : Kind(kind) {}
    std::string GetCell(int col, int row) const override
    {
        const TMapLayout& layout = TTableKind::Layout;
        if (row < 1 || row > layout.Rows || col < 0 || col > layout.Columns) return std::string();
        if (col == 0) return std::to_string(layout.RowBreakpoints[size_t(row - 1)]);
        return std::to_string(Kind.Cell(row - 1, col - 1));
    }
    void SetCell(int, int, const std::string&) override {}

private:
    const TTableKind& Kind;
};

}  // namespace

int TForm1::ControllerPortNumber() const
{
    if (PortOpenName.size() <= 3) return 0;
    const char* digits = PortOpenName.c_str() + 3;
    char* end = nullptr;
    long number = std::strtol(digits, &end, 10);
    if (end == digits || *end != '\0' || number < 0 || number > 255) return 0;
    return int(number);
}

void TForm1::SelectControllerPortAgain(int number)
{
    if (number >= 1 && number <= 4) SelectPort(number);
}

int TForm1::HandheldHardwareId() const
{
    // A model whose low byte is 100 or more is its own id; the others take
    // the last controller version the compatibility matrix gives them, and
    // models it has no row for have none.
    return Config.LastCompatibleVersion(Config.FileModel) & 0xFF;
}

void TForm1::SendMapToHandheld(int hardwareId)
{
    // The throttle range of the handheld's unit, for packing the TP table.
    TConfiguration::SetTpDefaultsForModel(hardwareId);

    // Every table from its own cells, into the slot of its wire number.
    uint8_t* record = Form11->MapRecord;
    record[TForm11::HardwareIdOffset] = uint8_t(hardwareId);
    const int tableSize = TTableKind::TableSize();
    for (int k = 0; k < Config.FileSet.Count; ++k) {
        const TTableEntry& entry = Config.FileSet[k];
        if (!entry.Kind || entry.WireTable < 0 || entry.WireTable > 5) continue;
        entry.Kind->GridToBytes(record + TForm11::TablesOffset + tableSize * entry.WireTable, TKindCells(*entry.Kind),
                                Config.FileSet.RpmStep);
    }
    record[TForm11::TableCountOffset] = uint8_t(Config.FileSet.Count);

    Form11->Edit1->SetText(ExtractFileName(CurrentFileName));
    const TTableKind* first = Config.FileSet[0].Kind;
    Form11->Memo1->SetText(first ? first->Notes : std::string());
    Form11->Edit2->SetText(std::to_string(hardwareId));
    Form11->ShowModal();
}

void TForm1::SendCurrentMapToHandheld1Click(TObject*)
{
    TPortCommand scope(this);
    if (scope.Entered) SendCurrentMapToHandheld();
}

void TForm1::SendCurrentMapToHandheld()
{
    if (!FileLoaded) {
        ShowStatus(Text(TextId::LoadFileFirst));
        return;
    }
    // Refused before the controller's port is touched, so that choosing it
    // again does not put the connection's message over the refusal.
    const int hardwareId = HandheldHardwareId();
    if (hardwareId == 0) {
        ShowStatus(Text(TextId::HandheldFileNotCompatible));
        return;
    }
    // The grid's edits go into their table before it is packed.
    StringGrid1Exit(this);
    const int port = ControllerPortNumber();
    // The handheld's search must not meet the controller's port still polled.
    if (!ReleasePort()) return;
    SendMapToHandheld(hardwareId);
    SelectControllerPortAgain(port);
}

void TForm1::SendMapsToHandheld1Click(TObject*)
{
    TPortCommand scope(this);
    if (!scope.Entered) return;
    // The chosen maps are loaded in turn and the current one is read back
    // from its file afterwards: its edits are saved first, or the command ends.
    int answer = AskSaveChanges();
    if (answer == mrCancel) return;
    if (answer == mrYes && !SaveMapFile()) return;

    TGantOpenDialog* dialog = GantOpenDialog1;
    dialog->SetOptions((1u << ofHideReadOnly) | (1u << ofAllowMultiSelect) | (1u << ofEnableSizing));
    dialog->SetInitialDir(MapDirectory);
    if (!dialog->Execute()) return;
    std::vector<std::string> files;
    for (int i = 0; i < dialog->Files()->Count(); ++i) files.push_back(dialog->Files()->Get(i));

    const int port = ControllerPortNumber();
    if (!ReleasePort()) return;
    const std::string remembered = CurrentFileName;
    // The window shows each map as it is loaded, so that the grid never
    // holds another map's values (leaving the grid stores them); the map
    // folder stays where the user works.
    const std::string directory = MapDirectory;
    auto show = [&](const std::string& name) {
        ShowLoadedMap(name);
        MapDirectory = directory;
    };
    // The map the table kinds hold: a file that cannot be loaded leaves the
    // one before, which is not sent under the refused file's name.
    std::string loaded = FileLoaded ? CurrentFileName : std::string();
    for (const std::string& name : files) {
        CurrentFileName = name;
        if (!LoadMapFile(name)) continue;
        loaded = name;
        show(name);
        SendCurrentMapToHandheld();
    }
    if (!remembered.empty() && LoadMapFile(remembered)) {
        loaded = remembered;
        show(remembered);
    }
    CurrentFileName = loaded;
    SelectControllerPortAgain(port);
}

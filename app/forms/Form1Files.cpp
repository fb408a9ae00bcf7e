// Loading and saving map files.
#include "Form1.h"

#include "Application.h"
#include "CompairForm.h"
#include "GantOpenDialog.h"
#include "SysUtils.h"

#include <cstdio>
#include <cstdlib>

namespace {
std::string Framed(const std::string& text) { return "*** " + text + " ***"; }
}  // namespace

bool TForm1::LoadMapFile(const std::string& name, bool savedMap)
{
    bool loaded = false;
    TMapHeader header;
    const int code = Kinds.Fuel.ReadMapHeader(name, header);
    // Everything is checked before anything changes: a file that cannot be
    // loaded leaves the map on screen as it was.
    const int tables = TConfiguration::FileTableCount(header.Format, code);
    if (tables < 0 || !CheckMapFile(name, tables)) {
        ShowStatus(Framed(Text(TextId::FileNotLoaded)));
    } else {
        TWindowChanges changes;
        Config.ConfigureForFile(header.Format, code, header.O2, changes);
        ApplyWindowChanges(changes);
        Config.FileFormat = header.Format;
        std::string version = Text(450) + " " + std::to_string(code & 0xFFFFF);
        StringGrid1->Hint = version;
        PopFVersion->SetCaption(version);
        CurrentTable = 0;
        Repaint();
        int read = 0;
        for (int k = 0; k < Config.FileSet.Count; ++k) read += Config.FileSet[k].Kind->ReadMapFile(name, KeptHeader, k == 0);
        if (read == Config.FileSet.Count) {
            for (int i = 0; i < 4; ++i) TpFactors[i] = float((uint32_t(KeptHeader.TpFractions) >> (8 * i)) & 0xFF) * 0.004f;
            TpFactorsKnown = true;
            NotesEdited = false;
            MapEdited = false;
            KeptHeader.TableCount = header.TableCount;
            NotesLength = KeptHeader.NotesLength;
            FileLoaded = true;
            const TMapLayout& layout = TTableKind::Layout;
            StringGrid1->SetColCount(layout.Columns + 1);
            StringGrid1->SetRowCount(layout.Rows + 1);
            StringGrid1->SetCells(0, 0, "");
            for (int c = 1; c <= layout.Columns; ++c)
                StringGrid1->SetCells(c, 0, std::to_string(layout.ColumnBreakpoints[size_t(c - 1)]));
            SetStatusPanel(1, ExtractFileName(name));
            SetStatusPanel(0, Text(TextId::NotModified));
            // A save under the notes window reloads the file: notes and
            // compare stay off until that window closes; the compare
            // window keeps the notes off the same way.
            if (!NotesWindow) {
                Button1->SetEnabled(!CompareWindowOpen);
                Button3->SetEnabled(true);
            }
            loaded = true;
        } else {
            // Checked above; only a file changed meanwhile gets here.
            FileLoaded = false;
            ShowStatus(Framed(Text(TextId::FileNotLoaded)));
            SetStatusPanel(1, Text(130));
            Repaint();
        }
        // Once the grid has the new map's shape.
        if (CompareWindow && !savedMap) CompareWindow->MapReplaced(name);
    }
    Timer1->SetEnabled(false);
    Timer1->SetEnabled(true);
    return loaded;
}

void TForm1::ShowLoadedMap(const std::string& name)
{
    FileChosen = true;
    MapDirectory = ExtractFilePath(name);
    for (TButton* button : {Button5, Button7, Button9, Button10, Button8}) button->SetEnabled(true);
    for (TMenuItem* item : {Save1, Upload1, Compare1, GetMap1, Notes1, Print1}) item->SetEnabled(true);
    StringGrid1->SetEnabled(true);
    TStrings* tabs = EpIITabControl1->Tabs();
    tabs->BeginUpdate();
    tabs->Clear();
    for (int k = 0; k < Config.FileSet.Count; ++k) tabs->Add(Config.FileSet[k].Kind->Text(Language.GetBase(), 5));
    tabs->EndUpdate();
    ShowTable(0, true);
    ShowAdvancedControls();
}

// "month/day/year" of the file's last write, as printing shows it.
static std::string FileDateText(const std::string& name)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    WORD dosDate = 0, dosTime = 0;
    if (GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data) &&
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local))
        FileTimeToDosDateTime(&local, &dosDate, &dosTime);
    char date[15];
    std::snprintf(date, sizeof date, "%u/%u/%u", unsigned((dosDate >> 5) & 15), unsigned(dosDate & 31),
                  unsigned((dosDate >> 9) + 1980));
    return date;
}

void TForm1::LoadCommandLineMap()
{
    if (__argc != 2) return;
    std::string name = __argv[1];
    if (!LoadMapFile(name)) return;
    // A map from the command line prints its date like one that was opened.
    FileDate = FileDateText(name);
    CurrentFileName = name;
    ShowLoadedMap(name);
}

void TForm1::Button4Click(TObject*)
{
    // The notes window shows this map's note: no other map comes in under it.
    if (NotesWindow) return;
    int answer = AskSaveChanges();
    if (answer == mrCancel) return;
    // A save that did not happen keeps the edited map on screen.
    if (answer == mrYes && !SaveMapFile()) return;
    TGantOpenDialog* dialog = GantOpenDialog1;
    dialog->SetOptions((1u << ofHideReadOnly) | (1u << ofEnableSizing));
    dialog->SetInitialDir(MapDirectory);
    if (!dialog->Execute()) return;
    std::string name = dialog->FileName();
    MapDirectory = ExtractFilePath(name);
    std::string fileDate = FileDate;
    if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
        std::fclose(f);
        fileDate = FileDateText(name);
    }
    // A refused file leaves the loaded map with its own date.
    if (!LoadMapFile(name)) return;
    FileDate = fileDate;
    CurrentFileName = name;
    ShowLoadedMap(name);
}

bool TForm1::SaveMapFile()
{
    StringGrid1Exit(this);
    Label1->SetCaption("");
    Repaint();
    if (!FileLoaded) {
        ShowStatus(Text(TextId::CantSaveNoFile));
        return false;
    }
    SaveDialog1->SetTitle(Text(TextId::SaveMapTitle));
    SaveDialog1->SetFilter("Map " + Text(TextId::FilterFiles) + " (*.map)|*.map|" + Text(TextId::FilterAnyFiles) +
                           " (*.*)|*.*");
    SaveDialog1->SetDefaultExt("map");
    SaveDialog1->SetFileName(CurrentFileName);
    SaveDialog1->SetOptions(SaveDialog1->Options() | (1u << ofOverwritePrompt));
    if (!SaveDialog1->Execute()) {
        ShowStatus(Framed(Text(TextId::FileNotSaved)));
        return false;
    }
    std::string name = SaveDialog1->FileName();
    const TTableKind* first = Config.FileSet[0].Kind;
    if (!WriteMapFile(name, KeptHeader, Config.FileSet, int8_t(Config.O2Value), first ? first->Notes : std::string())) {
        DWORD attributes = GetFileAttributesA(name.c_str());
        bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
        ShowStatus(Framed(Text(TextId::FileNotSaved)) + (readOnly ? "  " + Text(TextId::FileReadOnly) : std::string()));
        return false;
    }
    NotesEdited = false;
    MapEdited = false;
    ShowStatus(Text(TextId::FileSaved));
    CurrentFileName = name;
    SetStatusPanel(1, ExtractFileName(name));
    // The saved file comes back in, showing the table it was saved from.
    int shown = CurrentTable;
    if (LoadMapFile(name, true)) {
        ShowStatus(Text(TextId::FileSaved));
        ShowTable(shown < Config.FileSet.Count ? shown : 0, true);
    }
    Repaint();
    return true;
}

void TForm1::Button5Click(TObject*)
{
    SaveMapFile();
}

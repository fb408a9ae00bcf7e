// The compare window: opened by the Compare command against the paced
// simulated controller on COM1, driven with clicks on its own buttons and
// tabs, its grid checked as it is drawn.
#include "CompairForm.h"
#include "EditNotes.h"
#include "Form11.h"
#include "Form14.h"
#include "Graphic.h"
#include "IniFiles.h"
#include "MainWindowFixture.h"
#include "ModalScript.h"

#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace {

const COLORREF Red = RGB(255, 0, 0);
const COLORREF Blue = RGB(0, 0, 255);
const COLORREF Black = RGB(0, 0, 0);

// What one body cell of the compare grid looked like when drawn.
struct TCellLook {
    TColor FontColor = clNone;
    TFontStyles FontStyle = 0;
    int RedPixels = 0, BluePixels = 0, BlackPixels = 0;
    std::string Text;
};

// Sits in front of the grid's draw handler and notes the font it chose.
struct TDrawProbe {
    TStringGrid* Grid = nullptr;
    TDrawCellEvent Original;
    std::map<std::pair<int, int>, std::pair<TColor, TFontStyles>> Fonts;

    static void Call(void* self, TObject* sender, int col, int row, const RECT& rect, TGridDrawState state)
    {
        auto* probe = static_cast<TDrawProbe*>(self);
        probe->Original(sender, col, row, rect, state);
        TFont* font = probe->Grid->Canvas()->Font();
        probe->Fonts[{col, row}] = {font->Color(), font->Style()};
    }
};

// The Fuel kind's byte for the map values 0..4: trunc(v x 2 x 0.01 x 128 + 0.5) + 128.
const uint8_t FuelByte[5] = {128, 131, 133, 136, 138};
// The Ignition-B kind's: trunc(v x 128 / 22.5 + 0.5 + 128).
const uint8_t IgnitionBByte[5] = {128, 134, 139, 145, 151};

// The controller table that table t of a 13-row map of MakeMapBytes
// (breakpoints 500 .. 6500, values (t + r + c) mod 5) packs to with the
// 500 RPM step: row r sits in cell 31 - r of each column, the cells above
// the last row take its value.
std::vector<uint8_t> PackedMap(const uint8_t (&byteOf)[5], int t)
{
    std::vector<uint8_t> table(288);
    for (int c = 0; c < 9; ++c) {
        for (int r = 0; r < 13; ++r) table[size_t(c * 32 + 31 - r)] = byteOf[(t + r + c) % 5];
        for (int k = 0; k <= 18; ++k) table[size_t(c * 32 + k)] = byteOf[(t + 12 + c) % 5];
    }
    return table;
}
std::vector<uint8_t> PackedFuelMap()
{
    return PackedMap(FuelByte, 0);
}

// The row breakpoints of a MakeMapBytes file replaced.
std::string WithRowBreakpoints(std::string bytes, int tables, int columns, const std::vector<int32_t>& rows)
{
    for (size_t r = 0; r < rows.size(); ++r) {
        size_t word = 13 + size_t(columns) + r * size_t(1 + tables * columns);
        for (int i = 0; i < 4; ++i) bytes[word * 4 + size_t(i)] = char(uint32_t(rows[r]) >> (8 * i));
    }
    return bytes;
}

int CountToken(const std::string& transcript, const std::string& token)
{
    std::istringstream in(transcript);
    std::string t;
    int n = 0;
    while (in >> t) n += t == token;
    return n;
}

class CompareTest : public MainWindowTest {
protected:
    std::string InitialSettings() override { return "[ComPort]\r\nPort=0\r\n[Advanced]\r\nAdvanced=1\r\n"; }

    bool LoadMap(const std::string& name, int code, int tables, int rows = 13)
    {
        std::string path = TempFile(name);
        WriteFileBytes(path, MakeMapBytes(201, code, tables, rows, 9, "notes"));
        return Load(path);
    }
    void SetControllerTable(int n, const std::vector<uint8_t>& bytes)
    {
        Com1.Ok("table " + std::to_string(n) + " " + ToHex(bytes.data(), int(bytes.size())));
    }

    TCompairForm* Window() { return Form()->CompareWindow; }
    // The Compare command from the menu, as the user chooses it.
    void OpenCompare()
    {
        ASSERT_TRUE(Form()->Compare1->Visible());
        ASSERT_TRUE(Form()->Compare1->Enabled());
        ChooseMenu(Form()->Compare1);
    }
    // A left click in the middle of a control.
    void Click(TWinControl* control)
    {
        RECT r;
        GetClientRect(control->Handle(), &r);
        LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
        PostMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(control->Handle(), WM_LBUTTONUP, 0, at);
        Pump(30);
    }
    void ClickTab(int index)
    {
        TTabControl* tabs = Window()->TabControl1;
        RECT r = tabs->TabRect(index);
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(tabs->Handle(), WM_LBUTTONUP, 0, at);
        Pump(30);
    }
    std::string Transcript() { return Com1.Ok("transcript"); }

    // The compare grid drawn into a bitmap; every body cell's look.
    std::map<std::pair<int, int>, TCellLook> Draw()
    {
        TStringGrid* grid = Window()->StringGrid1;
        TDrawProbe probe;
        probe.Grid = grid;
        probe.Original = grid->OnDrawCell;
        grid->OnDrawCell = TDrawCellEvent(&probe, &TDrawProbe::Call);
        TBitmap bitmap;
        bitmap.SetSize(grid->Width(), grid->Height());
        grid->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
        grid->OnDrawCell = probe.Original;

        std::map<std::pair<int, int>, TCellLook> looks;
        for (int r = 1; r < grid->RowCount(); ++r)
            for (int c = 1; c < grid->ColCount(); ++c) {
                TCellLook look;
                auto font = probe.Fonts.find({c, r});
                if (font != probe.Fonts.end()) {
                    look.FontColor = font->second.first;
                    look.FontStyle = font->second.second;
                }
                RECT cell = grid->CellRect(c, r);
                for (int y = cell.top; y < cell.bottom; ++y)
                    for (int x = cell.left; x < cell.right; ++x) {
                        COLORREF pixel = bitmap.Canvas()->Pixel(x, y);
                        look.RedPixels += pixel == Red;
                        look.BluePixels += pixel == Blue;
                        look.BlackPixels += pixel == Black;
                    }
                look.Text = grid->Cells(c, r);
                looks[{c, r}] = look;
            }
        return looks;
    }
    static bool DrawnRed(const TCellLook& l)
    {
        return l.FontColor == TColor(0x0000FF) && l.FontStyle == (1u << fsBold) && l.RedPixels > 0 &&
               l.BluePixels == 0;
    }
    static bool DrawnBlue(const TCellLook& l)
    {
        return l.FontColor == TColor(0xFF0000) && l.FontStyle == (1u << fsBold) && l.BluePixels > 0 &&
               l.RedPixels == 0;
    }
    static bool DrawnBlack(const TCellLook& l)
    {
        return l.FontColor == clBlack && l.FontStyle == 0 && l.RedPixels == 0 && l.BluePixels == 0 &&
               (l.Text.empty() || l.BlackPixels > 0);
    }
    bool MonitorReleased()
    {
        return !Form()->MonitorThread->PauseRequest &&
               WaitUntil([this] { return LiveValue(1) != "-----" && !LiveValue(1).empty(); }, 6000);
    }
};

TEST_F(CompareTest, ShownDifferencesAreRedAndHiddenOnesBlue)
{
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(LoadMap("colours.map", 1105, 1));  // one Fuel table, 500 RPM step
    std::vector<uint8_t> table = PackedFuelMap();
    // Row 2 (1000 RPM, cell 30), column 3: the map's 3 is byte 136; 135
    // shows as 3 too. Row 5 (2500 RPM, cell 27), column 7: the map's 0;
    // 140 shows as 5. Byte 5 lies above the last row: no cell shows it.
    ASSERT_EQ(136, table[2 * 32 + 30]);
    ASSERT_EQ(128, table[6 * 32 + 27]);
    table[2 * 32 + 30] = 135;
    table[6 * 32 + 27] = 140;
    table[5] = 1;
    SetControllerTable(0, table);

    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    EXPECT_EQ("Fuel Table Retrieved Successfully", Window()->Label1->Caption());
    EXPECT_EQ("Compare", Window()->Caption());
    EXPECT_EQ("Gantrel", Window()->TabControl1->Tabs()->Get(0));
    EXPECT_EQ("gantrel_app_colours", Window()->TabControl1->Tabs()->Get(1));  // no folder, no ".map"
    EXPECT_EQ("1000", Window()->StringGrid1->Cells(0, 2));
    EXPECT_EQ("100", Window()->StringGrid1->Cells(9, 0));

    const std::pair<int, int> blueCell{3, 2}, redCell{7, 5};
    auto looks = Draw();
    EXPECT_TRUE(DrawnBlue(looks[blueCell])) << looks[blueCell].FontColor << " " << looks[blueCell].BluePixels;
    EXPECT_TRUE(DrawnRed(looks[redCell])) << looks[redCell].FontColor << " " << looks[redCell].RedPixels;
    EXPECT_EQ("3", looks[blueCell].Text);
    EXPECT_EQ("5", looks[redCell].Text);  // tab 0: the controller's values
    for (const auto& [cell, look] : looks) {
        if (cell != blueCell && cell != redCell) {
            EXPECT_TRUE(DrawnBlack(look)) << cell.first << "," << cell.second;
        }
    }

    // The file's side: the same marks on the file's values.
    ClickTab(1);
    EXPECT_EQ(1, Window()->TabControl1->TabIndex());
    looks = Draw();
    EXPECT_EQ("0", looks[redCell].Text);
    EXPECT_TRUE(DrawnRed(looks[redCell]));
    EXPECT_TRUE(DrawnBlue(looks[blueCell]));
    ClickTab(0);
    EXPECT_EQ("5", Window()->StringGrid1->Cells(7, 5));
    Click(Window()->Button3);  // Exit
    EXPECT_EQ(nullptr, Window());
}

TEST_F(CompareTest, MarksFollowTheValuesAsTheGridShowsThem)
{
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(LoadMap("ignition.map", 2105, 2));  // Fuel, then Ignition-B
    SetControllerTable(0, PackedFuelMap());
    std::vector<uint8_t> ignition = PackedMap(IgnitionBByte, 1);
    // Two cells holding the map's 1 (byte 134, shown as 1). 133 shows as 1
    // too: (133 - 128) x 22.5 / 128 = 0.88. 137 shows as 2: 1.58.
    ASSERT_EQ(134, ignition[0 * 32 + 31]);  // column 1, 500 RPM
    ASSERT_EQ(134, ignition[3 * 32 + 29]);  // column 4, 1500 RPM
    ignition[0 * 32 + 31] = 133;
    ignition[3 * 32 + 29] = 137;
    SetControllerTable(1, ignition);

    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    auto looks = Draw();
    for (const auto& [cell, look] : looks) EXPECT_TRUE(DrawnBlack(look)) << cell.first << "," << cell.second;
    Click(Window()->Button4);  // >>: the ignition table
    ASSERT_EQ("Ignition Table Retrieved Successfully", Window()->Label1->Caption());
    const std::pair<int, int> blueCell{1, 1}, redCell{4, 3};
    looks = Draw();
    EXPECT_EQ("1", looks[blueCell].Text);
    EXPECT_EQ("2", looks[redCell].Text);
    EXPECT_TRUE(DrawnBlue(looks[blueCell]));
    EXPECT_TRUE(DrawnRed(looks[redCell]));
    for (const auto& [cell, look] : looks) {
        if (cell != blueCell && cell != redCell) {
            EXPECT_TRUE(DrawnBlack(look)) << cell.first << "," << cell.second;
        }
    }
}

TEST_F(CompareTest, IdenticalTablesAreAllBlack)
{
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(LoadMap("same.map", 1105, 1));
    SetControllerTable(0, PackedFuelMap());
    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    EXPECT_EQ("Fuel Table Retrieved Successfully", Window()->Label1->Caption());
    auto looks = Draw();
    ASSERT_EQ(9u * 13u, looks.size());
    for (const auto& [cell, look] : looks) {
        EXPECT_TRUE(DrawnBlack(look)) << cell.first << "," << cell.second;
        EXPECT_EQ(Form()->StringGrid1->Cells(cell.first, cell.second), look.Text);
    }
    for (int d : Window()->Differences) EXPECT_EQ(0, d);
}

TEST_F(CompareTest, RevisitedTablesAreNotReadAgainUntilRecompare)
{
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(LoadMap("two.map", 2105, 2));  // Fuel, then Ignition
    Com1.Ok("clear");
    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    EXPECT_TRUE(Window()->Panel1->Visible());
    EXPECT_EQ("&Table", Window()->Panel1->Caption());
    EXPECT_EQ(1, CountToken(Transcript(), "0"));
    EXPECT_EQ("Fuel Table Retrieved Successfully", Window()->Label1->Caption());

    Click(Window()->Button4);  // >>
    EXPECT_EQ(1, Form()->CurrentTable);
    EXPECT_EQ(1, Form()->EpIITabControl1->TabIndex());
    EXPECT_EQ("Ignition Table Retrieved Successfully", Window()->Label1->Caption());
    EXPECT_EQ(1, CountToken(Transcript(), "1"));

    Com1.Ok("clear");
    Click(Window()->Button5);  // <<
    EXPECT_EQ(0, Form()->CurrentTable);
    EXPECT_EQ("&Fuel Table", Window()->Label1->Caption());
    Click(Window()->Button4);
    EXPECT_EQ("&Ignition Table", Window()->Label1->Caption());
    Click(Window()->Button4);  // past the last: back to the first
    EXPECT_EQ(0, Form()->CurrentTable);
    std::string t = Transcript();
    EXPECT_EQ(0, CountToken(t, "0")) << t;
    EXPECT_EQ(0, CountToken(t, "1")) << t;

    Click(Window()->Button2);  // Recompare
    EXPECT_EQ("Fuel Table Retrieved Successfully", Window()->Label1->Caption());
    EXPECT_EQ(1, CountToken(Transcript(), "0"));
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);

    // Closing puts the main window's direction back to forward.
    Click(Window()->Button5);
    EXPECT_FALSE(Form()->TableStepForward);
    Click(Window()->Button3);
    EXPECT_TRUE(Form()->TableStepForward);
    EXPECT_FALSE(Form()->CompareWindowOpen);
}

// Whatever replaces the map under the window leaves nothing of the old one
// there: a table read before is read again, the file's side is the new map.
TEST_F(CompareTest, AMapReplacedUnderTheWindowIsComparedAnew)
{
    const std::string other = TempFile("other.map");
    WriteFileBytes(other, MakeMapBytes(201, 2105, 2, 13, 9, "other", 3));
    auto sendToHandheld = [&] {
        AnswerFileDialogs({other});
        TModalScript close;
        close.Then([] { return TModalScript::Click(Form11->EpButton1), true; }).Start();
        ChooseMenu(Form()->SendMapsToHandheld1);
        EXPECT_TRUE(close.Finished() && WaitUntil([this] { return LiveValue(1) != "-----"; }, 12000));
    };
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"Load", [&] { EXPECT_TRUE(Load(other)); }},
        {"Get All", [&] { ChooseMenu(Form()->GetMap1); }},
        {"Get Current", [&] { ChooseMenu(Form()->GetCurrent1); }},
        {"Send Maps To Handheld", sendToHandheld}};
    ASSERT_TRUE(ConnectCom1());
    SetControllerTable(1, std::vector<uint8_t>(288, 140));  // no map's Ignition-B table
    ASSERT_TRUE(LoadMap("two.map", 2105, 2));
    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    Click(Window()->Button4);  // reads table 1
    for (const auto& [command, replace] : cases) {
        SCOPED_TRACE(command);
        Click(Window()->Button5);
        replace();
        EXPECT_EQ("gantrel_app_other", Window()->TabControl1->Tabs()->Get(1));
        Com1.Ok("clear");
        Click(Window()->Button4);
        EXPECT_EQ(1, CountToken(Transcript(), "1"));
        ClickTab(1);
        EXPECT_EQ(Form()->StringGrid1->Cells(5, 5), Window()->StringGrid1->Cells(5, 5));
    }
}

TEST_F(CompareTest, ControllerVersion100HasNoNavigationAndNoTableLabel)
{
    Com1.Ok("version 100");
    ASSERT_TRUE(ConnectCom1());
    ASSERT_EQ(100, Form()->Config.ControllerVersion);
    ASSERT_TRUE(LoadMap("v100.map", 1100, 1));
    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    EXPECT_FALSE(Window()->Panel1->Visible());
    EXPECT_FALSE(Window()->Button4->Visible());
    EXPECT_FALSE(Window()->Button5->Visible());
    EXPECT_TRUE(Window()->Button2->Visible());
    EXPECT_EQ("&Recompare", Window()->Button2->Caption());
    EXPECT_EQ("&Exit", Window()->Button3->Caption());
    EXPECT_EQ("Fuel Table Retrieved Successfully", Window()->Label1->Caption());
}

// Answers the position question with clicks on its radio button and a button.
struct TPositionAnswer {
    TWinControl* Radio = nullptr;
    TWinControl* Button = nullptr;
    std::string Seen;
    void Tick(TObject* sender)
    {
        if (!Form14->Visible()) return;
        static_cast<TTimer*>(sender)->SetEnabled(false);
        Seen = Form14->Caption() + "|" + Form14->EpRadioButton1->Caption() + "|" + Form14->EpRadioButton2->Caption() +
               "|" + Form14->EpRadioButton3->Caption();
        for (TWinControl* control : {Radio, Button}) {
            if (!control) continue;
            RECT r;
            GetClientRect(control->Handle(), &r);
            LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
            PostMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(control->Handle(), WM_LBUTTONUP, 0, at);
        }
    }
};

TEST_F(CompareTest, Version2AsksThePositionAndReadsThatTable)
{
    Com1.Ok("version 2");  // its map number is 112
    ASSERT_TRUE(ConnectCom1());
    ASSERT_EQ(2, Form()->Config.ControllerVersion);
    ASSERT_EQ(112, Form()->Config.InfoByte3);
    ASSERT_TRUE(LoadMap("v2.map", 1112, 1));  // model 112: one Fuel-B table
    std::vector<uint8_t> table(288, 128 + 10);
    SetControllerTable(1, table);

    TTimer* timer = new TTimer(nullptr);
    timer->SetInterval(100);
    TPositionAnswer cancel;
    cancel.Button = Form14->EpButton1;
    timer->OnTimer = MakeEvent<&TPositionAnswer::Tick>(&cancel);
    timer->SetEnabled(true);
    Com1.Ok("clear");
    OpenCompare();
    EXPECT_EQ("Compare|Compare to Tables in Position #1|Compare to Tables in Position #2|Compare to Tables in "
              "Position #3",
              cancel.Seen)
        << Status() << " info " << Form()->Config.InfoByte3 << " version " << Form()->Config.ControllerVersion;
    EXPECT_EQ(nullptr, Window());
    EXPECT_FALSE(Form()->CompareWindowOpen);
    EXPECT_TRUE(Form()->Button1->Enabled());

    TPositionAnswer second;
    second.Radio = Form14->EpRadioButton2;
    second.Button = Form14->EpButton2;
    timer->OnTimer = MakeEvent<&TPositionAnswer::Tick>(&second);
    timer->SetEnabled(true);
    OpenCompare();
    timer->Free();
    ASSERT_NE(nullptr, Window()) << Status();
    EXPECT_EQ(1, Form()->ComparePosition);
    std::string t = Transcript();
    // Identification both times, then one read: wire table 0 + position 1.
    EXPECT_EQ(1, CountToken(t, "1")) << t;
    EXPECT_EQ(0, CountToken(t, "0")) << t;
    EXPECT_EQ("Fuel Table Retrieved Successfully", Window()->Label1->Caption());
    EXPECT_EQ("10", Window()->StringGrid1->Cells(1, 1));
    EXPECT_EQ("10", Window()->StringGrid1->Cells(9, 13));
}

class ComparePlacementTest : public CompareTest {
protected:
    std::string InitialSettings() override
    {
        return "[ComPort]\r\nPort=0\r\n[CompairPlacement]\r\nTop=123\r\nLeft=77\r\n";
    }
};

TEST_F(ComparePlacementTest, PlacementComesFromTheSettingsAndGoesBack)
{
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(LoadMap("place.map", 1105, 1));
    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    EXPECT_EQ(77, Window()->Left());
    EXPECT_EQ(123, Window()->Top());
    Window()->SetBounds(210, 160, Window()->Width(), Window()->Height());
    Click(Window()->Button3);
    EXPECT_EQ(nullptr, Window());
    TIniFile ini(SettingsPath);
    EXPECT_EQ(160, ini.ReadInteger("CompairPlacement", "Top", -1));
    EXPECT_EQ(210, ini.ReadInteger("CompairPlacement", "Left", -1));
}

TEST_F(CompareTest, TheNotesStayOffWhileTheWindowIsOpen)
{
    ASSERT_TRUE(ConnectCom1());
    std::string path = TempFile("notes.map");
    WriteFileBytes(path, MakeMapBytes(201, 1105, 1, 13, 9, "notes"));
    ASSERT_TRUE(Load(path));
    EXPECT_TRUE(Form()->Button1->Enabled());
    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    EXPECT_TRUE(Form()->CompareWindowOpen);
    EXPECT_FALSE(Form()->Button1->Enabled());
    ChooseMenu(Form()->Notes1);
    EXPECT_EQ(nullptr, Form()->NotesWindow);
    // A save reloads the map: the notes stay off all the same.
    Save(path);
    EXPECT_EQ("gantrel_app_notes.map", Panel(1));
    EXPECT_FALSE(Form()->Button1->Enabled());
    Click(Window()->Button3);
    EXPECT_EQ(nullptr, Window());
    EXPECT_TRUE(Form()->Button1->Enabled());

    // With the notes window open the compare command does nothing.
    ChooseMenu(Form()->Notes1);
    ASSERT_NE(nullptr, Form()->NotesWindow);
    Com1.Ok("clear");
    ChooseMenu(Form()->Compare1);
    EXPECT_EQ(nullptr, Window());
    Pump(300);
    EXPECT_EQ(0, CountToken(Transcript(), "0"));
    Form()->NotesWindow->Close();
    Pump(50);
}

TEST_F(CompareTest, KeysInTheMainGridAreCheckedAndStoredWhileComparing)
{
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(LoadMap("keys.map", 1105, 1));  // Fuel, +45/-45
    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    TGridRect one;
    one.Left = one.Right = 4;
    one.Top = one.Bottom = 4;
    Form()->StringGrid1->SetFocus();
    Form()->StringGrid1->SetCol(4);
    Form()->StringGrid1->SetRow(4);
    Form()->StringGrid1->SetSelection(one);
    PressKey('7');
    // Stored at the key's release, without leaving the grid.
    EXPECT_EQ(7, Form()->Config.FileSet[0].Kind->Cell(3, 3));
    PressKey('7');
    EXPECT_EQ("45", Form()->StringGrid1->Cells(4, 4));
    EXPECT_EQ("Value to Large, changed to Maximum", Status());
    EXPECT_EQ(45, Form()->Config.FileSet[0].Kind->Cell(3, 3));
}

class CompareAskTest : public CompareTest {};

TEST_F(CompareAskTest, OpeningAsksEachTimeAndTheWindowAsksOncePerRun)
{
    Com1.Ok("version 52");  // '4': map model 1 compares after asking
    ASSERT_TRUE(ConnectCom1(12000));
    ASSERT_EQ(52, Form()->Config.ControllerVersion);
    ASSERT_TRUE(LoadMap("ask.map", 1001, 4));
    const std::string opening =
        "Your Controller Version is different from your File Version.  However, the maps are compatible.  "
        "Continue with Upload?";
    const std::string inWindow =
        "Your Controller Version is different from your File Version.  However, the maps are compatible.  "
        "Continue compare?";

    QuestionAnswer = mrNo;
    OpenCompare();
    ASSERT_EQ(1u, Questions.size());
    EXPECT_EQ(opening, Questions[0]);
    EXPECT_EQ(nullptr, Window());
    EXPECT_TRUE(MonitorReleased());

    QuestionAnswer = mrYes;
    OpenCompare();
    ASSERT_EQ(2u, Questions.size());
    EXPECT_EQ(opening, Questions[1]);
    ASSERT_NE(nullptr, Window()) << Status();
    EXPECT_EQ("AAP Table Retrieved Successfully", Window()->Label1->Caption());
    // The window's own question comes with its first navigation, then never again.
    Click(Window()->Button4);
    ASSERT_EQ(3u, Questions.size());
    EXPECT_EQ(inWindow, Questions[2]);
    EXPECT_EQ("TP Table Retrieved Successfully", Window()->Label1->Caption());
    Click(Window()->Button2);
    Click(Window()->Button5);
    EXPECT_EQ(3u, Questions.size());
    Click(Window()->Button3);
    // Opening again asks again.
    OpenCompare();
    EXPECT_NE(nullptr, Window());
    ASSERT_EQ(4u, Questions.size());
    EXPECT_EQ(opening, Questions[3]);
}

TEST_F(CompareTest, AFailedReadShowsNothingOfTheControllers)
{
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(LoadMap("fail.map", 1105, 1));
    Com1.Ok("fault cut 100");  // every reply stops after 100 bytes
    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    EXPECT_EQ("Retrieve Fuel Table Failed.  Check Gantrel and Retry.", Window()->Label1->Caption());
    EXPECT_FALSE(Window()->Fetched[0]);
    auto looks = Draw();
    for (const auto& [cell, look] : looks) {
        EXPECT_EQ("--", look.Text) << cell.first << "," << cell.second;
        EXPECT_TRUE(DrawnBlack(look)) << cell.first << "," << cell.second;
    }
    EXPECT_TRUE(MonitorReleased());

    Com1.Ok("fault none");
    SetControllerTable(0, PackedFuelMap());
    Click(Window()->Button2);
    EXPECT_EQ("Fuel Table Retrieved Successfully", Window()->Label1->Caption());
    EXPECT_TRUE(Window()->Fetched[0]);
    EXPECT_EQ(Form()->StringGrid1->Cells(5, 5), Window()->StringGrid1->Cells(5, 5));

    // A read that fails after a good one leaves nothing of the old one.
    Com1.Ok("fault silence");
    Click(Window()->Button2);
    EXPECT_EQ("Retrieve Fuel Table Failed.  Check Gantrel and Retry.", Window()->Label1->Caption());
    EXPECT_FALSE(Window()->Fetched[0]);
    EXPECT_EQ("--", Window()->StringGrid1->Cells(5, 5));
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    // The file's side still shows.
    ClickTab(1);
    EXPECT_EQ(Form()->StringGrid1->Cells(5, 5), Window()->StringGrid1->Cells(5, 5));
    Com1.Ok("fault none");
}

TEST_F(CompareTest, MarksStayInsideTheTableWhateverTheBreakpoints)
{
    ASSERT_TRUE(ConnectCom1());
    // 32 x 500 = 16000 is cell 0; above it, at 0 and below, no cell.
    const std::vector<int32_t> rows = {500, 1000, 0, -500, 16000, 16499, 17000, 2147483647, -2147483647 - 1,
                                       1500, 2000, 8000, 12000};
    std::string path = TempFile("breakpoints.map");
    WriteFileBytes(path, WithRowBreakpoints(MakeMapBytes(201, 1105, 1, 13, 9, "notes"), 1, 9, rows));
    ASSERT_TRUE(Load(path));
    ASSERT_EQ("-500", Form()->StringGrid1->Cells(0, 4));
    // Every byte differs and shows differently from the map's 0..4.
    SetControllerTable(0, std::vector<uint8_t>(288, 255));
    OpenCompare();
    ASSERT_NE(nullptr, Window()) << Status();
    ASSERT_EQ("Fuel Table Retrieved Successfully", Window()->Label1->Caption());
    EXPECT_EQ(288u, Window()->Differences.size());
    auto looks = Draw();
    for (int r = 1; r <= 13; ++r) {
        const int32_t v = rows[size_t(r - 1)];
        const bool inside = v >= 1 && v <= 16499;
        for (int c = 1; c <= 9; ++c) {
            const TCellLook& look = looks[{c, r}];
            if (inside) {
                EXPECT_TRUE(DrawnRed(look)) << c << "," << r;
                EXPECT_EQ("50", look.Text) << c << "," << r;
            } else {
                EXPECT_TRUE(DrawnBlack(look)) << c << "," << r;
                EXPECT_EQ("0", look.Text) << c << "," << r;
            }
        }
    }
    EXPECT_EQ(-1, Window()->ByteIndex(10, 1));
    EXPECT_EQ(-1, Window()->ByteIndex(0, 1));
    EXPECT_EQ(8 * 32 + 31, Window()->ByteIndex(9, 1));
    EXPECT_EQ(0, Window()->ByteIndex(1, 5));
    EXPECT_EQ(-1, Window()->ByteIndex(1, 3));
}

TEST_F(CompareTest, EveryEarlyExitLetsTheMonitorGoOn)
{
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(LoadMap("exits.map", 1105, 1));  // model 105

    // No controller answers.
    Com1.Ok("fault silence");
    OpenCompare();
    EXPECT_EQ("Gantrel Not Found", Status());
    EXPECT_EQ(nullptr, Window());
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    Com1.Ok("fault none");
    EXPECT_TRUE(WaitUntil([this] { return Form()->LinkCounter == 0 && LiveValue(1) != "-----"; }, 12000));

    // Another unit that this map does not suit.
    Com1.Ok("version 104");
    OpenCompare();
    EXPECT_EQ("File and Gantrel Versions Incompatible", Status());
    EXPECT_EQ(nullptr, Window());
    EXPECT_EQ(104, Form()->Config.ControllerVersion);
    EXPECT_TRUE(MonitorReleased());
    EXPECT_TRUE(Questions.empty());
}

}  // namespace

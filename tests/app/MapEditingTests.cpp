// Loading, editing, the value rules, the clipboard, the notes and saving,
// driven through the window's own commands and keys.
#include "EditNotes.h"
#include "MainWindowFixture.h"

#include "Clipboard.h"
#include "RealInput.h"
#include "SavedPicture.h"

#include <commctrl.h>

namespace {

class MapTest : public MainWindowTest {
protected:
    std::string Cell(int c, int r) { return Form()->StringGrid1->Cells(c, r); }
    void SetCell(int c, int r, const std::string& text) { Form()->StringGrid1->SetCells(c, r, text); }
    void Select(int left, int top, int right, int bottom)
    {
        TGridRect s;
        s.Left = left;
        s.Top = top;
        s.Right = right;
        s.Bottom = bottom;
        Form()->StringGrid1->SetCol(left);
        Form()->StringGrid1->SetRow(top);
        Form()->StringGrid1->SetSelection(s);
    }
    // The grid gives up the focus: its values are checked and stored.
    void LeaveGrid() { Form()->StringGrid1Exit(Form()); }
};

std::string FourTableMap(const std::string& name, const std::string& notes = "Dyno run\r\nsecond line")
{
    std::string path = TempFile(name);
    WriteFileBytes(path, MakeMapBytes(201, 1001, 4, 13, 9, notes));
    return path;
}

TEST_F(MapTest, LoadingAMapFillsTheGridTabsAndStatusBar)
{
    std::string path = FourTableMap("load.map");
    ASSERT_TRUE(Load(path));
    TForm1* f = Form();
    EXPECT_EQ(10, f->StringGrid1->ColCount());
    EXPECT_EQ(14, f->StringGrid1->RowCount());
    EXPECT_EQ("", Cell(0, 0));
    EXPECT_EQ("0", Cell(1, 0));
    EXPECT_EQ("100", Cell(9, 0));
    EXPECT_EQ("500", Cell(0, 1));
    EXPECT_EQ("6500", Cell(0, 13));
    ASSERT_EQ(4, f->EpIITabControl1->Tabs()->Count());
    EXPECT_EQ("&AAP Table", f->EpIITabControl1->Tabs()->Get(0));
    EXPECT_EQ("&Ignition Table", f->EpIITabControl1->Tabs()->Get(3));
    EXPECT_EQ(ExtractFileName(path), Panel(1));
    EXPECT_EQ("Not Modified", Panel(0));
    EXPECT_EQ("File Version: 1001", f->PopFVersion->Caption());
    EXPECT_TRUE(f->Button5->Enabled());
    EXPECT_TRUE(f->Save1->Enabled());
    EXPECT_TRUE(f->Button1->Enabled());
    EXPECT_TRUE(f->StringGrid1->Enabled());
    EXPECT_EQ(ExtractFilePath(path), f->MapDirectory);
}

TEST_F(MapTest, AMalformedFileIsRefusedAndTheMapStaysAsItWas)
{
    ASSERT_TRUE(Load(FourTableMap("good.map")));
    SetCell(3, 3, "7");
    LeaveGrid();
    std::string bad = TempFile("bad.map");
    std::string bytes = MakeMapBytes(201, 1001, 4, 13, 9, "");
    WriteFileBytes(bad, bytes.substr(0, bytes.size() / 2));
    Load(bad);
    EXPECT_EQ("*** ERROR in FILE.. File not loaded ***", Status());
    EXPECT_TRUE(Form()->FileLoaded);
    EXPECT_EQ("7", Cell(3, 3));
    EXPECT_EQ("File Version: 1001", Form()->PopFVersion->Caption());
    // An unknown type is refused the same way, nothing changed.
    std::string unknown = TempFile("unknown.map");
    WriteFileBytes(unknown, MakeMapBytes(203, 1001, 4, 13, 9, ""));
    Load(unknown);
    EXPECT_EQ("*** ERROR in FILE.. File not loaded ***", Status());
    EXPECT_EQ(1, Form()->Config.FileModel);
}

TEST_F(MapTest, ValuesOutsideTheLimitsAreCorrectedWithTheirMessages)
{
    ASSERT_TRUE(Load(FourTableMap("limits.map")));  // AAP +35/-35 first
    SetCell(2, 2, "99");
    LeaveGrid();
    EXPECT_EQ("35", Cell(2, 2));
    EXPECT_EQ("Value to Large, changed to Maximum", Status());
    SetCell(2, 2, "-99");
    LeaveGrid();
    EXPECT_EQ("-35", Cell(2, 2));
    EXPECT_EQ("Value to Small, changed to Minimum", Status());
    EXPECT_EQ(-35, Form()->Config.FileSet[0].Kind->Cell(1, 1));
    // Text that is no number is not taken: the table keeps its value.
    SetCell(3, 2, "abc");
    LeaveGrid();
    EXPECT_EQ(std::to_string(Form()->Config.FileSet[0].Kind->Cell(1, 2)), Cell(3, 2));
}

TEST_F(MapTest, TheThrottleTableKeepsItsValuesInsideTheThrottleRange)
{
    ASSERT_TRUE(Load(FourTableMap("tp.map")));
    Form()->ShowTable(1, true);  // the TP table
    // Column 8 is the 87 % breakpoint: 20 more would pass 100 %.
    ASSERT_EQ("87", Cell(8, 0));
    SetCell(8, 3, "20");
    LeaveGrid();
    EXPECT_EQ("13", Cell(8, 3));
    EXPECT_EQ("Value out of Range, changed to Maximum", Status());
    SetCell(1, 3, "-5");  // column 1 is 0 %
    LeaveGrid();
    EXPECT_EQ("0", Cell(1, 3));
    EXPECT_EQ("Value out of Range, changed to Minimum", Status());
}

TEST_F(MapTest, NoTimingChangeBelowTheIgnitionFloor)
{
    ASSERT_TRUE(Load(FourTableMap("floor.map")));  // model 1: floor 4000
    Form()->ShowTable(3, true);  // the ignition table
    ASSERT_EQ("3500", Cell(0, 7));
    ASSERT_EQ("4000", Cell(0, 8));
    SetCell(2, 7, "2");
    SetCell(2, 8, "2");
    LeaveGrid();
    EXPECT_EQ("0", Cell(2, 7));
    EXPECT_EQ("2", Cell(2, 8));
    EXPECT_EQ("Timing change not allowed below 4000 RPM", Status());
}

class NoLimitTest : public MapTest {
protected:
    std::string InitialSettings() override { return "[ComPort]\r\nPort=0\r\n[Custom]\r\nNoLimit=1\r\n"; }
};

TEST_F(NoLimitTest, WithoutLimitsValuesStay)
{
    ASSERT_TRUE(Load(FourTableMap("nolimit.map")));
    SetCell(4, 4, "500");
    LeaveGrid();
    EXPECT_EQ("500", Cell(4, 4));
    EXPECT_EQ(500, Form()->Config.FileSet[0].Kind->Cell(3, 3));
}

TEST_F(MapTest, PageUpAndDownChangeEveryCellOfTheSelection)
{
    ASSERT_TRUE(Load(FourTableMap("page.map")));
    Form()->StringGrid1->SetFocus();
    Select(2, 3, 4, 4);
    std::vector<int> before;
    for (int r = 3; r <= 4; ++r)
        for (int c = 2; c <= 4; ++c) before.push_back(CellValue(Cell(c, r)));
    PressKey(VK_PRIOR);
    int i = 0;
    for (int r = 3; r <= 4; ++r)
        for (int c = 2; c <= 4; ++c) EXPECT_EQ(before[size_t(i++)] + 1, CellValue(Cell(c, r))) << c << "," << r;
    PressKey(VK_NEXT);
    PressKey(VK_NEXT);
    i = 0;
    for (int r = 3; r <= 4; ++r)
        for (int c = 2; c <= 4; ++c) EXPECT_EQ(before[size_t(i++)] - 1, CellValue(Cell(c, r)));
    EXPECT_TRUE(Form()->MapEdited);
}

TEST_F(MapTest, TypingIntoTheGridEditsTheCurrentCell)
{
    ASSERT_TRUE(Load(FourTableMap("typing.map")));
    Form()->StringGrid1->SetFocus();
    Select(5, 5, 5, 5);
    PressKey('1');
    PressKey('2');
    PressKey(VK_RETURN);
    EXPECT_EQ("12", Cell(5, 5));
    EXPECT_TRUE(Form()->MapEdited);
    LeaveGrid();
    EXPECT_EQ(12, Form()->Config.FileSet[0].Kind->Cell(4, 4));
}

TEST_F(MapTest, EditsSurviveASwitchOfTablesThatLeavesTheFocusInTheGrid)
{
    ASSERT_TRUE(Load(FourTableMap("switch.map")));
    Form()->StringGrid1->SetFocus();
    SetCell(1, 1, "7");
    // Ctrl+Tab or the arrow button: the grid keeps the focus.
    Form()->TableStepForward = true;
    Form()->Button6Click(Form());
    EXPECT_EQ(1, Form()->CurrentTable);
    EXPECT_EQ(7, Form()->Config.FileSet[0].Kind->Cell(0, 0));
    SetCell(2, 1, "-3");
    // A tab chosen from outside the window's own table switch reports its change.
    Form()->EpIITabControl1->SetTabIndex(0);
    EXPECT_EQ(0, Form()->CurrentTable);
    EXPECT_EQ(-3, Form()->Config.FileSet[1].Kind->Cell(0, 1));
    EXPECT_EQ("7", Cell(1, 1));
}

// --- the table tabs ---------------------------------------------------------

// A left press and release on a tab, as the mouse gives them.
void ClickTab(TEpIITabControl* tabs, int index)
{
    const RECT r = tabs->TabRect(index);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tabs->Handle(), WM_LBUTTONUP, 0, at);
    Pump(50);
}

// A key pressed and released on the tab control, which holds the focus.
void TabKey(TEpIITabControl* tabs, WORD key)
{
    tabs->SetFocus();
    LPARAM scan = LPARAM(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(tabs->Handle(), WM_KEYDOWN, key, scan | 1);
    PostMessageA(tabs->Handle(), WM_KEYUP, key, scan | 0xC0000001);
    Pump(50);
}

// A table shown from code (a transfer, a load, the arrow buttons) selects
// its tab without going through the tab's change event: the cells just
// put into the grid are neither checked nor stored again, and the focus
// stays where it was while the grid is refilled.
TEST_F(MapTest, ATableShownFromCodeSelectsItsTabAndStoresNothing)
{
    ASSERT_TRUE(Load(FourTableMap("code-switch.map")));
    TTableKind* third = Form()->Config.FileSet[2].Kind;
    TTableKind* first = Form()->Config.FileSet[0].Kind;
    // A value beyond the limit, as a controller may send it: a check of
    // the grid would correct it.
    const int beyond = Form()->Config.FileSet[2].Max + 10;
    third->SetCell(0, 0, beyond);
    const int firstBefore = first->Cell(0, 0);
    const std::string status = Status();
    ASSERT_TRUE(Form()->Button9->CanFocus());
    Form()->Button9->SetFocus();
    ASSERT_EQ(Form()->Button9->Handle(), GetFocus());
    SetCell(1, 1, "3");  // not stored: the switch comes from code, as after a read
    Form()->ShowTable(2, true);
    Pump(50);
    EXPECT_EQ(2, Form()->EpIITabControl1->TabIndex());
    EXPECT_EQ(2, Form()->CurrentTable);
    EXPECT_EQ(std::to_string(beyond), Cell(1, 1));
    EXPECT_EQ(beyond, third->Cell(0, 0));
    EXPECT_EQ(firstBefore, first->Cell(0, 0));
    EXPECT_EQ(status, Status());  // no correction's message
    EXPECT_EQ(Form()->Button9->Handle(), GetFocus());
}

// A tab clicked with the mouse stores the grid into the table it showed,
// shows its own table and gives the grid the focus; Page Up and Page Down
// then still work on the grid's selection.
TEST_F(MapTest, AClickedTabShowsItsTableAndTheGridTakesThePageKeys)
{
    ASSERT_TRUE(Load(FourTableMap("click-tab.map")));
    TEpIITabControl* tabs = Form()->EpIITabControl1;
    TTableKind* fourth = Form()->Config.FileSet[3].Kind;
    const int fourthBefore = fourth->Cell(0, 0);
    SetCell(1, 1, "8");
    ClickTab(tabs, 3);
    EXPECT_EQ(3, tabs->TabIndex());
    EXPECT_EQ(3, Form()->CurrentTable);
    EXPECT_EQ(8, Form()->Config.FileSet[0].Kind->Cell(0, 0));
    EXPECT_EQ(fourthBefore, fourth->Cell(0, 0));
    for (int c = 1; c <= 9; ++c) EXPECT_EQ(std::to_string(fourth->Cell(2, c - 1)), Cell(c, 3)) << c;
    EXPECT_EQ(Form()->StringGrid1->Handle(), GetFocus());

    Select(2, 2, 3, 2);
    const int a = CellValue(Cell(2, 2)), b = CellValue(Cell(3, 2));
    PressKey(VK_PRIOR);
    EXPECT_EQ(a + 1, CellValue(Cell(2, 2)));
    EXPECT_EQ(b + 1, CellValue(Cell(3, 2)));
    PressKey(VK_NEXT);
    PressKey(VK_NEXT);
    EXPECT_EQ(a - 1, CellValue(Cell(2, 2)));
    EXPECT_EQ(b - 1, CellValue(Cell(3, 2)));
    EXPECT_EQ(3, Form()->CurrentTable);
}

// A clicked tab takes the focus from the grid, whose exit stores it; the
// change that follows stores nothing more, so each correction shows once.
TEST_F(MapTest, AClickedTabChecksTheGridOnce)
{
    std::string bytes = MakeMapBytes(201, 1001, 4, 13, 9, "");
    // The first throttle breakpoint past any value's reach: every check
    // corrects each cell of its column.
    for (int i = 0; i < 4; ++i) bytes[size_t(4 * 13 + i)] = char(uint32_t(100000) >> (8 * i));
    std::string path = TempFile("far-breakpoint.map");
    WriteFileBytes(path, bytes);
    ASSERT_TRUE(Load(path));
    TEpIITabControl* tabs = Form()->EpIITabControl1;
    ClickTab(tabs, 1);  // the TP table
    ASSERT_EQ(1, Form()->CurrentTable);
    struct TStatusLog {
        TLabel* Label;
        TWndMethod Previous;
        std::vector<std::string> Shown;
        static void Watch(void* self, TMessage& m)
        {
            auto* log = static_cast<TStatusLog*>(self);
            log->Previous(m);
            if (m.Msg == CM_TEXTCHANGED && !log->Label->Caption().empty()) log->Shown.push_back(log->Label->Caption());
        }
    } log{Form()->Label1, Form()->Label1->WindowProc, {}};
    Form()->Label1->WindowProc = TWndMethod(&log, &TStatusLog::Watch);
    ClickTab(tabs, 2);
    Form()->Label1->WindowProc = log.Previous;
    EXPECT_EQ(2, Form()->CurrentTable);
    EXPECT_EQ((std::vector<std::string>{"Value out of Range, changed to Maximum"}), log.Shown);
}

// The tab control's arrow keys step through the tables, one each, stopping
// at the ends; each edit lands in the table it was made in, corrected once.
TEST_F(MapTest, TheTabArrowKeysStepTablesStoringEachEditInItsOwnTable)
{
    ASSERT_TRUE(Load(FourTableMap("arrows.map")));
    TEpIITabControl* tabs = Form()->EpIITabControl1;
    std::vector<int> before;
    for (int t = 0; t < 4; ++t) before.push_back(Form()->Config.FileSet[t].Kind->Cell(0, 0));
    // One past the limit: the step's check corrects it, once, with its message.
    const int over = Form()->Config.FileSet[0].Max + 1;
    SetCell(1, 1, std::to_string(over));
    TabKey(tabs, VK_RIGHT);
    EXPECT_EQ(1, tabs->TabIndex());
    EXPECT_EQ(1, Form()->CurrentTable);
    EXPECT_EQ(Form()->Config.FileSet[0].Max, Form()->Config.FileSet[0].Kind->Cell(0, 0));
    EXPECT_EQ("Value to Large, changed to Maximum", Status());
    EXPECT_EQ(before[1], Form()->Config.FileSet[1].Kind->Cell(0, 0));
    EXPECT_EQ(std::to_string(before[1]), Cell(1, 1));

    // The throttle table: 5 more at the 87 % column stays inside the range.
    ASSERT_EQ("87", Cell(8, 0));
    const int mpBefore = Form()->Config.FileSet[2].Kind->Cell(2, 7);
    SetCell(8, 3, "5");
    TabKey(tabs, VK_DOWN);
    EXPECT_EQ(2, Form()->CurrentTable);
    EXPECT_EQ(5, Form()->Config.FileSet[1].Kind->Cell(2, 7));
    EXPECT_EQ(mpBefore, Form()->Config.FileSet[2].Kind->Cell(2, 7));
    EXPECT_EQ(std::to_string(mpBefore), Cell(8, 3));
    TabKey(tabs, VK_RIGHT);
    TabKey(tabs, VK_RIGHT);  // the last tab: no wrap
    EXPECT_EQ(3, tabs->TabIndex());
    EXPECT_EQ(3, Form()->CurrentTable);

    TabKey(tabs, VK_LEFT);
    TabKey(tabs, VK_UP);
    TabKey(tabs, VK_LEFT);
    EXPECT_EQ(0, Form()->CurrentTable);
    EXPECT_EQ(std::to_string(Form()->Config.FileSet[0].Max), Cell(1, 1));
    EXPECT_EQ(5, Form()->Config.FileSet[1].Kind->Cell(2, 7));
    TabKey(tabs, VK_LEFT);  // the first tab: no wrap
    EXPECT_EQ(0, tabs->TabIndex());
}

// The main window as the screen shows it (build/artifacts/main-window.bmp):
// the selected tab's gradient runs from the face colour at its top to white
// at its bottom inside a black line, the other tabs are the face colour in
// grey lines, and the page is the window colour in a black line.
TEST_F(MapTest, KeepsAPictureOfTheMainWindowWithItsStyledTabs)
{
    ASSERT_TRUE(Load(FourTableMap("picture.map")));
    TEpIITabControl* tabs = Form()->EpIITabControl1;
    Form()->ShowTable(1, true);
    Pump(100);
    TSavedPicture picture;
    POINT client{};
    ASSERT_TRUE(KeepWindowPicture(Form()->Handle(), ExeDirectory(), "main-window.bmp", picture, client));
    POINT origin{0, 0};
    MapWindowPoints(tabs->Handle(), Form()->Handle(), &origin, 1);
    auto at = [&](int x, int y) { return picture.Pixel(client.x + origin.x + x, client.y + origin.y + y); };
    const COLORREF black = RGB(0, 0, 0), grey = RGB(128, 128, 128), white = RGB(255, 255, 255);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    const RECT sel = tabs->TabRect(1);
    const int height = sel.bottom - sel.top;
    ASSERT_GT(height, 8);
    const int x = sel.left + 3;  // clear of the centred caption
    EXPECT_EQ(black, at(sel.left, (sel.top + sel.bottom) / 2));
    EXPECT_EQ(black, at(x, sel.top));
    const COLORREF top = at(x, sel.top + 1), bottom = at(x, sel.bottom - 2);
    EXPECT_TRUE(NearColour(top, GradientBand(face, white, 1, height))) << std::hex << top;
    EXPECT_TRUE(NearColour(bottom, GradientBand(face, white, height - 2, height))) << std::hex << bottom;

    const RECT other = tabs->TabRect(0);
    EXPECT_EQ(grey, at(other.left, (other.top + other.bottom) / 2));
    EXPECT_EQ(face, at(other.left + 2, other.top + 2));

    // The page around the grid.
    const RECT page = tabs->GetBorderRect();
    const int mid = (page.top + page.bottom) / 2;
    EXPECT_EQ(black, at(page.left, mid));
    EXPECT_EQ(black, at(page.right - 1, mid));
    EXPECT_EQ(black, at((page.left + page.right) / 2, page.bottom - 1));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), at(page.left + 1, mid));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), at(page.left + 2, page.bottom - 2));
}

TEST_F(MapTest, CopyAndPasteGoThroughTheClipboard)
{
    ASSERT_TRUE(Load(FourTableMap("clip.map")));
    SetCell(1, 1, "1");
    SetCell(2, 1, "2");
    SetCell(1, 2, "3");
    SetCell(2, 2, "4");
    Select(1, 1, 2, 2);
    ChooseMenu(Form()->Copy1);
    EXPECT_EQ("1\t2\r\n3\t4", Clipboard()->AsText());

    // One cell selected in the last column: only the first column fits.
    Select(9, 5, 9, 5);
    ChooseMenu(Form()->Paste1);
    EXPECT_EQ("1", Cell(9, 5));
    EXPECT_EQ("3", Cell(9, 6));
    Form()->MapEdited = false;
    // Text the values cannot read stays out of the grid.
    Clipboard()->SetAsText("8\tx\r\n\r\n-9\t10");
    Select(3, 3, 4, 4);
    ChooseMenu(Form()->Paste1);
    EXPECT_EQ("8", Cell(3, 3));
    EXPECT_NE("x", Cell(4, 3));
    EXPECT_EQ("-9", Cell(3, 4));
    EXPECT_EQ("10", Cell(4, 4));
    EXPECT_TRUE(Form()->MapEdited);
}

// Only whole lines of the clipboard's first 2048 bytes are pasted.
TEST_F(MapTest, PasteNeverCutsANumberAtItsLimit)
{
    ASSERT_TRUE(Load(FourTableMap("cut.map")));
    const std::string pad(2040, ' ');  // blanks after a number leave it as it is
    for (const auto& [text, pasted] : std::vector<std::pair<std::string, std::string>>{
             {"5" + pad + "   \r\n1234\t7", "5x"},  // byte 2049 is the 3 of 1234
             {"5" + pad + " \r\n1234\r\n", "51234"},
             {"5" + pad + "  \n1234\n", "51234"},
             {"1234" + pad + pad, "xx"}}) {
        SetCell(1, 1, "x");
        SetCell(1, 2, "x");
        Clipboard()->SetAsText(text);
        Select(1, 1, 1, 1);
        ChooseMenu(Form()->Paste1);
        EXPECT_EQ(pasted, Cell(1, 1) + Cell(1, 2)) << text.size();
    }
}

TEST_F(MapTest, SelectAllTakesEveryBodyCell)
{
    ASSERT_TRUE(Load(FourTableMap("all.map")));
    ChooseMenu(Form()->SelectAll1);
    TGridRect s = Form()->StringGrid1->Selection();
    EXPECT_EQ(1, s.Left);
    EXPECT_EQ(1, s.Top);
    EXPECT_EQ(9, s.Right);
    EXPECT_EQ(13, s.Bottom);
}

TEST_F(MapTest, SavingAfterLoadingWritesTheSameFile)
{
    std::string path = FourTableMap("same.map");
    ASSERT_TRUE(Load(path));
    std::string copy = TempFile("same_copy.map");
    Save(copy);
    EXPECT_EQ("File Saved", Status());
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(copy));
    EXPECT_EQ(ExtractFileName(copy), Panel(1));
}

TEST_F(MapTest, SavingKeepsTheTableOnScreen)
{
    ASSERT_TRUE(Load(FourTableMap("keep.map")));
    Form()->ShowTable(2, true);
    SetCell(2, 2, "5");
    Save(TempFile("keep_saved.map"));
    EXPECT_EQ(2, Form()->CurrentTable);
    EXPECT_EQ(2, Form()->EpIITabControl1->TabIndex());
    EXPECT_EQ("5", Cell(2, 2));
    EXPECT_EQ(5, Form()->Config.FileSet[2].Kind->Cell(1, 1));
}

TEST_F(MapTest, AFailedSaveSaysSoAndKeepsTheOldFile)
{
    ASSERT_TRUE(Load(FourTableMap("fail.map")));
    std::string target = TempFile("readonly.map");
    WriteFileBytes(target, "old");
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    Form()->MapEdited = true;
    Save(target);
    EXPECT_EQ("*** File NOT Saved ***  File name used is READ ONLY", Status());
    EXPECT_EQ("old", ReadFileBytes(target));
    EXPECT_TRUE(Form()->MapEdited);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    Save("");
    EXPECT_EQ("*** File NOT Saved ***", Status());
}

TEST_F(MapTest, ASaveThatDidNotHappenStopsTheClose)
{
    ASSERT_TRUE(Load(FourTableMap("stop.map")));
    Form()->MapEdited = true;
    QuestionAnswer = mrYes;
    TCommonDialog::ExecuteHook = [](TCommonDialog*) { return false; };
    bool canClose = true;
    Form()->FormCloseQuery(Form(), canClose);
    TCommonDialog::ExecuteHook = nullptr;
    EXPECT_FALSE(canClose);
    Form()->MapEdited = false;
}

TEST_F(MapTest, NotesAreAcceptedAndSaved)
{
    ASSERT_TRUE(Load(FourTableMap("notes.map")));
    ChooseMenu(Form()->Notes1);
    TEditNotes* notes = Form()->NotesWindow;
    ASSERT_NE(nullptr, notes);
    EXPECT_EQ("Dyno run\r\nsecond line", notes->Memo1->Text());
    // Nothing may load another map under the notes window.
    EXPECT_FALSE(Form()->Button4->Enabled());
    EXPECT_FALSE(Form()->Load1->Enabled());
    EXPECT_FALSE(Form()->LoadFile1->Enabled());
    notes->Memo1->SetText("new notes");
    SendMessageA(notes->Button1->Handle(), BM_CLICK, 0, 0);
    Pump(50);
    EXPECT_EQ(nullptr, Form()->NotesWindow);
    EXPECT_TRUE(Form()->NotesEdited);
    EXPECT_TRUE(Form()->Button4->Enabled());
    EXPECT_TRUE(Form()->Load1->Enabled());
    std::string saved = TempFile("notes_saved.map");
    Save(saved);
    std::string bytes = ReadFileBytes(saved);
    EXPECT_EQ("new notes", bytes.substr(bytes.size() - 9));
}

// The notes window opens on its memo, where Enter starts a new line; Esc,
// from the memo too, cancels as Cancel does.
TEST_F(MapTest, TheNotesWindowOpensOnItsMemoAndEscCancels)
{
    ASSERT_TRUE(Load(FourTableMap("keys.map")));
    ChooseMenu(Form()->Notes1);
    TEditNotes* notes = Form()->NotesWindow;
    ASSERT_NE(nullptr, notes);
    for (int key : {VK_RETURN, int('X')}) RealInput::TypeKey(WORD(key));
    EXPECT_TRUE(WaitUntil([&] { return notes->Memo1->Text().find("\r\nx") != std::string::npos; }, 2000))
        << notes->Memo1->Text();
    RealInput::TypeKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return Form()->NotesWindow == nullptr; }, 2000)) << "Esc did not close it";
    EXPECT_FALSE(Form()->NotesEdited);
}

TEST_F(MapTest, TheOpenDialogPreviewsTheNotes)
{
    std::string withNotes = FourTableMap("preview.map", "preview text");
    std::string without = FourTableMap("nopreview.map", "");
    TGantOpenDialog* dialog = Form()->GantOpenDialog1;
    dialog->LoadRun(withNotes);
    EXPECT_TRUE(dialog->Memo()->Enabled());
    EXPECT_EQ("preview text", dialog->Memo()->Text());
    dialog->LoadRun(without);
    EXPECT_FALSE(dialog->Memo()->Enabled());
    EXPECT_EQ("", dialog->Memo()->Text());
    dialog->LoadRun(TempFile("missing.map"));
    EXPECT_FALSE(dialog->Memo()->Enabled());
}

// The real open dialog, driven from a timer that its modal loop runs: the
// preview sits in the dialog below the standard controls, follows the
// selection, keeps 8 pixels narrower than the dialog, and the chosen map
// is loaded when the dialog closes.
struct DialogProbe {
    TGantOpenDialog* Dialog = nullptr;
    std::string File;
    int Step = 0;
    bool PanelInDialog = false, PanelWidthFollows = false;
    std::string PreviewText;
    bool PreviewEnabled = false;
};
DialogProbe* Probe = nullptr;

struct ClassSearch {
    const char* Class;
    HWND Found;
};

BOOL CALLBACK MatchClass(HWND w, LPARAM data)
{
    auto* s = reinterpret_cast<ClassSearch*>(data);
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpiA(name, s->Class) == 0) {
        s->Found = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindChildOfClass(HWND parent, const char* className)
{
    ClassSearch search = {className, nullptr};
    EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

void CALLBACK DriveOpenDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    DialogProbe& p = *Probe;
    HWND dialog = p.Dialog->Handle();
    if (!dialog || !IsWindowVisible(dialog)) return;
    HWND panel = p.Dialog->Panel()->HandleAllocated() ? p.Dialog->Panel()->Handle() : nullptr;
    switch (p.Step++) {
    case 0: {
        p.PanelInDialog = panel && IsChild(dialog, panel);
        // Select the only file in the list: the dialog reports a selection change.
        if (HWND list = FindChildOfClass(dialog, "SysListView32")) {
            LVITEMA item = {};
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
        }
        break;
    }
    case 1: {
        p.PreviewText = p.Dialog->Memo()->Text();
        p.PreviewEnabled = p.Dialog->Memo()->Enabled();
        RECT r;
        GetWindowRect(dialog, &r);
        SetWindowPos(dialog, nullptr, 0, 0, r.right - r.left + 120, r.bottom - r.top + 40, SWP_NOMOVE | SWP_NOZORDER);
        break;
    }
    default: {
        RECT client;
        GetClientRect(GetParent(panel), &client);
        p.PanelWidthFollows = p.Dialog->Panel()->Width() == client.right - 8;
        KillTimer(nullptr, timer);
        // The file name box, then OK.
        SetDlgItemTextA(dialog, 0x47C, p.File.c_str());
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        break;
    }
    }
}

TEST_F(MapTest, TheOpenDialogPreviewsTheNotesAndLoadsTheChoice)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "gantrel_open_dialog";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string file = folder + "\\preview.map";
    WriteFileBytes(file, MakeMapBytes(201, 1001, 4, 13, 9, "preview text"));
    Form()->MapDirectory = folder + "\\";

    DialogProbe probe;
    probe.Dialog = Form()->GantOpenDialog1;
    probe.File = file;
    Probe = &probe;
    UINT_PTR timer = SetTimer(nullptr, 0, 300, DriveOpenDialog);
    Form()->Button4Click(Form());
    KillTimer(nullptr, timer);
    Probe = nullptr;

    EXPECT_TRUE(probe.PanelInDialog);
    EXPECT_EQ("preview text", probe.PreviewText);
    EXPECT_TRUE(probe.PreviewEnabled);
    EXPECT_TRUE(probe.PanelWidthFollows);
    EXPECT_TRUE(Form()->FileLoaded);
    EXPECT_EQ(file, Form()->CurrentFileName);
    EXPECT_EQ("preview text", Form()->Config.FileSet[0].Kind->Notes);
}

}  // namespace

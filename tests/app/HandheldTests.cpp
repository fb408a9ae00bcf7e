// Sending maps to the handheld on COM3, with controllers on COM1 (and COM4).
// The handheld dialog is driven while it runs modally, from a timer of the
// test thread: it clicks Send, reads the status, answers the message box
// and clicks Close, as a user would. What the handheld received is checked
// field by field against the map files, packed here from the formulas of
// each table kind.
#include "Form11.h"
#include "MainWindowFixture.h"
#include "ModalScript.h"

#include <cmath>
#include <deque>
#include <functional>

namespace {

constexpr int RecordLength = 1890;
constexpr int TableLength = 288;

// --- The dialog, as a user works it ----------------------------------------

struct DialogUser {
    // One entry per click of Send, in order; each runs just before its
    // click (to change the handheld or the dialog's fields). When none is
    // left, Close is clicked.
    std::deque<std::function<void(TForm11*)>> Sends;
    // Runs whenever the dialog comes up, before anything is clicked.
    std::function<void(TForm11*)> AtShow;
    // The dialog sends by itself: wait for it to close.
    bool JustWatch = false;
    // Seen.
    int Shows = 0;
    int Verified = 0;  // sends after which the dialog closed by itself
    std::vector<std::string> Titles, Notes, HardwareIds;
    std::vector<std::string> Failures;  // the status of each send that left the dialog open
    std::vector<std::string> BoxCaptions, BoxTexts;
    bool ControllerPortFree = true;
    // Where the user is.
    enum { Waiting, Sent, Closed } State = Waiting;
    bool NewShow = true;
};
DialogUser* User = nullptr;

struct BoxSearch {
    HWND Found = nullptr;
};

BOOL CALLBACK FindMessageBox(HWND w, LPARAM data)
{
    char name[16] = "";
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(w)) {
        reinterpret_cast<BoxSearch*>(data)->Found = w;
        return FALSE;
    }
    return TRUE;
}

// The dialog's buttons and check box are skinned: they take the mouse.
void Click(TWinControl* control)
{
    TModalScript::Click(control);
}

void CALLBACK WorkTheDialog(HWND, UINT, UINT_PTR, DWORD)
{
    static bool busy = false;
    if (!User || busy || !Form11) return;
    busy = true;
    DialogUser& u = *User;
    TForm11* dialog = Form11;

    const bool shown = dialog->Visible() && dialog->HandleAllocated() && IsWindowVisible(dialog->Handle());
    // A message box over the dialog is read and answered first.
    BoxSearch box;
    if (shown) EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&box));
    if (box.Found) {
        char text[2048] = "", caption[256] = "";
        GetWindowTextA(box.Found, caption, sizeof caption);
        GetDlgItemTextA(box.Found, 0xFFFF, text, sizeof text);
        u.BoxCaptions.push_back(caption);
        u.BoxTexts.push_back(text);
        PostMessageA(box.Found, WM_COMMAND, IDOK, 0);
        busy = false;
        return;
    }

    if (!shown) {
        if (u.State == DialogUser::Sent) ++u.Verified;
        u.State = DialogUser::Waiting;
        u.NewShow = true;
        busy = false;
        return;
    }
    if (u.State == DialogUser::Sent) {
        std::string status = dialog->Label1->Caption();
        if (status.empty() && u.JustWatch) {
            // Its own send has not run yet.
            busy = false;
            return;
        }
        if (status.empty()) {
            // The send was verified and the next map's dialog is up already.
            ++u.Verified;
            u.NewShow = true;
        } else {
            u.Failures.push_back(status);
        }
    } else if (u.State == DialogUser::Closed) {
        u.NewShow = true;
    }
    if (u.NewShow) {
        u.NewShow = false;
        ++u.Shows;
        if (u.Shows == 1) TModalScript::KeepPicture(dialog, "handheld-dialog.bmp");
        u.Titles.push_back(dialog->Edit1->Text());
        u.Notes.push_back(dialog->Memo1->Text());
        u.HardwareIds.push_back(dialog->Edit2->Text());
        if (Form1 && (Form1->Port.IsOpen() || !Form1->None1->Checked())) u.ControllerPortFree = false;
        if (u.AtShow) u.AtShow(dialog);
        if (u.JustWatch) {
            u.State = DialogUser::Sent;
            busy = false;
            return;
        }
    }
    if (u.JustWatch) {
        // Still up after its own send: the user gives up.
        Click(dialog->EpButton1);
        u.State = DialogUser::Closed;
    } else if (!u.Sends.empty()) {
        auto before = u.Sends.front();
        u.Sends.pop_front();
        if (before) before(dialog);
        Click(dialog->EpButton2);
        u.State = DialogUser::Sent;
    } else {
        Click(dialog->EpButton1);
        u.State = DialogUser::Closed;
    }
    busy = false;
}

// --- The maps and what the handheld must receive -------------------------

int Sgn(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

// The controller byte of a grid value, per table kind (0 is always 128).
using Pack = std::function<int(int)>;
const Pack AapPack = [](int v) { return v ? int(double(float(v) * 2.56f) + 0.5 * Sgn(v)) + 128 : 128; };
const Pack MpPack = [](int v) { return v ? int(double(float(v) * 1.016f) + 0.5 * Sgn(v)) + 128 : 128; };
const Pack IgnitionPack = [](int v) { return v ? int(v * 128 / 11.25 + 0.5 * Sgn(v) + 128) : 128; };
const Pack FuelPack = [](int v) { return v ? int(v * 2 * 0.01 * 128 + 0.5 * Sgn(v)) + 128 : 128; };
const Pack FuelBPack = [](int v) { return v ? v + 128 : 128; };
// The throttle table's span comes from the handheld unit's throttle range.
Pack TpPack(int open, int closed)
{
    int span = 6375 / (open - closed);
    return [span](int v) { return v ? int(v * 127.0 / span + 128 + 0.5 * Sgn(v)) : 128; };
}

// A map as MakeMapBytes writes it: rows at 500, 1000, ... rpm, 9 columns,
// table t's cell (r, c) = first + (t + r + c) % 5.
struct MapFile {
    std::string Path;
    int Tables;
    int Rows;
    int First;
    int Value(int t, int r, int c) const { return First + (t + r + c) % 5; }
};

MapFile WriteMap(const std::string& name, int code, int tables, const std::string& notes, int first = 0)
{
    MapFile map{TempFile(name), tables, 13, first};
    WriteFileBytes(map.Path, MakeMapBytes(201, code, tables, map.Rows, 9, notes, first));
    return map;
}

// With a step of 500 rpm the row at 500 + 500 r lands in cell 31 - r; the
// cells of higher speeds keep the last row's value.
std::string PackedTable(const MapFile& map, int t, const Pack& pack)
{
    std::string bytes(TableLength, '\0');
    for (int c = 0; c < 9; ++c) {
        for (int r = 0; r < map.Rows; ++r) bytes[size_t(c * 32 + 31 - r)] = char(pack(map.Value(t, r, c)));
        for (int i = 0; i < 32 - map.Rows; ++i) bytes[size_t(c * 32 + i)] = char(pack(map.Value(t, map.Rows - 1, c)));
    }
    return bytes;
}

std::string Slot(const std::string& record, int n)
{
    return record.substr(size_t(162 + TableLength * n), TableLength);
}

std::string Field(const std::string& record, size_t offset, size_t length)
{
    return record.substr(offset, length);
}

std::string Padded(const std::string& text, size_t length)
{
    std::string field = text;
    field.resize(length, '\0');
    return field;
}

class HandheldTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        if (HasFatalFailure()) return;
        Handheld.Ok("clear");
        Com1.Ok("clear");
        // The dialog lives for the whole run: no box ticked by another test.
        Form11->CheckBox1->SetChecked(false);
        User = &Dialog;
        Timer = SetTimer(nullptr, 0, 60, WorkTheDialog);
    }
    void TearDown() override
    {
        KillTimer(nullptr, Timer);
        User = nullptr;
        Form11->CheckBox1->SetChecked(false);
        MainWindowTest::TearDown();
    }

    // The user sends once and the handheld verifies it (default), or
    // follows the Sends given.
    void SendCurrentMap()
    {
        ChooseMenu(Form()->SendCurrentMapToHandheld1);
        // The last look at the dialog after it went away.
        Pump(300);
    }
    std::string Record(int n = -1)
    {
        return FromHex(Handheld.Ok(n < 0 ? "record" : "record " + std::to_string(n)));
    }
    int Records() { return std::stoi(Handheld.Ok("records")); }

    DialogUser Dialog;
    UINT_PTR Timer = 0;
};

// --- Tests -----------------------------------------------------------------

TEST_F(HandheldTest, TheMapIsSentToTheHandheldAndVerifiedByItsEcho)
{
    // A title of 40 and more characters, notes with a line break.
    MapFile map = WriteMap("a_title_of_forty_and_more_characters_long.map", 1001, 4, "a\r\nb");
    ASSERT_TRUE(Load(map.Path));
    ASSERT_TRUE(ConnectCom1());
    Com1.Ok("clear");
    Dialog.Sends = {nullptr};

    SendCurrentMap();

    EXPECT_EQ(1, Dialog.Shows);
    EXPECT_EQ(1, Dialog.Verified);
    EXPECT_TRUE(Dialog.Failures.empty()) << Dialog.Failures[0];
    EXPECT_TRUE(Dialog.BoxTexts.empty());
    // The dialog showed the map; the controller's port was free meanwhile.
    ASSERT_EQ(1u, Dialog.Titles.size());
    EXPECT_EQ(ExtractFileName(map.Path), Dialog.Titles[0]);
    EXPECT_EQ("a\r\nb", Dialog.Notes[0]);
    EXPECT_EQ("50", Dialog.HardwareIds[0]);
    EXPECT_TRUE(Dialog.ControllerPortFree);

    // The controller on COM1 was asked first and was not taken for the handheld.
    EXPECT_NE(std::string::npos, (" " + Com1.Ok("transcript") + " ").find(" 77 ")) << Com1.Ok("transcript");
    EXPECT_EQ("M P record:1890", Handheld.Ok("transcript"));

    ASSERT_EQ(1, Records());
    std::string record = Record();
    ASSERT_EQ(size_t(RecordLength), record.size());
    std::string name = ExtractFileName(map.Path);
    EXPECT_EQ(Padded(name.substr(0, 31), 32), Field(record, 0, 32));
    EXPECT_EQ(Padded("a\nb", 128), Field(record, 32, 128));
    // Model 1 runs on controller version 50 ('2') by the compatibility matrix.
    EXPECT_EQ(50, uint8_t(record[160]));
    EXPECT_EQ(4, record[161]);
    // AAP, TP, MP and ignition by their wire numbers 1, 0, 2, 3; '2' units
    // read the throttle between 56 and 213.
    EXPECT_EQ(PackedTable(map, 0, AapPack), Slot(record, 1));
    EXPECT_EQ(PackedTable(map, 1, TpPack(213, 56)), Slot(record, 0));
    EXPECT_EQ(PackedTable(map, 2, MpPack), Slot(record, 2));
    EXPECT_EQ(PackedTable(map, 3, IgnitionPack), Slot(record, 3));
    EXPECT_EQ(std::string(TableLength * 2, '\0'), record.substr(162 + TableLength * 4));

    // The controller's port is chosen again and the controller found.
    EXPECT_TRUE(Form()->Com11->Checked());
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(1) != "-----" && !LiveValue(1).empty(); }, 8000));
}

TEST_F(HandheldTest, EachFailureKeepsTheDialogOpenWithItsMessage)
{
    MapFile map = WriteMap("failures.map", 1004, 1, "notes");
    ASSERT_TRUE(Load(map.Path));
    Dialog.Sends = {
        [this](TForm11*) { Handheld.Ok("unplug"); },
        [this](TForm11*) {
            Handheld.Ok("replug");
            Handheld.Ok("fault silence");
        },
        [this](TForm11*) { Handheld.Ok("fault noecho"); },
        [this](TForm11*) { Handheld.Ok("fault short 1000"); },
        [this](TForm11*) { Handheld.Ok("fault corrupt 500"); },
        // Any byte after 'P' is an echo.
        [this](TForm11*) {
            Handheld.Ok("fault none");
            Handheld.Ok("echo-byte 0");
        },
    };

    SendCurrentMap();

    EXPECT_EQ(1, Dialog.Shows);
    EXPECT_EQ(1, Dialog.Verified);
    const std::string notFound = "Handheld running \"Lindrow\" not found";
    std::vector<std::string> expected = {notFound, notFound, "Echo Failed", "Communication Error: Map Echo Failed",
                                         "Verify Failed"};
    EXPECT_EQ(expected, Dialog.Failures);
    // No handheld anywhere: the message box says so, twice.
    ASSERT_EQ(2u, Dialog.BoxTexts.size());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ("Communication Error", Dialog.BoxCaptions[i]);
        EXPECT_EQ("Communication with a handheld device could not be established on any com port.  Please verify "
                  "that you have \"Lindrow\" installed on your handheld device and that you are currently listening "
                  "to the port on the handheld device.  Additionally, please verify that any software on your PC "
                  "that may interfere with communication with your handheld device is disabled (its "
                  "synchronisation software).",
                  Dialog.BoxTexts[i]);
    }
    // The short and the corrupt echo came after whole records; so did the good one.
    EXPECT_EQ("M M P M P record:1890 M P record:1890 M P record:1890", Handheld.Ok("transcript"));
    EXPECT_EQ(3, Records());
    // No port was set before: none is set after.
    EXPECT_TRUE(Form()->None1->Checked());
}

TEST_F(HandheldTest, AControllerPortBeyondCom4IsNotChosenAgain)
{
    MapFile map = WriteMap("com6.map", 1004, 1, "");
    ASSERT_TRUE(Load(map.Path));
    ChooseMenu(Form()->Com61);
    EXPECT_TRUE(Form()->Com61->Checked());
    Dialog.Sends = {nullptr};

    SendCurrentMap();

    EXPECT_EQ(1, Dialog.Verified);
    EXPECT_TRUE(Dialog.ControllerPortFree);
    EXPECT_TRUE(Form()->None1->Checked());
    EXPECT_FALSE(Form()->Com61->Checked());
    EXPECT_FALSE(Form()->Timer2->Enabled());
    EXPECT_TRUE(Form()->PortOpenName.empty());

    // COM4 is chosen again like COM1..COM3.
    ChooseMenu(Form()->Com41);
    Dialog.Sends = {nullptr};
    SendCurrentMap();
    EXPECT_EQ(2, Dialog.Verified);
    EXPECT_TRUE(Form()->Com41->Checked());
    EXPECT_EQ("com4", Form()->PortOpenName);
}

TEST_F(HandheldTest, TheTickedBoxSendsAsSoonAsTheDialogShows)
{
    MapFile map = WriteMap("auto.map", 1004, 1, "");
    ASSERT_TRUE(Load(map.Path));
    // The user ticks the box and closes the dialog without sending.
    Dialog.AtShow = [](TForm11* dialog) { Click(dialog->CheckBox1); };
    SendCurrentMap();
    EXPECT_EQ(1, Dialog.Shows);
    EXPECT_EQ(0, Records());
    EXPECT_TRUE(Form11->CheckBox1->Checked());

    // Next time the dialog sends by itself and closes when verified.
    Dialog.AtShow = nullptr;
    Dialog.JustWatch = true;
    SendCurrentMap();
    EXPECT_EQ(2, Dialog.Shows);
    EXPECT_EQ(1, Dialog.Verified);
    EXPECT_EQ(1, Records());
    EXPECT_FALSE(Form11->Timer2->Enabled());
}

TEST_F(HandheldTest, ThePortFindsTheHandheldOnlyWhereItListens)
{
    THandheldPort port;
    char bytes[4] = {};
    EXPECT_EQ(0, port.Write(1, "M"));
    EXPECT_EQ(0, port.Read(1, bytes));
    EXPECT_EQ(0, port.Open("com2"));  // nothing there
    EXPECT_FALSE(port.IsOpen());
    // A controller: it opens, but does not answer the probe.
    ASSERT_EQ(38400, port.Open("com1"));
    EXPECT_FALSE(port.Probe());
    port.Close();
    EXPECT_FALSE(port.IsOpen());

    ASSERT_EQ(38400, port.Open("com3"));
    EXPECT_EQ("baud=38400 bits=8 parity=none stop=2 crtscts=off ixon=off ixoff=off", Handheld.Ok("line"));
    EXPECT_TRUE(port.Probe());
    // Nothing comes: the read gives up after 50 ms and 8 ms a byte, and
    // reports nothing rather than a part.
    DWORD start = GetTickCount();
    EXPECT_EQ(0, port.Read(4, bytes));
    DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 70u);
    EXPECT_LT(took, 2000u);
    // Three of four bytes are no answer either.
    Handheld.Ok("fault short 3");
    EXPECT_EQ(1, port.Write(1, "P"));
    EXPECT_EQ(1, port.Read(1, bytes));
    std::string record(1890, 'r');
    EXPECT_EQ(1890, port.Write(1890, record.data()));
    std::string back(1890, '\0');
    EXPECT_EQ(0, port.Read(1890, &back[0]));
    EXPECT_EQ("rrr", back.substr(0, 3));
    port.Close();
    EXPECT_EQ(0, port.Write(1, "M"));
}

TEST_F(HandheldTest, TitleAndNotesNeverOverflowTheirFields)
{
    std::string longNotes = "first line\r\n" + std::string(200, 'n');
    MapFile map = WriteMap("fields.map", 1004, 1, longNotes);
    ASSERT_TRUE(Load(map.Path));
    // The user puts a long title into the dialog before sending.
    Dialog.Sends = {[](TForm11* dialog) { dialog->Edit1->SetText(std::string(100, 't')); }};

    SendCurrentMap();

    ASSERT_EQ(1, Dialog.Verified);
    std::string record = Record();
    EXPECT_EQ(Padded(std::string(31, 't'), 32), Field(record, 0, 32));
    // 127 characters of the note, its carriage return then taken out.
    std::string notes = (longNotes.substr(0, 127));
    notes.erase(notes.find('\r'), 1);
    EXPECT_EQ(Padded(notes, 128), Field(record, 32, 128));
    // Fuel model 4 runs on controller version 100.
    EXPECT_EQ(100, uint8_t(record[160]));
    EXPECT_EQ(1, record[161]);
}

TEST_F(HandheldTest, AModelWithoutAHardwareIdIsRefused)
{
    // Model 300: the compatibility matrix has no row for it.
    MapFile map = WriteMap("model300.map", 1300, 1, "");
    ASSERT_TRUE(Load(map.Path));
    ASSERT_TRUE(ConnectCom1());

    SendCurrentMap();

    EXPECT_EQ("File Version Not Compatible with Handheld", Status());
    EXPECT_EQ(0, Dialog.Shows);
    EXPECT_EQ("", Handheld.Ok("transcript"));
    // The controller was never let go of.
    EXPECT_TRUE(Form()->Com11->Checked());
    EXPECT_TRUE(Form()->Port.IsOpen());
    std::string live = LiveValue(0);
    EXPECT_TRUE(WaitUntil([&] { return LiveValue(0) != live; }, 4000));

    // A model whose low byte is 100 or more is its own id.
    MapFile own = WriteMap("model356.map", 1356, 1, "");
    ASSERT_TRUE(Load(own.Path));
    Dialog.Sends = {nullptr};
    SendCurrentMap();
    ASSERT_EQ(1, Dialog.Verified);
    EXPECT_EQ("100", Dialog.HardwareIds[0]);
    EXPECT_EQ(100, uint8_t(Record()[160]));
}

// A monitor that does not let go of the controller's port keeps it: either
// command ends with the busy text, no dialog and no port chosen again.
TEST_F(HandheldTest, APortTheMonitorKeepsEndsTheCommand)
{
    MapFile map = WriteMap("kept.map", 1004, 1, "");
    ASSERT_TRUE(Load(map.Path));
    ASSERT_TRUE(ConnectCom1());
    AnswerFileDialogs({map.Path});
    for (TMenuItem* command : {Form()->SendCurrentMapToHandheld1, Form()->SendMapsToHandheld1}) {
        // Unserved, the monitor waits in its hand-off to the window; held
        // there, it answers no pause.
        Sleep(300);
        ASSERT_NE(DWORD(-1), SuspendThread(Form()->MonitorThread->Handle()));
        ChooseMenu(command);
        ASSERT_NE(DWORD(-1), ResumeThread(Form()->MonitorThread->Handle()));
        EXPECT_EQ("The link to the controller is busy. Try again.", Status());
        EXPECT_EQ(0, Dialog.Shows);
        EXPECT_TRUE(Form()->Com11->Checked() && Form()->Port.IsOpen());
        EXPECT_TRUE(WaitUntil([this] { return LiveValue(1) != "-----"; }, 4000));
    }
}

TEST_F(HandheldTest, WithoutAMapThereIsNothingToSend)
{
    ChooseMenu(Form()->SendCurrentMapToHandheld1);
    EXPECT_EQ("Load a File First", Status());
    EXPECT_EQ(0, Dialog.Shows);
    EXPECT_EQ("", Handheld.Ok("transcript"));
}

TEST_F(HandheldTest, SendMapsSendsEveryChosenMapFromItsOwnTables)
{
    MapFile current = WriteMap("current.map", 1001, 4, "current");
    MapFile four = WriteMap("four.map", 1002, 4, "four tables", 1);
    MapFile fuel = WriteMap("fuel.map", 1004, 1, "one table", 10);
    ASSERT_TRUE(Load(current.Path));
    ASSERT_TRUE(ConnectCom1());
    // An edit in the grid that is not saved yet.
    Form()->StringGrid1->SetFocus();
    Form()->StringGrid1->SetCol(1);
    Form()->StringGrid1->SetRow(1);
    PressKey('7');
    ASSERT_TRUE(Form()->MapEdited);

    std::vector<std::string> chosen = {four.Path, fuel.Path};
    int opened = 0;
    TCommonDialog::ExecuteHook = [&](TCommonDialog* dialog) {
        ++opened;
        auto* open = static_cast<TOpenDialog*>(dialog);
        EXPECT_TRUE(open->Options() & (1u << ofAllowMultiSelect));
        open->Files()->Clear();
        for (const std::string& path : chosen) open->Files()->Add(path);
        open->SetFileName(chosen[0]);
        return true;
    };
    // Cancel at the question: nothing is loaded or sent.
    QuestionAnswer = mrCancel;
    ChooseMenu(Form()->SendMapsToHandheld1);
    ASSERT_EQ(1u, Questions.size());
    EXPECT_EQ("Your map has been edited. Save the map file?", Questions[0]);
    EXPECT_EQ(0, opened);
    EXPECT_EQ(current.Path, Form()->CurrentFileName);

    // No: the maps go, one dialog each.
    QuestionAnswer = mrNo;
    Dialog.Sends = {nullptr, nullptr};
    ChooseMenu(Form()->SendMapsToHandheld1);
    Pump(300);
    TCommonDialog::ExecuteHook = nullptr;
    EXPECT_EQ(2u, Questions.size());
    EXPECT_EQ(1, opened);
    EXPECT_EQ(2, Dialog.Shows);
    EXPECT_EQ(2, Dialog.Verified);
    EXPECT_TRUE(Dialog.ControllerPortFree);
    ASSERT_EQ(2, Records());

    std::string first = Record(0);
    EXPECT_EQ(Padded("gantrel_app_four.map", 32), Field(first, 0, 32));
    EXPECT_EQ(Padded("four tables", 128), Field(first, 32, 128));
    EXPECT_EQ(51, uint8_t(first[160]));  // model 2 runs on '3'
    EXPECT_EQ(4, first[161]);
    EXPECT_EQ(PackedTable(four, 0, AapPack), Slot(first, 1));
    EXPECT_EQ(PackedTable(four, 1, TpPack(216, 58)), Slot(first, 0));
    EXPECT_EQ(PackedTable(four, 2, MpPack), Slot(first, 2));
    EXPECT_EQ(PackedTable(four, 3, IgnitionPack), Slot(first, 3));

    std::string second = Record(1);
    EXPECT_EQ(Padded("gantrel_app_fuel.map", 32), Field(second, 0, 32));
    EXPECT_EQ(Padded("one table", 128), Field(second, 32, 128));
    EXPECT_EQ(100, uint8_t(second[160]));
    EXPECT_EQ(1, second[161]);
    EXPECT_EQ(PackedTable(fuel, 0, FuelPack), Slot(second, 0));
    // The slots the fuel map has no table for keep the four-table map's.
    for (int n = 1; n < 6; ++n) EXPECT_EQ(Slot(first, n), Slot(second, n)) << n;

    // The map that was loaded before comes back from its file, on screen.
    EXPECT_EQ(current.Path, Form()->CurrentFileName);
    EXPECT_TRUE(Form()->FileLoaded);
    EXPECT_EQ(4, Form()->EpIITabControl1->Tabs()->Count());
    EXPECT_EQ(std::to_string(current.Value(0, 0, 0)), Form()->StringGrid1->Cells(1, 1));
    EXPECT_EQ("current", Form()->Config.FileSet[0].Kind->Notes);
    EXPECT_TRUE(Form()->Com11->Checked());
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(1) != "-----" && !LiveValue(1).empty(); }, 8000));
}

// The real open dialog: two names typed into its file name box.
std::string TypedNames;

void CALLBACK TypeTwoNames(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = Form1 ? Form1->GantOpenDialog1->Handle() : nullptr;
    if (!dialog || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    SetDlgItemTextA(dialog, 0x47C, TypedNames.c_str());
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(HandheldTest, TheOpenDialogTakesSeveralMapsAtOnce)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "gantrel_handheld_dialog";
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(folder + "\\first.map", MakeMapBytes(201, 1004, 1, 13, 9, "first"));
    WriteFileBytes(folder + "\\second.map", MakeMapBytes(201, 1006, 1, 13, 9, "second"));
    Form()->MapDirectory = folder + "\\";
    TypedNames = "\"first.map\" \"second.map\"";
    UINT_PTR typing = SetTimer(nullptr, 0, 300, TypeTwoNames);
    Dialog.Sends = {nullptr, nullptr};

    ChooseMenu(Form()->SendMapsToHandheld1);
    Pump(300);
    KillTimer(nullptr, typing);

    EXPECT_EQ(2, Dialog.Verified);
    ASSERT_EQ(2, Records());
    EXPECT_EQ(Padded("first.map", 32), Field(Record(0), 0, 32));
    EXPECT_EQ(Padded("second.map", 32), Field(Record(1), 0, 32));
    // The folder the user works in stays the map folder.
    EXPECT_EQ(folder + "\\", Form()->MapDirectory);
}

TEST_F(HandheldTest, SendMapsSkipsAFileThatCannotBeLoaded)
{
    MapFile fuel = WriteMap("skip_fuel.map", 1006, 1, "", 2);
    std::string broken = TempFile("skip_broken.map");
    WriteFileBytes(broken, "no map at all");
    AnswerFileDialogs({fuel.Path, broken});
    Dialog.Sends = {nullptr, nullptr};
    ChooseMenu(Form()->SendMapsToHandheld1);
    Pump(300);
    TCommonDialog::ExecuteHook = nullptr;

    // Only the map that loaded went, and it stays loaded under its own name.
    EXPECT_EQ(1, Dialog.Shows);
    EXPECT_EQ(1, Records());
    EXPECT_EQ(fuel.Path, Form()->CurrentFileName);
    EXPECT_TRUE(Form()->FileLoaded);
    EXPECT_EQ(std::to_string(fuel.Value(0, 0, 0)), Form()->StringGrid1->Cells(1, 1));
    EXPECT_EQ(102, uint8_t(Record()[160]));
}

}  // namespace

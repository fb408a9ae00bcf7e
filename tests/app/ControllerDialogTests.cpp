// The controller settings dialogs, driven as a user drives them against
// the simulated controller: the hardware information, the current table
// set of version-2 units and the cylinder trims.
#include "ControllerDialogFixture.h"
#include "Form12.h"
#include "Form13.h"
#include "Form9.h"
#include "SavedPicture.h"

namespace {

using Script = TModalScript;

std::string ShortDate(WORD year, WORD month, WORD day)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    char text[128] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, sizeof text);
    return text;
}

const char* const DefaultReleaseNotes =
    "Fuel rev 3, ignition rev 2. Smoother closed-throttle transition, faster hot restart, wider O2 trim range.";
const char* const DefaultProductionNotes =
    "Assembled and bench tested. Injector drivers checked, throttle sensor range verified, firmware loaded and "
    "calibration block written.";

// --- Hardware information ---------------------------------------------------

// A text label's lines as one text, its lines joined by line breaks.
std::string LabelText(TepTextLabel* label)
{
    std::string text = label->Lines()->Text();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
    return text;
}

struct THardwareInfo {
    std::string Caption, Serial, Production, Date, Version, Fuel, Ignition, Map, Release, Notes;
    bool IgnitionShown = false, IgnitionCaptionShown = false;
};

class HardwareInfoTest : public ControllerDialogTest {
protected:
    // Opens the window from the menu, reads what it shows and closes it
    // with its button; false when no window came.
    bool ShowInfo(THardwareInfo& info)
    {
        Script script;
        script.Then([&] { return Form9->Visible(); })
            .Then([&] {
                info.Caption = Form9->Caption();
                info.Serial = Form9->Label2->Caption();
                info.Production = Form9->Label14->Caption();
                info.Date = Form9->Label4->Caption();
                info.Version = Form9->Label6->Caption();
                info.Fuel = Form9->Label8->Caption();
                info.Ignition = Form9->Label10->Caption();
                info.Map = Form9->Label12->Caption();
                info.Release = LabelText(Form9->epTextLabel1);
                info.Notes = LabelText(Form9->epTextLabel2);
                info.IgnitionShown = Form9->Label10->Visible();
                info.IgnitionCaptionShown = Form9->Label9->Visible();
                Script::Click(Form9->Button1);
                return true;
            });
        script.Start();
        ChooseMenu(Form()->HardwareInfo1);
        return script.Finished();
    }
    void ConnectVersion1()
    {
        Com1.Ok("version 1");
        ASSERT_TRUE(ConnectCom1());
        ASSERT_TRUE(Form()->HardwareInfo1->Visible());
    }
};

TEST_F(HardwareInfoTest, ShowsTheUnscrambledNumbersTheInfoBlockAndBothNotes)
{
    ConnectVersion1();
    THardwareInfo info;
    ASSERT_TRUE(ShowInfo(info));
    EXPECT_EQ("Hardware Info", info.Caption);
    EXPECT_EQ("20517", info.Serial);
    EXPECT_EQ("1187", info.Production);
    EXPECT_EQ(ShortDate(2019, 3, 14), info.Date);
    EXPECT_EQ("1", info.Version);
    EXPECT_EQ("3", info.Fuel);
    EXPECT_EQ("2", info.Ignition);
    EXPECT_EQ("105", info.Map);
    EXPECT_TRUE(info.IgnitionShown);
    EXPECT_TRUE(info.IgnitionCaptionShown);
    EXPECT_EQ(std::string("Release Notes:\r\n") + DefaultReleaseNotes, info.Release);
    EXPECT_EQ(std::string("Production Notes:\r\n") + DefaultProductionNotes, info.Notes);
    EXPECT_EQ("Serial Number", Form9->Label1->Caption());
    EXPECT_EQ("Ignition Revision", Form9->Label9->Caption());
    EXPECT_EQ("&Ok", Form9->Button1->Caption());
    EXPECT_TRUE(MonitorGoesOn());
}

// The picture kept of the window (build/artifacts/hardware-info-window.bmp)
// shows the panels' own drawing: shadow strips at half the form's colour
// beside them, and the notes' text on the panels' faces.
TEST_F(HardwareInfoTest, KeepsAPictureOfTheWindowWithItsShadowsAndNotes)
{
    ConnectVersion1();
    TSavedPicture picture;
    POINT client{};
    bool kept = false;
    RECT panel1{}, panel3{}, label2{};
    Script script;
    script.Then([&] { return Form9->Visible(); })
        .Then([&] { return LabelText(Form9->epTextLabel2).find(DefaultProductionNotes) != std::string::npos; })
        .Then([&] {
            panel1 = Form9->epShadowPanel1->BoundsRect();
            panel3 = Form9->epShadowPanel3->BoundsRect();
            label2 = Form9->epTextLabel2->BoundsRect();
            kept = KeepWindowPicture(Form9->Handle(), ExeDirectory(), "hardware-info-window.bmp", picture, client);
            Script::Click(Form9->Button1);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->HardwareInfo1);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();
    ASSERT_TRUE(kept);
    ASSERT_GE(picture.Width(), 440);
    ASSERT_GE(picture.Height(), 336);
    auto at = [&](int x, int y) { return picture.Pixel(client.x + x, client.y + y); };
    // The first panel's right strip (its last four columns, from four rows
    // down) and bottom strip lie over the bare form: half of it.
    const COLORREF form = at(panel1.right + 2, (panel1.top + panel1.bottom) / 2);
    EXPECT_EQ(form, at(panel1.right + 2, panel1.top + 20));
    EXPECT_EQ(Halved(form), at(panel1.right - 2, (panel1.top + panel1.bottom) / 2));
    EXPECT_EQ(Halved(form), at(panel1.right - 1, panel1.bottom - 1));
    EXPECT_EQ(form, at(panel1.right - 2, panel1.top + 1));  // above the strip
    EXPECT_EQ(form, at((panel3.left + panel3.right) / 2, panel3.top - 3));  // between the panels
    EXPECT_EQ(Halved(form), at((panel3.left + panel3.right) / 2, panel3.bottom - 2));
    // The production notes' label drew text over the third panel's face.
    const COLORREF face = at(panel3.left + 3, panel3.top + 3);
    size_t text = 0;
    for (int y = panel3.top + label2.top; y < panel3.top + label2.bottom; ++y)
        for (int x = panel3.left + label2.left; x < panel3.left + label2.right; ++x)
            if (at(x, y) != face) ++text;
    EXPECT_GT(text, 200u);
    EXPECT_GT(picture.Differing(), size_t(picture.Width() * picture.Height() / 50));
    EXPECT_TRUE(MonitorGoesOn());
}

TEST_F(HardwareInfoTest, OtherWordsComeOutWithTheSameKeys)
{
    // The keys, from the power-on block and the numbers it stands for.
    const std::string block = Block(1);
    const uint32_t plain[4] = {20517, 1187, 3, 43538};
    uint32_t keys[4];
    for (int i = 0; i < 4; ++i) {
        uint32_t stored = 0;
        for (int b = 0; b < 4; ++b) stored |= uint32_t(Byte(block, 4 * i + b)) << (8 * b);
        keys[i] = stored ^ plain[i];
    }
    std::string command = "hwinfo 4000000000 65536 7 44000";
    for (uint32_t key : keys) command += " " + std::to_string(key);
    Com1.Ok(command);
    ConnectVersion1();
    THardwareInfo info;
    ASSERT_TRUE(ShowInfo(info));
    EXPECT_EQ("4000000000", info.Serial);
    EXPECT_EQ("65536", info.Production);
    EXPECT_EQ(ShortDate(2020, 6, 18), info.Date);
}

// An ignition revision of 127 means none: "N/A", and its caption hides;
// the next unit with one shows both again.
TEST_F(HardwareInfoTest, IgnitionRevision127ShowsNotAvailableWithItsCaptionHidden)
{
    ConnectVersion1();
    Com1.Ok("info 03017f69010000000000000000000000 no ignition");
    THardwareInfo info;
    ASSERT_TRUE(ShowInfo(info));
    EXPECT_EQ("N/A", info.Ignition);
    EXPECT_FALSE(info.IgnitionShown);
    EXPECT_FALSE(info.IgnitionCaptionShown);
    EXPECT_EQ("3", info.Fuel);
    EXPECT_EQ("105", info.Map);
    EXPECT_EQ("Release Notes:\r\nno ignition", info.Release);

    Com1.Ok("info 03010469010000000000000000000000 ignition 4");
    ASSERT_TRUE(ShowInfo(info));
    EXPECT_EQ("4", info.Ignition);
    EXPECT_TRUE(info.IgnitionShown);
    EXPECT_TRUE(info.IgnitionCaptionShown);
}

// Without the info block the window shows what identification told:
// the version twice, the firmware byte's low bits and its bit 7.
TEST_F(HardwareInfoTest, WithoutTheInfoBlockIdentificationFillsIn)
{
    ConnectVersion1();
    Com1.Ok("infolen 0");
    THardwareInfo info;
    ASSERT_TRUE(ShowInfo(info));
    EXPECT_EQ("N/A", info.Serial);
    EXPECT_EQ("N/A", info.Date);
    EXPECT_EQ("", info.Production);
    EXPECT_EQ("1", info.Version);
    EXPECT_EQ("1", info.Fuel);        // flags 0xE1 & 0x0F
    EXPECT_EQ("128", info.Ignition);  // flags 0xE1 & 0x80
    EXPECT_EQ("1", info.Map);
    EXPECT_EQ("Release Notes:", info.Release);
    EXPECT_EQ("Production Notes:", info.Notes);
    EXPECT_TRUE(MonitorGoesOn());
}

// Block 1 cut short: its numbers are unknown, not the keys themselves.
TEST_F(HardwareInfoTest, ACutBlock1ShowsNoNumbers)
{
    ConnectVersion1();
    Com1.Ok("fault short 100");
    THardwareInfo info;
    ASSERT_TRUE(ShowInfo(info));
    EXPECT_EQ("N/A", info.Serial);
    EXPECT_EQ("N/A", info.Date);
    EXPECT_EQ("", info.Production);
    EXPECT_EQ("1", info.Version);
    EXPECT_EQ("3", info.Fuel);
    EXPECT_EQ("105", info.Map);
    // The release notes came as far as the reply did: 100 bytes less the header.
    EXPECT_EQ(std::string("Release Notes:\r\n") + std::string(DefaultReleaseNotes).substr(0, 84), info.Release);
    EXPECT_EQ("Production Notes:", info.Notes);
    Com1.Ok("fault none");
    EXPECT_TRUE(MonitorGoesOn());
}

TEST_F(HardwareInfoTest, NoControllerShowsNothingAndLetsTheMonitorGo)
{
    ConnectVersion1();
    Com1.Ok("fault silence");
    Script script;
    script.Then([] { return true; });
    script.Start();
    ChooseMenu(Form()->HardwareInfo1);
    EXPECT_FALSE(script.Started());
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    Com1.Ok("fault none");
    EXPECT_TRUE(MonitorGoesOn());
}

// --- Current table set ------------------------------------------------------

class TableSetTest : public ControllerDialogTest {
protected:
    void ConnectVersion2(int position)
    {
        Com1.Ok("version 2");
        std::string block = Block(3);
        block[7] = char(position);
        SetBlock(3, block);
        ASSERT_TRUE(ConnectCom1());
        ASSERT_TRUE(Form()->SetCurrentMap2->Visible());
    }
};

TEST_F(TableSetTest, TheTrackBarShowsByte7AndOkWritesTheNewPosition)
{
    ConnectVersion2(1);
    const std::string before = Block(3);
    Com1.Ok("clear");
    int shown = -1;
    std::string label;
    Script script;
    script.Then([&] { return Form12->Visible(); })
        .Then([&] {
            shown = Form12->EpTrackBar1->Position();
            label = Form12->Label3->Caption();
            Script::Key(Form12->EpTrackBar1, VK_RIGHT);
            return true;
        })
        .Then([&] {
            if (Form12->EpTrackBar1->Position() != 2) return false;
            Script::KeepPicture(Form12, "table-set-dialog.bmp");
            Script::Click(Form12->EpButton2);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetCurrentMap2);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();
    EXPECT_EQ(1, shown);
    EXPECT_EQ("Use Table Set #3", label);
    ASSERT_TRUE(WholeWriteArrives(21));

    const std::string after = Block(3);
    EXPECT_EQ(2, Byte(after, 7));
    for (int i = 0; i < 224; ++i) {
        if (i == 7) continue;
        EXPECT_EQ(Byte(before, i), Byte(after, i)) << i;
    }
    // The unit runs the third set now: the live "Table Num" says so.
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(5) == "3"; }, 8000));
}

TEST_F(TableSetTest, CancelWritesNothing)
{
    ConnectVersion2(0);
    Com1.Ok("clear");
    Script script;
    script.Then([&] { return Form12->Visible(); })
        .Then([&] {
            Script::Key(Form12->EpTrackBar1, VK_RIGHT);
            return true;
        })
        .Then([&] {
            if (Form12->EpTrackBar1->Position() != 1) return false;
            Script::Click(Form12->EpButton1);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetCurrentMap2);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();
    EXPECT_FALSE(Received("21"));
    EXPECT_EQ(0, Byte(Block(3), 7));
    EXPECT_TRUE(MonitorGoesOn());
}

TEST_F(TableSetTest, AFailedReadShowsNoWindowAndWritesNothing)
{
    ConnectVersion2(1);
    Com1.Ok("fault short 100");
    Com1.Ok("clear");
    Script script;
    script.Then([] { return true; });
    script.Start();
    ChooseMenu(Form()->SetCurrentMap2);
    EXPECT_FALSE(script.Started());
    EXPECT_EQ(Text(TextId::SettingsNotRead), Status());
    EXPECT_FALSE(Received("21"));
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    Com1.Ok("fault none");
    EXPECT_EQ(1, Byte(Block(3), 7));
    EXPECT_TRUE(MonitorGoesOn());
}

// --- Cylinder trims ---------------------------------------------------------

class TrimTest : public ControllerDialogTest {
protected:
    // A version-1 unit with cylinder trims; map numbers below 106 show their
    // trims with the fuel kind, the others one to one.
    void ConnectWith(int mapNumber, int cylinders, int t1, int t2, int t3, int t4)
    {
        Com1.Ok("version 1");
        char header[40];
        snprintf(header, sizeof header, "0301%02x%02x010000000000000000000000", 2, mapNumber);
        Com1.Ok(std::string("info ") + header + " notes");
        std::string block = Block(0);
        block[14] = char(cylinders);
        block[15] = char(t1);
        block[16] = char(t2);
        block[17] = char(t3);
        block[18] = char(t4);
        SetBlock(0, block);
        Before = block;
        ASSERT_TRUE(ConnectCom1());
        ASSERT_TRUE(Form()->SetFuelTrimValues1->Visible());
        Com1.Ok("clear");
    }
    struct TShown {
        bool Panels[4] = {};
        int Positions[4] = {};
        std::string Edits[4];
        bool ReadOnly = false;
        int Left1 = 0;
    };
    static TShown Look()
    {
        TShown s;
        TPanel* panels[4] = {Form13->Panel1, Form13->Panel2, Form13->Panel3, Form13->Panel4};
        TEpTrackBar* bars[4] = {Form13->EpTrackBar1, Form13->EpTrackBar2, Form13->EpTrackBar3, Form13->EpTrackBar4};
        TEdit* edits[4] = {Form13->Edit1, Form13->Edit2, Form13->Edit3, Form13->Edit4};
        for (int i = 0; i < 4; ++i) {
            s.Panels[i] = panels[i]->Visible();
            s.Positions[i] = bars[i]->Position();
            s.Edits[i] = edits[i]->Text();
        }
        s.ReadOnly = Form13->Edit1->ReadOnly();
        s.Left1 = Form13->Panel1->Left();
        return s;
    }
    // Opens the window, looks at it and closes it with Cancel.
    TShown LookAndCancel()
    {
        TShown shown;
        Script script;
        script.Then([&] { return Form13->Visible(); })
            .Then([&] {
                shown = Look();
                Script::Click(Form13->EpButton1);
                return true;
            });
        script.Start();
        ChooseMenu(Form()->SetFuelTrimValues1);
        EXPECT_TRUE(script.Finished());
        return shown;
    }
    std::string Before;
};

// Fuel kind (map number 105): a trim byte shows as round((b - 128) x
// 0.390625), 136 as 3 and 120 as -3; the track bar stands at minus that.
// Moving track bar 1 one step down makes the trim 2, written as
// 128 + trunc(2 x 2.56 + 0.5) = 133; trim 2 goes back as read, the absent
// cylinders 3 and 4 as "no change", every other byte as it was. Track bar 3
// of this two-cylinder unit snaps back when moved.
// Sees each position track bar 3 takes on its way, then lets the window's
// own handler run.
struct TBar3Probe {
    std::vector<int> Seen;
    void Changed(TObject* sender)
    {
        Seen.push_back(Form13->EpTrackBar3->Position());
        Form13->EpTrackBar3Change(sender);
    }
};

TEST_F(TrimTest, FuelKindTrimsAreShownMovedAndWrittenBack)
{
    ConnectWith(105, 2, 136, 120, 140, 99);
    TBar3Probe bar3;
    Form13->EpTrackBar3->OnChange = MakeEvent<&TBar3Probe::Changed>(&bar3);
    TShown shown, moved;
    Script script;
    script.Then([&] { return Form13->Visible(); })
        .Then([&] {
            shown = Look();
            Script::Key(Form13->EpTrackBar1, VK_DOWN);
            Script::Key(Form13->EpTrackBar3, VK_DOWN);
            return true;
        })
        .Then([&] {
            if (Form13->Edit1->Text() != "2") return false;
            moved = Look();
            Script::KeepPicture(Form13, "trim-dialog.bmp");
            Script::Click(Form13->EpButton2);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetFuelTrimValues1);
    Form13->EpTrackBar3->OnChange = MakeEvent<&TForm13::EpTrackBar3Change>(Form13);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();

    EXPECT_EQ("Set Cylinder Trim Values", Form13->Caption());
    EXPECT_TRUE(shown.Panels[0]);
    EXPECT_TRUE(shown.Panels[1]);
    EXPECT_FALSE(shown.Panels[2]);
    EXPECT_FALSE(shown.Panels[3]);
    EXPECT_EQ(-3, shown.Positions[0]);
    EXPECT_EQ(3, shown.Positions[1]);
    EXPECT_EQ("3", shown.Edits[0]);
    EXPECT_EQ("-3", shown.Edits[1]);
    EXPECT_TRUE(shown.ReadOnly);
    EXPECT_EQ(-2, moved.Positions[0]);
    // Track bar 3 moved one step and was put back.
    EXPECT_EQ((std::vector<int>{1, 0}), bar3.Seen);
    EXPECT_EQ(0, moved.Positions[2]);
    EXPECT_EQ("0", moved.Edits[2]);
    ASSERT_TRUE(WholeWriteArrives(18));

    const std::string after = Block(0);
    EXPECT_EQ(133, Byte(after, 15));
    EXPECT_EQ(120, Byte(after, 16));
    EXPECT_EQ(128, Byte(after, 17));
    EXPECT_EQ(128, Byte(after, 18));
    for (int i = 0; i < 224; ++i) {
        if (i >= 15 && i <= 18) continue;
        EXPECT_EQ(Byte(Before, i), Byte(after, i)) << i;
    }
    EXPECT_TRUE(MonitorGoesOn());
}

// One to one (map number 110): byte - 128. A trim of 12 lies beyond the
// track bar; untouched it goes back as 140, not as the bar's 5. A trim moved
// to 0 is written as "no change", 128.
TEST_F(TrimTest, OneToOneTrimsGoBackExactlyAndZeroIsNoChange)
{
    ConnectWith(110, 4, 140, 127, 128, 133);
    TShown shown;
    Script script;
    script.Then([&] { return Form13->Visible(); })
        .Then([&] {
            shown = Look();
            // Trim 2 is -1 (bar at 1): one step up is 0.
            Script::Key(Form13->EpTrackBar2, VK_UP);
            return true;
        })
        .Then([&] {
            if (Form13->Edit2->Text() != "0") return false;
            Script::Click(Form13->EpButton2);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetFuelTrimValues1);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();

    for (bool panel : shown.Panels) EXPECT_TRUE(panel);
    EXPECT_EQ(-5, shown.Positions[0]);
    EXPECT_EQ("12", shown.Edits[0]);
    EXPECT_EQ(1, shown.Positions[1]);
    EXPECT_EQ("-1", shown.Edits[1]);
    EXPECT_EQ(0, shown.Positions[2]);
    EXPECT_EQ(-5, shown.Positions[3]);
    ASSERT_TRUE(WholeWriteArrives(18));

    const std::string after = Block(0);
    EXPECT_EQ(140, Byte(after, 15));
    EXPECT_EQ(128, Byte(after, 16));
    EXPECT_EQ(128, Byte(after, 17));
    EXPECT_EQ(133, Byte(after, 18));
    for (int i = 0; i < 224; ++i) {
        if (i >= 15 && i <= 18) continue;
        EXPECT_EQ(Byte(Before, i), Byte(after, i)) << i;
    }
}

// OK on the window as shown writes every trim back as read, also where the
// kind rounds it: the fuel kind shows 130 as 1 (packed again: 131), 126 as
// -1 (125) and 129 as 0 (128). The fourth cylinder of three becomes 128.
// Only version-1 units offer the trims: by their map number with the fuel
// kind or one to one.
class UntouchedTrimTest : public TrimTest, public ::testing::WithParamInterface<int> {};

TEST_P(UntouchedTrimTest, GoBackAsRead)
{
    ConnectWith(GetParam(), 3, 130, 126, 129, 99);
    Script script;
    script.Then([&] { return Form13->Visible(); }).Then([&] {
        Script::Click(Form13->EpButton2);
        return true;
    });
    script.Start();
    ChooseMenu(Form()->SetFuelTrimValues1);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();
    ASSERT_TRUE(WholeWriteArrives(18));
    const std::string after = Block(0);
    EXPECT_EQ((std::vector<int>{130, 126, 129, 128}),
              (std::vector<int>{Byte(after, 15), Byte(after, 16), Byte(after, 17), Byte(after, 18)}));
}

INSTANTIATE_TEST_SUITE_P(EveryKind, UntouchedTrimTest, ::testing::Values(105, 110),
                         [](const ::testing::TestParamInfo<int>& info) { return "Map" + std::to_string(info.param); });

// 6 cylinders show four trims; 0 shows one, in the middle of the window.
TEST_F(TrimTest, SixCylindersShowFourTrimsAndNoneShowsOne)
{
    ConnectWith(105, 6, 128, 128, 128, 128);
    TShown six = LookAndCancel();
    for (bool panel : six.Panels) EXPECT_TRUE(panel);

    std::string block = Block(0);
    block[14] = 0;
    SetBlock(0, block);
    TShown none = LookAndCancel();
    EXPECT_TRUE(none.Panels[0]);
    EXPECT_FALSE(none.Panels[1]);
    EXPECT_FALSE(none.Panels[2]);
    EXPECT_FALSE(none.Panels[3]);
    const int slot = Form13->Width() - 20;
    EXPECT_EQ(slot / 2 - Form13->Panel1->Width() / 2 + 10, none.Left1);
    EXPECT_FALSE(Received("18"));
}

// Advanced mode opens the fields to typing; a trim the kind cannot hold in a
// byte writes nothing at all.
TEST_F(TrimTest, ATypedTrimBeyondAByteWritesNothing)
{
    ConnectWith(110, 2, 128, 128, 128, 128);
    ChooseMenu(Form()->Advanced1);
    bool readOnly = true;
    Script script;
    script.Then([&] { return Form13->Visible(); })
        .Then([&] {
            readOnly = Form13->Edit1->ReadOnly();
            Script::Type(Form13->Edit1, "200");
            return true;
        })
        .Then([&] {
            if (Form13->Edit1->Text() != "200") return false;
            Script::Click(Form13->EpButton2);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetFuelTrimValues1);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();
    EXPECT_FALSE(readOnly);
    EXPECT_EQ(Text(TextId::TrimValuesInvalid), Status());
    EXPECT_FALSE(Received("18"));
    EXPECT_EQ(Before, Block(0));
    EXPECT_TRUE(MonitorGoesOn());
}

// A block 0 that did not arrive whole is never written back: no window, the
// reason in the status line, the cylinder count and trims untouched.
TEST_F(TrimTest, AFailedReadShowsNoWindowAndWritesNothing)
{
    ConnectWith(105, 2, 131, 125, 128, 128);
    Com1.Ok("fault short 100");
    Script script;
    script.Then([] { return true; });
    script.Start();
    ChooseMenu(Form()->SetFuelTrimValues1);
    EXPECT_FALSE(script.Started());
    EXPECT_EQ(Text(TextId::SettingsNotRead), Status());
    EXPECT_FALSE(Received("18"));
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    Com1.Ok("fault none");
    EXPECT_EQ(Before, Block(0));
    EXPECT_TRUE(MonitorGoesOn());
}

}  // namespace

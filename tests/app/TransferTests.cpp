// Getting, uploading and verifying tables, driven through the window's
// buttons, menus and keys against the simulated controller on COM1: what
// reaches the unit, what comes back, the position choice of version-2
// units, failed and differing read-backs, the button reset and O2 write.
#include "TransferFixture.h"

#include "Clipboard.h"
#include "CompairForm.h"
#include "EditNotes.h"
#include "Form14.h"
#include "Form8.h"
#include "MenuScript.h"
#include "ModalScript.h"
#include "RealInput.h"

#include <algorithm>
#include <functional>

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
std::string Text(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

TGeneration Find(int version)
{
    for (const TGeneration& g : Generations())
        if (g.Version == version) return g;
    ADD_FAILURE() << "no generation " << version;
    return {};
}

// The table reads (command bytes 0..5) among the commands received.
std::vector<int> TableReads(const std::vector<std::string>& transcript)
{
    std::vector<int> reads;
    for (const std::string& c : transcript)
        if (c.size() == 1 && c[0] >= '0' && c[0] <= '5') reads.push_back(c[0] - '0');
    return reads;
}

bool Received(const std::vector<std::string>& transcript, const std::string& command)
{
    return std::find(transcript.begin(), transcript.end(), command) != transcript.end();
}

// Buttons set apart from their reset values, so that a reset shows.
std::vector<uint8_t> WithButtonsSet(std::vector<uint8_t> bytes)
{
    for (int i = 0; i < 6; ++i) bytes[size_t(i)] = uint8_t(i + 1);
    return bytes;
}

std::vector<uint8_t> WithButtonsReset(std::vector<uint8_t> bytes)
{
    bytes[0] = bytes[1] = bytes[2] = 5;
    bytes[3] = bytes[4] = bytes[5] = 128;
    return bytes;
}

// --- every generation ---------------------------------------------------

class EveryGenerationTest : public TransferTest, public ::testing::WithParamInterface<TGeneration> {};

TEST_P(EveryGenerationTest, UploadAllSendsWhatTheKindsPackAndGetAllBringsBackTheUnitsTables)
{
    const TGeneration unit = GetParam();
    const TTestMap map{unit};
    ASSERT_TRUE(Prepare(map));
    if (unit.Version == 2) AnswerPosition(1);
    const std::vector<uint8_t> table4 = WithButtonsSet(Bytes(SimTable(4)));
    const std::vector<uint8_t> block3 = WithButtonsSet(Bytes(SimBlock(3)));
    SetSimTable(4, table4);
    SetSimBlock(3, block3);
    const bool o2 = Form()->Config.O2Pending;
    const uint8_t o2Value = Form()->Config.O2Value;

    Click(Form()->Button9);
    EXPECT_EQ("Tables sent and verified", Status());
    const auto writes = Writes();
    ASSERT_EQ(unit.Kinds.size() + 1, writes.size());
    for (size_t t = 0; t < unit.Kinds.size(); ++t) {
        EXPECT_EQ(6 + unit.Wires[t], writes[t].first) << "table " << t;
        EXPECT_EQ(Text(map.Packed(int(t))), writes[t].second) << "table " << t;
    }
    // Then the buttons: block 3 on version 2, table 4 (with a waiting O2
    // setting) on the others.
    if (unit.Version == 2) {
        EXPECT_EQ(21, writes.back().first);
        EXPECT_EQ(Text(WithButtonsReset(block3)), writes.back().second);
    } else {
        std::vector<uint8_t> expected = WithButtonsReset(table4);
        if (o2) expected[7] = o2Value;
        EXPECT_EQ(10, writes.back().first);
        EXPECT_EQ(Text(expected), writes.back().second);
    }
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);

    // The unit holds other tables now; Get All brings them into the map.
    for (size_t t = 0; t < unit.Kinds.size(); ++t) SetSimTable(unit.Wires[t], map.Packed(int(t), 5));
    Com1.Ok("clear");
    Click(Form()->Button10);
    EXPECT_EQ("Maps Retrieved Successfully", Status());
    std::vector<int> expectedReads = unit.Wires;
    const bool o2Unit = unit.Version == 1 || unit.Version >= 100;
    if (o2Unit) expectedReads.push_back(4);
    EXPECT_EQ(expectedReads, TableReads(Transcript()));

    const std::string saved = TempFile("generation.map");
    Save(saved);
    TSavedMap file;
    ASSERT_TRUE(ReadSavedMap(saved, file));
    ASSERT_EQ(unit.Kinds.size(), file.Cells.size());
    ASSERT_EQ(map.Rpm(), file.Rpm);
    int changed = 0;
    for (size_t t = 0; t < unit.Kinds.size(); ++t) {
        const std::string held = SimTable(unit.Wires[t]);
        for (int r = 0; r < map.Rows; ++r)
            for (int c = 0; c < 9; ++c) {
                const int b = uint8_t(held[size_t(c * 32 + 31 - r)]);
                const int v = file.Cells[t][size_t(r)][size_t(c)];
                EXPECT_EQ(RefDisplay(unit.Kinds[t], b, unit.TpSpan), v)
                    << "table " << t << " row " << r << " col " << c;
                if (v != map.Value(int(t), r, c)) ++changed;
            }
    }
    EXPECT_GT(changed, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryGeneration, EveryGenerationTest, ::testing::ValuesIn(Generations()),
                         [](const ::testing::TestParamInfo<TGeneration>& info) { return GenerationName(info.param); });

// --- positions of version-2 units ----------------------------------------

TEST_F(TransferTest, VersionTwoUploadsToTheChosenPositionAndResetsItsButtonsInBlockThree)
{
    TTestMap map{Find(2)};
    // A map with its own O2 setting: version-2 units keep none in table 4.
    map.Unit.Code |= 0x100000;
    map.O2Word = 12;
    ASSERT_TRUE(Prepare(map));
    ASSERT_TRUE(Form()->Config.O2Pending);
    const std::vector<uint8_t> block3 = WithButtonsSet(Bytes(SimBlock(3)));
    SetSimBlock(3, block3);
    const std::string before[6] = {SimTable(0), SimTable(1), SimTable(2), SimTable(3), SimTable(4), SimTable(5)};

    AnswerPosition(3);
    Click(Form()->Button9);
    EXPECT_EQ(1, PositionDialogs);
    EXPECT_EQ((std::vector<std::string>{"", "Send to Position #1", "Send to Position #2", "Send to Position #3"}),
              PositionCaptions);
    EXPECT_EQ("Tables sent and verified", Status());
    const auto writes = Writes();
    ASSERT_EQ(3u, writes.size());
    EXPECT_EQ(6 + 0 + 2, writes[0].first);
    EXPECT_EQ(Text(map.Packed(0)), writes[0].second);
    EXPECT_EQ(6 + 3 + 2, writes[1].first);
    EXPECT_EQ(Text(map.Packed(1)), writes[1].second);
    EXPECT_EQ(21, writes[2].first);
    EXPECT_EQ(Text(WithButtonsReset(block3)), writes[2].second);
    // The other positions keep their tables; the O2 setting still waits.
    for (int n : {0, 1, 3, 4}) EXPECT_EQ(before[n], SimTable(n)) << n;
    EXPECT_FALSE(Received(Transcript(), "4"));
    EXPECT_TRUE(Form()->Config.O2Pending);

    // Without the reset option nothing follows the tables.
    ChooseMenu(Form()->ResetButtonsonUpload1);
    Com1.Ok("clear");
    AnswerPosition(1);
    Click(Form()->Button9);
    EXPECT_EQ(2, PositionDialogs);
    const auto plain = Writes();
    ASSERT_EQ(2u, plain.size());
    EXPECT_EQ(6, plain[0].first);
    EXPECT_EQ(9, plain[1].first);
    EXPECT_FALSE(Received(Transcript(), "15"));
}

TEST_F(TransferTest, VersionTwoGetsFromTheChosenPosition)
{
    const TTestMap map{Find(2)};
    ASSERT_TRUE(Prepare(map));
    SetSimTable(1, map.Packed(0, 5));
    SetSimTable(4, map.Packed(1, 5));
    AnswerPosition(2);
    Click(Form()->Button10);
    EXPECT_EQ(1, PositionDialogs);
    EXPECT_EQ((std::vector<std::string>{"", "Get from Position #1", "Get from Position #2", "Get from Position #3"}),
              PositionCaptions);
    EXPECT_EQ("Maps Retrieved Successfully", Status());
    // Table 4 is the ignition table at position 2 here, never an O2 setting.
    EXPECT_EQ((std::vector<int>{1, 4}), TableReads(Transcript()));
    for (int t = 0; t < 2; ++t)
        for (int r = 0; r < map.Rows; ++r)
            EXPECT_EQ(map.Value(t, r, 4, 5), Form()->Config.FileSet[t].Kind->Cell(r, 4)) << t << " " << r;
}

TEST_F(TransferTest, ACancelledPositionChoiceTransfersNothingAndReleasesTheMonitor)
{
    ASSERT_TRUE(Prepare(Find(2)));
    AnswerPosition(2, false);
    Click(Form()->Button9);
    EXPECT_EQ(1, PositionDialogs);
    AnswerPosition(3, false);
    Click(Form()->Button10);
    EXPECT_EQ(2, PositionDialogs);
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(TableReads(Transcript()).empty());
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    Com1.Ok("clear");
    EXPECT_TRUE(WaitUntil([this] { return Received(Transcript(), "82"); }, 5000)) << "the monitor polls again";
}

// --- read-back ------------------------------------------------------------

TEST_F(TransferTest, AReadBackThatDiffersFailsTheVerify)
{
    const TGeneration unit = Find(50);
    ASSERT_TRUE(Prepare(unit));
    ChooseMenu(Form()->ResetButtonsonUpload1);
    // The MP table (wire 2) comes back as noise.
    Com1.Ok("fault garbage cmd 2 once");
    Click(Form()->Button9);
    EXPECT_EQ("Verify Failed...use Compare for Details", Status());
    EXPECT_EQ(4u, Writes().size()) << "every table is still sent";
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3}), TableReads(Transcript()));
}

TEST_F(TransferTest, AReadBackThatFailsEndsUploadAll)
{
    const TGeneration unit = Find(50);
    ASSERT_TRUE(Prepare(unit));
    ChooseMenu(Form()->ResetButtonsonUpload1);
    // The second table, TP on wire 0, does not come back.
    Com1.Ok("fault silence cmd 0 once");
    Click(Form()->Button9);
    EXPECT_EQ("Verify Failed...use Compare for Details", Status());
    const auto writes = Writes();
    ASSERT_EQ(2u, writes.size());
    EXPECT_EQ(6 + 1, writes[0].first);
    EXPECT_EQ(6 + 0, writes[1].first);
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
}

// A unit that stores a table for 375 ms once it is in answers no read
// meanwhile; the waits before each read-back (the upload's 250 ms and the
// port's own 250 ms) give it that time.
TEST_F(TransferTest, AReadBackWaitsUntilTheUnitHasStoredTheTable)
{
    ASSERT_TRUE(Prepare(Find(105)));
    Com1.Ok("storing 375");
    Click(Form()->Button9);
    EXPECT_EQ("Tables sent and verified", Status());
}

TEST_F(TransferTest, UploadCurrentVerifiesItsTableAndAFailedReadBackIsNoSuccess)
{
    const TTestMap map{Find(105)};
    ASSERT_TRUE(Prepare(map, 0xA1));  // no O2 option: nothing waits for table 4
    ChooseMenu(Form()->ResetButtonsonUpload1);
    Click(Form()->Button8);
    EXPECT_EQ("Table sent and verified", Status());
    auto writes = Writes();
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(6, writes[0].first);
    EXPECT_EQ(Text(map.Packed(0)), writes[0].second);

    Com1.Ok("fault silence cmd 0 once");
    Click(Form()->Button8);
    EXPECT_EQ("Verify Failed...use Compare for Details", Status());

    Com1.Ok("fault garbage cmd 0 once");
    Click(Form()->Button8);
    EXPECT_EQ("Verify Failed...use Compare for Details", Status());

    // The second table, shown by its tab.
    Com1.Ok("clear");
    Form()->EpIITabControl1->SetTabIndex(1);
    Click(Form()->Button8);
    EXPECT_EQ("Table sent and verified", Status());
    writes = Writes();
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(6 + 1, writes[0].first);
    EXPECT_EQ(Text(map.Packed(1)), writes[0].second);
}

// --- button reset and O2 write ---------------------------------------------

// A map without an O2 setting, then the unit found: the upload's button
// reset writes table 4 back with the unit's own setting, not one nobody chose.
TEST_F(TransferTest, AnO2UnitFoundAfterAMapWithoutASettingKeepsItsOwn)
{
    ASSERT_TRUE(Prepare(Find(105)));
    EXPECT_TRUE(Form()->Config.O2Shown);
    EXPECT_FALSE(Form()->Config.O2Pending);
    const std::vector<uint8_t> before = Bytes(SimTable(4));
    ASSERT_EQ(11, before[7]);
    Click(Form()->Button8);
    EXPECT_EQ("Table sent and verified", Status());
    const auto writes = Writes();
    ASSERT_EQ(2u, writes.size());
    EXPECT_EQ(10, writes[1].first);
    EXPECT_EQ(Text(WithButtonsReset(before)), writes[1].second);
}

class ResetTest : public TransferTest {
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        ASSERT_TRUE(Prepare(Find(105)));
        // The O2 setting the unit holds is read: nothing waits.
        Click(Form()->Button7);
        ASSERT_FALSE(Form()->Config.O2Pending);
        Table4 = WithButtonsSet(Bytes(SimTable(4)));
        Table4[7] = 0;
        SetSimTable(4, Table4);
        Com1.Ok("clear");
    }
    // Upload Current; the writes that followed the table's.
    std::vector<std::pair<int, std::string>> UploadCurrent()
    {
        Com1.Ok("clear");
        StartPaintLog();
        Click(Form()->Button8);
        StopPaintLog();
        auto writes = Writes();
        EXPECT_FALSE(writes.empty());
        if (!writes.empty()) {
            EXPECT_EQ(6, writes[0].first);
            writes.erase(writes.begin());
        }
        return writes;
    }
    std::vector<uint8_t> Table4;
};

TEST_F(ResetTest, ResetAndAWaitingO2SettingShareOneWriteOfTableFour)
{
    ChooseMenu(Form()->N11);
    ASSERT_TRUE(Form()->Config.O2Pending);
    auto writes = UploadCurrent();
    EXPECT_TRUE(WasPainted("Resetting Buttons + Updating O2 Change"));
    std::vector<uint8_t> expected = WithButtonsReset(Table4);
    expected[7] = 11;
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(10, writes[0].first);
    EXPECT_EQ(Text(expected), writes[0].second);
    EXPECT_FALSE(Form()->Config.O2Pending);
    EXPECT_EQ("Table sent and verified", Status());
}

TEST_F(ResetTest, ResetAloneKeepsTheO2Byte)
{
    auto writes = UploadCurrent();
    EXPECT_TRUE(WasPainted("Resetting Buttons..."));
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(10, writes[0].first);
    EXPECT_EQ(Text(WithButtonsReset(Table4)), writes[0].second);
}

TEST_F(ResetTest, AnO2SettingAloneKeepsTheButtons)
{
    ChooseMenu(Form()->ResetButtonsonUpload1);
    ASSERT_FALSE(Form()->ResetButtons);
    ChooseMenu(Form()->N21);
    auto writes = UploadCurrent();
    EXPECT_TRUE(WasPainted("Updating O2 Change"));
    std::vector<uint8_t> expected = Table4;
    expected[7] = 12;
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(10, writes[0].first);
    EXPECT_EQ(Text(expected), writes[0].second);
    EXPECT_FALSE(Form()->Config.O2Pending);
}

TEST_F(ResetTest, NeitherMeansNoTransferOfTableFour)
{
    ChooseMenu(Form()->ResetButtonsonUpload1);
    auto writes = UploadCurrent();
    EXPECT_TRUE(writes.empty());
    EXPECT_FALSE(Received(Transcript(), "4"));
}

TEST_F(ResetTest, ATableFourThatDoesNotArriveIsNeverWrittenBack)
{
    ChooseMenu(Form()->N21);
    Com1.Ok("fault cut 100 cmd 4 once");
    auto writes = UploadCurrent();
    EXPECT_TRUE(writes.empty()) << "no zeros over the unit's settings";
    EXPECT_EQ(Text(Table4), SimTable(4));
    EXPECT_EQ("Table sent and verified  Resetting Buttons + Updating O2 Change: Communication Error", Status());
    EXPECT_TRUE(Form()->Config.O2Pending) << "the setting waits for the next upload";
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
}

TEST_F(TransferTest, ABlockThreeThatDoesNotArriveIsNeverWrittenBack)
{
    const TTestMap map{Find(2)};
    ASSERT_TRUE(Prepare(map));
    const std::string block3 = SimBlock(3);
    Com1.Ok("fault cut 100 cmd 15 once");
    AnswerPosition(1);
    Click(Form()->Button9);
    const auto writes = Writes();
    ASSERT_EQ(2u, writes.size());
    EXPECT_EQ(6, writes[0].first);
    EXPECT_EQ(9, writes[1].first);
    EXPECT_EQ(block3, SimBlock(3));
    EXPECT_EQ("Tables sent and verified  Resetting Buttons: Communication Error", Status());
}

// --- Get -------------------------------------------------------------------

TEST_F(TransferTest, GetAllWithAFailureOnTheSecondTableUnpacksOnlyTheFirst)
{
    const TTestMap map{Find(50)};
    ASSERT_TRUE(Prepare(map));
    for (int t = 0; t < 4; ++t) SetSimTable(map.Unit.Wires[size_t(t)], map.Packed(t, 5));
    Com1.Ok("clear");
    Com1.Ok("fault silence cmd 0 once");  // TP, the second table
    Click(Form()->Button10);
    EXPECT_EQ("Retrieve Map Failed.  Check Gantrel and Retry.", Status());
    // Every table is still read; only the first is unpacked.
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3}), TableReads(Transcript()));
    for (int t = 0; t < 4; ++t)
        for (int r = 0; r < map.Rows; ++r)
            for (int c = 0; c < 9; ++c)
                ASSERT_EQ(map.Value(t, r, c, t == 0 ? 5 : 0), Form()->Config.FileSet[t].Kind->Cell(r, c))
                    << "table " << t << " row " << r << " col " << c;
    EXPECT_EQ(0, Form()->CurrentTable);
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
}

TEST_F(TransferTest, GetCurrentReadsTheShownTableAndTheO2Setting)
{
    const TTestMap map{Find(105)};
    ASSERT_TRUE(Prepare(map));
    std::vector<uint8_t> table4 = Bytes(SimTable(4));
    table4[7] = 12;
    SetSimTable(4, table4);
    SetSimTable(0, map.Packed(0, 5));
    Click(Form()->Button7);
    EXPECT_EQ("Fuel Table Retrieved Successfully", Status());
    EXPECT_EQ((std::vector<int>{0, 4}), TableReads(Transcript()));
    EXPECT_EQ(std::to_string(map.Value(0, 3, 2, 5)), Form()->StringGrid1->Cells(3, 4));
    EXPECT_EQ(map.Value(0, 3, 2, 5), Form()->Config.FileSet[0].Kind->Cell(3, 2));
    EXPECT_EQ("O2 Change: 2", Form()->epLabelButton1->Caption());
    EXPECT_EQ(12, Form()->Config.O2Value);
    EXPECT_FALSE(Form()->Config.O2Pending);

    // A table that does not arrive leaves the grid as it was.
    SetSimTable(0, map.Packed(0, 7));
    Com1.Ok("fault silence cmd 0 once");
    Click(Form()->Button7);
    EXPECT_EQ("Retrieve Fuel Table Failed.  Check Gantrel and Retry.", Status());
    EXPECT_EQ(map.Value(0, 3, 2, 5), Form()->Config.FileSet[0].Kind->Cell(3, 2));
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
}

TEST_F(TransferTest, AUnitWithoutTheO2OptionNeverHasTableFourRead)
{
    ASSERT_TRUE(Prepare(Find(105), 0xA1));
    ASSERT_FALSE(Form()->Config.O2Option);
    Click(Form()->Button7);
    EXPECT_EQ("Fuel Table Retrieved Successfully", Status());
    Click(Form()->Button10);
    EXPECT_EQ("Maps Retrieved Successfully", Status());
    EXPECT_EQ((std::vector<int>{0, 0, 1}), TableReads(Transcript()));
}

// The tables came: a table 4 that did not is told on its own.
TEST_F(TransferTest, AFailedO2ReadIsToldOnItsOwn)
{
    ASSERT_TRUE(Prepare(Find(105)));
    const std::pair<TButton*, std::string> cases[] = {{Form()->Button10, "Maps Retrieved Successfully"},
                                                      {Form()->Button7, "Fuel Table Retrieved Successfully"}};
    for (const auto& c : cases) {
        ChooseMenu(Form()->N21);
        Com1.Ok("fault cut 10 cmd 4 once");
        Click(c.first);
        EXPECT_EQ(c.second + "  O2 Change: Communication Error", Status());
        EXPECT_EQ(12, Form()->Config.O2Value) << "nothing taken from a table that did not arrive";
        EXPECT_TRUE(Form()->Config.O2Pending);
    }
}

// --- the Insert key ---------------------------------------------------------

TEST_F(TransferTest, InsertUploadsTheShownTableToThePositionInUse)
{
    const TTestMap map{Find(2)};
    ASSERT_TRUE(Prepare(map));
    // The unit works in position 3: "Table Num" shows 3.
    Com1.Ok("live r0 2");
    ASSERT_TRUE(WaitUntil([this] { return LiveValue(5) == "3"; }, 5000)) << LiveValue(5);
    Com1.Ok("clear");
    Form()->StringGrid1->SetFocus();
    PressKey(VK_INSERT);
    EXPECT_EQ(0, PositionDialogs);
    EXPECT_EQ("Table sent and verified", Status());
    auto writes = Writes();
    ASSERT_EQ(1u, writes.size()) << "no button reset";
    EXPECT_EQ(6 + 0 + 2, writes[0].first);
    EXPECT_EQ(Text(map.Packed(0)), writes[0].second);
    EXPECT_TRUE(Form()->ResetButtons);
    EXPECT_TRUE(Form()->AskForPosition);

    // A number that is no position: the question comes as usual.
    Com1.Ok("live r0 7");
    ASSERT_TRUE(WaitUntil([this] { return LiveValue(5) == "8"; }, 5000)) << LiveValue(5);
    Com1.Ok("clear");
    AnswerPosition(2);
    Form()->StringGrid1->SetFocus();
    PressKey(VK_INSERT);
    EXPECT_EQ(1, PositionDialogs);
    EXPECT_EQ("Table sent and verified", Status());
    writes = Writes();
    ASSERT_EQ(1u, writes.size()) << Com1.Ok("transcript");
    EXPECT_EQ(6 + 0 + 1, writes[0].first);
}

TEST_F(TransferTest, InsertOnAUnitWithoutPositionsSendsToTheTableItself)
{
    const TTestMap map{Find(105)};
    ASSERT_TRUE(Prepare(map, 0xA1));  // manifold pressure, no O2 option
    // The last live value is the ignition advance here, and reads 2.
    Com1.Ok("live r7 140");
    ASSERT_TRUE(WaitUntil([this] { return LiveValue(5) == "2"; }, 5000)) << LiveValue(5);
    Com1.Ok("clear");
    Form()->StringGrid1->SetFocus();
    PressKey(VK_INSERT);
    EXPECT_EQ("Table sent and verified", Status());
    const auto writes = Writes();
    ASSERT_EQ(1u, writes.size()) << Com1.Ok("transcript");
    EXPECT_EQ(6, writes[0].first);
    EXPECT_EQ(Text(map.Packed(0)), writes[0].second);
}

TEST_F(TransferTest, InsertWithoutAMapDoesNothing)
{
    Unit(2);
    ASSERT_TRUE(ConnectCom1());
    Com1.Ok("live r0 1");
    ASSERT_TRUE(WaitUntil([this] { return LiveValue(5) == "2"; }, 5000)) << LiveValue(5);
    Com1.Ok("clear");
    Form()->UploadCurrentFromKey();
    Pump(300);
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(TableReads(Transcript()).empty());
    EXPECT_TRUE(Form()->AskForPosition);
    EXPECT_EQ(0, int(Form()->TablePosition));
}

// Insert with Shift, Ctrl or Alt uploads nothing, on the grid or in a cell
// being edited, where it is the editor's own clipboard key.
TEST_F(TransferTest, InsertWithAModifierWritesNothing)
{
    ASSERT_TRUE(Prepare(Find(105)));
    Clipboard()->SetAsText("7");
    const std::pair<WORD, std::string> cases[] = {{VK_SHIFT, "37"}, {VK_CONTROL, "3"}, {VK_MENU, "3"}};
    for (const auto& [modifier, edited] : cases) {
        Com1.Ok("clear");
        Form()->StringGrid1->SetFocus();
        PressKey(VK_INSERT, modifier);
        PressKey('3');
        PressKey(VK_INSERT, modifier);
        EXPECT_EQ(edited, Form()->StringGrid1->InplaceEditor()->Text()) << modifier;
        EXPECT_TRUE(Writes().empty()) << modifier;
        PressKey(VK_ESCAPE);
    }
}

// --- early exits ------------------------------------------------------------

TEST_F(TransferTest, EveryEarlyExitReleasesTheMonitor)
{
    ASSERT_TRUE(Prepare(Find(105)));
    auto pollsAgain = [this] {
        Com1.Ok("clear");
        return WaitUntil([this] { return Received(Transcript(), "82"); }, 5000);
    };

    // No controller answers (and the monitor has said so).
    Com1.Ok("fault silence");
    ASSERT_TRUE(WaitUntil([this] { return Status() == "Communications Lost With Controller"; }, 8000)) << Status();
    Click(Form()->Button9);
    EXPECT_EQ("Gantrel Not Found", Status());
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    Click(Form()->Button10);
    EXPECT_EQ("Gantrel Not Found", Status());
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    Com1.Ok("fault none");
    EXPECT_TRUE(pollsAgain());

    // Another unit, whose tables the map does not fit.
    Com1.Ok("version 104");
    Click(Form()->Button9);
    EXPECT_EQ("File and Gantrel Versions Incompatible", Status());
    EXPECT_EQ(104, Form()->Config.ControllerVersion) << "identified afresh";
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(pollsAgain());
}

TEST_F(TransferTest, ACompatibleButDifferentUnitAsksFirst)
{
    // Model 1 on a '4' unit: the maps fit after the user agrees.
    const TGeneration model1 = Find(50);
    TTestMap map{model1};
    map.Unit.Version = 52;
    map.Unit.TpSpan = 6375 / (229 - 26);
    ASSERT_TRUE(Prepare(map));
    QuestionAnswer = mrNo;
    Click(Form()->Button9);
    ASSERT_EQ(1u, Questions.size());
    EXPECT_EQ("Your Controller Version is different from your File Version.  However, the maps are compatible.  "
              "Continue with Upload?",
              Questions[0]);
    EXPECT_TRUE(Writes().empty());
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);

    Click(Form()->Button10);
    EXPECT_EQ(2u, Questions.size()) << "Get asks the same";
    EXPECT_TRUE(TableReads(Transcript()).empty());

    QuestionAnswer = mrYes;
    Click(Form()->Button9);
    EXPECT_EQ("Tables sent and verified", Status());
    const auto writes = Writes();
    ASSERT_EQ(5u, writes.size());
    for (int t = 0; t < 4; ++t) EXPECT_EQ(Text(map.Packed(t)), writes[size_t(t)].second) << t;
}

// A command between two retries of the connect timer lets the monitor go
// when it ends: the next retry holds it again before it works the port, and
// only the retry that finds a unit lets it go.
TEST_F(TransferTest, TheConnectTimerHoldsTheMonitorAgainBeforeARetry)
{
    ASSERT_TRUE(Prepare(Find(105)));
    Com4.Ok("replug");
    Com4.Ok("fault silence");
    ChooseMenu(Form()->Com41);
    ASSERT_TRUE(WaitUntil([this] { return Status() == "COM4 opened but Gantrel not found"; }, 4000)) << Status();
    Click(Form()->Button10);
    ASSERT_EQ("Gantrel Not Found", Status());
    EXPECT_TRUE(WaitUntil([this] { return Form()->MonitorThread->PauseAcknowledged.load(); }, 4000));
    Com4.Ok("fault none");
    EXPECT_TRUE(WaitUntil([this] { return Form()->LinkCounter == 0 && LiveValue(1) != "-----"; }, 8000));
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
}

// --- the window while it transfers --------------------------------------------

TEST_F(TransferTest, EveryStepIsPaintedWhileTheThreadIsBusy)
{
    ASSERT_TRUE(Prepare(Find(50)));
    StartPaintLog();
    Click(Form()->Button9);
    Click(Form()->Button10);
    StopPaintLog();
    for (const char* name : {"AAP", "TP", "MP", "Ignition"}) {
        EXPECT_TRUE(WasPainted(std::string("Sending ") + name + " table to controller")) << name;
        EXPECT_TRUE(WasPainted(std::string("Verifying ") + name + " Table")) << name;
        EXPECT_TRUE(WasPainted(std::string("Retrieving ") + name + " Table")) << name;
    }
    EXPECT_TRUE(WasPainted("Resetting Buttons..."));
    EXPECT_TRUE(WasPainted("Tables sent and verified"));
    EXPECT_TRUE(WasPainted("Maps Retrieved Successfully"));
    EXPECT_FALSE(Form()->ProgressBar1->Visible());
}

TEST_F(TransferTest, ASecondClickWhileTheMonitorLetsGoStartsNoSecondTransfer)
{
    const TTestMap map{Find(105)};
    ASSERT_TRUE(Prepare(map, 0xA1));
    ChooseMenu(Form()->ResetButtonsonUpload1);
    Com1.Ok("pace on");
    // The monitor's next poll goes unanswered: it holds on to the port for
    // the read's time-out while the window waits for it, letting clicks in.
    Com1.Ok("fault silence cmd 82 once");
    Pump(150);
    Com1.Ok("clear");
    PostMessageA(Form()->Button9->Handle(), BM_CLICK, 0, 0);
    PostMessageA(Form()->Button9->Handle(), BM_CLICK, 0, 0);
    PostMessageA(Form()->Button10->Handle(), BM_CLICK, 0, 0);
    Pump(100);
    EXPECT_EQ("Tables sent and verified", Status());
    EXPECT_EQ(2u, Writes().size());
    EXPECT_EQ((std::vector<int>{0, 1}), TableReads(Transcript())) << "only the first transfer's read-backs";
    EXPECT_FALSE(Form()->TransferActive);
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
}

// Runs from the next timer the message loop dispatches: inside whatever
// pump is running then.
std::function<void()> FromPump;
void CALLBACK RunFromPump(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto call = std::move(FromPump);
    if (call) call();
}

// While Upload All waits for the monitor to let go (the hand-off pumps
// messages), every other command on the controller's port is refused with
// the busy text: the unit hears nothing of it and the upload goes on.
TEST_F(TransferTest, EveryPortCommandStartedWhileATransferWaitsForTheMonitorIsRefused)
{
    const TTestMap map{Find(105)};
    ASSERT_TRUE(Prepare(map, 0xA1));
    ChooseMenu(Form()->ResetButtonsonUpload1);
    TForm1* f = Form();
    f->Button3Click(f);  // the compare window, for its Recompare
    ASSERT_NE(nullptr, f->CompareWindow);
    const std::vector<std::pair<std::string, std::function<void()>>> commands = {
        {"Compare", [f] { f->Button3Click(f); }},
        {"Recompare", [f] { f->CompareWindow->Button2Click(f); }},
        {"Hardware Info", [f] { f->HardwareInfo1Click(f); }},
        {"Set Throttle Position", [f] { f->SetTP1Click(f); }},
        {"Set Current Table Set", [f] { f->SetCurrentMap1Click(f); }},
        {"Cylinder Trims", [f] { f->SetFuelTrimValues1Click(f); }},
        {"Send To Handheld", [f] { f->SendCurrentMapToHandheld1Click(f); }},
        {"COM2", [f] { f->Com21Click(f); }},
        {"None", [f] { f->None1Click(f); }},
        {"Auto", [f] { f->Auto1Click(f); }},
        {"Exit", [f] { f->Exit1Click(f); }},
    };
    // The monitor's next poll goes unanswered: the upload waits for it.
    Com1.Ok("fault silence cmd 82 once");
    Pump(150);
    Com1.Ok("clear");
    bool inside = false;
    std::vector<std::string> refusals, expected;
    FromPump = [&] {
        inside = f->TransferActive;
        for (const auto& [name, start] : commands) {
            start();
            refusals.push_back(name + ": " + Status());
            expected.push_back(name + ": The link to the controller is busy. Try again.");
        }
    };
    SetTimer(nullptr, 0, 1, RunFromPump);
    // A dialog that a command should not have shown goes again.
    TModalScript closer;
    closer
        .Then([] {
            static_cast<TCustomForm*>(TWinControl::FindControl(GetActiveWindow()))->ModalResult = mrCancel;
            return false;
        })
        .Start();
    Click(f->Button9);
    EXPECT_TRUE(inside);
    EXPECT_EQ(expected, refusals);
    EXPECT_EQ("Tables sent and verified", Status());
    std::vector<std::string> heard;  // besides the identifications and polls
    for (const std::string& t : Transcript())
        if (t != "82") heard.push_back(t);
    const std::string length = std::to_string(map.Packed(0).size());
    EXPECT_EQ((std::vector<std::string>{"6:" + length, "0", "7:" + length, "1"}), heard);
}

// Keys on the main window: Alt+U opens the Utilities menu and a "u" typed on
// a focused button is only a letter; neither clicks "&Upload Map". Alt with
// a letter the menu bar does not use still reaches its button.
TEST_F(TransferTest, NeitherTheMenuBarsKeysNorALetterOnAButtonWriteTheUnit)
{
    ASSERT_TRUE(Prepare(Find(105)));
    ASSERT_EQ("&Upload Map", Form()->Button8->Caption());
    std::string opened;
    MenuScript::TMenuScript script({[&] {
        HMENU bar = GetMenu(Form()->Handle());
        char text[64];
        for (int i = 0; i < GetMenuItemCount(bar); ++i)
            if ((GetMenuState(bar, UINT(i), MF_BYPOSITION) & MF_HILITE) &&
                GetMenuStringA(bar, UINT(i), text, sizeof text, MF_BYPOSITION))
                opened = text;
        if (opened.empty()) return false;
        EndMenu();
        return true;
    }});
    SetForegroundWindow(Form()->Handle());
    Form()->Button8->SetFocus();
    RealInput::TypeKey('U');
    Pump(300);
    RealInput::SendKey(VK_MENU, false);
    RealInput::TypeKey('U');
    RealInput::SendKey(VK_MENU, true);
    EXPECT_TRUE(WaitUntil([&] { return script.Done(); }, 3000));
    EXPECT_EQ("&Utilities", opened);
    RealInput::SendKey(VK_MENU, false);
    RealInput::TypeKey('N');
    RealInput::SendKey(VK_MENU, true);
    EXPECT_TRUE(WaitUntil([&] { return Form()->NotesWindow && Form()->NotesWindow->Visible(); }, 3000));
    EXPECT_TRUE(Writes().empty());
}

// Tab from the checked position goes on to OK: the other positions are no
// tab stops, so passing them cannot choose them.
TEST_F(TransferTest, TabbingFromThePositionToOkKeepsThePosition)
{
    ASSERT_TRUE(Prepare(Find(2)));
    Form14->EpRadioButton1->SetChecked(true);
    auto key = [](WORD k) {
        PostMessageA(GetFocus(), WM_KEYDOWN, k, 1);
        PostMessageA(GetFocus(), WM_KEYUP, k, LPARAM(0xC0000001));
    };
    bool onOk = false;
    TModalScript script(10000);
    script
        .Then([&] {
            Form14->EpRadioButton1->SetFocus();
            key(VK_TAB);
            return true;
        })
        .Then([&] {
            onOk = GetFocus() == Form14->EpButton2->Handle();
            key(VK_RETURN);
            return true;
        })
        .Start();
    Click(Form()->Button8);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(onOk);
    const auto writes = Writes();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(6, writes[0].first) << "position 1";
}

// The arrows move the focus and the check round a group of radio buttons,
// Up and Left back, Down and Right on: the position dialog's as the O2's.
TEST_F(TransferTest, TheArrowsMoveTheChoiceRoundEachRadioGroup)
{
    TRadioGroup* o2 = Form8->RadioGroup1;
    o2->SetItemIndex(0);
    const std::vector<TWinControl*> groups[] = {
        {Form14->EpRadioButton1, Form14->EpRadioButton2, Form14->EpRadioButton3},
        {o2->Buttons(0), o2->Buttons(1), o2->Buttons(2)}};
    for (const auto& radios : groups) {
        auto* dialog = static_cast<TForm*>(GetParentForm(radios[0]));
        auto checked = [&] { return dialog == Form8 ? o2->ItemIndex() : Form14->ChosenPosition(); };
        std::string moves;  // the checked button after each key, with a * where the focus is elsewhere
        TModalScript script(10000);
        script.Then([&] { return radios[0]->SetFocus(), true; });
        for (WORD key : {VK_DOWN, VK_RIGHT, VK_DOWN, VK_UP, VK_LEFT})
            script.Then([&, key] {
                const int from = checked();
                RealInput::TypeKey(key);
                RealInput::PumpUntil([&] { return checked() != from; }, 1000);
                const bool focused = GetFocus() == radios.at(size_t(checked()))->Handle();
                moves += std::to_string(checked()) + (focused ? " " : "* ");
                return true;
            });
        script.Then([&] { return dialog->ModalResult = mrOk, true; }).Start();
        dialog->ShowModal();
        EXPECT_EQ("1 2 0 2 1 ", moves) << dialog->Name();
    }
}

TEST_F(TransferTest, UploadAllOfAOneTableMapSendsTableZeroOnly)
{
    // One-table maps offer only the single-table commands; the command
    // itself still holds.
    TGeneration unit = Find(100);
    unit.Code = 1004;
    unit.Kinds = {TRefKind::Fuel};
    unit.Wires = {0};
    const TTestMap map{unit};
    ASSERT_TRUE(Prepare(map, 0xA1));
    ChooseMenu(Form()->ResetButtonsonUpload1);
    Form()->Button9Click(Form());
    EXPECT_EQ("Tables sent and verified", Status());
    const auto writes = Writes();
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(6, writes[0].first);
    EXPECT_EQ(Text(map.Packed(0)), writes[0].second);
    EXPECT_EQ(0, Form()->CurrentTable);
}

TEST(CountDifferences, CountsDifferingPositionsUpToTheCount)
{
    const uint8_t a[6] = {1, 2, 3, 4, 5, 6};
    const uint8_t b[6] = {1, 0, 3, 0, 5, 0};
    EXPECT_EQ(3, TForm1::CountDifferences(a, b, 6));
    EXPECT_EQ(2, TForm1::CountDifferences(a, b, 5));
    EXPECT_EQ(0, TForm1::CountDifferences(a, b, 1));
    EXPECT_EQ(0, TForm1::CountDifferences(a, a, 6));
}

}  // namespace

// The O2 setting: its menu items, its dialog, the label that shows it, and
// writing it to table 4.
#include "TransferFixture.h"

#include "Form8.h"

namespace {

TGeneration Unit105()
{
    for (const TGeneration& g : Generations())
        if (g.Version == 105) return g;
    return {};
}

class O2Test : public TransferTest {
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        ASSERT_TRUE(Prepare(Unit105()));
        ASSERT_TRUE(Form()->O2Change1->Visible());
        ASSERT_TRUE(Form()->epLabelButton1->Visible());
    }
    std::string Label() { return Form()->epLabelButton1->Caption(); }
};

TEST_F(O2Test, TheMenuItemsSetTheSettingAndLeaveItWaiting)
{
    struct Case {
        TMenuItem* Item;
        uint8_t Value;
        const char* Shown;
        int Index;
    };
    const Case cases[] = {{Form()->N21, 12, "O2 Change: 2", 0}, {Form()->N01, 0, "O2 Change: 0", 2},
                          {Form()->N11, 11, "O2 Change: 1", 1}};
    for (const Case& c : cases) {
        Form()->Config.O2Pending = false;
        ChooseMenu(c.Item);
        EXPECT_EQ(c.Value, Form()->Config.O2Value);
        EXPECT_TRUE(Form()->Config.O2Pending);
        EXPECT_EQ(c.Shown, Label());
        EXPECT_EQ(c.Index, Form8->RadioGroup1->ItemIndex());
        EXPECT_TRUE(c.Item->Checked());
    }
    EXPECT_FALSE(Form()->N21->Checked());
    EXPECT_FALSE(Form()->N01->Checked());
    EXPECT_TRUE(Writes().empty()) << "nothing goes to the unit before an upload";
}

TEST_F(O2Test, TheDialogShowsTheSettingAndTakesTheChoiceOnOk)
{
    ChooseMenu(Form()->N21);
    Form()->Config.O2Pending = false;
    AnswerO2(2, false);
    ClickO2Label();
    EXPECT_EQ(1, O2Dialogs);
    EXPECT_EQ(12, Form()->Config.O2Value) << "Cancel changes nothing";
    EXPECT_FALSE(Form()->Config.O2Pending);
    EXPECT_EQ("O2 Change", Form8->Caption());
    EXPECT_EQ("Richer", Form8->Label1->Caption());
    EXPECT_EQ("Stock", Form8->Label2->Caption());
    EXPECT_EQ("&Ok", Form8->BitBtn1->Caption());
    EXPECT_EQ("&Cancel", Form8->BitBtn2->Caption());
    ASSERT_EQ(3, Form8->RadioGroup1->ButtonCount());
    EXPECT_EQ("2", Form8->RadioGroup1->Buttons(0)->Caption());
    EXPECT_EQ("0", Form8->RadioGroup1->Buttons(2)->Caption());

    AnswerO2(1);
    ClickO2Label();
    EXPECT_EQ(2, O2Dialogs);
    EXPECT_EQ(11, Form()->Config.O2Value);
    EXPECT_TRUE(Form()->Config.O2Pending);
    EXPECT_EQ("O2 Change: 1", Label());

    AnswerO2(2);
    ClickO2Label();
    EXPECT_EQ(0, Form()->Config.O2Value);
    EXPECT_EQ("O2 Change: 0", Label());
    EXPECT_EQ(2, Form8->RadioGroup1->ItemIndex());
}

TEST_F(O2Test, OtherValuesShowAsZero)
{
    Form()->ShowO2Setting(13);
    EXPECT_EQ("O2 Change: 0", Label());
    EXPECT_EQ(2, Form8->RadioGroup1->ItemIndex());
    Form()->ShowO2Setting(11);
    EXPECT_EQ("O2 Change: 1", Label());
}

TEST_F(O2Test, TheSliderLeavesTheShownSettingWaiting)
{
    ChooseMenu(Form()->N11);
    Form()->Config.O2Pending = false;
    Form()->SlideChange(Form());
    EXPECT_TRUE(Form()->Config.O2Pending);
    EXPECT_EQ("O2 Change: 1", Label());
}

TEST_F(O2Test, WritingTheSettingChangesOnlyByteSevenOfTableFour)
{
    const std::string before = SimTable(4);
    ChooseMenu(Form()->N21);
    Com1.Ok("clear");
    Form()->epEfRndBtn2Click(Form());
    EXPECT_EQ("Updating O2 Change", Status());
    const auto writes = Writes();
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(10, writes[0].first);
    std::string expected = before;
    expected[7] = char(12);
    EXPECT_EQ(expected, writes[0].second);
    EXPECT_FALSE(Form()->Config.O2Pending);
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
    // The unit reports it in its live values.
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(4) == "2"; }, 5000)) << LiveValue(4);
}

TEST_F(O2Test, ATableFourThatDoesNotArriveIsNotWrittenBack)
{
    const std::string before = SimTable(4);
    ChooseMenu(Form()->N01);
    Com1.Ok("fault cut 8 cmd 4 once");
    Form()->epEfRndBtn2Click(Form());
    EXPECT_EQ("Updating O2 Change: Communication Error", Status());
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(before, SimTable(4));
    EXPECT_TRUE(Form()->Config.O2Pending);
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
}

// A write of table 4 that fails is told as such, by an upload and by the
// O2 command alone, and the setting stays pending.
class O2WriteFailureTest : public O2Test, public ::testing::WithParamInterface<bool> {};

TEST_P(O2WriteFailureTest, IsToldAndLeavesTheSettingPending)
{
    const bool upload = GetParam();
    ChooseMenu(Form()->N21);
    // The cable goes as soon as table 4 has been read, before it goes back.
    Com1.Ok("fault unplug cmd 4 once");
    StartPaintLog();
    upload ? Click(Form()->Button8) : Form()->epEfRndBtn2Click(Form());
    StopPaintLog();
    EXPECT_TRUE(WasPainted(upload ? "Table sent and verified  Resetting Buttons + Updating O2 Change: Communication Error"
                                  : "Updating O2 Change: Communication Error"));
    EXPECT_TRUE(Form()->Config.O2Pending);
    for (const auto& write : Writes()) EXPECT_NE(10, write.first);
}

INSTANTIATE_TEST_SUITE_P(UploadOrAlone, O2WriteFailureTest, ::testing::Bool());

// A pending setting goes to every unit but version 2, also to one without
// the O2 option: a version-1 unit with map number 5 and no flag bit 6, and
// a map of code 1005 holding the setting 12.
TEST_F(TransferTest, APendingSettingIsWrittenAlsoWithoutTheO2Option)
{
    TTestMap map{{1, 201, 1005, {TRefKind::Fuel}, {0}, 500, 0, 25}};
    map.O2Word = 12;
    Unit(1, 0xA1);
    Com1.Ok("info 03010205010000000000000000000000 notes");
    ASSERT_TRUE(LoadMap(map.Bytes()));
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(WaitUntil([this] { return Form()->Config.ControllerVersion == 1; }, 8000));
    ASSERT_FALSE(Form()->Config.O2Option);
    Com1.Ok("clear");
    Click(Form()->Button8);
    EXPECT_EQ("Table sent and verified", Status());
    EXPECT_EQ(12, uint8_t(SimTable(4)[7]));
    EXPECT_FALSE(Form()->Config.O2Pending);
}

TEST_F(O2Test, WritingWithoutAUnitSaysSo)
{
    ChooseMenu(Form()->N21);
    Com1.Ok("fault silence");
    Form()->epEfRndBtn2Click(Form());
    EXPECT_EQ("Gantrel Not Found", Status());
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(Form()->Config.O2Pending);
    EXPECT_FALSE(Form()->MonitorThread->PauseRequest);
}

}  // namespace

// The throttle position calibration window, driven as a user drives it:
// the menu command opens it, the capture buttons read the throttle, OK
// writes the calibration block, against the simulated controller.
#include "ControllerDialogFixture.h"
#include "Form7.h"
#include "SavedPicture.h"

namespace {

using Script = TModalScript;

std::vector<std::string> Points()
{
    std::vector<std::string> texts;
    for (TEdit* edit : {Form7->Edit1, Form7->Edit2, Form7->Edit3, Form7->Edit4, Form7->Edit5, Form7->Edit6,
                        Form7->Edit7, Form7->Edit8, Form7->Edit9})
        texts.push_back(edit->Text());
    return texts;
}

bool Showing()
{
    return Form7 && Form7->Visible();
}

class ThrottleCalibrationTest : public ControllerDialogTest {
protected:
    // Opens the window, captures 20 closed and 220 open once it has read
    // `open` from the block, and clicks OK; true when the block was written.
    bool CaptureAndAccept(const std::string& open)
    {
        Com1.Ok("live tp 20");
        Com1.Ok("clear");
        Script script;
        script.Then([&] { return Showing() && Form7->Edit9->Text() == open; })
            .Then([&] {
                Read = Points();
                Script::Click(Form7->Button1);
                return true;
            })
            .Then([&] {
                if (Form7->Edit1->Text() != "20") return false;
                Com1.Ok("live tp 220");
                Script::Click(Form7->Button2);
                return true;
            })
            .Then([&] {
                if (Form7->Edit9->Text() != "220") return false;
                Computed = Points();
                Script::Click(Form7->BitBtn1);
                return true;
            });
        script.Start();
        ChooseMenu(Form()->SetTP1);
        return script.Finished() && WholeWriteArrives(18);
    }
    std::vector<std::string> Read, Computed;  // the nine points as read, and before OK
};

// Closed 20 and open 220 give 20, 24, 30, 40, 60, 100, 140, 180, 220 for
// the nine points; they go to bytes 0..8, the four extra points follow the
// factors the window derived from the block it read, everything else goes
// back as it was, and the controller is identified again.
TEST_F(ThrottleCalibrationTest, CapturesComputeTheNinePointsAndOkWritesThemToBlock0)
{
    ASSERT_TRUE(ConnectCom1());
    const std::string before = Block(0);
    ASSERT_EQ(26, Byte(before, 0));
    ASSERT_EQ(229, Byte(before, 8));
    ASSERT_TRUE(CaptureAndAccept("229"));

    EXPECT_EQ((std::vector<std::string>{"26", "30", "36", "46", "67", "107", "148", "188", "229"}), Read);
    EXPECT_EQ((std::vector<std::string>{"20", "24", "30", "40", "60", "100", "140", "180", "220"}), Computed);
    EXPECT_FALSE(Showing());

    const std::string after = Block(0);
    const int points[9] = {20, 24, 30, 40, 60, 100, 140, 180, 220};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(points[i], Byte(after, i)) << i;
    // The read block's extra points 87, 128, 168, 209 between 26 and 229 are
    // the fractions 61/203, 102/203, 142/203 and 183/203; over 20..220 they
    // fall on 80.1, 121.0, 159.9 and 200.3 (each + 0.5, truncated).
    EXPECT_EQ(80, Byte(after, 9));
    EXPECT_EQ(120, Byte(after, 10));
    EXPECT_EQ(160, Byte(after, 11));
    EXPECT_EQ(200, Byte(after, 12));
    for (int i = 13; i < 224; ++i) EXPECT_EQ(Byte(before, i), Byte(after, i)) << i;
    EXPECT_TRUE(Received("18"));

    // Identified again: the new calibration is the one the live values use.
    EXPECT_TRUE(WaitUntil([] { return TTableKind::TpClosedRaw == 20 && TTableKind::TpOpenRaw == 220; }, 10000));
    EXPECT_TRUE(MonitorGoesOn());
}

// Clearing the open field stops the automatic calculation until both
// fields hold a reading again; Cancel writes nothing.
TEST_F(ThrottleCalibrationTest, AnEmptyOpenFieldStopsTheCalculationAndCancelWritesNothing)
{
    ASSERT_TRUE(ConnectCom1());
    const std::string before = Block(0);
    Com1.Ok("live tp 50");
    Com1.Ok("clear");

    std::vector<std::string> cleared, typed;
    Script script;
    script.Then([&] { return Showing() && Form7->Edit9->Text() == "229"; })
        .Then([&] {
            Script::Type(Form7->Edit9, "");
            return true;
        })
        .Then([&] {
            if (!Form7->Edit9->Text().empty()) return false;
            Script::Click(Form7->Button1);
            return true;
        })
        .Then([&] {
            if (Form7->Edit1->Text() != "50") return false;
            cleared = Points();
            Script::Type(Form7->Edit9, "250");
            return true;
        })
        .Then([&] {
            if (Form7->Edit9->Text() != "250") return false;
            typed = Points();
            Script::Click(Form7->BitBtn2);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetTP1);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();

    // The points between stay as read while the open field is empty.
    EXPECT_EQ((std::vector<std::string>{"50", "30", "36", "46", "67", "107", "148", "188", ""}), cleared);
    // 50 .. 250: 50 + 200 x 0.02, 0.05, 0.1, 0.2, 0.4, 0.6, 0.8.
    EXPECT_EQ((std::vector<std::string>{"50", "54", "60", "70", "90", "130", "170", "210", "250"}), typed);
    EXPECT_EQ(before, Block(0));
    EXPECT_FALSE(Received("18"));
    EXPECT_TRUE(MonitorGoesOn());
}

// A unit without the O2 option (flag bit 6 clear) keeps its four extra
// points exactly as read.
TEST_F(ThrottleCalibrationTest, WithoutFlagBit6TheExtraPointsGoBackAsRead)
{
    Com1.Ok("flags 0xA1");
    std::string block = Block(0);
    for (int i = 9; i <= 12; ++i) block[size_t(i)] = char(i - 8);
    SetBlock(0, block);
    ASSERT_TRUE(ConnectCom1());
    ASSERT_TRUE(CaptureAndAccept("229"));

    const std::string after = Block(0);
    EXPECT_EQ(20, Byte(after, 0));
    EXPECT_EQ(220, Byte(after, 8));
    for (int i = 9; i <= 12; ++i) EXPECT_EQ(i - 8, Byte(after, i)) << i;
    for (int i = 13; i < 224; ++i) EXPECT_EQ(Byte(block, i), Byte(after, i)) << i;
}

// Equal end points in the block give no factors: without a map's (header
// word 7) or ones derived earlier, the extra points go back as read.
TEST_F(ThrottleCalibrationTest, WithoutKnownFactorsTheExtraPointsGoBackAsRead)
{
    ASSERT_TRUE(ConnectCom1());
    std::string block = Block(0);
    block[0] = block[8] = char(100);
    for (int i = 9; i <= 12; ++i) block[size_t(i)] = char(i - 8);
    const std::string map = TempFile("factors.map");
    WriteFileBytes(map, MakeMapBytes(201, 1004, 1, 13, 9, ""));  // word 7: fractions 1, 2, 3, 4 x 0.004
    // Over 20..220 the map's factors put the points at 20.8, 21.6, 22.4, 23.2.
    const std::pair<bool, std::vector<int>> cases[] = {{false, {1, 2, 3, 4}}, {true, {21, 22, 22, 23}}};
    for (const auto& [withMap, points] : cases) {
        if (withMap) {
            ASSERT_TRUE(Load(map));
        }
        SetBlock(0, block);
        ASSERT_TRUE(CaptureAndAccept("100")) << withMap;
        const std::string after = Block(0);
        EXPECT_EQ(points, (std::vector<int>{Byte(after, 9), Byte(after, 10), Byte(after, 11), Byte(after, 12)}));
    }
}

// A block that did not arrive whole is never written back: the fields stay
// empty and OK keeps the window open, as there is nothing to send.
TEST_F(ThrottleCalibrationTest, AFailedReadLeavesTheFieldsEmptyAndWritesNothing)
{
    ASSERT_TRUE(ConnectCom1());
    const std::string before = Block(0);
    Com1.Ok("fault short 100");
    Com1.Ok("clear");

    std::string readStatus, okStatus;
    std::vector<std::string> afterRead;
    bool openAfterOk = false;
    Script script;
    script.Then([&] { return Showing(); })
        .Then([&] {
            afterRead = Points();
            readStatus = Status();
            Script::Click(Form7->BitBtn1);
            return true;
        })
        .Then([&] {
            if (Status() == readStatus) return false;
            okStatus = Status();
            openAfterOk = Showing();
            Script::Click(Form7->BitBtn2);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetTP1);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();

    EXPECT_EQ(std::vector<std::string>(9, ""), afterRead);
    EXPECT_EQ(Text(TextId::SettingsNotRead), readStatus);
    EXPECT_EQ(Text(TextId::TpValuesInvalid), okStatus);
    EXPECT_TRUE(openAfterOk);
    EXPECT_FALSE(Received("18"));
    Com1.Ok("fault none");
    EXPECT_EQ(before, Block(0));
    EXPECT_TRUE(MonitorGoesOn());
}

// The send reads the block again first: when that read fails nothing is
// written and the window stays open with what was captured. A capture
// without an answer, or with one cut before the throttle byte, stores
// nothing as a reading, and a typed value beyond a byte is refused.
TEST_F(ThrottleCalibrationTest, AFailedSendReadACaptureWithoutAnswerAndABadValueWriteNothing)
{
    ASSERT_TRUE(ConnectCom1());
    const std::string before = Block(0);
    Com1.Ok("live tp 20");
    Com1.Ok("clear");

    std::string sendStatus, captureStatus, rangeStatus, cutEdit1;
    std::vector<std::string> kept;
    bool openAfterFailedSend = false, openAfterBadValue = false;
    Script script;
    script.Then([&] { return Showing() && Form7->Edit9->Text() == "229"; })
        .Then([&] {
            Script::Click(Form7->Button1);
            return true;
        })
        .Then([&] {
            if (Form7->Edit1->Text() != "20") return false;
            Com1.Ok("fault short 100");
            Script::Click(Form7->BitBtn1);
            return true;
        })
        .Then([&] {
            if (Status() != Text(TextId::SettingsNotRead)) return false;
            sendStatus = Status();
            openAfterFailedSend = Showing();
            kept = Points();
            // No answer at all to the capture.
            Com1.Ok("fault silence");
            Script::Click(Form7->Button2);
            return true;
        })
        .Then([&] {
            if (Status() != Text(TextId::ControllerNotFound)) return false;
            captureStatus = Status();
            // A reply cut before the throttle byte.
            Com1.Ok("fault short 12");
            Script::Click(Form7->Button1);
            return true;
        })
        .Then([&] {
            if (Status() != Text(TextId::CommunicationError)) return false;
            cutEdit1 = Form7->Edit1->Text();
            Com1.Ok("fault none");
            Script::Type(Form7->Edit9, "300");
            return true;
        })
        .Then([&] {
            if (Form7->Edit9->Text() != "300") return false;
            Script::Click(Form7->BitBtn1);
            return true;
        })
        .Then([&] {
            if (Status() != Text(TextId::TpValuesInvalid)) return false;
            rangeStatus = Status();
            openAfterBadValue = Showing();
            Script::Click(Form7->BitBtn2);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetTP1);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();

    EXPECT_EQ(Text(TextId::SettingsNotRead), sendStatus);
    EXPECT_TRUE(openAfterFailedSend);
    // 20 .. 229: what was captured is still there.
    EXPECT_EQ((std::vector<std::string>{"20", "24", "30", "41", "62", "104", "145", "187", "229"}), kept);
    EXPECT_EQ(Text(TextId::ControllerNotFound), captureStatus);
    EXPECT_EQ("20", cutEdit1);
    EXPECT_EQ(Text(TextId::TpValuesInvalid), rangeStatus);
    EXPECT_TRUE(openAfterBadValue);
    EXPECT_FALSE(Received("18"));
    EXPECT_EQ(before, Block(0));
    EXPECT_TRUE(MonitorGoesOn());
}

// The instructions toggle: the window grows by the instructions' height
// and shows them, and shrinks back when they are hidden again.
TEST_F(ThrottleCalibrationTest, TheInstructionsShowBelowAndGoAgain)
{
    ASSERT_TRUE(ConnectCom1());
    int height = 0, grown = 0, panel = 0, shrunk = 0;
    bool shown = false, hidden = true;
    std::string lines;
    bool scrolling = false, stoppedAfter = false;
    Script script;
    script.Then([&] { return Showing(); })
        .Then([&] {
            height = Form7->Height();
            panel = Form7->epRunPanel1->Height();
            hidden = !Form7->epRunPanel1->Visible();
            Script::Click(Form7->BitBtn3);
            return true;
        })
        .Then([&] {
            if (!Form7->epRunPanel1->Visible()) return false;
            shown = true;
            grown = Form7->Height();
            lines = Form7->epRunPanel1->Lines()->Text();
            scrolling = Form7->epRunPanel1->Active();
            Script::Click(Form7->BitBtn3);
            return true;
        })
        .Then([&] {
            if (Form7->epRunPanel1->Visible()) return false;
            stoppedAfter = !Form7->epRunPanel1->Active();
            shrunk = Form7->Height();
            Script::Click(Form7->BitBtn2);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetTP1);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(shown);
    EXPECT_GT(panel, 0);
    EXPECT_EQ(height + panel, grown);
    EXPECT_EQ(height, shrunk);
    EXPECT_EQ(0u, lines.find("With the bike ignition turned on do the following:"));
    EXPECT_TRUE(scrolling);
    EXPECT_TRUE(stoppedAfter);
    EXPECT_NE(std::string::npos, lines.find("    the TP Open Button."));
    EXPECT_TRUE(MonitorGoesOn());
}

// The picture kept of the window with its instructions showing
// (build/artifacts/calibration-window.bmp): the run panel's text, and a
// second picture a few ticks later showing the same text risen.
TEST_F(ThrottleCalibrationTest, KeepsAPictureOfTheWindowWithItsInstructionsScrolling)
{
    ASSERT_TRUE(ConnectCom1());
    TSavedPicture first, second;
    POINT client{};
    bool keptFirst = false, keptSecond = false;
    RECT run{};
    int firstOffset = 0;
    Script script;
    script.Then([&] { return Showing(); })
        .Then([&] {
            Script::Click(Form7->BitBtn3);
            return true;
        })
        .Then([&] {
            if (!Form7->epRunPanel1->Visible() || !Form7->epRunPanel1->Active()) return false;
            // Hurried along, so the text climbs into view without a long wait.
            Form7->epRunPanel1->SetInterval(10);
            return true;
        })
        .Then([&] {
            // The first lines near the top: the instructions fill the panel.
            if (Form7->epRunPanel1->FirstLine() != 0 || Form7->epRunPanel1->Offset() > 24) return false;
            run = Form7->epRunPanel1->BoundsRect();
            keptFirst = KeepWindowPicture(Form7->Handle(), ExeDirectory(), "calibration-window.bmp", first, client);
            firstOffset = Form7->epRunPanel1->Offset();
            return true;
        })
        .Then([&] {
            if (Form7->epRunPanel1->Offset() > firstOffset - 6) return false;
            keptSecond = KeepWindowPicture(Form7->Handle(), ExeDirectory(), "calibration-window-risen.bmp", second, client);
            Script::Click(Form7->BitBtn3);
            return true;
        })
        .Then([&] {
            if (Form7->epRunPanel1->Visible()) return false;
            Script::Click(Form7->BitBtn2);
            return true;
        });
    script.Start();
    ChooseMenu(Form()->SetTP1);
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();
    ASSERT_TRUE(keptFirst);
    ASSERT_TRUE(keptSecond);
    ASSERT_EQ(first.Width(), second.Width());
    ASSERT_EQ(first.Height(), second.Height());
    ASSERT_GE(first.Height(), client.y + run.bottom);
    const int w = run.right - run.left, h = run.bottom - run.top;
    auto inRun = [&](const TSavedPicture& p, int x, int y) { return p.Pixel(client.x + run.left + x, client.y + run.top + y); };
    // The panel's white face with the instructions' text on it.
    size_t white = 0, text = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ++(inRun(first, x, y) == RGB(255, 255, 255) ? white : text);
    EXPECT_GT(white, size_t(w * h / 2));
    EXPECT_GT(text, 500u);
    // Risen: some upward shift of the first picture is the second one.
    int risen = 0;
    for (int d = 1; d <= 60 && !risen; ++d) {
        bool same = true;
        for (int y = 0; y + d < h && same; ++y)
            for (int x = 0; x < w && same; ++x) same = inRun(second, x, y) == inRun(first, x, y + d);
        if (same) risen = d;
    }
    EXPECT_GT(risen, 0);
    EXPECT_TRUE(MonitorGoesOn());
}

}  // namespace

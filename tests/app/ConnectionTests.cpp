// Choosing a port, finding the controller, watching its live values and
// logging them, against the paced simulated controllers on COM1 and COM4
// (the handheld on COM3 answers no controller command).
#include "MainWindowFixture.h"
#include "TableKind.h"

#include <fstream>
#include <algorithm>
#include <regex>

namespace {

TEST_F(MainWindowTest, APortWithAControllerIsAcceptedAndMonitored)
{
    ASSERT_TRUE(ConnectCom1());
    EXPECT_EQ("Port set to: COM1", Panel(2));
    EXPECT_TRUE(Form()->Com11->Checked());
    EXPECT_FALSE(Form()->None1->Checked());
    EXPECT_EQ("Gantrel Version: 105", Form()->PopGNVersion->Caption());
    // Live values keep coming.
    std::string first = LiveValue(0);
    EXPECT_TRUE(WaitUntil([&] { return LiveValue(0) != first; }, 4000));
}

TEST_F(MainWindowTest, EngineSpeedShowsFromFiveHundredAndAZeroPeriodCountsAsOne)
{
    ASSERT_TRUE(ConnectCom1());
    EXPECT_EQ("Serial Port accepted on - COM1", Status());
    auto period = [this](int p) {
        Com1.Ok("live r3 " + std::to_string(p & 0xFF));
        Com1.Ok("live r4 " + std::to_string(p >> 8));
    };
    period(30000);  // 15000000 / 30000 = 500 rpm
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(0) == "500"; }, 4000)) << LiveValue(0);
    period(30001);  // 499.98 rpm
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(0) == "-----"; }, 4000)) << LiveValue(0);
    // The throttle still shows: the link is fine, the engine is just slow.
    EXPECT_NE("-----", LiveValue(1));
    period(0);
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(0) == "15000000"; }, 4000)) << LiveValue(0);
}

TEST_F(MainWindowTest, AShortReplyIsStillAGoodPoll)
{
    ASSERT_TRUE(ConnectCom1());
    // Only bytes 0..4 arrive: the period does, the rest keep what came before.
    Com1.Ok("fault short 5");
    Com1.Ok("live r3 48");
    Com1.Ok("live r4 117");
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(0) == "500"; }, 4000)) << LiveValue(0);
    Pump(1000);
    EXPECT_EQ(0, Form()->LinkCounter);
    EXPECT_EQ("500", LiveValue(0));
    EXPECT_NE("-----", LiveValue(1));
}

TEST_F(MainWindowTest, APortThatLeadsNowhereIsReported)
{
    ChooseMenu(Form()->Com41);  // COM4's simulator is unplugged
    EXPECT_TRUE(WaitUntil([this] { return Status().find("COM4") != std::string::npos; }, 3000));
    EXPECT_EQ("Not available on COM4 Try another Communications Port.", Status());
    EXPECT_EQ("Port Not Set", Panel(2));
    EXPECT_EQ("-----", LiveValue(0));
    // The connect timer keeps trying, silently, every 2.5 s.
    EXPECT_TRUE(Form()->Timer2->Enabled());
    EXPECT_EQ(2500u, Form()->Timer2->Interval());
}

TEST_F(MainWindowTest, AnOpenPortWithoutAControllerIsReportedThenFoundLater)
{
    Com1.Ok("fault silence");
    ChooseMenu(Form()->Com11);
    EXPECT_TRUE(WaitUntil([this] { return Status() == "COM1 opened but Gantrel not found"; }, 4000)) << Status();
    EXPECT_EQ("Port set to: COM1", Panel(2));
    // The controller comes: the next retry finds it.
    Com1.Ok("fault none");
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(1) != "-----" && !LiveValue(1).empty(); }, 8000));
}

TEST_F(MainWindowTest, AutoFindsTheControllerOnALaterPort)
{
    Com1.Ok("unplug");
    Com4.Ok("replug");
    // COM3 opens, but the handheld there is no controller.
    ChooseMenu(Form()->Auto1);
    EXPECT_TRUE(Form()->Com41->Checked());
    EXPECT_TRUE(Form()->Com42->Checked());
    EXPECT_EQ("Port set to: COM4", Panel(2));
    // It was asked ('R', then 'D') and kept silent.
    EXPECT_EQ("82 68", Handheld.Ok("transcript"));
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(1) != "-----" && !LiveValue(1).empty(); }, 6000));
}

TEST_F(MainWindowTest, AutoWithoutAControllerFallsBackToNone)
{
    Com1.Ok("unplug");
    ChooseMenu(Form()->Auto1);
    EXPECT_TRUE(Form()->None1->Checked());
    EXPECT_FALSE(Form()->Auto1->Checked());
    EXPECT_EQ("Controller not currently available", Status());
    EXPECT_EQ("Port Not Set", Panel(2));
}

// On Windows, Sleep(1) lasts a timer tick (about 16 ms), longer than a
// search over ports that all fail to open: the search begins and ends while
// the paused monitor sleeps. Wine sleeps 1 ms and opens ports far more
// slowly (the search takes about 70 ms), so the test keeps the proportion
// with a longer sleep. A port chosen afterwards must still get the link.
TEST_F(MainWindowTest, AfterAnAutoSearchThatFoundNothingAPortCanBeChosen)
{
    const DWORD sleepMs = 250;
    Form()->MonitorThread->PauseSleepMs = sleepMs;
    ASSERT_TRUE(ConnectCom1());
    for (int round = 0; round < 3; ++round) {
        Com1.Ok("unplug");
        ChooseMenu(Form()->Auto1);
        EXPECT_TRUE(Form()->None1->Checked()) << round;
        EXPECT_EQ("Controller not currently available", Status()) << round;
        // The user takes longer than the monitor's sleep to choose again.
        Pump(int(2 * sleepMs));
        Com1.Ok("replug");
        ChooseMenu(Form()->Com11);
        EXPECT_TRUE(Form()->Com11->Checked()) << round;
        EXPECT_TRUE(WaitUntil([this] { return Form()->LinkCounter == 0 && LiveValue(1) != "-----"; }, 8000))
            << round << ": " << Status();
        EXPECT_EQ("Port set to: COM1", Panel(2)) << round;
    }
}

TEST_F(MainWindowTest, NoneReleasesThePort)
{
    ASSERT_TRUE(ConnectCom1());
    ChooseMenu(Form()->None1);
    EXPECT_EQ("Com Port Reset", Status());
    EXPECT_EQ("Port Not Set", Panel(2));
    EXPECT_FALSE(Form()->Port.IsOpen());
    for (int i = 0; i < 6; ++i) EXPECT_EQ("-----", LiveValue(i));
    Com1.Ok("clear");
    Pump(1500);
    EXPECT_EQ("", Com1.Ok("transcript"));
}

TEST_F(MainWindowTest, ALostLinkIsReportedAndAReturnIsToo)
{
    ASSERT_TRUE(ConnectCom1());
    Com1.Ok("fault silence");  // the controller is switched off
    EXPECT_TRUE(WaitUntil([this] { return Status() == "Communications Lost With Controller"; }, 5000)) << Status();
    for (int i = 0; i < 6; ++i) EXPECT_EQ("-----", LiveValue(i));
    Com1.Ok("fault none");
    EXPECT_TRUE(WaitUntil([this] { return Status() == "Gantrel Reinitialized"; }, 6000)) << Status();
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(1) != "-----"; }, 3000));
}

// The controller stays off through more than one search before it returns:
// its return is still reported, not only a return at the first look.
TEST_F(MainWindowTest, AReturnAfterSearchesThatFoundNothingIsReported)
{
    ASSERT_TRUE(ConnectCom1());
    Com1.Ok("fault silence");
    ASSERT_TRUE(WaitUntil([this] { return Status() == "Communications Lost With Controller"; }, 5000)) << Status();
    Com1.Ok("clear");
    // Each unanswered version request ends with the older units' 'D' (68):
    // after two, the search has restarted itself at least once.
    auto versionRequests = [this] {
        const std::vector<std::string> commands = Transcript();
        return std::count(commands.begin(), commands.end(), "68");
    };
    ASSERT_TRUE(WaitUntil([&] { return versionRequests() >= 2; }, 10000)) << Com1.Ok("transcript");
    Com1.Ok("fault none");
    EXPECT_TRUE(WaitUntil([this] { return Status() == "Gantrel Reinitialized"; }, 6000)) << Status();
    EXPECT_TRUE(WaitUntil([this] { return LiveValue(1) != "-----"; }, 3000));
}

// One controller generation: its captions, which labels show, and values
// from pinned reply bytes.
struct Generation {
    int Version;
    int Flags;
    std::vector<std::string> Captions;  // "" for a hidden label
};

class GenerationTest : public MainWindowTest, public ::testing::WithParamInterface<Generation> {};

TEST_P(GenerationTest, LiveLabelsAndValues)
{
    const Generation& g = GetParam();
    Com1.Ok("version " + std::to_string(g.Version));
    Com1.Ok("flags " + std::to_string(g.Flags));
    ASSERT_TRUE(ConnectCom1(10000));
    TLabel* captions[6] = {Form()->Label, Form()->TPos, Form()->FuelCh, Form()->TPOut, Form()->ManChg, Form()->ignAdv};
    for (int i = 0; i < 6; ++i) {
        if (g.Captions[size_t(i)].empty()) {
            EXPECT_FALSE(captions[i]->Visible()) << i;
        } else {
            EXPECT_TRUE(captions[i]->Visible()) << i;
            EXPECT_EQ(g.Captions[size_t(i)], captions[i]->Caption()) << i;
        }
    }
    const bool old = g.Version >= 49 && g.Version <= 54;
    // Engine speed from a pinned period: 250000 / period x 60 / divisor.
    if (old) {
        Com1.Ok("live d0 220");  // 1500 = 0x05DC
        Com1.Ok("live d1 5");
    } else {
        Com1.Ok("live r3 220");
        Com1.Ok("live r4 5");
    }
    int divisor = g.Version == '1' ? 2 : 1;
    std::string rpm = std::to_string(int(250000.0 / 1500 * 60 / divisor));
    EXPECT_TRUE(WaitUntil([&] { return LiveValue(0) == rpm; }, 4000)) << LiveValue(0) << " wanted " << rpm;
    // Throttle from a pinned raw reading at the middle of the calibration.
    uint8_t closed = TTableKind::TpClosedRaw, open = TTableKind::TpOpenRaw;
    int raw = (closed + open) / 2;
    Com1.Ok(std::string("live ") + (old ? "d9 " : "r12 ") + std::to_string(raw));
    double tp = double(raw - closed) * 100 / (open - closed);
    std::string throttle = std::to_string(int(tp + 0.5));
    EXPECT_TRUE(WaitUntil([&] { return LiveValue(1) == throttle; }, 4000)) << LiveValue(1) << " wanted " << throttle;
}

INSTANTIATE_TEST_SUITE_P(
    EveryControllerGeneration, GenerationTest,
    ::testing::Values(
        Generation{0, 0x00, {"RPM", "%Throttle", "FuelChg1", "FuelChg2", "%Duty Cycle", ""}},
        Generation{0, 0x80, {"RPM", "%Throttle", "FuelChg1", "FuelChg2", "%Duty Cycle", "IGN Adv"}},
        Generation{1, 0x40, {"RPM", "%Throttle", "%Fuel Chg", "%Duty Cycle", "O2 Chg", ""}},
        Generation{2, 0x80, {"RPM", "%Throttle", "%Fuel Chg", "%Duty Cycle", "IGN Adv", "Table Num"}},
        Generation{100, 0xC0, {"RPM", "%Throttle", "%Fuel Chg", "%Duty Cycle", "O2 Chg", "IGN Adv"}},
        Generation{148, 0x00, {"RPM", "%Throttle", "%Fuel Chg", "%Duty Cycle", "", ""}},
        Generation{'1', 1, {"RPM", "%Throttle", "%AAP Chg", "%TP Out", "%AT Chg", "IGN Adv"}},
        Generation{'2', 1, {"RPM", "%Throttle", "%AAP Chg", "%TP Out", "%MP Chg", "IGN Adv"}},
        Generation{'3', 1, {"RPM", "%Throttle", "%AAP Chg", "%TP Out", "%MP Chg", "IGN Adv"}},
        Generation{'4', 1, {"RPM", "%Throttle", "%AAP Chg", "%TP Out", "%MP Chg", "IGN Adv"}},
        Generation{'5', 1, {"RPM", "%Throttle", "%AAP Chg", "%TP Out", "%MP Chg", "IGN Adv"}},
        Generation{'6', 1, {"RPM", "%Throttle", "%AAP Chg", "%TP Out", "%MP Chg", "IGN Adv"}}),
    [](const ::testing::TestParamInfo<Generation>& info) {
        return "Version" + std::to_string(info.param.Version) + "Flags" + std::to_string(info.param.Flags);
    });

class LoggingTest : public MainWindowTest {
protected:
    std::string InitialSettings() override { return "[ComPort]\r\nPort=0\r\n[Custom]\r\nLog=1\r\n"; }
};

TEST_F(LoggingTest, EachPollWritesOneLineWhileLoggingIsOn)
{
    std::string log = ExeDirectory() + "log.dat";
    DeleteFileA(log.c_str());
    ASSERT_TRUE(Form()->LogtoFile1->Visible());
    ASSERT_TRUE(ConnectCom1());
    ChooseMenu(Form()->LogtoFile1);
    EXPECT_TRUE(Form()->LogtoFile1->Checked());
    Pump(1500);
    ChooseMenu(Form()->LogtoFile1);
    EXPECT_FALSE(Form()->LogtoFile1->Checked());
    std::string text = ReadFileBytes(log);
    Pump(500);
    EXPECT_EQ(text, ReadFileBytes(log));  // nothing more once off

    // "%f %d %d %d %d %d %d\n": seconds since logging began, six values.
    std::regex line(R"(\d+\.\d{6}( -?\d+){6})");
    int lines = 0;
    double last = -1;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        ASSERT_NE(std::string::npos, end);
        std::string l = text.substr(start, end - start);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        EXPECT_TRUE(std::regex_match(l, line)) << l;
        double seconds = std::atof(l.c_str());
        EXPECT_GE(seconds, last);
        last = seconds;
        ++lines;
        start = end + 1;
    }
    // A poll moves 17 bytes at 2400 baud: about 14 a second.
    EXPECT_GE(lines, 8);
    EXPECT_LE(lines, 30);
    EXPECT_LT(last, 2.0);
}

TEST_F(LoggingTest, AFailedPollWritesZeros)
{
    std::string log = ExeDirectory() + "log.dat";
    DeleteFileA(log.c_str());
    ASSERT_TRUE(ConnectCom1());
    Com1.Ok("fault silence");
    ChooseMenu(Form()->LogtoFile1);
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(log).find(" 0 0 0 0 0 0") != std::string::npos; }, 3000));
    ChooseMenu(Form()->LogtoFile1);
}

}  // namespace

// Live values 2..5 of every controller generation, from reply bytes pinned
// on the simulated controller. The expected numbers are worked out by hand
// from the live conversions (noted beside each case), not taken from the
// program: every byte a value comes from is pinned to a value of its own,
// so a value read from the wrong byte shows.
#include "MainWindowFixture.h"

#include <ostream>
#include <string>
#include <vector>

namespace {

// 'R' reply: every byte but the flags (2) and the version (13) pinned.
//   period 3/4 = 232 + 3 x 256 = 1000
//   Fuel pair, byte 8 = 200:    72 x 0.390625 + 0.5 = 28.625 -> 28
//   Fuel-B pair, byte 8 = 200:  200 - 128 = 72
//   Fuel-B pair, byte 7 = 160:  160 - 128 = 32
//   rate, bytes 14/15 = 50/4:   50 x 100 + 4 x 25600 = 107400;
//                               / 2 = 53700, / 1000 = 53.7 -> 53
//                               / 1 = 107400, / 1000 = 107.4 -> 107
//   Ignition-B, byte 7 = 160:   32 / 128 x 22.5 + 0.5 = 6.125 -> 6
//   O2 code, byte 5 = 11:       1
//   table position, byte 0 = 3: 3 + 1 = 4
const char* const RPins[] = {"r0 3",  "r1 77", "r3 232", "r4 3",   "r5 11",   "r6 99",  "r7 160",
                             "r8 200", "r9 55", "r10 66", "r11 90", "r12 140", "r14 50", "r15 4"};

// 'D' reply: every byte but the version (10) pinned; for the table on wire
// w the inputs are bytes 9 - w and 5 - w.
//   AAP (wire 1), byte 4 = 180:     52 x 0.390625 = 20.3125 -> 20
//   TP (wire 0), bytes 9/5 = 136/150 with the model's closed/open readings:
//     (136 - closed) x 100 / (open - closed) + 22 x 50 / (open - closed)
//     '1' 26/246:  50 + 5 = 55          '2' 56/213: 50.955 + 7.006 = 57.96 -> 58
//     '3' 58/216:  49.367 + 6.962 = 56.33 -> 56
//     '4', '5' 26/229: 54.187 + 5.419 = 59.61 -> 60
//     '6' 60/219:  47.799 + 6.918 = 54.72 -> 55
//   AT (wire 3 on '1'), byte 2 = 100:  -28 x 25 / 29 = -24.14 -> -24
//   Ignition (wire 2 on '1'), byte 3 = 152: 24 / 128 x 11.25 = 2.11 -> 2
//   MP (wire 2 on '2'..'6'), byte 3 = 152: 24 x 0.9842519 = 23.62 -> 24
//   Ignition (wire 3 on '2'..'6'), byte 2 = 100: -28 / 128 x 11.25 = -2.46 -> -2
const char* const DPins[] = {"d0 232", "d1 3",  "d2 100", "d3 152", "d4 180",
                             "d5 150", "d6 77", "d7 88",  "d8 99",  "d9 136"};

struct LiveCase {
    const char* Name;
    int Version;
    int Flags;
    // The 'I' header to serve instead of the simulator's own (versions 0..2).
    std::string Info;
    std::vector<std::string> Values;  // live values 2..5
};

void PrintTo(const LiveCase& c, std::ostream* os)
{
    *os << c.Name;
}

class LiveValueTest : public MainWindowTest {
protected:
    // Connects to the unit with every reply byte pinned.
    bool Connect(int version, int flags, const std::string& info = "")
    {
        Com1.Ok("version " + std::to_string(version));
        Com1.Ok("flags " + std::to_string(flags));
        if (!info.empty()) Com1.Ok("info " + info + " map text");
        bool old = version >= 49 && version <= 54;
        if (old)
            for (const char* pin : DPins) Com1.Ok(std::string("live ") + pin);
        else
            for (const char* pin : RPins) Com1.Ok(std::string("live ") + pin);
        return ConnectCom1(10000);
    }

    std::vector<std::string> Values2To5() { return {LiveValue(2), LiveValue(3), LiveValue(4), LiveValue(5)}; }

    // Waits until value index shows text; true when it does.
    bool Shows(int index, const std::string& text)
    {
        return WaitUntil([&] { return LiveValue(index) == text; }, 4000);
    }
};

std::string Joined(const std::vector<std::string>& values)
{
    std::string text;
    for (const std::string& v : values) text += (text.empty() ? "" : " ") + v;
    return text;
}

class LiveValueGenerationTest : public LiveValueTest, public ::testing::WithParamInterface<LiveCase> {};

TEST_P(LiveValueGenerationTest, ValuesTwoToFiveFromTheirOwnBytes)
{
    const LiveCase& c = GetParam();
    ASSERT_TRUE(Connect(c.Version, c.Flags, c.Info));
    const std::string wanted = Joined(c.Values);
    EXPECT_TRUE(WaitUntil([&] { return Joined(Values2To5()) == wanted; }, 4000))
        << Joined(Values2To5()) << " wanted " << wanted;
    // They stay: every poll gives the same.
    Pump(300);
    EXPECT_EQ(wanted, Joined(Values2To5()));
}

INSTANTIATE_TEST_SUITE_P(
    EveryControllerGeneration, LiveValueGenerationTest,
    ::testing::Values(
        // Version 0: Fuel-B pair (byte 8) in 2, the other Fuel-B pair (byte 7)
        // in 3, the rate / 2 in 4; nothing gated by manifold pressure.
        LiveCase{"Version0", 0, 0x00, "", {"72", "32", "53", "0"}},
        LiveCase{"Version0Pressure", 0, 0x80, "", {"72", "32", "53", "0"}},
        // Version 1, map number 105 (below 106): Fuel pair in 2, the rate / 2
        // in 3, the O2 code in 4 with the O2 option, Ignition-B in 5 with
        // manifold pressure.
        LiveCase{"Version1PressureO2", 1, 0xC0, "", {"28", "53", "1", "6"}},
        LiveCase{"Version1Bare", 1, 0x00, "", {"28", "53", "0", "0"}},
        LiveCase{"Version1O2", 1, 0x40, "", {"28", "53", "1", "0"}},
        // Map number 110: the first table is Fuel-B.
        LiveCase{"Version1Map110Pressure", 1, 0x80, "0301026e01000000000000000000000a", {"72", "53", "0", "6"}},
        // Version 2: Fuel-B pair in 2, the rate / 2 in 3, Ignition-B in 4 with
        // manifold pressure, the table position in 5; no O2.
        LiveCase{"Version2Pressure", 2, 0x80, "", {"72", "53", "6", "4"}},
        LiveCase{"Version2O2Flag", 2, 0x40, "", {"72", "53", "0", "4"}},
        // Versions 100..148: as version 1 with the Fuel kind; the rate divided
        // by 1 on versions 100 and 103, by 2 on the others.
        LiveCase{"Version100", 100, 0xC0, "", {"28", "107", "1", "6"}},
        LiveCase{"Version101", 101, 0xC0, "", {"28", "53", "1", "6"}},
        LiveCase{"Version103", 103, 0x80, "", {"28", "107", "0", "6"}},
        LiveCase{"Version105", 105, 0x40, "", {"28", "53", "1", "0"}},
        LiveCase{"Version148", 148, 0x00, "", {"28", "53", "0", "0"}},
        // 'D' units: AAP in 2, TP in 3, AT ('1') or MP in 4, Ignition in 5.
        LiveCase{"Version49", '1', 1, "", {"20", "55", "-24", "2"}},
        LiveCase{"Version50", '2', 1, "", {"20", "58", "24", "-2"}},
        LiveCase{"Version51", '3', 1, "", {"20", "56", "24", "-2"}},
        LiveCase{"Version52", '4', 1, "", {"20", "60", "24", "-2"}},
        LiveCase{"Version53", '5', 1, "", {"20", "60", "24", "-2"}},
        LiveCase{"Version54", '6', 1, "", {"20", "55", "24", "-2"}}),
    [](const ::testing::TestParamInfo<LiveCase>& info) { return std::string(info.param.Name); });

TEST_F(LiveValueTest, O2CodesAsShown)
{
    ASSERT_TRUE(Connect(100, 0xC0));
    // 12 -> 2, 11 -> 1, 0 -> 0, any other v -> -v.
    for (auto [code, shown] : {std::pair<int, const char*>{12, "2"}, {0, "0"}, {37, "-37"}, {11, "1"}, {255, "-255"}}) {
        Com1.Ok("live r5 " + std::to_string(code));
        EXPECT_TRUE(Shows(4, shown)) << code << ": " << LiveValue(4);
    }
}

TEST_F(LiveValueTest, RoundingOfTheRBytes)
{
    ASSERT_TRUE(Connect(101, 0xC0));
    // Fuel pair below 128: -28 x 0.390625 - 0.5 = -11.4375, truncated -11.
    Com1.Ok("live r8 100");
    EXPECT_TRUE(Shows(2, "-11")) << LiveValue(2);
    // Ignition-B: 128 is 0; -8 / 128 x 22.5 - 0.5 = -1.906, truncated -1.
    Com1.Ok("live r7 128");
    EXPECT_TRUE(Shows(5, "0")) << LiveValue(5);
    Com1.Ok("live r7 120");
    EXPECT_TRUE(Shows(5, "-1")) << LiveValue(5);
    // A period of 0 counts as 1 for the rate too: 107400 / 2 / 1.
    Com1.Ok("live r3 0");
    Com1.Ok("live r4 0");
    EXPECT_TRUE(Shows(3, "53700")) << LiveValue(3);
    // A longer period: 53700 / 4000 = 13.425 -> 13.
    Com1.Ok("live r3 160");
    Com1.Ok("live r4 15");
    EXPECT_TRUE(Shows(3, "13")) << LiveValue(3);
}

TEST_F(LiveValueTest, TablePositionOfVersion2)
{
    ASSERT_TRUE(Connect(2, 0x00));
    for (int position : {0, 1, 2}) {
        Com1.Ok("live r0 " + std::to_string(position));
        EXPECT_TRUE(Shows(5, std::to_string(position + 1))) << LiveValue(5);
    }
}

TEST_F(LiveValueTest, DUnitValuesRoundHalfAwayFromZero)
{
    ASSERT_TRUE(Connect('3', 1));
    // AAP: 32 x 0.390625 = 12.5 exactly -> 13; -32 x 0.390625 = -12.5 -> -13.
    Com1.Ok("live d4 160");
    EXPECT_TRUE(Shows(2, "13")) << LiveValue(2);
    Com1.Ok("live d4 96");
    EXPECT_TRUE(Shows(2, "-13")) << LiveValue(2);
}

}  // namespace

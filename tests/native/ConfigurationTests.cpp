// Configuration per controller version and per map model code, and the
// compatibility between the two.
#include "Configuration.h"
#include "ControllerLink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A controller that answers identification from a script and records what
// the configuration asked of it.
class TScriptedLink : public TControllerLink {
public:
    int Version = 105;
    uint8_t Flags = 0;
    bool InfoArrives = true;
    uint8_t Info[16] = {};
    bool BlockArrives = true;
    uint8_t Block[224] = {};
    std::vector<std::string> Calls;
    std::vector<uint8_t> WrittenTable;

    int GetVersion(uint8_t& flags) override
    {
        Calls.push_back("version");
        if (Version >= 0) flags = Flags;
        return Version;
    }
    bool ReadInfo(uint8_t* header, int length, char* text) override
    {
        Calls.push_back("info");
        if (!InfoArrives) return false;
        std::copy(Info, Info + length, header);
        text[0] = '\0';
        return true;
    }
    bool ReadBlock(int n, uint8_t* bytes, int length) override
    {
        Calls.push_back("block " + std::to_string(n));
        if (!BlockArrives) return false;
        std::copy(Block, Block + length, bytes);
        return true;
    }
    int WriteTable(int n, const uint8_t* bytes, int length) override
    {
        Calls.push_back("write " + std::to_string(n));
        WrittenTable.assign(bytes, bytes + length);
        return 0;
    }
};

class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TTableKind::TpClosedRaw = 0;
        TTableKind::TpOpenRaw = 255;
        TTableKind::RpmDivisor = 2;
        TTableKind::OutputDivisor = 1;
    }

    int Identify(int version, uint8_t flags, TWindowChanges& changes, bool allowO2 = true)
    {
        Link.Version = version;
        Link.Flags = flags;
        return Config.ConfigureForController(Link, allowO2, changes);
    }

    // Kind, wire table number and live index of one controller set entry.
    void ExpectEntry(const TTableSet& set, int e, const TTableKind* kind, int wire, int live)
    {
        EXPECT_EQ(kind, set[e].Kind) << "entry " << e;
        EXPECT_EQ(wire, set[e].WireTable) << "entry " << e;
        EXPECT_EQ(live, set[e].LiveIndex) << "entry " << e;
        EXPECT_EQ(e, set[e].Ordinal);
    }
    void ExpectLimits(int e, const TTableKind* kind, int max, int min, int wire, int live)
    {
        ExpectEntry(Config.FileSet, e, kind, wire, live);
        EXPECT_EQ(max, Config.FileSet[e].Max) << "entry " << e;
        EXPECT_EQ(min, Config.FileSet[e].Min) << "entry " << e;
        EXPECT_EQ(e + 1, kind->BlockNumber);
    }
    void ExpectCaptions(const TWindowChanges& c, const std::vector<std::string>& captions)
    {
        for (int slot = 0; slot < 6; ++slot) {
            auto it = c.Caption.find(TConfiguration::LiveLabels[slot]);
            if (captions[slot].empty())
                EXPECT_TRUE(it == c.Caption.end()) << "slot " << slot;
            else
                EXPECT_TRUE(it != c.Caption.end() && it->second == captions[slot]) << "slot " << slot;
        }
    }

    TTableKinds Kinds;
    TConfiguration Config{Kinds};
    TScriptedLink Link;
};

TEST_F(ConfigurationTest, NoControllerChangesNothing)
{
    TWindowChanges c;
    EXPECT_EQ(0, Identify(-3, 0, c));
    EXPECT_EQ(-1, Config.ControllerVersion);
    EXPECT_TRUE(c.Visible.empty());
    EXPECT_TRUE(c.StatusText.empty());
    EXPECT_EQ(0, Config.ControllerSet.Count);
}

TEST_F(ConfigurationTest, Version0)
{
    Link.Info[3] = 7;
    Link.Info[4] = 3;
    TWindowChanges c;
    ASSERT_EQ(1, Identify(0, 0x00, c));
    EXPECT_EQ(std::vector<std::string>({"version", "info"}), Link.Calls);
    ExpectEntry(Config.ControllerSet, 0, &Kinds.FuelB[0], 0, 2);
    ExpectEntry(Config.ControllerSet, 1, &Kinds.FuelB[1], 1, 3);
    ExpectEntry(Config.ControllerSet, 2, &Kinds.IgnitionB[0], 2, 4);
    ExpectEntry(Config.ControllerSet, 3, &Kinds.Tp, 3, 5);
    EXPECT_EQ(2, Config.ControllerSet.Count);
    EXPECT_EQ(1, TTableKind::RpmDivisor);
    EXPECT_EQ(2, TTableKind::OutputDivisor);
    EXPECT_EQ(7, Config.InfoByte3);
    EXPECT_EQ(3, Config.PeriodMultiplier);
    EXPECT_EQ(288, Config.TableLength);
    ExpectCaptions(c, {"RPM", "%Throttle", "FuelChg1", "FuelChg2", "%Duty Cycle", "IGN Adv"});
    EXPECT_TRUE(c.Shown("ManChg"));
    EXPECT_TRUE(c.Hidden("ignAdv"));
    EXPECT_TRUE(c.Hidden("IgnVal"));
    EXPECT_EQ(false, c.O2Controls);
    EXPECT_TRUE(c.Shown("SetTP1"));
    EXPECT_EQ("Logo", c.Logo);
    EXPECT_EQ(0, Config.ControllerVersion);
    // Throttle calibration is left alone.
    EXPECT_EQ(255, TTableKind::TpOpenRaw);

    TWindowChanges withPressure;
    ASSERT_EQ(1, Identify(0, 0x80, withPressure));
    EXPECT_EQ(3, Config.ControllerSet.Count);
    EXPECT_TRUE(withPressure.Shown("ignAdv"));
}

TEST_F(ConfigurationTest, Version1DependsOnTheMapModelAndTheO2Option)
{
    Link.Info[3] = 105;
    Config.O2Known = true;  // a setting the user chose waits for the upload
    TWindowChanges c;
    ASSERT_EQ(1, Identify(1, 0x40, c, true));
    ExpectEntry(Config.ControllerSet, 0, &Kinds.Fuel, 0, 2);
    ExpectEntry(Config.ControllerSet, 1, &Kinds.IgnitionB[0], 1, 5);
    ExpectEntry(Config.ControllerSet, 2, &Kinds.Tp, 2, 4);
    ExpectEntry(Config.ControllerSet, 3, &Kinds.Tp, 3, 5);
    EXPECT_EQ(1, Config.ControllerSet.Count);
    ExpectCaptions(c, {"RPM", "%Throttle", "%Fuel Chg", "%Duty Cycle", "O2 Chg", "IGN Adv"});
    EXPECT_TRUE(c.Shown("HardwareInfo1"));
    EXPECT_TRUE(c.Shown("ManChg"));
    EXPECT_EQ(true, c.O2Controls);
    EXPECT_TRUE(Config.O2Shown);
    EXPECT_TRUE(Config.O2Pending);
    EXPECT_TRUE(c.Hidden("ignAdv"));
    EXPECT_TRUE(c.Hidden("SetFuelTrimValues1"));
    EXPECT_TRUE(c.Hidden("SetCurrentMap2"));

    Link.Info[3] = 106;
    TWindowChanges noO2;
    ASSERT_EQ(1, Identify(1, 0xA0, noO2, false));
    ExpectEntry(Config.ControllerSet, 0, &Kinds.FuelB[0], 0, 2);
    EXPECT_EQ(2, Config.ControllerSet.Count);
    EXPECT_TRUE(noO2.Hidden("ManChg"));
    EXPECT_EQ(false, noO2.O2Controls);
    EXPECT_FALSE(Config.O2Shown);
    EXPECT_TRUE(noO2.Shown("ignAdv"));
    EXPECT_TRUE(noO2.Shown("SetFuelTrimValues1"));  // trims supported and allowed
}

// Before any map, choice or read gave an O2 setting, an upload has none of
// its own to write: the unit keeps its setting.
TEST_F(ConfigurationTest, IdentifyingAnO2UnitLeavesOnlyAKnownSettingPending)
{
    TWindowChanges first;
    ASSERT_EQ(1, Identify(105, 0x40, first, true));
    EXPECT_TRUE(Config.O2Shown);
    EXPECT_FALSE(Config.O2Pending);

    // A map with its own setting: pending, and again after the unit is found anew.
    TWindowChanges file;
    ASSERT_EQ(0x100000 + 1105, Config.ConfigureForFile(201, 0x100000 + 1105, 11, file));
    EXPECT_TRUE(Config.O2Pending);
    Config.O2Pending = false;  // written by an upload
    TWindowChanges again;
    ASSERT_EQ(1, Identify(105, 0x40, again, true));
    EXPECT_TRUE(Config.O2Pending);
    EXPECT_EQ(11, Config.O2Value);

    // A map without one: nothing known to write any more.
    TWindowChanges plain;
    ASSERT_EQ(1105, Config.ConfigureForFile(201, 1105, 0, plain));
    TWindowChanges third;
    ASSERT_EQ(1, Identify(105, 0x40, third, true));
    EXPECT_FALSE(Config.O2Pending);
}

TEST_F(ConfigurationTest, O2OptionWithoutPermissionLeavesNothingPending)
{
    TWindowChanges c;
    ASSERT_EQ(1, Identify(1, 0x40, c, false));
    EXPECT_TRUE(Config.O2Shown);
    EXPECT_FALSE(Config.O2Pending);
}

TEST_F(ConfigurationTest, CylinderTrimSettingOffHidesTheTrims)
{
    Config.CylinderTrimSetting = false;
    TWindowChanges c;
    ASSERT_EQ(1, Identify(1, 0x20, c));
    EXPECT_FALSE(Config.CylinderTrims);
    EXPECT_TRUE(c.Hidden("SetFuelTrimValues1"));
}

TEST_F(ConfigurationTest, Version2)
{
    TWindowChanges c;
    ASSERT_EQ(1, Identify(2, 0x00, c));
    ExpectEntry(Config.ControllerSet, 0, &Kinds.FuelB[0], 0, 2);
    ExpectEntry(Config.ControllerSet, 1, &Kinds.IgnitionB[0], 3, 4);
    ExpectEntry(Config.ControllerSet, 2, &Kinds.Tp, 2, 4);
    ExpectEntry(Config.ControllerSet, 3, &Kinds.Tp, 3, 5);
    EXPECT_EQ(1, Config.ControllerSet.Count);
    ExpectCaptions(c, {"RPM", "%Throttle", "%Fuel Chg", "%Duty Cycle", "IGN Adv", "Table Num"});
    EXPECT_TRUE(c.Hidden("ManChg"));
    EXPECT_TRUE(c.Shown("ignAdv"));
    EXPECT_TRUE(c.Shown("HardwareInfo1"));
    EXPECT_TRUE(c.Shown("SetCurrentMap2"));
    EXPECT_EQ(false, c.O2Controls);
    EXPECT_EQ("RNLogo", c.Logo);
}

TEST_F(ConfigurationTest, MissingInfoBlockKeepsTheEarlierInfoBytes)
{
    Link.Info[0] = 4;
    Link.Info[2] = 9;
    Link.Info[3] = 106;
    Link.Info[4] = 2;
    TWindowChanges c;
    ASSERT_EQ(1, Identify(1, 0, c));
    Link.InfoArrives = false;
    TWindowChanges again;
    ASSERT_EQ(1, Identify(2, 0, again));
    EXPECT_EQ(4, Config.InfoByte0);
    EXPECT_EQ(9, Config.InfoByte2);
    EXPECT_EQ(106, Config.InfoByte3);
    EXPECT_EQ(2, Config.PeriodMultiplier);
}

TEST_F(ConfigurationTest, OldUnitsPerModelDigit)
{
    struct Row {
        int Version;
        uint8_t Open, Closed;
        const TTableKind* Third;
        int ThirdWire, IgnitionWire, RpmDivisor;
        const char* ManChgCaption;
    };
    const Row rows[] = {
        {'1', 246, 26, &Kinds.At, 3, 2, 2, "%AT Chg"},
        {'2', 213, 56, &Kinds.Mp, 2, 3, 1, "%MP Chg"},
        {'3', 216, 58, &Kinds.Mp, 2, 3, 1, "%MP Chg"},
        {'4', 229, 26, &Kinds.Mp, 2, 3, 1, "%MP Chg"},
        {'5', 229, 26, &Kinds.Mp, 2, 3, 1, "%MP Chg"},
        {'6', 219, 60, &Kinds.Mp, 2, 3, 1, "%MP Chg"},
    };
    for (const Row& row : rows) {
        TWindowChanges c;
        ASSERT_EQ(1, Identify(row.Version, 1, c)) << row.Version;
        EXPECT_EQ(row.Open, TTableKind::TpOpenRaw) << row.Version;
        EXPECT_EQ(row.Closed, TTableKind::TpClosedRaw) << row.Version;
        ExpectEntry(Config.ControllerSet, 0, &Kinds.Aap, 1, 2);
        ExpectEntry(Config.ControllerSet, 1, &Kinds.Tp, 0, 3);
        ExpectEntry(Config.ControllerSet, 2, row.Third, row.ThirdWire, 4);
        ExpectEntry(Config.ControllerSet, 3, &Kinds.Ignition, row.IgnitionWire, 5);
        EXPECT_EQ(4, Config.ControllerSet.Count);
        EXPECT_EQ(row.RpmDivisor, TTableKind::RpmDivisor);
        EXPECT_EQ(1, TTableKind::OutputDivisor);
        ExpectCaptions(c, {"RPM", "%Throttle", "%AAP Chg", "%TP Out", row.ManChgCaption, "IGN Adv"});
        for (const char* name : TConfiguration::LiveLabels) EXPECT_TRUE(c.Shown(name));
        EXPECT_TRUE(c.Hidden("SetTP1"));
        EXPECT_EQ(false, c.O2Controls);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(288u, Config.TableBuffers[i].size());
        EXPECT_EQ(std::vector<std::string>({"version"}), Link.Calls);
        Link.Calls.clear();
    }
}

TEST_F(ConfigurationTest, NewUnitsReadTheirCalibrationFromBlock0)
{
    Link.Block[0] = 31;
    Link.Block[8] = 222;
    TWindowChanges c;
    ASSERT_EQ(1, Identify(110, 0x80, c));
    EXPECT_EQ(std::vector<std::string>({"version", "block 0"}), Link.Calls);
    EXPECT_EQ(222, TTableKind::TpOpenRaw);
    EXPECT_EQ(31, TTableKind::TpClosedRaw);
    ExpectEntry(Config.ControllerSet, 0, &Kinds.Fuel, 0, 2);
    ExpectEntry(Config.ControllerSet, 1, &Kinds.IgnitionB[0], 1, 5);
    ExpectEntry(Config.ControllerSet, 2, &Kinds.Tp, 2, 4);
    ExpectEntry(Config.ControllerSet, 3, &Kinds.Tp, 3, 5);
    EXPECT_EQ(2, Config.ControllerSet.Count);
    EXPECT_EQ(1, TTableKind::RpmDivisor);
    EXPECT_EQ(2, TTableKind::OutputDivisor);
    ExpectCaptions(c, {"RPM", "%Throttle", "%Fuel Chg", "%Duty Cycle", "", "IGN Adv"});
    EXPECT_TRUE(c.Shown("ignAdv"));
    EXPECT_TRUE(c.Hidden("ManChg"));  // no O2 option
    EXPECT_EQ(288u, Config.TableBuffers[0].size());
    EXPECT_EQ(288u, Config.TableBuffers[1].size());
    EXPECT_TRUE(Config.TableBuffers[2].empty());
    EXPECT_EQ(Config.TableBuffers[1].data(), Config.ControllerSet[1].Data);
}

TEST_F(ConfigurationTest, OutputDivisorOfTheFirstNewUnits)
{
    for (int version : {100, 103}) {
        TWindowChanges c;
        ASSERT_EQ(1, Identify(version, 0, c));
        EXPECT_EQ(1, TTableKind::OutputDivisor) << version;
    }
    for (int version : {101, 102, 148}) {
        TWindowChanges c;
        ASSERT_EQ(1, Identify(version, 0, c));
        EXPECT_EQ(2, TTableKind::OutputDivisor) << version;
    }
}

TEST_F(ConfigurationTest, ShortBlock0KeepsTheCalibration)
{
    TTableKind::TpOpenRaw = 200;
    TTableKind::TpClosedRaw = 20;
    Link.BlockArrives = false;
    TWindowChanges c;
    ASSERT_EQ(1, Identify(120, 0, c));
    EXPECT_EQ(200, TTableKind::TpOpenRaw);
    EXPECT_EQ(20, TTableKind::TpClosedRaw);
}

TEST_F(ConfigurationTest, SubVersion1Of104And105GetsAZeroTable2First)
{
    for (int version : {104, 105}) {
        Link.Calls.clear();
        TWindowChanges c;
        ASSERT_EQ(1, Identify(version, 0x41, c));
        EXPECT_EQ(std::vector<std::string>({"version", "write 2", "block 0"}), Link.Calls) << version;
        EXPECT_EQ(std::vector<uint8_t>(288, 0), Link.WrittenTable);
    }
    for (auto [version, flags] : {std::pair<int, int>{105, 0x42}, {106, 0x41}, {104, 0xC0}}) {
        Link.Calls.clear();
        TWindowChanges c;
        ASSERT_EQ(1, Identify(version, uint8_t(flags), c));
        EXPECT_EQ(std::vector<std::string>({"version", "block 0"}), Link.Calls) << version;
    }
}

TEST_F(ConfigurationTest, UnservedVersionsAreReportedAndRefused)
{
    for (int version : {3, 7, 48, 55, 99, 149, 255}) {
        TWindowChanges c;
        EXPECT_EQ(0, Identify(version, 0, c)) << version;
        EXPECT_EQ("Gantrel Version not Valid (" + std::to_string(version) + ")", c.StatusText);
        EXPECT_EQ(1250, c.PauseMs);
        EXPECT_EQ(-1, Config.ControllerVersion);
        EXPECT_TRUE(c.Logo.empty());
    }
}

TEST_F(ConfigurationTest, TpSettingOffHidesTheCalibrationCommand)
{
    Config.TpSetting = false;
    for (int version : {0, 1, 2, 100}) {
        TWindowChanges c;
        ASSERT_EQ(1, Identify(version, 0, c));
        EXPECT_TRUE(c.Hidden("SetTP1")) << version;
    }
}

TEST_F(ConfigurationTest, TpDefaultsPerModelDigit)
{
    TTableKind::TpOpenRaw = 1;
    TTableKind::TpClosedRaw = 2;
    EXPECT_EQ(1, TConfiguration::SetTpDefaultsForModel('9'));
    EXPECT_EQ(1, TTableKind::TpOpenRaw);
    EXPECT_EQ(1, TConfiguration::SetTpDefaultsForModel('5'));
    EXPECT_EQ(229, TTableKind::TpOpenRaw);
    EXPECT_EQ(26, TTableKind::TpClosedRaw);
}

// --- Map files ---------------------------------------------------------

TEST_F(ConfigurationTest, FourTableModels)
{
    struct Row {
        int Code, Floor, Step;
        int AapMax, IgnMax;
        const TTableKind* Third;
        int ThirdMax, ThirdWire, IgnWire;
    };
    const Row rows[] = {
        {1000, 1000, 250, 35, 11, &Kinds.At, 40, 3, 2},
        {1001, 4000, 500, 35, 11, &Kinds.Mp, 125, 2, 3},
        {1002, 4000, 500, 35, 11, &Kinds.Mp, 125, 2, 3},
        {1003, 2000, 500, 9, 11, &Kinds.Mp, 125, 2, 3},
        {1008, 2000, 500, 9, 4, &Kinds.Mp, 125, 2, 3},
        {1009, 2500, 500, 35, 11, &Kinds.Mp, 125, 2, 3},
    };
    for (const Row& row : rows) {
        TWindowChanges c;
        ASSERT_EQ(row.Code, Config.ConfigureForFile(201, row.Code, 12, c));
        EXPECT_EQ(row.Code - 1000, Config.FileModel);
        EXPECT_EQ(row.Floor, Config.IgnitionRpmFloor) << row.Code;
        EXPECT_EQ(row.Step, Config.FileSet.RpmStep) << row.Code;
        EXPECT_EQ(4, Config.FileSet.Count);
        ExpectLimits(0, &Kinds.Aap, row.AapMax, -35, 1, 0);
        ExpectEntry(Config.FileSet, 1, &Kinds.Tp, 0, 1);
        ExpectLimits(2, row.Third, row.ThirdMax, -row.ThirdMax, row.ThirdWire, 2);
        ExpectLimits(3, &Kinds.Ignition, row.IgnMax, -11, row.IgnWire, 3);
        for (const char* name : {"Upload1", "GetMap1", "Button9", "Button10", "Button1", "Button5"})
            EXPECT_TRUE(c.Shown(name)) << name;
        for (const char* name : {"UploadCurrent1", "GetCurrent1", "Button7", "Button8", "Button3"})
            EXPECT_TRUE(c.Hidden(name)) << name;
        EXPECT_EQ("Get Cu&rrent", c.Caption["Button7"]);
        EXPECT_EQ("Upload &Current", c.Caption["Button8"]);
        EXPECT_EQ(false, c.O2Controls);
        EXPECT_FALSE(Config.O2Pending);
    }
}

TEST_F(ConfigurationTest, AdvancedModeShowsTheSingleTableCommandsOfFourTableModels)
{
    Config.Advanced = true;
    TWindowChanges c;
    Config.ConfigureForFile(201, 1001, 0, c);
    for (const char* name : {"UploadCurrent1", "GetCurrent1", "Button7", "Button8", "Button3"})
        EXPECT_TRUE(c.Shown(name)) << name;
}

TEST_F(ConfigurationTest, OneTableModels)
{
    for (int code : {1004, 1005, 1006, 1007, 1010, 1011, 1012, 1013, 1014}) {
        Config.O2Pending = true;
        TWindowChanges c;
        ASSERT_EQ(code, Config.ConfigureForFile(201, code, 11, c));
        EXPECT_EQ(code - 1000, Config.FileModel);
        EXPECT_EQ(499, Config.IgnitionRpmFloor);
        EXPECT_EQ(500, Config.FileSet.RpmStep);
        EXPECT_EQ(1, Config.FileSet.Count);
        ExpectLimits(0, &Kinds.Fuel, 45, -45, 0, 0);
        ExpectLimits(1, &Kinds.IgnitionB[0], 22, -22, 1, 2);
        ExpectLimits(2, &Kinds.Mp, 125, -125, 2, 2);
        ExpectLimits(3, &Kinds.Ignition, 11, -11, 3, 3);
        for (const char* name : {"Upload1", "GetMap1", "Button9", "Button10"}) EXPECT_TRUE(c.Hidden(name));
        for (const char* name : {"UploadCurrent1", "GetCurrent1", "Button7", "Button8"}) EXPECT_TRUE(c.Shown(name));
        EXPECT_EQ("&Get Map", c.Caption["Button7"]);
        EXPECT_EQ("&Upload Map", c.Caption["Button8"]);
        if (code == 1005) {
            EXPECT_EQ(true, c.O2Controls);
            EXPECT_EQ(11, Config.O2Value);
            EXPECT_TRUE(Config.O2Pending);
            EXPECT_TRUE(Config.O2Shown);
        } else {
            EXPECT_EQ(false, c.O2Controls) << code;
            EXPECT_FALSE(Config.O2Pending) << code;
            EXPECT_FALSE(Config.O2Shown) << code;
        }
    }
}

TEST_F(ConfigurationTest, FileO2ValuesAbove13CountAsZero)
{
    TWindowChanges c;
    Config.ConfigureForFile(201, 1005, 14, c);
    EXPECT_EQ(0, Config.O2Value);
    Config.ConfigureForFile(201, 1005, -1, c);
    EXPECT_EQ(0, Config.O2Value);
    Config.ConfigureForFile(201, 1005, 13, c);
    EXPECT_EQ(13, Config.O2Value);
}

TEST_F(ConfigurationTest, NewerCodesOfFormat201)
{
    struct Row {
        int Code, Model, Count;
        const TTableKind* First;
        int FirstMax, IgnMax;
        bool AllTables;
    };
    const Row rows[] = {
        {1100, 100, 1, &Kinds.Fuel, 45, 22, false},
        {1105, 105, 1, &Kinds.Fuel, 45, 22, false},
        {1106, 106, 1, &Kinds.FuelB[0], 100, 22, false},
        {1108, 108, 1, &Kinds.FuelB[0], 100, 11, false},
        {1999, 999, 1, &Kinds.FuelB[0], 100, 22, false},
        {2100, 100, 2, &Kinds.Fuel, 45, 22, true},
        {2105, 105, 2, &Kinds.Fuel, 45, 22, true},
        {2106, 106, 2, &Kinds.FuelB[0], 100, 22, true},
        {2108, 108, 2, &Kinds.FuelB[0], 100, 22, true},  // the narrow range is the one-table codes' own
        {2999, 999, 2, &Kinds.FuelB[0], 100, 22, true},
    };
    for (const Row& row : rows) {
        TWindowChanges c;
        ASSERT_EQ(row.Code, Config.ConfigureForFile(201, row.Code, 0, c));
        EXPECT_EQ(row.Model, Config.FileModel);
        EXPECT_EQ(row.Count, Config.FileSet.Count) << row.Code;
        EXPECT_EQ(499, Config.IgnitionRpmFloor);
        EXPECT_EQ(500, Config.FileSet.RpmStep);
        ExpectLimits(0, row.First, row.FirstMax, -row.FirstMax, 0, 0);
        ExpectLimits(1, &Kinds.IgnitionB[0], row.IgnMax, -row.IgnMax, 1, 2);
        ExpectLimits(2, &Kinds.Mp, 125, -125, 2, 2);
        ExpectLimits(3, &Kinds.Ignition, 11, -11, 3, 3);
        EXPECT_EQ(row.AllTables, c.Shown("Button9")) << row.Code;
        EXPECT_EQ(row.AllTables, c.Shown("GetMap1")) << row.Code;
        EXPECT_TRUE(c.Shown("Button8"));
        EXPECT_EQ(false, c.O2Controls);
    }
}

TEST_F(ConfigurationTest, O2MarkerOfNewerCodes)
{
    TWindowChanges c;
    ASSERT_EQ(0x100000 + 1150, Config.ConfigureForFile(201, 0x100000 + 1150, 12, c));
    EXPECT_EQ(150, Config.FileModel);
    EXPECT_EQ(true, c.O2Controls);
    EXPECT_EQ(12, Config.O2Value);
    EXPECT_TRUE(Config.O2Pending);
}

TEST_F(ConfigurationTest, Format202HoldsTwoOneToOneFuelTables)
{
    TWindowChanges c;
    ASSERT_EQ(1500, Config.ConfigureForFile(202, 1500, 12, c));
    EXPECT_EQ(500, Config.FileModel);
    EXPECT_EQ(2, Config.FileSet.Count);
    ExpectLimits(0, &Kinds.FuelB[0], 100, -100, 0, 0);
    ExpectLimits(1, &Kinds.FuelB[1], 100, -100, 1, 2);
    EXPECT_TRUE(c.Shown("Button9"));
    EXPECT_EQ(false, c.O2Controls);
    EXPECT_FALSE(Config.O2Pending);
}

TEST_F(ConfigurationTest, UnknownFileTypes)
{
    const std::pair<int, int> unknown[] = {
        {201, 999},  {201, 1015}, {201, 1099}, {201, 2000}, {201, 3000}, {202, 1000},
        {202, 2100}, {202, 0x100000 + 1150}, {203, 1001}, {200, 1001}, {0, 0},
        {201, 0x100000 + 1005},
    };
    for (auto [format, code] : unknown) {
        TWindowChanges c;
        EXPECT_EQ(-1, Config.ConfigureForFile(format, code, 0, c)) << format << " " << code;
        EXPECT_EQ(-1, Config.FileModel);
        EXPECT_EQ(0, Config.IgnitionRpmFloor);
        EXPECT_EQ(250, Config.FileSet.RpmStep);
        EXPECT_EQ("Unknown file type.", c.StatusText);
    }
}

// --- Compatibility -----------------------------------------------------

TEST_F(ConfigurationTest, CompatibilityMatrix)
{
    // Row = file model; the expected entries for 49..54 and 100..106.
    const char* expected[15] = {
        "1----- -------", "-10000 -------", "-01000 -------", "-00100 -------", "------ 1------",
        "------ -1-----", "------ --1----", "------ ---1---", "-00010 -------", "-00001 -------",
        "------ ----1--", "------ -----1-", "------ -----1-", "------ ------1", "------ ------1",
    };
    Config.FileFormat = 201;
    for (int m = 0; m < 15; ++m) {
        Config.FileModel = m;
        const std::string row = expected[m];
        for (int i = 0; i < 13; ++i) {
            int version = i < 6 ? 49 + i : 100 + (i - 6);
            char want = row[i < 6 ? i : i + 1];
            Config.ControllerVersion = version;
            EXPECT_EQ(want == '1' ? 1 : want == '0' ? 0 : -1, Config.CheckCompatibility())
                << "model " << m << " version " << version;
        }
        // Versions outside the columns in use are never compatible.
        for (int version : {55, 99, 107, 148}) {
            Config.ControllerVersion = version;
            EXPECT_EQ(-1, Config.CheckCompatibility()) << "model " << m << " version " << version;
        }
    }
    Config.FileModel = 1;
    Config.ControllerVersion = 52;
    EXPECT_EQ(0, Config.CheckCompatibility());
    Config.ControllerVersion = 49;
    EXPECT_EQ(-1, Config.CheckCompatibility());
}

TEST_F(ConfigurationTest, CompatibilityByInfoByteAndByModelNumber)
{
    Config.InfoByte3 = 7;
    Config.FileModel = 7;
    Config.FileFormat = 201;
    for (int version : {1, 2}) {
        Config.ControllerVersion = version;
        EXPECT_EQ(1, Config.CheckCompatibility());
    }
    Config.ControllerVersion = 0;
    EXPECT_EQ(-1, Config.CheckCompatibility());
    Config.FileFormat = 202;
    EXPECT_EQ(1, Config.CheckCompatibility());
    Config.ControllerVersion = 1;
    EXPECT_EQ(-1, Config.CheckCompatibility());

    Config.FileModel = 130;
    Config.ControllerVersion = 130;
    EXPECT_EQ(1, Config.CheckCompatibility());
    Config.ControllerVersion = 131;
    EXPECT_EQ(-1, Config.CheckCompatibility());

    Config.FileModel = -1;
    EXPECT_EQ(-1, Config.CheckCompatibility());
    Config.FileModel = 4;
    Config.ControllerVersion = -1;
    EXPECT_EQ(-1, Config.CheckCompatibility());
}

TEST_F(ConfigurationTest, LastCompatibleVersion)
{
    const int expected[15] = {49, 50, 51, 52, 100, 101, 102, 103, 53, 54, 104, 105, 105, 106, 106};
    for (int m = 0; m < 15; ++m) EXPECT_EQ(expected[m], Config.LastCompatibleVersion(m)) << m;
    EXPECT_EQ(150, Config.LastCompatibleVersion(150));
    EXPECT_EQ(999, Config.LastCompatibleVersion(999));  // low byte 231
    // No row: nothing is compatible (never a read beyond the matrix).
    EXPECT_EQ(0, Config.LastCompatibleVersion(300));  // low byte 44
    EXPECT_EQ(0, Config.LastCompatibleVersion(20));
    EXPECT_EQ(0, Config.LastCompatibleVersion(-1));
}

TEST_F(ConfigurationTest, TableCountIsKnownBeforeConfiguring)
{
    // The loader asks before it changes anything; the answer must be what
    // the configuration then does, for every format and code.
    for (int format : {0, 200, 201, 202, 203}) {
        for (int code = 900; code <= 3100; ++code) {
            for (int marker : {0, 0x100000}) {
                TWindowChanges c;
                int result = Config.ConfigureForFile(format, code | marker, 0, c);
                int expected = result < 0 ? -1 : Config.FileSet.Count;
                ASSERT_EQ(expected, TConfiguration::FileTableCount(format, code | marker)) << format << " " << (code | marker);
            }
        }
    }
}

TEST_F(ConfigurationTest, AdvancedControlsAfterALoad)
{
    TWindowChanges c;
    Config.ConfigureForFile(201, 1012, 0, c);  // model 12 offers all tables
    TWindowChanges off, on;
    Config.ShowAdvancedControls(false, off);
    Config.ShowAdvancedControls(true, on);
    EXPECT_TRUE(off.Shown("Button9"));
    EXPECT_TRUE(off.Hidden("Button8"));
    EXPECT_TRUE(off.Hidden("Compare1"));
    EXPECT_TRUE(off.Hidden("Button3"));
    EXPECT_TRUE(on.Shown("Button8"));
    EXPECT_TRUE(on.Shown("Button3"));

    Config.ConfigureForFile(201, 1004, 0, c);  // current-only
    TWindowChanges current;
    Config.ShowAdvancedControls(false, current);
    EXPECT_TRUE(current.Hidden("Button9"));
    EXPECT_TRUE(current.Shown("Button8"));
    EXPECT_TRUE(current.Shown("Compare1"));
    EXPECT_TRUE(current.Hidden("Button3"));

    Config.ConfigureForFile(201, 1150, 0, c);  // 1100..1999: current-only
    TWindowChanges newer;
    Config.ShowAdvancedControls(false, newer);
    EXPECT_TRUE(newer.Hidden("Button10"));
    Config.ConfigureForFile(201, 2150, 0, c);  // 2100..2999: all tables
    TWindowChanges both;
    Config.ShowAdvancedControls(false, both);
    EXPECT_TRUE(both.Shown("Button10"));

    Config.ConfigureForFile(201, 99, 0, c);  // unknown: nothing changes
    TWindowChanges none;
    Config.ShowAdvancedControls(true, none);
    EXPECT_TRUE(none.Visible.empty());
}

TEST_F(ConfigurationTest, FreeTableBuffersClearsEveryPointer)
{
    TWindowChanges c;
    ASSERT_EQ(1, Identify('2', 1, c));
    ASSERT_NE(nullptr, Config.ControllerSet[3].Data);
    Config.FreeTableBuffers();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(nullptr, Config.ControllerSet[i].Data);
        EXPECT_TRUE(Config.TableBuffers[i].empty());
    }
}

TEST(TableSetTest, FreshSetIsEmpty)
{
    TTableSet set;
    EXPECT_EQ(0, set.Count);
    EXPECT_EQ(0, set.RpmStep);
    for (const TTableEntry& e : set.Entries) {
        EXPECT_EQ(-1, e.Ordinal);
        EXPECT_EQ(-1, e.WireTable);
        EXPECT_EQ(-1, e.LiveIndex);
        EXPECT_EQ(nullptr, e.Kind);
        EXPECT_EQ(nullptr, e.Data);
    }
}

}  // namespace

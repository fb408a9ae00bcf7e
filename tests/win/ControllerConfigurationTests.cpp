// Identification and configuration over the real port: the traffic each
// controller generation gets, against the simulated controller on COM1.
#include "ComPort.h"
#include "Configuration.h"
#include "SimulatorControl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ControllerConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Sim.Available()) << "no simulator on COM1 (GANTREL_SIM_COM1)";
        Sim.Ok("replug");
        Sim.Ok("fault none");
        Sim.Ok("pace off");
        ASSERT_EQ(2400, Port.Open("com1"));
    }
    int Configure(int version, int flags, TWindowChanges& changes)
    {
        Sim.Ok("version " + std::to_string(version));
        Sim.Ok("flags " + std::to_string(flags));
        Sim.Ok("clear");
        return Config.ConfigureForController(Port, true, changes);
    }

    TSimulator Sim{"COM1"};
    TComPort Port;
    TTableKinds Kinds;
    TConfiguration Config{Kinds};
};

TEST_F(ControllerConfigurationTest, SubVersion1Of105GetsAZeroTable2ThenItsCalibrationIsRead)
{
    std::string block = FromHex(Sim.Ok("block 0"));
    TWindowChanges c;
    ASSERT_EQ(1, Configure(105, 0x41, c));
    EXPECT_EQ("82 8:288 12", Sim.Ok("transcript"));
    EXPECT_EQ(std::string(288, '\0'), FromHex(Sim.Ok("table 2")));
    EXPECT_EQ(uint8_t(block[8]), TTableKind::TpOpenRaw);
    EXPECT_EQ(uint8_t(block[0]), TTableKind::TpClosedRaw);
    EXPECT_EQ(105, Config.ControllerVersion);
}

TEST_F(ControllerConfigurationTest, OtherSubVersionsKeepTable2)
{
    std::string before = Sim.Ok("table 2");
    TWindowChanges c;
    ASSERT_EQ(1, Configure(105, 0x42, c));
    EXPECT_EQ("82 12", Sim.Ok("transcript"));
    EXPECT_EQ(before, Sim.Ok("table 2"));
}

TEST_F(ControllerConfigurationTest, VersionsZeroToTwoReadTheInformationBlock)
{
    Sim.Ok("info 0901070b040000000000000000000004 text");
    TWindowChanges c;
    ASSERT_EQ(1, Configure(2, 0, c));
    EXPECT_EQ("82 73", Sim.Ok("transcript"));
    EXPECT_EQ(9, Config.InfoByte0);
    EXPECT_EQ(7, Config.InfoByte2);
    EXPECT_EQ(11, Config.InfoByte3);
    EXPECT_EQ(4, Config.PeriodMultiplier);
    EXPECT_EQ("RNLogo", c.Logo);
}

TEST_F(ControllerConfigurationTest, OlderUnitsNeedNothingBeyondIdentification)
{
    TWindowChanges c;
    ASSERT_EQ(1, Configure('4', 0, c));
    EXPECT_EQ("82 68", Sim.Ok("transcript"));
    EXPECT_EQ(229, TTableKind::TpOpenRaw);
    EXPECT_EQ(26, TTableKind::TpClosedRaw);
}

TEST_F(ControllerConfigurationTest, NoControllerNoChange)
{
    Sim.Ok("fault silence");
    TWindowChanges c;
    EXPECT_EQ(0, Configure(105, 0, c));
    EXPECT_EQ(-1, Config.ControllerVersion);
    EXPECT_TRUE(c.Visible.empty());
}

}  // namespace

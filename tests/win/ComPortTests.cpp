// The controller port against the simulated controller on COM1 (COM2 leads
// nowhere). Every command, its result codes and the replies a real unit
// can give: whole, short, late, garbage or none.
#include "ComPort.h"
#include "SimulatorControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// GetTickCount can lag under Wine when the machine is busy; this cannot.
double NowMs()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Sim.Available()) << "no simulator on COM1 (GANTREL_SIM_COM1)";
        Sim.Ok("replug");
        Sim.Ok("fault none");
        Sim.Ok("live free");
        Sim.Ok("version 105");
        Sim.Ok("flags 65");
        Sim.Ok("pace off");
        ASSERT_EQ(2400, Port.Open("com1"));
        Sim.Ok("clear");
    }

    std::string Transcript() { return Sim.Ok("transcript"); }
    std::vector<uint8_t> SimTable(int n)
    {
        std::string bytes = FromHex(Sim.Ok("table " + std::to_string(n)));
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }

    TSimulator Sim{"COM1"};
    TComPort Port;
};

TEST(ComPortClosedTest, APortThatLeadsNowhereDoesNotOpen)
{
    TComPort port;
    EXPECT_EQ(0, port.Open("com2"));
    EXPECT_FALSE(port.IsOpen());
    uint8_t byte = 'R';
    EXPECT_EQ(0, port.Write(1, &byte));
    EXPECT_EQ(0, port.Read(1, &byte));
    uint8_t flags = 0;
    EXPECT_LT(port.GetVersion(flags), 0);
    EXPECT_EQ(0, port.Open("com99"));
    EXPECT_FALSE(port.IsOpen());
    port.Close();  // closing a closed port does nothing
}

TEST_F(ComPortTest, IdentifiesAUnitThatAnswersR)
{
    uint8_t flags = 0;
    EXPECT_EQ(105, Port.GetVersion(flags));
    EXPECT_EQ(65, flags);
    EXPECT_EQ("82", Transcript());
}

TEST_F(ComPortTest, OlderUnitsAreIdentifiedByD)
{
    for (int version : {int('1'), int('6'), 99}) {
        Sim.Ok("version " + std::to_string(version));
        Sim.Ok("clear");
        uint8_t flags = 0;
        EXPECT_EQ(version, Port.GetVersion(flags));
        EXPECT_EQ(1, flags);
        EXPECT_EQ("82 68", Transcript());
    }
}

TEST_F(ComPortTest, AShortRReplyFallsBackToD)
{
    Sim.Ok("fault short 15");
    uint8_t flags = 7;
    EXPECT_EQ(TComPort::NoAnswer, Port.GetVersion(flags));  // an 'R' unit says nothing to 'D'
    EXPECT_EQ(7, flags);
    EXPECT_EQ("82 68", Transcript());
}

TEST_F(ComPortTest, ASilentUnitIsNotFound)
{
    Sim.Ok("fault silence");
    uint8_t flags = 0;
    DWORD start = GetTickCount();
    EXPECT_EQ(TComPort::NoAnswer, Port.GetVersion(flags));
    DWORD took = GetTickCount() - start;
    // Two reads, each ending on its total time-out (8 ms a byte + 250 ms).
    EXPECT_GE(took, 600u);
    EXPECT_LT(took, 2000u);
}

TEST_F(ComPortTest, GarbageStillHasTheRightLength)
{
    Sim.Ok("fault garbage");
    uint8_t flags = 0;
    int version = Port.GetVersion(flags);
    EXPECT_GE(version, 0);
    EXPECT_LE(version, 255);
    EXPECT_EQ("82", Transcript());
}

TEST_F(ComPortTest, ThrottleReadingFromROrD)
{
    Sim.Ok("live r12 77");
    EXPECT_EQ(77, Port.ReadTpRaw());
    // A short 'R' reply is accepted when it holds byte 12.
    Sim.Ok("fault short 13");
    EXPECT_EQ(77, Port.ReadTpRaw());
    // Cut before it: no reading at all.
    Sim.Ok("fault short 12");
    EXPECT_EQ(TComPort::ReplyCut, Port.ReadTpRaw());
    Sim.Ok("fault none");

    Sim.Ok("version 52");
    Sim.Ok("live d9 33");
    Sim.Ok("clear");
    EXPECT_EQ(33, Port.ReadTpRaw());
    EXPECT_EQ("82 68", Transcript());
    Sim.Ok("fault short 9");
    EXPECT_EQ(TComPort::ReplyCut, Port.ReadTpRaw());
    Sim.Ok("fault silence");
    EXPECT_EQ(TComPort::NoAnswer, Port.ReadTpRaw());
}

TEST_F(ComPortTest, InformationBlockWithItsText)
{
    uint8_t header[16];
    char text[256];
    Sim.Ok("info 0501070203000000000000000000000b release 2.1");
    ASSERT_TRUE(Port.ReadInfo(header, 16, text));
    EXPECT_EQ(5, header[0]);
    EXPECT_EQ(3, header[4]);
    EXPECT_EQ(11, header[15]);
    EXPECT_STREQ("release 2.1", text);
    EXPECT_EQ("73", Transcript());

    Sim.Ok("info 05010702030000000000000000000000");  // no text at all
    EXPECT_FALSE(Port.ReadInfo(header, 16, text));
    Sim.Ok("fault silence");
    EXPECT_FALSE(Port.ReadInfo(header, 16, text));
}

TEST_F(ComPortTest, ReadsTablesAfterTheirWait)
{
    std::vector<uint8_t> table(288, 0);
    DWORD start = GetTickCount();
    EXPECT_EQ(TComPort::Ok, Port.ReadTable(3, table.data(), 288));
    EXPECT_GE(GetTickCount() - start, 240u);
    EXPECT_EQ(SimTable(3), table);
    EXPECT_EQ("3", Transcript());
}

TEST_F(ComPortTest, TableNumbersOutsideTheControllerAreRefusedBeforeAnyByte)
{
    std::vector<uint8_t> table(288, 0);
    EXPECT_EQ(TComPort::TableAbove5, Port.ReadTable(6, table.data(), 288));
    EXPECT_EQ(TComPort::TableBelow0, Port.ReadTable(-1, table.data(), 288));
    EXPECT_EQ(TComPort::TableAbove5, Port.WriteTable(6, table.data(), 288));
    EXPECT_EQ(TComPort::TableBelow0, Port.WriteTable(-1, table.data(), 288));
    EXPECT_FALSE(Port.ReadBlock(6, table.data(), 224));
    EXPECT_FALSE(Port.WriteBlock(6, table.data(), 224));
    EXPECT_EQ("", Transcript());
}

TEST_F(ComPortTest, ShortOrMissingTableRepliesAreShortReads)
{
    std::vector<uint8_t> table(288, 0);
    Sim.Ok("fault short 100");
    EXPECT_EQ(TComPort::PayloadShort, Port.ReadTable(0, table.data(), 288));
    Sim.Ok("fault cut 287");
    EXPECT_EQ(TComPort::PayloadShort, Port.ReadTable(1, table.data(), 288));
    Sim.Ok("fault silence");
    EXPECT_EQ(TComPort::PayloadShort, Port.ReadTable(2, table.data(), 288));
}

TEST_F(ComPortTest, WritesTablesAndReadsThemBack)
{
    std::vector<uint8_t> sent(288), back(288, 0);
    for (int i = 0; i < 288; ++i) sent[i] = uint8_t(i * 7);
    EXPECT_EQ(TComPort::Ok, Port.WriteTable(5, sent.data(), 288));
    EXPECT_EQ(TComPort::Ok, Port.ReadTable(5, back.data(), 288));
    EXPECT_EQ(sent, back);
    EXPECT_EQ(sent, SimTable(5));
    EXPECT_EQ("11:288 5", Transcript());
}

TEST_F(ComPortTest, BlocksReadAndWrite)
{
    std::vector<uint8_t> block(224, 0);
    ASSERT_TRUE(Port.ReadBlock(0, block.data(), 224));
    block[7] = 2;
    block[200] = 99;
    ASSERT_TRUE(Port.WriteBlock(3, block.data(), 224));
    std::vector<uint8_t> back(224, 0);
    ASSERT_TRUE(Port.ReadBlock(3, back.data(), 224));
    EXPECT_EQ(block, back);
    EXPECT_EQ("12 21:224 15", Transcript());
    Sim.Ok("fault short 223");
    EXPECT_FALSE(Port.ReadBlock(1, back.data(), 224));
    Sim.Ok("fault silence");
    EXPECT_FALSE(Port.ReadBlock(1, back.data(), 224));
}

// A write is done once its bytes have left, never when they are only queued:
// the purge that starts the next command must find nothing of it to discard.
TEST_F(ComPortTest, AWriteReturnsOnceItsBytesHaveLeft)
{
    std::vector<uint8_t> block(224);
    for (int i = 0; i < 224; ++i) block[i] = uint8_t(255 - i);
    const double byteMs = 10.0 * 1000.0 / 2400.0;
    double start = NowMs();
    ASSERT_TRUE(Port.WriteBlock(2, block.data(), 224));
    double took = NowMs() - start;
    // Nothing more to wait for: the controller has the whole block already.
    EXPECT_EQ("20:224", Transcript());
    std::string stored = FromHex(Sim.Ok("block 2"));
    EXPECT_EQ(std::string(block.begin(), block.end()), stored);
    // The command byte and the block take their wire time at 2400 baud.
    EXPECT_GE(took, 225 * byteMs);
    EXPECT_LT(took, 225 * byteMs + 1000);
}

TEST_F(ComPortTest, WritesFollowedAtOnceByTheNextCommandArriveWhole)
{
    std::vector<uint8_t> sent(288), back(288);
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 288; ++i) sent[i] = uint8_t(i * 13 + round);
        ASSERT_EQ(TComPort::Ok, Port.WriteTable(1, sent.data(), 288));
        ASSERT_TRUE(Port.WriteBlock(4, sent.data(), 224));
        ASSERT_TRUE(Port.ReadBlock(4, back.data(), 224));
        EXPECT_TRUE(std::equal(sent.begin(), sent.begin() + 224, back.begin()));
        ASSERT_EQ(TComPort::Ok, Port.ReadTable(1, back.data(), 288));
        EXPECT_EQ(sent, back);
    }
    EXPECT_EQ("7:288 22:224 16 1 7:288 22:224 16 1 7:288 22:224 16 1", Transcript());
}

// A driver whose output queue does not empty within the write time-outs:
// the bytes it still holds did not go, and the command fails.
class TQueueingPort : public TComPort {
public:
    // What the driver reports on each query; the last entry stays.
    std::vector<int> Queue;
    int Queries = 0;

protected:
    int BytesQueued() override
    {
        int i = std::min<int>(Queries++, int(Queue.size()) - 1);
        return i < 0 ? 0 : Queue[i];
    }
};

TEST(ComPortQueueTest, BytesThatStayQueuedAreAFailedWrite)
{
    TSimulator sim("COM1");
    ASSERT_TRUE(sim.Available());
    sim.Ok("replug");
    sim.Ok("fault none");
    sim.Ok("pace off");
    TQueueingPort port;
    ASSERT_EQ(2400, port.Open("com1"));
    std::vector<uint8_t> table(288, 0x5A);

    // The command byte leaves; ten bytes of the block never do.
    port.Queue = {0, 10};
    double start = NowMs();
    EXPECT_FALSE(port.WriteBlock(3, table.data(), 224));
    double took = NowMs() - start;
    // It waited as long as the write time-outs give 224 bytes, and no longer.
    EXPECT_GE(took, 8 * 224 + 250);
    EXPECT_LT(took, 8 * 224 + 250 + 1500);

    port.Queries = 0;
    port.Queue = {0, 300};  // more than the write: only the write's own bytes count
    EXPECT_EQ(TComPort::PayloadShort, port.WriteTable(2, table.data(), 288));
    port.Queries = 0;
    port.Queue = {1};
    uint8_t byte = 7;
    EXPECT_EQ(0, port.Write(1, &byte));

    // A queue that empties in time is a whole write.
    port.Queries = 0;
    port.Queue = {0, 200, 150, 100, 50, 0};
    EXPECT_TRUE(port.WriteBlock(3, table.data(), 224));
}

TEST_F(ComPortTest, APortThatDisappearsFailsEveryCommandUntilItIsBack)
{
    Sim.Ok("unplug");
    uint8_t flags = 0;
    EXPECT_LT(Port.GetVersion(flags), 0);
    std::vector<uint8_t> table(288, 0);
    EXPECT_LT(Port.ReadTable(0, table.data(), 288), 0);
    Port.Close();
    EXPECT_EQ(0, Port.Open("com1"));
    Sim.Ok("replug");
    ASSERT_EQ(2400, Port.Open("com1"));
    EXPECT_EQ(105, Port.GetVersion(flags));
}

}  // namespace

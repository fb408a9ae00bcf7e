// Conversions of the table kinds: pack and display formulas, live values,
// texts, and the grid <-> byte table packing.
#include "TableKind.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// Restores the program-wide calibration and layout after each test.
class TableKindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TTableKind::TpClosedRaw = 0;
        TTableKind::TpOpenRaw = 255;
        TTableKind::RpmDivisor = 2;
        TTableKind::OutputDivisor = 1;
        TTableKind::Layout = TMapLayout();
    }
    void TearDown() override { SetUp(); }

    // A grid with the given RPM breakpoints in column 0 and one value per row
    // in column 1 (other columns empty).
    static TMemoryCells Grid(const std::vector<int>& rpm, const std::vector<int>& column1)
    {
        TMemoryCells grid;
        for (size_t r = 0; r < rpm.size(); ++r) {
            grid.SetCell(0, int(r) + 1, std::to_string(rpm[r]));
            if (r < column1.size()) grid.SetCell(1, int(r) + 1, std::to_string(column1[r]));
        }
        TTableKind::Layout.Rows = int(rpm.size());
        return grid;
    }

    TTableKinds Kinds;
};

// Display value of one byte through BytesToGrid, with a breakpoint on cell 31.
int ShowByte(const TTableKind& kind, uint8_t b)
{
    std::vector<uint8_t> table(TTableKind::TableSize(), 128);
    table[31] = b;
    TMemoryCells grid;
    grid.SetCell(0, 1, "500");
    TTableKind::Layout.Rows = 1;
    kind.BytesToGrid(table.data(), grid, 500);
    return CellValue(grid.GetCell(1, 1));
}

// Packed byte of one value through GridToBytes (two rows of the same value).
int PackValue(const TTableKind& kind, int v)
{
    std::vector<uint8_t> table(TTableKind::TableSize(), 0);
    TMemoryCells grid;
    grid.SetCell(0, 1, "500");
    grid.SetCell(0, 2, "1000");
    grid.SetCell(1, 1, std::to_string(v));
    grid.SetCell(1, 2, std::to_string(v));
    TTableKind::Layout.Rows = 2;
    kind.GridToBytes(table.data(), grid, 500);
    return table[31];
}

TEST_F(TableKindTest, PackFormulasPerKind)
{
    // Hand-worked values: positive and negative, and zero as "no change".
    EXPECT_EQ(154, PackValue(Kinds.Aap, 10));  // 25.6 + 0.5 -> 26
    EXPECT_EQ(102, PackValue(Kinds.Aap, -10));
    EXPECT_EQ(179, PackValue(Kinds.Tp, 10));   // 10 x 127 / 25 = 50.8
    EXPECT_EQ(76, PackValue(Kinds.Tp, -10));   // 128 + floor(-50.8 - 0.5)
    EXPECT_EQ(230, PackValue(Kinds.Mp, 100));  // 101.6 -> 102
    EXPECT_EQ(185, PackValue(Kinds.Ignition, 5));
    EXPECT_EQ(70, PackValue(Kinds.Ignition, -5));
    EXPECT_EQ(151, PackValue(Kinds.At, 20));   // 23.2 -> 23
    EXPECT_EQ(154, PackValue(Kinds.Fuel, 10));
    EXPECT_EQ(185, PackValue(Kinds.IgnitionB[0], 10));
    EXPECT_EQ(138, PackValue(Kinds.FuelB[0], 10));
    for (TTableKind* kind : std::vector<TTableKind*>{&Kinds.Aap, &Kinds.Tp, &Kinds.Mp, &Kinds.Ignition,
                                                     &Kinds.At, &Kinds.Fuel, &Kinds.IgnitionB[1],
                                                     &Kinds.FuelB[2]})
        EXPECT_EQ(128, PackValue(*kind, 0));
}

TEST_F(TableKindTest, NegativeValuesPackOneStepLowerWhere128IsInsideTheTruncation)
{
    // Ignition: trunc(-11.38 - 0.5 + 128) = 116, where AAP-style rounding gives 117.
    EXPECT_EQ(116, PackValue(Kinds.Ignition, -1));
    EXPECT_EQ(-1, ShowByte(Kinds.Ignition, 116));
}

TEST_F(TableKindTest, DisplayFormulasPerKind)
{
    EXPECT_EQ(10, ShowByte(Kinds.Aap, 154));
    EXPECT_EQ(-10, ShowByte(Kinds.Aap, 102));
    EXPECT_EQ(0, ShowByte(Kinds.Aap, 128));
    EXPECT_EQ(10, ShowByte(Kinds.Tp, 179));
    EXPECT_EQ(100, ShowByte(Kinds.Mp, 230));
    EXPECT_EQ(125, ShowByte(Kinds.Mp, 255));
    EXPECT_EQ(5, ShowByte(Kinds.Ignition, 185));
    EXPECT_EQ(20, ShowByte(Kinds.At, 151));
    EXPECT_EQ(10, ShowByte(Kinds.Fuel, 154));
    EXPECT_EQ(10, ShowByte(Kinds.IgnitionB[0], 185));
    EXPECT_EQ(10, ShowByte(Kinds.FuelB[0], 138));
    EXPECT_EQ(-128, ShowByte(Kinds.FuelB[0], 0));
}

TEST_F(TableKindTest, EveryValueWithinTheLimitsSurvivesPackAndDisplay)
{
    struct Range {
        TTableKind* Kind;
        int Min, Max;
    };
    const Range ranges[] = {
        {&Kinds.Aap, -35, 35},   {&Kinds.Tp, -25, 25},       {&Kinds.Mp, -125, 125},
        {&Kinds.Ignition, -11, 11}, {&Kinds.At, -40, 40},    {&Kinds.Fuel, -45, 45},
        {&Kinds.IgnitionB[0], -22, 22}, {&Kinds.FuelB[0], -100, 100},
    };
    for (const Range& range : ranges)
        for (int v = range.Min; v <= range.Max; ++v)
            EXPECT_EQ(v, ShowByte(*range.Kind, uint8_t(PackValue(*range.Kind, v)))) << range.Kind->Text(0, 6) << " " << v;
}

TEST_F(TableKindTest, DisplayOfPerKind)
{
    EXPECT_EQ(10, Kinds.Aap.DisplayOf(26));
    EXPECT_EQ(-10, Kinds.Aap.DisplayOf(-26));
    EXPECT_EQ(10, Kinds.Tp.DisplayOf(51));
    EXPECT_EQ(100, Kinds.Mp.DisplayOf(102));    // (102 + 0.5) x 125 / 127
    EXPECT_EQ(-100, Kinds.Mp.DisplayOf(-102));
    EXPECT_EQ(5, Kinds.Ignition.DisplayOf(57));
    EXPECT_EQ(20, Kinds.At.DisplayOf(23));
    EXPECT_EQ(10, Kinds.Fuel.DisplayOf(154));   // works on the raw byte
    EXPECT_EQ(-10, Kinds.Fuel.DisplayOf(102));
    EXPECT_EQ(10, Kinds.IgnitionB[0].DisplayOf(57));
    EXPECT_EQ(10, Kinds.FuelB[0].DisplayOf(138));
}

TEST_F(TableKindTest, ThrottleScaleFollowsTheCalibration)
{
    EXPECT_EQ(25, TTableKind::TpScale());  // 6375 / 255
    TTableKind::TpOpenRaw = 229;
    TTableKind::TpClosedRaw = 26;
    EXPECT_EQ(31, TTableKind::TpScale());  // 6375 / 203, integer division
    TTableKind::TpOpenRaw = 26;
    EXPECT_EQ(25, TTableKind::TpScale());  // equal readings
    EXPECT_EQ(537, Kinds.Tp.LiveTp(100));
    EXPECT_EQ(537, Kinds.Tp.LiveByte(100, 140));
    // A span of one raw step makes the scale too large for the pack: it
    // divides by 1 when the scale reads 0 only, so 6375 stays 6375.
    TTableKind::TpOpenRaw = 27;
    EXPECT_EQ(6375, TTableKind::TpScale());
}

TEST_F(TableKindTest, TpKindResetsTheCalibrationWhenConstructed)
{
    TTableKind::TpOpenRaw = 200;
    TTableKind::TpClosedRaw = 20;
    TTpKind tp;
    EXPECT_EQ(0, TTableKind::TpClosedRaw);
    EXPECT_EQ(255, TTableKind::TpOpenRaw);
}

TEST_F(TableKindTest, LiveConversions)
{
    EXPECT_DOUBLE_EQ(100.0, Kinds.Tp.LiveTp(255));
    EXPECT_DOUBLE_EQ(0.0, Kinds.Tp.LiveTp(0));
    EXPECT_DOUBLE_EQ(100.0 * 100 / 255 + 10.0 * 50 / 255, Kinds.Tp.LiveByte(100, 138));
    EXPECT_DOUBLE_EQ(3.90625, Kinds.Aap.LiveByte(0, 138));
    EXPECT_NEAR(9.842519371, Kinds.Mp.LiveByte(0, 138), 1e-9);
    EXPECT_DOUBLE_EQ(10.0 / 128 * 11.25, Kinds.Ignition.LiveByte(0, 138));
    EXPECT_DOUBLE_EQ(10.0 * 25 / 29, Kinds.At.LiveByte(0, 138));
    EXPECT_DOUBLE_EQ(0.0, Kinds.IgnitionB[0].LiveByte(0, 128));
    EXPECT_DOUBLE_EQ(10.0 / 128 * 22.5 + 0.5, Kinds.IgnitionB[0].LiveByte(0, 138));
    EXPECT_DOUBLE_EQ(-10.0 / 128 * 22.5 - 0.5, Kinds.IgnitionB[0].LiveByte(0, 118));
    EXPECT_DOUBLE_EQ(4.40625, Kinds.Fuel.LivePair(0, 138));
    EXPECT_DOUBLE_EQ(-4.40625, Kinds.Fuel.LivePair(0, 118));
    EXPECT_DOUBLE_EQ(0.5, Kinds.Fuel.LivePair(0, 128));
    EXPECT_DOUBLE_EQ(10.0, Kinds.FuelB[0].LivePair(0, 138));
    // The rate divides in whole numbers.
    TTableKind::OutputDivisor = 3;
    EXPECT_DOUBLE_EQ(33.0, Kinds.Fuel.LiveRate(1, 0));
    EXPECT_DOUBLE_EQ((2 * 100 + 3 * 25600) / 3, Kinds.FuelB[0].LiveRate(2, 3));
    TTableKind::OutputDivisor = 0;
    EXPECT_DOUBLE_EQ(537.0, Kinds.Fuel.LiveRate(1, 1));
    // Kinds without a conversion keep the base's 1.0.
    EXPECT_DOUBLE_EQ(1.0, Kinds.Aap.LivePair(1, 2));
    EXPECT_DOUBLE_EQ(1.0, Kinds.Fuel.LiveByte(1, 2));
    EXPECT_DOUBLE_EQ(1.0, Kinds.Mp.LiveTp(1));
}

TEST_F(TableKindTest, EngineSpeedFromPeriod)
{
    EXPECT_DOUBLE_EQ(537.0, TTableKind::RpmFromPeriod(0));
    EXPECT_DOUBLE_EQ(7500.0, TTableKind::RpmFromPeriod(1000));  // divisor 2 at start
    TTableKind::RpmDivisor = 1;
    EXPECT_DOUBLE_EQ(15000.0, TTableKind::RpmFromPeriod(1000));
    EXPECT_DOUBLE_EQ(250000.0 / 3 * 60, TTableKind::RpmFromPeriod(3));
}

TEST_F(TableKindTest, TextsOfEachKind)
{
    EXPECT_EQ("Sending AAP table to controller", Kinds.Aap.Text(0, 0));
    EXPECT_EQ("Verifying TP Table", Kinds.Tp.Text(0, 1));
    EXPECT_EQ("Retrieving Fuel Table", Kinds.Fuel.Text(0, 2));
    EXPECT_EQ("Retrieve Fuel Table Failed.  Check Gantrel and Retry.", Kinds.FuelB[1].Text(0, 3));
    EXPECT_EQ("Fuel Table Retrieved Successfully", Kinds.Fuel.Text(0, 4));
    EXPECT_EQ("&MP Table", Kinds.Mp.Text(0, 5));
    EXPECT_EQ("A&T Table", Kinds.At.Text(0, 5));
    EXPECT_EQ("&Ignition Table", Kinds.IgnitionB[2].Text(0, 5));
    EXPECT_EQ("Ignition Table", Kinds.Ignition.Text(0, 6));
    EXPECT_EQ("", Kinds.Aap.Text(0, 7));
    EXPECT_EQ("", Kinds.Aap.Text(0, 10));
    EXPECT_EQ("Unknown String", Kinds.Aap.Text(0, 11));
    EXPECT_EQ("Unknown String", Kinds.Aap.Text(0, -1));
    EXPECT_EQ("Base", TTableKind().Text(0, 0));
    // Another language: the same message under its own base.
    std::string german = Kinds.Fuel.Text(2000, 5);
    EXPECT_FALSE(german.empty());
    EXPECT_NE(Kinds.Fuel.Text(0, 5), german);
}

TEST_F(TableKindTest, FirstTwoBreakpointsPackTheLowestCells)
{
    // 500 and 1000 at step 500 are cells 31 and 30; cell 31 is set to 128
    // first, then overwritten by the interpolation.
    TMemoryCells grid = Grid({500, 1000, 1500}, {10, 20, 30});
    std::vector<uint8_t> table(TTableKind::TableSize(), 7);
    EXPECT_EQ(1, Kinds.FuelB[0].GridToBytes(table.data(), grid, 500));
    EXPECT_EQ(138, table[31]);
    EXPECT_EQ(148, table[30]);
    EXPECT_EQ(158, table[29]);
    for (int i = 0; i <= 28; ++i) EXPECT_EQ(158, table[i]) << i;  // above the last row
    for (int c = 1; c < 9; ++c) {
        EXPECT_EQ(128, table[c * 32 + 31]);
        EXPECT_EQ(128, table[c * 32 + 0]);
    }
}

TEST_F(TableKindTest, InterpolationRoundsHalfAwayFromZero)
{
    TMemoryCells grid = Grid({500, 2500}, {10, 20});
    std::vector<uint8_t> table(TTableKind::TableSize(), 0);
    Kinds.FuelB[0].GridToBytes(table.data(), grid, 500);
    EXPECT_EQ(138, table[31]);
    EXPECT_EQ(141, table[30]);  // 140.5
    EXPECT_EQ(143, table[29]);
    EXPECT_EQ(146, table[28]);  // 145.5
    EXPECT_EQ(148, table[27]);
    EXPECT_EQ(148, table[0]);
}

TEST_F(TableKindTest, CellsBelowTheFirstBreakpointAreNotWritten)
{
    TMemoryCells grid = Grid({2000, 3000}, {10, 20});
    std::vector<uint8_t> table(TTableKind::TableSize(), 7);
    Kinds.FuelB[0].GridToBytes(table.data(), grid, 500);
    EXPECT_EQ(128, table[31]);
    EXPECT_EQ(7, table[30]);  // between the first row's cell (28) and 31
    EXPECT_EQ(138, table[28]);
    EXPECT_EQ(148, table[26]);
}

TEST_F(TableKindTest, BreakpointBeyondTheTableEndsTheColumn)
{
    // 16500 lies beyond 32 x 500: the column stops at 15000 (cell 2) and the
    // cells above it take that row's value.
    TMemoryCells grid = Grid({14000, 15000, 16500}, {10, 20, 30});
    std::vector<uint8_t> table(TTableKind::TableSize(), 7);
    Kinds.FuelB[0].GridToBytes(table.data(), grid, 500);
    EXPECT_EQ(138, table[4]);
    EXPECT_EQ(148, table[2]);
    EXPECT_EQ(148, table[1]);
    EXPECT_EQ(148, table[0]);
}

TEST_F(TableKindTest, QuarterStepTableUsesItsOwnIndexes)
{
    TMemoryCells grid = Grid({250, 500}, {5, 6});
    std::vector<uint8_t> table(TTableKind::TableSize(), 0);
    Kinds.FuelB[0].GridToBytes(table.data(), grid, 250);
    EXPECT_EQ(133, table[31]);  // (8000 - 250) / 250
    EXPECT_EQ(134, table[30]);
}

TEST_F(TableKindTest, BytesToGridShowsZeroOutsideTheTable)
{
    std::vector<uint8_t> table(TTableKind::TableSize(), 150);
    TMemoryCells grid = Grid({0, 500, 17000}, {});
    Kinds.FuelB[0].BytesToGrid(table.data(), grid, 500);
    EXPECT_EQ("0", grid.GetCell(1, 1));   // index 32
    EXPECT_EQ("22", grid.GetCell(1, 2));
    EXPECT_EQ("0", grid.GetCell(9, 3));   // index -2
    EXPECT_EQ("22", grid.GetCell(9, 2));
}

TEST_F(TableKindTest, WholeTableRoundTripThroughTheGrid)
{
    // Breakpoints on every cell: every value comes back.
    std::vector<int> rpm, values;
    for (int i = 0; i < 32; ++i) {
        rpm.push_back(500 + 500 * i);
        values.push_back((i * 7) % 45 - 22);
    }
    TMemoryCells grid = Grid(rpm, values);
    for (int r = 1; r <= 32; ++r)
        for (int c = 2; c <= 9; ++c) grid.SetCell(c, r, std::to_string((r * c) % 21 - 10));
    std::vector<uint8_t> table(TTableKind::TableSize(), 0);
    Kinds.IgnitionB[0].GridToBytes(table.data(), grid, 500);
    TMemoryCells back;
    for (int r = 1; r <= 32; ++r) back.SetCell(0, r, grid.GetCell(0, r));
    Kinds.IgnitionB[0].BytesToGrid(table.data(), back, 500);
    for (int r = 1; r <= 32; ++r)
        for (int c = 1; c <= 9; ++c) EXPECT_EQ(CellValue(grid.GetCell(c, r)), CellValue(back.GetCell(c, r))) << c << "," << r;
}

TEST_F(TableKindTest, HostileBreakpointsNeverWriteOutsideTheTable)
{
    // Descending, negative, huge and unreadable breakpoints: the packing
    // must stay inside its 288 bytes (the sanitizers watch the vector).
    const std::vector<std::vector<std::string>> cases = {
        {"16000", "-100000"}, {"-50000", "500"},      {"2147483647", "-2147483648"},
        {"0", "0"},           {"-2147483648", "500"}, {"abc", "-1"},
        {"500", "99999999999"},
    };
    for (const auto& rows : cases) {
        TMemoryCells grid;
        for (size_t r = 0; r < rows.size(); ++r) {
            grid.SetCell(0, int(r) + 1, rows[r]);
            for (int c = 1; c <= 9; ++c) grid.SetCell(c, int(r) + 1, "2147483647");
        }
        TTableKind::Layout.Rows = int(rows.size());
        // Guard bytes on both sides catch a write outside the table on every
        // platform, sanitizers or not.
        const int guard = 400;
        std::vector<uint8_t> memory(guard + TTableKind::TableSize() + guard, 0xA5);
        uint8_t* table = memory.data() + guard;
        for (int step : {250, 500}) {
            Kinds.Tp.GridToBytes(table, grid, step);
            Kinds.Fuel.GridToBytes(table, grid, step);
            Kinds.FuelB[0].GridToBytes(table, grid, step);
            Kinds.Tp.BytesToGrid(table, grid, step);
        }
        for (int i = 0; i < guard; ++i) {
            ASSERT_EQ(0xA5, memory[size_t(i)]) << "before the table, breakpoints " << rows[0] << "," << rows[1];
            ASSERT_EQ(0xA5, memory[memory.size() - 1 - size_t(i)]) << "after the table, breakpoints " << rows[0] << "," << rows[1];
        }
    }
}

TEST_F(TableKindTest, BreakpointZeroSpillsIntoTheNextColumnsLowestCell)
{
    // Index 32 lies one past the column: the first value lands in cell 0 of
    // the next column, which that column's own fill then covers again.
    TMemoryCells grid = Grid({0, 500}, {10, 20});
    grid.SetCell(2, 1, "1");
    grid.SetCell(2, 2, "2");
    std::vector<uint8_t> table(TTableKind::TableSize(), 7);
    Kinds.FuelB[0].GridToBytes(table.data(), grid, 500);
    EXPECT_EQ(148, table[31]);         // row 2 at cell 31 of column 0
    EXPECT_EQ(130, table[32 + 0]);     // column 1's fill, not column 0's spill
    EXPECT_EQ(130, table[32 + 31]);
    EXPECT_EQ(148, table[0]);
}

// A single value packed by a kind, as the cylinder trims write theirs:
// 0 is "no change", and the fuel kinds' live reading gives the value back.
TEST_F(TableKindTest, PackValueIsTheInverseOfTheFuelKindsLiveReading)
{
    EXPECT_EQ(128, Kinds.Fuel.PackValue(0));
    EXPECT_EQ(128, Kinds.FuelB[0].PackValue(0));
    // trunc(v x 2.56 +- 0.5) + 128 and v + 128.
    EXPECT_EQ(136, Kinds.Fuel.PackValue(3));
    EXPECT_EQ(115, Kinds.Fuel.PackValue(-5));
    EXPECT_EQ(138, Kinds.FuelB[0].PackValue(10));
    EXPECT_EQ(0, Kinds.FuelB[0].PackValue(-128));
    for (int v = -49; v <= 49; ++v) {
        int b = Kinds.Fuel.PackValue(v);
        ASSERT_GE(b, 0);
        ASSERT_LE(b, 255);
        EXPECT_EQ(v, int(Kinds.Fuel.LivePair(uint8_t(b), uint8_t(b)))) << v;
    }
    for (int v = -128; v <= 127; ++v) {
        int b = Kinds.FuelB[0].PackValue(v);
        EXPECT_EQ(v, int(Kinds.FuelB[0].LivePair(uint8_t(b), uint8_t(b)))) << v;
    }
    // Beyond the byte: the caller sees it and refuses.
    EXPECT_GT(Kinds.Fuel.PackValue(50), 255);
    EXPECT_GT(Kinds.FuelB[0].PackValue(128), 255);
}

TEST(CellValueTest, ReadsWholeNumbersOnly)
{
    EXPECT_EQ(0, CellValue(""));
    EXPECT_EQ(-12, CellValue(" -12 "));
    EXPECT_EQ(7, CellValue("+7"));
    EXPECT_EQ(0, CellValue("12a"));
    EXPECT_EQ(0, CellValue("--"));
    EXPECT_EQ(INT_MAX, CellValue("99999999999"));
    EXPECT_EQ(INT_MIN, CellValue("-99999999999"));
    int v = 5;
    EXPECT_FALSE(ReadCellValue("1.5", v));
    EXPECT_TRUE(ReadCellValue("", v));
    EXPECT_EQ(0, v);
}

}  // namespace

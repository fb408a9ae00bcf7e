// Map files: reading, writing back byte for byte, the preview, and files
// that are malformed in every way the header allows.
#include "MapFile.h"
#include "TableKind.h"
#include "TableSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#define MakeDirectory(p) _mkdir(p)
#else
#include <sys/stat.h>
#include <unistd.h>
#define MakeDirectory(p) mkdir(p, 0700)
#endif

namespace {

// A map file assembled word by word from the format's description.
struct TMapBuilder {
    int Format = 201, Rows = 13, Columns = 10, Tables = 4;
    int Word4 = 12, Word5 = 1, O2 = 12;
    uint32_t Fractions = 0x04030201;
    int Word8 = 88, Word9 = 99, Code = 1001;
    std::string Notes = "Dyno run 3\r\nsecond line";

    static int CellValue(int t, int r, int c) { return (t + 1) * 1000 + r * 20 + c - 40; }

    std::vector<uint8_t> Bytes() const
    {
        std::vector<int32_t> w = {Format, Tables, Rows, Columns, Word4, Word5, O2, int32_t(Fractions),
                                  Word8, Word9, Code, int32_t(Notes.size()), 0};
        w[12] = 4 * (13 + Columns + Rows * (1 + Tables * Columns));
        for (int c = 0; c < Columns; ++c) w.push_back(c * 10);
        for (int r = 0; r < Rows; ++r) {
            w.push_back(500 + 500 * r);
            for (int t = 0; t < Tables; ++t)
                for (int c = 0; c < Columns; ++c) w.push_back(CellValue(t, r, c));
        }
        std::vector<uint8_t> bytes;
        for (int32_t v : w)
            for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        bytes.insert(bytes.end(), Notes.begin(), Notes.end());
        return bytes;
    }
};

std::string TempPath(const std::string& name)
{
    return std::string(::testing::TempDir()) + "gantrel_" + name;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void SetWord(std::vector<uint8_t>& b, int word, int32_t v)
{
    for (int i = 0; i < 4; ++i) b.at(size_t(4 * word + i)) = uint8_t(uint32_t(v) >> (8 * i));
}

// Word index of cell (r, c) of table t (0-based) in the builder's file.
int CellWord(const TMapBuilder& m, int t, int r, int c)
{
    return 13 + m.Columns + r * (1 + m.Tables * m.Columns) + 1 + t * m.Columns + c;
}

int32_t WordAt(const std::vector<uint8_t>& b, int i)
{
    return int32_t(uint32_t(b[4 * i]) | uint32_t(b[4 * i + 1]) << 8 | uint32_t(b[4 * i + 2]) << 16 |
                   uint32_t(b[4 * i + 3]) << 24);
}

class MapFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TTableKind::Layout = TMapLayout();
        Kinds[0] = &Owned.Aap;
        Kinds[1] = &Owned.Tp;
        Kinds[2] = &Owned.Mp;
        Kinds[3] = &Owned.Ignition;
        for (int k = 0; k < 4; ++k) {
            Set[k].Kind = Kinds[k];
            Kinds[k]->BlockNumber = k + 1;
        }
        Set.Count = 4;
    }
    void TearDown() override
    {
        for (const std::string& p : Paths) std::remove(p.c_str());
    }
    std::string Path(const std::string& name)
    {
        Paths.push_back(TempPath(name));
        return Paths.back();
    }
    // The loader's sequence: every entry in order, notes with the first.
    int LoadAll(const std::string& path, TMapHeader& header)
    {
        int read = 0;
        for (int k = 0; k < Set.Count; ++k) read += Kinds[k]->ReadMapFile(path, header, k == 0);
        return read;
    }

    TTableKinds Owned;
    TTableKind* Kinds[4];
    TTableSet Set;
    std::vector<std::string> Paths;
};

TEST_F(MapFileTest, ReadsHeaderBreakpointsCellsAndNotes)
{
    TMapBuilder map;
    std::string path = Path("read.map");
    WriteBytes(path, map.Bytes());

    TMapHeader header;
    EXPECT_EQ(1001, Kinds[0]->ReadMapHeader(path, header));
    EXPECT_EQ(201, header.Format);
    EXPECT_EQ(4, LoadAll(path, header));
    EXPECT_EQ(13, TTableKind::Layout.Rows);
    EXPECT_EQ(10, TTableKind::Layout.Columns);
    EXPECT_EQ(0x04030201, header.TpFractions);
    int32_t rows[13], columns[10];
    Kinds[2]->GetBreakpoints(rows, columns);
    EXPECT_EQ(500, rows[0]);
    EXPECT_EQ(6500, rows[12]);
    EXPECT_EQ(90, columns[9]);
    for (int t = 0; t < 4; ++t)
        for (int r = 0; r < 13; ++r)
            for (int c = 0; c < 10; ++c) ASSERT_EQ(TMapBuilder::CellValue(t, r, c), Kinds[t]->Cell(r, c));
    EXPECT_EQ(map.Notes, Kinds[0]->Notes);
    EXPECT_TRUE(Kinds[1]->Notes.empty());
}

TEST_F(MapFileTest, SavingAfterLoadingWritesTheSameBytes)
{
    TMapBuilder map;
    std::string in = Path("same_in.map"), out = Path("same_out.map");
    std::vector<uint8_t> original = map.Bytes();
    WriteBytes(in, original);
    TMapHeader header;
    ASSERT_EQ(4, LoadAll(in, header));
    WriteBytes(out, std::vector<uint8_t>(5000, 0xAA));  // an older, longer file in the way
    ASSERT_TRUE(WriteMapFile(out, header, Set, 12, Kinds[0]->Notes));
    std::vector<uint8_t> saved = ReadBytes(out);
    EXPECT_EQ(original, saved);
    // Its length is the header's arithmetic.
    EXPECT_EQ(52u + 4 * (10 + 13 * (1 + 4 * 10)) + map.Notes.size(), saved.size());
    EXPECT_EQ(int32_t(saved.size() - map.Notes.size()), WordAt(saved, 12));
}

TEST_F(MapFileTest, SavingRewritesOnlyTheWordsItOwns)
{
    TMapBuilder map;
    map.Word4 = 77;
    map.Word5 = -5;
    map.Tables = 4;
    std::string in = Path("owns_in.map"), out = Path("owns_out.map");
    std::vector<uint8_t> original = map.Bytes();
    WriteBytes(in, original);
    TMapHeader header;
    ASSERT_EQ(4, LoadAll(in, header));
    Set.Count = 2;  // a file set of two tables
    ASSERT_TRUE(WriteMapFile(out, header, Set, -5, "notes\0hidden"));
    std::vector<uint8_t> saved = ReadBytes(out);
    for (int w : {0, 2, 3, 7, 8, 9, 10}) EXPECT_EQ(WordAt(original, w), WordAt(saved, w)) << "word " << w;
    EXPECT_EQ(2, WordAt(saved, 1));
    EXPECT_EQ(12, WordAt(saved, 4));
    EXPECT_EQ(1, WordAt(saved, 5));
    EXPECT_EQ(-5, WordAt(saved, 6));  // the O2 byte, sign-extended
    EXPECT_EQ(5, WordAt(saved, 11));  // notes end at their first zero byte
    EXPECT_EQ(4 * (13 + 10 + 13 * (1 + 2 * 10)), WordAt(saved, 12));
    EXPECT_EQ(size_t(WordAt(saved, 12)) + 5, saved.size());
    EXPECT_EQ("notes", std::string(saved.end() - 5, saved.end()));
}

TEST_F(MapFileTest, NoNotesWritesNoNotesBytesAndShowsNoPreview)
{
    TMapBuilder map;
    map.Notes.clear();
    std::string in = Path("nonotes.map"), out = Path("nonotes_out.map");
    WriteBytes(in, map.Bytes());
    TMapHeader header;
    Kinds[0]->Notes = "left over from the last file";
    ASSERT_EQ(4, LoadAll(in, header));
    EXPECT_TRUE(Kinds[0]->Notes.empty());
    ASSERT_TRUE(WriteMapFile(out, header, Set, 0, Kinds[0]->Notes));
    std::vector<uint8_t> saved = ReadBytes(out);
    EXPECT_EQ(0, WordAt(saved, 11));
    EXPECT_EQ(size_t(WordAt(saved, 12)), saved.size());
    std::string notes = "x";
    EXPECT_FALSE(ReadMapPreview(out, notes));
    EXPECT_TRUE(notes.empty());
}

TEST_F(MapFileTest, NotesWithAnEarlyZeroAreDroppedButTheTablesLoad)
{
    TMapBuilder map;
    map.Notes = std::string("abc\0def", 7);
    std::string path = Path("zeronotes.map");
    WriteBytes(path, map.Bytes());
    TMapHeader header;
    ASSERT_EQ(4, LoadAll(path, header));
    EXPECT_TRUE(Kinds[0]->Notes.empty());
    EXPECT_EQ(TMapBuilder::CellValue(3, 12, 9), Kinds[3]->Cell(12, 9));
}

TEST_F(MapFileTest, SameShapeKeepsTheBreakpointArraysAnotherShapeRebuildsThem)
{
    TMapBuilder first;
    std::string a = Path("shape_a.map"), b = Path("shape_b.map"), c = Path("shape_c.map");
    WriteBytes(a, first.Bytes());
    TMapHeader header;
    ASSERT_EQ(4, LoadAll(a, header));
    const int32_t* rowsBefore = TTableKind::Layout.RowBreakpoints.data();
    TMapBuilder second = first;
    second.Code = 1002;
    WriteBytes(b, second.Bytes());
    ASSERT_EQ(4, LoadAll(b, header));
    EXPECT_EQ(rowsBefore, TTableKind::Layout.RowBreakpoints.data());

    TMapBuilder other;
    other.Rows = 20;
    other.Columns = 9;
    WriteBytes(c, other.Bytes());
    ASSERT_EQ(4, LoadAll(c, header));
    EXPECT_EQ(20u, TTableKind::Layout.RowBreakpoints.size());
    EXPECT_EQ(9u, TTableKind::Layout.ColumnBreakpoints.size());
    EXPECT_EQ(10000, TTableKind::Layout.RowBreakpoints[19]);
}

TEST_F(MapFileTest, PreviewReadsTheNotesAtWord12)
{
    TMapBuilder map;
    map.Format = 203;
    std::string path = Path("preview.map");
    WriteBytes(path, map.Bytes());
    std::string notes;
    EXPECT_TRUE(ReadMapPreview(path, notes));
    EXPECT_EQ(map.Notes, notes);

    for (int format : {200, 204, 0}) {
        map.Format = format;
        WriteBytes(path, map.Bytes());
        EXPECT_FALSE(ReadMapPreview(path, notes)) << format;
        EXPECT_TRUE(notes.empty());
    }
    EXPECT_FALSE(ReadMapPreview(TempPath("does_not_exist.map"), notes));
}

TEST_F(MapFileTest, PreviewRefusesNotesOutsideTheFile)
{
    TMapBuilder map;
    std::vector<uint8_t> bytes = map.Bytes();
    std::string path = Path("preview_bad.map");
    auto patch = [&](int word, int32_t v) {
        std::vector<uint8_t> b = bytes;
        SetWord(b, word, v);
        WriteBytes(path, b);
    };
    std::string notes;
    patch(12, int32_t(bytes.size()));  // offset at the very end
    EXPECT_FALSE(ReadMapPreview(path, notes));
    patch(12, -4);
    EXPECT_FALSE(ReadMapPreview(path, notes));
    patch(11, 0x7FFFFFFF);  // a length no file holds
    EXPECT_FALSE(ReadMapPreview(path, notes));
    patch(11, -1);
    EXPECT_FALSE(ReadMapPreview(path, notes));
    std::vector<uint8_t> shortHeader(bytes.begin(), bytes.begin() + 40);
    WriteBytes(path, shortHeader);
    EXPECT_FALSE(ReadMapPreview(path, notes));
}

TEST_F(MapFileTest, MalformedFilesAreRefusedAndChangeNothing)
{
    TMapBuilder good;
    std::string goodPath = Path("good.map"), bad = Path("bad.map");
    WriteBytes(goodPath, good.Bytes());
    TMapHeader header;
    ASSERT_EQ(4, LoadAll(goodPath, header));
    const std::vector<int32_t> cellsBefore = Kinds[2]->Cells;
    const std::vector<int32_t> rowsBefore = TTableKind::Layout.RowBreakpoints;
    const std::string notesBefore = Kinds[0]->Notes;

    std::vector<std::vector<uint8_t>> files;
    auto with = [&](auto change) {
        TMapBuilder m;
        change(m);
        files.push_back(m.Bytes());
    };
    with([](TMapBuilder& m) { m.Tables = 0; });
    with([](TMapBuilder& m) { m.Tables = 7; });
    with([](TMapBuilder& m) { m.Rows = 0; });
    with([](TMapBuilder& m) { m.Columns = 0; });
    with([](TMapBuilder& m) { m.Rows = 300; });
    with([](TMapBuilder& m) { m.Columns = 65; });
    std::vector<uint8_t> g = good.Bytes();
    files.push_back(std::vector<uint8_t>(g.begin(), g.begin() + 60));         // tables cut short
    files.push_back(std::vector<uint8_t>(g.begin(), g.begin() + 51));         // header cut short
    files.push_back({});                                                       // empty
    for (int32_t bigValue : {int32_t(0x40000000), int32_t(-1), int32_t(0x80000000)}) {
        for (int word : {1, 2, 3}) {
            std::vector<uint8_t> b = g;
            SetWord(b, word, bigValue);
            files.push_back(b);
        }
    }
    for (int32_t negative : {int32_t(-1), int32_t(0x80000000)}) {  // a notes length below zero
        std::vector<uint8_t> b = g;
        SetWord(b, 11, negative);
        files.push_back(b);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        WriteBytes(bad, files[i]);
        TMapHeader h = header;
        for (int k = 0; k < 4; ++k) EXPECT_EQ(0, Kinds[k]->ReadMapFile(bad, h, k == 0)) << "file " << i;
        EXPECT_EQ(cellsBefore, Kinds[2]->Cells) << "file " << i;
        EXPECT_EQ(rowsBefore, TTableKind::Layout.RowBreakpoints) << "file " << i;
        EXPECT_EQ(notesBefore, Kinds[0]->Notes) << "file " << i;
        EXPECT_EQ(header.ModelCode, h.ModelCode) << "file " << i;
    }
    EXPECT_EQ(0, Kinds[0]->ReadMapFile(TempPath("missing.map"), header, true));
    EXPECT_EQ(-1, Kinds[0]->ReadMapHeader(TempPath("missing.map"), header));
}

TEST_F(MapFileTest, AKindBeyondTheFilesTablesIsRefused)
{
    TMapBuilder map;
    map.Tables = 2;
    std::string path = Path("twotables.map");
    WriteBytes(path, map.Bytes());
    TMapHeader header;
    EXPECT_EQ(1, Kinds[1]->ReadMapFile(path, header, false));
    EXPECT_EQ(0, Kinds[2]->ReadMapFile(path, header, false));
    // The loader asks first, so that no kind is left with another shape.
    EXPECT_TRUE(CheckMapFile(path, 2));
    EXPECT_FALSE(CheckMapFile(path, 4));
    EXPECT_FALSE(CheckMapFile(TempPath("missing.map"), 1));
}

TEST_F(MapFileTest, NotesCutShortByTheEndOfTheFileAreDroppedButTheTablesLoad)
{
    TMapBuilder map;
    std::vector<uint8_t> bytes = map.Bytes();
    bytes.resize(bytes.size() - 3);
    std::string path = Path("shortnotes.map");
    WriteBytes(path, bytes);
    TMapHeader header;
    Kinds[0]->Notes = "old";
    ASSERT_EQ(4, LoadAll(path, header));
    EXPECT_TRUE(Kinds[0]->Notes.empty());
    EXPECT_EQ(TMapBuilder::CellValue(3, 12, 9), Kinds[3]->Cell(12, 9));
    std::string notes;
    EXPECT_FALSE(ReadMapPreview(path, notes));
}

TEST_F(MapFileTest, AFailedSaveKeepsTheOldFile)
{
    TMapBuilder map;
    std::string in = Path("keep_in.map");
    WriteBytes(in, map.Bytes());
    TMapHeader header;
    ASSERT_EQ(4, LoadAll(in, header));

    // The target is a folder: nothing can replace it.
    std::string folder = TempPath("keep_folder.map");
    MakeDirectory(folder.c_str());
    EXPECT_FALSE(WriteMapFile(folder, header, Set, 0, "x"));
    std::FILE* leftover = std::fopen((folder + ".saving").c_str(), "rb");
    EXPECT_EQ(nullptr, leftover);
    if (leftover) std::fclose(leftover);
    std::remove(folder.c_str());
#ifdef _WIN32
    _rmdir(folder.c_str());
#endif

    // A folder that does not exist: the save fails and says so.
    EXPECT_FALSE(WriteMapFile(TempPath("no_such_dir/x.map"), header, Set, 0, "x"));

#ifndef _WIN32
    // Bytes that cannot be flushed to the disk (nothing flushes to /dev/null).
    ASSERT_EQ(0, symlink("/dev/null", (in + ".saving").c_str()));
    EXPECT_FALSE(WriteMapFile(in, header, Set, 0, "x"));
    EXPECT_EQ(map.Bytes(), ReadBytes(in));
    EXPECT_NE(0, access((in + ".saving").c_str(), F_OK));
#endif

    // A table whose cells do not match the layout is not written at all.
    std::vector<uint8_t> before = ReadBytes(in);
    Kinds[3]->Cells.pop_back();
    EXPECT_FALSE(WriteMapFile(in, header, Set, 0, "x"));
    EXPECT_EQ(before, ReadBytes(in));
}

// The largest shape a map may have is 6 tables of 256 rows by 64 columns;
// each of them loads whole and saves back, and one more row, column or
// table is refused without touching what was loaded before.
TEST_F(MapFileTest, TheLargestShapesLoadAndSaveAndOneMoreIsRefused)
{
    struct Shape {
        int Tables, Rows, Columns;
    };
    const std::string in = Path("largest.map"), out = Path("largest_out.map");
    TMapHeader header;
    for (Shape s : {Shape{6, 13, 10}, Shape{4, 256, 10}, Shape{4, 13, 64}, Shape{6, 256, 64}}) {
        SCOPED_TRACE(std::to_string(s.Tables) + " tables, " + std::to_string(s.Rows) + " x " +
                     std::to_string(s.Columns));
        TMapBuilder map;
        map.Tables = s.Tables;
        map.Rows = s.Rows;
        map.Columns = s.Columns;
        WriteBytes(in, map.Bytes());
        ASSERT_TRUE(CheckMapFile(in, 4));
        ASSERT_EQ(4, LoadAll(in, header));
        EXPECT_EQ(size_t(s.Rows), TTableKind::Layout.RowBreakpoints.size());
        EXPECT_EQ(size_t(s.Columns), TTableKind::Layout.ColumnBreakpoints.size());
        const int lastRow = s.Rows - 1, lastColumn = s.Columns - 1;
        for (int t = 0; t < 4; ++t) {
            EXPECT_EQ(TMapBuilder::CellValue(t, 0, 0), Kinds[t]->Cell(0, 0));
            EXPECT_EQ(TMapBuilder::CellValue(t, lastRow, lastColumn), Kinds[t]->Cell(lastRow, lastColumn));
        }
        EXPECT_EQ(500 + 500 * lastRow, TTableKind::Layout.RowBreakpoints[size_t(lastRow)]);
        EXPECT_EQ(lastColumn * 10, TTableKind::Layout.ColumnBreakpoints[size_t(lastColumn)]);
        // The last table of the file, wherever it lies in the row records.
        TFuelBKind last;
        last.BlockNumber = s.Tables;
        ASSERT_EQ(1, last.ReadMapFile(in, header, false));
        EXPECT_EQ(TMapBuilder::CellValue(s.Tables - 1, lastRow, lastColumn), last.Cell(lastRow, lastColumn));
        EXPECT_EQ(TMapBuilder::CellValue(s.Tables - 1, lastRow, 0), last.Cell(lastRow, 0));

        // Saved with the file set's four tables: the same file with N = 4.
        ASSERT_TRUE(WriteMapFile(out, header, Set, int8_t(map.O2), Kinds[0]->Notes));
        TMapBuilder four = map;
        four.Tables = 4;
        EXPECT_EQ(four.Bytes(), ReadBytes(out));
    }

    const std::vector<int32_t> cellsBefore = Kinds[3]->Cells;
    const std::vector<int32_t> rowsBefore = TTableKind::Layout.RowBreakpoints;
    for (Shape s : {Shape{7, 13, 10}, Shape{4, 257, 10}, Shape{4, 13, 65}, Shape{6, 257, 64}, Shape{6, 256, 65},
                    Shape{7, 256, 64}}) {
        SCOPED_TRACE(std::to_string(s.Tables) + " tables, " + std::to_string(s.Rows) + " x " +
                     std::to_string(s.Columns));
        TMapBuilder map;
        map.Tables = s.Tables;
        map.Rows = s.Rows;
        map.Columns = s.Columns;
        WriteBytes(in, map.Bytes());
        EXPECT_FALSE(CheckMapFile(in, 1));
        TMapHeader h = header;
        for (int k = 0; k < 4; ++k) EXPECT_EQ(0, Kinds[k]->ReadMapFile(in, h, k == 0));
        EXPECT_EQ(cellsBefore, Kinds[3]->Cells);
        EXPECT_EQ(rowsBefore, TTableKind::Layout.RowBreakpoints);
        EXPECT_EQ(header.Rows, h.Rows);
    }
}

// Cells and breakpoints may hold any word: the most negative and the most
// positive load and save unchanged, and every kind packs a grid holding
// them (with no undefined arithmetic on the way) into its table without
// touching the columns beside them. What such a cell packs to is not
// meaningful: the grid's value limits keep real maps far inside.
TEST_F(MapFileTest, WordsAtTheLimitsLoadSaveAndPack)
{
    TMapBuilder map;
    std::vector<uint8_t> bytes = map.Bytes();
    for (int t = 0; t < 4; ++t) {
        SetWord(bytes, CellWord(map, t, 0, 0), INT_MIN);
        SetWord(bytes, CellWord(map, t, 1, 0), INT_MAX);
        SetWord(bytes, CellWord(map, t, 2, 1), INT_MAX);
        SetWord(bytes, CellWord(map, t, 3, 1), INT_MIN);
    }
    // Column breakpoints too (the grid shows them; nothing computes with them).
    SetWord(bytes, 13, INT_MIN);
    SetWord(bytes, 14, INT_MAX);
    std::string in = Path("limits.map"), out = Path("limits_out.map");
    WriteBytes(in, bytes);
    TMapHeader header;
    ASSERT_EQ(4, LoadAll(in, header));
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(INT_MIN, Kinds[t]->Cell(0, 0));
        EXPECT_EQ(INT_MAX, Kinds[t]->Cell(1, 0));
        EXPECT_EQ(INT_MAX, Kinds[t]->Cell(2, 1));
        EXPECT_EQ(INT_MIN, Kinds[t]->Cell(3, 1));
    }
    EXPECT_EQ(INT_MIN, TTableKind::Layout.ColumnBreakpoints[0]);
    EXPECT_EQ(INT_MAX, TTableKind::Layout.ColumnBreakpoints[1]);
    ASSERT_TRUE(WriteMapFile(out, header, Set, int8_t(map.O2), Kinds[0]->Notes));
    EXPECT_EQ(bytes, ReadBytes(out));

    // The grid as the window shows the first table: breakpoints in column
    // 0, the cells as decimal text from column 1.
    auto gridOf = [&](bool withLimits) {
        TMemoryCells grid;
        for (int r = 0; r < map.Rows; ++r) {
            grid.SetCell(0, r + 1, std::to_string(TTableKind::Layout.RowBreakpoints[size_t(r)]));
            for (int c = 0; c < map.Columns; ++c) {
                int32_t v = Kinds[0]->Cell(r, c);
                if (!withLimits && (v == INT_MIN || v == INT_MAX)) v = 7;
                grid.SetCell(c + 1, r + 1, std::to_string(v));
            }
        }
        return grid;
    };
    TMemoryCells limits = gridOf(true), plain = gridOf(false);
    EXPECT_EQ("-2147483648", limits.GetCell(1, 1));
    EXPECT_EQ("2147483647", limits.GetCell(1, 2));
    TTableKinds kinds;  // every kind there is
    TTableKind::TpClosedRaw = 26;
    TTableKind::TpOpenRaw = 229;
    std::vector<const TTableKind*> all = {&kinds.Tp, &kinds.Aap, &kinds.Mp, &kinds.Ignition, &kinds.IgnitionB[0],
                                          &kinds.At, &kinds.Fuel, &kinds.FuelB[0]};
    for (const TTableKind* kind : all) {
        for (int step : {500, 250}) {
            std::vector<uint8_t> packed(288, 0x11), reference(288, 0x11);
            EXPECT_EQ(1, kind->GridToBytes(packed.data(), limits, step));
            EXPECT_EQ(1, kind->GridToBytes(reference.data(), plain, step));
            // Grid columns 3.. (table columns 2..8) hold no limit value.
            EXPECT_TRUE(std::equal(packed.begin() + 2 * 32, packed.end(), reference.begin() + 2 * 32))
                << kind->Text(0, 6) << ", step " << step;
        }
    }
}

// Two maps of the same rows that differ only in their column count, one
// after the other, in both orders: each loads with its own shape and
// saves back byte for byte.
TEST_F(MapFileTest, MapsDifferingOnlyInTheirColumnCountLoadOneAfterTheOtherAndSave)
{
    TMapBuilder wide;
    wide.Columns = 10;
    TMapBuilder narrow = wide;
    narrow.Columns = 9;
    std::string widePath = Path("wide.map"), narrowPath = Path("narrow.map"), out = Path("columns_out.map");
    WriteBytes(widePath, wide.Bytes());
    WriteBytes(narrowPath, narrow.Bytes());
    struct Step {
        const TMapBuilder* Map;
        const std::string* Path;
    };
    TMapHeader header;
    for (Step step : {Step{&wide, &widePath}, Step{&narrow, &narrowPath}, Step{&wide, &widePath},
                      Step{&narrow, &narrowPath}}) {
        const TMapBuilder& map = *step.Map;
        SCOPED_TRACE(std::to_string(map.Columns) + " columns");
        ASSERT_EQ(4, LoadAll(*step.Path, header));
        EXPECT_EQ(map.Columns, header.Columns);
        EXPECT_EQ(size_t(map.Columns), TTableKind::Layout.ColumnBreakpoints.size());
        EXPECT_EQ(size_t(map.Rows), TTableKind::Layout.RowBreakpoints.size());
        for (int t = 0; t < 4; ++t) {
            ASSERT_EQ(size_t(map.Rows * map.Columns), Kinds[t]->Cells.size());
            EXPECT_EQ(TMapBuilder::CellValue(t, 12, map.Columns - 1), Kinds[t]->Cell(12, map.Columns - 1));
        }
        int32_t rows[13], columns[10];
        Kinds[0]->GetBreakpoints(rows, columns);
        EXPECT_EQ((map.Columns - 1) * 10, columns[map.Columns - 1]);
        ASSERT_TRUE(WriteMapFile(out, header, Set, int8_t(map.O2), Kinds[0]->Notes));
        EXPECT_EQ(map.Bytes(), ReadBytes(out));
    }
}

TEST(MapImageTest, ShapeArithmetic)
{
    EXPECT_EQ(4 * (13 + 10 + 13 * (1 + 4 * 10)), MapBodyBytes(4, 13, 10));
    EXPECT_EQ(4 * (13 + 64 + 256LL * (1 + 6 * 64)), MapBodyBytes(6, 256, 64));
}

}  // namespace

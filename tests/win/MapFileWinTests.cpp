// Saving over files the platform protects.
#include "MapFile.h"
#include "TableKind.h"
#include "TableSet.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string TempFile(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MapFileWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TTableKind::Layout = TMapLayout();
        TTableKind::Layout.Rows = 2;
        TTableKind::Layout.Columns = 3;
        TTableKind::Layout.RowBreakpoints = {500, 1000};
        TTableKind::Layout.ColumnBreakpoints = {0, 50, 100};
        TTableKind::Layout.Allocated = true;
        Kinds.Fuel.Cells = {1, 2, 3, 4, 5, 6};
        Set[0].Kind = &Kinds.Fuel;
        Set.Count = 1;
        Header.Format = 201;
        Header.Rows = 2;
        Header.Columns = 3;
        Header.ModelCode = 1004;
    }
    TTableKinds Kinds;
    TTableSet Set;
    TMapHeader Header;
};

TEST_F(MapFileWinTest, AReadOnlyFileIsNotOverwrittenAndTheSaveFails)
{
    const std::string path = TempFile("gantrel_readonly.map");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    { std::ofstream(path, std::ios::binary) << "old contents"; }
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteMapFile(path, Header, Set, 0, "notes"));
    EXPECT_EQ("old contents", Contents(path));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((path + ".saving").c_str()));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

TEST_F(MapFileWinTest, AnExistingFileIsReplacedWhole)
{
    const std::string path = TempFile("gantrel_replace.map");
    { std::ofstream(path, std::ios::binary) << std::string(4096, 'x'); }
    ASSERT_TRUE(WriteMapFile(path, Header, Set, 12, "notes"));
    std::string saved = Contents(path);
    EXPECT_EQ(size_t(4 * (13 + 3 + 2 * (1 + 3))) + 5, saved.size());
    EXPECT_EQ("notes", saved.substr(saved.size() - 5));
    DeleteFileA(path.c_str());
}

}  // namespace

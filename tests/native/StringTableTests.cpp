// The string tables: every language holds the same texts at the same
// offsets, keeps the pieces the program relies on, and loads.
#include "RcStringTable.h"
#include "SysUtils.h"
#include "TextIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

std::map<int, std::string> Table(const TLanguageFile& language)
{
    return ReadStringTable(SourcePath(std::string("resources/strings/") + language.File));
}

const std::map<int, std::string>& English()
{
    static const std::map<int, std::string> english = Table(LanguageFiles[0]);
    return english;
}

int Count(const std::string& s, const std::string& what)
{
    int n = 0;
    for (size_t pos = s.find(what); pos != std::string::npos; pos = s.find(what, pos + what.size())) ++n;
    return n;
}

bool EndsWithBlank(const std::string& s) { return !s.empty() && s.back() == ' '; }

TEST(StringTableTest, EnglishHoldsTheQuotedTexts)
{
    const auto& en = English();
    ASSERT_GT(en.size(), 150u);
    EXPECT_EQ("&Load Map File", en.at(1));
    EXPECT_EQ("Gantrel Control Center", en.at(11));
    EXPECT_EQ("Com&1", en.at(26));
    EXPECT_EQ("Not available on", en.at(33));
    EXPECT_EQ("Value to Large, changed to Maximum", en.at(186));
    EXPECT_EQ("Port Not Set", en.at(205));
    EXPECT_EQ("Your map and notes have been edited. Save the map file?", en.at(216));
    EXPECT_EQ("Gantrel Version not Valid", en.at(236));
    EXPECT_EQ("File and Gantrel Versions Incompatible", en.at(237));
    EXPECT_EQ("Unknown file type.", en.at(238));
    EXPECT_EQ("Retrieve AAP Table Failed.  Check Gantrel and Retry.", en.at(303));
    EXPECT_EQ("&Fuel Table", en.at(286));
    EXPECT_EQ("Gantrel Control Center Version: ", en.at(TextId::AboutVersion));
    EXPECT_EQ("ERROR in FILE.. File not loaded", en.at(TextId::FileNotLoaded));
    for (const auto& [id, text] : en) {
        EXPECT_GE(id, 0);
        EXPECT_LE(id, 511);
        EXPECT_FALSE(text.empty()) << id;
    }
    // The spare texts of the table kinds stay empty.
    for (int id : {306, 309, 326, 349, 366, 389, 406, 409}) EXPECT_EQ(0u, en.count(id)) << id;
}

TEST(StringTableTest, EveryLanguageHasTheSameOffsets)
{
    const auto& en = English();
    for (const TLanguageFile& language : LanguageFiles) {
        auto table = Table(language);
        ASSERT_EQ(en.size(), table.size()) << language.File;
        for (const auto& [id, text] : en) {
            auto it = table.find(language.Base + id);
            ASSERT_TRUE(it != table.end()) << language.File << " lacks " << id;
            EXPECT_FALSE(it->second.empty()) << language.File << " " << id;
        }
    }
}

TEST(StringTableTest, TranslationsKeepAcceleratorsPercentSignsAndBlanks)
{
    const auto& en = English();
    for (const TLanguageFile& language : LanguageFiles) {
        auto table = Table(language);
        for (const auto& [id, english] : en) {
            const std::string& text = table[language.Base + id];
            const std::string where = std::string(language.File) + " " + std::to_string(id) + " \"" + text + "\"";
            EXPECT_EQ(Count(english, "&"), Count(text, "&")) << where;
            EXPECT_EQ(Count(english, "%"), Count(text, "%")) << where;
            EXPECT_EQ(EndsWithBlank(english), EndsWithBlank(text)) << where;
            EXPECT_EQ(english.front() == ' ', text.front() == ' ') << where;
        }
    }
}

TEST(StringTableTest, EveryTextLoadsFromTheProgramsStrings)
{
    const auto& en = English();
    for (const TLanguageFile& language : LanguageFiles)
        for (const auto& entry : en)
            EXPECT_FALSE(LoadStr(language.Base + entry.first).empty()) << language.File << " " << entry.first;
    // English is plain ASCII: it comes out the same on every platform.
    for (const auto& [id, text] : en) EXPECT_EQ(text, LoadStr(id)) << id;
}

TEST(StringTableTest, AMissingEntryIsEmptyText)
{
    EXPECT_EQ("", LoadStr(511));
    EXPECT_EQ("", LoadStr(2000 + 306));
    EXPECT_EQ("", LoadStr(12345));
}

}  // namespace

// Language selection and the texts each language loads.
#include "Language.h"
#include "RcStringTable.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::wstring Wide(const std::string& text, UINT codePage)
{
    int n = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &w[0], n);
    return w;
}

TEST(LanguageTest, BasePerUserLanguage)
{
    EXPECT_EQ(8000, TLanguage::BaseForLanguageId(3082));  // Spanish, modern sort
    EXPECT_EQ(0, TLanguage::BaseForLanguageId(1049));     // Russian: English texts
    EXPECT_EQ(0, TLanguage::BaseForLanguageId(1033));
    for (int id : {1031, 2055, 3079, 4103, 5127}) EXPECT_EQ(2000, TLanguage::BaseForLanguageId(id)) << id;
    for (int id : {1036, 2060, 3084, 4108, 5132}) EXPECT_EQ(4000, TLanguage::BaseForLanguageId(id)) << id;
    for (int id : {1040, 2064}) EXPECT_EQ(6000, TLanguage::BaseForLanguageId(id)) << id;
    for (int k = 1; k <= 20; ++k) EXPECT_EQ(8000, TLanguage::BaseForLanguageId(k * 1024 + 10)) << k;
    EXPECT_EQ(0, TLanguage::BaseForLanguageId(21 * 1024 + 10));
    EXPECT_EQ(10000, TLanguage::BaseForLanguageId(1041));
    for (int id : {1043, 2067}) EXPECT_EQ(14000, TLanguage::BaseForLanguageId(id)) << id;
    EXPECT_EQ(0, TLanguage::BaseForLanguageId(3081));  // English (Australia)
}

TEST(LanguageTest, DetectUsesTheUsersDefaultLanguage)
{
    TLanguage language;
    EXPECT_EQ(0, language.GetBase());
    EXPECT_EQ(TLanguage::BaseForLanguageId(GetUserDefaultLangID()), language.Detect());
    EXPECT_EQ(language.Detect(), language.GetBase());
    SetStringCodePage(CP_ACP);
}

// Every language's texts reach the program in that language's code page,
// Japanese as Shift-JIS whatever the system's code page is.
TEST(LanguageTest, EveryLanguageLoadsItsOwnTexts)
{
    for (const TLanguageFile& language : LanguageFiles) {
        const UINT codePage = language.Base == TLanguage::Japanese ? 932 : 1252;
        SetStringCodePage(codePage);
        auto table = ReadStringTable(SourcePath(std::string("resources/strings/") + language.File));
        ASSERT_FALSE(table.empty());
        for (const auto& [id, utf8] : table) {
            std::string loaded = LoadStr(id);
            EXPECT_EQ(Wide(utf8, CP_UTF8), Wide(loaded, codePage)) << language.File << " " << id;
        }
    }
    SetStringCodePage(CP_ACP);
}

TEST(LanguageTest, JapaneseTextsAreShiftJis)
{
    SetStringCodePage(932);
    std::string file = LoadStr(10000 + 85);  // the File menu
    SetStringCodePage(CP_ACP);
    ASSERT_FALSE(file.empty());
    // A Shift-JIS lead byte, not UTF-8 and not question marks.
    unsigned char first = static_cast<unsigned char>(file[0]);
    EXPECT_TRUE((first >= 0x81 && first <= 0x9F) || (first >= 0xE0 && first <= 0xFC)) << int(first);
    EXPECT_EQ(std::string::npos, file.find('?'));
}

}  // namespace

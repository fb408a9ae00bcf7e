// The settings file on the platform's profile functions.
#include "IniFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string IniPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + name;
    DeleteFileA(path.c_str());
    return path;
}

TEST(IniFileTest, MissingFileSectionOrKeyReadsTheDefault)
{
    TIniFile ini(IniPath("gantrel_missing.ini"));
    EXPECT_EQ(-1, ini.ReadInteger("ComPort", "Port", -1));
    EXPECT_TRUE(ini.ReadBool("Advanced", "Splash", true));
    EXPECT_FALSE(ini.ReadBool("Custom", "Log", false));
    EXPECT_EQ("C:\\maps\\", ini.ReadString("Settings", "MapDir", "C:\\maps\\"));
}

TEST(IniFileTest, ValuesComeBackAsWritten)
{
    const std::string path = IniPath("gantrel_roundtrip.ini");
    {
        TIniFile ini(path);
        EXPECT_TRUE(ini.WriteInteger("FormPlacement", "Height", 489));
        EXPECT_TRUE(ini.WriteInteger("FormPlacement", "Top", -8));
        EXPECT_TRUE(ini.WriteBool("Advanced", "Splash", false));
        EXPECT_TRUE(ini.WriteString("ComPort", "Port", "6"));
        EXPECT_TRUE(ini.WriteString("Settings", "MapDir", std::string(600, 'd')));
    }
    TIniFile ini(path);
    EXPECT_EQ(489, ini.ReadInteger("FormPlacement", "Height", 0));
    EXPECT_EQ(-8, ini.ReadInteger("FormPlacement", "Top", 0));
    EXPECT_FALSE(ini.ReadBool("Advanced", "Splash", true));
    EXPECT_EQ(6, ini.ReadInteger("ComPort", "Port", -1));  // written as text, read as a number
    EXPECT_EQ(std::string(600, 'd'), ini.ReadString("Settings", "MapDir", ""));
    DeleteFileA(path.c_str());
}

TEST(IniFileTest, ValuesThatAreNotNumbersReadAsTheDefault)
{
    const std::string path = IniPath("gantrel_numbers.ini");
    TIniFile ini(path);
    ini.WriteString("S", "Text", "six");
    ini.WriteString("S", "Mixed", "12px");
    ini.WriteString("S", "Hex", "$1F");
    ini.WriteString("S", "Octal", "010");
    ini.WriteString("S", "Huge", "99999999999");
    ini.WriteString("S", "True", "true");
    EXPECT_EQ(7, ini.ReadInteger("S", "Text", 7));
    EXPECT_EQ(7, ini.ReadInteger("S", "Mixed", 7));
    EXPECT_EQ(31, ini.ReadInteger("S", "Hex", 7));
    EXPECT_EQ(10, ini.ReadInteger("S", "Octal", 7));
    EXPECT_EQ(7, ini.ReadInteger("S", "Huge", 7));
    EXPECT_TRUE(ini.ReadBool("S", "True", true));
    EXPECT_FALSE(ini.ReadBool("S", "True", false));
    DeleteFileA(path.c_str());
}

}  // namespace

// The program itself: Gantrel.exe started as its own process, as a user
// starts it, found by its window caption (the title and the version) and closed like a user closes it.
// Each test runs a copy in a folder of its own, so that the settings file
// it writes beside itself is the test's.
#include "MainWindowFixture.h"
#include "ScreenCapture.h"

#include <windows.h>

namespace {

const char* const MainCaption = "Gantrel Control Center";

struct WindowSearch {
    DWORD Process;
    const std::string* Text;
    HWND Found;
};

// A visible top-level window of the process whose caption starts with the title.
BOOL CALLBACK MatchMainWindow(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (process == s->Process && IsWindowVisible(window) && std::string(caption).rfind(MainCaption, 0) == 0) {
        s->Found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchText(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<WindowSearch*>(data);
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (*s->Text == caption) {
        s->Found = window;
        return FALSE;
    }
    return TRUE;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        FFolder = std::string(temp) + "gantrel_program_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(FFolder.c_str(), nullptr);
        DeleteFileA(Ini().c_str());
        ASSERT_TRUE(CopyFileA((ExeDirectory() + "Gantrel.exe").c_str(), (FFolder + "\\Gantrel.exe").c_str(), FALSE))
            << "Gantrel.exe must be built beside the tests";
    }

    void TearDown() override
    {
        if (FProcess.hProcess) {
            TerminateProcess(FProcess.hProcess, 1);
            WaitForSingleObject(FProcess.hProcess, 5000);
            CloseHandle(FProcess.hProcess);
            CloseHandle(FProcess.hThread);
        }
    }

    std::string Ini() const { return FFolder + "\\Gantrel.ini"; }

    void Start(const std::string& arguments)
    {
        std::string command = "\"" + FFolder + "\\Gantrel.exe\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, FFolder.c_str(), &startup,
                                   &FProcess));
        FMain = WaitForMainWindow(15000);
        ASSERT_NE(nullptr, FMain) << "no visible window whose caption starts \"" << MainCaption << "\"";
    }

    // Closes the main window as its close box does; true when the program ended.
    bool Close()
    {
        PostMessageA(FMain, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (WaitForSingleObject(FProcess.hProcess, 15000) != WAIT_OBJECT_0) return false;
        CloseHandle(FProcess.hProcess);
        CloseHandle(FProcess.hThread);
        FProcess = {};
        return true;
    }

    HWND WaitForMainWindow(int ms)
    {
        WindowSearch search = {FProcess.dwProcessId, nullptr, nullptr};
        DWORD start = GetTickCount();
        while (!search.Found && int(GetTickCount() - start) < ms) {
            EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
            if (!search.Found) Sleep(50);
        }
        return search.Found;
    }

    // A child window of the main window by its text (buttons carry their captions).
    HWND Child(const std::string& text)
    {
        WindowSearch search = {0, &text, nullptr};
        EnumChildWindows(FMain, MatchText, reinterpret_cast<LPARAM>(&search));
        return search.Found;
    }

    int IniInteger(const char* section, const char* key) { return int(GetPrivateProfileIntA(section, key, -9, Ini().c_str())); }
    std::string IniString(const char* section, const char* key)
    {
        char value[MAX_PATH] = "";
        GetPrivateProfileStringA(section, key, "?", value, sizeof value, Ini().c_str());
        return value;
    }

    std::string FFolder;
    PROCESS_INFORMATION FProcess = {};
    HWND FMain = nullptr;
};

bool WaitFor(const std::function<bool()>& done, int ms)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (int(GetTickCount() - start) > ms) return false;
        Sleep(50);
    }
    return true;
}

TEST_F(ProgramTest, AFreshStartUsesTheDefaultsAndClosingWritesThem)
{
    Start("");
    RECT r;
    ASSERT_TRUE(GetWindowRect(FMain, &r));
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(638, r.right - r.left);
    EXPECT_EQ(489, r.bottom - r.top);
    // Nothing loaded: the commands that need a map are off.
    HWND save = Child("&Save File");
    ASSERT_NE(nullptr, save);
    EXPECT_FALSE(IsWindowEnabled(save));
    ASSERT_TRUE(Close());

    EXPECT_EQ(0, IniInteger("FormState", "State"));
    EXPECT_EQ(0, IniInteger("FormPlacement", "Left"));
    EXPECT_EQ(0, IniInteger("FormPlacement", "Top"));
    EXPECT_EQ(638, IniInteger("FormPlacement", "Width"));
    EXPECT_EQ(489, IniInteger("FormPlacement", "Height"));
    EXPECT_EQ(0, IniInteger("Advanced", "Advanced"));
    EXPECT_EQ(1, IniInteger("Advanced", "ResetButtons"));
    EXPECT_EQ(FFolder + "\\", IniString("Settings", "MapDir"));
    // Auto either found a controller (its port's number) or is still searching (-1).
    std::string port = IniString("ComPort", "Port");
    EXPECT_TRUE(port == "-1" || (port.size() == 1 && port[0] >= '1' && port[0] <= '8')) << port;
}

TEST_F(ProgramTest, AMapNamedOnTheCommandLineIsLoadedAndShown)
{
    WritePrivateProfileStringA("ComPort", "Port", "1", Ini().c_str());
    WritePrivateProfileStringA("Advanced", "Splash", "0", Ini().c_str());
    std::string map = FFolder + "\\start.map";
    WriteFileBytes(map, MakeMapBytes(201, 1001, 4, 13, 9, "from the command line"));
    Start("\"" + map + "\"");
    HWND save = Child("&Save File");
    ASSERT_NE(nullptr, save);
    EXPECT_TRUE(WaitFor([save] { return IsWindowEnabled(save) != 0; }, 5000));

    // The picture anyone can look at: the main window with a map and the
    // simulated controller's live values.
    Sleep(2000);
    std::string folder = ExeDirectory() + "..\\artifacts";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string shot = folder + "\\main-window.bmp";
    ASSERT_TRUE(SaveScreenCapture(FMain, shot));
    std::string bytes = ReadFileBytes(shot);
    ASSERT_GT(bytes.size(), 54u + 600u * 400u * 3u);
    // Not one flat colour: the window really was drawn.
    size_t differing = 0;
    for (size_t i = 54 + 3; i < bytes.size(); i += 3)
        if (bytes.compare(i, 3, bytes, 54, 3) != 0) ++differing;
    EXPECT_GT(differing, (bytes.size() - 54) / 3 / 20);
    ASSERT_TRUE(Close());
}

TEST_F(ProgramTest, TwoCommandLineArgumentsLoadNothing)
{
    WritePrivateProfileStringA("ComPort", "Port", "0", Ini().c_str());
    WritePrivateProfileStringA("Advanced", "Splash", "0", Ini().c_str());
    std::string map = FFolder + "\\start.map";
    WriteFileBytes(map, MakeMapBytes(201, 1001, 4, 13, 9, ""));
    Start("\"" + map + "\" \"" + map + "\"");
    Sleep(1500);
    HWND save = Child("&Save File");
    ASSERT_NE(nullptr, save);
    EXPECT_FALSE(IsWindowEnabled(save));
    ASSERT_TRUE(Close());
}

}  // namespace

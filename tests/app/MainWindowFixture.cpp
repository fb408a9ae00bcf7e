#include "MainWindowFixture.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

bool WaitUntil(const std::function<bool()>& done, int ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        if (done()) return true;
        if (int(GetTickCount() - start) > ms) return false;
        Sleep(5);
    }
}

void Pump(int ms)
{
    WaitUntil([] { return false; }, ms);
}

std::string TempFile(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "gantrel_app_" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    return path;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string MakeMapBytes(int format, int code, int tables, int rows, int columns, const std::string& notes, int firstCell)
{
    std::vector<int32_t> w = {format, tables, rows, columns, 12, 1, 0, 0x04030201, 0, 0, code, int32_t(notes.size()), 0};
    w[12] = 4 * (13 + columns + rows * (1 + tables * columns));
    for (int c = 0; c < columns; ++c) w.push_back(c * 100 / std::max(1, columns - 1));
    for (int r = 0; r < rows; ++r) {
        w.push_back(500 + 500 * r);
        for (int t = 0; t < tables; ++t)
            for (int c = 0; c < columns; ++c) w.push_back(firstCell + (t + r + c) % 5);
    }
    std::string bytes;
    for (int32_t v : w)
        for (int i = 0; i < 4; ++i) bytes += char(uint32_t(v) >> (8 * i));
    return bytes + notes;
}

void MainWindowTest::SetUp()
{
    ASSERT_TRUE(Com1.Available()) << "no simulator on COM1";
    ASSERT_TRUE(Com4.Available()) << "no simulator on COM4";
    ASSERT_TRUE(Handheld.Available()) << "no handheld simulator on COM3";
    // Every test starts from a unit as it powers on: nothing an earlier test
    // (or test program) wrote into its tables and blocks carries over.
    for (TSimulator* sim : {&Com1, &Com4}) {
        sim->Ok("replug");
        sim->Ok("reset");
        sim->Ok("fault none");
        sim->Ok("live free");
        sim->Ok("version 105");
        sim->Ok("flags 225");
        sim->Ok("pace on");
    }
    // Only COM1 answers unless a test says otherwise; the handheld listens.
    Com4.Ok("unplug");
    Handheld.Ok("replug");
    Handheld.Ok("reset");
    SettingsPath = TempFile("settings.ini");
    SettingsFileOverride() = SettingsPath;
    std::string settings = InitialSettings();
    if (!settings.empty()) WriteFileBytes(SettingsPath, settings);
    MessageDlgHook = [this](const std::string& text, TMsgDlgType, TMsgDlgButtons) {
        Questions.push_back(text);
        return QuestionAnswer;
    };
    MakeWindow();
}

void MainWindowTest::TearDown()
{
    CloseWindow();
    MessageDlgHook = nullptr;
    TCommonDialog::ExecuteHook = nullptr;
    SettingsFileOverride().clear();
}

void MainWindowTest::MakeWindow()
{
    FForm = NewForm<TForm1>(Application);
    FForm->Show();
    Pump(50);
}

void MainWindowTest::CloseWindow()
{
    if (!FForm) return;
    // The close road of the window: the question, then its close handler.
    bool canClose = true;
    FForm->FormCloseQuery(FForm, canClose);
    if (canClose) {
        TCloseAction action = caHide;
        FForm->FormClose(FForm, action);
    }
    FForm->Free();
    FForm = nullptr;
    Form1 = nullptr;
}

void MainWindowTest::ChooseMenu(TMenuItem* item)
{
    // A popup menu returns its choice to the code that opened it, which
    // then clicks the item; the main menu's choice arrives as WM_COMMAND.
    if (dynamic_cast<TPopupMenu*>(item->Menu()))
        item->Click();
    else
        PostMessageA(FForm->Handle(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    Pump(30);
}

void MainWindowTest::ChooseMenu(TKsCustomItem* item)
{
    // As Enter on it in the open menu: the click is posted and runs from
    // the message queue.
    item->DoClick();
    Pump(30);
}

void MainWindowTest::AnswerFileDialogs(const std::vector<std::string>& files, bool ok)
{
    TCommonDialog::ExecuteHook = [files, ok](TCommonDialog* dialog) {
        auto* open = static_cast<TOpenDialog*>(dialog);
        open->Files()->Clear();
        for (const std::string& file : files) open->Files()->Add(file);
        if (!files.empty()) open->SetFileName(files[0]);
        return ok;
    };
}

bool MainWindowTest::Load(const std::string& path)
{
    AnswerFileDialogs({path});
    ChooseMenu(FForm->Load1);
    TCommonDialog::ExecuteHook = nullptr;
    return FForm->FileLoaded;
}

void MainWindowTest::Save(const std::string& path)
{
    AnswerFileDialogs({path}, !path.empty());
    ChooseMenu(FForm->Save1);
    TCommonDialog::ExecuteHook = nullptr;
}

std::vector<std::string> MainWindowTest::Transcript()
{
    std::istringstream in(Com1.Ok("transcript"));
    std::vector<std::string> tokens;
    for (std::string t; in >> t;) tokens.push_back(t);
    return tokens;
}

void MainWindowTest::PressKey(WORD key, WORD modifier)
{
    HWND target = GetFocus();
    if (!target) target = FForm->StringGrid1->Handle();
    // A held modifier is read with GetKeyState; with Alt held the keyboard
    // gives system keys.
    auto hold = [modifier](bool down) {
        BYTE keys[256];
        EXPECT_TRUE(GetKeyboardState(keys));
        keys[modifier] = down ? 0x80 : 0;
        EXPECT_TRUE(SetKeyboardState(keys));
    };
    if (modifier) hold(true);
    const bool alt = modifier == VK_MENU;
    // The message loop translates the key into its character, as it does
    // for a real keyboard.
    LPARAM scan = LPARAM(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16 | (alt ? LPARAM(1) << 29 : 0);
    // The translated character is queued behind whatever is already posted,
    // so the key comes up only after it has been handled.
    PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, scan | 1);
    Pump(30);
    PostMessageA(GetFocus() ? GetFocus() : target, alt ? WM_SYSKEYUP : WM_KEYUP, key, scan | 0xC0000001);
    Pump(30);
    if (modifier) hold(false);
}

std::string MainWindowTest::Status()
{
    return FForm->Label1->Caption();
}

std::string MainWindowTest::Panel(int index)
{
    return FForm->StatusBar1->Panels()->Items(index)->Text();
}

std::string MainWindowTest::LiveValue(int index)
{
    TLabel* labels[6] = {FForm->RpmVal, FForm->TPosVal, FForm->FuelChVal, FForm->TPosOutVal, FForm->ManChgVal, FForm->IgnVal};
    return labels[index]->Caption();
}

bool MainWindowTest::ConnectCom1(int ms)
{
    ChooseMenu(FForm->Com11);
    return WaitUntil([this] { return FForm->LinkCounter == 0 && LiveValue(1) != "-----" && !LiveValue(1).empty(); }, ms);
}

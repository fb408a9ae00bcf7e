// The main window in the test process, on its own settings file, talking to
// the simulated controllers of the test prefix (COM1 and COM4) and the
// simulated handheld (COM3). Tests drive
// it with real window messages (menu commands, keys, clicks) and read back
// what the window shows.
#pragma once

#include "Application.h"
#include "Dialogs.h"
#include "Form1.h"
#include "MonitorThread.h"
#include "SettingsFile.h"
#include "SimulatorControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

// Pumps the message loop until done() holds or ms pass; true when it holds.
bool WaitUntil(const std::function<bool()>& done, int ms);
// Pumps the message loop for ms.
void Pump(int ms);

// A file in the test's temporary folder (removed first).
std::string TempFile(const std::string& name);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// A map file of the given shape, written word by word.
std::string MakeMapBytes(int format, int code, int tables, int rows, int columns, const std::string& notes,
                         int firstCell = 0);

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Settings to start with (written before the window is made); empty: none.
    virtual std::string InitialSettings() { return "[ComPort]\r\nPort=0\r\n"; }

    // The window, made and shown.
    TForm1* Form() { return FForm; }
    void MakeWindow();
    void CloseWindow();

    // A click on a menu item, as the menu bar sends it.
    void ChooseMenu(TMenuItem* item);
    // A skinned popup menu's item: its click runs once the menu has closed.
    void ChooseMenu(TKsCustomItem* item);
    // The file dialogs shown from now on answer ok, with files chosen (the
    // first one as their file name).
    void AnswerFileDialogs(const std::vector<std::string>& files, bool ok = true);
    // Loads a map through the Load command, its dialog answered with path.
    bool Load(const std::string& path);
    // Saves through the Save command, its dialog answered with path (none:
    // cancelled).
    void Save(const std::string& path);
    // The commands COM1's controller received since the last "clear", one
    // token each ("82" for 'R', "18:224" for a block 0 write).
    std::vector<std::string> Transcript();
    // A key pressed and released on the grid, through the message loop,
    // with modifier (VK_SHIFT, VK_CONTROL, VK_MENU) held when given.
    void PressKey(WORD key, WORD modifier = 0);
    // The status line and a status bar panel as shown.
    std::string Status();
    std::string Panel(int index);
    std::string LiveValue(int index);
    // Chooses COM1 and waits until the live values come (or ms pass).
    bool ConnectCom1(int ms = 8000);

    TSimulator Com1{"COM1"};
    TSimulator Com4{"COM4"};
    TSimulator Handheld{"COM3"};
    std::string SettingsPath;
    int QuestionAnswer = mrNo;
    std::vector<std::string> Questions;

private:
    TForm1* FForm = nullptr;
};

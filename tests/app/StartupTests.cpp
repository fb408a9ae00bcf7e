// Start-up, settings and closing of the main window.
#include "EditNotes.h"
#include "Form10.h"
#include "IniFiles.h"
#include "MainWindowFixture.h"
#include "ModalScript.h"

namespace {

class FreshStartTest : public MainWindowTest {
protected:
    std::string InitialSettings() override { return ""; }
};

TEST_F(FreshStartTest, AMissingSettingsFileGivesTheDefaults)
{
    TForm1* f = Form();
    RECT r = f->BoundsRect();
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(638, r.right - r.left);
    EXPECT_EQ(489, r.bottom - r.top);
    EXPECT_EQ(wsNormal, f->WindowState());
    // Auto port selection ran and found the controller on COM1.
    EXPECT_TRUE(f->Com11->Checked());
    EXPECT_TRUE(f->Com12->Checked());
    EXPECT_FALSE(f->Auto1->Checked());
    EXPECT_EQ("Port set to: COM1", Panel(2));
    EXPECT_FALSE(f->Advanced1->Checked());
    EXPECT_FALSE(f->NoLimit);
    EXPECT_TRUE(f->Config.CylinderTrimSetting);
    EXPECT_TRUE(f->Config.TpSetting);
    EXPECT_TRUE(f->ResetButtons);
    EXPECT_TRUE(f->ResetButtonsonUpload1->Checked());
    EXPECT_FALSE(f->LogtoFile1->Visible());
    EXPECT_FALSE(f->Font1->Visible());
    EXPECT_EQ(ExeDirectory(), f->MapDirectory);
    CloseWindow();

    TIniFile ini(SettingsPath);
    EXPECT_EQ(0, ini.ReadInteger("FormState", "State", -9));
    EXPECT_EQ(489, ini.ReadInteger("FormPlacement", "Height", -9));
    EXPECT_EQ(638, ini.ReadInteger("FormPlacement", "Width", -9));
    EXPECT_EQ(0, ini.ReadInteger("FormPlacement", "Top", -9));
    EXPECT_EQ(0, ini.ReadInteger("FormPlacement", "Left", -9));
    EXPECT_EQ("1", ini.ReadString("ComPort", "Port", "?"));
    EXPECT_EQ(0, ini.ReadInteger("Advanced", "Advanced", -9));
    EXPECT_EQ(1, ini.ReadInteger("Advanced", "ResetButtons", -9));
    EXPECT_EQ(ExeDirectory(), ini.ReadString("Settings", "MapDir", "?"));
}

class StoredSettingsTest : public MainWindowTest {
protected:
    std::string InitialSettings() override
    {
        return "[FormPlacement]\r\nLeft=100\r\nTop=50\r\nWidth=700\r\nHeight=520\r\n"
               "[ComPort]\r\nPort=6\r\n[Advanced]\r\nAdvanced=1\r\nTPSet=0\r\nResetButtons=0\r\n"
               "[Custom]\r\nNoLimit=1\r\nCylinderTrim=0\r\nLog=1\r\n[Settings]\r\nMapDir=C:\\maps\\\r\n";
    }
};

TEST_F(StoredSettingsTest, StoredSettingsAreTakenUp)
{
    TForm1* f = Form();
    RECT r = f->BoundsRect();
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(50, r.top);
    EXPECT_EQ(700, r.right - r.left);
    EXPECT_EQ(520, r.bottom - r.top);
    // Port 6 is chosen; the connect timer is on its way.
    EXPECT_TRUE(f->Com61->Checked());
    EXPECT_TRUE(f->Com62->Checked());
    EXPECT_TRUE(f->Timer2->Enabled());
    EXPECT_TRUE(f->Advanced1->Checked());
    EXPECT_FALSE(f->Config.TpSetting);
    EXPECT_FALSE(f->ResetButtons);
    EXPECT_FALSE(f->ResetButtonsonUpload1->Checked());
    EXPECT_TRUE(f->NoLimit);
    EXPECT_FALSE(f->Config.CylinderTrimSetting);
    EXPECT_TRUE(f->LogtoFile1->Visible());
    EXPECT_EQ("C:\\maps\\", f->MapDirectory);
}

TEST_F(StoredSettingsTest, AMaximisedWindowWritesState2AndKeepsItsPlacement)
{
    Form()->SetWindowState(wsMaximized);
    Pump(100);
    CloseWindow();
    TIniFile ini(SettingsPath);
    EXPECT_EQ(2, ini.ReadInteger("FormState", "State", -9));
    EXPECT_EQ(100, ini.ReadInteger("FormPlacement", "Left", -9));
    EXPECT_EQ(520, ini.ReadInteger("FormPlacement", "Height", -9));
    EXPECT_EQ("6", ini.ReadString("ComPort", "Port", "?"));
}

TEST_F(MainWindowTest, AMinimisedWindowWritesItsRestoredPlacement)
{
    Form()->SetBounds(30, 40, 640, 480);
    Pump(50);
    Form()->SetWindowState(wsMinimized);
    Pump(100);
    CloseWindow();
    TIniFile ini(SettingsPath);
    EXPECT_EQ(1, ini.ReadInteger("FormState", "State", -9));
    EXPECT_EQ(30, ini.ReadInteger("FormPlacement", "Left", -9));
    EXPECT_EQ(40, ini.ReadInteger("FormPlacement", "Top", -9));
    EXPECT_EQ(640, ini.ReadInteger("FormPlacement", "Width", -9));
}

TEST_F(MainWindowTest, TheWindowStartsInItsLanguageWithPlaceholders)
{
    TForm1* f = Form();
    EXPECT_EQ("Gantrel Control Center  1.0.0.0", f->Caption());
    EXPECT_EQ("&File", f->File1->Caption());
    EXPECT_EQ("&Load File", f->Button4->Caption());
    EXPECT_EQ("Upload &All", f->Button9->Caption());
    EXPECT_EQ("Gantrel Version:", f->PopGNVersion->Caption());
    EXPECT_EQ("Port Not Set", Panel(2));
    EXPECT_EQ("", Panel(0));
    EXPECT_EQ("", Panel(1));
    for (TButton* b : {f->Button1, f->Button3, f->Button5, f->Button7, f->Button8, f->Button9, f->Button10})
        EXPECT_FALSE(b->Enabled()) << b->Name();
    EXPECT_TRUE(f->Button4->Enabled());
    EXPECT_FALSE(f->Compare1->Visible());
    EXPECT_FALSE(f->ProgressBar1->Visible());
    EXPECT_EQ(10, f->StringGrid1->ColCount());
    EXPECT_EQ(13, f->StringGrid1->RowCount());
    EXPECT_EQ("", f->StringGrid1->Cells(0, 0));
    EXPECT_EQ("X", f->StringGrid1->Cells(5, 0));
    EXPECT_EQ("X", f->StringGrid1->Cells(0, 12));
    EXPECT_EQ("--", f->StringGrid1->Cells(9, 12));
}

TEST_F(MainWindowTest, TheStatusLineClearsAfterThreeSeconds)
{
    Form()->ShowStatus("a message");
    EXPECT_EQ("a message", Status());
    Pump(2500);
    EXPECT_EQ("a message", Status());
    EXPECT_TRUE(WaitUntil([this] { return Status().empty(); }, 1500));
}

TEST_F(MainWindowTest, CancellingTheQuestionKeepsTheWindowAndThePortOpen)
{
    ASSERT_TRUE(ConnectCom1());
    Form()->NotesEdited = true;
    QuestionAnswer = mrCancel;
    bool canClose = true;
    Form()->FormCloseQuery(Form(), canClose);
    EXPECT_FALSE(canClose);
    ASSERT_EQ(1u, Questions.size());
    EXPECT_EQ("Your notes have been edited. Save the map file?", Questions[0]);
    EXPECT_TRUE(Form()->Port.IsOpen());
    Form()->MapEdited = true;
    Form()->FormCloseQuery(Form(), canClose);
    EXPECT_EQ("Your map and notes have been edited. Save the map file?", Questions[1]);
    Form()->NotesEdited = false;
    QuestionAnswer = mrNo;
    Form()->FormCloseQuery(Form(), canClose);
    EXPECT_EQ("Your map has been edited. Save the map file?", Questions[2]);
    EXPECT_TRUE(canClose);
    EXPECT_FALSE(Form()->Port.IsOpen());
    Form()->MapEdited = false;
}

TEST_F(MainWindowTest, AdvancedModeTogglesItsCheckMark)
{
    ChooseMenu(Form()->Advanced1);
    EXPECT_TRUE(Form()->Advanced1->Checked());
    ChooseMenu(Form()->Advanced1);
    EXPECT_FALSE(Form()->Advanced1->Checked());
}

TEST_F(MainWindowTest, TheAboutBoxShowsTheVersion)
{
    std::string shown;
    // The box is modal: a timer of the test reads it and closes it.
    TTimer* closer = new TTimer(nullptr);
    closer->SetInterval(200);
    struct Closer {
        std::string* Shown;
        void Tick(TObject* sender)
        {
            *Shown = Form10->Label1->Caption() + "|" + Form10->Label2->Caption();
            TModalScript::KeepPicture(Form10, "about-box.bmp");
            Form10->ModalResult = mrOk;
            static_cast<TTimer*>(sender)->SetEnabled(false);
        }
    } handler{&shown};
    closer->OnTimer = MakeEvent<&Closer::Tick>(&handler);
    ChooseMenu(Form()->AboutGantrelControlCenter1);
    closer->Free();
    EXPECT_EQ("Gantrel Control Center Version: 1.0.0.0|Gantrel Control Center Version: 1.0.0.0", shown);
}

TEST_F(MainWindowTest, TheSystemMenuCloseTakesTheExitRoad)
{
    // Exit1Click closes the window, which asks about unsaved changes first.
    Form()->MapEdited = true;
    QuestionAnswer = mrCancel;
    SendMessageA(Form()->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(50);
    EXPECT_EQ(1u, Questions.size());
    EXPECT_TRUE(Form()->Visible());
    Form()->MapEdited = false;
}

// Placed on a monitor since unplugged: each window comes onto the work area,
// no larger than it; a size that is not positive gives the default.
TEST_F(MainWindowTest, WindowsStoredOffEveryMonitorOpenOnTheWorkArea)
{
    CloseWindow();
    WriteFileBytes(SettingsPath, "[ComPort]\r\nPort=0\r\n[FormPlacement]\r\nLeft=5000\r\nTop=3000\r\n"
                                 "Width=3000\r\nHeight=0\r\n[EditPlacement]\r\nLeft=-3000\r\nTop=-2000\r\n"
                                 "Width=-1\r\nHeight=200\r\n");
    MakeWindow();
    RECT work, form = Form()->BoundsRect();
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    Form()->Button1Click(Form());
    RECT notes = Form()->NotesWindow->BoundsRect();
    Form()->NotesWindow->Close();
    Pump(50);
    for (auto [shown, expected] : {std::pair{form, RECT{work.left, work.bottom - 489, work.right, work.bottom}},
                                   {notes, {work.left, work.top, work.left + 350, work.top + 200}}})
        EXPECT_TRUE(EqualRect(&expected, &shown)) << shown.left << "," << shown.top << " " << shown.right;
}

// Log-off asks what closing asks, is refused as closing is, and stops
// nothing; only a session that ends stops the work and writes the settings.
TEST_F(MainWindowTest, LogOffAsksAsClosingDoesAndOnlyItsEndStopsTheWork)
{
    std::string map = TempFile("session.map"), saved = TempFile("session_saved.map");
    WriteFileBytes(map, MakeMapBytes(201, 1105, 1, 13, 9, ""));
    ASSERT_TRUE(Load(map) && ConnectCom1());
    Form()->LogtoFile1Click(Form());
    // The answer, the save dialog answered, a command holding the port.
    struct { int Answer; bool Chosen, Held; LRESULT Ends; } rows[] = {
        {mrCancel, 1, 0, FALSE}, {mrNo, 1, 0, TRUE}, {mrYes, 0, 0, FALSE}, {mrNo, 1, 1, FALSE}, {mrYes, 1, 0, TRUE}};
    for (auto row : rows) {
        Questions.clear();
        Form()->MapEdited = true;
        Form()->TransferActive = row.Held;
        QuestionAnswer = row.Answer;
        AnswerFileDialogs({saved}, row.Chosen);
        EXPECT_EQ(row.Ends, SendMessageA(Form()->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
        Form()->TransferActive = false;
        EXPECT_EQ(row.Held ? 0u : 1u, Questions.size());
        EXPECT_EQ(row.Ends && row.Answer == mrYes, !ReadFileBytes(saved).empty());
    }
    for (bool ending : {false, true}) {
        SendMessageA(Form()->Handle(), WM_ENDSESSION, ending, ENDSESSION_LOGOFF);
        EXPECT_EQ(!ending, Form()->Port.IsOpen() && !Form()->MonitorThread->Finished() && Form()->Logging);
        EXPECT_EQ(ending ? "1" : "0", TIniFile(SettingsPath).ReadString("ComPort", "Port", "?"));
    }
}

}  // namespace

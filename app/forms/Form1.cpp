// The main window: construction and destruction, the status line, closing,
// advanced mode, the About box and the logo's hidden sounds.
#include "Form1.h"

#include "Application.h"
#include "Form10.h"
#include "IniFiles.h"
#include "MonitorThread.h"
#include "Printers.h"
#include "SettingsFile.h"
#include "SysUtils.h"
#include "Version.h"

#include <mmsystem.h>

#include <cstdlib>
#include <ctime>

TForm1* Form1 = nullptr;

TFont* GetUiFont()
{
    return Form1 ? Form1->UiFont : nullptr;
}

const TFormTable* TForm1::Table()
{
    static const TFormTable table = {
        {
            GANTREL_FIELD(TForm1, ResizerPanel1), GANTREL_FIELD(TForm1, EpIITabControl1),
            GANTREL_FIELD(TForm1, StringGrid1), GANTREL_FIELD(TForm1, MonitorPanel), GANTREL_FIELD(TForm1, Label),
            GANTREL_FIELD(TForm1, TPos), GANTREL_FIELD(TForm1, FuelCh), GANTREL_FIELD(TForm1, TPOut),
            GANTREL_FIELD(TForm1, ManChg), GANTREL_FIELD(TForm1, ignAdv), GANTREL_FIELD(TForm1, RpmVal),
            GANTREL_FIELD(TForm1, TPosVal), GANTREL_FIELD(TForm1, FuelChVal), GANTREL_FIELD(TForm1, TPosOutVal),
            GANTREL_FIELD(TForm1, ManChgVal), GANTREL_FIELD(TForm1, IgnVal), GANTREL_FIELD(TForm1, Label1),
            GANTREL_FIELD(TForm1, Image1), GANTREL_FIELD(TForm1, Button1), GANTREL_FIELD(TForm1, Button3),
            GANTREL_FIELD(TForm1, Button4), GANTREL_FIELD(TForm1, Button5), GANTREL_FIELD(TForm1, Button7),
            GANTREL_FIELD(TForm1, Button8), GANTREL_FIELD(TForm1, Button9), GANTREL_FIELD(TForm1, Button10),
            GANTREL_FIELD(TForm1, epLabelButton1), GANTREL_FIELD(TForm1, ProgressBar1),
            GANTREL_FIELD(TForm1, StatusBar1), GANTREL_FIELD(TForm1, MainMenu1), GANTREL_FIELD(TForm1, File1),
            GANTREL_FIELD(TForm1, Load1), GANTREL_FIELD(TForm1, Save1), GANTREL_FIELD(TForm1, Print1),
            GANTREL_FIELD(TForm1, Exit1), GANTREL_FIELD(TForm1, View1), GANTREL_FIELD(TForm1, Notes1),
            GANTREL_FIELD(TForm1, Fuel1), GANTREL_FIELD(TForm1, TPOut1), GANTREL_FIELD(TForm1, MPChg1),
            GANTREL_FIELD(TForm1, IGNAdv1), GANTREL_FIELD(TForm1, Options1), GANTREL_FIELD(TForm1, Port1),
            GANTREL_FIELD(TForm1, Advanced1), GANTREL_FIELD(TForm1, ResetButtonsonUpload1),
            GANTREL_FIELD(TForm1, LogtoFile1), GANTREL_FIELD(TForm1, Font1), GANTREL_FIELD(TForm1, Com11),
            GANTREL_FIELD(TForm1, Com21), GANTREL_FIELD(TForm1, Com31), GANTREL_FIELD(TForm1, Com41),
            GANTREL_FIELD(TForm1, Com51), GANTREL_FIELD(TForm1, Com61), GANTREL_FIELD(TForm1, Com71),
            GANTREL_FIELD(TForm1, Com81), GANTREL_FIELD(TForm1, None1), GANTREL_FIELD(TForm1, Auto1),
            GANTREL_FIELD(TForm1, Utilities1), GANTREL_FIELD(TForm1, Upload1),
            GANTREL_FIELD(TForm1, UploadCurrent1), GANTREL_FIELD(TForm1, GetMap1),
            GANTREL_FIELD(TForm1, GetCurrent1), GANTREL_FIELD(TForm1, Compare1), GANTREL_FIELD(TForm1, SetTP1),
            GANTREL_FIELD(TForm1, HardwareInfo1), GANTREL_FIELD(TForm1, SetCurrentMap2),
            GANTREL_FIELD(TForm1, SetFuelTrimValues1), GANTREL_FIELD(TForm1, O2Change1),
            GANTREL_FIELD(TForm1, N21), GANTREL_FIELD(TForm1, N11), GANTREL_FIELD(TForm1, N01),
            GANTREL_FIELD(TForm1, SendCurrentMapToHandheld1), GANTREL_FIELD(TForm1, SendMapsToHandheld1),
            GANTREL_FIELD(TForm1, Help1), GANTREL_FIELD(TForm1, AboutGantrelControlCenter1),
            GANTREL_FIELD(TForm1, EpPopupMenu1), GANTREL_FIELD(TForm1, PopFVersion),
            GANTREL_FIELD(TForm1, LoadFile1), GANTREL_FIELD(TForm1, SaveFile1), GANTREL_FIELD(TForm1, Copy1),
            GANTREL_FIELD(TForm1, Paste1), GANTREL_FIELD(TForm1, SelectAll1), GANTREL_FIELD(TForm1, EpPopupMenu2),
            GANTREL_FIELD(TForm1, PopGNVersion), GANTREL_FIELD(TForm1, PopFirmVersion),
            GANTREL_FIELD(TForm1, PopPort1), GANTREL_FIELD(TForm1, Com12), GANTREL_FIELD(TForm1, Com22),
            GANTREL_FIELD(TForm1, Com32), GANTREL_FIELD(TForm1, Com42), GANTREL_FIELD(TForm1, Com52),
            GANTREL_FIELD(TForm1, Com62), GANTREL_FIELD(TForm1, Com72), GANTREL_FIELD(TForm1, Com82),
            GANTREL_FIELD(TForm1, None2), GANTREL_FIELD(TForm1, Auto2), GANTREL_FIELD(TForm1, Timer1),
            GANTREL_FIELD(TForm1, Timer2), GANTREL_FIELD(TForm1, Timer3), GANTREL_FIELD(TForm1, SaveDialog1),
            GANTREL_FIELD(TForm1, GantOpenDialog1), GANTREL_FIELD(TForm1, FontDialog1),
        },
        {
            GANTREL_HANDLER(TForm1, FormActivate), GANTREL_HANDLER(TForm1, FormCloseQuery),
            GANTREL_HANDLER(TForm1, FormClose), GANTREL_HANDLER(TForm1, FormQueryEndSession),
            GANTREL_HANDLER(TForm1, FormEndSession), GANTREL_HANDLER(TForm1, Exit1Click),
            GANTREL_HANDLER(TForm1, Timer1Timer), GANTREL_HANDLER(TForm1, Timer2Timer),
            GANTREL_HANDLER(TForm1, Timer3Timer), GANTREL_HANDLER(TForm1, Image1Click),
            GANTREL_HANDLER(TForm1, Advanced1Click), GANTREL_HANDLER(TForm1, AboutGantrelControlCenter1Click),
            GANTREL_HANDLER(TForm1, Font1Click), GANTREL_HANDLER(TForm1, ResetButtonsonUpload1Click),
            GANTREL_HANDLER(TForm1, LogtoFile1Click), GANTREL_HANDLER(TForm1, Fuel1Click),
            GANTREL_HANDLER(TForm1, TPOut1Click), GANTREL_HANDLER(TForm1, MPChg1Click),
            GANTREL_HANDLER(TForm1, IGNAdv1Click), GANTREL_HANDLER(TForm1, Com11Click),
            GANTREL_HANDLER(TForm1, Com21Click), GANTREL_HANDLER(TForm1, Com31Click),
            GANTREL_HANDLER(TForm1, Com41Click), GANTREL_HANDLER(TForm1, Com51Click),
            GANTREL_HANDLER(TForm1, Com61Click), GANTREL_HANDLER(TForm1, Com71Click),
            GANTREL_HANDLER(TForm1, Com81Click), GANTREL_HANDLER(TForm1, None1Click),
            GANTREL_HANDLER(TForm1, Auto1Click), GANTREL_HANDLER(TForm1, Button1Click),
            GANTREL_HANDLER(TForm1, Button3Click), GANTREL_HANDLER(TForm1, Button4Click),
            GANTREL_HANDLER(TForm1, Button5Click), GANTREL_HANDLER(TForm1, Button6Click),
            GANTREL_HANDLER(TForm1, Button7Click), GANTREL_HANDLER(TForm1, Button8Click),
            GANTREL_HANDLER(TForm1, Button9Click), GANTREL_HANDLER(TForm1, Button10Click),
            GANTREL_HANDLER(TForm1, Print1Click), GANTREL_HANDLER(TForm1, SetTP1Click),
            GANTREL_HANDLER(TForm1, HardwareInfo1Click), GANTREL_HANDLER(TForm1, SetCurrentMap1Click),
            GANTREL_HANDLER(TForm1, SetFuelTrimValues1Click), GANTREL_HANDLER(TForm1, N21Click),
            GANTREL_HANDLER(TForm1, N11Click), GANTREL_HANDLER(TForm1, N01Click),
            GANTREL_HANDLER(TForm1, O2ButtonClick), GANTREL_HANDLER(TForm1, SlideChange),
            GANTREL_HANDLER(TForm1, epEfRndBtn2Click), GANTREL_HANDLER(TForm1, SendCurrentMapToHandheld1Click),
            GANTREL_HANDLER(TForm1, SendMapsToHandheld1Click), GANTREL_HANDLER(TForm1, EpIITabControl1Change),
            GANTREL_HANDLER(TForm1, StringGrid1Click), GANTREL_HANDLER(TForm1, StringGrid1Exit),
            GANTREL_HANDLER(TForm1, StringGrid1KeyDown), GANTREL_HANDLER(TForm1, StringGrid1KeyUp),
            GANTREL_HANDLER(TForm1, StringGrid1GetCellColor), GANTREL_HANDLER(TForm1, StringGrid1DrawCell),
            GANTREL_HANDLER(TForm1, Copy1Click), GANTREL_HANDLER(TForm1, Paste1Click),
            GANTREL_HANDLER(TForm1, SelectAll1Click),
        },
    };
    return &table;
}

TForm1::TForm1(TComponent* owner) : TForm(owner, 0)
{
    Form1 = this;
    ReadFormResource(this, Table());
    SettingsPath = SettingsFileName();

    // The print command only where there is a printer.
    if (PrinterAvailable())
        PrintDialog = new TPrintDialog(this);
    else
        Print1->SetVisible(false);

    LinkCounter = 0;
    MonitorThread = new TMonitorThread(this);
    UiFont = new TFont;

    if (!Image1->Picture()->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), "Logo")) MessageBeep(0);

    Config.LanguageBase = Language.Detect();
    if (Language.GetBase() == TLanguage::Japanese) {
        TIniFile ini(SettingsPath);
        // MS Gothic, by its Japanese name in Shift-JIS.
        UiFont->SetName(ini.ReadString("Font", "Name", "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E"));
        UiFont->SetSize(ini.ReadInteger("Font", "Size", 10));
        UiFont->SetCharset(ini.ReadInteger("Font", "CharSet", 1));
        Font1->SetVisible(true);
        ResizerPanel1->SetFont(UiFont);
        EpPopupMenu1->SetItemFont(UiFont);
        EpPopupMenu2->SetItemFont(UiFont);
    } else {
        Font1->SetVisible(false);
    }

    ApplyLanguageTexts();

    SetStatusPanel(2, Text(205));
    for (TButton* button : {Button1, Button3, Button5, Button7, Button8, Button9, Button10}) button->SetEnabled(false);
    Compare1->SetVisible(false);
    UploadCurrent1->SetVisible(false);
    GetCurrent1->SetVisible(false);
    ProgressBar1->SetVisible(false);
    SetStatusPanel(0, "");
    SetStatusPanel(1, "");
    ShowStatus(Text(130));

    LoadSettings();
    ResetButtonsonUpload1->SetChecked(ResetButtons);

    // Placeholders until a map is loaded.
    StringGrid1->SetColCount(10);
    StringGrid1->SetRowCount(13);
    for (int c = 0; c < 10; ++c)
        for (int r = 0; r < 13; ++r) StringGrid1->SetCells(c, r, r == 0 || c == 0 ? "X" : "--");
    StringGrid1->SetCells(0, 0, "");

    LoadCommandLineMap();
}

TForm1::~TForm1()
{
    BeginDestroy();
    // The thread goes before anything it uses.
    StopMonitor();
    delete MonitorThread;
    MonitorThread = nullptr;
    Port.Close();
    delete UiFont;
    UiFont = nullptr;
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::StopMonitor()
{
    if (!MonitorThread) return;
    // Terminated first, so that a thread never started ends at once.
    MonitorThread->Terminate();
    MonitorThread->Resume();
    MonitorThread->WaitFor();
}

void TForm1::SetStatusPanel(int index, const std::string& text)
{
    if (index < StatusBar1->Panels()->Count()) StatusBar1->Panels()->Items(index)->SetText(text);
}

std::string TForm1::Text(int id) const
{
    return LoadStr(Language.GetBase() + id);
}

void TForm1::ShowStatus(const std::string& text, bool centred)
{
    Label1->SetAlignment(centred ? taCenter : taLeftJustify);
    Label1->SetCaption(text);
    Timer1->SetEnabled(false);
    Timer1->SetEnabled(true);
}

void TForm1::Timer1Timer(TObject*)
{
    Label1->SetCaption("");
    Timer1->SetEnabled(false);
}

int TForm1::AskSaveChanges()
{
    int id = NotesEdited && MapEdited ? 216 : NotesEdited ? 214 : MapEdited ? 215 : 0;
    if (!id) return mrNo;
    return MessageDlg(Text(id), mtConfirmation, mbYesNoCancel);
}

int TForm1::SaveChangesFirst()
{
    // A command inside its message pump still uses the port and the window.
    if (!PortCommandMayStart()) return mrCancel;
    int answer = AskSaveChanges();
    if (answer != mrYes) return answer;
    StringGrid1Exit(this);
    // A save that did not happen keeps the window: nothing is lost.
    return SaveMapFile() ? mrYes : mrCancel;
}

void TForm1::StopWork()
{
    Timer1->SetEnabled(false);
    Timer2->SetEnabled(false);
    Sleep(100);
    // The monitor may be inside a read: it ends before its port closes.
    StopMonitor();
    Port.Close();
}

void TForm1::EndWork()
{
    if (LogtoFile1->Checked()) LogtoFile1Click(this);
    SaveSettings();
    LinkCounter = 0;
    StopMonitor();
    Port.Close();
}

void TForm1::FormCloseQuery(TObject*, bool& canClose)
{
    int answer = SaveChangesFirst();
    canClose = answer != mrCancel;
    if (!canClose) return;
    if (answer == mrYes) {
        LinkCounter = 0;
        Sleep(100);
    }
    StopWork();
}

void TForm1::FormClose(TObject*, TCloseAction& action)
{
    EndWork();
    action = caFree;
}

void TForm1::FormQueryEndSession(TObject*, bool& canEnd)
{
    // Only the question: another program may still cancel the log-off,
    // and then everything goes on as it was.
    canEnd = SaveChangesFirst() != mrCancel;
}

void TForm1::FormEndSession(TObject*, bool ending)
{
    // The system ends the program without closing the window.
    if (!ending) return;
    StopWork();
    EndWork();
}

void TForm1::Exit1Click(TObject*)
{
    Close();
}

void TForm1::FormActivate(TObject*) {}

void TForm1::WndProc(TMessage& m)
{
    // The system menu's close takes the same road as File > Exit.
    if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_CLOSE && HandleAllocated()) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE;
        HMENU menu = GetSystemMenu(Handle(), FALSE);
        if (menu && GetMenuItemInfoA(menu, SC_CLOSE, FALSE, &info)) {
            Exit1Click(this);
            return;
        }
    }
    TForm::WndProc(m);
}

void TForm1::Advanced1Click(TObject*)
{
    Advanced1->SetChecked(!Advanced1->Checked());
    Config.Advanced = Advanced1->Checked();
    if (FileChosen) ShowAdvancedControls();
}

void TForm1::ShowAdvancedControls()
{
    TWindowChanges changes;
    Config.ShowAdvancedControls(Advanced1->Checked(), changes);
    ApplyWindowChanges(changes);
}

std::string TForm1::FileVersion()
{
    std::string version = FileVersionString(Application->ExeName());
    return version.substr(0, 31);
}

void TForm1::AboutGantrelControlCenter1Click(TObject*)
{
    std::string text = Text(TextId::AboutVersion) + FileVersion();
    Form10->Label1->SetCaption(text);
    Form10->Label2->SetCaption(text);
    Form10->ShowModal();
}

void TForm1::Image1Click(TObject*)
{
    std::srand(unsigned(std::time(nullptr)));
    if (GetAsyncKeyState(VK_F12) >= 0 || GetAsyncKeyState(VK_F9) >= 0) return;
    bool alt = GetAsyncKeyState(VK_MENU) < 0;
    PlaySoundA(alt ? "AltKitty" : "BadKitty", GetModuleHandleA(nullptr), SND_RESOURCE | SND_ASYNC);
    Timer3->SetInterval(unsigned((std::rand() % 200) * 100 + (alt ? 24600 : 14800)));
    Timer3->SetEnabled(false);
    Timer3->SetEnabled(true);
}

void TForm1::Timer3Timer(TObject*)
{
    PlaySoundA("Meow", GetModuleHandleA(nullptr), SND_RESOURCE | SND_ASYNC);
    Timer3->SetInterval(unsigned((std::rand() % 200) * 100 + 5000));
}

void TForm1::ResetButtonsonUpload1Click(TObject*)
{
    ResetButtonsonUpload1->SetChecked(!ResetButtonsonUpload1->Checked());
    ResetButtons = ResetButtonsonUpload1->Checked();
}

// Menu items for the live values: they do nothing.
void TForm1::Fuel1Click(TObject*) {}
void TForm1::TPOut1Click(TObject*) {}
void TForm1::MPChg1Click(TObject*) {}
void TForm1::IGNAdv1Click(TObject*) {}

void TForm1::ApplyWindowChanges(const TWindowChanges& changes)
{
    for (const auto& [name, visible] : changes.Visible) {
        TComponent* c = FindComponent(name);
        if (auto* control = dynamic_cast<TControl*>(c))
            control->SetVisible(visible);
        else if (auto* item = dynamic_cast<TMenuItem*>(c))
            item->SetVisible(visible);
    }
    for (const auto& [name, caption] : changes.Caption) {
        TComponent* c = FindComponent(name);
        if (auto* control = dynamic_cast<TControl*>(c))
            control->SetCaption(caption);
        else if (auto* item = dynamic_cast<TMenuItem*>(c))
            item->SetCaption(caption);
    }
    if (changes.O2Controls) {
        epLabelButton1->SetVisible(*changes.O2Controls);
        O2Change1->SetVisible(*changes.O2Controls);
    }
    if (!changes.Logo.empty() &&
        !Image1->Picture()->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), changes.Logo))
        MessageBeep(0);
    if (!changes.StatusText.empty()) {
        ShowStatus(changes.StatusText);
        Repaint();
    }
}

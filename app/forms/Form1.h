// TForm1, the main window: it owns everything the tuning tool keeps for its
// whole run (the controller port, the table kinds and sets, the language,
// the configuration, the monitor thread, the shared interface font) and
// holds the map grid, the live values and the commands.
#pragma once

#include "Button.h"
#include "ComPort.h"
#include "Configuration.h"
#include "Dialogs.h"
#include "GantOpenDialog.h"
#include "EmiStringGrid.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "Language.h"
#include "ProgressBar.h"
#include "ResizerPanel.h"
#include "SkinSeam.h"
#include "StatusBar.h"
#include "TableKind.h"
#include "TextIds.h"
#include "Timer.h"

#include <atomic>
#include <ctime>
#include <string>

class TEditNotes;
class TIniFile;
class TMonitorThread;
class TPrinter;

class TForm1 : public TForm {
    GANTREL_CLASS(TForm1)

    explicit TForm1(TComponent* owner);
    ~TForm1() override;

    // Components of the form resource.
    TResizerPanel* ResizerPanel1 = nullptr;
    TEpIITabControl* EpIITabControl1 = nullptr;
    TEmiStringGrid* StringGrid1 = nullptr;
    TPanel* MonitorPanel = nullptr;
    TLabel* Label = nullptr;  // the engine-speed caption
    TLabel* TPos = nullptr;
    TLabel* FuelCh = nullptr;
    TLabel* TPOut = nullptr;
    TLabel* ManChg = nullptr;
    TLabel* ignAdv = nullptr;
    TLabel* RpmVal = nullptr;
    TLabel* TPosVal = nullptr;
    TLabel* FuelChVal = nullptr;
    TLabel* TPosOutVal = nullptr;
    TLabel* ManChgVal = nullptr;
    TLabel* IgnVal = nullptr;
    TLabel* Label1 = nullptr;  // the status text
    TImage* Image1 = nullptr;
    TButton *Button1 = nullptr, *Button3 = nullptr, *Button4 = nullptr, *Button5 = nullptr;
    TButton *Button7 = nullptr, *Button8 = nullptr, *Button9 = nullptr, *Button10 = nullptr;
    TLabel* epLabelButton1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem *File1 = nullptr, *Load1 = nullptr, *Save1 = nullptr, *Print1 = nullptr, *Exit1 = nullptr;
    TMenuItem *View1 = nullptr, *Notes1 = nullptr, *Fuel1 = nullptr, *TPOut1 = nullptr, *MPChg1 = nullptr,
              *IGNAdv1 = nullptr;
    TMenuItem *Options1 = nullptr, *Port1 = nullptr, *Advanced1 = nullptr, *ResetButtonsonUpload1 = nullptr,
              *LogtoFile1 = nullptr, *Font1 = nullptr;
    TMenuItem *Com11 = nullptr, *Com21 = nullptr, *Com31 = nullptr, *Com41 = nullptr, *Com51 = nullptr,
              *Com61 = nullptr, *Com71 = nullptr, *Com81 = nullptr, *None1 = nullptr, *Auto1 = nullptr;
    TMenuItem *Utilities1 = nullptr, *Upload1 = nullptr, *UploadCurrent1 = nullptr, *GetMap1 = nullptr,
              *GetCurrent1 = nullptr, *Compare1 = nullptr, *SetTP1 = nullptr, *HardwareInfo1 = nullptr,
              *SetCurrentMap2 = nullptr, *SetFuelTrimValues1 = nullptr, *O2Change1 = nullptr;
    TMenuItem *N21 = nullptr, *N11 = nullptr, *N01 = nullptr;
    TMenuItem *SendCurrentMapToHandheld1 = nullptr, *SendMapsToHandheld1 = nullptr;
    TMenuItem *Help1 = nullptr, *AboutGantrelControlCenter1 = nullptr;
    TEpPopupMenu* EpPopupMenu1 = nullptr;
    TEpItem *PopFVersion = nullptr, *LoadFile1 = nullptr, *SaveFile1 = nullptr, *Copy1 = nullptr,
            *Paste1 = nullptr, *SelectAll1 = nullptr;
    TEpPopupMenu* EpPopupMenu2 = nullptr;
    TEpItem *PopGNVersion = nullptr, *PopFirmVersion = nullptr, *PopPort1 = nullptr;
    TEpItem *Com12 = nullptr, *Com22 = nullptr, *Com32 = nullptr, *Com42 = nullptr, *Com52 = nullptr,
            *Com62 = nullptr, *Com72 = nullptr, *Com82 = nullptr, *None2 = nullptr, *Auto2 = nullptr;
    TTimer *Timer1 = nullptr, *Timer2 = nullptr, *Timer3 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TGantOpenDialog* GantOpenDialog1 = nullptr;
    TFontDialog* FontDialog1 = nullptr;

    // Handlers.
    void FormActivate(TObject* sender);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void FormClose(TObject* sender, TCloseAction& action);
    void FormQueryEndSession(TObject* sender, bool& canEnd);
    void FormEndSession(TObject* sender, bool ending);
    void Exit1Click(TObject* sender);
    void Timer1Timer(TObject* sender);
    void Timer2Timer(TObject* sender);
    void Timer3Timer(TObject* sender);
    void Image1Click(TObject* sender);
    void Advanced1Click(TObject* sender);
    void AboutGantrelControlCenter1Click(TObject* sender);
    void Font1Click(TObject* sender);
    void ResetButtonsonUpload1Click(TObject* sender);
    void LogtoFile1Click(TObject* sender);
    void Fuel1Click(TObject* sender);
    void TPOut1Click(TObject* sender);
    void MPChg1Click(TObject* sender);
    void IGNAdv1Click(TObject* sender);
    void Com11Click(TObject* sender);
    void Com21Click(TObject* sender);
    void Com31Click(TObject* sender);
    void Com41Click(TObject* sender);
    void Com51Click(TObject* sender);
    void Com61Click(TObject* sender);
    void Com71Click(TObject* sender);
    void Com81Click(TObject* sender);
    void None1Click(TObject* sender);
    void Auto1Click(TObject* sender);
    void Button1Click(TObject* sender);
    void Button3Click(TObject* sender);
    void Button4Click(TObject* sender);
    void Button5Click(TObject* sender);
    void Button6Click(TObject* sender);
    void Button7Click(TObject* sender);
    void Button8Click(TObject* sender);
    void Button9Click(TObject* sender);
    void Button10Click(TObject* sender);
    void Print1Click(TObject* sender);
    void SetTP1Click(TObject* sender);
    void HardwareInfo1Click(TObject* sender);
    void SetCurrentMap1Click(TObject* sender);
    void SetFuelTrimValues1Click(TObject* sender);
    void N21Click(TObject* sender);
    void N11Click(TObject* sender);
    void N01Click(TObject* sender);
    void O2ButtonClick(TObject* sender);
    void SlideChange(TObject* sender);
    void epEfRndBtn2Click(TObject* sender);
    void SendCurrentMapToHandheld1Click(TObject* sender);
    void SendMapsToHandheld1Click(TObject* sender);
    void EpIITabControl1Change(TObject* sender);
    void StringGrid1Click(TObject* sender);
    void StringGrid1Exit(TObject* sender);
    void StringGrid1KeyDown(TObject* sender, WORD& key, TShiftState shift);
    void StringGrid1KeyUp(TObject* sender, WORD& key, TShiftState shift);
    void StringGrid1GetCellColor(TObject* sender, int row, int col, TGridDrawState state,
                                 TCellAlignment& alignment, bool& multiLine, TBrush* brush, TFont* font);
    void StringGrid1DrawCell(TObject* sender, int col, int row, const RECT& rect, TGridDrawState state);
    void Copy1Click(TObject* sender);
    void Paste1Click(TObject* sender);
    void SelectAll1Click(TObject* sender);

    // What the tool keeps for its whole run.
    TComPort Port;
    TTableKinds Kinds;
    TLanguage Language;
    TConfiguration Config{Kinds};
    TMonitorThread* MonitorThread = nullptr;
    TFont* UiFont = nullptr;
    TPrintDialog* PrintDialog = nullptr;

    // Settings and state.
    std::string SettingsPath;
    bool NoLimit = false;
    bool ResetButtons = true;
    std::string MapDirectory;
    bool Logging = false;
    std::clock_t LoggingStart = 0;
    bool FileLoaded = false;
    bool FileChosen = false;
    bool NotesEdited = false;
    bool MapEdited = false;
    bool CompareWindowOpen = false;
    TEditNotes* NotesWindow = nullptr;

    // The link, shared with the monitor thread: 1001 while searching, 0
    // after a good poll, 1, 2 ... failed polls in a row.
    std::atomic<int> LinkCounter{0};
    std::atomic<bool> RedetectRequest{false};
    std::string PortOpenName;     // "com3"
    std::string PortDisplayName;  // "COM3"
    bool Accepted = false;
    bool ChosenByUser = false;

    // The loaded map.
    std::string CurrentFileName;
    std::string FileDate;
    TMapHeader KeptHeader;
    int NotesLength = 0;
    float TpFactors[4] = {0, 0, 0, 0};
    // From a loaded map's header, or derived from a calibration block in
    // this run; until then the unit's extra throttle points are kept.
    bool TpFactorsKnown = false;
    int CurrentTable = 0;
    bool TableStepForward = true;
    // ShowTable is selecting the shown table's tab: the tab control reports
    // that as a change, which must neither store the grid again nor move
    // the focus.
    bool SelectingTab = false;

    // The status line: the text shows for 3 s (the status timer clears it).
    void ShowStatus(const std::string& text, bool centred = true);
    // Interface text n in the user's language.
    std::string Text(int id) const;
    // What identification or a map decided for the window.
    void ApplyWindowChanges(const TWindowChanges& changes);
    void ApplyLanguageTexts();
    void LoadSettings();
    void SaveSettings();
    // "Your map has been edited. Save the map file?": mrYes, mrNo or mrCancel.
    int AskSaveChanges();
    // Closing's question, refused while a command holds the port: mrYes
    // (saved), mrNo, or mrCancel (refused, cancelled, or not saved).
    int SaveChangesFirst();
    // What closing does after its question: the timers and the monitor
    // stopped, the port closed ...
    void StopWork();
    // ... and, as the window goes, the log ended and the settings written.
    void EndWork();
    void ShowAdvancedControls();
    static std::string FileVersion();
    void SetStatusPanel(int index, const std::string& text);

    // Ports and the monitor.
    void SelectPort(int n);
    // The port items' command: SelectPort, refused while another command runs.
    void PortItemClick(int n);
    // None's work: the monitor suspended, the port closed. False (with the
    // busy text, nothing changed) when the monitor did not let go of it.
    bool ReleasePort();
    void CheckPortItem(int index);  // 0..7 the ports, 8 None, 9 Auto
    void AcceptComClick(TObject* sender);
    void ShowNoLiveValues();
    // Holds the monitor still (true) or lets it go on (false). True when
    // the monitor holds still, or never ran.
    bool PauseMonitor(bool pause);
    // The start of every exchange of the window's own: false (and nothing
    // paused) when the monitor did not let go of the port in time.
    bool PauseForTransfer();
    // Ends the monitor thread for good (the window is closing).
    void StopMonitor();

    // The grid.
    TTableKind* CurrentKind() const;
    // Whether every cell of the grid holds its table's value (nothing to store).
    bool GridMatchesTable() const;
    void ShowTable(int index, bool switchTab);
    int FindBreakpointRow(int value) const;
    void AddToSelection(int delta);
    void Correct(int col, int row, int value, const std::string& message);
    void UploadCurrentFromKey();

    // Map files and notes.
    // savedMap: the file just written from the map in memory is read back,
    // which replaces nothing.
    bool LoadMapFile(const std::string& name, bool savedMap = false);
    void ShowLoadedMap(const std::string& name);
    void LoadCommandLineMap();
    // False when the map was not saved (cancelled or failed).
    bool SaveMapFile();
    void SetFileCommandsEnabled(bool enabled);
    void SetLoadCommandsEnabled(bool enabled);

    // Transfers: get, upload and verify tables; the O2 setting.
    uint8_t TablePosition = 0;   // 0..2: added to every wire table number (version-2 units)
    bool AskForPosition = true;  // clear while the Insert key uploads with a preset position
    int DifferenceCount = 0;     // bytes that read back different; -1 after a failed read-back
    bool TransferActive = false; // a command has the controller's port (see TPortCommand)
    // Whether a command that talks to the controller or closes its port may
    // start: false, with a beep and the busy text, while another one runs.
    bool PortCommandMayStart();
    // The status label shows "O2 Change: 2" for 12, ": 1" for 11, ": 0"
    // otherwise; the O2 dialog's choice follows.
    void ShowO2Setting(uint8_t value);
    // A setting the user chose: shown, and written with the next upload.
    void ChooseO2(uint8_t value);
    // Byte positions 0..count-1 where the two buffers differ.
    static int CountDifferences(const uint8_t* sent, const uint8_t* readBack, int count);
    // The start every transfer shares: monitor held, controller identified
    // and matched against the map, table position chosen. False (monitor
    // released, the reason shown) when the transfer must not go on.
    bool StartTransfer(bool upload, bool askPosition);
    // The controller's version, configured for; negative when none answered
    // or its version is not served.
    int IdentifyForTransfer();
    // After an upload: the buttons reset and a pending O2 setting written,
    // as the option and the unit ask. False, with the step's text, when the
    // bytes to change could not be read (nothing is written then).
    bool ResetButtonsAndWriteO2(std::string& failedStep);
    // Table 4's O2 byte into the O2 setting; false when it could not be read.
    bool ReadO2Setting();
    // Whether the unit keeps an O2 setting in table 4: the O2 option on the
    // generations that show it (on version 2, table 4 is a map table).
    bool ControllerHasO2() const;
    // A step's text in the status label, painted at once: the transfer
    // holds the thread until it ends.
    void ShowTransferStep(const std::string& text);
    void PaintNow();


    // The compare window.
    class TCompairForm* CompareWindow = nullptr;
    // "Continue compare?" was answered Yes in this run: not asked again.
    bool CompareAskedOnce = false;
    // The table position the compare reads (version-2 units; 0 for others).
    int ComparePosition = 0;
    // Identifies the controller before a compare (the monitor is held);
    // false when no controller this tool serves answers.
    bool IdentifyForCompare();


    // Printing.
    // Whether the system has a printer at all (the print dialog and the
    // "Print" item exist only then).
    static bool PrinterAvailable();
    // One table of the file set, its title above it, centred in rect.
    void PrintTable(TPrinter* printer, int index, const RECT& rect);
    // The file's name, date and type, with its notes when asked; returns
    // the header's bottom.
    int PrintHeader(TPrinter* printer, bool withNotes);
    // Returns the height of the footer band the number stands in.
    int PrintPageNumber(TPrinter* printer, int page);
    // The largest point size at which tablesPerRow grids fit the page side
    // by side (0 when even 1 point is too big); the canvas gets it.
    int FitPrinterFont(TPrinter* printer, int tablesPerRow);


    // Controller settings dialogs.


    // The handheld.
    // "com3" gives 3; 0 when no port is set or its name ends in no number.
    int ControllerPortNumber() const;
    // COM1..COM4 are chosen again after a transfer; any other port is not.
    void SelectControllerPortAgain(int number);
    // The id the handheld knows the loaded map's unit by; 0 for none.
    int HandheldHardwareId() const;
    // Packs the loaded map into the handheld dialog's record and shows it.
    void SendMapToHandheld(int hardwareId);
    // Send Current Map To Handheld, inside a command that holds the port.
    void SendCurrentMapToHandheld();


    void WndProc(TMessage& message) override;
    static const TFormTable* Table();
};

// Held for the whole of a command that talks to the controller or closes
// its port. The pause handshake and the dialogs let messages run: a command
// started meanwhile is refused rather than working the port under the first
// one, or resuming the monitor under it.
class TPortCommand {
public:
    explicit TPortCommand(TForm1* form) : Form(form), Entered(form->PortCommandMayStart())
    {
        if (Entered) Form->TransferActive = true;
    }
    ~TPortCommand()
    {
        if (Entered) Form->TransferActive = false;
    }
    TPortCommand(const TPortCommand&) = delete;
    TPortCommand& operator=(const TPortCommand&) = delete;
    TForm1* const Form;
    const bool Entered;
};

// The shared interface font every window applies to itself.
TFont* GetUiFont();

// Places a window as the settings stored it. A width or height that is not
// positive gives the default; a placement that meets no monitor is moved
// onto the nearest monitor's work area, and shrunk to it where larger.
void SetStoredBounds(TCustomForm* form, int left, int top, int width, int height, int defaultWidth,
                     int defaultHeight);

extern TForm1* Form1;

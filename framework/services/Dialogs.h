// The platform's common dialogs (open, save, font, print) as components,
// and message boxes (MessageDlg, ShowMessage).
//
// Every dialog runs modal: the other windows of the program are disabled
// and the active form owns the dialog. While it runs, Handle() is the
// dialog window, whose messages pass through WndProc, and DoShow/DoClose
// mark its coming and going.
//
// Extending the open and save dialogs: name a DIALOG resource of the
// executable in Template (a child template: WS_CHILD | DS_CONTROL, with a
// static control of id 1119 where the standard controls go) and derive a
// class. Its controls live in TemplateHandle(), the child dialog; a
// framework control is put there in DoShow:
//
//   void TPreviewDialog::DoShow()
//   {
//       Preview = new TPanel(this);
//       Preview->ParentWindow = TemplateHandle();   // or Handle(): the whole dialog
//       Preview->SetBounds(...);
//       Preview->HandleNeeded();
//       TOpenDialog::DoShow();
//   }
//   void TPreviewDialog::DoClose() { Preview->Free(); Preview = nullptr; TOpenDialog::DoClose(); }
//
// DoClose runs while the dialog's windows still exist: free such controls
// there, since their windows go with the dialog.
//
// Tests cannot click a dialog: TCommonDialog::ExecuteHook and
// MessageDlgHook, when set, answer in place of the platform.
#pragma once

#include "Component.h"
#include "Font.h"
#include "Strings.h"

#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

// A replaceable function for tests, used as a global or static member. It
// keeps its function on the heap so that it is built at compile time and
// no code runs for it before the program starts. Assign a function (or
// nullptr), test it, call it.
template <typename Signature>
class TTestHook;

template <typename R, typename... Args>
class TTestHook<R(Args...)> {
public:
    using Function = std::function<R(Args...)>;

    constexpr TTestHook() = default;
    TTestHook(const TTestHook&) = delete;
    TTestHook& operator=(const TTestHook&) = delete;

    TTestHook& operator=(std::nullptr_t)
    {
        delete FFunction;
        FFunction = nullptr;
        return *this;
    }
    TTestHook& operator=(Function function)
    {
        if (!function) return *this = nullptr;
        if (FFunction)
            *FFunction = std::move(function);
        else
            FFunction = new Function(std::move(function));
        return *this;
    }
    explicit operator bool() const { return FFunction != nullptr; }
    R operator()(Args... args) const { return (*FFunction)(std::forward<Args>(args)...); }
    // A copy of the function, to put back later.
    Function Get() const { return FFunction ? *FFunction : Function(); }

private:
    Function* FFunction = nullptr;
};

class TCommonDialog : public TComponent {
    GANTREL_CLASS(TCommonDialog)

    explicit TCommonDialog(TComponent* owner);
    ~TCommonDialog() override;

    // Shows the dialog and waits; true when the user accepted it.
    virtual bool Execute();
    // The dialog window while it runs, else null.
    HWND Handle() const { return FHandle; }
    // The window the hook procedure serves: the child dialog of the
    // template (open and save dialogs), or the dialog itself.
    HWND TemplateHandle() const { return FTemplateHandle; }
    int HelpContext = 0;

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

    // Set by tests: Execute calls it instead of showing anything.
    static TTestHook<bool(TCommonDialog*)> ExecuteHook;

    // The messages of the dialog window; the default hands notifications
    // of framework controls back to them (CN_COMMAND, ...) and passes the
    // rest to the window's own procedure (through Dispatch and DefaultHandler).
    virtual void WndProc(TMessage& message);
    void DefaultHandler(TMessage& message) override;

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    // Shows the platform dialog; Execute calls it unless a test answers.
    virtual bool DoExecute() = 0;
    // The dialog's windows exist (and are laid out).
    virtual void DoShow();
    // The dialog window is being destroyed.
    virtual void DoClose();

    // Runs a platform dialog function modally: the owner window is the
    // active form's, the program's other windows are disabled meanwhile,
    // and the hook procedure (HookProc) binds the dialog to this object.
    bool RunModal(const std::function<BOOL(HWND owner)>& run);
    // Messages to the hook procedure; the result is the hook's return value.
    // The default binds the dialog on WM_INITDIALOG and hands notifications
    // of framework controls in the hook's window back to them.
    virtual UINT_PTR HookMessage(HWND hookWindow, UINT msg, WPARAM wParam, LPARAM lParam);
    static UINT_PTR CALLBACK HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    // Calls DoShow once per run.
    void Show();
    // Whether the last run's dialog came up. A platform dialog that fails
    // after it was shown leaves no reliable error code: it was cancelled.
    bool Appeared() const { return FAppeared; }

private:
    HWND FHandle = nullptr;
    HWND FTemplateHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    bool FAppeared = false;
    bool FShown = false;
    bool FClosed = false;
    void Attach(HWND dialog, HWND hookWindow);
    void Detach();
    static LRESULT CALLBACK DialogWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
};

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
    ofEnableIncludeNotify, ofEnableSizing,
};
using TOpenOptions = unsigned;  // bit per TOpenOption

class TOpenDialog : public TCommonDialog {
    GANTREL_CLASS(TOpenDialog)

    explicit TOpenDialog(TComponent* owner);
    ~TOpenDialog() override;

    // The chosen file (the first of several); set it to propose a name.
    // Cancelling the dialog leaves it as it was.
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& fileName) { FFileName = fileName; }
    // Every chosen file with its full path (several with ofAllowMultiSelect).
    TStrings* Files() const { return FFiles; }
    // Pairs of description and patterns: "Text files|*.txt|All files|*.*".
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& filter) { FFilter = filter; }
    // 1-based index of the chosen filter.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int index) { FFilterIndex = index; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& dir) { FInitialDir = dir; }
    // Appended when the user types a name without one ("txt", no dot).
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& ext);
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title) { FTitle = title; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions options) { FOptions = options; }
    // The name of a DIALOG resource of the executable that extends the dialog.
    const std::string& Template() const { return FTemplate; }
    void SetTemplate(const std::string& name) { FTemplate = name; }

    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnFolderChange;
    TNotifyEvent OnTypeChange;

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    bool DoExecute() override;
    // The selection changed; FileName is the file now selected (empty
    // when only a folder is).
    virtual void DoSelectionChange();
    virtual void DoFolderChange();
    // The filter changed; FilterIndex is the one now chosen.
    virtual void DoTypeChange();
    UINT_PTR HookMessage(HWND hookWindow, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Runs GetOpenFileNameA or GetSaveFileNameA with the dialog's settings.
    bool RunFileDialog(BOOL(WINAPI* function)(LPOPENFILENAMEA));

private:
    std::string FFileName;
    TStrings* FFiles;
    std::string FFilter;
    int FFilterIndex = 1;
    std::string FInitialDir;
    std::string FDefaultExt;
    std::string FTitle;
    TOpenOptions FOptions = (1u << ofHideReadOnly) | (1u << ofEnableSizing);
    std::string FTemplate;
    void ReadResult(const char* buffer, size_t size);
};

class TSaveDialog : public TOpenDialog {
    GANTREL_CLASS(TSaveDialog)

    using TOpenDialog::TOpenDialog;

protected:
    bool DoExecute() override;
};

enum TFontDialogOption {
    fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, fdNoOEMFonts,
    fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdLimitSize, fdScalableOnly,
};
using TFontDialogOptions = unsigned;  // bit per TFontDialogOption

class TFontDialog : public TCommonDialog {
    GANTREL_CLASS(TFontDialog)

    explicit TFontDialog(TComponent* owner);
    ~TFontDialog() override;

    // Copied into the dialog, and the user's choice copied back.
    TFont* Font() const { return FFont; }
    void SetFont(TFont* font) { FFont->Assign(font); }
    TFontDialogOptions Options() const { return FOptions; }
    void SetOptions(TFontDialogOptions options) { FOptions = options; }
    // Points; 0 leaves that end open. Either one limits the sizes offered.
    int MinFontSize = 0;
    int MaxFontSize = 0;

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    bool DoExecute() override;

private:
    TFont* FFont;
    TFontDialogOptions FOptions = 1u << fdEffects;
};

enum TPrintDialogOption { poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile };
using TPrintDialogOptions = unsigned;  // bit per TPrintDialogOption
enum TPrintRange { prAllPages, prSelection, prPageNums };

// Chooses the printer and the pages; the printer chosen becomes the one
// Printer() prints on.
class TPrintDialog : public TCommonDialog {
    GANTREL_CLASS(TPrintDialog)

    using TCommonDialog::TCommonDialog;

    int Copies = 1;
    bool Collate = false;
    bool PrintToFile = false;
    int FromPage = 0, ToPage = 0;
    int MinPage = 0, MaxPage = 0;
    TPrintDialogOptions Options = 0;
    TPrintRange PrintRange = prAllPages;

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    bool DoExecute() override;
};

// Message boxes with the application's title as caption.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = unsigned;  // bit per TMsgDlgBtn
constexpr TMsgDlgButtons mbYesNo = (1u << mbYes) | (1u << mbNo);
constexpr TMsgDlgButtons mbYesNoCancel = (1u << mbYes) | (1u << mbNo) | (1u << mbCancel);
constexpr TMsgDlgButtons mbOKCancel = (1u << mbOK) | (1u << mbCancel);
constexpr TMsgDlgButtons mbAbortRetryIgnore = (1u << mbAbort) | (1u << mbRetry) | (1u << mbIgnore);
constexpr TMsgDlgButtons mbRetryCancel = (1u << mbRetry) | (1u << mbCancel);

// Shows text with the buttons the platform's message box has closest to
// the set asked for (it knows OK, OK/Cancel, Yes/No, Yes/No/Cancel,
// Retry/Cancel and Abort/Retry/Ignore; mbAll, mbYesToAll and mbNoToAll
// fall back to Yes and No) and returns the modal result of the button
// pressed (mrYes, mrNo, mrCancel, ...).
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// Text and an OK button.
void ShowMessage(const std::string& text);

// Set by tests: MessageDlg and ShowMessage return its answer instead of
// showing a box.
extern TTestHook<int(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons)> MessageDlgHook;

#include "Dialogs.h"

#include "Application.h"
#include "Printers.h"
#include "Reader.h"
#include "SysUtils.h"
#include "WinControl.h"

#include <cderr.h>

#include <cstdio>
#include <cstring>
#include <vector>

TTestHook<bool(TCommonDialog*)> TCommonDialog::ExecuteHook;
TTestHook<int(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons)> MessageDlgHook;

namespace {

const char* const HookProperty = "GantrelDialogHook";
const char* const WindowProperty = "GantrelDialogWindow";

// The dialog whose platform function is running: its hook procedure's
// first message (WM_INITDIALOG) binds the hook window to it.
thread_local TCommonDialog* CreatingDialog = nullptr;

// The window a modal dialog or message box belongs to: the active form.
HWND ModalOwner()
{
    if (Screen) {
        TCustomForm* form = Screen->ActiveForm();
        if (form && form->HandleAllocated() && IsWindowVisible(form->Handle())) return form->Handle();
    }
    if (HWND active = GetActiveWindow()) return active;
    if (Application) {
        TCustomForm* main = Application->MainForm();
        if (main && main->HandleAllocated() && IsWindowVisible(main->Handle())) return main->Handle();
        return Application->Handle();
    }
    return nullptr;
}

// While a platform dialog runs, the program's other windows take no input,
// as with a modal form. The owner is left to the dialog, which disables it
// itself and enables it again before it goes.
class TModalScope {
public:
    explicit TModalScope(HWND owner) : FOwner(owner)
    {
        if (GetCapture()) ReleaseCapture();
        EnumThreadWindows(GetCurrentThreadId(), &Disable, reinterpret_cast<LPARAM>(this));
    }
    ~TModalScope()
    {
        for (HWND window : FWindows)
            if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;

private:
    HWND FOwner;
    std::vector<HWND> FWindows;
    static BOOL CALLBACK Disable(HWND window, LPARAM data)
    {
        auto* scope = reinterpret_cast<TModalScope*>(data);
        if (window != scope->FOwner && IsWindowVisible(window) && IsWindowEnabled(window)) {
            // No exception may leave a callback of the platform.
            try {
                scope->FWindows.push_back(window);
            } catch (...) {
                return FALSE;
            }
            EnableWindow(window, FALSE);
        }
        return TRUE;
    }
};

// Notifications that framework controls placed in a dialog send to their
// parent window, handed back to the control as the CN_ message it handles
// when its parent is a framework control. False when the sender is none.
bool ReflectToControl(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND child = nullptr;
    UINT reflected = 0;
    switch (msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(lParam); reflected = CN_COMMAND; break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom; reflected = CN_NOTIFY; break;
    case WM_CTLCOLORBTN: child = reinterpret_cast<HWND>(lParam); reflected = CN_CTLCOLORBTN; break;
    case WM_CTLCOLOREDIT: child = reinterpret_cast<HWND>(lParam); reflected = CN_CTLCOLOREDIT; break;
    case WM_CTLCOLORSTATIC: child = reinterpret_cast<HWND>(lParam); reflected = CN_CTLCOLORSTATIC; break;
    case WM_CTLCOLORLISTBOX: child = reinterpret_cast<HWND>(lParam); reflected = CN_CTLCOLORLISTBOX; break;
    case WM_DRAWITEM:
        if (reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) return false;
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        reflected = CN_DRAWITEM;
        break;
    case WM_HSCROLL: child = reinterpret_cast<HWND>(lParam); reflected = CN_HSCROLL; break;
    case WM_VSCROLL: child = reinterpret_cast<HWND>(lParam); reflected = CN_VSCROLL; break;
    default: return false;
    }
    TWinControl* control = TWinControl::FindControl(child);
    if (!control) return false;
    result = control->Perform(reflected, wParam, lParam);
    // A control that does not colour itself gets the dialog's colours.
    return !(reflected >= CN_CTLCOLORBTN && reflected <= CN_CTLCOLORLISTBOX && result == 0);
}

std::string Hex(unsigned long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%lX", value);
    return text;
}

struct TFlagBit {
    unsigned Option;
    DWORD Flag;
};

DWORD OptionFlags(unsigned options, const TFlagBit* table, size_t count)
{
    DWORD flags = 0;
    for (size_t i = 0; i < count; ++i)
        if (options & (1u << table[i].Option)) flags |= table[i].Flag;
    return flags;
}

const TFlagBit OpenFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoLongNames, OFN_NOLONGNAMES},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
};

const TFlagBit FontFlags[] = {
    {fdAnsiOnly, CF_ANSIONLY},
    {fdTrueTypeOnly, CF_TTONLY},
    {fdEffects, CF_EFFECTS},
    {fdFixedPitchOnly, CF_FIXEDPITCHONLY},
    {fdForceFontExist, CF_FORCEFONTEXIST},
    {fdNoFaceSel, CF_NOFACESEL},
    {fdNoOEMFonts, CF_NOOEMFONTS},
    {fdNoSimulations, CF_NOSIMULATIONS},
    {fdNoSizeSel, CF_NOSIZESEL},
    {fdNoStyleSel, CF_NOSTYLESEL},
    {fdNoVectorFonts, CF_NOVECTORFONTS},
    {fdShowHelp, CF_SHOWHELP},
    {fdLimitSize, CF_LIMITSIZE},
    {fdScalableOnly, CF_SCALABLEONLY},
};

// "Text|*.txt|All|*.*" -> "Text\0*.txt\0All\0*.*\0\0" (the last NUL is c_str's).
std::string PlatformFilter(const std::string& filter)
{
    if (filter.empty()) return filter;
    std::string result = filter;
    for (char& c : result)
        if (c == '|') c = '\0';
    result += '\0';
    return result;
}

// Global memory the print dialog takes and gives back.
HGLOBAL GlobalCopy(const void* data, size_t size)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!memory) return nullptr;
    if (void* p = GlobalLock(memory)) {
        std::memcpy(p, data, size);
        GlobalUnlock(memory);
    }
    return memory;
}

HGLOBAL MakeDevNames(const std::string& device)
{
    static const char driver[] = "winspool";
    std::vector<char> data(sizeof(DEVNAMES));
    auto add = [&data](const std::string& text) {
        WORD offset = WORD(data.size());
        data.insert(data.end(), text.begin(), text.end());
        data.push_back('\0');
        return offset;
    };
    WORD driverOffset = add(driver);
    WORD deviceOffset = add(device);
    WORD outputOffset = add("");
    auto* names = reinterpret_cast<DEVNAMES*>(data.data());
    names->wDriverOffset = driverOffset;
    names->wDeviceOffset = deviceOffset;
    names->wOutputOffset = outputOffset;
    names->wDefault = 0;
    return GlobalCopy(data.data(), data.size());
}

std::string ApplicationCaption()
{
    if (Application && !Application->Title().empty()) return Application->Title();
    char path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name = ExtractFileName(std::string(path, n));
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

// --- TCommonDialog ----------------------------------------------------------

TCommonDialog::TCommonDialog(TComponent* owner) : TComponent(owner) {}

TCommonDialog::~TCommonDialog()
{
    BeginDestroy();
    Detach();
}

bool TCommonDialog::Execute()
{
    if (ExecuteHook) return ExecuteHook(this);
    return DoExecute();
}

void TCommonDialog::DoShow()
{
    if (OnShow) OnShow(this);
}

void TCommonDialog::DoClose()
{
    if (OnClose) OnClose(this);
}

void TCommonDialog::Show()
{
    if (FShown) return;
    FShown = true;
    DoShow();
}

void TCommonDialog::WndProc(TMessage& message)
{
    if (ReflectToControl(message.Msg, message.WParam, message.LParam, message.Result)) return;
    Dispatch(message);
}

void TCommonDialog::DefaultHandler(TMessage& m)
{
    if (FHandle && FDefWndProc) m.Result = CallWindowProcA(FDefWndProc, FHandle, m.Msg, m.WParam, m.LParam);
}

bool TCommonDialog::RunModal(const std::function<BOOL(HWND owner)>& run)
{
    if (FHandle) throw EInvalidOperation("The dialog is already showing");
    HWND owner = ModalOwner();
    FAppeared = FShown = FClosed = false;
    TModalScope scope(owner);
    TCommonDialog* outer = CreatingDialog;
    CreatingDialog = this;
    BOOL result = FALSE;
    try {
        result = run(owner);
    } catch (...) {
        CreatingDialog = outer;
        Detach();
        throw;
    }
    CreatingDialog = outer;
    Detach();
    return result != FALSE;
}

UINT_PTR CALLBACK TCommonDialog::HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* dialog = static_cast<TCommonDialog*>(GetPropA(window, HookProperty));
    if (!dialog && msg == WM_INITDIALOG && CreatingDialog) {
        dialog = CreatingDialog;
        CreatingDialog = nullptr;
        SetPropA(window, HookProperty, dialog);
    }
    if (!dialog) return 0;
    UINT_PTR result = 0;
    try {
        result = dialog->HookMessage(window, msg, wParam, lParam);
    } catch (...) {
        HandleCallbackException();
    }
    if (msg == WM_DESTROY) RemovePropA(window, HookProperty);
    return result;
}

UINT_PTR TCommonDialog::HookMessage(HWND hookWindow, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (msg != WM_INITDIALOG && ReflectToControl(msg, wParam, lParam, result)) {
        // A dialog procedure returns colour brushes itself, other results
        // through DWLP_MSGRESULT.
        if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) return UINT_PTR(result);
        SetWindowLongPtrA(hookWindow, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (msg != WM_INITDIALOG) return 0;
    // The explorer-style file dialogs give the hook a child dialog of
    // their own; the others hook the dialog itself.
    bool child = (GetWindowLongPtrA(hookWindow, GWL_STYLE) & WS_CHILD) != 0;
    Attach(child ? GetParent(hookWindow) : hookWindow, hookWindow);
    // A child's dialog is still being laid out: the file dialogs show
    // once it tells them it is done (CDN_INITDONE).
    if (!child) Show();
    return TRUE;
}

void TCommonDialog::Attach(HWND dialog, HWND hookWindow)
{
    FTemplateHandle = hookWindow;
    if (FHandle || !dialog) return;
    FAppeared = true;
    FHandle = dialog;
    SetPropA(dialog, WindowProperty, this);
    FDefWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCommonDialog::DialogWndProc)));
}

void TCommonDialog::Detach()
{
    if (FHandle && IsWindow(FHandle)) {
        if (GetWindowLongPtrA(FHandle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TCommonDialog::DialogWndProc))
            SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
        RemovePropA(FHandle, WindowProperty);
    }
    // A dialog freed while it runs must not be called by the hook again.
    if (FTemplateHandle && IsWindow(FTemplateHandle)) RemovePropA(FTemplateHandle, HookProperty);
    FHandle = nullptr;
    FTemplateHandle = nullptr;
    FDefWndProc = nullptr;
}

LRESULT CALLBACK TCommonDialog::DialogWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* dialog = static_cast<TCommonDialog*>(GetPropA(window, WindowProperty));
    if (!dialog || dialog->FHandle != window) return DefDlgProcA(window, msg, wParam, lParam);
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    try {
        // The dialog's windows are all still there for DoClose.
        if (msg == WM_DESTROY && !dialog->FClosed) {
            dialog->FClosed = true;
            dialog->DoClose();
        }
    } catch (...) {
        HandleCallbackException();
    }
    try {
        dialog->WndProc(m);
    } catch (...) {
        HandleCallbackException();
    }
    if (msg == WM_NCDESTROY) dialog->Detach();
    return m.Result;
}

bool TCommonDialog::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "HelpContext") HelpContext = reader.ReadInteger();
    else if (name == "OnShow") OnShow = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnClose") OnClose = reader.ReadEvent<TNotifyEvent>();
    else return TComponent::ReadProperty(name, reader);
    return true;
}

// --- TOpenDialog, TSaveDialog -----------------------------------------------

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), FFiles(new TStringList) {}

TOpenDialog::~TOpenDialog()
{
    BeginDestroy();
    delete FFiles;
}

void TOpenDialog::SetDefaultExt(const std::string& ext)
{
    FDefaultExt = !ext.empty() && ext[0] == '.' ? ext.substr(1) : ext;
}

bool TOpenDialog::DoExecute()
{
    return RunFileDialog(&GetOpenFileNameA);
}

bool TSaveDialog::DoExecute()
{
    return RunFileDialog(&GetSaveFileNameA);
}

bool TOpenDialog::RunFileDialog(BOOL(WINAPI* function)(LPOPENFILENAMEA))
{
    const bool multiSelect = (FOptions & (1u << ofAllowMultiSelect)) != 0;
    const bool explorer = (FOptions & (1u << ofOldStyleDialog)) == 0;
    // Several files come as one list: leave it room.
    std::vector<char> buffer(multiSelect ? 0x10000 : MAX_PATH * 4, '\0');
    FFileName.copy(buffer.data(), buffer.size() - 1);
    std::string filter = PlatformFilter(FFilter);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = DWORD(FFilterIndex);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = DWORD(buffer.size());
    ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
    ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
    ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
    ofn.Flags = OptionFlags(FOptions, OpenFlags, sizeof OpenFlags / sizeof OpenFlags[0]) | OFN_ENABLEHOOK;
    if (explorer) ofn.Flags |= OFN_EXPLORER;
    if (!FTemplate.empty()) {
        ofn.Flags |= OFN_ENABLETEMPLATE;
        ofn.lpTemplateName = FTemplate.c_str();
    }
    ofn.lpfnHook = &TCommonDialog::HookProc;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
    // Some platforms show the dialog without a template they cannot find.
    if (!FTemplate.empty() && !FindResourceA(ofn.hInstance, FTemplate.c_str(), MAKEINTRESOURCEA(5)))
        throw EInvalidOperation("The dialog template " + FTemplate + " is not in the program");

    // The selection changes FileName while the dialog runs; cancelling keeps the old one.
    std::string oldFileName = FFileName;
    bool ok;
    try {
        ok = RunModal([&](HWND owner) {
            ofn.hwndOwner = owner;
            return function(&ofn);
        });
    } catch (...) {
        FFileName = oldFileName;
        throw;
    }
    if (!ok) {
        FFileName = oldFileName;
        DWORD error = CommDlgExtendedError();
        if (error == FNERR_BUFFERTOOSMALL) throw EOSError("Too many files chosen at once", error);
        if (error && !Appeared()) throw EOSError("The file dialog cannot be shown (error " + Hex(error) + ")", error);
        return false;
    }
    ReadResult(buffer.data(), buffer.size());
    FFilterIndex = int(ofn.nFilterIndex);
    FOptions &= ~((1u << ofReadOnly) | (1u << ofExtensionDifferent));
    if (ofn.Flags & OFN_READONLY) FOptions |= 1u << ofReadOnly;
    if (ofn.Flags & OFN_EXTENSIONDIFFERENT) FOptions |= 1u << ofExtensionDifferent;
    return true;
}

void TOpenDialog::ReadResult(const char* buffer, size_t size)
{
    const bool multiSelect = (FOptions & (1u << ofAllowMultiSelect)) != 0;
    std::vector<std::string> parts;
    for (size_t i = 0; i < size && buffer[i];) {
        size_t length = strnlen(buffer + i, size - i);
        parts.emplace_back(buffer + i, length);
        i += length + 1;
        if (!multiSelect) break;
    }
    // The old-style dialog lists several files in one string, by spaces.
    if (multiSelect && (FOptions & (1u << ofOldStyleDialog)) && parts.size() == 1 &&
        parts[0].find(' ') != std::string::npos) {
        std::string all = parts[0];
        parts.clear();
        size_t start = 0;
        while (start <= all.size()) {
            size_t end = all.find(' ', start);
            if (end == std::string::npos) end = all.size();
            if (end > start) parts.push_back(all.substr(start, end - start));
            start = end + 1;
        }
    }
    FFiles->BeginUpdate();
    FFiles->Clear();
    if (parts.size() == 1) {
        FFiles->Add(parts[0]);
    } else if (parts.size() > 1) {
        // A folder, then the names in it.
        std::string folder = parts[0];
        if (!folder.empty() && folder.back() != '\\') folder += '\\';
        for (size_t i = 1; i < parts.size(); ++i) FFiles->Add(folder + parts[i]);
    }
    FFiles->EndUpdate();
    FFileName = FFiles->Count() > 0 ? FFiles->Get(0) : std::string();
}

UINT_PTR TOpenDialog::HookMessage(HWND hookWindow, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_NOTIFY) return TCommonDialog::HookMessage(hookWindow, msg, wParam, lParam);
    auto* notify = reinterpret_cast<OFNOTIFYA*>(lParam);
    switch (notify->hdr.code) {
    case CDN_INITDONE:
        Show();
        break;
    case CDN_SELCHANGE:
        if (Handle()) {
            std::vector<char> path(MAX_PATH * 4, '\0');
            LRESULT n = SendMessageA(Handle(), CDM_GETFILEPATH, path.size(), reinterpret_cast<LPARAM>(path.data()));
            if (n > LRESULT(path.size())) {
                path.assign(size_t(n), '\0');
                n = SendMessageA(Handle(), CDM_GETFILEPATH, path.size(), reinterpret_cast<LPARAM>(path.data()));
            }
            FFileName.clear();
            if (n > 0 && n <= LRESULT(path.size())) {
                std::string selected(path.data(), strnlen(path.data(), path.size()));
                // Nothing chosen yet gives the folder itself: no file.
                DWORD attributes = GetFileAttributesA(selected.c_str());
                if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) FFileName = selected;
            }
        }
        DoSelectionChange();
        break;
    case CDN_FOLDERCHANGE:
        DoFolderChange();
        break;
    case CDN_TYPECHANGE:
        if (notify->lpOFN) FFilterIndex = int(notify->lpOFN->nFilterIndex);
        DoTypeChange();
        break;
    }
    return 0;
}

void TOpenDialog::DoSelectionChange()
{
    if (OnSelectionChange) OnSelectionChange(this);
}

void TOpenDialog::DoFolderChange()
{
    if (OnFolderChange) OnFolderChange(this);
}

void TOpenDialog::DoTypeChange()
{
    if (OnTypeChange) OnTypeChange(this);
}

bool TOpenDialog::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames options = {
        "ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp", "ofNoValidate",
        "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist", "ofCreatePrompt",
        "ofShareAware", "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton", "ofNoLongNames",
        "ofOldStyleDialog", "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing"};
    if (name == "FileName") SetFileName(reader.ReadString());
    else if (name == "Filter") SetFilter(reader.ReadString());
    else if (name == "FilterIndex") SetFilterIndex(reader.ReadInteger());
    else if (name == "InitialDir") SetInitialDir(reader.ReadString());
    else if (name == "DefaultExt") SetDefaultExt(reader.ReadString());
    else if (name == "Title") SetTitle(reader.ReadString());
    else if (name == "Options") SetOptions(reader.ReadSet(options));
    else if (name == "Template") SetTemplate(reader.ReadString());
    else if (name == "OnSelectionChange") OnSelectionChange = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnFolderChange") OnFolderChange = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnTypeChange") OnTypeChange = reader.ReadEvent<TNotifyEvent>();
    else return TCommonDialog::ReadProperty(name, reader);
    return true;
}

// --- TFontDialog ------------------------------------------------------------

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), FFont(new TFont) {}

TFontDialog::~TFontDialog()
{
    BeginDestroy();
    delete FFont;
}

bool TFontDialog::DoExecute()
{
    LOGFONTA lf;
    FontToLogFont(FFont, lf);
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK |
               OptionFlags(FOptions, FontFlags, sizeof FontFlags / sizeof FontFlags[0]);
    cf.rgbColors = ColorToRGB(FFont->Color());
    cf.lpfnHook = &TCommonDialog::HookProc;
    cf.lCustData = reinterpret_cast<LPARAM>(this);
    cf.hInstance = GetModuleHandleA(nullptr);
    if (MinFontSize > 0 || MaxFontSize > 0) {
        cf.Flags |= CF_LIMITSIZE;
        cf.nSizeMin = MinFontSize > 0 ? MinFontSize : 1;
        cf.nSizeMax = MaxFontSize > 0 ? MaxFontSize : 0x7FFF;
    }
    bool ok = RunModal([&](HWND owner) {
        cf.hwndOwner = owner;
        return ChooseFontA(&cf);
    });
    if (!ok) {
        DWORD error = CommDlgExtendedError();
        if (error && !Appeared()) throw EOSError("The font dialog cannot be shown (error " + Hex(error) + ")", error);
        return false;
    }
    LogFontToFont(lf, FFont);
    if (cf.Flags & CF_EFFECTS) FFont->SetColor(TColor(cf.rgbColors));
    return true;
}

TPersistent* TFontDialog::PropertyObject(const std::string& name)
{
    if (name == "Font") return FFont;
    return TCommonDialog::PropertyObject(name);
}

bool TFontDialog::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames options = {
        "fdAnsiOnly", "fdTrueTypeOnly", "fdEffects", "fdFixedPitchOnly", "fdForceFontExist", "fdNoFaceSel",
        "fdNoOEMFonts", "fdNoSimulations", "fdNoSizeSel", "fdNoStyleSel", "fdNoVectorFonts", "fdShowHelp",
        "fdLimitSize", "fdScalableOnly"};
    if (name == "Options") SetOptions(reader.ReadSet(options));
    else if (name == "MinFontSize") MinFontSize = reader.ReadInteger();
    else if (name == "MaxFontSize") MaxFontSize = reader.ReadInteger();
    else return TCommonDialog::ReadProperty(name, reader);
    return true;
}

// --- TPrintDialog -----------------------------------------------------------

bool TPrintDialog::DoExecute()
{
    TPrinter* printer = Printer();
    // Without a printer there is nothing to choose; say so plainly.
    if (printer->PrinterName().empty() && printer->Printers()->Count() == 0) throw EPrinter("No printer is installed");
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    // The dialog starts at the printer and settings chosen last.
    std::string current = printer->PrinterName();
    if (!current.empty()) {
        pd.hDevNames = MakeDevNames(current);
        if (const DEVMODEA* dm = printer->DevMode()) pd.hDevMode = GlobalCopy(dm, size_t(dm->dmSize) + dm->dmDriverExtra);
    }
    pd.Flags = PD_ENABLEPRINTHOOK;
    if (!(Options & (1u << poPageNums))) pd.Flags |= PD_NOPAGENUMS;
    if (!(Options & (1u << poSelection))) pd.Flags |= PD_NOSELECTION;
    if (!(Options & (1u << poWarning))) pd.Flags |= PD_NOWARNING;
    if (Options & (1u << poHelp)) pd.Flags |= PD_SHOWHELP;
    if (!(Options & (1u << poPrintToFile))) pd.Flags |= PD_HIDEPRINTTOFILE;
    if (Options & (1u << poDisablePrintToFile)) pd.Flags |= PD_DISABLEPRINTTOFILE;
    if (PrintToFile) pd.Flags |= PD_PRINTTOFILE;
    if (Collate) pd.Flags |= PD_COLLATE;
    if (PrintRange == prSelection) pd.Flags |= PD_SELECTION;
    else if (PrintRange == prPageNums) pd.Flags |= PD_PAGENUMS;
    pd.nCopies = WORD(Copies > 0 ? Copies : 1);
    pd.nFromPage = WORD(FromPage);
    pd.nToPage = WORD(ToPage);
    pd.nMinPage = WORD(MinPage);
    pd.nMaxPage = WORD(MaxPage);
    pd.hInstance = GetModuleHandleA(nullptr);
    pd.lpfnPrintHook = &TCommonDialog::HookProc;
    pd.lCustData = reinterpret_cast<LPARAM>(this);

    auto release = [&pd] {
        if (pd.hDevMode) GlobalFree(pd.hDevMode);
        if (pd.hDevNames) GlobalFree(pd.hDevNames);
        pd.hDevMode = pd.hDevNames = nullptr;
    };
    bool ok;
    try {
        ok = RunModal([&](HWND owner) {
            pd.hwndOwner = owner;
            return PrintDlgA(&pd);
        });
        if (!ok) {
            DWORD error = CommDlgExtendedError();
            if (error == PDERR_NODEFAULTPRN || error == PDERR_NODEVICES) throw EPrinter("No printer is installed");
            if (error && !Appeared()) throw EPrinter("The print dialog cannot be shown (error " + Hex(error) + ")");
        } else {
            Copies = pd.nCopies;
            FromPage = pd.nFromPage;
            ToPage = pd.nToPage;
            Collate = (pd.Flags & PD_COLLATE) != 0;
            PrintToFile = (pd.Flags & PD_PRINTTOFILE) != 0;
            PrintRange = (pd.Flags & PD_SELECTION) ? prSelection : (pd.Flags & PD_PAGENUMS) ? prPageNums : prAllPages;
            std::string device;
            if (pd.hDevNames) {
                if (auto* names = static_cast<const DEVNAMES*>(GlobalLock(pd.hDevNames))) {
                    device = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
                    GlobalUnlock(pd.hDevNames);
                }
            }
            auto* dm = pd.hDevMode ? static_cast<const DEVMODEA*>(GlobalLock(pd.hDevMode)) : nullptr;
            try {
                if (!device.empty()) printer->SelectPrinter(device, dm);
            } catch (...) {
                if (dm) GlobalUnlock(pd.hDevMode);
                throw;
            }
            if (dm) GlobalUnlock(pd.hDevMode);
        }
    } catch (...) {
        release();
        throw;
    }
    release();
    return ok;
}

bool TPrintDialog::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames options = {"poPrintToFile", "poPageNums", "poSelection", "poWarning", "poHelp",
                                       "poDisablePrintToFile"};
    static const TEnumNames ranges = {"prAllPages", "prSelection", "prPageNums"};
    if (name == "Copies") Copies = reader.ReadInteger();
    else if (name == "Collate") Collate = reader.ReadBool();
    else if (name == "PrintToFile") PrintToFile = reader.ReadBool();
    else if (name == "FromPage") FromPage = reader.ReadInteger();
    else if (name == "ToPage") ToPage = reader.ReadInteger();
    else if (name == "MinPage") MinPage = reader.ReadInteger();
    else if (name == "MaxPage") MaxPage = reader.ReadInteger();
    else if (name == "Options") Options = reader.ReadSet(options);
    else if (name == "PrintRange") PrintRange = TPrintRange(reader.ReadEnum(ranges));
    else return TCommonDialog::ReadProperty(name, reader);
    return true;
}

// --- Message boxes ----------------------------------------------------------

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    if (MessageDlgHook) return MessageDlgHook(text, type, buttons);
    auto has = [buttons](TMsgDlgBtn b) { return (buttons & (1u << b)) != 0; };
    UINT flags;
    if (has(mbYes) || has(mbNo) || has(mbAll) || has(mbYesToAll) || has(mbNoToAll))
        flags = has(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (has(mbAbort) || has(mbIgnore))
        flags = MB_ABORTRETRYIGNORE;
    else if (has(mbRetry))
        flags = MB_RETRYCANCEL;
    else if (has(mbCancel))
        flags = MB_OKCANCEL;
    else
        flags = MB_OK;
    if (has(mbHelp)) flags |= MB_HELP;
    switch (type) {
    case mtWarning: flags |= MB_ICONWARNING; break;
    case mtError: flags |= MB_ICONERROR; break;
    case mtInformation: flags |= MB_ICONINFORMATION; break;
    case mtConfirmation: flags |= MB_ICONQUESTION; break;
    case mtCustom: break;
    }
    std::string caption = ApplicationCaption();
    HWND owner = ModalOwner();
    int id;
    {
        TModalScope scope(owner);
        id = MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    }
    switch (id) {
    case IDOK: return mrOk;
    case IDYES: return mrYes;
    case IDNO: return mrNo;
    case IDABORT: return mrAbort;
    case IDRETRY: return mrRetry;
    case IDIGNORE: return mrIgnore;
    default: return mrCancel;  // also a box that could not be shown
    }
}

void ShowMessage(const std::string& text)
{
    MessageDlg(text, mtCustom, 1u << mbOK);
}

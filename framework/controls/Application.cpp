#include "Application.h"

#include "Menu.h"
#include "SysUtils.h"
#include "Thread.h"

#include <commctrl.h>

#include <algorithm>

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {
// Exceptions caught in window procedures, hooks and timers take the same
// road as those of the message loop.
void ShowCallbackException(const std::exception& e)
{
    if (Application && Application->OnException)
        Application->OnException(nullptr, e);
    else if (Application)
        Application->ShowException(e);
    else
        ::MessageBoxA(nullptr, e.what(), "Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

void WakeApplication()
{
    if (Application && Application->Handle()) PostMessageA(Application->Handle(), CM_SYNCHRONIZE, 0, 0);
}
}  // namespace

void InitApplication()
{
    if (Application) return;
    InitThreads();
    Screen = new TScreen(nullptr);
    Application = new TApplication(nullptr);
    SetCallbackExceptionHandler(ShowCallbackException);
    SetWakeMainThread(WakeApplication);
}

void DoneApplication()
{
    SetWakeMainThread(nullptr);
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
    SetCallbackExceptionHandler(nullptr);
}

TApplication::TApplication(TComponent* owner) : TComponent(owner)
{
    FHandle = AllocateHWnd(MakeEvent<&TApplication::AppWndProc>(this));
    FIcon = new TIcon();
    FIcon->LoadFromResourceName(GetModuleHandleA(nullptr), "MAINICON");
}

void TApplication::SetIcon(TIcon* icon)
{
    FIcon->SetHandle(icon && icon->Handle() ? CopyIcon(icon->Handle()) : nullptr);
}

TApplication::~TApplication()
{
    BeginDestroy();
    // The forms go while the application window still runs their last calls.
    DestroyComponents();
    DeallocateHWnd(FHandle);
    FIcon->Free();
}

void TApplication::Initialize()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
}

void TApplication::SetTitle(const std::string& title)
{
    FTitle = title;
    SetWindowTextA(FHandle, title.c_str());
}

std::string TApplication::ExeName() const
{
    char path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, n);
}

void TApplication::AppWndProc(TMessage& m)
{
    switch (m.Msg) {
    case CM_SYNCHRONIZE:
        CheckSynchronize();
        return;
    case CM_DEFERRED_CALL: {
        std::vector<std::function<void()>> calls;
        calls.swap(FPostedCalls);
        for (auto& call : calls) {
            try {
                call();
            } catch (...) {
                HandleException(this);
            }
        }
        return;
    }
    }
    m.Result = DefWindowProcA(FHandle, m.Msg, m.WParam, m.LParam);
}

void TApplication::Notification(TComponent* component, TOperation operation)
{
    // A freed main form is no main form.
    if (operation == opRemove && FMainForm && component == static_cast<TComponent*>(FMainForm)) FMainForm = nullptr;
    TComponent::Notification(component, operation);
}

void TApplication::PostCall(std::function<void()> call)
{
    FPostedCalls.push_back(std::move(call));
    PostMessageA(FHandle, CM_DEFERRED_CALL, 0, 0);
}

namespace {
bool HasMenuBar(TCustomForm* form) { return form->Menu() && form->FormStyle != fsMDIChild; }

bool MenuBarHasAccel(TMainMenu* menu, UINT key)
{
    TMenuItem* bar = menu->Items();
    for (int i = 0; i < bar->Count(); ++i)
        if (bar->Items(i)->Visible() && IsAccel(key, bar->Items(i)->Caption())) return true;
    return false;
}
}  // namespace

bool TApplication::IsKeyMessage(MSG& msg)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_CHAR &&
        msg.message != WM_SYSCHAR)
        return false;
    // The framework control that owns the window (or a parent of it).
    TWinControl* control = nullptr;
    for (HWND w = msg.hwnd; w && !control; w = GetParent(w)) control = TWinControl::FindControl(w);
    if (!control) return false;
    TCustomForm* form = GetParentForm(control);
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        WORD key = WORD(msg.wParam);
        TShiftState shift = KeyboardShiftState();
        // Menu shortcuts first, then the keys the control leaves to the form.
        if (form && form->IsShortCut(key, shift)) return true;
        const bool arrow = key >= VK_LEFT && key <= VK_DOWN;
        if (key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || arrow) {
            UINT code = UINT(SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)));
            bool wanted = (code & DLGC_WANTALLKEYS) || (key == VK_TAB && (code & DLGC_WANTTAB)) ||
                          (arrow && (code & DLGC_WANTARROWS)) ||
                          (key == VK_RETURN && (code & DLGC_DEFPUSHBUTTON) == 0 && (code & DLGC_WANTMESSAGE));
            if (!wanted && form && form->Perform(CM_DIALOGKEY, key, 0)) return true;
        }
    } else if (msg.message == WM_SYSCHAR && form) {
        // Alt+letter: the menu bar's own letters open its menus; any other
        // reaches a control with that accelerator in its caption.
        if (HasMenuBar(form) && MenuBarHasAccel(form->Menu(), UINT(msg.wParam))) return false;
        if (form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam)) return true;
    } else if (msg.message == WM_CHAR && form && msg.wParam > 0x20 && !HasMenuBar(form)) {
        // A plain letter is an accelerator too where the focused control
        // takes no characters (a button, not an edit or the grid), but not
        // on a window with a menu bar, where a letter typed in passing would
        // run a button's command; Space stays with the control (it presses a
        // focused button).
        UINT code = UINT(SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)));
        if (!(code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) &&
            form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam))
            return true;
    }
    return false;
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    try {
        if (!IsKeyMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } catch (...) {
        HandleException(this);
    }
    return true;
}

void TApplication::ProcessMessages()
{
    MSG msg;
    CheckSynchronize();
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (!ProcessMessage(msg)) {
        CheckSynchronize();
        if (!FTerminated) WaitMessage();
    }
}

void TApplication::Run()
{
    if (FMainForm && ShowMainForm) FMainForm->Show();
    while (!FTerminated) HandleMessage();
}

void TApplication::Terminate()
{
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::HandleException(TObject* sender)
{
    try {
        throw;
    } catch (const std::exception& e) {
        if (OnException)
            OnException(sender, e);
        else
            ShowException(e);
    } catch (...) {
        ShowException(Exception("Unknown exception"));
    }
}

void TApplication::ShowException(const std::exception& e)
{
    std::string text = e.what();
    if (!text.empty() && text.back() != '.') text += '.';
    MessageBox(text, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    HWND owner = GetActiveWindow();
    if (!owner && FMainForm && FMainForm->HandleAllocated()) owner = FMainForm->Handle();
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void TApplication::Minimize()
{
    if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
}

void TApplication::Restore()
{
    if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_RESTORE);
}

void TApplication::DoMinimize()
{
    if (OnMinimize) OnMinimize(this);
}

void TApplication::DoRestore()
{
    if (OnRestore) OnRestore(this);
}

TWinControl* TScreen::ActiveControl() const
{
    return FActiveForm ? FActiveForm->ActiveControl() : nullptr;
}

int TScreen::PixelsPerInch() const
{
    HDC dc = GetDC(nullptr);
    int ppi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return ppi;
}

RECT TScreen::WorkAreaRect() const
{
    RECT r{0, 0, Width(), Height()};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) r = RECT{0, 0, Width(), Height()};
    return r;
}

RECT TScreen::DesktopRect() const
{
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) return RECT{0, 0, Width(), Height()};
    return RECT{left, top, left + width, top + height};
}

void TScreen::AddForm(TCustomForm* form)
{
    FForms.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form)
{
    FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
    if (FActiveForm == form) FActiveForm = nullptr;
}

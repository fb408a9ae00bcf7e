// The form frame's system menu, notification-area icon, the application's
// minimize and restore, the keyboard menu and MDI.
//
// Still temporary: the system menu and the menu bar's part (they wait for
// the menu items and the menu bar).
#include "Frames.h"

#include "Application.h"
#include "ImageList.h"
#include "Menu.h"
#include "Reader.h"

#include <string>
#include <vector>

template <class F>
typename F::Item* TSkinForm<F>::CreateMenuItem(TComponent* owner)
{
    (void)owner;
    return nullptr;
}

template <class F>
void TSkinForm<F>::CreateCaptionButtonImages()
{
}

template <class F>
void TSkinForm<F>::CreateSysMenu()
{
}

template <class F>
typename F::Item* TSkinForm<F>::AddSysMenuItem(const std::string& caption, const std::string& shortCut, int imageIndex)
{
    (void)caption;
    (void)shortCut;
    (void)imageIndex;
    return nullptr;
}

template <class F>
void TSkinForm<F>::DoSysMenu(TObject* sender)
{
    (void)sender;
}

template <class F>
void TSkinForm<F>::SysMenu()
{
}

template <class F>
void TSkinForm<F>::FreeSysMenu()
{
    FSysMenu = nullptr;
}

template <class F>
TComponent* TSkinForm<F>::MenuBarComponent() const
{
    return nullptr;
}

template <class F>
void TSkinForm<F>::ReadMenuBar(TReader& reader)
{
    reader.ReadIdent();
}

template <class F>
void TSkinForm<F>::ShowMDIButtons()
{
}

template <class F>
void TSkinForm<F>::HideMDIButtons()
{
}

// --- MDI -------------------------------------------------------------------------------

namespace {

// The first active frame of family F among form's components, or null.
template <class F>
TSkinForm<F>* ActiveFrameOf(TCustomForm* form)
{
    if (!form) return nullptr;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* frame = dynamic_cast<TSkinForm<F>*>(form->Components(i)); frame && frame->Active()) return frame;
    return nullptr;
}

template <class F>
const char* ClientProcProperty()
{
    return TKsFamily::HookProperty == F::HookProperty ? "Gantrel.KsMDIClient" : "Gantrel.MpMDIClient";
}

// The MDI client window's procedure while a frame has it: the frame's
// ClientWndProc, or the previous procedure once the frame let go.
template <class F>
LRESULT CALLBACK MDIClientProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* frame = static_cast<TSkinForm<F>*>(GetPropA(window, ClientProcProperty<F>()));
    if (!frame) return DefMDIChildProcA(window, msg, wParam, lParam);
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    try {
        frame->ClientWndProc(m);
    } catch (...) {
        HandleCallbackException();
    }
    return m.Result;
}

}  // namespace

template <class F>
TCustomForm* TSkinForm<F>::GetMDIParentForm() const
{
    TCustomForm* form = this->GetForm();
    if (!form || form->FormStyle != fsMDIChild) return nullptr;
    return dynamic_cast<TCustomForm*>(form->Owner());
}

template <class F>
TSkinForm<F>* TSkinForm<F>::GetMDIParentKsForm() const
{
    return ActiveFrameOf<F>(GetMDIParentForm());
}

template <class F>
bool TSkinForm<F>::IsMDIChildMaximized() const
{
    TCustomForm* form = this->GetForm();
    if (!form) return false;
    TCustomForm* parent = nullptr;
    bool frameworkState = false;
    if (form->FormStyle == fsMDIChild) {
        parent = GetMDIParentForm();
        frameworkState = true;
    } else if (form->FormStyle == fsMDIForm) {
        parent = form;
    }
    if (!parent) return false;
    for (int i = 0; i < parent->MDIChildCount(); ++i) {
        TCustomForm* child = parent->MDIChildren(i);
        if (frameworkState && child->WindowState() == wsMaximized) return true;
        TSkinForm* frame = ActiveFrameOf<F>(child);
        if (frame && frame->WindowState() == kwsMaximized) return true;
    }
    return false;
}

template <class F>
void TSkinForm<F>::ChangeMDIParentCaption()
{
    TCustomForm* form = this->GetForm();
    TCustomForm* parent = GetMDIParentForm();
    if (!form || !parent) return;
    std::string caption = parent->Caption();
    // What a maximized child added: " - [" and its caption. A bracket in
    // the first three characters cuts from the start, never before it.
    size_t bracket = caption.find('[');
    if (bracket != std::string::npos) caption.erase(bracket >= 3 ? bracket - 3 : 0);
    if (IsMDIChildMaximized()) {
        parent->SetCaption(caption + " - [" + form->Caption() + "]");
        if (parent->HandleAllocated()) PostMessageA(parent->Handle(), KM_UPDATENCAREA, 0, 0);
    } else {
        parent->SetCaption(caption);
    }
}

template <class F>
void TSkinForm<F>::RestoreMDIChildren()
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    TCustomForm* parent = nullptr;
    if (form->FormStyle == fsMDIChild)
        parent = GetMDIParentForm();
    else if (MpFamily && form->FormStyle == fsMDIForm)
        parent = form;
    if (!parent) return;
    // A restored child may restore the others in turn: work on a copy.
    std::vector<TSkinForm*> maximized;
    for (int i = 0; i < parent->MDIChildCount(); ++i) {
        TSkinForm* frame = ActiveFrameOf<F>(parent->MDIChildren(i));
        if (frame && frame->WindowState() == kwsMaximized) maximized.push_back(frame);
    }
    for (TSkinForm* frame : maximized)
        if (frame->WindowState() == kwsMaximized) frame->Restore();
    if (form->FormStyle == fsMDIChild) ChangeMDIParentCaption();
}

template <class F>
void TSkinForm<F>::AfterMDISize()
{
    TCustomForm* form = this->GetForm();
    if (!form || form->FormStyle != fsMDIForm || form->MDIChildCount() == 0 || !IsMDIChildMaximized()) return;
    TCustomForm* active = form->ActiveMDIChild();
    if (!active) return;
    RECT r;
    if (HWND client = form->ClientHandle())
        ::GetClientRect(client, &r);
    else
        r = form->ClientRect();
    active->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

template <class F>
void TSkinForm<F>::InstallClientProc()
{
    TCustomForm* form = this->GetForm();
    if (Designing() || !form || form->FormStyle != fsMDIForm || FClientWindow) return;
    HWND client = form->ClientHandle();
    if (!client) return;
    FClientWindow = client;
    SetPropA(client, ClientProcProperty<F>(), this);
    FPrevClientProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MDIClientProc<F>)));
}

template <class F>
void TSkinForm<F>::UnchainForm()
{
    if (FClientWindow && IsWindow(FClientWindow)) {
        // Put back only our own procedure: someone after us keeps theirs,
        // and ours then hands every message on (the property is gone).
        if (GetWindowLongPtrA(FClientWindow, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&MDIClientProc<F>))
            SetWindowLongPtrA(FClientWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevClientProc));
        RemovePropA(FClientWindow, ClientProcProperty<F>());
    }
    FClientWindow = nullptr;
    if (FShortCutChained) {
        if (TCustomForm* form = this->FControl ? dynamic_cast<TCustomForm*>(this->FControl) : nullptr)
            if (form->OnShortCut == MakeEvent<&TSkinForm::DoFormShortCut>(this)) form->OnShortCut = FSavedShortCut;
        FShortCutChained = false;
    }
}

template <class F>
void TSkinForm<F>::ClientWndProc(TMessage& message)
{
    TCustomForm* form = this->GetForm();
    HWND client = FClientWindow;
    if (!client) return;
    auto previous = [&] {
        message.Result = CallWindowProcA(FPrevClientProc, client, message.Msg, message.WParam, message.LParam);
    };
    if (!form) {
        previous();
        return;
    }
    switch (message.Msg) {
    case WM_PAINT: {
        // The form's own painting, in the client window.
        PAINTSTRUCT ps;
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        const bool own = dc == nullptr;
        if (own) dc = BeginPaint(client, &ps);
        try {
            form->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        } catch (...) {
            if (own) EndPaint(client, &ps);
            throw;
        }
        if (own) EndPaint(client, &ps);
        message.Result = 0;
        return;
    }
    case WM_ERASEBKGND:
        if (IsMDIChildMaximized()) break;
        // The form's frame paints the background.
        if (form->HandleAllocated())
            SendMessageA(form->Handle(), WM_ERASEBKGND, message.WParam, KsFamily ? 100 : 4);
        message.Result = 0;
        return;
    case 63:
        if (form->FormStyle == fsMDIForm) RemoveClientEdge(client);
        message.Result = 0;
        return;
    default:
        break;
    }
    previous();
    // Its empty area lets the mouse through to the form.
    if (message.Msg == WM_NCHITTEST && message.Result == HTCLIENT) message.Result = HTTRANSPARENT;
}

template <class F>
void TSkinForm<F>::RemoveClientEdge(HWND client)
{
    if (!client) return;
    SetWindowLongPtrA(client, GWL_EXSTYLE, GetWindowLongPtrA(client, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_CLIENTEDGE));
    SetWindowPos(client, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

template <class F>
void TSkinForm<F>::Cascade()
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    if (IsMDIChildMaximized()) RestoreMDIChildren();
    if (Application) Application->ProcessMessages();
    form->Cascade();
}

template <class F>
void TSkinForm<F>::Tile()
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    if (IsMDIChildMaximized()) RestoreMDIChildren();
    if (Application) Application->ProcessMessages();
    form->Tile();
}

// --- The application and the tray --------------------------------------------------------

template <class F>
void TSkinForm<F>::UpdateTrayIcon()
{
    if (Designing()) return;
    TCustomForm* form = this->GetForm();
    HICON icon = nullptr;
    if (form && form->Icon() && !form->Icon()->Empty())
        icon = form->Icon()->Handle();
    else if (Application && Application->Icon())
        icon = Application->Icon()->Handle();
    FIconData.hIcon = icon;
    Shell_NotifyIconA(NIM_MODIFY, &FIconData);
}

template <class F>
void TSkinForm<F>::DoApplicationMinimize(TObject* sender)
{
    if (FWindowState != kwsMinimized && FWindowState != kwsTray && FMinimizeApplication) Minimize();
    if (FSavedAppMinimize) FSavedAppMinimize(sender);
}

template <class F>
void TSkinForm<F>::DoApplicationRestore(TObject* sender)
{
    if (FWindowState == kwsMinimized && FMinimizeApplication) {
        Restore();
        UpdateNCArea();
    }
    if (FSavedAppRestore) FSavedAppRestore(sender);
}

template <class F>
void TSkinForm<F>::EndSession()
{
    if (!Designing()) Shell_NotifyIconA(NIM_DELETE, &FIconData);
}

template <class F>
void TSkinForm<F>::MsgTrayWndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_QUERYENDSESSION:
        message.Result = 1;
        return;
    case WM_ENDSESSION:
        // Only a session that really ends takes the icon away.
        if (message.WParam) EndSession();
        message.Result = 0;
        return;
    case KM_TRAYNOTIFY:
        message.Result = 0;
        if (message.LParam == WM_LBUTTONDBLCLK)
            Restore();
        else if (message.LParam == WM_RBUTTONUP)
            SysMenu();
        return;
    default:
        break;
    }
    message.Result = DefWindowProcA(FTrayWindow, message.Msg, message.WParam, message.LParam);
}

// --- Keyboard and system commands -------------------------------------------------------

template <class F>
void TSkinForm<F>::WMActivate(TMessage& message)
{
    // Not handled: the form's own procedure sees it too.
    if (!FActiveCaption && HIWORD(message.WParam) != 0) Minimize();
}

template <class F>
void TSkinForm<F>::WMSysCommand(TMessage& message)
{
    const WPARAM command = message.WParam & 0xFFF0;
    const char key = char(message.LParam);
    switch (command) {
    case SC_KEYMENU:
        if (key == ' ') {
            SysMenu();
            message.Result = 0;
            this->MessageHandled();
        } else if (key != '-' && key != 0 && !GetCapture() && FMenuBar) {
            // The menu bar's keyboard loop starts with the letter.
            if (TCustomForm* form = this->GetForm(); form && form->HandleAllocated())
                PostMessageA(form->Handle(), WM_CHAR, WPARAM(static_cast<unsigned char>(key)), 0);
            message.Result = 1;
            this->MessageHandled();
        }
        break;
    case SC_MOUSEMENU:
        SysMenu();
        message.Result = 0;
        this->MessageHandled();
        break;
    case SC_MOVE:
    case SC_SIZE:
        // The platform's own move and size loops never start: the frame
        // moves and sizes the window itself.
        message.Result = 0;
        this->MessageHandled();
        break;
    case SC_CLOSE:
        if constexpr (MpFamily) {
            Close();
            message.Result = 0;
            this->MessageHandled();
        }
        break;
    default:
        break;
    }
}

template <class F>
void TSkinForm<F>::WMKeyDown(TMessage& message)
{
    // Not handled: the form's own procedure sees it too. Most forms have
    // no menu bar.
    (void)message;
}

template <class F>
void TSkinForm<F>::WMMDIActivate(TMessage& message)
{
    // Not handled: the platform's MDI child procedure activates the child.
    TCustomForm* form = this->GetForm();
    if (!form || form->FormStyle != fsMDIChild || !IsMDIChildMaximized()) return;
    ChangeMDIParentCaption();
    if (form->HandleAllocated() && reinterpret_cast<HWND>(message.LParam) == form->Handle())
        ShowMDIButtons();
    else if (FWindowState != kwsMaximized && form->HandleAllocated())
        PostMessageA(form->Handle(), KM_MAXIMIZE, 0, 0);
}

template <class F>
void TSkinForm<F>::ChainFormShortCut()
{
    TCustomForm* form = this->GetForm();
    if (Designing() || !form || FShortCutChained) return;
    FSavedShortCut = form->OnShortCut;
    form->OnShortCut = MakeEvent<&TSkinForm::DoFormShortCut>(this);
    FShortCutChained = true;
}

template <class F>
void TSkinForm<F>::DoFormShortCut(TMessage& key, bool& handled)
{
    if (!handled && FSavedShortCut) FSavedShortCut(key, handled);
}

template class TSkinForm<TKsFamily>;
template class TSkinForm<TMpFamily>;

// The form frame's system menu, notification-area icon, the application's
// minimize and restore, the keyboard menu and MDI.
//
#include "Frames.h"

#include "Application.h"
#include "ImageList.h"
#include "Menu.h"
#include "MenuItems.h"
#include "Menus.h"
#include "Reader.h"
#include "ShortCuts.h"
#include "SysUtils.h"

#include <cctype>

#include <string>
#include <vector>

namespace {

// The system menu's entries, in the menu's order.
enum TSysMenuEntry { smRestore, smMinimize, smMaximize, smRollup, smMinToTray, smClose, smEntryCount };

struct TSysMenuText {
    int Id;           // Ks: resource string
    const char* Ks;   // its text when the program carries none
    const char* Mp;
};
constexpr TSysMenuText SysMenuTexts[smEntryCount] = {
    {65286, "&Restore", "Restore"},       {65283, "Mi&nimize", "Minimize"},
    {65282, "Ma&ximize", "Maximize"},     {65285, "Ro&llup", "Rollup"},
    {65287, "Minimize to &Tray", "Minimize to tray"}, {65284, "&Close", "Close"},
};

}  // namespace

template <class F>
std::string TSkinForm<F>::SysMenuCaption(int entry)
{
    const TSysMenuText& text = SysMenuTexts[entry];
    if constexpr (MpFamily) return text.Mp;
    std::string loaded = LoadStr(text.Id);
    return loaded.empty() ? std::string(text.Ks) : loaded;
}

template <class F>
typename F::Item* TSkinForm<F>::CreateMenuItem(TComponent* owner)
{
    return new Item(owner);
}

template <class F>
void TSkinForm<F>::CreateCaptionButtonImages()
{
    if (FCaptionButtonImages) return;
    static const char* const KsNames[] = {"KSE_CLOSE", "KSE_MINIMIZE", "KSE_MAXIMIZE", "KSE_RESTORE", "KSE_ROLLUP", "KSE_TRAY"};
    static const char* const MpNames[] = {"MP_CLOSE", "MP_MINIMIZE", "MP_MAXIMIZE", "MP_RESTORE", "MP_ROLLUP", "MP_TRAY"};
    FCaptionButtonImages = new TImageList(nullptr);
    FCaptionButtonImages->SetMasked(true);
    bool sized = false;
    for (const char* name : KsFamily ? KsNames : MpNames) {
        TBitmap image;
        // A program without the images shows the menu without them.
        if (!image.LoadFromResourceName(GetModuleHandleA(nullptr), name)) break;
        if (!sized) {
            FCaptionButtonImages->SetSize(image.Width(), image.Height());
            sized = true;
        }
        FCaptionButtonImages->AddMasked(&image, TColor(0x00FF00FF));
    }
}

template <class F>
typename F::Item* TSkinForm<F>::AddSysMenuItem(const std::string& caption, TShortCut shortCut, int imageIndex, int command)
{
    Item* item = CreateMenuItem(this);
    try {
        item->SetCaption(caption);
        item->SetShortCut(shortCut);
        item->Tag = command;
        item->SetImages(CaptionButtonImages());
        item->SetImageIndex(imageIndex);
        item->OnClick = MakeEvent<&TSkinForm::DoSysMenu>(this);
        FSysMenu->Add(item);
    } catch (...) {
        item->Free();
        throw;
    }
    return item;
}

template <class F>
void TSkinForm<F>::CreateSysMenu()
{
    FreeSysMenu();
    FSysMenu = CreateMenuItem(this);
    const TKsWindowState s = FWindowState;
    const bool normal = s == kwsNormal, maximized = s == kwsMaximized, rolled = s == kwsRollup;
    if (!normal) AddSysMenuItem(SysMenuCaption(smRestore), 0, 3, smRestore);
    if (HasIcon(FBorderIcons, kbiMinimize) && (normal || maximized || rolled))
        AddSysMenuItem(SysMenuCaption(smMinimize), 0, 1, smMinimize);
    if (HasIcon(FBorderIcons, kbiMaximize) && (normal || rolled)) AddSysMenuItem(SysMenuCaption(smMaximize), 0, 2, smMaximize);
    if (HasIcon(FBorderIcons, kbiRollup) && (normal || maximized)) AddSysMenuItem(SysMenuCaption(smRollup), 0, 4, smRollup);
    if (HasIcon(FBorderIcons, kbiTray) && (normal || maximized || rolled))
        AddSysMenuItem(SysMenuCaption(smMinToTray), 0, 5, smMinToTray);
    if (HasIcon(FBorderIcons, kbiClose)) {
        if (FSysMenu->Count() > 0) AddSysMenuItem("-", 0, -1, -1);
        AddSysMenuItem(SysMenuCaption(smClose), ShortCut(VK_F4, ssAlt), 0, smClose);
    }
    FSysMenu->SetPopupBlend(FSysMenuBlend);
    FSysMenu->SetPopupBlendValue(FSysMenuBlendValue);
    FSysMenu->SetDropShadow(FSysMenuDropShadow);
    FSysMenu->SetShadowWidth(FSysMenuShadowWidth);
    FSysMenu->SetShowAnimation(FSysMenuShowAnimation);
    FSysMenu->SetShowAnimationTime(FSysMenuShowAnimationTime);
}

template <class F>
void TSkinForm<F>::DoSysMenu(TObject* sender)
{
    auto* item = dynamic_cast<Item*>(sender);
    if (!item) return;
    switch (item->Tag) {
    case smClose: Close(); break;
    case smMaximize: Maximize(); break;
    case smMinimize: Minimize(); break;
    case smRollup: Rollup(); break;
    case smMinToTray: MinToTray(); break;
    case smRestore: Restore(); break;
    default: break;
    }
}

template <class F>
void TSkinForm<F>::SysMenu()
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    // Never rebuilt while its own loop shows it (the open items would go).
    // The open level tells, so that nothing here touches the frame after
    // the loop: a form freed meanwhile takes the frame with it.
    if (FSysMenu && F::ItemView::IsShowing(FSysMenu)) return;
    CreateSysMenu();
    POINT p{0, 0};
    if (FWindowState == kwsTray)
        GetCursorPos(&p);
    else if (MpFamily && (FSysMenuPoint.x != 0 || FSysMenuPoint.y != 0))
        p = FSysMenuPoint;
    else
        p = form->ClientOrigin();
    if constexpr (MpFamily) {
        if (FWindowState == kwsTray && FTrayMenu) {
            if (auto* skinned = dynamic_cast<TMpCustomPopupMenu*>(FTrayMenu)) skinned->Items()->SetTray(true);
            FTrayMenu->Popup(p.x, p.y);
            return;
        }
        FSysMenu->SetTray(FWindowState == kwsTray);
    }
    FSysMenu->Popup(nullptr, p.x, p.y, RECT{0, 0, 0, 0});
}

template <class F>
void TSkinForm<F>::FreeSysMenu()
{
    Item* root = FSysMenu;
    FSysMenu = nullptr;
    if (root) root->Free();
}

template <class F>
TComponent* TSkinForm<F>::MenuBarComponent() const
{
    return FMenuBar;
}

template <class F>
void TSkinForm<F>::ReadMenuBar(TReader& reader)
{
    reader.ReadReference<MenuBar>([this](MenuBar* bar) { SetMenuBar(bar); });
}

template <class F>
void TSkinForm<F>::ShowMDIButtons()
{
    TSkinForm* parent = GetMDIParentKsForm();
    TCustomForm* form = this->GetForm();
    if (parent && parent->FMenuBar && form) parent->FMenuBar->ShowMDIItems(form);
}

template <class F>
void TSkinForm<F>::HideMDIButtons()
{
    TSkinForm* parent = GetMDIParentKsForm();
    if (parent && parent->FMenuBar) parent->FMenuBar->HideMDIItems();
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

// The procedure the frame found on the client window. It stays while the
// frame's procedure is in the chain, also after the frame let go under a
// later subclasser, so the client keeps its own handling.
template <class F>
const char* PrevClientProcProperty()
{
    return TKsFamily::HookProperty == F::HookProperty ? "Gantrel.KsMDIClientPrev" : "Gantrel.MpMDIClientPrev";
}

// The MDI client window's procedure while a frame has it: the frame's
// ClientWndProc, or the previous procedure once the frame let go.
template <class F>
LRESULT CALLBACK MDIClientProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* frame = static_cast<TSkinForm<F>*>(GetPropA(window, ClientProcProperty<F>()));
    if (!frame) {
        auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, PrevClientProcProperty<F>()));
        if (msg == WM_NCDESTROY) RemovePropA(window, PrevClientProcProperty<F>());
        if (previous) return CallWindowProcA(previous, window, msg, wParam, lParam);
        // Without a record: the client class's own procedure.
        WNDCLASSA mdiClient{};
        if (GetClassInfoA(nullptr, "MDICLIENT", &mdiClient) && mdiClient.lpfnWndProc)
            return CallWindowProcA(mdiClient.lpfnWndProc, window, msg, wParam, lParam);
        return DefWindowProcA(window, msg, wParam, lParam);
    }
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
    SetPropA(client, PrevClientProcProperty<F>(), reinterpret_cast<HANDLE>(FPrevClientProc));
}

template <class F>
void TSkinForm<F>::UnchainForm()
{
    if (FClientWindow && IsWindow(FClientWindow)) {
        // Put back only our own procedure: someone after us keeps theirs,
        // and ours then hands every message on (the property is gone).
        if (GetWindowLongPtrA(FClientWindow, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&MDIClientProc<F>)) {
            SetWindowLongPtrA(FClientWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevClientProc));
            RemovePropA(FClientWindow, PrevClientProcProperty<F>());
        }
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
    case KM_REMOVECLIENTEDGE:
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
void TSkinForm<F>::ChooseTrayIcon()
{
    TCustomForm* form = this->GetForm();
    HICON icon = nullptr;
    if (form && form->Icon() && !form->Icon()->Empty())
        icon = form->Icon()->Handle();
    else if (Application && Application->Icon())
        icon = Application->Icon()->Handle();
    FIconData.hIcon = icon;
}

template <class F>
void TSkinForm<F>::UpdateTrayIcon()
{
    if (Designing()) return;
    ChooseTrayIcon();
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
            FMenuBar->EnterLoop();
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
    if (FMenuBar) FMenuBar->CheckShortCut(WORD(message.WParam), KeyDataToShiftState(message.LParam));
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
    handled = FMenuBar && FMenuBar->IsShortCut(key.WParam, key.LParam);
    if (!handled && FSavedShortCut) FSavedShortCut(key, handled);
}

template class TSkinForm<TKsFamily>;
template class TSkinForm<TMpFamily>;

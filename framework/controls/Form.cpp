#include "Form.h"

#include "Application.h"
#include "Menu.h"
#include "ShortCuts.h"

#include <algorithm>
#include <vector>

TCustomForm::TCustomForm(TComponent* owner) : TCustomForm(owner, 0) {}

TCustomForm::TCustomForm(TComponent* owner, int) : TWinControl(owner), FIcon(new TIcon), FCanvas(new TCanvas)
{
    SetVisible(false);
    SetColor(clBtnFace);
    SetParentFont(false);
    SetBounds(0, 0, 320, 240);
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    BeginDestroy();
    // The window goes in a base destructor, where DestroyWnd is no longer
    // this class's: the menu is handed back here.
    if (FMenu && HandleAllocated()) {
        ::SetMenu(Handle(), nullptr);
        FMenu->WindowHandle = nullptr;
    }
    // MDI windows go while this class still gives them the platform's MDI
    // handling: the client window must hear of a child that goes.
    if (HandleAllocated() && FormStyle != fsNormal && FormStyle != fsStayOnTop) DestroyHandle();
    Screen->RemoveForm(this);
    delete FCanvas;
    delete FIcon;
}

void TCustomForm::AfterConstruction()
{
    if (FCreated) return;
    FCreated = true;
    if (OnCreate) OnCreate(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style)
{
    if (style == FBorderStyle) return;
    FBorderStyle = style;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons)
{
    if (icons == FBorderIcons) return;
    FBorderIcons = icons;
    RecreateWnd();
}

TWindowState TCustomForm::WindowState() const
{
    if (HandleAllocated() && IsWindowVisible(const_cast<TCustomForm*>(this)->Handle())) {
        HWND window = const_cast<TCustomForm*>(this)->Handle();
        if (IsIconic(window)) return wsMinimized;
        if (IsZoomed(window)) return wsMaximized;
        return wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState state)
{
    FWindowState = state;
    if (HandleAllocated() && Visible() && IsMDIChildWindow() && state != wsMinimized) {
        // The client window keeps which child is maximized: it must do it.
        SendMessageA(GetParent(Handle()), state == wsMaximized ? WM_MDIMAXIMIZE : WM_MDIRESTORE,
                     reinterpret_cast<WPARAM>(Handle()), 0);
        return;
    }
    if (HandleAllocated() && Visible())
        ShowWindow(Handle(), state == wsMinimized ? SW_MINIMIZE : state == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* menu)
{
    if (FMenu) {
        FMenu->WindowHandle = nullptr;
        FMenu->RemoveFreeNotification(this);
    }
    FMenu = menu;
    if (FMenu) FMenu->FreeNotification(this);
    if (HandleAllocated()) {
        ::SetMenu(Handle(), FMenu ? FMenu->Handle() : nullptr);
        if (FMenu) FMenu->WindowHandle = Handle();
    }
}

void TCustomForm::SetActiveControl(TWinControl* control)
{
    FActiveControl = FOpeningControl = control;
    if (control && HandleAllocated() && IsWindowVisible(Handle()) && control->CanFocus()) control->SetFocus();
}

void TCustomForm::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FMenu) FMenu = nullptr;
    if (component == FActiveControl) FActiveControl = nullptr;
    if (component == FOpeningControl) FOpeningControl = nullptr;
}

void TCustomForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.Style &= ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    params.Style |= WS_CLIPCHILDREN;
    DWORD icons = 0;
    if (FBorderIcons & (1u << biSystemMenu)) {
        icons |= WS_SYSMENU;
        if (FBorderIcons & (1u << biMinimize)) icons |= WS_MINIMIZEBOX;
        if (FBorderIcons & (1u << biMaximize)) icons |= WS_MAXIMIZEBOX;
    }
    switch (FBorderStyle) {
    case bsNone:
        params.Style |= WS_POPUP;
        break;
    case bsSingle:
        params.Style |= WS_CAPTION | WS_BORDER | icons;
        break;
    case bsSizeable:
        params.Style |= WS_CAPTION | WS_THICKFRAME | icons;
        break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION | (icons & WS_SYSMENU);
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        params.Style |= WS_CAPTION | (icons & WS_SYSMENU);
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_THICKFRAME | (icons & WS_SYSMENU);
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FormStyle == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    if (FormStyle == fsMDIChild) {
        // A child window of the MDI parent's client window.
        TCustomForm* parent = MDIParent();
        params.Style = (params.Style & ~WS_POPUP) | WS_CHILD | WS_CLIPSIBLINGS;
        params.ExStyle |= WS_EX_MDICHILD;
        params.WndParent = parent && parent->HandleAllocated() ? parent->ClientHandle() : nullptr;
        return;
    }
    // Every other form belongs to the main form: it stays above it and has
    // no taskbar button of its own.
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (main && main != this && main->HandleAllocated())
        params.WndParent = main->Handle();
    else
        params.WndParent = nullptr;
    if (!params.WndParent) params.ExStyle |= WS_EX_APPWINDOW;
}

void TCustomForm::CreateHandle()
{
    if (FormStyle == fsMDIChild && !HandleAllocated())
        if (TCustomForm* parent = MDIParent()) parent->HandleNeeded();
    TWinControl::CreateHandle();
    if (FormStyle == fsMDIForm) CreateClientWindow();
    if (FMenu) {
        ::SetMenu(Handle(), FMenu->Handle());
        FMenu->WindowHandle = Handle();
        // The menu bar takes room from the client area: keep the client size.
        Realign();
    }
    if (!FIcon->Empty()) SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
}

void TCustomForm::CreateClientWindow()
{
    if (FClientHandle) return;
    CLIENTCREATESTRUCT ccs = {nullptr, 0xFF00};
    // MDIS_ALLCHILDSTYLES: a child keeps the frame style its form asks for.
    FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL |
                                        WS_VSCROLL | MDIS_ALLCHILDSTYLES,
                                    0, 0, 0, 0, Handle(), nullptr, GetModuleHandleA(nullptr), &ccs);
    if (!FClientHandle) RaiseLastOSError("Cannot create the MDI client window");
    Realign();
}

TCustomForm* TCustomForm::MDIParent() const
{
    if (auto* owner = dynamic_cast<TCustomForm*>(Owner()); owner && owner->FormStyle == fsMDIForm) return owner;
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    return main && main != this && main->FormStyle == fsMDIForm ? main : nullptr;
}

bool TCustomForm::IsMDIChildWindow()
{
    return FormStyle == fsMDIChild && HandleAllocated() &&
           (GetWindowLongPtrA(Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

std::vector<TCustomForm*> TCustomForm::MDIChildList()
{
    std::vector<TCustomForm*> children;
    if (!FClientHandle) return children;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (form != this && form->IsMDIChildWindow() && GetParent(form->Handle()) == FClientHandle)
            children.push_back(form);
    }
    return children;
}

TCustomForm* TCustomForm::ActiveMDIChild()
{
    if (!FClientHandle) return nullptr;
    auto active = reinterpret_cast<HWND>(SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TCustomForm*>(FindControl(active));
}

int TCustomForm::MDIChildCount()
{
    return int(MDIChildList().size());
}

TCustomForm* TCustomForm::MDIChildren(int index)
{
    std::vector<TCustomForm*> children = MDIChildList();
    if (index < 0 || index >= int(children.size()))
        throw EListError("MDI child index out of bounds (" + std::to_string(index) + ")");
    return children[size_t(index)];
}

void TCustomForm::Cascade()
{
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile()
{
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDITILE, MDITILE_HORIZONTAL, 0);
}

void TCustomForm::AlignControls(RECT& rect)
{
    TWinControl::AlignControls(rect);
    // The client window takes what the aligned controls leave.
    if (FClientHandle)
        SetWindowPos(FClientHandle, HWND_BOTTOM, rect.left, rect.top, std::max(0L, rect.right - rect.left),
                     std::max(0L, rect.bottom - rect.top), SWP_NOACTIVATE);
}

void TCustomForm::DefaultHandler(TMessage& m)
{
    if (HandleAllocated()) {
        if (FClientHandle) {
            m.Result = DefFrameProcA(Handle(), FClientHandle, m.Msg, m.WParam, m.LParam);
            return;
        }
        if (IsMDIChildWindow()) {
            m.Result = DefMDIChildProcA(Handle(), m.Msg, m.WParam, m.LParam);
            return;
        }
    }
    TWinControl::DefaultHandler(m);
}

void TCustomForm::DestroyWnd()
{
    // The children's windows go before the client window that holds them.
    for (TCustomForm* child : MDIChildList()) child->DestroyHandle();
    FClientHandle = nullptr;
    // A window destroys the menu it carries; the menu is the TMainMenu's.
    if (FMenu && HandleAllocated()) {
        ::SetMenu(Handle(), nullptr);
        FMenu->WindowHandle = nullptr;
    }
    if (IsMDIChildWindow()) {
        // Through the client window, which activates the next child.
        HWND window = Handle();
        SendMessageA(GetParent(window), WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
        if (!IsWindow(window)) return;
    }
    TWinControl::DestroyWnd();
}

void TCustomForm::PlaceOnScreen()
{
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int left = Left(), top = Top();
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    switch (Position) {
    case poScreenCenter:
    case poDesktopCenter:
        left = area.left + (area.right - area.left - Width()) / 2;
        top = area.top + (area.bottom - area.top - Height()) / 2;
        break;
    case poMainFormCenter:
    case poOwnerFormCenter:
        if (main && main != this) {
            left = main->Left() + (main->Width() - Width()) / 2;
            top = main->Top() + (main->Height() - Height()) / 2;
        }
        break;
    default:
        return;
    }
    SetBounds(std::max(left, int(area.left)), std::max(top, int(area.top)), Width(), Height());
}

void TCustomForm::VisibleChanged()
{
    if (Visible()) {
        HandleNeeded();
        PlaceOnScreen();
        DoShow();
        int show = FWindowState == wsMinimized ? SW_SHOWMINIMIZED : FWindowState == wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOW;
        if (FShowNoActivate) {
            // Minimized has a command of its own that leaves the active
            // window alone; maximizing always activates, so a maximized form
            // keeps its state rather than coming up normal.
            ShowWindow(Handle(), FWindowState == wsMinimized ? SW_SHOWMINNOACTIVE
                                 : FWindowState == wsMaximized ? SW_SHOWMAXIMIZED
                                                               : SW_SHOWNOACTIVATE);
            return;
        }
        ShowWindow(Handle(), show);
        if (IsMDIChildWindow()) SendMessageA(GetParent(Handle()), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Handle()), 0);
        // A dialog opens on a control, so that the first key has somewhere
        // to go; the main window keeps the focus on itself.
        TWinControl* focus = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : nullptr;
        if (!focus && !(Application && Application->MainForm() == this)) focus = FindNextControl(nullptr, true, true);
        if (focus && focus->CanFocus()) focus->SetFocus();
    } else if (HandleAllocated()) {
        DoHide();
        ShowWindow(Handle(), SW_HIDE);
        // The next showing starts afresh, not where the focus was last.
        FActiveControl = FOpeningControl;
    }
}

void TCustomForm::DoShow()
{
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide) OnHide(this);
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (HandleAllocated()) {
        ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(GetAncestor(Handle(), GA_ROOT));
    }
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action)
{
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Close()
{
    if (FModalLevel > 0) {
        if (ModalResult == mrNone) ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = DefaultCloseAction();
    DoClose(action);
    ApplyCloseAction(action);
}

TCloseAction TCustomForm::DefaultCloseAction() const
{
    return Application && Application->MainForm() == this ? caFree : caHide;
}

void TCustomForm::ApplyCloseAction(TCloseAction action)
{
    if (action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::ShowNoActivate()
{
    if (Visible() && HandleAllocated()) {
        ShowWindow(Handle(), SW_SHOWNOACTIVATE);
        return;
    }
    FShowNoActivate = true;
    try {
        SetVisible(true);
    } catch (...) {
        FShowNoActivate = false;
        throw;
    }
    FShowNoActivate = false;
}

void TCustomForm::Release()
{
    if (HandleAllocated())
        PostMessageA(Handle(), CM_RELEASE, 0, 0);
    else
        Application->PostCall([this] { Free(); });
}

namespace {
struct DisabledWindows {
    HWND Keep;
    std::vector<HWND> Windows;
};

BOOL CALLBACK DisableWindow(HWND window, LPARAM data)
{
    auto* state = reinterpret_cast<DisabledWindows*>(data);
    if (window != state->Keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
        // No exception may leave a callback of the platform.
        try {
            state->Windows.push_back(window);
        } catch (...) {
            return FALSE;
        }
        EnableWindow(window, FALSE);
    }
    return TRUE;
}
}  // namespace

int TCustomForm::ShowModal()
{
    if (Visible() || FModalLevel > 0) throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    HWND active = GetActiveWindow();
    ++FModalLevel;
    ModalResult = mrNone;
    DisabledWindows disabled{nullptr, {}};
    int result = mrCancel;
    TCloseAction closeAction = caHide;
    try {
        Show();
        disabled.Keep = Handle();
        EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
        SetActiveWindow(Handle());
        for (;;) {
            Application->HandleMessage();
            if (Application->Terminated()) ModalResult = mrCancel;
            if (ModalResult != mrNone) {
                // The form may still refuse to close.
                TCloseAction action = caHide;
                if (CloseQuery()) {
                    DoClose(action);
                    closeAction = action;
                    if (action != caNone) break;
                }
                if (Application->Terminated()) break;
                ModalResult = mrNone;
            }
        }
        result = ModalResult;
    } catch (...) {
        for (HWND window : disabled.Windows) EnableWindow(window, TRUE);
        --FModalLevel;
        Hide();
        throw;
    }
    for (HWND window : disabled.Windows) EnableWindow(window, TRUE);
    --FModalLevel;
    if (active && IsWindow(active)) SetActiveWindow(active);
    Hide();
    // A form that frees itself on close goes once its messages are through,
    // as it does when it is not modal.
    if (closeAction == caFree) Release();
    return result;
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift)
{
    if (OnShortCut) {
        bool handled = false;
        TMessage message;
        message.Msg = (shift & ssAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN;
        message.WParam = key;
        message.LParam = (shift & ssAlt) ? LPARAM(1) << 29 : 0;
        OnShortCut(message, handled);
        if (handled) return true;
    }
    if (!FMenu) return false;
    TMenuItem* item = FMenu->FindShortCut(ShortCut(key, shift));
    if (!item || !item->Enabled()) return false;
    item->Click();
    return true;
}

namespace {
bool IsRadioButton(TWinControl* control)
{
    return control && control->HandleAllocated() &&
           (SendMessageA(control->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

// The radio buttons of one parent are a group: an arrow moves the focus to
// the next one in tab order (or the one before), round the group, and
// checks it. False when the focus is on no radio button.
bool SelectInRadioGroup(TWinControl* current, bool forward)
{
    if (!IsRadioButton(current) || !current->Parent()) return false;
    TWinControl* parent = current->Parent();
    std::vector<TWinControl*> group;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* c = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (c && (c == current || (c->CanFocus() && IsRadioButton(c)))) group.push_back(c);
    }
    std::sort(group.begin(), group.end(),
              [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    const size_t n = group.size(), i = size_t(std::find(group.begin(), group.end(), current) - group.begin());
    TWinControl* next = group[forward ? (i + 1) % n : (i + n - 1) % n];
    if (next == current) return true;
    next->SetFocus();
    // Ours check themselves as the focus comes; the platform's are clicked,
    // as its dialog manager clicks them.
    HWND window = next->Handle();
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "Button") == 0 && SendMessageA(window, BM_GETCHECK, 0, 0) != BST_CHECKED)
        SendMessageA(window, BM_CLICK, 0, 0);
    return true;
}
}  // namespace

bool TCustomForm::DialogKey(WORD key, TShiftState shift)
{
    if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        TWinControl* current = TWinControl::FindControl(GetFocus());
        SelectNext(current, !(shift & ssShift), true);
        return true;
    }
    if (key >= VK_LEFT && key <= VK_DOWN && !(shift & (ssCtrl | ssAlt)))
        return SelectInRadioGroup(TWinControl::FindControl(GetFocus()), key == VK_RIGHT || key == VK_DOWN);
    if (key == VK_RETURN || key == VK_ESCAPE) {
        // The default or cancel button of the form takes it.
        std::vector<TWinControl*> stack = {this};
        while (!stack.empty()) {
            TWinControl* parent = stack.back();
            stack.pop_back();
            for (int i = 0; i < parent->ControlCount(); ++i) {
                auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
                if (!child || !child->Visible() || !child->Enabled()) continue;
                if (child->Perform(CM_DIALOGKEY, key, 0)) return true;
                stack.push_back(child);
            }
        }
    }
    return false;
}

void TCustomForm::PaintWindow(HDC dc)
{
    if (!OnPaint) return;
    FCanvas->SetHandle(dc);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->SetColor(Color());
    try {
        OnPaint(this);
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
}

void TCustomForm::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case CM_RELEASE:
        Free();
        return;
    case WM_QUERYENDSESSION: {
        bool canEnd = true;
        if (OnQueryEndSession) OnQueryEndSession(this, canEnd);
        m.Result = canEnd ? TRUE : FALSE;
        return;
    }
    case WM_ENDSESSION:
        if (OnEndSession) OnEndSession(this, m.WParam != 0);
        m.Result = 0;
        return;
    case CM_FOCUSCHANGED:
        // The form's own window takes the focus as it is activated, before
        // the control it is to hand it on to: that one stays.
        if (m.LParam != reinterpret_cast<LPARAM>(static_cast<TWinControl*>(this)))
            FActiveControl = reinterpret_cast<TWinControl*>(m.LParam);
        break;
    case CM_DIALOGKEY:
        m.Result = DialogKey(WORD(m.WParam), KeyboardShiftState()) ? 1 : 0;
        return;
    case CM_DIALOGCHAR:
        // A key that several of the window's controls share only moves the
        // focus among them (looked at once, here, for the whole window); one
        // that a single control has goes down to the children.
        if (FocusNextWithAccel(unsigned(m.WParam))) {
            m.Result = 1;
            return;
        }
        break;
    case WM_COMMAND:
        if (m.LParam == 0 && HIWORD(m.WParam) == 0 && FMenu && FMenu->DispatchCommand(LOWORD(m.WParam))) return;
        break;
    case WM_ENTERMENULOOP:
        if (FMenu) FMenu->BeginUse();
        break;
    case WM_EXITMENULOOP:
        if (FMenu) FMenu->EndUse();
        break;
    case WM_ACTIVATE: {
        bool active = LOWORD(m.WParam) != WA_INACTIVE;
        DefaultHandler(m);
        FActive = active;
        if (active) {
            Screen->SetActiveForm(this);
            if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->HandleAllocated() &&
                LOWORD(m.WParam) != WA_INACTIVE && !HIWORD(m.WParam))
                ::SetFocus(FActiveControl->Handle());
            if (OnActivate) OnActivate(this);
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        return;
    }
    case WM_SIZE: {
        // Restoring is coming back from the task bar, not every resize.
        bool wasIconic = FIconic;
        FIconic = m.WParam == SIZE_MINIMIZED;
        if (m.WParam == SIZE_MINIMIZED) FWindowState = wsMinimized;
        else if (m.WParam == SIZE_MAXIMIZED) FWindowState = wsMaximized;
        else if (m.WParam == SIZE_RESTORED) FWindowState = wsNormal;
        if (Application && Application->MainForm() == this) {
            if (FIconic && !wasIconic) Application->DoMinimize();
            if (!FIconic && wasIconic) Application->DoRestore();
        }
        break;
    }
    }
    TWinControl::Dispatch(m);
}

void TCustomForm::BeforeDestruction()
{
    if (OnDestroy) OnDestroy(this);
    TWinControl::BeforeDestruction();
}

void TCustomForm::Loaded()
{
    if (FLoadClientWidth >= 0 || FLoadClientHeight >= 0) {
        RECT client = ClientRect();
        SetClientSize(FLoadClientWidth >= 0 ? FLoadClientWidth : client.right,
                      FLoadClientHeight >= 0 ? FLoadClientHeight : client.bottom);
    }
    TWinControl::Loaded();
}

TPersistent* TCustomForm::PropertyObject(const std::string& name)
{
    if (name == "Icon") return FIcon;
    return TWinControl::PropertyObject(name);
}

bool TCustomForm::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames borderStyles = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
    static const TEnumNames borderIcons = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
    static const TEnumNames windowStates = {"wsNormal", "wsMinimized", "wsMaximized"};
    static const TEnumNames positions = {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                         "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
    static const TEnumNames formStyles = {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
    if (name == "ClientWidth") FLoadClientWidth = reader.ReadInteger();
    else if (name == "ClientHeight") FLoadClientHeight = reader.ReadInteger();
    else if (name == "BorderStyle") FBorderStyle = TFormBorderStyle(reader.ReadEnum(borderStyles));
    else if (name == "BorderIcons") FBorderIcons = reader.ReadSet(borderIcons);
    else if (name == "WindowState") FWindowState = TWindowState(reader.ReadEnum(windowStates));
    else if (name == "Position") Position = TPosition(reader.ReadEnum(positions));
    else if (name == "FormStyle") FormStyle = TFormStyle(reader.ReadEnum(formStyles));
    else if (name == "KeyPreview") KeyPreview = reader.ReadBool();
    else if (name == "Menu") reader.ReadReference<TMainMenu>([this](TMainMenu* menu) { SetMenu(menu); });
    else if (name == "ActiveControl")
        reader.ReadReference<TWinControl>([this](TWinControl* c) { FActiveControl = FOpeningControl = c; });
    else if (name == "OnCreate") OnCreate = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnDestroy") OnDestroy = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnShow") OnShow = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnHide") OnHide = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnActivate") OnActivate = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnDeactivate") OnDeactivate = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnPaint") OnPaint = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnClose") OnClose = reader.ReadEvent<TCloseEvent>();
    else if (name == "OnCloseQuery") OnCloseQuery = reader.ReadEvent<TCloseQueryEvent>();
    else if (name == "OnQueryEndSession") OnQueryEndSession = reader.ReadEvent<TCloseQueryEvent>();
    else if (name == "OnEndSession") OnEndSession = reader.ReadEvent<TEndSessionEvent>();
    else if (name == "OnShortCut") OnShortCut = reader.ReadEvent<TShortCutEvent>();
    else return TWinControl::ReadProperty(name, reader);
    return true;
}

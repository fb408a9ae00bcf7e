// The form frame's model: construction, properties, the window states and
// their commands, and the dispatch of the messages it owns.
#include "Frames.h"

#include "Application.h"
#include "FlagScope.h"
#include "Font.h"
#include "ImageList.h"
#include "Menu.h"
#include "Reader.h"

#include <algorithm>
#include <cstring>

const TEnumNames& KsBorderStyleNames()
{
    static const TEnumNames names = {"kbsNone", "kbsStandard", "kbsToolWindow"};
    return names;
}

const TEnumNames& KsBorderIconNames()
{
    static const TEnumNames names = {"kbiClose", "kbiSystemMenu", "kbiMinimize", "kbiMaximize",
                                     "kbiHelp",  "kbiRollup",     "kbiTray"};
    return names;
}

const TEnumNames& KsWindowStateNames()
{
    static const TEnumNames names = {"kwsNormal", "kwsMaximized", "kwsMinimized", "kwsRollup", "kwsTray"};
    return names;
}

const TEnumNames& KsAnimationNames()
{
    static const TEnumNames names = {"kaNone", "kaRandom", "kaFade", "kaSlide", "kaRect"};
    return names;
}

template <class F> TFont* TSkinForm<F>::FCaptionFont = nullptr;
template <class F> TFont* TSkinForm<F>::FSmCaptionFont = nullptr;
template <class F> TImageList* TSkinForm<F>::FCaptionButtonImages = nullptr;
template <class F> typename F::Bitmap* TSkinForm<F>::FSharedBuffer = nullptr;
template <class F> UINT TSkinForm<F>::FNextIconId = 0;

template <class F>
TSkinForm<F>::TSkinForm(TComponent* owner) : Base(owner)
{
    FConstraints = new TSizeConstraints();
    FScreenCopy = new Bitmap();
    // Mp makes its own buffer in Loaded when blended, else it shares one.
    if constexpr (KsFamily) FFrameBuffer = new Bitmap();
    if (auto* form = dynamic_cast<TCustomForm*>(owner)) {
        // Windows keeps a plain sizeable window; the frame draws the rest.
        form->SetBorderStyle(bsSizeable);
        form->SetBorderIcons(0);
        this->FControl = form;
        if (form->FormStyle == fsMDIChild) {
            FMinimizeApplication = false;
            FMagneticValue = 9;
            FBorderIcons = KsMDIChildBorderIcons;
        }
    } else if constexpr (MpFamily) {
        if (auto* control = dynamic_cast<TWinControl*>(owner)) this->FControl = control;
    }
    FTrayWindow = AllocateHWnd(MakeEvent<&TSkinForm::MsgTrayWndProc>(this));
    if (!Designing()) {
        std::memset(&FIconData, 0, sizeof(FIconData));
        FIconData.cbSize = sizeof(FIconData);
        FIconData.hWnd = FTrayWindow;
        FIconData.uID = ++FNextIconId;
        FIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        FIconData.uCallbackMessage = KM_TRAYNOTIFY;
    }
    FFramePainting = true;
}

template <class F>
TSkinForm<F>::~TSkinForm()
{
    // No message of the form may reach a half-destroyed frame.
    if (this->Active()) this->UnHookForm();
    UnchainForm();
    UnchainApplicationEvents();
    if (!Designing() && FWindowState == kwsTray) Shell_NotifyIconA(NIM_DELETE, &FIconData);
    if (FTrayWindow) DeallocateHWnd(FTrayWindow);
    FreeSysMenu();
    FConstraints->Free();
    FScreenCopy->Free();
    if (FFrameBuffer) FFrameBuffer->Free();
    if (FCaptionIcon) DestroyIcon(FCaptionIcon);
}

template <class F>
bool TSkinForm<F>::Designing() const
{
    return (this->ComponentState() & csDesigning) != 0;
}

template <class F>
bool TSkinForm<F>::IsMDIChild() const
{
    TCustomForm* form = this->GetForm();
    return form && form->FormStyle == fsMDIChild;
}

template <class F>
bool TSkinForm<F>::IsMDIParent() const
{
    TCustomForm* form = this->GetForm();
    return form && form->FormStyle == fsMDIForm;
}

template <class F>
bool TSkinForm<F>::IsModalForm() const
{
    TCustomForm* form = this->GetForm();
    return form && form->Modal();
}

// --- Properties ------------------------------------------------------------------------

template <class F>
void TSkinForm<F>::SetBorderStyle(TKsBorderStyle value)
{
    FBorderStyle = value;
    if (KsFamily || !this->Loading()) Update();
}

template <class F>
void TSkinForm<F>::SetCanMove(bool value)
{
    FCanMove = value;
    if (KsFamily || !this->Loading()) Update();
}

template <class F>
void TSkinForm<F>::SetCanResize(bool value)
{
    FCanResize = value;
    if (KsFamily || !this->Loading()) Update();
}

template <class F>
void TSkinForm<F>::SetBorderIcons(TKsBorderIcons value)
{
    FBorderIcons = value;
    if (KsFamily || !this->Loading()) Update();
}

template <class F>
void TSkinForm<F>::SetBlend(bool value)
{
    FBlend = value;
    if (KsFamily || !this->Loading()) Update();
}

template <class F>
void TSkinForm<F>::SetBlendValue(int value)
{
    FBlendValue = std::clamp(value, 0, 255);
    if (KsFamily || !this->Loading()) Update();
}

template <class F>
void TSkinForm<F>::SetConstraints(TSizeConstraints* value)
{
    if (value && value != FConstraints) FConstraints->Assign(value);
    if (TCustomForm* form = this->GetForm()) {
        int minWidth = FConstraints->MinWidth(), minHeight = FConstraints->MinHeight();
        if (form->Width() < minWidth) form->SetWidth(minWidth);
        if (form->Height() < minHeight) form->SetHeight(minHeight);
    }
    Update();
}

template <class F>
void TSkinForm<F>::SetMenuBar(MenuBar* value)
{
    FMenuBar = value;
    if (value) if (TComponent* bar = MenuBarComponent()) this->FreeNotification(bar);
}

template <class F>
void TSkinForm<F>::SetTrayMenu(TPopupMenu* value)
{
    FTrayMenu = value;
    if (value) this->FreeNotification(value);
}

template <class F>
void TSkinForm<F>::SetStayOnTop(bool value)
{
    if (MpFamily && value == FStayOnTop) return;
    FStayOnTop = value;
    TCustomForm* form = this->GetForm();
    if (Designing() || !form || !form->HandleAllocated()) return;
    SetWindowPos(form->Handle(), value ? HWND_TOPMOST : HWND_NOTOPMOST, form->Left(), form->Top(), FFrameWidth,
                 FFrameHeight, SWP_NOCOPYBITS | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

template <class F>
void TSkinForm<F>::SetWindowState(TKsWindowState value)
{
    if constexpr (KsFamily) {
        FWindowState = value;
        Update();
    } else {
        if (value == FWindowState) return;
        if (this->Loading()) {
            FStreamedWindowState = value;
            FWindowStateStreamed = true;
            return;
        }
        switch (value) {
        case kwsNormal: Restore(); break;
        case kwsMaximized: Maximize(); break;
        case kwsMinimized: Minimize(); break;
        case kwsRollup: Rollup(); break;
        case kwsTray: MinToTray(); break;
        }
    }
}

template <class F>
typename F::Bitmap* TSkinForm<F>::GetBuffer() const
{
    if (FFrameBuffer) return FFrameBuffer;
    if constexpr (MpFamily) return SharedBuffer();
    return nullptr;
}

// --- Unit-wide objects -----------------------------------------------------------------

template <class F>
void TSkinForm<F>::CreateCaptionFonts()
{
    if (!FCaptionFont) FCaptionFont = new TFont();
    if (!FSmCaptionFont) FSmCaptionFont = new TFont();
    NONCLIENTMETRICSA metrics{};
    // The size of the record without the padded width of newer systems.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return;
    LogFontToFont(metrics.lfCaptionFont, FCaptionFont);
    LogFontToFont(metrics.lfSmCaptionFont, FSmCaptionFont);
}

template <class F>
TFont* TSkinForm<F>::CaptionFont()
{
    if (!FCaptionFont) CreateCaptionFonts();
    return FCaptionFont;
}

template <class F>
TFont* TSkinForm<F>::SmCaptionFont()
{
    if (!FSmCaptionFont) CreateCaptionFonts();
    return FSmCaptionFont;
}

template <class F>
TImageList* TSkinForm<F>::CaptionButtonImages()
{
    if (!FCaptionButtonImages) CreateCaptionButtonImages();
    return FCaptionButtonImages;
}

template <class F>
typename F::Bitmap* TSkinForm<F>::SharedBuffer()
{
    if (!FSharedBuffer) {
        FSharedBuffer = new Bitmap();
        FSharedBuffer->SetSize(GetSystemMetrics(SM_CXSCREEN) + 500, GetSystemMetrics(SM_CYSCREEN) + 500);
    }
    return FSharedBuffer;
}

template <class F>
void TSkinForm<F>::FreeUnitObjects()
{
    if (FCaptionFont) FCaptionFont->Free();
    if (FSmCaptionFont) FSmCaptionFont->Free();
    if (FCaptionButtonImages) FCaptionButtonImages->Free();
    if (FSharedBuffer) FSharedBuffer->Free();
    FCaptionFont = FSmCaptionFont = nullptr;
    FCaptionButtonImages = nullptr;
    FSharedBuffer = nullptr;
}

// --- Lifecycle ---------------------------------------------------------------------------

template <class F>
void TSkinForm<F>::Loaded()
{
    Base::Loaded();
    TWinControl* control = this->HookedControl();
    if (!control) control = this->FControl;
    if constexpr (MpFamily) {
        if (FBlend && !FFrameBuffer && control) {
            FFrameBuffer = new Bitmap();
            FFrameBuffer->SetSize(std::max(control->Width(), 1), std::max(control->Height(), 1));
        }
        if ((FBlend || FDropShadow) && control)
            FScreenCopy->SetSize(std::max(control->Width(), 1), std::max(control->Height(), 1));
        ChainFormShortCut();
        InstallClientProc();
        if (FWindowStateStreamed) {
            FWindowStateStreamed = false;
            TKsWindowState state = FStreamedWindowState;
            FWindowState = kwsNormal;
            SetWindowState(state);
        }
    } else {
        if (FBlend || FDropShadow) {
            if (FCanMove)
                FScreenCopy->SetSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
            else if (control)
                FScreenCopy->SetSize(std::max(control->Width(), 1), std::max(control->Height(), 1));
        }
        InstallClientProc();
        Update();
        UpdateTrayIcon();
    }
}

template <class F>
void TSkinForm<F>::Notification(TComponent* component, TOperation operation)
{
    Base::Notification(component, operation);
    if (operation != opRemove || !component) return;
    if (FMenuBar && component == MenuBarComponent()) FMenuBar = nullptr;
    if (component == FTrayMenu) FTrayMenu = nullptr;
}

template <class F>
bool TSkinForm<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Active") {
        this->SetActive(reader.ReadBool());
    } else if (name == "Blend") {
        SetBlend(reader.ReadBool());
    } else if (name == "BlendValue") {
        SetBlendValue(reader.ReadInteger());
    } else if (name == "BorderIcons") {
        SetBorderIcons(TKsBorderIcons(reader.ReadSet(KsBorderIconNames())));
    } else if (name == "BorderStyle") {
        SetBorderStyle(TKsBorderStyle(reader.ReadEnum(KsBorderStyleNames())));
    } else if (name == "CanResize") {
        SetCanResize(reader.ReadBool());
    } else if (name == "CanMove") {
        SetCanMove(reader.ReadBool());
    } else if (name == "Magnetic") {
        SetMagnetic(reader.ReadBool());
    } else if (name == "MagneticValue") {
        SetMagneticValue(reader.ReadInteger());
    } else if (name == "MenuBar") {
        ReadMenuBar(reader);
    } else if (name == "MinimizeApplication") {
        SetMinimizeApplication(reader.ReadBool());
    } else if (name == "ShowAnimation") {
        SetShowAnimation(TKsAnimation(reader.ReadEnum(KsAnimationNames())));
    } else if (name == "ShowAnimationTime") {
        SetShowAnimationTime(reader.ReadInteger());
    } else if (name == "StayOnTop") {
        SetStayOnTop(reader.ReadBool());
    } else if (name == "SysMenuBlend") {
        SetSysMenuBlend(reader.ReadBool());
    } else if (name == "SysMenuBlendValue") {
        SetSysMenuBlendValue(reader.ReadInteger());
    } else if (name == "SysMenuDropShadow") {
        SetSysMenuDropShadow(reader.ReadBool());
    } else if (name == "SysMenuShadowWidth") {
        SetSysMenuShadowWidth(reader.ReadInteger());
    } else if (name == "SysMenuShowAnimation") {
        SetSysMenuShowAnimation(TKsAnimation(reader.ReadEnum(KsAnimationNames())));
    } else if (name == "SysMenuShowAnimationTime") {
        SetSysMenuShowAnimationTime(reader.ReadInteger());
    } else if (name == "OnPaint") {
        OnPaint = reader.ReadEvent<TPaintEvent>();
    } else if (MpFamily && name == "DropShadow") {
        SetDropShadow(reader.ReadBool());
    } else if (MpFamily && name == "ShadowWidth") {
        SetShadowWidth(reader.ReadInteger());
    } else if (MpFamily && name == "SimpleDrag") {
        SetSimpleDrag(reader.ReadBool());
    } else if (MpFamily && name == "TrayMenu") {
        reader.ReadReference<TPopupMenu>([this](TPopupMenu* menu) { SetTrayMenu(menu); });
    } else if (name == "WindowState") {
        SetWindowState(TKsWindowState(reader.ReadEnum(KsWindowStateNames())));
    } else {
        return Base::ReadProperty(name, reader);
    }
    return true;
}

template <class F>
TPersistent* TSkinForm<F>::PropertyObject(const std::string& name)
{
    if (name == "Constraints") return FConstraints;
    return Base::PropertyObject(name);
}

// --- Window states and commands --------------------------------------------------------

template <class F>
void TSkinForm<F>::SaveBounds()
{
    if (TCustomForm* form = this->GetForm()) FSavedBounds = form->BoundsRect();
}

template <class F>
void TSkinForm<F>::Update()
{
    TCustomForm* form = this->GetForm();
    if (!form || !this->Active()) return;
    if constexpr (KsFamily) {
        int width = form->Width();
        form->SetWidth(width + 1);
        form->SetWidth(width);
    } else {
        if (Designing()) return;
        TFlagScope updating(FUpdating);
        int clientWidth = form->ClientWidth(), clientHeight = form->ClientHeight();
        int height = form->Height();
        form->SetHeight(height + 1);
        form->SetHeight(height);
        int dw = clientWidth - form->ClientWidth(), dh = clientHeight - form->ClientHeight();
        if (dw || dh) form->SetBounds(form->Left(), form->Top(), form->Width() + dw, form->Height() + dh);
        if (form->HandleAllocated()) {
            RECT r = GetNCRect();
            InvalidateRect(form->Handle(), &r, TRUE);
        }
    }
}

template <class F>
void TSkinForm<F>::Close()
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    // A modal form ends its loop, which runs the close handling once.
    if (form->Modal()) {
        if constexpr (KsFamily)
            form->Close();
        else
            form->ModalResult = mrCancel;
        return;
    }
    if (!form->CloseQuery()) return;
    TCloseAction action;
    if (IsMDIChild())
        action = KsFamily || HasIcon(FBorderIcons, kbiMinimize) ? caMinimize : caNone;
    else if constexpr (KsFamily)
        action = form->DefaultCloseAction();
    else
        action = caHide;
    // The form's OnClose runs here and only here.
    form->DoCloseHandling(action);
    switch (action) {
    case caNone: break;
    case caMinimize: Minimize(); break;
    case caHide:
    case caFree:
        if (IsMDIChild()) {
            HideMDIButtons();
            RestoreMDIChildren();
        }
        form->ApplyCloseAction(action);
        break;
    }
}

template <class F>
void TSkinForm<F>::Maximize()
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    if (FWindowState == kwsMaximized) {
        Restore();
        return;
    }
    FPrevWindowState = FWindowState;
    // The saved bounds stay those of the normal state: a window coming back
    // from the tray keeps them too.
    if (FPrevWindowState != kwsRollup && FPrevWindowState != kwsMinimized && FPrevWindowState != kwsTray)
        SaveBounds();
    FWindowState = kwsMaximized;
    MoveWindow(GetMaximizedRect());
    UpdateNCArea();
    if constexpr (MpFamily) form->Invalidate();
    if (IsMDIChild()) {
        Update();
        ShowMDIButtons();
        ChangeMDIParentCaption();
    }
}

template <class F>
void TSkinForm<F>::Minimize()
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    if (form->Modal()) return;
    if (FWindowState == kwsMinimized) {
        Restore();
        return;
    }
    FPrevWindowState = FWindowState;
    if (FPrevWindowState != kwsRollup && FPrevWindowState != kwsMaximized && FPrevWindowState != kwsTray)
        SaveBounds();
    FWindowState = kwsMinimized;
    if (IsMDIChild()) {
        Update();
        if (form->HandleAllocated()) PostMessageA(form->Handle(), WM_SIZE, 0, 0);
        HideMDIButtons();
        RestoreMDIChildren();
    }
    if (FMinimizeApplication && Application)
        Application->Minimize();
    else
        MoveWindow(GetMinimizedRect());
}

template <class F>
void TSkinForm<F>::Rollup()
{
    if (!this->GetForm()) return;
    if (FWindowState == kwsRollup) {
        Restore();
        return;
    }
    FPrevWindowState = FWindowState;
    if (FPrevWindowState != kwsMinimized && FPrevWindowState != kwsMaximized && FPrevWindowState != kwsTray)
        SaveBounds();
    FWindowState = kwsRollup;
    MoveWindow(GetRollupRect());
}

template <class F>
void TSkinForm<F>::MinToTray()
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    if (form->Modal()) return;
    if (FWindowState == kwsTray) {
        Restore();
        return;
    }
    FPrevWindowState = FWindowState;
    if (FPrevWindowState != kwsMaximized && FPrevWindowState != kwsMinimized && FPrevWindowState != kwsRollup)
        SaveBounds();
    FWindowState = kwsTray;
    std::string tip;
    if (FMinimizeApplication && Application) {
        tip = Application->Title();
        Application->Minimize();
        if (Application->Handle()) ShowWindow(Application->Handle(), SW_HIDE);
    } else {
        tip = form->Caption();
        if (form->HandleAllocated()) ShowWindow(form->Handle(), SW_HIDE);
    }
    // At most 63 characters and the terminator.
    tip = tip.substr(0, 63);
    std::memset(FIconData.szTip, 0, sizeof(FIconData.szTip));
    std::memcpy(FIconData.szTip, tip.data(), tip.size());
    // The picture as it is now: the form's icon may have changed since the
    // frame was loaded, and Mp never chose one before.
    ChooseTrayIcon();
    Shell_NotifyIconA(NIM_ADD, &FIconData);
}

template <class F>
void TSkinForm<F>::Restore()
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    switch (FWindowState) {
    case kwsNormal:
        MoveToSaved();
        break;
    case kwsMaximized:
        if (FPrevWindowState == kwsMinimized) {
            if (FMinimizeApplication) break;
            FWindowState = kwsNormal;
            MoveToSaved();
            Maximize();
        } else if (FPrevWindowState == kwsRollup) {
            FWindowState = kwsNormal;
            MoveToSaved();
            Rollup();
        } else {
            FWindowState = kwsNormal;
            MoveToSaved();
            if constexpr (MpFamily) {
                if (FDropShadow) {
                    form->Invalidate();
                    UpdateNCArea();
                }
            }
            if (IsMDIChild()) {
                Update();
                if (form->HandleAllocated()) PostMessageA(form->Handle(), WM_SIZE, 0, 0);
                HideMDIButtons();
                RestoreMDIChildren();
            }
        }
        break;
    case kwsMinimized:
        if (FPrevWindowState == kwsMaximized) {
            Maximize();
            FPrevWindowState = kwsNormal;
        } else if (FPrevWindowState == kwsRollup) {
            Rollup();
            FPrevWindowState = kwsNormal;
        } else {
            FWindowState = kwsNormal;
            MoveToSaved();
        }
        break;
    case kwsRollup:
        if (GetMaximizedRect().right - GetMaximizedRect().left == FFrameWidth || FPrevWindowState == kwsMaximized) {
            Maximize();
            FPrevWindowState = kwsNormal;
        } else {
            // The window keeps its place and gets its size back.
            FWindowState = kwsNormal;
            if (HasSavedBounds()) {
                RECT r = FSavedBounds;
                OffsetRect(&r, form->Left() - r.left, form->Top() - r.top);
                MoveWindow(r);
            }
        }
        break;
    case kwsTray: {
        RECT saved = FSavedBounds;
        TKsWindowState prev = FPrevWindowState;
        if (FMinimizeApplication && Application) {
            Application->Restore();
            if (Application->Handle()) {
                ShowWindow(Application->Handle(), SW_RESTORE);
                SetForegroundWindow(Application->Handle());
            }
        }
        if (form->HandleAllocated()) {
            ShowWindow(form->Handle(), SW_SHOW);
            SetForegroundWindow(form->Handle());
        }
        Shell_NotifyIconA(NIM_DELETE, &FIconData);
        FPrevWindowState = prev;
        FSavedBounds = saved;
        if (prev == kwsMaximized) {
            Maximize();
            FSavedBounds = saved;
            FPrevWindowState = kwsNormal;
        } else if (prev == kwsRollup) {
            Rollup();
            FSavedBounds = saved;
            FPrevWindowState = kwsNormal;
        } else {
            FWindowState = kwsNormal;
            MoveToSaved();
        }
        break;
    }
    }
}

template <class F>
void TSkinForm<F>::Help()
{
    TCustomForm* form = this->GetForm();
    if (!form || !form->HandleAllocated()) return;
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
}

// --- Messages --------------------------------------------------------------------------

template <class F>
void TSkinForm<F>::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_MDIACTIVATE: WMMDIActivate(message); break;
    case WM_NCACTIVATE: WMNCActivate(message); break;
    case WM_NCHITTEST: WMNCHitTest(message); break;
    case WM_NCCALCSIZE: WMNCCalcSize(message); break;
    case WM_NCPAINT: WMNCPaint(message); break;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(message); break;
    case WM_NCLBUTTONUP: WMNCLButtonUp(message); break;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(message); break;
    case WM_NCRBUTTONDOWN: WMNCRButtonDown(message); break;
    case WM_NCRBUTTONUP: WMNCRButtonUp(message); break;
    case WM_NCMOUSEMOVE: WMNCMouseMove(message); break;
    case WM_LBUTTONUP: WMLButtonUp(message); break;
    case WM_MOUSEMOVE: WMMouseMove(message); break;
    case WM_CAPTURECHANGED: WMCaptureChanged(message); break;
    case WM_ACTIVATE: WMActivate(message); break;
    case WM_ERASEBKGND: WMEraseBkgnd(message); break;
    case WM_PAINT: WMPaint(message); break;
    case WM_SYSCOMMAND: WMSysCommand(message); break;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(message); break;
    case WM_SETTEXT:
    case WM_SETICON: WMSetText(message); break;
    case KM_FORMISBLEND: WMFormIsBlend(message); break;
    case KM_UPDATENCAREA: WMUpdateNCArea(message); break;
    case KM_MAXIMIZE: WMMaximize(message); break;
    case WM_KEYDOWN:
        if constexpr (KsFamily) WMKeyDown(message);
        break;
    case WM_SYSKEYDOWN:
    case WM_SIZE:
        break;
    default: break;
    }
}

template <class F>
void TSkinForm<F>::WMFormIsBlend(TMessage& message)
{
    message.Result = FBlend ? 1 : 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMMaximize(TMessage& message)
{
    Maximize();
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMUpdateNCArea(TMessage& message)
{
    TCustomForm* form = this->GetForm();
    if (message.WParam == KM_UPDATENCAREA_RESTORECAPTION && form && form->HandleAllocated()) {
        HWND window = form->Handle();
        SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_CAPTION);
    }
    UpdateNCArea();
    message.Result = 0;
    this->MessageHandled();
}

// The platform paints its own caption while it stores a new text (or icon)
// into a window with WS_CAPTION: the caption bits are off until the form's
// own procedure is through with it (AfterControl puts them back).
template <class F>
void TSkinForm<F>::WMSetText(TMessage& message)
{
    (void)message;
    TCustomForm* form = this->GetForm();
    if (!form || !form->HandleAllocated()) return;
    HWND window = form->Handle();
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (!(style & WS_CAPTION)) return;
    SetWindowLongPtrA(window, GWL_STYLE, style & ~LONG_PTR(WS_CAPTION));
    ++FSettingText;
}

template <class F>
void TSkinForm<F>::ChainApplicationEvents()
{
    if (FAppEventsChained || !FMinimizeApplication || !Application || !this->GetForm()) return;
    FSavedAppMinimize = Application->OnMinimize;
    FSavedAppRestore = Application->OnRestore;
    Application->OnMinimize = MakeEvent<&TSkinForm::DoApplicationMinimize>(this);
    Application->OnRestore = MakeEvent<&TSkinForm::DoApplicationRestore>(this);
    FAppEventsChained = true;
    ChainedFrames().push_back(this);
}

template <class F>
std::vector<TSkinForm<F>*>& TSkinForm<F>::ChainedFrames()
{
    static std::vector<TSkinForm*> frames;
    return frames;
}

template <class F>
void TSkinForm<F>::RelinkApplicationEvents(const TNotifyEvent& minimize, const TNotifyEvent& newMinimize,
                                           const TNotifyEvent& restore, const TNotifyEvent& newRestore)
{
    for (TSkinForm* frame : ChainedFrames()) {
        if (frame->FSavedAppMinimize == minimize) frame->FSavedAppMinimize = newMinimize;
        if (frame->FSavedAppRestore == restore) frame->FSavedAppRestore = newRestore;
    }
}

template <class F>
void TSkinForm<F>::UnchainApplicationEvents()
{
    if (!FAppEventsChained) return;
    FAppEventsChained = false;
    auto& frames = ChainedFrames();
    frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
    // Whatever this frame saved goes back, even an empty handler, to where
    // this frame's own handler is: the application, or a frame of either
    // family that chained after this one. Frames can go in any order, so
    // nobody keeps calling into a freed frame.
    const TNotifyEvent minimize = MakeEvent<&TSkinForm::DoApplicationMinimize>(this);
    const TNotifyEvent restore = MakeEvent<&TSkinForm::DoApplicationRestore>(this);
    TSkinForm<TKsFamily>::RelinkApplicationEvents(minimize, FSavedAppMinimize, restore, FSavedAppRestore);
    TSkinForm<TMpFamily>::RelinkApplicationEvents(minimize, FSavedAppMinimize, restore, FSavedAppRestore);
    if (!Application) return;
    if (Application->OnMinimize == minimize) Application->OnMinimize = FSavedAppMinimize;
    if (Application->OnRestore == restore) Application->OnRestore = FSavedAppRestore;
}

template <class F>
void TSkinForm<F>::AfterControl(TObject* sender, TMessage& message, bool& handled)
{
    Base::AfterControl(sender, message, handled);
    TCustomForm* form = this->GetForm();
    if (!form) return;
    switch (message.Msg) {
    case WM_SIZE:
        AfterMDISize();
        break;
    case WM_SETTEXT:
    case WM_SETICON:
        if (FSettingText > 0 && form->HandleAllocated()) {
            --FSettingText;
            HWND window = form->Handle();
            SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_CAPTION);
            UpdateNCArea();
        }
        break;
    case WM_GETTEXT: {
        // The caption changed when its text did: an edit that keeps the
        // length is a change too.
        if (!form->HandleAllocated()) break;
        if (!message.LParam || message.WParam == 0 || message.Result < 0) break;
        const char* buffer = reinterpret_cast<const char*>(message.LParam);
        std::string text(buffer, std::min<size_t>(size_t(message.Result), size_t(message.WParam) - 1));
        if (text == FLastCaption) break;
        HWND window = form->Handle();
        SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~LONG_PTR(WS_CAPTION));
        PostMessageA(window, KM_UPDATENCAREA, KM_UPDATENCAREA_RESTORECAPTION, 0);
        FLastCaption = text;
        if (IsMDIChild() && FWindowState == kwsMaximized) ChangeMDIParentCaption();
        break;
    }
    case KM_REMOVECLIENTEDGE:
        if constexpr (KsFamily) {
            message.Result = 0;
            handled = true;
        }
        break;
    default: break;
    }
}

template class TSkinForm<TKsFamily>;
template class TSkinForm<TMpFamily>;

// --- The leaves ------------------------------------------------------------------------

TKsCustomForm::TKsCustomForm(TComponent* owner) : TSkinForm(owner) {}

TMpCustomForm::TMpCustomForm(TComponent* owner) : TSkinForm(owner) {}

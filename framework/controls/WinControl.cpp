#include "WinControl.h"

#include "Form.h"
#include "Menu.h"
#include "Reader.h"
#include "SysUtils.h"

#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_set>

namespace {

const char* const WindowClassName = "GantrelWindow";
const char* const ControlProperty = "GantrelControl";

// The control whose window is being made: its first messages come before
// CreateWindowEx returns.
thread_local TWinControl* CreationControl = nullptr;

// Every windowed control from its construction until its destructor has
// taken its window down. A window names its control in a property; the
// window procedure believes the property only for a control in this set
// whose window that is, so that a window that outlived its control never
// reaches freed memory. Never freed: controls may go after static destructors.
std::mutex& LiveMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::unordered_set<const TWinControl*>& LiveControls()
{
    static auto* set = new std::unordered_set<const TWinControl*>;
    return *set;
}

std::atomic<unsigned> StrayMessageCount{0};

void RegisterWindowClass(WNDPROC proc)
{
    static bool registered = false;
    if (registered) return;
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = WindowClassName;
    if (!RegisterClassA(&wc)) RaiseLastOSError("Cannot register the window class");
    registered = true;
}

TControl* MouseControl = nullptr;

// The window a control's mouse messages come through: its own, or for a
// windowless control its nearest windowed parent's.
TWinControl* WindowOf(TControl* control)
{
    for (; control; control = control->Parent())
        if (auto* window = dynamic_cast<TWinControl*>(control)) return window;
    return nullptr;
}

}  // namespace

void UpdateMouseControl(TControl* control)
{
    if (control == MouseControl) return;
    TControl* old = MouseControl;
    MouseControl = control;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (control) control->Perform(CM_MOUSEENTER);
}

TWinControl* TWinControl::FindControl(HWND window)
{
    if (!window) return nullptr;
    auto* control = static_cast<TWinControl*>(GetPropA(window, ControlProperty));
    if (!control) return nullptr;
    std::lock_guard<std::mutex> lock(LiveMutex());
    if (!LiveControls().count(control) || control->FHandle != window) return nullptr;
    return control;
}

unsigned TWinControl::StrayMessages()
{
    return StrayMessageCount;
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!GetPropA(window, ControlProperty) && CreationControl) {
        TWinControl* created = CreationControl;
        CreationControl = nullptr;
        created->FHandle = window;
        SetPropA(window, ControlProperty, created);
    }
    TWinControl* control = FindControl(window);
    if (!control) {
        // A window whose control is gone (or that never had one) gets the
        // default handling; one that still names a control outlived it,
        // which is a fault the tests look for.
        if (GetPropA(window, ControlProperty)) {
            ++StrayMessageCount;
            if (msg == WM_NCDESTROY) RemovePropA(window, ControlProperty);
        }
        return DefWindowProcA(window, msg, wParam, lParam);
    }
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    if (control->Destroying()) {
        // A control whose destructor has begun hears nothing more: parts of
        // it are gone already. Its window gets the default handling as it goes.
        control->DefaultHandler(m);
    } else {
        try {
            control->WindowProc(m);
        } catch (...) {
            HandleCallbackException();
        }
    }
    // The handler may have freed the control: look it up again.
    if (msg == WM_NCDESTROY) {
        RemovePropA(window, ControlProperty);
        if (TWinControl* still = FindLive(control); still && still->FHandle == window) still->FHandle = nullptr;
    }
    return m.Result;
}

TWinControl* TWinControl::FindLive(TWinControl* control)
{
    std::lock_guard<std::mutex> lock(LiveMutex());
    return LiveControls().count(control) ? control : nullptr;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner), FBrush(new TBrush)
{
    FBrush->SetColor(Color());
    std::lock_guard<std::mutex> lock(LiveMutex());
    LiveControls().insert(this);
}

TWinControl::~TWinControl()
{
    BeginDestroy();
    if (MouseControl == this) MouseControl = nullptr;
    // Children go first, whoever owns them; then the window.
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        RemoveControl(child);
        child->Free();
    }
    DestroyHandle();
    delete FBrush;
    std::lock_guard<std::mutex> lock(LiveMutex());
    LiveControls().erase(this);
}

HWND TWinControl::Handle()
{
    if (!FHandle) CreateHandle();
    return FHandle;
}

TControl* TWinControl::Controls(int index) const
{
    if (index < 0 || index >= ControlCount()) throw EListError("Control index out of bounds (" + std::to_string(index) + ")");
    return FControls[size_t(index)];
}

bool TWinControl::ContainsControl(TControl* control) const
{
    for (TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

void TWinControl::InsertControl(TControl* control)
{
    if (control->FParent) control->FParent->RemoveControl(control);
    FControls.push_back(control);
    control->FParent = this;
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
        FTabList.push_back(win);
        if (FHandle) {
            if (win->FHandle)
                ::SetParent(win->FHandle, FHandle);
            else
                win->CreateHandle();
        }
    }
    control->ParentFontChanged();
    control->ParentColorChanged();
    control->UpdateAnchorRules();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
    if (control->Align() != alNone) Realign();
    control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control)
{
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end()) return;
    control->Invalidate();
    FControls.erase(it);
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), win), FTabList.end());
        // A window must not outlive its parent's: it goes with the control.
        win->DestroyHandle();
    }
    if (FCaptureControl == control) FCaptureControl = nullptr;
    if (MouseControl == control) MouseControl = nullptr;
    control->FParent = nullptr;
    if (!Destroying()) {
        Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
        if (control->Align() != alNone) Realign();
    }
}

void TWinControl::SetChildOrder(TControl* control, int order)
{
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end()) return;
    FControls.erase(it);
    order = std::max(0, std::min(order, ControlCount()));
    FControls.insert(FControls.begin() + order, control);
    if (auto* win = dynamic_cast<TWinControl*>(control); win && win->FHandle)
        SetWindowPos(win->FHandle, order == 0 ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    control->Invalidate();
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled, bool allowWindowless)
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
        bool windowless = dynamic_cast<TWinControl*>(c) == nullptr;
        if (windowless && !allowWindowless) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p) && c->Perform(CM_HITTEST, 0, MAKELPARAM(p.x - r.left, p.y - r.top))) return c;
    }
    return nullptr;
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign()
{
    if (FAlignLevel > 0 || Loading()) {
        FAlignPending = true;
        return;
    }
    FAlignPending = false;
    RECT client = ClientRect();
    AlignControls(client);
}

void TWinControl::AlignControls(RECT& rect)
{
    FAligning = true;
    auto place = [&](TAlign align) {
        for (TControl* c : FControls) {
            if (c->Align() != align || !c->Visible()) continue;
            int w = c->Width(), h = c->Height();
            switch (align) {
            case alTop:
                c->SetBounds(rect.left, rect.top, rect.right - rect.left, h);
                rect.top += h;
                break;
            case alBottom:
                c->SetBounds(rect.left, rect.bottom - h, rect.right - rect.left, h);
                rect.bottom -= h;
                break;
            case alLeft:
                c->SetBounds(rect.left, rect.top, w, rect.bottom - rect.top);
                rect.left += w;
                break;
            case alRight:
                c->SetBounds(rect.right - w, rect.top, w, rect.bottom - rect.top);
                rect.right -= w;
                break;
            case alClient:
                c->SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
                break;
            default:
                break;
            }
        }
    };
    place(alTop);
    place(alBottom);
    place(alLeft);
    place(alRight);
    place(alClient);
    // Anchored controls keep their distance to the right and bottom edges.
    RECT client = ClientRect();
    for (TControl* c : FControls) {
        if (c->Align() != alNone) continue;
        TAnchors a = c->Anchors();
        if (!(a & (1u << akRight)) && !(a & (1u << akBottom))) continue;
        if (c->FAnchorParentSize.cx == 0 && c->FAnchorParentSize.cy == 0) continue;
        int dx = client.right - c->FAnchorParentSize.cx, dy = client.bottom - c->FAnchorParentSize.cy;
        RECT r = c->FAnchorRect;
        int left = r.left, top = r.top, width = r.right - r.left, height = r.bottom - r.top;
        if (a & (1u << akRight)) {
            if (a & (1u << akLeft)) width += dx;
            else left += dx;
        }
        if (a & (1u << akBottom)) {
            if (a & (1u << akTop)) height += dy;
            else top += dy;
        }
        c->SetBounds(left, top, width, height);
    }
    FAligning = false;
}

RECT TWinControl::FrameSize()
{
    TCreateParams params;
    CreateParams(params);
    RECT r = {0, 0, 0, 0};
    AdjustWindowRectEx(&r, params.Style, HasMenuBar(), params.ExStyle);
    return RECT{-r.left, -r.top, r.right, r.bottom};
}

POINT TWinControl::ClientOrigin() const
{
    if (!FHandle) return TControl::ClientOrigin();
    POINT p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return p;
}

RECT TWinControl::ClientRect()
{
    if (FHandle) {
        RECT r;
        GetClientRect(FHandle, &r);
        return r;
    }
    // Without a window the frame is what the style will give it.
    RECT f = FrameSize();
    return RECT{0, 0, std::max(0L, Width() - f.left - f.right), std::max(0L, Height() - f.top - f.bottom)};
}

void TWinControl::SetClientSize(int width, int height)
{
    if (!FHandle) {
        RECT f = FrameSize();
        SetBounds(Left(), Top(), width + f.left + f.right, height + f.top + f.bottom);
        return;
    }
    TControl::SetClientSize(width, height);
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.Caption = FText;
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (FTabStop) params.Style |= WS_TABSTOP;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    if (Parent())
        params.WndParent = Parent()->Handle();
    else
        params.WndParent = ParentWindow;
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent) throw EInvalidOperation(std::string("Control '") + Name() + "' has no parent window");
    // A second window would leave the first naming this control after it is gone.
    if (FHandle) throw EInvalidOperation(std::string("Control '") + Name() + "' has a window already");
    RegisterWindowClass(&StdWndProc);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (params.SubclassOf.empty()) {
        CreationControl = this;
        HWND window = CreateWindowExA(params.ExStyle, WindowClassName, params.Caption.c_str(), params.Style, params.X,
                                      params.Y, params.Width, params.Height, params.WndParent, nullptr, instance, nullptr);
        CreationControl = nullptr;
        if (!window) RaiseLastOSError(std::string("Cannot create a window for ") + ClassName());
        FHandle = window;
        FDefWndProc = DefWindowProcA;
    } else {
        HWND window = CreateWindowExA(params.ExStyle, params.SubclassOf.c_str(), params.Caption.c_str(), params.Style,
                                      params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                      instance, nullptr);
        if (!window) RaiseLastOSError(std::string("Cannot create a ") + params.SubclassOf + " for " + ClassName());
        FHandle = window;
        SetPropA(window, ControlProperty, this);
        FDefWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
    }
}

void TWinControl::CreateHandle()
{
    if (FHandle) return;
    // The parent's window first: making it makes its children's windows,
    // this one's among them.
    if (Parent()) {
        Parent()->HandleNeeded();
        if (FHandle) return;
    }
    CreateWnd();
    SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
    UpdateBounds();
    CreateChildHandles();
    if (FAlignPending || !FControls.empty()) Realign();
}

void TWinControl::CreateChildHandles()
{
    for (TControl* c : std::vector<TControl*>(FControls))
        if (auto* win = dynamic_cast<TWinControl*>(c)) win->CreateHandle();
}

void TWinControl::DestroyWnd()
{
    if (FHandle) DestroyWindow(FHandle);
}

void TWinControl::DestroyHandle()
{
    if (!FHandle) return;
    for (TControl* c : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(c)) win->DestroyHandle();
    ControlState |= csDestroyingHandle;
    HWND window = FHandle;
    DestroyWnd();
    // WM_NCDESTROY cleared the handle; a window that would not go is forgotten.
    if (FHandle == window) {
        RemovePropA(window, ControlProperty);
        FHandle = nullptr;
    }
    FDefWndProc = DefWindowProcA;
    ControlState &= ~csDestroyingHandle;
}

void TWinControl::RecreateWnd()
{
    if (!FHandle) return;
    DestroyHandle();
    CreateHandle();
}

void TWinControl::UpdateBounds()
{
    if (!FHandle) return;
    RECT r;
    GetWindowRect(FHandle, &r);
    HWND parent = GetParent(FHandle);
    if (parent && (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD)) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    if (r.left == Left() && r.top == Top() && r.right - r.left == Width() && r.bottom - r.top == Height()) return;
    TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TWinControl::BoundsChanged()
{
    if (FHandle) SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::VisibleChanged()
{
    if (FHandle) ShowWindow(FHandle, Visible() ? SW_SHOWNOACTIVATE : SW_HIDE);
    Perform(CM_SHOWINGCHANGED);
}

void TWinControl::SetEnabled(bool enabled)
{
    TControl::SetEnabled(enabled);
    if (FHandle) EnableWindow(FHandle, enabled);
}

std::string TWinControl::GetText() const
{
    if (!FHandle) return FText;
    int length = GetWindowTextLengthA(FHandle);
    std::string text(size_t(length) + 1, '\0');
    GetWindowTextA(FHandle, &text[0], length + 1);
    text.resize(size_t(length));
    return text;
}

void TWinControl::SetTextBuf(const std::string& text)
{
    FText = text;
    if (FHandle) SetWindowTextA(FHandle, text.c_str());
}

void TWinControl::Invalidate()
{
    if (FHandle) InvalidateRect(FHandle, nullptr, !(ControlStyle & csOpaque));
}

void TWinControl::Update()
{
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::ColorChanged()
{
    FBrush->SetColor(Color());
    Invalidate();
    for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTCOLORCHANGED);
}

int TWinControl::TabOrder() const
{
    if (!Parent()) return -1;
    auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int order)
{
    if (!Parent()) return;
    auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    order = std::max(0, std::min(order, int(list.size())));
    list.insert(list.begin() + order, this);
}

bool TWinControl::Focused() const
{
    return FHandle && GetFocus() == FHandle;
}

bool TWinControl::CanFocus()
{
    for (TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

std::vector<TWinControl*> TWinControl::TabOrderList(bool checkTabStop)
{
    // Every focusable control in tab order, depth first.
    std::vector<TWinControl*> order;
    std::function<void(TWinControl*)> collect = [&](TWinControl* parent) {
        for (TWinControl* c : parent->FTabList) {
            if (!c->Visible() || !c->Enabled()) continue;
            if (!checkTabStop || c->FTabStop) order.push_back(c);
            collect(c);
        }
    };
    collect(this);
    return order;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop)
{
    std::vector<TWinControl*> order = TabOrderList(checkTabStop);
    if (order.empty()) return nullptr;
    auto it = std::find(order.begin(), order.end(), current);
    if (it == order.end()) return forward ? order.front() : order.back();
    size_t i = size_t(it - order.begin());
    size_t n = order.size();
    return order[forward ? (i + 1) % n : (i + n - 1) % n];
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop)
{
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop)) next->SetFocus();
}

bool TWinControl::FocusNextWithAccel(unsigned key)
{
    // Whose caption is an access key: a button's or a box's, not the text
    // an edit holds nor the title of a group of controls.
    auto hasKey = [key](TWinControl* c) {
        return IsAccel(key, c->Caption()) && c->ControlCount() == 0 && !(c->ControlStyle & csAcceptsControls) &&
               c->HandleAllocated() && !(SendMessageA(c->FHandle, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS);
    };
    std::vector<TWinControl*> order = TabOrderList(false);
    if (std::count_if(order.begin(), order.end(), hasKey) < 2) return false;
    // From the focused control on, round to the next one that has it.
    // With the focus elsewhere the search starts before the first control.
    const size_t n = order.size();
    size_t at = size_t(std::find(order.begin(), order.end(), FindControl(GetFocus())) - order.begin());
    if (at == n) at = n - 1;
    for (size_t i = 1; i <= n; ++i) {
        TWinControl* c = order[(at + i) % n];
        if (hasKey(c)) {
            c->SetFocus();
            break;
        }
    }
    return true;
}

UINT TWinControl::DialogCode()
{
    if (!IsPlatformControl() || !FHandle) return 0;
    return UINT(CallWindowProcA(FDefWndProc, FHandle, WM_GETDLGCODE, 0, 0));
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview && form->OnKeyDown) {
        form->OnKeyDown(this, key, shift);
        if (key == 0) return true;
    }
    if (OnKeyDown) OnKeyDown(this, key, shift);
    return key == 0;
}

bool TWinControl::DoKeyUp(WORD& key, TShiftState shift)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview && form->OnKeyUp) {
        form->OnKeyUp(this, key, shift);
        if (key == 0) return true;
    }
    if (OnKeyUp) OnKeyUp(this, key, shift);
    return key == 0;
}

bool TWinControl::DoKeyPress(char& key)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview && form->OnKeyPress) {
        form->OnKeyPress(this, key);
        if (key == 0) return true;
    }
    if (OnKeyPress) OnKeyPress(this, key);
    return key == 0;
}

// True while this control or any parent is being destroyed or losing its window.
static bool TearingDown(const TControl* control)
{
    for (; control; control = control->Parent())
        if (control->Destroying() || (control->ControlState & csDestroyingHandle)) return true;
    return false;
}

void TWinControl::DoEnter()
{
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit) OnExit(this);
}

void TWinControl::SetCaptureControl(TControl* control)
{
    FCaptureControl = control;
    if (!FHandle) return;
    if (control)
        SetCapture(FHandle);
    else if (GetCapture() == FHandle)
        ReleaseCapture();
}

void TWinControl::CaptureOnPress(bool pressed)
{
    if (!FHandle || IsPlatformControl()) return;
    if (pressed)
        SetCapture(FHandle);
    else if (GetCapture() == FHandle)
        ReleaseCapture();
}

void TWinControl::MouseRouting(TMessage& m, bool& handled)
{
    handled = false;
    POINT p = {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* target = FCaptureControl;
    if (!target) {
        TControl* at = ControlAtPos(p, false, true);
        if (at && !dynamic_cast<TWinControl*>(at)) target = at;
    }
    if (m.Msg == WM_MOUSEMOVE) {
        UpdateMouseControl(target ? target : this);
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, FHandle, 0};
        TrackMouseEvent(&track);
    }
    if (!target) return;
    m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - target->Left(), p.y - target->Top()));
    handled = true;
}

void TWinControl::ContextMenu(TMessage& m)
{
    POINT screen = {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* control = this;
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard: the middle of the control.
        screen = ClientToScreen(POINT{Width() / 2, Height() / 2});
    } else if (FHandle) {
        POINT client = screen;
        ::ScreenToClient(FHandle, &client);
        TControl* at = ControlAtPos(client, false, true);
        if (at && !dynamic_cast<TWinControl*>(at)) control = at;
    }
    TPopupMenu* menu = control->PopupMenu();
    if (!menu || !menu->AutoPopup) {
        DefaultHandler(m);
        return;
    }
    menu->PopupComponent = control;
    menu->Popup(screen.x, screen.y);
    m.Result = 1;
}

void TWinControl::ReflectNotification(TMessage& m)
{
    HWND child = nullptr;
    UINT reflected = 0;
    switch (m.Msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(m.LParam);
        reflected = CN_COMMAND;
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
        reflected = CN_NOTIFY;
        break;
    case WM_CTLCOLORBTN: child = reinterpret_cast<HWND>(m.LParam); reflected = CN_CTLCOLORBTN; break;
    case WM_CTLCOLOREDIT: child = reinterpret_cast<HWND>(m.LParam); reflected = CN_CTLCOLOREDIT; break;
    case WM_CTLCOLORSTATIC: child = reinterpret_cast<HWND>(m.LParam); reflected = CN_CTLCOLORSTATIC; break;
    case WM_CTLCOLORLISTBOX: child = reinterpret_cast<HWND>(m.LParam); reflected = CN_CTLCOLORLISTBOX; break;
    case WM_DRAWITEM:
        if (reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->CtlType != ODT_MENU)
            child = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem;
        reflected = CN_DRAWITEM;
        break;
    case WM_HSCROLL: child = reinterpret_cast<HWND>(m.LParam); reflected = CN_HSCROLL; break;
    case WM_VSCROLL: child = reinterpret_cast<HWND>(m.LParam); reflected = CN_VSCROLL; break;
    }
    TWinControl* control = FindControl(child);
    if (control && control != this && !control->Destroying()) {
        m.Result = control->Perform(reflected, m.WParam, m.LParam);
        // A control that does not colour itself gets the platform's colours.
        if (reflected >= CN_CTLCOLORBTN && reflected <= CN_CTLCOLORLISTBOX && m.Result == 0) DefaultHandler(m);
        return;
    }
    DefaultHandler(m);
}

void TWinControl::PaintWindow(HDC dc)
{
    (void)dc;
}

void TWinControl::PaintControls(HDC dc, TControl* first)
{
    auto it = first ? std::find(FControls.begin(), FControls.end(), first) : FControls.begin();
    for (; it != FControls.end(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || dynamic_cast<TWinControl*>(c)) continue;
        RECT r = c->BoundsRect();
        if (!RectVisible(dc, &r)) continue;
        PaintControl(dc, c);
    }
}

void TWinControl::PaintControl(HDC dc, TControl* control)
{
    const RECT r = control->BoundsRect();
    int saved = SaveDC(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + r.left, origin.y + r.top, nullptr);
    IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    try {
        control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    } catch (...) {
        RestoreDC(dc, saved);
        throw;
    }
    RestoreDC(dc, saved);
}

void TWinControl::PaintHandler(TMessage& m)
{
    PAINTSTRUCT ps;
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    bool own = dc == nullptr;
    if (own) dc = BeginPaint(FHandle, &ps);
    try {
        if (DoubleBuffered && own) {
            RECT client = ClientRect();
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
            HGDIOBJ old = SelectObject(memory, bitmap);
            auto release = [&] {
                SelectObject(memory, old);
                DeleteObject(bitmap);
                DeleteDC(memory);
            };
            try {
                FillRect(memory, &client, FBrush->Handle());
                PaintWindow(memory);
                PaintControls(memory, nullptr);
                BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            } catch (...) {
                release();
                throw;
            }
            release();
        } else {
            PaintWindow(dc);
            PaintControls(dc, nullptr);
        }
    } catch (...) {
        if (own) EndPaint(FHandle, &ps);
        throw;
    }
    if (own) EndPaint(FHandle, &ps);
}

void TWinControl::PaintTo(HDC dc, int x, int y)
{
    HWND window = Handle();
    int saved = SaveDC(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + x, origin.y + y, nullptr);
    RECT client = ClientRect();
    IntersectClipRect(dc, 0, 0, Width(), Height());
    if (IsPlatformControl()) {
        SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    } else {
        // An opaque control paints every pixel itself; its erase could only
        // cost time, or start a see-through neighbour's background request
        // that paints this control again.
        if (!(ControlStyle & csOpaque)) Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        PaintWindow(dc);
        PaintControls(dc, nullptr);
    }
    RestoreDC(dc, saved);
    (void)client;
    for (TControl* c : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(c); win && win->Visible()) win->PaintTo(dc, x + win->Left(), y + win->Top());
}

void TWinControl::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: {
        bool handled;
        MouseRouting(m, handled);
        if (handled) return;
        break;
    }
    case WM_MOUSELEAVE:
        // Only what this window hovers is left: when the pointer went on
        // into a windowed child, the child's first move may have come before
        // this leave, and the child is hovered now.
        if (MouseControl && WindowOf(MouseControl) == this) UpdateMouseControl(nullptr);
        break;
    }
    TControl::WndProc(m);
}

void TWinControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_PAINT:
        if (IsPlatformControl()) break;
        PaintHandler(m);
        return;
    case WM_ERASEBKGND:
        if (IsPlatformControl()) break;
        if (!(ControlStyle & csOpaque) && !DoubleBuffered) {
            RECT r;
            GetClientRect(FHandle, &r);
            FillRect(reinterpret_cast<HDC>(m.WParam), &r, FBrush->Handle());
        }
        m.Result = 1;
        return;
    case WM_PRINTCLIENT:
        if (IsPlatformControl()) break;
        Perform(WM_ERASEBKGND, m.WParam, 0);
        PaintWindow(reinterpret_cast<HDC>(m.WParam));
        PaintControls(reinterpret_cast<HDC>(m.WParam), nullptr);
        return;
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(m);
        UpdateBounds();
        return;
    case WM_SIZE:
        DefaultHandler(m);
        Realign();
        return;
    case WM_GETMINMAXINFO:
        // The user sizing a window meets the same limits as SetBounds.
        DefaultHandler(m);
        if (TSizeConstraints* c = Constraints(); !c->Empty()) {
            auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
            if (c->MinWidth() > 0) info->ptMinTrackSize.x = c->MinWidth();
            if (c->MinHeight() > 0) info->ptMinTrackSize.y = c->MinHeight();
            if (c->MaxWidth() > 0) info->ptMaxTrackSize.x = c->MaxWidth();
            if (c->MaxHeight() > 0) info->ptMaxTrackSize.y = c->MaxHeight();
        }
        m.Result = 0;
        return;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN: case WM_CTLCOLOREDIT: case WM_CTLCOLORSTATIC: case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_HSCROLL: case WM_VSCROLL:
        ReflectNotification(m);
        return;
    case WM_CONTEXTMENU:
        ContextMenu(m);
        return;
    case WM_SETFOCUS:
        DefaultHandler(m);
        if (TearingDown(this)) return;
        if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
        Perform(CM_ENTER);
        return;
    case WM_KILLFOCUS:
        DefaultHandler(m);
        // A window losing focus because it or its form is going away must not
        // run OnExit: the handler's object may be half destroyed.
        if (TearingDown(this)) return;
        Perform(CM_EXIT);
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case CM_FOCUSCHANGED:
        // Every control hears which one has the focus now (a button shows
        // whether Enter is its own).
        for (TControl* child : std::vector<TControl*>(FControls)) child->Perform(CM_FOCUSCHANGED, m.WParam, m.LParam);
        return;
    case CM_DIALOGCHAR:
        // An accelerator character goes to every child until one takes it.
        for (TControl* child : std::vector<TControl*>(FControls))
            if (child->Visible() && child->Enabled() && child->Perform(CM_DIALOGCHAR, m.WParam, m.LParam)) {
                m.Result = 1;
                return;
            }
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = WORD(m.WParam);
        if (DoKeyDown(key, KeyboardShiftState())) return;
        m.WParam = key;
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = WORD(m.WParam);
        if (DoKeyUp(key, KeyboardShiftState())) return;
        m.WParam = key;
        break;
    }
    case WM_CHAR: {
        char key = char(m.WParam);
        if (DoKeyPress(key)) return;
        m.WParam = WPARAM(static_cast<unsigned char>(key));
        break;
    }
    case WM_SETCURSOR:
        if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == FHandle) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(FHandle, &p);
            TControl* at = ControlAtPos(p, true, true);
            HCURSOR cursor = at && at->Cursor ? at->Cursor : Cursor;
            if (cursor) {
                SetCursor(cursor);
                m.Result = 1;
                return;
            }
        }
        break;
    case WM_CANCELMODE:
        FCaptureControl = nullptr;
        break;
    case CM_COLORCHANGED:
        ColorChanged();
        return;
    case CM_FONTCHANGED:
        if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
        for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTFONTCHANGED);
        Invalidate();
        return;
    case CM_ENABLEDCHANGED:
        if (FHandle) EnableWindow(FHandle, Enabled());
        Invalidate();
        return;
    case CM_TEXTCHANGED:
        return;
    }
    TControl::Dispatch(m);
}

void TWinControl::DefaultHandler(TMessage& m)
{
    if (FHandle)
        m.Result = CallWindowProcA(FDefWndProc, FHandle, m.Msg, m.WParam, m.LParam);
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    if (FAlignPending) Realign();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    for (TControl* c : FControls)
        if (c->Owner() == root) proc(c);
}

bool TWinControl::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "TabStop") SetTabStop(reader.ReadBool());
    else if (name == "TabOrder") SetTabOrder(reader.ReadInteger());
    else if (name == "DoubleBuffered") DoubleBuffered = reader.ReadBool();
    else if (name == "OnEnter") OnEnter = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnExit") OnExit = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnKeyDown") OnKeyDown = reader.ReadEvent<TKeyEvent>();
    else if (name == "OnKeyUp") OnKeyUp = reader.ReadEvent<TKeyEvent>();
    else if (name == "OnKeyPress") OnKeyPress = reader.ReadEvent<TKeyPressEvent>();
    else return TControl::ReadProperty(name, reader);
    return true;
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), FCanvas(new TCanvas) {}

TCustomControl::~TCustomControl()
{
    delete FCanvas;
}

void TCustomControl::PaintWindow(HDC dc)
{
    FCanvas->SetHandle(dc);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->SetColor(Color());
    try {
        Paint();
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
}

// --- Hidden windows -------------------------------------------------------

namespace {
const char* const UtilityClassName = "GantrelUtilityWindow";

LRESULT CALLBACK UtilityWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!method) return DefWindowProcA(window, msg, wParam, lParam);
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    // A copy: the handler may free the window (a timer freed in its own event).
    TWndMethod call = *method;
    try {
        call(m);
    } catch (...) {
        HandleCallbackException();
    }
    return m.Result;
}
}  // namespace

HWND AllocateHWnd(TWndMethod method)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = UtilityWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = UtilityClassName;
        if (!RegisterClassA(&wc)) RaiseLastOSError("Cannot register the utility window class");
        registered = true;
    }
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, UtilityClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) RaiseLastOSError("Cannot create a utility window");
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(method)));
    return window;
}

void DeallocateHWnd(HWND window)
{
    if (!window) return;
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    delete method;
    DestroyWindow(window);
}

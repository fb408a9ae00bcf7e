#include "Control.h"

#include "Form.h"
#include "Menu.h"
#include "Reader.h"
#include "WinControl.h"

#include <windowsx.h>

TShiftState KeysToShiftState(WPARAM keys)
{
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TShiftState KeyboardShiftState()
{
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
    return s;
}

HCURSOR CursorHandle(TCursor cursor)
{
    // The platform has no splitter cursor of its own; a splitter that moves
    // a border sideways shows the west-east sizing arrows.
    static const LPCSTR ids[] = {nullptr, IDC_ARROW, IDC_IBEAM, IDC_HAND, IDC_WAIT, IDC_CROSS, IDC_SIZEWE,
                                 IDC_SIZENS, IDC_SIZEALL, IDC_NO, IDC_APPSTARTING, IDC_SIZEWE};
    if (cursor < crDefault || cursor > crHSplit) return nullptr;
    return ids[cursor] ? LoadCursorA(nullptr, ids[cursor]) : nullptr;
}

HCURSOR ReadCursor(TReader& reader)
{
    static const TEnumNames names = {"crDefault", "crArrow", "crIBeam", "crHandPoint", "crHourGlass", "crCross",
                                     "crSizeWE", "crSizeNS", "crSizeAll", "crNo", "crAppStart", "crHSplit"};
    return CursorHandle(TCursor(reader.ReadEnum(names)));
}

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(new TFont), FConstraints(new TSizeConstraints)
{
    FFont->OnChange = MakeEvent<&TControl::FontChanged>(this);
    FConstraints->OnChange = MakeEvent<&TControl::ConstraintsChanged>(this);
    WindowProc = MakeEvent<&TControl::WndProc>(this);
}

TControl::~TControl()
{
    BeginDestroy();
    if (FParent) FParent->RemoveControl(this);
    delete FConstraints;
    delete FFont;
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == FParent) return;
    if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
    if (FParent) FParent->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent)
{
    if (auto* control = dynamic_cast<TWinControl*>(parent)) SetParent(control);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

bool TControl::Showing() const
{
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible) return false;
    return true;
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    FConstraints->Constrain(width, height);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    bool sized = width != FWidth || height != FHeight;
    bool moved = left != FLeft || top != FTop;
    RECT old = BoundsRect();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FParent && !dynamic_cast<TWinControl*>(this) && FParent->HandleAllocated() && FVisible) {
        InvalidateRect(FParent->Handle(), &old, TRUE);
        RECT now = BoundsRect();
        InvalidateRect(FParent->Handle(), &now, TRUE);
    }
    BoundsChanged();
    // A windowed control hears of a move from its window; a windowless one
    // gets the same notice here (what lies beneath it changed).
    if (moved && !dynamic_cast<TWinControl*>(this)) Perform(WM_MOVE, 0, MAKELPARAM(left, top));
    if (FParent && !FParent->FAligning) UpdateAnchorRules();
    RequestAlign();
    if (sized && !Loading()) Resize();
}

void TControl::ConstraintsChanged(TObject*)
{
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

RECT TControl::ClientRect()
{
    return RECT{0, 0, FWidth, FHeight};
}

void TControl::SetClientSize(int width, int height)
{
    RECT client = ClientRect();
    SetBounds(FLeft, FTop, FWidth + width - client.right, FHeight + height - client.bottom);
}

POINT TControl::ClientOrigin() const
{
    if (!FParent) return POINT{FLeft, FTop};
    POINT p = FParent->ClientOrigin();
    p.x += FLeft;
    p.y += FTop;
    return p;
}

POINT TControl::ClientToScreen(POINT p) const
{
    POINT o = ClientOrigin();
    return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) const
{
    POINT o = ClientOrigin();
    return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign align)
{
    if (align == FAlign) return;
    FAlign = align;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors anchors)
{
    if (anchors == FAnchors) return;
    FAnchors = anchors;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules()
{
    if (!FParent) return;
    RECT client = FParent->ClientRect();
    FAnchorParentSize = SIZE{client.right, client.bottom};
    FAnchorRect = BoundsRect();
}

void TControl::RequestAlign()
{
    if (FParent && (FAlign != alNone || FParent->AlignPending())) FParent->Realign();
}

void TControl::SetVisible(bool visible)
{
    if (visible == FVisible) return;
    FVisible = visible;
    VisibleChanged();
    Perform(CM_VISIBLECHANGED, visible);
    if (FAlign != alNone && FParent) FParent->Realign();
}

void TControl::VisibleChanged()
{
    if (FParent && FParent->HandleAllocated()) {
        RECT r = BoundsRect();
        InvalidateRect(FParent->Handle(), &r, TRUE);
    }
}

void TControl::SetEnabled(bool enabled)
{
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& text)
{
    if (text == GetText()) return;
    SetTextBuf(text);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor color)
{
    if (color == FColor && !FParentColor) return;
    FColor = color;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value)
{
    if (value == FParentColor) return;
    FParentColor = value;
    if (value) ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!FParentColor || !FParent) return;
    FColor = FParent->Color();
    Perform(CM_COLORCHANGED);
}

void TControl::FontChanged(TObject*)
{
    // A font set on the control itself no longer follows the parent's.
    if (!FCopyingParentFont) FParentFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value)
{
    if (value == FParentFont) return;
    FParentFont = value;
    if (value) ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!FParentFont || !FParent) return;
    FCopyingParentFont = true;
    FFont->Assign(FParent->Font());
    FCopyingParentFont = false;
}

void TControl::SetShowHint(bool value)
{
    FShowHint = value;
    ParentShowHint = false;
}

void TControl::SetPopupMenu(TPopupMenu* menu)
{
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = menu;
    if (menu) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::Invalidate()
{
    if (FParent && FParent->HandleAllocated() && FVisible) {
        RECT r = BoundsRect();
        InvalidateRect(FParent->Handle(), &r, !(ControlStyle & csOpaque));
    }
}

void TControl::Update()
{
    if (FParent) FParent->Update();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (FParent) FParent->SetChildOrder(this, FParent->ControlCount() - 1);
}

void TControl::SendToBack()
{
    if (FParent) FParent->SetChildOrder(this, 0);
}

void TControl::Click()
{
    if (OnClick) OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Resize()
{
    if (OnResize) OnResize(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    WindowProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& message)
{
    Dispatch(message);
}

void TControl::MouseMessage(TMessage& m)
{
    const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TShiftState shift = KeysToShiftState(m.WParam);
    bool windowless = dynamic_cast<TWinControl*>(this) == nullptr;
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (m.Msg == WM_LBUTTONDBLCLK && (ControlStyle & csDoubleClicks)) {
            DblClick();
            shift |= ssDouble;
        }
        if (ControlStyle & csClickEvents) ControlState |= csClicked;
        // A press keeps the mouse until its release, wherever that is: a
        // windowless control through its parent's window, a windowed one
        // through its own (platform controls capture for themselves); see
        // Dispatch for the windowed one's release.
        if (ControlStyle & csCaptureMouse) {
            if (windowless && FParent) FParent->SetCaptureControl(this);
            else if (!windowless) static_cast<TWinControl*>(this)->CaptureOnPress(true);
        }
        MouseDown(mbLeft, shift, x, y);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, shift, x, y);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, shift, x, y);
        break;
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        break;
    case WM_LBUTTONUP: {
        bool clicked = (ControlState & csClicked) != 0;
        ControlState &= ~csClicked;
        if (windowless && FParent) FParent->SetCaptureControl(nullptr);
        MouseUp(mbLeft, shift, x, y);
        if (clicked && x >= 0 && y >= 0 && x < FWidth && y < FHeight) Click();
        break;
    }
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        break;
    }
}

void TControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_LBUTTONUP:
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_RBUTTONUP:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_MBUTTONUP:
    case WM_MOUSEMOVE: {
        // Windowed controls still let their window see the mouse, unless an
        // event freed the control (a click may close what was clicked).
        // Windowless ones have no window: nothing of theirs runs afterwards.
        auto* window = dynamic_cast<TWinControl*>(this);
        HWND handle = window ? window->FHandle : nullptr;
        if (FEnabled) MouseMessage(m);
        if (window && TWinControl::FindLive(window) && window->FHandle == handle) {
            TComponent::Dispatch(m);
            // Released once the control has seen the release: letting go
            // earlier would tell it, inside its own handling, that it lost
            // the mouse.
            if (m.Msg == WM_LBUTTONUP && (ControlStyle & csCaptureMouse)) window->CaptureOnPress(false);
        }
        return;
    }
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
        Invalidate();
        return;
    case CM_PARENTFONTCHANGED:
        ParentFontChanged();
        return;
    case CM_PARENTCOLORCHANGED:
        ParentColorChanged();
        return;
    case CM_MOUSEENTER:
        if (OnMouseEnter) OnMouseEnter(this);
        return;
    case CM_MOUSELEAVE:
        if (OnMouseLeave) OnMouseLeave(this);
        return;
    case CM_HITTEST:
        m.Result = 1;
        return;
    case CM_VISIBLECHANGED:
        return;
    }
    TComponent::Dispatch(m);
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParent) UpdateAnchorRules();
}

TPersistent* TControl::PropertyObject(const std::string& name)
{
    if (name == "Font") return FFont;
    return TComponent::PropertyObject(name);
}

bool TControl::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames aligns = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
    static const TEnumNames anchors = {"akLeft", "akTop", "akRight", "akBottom"};
    if (name == "Left") SetLeft(reader.ReadInteger());
    else if (name == "Top") SetTop(reader.ReadInteger());
    else if (name == "Width") SetWidth(reader.ReadInteger());
    else if (name == "Height") SetHeight(reader.ReadInteger());
    else if (name == "ClientWidth") SetClientWidth(reader.ReadInteger());
    else if (name == "ClientHeight") SetClientHeight(reader.ReadInteger());
    else if (name == "Align") SetAlign(TAlign(reader.ReadEnum(aligns)));
    else if (name == "Anchors") SetAnchors(reader.ReadSet(anchors));
    else if (name == "Visible") SetVisible(reader.ReadBool());
    else if (name == "Enabled") SetEnabled(reader.ReadBool());
    else if (name == "Caption" || name == "Text") SetText(reader.ReadString());
    else if (name == "Color") SetColor(ReadColor(reader));
    else if (name == "ParentColor") SetParentColor(reader.ReadBool());
    else if (name == "ParentFont") SetParentFont(reader.ReadBool());
    else if (name == "Hint") Hint = reader.ReadString();
    else if (name == "ShowHint") SetShowHint(reader.ReadBool());
    else if (name == "ParentShowHint") ParentShowHint = reader.ReadBool();
    else if (name == "Cursor") Cursor = ReadCursor(reader);
    else if (name == "PopupMenu") reader.ReadReference<TPopupMenu>([this](TPopupMenu* m) { SetPopupMenu(m); });
    else if (name == "OnClick") OnClick = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnDblClick") OnDblClick = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnResize") OnResize = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnMouseDown") OnMouseDown = reader.ReadEvent<TMouseEvent>();
    else if (name == "OnMouseUp") OnMouseUp = reader.ReadEvent<TMouseEvent>();
    else if (name == "OnMouseMove") OnMouseMove = reader.ReadEvent<TMouseMoveEvent>();
    else if (name == "OnMouseEnter") OnMouseEnter = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnMouseLeave") OnMouseLeave = reader.ReadEvent<TNotifyEvent>();
    else return TComponent::ReadProperty(name, reader);
    return true;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(new TCanvas) {}

TGraphicControl::~TGraphicControl()
{
    delete FCanvas;
}

void TGraphicControl::Dispatch(TMessage& m)
{
    if (m.Msg == WM_PAINT) {
        // The parent paints its windowless controls on its own context.
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (!dc) return;
        FCanvas->SetHandle(dc);
        FCanvas->Font()->Assign(Font());
        try {
            Paint();
        } catch (...) {
            FCanvas->SetHandle(nullptr);
            throw;
        }
        FCanvas->SetHandle(nullptr);
        return;
    }
    TControl::Dispatch(m);
}

TCustomForm* GetParentForm(TControl* control)
{
    while (control && control->Parent()) control = control->Parent();
    return dynamic_cast<TCustomForm*>(control);
}

// The form frame's hit testing, mouse handling, moving, sizing and snapping.
//
// The frame answers every hit test and non-client mouse message itself: a
// message that reached the platform's default handling could start its own
// move or size loop (Wine's among them). Moving and sizing run under the
// frame's own mouse capture from the press to the release.
#include "Frames.h"

#include "Application.h"

#include <cstdlib>
#include <windowsx.h>

namespace {

// The caption buttons in the order they are tested; a later one wins
// where two overlap.
struct TButtonHit {
    TKsBorderIcon Icon;
    TKsHitTest Hit;
};
constexpr TButtonHit ButtonHits[] = {
    {kbiSystemMenu, khtSysMenuButton}, {kbiClose, khtCloseButton}, {kbiMinimize, khtMinButton},
    {kbiMaximize, khtMaxButton},       {kbiHelp, khtHelpButton},   {kbiRollup, khtRollButton},
    {kbiTray, khtTrayButton},
};

// Corner zones reach 20 pixels along each edge.
constexpr int CornerZone = 20;

bool IsDragPart(TKsHitTest part)
{
    return part >= khtCaption && part <= khtBottomRight;
}

bool EmptyRect(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace

template <class F>
TKsHitTest TSkinForm<F>::GetHitTest(int x, int y)
{
    const RECT c = GetClientRect();
    TKsHitTest result = khtClient;
    if (y < c.top) result = khtCaption;
    const POINT p{x, y};
    for (const TButtonHit& button : ButtonHits) {
        RECT r = GetButtonRect(button.Icon);
        if (PtInRect(&r, p)) result = button.Hit;
    }
    if (FWindowState == kwsMaximized || FWindowState == kwsMinimized || FWindowState == kwsRollup) return result;
    // The client rectangle's right and bottom are outside it: the border
    // starts there.
    if (y < c.top - GetCaptionHeight()) {
        if (x < CornerZone) result = khtTopLeft;
        else if (x > FFrameWidth - CornerZone) result = khtTopRight;
        else result = khtTop;
    }
    // Mp: the drop shadow below and to the right is no border.
    if (y >= c.bottom && (KsFamily || y < FFrameHeight)) {
        if (x < CornerZone) result = khtBottomLeft;
        else if (x > FFrameWidth - CornerZone) result = khtBottomRight;
        else result = khtBottom;
    }
    if (x < c.left) {
        if (y < CornerZone) result = khtTopLeft;
        else if (y > FFrameHeight - CornerZone) result = khtBottomLeft;
        else result = khtLeft;
    }
    if (x >= c.right && (KsFamily || x < FFrameWidth)) {
        if (y < CornerZone) result = khtTopRight;
        else if (y > FFrameHeight - CornerZone) result = khtBottomRight;
        else result = khtRight;
    }
    return result;
}

template <class F>
POINT TSkinForm<F>::NormalizePoint(POINT screen) const
{
    RECT r = WindowScreenRect();
    return POINT{screen.x - r.left, screen.y - r.top};
}

template <class F>
RECT TSkinForm<F>::ApplyMagnetic(const RECT& r)
{
    RECT result = r;
    if (!FMagnetic) return result;
    RECT edges = r;
    // The shadow is not part of the window's edge.
    if (FDropShadow) {
        edges.right -= FShadowWidth;
        edges.bottom -= FShadowWidth;
    }
    const RECT p = GetParentRect();
    if (std::abs(edges.left - p.left) < FMagneticValue)
        OffsetRect(&result, p.left - edges.left, 0);
    else if (std::abs(edges.right - p.right) < FMagneticValue)
        OffsetRect(&result, p.right - edges.right, 0);
    if (std::abs(edges.top - p.top) < FMagneticValue)
        OffsetRect(&result, 0, p.top - edges.top);
    else if (std::abs(edges.bottom - p.bottom) < FMagneticValue)
        OffsetRect(&result, 0, p.bottom - edges.bottom);
    return result;
}

template <class F>
RECT TSkinForm<F>::GetParentRect()
{
    // A child window (an MDI child) snaps to its parent's client area, in
    // the coordinates its bounds are in; a top-level window to the work area.
    TCustomForm* form = this->GetForm();
    if (form && form->HandleAllocated()) {
        HWND parent = GetParent(form->Handle());
        if (parent && (GetWindowLongPtrA(form->Handle(), GWL_STYLE) & WS_CHILD)) {
            RECT r;
            ::GetClientRect(parent, &r);
            return r;
        }
    }
    return Screen ? Screen->WorkAreaRect() : RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

template <class F>
void TSkinForm<F>::NCMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    (void)shift;
    if (button != mbLeft) return;
    TCustomForm* form = this->GetForm();
    FPressedPart = FHoverPart = GetHitTest(x, y);
    FPressPoint = FLastPoint = POINT{x, y};
    UpdateNCArea();
    if (form && form->HandleAllocated()) SetCapture(form->Handle());
    if constexpr (MpFamily) {
        if (IsDragPart(FPressedPart)) {
            FDragging = true;
            FLastDragFrame = RECT{0, 0, 0, 0};
            if (FSimpleDrag) {
                DisableDrawing();
                FSimpleDragging = true;
            }
        }
    }
}

template <class F>
void TSkinForm<F>::NCMouseMove(TShiftState shift, int x, int y)
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    if (!(shift & ssLeft) || (MpFamily && !FDragging)) {
        if constexpr (MpFamily) {
            if (GetHitTest(x, y) == khtSysMenuButton) form->Hint = "Sytem Menu";
        }
        FHoverPart = khtNonClient;
        return;
    }
    RECT r = form->BoundsRect();
    // Mp's outline drag leaves the window where it is: measured from the press.
    const POINT last = MpFamily && FSimpleDragging ? FPressPoint : FLastPoint;
    const POINT min = GetMinTrackSize();
    const bool sizable = FCanResize && FWindowState != kwsMaximized && FWindowState != kwsMinimized &&
                         FWindowState != kwsRollup;
    auto left = [&] {
        r.left += x - FPressPoint.x;
        if (r.right - min.x < r.left) r.left = r.right - min.x;
    };
    auto top = [&] {
        r.top += y - FPressPoint.y;
        if (r.bottom - min.y < r.top) r.top = r.bottom - min.y;
    };
    auto right = [&] { r.right += x - last.x; };
    auto bottom = [&] { r.bottom += y - last.y; };
    switch (FPressedPart) {
    case khtCaption:
        if (FCanMove && FWindowState != kwsMaximized) {
            OffsetRect(&r, x - FPressPoint.x, y - FPressPoint.y);
            r = ApplyMagnetic(r);
        }
        break;
    case khtLeft: if (sizable) left(); break;
    case khtTop: if (sizable) top(); break;
    case khtRight: if (sizable) right(); break;
    case khtBottom: if (sizable) bottom(); break;
    case khtTopLeft: if (sizable) { top(); left(); } break;
    case khtTopRight: if (sizable) { top(); right(); } break;
    case khtBottomLeft: if (sizable) { bottom(); left(); } break;
    case khtBottomRight: if (sizable) { bottom(); right(); } break;
    default: break;
    }
    bool moved = false;
    if (MpFamily && FSimpleDrag) {
        DrawDragFrame(r);
    } else {
        const RECT bounds = form->BoundsRect();
        if (!EqualRect(&r, &bounds)) {
            MoveWindow(r);
            const RECT now = form->BoundsRect();
            moved = !EqualRect(&now, &bounds);
        }
    }
    const TKsHitTest hover = FHoverPart;
    FHoverPart = GetHitTest(x, y);
    // A composed frame's window keeps no bits when it moves or changes size
    // (SWP_NOCOPYBITS): the frame is painted with the window anyway, and a
    // second composition here would double the cost of every step.
    if (!moved || !(FBlend || FDropShadow) || FHoverPart != hover) UpdateNCArea();
    FLastPoint = POINT{x, y};
}

template <class F>
void TSkinForm<F>::NCMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button != mbLeft) {
        if constexpr (MpFamily) {
            if (button == mbRight && GetHitTest(x, y) == khtCaption) {
                // The system menu at the cursor, for this one showing.
                POINT cursor;
                GetCursorPos(&cursor);
                FSysMenuPoint = cursor;
                try {
                    SysMenu();
                } catch (...) {
                    FSysMenuPoint = POINT{0, 0};
                    throw;
                }
                FSysMenuPoint = POINT{0, 0};
            }
        }
        return;
    }
    TCustomForm* form = this->GetForm();
    if (form && form->HandleAllocated() && GetCapture() == form->Handle()) {
        // Our own release is no lost capture: the press ends below.
        FReleasingCapture = true;
        ReleaseCapture();
        FReleasingCapture = false;
    }
    const TKsHitTest hit = GetHitTest(x, y);
    // A command runs only when the button is released over the part that
    // was pressed. It runs once the press is over (it may open a menu loop
    // or close the window).
    void (TSkinForm::*command)() = nullptr;
    if (shift & ssDouble) {
        if (hit == khtCaption && HasIcon(FBorderIcons, kbiMaximize))
            command = FWindowState == kwsMinimized ? &TSkinForm::Restore : &TSkinForm::Maximize;
        else if (hit == khtSysMenuButton)
            command = &TSkinForm::Close;
    }
    if (!command && hit == FPressedPart) {
        switch (hit) {
        case khtCloseButton: command = &TSkinForm::Close; break;
        case khtHelpButton: command = &TSkinForm::Help; break;
        case khtMinButton: command = &TSkinForm::Minimize; break;
        case khtMaxButton: command = &TSkinForm::Maximize; break;
        case khtRollButton: command = &TSkinForm::Rollup; break;
        case khtTrayButton: command = &TSkinForm::MinToTray; break;
        case khtSysMenuButton: command = &TSkinForm::SysMenu; break;
        default: break;
        }
    }
    if constexpr (MpFamily) {
        if (FSimpleDragging) {
            // The outline goes; the window takes the last rectangle.
            DrawDragFrame(RECT{0, 0, 0, 0});
            FSimpleDrag = false;
            try {
                NCMouseMove(ssLeft, x, y);
            } catch (...) {
                FSimpleDrag = true;
                FSimpleDragging = false;
                EnableDrawing();
                throw;
            }
            FSimpleDrag = true;
            FSimpleDragging = false;
            EnableDrawing();
            UpdateNCArea();
            if (form) form->Invalidate();
        }
        FDragging = false;
    }
    FPressedPart = khtNonClient;
    UpdateNCArea();
    if (command) (this->*command)();
}

template <class F>
void TSkinForm<F>::DrawDragFrame(const RECT& r)
{
    TCustomForm* form = this->GetForm();
    if (!form || FWindowState == kwsMaximized) return;
    // An MDI child's outline is drawn in its client window, whose
    // coordinates its bounds are in; anything else's on the screen.
    HWND window = nullptr;
    if (form->HandleAllocated() && (GetWindowLongPtrA(form->Handle(), GWL_STYLE) & WS_CHILD))
        window = GetParent(form->Handle());
    HDC dc = GetDC(window);
    if (!dc) return;
    HPEN pen = CreatePen(PS_INSIDEFRAME, 2, RGB(255, 255, 255));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    int oldRop = SetROP2(dc, R2_XORPEN);
    // XOR: drawing the last outline again takes it off.
    if (!EmptyRect(FLastDragFrame))
        Rectangle(dc, FLastDragFrame.left, FLastDragFrame.top, FLastDragFrame.right, FLastDragFrame.bottom);
    if (!EmptyRect(r)) Rectangle(dc, r.left, r.top, r.right, r.bottom);
    FLastDragFrame = r;
    SetROP2(dc, oldRop);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    ReleaseDC(window, dc);
}

// --- Messages --------------------------------------------------------------------------

template <class F>
void TSkinForm<F>::WMNCHitTest(TMessage& message)
{
    const POINT p = NormalizePoint(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
    LRESULT answer = HTCLIENT;
    switch (GetHitTest(p.x, p.y)) {
    case khtClient: answer = HTCLIENT; break;
    case khtCaption: answer = FCanMove ? HTCAPTION : HTCLIENT; break;
    case khtLeft: answer = FCanResize ? HTLEFT : HTCLIENT; break;
    case khtTop: answer = FCanResize ? HTTOP : HTCLIENT; break;
    case khtRight: answer = FCanResize ? HTRIGHT : HTCLIENT; break;
    case khtBottom: answer = FCanResize ? HTBOTTOM : HTCLIENT; break;
    case khtTopLeft: answer = FCanResize ? HTTOPLEFT : HTCLIENT; break;
    case khtTopRight: answer = FCanResize ? HTTOPRIGHT : HTCLIENT; break;
    case khtBottomLeft: answer = FCanResize ? HTBOTTOMLEFT : HTCLIENT; break;
    case khtBottomRight: answer = FCanResize ? HTBOTTOMRIGHT : HTCLIENT; break;
    case khtBorder: answer = HTBORDER; break;
    case khtCloseButton: answer = HTCLOSE; break;
    case khtHelpButton: answer = HTHELP; break;
    case khtMaxButton: answer = HTMAXBUTTON; break;
    case khtMinButton:
    case khtRollButton:
    case khtTrayButton:
    case khtSysMenuButton:
    case khtNonClient: answer = HTMINBUTTON; break;
    }
    message.Result = answer;
    this->MessageHandled();
}

namespace {
// The non-client messages carry a screen point.
POINT MessagePoint(const TMessage& message)
{
    return POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
}

// Before a press on an inactive window's frame: the window comes forward.
template <class Frame>
void FocusForm(Frame* frame)
{
    TCustomForm* form = frame->GetForm();
    if (!frame->IsActiveCaption() && form && form->HandleAllocated()) ::SetFocus(form->Handle());
}

// Under the frame's capture the moves and the release come as client
// messages (the form sees them too): their point in window coordinates.
template <class Frame>
POINT ClientMessagePoint(Frame* frame, const TMessage& message)
{
    POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    if (TCustomForm* form = frame->GetForm(); form && form->HandleAllocated()) ::ClientToScreen(form->Handle(), &p);
    return frame->NormalizePoint(p);
}
}  // namespace

template <class F>
void TSkinForm<F>::WMNCLButtonDown(TMessage& message)
{
    FocusForm(this);
    FMouseState = 8;
    const POINT p = NormalizePoint(MessagePoint(message));
    NCMouseDown(mbLeft, ssLeft, p.x, p.y);
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCLButtonDblClk(TMessage& message)
{
    const POINT p = NormalizePoint(MessagePoint(message));
    NCMouseDown(mbLeft, ssLeft | ssDouble, p.x, p.y);
    NCMouseUp(mbLeft, ssLeft | ssDouble, p.x, p.y);
    FMouseState = 0;
    message.Result = 1;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCLButtonUp(TMessage& message)
{
    FMouseState = 0;
    const POINT p = NormalizePoint(MessagePoint(message));
    NCMouseUp(mbLeft, 0, p.x, p.y);
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCRButtonDown(TMessage& message)
{
    FocusForm(this);
    FMouseState = 16;
    const POINT p = NormalizePoint(MessagePoint(message));
    NCMouseDown(mbRight, ssRight, p.x, p.y);
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCRButtonUp(TMessage& message)
{
    FMouseState = 0;
    const POINT p = NormalizePoint(MessagePoint(message));
    NCMouseUp(mbRight, 0, p.x, p.y);
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCMouseMove(TMessage& message)
{
    const POINT p = NormalizePoint(MessagePoint(message));
    NCMouseMove(FMouseState, p.x, p.y);
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMMouseMove(TMessage& message)
{
    // Only a held left button drags: a move after a release the frame
    // never saw must not move the window.
    if (FMouseState == 0 || !(message.WParam & MK_LBUTTON)) return;
    const POINT p = ClientMessagePoint(this, message);
    NCMouseMove(FMouseState, p.x, p.y);
}

template <class F>
void TSkinForm<F>::WMLButtonUp(TMessage& message)
{
    if (FMouseState == 0) return;
    FMouseState = 0;
    const POINT p = ClientMessagePoint(this, message);
    NCMouseUp(mbLeft, 0, p.x, p.y);
}

// Someone else took the mouse in the middle of a press (another window's
// SetCapture, a menu loop): the press is over, without a command, and Mp's
// outline goes with the drawing it held off.
template <class F>
void TSkinForm<F>::WMCaptureChanged(TMessage& message)
{
    TCustomForm* form = this->GetForm();
    if (FReleasingCapture || !form) return;
    if (form->HandleAllocated() && HWND(message.LParam) == form->Handle()) return;
    const bool pressed = FMouseState != 0 || FPressedPart != khtNonClient;
    FMouseState = 0;
    FPressedPart = khtNonClient;
    if constexpr (MpFamily) {
        FDragging = false;
        if (FSimpleDragging) {
            FSimpleDragging = false;
            DrawDragFrame(RECT{0, 0, 0, 0});
            EnableDrawing();
            form->Invalidate();
        }
    }
    if (pressed) UpdateNCArea();
}

template class TSkinForm<TKsFamily>;
template class TSkinForm<TMpFamily>;

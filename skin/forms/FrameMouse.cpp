// The form frame's hit testing, mouse handling, moving, sizing and snapping.
//
// Temporary bodies: the frame answers every non-client mouse message itself
// (so that no platform move or size loop starts) but does nothing yet.
#include "Frames.h"

#include "Application.h"

template <class F>
TKsHitTest TSkinForm<F>::GetHitTest(int x, int y)
{
    RECT c = GetClientRect();
    (void)x;
    return y < c.top ? khtCaption : khtClient;
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
    return r;
}

template <class F>
RECT TSkinForm<F>::GetParentRect()
{
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
    (void)button;
    (void)shift;
    (void)x;
    (void)y;
}

template <class F>
void TSkinForm<F>::NCMouseMove(TShiftState shift, int x, int y)
{
    (void)shift;
    (void)x;
    (void)y;
}

template <class F>
void TSkinForm<F>::NCMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    (void)button;
    (void)shift;
    (void)x;
    (void)y;
}

template <class F>
void TSkinForm<F>::DrawDragFrame(const RECT& r)
{
    (void)r;
}

template <class F>
void TSkinForm<F>::WMNCHitTest(TMessage& message)
{
    POINT p = NormalizePoint(POINT{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))});
    message.Result = GetHitTest(p.x, p.y) == khtClient ? HTCLIENT : HTCAPTION;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCLButtonDown(TMessage& message)
{
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCLButtonUp(TMessage& message)
{
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCLButtonDblClk(TMessage& message)
{
    message.Result = 1;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCRButtonDown(TMessage& message)
{
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCRButtonUp(TMessage& message)
{
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCMouseMove(TMessage& message)
{
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMLButtonUp(TMessage& message)
{
    (void)message;
}

template <class F>
void TSkinForm<F>::WMMouseMove(TMessage& message)
{
    (void)message;
}

template class TSkinForm<TKsFamily>;
template class TSkinForm<TMpFamily>;

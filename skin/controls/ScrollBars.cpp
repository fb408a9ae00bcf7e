#include "ScrollBars.h"

#include "Reader.h"
#include "SkinUtils.h"
#include "Timer.h"

#include <cmath>

namespace {

int ThumbSize()
{
    return GetSystemMetrics(SM_CYVTHUMB);
}

// Halves to even, as everywhere in the library.
int RoundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

}  // namespace

TMpCustomScrollBar::TMpCustomScrollBar(TComponent* owner) : TMpGraphicControl(owner)
{
    // csCaptureMouse (the framework's default) keeps the moves and the
    // release coming to a windowless bar while a button is held.
    ControlStyle |= csCaptureMouse;
    SetBounds(Left(), Top(), 121, ThumbSize() + 2 * FBorderWidth);
}

TMpCustomScrollBar::~TMpCustomScrollBar()
{
    BeginDestroy();
    if (FTimer) {
        TTimer* timer = FTimer;
        FTimer = nullptr;
        timer->Free();
    }
}

// --- Values ---------------------------------------------------------------------

void TMpCustomScrollBar::SetPosition(int value)
{
    if (value > FMax) value = FMax;
    if (value < FMin) value = FMin;
    if (value == FPosition) return;
    FPosition = value;
    Invalidate();
    Change();
}

void TMpCustomScrollBar::SetMax(int value)
{
    if (value < FMin) value = FMin;
    if (value == FMax) return;
    FMax = value;
    if (FPosition > FMax) FPosition = FMax;
    if (FPageSize > FMax - FMin + 1) FPageSize = FMax - FMin + 1;
    Invalidate();
}

void TMpCustomScrollBar::SetMin(int value)
{
    if (value > FMax) value = FMax;
    if (value == FMin) return;
    FMin = value;
    if (FPosition < FMin) FPosition = FMin;
    if (FPageSize > FMax - FMin + 1) FPageSize = FMax - FMin + 1;
    Invalidate();
}

void TMpCustomScrollBar::SetPageSize(int value)
{
    if (value == FPageSize || value < 0) return;
    if (value > FMax - FMin + 1) value = FMax - FMin + 1;
    FPageSize = value;
    Invalidate();
}

void TMpCustomScrollBar::SetBorderWidth(int value)
{
    if (value == FBorderWidth) return;
    FBorderWidth = value;
    Invalidate();
}

void TMpCustomScrollBar::SetKind(TScrollBarKind kind)
{
    if (kind == FKind) return;
    FKind = kind;
    if (ComponentState() & csDesigning) {
        // The shape follows the orientation.
        if ((kind == sbHorizontal && Height() > Width()) || (kind == sbVertical && Width() > Height()))
            SetBounds(Left(), Top(), Height(), Width());
    }
    Invalidate();
}

void TMpCustomScrollBar::SetShowButtons(bool value)
{
    if (value == FShowButtons) return;
    FShowButtons = value;
    Invalidate();
}

void TMpCustomScrollBar::SetLargeChange(int value)
{
    FLargeChange = std::max(1, std::min(32767, value));
}

void TMpCustomScrollBar::SetSmallChange(int value)
{
    FSmallChange = std::max(1, std::min(32767, value));
}

void TMpCustomScrollBar::SetAutoScroll(bool& flag, bool& other, bool on)
{
    if (on == flag) return;
    flag = on;
    if (on) {
        other = false;
        PartPress(false);
    } else {
        StopTimer();
    }
}

void TMpCustomScrollBar::SetAutoSrcollUp(bool on)
{
    SetAutoScroll(FAutoScrollUp, FAutoScrollDown, on);
}

void TMpCustomScrollBar::SetAutoSrcollDown(bool on)
{
    SetAutoScroll(FAutoScrollDown, FAutoScrollUp, on);
}

void TMpCustomScrollBar::UpdateSytemSize()
{
    const int thickness = ThumbSize() + 2 * FBorderWidth;
    if (Horizontal())
        SetHeight(thickness);
    else
        SetWidth(thickness);
}

void TMpCustomScrollBar::Change()
{
    if (OnChange) OnChange(this);
}

void TMpCustomScrollBar::Scroll(TKsScrollCode code, int& pos)
{
    if (OnScroll) OnScroll(this, code, pos);
}

// --- Geometry -------------------------------------------------------------------

int TMpCustomScrollBar::GetBtnSize()
{
    const int t = ThumbSize(), room = Length() - 2 * FBorderWidth;
    return room < 2 * t ? room / 2 : t;
}

int TMpCustomScrollBar::TrackStart()
{
    return FBorderWidth + (FShowButtons ? GetBtnSize() : 0);
}

int TMpCustomScrollBar::TrackEnd()
{
    return Length() - FBorderWidth - (FShowButtons ? GetBtnSize() : 0);
}

RECT TMpCustomScrollBar::GetLeftTopBtnRect()
{
    const int b = FBorderWidth, btn = GetBtnSize();
    return Horizontal() ? RECT{b, b, b + btn, Height() - b} : RECT{b, b, Width() - b, b + btn};
}

RECT TMpCustomScrollBar::GetRightBottomBtnRect()
{
    const int b = FBorderWidth, btn = GetBtnSize();
    return Horizontal() ? RECT{Width() - b - btn, b, Width() - b, Height() - b}
                        : RECT{b, Height() - b - btn, Width() - b, Height() - b};
}

RECT TMpCustomScrollBar::GetBackgroundRect()
{
    const int b = FBorderWidth, start = TrackStart(), end = TrackEnd();
    return Horizontal() ? RECT{start, b, end, Height() - b} : RECT{b, start, Width() - b, end};
}

int TMpCustomScrollBar::GetSliderSize()
{
    const int t = ThumbSize(), track = TrackEnd() - TrackStart();
    int size = t;
    if (FPageSize > 0) {
        size = RoundHalfEven(double(FPageSize) * track / double(FMax - FMin + 1));
        size = std::max(size, t / 3 * 2);
    }
    return size >= track ? 0 : size;
}

int TMpCustomScrollBar::Span()
{
    return TrackEnd() - TrackStart() - GetSliderSize();
}

int TMpCustomScrollBar::Range() const
{
    return FMax - FMin - FPageSize + (FPageSize != 0 ? 1 : 0);
}

int TMpCustomScrollBar::PositionCoordinate(int pos)
{
    const int start = TrackStart(), range = Range();
    if (FMax - FMin - FPageSize < 0 || range < 1) return start;
    if (pos > FMax - FPageSize + 1) return TrackEnd() - GetSliderSize();
    return start + RoundHalfEven(double(pos - FMin) * Span() / range);
}

int TMpCustomScrollBar::CoordinatePosition(int coord)
{
    const int span = Span(), range = Range();
    int v = span != 0 && range > 0 ? RoundHalfEven(double(coord - TrackStart()) * range / span + FMin) : 0;
    // The lower bound wins when the range is empty.
    if (v > FMax - FPageSize + 1) v = FMax - FPageSize + 1;
    if (v < FMin) v = FMin;
    return v;
}

RECT TMpCustomScrollBar::GetSliderRect()
{
    const RECT track = GetBackgroundRect();
    const int start = PositionCoordinate(FPosition), end = start + GetSliderSize();
    return Horizontal() ? RECT{start, track.top, end, track.bottom} : RECT{track.left, start, track.right, end};
}

RECT TMpCustomScrollBar::GetLeftTopAreaRect()
{
    RECT r = GetBackgroundRect();
    const RECT slider = GetSliderRect();
    (Horizontal() ? r.right : r.bottom) = Horizontal() ? slider.left : slider.top;
    return r;
}

RECT TMpCustomScrollBar::GetRightBottomAreaRect()
{
    RECT r = GetBackgroundRect();
    const RECT slider = GetSliderRect();
    (Horizontal() ? r.left : r.top) = Horizontal() ? slider.right : slider.bottom;
    return r;
}

bool TMpCustomScrollBar::IsSliderVizible()
{
    const RECT r = GetSliderRect();
    return r.right > r.left && r.bottom > r.top && (Enabled() || (ComponentState() & csDesigning));
}

namespace {
bool Inside(const RECT& r, int x, int y)
{
    const POINT p{x, y};
    return PtInRect(&r, p) != 0;
}
}  // namespace

bool TMpCustomScrollBar::PtInLeftTopBtn(int x, int y) { return Inside(GetLeftTopBtnRect(), x, y); }
bool TMpCustomScrollBar::PtInRightBottomBtn(int x, int y) { return Inside(GetRightBottomBtnRect(), x, y); }
bool TMpCustomScrollBar::PtInSlider(int x, int y) { return Inside(GetSliderRect(), x, y); }
bool TMpCustomScrollBar::PtInLeftTopArea(int x, int y) { return Inside(GetLeftTopAreaRect(), x, y); }
bool TMpCustomScrollBar::PtInRightBottomArea(int x, int y) { return Inside(GetRightBottomAreaRect(), x, y); }

// --- Stepping -------------------------------------------------------------------

void TMpCustomScrollBar::Step(int value, TKsScrollCode code)
{
    if (value > FMax) value = FMax;
    if (value < FMin) value = FMin;
    Scroll(code, value);
    SetPosition(value);
}

void TMpCustomScrollBar::ImitateKeyDown(WORD key, TShiftState)
{
    const int page = FPageSize < 1 ? FLargeChange : FPageSize;
    switch (key) {
    case VK_PRIOR:
        Step(FPosition - page, scPageUp);
        break;
    case VK_NEXT:
        Step(FPosition + page, scPageDown);
        break;
    case VK_END:
        Step(FMax, scBottom);
        break;
    case VK_HOME:
        Step(FMin, scTop);
        break;
    case VK_LEFT:
    case VK_UP:
        Step(FPosition - FSmallChange, scLineUp);
        if (FPosition <= FMin && FAutoScrollUp) SetAutoSrcollUp(false);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        Step(FPosition + FSmallChange, scLineDown);
        if (FPosition >= FMax && FAutoScrollDown) SetAutoSrcollDown(false);
        break;
    }
}

bool TMpCustomScrollBar::Repeating() const
{
    return FTimer && FTimer->Enabled();
}

void TMpCustomScrollBar::PartPress(bool first)
{
    if (!FTimer) {
        FTimer = new TTimer(this);
        FTimer->SetEnabled(false);
        FTimer->OnTimer = MakeEvent<&TMpCustomScrollBar::TimerExpired>(this);
    }
    if (first) {
        TimerExpired(FTimer);
        FTimer->SetInterval(unsigned(GetKeyBoardDelayInterval()));
    } else {
        FTimer->SetInterval(unsigned(GetKeyBoardSpeedInterval()));
    }
    FTimer->SetEnabled(true);
}

void TMpCustomScrollBar::StopTimer()
{
    if (FTimer) FTimer->SetEnabled(false);
}

void TMpCustomScrollBar::TimerExpired(TObject*)
{
    // After the first delay the repeat runs at the keyboard's rate.
    if (FTimer) FTimer->SetInterval(unsigned(GetKeyBoardSpeedInterval()));
    try {
        if (GetLeftTopBtnPressed() || FAutoScrollUp) {
            ImitateKeyDown(VK_LEFT, 0);
        } else if (GetRightBottomBtnPressed() || FAutoScrollDown) {
            ImitateKeyDown(VK_RIGHT, 0);
        } else {
            // A held track area stops paging once the slider has come under
            // the mouse: the area no longer holds the point.
            bool changed = false;
            const bool leftHot = PtInLeftTopArea(FLastMouseX, FLastMouseY);
            changed |= leftHot != FLeftTopAreaHot;
            FLeftTopAreaHot = leftHot;
            if (GetLeftTopAreaPressed()) {
                ImitateKeyDown(VK_PRIOR, 0);
            } else {
                const bool rightHot = PtInRightBottomArea(FLastMouseX, FLastMouseY);
                changed |= rightHot != FRightBottomAreaHot;
                FRightBottomAreaHot = rightHot;
                if (GetRightBottomAreaPressed()) ImitateKeyDown(VK_NEXT, 0);
            }
            if (changed) Invalidate();
        }
    } catch (...) {
        StopTimer();
        throw;
    }
}

// --- Mouse ----------------------------------------------------------------------

bool TMpCustomScrollBar::UpdateHover(int x, int y)
{
    bool changed = false;
    auto set = [&changed](bool& flag, bool value) {
        changed |= flag != value;
        flag = value;
    };
    set(FSliderHot, PtInSlider(x, y));
    if (FShowButtons) {
        set(FLeftTopBtnHot, PtInLeftTopBtn(x, y));
        set(FRightBottomBtnHot, PtInRightBottomBtn(x, y));
    }
    set(FLeftTopAreaHot, PtInLeftTopArea(x, y));
    set(FRightBottomAreaHot, PtInRightBottomArea(x, y));
    return changed;
}

void TMpCustomScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TMpGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    // The press itself tells where the mouse is, a move before it or not.
    FLastMouseX = x;
    FLastMouseY = y;
    bool repaint = UpdateHover(x, y);
    if (PtInSlider(x, y)) {
        const RECT slider = GetSliderRect();
        FDragOffset = Along(x, y) - (Horizontal() ? slider.left : slider.top);
        int pos = FPosition;
        Scroll(scTrack, pos);
        SetPosition(pos);
        repaint = true;
    }
    const bool before[4] = {GetLeftTopBtnPressed(), GetRightBottomBtnPressed(), GetLeftTopAreaPressed(),
                            GetRightBottomAreaPressed()};
    if (PtInLeftTopBtn(x, y)) FLeftTopBtnDown = true;
    if (PtInRightBottomBtn(x, y)) FRightBottomBtnDown = true;
    if (PtInLeftTopArea(x, y)) FLeftTopAreaDown = true;
    if (PtInRightBottomArea(x, y)) FRightBottomAreaDown = true;
    const bool after[4] = {GetLeftTopBtnPressed(), GetRightBottomBtnPressed(), GetLeftTopAreaPressed(),
                           GetRightBottomAreaPressed()};
    bool pressed = false;
    for (int i = 0; i < 4; ++i) pressed |= after[i] && !before[i];
    if (repaint || pressed) Invalidate();
    if (pressed) PartPress(true);
}

void TMpCustomScrollBar::MouseMove(TShiftState shift, int x, int y)
{
    TMpGraphicControl::MouseMove(shift, x, y);
    FLastMouseX = x;
    FLastMouseY = y;
    if (FDragOffset >= 0) {
        int coord = Along(x, y) - FDragOffset;
        coord = std::max(TrackStart(), std::min(coord, TrackEnd()));
        const int pos = CoordinatePosition(coord);
        // What the handler makes of the position is not used while dragging.
        int offered = pos;
        Scroll(scTrack, offered);
        SetPosition(pos);
    }
    if (UpdateHover(x, y)) Invalidate();
}

void TMpCustomScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TMpGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    if (FDragOffset >= 0) {
        int pos = FPosition;
        Scroll(scPosition, pos);
        SetPosition(pos);
    }
    FDragOffset = -1;
    FLeftTopBtnDown = FRightBottomBtnDown = FLeftTopAreaDown = FRightBottomAreaDown = false;
    StopTimer();
    int pos = FPosition;
    Scroll(scEndScroll, pos);
    SetPosition(pos);
    Invalidate();
}

void TMpCustomScrollBar::MouseLeave()
{
    TMpGraphicControl::MouseLeave();
    if (FSliderHot || FLeftTopBtnHot || FRightBottomBtnHot || FLeftTopAreaHot || FRightBottomAreaHot) {
        FSliderHot = FLeftTopBtnHot = FRightBottomBtnHot = FLeftTopAreaHot = FRightBottomAreaHot = false;
        Invalidate();
    }
}

// --- Painting -------------------------------------------------------------------

void TMpCustomScrollBar::PaintBuffer()
{
    TMpGraphicControl::PaintBuffer();
    DrawBorder();
    DrawBackground();
    if (FShowButtons) {
        DrawLeftTopBtn();
        DrawRightBottomBtn();
    }
    if (IsSliderVizible()) {
        DrawSlider();
        const TKColor held = KColor(cl3DDkShadow, 255);
        if (GetLeftTopAreaPressed()) FBuffer->FillRect(GetLeftTopAreaRect(), held);
        if (GetRightBottomAreaPressed()) FBuffer->FillRect(GetRightBottomAreaRect(), held);
    }
}

void TMpCustomScrollBar::DrawBorder()
{
    if (FBorderWidth > 0)
        FBuffer->DrawEdge(RECT{0, 0, Width(), Height()}, KColor(clBtnShadow, 255), KColor(clBtnHighlight, 255));
}

void TMpCustomScrollBar::DrawBackground()
{
    FBuffer->FillHalftoneRect(GetBackgroundRect(), KColor(clScrollBar, 255), KColor(clBtnHighlight, 255));
}

void TMpCustomScrollBar::DrawButton(const RECT& r, UINT state, bool pressed)
{
    if (pressed) state |= DFCS_PUSHED | DFCS_FLAT;
    if (!Enabled() && !(ComponentState() & csDesigning)) state |= DFCS_INACTIVE;
    RECT box = r;
    DrawFrameControl(FBuffer->DC(), &box, DFC_SCROLL, state);
    // The platform leaves alpha 0 where it drew; the button is opaque.
    GdiFlush();
    FBuffer->SetAlpha(255, r);
}

void TMpCustomScrollBar::DrawLeftTopBtn()
{
    DrawButton(GetLeftTopBtnRect(), Horizontal() ? DFCS_SCROLLLEFT : DFCS_SCROLLUP, GetLeftTopBtnPressed());
}

void TMpCustomScrollBar::DrawRightBottomBtn()
{
    DrawButton(GetRightBottomBtnRect(), Horizontal() ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN, GetRightBottomBtnPressed());
}

void TMpCustomScrollBar::DrawSlider()
{
    const RECT r = GetSliderRect();
    FBuffer->FillRect(r, KColor(clBtnFace, 255));
    if (GetSliderPressed()) {
        FBuffer->DrawRect(r, KColor(clBtnShadow, 255));
        return;
    }
    FBuffer->DrawEdge(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, KColor(clBtnHighlight, 255),
                      KColor(clBtnShadow, 255));
    FBuffer->DrawEdge(r, KColor(cl3DLight, 255), KColor(cl3DDkShadow, 255));
}

// --- Messages and properties ----------------------------------------------------

void TMpCustomScrollBar::Dispatch(TMessage& m)
{
    TMpGraphicControl::Dispatch(m);
    AfterBaseDispatch(m, {CM_ENABLEDCHANGED}, DLGC_WANTARROWS);
}

TPersistent* TMpCustomScrollBar::PropertyObject(const std::string& name)
{
    if (name == "Constraints") return Constraints();
    return TMpGraphicControl::PropertyObject(name);
}

bool TMpCustomScrollBar::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames kinds = {"sbHorizontal", "sbVertical"};
    if (name == "BorderWidth") SetBorderWidth(reader.ReadInteger());
    else if (name == "ShowButtons") SetShowButtons(reader.ReadBool());
    else if (name == "Kind") SetKind(TScrollBarKind(reader.ReadEnum(kinds)));
    else if (name == "LargeChange") SetLargeChange(reader.ReadInteger());
    else if (name == "SmallChange") SetSmallChange(reader.ReadInteger());
    else if (name == "Max") SetMax(reader.ReadInteger());
    else if (name == "Min") SetMin(reader.ReadInteger());
    else if (name == "PageSize") SetPageSize(reader.ReadInteger());
    else if (name == "Position") SetPosition(reader.ReadInteger());
    else if (name == "OnChange") OnChange = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnScroll") OnScroll = reader.ReadEvent<TKsScrollEvent>();
    else return TMpGraphicControl::ReadProperty(name, reader);
    return true;
}

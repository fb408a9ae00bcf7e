#include "TrackBar.h"

#include "Reader.h"

#include <commctrl.h>

#include <algorithm>

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner)
{
    ControlStyle &= ~unsigned(csSetCaption);
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

int TTrackBar::Clamp(int value) const
{
    // A form resource may give Position before the range it lies in.
    if (Loading()) return value;
    return std::max(std::min(FMin, FMax), std::min(value, std::max(FMin, FMax)));
}

void TTrackBar::SetRange(int min, int max)
{
    if (min == FMin && max == FMax) return;
    int old = Position();
    FMin = min;
    FMax = max;
    FPosition = Clamp(old);
    if (HandleAllocated()) {
        SendMessageA(Handle(), TBM_SETRANGEMIN, FALSE, LPARAM(min));
        SendMessageA(Handle(), TBM_SETRANGEMAX, TRUE, LPARAM(max));
        SendMessageA(Handle(), TBM_SETPOS, TRUE, LPARAM(FPosition));
    }
    if (FPosition != old) Changed();
}

int TTrackBar::Position() const
{
    if (HandleAllocated()) return int(SendMessageA(const_cast<TTrackBar*>(this)->Handle(), TBM_GETPOS, 0, 0));
    return FPosition;
}

void TTrackBar::SetPosition(int position)
{
    position = Clamp(position);
    if (position == Position()) return;
    FPosition = position;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETPOS, TRUE, LPARAM(position));
    Changed();
}

void TTrackBar::SetFrequency(int frequency)
{
    if (frequency == FFrequency) return;
    FFrequency = frequency;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETTICFREQ, WPARAM(frequency), 0);
}

void TTrackBar::SetLineSize(int size)
{
    if (size == FLineSize) return;
    FLineSize = size;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETLINESIZE, 0, LPARAM(size));
}

void TTrackBar::SetPageSize(int size)
{
    if (size == FPageSize) return;
    FPageSize = size;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETPAGESIZE, 0, LPARAM(size));
}

void TTrackBar::SetOrientation(TTrackBarOrientation orientation)
{
    if (orientation == FOrientation) return;
    FOrientation = orientation;
    // A form resource already gives the bounds for its orientation.
    if (!Loading()) SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark marks)
{
    if (marks == FTickMarks) return;
    FTickMarks = marks;
    RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle style)
{
    if (style == FTickStyle) return;
    FTickStyle = style;
    RecreateWnd();
}

void TTrackBar::SetTick(int value)
{
    FTicks.push_back(value);
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETTIC, 0, LPARAM(value));
}

void TTrackBar::SetThumbLength(int length)
{
    if (length == FThumbLength) return;
    FThumbLength = length;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETTHUMBLENGTH, WPARAM(length), 0);
}

void TTrackBar::SetSliderVisible(bool visible)
{
    if (visible == FSliderVisible) return;
    FSliderVisible = visible;
    RecreateWnd();
}

void TTrackBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SubclassOf = TRACKBAR_CLASSA;
    params.Style |= FOrientation == trVertical ? TBS_VERT : TBS_HORZ;
    // Fixed length, so that ThumbLength is what the thumb gets.
    params.Style |= TBS_FIXEDLENGTH;
    switch (FTickMarks) {
    case tmBottomRight: params.Style |= TBS_BOTTOM; break;  // also TBS_RIGHT
    case tmTopLeft: params.Style |= TBS_TOP; break;         // also TBS_LEFT
    case tmBoth: params.Style |= TBS_BOTH; break;
    }
    if (FTickStyle == tsNone) params.Style |= TBS_NOTICKS;
    if (FTickStyle == tsAuto) params.Style |= TBS_AUTOTICKS;
    if (!FSliderVisible) params.Style |= TBS_NOTHUMB;
}

void TTrackBar::CreateWnd()
{
    TWinControl::CreateWnd();
    HWND window = Handle();
    SendMessageA(window, TBM_SETRANGEMIN, FALSE, LPARAM(FMin));
    SendMessageA(window, TBM_SETRANGEMAX, FALSE, LPARAM(FMax));
    SendMessageA(window, TBM_SETLINESIZE, 0, LPARAM(FLineSize));
    SendMessageA(window, TBM_SETPAGESIZE, 0, LPARAM(FPageSize));
    SendMessageA(window, TBM_SETTHUMBLENGTH, WPARAM(FThumbLength), 0);
    if (FTickStyle == tsAuto) SendMessageA(window, TBM_SETTICFREQ, WPARAM(FFrequency), 0);
    for (int tick : FTicks) SendMessageA(window, TBM_SETTIC, 0, LPARAM(tick));
    SendMessageA(window, TBM_SETPOS, TRUE, LPARAM(FPosition));
}

void TTrackBar::Changed()
{
    if (!Loading() && OnChange) OnChange(this);
}

void TTrackBar::Loaded()
{
    TWinControl::Loaded();
    FPosition = Clamp(FPosition);
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETPOS, TRUE, LPARAM(FPosition));
}

void TTrackBar::Dispatch(TMessage& m)
{
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        // The user moved the thumb (keys, mouse, dragging): the window
        // already holds the new position.
        int position = Position();
        if (position != FPosition) {
            FPosition = position;
            Changed();
        }
        return;
    }
    TWinControl::Dispatch(m);
}

bool TTrackBar::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames orientations = {"trHorizontal", "trVertical"};
    static const TEnumNames marks = {"tmBottomRight", "tmTopLeft", "tmBoth"};
    static const TEnumNames styles = {"tsNone", "tsAuto", "tsManual"};
    if (name == "Min") SetMin(reader.ReadInteger());
    else if (name == "Max") SetMax(reader.ReadInteger());
    else if (name == "Position") SetPosition(reader.ReadInteger());
    else if (name == "Frequency") SetFrequency(reader.ReadInteger());
    else if (name == "LineSize") SetLineSize(reader.ReadInteger());
    else if (name == "PageSize") SetPageSize(reader.ReadInteger());
    else if (name == "Orientation") SetOrientation(TTrackBarOrientation(reader.ReadEnum(orientations)));
    else if (name == "TickMarks") SetTickMarks(TTickMark(reader.ReadEnum(marks)));
    else if (name == "TickStyle") SetTickStyle(TTickStyle(reader.ReadEnum(styles)));
    else if (name == "ThumbLength") SetThumbLength(reader.ReadInteger());
    else if (name == "SliderVisible") SetSliderVisible(reader.ReadBool());
    else if (name == "OnChange") OnChange = reader.ReadEvent<TNotifyEvent>();
    else return TWinControl::ReadProperty(name, reader);
    return true;
}

#include "ProgressBar.h"

#include "Reader.h"

#include <commctrl.h>

#include <algorithm>

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner)
{
    ControlStyle &= ~unsigned(csSetCaption);
    SetBounds(0, 0, 150, 16);
}

int TProgressBar::Clamp(int value) const
{
    // A form resource may give Position before the range it lies in.
    if (Loading()) return value;
    return std::max(std::min(FMin, FMax), std::min(value, std::max(FMin, FMax)));
}

void TProgressBar::SetRange(int min, int max)
{
    if (min == FMin && max == FMax) return;
    FMin = min;
    FMax = max;
    FPosition = Clamp(FPosition);
    if (HandleAllocated()) {
        SendMessageA(Handle(), PBM_SETRANGE32, WPARAM(min), LPARAM(max));
        SendMessageA(Handle(), PBM_SETPOS, WPARAM(FPosition), 0);
    }
}

void TProgressBar::SetPosition(int position)
{
    position = Clamp(position);
    if (position == FPosition) return;
    FPosition = position;
    if (HandleAllocated()) SendMessageA(Handle(), PBM_SETPOS, WPARAM(position), 0);
}

void TProgressBar::SetStep(int step)
{
    if (step == FStep) return;
    FStep = step;
    if (HandleAllocated()) SendMessageA(Handle(), PBM_SETSTEP, WPARAM(step), 0);
}

void TProgressBar::StepIt()
{
    // Worked out here rather than by the window, so that it holds whether
    // the window exists or not.
    long long next = static_cast<long long>(FPosition) + FStep;
    int low = std::min(FMin, FMax), high = std::max(FMin, FMax);
    SetPosition(next > high ? low : next < low ? high : int(next));
}

void TProgressBar::StepBy(int delta)
{
    long long next = static_cast<long long>(FPosition) + delta;
    next = std::max<long long>(std::min(FMin, FMax), std::min<long long>(next, std::max(FMin, FMax)));
    SetPosition(int(next));
}

void TProgressBar::Loaded()
{
    TWinControl::Loaded();
    SetPosition(FPosition);
}

void TProgressBar::SetSmooth(bool smooth)
{
    if (smooth == FSmooth) return;
    FSmooth = smooth;
    RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation orientation)
{
    if (orientation == FOrientation) return;
    FOrientation = orientation;
    RecreateWnd();
}

void TProgressBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SubclassOf = PROGRESS_CLASSA;
    if (FSmooth) params.Style |= PBS_SMOOTH;
    if (FOrientation == pbVertical) params.Style |= PBS_VERTICAL;
}

void TProgressBar::CreateWnd()
{
    TWinControl::CreateWnd();
    HWND window = Handle();
    SendMessageA(window, PBM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
    SendMessageA(window, PBM_SETSTEP, WPARAM(FStep), 0);
    SendMessageA(window, PBM_SETPOS, WPARAM(FPosition), 0);
}

bool TProgressBar::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames orientations = {"pbHorizontal", "pbVertical"};
    if (name == "Min") SetMin(reader.ReadInteger());
    else if (name == "Max") SetMax(reader.ReadInteger());
    else if (name == "Position") SetPosition(reader.ReadInteger());
    else if (name == "Step") SetStep(reader.ReadInteger());
    else if (name == "Smooth") SetSmooth(reader.ReadBool());
    else if (name == "Orientation") SetOrientation(TProgressBarOrientation(reader.ReadEnum(orientations)));
    else return TWinControl::ReadProperty(name, reader);
    return true;
}

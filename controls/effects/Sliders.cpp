#include "Sliders.h"

#include "EffectBmp.h"
#include "GrUtils.h"
#include "Morphing.h"
#include "PtInform.h"
#include "Reader.h"

#include <algorithm>
#include <cmath>

// --- TepShapedControl ---------------------------------------------------

TepShapedControl::TepShapedControl(TComponent* owner) : TCustomControl(owner) { ControlStyle |= csOpaque; }

void TepShapedControl::SetFrameWidth(int width)
{
    FFrameWidth = std::clamp(width, 1, 100);
    Invalidate();
}

void TepShapedControl::CreateHandle()
{
    TCustomControl::CreateHandle();
    CreateR();
}

void TepShapedControl::CreateR()
{
    if (FShaping) return;
    FShaping = true;
    try {
        if (Width() % 2 != 0) SetWidth(Width() - 1);
        FRadius = Width() / 2;
        if (HandleAllocated()) {
            // The window owns the region from here on.
            HRGN region = CreateRoundRectRgn(0, 0, Width(), Height(), 2 * FRadius, 2 * FRadius);
            if (region && !SetWindowRgn(Handle(), region, TRUE)) DeleteObject(region);
        }
        Shaped();
    } catch (...) {
        FShaping = false;
        throw;
    }
    FShaping = false;
}

void TepShapedControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    case WM_SIZE:
        CreateR();
        break;
    }
    TCustomControl::Dispatch(m);
}

int TepShapedControl::KnobHalf() const { return FRadius - FFrameWidth / 2 - 4; }

void TepShapedControl::DrawCapsule(TCanvas* c, int grooveLeft, int grooveRight, int grooveBottom)
{
    const int w = Width(), h = Height(), r = FRadius;
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    RoundRect(c->Handle(), 0, 0, w, h, 2 * r, 2 * r);
    const TColor dark = RGBChange(Color(), -65, -65, -65), light = RGBChange(Color(), 65, 65, 65);
    RndRectFrm3D(c, RECT{0, 1, w - 1, h - 1}, light, FFrameWidth + 1, std::max(0, 2 * r - 8), dark);
    Frm3D(c, RECT{grooveLeft, r, grooveRight, grooveBottom}, dark, light, 2);
}

void TepShapedControl::DrawKnob(TCanvas* c, int y, TColor color)
{
    const int s = KnobHalf(), cx = Width() / 2;
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(color);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color);
    c->Ellipse(cx - s, y - s, cx + s, y + s);
    RndFrm3D(c, RGBChange(color, 65, 65, 65), RGBChange(color, -65, -65, -65), 2, RECT{cx - s, y - s, cx + s, y + s});
}

void TepShapedControl::FinishKnob(TBitmap& image, int y, TColor color)
{
    {
        TEffectBmp effect(image.Handle());
        effect.SplitBlur(1);
        effect.Draw(image.Canvas()->Handle(), 0, 0);
    }
    const int s = KnobHalf(), cx = Width() / 2;
    RndFrm3D(image.Canvas(), RGBChange(color, 65, 65, 65), RGBChange(color, -65, -65, -65), 1,
             RECT{cx - s, y - s, cx + s - 1, y + s});
}

bool TepShapedControl::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "FrameWidth") SetFrameWidth(reader.ReadInteger());
    else return TCustomControl::ReadProperty(name, reader);
    return true;
}

// --- TepRegulator -------------------------------------------------------

TepRegulator::TepRegulator(TComponent* owner) : TepShapedControl(owner)
{
    SetBounds(0, 0, 30, 150);
    FRadius = 15;
    FPos = FDrawnPos = PosOfValue();
}

int TepRegulator::PosOfValue() const
{
    const int r = FRadius, h = Height();
    const int span = h - 2 * r;
    // An empty range or a track no longer than the knob: the knob rests at the bottom.
    if (FMaxValue <= FMinValue || span <= 0 || FValue <= FMinValue) return h - r;
    if (FValue >= FMaxValue) return r;
    return h - r - int(std::trunc(double(span) * (FValue - FMinValue) / double(FMaxValue - FMinValue)));
}

void TepRegulator::Shaped() { FPos = FDrawnPos = PosOfValue(); }

void TepRegulator::SetValue(int v)
{
    if (v > FMaxValue) v = FMaxValue;
    if (v < FMinValue) v = FMinValue;
    if (v == FValue) return;
    FValue = v;
    FPos = FDrawnPos = PosOfValue();
    Repaint();
    if (OnChange) OnChange(this);
}

void TepRegulator::SetMinValue(int value)
{
    if (value == FMinValue) return;
    FMinValue = value;
    if (FMaxValue < FMinValue) FMaxValue = FMinValue;
    FValue = std::clamp(FValue, FMinValue, FMaxValue);
    FPos = FDrawnPos = PosOfValue();
    Repaint();
    if (OnChange) OnChange(this);
}

void TepRegulator::SetMaxValue(int value)
{
    if (value == FMaxValue) return;
    FMaxValue = value;
    if (FMinValue > FMaxValue) FMinValue = FMaxValue;
    FValue = std::clamp(FValue, FMinValue, FMaxValue);
    FPos = FDrawnPos = PosOfValue();
    Repaint();
    if (OnChange) OnChange(this);
}

void TepRegulator::SetBtnColor(TColor color)
{
    FBtnColor = color;
    Invalidate();
}

void TepRegulator::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TepShapedControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || FDragging) return;
    const int s = KnobHalf(), cx = Width() / 2;
    if (x < cx - s || x > cx + s || y < FPos - s || y > FPos + s) return;
    const double dx = x - cx, dy = y - FPos;
    if (std::sqrt(dx * dx + dy * dy) > s) return;  // the square's corners are not the knob
    FDragging = true;
    FLastY = FCurrentY = y;
    SetTimer(Handle(), 1, TimeInt, nullptr);
}

void TepRegulator::MouseMove(TShiftState shift, int x, int y)
{
    TepShapedControl::MouseMove(shift, x, y);
    if (FDragging) FCurrentY = y;
}

void TepRegulator::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TepShapedControl::MouseUp(button, shift, x, y);
    StopDragging();
}

void TepRegulator::StopDragging()
{
    if (!FDragging) return;
    FDragging = false;
    if (HandleAllocated()) KillTimer(Handle(), 1);
}

void TepRegulator::Tick()
{
    if (!FDragging) return;
    const int r = FRadius, h = Height();
    int p = FPos + FCurrentY - FLastY;
    p = std::max(r, std::min(p, h - r));
    FPos = p;
    if (p == FDrawnPos) return;
    DrawAt(p);
    const int old = FValue;
    const int span = h - 2 * r;
    if (span > 0)
        FValue = FMinValue + int(std::trunc(double(FMaxValue - FMinValue) * (1.0 - double(p - r) / span)));
    FLastY = FCurrentY;
    FDrawnPos = p;
    if (FValue != old && OnChange) OnChange(this);
}

void TepRegulator::DrawAt(int pos)
{
    FPos = pos;
    Repaint();
}

void TepRegulator::Paint()
{
    TBitmap image;
    image.SetSize(Width() + 10, Height() + 10);
    TCanvas* c = image.Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(RECT{0, 0, image.Width(), image.Height()});
    DrawCapsule(c, Width() / 2 - 2, Width() / 2 + 3, Height() - FRadius);
    DrawKnob(c, FPos, FBtnColor);
    FinishKnob(image, FPos, FBtnColor);
    Canvas()->Draw(0, 0, &image);
}

void TepRegulator::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_TIMER:
        if (m.WParam == 1) {
            Tick();
            return;
        }
        break;
    case WM_DESTROY:
        StopDragging();
        break;
    }
    TepShapedControl::Dispatch(m);
}

bool TepRegulator::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "TimeInt") TimeInt = unsigned(reader.ReadInteger());
    else if (name == "MinValue") SetMinValue(reader.ReadInteger());
    else if (name == "MaxValue") SetMaxValue(reader.ReadInteger());
    else if (name == "Value") SetValue(reader.ReadInteger());
    else if (name == "BtnColor") SetBtnColor(ReadColor(reader));
    else if (name == "OnChange") OnChange = reader.ReadEvent<TNotifyEvent>();
    else return TepShapedControl::ReadProperty(name, reader);
    return true;
}

// --- TepSwitch ----------------------------------------------------------

TepSwitch::TepSwitch(TComponent* owner) : TepShapedControl(owner)
{
    SetBounds(0, 0, 35, 70);
    FRadius = 17;
}

void TepSwitch::CreateR()
{
    if (Width() % 2 != 0) SetWidth(Width() - 1);
    const int height = int(std::lround(1.5 * Width()));
    if (Height() != height) SetHeight(height);
    TepShapedControl::CreateR();
}

void TepSwitch::SetOnBtnColor(TColor color)
{
    FOnBtnColor = color;
    Invalidate();
}

void TepSwitch::SetOffBtnColor(TColor color)
{
    FOffBtnColor = color;
    Invalidate();
}

void TepSwitch::SetState(TState state)
{
    FState = state;
    Repaint();
    if (state == sOn && OnOn) OnOn(this);
    if (state == sOff && OnOff) OnOff(this);
}

void TepSwitch::Paint()
{
    TBitmap image;
    image.SetSize(Width() + 10, Height() + 10);
    TCanvas* c = image.Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(RECT{0, 0, image.Width(), image.Height()});
    DrawCapsule(c, Width() / 2 - 3, Width() / 2 + 4, Height() - FRadius + 2);
    const int y = FState == sOn ? FRadius + 2 : Height() - FRadius - 1;
    const TColor color = FState == sOn ? FOnBtnColor : FOffBtnColor;
    DrawKnob(c, y, color);
    FinishKnob(image, y, color);
    Canvas()->Draw(0, 0, &image);
}

void TepSwitch::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && PointinRndRect(x, y, Width() / 2, RECT{0, 0, Width(), Height()})) {
        SetState(FState == sOn ? sOff : sOn);
    }
    TepShapedControl::MouseDown(button, shift, x, y);
}

bool TepSwitch::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames states = {"sOff", "sOn"};
    if (name == "OnBtnColor") SetOnBtnColor(ReadColor(reader));
    else if (name == "OffBtnColor") SetOffBtnColor(ReadColor(reader));
    else if (name == "State") {
        FState = TState(reader.ReadEnum(states));
        Invalidate();
    } else if (name == "OnOn") OnOn = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnOff") OnOff = reader.ReadEvent<TNotifyEvent>();
    else return TepShapedControl::ReadProperty(name, reader);
    return true;
}

// --- TepTracker ---------------------------------------------------------

TepTracker::TepTracker(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 30, 30); }

void RegisterSliderClasses()
{
    RegisterClass<TepRegulator>();
    RegisterClass<TepSwitch>();
    RegisterClass<TepTracker>();
    RegisterClass<TepMorphing>();
}

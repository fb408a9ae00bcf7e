// Capsule-shaped controls with an embossed look: a vertical slider with a
// round knob (TepRegulator) and a two-position switch (TepSwitch); their
// windows are cut to a rounded rectangle. TepTracker is an invisible area
// that reports the mouse entering and leaving.
#pragma once

#include "Graphic.h"
#include "WinControl.h"

enum TState { sOff, sOn };

// Both shaped controls: the window region, rebuilt on every size change.
class TepShapedControl : public TCustomControl {
    GANTREL_CLASS(TepShapedControl)

    explicit TepShapedControl(TComponent* owner);

    int FrameWidth() const { return FFrameWidth; }
    void SetFrameWidth(int width);  // 1..100
    int Radius() const { return FRadius; }

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateHandle() override;
    // Even width, the region, and whatever the control derives from its size.
    virtual void CreateR();
    virtual void Shaped() {}
    // The capsule's track and groove into canvas; the knob centred at y.
    void DrawCapsule(TCanvas* canvas, int grooveLeft, int grooveRight, int grooveBottom);
    void DrawKnob(TCanvas* canvas, int y, TColor color);
    void FinishKnob(TBitmap& image, int y, TColor color);
    int KnobHalf() const;
    int FFrameWidth = 1;
    int FRadius = 0;

private:
    bool FShaping = false;
};

class TepRegulator : public TepShapedControl {
    GANTREL_CLASS(TepRegulator)

    explicit TepRegulator(TComponent* owner);

    unsigned TimeInt = 100;  // ms between knob updates while dragging
    int MinValue() const { return FMinValue; }
    void SetMinValue(int value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int value);
    int Value() const { return FValue; }
    void SetValue(int value);
    TColor BtnColor() const { return FBtnColor; }
    void SetBtnColor(TColor color);
    TNotifyEvent OnChange;

    // The y of the knob's centre.
    int KnobPos() const { return FPos; }
    bool Dragging() const { return FDragging; }

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void Paint() override;
    void Shaped() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    int FMinValue = 0, FMaxValue = 100, FValue = 0;
    TColor FBtnColor = clBtnFace;
    int FPos = 0, FDrawnPos = 0;
    int FLastY = 0, FCurrentY = 0;
    bool FDragging = false;
    int PosOfValue() const;
    void Tick();
    void StopDragging();
    void DrawAt(int pos);
};

class TepSwitch : public TepShapedControl {
    GANTREL_CLASS(TepSwitch)

    explicit TepSwitch(TComponent* owner);

    TColor OnBtnColor() const { return FOnBtnColor; }
    void SetOnBtnColor(TColor color);
    TColor OffBtnColor() const { return FOffBtnColor; }
    void SetOffBtnColor(TColor color);
    TState State() const { return FState; }
    void SetState(TState state);
    TNotifyEvent OnOn;
    TNotifyEvent OnOff;

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateR() override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TColor FOnBtnColor = clLime;
    TColor FOffBtnColor = clBtnFace;
    TState FState = sOff;
};

class TepTracker : public TCustomControl {
    GANTREL_CLASS(TepTracker)

    explicit TepTracker(TComponent* owner);
};

void RegisterSliderClasses();

// Check boxes and radio buttons on the platform's BUTTON. The control keeps
// its state itself (so it survives the window) and runs OnClick whenever
// the state changes, from the user or from the program. Radio buttons are
// exclusive among the radio buttons of the same parent.
#pragma once

#include "Label.h"
#include "WinControl.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TButtonControl : public TWinControl {
    GANTREL_CLASS(TButtonControl)

    explicit TButtonControl(TComponent* owner);

    // taRightJustify: the box left of the text; taLeftJustify: right of it.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    // The BS_ type of the window.
    virtual DWORD ButtonType() const = 0;
    // The platform reported a click (BN_CLICKED).
    virtual void Clicked() = 0;
    // The caption's accelerator was pressed.
    virtual void AccelPressed() { Clicked(); }

private:
    TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TButtonControl {
    GANTREL_CLASS(TCheckBox)

    explicit TCheckBox(TComponent* owner);

    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState state);
    // Clicks also reach the grayed state (unchecked, checked, grayed).
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool value);
    // The next state a click gives.
    void Toggle();

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    DWORD ButtonType() const override { return FAllowGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX; }
    void Clicked() override;
    void AccelPressed() override { Toggle(); }
    void CreateWnd() override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
};

class TRadioButton : public TButtonControl {
    GANTREL_CLASS(TRadioButton)

    explicit TRadioButton(TComponent* owner);

    // Checking one unchecks the other radio buttons of the same parent;
    // OnClick runs when the button becomes checked.
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    DWORD ButtonType() const override { return BS_RADIOBUTTON; }
    void Clicked() override { SetChecked(true); }
    void CreateWnd() override;

private:
    bool FChecked = false;
};

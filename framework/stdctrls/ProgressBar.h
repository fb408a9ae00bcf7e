// TProgressBar: the platform's progress bar. Its values live in the object
// and reach the window whenever it exists.
#pragma once

#include "WinControl.h"

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
    GANTREL_CLASS(TProgressBar)

    explicit TProgressBar(TComponent* owner);

    int Min() const { return FMin; }
    void SetMin(int value) { SetRange(value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int value) { SetRange(FMin, value); }
    // Position is kept inside the range.
    void SetRange(int min, int max);
    int Position() const { return FPosition; }
    void SetPosition(int position);
    int Step() const { return FStep; }
    void SetStep(int step);
    // Advances by Step; past Max it starts again at Min (past Min, at Max).
    void StepIt();
    // Advances by delta, stopping at the ends.
    void StepBy(int delta);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool smooth);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation orientation);

    void Loaded() override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = pbHorizontal;
    int Clamp(int value) const;
};

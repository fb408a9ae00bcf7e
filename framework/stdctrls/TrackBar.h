// TTrackBar: the platform's slider. OnChange runs whenever the position
// changes, by the user or by the program.
#pragma once

#include "WinControl.h"

#include <vector>

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickStyle { tsNone, tsAuto, tsManual };

class TTrackBar : public TWinControl {
    GANTREL_CLASS(TTrackBar)

    // The class's own: the skinned track bar has a TTickMark of other values.
    enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };

    explicit TTrackBar(TComponent* owner);

    int Min() const { return FMin; }
    void SetMin(int value) { SetRange(value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int value) { SetRange(FMin, value); }
    // Position is kept inside the range.
    void SetRange(int min, int max);
    int Position() const;
    void SetPosition(int position);
    // Every how many positions a tick mark goes (TickStyle tsAuto).
    int Frequency() const { return FFrequency; }
    void SetFrequency(int frequency);
    // What the arrow keys and the page keys move.
    int LineSize() const { return FLineSize; }
    void SetLineSize(int size);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int size);
    // Changing the orientation turns the control's bounds too.
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation orientation);
    TTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark marks);
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle style);
    // A tick at value (TickStyle tsManual; ends always have one).
    void SetTick(int value);
    int ThumbLength() const { return FThumbLength; }
    void SetThumbLength(int length);
    bool SliderVisible() const { return FSliderVisible; }
    void SetSliderVisible(bool visible);

    TNotifyEvent OnChange;

    void Dispatch(TMessage& message) override;
    void Loaded() override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    virtual void Changed();

private:
    int FMin = 0, FMax = 10, FPosition = 0;
    int FFrequency = 1, FLineSize = 1, FPageSize = 2, FThumbLength = 20;
    TTrackBarOrientation FOrientation = trHorizontal;
    TTickMark FTickMarks = tmBottomRight;
    TTickStyle FTickStyle = tsAuto;
    bool FSliderVisible = true;
    std::vector<int> FTicks;
    int Clamp(int value) const;
};

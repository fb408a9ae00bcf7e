// TSizeConstraints: the smallest and largest width and height a control may
// take (0: no limit). The control's SetBounds keeps its size inside them,
// and a form's window is kept inside them while the user sizes it.
#pragma once

#include "Object.h"

class TSizeConstraints : public TPersistent {
    GANTREL_CLASS(TSizeConstraints)

    TSizeConstraints() = default;

    int MinWidth() const { return FMinWidth; }
    int MinHeight() const { return FMinHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MaxHeight() const { return FMaxHeight; }
    // A minimum above the maximum raises the maximum, a maximum below the
    // minimum lowers the minimum; negative values count as 0.
    void SetMinWidth(int value);
    void SetMinHeight(int value);
    void SetMaxWidth(int value);
    void SetMaxHeight(int value);
    bool Empty() const { return !FMinWidth && !FMinHeight && !FMaxWidth && !FMaxHeight; }

    // width and height moved inside the limits.
    void Constrain(int& width, int& height) const;

    // Fired after any limit changed: the control applies them to its size.
    TNotifyEvent OnChange;

    void Assign(TPersistent* source) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
    void Change();
};

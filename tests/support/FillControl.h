// A windowless control in one colour, for tests that need known pixels
// beside or beneath the control under test.
#pragma once

#include "Control.h"

// Fills itself with its Color.
class TFill : public TGraphicControl {
    GANTREL_CLASS(TFill)
    explicit TFill(TComponent* owner) : TGraphicControl(owner) {}

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(RECT{0, 0, Width(), Height()});
    }
};

// A fill owned by owner, placed on parent.
inline TFill* AddFill(TComponent* owner, TWinControl* parent, TColor color, int l, int t, int w, int h)
{
    TFill* f = new TFill(owner);
    f->SetParent(parent);
    f->SetColor(color);
    f->SetBounds(l, t, w, h);
    return f;
}

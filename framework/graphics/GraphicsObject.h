// The common base of fonts, brushes and pens: a persistent description of a
// GDI object, whose handle is made on demand and remade after a change.
#pragma once

#include "Color.h"
#include "Object.h"

class TGraphicsObject : public TPersistent {
    GANTREL_CLASS(TGraphicsObject)

    // Before the handle goes: a canvas takes the object out of its context
    // (a selected object cannot be deleted).
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void Changed()
    {
        if (OnChanging) OnChanging(this);
        ReleaseHandle();
        if (OnChange) OnChange(this);
    }
    virtual void ReleaseHandle() = 0;
};

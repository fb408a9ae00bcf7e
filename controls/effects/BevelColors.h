// The two-colour properties several effect controls share. Setting a
// colour repaints the control; both are read from the form stream.
#pragma once

#include "Color.h"

#include <string>

class TComponent;
class TReader;

// "InnerColor" (light, top and left by default) and "OuterColor" (dark).
template <class Base>
class TInnerOuterColors : public Base {
public:
    explicit TInnerOuterColors(TComponent* owner) : Base(owner) {}

    TColor InnerColor() const { return FInnerColor; }
    void SetInnerColor(TColor color)
    {
        FInnerColor = color;
        this->Invalidate();
    }
    TColor OuterColor() const { return FOuterColor; }
    void SetOuterColor(TColor color)
    {
        FOuterColor = color;
        this->Invalidate();
    }

    bool ReadProperty(const std::string& name, TReader& reader) override
    {
        if (name == "InnerColor") SetInnerColor(ReadColor(reader));
        else if (name == "OuterColor") SetOuterColor(ReadColor(reader));
        else return Base::ReadProperty(name, reader);
        return true;
    }

private:
    TColor FInnerColor = clBtnHighlight;
    TColor FOuterColor = clBtnShadow;
};

// A panel's bevel colours ("BevelInnerColor", "BevelOuterColor"); setting
// one repaints the panel.
template <class Base>
class TBevelColorPanel : public Base {
public:
    explicit TBevelColorPanel(TComponent* owner) : Base(owner) {}

    TColor BevelInnerColor() const { return FBevelInnerColor; }
    void SetBevelInnerColor(TColor color)
    {
        FBevelInnerColor = color;
        this->Invalidate();
    }
    TColor BevelOuterColor() const { return FBevelOuterColor; }
    void SetBevelOuterColor(TColor color)
    {
        FBevelOuterColor = color;
        this->Invalidate();
    }

    bool ReadProperty(const std::string& name, TReader& reader) override
    {
        if (name == "BevelInnerColor") SetBevelInnerColor(ReadColor(reader));
        else if (name == "BevelOuterColor") SetBevelOuterColor(ReadColor(reader));
        else return Base::ReadProperty(name, reader);
        return true;
    }

private:
    TColor FBevelInnerColor = clBtnHighlight;
    TColor FBevelOuterColor = clBtnShadow;
};

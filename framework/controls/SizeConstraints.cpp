#include "SizeConstraints.h"

#include "Reader.h"

#include <algorithm>

void TSizeConstraints::SetMinWidth(int value)
{
    value = std::max(0, value);
    if (value == FMinWidth) return;
    FMinWidth = value;
    if (FMaxWidth > 0 && FMaxWidth < value) FMaxWidth = value;
    Change();
}

void TSizeConstraints::SetMinHeight(int value)
{
    value = std::max(0, value);
    if (value == FMinHeight) return;
    FMinHeight = value;
    if (FMaxHeight > 0 && FMaxHeight < value) FMaxHeight = value;
    Change();
}

void TSizeConstraints::SetMaxWidth(int value)
{
    value = std::max(0, value);
    if (value == FMaxWidth) return;
    FMaxWidth = value;
    if (value > 0 && FMinWidth > value) FMinWidth = value;
    Change();
}

void TSizeConstraints::SetMaxHeight(int value)
{
    value = std::max(0, value);
    if (value == FMaxHeight) return;
    FMaxHeight = value;
    if (value > 0 && FMinHeight > value) FMinHeight = value;
    Change();
}

void TSizeConstraints::Constrain(int& width, int& height) const
{
    if (FMaxWidth > 0) width = std::min(width, FMaxWidth);
    if (FMaxHeight > 0) height = std::min(height, FMaxHeight);
    width = std::max(width, FMinWidth);
    height = std::max(height, FMinHeight);
}

void TSizeConstraints::Change()
{
    if (OnChange) OnChange(this);
}

void TSizeConstraints::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TSizeConstraints*>(source)) {
        FMinWidth = other->FMinWidth;
        FMinHeight = other->FMinHeight;
        FMaxWidth = other->FMaxWidth;
        FMaxHeight = other->FMaxHeight;
        Change();
        return;
    }
    TPersistent::Assign(source);
}

bool TSizeConstraints::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "MinWidth") SetMinWidth(reader.ReadInteger());
    else if (name == "MinHeight") SetMinHeight(reader.ReadInteger());
    else if (name == "MaxWidth") SetMaxWidth(reader.ReadInteger());
    else if (name == "MaxHeight") SetMaxHeight(reader.ReadInteger());
    else return TPersistent::ReadProperty(name, reader);
    return true;
}

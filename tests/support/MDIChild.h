// MDI children for tests, made in code: a form resource names its form, and
// two of a name cannot share an owner.
#pragma once

#include "Form.h"

#include <string>

// The child of parent at (left, top), width x height, not shown yet (a test
// may put something on it first).
inline TForm* NewMDIChild(TForm* parent, const std::string& caption, int left, int top, int width, int height)
{
    auto* child = new TForm(parent, 0);
    child->FormStyle = fsMDIChild;
    child->SetBounds(left, top, width, height);
    child->SetCaption(caption);
    child->AfterConstruction();
    return child;
}

#include "Canvas.h"

#include "Graphic.h"

TCanvas::TCanvas() : FFont(new TFont), FBrush(new TBrush), FPen(new TPen)
{
    FFont->OnChanging = MakeEvent<&TCanvas::FontChanging>(this);
    FBrush->OnChanging = MakeEvent<&TCanvas::BrushChanging>(this);
    FPen->OnChanging = MakeEvent<&TCanvas::PenChanging>(this);
    // The font's colour is no part of its handle: it changes without OnChanging.
    FFont->OnChange = MakeEvent<&TCanvas::FontChanging>(this);
}

TCanvas::~TCanvas()
{
    SetHandle(nullptr);
    delete FFont;
    delete FBrush;
    delete FPen;
}

// Each puts back what the context had before, so that the object's old
// handle is free to go, and asks for the new one at the next drawing.
void TCanvas::FontChanging(TObject*)
{
    if (FHandle && FOldFont) SelectObject(FHandle, FOldFont);
    FOldFont = nullptr;
    FState &= ~csFontValid;
}

void TCanvas::BrushChanging(TObject*)
{
    if (FHandle && FOldBrush) SelectObject(FHandle, FOldBrush);
    FOldBrush = nullptr;
    FState &= ~csBrushValid;
}

void TCanvas::PenChanging(TObject*)
{
    if (FHandle && FOldPen) SelectObject(FHandle, FOldPen);
    FOldPen = nullptr;
    FState &= ~csPenValid;
}

void TCanvas::DeselectHandles()
{
    if (FHandle) {
        if (FOldFont) SelectObject(FHandle, FOldFont);
        if (FOldBrush) SelectObject(FHandle, FOldBrush);
        if (FOldPen) SelectObject(FHandle, FOldPen);
    }
    FOldFont = FOldBrush = FOldPen = nullptr;
    FState &= ~(csFontValid | csBrushValid | csPenValid);
}

void TCanvas::SetHandle(HDC dc)
{
    if (dc == FHandle) return;
    DeselectHandles();
    FHandle = dc;
    FState = dc ? unsigned(csHandleValid) : 0u;
}

HDC TCanvas::Handle()
{
    RequiredState(csHandleValid);
    return FHandle;
}

void TCanvas::RequiredState(unsigned state)
{
    if (!FHandle) CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
    if ((state & csFontValid) && !(FState & csFontValid)) {
        HGDIOBJ old = SelectObject(FHandle, FFont->Handle());
        if (!FOldFont) FOldFont = old;
        SetTextColor(FHandle, ColorToRGB(FFont->Color()));
        FState |= csFontValid;
    }
    if ((state & csBrushValid) && !(FState & csBrushValid)) {
        HGDIOBJ old = SelectObject(FHandle, FBrush->Handle());
        if (!FOldBrush) FOldBrush = old;
        SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
        SetBkMode(FHandle, FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT);
        FState |= csBrushValid;
    }
    if ((state & csPenValid) && !(FState & csPenValid)) {
        HGDIOBJ old = SelectObject(FHandle, FPen->Handle());
        if (!FOldPen) FOldPen = old;
        FState |= csPenValid;
    }
}

void TCanvas::FillRect(const RECT& rect)
{
    RequiredState(csHandleValid | csBrushValid);
    if (FBrush->Style() != bsClear) ::FillRect(FHandle, &rect, FBrush->Handle());
}

void TCanvas::FrameRect(const RECT& rect)
{
    RequiredState(csHandleValid | csBrushValid);
    ::FrameRect(FHandle, &rect, FBrush->Handle());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    RequiredState(csHandleValid | csBrushValid | csPenValid);
    ::Rectangle(FHandle, left, top, right, bottom);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    RequiredState(csHandleValid | csBrushValid | csPenValid);
    ::Ellipse(FHandle, left, top, right, bottom);
}

void TCanvas::MoveTo(int x, int y)
{
    RequiredState(csHandleValid);
    MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y)
{
    RequiredState(csHandleValid | csPenValid);
    ::LineTo(FHandle, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    ::TextOutA(FHandle, x, y, text.data(), int(text.size()));
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text)
{
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    ExtTextOutA(FHandle, x, y, ETO_CLIPPED | (FBrush->Style() == bsSolid ? ETO_OPAQUE : 0), &rect, text.data(),
                UINT(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text)
{
    RequiredState(csHandleValid | csFontValid);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(FHandle, text.data(), int(text.size()), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (!graphic || graphic->Empty()) return;
    RECT r = {x, y, x + graphic->Width(), y + graphic->Height()};
    graphic->Draw(this, r);
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic* graphic)
{
    if (graphic && !graphic->Empty()) graphic->Draw(this, rect);
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& s)
{
    RequiredState(csHandleValid);
    HDC src = source->Handle();
    StretchBlt(FHandle, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src, s.left, s.top,
               s.right - s.left, s.bottom - s.top, SRCCOPY);
}

COLORREF TCanvas::Pixel(int x, int y)
{
    RequiredState(csHandleValid);
    return GetPixel(FHandle, x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    RequiredState(csHandleValid);
    ::SetPixel(FHandle, x, y, ColorToRGB(color));
}

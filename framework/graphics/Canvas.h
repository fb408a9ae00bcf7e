// TCanvas: drawing on a device context with the canvas's own font, brush
// and pen, which are selected into the context as they are needed. A
// canvas can be attached to any context (SetHandle), or make its own on
// demand (bitmaps, controls).
#pragma once

#include "Brush.h"
#include "Font.h"

#include <string>

class TGraphic;

enum TCanvasState : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };

class TCanvas : public TPersistent {
    GANTREL_CLASS(TCanvas)

    TCanvas();
    ~TCanvas() override;

    HDC Handle();
    // Attaches to a context the caller owns (null detaches).
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() const { return FFont; }
    TBrush* Brush() const { return FBrush; }
    TPen* Pen() const { return FPen; }

    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const RECT& rect, int x, int y, const std::string& text);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const RECT& rect, TGraphic* graphic);
    void CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect);
    COLORREF Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    TNotifyEvent OnChange;

protected:
    // Classes that make their own context override these.
    virtual void CreateHandle() {}
    void RequiredState(unsigned state);
    void DeselectHandles();

private:
    HDC FHandle = nullptr;
    unsigned FState = 0;
    TFont* FFont;
    TBrush* FBrush;
    TPen* FPen;
    HGDIOBJ FOldFont = nullptr, FOldBrush = nullptr, FOldPen = nullptr;
    void FontChanging(TObject*);
    void BrushChanging(TObject*);
    void PenChanging(TObject*);
};

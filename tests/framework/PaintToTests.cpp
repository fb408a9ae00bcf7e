// Painting a control somewhere else: PaintTo erases only controls that do
// not cover every pixel themselves, and a parent's windowless children can
// be painted on their own, as a see-through windowed child needs them.
#include "Application.h"
#include "FillControl.h"
#include "Graphic.h"

#include <gtest/gtest.h>

namespace {

// Counts its erases and paints; fills itself in blue.
class TEraseWatch : public TCustomControl {
    GANTREL_CLASS(TEraseWatch)
    explicit TEraseWatch(TComponent* owner) : TCustomControl(owner) {}
    int Erases = 0;
    int Paints = 0;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_ERASEBKGND) ++Erases;
        TCustomControl::Dispatch(m);
    }

protected:
    void Paint() override
    {
        ++Paints;
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(RECT{0, 0, Width(), Height()});
    }
};

}  // namespace

TEST(PaintTo, AnOpaqueControlIsPaintedWithoutAnErase)
{
    TForm* form = new TForm(nullptr, 0);
    form->SetBounds(0, 0, 200, 150);
    TEraseWatch* watch = new TEraseWatch(form);
    watch->SetParent(form);
    watch->SetBounds(10, 10, 40, 30);
    TBitmap out;
    out.SetSize(40, 30);

    watch->HandleNeeded();
    int erases = watch->Erases, paints = watch->Paints;
    watch->PaintTo(out.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(erases + 1, watch->Erases);
    EXPECT_EQ(paints + 1, watch->Paints);

    watch->ControlStyle |= csOpaque;
    watch->PaintTo(out.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(erases + 1, watch->Erases);
    EXPECT_EQ(paints + 2, watch->Paints);
    EXPECT_EQ(RGB(0, 0, 255), out.Canvas()->Pixel(39, 29));
    form->Free();
}

TEST(PaintTo, AParentsWindowlessChildrenArePaintedAlone)
{
    TForm* form = new TForm(nullptr, 0);
    form->SetBounds(0, 0, 200, 150);
    form->SetColor(clRed);
    AddFill(form, form, clLime, 5, 6, 10, 10);
    TEraseWatch* watch = new TEraseWatch(form);
    watch->SetParent(form);
    watch->SetBounds(0, 0, 50, 50);
    form->HandleNeeded();

    TBitmap out;
    out.SetSize(30, 30);
    out.Canvas()->Brush()->SetColor(clWhite);
    out.Canvas()->FillRect(RECT{0, 0, 30, 30});
    form->PaintGraphicChildrenTo(out.Canvas()->Handle());
    EXPECT_EQ(RGB(0, 255, 0), out.Canvas()->Pixel(5, 6));
    EXPECT_EQ(RGB(0, 255, 0), out.Canvas()->Pixel(14, 15));
    // Neither the face nor the windowed child.
    EXPECT_EQ(RGB(255, 255, 255), out.Canvas()->Pixel(4, 6));
    EXPECT_EQ(RGB(255, 255, 255), out.Canvas()->Pixel(15, 15));
    EXPECT_EQ(0, watch->Paints);
    form->Free();
}

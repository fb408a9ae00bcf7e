// Every control of the skin library's foundation on one form read from the
// test program's resources, shown on the screen and kept as a picture
// (build/artifacts/skin-controls.bmp) for anyone to look at; the picture is
// checked for each control's own drawing.
#include "Application.h"
#include "Panels.h"
#include "Reader.h"
#include "SavedPicture.h"
#include "ScrollBars.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"
#include "SysUtils.h"

using namespace SkinTest;

namespace {

class TSkinShowcaseForm : public TForm {
    GANTREL_CLASS(TSkinShowcaseForm)
    explicit TSkinShowcaseForm(TComponent* owner) : TForm(owner, 0) {}
    TEpPanel* Back = nullptr;
    TEpPanel* Styled = nullptr;
    TKsCustomPanel* Plain = nullptr;
    TEpPanel* Rolled = nullptr;
    TKsCustomToolBar* Tool = nullptr;
    TMpCustomControl* Media = nullptr;
    TMpCustomScrollBar* HBar = nullptr;
    TMpCustomScrollBar* VBar = nullptr;
    TKsCustomControl* Glass = nullptr;
    TKsCustomStatusBar* Status = nullptr;
    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TSkinShowcaseForm, Back), GANTREL_FIELD(TSkinShowcaseForm, Styled),
             GANTREL_FIELD(TSkinShowcaseForm, Plain), GANTREL_FIELD(TSkinShowcaseForm, Rolled),
             GANTREL_FIELD(TSkinShowcaseForm, Tool), GANTREL_FIELD(TSkinShowcaseForm, Media),
             GANTREL_FIELD(TSkinShowcaseForm, HBar), GANTREL_FIELD(TSkinShowcaseForm, VBar),
             GANTREL_FIELD(TSkinShowcaseForm, Glass), GANTREL_FIELD(TSkinShowcaseForm, Status)},
            {},
        };
        return &table;
    }
};

}  // namespace

TEST(SkinControlsShowcase, EveryControlPaintsOnTheGradientAndIsKeptAsAPicture)
{
    RegisterSkinClasses();
    auto* form = NewForm<TSkinShowcaseForm>(nullptr);
    ReadFormResource(form, TSkinShowcaseForm::Table());
    ASSERT_NE(nullptr, form->Back);
    ASSERT_NE(nullptr, form->Status);
    form->Media->SetScrollBars(ssBoth);
    form->SetLeft(10);
    form->SetTop(10);
    form->Show();
    Pump(200);

    TSavedPicture shot;
    POINT client{};
    ASSERT_TRUE(KeepWindowPicture(form->Handle(), ExeDirectory(), "skin-controls.bmp", shot, client));
    ASSERT_GE(shot.Width(), client.x + form->ClientWidth());
    ASSERT_GE(shot.Height(), client.y + form->ClientHeight());
    // (x, y) of a control, as the picture shows it.
    auto at = [&](TControl* c, int x, int y) { return PicturePixel(shot, client, form, c, x, y); };
    GdiFlush();

    // The background: a horizontal gradient, its first column the begin colour.
    EXPECT_EQ(0x103060u, at(form->Back, 0, 170));
    EXPECT_NE(at(form->Back, 0, 170), at(form->Back, form->Back->Width() - 1, 170));
    // The styled panel: its border and caption border in navy, its glyph white.
    EXPECT_EQ(0x000080u, at(form->Styled, 0, 60));
    EXPECT_EQ(0x000080u, at(form->Styled, 60, form->Styled->GetCaptionRect().top));
    const RECT glyph = form->Styled->GetButtonRect();
    int white = 0;
    for (int y = glyph.top; y < glyph.bottom; ++y)
        for (int x = glyph.left; x < glyph.right; ++x)
            if (at(form->Styled, x, y) == 0xFFFFFFu) ++white;
    EXPECT_GT(white, 0);
    // The plain panel: its colour inside, the caption bar's face.
    EXPECT_EQ(Rgb(KColor(clWindow, 255)), at(form->Plain, 80, 80));
    EXPECT_EQ(Rgb(KColor(clBtnFace, 255)), at(form->Plain, 30, 4));
    // Rolled up to its caption bar; the gradient below it.
    EXPECT_EQ(22, form->Rolled->Height());
    EXPECT_EQ(Rgb(form->Back->Buffer()->GetPixel(400, 80)), at(form->Back, 400, 80));
    // The bars.
    EXPECT_EQ(Rgb(KColor(clBtnFace, 255)), at(form->Tool, 100, 14));
    EXPECT_EQ(Rgb(KColor(clBtnFace, 255)), at(form->Status, 100, 9));
    // The media control with its two bars and the square where they meet.
    ASSERT_NE(nullptr, form->Media->HorzScrollBar());
    const int s = GetSystemMetrics(SM_CYVTHUMB);
    EXPECT_EQ(Rgb(KColor(clWindow, 255)), at(form->Media, 199 - s / 2, 109 - s / 2));
    EXPECT_EQ(Rgb(KColor(clWindow, 255)), at(form->Media, 40, 40));
    const RECT mediaButton = form->Media->HorzScrollBar()->GetLeftTopBtnRect();
    EXPECT_NE(Rgb(KColor(clWindow, 255)),
              at(form->Media, mediaButton.left + 2, form->Media->HorzScrollBar()->Top() + mediaButton.top + 2));
    // The stand-alone bars' sliders.
    for (TMpCustomScrollBar* bar : {form->HBar, form->VBar}) {
        const RECT slider = bar->GetSliderRect();
        EXPECT_EQ(Rgb(KColor(cl3DLight, 255)), at(bar, slider.left, slider.top + 3)) << bar->Name();
        EXPECT_EQ(Rgb(KColor(clBtnFace, 255)), at(bar, (slider.left + slider.right) / 2, (slider.top + slider.bottom) / 2))
            << bar->Name();
    }
    // The blended control: white at 96 over the gradient.
    const TKColor under = form->Back->Buffer()->GetPixel(form->Glass->Left() + 100, form->Glass->Top() + 35);
    EXPECT_TRUE(NearBlend(at(form->Glass, 100, 35), 0xFFFFFFFFu, under, 96))
        << std::hex << at(form->Glass, 100, 35) << " over " << under;
    form->Free();
}

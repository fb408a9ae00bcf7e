// The check boxes, radio buttons and track bars as the dialogs place them,
// read from the test program's resources, shown on the screen and kept as a
// picture (build/artifacts/skin-checks.bmp) for anyone to look at; the
// picture is checked for each control's own drawing.
#include "Application.h"
#include "CheckBoxes.h"
#include "Panels.h"
#include "Reader.h"
#include "SavedPicture.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"
#include "SysUtils.h"
#include "TrackBarExpect.h"
#include "TrackBars.h"

using namespace SkinTest;

namespace {

class TSkinCheckShowcaseForm : public TForm {
    GANTREL_CLASS(TSkinCheckShowcaseForm)
    explicit TSkinCheckShowcaseForm(TComponent* owner) : TForm(owner, 0) {}
    TEpPanel* Back = nullptr;
    TEpCheckBox* CheckBox1 = nullptr;
    TKsCustomCheckBox* Grayed = nullptr;
    TEpRadioButton* EpRadioButton1 = nullptr;
    TEpRadioButton* EpRadioButton2 = nullptr;
    TEpRadioButton* EpRadioButton3 = nullptr;
    TKsCustomRadioButton* PlainRadio = nullptr;
    TKsCustomTrackBar* PlainVertical = nullptr;
    TEpTrackBar* EpTrackBar1 = nullptr;
    TEpTrackBar* EpTrackBar2 = nullptr;
    TEpTrackBar* EpTrackBar3 = nullptr;
    TEpTrackBar* EpTrackBar4 = nullptr;
    TEpTrackBar* TableBar = nullptr;
    TKsCustomTrackBar* PlainBar = nullptr;
    static const TFormTable* Table()
    {
        using F = TSkinCheckShowcaseForm;
        static const TFormTable table = {
            {GANTREL_FIELD(F, Back), GANTREL_FIELD(F, CheckBox1), GANTREL_FIELD(F, Grayed),
             GANTREL_FIELD(F, EpRadioButton1), GANTREL_FIELD(F, EpRadioButton2), GANTREL_FIELD(F, EpRadioButton3),
             GANTREL_FIELD(F, PlainRadio), GANTREL_FIELD(F, PlainVertical), GANTREL_FIELD(F, EpTrackBar1),
             GANTREL_FIELD(F, EpTrackBar2), GANTREL_FIELD(F, EpTrackBar3), GANTREL_FIELD(F, EpTrackBar4),
             GANTREL_FIELD(F, TableBar), GANTREL_FIELD(F, PlainBar)},
            {},
        };
        return &table;
    }
};

}  // namespace

TEST(SkinCheckShowcase, TheDialogsControlsPaintOnTheGradientAndAreKeptAsAPicture)
{
    RegisterSkinClasses();
    auto* form = NewForm<TSkinCheckShowcaseForm>(nullptr);
    ReadFormResource(form, TSkinCheckShowcaseForm::Table());
    ASSERT_NE(nullptr, form->PlainBar);
    form->SetLeft(10);
    form->SetTop(10);
    form->Show();
    Pump(200);

    TSavedPicture shot;
    POINT client{};
    ASSERT_TRUE(KeepWindowPicture(form->Handle(), ExeDirectory(), "skin-checks.bmp", shot, client));
    auto at = [&](TControl* c, int x, int y) { return PicturePixel(shot, client, form, c, x, y); };
    const TKColor window = Rgb(KColor(clWindow, 255)), navy = 0x000080u;

    // The transfer dialog's box: 12 wide from y = 2, framed in black, the
    // cross's first line from (3, 5).
    EXPECT_EQ(0u, at(form->CheckBox1, 0, 2));
    EXPECT_EQ(window, at(form->CheckBox1, 1, 3));
    EXPECT_EQ(0u, at(form->CheckBox1, 3, 5));
    EXPECT_EQ(0u, at(form->CheckBox1, 8, 10));
    EXPECT_EQ(window, at(form->CheckBox1, 5, 5));
    // The position dialog: only the second button marked, in navy.
    EXPECT_EQ(navy, at(form->EpRadioButton2, 7, 9));
    EXPECT_NE(navy, at(form->EpRadioButton1, 7, 9));
    EXPECT_NE(navy, at(form->EpRadioButton3, 7, 9));
    EXPECT_FALSE(form->EpRadioButton1->GetChecked());
    EXPECT_TRUE(form->PlainRadio->GetChecked());
    // Beside a transparent box the gradient shows.
    EXPECT_EQ(Rgb(form->Back->Buffer()->GetPixel(16 + 190, 72 + 1)), at(form->EpRadioButton1, 190, 1));

    // The trim dialog's bars: the thumb's navy frame from 12 across, at the
    // row each position gives.
    struct Trim {
        TEpTrackBar* Bar;
        int Position, Max;
    };
    for (const Trim& t : {Trim{form->EpTrackBar1, 0, 5}, Trim{form->EpTrackBar2, -3, 5}, Trim{form->EpTrackBar3, 4, 5},
                          Trim{form->EpTrackBar4, 2, 2}}) {
        ASSERT_EQ(t.Position, t.Bar->Position()) << t.Bar->Name();
        const int c = Coord(t.Position, -5, t.Max, 112);
        EXPECT_EQ(navy, at(t.Bar, 20, c - 4)) << t.Bar->Name();
        EXPECT_EQ(navy, at(t.Bar, 12, c)) << t.Bar->Name();
        EXPECT_EQ(0xFFFFFFu, at(t.Bar, 20, c - 5)) << t.Bar->Name();
        EXPECT_EQ(0xFFFFFFu, at(t.Bar, 11, c)) << t.Bar->Name();
        EXPECT_EQ(0x808080u, at(t.Bar, 0, 50)) << t.Bar->Name();
    }
    // The table dialog's bar: the middle of three positions, no ticks.
    const int c = Coord(1, 0, 2, 250);
    EXPECT_EQ(navy, at(form->TableBar, c - 4, 7));
    EXPECT_EQ(Rgb(KColor(clSilver, 255)), at(form->TableBar, c, 15));

    // The plain bar: the interval below the position highlighted.
    EXPECT_EQ(Rgb(KColor(clHighlight, 255)), at(form->PlainBar, 20, 15));
    EXPECT_EQ(Rgb(KColor(clBtnHighlight, 255)), at(form->PlainBar, Coord(6, 0, 10, 250) + 20, 15));
    form->Free();
}

// The skinned panel: its caption bar, button and client area against the
// worked examples; rolled up and down by clicks on its button (mouse
// messages posted to its window); a press dragged off the button; the
// panel rolled in a form resource; the caption drawn opaque over the
// platform's text; the styled panel's face, caption and glyph; the bars.
#include "Panel.h"
#include "Panels.h"
#include "Reader.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"

using namespace SkinTest;

namespace {

class SkinPanelTest : public SkinFormTest {
protected:
    TKsCustomPanel* NewPanel()
    {
        auto* p = new TKsCustomPanel(Form);
        p->SetParent(Host);
        p->SetLeft(20);
        p->SetTop(30);
        p->OnButtonClick = MakeEvent<&Counter::Hit>(&Clicks);
        return p;
    }
    void Click(TKsCustomPanel* p, int x, int y)
    {
        Mouse(p, WM_MOUSEMOVE, x, y);
        Mouse(p, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        Mouse(p, WM_LBUTTONUP, x, y);
    }
    void ClickButton(TKsCustomPanel* p)
    {
        const RECT b = p->GetButtonRect();
        Click(p, (b.left + b.right) / 2, (b.top + b.bottom) / 2);
    }
    Counter Clicks;
};

}  // namespace

TEST_F(SkinPanelTest, TheDefaultsGiveTheWorkedGeometry)
{
    TKsCustomPanel* p = NewPanel();
    EXPECT_EQ(100, p->Width());
    EXPECT_EQ(90, p->Height());
    EXPECT_EQ(20, p->CaptionHeight());
    EXPECT_EQ(3, p->BorderWidth());
    EXPECT_EQ(1, p->BevelWidth());
    // The client area 24 from the top, 4 from the sides and the bottom.
    EXPECT_RECT((RECT{4, 24, 96, 86}), p->ClientRect());
    EXPECT_RECT((RECT{1, 1, 99, 21}), p->GetCaptionRect());
    // A 16 x 16 button at the right end of the caption bar.
    EXPECT_RECT((RECT{81, 3, 97, 19}), p->GetButtonRect());
    // Children are aligned inside.
    auto* child = new TPanel(Form);
    child->SetParent(p);
    child->SetAlign(alClient);
    EXPECT_RECT((RECT{4, 24, 96, 86}), child->BoundsRect());
    p->SetShowCaption(false);
    EXPECT_RECT((RECT{4, 4, 96, 86}), child->BoundsRect());
    p->SetShowBevel(false);
    EXPECT_RECT((RECT{3, 3, 97, 87}), child->BoundsRect());
}

TEST_F(SkinPanelTest, ClicksOnTheButtonRollThePanelUpAndDown)
{
    TKsCustomPanel* p = NewPanel();
    Show();
    ClickButton(p);
    EXPECT_TRUE(p->Rolled());
    EXPECT_EQ(22, p->Height());  // the caption bar and the bevel twice
    EXPECT_EQ(90, p->UnrolledHeight());
    EXPECT_EQ(1, Clicks.Count);
    RECT r;
    GetWindowRect(p->Handle(), &r);
    EXPECT_EQ(22, r.bottom - r.top);
    ClickButton(p);
    EXPECT_FALSE(p->Rolled());
    EXPECT_EQ(90, p->Height());
    EXPECT_EQ(2, Clicks.Count);
    // A click beside the button is no button click.
    Click(p, 40, 10);
    EXPECT_FALSE(p->Rolled());
    EXPECT_EQ(2, Clicks.Count);
}

TEST_F(SkinPanelTest, ARolledPanelKeepsItsHeightWhenResized)
{
    TKsCustomPanel* p = NewPanel();
    Show();
    p->SetRolled(true);
    p->SetBounds(20, 30, 150, 300);
    EXPECT_EQ(150, p->Width());
    EXPECT_EQ(22, p->Height());
    p->SetRolled(false);
    EXPECT_EQ(150, p->Width());
    EXPECT_EQ(90, p->Height());
}

TEST_F(SkinPanelTest, WithoutAButtonOrACaptionNoClickIsRecognised)
{
    TKsCustomPanel* p = NewPanel();
    Show();
    p->SetShowButton(false);
    EXPECT_RECT((RECT{0, 0, 0, 0}), p->GetButtonRect());
    Click(p, 89, 11);
    EXPECT_FALSE(p->Rolled());
    p->SetShowButton(true);
    p->SetShowCaption(false);
    EXPECT_RECT((RECT{0, 0, 0, 0}), p->GetButtonRect());
    Click(p, 89, 11);
    EXPECT_FALSE(p->Rolled());
    EXPECT_EQ(0, Clicks.Count);
}

TEST_F(SkinPanelTest, APressDraggedOffTheButtonGivesNoClickAndIsDrawnUnpressed)
{
    TKsCustomPanel* p = NewPanel();
    Show();
    const RECT b = p->GetButtonRect();
    const int x = (b.left + b.right) / 2, y = (b.top + b.bottom) / 2;
    const TKColor shadow = KColor(clBtnShadow, 255), face = KColor(clBtnFace, 255);
    ASSERT_NE(shadow, face);
    Mouse(p, WM_MOUSEMOVE, x, y);
    Mouse(p, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    EXPECT_TRUE(p->ButtonDown());
    GdiFlush();
    EXPECT_EQ(shadow, p->Buffer()->GetPixel(b.left, b.top)) << "pressed: a sunken edge";
    // Off the panel altogether; the panel keeps the mouse while it is held.
    EXPECT_EQ(p->Handle(), GetCapture());
    Mouse(p, WM_MOUSEMOVE, 250, 200, MK_LBUTTON);
    EXPECT_FALSE(p->ButtonDown());
    EXPECT_FALSE(p->ButtonHot());
    Mouse(p, WM_LBUTTONUP, 250, 200);
    EXPECT_FALSE(p->Rolled());
    EXPECT_EQ(0, Clicks.Count);
    GdiFlush();
    EXPECT_EQ(face, p->Buffer()->GetPixel(b.left, b.top)) << "released: a flat outline";
    EXPECT_EQ(face, p->Buffer()->GetPixel(b.right - 1, b.bottom - 1));
    // Back over the button before the release: pressed again, and a click.
    Mouse(p, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Mouse(p, WM_MOUSEMOVE, 250, 200, MK_LBUTTON);
    Mouse(p, WM_MOUSEMOVE, x, y, MK_LBUTTON);
    EXPECT_TRUE(p->ButtonDown());
    Mouse(p, WM_LBUTTONUP, x, y);
    EXPECT_TRUE(p->Rolled());
    EXPECT_EQ(1, Clicks.Count);
    // A press that began beside the button does not click it on release.
    p->SetRolled(false);
    Mouse(p, WM_LBUTTONDOWN, 40, 10, MK_LBUTTON);
    Mouse(p, WM_MOUSEMOVE, x, y, MK_LBUTTON);
    EXPECT_FALSE(p->ButtonDown());
    Mouse(p, WM_LBUTTONUP, x, y);
    EXPECT_FALSE(p->Rolled());
    EXPECT_EQ(1, Clicks.Count);
}

TEST_F(SkinPanelTest, TheHideButtonHidesThePanel)
{
    TKsCustomPanel* p = NewPanel();
    p->SetButtonKind(pbkHide);
    Show();
    ClickButton(p);
    EXPECT_FALSE(p->Visible());
    EXPECT_FALSE(p->Rolled());
    EXPECT_EQ(1, Clicks.Count);
}

TEST_F(SkinPanelTest, TheCaptionBarIsOpaqueOverThePlatformsText)
{
    TKsCustomPanel* p = NewPanel();
    p->SetCaption("Wg Caption text");
    p->SetColor(TColor(RGB(0, 0, 200)));
    Show();
    p->Invalidate();
    GdiFlush();
    TKsBitmap* buffer = p->Buffer();
    const RECT caption = p->GetCaptionRect();
    int drawnByText = 0;
    const TKColor face = KColor(clBtnFace, 255);
    for (int y = caption.top + 1; y < caption.bottom - 1; ++y)
        for (int x = caption.left + 1; x < p->GetButtonRect().left - 1; ++x) {
            const TKColor c = buffer->GetPixel(x, y);
            ASSERT_EQ(255, KAlpha(c)) << x << "," << y;
            if (c != face) ++drawnByText;
        }
    EXPECT_GT(drawnByText, 0) << "the caption's text should show";
    // The button, drawn by the platform too, is opaque.
    const RECT b = p->GetButtonRect();
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x) ASSERT_EQ(255, KAlpha(buffer->GetPixel(x, y))) << x << "," << y;
    // The face: the colour inside the bevel; the bevel's two edges.
    EXPECT_EQ(0xFF0000C8u, buffer->GetPixel(50, 60));
    EXPECT_EQ(KColor(clBtnShadow, 255), buffer->GetPixel(50, 0));
    EXPECT_EQ(KColor(clBtnHighlight, 255), buffer->GetPixel(50, 1));
    EXPECT_EQ(KColor(clBtnHighlight, 255), buffer->GetPixel(50, 89));
    EXPECT_EQ(KColor(clBtnShadow, 255), buffer->GetPixel(50, 88));
}

TEST_F(SkinPanelTest, ARolledPanelReadFromAFormUnrollsToItsHeight)
{
    RegisterSkinClasses();
    for (bool rolledFirst : {false, true}) {
        TForm* form = new TForm(nullptr, 0);
        const std::string height = "    Height = 150\n", rolled = "    Rolled = True\n";
        ReadFormText(form,
                     "object RollForm: TForm\n"
                     "  Width = 300\n"
                     "  Height = 300\n"
                     "  object Panel1: TKsCustomPanel\n"
                     "    Left = 10\n"
                     "    Top = 10\n"
                     "    Width = 120\n" +
                         (rolledFirst ? rolled + height : height + rolled) +
                         "  end\n"
                         "end\n",
                     nullptr);
        auto* p = form->FindComponent<TKsCustomPanel>("Panel1");
        ASSERT_NE(nullptr, p);
        EXPECT_TRUE(p->Rolled()) << rolledFirst;
        EXPECT_EQ(22, p->Height()) << rolledFirst;
        EXPECT_EQ(120, p->Width()) << rolledFirst;
        p->SetRolled(false);
        EXPECT_EQ(150, p->Height()) << rolledFirst;
        form->Free();
    }
}

TEST_F(SkinPanelTest, TheStyledPanelDrawsItsFaceCaptionAndGlyphWithItsStyles)
{
    auto* p = new TEpPanel(Form);
    p->SetParent(Host);
    p->SetBounds(20, 30, 100, 90);
    EXPECT_STREQ("2.1", TEpPanel::Version());
    p->Background()->SetStyle(ebsGradient);
    p->Background()->SetColor(TColor(RGB(255, 0, 0)));
    p->Background()->SetGradientOrPlasmaColor(TColor(RGB(0, 0, 255)));
    p->Border()->SetColor(TColor(RGB(0, 128, 0)));
    p->CaptionBackground()->SetColor(TColor(RGB(255, 255, 0)));
    p->CaptionBorder()->SetColor(TColor(RGB(0, 128, 128)));
    p->SetButtonGlyphColor(TColor(RGB(255, 0, 255)));
    Show();
    p->Invalidate();
    GdiFlush();
    TKsBitmap* buffer = p->Buffer();
    // The gradient from top to bottom over the whole panel, 90 bands of one
    // row: row 30 is a third of the way.
    EXPECT_EQ(0xFFAA0055u, buffer->GetPixel(50, 30));
    // The border's frame around the face, where the bevel is shown.
    EXPECT_EQ(0xFF008000u, buffer->GetPixel(0, 50));
    EXPECT_EQ(0xFF008000u, buffer->GetPixel(99, 50));
    EXPECT_EQ(0xFF008000u, buffer->GetPixel(50, 89));
    // The caption bar: its own background and border.
    const RECT caption = p->GetCaptionRect();
    EXPECT_EQ(0xFF008080u, buffer->GetPixel(40, caption.top));
    EXPECT_EQ(0xFFFFFF00u, buffer->GetPixel(40, caption.top + 5));
    // Only the glyph of the button shows, in the glyph colour, over the
    // caption's background.
    const RECT b = p->GetButtonRect();
    int glyph = 0;
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x) {
            const TKColor c = buffer->GetPixel(x, y);
            if (c == 0xFFFF00FFu) {
                ++glyph;
                EXPECT_TRUE(x >= b.left + 2 && x <= b.right - 3 && y >= b.top + 2 && y <= b.bottom - 3) << x << "," << y;
            } else {
                EXPECT_EQ(0xFFFFFF00u, c) << x << "," << y;
            }
        }
    EXPECT_GT(glyph, 0);
    // A style change at run time shows at the next repaint.
    p->Background()->SetStyle(ebsColor);
    p->Background()->SetColor(TColor(RGB(0, 0, 0)));
    GdiFlush();
    EXPECT_EQ(0xFFAA0055u, buffer->GetPixel(50, 30));
    p->Invalidate();
    GdiFlush();
    EXPECT_EQ(0xFF000000u, buffer->GetPixel(50, 30));
    // Without the bevel, no border.
    p->SetShowBevel(false);
    GdiFlush();
    EXPECT_EQ(0xFF000000u, buffer->GetPixel(0, 50));
}

TEST_F(SkinPanelTest, TheStyledPanelReadsItsStylesFromAForm)
{
    RegisterSkinClasses();
    TForm* form = new TForm(nullptr, 0);
    ReadFormText(form,
                 "object StyleForm: TForm\n"
                 "  object Panel1: TEpPanel\n"
                 "    Width = 120\n"
                 "    Height = 80\n"
                 "    Background.Style = ebsGradient\n"
                 "    Background.Color = clRed\n"
                 "    Border.Width = 2\n"
                 "    CaptionBackground.Color = clYellow\n"
                 "    ButtonGlyphColor = clBlue\n"
                 "    Color = clWindow\n"
                 "    Version = '9.9'\n"
                 "    ButtonKind = pbkHide\n"
                 "    ShowBevel = False\n"
                 "  end\n"
                 "end\n",
                 nullptr);
    auto* p = form->FindComponent<TEpPanel>("Panel1");
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(ebsGradient, p->Background()->Style());
    EXPECT_EQ(clRed, p->Background()->Color());
    EXPECT_EQ(2, p->Border()->Width());
    EXPECT_EQ(clYellow, p->CaptionBackground()->Color());
    EXPECT_EQ(clBlue, p->ButtonGlyphColor());
    EXPECT_EQ(pbkHide, p->ButtonKind());
    EXPECT_FALSE(p->ShowBevel());
    EXPECT_STREQ("2.1", p->Version());
    form->Free();
}

TEST_F(SkinPanelTest, TheBarsAreEmptyShellsOfTheirColour)
{
    auto* status = Place<TKsCustomStatusBar>(Host, 0, 200, 300, 19);
    auto* tool = Place<TKsCustomToolBar>(Host, 0, 0, 300, 29);
    for (TControl* fresh : {static_cast<TControl*>(new TKsCustomStatusBar(nullptr)),
                            static_cast<TControl*>(new TKsCustomToolBar(nullptr))}) {
        EXPECT_EQ(dynamic_cast<TKsCustomStatusBar*>(fresh) ? 19 : 29, fresh->Height());
        fresh->Free();
    }
    EXPECT_EQ(clBtnFace, status->Color());
    Show();
    status->Invalidate();
    tool->SetColor(TColor(RGB(10, 20, 30)));
    GdiFlush();
    EXPECT_EQ(KColor(clBtnFace, 255), status->Buffer()->GetPixel(150, 10));
    EXPECT_EQ(0xFF0A141Eu, tool->Buffer()->GetPixel(150, 10));
}

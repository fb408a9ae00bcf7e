// Every effect control of the library on one form, shown on the screen and
// kept as a picture (build/artifacts/effect-controls.bmp) for anyone to look
// at; the picture is checked for each control's own drawing.
#include "AniImage.h"
#include "Application.h"
#include "Bevels.h"
#include "CaptionLabels.h"
#include "EffectPanels.h"
#include "Morphing.h"
#include "SavedPicture.h"
#include "ShapedPanels.h"
#include "Sliders.h"
#include "Splitter.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const COLORREF FormColor = RGB(192, 192, 192);

void Fill(TBitmap& b, int w, int h, TColor color)
{
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(color);
    b.Canvas()->FillRect(RECT{0, 0, w, h});
}

// A checkerboard of two colours in squares of four pixels.
void Checks(TBitmap& b, int w, int h, TColor one, TColor other)
{
    Fill(b, w, h, one);
    b.Canvas()->Brush()->SetColor(other);
    for (int y = 0; y < h; y += 4)
        for (int x = (y / 4 % 2) * 4; x < w; x += 8) b.Canvas()->FillRect(RECT{x, y, x + 4, y + 4});
}

struct TShown {
    std::string Name;
    TControl* Control;
    // What the control's own drawing leaves at a point of it (control
    // coordinates), checked in the picture; none: only that it differs
    // from the form beneath in many places.
    std::vector<std::pair<POINT, COLORREF>> Known;
    // How many of its pixels must differ from the form; -1: a tenth.
    int Least = -1;
};

class EffectShowcaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr, 0);
        Form->SetCaption("Effect controls");
        Form->SetBounds(0, 0, 660, 480);
        Form->SetColor(TColor(FormColor));
    }
    void TearDown() override { Form->Free(); }
    template <class T>
    T* Place(const std::string& name, TWinControl* parent, int l, int t, int w, int h)
    {
        T* c = new T(Form);
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        Shown.push_back(TShown{name, c, {}});
        return c;
    }
    void Known(int x, int y, COLORREF color) { Shown.back().Known.push_back({POINT{x, y}, color}); }
    // Lines only: their pixels.
    void Least(int count) { Shown.back().Least = count; }
    // How many pixels of the control show the colour in the picture.
    int Count(const RECT& r, COLORREF color) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (Shot.Pixel(Client.x + x, Client.y + y) == color) ++n;
        return n;
    }
    TSavedPicture Shot;
    POINT Client{};
    TForm* Form;
    std::vector<TShown> Shown;
};

}  // namespace

TEST_F(EffectShowcaseTest, EveryEffectControlPaintsAndIsKeptAsAPicture)
{
    const COLORREF navy = RGB(0, 0, 160), yellow = RGB(255, 255, 0), white = RGB(255, 255, 255);
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 160, 0), aqua = RGB(0, 255, 255);

    // Row 1: the panels and texts of the shadow panel family.
    auto* shadow = Place<TepShadowPanel>("shadow panel", Form, 10, 10, 150, 90);
    shadow->SetBevelOuter(bvNone);
    shadow->SetColor(TColor(navy));
    Known(20, 20, navy);
    Known(148, 50, Halved(FormColor));  // right shadow strip over the form
    auto* text = Place<TepTextLabel>("text label", Form, 170, 10, 150, 90);
    text->SetColor(TColor(yellow));
    text->Lines()->Add("Text label:");
    text->Lines()->Add("word-wrapped lines in 3-D.");
    text->SetText3D(true);
    text->SetTextOuterColor(TColor(RGB(0, 0, 255)));
    Known(148, 88, yellow);
    auto* run = Place<TepRunPanel>("run panel", Form, 330, 10, 150, 90);
    run->SetColor(TColor(white));
    for (const char* line : {"Run panel", "lines rise", "like credits", "and wrap round"}) run->Lines()->Add(line);
    run->SetTextLayout(TepRunPanel::tlCenter);
    run->SetInterval(10);
    Known(2, 2, white);
    auto* runStr = Place<TepRunStr>("run string", Form, 490, 10, 150, 30);
    runStr->SetColor(TColor(aqua));
    runStr->SetCaption("Run string runs right to left");
    runStr->SetInterval(30);
    runStr->SetStep(2);

    // Row 2: the four caption labels.
    auto* label = Place<TepLabel>("label", Form, 10, 110, 150, 40);
    label->SetCaption("3-D Label");
    label->Font()->SetSize(16);
    label->SetInnerColor(TColor(RGB(255, 255, 255)));
    label->SetOuterColor(TColor(RGB(0, 0, 0)));
    label->SetGradEffect(true);
    label->SetGradColor(TColor(RGB(0, 0, 255)));
    auto* bitLabel = Place<TepBitLabel>("bit label", Form, 170, 110, 150, 40);
    TBitmap texture;
    Checks(texture, 16, 16, TColor(red), TColor(RGB(0, 0, 255)));
    bitLabel->SetWallpaper(&texture);
    bitLabel->SetCaption("BitLabel");
    bitLabel->Font()->SetSize(20);
    bitLabel->Font()->SetStyle(1u << fsBold);
    auto* shadowLabel = Place<TepShadowLabel>("shadow label", Form, 330, 110, 150, 40);
    shadowLabel->SetCaption("Shadow");
    shadowLabel->Font()->SetSize(18);
    shadowLabel->SetShadowOffset(3);
    auto* waveLabel = Place<TepWaveLabel>("wave label", Form, 490, 110, 150, 40);
    waveLabel->SetCaption("Wave label");
    waveLabel->Font()->SetSize(14);
    waveLabel->SetXDiv(10);
    waveLabel->SetYDiv(4);
    waveLabel->SetRatioVal(3);

    // Row 3: wallpaper and round panels.
    auto* paper = new TepBitmap(Form);
    TBitmap tile;
    Checks(tile, 8, 8, TColor(green), TColor(yellow));
    paper->Bitmap()->SetGraphic(&tile);
    auto* imagePanel = Place<TepImagePanel>("image panel", Form, 10, 160, 150, 90);
    imagePanel->SetWallpaper(paper);
    imagePanel->SetCaption("Image panel");
    auto* round = Place<TepRndPanel>("round panel", Form, 170, 160, 150, 90);
    round->SetColor(TColor(navy));
    round->SetBevelOuter(bvNone);
    Known(75, 45, navy);
    Known(1, 1, FormColor);  // outside the ellipse: the window is cut away
    auto* effectRound = Place<TepEffectRndPanel>("effect round panel", Form, 330, 160, 150, 90);
    effectRound->SetColor(TColor(red));
    effectRound->SetPanelKind(pkRndRect);
    effectRound->SetMiddleTransparent(true);
    effectRound->SetCaption("Effect round");
    auto* media = Place<TepMediaPanel>("media panel", Form, 490, 160, 150, 90);
    media->SetWallpaper(paper);
    media->SetInnerColor(TColor(red));
    media->SetOuterColor(TColor(RGB(0, 0, 255)));

    // Row 4: bevels, splitter, images.
    auto* bevel = Place<TepBevel>("bevel", Form, 10, 260, 70, 60);
    bevel->SetInnerColor(TColor(red));
    bevel->SetOuterColor(TColor(RGB(0, 0, 255)));
    Least((2 * (70 + 60) - 4) * 9 / 10);  // its outline
    Known(35, 0, RGB(0, 0, 255));  // lowered: the outer colour on top, the inner one below
    Known(35, 59, red);
    auto* frame = Place<TepBevel>("frame bevel", Form, 90, 260, 70, 60);
    frame->SetShape(bsFrame);
    frame->SetStyle(bsRaised);
    frame->SetInnerColor(TColor(yellow));
    frame->SetOuterColor(TColor(green));
    Least((2 * (70 + 60) - 4) * 9 / 5);  // two outlines
    Known(35, 0, yellow);  // raised: the inner colour's line, the outer one's one pixel further in
    Known(35, 1, green);
    Known(35, 58, yellow);
    Known(35, 59, green);
    auto* mediaBevel = Place<TepMediaBevel>("media bevel", Form, 170, 260, 70, 60);
    mediaBevel->SetBevelWidth(6);
    mediaBevel->SetInnerColor(TColor(red));
    mediaBevel->SetOuterColor(TColor(RGB(0, 0, 255)));
    auto* splitter = Place<TepSplitter>("splitter", Form, 250, 260, 12, 60);
    splitter->SetAlign(alNone);
    splitter->SetBounds(250, 260, 12, 60);
    splitter->SetColor(TColor(aqua));
    Known(splitter->Width() / 2, 30, aqua);
    auto* image = Place<TepImage>("image", Form, 272, 260, 70, 60);
    TBitmap picture;
    Checks(picture, 10, 10, TColor(RGB(255, 0, 255)), TColor(navy));
    image->SetGlyph(&picture);
    image->SetWallStyle(true);
    auto* ani = Place<TepAniImage>("animated image", Form, 352, 260, 40, 40);
    TBitmap strip;
    Fill(strip, 120, 40, TColor(RGB(255, 255, 255)));  // see-through around each frame
    for (int f = 0; f < 3; ++f) {
        strip.Canvas()->Brush()->SetColor(TColor(f == 0 ? red : f == 1 ? green : RGB(0, 0, 255)));
        strip.Canvas()->FillRect(RECT{f * 40 + 8, 8, f * 40 + 32, 32});
    }
    ani->SetGlyph(&strip);
    ani->SetNumGlyphs(3);
    ani->SetInterval(200);
    auto* mover = new TepMoveForm(Form);  // invisible outside the designer: nothing to see
    mover->SetParent(Form);
    mover->SetBounds(400, 260, 30, 30);

    // Row 5: slider, switch, tracker, morphing.
    auto* slider = Place<TepRegulator>("slider", Form, 10, 330, 30, 110);
    slider->SetBtnColor(TColor(red));
    slider->SetValue(70);
    auto* sw = Place<TepSwitch>("switch", Form, 60, 330, 30, 70);
    sw->SetOnBtnColor(TColor(green));
    sw->SetState(sOn);
    auto* tracker = Place<TepTracker>("tracker", Form, 110, 330, 40, 40);
    tracker->SetColor(TColor(yellow));
    Known(20, 20, yellow);
    auto* morph = Place<TepMorphing>("morphing", Form, 170, 330, 100, 80);
    TBitmap from, to;
    Fill(from, 100, 80, TColor(red));
    Fill(to, 100, 80, TColor(RGB(0, 0, 255)));
    morph->SetSource(&from);
    morph->SetDest(&to);
    morph->SetStep(4);

    Form->Show();
    run->SetActive(true);
    runStr->SetActive(true);
    ani->SetActive(true);
    morph->Morphing();
    // Let the timers run: the run panel's text climbs in, the fade ends.
    const DWORD end = GetTickCount() + 10000;
    while ((run->Offset() > 10 || morph->Progress() < 1.0) && GetTickCount() < end) {
        Application->ProcessMessages();
        Sleep(5);
    }
    ASSERT_LE(run->Offset(), 10);
    ASSERT_EQ(1.0, morph->Progress());
    Known(50, 40, RGB(0, 0, 255));
    Application->ProcessMessages();

    ASSERT_TRUE(KeepWindowPicture(Form->Handle(), ExeDirectory(), "effect-controls.bmp", Shot, Client));
    auto at = [&](int x, int y) { return Shot.Pixel(Client.x + x, Client.y + y); };
    ASSERT_GE(Shot.Width(), Client.x + Form->ClientWidth());
    ASSERT_GE(Shot.Height(), Client.y + Form->ClientHeight());
    EXPECT_EQ(FormColor, at(Form->ClientWidth() - 3, Form->ClientHeight() - 3));
    for (const TShown& s : Shown) {
        const RECT r = s.Control->BoundsRect();
        int differing = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (at(x, y) != FormColor) ++differing;
        const int area = (r.right - r.left) * (r.bottom - r.top);
        EXPECT_GE(differing, s.Least >= 0 ? s.Least : area / 10) << s.Name << " hardly drew: " << differing << " of " << area;
        for (const auto& [p, color] : s.Known)
            EXPECT_EQ(color, at(r.left + p.x, r.top + p.y)) << s.Name << " at " << p.x << "," << p.y;
    }
    // The wallpapers tiled: both colours of the tile, in like shares.
    for (TControl* c : std::initializer_list<TControl*>{imagePanel, media}) {
        const RECT r = c->BoundsRect();
        const int area = (r.right - r.left) * (r.bottom - r.top);
        EXPECT_GT(Count(r, green), area / 4) << (c == media ? "media panel" : "image panel");
        EXPECT_GT(Count(r, yellow), area / 4) << (c == media ? "media panel" : "image panel");
    }
    // The mover draws nothing at run time: the form shows through it.
    EXPECT_EQ(FormColor, at(415, 275));
}

// The shadow panel, the text label and the scrolling texts, by the pixels
// they paint: shadow strips exactly half of what lies beneath (siblings
// included), no shadow at width 0, the wallpaper forgotten when freed, a
// see-through label showing the sibling beneath and not the one above, and
// the run panel rising a pixel a paint, wrapping round, and leaving only its
// background when stopped; a run string freed while running says it stopped,
// also as a parent goes, but not as it goes with its form.
#include "Application.h"
#include "EffectPanels.h"
#include "EffectTestSupport.h"

using namespace EffectTest;

namespace {

class EffectPanelTest : public FormTest {
protected:
    void SetUp() override
    {
        NewForm(320, 240);
        Form->SetColor(TColor(RGB(192, 192, 192)));
    }
    TFill* Fill(TWinControl* parent, TColor color, int l, int t, int w, int h)
    {
        return AddFill(Form, parent, color, l, t, w, h);
    }
    // A navy shadow panel without an outer bevel on the form.
    TepShadowPanel* ShadowPanel(int l, int t, int w, int h)
    {
        TepShadowPanel* panel = new TepShadowPanel(Form);
        panel->SetParent(Form);
        panel->SetBevelOuter(bvNone);
        panel->SetColor(TColor(RGB(0, 0, 160)));
        panel->SetBounds(l, t, w, h);
        return panel;
    }
};

}  // namespace

TEST_F(EffectPanelTest, ShadowStripsHalveWhatLiesBeneathSiblingsIncluded)
{
    Fill(Form, TColor(RGB(255, 255, 255)), 100, 0, 20, 240);  // beneath the right shadow strip
    TepShadowPanel* panel = ShadowPanel(10, 10, 100, 60);  // the strip's columns 96..99 lie at form x 106..109
    Fill(Form, TColor(RGB(0, 255, 0)), 0, 60, 320, 20);  // above: not copied
    EXPECT_EQ(panel->ShadowWidth(), 4);
    EXPECT_EQ(panel->ShadowKind(), skRightBottom);
    TBitmap out;
    out.SetSize(100, 60);
    panel->PaintTo(out.Canvas()->Handle(), 0, 0);
    auto px = [&](int x, int y) { return out.Canvas()->Pixel(x, y); };
    EXPECT_EQ(px(0, 0), RGB(0, 0, 160));    // face
    EXPECT_EQ(px(95, 55), RGB(0, 0, 160));
    EXPECT_EQ(px(96, 4), RGB(127, 127, 127));  // right strip over the white sibling
    EXPECT_EQ(px(99, 59), RGB(127, 127, 127));
    EXPECT_EQ(px(96, 3), RGB(255, 255, 255));  // above the strip: the sibling, undarkened
    EXPECT_EQ(px(4, 56), RGB(96, 96, 96));      // bottom strip over the form
    EXPECT_EQ(px(89, 59), RGB(96, 96, 96));
    EXPECT_EQ(px(90, 59), RGB(127, 127, 127));  // over the sibling beneath
    EXPECT_EQ(px(3, 57), RGB(192, 192, 192));   // left of it: the form, undarkened
    // Children align inside the face only.
    RECT face = panel->FaceRect();
    EXPECT_EQ(face.right, 96);
    EXPECT_EQ(face.bottom, 56);
}

// A see-through child copies the panel beneath it: where it overlaps a
// shadow strip the copy is darkened as the panel shows it, and where it lies
// inside the face it shows the face (the panel then paints only its face).
TEST_F(EffectPanelTest, ASeeThroughChildShowsTheShadowStripItOverlapsAndTheFaceElsewhere)
{
    TepShadowPanel* panel = ShadowPanel(10, 10, 100, 60);  // face (0, 0, 96, 56)
    TepTextLabel* corner = new TepTextLabel(Form);
    corner->SetParent(panel);
    corner->SetTransparent(true);
    corner->SetBounds(80, 40, 20, 20);
    TepTextLabel* inside = new TepTextLabel(Form);
    inside->SetParent(panel);
    inside->SetTransparent(true);
    inside->SetBounds(20, 20, 20, 20);
    TBitmap out;
    PaintControl(corner, out);
    EXPECT_EQ(out.Canvas()->Pixel(5, 5), RGB(0, 0, 160));     // panel (85, 45): the face
    EXPECT_EQ(out.Canvas()->Pixel(17, 10), RGB(96, 96, 96));  // panel (97, 50): right strip over the form
    EXPECT_EQ(out.Canvas()->Pixel(10, 17), RGB(96, 96, 96));  // panel (90, 57): bottom strip
    PaintControl(inside, out);
    for (int y = 0; y < 20; y += 4)
        for (int x = 0; x < 20; x += 4) EXPECT_EQ(out.Canvas()->Pixel(x, y), RGB(0, 0, 160)) << x << "," << y;
}

TEST_F(EffectPanelTest, ShadowWidthZeroShowsNoShadowAndIsNeverNegative)
{
    TepShadowPanel* panel = ShadowPanel(10, 10, 50, 40);
    panel->SetShadowWidth(0);
    TBitmap out;
    out.SetSize(50, 40);
    panel->PaintTo(out.Canvas()->Handle(), 0, 0);
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 50; x += 7) EXPECT_EQ(out.Canvas()->Pixel(x, y), RGB(0, 0, 160)) << x << "," << y;
    EXPECT_EQ(out.Canvas()->Pixel(49, 39), RGB(0, 0, 160));
    panel->SetShadowWidth(-6);
    EXPECT_EQ(panel->ShadowWidth(), 0);
    panel->PaintTo(out.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(out.Canvas()->Pixel(49, 39), RGB(0, 0, 160));
}

TEST_F(EffectPanelTest, AFreedWallpaperIsForgottenAndThePanelFallsBackToItsColour)
{
    TepShadowPanel* panel = ShadowPanel(0, 0, 40, 30);
    TepBitmap* paper = new TepBitmap(Form);
    TBitmap tile;
    tile.SetSize(3, 3);
    tile.Canvas()->Brush()->SetColor(clYellow);
    tile.Canvas()->FillRect(RECT{0, 0, 3, 3});
    paper->Bitmap()->SetGraphic(&tile);
    panel->SetWallpaper(paper);
    TBitmap out;
    out.SetSize(40, 30);
    panel->PaintTo(out.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(out.Canvas()->Pixel(10, 10), RGB(255, 255, 0));
    EXPECT_EQ(out.Canvas()->Pixel(35, 25), RGB(255, 255, 0));
    paper->Free();
    EXPECT_EQ(panel->Wallpaper(), nullptr);
    panel->PaintTo(out.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(out.Canvas()->Pixel(10, 10), RGB(0, 0, 160));
}

TEST_F(EffectPanelTest, TransparentLabelShowsTheSiblingBeneathAndItsNewBackgroundWhenMoved)
{
    TepShadowPanel* panel = ShadowPanel(0, 0, 200, 100);
    Fill(panel, TColor(RGB(255, 0, 0)), 0, 0, 50, 100);  // beneath
    TepTextLabel* label = new TepTextLabel(Form);
    label->SetParent(panel);
    label->SetBounds(30, 10, 40, 20);
    label->SetTransparent(true);
    Fill(panel, TColor(RGB(0, 255, 0)), 60, 0, 50, 100);  // above
    EXPECT_EQ(label->Lines()->Count(), 0);
    TBitmap out;
    PaintControl(label, out);
    EXPECT_EQ(out.Canvas()->Pixel(5, 5), RGB(255, 0, 0));    // x 35: the sibling beneath
    EXPECT_EQ(out.Canvas()->Pixel(25, 5), RGB(0, 0, 160));   // x 55: the panel
    EXPECT_EQ(out.Canvas()->Pixel(35, 5), RGB(0, 0, 160));   // x 65: not the sibling above
    label->SetLeft(120);
    PaintControl(label, out);
    EXPECT_EQ(out.Canvas()->Pixel(5, 5), RGB(0, 0, 160));
    // Half see-through: the background blended with the label's colour.
    label->SetColor(clBlack);
    label->SetMiddleTransparent(true);
    label->SetLeft(30);
    PaintControl(label, out);
    EXPECT_EQ(out.Canvas()->Pixel(5, 5), RGB(127, 0, 0));
    // An opaque label shows its colour.
    label->SetTransparent(false);
    label->SetColor(clWhite);
    PaintControl(label, out);
    EXPECT_EQ(out.Canvas()->Pixel(5, 5), RGB(255, 255, 255));
    // Text lands inside the label in the font colour.
    label->Font()->SetColor(clBlack);
    label->Lines()->SetText("WWWW\nWWWW");
    PaintControl(label, out);
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) dark += out.Canvas()->Pixel(x, y) == RGB(0, 0, 0);
    EXPECT_GT(dark, 10);
}

TEST_F(EffectPanelTest, RunPanelRisesAPixelAPaintWrapsRoundAndStopsToItsBackground)
{
    TepRunPanel* run = new TepRunPanel(Form);
    run->SetParent(Form);
    run->SetBounds(0, 0, 120, 44);
    run->SetColor(clWhite);
    run->Font()->SetColor(clBlack);
    run->SetTextLayout(TepRunPanel::tlCenter);
    for (int i = 0; i < 11; ++i) run->Lines()->Add("Line WWW");
    int starts = 0, stops = 0;
    struct Counter : TObject {
        int* n;
        void Count(TObject*) { ++*n; }
    } start, stop;
    start.n = &starts;
    stop.n = &stops;
    run->OnStart = MakeEvent<&Counter::Count>(&start);
    run->OnStop = MakeEvent<&Counter::Count>(&stop);
    TBitmap out;
    PaintControl(run, out);  // inactive: nothing moves (the height at construction)
    EXPECT_EQ(run->Offset(), 25);
    run->SetActive(true);
    run->SetActive(true);  // no restart
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(run->Offset(), 44);
    PaintControl(run, out);
    EXPECT_EQ(run->Offset(), 43);
    PaintControl(run, out);
    EXPECT_EQ(run->Offset(), 42);
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas()->Font()->Assign(run->Font());
    const int lh = probe.Canvas()->TextHeight("A");
    ASSERT_GT(lh, 0);
    // After the eleventh line has left the top the text starts again below the bottom.
    const int cycle = 44 + 1 + 11 * lh;
    for (int i = 2; i < cycle - 1; ++i) PaintControl(run, out);
    EXPECT_EQ(run->FirstLine(), 10);
    EXPECT_EQ(run->Offset(), -lh);
    PaintControl(run, out);
    EXPECT_EQ(run->FirstLine(), 0);
    EXPECT_EQ(run->Offset(), 44);
    for (int i = 0; i < 20; ++i) PaintControl(run, out);
    int ink = 0;
    for (int y = 0; y < 44; ++y)
        for (int x = 0; x < 120; ++x) ink += out.Canvas()->Pixel(x, y) != RGB(255, 255, 255);
    EXPECT_GT(ink, 0);  // the first line has entered from the bottom
    run->SetActive(false);
    EXPECT_EQ(stops, 1);
    PaintControl(run, out);
    for (int y = 0; y < 44; ++y)
        for (int x = 0; x < 120; ++x) ASSERT_EQ(out.Canvas()->Pixel(x, y), RGB(255, 255, 255)) << x << "," << y;
    // Started again: from the first line at the bottom.
    run->SetActive(true);
    EXPECT_EQ(run->FirstLine(), 0);
    EXPECT_EQ(run->Offset(), 44);
}

TEST_F(EffectPanelTest, RunPanelTicksOnItsTimerAndADestroyedPanelNeverPaints)
{
    const unsigned strayBefore = TWinControl::StrayMessages();
    Form->Show();
    TepRunPanel* run = new TepRunPanel(Form);
    run->SetParent(Form);
    run->SetBounds(0, 0, 120, 44);
    run->Lines()->Add("tick");
    run->SetInterval(10);
    EXPECT_EQ(run->Interval(), 10u);
    run->SetActive(true);
    DWORD end = GetTickCount() + 3000;
    while (run->Offset() > 40 && GetTickCount() < end) {
        Application->ProcessMessages();
        Sleep(1);
    }
    EXPECT_LE(run->Offset(), 40);
    // Hidden: ticks repaint nothing.
    run->SetVisible(false);
    Application->ProcessMessages();
    int at = run->Offset();
    for (int i = 0; i < 10; ++i) {
        Application->ProcessMessages();
        Sleep(10);
    }
    EXPECT_EQ(run->Offset(), at);
    run->SetVisible(true);
    // Freed while running, then its form's window: no tick reaches either.
    run->Free();
    for (int i = 0; i < 5; ++i) {
        Application->ProcessMessages();
        Sleep(10);
    }
    TepRunPanel* second = new TepRunPanel(Form);
    second->SetParent(Form);
    second->Lines()->Add("x");
    second->SetInterval(5);
    second->SetActive(true);
    Sleep(30);
    Form->Free();
    Form = new TForm(nullptr, 0);
    for (int i = 0; i < 5; ++i) {
        Application->ProcessMessages();
        Sleep(10);
    }
    EXPECT_EQ(TWinControl::StrayMessages() - strayBefore, 0u);
}

TEST_F(EffectPanelTest, RunStrFreedWhileRunningFiresOnStopButNotWithItsForm)
{
    Counter stops;
    // A window that another component owns frees, as that one frees it, the
    // run string placed on it: its own form lives on, so it hears it stop.
    struct TFreeOnDestroy : TObject {
        TepRunStr* Run = nullptr;
        void Destroyed(TObject*) { Run->Free(); }
    } onDestroy;
    auto* keeper = new TComponent(nullptr);
    auto* window = new TForm(keeper, 0);
    window->OnDestroy = MakeEvent<&TFreeOnDestroy::Destroyed>(&onDestroy);
    onDestroy.Run = new TepRunStr(Form);
    TepRunStr* freed = new TepRunStr(Form);
    TepRunStr* kept = new TepRunStr(Form);
    for (TepRunStr* run : {freed, kept, onDestroy.Run}) {
        run->SetParent(run == onDestroy.Run ? window : Form);
        run->OnStop = MakeEvent<&Counter::Hit>(&stops);
        run->SetActive(true);
    }
    freed->Free();
    EXPECT_EQ(stops.Count, 1);
    keeper->Free();
    EXPECT_EQ(stops.Count, 2);
    Form->Free();
    Form = new TForm(nullptr, 0);
    EXPECT_EQ(stops.Count, 2);
}

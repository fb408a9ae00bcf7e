// The animated image: frames cut from a strip of square frames, played in
// order and round again, drawn with their bottom-left colour see-through;
// strips and frame counts that hold no whole frame.
#include "AniImage.h"
#include "Application.h"
#include "EffectTestSupport.h"
#include "Reader.h"

#include <vector>

using namespace EffectTest;

namespace {

class TAniProbe : public TepAniImage {
    GANTREL_CLASS(TAniProbe)
    explicit TAniProbe(TComponent* owner) : TepAniImage(owner) {}
    void Tick() { TimerExpired(this); }
};

const COLORREF SeeThrough = RGB(255, 0, 255);
const COLORREF FrameColours[] = {RGB(0, 0, 200), RGB(0, 200, 0), RGB(200, 200, 0), RGB(0, 200, 200), RGB(90, 90, 90)};

// frames side by side, each size x size in its own colour, its bottom-left pixel see-through.
void MakeStrip(TBitmap& strip, int frames, int size)
{
    strip.SetSize(frames * size, size);
    for (int i = 0; i < frames; ++i) {
        strip.Canvas()->Brush()->SetColor(TColor(FrameColours[i % 5]));
        strip.Canvas()->FillRect(RECT{i * size, 0, (i + 1) * size, size});
        strip.Canvas()->SetPixel(i * size, size - 1, TColor(SeeThrough));
    }
}

class AniImageTest : public PanelFormTest {
protected:
    void SetUp() override
    {
        PanelFormTest::SetUp();
        Image = new TAniProbe(Form);
        Image->SetParent(Panel);
        Image->SetLeft(10);
        Image->SetTop(10);
    }
    COLORREF Pixel(int x, int y)
    {
        TBitmap out;
        PaintControl(Image, out);
        return out.Canvas()->Pixel(x, y);
    }
    TAniProbe* Image;
};

struct Recorder : TObject {
    std::vector<std::string> Calls;
    void Started(TObject*) { Calls.push_back("start"); }
    void Stopped(TObject*) { Calls.push_back("stop"); }
};

}  // namespace

TEST_F(AniImageTest, ConstructorValues)
{
    EXPECT_EQ(25, Image->Width());
    EXPECT_EQ(25, Image->Height());
    EXPECT_TRUE(Image->Transparent());
    EXPECT_FALSE(Image->Active());
    EXPECT_EQ(1, Image->NumGlyphs());
    EXPECT_EQ(1, Image->GlyphNum());
    EXPECT_EQ(100u, Image->Interval());
    EXPECT_FALSE(Image->Stretch());
    EXPECT_EQ(PanelColour, Pixel(5, 5));  // no strip: only what lies beneath
}

TEST_F(AniImageTest, AStripOfFiveSquaresGivesFiveFramesAndResizesTheControl)
{
    TBitmap strip;
    MakeStrip(strip, 5, 32);
    Image->SetGlyphNum(0);
    Image->SetGlyph(&strip);
    EXPECT_EQ(5, Image->NumGlyphs());
    EXPECT_EQ(1, Image->GlyphNum());
    EXPECT_EQ(32, Image->Width());
    EXPECT_EQ(32, Image->Height());
    EXPECT_EQ(FrameColours[0], Pixel(5, 5));
    EXPECT_EQ(FrameColours[0], Pixel(31, 31));
    EXPECT_EQ(PanelColour, Pixel(0, 31));  // the see-through corner shows the panel
    Image->SetGlyphNum(5);
    EXPECT_EQ(FrameColours[4], Pixel(16, 16));
}

TEST_F(AniImageTest, FourFramesPlayInOrderAndRoundAgain)
{
    TBitmap strip;
    MakeStrip(strip, 4, 20);
    Image->SetGlyph(&strip);
    ASSERT_EQ(4, Image->NumGlyphs());
    std::vector<int> shown{Image->GlyphNum()};
    std::vector<COLORREF> colours{Pixel(10, 10)};
    for (int i = 0; i < 5; ++i) {
        Image->Tick();
        shown.push_back(Image->GlyphNum());
        colours.push_back(Pixel(10, 10));
    }
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 1, 2}), shown);
    EXPECT_EQ((std::vector<COLORREF>{FrameColours[0], FrameColours[1], FrameColours[2], FrameColours[3],
                                     FrameColours[0], FrameColours[1]}),
              colours);
    // A hidden image does not move on.
    Image->SetVisible(false);
    Image->Tick();
    EXPECT_EQ(2, Image->GlyphNum());
}

TEST_F(AniImageTest, FrameZeroShowsNothingAndNumbersOutsideTheStripAreRefused)
{
    TBitmap strip;
    MakeStrip(strip, 3, 16);
    Image->SetGlyph(&strip);
    Image->SetGlyphNum(0);
    EXPECT_EQ(0, Image->GlyphNum());
    EXPECT_EQ(PanelColour, Pixel(8, 8));
    Image->SetGlyphNum(4);
    EXPECT_EQ(0, Image->GlyphNum());
    Image->SetGlyphNum(-1);
    EXPECT_EQ(0, Image->GlyphNum());
    Image->SetGlyphNum(3);
    EXPECT_EQ(FrameColours[2], Pixel(8, 8));
    Image->Tick();
    EXPECT_EQ(1, Image->GlyphNum());
}

TEST_F(AniImageTest, StretchedFrameCoversTheControl)
{
    TBitmap strip;
    MakeStrip(strip, 2, 16);
    Image->SetGlyph(&strip);
    Image->SetBounds(10, 10, 64, 48);
    EXPECT_EQ(PanelColour, Pixel(40, 40));
    Image->SetStretch(true);
    EXPECT_EQ(FrameColours[0], Pixel(40, 40));
    EXPECT_EQ(FrameColours[0], Pixel(63, 20));
}

TEST_F(AniImageTest, StripsAndCountsThatHoldNoWholeFrameDivideByNothing)
{
    // Narrower than high: one frame, the whole strip.
    TBitmap narrow;
    MakeStrip(narrow, 1, 32);
    narrow.SetWidth(20);
    Image->SetGlyph(&narrow);
    EXPECT_EQ(1, Image->NumGlyphs());
    EXPECT_EQ(20, Image->Width());
    EXPECT_EQ(32, Image->Height());
    EXPECT_EQ(FrameColours[0], Pixel(10, 10));
    Image->Tick();
    EXPECT_EQ(1, Image->GlyphNum());
    // A count of none or fewer is one frame.
    Image->SetNumGlyphs(0);
    EXPECT_EQ(1, Image->NumGlyphs());
    EXPECT_EQ(FrameColours[0], Pixel(10, 10));
    Image->SetNumGlyphs(-3);
    EXPECT_EQ(1, Image->NumGlyphs());
    Image->Tick();
    EXPECT_EQ(1, Image->GlyphNum());
    // More frames than the strip has columns: frames of no width show nothing.
    Image->SetNumGlyphs(40);
    EXPECT_EQ(PanelColour, Pixel(10, 10));
    // No strip at all.
    Image->SetGlyph(nullptr);
    EXPECT_EQ(1, Image->NumGlyphs());
    EXPECT_EQ(PanelColour, Pixel(10, 10));
}

TEST_F(AniImageTest, RunningOnItsTimerAndStoppingLeavesTheFrameShown)
{
    TBitmap strip;
    MakeStrip(strip, 4, 20);
    Image->SetGlyph(&strip);
    Recorder recorder;
    Image->OnStart = MakeEvent<&Recorder::Started>(&recorder);
    Image->OnStop = MakeEvent<&Recorder::Stopped>(&recorder);
    Image->SetInterval(10);
    Image->SetActive(true);
    EXPECT_TRUE(Image->Active());
    DWORD until = GetTickCount() + 5000;
    while (Image->GlyphNum() == 1 && GetTickCount() < until) {
        Application->ProcessMessages();
        Sleep(2);
    }
    EXPECT_NE(1, Image->GlyphNum());
    Image->SetActive(false);
    EXPECT_FALSE(Image->Active());
    int frame = Image->GlyphNum();
    DWORD after = GetTickCount() + 100;
    while (GetTickCount() < after) {
        Application->ProcessMessages();
        Sleep(5);
    }
    EXPECT_EQ(frame, Image->GlyphNum());
    EXPECT_EQ(FrameColours[frame - 1], Pixel(10, 10));
    EXPECT_EQ((std::vector<std::string>{"start", "stop"}), recorder.Calls);
    Image->SetActive(false);  // unchanged: no second stop
    EXPECT_EQ(2u, recorder.Calls.size());
}

TEST_F(AniImageTest, ReadFromFormText)
{
    RegisterAniImageClasses();
    TForm* form = new TForm(nullptr, 0);
    ReadFormText(form,
                 "object F: TForm\n  object A: TepAniImage\n    Stretch = True\n    NumGlyphs = 3\n"
                 "    GlyphNum = 2\n    Interval = 40\n    Transparent = False\n  end\nend\n",
                 nullptr);
    auto* a = form->FindComponent<TepAniImage>("A");
    ASSERT_NE(nullptr, a);
    EXPECT_TRUE(a->Stretch());
    EXPECT_EQ(3, a->NumGlyphs());
    EXPECT_EQ(2, a->GlyphNum());
    EXPECT_EQ(40u, a->Interval());
    EXPECT_FALSE(a->Transparent());
    form->Free();
}

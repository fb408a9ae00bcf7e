// Show animations and their counter: a time of 0 or 1 ms, every frame of
// each slide, the reveal's first frame for every kind, the key colour left
// out, and a fade watched from a second thread on a window and on a memory
// bitmap while it runs.
#include "Application.h"
#include "SkinBitmap.h"
#include "SkinEffects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace {

// A counter on a system without the high-resolution counter.
class TNoFrequency : public TKsCounter {
public:
    TNoFrequency() { FFrequency = 0; }
};

// Back in black, image in white, both w x h; the screen stands in as a
// larger bitmap in blue.
template <class Bitmap>
struct TStage {
    Bitmap Back, Image, Screen;
    TStage(int w, int h)
    {
        Back.SetSize(w, h);
        Back.Clear(0xFF000000u);
        Image.SetSize(w, h);
        Image.Clear(0xFFFFFFFFu);
        Screen.SetSize(w + 10, h + 10);
        Screen.Clear(0xFF0000FFu);
    }
    RECT Area() const { return RECT{0, 0, Back.Width(), Back.Height()}; }
    TKColor At(int x, int y)
    {
        GdiFlush();
        return Screen.GetPixel(x, y) & 0x00FFFFFFu;
    }
    // Whether the screen shows, at (left, top), white inside r and black
    // elsewhere over the w x h area.
    bool Shows(const RECT& r, int left, int top)
    {
        GdiFlush();
        for (int y = 0; y < Back.Height(); ++y)
            for (int x = 0; x < Back.Width(); ++x) {
                bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                if (At(left + x, top + y) != (inside ? 0xFFFFFFu : 0u)) return false;
            }
        return true;
    }
};

// Grey levels of one pixel seen while a fade runs: a change is noted once.
struct TSampler {
    std::atomic<bool> Ready{false};
    std::atomic<bool> Stop{false};
    std::vector<int> Levels;
    template <class Read>
    void Run(Read read)
    {
        Ready = true;
        while (!Stop) {
            COLORREF c = read();
            int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (r == g && g == b && (Levels.empty() || Levels.back() != r)) Levels.push_back(r);
        }
    }
};

struct TPlayback {
    TKsBitmap Canvas;
    std::vector<std::vector<TKColor>> Frames;
};

int CALLBACK PlayOneCopy(HDC, HANDLETABLE* table, const ENHMETARECORD* record, int count, LPARAM data)
{
    auto* p = reinterpret_cast<TPlayback*>(data);
    if (record->iType != EMR_BITBLT) return 1;
    PlayEnhMetaFileRecord(p->Canvas.DC(), table, record, UINT(count));
    GdiFlush();
    p->Frames.emplace_back(p->Canvas.Bits(), p->Canvas.Bits() + p->Canvas.Width() * p->Canvas.Height());
    return 1;
}

// Every frame an animation copies to a device context, in order: recorded
// in a metafile and played back one copy at a time onto a w x h bitmap.
std::vector<std::vector<TKColor>> RecordedFrames(int w, int h, const std::function<void(HDC)>& run)
{
    HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    run(recorder);
    HENHMETAFILE file = CloseEnhMetaFile(recorder);
    TPlayback playback;
    playback.Canvas.SetSize(w, h);
    EnumEnhMetaFile(nullptr, file, PlayOneCopy, &playback, nullptr);
    DeleteEnhMetaFile(file);
    return playback.Frames;
}

void ExpectRisingFade(const std::vector<int>& levels)
{
    ASSERT_GE(levels.size(), 3u) << "too few frames seen";
    EXPECT_GE(levels.front(), 15);
    EXPECT_LT(levels.front(), 80);
    EXPECT_LT(levels.back(), 255);
    for (size_t i = 1; i < levels.size(); ++i) EXPECT_GT(levels[i], levels[i - 1]) << "at sample " << i;
}

}  // namespace

TEST(SkinEffects, TheCounterMeasuresSeconds)
{
    TKsCounter counter;
    EXPECT_FALSE(counter.Running());
    counter.Start();
    EXPECT_TRUE(counter.Running());
    Sleep(30);
    float seconds = counter.Stop();
    EXPECT_FALSE(counter.Running());
    EXPECT_GE(seconds, 0.025f);
    EXPECT_LT(seconds, 1.0f);
    EXPECT_FLOAT_EQ(seconds, float(counter.Elapsed()));

    TKsMediaCounter* running = nullptr;
    MpEffects::StartCount(running);
    ASSERT_NE(nullptr, running);
    EXPECT_TRUE(running->Running());
    EXPECT_GE(MpEffects::StopCount(running), 0.0f);
    EXPECT_EQ(nullptr, running);
    EXPECT_EQ(0.0f, MpEffects::StopCount(running));

    TNoFrequency none;
    none.Start();
    EXPECT_EQ(0.0f, none.Stop());
}

TEST(SkinEffects, NoTimeDrawsNothing)
{
    TStage<TKsBitmap> stage(12, 6);
    stage.Image.SetPixel(0, 0, 0xFFFF00FFu);
    KsEffects::FadeAnimation(stage.Screen.DC(), &stage.Back, stage.Area(), &stage.Image, RECT{2, 3, 0, 0}, 0);
    KsEffects::SlideAnimation(stage.Screen.DC(), &stage.Back, stage.Area(), &stage.Image, RECT{2, 3, 0, 0}, 0, 0);
    KsEffects::RectAnimation(stage.Screen.DC(), &stage.Back, stage.Area(), &stage.Image, RECT{2, 3, 0, 0}, 5, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 22; ++x) ASSERT_EQ(0x0000FFu, stage.At(x, y)) << x << "," << y;
    // Time 0 leaves the image as it was.
    KsEffects::FadeAnimation(stage.Screen.DC(), &stage.Back, stage.Area(), &stage.Image, RECT{2, 3, 0, 0}, 0);
    EXPECT_EQ(0xFFFF00FFu, stage.Image.GetPixel(0, 0));
}

TEST(SkinEffects, OneMillisecondIsOneFrameAtTheStart)
{
    // The fade's first frame: white at alpha 15 over black.
    TStage<TKsBitmap> fade(12, 6);
    KsEffects::FadeAnimation(fade.Screen.DC(), &fade.Back, fade.Area(), &fade.Image, RECT{2, 3, 99, 99}, 1);
    EXPECT_EQ(0x0F0F0Fu, fade.At(2, 3));
    EXPECT_EQ(0x0F0F0Fu, fade.At(13, 8));
    EXPECT_EQ(0x0000FFu, fade.At(1, 3));
    EXPECT_EQ(0x0000FFu, fade.At(14, 8));

    // The slide's first frame has the image a whole width or height away.
    for (int kind = 0; kind < 8; ++kind) {
        TStage<TKsMediaBitmap> slide(12, 6);
        MpEffects::SlideAnimation(slide.Screen.DC(), &slide.Back, slide.Area(), &slide.Image, RECT{1, 1, 0, 0}, 1, kind);
        EXPECT_TRUE(slide.Shows(RECT{0, 0, 0, 0}, 1, 1)) << "kind " << kind;
    }
}

TEST(SkinEffects, EachSlideFrameHasTheImageOnItsWayInFromItsSide)
{
    // A T x T picture over T ms: at e ms the image lies W - Round(W e / T)
    // = T - e pixels off towards the side it enters from (x: 1 right, -1
    // left; y: 1 bottom, -1 top), white over black.
    constexpr int T = 20;
    const int sideX[8] = {1, 0, -1, 0, -1, 1, -1, 1}, sideY[8] = {0, 1, 0, -1, -1, -1, 1, 1};
    auto shows = [&](const std::vector<TKColor>& frame, int x, int y) {
        for (int i = 0; i < T * T; ++i) {
            const int px = i % T, py = i / T;
            const bool white = px >= x && px < x + T && py >= y && py < y + T;
            if ((frame[size_t(i)] & 0xFFFFFFu) != (white ? 0xFFFFFFu : 0u)) return false;
        }
        return true;
    };
    for (int kind = 0; kind < 8; ++kind) {
        // Each try's frames come a millisecond or so apart: one is seen
        // about half-way unless a frame stalls for a quarter of the time.
        bool halfWay = false;
        for (int attempt = 0; attempt < 5 && !halfWay; ++attempt) {
            TStage<TKsBitmap> stage(T, T);
            const auto frames = RecordedFrames(T, T, [&](HDC dc) {
                KsEffects::SlideAnimation(dc, &stage.Back, stage.Area(), &stage.Image, RECT{0, 0, 0, 0}, T, kind);
            });
            ASSERT_FALSE(frames.empty());
            int last = -1;
            for (const auto& frame : frames) {
                int e = 0;
                while (e < T && !shows(frame, sideX[kind] * (T - e), sideY[kind] * (T - e))) ++e;
                ASSERT_LT(e, T) << "kind " << kind << ": a frame that no time of the slide shows";
                EXPECT_GT(e, last) << "kind " << kind;
                last = e;
                halfWay = halfWay || (4 * e >= T && 4 * e <= 3 * T);
            }
        }
        EXPECT_TRUE(halfWay) << "kind " << kind;
    }
}

TEST(SkinEffects, TheRevealsFirstFrameShowsFiveSixthsOfIt)
{
    // 12 x 6 at t = 5/6: 10 of 12 and 5 of 6 pixels; from the centre
    // (6, 3), 5 and round(2.5) = 2 either way.
    const RECT expected[] = {{1, 1, 11, 5}, {0, 0, 10, 5}, {2, 0, 12, 5}, {0, 1, 10, 6}, {2, 1, 12, 6}};
    for (int kind = 0; kind < 5; ++kind) {
        TStage<TKsBitmap> stage(12, 6);
        KsEffects::RectAnimation(stage.Screen.DC(), &stage.Back, stage.Area(), &stage.Image, RECT{3, 2, 0, 0}, 6, kind);
        EXPECT_TRUE(stage.Shows(expected[kind], 3, 2)) << "kind " << kind;
        EXPECT_EQ(0x0000FFu, stage.At(2, 2));
    }
    TStage<TKsMediaBitmap> media(12, 6);
    MpEffects::RectAnimation(media.Screen.DC(), &media.Back, media.Area(), &media.Image, RECT{0, 0, 0, 0}, 6, 1);
    EXPECT_TRUE(media.Shows(RECT{0, 0, 10, 5}, 0, 0));
}

TEST(SkinEffects, KeyColouredPixelsLetTheBackThrough)
{
    TStage<TKsBitmap> ks(12, 6);
    ks.Image.SetPixel(4, 2, 0xFFFF00FFu);
    ks.Image.SetPixel(5, 2, 0xFF7F007Fu);
    KsEffects::RectAnimation(ks.Screen.DC(), &ks.Back, ks.Area(), &ks.Image, RECT{0, 0, 0, 0}, 6, 1);
    EXPECT_EQ(0x000000u, ks.At(4, 2));
    EXPECT_EQ(0x7F007Fu, ks.At(5, 2));
    EXPECT_EQ(0xFFFFFFu, ks.At(3, 2));
    EXPECT_EQ(0x00FF00FFu, ks.Image.GetPixel(4, 2));  // the image is changed

    TStage<TKsMediaBitmap> mp(12, 6);
    mp.Image.SetPixel(4, 2, 0xFFFF00FFu);
    mp.Image.SetPixel(5, 2, 0xFF7F007Fu);
    MpEffects::RectAnimation(mp.Screen.DC(), &mp.Back, mp.Area(), &mp.Image, RECT{0, 0, 0, 0}, 6, 1);
    EXPECT_EQ(0xFF00FFu, mp.At(4, 2));
    EXPECT_EQ(0x000000u, mp.At(5, 2));
}

TEST(SkinEffects, TheFadeTakesTheBackFromItsRectangle)
{
    TKsBitmap back, image, screen;
    back.SetSize(20, 20);
    back.Clear(0xFF000000u);
    back.SetPixel(5, 5, 0xFFFFFFFFu);
    image.SetSize(10, 10);
    image.Clear(0xFF000000u);
    screen.SetSize(10, 10);
    KsEffects::FadeAnimation(screen.DC(), &back, RECT{5, 5, 15, 15}, &image, RECT{0, 0, 0, 0}, 1);
    GdiFlush();
    // Black at alpha 15 over white: (255 * 240 + 128) >> 8 = 239.
    EXPECT_EQ(0xEFEFEFu, screen.GetPixel(0, 0) & 0x00FFFFFFu);
    EXPECT_EQ(0x000000u, screen.GetPixel(1, 1) & 0x00FFFFFFu);
}

TEST(SkinEffects, AQuickPictureStillTakesTheTimeAsked)
{
    // Frames of a small picture take far below a millisecond each.
    TStage<TKsBitmap> stage(60, 40);
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    KsEffects::FadeAnimation(stage.Screen.DC(), &stage.Back, stage.Area(), &stage.Image, RECT{0, 0, 0, 0}, 200);
    QueryPerformanceCounter(&end);
    double ms = double(end.QuadPart - begin.QuadPart) * 1000.0 / double(frequency.QuadPart);
    EXPECT_GE(ms, 195.0);
    EXPECT_LT(ms, 2000.0);
}

TEST(SkinEffects, AFadeSampledFromASecondThreadRisesOnAMemoryBitmap)
{
    TStage<TKsBitmap> stage(400, 300);
    const volatile TKColor* pixel = stage.Screen.Bits() + 150 * stage.Screen.Width() + 200;
    TSampler sampler;
    std::thread thread([&] { sampler.Run([&] { return KColorToColor(*pixel); }); });
    while (!sampler.Ready) Sleep(1);
    KsEffects::FadeAnimation(stage.Screen.DC(), &stage.Back, stage.Area(), &stage.Image, RECT{0, 0, 0, 0}, 300);
    sampler.Stop = true;
    thread.join();
    ExpectRisingFade(sampler.Levels);
}

TEST(SkinEffects, AFadeSampledFromASecondThreadRisesOnAWindow)
{
    TForm* form = new TForm(nullptr, 0);
    form->SetBorderStyle(bsNone);
    form->SetBounds(40, 40, 300, 200);
    form->SetColor(clBlue);
    form->Show();
    form->Update();
    Application->ProcessMessages();
    HWND window = form->Handle();
    TStage<TKsMediaBitmap> stage(300, 200);
    TSampler sampler;
    std::thread thread([&] {
        HDC dc = GetDC(window);
        sampler.Run([&] { return GetPixel(dc, 150, 100); });
        ReleaseDC(window, dc);
    });
    while (!sampler.Ready) Sleep(1);
    HDC dc = GetDC(window);
    MpEffects::FadeAnimation(dc, &stage.Back, stage.Area(), &stage.Image, RECT{0, 0, 0, 0}, 300);
    ReleaseDC(window, dc);
    sampler.Stop = true;
    thread.join();
    ExpectRisingFade(sampler.Levels);
    form->Free();
}

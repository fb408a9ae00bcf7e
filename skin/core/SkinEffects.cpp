#include "SkinEffects.h"

#include "SkinBitmap.h"
#include "SkinUtils.h"

#include <algorithm>
#include <cmath>

// --- Counter -----------------------------------------------------------------

template <class F>
TSkinCounter<F>::TSkinCounter()
{
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency)) FFrequency = frequency.QuadPart;
}

template <class F>
void TSkinCounter<F>::Start()
{
    FRunning = true;
    FElapsed = 0;
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    FStartCount = count.QuadPart;
}

template <class F>
float TSkinCounter<F>::Stop()
{
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    FStopCount = count.QuadPart;
    FRunning = false;
    // Without the counter there is nothing to measure (and nothing to
    // divide by); the animations still end, a millisecond a frame.
    FElapsed = FFrequency > 0 ? double(FStopCount - FStartCount) / double(FFrequency) : 0;
    return float(FElapsed);
}

// --- Effects -------------------------------------------------------------------

namespace {

int Round(double v) { return int(std::nearbyint(v)); }

// src onto dest with its alpha honoured or not, whatever its own switch says.
template <class Bitmap>
void DrawAs(Bitmap* src, Bitmap* dest, int x, int y, const RECT& srcRect, bool alpha)
{
    const bool was = src->UseAlpha();
    src->SetUseAlpha(alpha);
    try {
        src->Draw(dest, x, y, srcRect);
    } catch (...) {
        src->SetUseAlpha(was);
        throw;
    }
    src->SetUseAlpha(was);
}

template <class Bitmap>
RECT Whole(Bitmap* bitmap)
{
    return RECT{0, 0, bitmap->Width(), bitmap->Height()};
}

}  // namespace

template <class F>
void TSkinEffects<F>::StartCount(Counter*& counter)
{
    counter = new Counter;
    counter->Start();
}

template <class F>
float TSkinEffects<F>::StopCount(Counter*& counter)
{
    if (!counter) return 0;
    float seconds = counter->Stop();
    delete counter;
    counter = nullptr;
    return seconds;
}

template <class F>
template <class Frame>
void TSkinEffects<F>::Run(HDC dc, const RECT& backRect, Bitmap* image, const RECT& destRect, int time, int start,
                          Frame frame)
{
    const int width = backRect.right - backRect.left, height = backRect.bottom - backRect.top;
    // No frame to draw, no change to the image.
    if (time <= start || width <= 0 || height <= 0 || !image) return;
    image->PerformTransparent(TSkinUtils<F>::KeyColor());
    Bitmap picture;
    picture.SetSize(width, height);
    // Each frame adds its own time plus a millisecond, which ends the loop
    // even when frames take no measurable time. Frames quicker than that
    // wait for the clock to catch up, or a long animation of a small
    // picture would be over within a few milliseconds: it lasts about the
    // time asked for on any machine.
    Counter whole;
    whole.Start();
    int elapsed = start;
    auto advance = [&](Counter*& counter) {
        elapsed += Round(StopCount(counter) * 1000.0) + 1;
        while (whole.Measures() && elapsed < time) {
            double ahead = elapsed - (start + whole.Stop() * 1000.0);
            if (ahead <= 0) break;
            // Sleep while a whole millisecond is left; spin only the rest.
            if (ahead >= 2)
                Sleep(1);
            else
                SwitchToThread();
        }
    };
    while (elapsed < time) {
        Counter* counter = nullptr;
        StartCount(counter);
        try {
            frame(&picture, double(elapsed) / time);
            picture.Draw(dc, destRect.left, destRect.top);
        } catch (...) {
            advance(counter);
            throw;
        }
        advance(counter);
    }
}

template <class F>
void TSkinEffects<F>::FadeAnimation(HDC dc, Bitmap* back, const RECT& backRect, Bitmap* image,
                                    const RECT& destRect, int time)
{
    if (!back) return;
    Run(dc, backRect, image, destRect, time, 0, [&](Bitmap* frame, double t) {
        DrawAs(image, frame, 0, 0, Whole(image), true);
        frame->SetAlpha(uint8_t(Round(t * 240) + 15));
        frame->MergeDraw(back, 0, 0, backRect);
    });
}

template <class F>
void TSkinEffects<F>::SlideAnimation(HDC dc, Bitmap* back, const RECT& backRect, Bitmap* image,
                                     const RECT& destRect, int time, int kind)
{
    if (!back) return;
    Run(dc, backRect, image, destRect, time, 0, [&](Bitmap* frame, double t) {
        const int w = frame->Width(), h = frame->Height();
        const int fromRight = w - Round(w * t), fromLeft = Round(w * t) - w;
        const int fromBottom = h - Round(h * t), fromTop = Round(h * t) - h;
        int x = 0, y = 0;
        switch (kind) {
        case 0: x = fromRight; break;
        case 1: y = fromBottom; break;
        case 2: x = fromLeft; break;
        case 3: y = fromTop; break;
        case 4: x = fromLeft; y = fromTop; break;
        case 5: x = fromRight; y = fromTop; break;
        case 6: x = fromLeft; y = fromBottom; break;
        case 7: x = fromRight; y = fromBottom; break;
        }
        DrawAs(back, frame, 0, 0, Whole(back), false);
        DrawAs(image, frame, x, y, Whole(image), true);
    });
}

template <class F>
void TSkinEffects<F>::RectAnimation(HDC dc, Bitmap* back, const RECT& backRect, Bitmap* image,
                                    const RECT& destRect, int time, int kind)
{
    if (!back) return;
    Run(dc, backRect, image, destRect, time, 5, [&](Bitmap* frame, double t) {
        const int w = frame->Width(), h = frame->Height(), cx = w / 2, cy = h / 2;
        const int tw = Round(t * w), th = Round(t * h), tx = Round(t * cx), ty = Round(t * cy);
        RECT r{0, 0, w, h};
        switch (kind) {
        case 0: r = RECT{cx - tx, cy - ty, cx + tx, cy + ty}; break;
        case 1: r = RECT{0, 0, tw, th}; break;
        case 2: r = RECT{w - tw, 0, w, th}; break;
        case 3: r = RECT{0, h - th, tw, h}; break;
        case 4: r = RECT{w - tw, h - th, w, h}; break;
        }
        DrawAs(back, frame, 0, 0, Whole(back), false);
        if (r.right > r.left && r.bottom > r.top) DrawAs(image, frame, r.left, r.top, r, true);
    });
}

template class TSkinCounter<TKsFamily>;
template class TSkinCounter<TMpFamily>;
template struct TSkinEffects<TKsFamily>;
template struct TSkinEffects<TMpFamily>;

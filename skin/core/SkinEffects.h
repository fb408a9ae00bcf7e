// Show animations: a finished window picture brought onto the screen over
// a copy of what was there, fading in, sliding in or growing from the
// centre or a corner, driven by elapsed time (the high-resolution counter)
// rather than by a frame count. They run synchronously and pump nothing.
#pragma once

#include "SkinFamily.h"
#include "Object.h"

#include <windows.h>

#include <cstdint>

// How a skinned form appears when shown.
enum TKsAnimation { kaNone, kaRandom, kaFade, kaSlide, kaRect };

// Seconds between Start and Stop, from the high-resolution counter.
template <class F>
class TSkinCounter : public TObject {
    GANTREL_CLASS(TSkinCounter)

    TSkinCounter();
    void Start();
    // The seconds since Start; 0 on a system without the counter.
    float Stop();
    bool Running() const { return FRunning; }
    // False on a system without the counter: it measures nothing there.
    bool Measures() const { return FFrequency > 0; }
    double Elapsed() const { return FElapsed; }

protected:
    int64_t FFrequency = 0;
    int64_t FStartCount = 0;
    int64_t FStopCount = 0;
    bool FRunning = false;
    double FElapsed = 0;
};

using TKsCounter = TSkinCounter<TKsFamily>;
using TKsMediaCounter = TSkinCounter<TMpFamily>;

template <class F>
struct TSkinEffects {
    using Bitmap = typename F::Bitmap;
    using Counter = TSkinCounter<F>;

    // A new running counter in counter.
    static void StartCount(Counter*& counter);
    // Its seconds; the counter is freed and counter cleared. 0 for none.
    static float StopCount(Counter*& counter);

    // Common arguments: dc to draw on; back, what it shows now; backRect,
    // the animated area (its size is the frame's); image, the finished
    // picture, whose key-coloured pixels are made transparent first (image
    // is changed); destRect, whose left and top place the frames on dc;
    // time in milliseconds (0 draws nothing). No frame at full strength is
    // drawn: the caller shows the real window afterwards.
    //
    // Image over back by an alpha rising from 15 towards 255; back is taken
    // from backRect.
    static void FadeAnimation(HDC dc, Bitmap* back, const RECT& backRect, Bitmap* image, const RECT& destRect,
                              int time);
    // Image entering from kind 0 right, 1 bottom, 2 left, 3 top, 4 top left,
    // 5 top right, 6 bottom left, 7 bottom right; other kinds show it in
    // place. Back from its top-left corner.
    static void SlideAnimation(HDC dc, Bitmap* back, const RECT& backRect, Bitmap* image, const RECT& destRect,
                               int time, int kind);
    // Image revealed in place, growing from kind 0 the centre, 1 top left,
    // 2 top right, 3 bottom left, 4 bottom right; other kinds reveal it
    // whole. The first frame already shows 5 / time of it, and a time of 5
    // or less draws nothing.
    static void RectAnimation(HDC dc, Bitmap* back, const RECT& backRect, Bitmap* image, const RECT& destRect,
                              int time, int kind);

private:
    // The frame loop: frames of backRect's size built by frame(bitmap, t)
    // and copied to dc while the elapsed milliseconds, from start, stay
    // below time.
    template <class Frame>
    static void Run(HDC dc, const RECT& backRect, Bitmap* image, const RECT& destRect, int time, int start,
                    Frame frame);
};

using KsEffects = TSkinEffects<TKsFamily>;
using MpEffects = TSkinEffects<TMpFamily>;

extern template class TSkinCounter<TKsFamily>;
extern template class TSkinCounter<TMpFamily>;
extern template struct TSkinEffects<TKsFamily>;
extern template struct TSkinEffects<TMpFamily>;

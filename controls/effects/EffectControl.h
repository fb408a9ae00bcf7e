// The painting bases of the effect controls. Every effect control paints
// flicker-free through an off-screen bitmap of its own size: the base
// paints the background (its Color, or, when Transparent, a copy of what
// its parent and the siblings beneath it show there), the descendant paints
// its face into the same bitmap (PaintFace), optionally runs pixel effects
// over it (PaintEf -> PaintEffects), and the bitmap reaches the screen in
// one blit.
//
// The glyph-button bases (hover, pressed and disabled images of a strip,
// and a click) and the layout routine CalcLCoord stand beside them.
#pragma once

#include "Button.h"
#include "EffectBmp.h"
#include "WaveSound.h"
#include "Graphic.h"
#include "Timer.h"
#include "WinControl.h"

// The off-screen painting both effect bases share, over the framework's
// windowless (TGraphicControl) or windowed (TCustomControl) control.
template <class Base>
class TEffectPainter : public Base {
public:
    explicit TEffectPainter(TComponent* owner);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void Paint() override;
    virtual void PaintFace() {}
    virtual void PaintEffects() {}
    // Runs PaintEffects over the off-screen bitmap.
    void PaintEf();
    // The off-screen bitmap (during Paint only) and the effect bitmap (during PaintEf only).
    TBitmap* OffScreen() const { return FBitmap; }
    TCanvas* OffCanvas() const { return FBitmap->Canvas(); }
    TEffectBmp* EffectBmp() const { return FEffectBmp; }

private:
    bool FTransparent = false;
    TBitmap* FBitmap = nullptr;
    TEffectBmp* FEffectBmp = nullptr;
};

extern template class TEffectPainter<TGraphicControl>;
extern template class TEffectPainter<TCustomControl>;

// Windowless effect control.
class TEffectGControl : public TEffectPainter<TGraphicControl> {
    GANTREL_CLASS(TEffectGControl)

    explicit TEffectGControl(TComponent* owner) : TEffectPainter(owner) {}

    // Repaints the control without the parent first repainting behind it.
    void XPaint();

    void Dispatch(TMessage& message) override;
};

// Windowed effect control; its background is never erased before painting.
class TEffectCControl : public TEffectPainter<TCustomControl> {
    GANTREL_CLASS(TEffectCControl)

    explicit TEffectCControl(TComponent* owner) : TEffectPainter(owner) {}

    void Dispatch(TMessage& message) override;
};

// A windowless effect control animated by a timer: while Active, each tick
// reaches TimerExpired; starting calls Start (OnStart), stopping calls Stop
// (OnStop) and repaints. Active, Interval, OnStart and OnStop are read from
// the form stream.
class TAnimatedGControl : public TEffectGControl {
public:
    TAnimatedGControl(TComponent* owner, unsigned interval);
    ~TAnimatedGControl() override;

    bool Active() const { return FActive; }
    void SetActive(bool value);
    unsigned Interval() const { return FTimer->Interval(); }
    void SetInterval(unsigned interval) { FTimer->SetInterval(interval); }

    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    // One tick of the running animation.
    virtual void TimerExpired(TObject* sender) = 0;
    // Sets the animation back to its beginning just before the timer starts.
    virtual void Rewind() {}
    virtual void Start();
    virtual void Stop();

private:
    TTimer* FTimer;
    bool FActive = false;
};

// What the parent and the windowless siblings beneath control (lower in the
// parent's list) show at its place, drawn on canvas at (0, 0). Nothing
// happens without a parent, nor while the control's own copy is under way
// (two see-through controls painting each other).
void CopyParentImage(TControl* control, TCanvas* canvas);
// The same, then the windowed siblings beneath it.
void CopyParentImage1(TControl* control, TCanvas* canvas);

// The top-left corners of a glyph and a text placed in rect: margin -1
// centres the block, spacing lies between them.
void CalcLCoord(TButtonLayout layout, const RECT& rect, int glyphWidth, int glyphHeight, int textWidth,
                int textHeight, int margin, int spacing, int& glyphX, int& glyphY, int& textX, int& textY);

// The state and drawing the three glyph-button bases share. The hover
// sound (ActiveSound) and the click sound (ClickSound) are players on the
// form, forgotten when they are freed.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    TBitmap* Glyph() const { return FGlyph; }
    int NumGlyphs() const { return FNumGlyphs; }
    TColor ActiveTextColor = clBlack;
    int Spacing() const { return FSpacing; }
    int Margin() const { return FMargin; }
    TButtonLayout Layout() const { return FLayout; }
    int GlyphX = 0, GlyphY = 0;
    bool Hot() const { return FHot; }
    bool Pressed() const { return FPressed; }
    TepWavePlayer* ClickSound() const { return FClickSound; }
    TepWavePlayer* ActiveSound() const { return FActiveSound; }

    // 1-based image of the strip for the current state.
    int GlyphIndex(bool enabled) const;

protected:
    TBitmap* FGlyph;
    int FNumGlyphs = 1;
    int FSpacing = 0;
    int FMargin = -1;
    TButtonLayout FLayout = blGlyphLeft;
    bool FHot = false;
    bool FPressed = false;
    TepWavePlayer* FClickSound = nullptr;
    TepWavePlayer* FActiveSound = nullptr;
    // A player plays when there is one and its wave is not empty.
    static void PlaySound(TepWavePlayer* player);
    bool ReadGlyphProperty(const std::string& name, TReader& reader, bool layoutPublished);
};

// The glyph-button behaviour over an effect base: the setters, the sounds,
// pressing and releasing, and hot tracking by the framework's enter and
// leave notices. LayoutPublished: Margin, Spacing and Layout are read from
// the form stream.
template <class Base, bool LayoutPublished>
class TGlyphButton : public Base, public TButtonGlyph {
public:
    explicit TGlyphButton(TComponent* owner);

    void SetGlyph(TBitmap* glyph);
    void SetNumGlyphs(int count);
    void SetLayout(TButtonLayout layout);
    void SetMargin(int margin);
    void SetSpacing(int spacing);
    void SetClickSound(TepWavePlayer* player);
    void SetActiveSound(TepWavePlayer* player);
    bool IsMouseIn(int x, int y) const { return x > 0 && x < this->Width() && y > 0 && y < this->Height(); }
    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    void DrawButtonGlyph();
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void PlayActiveSound() { PlaySound(FActiveSound); }
    void PlayClickSound() { PlaySound(FClickSound); }
    void Changed();
};

extern template class TGlyphButton<TEffectGControl, false>;
extern template class TGlyphButton<TEffectGControl, true>;
extern template class TGlyphButton<TEffectCControl, false>;

// Windowless glyph button base, hot while the framework says the mouse is over it.
class TButtonGControl : public TGlyphButton<TEffectGControl, false> {
    GANTREL_CLASS(TButtonGControl)
    explicit TButtonGControl(TComponent* owner) : TGlyphButton(owner) {}
};

// Windowless glyph button base that tracks the mouse itself and checks
// once, 300 ms after turning hot, whether the cursor has left.
class TButtonGTControl : public TGlyphButton<TEffectGControl, true> {
    GANTREL_CLASS(TButtonGTControl)
    explicit TButtonGTControl(TComponent* owner) : TGlyphButton(owner) {}
    ~TButtonGTControl() override;
    void Dispatch(TMessage& message) override;
    bool Polling() const { return FTimer != nullptr; }

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;

private:
    TTimer* FTimer = nullptr;
    void PollTimer(TObject* sender);
};

// Windowed glyph button base; it also repaints when enabled or disabled.
class TButtonCControl : public TGlyphButton<TEffectCControl, false> {
    GANTREL_CLASS(TButtonCControl)
    explicit TButtonCControl(TComponent* owner) : TGlyphButton(owner) {}
    void Dispatch(TMessage& message) override;
};

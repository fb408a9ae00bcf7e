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

// Windowless effect control.
class TEffectGControl : public TGraphicControl {
    GANTREL_CLASS(TEffectGControl)

    explicit TEffectGControl(TComponent* owner);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // Repaints the control without the parent first repainting behind it.
    void XPaint();

    void Dispatch(TMessage& message) override;
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

// Windowed effect control; its background is never erased before painting.
class TEffectCControl : public TCustomControl {
    GANTREL_CLASS(TEffectCControl)

    explicit TEffectCControl(TComponent* owner);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void Paint() override;
    virtual void PaintFace() {}
    virtual void PaintEffects() {}
    void PaintEf();
    TBitmap* OffScreen() const { return FBitmap; }
    TCanvas* OffCanvas() const { return FBitmap->Canvas(); }
    TEffectBmp* EffectBmp() const { return FEffectBmp; }

private:
    bool FTransparent = false;
    TBitmap* FBitmap = nullptr;
    TEffectBmp* FEffectBmp = nullptr;
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

#define GANTREL_BUTTON_GLYPH_API                                                   \
    void SetGlyph(TBitmap* glyph);                                                 \
    void SetNumGlyphs(int count);                                                  \
    void SetLayout(TButtonLayout layout);                                          \
    void SetMargin(int margin);                                                    \
    void SetSpacing(int spacing);                                                  \
    void SetClickSound(TepWavePlayer* player);                                     \
    void SetActiveSound(TepWavePlayer* player);                                    \
    bool IsMouseIn(int x, int y) const { return x > 0 && x < Width() && y > 0 && y < Height(); } \
    void Dispatch(TMessage& message) override;                                     \
    bool ReadProperty(const std::string& name, TReader& reader) override;          \
    void Notification(TComponent* component, TOperation operation) override;       \
                                                                                   \
protected:                                                                         \
    void DrawButtonGlyph();                                                        \
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override; \
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;   \
    void PlayActiveSound() { PlaySound(FActiveSound); }                            \
    void PlayClickSound() { PlaySound(FClickSound); }                              \
    void Changed();                                                                \
                                                                                   \
public:

// Windowless glyph button base, hot while the framework says the mouse is over it.
class TButtonGControl : public TEffectGControl, public TButtonGlyph {
    GANTREL_CLASS(TButtonGControl)
    explicit TButtonGControl(TComponent* owner);
    GANTREL_BUTTON_GLYPH_API
};

// Windowless glyph button base that tracks the mouse itself and checks
// once, 300 ms after turning hot, whether the cursor has left.
class TButtonGTControl : public TEffectGControl, public TButtonGlyph {
    GANTREL_CLASS(TButtonGTControl)
    explicit TButtonGTControl(TComponent* owner);
    ~TButtonGTControl() override;
    GANTREL_BUTTON_GLYPH_API
    bool Polling() const { return FTimer != nullptr; }

protected:
    void MouseMove(TShiftState shift, int x, int y) override;

private:
    TTimer* FTimer = nullptr;
    void PollTimer(TObject* sender);
};

// Windowed glyph button base.
class TButtonCControl : public TEffectCControl, public TButtonGlyph {
    GANTREL_CLASS(TButtonCControl)
    explicit TButtonCControl(TComponent* owner);
    GANTREL_BUTTON_GLYPH_API
};

#undef GANTREL_BUTTON_GLYPH_API

// An animation: a strip of equally wide frames side by side in one bitmap,
// one frame per timer tick, each drawn with its bottom-left pixel colour
// see-through.
#pragma once

#include "EffectControl.h"

class TepAniImage : public TEffectGControl {
    GANTREL_CLASS(TepAniImage)

    explicit TepAniImage(TComponent* owner);
    ~TepAniImage() override;

    bool Active() const { return FActive; }
    void SetActive(bool value);
    TBitmap* Glyph() const { return FGlyph; }
    // Square frames: as many as the strip is heights wide; the control takes
    // one frame's size.
    void SetGlyph(TBitmap* value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    // 1-based; 0 shows no frame.
    int GlyphNum() const { return FGlyphNum; }
    void SetGlyphNum(int value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    unsigned Interval() const;
    void SetInterval(unsigned milliseconds);

    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void PaintFace() override;
    virtual void Start();
    virtual void Stop();
    // One tick: the next frame, after the last the first.
    void TimerExpired(TObject* sender);

private:
    bool FActive = false;
    TBitmap* FGlyph;
    int FNumGlyphs = 1;
    int FGlyphNum = 1;
    TTimer* FTimer;
    bool FStretch = false;
};

// Registers the animated image with the form reader.
void RegisterAniImageClasses();

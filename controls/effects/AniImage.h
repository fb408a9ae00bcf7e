// An animation: a strip of equally wide frames side by side in one bitmap,
// one frame per timer tick, each drawn with its bottom-left pixel colour
// see-through.
#pragma once

#include "EffectControl.h"

class TepAniImage : public TAnimatedGControl {
    GANTREL_CLASS(TepAniImage)

    explicit TepAniImage(TComponent* owner);
    ~TepAniImage() override;

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

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void PaintFace() override;
    // Neither fires while the form is read or the image is going away.
    void Start() override;
    void Stop() override;
    // One tick: the next frame, after the last the first.
    void TimerExpired(TObject* sender) override;

private:
    TBitmap* FGlyph;
    int FNumGlyphs = 1;
    int FGlyphNum = 1;
    bool FStretch = false;
};

// Registers the animated image with the form reader.
void RegisterAniImageClasses();

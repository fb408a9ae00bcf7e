// Single-line caption labels on the windowless effect base: 3-D text with a
// colour gradient (TepLabel), letters filled with a texture (TepBitLabel),
// a drop shadow (TepShadowLabel) and text bent by a sine wave
// (TepWaveLabel). Each paints its caption into the base's off-screen
// bitmap; every setter stores and repaints through XPaint, and so does a
// change of the caption.
#pragma once

#include "EffectControl.h"

// The 3-D passes shared by the labels: InnerColor up-left, OuterColor
// down-right, each only when used; the caller draws the caption itself.
void DrawText3D(TCanvas* canvas, int x, int y, const std::string& text, bool useInner, TColor inner,
                bool useOuter, TColor outer);

class TepCustomLabel : public TEffectGControl {
    GANTREL_CLASS(TepCustomLabel)

    explicit TepCustomLabel(TComponent* owner);

    bool MiddleTransparent() const { return FMiddleTransparent; }
    void SetMiddleTransparent(bool value);
    bool UseInnerColor() const { return FUseInnerColor; }
    void SetUseInnerColor(bool value);
    bool UseOuterColor() const { return FUseOuterColor; }
    void SetUseOuterColor(bool value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TColor InnerColor() const { return FInnerColor; }
    void SetInnerColor(TColor value);
    TColor OuterColor() const { return FOuterColor; }
    void SetOuterColor(TColor value);
    bool Text3D() const { return FText3D; }
    void SetText3D(bool value);
    bool GradEffect() const { return FGradEffect; }
    void SetGradEffect(bool value);
    TGradKind GradKind() const { return FGradKind; }
    void SetGradKind(TGradKind value);
    TColor GradColor() const { return FGradColor; }
    void SetGradColor(TColor value);

    void Dispatch(TMessage& message) override;

protected:
    void PaintFace() override;
    void PaintEffects() override;
    void DoDrawText();

private:
    bool FMiddleTransparent = false;
    bool FUseInnerColor = true;
    bool FUseOuterColor = true;
    TAlignment FAlignment = taLeftJustify;
    TColor FInnerColor = clLime;
    TColor FOuterColor = clLime;
    bool FText3D = true;
    bool FGradEffect = false;
    TGradKind FGradKind = gdRight;
    TColor FGradColor = clBlack;
};

class TepLabel : public TepCustomLabel {
    GANTREL_CLASS(TepLabel)
    explicit TepLabel(TComponent* owner) : TepCustomLabel(owner) {}
    bool ReadProperty(const std::string& name, TReader& reader) override;
};

class TepBitLabel : public TEffectGControl {
    GANTREL_CLASS(TepBitLabel)

    explicit TepBitLabel(TComponent* owner);
    ~TepBitLabel() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TBitmap* Wallpaper() const { return FWallpaper; }
    void SetWallpaper(TBitmap* value);
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor value);
    bool Text3D() const { return FText3D; }
    void Set3DText(bool value);
    TColor InnerColor() const { return FInnerColor; }
    void SetInnerColor(TColor value);
    TColor OuterColor() const { return FOuterColor; }
    void SetOuterColor(TColor value);
    bool UseInnerColor() const { return FUseInnerColor; }
    void SetUseInnerColor(bool value);
    bool UseOuterColor() const { return FUseOuterColor; }
    void SetUseOuterColor(bool value);
    // The cached textured caption (TransparentColor where no letter is).
    TBitmap* TextImage() const { return FTextImage; }

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void PaintFace() override;

private:
    TAlignment FAlignment = taLeftJustify;
    TBitmap* FWallpaper;
    TBitmap* FTextImage;
    TColor FTransparentColor = clWhite;
    bool FText3D = false;
    bool FTextOutOfDate = true;
    TColor FInnerColor = clBtnHighlight;
    TColor FOuterColor = clBtnShadow;
    bool FUseInnerColor = true;
    bool FUseOuterColor = true;

    void BuildTextImage();
};

class TepShadowLabel : public TEffectGControl {
    GANTREL_CLASS(TepShadowLabel)

    explicit TepShadowLabel(TComponent* owner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(uint8_t value);
    bool BlurShadow() const { return FBlurShadow; }
    void SetBlurShadow(bool value);

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void PaintFace() override;

private:
    TAlignment FAlignment = taLeftJustify;
    uint8_t FShadowOffset = 0;
    bool FBlurShadow = false;
};

class TepWaveLabel : public TEffectGControl {
    GANTREL_CLASS(TepWaveLabel)

    explicit TepWaveLabel(TComponent* owner);

    int TextX() const { return FTextX; }
    void SetTextX(int value);
    int TextY() const { return FTextY; }
    void SetTextY(int value);
    int XDiv() const { return FXDiv; }
    void SetXDiv(int value);
    int YDiv() const { return FYDiv; }
    void SetYDiv(int value);
    int RatioVal() const { return FRatioVal; }
    void SetRatioVal(int value);
    bool UseInnerColor() const { return FUseInnerColor; }
    void SetUseInnerColor(bool value);
    bool UseOuterColor() const { return FUseOuterColor; }
    void SetUseOuterColor(bool value);
    TColor InnerColor() const { return FInnerColor; }
    void SetInnerColor(TColor value);
    TColor OuterColor() const { return FOuterColor; }
    void SetOuterColor(TColor value);

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void PaintFace() override;

private:
    int FTextX = 1, FTextY = 1;
    int FXDiv = 0, FYDiv = 0, FRatioVal = 0;
    bool FUseInnerColor = false, FUseOuterColor = false;
    TColor FInnerColor = clBlack, FOuterColor = clBlack;
};

// Registers the caption labels with the form reader.
void RegisterCaptionLabelClasses();

// TImage: a windowless control that shows a picture (bitmap or icon) as it
// is, centred, stretched or scaled to fit.
#pragma once

#include "Control.h"
#include "Graphic.h"

class TImage : public TGraphicControl {
    GANTREL_CLASS(TImage)

    explicit TImage(TComponent* owner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture; }
    void SetPicture(TPicture* picture) { FPicture->Assign(picture); }
    // Fill the control (keeping the picture's proportions when Proportional).
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    // Shrink a picture larger than the control to fit, keeping its proportions.
    bool Proportional() const { return FProportional; }
    void SetProportional(bool value);
    // Leave out the bitmap's transparent colour (see TBitmap::TransparentColor).
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // The control takes the picture's size whenever the picture changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

    // Where the picture goes, in the control's own coordinates.
    RECT DestRect() const;

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void Paint() override;

private:
    TPicture* FPicture;
    bool FStretch = false, FCenter = false, FProportional = false, FTransparent = false, FAutoSize = false;
    void PictureChanged(TObject* sender);
    void FitToPicture();
};

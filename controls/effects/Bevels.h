// Simple windowless controls: a bevel line or box in two colours, a frame
// bevel of any width, an image that tiles, stretches or leaves one colour
// see-through, and an invisible handle that drags its owner form.
#pragma once

#include "BevelColors.h"
#include "Control.h"
#include "Graphic.h"

enum TepBevelStyle { bsLowered, bsRaised };
enum TepBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine };

class TepBevel : public TInnerOuterColors<TGraphicControl> {
    GANTREL_CLASS(TepBevel)

    explicit TepBevel(TComponent* owner);

    TepBevelStyle Style() const { return FStyle; }
    void SetStyle(TepBevelStyle style);
    TepBevelShape Shape() const { return FShape; }
    void SetShape(TepBevelShape shape);

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void Paint() override;

private:
    TepBevelStyle FStyle = bsLowered;
    TepBevelShape FShape = bsBox;
};

class TepMediaBevel : public TInnerOuterColors<TGraphicControl> {
    GANTREL_CLASS(TepMediaBevel)

    explicit TepMediaBevel(TComponent* owner);

    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int width);

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void Paint() override;

private:
    int FBevelWidth = 2;
};

class TepImage : public TGraphicControl {
    GANTREL_CLASS(TepImage)

    explicit TepImage(TComponent* owner);
    ~TepImage() override;

    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* glyph);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    // Tiles the glyph; wins over Stretch.
    bool WallStyle() const { return FWallStyle; }
    void SetWallStyle(bool value);
    // The glyph's bottom-left pixel colour is see-through.
    bool GlyphTransparent() const { return FGlyphTransparent; }
    void SetGlyphTransparent(bool value);

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void Paint() override;

private:
    TBitmap* FGlyph;
    bool FStretch = false;
    bool FWallStyle = false;
    bool FGlyphTransparent = false;
};

// Dragging it with the left button moves the form (or whatever component) that owns it.
class TepMoveForm : public TGraphicControl {
    GANTREL_CLASS(TepMoveForm)

    explicit TepMoveForm(TComponent* owner);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool FDragging = false;
    int FDownX = 0, FDownY = 0;
};

void RegisterBevelClasses();

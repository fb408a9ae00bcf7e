// The shadow panel, which floats over its parent: it shows a copy of what
// lies beneath it with two strips along two sides darkened as a drop
// shadow, and its face (a colour or a tiled wallpaper), bevels and caption
// in the rest; its children are aligned inside the face only. The text
// label draws word-wrapped lines, optionally in 3-D and over a half
// see-through background. TepBitmap holds a picture other controls share.
#pragma once

#include "BevelColors.h"
#include "EffectControl.h"
#include "Panel.h"
#include "Reader.h"
#include "Strings.h"

#include <algorithm>
#include <functional>

enum TShadowKind { skLeftTop, skRightTop, skLeftBottom, skRightBottom };

class TepBitmap : public TComponent {
    GANTREL_CLASS(TepBitmap)
    explicit TepBitmap(TComponent* owner);
    ~TepBitmap() override;
    TPicture* Bitmap() const { return FBitmap; }
    void SetBitmap(TPicture* picture) { FBitmap->Assign(picture); }
    TPersistent* PropertyObject(const std::string& name) override;

private:
    TPicture* FBitmap;
};

// The painting steps the wallpaper, shadow and round panels share.
// The wallpaper's picture when it holds one of positive size, else null.
TGraphic* WallpaperGraphic(const TepBitmap* wallpaper);
// Face: the wallpaper tiled from the face's top-left corner, across
// across / picture width + 1 and down / picture height + 1 tiles and cut to
// the face; or, without a usable picture, the face filled with color.
void PaintPanelFace(TCanvas* canvas, const RECT& face, const TepBitmap* wallpaper, TColor color, int across,
                    int down);
// The colours of a bevel: bvLowered has outerColor on top and left, bvRaised
// innerColor; false for the cuts that draw nothing.
bool PanelBevelColors(TBevelCut cut, TColor innerColor, TColor outerColor, TColor& top, TColor& bottom);
// One bevel in rect; outer tells the outer bevel from the inner one.
using TPanelBevelPainter = std::function<void(TCanvas* canvas, const RECT& rect, TColor top, TColor bottom, bool outer)>;
// Outer bevel in rect, the inset by BorderWidth + BevelWidth when there is an
// outer bevel, the inner bevel, and the caption centred on what is left.
// Without a painter the bevels are square (Frm3D).
void PaintPanelBevelsAndCaption(TCanvas* canvas, TPanel* panel, RECT rect, TColor innerColor, TColor outerColor,
                                const TPanelBevelPainter& painter = nullptr);

// A panel's shared wallpaper ("Wallpaper"), forgotten when it is freed;
// every change repaints the panel.
template <class Base>
class TWallpaperPanel : public Base {
public:
    explicit TWallpaperPanel(TComponent* owner) : Base(owner) {}
    ~TWallpaperPanel() override
    {
        if (FWallpaper) FWallpaper->RemoveFreeNotification(this);
    }

    TepBitmap* Wallpaper() const { return FWallpaper; }
    void SetWallpaper(TepBitmap* wallpaper)
    {
        if (wallpaper == FWallpaper) return;
        if (FWallpaper) FWallpaper->RemoveFreeNotification(this);
        FWallpaper = wallpaper;
        if (FWallpaper) FWallpaper->FreeNotification(this);
        this->Invalidate();
    }

    void Notification(TComponent* component, TOperation operation) override
    {
        Base::Notification(component, operation);
        if (operation == opRemove && FWallpaper && component == FWallpaper) {
            FWallpaper = nullptr;
            this->Invalidate();
        }
    }
    bool ReadProperty(const std::string& name, TReader& reader) override
    {
        if (name != "Wallpaper") return Base::ReadProperty(name, reader);
        reader.ReadReference<TepBitmap>([this](TepBitmap* b) { SetWallpaper(b); });
        return true;
    }

private:
    TepBitmap* FWallpaper = nullptr;
};

class TepShadowPanel : public TWallpaperPanel<TBevelColorPanel<TPanel>> {
    GANTREL_CLASS(TepShadowPanel)
    explicit TepShadowPanel(TComponent* owner);

    int ShadowWidth() const { return FShadowWidth; }
    // Never below 0.
    void SetShadowWidth(int width);
    TShadowKind ShadowKind() const { return FShadowKind; }
    void SetShadowKind(TShadowKind kind);

    // The face, and the two shadow strips (inclusive bounds), of the current kind.
    RECT FaceRect() const;
    void ShadowStrips(RECT& strip1, RECT& strip2) const;

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void AlignControls(RECT& rect) override;
    void Paint() override;

private:
    int FShadowWidth = 4;
    TShadowKind FShadowKind = skRightBottom;
    void Reshaped();
};

class TepTextLabel : public TEffectGControl {
    GANTREL_CLASS(TepTextLabel)
    explicit TepTextLabel(TComponent* owner);
    ~TepTextLabel() override;

    TStrings* Lines() const { return FLines; }
    void SetLines(TStrings* lines);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TColor TextInnerColor() const { return FTextInnerColor; }
    void SetTextInnerColor(TColor color);
    TColor TextOuterColor() const { return FTextOuterColor; }
    void SetTextOuterColor(TColor color);
    bool Text3D() const { return FText3D; }
    void SetText3D(bool value);
    bool MiddleTransparent() const { return FMiddleTransparent; }
    void SetMiddleTransparent(bool value);

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void PaintFace() override;
    void PaintEffects() override;

private:
    TStrings* FLines;
    TAlignment FAlignment = taLeftJustify;
    TColor FTextInnerColor = clBlack;
    TColor FTextOuterColor = clBlack;
    bool FText3D = false;
    bool FMiddleTransparent = false;
};

// The scrolling texts: the panel's lines rise through it like credits and
// start again from the bottom; the one-line caption runs right to left.
class TepRunPanel : public TAnimatedGControl {
    GANTREL_CLASS(TepRunPanel)
    // Where each line stands across the panel (the label's layout names are
    // taken by its vertical placement, hence the class scope).
    enum TRunTextLayout { tlRight, tlCenter, tlLeft };
    explicit TepRunPanel(TComponent* owner);
    ~TepRunPanel() override;

    TStrings* Lines() const { return FLines; }
    void SetLines(TStrings* lines) { FLines->Assign(lines); }
    int Step() const { return FStep; }
    void SetStep(int step) { FStep = std::clamp(step, 1, 100); }
    TRunTextLayout TextLayout() const { return FTextLayout; }
    void SetTextLayout(TRunTextLayout layout) { FTextLayout = layout; }
    // Where the text stands: the topmost line drawn and its top.
    int FirstLine() const { return FFirstLine; }
    int Offset() const { return FOffset; }

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

    void TimerExpired(TObject* sender) override;

protected:
    void PaintFace() override;
    void Rewind() override;

private:
    TStrings* FLines;
    int FFirstLine = 0;
    int FOffset = 0;
    int FStep = 1;
    TRunTextLayout FTextLayout = tlRight;
};

class TepRunStr : public TAnimatedGControl {
    GANTREL_CLASS(TepRunStr)
    explicit TepRunStr(TComponent* owner);
    ~TepRunStr() override;

    int Step() const { return FStep; }
    void SetStep(int step) { FStep = std::clamp(step, 1, 100); }
    int XOffset() const { return FXOffset; }

    bool ReadProperty(const std::string& name, TReader& reader) override;
    void TimerExpired(TObject* sender) override;

protected:
    void PaintFace() override;
    void Rewind() override;

private:
    int FXOffset = 0;
    int FStep = 10;
};

void RegisterEffectPanelClasses();

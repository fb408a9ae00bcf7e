// Wallpaper and round panels. TepImagePanel tiles a wallpaper under
// coloured bevels; TepRndPanel cuts its window to an ellipse or a rounded
// rectangle; TepEffectRndPanel is the same shape showing what lies beneath
// it, optionally tinted with its colour and grained with noise;
// TepMediaPanel frames a wallpaper with two plain colours. The face, bevel
// and caption steps are the shadow panel's (EffectPanels.h).
#pragma once

#include "EffectPanels.h"

enum TPanelKind { pkEllipse, pkRndRect };

class TepImagePanel : public TWallpaperPanel<TBevelColorPanel<TPanel>> {
    GANTREL_CLASS(TepImagePanel)
    explicit TepImagePanel(TComponent* owner);

    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;
};

// The window shape of the round panels. The region handed to the window
// belongs to the window from then on (it deletes it when it gets another or
// goes away); the panel deletes only a region the window refused.
class TRoundShape {
public:
    TPanelKind Kind = pkEllipse;
    int Radius = 20;
    // Cuts the window to the shape at the given size.
    void Apply(HWND window, int width, int height);
    // The region last handed to the window (owned by it), or null.
    HRGN Region() const { return FRegion; }
    void Forget() { FRegion = nullptr; }
    // Outer bevel, inset, inner bevel and caption on the shape.
    void PaintFrame(TCanvas* canvas, TPanel* panel, TColor innerColor, TColor outerColor) const;

private:
    HRGN FRegion = nullptr;
};

// Base of the two round panels: the shape, its bevel colours, and the
// window cut to it whenever the window is made or sized.
class TepCustomRndPanel : public TBevelColorPanel<TPanel> {
    GANTREL_CLASS(TepCustomRndPanel)
    explicit TepCustomRndPanel(TComponent* owner);

    TPanelKind PanelKind() const { return FShape.Kind; }
    void SetPanelKind(TPanelKind kind);
    int Radius() const { return FShape.Radius; }
    void SetRadius(int radius);
    HRGN WindowRegion() const { return FShape.Region(); }

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void CreateR();
    void PaintFrame(TCanvas* canvas) { FShape.PaintFrame(canvas, this, BevelInnerColor(), BevelOuterColor()); }

private:
    TRoundShape FShape;
};

class TepRndPanel : public TWallpaperPanel<TepCustomRndPanel> {
    GANTREL_CLASS(TepRndPanel)
    explicit TepRndPanel(TComponent* owner);

    void Dispatch(TMessage& message) override;

protected:
    void Paint() override;
};

class TepEffectRndPanel : public TepCustomRndPanel {
    GANTREL_CLASS(TepEffectRndPanel)
    explicit TepEffectRndPanel(TComponent* owner);
    ~TepEffectRndPanel() override;

    bool Noise() const { return FNoise; }
    void SetNoise(bool value);
    bool MiddleTransparent() const { return FMiddleTransparent; }
    void SetMiddleTransparent(bool value);
    // Rebuilds the background from what lies beneath and repaints.
    void InvalidatePanel();
    // The background image (null until the next erase or paint builds it).
    TBitmap* Background() const { return FBackground; }

    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void Paint() override;

private:
    bool FNoise = false;
    bool FMiddleTransparent = false;
    TBitmap* FBackground = nullptr;
    void CreatePI();
    void FreePI();
};

class TepCustomMediaPanel : public TInnerOuterColors<TWallpaperPanel<TPanel>> {
    GANTREL_CLASS(TepCustomMediaPanel)
    explicit TepCustomMediaPanel(TComponent* owner);

protected:
    void Paint() override;
};

class TepMediaPanel : public TepCustomMediaPanel {
    GANTREL_CLASS(TepMediaPanel)
    explicit TepMediaPanel(TComponent* owner) : TepCustomMediaPanel(owner) {}
};

void RegisterShapedPanelClasses();

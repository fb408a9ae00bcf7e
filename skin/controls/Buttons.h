// Skinned push buttons: a caption and an optional glyph strip, the stock
// kinds (OK, Cancel, Yes, ...) that set caption, glyph, modal result and the
// default role together, and the keyboard and mouse of a dialog's button,
// all painted into the buffered base.
//
// Written once over the family F:
//   TSkinButton<F>        the button: geometry, glyph, caption, classic face,
//                         keys, mouse, kinds, default highlight, action
//   TSkinStyledButton<F>  adds the style objects, the bevel and the hot
//                         caption colour
// and the named classes are their leaves:
//   TKsCustomButton  -> TEpButton        (Ks)
//   TMpCustomButton  -> TMpMediaButton   (Mp)
#pragma once

#include "BufferedControls.h"
#include "Button.h"
#include "SkinStyles.h"

class TAction;

// Whether the face is drawn up or pushed in.
enum TKsButtonState { kbsNormal, kbsPressed };
using TKsBaseButtonstate = TKsButtonState;

template <class F>
class TSkinButton : public TSkinWindowedControl<F> {
    GANTREL_CLASS(TSkinButton)

    using Base = TSkinWindowedControl<F>;
    using Bitmap = typename F::Bitmap;
    static constexpr bool KsFamily = std::is_same_v<F, TKsFamily>;

    explicit TSkinButton(TComponent* owner);
    ~TSkinButton() override;

    // Runs when clicked (Ks: after OnClick; Mp: unless OnClick is set to
    // something else); its image becomes the glyph.
    TAction* Action() const { return FAction; }
    void SetAction(TAction* action);
    // The glyph in grey until the pointer is over the button.
    bool BlackAndWhiteGlyph() const { return FBlackAndWhiteGlyph; }
    void SetBlackAndWhiteGlyph(bool value);
    // Enter clicks this button while no other button has the focus.
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    // A strip of NumGlyphs cells: normal, disabled (and two unused ones).
    // The bottom-left pixel's colour is left out.
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* glyph);
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind kind);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout layout);
    // Given to the parent form on a click (0 too).
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }
    // 1 .. 4.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    // Pixels between the glyph and the caption.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);

    TKsButtonState State() const { return FState; }
    // The button acts as the dialog's default now: Enter is its own.
    bool DefaultHighlight() const { return FDefaultHighlight; }
    // A left press began on the button and is not released yet.
    bool MouseCaptured() const { return FMouseCaptured; }

    // Geometry, in the control's client coordinates.
    virtual RECT GetLayoutRect();
    virtual RECT GetCaptionRect();
    virtual RECT GetGlyphRect();
    // One cell of the strip; 0 x 0 without a glyph.
    SIZE GetGlyphSize() const;

    void Click() override;
    void Loaded() override;
    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    virtual void PaintFace();
    virtual void PaintGlyph();
    virtual void PaintText();
    // Ks: text and glyph over the face its background step drew; Mp: the
    // base's own, then face, text and glyph.
    void PaintBuffer() override;
    // The caption centred in its rectangle, in color (disabled: engraved).
    void DrawCaption(TColor color);
    // The action changed (or was set).
    virtual void ActionChange(TObject* sender);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool DoKeyDown(WORD& key, TShiftState shift) override;
    bool DoKeyUp(WORD& key, TShiftState shift) override;

private:
    bool FDefaultHighlight = false;
    bool FDefault = false;
    bool FMouseCaptured = false;
    TBitmap* FGlyph;
    TButtonLayout FLayout = blGlyphLeft;
    TBitBtnKind FKind = bkCustom;
    int FNumGlyphs = 1;
    int FSpacing = 4;
    TKsButtonState FState = kbsNormal;
    int FModalResult = 0;
    bool FBlackAndWhiteGlyph = false;
    TAction* FAction = nullptr;
    // A form resource gave the caption: a kind read later keeps it.
    bool FCaptionStreamed = false;

    void SetState(TKsButtonState state);
    void GlyphChanged(TObject* sender);
    void ActionChanged(TObject* sender) { ActionChange(sender); }
    void FocusChanged(TControl* focused);
    bool DialogKey(WPARAM key);
    // The glyph's pixel as drawn now: grey until hot, engraved when disabled.
    TKColor GlyphPixel(TKColor pixel) const;
};

extern template class TSkinButton<TKsFamily>;
extern template class TSkinButton<TMpFamily>;

class TKsCustomButton : public TSkinButton<TKsFamily> {
    GANTREL_CLASS(TKsCustomButton)

    explicit TKsCustomButton(TComponent* owner);

protected:
    // The face is the button's background.
    void PaintBackground() override;
};

class TMpCustomButton : public TSkinButton<TMpFamily> {
    GANTREL_CLASS(TMpCustomButton)

    explicit TMpCustomButton(TComponent* owner);
};

// Each family's plain button and style classes.
template <class F> struct TSkinButtonTypes;
template <> struct TSkinButtonTypes<TKsFamily> {
    using Custom = TKsCustomButton;
    using Background = TEpBackground;
    using Border = TEpBorder;
};
template <> struct TSkinButtonTypes<TMpFamily> {
    using Custom = TMpCustomButton;
    using Background = TMpMediaBackground;
    using Border = TMpMediaBorder;
};

template <class F>
class TSkinStyledButton : public TSkinButtonTypes<F>::Custom {
    GANTREL_CLASS(TSkinStyledButton)

    using Custom = typename TSkinButtonTypes<F>::Custom;
    using Background = typename TSkinButtonTypes<F>::Background;
    using Border = typename TSkinButtonTypes<F>::Border;

    // Written to a form resource only when it differs; the constructor's
    // value is the same, so what is saved reads back unchanged.
    static constexpr int DefaultBevelWidth = 2;

    explicit TSkinStyledButton(TComponent* owner);
    ~TSkinStyledButton() override;

    Background* GetBackground() const { return FBackground; }
    void SetBackground(Background* value) { FBackground->Assign(value); }
    Border* GetBorder() const { return FBorder; }
    void SetBorder(Border* value) { FBorder->Assign(value); }
    bool ShowBevel() const { return FShowBevel; }
    void SetShowBevel(bool value);
    // Rings of light and shade inside the border, the outermost strongest.
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    bool BevelWidthStored() const { return FBevelWidth != DefaultBevelWidth; }
    // The caption's colour while the pointer is over the button.
    TColor HotTextColor() const { return FHotTextColor; }
    void SetHotTextColor(TColor value);
    // Read-only; never stored.
    std::string Version() const { return F::Version; }
    void SetVersion(const std::string&) {}

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void PaintFace() override;
    void PaintText() override;

private:
    Background* FBackground;
    Border* FBorder;
    bool FShowBevel = true;
    int FBevelWidth = DefaultBevelWidth;
    TColor FHotTextColor = clBlack;

    void StyleChanged(TObject* sender);
};

extern template class TSkinStyledButton<TKsFamily>;
extern template class TSkinStyledButton<TMpFamily>;

class TEpButton : public TSkinStyledButton<TKsFamily> {
    GANTREL_CLASS(TEpButton)
    using TSkinStyledButton::TSkinStyledButton;
};

class TMpMediaButton : public TSkinStyledButton<TMpFamily> {
    GANTREL_CLASS(TMpMediaButton)
    using TSkinStyledButton::TSkinStyledButton;
};

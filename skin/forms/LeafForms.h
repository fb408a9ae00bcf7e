// The form frames applications place on their forms: TEpForm (Ks) and
// TMpMediaForm (Mp). On top of the base frame they fill the client area
// with a background style, and may cut the window to the shape of a mask
// bitmap (magenta marks what lies outside). With the borderless style
// kbsNone they draw a border style of their own instead of the edge, hit
// test by the border's width or by the mask's outline, and may be made as
// small as 10 x 10.
//
// Written once as TSkinLeafForm<F> over the family's frame (F::Form); the
// named classes are its leaves.
#pragma once

#include "Frames.h"
#include "SkinStyles.h"

#include <string>

class TBitmap;

template <class F> struct TSkinLeafFormTypes;
template <> struct TSkinLeafFormTypes<TKsFamily> {
    using Background = TEpBackground;
    using Border = TEpBorder;
};
template <> struct TSkinLeafFormTypes<TMpFamily> {
    using Background = TMpMediaBackground;
    using Border = TMpMediaBorder;
};

template <class F>
class TSkinLeafForm : public F::Form {
    GANTREL_CLASS(TSkinLeafForm)

    using Base = typename F::Form;
    using Bitmap = typename F::Bitmap;
    using Background = typename TSkinLeafFormTypes<F>::Background;
    using Border = typename TSkinLeafFormTypes<F>::Border;

    // The colour of a mask's pixels that lie outside the window.
    static constexpr TKColor MaskOutside = 0x00FF00FFu;
    // The narrowest band a borderless frame resizes from.
    static constexpr int MinResizeBand = 3;

    // Active from the start: the frame hooks its form at once.
    explicit TSkinLeafForm(TComponent* owner);
    ~TSkinLeafForm() override;

    // --- Published properties (setters assign into the owned objects) ---------
    Background* GetBackground() const { return FBackground; }
    void SetBackground(Background* value) { FBackground->Assign(value); }
    Border* GetBorder() const { return FBorder; }
    void SetBorder(Border* value) { FBorder->Assign(value); }
    // The shape is taken from it when the form has been loaded.
    TBitmap* Mask() const { return FMask; }
    void SetMask(TBitmap* value);
    // Read-only; never stored.
    std::string GetVersion() const { return F::Version; }
    void SetVersion(const std::string&) {}

    // The mask at window size, as the region was last made from it.
    Bitmap* MaskCopy() const { return FMaskCopy; }
    // The frame's own copy of the last region made from the mask with
    // kbsNone (the window owns the one it was given), or null.
    HRGN MaskRegion() const { return FMaskRegion; }

    // The background over the client rectangle.
    void PaintBackground(Bitmap* buffer);
    // kbsNone only: the border over the frame, along the mask's outline when
    // the window is shaped.
    void PaintBorder(Bitmap* buffer);

    void Loaded() override;
    RECT GetClientRect() override;
    POINT GetMinTrackSize() override;
    HRGN GetRegion() override;
    void PaintNCArea(Bitmap* buffer) override;
    void PaintClientArea(Bitmap* buffer) override;
    TKsHitTest GetHitTest(int x, int y) override;

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

private:
    Background* FBackground = nullptr;
    Border* FBorder = nullptr;
    HRGN FMaskRegion = nullptr;
    TBitmap* FMask = nullptr;
    Bitmap* FMaskCopy = nullptr;

    void ForgetMaskRegion();
    // Pixels of the mask's outside colour take the family's key colour, the
    // one regions leave out.
    void KeyMaskCopy();
    TKsHitTest MaskHitTest(int x, int y, int band) const;
};

extern template class TSkinLeafForm<TKsFamily>;
extern template class TSkinLeafForm<TMpFamily>;

class TEpForm : public TSkinLeafForm<TKsFamily> {
    GANTREL_CLASS(TEpForm)
    using TSkinLeafForm::TSkinLeafForm;
};

class TMpMediaForm : public TSkinLeafForm<TMpFamily> {
    GANTREL_CLASS(TMpMediaForm)
    using TSkinLeafForm::TSkinLeafForm;
};

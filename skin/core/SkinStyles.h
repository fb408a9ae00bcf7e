// The style objects of skinned surfaces: a background (colour, an image of
// a bitmap list, a linear or radial gradient, or plasma) and a border (a
// frame of one colour, or a 9-slice image). Controls and form frames own
// them as published sub-properties, repaint on OnChange and draw them on
// their off-screen bitmap.
#pragma once

#include "BitmapLists.h"
#include "Color.h"

#include <windows.h>

enum TEpBackgroundStyle { ebsColor, ebsBitmap, ebsGradient, ebsPlasma };
enum TEpGradientStyle { egsLinear, egsRadial };
enum TEpGradientDirection { egdVertical, egdHorizontal };
enum TEpTileStyle { etsTile, etsStretch };
enum TEpBorderStyle { ebsSingleBorder, ebsBitmapBorder };
using TMpMediaBackgroundStyle = TEpBackgroundStyle;
using TMpMediaGradientStyle = TEpGradientStyle;
using TMpMediaGradientDirection = TEpGradientDirection;
using TMpMediaTileStyle = TEpTileStyle;
using TMpMediaBorderStyle = TEpBorderStyle;

class TBitmapListWatch;

// What a style shares: the bitmap list it takes images from, forgotten the
// moment the list is freed, and OnChange.
template <class F>
class TSkinStyle : public TPersistent {
    GANTREL_CLASS(TSkinStyle)

    using Bitmap = typename F::Bitmap;
    using BitmapList = typename TBitmapListClasses<F>::Component;

    TSkinStyle() = default;
    ~TSkinStyle() override;

    BitmapList* Bitmaps() const { return FBitmaps; }
    int BitmapIndex() const { return FBitmapIndex; }
    TEpTileStyle BitmapTileStyle() const { return FBitmapTileStyle; }

    TNotifyEvent OnChange;
    void Change();

protected:
    // Refers to list without telling anyone.
    void StoreBitmaps(BitmapList* list);
    // Lowered to the list's count when a list is set and the value exceeds it.
    int ClampedIndex(int value) const;
    // The image at BitmapIndex, when there is one.
    Bitmap* Image() const;
    // The properties both styles publish alike; false for other names.
    bool ReadCommonProperty(const std::string& name, TReader& reader);
    virtual void SetBitmaps(BitmapList* list) = 0;
    virtual void SetBitmapIndex(int value) = 0;
    virtual void SetBitmapTileStyle(TEpTileStyle value) = 0;
    // Tiled or stretched by BitmapTileStyle.
    void DrawPart(Bitmap* image, Bitmap* dest, const RECT& destRect, const RECT& srcRect) const;

    int FBitmapIndex = -1;
    TEpTileStyle FBitmapTileStyle = etsTile;

private:
    BitmapList* FBitmaps = nullptr;
    TBitmapListWatch* FWatch = nullptr;
};

template <class F>
class TSkinBackground : public TSkinStyle<F> {
    GANTREL_CLASS(TSkinBackground)

    using typename TSkinStyle<F>::Bitmap;
    using typename TSkinStyle<F>::BitmapList;

    TSkinBackground() = default;
    ~TSkinBackground() override;

    TEpBackgroundStyle Style() const { return FStyle; }
    TColor Color() const { return FColor; }
    TColor GradientOrPlasmaColor() const { return FGradientOrPlasmaColor; }
    TEpGradientStyle GradientStyle() const { return FGradientStyle; }
    TEpGradientDirection GradientDirection() const { return FGradientDirection; }
    int GradientCenterX() const { return FGradientCenterX; }
    int GradientCenterY() const { return FGradientCenterY; }
    // Present while Style is ebsPlasma: a new random cloud whenever the
    // style or one of the two colours is set.
    Bitmap* Plasma() const { return FPlasma; }

    // Every setter stores and fires OnChange; the colour setters also build
    // the plasma anew and so fire it twice.
    void SetStyle(TEpBackgroundStyle value);
    void SetColor(TColor value);
    void SetGradientOrPlasmaColor(TColor value);
    void SetGradientStyle(TEpGradientStyle value);
    void SetGradientDirection(TEpGradientDirection value);
    // Kept within 10 .. 90 percent.
    void SetGradientCenterX(int value);
    void SetGradientCenterY(int value);
    void SetBitmaps(BitmapList* list) override;
    void SetBitmapIndex(int value) override;
    void SetBitmapTileStyle(TEpTileStyle value) override;

    // Fills rect of bitmap by Style.
    void Draw(Bitmap* bitmap, const RECT& rect);
    // From a background of the same family; fires OnChange once.
    void Assign(TPersistent* source) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    TEpBackgroundStyle FStyle = ebsColor;
    TColor FColor = clWindow;
    TColor FGradientOrPlasmaColor = clHighlight;
    TEpGradientStyle FGradientStyle = egsLinear;
    TEpGradientDirection FGradientDirection = egdVertical;
    Bitmap* FPlasma = nullptr;
    int FGradientCenterY = 50;
    int FGradientCenterX = 50;
};

template <class F>
class TSkinBorder : public TSkinStyle<F> {
    GANTREL_CLASS(TSkinBorder)

    using typename TSkinStyle<F>::Bitmap;
    using typename TSkinStyle<F>::BitmapList;

    TEpBorderStyle Style() const { return FStyle; }
    TColor Color() const { return FColor; }
    int Width() const { return FWidth; }
    int BitmapMarginX() const { return FBitmapMarginX; }
    int BitmapMarginY() const { return FBitmapMarginY; }
    // The thickness owners inset their content by.
    int GetWidth() const { return FStyle == ebsSingleBorder ? FWidth : FBitmapMarginX; }
    int GetHeight() const { return FStyle == ebsSingleBorder ? FWidth : FBitmapMarginY; }

    // Setters store and fire OnChange, except SetBitmaps, which only stores.
    void SetStyle(TEpBorderStyle value);
    void SetColor(TColor value);
    void SetWidth(int value);
    void SetBitmapMarginX(int value);
    void SetBitmapMarginY(int value);
    void SetBitmaps(BitmapList* list) override;
    void SetBitmapIndex(int value) override;
    void SetBitmapTileStyle(TEpTileStyle value) override;

    // Frames rect of bitmap, or the given region (a platform region in the
    // bitmap's coordinates), by Style.
    void Draw(Bitmap* bitmap, const RECT& rect, HRGN region = nullptr);
    // From a border of the same family, without OnChange.
    void Assign(TPersistent* source) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    TEpBorderStyle FStyle = ebsSingleBorder;
    TColor FColor = clBlack;
    int FWidth = 1;
    int FBitmapMarginY = 3;
    int FBitmapMarginX = 3;
    void DrawFrame(Bitmap* bitmap, const RECT& rect, HRGN region);
    void DrawSlices(Bitmap* bitmap, const RECT& rect);
};

extern template class TSkinStyle<TKsFamily>;
extern template class TSkinStyle<TMpFamily>;
extern template class TSkinBackground<TKsFamily>;
extern template class TSkinBackground<TMpFamily>;
extern template class TSkinBorder<TKsFamily>;
extern template class TSkinBorder<TMpFamily>;

class TEpBackground : public TSkinBackground<TKsFamily> {
    GANTREL_CLASS(TEpBackground)
};

class TMpMediaBackground : public TSkinBackground<TMpFamily> {
    GANTREL_CLASS(TMpMediaBackground)
};

class TEpBorder : public TSkinBorder<TKsFamily> {
    GANTREL_CLASS(TEpBorder)
};

class TMpMediaBorder : public TSkinBorder<TMpFamily> {
    GANTREL_CLASS(TMpMediaBorder)
};

// TImageList: a list of same-sized small images (toolbar and menu glyphs)
// on the platform's image lists, drawn with their masks.
#pragma once

#include "Component.h"
#include "Graphic.h"

#include <commctrl.h>

class TImageList : public TComponent {
    GANTREL_CLASS(TImageList)

    explicit TImageList(TComponent* owner);
    ~TImageList() override;

    // Changing the size empties the list: its images no longer fit.
    int Width() const { return FWidth; }
    void SetWidth(int width) { SetSize(width, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int height) { SetSize(FWidth, height); }
    void SetSize(int width, int height);
    // With a mask per image (transparent drawing); set before adding images.
    bool Masked() const { return FMasked; }
    void SetMasked(bool masked);
    // Behind transparent parts when drawing; clNone leaves the canvas showing.
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor color);
    int AllocBy = 4;

    int Count() const;
    HIMAGELIST Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }

    // Adds image (several when it is a strip of Width-wide images) and
    // returns the index of the first. mask: white where the image is
    // transparent; null for none.
    int Add(TBitmap* image, TBitmap* mask);
    // The same, with every pixel of maskColor transparent (clDefault: the
    // colour of the bottom-left pixel).
    int AddMasked(TBitmap* image, TColor maskColor);
    void Delete(int index);
    void Clear();
    // Draws image index at (x, y); a disabled image is an embossed silhouette.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    // Resizes image to Width x Height and draws image index on it; its
    // transparent parts keep what the bitmap held.
    void GetBitmap(int index, TBitmap* image);

    TNotifyEvent OnChange;

    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    HIMAGELIST FHandle = nullptr;
    int FWidth = 16, FHeight = 16;
    bool FMasked = true;
    TColor FBkColor = clNone;
    void CheckIndex(int index) const;
    void Changed();
    void DestroyHandle();
    void DrawDisabled(TCanvas* canvas, int x, int y, int index);
};

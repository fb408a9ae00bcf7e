#include "SkinStyles.h"

#include "Reader.h"
#include "SkinUtils.h"

#include <algorithm>
#include <functional>
#include <utility>

// A style is no component, so a hidden one listens for the freeing of the
// bitmap list a style takes its images from, and makes the style forget it.
class TBitmapListWatch : public TComponent {
    GANTREL_CLASS(TBitmapListWatch)

    explicit TBitmapListWatch(std::function<void()> freed) : TComponent(nullptr), FFreed(std::move(freed)) {}

    void Watch(TComponent* target)
    {
        if (target == FTarget) return;
        if (FTarget) RemoveFreeNotification(FTarget);
        FTarget = target;
        if (target) FreeNotification(target);
    }

    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation != opRemove || !component || component != FTarget) return;
        FTarget = nullptr;
        FFreed();
    }

private:
    TComponent* FTarget = nullptr;
    std::function<void()> FFreed;
};

namespace {

const TEnumNames TileStyleNames = {"etsTile", "etsStretch"};
const TEnumNames BackgroundStyleNames = {"ebsColor", "ebsBitmap", "ebsGradient", "ebsPlasma"};
const TEnumNames GradientStyleNames = {"egsLinear", "egsRadial"};
const TEnumNames GradientDirectionNames = {"egdVertical", "egdHorizontal"};
const TEnumNames BorderStyleNames = {"ebsSingleBorder", "ebsBitmapBorder"};

bool HasArea(const RECT& r) { return r.right > r.left && r.bottom > r.top; }

}  // namespace

// --- What both styles share ---------------------------------------------------

template <class F>
TSkinStyle<F>::~TSkinStyle()
{
    if (FWatch) FWatch->Free();
}

template <class F>
void TSkinStyle<F>::Change()
{
    if (OnChange) OnChange(this);
}

template <class F>
void TSkinStyle<F>::StoreBitmaps(BitmapList* list)
{
    FBitmaps = list;
    if (!FWatch && list) FWatch = new TBitmapListWatch([this] { FBitmaps = nullptr; });
    if (FWatch) FWatch->Watch(list);
}

template <class F>
int TSkinStyle<F>::ClampedIndex(int value) const
{
    return FBitmaps && value > FBitmaps->Count() ? FBitmaps->Count() : value;
}

template <class F>
typename TSkinStyle<F>::Bitmap* TSkinStyle<F>::Image() const
{
    if (!FBitmaps || FBitmapIndex < 0 || FBitmapIndex >= FBitmaps->Count()) return nullptr;
    return FBitmaps->Bitmaps()->GetBitmap(FBitmapIndex);
}

template <class F>
void TSkinStyle<F>::DrawPart(Bitmap* image, Bitmap* dest, const RECT& destRect, const RECT& srcRect) const
{
    if (!HasArea(destRect) || !HasArea(srcRect)) return;
    if (FBitmapTileStyle == etsStretch)
        image->DrawStretch(dest, destRect, srcRect);
    else
        image->DrawTile(dest, destRect, srcRect);
}

template <class F>
bool TSkinStyle<F>::ReadCommonProperty(const std::string& name, TReader& reader)
{
    if (name == "Bitmaps") reader.ReadReference<BitmapList>([this](BitmapList* list) { SetBitmaps(list); });
    else if (name == "BitmapIndex") SetBitmapIndex(reader.ReadInteger());
    else if (name == "BitmapTileStyle") SetBitmapTileStyle(TEpTileStyle(reader.ReadEnum(TileStyleNames)));
    else if (name == "OnChange") OnChange = reader.ReadEvent<TNotifyEvent>();
    else return false;
    return true;
}

// --- Background -----------------------------------------------------------------

template <class F>
TSkinBackground<F>::~TSkinBackground()
{
    delete FPlasma;
}

template <class F>
void TSkinBackground<F>::SetStyle(TEpBackgroundStyle value)
{
    FStyle = value;
    delete FPlasma;
    FPlasma = nullptr;
    if (value == ebsPlasma) FPlasma = TSkinUtils<F>::GetPlasma(KColor(FColor, 255), KColor(FGradientOrPlasmaColor, 255));
    this->Change();
}

template <class F>
void TSkinBackground<F>::SetColor(TColor value)
{
    FColor = value;
    SetStyle(FStyle);
    this->Change();
}

template <class F>
void TSkinBackground<F>::SetGradientOrPlasmaColor(TColor value)
{
    FGradientOrPlasmaColor = value;
    SetStyle(FStyle);
    this->Change();
}

template <class F>
void TSkinBackground<F>::SetGradientStyle(TEpGradientStyle value)
{
    FGradientStyle = value;
    this->Change();
}

template <class F>
void TSkinBackground<F>::SetGradientDirection(TEpGradientDirection value)
{
    FGradientDirection = value;
    this->Change();
}

template <class F>
void TSkinBackground<F>::SetGradientCenterX(int value)
{
    FGradientCenterX = std::clamp(value, 10, 90);
    this->Change();
}

template <class F>
void TSkinBackground<F>::SetGradientCenterY(int value)
{
    FGradientCenterY = std::clamp(value, 10, 90);
    this->Change();
}

template <class F>
void TSkinBackground<F>::SetBitmaps(BitmapList* list)
{
    this->StoreBitmaps(list);
    this->Change();
}

template <class F>
void TSkinBackground<F>::SetBitmapIndex(int value)
{
    this->FBitmapIndex = this->ClampedIndex(value);
    this->Change();
}

template <class F>
void TSkinBackground<F>::SetBitmapTileStyle(TEpTileStyle value)
{
    this->FBitmapTileStyle = value;
    this->Change();
}

template <class F>
void TSkinBackground<F>::Draw(Bitmap* bitmap, const RECT& rect)
{
    if (!bitmap) return;
    switch (FStyle) {
    case ebsColor:
        bitmap->FillRect(rect, KColor(FColor, 255));
        break;
    case ebsBitmap:
        if (Bitmap* image = this->Image()) this->DrawPart(image, bitmap, rect, RECT{0, 0, image->Width(), image->Height()});
        break;
    case ebsGradient: {
        TKColor begin = KColor(FColor, 255), end = KColor(FGradientOrPlasmaColor, 255);
        if (FGradientStyle == egsRadial) {
            // The circles are drawn by the platform, which leaves alpha 0
            // and, with the centre far off the middle, corners no circle
            // reaches: the outside colour goes under them, and the whole
            // fill is made opaque like every other background.
            bitmap->FillRect(rect, end);
            bitmap->FillRadialGradientRect(rect, begin, end, POINT{FGradientCenterX, FGradientCenterY});
            GdiFlush();
            bitmap->SetAlpha(255, rect);
        } else
            bitmap->FillGradientRect(rect, begin, end, FGradientDirection == egdVertical);
        break;
    }
    case ebsPlasma:
        if (FPlasma && HasArea(rect)) FPlasma->DrawTile(bitmap, rect, RECT{0, 0, FPlasma->Width(), FPlasma->Height()});
        break;
    }
}

template <class F>
void TSkinBackground<F>::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TSkinBackground*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    FColor = other->FColor;
    this->StoreBitmaps(other->Bitmaps());
    this->FBitmapIndex = other->FBitmapIndex;
    FGradientOrPlasmaColor = other->FGradientOrPlasmaColor;
    FGradientStyle = other->FGradientStyle;
    FGradientDirection = other->FGradientDirection;
    this->FBitmapTileStyle = other->FBitmapTileStyle;
    FGradientCenterX = other->FGradientCenterX;
    FGradientCenterY = other->FGradientCenterY;
    SetStyle(other->FStyle);
}

template <class F>
bool TSkinBackground<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Color") SetColor(ReadColor(reader));
    else if (name == "GradientOrPlasmaColor") SetGradientOrPlasmaColor(ReadColor(reader));
    else if (name == "GradientStyle") SetGradientStyle(TEpGradientStyle(reader.ReadEnum(GradientStyleNames)));
    else if (name == "GradientDirection") SetGradientDirection(TEpGradientDirection(reader.ReadEnum(GradientDirectionNames)));
    else if (name == "GradientCenterX") SetGradientCenterX(reader.ReadInteger());
    else if (name == "GradientCenterY") SetGradientCenterY(reader.ReadInteger());
    else if (name == "Style") SetStyle(TEpBackgroundStyle(reader.ReadEnum(BackgroundStyleNames)));
    else if (!this->ReadCommonProperty(name, reader)) return TPersistent::ReadProperty(name, reader);
    return true;
}

// --- Border -----------------------------------------------------------------------

template <class F>
void TSkinBorder<F>::SetStyle(TEpBorderStyle value)
{
    FStyle = value;
    this->Change();
}

template <class F>
void TSkinBorder<F>::SetColor(TColor value)
{
    FColor = value;
    this->Change();
}

template <class F>
void TSkinBorder<F>::SetWidth(int value)
{
    FWidth = value;
    this->Change();
}

template <class F>
void TSkinBorder<F>::SetBitmapMarginX(int value)
{
    FBitmapMarginX = value;
    this->Change();
}

template <class F>
void TSkinBorder<F>::SetBitmapMarginY(int value)
{
    FBitmapMarginY = value;
    this->Change();
}

template <class F>
void TSkinBorder<F>::SetBitmaps(BitmapList* list)
{
    this->StoreBitmaps(list);
}

template <class F>
void TSkinBorder<F>::SetBitmapIndex(int value)
{
    this->FBitmapIndex = this->ClampedIndex(value);
    this->Change();
}

template <class F>
void TSkinBorder<F>::SetBitmapTileStyle(TEpTileStyle value)
{
    this->FBitmapTileStyle = value;
    this->Change();
}

template <class F>
void TSkinBorder<F>::Draw(Bitmap* bitmap, const RECT& rect, HRGN region)
{
    if (!bitmap) return;
    if (FStyle == ebsSingleBorder)
        DrawFrame(bitmap, rect, region);
    else
        DrawSlices(bitmap, rect);
}

template <class F>
void TSkinBorder<F>::DrawFrame(Bitmap* bitmap, const RECT& rect, HRGN region)
{
    // The frame the platform's FrameRgn draws, but opaque: drawn by the
    // platform into the bitmap it would carry alpha 0 and vanish wherever
    // the bitmap is laid over something by its alpha.
    const int w = FWidth;
    if (w <= 0 || bitmap->Empty()) return;
    const TKColor color = KColor(FColor, 255);
    if (!region) {
        bitmap->FillRect(RECT{rect.left, rect.top, rect.right, rect.top + w}, color);
        bitmap->FillRect(RECT{rect.left, rect.bottom - w, rect.right, rect.bottom}, color);
        bitmap->FillRect(RECT{rect.left, rect.top + w, rect.left + w, rect.bottom - w}, color);
        bitmap->FillRect(RECT{rect.right - w, rect.top + w, rect.right, rect.bottom - w}, color);
        return;
    }
    // Any other shape: the platform marks the frame's pixels on a mask the
    // size of the region's box inside the bitmap, which then colours them.
    RECT box;
    GetRgnBox(region, &box);
    box = RECT{std::max<LONG>(box.left, 0), std::max<LONG>(box.top, 0), std::min<LONG>(box.right, bitmap->Width()),
               std::min<LONG>(box.bottom, bitmap->Height())};
    if (!HasArea(box)) return;
    Bitmap mask;
    mask.SetSize(RectWidth(box), RectHeight(box));
    mask.Clear(0);
    HRGN shifted = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(shifted, region, nullptr, RGN_COPY);
    OffsetRgn(shifted, -box.left, -box.top);
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    FrameRgn(mask.DC(), shifted, brush, w, w);
    DeleteObject(brush);
    DeleteObject(shifted);
    GdiFlush();
    for (int y = 0; y < mask.Height(); ++y) {
        const TKColor* marks = mask.ScanLine(y);
        TKColor* row = bitmap->ScanLine(box.top + y) + box.left;
        for (int x = 0; x < mask.Width(); ++x)
            if (marks[x] & 0x00FFFFFFu) row[x] = color;
    }
}

template <class F>
void TSkinBorder<F>::DrawSlices(Bitmap* bitmap, const RECT& r)
{
    Bitmap* image = this->Image();
    if (!image) return;
    const int W = image->Width(), H = image->Height(), MX = FBitmapMarginX, MY = FBitmapMarginY;
    // The edges, tiled or stretched; the centre stays as it is.
    this->DrawPart(image, bitmap, RECT{r.left + MX, r.top, r.right - MX, r.top + MY}, RECT{MX, 0, W - MX, MY});
    this->DrawPart(image, bitmap, RECT{r.left + MX, r.bottom - MY, r.right - MX, r.bottom}, RECT{MX, H - MY, W - MX, H});
    this->DrawPart(image, bitmap, RECT{r.left, r.top + MY, r.left + MX, r.bottom - MY}, RECT{0, MY, MX, H - MY});
    this->DrawPart(image, bitmap, RECT{r.right - MX, r.top + MY, r.right, r.bottom - MY}, RECT{W - MX, MY, W, H - MY});
    // The corners, unscaled.
    auto corner = [&](int x, int y, const RECT& source) {
        if (HasArea(source)) image->Draw(bitmap, x, y, source);
    };
    corner(r.left, r.top, RECT{0, 0, MX, MY});
    corner(r.right - MX, r.top, RECT{W - MX, 0, W, MY});
    corner(r.left, r.bottom - MY, RECT{0, H - MY, MX, H});
    corner(r.right - MX, r.bottom - MY, RECT{W - MX, H - MY, W, H});
}

template <class F>
void TSkinBorder<F>::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TSkinBorder*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    this->StoreBitmaps(other->Bitmaps());
    this->FBitmapIndex = other->FBitmapIndex;
    FBitmapMarginX = other->FBitmapMarginX;
    FBitmapMarginY = other->FBitmapMarginY;
    this->FBitmapTileStyle = other->FBitmapTileStyle;
    FColor = other->FColor;
    FStyle = other->FStyle;
    FWidth = other->FWidth;
}

template <class F>
bool TSkinBorder<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Style") SetStyle(TEpBorderStyle(reader.ReadEnum(BorderStyleNames)));
    else if (name == "Color") SetColor(ReadColor(reader));
    else if (name == "Width") SetWidth(reader.ReadInteger());
    else if (name == "BitmapMarginX") SetBitmapMarginX(reader.ReadInteger());
    else if (name == "BitmapMarginY") SetBitmapMarginY(reader.ReadInteger());
    else if (!this->ReadCommonProperty(name, reader)) return TPersistent::ReadProperty(name, reader);
    return true;
}

template class TSkinStyle<TKsFamily>;
template class TSkinStyle<TMpFamily>;
template class TSkinBackground<TKsFamily>;
template class TSkinBackground<TMpFamily>;
template class TSkinBorder<TKsFamily>;
template class TSkinBorder<TMpFamily>;

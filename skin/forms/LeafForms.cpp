#include "LeafForms.h"

#include "Graphic.h"
#include "Reader.h"
#include "SkinUtils.h"
#include "WinControl.h"

#include <algorithm>
#include <vector>

template <class F>
TSkinLeafForm<F>::TSkinLeafForm(TComponent* owner) : Base(owner)
{
    this->SetActive(true);
    this->FPaintGraphicControls = true;
    FBackground = new Background();
    FBorder = new Border();
    FMask = new TBitmap();
    FMaskCopy = new Bitmap();
}

template <class F>
TSkinLeafForm<F>::~TSkinLeafForm()
{
    ForgetMaskRegion();
    delete FMaskCopy;
    FMaskCopy = nullptr;
    delete FMask;
    FMask = nullptr;
    delete FBorder;
    FBorder = nullptr;
    delete FBackground;
    FBackground = nullptr;
}

template <class F>
void TSkinLeafForm<F>::SetMask(TBitmap* value)
{
    FMask->Assign(value);
}

template <class F>
void TSkinLeafForm<F>::ForgetMaskRegion()
{
    if (FMaskRegion) DeleteObject(FMaskRegion);
    FMaskRegion = nullptr;
}

template <class F>
void TSkinLeafForm<F>::Loaded()
{
    Base::Loaded();
    if (!FMask->Empty()) {
        FMaskCopy->Assign(FMask);
        this->Update();
    }
    // A window that may not be resized takes the mask's size; without a
    // mask it keeps its own (a 0 x 0 window could never be seen or reached).
    TWinControl* control = this->FControl;
    if (!this->CanResize() && control && !FMaskCopy->Empty() && FMaskCopy->Width() > 0 && FMaskCopy->Height() > 0)
        control->SetBounds(control->Left(), control->Top(), FMaskCopy->Width(), FMaskCopy->Height());
}

template <class F>
RECT TSkinLeafForm<F>::GetClientRect()
{
    if (this->BorderStyle() != kbsNone) return Base::GetClientRect();
    const int dx = FBorder->GetWidth(), dy = FBorder->GetHeight();
    return RECT{dx, dy, this->FFrameWidth - dx, this->FFrameHeight - dy};
}

template <class F>
POINT TSkinLeafForm<F>::GetMinTrackSize()
{
    if (this->BorderStyle() != kbsNone) return Base::GetMinTrackSize();
    return POINT{10, 10};
}

template <class F>
void TSkinLeafForm<F>::KeyMaskCopy()
{
    GdiFlush();
    const TKColor key = TSkinUtils<F>::KeyColor() & 0x00FFFFFFu;
    const int width = FMaskCopy->Width();
    for (int y = 0; y < FMaskCopy->Height(); ++y) {
        TKColor* row = FMaskCopy->ScanLine(y);
        for (int x = 0; x < width; ++x)
            if ((row[x] & 0x00FFFFFFu) == MaskOutside) row[x] = key;
    }
}

template <class F>
HRGN TSkinLeafForm<F>::GetRegion()
{
    if (FMaskCopy->Empty()) {
        ForgetMaskRegion();
        return Base::GetRegion();
    }
    // The shape follows the window's size when the window may be resized.
    if (this->CanResize() && !FMask->Empty() && this->FFrameWidth > 0 && this->FFrameHeight > 0) {
        FMaskCopy->SetSize(this->FFrameWidth, this->FFrameHeight);
        if (!FMaskCopy->Empty()) {
            SetStretchBltMode(FMaskCopy->DC(), COLORONCOLOR);
            StretchBlt(FMaskCopy->DC(), 0, 0, FMaskCopy->Width(), FMaskCopy->Height(), FMask->Canvas()->Handle(), 0, 0,
                       FMask->Width(), FMask->Height(), SRCCOPY);
        }
    }
    KeyMaskCopy();
    HRGN region = TSkinUtils<F>::CreateRegionFromBitmap(FMaskCopy, 0, 0);
    // The window owns (and may delete) the region it is given: keep a copy of
    // our own for hit testing and the border.
    ForgetMaskRegion();
    if (region && this->BorderStyle() == kbsNone) {
        const DWORD size = GetRegionData(region, 0, nullptr);
        if (size > 0) {
            std::vector<uint8_t> data(size);
            if (GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data())) == size)
                FMaskRegion = ExtCreateRegion(nullptr, size, reinterpret_cast<RGNDATA*>(data.data()));
        }
    }
    return region;
}

template <class F>
void TSkinLeafForm<F>::PaintBackground(Bitmap* buffer)
{
    if (!buffer) return;
    FBackground->Draw(buffer, GetClientRect());
}

template <class F>
void TSkinLeafForm<F>::PaintBorder(Bitmap* buffer)
{
    if (!buffer || this->BorderStyle() != kbsNone) return;
    FBorder->Draw(buffer, RECT{0, 0, this->FFrameWidth, this->FFrameHeight}, FMaskRegion);
}

template <class F>
void TSkinLeafForm<F>::PaintClientArea(Bitmap* buffer)
{
    PaintBackground(buffer);
    PaintBorder(buffer);
}

template <class F>
void TSkinLeafForm<F>::PaintNCArea(Bitmap* buffer)
{
    if (this->BorderStyle() == kbsNone)
        PaintBorder(buffer);
    else
        Base::PaintNCArea(buffer);
}

template <class F>
TKsHitTest TSkinLeafForm<F>::MaskHitTest(int x, int y, int band) const
{
    // Only the four diagonal corners resize: where the point moved outward
    // by the band leaves the shape.
    if (!FMaskRegion) return khtCaption;
    const int cx = this->FFrameWidth / 2, cy = this->FFrameHeight / 2;
    auto outside = [&](int px, int py) { return !PtInRegion(FMaskRegion, px, py); };
    if (x > cx && y > cy && outside(x + band, y + band)) return khtBottomRight;
    if (x < cx && y < cy && outside(x - band, y - band)) return khtTopLeft;
    if (x > cx && y < cy && outside(x + band, y - band)) return khtTopRight;
    if (x < cx && y > cy && outside(x - band, y + band)) return khtBottomLeft;
    return khtCaption;
}

template <class F>
TKsHitTest TSkinLeafForm<F>::GetHitTest(int x, int y)
{
    if (this->BorderStyle() != kbsNone) return Base::GetHitTest(x, y);
    // Dragging anywhere moves a window that may not be resized.
    if (!this->CanResize()) return khtCaption;
    const int band = std::max(FBorder->GetWidth(), MinResizeBand);
    if (!FMaskCopy->Empty()) return MaskHitTest(x, y, band);
    const int w = this->FFrameWidth, h = this->FFrameHeight;
    const bool left = x < band, top = y < band;
    const bool right = x > w - band, bottom = y > h - band;
    if (left && top) return khtTopLeft;
    if (right && top) return khtTopRight;
    if (left && bottom) return khtBottomLeft;
    if (right && bottom) return khtBottomRight;
    if (top) return khtTop;
    if (left) return khtLeft;
    if (right) return khtRight;
    if (bottom) return khtBottom;
    return khtCaption;
}

template <class F>
bool TSkinLeafForm<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Version") {
        SetVersion(reader.ReadString());
        return true;
    }
    return Base::ReadProperty(name, reader);
}

template <class F>
TPersistent* TSkinLeafForm<F>::PropertyObject(const std::string& name)
{
    if (name == "Background") return FBackground;
    if (name == "Border") return FBorder;
    if (name == "Mask") return FMask;
    return Base::PropertyObject(name);
}

template class TSkinLeafForm<TKsFamily>;
template class TSkinLeafForm<TMpFamily>;

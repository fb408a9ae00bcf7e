#include "ImageList.h"

#include "Reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A DIB with image's pixels that no device context holds: the platform's
// list copies from it, which it could not do from a bitmap selected into
// the image's own canvas.
HBITMAP CopyToDib(TBitmap* image)
{
    const int w = image->Width(), h = image->Height();
    const int bits = image->PixelFormat() == pf32bit ? 32 : 24;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(bits);
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!dib) RaiseLastOSError("Cannot copy an image");
    const int stride = image->BytesPerLine();
    for (int y = 0; y < h; ++y)
        std::memcpy(static_cast<uint8_t*>(pixels) + size_t(y) * size_t(stride), image->ScanLine(y), size_t(stride));
    return dib;
}

bool IsWhite(const uint8_t* p) { return p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF; }

// The platform's masks are monochrome: a set bit is a transparent pixel.
HBITMAP MonochromeMask(TBitmap* mask)
{
    const int w = mask->Width(), h = mask->Height();
    const int bytes = mask->PixelFormat() == pf32bit ? 4 : 3;
    const int stride = ((w + 15) / 16) * 2;  // rows of whole words
    std::vector<uint8_t> bits(size_t(stride) * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = mask->ScanLine(y);
        for (int x = 0; x < w; ++x)
            if (IsWhite(row + x * bytes)) bits[size_t(y) * size_t(stride) + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    }
    HBITMAP mono = CreateBitmap(w, h, 1, 1, bits.data());
    if (!mono) RaiseLastOSError("Cannot make an image mask");
    return mono;
}

}  // namespace

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

TImageList::~TImageList()
{
    BeginDestroy();
    DestroyHandle();
}

void TImageList::DestroyHandle()
{
    if (FHandle) ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

HIMAGELIST TImageList::Handle()
{
    if (!FHandle) {
        FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR24 | (FMasked ? ILC_MASK : 0), std::max(1, AllocBy),
                                   std::max(1, AllocBy));
        if (!FHandle) RaiseLastOSError("Cannot make an image list");
        ImageList_SetBkColor(FHandle, FBkColor == clNone ? CLR_NONE : ColorToRGB(FBkColor));
    }
    return FHandle;
}

void TImageList::Changed()
{
    if (OnChange) OnChange(this);
}

void TImageList::SetSize(int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == FWidth && height == FHeight) return;
    FWidth = width;
    FHeight = height;
    if (FHandle) ImageList_SetIconSize(FHandle, width, height);  // and drops the images
    Changed();
}

void TImageList::SetMasked(bool masked)
{
    if (masked == FMasked) return;
    FMasked = masked;
    // The platform decides about masks when the list is made.
    DestroyHandle();
    Changed();
}

void TImageList::SetBkColor(TColor color)
{
    if (color == FBkColor) return;
    FBkColor = color;
    if (FHandle) ImageList_SetBkColor(FHandle, color == clNone ? CLR_NONE : ColorToRGB(color));
    Changed();
}

int TImageList::Count() const
{
    return FHandle ? ImageList_GetImageCount(FHandle) : 0;
}

void TImageList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count()) throw EListError("Image index out of bounds (" + std::to_string(index) + ")");
}

int TImageList::Add(TBitmap* image, TBitmap* mask)
{
    if (!image || image->Empty()) throw EInvalidOperation("An empty image cannot be added to an image list");
    HBITMAP colour = CopyToDib(image);
    HBITMAP mono = nullptr;
    try {
        if (mask && !mask->Empty()) mono = MonochromeMask(mask);
    } catch (...) {
        DeleteObject(colour);
        throw;
    }
    int index = ImageList_Add(Handle(), colour, mono);
    DeleteObject(colour);
    if (mono) DeleteObject(mono);
    if (index < 0) throw EInvalidOperation("Cannot add an image to the image list");
    Changed();
    return index;
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor)
{
    if (!image || image->Empty()) throw EInvalidOperation("An empty image cannot be added to an image list");
    COLORREF key;
    if (maskColor == clDefault) {
        const uint8_t* p = image->ScanLine(image->Height() - 1);
        key = RGB(p[2], p[1], p[0]);
    } else {
        key = ColorToRGB(maskColor);
    }
    HBITMAP colour = CopyToDib(image);
    int index = ImageList_AddMasked(Handle(), colour, key);
    DeleteObject(colour);
    if (index < 0) throw EInvalidOperation("Cannot add an image to the image list");
    Changed();
    return index;
}

void TImageList::Delete(int index)
{
    CheckIndex(index);
    ImageList_Remove(FHandle, index);
    Changed();
}

void TImageList::Clear()
{
    if (Count() == 0) return;
    ImageList_RemoveAll(FHandle);
    Changed();
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled)
{
    CheckIndex(index);
    if (!enabled) {
        DrawDisabled(canvas, x, y, index);
        return;
    }
    ImageList_Draw(FHandle, index, canvas->Handle(), x, y, ILD_NORMAL);
}

void TImageList::DrawDisabled(TCanvas* canvas, int x, int y, int index)
{
    // The image's shape from its mask (black where it is opaque), drawn as
    // a highlight one pixel down and right under a shadow: engraved.
    TBitmap shape;
    shape.SetSize(FWidth, FHeight);
    if (FMasked) {
        ImageList_Draw(FHandle, index, shape.Canvas()->Handle(), 0, 0, ILD_MASK);
    } else {
        shape.Canvas()->Brush()->SetColor(clBlack);
        shape.Canvas()->FillRect(RECT{0, 0, FWidth, FHeight});
    }
    std::vector<RECT> runs;
    for (int row = 0; row < FHeight; ++row) {
        const uint8_t* p = shape.ScanLine(row);
        const int bytes = shape.PixelFormat() == pf32bit ? 4 : 3;
        int start = -1;
        for (int col = 0; col <= FWidth; ++col) {
            bool opaque = col < FWidth && int(p[col * bytes]) + p[col * bytes + 1] + p[col * bytes + 2] < 384;
            if (opaque && start < 0) start = col;
            if (!opaque && start >= 0) {
                runs.push_back(RECT{x + start, y + row, x + col, y + row + 1});
                start = -1;
            }
        }
    }
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnHighlight);
    for (RECT r : runs) {
        OffsetRect(&r, 1, 1);
        canvas->FillRect(r);
    }
    canvas->Brush()->SetColor(clBtnShadow);
    for (const RECT& r : runs) canvas->FillRect(r);
}

void TImageList::GetBitmap(int index, TBitmap* image)
{
    CheckIndex(index);
    image->SetSize(FWidth, FHeight);
    ImageList_Draw(FHandle, index, image->Canvas()->Handle(), 0, 0, ILD_NORMAL);
}

bool TImageList::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Width") SetWidth(reader.ReadInteger());
    else if (name == "Height") SetHeight(reader.ReadInteger());
    else if (name == "Masked") SetMasked(reader.ReadBool());
    else if (name == "BkColor") SetBkColor(ReadColor(reader));
    else if (name == "AllocBy") AllocBy = reader.ReadInteger();
    else return TComponent::ReadProperty(name, reader);
    return true;
}

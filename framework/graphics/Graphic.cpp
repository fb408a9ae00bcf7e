#include "Graphic.h"

#include "Reader.h"
#include "Streams.h"

#include <algorithm>
#include <cstring>
#include <vector>

void TGraphic::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(&stream);
}

// The canvas of a bitmap: a memory context with the bitmap selected.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    void FreeContext()
    {
        HDC dc = HandleAllocated() ? Handle() : nullptr;
        if (!dc) return;
        SetHandle(nullptr);
        if (FOld) SelectObject(dc, FOld);
        DeleteDC(dc);
        FOld = nullptr;
    }

protected:
    void CreateHandle() override
    {
        if (!FBitmap->FHandle) FBitmap->MakeDib(1, 1, FBitmap->FPixelFormat);
        HDC dc = CreateCompatibleDC(nullptr);
        FOld = SelectObject(dc, FBitmap->FHandle);
        SetHandle(dc);
    }

private:
    TBitmap* FBitmap;
    HGDIOBJ FOld = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap()
{
    delete FCanvas;
    FCanvas = nullptr;
    Release();
}

void TBitmap::Release()
{
    if (FCanvas) FCanvas->FreeContext();
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
    FBits = nullptr;
    FWidth = FHeight = FStride = 0;
}

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas) FCanvas = new TBitmapCanvas(this);
    return FCanvas;
}

void TBitmap::MakeDib(int width, int height, TPixelFormat format)
{
    Release();
    if (width <= 0 || height <= 0) return;
    int bits = format == pf32bit ? 32 : 24;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(bits);
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    FHandle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!FHandle) RaiseLastOSError("Cannot make a bitmap");
    FBits = static_cast<uint8_t*>(pixels);
    FWidth = width;
    FHeight = height;
    FStride = ((width * bits + 31) / 32) * 4;
    FPixelFormat = bits == 32 ? pf32bit : pf24bit;
    std::memset(FBits, 0xFF, size_t(FStride) * size_t(height));  // a new bitmap is white
}

void TBitmap::SetSize(int width, int height)
{
    if (width == FWidth && height == FHeight && FHandle) return;
    // Keep what fits of the old picture.
    HBITMAP old = FHandle;
    int oldWidth = FWidth, oldHeight = FHeight;
    FHandle = nullptr;
    if (FCanvas) FCanvas->FreeContext();
    HBITMAP keep = old;
    FWidth = FHeight = 0;
    MakeDib(width, height, FPixelFormat == pf32bit ? pf32bit : pf24bit);
    if (keep && FHandle) {
        HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
        HGDIOBJ a = SelectObject(src, keep), b = SelectObject(dst, FHandle);
        BitBlt(dst, 0, 0, std::min(width, oldWidth), std::min(height, oldHeight), src, 0, 0, SRCCOPY);
        SelectObject(src, a);
        SelectObject(dst, b);
        DeleteDC(src);
        DeleteDC(dst);
    }
    if (keep) DeleteObject(keep);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == FPixelFormat) return;
    FPixelFormat = format == pf32bit ? pf32bit : pf24bit;
    if (!FHandle) return;
    TBitmap copy;
    copy.Assign(this);
    MakeDib(copy.FWidth, copy.FHeight, FPixelFormat);
    Canvas()->Draw(0, 0, &copy);
    Changed();
}

void TBitmap::AdoptDib(HBITMAP bitmap)
{
    // Any bitmap becomes a top-down DIB of 24 or 32 bits that we can address.
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    MakeDib(bm.bmWidth, bm.bmHeight, bm.bmBitsPixel == 32 ? pf32bit : pf24bit);
    HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
    HGDIOBJ a = SelectObject(src, bitmap), b = SelectObject(dst, FHandle);
    BitBlt(dst, 0, 0, FWidth, FHeight, src, 0, 0, SRCCOPY);
    SelectObject(src, a);
    SelectObject(dst, b);
    DeleteDC(src);
    DeleteDC(dst);
    DeleteObject(bitmap);
}

void TBitmap::SetHandle(HBITMAP bitmap)
{
    if (!bitmap) {
        Release();
    } else {
        AdoptDib(bitmap);
    }
    Changed();
}

uint8_t* TBitmap::ScanLine(int y)
{
    if (!FBits || y < 0 || y >= FHeight) throw EInvalidGraphic("Scan line index out of range");
    GdiFlush();
    return FBits + size_t(y) * size_t(FStride);
}

void TBitmap::Draw(TCanvas* canvas, const RECT& r)
{
    if (!FHandle) return;
    HDC dest = canvas->Handle();
    HDC src = Canvas()->Handle();
    int w = r.right - r.left, h = r.bottom - r.top;
    if (Transparent) {
        COLORREF key = TransparentColor == clDefault ? GetPixel(src, 0, FHeight - 1) : ColorToRGB(TransparentColor);
        TransparentBlt(dest, r.left, r.top, w, h, src, 0, 0, FWidth, FHeight, key);
    } else if (w == FWidth && h == FHeight) {
        BitBlt(dest, r.left, r.top, w, h, src, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dest, COLORONCOLOR);
        StretchBlt(dest, r.left, r.top, w, h, src, 0, 0, FWidth, FHeight, SRCCOPY);
    }
}

void TBitmap::LoadFromStream(TStream* stream)
{
    int64_t start = stream->Position();
    int64_t size = stream->Size() - start;
    if (size < int64_t(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) || size > (256 << 20))
        throw EInvalidGraphic("Bitmap image is not valid");
    std::vector<uint8_t> data(static_cast<size_t>(size));
    stream->ReadBuffer(data.data(), long(size));
    BITMAPFILEHEADER file;
    std::memcpy(&file, data.data(), sizeof file);
    if (file.bfType != 0x4D42 || file.bfOffBits >= data.size()) throw EInvalidGraphic("Bitmap image is not valid");
    auto* info = reinterpret_cast<BITMAPINFO*>(data.data() + sizeof file);
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > 32768 ||
        h.biHeight > 32768 || h.biHeight < -32768 || h.biPlanes != 1)
        throw EInvalidGraphic("Bitmap image is not valid");
    // The pixel data must lie inside what was read.
    long long rows = h.biHeight < 0 ? -(long long)h.biHeight : h.biHeight;
    long long stride = ((long long)h.biWidth * h.biBitCount + 31) / 32 * 4;
    if (h.biCompression == BI_RGB && file.bfOffBits + stride * rows > (long long)data.size())
        throw EInvalidGraphic("Bitmap image is truncated");
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &h, CBM_INIT, data.data() + file.bfOffBits, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!bitmap) throw EInvalidGraphic("Bitmap image is not valid");
    AdoptDib(bitmap);
    Changed();
}

void TBitmap::SaveToStream(TStream* stream)
{
    if (!FHandle) return;
    int bits = FPixelFormat == pf32bit ? 32 : 24;
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof h;
    h.biWidth = FWidth;
    h.biHeight = FHeight;  // bottom-up, as files usually are
    h.biPlanes = 1;
    h.biBitCount = WORD(bits);
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(FStride * FHeight);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof h;
    file.bfSize = file.bfOffBits + h.biSizeImage;
    stream->WriteBuffer(&file, sizeof file);
    stream->WriteBuffer(&h, sizeof h);
    GdiFlush();
    for (int y = FHeight - 1; y >= 0; --y) stream->WriteBuffer(FBits + size_t(y) * size_t(FStride), FStride);
}

bool TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return false;
    AdoptDib(bitmap);
    Changed();
    return true;
}

void TBitmap::DefineProperties(TFiler* filer)
{
    filer->DefineBinaryProperty(
        "Data",
        [this](TStream& stream) {
            uint8_t head[2] = {0, 0};
            if (stream.Size() >= 2) stream.ReadBuffer(head, 2);
            stream.SetPosition(head[0] == 'B' && head[1] == 'M' ? 0 : 4);
            LoadFromStream(&stream);
        },
        [this](TStream& stream) { SaveToStream(&stream); }, !Empty());
}

void TBitmap::Assign(TPersistent* source)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        if (bitmap == this) return;
        if (!bitmap->FHandle) {
            Release();
        } else {
            MakeDib(bitmap->FWidth, bitmap->FHeight, bitmap->FPixelFormat);
            GdiFlush();
            std::memcpy(FBits, bitmap->ScanLine(0), size_t(FStride) * size_t(FHeight));
        }
        Transparent = bitmap->Transparent;
        TransparentColor = bitmap->TransparentColor;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

TIcon::~TIcon()
{
    if (FHandle) DestroyIcon(FHandle);
}

int TIcon::Width() const
{
    return FHandle ? GetSystemMetrics(SM_CXICON) : 0;
}

int TIcon::Height() const
{
    return FHandle ? GetSystemMetrics(SM_CYICON) : 0;
}

void TIcon::SetHandle(HICON icon)
{
    if (FHandle) DestroyIcon(FHandle);
    FHandle = icon;
    Changed();
}

void TIcon::Draw(TCanvas* canvas, const RECT& r)
{
    if (FHandle) DrawIconEx(canvas->Handle(), r.left, r.top, FHandle, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream* stream)
{
    // An ICO file: take the first image of its directory.
    int64_t size = stream->Size() - stream->Position();
    if (size < 22 || size > (16 << 20)) throw EInvalidGraphic("Icon image is not valid");
    std::vector<uint8_t> data(static_cast<size_t>(size));
    stream->ReadBuffer(data.data(), long(size));
    uint32_t bytes, offset;
    std::memcpy(&bytes, data.data() + 6 + 8, 4);
    std::memcpy(&offset, data.data() + 6 + 12, 4);
    if (offset >= data.size() || bytes > data.size() - offset) throw EInvalidGraphic("Icon image is not valid");
    HICON icon = CreateIconFromResourceEx(data.data() + offset, bytes, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    if (!icon) throw EInvalidGraphic("Icon image is not valid");
    SetHandle(icon);
}

void TIcon::SaveToStream(TStream*)
{
    throw EInvalidGraphic("Icons cannot be saved");
}

bool TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name)
{
    HICON icon = static_cast<HICON>(LoadImageA(instance, name.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    if (!icon) return false;
    SetHandle(icon);
    return true;
}

TPicture::~TPicture()
{
    delete FGraphic;
}

void TPicture::Take(TGraphic* graphic)
{
    delete FGraphic;
    FGraphic = graphic;
    if (FGraphic) FGraphic->OnChange = MakeEvent<&TPicture::GraphicChanged>(this);
    GraphicChanged(this);
}

void TPicture::GraphicChanged(TObject*)
{
    if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(TGraphic* graphic)
{
    if (!graphic) {
        Take(nullptr);
        return;
    }
    TGraphic* copy = dynamic_cast<TIcon*>(graphic) ? static_cast<TGraphic*>(new TIcon) : new TBitmap;
    if (auto* icon = dynamic_cast<TIcon*>(graphic))
        static_cast<TIcon*>(copy)->SetHandle(CopyIcon(icon->Handle()));
    else
        copy->Assign(graphic);
    Take(copy);
}

TBitmap* TPicture::Bitmap()
{
    auto* bitmap = dynamic_cast<TBitmap*>(FGraphic);
    if (!bitmap) {
        bitmap = new TBitmap;
        Take(bitmap);
    }
    return bitmap;
}

void TPicture::LoadFromFile(const std::string& fileName)
{
    bool icon = fileName.size() > 4 && SameText(fileName.substr(fileName.size() - 4), ".ico");
    TGraphic* graphic = icon ? static_cast<TGraphic*>(new TIcon) : new TBitmap;
    try {
        graphic->LoadFromFile(fileName);
    } catch (...) {
        delete graphic;
        throw;
    }
    Take(graphic);
}

void TPicture::Assign(TPersistent* source)
{
    if (auto* picture = dynamic_cast<TPicture*>(source)) {
        SetGraphic(picture->FGraphic);
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(source);
}

void TPicture::DefineProperties(TFiler* filer)
{
    filer->DefineBinaryProperty("Data", [this](TStream& stream) {
        uint8_t length = 0;
        stream.ReadBuffer(&length, 1);
        std::string className(length, '\0');
        stream.ReadBuffer(&className[0], length);
        TGraphic* graphic;
        if (className == "TBitmap")
            graphic = new TBitmap;
        else if (className == "TIcon")
            graphic = new TIcon;
        else
            throw EInvalidGraphic("Unknown picture format " + className);
        try {
            graphic->LoadFromStream(&stream);
        } catch (...) {
            delete graphic;
            throw;
        }
        Take(graphic);
    });
}

#include "Clipboard.h"

#include "Graphic.h"
#include "WinControl.h"

#include <cstring>
#include <vector>

namespace {

TClipboard* TheClipboard = nullptr;

// Offset of the pixels in a packed DIB: the header, the colour masks of
// BI_BITFIELDS, the colour table.
size_t DibBitsOffset(const BITMAPINFOHEADER& h)
{
    size_t offset = h.biSize;
    if (h.biSize == sizeof(BITMAPINFOHEADER) && h.biCompression == BI_BITFIELDS) offset += 3 * sizeof(DWORD);
    size_t colors = h.biClrUsed ? h.biClrUsed : h.biBitCount <= 8 ? (size_t(1) << h.biBitCount) : 0;
    return offset + colors * sizeof(RGBQUAD);
}

}  // namespace

TClipboard* Clipboard()
{
    if (!TheClipboard) TheClipboard = new TClipboard;
    return TheClipboard;
}

void FreeClipboard()
{
    delete TheClipboard;
    TheClipboard = nullptr;
}

TClipboard::TClipboard() = default;

TClipboard::~TClipboard()
{
    if (FOpenCount > 0) CloseClipboard();
    if (FHandle) DeallocateHWnd(FHandle);
}

HWND TClipboard::Handle()
{
    // Data can only be put on the clipboard by a window that owns it.
    if (!FHandle) FHandle = AllocateHWnd(MakeEvent<&TClipboard::WndProc>(this));
    return FHandle;
}

void TClipboard::WndProc(TMessage& m)
{
    m.Result = DefWindowProcA(FHandle, m.Msg, m.WParam, m.LParam);
}

void TClipboard::Open()
{
    if (FOpenCount == 0) {
        HWND owner = Handle();
        bool opened = false;
        for (int attempt = 0; attempt < 50 && !opened; ++attempt) {
            opened = OpenClipboard(owner) != FALSE;
            if (!opened) Sleep(20);
        }
        if (!opened) throw EClipboardError("Cannot open the clipboard");
        FEmptied = false;
    }
    ++FOpenCount;
}

void TClipboard::Close()
{
    if (FOpenCount == 0) return;
    if (--FOpenCount == 0) {
        CloseClipboard();
        FEmptied = false;
    }
}

void TClipboard::Clear()
{
    Open();
    EmptyClipboard();
    FEmptied = true;
    Close();
}

bool TClipboard::HasFormat(UINT format) const
{
    if (IsClipboardFormatAvailable(format)) return true;
    // A device-independent picture serves as a bitmap too.
    return format == CF_BITMAP && (IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_DIBV5));
}

void TClipboard::SetBuffer(UINT format, const void* data, size_t size)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!memory) throw EClipboardError("Out of memory for the clipboard");
    void* p = GlobalLock(memory);
    if (!p) {
        GlobalFree(memory);
        throw EClipboardError("Out of memory for the clipboard");
    }
    std::memcpy(p, data, size);
    GlobalUnlock(memory);
    try {
        Open();
    } catch (...) {
        GlobalFree(memory);
        throw;
    }
    if (!FEmptied) {
        EmptyClipboard();
        FEmptied = true;
    }
    // The clipboard owns the memory once it took it.
    bool taken = SetClipboardData(format, memory) != nullptr;
    if (!taken) GlobalFree(memory);
    Close();
    if (!taken) throw EClipboardError("Cannot put data on the clipboard");
}

std::string TClipboard::AsText()
{
    Open();
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text.assign(p, strnlen(p, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    Close();
    return text;
}

void TClipboard::SetAsText(const std::string& text)
{
    SetBuffer(CF_TEXT, text.c_str(), text.size() + 1);
}

void TClipboard::Assign(TPersistent* source)
{
    TBitmap* bitmap = dynamic_cast<TBitmap*>(source);
    if (auto* picture = dynamic_cast<TPicture*>(source)) bitmap = dynamic_cast<TBitmap*>(picture->Graphic());
    if (!bitmap) {
        TPersistent::Assign(source);
        return;
    }
    if (bitmap->Empty()) throw EClipboardError("Cannot put an empty picture on the clipboard");
    // A packed DIB: header, then the rows bottom-up as in a file.
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof h;
    h.biWidth = bitmap->Width();
    h.biHeight = bitmap->Height();
    h.biPlanes = 1;
    h.biBitCount = bitmap->PixelFormat() == pf32bit ? 32 : 24;
    h.biCompression = BI_RGB;
    size_t stride = size_t(bitmap->BytesPerLine());
    h.biSizeImage = DWORD(stride * size_t(h.biHeight));
    std::vector<uint8_t> dib(sizeof h + h.biSizeImage);
    std::memcpy(dib.data(), &h, sizeof h);
    for (int y = 0; y < h.biHeight; ++y)
        std::memcpy(dib.data() + sizeof h + size_t(h.biHeight - 1 - y) * stride, bitmap->ScanLine(y), stride);
    SetBuffer(CF_DIB, dib.data(), dib.size());
}

void TClipboard::GetBitmap(TBitmap* bitmap)
{
    Open();
    HBITMAP result = nullptr;
    try {
        if (HANDLE data = GetClipboardData(CF_DIB)) {
            const auto* info = static_cast<const BITMAPINFO*>(GlobalLock(data));
            if (info) {
                size_t size = GlobalSize(data);
                const BITMAPINFOHEADER& h = info->bmiHeader;
                size_t offset = size >= sizeof(BITMAPINFOHEADER) ? DibBitsOffset(h) : size;
                long long rows = h.biHeight < 0 ? -(long long)h.biHeight : h.biHeight;
                long long stride = ((long long)h.biWidth * h.biBitCount + 31) / 32 * 4;
                bool fits = offset < size && (h.biCompression != BI_RGB || (long long)offset + stride * rows <= (long long)size);
                if (fits && h.biWidth > 0 && h.biHeight != 0 && h.biWidth <= 32768 && rows <= 32768) {
                    HDC screen = GetDC(nullptr);
                    result = CreateDIBitmap(screen, &h, CBM_INIT, reinterpret_cast<const uint8_t*>(info) + offset, info,
                                            DIB_RGB_COLORS);
                    ReleaseDC(nullptr, screen);
                }
                GlobalUnlock(data);
            }
        }
        if (!result) {
            // The clipboard keeps its own bitmap: take a copy.
            if (HANDLE data = GetClipboardData(CF_BITMAP))
                result = static_cast<HBITMAP>(CopyImage(data, IMAGE_BITMAP, 0, 0, 0));
        }
    } catch (...) {
        Close();
        throw;
    }
    Close();
    if (!result) throw EClipboardError("The clipboard holds no picture");
    bitmap->SetHandle(result);
}

void TClipboard::AssignTo(TPersistent* dest)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        GetBitmap(bitmap);
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(dest)) {
        TBitmap bitmap;
        GetBitmap(&bitmap);
        picture->SetGraphic(&bitmap);
        return;
    }
    TPersistent::AssignTo(dest);
}

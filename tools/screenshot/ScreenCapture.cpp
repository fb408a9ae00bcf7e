#include "ScreenCapture.h"

#include <cstdio>
#include <vector>

namespace {

struct TopLevelSearch {
    std::string Caption;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TopLevelSearch*>(data);
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (IsWindowVisible(window) && std::string(caption).rfind(search->Caption, 0) == 0) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindVisibleWindow(const std::string& captionStart)
{
    TopLevelSearch search;
    search.Caption = captionStart;
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

bool SaveScreenCapture(HWND window, const std::string& path)
{
    RECT r;
    if (window) {
        if (!GetWindowRect(window, &r)) return false;
    } else {
        r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;

    // From the screen, not from the window's own DC: what the user sees,
    // frame and all, including windows that paint over it.
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool copied = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, old);
    }
    ReleaseDC(nullptr, screen);

    bool saved = false;
    if (copied) {
        const DWORD stride = (DWORD(width) * 3 + 3) & ~3u;
        const DWORD imageSize = stride * DWORD(height);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            saved = std::fwrite(&file, sizeof file, 1, f) == 1 &&
                    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
                    std::fwrite(bits, 1, imageSize, f) == imageSize;
            saved = std::fclose(f) == 0 && saved;
        }
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    return saved;
}

// A test artefact's picture read back from its file (the 24-bit bottom-up
// BMP that SaveScreenCapture writes), so a test can check what it kept, and
// the folder such pictures go to.
#pragma once

#include "ScreenCapture.h"

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// build/artifacts, beside the folder of the test executable (build/win64);
// the 32-bit build's runs, which go on beside the 64-bit ones, keep theirs
// in build/artifacts/i686 so that no picture is written by both at once.
inline std::string ArtifactsFolder(const std::string& exeDirectory)
{
    std::string folder = exeDirectory + "..\\artifacts";
    CreateDirectoryA(folder.c_str(), nullptr);
#ifndef _WIN64
    folder += "\\i686";
    CreateDirectoryA(folder.c_str(), nullptr);
#endif
    return folder;
}

class TSavedPicture {
public:
    // False when the file is not a 24-bit uncompressed BMP.
    bool Load(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (Bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) || Bytes[0] != 'B' || Bytes[1] != 'M')
            return false;
        BITMAPFILEHEADER file;
        BITMAPINFOHEADER info;
        std::memcpy(&file, Bytes.data(), sizeof file);
        std::memcpy(&info, Bytes.data() + sizeof file, sizeof info);
        if (info.biBitCount != 24 || info.biCompression != BI_RGB || info.biWidth <= 0 || info.biHeight <= 0)
            return false;
        FWidth = info.biWidth;
        FHeight = info.biHeight;
        FBits = file.bfOffBits;
        FStride = (size_t(FWidth) * 3 + 3) & ~size_t(3);
        return Bytes.size() >= FBits + FStride * size_t(FHeight);
    }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // (0, 0) is the top-left corner, as on the screen.
    COLORREF Pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return CLR_INVALID;
        const size_t at = FBits + size_t(FHeight - 1 - y) * FStride + size_t(x) * 3;
        return RGB(uint8_t(Bytes[at + 2]), uint8_t(Bytes[at + 1]), uint8_t(Bytes[at]));
    }
    // How many pixels differ from the top-left one.
    size_t Differing() const
    {
        size_t n = 0;
        const COLORREF first = Pixel(0, 0);
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                if (Pixel(x, y) != first) ++n;
        return n;
    }

private:
    std::vector<char> Bytes;
    int FWidth = 0, FHeight = 0;
    size_t FBits = 0, FStride = 0;
};

// Each channel halved, as a shadow strip darkens what lies beneath it.
inline COLORREF Halved(COLORREF c)
{
    return RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2);
}

// Band k of n of a linear gradient from a to b, channel by channel.
inline COLORREF GradientBand(COLORREF a, COLORREF b, int k, int n)
{
    auto channel = [&](int from, int to) { return int(std::nearbyint(from + double(to - from) * k / n)); };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

// Every channel within the tolerance.
inline bool NearColour(COLORREF actual, COLORREF expected, int tolerance = 1)
{
    return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

// Keeps a picture of the window, as the screen shows it, as
// build/artifacts/<name> and reads it back; clientOrigin is where the
// window's client area starts in the picture.
inline bool KeepWindowPicture(HWND window, const std::string& exeDirectory, const std::string& name,
                              TSavedPicture& picture, POINT& clientOrigin)
{
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    clientOrigin = POINT{0, 0};
    ClientToScreen(window, &clientOrigin);
    clientOrigin.x -= r.left;
    clientOrigin.y -= r.top;
    const std::string path = ArtifactsFolder(exeDirectory) + "\\" + name;
    return SaveScreenCapture(window, path) && picture.Load(path);
}

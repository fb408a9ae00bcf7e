// Saves what the screen shows, or one window of it, as a BMP file: the
// test artefact and the run command's picture of the running program.
#pragma once

#include <windows.h>

#include <string>

// The first visible top-level window whose caption starts with the text, or
// null.
HWND FindVisibleWindow(const std::string& captionStart);

// window null: the whole screen. Returns false when nothing could be saved.
bool SaveScreenCapture(HWND window, const std::string& path);

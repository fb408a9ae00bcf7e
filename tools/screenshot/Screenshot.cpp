// gantrel-screenshot OUT.bmp [caption]: saves the screen, or the visible
// window whose caption starts with that text, as a BMP file.
#include "ScreenCapture.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: gantrel-screenshot OUT.bmp [caption]\n");
        return 2;
    }
    HWND window = nullptr;
    if (argc == 3) {
        window = FindVisibleWindow(argv[2]);
        if (!window) {
            std::fprintf(stderr, "no visible window captioned \"%s...\"; saving the whole screen\n", argv[2]);
        }
    }
    if (!SaveScreenCapture(window, argv[1])) {
        std::fprintf(stderr, "could not save %s\n", argv[1]);
        return 1;
    }
    return 0;
}

// gantrel-window: what a script needs to drive a program's main window from
// outside, as a user would, under Wine.
//   gantrel-window wait CAPTION SECONDS     waits until a visible window whose
//                                          caption starts with CAPTION is up
//   gantrel-window enabled CAPTION TEXT     succeeds when that window has an
//                                          enabled child window showing TEXT
//   gantrel-window shot CAPTION OUT.bmp     saves a picture of the window and
//                                          fails when it is one flat colour
//   gantrel-window close CAPTION SECONDS    closes it as its close box does and
//                                          waits until its process has ended
//   gantrel-window check                    succeeds when this session can make
//                                          windows (the scripts ask before any
//                                          test runs)
// Exit status 0 on success, 1 when the window or condition was not found in
// time, 2 on a usage error.
#include "ScreenCapture.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct Search {
    std::string Text;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    if (search->Text == text) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForMainWindow(const std::string& caption, int seconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindVisibleWindow(caption)) return window;
        if (GetTickCount() - start > DWORD(seconds) * 1000) return nullptr;
        Sleep(200);
    }
}

// Not one flat colour: the window really was drawn.
bool LooksDrawn(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t header = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    if (bytes.size() < header + 3) return false;
    size_t differing = 0, pixels = 0;
    for (size_t i = header; i + 3 <= bytes.size(); i += 3, ++pixels)
        if (bytes.compare(i, 3, bytes, header, 3) != 0) ++differing;
    return differing > pixels / 20;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: gantrel-window wait CAPTION SECONDS | enabled CAPTION TEXT | shot CAPTION OUT.bmp"
                 " | close CAPTION SECONDS | check\n");
    return 2;
}

// The two kinds of window every program here makes first: a hidden utility
// window (as the framework's timers and hand-offs use) and a shown top-level
// one. A session whose services started without a display fails both.
int CheckSession()
{
    const HWND utility = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                         GetModuleHandleA(nullptr), nullptr);
    if (!utility) {
        std::fprintf(stderr, "a utility window could not be made (error %lu)\n", GetLastError());
        return 1;
    }
    DestroyWindow(utility);
    const HWND shown = CreateWindowExA(0, "STATIC", "gantrel-window check", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                       120, 80, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!shown) {
        std::fprintf(stderr, "a top-level window could not be made (error %lu)\n", GetLastError());
        return 1;
    }
    DestroyWindow(shown);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "check") return CheckSession();
    if (argc != 4) return Usage();
    const std::string command = argv[1], caption = argv[2], argument = argv[3];

    if (command == "wait") {
        const DWORD start = GetTickCount();
        if (!WaitForMainWindow(caption, std::atoi(argument.c_str()))) {
            std::fprintf(stderr, "no visible window captioned \"%s...\" within %s s\n", caption.c_str(),
                         argument.c_str());
            return 1;
        }
        std::printf("window up after %.1f s\n", (GetTickCount() - start) / 1000.0);
        return 0;
    }

    HWND main = FindVisibleWindow(caption);
    if (!main) {
        std::fprintf(stderr, "no visible window captioned \"%s...\"\n", caption.c_str());
        return 1;
    }

    if (command == "enabled") {
        Search search;
        search.Text = argument;
        EnumChildWindows(main, MatchChild, reinterpret_cast<LPARAM>(&search));
        if (!search.Found) {
            std::fprintf(stderr, "no child window \"%s\"\n", argument.c_str());
            return 1;
        }
        if (!IsWindowEnabled(search.Found)) {
            std::fprintf(stderr, "\"%s\" is disabled\n", argument.c_str());
            return 1;
        }
        return 0;
    }

    if (command == "shot") {
        if (!SaveScreenCapture(main, argument)) {
            std::fprintf(stderr, "could not save %s\n", argument.c_str());
            return 1;
        }
        if (!LooksDrawn(argument)) {
            std::fprintf(stderr, "%s is (nearly) one flat colour\n", argument.c_str());
            return 1;
        }
        return 0;
    }

    if (command == "close") {
        DWORD processId = 0;
        GetWindowThreadProcessId(main, &processId);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        const DWORD ms = DWORD(std::atoi(argument.c_str())) * 1000;
        bool ended;
        if (process) {
            ended = WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
            CloseHandle(process);
        } else {
            // Without a handle on the process: at least the window must go.
            const DWORD start = GetTickCount();
            while (IsWindow(main) && GetTickCount() - start < ms) Sleep(200);
            ended = !IsWindow(main);
        }
        if (!ended) {
            std::fprintf(stderr, "\"%s...\" did not end within %s s of being closed\n", caption.c_str(),
                         argument.c_str());
            return 1;
        }
        return 0;
    }
    return Usage();
}

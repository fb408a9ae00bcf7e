// The skin library's two families: Ks (with its Ep leaves) and Mp (the
// media classes). They behave alike, so the library is written once as
// templates over one of these traits types; each instantiation owns its
// own statics (registries, scratch tables, counters, colour constants), so
// the families never share state. Only what differs is written here.
#pragma once

#include <windows.h>

#include <cstdint>

using TKColor = uint32_t;

template <class F> struct TSkinColors;
struct TMpColors;
class TKsBitmap;
class TKsMediaBitmap;
class TKsHook;
class TMpHook;

struct TKsFamily {
    using Bitmap = TKsBitmap;
    using Colors = TSkinColors<TKsFamily>;
    // Read-only Version text of the leaf classes.
    static constexpr const char* Version = "2.1";
    // A transparent child asks its parent for the background under it with
    // WM_ERASEBKGND carrying this lParam.
    static constexpr LPARAM BackgroundRequest = 100;
    static bool IsBackgroundRequest(LPARAM lParam) { return lParam == 100; }
    // Start-up takes these constants from the system's colours.
    static constexpr bool SystemWindowColor = false;
    static constexpr bool SystemBtnShadowColor = false;
    // The window property under which a hooked window keeps its record.
    static constexpr const char* HookProperty = "Gantrel.KsHook";
    // The hook class a hook component makes for itself.
    using Hook = TKsHook;
};

struct TMpFamily {
    using Bitmap = TKsMediaBitmap;
    using Colors = TMpColors;
    static constexpr const char* Version = "2.8.0";
    static constexpr LPARAM BackgroundRequest = 12;
    // Bit value 4 marks a request (an MDI client window sends 4 alone).
    static bool IsBackgroundRequest(LPARAM lParam) { return (lParam & 4) != 0; }
    static constexpr bool SystemWindowColor = true;
    static constexpr bool SystemBtnShadowColor = true;
    static constexpr const char* HookProperty = "Gantrel.MpHook";
    using Hook = TMpHook;
};

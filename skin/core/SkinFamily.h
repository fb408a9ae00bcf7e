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
class TKsHookComponent;
class TMpHookComponent;
// Form frames and menus: each family's own classes. The Mp family's menu
// window classes carry its prefix, so both families can live in one program.
class TKsCustomForm;
class TMpCustomForm;
class TKsCustomItem;
class TMpCustomItem;
class TKsItemView;
class TMpItemView;
class TKsCustomMenuBar;
class TMpCustomMenuBar;
class TKsCustomPopupMenu;
class TMpCustomPopupMenu;
class TKsPopupView;
class TMpPopupView;
class TKsPopupForm;
class TMpPopupForm;
class TKsPopupWindow;
class TMpPopupWindow;

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
    // The base of the family's form frames.
    using HookComponent = TKsHookComponent;
    using Form = TKsCustomForm;
    using Item = TKsCustomItem;
    using ItemView = TKsItemView;
    using MenuBar = TKsCustomMenuBar;
    using PopupMenu = TKsCustomPopupMenu;
    using PopupView = TKsPopupView;
    using PopupForm = TKsPopupForm;
    using PopupWindow = TKsPopupWindow;
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
    using HookComponent = TMpHookComponent;
    using Form = TMpCustomForm;
    using Item = TMpCustomItem;
    using ItemView = TMpItemView;
    using MenuBar = TMpCustomMenuBar;
    using PopupMenu = TMpCustomPopupMenu;
    using PopupView = TMpPopupView;
    using PopupForm = TMpPopupForm;
    using PopupWindow = TMpPopupWindow;
};

// The skin library's private window messages, in one place. Both families
// use the same numbers, except the submenu message, which has one per family.
#pragma once

#include <windows.h>

// Open the selected item's submenu (Ks family).
constexpr UINT KM_OPENSUBMENU_KS = 1025;
// The same in the Mp family.
constexpr UINT KM_OPENSUBMENU_MP = 1135;
// Notification-icon callback to a form frame's tray window.
constexpr UINT KM_TRAYNOTIFY = 1388;
// Repaint a form frame.
constexpr UINT KM_UPDATENCAREA = 1389;
// KM_UPDATENCAREA's wParam when the form's caption bits were taken off for a
// text change: they go back before the repaint.
constexpr WPARAM KM_UPDATENCAREA_RESTORECAPTION = 13;
// A framed MDI form's client window drops its sunken edge (and a Ks frame
// answers it 0 for its form). A number in the system's range that the
// library itself never sends: it is a request from outside.
constexpr UINT KM_REMOVECLIENTEDGE = 63;
// Maximize (an MDI child to itself).
constexpr UINT KM_MAXIMIZE = 1390;
// Query sent to a control's owner: answered 1 when its form frame blends.
constexpr UINT KM_FORMISBLEND = 1591;
// Accepted by the Ks buffered controls, without effect.
constexpr UINT KM_UPDATETRANSCONTROL = 1592;
// Run a menu item's click (lParam: the item).
constexpr UINT KM_ITEMCLICK = 2234;
// Posted to a hook registry's utility window: re-attach a record (lParam)
// to its control's window once the window has been re-created.
constexpr UINT KM_REHOOK = 45278;
// Posted likewise: free a record (lParam) whose chain has become empty.
constexpr UINT KM_FREEHOOK = 45279;

// Skinned form frames. A frame is a component dropped on a form: it hooks
// the form's window procedure, keeps the form a plain sizeable window for
// Windows, and from then on computes, paints and answers the whole
// non-client area itself: caption, border, caption buttons, five window
// states of its own (normal, maximized, minimized, rolled up to the caption,
// hidden in the notification area), a system menu of skinned menu items,
// translucency over a copy of the screen, a drop shadow, show animations,
// moving, sizing and snapping, and MDI.
//
// Written once over the family F as TSkinForm<F>; the named classes are its
// leaves: TKsCustomForm (Ks) and TMpCustomForm (Mp). The Mp family's own
// members live in the template too (they are read by shared code) and are
// only published by its leaf.
//
// Files: Frames.cpp (model, states, commands, message dispatch),
// FramePainting.cpp (geometry, painting, composition, sizing, showing),
// FrameSystem.cpp (system menu, tray, application events, keyboard, MDI),
// FrameMouse.cpp (hit testing, mouse, snapping).
#pragma once

#include "ShortCuts.h"
#include "SizeConstraints.h"
#include "SkinBitmap.h"
#include "SkinEffects.h"
#include "SkinHooks.h"

#include <shellapi.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

class TCanvas;
class TPopupMenu;
class TImageList;
class TFont;

enum TKsBorderStyle { kbsNone, kbsStandard, kbsToolWindow };
enum TKsBorderIcon { kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray };
// Bit n for TKsBorderIcon n.
using TKsBorderIcons = uint8_t;
enum TKsWindowState { kwsNormal, kwsMaximized, kwsMinimized, kwsRollup, kwsTray };
enum TKsHitTest {
    khtClient, khtCaption, khtLeft, khtTop, khtRight, khtBottom, khtBorder,
    khtTopLeft, khtTopRight, khtBottomLeft, khtBottomRight,
    khtCloseButton, khtHelpButton, khtMinButton, khtMaxButton, khtRollButton, khtTrayButton,
    khtSysMenuButton, khtNonClient
};
using TMpBorderStyle = TKsBorderStyle;
using TMpBorderIcon = TKsBorderIcon;
using TMpBorderIcons = TKsBorderIcons;
using TMpWindowState = TKsWindowState;
using TMpHitTest = TKsHitTest;

constexpr TKsBorderIcons KsIcon(TKsBorderIcon icon) { return TKsBorderIcons(1u << unsigned(icon)); }
constexpr bool HasIcon(TKsBorderIcons icons, TKsBorderIcon icon) { return (icons & KsIcon(icon)) != 0; }
// Close, system menu, minimize, maximize, roll-up and tray.
constexpr TKsBorderIcons KsDefaultBorderIcons = 111;
// The same without the tray: an MDI child's.
constexpr TKsBorderIcons KsMDIChildBorderIcons = 47;

// Paints over the client background (Canvas on the frame buffer).
using TPaintEvent = TEvent<void(TObject*, TCanvas*)>;

// The enumerations' names as form resources spell them.
const TEnumNames& KsBorderStyleNames();
const TEnumNames& KsBorderIconNames();
const TEnumNames& KsWindowStateNames();
const TEnumNames& KsAnimationNames();

template <class F>
class TSkinForm : public F::HookComponent {
    GANTREL_CLASS(TSkinForm)
    // The families' frames share the application's minimize and restore chain.
    template <class> friend class TSkinForm;

    using Base = typename F::HookComponent;
    using Bitmap = typename F::Bitmap;
    using Item = typename F::Item;
    using MenuBar = typename F::MenuBar;
    static constexpr bool KsFamily = std::is_same_v<F, TKsFamily>;
    static constexpr bool MpFamily = !KsFamily;

    explicit TSkinForm(TComponent* owner);
    ~TSkinForm() override;

    // --- Published properties ----------------------------------------------------
    bool Blend() const { return FBlend; }
    void SetBlend(bool value);
    int BlendValue() const { return FBlendValue; }
    void SetBlendValue(int value);
    TKsBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TKsBorderIcons value);
    TKsBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TKsBorderStyle value);
    bool CanResize() const { return FCanResize; }
    void SetCanResize(bool value);
    bool CanMove() const { return FCanMove; }
    void SetCanMove(bool value);
    bool Magnetic() const { return FMagnetic; }
    void SetMagnetic(bool value) { FMagnetic = value; }
    int MagneticValue() const { return FMagneticValue; }
    void SetMagneticValue(int value) { FMagneticValue = value; }
    TSizeConstraints* Constraints() const { return FConstraints; }
    void SetConstraints(TSizeConstraints* value);
    MenuBar* GetMenuBar() const { return FMenuBar; }
    void SetMenuBar(MenuBar* value);
    bool MinimizeApplication() const { return FMinimizeApplication; }
    void SetMinimizeApplication(bool value) { FMinimizeApplication = value; }
    TKsAnimation ShowAnimation() const { return FShowAnimation; }
    void SetShowAnimation(TKsAnimation value) { FShowAnimation = value; }
    int ShowAnimationTime() const { return FShowAnimationTime; }
    void SetShowAnimationTime(int value) { FShowAnimationTime = value; }
    bool StayOnTop() const { return FStayOnTop; }
    void SetStayOnTop(bool value);
    bool SysMenuBlend() const { return FSysMenuBlend; }
    void SetSysMenuBlend(bool value) { FSysMenuBlend = value; }
    int SysMenuBlendValue() const { return FSysMenuBlendValue; }
    void SetSysMenuBlendValue(int value) { FSysMenuBlendValue = value; }
    bool SysMenuDropShadow() const { return FSysMenuDropShadow; }
    void SetSysMenuDropShadow(bool value) { FSysMenuDropShadow = value; }
    int SysMenuShadowWidth() const { return FSysMenuShadowWidth; }
    void SetSysMenuShadowWidth(int value) { FSysMenuShadowWidth = value; }
    TKsAnimation SysMenuShowAnimation() const { return FSysMenuShowAnimation; }
    void SetSysMenuShowAnimation(TKsAnimation value) { FSysMenuShowAnimation = value; }
    int SysMenuShowAnimationTime() const { return FSysMenuShowAnimationTime; }
    void SetSysMenuShowAnimationTime(int value) { FSysMenuShowAnimationTime = value; }
    TPaintEvent OnPaint;
    // Published by the Mp leaf; Ks descendants (the popup window) set them.
    bool DropShadow() const { return FDropShadow; }
    void SetDropShadow(bool value) { FDropShadow = value; }
    int ShadowWidth() const { return FShadowWidth; }
    void SetShadowWidth(int value) { FShadowWidth = value; }
    // Mp: drag an outline instead of the window.
    bool SimpleDrag() const { return FSimpleDrag; }
    void SetSimpleDrag(bool value) { FSimpleDrag = value; }
    // Mp: the menu shown from the tray icon.
    TPopupMenu* TrayMenu() const { return FTrayMenu; }
    void SetTrayMenu(TPopupMenu* value);

    TKsWindowState WindowState() const { return FWindowState; }
    TKsWindowState PrevWindowState() const { return FPrevWindowState; }
    void SetWindowState(TKsWindowState value);
    // The normal-state rectangle kept while maximized, minimized, rolled up
    // or in the tray.
    const RECT& SavedBounds() const { return FSavedBounds; }

    // Mp: not published.
    bool UseXPFeatures() const { return FUseXPFeatures; }
    void SetUseXPFeatures(bool value) { FUseXPFeatures = value; }
    bool Use2KFeatures() const { return FUse2KFeatures; }
    void SetUse2KFeatures(bool value) { FUse2KFeatures = value; }

    // --- Commands (no-ops without a form) --------------------------------------
    void Close();
    void Restore();
    void Maximize();
    void Minimize();
    void Rollup();
    void MinToTray();
    void Help();
    void SysMenu();
    // Re-frames the window: Windows recomputes the non-client area.
    void Update();
    // Mp: frame painting off and on (the frame is not drawn in between).
    void DisableDrawing() { FFramePainting = false; }
    void EnableDrawing() { FFramePainting = true; }
    bool DrawingEnabled() const { return FFramePainting; }
    // The buffer the frame is composed in: Ks its own; Mp its own when
    // blended, else the family's shared one.
    Bitmap* GetBuffer() const;

    // --- Geometry (window coordinates) -----------------------------------------
    virtual Item* CreateMenuItem(TComponent* owner);
    // Empty for an icon that is not shown, or has no place in this state.
    virtual RECT GetButtonRect(TKsBorderIcon icon);
    virtual RECT GetClientRect();
    virtual RECT GetRollupRect();
    virtual RECT GetMinimizedRect();
    virtual RECT GetMaximizedRect();
    virtual POINT GetMaxTrackSize();
    virtual POINT GetMinTrackSize();
    // The window's shape, or null for none; the caller owns it.
    virtual HRGN GetRegion();
    virtual void PaintNCArea(Bitmap* buffer);
    virtual void PaintClientArea(Bitmap* buffer);
    virtual TKsHitTest GetHitTest(int x, int y);
    // After a size change: buffer size and region (Ks calls it ChangeWidth).
    virtual void ChangeSize();
    void ChangeWidth() { ChangeSize(); }

    RECT GetNCRect() const { return RECT{0, 0, FFrameWidth, FFrameHeight}; }
    int GetCaptionHeight() const;
    RECT GetCaptionRect();
    int GetBorderWidth() const;
    int FrameWidth() const { return FFrameWidth; }
    int FrameHeight() const { return FFrameHeight; }
    int WindowWidth() const { return FWindowWidth; }
    int WindowHeight() const { return FWindowHeight; }
    bool IsActiveCaption() const { return FActiveCaption; }
    bool Animating() const { return FAnimating; }
    TKsHitTest PressedPart() const { return FPressedPart; }
    TKsHitTest HoverPart() const { return FHoverPart; }
    uint8_t MouseState() const { return FMouseState; }

    // --- Painting and composition ----------------------------------------------
    void PaintCaption(Bitmap* buffer);
    void PaintCaptionButton(Bitmap* buffer, const RECT& rect, TKsBorderIcon kind, bool pressed);
    // Composes the frame off screen and copies its four strips to the window.
    void UpdateNCArea(unsigned unused = 0);
    // Ks: the whole screen, or the area under the window.
    void CopyScreen(bool whole);
    // Mp: the screen under r (what the window covered kept from before).
    void CopyScreen(const RECT& r);
    void AnimationShow();
    void MoveWindow(int dx, int dy);
    void MoveWindow(int left, int top, int width, int height);
    void MoveWindow(const RECT& r);
    Bitmap* ScreenCopy() const { return FScreenCopy; }

    // --- System menu, tray, application, keyboard, MDI -------------------------
    void UpdateTrayIcon();
    // The form's icon, else the application's, into the tray record.
    void ChooseTrayIcon();
    void CreateSysMenu();
    // command: the entry the item runs (its Tag), -1 for none.
    Item* AddSysMenuItem(const std::string& caption, TShortCut shortCut, int imageIndex, int command);
    void DoSysMenu(TObject* sender);
    // A system-menu entry's caption (0 Restore .. 5 Close, the menu's order):
    // Ks the program's resource string or its English text, Mp plain text.
    static std::string SysMenuCaption(int entry);
    Item* SysMenuRoot() const { return FSysMenu; }
    TCustomForm* GetMDIParentForm() const;
    TSkinForm* GetMDIParentKsForm() const;
    bool IsMDIChildMaximized() const;
    void ChangeMDIParentCaption();
    void RestoreMDIChildren();
    void ClientWndProc(TMessage& message);
    void RemoveClientEdge(HWND client);
    void DoApplicationMinimize(TObject* sender);
    void DoApplicationRestore(TObject* sender);
    void EndSession();
    void MsgTrayWndProc(TMessage& message);
    // Frees the system menu's root item (and its items).
    void FreeSysMenu();
    // The menu bar as a component (null for none).
    TComponent* MenuBarComponent() const;
    // Streams the MenuBar reference.
    void ReadMenuBar(TReader& reader);
    // The MDI buttons of this child on the parent frame's menu bar.
    void ShowMDIButtons();
    void HideMDIButtons();
    // After the form's WM_SIZE: a maximized MDI child is fitted again.
    void AfterMDISize();
    // Loaded: an MDI parent's client window is subclassed.
    void InstallClientProc();
    // Destructor: the MDI client window's procedure and the form's
    // OnShortCut go back to what they were before the frame.
    void UnchainForm();
    // Mp, Loaded: the form's shortcuts go to the menu bar first.
    void ChainFormShortCut();
    // Mp.
    void DoFormShortCut(TMessage& key, bool& handled);
    void Cascade();
    void Tile();
    HWND TrayWindow() const { return FTrayWindow; }
    const NOTIFYICONDATAA& TrayIconData() const { return FIconData; }

    // --- Hit testing, mouse, snapping ------------------------------------------
    POINT NormalizePoint(POINT screen) const;
    RECT ApplyMagnetic(const RECT& r);
    RECT GetParentRect();
    virtual void NCMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void NCMouseMove(TShiftState shift, int x, int y);
    virtual void NCMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // Mp: the outline of a simple drag (r in the parent's coordinates).
    void DrawDragFrame(const RECT& r);

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

    // The family's unit-wide objects (made on first use).
    static TFont* CaptionFont();
    static TFont* SmCaptionFont();
    static TImageList* CaptionButtonImages();
    // Mp: the buffer shared by every frame that is not blended.
    static Bitmap* SharedBuffer();
    static void CreateCaptionFonts();
    static void CreateCaptionButtonImages();
    // Frees the unit-wide objects (at exit, or in tests).
    static void FreeUnitObjects();

protected:
    void AfterControl(TObject* sender, TMessage& message, bool& handled) override;

    // Message handlers (painting and sizing: FramePainting.cpp; mouse and
    // hit test: FrameMouse.cpp; system: FrameSystem.cpp; the rest Frames.cpp).
    void WMNCActivate(TMessage& message);
    void WMNCHitTest(TMessage& message);
    void WMNCCalcSize(TMessage& message);
    void WMNCPaint(TMessage& message);
    void WMNCLButtonDown(TMessage& message);
    void WMNCLButtonUp(TMessage& message);
    void WMNCLButtonDblClk(TMessage& message);
    void WMNCRButtonDown(TMessage& message);
    void WMNCRButtonUp(TMessage& message);
    void WMNCMouseMove(TMessage& message);
    void WMLButtonUp(TMessage& message);
    void WMMouseMove(TMessage& message);
    void WMCaptureChanged(TMessage& message);
    void WMActivate(TMessage& message);
    void WMEraseBkgnd(TMessage& message);
    void WMPaint(TMessage& message);
    void WMSysCommand(TMessage& message);
    void WMWindowPosChanging(TMessage& message);
    void WMMDIActivate(TMessage& message);
    void WMKeyDown(TMessage& message);
    void WMSetText(TMessage& message);
    void WMFormIsBlend(TMessage& message);
    void WMUpdateNCArea(TMessage& message);
    void WMMaximize(TMessage& message);
    // Chains the application's minimize and restore once.
    void ChainApplicationEvents();
    // Takes this frame out of the application's minimize and restore chain.
    void UnchainApplicationEvents();
    // Every frame of the family whose saved handlers are the given ones calls
    // the replacements instead (a frame in the middle of the chain is going).
    static void RelinkApplicationEvents(const TNotifyEvent& minimize, const TNotifyEvent& newMinimize,
                                        const TNotifyEvent& restore, const TNotifyEvent& newRestore);
    static std::vector<TSkinForm*>& ChainedFrames();
    // The window rectangle of the form on the screen (GetWindowRect).
    RECT WindowScreenRect() const;
    // None are saved until a command leaves the normal state (Ks
    // SetWindowState saves none).
    bool HasSavedBounds() const { return !IsRectEmpty(&FSavedBounds); }
    // Moves to FSavedBounds; without any the window keeps the bounds it has.
    void MoveToSaved()
    {
        if (HasSavedBounds()) MoveWindow(FSavedBounds);
    }
    void SaveBounds();
    bool IsMDIChild() const;
    bool IsMDIParent() const;
    bool IsModalForm() const;
    bool Designing() const;

    // --- Fields, in the frame's order -------------------------------------------
    TKsBorderStyle FBorderStyle = kbsStandard;
    bool FCanResize = true;
    bool FCanMove = true;
    TKsBorderIcons FBorderIcons = KsDefaultBorderIcons;
    Bitmap* FScreenCopy = nullptr;
    Bitmap* FFrameBuffer = nullptr;
    // The caption's small icon, made once for each source icon and size:
    // making it from the resource costs more than the rest of the frame.
    HICON FCaptionIcon = nullptr;
    HICON FCaptionIconSource = nullptr;
    bool FBlend = false;
    int FBlendValue = 150;
    TSizeConstraints* FConstraints = nullptr;
    POINT FPressPoint{0, 0};
    POINT FLastPoint{0, 0};
    RECT FSavedBounds{0, 0, 0, 0};
    TKsWindowState FPrevWindowState = kwsNormal;
    TKsWindowState FWindowState = kwsNormal;
    NOTIFYICONDATAA FIconData{};
    HWND FTrayWindow = nullptr;
    bool FMagnetic = true;
    int FMagneticValue = 20;
    MenuBar* FMenuBar = nullptr;
    Item* FSysMenu = nullptr;
    bool FSysMenuBlend = false;
    int FSysMenuBlendValue = 150;
    TNotifyEvent FSavedAppRestore;
    TNotifyEvent FSavedAppMinimize;
    // The caption text last seen (compared by text in both families).
    std::string FLastCaption;
    bool FRegionBusy = false;
    bool FAppEventsChained = false;
    bool FMinimizeApplication = true;
    bool FStayOnTop = false;
    int FShowAnimationTime = 400;
    TKsAnimation FShowAnimation = kaNone;
    bool FAnimating = false;
    WNDPROC FPrevClientProc = nullptr;
    HWND FClientWindow = nullptr;
    bool FDropShadow = false;
    int FShadowWidth = 4;
    bool FSysMenuDropShadow = KsFamily;
    int FSysMenuShadowWidth = 4;
    int FSysMenuShowAnimationTime = 300;
    TKsAnimation FSysMenuShowAnimation = kaNone;
    bool FFramePainting = true;
    TKsHitTest FPressedPart = khtNonClient;
    // Set by leaf classes: the form's graphic controls are painted into the
    // frame buffer with the client background.
    bool FPaintGraphicControls = false;
    TKsHitTest FHoverPart = khtNonClient;
    int FFrameWidth = 0, FFrameHeight = 0;
    int FWindowWidth = 0, FWindowHeight = 0;
    // 8 while the left button is held in the non-client area, 16 the right.
    uint8_t FMouseState = 0;
    // The frame is letting its own capture go at the end of a press.
    bool FReleasingCapture = false;
    bool FActiveCaption = false;
    // Inside the show step of WM_WINDOWPOSCHANGING.
    bool FShowing = false;
    // WM_SETTEXT under way with the caption bits taken off.
    int FSettingText = 0;
    // Mp only.
    bool FUseXPFeatures = false;
    bool FUse2KFeatures = false;
    bool FSimpleDrag = false;
    bool FDragging = false;
    bool FSimpleDragging = false;
    RECT FLastDragFrame{0, 0, 0, 0};
    POINT FSysMenuPoint{0, 0};
    TKsWindowState FStreamedWindowState = kwsNormal;
    bool FWindowStateStreamed = false;
    TPopupMenu* FTrayMenu = nullptr;
    TEvent<void(TMessage&, bool&)> FSavedShortCut;
    bool FShortCutChained = false;
    bool FUpdating = false;
    RECT FLastCopied{0, 0, 0, 0};
    // The bitmap an animation renders into (Mp), drawn to instead of the window.
    Bitmap* FAnimationBitmap = nullptr;

    // Unit-wide objects of the family.
    static TFont* FCaptionFont;
    static TFont* FSmCaptionFont;
    static TImageList* FCaptionButtonImages;
    static Bitmap* FSharedBuffer;
    // Tray icon ids come from here, never from a pointer.
    static UINT FNextIconId;
};

class TKsCustomForm : public TSkinForm<TKsFamily> {
    GANTREL_CLASS(TKsCustomForm)
    explicit TKsCustomForm(TComponent* owner);
};

class TMpCustomForm : public TSkinForm<TMpFamily> {
    GANTREL_CLASS(TMpCustomForm)
    explicit TMpCustomForm(TComponent* owner);
};

extern template class TSkinForm<TKsFamily>;
extern template class TSkinForm<TMpFamily>;

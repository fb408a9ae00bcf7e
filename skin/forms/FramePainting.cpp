// The form frame's visible half: geometry, the caption and its buttons, the
// composition of the frame in an off-screen buffer (translucency over a
// copy of the screen, the drop shadow), sizing and showing, and the show
// animation.
#include "Frames.h"

#include "Application.h"
#include "Canvas.h"
#include "FlagScope.h"
#include "Font.h"
#include "SkinUtils.h"

#include <algorithm>
#include <cstdlib>

namespace {

int RectW(const RECT& r)
{
    return r.right - r.left;
}

int RectH(const RECT& r)
{
    return r.bottom - r.top;
}

// Releases a window DC however the painting ends.
struct TWindowDC {
    HWND Window;
    HDC DC;
    explicit TWindowDC(HWND window, bool whole) : Window(window), DC(whole ? GetWindowDC(window) : GetDC(window)) {}
    ~TWindowDC()
    {
        if (DC) ReleaseDC(Window, DC);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
};

}  // namespace

// --- Geometry ------------------------------------------------------------------------

template <class F>
int TSkinForm<F>::GetCaptionHeight() const
{
    switch (FBorderStyle) {
    case kbsStandard: return GetSystemMetrics(SM_CYCAPTION);
    case kbsToolWindow: return GetSystemMetrics(SM_CYSMCAPTION);
    default: return 0;
    }
}

template <class F>
int TSkinForm<F>::GetBorderWidth() const
{
    return GetSystemMetrics(SM_CXFRAME);
}

template <class F>
RECT TSkinForm<F>::GetClientRect()
{
    RECT r = GetNCRect();
    if (FBorderStyle == kbsNone || (FWindowState == kwsMaximized && IsMDIChild())) return r;
    if constexpr (KsFamily)
        InflateRect(&r, -GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME));
    else
        InflateRect(&r, -GetBorderWidth(), -GetBorderWidth());
    r.top += GetCaptionHeight();
    return r;
}

template <class F>
RECT TSkinForm<F>::GetCaptionRect()
{
    RECT c = GetClientRect();
    return RECT{c.left, c.top - GetCaptionHeight(), c.right, c.top - 1};
}

template <class F>
POINT TSkinForm<F>::GetMinTrackSize()
{
    POINT size{150, 40};
    if (FConstraints->MinWidth()) size.x = FConstraints->MinWidth();
    if (FConstraints->MinHeight()) size.y = FConstraints->MinHeight();
    return size;
}

template <class F>
POINT TSkinForm<F>::GetMaxTrackSize()
{
    RECT m = GetMaximizedRect();
    POINT size{RectW(m), RectH(m)};
    if (FConstraints->MaxWidth()) size.x = FConstraints->MaxWidth();
    if (FConstraints->MaxHeight()) size.y = FConstraints->MaxHeight();
    return size;
}

template <class F>
RECT TSkinForm<F>::GetMaximizedRect()
{
    TCustomForm* form = this->GetForm();
    if (form && form->FormStyle == fsMDIChild) {
        // An MDI child's window lives in its parent's MDI client window.
        HWND client = form->HandleAllocated() ? GetParent(form->Handle()) : nullptr;
        RECT r;
        if (client && ::GetClientRect(client, &r)) {
            ++r.right;
            ++r.bottom;
            return r;
        }
        if constexpr (KsFamily)
            return RECT{0, 0, 101, 101};
        else
            return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN) + 1, GetSystemMetrics(SM_CYSCREEN) + 1};
    }
    RECT r = Screen ? Screen->WorkAreaRect() : RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if constexpr (MpFamily) {
        if (Screen) {
            RECT desktop = Screen->DesktopRect(), both;
            if (IntersectRect(&both, &r, &desktop)) r = both;
        }
    }
    // The side borders lie just outside the work area.
    int border = GetClientRect().left;
    InflateRect(&r, border, border);
    return r;
}

template <class F>
RECT TSkinForm<F>::GetMinimizedRect()
{
    RECT c = GetClientRect();
    int width = GetSystemMetrics(SM_CXMINIMIZED);
    int height = c.top + FFrameHeight - c.bottom;
    RECT p = GetParentRect();
    return RECT{p.left, p.bottom - height, p.left + width, p.bottom};
}

template <class F>
RECT TSkinForm<F>::GetRollupRect()
{
    RECT c = GetClientRect();
    TCustomForm* form = this->GetForm();
    int left = form ? form->Left() : 0, top = form ? form->Top() : 0;
    return RECT{left, top, left + FFrameWidth, top + c.top + FFrameHeight - c.bottom};
}

template <class F>
HRGN TSkinForm<F>::GetRegion()
{
    return nullptr;
}

template <class F>
RECT TSkinForm<F>::GetButtonRect(TKsBorderIcon icon)
{
    const RECT none{0, 0, 0, 0};
    if (!HasIcon(FBorderIcons, icon)) return none;
    RECT caption = GetCaptionRect();
    if (icon == kbiSystemMenu) {
        caption.right = caption.left + RectH(caption);
        return caption;
    }
    bool tool = FBorderStyle == kbsToolWindow;
    int width = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
    int height = GetSystemMetrics(tool ? SM_CYSMSIZE : SM_CYSIZE) - 4;
    int top = caption.top + 2;
    auto at = [&](int x) { return RECT{x, top, x + width, top + height}; };
    bool minimized = FWindowState == kwsMinimized;
    // From the right: Close, gap, Maximize, Minimize, gap, Rollup, Tray, gap, Help.
    int x = caption.right - width - 2;
    if (HasIcon(FBorderIcons, kbiClose)) {
        if (icon == kbiClose) return at(x);
        x -= width + 2;
    }
    if (tool) return none;
    if (HasIcon(FBorderIcons, kbiMaximize) && !minimized) {
        if (icon == kbiMaximize) return at(x);
        x -= width;
    }
    if (HasIcon(FBorderIcons, kbiMinimize)) {
        if (icon == kbiMinimize) return at(x);
        x -= width;
    }
    if (HasIcon(FBorderIcons, kbiRollup) && !minimized) {
        if (icon == kbiRollup) return at(x - 2);
        x -= width + 2;
    }
    if (HasIcon(FBorderIcons, kbiTray) && !minimized) {
        if (icon == kbiTray) return at(x);
        x -= width;
    }
    if (HasIcon(FBorderIcons, kbiHelp) && !minimized && FWindowState != kwsRollup) {
        if (icon == kbiHelp) return at(x - 2);
    }
    return none;
}

template <class F>
RECT TSkinForm<F>::WindowScreenRect() const
{
    RECT r{0, 0, 0, 0};
    TCustomForm* form = this->GetForm();
    if (form && form->HandleAllocated()) GetWindowRect(form->Handle(), &r);
    return r;
}

// --- Painting ------------------------------------------------------------------------

template <class F>
void TSkinForm<F>::PaintNCArea(Bitmap* buffer)
{
    if (FBorderStyle == kbsNone || !buffer) return;
    RECT r = GetNCRect();
    DrawEdge(buffer->DC(), &r, EDGE_RAISED, BF_RECT);
    InflateRect(&r, -2, -2);
    RECT c = GetClientRect();
    TKColor face;
    if constexpr (KsFamily)
        face = KColor(clBtnFace, 255);
    else
        face = F::Colors::ckBtnFace;
    buffer->FillRect(RECT{r.left, r.top, r.right, c.top}, face);
    buffer->FillRect(RECT{r.left, c.top, c.left, r.bottom}, face);
    buffer->FillRect(RECT{c.right, c.top, r.right, r.bottom}, face);
    buffer->FillRect(RECT{r.left, c.bottom, r.right, r.bottom}, face);
    PaintCaption(buffer);
}

template <class F>
void TSkinForm<F>::PaintCaption(Bitmap* buffer)
{
    RECT caption = GetCaptionRect();
    TKColor begin = KColor(TColor(GetSysColor(FActiveCaption ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION)), 255);
    TKColor end =
        KColor(TColor(GetSysColor(FActiveCaption ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION)), 255);
    buffer->FillGradientRect(caption, begin, end, false);
    TCustomForm* form = this->GetForm();
    if (!form) return;
    bool tool = FBorderStyle == kbsToolWindow;
    buffer->SetFont(tool ? SmCaptionFont() : CaptionFont());
    buffer->Font()->SetColor(FActiveCaption ? clCaptionText : clInactiveCaptionText);
    RECT text = caption;
    if (!tool && HasIcon(FBorderIcons, kbiSystemMenu)) text.left += GetCaptionHeight();
    int available;
    if constexpr (KsFamily) {
        if (tool)
            available = FFrameWidth - text.left - 2 * GetSystemMetrics(SM_CXSMSIZE);
        else if (FWindowState == kwsMinimized)
            available = FFrameWidth - text.left - 2 * GetSystemMetrics(SM_CXSIZE);
        else
            available = FFrameWidth - text.left - 7 * GetSystemMetrics(SM_CXSIZE);
    } else {
        int count = 0;
        for (TKsBorderIcon icon : {kbiClose, kbiMaximize, kbiMinimize, kbiHelp, kbiRollup, kbiTray})
            if (HasIcon(FBorderIcons, icon)) ++count;
        available = FFrameWidth - text.left - GetCaptionHeight() * (tool ? 2 : count);
    }
    std::string shown = TSkinUtils<F>::FormatStr(buffer, form->Caption(), std::max(available, 0));
    InflateRect(&text, -2, 0);
    buffer->DrawText(shown, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);

    auto pressed = [this](TKsHitTest part) {
        return FMouseState == 8 && FPressedPart == part && FHoverPart == part;
    };
    PaintCaptionButton(buffer, GetButtonRect(kbiClose), kbiClose, pressed(khtCloseButton));
    if (tool) return;
    PaintCaptionButton(buffer, GetButtonRect(kbiSystemMenu), kbiSystemMenu, false);
    PaintCaptionButton(buffer, GetButtonRect(kbiMinimize), kbiMinimize, pressed(khtMinButton));
    PaintCaptionButton(buffer, GetButtonRect(kbiMaximize), kbiMaximize, pressed(khtMaxButton));
    PaintCaptionButton(buffer, GetButtonRect(kbiRollup), kbiRollup, pressed(khtRollButton));
    PaintCaptionButton(buffer, GetButtonRect(kbiTray), kbiTray, pressed(khtTrayButton));
    PaintCaptionButton(buffer, GetButtonRect(kbiHelp), kbiHelp, pressed(khtHelpButton));
}

template <class F>
void TSkinForm<F>::PaintCaptionButton(Bitmap* buffer, const RECT& rect, TKsBorderIcon kind, bool pressed)
{
    TCustomForm* form = this->GetForm();
    if (!form || IsRectEmpty(&rect) || (FWindowState == kwsMaximized && IsMDIChild())) return;
    HDC dc = buffer->DC();
    RECT r = rect;
    UINT push = pressed ? DFCS_PUSHED : 0;
    switch (kind) {
    case kbiClose: DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | push); break;
    case kbiMinimize:
        DrawFrameControl(dc, &r, DFC_CAPTION,
                         (FWindowState == kwsMinimized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) | push);
        break;
    case kbiMaximize:
        DrawFrameControl(dc, &r, DFC_CAPTION,
                         (FWindowState == kwsMaximized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) | push);
        break;
    case kbiHelp: DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONHELP | push); break;
    case kbiSystemMenu: {
        HICON icon = form->Icon() ? form->Icon()->Handle() : nullptr;
        if (!icon && Application && Application->Icon()) icon = Application->Icon()->Handle();
        // Made once per source icon: a copy on every paint cost most of a
        // drag step.
        if (!FCaptionIcon || icon != FCaptionIconSource) {
            if (FCaptionIcon) DestroyIcon(FCaptionIcon);
            FCaptionIcon = SmallIconCopy(icon);
            FCaptionIconSource = icon;
        }
        if (FCaptionIcon) DrawIconEx(dc, r.left, r.top, FCaptionIcon, 0, 0, 0, nullptr, DI_NORMAL);
        break;
    }
    case kbiRollup: {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | push);
        InflateRect(&r, -4, -5);
        if (!pressed) OffsetRect(&r, -1, -1);
        bool rolled = FWindowState == kwsRollup;
        // Ks points down while the window is open, Mp up.
        bool down = KsFamily ? !rolled : rolled;
        int middle = (r.left + r.right) / 2;
        POINT points[3];
        if (down) {
            points[0] = POINT{r.left, r.top};
            points[1] = POINT{r.right, r.top};
            points[2] = POINT{middle, r.bottom};
        } else {
            points[0] = POINT{r.left, r.bottom};
            points[1] = POINT{r.right, r.bottom};
            points[2] = POINT{middle, r.top};
        }
        buffer->FillPolygon(points, 3, KColor(clBlack, 255));
        break;
    }
    case kbiTray:
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | push);
        InflateRect(&r, -5, -5);
        OffsetRect(&r, 0, 2);
        if (pressed) OffsetRect(&r, 1, 1);
        buffer->FillEllipse(r, KColor(clBlack, 255));
        break;
    }
}

template <class F>
void TSkinForm<F>::PaintClientArea(Bitmap* buffer)
{
    TWinControl* control = this->HookedControl();
    if (!control || !buffer) return;
    buffer->FillRect(GetClientRect(), KColor(control->Color(), 255));
}

// --- Composition ---------------------------------------------------------------------

template <class F>
void TSkinForm<F>::UpdateNCArea(unsigned unused)
{
    (void)unused;
    TWinControl* control = this->HookedControl();
    if (!control || !control->HandleAllocated() || !FFramePainting) return;
    if (FWindowState == kwsMaximized && IsMDIChild()) return;
    Bitmap* buffer = GetBuffer();
    if (!buffer || FFrameWidth <= 0 || FFrameHeight <= 0) return;
    if (buffer->Width() < FWindowWidth || buffer->Height() < FWindowHeight) ChangeSize();
    if (buffer->Width() < FWindowWidth || buffer->Height() < FWindowHeight) return;
    HWND window = control->Handle();
    RECT c = GetClientRect();
    const RECT strips[4] = {{0, 0, FFrameWidth, c.top},
                            {0, c.bottom, FFrameWidth, FFrameHeight},
                            {0, c.top, c.left, FFrameHeight},
                            {c.right, c.top, FFrameWidth, FFrameHeight}};
    // The screen copy holds the area under the window when the window
    // cannot move or an animation plays, else the whole screen.
    bool underWindow = KsFamily ? (!FCanMove || FAnimating) : true;
    RECT screen = WindowScreenRect();
    auto mergeStrip = [&](const RECT& strip) {
        RECT src = strip;
        if (!underWindow) OffsetRect(&src, screen.left, screen.top);
        buffer->MergeDraw(FScreenCopy, strip.left, strip.top, src);
    };

    if constexpr (MpFamily) {
        if (FDropShadow && FWindowWidth > FFrameWidth) {
            const int w = FShadowWidth;
            const TKColor shade = 0x903F3F3F;
            buffer->SetUseAlpha(false);
            for (const RECT& strip : {RECT{w, w, FFrameWidth, c.top}, RECT{w, w, c.left, FFrameHeight}}) {
                buffer->FillRect(strip, shade);
                buffer->MergeDraw(FScreenCopy, w, w, strip);
            }
            buffer->FillRect(RECT{c.right, 0, FWindowWidth, w}, F::Colors::ckTransparent);
            buffer->FillRect(RECT{c.right, w, FWindowWidth, FWindowHeight}, shade);
            buffer->FillRect(RECT{0, c.bottom, w, FWindowHeight}, F::Colors::ckTransparent);
            buffer->FillRect(RECT{w, c.bottom, FFrameWidth, FWindowHeight}, shade);
            buffer->MergeDraw(FScreenCopy, c.right, 0, RECT{c.right, 0, FWindowWidth, FWindowHeight});
            buffer->MergeDraw(FScreenCopy, 0, c.bottom, RECT{0, c.bottom, FFrameWidth, FWindowHeight});
        }
    }

    bool blend = FBlend && !(MpFamily && FUse2KFeatures);
    if (blend) {
        buffer->SetUseAlpha(true);
        PaintNCArea(buffer);
        for (const RECT& strip : strips) buffer->SetAlpha(uint8_t(FBlendValue), strip);
        for (const RECT& strip : strips) mergeStrip(strip);
    } else {
        buffer->SetUseAlpha(false);
        PaintNCArea(buffer);
    }

    if constexpr (KsFamily) {
        if (FDropShadow && (FWindowWidth > FFrameWidth || FWindowHeight > FFrameHeight)) {
            const int w = FShadowWidth;
            bool useAlpha = buffer->UseAlpha();
            buffer->SetUseAlpha(false);
            buffer->FillRect(RECT{FFrameWidth, 0, FWindowWidth, w}, KColor(clWhite, 1));
            buffer->FillRect(RECT{FFrameWidth, w, FWindowWidth - 1, FWindowHeight}, 0xB05F5F5F);
            buffer->FillRect(RECT{FWindowWidth - 1, w, FWindowWidth, FWindowHeight}, 0x707F7F7F);
            buffer->FillRect(RECT{0, FFrameHeight, w, FWindowHeight}, KColor(clWhite, 1));
            buffer->FillRect(RECT{w, FFrameHeight, FFrameWidth, FWindowHeight}, 0xB05F5F5F);
            RECT right{FFrameWidth, 0, FWindowWidth, FWindowHeight};
            RECT bottom{0, FFrameHeight, FFrameWidth, FWindowHeight};
            RECT rightSrc = right, bottomSrc = bottom;
            if (!underWindow) {
                OffsetRect(&rightSrc, screen.left, screen.top);
                OffsetRect(&bottomSrc, screen.left, screen.top);
            }
            buffer->MergeDraw(FScreenCopy, right.left, right.top, rightSrc);
            buffer->MergeDraw(FScreenCopy, bottom.left, bottom.top, bottomSrc);
            buffer->SetUseAlpha(useAlpha);
        }
    }

    // Only the border strips go to the window: the client area is the
    // form's own.
    const RECT copies[4] = {{0, 0, FWindowWidth, c.top},
                            {c.left, c.bottom, c.right, FWindowHeight},
                            {0, c.top, c.left, FWindowHeight},
                            {c.right, c.top, FWindowWidth, FWindowHeight}};
    if (FAnimationBitmap) {
        for (const RECT& r : copies) buffer->Draw(FAnimationBitmap, r.left, r.top, r);
        return;
    }
    TWindowDC dc(window, true);
    if (!dc.DC) return;
    for (const RECT& r : copies)
        if (!IsRectEmpty(&r)) buffer->Draw(dc.DC, r.left, r.top, r);
}

template <class F>
void TSkinForm<F>::ChangeSize()
{
    TWinControl* control = this->HookedControl();
    if constexpr (KsFamily) {
        // Whole steps of 50 pixels: small size changes keep the buffer.
        int w = FWindowWidth, h = FWindowHeight;
        if (FFrameBuffer && (w > FFrameBuffer->Width() || h > FFrameBuffer->Height() ||
                             FFrameBuffer->Width() - w > 50 || FFrameBuffer->Height() - h > 50))
            FFrameBuffer->SetSize((w / 50 + 1) * 50, (h / 50 + 1) * 50);
    } else {
        if (FFrameBuffer) {
            FFrameBuffer->SetSize(std::max(FWindowWidth, 1), std::max(FWindowHeight, 1));
            FFrameBuffer->Clear(F::Colors::ckTransparent);
        }
        if (Bitmap* buffer = GetBuffer()) buffer->FillRect(RECT{0, 0, FWindowWidth, FWindowHeight}, F::Colors::ckTransparent);
    }
    if (!control || !control->HandleAllocated() || FRegionBusy) return;
    HWND window = control->Handle();
    TFlagScope painting(FFramePainting, false);
    TFlagScope busy(FRegionBusy, true);
    HRGN region = GetRegion();
    if constexpr (MpFamily) {
        if (region && FDropShadow && FWindowState != kwsMaximized) {
            HRGN shadow = GetRegion();
            if (shadow) {
                OffsetRgn(shadow, FShadowWidth, FShadowWidth);
                CombineRgn(region, region, shadow, RGN_OR);
                DeleteObject(shadow);
            }
        }
    }
    // A window without a shape and a frame without one: nothing to do.
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    bool hasRegion = GetWindowRgn(window, current) != ERROR;
    DeleteObject(current);
    if (!region && !hasRegion) return;
    // The window owns the region from here on.
    SetWindowRgn(window, region, TRUE);
}

template <class F>
void TSkinForm<F>::CopyScreen(bool whole)
{
    TWinControl* control = this->HookedControl();
    if (!control) return;
    HDC screen = GetDC(nullptr);
    if (!screen) return;
    if (whole) {
        int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        if (FScreenCopy->Width() != w || FScreenCopy->Height() != h) FScreenCopy->SetSize(w, h);
        BitBlt(FScreenCopy->DC(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
    } else {
        int w = std::max(FWindowWidth, 1), h = std::max(FWindowHeight, 1);
        if (FScreenCopy->Width() != w || FScreenCopy->Height() != h) FScreenCopy->SetSize(w, h);
        // The window's top-left: its client origin less the client offset.
        POINT origin = control->ClientOrigin();
        RECT c = GetClientRect();
        BitBlt(FScreenCopy->DC(), 0, 0, w, h, screen, origin.x - c.left, origin.y - c.top, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    FScreenCopy->SetAlpha(255);
}

template <class F>
void TSkinForm<F>::CopyScreen(const RECT& r)
{
    if (!this->HookedControl() || EqualRect(&r, &FLastCopied) || FUpdating) return;
    if (!(FBlend || (FWindowState != kwsMaximized && FPrevWindowState != kwsMaximized))) {
        if (FPrevWindowState == kwsMaximized) FPrevWindowState = kwsNormal;
        return;
    }
    int w = RectW(r), h = RectH(r);
    if (w <= 0 || h <= 0) return;
    Bitmap* copy = new Bitmap();
    try {
        copy->SetSize(w, h);
        HDC screen = GetDC(nullptr);
        if (screen) {
            BitBlt(copy->DC(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
            ReleaseDC(nullptr, screen);
        }
        copy->SetAlpha(255);
        // Where the window covered the screen before, the old copy still
        // knows what lies beneath.
        RECT both;
        if (!IsRectEmpty(&FLastCopied) && FScreenCopy->Width() > 0 && IntersectRect(&both, &r, &FLastCopied)) {
            RECT src = both;
            OffsetRect(&src, -FLastCopied.left, -FLastCopied.top);
            bool useAlpha = FScreenCopy->UseAlpha();
            FScreenCopy->SetUseAlpha(false);
            FScreenCopy->Draw(copy, both.left - r.left, both.top - r.top, src);
            FScreenCopy->SetUseAlpha(useAlpha);
        }
    } catch (...) {
        copy->Free();
        throw;
    }
    FScreenCopy->Free();
    FScreenCopy = copy;
    FLastCopied = r;
}

template <class F>
void TSkinForm<F>::AnimationShow()
{
    TCustomForm* form = this->GetForm();
    if (FBlend || FShowAnimation == kaNone || !form || !form->HandleAllocated()) return;
    if (MpFamily && !GetBuffer()) return;
    HDC screen = nullptr;
    Bitmap* image = nullptr;
    TFlagScope animating(FAnimating);
    try {
        RECT target = WindowScreenRect();
        int w = std::max(FWindowWidth, 1), h = std::max(FWindowHeight, 1);
        target.right = target.left + w;
        target.bottom = target.top + h;
        if constexpr (KsFamily) {
            CopyScreen(false);
        } else {
            FLastCopied = RECT{0, 0, 0, 0};
            CopyScreen(target);
        }
        image = new Bitmap();
        image->SetSize(w, h);
        {
            // The whole window as it will look, in the active colours.
            TFlagScope active(FActiveCaption);
            if constexpr (KsFamily) {
                PaintNCArea(image);
            } else {
                // The whole composition (shadow included) goes into the
                // image instead of the window.
                FAnimationBitmap = image;
                try {
                    UpdateNCArea();
                } catch (...) {
                    FAnimationBitmap = nullptr;
                    throw;
                }
                FAnimationBitmap = nullptr;
            }
            PaintClientArea(image);
        }
        RECT c = GetClientRect();
        POINT old;
        SetViewportOrgEx(image->DC(), c.left, c.top, &old);
        form->PaintGraphicChildrenTo(image->DC());
        SetViewportOrgEx(image->DC(), old.x, old.y, nullptr);
        for (int i = 0; i < form->ControlCount(); ++i) {
            auto* child = dynamic_cast<TWinControl*>(form->Controls(i));
            if (!child || child == this->HookedControl() || !child->Visible()) continue;
            child->PaintTo(image->DC(), child->Left() + c.left, child->Top() + c.top);
        }
        image->SetAlpha(255);
        TKsAnimation kind = FShowAnimation;
        if (kind == kaRandom) kind = TKsAnimation(kaFade + std::rand() % 3);
        screen = GetDC(nullptr);
        RECT source{0, 0, w, h};
        switch (kind) {
        case kaFade:
            TSkinEffects<F>::FadeAnimation(screen, FScreenCopy, source, image, target, FShowAnimationTime);
            break;
        case kaSlide:
            TSkinEffects<F>::SlideAnimation(screen, FScreenCopy, source, image, target, FShowAnimationTime,
                                            std::rand() % 8);
            break;
        case kaRect:
            TSkinEffects<F>::RectAnimation(screen, FScreenCopy, source, image, target, FShowAnimationTime,
                                           std::rand() % 5);
            break;
        default: break;
        }
    } catch (...) {
        if (screen) ReleaseDC(nullptr, screen);
        if (image) image->Free();
        throw;
    }
    if (screen) ReleaseDC(nullptr, screen);
    image->Free();
}

// --- Moving --------------------------------------------------------------------------

template <class F>
void TSkinForm<F>::MoveWindow(int dx, int dy)
{
    TCustomForm* form = this->GetForm();
    if (!form || (dx == 0 && dy == 0)) return;
    form->SetBounds(form->Left() + dx, form->Top() + dy, form->Width(), form->Height());
}

template <class F>
void TSkinForm<F>::MoveWindow(int left, int top, int width, int height)
{
    TCustomForm* form = this->GetForm();
    if (!form) return;
    form->SetBounds(left, top, width, height);
    if constexpr (MpFamily) {
        // Paint what the move uncovered before the next step.
        if (!form->HandleAllocated()) return;
        MSG msg;
        for (int i = 0; i < 100 && PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
            DispatchMessageA(&msg);
    }
}

template <class F>
void TSkinForm<F>::MoveWindow(const RECT& r)
{
    MoveWindow(r.left, r.top, RectW(r), RectH(r));
}

// --- Messages ------------------------------------------------------------------------

template <class F>
void TSkinForm<F>::WMNCActivate(TMessage& message)
{
    FActiveCaption = message.WParam != 0;
    ChainApplicationEvents();
    UpdateNCArea();
    if constexpr (KsFamily) {
        message.Result = 1;
        this->MessageHandled();
    } else {
        if (FActiveCaption && IsMDIChild()) {
            message.Result = 0;
            return;
        }
        message.Result = FActiveCaption ? 0 : 1;
        this->MessageHandled();
    }
}

template <class F>
void TSkinForm<F>::WMNCCalcSize(TMessage& message)
{
    if (!message.LParam) return;
    // The first rectangle is the window's new place; it becomes the client
    // area inside the frame of our own.
    RECT* r = reinterpret_cast<RECT*>(message.LParam);
    RECT proposed = r[0];
    int w = RectW(proposed), h = RectH(proposed);
    if (w != FWindowWidth || h != FWindowHeight) {
        FWindowWidth = w;
        FWindowHeight = h;
        bool shadow = FDropShadow && FWindowState != kwsMaximized;
        FFrameWidth = shadow ? w - FShadowWidth : w;
        FFrameHeight = shadow ? h - FShadowWidth : h;
    }
    // Measured from the whole window: a drop shadow is not client area.
    RECT c = GetClientRect();
    int right = FWindowWidth - c.right;
    int bottom = FWindowHeight - c.bottom;
    RECT client{proposed.left + c.left, proposed.top + c.top, proposed.right - right, proposed.bottom - bottom};
    if (client.right < client.left) client.right = client.left;
    if (client.bottom < client.top) client.bottom = client.top;
    r[0] = client;
    if (message.WParam) r[1] = r[0];
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMNCPaint(TMessage& message)
{
    UpdateNCArea();
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMEraseBkgnd(TMessage& message)
{
    TWinControl* control = this->HookedControl();
    TCustomForm* form = this->GetForm();
    if (!control || !control->HandleAllocated()) return;
    // An MDI parent paints only what its client window asks for.
    if (IsMDIParent() && message.LParam != (KsFamily ? 100 : 4)) return;
    if (!FFramePainting) return;
    Bitmap* buffer = GetBuffer();
    if (!buffer) return;
    if (buffer->Width() < FWindowWidth || buffer->Height() < FWindowHeight) ChangeSize();
    RECT c = GetClientRect();
    HDC given = reinterpret_cast<HDC>(message.WParam);
    if constexpr (MpFamily) {
        // A see-through control asks for the background under it.
        if (given && F::IsBackgroundRequest(message.LParam)) {
            PaintClientArea(buffer);
            buffer->Draw(given, -c.left, -c.top);
            message.Result = 1;
            this->MessageHandled();
            return;
        }
    }
    bool ownDC = !given || (KsFamily && FPaintGraphicControls && message.LParam != 100);
    HWND window = control->Handle();
    HDC dc = ownDC ? GetDC(window) : given;
    if (!dc) return;
    try {
        PaintClientArea(buffer);
        if (FBlend && !(MpFamily && FUse2KFeatures)) {
            buffer->SetAlpha(uint8_t(FBlendValue), c);
            RECT src = c;
            if (KsFamily && FCanMove) {
                POINT origin = control->ClientOrigin();
                src = RECT{origin.x, origin.y, origin.x + RectW(c), origin.y + RectH(c)};
            }
            buffer->MergeDraw(FScreenCopy, c.left, c.top, src);
        }
        if (OnPaint && !this->Loading()) {
            TCanvas canvas;
            canvas.SetHandle(buffer->DC());
            try {
                OnPaint(this, &canvas);
            } catch (...) {
                canvas.SetHandle(nullptr);
                throw;
            }
            canvas.SetHandle(nullptr);
        }
        if (KsFamily && FPaintGraphicControls && form) {
            POINT old;
            SetViewportOrgEx(buffer->DC(), c.left, c.top, &old);
            form->PaintGraphicChildrenTo(buffer->DC());
            SetViewportOrgEx(buffer->DC(), old.x, old.y, nullptr);
        }
        buffer->Draw(dc, 0, 0, c);
    } catch (...) {
        if (ownDC) ReleaseDC(window, dc);
        throw;
    }
    if (ownDC) ReleaseDC(window, dc);
    message.Result = 1;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMPaint(TMessage& message)
{
    TWinControl* control = this->HookedControl();
    if (!control || !control->HandleAllocated()) return;
    HWND window = control->Handle();
    if (message.WParam) {
        control->Perform(WM_PAINT, message.WParam, 0);
    } else {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        try {
            control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        } catch (...) {
            EndPaint(window, &ps);
            throw;
        }
        EndPaint(window, &ps);
    }
    message.Result = 0;
    this->MessageHandled();
}

template <class F>
void TSkinForm<F>::WMWindowPosChanging(TMessage& message)
{
    auto* pos = reinterpret_cast<WINDOWPOS*>(message.LParam);
    if (!pos) return;
    bool sizeMayChange = !(pos->flags & SWP_NOSIZE);
    if (MpFamily && (pos->flags & SWP_NOSIZE) && (pos->flags & SWP_NOMOVE)) sizeMayChange = false;
    bool changed = false;
    if (sizeMayChange && (pos->cx != FWindowWidth || pos->cy != FWindowHeight)) {
        POINT maxSize = GetMaxTrackSize();
        pos->cx = std::min(pos->cx, int(maxSize.x));
        pos->cy = std::min(pos->cy, int(maxSize.y));
        if (FWindowState != kwsRollup && FWindowState != kwsMinimized) {
            POINT minSize = GetMinTrackSize();
            pos->cx = std::max(pos->cx, int(minSize.x));
            pos->cy = std::max(pos->cy, int(minSize.y));
        }
        if (pos->cx != FWindowWidth || pos->cy != FWindowHeight) {
            FWindowWidth = pos->cx;
            FWindowHeight = pos->cy;
            bool shadow = FDropShadow && FWindowState != kwsMaximized;
            FFrameWidth = shadow ? FWindowWidth - FShadowWidth : FWindowWidth;
            FFrameHeight = shadow ? FWindowHeight - FShadowWidth : FWindowHeight;
            changed = true;
        }
    }
    TWinControl* control = this->HookedControl();
    if constexpr (MpFamily) {
        if ((FBlend || FDropShadow) && control && control->HandleAllocated() && !(pos->flags & SWP_SHOWWINDOW)) {
            RECT now = WindowScreenRect();
            int x = (pos->flags & SWP_NOMOVE) ? now.left : pos->x;
            int y = (pos->flags & SWP_NOMOVE) ? now.top : pos->y;
            CopyScreen(RECT{x, y, x + FWindowWidth, y + FWindowHeight});
        }
    }
    if (changed) ChangeSize();
    if ((pos->flags & SWP_SHOWWINDOW) && control && control->HandleAllocated()) {
        if ((FBlend || FDropShadow) && !FShowing) {
            TFlagScope showing(FShowing, true);
            HWND window = control->Handle();
            if constexpr (KsFamily) {
                SetWindowRgn(window, CreateRectRgn(0, 0, 0, 0), FALSE);
                CopyScreen(FCanMove);
                SetWindowRgn(window, GetRegion(), FALSE);
            } else {
                FLastCopied = RECT{0, 0, 0, 0};
                RECT now = WindowScreenRect();
                int x = (pos->flags & SWP_NOMOVE) ? now.left : pos->x;
                int y = (pos->flags & SWP_NOMOVE) ? now.top : pos->y;
                CopyScreen(RECT{x, y, x + FWindowWidth, y + FWindowHeight});
            }
        }
        AnimationShow();
    }
    if (FBlend || FDropShadow) pos->flags |= SWP_NOCOPYBITS;
    message.Result = 0;
    this->MessageHandled();
}

template class TSkinForm<TKsFamily>;
template class TSkinForm<TMpFamily>;

// The buffered bases of every skinned control. A control paints into an
// off-screen 32-bit buffer of its own family's bitmap and copies that buffer
// to the screen whole. The base owns the buffers, sizes them in granule
// steps, repaints the buffer when it is stale, lays it over the parent's
// background when the control is transparent, blends it over that
// background at a fixed opacity when the control is blended, and turns the
// mouse-enter, mouse-leave and focus notices into flags and events.
// Descendants only override the painting steps and read the flags.
//
// The behaviour is written once, in TSkinBufferedControl over the family F
// and the framework base (TWinControl or TGraphicControl); the three named
// bases are its leaves:
//   TKsCustomControl   Ks, windowed
//   TMpCustomControl   Mp, windowed, with scroll bars of its own and its
//                      windowless children painted into its buffer
//   TMpGraphicControl  Mp, windowless, drawn on the parent's canvas
#pragma once

#include "SkinBitmap.h"
#include "SkinMessages.h"
#include "WinControl.h"

#include <initializer_list>
#include <type_traits>

class TMpCustomScrollBar;
class TMpCustomControl;

// The parts of a scroll, in the order of the system's SB_ codes.
enum TKsScrollCode {
    scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll
};
// A scroll step about to be taken; the handler may change the position.
using TKsScrollEvent = TEvent<void(TObject*, TKsScrollCode, int&)>;
enum TScrollBarKind { sbHorizontal, sbVertical };

template <class F, class Base>
class TSkinBufferedControl : public Base {
    GANTREL_CLASS(TSkinBufferedControl)

    using Bitmap = typename F::Bitmap;
    static constexpr bool Windowed = std::is_same_v<Base, TWinControl>;
    static constexpr bool KsFamily = std::is_same_v<F, TKsFamily>;

    explicit TSkinBufferedControl(TComponent* owner);
    ~TSkinBufferedControl() override;

    // The picture the screen gets, and the background it is blended over.
    Bitmap* Buffer() const { return FBuffer; }
    Bitmap* BlendBuffer() const { return FBlendBuffer; }
    int Granule() const { return FGranule; }
    // The size the buffers follow: the last given to SetBounds or to the window.
    int BoundsWidth() const { return FBoundsWidth; }
    int BoundsHeight() const { return FBoundsHeight; }
    bool NeedUpdate() const { return FNeedUpdate; }
    bool MouseIn() const { return FMouseIn; }
    // Windowed: the flag the focus notices set and clear.
    bool HasFocusFlag() const { return FFocused; }
    // Mp: the font painting uses (null in the Ks family).
    TFont* PaintFont() const { return FPaintFont; }

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool Blend() const { return FBlend; }
    void SetBlend(bool value);
    // Opacity over the background; only the low 8 bits count (256 is 0).
    int BlendValue() const { return FBlendValue; }
    void SetBlendValue(int value);

    // Sizes the buffers to the bounds in granule steps (one granule more
    // than the size rounded down; shrinking only when more than a granule is
    // spare); a resize makes the buffer stale and repaints it.
    virtual void ResizeBuffer();
    // Repaints a stale buffer: background, the control's own layers, blend.
    void UpdateBuffer();
    // Whether the owner's form frame blends its window (KM_FORMISBLEND).
    bool IsOwnerBlend();

    void Invalidate() override;
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void Dispatch(TMessage& message) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    // Descendants draw their content into the buffer. Mp: an opaque control
    // first clears it to its Color.
    virtual void PaintBuffer();
    // The control's own layers over the background (Ks: its background step
    // and then PaintBuffer).
    virtual void PaintLayers() { PaintBuffer(); }
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Windowed: the keyboard focus came or went.
    virtual void HasFocus();
    virtual void KillFocus();
    // The part of the buffer a paint copies to the screen: the control's size.
    void CopyBufferTo(HDC dc);
    // A stale buffer repainted, then copied (a paint, an erase, PaintTo).
    void PaintBufferTo(HDC dc);
    // WM_PAINT: paint on the message's context, or on the window's between
    // BeginPaint and EndPaint.
    template <class Paint>
    void PaintMessage(TMessage& message, Paint paint);
    // What a control adds once its base has handled message: a repaint for
    // the messages in repaintOn, and, when dialogCode is given, that code
    // as the answer to WM_GETDLGCODE.
    void AfterBaseDispatch(TMessage& message, std::initializer_list<UINT> repaintOn, LRESULT dialogCode = 0);

    Bitmap* FBuffer;
    Bitmap* FBlendBuffer;
    int FGranule = 30;
    bool FFocused = false;
    bool FNeedUpdate = false;
    bool FMouseIn = false;
    int FBoundsWidth = 0;
    int FBoundsHeight = 0;
    // Mp: the font painting uses, taken from Font at each repaint.
    TFont* FPaintFont = nullptr;
    // Mp windowless: set while the parent composes the control into its own
    // buffer, which has already put the parent's pixels beneath it.
    bool FParentPainting = false;
    friend class TMpCustomControl;

private:
    bool FTransparent = false;
    bool FBlend = false;
    int FBlendValue = 150;
    // A repaint under way: a see-through neighbour's background request
    // that reaches this control again copies what the buffer holds.
    bool FUpdating = false;
    // SetBounds with a negative side under way: the buffers keep their size.
    bool FNegativeSize = false;

    bool CanUpdate();
    // Steps 1-5 of ResizeBuffer; true when a buffer changed size.
    bool SizeBuffers();
    // The parent's background under the control, into bitmap.
    void PaintParentBackground(Bitmap* bitmap);
    void WindowPosChanging(TMessage& message);
};

extern template class TSkinBufferedControl<TKsFamily, TWinControl>;
extern template class TSkinBufferedControl<TMpFamily, TWinControl>;
extern template class TSkinBufferedControl<TMpFamily, TGraphicControl>;

// The Ks windowed base.
class TKsCustomControl : public TSkinBufferedControl<TKsFamily, TWinControl> {
    GANTREL_CLASS(TKsCustomControl)

    explicit TKsCustomControl(TComponent* owner);

protected:
    // Transparent: the parent's background is in the buffer already; opaque:
    // the buffer is cleared to Color.
    virtual void PaintBackground();
    void PaintLayers() override;
    // What PaintTo draws of the control: its buffer.
    void PaintWindow(HDC dc) override;
};

// The Mp windowed base: the common buffer, its own scroll bars, and its
// windowless children composed into its buffer.
class TMpCustomControl : public TSkinBufferedControl<TMpFamily, TWinControl> {
    GANTREL_CLASS(TMpCustomControl)

    explicit TMpCustomControl(TComponent* owner);

    // Invalidate, then run every paint waiting in the thread's queue.
    void ImmediatelyUpdate();
    // The font the next paint uses (the paint after it takes Font again).
    void SetFont(TFont* font);

    TScrollStyle ScrollBars() const { return FScrollBars; }
    // A change re-creates the window, which makes the bars anew.
    void SetScrollBars(TScrollStyle style);
    TMpCustomScrollBar* HorzScrollBar() const { return FHorzScrollBar; }
    TMpCustomScrollBar* VertScrollBar() const { return FVertScrollBar; }
    // Bar 0: the horizontal one, 1: the vertical one; 0 where it is missing.
    int GetScrollPos(int bar);
    void SetScrollPos(int bar, int pos, bool redraw);
    void GetScrollRange(int bar, int& min, int& max);
    void SetScrollRange(int bar, int min, int max, bool redraw);

    // The parent's background under the control and the parent's windowless
    // children, into bitmap.
    void PaintOwnerBackground(TKsMediaBitmap* bitmap);
    // The windowless children into dc (the buffer's context): Mp ones are
    // composed from this buffer, the others drawn over a copy of it.
    void PaintControls(HDC dc);

    void ResizeBuffer() override;
    void Dispatch(TMessage& message) override;
    TPersistent* PropertyObject(const std::string& name) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void PaintLayers() override;
    void PaintWindow(HDC dc) override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    virtual TMpCustomScrollBar* CreateScrollBar();
    virtual int GetScrollBarHeight();
    void DoHScroll(TObject* sender, TKsScrollCode code, int& pos);
    void DoVScroll(TObject* sender, TKsScrollCode code, int& pos);

private:
    TScrollStyle FScrollBars = ssNone;
    TMpCustomScrollBar* FHorzScrollBar = nullptr;
    TMpCustomScrollBar* FVertScrollBar = nullptr;
    // A scroll message sent by one of the bars is under way.
    bool FBarScrolling = false;
    void InitScrollBars();
    TMpCustomScrollBar* Bar(int bar) const;
    RECT BarClientRect();
    void LayoutScrollBars();
    void Scrolled(UINT msg, TMpCustomScrollBar* bar, TKsScrollCode code, int& pos);
};

// The Mp windowless base: the same buffer, drawn on the parent's canvas.
class TMpGraphicControl : public TSkinBufferedControl<TMpFamily, TGraphicControl> {
    GANTREL_CLASS(TMpGraphicControl)

    explicit TMpGraphicControl(TComponent* owner);
    bool ParentPainting() const { return FParentPainting; }
    // The font the next paint uses (the paint after it takes Font again).
    void SetFont(TFont* font);

protected:
    void Paint() override;
};

// The windowed base of each family, for controls written once over F.
template <class F> struct TSkinWindowedBase;
template <> struct TSkinWindowedBase<TKsFamily> { using Type = TKsCustomControl; };
template <> struct TSkinWindowedBase<TMpFamily> { using Type = TMpCustomControl; };
template <class F> using TSkinWindowedControl = typename TSkinWindowedBase<F>::Type;

#include "BufferedControls.h"

#include "FlagScope.h"
#include "Reader.h"
#include "ScrollBars.h"
#include "SkinUtils.h"

#include <algorithm>

// --- The shared base ----------------------------------------------------------

template <class F, class Base>
TSkinBufferedControl<F, Base>::TSkinBufferedControl(TComponent* owner)
    : Base(owner), FBuffer(new Bitmap), FBlendBuffer(new Bitmap)
{
    if constexpr (!KsFamily) FPaintFont = new TFont;
    this->ControlStyle |= csOpaque;
    if constexpr (Windowed) this->DoubleBuffered = false;
    this->SetColor(clBtnFace);
    // Sized here without a repaint: the descendants' painting steps do not
    // exist yet. The first paint finds the buffer stale.
    Base::SetBounds(0, 0, 100, 30);
    FBoundsWidth = this->Width();
    FBoundsHeight = this->Height();
    SizeBuffers();
    FNeedUpdate = true;
}

template <class F, class Base>
TSkinBufferedControl<F, Base>::~TSkinBufferedControl()
{
    this->BeginDestroy();
    delete FPaintFont;
    FPaintFont = nullptr;
    delete FBlendBuffer;
    FBlendBuffer = nullptr;
    delete FBuffer;
    FBuffer = nullptr;
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    Invalidate();
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::SetBlend(bool value)
{
    if (value == FBlend) return;
    FBlend = value;
    Invalidate();
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::SetBlendValue(int value)
{
    if (value == FBlendValue) return;
    FBlendValue = value;
    Invalidate();
}

template <class F, class Base>
bool TSkinBufferedControl<F, Base>::SizeBuffers()
{
    const int w = FBoundsWidth, h = FBoundsHeight, g = FGranule;
    if (!FBuffer || w < 0 || h < 0 || g == 0) return false;
    if (Windowed && KsFamily && (w == 0 || h == 0)) return false;
    // Always one granule more than the size rounded down: 30 gives 60.
    const int tw = g * (w / g + 1), th = g * (h / g + 1);
    const int oldWidth = FBuffer->Width(), oldHeight = FBuffer->Height();
    const int oldBlendWidth = FBlendBuffer->Width(), oldBlendHeight = FBlendBuffer->Height();
    if (this->ComponentState() & csDesigning) {
        FBuffer->SetSize(tw, th);
        if (FBlend) FBlendBuffer->SetSize(FBuffer->Width(), FBuffer->Height());
    } else {
        if (FBuffer->Width() < w || FBuffer->Height() < h) FBuffer->SetSize(tw, th);
        // Shrinks only when more than a granule is spare.
        if (FBuffer->Width() > w + g || FBuffer->Height() > h + g) FBuffer->SetSize(tw, th);
        if (FBlend && (FBlendBuffer->Width() != FBuffer->Width() || FBlendBuffer->Height() != FBuffer->Height()))
            FBlendBuffer->SetSize(FBuffer->Width(), FBuffer->Height());
    }
    return FBuffer->Width() != oldWidth || FBuffer->Height() != oldHeight || FBlendBuffer->Width() != oldBlendWidth ||
           FBlendBuffer->Height() != oldBlendHeight;
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::ResizeBuffer()
{
    const bool designing = (this->ComponentState() & csDesigning) != 0;
    if (!SizeBuffers() && !designing) return;
    if (!FBuffer) return;
    FNeedUpdate = true;
    UpdateBuffer();
}

template <class F, class Base>
bool TSkinBufferedControl<F, Base>::CanUpdate()
{
    const int w = FBoundsWidth, h = FBoundsHeight;
    if (FUpdating || !FBuffer || FBuffer->Empty() || w <= 0 || h <= 0) return false;
    // Nothing shows before the window exists, nor while it or a parent goes
    // (a request then would make windows anew); the first paint catches up.
    for (const TControl* c = this; c; c = c->Parent())
        if (c->Destroying() || (c->ControlState & csDestroyingHandle)) return false;
    if constexpr (Windowed) {
        if (!this->HandleAllocated()) return false;
    } else {
        if (!this->Parent() || !this->Parent()->HandleAllocated()) return false;
    }
    if constexpr (KsFamily) {
        return FNeedUpdate;
    } else {
        const bool designing = (this->ComponentState() & csDesigning) != 0;
        if (!this->Parent() || !(this->Visible() || designing)) return false;
        if constexpr (Windowed)
            // A control on a blended form repaints even when its buffer is current.
            return designing || FNeedUpdate || IsOwnerBlend();
        else
            return FNeedUpdate;
    }
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::PaintParentBackground(Bitmap* bitmap)
{
    if constexpr (KsFamily)
        TSkinUtils<F>::PaintBackground(this, bitmap->DC(), IsOwnerBlend());
    else if constexpr (Windowed)
        static_cast<TMpCustomControl*>(static_cast<TControl*>(this))->PaintOwnerBackground(bitmap);
    else
        TMpUtils::PaintGraphicBackground(this, bitmap->DC(), false);
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::UpdateBuffer()
{
    if (!CanUpdate()) return;
    FUpdating = true;
    try {
        if (FPaintFont) FPaintFont->Assign(this->Font());
        if (!FBlend) {
            // Beneath a windowless control its Mp parent has put its own pixels.
            if (FTransparent && !FParentPainting) PaintParentBackground(FBuffer);
            PaintLayers();
        } else {
            // A blend switched on after the last resize finds its buffer sized.
            if (FBlendBuffer->Width() != FBuffer->Width() || FBlendBuffer->Height() != FBuffer->Height())
                FBlendBuffer->SetSize(FBuffer->Width(), FBuffer->Height());
            PaintParentBackground(FBlendBuffer);
            GdiFlush();
            FBlendBuffer->SetAlpha(255);
            if (FTransparent) FBlendBuffer->Draw(FBuffer, 0, 0);
            PaintLayers();
            GdiFlush();
            FBuffer->SetAlpha(uint8_t(FBlendValue & 0xFF));
            FBuffer->MergeDraw(FBlendBuffer, 0, 0, RECT{0, 0, FBuffer->Width(), FBuffer->Height()});
        }
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
    FNeedUpdate = false;
}

template <class F, class Base>
bool TSkinBufferedControl<F, Base>::IsOwnerBlend()
{
    if (this->ComponentState() & csDesigning) return false;
    auto* owner = dynamic_cast<TWinControl*>(this->Owner());
    // A window not made yet cannot belong to a blended frame.
    if (!owner || !owner->HandleAllocated()) return false;
    return SendMessageA(owner->Handle(), KM_FORMISBLEND, 0, 0) != 0;
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::PaintBuffer()
{
    if constexpr (!KsFamily)
        if (!FTransparent) FBuffer->Clear(KColor(this->Color(), 255));
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::CopyBufferTo(HDC dc)
{
    if (!FBuffer || FBuffer->Empty() || !dc) return;
    FBuffer->Draw(dc, 0, 0, RECT{0, 0, std::min(this->Width(), FBuffer->Width()), std::min(this->Height(), FBuffer->Height())});
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::PaintBufferTo(HDC dc)
{
    UpdateBuffer();
    CopyBufferTo(dc);
}

template <class F, class Base>
template <class Paint>
void TSkinBufferedControl<F, Base>::PaintMessage(TMessage& m, Paint paint)
{
    PAINTSTRUCT ps;
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    const bool own = dc == nullptr;
    if (own) dc = BeginPaint(this->Handle(), &ps);
    try {
        paint(dc);
    } catch (...) {
        if (own) EndPaint(this->Handle(), &ps);
        throw;
    }
    if (own) EndPaint(this->Handle(), &ps);
    m.Result = 0;
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::Invalidate()
{
    if (this->ComponentState() & csDesigning) {
        ResizeBuffer();
    } else {
        FNeedUpdate = true;
        if constexpr (KsFamily) UpdateBuffer();
    }
    Base::Invalidate();
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::SetBounds(int left, int top, int width, int height)
{
    // A negative side is ignored by the buffers. The framework makes it 0,
    // which the window's own resize must not take for a size either.
    TFlagScope negative(FNegativeSize, width < 0 || height < 0);
    Base::SetBounds(left, top, width, height);
    // What the framework made of the request: negative sides are 0, the
    // constraints are kept.
    FBoundsWidth = this->Width();
    FBoundsHeight = this->Height();
    if (!FNegativeSize) ResizeBuffer();
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::Loaded()
{
    Base::Loaded();
    if constexpr (Windowed)
        ResizeBuffer();
    else
        Invalidate();
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::MouseEnter()
{
    FMouseIn = true;
    if (this->OnMouseEnter) this->OnMouseEnter(this);
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::MouseLeave()
{
    FMouseIn = false;
    if (this->OnMouseLeave) this->OnMouseLeave(this);
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::HasFocus()
{
    FFocused = true;
    Invalidate();
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::KillFocus()
{
    FFocused = false;
    Invalidate();
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::WindowPosChanging(TMessage& m)
{
    auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
    if (pos && !(pos->flags & SWP_NOSIZE)) {
        FBoundsWidth = pos->cx;
        FBoundsHeight = pos->cy;
        const int width = FBuffer->Width(), height = FBuffer->Height();
        if (!FNegativeSize) ResizeBuffer();
        // Ks repaints for the new size; a resized buffer has been already.
        if constexpr (KsFamily) {
            if (FBuffer->Width() == width && FBuffer->Height() == height) {
                FNeedUpdate = true;
                UpdateBuffer();
            }
        }
    }
    if (pos && (this->ComponentState() & csDesigning) && FBlend) pos->flags |= SWP_NOCOPYBITS;
    Base::Dispatch(m);
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_MOUSEENTER:
        MouseEnter();
        return;
    case CM_MOUSELEAVE:
        MouseLeave();
        return;
    }
    if constexpr (Windowed && KsFamily) {
        switch (m.Msg) {
        case WM_PAINT:
            PaintMessage(m, [this](HDC dc) {
                // Invalidate has repainted the buffer already; only a stale
                // one (never painted yet) is brought up to date here.
                PaintBufferTo(dc);
                this->PaintControls(dc, nullptr);
            });
            return;
        case WM_SETFOCUS:
            HasFocus();
            break;
        case WM_KILLFOCUS:
            KillFocus();
            break;
        case KM_UPDATETRANSCONTROL:
            m.Result = 0;
            return;
        }
    }
    if constexpr (Windowed) {
        switch (m.Msg) {
        case WM_ERASEBKGND:
            if (m.WParam && FBuffer) PaintBufferTo(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return;
        case WM_WINDOWPOSCHANGING:
            WindowPosChanging(m);
            return;
        }
    }
    Base::Dispatch(m);
}

template <class F, class Base>
void TSkinBufferedControl<F, Base>::AfterBaseDispatch(TMessage& m, std::initializer_list<UINT> repaintOn,
                                                      LRESULT dialogCode)
{
    if (dialogCode && m.Msg == WM_GETDLGCODE) m.Result = dialogCode;
    if (std::find(repaintOn.begin(), repaintOn.end(), m.Msg) != repaintOn.end()) Invalidate();
}

template <class F, class Base>
bool TSkinBufferedControl<F, Base>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Blend") SetBlend(reader.ReadBool());
    else if (name == "BlendValue") SetBlendValue(reader.ReadInteger());
    else if (name == "Transparent") SetTransparent(reader.ReadBool());
    else if constexpr (!KsFamily) {
        // Accepted from form resources and dropped: the framework has no drag
        // and drop or right-to-left layout for them to drive.
        static const TEnumNames bidi = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                        "bdRightToLeftReadingOnly"};
        static const TEnumNames kinds = {"dkDrag", "dkDock"};
        static const TEnumNames modes = {"dmManual", "dmAutomatic"};
        if (name == "BiDiMode") reader.ReadEnum(bidi);
        else if (name == "ParentBiDiMode") reader.ReadBool();
        else if (name == "DragCursor" && reader.Value().Kind == TValueKind::Integer) reader.ReadInteger();
        else if (name == "DragCursor") reader.ReadIdent();
        else if (name == "DragKind") reader.ReadEnum(kinds);
        else if (name == "DragMode") reader.ReadEnum(modes);
        else return Base::ReadProperty(name, reader);
        return true;
    } else {
        return Base::ReadProperty(name, reader);
    }
    return true;
}

template class TSkinBufferedControl<TKsFamily, TWinControl>;
template class TSkinBufferedControl<TMpFamily, TWinControl>;
template class TSkinBufferedControl<TMpFamily, TGraphicControl>;

// --- Ks windowed ----------------------------------------------------------------

TKsCustomControl::TKsCustomControl(TComponent* owner) : TSkinBufferedControl(owner) {}

void TKsCustomControl::PaintBackground()
{
    if (!Transparent()) FBuffer->Clear(KColor(Color(), 255));
}

void TKsCustomControl::PaintWindow(HDC dc)
{
    PaintBufferTo(dc);
}

void TKsCustomControl::PaintLayers()
{
    PaintBackground();
    PaintBuffer();
}

// --- Mp windowed ----------------------------------------------------------------

TMpCustomControl::TMpCustomControl(TComponent* owner) : TSkinBufferedControl(owner) {}

void TMpCustomControl::PaintWindow(HDC dc)
{
    PaintBufferTo(dc);
}

void TMpCustomControl::ImmediatelyUpdate()
{
    Invalidate();
    MSG msg;
    // Bounded: a window that never validates would otherwise hold us here.
    for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE); ++i) {
        const BOOL got = GetMessageA(&msg, nullptr, WM_PAINT, WM_PAINT);
        if (got == -1) break;
        if (got == 0) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        DispatchMessageA(&msg);
    }
}

void TMpCustomControl::SetFont(TFont* font)
{
    FPaintFont->Assign(font);
}

void TMpCustomControl::SetScrollBars(TScrollStyle style)
{
    if (style == FScrollBars) return;
    FScrollBars = style;
    RecreateWnd();
}

TMpCustomScrollBar* TMpCustomControl::Bar(int bar) const
{
    return bar == 0 ? FHorzScrollBar : bar == 1 ? FVertScrollBar : nullptr;
}

int TMpCustomControl::GetScrollPos(int bar)
{
    TMpCustomScrollBar* b = Bar(bar);
    return b ? b->Position() : 0;
}

void TMpCustomControl::SetScrollPos(int bar, int pos, bool redraw)
{
    if (TMpCustomScrollBar* b = Bar(bar)) b->SetPosition(pos);
    if (redraw) Invalidate();
}

void TMpCustomControl::GetScrollRange(int bar, int& min, int& max)
{
    TMpCustomScrollBar* b = Bar(bar);
    min = b ? b->Min() : 0;
    max = b ? b->Max() : 0;
}

void TMpCustomControl::SetScrollRange(int bar, int min, int max, bool redraw)
{
    if (TMpCustomScrollBar* b = Bar(bar)) {
        b->SetMin(min);
        b->SetMax(max);
    }
    if (redraw) Invalidate();
}

void TMpCustomControl::PaintOwnerBackground(TKsMediaBitmap* bitmap)
{
    MpUtils::PaintBackground(this, bitmap->DC(), false);
}

void TMpCustomControl::PaintControls(HDC dc)
{
    const bool designing = (ComponentState() & csDesigning) != 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        if (auto* mp = dynamic_cast<TMpGraphicControl*>(child)) {
            // Drawn over this buffer's own pixels: no background request.
            if (!mp->Visible() && !designing) continue;
            const RECT r = mp->BoundsRect();
            mp->FParentPainting = true;
            try {
                FBuffer->Draw(mp->FBuffer, 0, 0, r);
                mp->FNeedUpdate = true;
                mp->UpdateBuffer();
                if (!mp->FNeedUpdate) mp->FBuffer->Draw(dc, r.left, r.top, mp->ClientRect());
            } catch (...) {
                mp->FParentPainting = false;
                throw;
            }
            mp->FParentPainting = false;
        } else if (dynamic_cast<TGraphicControl*>(child)) {
            if (!child->Visible() && !designing) continue;
            const RECT r = child->BoundsRect();
            if (!RectVisible(dc, &r)) continue;
            const int w = r.right - r.left, h = r.bottom - r.top;
            if (w > 0 && h > 0) {
                TKsMediaBitmap beneath;
                beneath.SetSize(w, h);
                beneath.Clear(MpColors::ckRed);
                FBuffer->Draw(&beneath, 0, 0, r);
                beneath.Draw(dc, r.left, r.top);
            }
            PaintControl(dc, child);
        }
    }
}

RECT TMpCustomControl::BarClientRect()
{
    if (Parent() && HandleAllocated()) {
        RECT r;
        GetClientRect(Handle(), &r);
        return r;
    }
    return RECT{0, 0, FBoundsWidth, FBoundsHeight};
}

void TMpCustomControl::LayoutScrollBars()
{
    if (!FHorzScrollBar && !FVertScrollBar) return;
    const RECT client = BarClientRect();
    if (FHorzScrollBar) {
        const int h = FHorzScrollBar->Height();
        FHorzScrollBar->SetBounds(client.left, client.bottom - h,
                                  client.right - client.left - (FVertScrollBar ? FVertScrollBar->Width() : 0), h);
    }
    if (FVertScrollBar) {
        const int w = FVertScrollBar->Width();
        FVertScrollBar->SetBounds(client.right - w, client.top, w,
                                  client.bottom - client.top - (FHorzScrollBar ? FHorzScrollBar->Height() : 0));
    }
}

void TMpCustomControl::ResizeBuffer()
{
    if (FBuffer && FBoundsWidth >= 0 && FBoundsHeight >= 0) LayoutScrollBars();
    TSkinBufferedControl::ResizeBuffer();
}

void TMpCustomControl::PaintLayers()
{
    PaintBuffer();
    if (!Blend() && FHorzScrollBar && FVertScrollBar) {
        // The square where the two bars meet.
        const RECT client = BarClientRect();
        const int s = GetScrollBarHeight();
        FBuffer->FillRect(RECT{client.right - s, client.bottom - s, client.right, client.bottom}, KColor(Color(), 255));
    }
}

void TMpCustomControl::CreateParams(TCreateParams& params)
{
    TSkinBufferedControl::CreateParams(params);
    // The bars are our own windowless controls, not the window's.
    params.Style &= ~DWORD(WS_HSCROLL | WS_VSCROLL);
}

void TMpCustomControl::CreateWnd()
{
    TSkinBufferedControl::CreateWnd();
    InitScrollBars();
}

TMpCustomScrollBar* TMpCustomControl::CreateScrollBar()
{
    return new TMpCustomScrollBar(this);
}

int TMpCustomControl::GetScrollBarHeight()
{
    return GetSystemMetrics(SM_CYVTHUMB);
}

void TMpCustomControl::InitScrollBars()
{
    if (FHorzScrollBar) {
        TMpCustomScrollBar* old = FHorzScrollBar;
        FHorzScrollBar = nullptr;
        old->Free();
    }
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
        TMpCustomScrollBar* bar = CreateScrollBar();
        bar->SetParent(this);
        bar->SetKind(sbHorizontal);
        bar->SetHeight(GetScrollBarHeight());
        bar->SetVisible(true);
        bar->SetTransparent(false);
        bar->OnScroll = MakeEvent<&TMpCustomControl::DoHScroll>(this);
        FHorzScrollBar = bar;
    }
    if (FVertScrollBar) {
        TMpCustomScrollBar* old = FVertScrollBar;
        FVertScrollBar = nullptr;
        old->Free();
    }
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) {
        TMpCustomScrollBar* bar = CreateScrollBar();
        bar->SetParent(this);
        bar->SetKind(sbVertical);
        bar->SetWidth(GetScrollBarHeight());
        bar->SetVisible(true);
        bar->SetTransparent(false);
        bar->OnScroll = MakeEvent<&TMpCustomControl::DoVScroll>(this);
        FVertScrollBar = bar;
    }
    LayoutScrollBars();
}

void TMpCustomControl::Scrolled(UINT msg, TMpCustomScrollBar* bar, TKsScrollCode code, int& pos)
{
    FBarScrolling = true;
    try {
        SendMessageA(Handle(), msg, WPARAM(code), LPARAM(pos));
    } catch (...) {
        FBarScrolling = false;
        throw;
    }
    FBarScrolling = false;
    if (bar) pos = bar->Position();
}

void TMpCustomControl::DoHScroll(TObject*, TKsScrollCode code, int& pos)
{
    Scrolled(WM_HSCROLL, FHorzScrollBar, code, pos);
}

void TMpCustomControl::DoVScroll(TObject*, TKsScrollCode code, int& pos)
{
    Scrolled(WM_VSCROLL, FVertScrollBar, code, pos);
}

void TMpCustomControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_PAINT:
        PaintMessage(m, [this](HDC dc) {
            if (!FBuffer || FBuffer->Empty()) return;
            // Every paint repaints the buffer, the windowless children in it.
            FNeedUpdate = true;
            UpdateBuffer();
            PaintControls(FBuffer->DC());
            CopyBufferTo(dc);
        });
        return;
    case CM_ENTER:
        HasFocus();
        break;
    case CM_EXIT:
        KillFocus();
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Our own bars' notices carry a position, not a window to reflect to.
        if (FBarScrolling) {
            DefaultHandler(m);
            return;
        }
        break;
    }
    TSkinBufferedControl::Dispatch(m);
}

TPersistent* TMpCustomControl::PropertyObject(const std::string& name)
{
    if (name == "Constraints") return Constraints();
    return TSkinBufferedControl::PropertyObject(name);
}

bool TMpCustomControl::ReadProperty(const std::string& name, TReader& reader)
{
    return TSkinBufferedControl::ReadProperty(name, reader);
}

// --- Mp windowless ----------------------------------------------------------------

TMpGraphicControl::TMpGraphicControl(TComponent* owner) : TSkinBufferedControl(owner) {}

void TMpGraphicControl::SetFont(TFont* font)
{
    FPaintFont->Assign(font);
}

void TMpGraphicControl::Paint()
{
    if (!FBuffer || FBuffer->Empty()) return;
    FNeedUpdate = true;
    UpdateBuffer();
    if (!FNeedUpdate) CopyBufferTo(Canvas()->Handle());
}

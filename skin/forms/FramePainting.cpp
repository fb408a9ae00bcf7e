// The form frame's geometry, painting and composition.
#include "Frames.h"

#include "Application.h"

template <class F>
RECT TSkinForm<F>::GetButtonRect(TKsBorderIcon icon) { (void)icon; return RECT{0, 0, 0, 0}; }
template <class F>
RECT TSkinForm<F>::GetClientRect() { return GetNCRect(); }
template <class F>
RECT TSkinForm<F>::GetRollupRect() { return GetNCRect(); }
template <class F>
RECT TSkinForm<F>::GetMinimizedRect() { return GetNCRect(); }
template <class F>
RECT TSkinForm<F>::GetMaximizedRect() { return GetNCRect(); }
template <class F>
POINT TSkinForm<F>::GetMaxTrackSize() { return POINT{0, 0}; }
template <class F>
POINT TSkinForm<F>::GetMinTrackSize() { return POINT{150, 40}; }
template <class F>
HRGN TSkinForm<F>::GetRegion() { return nullptr; }
template <class F>
void TSkinForm<F>::PaintNCArea(Bitmap* buffer) { (void)buffer; }
template <class F>
void TSkinForm<F>::PaintClientArea(Bitmap* buffer) { (void)buffer; }
template <class F>
void TSkinForm<F>::ChangeSize() {}
template <class F>
int TSkinForm<F>::GetCaptionHeight() const { return 0; }
template <class F>
RECT TSkinForm<F>::GetCaptionRect() { return RECT{0, 0, 0, 0}; }
template <class F>
int TSkinForm<F>::GetBorderWidth() const { return 0; }
template <class F>
void TSkinForm<F>::PaintCaption(Bitmap* buffer) { (void)buffer; }
template <class F>
void TSkinForm<F>::PaintCaptionButton(Bitmap* buffer, const RECT& rect, TKsBorderIcon kind, bool pressed) { (void)buffer; (void)rect; (void)kind; (void)pressed; }
template <class F>
void TSkinForm<F>::UpdateNCArea(unsigned unused) { (void)unused; }
template <class F>
void TSkinForm<F>::CopyScreen(bool whole) { (void)whole; }
template <class F>
void TSkinForm<F>::CopyScreen(const RECT& r) { (void)r; }
template <class F>
void TSkinForm<F>::AnimationShow() {}
template <class F>
void TSkinForm<F>::MoveWindow(int dx, int dy) { (void)dx; (void)dy; }
template <class F>
void TSkinForm<F>::MoveWindow(int left, int top, int width, int height) { if (auto* f = this->GetForm()) f->SetBounds(left, top, width, height); }
template <class F>
void TSkinForm<F>::MoveWindow(const RECT& r) { MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top); }
template <class F>
RECT TSkinForm<F>::WindowScreenRect() const { RECT r{0, 0, 0, 0}; return r; }
template <class F>
void TSkinForm<F>::WMNCActivate(TMessage& message) { (void)message; }
template <class F>
void TSkinForm<F>::WMNCCalcSize(TMessage& message) { (void)message; }
template <class F>
void TSkinForm<F>::WMNCPaint(TMessage& message) { (void)message; }
template <class F>
void TSkinForm<F>::WMEraseBkgnd(TMessage& message) { (void)message; }
template <class F>
void TSkinForm<F>::WMPaint(TMessage& message) { (void)message; }
template <class F>
void TSkinForm<F>::WMWindowPosChanging(TMessage& message) { (void)message; }

template class TSkinForm<TKsFamily>;
template class TSkinForm<TMpFamily>;

#include "ItemViews.h"

#include "SkinUtils.h"

#include <windowsx.h>

#include <algorithm>

template <class F>
POINT TSkinItemView<F>::LastMousePos = {-1, -1};

template <class F>
TSkinItemView<F>::TSkinItemView(TComponent* owner, bool isBar, TKsViewOrientation orientation)
    : TComponent(owner), IsBar(isBar), Orientation(orientation)
{
    ChildView = nullptr;
    static unsigned nextSerial = 0;
    FSerial = ++nextSerial;
    LiveViews()[this] = FSerial;
}

template <class F>
TSkinItemView<F>::~TSkinItemView()
{
    BeginDestroy();
    LiveViews().erase(this);
    // A level going away while its loop runs ends the whole menu; the
    // loops still on the stack see that this one is gone.
    if (InLoop) CloseChain(this, false);
    // Neither neighbour keeps a pointer to a level that is gone.
    if (ParentView && ParentView->ChildView == Self()) ParentView->ChildView = nullptr;
    if (ChildView && ChildView->ParentView == Self()) ChildView->ParentView = nullptr;
}

template <class F>
void TSkinItemView<F>::SetSize(POINT)
{
}

template <class F>
void TSkinItemView<F>::SetPosition(POINT)
{
}

template <class F>
void TSkinItemView<F>::Invalidate()
{
}

template <class F>
void TSkinItemView<F>::Paint(BitmapT* bitmap)
{
    if (!Item) return;
    for (const TItemPlace& place : Layout())
        place.Item->DrawItem(bitmap, Self(), place.Rect, place.Item == Selected, !InLoop);
}

template <class F>
void TSkinItemView<F>::CalcSize()
{
    if (!Item) return;
    POINT total = {0, 0};
    for (int i = 0; i < Item->Count(); ++i) {
        ItemT* child = Item->GetItem(i);
        if (!child->Visible()) continue;
        int w = 0, h = 0;
        child->CalcSize(Bitmap, Self(), w, h);
        if (Orientation == voVertical) {
            total.x = std::max<LONG>(total.x, w);
            total.y += h;
        } else {
            total.x += w;
            total.y = std::max<LONG>(total.y, h);
        }
    }
    SetSize(total);
}

template <class F>
std::vector<typename TSkinItemView<F>::TItemPlace> TSkinItemView<F>::Layout()
{
    // Each visible child measured once; a vertical level is as wide as its
    // widest item.
    std::vector<TItemPlace> places;
    if (!Item) return places;
    std::vector<SIZE> sizes;
    int widest = 0;
    for (int i = 0; i < Item->Count(); ++i) {
        ItemT* child = Item->GetItem(i);
        if (!child->Visible()) continue;
        int w = 0, h = 0;
        child->CalcSize(Bitmap, Self(), w, h);
        places.push_back({child, {0, 0, 0, 0}});
        sizes.push_back({w, h});
        widest = std::max(widest, w);
    }
    const int W = Host ? Host->Width() : 0, H = Host ? Host->Height() : 0;
    int position = Orientation == voVertical ? Origin.y : Origin.x;
    for (size_t i = 0; i < places.size(); ++i) {
        const int w = sizes[i].cx, h = sizes[i].cy;
        RECT& r = places[i].Rect;
        if (Orientation == voVertical) {
            r = {Origin.x, position, Origin.x + widest, position + h};
            position += h;
        } else {
            r = {position, Origin.y, position + w, Origin.y + h};
            position += w;
        }
        // The MDI child buttons sit against the host's right edge.
        switch (places[i].Item->MDIKind()) {
        case mikNone: break;
        case mikClose: r = {W - w, 0, W, H}; break;
        case mikRestore: r = {W - 2 * w, 0, W - w, H}; break;
        case mikMinimize: r = {W - 3 * w, 0, W - 2 * w, H}; break;
        default: r = {0, 0, w, h}; break;
        }
    }
    return places;
}

template <class F>
RECT TSkinItemView<F>::GetItemRect(ItemT* item)
{
    if (item && Item && item->Visible())
        for (const TItemPlace& place : Layout())
            if (place.Item == item) return place.Rect;
    return {0, 0, 0, 0};
}

template <class F>
void TSkinItemView<F>::UpdateHover(POINT screenPoint)
{
    if (!MessageWindow || !Item) return;
    const POINT p = MessageWindow->ScreenToClient(screenPoint);
    if (!InLoop) Selected = nullptr;
    for (const TItemPlace& place : Layout()) {
        if (PtInRect(&place.Rect, p)) {
            Selected = place.Item;
            break;
        }
    }
    Invalidate();
}

template <class F>
bool TSkinItemView<F>::CheckDropDown()
{
    return Selected && Selected->Count() > 0;
}

template <class F>
bool TSkinItemView<F>::Popup()
{
    if (!CheckDropDown()) return false;
    RECT r = GetItemRect(Selected);
    POINT origin = IsBar ? POINT{r.left, r.bottom} : POINT{r.right, r.top};
    if (MessageWindow) {
        origin = MessageWindow->ClientToScreen(origin);
        const POINT topLeft = MessageWindow->ClientToScreen(POINT{r.left, r.top});
        OffsetRect(&r, topLeft.x - r.left, topLeft.y - r.top);
    }
    DroppedDown = true;
    Selected->Popup(Self(), origin.x, origin.y, r);
    return true;
}

template <class F>
void TSkinItemView<F>::SelectNext()
{
    Step(1);
}

template <class F>
void TSkinItemView<F>::SelectPrev()
{
    Step(-1);
}

template <class F>
void TSkinItemView<F>::Step(int direction)
{
    if (!Item || Item->Count() == 0) return;
    const int n = Item->Count();
    int index = Selected ? Item->IndexOf(Selected) : -1;
    // No selection counts as before the first (and, backwards, as after
    // the last).
    if (index < 0) index = direction > 0 ? -1 : n;
    ItemT* found = nullptr;
    for (int step = 0; step < n && !found; ++step) {
        index = (index + direction + n) % n;
        ItemT* child = Item->GetItem(index);
        if (child->Visible() && !child->IsSeparator()) found = child;
    }
    Selected = found;
    Invalidate();
    if (DroppedDown) Popup();
}

template <class F>
void TSkinItemView<F>::CloseAll()
{
    for (TSkinItemView* v = this; v; v = v->ParentView) {
        v->InLoop = false;
        v->Selected = nullptr;
        v->DroppedDown = false;
        v->Invalidate();
    }
}

template <class F>
std::map<const TSkinItemView<F>*, unsigned>& TSkinItemView<F>::LiveViews()
{
    static std::map<const TSkinItemView*, unsigned> views;
    return views;
}

template <class F>
bool TSkinItemView<F>::IsLive(const TSkinItemView* view, unsigned serial)
{
    const auto found = LiveViews().find(view);
    return found != LiveViews().end() && found->second == serial;
}

template <class F>
void TSkinItemView<F>::CloseChain(TSkinItemView* view, bool hide)
{
    TSkinItemView* innermost = view;
    while (innermost->ChildView) innermost = innermost->ChildView;
    for (TSkinItemView* v = innermost; v; v = v->ParentView) {
        v->InLoop = false;
        v->Selected = nullptr;
        v->DroppedDown = false;
        if (v == view && v->Destroying()) continue;
        v->Invalidate();
        if (hide && !v->IsBar && v->MessageWindow) v->MessageWindow->SetVisible(false);
    }
}

template <class F>
void TSkinItemView<F>::ForgetItem(const ItemT* item)
{
    std::vector<TSkinItemView*> closing;
    for (const auto& live : LiveViews()) {
        auto* v = const_cast<TSkinItemView*>(live.first);
        bool hit = false;
        if (v->Item == item) v->Item = nullptr, hit = true;
        if (v->Selected == item) v->Selected = nullptr, hit = true;
        if (hit) closing.push_back(v);
    }
    for (TSkinItemView* v : closing) CloseChain(v, false);
}

template <class F>
void TSkinItemView<F>::CloseShowing(const ItemT* item, bool hide)
{
    std::vector<TSkinItemView*> closing;
    for (const auto& live : LiveViews())
        if (live.first->Item == item && live.first->InLoop) closing.push_back(const_cast<TSkinItemView*>(live.first));
    for (TSkinItemView* v : closing) CloseChain(v, hide);
}

template <class F>
bool TSkinItemView<F>::IsShowing(const ItemT* item)
{
    for (const auto& live : LiveViews())
        if (live.first->Item == item && live.first->InLoop) return true;
    return false;
}

template <class F>
void TSkinItemView<F>::PostKey(ViewT* view, WPARAM key)
{
    if (view && view->MessageWindow && view->MessageWindow->HandleAllocated())
        PostMessageA(view->MessageWindow->Handle(), WM_KEYDOWN, key, 0);
}

template <class F>
POINT TSkinItemView<F>::MessageScreenPoint(const MSG& msg)
{
    POINT p = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (msg.hwnd) ClientToScreen(msg.hwnd, &p);
    return p;
}

template <class F>
bool TSkinItemView<F>::MessageLoop()
{
    bool captured = false;
    const unsigned serial = FSerial;
    try {
        InLoop = true;
        if (Item && Item->Count() > 0) {
            Selected = Item->GetItem(Item->Count() - 1);
            SelectNext();
            POINT cursor;
            if (GetCursorPos(&cursor)) UpdateHover(cursor);
            Invalidate();
        }
        if constexpr (std::is_same_v<F, TMpFamily>) {
            if (MessageWindow) {
                TMpUtils::CaptureMouse(MessageWindow->Handle());
                captured = true;
            }
        }
        if (IsLive(this, serial)) RunLoop();
    } catch (...) {
        // The menu goes away whole; the application hears of the fault.
        if (IsLive(this, serial)) CloseAll();
        HandleCallbackException();
    }
    if (IsLive(this, serial)) InLoop = false;
    if constexpr (std::is_same_v<F, TMpFamily>) {
        if (captured) TMpUtils::EndCapture();
    } else {
        (void)captured;
        ReleaseCapture();
    }
    return true;
}

template <class F>
void TSkinItemView<F>::RunLoop()
{
    const unsigned serial = FSerial;
    bool firstPass = true;
    while (InLoop) {
        if (!firstPass) WaitMessage();
        firstPass = false;
        MSG msg;
        while (InLoop && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!PeekedMessage(msg)) return;
            // Exactly the message looked at: a key the look has just posted
            // would otherwise come first and the click after it. If that one
            // has gone meanwhile, look again rather than take whatever comes
            // first, which nobody has checked.
            if (!PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE | PM_NOYIELD))
                continue;
            if (msg.message == WM_QUIT) {
                // Arrived between the two looks: it stays for the
                // application, and the menu goes.
                PostQuitMessage(int(msg.wParam));
                CloseAll();
                return;
            }
            HandleMessage(msg);
            if (!IsLive(this, serial)) return;
        }
    }
}

template <class F>
bool TSkinItemView<F>::PeekedMessage(const MSG& msg)
{
    if (msg.message == WM_QUIT || (msg.message >= WM_NCLBUTTONDOWN && msg.message <= WM_NCMBUTTONDBLCLK)) {
        CloseAll();
        return false;
    }
    if constexpr (std::is_same_v<F, TMpFamily>) {
        if (msg.message == WM_WINDOWPOSCHANGING) {
            CloseAll();
            return false;
        }
    }
    if (msg.message == WM_LBUTTONDOWN) {
        switch (HitTest(msg)) {
        case bhOwnSelection: PostKey(Self(), VK_RETURN); return true;
        case bhOpenLevel: return true;
        case bhOutside:
            // The click stays for the window under the mouse.
            CloseAll();
            return false;
        }
    }
    return true;
}

template <class F>
typename TSkinItemView<F>::TButtonHit TSkinItemView<F>::HitTest(const MSG& msg)
{
    const POINT screen = MessageScreenPoint(msg);
    for (TSkinItemView* v = this; v; v = v->ParentView) {
        if (!v->Selected || !v->MessageWindow) continue;
        const POINT p = v->MessageWindow->ScreenToClient(screen);
        const RECT r = v->GetItemRect(v->Selected);
        if (PtInRect(&r, p)) return v == this ? bhOwnSelection : bhOpenLevel;
    }
    return bhOutside;
}

template <class F>
void TSkinItemView<F>::HandleMessage(MSG& msg)
{
    const UINT m = msg.message;
    if (m == WM_CONTEXTMENU) return;
    if (m >= WM_KEYDOWN && m <= WM_SYSDEADCHAR) {
        // Keys typed while the button is held are dropped, but not the keys
        // the loop posts itself (lParam 0: no repeat count, no scan code).
        const bool ownKey = m == WM_KEYDOWN && msg.lParam == 0;
        if (GetKeyState(VK_LBUTTON) < 0 && !ownKey) return;
        if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) KeyDown(msg);
        else if (m == WM_CHAR || m == WM_SYSCHAR) CharTyped(char(msg.wParam));
        return;
    }
    if (m >= WM_MOUSEMOVE && m <= 0x20A) {
        if (m == WM_MOUSEMOVE) {
            MouseMoved(msg);
        } else if (m == WM_LBUTTONUP) {
            switch (HitTest(msg)) {
            case bhOwnSelection: PostKey(Self(), VK_RETURN); break;
            case bhOpenLevel: break;
            case bhOutside: CloseAll(); break;
            }
        }
        return;
    }
    // The submenu message of this family counts only when it is meant for
    // this level; the same number may be another window's own message.
    if (m == OpenSubMenuMessage && MessageWindow && MessageWindow->HandleAllocated() &&
        msg.hwnd == MessageWindow->Handle()) {
        Popup();
        return;
    }
    DispatchMessageA(&msg);
}

template <class F>
void TSkinItemView<F>::KeyDown(MSG& msg)
{
    switch (msg.wParam) {
    case VK_TAB:
    case VK_SPACE:
        break;
    case VK_RETURN: {
        if (Selected) Selected->DoClick();
        const bool opened = Popup();
        if (!opened && Selected && Selected->Enabled() && !Selected->IsSeparator()) CloseAll();
        break;
    }
    case VK_MENU:
    case VK_F10:
        CloseAll();
        break;
    case VK_ESCAPE:
        if (ParentView) ParentView->DroppedDown = false;
        Selected = nullptr;
        Invalidate();
        InLoop = false;
        break;
    case VK_LEFT:
        if (IsBar) {
            SelectPrev();
        } else if (ParentView && ParentView->IsBar) {
            PostKey(ParentView, VK_LEFT);
            InLoop = false;
        } else if (ParentView) {
            PostKey(Self(), VK_ESCAPE);
        }
        break;
    case VK_UP:
        if (!IsBar) SelectPrev();
        break;
    case VK_RIGHT:
        if (IsBar) {
            SelectNext();
        } else if constexpr (std::is_same_v<F, TMpFamily>) {
            if (ParentView && ParentView->IsBar) {
                PostKey(ParentView, VK_RIGHT);
                InLoop = false;
            } else if (ParentView) {
                PostKey(Self(), VK_ESCAPE);
            }
        } else {
            if (Popup() || !ParentView) break;
            // Close every popup level down to the top one, and let the top
            // level open its next item once it runs again. Its selection
            // moves with the drop-down flag off, so that nothing opens
            // inside this loop.
            TSkinItemView* top = this;
            for (; top->ParentView; top = top->ParentView) PostKey(top->Self(), VK_ESCAPE);
            const bool dropped = top->DroppedDown;
            top->DroppedDown = false;
            top->SelectNext();
            top->DroppedDown = dropped;
            if (top->MessageWindow && top->MessageWindow->HandleAllocated())
                PostMessageA(top->MessageWindow->Handle(), OpenSubMenuMessage, 0, 0);
            InLoop = false;
        }
        break;
    case VK_DOWN:
        if (IsBar) Popup();
        else SelectNext();
        break;
    default:
        TranslateMessage(&msg);
        break;
    }
}

template <class F>
void TSkinItemView<F>::CharTyped(char c)
{
    if (!Item) return;
    ItemT* found = Item->FindCharItem(c);
    // An invisible item cannot be chosen.
    if (!found || !found->Visible()) return;
    Selected = found;
    Invalidate();
    PostKey(Self(), VK_RETURN);
}

template <class F>
void TSkinItemView<F>::MouseMoved(const MSG& msg)
{
    const POINT p = MessageScreenPoint(msg);
    if (p.x == LastMousePos.x && p.y == LastMousePos.y) return;
    // Kept before any submenu opens: the platform repeats the pointer's
    // position when windows come and go under it, and such a repeat must
    // not open again the submenu that Esc has just closed.
    LastMousePos = p;
    TSkinItemView* top = this;
    while (top->ParentView) top = top->ParentView;
    for (TSkinItemView* v = top; v; v = v == this ? nullptr : v->ChildView) {
        ItemT* before = v->Selected;
        v->UpdateHover(p);
        if (v == this || v->Selected == before) continue;
        // Another level's selection moved: every level below it closes
        // (each closing window takes its queued key with it) and that level
        // opens the submenu of its new selection.
        for (TSkinItemView* w = this; w && w != v; w = w->ParentView) PostKey(w->Self(), VK_ESCAPE);
        if (v->MessageWindow && v->MessageWindow->HandleAllocated())
            PostMessageA(v->MessageWindow->Handle(), OpenSubMenuMessage, 0, 0);
        InLoop = false;
        return;
    }
    if (!IsBar) Popup();
}

TKsItemView::TKsItemView(TComponent* owner, bool isBar, TKsViewOrientation orientation)
    : TSkinItemView<TKsFamily>(owner, isBar, orientation)
{
}

TMpItemView::TMpItemView(TComponent* owner, bool isBar, TKsViewOrientation orientation)
    : TSkinItemView<TMpFamily>(owner, isBar, orientation)
{
}

template class TSkinItemView<TKsFamily>;
template class TSkinItemView<TMpFamily>;

#include "MenuForms.h"

#include "KColor.h"
#include "Messages.h"
#include "SkinUtils.h"

// ---- TSkinPopupView

template <class F>
TSkinPopupView<F>::TSkinPopupView(TComponent* owner, Window* window)
    : Base(owner, false, voVertical), FWindow(window)
{
}

template <class F>
void TSkinPopupView<F>::SetPosition(POINT position)
{
    if (!FWindow || !FWindow->SkinForm()) return;
    const RECT client = FWindow->SkinForm()->ClientRectFor(1000, 1000);
    FWindow->SetBounds(position.x - client.left, position.y - client.top, FWindow->Width(), FWindow->Height());
}

template <class F>
void TSkinPopupView<F>::SetSize(POINT size)
{
    if (!FWindow || !FWindow->SkinForm()) return;
    auto* form = FWindow->SkinForm();
    // The insets do not depend on the frame's size; a large one shows them.
    const RECT client = form->ClientRectFor(1000, 1000);
    const int shadow = form->DropShadow() ? form->ShadowWidth() : 0;
    FWindow->SetBounds(FWindow->Left(), FWindow->Top(), size.x + client.left + (1000 - client.right) + shadow,
                       size.y + client.top + (1000 - client.bottom) + shadow);
}

template <class F>
void TSkinPopupView<F>::Invalidate()
{
    if (FWindow) FWindow->Invalidate();
}

template class TSkinPopupView<TKsFamily>;
template class TSkinPopupView<TMpFamily>;

// ---- TSkinPopupForm

template <class F>
TSkinPopupForm<F>::TSkinPopupForm(TComponent* owner) : Base(owner)
{
    this->SetBorderIcons(0);
    this->SetBorderStyle(kbsNone);
    this->SetCanMove(false);
    this->SetCanResize(false);
    this->SetActive(true);
}

template <class F>
RECT TSkinPopupForm<F>::ClientRectFor(int width, int height)
{
    return RECT{3, 3, width - 3, height - 3};
}

template <class F>
RECT TSkinPopupForm<F>::GetClientRect()
{
    return ClientRectFor(this->FrameWidth(), this->FrameHeight());
}

template <class F>
POINT TSkinPopupForm<F>::GetMinTrackSize()
{
    return POINT{10, 10};
}

template <class F>
void TSkinPopupForm<F>::PaintNCArea(Bitmap* buffer)
{
    if (!FWindow || !FWindow->PopupLevel() || !FWindow->PopupLevel()->Item) return;
    RECT r = this->GetNCRect();
    buffer->DrawEdge(r, KColor(clBtnFace, 255), F::Colors::ckBlack);
    InflateRect(&r, -1, -1);
    buffer->DrawEdge(r, KColor(clBtnHighlight, 255), KColor(clBtnShadow, 255));
    InflateRect(&r, -1, -1);
    buffer->DrawEdge(r, KColor(clMenu, 255), KColor(clMenu, 255));
}

template <class F>
void TSkinPopupForm<F>::PaintClientArea(Bitmap* buffer)
{
    auto* view = FWindow ? FWindow->PopupLevel() : nullptr;
    if (!view) {
        Base::PaintClientArea(buffer);
        return;
    }
    const RECT client = GetClientRect();
    view->Origin = POINT{client.left, client.top};
    try {
        view->Paint(buffer);
    } catch (...) {
        view->Origin = POINT{0, 0};
        throw;
    }
    view->Origin = POINT{0, 0};
}

template <class F>
void TSkinPopupForm<F>::Dispatch(TMessage& message)
{
    if constexpr (!KsFamily) {
        // The owner's caption stays drawn active while its menu is open.
        if ((message.Msg == WM_ACTIVATE || message.Msg == WM_MOUSEACTIVATE) && FMenuOwner &&
            FMenuOwner->HandleAllocated())
            SendMessage(FMenuOwner->Handle(), WM_NCACTIVATE, 1, 0);
    }
    // Showing the window erases its client at once, and the menu loop then
    // selects its first item and paints the client again: the first paint
    // is skipped (the show leaves the client invalid for the second).
    if (message.Msg == WM_ERASEBKGND && FWindow && FWindow->ShowingNow()) {
        message.Result = 1;
        return;
    }
    Base::Dispatch(message);
}

template class TSkinPopupForm<TKsFamily>;
template class TSkinPopupForm<TMpFamily>;

// ---- TSkinPopupWindow

template <class F>
TSkinPopupWindow<F>::TSkinPopupWindow(TComponent* owner) : TForm(owner, 0)
{
}

template <class F>
typename TSkinPopupWindow<F>::PopupForm* TSkinPopupWindow<F>::CreateSkinForm()
{
    return new PopupForm(this);
}

template <class F>
void TSkinPopupWindow<F>::Setup(Item* item, ItemView* parentView)
{
    FSkinForm = CreateSkinForm();
    FSkinForm->SetPopupWindow(this);
    if constexpr (std::is_same_v<F, TMpFamily>) {
        // The control that owns the menu: the owner's owner, else the owner.
        TComponent* owner = item->Owner();
        TWinControl* menuOwner = nullptr;
        if (owner) menuOwner = dynamic_cast<TWinControl*>(owner->Owner());
        if (!menuOwner) menuOwner = dynamic_cast<TWinControl*>(owner);
        FSkinForm->SetMenuOwner(menuOwner);
        FSkinForm->Loaded();
    }
    FSkinForm->SetStayOnTop(true);
    FSkinForm->SetBlend(item->PopupBlend());
    FSkinForm->SetBlendValue(item->PopupBlendValue());
    FSkinForm->SetDropShadow(item->DropShadow());
    FSkinForm->SetShadowWidth(item->ShadowWidth());
    if (!item->OnlyFirst() || item->First()) {
        FSkinForm->SetShowAnimation(item->ShowAnimation());
        FSkinForm->SetShowAnimationTime(item->ShowAnimationTime());
        // Only this opening's first popup animates; its submenus just appear.
        Item* top = item->Parent() ? item->Parent() : item;
        top->SetFirst(false);
    }
    FView = new PopupView(this, this);
    FView->Bitmap = FSkinForm->GetBuffer();
    FView->Host = this;
    FView->MessageWindow = this;
    FView->Item = item;
    FView->ParentView = parentView;
}

template <class F>
typename TSkinPopupWindow<F>::ItemView* TSkinPopupWindow<F>::View()
{
    return FView;
}

template <class F>
void TSkinPopupWindow<F>::CalcSize()
{
    if (FView && FSkinForm && FSkinForm->GetBuffer()) FView->CalcSize();
}

template <class F>
void TSkinPopupWindow<F>::EnterLoop()
{
    if (FView) FView->MessageLoop();
}

template <class F>
void TSkinPopupWindow<F>::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

template <class F>
void TSkinPopupWindow<F>::VisibleChanged()
{
    if (this->Visible()) HandleNeeded();
    this->Perform(CM_SHOWINGCHANGED);
}

template <class F>
void TSkinPopupWindow<F>::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_SHOWINGCHANGED:
        // Shown or hidden where it is: the form that owns the menu keeps
        // the activation and the focus.
        if (this->HandleAllocated()) {
            const bool show = this->Visible();
            FShowingNow = show;
            try {
                SetWindowPos(this->Handle(), nullptr, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                                 (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
            } catch (...) {
                FShowingNow = false;
                throw;
            }
            FShowingNow = false;
            // The skipped erase is done by the next WM_PAINT.
            if (show) InvalidateRect(this->Handle(), nullptr, TRUE);
        }
        return;
    case WM_MOUSEACTIVATE:
        // A click on the menu must not take the activation either.
        TForm::Dispatch(message);
        message.Result = MA_NOACTIVATE;
        return;
    default:
        TForm::Dispatch(message);
    }
}

template class TSkinPopupWindow<TKsFamily>;
template class TSkinPopupWindow<TMpFamily>;

// The window one open popup level lives in: a borderless, top-most tool
// window that never takes the activation from the form that owns the menu,
// framed by a skinned form frame that gives it its buffer, translucency,
// shadow and show animation, and showing a popup view of one item's
// children.
//
// Written once over the family F:
//   TSkinPopupView<F>    the level: places and sizes its window
//   TSkinPopupForm<F>    the window's frame: 3-pixel rings, view painting
//   TSkinPopupWindow<F>  the window: frame, view, showing, the level's loop
// and the named classes are their leaves (F::PopupView, F::PopupForm,
// F::PopupWindow).
#pragma once

#include "Form.h"
#include "Frames.h"
#include "ItemViews.h"
#include "MenuItems.h"

template <class F> class TSkinPopupWindow;

template <class F>
class TSkinPopupView : public F::ItemView {
    GANTREL_CLASS(TSkinPopupView)

    using Base = typename F::ItemView;
    using Window = TSkinPopupWindow<F>;

    TSkinPopupView(TComponent* owner, Window* window);

    Window* PopupWindow() const { return FWindow; }

    // The frame's client rectangle starts at position (screen).
    void SetPosition(POINT position) override;
    // The window holds the content, the frame's insets and the shadow.
    void SetSize(POINT size) override;
    void Invalidate() override;

private:
    Window* FWindow;
};

extern template class TSkinPopupView<TKsFamily>;
extern template class TSkinPopupView<TMpFamily>;

class TKsPopupView : public TSkinPopupView<TKsFamily> {
    GANTREL_CLASS(TKsPopupView)
    using TSkinPopupView::TSkinPopupView;
};

class TMpPopupView : public TSkinPopupView<TMpFamily> {
    GANTREL_CLASS(TMpPopupView)
    using TSkinPopupView::TSkinPopupView;
};

template <class F>
class TSkinPopupForm : public F::Form {
    GANTREL_CLASS(TSkinPopupForm)

    using Base = typename F::Form;
    using Bitmap = typename F::Bitmap;
    using Window = TSkinPopupWindow<F>;
    static constexpr bool KsFamily = std::is_same_v<F, TKsFamily>;

    explicit TSkinPopupForm(TComponent* owner);

    Window* PopupWindow() const { return FWindow; }
    void SetPopupWindow(Window* window) { FWindow = window; }
    // Mp: the window control that owns the menu; its caption stays drawn
    // active while a popup of it is open.
    TWinControl* MenuOwner() const { return FMenuOwner; }
    void SetMenuOwner(TWinControl* control) { FMenuOwner = control; }

    // The client rectangle of a frame of this size (window coordinates):
    // 3 pixels in on every side.
    virtual RECT ClientRectFor(int width, int height);
    RECT GetClientRect() override;
    POINT GetMinTrackSize() override;
    // Three one-pixel rings, from the outside in.
    void PaintNCArea(Bitmap* buffer) override;
    // The view at the client rectangle's top-left.
    void PaintClientArea(Bitmap* buffer) override;
    void Dispatch(TMessage& message) override;

private:
    Window* FWindow = nullptr;
    TWinControl* FMenuOwner = nullptr;
};

extern template class TSkinPopupForm<TKsFamily>;
extern template class TSkinPopupForm<TMpFamily>;

class TKsPopupForm : public TSkinPopupForm<TKsFamily> {
    GANTREL_CLASS(TKsPopupForm)
    using TSkinPopupForm::TSkinPopupForm;
};

class TMpPopupForm : public TSkinPopupForm<TMpFamily> {
    GANTREL_CLASS(TMpPopupForm)
    using TSkinPopupForm::TSkinPopupForm;
};

template <class F>
class TSkinPopupWindow : public TForm, public TSkinMenuWindow<F> {
    GANTREL_CLASS(TSkinPopupWindow)

    using Item = typename F::Item;
    using ItemView = typename F::ItemView;
    using PopupView = typename F::PopupView;
    using PopupForm = typename F::PopupForm;

    // Construction ends in Setup (the frame's class is a virtual choice).
    explicit TSkinPopupWindow(TComponent* owner);

    // A window of class W for item's children, opened from parentView: the
    // popup window class that items name (TSkinItem::TPopupWindowClass).
    template <class W>
    static TSkinMenuWindow<F>* New(TComponent* owner, Item* item, ItemView* parentView)
    {
        W* window = new W(owner);
        try {
            window->Setup(item, parentView);
        } catch (...) {
            window->Free();
            throw;
        }
        return window;
    }

    PopupForm* SkinForm() const { return FSkinForm; }
    PopupView* PopupLevel() const { return FView; }
    // True while the window is being shown: its client waits for the one
    // deferred paint, which already shows the loop's first selection.
    bool ShowingNow() const { return FShowingNow; }

    // TSkinMenuWindow
    TWinControl* WindowControl() override { return this; }
    ItemView* View() override;
    // Sizes the window to its content.
    void CalcSize() override;
    // Runs this level's menu loop; returns when the level has closed.
    void EnterLoop() override;

    void Dispatch(TMessage& message) override;
    // The construction steps that need the leaf's choices: the frame, its
    // settings from item, and the view.
    virtual void Setup(Item* item, ItemView* parentView);

protected:
    // The frame this window wears (the leaf's own).
    virtual PopupForm* CreateSkinForm();
    void CreateParams(TCreateParams& params) override;
    // Shown and hidden without activation.
    void VisibleChanged() override;

private:
    PopupView* FView = nullptr;
    PopupForm* FSkinForm = nullptr;
    bool FShowingNow = false;
};

extern template class TSkinPopupWindow<TKsFamily>;
extern template class TSkinPopupWindow<TMpFamily>;

class TKsPopupWindow : public TSkinPopupWindow<TKsFamily> {
    GANTREL_CLASS(TKsPopupWindow)
    using TSkinPopupWindow::TSkinPopupWindow;
};

class TMpPopupWindow : public TSkinPopupWindow<TMpFamily> {
    GANTREL_CLASS(TMpPopupWindow)
    using TSkinPopupWindow::TSkinPopupWindow;
};

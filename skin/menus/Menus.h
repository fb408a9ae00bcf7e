// The containers that show an item tree: the menu bar control (a row of
// items at the top of a form, which opens their submenus and carries a
// maximized MDI child's buttons) and the popup menu component, which takes
// the framework popup menu's place (controls name it as their PopupMenu)
// and opens its items in the library's own popup windows.
//
// Written once over the family F:
//   TSkinMenuBar<F>      the bar (Ks: TKsCustomMenuBar, Mp: TMpCustomMenuBar)
//   TSkinMenuBarView<F>  its level (TKsMenuBarView, TMpMenuBarView)
//   TSkinPopupMenu<F>    the popup menu (TKsCustomPopupMenu, TMpCustomPopupMenu)
//
// Both containers register their class with the family's item registry, so
// items streamed inside them in a form resource join their root item.
#pragma once

#include "BufferedControls.h"
#include "Frames.h"
#include "ItemViews.h"
#include "Menu.h"
#include "MenuItems.h"

template <class F> class TSkinMenuBar;

// How a container class meets the item registry: its identity, its insert
// procedure and the class of its items.
template <class F>
struct TItemContainerInfo {
    using ItemBase = TSkinItem<F>;
    TItemContainerClass Class;
    typename ItemBase::TInsertItemProc InsertItemProc = nullptr;
    typename ItemBase::TGetItemClassProc GetItemClassProc = nullptr;
};

// The six popup settings a container copies into its tree before each
// opening.
struct TPopupSettings {
    bool PopupBlend = false;
    int PopupBlendValue = 150;
    bool DropShadow = true;
    int ShadowWidth = 4;
    TKsAnimation ShowAnimation = kaNone;
    int ShowAnimationTime = 300;

    template <class ItemT>
    void ApplyTo(ItemT* root) const
    {
        root->SetPopupBlend(PopupBlend);
        root->SetPopupBlendValue(PopupBlendValue);
        root->SetDropShadow(DropShadow);
        root->SetShadowWidth(ShadowWidth);
        root->SetShowAnimation(ShowAnimation);
        root->SetShowAnimationTime(ShowAnimationTime);
    }
    // The six published properties; false for any other name.
    bool Read(const std::string& name, TReader& reader);
};

template <class F>
class TSkinMenuBarView : public F::ItemView {
    GANTREL_CLASS(TSkinMenuBarView)

    using Base = typename F::ItemView;
    using Bar = TSkinMenuBar<F>;

    TSkinMenuBarView(TComponent* owner, Bar* bar);
    Bar* MenuBar() const { return FBar; }

    void Invalidate() override;
    // The bar's height follows the content; nothing else moves.
    void SetSize(POINT size) override;
    void SetPosition(POINT position) override;

private:
    Bar* FBar;
};

extern template class TSkinMenuBarView<TKsFamily>;
extern template class TSkinMenuBarView<TMpFamily>;

class TKsMenuBarView : public TSkinMenuBarView<TKsFamily> {
    GANTREL_CLASS(TKsMenuBarView)
    using TSkinMenuBarView::TSkinMenuBarView;
};

class TMpMenuBarView : public TSkinMenuBarView<TMpFamily> {
    GANTREL_CLASS(TMpMenuBarView)
    using TSkinMenuBarView::TSkinMenuBarView;
};

template <class F> struct TMenuBarViewClass;
template <> struct TMenuBarViewClass<TKsFamily> { using Type = TKsMenuBarView; };
template <> struct TMenuBarViewClass<TMpFamily> { using Type = TMpMenuBarView; };

template <class F>
class TSkinMenuBar : public TSkinWindowedControl<F> {
    GANTREL_CLASS(TSkinMenuBar)

    using Base = TSkinWindowedControl<F>;
    using Bitmap = typename F::Bitmap;
    using Item = typename F::Item;
    using ItemBase = TSkinItem<F>;
    using View = typename TMenuBarViewClass<F>::Type;
    static constexpr bool KsFamily = std::is_same_v<F, TKsFamily>;

    ~TSkinMenuBar() override;

    // The root item: its children are the bar's items.
    Item* Items() const { return FItems; }
    View* BarView() const { return FView; }
    TImageList* Images() const;
    void SetImages(TImageList* images);

    // The popup settings; each setter applies the value to the whole tree.
    bool PopupBlend() const { return FSettings.PopupBlend; }
    void SetPopupBlend(bool value);
    int PopupBlendValue() const { return FSettings.PopupBlendValue; }
    void SetPopupBlendValue(int value);
    bool DropShadow() const { return FSettings.DropShadow; }
    void SetDropShadow(bool value);
    int ShadowWidth() const { return FSettings.ShadowWidth; }
    void SetShadowWidth(int value);
    TKsAnimation ShowAnimation() const { return FSettings.ShowAnimation; }
    void SetShowAnimation(TKsAnimation value);
    int ShowAnimationTime() const { return FSettings.ShowAnimationTime; }
    void SetShowAnimationTime(int value);
    // Mp: the bar's height follows its items.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value) { FAutoSize = value; }

    // The buffer rectangle the items occupy (here the whole bar).
    virtual RECT GetViewRect();

    // A maximized MDI child's buttons shown on the bar, and hidden again.
    void ShowMDIItems(TCustomForm* form);
    void HideMDIItems();
    TCustomForm* ActiveMDIChild() const { return FActiveMDIChild; }
    // The button items (system menu, minimize, restore, close); null until
    // an MDI parent's bar has loaded.
    Item* MDIItem(TKsMDIItemKind kind) const;
    void DoMDIItemClick(TObject* sender);

    // Runs the bar's menu loop (a click on it, or the frame's keyboard menu).
    void EnterLoop();
    // Ks: clicks the items whose shortcut is (key, shift).
    void CheckShortCut(WORD key, TShiftState shift);
    // Mp: the same for a key message; whether an item had the shortcut.
    bool IsShortCut(WPARAM key, LPARAM keyData);

    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Dispatch(TMessage& message) override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

    // The registry's procedure for bar classes: item joins the bar's tree.
    static void InsertItemProc(TComponent* container, Item* item);

protected:
    TSkinMenuBar(TComponent* owner, const TItemContainerInfo<F>& info);

    void PaintBuffer() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    // Mp: re-applies the settings, the owner form and repaints.
    virtual void ItemsChanged();
    // Recomputes the view's size (the bar's height).
    void UpdateViewSize();

private:
    TItemContainerClass FContainerClass;
    typename ItemBase::TGetItemClassProc FGetItemClass;
    Item* FItems = nullptr;
    View* FView = nullptr;
    TPopupSettings FSettings;
    TCustomForm* FActiveMDIChild = nullptr;
    bool FInSetBounds = false;
    Item* FMDIItems[4] = {};  // system menu, minimize, restore, close
    bool FAutoSize = false;
    bool FShowingMDIItems = false;

    void ApplySettings();
    void DoInternalChange(TObject* sender);
    bool PointOnItem(POINT client);
};

extern template class TSkinMenuBar<TKsFamily>;
extern template class TSkinMenuBar<TMpFamily>;

class TKsCustomMenuBar : public TSkinMenuBar<TKsFamily> {
    GANTREL_CLASS(TKsCustomMenuBar)

    explicit TKsCustomMenuBar(TComponent* owner);
    static TKsCustomItemClass GetItemClassProc();

protected:
    TKsCustomMenuBar(TComponent* owner, const TItemContainerInfo<TKsFamily>& info);
};

class TMpCustomMenuBar : public TSkinMenuBar<TMpFamily> {
    GANTREL_CLASS(TMpCustomMenuBar)

    explicit TMpCustomMenuBar(TComponent* owner);
    static TMpCustomItemClass GetItemClassProc();

protected:
    TMpCustomMenuBar(TComponent* owner, const TItemContainerInfo<TMpFamily>& info);
};

template <class F>
class TSkinPopupMenu : public TPopupMenu {
    GANTREL_CLASS(TSkinPopupMenu)

    using Item = typename F::Item;
    using ItemBase = TSkinItem<F>;
    static constexpr bool KsFamily = std::is_same_v<F, TKsFamily>;

    ~TSkinPopupMenu() override;

    // The root item: its children are the menu's items.
    Item* Items() const { return FItems; }
    TImageList* Images() const;
    void SetImages(TImageList* images);

    bool PopupBlend() const { return FSettings.PopupBlend; }
    void SetPopupBlend(bool value) { FSettings.PopupBlend = value; }
    int PopupBlendValue() const { return FSettings.PopupBlendValue; }
    void SetPopupBlendValue(int value) { FSettings.PopupBlendValue = value; }
    bool DropShadow() const { return FSettings.DropShadow; }
    void SetDropShadow(bool value) { FSettings.DropShadow = value; }
    int ShadowWidth() const { return FSettings.ShadowWidth; }
    void SetShadowWidth(int value) { FSettings.ShadowWidth = value; }
    TKsAnimation ShowAnimation() const { return FSettings.ShowAnimation; }
    void SetShowAnimation(TKsAnimation value) { FSettings.ShowAnimation = value; }
    int ShowAnimationTime() const { return FSettings.ShowAnimationTime; }
    void SetShowAnimationTime(int value) { FSettings.ShowAnimationTime = value; }

    // Opens the items at the screen point (x, y) in the library's popup
    // windows; returns when the menu has closed. The chosen item's click
    // runs after that, from the message queue.
    void Popup(int x, int y) override;
    // Mp: closes the open menu (all its levels).
    virtual void Close();
    // The menu of this family that is open now, or null.
    static TSkinPopupMenu* OpenMenu() { return FOpenMenu; }

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

    static void InsertItemProc(TComponent* container, Item* item);

protected:
    TSkinPopupMenu(TComponent* owner, const TItemContainerInfo<F>& info);

private:
    TItemContainerClass FContainerClass;
    Item* FItems = nullptr;
    TPopupSettings FSettings;
    static TSkinPopupMenu* FOpenMenu;
};

extern template class TSkinPopupMenu<TKsFamily>;
extern template class TSkinPopupMenu<TMpFamily>;

class TKsCustomPopupMenu : public TSkinPopupMenu<TKsFamily> {
    GANTREL_CLASS(TKsCustomPopupMenu)

    explicit TKsCustomPopupMenu(TComponent* owner);
    static TKsCustomItemClass GetItemClassProc();

protected:
    using TSkinPopupMenu::TSkinPopupMenu;
};

class TMpCustomPopupMenu : public TSkinPopupMenu<TMpFamily> {
    GANTREL_CLASS(TMpCustomPopupMenu)

    explicit TMpCustomPopupMenu(TComponent* owner);
    static TMpCustomItemClass GetItemClassProc();

protected:
    using TSkinPopupMenu::TSkinPopupMenu;
};

// Registers the menu classes for form resources and makes the family's
// popup window the one items open by default.
void RegisterMenuClasses();

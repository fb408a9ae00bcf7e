// Menu items: the tree of non-visual components that menu bars, popup
// menus and the frames' system menus show. An item holds a caption, check
// mark, image, shortcut, action and click event, and the look of the popup
// window that shows its children.
//
// Written once over the family F:
//   TSkinItem<F>            the item: tree, setters, actions, streaming,
//                           shortcuts, the deferred click, the container
//                           registry and the family's menu font
//   TSkinItemActionLink<F>  its action link
//   TSkinClickHandler<F>    the hidden window that runs clicks once the
//                           menu has closed (KM_ITEMCLICK)
// and the named classes are their leaves:
//   TKsCustomItem, TKsCustomItemActionLink, TKsClickHandler   (Ks)
//   TMpCustomItem, TMpCustomItemActionLink, TMpClickHandler   (Mp; the item
//   adds the owner form, right-to-left reading and the toolbar/tray flags)
//
// A click never runs inside the menu loop: DoClick posts KM_ITEMCLICK with
// the item (lParam) and its serial number (wParam) to the handler's window,
// and the handler runs it only when that very item is still alive (each
// family keeps its live items with their serials), so a tree rebuilt or
// freed meanwhile never sees a stale click, not even from a new item that
// took a freed one's address.
#pragma once

#include "ActionLink.h"
#include "BiDi.h"
#include "Control.h"
#include "Form.h"
#include "Menu.h"
#include "SkinEffects.h"
#include "SkinFamily.h"

#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

class TFont;
class TImageList;
template <class F> class TSkinItemView;
template <class F> class TSkinMenuWindow;
template <class F> class TSkinClickHandler;

// The menu bar's buttons of a maximized MDI child.
enum TKsMDIItemKind { mikNone, mikClose, mikRestore, mikMinimize, mikSysMenu };
using TMpMDIItemKind = TKsMDIItemKind;

// What TMpCustomItem::FindItem compares.
enum TMpFindItemKind { fkCommand, fkHandle, fkShortCut };

// Raised by Insert for an item that already has a parent.
GANTREL_EXCEPTION(EKsItemError, Exception);
// "Toolbar item already inserted"
extern const char* const SKsItemReinserted;

// A container class as the item registry knows it: its identity, and the
// test "this component is of the class or descends from it" that streaming
// uses to find the container of an item read inside it.
struct TItemContainerClass {
    const std::type_info* Type = nullptr;
    bool (*Matches)(const TComponent* component) = nullptr;
};

template <class C>
TItemContainerClass ItemContainerClass()
{
    return {&typeid(C), [](const TComponent* component) { return dynamic_cast<const C*>(component) != nullptr; }};
}

template <class F>
class TSkinItem : public TComponent {
    GANTREL_CLASS(TSkinItem)

    using Item = typename F::Item;
    using ItemView = typename F::ItemView;
    using Bitmap = typename F::Bitmap;
    // An item class: makes an item of the class (owned by owner).
    using TItemClass = Item* (*)(TComponent* owner);
    // A container class's procedure that puts item into container (the
    // container's root item, usually).
    using TInsertItemProc = void (*)(TComponent* container, Item* item);
    // A container class's function naming the class of its items.
    using TGetItemClassProc = TItemClass (*)();
    // A popup window class: makes the window that shows item's children as
    // the level below parentView (null for a popup menu's first level).
    using TPopupWindowClass = TSkinMenuWindow<F>* (*)(TComponent* owner, Item* item, ItemView* parentView);

    explicit TSkinItem(TComponent* owner);
    // Destroys the children (last first), leaves the parent, drops the link.
    ~TSkinItem() override;

    // ---- Published properties
    TAction* Action() const;
    void SetAction(TAction* action);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int value) { FHelpContext = value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint) { FHint = hint; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* images);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut shortCut) { FShortCut = shortCut; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    // Run when the item is chosen (after the menu has closed).
    TNotifyEvent OnClick;
    int Count() const { return GetItemCount(); }
    Item* Parent() const { return FParent; }
    // For a root item: its container (menu bar, popup menu, form frame).
    TComponent* ParentComponent() const { return FParentComponent; }
    void SetParentComponentValue(TComponent* container) { FParentComponent = container; }
    // The popup window that shows the children is translucent, by this much.
    bool PopupBlend() const { return FPopupBlend; }
    void SetPopupBlend(bool value) { SetInTree(&TSkinItem::FPopupBlend, value); }  // and every descendant's
    int PopupBlendValue() const { return FPopupBlendValue; }
    void SetPopupBlendValue(int value) { SetInTree(&TSkinItem::FPopupBlendValue, value); }  // and descendants'

    // ---- Set by the containers
    // Change listener of a container on its root item.
    TNotifyEvent OnInternalChange;
    TKsMDIItemKind MDIKind() const { return FMDIKind; }
    void SetMDIKind(TKsMDIItemKind kind) { FMDIKind = kind; }
    // The recursive setters: this item and every descendant, no Change.
    TCustomForm* ActiveMDIForm() const { return FActiveMDIForm; }
    void SetActiveMDIForm(TCustomForm* form) { SetInTree(&TSkinItem::FActiveMDIForm, form); }
    bool DropShadow() const { return FDropShadow; }
    void SetDropShadow(bool value) { SetInTree(&TSkinItem::FDropShadow, value); }
    int ShadowWidth() const { return FShadowWidth; }
    void SetShadowWidth(int value) { SetInTree(&TSkinItem::FShadowWidth, value); }
    TKsAnimation ShowAnimation() const { return FShowAnimation; }
    void SetShowAnimation(TKsAnimation value) { SetInTree(&TSkinItem::FShowAnimation, value); }
    int ShowAnimationTime() const { return FShowAnimationTime; }
    void SetShowAnimationTime(int value) { SetInTree(&TSkinItem::FShowAnimationTime, value); }
    // Set on the tree before an opening; the first popup that animates
    // clears it (only that one animates when OnlyFirst is set).
    bool First() const { return FFirst; }
    void SetFirst(bool value) { SetInTree(&TSkinItem::FFirst, value); }
    bool OnlyFirst() const { return FOnlyFirst; }
    void SetOnlyFirst(bool value) { SetInTree(&TSkinItem::FOnlyFirst, value); }

    // ---- Tree
    int GetItemCount() const { return int(FItems.size()); }
    // EListError for a bad index.
    Item* GetItem(int index) const;
    void Add(Item* item);
    // EKsItemError when item already has a parent (the tree is unchanged).
    void Insert(int index, Item* item);
    // Unlinks the child (it is not destroyed); EListError for a bad index.
    void Delete(int index);
    int IndexOf(const TComponent* component) const;
    void Remove(Item* item);
    // item is this item or one of its descendants.
    bool ContainsItem(const Item* item) const;
    // The own image list, else the root's.
    TImageList* GetImgList() const;
    // The first child whose caption holds "&" + c, in any case (invisible
    // and disabled children too); null when none.
    Item* FindCharItem(char c) const;
    // Clicks every visible, enabled item below this one whose shortcut is
    // (key, shift), parent before its children.
    void CheckShortCut(WORD key, TShiftState shift);
    // Caption "-".
    bool IsSeparator() const { return FCaption == "-"; }

    // ---- Virtual operations
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The class of the popup window that shows the children; here the
    // family's default (DefaultPopupWindowClass).
    virtual TPopupWindowClass GetPopupWindowClass() const;
    // Tells the item's listener and then the root's (a root hears its own
    // changes twice).
    virtual void Change();
    // Size and drawing of one item in a view: here the family's classic
    // versions (ClassicCalcSize, ClassicDrawItem); styled items override.
    virtual void CalcSize(Bitmap* bitmap, ItemView* view, int& width, int& height);
    virtual void DrawItem(Bitmap* bitmap, ItemView* view, const RECT& rect, bool selected, bool notInLoop);
    // Lets the action bring the item up to date.
    virtual void InitiateAction();
    // Chosen: posts the deferred click (nothing for a separator, an item
    // with children or a disabled or invisible one).
    virtual void DoClick();

    // Opens the level that shows the children: a window of
    // GetPopupWindowClass() placed by (x, y) and rect (the opening item's
    // screen rectangle; empty for a popup menu's first level), shown, and
    // its loop run; returns when that level has closed.
    void Popup(ItemView* view, int x, int y, const RECT& rect);

    // ---- Actions
    TActionLink* ActionLink() const { return FActionLink; }
    // Copies the action's properties (with checkDefaults only into those
    // still at their defaults).
    virtual void ActionChange(TObject* sender, bool checkDefaults);
    void DoActionChange(TObject* sender);

    // ---- Component
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    // Streaming: into the parent item, or into the container the registry
    // finds for parent's class.
    void SetParentComponent(TComponent* parent) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

    // ---- The click itself, as the handler runs it: OnClick when it
    // differs from the action's OnExecute, else the action, else OnClick.
    void RunClick();

    // ---- The family's live items and click handler
    // item points at a live item of this family (it may be freed meanwhile).
    static bool IsLiveItem(const void* item);
    // ... and that item is the one that had this serial number.
    static bool IsLiveItem(const void* item, uintptr_t serial);
    // Numbers the family's items in the order they were made, from 1.
    uintptr_t Serial() const { return FSerial; }
    static int LiveItemCount() { return int(LiveItems().size()); }
    // The handler's window; made with the first item, freed with the last.
    static HWND ClickHandlerWindow();

    // ---- The container registry of this family
    static void RegisterContainerClass(const TItemContainerClass& containerClass, TInsertItemProc insertProc,
                                       TGetItemClassProc getItemClassProc);
    static void UnregisterContainerClass(const TItemContainerClass& containerClass);
    // The item class of exactly this container class; null when none.
    static TItemClass GetItemClass(const std::type_info& containerClass);
    // Records now registered (0 once the registry is gone).
    static int RegisteredContainerCount();

    // The family's menu font (the system's non-client menu font).
    static TFont* MenuFont();
    // The popup window class items use unless they name their own; the
    // popup window unit sets it (null: an item opens no popup).
    static TPopupWindowClass DefaultPopupWindowClass;
    // The classic measuring and drawing of one item, as the item drawing
    // unit sets them; without them an item is 0 x 0 and draws nothing.
    using TCalcSizeProc = void (*)(Item* item, Bitmap* bitmap, ItemView* view, int& width, int& height);
    using TDrawItemProc = void (*)(Item* item, Bitmap* bitmap, ItemView* view, const RECT& rect, bool selected,
                                   bool notInLoop);
    static TCalcSizeProc ClassicCalcSize;
    static TDrawItemProc ClassicDrawItem;

protected:
    // Stored in the form resource: not supplied by a linked action.
    bool IsCaptionStored() const { return Stored(&TActionLink::IsCaptionLinked); }
    bool IsCheckedStored() const { return Stored(&TActionLink::IsCheckedLinked); }
    bool IsEnabledStored() const { return Stored(&TActionLink::IsEnabledLinked); }
    bool IsHelpContextStored() const { return Stored(&TActionLink::IsHelpContextLinked); }
    bool IsHintStored() const { return Stored(&TActionLink::IsHintLinked); }
    bool IsImageIndexStored() const { return Stored(&TActionLink::IsImageIndexLinked); }
    bool IsShortCutStored() const { return Stored(&TActionLink::IsShortCutLinked); }
    bool IsVisibleStored() const { return Stored(&TActionLink::IsVisibleLinked); }
    bool IsOnClickStored() const { return Stored(&TActionLink::IsOnExecuteLinked); }
    // The family's link class.
    virtual TActionLink* CreateActionLink();
    std::vector<Item*>& ItemList() { return FItems; }

private:
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    int FHelpContext = 0;
    std::string FHint;
    int FImageIndex = -1;
    TImageList* FImages = nullptr;
    TShortCut FShortCut = 0;
    bool FVisible = true;
    TActionLink* FActionLink = nullptr;
    Item* FParent = nullptr;
    TComponent* FParentComponent = nullptr;
    std::vector<Item*> FItems;
    bool FPopupBlend = false;
    int FPopupBlendValue = 150;
    TKsMDIItemKind FMDIKind = mikNone;
    TCustomForm* FActiveMDIForm = nullptr;
    bool FDropShadow = false;
    int FShowAnimationTime = 0;
    int FShadowWidth = 0;
    TKsAnimation FShowAnimation = kaNone;
    bool FFirst = false;
    bool FOnlyFirst = false;

    Item* Self() { return static_cast<Item*>(this); }
    const Item* Self() const { return static_cast<const Item*>(this); }
    uintptr_t FSerial;
    static std::unordered_map<const void*, uintptr_t>& LiveItems();
    // Sets the field and tells of the change, when the value is new.
    template <class T>
    void ChangeField(T& field, const T& value);
    // Sets the field on this item and every descendant.
    template <class T, class V>
    void SetInTree(T TSkinItem::*field, V value)
    {
        this->*field = value;
        for (Item* child : FItems) static_cast<TSkinItem*>(child)->SetInTree(field, value);
    }
    bool Stored(bool (TActionLink::*linked)() const) const { return !FActionLink || !(FActionLink->*linked)(); }
};

extern template class TSkinItem<TKsFamily>;
extern template class TSkinItem<TMpFamily>;

template <class F>
class TSkinItemActionLink : public TActionLink {
    GANTREL_CLASS(TSkinItemActionLink)

    using Item = typename F::Item;
    explicit TSkinItemActionLink(TObject* client);
    Item* Client() const { return FClient; }

    // Linked: the action supplies the property and the item still holds
    // the action's value.
    bool IsCaptionLinked() const override { return Holds(TActionLink::IsCaptionLinked(), &Item::Caption, &TAction::Caption); }
    bool IsCheckedLinked() const override { return Holds(TActionLink::IsCheckedLinked(), &Item::Checked, &TAction::Checked); }
    bool IsEnabledLinked() const override { return Holds(TActionLink::IsEnabledLinked(), &Item::Enabled, &TAction::Enabled); }
    bool IsHelpContextLinked() const override
    {
        return Holds(TActionLink::IsHelpContextLinked(), &Item::HelpContext, &TAction::HelpContext);
    }
    bool IsHintLinked() const override { return Holds(TActionLink::IsHintLinked(), &Item::Hint, &TAction::Hint); }
    bool IsImageIndexLinked() const override
    {
        return Holds(TActionLink::IsImageIndexLinked(), &Item::ImageIndex, &TAction::ImageIndex);
    }
    bool IsShortCutLinked() const override
    {
        return Holds(TActionLink::IsShortCutLinked(), &Item::ShortCut, &TAction::ShortCut);
    }
    bool IsVisibleLinked() const override { return Holds(TActionLink::IsVisibleLinked(), &Item::Visible, &TAction::Visible); }
    // OnExecute: the item's OnClick runs the same code as the action's.
    bool IsOnExecuteLinked() const override;
    // Write into the item only where linked.
    void SetCaption(const std::string& value) override { Write(IsCaptionLinked(), &Item::SetCaption, value); }
    void SetChecked(bool value) override { Write(IsCheckedLinked(), &Item::SetChecked, value); }
    void SetEnabled(bool value) override { Write(IsEnabledLinked(), &Item::SetEnabled, value); }
    void SetHelpContext(int value) override { Write(IsHelpContextLinked(), &Item::SetHelpContext, value); }
    void SetHint(const std::string& value) override { Write(IsHintLinked(), &Item::SetHint, value); }
    void SetImageIndex(int value) override { Write(IsImageIndexLinked(), &Item::SetImageIndex, value); }
    void SetShortCut(TShortCut value) override { Write(IsShortCutLinked(), &Item::SetShortCut, value); }
    void SetVisible(bool value) override { Write(IsVisibleLinked(), &Item::SetVisible, value); }
    void SetOnExecute(TNotifyEvent value) override;

private:
    Item* FClient = nullptr;
    // The framework's test, and the item's value equal to the action's.
    template <class ItemGet, class ActionGet>
    bool Holds(bool linked, ItemGet itemValue, ActionGet actionValue) const
    {
        return linked && FClient && (FClient->*itemValue)() == (Action()->*actionValue)();
    }
    template <class Set, class V>
    void Write(bool linked, Set set, const V& value)
    {
        if (linked) (FClient->*set)(value);
    }
};

extern template class TSkinItemActionLink<TKsFamily>;
extern template class TSkinItemActionLink<TMpFamily>;

// The hidden window that runs posted clicks: KM_ITEMCLICK (lParam: the
// item) first lets every pending message run, so that the menu windows are
// gone and repainted, then runs the item's click when the item still lives.
// Clicks that arrive while it lets messages run wait for their turn, so
// several clicks run in the order they were posted.
template <class F>
class TSkinClickHandler : public TObject {
    GANTREL_CLASS(TSkinClickHandler)

    TSkinClickHandler();
    ~TSkinClickHandler() override;
    HWND Handle() const { return FHandle; }
    // Frees the handler, or, while it runs clicks (one of which freed the
    // family's last item), once they are through.
    void Release();

private:
    HWND FHandle = nullptr;
    // Posted clicks (item, serial) not yet run, and whether a run is on.
    std::vector<std::pair<const void*, uintptr_t>> FPending;
    bool FRunning = false;
    bool FReleasePending = false;
    void WndProc(TMessage& message);
};

extern template class TSkinClickHandler<TKsFamily>;
extern template class TSkinClickHandler<TMpFamily>;

class TKsClickHandler : public TSkinClickHandler<TKsFamily> {
    GANTREL_CLASS(TKsClickHandler)
};

class TMpClickHandler : public TSkinClickHandler<TMpFamily> {
    GANTREL_CLASS(TMpClickHandler)
};

class TKsCustomItem : public TSkinItem<TKsFamily> {
    GANTREL_CLASS(TKsCustomItem)

    explicit TKsCustomItem(TComponent* owner);
};

using TKsCustomItemClass = TKsCustomItem::TItemClass;
using TKsInsertItemProc = TKsCustomItem::TInsertItemProc;
using TKsGetItemClassProc = TKsCustomItem::TGetItemClassProc;

class TKsCustomItemActionLink : public TSkinItemActionLink<TKsFamily> {
    GANTREL_CLASS(TKsCustomItemActionLink)
    using TSkinItemActionLink::TSkinItemActionLink;
};

class TMpCustomItem : public TSkinItem<TMpFamily> {
    GANTREL_CLASS(TMpCustomItem)

    explicit TMpCustomItem(TComponent* owner);

    // The window control that owns the menu (this item and descendants).
    TWinControl* OwnerForm() const { return FOwnerForm; }
    void SetOwnerForm(TWinControl* form);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode mode);  // and every descendant's
    // The item sits on a toolbar (this item and its direct children).
    bool IsToolbar() const { return FIsToolbar; }
    void SetIsToolbar(bool value);
    // The menu belongs to a notification-area icon: its popup takes the
    // foreground (this item and every descendant).
    bool Tray() const { return FTray; }
    void SetTray(bool value);

    // Unlinks every child (first to last), each a change.
    void Clear();
    // As FindCharItem.
    TMpCustomItem* FindItemByChar(char c) const { return FindCharItem(c); }
    // Depth first, an item before its children: fkShortCut compares the
    // shortcut, fkHandle the OnClick handler's code address; fkCommand
    // matches nothing.
    TMpCustomItem* FindItem(uintptr_t value, TMpFindItemKind kind);
    // A WM_KEYDOWN / WM_SYSKEYDOWN (key, keyData): clicks the path from the
    // root down to the visible, enabled item with that shortcut; whether
    // one was found.
    bool IsShortCut(WPARAM key, LPARAM keyData);

    bool UseRightToLeftReading() const;
    bool UseRightToLeftAlignment() const;
    // DrawText flags with left and right swapped and the reading flag added
    // where right-to-left applies.
    UINT DrawTextBiDiModeFlags(UINT flags) const;
    UINT DrawTextBiDiModeFlagsReadingOnly() const;
    // The first TMpCustomForm among the components OwnerForm owns.
    TMpCustomForm* GetOwnerCustomForm() const;

private:
    TWinControl* FOwnerForm = nullptr;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FIsToolbar = false;
    bool FTray = false;
};

using TMpCustomItemClass = TMpCustomItem::TItemClass;
using TMpInsertItemProc = TMpCustomItem::TInsertItemProc;
using TMpGetItemClassProc = TMpCustomItem::TGetItemClassProc;

class TMpCustomItemActionLink : public TSkinItemActionLink<TMpFamily> {
    GANTREL_CLASS(TMpCustomItemActionLink)
    using TSkinItemActionLink::TSkinItemActionLink;
};

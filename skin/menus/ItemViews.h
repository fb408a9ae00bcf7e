// Menu views: one open level of a menu (a menu bar's row, or the list in
// one popup window). A view lays out the visible children of one item,
// paints them, follows the mouse, and runs the level's modal menu loop,
// which owns the keyboard and the mouse while the level is open. A submenu
// is the next level, opened from inside the loop; its loop runs nested in
// its parent's, and the levels are chained (ParentView / ChildView), so the
// innermost loop can see and re-target every open level.
//
// Written once over the family F as TSkinItemView<F>; the leaves are
// TKsItemView (Ks) and TMpItemView (Mp: its own submenu message, the mouse
// captured while the loop runs, a moved owner window closes the menu, and
// Right never opens a submenu from a popup level).
//
// Talking to the outside: a view draws into Bitmap, converts through the
// MessageWindow's client coordinates and posts the loop's own keys and
// KM_OPENSUBMENU_* to that window; the bar or popup window that holds the
// view overrides SetSize, SetPosition and Invalidate. A popup level's window
// is a TSkinMenuWindow<F> (below), which the item's Popup creates, places,
// shows, runs and frees.
#pragma once

#include "MenuItems.h"
#include "SkinMessages.h"

#include <map>
#include <type_traits>
#include <vector>

enum TKsViewOrientation { voVertical, voHorizontal };
using TMpViewOrientation = TKsViewOrientation;

template <class F>
class TSkinItemView : public TComponent {
    GANTREL_CLASS(TSkinItemView)

    using ItemT = typename F::Item;
    using ViewT = typename F::ItemView;
    using BitmapT = typename F::Bitmap;

    TSkinItemView(TComponent* owner, bool isBar, TKsViewOrientation orientation);
    ~TSkinItemView() override;

    // The item whose visible children this level shows.
    ItemT* Item = nullptr;
    // A menu bar's level: items side by side, submenus open below.
    bool IsBar = false;
    TKsViewOrientation Orientation = voVertical;
    // The control the MDI child buttons are placed against.
    TWinControl* Host = nullptr;
    // The control whose window gets the loop's posted keys and messages,
    // and whose client coordinates the item rectangles are in.
    TWinControl* MessageWindow = nullptr;
    // The highlighted item; null for none.
    ItemT* Selected = nullptr;
    // A submenu of this level is open, or opens with the next selection.
    bool DroppedDown = false;
    // This level's loop is running.
    bool InLoop = false;
    // The level that opened this one, and the one opened from it.
    ViewT* ParentView = nullptr;
    ViewT* ChildView = nullptr;
    // The buffer items are measured and drawn with.
    BitmapT* Bitmap = nullptr;
    // Where the first item goes in the buffer.
    POINT Origin = {0, 0};

    // ---- Virtual operations (the bar and the popup view override them)
    virtual void SetSize(POINT size);
    virtual void SetPosition(POINT position);
    virtual void Invalidate();
    // DrawItem of every visible child.
    virtual void Paint(BitmapT* bitmap);

    // Measures the visible children and calls SetSize with the total.
    void CalcSize();
    // In MessageWindow's client coordinates; empty for an invisible item.
    RECT GetItemRect(ItemT* item);
    // Selects the item under the screen point (while the loop runs, a
    // point over no item keeps the selection).
    void UpdateHover(POINT screenPoint);
    // The selection has children.
    bool CheckDropDown();
    // Opens the selection's submenu and returns once it has closed; false
    // when there is none to open.
    bool Popup();
    // The next / previous visible non-separator child, wrapping (disabled
    // ones count); a level with none of them ends with no selection.
    void SelectNext();
    void SelectPrev();
    // The modal loop of this level; returns when the level has closed.
    // No exception leaves it.
    bool MessageLoop();

    // Liveness of views across a nested loop: whatever the loop dispatches
    // may free any level (a form closing, a timer rebuilding the tree).
    unsigned Serial() const { return FSerial; }
    static bool IsLive(const TSkinItemView* view, unsigned serial);
    // Ends every open level showing item or with it selected, and every
    // level chained to one; such a level forgets the item. An item going
    // away calls it.
    static void ForgetItem(const ItemT* item);
    // Ends the loops of the levels that show item, and of every level
    // chained to them; with hide, their popup windows go from the screen.
    static void CloseShowing(const ItemT* item, bool hide);
    // A level that shows item runs its loop now.
    static bool IsShowing(const ItemT* item);

    // The family's submenu message.
    static constexpr UINT OpenSubMenuMessage =
        std::is_same_v<F, TMpFamily> ? KM_OPENSUBMENU_MP : KM_OPENSUBMENU_KS;
    // The last mouse position a loop of this family has seen (screen).
    static POINT LastMousePos;

protected:
    ViewT* Self() { return static_cast<ViewT*>(this); }
    // Clears InLoop, Selected and DroppedDown on this level and every one
    // above it.
    void CloseAll();
    // Posts a key-down of key to the level's window.
    static void PostKey(ViewT* view, WPARAM key);

private:
    unsigned FSerial = 0;
    static std::map<const TSkinItemView*, unsigned>& LiveViews();
    // Ends the loop of every level chained to view, above and below.
    static void CloseChain(TSkinItemView* view, bool hide);
    // One visible child and its rectangle in MessageWindow's client
    // coordinates.
    struct TItemPlace {
        ItemT* Item;
        RECT Rect;
    };
    // The rectangles of all visible children, each child measured once.
    std::vector<TItemPlace> Layout();
    // SelectNext (1) or SelectPrev (-1).
    void Step(int direction);
    void RunLoop();
    // The loop's handling of one peeked message; false: leave the loop now
    // (the message stays in the queue).
    bool PeekedMessage(const MSG& msg);
    void HandleMessage(MSG& msg);
    void KeyDown(MSG& msg);
    void CharTyped(char c);
    void MouseMoved(const MSG& msg);
    // A button message: its point on the selected item of this level or a
    // level above.
    enum TButtonHit { bhOwnSelection, bhOpenLevel, bhOutside };
    TButtonHit HitTest(const MSG& msg);
    // The message's point in screen coordinates.
    static POINT MessageScreenPoint(const MSG& msg);
};

extern template class TSkinItemView<TKsFamily>;
extern template class TSkinItemView<TMpFamily>;

// The window of one popup level, as the item's Popup sees it: the popup
// window implements it (a test may use a window of its own).
template <class F>
class TSkinMenuWindow {
public:
    virtual ~TSkinMenuWindow() = default;
    // The window itself: placed with SetBounds, shown with Show, freed
    // with Free once the level has closed.
    virtual TWinControl* WindowControl() = 0;
    // The level's view.
    virtual typename F::ItemView* View() = 0;
    // Sizes the window to its items (the view's CalcSize).
    virtual void CalcSize() = 0;
    // Runs the view's MessageLoop.
    virtual void EnterLoop() = 0;
};

class TKsItemView : public TSkinItemView<TKsFamily> {
    GANTREL_CLASS(TKsItemView)

    TKsItemView(TComponent* owner, bool isBar, TKsViewOrientation orientation);
};

class TMpItemView : public TSkinItemView<TMpFamily> {
    GANTREL_CLASS(TMpItemView)

    TMpItemView(TComponent* owner, bool isBar, TKsViewOrientation orientation);
};

// The skinned tab control. It lays its tabs out itself: one line that
// scrolls with two buttons at its right end, or rows justified to the full
// width that rotate so that the selected row always touches the page
// border. It can own one page (a child control) per tab.
//
//   TKsTabStringList     the captions; every change goes to the control
//   TKsCustomTabSheet    one page, used when UsePages is on
//   TKsCustomTabControl  layout, hit testing, keys, mouse, scroll buttons,
//                        pages, and the classic look in system colours
//   TEpIITabControl      the border and the tabs drawn with style objects
//
// It paints into the Ks buffer: the background step draws the tabs, the
// border and the selected tab on top; the buffer step the scroll buttons.
#pragma once

#include "BufferedControls.h"
#include "SkinStyles.h"
#include "Strings.h"
// TTabPosition and TTabChangingEvent, shared with the platform's tab control.
#include "TabControl.h"

#include <string>
#include <vector>

class TTimer;
class TKsCustomTabControl;

// Control, TabIndex, the tab's rectangle, whether it is the selected one.
using TDrawTabEvent = TEvent<void(TKsCustomTabControl*, int, const RECT&, bool)>;

// The captions: the list operations, each followed by the control's
// TabsChanged. Insert refuses a caption that is there already; Add, Put
// and Assign do not check.
class TKsTabStringList : public TStringList {
    GANTREL_CLASS(TKsTabStringList)

    explicit TKsTabStringList(TKsCustomTabControl* control = nullptr) : FControl(control) {}

    int Add(const std::string& text) override;
    void Insert(int index, const std::string& text) override;
    void Put(int index, const std::string& text) override;
    void PutObject(int index, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    // From any list of strings: its texts only, the control told once.
    void Assign(TPersistent* source) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    friend class TKsCustomTabControl;
    TKsCustomTabControl* FControl;
    void TellControl();
};

// One page of a tab control, matched to its tab by its Caption.
class TKsCustomTabSheet : public TCustomControl {
    GANTREL_CLASS(TKsCustomTabSheet)

    explicit TKsCustomTabSheet(TComponent* owner);
    ~TKsCustomTabSheet() override;

    TKsCustomTabControl* TabControl() const { return FTabControl; }
    // Leaves the old control's pages (keeping the sheet) for the new one's.
    void SetTabControl(TKsCustomTabControl* control);
    // The position in the control's page list; -1 without a control.
    int GetTabIndex() const;
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    void DoShow();
    void DoHide();

    // Inside the border width.
    RECT ClientRect() override;
    void Loaded() override;
    void Dispatch(TMessage& message) override;
    TPersistent* PropertyObject(const std::string& name) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    // Only the active page paints: its control's pixels beneath it.
    void Paint() override;

private:
    friend class TKsCustomTabControl;
    TKsCustomTabControl* FTabControl = nullptr;
    int FBorderWidth = 0;
    // Kept for form resources; the framework has no drag and drop.
    int FDragMode = 0;
    // Shown or hidden: OnShow or OnHide.
    void ShowingChanged();
};

class TKsCustomTabControl : public TKsCustomControl {
    GANTREL_CLASS(TKsCustomTabControl)

    // A layout that would need more rows puts the remaining tabs in the last.
    static constexpr int MaxTabRows = 100;

    // Index of the row's last tab; extra width of each of its tabs; the
    // remainder its last tab gets in addition.
    struct TTabRow {
        int32_t Last;
        int32_t Extra;
        int32_t Remainder;
    };

    explicit TKsCustomTabControl(TComponent* owner);
    ~TKsCustomTabControl() override;

    // --- Properties --------------------------------------------------------
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);
    // tpLeft and tpRight need it on.
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool value);
    TStrings* Tabs() const { return FTabs; }
    void SetTabs(TStrings* tabs);
    // tpLeft and tpRight switch MultiLine on.
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition value);
    int TabIndex() const { return FTabIndex; }
    // Selects a tab: OnChanging may refuse (it sees the new index); the
    // line scrolls to show it; then OnChange and, with pages, its page.
    // Indexes outside the tabs and the current one are ignored.
    void SetTabIndex(int value);
    bool RaggedRight() const { return FRaggedRight; }
    void SetRaggedRight(bool value);
    // Switching it on switches MultiLine on.
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetScrollOpposite(bool value);
    // 0: from the font (and the caption).
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int value);
    bool UsePages() const { return FUsePages; }
    void SetUsePages(bool value);

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;

    // --- Layout and hit testing ---------------------------------------------
    int IndexOfTabAt(int x, int y) { return PtInTab(x, y); }
    int PtInTab(int x, int y);
    // 0 without tabs.
    int RowCount();
    RECT TabRect(int index) { return GetTabRect(index); }
    RECT GetTabRect(int index);
    int GetTabRowCount();
    int GetTabCount() const;
    // The row a tab lies in (0 for -1); -1 without rows.
    int GetTabRow(int index);
    // Distance of a row's outer edge from the border, in tab heights.
    int GetTabRowHeight(int row);
    // The depth of the strip on the tab side, and on the other side (rows
    // before the selected one, with ScrollOpposite).
    int GetTabLineHeight();
    int GetOpositeTabLineHeight();
    bool IsTabOnOpositeSide(int index);
    // The page area: the client area less the tab strips.
    RECT GetBorderRect();
    // Extended width: justified into its row in multi-line mode.
    int GetTabExtWidth(int index);
    // Row row of the table (kept within it).
    const TTabRow& Row(int row) const { return FRows[row < 0 ? 0 : row >= MaxTabRows ? MaxTabRows - 1 : row]; }
    int FirstVisibleTab() const { return FFirstVisible; }
    // Single line: the last tab shown (even in part); avoiding the buttons,
    // the last one clear of them.
    int GetLastVisibleTab(bool avoidButtons);
    bool ScrollButtonsVisible();
    RECT GetLeftScrlBtnRect();
    RECT GetRightScrlBtnRect();
    // Moves the first visible tab; moving right stops once the last tab shows.
    void ScrollTabs(int delta);
    // Lays the tabs into rows (multi-line) or one row (single line).
    void UpdateTabRows();

    // --- Pages ----------------------------------------------------------------
    TKsCustomTabSheet* GetPage(int index) const;
    int GetPageCount() const { return int(FPages.size()); }
    TKsCustomTabSheet* ActivePage() const { return FActivePage; }
    // -1 without pages in use or without an active page.
    int GetActivePageIndex() const;
    void SetActivePage(TKsCustomTabSheet* sheet);
    void SetActivePageIndex(int index);
    void AddPage(TKsCustomTabSheet* sheet);
    // A sheet without a caption gets a new tab and its text.
    void InsertPage(int index, TKsCustomTabSheet* sheet);
    // Deletes the sheet's tab and frees the sheet (once).
    void RemovePage(TKsCustomTabSheet* sheet);

    // --- Pointer and buttons -------------------------------------------------
    int HotTab() const { return FHotTab; }
    bool LeftBtnHot() const { return FLeftBtnHot; }
    bool RightBtnHot() const { return FRightBtnHot; }
    // Pressed and still under the pointer.
    bool LeftBtnPressed() const { return FLeftBtnDown && FLeftBtnHot; }
    bool RightBtnPressed() const { return FRightBtnDown && FRightBtnHot; }
    bool Repeating() const;

    // Where child controls go: the page area inside the margins.
    RECT ClientRect() override;
    void Loaded() override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void Dispatch(TMessage& message) override;
    TPersistent* PropertyObject(const std::string& name) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

    virtual int GetLeftMargin();
    virtual int GetTopMargin();
    virtual int GetRightMargin();
    virtual int GetBottomMargin();
    virtual int GetTabWidth(int index);
    virtual int GetTabHeight();
    virtual int GetScrollBtnSize();
    virtual void TabsChanged();

protected:
    virtual void DrawTab(int index);
    virtual void DrawBorder();
    virtual void DrawLeftScrlBtn();
    virtual void DrawRightScrlBtn();
    virtual bool PtInLeftBtn(int x, int y);
    virtual bool PtInRightBtn(int x, int y);
    virtual void Change();
    virtual bool CanChange();
    virtual void DoDrawTab(int index, const RECT& rect, bool active);

    // Every tab but the selected one (false), or the selected one (true).
    void DrawTabs(bool selected);
    void PaintBackground() override;
    void PaintBuffer() override;
    bool DoKeyDown(WORD& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The margin on side.
    int SideMargin(TTabPosition side);

private:
    friend class TKsTabStringList;
    friend class TKsCustomTabSheet;
    // Lays the tabs out on entry to the outermost layout operation only.
    class TLayout;
    friend class TLayout;
    int FLayoutDepth = 0;
    TTimer* FTimer = nullptr;
    TKsTabStringList* FTabs;
    std::vector<TKsCustomTabSheet*> FPages;
    TKsCustomTabSheet* FActivePage = nullptr;
    TTabRow FRows[MaxTabRows] = {};
    int FRowCount = 0;
    bool FLeftBtnHot = false;
    bool FRightBtnHot = false;
    int FHotTab = -1;
    bool FLeftBtnDown = false;
    bool FRightBtnDown = false;
    bool FTabsUpdating = false;
    int FFirstVisible = 0;
    int FTabIndex = -1;
    bool FHotTrack = false;
    bool FMultiLine = false;
    bool FOwnerDraw = false;
    TTabPosition FTabPosition = tpTop;
    bool FRaggedRight = false;
    bool FScrollOpposite = false;
    int FTabHeight = 0;
    int FTabWidth = 0;
    bool FUsePages = false;
    // A page is inserted with a tab of its own: the tab must not make a
    // second page.
    bool FInsertingPage = false;
    // A sheet among the pages at index, as it is (InsertPage names it first).
    void AttachPage(int index, TKsCustomTabSheet* sheet);
    // Each tab's width, measured by the last UpdateTabRows.
    std::vector<int> FWidths;

    int CachedWidth(int index);
    int SelectedRow();
    int FirstTabOfRow(int row) const { return row <= 0 ? 0 : FRows[row - 1].Last + 1; }
    // Neither beyond the right edge nor under a scroll button.
    bool ClearOfButtons(const RECT& r);
    void DrawScrollButton(const RECT& r, UINT state, bool pressed);
    void SetTabsUpdating(bool updating);
    // TabIndex within the tabs: -1 without, 0 when there was none.
    void ClampTabIndex();
    // The tab a page belongs to, and the page of a tab (null: none).
    int TabOfPage(TKsCustomTabSheet* sheet);
    TKsCustomTabSheet* PageOfTab(int index);
    // Out of the page list, its tab deleted, not freed.
    void ExtractPage(TKsCustomTabSheet* sheet);
    void LinkLoadedPages();
    void FreePages();
    void PartPress(bool first);
    void TimerExpired(TObject* sender);
    // The two hover flags and the hot tab at (x, y); true when any changed.
    bool UpdateHover(int x, int y);
};

class TKsCustomTabControl::TLayout {
public:
    explicit TLayout(TKsCustomTabControl* control) : FControl(control)
    {
        if (FControl->FLayoutDepth++ == 0) FControl->UpdateTabRows();
    }
    ~TLayout() { --FControl->FLayoutDepth; }
    TLayout(const TLayout&) = delete;
    TLayout& operator=(const TLayout&) = delete;

private:
    TKsCustomTabControl* FControl;
};

// The tab control drawn with style objects: the page area with Background
// and Border, the selected tab with the Active pair, the others with the
// Inactive pair. Style changes show at the next repaint.
class TEpIITabControl : public TKsCustomTabControl {
    GANTREL_CLASS(TEpIITabControl)

    explicit TEpIITabControl(TComponent* owner);
    ~TEpIITabControl() override;

    TEpBackground* Background() const { return FBackground; }
    void SetBackground(TEpBackground* value) { FBackground->Assign(value); }
    TEpBorder* Border() const { return FBorder; }
    void SetBorder(TEpBorder* value) { FBorder->Assign(value); }
    TEpBackground* ActiveTabBackground() const { return FActiveTabBackground; }
    void SetActiveTabBackground(TEpBackground* value) { FActiveTabBackground->Assign(value); }
    TEpBorder* ActiveTabBorder() const { return FActiveTabBorder; }
    void SetActiveTabBorder(TEpBorder* value) { FActiveTabBorder->Assign(value); }
    TEpBackground* InactiveTabBackground() const { return FInactiveTabBackground; }
    void SetInactiveTabBackground(TEpBackground* value) { FInactiveTabBackground->Assign(value); }
    TEpBorder* InactiveTabBorder() const { return FInactiveTabBorder; }
    void SetInactiveTabBorder(TEpBorder* value) { FInactiveTabBorder->Assign(value); }
    static const char* Version() { return TKsFamily::Version; }

    // Border.Width on every side (1 without a border).
    int GetLeftMargin() override;
    int GetTopMargin() override;
    int GetRightMargin() override;
    int GetBottomMargin() override;

    void Loaded() override;
    TPersistent* PropertyObject(const std::string& name) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void DrawTab(int index) override;
    void DrawBorder() override;
    // Repaints only in the designer.
    void StyleChanged(TObject* sender);

private:
    TEpBackground* FBackground;
    TEpBorder* FBorder;
    TEpBackground* FActiveTabBackground;
    TEpBorder* FActiveTabBorder;
    TEpBackground* FInactiveTabBackground;
    TEpBorder* FInactiveTabBorder;
    int Margin();
};

// Makes the tab control's classes known to form resources.
void RegisterTabControlClasses();

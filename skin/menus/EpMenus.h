// The styled Ks menu classes: the item that draws itself with a background,
// a border and a font, the popup menu and menu bar that own those styles
// and hand them to their items, and the popup window and frame that draw a
// level's background and border with the opening item's popup styles.
//
// The classic look of the base item classes (TSkinItem<F>::CalcSize and
// DrawItem) lives in EpMenus.cpp too, over the painter in ItemPainter.h.
#pragma once

#include "ItemPainter.h"
#include "MenuForms.h"
#include "Menus.h"
#include "SkinStyles.h"

class TEpPopupWindow;

// How an item of family F looks in view now (selected, inside the loop or
// not).
template <class F>
TItemFace ItemFace(TSkinItem<F>* item, typename F::ItemView* view, bool selected, bool notInLoop);

class TEpItem : public TKsCustomItem {
    GANTREL_CLASS(TEpItem)

    explicit TEpItem(TComponent* owner);

    // References to the container's style objects (not owned); each setter
    // sets this item and every descendant.
    TEpBackground* Background() const { return FBackground; }
    void SetBackground(TEpBackground* value);
    TEpBorder* Border() const { return FBorder; }
    void SetBorder(TEpBorder* value);
    TEpBackground* PopupBackground() const { return FPopupBackground; }
    void SetPopupBackground(TEpBackground* value);
    TEpBorder* PopupBorder() const { return FPopupBorder; }
    void SetPopupBorder(TEpBorder* value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* value);

    TPopupWindowClass GetPopupWindowClass() const override;
    void CalcSize(TKsBitmap* bitmap, TKsItemView* view, int& width, int& height) override;
    void DrawItem(TKsBitmap* bitmap, TKsItemView* view, const RECT& rect, bool selected, bool notInLoop) override;

private:
    TEpBackground* FBackground = nullptr;
    TEpBorder* FBorder = nullptr;
    TEpBackground* FPopupBackground = nullptr;
    TEpBorder* FPopupBorder = nullptr;
    TFont* FFont = nullptr;

    template <class Set>
    void ForTree(Set set);
};

// The five styles that a styled popup menu and a styled menu bar each own
// and hand to their item trees: the hot item's background and border, the
// popup levels' background and border, and the items' font. Both publish
// them under these names.
class TEpItemStyles {
public:
    // Sets the styles on root's tree at once.
    explicit TEpItemStyles(TKsCustomItem* root);
    // The tree must not keep the styles it is about to lose.
    ~TEpItemStyles();
    TEpItemStyles(const TEpItemStyles&) = delete;
    TEpItemStyles& operator=(const TEpItemStyles&) = delete;

    // A setter copies the value and sets the styles on the tree.
    TEpBackground* ItemBackground() const { return FItemBackground; }
    void SetItemBackground(TEpBackground* value) { SetStyle(FItemBackground, value); }
    TEpBackground* PopupBackground() const { return FPopupBackground; }
    void SetPopupBackground(TEpBackground* value) { SetStyle(FPopupBackground, value); }
    TEpBorder* ItemBorder() const { return FItemBorder; }
    void SetItemBorder(TEpBorder* value) { SetStyle(FItemBorder, value); }
    TEpBorder* PopupBorder() const { return FPopupBorder; }
    void SetPopupBorder(TEpBorder* value) { SetStyle(FPopupBorder, value); }
    TFont* ItemFont() const { return FItemFont; }
    void SetItemFont(TFont* value) { SetStyle(FItemFont, value); }

    // The five on every item of the tree.
    void SetOnTree();
    // The style published under name, or null.
    TPersistent* PropertyObject(const std::string& name) const;

private:
    TEpItem* FRoot;
    TEpBackground* FItemBackground;
    TEpBackground* FPopupBackground;
    TEpBorder* FItemBorder;
    TEpBorder* FPopupBorder;
    TFont* FItemFont;

    void SetOn(TEpBackground* itemBackground, TEpBackground* popupBackground, TEpBorder* itemBorder,
               TEpBorder* popupBorder, TFont* itemFont);
    template <class Style>
    void SetStyle(Style* owned, Style* value)
    {
        owned->Assign(value);
        SetOnTree();
    }
};

class TEpPopupMenu : public TKsCustomPopupMenu {
    GANTREL_CLASS(TEpPopupMenu)

    explicit TEpPopupMenu(TComponent* owner);
    static TKsCustomItemClass GetItemClassProc();

    TEpBackground* ItemBackground() const { return FStyles.ItemBackground(); }
    void SetItemBackground(TEpBackground* value) { FStyles.SetItemBackground(value); }
    TEpBackground* PopupBackground() const { return FStyles.PopupBackground(); }
    void SetPopupBackground(TEpBackground* value) { FStyles.SetPopupBackground(value); }
    TEpBorder* ItemBorder() const { return FStyles.ItemBorder(); }
    void SetItemBorder(TEpBorder* value) { FStyles.SetItemBorder(value); }
    TEpBorder* PopupBorder() const { return FStyles.PopupBorder(); }
    void SetPopupBorder(TEpBorder* value) { FStyles.SetPopupBorder(value); }
    TFont* ItemFont() const { return FStyles.ItemFont(); }
    void SetItemFont(TFont* value) { FStyles.SetItemFont(value); }
    // Read-only; never stored.
    std::string Version() const { return TKsFamily::Version; }

    // The styles set on the whole tree again, then the base's Popup.
    void Popup(int x, int y) override;

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

private:
    TEpItemStyles FStyles;
};

class TEpMenuBar : public TKsCustomMenuBar {
    GANTREL_CLASS(TEpMenuBar)

    explicit TEpMenuBar(TComponent* owner);
    ~TEpMenuBar() override;
    static TKsCustomItemClass GetItemClassProc();

    // The bar's own look.
    TEpBackground* Background() const { return FBackground; }
    void SetBackground(TEpBackground* value);
    TEpBorder* Border() const { return FBorder; }
    void SetBorder(TEpBorder* value);
    // The items' and their popups' looks, set on the tree.
    TEpBackground* PopupBackground() const { return FStyles.PopupBackground(); }
    void SetPopupBackground(TEpBackground* value) { FStyles.SetPopupBackground(value); }
    TEpBorder* PopupBorder() const { return FStyles.PopupBorder(); }
    void SetPopupBorder(TEpBorder* value) { FStyles.SetPopupBorder(value); }
    TEpBackground* ItemBackground() const { return FStyles.ItemBackground(); }
    void SetItemBackground(TEpBackground* value);
    TEpBorder* ItemBorder() const { return FStyles.ItemBorder(); }
    void SetItemBorder(TEpBorder* value);
    TFont* ItemFont() const { return FStyles.ItemFont(); }
    void SetItemFont(TFont* value) { FStyles.SetItemFont(value); }
    std::string Version() const { return TKsFamily::Version; }

    // Inside the bar's border.
    RECT GetViewRect() override;
    void Loaded() override;
    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    // Background, then the border over it.
    void PaintBackground() override;

private:
    TEpBackground* FBackground;
    TEpBorder* FBorder;
    TEpItemStyles FStyles;

    void BackgroundChanged(TObject* sender);
    void BorderChanged(TObject* sender);
    void ItemFontChanged(TObject* sender);
};

class TEpPopupForm : public TKsPopupForm {
    GANTREL_CLASS(TEpPopupForm)

    using TKsPopupForm::TKsPopupForm;

    // Inside the popup border, when there is one.
    RECT ClientRectFor(int width, int height) override;
    void PaintClientArea(TKsBitmap* buffer) override;
    void PaintNCArea(TKsBitmap* buffer) override;

private:
    TEpPopupWindow* EpWindow() const;
};

class TEpPopupWindow : public TKsPopupWindow {
    GANTREL_CLASS(TEpPopupWindow)

    using TKsPopupWindow::TKsPopupWindow;

    // The opening item's popup styles (not owned).
    TEpBackground* Background() const { return FBackground; }
    TEpBorder* Border() const { return FBorder; }

    void Setup(TKsCustomItem* item, TKsItemView* parentView) override;

protected:
    TKsPopupForm* CreateSkinForm() override;

private:
    TEpBackground* FBackground = nullptr;
    TEpBorder* FBorder = nullptr;
};

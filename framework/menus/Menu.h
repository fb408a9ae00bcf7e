// Menus on the platform's own menus: TMenuItem trees, the form's main menu
// bar and popup menus. Items are components of the form; a change to any
// item rebuilds the platform menu it belongs to.
#pragma once

#include "Component.h"

#include <string>
#include <vector>

class TMenu;

// Keyboard shortcut: virtual key plus these modifier bits.
using TShortCut = unsigned short;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
std::string ShortCutToText(TShortCut shortCut);

class TMenuItem : public TComponent {
    GANTREL_CLASS(TMenuItem)

    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool radio);
    bool Default() const { return FDefault; }
    void SetDefault(bool isDefault);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut shortCut);
    int GroupIndex = 0;
    std::string Hint;

    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int index) const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    TMenu* Menu() const;  // the menu at the root of this item's tree
    bool IsLine() const { return FCaption == "-"; }

    UINT Command() const { return FCommand; }
    // Finds the item with this command id in the tree below (and including) this one.
    TMenuItem* FindItem(UINT command);
    virtual void Click();

    TNotifyEvent OnClick;

    // Streaming: items are placed in the item or menu they are read inside.
    void SetParentComponent(TComponent* parent) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void Changed();

private:
    friend class TMenu;
    std::string FCaption;
    bool FChecked = false, FEnabled = true, FVisible = true, FRadioItem = false, FDefault = false;
    TShortCut FShortCut = 0;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on a menu's root item
    UINT FCommand;
};

class TMenu : public TComponent {
    GANTREL_CLASS(TMenu)

    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    TMenuItem* Items() const { return FItems; }
    HMENU Handle();
    // Runs the click of the item with this command id; false when none has it.
    bool DispatchCommand(UINT command);
    // The item whose shortcut is this key with these modifiers, if any.
    TMenuItem* FindShortCut(TShortCut shortCut);
    // Some item below changed: the platform menu is built again, or, while
    // the menu is open on screen, once it has closed.
    virtual void MenuChanged();
    void BeginUse() { ++FInUse; }
    void EndUse();

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

protected:
    virtual HMENU CreateMenuHandle() = 0;
    void DestroyHandle();
    // Forgets the platform menu without destroying it (the caller does).
    HMENU DetachHandle();
    void Fill(HMENU menu, TMenuItem* item);

private:
    TMenuItem* FItems;
    HMENU FHandle = nullptr;
    int FInUse = 0;
    bool FChangedInUse = false;
    friend class TMenuItem;
};

class TMainMenu : public TMenu {
    GANTREL_CLASS(TMainMenu)

    using TMenu::TMenu;
    // The window whose menu bar this is (set by the form).
    HWND WindowHandle = nullptr;
    void MenuChanged() override;

protected:
    HMENU CreateMenuHandle() override { return CreateMenu(); }
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
    GANTREL_CLASS(TPopupMenu)

    explicit TPopupMenu(TComponent* owner);

    // Shows the menu at screen point (x, y) and runs the chosen item's click.
    virtual void Popup(int x, int y);
    TComponent* PopupComponent = nullptr;
    bool AutoPopup = true;
    TPopupAlignment Alignment = paLeft;
    TNotifyEvent OnPopup;

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
};

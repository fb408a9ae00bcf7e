// Actions: one command (caption, check mark, enabled state, shortcut and
// handler) that several clients show and run, so that they all agree.
// TActionList holds the actions of a form; form resources write them as
// children of their list.
#pragma once

#include "Component.h"
#include "Menu.h"

#include <string>
#include <vector>

class TActionList;
class TImageList;

class TAction : public TComponent {
    GANTREL_CLASS(TAction)

    explicit TAction(TComponent* owner);
    ~TAction() override;

    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* list);
    int Index() const;  // in its list, or -1

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    // Checking an action of a GroupIndex above 0 unchecks the others of its
    // group in the same list.
    bool Checked() const { return FChecked; }
    void SetChecked(bool checked);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut shortCut);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int index);
    // Execute toggles Checked before the handler runs.
    bool AutoCheck = false;
    std::string Category;

    // Runs the list's OnExecute and, unless that handled it, OnExecute;
    // false when the action is disabled or nobody handled it.
    virtual bool Execute();
    // Lets OnUpdate bring Enabled, Checked and the rest up to date.
    virtual bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    // Clients (menu items, buttons) that show the action; each is told
    // after any property changed. Add and remove handlers directly.
    std::vector<TNotifyEvent> Clients;

    void SetParentComponent(TComponent* parent) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return FActionList != nullptr; }
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    void Changed();

private:
    friend class TActionList;
    TActionList* FActionList = nullptr;
    std::string FCaption, FHint;
    bool FChecked = false, FEnabled = true, FVisible = true;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    int FHelpContext = 0;
    int FGroupIndex = 0;
};

// The list's handlers see every action first; handled = true stops there.
using TActionEvent = TEvent<void(TAction*, bool&)>;

class TActionList : public TComponent {
    GANTREL_CLASS(TActionList)

    explicit TActionList(TComponent* owner);
    // Frees its actions.
    ~TActionList() override;

    int ActionCount() const { return int(FActions.size()); }
    TAction* Actions(int index) const;
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* images);

    // Runs OnUpdate of every action (when the program is idle).
    void UpdateActions();
    // Executes the enabled, visible action with this shortcut; false when
    // there is none. The form calls it for keys its menu did not use.
    bool IsShortCut(TShortCut shortCut);

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    // An action came into or left the list.
    TNotifyEvent OnChange;

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void Notification(TComponent* component, TOperation operation) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    friend class TAction;
    std::vector<TAction*> FActions;
    TImageList* FImages = nullptr;
    void Changed();
};

// Action links: the client's side of an action. A client (a menu item, a
// button) keeps one link to its action; the link hears every change of the
// action, says which of the client's properties the action supplies, and
// runs or updates the action for the client. Clients derive their own link
// and override the tests and setters for the properties they have.
#pragma once

#include "Action.h"

class TActionLink : public TObject {
    GANTREL_CLASS(TActionLink)

    TActionLink() = default;
    // Leaves the action's client list.
    ~TActionLink() override;

    TAction* Action() const { return FAction; }
    // Joins the action's client list (and leaves the previous one's).
    void SetAction(TAction* action);

    // The action's Execute / Update; false without an action.
    virtual bool Execute();
    virtual bool Update();

    // The action supplies this property of the client: here whenever an
    // action is linked; clients narrow it down.
    virtual bool IsCaptionLinked() const;
    virtual bool IsCheckedLinked() const;
    virtual bool IsEnabledLinked() const;
    virtual bool IsHelpContextLinked() const;
    virtual bool IsHintLinked() const;
    virtual bool IsImageIndexLinked() const;
    virtual bool IsShortCutLinked() const;
    virtual bool IsVisibleLinked() const;
    virtual bool IsOnExecuteLinked() const;

    // A property of the action changed to this value; the client's link
    // writes it into the client where it is linked. Nothing here.
    virtual void SetCaption(const std::string& value) { (void)value; }
    virtual void SetChecked(bool value) { (void)value; }
    virtual void SetEnabled(bool value) { (void)value; }
    virtual void SetHelpContext(int value) { (void)value; }
    virtual void SetHint(const std::string& value) { (void)value; }
    virtual void SetImageIndex(int value) { (void)value; }
    virtual void SetShortCut(TShortCut value) { (void)value; }
    virtual void SetVisible(bool value) { (void)value; }
    virtual void SetOnExecute(TNotifyEvent value) { (void)value; }

    // Runs (with the action as sender) after any property of the action
    // changed.
    TNotifyEvent OnChange;

private:
    TAction* FAction = nullptr;
    // Here whenever an action is linked.
    bool Linked() const { return FAction != nullptr; }
    void ActionChanged(TObject* sender);
};

#include "ActionLink.h"

#include <algorithm>

TActionLink::~TActionLink() { SetAction(nullptr); }

void TActionLink::SetAction(TAction* action)
{
    if (action == FAction) return;
    const TNotifyEvent listener = MakeEvent<&TActionLink::ActionChanged>(this);
    // An action that is being destroyed has already let go of its clients.
    if (FAction && !FAction->Destroying()) {
        auto& clients = FAction->Clients;
        clients.erase(std::remove(clients.begin(), clients.end(), listener), clients.end());
    }
    FAction = action;
    if (FAction) FAction->Clients.push_back(listener);
}

bool TActionLink::Execute() { return FAction && FAction->Execute(); }

bool TActionLink::Update() { return FAction && FAction->Update(); }

bool TActionLink::IsCaptionLinked() const { return Linked(); }
bool TActionLink::IsCheckedLinked() const { return Linked(); }
bool TActionLink::IsEnabledLinked() const { return Linked(); }
bool TActionLink::IsHelpContextLinked() const { return Linked(); }
bool TActionLink::IsHintLinked() const { return Linked(); }
bool TActionLink::IsImageIndexLinked() const { return Linked(); }
bool TActionLink::IsShortCutLinked() const { return Linked(); }
bool TActionLink::IsVisibleLinked() const { return Linked(); }
bool TActionLink::IsOnExecuteLinked() const { return Linked(); }

void TActionLink::ActionChanged(TObject* sender)
{
    if (OnChange) OnChange(sender);
}

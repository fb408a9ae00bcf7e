#include "ActionLink.h"

#include <algorithm>

TActionLink::TActionLink(TObject* client) { (void)client; }

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

bool TActionLink::IsCaptionLinked() const { return FAction != nullptr; }
bool TActionLink::IsCheckedLinked() const { return FAction != nullptr; }
bool TActionLink::IsEnabledLinked() const { return FAction != nullptr; }
bool TActionLink::IsHelpContextLinked() const { return FAction != nullptr; }
bool TActionLink::IsHintLinked() const { return FAction != nullptr; }
bool TActionLink::IsImageIndexLinked() const { return FAction != nullptr; }
bool TActionLink::IsShortCutLinked() const { return FAction != nullptr; }
bool TActionLink::IsVisibleLinked() const { return FAction != nullptr; }
bool TActionLink::IsOnExecuteLinked() const { return FAction != nullptr; }

void TActionLink::ActionChanged(TObject* sender)
{
    if (OnChange) OnChange(sender);
}

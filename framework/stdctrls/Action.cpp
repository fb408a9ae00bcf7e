#include "Action.h"

#include "ImageList.h"
#include "Reader.h"

#include <algorithm>

TAction::TAction(TComponent* owner) : TComponent(owner) {}

TAction::~TAction()
{
    BeginDestroy();
    SetActionList(nullptr);
}

void TAction::SetActionList(TActionList* list)
{
    if (list == FActionList) return;
    if (FActionList) {
        auto& actions = FActionList->FActions;
        actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
        TActionList* old = FActionList;
        FActionList = nullptr;
        old->Changed();
    }
    if (list) {
        list->FActions.push_back(this);
        FActionList = list;
        list->Changed();
    }
}

int TAction::Index() const
{
    if (!FActionList) return -1;
    auto& actions = FActionList->FActions;
    return int(std::find(actions.begin(), actions.end(), this) - actions.begin());
}

void TAction::SetParentComponent(TComponent* parent)
{
    if (auto* list = dynamic_cast<TActionList*>(parent)) SetActionList(list);
}

TComponent* TAction::GetParentComponent() const { return FActionList; }

void TAction::Changed()
{
    if (Destroying()) return;
    // A client may unregister itself while it is told.
    std::vector<TNotifyEvent> clients = Clients;
    for (const TNotifyEvent& client : clients) client(this);
}

void TAction::SetCaption(const std::string& caption)
{
    if (caption == FCaption) return;
    FCaption = caption;
    Changed();
}

void TAction::SetChecked(bool checked)
{
    if (checked == FChecked) return;
    FChecked = checked;
    if (checked && FGroupIndex > 0 && FActionList) {
        for (TAction* other : std::vector<TAction*>(FActionList->FActions))
            if (other != this && other->FGroupIndex == FGroupIndex) other->SetChecked(false);
    }
    Changed();
}

void TAction::SetHelpContext(int value)
{
    if (value == FHelpContext) return;
    FHelpContext = value;
    Changed();
}

void TAction::SetEnabled(bool enabled)
{
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    Changed();
}

void TAction::SetVisible(bool visible)
{
    if (visible == FVisible) return;
    FVisible = visible;
    Changed();
}

void TAction::SetHint(const std::string& hint)
{
    if (hint == FHint) return;
    FHint = hint;
    Changed();
}

void TAction::SetShortCut(TShortCut shortCut)
{
    if (shortCut == FShortCut) return;
    FShortCut = shortCut;
    Changed();
}

void TAction::SetImageIndex(int index)
{
    if (index == FImageIndex) return;
    FImageIndex = index;
    Changed();
}

void TAction::SetGroupIndex(int index)
{
    if (index == FGroupIndex) return;
    FGroupIndex = index;
    Changed();
}

bool TAction::Execute()
{
    if (!FEnabled) return false;
    if (FActionList && FActionList->OnExecute) {
        bool handled = false;
        FActionList->OnExecute(this, handled);
        if (handled) return true;
    }
    if (AutoCheck) SetChecked(!FChecked);
    if (!OnExecute) return AutoCheck;
    OnExecute(this);
    return true;
}

bool TAction::Update()
{
    if (FActionList && FActionList->OnUpdate) {
        bool handled = false;
        FActionList->OnUpdate(this, handled);
        if (handled) return true;
    }
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

bool TAction::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Caption") SetCaption(reader.ReadString());
    else if (name == "Checked") SetChecked(reader.ReadBool());
    else if (name == "Enabled") SetEnabled(reader.ReadBool());
    else if (name == "Visible") SetVisible(reader.ReadBool());
    else if (name == "Hint") SetHint(reader.ReadString());
    else if (name == "ShortCut") SetShortCut(TShortCut(reader.ReadInteger()));
    else if (name == "ImageIndex") SetImageIndex(reader.ReadInteger());
    else if (name == "HelpContext") SetHelpContext(reader.ReadInteger());
    else if (name == "GroupIndex") SetGroupIndex(reader.ReadInteger());
    else if (name == "AutoCheck") AutoCheck = reader.ReadBool();
    else if (name == "Category") Category = reader.ReadString();
    else if (name == "OnExecute") OnExecute = reader.ReadEvent<TNotifyEvent>();
    else if (name == "OnUpdate") OnUpdate = reader.ReadEvent<TNotifyEvent>();
    else return TComponent::ReadProperty(name, reader);
    return true;
}

TActionList::TActionList(TComponent* owner) : TComponent(owner) {}

TActionList::~TActionList()
{
    BeginDestroy();
    while (!FActions.empty()) FActions.back()->Free();
    SetImages(nullptr);
}

TAction* TActionList::Actions(int index) const
{
    if (index < 0 || index >= ActionCount()) throw EListError("Action index out of bounds (" + std::to_string(index) + ")");
    return FActions[size_t(index)];
}

void TActionList::SetImages(TImageList* images)
{
    if (images == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = images;
    if (images) images->FreeNotification(this);
}

void TActionList::Changed()
{
    if (!Destroying() && OnChange) OnChange(this);
}

void TActionList::UpdateActions()
{
    for (TAction* action : std::vector<TAction*>(FActions)) action->Update();
}

bool TActionList::IsShortCut(TShortCut shortCut)
{
    if (!shortCut) return false;
    for (TAction* action : std::vector<TAction*>(FActions)) {
        if (action->ShortCut() != shortCut || !action->Visible()) continue;
        // The handler may turn the action off first, as before any run.
        action->Update();
        return action->Execute();
    }
    return false;
}

void TActionList::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    for (TAction* action : FActions)
        if (action->Owner() == root) proc(action);
}

void TActionList::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FImages) FImages = nullptr;
}

bool TActionList::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Images") reader.ReadReference<TImageList>([this](TImageList* images) { SetImages(images); });
    else if (name == "OnExecute") OnExecute = reader.ReadEvent<TActionEvent>();
    else if (name == "OnUpdate") OnUpdate = reader.ReadEvent<TActionEvent>();
    else if (name == "OnChange") OnChange = reader.ReadEvent<TNotifyEvent>();
    else return TComponent::ReadProperty(name, reader);
    return true;
}

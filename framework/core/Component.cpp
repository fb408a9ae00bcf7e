#include "Component.h"

#include "Reader.h"

#include <algorithm>
#include <cctype>

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

TComponent::TComponent(TComponent* owner)
{
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    BeginDestroy();
    // Everyone who asked is told, so that no reference to this outlives it.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& back = other->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount()) throw EListError("Component index out of bounds (" + std::to_string(index) + ")");
    return FComponents[size_t(index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TComponent::SetName(const std::string& name)
{
    if (name == FName) return;
    if (!name.empty()) {
        bool valid = std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_';
        for (char c : name) valid = valid && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
        if (!valid) throw EComponentError("'" + name + "' is not a valid component name");
        if (FOwner) {
            TComponent* other = FOwner->FindComponent(name);
            if (other && other != this) throw EComponentError("A component named " + name + " already exists");
        }
    }
    FName = name;
}

void TComponent::Loaded()
{
    FComponentState &= ~csLoading;
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component) {
        auto& list = FFreeNotifies;
        list.erase(std::remove(list.begin(), list.end(), component), list.end());
    }
    // Owned components hear about each other.
    for (TComponent* c : std::vector<TComponent*>(FComponents))
        if (c != component) c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
        FFreeNotifies.push_back(component);
    auto& back = component->FFreeNotifies;
    if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    if (!component) return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component), FFreeNotifies.end());
    auto& back = component->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    (void)root;
    for (TComponent* c : FComponents)
        if (!c->HasParent()) proc(c);
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component)
{
    if (!component || component->FOwner == this) return;
    if (!component->FName.empty() && FindComponent(component->FName))
        throw EComponentError("A component named " + component->FName + " already exists");
    if (component->FOwner) component->FOwner->RemoveComponent(component);
    FComponents.push_back(component);
    component->FOwner = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it == FComponents.end()) return;
    Notification(component, opRemove);
    it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it != FComponents.end()) FComponents.erase(it);
    component->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    // Last created goes first; each removes itself from the list.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        c->BeginDestroy();
        c->Free();
    }
}

bool TComponent::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Name") {
        SetName(reader.ReadString());
        return true;
    }
    if (name == "Tag") {
        Tag = reader.ReadInteger();
        return true;
    }
    return TPersistent::ReadProperty(name, reader);
}

// TComponent: named objects with an owner that frees them, loading state
// for streaming, and notification when components they refer to go away.
#pragma once

#include "Object.h"

#include <functional>
#include <string>
#include <vector>

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,     // being streamed; Loaded clears it
    csReading = 1u << 1,     // its properties are being read
    csWriting = 1u << 2,
    csDestroying = 1u << 3,  // its destructor has begun
    csDesigning = 1u << 4,   // never set in a running program
    csUpdating = 1u << 5,
};
using TComponentState = unsigned;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
    GANTREL_CLASS(TComponent)

    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return int(FComponents.size()); }
    TComponent* Components(int index) const;
    int ComponentIndex() const;

    const std::string& Name() const { return FName; }
    // Names are unique (ignoring case) among the owner's components.
    virtual void SetName(const std::string& name);
    int Tag = 0;

    TComponentState ComponentState() const { return FComponentState; }
    bool Loading() const { return (FComponentState & csLoading) != 0; }
    bool Destroying() const { return (FComponentState & csDestroying) != 0; }
    void SetComponentState(TComponentState flags) { FComponentState |= flags; }
    void ClearComponentState(TComponentState flags) { FComponentState &= ~flags; }

    // Runs once after the whole form has been read; clears csLoading.
    virtual void Loaded();
    // A component this one owns or asked to be told about comes or goes.
    virtual void Notification(TComponent* component, TOperation operation);
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Components that streaming places inside this one (controls inside a
    // panel); the default lists the owned components without a parent.
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
    virtual void SetParentComponent(TComponent* parent) { (void)parent; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual bool HasParent() const { return false; }

    TComponent* FindComponent(const std::string& name) const;
    template <typename T>
    T* FindComponent(const std::string& name) const
    {
        return dynamic_cast<T*>(FindComponent(name));
    }
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    // The destructor of every class calls this first thing, so that the
    // controls can tell a component that is going away from a live one.
    void BeginDestroy() { FComponentState |= csDestroying; }

private:
    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState = 0;
};

bool SameText(const std::string& a, const std::string& b);

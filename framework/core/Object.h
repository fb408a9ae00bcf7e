// TObject and TPersistent: the roots of the class tree, the class registry
// that streaming creates components from, and message dispatch by number.
#pragma once

#include "Event.h"
#include "Exceptions.h"

#include <windows.h>

#include <string>

// One window message with its result, as every control's message
// procedure and every handler receives it.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Gives a class its name for streaming and error messages. Put it first in
// every class that forms name or that has handlers of its own.
#define GANTREL_CLASS(Name)                                            \
public:                                                                \
    static constexpr const char* StaticClassName() { return #Name; }  \
    const char* ClassName() const override { return #Name; }

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    static constexpr const char* StaticClassName() { return "TObject"; }
    virtual const char* ClassName() const { return "TObject"; }

    // The second construction step: runs once every constructor is through,
    // so that overrides reached from it are the most derived ones. The form
    // reader, Application->CreateForm and NewForm call it.
    virtual void AfterConstruction() {}
    // Runs before the destructors, while the object is still whole (a form
    // calls its OnDestroy here). Free and the owners of components call it.
    virtual void BeforeDestruction() {}
    void Free()
    {
        BeforeDestruction();
        delete this;
    }

    // Messages by number. Classes override Dispatch with a switch over the
    // numbers they handle and pass everything else to their base's Dispatch;
    // what nobody handles ends in DefaultHandler.
    virtual void Dispatch(TMessage& message) { DefaultHandler(message); }
    virtual void DefaultHandler(TMessage& message) { (void)message; }
};

class TFiler;
class TReader;
class TComponent;

class TPersistent : public TObject {
    GANTREL_CLASS(TPersistent)

    // Copies source into this; classes that know source override it and
    // fall back to the base, which asks source->AssignTo(this), which by
    // default raises EConvertError.
    virtual void Assign(TPersistent* source);
    virtual TPersistent* GetOwner() { return nullptr; }

    // Streaming from form resources. ReadProperty handles one published
    // property and returns false for a name the class does not publish;
    // PropertyObject hands out nested objects ("Font" of "Font.Name").
    virtual bool ReadProperty(const std::string& name, TReader& reader);
    virtual TPersistent* PropertyObject(const std::string& name);
    // Properties with data of their own format (binary images and the like).
    virtual void DefineProperties(TFiler* filer) { (void)filer; }

protected:
    virtual void AssignTo(TPersistent* dest);
};

// The class registry: the classes a form resource may name.
using TComponentFactory = TComponent* (*)(TComponent* owner);
void RegisterClass(const char* name, TComponentFactory factory);
TComponentFactory FindClass(const std::string& name);

template <typename T>
void RegisterClass()
{
    RegisterClass(T::StaticClassName(), [](TComponent* owner) -> TComponent* { return new T(owner); });
}

template <typename... T>
void RegisterClasses()
{
    (RegisterClass<T>(), ...);
}

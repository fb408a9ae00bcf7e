// Events: a nullable, comparable closure of an object and one of its member
// functions. Unlike std::function, two events bound to the same method of
// the same object compare equal, so a handler can be saved, compared and put
// back (the skinned controls rely on that).
//
//   Button1->OnClick = MakeEvent<&TForm1::Button1Click>(this);
//   if (OnClick) OnClick(this);
#pragma once

#include <type_traits>
#include <typeindex>
#include <typeinfo>

class TObject;

// The untyped form of an event, as the form reader binds handlers by name.
struct TMethod {
    void* Code = nullptr;  // the thunk that calls the member function
    void* Data = nullptr;  // the object
    const std::type_info* Signature = nullptr;

    bool operator==(const TMethod& o) const { return Code == o.Code && Data == o.Data; }
    bool operator!=(const TMethod& o) const { return !(*this == o); }
};

template <typename Signature>
class TEvent;

template <typename... Args>
class TEvent<void(Args...)> {
public:
    using Thunk = void (*)(void*, Args...);

    TEvent() = default;
    TEvent(std::nullptr_t) {}
    TEvent(void* data, Thunk code) : Data(data), Code(code) {}

    // A method's untyped form; its signature must be this event's.
    static bool Matches(const TMethod& m) { return m.Signature && *m.Signature == typeid(void(Args...)); }
    static TEvent FromMethod(const TMethod& m) { return TEvent(m.Data, reinterpret_cast<Thunk>(m.Code)); }
    TMethod ToMethod() const { return TMethod{reinterpret_cast<void*>(Code), Data, &typeid(void(Args...))}; }

    explicit operator bool() const { return Code != nullptr; }
    void operator()(Args... args) const
    {
        if (Code) Code(Data, args...);
    }
    bool operator==(const TEvent& o) const { return Code == o.Code && Data == o.Data; }
    bool operator!=(const TEvent& o) const { return !(*this == o); }
    void* Object() const { return Data; }

private:
    void* Data = nullptr;
    Thunk Code = nullptr;
};

namespace EventDetail {
template <auto Method>
struct Binder;

template <typename C, typename... Args, void (C::*Method)(Args...)>
struct Binder<Method> {
    using Event = TEvent<void(Args...)>;
    static void Call(void* object, Args... args) { (static_cast<C*>(object)->*Method)(args...); }
    static Event Make(C* object) { return Event(object, &Call); }
    static TMethod Untyped(C* object) { return Make(object).ToMethod(); }
};
}  // namespace EventDetail

template <auto Method, typename C>
auto MakeEvent(C* object)
{
    return EventDetail::Binder<Method>::Make(object);
}

// The untyped method, for tables of handlers that forms publish by name.
template <auto Method, typename C>
TMethod MakeMethod(C* object)
{
    return EventDetail::Binder<Method>::Untyped(object);
}

// The framework's common event types.
using TNotifyEvent = TEvent<void(TObject*)>;

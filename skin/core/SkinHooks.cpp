#include "SkinHooks.h"

#include <cstdint>

// --- The link a subclassed window carries ----------------------------------

// Lives on the window under F::HookProperty from the moment our procedure goes
// into the window until nobody can call it for that window any more: ours was
// taken out while on top, or the window got WM_NCDESTROY. While one of the
// window's messages is on the stack it is not deleted, only marked gone.
template <class F>
struct TControlHook<F>::TWindowLink {
    HWND Window;
    WNDPROC Prev;
    TControlHook* Record;  // whose hooks run; null: pass everything on
    int Depth = 0;
    bool Gone = false;

    TWindowLink(HWND window, WNDPROC prev, TControlHook* record) : Window(window), Prev(prev), Record(record) {}

    bool OnTop() const
    {
        return GetWindowLongPtrA(Window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TControlHook::HookedWndProc);
    }
    // Nobody can reach us through the window any more. The caller deletes
    // the link unless one of the window's messages is on the stack.
    void Close()
    {
        RemovePropA(Window, F::HookProperty);
        if (Record) Record->FLink = nullptr;
        Record = nullptr;
        Gone = true;
    }
    // Ours is the window's procedure: put back what it replaced.
    void Unsubclass()
    {
        SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Prev));
        Close();
    }
};

// --- Registry ----------------------------------------------------------------

template <class F>
THookList<F>* THookList<F>::FInstance = nullptr;

namespace {
// Frees a family's registry when the program ends.
template <class F>
struct THookListFinalizer {
    ~THookListFinalizer() { THookList<F>::Release(); }
};
}  // namespace

template <class F>
THookList<F>::THookList()
{
    FUtilityWindow = AllocateHWnd(MakeEvent<&THookList::ServiceWndProc>(this));
}

template <class F>
THookList<F>::~THookList()
{
    // Each record takes itself out of the list.
    while (Count() > 0) Records(Count() - 1)->Free();
    DeallocateHWnd(FUtilityWindow);
}

template <class F>
THookList<F>* THookList<F>::Ensure()
{
    if (!FInstance) {
        static THookListFinalizer<F> finalizer;
        FInstance = new THookList;
    }
    return FInstance;
}

template <class F>
void THookList<F>::Release()
{
    THookList* list = FInstance;
    if (!list) return;
    list->Free();
    FInstance = nullptr;
}

template <class F>
TControlHook<F>* THookList<F>::FindHook(TWinControl* control) const
{
    if (!control) return nullptr;
    for (int i = 0; i < Count(); ++i)
        if (Records(i)->Control() == control) return Records(i);
    return nullptr;
}

template <class F>
TControlHook<F>* THookList<F>::HookFor(TWinControl* control)
{
    if (TControlHook<F>* found = FindHook(control)) return found;
    auto* record = new TControlHook<F>;
    try {
        Add(record);
        record->SetControl(control);
    } catch (...) {
        record->Free();
        throw;
    }
    return record;
}

template <class F>
void THookList<F>::ServiceWndProc(TMessage& message)
{
    if (message.Msg != KM_REHOOK && message.Msg != KM_FREEHOOK) {
        message.Result = DefWindowProcA(FUtilityWindow, message.Msg, message.WParam, message.LParam);
        return;
    }
    // A record that is gone (or never was one) is not looked at. Exceptions
    // go to the application's handler through the utility window.
    auto* record = reinterpret_cast<TControlHook<F>*>(message.LParam);
    if (IndexOf(record) < 0) return;
    if (message.Msg == KM_REHOOK) {
        record->AttachWindowProc();
    } else if (record->HookCount() == 0) {
        // Its window may be handling a message through it right now (a
        // hook running a modal loop): once that is through.
        if (record->FBusy > 0)
            record->FFreeWhenIdle = true;
        else
            record->Free();
    }
}

// --- Subclassing record ------------------------------------------------------

template <class F>
TControlHook<F>::TControlHook() : FHooks(new TList)
{
}

template <class F>
TControlHook<F>::~TControlHook()
{
    FDestroying = true;
    if (THookList<F>* list = THookList<F>::Instance()) list->Remove(this);
    while (FHooks->Count() > 0) RemoveHook(Hooks(FHooks->Count() - 1));
    DetachWindowProc();
    FControl = nullptr;
    delete FHooks;
}

template <class F>
HWND TControlHook<F>::Window() const
{
    return FLink ? FLink->Window : nullptr;
}

template <class F>
WNDPROC TControlHook<F>::PreviousWndProc() const
{
    return FLink ? FLink->Prev : nullptr;
}

template <class F>
void TControlHook<F>::AddHook(TSkinHook<F>* hook)
{
    if (FHooks->IndexOf(hook) < 0) {
        FHooks->Add(hook);
        hook->FControlHook = this;
        SetControl(hook->FControl);
    }
    AttachWindowProc();
}

template <class F>
void TControlHook<F>::RemoveHook(TSkinHook<F>* hook)
{
    if (hook->FControlHook == this) hook->FControlHook = nullptr;
    if (FHooks->Remove(hook) < 0 || FHooks->Count() > 0) return;
    // Empty: it leaves the window now and holds no control that could be
    // freed before the registry frees the record.
    DetachWindowProc();
    FControl = nullptr;
    PostFree();
}

template <class F>
void TControlHook<F>::PostFree()
{
    THookList<F>* list = THookList<F>::Instance();
    if (!list || FDestroying) return;
    PostMessageA(list->UtilityWindow(), KM_FREEHOOK, 0, reinterpret_cast<LPARAM>(this));
}

template <class F>
void TControlHook<F>::SetControl(TWinControl* control)
{
    if (control == FControl) return;
    DetachWindowProc();
    FControl = control;
    if (FHooks->Count() > 0) AttachWindowProc();
}

template <class F>
void TControlHook<F>::AttachWindowProc()
{
    if (!FControl || FDestroying || FHooks->Count() == 0) return;
    if (FControl->ComponentState() & (csDesigning | csDestroying)) return;
    HWND window = FControl->Handle();
    if (FLink) {
        if (FLink->Window == window) return;
        DetachWindowProc();
    }
    auto* link = static_cast<TWindowLink*>(GetPropA(window, F::HookProperty));
    if (link) {
        // Ours is still in this window's chain, under another subclasser,
        // passing messages on: it takes up this record's hooks again rather
        // than going in a second time.
        if (link->Record && link->Record != this) link->Record->FLink = nullptr;
        link->Record = this;
        FLink = link;
        return;
    }
    link = new TWindowLink(window, reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)), this);
    if (!SetPropA(window, F::HookProperty, link)) {
        delete link;
        RaiseLastOSError("Cannot subclass the window");
    }
    FLink = link;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookedWndProc));
}

template <class F>
void TControlHook<F>::DetachWindowProc()
{
    TWindowLink* link = FLink;
    if (!link) return;
    FLink = nullptr;
    link->Record = nullptr;
    // Another procedure was installed over ours and may call it: the link
    // stays and passes messages on until the window goes.
    if (IsWindow(link->Window) && !link->OnTop()) return;
    if (IsWindow(link->Window))
        link->Unsubclass();
    else
        link->Close();
    if (link->Depth == 0) delete link;
}

template <class F>
void TControlHook<F>::CallHooks(THookPass pass, TMessage& message, bool& handled)
{
    if (FHooks->Count() == 0 || !FControl || FDestroying || FControl->Destroying()) return;
    for (int i = FHooks->Count() - 1; i >= 0; --i) {
        // A hook may take hooks out of the chain, or free the control.
        if (!FControl || FDestroying) return;
        if (i >= FHooks->Count()) continue;
        TSkinHook<F>* hook = Hooks(i);
        try {
            if (pass == hpBefore)
                hook->DoBeforeMessage(message, handled);
            else
                hook->DoAfterMessage(message, handled);
        } catch (...) {
            HandleCallbackException();
        }
        if (handled) return;
        // Go on below this hook wherever it is now; when it left, below
        // the place it had.
        int at = FHooks->IndexOf(hook);
        if (at >= 0)
            i = at;
        else if (i > FHooks->Count())
            i = FHooks->Count();
    }
}

template <class F>
void TControlHook<F>::Route(TWindowLink* link, HWND window, TMessage& m)
{
    auto forward = [&] { m.Result = CallWindowProcA(link->Prev, window, m.Msg, m.WParam, m.LParam); };
    if (!FControl) {
        forward();
        return;
    }
    bool handled = false;
    if (m.Msg != WM_QUIT) CallHooks(hpBefore, m, handled);
    // WM_DESTROY goes on whatever the hooks said: the window goes anyway.
    if (!handled || m.Msg == WM_DESTROY) {
        try {
            forward();
        } catch (...) {
            CallHooks(hpAfter, m, handled);
            throw;
        }
        CallHooks(hpAfter, m, handled);
    }
    if (m.Msg == WM_DESTROY) {
        if (FLink == link) DetachWindowProc();
        // A control that lives on gets a new window (RecreateWnd): the chain
        // follows it once the new window exists.
        THookList<F>* list = THookList<F>::Instance();
        if (list && !FDestroying && FControl && !FControl->Destroying())
            PostMessageA(list->UtilityWindow(), KM_REHOOK, 0, reinterpret_cast<LPARAM>(this));
    }
}

template <class F>
LRESULT CALLBACK TControlHook<F>::HookedWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* link = static_cast<TWindowLink*>(GetPropA(window, F::HookProperty));
    if (!link) {
        // Not subclassed by us (any more) and still called: the default
        // answer of the window's control, as its own handling would give.
        TWinControl* control = TWinControl::FindControl(window);
        return CallWindowProcA(control ? control->DefWndProc() : DefWindowProcA, window, msg, wParam, lParam);
    }
    ++link->Depth;
    TControlHook* record = link->Record;
    if (record) ++record->FBusy;
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    try {
        if (record)
            record->Route(link, window, m);
        else
            m.Result = CallWindowProcA(link->Prev, window, msg, wParam, lParam);
    } catch (...) {
        HandleCallbackException();
    }
    if (record && --record->FBusy == 0 && record->FFreeWhenIdle) {
        record->FFreeWhenIdle = false;
        record->PostFree();
    }
    if (!link->Gone) {
        if (msg == WM_NCDESTROY)
            link->Close();  // the window's last message
        else if (!link->Record && link->OnTop())
            link->Unsubclass();  // a pass-through link whose subclasser has left
    }
    if (--link->Depth == 0 && link->Gone) delete link;
    return m.Result;
}

// --- Hook ----------------------------------------------------------------------

template <class F>
TSkinHook<F>::TSkinHook(TComponent* owner) : TComponent(owner)
{
}

template <class F>
TSkinHook<F>::~TSkinHook()
{
    BeginDestroy();
    SetActive(false);
    SetWinControl(nullptr);
}

template <class F>
void TSkinHook<F>::SetActive(bool active)
{
    if (active == FActive) return;
    if (active)
        HookControl();
    else
        UnhookControl();
}

template <class F>
TWinControl* TSkinHook<F>::GetWinControl() const
{
    return FControlHook ? FControlHook->Control() : FControl;
}

template <class F>
void TSkinHook<F>::SetWinControl(TWinControl* control)
{
    if (control == GetWinControl()) return;
    bool wasActive = FActive;
    DoUnhookControl();
    if (FControl && FControl != control) RemoveFreeNotification(FControl);
    FControl = control;
    if (control) FreeNotification(control);
    if (wasActive) HookControl();
}

template <class F>
HWND TSkinHook<F>::GetHookHandle() const
{
    THookList<F>* list = THookList<F>::Instance();
    return list ? list->UtilityWindow() : reinterpret_cast<HWND>(intptr_t(-1));
}

template <class F>
void TSkinHook<F>::HookControl()
{
    if (FControl && !Destroying()) THookList<F>::Ensure()->HookFor(FControl)->AddHook(this);
    FActive = true;
}

template <class F>
TControlHook<F>* TSkinHook<F>::DoUnhookControl()
{
    TControlHook<F>* record = FControlHook;
    if (record) record->RemoveHook(this);
    FActive = false;
    return record;
}

template <class F>
void TSkinHook<F>::DoBeforeMessage(TMessage& message, bool& handled)
{
    if (OnBeforeMessage) OnBeforeMessage(this, message, handled);
}

template <class F>
void TSkinHook<F>::DoAfterMessage(TMessage& message, bool& handled)
{
    if (OnAfterMessage) OnAfterMessage(this, message, handled);
}

template <class F>
void TSkinHook<F>::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove || !component) return;
    TControlHook<F>* record = FControlHook;
    bool recordOnIt = record && record->Control() == component;
    if (component != FControl && !recordOnIt) return;
    // The control is being freed: neither this hook nor its record may keep
    // it. The hook stays armed for a control set later.
    bool wasActive = FActive;
    DoUnhookControl();
    if (recordOnIt && record->HookCount() > 0) record->SetControl(nullptr);
    if (component == FControl) FControl = nullptr;
    if (wasActive) HookControl();
}

// --- Hook component --------------------------------------------------------------

template <class F>
TSkinHookComponent<F>::TSkinHookComponent(TComponent* owner) : TComponent(owner), FHook(new typename F::Hook(this))
{
    FHook->OnBeforeMessage = MakeEvent<&TSkinHookComponent::DoBefore>(this);
    FHook->OnAfterMessage = MakeEvent<&TSkinHookComponent::DoAfter>(this);
}

template <class F>
TSkinHookComponent<F>::~TSkinHookComponent()
{
    BeginDestroy();
    TSkinHook<F>* hook = FHook;
    FHook = nullptr;
    hook->Free();
}

template <class F>
typename F::Hook* TSkinHookComponent<F>::Hook() const
{
    return static_cast<typename F::Hook*>(FHook);
}

template <class F>
TWinControl* TSkinHookComponent<F>::HookedControl() const
{
    return FHook ? FHook->GetWinControl() : nullptr;
}

template <class F>
void TSkinHookComponent<F>::SetActive(bool active)
{
    if (active == FActive) return;
    FActive = active;
    if (active)
        HookForm();
    else
        UnHookForm();
}

template <class F>
void TSkinHookComponent<F>::HookForm()
{
    if (FControl) FreeNotification(FControl);
    FHook->SetWinControl(FControl);
    FHook->SetActive(true);
    FActive = true;
}

template <class F>
void TSkinHookComponent<F>::UnHookForm()
{
    FHook->SetActive(false);
    FActive = false;
}

template <class F>
void TSkinHookComponent<F>::Loaded()
{
    TComponent::Loaded();
    if (FActive) HookForm();
}

template <class F>
void TSkinHookComponent<F>::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component && component == FControl) FControl = nullptr;
}

template <class F>
void TSkinHookComponent<F>::AfterControl(TObject* sender, TMessage& message, bool& handled)
{
    (void)sender;
    (void)message;
    (void)handled;
}

template <class F>
void TSkinHookComponent<F>::DoBefore(TObject* sender, TMessage& message, bool& handled)
{
    (void)sender;
    // A handler may send its window another message that comes back here:
    // each message keeps its own Handled.
    bool outer = FHandled;
    FHandled = handled;
    try {
        Dispatch(message);
    } catch (...) {
        handled = FHandled;
        FHandled = outer;
        throw;
    }
    handled = FHandled;
    FHandled = outer;
}

template <class F>
void TSkinHookComponent<F>::DoAfter(TObject* sender, TMessage& message, bool& handled)
{
    AfterControl(sender, message, handled);
}

// --- Leaves and the registries by name ------------------------------------------

TCustomForm* TKsHookComponent::GetForm() const
{
    TWinControl* control = HookedControl();
    if (!control) return nullptr;
    auto* form = dynamic_cast<TCustomForm*>(control);
    if (!form) throw EConvertError(std::string("Invalid class typecast: ") + control->ClassName() + " is not a form");
    return form;
}

HWND TKsHookComponent::GetHandle() const
{
    TCustomForm* form = GetForm();
    return form ? form->Handle() : nullptr;
}

TCustomForm* TMpHookComponent::GetForm() const
{
    return dynamic_cast<TCustomForm*>(HookedControl());
}

HWND TMpHookComponent::GetHandle() const
{
    TWinControl* control = HookedControl();
    return control ? control->Handle() : nullptr;
}

THookList<TKsFamily>* EnsureHookList()
{
    return THookList<TKsFamily>::Ensure();
}

THookList<TMpFamily>* EnsureKsHookList()
{
    return THookList<TMpFamily>::Ensure();
}

void FreeHookList()
{
    THookList<TKsFamily>::Release();
}

void FreeKsHookList()
{
    THookList<TMpFamily>::Release();
}

template class THookList<TKsFamily>;
template class THookList<TMpFamily>;
template class TControlHook<TKsFamily>;
template class TControlHook<TMpFamily>;
template class TSkinHook<TKsFamily>;
template class TSkinHook<TMpFamily>;
template class TSkinHookComponent<TKsFamily>;
template class TSkinHookComponent<TMpFamily>;

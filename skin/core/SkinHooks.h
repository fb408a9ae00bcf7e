// Window-procedure hooks. Any number of hook objects can watch one windowed
// control: each sees every message of its window before the control's own
// procedure (and may keep it from there) and again afterwards. The form
// frames sit on their form as plain components and work through this.
//
// One subclassing record per hooked control keeps the chain of hooks; each
// family keeps its records in its own registry, which owns a hidden utility
// window through which re-attaching after a window was re-created, and the
// freeing of records left empty, happen later, from the message loop, never
// inside a window procedure that may still be on the stack.
//
// Subclassing: each family has one static window procedure. A subclassed
// window carries a small link under the family's window property: the
// procedure that was there before ours, and the record whose hooks run. A
// record that leaves a window while another procedure has been installed
// over ours cannot take ours out of the chain; the link then stays on the
// window and passes every message on to the procedure we replaced until the
// window is destroyed (or until ours is on top again, when it takes itself
// out). So nothing a later subclasser can still call is ever freed, and the
// control's own procedure is never cut off. Records themselves are freed only
// when no message of theirs is being handled.
#pragma once

#include "Component.h"
#include "Form.h"
#include "List.h"
#include "SkinFamily.h"
#include "SkinMessages.h"
#include "WinControl.h"

using THookMessageEvent = TEvent<void(TObject*, TMessage&, bool&)>;

template <class F> class TSkinHook;
template <class F> class TControlHook;

// The registry of one family: its subclassing records, and the utility
// window that handles KM_REHOOK and KM_FREEHOOK.
template <class F>
class THookList : public TList {
    GANTREL_CLASS(THookList)

    ~THookList() override;
    // The family's registry, or null before first use (and after Release).
    static THookList* Instance() { return FInstance; }
    // The registry, made on first call.
    static THookList* Ensure();
    // Frees the registry and every record in it.
    static void Release();

    HWND UtilityWindow() const { return FUtilityWindow; }
    TControlHook<F>* Records(int index) const { return static_cast<TControlHook<F>*>(Items(index)); }
    // The record of control, searching from the first; null for none.
    TControlHook<F>* FindHook(TWinControl* control) const;
    // FindHook, else a new record for control.
    TControlHook<F>* HookFor(TWinControl* control);

    // The utility window's messages: the deferred re-hooks and frees.
    void ServiceWndProc(TMessage& message);

private:
    THookList();
    HWND FUtilityWindow = nullptr;
    static THookList* FInstance;
};

// One hooked control: its hooks in the order they came, and its window's
// subclassing.
template <class F>
class TControlHook : public TObject {
    GANTREL_CLASS(TControlHook)

    TControlHook();
    ~TControlHook() override;

    TWinControl* Control() const { return FControl; }
    int HookCount() const { return FHooks->Count(); }
    TSkinHook<F>* Hooks(int index) const { return static_cast<TSkinHook<F>*>(FHooks->Items(index)); }
    // The window it has subclassed and the procedure it found there; null
    // and 0 when not attached.
    HWND Window() const;
    WNDPROC PreviousWndProc() const;
    bool IsDestroying() const { return FDestroying; }

    // Adds hook at the end of the chain (once) and attaches to the window.
    void AddHook(TSkinHook<F>* hook);
    // Takes hook out; the record that loses its last hook leaves the window,
    // forgets its control and is freed from the message loop.
    void RemoveHook(TSkinHook<F>* hook);
    void SetControl(TWinControl* control);
    // Subclasses the control's window (made now if it has none).
    void AttachWindowProc();
    // Puts the previous procedure back, when ours is still the window's.
    void DetachWindowProc();

    enum THookPass { hpBefore, hpAfter };
    // The newest hook first, until one sets handled; an exception goes to the
    // application's handler and the next hook runs.
    void CallHooks(THookPass pass, TMessage& message, bool& handled);

    // The family's window procedure for every window it subclasses.
    static LRESULT CALLBACK HookedWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    friend class THookList<F>;
    struct TWindowLink;
    TWinControl* FControl = nullptr;
    TWindowLink* FLink = nullptr;
    TList* FHooks;
    bool FDestroying = false;
    // Messages of its window being handled through this record; it is not
    // freed before they are through.
    int FBusy = 0;
    bool FFreeWhenIdle = false;
    void Route(TWindowLink* link, HWND window, TMessage& m);
    void PostFree();
};

// A hook on one windowed control. It is active from construction, and is
// attached while it is active and has a control.
template <class F>
class TSkinHook : public TComponent {
    GANTREL_CLASS(TSkinHook)

    explicit TSkinHook(TComponent* owner);
    ~TSkinHook() override;

    bool Active() const { return FActive; }
    void SetActive(bool active);
    TWinControl* GetWinControl() const;
    void SetWinControl(TWinControl* control);
    TControlHook<F>* ControlHook() const { return FControlHook; }
    // The registry's utility window, or INVALID_HANDLE_VALUE ((HWND)-1)
    // while the registry does not exist.
    HWND GetHookHandle() const;

    void HookControl();
    void UnhookControl() { DoUnhookControl(); }

    THookMessageEvent OnBeforeMessage;
    THookMessageEvent OnAfterMessage;
    // Before and after the control's procedure; a derived hook may override.
    virtual void DoBeforeMessage(TMessage& message, bool& handled);
    virtual void DoAfterMessage(TMessage& message, bool& handled);

    void Notification(TComponent* component, TOperation operation) override;

protected:
    // Leaves the record it is in; returns that record (or null).
    TControlHook<F>* DoUnhookControl();

private:
    friend class TControlHook<F>;
    bool FActive = true;
    TWinControl* FControl = nullptr;
    TControlHook<F>* FControlHook = nullptr;
};

// The base of the form frames: a component that hooks a control (its form)
// through a hook of its own and hands the control's messages to its own
// message handlers (Dispatch) before the control sees them. Created inactive.
template <class F>
class TSkinHookComponent : public TComponent {
    GANTREL_CLASS(TSkinHookComponent)

    explicit TSkinHookComponent(TComponent* owner);
    ~TSkinHookComponent() override;

    bool Active() const { return FActive; }
    void SetActive(bool active);
    typename F::Hook* Hook() const;
    void HookForm();
    void UnHookForm();
    // Called by a message handler: the control's own procedure does not get
    // the message.
    void MessageHandled() { FHandled = true; }

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    // The control to hook, set by the derived frame's constructor.
    TWinControl* FControl = nullptr;
    // After the control's procedure.
    virtual void AfterControl(TObject* sender, TMessage& message, bool& handled);
    void DoBefore(TObject* sender, TMessage& message, bool& handled);
    void DoAfter(TObject* sender, TMessage& message, bool& handled);
    // The control the hook is on, or null.
    TWinControl* HookedControl() const;

private:
    bool FActive = false;
    TSkinHook<F>* FHook;
    bool FHandled = false;
};

class TKsHook : public TSkinHook<TKsFamily> {
    GANTREL_CLASS(TKsHook)
    using TSkinHook::TSkinHook;
};

class TMpHook : public TSkinHook<TMpFamily> {
    GANTREL_CLASS(TMpHook)
    using TSkinHook::TSkinHook;
};

class TKsHookComponent : public TSkinHookComponent<TKsFamily> {
    GANTREL_CLASS(TKsHookComponent)
    using TSkinHookComponent::TSkinHookComponent;

    // The hooked control as a form; raises EConvertError when it is not
    // one, null when there is no control.
    TCustomForm* GetForm() const;
    // The form's window, or null.
    HWND GetHandle() const;
};

class TMpHookComponent : public TSkinHookComponent<TMpFamily> {
    GANTREL_CLASS(TMpHookComponent)
    using TSkinHookComponent::TSkinHookComponent;

    // The hooked control when it is a form, else null.
    TCustomForm* GetForm() const;
    TWinControl* GetControl() const { return HookedControl(); }
    // The hooked control's window, or null.
    HWND GetHandle() const;
};

// The registries by their family's names: Ks first, then Mp.
THookList<TKsFamily>* EnsureHookList();
THookList<TMpFamily>* EnsureKsHookList();
void FreeHookList();
void FreeKsHookList();

extern template class THookList<TKsFamily>;
extern template class THookList<TMpFamily>;
extern template class TControlHook<TKsFamily>;
extern template class TControlHook<TMpFamily>;
extern template class TSkinHook<TKsFamily>;
extern template class TSkinHook<TMpFamily>;
extern template class TSkinHookComponent<TKsFamily>;
extern template class TSkinHookComponent<TMpFamily>;

#include "MenuItems.h"

#include "Application.h"
#include "Font.h"
#include "Frames.h"
#include "ImageList.h"
#include "ItemViews.h"
#include "Reader.h"
#include "ShortCuts.h"

#include <algorithm>
#include <cctype>
#include <memory>

const char* const SKsItemReinserted = "Toolbar item already inserted";

namespace {

std::string UpperCase(std::string s)
{
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// One registered container class.
template <class F>
struct TContainerRecord {
    TItemContainerClass Class;
    typename TSkinItem<F>::TInsertItemProc InsertProc;
    typename TSkinItem<F>::TGetItemClassProc GetItemClassProc;
    int Count;
};

// The family's registry: made by the first registration, gone with the last
// unregistration (and at exit).
template <class F>
std::unique_ptr<std::vector<TContainerRecord<F>>>& Registry()
{
    static std::unique_ptr<std::vector<TContainerRecord<F>>> registry;
    return registry;
}

template <class F>
TSkinClickHandler<F>*& ClickHandler()
{
    static TSkinClickHandler<F>* handler = nullptr;
    return handler;
}

// Keeps the frame of the form that owns a media menu from drawing while a
// popup of the menu shows, and lets it draw again as it did before (a
// submenu closing leaves it off for the level still open). The frame may
// go while the popup's loop runs: it is then forgotten.
class TOwnerFrameOff : public TComponent {
    GANTREL_CLASS(TOwnerFrameOff)
    TOwnerFrameOff() : TComponent(nullptr) {}
    ~TOwnerFrameOff() override
    {
        BeginDestroy();
        if (!FFrame) return;
        FFrame->RemoveFreeNotification(this);
        if (!FWasOn) return;
        FFrame->EnableDrawing();
        // Whatever the window was asked to repaint meanwhile (the place the
        // popup uncovered as it went, a new caption) the frame dropped: it
        // is all asked again, frame and background, for the next paint.
        TWinControl* control = FFrame->GetControl();
        if (control && control->HandleAllocated())
            RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
    void Hold(TMpCustomForm* frame)
    {
        if (!frame || FFrame) return;
        FFrame = frame;
        FWasOn = frame->DrawingEnabled();
        frame->FreeNotification(this);
        frame->DisableDrawing();
    }
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove && component == FFrame) FFrame = nullptr;
    }

private:
    TMpCustomForm* FFrame = nullptr;
    bool FWasOn = false;
};

}  // namespace

// ---- TSkinItem

template <class F>
typename TSkinItem<F>::TPopupWindowClass TSkinItem<F>::DefaultPopupWindowClass = nullptr;
template <class F>
typename TSkinItem<F>::TCalcSizeProc TSkinItem<F>::ClassicCalcSize = nullptr;
template <class F>
typename TSkinItem<F>::TDrawItemProc TSkinItem<F>::ClassicDrawItem = nullptr;

template <class F>
std::unordered_map<const void*, uintptr_t>& TSkinItem<F>::LiveItems()
{
    static std::unordered_map<const void*, uintptr_t> items;
    return items;
}

template <class F>
bool TSkinItem<F>::IsLiveItem(const void* item)
{
    return item && LiveItems().count(item) != 0;
}

template <class F>
bool TSkinItem<F>::IsLiveItem(const void* item, uintptr_t serial)
{
    auto it = LiveItems().find(item);
    return it != LiveItems().end() && it->second == serial;
}

template <class F>
TSkinItem<F>::TSkinItem(TComponent* owner) : TComponent(owner)
{
    static uintptr_t lastSerial = 0;
    FSerial = ++lastSerial;
    // The handler lives as long as any item of the family, so that every
    // click is deferred until the menu has closed.
    if (!ClickHandler<F>()) ClickHandler<F>() = new TSkinClickHandler<F>();
    LiveItems()[static_cast<const void*>(Self())] = FSerial;
}

template <class F>
TSkinItem<F>::~TSkinItem()
{
    BeginDestroy();
    // A click posted for this item is dropped from now on.
    LiveItems().erase(static_cast<const void*>(Self()));
    // No open level goes on showing it, or its children.
    ItemView::ForgetItem(Self());
    while (!FItems.empty()) {
        Item* child = FItems.back();
        child->BeginDestroy();
        child->Free();  // leaves this list itself
    }
    if (FParent) FParent->Remove(Self());
    delete FActionLink;
    FActionLink = nullptr;
    if (LiveItems().empty() && ClickHandler<F>()) {
        TSkinClickHandler<F>* handler = ClickHandler<F>();
        ClickHandler<F>() = nullptr;
        handler->Release();
    }
}

template <class F>
HWND TSkinItem<F>::ClickHandlerWindow()
{
    return ClickHandler<F>() ? ClickHandler<F>()->Handle() : nullptr;
}

// ---- Properties

template <class F>
TAction* TSkinItem<F>::Action() const
{
    return FActionLink ? FActionLink->Action() : nullptr;
}

template <class F>
template <class T>
void TSkinItem<F>::ChangeField(T& field, const T& value)
{
    if (field == value) return;
    field = value;
    Change();
}

template <class F>
void TSkinItem<F>::SetCaption(const std::string& caption)
{
    ChangeField(FCaption, caption);
}

template <class F>
void TSkinItem<F>::SetChecked(bool checked)
{
    ChangeField(FChecked, checked);
}

template <class F>
void TSkinItem<F>::SetEnabled(bool enabled)
{
    ChangeField(FEnabled, enabled);
}

template <class F>
void TSkinItem<F>::SetImageIndex(int index)
{
    ChangeField(FImageIndex, index);
}

template <class F>
void TSkinItem<F>::SetVisible(bool visible)
{
    ChangeField(FVisible, visible);
}

template <class F>
void TSkinItem<F>::SetImages(TImageList* images)
{
    if (images == FImages) return;
    if (FImages) RemoveFreeNotification(FImages);
    FImages = images;
    if (FImages) FreeNotification(FImages);
    Change();
}

// ---- Tree

template <class F>
typename TSkinItem<F>::Item* TSkinItem<F>::GetItem(int index) const
{
    if (index < 0 || index >= GetItemCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[size_t(index)];
}

template <class F>
void TSkinItem<F>::Add(Item* item)
{
    Insert(GetItemCount(), item);
}

template <class F>
void TSkinItem<F>::Insert(int index, Item* item)
{
    const char* const error = std::is_same_v<F, TMpFamily> ? "Insertion error" : SKsItemReinserted;
    if (!item) throw EKsItemError(error);
    if (item->FParent) throw EKsItemError(error);
    // An item put below itself would make the tree a loop.
    if (item->ContainsItem(Self())) throw EKsItemError(error);
    if (index < 0 || index > GetItemCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    FItems.insert(FItems.begin() + index, item);
    item->FParent = Self();
    if constexpr (std::is_same_v<F, TMpFamily>) Change();
}

template <class F>
void TSkinItem<F>::Delete(int index)
{
    if (index < 0 || index >= GetItemCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    FItems[size_t(index)]->FParent = nullptr;
    FItems.erase(FItems.begin() + index);
    if constexpr (std::is_same_v<F, TMpFamily>) Change();
}

template <class F>
int TSkinItem<F>::IndexOf(const TComponent* component) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (static_cast<const TComponent*>(FItems[i]) == component) return int(i);
    return -1;
}

template <class F>
void TSkinItem<F>::Remove(Item* item)
{
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
}

template <class F>
bool TSkinItem<F>::ContainsItem(const Item* item) const
{
    for (const TSkinItem* p = item; p; p = p->FParent)
        if (p == this) return true;
    return false;
}

template <class F>
TImageList* TSkinItem<F>::GetImgList() const
{
    if (FImages) return FImages;
    const TSkinItem* root = this;
    while (root->FParent) root = root->FParent;
    return root->FImages;
}

template <class F>
typename TSkinItem<F>::Item* TSkinItem<F>::FindCharItem(char c) const
{
    const std::string key = UpperCase(std::string("&") + c);
    for (Item* child : FItems)
        if (UpperCase(child->FCaption).find(key) != std::string::npos) return child;
    return nullptr;
}

template <class F>
void TSkinItem<F>::CheckShortCut(WORD key, TShiftState shift)
{
    // The whole key code counts (F5 is not "T", Numpad1 is not "A"); no key
    // at all is nobody's shortcut.
    const TShortCut shortCut = ::ShortCut(key, shift);
    if ((shortCut & 0xFF) == 0) return;
    // DoClick only posts the click, so the tree cannot change during the walk.
    for (Item* child : FItems) {
        if (!child->FVisible || !child->FEnabled) continue;
        if (child->FShortCut == shortCut) child->DoClick();
        child->CheckShortCut(key, shift);
    }
}

// ---- Virtual operations

template <class F>
void TSkinItem<F>::MouseDown(TMouseButton, TShiftState, int, int)
{
}

template <class F>
void TSkinItem<F>::MouseUp(TMouseButton, TShiftState, int, int)
{
}

template <class F>
typename TSkinItem<F>::TPopupWindowClass TSkinItem<F>::GetPopupWindowClass() const
{
    return DefaultPopupWindowClass;
}

template <class F>
void TSkinItem<F>::Change()
{
    if constexpr (std::is_same_v<F, TMpFamily>) {
        if (Loading() || Destroying()) return;
    }
    if (OnInternalChange) OnInternalChange(this);
    TSkinItem* root = this;
    while (root->FParent) root = root->FParent;
    if (root->OnInternalChange) root->OnInternalChange(root);
}

template <class F>
void TSkinItem<F>::CalcSize(Bitmap* bitmap, ItemView* view, int& width, int& height)
{
    width = height = 0;
    if (ClassicCalcSize) ClassicCalcSize(Self(), bitmap, view, width, height);
}

template <class F>
void TSkinItem<F>::DrawItem(Bitmap* bitmap, ItemView* view, const RECT& rect, bool selected, bool notInLoop)
{
    if (ClassicDrawItem) ClassicDrawItem(Self(), bitmap, view, rect, selected, notInLoop);
}

template <class F>
void TSkinItem<F>::InitiateAction()
{
    if (FActionLink) FActionLink->Update();
}

template <class F>
void TSkinItem<F>::DoClick()
{
    if (IsSeparator() || !FItems.empty() || !FEnabled) return;
    if (HWND handler = ClickHandlerWindow()) {
        PostMessageA(handler, KM_ITEMCLICK, WPARAM(FSerial), reinterpret_cast<LPARAM>(static_cast<const void*>(Self())));
        return;
    }
    RunClick();
}

template <class F>
void TSkinItem<F>::RunClick()
{
    TAction* action = Action();
    if (OnClick && action && OnClick != action->OnExecute) {
        OnClick(this);
    } else if (!(ComponentState() & csDesigning) && FActionLink) {
        FActionLink->Execute();
    } else if (OnClick) {
        OnClick(this);
    }
}

template <class F>
void TSkinItem<F>::Popup(ItemView* view, int x, int y, const RECT& rect)
{
    TPopupWindowClass windowClass = GetPopupWindowClass();
    if (!windowClass) return;
    // Owned by nobody: only this call frees the window, whatever else goes
    // while its loop runs.
    TSkinMenuWindow<F>* window = windowClass(nullptr, Self(), view);
    if (!window) return;
    const unsigned viewSerial = view ? view->Serial() : 0;
    auto unlink = [&] {
        if (view && ItemView::IsLive(view, viewSerial)) view->ChildView = nullptr;
    };
    TWinControl* control = window->WindowControl();
    // Ends with this call, after the window is freed.
    TOwnerFrameOff ownerFrame;
    try {
        const int screenRight = GetSystemMetrics(SM_CXSCREEN);
        const int screenBottom = GetSystemMetrics(SM_CYSCREEN);
        const bool fromLevel = rect.right - rect.left >= 1;
        const bool fromBar = fromLevel && view && view->IsBar;
        int left = x, top = y;
        if (fromLevel) {
            left = fromBar ? rect.left : rect.right;
            top = fromBar ? rect.bottom : rect.top;
        }
        control->SetBounds(left, top, control->Width(), control->Height());
        window->CalcSize();
        const int width = control->Width(), height = control->Height();
        if (!fromLevel) {
            // A popup menu's first level opens up and to the left of the
            // point when it does not fit below and to the right.
            if (left + width > screenRight) left = x - width;
            if (top + height > screenBottom) top = y - height;
        } else {
            if (left + width > screenRight) left = fromBar ? rect.right - width : rect.left - width;
            if (top + height > screenBottom) top = fromBar ? rect.top - height : rect.bottom - height;
            if (left + width > screenRight) left = screenRight - width;
            if (top + height > screenBottom) top = screenBottom - height;
        }
        control->SetBounds(left, top, width, height);
        // Opened while no window of the program is active (from the tray
        // icon, the form hidden), the menu would have neither the keys nor
        // the clicks elsewhere, and nothing could close it: it takes the
        // foreground and, for the family whose loop does not capture, the
        // mouse (the loop releases it at its end).
        const bool noneActive = !view && !GetActiveWindow();
        if constexpr (std::is_same_v<F, TMpFamily>)
            ownerFrame.Hold(static_cast<TMpCustomItem*>(Self())->GetOwnerCustomForm());
        control->Show();
        if constexpr (std::is_same_v<F, TMpFamily>) {
            if (noneActive || static_cast<TMpCustomItem*>(Self())->Tray()) SetForegroundWindow(control->Handle());
        } else if (noneActive) {
            SetForegroundWindow(control->Handle());
            SetCapture(control->Handle());
        }
        if (view) view->ChildView = window->View();
        window->EnterLoop();
        // This item, and the level that opened it, may be gone by now.
        unlink();
    } catch (...) {
        unlink();
        control->Free();
        throw;
    }
    control->Free();
}

// ---- Actions

template <class F>
TActionLink* TSkinItem<F>::CreateActionLink()
{
    if constexpr (std::is_same_v<F, TMpFamily>)
        return new TMpCustomItemActionLink(this);
    else
        return new TKsCustomItemActionLink(this);
}

template <class F>
void TSkinItem<F>::SetAction(TAction* action)
{
    if (!action) {
        if (FActionLink && FActionLink->Action()) RemoveFreeNotification(FActionLink->Action());
        delete FActionLink;
        FActionLink = nullptr;
        return;
    }
    if (!FActionLink) FActionLink = CreateActionLink();
    if (FActionLink->Action() && FActionLink->Action() != action) RemoveFreeNotification(FActionLink->Action());
    FActionLink->SetAction(action);
    FActionLink->OnChange = MakeEvent<&TSkinItem::DoActionChange>(this);
    ActionChange(action, action->Loading());
    FreeNotification(action);
}

template <class F>
void TSkinItem<F>::ActionChange(TObject* sender, bool checkDefaults)
{
    auto* action = dynamic_cast<TAction*>(sender);
    if (!action) return;
    if (!checkDefaults || FCaption.empty()) SetCaption(action->Caption());
    if (!checkDefaults || !FChecked) SetChecked(action->Checked());
    if (!checkDefaults || FEnabled) SetEnabled(action->Enabled());
    if (!checkDefaults || FHelpContext == 0) FHelpContext = action->HelpContext();
    if (!checkDefaults || FHint.empty()) FHint = action->Hint();
    if (!checkDefaults || FImageIndex == -1) SetImageIndex(action->ImageIndex());
    if (!checkDefaults || FShortCut == 0) FShortCut = action->ShortCut();
    if (!checkDefaults || FVisible) SetVisible(action->Visible());
    if (!checkDefaults || !OnClick) OnClick = action->OnExecute;
}

template <class F>
void TSkinItem<F>::DoActionChange(TObject* sender)
{
    if (sender && sender == Action()) ActionChange(sender, false);
}

// ---- Component

template <class F>
void TSkinItem<F>::Loaded()
{
    TComponent::Loaded();
    if (TAction* action = Action()) ActionChange(action, true);
}

template <class F>
void TSkinItem<F>::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    if (FActionLink && component == FActionLink->Action()) {
        delete FActionLink;
        FActionLink = nullptr;
    }
    if (component == FImages) FImages = nullptr;
}

template <class F>
void TSkinItem<F>::GetChildren(const std::function<void(TComponent*)>& proc, TComponent*)
{
    for (Item* child : std::vector<Item*>(FItems)) proc(child);
}

template <class F>
TComponent* TSkinItem<F>::GetParentComponent() const
{
    if (!FParent) return nullptr;
    if (FParent->FParentComponent) return FParent->FParentComponent;
    return FParent;
}

template <class F>
void TSkinItem<F>::SetParentComponent(TComponent* parent)
{
    if (FParent) FParent->Remove(Self());
    if (!parent) return;
    if (auto* item = dynamic_cast<Item*>(parent)) {
        item->Add(Self());
        return;
    }
    auto& registry = Registry<F>();
    if (!registry) return;
    for (auto it = registry->rbegin(); it != registry->rend(); ++it) {
        if (it->Class.Matches && it->Class.Matches(parent)) {
            if (it->InsertProc) it->InsertProc(parent, Self());
            return;
        }
    }
}

template <class F>
bool TSkinItem<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Caption") SetCaption(reader.ReadString());
    else if (name == "Checked") SetChecked(reader.ReadBool());
    else if (name == "Enabled") SetEnabled(reader.ReadBool());
    else if (name == "HelpContext") FHelpContext = reader.ReadInteger();
    else if (name == "Hint") FHint = reader.ReadString();
    else if (name == "ImageIndex") SetImageIndex(reader.ReadInteger());
    else if (name == "Images") reader.ReadReference<TImageList>([this](TImageList* images) { SetImages(images); });
    else if (name == "ShortCut") FShortCut = TShortCut(reader.ReadInteger());
    else if (name == "Visible") SetVisible(reader.ReadBool());
    else if (name == "OnClick") OnClick = reader.ReadEvent<TNotifyEvent>();
    else if (name == "Action") reader.ReadReference<TAction>([this](TAction* action) { SetAction(action); });
    else if (name == "PopupBlend") SetPopupBlend(reader.ReadBool());
    else if (name == "PopupBlendValue") SetPopupBlendValue(reader.ReadInteger());
    else return TComponent::ReadProperty(name, reader);
    return true;
}

// ---- Registry

template <class F>
void TSkinItem<F>::RegisterContainerClass(const TItemContainerClass& containerClass, TInsertItemProc insertProc,
                                          TGetItemClassProc getItemClassProc)
{
    auto& registry = Registry<F>();
    if (!registry) registry.reset(new std::vector<TContainerRecord<F>>());
    for (auto& record : *registry) {
        if (*record.Class.Type == *containerClass.Type) {
            ++record.Count;
            record.InsertProc = insertProc;
            record.GetItemClassProc = getItemClassProc;
            return;
        }
    }
    registry->push_back({containerClass, insertProc, getItemClassProc, 1});
}

template <class F>
void TSkinItem<F>::UnregisterContainerClass(const TItemContainerClass& containerClass)
{
    auto& registry = Registry<F>();
    if (!registry) return;
    for (auto it = registry->begin(); it != registry->end(); ++it) {
        if (*it->Class.Type != *containerClass.Type) continue;
        if (--it->Count <= 0) registry->erase(it);
        break;
    }
    if (registry->empty()) registry.reset();
}

template <class F>
typename TSkinItem<F>::TItemClass TSkinItem<F>::GetItemClass(const std::type_info& containerClass)
{
    auto& registry = Registry<F>();
    if (!registry) return nullptr;
    for (auto& record : *registry)
        if (*record.Class.Type == containerClass) return record.GetItemClassProc ? record.GetItemClassProc() : nullptr;
    return nullptr;
}

template <class F>
int TSkinItem<F>::RegisteredContainerCount()
{
    auto& registry = Registry<F>();
    return registry ? int(registry->size()) : 0;
}

template <class F>
TFont* TSkinItem<F>::MenuFont()
{
    static std::unique_ptr<TFont> font;
    if (!font) {
        font.reset(new TFont());
        NONCLIENTMETRICSA metrics = {};
        metrics.cbSize = sizeof metrics;
        // Without the metrics the framework's default font stays.
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            LogFontToFont(metrics.lfMenuFont, font.get());
    }
    return font.get();
}

// ---- TSkinItemActionLink

template <class F>
TSkinItemActionLink<F>::TSkinItemActionLink(TObject* client) : FClient(dynamic_cast<Item*>(client))
{
}

template <class F>
bool TSkinItemActionLink<F>::IsOnExecuteLinked() const
{
    return TActionLink::IsOnExecuteLinked() && FClient &&
           FClient->OnClick.ToMethod().Code == Action()->OnExecute.ToMethod().Code;
}

template <class F>
void TSkinItemActionLink<F>::SetOnExecute(TNotifyEvent value)
{
    if (IsOnExecuteLinked()) FClient->OnClick = value;
}

// ---- TSkinClickHandler

template <class F>
TSkinClickHandler<F>::TSkinClickHandler()
{
    FHandle = AllocateHWnd(MakeEvent<&TSkinClickHandler::WndProc>(this));
}

template <class F>
TSkinClickHandler<F>::~TSkinClickHandler()
{
    if (FHandle) DeallocateHWnd(FHandle);
}

template <class F>
void TSkinClickHandler<F>::WndProc(TMessage& message)
{
    if (message.Msg != KM_ITEMCLICK) {
        message.Result = DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
        return;
    }
    using Item = typename F::Item;
    FPending.emplace_back(reinterpret_cast<const void*>(message.LParam), uintptr_t(message.WParam));
    if (FRunning) return;  // the run below takes it in its turn
    FRunning = true;
    try {
        if (Application) Application->ProcessMessages();
    } catch (...) {
        HandleCallbackException();
    }
    // Only the item of this family that posted a click, while it lives;
    // looked up only now, since the messages that ran may have freed it.
    while (!FPending.empty()) {
        const auto click = FPending.front();
        FPending.erase(FPending.begin());
        if (!Item::IsLiveItem(click.first, click.second)) continue;
        try {
            static_cast<Item*>(const_cast<void*>(click.first))->RunClick();
        } catch (...) {
            HandleCallbackException();
        }
    }
    FRunning = false;
    if (FReleasePending) delete this;
}

template <class F>
void TSkinClickHandler<F>::Release()
{
    if (FRunning) FReleasePending = true;
    else delete this;
}

// ---- Leaves

TKsCustomItem::TKsCustomItem(TComponent* owner) : TSkinItem<TKsFamily>(owner) {}

TMpCustomItem::TMpCustomItem(TComponent* owner) : TSkinItem<TMpFamily>(owner) {}

void TMpCustomItem::SetOwnerForm(TWinControl* form)
{
    FOwnerForm = form;
    for (int i = 0; i < Count(); ++i) GetItem(i)->SetOwnerForm(form);
}

void TMpCustomItem::SetBiDiMode(TBiDiMode mode)
{
    FBiDiMode = mode;
    for (int i = 0; i < Count(); ++i) GetItem(i)->SetBiDiMode(mode);
}

void TMpCustomItem::SetIsToolbar(bool value)
{
    FIsToolbar = value;
    for (int i = 0; i < Count(); ++i) GetItem(i)->FIsToolbar = value;
}

void TMpCustomItem::SetTray(bool value)
{
    FTray = value;
    for (int i = 0; i < Count(); ++i) GetItem(i)->SetTray(value);
}

void TMpCustomItem::Clear()
{
    while (Count() > 0) Delete(0);
}

TMpCustomItem* TMpCustomItem::FindItem(uintptr_t value, TMpFindItemKind kind)
{
    for (int i = 0; i < Count(); ++i) {
        TMpCustomItem* child = GetItem(i);
        bool match = false;
        switch (kind) {
        case fkShortCut:
            // Invisible and disabled items are nobody's shortcut; nor is 0.
            match = value != 0 && child->Visible() && child->Enabled() && child->ShortCut() == value;
            break;
        case fkHandle:
            match = child->OnClick && uintptr_t(child->OnClick.ToMethod().Code) == value;
            break;
        case fkCommand:
            break;
        }
        if (match) return child;
        // An invisible item hides its submenu's shortcuts too.
        if (kind == fkShortCut && !child->Visible()) continue;
        if (TMpCustomItem* found = child->FindItem(value, kind)) return found;
    }
    return nullptr;
}

bool TMpCustomItem::IsShortCut(WPARAM key, LPARAM keyData)
{
    const TShortCut shortCut = ShortCutFromKeyMessage(key, keyData);
    TMpCustomItem* found = FindItem(shortCut, fkShortCut);
    if (!found) return false;
    // A disabled submenu disables what is below it. DoClick only posts the
    // click, so nothing here can change the tree.
    for (TMpCustomItem* p = found; p; p = p->Parent())
        if (!p->Enabled()) return true;
    found->DoClick();
    return true;
}

bool TMpCustomItem::UseRightToLeftReading() const
{
    return FBiDiMode != bdLeftToRight && SysLocaleMiddleEast();
}

bool TMpCustomItem::UseRightToLeftAlignment() const
{
    return FBiDiMode == bdRightToLeft && SysLocaleMiddleEast();
}

UINT TMpCustomItem::DrawTextBiDiModeFlags(UINT flags) const
{
    if (UseRightToLeftAlignment()) {
        if (flags & DT_RIGHT) flags &= ~UINT(DT_RIGHT);
        else if (!(flags & DT_CENTER)) flags |= DT_RIGHT;
    }
    return flags | DrawTextBiDiModeFlagsReadingOnly();
}

UINT TMpCustomItem::DrawTextBiDiModeFlagsReadingOnly() const
{
    return UseRightToLeftReading() ? UINT(DT_RTLREADING) : 0u;
}

TMpCustomForm* TMpCustomItem::GetOwnerCustomForm() const
{
    if (!FOwnerForm) return nullptr;
    for (int i = 0; i < FOwnerForm->ComponentCount(); ++i)
        if (auto* form = dynamic_cast<TMpCustomForm*>(FOwnerForm->Components(i))) return form;
    return nullptr;
}

template class TSkinItem<TKsFamily>;
template class TSkinItem<TMpFamily>;
template class TSkinItemActionLink<TKsFamily>;
template class TSkinItemActionLink<TMpFamily>;
template class TSkinClickHandler<TKsFamily>;
template class TSkinClickHandler<TMpFamily>;

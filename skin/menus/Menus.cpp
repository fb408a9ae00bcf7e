#include "Menus.h"

#include "Application.h"
#include "ImageList.h"
#include "Messages.h"
#include "Reader.h"

#include <windowsx.h>

bool TPopupSettings::Read(const std::string& name, TReader& reader)
{
    if (name == "PopupBlend") PopupBlend = reader.ReadBool();
    else if (name == "PopupBlendValue") PopupBlendValue = reader.ReadInteger();
    else if (name == "DropShadow") DropShadow = reader.ReadBool();
    else if (name == "ShadowWidth") ShadowWidth = reader.ReadInteger();
    else if (name == "ShowAnimation") ShowAnimation = TKsAnimation(reader.ReadEnum(KsAnimationNames()));
    else if (name == "ShowAnimationTime") ShowAnimationTime = reader.ReadInteger();
    else return false;
    return true;
}

namespace {

// The frame on a form, of the family's frame class, or null.
template <class Form>
Form* FrameOf(TComponent* form)
{
    if (!form) return nullptr;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* frame = dynamic_cast<Form*>(form->Components(i))) return frame;
    return nullptr;
}

}  // namespace

// ---- TSkinMenuBarView

template <class F>
TSkinMenuBarView<F>::TSkinMenuBarView(TComponent* owner, Bar* bar) : Base(owner, true, voHorizontal), FBar(bar)
{
}

template <class F>
void TSkinMenuBarView<F>::Invalidate()
{
    if (FBar) FBar->Invalidate();
}

template <class F>
void TSkinMenuBarView<F>::SetSize(POINT size)
{
    if (!FBar) return;
    const RECT view = FBar->GetViewRect();
    const int outside = FBar->Height() - (view.bottom - view.top);
    FBar->SetBounds(FBar->Left(), FBar->Top(), FBar->Width(), size.y + outside);
}

template <class F>
void TSkinMenuBarView<F>::SetPosition(POINT position)
{
    (void)position;
}

template class TSkinMenuBarView<TKsFamily>;
template class TSkinMenuBarView<TMpFamily>;

// ---- TSkinMenuBar

template <class F>
TSkinMenuBar<F>::TSkinMenuBar(TComponent* owner, const TItemContainerInfo<F>& info)
    : Base(owner), FContainerClass(info.Class), FGetItemClass(info.GetItemClassProc)
{
    ItemBase::RegisterContainerClass(info.Class, info.InsertItemProc, info.GetItemClassProc);
    FItems = info.GetItemClassProc()(this);
    FItems->SetParentComponentValue(this);
    if constexpr (!KsFamily) {
        FSettings.DropShadow = false;
        FAutoSize = true;
        FItems->OnInternalChange = MakeEvent<&TSkinMenuBar::DoInternalChange>(this);
    }
    this->SetColor(clMenu);
    this->SetAlign(alTop);
    this->SetBounds(this->Left(), this->Top(), this->Width(), GetSystemMetrics(SM_CYMENU));
    FView = new View(this, this);
    FView->Bitmap = this->Buffer();
    FView->Host = this;
    FView->MessageWindow = this;
    FView->Item = FItems;
}

template <class F>
TSkinMenuBar<F>::~TSkinMenuBar()
{
    this->BeginDestroy();
    // The tree goes first: its items may be owned by the form, not the bar.
    Item* items = FItems;
    FItems = nullptr;
    if (FView) FView->Item = nullptr;
    if (items) items->Free();
    ItemBase::UnregisterContainerClass(FContainerClass);
}

template <class F>
void TSkinMenuBar<F>::InsertItemProc(TComponent* container, Item* item)
{
    if (auto* bar = dynamic_cast<TSkinMenuBar*>(container); bar && bar->FItems) bar->FItems->Add(item);
}

template <class F>
TImageList* TSkinMenuBar<F>::Images() const
{
    return FItems ? FItems->Images() : nullptr;
}

template <class F>
void TSkinMenuBar<F>::SetImages(TImageList* images)
{
    if (FItems) FItems->SetImages(images);
}

template <class F>
void TSkinMenuBar<F>::ApplySettings()
{
    if (FItems) FSettings.ApplyTo(FItems);
}

template <class F>
void TSkinMenuBar<F>::SetPopupBlend(bool value)
{
    FSettings.PopupBlend = value;
    ApplySettings();
}

template <class F>
void TSkinMenuBar<F>::SetPopupBlendValue(int value)
{
    FSettings.PopupBlendValue = value;
    ApplySettings();
}

template <class F>
void TSkinMenuBar<F>::SetDropShadow(bool value)
{
    FSettings.DropShadow = value;
    ApplySettings();
}

template <class F>
void TSkinMenuBar<F>::SetShadowWidth(int value)
{
    FSettings.ShadowWidth = value;
    ApplySettings();
}

template <class F>
void TSkinMenuBar<F>::SetShowAnimation(TKsAnimation value)
{
    FSettings.ShowAnimation = value;
    ApplySettings();
}

template <class F>
void TSkinMenuBar<F>::SetShowAnimationTime(int value)
{
    FSettings.ShowAnimationTime = value;
    ApplySettings();
}

template <class F>
RECT TSkinMenuBar<F>::GetViewRect()
{
    return RECT{0, 0, this->Width(), this->Height()};
}

template <class F>
void TSkinMenuBar<F>::UpdateViewSize()
{
    if (FView && FItems && this->Buffer() && !this->Buffer()->Empty()) FView->CalcSize();
}

template <class F>
void TSkinMenuBar<F>::SetBounds(int left, int top, int width, int height)
{
    const bool recompute = FView && this->Buffer() && !FInSetBounds && (KsFamily || !FAutoSize);
    if (!recompute) {
        Base::SetBounds(left, top, width, height);
        return;
    }
    FInSetBounds = true;
    try {
        Base::SetBounds(left, top, width, height);
        UpdateViewSize();
    } catch (...) {
        FInSetBounds = false;
        throw;
    }
    FInSetBounds = false;
}

template <class F>
void TSkinMenuBar<F>::Loaded()
{
    Base::Loaded();
    ApplySettings();
    auto* form = dynamic_cast<TCustomForm*>(this->Owner());
    if (form && form->FormStyle == fsMDIForm && !FMDIItems[0]) {
        static const TKsMDIItemKind kinds[4] = {mikSysMenu, mikMinimize, mikRestore, mikClose};
        for (int i = 0; i < 4; ++i) {
            Item* item = FGetItemClass()(form);
            item->SetMDIKind(kinds[i]);
            item->SetVisible(false);
            item->OnClick = MakeEvent<&TSkinMenuBar::DoMDIItemClick>(this);
            if (i == 0) FItems->Insert(0, item);
            else FItems->Add(item);
            FMDIItems[i] = item;
            // The form owns the buttons and may free them before the bar.
            item->FreeNotification(this);
        }
    }
    FInSetBounds = false;
    UpdateViewSize();
}

template <class F>
void TSkinMenuBar<F>::Notification(TComponent* component, TOperation operation)
{
    Base::Notification(component, operation);
    if (operation != opRemove) return;
    for (Item*& item : FMDIItems)
        if (static_cast<TComponent*>(item) == component) item = nullptr;
}

template <class F>
typename TSkinMenuBar<F>::Item* TSkinMenuBar<F>::MDIItem(TKsMDIItemKind kind) const
{
    switch (kind) {
    case mikSysMenu: return FMDIItems[0];
    case mikMinimize: return FMDIItems[1];
    case mikRestore: return FMDIItems[2];
    case mikClose: return FMDIItems[3];
    default: return nullptr;
    }
}

template <class F>
void TSkinMenuBar<F>::ShowMDIItems(TCustomForm* form)
{
    FShowingMDIItems = true;
    for (Item* item : FMDIItems)
        if (item) item->SetVisible(true);
    FActiveMDIChild = form;
    if (FItems) FItems->SetActiveMDIForm(form);
    FShowingMDIItems = false;
    this->Invalidate();
}

template <class F>
void TSkinMenuBar<F>::HideMDIItems()
{
    for (Item* item : FMDIItems)
        if (item) item->SetVisible(false);
    FActiveMDIChild = nullptr;
    if (FItems) FItems->SetActiveMDIForm(nullptr);
    this->Invalidate();
}

template <class F>
void TSkinMenuBar<F>::DoMDIItemClick(TObject* sender)
{
    auto* item = dynamic_cast<Item*>(sender);
    auto* frame = FrameOf<typename F::Form>(FActiveMDIChild);
    if (!item || !frame) return;
    switch (item->MDIKind()) {
    case mikClose: frame->Close(); break;
    case mikRestore: frame->Restore(); break;
    case mikMinimize: frame->Minimize(); break;
    case mikSysMenu:
        frame->SysMenu();
        if constexpr (!KsFamily) {
            if (FView) FView->UpdateHover(POINT{-1, -1});
        }
        break;
    default: break;
    }
}

template <class F>
void TSkinMenuBar<F>::EnterLoop()
{
    if (!FItems || !FView) return;
    FItems->SetFirst(true);
    FItems->SetOnlyFirst(true);
    FView->MessageLoop();
}

template <class F>
void TSkinMenuBar<F>::CheckShortCut(WORD key, TShiftState shift)
{
    if (FItems) FItems->CheckShortCut(key, shift);
}

template <class F>
bool TSkinMenuBar<F>::IsShortCut(WPARAM key, LPARAM keyData)
{
    if constexpr (KsFamily) {
        (void)key;
        (void)keyData;
        return false;
    } else {
        return FItems && FItems->IsShortCut(key, keyData);
    }
}

template <class F>
bool TSkinMenuBar<F>::PointOnItem(POINT client)
{
    if (!FItems || !FView) return false;
    for (int i = 0; i < FItems->Count(); ++i) {
        const RECT r = FView->GetItemRect(FItems->GetItem(i));
        if (PtInRect(&r, client)) return true;
    }
    return false;
}

template <class F>
void TSkinMenuBar<F>::PaintBuffer()
{
    if constexpr (!KsFamily) Base::PaintBuffer();
    if (!FView || !FItems) return;
    const RECT view = GetViewRect();
    FView->Origin = POINT{view.left, view.top};
    FView->Paint(this->Buffer());
}

template <class F>
void TSkinMenuBar<F>::MouseMove(TShiftState shift, int x, int y)
{
    Base::MouseMove(shift, x, y);
    if (FView) FView->UpdateHover(this->ClientToScreen(POINT{x, y}));
}

template <class F>
void TSkinMenuBar<F>::ItemsChanged()
{
    ApplySettings();
    if constexpr (!KsFamily) {
        if (auto* owner = dynamic_cast<TWinControl*>(this->Owner()); owner && FItems) FItems->SetOwnerForm(owner);
    }
    this->Invalidate();
}

template <class F>
void TSkinMenuBar<F>::DoInternalChange(TObject* sender)
{
    (void)sender;
    if (this->Loading() || this->Destroying() || FShowingMDIItems) return;
    ItemsChanged();
}

template <class F>
void TSkinMenuBar<F>::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_LBUTTONDOWN: {
        Base::Dispatch(message);
        const POINT p = {GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        const RECT client = this->ClientRect();
        const bool enter = KsFamily ? PtInRect(&client, p) != 0 : PointOnItem(p);
        if (enter) EnterLoop();
        return;
    }
    case CM_MOUSELEAVE:
        Base::Dispatch(message);
        if (FView) FView->UpdateHover(POINT{-1, -1});
        return;
    case CM_DIALOGCHAR:
        if constexpr (!KsFamily) {
            // Alt plus an item's accelerator opens it through the loop.
            const char c = char(message.WParam);
            if ((GetKeyState(VK_MENU) < 0) && FItems && FItems->FindItemByChar(c) && this->Parent() &&
                this->Parent()->HandleAllocated()) {
                PostMessage(this->Parent()->Handle(), WM_CHAR, message.WParam, 0);
                EnterLoop();
                message.Result = 1;
                return;
            }
        }
        Base::Dispatch(message);
        return;
    default:
        Base::Dispatch(message);
    }
}

template <class F>
void TSkinMenuBar<F>::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    if (FItems)
        for (int i = 0; i < FItems->Count(); ++i) {
            Item* item = FItems->GetItem(i);
            if (item->MDIKind() == mikNone) proc(item);
        }
    Base::GetChildren(proc, root);
}

template <class F>
bool TSkinMenuBar<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (FSettings.Read(name, reader)) {
        ApplySettings();
        return true;
    }
    if (name == "Images") {
        reader.ReadReference<TImageList>([this](TImageList* images) { SetImages(images); });
        return true;
    }
    return Base::ReadProperty(name, reader);
}

template class TSkinMenuBar<TKsFamily>;
template class TSkinMenuBar<TMpFamily>;

TKsCustomMenuBar::TKsCustomMenuBar(TComponent* owner)
    : TKsCustomMenuBar(owner, {ItemContainerClass<TKsCustomMenuBar>(), &InsertItemProc, &GetItemClassProc})
{
}

TKsCustomMenuBar::TKsCustomMenuBar(TComponent* owner, const TItemContainerInfo<TKsFamily>& info)
    : TSkinMenuBar(owner, info)
{
}

TKsCustomItemClass TKsCustomMenuBar::GetItemClassProc()
{
    return [](TComponent* owner) -> TKsCustomItem* { return new TKsCustomItem(owner); };
}

TMpCustomMenuBar::TMpCustomMenuBar(TComponent* owner)
    : TMpCustomMenuBar(owner, {ItemContainerClass<TMpCustomMenuBar>(), &InsertItemProc, &GetItemClassProc})
{
}

TMpCustomMenuBar::TMpCustomMenuBar(TComponent* owner, const TItemContainerInfo<TMpFamily>& info)
    : TSkinMenuBar(owner, info)
{
}

TMpCustomItemClass TMpCustomMenuBar::GetItemClassProc()
{
    return [](TComponent* owner) -> TMpCustomItem* { return new TMpCustomItem(owner); };
}

// ---- TSkinPopupMenu

template <class F>
TSkinPopupMenu<F>* TSkinPopupMenu<F>::FOpenMenu = nullptr;

template <class F>
TSkinPopupMenu<F>::TSkinPopupMenu(TComponent* owner, const TItemContainerInfo<F>& info)
    : TPopupMenu(owner), FContainerClass(info.Class)
{
    ItemBase::RegisterContainerClass(info.Class, info.InsertItemProc, info.GetItemClassProc);
    FItems = info.GetItemClassProc()(this);
    FItems->SetParentComponentValue(this);
}

template <class F>
TSkinPopupMenu<F>::~TSkinPopupMenu()
{
    this->BeginDestroy();
    if (FOpenMenu == this) FOpenMenu = nullptr;
    Item* items = FItems;
    FItems = nullptr;
    if (items) items->Free();
    ItemBase::UnregisterContainerClass(FContainerClass);
}

template <class F>
void TSkinPopupMenu<F>::InsertItemProc(TComponent* container, Item* item)
{
    if (auto* menu = dynamic_cast<TSkinPopupMenu*>(container); menu && menu->FItems) menu->FItems->Add(item);
}

template <class F>
TImageList* TSkinPopupMenu<F>::Images() const
{
    return FItems ? FItems->Images() : nullptr;
}

template <class F>
void TSkinPopupMenu<F>::SetImages(TImageList* images)
{
    if (FItems) FItems->SetImages(images);
}

template <class F>
void TSkinPopupMenu<F>::Popup(int x, int y)
{
    if (!FItems) return;
    if constexpr (!KsFamily) {
        // One popup menu at a time.
        if (FOpenMenu && FOpenMenu != this) FOpenMenu->Close();
    }
    FSettings.ApplyTo(FItems);
    FItems->SetFirst(true);
    FItems->SetOnlyFirst(true);
    if (OnPopup) OnPopup(this);
    if constexpr (!KsFamily) {
        if (auto* owner = dynamic_cast<TWinControl*>(this->Owner())) FItems->SetOwnerForm(owner);
    }
    TSkinPopupMenu* outer = FOpenMenu;
    FOpenMenu = this;
    try {
        FItems->Popup(nullptr, x, y, RECT{0, 0, 0, 0});
    } catch (...) {
        FOpenMenu = outer;
        throw;
    }
    FOpenMenu = outer;
}

template <class F>
void TSkinPopupMenu<F>::Close()
{
    if constexpr (!KsFamily) {
        // Every open level's loop ends here and now, and its window goes
        // from the screen: a menu opened next must not run inside it.
        if (FItems) F::ItemView::CloseShowing(FItems, true);
    }
}

template <class F>
void TSkinPopupMenu<F>::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    TPopupMenu::GetChildren(proc, root);
    if (FItems)
        for (int i = 0; i < FItems->Count(); ++i) proc(FItems->GetItem(i));
}

template <class F>
bool TSkinPopupMenu<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (FSettings.Read(name, reader)) return true;
    if (name == "Images") {
        reader.ReadReference<TImageList>([this](TImageList* images) { SetImages(images); });
        return true;
    }
    return TPopupMenu::ReadProperty(name, reader);
}

template class TSkinPopupMenu<TKsFamily>;
template class TSkinPopupMenu<TMpFamily>;

TKsCustomPopupMenu::TKsCustomPopupMenu(TComponent* owner)
    : TSkinPopupMenu(owner, {ItemContainerClass<TKsCustomPopupMenu>(), &InsertItemProc, &GetItemClassProc})
{
}

TKsCustomItemClass TKsCustomPopupMenu::GetItemClassProc()
{
    return [](TComponent* owner) -> TKsCustomItem* { return new TKsCustomItem(owner); };
}

TMpCustomPopupMenu::TMpCustomPopupMenu(TComponent* owner)
    : TSkinPopupMenu(owner, {ItemContainerClass<TMpCustomPopupMenu>(), &InsertItemProc, &GetItemClassProc})
{
}

TMpCustomItemClass TMpCustomPopupMenu::GetItemClassProc()
{
    return [](TComponent* owner) -> TMpCustomItem* { return new TMpCustomItem(owner); };
}

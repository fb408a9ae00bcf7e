#include "Menu.h"

#include "Reader.h"

#include <algorithm>

namespace {
UINT NextCommand = 1;  // command ids of menu items, unique in the program
}

std::string ShortCutToText(TShortCut shortCut)
{
    if (!shortCut) return std::string();
    std::string text;
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scAlt) text += "Alt+";
    UINT key = shortCut & 0xFF;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        text += char(key);
    } else if (key >= VK_F1 && key <= VK_F24) {
        text += "F" + std::to_string(key - VK_F1 + 1);
    } else {
        char name[64] = {};
        LONG scan = LONG(MapVirtualKeyA(key, 0)) << 16;
        if (key == VK_INSERT || key == VK_DELETE || key == VK_HOME || key == VK_END || key == VK_PRIOR ||
            key == VK_NEXT || (key >= VK_LEFT && key <= VK_DOWN))
            scan |= 1 << 24;
        GetKeyNameTextA(scan, name, sizeof name);
        text += name;
    }
    return text;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(NextCommand++) {}

TMenuItem::~TMenuItem()
{
    BeginDestroy();
    // Children go with their parent item; the parent forgets this one.
    while (!FItems.empty()) {
        TMenuItem* child = FItems.back();
        FItems.pop_back();
        child->FParent = nullptr;
        child->Free();
    }
    if (FParent) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count()) throw EListError("Menu index out of bounds (" + std::to_string(index) + ")");
    return FItems[size_t(index)];
}

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item || item->FParent == this) return;
    if (item->FParent) item->FParent->Remove(item);
    index = std::max(0, std::min(index, Count()));
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    Changed();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Remove(TMenuItem* item)
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    item->FParent = nullptr;
    if (!Destroying()) Changed();
}

int TMenuItem::MenuIndex() const
{
    if (!FParent) return -1;
    auto& list = FParent->FItems;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

TMenu* TMenuItem::Menu() const
{
    const TMenuItem* item = this;
    while (item->FParent) item = item->FParent;
    return item->FMenu;
}

void TMenuItem::Changed()
{
    if (Destroying()) return;
    TMenu* menu = Menu();
    if (!menu) return;
    if (menu->FInUse)
        menu->FChangedInUse = true;
    else
        menu->MenuChanged();
}

void TMenuItem::SetCaption(const std::string& caption)
{
    if (caption == FCaption) return;
    FCaption = caption;
    Changed();
}

void TMenuItem::SetChecked(bool checked)
{
    if (checked == FChecked) return;
    FChecked = checked;
    // Radio items of one group take turns.
    if (checked && FRadioItem && FParent)
        for (TMenuItem* other : FParent->FItems)
            if (other != this && other->FRadioItem && other->GroupIndex == GroupIndex) other->FChecked = false;
    Changed();
}

void TMenuItem::SetEnabled(bool enabled)
{
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    Changed();
}

void TMenuItem::SetVisible(bool visible)
{
    if (visible == FVisible) return;
    FVisible = visible;
    Changed();
}

void TMenuItem::SetRadioItem(bool radio)
{
    if (radio == FRadioItem) return;
    FRadioItem = radio;
    Changed();
}

void TMenuItem::SetDefault(bool isDefault)
{
    if (isDefault == FDefault) return;
    FDefault = isDefault;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut)
{
    if (shortCut == FShortCut) return;
    FShortCut = shortCut;
    Changed();
}

TMenuItem* TMenuItem::FindItem(UINT command)
{
    if (FCommand == command) return this;
    for (TMenuItem* child : FItems)
        if (TMenuItem* found = child->FindItem(command)) return found;
    return nullptr;
}

void TMenuItem::Click()
{
    if (FEnabled && OnClick) OnClick(this);
}

void TMenuItem::SetParentComponent(TComponent* parent)
{
    if (FParent) FParent->Remove(this);
    if (auto* item = dynamic_cast<TMenuItem*>(parent))
        item->Add(this);
    else if (auto* menu = dynamic_cast<TMenu*>(parent))
        menu->Items()->Add(this);
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent*)
{
    for (TMenuItem* child : FItems) proc(child);
}

bool TMenuItem::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Caption") SetCaption(reader.ReadString());
    else if (name == "Checked") SetChecked(reader.ReadBool());
    else if (name == "Enabled") SetEnabled(reader.ReadBool());
    else if (name == "Visible") SetVisible(reader.ReadBool());
    else if (name == "RadioItem") SetRadioItem(reader.ReadBool());
    else if (name == "Default") SetDefault(reader.ReadBool());
    else if (name == "ShortCut") SetShortCut(TShortCut(reader.ReadInteger()));
    else if (name == "GroupIndex") GroupIndex = reader.ReadInteger();
    else if (name == "Hint") Hint = reader.ReadString();
    else if (name == "OnClick") OnClick = reader.ReadEvent<TNotifyEvent>();
    else return TComponent::ReadProperty(name, reader);
    return true;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr))
{
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    BeginDestroy();
    DestroyHandle();
    delete FItems;
}

void TMenu::DestroyHandle()
{
    if (FHandle) DestroyMenu(FHandle);
    FHandle = nullptr;
}

HMENU TMenu::DetachHandle()
{
    HMENU handle = FHandle;
    FHandle = nullptr;
    return handle;
}

void TMenu::Fill(HMENU menu, TMenuItem* item)
{
    for (TMenuItem* child : item->FItems) {
        if (!child->FVisible) continue;
        if (child->IsLine()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = child->FCaption;
        if (child->FShortCut) text += "\t" + ShortCutToText(child->FShortCut);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_FTYPE;
        info.fType = MFT_STRING | (child->FRadioItem ? MFT_RADIOCHECK : 0);
        info.fState = (child->FChecked ? MFS_CHECKED : 0) | (child->FEnabled ? 0 : MFS_GRAYED) |
                      (child->FDefault ? MFS_DEFAULT : 0);
        info.wID = child->FCommand;
        info.dwTypeData = &text[0];
        if (!child->FItems.empty()) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = CreatePopupMenu();
            Fill(info.hSubMenu, child);
        }
        InsertMenuItemA(menu, UINT(GetMenuItemCount(menu)), TRUE, &info);
    }
}

HMENU TMenu::Handle()
{
    if (!FHandle) {
        FHandle = CreateMenuHandle();
        Fill(FHandle, FItems);
    }
    return FHandle;
}

void TMenu::MenuChanged()
{
    DestroyHandle();
}

void TMenu::EndUse()
{
    if (FInUse > 0 && --FInUse == 0 && FChangedInUse) {
        FChangedInUse = false;
        MenuChanged();
    }
}

bool TMenu::DispatchCommand(UINT command)
{
    TMenuItem* item = FItems->FindItem(command);
    if (!item || item == FItems) return false;
    item->Click();
    return true;
}

namespace {
TMenuItem* FindShortCutIn(TMenuItem* item, TShortCut shortCut)
{
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        if (child->ShortCut() == shortCut && child->Visible()) return child;
        if (TMenuItem* found = FindShortCutIn(child, shortCut)) return found;
    }
    return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindShortCut(TShortCut shortCut)
{
    return shortCut ? FindShortCutIn(FItems, shortCut) : nullptr;
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent*)
{
    for (int i = 0; i < FItems->Count(); ++i) proc(FItems->Items(i));
}

void TMainMenu::MenuChanged()
{
    if (!WindowHandle) {
        TMenu::MenuChanged();
        return;
    }
    // A menu still on the bar must not be destroyed: put the new one up first.
    HMENU old = DetachHandle();
    SetMenu(WindowHandle, Handle());
    if (old) DestroyMenu(old);
    DrawMenuBar(WindowHandle);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::Popup(int x, int y)
{
    if (OnPopup) OnPopup(this);
    UINT align = Alignment == paRight ? TPM_RIGHTALIGN : Alignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    // The menu needs a window of this thread that is in front.
    HWND owner = GetActiveWindow();
    if (!owner) owner = GetForegroundWindow();
    BeginUse();
    UINT command = UINT(TrackPopupMenu(Handle(), align | TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    EndUse();
    if (command) DispatchCommand(command);
}

bool TPopupMenu::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames alignments = {"paLeft", "paRight", "paCenter"};
    if (name == "AutoPopup") AutoPopup = reader.ReadBool();
    else if (name == "Alignment") Alignment = TPopupAlignment(reader.ReadEnum(alignments));
    else if (name == "OnPopup") OnPopup = reader.ReadEvent<TNotifyEvent>();
    else return TMenu::ReadProperty(name, reader);
    return true;
}

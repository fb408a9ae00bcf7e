// Menus and the objects they point at going away under them: the buttons a
// maximized MDI child shows on its parent's bar freed by the form first, an
// item tree or its owner freed from a timer while a popup menu's loop runs,
// and a second popup menu opened while the first is open.
#include "Application.h"
#include "EpMenus.h"
#include "Form.h"
#include "MenuScript.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"

#include <gtest/gtest.h>

using namespace SkinTest;
using MenuScript::OpenPopups;

TEST(SkinMenuLifetime, AnMDIButtonTheFormFreesFirstIsForgottenByTheBar)
{
    auto* form = new TForm(nullptr, 0);
    form->FormStyle = fsMDIForm;
    auto* bar = new TKsCustomMenuBar(form);
    bar->Loaded();
    TKsCustomItem* close = bar->MDIItem(mikClose);
    ASSERT_NE(nullptr, close);
    ASSERT_NE(nullptr, bar->MDIItem(mikRestore));
    close->Free();
    EXPECT_EQ(nullptr, bar->MDIItem(mikClose));
    EXPECT_NE(nullptr, bar->MDIItem(mikRestore));
    // Showing and hiding the buttons touches only those still there.
    bar->ShowMDIItems(nullptr);
    EXPECT_TRUE(bar->MDIItem(mikRestore)->Visible());
    bar->HideMDIItems();
    EXPECT_FALSE(bar->MDIItem(mikRestore)->Visible());
    form->Free();
}

namespace {

BOOL CALLBACK AddMediaPopup(HWND window, LPARAM data)
{
    if (IsWindowVisible(window) && dynamic_cast<TMpPopupWindow*>(TWinControl::FindControl(window)))
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> OpenMediaPopups()
{
    std::vector<HWND> open;
    EnumThreadWindows(GetCurrentThreadId(), &AddMediaPopup, reinterpret_cast<LPARAM>(&open));
    return open;
}

// A form with a popup menu of the family whose items the form owns; the
// first item has a submenu.
template <class Menu, class Item>
struct TMenuForm {
    TForm* Form = nullptr;
    Menu* Popup = nullptr;
    Item *First = nullptr, *Sub = nullptr, *Second = nullptr;
    TMenuForm()
    {
        RegisterSkinClasses();
        Form = new TForm(nullptr, 0);
        Form->SetBounds(80, 80, 300, 200);
        Popup = new Menu(Form);
        First = new Item(Form);
        First->SetCaption("&First");
        Sub = new Item(Form);
        Sub->SetCaption("&Sub");
        Second = new Item(Form);
        Second->SetCaption("S&econd");
        Popup->Items()->Add(First);
        First->Add(Sub);
        Popup->Items()->Add(Second);
        Form->Show();
        Pump(100);
    }
    POINT At() { return Form->ClientToScreen(POINT{40, 30}); }
};

template <class Menu, class Item>
void FreeWhileOpen(bool wholeForm, std::vector<HWND> (*openPopups)())
{
    TMenuForm<Menu, Item> m;
    size_t openBefore = 0;
    bool freed = false;
    MenuScript::TMenuScript script(MenuScript::TMenuScript::Once({
        [&] { RealInput::TypeKey(VK_RIGHT); },  // Ks opens the submenu; Mp stays
        [&] {
            openBefore = openPopups().size();
            if (wholeForm) {
                m.Form->Free();
                m.Form = nullptr;
            } else {
                m.First->Free();  // with its submenu
                m.Second->Free();
            }
            freed = true;
        },
    }));
    const POINT at = m.At();
    m.Popup->Popup(at.x, at.y);
    EXPECT_TRUE(freed);
    EXPECT_GE(openBefore, 1u);
    Pump(100);
    EXPECT_TRUE(openPopups().empty());
    if (m.Form) m.Form->Free();
    Pump(50);
}

size_t CheckOpenCount = 99;
bool CheckFirstVisible = true;
HWND CheckFirst = nullptr;
bool SecondStarted = false;

}  // namespace

TEST(SkinMenuLifetime, FreeingTheItemsWhileAPopupMenuIsOpenClosesIt)
{
    FreeWhileOpen<TKsCustomPopupMenu, TKsCustomItem>(false, &OpenPopups);
    FreeWhileOpen<TMpCustomPopupMenu, TMpCustomItem>(false, &OpenMediaPopups);
}

TEST(SkinMenuLifetime, FreeingTheOwnerFormWhileAPopupMenuIsOpenClosesIt)
{
    FreeWhileOpen<TKsCustomPopupMenu, TKsCustomItem>(true, &OpenPopups);
    FreeWhileOpen<TMpCustomPopupMenu, TMpCustomItem>(true, &OpenMediaPopups);
}

TEST(SkinMenuLifetime, AMediaPopupMenuOpenedWhileAnotherIsOpenClosesTheFirst)
{
    TMenuForm<TMpCustomPopupMenu, TMpCustomItem> a, b;
    HWND firstWindow = nullptr;
    MenuScript::TMenuScript script(MenuScript::TMenuScript::Once({
        [&] {
            // The script's timer fires again while the second menu runs.
            if (SecondStarted) return;
            SecondStarted = true;
            const auto open = OpenMediaPopups();
            if (!open.empty()) firstWindow = CheckFirst = open[0];
            // From the timer, the second menu; its own steps run below.
            struct TInner {
                static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
                {
                    KillTimer(nullptr, id);
                    RealInput::TypeKey(VK_ESCAPE);
                }
            };
            UINT_PTR inner = SetTimer(nullptr, 0, 300, &TInner::Tick);
            (void)inner;
            const POINT at = b.At();
            b.Popup->Popup(at.x + 50, at.y + 50);
        },
    }));
    // Checks made while the second menu is open.
    struct TCheck {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
        {
            KillTimer(nullptr, id);
            CheckOpenCount = OpenMediaPopups().size();
            CheckFirstVisible = CheckFirst && IsWindowVisible(CheckFirst);
        }
    };
    CheckFirst = nullptr;
    SecondStarted = false;
    CheckOpenCount = 99;
    CheckFirstVisible = true;
    SetTimer(nullptr, 0, 250, &TCheck::Tick);
    const POINT at = a.At();
    a.Popup->Popup(at.x, at.y);
    EXPECT_TRUE(script.Done());
    EXPECT_NE(nullptr, firstWindow);
    EXPECT_EQ(1u, CheckOpenCount);
    EXPECT_FALSE(CheckFirstVisible);
    Pump(100);
    EXPECT_TRUE(OpenMediaPopups().empty());
    a.Form->Free();
    b.Form->Free();
    Pump(50);
}

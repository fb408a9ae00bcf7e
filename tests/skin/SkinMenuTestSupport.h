// What the menu view and loop tests share: item sizes of their own (a
// popup level's items 100 x 20, separators 8 high, a bar's items 60 x 20),
// a minimal popup window that shows one level and counts how many are open,
// and the family's hooks set to them for the length of a test.
#pragma once

#include "Form.h"
#include "ItemViews.h"
#include "MenuItems.h"

#include <algorithm>
#include <vector>

namespace SkinMenuTest {

constexpr int ItemWidth = 100, ItemHeight = 20, LineHeight = 8, BarItemWidth = 60;

template <class F>
void TestCalcSize(typename F::Item* item, typename F::Bitmap*, typename F::ItemView* view, int& width, int& height)
{
    if (view && view->IsBar) {
        width = BarItemWidth;
        height = ItemHeight;
    } else {
        width = ItemWidth;
        height = item->IsSeparator() ? LineHeight : ItemHeight;
    }
}

template <class F>
class TTestMenuWindow;

// The level's view: its size is the window's.
template <class F>
class TTestLevelView : public F::ItemView {
public:
    TTestLevelView(TTestMenuWindow<F>* window) : F::ItemView(window, false, voVertical), Window(window) {}
    void SetSize(POINT size) override { Window->SetBounds(Window->Left(), Window->Top(), size.x, size.y); }
    void Invalidate() override
    {
        ++Invalidations;
        if (ThrowOnInvalidate) {
            ThrowOnInvalidate = false;
            throw Exception("view failed");
        }
    }
    TTestMenuWindow<F>* Window;
    int Invalidations = 0;
    static bool ThrowOnInvalidate;
};

template <class F>
bool TTestLevelView<F>::ThrowOnInvalidate = false;

// A borderless top-most window for one popup level.
template <class F>
class TTestMenuWindow : public TForm, public TSkinMenuWindow<F> {
public:
    TTestMenuWindow(typename F::Item* item, typename F::ItemView* parentView) : TForm(nullptr, 0)
    {
        SetBorderStyle(bsNone);
        FView = new TTestLevelView<F>(this);
        FView->Item = item;
        FView->ParentView = parentView;
        FView->Host = this;
        FView->MessageWindow = this;
        Open().push_back(this);
        ++Made();
    }
    ~TTestMenuWindow() override
    {
        auto& open = Open();
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
    }
    TWinControl* WindowControl() override { return this; }
    typename F::ItemView* View() override { return FView; }
    void CalcSize() override { FView->CalcSize(); }
    void EnterLoop() override { FView->MessageLoop(); }

    // Windows made so far.
    static int& Made()
    {
        static int made = 0;
        return made;
    }
    // The open levels, outermost first.
    static std::vector<TTestMenuWindow*>& Open()
    {
        static std::vector<TTestMenuWindow*> open;
        return open;
    }
    static TSkinMenuWindow<F>* Make(TComponent*, typename F::Item* item, typename F::ItemView* parentView)
    {
        auto* window = new TTestMenuWindow(item, parentView);
        window->AfterConstruction();
        return window;
    }

protected:
    void CreateParams(TCreateParams& params) override
    {
        TForm::CreateParams(params);
        params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    }
    void PaintWindow(HDC dc) override
    {
        // White, the selection black: enough to see the menu on a picture.
        RECT r = ClientRect();
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (FView->Selected) {
            r = FView->GetItemRect(FView->Selected);
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
    }

private:
    TTestLevelView<F>* FView;
};

// The family's popup window class and item sizes set to the tests' own
// while it lives.
template <class F>
struct THooks {
    using Item = typename F::Item;
    THooks()
    {
        Window = Item::DefaultPopupWindowClass;
        Size = Item::ClassicCalcSize;
        Draw = Item::ClassicDrawItem;
        Item::DefaultPopupWindowClass = &TTestMenuWindow<F>::Make;
        Item::ClassicCalcSize = &TestCalcSize<F>;
        Item::ClassicDrawItem = nullptr;
    }
    ~THooks()
    {
        Item::DefaultPopupWindowClass = Window;
        Item::ClassicCalcSize = Size;
        Item::ClassicDrawItem = Draw;
    }
    typename Item::TPopupWindowClass Window;
    typename Item::TCalcSizeProc Size;
    typename Item::TDrawItemProc Draw;
};

}  // namespace SkinMenuTest

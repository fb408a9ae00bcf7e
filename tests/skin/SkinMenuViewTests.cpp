// Menu views without their loop: the layout of one level (item rectangles
// stacked down or across from the origin, invisible items left out, the MDI
// child buttons against the host's edges), its total size, hovering, and
// moving the selection with wrap-round.
#include "SkinControlTestSupport.h"
#include "SkinMenuTestSupport.h"

#include <gtest/gtest.h>

using namespace SkinTest;
using namespace SkinMenuTest;

namespace {

// A view whose size requests are kept.
class TSizeView : public TKsItemView {
public:
    using TKsItemView::TKsItemView;
    void SetSize(POINT size) override { Size = size; }
    POINT Size = {-1, -1};
};

class SkinMenuView : public ::testing::Test {
protected:
    void SetUp() override
    {
        Owner = new TComponent(nullptr);
        Root = Add(nullptr, "Root", "");
    }
    void TearDown() override { Owner->Free(); }
    TKsCustomItem* Add(TKsCustomItem* parent, const std::string& name, const std::string& caption)
    {
        auto* item = new TKsCustomItem(Owner);
        item->SetName(name);
        item->SetCaption(caption);
        if (parent) parent->Add(item);
        return item;
    }
    THooks<TKsFamily> Hooks;
    TComponent* Owner = nullptr;
    TKsCustomItem* Root = nullptr;
};

}  // namespace

TEST_F(SkinMenuView, AVerticalLevelStacksItsVisibleItemsFromTheOrigin)
{
    TKsCustomItem* a = Add(Root, "A", "a");
    TKsCustomItem* hidden = Add(Root, "Hidden", "h");
    TKsCustomItem* line = Add(Root, "Line", "-");
    TKsCustomItem* b = Add(Root, "B", "b");
    hidden->SetVisible(false);
    TSizeView view(nullptr, false, voVertical);
    view.Item = Root;
    view.Origin = {3, 5};
    EXPECT_RECT((RECT{3, 5, 103, 25}), view.GetItemRect(a));
    EXPECT_RECT((RECT{0, 0, 0, 0}), view.GetItemRect(hidden));
    EXPECT_RECT((RECT{3, 25, 103, 33}), view.GetItemRect(line));
    EXPECT_RECT((RECT{3, 33, 103, 53}), view.GetItemRect(b));
    // Not one of its items.
    EXPECT_RECT((RECT{0, 0, 0, 0}), view.GetItemRect(Root));
    view.CalcSize();
    EXPECT_EQ(100, view.Size.x);
    EXPECT_EQ(48, view.Size.y);
}

TEST_F(SkinMenuView, AHorizontalLevelPlacesItsItemsSideBySide)
{
    TKsCustomItem* a = Add(Root, "A", "a");
    TKsCustomItem* b = Add(Root, "B", "b");
    TSizeView view(nullptr, true, voHorizontal);
    view.Item = Root;
    view.Origin = {2, 1};
    EXPECT_RECT((RECT{2, 1, 62, 21}), view.GetItemRect(a));
    EXPECT_RECT((RECT{62, 1, 122, 21}), view.GetItemRect(b));
    view.CalcSize();
    EXPECT_EQ(120, view.Size.x);
    EXPECT_EQ(20, view.Size.y);
}

TEST_F(SkinMenuView, TheMDIButtonsSitAgainstTheHostsEdges)
{
    auto* host = new TForm(Owner, 0);
    host->SetBounds(0, 0, 400, 30);
    TKsCustomItem* sys = Add(Root, "Sys", "");
    TKsCustomItem* file = Add(Root, "File", "f");
    TKsCustomItem* minimize = Add(Root, "Min", "");
    TKsCustomItem* restore = Add(Root, "Restore", "");
    TKsCustomItem* close = Add(Root, "Close", "");
    sys->SetMDIKind(mikSysMenu);
    minimize->SetMDIKind(mikMinimize);
    restore->SetMDIKind(mikRestore);
    close->SetMDIKind(mikClose);
    TSizeView view(nullptr, true, voHorizontal);
    view.Item = Root;
    view.Host = host;
    const int W = host->Width(), H = host->Height();
    EXPECT_RECT((RECT{W - 60, 0, W, H}), view.GetItemRect(close));
    EXPECT_RECT((RECT{W - 120, 0, W - 60, H}), view.GetItemRect(restore));
    EXPECT_RECT((RECT{W - 180, 0, W - 120, H}), view.GetItemRect(minimize));
    EXPECT_RECT((RECT{0, 0, 60, 20}), view.GetItemRect(sys));
    // The other items follow the visible ones before them.
    EXPECT_RECT((RECT{60, 0, 120, 20}), view.GetItemRect(file));
}

TEST_F(SkinMenuView, SelectNextAndPrevWrapAndSkipInvisibleItemsAndSeparators)
{
    TKsCustomItem* a = Add(Root, "A", "a");
    TKsCustomItem* line = Add(Root, "Line", "-");
    TKsCustomItem* hidden = Add(Root, "Hidden", "h");
    TKsCustomItem* off = Add(Root, "Off", "o");
    TKsCustomItem* c = Add(Root, "C", "c");
    hidden->SetVisible(false);
    off->SetEnabled(false);
    (void)line;
    TKsItemView view(nullptr, false, voVertical);
    view.Item = Root;
    view.SelectNext();  // no selection: the first
    EXPECT_EQ(a, view.Selected);
    view.SelectNext();
    EXPECT_EQ(off, view.Selected);  // disabled items can be selected
    view.SelectNext();
    EXPECT_EQ(c, view.Selected);
    view.SelectNext();
    EXPECT_EQ(a, view.Selected);  // wrapped
    view.SelectPrev();
    EXPECT_EQ(c, view.Selected);  // wrapped back to the last
    view.SelectPrev();
    EXPECT_EQ(off, view.Selected);
    view.Selected = nullptr;
    view.SelectPrev();
    EXPECT_EQ(c, view.Selected);
}

TEST_F(SkinMenuView, ALevelWithNothingSelectableEndsWithNoSelection)
{
    TKsCustomItem* hidden = Add(Root, "Hidden", "h");
    TKsCustomItem* line = Add(Root, "Line", "-");
    hidden->SetVisible(false);
    TKsItemView view(nullptr, false, voVertical);
    view.Item = Root;
    view.Selected = line;
    view.SelectNext();
    EXPECT_EQ(nullptr, view.Selected);
    view.Selected = hidden;
    view.SelectPrev();
    EXPECT_EQ(nullptr, view.Selected);
    // Only a disabled item left visible: that one.
    TKsCustomItem* off = Add(Root, "Off", "o");
    off->SetEnabled(false);
    view.Selected = Root->GetItem(Root->Count() - 1);
    view.SelectNext();
    EXPECT_EQ(off, view.Selected);
}

TEST_F(SkinMenuView, HoverSelectsTheItemUnderThePoint)
{
    auto* window = new TForm(Owner, 0);
    window->SetBorderStyle(bsNone);
    window->SetBounds(40, 60, 100, 60);
    window->HandleNeeded();
    TKsCustomItem* a = Add(Root, "A", "a");
    TKsCustomItem* b = Add(Root, "B", "b");
    TKsItemView view(nullptr, false, voVertical);
    view.Item = Root;
    view.MessageWindow = window;
    const POINT origin = window->ClientToScreen(POINT{0, 0});
    view.UpdateHover(POINT{origin.x + 50, origin.y + 25});
    EXPECT_EQ(b, view.Selected);
    view.UpdateHover(POINT{origin.x + 50, origin.y + 5});
    EXPECT_EQ(a, view.Selected);
    // Outside the loop a point over no item clears the selection; inside
    // it the selection stays.
    view.UpdateHover(POINT{origin.x + 50, origin.y + 55});
    EXPECT_EQ(nullptr, view.Selected);
    view.Selected = a;
    view.InLoop = true;
    view.UpdateHover(POINT{origin.x + 50, origin.y + 55});
    EXPECT_EQ(a, view.Selected);
    view.InLoop = false;
    EXPECT_TRUE(view.CheckDropDown() == false);
    Add(a, "A1", "x");
    EXPECT_TRUE(view.CheckDropDown());
}

namespace {
int CalcSizeCalls = 0;
void CountingCalcSize(TKsCustomItem* item, TKsBitmap* bitmap, TKsItemView* view, int& width, int& height)
{
    ++CalcSizeCalls;
    TestCalcSize<TKsFamily>(item, bitmap, view, width, height);
}
}  // namespace

TEST_F(SkinMenuView, APaintMeasuresEachVisibleItemOnce)
{
    std::vector<RECT> drawn;
    static std::vector<RECT>* Drawn = nullptr;
    Drawn = &drawn;
    TKsCustomItem::ClassicCalcSize = &CountingCalcSize;
    TKsCustomItem::ClassicDrawItem = [](TKsCustomItem*, TKsBitmap*, TKsItemView*, const RECT& r, bool, bool) {
        Drawn->push_back(r);
    };
    for (int i = 0; i < 12; ++i) Add(Root, "I" + std::to_string(i), "i");
    Add(Root, "Hidden", "h")->SetVisible(false);
    TSizeView view(nullptr, false, voVertical);
    view.Item = Root;
    view.Origin = {4, 2};
    CalcSizeCalls = 0;
    view.Paint(nullptr);
    TKsCustomItem::ClassicDrawItem = nullptr;
    EXPECT_EQ(12, CalcSizeCalls);
    // Still stacked from the origin, each as wide as the widest.
    ASSERT_EQ(12u, drawn.size());
    for (int i = 0; i < 12; ++i) EXPECT_RECT((RECT{4, 2 + 20 * i, 104, 22 + 20 * i}), drawn[size_t(i)]);
}

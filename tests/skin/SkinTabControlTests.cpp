// The tab control's model: rows justified to the width and rotated so that
// the selected row touches the border, the tab rectangles on every side,
// the scrolling line and its buttons, hit testing, selection and its
// events, the captions list, the pages (freed once, their own tabs
// deleted, one page per tab), and every published property read from a
// form resource. The expected rectangles are worked out here by hand from
// the widths, the tab height and the margins.
#include "SkinTabTestSupport.h"

#include "Reader.h"
#include "SkinClasses.h"

#include <map>

using namespace SkinTest;

namespace {

class SkinTabTest : public SkinFormTest {
protected:
    // Tabs of fixed widths, a fixed tab height of 20 and the classic
    // margins of 2.
    TSizedKsTabs* Sized(int width, int height, std::vector<int> widths, int tabs, bool multiLine)
    {
        auto* c = Place<TSizedKsTabs>(Host, 0, 0, width, height);
        c->Widths = std::move(widths);
        c->SetTabHeight(20);
        c->Font()->SetHeight(-11);  // 8 points: scroll buttons of 16
        c->SetMultiLine(multiLine);
        AddTabs(c, tabs);
        return c;
    }
};

}  // namespace

// --- Rows ---------------------------------------------------------------------------

TEST_F(SkinTabTest, RowsAreJustifiedToTheFullWidth)
{
    // Three tabs of 60 in 150 pixels (154 less two margins of 2).
    auto* c = Sized(154, 120, {60}, 3, true);
    ASSERT_EQ(2, c->RowCount());
    EXPECT_EQ(1, c->Row(0).Last);
    EXPECT_EQ(15, c->Row(0).Extra);
    EXPECT_EQ(0, c->Row(0).Remainder);
    EXPECT_EQ(2, c->Row(1).Last);
    EXPECT_EQ(90, c->Row(1).Extra);
    EXPECT_EQ(0, c->Row(1).Remainder);
    EXPECT_EQ(75, c->GetTabExtWidth(0));
    EXPECT_EQ(75, c->GetTabExtWidth(1));
    EXPECT_EQ(150, c->GetTabExtWidth(2));
    c->SetRaggedRight(true);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(60, c->GetTabExtWidth(i));
}

TEST_F(SkinTabTest, TheRemainderGoesToTheRowsLastTab)
{
    // 50 + 45 + 47 = 142 of 150: 8 spare, 2 for each and 2 more for the last.
    auto* c = Sized(154, 120, {50, 45, 47}, 3, true);
    ASSERT_EQ(1, c->RowCount());
    EXPECT_EQ(2, c->Row(0).Extra);
    EXPECT_EQ(2, c->Row(0).Remainder);
    EXPECT_EQ(52, c->GetTabExtWidth(0));
    EXPECT_EQ(47, c->GetTabExtWidth(1));
    EXPECT_EQ(51, c->GetTabExtWidth(2));
    EXPECT_EQ(150, c->GetTabRect(2).right - c->GetTabRect(0).left);
}

TEST_F(SkinTabTest, ATabWiderThanTheLineIsNarrowedToIt)
{
    auto* c = Sized(154, 120, {200, 60}, 2, true);
    ASSERT_EQ(2, c->RowCount());
    EXPECT_EQ(-50, c->Row(0).Extra);
    EXPECT_EQ(150, c->GetTabExtWidth(0));
    EXPECT_EQ(150, c->GetTabExtWidth(1));
    // With a fixed TabWidth no tab is stretched or narrowed.
    c->SetTabWidth(70);
    EXPECT_EQ(200, c->GetTabExtWidth(0));
    EXPECT_EQ(60, c->GetTabExtWidth(1));
}

TEST_F(SkinTabTest, RowsStackAgainstTheBorderOnEverySide)
{
    auto* c = Sized(154, 120, {60}, 3, true);
    ASSERT_EQ(0, c->TabIndex());
    // Two rows of 20 and the margin: the strip is 42 deep. The selected row
    // 0 lies next to the border, row 1 behind it; every tab reaches 2 into
    // the border.
    EXPECT_EQ(42, c->GetTabLineHeight());
    EXPECT_RECT((RECT{2, 22, 77, 44}), c->GetTabRect(0));
    EXPECT_RECT((RECT{77, 22, 152, 44}), c->GetTabRect(1));
    EXPECT_RECT((RECT{2, 2, 152, 44}), c->GetTabRect(2));
    EXPECT_RECT((RECT{0, 42, 154, 120}), c->GetBorderRect());
    EXPECT_RECT((RECT{3, 45, 151, 117}), c->ClientRect());
    // Selecting the tab of row 1 brings that row to the border.
    c->SetTabIndex(2);
    EXPECT_RECT((RECT{2, 22, 152, 44}), c->GetTabRect(2));
    EXPECT_RECT((RECT{2, 2, 77, 44}), c->GetTabRect(0));
    EXPECT_RECT((RECT{77, 2, 152, 44}), c->GetTabRect(1));

    c->SetTabIndex(0);
    c->SetTabPosition(tpBottom);
    EXPECT_RECT((RECT{2, 76, 77, 98}), c->GetTabRect(0));
    EXPECT_RECT((RECT{2, 76, 152, 118}), c->GetTabRect(2));
    EXPECT_RECT((RECT{0, 0, 154, 78}), c->GetBorderRect());

    // Down the left side the 116 pixels of height hold one tab per row.
    c->SetTabPosition(tpLeft);
    EXPECT_TRUE(c->MultiLine());
    ASSERT_EQ(3, c->RowCount());
    EXPECT_EQ(62, c->GetTabLineHeight());
    EXPECT_RECT((RECT{42, 2, 64, 118}), c->GetTabRect(0));
    EXPECT_RECT((RECT{22, 2, 64, 118}), c->GetTabRect(1));
    EXPECT_RECT((RECT{2, 2, 64, 118}), c->GetTabRect(2));
    EXPECT_RECT((RECT{62, 0, 154, 120}), c->GetBorderRect());

    c->SetTabPosition(tpRight);
    EXPECT_RECT((RECT{90, 2, 112, 118}), c->GetTabRect(0));
    EXPECT_RECT((RECT{90, 2, 152, 118}), c->GetTabRect(2));
    EXPECT_RECT((RECT{0, 0, 92, 120}), c->GetBorderRect());
}

TEST_F(SkinTabTest, TheSelectedRowTouchesTheBorderAndTheRowsBeforeItWrapRound)
{
    // Three tabs of 100 in 150 pixels: a row each.
    auto* c = Sized(154, 120, {100}, 3, true);
    ASSERT_EQ(3, c->RowCount());
    c->SetTabIndex(0);
    EXPECT_EQ(20, c->GetTabRowHeight(0));
    EXPECT_EQ(40, c->GetTabRowHeight(1));
    EXPECT_EQ(60, c->GetTabRowHeight(2));
    EXPECT_EQ(42, c->GetTabRect(0).top);
    EXPECT_EQ(22, c->GetTabRect(1).top);
    EXPECT_EQ(2, c->GetTabRect(2).top);
    c->SetTabIndex(2);
    EXPECT_EQ(20, c->GetTabRowHeight(2));
    EXPECT_EQ(40, c->GetTabRowHeight(0));
    EXPECT_EQ(60, c->GetTabRowHeight(1));
    c->SetTabIndex(1);
    EXPECT_EQ(20, c->GetTabRowHeight(1));
    EXPECT_EQ(40, c->GetTabRowHeight(2));
    EXPECT_EQ(60, c->GetTabRowHeight(0));
}

TEST_F(SkinTabTest, ScrollOppositeMovesTheRowsBeforeTheSelectedOneAcross)
{
    auto* c = Sized(154, 150, {100}, 3, false);
    c->SetScrollOpposite(true);
    EXPECT_TRUE(c->MultiLine());
    c->SetTabIndex(1);
    ASSERT_EQ(3, c->RowCount());
    // Rows 1 and 2 above the page, row 0 below it.
    EXPECT_EQ(42, c->GetTabLineHeight());
    EXPECT_EQ(20, c->GetOpositeTabLineHeight());
    EXPECT_RECT((RECT{0, 42, 154, 130}), c->GetBorderRect());
    EXPECT_RECT((RECT{3, 45, 151, 127}), c->ClientRect());
    EXPECT_TRUE(c->IsTabOnOpositeSide(0));
    EXPECT_FALSE(c->IsTabOnOpositeSide(1));
    EXPECT_FALSE(c->IsTabOnOpositeSide(2));
    EXPECT_RECT((RECT{2, 22, 152, 44}), c->GetTabRect(1));
    EXPECT_RECT((RECT{2, 2, 152, 44}), c->GetTabRect(2));
    EXPECT_RECT((RECT{2, 128, 152, 150}), c->GetTabRect(0));
    // Nearest rows first.
    EXPECT_EQ(0, c->PtInTab(50, 140));
    EXPECT_EQ(2, c->PtInTab(50, 10));
    EXPECT_EQ(1, c->PtInTab(50, 30));
    EXPECT_EQ(-1, c->PtInTab(50, 80));
}

TEST_F(SkinTabTest, MultiLineHitTestingTriesTheSelectedTabThenTheNearestRows)
{
    auto* c = Sized(154, 120, {60}, 3, true);
    EXPECT_EQ(2, c->PtInTab(100, 10));  // only row 1 reaches up here
    EXPECT_EQ(1, c->PtInTab(100, 30));  // row 0 is nearer than row 1
    c->SetTabIndex(2);
    EXPECT_EQ(2, c->PtInTab(50, 30));  // the selected tab first
    EXPECT_EQ(0, c->PtInTab(50, 10));
    EXPECT_EQ(-1, c->PtInTab(50, 60));
}

TEST_F(SkinTabTest, OneLineIsOneRowWhateverItsLength)
{
    // Eight tabs of 50 in 196 pixels: rows would need three; one line has one.
    auto* c = Sized(200, 120, {50}, 8, false);
    EXPECT_EQ(1, c->RowCount());
    EXPECT_EQ(22, c->GetTabLineHeight());
    EXPECT_RECT((RECT{0, 22, 200, 120}), c->GetBorderRect());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(0, c->GetTabRow(i));
        EXPECT_EQ(50, c->GetTabExtWidth(i));
    }
    EXPECT_RECT((RECT{152, 2, 202, 24}), c->GetTabRect(3));
    // Rows laid out before are forgotten when the line comes back.
    c->SetMultiLine(true);
    EXPECT_EQ(3, c->RowCount());
    EXPECT_EQ(62, c->GetTabLineHeight());
    c->SetMultiLine(false);
    EXPECT_EQ(1, c->RowCount());
    EXPECT_EQ(22, c->GetTabLineHeight());
}

TEST_F(SkinTabTest, TheRowTableIsNeverFilledPastItsEnd)
{
    // 250 tabs of 100 in 150 pixels would need 250 rows; the table has 100.
    auto* c = Sized(154, 400, {100}, 250, true);
    ASSERT_EQ(100, c->RowCount());
    EXPECT_EQ(98, c->Row(98).Last);
    EXPECT_EQ(249, c->Row(99).Last);
    EXPECT_EQ(0, c->Row(99).Extra);
    EXPECT_EQ(99, c->GetTabRow(99));
    EXPECT_EQ(99, c->GetTabRow(249));
    // The last row runs on to the right, unjustified.
    EXPECT_EQ(102, c->GetTabRect(100).left);
    EXPECT_EQ(100, c->GetTabExtWidth(100));
    // What follows the table is untouched.
    EXPECT_EQ(0, c->FirstVisibleTab());
    EXPECT_EQ(0, c->TabIndex());
    EXPECT_EQ(250, c->GetTabCount());
    Show();
    c->SetTabIndex(249);
    EXPECT_EQ(249, c->TabIndex());
    EXPECT_EQ(20, c->GetTabRowHeight(99));
}

TEST_F(SkinTabTest, TheTabHeightComesFromTheFontRoundingHalvesToEven)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 200, 100);
    struct Case {
        int Size, Height;
    };
    // round(size x 1.7) + 4: 8.5 and 25.5 go to the even neighbour.
    for (const Case k : {Case{5, 12}, Case{15, 30}, Case{8, 18}, Case{10, 21}, Case{9, 19}}) {
        c->Font()->SetSize(k.Size);
        ASSERT_EQ(k.Size, c->Font()->Size());
        EXPECT_EQ(k.Height, c->GetTabHeight()) << "size " << k.Size;
        EXPECT_EQ(2 * k.Size, c->GetScrollBtnSize());
    }
    c->SetTabHeight(25);
    EXPECT_EQ(25, c->GetTabHeight());
}

TEST_F(SkinTabTest, ATabIsAsWideAsItsCaptionButNoNarrowerThanTwoTabHeights)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 100);
    c->Font()->SetSize(8);  // tab height 18
    c->Tabs()->Add("x");
    c->Tabs()->Add("A caption a good deal wider than forty pixels");
    EXPECT_EQ(0, c->GetTabWidth(-1));
    EXPECT_EQ(0, c->GetTabWidth(2));
    EXPECT_EQ(2 * (18 + 2), c->GetTabWidth(0));
    EXPECT_GT(c->GetTabWidth(1), 2 * (18 + 2));
    c->SetTabWidth(70);
    EXPECT_EQ(70, c->GetTabWidth(0));
    EXPECT_EQ(70, c->GetTabWidth(1));
}

// --- The scrolling line ------------------------------------------------------------------

TEST_F(SkinTabTest, AnOverflowingLineShowsTwoButtonsAtTheRightEndOfTheStrip)
{
    auto* c = Sized(200, 120, {50}, 3, false);
    EXPECT_FALSE(c->ScrollButtonsVisible());
    AddTabs(c, 5, "More");
    ASSERT_TRUE(c->ScrollButtonsVisible());
    // Buttons of 16 ending 2 above the border at 22.
    EXPECT_RECT((RECT{168, 4, 184, 20}), c->GetLeftScrlBtnRect());
    EXPECT_RECT((RECT{184, 4, 200, 20}), c->GetRightScrlBtnRect());
    // Tab 3 is cut by the edge; clear of the buttons only tab 2 ends.
    EXPECT_EQ(3, c->GetLastVisibleTab(false));
    EXPECT_EQ(2, c->GetLastVisibleTab(true));
    // Never in multi-line mode, nor down the sides, nor for one tab.
    c->SetMultiLine(true);
    EXPECT_FALSE(c->ScrollButtonsVisible());
    c->SetMultiLine(false);
    c->SetTabPosition(tpBottom);
    EXPECT_TRUE(c->ScrollButtonsVisible());
    // 120 + 2 - 22: a margin below the strip's top.
    EXPECT_RECT((RECT{168, 100, 184, 116}), c->GetLeftScrlBtnRect());
    c->Tabs()->BeginUpdate();
    while (c->Tabs()->Count() > 1) c->Tabs()->Delete(1);
    c->Tabs()->EndUpdate();
    c->SetTabWidth(400);
    EXPECT_FALSE(c->ScrollButtonsVisible());
}

TEST_F(SkinTabTest, ScrollingRightStopsWhenTheLastTabIsWhole)
{
    auto* c = Sized(200, 120, {50}, 8, false);
    // The last tab clears the left button (at 168) once it ends at
    // 2 + (8 - first) x 50 <= 168: first visible 5.
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        c->ScrollTabs(1);
        seen.push_back(c->FirstVisibleTab());
    }
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 5, 5, 5}), seen);
    EXPECT_EQ(7, c->GetLastVisibleTab(true));
    EXPECT_RECT((RECT{102, 2, 152, 24}), c->GetTabRect(7));
    // Tabs before the first visible one lie to the left, off the control.
    EXPECT_RECT((RECT{-48, 2, 2, 24}), c->GetTabRect(4));
    c->ScrollTabs(0);
    EXPECT_EQ(5, c->FirstVisibleTab());
    c->ScrollTabs(-1);
    EXPECT_EQ(4, c->FirstVisibleTab());
    c->ScrollTabs(-100);
    EXPECT_EQ(0, c->FirstVisibleTab());
    c->ScrollTabs(100);
    EXPECT_EQ(5, c->FirstVisibleTab());
    // Scrolled past the end of fewer tabs, the line starts again at the first.
    c->Tabs()->BeginUpdate();
    while (c->Tabs()->Count() > 3) c->Tabs()->Delete(3);
    c->Tabs()->EndUpdate();
    EXPECT_EQ(0, c->FirstVisibleTab());
    c->Tabs()->Clear();
    c->ScrollTabs(1);
    EXPECT_EQ(-1, c->FirstVisibleTab());
    EXPECT_EQ(-1, c->PtInTab(10, 10));
    EXPECT_EQ(0, c->RowCount());
}

TEST_F(SkinTabTest, SelectingATabScrollsItClearOfTheButtons)
{
    auto* c = Sized(200, 120, {50}, 8, false);
    c->SetTabIndex(3);  // cut by the left button at first 0
    EXPECT_EQ(1, c->FirstVisibleTab());
    c->SetTabIndex(7);  // beyond the right edge: scrolled until it is whole
    EXPECT_EQ(5, c->FirstVisibleTab());
    EXPECT_TRUE(c->GetTabRect(7).right <= 168);
    c->SetTabIndex(6);
    EXPECT_EQ(5, c->FirstVisibleTab());
    c->SetTabIndex(2);  // before the first visible: it becomes the first
    EXPECT_EQ(2, c->FirstVisibleTab());
    c->SetTabIndex(0);
    EXPECT_EQ(0, c->FirstVisibleTab());
}

TEST_F(SkinTabTest, OneLineHitTestingLeavesOutTheButtonsAndTheBorderOverlap)
{
    auto* c = Sized(200, 120, {50}, 8, false);
    EXPECT_EQ(0, c->PtInTab(30, 10));
    EXPECT_EQ(1, c->PtInTab(80, 21));
    EXPECT_EQ(-1, c->PtInTab(80, 23));  // in tab 1's overlap with the border
    EXPECT_EQ(0, c->PtInTab(30, 23));   // the selected tab is tried whole
    EXPECT_EQ(3, c->PtInTab(160, 10));  // the cut tab, left of the buttons
    EXPECT_EQ(-1, c->PtInTab(170, 10)); // the buttons' zone
    EXPECT_EQ(-1, c->PtInTab(170, 21));
    EXPECT_EQ(-1, c->PtInTab(30, 60));
    c->ScrollTabs(2);
    EXPECT_EQ(2, c->PtInTab(30, 10));
}

// --- Selection ----------------------------------------------------------------------------

TEST_F(SkinTabTest, SelectingATabAsksOnChangingThenTellsOnChange)
{
    auto* c = Sized(300, 120, {50}, 4, false);
    TTabWatch watch;
    watch.Attach(c);
    c->SetTabIndex(2);
    EXPECT_EQ(2, c->TabIndex());
    EXPECT_EQ((std::vector<int>{2}), watch.Changing);  // the handler sees the new index
    EXPECT_EQ((std::vector<int>{2}), watch.Changed);
    // The current index and indexes outside the tabs change nothing.
    for (int v : {2, -1, 4, 100}) c->SetTabIndex(v);
    EXPECT_EQ(2, c->TabIndex());
    EXPECT_EQ(1u, watch.Changing.size());
    EXPECT_EQ(1u, watch.Changed.size());
    // A refusal puts the old index back and tells nobody.
    watch.Refuse = true;
    c->SetTabIndex(0);
    EXPECT_EQ(2, c->TabIndex());
    EXPECT_EQ((std::vector<int>{2, 0}), watch.Changing);
    EXPECT_EQ(1u, watch.Changed.size());
}

TEST_F(SkinTabTest, ARefusedChangeLeavesTheScrolledLineAlone)
{
    auto* c = Sized(200, 120, {50}, 8, false);
    TTabWatch watch;
    watch.Attach(c);
    watch.Refuse = true;
    c->SetTabIndex(7);
    EXPECT_EQ(0, c->TabIndex());
    EXPECT_EQ(0, c->FirstVisibleTab());
    EXPECT_TRUE(watch.Changed.empty());
}

TEST_F(SkinTabTest, TheTabsKeepTheSelectionWithinThemWithoutEvents)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 100);
    TTabWatch watch;
    watch.Attach(c);
    EXPECT_EQ(-1, c->TabIndex());
    c->Tabs()->Add("A");
    EXPECT_EQ(0, c->TabIndex());
    AddTabs(c, 3);
    c->SetTabIndex(3);
    watch.Changed.clear();
    watch.Changing.clear();
    c->Tabs()->Delete(3);
    EXPECT_EQ(2, c->TabIndex());
    c->Tabs()->Clear();
    EXPECT_EQ(-1, c->TabIndex());
    EXPECT_TRUE(watch.Changed.empty());
    EXPECT_TRUE(watch.Changing.empty());
}

TEST_F(SkinTabTest, TabsDownTheSidesNeedRows)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 100);
    c->SetTabPosition(tpRight);
    EXPECT_TRUE(c->MultiLine());
    try {
        c->SetMultiLine(false);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ("MultiLine must be True when TabPosition is tpLeft or tpRight", e.what());
    }
    EXPECT_TRUE(c->MultiLine());
    c->SetTabPosition(tpTop);
    c->SetMultiLine(false);
    EXPECT_FALSE(c->MultiLine());
}

// --- The captions ---------------------------------------------------------------------------

namespace {
class TCountingTabs : public TKsCustomTabControl {
public:
    explicit TCountingTabs(TComponent* owner) : TKsCustomTabControl(owner) {}
    const char* ClassName() const override { return "TCountingTabs"; }
    int Changes = 0;
    void TabsChanged() override
    {
        ++Changes;
        TKsCustomTabControl::TabsChanged();
    }
};
}  // namespace

TEST_F(SkinTabTest, EveryChangeOfTheCaptionsReachesTheControl)
{
    auto* c = Place<TCountingTabs>(Host, 0, 0, 300, 100);
    TStrings* tabs = c->Tabs();
    tabs->Add("A");
    EXPECT_EQ(1, c->Changes);
    tabs->Insert(0, "B");
    EXPECT_EQ(2, c->Changes);
    tabs->Put(0, "C");
    EXPECT_EQ(3, c->Changes);
    tabs->PutObject(0, c);
    EXPECT_EQ(4, c->Changes);
    tabs->Delete(0);
    EXPECT_EQ(5, c->Changes);
    tabs->Clear();
    EXPECT_EQ(6, c->Changes);
    tabs->AddObject("D", c);  // Add, then the object
    EXPECT_EQ(8, c->Changes);
    EXPECT_EQ(1, tabs->Count());
}

TEST_F(SkinTabTest, InsertRefusesACaptionThatIsThereAlreadyAddAndPutDoNot)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 100);
    TStrings* tabs = c->Tabs();
    tabs->Add("Fuel");
    try {
        tabs->Insert(1, "Fuel");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ("A tab named Fuel already exists.", e.what());
    }
    EXPECT_EQ(1, tabs->Count());
    tabs->Insert(1, "fuel");  // the case counts
    tabs->Add("Fuel");
    tabs->Put(1, "Fuel");
    EXPECT_EQ("Fuel\r\nFuel\r\nFuel\r\n", tabs->Text());
}

TEST_F(SkinTabTest, AssigningCopiesTheTextsAndTellsTheControlAfterTheUpdate)
{
    auto* c = Place<TCountingTabs>(Host, 0, 0, 300, 100);
    TStringList source;
    source.AddObject("One", &source);
    source.Add("Two");
    source.Add("Two");  // no duplicate check here either
    c->Tabs()->Add("Old");
    c->Changes = 0;
    c->Tabs()->Assign(&source);
    EXPECT_EQ("One\r\nTwo\r\nTwo\r\n", c->Tabs()->Text());
    EXPECT_EQ(nullptr, c->Tabs()->GetObject(0));
    EXPECT_GE(c->Changes, 2);
    // Assigned to itself it keeps what it has.
    c->Tabs()->Assign(c->Tabs());
    EXPECT_EQ(3, c->Tabs()->Count());
    c->SetTabs(&source);
    EXPECT_EQ(3, c->Tabs()->Count());
}

TEST_F(SkinTabTest, AnUpdateTellsTheControlOnceMoreAtItsEnd)
{
    auto* c = Place<TCountingTabs>(Host, 0, 0, 300, 100);
    c->Tabs()->BeginUpdate();
    c->Tabs()->Add("A");
    c->Tabs()->Add("B");
    const int during = c->Changes;
    c->Tabs()->EndUpdate();
    EXPECT_EQ(during + 1, c->Changes);
    EXPECT_EQ(0, c->TabIndex());
}

// --- Pages -------------------------------------------------------------------------------------

namespace {
// Counts its destructions: a page freed twice shows as 2 (or as a fault).
class TCountedSheet : public TKsCustomTabSheet {
public:
    explicit TCountedSheet(TComponent* owner, const std::string& caption = "") : TKsCustomTabSheet(owner)
    {
        if (!caption.empty()) SetCaption(caption);
    }
    const char* ClassName() const override { return "TCountedSheet"; }
    ~TCountedSheet() override { ++Destroyed[Caption()]; }
    static std::map<std::string, int> Destroyed;
};
std::map<std::string, int> TCountedSheet::Destroyed;

class SkinTabPagesTest : public SkinTabTest {
protected:
    void SetUp() override
    {
        SkinTabTest::SetUp();
        TCountedSheet::Destroyed.clear();
    }
    // Some tests free the form themselves.
    void TearDown() override
    {
        if (Form) SkinTabTest::TearDown();
    }
    // Tabs and counted pages in the orders given, matched by caption.
    TKsCustomTabControl* Book(const std::vector<std::string>& tabs, const std::vector<std::string>& pages)
    {
        auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 200);
        // While loading, the captions make no pages of their own.
        c->SetComponentState(csLoading);
        c->SetUsePages(true);
        for (const std::string& t : tabs) c->Tabs()->Add(t);
        for (const std::string& p : pages) c->AddPage(new TCountedSheet(Form, p));
        c->ClearComponentState(csLoading);
        return c;
    }
    static std::vector<std::string> Captions(TKsCustomTabControl* c)
    {
        std::vector<std::string> out;
        for (int i = 0; i < c->GetPageCount(); ++i) out.push_back(c->GetPage(i)->Caption());
        return out;
    }
    static std::vector<std::string> TabTexts(TKsCustomTabControl* c)
    {
        std::vector<std::string> out;
        for (int i = 0; i < c->Tabs()->Count(); ++i) out.push_back(c->Tabs()->Get(i));
        return out;
    }
};
}  // namespace

TEST_F(SkinTabPagesTest, EachNewTabGetsAPageAndTheSelectedTabShowsIt)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 200);
    c->SetUsePages(true);
    AddTabs(c, 3, "P");
    ASSERT_EQ(3, c->GetPageCount());
    EXPECT_EQ((std::vector<std::string>{"P0", "P1", "P2"}), Captions(c));
    // The last page made is the active one.
    EXPECT_EQ(c->GetPage(2), c->ActivePage());
    EXPECT_EQ(2, c->TabIndex());
    EXPECT_EQ(2, c->GetActivePageIndex());
    c->SetTabIndex(0);
    EXPECT_TRUE(c->GetPage(0)->Visible());
    EXPECT_FALSE(c->GetPage(1)->Visible());
    EXPECT_FALSE(c->GetPage(2)->Visible());
    EXPECT_EQ(0, c->GetActivePageIndex());
    EXPECT_EQ(c, c->GetPage(1)->TabControl());
    EXPECT_EQ(1, c->GetPage(1)->GetTabIndex());
    // Pages fill the page area.
    const RECT client = c->ClientRect();
    EXPECT_EQ(client.left, c->GetPage(0)->Left());
    EXPECT_EQ(client.top, c->GetPage(0)->Top());
    EXPECT_EQ(client.right - client.left, c->GetPage(0)->Width());
    c->SetActivePageIndex(1);
    EXPECT_EQ(1, c->TabIndex());
    EXPECT_TRUE(c->GetPage(1)->Visible());
    c->SetActivePageIndex(7);  // ignored
    EXPECT_EQ(1, c->TabIndex());
    // A refused change keeps the page.
    TTabWatch watch;
    watch.Attach(c);
    watch.Refuse = true;
    c->SetTabIndex(2);
    EXPECT_EQ(c->GetPage(1), c->ActivePage());
}

TEST_F(SkinTabPagesTest, RemovingAPageDeletesItsOwnTabWhenTheOrdersDiffer)
{
    auto* c = Book({"A", "B"}, {"B", "A"});
    ASSERT_EQ((std::vector<std::string>{"B", "A"}), Captions(c));
    TKsCustomTabSheet* a = c->GetPage(1);
    c->RemovePage(a);
    EXPECT_EQ((std::vector<std::string>{"B"}), TabTexts(c));
    EXPECT_EQ((std::vector<std::string>{"B"}), Captions(c));
    EXPECT_EQ(1, TCountedSheet::Destroyed[""]);  // its caption is cleared before it goes
    // Freed from outside, a page leaves its control and takes its tab along.
    c->GetPage(0)->Free();
    EXPECT_EQ(1, TCountedSheet::Destroyed["B"]);
    EXPECT_EQ(0, c->Tabs()->Count());
    EXPECT_EQ(0, c->GetPageCount());
    EXPECT_EQ(-1, c->TabIndex());
    // Removing what is not a page does nothing.
    c->RemovePage(nullptr);
    auto* stranger = new TCountedSheet(Form, "S");
    c->RemovePage(stranger);
    EXPECT_EQ(0, TCountedSheet::Destroyed["S"]);
}

TEST_F(SkinTabPagesTest, RemovingAPageFreesItOnce)
{
    auto* c = Book({"A", "B", "C"}, {"A", "B", "C"});
    // Deleting its tab leaves more pages than tabs; the page being removed
    // must not be taken out (and freed) a second time by that.
    c->RemovePage(c->GetPage(1));
    EXPECT_EQ(1, TCountedSheet::Destroyed[""]);
    EXPECT_EQ((std::vector<std::string>{"A", "C"}), TabTexts(c));
    EXPECT_EQ((std::vector<std::string>{"A", "C"}), Captions(c));
    // The active page removed: the first tab and page take over.
    c->SetTabIndex(1);
    ASSERT_EQ(c->GetPage(1), c->ActivePage());
    c->RemovePage(c->GetPage(1));
    EXPECT_EQ(0, c->TabIndex());
    EXPECT_EQ(c->GetPage(0), c->ActivePage());
    EXPECT_TRUE(c->GetPage(0)->Visible());
    EXPECT_EQ(2, TCountedSheet::Destroyed[""]);
}

TEST_F(SkinTabPagesTest, TheControlsDestructionFreesEachPageOnce)
{
    auto* c = Book({"A", "B", "C"}, {"A", "B", "C"});
    c->Free();
    EXPECT_EQ(1, TCountedSheet::Destroyed["A"]);
    EXPECT_EQ(1, TCountedSheet::Destroyed["B"]);
    EXPECT_EQ(1, TCountedSheet::Destroyed["C"]);
    Form->Free();
    Form = nullptr;
    EXPECT_EQ(3u, TCountedSheet::Destroyed.size());
    for (const auto& [caption, count] : TCountedSheet::Destroyed) EXPECT_EQ(1, count) << caption;
}

TEST_F(SkinTabPagesTest, TheFormsDestructionFreesEachPageOnceInEitherOrder)
{
    // Pages made before the control go after it; pages made after it go first.
    auto* early = new TCountedSheet(Form, "Early");
    auto* c = Book({"Early", "Late"}, {"Late"});
    c->AddPage(early);
    EXPECT_EQ(2, c->GetPageCount());
    Form->Free();
    Form = nullptr;
    EXPECT_EQ(1, TCountedSheet::Destroyed["Early"]);
    EXPECT_EQ(1, TCountedSheet::Destroyed["Late"]);
}

TEST_F(SkinTabPagesTest, APageWithoutACaptionMakesOnePageForOneTab)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 200);
    c->SetUsePages(true);
    auto* first = new TCountedSheet(Form);
    c->InsertPage(0, first);
    EXPECT_EQ(1, c->Tabs()->Count());
    EXPECT_EQ(1, c->GetPageCount());
    // Numbered from the count before the new tab, less one.
    EXPECT_EQ("New Page -1", c->Tabs()->Get(0));
    EXPECT_EQ("New Page -1", first->Caption());
    auto* second = new TCountedSheet(Form);
    c->InsertPage(0, second);
    EXPECT_EQ((std::vector<std::string>{"New Page -1", "New Page 0"}), TabTexts(c));
    EXPECT_EQ((std::vector<std::string>{"New Page 0", "New Page -1"}), Captions(c));
    EXPECT_EQ(c, second->TabControl());
    EXPECT_EQ(c, second->Parent());
    EXPECT_FALSE(second->Visible());
    // A page already there is not inserted twice.
    c->AddPage(second);
    EXPECT_EQ(2, c->GetPageCount());
}

TEST_F(SkinTabPagesTest, ATabWithoutACaptionGetsOnePageAndNoMoreTabs)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 200);
    c->SetUsePages(true);
    c->Tabs()->Add("");
    EXPECT_EQ(1, c->Tabs()->Count());
    EXPECT_EQ(1, c->GetPageCount());
    c->Tabs()->Add("Second");
    EXPECT_EQ((std::vector<std::string>{"", "Second"}), TabTexts(c));
    EXPECT_EQ(2, c->GetPageCount());
}

TEST_F(SkinTabPagesTest, APageMovesToAnotherControlWhole)
{
    auto* one = Book({"A", "B"}, {"A", "B"});
    auto* two = Place<TKsCustomTabControl>(Host, 0, 0, 300, 200);
    TKsCustomTabSheet* b = one->GetPage(1);
    b->SetTabControl(two);
    EXPECT_EQ((std::vector<std::string>{"A"}), TabTexts(one));
    EXPECT_EQ(1, one->GetPageCount());
    EXPECT_EQ(1, two->GetPageCount());
    EXPECT_EQ(two, b->TabControl());
    EXPECT_EQ(two, b->Parent());
    EXPECT_EQ("B", b->Caption());
    EXPECT_EQ(0, TCountedSheet::Destroyed["B"]);
}

TEST_F(SkinTabPagesTest, PagesOffFreesThePagesAndKeepsTheTabs)
{
    auto* c = Book({"A", "B", "C"}, {"A", "B", "C"});
    c->SetUsePages(false);
    EXPECT_EQ(0, c->GetPageCount());
    EXPECT_EQ(3, c->Tabs()->Count());
    EXPECT_EQ(3u, TCountedSheet::Destroyed.size());
    EXPECT_EQ(-1, c->GetActivePageIndex());
    // Back on: a page for each tab again, and whatever else sat there goes.
    auto* other = Place<TKsCustomControl>(c, 10, 10, 20, 20);
    (void)other;
    c->SetUsePages(true);
    EXPECT_EQ(3, c->GetPageCount());
    EXPECT_EQ(3, c->ControlCount());
}

TEST_F(SkinTabPagesTest, TheTabsDecideThePages)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 200);
    c->SetUsePages(true);
    AddTabs(c, 3, "P");
    // A page whose tab goes, goes.
    c->Tabs()->Delete(1);
    EXPECT_EQ((std::vector<std::string>{"P0", "P2"}), Captions(c));
    // A renamed tab keeps the page at its place.
    c->Tabs()->Put(1, "Renamed");
    c->SetTabIndex(0);
    c->SetTabIndex(1);
    EXPECT_EQ(c->GetPage(1), c->ActivePage());
    c->Tabs()->Clear();
    EXPECT_EQ(0, c->GetPageCount());
    EXPECT_EQ(-1, c->TabIndex());
    EXPECT_EQ(nullptr, c->ActivePage());
}

TEST_F(SkinTabPagesTest, ShowingAndHidingAPageIsTold)
{
    auto* c = Place<TKsCustomTabControl>(Host, 0, 0, 300, 200);
    c->SetUsePages(true);
    AddTabs(c, 2, "P");
    Show();
    Counter shown, hidden;
    for (int i = 0; i < 2; ++i) {
        c->GetPage(i)->OnShow = MakeEvent<&Counter::Hit>(&shown);
        c->GetPage(i)->OnHide = MakeEvent<&Counter::Hit>(&hidden);
    }
    c->SetTabIndex(0);
    EXPECT_EQ(1, shown.Count);
    EXPECT_EQ(1, hidden.Count);
    c->SetTabIndex(1);
    EXPECT_EQ(2, shown.Count);
    EXPECT_EQ(2, hidden.Count);
}

// --- Form resources -----------------------------------------------------------------------------

namespace {

class TTabForm : public TForm {
    GANTREL_CLASS(TTabForm)
    TTabForm() : TForm(nullptr, 0) {}
    int Changes = 0, Changings = 0, Draws = 0, Shows = 0, Hides = 0, Other = 0;
    void TabsChange(TObject*) { ++Changes; }
    void TabsChanging(TObject*, bool&) { ++Changings; }
    void TabsDrawTab(TKsCustomTabControl*, int, const RECT&, bool) { ++Draws; }
    void PageShow(TObject*) { ++Shows; }
    void PageHide(TObject*) { ++Hides; }
    void Notify(TObject*) { ++Other; }
    void Mouse(TObject*, TMouseButton, TShiftState, int, int) { ++Other; }
    void MouseMoved(TObject*, TShiftState, int, int) { ++Other; }
    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {},
            {GANTREL_HANDLER(TTabForm, TabsChange), GANTREL_HANDLER(TTabForm, TabsChanging),
             GANTREL_HANDLER(TTabForm, TabsDrawTab), GANTREL_HANDLER(TTabForm, PageShow),
             GANTREL_HANDLER(TTabForm, PageHide), GANTREL_HANDLER(TTabForm, Notify),
             GANTREL_HANDLER(TTabForm, Mouse), GANTREL_HANDLER(TTabForm, MouseMoved)}};
        return &table;
    }
};

const char* TabFormText =
    "object TabForm: TTabForm\n"
    "  Left = 10\n"
    "  Top = 10\n"
    "  Width = 640\n"
    "  Height = 480\n"
    "  object EpIITabControl1: TEpIITabControl\n"
    "    Left = 4\n"
    "    Top = 4\n"
    "    Width = 500\n"
    "    Height = 330\n"
    "    Align = alNone\n"
    "    Anchors = [akLeft, akTop, akRight]\n"
    "    TabOrder = 0\n"
    "    TabStop = True\n"
    "    Blend = False\n"
    "    BlendValue = 200\n"
    "    Transparent = False\n"
    "    ShowHint = True\n"
    "    Visible = True\n"
    "    Font.Name = 'Arial'\n"
    "    Font.Height = -13\n"
    "    OnChange = TabsChange\n"
    "    OnChanging = TabsChanging\n"
    "    OnDrawTab = TabsDrawTab\n"
    "    HotTrack = True\n"
    "    MultiLine = True\n"
    "    OwnerDraw = True\n"
    "    RaggedRight = True\n"
    "    ScrollOpposite = False\n"
    "    TabHeight = 22\n"
    "    TabWidth = 90\n"
    "    TabPosition = tpBottom\n"
    "    Tabs.Strings = ('Fuel' 'Ignition' 'Fuel')\n"
    "    TabIndex = 1\n"
    "    UsePages = False\n"
    "    Background.Color = clWindow\n"
    "    Background.Style = ebsColor\n"
    "    Border.Color = clBlack\n"
    "    Border.Width = 2\n"
    "    ActiveTabBackground.Color = clBtnFace\n"
    "    ActiveTabBackground.GradientOrPlasmaColor = clWhite\n"
    "    ActiveTabBackground.GradientDirection = egdVertical\n"
    "    ActiveTabBackground.Style = ebsGradient\n"
    "    ActiveTabBorder.Color = clBlack\n"
    "    InactiveTabBackground.Color = clBtnFace\n"
    "    InactiveTabBorder.Color = clGray\n"
    "    Version = '1.0'\n"
    "    OnEnter = Notify\n"
    "    OnExit = Notify\n"
    "    OnMouseDown = Mouse\n"
    "    OnMouseUp = Mouse\n"
    "    OnMouseMove = MouseMoved\n"
    "    OnMouseEnter = Notify\n"
    "    OnMouseLeave = Notify\n"
    "    OnResize = Notify\n"
    "  end\n"
    "  object Book: TKsCustomTabControl\n"
    "    Left = 4\n"
    "    Top = 340\n"
    "    Width = 300\n"
    "    Height = 120\n"
    "    Tabs.Strings = ('One' 'Two')\n"
    "    TabIndex = 1\n"
    "    UsePages = True\n"
    "    object Page1: TKsCustomTabSheet\n"
    "      Caption = 'One'\n"
    "      BorderWidth = 3\n"
    "      DragMode = dmAutomatic\n"
    "      Enabled = True\n"
    "      ParentFont = False\n"
    "      Font.Height = -15\n"
    "      ParentShowHint = False\n"
    "      ShowHint = True\n"
    "      Constraints.MinHeight = 10\n"
    "      OnShow = PageShow\n"
    "      OnHide = PageHide\n"
    "      OnEnter = Notify\n"
    "      OnExit = Notify\n"
    "      OnMouseDown = Mouse\n"
    "      OnMouseMove = MouseMoved\n"
    "      OnMouseUp = Mouse\n"
    "      OnResize = Notify\n"
    "    end\n"
    "    object Page2: TKsCustomTabSheet\n"
    "      Caption = 'Two'\n"
    "    end\n"
    "  end\n"
    "end\n";

}  // namespace

TEST(SkinTabForm, EveryPublishedPropertyIsReadFromAFormResource)
{
    RegisterSkinClasses();
    auto* form = new TTabForm;
    ReadFormText(form, TabFormText, TTabForm::Table());
    auto* c = form->FindComponent<TEpIITabControl>("EpIITabControl1");
    ASSERT_NE(nullptr, c);
    EXPECT_TRUE(c->HotTrack());
    EXPECT_TRUE(c->MultiLine());
    EXPECT_TRUE(c->OwnerDraw());
    EXPECT_TRUE(c->RaggedRight());
    EXPECT_FALSE(c->ScrollOpposite());
    EXPECT_EQ(22, c->TabHeight());
    EXPECT_EQ(90, c->TabWidth());
    EXPECT_EQ(tpBottom, c->TabPosition());
    EXPECT_EQ("Fuel\r\nIgnition\r\nFuel\r\n", c->Tabs()->Text());
    EXPECT_EQ(1, c->TabIndex());
    EXPECT_FALSE(c->UsePages());
    EXPECT_TRUE(c->TabStop());
    EXPECT_EQ(200, c->BlendValue());
    EXPECT_TRUE(c->ShowHint());
    EXPECT_EQ("Arial", c->Font()->Name());
    EXPECT_EQ(clWindow, c->Background()->Color());
    EXPECT_EQ(2, c->Border()->Width());
    EXPECT_EQ(2, c->GetTopMargin());
    EXPECT_EQ(ebsGradient, c->ActiveTabBackground()->Style());
    EXPECT_EQ(clBtnFace, c->ActiveTabBackground()->Color());
    EXPECT_EQ(clWhite, c->ActiveTabBackground()->GradientOrPlasmaColor());
    EXPECT_EQ(clBlack, c->ActiveTabBorder()->Color());
    EXPECT_EQ(clBtnFace, c->InactiveTabBackground()->Color());
    EXPECT_EQ(clGray, c->InactiveTabBorder()->Color());
    EXPECT_STREQ("2.1", c->Version());
    EXPECT_TRUE(bool(c->OnChange));
    EXPECT_TRUE(bool(c->OnChanging));
    EXPECT_TRUE(bool(c->OnDrawTab));
    EXPECT_TRUE(bool(c->OnEnter));
    EXPECT_TRUE(bool(c->OnMouseEnter));
    // Reading the index is not a user's switch: no event.
    EXPECT_EQ(0, form->Changes);
    EXPECT_EQ(0, form->Changings);

    auto* book = form->FindComponent<TKsCustomTabControl>("Book");
    auto* one = form->FindComponent<TKsCustomTabSheet>("Page1");
    auto* two = form->FindComponent<TKsCustomTabSheet>("Page2");
    ASSERT_NE(nullptr, book);
    ASSERT_NE(nullptr, one);
    ASSERT_NE(nullptr, two);
    EXPECT_TRUE(book->UsePages());
    ASSERT_EQ(2, book->GetPageCount());
    EXPECT_EQ(one, book->GetPage(0));
    EXPECT_EQ(two, book->GetPage(1));
    EXPECT_EQ(book, one->TabControl());
    EXPECT_EQ(1, book->TabIndex());
    EXPECT_EQ(two, book->ActivePage());
    EXPECT_TRUE(two->Visible());
    EXPECT_FALSE(one->Visible());
    EXPECT_EQ(3, one->BorderWidth());
    EXPECT_EQ(-15, one->Font()->Height());
    EXPECT_TRUE(one->ShowHint());
    EXPECT_EQ(10, one->Constraints()->MinHeight());
    EXPECT_TRUE(bool(one->OnShow));
    EXPECT_TRUE(bool(one->OnHide));
    // Shown, it fills the page area; its client area lies inside its border width.
    book->SetTabIndex(0);
    EXPECT_TRUE(one->Visible());
    EXPECT_EQ(book->ClientRect().right - book->ClientRect().left, one->Width());
    const RECT inner = one->ClientRect();
    EXPECT_EQ(3, inner.left);
    EXPECT_EQ(3, inner.top);
    EXPECT_EQ(one->Width() - 3, inner.right);
    form->Free();
}

// Status bar, progress bar, tab control and track bar: what form resources
// set, that values reach the platform control whether they were set before
// or after its window existed (read back with the control's own messages),
// and which notifications run the events: the user's actions, driven with
// real messages, and the program's.
#include "Application.h"
#include "Image.h"
#include "ProgressBar.h"
#include "Reader.h"
#include "StatusBar.h"
#include "TabControl.h"
#include "TrackBar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TComForm : public TForm {
    GANTREL_CLASS(TComForm)

    explicit TComForm(TComponent* owner) : TForm(owner, 0) {}

    std::vector<std::string> Events;
    bool AllowChange = true;
    std::vector<int> DrawnPanels;

    void TabsChanging(TObject*, bool& allow)
    {
        Events.push_back("changing");
        allow = AllowChange;
    }
    void TabsChange(TObject*) { Events.push_back("change"); }
    void SliderChange(TObject*) { Events.push_back("slider"); }
    void DrawPanel(TStatusBar*, TStatusPanel* panel, const RECT&) { DrawnPanels.push_back(panel->Index()); }

    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {},
            {GANTREL_HANDLER(TComForm, TabsChanging), GANTREL_HANDLER(TComForm, TabsChange),
             GANTREL_HANDLER(TComForm, SliderChange), GANTREL_HANDLER(TComForm, DrawPanel)},
        };
        return &table;
    }
    void Read(const std::string& text) { ReadFormText(this, text, Table()); }
};

std::string ReadError(const std::string& body)
{
    TComForm* form = new TComForm(nullptr);
    std::string message;
    try {
        form->Read("object ComForm: TComForm\n" + body + "end\n");
    } catch (const EReadError& e) {
        message = e.what();
    }
    form->Free();
    return message;
}

LONG_PTR StyleOf(TWinControl* control)
{
    return GetWindowLongPtrA(control->Handle(), GWL_STYLE);
}

class ComCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TComForm(nullptr);
        Form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override { Form->Free(); }
    TComForm* Form;
};

// --- TStatusBar -----------------------------------------------------------

using ComCtrlsStatusBarTest = ComCtrlsTest;

std::vector<int> Parts(TStatusBar* bar)
{
    int count = int(SendMessageA(bar->Handle(), SB_GETPARTS, 0, 0));
    std::vector<int> edges(size_t(std::max(count, 0)));
    SendMessageA(bar->Handle(), SB_GETPARTS, WPARAM(count), reinterpret_cast<LPARAM>(edges.data()));
    return edges;
}

std::string PartText(TStatusBar* bar, int index)
{
    LRESULT info = SendMessageA(bar->Handle(), SB_GETTEXTLENGTHA, WPARAM(index), 0);
    std::string text(size_t(LOWORD(info)) + 1, '\0');
    SendMessageA(bar->Handle(), SB_GETTEXTA, WPARAM(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(size_t(LOWORD(info)));
    return text;
}

WORD PartFlags(TStatusBar* bar, int index)
{
    return HIWORD(SendMessageA(bar->Handle(), SB_GETTEXTLENGTHA, WPARAM(index), 0));
}

const char* const StatusForm = R"(object ComForm: TComForm
  object StatusBar1: TStatusBar
    SizeGrip = False
    UseSystemFont = False
    SimpleText = 'Busy'
    Panels = <
      item
        Width = 150
        Text = 'COM1'
      end
      item
        Width = 330
        Alignment = taCenter
        Bevel = pbRaised
        Text = 'No map'
      end
      item
        Width = 100
        Alignment = taRightJustify
        Bevel = pbNone
        Text = 'v1'
      end>
  end
end
)";

TEST_F(ComCtrlsStatusBarTest, PanelsComeFromTheFormResourceAsACollection)
{
    Form->Read(StatusForm);
    TStatusBar* bar = Form->FindComponent<TStatusBar>("StatusBar1");
    ASSERT_NE(nullptr, bar);
    EXPECT_FALSE(bar->HandleAllocated());
    EXPECT_EQ(alBottom, bar->Align());
    EXPECT_FALSE(bar->SizeGrip());
    EXPECT_EQ("Busy", bar->SimpleText());
    ASSERT_EQ(3, bar->Panels()->Count());
    EXPECT_EQ(150, bar->Panels(0)->Width());
    EXPECT_EQ("COM1", bar->Panels(0)->Text());
    EXPECT_EQ(taLeftJustify, bar->Panels(0)->Alignment());
    EXPECT_EQ(pbLowered, bar->Panels(0)->Bevel());
    EXPECT_EQ(taCenter, bar->Panels(1)->Alignment());
    EXPECT_EQ(pbRaised, bar->Panels(1)->Bevel());
    EXPECT_EQ(taRightJustify, bar->Panels(2)->Alignment());
    EXPECT_EQ(pbNone, bar->Panels(2)->Bevel());
    EXPECT_EQ(psText, bar->Panels(2)->Style());

    EXPECT_EQ("Form TComForm, line 5: unknown value pbSunken",
              ReadError("  object S: TStatusBar\n    Panels = <\n      item\n        Bevel = pbSunken\n      end>\n  end\n"));
}

TEST_F(ComCtrlsStatusBarTest, PartsAndTextsReachTheWindowWhenItIsMade)
{
    Form->Read(StatusForm);
    TStatusBar* bar = Form->FindComponent<TStatusBar>("StatusBar1");
    // Right edges add up; the last part runs to the end of the bar.
    EXPECT_EQ(std::vector<int>({150, 480, -1}), Parts(bar));
    EXPECT_EQ("COM1", PartText(bar, 0));
    EXPECT_EQ("\tNo map", PartText(bar, 1));
    EXPECT_EQ("\t\tv1", PartText(bar, 2));
    EXPECT_EQ(0, PartFlags(bar, 0) & (SBT_POPOUT | SBT_NOBORDERS));
    EXPECT_EQ(SBT_POPOUT, PartFlags(bar, 1) & (SBT_POPOUT | SBT_NOBORDERS));
    EXPECT_EQ(SBT_NOBORDERS, PartFlags(bar, 2) & (SBT_POPOUT | SBT_NOBORDERS));
    EXPECT_FALSE(StyleOf(bar) & SBARS_SIZEGRIP);
    EXPECT_FALSE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0));
}

TEST_F(ComCtrlsStatusBarTest, ChangesAfterTheWindowExistsReachItToo)
{
    TStatusBar* bar = new TStatusBar(Form);
    bar->SetParent(Form);
    bar->HandleNeeded();
    EXPECT_EQ(std::vector<int>({-1}), Parts(bar));
    TStatusPanel* first = bar->Panels()->Add();
    first->SetWidth(80);
    TStatusPanel* second = bar->Panels()->Add();
    EXPECT_EQ(std::vector<int>({80, -1}), Parts(bar));
    second->SetText("Connected");
    EXPECT_EQ("Connected", PartText(bar, 1));
    first->SetWidth(120);
    bar->Panels()->Add()->SetWidth(40);
    EXPECT_EQ(std::vector<int>({120, 170, -1}), Parts(bar));
    second->SetBevel(pbRaised);
    EXPECT_EQ(SBT_POPOUT, PartFlags(bar, 1) & SBT_POPOUT);
    bar->Panels()->Delete(0);
    EXPECT_EQ(std::vector<int>({50, -1}), Parts(bar));
    EXPECT_EQ("Connected", PartText(bar, 0));

    bar->SetSimplePanel(true);
    EXPECT_TRUE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0));
    bar->SetSimplePanel(false);
    EXPECT_FALSE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0));

    bar->SetSizeGrip(false);
    EXPECT_FALSE(StyleOf(bar) & SBARS_SIZEGRIP);
    // A new window gets the panels again.
    EXPECT_EQ(std::vector<int>({50, -1}), Parts(bar));
    EXPECT_EQ("Connected", PartText(bar, 0));
}

TEST_F(ComCtrlsStatusBarTest, ThePlatformPicksTheHeightAndTheFormPlacesTheBar)
{
    TStatusBar* bar = new TStatusBar(Form);
    bar->SetParent(Form);
    bar->SetHeight(3);
    bar->HandleNeeded();
    RECT window;
    GetWindowRect(bar->Handle(), &window);
    EXPECT_GT(bar->Height(), 3);
    EXPECT_EQ(window.bottom - window.top, bar->Height());
    RECT client = Form->ClientRect();
    EXPECT_EQ(client.bottom, bar->Top() + bar->Height());
    EXPECT_EQ(0, bar->Left());
    EXPECT_EQ(client.right, bar->Width());
    // Sizing the form keeps it at the bottom, full width, same height.
    int height = bar->Height();
    Form->SetBounds(0, 0, 500, 350);
    client = Form->ClientRect();
    EXPECT_EQ(client.bottom, bar->Top() + bar->Height());
    EXPECT_EQ(client.right, bar->Width());
    EXPECT_EQ(height, bar->Height());
    GetWindowRect(bar->Handle(), &window);
    EXPECT_EQ(client.right, window.right - window.left);
}

TEST_F(ComCtrlsStatusBarTest, OwnerDrawnPanelsArePaintedByOnDrawPanel)
{
    Form->Read(R"(object ComForm: TComForm
  object StatusBar1: TStatusBar
    OnDrawPanel = DrawPanel
    Panels = <
      item
        Width = 100
      end
      item
        Width = 100
        Style = psOwnerDraw
      end>
  end
end
)");
    TStatusBar* bar = Form->FindComponent<TStatusBar>("StatusBar1");
    EXPECT_EQ(psOwnerDraw, bar->Panels(1)->Style());
    Form->Show();
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(Form->DrawnPanels.empty());
    for (int index : Form->DrawnPanels) EXPECT_EQ(1, index);
}

// --- TProgressBar ---------------------------------------------------------

using ComCtrlsProgressBarTest = ComCtrlsTest;

int WindowPosition(TProgressBar* bar)
{
    return int(SendMessageA(bar->Handle(), PBM_GETPOS, 0, 0));
}

TEST_F(ComCtrlsProgressBarTest, ValuesComeFromTheFormResourceAndReachTheWindow)
{
    // Position before the range it lies in, as a resource may write it.
    Form->Read(R"(object ComForm: TComForm
  object ProgressBar1: TProgressBar
    Position = 150
    Min = 10
    Max = 200
    Step = 5
    Smooth = True
    Orientation = pbVertical
  end
end
)");
    TProgressBar* bar = Form->FindComponent<TProgressBar>("ProgressBar1");
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(10, bar->Min());
    EXPECT_EQ(200, bar->Max());
    EXPECT_EQ(150, bar->Position());
    EXPECT_EQ(5, bar->Step());
    EXPECT_TRUE(bar->Smooth());
    EXPECT_EQ(pbVertical, bar->Orientation());

    PBRANGE range = {};
    SendMessageA(bar->Handle(), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(10, range.iLow);
    EXPECT_EQ(200, range.iHigh);
    EXPECT_EQ(150, WindowPosition(bar));
    EXPECT_TRUE(StyleOf(bar) & PBS_SMOOTH);
    EXPECT_TRUE(StyleOf(bar) & PBS_VERTICAL);
    bar->StepIt();
    EXPECT_EQ(155, WindowPosition(bar));

    EXPECT_EQ("Form TComForm, line 3: unknown value pbDiagonal",
              ReadError("  object P: TProgressBar\n    Orientation = pbDiagonal\n  end\n"));
}

TEST_F(ComCtrlsProgressBarTest, DefaultsStepsAndClampingBeforeAndAfterTheWindow)
{
    TProgressBar* bar = new TProgressBar(Form);
    bar->SetParent(Form);
    EXPECT_EQ(0, bar->Min());
    EXPECT_EQ(100, bar->Max());
    EXPECT_EQ(0, bar->Position());
    EXPECT_EQ(10, bar->Step());

    bar->SetPosition(40);
    bar->StepIt();
    EXPECT_EQ(50, bar->Position());
    bar->SetPosition(250);
    EXPECT_EQ(100, bar->Position());
    bar->SetPosition(95);
    bar->StepIt();  // past the end: again from the start
    EXPECT_EQ(0, bar->Position());
    bar->SetPosition(40);

    bar->HandleNeeded();
    EXPECT_EQ(40, WindowPosition(bar));
    EXPECT_FALSE(StyleOf(bar) & PBS_SMOOTH);
    bar->StepBy(30);
    EXPECT_EQ(70, bar->Position());
    EXPECT_EQ(70, WindowPosition(bar));
    bar->StepBy(500);
    EXPECT_EQ(100, WindowPosition(bar));
    bar->StepIt();
    EXPECT_EQ(0, WindowPosition(bar));
    bar->SetStep(-20);
    bar->StepIt();  // below the start: from the end
    EXPECT_EQ(100, WindowPosition(bar));
    bar->StepIt();
    EXPECT_EQ(80, WindowPosition(bar));

    bar->SetMax(50);
    EXPECT_EQ(50, bar->Position());
    EXPECT_EQ(50, WindowPosition(bar));
    EXPECT_EQ(50, int(SendMessageA(bar->Handle(), PBM_GETRANGE, FALSE, 0)));

    bar->SetSmooth(true);
    EXPECT_TRUE(StyleOf(bar) & PBS_SMOOTH);
    EXPECT_EQ(50, WindowPosition(bar));  // the new window has the values too
}

// --- TTabControl ----------------------------------------------------------

using ComCtrlsTabControlTest = ComCtrlsTest;

int ItemCount(TTabControl* tabs)
{
    return int(SendMessageA(tabs->Handle(), TCM_GETITEMCOUNT, 0, 0));
}

int CurSel(TTabControl* tabs)
{
    return int(SendMessageA(tabs->Handle(), TCM_GETCURSEL, 0, 0));
}

std::string ItemText(TTabControl* tabs, int index)
{
    char buffer[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(tabs->Handle(), TCM_GETITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// Presses and releases the left button in the middle of tab index.
void ClickTab(TTabControl* tabs, int index)
{
    RECT r = {};
    SendMessageA(tabs->Handle(), TCM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs->Handle(), WM_LBUTTONUP, 0, at);
}

const char* const TabForm = R"(object ComForm: TComForm
  object Tabs1: TTabControl
    Left = 4
    Top = 4
    Width = 300
    Height = 200
    Tabs.Strings = (
      'Fuel'
      'TP Out'
      'MP Chg')
    TabIndex = 1
    OnChange = TabsChange
    OnChanging = TabsChanging
    object Page: TPanel
      Align = alClient
      BevelOuter = bvNone
    end
  end
end
)";

TEST_F(ComCtrlsTabControlTest, TabsAndSelectionComeFromTheFormResource)
{
    Form->Read(TabForm);
    TTabControl* tabs = Form->FindComponent<TTabControl>("Tabs1");
    ASSERT_NE(nullptr, tabs);
    ASSERT_EQ(3, tabs->Tabs()->Count());
    EXPECT_EQ("TP Out", tabs->Tabs()->Get(1));
    EXPECT_EQ(1, tabs->TabIndex());
    EXPECT_TRUE(tabs->ControlStyle & csAcceptsControls);
    EXPECT_TRUE(tabs->TabStop());

    EXPECT_EQ(3, ItemCount(tabs));
    EXPECT_EQ("Fuel", ItemText(tabs, 0));
    EXPECT_EQ("MP Chg", ItemText(tabs, 2));
    EXPECT_EQ(1, CurSel(tabs));
    EXPECT_TRUE(Form->Events.empty());

    // The child fills the display area, which the platform reports.
    RECT display;
    GetClientRect(tabs->Handle(), &display);
    SendMessageA(tabs->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    RECT client = tabs->ClientRect();
    EXPECT_TRUE(EqualRect(&display, &client));
    TControl* page = Form->FindComponent<TControl>("Page");
    EXPECT_EQ(display.left, page->Left());
    EXPECT_EQ(display.top, page->Top());
    EXPECT_EQ(display.right - display.left, page->Width());
    EXPECT_EQ(display.bottom - display.top, page->Height());
    EXPECT_GT(display.top, 4);  // under the tabs
}

TEST_F(ComCtrlsTabControlTest, StylesComeFromTheFormResource)
{
    Form->Read(R"(object ComForm: TComForm
  object Tabs1: TTabControl
    MultiLine = True
    TabPosition = tpBottom
    Style = tsButtons
  end
  object Tabs2: TTabControl
    Style = tsFlatButtons
  end
end
)");
    TTabControl* tabs = Form->FindComponent<TTabControl>("Tabs1");
    TTabControl* flat = Form->FindComponent<TTabControl>("Tabs2");
    EXPECT_TRUE(tabs->MultiLine());
    EXPECT_EQ(tpBottom, tabs->TabPosition());
    EXPECT_EQ(tsButtons, tabs->Style());
    EXPECT_EQ(-1, tabs->TabIndex());
    LONG_PTR style = StyleOf(tabs);
    EXPECT_TRUE(style & TCS_MULTILINE);
    EXPECT_TRUE(style & TCS_BOTTOM);
    EXPECT_TRUE(style & TCS_BUTTONS);
    EXPECT_FALSE(style & TCS_FLATBUTTONS);
    EXPECT_TRUE(StyleOf(flat) & TCS_FLATBUTTONS);
    EXPECT_EQ("Form TComForm, line 3: unknown value tsRound",
              ReadError("  object T: TTabControl\n    Style = tsRound\n  end\n"));
}

TEST_F(ComCtrlsTabControlTest, EditingTheTabsChangesTheControl)
{
    TTabControl* tabs = new TTabControl(Form);
    tabs->SetParent(Form);
    // Without a window the selection moves as the platform would move it.
    tabs->Tabs()->Add("A");
    EXPECT_EQ(0, tabs->TabIndex());
    tabs->Tabs()->Add("B");
    tabs->Tabs()->Insert(0, "Z");
    EXPECT_EQ(1, tabs->TabIndex());
    tabs->SetTabIndex(2);
    tabs->Tabs()->Delete(0);
    EXPECT_EQ(1, tabs->TabIndex());
    tabs->SetTabIndex(7);  // no such tab: ignored
    EXPECT_EQ(1, tabs->TabIndex());

    tabs->HandleNeeded();
    EXPECT_EQ(2, ItemCount(tabs));
    EXPECT_EQ(1, CurSel(tabs));
    tabs->Tabs()->Add("C");
    tabs->Tabs()->Put(0, "First");
    EXPECT_EQ(3, ItemCount(tabs));
    EXPECT_EQ("First", ItemText(tabs, 0));
    EXPECT_EQ("C", ItemText(tabs, 2));
    tabs->Tabs()->Insert(0, "New");
    EXPECT_EQ(2, tabs->TabIndex());
    tabs->Tabs()->Delete(2);
    EXPECT_EQ(-1, tabs->TabIndex());
    EXPECT_EQ("C", ItemText(tabs, 2));
    tabs->Tabs()->Clear();
    EXPECT_EQ(0, ItemCount(tabs));
    EXPECT_TRUE(Form->Events.empty());
}

TEST_F(ComCtrlsTabControlTest, OnlyTheUsersSwitchRunsOnChangingAndOnChange)
{
    Form->Read(TabForm);
    TTabControl* tabs = Form->FindComponent<TTabControl>("Tabs1");
    Form->Show();
    tabs->SetTabIndex(2);
    EXPECT_EQ(2, CurSel(tabs));
    SendMessageA(tabs->Handle(), TCM_SETCURSEL, 0, 0);
    EXPECT_EQ(0, tabs->TabIndex());
    EXPECT_TRUE(Form->Events.empty());

    ClickTab(tabs, 1);
    EXPECT_EQ(1, tabs->TabIndex());
    EXPECT_EQ(std::vector<std::string>({"changing", "change"}), Form->Events);

    // Clicking the selected tab switches nothing.
    Form->Events.clear();
    ClickTab(tabs, 1);
    EXPECT_TRUE(Form->Events.empty());

    // OnChanging may keep the current tab.
    Form->AllowChange = false;
    ClickTab(tabs, 2);
    EXPECT_EQ(1, tabs->TabIndex());
    EXPECT_EQ(std::vector<std::string>({"changing"}), Form->Events);
}

TEST_F(ComCtrlsTabControlTest, StyleChangesKeepTabsSelectionAndChildren)
{
    Form->Read(TabForm);
    TTabControl* tabs = Form->FindComponent<TTabControl>("Tabs1");
    tabs->HandleNeeded();
    tabs->SetTabIndex(2);
    tabs->SetTabPosition(tpBottom);
    EXPECT_TRUE(StyleOf(tabs) & TCS_BOTTOM);
    EXPECT_EQ(3, ItemCount(tabs));
    EXPECT_EQ(2, CurSel(tabs));
    TWinControl* page = Form->FindComponent<TWinControl>("Page");
    EXPECT_TRUE(page->HandleAllocated());
    EXPECT_EQ(tabs->Handle(), GetParent(page->Handle()));
    RECT client = tabs->ClientRect();
    EXPECT_EQ(client.top, page->Top());
    EXPECT_EQ(client.bottom, page->Top() + page->Height());
}

TEST_F(ComCtrlsTabControlTest, WindowlessChildrenArePaintedOverTheTabs)
{
    Form->SetColor(clWhite);
    TTabControl* tabs = new TTabControl(Form);
    tabs->SetParent(Form);
    tabs->SetBounds(0, 0, 200, 150);
    tabs->Tabs()->Add("One");
    TImage* image = new TImage(Form);
    image->SetParent(tabs);
    image->SetBounds(40, 60, 20, 20);
    image->Picture()->Bitmap()->SetSize(20, 20);
    image->Picture()->Bitmap()->Canvas()->Brush()->SetColor(clRed);
    image->Picture()->Bitmap()->Canvas()->FillRect(RECT{0, 0, 20, 20});
    Form->Show();
    RedrawWindow(tabs->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(tabs->Handle());
    COLORREF inside = GetPixel(dc, 50, 70), outside = GetPixel(dc, 100, 70);
    ReleaseDC(tabs->Handle(), dc);
    EXPECT_EQ(RGB(255, 0, 0), inside);
    EXPECT_NE(RGB(255, 0, 0), outside);
}

// --- TTrackBar ------------------------------------------------------------

using ComCtrlsTrackBarTest = ComCtrlsTest;

int SliderPosition(TTrackBar* bar)
{
    return int(SendMessageA(bar->Handle(), TBM_GETPOS, 0, 0));
}

TEST_F(ComCtrlsTrackBarTest, ValuesComeFromTheFormResourceAndReachTheWindow)
{
    Form->Read(R"(object ComForm: TComForm
  object Slider: TTrackBar
    Width = 45
    Height = 150
    Position = 15
    Min = 2
    Max = 20
    Frequency = 2
    LineSize = 3
    PageSize = 4
    Orientation = trVertical
    TickMarks = tmBoth
    TickStyle = tsManual
    ThumbLength = 15
    SliderVisible = False
    OnChange = SliderChange
  end
end
)");
    TTrackBar* bar = Form->FindComponent<TTrackBar>("Slider");
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(2, bar->Min());
    EXPECT_EQ(20, bar->Max());
    EXPECT_EQ(15, bar->Position());
    EXPECT_EQ(2, bar->Frequency());
    EXPECT_EQ(3, bar->LineSize());
    EXPECT_EQ(4, bar->PageSize());
    EXPECT_EQ(trVertical, bar->Orientation());
    EXPECT_EQ(TTrackBar::tmBoth, bar->TickMarks());
    EXPECT_EQ(tsManual, bar->TickStyle());
    EXPECT_EQ(15, bar->ThumbLength());
    EXPECT_FALSE(bar->SliderVisible());
    // The resource's bounds are for its orientation already.
    EXPECT_EQ(45, bar->Width());
    EXPECT_EQ(150, bar->Height());
    EXPECT_TRUE(Form->Events.empty());  // reading is not a change

    HWND window = bar->Handle();
    EXPECT_EQ(2, int(SendMessageA(window, TBM_GETRANGEMIN, 0, 0)));
    EXPECT_EQ(20, int(SendMessageA(window, TBM_GETRANGEMAX, 0, 0)));
    EXPECT_EQ(15, SliderPosition(bar));
    EXPECT_EQ(3, int(SendMessageA(window, TBM_GETLINESIZE, 0, 0)));
    EXPECT_EQ(4, int(SendMessageA(window, TBM_GETPAGESIZE, 0, 0)));
    LONG_PTR style = StyleOf(bar);
    EXPECT_TRUE(style & TBS_VERT);
    EXPECT_TRUE(style & TBS_BOTH);
    EXPECT_TRUE(style & TBS_NOTHUMB);
    EXPECT_FALSE(style & TBS_AUTOTICKS);
    EXPECT_FALSE(style & TBS_NOTICKS);

    EXPECT_EQ("Form TComForm, line 3: unknown value tmLeft",
              ReadError("  object T: TTrackBar\n    TickMarks = tmLeft\n  end\n"));
}

TEST_F(ComCtrlsTrackBarTest, TheProgramsChangesRunOnChangeOnlyWhenThePositionMoves)
{
    TTrackBar* bar = new TTrackBar(Form);
    bar->SetParent(Form);
    bar->OnChange = MakeEvent<&TComForm::SliderChange>(Form);
    EXPECT_EQ(0, bar->Min());
    EXPECT_EQ(10, bar->Max());
    bar->SetPosition(4);
    EXPECT_EQ(1u, Form->Events.size());
    bar->SetPosition(4);
    EXPECT_EQ(1u, Form->Events.size());
    bar->SetPosition(99);  // kept inside the range
    EXPECT_EQ(10, bar->Position());
    EXPECT_EQ(2u, Form->Events.size());

    bar->HandleNeeded();
    EXPECT_EQ(10, SliderPosition(bar));
    EXPECT_TRUE(StyleOf(bar) & TBS_AUTOTICKS);
    EXPECT_FALSE(StyleOf(bar) & TBS_VERT);
    bar->SetPosition(6);
    EXPECT_EQ(6, SliderPosition(bar));
    EXPECT_EQ(3u, Form->Events.size());
    bar->SetMax(5);  // the range moves the position
    EXPECT_EQ(5, SliderPosition(bar));
    EXPECT_EQ(5, int(SendMessageA(bar->Handle(), TBM_GETRANGEMAX, 0, 0)));
    EXPECT_EQ(4u, Form->Events.size());
    bar->SetLineSize(2);
    EXPECT_EQ(2, int(SendMessageA(bar->Handle(), TBM_GETLINESIZE, 0, 0)));
}

TEST_F(ComCtrlsTrackBarTest, TheUsersMovesArriveAsScrollNotifications)
{
    TTrackBar* bar = new TTrackBar(Form);
    bar->SetParent(Form);
    bar->OnChange = MakeEvent<&TComForm::SliderChange>(Form);
    HWND window = bar->Handle();
    // The thumb moves (as a drag would move it), then the parent hears.
    SendMessageA(window, TBM_SETPOS, TRUE, 7);
    EXPECT_TRUE(Form->Events.empty());
    SendMessageA(Form->Handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 7), reinterpret_cast<LPARAM>(window));
    EXPECT_EQ(std::vector<std::string>({"slider"}), Form->Events);
    EXPECT_EQ(7, bar->Position());
    // The end of the drag moves nothing further.
    SendMessageA(Form->Handle(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(window));
    EXPECT_EQ(1u, Form->Events.size());
    // A key the control handles itself notifies its parent too.
    SendMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(8, bar->Position());
    EXPECT_EQ(2u, Form->Events.size());

    bar->SetOrientation(trVertical);
    EXPECT_EQ(45, bar->Width());  // turned
    EXPECT_EQ(150, bar->Height());
    window = bar->Handle();
    EXPECT_EQ(8, SliderPosition(bar));
    SendMessageA(window, TBM_SETPOS, TRUE, 2);
    SendMessageA(Form->Handle(), WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 2), reinterpret_cast<LPARAM>(window));
    EXPECT_EQ(3u, Form->Events.size());
    EXPECT_EQ(2, bar->Position());
}

TEST_F(ComCtrlsTrackBarTest, ComCtrlsClassesAreRegistered)
{
    for (const char* name : {"TStatusBar", "TProgressBar", "TTabControl", "TTrackBar"})
        EXPECT_NE(nullptr, FindClass(name)) << name;
}

}  // namespace

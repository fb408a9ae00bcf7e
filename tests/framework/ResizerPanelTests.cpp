// The proportional layout panel: the snapshot taken when the form has been
// read, and what every size change makes of it: which ratio each value
// follows, truncation of fractional pixels, fonts of controls that follow
// their parent's, minimised windows, and a handler that keeps a child's size.
#include "Application.h"
#include "Button.h"
#include "Grid.h"
#include "Label.h"
#include "Reader.h"
#include "ResizerPanel.h"
#include "StatusBar.h"

#include <gtest/gtest.h>

namespace {

class TResizeForm : public TForm {
    GANTREL_CLASS(TResizeForm)

    explicit TResizeForm(TComponent* owner) : TForm(owner, 0) {}

    TResizerPanel* ResizerPanel1 = nullptr;
    TStringGrid* Grid1 = nullptr;
    TPanel* Box1 = nullptr;
    TButton* Inner1 = nullptr;
    TButton* Direct1 = nullptr;
    TLabel* Label1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;

    bool KeepBoxSize = false;
    void CanChildResize(TObject* sender, bool&, bool& resize)
    {
        if (KeepBoxSize && sender == Box1) resize = false;
    }

    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TResizeForm, ResizerPanel1), GANTREL_FIELD(TResizeForm, Grid1),
             GANTREL_FIELD(TResizeForm, Box1), GANTREL_FIELD(TResizeForm, Inner1),
             GANTREL_FIELD(TResizeForm, Direct1), GANTREL_FIELD(TResizeForm, Label1),
             GANTREL_FIELD(TResizeForm, StatusBar1)},
            {},
        };
        return &table;
    }
};

const char* const ResizeFormText = R"(object ResizeForm: TResizeForm
  BorderStyle = bsNone
  Width = 400
  Height = 300
  object ResizerPanel1: TResizerPanel
    Align = alClient
    BevelOuter = bvNone
    object Grid1: TStringGrid
      Left = 10
      Top = 20
      Width = 200
      Height = 100
      ColCount = 3
      RowCount = 2
      DefaultColWidth = 45
      DefaultRowHeight = 20
      ParentFont = False
      Font.Size = 8
    end
    object Box1: TPanel
      Left = 220
      Top = 20
      Width = 160
      Height = 100
      ParentFont = False
      Font.Size = 8
      object Inner1: TButton
        Left = 5
        Top = 5
        Width = 80
        Height = 25
      end
    end
    object Direct1: TButton
      Left = 220
      Top = 130
      Width = 80
      Height = 25
    end
    object Label1: TLabel
      Left = 10
      Top = 150
      Width = 45
      Height = 13
      AutoSize = False
      ParentFont = False
      Font.Size = 8
    end
    object StatusBar1: TStatusBar
      Left = 0
      Top = 270
      Width = 400
      Height = 20
      Align = alNone
      Panels = <
        item
          Width = 50
        end
        item
          Width = 100
        end>
    end
  end
end
)";

class ResizerPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TResizeForm(nullptr);
        ReadFormText(Form, ResizeFormText, TResizeForm::Table());
        Form->HandleNeeded();
        ASSERT_EQ(400, Form->ResizerPanel1->DesignWidth());
        ASSERT_EQ(300, Form->ResizerPanel1->DesignHeight());
    }
    void TearDown() override { Form->Free(); }

    void Resize(int width, int height) { Form->SetClientSize(width, height); }
    static RECT Bounds(TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

    TResizeForm* Form = nullptr;
};

void ExpectBounds(TControl* c, int left, int top, int width, int height)
{
    EXPECT_EQ(left, c->Left()) << c->Name();
    EXPECT_EQ(top, c->Top()) << c->Name();
    EXPECT_EQ(width, c->Width()) << c->Name();
    EXPECT_EQ(height, c->Height()) << c->Name();
}

TEST_F(ResizerPanelTest, TwiceAsWideDoublesWhatFollowsTheWidthAndKeepsTheRest)
{
    Resize(800, 300);
    TStringGrid* grid = Form->Grid1;
    ExpectBounds(grid, 20, 20, 400, 100);
    EXPECT_EQ(90, grid->DefaultColWidth());
    // Row heights follow the width ratio too; only the line width takes the smaller one.
    EXPECT_EQ(40, grid->DefaultRowHeight());
    for (int c = 0; c < 3; ++c) EXPECT_EQ(90, grid->ColWidths(c));
    for (int r = 0; r < 2; ++r) EXPECT_EQ(40, grid->RowHeights(r));
    EXPECT_EQ(1, grid->GridLineWidth());
    EXPECT_EQ(16, grid->Font()->Size());
    // Other fonts follow the smaller ratio, 1 here.
    EXPECT_EQ(8, Form->Box1->Font()->Size());
    EXPECT_EQ(8, Form->Label1->Font()->Size());
    ExpectBounds(Form->Box1, 440, 20, 320, 100);
    ExpectBounds(Form->Inner1, 10, 5, 160, 25);
    EXPECT_EQ(100, Form->StatusBar1->Panels(0)->Width());
    EXPECT_EQ(200, Form->StatusBar1->Panels(1)->Width());
}

TEST_F(ResizerPanelTest, BackToTheDesignSizeEverythingIsAsDesigned)
{
    RECT grid = Bounds(Form->Grid1), inner = Bounds(Form->Inner1), label = Bounds(Form->Label1);
    Resize(613, 457);
    Resize(400, 300);
    RECT again = Bounds(Form->Grid1);
    EXPECT_TRUE(EqualRect(&grid, &again));
    again = Bounds(Form->Inner1);
    EXPECT_TRUE(EqualRect(&inner, &again));
    again = Bounds(Form->Label1);
    EXPECT_TRUE(EqualRect(&label, &again));
    EXPECT_EQ(45, Form->Grid1->ColWidths(2));
    EXPECT_EQ(8, Form->Grid1->Font()->Size());
    EXPECT_EQ(50, Form->StatusBar1->Panels(0)->Width());
}

TEST_F(ResizerPanelTest, FractionalPixelsAreCutNotRounded)
{
    // 548 / 400 = 1.37 as a single-precision ratio: 45 x 1.37 = 61.65 gives 61.
    Resize(548, 300);
    EXPECT_EQ(61, Form->Label1->Width());
    EXPECT_EQ(61, Form->Grid1->ColWidths(0));
    // 8 points x 0.9 = 7.2 gives 7.
    Resize(360, 270);
    EXPECT_EQ(7, Form->Label1->Font()->Size());
    EXPECT_EQ(7, Form->Box1->Font()->Size());
}

TEST_F(ResizerPanelTest, AMinimisedSizeChangesNothingAndRestoringScales)
{
    Resize(800, 600);
    RECT before = Bounds(Form->Grid1);
    Form->ResizerPanel1->Perform(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    RECT after = Bounds(Form->Grid1);
    EXPECT_TRUE(EqualRect(&before, &after));
    Form->ResizerPanel1->Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
    ExpectBounds(Form->Grid1, 10, 20, 200, 100);
}

TEST_F(ResizerPanelTest, OnlyControlsOnThePanelOrWithTheirOwnFontHaveTheirFontSet)
{
    Resize(800, 600);
    // On the panel: set directly, so it no longer follows its parent.
    EXPECT_EQ(16, Form->Direct1->Font()->Size());
    EXPECT_FALSE(Form->Direct1->ParentFont());
    // Inside a container and following its font: left to the container.
    EXPECT_TRUE(Form->Inner1->ParentFont());
    EXPECT_EQ(16, Form->Box1->Font()->Size());
    EXPECT_EQ(16, Form->Inner1->Font()->Size());
}

TEST_F(ResizerPanelTest, AHandlerThatKeepsTheSizeStillMovesButDoesNotDescend)
{
    Form->ResizerPanel1->OnCanChildResize = MakeEvent<&TResizeForm::CanChildResize>(Form);
    Form->KeepBoxSize = true;
    Resize(800, 600);
    ExpectBounds(Form->Box1, 440, 40, 160, 100);
    EXPECT_EQ(8, Form->Box1->Font()->Size());
    ExpectBounds(Form->Inner1, 5, 5, 80, 25);
    // Its siblings scale as usual.
    ExpectBounds(Form->Direct1, 440, 260, 160, 50);
}

TEST_F(ResizerPanelTest, TheManualResizeEventGetsTheHeightRatioFirst)
{
    struct Probe {
        float Height = 0, Width = 0;
        void Resized(float heightMult, float widthMult)
        {
            Height = heightMult;
            Width = widthMult;
        }
    } probe;
    Form->ResizerPanel1->OnManualResize = MakeEvent<&Probe::Resized>(&probe);
    Resize(600, 150);
    EXPECT_FLOAT_EQ(0.5f, probe.Height);
    EXPECT_FLOAT_EQ(1.5f, probe.Width);
    Form->ResizerPanel1->OnManualResize = nullptr;
}

TEST_F(ResizerPanelTest, AControlAddedAfterTheSnapshotIsLeftAlone)
{
    auto* late = new TButton(Form);
    late->SetParent(Form->Box1);
    late->SetBounds(90, 50, 40, 20);
    Resize(800, 600);
    ExpectBounds(late, 90, 50, 40, 20);
    ExpectBounds(Form->Inner1, 10, 10, 160, 50);
}

}  // namespace

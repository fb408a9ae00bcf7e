// Size constraints: SetBounds keeps a control's size inside them, a change
// of a limit resizes the control at once, the limits stay in order, a form
// resource sets them as nested properties, and a form's window tells the
// platform the same limits for the user's sizing.
#include "Application.h"
#include "Panel.h"
#include "Reader.h"

#include <gtest/gtest.h>

namespace {

// A panel that publishes its constraints, as the skinned controls do.
class TConstrainedPanel : public TPanel {
    GANTREL_CLASS(TConstrainedPanel)
    explicit TConstrainedPanel(TComponent* owner) : TPanel(owner) {}
    TPersistent* PropertyObject(const std::string& name) override
    {
        if (name == "Constraints") return Constraints();
        return TPanel::PropertyObject(name);
    }
};

class SizeConstraintsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr, 0);
        Form->SetBounds(0, 0, 300, 200);
        Panel = new TConstrainedPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(10, 10, 100, 50);
    }
    void TearDown() override { Form->Free(); }
    TForm* Form = nullptr;
    TConstrainedPanel* Panel = nullptr;
};

}  // namespace

TEST_F(SizeConstraintsTest, SetBoundsStaysInsideTheLimits)
{
    TSizeConstraints* c = Panel->Constraints();
    c->SetMinWidth(40);
    c->SetMaxWidth(120);
    c->SetMinHeight(20);
    c->SetMaxHeight(60);
    Panel->SetBounds(5, 6, 10, 5);
    EXPECT_EQ(5, Panel->Left());
    EXPECT_EQ(6, Panel->Top());
    EXPECT_EQ(40, Panel->Width());
    EXPECT_EQ(20, Panel->Height());
    Panel->SetBounds(5, 6, 500, 400);
    EXPECT_EQ(120, Panel->Width());
    EXPECT_EQ(60, Panel->Height());
    Panel->SetBounds(5, 6, 70, 30);  // inside: as asked
    EXPECT_EQ(70, Panel->Width());
    EXPECT_EQ(30, Panel->Height());
    Panel->SetWidth(-20);  // negative is 0 first, then the minimum
    EXPECT_EQ(40, Panel->Width());
}

TEST_F(SizeConstraintsTest, ALimitChangedResizesTheControlAtOnce)
{
    Form->HandleNeeded();
    Panel->Constraints()->SetMaxWidth(80);
    EXPECT_EQ(80, Panel->Width());
    RECT r;
    GetWindowRect(Panel->Handle(), &r);
    EXPECT_EQ(80, r.right - r.left);  // the window follows
    Panel->Constraints()->SetMinHeight(70);
    EXPECT_EQ(70, Panel->Height());
    Panel->Constraints()->SetMaxWidth(0);  // no limit: the size stays
    EXPECT_EQ(80, Panel->Width());
    Panel->SetWidth(250);
    EXPECT_EQ(250, Panel->Width());
}

TEST_F(SizeConstraintsTest, LimitsStayInOrderAndNeverNegative)
{
    TSizeConstraints c;
    c.SetMaxWidth(50);
    c.SetMinWidth(80);  // raises the maximum
    EXPECT_EQ(80, c.MinWidth());
    EXPECT_EQ(80, c.MaxWidth());
    c.SetMaxWidth(30);  // lowers the minimum
    EXPECT_EQ(30, c.MinWidth());
    EXPECT_EQ(30, c.MaxWidth());
    c.SetMinHeight(-5);
    EXPECT_EQ(0, c.MinHeight());
    c.SetMinHeight(10);
    c.SetMaxHeight(0);  // no maximum leaves the minimum alone
    EXPECT_EQ(10, c.MinHeight());
    int w = 100, h = 5;
    c.Constrain(w, h);
    EXPECT_EQ(30, w);
    EXPECT_EQ(10, h);
    EXPECT_FALSE(c.Empty());
    EXPECT_TRUE(TSizeConstraints().Empty());
}

TEST_F(SizeConstraintsTest, AFormResourceSetsThemAsNestedProperties)
{
    RegisterClass<TConstrainedPanel>();
    TForm* form = new TForm(nullptr, 0);
    ReadFormText(form,
                 "object Host: TForm\n"
                 "  object Limited: TConstrainedPanel\n"
                 "    Width = 500\n"
                 "    Height = 10\n"
                 "    Constraints.MaxWidth = 200\n"
                 "    Constraints.MinHeight = 25\n"
                 "  end\n"
                 "end\n",
                 nullptr);
    auto* limited = form->FindComponent<TConstrainedPanel>("Limited");
    ASSERT_NE(nullptr, limited);
    EXPECT_EQ(200, limited->Constraints()->MaxWidth());
    EXPECT_EQ(25, limited->Constraints()->MinHeight());
    EXPECT_EQ(200, limited->Width());
    EXPECT_EQ(25, limited->Height());
    form->Free();
}

TEST_F(SizeConstraintsTest, AFormWindowTellsThePlatformItsLimits)
{
    Form->Constraints()->SetMinWidth(250);
    Form->Constraints()->SetMaxHeight(400);
    MINMAXINFO info = {};
    info.ptMinTrackSize = POINT{1, 1};
    info.ptMaxTrackSize = POINT{5000, 5000};
    SendMessageA(Form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(250, info.ptMinTrackSize.x);
    EXPECT_EQ(400, info.ptMaxTrackSize.y);
    EXPECT_GT(info.ptMaxTrackSize.x, 250);  // no maximum width: the platform's own
}

// Windowed controls: which control the pointer hovers as it moves between a
// window and its windowed children (real pointer moves on the display, and
// the platform's messages in the order Wine delivers them), and the default
// procedure a control's unhandled messages go to.
#include "Application.h"
#include "Button.h"
#include "Form.h"
#include "RealInput.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace RealInput;

// Counts the hover notifications the framework sends it.
class THoverProbe : public TCustomControl {
    GANTREL_CLASS(THoverProbe)
    using TCustomControl::TCustomControl;
    int Enters = 0;
    int Leaves = 0;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == CM_MOUSEENTER) ++Enters;
        if (m.Msg == CM_MOUSELEAVE) ++Leaves;
        TCustomControl::Dispatch(m);
    }
};

// A shown form with a windowed panel and, inside it, a windowed child.
class MouseHover : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr, 0);
        Form->SetBounds(40, 40, 320, 240);
        Parent = new THoverProbe(Form);
        Parent->SetParent(Form);
        Parent->SetAlign(alClient);
        Child = new THoverProbe(Form);
        Child->SetBounds(100, 60, 90, 70);
        Child->SetParent(Parent);
        Form->Show();
        SetForegroundWindow(Form->Handle());
        Form->Update();
        PumpFor(50);
    }
    void TearDown() override
    {
        // The pointer away from the form, so that nothing follows it into the next test.
        MovePointer(POINT{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
        Form->Free();
        PumpFor(20);
    }
    TForm* Form = nullptr;
    THoverProbe* Parent = nullptr;
    THoverProbe* Child = nullptr;
};

TEST_F(MouseHover, WindowedChildUnderARestingPointerStaysHovered)
{
    MovePointer(OnScreen(Parent, 20, 20));
    ASSERT_TRUE(PumpUntil([&] { return Parent->Enters == 1; }, 2000)) << "the pointer never reached the panel";
    MovePointer(OnScreen(Child, 30, 30));
    ASSERT_TRUE(PumpUntil([&] { return Child->Enters > 0; }, 2000)) << "the pointer never reached the child";
    // Resting there, long past the platform's checks of where the pointer is.
    PumpFor(1200);
    EXPECT_EQ(1, Child->Enters);
    EXPECT_EQ(0, Child->Leaves) << "the child lost its hover under a resting pointer";
    EXPECT_EQ(1, Parent->Enters);
    EXPECT_EQ(1, Parent->Leaves);

    // Back onto the panel: the child is left once, the panel hovered again.
    MovePointer(OnScreen(Parent, 20, 20));
    ASSERT_TRUE(PumpUntil([&] { return Child->Leaves > 0; }, 2000));
    PumpFor(600);
    EXPECT_EQ(1, Child->Leaves);
    EXPECT_EQ(2, Parent->Enters);
    EXPECT_EQ(1, Parent->Leaves);
}

TEST_F(MouseHover, ParentsLeaveAfterTheChildsFirstMoveKeepsTheChildHovered)
{
    // The messages themselves, in the order Wine delivers them when the
    // pointer goes from the panel into the child: the child's first move,
    // then the panel's leave.
    SendMessageA(Parent->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    SendMessageA(Child->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    SendMessageA(Parent->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(1, Child->Enters);
    EXPECT_EQ(0, Child->Leaves);
    EXPECT_EQ(1, Parent->Enters);
    EXPECT_EQ(1, Parent->Leaves);
    // The child's own leave ends its hover.
    SendMessageA(Child->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(1, Child->Leaves);
    EXPECT_EQ(1, Parent->Leaves);
}

TEST(DefaultWindowProcedure, IsThePlatformDefaultOrAPlatformControlsClassProcedure)
{
    auto* form = new TForm(nullptr, 0);
    auto* button = new TButton(form);
    button->SetParent(form);
    form->HandleNeeded();
    EXPECT_EQ(reinterpret_cast<WNDPROC>(DefWindowProcA), form->DefWndProc());
    WNDCLASSA buttonClass = {};
    ASSERT_TRUE(GetClassInfoA(nullptr, "BUTTON", &buttonClass));
    EXPECT_EQ(buttonClass.lpfnWndProc, button->DefWndProc());
    // What the control's own handling would answer by default.
    EXPECT_NE(0, CallWindowProcA(button->DefWndProc(), button->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_BUTTON);
    form->Free();
}

}  // namespace

// What dialog controls drawn by the program itself need from the framework:
// a windowed control keeps the mouse from its press to the release (real
// pointer and button input on the display), every control hears of a focus
// change, a form opens on a control, a plain letter is an accelerator where
// the focused control takes no characters, Space never, not even after
// "& ", and one that several controls share only moves the focus (real
// keys typed).
#include "Application.h"
#include "Button.h"
#include "CheckBox.h"
#include "Edit.h"
#include "Form.h"
#include "Panel.h"
#include "RealInput.h"

#include <windowsx.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using namespace RealInput;

// A windowed control of the program's own class that notes its mouse
// messages, its focus notices and whose the mouse is as it is let go.
class TPressProbe : public TCustomControl {
    GANTREL_CLASS(TPressProbe)
    using TCustomControl::TCustomControl;
    int Ups = 0;
    POINT LastMove = {0, 0};
    HWND CaptureAtUp = nullptr;
    std::vector<LPARAM> FocusNotices;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_MOUSEMOVE) LastMove = POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        if (m.Msg == CM_FOCUSCHANGED) FocusNotices.push_back(m.LParam);
        TCustomControl::Dispatch(m);
    }

protected:
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override
    {
        ++Ups;
        CaptureAtUp = GetCapture();
        TCustomControl::MouseUp(button, shift, x, y);
    }
};

// The windowless kind of the same.
class TGraphicProbe : public TGraphicControl {
    GANTREL_CLASS(TGraphicProbe)
    using TGraphicControl::TGraphicControl;
    std::vector<LPARAM> FocusNotices;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == CM_FOCUSCHANGED) FocusNotices.push_back(m.LParam);
        TGraphicControl::Dispatch(m);
    }
};

struct TClicks : TObject {
    std::vector<TObject*> Senders;
    void Clicked(TObject* sender) { Senders.push_back(sender); }
    int Of(TObject* sender) const { return int(std::count(Senders.begin(), Senders.end(), sender)); }
};

class PressFocusAccel : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr, 0);
        Form->SetBounds(60, 60, 360, 260);
    }
    void TearDown() override
    {
        PointerAway();
        Form->Free();
        PumpFor(20);
    }
    template <class T>
    T* Add(int l, int t, int w, int h, TWinControl* parent = nullptr)
    {
        T* c = new T(Form);
        c->SetParent(parent ? parent : Form);
        c->SetBounds(l, t, w, h);
        return c;
    }
    void ShowForm()
    {
        Form->Show();
        SetForegroundWindow(Form->Handle());
        Form->Update();
        PumpFor(50);
    }
    TForm* Form = nullptr;
    TClicks Clicks;
};

TEST_F(PressFocusAccel, AWindowedControlKeepsTheMouseFromPressToRelease)
{
    auto* probe = Add<TPressProbe>(20, 20, 100, 60);
    ShowForm();
    SendMouse(0, OnScreen(probe, 30, 30));
    PumpFor(30);
    SendMouse(MOUSEEVENTF_LEFTDOWN, OnScreen(probe, 30, 30));
    ASSERT_TRUE(PumpUntil([&] { return GetCapture() == probe->Handle(); }, 2000)) << "the press did not keep the mouse";
    // Dragged off the control and off the form: the moves still come to it.
    SendMouse(0, OnScreen(probe, 400, 30));
    ASSERT_TRUE(PumpUntil([&] { return probe->LastMove.x == 400; }, 2000)) << "a move outside never came";
    EXPECT_EQ(30, probe->LastMove.y);
    SendMouse(MOUSEEVENTF_LEFTUP, OnScreen(probe, 400, 30));
    ASSERT_TRUE(PumpUntil([&] { return probe->Ups == 1; }, 2000)) << "the release outside never reached the control";
    // It still held the mouse while it handled the release, and let go after.
    EXPECT_EQ(probe->Handle(), probe->CaptureAtUp);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(PressFocusAccel, WithoutCaptureMouseAPressIsNotKept)
{
    auto* probe = Add<TPressProbe>(20, 20, 100, 60);
    probe->ControlStyle &= ~unsigned(csCaptureMouse);
    ShowForm();
    SendMessageA(probe->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_NE(probe->Handle(), GetCapture());
    SendMessageA(probe->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(1, probe->Ups);
}

TEST_F(PressFocusAccel, APlatformButtonStillClicksOnceUnderTheRealMouse)
{
    auto* button = Add<TButton>(20, 20, 90, 30);
    button->OnClick = MakeEvent<&TClicks::Clicked>(&Clicks);
    ShowForm();
    SendMouse(0, OnScreen(button, 20, 10));
    PumpFor(30);
    SendMouse(MOUSEEVENTF_LEFTDOWN, OnScreen(button, 20, 10));
    PumpFor(30);
    SendMouse(MOUSEEVENTF_LEFTUP, OnScreen(button, 20, 10));
    ASSERT_TRUE(PumpUntil([&] { return Clicks.Of(button) > 0; }, 2000));
    PumpFor(50);
    EXPECT_EQ(1, Clicks.Of(button));
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(PressFocusAccel, EveryControlHearsWhichOneHasTheFocus)
{
    auto* first = Add<TEdit>(10, 10, 100, 21);
    auto* second = Add<TEdit>(10, 40, 100, 21);
    auto* panel = Add<TPanel>(10, 80, 200, 100);
    auto* windowed = Add<TPressProbe>(10, 10, 60, 30, panel);
    auto* windowless = Add<TGraphicProbe>(80, 10, 60, 30, panel);
    ShowForm();
    first->SetFocus();
    windowed->FocusNotices.clear();
    windowless->FocusNotices.clear();
    second->SetFocus();
    PumpFor(20);
    EXPECT_EQ(second, Form->ActiveControl());
    ASSERT_EQ(1u, windowed->FocusNotices.size());
    EXPECT_EQ(reinterpret_cast<LPARAM>(static_cast<TWinControl*>(second)), windowed->FocusNotices[0]);
    ASSERT_EQ(1u, windowless->FocusNotices.size());
    EXPECT_EQ(reinterpret_cast<LPARAM>(static_cast<TWinControl*>(second)), windowless->FocusNotices[0]);
}

TEST_F(PressFocusAccel, AShownFormFocusesItsActiveControl)
{
    Add<TEdit>(10, 10, 100, 21);
    auto* second = Add<TEdit>(10, 40, 100, 21);
    Form->SetActiveControl(second);
    ShowForm();
    EXPECT_EQ(second->Handle(), GetFocus());
    EXPECT_EQ(second, Form->ActiveControl());
}

// Without an ActiveControl a form opens on its first tab stop, and every
// showing starts there again.
TEST_F(PressFocusAccel, AFormWithoutActiveControlOpensOnItsFirstTabStop)
{
    auto* other = Add<TEdit>(10, 10, 100, 21);
    auto* first = Add<TEdit>(10, 40, 100, 21);
    first->SetTabOrder(0);
    for (int showing = 1; showing <= 2; ++showing) {
        ShowForm();
        EXPECT_EQ(first->Handle(), GetFocus()) << "showing " << showing;
        other->SetFocus();
        Form->Hide();
    }
}

// Alt and a letter that several buttons have moves the focus on to the next
// of them and clicks none; a letter only one button has clicks it.
TEST_F(PressFocusAccel, AnAccessKeySeveralButtonsShareMovesTheFocusAndClicksNone)
{
    std::vector<TButton*> b;
    for (const char* caption : {"&Get Map", "&Get All", "&Notes"}) {
        b.push_back(Add<TButton>(10, 10 + 30 * int(b.size()), 90, 25));
        b.back()->SetCaption(caption);
        b.back()->OnClick = MakeEvent<&TClicks::Clicked>(&Clicks);
    }
    ShowForm();
    // From the form itself the first one that has it comes first.
    ::SetFocus(Form->Handle());
    for (const auto& [key, focus] : {std::pair<char, TButton*>{'G', b[0]}, {'G', b[1]}, {'G', b[0]}, {'N', b[0]}}) {
        SendKey(VK_MENU, false);
        TypeKey(WORD(key));
        SendKey(VK_MENU, true);
        EXPECT_TRUE(PumpUntil([&, focus = focus] { return GetFocus() == focus->Handle(); }, 1000)) << key;
    }
    PumpUntil([&] { return !Clicks.Senders.empty(); }, 1000);
    EXPECT_EQ(std::vector<TObject*>{b[2]}, Clicks.Senders);
}

TEST_F(PressFocusAccel, APlainLetterClicksTheButtonWhereTheFocusTakesNoCharacters)
{
    auto* go = Add<TButton>(10, 10, 90, 25);
    auto* other = Add<TButton>(110, 10, 90, 25);
    auto* edit = Add<TEdit>(10, 50, 150, 21);
    go->SetCaption("&Go");
    other->SetCaption("Other");
    go->OnClick = MakeEvent<&TClicks::Clicked>(&Clicks);
    other->OnClick = MakeEvent<&TClicks::Clicked>(&Clicks);
    ShowForm();
    other->SetFocus();
    TypeKey('G');
    ASSERT_TRUE(PumpUntil([&] { return Clicks.Of(go) == 1; }, 2000)) << "the letter clicked nothing";
    EXPECT_EQ(0, Clicks.Of(other));
    // In the edit the letter is typed, not an accelerator.
    edit->SetFocus();
    TypeKey('G');
    ASSERT_TRUE(PumpUntil([&] { return !edit->Text().empty(); }, 2000)) << "the letter never reached the edit";
    EXPECT_EQ("g", edit->Text());
    EXPECT_EQ(1, Clicks.Of(go));
    // A letter nobody has leaves every button alone.
    other->SetFocus();
    TypeKey('X');
    PumpFor(100);
    EXPECT_EQ(1, Clicks.Of(go));
    EXPECT_EQ(0, Clicks.Of(other));
}

TEST_F(PressFocusAccel, SpaceOnAFocusedCheckBoxLeavesAButtonCaptionedWithAmpersandSpaceAlone)
{
    auto* box = Add<TCheckBox>(10, 10, 120, 21);
    auto* save = Add<TButton>(140, 10, 120, 25);
    box->SetCaption("Check");
    save->SetCaption("Save & Exit");
    save->OnClick = MakeEvent<&TClicks::Clicked>(&Clicks);
    ShowForm();
    box->SetFocus();
    TypeKey(VK_SPACE);
    ASSERT_TRUE(PumpUntil([&] { return box->Checked(); }, 2000)) << "Space never reached the check box";
    PumpFor(50);
    EXPECT_EQ(0, Clicks.Of(save));
    // Nor is Space its accelerator where one is looked for (Alt+Space).
    EXPECT_EQ(0, save->Perform(CM_DIALOGCHAR, ' '));
    EXPECT_EQ(0, Clicks.Of(save));
}

}  // namespace

#include "ModalScript.h"

#include "Form.h"
#include "SavedPicture.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

TModalScript* TModalScript::Current = nullptr;

TModalScript::TModalScript(int timeoutMs) : TimeoutMs(timeoutMs) {}

TModalScript::~TModalScript()
{
    Stop();
}

TModalScript& TModalScript::Then(TStep step)
{
    Steps.push_back(std::move(step));
    return *this;
}

void TModalScript::Start()
{
    Stop();
    Current = this;
    StartTick = GetTickCount();
    Timer = SetTimer(nullptr, 0, 50, Tick);
}

void TModalScript::Stop()
{
    if (Timer) KillTimer(nullptr, Timer);
    Timer = 0;
    if (Current == this) Current = nullptr;
}

void CALLBACK TModalScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (Current) Current->RunStep();
}

namespace {
// The modal form that has the focus now, if any.
TCustomForm* ActiveModalForm()
{
    auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(GetActiveWindow()));
    return form && form->Modal() ? form : nullptr;
}
}  // namespace

void TModalScript::RunStep()
{
    if (Next >= Steps.size()) {
        Stop();
        return;
    }
    TCustomForm* form = ActiveModalForm();
    if (int(GetTickCount() - StartTick) > TimeoutMs) {
        GaveUp = true;
        Stop();
        // A window left waiting for the user goes, so that the test goes on.
        if (form) form->ModalResult = mrCancel;
        return;
    }
    if (!form) return;
    Ran = true;
    // A step may pump messages itself: no tick may run it a second time.
    KillTimer(nullptr, Timer);
    Timer = 0;
    bool done = false;
    // No exception may leave a timer callback.
    try {
        done = Steps[Next]();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "step " << Next << ": " << e.what();
        GaveUp = true;
        Stop();
        form->ModalResult = mrCancel;
        return;
    }
    if (done) ++Next;
    if (Current == this && Next < Steps.size()) Timer = SetTimer(nullptr, 0, 50, Tick);
}

void TModalScript::Click(TButton* button)
{
    PostMessageA(button->Handle(), BM_CLICK, 0, 0);
}

void TModalScript::Click(TWinControl* control)
{
    RECT r;
    GetClientRect(control->Handle(), &r);
    LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(control->Handle(), WM_LBUTTONUP, 0, at);
}

void TModalScript::Type(TEdit* edit, const std::string& text)
{
    HWND h = edit->Handle();
    SendMessageA(h, EM_SETSEL, 0, -1);
    if (text.empty()) PostMessageA(h, WM_CHAR, VK_BACK, 1);
    for (char c : text) PostMessageA(h, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}

void TModalScript::Key(TWinControl* control, WORD key)
{
    // A hidden control cannot take the focus; its window still takes keys.
    if (control->CanFocus()) control->SetFocus();
    LPARAM scan = LPARAM(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(control->Handle(), WM_KEYDOWN, key, scan | 1);
    PostMessageA(control->Handle(), WM_KEYUP, key, scan | 0xC0000001);
}

void TModalScript::KeepPicture(TForm* dialog, const std::string& name, TWinControl* button)
{
    TSavedPicture picture;
    POINT client{};
    const bool kept = KeepWindowPicture(dialog->Handle(), ExeDirectory(), name, picture, client);
    EXPECT_TRUE(kept) << name;
    if (!kept) return;
    POINT at{0, 0};
    MapWindowPoints(button->Handle(), dialog->Handle(), &at, 1);
    const int x = client.x + at.x, y = client.y + at.y + button->Height() / 2;
    EXPECT_EQ(RGB(0, 0, 0), picture.Pixel(x, y)) << name;
    EXPECT_EQ(RGB(0, 0, 0), picture.Pixel(x + button->Width() - 1, y)) << name;
    // Inside the frame the face is not the frame's colour.
    EXPECT_NE(RGB(0, 0, 0), picture.Pixel(x + 2, y)) << name;
}

// The application's skinned frames: the About command's picture window,
// shaped by its mask and blended at 200 over what lies beneath (read off the
// screen over two windows of known colour), moved by the real mouse from
// anywhere on it; and the handheld dialog in its tool-window frame with the
// gradient background. Pictures of both are kept as test artefacts.
#include "Form10.h"
#include "Form11.h"
#include "MainWindowFixture.h"
#include "ModalScript.h"
#include "RealInput.h"
#include "ScreenPixel.h"
#include "SavedPicture.h"
#include "SysUtils.h"

#include <cstdlib>
#include <memory>

namespace {

// A plain window of one colour, beneath the windows under test.
class TColourWindow {
public:
    TColourWindow(const RECT& r, bool white)
    {
        const char* name = white ? "GantrelTestWhite" : "GantrelTestBlack";
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(white ? WHITE_BRUSH : BLACK_BRUSH));
        wc.lpszClassName = name;
        RegisterClassA(&wc);  // fails harmlessly the second time
        Handle = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, name, "", WS_POPUP, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowPos(Handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        UpdateWindow(Handle);
    }
    ~TColourWindow() { DestroyWindow(Handle); }
    HWND Handle;
};

bool Near(int actual, int expected) { return std::abs(actual - expected) <= 1; }

class SkinnedFrameTest : public MainWindowTest {};

TEST_F(SkinnedFrameTest, TheAboutBoxIsAShapedWindowBlendedAt200AndMovedFromAnywhere)
{
    RECT first{}, shown{}, moved{};
    COLORREF outsideLeft = 0, outsideRight = 0, overBlack = 0, overWhite = 0, movedBlack = 0, movedWhite = 0;
    bool maskSized = false;
    POINT press{};
    DWORD since = 0;
    std::unique_ptr<TColourWindow> black, white;
    TModalScript script;
    script
        .Then([&] {
            if (!Form10->Visible() || !IsWindowVisible(Form10->Handle())) return false;
            if (!since) since = GetTickCount();
            return GetTickCount() - since > 300;
        })
        .Then([&] {
            // Black and white windows beneath a place clear of where the
            // window came up; moved there, it copies what lies beneath anew.
            GetWindowRect(Form10->Handle(), &first);
            const int w = first.right - first.left, h = first.bottom - first.top;
            const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
            const int left = GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2;
            const int top = first.bottom + 60 + h <= screenHeight ? first.bottom + 60 : first.top - 60 - h;
            const int split = left + w / 2;
            black.reset(new TColourWindow(RECT{left - 100, top - 40, split, top + h + 40}, false));
            white.reset(new TColourWindow(RECT{split, top - 40, left + w + 100, top + h + 40}, true));
            UpdateWindow(black->Handle);
            UpdateWindow(white->Handle);
            // The picture window over them, on the display too.
            SetWindowPos(Form10->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            Form10->SetBounds(left, top, Form10->Width(), Form10->Height());
            since = GetTickCount();
            return true;
        })
        .Then([&] { return GetTickCount() - since > 300; })
        .Then([&] {
            GetWindowRect(Form10->Handle(), &shown);
            // The window is the mask's size: 302 x 202.
            maskSized = shown.right - shown.left == 302 && shown.bottom - shown.top == 202;
            // Outside the rounded corners the screen shows what lies beneath.
            outsideLeft = ScreenPixel(POINT{shown.left + 1, shown.top + 1});
            outsideRight = ScreenPixel(POINT{shown.left + 300, shown.top + 1});
            // The background beside the close button, one row, over each colour.
            overBlack = ScreenPixel(POINT{shown.left + 31, shown.top + 181});
            overWhite = ScreenPixel(POINT{shown.left + 271, shown.top + 181});
            TModalScript::KeepPicture(Form10, "picture-window.bmp");
            // Pressed on the picture, which is no caption of the platform's.
            press = POINT{shown.left + 150, shown.top + 60};
            RealInput::SendMouse(MOUSEEVENTF_LEFTDOWN, press);
            return true;
        })
        .Then([&] {
            RealInput::MovePointer(POINT{press.x + 20, press.y + 15});
            return true;
        })
        .Then([&] {
            RealInput::MovePointer(POINT{press.x + 40, press.y + 30});
            return true;
        })
        .Then([&] {
            RealInput::SendMouse(MOUSEEVENTF_LEFTUP, POINT{press.x + 40, press.y + 30});
            return true;
        })
        .Then([&] {
            GetWindowRect(Form10->Handle(), &moved);
            // What lies beneath is taken anew at the new place: the split
            // between black and white is now 40 further left in the window
            // (read on a row of background between the picture and the text).
            movedBlack = ScreenPixel(POINT{moved.left + 91, moved.top + 143});
            movedWhite = ScreenPixel(POINT{moved.left + 131, moved.top + 143});
            // Drawn whole at its new place.
            TModalScript::KeepPicture(Form10, "picture-window-dragged.bmp");
            Form10->ModalResult = mrOk;
            return true;
        });
    script.Start();
    ChooseMenu(Form()->AboutGantrelControlCenter1);
    RealInput::PointerAway();
    ASSERT_TRUE(script.Finished()) << "steps done: " << script.StepsDone();

    EXPECT_TRUE(maskSized) << shown.right - shown.left << " x " << shown.bottom - shown.top;
    EXPECT_EQ(RGB(0, 0, 0), outsideLeft);
    EXPECT_EQ(RGB(255, 255, 255), outsideRight);
    // The background runs from maroon to grey, both of red 128: at 200/255
    // over black 100, over white 100 + 55.
    EXPECT_TRUE(Near(GetRValue(overBlack), 100)) << std::hex << overBlack;
    EXPECT_TRUE(Near(GetRValue(overWhite), 155)) << std::hex << overWhite;
    // Whatever the row's green and blue, white beneath adds 55 of 255.
    EXPECT_TRUE(Near(GetGValue(overWhite) - GetGValue(overBlack), 55)) << std::hex << overBlack << " " << overWhite;
    EXPECT_TRUE(Near(GetBValue(overWhite) - GetBValue(overBlack), 55)) << std::hex << overBlack << " " << overWhite;
    // Dragged by 40, 30 from the middle of the picture.
    EXPECT_EQ(shown.left + 40, moved.left);
    EXPECT_EQ(shown.top + 30, moved.top);
    EXPECT_EQ(302, moved.right - moved.left);
    EXPECT_TRUE(Near(GetRValue(movedBlack), 100)) << std::hex << movedBlack;
    EXPECT_TRUE(Near(GetRValue(movedWhite), 155)) << std::hex << movedWhite;
}

TEST_F(SkinnedFrameTest, TheHandheldDialogWearsItsToolWindowFrame)
{
    TEpForm* frame = Form11->EpForm1;
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(kbsToolWindow, frame->BorderStyle());
    EXPECT_EQ(KsIcon(kbiClose) | KsIcon(kbiSystemMenu), frame->BorderIcons());
    Form11->Show();
    SetWindowPos(Form11->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump(300);
    RECT window;
    GetWindowRect(Form11->Handle(), &window);
    const RECT c = frame->GetClientRect();
    // Windows' client area is where the frame put it, under a small caption.
    POINT origin{0, 0};
    ClientToScreen(Form11->Handle(), &origin);
    EXPECT_EQ(window.left + c.left, origin.x);
    EXPECT_EQ(window.top + c.top, origin.y);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), c.top - GetSystemMetrics(SM_CYFRAME));
    // The caption starts in the active caption colour at its left end.
    const COLORREF caption = ScreenPixel(POINT{window.left + c.left + 1, window.top + c.top - 3});
    const COLORREF active = GetSysColor(COLOR_ACTIVECAPTION);
    EXPECT_TRUE(Near(GetRValue(caption), GetRValue(active)) && Near(GetGValue(caption), GetGValue(active)) &&
                Near(GetBValue(caption), GetBValue(active)))
        << std::hex << caption << " " << active;
    // The background: grey at the left, running to button face at the right
    // (the bottom-left corner of the client area is free of controls).
    const COLORREF left = ScreenPixel(POINT{origin.x, window.top + c.bottom - 1});
    EXPECT_EQ(RGB(128, 128, 128), left);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF right = ScreenPixel(POINT{window.left + c.right - 1, window.top + c.bottom - 1});
    EXPECT_TRUE(Near(GetRValue(right), GetRValue(face)) && Near(GetGValue(right), GetGValue(face)) &&
                Near(GetBValue(right), GetBValue(face)))
        << std::hex << right << " " << face;
    TModalScript::KeepPicture(Form11, "handheld-dialog.bmp");
    SetWindowPos(Form11->Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Form11->Hide();
    Pump(50);
}

}  // namespace

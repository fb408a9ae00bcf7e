// Panels, images, timers, image lists and actions: what form resources set,
// what the panel and the image paint (pixels of their own fills and bevels,
// never glyphs), timers firing and stopping, and the action protocol.
#include "Action.h"
#include "Application.h"
#include "Image.h"
#include "ImageList.h"
#include "Panel.h"
#include "Reader.h"
#include "Streams.h"
#include "Timer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class TExtForm : public TForm {
    GANTREL_CLASS(TExtForm)

    explicit TExtForm(TComponent* owner) : TForm(owner, 0) {}

    int Ticks = 0;
    int Executes = 0;
    int Updates = 0;
    int ImageClicks = 0;
    bool TimerRanWhileLoading = true;

    void Tick(TObject*) { ++Ticks; }
    void ActionExecute(TObject*) { ++Executes; }
    void ActionUpdate(TObject*) { ++Updates; }
    void ImageClick(TObject*) { ++ImageClicks; }

    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {},
            {GANTREL_HANDLER(TExtForm, Tick), GANTREL_HANDLER(TExtForm, ActionExecute),
             GANTREL_HANDLER(TExtForm, ActionUpdate), GANTREL_HANDLER(TExtForm, ImageClick)},
        };
        return &table;
    }
    void Read(const std::string& text) { ReadFormText(this, text, Table()); }

    void Loaded() override
    {
        // The form is told first: its components are still loading.
        if (auto* timer = FindComponent<TTimer>("Timer1")) TimerRanWhileLoading = timer->Running();
        TForm::Loaded();
    }
};

// The form-resource text of a bitmap: length byte, class name, BMP file.
std::string PictureData(TBitmap& bitmap)
{
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    std::string hex = "{07" "54426974" "6D6170";  // "TBitmap"
    char digits[3];
    for (uint8_t b : stream.Bytes()) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        hex += digits;
    }
    return hex + "}";
}

void Fill(TBitmap& bitmap, TColor color, RECT r)
{
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect(r);
}

std::string ReadError(const std::string& text)
{
    TExtForm* form = new TExtForm(nullptr);
    std::string message;
    try {
        form->Read(text);
    } catch (const EReadError& e) {
        message = e.what();
    }
    form->Free();
    return message;
}

// Pumps messages until done() or the time is up.
template <typename Done>
bool PumpUntil(Done done, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        Application->ProcessMessages();
        Sleep(2);
    }
    return true;
}

void Pump(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

bool HasUpdateRegion(HWND window)
{
    return GetUpdateRect(window, nullptr, FALSE) != FALSE;
}

class ExtCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override { Form = new TExtForm(nullptr); }
    void TearDown() override
    {
        if (Form) Form->Free();
    }
    TExtForm* Form;
};

// --- TPanel ---------------------------------------------------------------

using ExtCtrlsPanelTest = ExtCtrlsTest;

TEST_F(ExtCtrlsPanelTest, DefaultsAreARaisedButtonFacePanelThatTakesChildren)
{
    TPanel* panel = new TPanel(Form);
    EXPECT_EQ(bvRaised, panel->BevelOuter());
    EXPECT_EQ(bvNone, panel->BevelInner());
    EXPECT_EQ(1, panel->BevelWidth());
    EXPECT_EQ(0, panel->BorderWidth());
    EXPECT_EQ(bsNone, panel->BorderStyle());
    EXPECT_EQ(taCenter, panel->Alignment());
    EXPECT_EQ(clBtnFace, panel->Color());
    EXPECT_FALSE(panel->ParentColor());
    EXPECT_TRUE(panel->ControlStyle & csAcceptsControls);
    panel->SetParent(Form);
    // A parent's colour does not reach a panel with a colour of its own.
    Form->SetColor(clYellow);
    EXPECT_EQ(clBtnFace, panel->Color());
}

TEST_F(ExtCtrlsPanelTest, PropertiesAndChildrenComeFromTheFormResource)
{
    Form->Read(R"(object ExtForm: TExtForm
  object Panel1: TPanel
    Left = 8
    Top = 6
    Width = 120
    Height = 80
    Alignment = taLeftJustify
    BevelInner = bvLowered
    BevelOuter = bvSpace
    BevelWidth = 2
    BorderWidth = 3
    BorderStyle = bsSingle
    Caption = 'Live values'
    Color = clRed
    FullRepaint = False
    ParentBackground = False
    object Inner: TPanel
      Align = alClient
      BevelOuter = bvNone
    end
  end
end
)");
    TPanel* panel = Form->FindComponent<TPanel>("Panel1");
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ(taLeftJustify, panel->Alignment());
    EXPECT_EQ(bvLowered, panel->BevelInner());
    EXPECT_EQ(bvSpace, panel->BevelOuter());
    EXPECT_EQ(2, panel->BevelWidth());
    EXPECT_EQ(3, panel->BorderWidth());
    EXPECT_EQ(bsSingle, panel->BorderStyle());
    EXPECT_EQ("Live values", panel->Caption());
    EXPECT_EQ(clRed, panel->Color());
    EXPECT_FALSE(panel->FullRepaint);
    EXPECT_FALSE(panel->ParentBackground);
    TPanel* inner = Form->FindComponent<TPanel>("Inner");
    ASSERT_NE(nullptr, inner);
    EXPECT_EQ(panel, inner->Parent());

    // With its window the single border takes a pixel on each side; the
    // child fills what is left inside the bevels and the border width.
    panel->HandleNeeded();
    RECT client;
    GetClientRect(panel->Handle(), &client);
    EXPECT_EQ(118, client.right);
    EXPECT_TRUE(GetWindowLongPtrA(panel->Handle(), GWL_STYLE) & WS_BORDER);
    const int inset = 2 + 3 + 2;
    EXPECT_EQ(inset, inner->Left());
    EXPECT_EQ(inset, inner->Top());
    EXPECT_EQ(118 - 2 * inset, inner->Width());
    EXPECT_EQ(78 - 2 * inset, inner->Height());
}

TEST_F(ExtCtrlsPanelTest, AWrongBevelNamesTheFormAndLine)
{
    EXPECT_EQ("Form TExtForm, line 3: unknown value bvDeep",
              ReadError("object ExtForm: TExtForm\n  object P: TPanel\n    BevelOuter = bvDeep\n  end\nend\n"));
    EXPECT_EQ("Form TExtForm, line 3: unknown value bsSizeable",
              ReadError("object ExtForm: TExtForm\n  object P: TPanel\n    BorderStyle = bsSizeable\n  end\nend\n"));
}

TEST_F(ExtCtrlsPanelTest, ClientRectLiesInsideBevelsAndBorderWithOrWithoutAWindow)
{
    TPanel* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(0, 0, 100, 50);
    TPanel* child = new TPanel(Form);
    child->SetParent(panel);
    child->SetAlign(alClient);
    EXPECT_EQ(1, panel->FrameInset());
    EXPECT_EQ(1, child->Left());
    EXPECT_EQ(98, child->Width());

    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    panel->SetBevelInner(bvLowered);
    EXPECT_EQ(7, panel->FrameInset());
    RECT r = panel->ClientRect();
    EXPECT_EQ(7, r.left);
    EXPECT_EQ(7, r.top);
    EXPECT_EQ(93, r.right);
    EXPECT_EQ(43, r.bottom);
    EXPECT_EQ(7, child->Left());
    EXPECT_EQ(7, child->Top());
    EXPECT_EQ(86, child->Width());
    EXPECT_EQ(36, child->Height());

    panel->HandleNeeded();
    r = panel->ClientRect();
    EXPECT_EQ(93, r.right);
    panel->SetBevelOuter(bvNone);
    EXPECT_EQ(5, child->Left());
    EXPECT_EQ(90, child->Width());

    // The client size asked for is what lies inside the frame.
    panel->SetClientSize(40, 20);
    EXPECT_EQ(40 + 10, panel->Width());
    EXPECT_EQ(20 + 10, panel->Height());
}

TEST_F(ExtCtrlsPanelTest, PaintsItsColourAndBothBevelsInTheThreeDColours)
{
    TPanel* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(0, 0, 60, 40);
    panel->SetColor(clRed);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(2);
    panel->SetBevelInner(bvLowered);

    TBitmap bitmap;
    bitmap.SetSize(60, 40);
    panel->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    auto pixel = [&](int x, int y) { return bitmap.Canvas()->Pixel(x, y); };
    const COLORREF light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow), red = RGB(255, 0, 0);
    ASSERT_NE(light, dark);
    // Outer bevel, two lines, raised: light top and left, dark bottom and right.
    EXPECT_EQ(light, pixel(0, 0));
    EXPECT_EQ(light, pixel(1, 20));
    EXPECT_EQ(light, pixel(30, 1));
    EXPECT_EQ(dark, pixel(59, 39));
    EXPECT_EQ(dark, pixel(58, 20));
    EXPECT_EQ(dark, pixel(30, 38));
    EXPECT_EQ(dark, pixel(59, 0));  // the right edge owns its top corner
    // The border width between the bevels is the panel's colour.
    EXPECT_EQ(red, pixel(2, 20));
    EXPECT_EQ(red, pixel(30, 3));
    EXPECT_EQ(red, pixel(56, 20));
    // Inner bevel, as wide, lowered: dark top and left, light bottom and right.
    EXPECT_EQ(dark, pixel(4, 20));
    EXPECT_EQ(dark, pixel(5, 20));
    EXPECT_EQ(dark, pixel(30, 4));
    EXPECT_EQ(light, pixel(55, 20));
    EXPECT_EQ(light, pixel(54, 20));
    EXPECT_EQ(light, pixel(30, 35));
    // Inside: the panel's colour.
    EXPECT_EQ(red, pixel(6, 6));
    EXPECT_EQ(red, pixel(30, 20));
    EXPECT_EQ(red, pixel(53, 33));

    // No bevels: colour to the edges.
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvSpace);
    panel->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(red, pixel(0, 0));
    EXPECT_EQ(red, pixel(59, 39));
    EXPECT_EQ(red, pixel(4, 20));
}

TEST_F(ExtCtrlsPanelTest, ChangesThatShowAskForARepaint)
{
    TPanel* panel = new TPanel(Form);
    panel->SetParent(Form);
    Form->Show();
    HWND window = panel->Handle();
    ValidateRect(window, nullptr);
    ASSERT_FALSE(HasUpdateRegion(window));
    panel->SetCaption("Ready");
    EXPECT_TRUE(HasUpdateRegion(window));
    ValidateRect(window, nullptr);
    panel->SetAlignment(taRightJustify);
    EXPECT_TRUE(HasUpdateRegion(window));
    ValidateRect(window, nullptr);
    panel->SetBevelInner(bvRaised);
    EXPECT_TRUE(HasUpdateRegion(window));
    ValidateRect(window, nullptr);
    panel->SetAlignment(taRightJustify);  // no change, nothing to do
    EXPECT_FALSE(HasUpdateRegion(window));
}

// --- TImage ---------------------------------------------------------------

using ExtCtrlsImageTest = ExtCtrlsTest;

TEST_F(ExtCtrlsImageTest, PictureAndFlagsComeFromTheFormResource)
{
    TBitmap source;
    source.SetSize(6, 4);
    Fill(source, clBlue, RECT{0, 0, 6, 4});
    Form->Read("object ExtForm: TExtForm\n"
               "  object Image1: TImage\n"
               "    Left = 3\n"
               "    Top = 4\n"
               "    Center = True\n"
               "    Stretch = True\n"
               "    Proportional = True\n"
               "    Transparent = True\n"
               "    AutoSize = True\n"
               "    OnClick = ImageClick\n"
               "    Picture.Data = " + PictureData(source) + "\n"
               "  end\n"
               "end\n");
    TImage* image = Form->FindComponent<TImage>("Image1");
    ASSERT_NE(nullptr, image);
    EXPECT_TRUE(image->Center());
    EXPECT_TRUE(image->Stretch());
    EXPECT_TRUE(image->Proportional());
    EXPECT_TRUE(image->Transparent());
    EXPECT_TRUE(image->AutoSize());
    ASSERT_NE(nullptr, dynamic_cast<TBitmap*>(image->Picture()->Graphic()));
    EXPECT_EQ(6, image->Picture()->Width());
    EXPECT_TRUE(image->Picture()->Graphic()->Transparent);
    // AutoSize: the control took the picture's size.
    EXPECT_EQ(6, image->Width());
    EXPECT_EQ(4, image->Height());
    EXPECT_EQ(Form, image->Parent());
    image->OnClick(image);
    EXPECT_EQ(1, Form->ImageClicks);
}

TEST_F(ExtCtrlsImageTest, DestRectCentresStretchesAndKeepsProportions)
{
    TImage* image = new TImage(Form);
    image->SetBounds(0, 0, 40, 40);
    image->Picture()->Bitmap()->SetSize(20, 10);
    auto dest = [&] {
        RECT r = image->DestRect();
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    };
    EXPECT_EQ("0,0,20,10", dest());
    image->SetCenter(true);
    EXPECT_EQ("10,15,30,25", dest());
    image->SetStretch(true);
    EXPECT_EQ("0,0,40,40", dest());
    image->SetProportional(true);
    EXPECT_EQ("0,10,40,30", dest());
    image->SetCenter(false);
    EXPECT_EQ("0,0,40,20", dest());
    // Proportional alone only shrinks what does not fit.
    image->SetStretch(false);
    EXPECT_EQ("0,0,20,10", dest());
    image->Picture()->Bitmap()->SetSize(80, 20);
    EXPECT_EQ("0,0,40,10", dest());
    image->Picture()->Bitmap()->SetSize(10, 80);
    EXPECT_EQ("0,0,5,40", dest());
}

TEST_F(ExtCtrlsImageTest, PaintsThePictureWhereDestRectSaysOnItsParent)
{
    Form->SetColor(clWhite);
    Form->SetBounds(0, 0, 200, 150);
    TImage* image = new TImage(Form);
    image->SetParent(Form);
    image->SetBounds(10, 10, 40, 40);
    TBitmap picture;
    picture.SetSize(20, 10);
    Fill(picture, clRed, RECT{0, 0, 20, 10});
    image->Picture()->SetGraphic(&picture);
    image->SetCenter(true);

    TBitmap bitmap;
    bitmap.SetSize(100, 100);
    Form->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    auto pixel = [&](int x, int y) { return bitmap.Canvas()->Pixel(x, y); };
    const COLORREF red = RGB(255, 0, 0), white = RGB(255, 255, 255);
    EXPECT_EQ(red, pixel(20, 25));
    EXPECT_EQ(red, pixel(39, 34));
    EXPECT_EQ(white, pixel(19, 25));
    EXPECT_EQ(white, pixel(40, 25));
    EXPECT_EQ(white, pixel(25, 24));
    EXPECT_EQ(white, pixel(25, 35));

    image->SetStretch(true);
    Form->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(red, pixel(10, 10));
    EXPECT_EQ(red, pixel(49, 49));
    EXPECT_EQ(white, pixel(50, 49));
    EXPECT_EQ(white, pixel(9, 10));
}

TEST_F(ExtCtrlsImageTest, TransparentLeavesOutTheBitmapsTransparentColour)
{
    Form->SetColor(clWhite);
    TImage* image = new TImage(Form);
    image->SetParent(Form);
    image->SetBounds(0, 0, 20, 20);
    TBitmap picture;
    picture.SetSize(20, 20);
    Fill(picture, clLime, RECT{0, 0, 20, 20});  // the bottom-left pixel: the transparent colour
    Fill(picture, clBlue, RECT{5, 5, 15, 15});
    image->Picture()->SetGraphic(&picture);

    TBitmap bitmap;
    bitmap.SetSize(40, 40);
    auto pixel = [&](int x, int y) { return bitmap.Canvas()->Pixel(x, y); };
    Form->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(RGB(0, 255, 0), pixel(2, 2));
    image->SetTransparent(true);
    Form->PaintTo(bitmap.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(RGB(255, 255, 255), pixel(2, 2));
    EXPECT_EQ(RGB(255, 255, 255), pixel(17, 17));
    EXPECT_EQ(RGB(0, 0, 255), pixel(10, 10));
}

TEST_F(ExtCtrlsImageTest, AutoSizeFollowsThePictureAndChangesRepaint)
{
    TImage* image = new TImage(Form);
    image->SetParent(Form);
    image->SetBounds(5, 5, 50, 50);
    image->Picture()->Bitmap()->SetSize(30, 20);
    EXPECT_EQ(50, image->Width());  // no AutoSize yet
    image->SetAutoSize(true);
    EXPECT_EQ(30, image->Width());
    EXPECT_EQ(20, image->Height());
    image->Picture()->Bitmap()->SetSize(12, 7);
    EXPECT_EQ(12, image->Width());
    EXPECT_EQ(7, image->Height());
    EXPECT_EQ(5, image->Left());

    Form->Show();
    HWND window = Form->Handle();
    ValidateRect(window, nullptr);
    Fill(*image->Picture()->Bitmap(), clRed, RECT{0, 0, 12, 7});
    image->Picture()->Bitmap()->SetSize(12, 8);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_LE(update.left, 5);
    EXPECT_GE(update.bottom, 13);
}

TEST_F(ExtCtrlsImageTest, AClickOnTheImageReachesItsOnClick)
{
    Form->Read("object ExtForm: TExtForm\n  object Image1: TImage\n    Left = 10\n    Top = 10\n"
               "    Width = 30\n    Height = 30\n    OnClick = ImageClick\n  end\nend\n");
    HWND window = Form->Handle();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(1, Form->ImageClicks);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
    EXPECT_EQ(1, Form->ImageClicks);
}

// --- TTimer ---------------------------------------------------------------

using ExtCtrlsTimerTest = ExtCtrlsTest;

TEST_F(ExtCtrlsTimerTest, DefaultsAndStreaming)
{
    TTimer* plain = new TTimer(Form);
    EXPECT_TRUE(plain->Enabled());
    EXPECT_EQ(1000u, plain->Interval());
    EXPECT_FALSE(plain->Running());  // no handler

    Form->Read("object ExtForm: TExtForm\n  object Timer1: TTimer\n    Interval = 15\n    OnTimer = Tick\n"
               "  end\n  object Timer2: TTimer\n    Enabled = False\n    Interval = 3000\n  end\nend\n");
    TTimer* timer = Form->FindComponent<TTimer>("Timer1");
    TTimer* idle = Form->FindComponent<TTimer>("Timer2");
    ASSERT_NE(nullptr, timer);
    ASSERT_NE(nullptr, idle);
    EXPECT_EQ(15u, timer->Interval());
    EXPECT_TRUE(timer->OnTimer == MakeEvent<&TExtForm::Tick>(Form));
    EXPECT_FALSE(idle->Enabled());
    EXPECT_EQ(3000u, idle->Interval());
    // Nothing ran while the form was read; Loaded started it.
    EXPECT_FALSE(Form->TimerRanWhileLoading);
    EXPECT_TRUE(timer->Running());
    EXPECT_FALSE(idle->Running());
    EXPECT_TRUE(PumpUntil([&] { return Form->Ticks >= 2; }, 3000));
}

TEST_F(ExtCtrlsTimerTest, FiresRepeatedlyWhileMessagesArePumped)
{
    TTimer* timer = new TTimer(Form);
    timer->SetInterval(10);
    timer->OnTimer = MakeEvent<&TExtForm::Tick>(Form);
    EXPECT_TRUE(timer->Running());
    EXPECT_TRUE(PumpUntil([&] { return Form->Ticks >= 3; }, 3000));
}

TEST_F(ExtCtrlsTimerTest, NoTimerRunsWhileDisabledWithoutIntervalOrWithoutHandler)
{
    TTimer* timer = new TTimer(Form);
    timer->SetInterval(5);
    timer->SetEnabled(false);
    timer->OnTimer = MakeEvent<&TExtForm::Tick>(Form);
    EXPECT_FALSE(timer->Running());
    Pump(150);
    EXPECT_EQ(0, Form->Ticks);

    timer->SetEnabled(true);
    EXPECT_TRUE(timer->Running());
    timer->SetInterval(0);
    EXPECT_FALSE(timer->Running());
    timer->SetInterval(5);
    EXPECT_TRUE(timer->Running());
    timer->OnTimer = nullptr;
    EXPECT_FALSE(timer->Running());
    Pump(150);
    EXPECT_EQ(0, Form->Ticks);
}

TEST_F(ExtCtrlsTimerTest, StoppingDropsTicksAlreadyQueued)
{
    TTimer* timer = new TTimer(Form);
    timer->SetInterval(1);
    timer->OnTimer = MakeEvent<&TExtForm::Tick>(Form);
    // Take one tick off the queue, stop the timer, then deliver the tick
    // as the message loop would have.
    MSG msg = {};
    char className[64] = {};
    DWORD start = GetTickCount();
    for (;;) {
        ASSERT_LT(GetTickCount() - start, 3000u) << "no tick arrived";
        if (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            GetClassNameA(msg.hwnd, className, sizeof className);
            if (std::string(className) == "GantrelUtilityWindow") break;
            DispatchMessageA(&msg);
        }
        Sleep(2);
    }
    timer->SetEnabled(false);
    DispatchMessageA(&msg);
    Pump(50);
    EXPECT_EQ(0, Form->Ticks);
}

// Frees the timer from inside its own event, and counts how often it ran.
struct TSelfFreeing : public TObject {
    TTimer* Timer = nullptr;
    int Calls = 0;
    void OnTick(TObject* sender)
    {
        ++Calls;
        EXPECT_EQ(Timer, sender);
        Timer->Free();
        Timer = nullptr;
    }
};

TEST_F(ExtCtrlsTimerTest, FreeingATimerInItsOwnEventIsSafeAndItNeverFiresAgain)
{
    TSelfFreeing probe;
    probe.Timer = new TTimer(nullptr);
    probe.Timer->SetInterval(5);
    probe.Timer->OnTimer = MakeEvent<&TSelfFreeing::OnTick>(&probe);
    EXPECT_TRUE(PumpUntil([&] { return probe.Calls > 0; }, 3000));
    Pump(150);
    EXPECT_EQ(1, probe.Calls);
    EXPECT_EQ(nullptr, probe.Timer);
}

// --- TImageList -----------------------------------------------------------

using ExtCtrlsImageListTest = ExtCtrlsTest;

TBitmap* Square(TColor color, int width = 16, int height = 16)
{
    auto* bitmap = new TBitmap;
    bitmap->SetSize(width, height);
    Fill(*bitmap, color, RECT{0, 0, width, height});
    return bitmap;
}

TEST_F(ExtCtrlsImageListTest, SizeComesFromTheFormResourceAndChangingItEmptiesTheList)
{
    Form->Read("object ExtForm: TExtForm\n  object ImageList1: TImageList\n    Width = 24\n    Height = 20\n"
               "    Masked = False\n    BkColor = clNone\n    AllocBy = 8\n  end\nend\n");
    TImageList* list = Form->FindComponent<TImageList>("ImageList1");
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(24, list->Width());
    EXPECT_EQ(20, list->Height());
    EXPECT_FALSE(list->Masked());
    EXPECT_EQ(8, list->AllocBy);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list->Handle(), &cx, &cy);
    EXPECT_EQ(24, cx);
    EXPECT_EQ(20, cy);

    TImageList* fresh = new TImageList(Form);
    EXPECT_EQ(16, fresh->Width());
    EXPECT_EQ(16, fresh->Height());
    EXPECT_EQ(0, fresh->Count());
    TBitmap* red = Square(clRed);
    fresh->Add(red, nullptr);
    fresh->Add(red, nullptr);
    EXPECT_EQ(2, fresh->Count());
    fresh->SetSize(32, 32);
    EXPECT_EQ(0, fresh->Count());
    delete red;
}

TEST_F(ExtCtrlsImageListTest, AddReturnsIndexesAndDrawPaintsTheImage)
{
    TImageList* list = new TImageList(Form);
    TBitmap* red = Square(clRed);
    TBitmap* strip = Square(clBlue, 32, 16);  // two images side by side
    Fill(*strip, clLime, RECT{16, 0, 32, 16});
    EXPECT_EQ(0, list->Add(red, nullptr));
    EXPECT_EQ(1, list->Add(strip, nullptr));
    EXPECT_EQ(3, list->Count());

    TBitmap target;
    target.SetSize(40, 40);
    list->Draw(target.Canvas(), 2, 2, 0);
    list->Draw(target.Canvas(), 20, 20, 2);
    auto pixel = [&](int x, int y) { return target.Canvas()->Pixel(x, y); };
    EXPECT_EQ(RGB(255, 0, 0), pixel(2, 2));
    EXPECT_EQ(RGB(255, 0, 0), pixel(17, 17));
    EXPECT_EQ(RGB(255, 255, 255), pixel(1, 1));
    EXPECT_EQ(RGB(255, 255, 255), pixel(18, 10));
    EXPECT_EQ(RGB(0, 255, 0), pixel(20, 20));
    EXPECT_EQ(RGB(0, 255, 0), pixel(35, 35));

    TBitmap copy;
    list->GetBitmap(1, &copy);
    EXPECT_EQ(16, copy.Width());
    EXPECT_EQ(RGB(0, 0, 255), copy.Canvas()->Pixel(8, 8));

    list->Delete(0);
    EXPECT_EQ(2, list->Count());
    EXPECT_THROW(list->Draw(target.Canvas(), 0, 0, 2), EListError);
    list->Clear();
    EXPECT_EQ(0, list->Count());
    delete red;
    delete strip;
}

TEST_F(ExtCtrlsImageListTest, MasksLeaveTheCanvasShowing)
{
    TImageList* list = new TImageList(Form);
    // A red square on fuchsia, the fuchsia masked out by colour.
    TBitmap* framed = Square(clFuchsia);
    Fill(*framed, clRed, RECT{4, 4, 12, 12});
    EXPECT_EQ(0, list->AddMasked(framed, clFuchsia));
    // Bottom-left pixel's colour (fuchsia) by default.
    EXPECT_EQ(1, list->AddMasked(framed, clDefault));
    // An explicit mask: white (transparent) on the left half.
    TBitmap* blue = Square(clBlue);
    TBitmap* mask = Square(clBlack);
    Fill(*mask, clWhite, RECT{0, 0, 8, 16});
    EXPECT_EQ(2, list->Add(blue, mask));

    TBitmap target;
    target.SetSize(60, 20);
    list->Draw(target.Canvas(), 0, 0, 0);
    list->Draw(target.Canvas(), 20, 0, 1);
    list->Draw(target.Canvas(), 40, 0, 2);
    auto pixel = [&](int x, int y) { return target.Canvas()->Pixel(x, y); };
    const COLORREF white = RGB(255, 255, 255);
    EXPECT_EQ(white, pixel(1, 1));
    EXPECT_EQ(RGB(255, 0, 0), pixel(8, 8));
    EXPECT_EQ(white, pixel(21, 14));
    EXPECT_EQ(RGB(255, 0, 0), pixel(25, 5));
    EXPECT_EQ(white, pixel(42, 8));
    EXPECT_EQ(RGB(0, 0, 255), pixel(50, 8));
    delete framed;
    delete blue;
    delete mask;
}

TEST_F(ExtCtrlsImageListTest, ADisabledImageIsAnEngravedSilhouette)
{
    TImageList* list = new TImageList(Form);
    TBitmap* framed = Square(clFuchsia);
    Fill(*framed, clRed, RECT{4, 4, 12, 12});
    list->AddMasked(framed, clFuchsia);
    TBitmap target;
    target.SetSize(20, 20);
    list->Draw(target.Canvas(), 0, 0, 0, false);
    auto pixel = [&](int x, int y) { return target.Canvas()->Pixel(x, y); };
    EXPECT_EQ(ColorToRGB(clBtnShadow), pixel(4, 4));
    EXPECT_EQ(ColorToRGB(clBtnShadow), pixel(11, 11));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), pixel(12, 12));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), pixel(12, 5));
    EXPECT_EQ(RGB(255, 255, 255), pixel(2, 2));
    EXPECT_NE(RGB(255, 0, 0), pixel(8, 8));
    delete framed;
}

TEST_F(ExtCtrlsImageListTest, EmptyImagesAreRefused)
{
    TImageList* list = new TImageList(Form);
    TBitmap empty;
    EXPECT_THROW(list->Add(&empty, nullptr), EInvalidOperation);
    EXPECT_THROW(list->AddMasked(nullptr, clRed), EInvalidOperation);
    EXPECT_THROW(list->Delete(0), EListError);
}

// --- TAction and TActionList ----------------------------------------------

using ExtCtrlsActionTest = ExtCtrlsTest;

const char* const ActionForm = R"(object ExtForm: TExtForm
  object ImageList1: TImageList
  end
  object ActionList1: TActionList
    Images = ImageList1
    object FileOpen: TAction
      Caption = '&Open...'
      Hint = 'Open a map file'
      ShortCut = 16463
      ImageIndex = 3
      Category = 'File'
      OnExecute = ActionExecute
      OnUpdate = ActionUpdate
    end
    object ViewFuel: TAction
      Caption = 'Fuel'
      Checked = True
      Enabled = False
      Visible = False
      AutoCheck = True
      GroupIndex = 2
    end
  end
end
)";

TEST_F(ExtCtrlsActionTest, ActionsAreReadAsChildrenOfTheirList)
{
    Form->Read(ActionForm);
    TActionList* list = Form->FindComponent<TActionList>("ActionList1");
    TAction* open = Form->FindComponent<TAction>("FileOpen");
    TAction* fuel = Form->FindComponent<TAction>("ViewFuel");
    ASSERT_NE(nullptr, list);
    ASSERT_NE(nullptr, open);
    ASSERT_NE(nullptr, fuel);
    EXPECT_EQ(Form->FindComponent("ImageList1"), list->Images());
    ASSERT_EQ(2, list->ActionCount());
    EXPECT_EQ(open, list->Actions(0));
    EXPECT_EQ(fuel, list->Actions(1));
    EXPECT_EQ(list, open->ActionList());
    EXPECT_EQ(list, open->GetParentComponent());
    EXPECT_TRUE(open->HasParent());
    EXPECT_EQ(1, fuel->Index());
    EXPECT_EQ(Form, open->Owner());

    EXPECT_EQ("&Open...", open->Caption());
    EXPECT_EQ("Open a map file", open->Hint());
    EXPECT_EQ(TShortCut(scCtrl | 'O'), open->ShortCut());
    EXPECT_EQ(3, open->ImageIndex());
    EXPECT_EQ("File", open->Category);
    EXPECT_TRUE(fuel->Checked());
    EXPECT_FALSE(fuel->Enabled());
    EXPECT_FALSE(fuel->Visible());
    EXPECT_TRUE(fuel->AutoCheck);
    EXPECT_EQ(2, fuel->GroupIndex());

    std::vector<TComponent*> children;
    list->GetChildren([&](TComponent* c) { children.push_back(c); }, Form);
    EXPECT_EQ(std::vector<TComponent*>({open, fuel}), children);

    // The image list going away clears the reference.
    Form->FindComponent("ImageList1")->Free();
    EXPECT_EQ(nullptr, list->Images());
}

TEST_F(ExtCtrlsActionTest, ExecuteRunsTheHandlerOnlyWhenEnabled)
{
    Form->Read(ActionForm);
    TAction* open = Form->FindComponent<TAction>("FileOpen");
    EXPECT_TRUE(open->Execute());
    EXPECT_EQ(1, Form->Executes);
    open->SetEnabled(false);
    EXPECT_FALSE(open->Execute());
    EXPECT_EQ(1, Form->Executes);
    EXPECT_TRUE(open->Update());
    EXPECT_EQ(1, Form->Updates);

    // AutoCheck toggles even without a handler.
    TAction* fuel = Form->FindComponent<TAction>("ViewFuel");
    fuel->SetEnabled(true);
    EXPECT_TRUE(fuel->Execute());
    EXPECT_FALSE(fuel->Checked());
    EXPECT_FALSE(fuel->Update());
}

// Records what an action list and its clients see.
struct TActionWatcher : public TObject {
    int Changes = 0;
    int ListHandled = 0;
    bool Handle = false;
    void Changed(TObject*) { ++Changes; }
    void ListExecute(TAction*, bool& handled)
    {
        ++ListHandled;
        handled = Handle;
    }
};

TEST_F(ExtCtrlsActionTest, TheListSeesEveryExecuteFirst)
{
    Form->Read(ActionForm);
    TActionList* list = Form->FindComponent<TActionList>("ActionList1");
    TAction* open = Form->FindComponent<TAction>("FileOpen");
    TActionWatcher watcher;
    list->OnExecute = MakeEvent<&TActionWatcher::ListExecute>(&watcher);
    EXPECT_TRUE(open->Execute());
    EXPECT_EQ(1, watcher.ListHandled);
    EXPECT_EQ(1, Form->Executes);
    watcher.Handle = true;
    EXPECT_TRUE(open->Execute());
    EXPECT_EQ(2, watcher.ListHandled);
    EXPECT_EQ(1, Form->Executes);
}

TEST_F(ExtCtrlsActionTest, ClientsHearOfRealChangesOnly)
{
    TAction* action = new TAction(Form);
    TActionWatcher watcher;
    action->Clients.push_back(MakeEvent<&TActionWatcher::Changed>(&watcher));
    action->SetCaption("Save");
    action->SetEnabled(false);
    action->SetChecked(true);
    action->SetVisible(false);
    action->SetHint("Save the map");
    action->SetShortCut(scCtrl | 'S');
    action->SetImageIndex(2);
    EXPECT_EQ(7, watcher.Changes);
    action->SetCaption("Save");
    action->SetEnabled(false);
    action->SetImageIndex(2);
    EXPECT_EQ(7, watcher.Changes);
    action->Clients.clear();
    action->SetCaption("Save as");
    EXPECT_EQ(7, watcher.Changes);
}

TEST_F(ExtCtrlsActionTest, CheckingOneActionOfAGroupUnchecksTheOthers)
{
    TActionList* list = new TActionList(Form);
    TAction* a = new TAction(Form);
    TAction* b = new TAction(Form);
    TAction* c = new TAction(Form);
    TAction* other = new TAction(Form);
    for (TAction* action : {a, b, c, other}) action->SetActionList(list);
    for (TAction* action : {a, b, c}) action->SetGroupIndex(1);
    a->SetChecked(true);
    other->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(c->Checked());
    EXPECT_TRUE(other->Checked());
}

TEST_F(ExtCtrlsActionTest, ShortCutsRunTheirActionAndListsFreeTheirActions)
{
    Form->Read(ActionForm);
    TActionList* list = Form->FindComponent<TActionList>("ActionList1");
    TActionWatcher watcher;
    list->OnChange = MakeEvent<&TActionWatcher::Changed>(&watcher);
    EXPECT_TRUE(list->IsShortCut(scCtrl | 'O'));
    EXPECT_EQ(1, Form->Executes);
    EXPECT_EQ(1, Form->Updates);  // brought up to date first
    EXPECT_FALSE(list->IsShortCut(scCtrl | 'Q'));
    EXPECT_FALSE(list->IsShortCut(0));

    // An action that goes leaves its list.
    Form->FindComponent("ViewFuel")->Free();
    EXPECT_EQ(1, list->ActionCount());
    EXPECT_EQ(1, watcher.Changes);
    // The list takes its remaining actions with it.
    int components = Form->ComponentCount();
    list->Free();
    EXPECT_EQ(nullptr, Form->FindComponent("FileOpen"));
    EXPECT_EQ(components - 2, Form->ComponentCount());
}

TEST_F(ExtCtrlsActionTest, ExtCtrlsClassesAreRegistered)
{
    for (const char* name : {"TPanel", "TImage", "TTimer", "TImageList", "TActionList", "TAction"})
        EXPECT_NE(nullptr, FindClass(name)) << name;
}

}  // namespace

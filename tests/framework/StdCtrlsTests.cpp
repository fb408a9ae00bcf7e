// The standard controls on a shown form, driven through their windows with
// real messages: clicks, typed characters, dialog keys and accelerators,
// colour queries; painting checked in pixels the controls draw themselves
// (never glyphs); and every class read from a form text.
#include "Application.h"
#include "Button.h"
#include "CheckBox.h"
#include "Edit.h"
#include "GroupBox.h"
#include "Label.h"
#include "Reader.h"
#include "Streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

class TStdTestForm : public TForm {
    GANTREL_CLASS(TStdTestForm)

    TStdTestForm() : TForm(nullptr, 0) {}

    std::vector<TObject*> Clicks;
    std::vector<TObject*> Changes;
    void Clicked(TObject* sender) { Clicks.push_back(sender); }
    void Changed(TObject* sender) { Changes.push_back(sender); }
    int ClicksOf(TObject* sender) const { return int(std::count(Clicks.begin(), Clicks.end(), sender)); }
    int ChangesOf(TObject* sender) const { return int(std::count(Changes.begin(), Changes.end(), sender)); }

    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {},
            {GANTREL_HANDLER(TStdTestForm, Clicked), GANTREL_HANDLER(TStdTestForm, Changed)},
        };
        return &table;
    }
    void Read(const std::string& text) { ReadFormText(this, text, Table()); }
};

// The client area of control as it paints itself and its children.
std::unique_ptr<TBitmap> Snapshot(TWinControl* control)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(control->ClientWidth(), control->ClientHeight());
    control->PaintTo(bitmap->Canvas()->Handle(), 0, 0);
    return bitmap;
}

COLORREF PixelAt(TBitmap& bitmap, int x, int y)
{
    return bitmap.Canvas()->Pixel(x, y);
}

DWORD Style(TWinControl* control)
{
    return DWORD(GetWindowLongPtrA(control->Handle(), GWL_STYLE));
}

DWORD ExStyle(TWinControl* control)
{
    return DWORD(GetWindowLongPtrA(control->Handle(), GWL_EXSTYLE));
}

std::string WindowText(TWinControl* control)
{
    char buffer[1024] = {};
    GetWindowTextA(control->Handle(), buffer, sizeof buffer);
    return buffer;
}

LRESULT CheckState(TWinControl* control)
{
    return SendMessageA(control->Handle(), BM_GETCHECK, 0, 0);
}

void Click(TWinControl* control)
{
    SendMessageA(control->Handle(), BM_CLICK, 0, 0);
}

void Type(TWinControl* control, const std::string& text)
{
    for (char c : text) SendMessageA(control->Handle(), WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}

// A key pressed while control has the focus, through the application's loop.
void PressKey(TWinControl* control, WORD key)
{
    UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(control->Handle(), WM_KEYDOWN, key, LPARAM(1 | (scan << 16)));
    PostMessageA(control->Handle(), WM_KEYUP, key, LPARAM(1 | (scan << 16) | (3u << 30)));
    Application->ProcessMessages();
}

// Whether part of control's bounds waits to be painted on its parent; the
// parent counts as painted afterwards.
bool Invalidated(TControl* control)
{
    HWND parent = control->Parent()->Handle();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetUpdateRgn(parent, region, FALSE);
    RECT bounds = control->BoundsRect();
    bool hit = kind != NULLREGION && kind != ERROR && RectInRegion(region, &bounds);
    DeleteObject(region);
    ValidateRect(parent, nullptr);
    return hit;
}

class StdCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TStdTestForm;
        Form->SetBounds(40, 40, 460, 340);
        Form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        Form->Free();
        Application->ProcessMessages();
    }

    template <typename T>
    T* Add(int left, int top, int width, int height, TWinControl* parent = nullptr)
    {
        T* control = new T(Form);
        control->SetParent(parent ? parent : Form);
        control->SetBounds(left, top, width, height);
        return control;
    }

    TLabel* AddLabel(int left, int top, int width, int height, TWinControl* parent = nullptr)
    {
        auto* label = new TLabel(Form);
        label->SetAutoSize(false);
        label->SetParent(parent ? parent : Form);
        label->SetBounds(left, top, width, height);
        return label;
    }

    TNotifyEvent ClickHandler() { return MakeEvent<&TStdTestForm::Clicked>(Form); }
    TNotifyEvent ChangeHandler() { return MakeEvent<&TStdTestForm::Changed>(Form); }

    TStdTestForm* Form = nullptr;
};

// --- Labels -------------------------------------------------------------------

class StdCtrlsLabel : public StdCtrlsTest {};

constexpr TColor FormColor = 0x00604020;
constexpr TColor LabelColor = 0x0000C0F0;

TEST_F(StdCtrlsLabel, FillsItsBoundsWithItsColorWhenOpaque)
{
    Form->SetColor(FormColor);
    TLabel* label = AddLabel(20, 30, 100, 40);
    label->SetCaption("x");
    label->SetColor(LabelColor);
    auto shot = Snapshot(Form);
    // The corners away from the text, and just outside the bounds.
    EXPECT_EQ(ColorToRGB(LabelColor), PixelAt(*shot, 20 + 99, 30 + 39));
    EXPECT_EQ(ColorToRGB(LabelColor), PixelAt(*shot, 20, 30 + 39));
    EXPECT_EQ(ColorToRGB(LabelColor), PixelAt(*shot, 20 + 99, 30));
    EXPECT_EQ(ColorToRGB(FormColor), PixelAt(*shot, 20 + 100, 30 + 20));
    EXPECT_EQ(ColorToRGB(FormColor), PixelAt(*shot, 19, 30 + 20));
    EXPECT_EQ(ColorToRGB(FormColor), PixelAt(*shot, 60, 30 + 40));
}

TEST_F(StdCtrlsLabel, TransparentLetsTheParentShowThrough)
{
    Form->SetColor(FormColor);
    TLabel* label = AddLabel(20, 30, 100, 40);
    label->SetCaption("x");
    label->SetColor(LabelColor);
    label->SetTransparent(true);
    EXPECT_EQ(0u, label->ControlStyle & csOpaque);
    auto shot = Snapshot(Form);
    EXPECT_EQ(ColorToRGB(FormColor), PixelAt(*shot, 20 + 99, 30 + 39));
    EXPECT_EQ(ColorToRGB(FormColor), PixelAt(*shot, 20, 30 + 39));
    label->SetTransparent(false);
    EXPECT_NE(0u, label->ControlStyle & csOpaque);
    shot = Snapshot(Form);
    EXPECT_EQ(ColorToRGB(LabelColor), PixelAt(*shot, 20 + 99, 30 + 39));
}

TEST_F(StdCtrlsLabel, FollowsTheParentColorUntilGivenItsOwn)
{
    Form->SetColor(FormColor);
    TLabel* label = AddLabel(20, 30, 100, 40);
    EXPECT_TRUE(label->ParentColor());
    EXPECT_EQ(FormColor, label->Color());
    Form->SetColor(clTeal);
    EXPECT_EQ(clTeal, label->Color());
    auto shot = Snapshot(Form);
    EXPECT_EQ(ColorToRGB(clTeal), PixelAt(*shot, 20 + 99, 30 + 39));
    label->SetColor(LabelColor);
    EXPECT_FALSE(label->ParentColor());
    Form->SetColor(clOlive);
    EXPECT_EQ(LabelColor, label->Color());
}

TEST_F(StdCtrlsLabel, RepaintsWhenCaptionFontColorOrAlignmentChange)
{
    TLabel* label = AddLabel(20, 30, 100, 40);
    label->SetCaption("first");
    ValidateRect(Form->Handle(), nullptr);
    label->SetCaption("second");
    EXPECT_TRUE(Invalidated(label));
    label->Font()->SetColor(clRed);
    EXPECT_TRUE(Invalidated(label));
    label->SetColor(LabelColor);
    EXPECT_TRUE(Invalidated(label));
    label->SetAlignment(taCenter);
    EXPECT_TRUE(Invalidated(label));
    // Setters that change nothing do nothing.
    label->SetAlignment(taCenter);
    label->SetCaption("second");
    EXPECT_FALSE(Invalidated(label));
}

TEST_F(StdCtrlsLabel, AutoSizeFitsTheCaption)
{
    auto* label = new TLabel(Form);
    EXPECT_TRUE(label->AutoSize());
    label->SetParent(Form);
    label->SetBounds(200, 10, 10, 10);
    label->SetCaption("W");
    int narrow = label->Width();
    int lineHeight = label->Height();
    EXPECT_GT(narrow, 0);
    EXPECT_GT(lineHeight, 0);
    label->SetCaption("WWWWWWWWWW");
    int wide = label->Width();
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(lineHeight, label->Height());
    EXPECT_EQ(200, label->Left());

    // Right-aligned, the right edge stays.
    label->SetAlignment(taRightJustify);
    int right = label->Left() + label->Width();
    label->SetCaption("W");
    EXPECT_EQ(right, label->Left() + label->Width());
    EXPECT_EQ(narrow, label->Width());

    label->SetAutoSize(false);
    label->SetCaption("WWWWWWWWWW");
    EXPECT_EQ(narrow, label->Width());
}

TEST_F(StdCtrlsLabel, WordWrapKeepsTheWidthAndGrowsDown)
{
    auto* label = new TLabel(Form);
    label->SetParent(Form);
    label->SetCaption("one");
    int lineHeight = label->Height();
    label->SetWordWrap(true);
    label->SetWidth(40);
    label->SetCaption("one two three four five six seven");
    EXPECT_EQ(40, label->Width());
    EXPECT_GT(label->Height(), 2 * lineHeight);
}

TEST_F(StdCtrlsLabel, ShowAccelCharDecidesWhetherAmpersandsAreDrawn)
{
    auto* label = new TLabel(Form);
    label->SetParent(Form);
    label->SetCaption("&&&&&&&&&&&&");
    int accel = label->Width();
    label->SetShowAccelChar(false);
    // Every ampersand is drawn now, twice as many.
    EXPECT_GT(label->Width(), accel);
}

TEST_F(StdCtrlsLabel, AcceleratorFocusesItsFocusControl)
{
    auto* edit = Add<TEdit>(120, 10, 120, 21);
    auto* other = Add<TEdit>(120, 40, 120, 21);
    TLabel* label = AddLabel(10, 10, 100, 20);
    label->SetCaption("&Name");
    label->SetFocusControl(edit);
    other->SetFocus();
    EXPECT_EQ(0, label->Perform(CM_DIALOGCHAR, 'x'));
    EXPECT_EQ(other->Handle(), GetFocus());
    EXPECT_EQ(1, label->Perform(CM_DIALOGCHAR, 'N'));
    EXPECT_EQ(edit->Handle(), GetFocus());

    other->SetFocus();
    label->SetShowAccelChar(false);
    EXPECT_EQ(0, label->Perform(CM_DIALOGCHAR, 'n'));
    EXPECT_EQ(other->Handle(), GetFocus());

    // The reference goes with the control.
    edit->Free();
    EXPECT_EQ(nullptr, label->FocusControl());
    label->SetShowAccelChar(true);
    EXPECT_EQ(0, label->Perform(CM_DIALOGCHAR, 'n'));
}

TEST(StdCtrlsAccel, FindsTheLetterAfterASingleAmpersand)
{
    EXPECT_TRUE(IsAccel('s', "&Save"));
    EXPECT_TRUE(IsAccel('S', "&save"));
    EXPECT_FALSE(IsAccel('a', "&Save"));
    EXPECT_TRUE(IsAccel('p', "Salt && &Pepper"));
    EXPECT_FALSE(IsAccel('s', "Salt && &Pepper"));
    EXPECT_FALSE(IsAccel('&', "Fish && Chips"));
    EXPECT_FALSE(IsAccel('x', "Trailing&"));
    EXPECT_FALSE(IsAccel('n', "None"));
}

// --- Buttons ------------------------------------------------------------------

class StdCtrlsButton : public StdCtrlsTest {};

TEST_F(StdCtrlsButton, ClickRunsOnClickAndSetsTheFormsModalResult)
{
    auto* button = Add<TButton>(10, 10, 75, 25);
    EXPECT_EQ(0u, button->ControlStyle & csClickEvents);
    EXPECT_TRUE(button->TabStop());
    button->OnClick = ClickHandler();
    button->SetModalResult(mrOk);
    Click(button);
    // Once: the platform reports the click, the mouse path does not again.
    EXPECT_EQ(1, Form->ClicksOf(button));
    EXPECT_EQ(mrOk, Form->ModalResult);

    Form->ModalResult = mrNone;
    button->SetModalResult(mrNone);
    Click(button);
    EXPECT_EQ(2, Form->ClicksOf(button));
    EXPECT_EQ(mrNone, Form->ModalResult);
}

TEST_F(StdCtrlsButton, DefaultTakesEnterAndCancelTakesEscape)
{
    auto* edit = Add<TEdit>(10, 10, 120, 21);
    auto* ok = Add<TButton>(10, 40, 75, 25);
    auto* cancel = Add<TButton>(90, 40, 75, 25);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    ok->OnClick = ClickHandler();
    cancel->OnClick = ClickHandler();
    ok->SetModalResult(mrOk);
    cancel->SetModalResult(mrCancel);
    edit->SetFocus();

    PressKey(edit, VK_RETURN);
    EXPECT_EQ(1, Form->ClicksOf(ok));
    EXPECT_EQ(0, Form->ClicksOf(cancel));
    EXPECT_EQ(mrOk, Form->ModalResult);
    PressKey(edit, VK_ESCAPE);
    EXPECT_EQ(1, Form->ClicksOf(ok));
    EXPECT_EQ(1, Form->ClicksOf(cancel));
    EXPECT_EQ(mrCancel, Form->ModalResult);
    EXPECT_EQ("", edit->Text());

    EXPECT_EQ(1, ok->Perform(CM_DIALOGKEY, VK_RETURN));
    EXPECT_EQ(0, ok->Perform(CM_DIALOGKEY, VK_ESCAPE));
    EXPECT_EQ(0, cancel->Perform(CM_DIALOGKEY, VK_RETURN));
    EXPECT_EQ(0, ok->Perform(CM_DIALOGKEY, VK_TAB));
}

TEST_F(StdCtrlsButton, AFocusedButtonTakesEnterAndTheDefaultLook)
{
    auto* edit = Add<TEdit>(10, 10, 120, 21);
    auto* ok = Add<TButton>(10, 40, 75, 25);
    auto* other = Add<TButton>(90, 40, 75, 25);
    ok->SetDefault(true);
    ok->OnClick = ClickHandler();
    other->OnClick = ClickHandler();
    EXPECT_EQ(DWORD(BS_DEFPUSHBUTTON), Style(ok) & BS_TYPEMASK);

    other->SetFocus();
    EXPECT_EQ(DWORD(BS_DEFPUSHBUTTON), Style(other) & BS_TYPEMASK);
    EXPECT_EQ(DWORD(BS_PUSHBUTTON), Style(ok) & BS_TYPEMASK);
    PressKey(other, VK_RETURN);
    EXPECT_EQ(1, Form->ClicksOf(other));
    EXPECT_EQ(0, Form->ClicksOf(ok));

    // Away from the buttons the default one is Enter's again.
    edit->SetFocus();
    EXPECT_EQ(DWORD(BS_PUSHBUTTON), Style(other) & BS_TYPEMASK);
    EXPECT_EQ(DWORD(BS_DEFPUSHBUTTON), Style(ok) & BS_TYPEMASK);
    PressKey(edit, VK_RETURN);
    EXPECT_EQ(1, Form->ClicksOf(other));
    EXPECT_EQ(1, Form->ClicksOf(ok));
}

TEST_F(StdCtrlsButton, ADisabledOrHiddenButtonIgnoresItsKeys)
{
    auto* ok = Add<TButton>(10, 40, 75, 25);
    ok->SetDefault(true);
    ok->SetCaption("&Go");
    ok->OnClick = ClickHandler();
    ok->SetEnabled(false);
    EXPECT_EQ(0, ok->Perform(CM_DIALOGKEY, VK_RETURN));
    EXPECT_EQ(0, ok->Perform(CM_DIALOGCHAR, 'g'));
    ok->SetEnabled(true);
    ok->Hide();
    EXPECT_EQ(0, ok->Perform(CM_DIALOGKEY, VK_RETURN));
    EXPECT_EQ(0, Form->ClicksOf(ok));
    ok->Show();
    EXPECT_EQ(1, ok->Perform(CM_DIALOGKEY, VK_RETURN));
    EXPECT_EQ(1, Form->ClicksOf(ok));
}

TEST_F(StdCtrlsButton, AltAndTheAcceleratorClick)
{
    auto* save = Add<TButton>(10, 10, 75, 25);
    auto* spice = Add<TButton>(90, 10, 75, 25);
    save->SetCaption("&Save");
    spice->SetCaption("Salt && &Pepper");
    save->OnClick = ClickHandler();
    spice->OnClick = ClickHandler();
    save->SetModalResult(mrYes);
    EXPECT_EQ(1, save->Perform(CM_DIALOGCHAR, 's'));
    EXPECT_EQ(1, Form->ClicksOf(save));
    EXPECT_EQ(mrYes, Form->ModalResult);
    EXPECT_EQ(1, save->Perform(CM_DIALOGCHAR, 'S'));
    EXPECT_EQ(0, save->Perform(CM_DIALOGCHAR, 'a'));
    EXPECT_EQ(2, Form->ClicksOf(save));
    EXPECT_EQ(0, spice->Perform(CM_DIALOGCHAR, 's'));
    EXPECT_EQ(1, spice->Perform(CM_DIALOGCHAR, 'p'));
    EXPECT_EQ(1, Form->ClicksOf(spice));
}

TEST_F(StdCtrlsButton, AltAndTheAcceleratorReachAButtonInsideAContainer)
{
    auto* box = Add<TGroupBox>(10, 10, 200, 100);
    auto* go = Add<TButton>(10, 20, 75, 25, box);
    auto* hidden = Add<TButton>(100, 20, 75, 25, box);
    auto* edit = Add<TEdit>(10, 120, 100, 21);
    go->SetCaption("&Go");
    hidden->SetCaption("&Gone");
    hidden->SetVisible(false);
    go->OnClick = ClickHandler();
    hidden->OnClick = ClickHandler();
    // Alt+G typed in the edit: the message loop hands it to the form, which
    // passes it down to the container's children.
    Form->Show();
    edit->SetFocus();
    PostMessageA(edit->Handle(), WM_SYSCHAR, 'g', 1 << 29);
    Application->ProcessMessages();
    EXPECT_EQ(1, Form->ClicksOf(go));
    EXPECT_EQ(0, Form->ClicksOf(hidden));
    EXPECT_EQ(0, Form->Perform(CM_DIALOGCHAR, 'x'));
}

TEST_F(StdCtrlsButton, DefaultIsThePlatformsDefaultPushButton)
{
    auto* button = new TButton(Form);
    button->SetDefault(true);
    button->SetParent(Form);
    EXPECT_EQ(DWORD(BS_DEFPUSHBUTTON), Style(button) & BS_TYPEMASK);
    button->SetDefault(false);
    EXPECT_EQ(DWORD(BS_PUSHBUTTON), Style(button) & BS_TYPEMASK);
    button->SetCaption("Renamed");
    EXPECT_EQ("Renamed", WindowText(button));
}

// --- Bitmap buttons -------------------------------------------------------------

class StdCtrlsBitBtn : public StdCtrlsTest {};

TEST_F(StdCtrlsBitBtn, KindsGiveResultRoleAndCaption)
{
    struct Expected {
        TBitBtnKind Kind;
        int Result;
        bool Default, Cancel;
        const char* Caption;
    };
    const Expected kinds[] = {
        {bkOK, mrOk, true, false, "OK"},           {bkCancel, mrCancel, false, true, "Cancel"},
        {bkHelp, mrNone, false, false, "&Help"},   {bkYes, mrYes, true, false, "&Yes"},
        {bkNo, mrNo, false, true, "&No"},          {bkClose, mrNone, false, false, "&Close"},
        {bkAbort, mrAbort, false, false, "Abort"}, {bkRetry, mrRetry, false, false, "&Retry"},
        {bkIgnore, mrIgnore, false, false, "&Ignore"}, {bkAll, mrAll, false, false, "&All"},
    };
    for (const Expected& e : kinds) {
        auto* button = Add<TBitBtn>(10, 10, 75, 25);
        button->SetKind(e.Kind);
        EXPECT_EQ(e.Result, button->ModalResult()) << e.Caption;
        EXPECT_EQ(e.Default, button->Default()) << e.Caption;
        EXPECT_EQ(e.Cancel, button->Cancel()) << e.Caption;
        EXPECT_EQ(e.Caption, button->Caption());
        button->Free();
    }

    // A caption of the program's own stays; a kind's own follows the kind.
    auto* named = Add<TBitBtn>(10, 10, 75, 25);
    named->SetCaption("Go");
    named->SetKind(bkOK);
    EXPECT_EQ("Go", named->Caption());
    auto* button = Add<TBitBtn>(10, 40, 75, 25);
    button->SetKind(bkOK);
    button->SetKind(bkCancel);
    EXPECT_EQ("Cancel", button->Caption());
    EXPECT_FALSE(button->Default());
    EXPECT_TRUE(button->Cancel());
    EXPECT_EQ(mrCancel, button->ModalResult());
}

TEST_F(StdCtrlsBitBtn, TheCloseKindClosesTheForm)
{
    auto* button = Add<TBitBtn>(10, 10, 75, 25);
    button->SetKind(bkClose);
    button->OnClick = ClickHandler();
    ASSERT_TRUE(Form->Visible());
    Click(button);
    EXPECT_EQ(1, Form->ClicksOf(button));
    EXPECT_FALSE(Form->Visible());
    EXPECT_EQ(mrNone, Form->ModalResult);
}

// 16x16 of lime with the transparent colour in its bottom-left corner.
void MakeGlyph(TBitmap& glyph, int images, const std::vector<TColor>& colors)
{
    glyph.SetSize(16 * images, 16);
    for (int i = 0; i < images; ++i) {
        glyph.Canvas()->Brush()->SetColor(colors[size_t(i)]);
        glyph.Canvas()->FillRect(RECT{16 * i, 0, 16 * (i + 1), 16});
    }
    glyph.Canvas()->SetPixel(0, 15, clFuchsia);
}

TEST_F(StdCtrlsBitBtn, TheGlyphIsDrawnBesideTheCaption)
{
    TBitmap glyph;
    MakeGlyph(glyph, 1, {clLime});
    auto* button = Add<TBitBtn>(10, 10, 100, 40);
    button->SetCaption("Go");
    button->SetMargin(6);
    EXPECT_EQ(DWORD(BS_PUSHBUTTON), Style(button) & BS_TYPEMASK);
    button->SetGlyph(&glyph);
    EXPECT_EQ(DWORD(BS_OWNERDRAW), Style(button) & BS_TYPEMASK);
    EXPECT_EQ(16, button->Glyph()->Width());

    auto shot = Snapshot(Form);
    int x = 10 + 6, y = 10 + (40 - 16) / 2;
    EXPECT_EQ(RGB(0, 255, 0), PixelAt(*shot, x + 8, y + 8));
    EXPECT_EQ(RGB(0, 255, 0), PixelAt(*shot, x + 15, y));
    EXPECT_EQ(RGB(0, 255, 0), PixelAt(*shot, x, y));
    // The transparent corner shows the button's face.
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), PixelAt(*shot, x, y + 15));
    EXPECT_NE(RGB(0, 255, 0), PixelAt(*shot, x - 1, y + 8));

    button->SetLayout(blGlyphRight);
    shot = Snapshot(Form);
    int right = 10 + 100 - 6 - 16;
    EXPECT_EQ(RGB(0, 255, 0), PixelAt(*shot, right + 8, y + 8));
    EXPECT_NE(RGB(0, 255, 0), PixelAt(*shot, x + 8, y + 8));

    button->SetLayout(blGlyphTop);
    shot = Snapshot(Form);
    EXPECT_EQ(RGB(0, 255, 0), PixelAt(*shot, 10 + (100 - 16) / 2 + 8, 10 + 6 + 8));

    // Without a glyph it is a plain platform button again.
    button->SetGlyph(nullptr);
    EXPECT_EQ(DWORD(BS_PUSHBUTTON), Style(button) & BS_TYPEMASK);
    EXPECT_EQ("Go", WindowText(button));
}

TEST_F(StdCtrlsBitBtn, NumGlyphsPicksTheDisabledImage)
{
    TBitmap glyph;
    MakeGlyph(glyph, 2, {clLime, clBlue});
    auto* button = Add<TBitBtn>(10, 10, 100, 40);
    button->SetMargin(6);
    button->SetNumGlyphs(2);
    button->SetGlyph(&glyph);
    int x = 10 + 6, y = 10 + (40 - 16) / 2;
    auto shot = Snapshot(Form);
    EXPECT_EQ(RGB(0, 255, 0), PixelAt(*shot, x + 8, y + 8));
    // Only one image wide: the second image is not drawn beside the first.
    EXPECT_NE(RGB(0, 0, 255), PixelAt(*shot, x + 16 + 8, y + 8));
    button->SetEnabled(false);
    shot = Snapshot(Form);
    EXPECT_EQ(RGB(0, 0, 255), PixelAt(*shot, x + 8, y + 8));
}

// --- Edits ------------------------------------------------------------------

class StdCtrlsEdit : public StdCtrlsTest {};

TEST_F(StdCtrlsEdit, OnChangeRunsOnlyForRealChanges)
{
    auto* edit = Add<TEdit>(10, 10, 120, 21);
    edit->OnChange = ChangeHandler();
    EXPECT_TRUE(edit->TabStop());
    edit->SetText("abc");
    EXPECT_EQ(1, Form->ChangesOf(edit));
    edit->SetText("abc");
    EXPECT_EQ(1, Form->ChangesOf(edit));
    SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    EXPECT_EQ(1, Form->ChangesOf(edit));
    SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abd"));
    EXPECT_EQ(2, Form->ChangesOf(edit));
    EXPECT_EQ("abd", edit->Text());

    edit->SetSelStart(3);
    Type(edit, "x");
    EXPECT_EQ("abdx", edit->Text());
    EXPECT_EQ(3, Form->ChangesOf(edit));
    Type(edit, "\b");
    EXPECT_EQ("abd", edit->Text());
    EXPECT_EQ(4, Form->ChangesOf(edit));
    edit->Clear();
    EXPECT_EQ("", edit->Text());
    EXPECT_EQ(5, Form->ChangesOf(edit));
    edit->Clear();
    EXPECT_EQ(5, Form->ChangesOf(edit));
}

TEST_F(StdCtrlsEdit, OnChangeAndSettingsWithoutAWindow)
{
    auto* edit = new TEdit(Form);
    edit->OnChange = ChangeHandler();
    edit->SetText("one");
    edit->SetText("one");
    EXPECT_EQ(1, Form->ChangesOf(edit));
    edit->SetMaxLength(5);
    edit->SetPasswordChar('#');
    edit->SetModified(true);
    EXPECT_FALSE(edit->HandleAllocated());
    edit->SetParent(Form);
    ASSERT_TRUE(edit->HandleAllocated());
    EXPECT_EQ("one", WindowText(edit));
    EXPECT_EQ(5, SendMessageA(edit->Handle(), EM_GETLIMITTEXT, 0, 0));
    EXPECT_EQ('#', SendMessageA(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0));
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(1, Form->ChangesOf(edit));
}

TEST_F(StdCtrlsEdit, TypedTextSurvivesANewWindow)
{
    auto* edit = Add<TEdit>(10, 10, 120, 21);
    edit->OnChange = ChangeHandler();
    EXPECT_NE(0u, ExStyle(edit) & WS_EX_CLIENTEDGE);
    Type(edit, "hi");
    EXPECT_EQ(2, Form->ChangesOf(edit));
    edit->SetBorderStyle(bsNone);
    EXPECT_EQ(0u, ExStyle(edit) & WS_EX_CLIENTEDGE);
    EXPECT_EQ("hi", edit->Text());
    EXPECT_EQ("hi", WindowText(edit));
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(2, Form->ChangesOf(edit));
    edit->SetBorderStyle(bsSingle);
    EXPECT_NE(0u, ExStyle(edit) & WS_EX_CLIENTEDGE);
}

TEST_F(StdCtrlsEdit, MaxLengthReadOnlyAndPasswordReachTheWindow)
{
    auto* edit = Add<TEdit>(10, 10, 120, 21);
    edit->SetMaxLength(3);
    EXPECT_EQ(3, SendMessageA(edit->Handle(), EM_GETLIMITTEXT, 0, 0));
    Type(edit, "abcde");
    EXPECT_EQ("abc", edit->Text());
    edit->SetReadOnly(true);
    EXPECT_NE(0u, Style(edit) & ES_READONLY);
    edit->SetSelStart(3);
    Type(edit, "z");
    EXPECT_EQ("abc", edit->Text());
    edit->SetReadOnly(false);
    EXPECT_EQ(0u, Style(edit) & ES_READONLY);
    edit->SetPasswordChar('*');
    EXPECT_EQ('*', SendMessageA(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0));
    EXPECT_EQ("abc", edit->Text());
}

TEST_F(StdCtrlsEdit, SelectionAndModified)
{
    auto* edit = Add<TEdit>(10, 10, 150, 21);
    edit->OnChange = ChangeHandler();
    edit->SetText("hello world");
    edit->SetSelStart(6);
    edit->SetSelLength(5);
    EXPECT_EQ(6, edit->SelStart());
    EXPECT_EQ(5, edit->SelLength());
    EXPECT_EQ("world", edit->SelText());
    edit->SetSelText("there");
    EXPECT_EQ("hello there", edit->Text());
    EXPECT_EQ(2, Form->ChangesOf(edit));
    edit->SelectAll();
    EXPECT_EQ(0, edit->SelStart());
    EXPECT_EQ(11, edit->SelLength());

    edit->SetModified(false);
    EXPECT_FALSE(edit->Modified());
    edit->SetSelStart(11);
    Type(edit, "!");
    EXPECT_TRUE(edit->Modified());
    edit->SetModified(false);
    EXPECT_FALSE(edit->Modified());
}

TEST_F(StdCtrlsEdit, CharCaseConvertsOldAndNewText)
{
    auto* edit = Add<TEdit>(10, 10, 120, 21);
    edit->SetText("MiXed");
    edit->SetCharCase(ecUpperCase);
    EXPECT_NE(0u, Style(edit) & ES_UPPERCASE);
    EXPECT_EQ("MIXED", edit->Text());
    edit->SetSelStart(5);
    Type(edit, "q");
    EXPECT_EQ("MIXEDQ", edit->Text());
    edit->SetCharCase(ecLowerCase);
    EXPECT_EQ("mixedq", edit->Text());
    edit->SetText("ABC");
    EXPECT_EQ("abc", edit->Text());
    edit->SetCharCase(ecNormal);
    edit->SetText("AbC");
    EXPECT_EQ("AbC", edit->Text());
}

TEST_F(StdCtrlsEdit, ColoursComeFromColorAndFont)
{
    auto* edit = Add<TEdit>(10, 10, 120, 21);
    EXPECT_FALSE(edit->ParentColor());
    EXPECT_EQ(clWindow, edit->Color());
    edit->SetColor(clYellow);
    edit->Font()->SetColor(clRed);
    for (UINT query : {UINT(WM_CTLCOLOREDIT), UINT(WM_CTLCOLORSTATIC)}) {
        HDC dc = GetDC(edit->Handle());
        SetBkColor(dc, RGB(1, 2, 3));
        SetTextColor(dc, RGB(1, 2, 3));
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(Form->Handle(), query, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit->Handle())));
        EXPECT_EQ(edit->Brush()->Handle(), brush);
        LOGBRUSH info = {};
        GetObjectA(brush, sizeof info, &info);
        EXPECT_EQ(RGB(255, 255, 0), info.lbColor);
        EXPECT_EQ(RGB(255, 255, 0), GetBkColor(dc));
        EXPECT_EQ(RGB(255, 0, 0), GetTextColor(dc));
        ReleaseDC(edit->Handle(), dc);
    }
}

TEST_F(StdCtrlsEdit, AutoSelectSelectsAllWhenTheFocusArrives)
{
    auto* first = Add<TEdit>(10, 10, 120, 21);
    auto* second = Add<TEdit>(10, 40, 120, 21);
    second->SetText("select me");
    first->SetFocus();
    second->SetFocus();
    EXPECT_EQ(0, second->SelStart());
    EXPECT_EQ(9, second->SelLength());
    second->SetAutoSelect(false);
    second->SetSelStart(2);
    first->SetFocus();
    second->SetFocus();
    EXPECT_EQ(0, second->SelLength());
}

// --- Memos ------------------------------------------------------------------

class StdCtrlsMemo : public StdCtrlsTest {};

TEST_F(StdCtrlsMemo, LinesWorkBeforeTheWindowExists)
{
    auto* memo = new TMemo(Form);
    TStrings* lines = memo->Lines();
    EXPECT_EQ(0, lines->Count());
    lines->Add("one");
    lines->Add("two");
    lines->Insert(1, "between");
    ASSERT_EQ(3, lines->Count());
    EXPECT_EQ("one", lines->Get(0));
    EXPECT_EQ("between", lines->Get(1));
    EXPECT_EQ("two", lines->Get(2));
    EXPECT_EQ("one\r\nbetween\r\ntwo\r\n", memo->Text());
    lines->Put(2, "three");
    lines->Delete(0);
    EXPECT_EQ("between\r\nthree\r\n", lines->Text());
    lines->Add("");
    EXPECT_EQ(3, lines->Count());
    EXPECT_EQ("", lines->Get(2));
    EXPECT_THROW(lines->Get(3), EListError);
    EXPECT_THROW(lines->Insert(5, "x"), EListError);
    EXPECT_FALSE(memo->HandleAllocated());

    memo->SetParent(Form);
    ASSERT_TRUE(memo->HandleAllocated());
    EXPECT_EQ("between\r\nthree\r\n\r\n", WindowText(memo));
    EXPECT_EQ(3, lines->Count());
    lines->Clear();
    EXPECT_EQ(0, lines->Count());
    EXPECT_EQ("", WindowText(memo));
}

TEST_F(StdCtrlsMemo, LinesFollowTheWindowOnceItExists)
{
    auto* memo = Add<TMemo>(10, 10, 200, 100);
    TStrings* lines = memo->Lines();
    SendMessageA(memo->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a\r\nb"));
    ASSERT_EQ(2, lines->Count());
    EXPECT_EQ("b", lines->Get(1));
    memo->SetSelStart(4);
    Type(memo, "\rc");
    ASSERT_EQ(3, lines->Count());
    EXPECT_EQ("c", lines->Get(2));
    lines->Insert(0, "first");
    EXPECT_EQ("first\r\na\r\nb\r\nc\r\n", WindowText(memo));
    lines->Put(1, "A");
    lines->Delete(2);
    EXPECT_EQ("first\r\nA\r\nc\r\n", WindowText(memo));
    lines->SetText("x\ny");
    EXPECT_EQ("x\r\ny\r\n", WindowText(memo));
}

TEST_F(StdCtrlsMemo, OnChangeOncePerChange)
{
    auto* memo = Add<TMemo>(10, 10, 200, 100);
    memo->OnChange = ChangeHandler();
    memo->Lines()->Add("x");
    EXPECT_EQ(1, Form->ChangesOf(memo));
    memo->Lines()->BeginUpdate();
    memo->Lines()->Add("a");
    memo->Lines()->Add("b");
    memo->Lines()->Add("c");
    EXPECT_EQ(1, Form->ChangesOf(memo));
    memo->Lines()->EndUpdate();
    EXPECT_EQ(2, Form->ChangesOf(memo));
    EXPECT_EQ(4, memo->Lines()->Count());
    // A multi-line EDIT sends no EN_CHANGE for WM_SETTEXT; the memo notices anyway.
    SendMessageA(memo->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new"));
    EXPECT_EQ(3, Form->ChangesOf(memo));
    SendMessageA(memo->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new"));
    EXPECT_EQ(3, Form->ChangesOf(memo));
    memo->Lines()->Clear();
    memo->Lines()->Clear();
    EXPECT_EQ(4, Form->ChangesOf(memo));
}

TEST_F(StdCtrlsMemo, StylesFollowThePropertiesAndKeepTheLines)
{
    auto* memo = Add<TMemo>(10, 10, 200, 100);
    memo->Lines()->Add("kept");
    DWORD style = Style(memo);
    EXPECT_NE(0u, style & ES_MULTILINE);
    EXPECT_NE(0u, style & ES_WANTRETURN);
    EXPECT_EQ(0u, style & ES_AUTOHSCROLL);
    EXPECT_EQ(0u, style & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_NE(0u, ExStyle(memo) & WS_EX_CLIENTEDGE);

    memo->SetScrollBars(ssBoth);
    EXPECT_EQ(DWORD(WS_HSCROLL | WS_VSCROLL), Style(memo) & (WS_HSCROLL | WS_VSCROLL));
    memo->SetScrollBars(ssVertical);
    EXPECT_EQ(DWORD(WS_VSCROLL), Style(memo) & (WS_HSCROLL | WS_VSCROLL));
    memo->SetWordWrap(false);
    EXPECT_NE(0u, Style(memo) & ES_AUTOHSCROLL);
    memo->SetAlignment(taCenter);
    EXPECT_NE(0u, Style(memo) & ES_CENTER);
    memo->SetAlignment(taRightJustify);
    EXPECT_NE(0u, Style(memo) & ES_RIGHT);
    memo->SetWantReturns(false);
    EXPECT_EQ(0u, Style(memo) & ES_WANTRETURN);
    ASSERT_EQ(1, memo->Lines()->Count());
    EXPECT_EQ("kept", memo->Lines()->Get(0));
}

TEST_F(StdCtrlsMemo, TabsAndReturnsAreTypedOnlyWhenWanted)
{
    auto* memo = Add<TMemo>(10, 10, 200, 100);
    MSG tab = {memo->Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    auto code = [&](MSG& msg) {
        return UINT(SendMessageA(memo->Handle(), WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)));
    };
    EXPECT_EQ(0u, code(tab) & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
    Type(memo, "a\tb");
    EXPECT_EQ("ab", memo->Text());
    memo->SetWantTabs(true);
    EXPECT_NE(0u, code(tab) & DLGC_WANTTAB);
    Type(memo, "\t");
    EXPECT_EQ("ab\t", memo->Text());

    MSG enter = {memo->Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_NE(0u, code(enter) & DLGC_WANTALLKEYS);
    memo->SetWantReturns(false);
    EXPECT_EQ(0u, code(enter) & DLGC_WANTALLKEYS);
    Type(memo, "\r");
    EXPECT_EQ(1, memo->Lines()->Count());
    memo->SetWantReturns(true);
    Type(memo, "\rz");
    EXPECT_EQ(2, memo->Lines()->Count());
}

TEST_F(StdCtrlsMemo, EnterStartsALineUnlessReturnsAreNotWanted)
{
    auto* memo = Add<TMemo>(10, 10, 200, 100);
    auto* ok = Add<TButton>(10, 120, 75, 25);
    auto* cancel = Add<TButton>(90, 120, 75, 25);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    ok->OnClick = ClickHandler();
    cancel->OnClick = ClickHandler();
    memo->SetFocus();
    PressKey(memo, VK_RETURN);
    EXPECT_EQ(0, Form->ClicksOf(ok));
    EXPECT_EQ("\r\n", memo->Text());
    // Escape is the form's even in a memo.
    PressKey(memo, VK_ESCAPE);
    EXPECT_EQ(1, Form->ClicksOf(cancel));

    memo->SetWantReturns(false);
    PressKey(memo, VK_RETURN);
    EXPECT_EQ(1, Form->ClicksOf(ok));
    EXPECT_EQ("\r\n", memo->Text());
}

// --- Check boxes and radio buttons --------------------------------------------

class StdCtrlsCheckBox : public StdCtrlsTest {};

TEST_F(StdCtrlsCheckBox, ClicksToggleAndRunOnClick)
{
    auto* box = Add<TCheckBox>(10, 10, 120, 17);
    box->OnClick = ClickHandler();
    EXPECT_EQ(DWORD(BS_AUTOCHECKBOX), Style(box) & BS_TYPEMASK);
    EXPECT_EQ(0u, box->ControlStyle & csClickEvents);
    Click(box);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(cbChecked, box->State());
    EXPECT_EQ(BST_CHECKED, CheckState(box));
    EXPECT_EQ(1, Form->ClicksOf(box));
    Click(box);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(BST_UNCHECKED, CheckState(box));
    EXPECT_EQ(2, Form->ClicksOf(box));
}

TEST_F(StdCtrlsCheckBox, TheProgramsChangesRunOnClickOnlyWhenTheStateChanges)
{
    auto* box = Add<TCheckBox>(10, 10, 120, 17);
    box->OnClick = ClickHandler();
    box->SetChecked(true);
    EXPECT_EQ(BST_CHECKED, CheckState(box));
    EXPECT_EQ(1, Form->ClicksOf(box));
    box->SetChecked(true);
    box->SetState(cbChecked);
    EXPECT_EQ(1, Form->ClicksOf(box));
    box->SetState(cbUnchecked);
    EXPECT_EQ(BST_UNCHECKED, CheckState(box));
    EXPECT_EQ(2, Form->ClicksOf(box));
}

TEST_F(StdCtrlsCheckBox, TheStateOutlivesTheWindow)
{
    auto* box = new TCheckBox(Form);
    box->SetAllowGrayed(true);
    box->SetState(cbGrayed);
    box->SetParent(Form);
    EXPECT_EQ(DWORD(BS_AUTO3STATE), Style(box) & BS_TYPEMASK);
    EXPECT_EQ(BST_INDETERMINATE, CheckState(box));
    EXPECT_EQ(0u, Style(box) & BS_LEFTTEXT);
    box->SetAlignment(taLeftJustify);
    EXPECT_NE(0u, Style(box) & BS_LEFTTEXT);
    EXPECT_EQ(BST_INDETERMINATE, CheckState(box));
    EXPECT_EQ(cbGrayed, box->State());
}

TEST_F(StdCtrlsCheckBox, AllowGrayedClicksThroughThreeStates)
{
    auto* box = Add<TCheckBox>(10, 10, 120, 17);
    box->OnClick = ClickHandler();
    box->SetAllowGrayed(true);
    EXPECT_EQ(DWORD(BS_AUTO3STATE), Style(box) & BS_TYPEMASK);
    Click(box);
    EXPECT_EQ(cbChecked, box->State());
    Click(box);
    EXPECT_EQ(cbGrayed, box->State());
    EXPECT_FALSE(box->Checked());
    Click(box);
    EXPECT_EQ(cbUnchecked, box->State());
    EXPECT_EQ(3, Form->ClicksOf(box));
    box->SetAllowGrayed(false);
    EXPECT_EQ(DWORD(BS_AUTOCHECKBOX), Style(box) & BS_TYPEMASK);
}

TEST_F(StdCtrlsCheckBox, ColoursFollowTheParent)
{
    Form->SetColor(FormColor);
    auto* box = Add<TCheckBox>(10, 10, 120, 17);
    HDC dc = GetDC(box->Handle());
    auto query = [&] {
        return reinterpret_cast<HBRUSH>(SendMessageA(Form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(box->Handle())));
    };
    EXPECT_EQ(Form->Brush()->Handle(), query());
    EXPECT_EQ(ColorToRGB(FormColor), GetBkColor(dc));
    box->SetColor(clAqua);
    EXPECT_EQ(box->Brush()->Handle(), query());
    EXPECT_EQ(RGB(0, 255, 255), GetBkColor(dc));
    ReleaseDC(box->Handle(), dc);
}

TEST_F(StdCtrlsCheckBox, TheAcceleratorFocusesAndToggles)
{
    auto* box = Add<TCheckBox>(10, 10, 120, 17);
    box->SetCaption("&Loud");
    box->OnClick = ClickHandler();
    EXPECT_EQ(0, box->Perform(CM_DIALOGCHAR, 'o'));
    EXPECT_EQ(1, box->Perform(CM_DIALOGCHAR, 'l'));
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(box->Handle(), GetFocus());
    EXPECT_EQ(1, Form->ClicksOf(box));
}

class StdCtrlsRadioButton : public StdCtrlsTest {};

TEST_F(StdCtrlsRadioButton, CheckingOneUnchecksItsSiblingsOnly)
{
    auto* first = Add<TRadioButton>(10, 10, 100, 17);
    auto* second = Add<TRadioButton>(10, 30, 100, 17);
    auto* third = Add<TRadioButton>(10, 50, 100, 17);
    auto* group = Add<TGroupBox>(150, 10, 150, 80);
    auto* apart = Add<TRadioButton>(10, 20, 100, 17, group);
    for (TRadioButton* r : {first, second, third, apart}) r->OnClick = ClickHandler();
    EXPECT_EQ(DWORD(BS_RADIOBUTTON), Style(first) & BS_TYPEMASK);

    Click(first);
    apart->SetChecked(true);
    EXPECT_TRUE(first->Checked());
    Click(second);
    EXPECT_FALSE(first->Checked());
    EXPECT_TRUE(second->Checked());
    EXPECT_FALSE(third->Checked());
    EXPECT_TRUE(apart->Checked());
    EXPECT_EQ(BST_UNCHECKED, CheckState(first));
    EXPECT_EQ(BST_CHECKED, CheckState(second));
    EXPECT_EQ(BST_CHECKED, CheckState(apart));
    // OnClick when a button becomes checked, not when it is unchecked or clicked again.
    Click(second);
    EXPECT_EQ(1, Form->ClicksOf(first));
    EXPECT_EQ(1, Form->ClicksOf(second));
    EXPECT_EQ(1, Form->ClicksOf(apart));
    EXPECT_EQ(0, Form->ClicksOf(third));
}

TEST_F(StdCtrlsRadioButton, TheProgramsCheckIsExclusiveAndMovesTheTabStop)
{
    auto* first = Add<TRadioButton>(10, 10, 100, 17);
    auto* second = Add<TRadioButton>(10, 30, 100, 17);
    first->SetChecked(true);
    EXPECT_TRUE(first->TabStop());
    EXPECT_FALSE(second->TabStop());
    second->SetChecked(true);
    EXPECT_FALSE(first->Checked());
    EXPECT_EQ(BST_UNCHECKED, CheckState(first));
    EXPECT_FALSE(first->TabStop());
    EXPECT_TRUE(second->TabStop());
    second->SetChecked(false);
    EXPECT_FALSE(first->Checked());
    EXPECT_EQ(BST_UNCHECKED, CheckState(second));
}

// --- Group boxes and radio groups -----------------------------------------------

class StdCtrlsGroupBox : public StdCtrlsTest {};

TEST_F(StdCtrlsGroupBox, DrawsAnEtchedFrameAndItsWindowlessChildren)
{
    Form->SetColor(FormColor);
    auto* group = Add<TGroupBox>(20, 20, 200, 120);
    group->SetCaption("Group");
    group->SetColor(clSilver);
    EXPECT_NE(0u, group->ControlStyle & csAcceptsControls);
    TLabel* label = AddLabel(20, 40, 60, 30, group);
    label->SetColor(LabelColor);
    auto shot = Snapshot(Form);
    int middle = 20 + 60;
    EXPECT_EQ(ColorToRGB(clBtnShadow), PixelAt(*shot, 20, middle));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), PixelAt(*shot, 21, middle));
    EXPECT_EQ(ColorToRGB(clBtnShadow), PixelAt(*shot, 20 + 198, middle));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), PixelAt(*shot, 20 + 199, middle));
    EXPECT_EQ(ColorToRGB(clBtnShadow), PixelAt(*shot, 20 + 100, 20 + 118));
    EXPECT_EQ(ColorToRGB(clSilver), PixelAt(*shot, 20 + 150, middle));
    EXPECT_EQ(ColorToRGB(LabelColor), PixelAt(*shot, 20 + 20 + 59, 20 + 40 + 29));
    EXPECT_EQ(ColorToRGB(FormColor), PixelAt(*shot, 19, middle));
}

TEST_F(StdCtrlsGroupBox, WindowlessChildrenTakeTheMouse)
{
    auto* group = Add<TGroupBox>(20, 20, 200, 120);
    TLabel* label = AddLabel(20, 40, 60, 30, group);
    label->OnClick = ClickHandler();
    SendMessageA(group->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 50));
    SendMessageA(group->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(30, 50));
    EXPECT_EQ(1, Form->ClicksOf(label));
    SendMessageA(group->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 50));
    SendMessageA(group->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 50));
    EXPECT_EQ(1, Form->ClicksOf(label));
}

TEST_F(StdCtrlsGroupBox, AlignedChildrenSitInsideTheFrameBelowTheCaption)
{
    auto* group = Add<TGroupBox>(20, 20, 200, 120);
    group->SetCaption("Group");
    auto* edit = Add<TEdit>(0, 0, 50, 21, group);
    edit->SetAlign(alClient);
    EXPECT_GE(edit->Top(), group->CaptionHeight());
    EXPECT_GE(edit->Left(), 2);
    EXPECT_LE(edit->Left() + edit->Width(), 198);
    EXPECT_LE(edit->Top() + edit->Height(), 118);
    EXPECT_GT(edit->Width(), 150);
}

TEST_F(StdCtrlsGroupBox, ACaptionChangeRepaints)
{
    auto* group = Add<TGroupBox>(20, 20, 200, 120);
    group->SetCaption("Group");
    ValidateRect(group->Handle(), nullptr);
    RECT r;
    EXPECT_FALSE(GetUpdateRect(group->Handle(), &r, FALSE));
    group->SetCaption("Other");
    EXPECT_TRUE(GetUpdateRect(group->Handle(), &r, FALSE));
}

class StdCtrlsRadioGroup : public StdCtrlsTest {};

TEST_F(StdCtrlsRadioGroup, ItemIndexBothWays)
{
    auto* group = Add<TRadioGroup>(20, 20, 200, 120);
    group->OnClick = ClickHandler();
    group->Items()->Add("a");
    group->Items()->Add("b");
    group->Items()->Add("c");
    ASSERT_EQ(3, group->ButtonCount());
    EXPECT_EQ(-1, group->ItemIndex());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(BST_UNCHECKED, CheckState(group->Buttons(i)));

    group->SetItemIndex(1);
    EXPECT_EQ(BST_CHECKED, CheckState(group->Buttons(1)));
    EXPECT_EQ(BST_UNCHECKED, CheckState(group->Buttons(0)));
    EXPECT_EQ(0, Form->ClicksOf(group));

    Click(group->Buttons(2));
    EXPECT_EQ(2, group->ItemIndex());
    EXPECT_EQ(1, Form->ClicksOf(group));
    EXPECT_EQ(BST_UNCHECKED, CheckState(group->Buttons(1)));
    Click(group->Buttons(2));
    EXPECT_EQ(1, Form->ClicksOf(group));

    group->SetItemIndex(-1);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(group->Buttons(i)->Checked());
    group->SetItemIndex(7);
    EXPECT_EQ(2, group->ItemIndex());
    EXPECT_TRUE(group->Buttons(2)->Checked());
    EXPECT_EQ(1, Form->ClicksOf(group));
    EXPECT_THROW(group->Buttons(3), EListError);
}

TEST_F(StdCtrlsRadioGroup, ChangingTheItemsRebuildsTheButtons)
{
    auto* group = Add<TRadioGroup>(20, 20, 200, 120);
    group->Items()->Add("a");
    group->Items()->Add("b");
    group->Items()->Add("c");
    group->SetItemIndex(1);
    group->Items()->Add("d");
    ASSERT_EQ(4, group->ButtonCount());
    EXPECT_EQ("d", group->Buttons(3)->Caption());
    EXPECT_TRUE(group->Buttons(1)->Checked());
    group->Items()->Delete(0);
    ASSERT_EQ(3, group->ButtonCount());
    EXPECT_EQ("b", group->Buttons(0)->Caption());
    EXPECT_EQ("d", WindowText(group->Buttons(2)));
    group->Items()->Put(0, "B");
    EXPECT_EQ("B", group->Buttons(0)->Caption());
    group->Items()->Clear();
    EXPECT_EQ(0, group->ButtonCount());
    EXPECT_EQ(-1, group->ItemIndex());
    EXPECT_EQ(0, group->ControlCount());
}

TEST_F(StdCtrlsRadioGroup, ColumnsShareTheClientArea)
{
    auto* group = Add<TRadioGroup>(20, 20, 200, 120);
    for (const char* item : {"a", "b", "c", "d"}) group->Items()->Add(item);
    auto left = [&](int i) { return group->Buttons(i)->Left(); };
    auto top = [&](int i) { return group->Buttons(i)->Top(); };
    // One column: one above the other, evenly.
    EXPECT_EQ(left(0), left(3));
    EXPECT_GT(top(1), top(0));
    EXPECT_EQ(top(1) - top(0), top(3) - top(2));

    group->SetColumns(2);
    EXPECT_EQ(left(0), left(1));
    EXPECT_EQ(left(2), left(3));
    EXPECT_GT(left(2), left(0));
    EXPECT_EQ(top(0), top(2));
    EXPECT_EQ(top(1), top(3));
    EXPECT_GT(top(1), top(0));
    for (int i = 0; i < 4; ++i) {
        TRadioButton* b = group->Buttons(i);
        EXPECT_GE(b->Top(), group->CaptionHeight());
        EXPECT_LE(b->Top() + b->Height(), group->Height());
        EXPECT_LE(b->Left() + b->Width(), group->Width());
        EXPECT_GT(b->Width(), 0);
    }
    int oldLeft = left(2);
    group->SetWidth(300);
    EXPECT_GT(left(2), oldLeft);
}

// --- Form resources -----------------------------------------------------------

class StdCtrlsStreaming : public StdCtrlsTest {
protected:
    std::string ErrorOf(const std::string& body)
    {
        auto* form = new TStdTestForm;
        std::string message;
        try {
            form->Read("object StdTestForm: TStdTestForm\n" + body + "end\n");
        } catch (const EReadError& e) {
            message = e.what();
        }
        form->Free();
        return message;
    }
};

// A 4x2 bitmap file as a form's binary value, optionally after its length.
std::string GlyphData(bool withLength)
{
    TBitmap bitmap;
    bitmap.SetSize(4, 2);
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    std::vector<uint8_t> bytes = stream.Bytes();
    if (withLength) {
        uint32_t size = uint32_t(bytes.size());
        bytes.insert(bytes.begin(), reinterpret_cast<uint8_t*>(&size), reinterpret_cast<uint8_t*>(&size) + 4);
    }
    std::string hex;
    for (uint8_t b : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", b);
        hex += pair;
    }
    return "{" + hex + "}";
}

TEST_F(StdCtrlsStreaming, EveryClassReadsItsProperties)
{
    std::string text = R"(object StdTestForm: TStdTestForm
  object Label1: TLabel
    Left = 8
    Top = 8
    Width = 90
    Height = 30
    Caption = '&Name'
    Alignment = taRightJustify
    Layout = tlCenter
    WordWrap = True
    AutoSize = False
    Transparent = True
    ShowAccelChar = False
    FocusControl = Edit1
  end
  object Edit1: TEdit
    Left = 100
    Top = 8
    Text = 'hello'
    MaxLength = 20
    ReadOnly = True
    PasswordChar = '*'
    AutoSelect = False
    CharCase = ecUpperCase
    BorderStyle = bsNone
    OnChange = Changed
  end
  object Memo1: TMemo
    Top = 40
    Lines.Strings = (
      'first'
      'second')
    ScrollBars = ssVertical
    WordWrap = False
    WantReturns = False
    WantTabs = True
    Alignment = taCenter
    MaxLength = 100
    OnChange = Changed
  end
  object Button1: TButton
    Top = 140
    Caption = 'Go'
    Default = True
    Cancel = True
    ModalResult = 1
    OnClick = Clicked
  end
  object BitBtn1: TBitBtn
    Left = 100
    Top = 140
    Kind = bkYes
    Layout = blGlyphTop
    Margin = 2
    Spacing = 6
    NumGlyphs = 2
    ModalResult = mrRetry
    Glyph.Data = )" + GlyphData(true) + R"(
  end
  object BitBtn2: TBitBtn
    Left = 200
    Top = 140
    Glyph.Data = )" + GlyphData(false) + R"(
  end
  object Check1: TCheckBox
    Top = 170
    OnClick = Clicked
    Caption = 'Check'
    AllowGrayed = True
    State = cbGrayed
    Alignment = taLeftJustify
  end
  object Check2: TCheckBox
    Top = 190
    Checked = True
  end
  object Radio1: TRadioButton
    Top = 210
    Checked = True
  end
  object Group1: TGroupBox
    Left = 200
    Top = 170
    Caption = 'Group'
    object Radio2: TRadioButton
      Checked = True
    end
  end
  object RadioGroup1: TRadioGroup
    Left = 250
    Top = 8
    Width = 180
    Height = 100
    Caption = 'Choose'
    ItemIndex = 1
    Columns = 2
    Items.Strings = (
      'a'
      'b'
      'c')
    OnClick = Clicked
  end
end
)";
    Form->Read(text);
    auto* label = Form->FindComponent<TLabel>("Label1");
    auto* edit = Form->FindComponent<TEdit>("Edit1");
    auto* memo = Form->FindComponent<TMemo>("Memo1");
    auto* button = Form->FindComponent<TButton>("Button1");
    auto* bitBtn = Form->FindComponent<TBitBtn>("BitBtn1");
    auto* bitBtn2 = Form->FindComponent<TBitBtn>("BitBtn2");
    auto* check = Form->FindComponent<TCheckBox>("Check1");
    auto* check2 = Form->FindComponent<TCheckBox>("Check2");
    auto* radio1 = Form->FindComponent<TRadioButton>("Radio1");
    auto* radio2 = Form->FindComponent<TRadioButton>("Radio2");
    auto* group = Form->FindComponent<TGroupBox>("Group1");
    auto* radioGroup = Form->FindComponent<TRadioGroup>("RadioGroup1");
    ASSERT_TRUE(label && edit && memo && button && bitBtn && bitBtn2 && check && check2 && radio1 && radio2 && group && radioGroup);

    EXPECT_EQ("&Name", label->Caption());
    EXPECT_EQ(taRightJustify, label->Alignment());
    EXPECT_EQ(tlCenter, label->Layout());
    EXPECT_TRUE(label->WordWrap());
    EXPECT_FALSE(label->AutoSize());
    EXPECT_EQ(90, label->Width());
    EXPECT_TRUE(label->Transparent());
    EXPECT_FALSE(label->ShowAccelChar());
    EXPECT_EQ(edit, label->FocusControl());

    EXPECT_EQ("HELLO", edit->Text());
    EXPECT_EQ(20, edit->MaxLength());
    EXPECT_TRUE(edit->ReadOnly());
    EXPECT_EQ('*', edit->PasswordChar());
    EXPECT_FALSE(edit->AutoSelect());
    EXPECT_EQ(ecUpperCase, edit->CharCase());
    EXPECT_EQ(bsNone, edit->BorderStyle());
    EXPECT_EQ(0u, ExStyle(edit) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(20, SendMessageA(edit->Handle(), EM_GETLIMITTEXT, 0, 0));

    ASSERT_EQ(2, memo->Lines()->Count());
    EXPECT_EQ("second", memo->Lines()->Get(1));
    EXPECT_EQ("first\r\nsecond\r\n", WindowText(memo));
    EXPECT_EQ(ssVertical, memo->ScrollBars());
    EXPECT_FALSE(memo->WordWrap());
    EXPECT_FALSE(memo->WantReturns());
    EXPECT_TRUE(memo->WantTabs());
    EXPECT_EQ(taCenter, memo->Alignment());
    EXPECT_EQ(100, memo->MaxLength());
    EXPECT_NE(0u, Style(memo) & WS_VSCROLL);

    EXPECT_EQ("Go", button->Caption());
    EXPECT_TRUE(button->Default());
    EXPECT_TRUE(button->Cancel());
    EXPECT_EQ(mrOk, button->ModalResult());

    EXPECT_EQ(bkYes, bitBtn->Kind());
    EXPECT_EQ("&Yes", bitBtn->Caption());
    EXPECT_TRUE(bitBtn->Default());
    EXPECT_EQ(blGlyphTop, bitBtn->Layout());
    EXPECT_EQ(2, bitBtn->Margin());
    EXPECT_EQ(6, bitBtn->Spacing());
    EXPECT_EQ(2, bitBtn->NumGlyphs());
    EXPECT_EQ(mrRetry, bitBtn->ModalResult());
    EXPECT_EQ(4, bitBtn->Glyph()->Width());
    EXPECT_EQ(2, bitBtn->Glyph()->Height());
    EXPECT_EQ(DWORD(BS_OWNERDRAW), Style(bitBtn) & BS_TYPEMASK);
    EXPECT_EQ(4, bitBtn2->Glyph()->Width());

    EXPECT_EQ(cbGrayed, check->State());
    EXPECT_TRUE(check->AllowGrayed());
    EXPECT_EQ(taLeftJustify, check->Alignment());
    EXPECT_EQ(BST_INDETERMINATE, CheckState(check));
    EXPECT_TRUE(check2->Checked());

    // Different parents: both stay checked.
    EXPECT_TRUE(radio1->Checked());
    EXPECT_TRUE(radio2->Checked());
    EXPECT_EQ(group, radio2->Parent());
    EXPECT_EQ("Group", group->Caption());

    EXPECT_EQ("Choose", radioGroup->Caption());
    EXPECT_EQ(2, radioGroup->Columns());
    ASSERT_EQ(3, radioGroup->ButtonCount());
    EXPECT_EQ(1, radioGroup->ItemIndex());
    EXPECT_TRUE(radioGroup->Buttons(1)->Checked());
    EXPECT_GT(radioGroup->Buttons(2)->Left(), radioGroup->Buttons(0)->Left());

    // Nothing ran while the form was read.
    EXPECT_TRUE(Form->Clicks.empty());
    EXPECT_TRUE(Form->Changes.empty());
    // The handlers are bound.
    Click(button);
    EXPECT_EQ(1, Form->ClicksOf(button));
    Click(radioGroup->Buttons(0));
    EXPECT_EQ(1, Form->ClicksOf(radioGroup));
    memo->Lines()->Add("third");
    EXPECT_EQ(1, Form->ChangesOf(memo));
}

TEST_F(StdCtrlsStreaming, WrongValuesNameTheFormAndTheLine)
{
    auto object = [](const std::string& cls, const std::string& property) {
        return "  object X: " + cls + "\n    " + property + "\n  end\n";
    };
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value taMiddle", ErrorOf(object("TLabel", "Alignment = taMiddle")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value tlMiddle", ErrorOf(object("TLabel", "Layout = tlMiddle")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value bkMaybe", ErrorOf(object("TBitBtn", "Kind = bkMaybe")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value blGlyphAround", ErrorOf(object("TBitBtn", "Layout = blGlyphAround")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value mrPerhaps", ErrorOf(object("TButton", "ModalResult = mrPerhaps")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value ecTitle", ErrorOf(object("TEdit", "CharCase = ecTitle")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value bsDialog", ErrorOf(object("TEdit", "BorderStyle = bsDialog")));
    EXPECT_EQ("Form TStdTestForm, line 3: PasswordChar: one character expected",
              ErrorOf(object("TEdit", "PasswordChar = '**'")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value ssDiagonal", ErrorOf(object("TMemo", "ScrollBars = ssDiagonal")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value taJustify", ErrorOf(object("TMemo", "Alignment = taJustify")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value cbMaybe", ErrorOf(object("TCheckBox", "State = cbMaybe")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown value taCentre", ErrorOf(object("TRadioButton", "Alignment = taCentre")));
    EXPECT_EQ("Form TStdTestForm, line 3: True or False expected, found Maybe",
              ErrorOf(object("TRadioButton", "Checked = Maybe")));
    EXPECT_EQ("Form TStdTestForm, line 3: a whole number expected, found a string",
              ErrorOf(object("TRadioGroup", "ItemIndex = '1'")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown property Items.Lines of TRadioGroup",
              ErrorOf(object("TRadioGroup", "Items.Lines = ('a')")));
    EXPECT_EQ("Form TStdTestForm, line 3: unknown property PasswordChar of TMemo",
              ErrorOf(object("TMemo", "PasswordChar = '*'")));
    EXPECT_EQ("Form TStdTestForm, line 3: no component named Nowhere",
              ErrorOf(object("TLabel", "FocusControl = Nowhere")));
}

}  // namespace

// The skinned buttons of both families: what construction and the kinds give
// them (the kinds' glyphs against the program's own bitmap resources), the
// glyph strip's cell count, geometry against text measured here, the pixels
// of the classic face, the styled face's bevel and the glyph in its grey and
// disabled forms; the real mouse (a press dragged off and released gives no
// click; a resting pointer keeps the button hot), the space bar, actions,
// and every published property read from a form text; and a modal dialog
// where Enter, Esc and an accelerator letter, typed on the keyboard, click
// their buttons. A picture of the dialog is kept as
// build/artifacts/skin-buttons.bmp.
#include "Action.h"
#include "Buttons.h"
#include "Edit.h"
#include "ImageList.h"
#include "RealInput.h"
#include "SavedPicture.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"
#include "SysUtils.h"
#include "Streams.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace RealInput;
using namespace SkinTest;

namespace {

// --- Pixels --------------------------------------------------------------------------

TKColor Sys(int index)
{
    const COLORREF c = GetSysColor(index);
    return 0xFF000000u | TKColor(GetRValue(c)) << 16 | TKColor(GetGValue(c)) << 8 | GetBValue(c);
}

TKColor Opaque(uint8_t r, uint8_t g, uint8_t b)
{
    return 0xFF000000u | TKColor(r) << 16 | TKColor(g) << 8 | b;
}

TKColor GreyOf(uint8_t g)
{
    return Opaque(g, g, g);
}

// A stale buffer brought up to date (the media family only marks it).
template <class B>
void Repaint(B* button)
{
    button->Invalidate();
    button->UpdateBuffer();
    GdiFlush();
}

template <class B>
TKColor At(B* button, int x, int y)
{
    return button->Buffer()->GetPixel(x, y);
}

// How many pixels of the control's area in its buffer have this colour.
template <class B>
int CountOf(B* button, TKColor color)
{
    int n = 0;
    for (int y = 0; y < button->Height(); ++y)
        for (int x = 0; x < button->Width(); ++x)
            if (At(button, x, y) == color) ++n;
    return n;
}

// A bitmap of 24 bits from rows of colours (0xRRGGBB).
void Fill(TBitmap* bitmap, const std::vector<std::vector<TKColor>>& rows)
{
    const int h = int(rows.size()), w = int(rows[0].size());
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bitmap->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = KBlue(rows[y][x]);
            row[3 * x + 1] = KGreen(rows[y][x]);
            row[3 * x + 2] = KRed(rows[y][x]);
        }
    }
}

// The program's bitmap resource as rows of 0xRRGGBB.
std::vector<std::vector<TKColor>> Resource(const char* name)
{
    std::vector<std::vector<TKColor>> rows;
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return rows;
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < bm.bmHeight; ++y) {
        rows.emplace_back();
        for (int x = 0; x < bm.bmWidth; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            rows.back().push_back(TKColor(GetRValue(c)) << 16 | TKColor(GetGValue(c)) << 8 | GetBValue(c));
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return rows;
}

std::vector<std::vector<TKColor>> Rows(TBitmap* bitmap)
{
    std::vector<std::vector<TKColor>> rows;
    const int bytes = bitmap->PixelFormat() == pf32bit ? 4 : 3;
    for (int y = 0; y < bitmap->Height(); ++y) {
        const uint8_t* row = bitmap->ScanLine(y);
        rows.emplace_back();
        for (int x = 0; x < bitmap->Width(); ++x) {
            const uint8_t* p = row + x * bytes;
            rows.back().push_back(TKColor(p[2]) << 16 | TKColor(p[1]) << 8 | p[0]);
        }
    }
    return rows;
}

// The text's size in font, measured on a screen-compatible context.
SIZE TextSize(TFont* font, const std::string& text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->Handle());
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    return SIZE{r.right, r.bottom};
}

// --- Fixtures ------------------------------------------------------------------------

struct TClicks : TObject {
    std::vector<TObject*> Senders;
    void Clicked(TObject* sender) { Senders.push_back(sender); }
    int Of(TObject* sender) const { return int(std::count(Senders.begin(), Senders.end(), sender)); }
};

class SkinButton : public SkinFormTest {
protected:
    void SetUp() override
    {
        RegisterSkinClasses();
        SkinFormTest::SetUp();
    }
    void TearDown() override
    {
        PointerAway();
        SkinFormTest::TearDown();
        Pump(20);
    }
    // On the host, which covers the form.
    template <class B>
    B* Button(int l, int t, int w, int h)
    {
        return Place<B>(Host, l, t, w, h);
    }
    void ShowForeground()
    {
        Show();
        SetForegroundWindow(Form->Handle());
        Form->Update();
        Pump(30);
    }
    // A button of each family on the host, width x 30 side by side, their
    // clicks counted.
    void PlaceBoth(int width)
    {
        Ks = Button<TEpButton>(20, 20, width, 30);
        Mp = Button<TMpMediaButton>(140, 20, width, 30);
        Ks->OnClick = MakeEvent<&TClicks::Clicked>(&Clicks);
        Mp->OnClick = MakeEvent<&TClicks::Clicked>(&Clicks);
    }
    // check(button) for each family's button, traced by its family.
    template <class Check>
    void ForBoth(Check check)
    {
        {
            SCOPED_TRACE("Ks");
            check(Ks);
        }
        {
            SCOPED_TRACE("Mp");
            check(Mp);
        }
    }
    TClicks Clicks;
    TEpButton* Ks = nullptr;
    TMpMediaButton* Mp = nullptr;
};

// The kind table, written out here.
struct TKindRow {
    TBitBtnKind Kind;
    const char* KsGlyph;
    const char* MpGlyph;
    const char* Caption;
    int ModalResult;
    bool Default;
};
const TKindRow KindRows[] = {
    {bkOK, "KSBTN_OK", "MP_BTN_OK", "OK", 1, true},
    {bkCancel, "KSBTN_CANCEL", "MP_BTN_CANCEL", "Cancel", 2, false},
    {bkHelp, "KSBTN_HELP", "MP_BTN_HELP", "&Help", 0, false},
    {bkYes, "KSBTN_YES", "MP_BTN_YES", "&Yes", 6, true},
    {bkNo, "KSBTN_NO", "MP_BTN_NO", "&No", 7, false},
    {bkClose, "KSBTN_CLOSE", "MP_BTN_CLOSE", "&Close", 0, false},
    {bkAbort, "KSBTN_ABORT", "MP_BTN_ABORT", "Abort", 3, false},
    {bkRetry, "KSBTN_RETRY", "MP_BTN_RETRY", "&Retry", 4, false},
    {bkIgnore, "KSBTN_IGNORE", "MP_BTN_IGNORE", "&Ignore", 5, false},
    {bkAll, "KSBTN_ALL", "MP_BTN_ALL", "&All", 8, false},
};

}  // namespace

// --- Construction, kinds, glyph strips -------------------------------------------------

TEST_F(SkinButton, StartsAsASeventyFiveByTwentyFiveTabStopThatLetsTheParentThrough)
{
    auto* ks = Button<TEpButton>(0, 0, 75, 25);
    auto* mp = Button<TMpMediaButton>(0, 0, 75, 25);
    auto* plain = new TKsCustomButton(Form);
    EXPECT_EQ(75, plain->Width());
    EXPECT_EQ(25, plain->Height());
    EXPECT_EQ("Button", plain->Caption());
    EXPECT_EQ("", (new TMpCustomButton(Form))->Caption());
    using TKsButton = TSkinButton<TKsFamily>;
    for (TKsButton* b : {static_cast<TKsButton*>(ks), static_cast<TKsButton*>(plain)}) {
        EXPECT_TRUE(b->TabStop());
        EXPECT_TRUE(b->Transparent());
        EXPECT_EQ(TColor(RGB(KRed(KsColors::ckBtnFace), KGreen(KsColors::ckBtnFace), KBlue(KsColors::ckBtnFace))),
                  b->Color());
        EXPECT_EQ(bkCustom, b->Kind());
        EXPECT_EQ(blGlyphLeft, b->Layout());
        EXPECT_EQ(4, b->Spacing());
        EXPECT_EQ(1, b->NumGlyphs());
        EXPECT_EQ(0, b->ModalResult());
        EXPECT_FALSE(b->Default());
        EXPECT_FALSE(b->BlackAndWhiteGlyph());
        EXPECT_TRUE(b->Glyph()->Empty());
        EXPECT_EQ(kbsNormal, b->State());
        EXPECT_TRUE(b->ControlStyle & csCaptureMouse);
        EXPECT_FALSE(b->ControlStyle & csClickEvents);
    }
    EXPECT_TRUE(mp->TabStop());
    EXPECT_TRUE(mp->Transparent());
    EXPECT_TRUE(ks->ShowBevel());
    EXPECT_EQ(2, ks->BevelWidth());
    EXPECT_EQ(2, mp->BevelWidth());
    EXPECT_EQ("2.1", ks->Version());
    EXPECT_EQ("2.8.0", mp->Version());
    ks->SetVersion("9");
    EXPECT_EQ("2.1", ks->Version());
}

TEST_F(SkinButton, KindsSetCaptionGlyphModalResultAndDefaultFromEachFamilysResources)
{
    auto* ks = Button<TEpButton>(0, 0, 75, 25);
    auto* mp = Button<TMpMediaButton>(100, 0, 75, 25);
    for (const TKindRow& row : KindRows) {
        SCOPED_TRACE(row.Caption);
        ks->SetKind(row.Kind);
        mp->SetKind(row.Kind);
        for (TBitmap* glyph : {ks->Glyph(), mp->Glyph()}) {
            ASSERT_EQ(32, glyph->Width());
            ASSERT_EQ(16, glyph->Height());
        }
        EXPECT_EQ(row.Caption, ks->Caption());
        EXPECT_EQ(row.Caption, mp->Caption());
        EXPECT_EQ(row.ModalResult, ks->ModalResult());
        EXPECT_EQ(row.ModalResult, mp->ModalResult());
        EXPECT_EQ(row.Default, ks->Default());
        EXPECT_EQ(row.Default, mp->Default());
        EXPECT_EQ(2, ks->NumGlyphs());
        EXPECT_EQ(2, mp->NumGlyphs());
        const auto ksPicture = Resource(row.KsGlyph), mpPicture = Resource(row.MpGlyph);
        ASSERT_EQ(16u, ksPicture.size()) << row.KsGlyph << " is not among the program's resources";
        ASSERT_EQ(16u, mpPicture.size()) << row.MpGlyph << " is not among the program's resources";
        EXPECT_TRUE(Rows(ks->Glyph()) == ksPicture);
        EXPECT_TRUE(Rows(mp->Glyph()) == mpPicture);
    }
    // Custom again: the last kind's glyph and caption stay.
    ks->SetKind(bkCustom);
    EXPECT_EQ(bkCustom, ks->Kind());
    EXPECT_EQ("&All", ks->Caption());
    EXPECT_EQ(32, ks->Glyph()->Width());
    EXPECT_EQ(8, ks->ModalResult());
    // The same kind again changes nothing, not even a caption set since.
    ks->SetKind(bkOK);
    ks->SetCaption("Fine");
    ks->SetKind(bkOK);
    EXPECT_EQ("Fine", ks->Caption());
}

TEST_F(SkinButton, AStoredCaptionSurvivesAKindReadFromTheSameFormText)
{
    for (const char* order : {"    Caption = 'Go'\n    Kind = bkOK\n", "    Kind = bkOK\n    Caption = 'Go'\n"}) {
        auto* form = new TForm(nullptr, 0);
        ReadFormText(form,
                     std::string("object F: TForm\n"
                                 "  object B1: TEpButton\n") +
                         order +
                         "  end\n"
                         "  object B2: TMpMediaButton\n"
                         "    Kind = bkYes\n"
                         "  end\n"
                         "end\n",
                     nullptr);
        auto* b1 = form->FindComponent<TEpButton>("B1");
        auto* b2 = form->FindComponent<TMpMediaButton>("B2");
        ASSERT_NE(nullptr, b1);
        ASSERT_NE(nullptr, b2);
        EXPECT_EQ("Go", b1->Caption()) << order;
        EXPECT_TRUE(b1->Default());
        EXPECT_EQ(1, b1->ModalResult());
        EXPECT_EQ(32, b1->Glyph()->Width());
        // Without a stored caption the kind's own.
        EXPECT_EQ("&Yes", b2->Caption());
        form->Free();
    }
}

TEST_F(SkinButton, AGlyphStripOfSquareCellsTellsHowManyItHolds)
{
    auto* b = Button<TEpButton>(0, 0, 75, 25);
    TBitmap strip;
    strip.SetSize(64, 16);
    b->SetGlyph(&strip);
    EXPECT_EQ(4, b->NumGlyphs());
    strip.SetSize(80, 16);  // five cells: not below five
    b->SetGlyph(&strip);
    EXPECT_EQ(1, b->NumGlyphs());
    b->SetNumGlyphs(3);
    strip.SetSize(40, 16);  // not a whole number of cells
    b->SetGlyph(&strip);
    EXPECT_EQ(3, b->NumGlyphs());
    EXPECT_EQ(13, b->GetGlyphSize().cx);
    EXPECT_EQ(16, b->GetGlyphSize().cy);
    // Kept within one to four cells: none would divide the width by zero.
    b->SetNumGlyphs(0);
    EXPECT_EQ(1, b->NumGlyphs());
    b->SetNumGlyphs(9);
    EXPECT_EQ(4, b->NumGlyphs());
    b->SetGlyph(nullptr);
    EXPECT_TRUE(b->Glyph()->Empty());
    EXPECT_EQ(0, b->GetGlyphSize().cx);
}

// --- Geometry ----------------------------------------------------------------------------

TEST_F(SkinButton, CaptionAndGlyphShareACentredLayoutByTheLayoutSide)
{
    auto* b = Button<TEpButton>(10, 10, 101, 41);
    b->SetCaption("Go on");
    TBitmap strip;
    strip.SetSize(32, 16);  // two 16 x 16 cells
    b->SetGlyph(&strip);
    b->SetSpacing(5);
    Show();
    const SIZE text = TextSize(b->Font(), "Go on");
    auto expectRect = [](const RECT& want, const RECT& got, const char* what) {
        EXPECT_EQ(want.left, got.left) << what;
        EXPECT_EQ(want.top, got.top) << what;
        EXPECT_EQ(want.right, got.right) << what;
        EXPECT_EQ(want.bottom, got.bottom) << what;
    };
    for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
        SCOPED_TRACE(int(layout));
        b->SetLayout(layout);
        const bool vertical = layout == blGlyphTop || layout == blGlyphBottom;
        const int w = vertical ? std::max<int>(text.cx, 16) : text.cx + 16 + 5;
        const int h = vertical ? text.cy + 16 + 5 : std::max<int>(text.cy, 16);
        const int left = (101 - w) / 2, top = (41 - h) / 2;
        const RECT layoutRect{left, top, left + w, top + h};
        expectRect(layoutRect, b->GetLayoutRect(), "layout");
        RECT caption = layoutRect, glyph = layoutRect;
        switch (layout) {
        case blGlyphLeft: caption.left += 21; glyph.right = left + 21; break;
        case blGlyphRight: caption.right -= 21; glyph.left = left + w - 21; break;
        case blGlyphTop: caption.top += 21; glyph.bottom = top + 21; break;
        case blGlyphBottom: caption.bottom -= 21; glyph.top = top + h - 21; break;
        }
        expectRect(caption, b->GetCaptionRect(), "caption");
        expectRect(glyph, b->GetGlyphRect(), "glyph");
    }
    // Pressed, everything moves one pixel right and down.
    b->SetLayout(blGlyphLeft);
    const RECT up = b->GetLayoutRect();
    Mouse(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    ASSERT_EQ(kbsPressed, b->State());
    const RECT down = b->GetLayoutRect();
    EXPECT_EQ(up.left + 1, down.left);
    EXPECT_EQ(up.top + 1, down.top);
    EXPECT_EQ(up.right + 1, down.right);
    Mouse(b, WM_LBUTTONUP, 500, 5);
    // Without a glyph the caption is the whole layout.
    b->SetGlyph(nullptr);
    const RECT bare = b->GetLayoutRect();
    EXPECT_EQ(text.cx, bare.right - bare.left);
    EXPECT_EQ((101 - text.cx) / 2, bare.left);
    expectRect(bare, b->GetCaptionRect(), "caption without a glyph");
}

// --- Faces ----------------------------------------------------------------------------------

template <class B>
void ExpectClassicFace(B* b, const char* family)
{
    SCOPED_TRACE(family);
    const int w = b->Width(), h = b->Height();
    const TKColor face = Opaque(200, 100, 50), light = Sys(COLOR_BTNHIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW);
    const TKColor black = 0xFF000000u;
    Repaint(b);
    // Up: highlight and black outside, the face and the shadow inside.
    EXPECT_EQ(light, At(b, 0, 0));
    EXPECT_EQ(light, At(b, 0, h / 2));
    EXPECT_EQ(light, At(b, w / 2, 0));
    EXPECT_EQ(black, At(b, w - 1, 0));
    EXPECT_EQ(black, At(b, w / 2, h - 1));
    EXPECT_EQ(black, At(b, w - 1, h - 1));
    EXPECT_EQ(face, At(b, 1, 1));
    EXPECT_EQ(shadow, At(b, w - 2, h / 2));
    EXPECT_EQ(shadow, At(b, w / 2, h - 2));
    EXPECT_EQ(face, At(b, w / 2, h / 2));
    // Pushed (and so focused): the black frame, one shadow ring round the face.
    Mouse(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    ASSERT_EQ(kbsPressed, b->State());
    ASSERT_TRUE(b->Focused());
    Repaint(b);
    EXPECT_EQ(black, At(b, 0, 0));
    EXPECT_EQ(black, At(b, w - 1, h - 1));
    EXPECT_EQ(black, At(b, 0, h / 2));
    EXPECT_EQ(shadow, At(b, 1, 1));
    EXPECT_EQ(shadow, At(b, 1, h / 2));
    EXPECT_EQ(shadow, At(b, w - 2, h - 2));
    EXPECT_EQ(face, At(b, 2, 2));
    EXPECT_EQ(face, At(b, w - 3, h - 3));
    EXPECT_EQ(face, At(b, w / 2, h / 2));
    Mouse(b, WM_LBUTTONUP, -50, 5);
}

TEST_F(SkinButton, TheClassicFaceOfBothFamilies)
{
    auto* ks = Button<TKsCustomButton>(10, 10, 60, 30);
    auto* mp = Button<TMpCustomButton>(100, 10, 60, 30);
    ks->SetCaption("");
    for (TWinControl* b : {static_cast<TWinControl*>(ks), static_cast<TWinControl*>(mp)})
        b->SetColor(TColor(RGB(200, 100, 50)));
    Show();
    // Unfocused at first: the form opened on the first button.
    ::SetFocus(Form->Handle());
    ExpectClassicFace(ks, "Ks");
    ExpectClassicFace(mp, "Mp");
}

TEST_F(SkinButton, TheDefaultButtonIsFramedInBlackWhileEnterIsItsOwn)
{
    auto* edit = Place<TEdit>(Host, 10, 100, 100, 21);
    auto* ok = Button<TKsCustomButton>(10, 10, 60, 30);
    auto* other = Button<TKsCustomButton>(100, 10, 60, 30);
    auto* media = Button<TMpMediaButton>(200, 10, 60, 30);
    ok->SetCaption("");
    ok->SetColor(TColor(RGB(200, 100, 50)));
    ok->SetDefault(true);
    ShowForeground();
    edit->SetFocus();
    Pump(10);
    EXPECT_TRUE(ok->DefaultHighlight());
    EXPECT_FALSE(other->DefaultHighlight());
    const TKColor black = 0xFF000000u, light = Sys(COLOR_BTNHIGHLIGHT), face = Opaque(200, 100, 50);
    Repaint(ok);
    EXPECT_EQ(black, At(ok, 0, 0));
    EXPECT_EQ(black, At(ok, 0, 15));
    EXPECT_EQ(light, At(ok, 1, 1));
    EXPECT_EQ(face, At(ok, 2, 2));
    // Another button of the family focused: Enter is that one's.
    other->SetFocus();
    Pump(10);
    EXPECT_FALSE(ok->DefaultHighlight());
    EXPECT_TRUE(other->DefaultHighlight());
    Repaint(ok);
    EXPECT_EQ(light, At(ok, 0, 0));
    // The default button focused keeps it (Enter clicks it).
    ok->SetFocus();
    Pump(10);
    EXPECT_TRUE(ok->DefaultHighlight());
    EXPECT_FALSE(other->DefaultHighlight());
    // A button of the other family is no button of this one's.
    media->SetFocus();
    Pump(10);
    EXPECT_TRUE(ok->DefaultHighlight());
    EXPECT_FALSE(other->DefaultHighlight());
    EXPECT_TRUE(media->DefaultHighlight());
    // Default switched off in code: the form tells every button at once.
    edit->SetFocus();
    ok->SetDefault(false);
    EXPECT_FALSE(ok->DefaultHighlight());
    other->SetDefault(true);
    EXPECT_TRUE(other->DefaultHighlight());
}

TEST_F(SkinButton, TheStyledFaceRaisesItsBevelRingsOutsideInAndSinksThemWhenPressed)
{
    PlaceBoth(60);
    Show();
    ForBoth([](auto* b) {
        b->SetCaption("");
        b->GetBackground()->SetColor(TColor(RGB(100, 100, 100)));
        b->GetBackground()->SetStyle(ebsColor);
        b->GetBorder()->SetWidth(0);
        b->SetBevelWidth(4);
        Repaint(b);
        const int w = 60, h = 30;
        // Ring by ring, outside in: 80, 60, 40, 20 lighter on the top row and
        // the left column, darker on the bottom row and the right column. The
        // left column also runs over the bottom row's first pixel and the
        // right column over its last.
        EXPECT_EQ(GreyOf(180), At(b, 0, 0));
        EXPECT_EQ(GreyOf(180), At(b, w - 1, 0));
        EXPECT_EQ(GreyOf(180), At(b, w / 2, 0));
        EXPECT_EQ(GreyOf(20), At(b, w / 2, h - 1));
        EXPECT_EQ(GreyOf(100), At(b, 0, h - 1));     // 100 - 80 + 80
        EXPECT_EQ(GreyOf(0), At(b, w - 1, h - 1));   // 100 - 80 - 80, no lower
        EXPECT_EQ(GreyOf(180), At(b, 0, h / 2));
        EXPECT_EQ(GreyOf(20), At(b, w - 1, h / 2));
        EXPECT_EQ(GreyOf(160), At(b, 1, 1));
        EXPECT_EQ(GreyOf(160), At(b, 1, h / 2));
        EXPECT_EQ(GreyOf(40), At(b, w - 2, h / 2));
        EXPECT_EQ(GreyOf(40), At(b, w / 2, h - 2));
        EXPECT_EQ(GreyOf(140), At(b, 2, h / 2));
        EXPECT_EQ(GreyOf(120), At(b, 3, h / 2));
        EXPECT_EQ(GreyOf(80), At(b, w - 4, h / 2));
        EXPECT_EQ(GreyOf(100), At(b, 4, h / 2));
        EXPECT_EQ(GreyOf(100), At(b, w / 2, h / 2));
        // The background reaches one pixel past the control; no ring goes there.
        ASSERT_GT(b->Buffer()->Width(), w);
        EXPECT_EQ(GreyOf(100), At(b, w, h / 2));
        // Pressed: the same rings, light and dark exchanged.
        Mouse(b, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
        ASSERT_EQ(kbsPressed, b->State());
        Repaint(b);
        EXPECT_EQ(GreyOf(20), At(b, w / 2, 0));
        EXPECT_EQ(GreyOf(180), At(b, w / 2, h - 1));
        EXPECT_EQ(GreyOf(20), At(b, 0, h / 2));
        EXPECT_EQ(GreyOf(180), At(b, w - 1, h / 2));
        EXPECT_EQ(GreyOf(60), At(b, 2, h / 2));
        EXPECT_EQ(GreyOf(100), At(b, w / 2, h / 2));
        Mouse(b, WM_LBUTTONUP, -50, 5);
        // Without the bevel only the background.
        b->SetShowBevel(false);
        Repaint(b);
        EXPECT_EQ(GreyOf(100), At(b, 0, 0));
        EXPECT_EQ(GreyOf(100), At(b, w - 1, h - 1));
        b->SetShowBevel(true);
        // Rings inside a border start at its width.
        b->GetBorder()->SetWidth(2);
        b->GetBorder()->SetColor(TColor(RGB(0, 0, 255)));
        b->SetBevelWidth(1);
        Repaint(b);
        EXPECT_EQ(Opaque(0, 0, 255), Rgb(At(b, 0, h / 2)) | 0xFF000000u);
        EXPECT_EQ(GreyOf(120), At(b, 2, h / 2));
        EXPECT_EQ(GreyOf(80), At(b, w - 3, h / 2));
        EXPECT_EQ(GreyOf(100), At(b, 3, h / 2));
    });
}

TEST_F(SkinButton, AHugeBevelStaysInsideTheBufferAndEnds)
{
    auto* b = Button<TEpButton>(10, 10, 40, 20);
    b->SetCaption("");
    b->GetBackground()->SetColor(TColor(RGB(100, 100, 100)));
    b->GetBorder()->SetWidth(0);
    Show();
    // The buffer beyond the control as it is without a bevel.
    b->SetShowBevel(false);
    Repaint(b);
    std::vector<TKColor> outside;
    auto beyond = [&] {
        std::vector<TKColor> pixels;
        for (int y = 0; y < b->Buffer()->Height(); ++y)
            for (int x = 0; x < b->Buffer()->Width(); ++x)
                if (x >= 40 || y >= 20) pixels.push_back(At(b, x, y));
        return pixels;
    };
    outside = beyond();
    ASSERT_FALSE(outside.empty());
    b->SetShowBevel(true);
    const DWORD start = GetTickCount();
    b->SetBevelWidth(2000000000);
    Repaint(b);
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_TRUE(beyond() == outside);
    // Inside, every ring of the control lighter or darker than the background.
    EXPECT_NE(GreyOf(100), At(b, 1, 1));
    EXPECT_NE(GreyOf(100), At(b, 20, 10));
    // A negative width draws no ring.
    b->SetBevelWidth(-3);
    Repaint(b);
    EXPECT_EQ(GreyOf(100), At(b, 0, 0));
}

// --- Glyph ----------------------------------------------------------------------------------

TEST_F(SkinButton, TheGlyphLeavesOutItsKeyColourAndTurnsGreyUntilHotOrWhenDisabled)
{
    const TKColor key = 0xFF00FF, red = 0xFF0000, green = 0x008000, blue = 0x0000FF, white = 0xFFFFFF;
    PlaceBoth(60);
    Show();
    ForBoth([&](auto* b) {
        // Two 4 x 4 cells: red and green in the first, blue in the second.
        TBitmap strip;
        Fill(&strip, {{key, key, key, key, key, key, key, key},
                      {key, red, key, key, key, blue, key, key},
                      {key, key, green, key, key, key, blue, key},
                      {key, key, key, key, key, key, key, white}});
        b->SetCaption("");
        b->GetBackground()->SetColor(TColor(RGB(10, 20, 30)));
        b->GetBorder()->SetWidth(0);
        b->SetShowBevel(false);
        b->SetGlyph(&strip);
        ASSERT_EQ(2, b->NumGlyphs());
        Repaint(b);
        const RECT area = b->GetGlyphRect();
        const int x = area.left + (area.right - area.left - 4) / 2, y = area.top + (area.bottom - area.top - 4) / 2;
        const TKColor back = Opaque(10, 20, 30);
        EXPECT_EQ(back, At(b, x, y));  // the key colour is left out
        EXPECT_EQ(0xFF000000u | red, At(b, x + 1, y + 1));
        EXPECT_EQ(0xFF000000u | green, At(b, x + 2, y + 2));
        EXPECT_EQ(back, At(b, x + 3, y + 3));
        EXPECT_EQ(0, CountOf(b, 0xFF000000u | blue));
        // In grey until the pointer is over it: red's lightness is a half
        // (127.5 rounds to the even 128), green's 64 / 255.
        b->SetBlackAndWhiteGlyph(true);
        Repaint(b);
        EXPECT_EQ(GreyOf(128), At(b, x + 1, y + 1));
        EXPECT_EQ(GreyOf(64), At(b, x + 2, y + 2));
        // Disabled: the second cell, each pixel 160 + its lightness of 50.
        b->SetBlackAndWhiteGlyph(false);
        b->SetEnabled(false);
        Repaint(b);
        EXPECT_EQ(GreyOf(185), At(b, x + 1, y + 1));  // blue: 160 + 25
        EXPECT_EQ(GreyOf(185), At(b, x + 2, y + 2));
        EXPECT_EQ(back, At(b, x + 1, y + 2));
        // With one cell the first, engraved: green 160 + round(12.55).
        b->SetNumGlyphs(1);
        Repaint(b);
        const RECT wide = b->GetGlyphRect();
        const int x1 = wide.left + (wide.right - wide.left - 8) / 2, y1 = wide.top + (wide.bottom - wide.top - 4) / 2;
        EXPECT_EQ(GreyOf(185), At(b, x1 + 1, y1 + 1));
        EXPECT_EQ(GreyOf(173), At(b, x1 + 2, y1 + 2));
        EXPECT_EQ(GreyOf(185), At(b, x1 + 5, y1 + 1));
        b->SetEnabled(true);
    });
}

// --- Mouse and keys ------------------------------------------------------------------------

TEST_F(SkinButton, APressDraggedOffAndReleasedOutsideGivesNoClick)
{
    PlaceBoth(80);
    ShowForeground();
    ForBoth([&](auto* b) {
        SendMouse(0, OnScreen(b, 40, 15));
        Pump(30);
        SendMouse(MOUSEEVENTF_LEFTDOWN, OnScreen(b, 40, 15));
        ASSERT_TRUE(PumpUntil([&] { return b->State() == kbsPressed; }, 2000)) << "the press never arrived";
        EXPECT_TRUE(b->MouseCaptured());
        EXPECT_EQ(b->Handle(), GetCapture());
        EXPECT_TRUE(b->Focused());
        SendMouse(0, OnScreen(b, 120, 15));
        ASSERT_TRUE(PumpUntil([&] { return b->State() == kbsNormal; }, 2000)) << "dragged off, still pressed";
        // Back on it, pressed again; off again and let go there.
        SendMouse(0, OnScreen(b, 79, 29));
        ASSERT_TRUE(PumpUntil([&] { return b->State() == kbsPressed; }, 2000));
        SendMouse(0, OnScreen(b, 80, 29));
        ASSERT_TRUE(PumpUntil([&] { return b->State() == kbsNormal; }, 2000));
        SendMouse(MOUSEEVENTF_LEFTUP, OnScreen(b, 80, 29));
        ASSERT_TRUE(PumpUntil([&] { return !b->MouseCaptured(); }, 2000)) << "the release never arrived";
        Pump(30);
        EXPECT_EQ(0, Clicks.Of(b));
        EXPECT_EQ(kbsNormal, b->State());
        EXPECT_EQ(nullptr, GetCapture());
        // Pressed and released on it: one click.
        SendMouse(0, OnScreen(b, 40, 15));
        SendMouse(MOUSEEVENTF_LEFTDOWN, OnScreen(b, 40, 15));
        SendMouse(MOUSEEVENTF_LEFTUP, OnScreen(b, 40, 15));
        ASSERT_TRUE(PumpUntil([&] { return Clicks.Of(b) > 0; }, 2000)) << "a click on the button did nothing";
        Pump(30);
        EXPECT_EQ(1, Clicks.Of(b));
        EXPECT_EQ(kbsNormal, b->State());
    });
}

TEST_F(SkinButton, AButtonStaysHotWhileThePointerRestsOnIt)
{
    PlaceBoth(90);
    ShowForeground();
    ForBoth([&](auto* b) {
        b->SetKind(bkOK);  // a green tick in its first cell
        b->SetBlackAndWhiteGlyph(true);
        b->GetBackground()->SetColor(TColor(RGB(200, 200, 200)));
        Repaint(b);
        const TKColor tick = Opaque(0, 128, 0);
        const int ticks = [] {
            int n = 0;
            for (const auto& row : Resource("KSBTN_OK"))
                for (int x = 0; x < 16; ++x) n += row[size_t(x)] == 0x008000 ? 1 : 0;
            return n;
        }();
        ASSERT_GT(ticks, 0);
        EXPECT_EQ(0, CountOf(b, tick)) << "grey while the pointer is elsewhere";
        SetCursorPos(OnScreen(b, 5, 5).x, OnScreen(b, 5, 5).y);
        SendMouse(0, OnScreen(b, 6, 5));
        ASSERT_TRUE(PumpUntil([&] { return b->MouseIn(); }, 2000)) << "the pointer never reached the button";
        // Resting there, long past the platform's checks of where the pointer is.
        Pump(1500);
        EXPECT_TRUE(b->MouseIn()) << "lost its hover under a resting pointer";
        Repaint(b);
        EXPECT_EQ(ticks, CountOf(b, tick));
        // What the screen shows is the hot buffer.
        HDC dc = GetDC(b->Handle());
        int onScreen = 0;
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) onScreen += GetPixel(dc, x, y) == RGB(0, 128, 0) ? 1 : 0;
        ReleaseDC(b->Handle(), dc);
        EXPECT_EQ(ticks, onScreen);
        PointerAway();
        ASSERT_TRUE(PumpUntil([&] { return !b->MouseIn(); }, 2000)) << "the pointer left, the hover stayed";
        Repaint(b);
        EXPECT_EQ(0, CountOf(b, tick));
    });
}

TEST_F(SkinButton, TheSpaceBarPressesAndItsReleaseClicks)
{
    PlaceBoth(80);
    ShowForeground();
    ForBoth([&](auto* b) {
        b->SetFocus();
        Pump(10);
        SendKey(VK_SPACE, false);
        ASSERT_TRUE(PumpUntil([&] { return b->State() == kbsPressed; }, 2000)) << "the key never arrived";
        EXPECT_EQ(0, Clicks.Of(b));
        SendKey(VK_SPACE, true);
        ASSERT_TRUE(PumpUntil([&] { return Clicks.Of(b) > 0; }, 2000));
        Pump(30);
        EXPECT_EQ(1, Clicks.Of(b));
        EXPECT_EQ(kbsNormal, b->State());
    });
}

TEST_F(SkinButton, EscClicksTheCancelButtonOnlyWithoutModifiers)
{
    PlaceBoth(80);
    TEpButton* cancel = Ks;
    TMpMediaButton* ok = Mp;
    cancel->SetModalResult(mrCancel);
    ok->SetModalResult(mrOk);
    Show();
    BYTE keys[256], saved[256];
    GetKeyboardState(saved);
    std::copy(saved, saved + 256, keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(0, cancel->Perform(CM_DIALOGKEY, VK_ESCAPE));
    SetKeyboardState(saved);
    EXPECT_EQ(0, Clicks.Of(cancel));
    // Not the default, still Esc's.
    EXPECT_FALSE(cancel->Default());
    EXPECT_EQ(1, cancel->Perform(CM_DIALOGKEY, VK_ESCAPE));
    EXPECT_EQ(1, Clicks.Of(cancel));
    EXPECT_EQ(mrCancel, Form->ModalResult);
    EXPECT_EQ(0, ok->Perform(CM_DIALOGKEY, VK_ESCAPE));
    // Hidden or disabled: no key of its own.
    cancel->SetEnabled(false);
    EXPECT_EQ(0, cancel->Perform(CM_DIALOGKEY, VK_ESCAPE));
    EXPECT_EQ(1, Clicks.Of(cancel));
    // Any click hands the button's result to the form, 0 too.
    Form->ModalResult = mrOk;
    cancel->SetEnabled(true);
    cancel->SetModalResult(mrNone);
    cancel->Click();
    EXPECT_EQ(mrNone, Form->ModalResult);
}

// --- Actions ------------------------------------------------------------------------------

namespace {
struct TActionRuns : TObject {
    int Runs = 0;
    void Run(TObject*) { ++Runs; }
};
}  // namespace

TEST_F(SkinButton, AnActionRunsOnClickAndLendsItsImage)
{
    auto* list = new TActionList(Form);
    auto* images = new TImageList(Form);
    images->SetSize(16, 16);
    TBitmap picture;
    std::vector<std::vector<TKColor>> rows(16, std::vector<TKColor>(16, 0x0000FF));
    Fill(&picture, rows);
    images->Add(&picture, nullptr);
    list->SetImages(images);
    auto* action = new TAction(Form);
    action->SetActionList(list);
    action->SetCaption("Act");
    action->SetImageIndex(0);
    TActionRuns runs;
    action->OnExecute = MakeEvent<&TActionRuns::Run>(&runs);

    PlaceBoth(80);
    Ks->SetAction(action);
    Mp->SetAction(action);
    for (TBitmap* glyph : {Ks->Glyph(), Mp->Glyph()}) {
        ASSERT_EQ(16, glyph->Width());
        ASSERT_EQ(16, glyph->Height());
        EXPECT_EQ(RGB(0, 0, 255), glyph->Canvas()->Pixel(8, 8));
    }
    EXPECT_EQ(1, Ks->NumGlyphs());
    // Ks keeps its caption and its own event; the media button takes both from the action.
    EXPECT_EQ("Button", Ks->Caption());
    EXPECT_EQ("Act", Mp->Caption());
    EXPECT_TRUE(Mp->OnClick == action->OnExecute);
    Ks->Click();
    EXPECT_EQ(1, Clicks.Of(Ks));
    EXPECT_EQ(1, runs.Runs);
    Mp->Click();
    EXPECT_EQ(2, runs.Runs);
    // A change of the action reaches the buttons.
    action->SetCaption("Again");
    EXPECT_EQ("Again", Mp->Caption());
    // A freed action is forgotten.
    action->Free();
    EXPECT_EQ(nullptr, Ks->Action());
    EXPECT_EQ(nullptr, Mp->Action());
    Ks->Click();
    EXPECT_EQ(2, Clicks.Of(Ks));
}

// --- Streaming ------------------------------------------------------------------------------

namespace {

class TButtonTestForm : public TForm {
    GANTREL_CLASS(TButtonTestForm)
    TButtonTestForm() : TForm(nullptr, 0) {}
    std::vector<TObject*> Clicks;
    int Enters = 0, Leaves = 0;
    void Clicked(TObject* sender) { Clicks.push_back(sender); }
    void Entered(TObject*) { ++Enters; }
    void Left(TObject*) { ++Leaves; }
    int ClicksOf(TObject* sender) const { return int(std::count(Clicks.begin(), Clicks.end(), sender)); }
    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {},
            {GANTREL_HANDLER(TButtonTestForm, Clicked), GANTREL_HANDLER(TButtonTestForm, Entered),
             GANTREL_HANDLER(TButtonTestForm, Left)},
        };
        return &table;
    }
};

// A 32 x 16 strip (two cells) of 24 bits as a form resource stores it.
std::string GlyphData()
{
    TBitmap strip;
    std::vector<std::vector<TKColor>> rows(16, std::vector<TKColor>(32, 0x808000));
    rows[3][4] = 0xFF0000;
    Fill(&strip, rows);
    TMemoryStream stream;
    strip.SaveToStream(&stream);
    std::string hex = "{\n      ";
    const auto* bytes = static_cast<const uint8_t*>(stream.Memory());
    char digits[3];
    for (int64_t i = 0; i < stream.Size(); ++i) {
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        hex += digits;
    }
    return hex + "}";
}

}  // namespace

TEST_F(SkinButton, EveryPublishedPropertyIsReadFromAFormText)
{
    auto* form = new TButtonTestForm;
    const std::string common =
        "    BlackAndWhiteGlyph = True\n"
        "    Blend = True\n"
        "    BlendValue = 200\n"
        "    Caption = '&Go'\n"
        "    Default = True\n"
        "    Enabled = False\n"
        "    Font.Style = [fsBold]\n"
        "    Glyph.Data = " + GlyphData() + "\n"
        "    Layout = blGlyphTop\n"
        "    ModalResult = mrRetry\n"
        "    NumGlyphs = 2\n"
        "    Spacing = 7\n"
        "    ShowHint = True\n"
        "    Transparent = False\n"
        "    Visible = True\n"
        "    Background.Color = clBtnFace\n"
        "    Background.GradientOrPlasmaColor = clWhite\n"
        "    Background.GradientDirection = egdVertical\n"
        "    Background.Style = ebsGradient\n"
        "    Border.Width = 0\n"
        "    BevelWidth = 4\n"
        "    ShowBevel = False\n"
        "    HotTextColor = clWhite\n"
        "    Action = Action1\n"
        "    OnClick = Clicked\n"
        "    OnMouseEnter = Entered\n"
        "    OnMouseLeave = Left\n";
    ReadFormText(form,
                 "object ButtonTestForm: TButtonTestForm\n"
                 "  object Action1: TAction\n"
                 "  end\n"
                 "  object EpButton1: TEpButton\n"
                 "    Left = 10\n"
                 "    Top = 20\n"
                 "    Width = 90\n"
                 "    Height = 27\n"
                 "    Kind = bkCancel\n"
                 "    Version = '2.1'\n" +
                     common +
                     "  end\n"
                     "  object MpMediaButton1: TMpMediaButton\n"
                     "    Left = 110\n"
                     "    Top = 20\n"
                     "    Width = 90\n"
                     "    Height = 27\n"
                     "    Anchors = [akLeft, akBottom]\n"
                     "    TabOrder = 0\n"
                     "    TabStop = False\n"
                     "    Version = '2.8.0'\n" +
                     common +
                     "  end\n"
                     "  object KsCustomButton1: TKsCustomButton\n"
                     "    Caption = 'Plain'\n"
                     "  end\n"
                     "  object MpCustomButton1: TMpCustomButton\n"
                     "    Caption = 'Plain'\n"
                     "  end\n"
                     "end\n",
                 TButtonTestForm::Table());
    auto* action = form->FindComponent<TAction>("Action1");
    auto check = [&](auto* b, const char* family) {
        SCOPED_TRACE(family);
        ASSERT_NE(nullptr, b);
        EXPECT_TRUE(b->BlackAndWhiteGlyph());
        EXPECT_TRUE(b->Blend());
        EXPECT_EQ(200, b->BlendValue());
        EXPECT_EQ("&Go", b->Caption());
        EXPECT_TRUE(b->Default());
        EXPECT_FALSE(b->Enabled());
        EXPECT_EQ(1u << fsBold, b->Font()->Style());
        ASSERT_EQ(32, b->Glyph()->Width());
        EXPECT_EQ(RGB(255, 0, 0), b->Glyph()->Canvas()->Pixel(4, 3));
        EXPECT_EQ(blGlyphTop, b->Layout());
        EXPECT_EQ(mrRetry, b->ModalResult());
        EXPECT_EQ(2, b->NumGlyphs());
        EXPECT_EQ(7, b->Spacing());
        EXPECT_TRUE(b->ShowHint());
        EXPECT_FALSE(b->Transparent());
        EXPECT_EQ(clBtnFace, b->GetBackground()->Color());
        EXPECT_EQ(clWhite, b->GetBackground()->GradientOrPlasmaColor());
        EXPECT_EQ(ebsGradient, b->GetBackground()->Style());
        EXPECT_EQ(0, b->GetBorder()->Width());
        EXPECT_EQ(4, b->BevelWidth());
        EXPECT_FALSE(b->ShowBevel());
        EXPECT_EQ(clWhite, b->HotTextColor());
        EXPECT_EQ(action, b->Action());
        EXPECT_EQ(90, b->Width());
        EXPECT_EQ(27, b->Height());
        b->Click();
        EXPECT_EQ(1, form->ClicksOf(b));
    };
    auto* ep = form->FindComponent<TEpButton>("EpButton1");
    auto* mp = form->FindComponent<TMpMediaButton>("MpMediaButton1");
    check(ep, "Ks");
    check(mp, "Mp");
    EXPECT_EQ(bkCancel, ep->Kind());
    EXPECT_FALSE(mp->TabStop());
    EXPECT_EQ((1u << akLeft) | (1u << akBottom), mp->Anchors());
    EXPECT_EQ("Plain", form->FindComponent<TKsCustomButton>("KsCustomButton1")->Caption());
    EXPECT_EQ("Plain", form->FindComponent<TMpCustomButton>("MpCustomButton1")->Caption());
    form->Free();
}

TEST_F(SkinButton, TheBevelWidthSavedIsTheBevelWidthReadBack)
{
    auto* fresh = Button<TEpButton>(0, 0, 75, 25);
    EXPECT_EQ(TEpButton::DefaultBevelWidth, fresh->BevelWidth());
    EXPECT_FALSE(fresh->BevelWidthStored());
    for (int width : {0, 1, 2, 3, 4, 7}) {
        SCOPED_TRACE(width);
        auto* saved = Button<TEpButton>(0, 0, 75, 25);
        saved->SetBevelWidth(width);
        // What a form resource keeps: the value only where it is stored.
        std::string text = "object F: TForm\n  object B: TEpButton\n";
        if (saved->BevelWidthStored()) text += "    BevelWidth = " + std::to_string(width) + "\n";
        text += "  end\nend\n";
        auto* form = new TForm(nullptr, 0);
        ReadFormText(form, text, nullptr);
        EXPECT_EQ(width, form->FindComponent<TEpButton>("B")->BevelWidth());
        form->Free();
    }
}

// --- A modal dialog under the keyboard --------------------------------------------------------

namespace {

const char* DialogText =
    "object ButtonTestForm: TButtonTestForm\n"
    "  Caption = 'Skinned buttons'\n"
    "  BorderStyle = bsDialog\n"
    "  ClientWidth = 330\n"
    "  ClientHeight = 110\n"
    "  object Edit1: TEdit\n"
    "    Left = 10\n"
    "    Top = 10\n"
    "    Width = 150\n"
    "    Height = 21\n"
    "    TabOrder = 0\n"
    "  end\n"
    "  object EpButton1: TEpButton\n"
    "    Left = 10\n"
    "    Top = 60\n"
    "    Width = 96\n"
    "    Height = 30\n"
    "    Kind = bkOK\n"
    "    Background.Color = clBtnFace\n"
    "    Background.GradientOrPlasmaColor = clWhite\n"
    "    Background.Style = ebsGradient\n"
    "    Border.Width = 0\n"
    "    BevelWidth = 4\n"
    "    Font.Style = [fsBold]\n"
    "    OnClick = Clicked\n"
    "    TabOrder = 1\n"
    "  end\n"
    "  object EpButton2: TEpButton\n"
    "    Left = 116\n"
    "    Top = 60\n"
    "    Width = 96\n"
    "    Height = 30\n"
    "    Kind = bkCancel\n"
    "    Background.Color = clBtnFace\n"
    "    Background.GradientOrPlasmaColor = clWhite\n"
    "    Background.Style = ebsGradient\n"
    "    Border.Width = 0\n"
    "    BevelWidth = 4\n"
    "    Font.Style = [fsBold]\n"
    "    OnClick = Clicked\n"
    "    TabOrder = 2\n"
    "  end\n"
    "  object MpMediaButton1: TMpMediaButton\n"
    "    Left = 222\n"
    "    Top = 60\n"
    "    Width = 96\n"
    "    Height = 30\n"
    "    Caption = '&Retry'\n"
    "    ModalResult = 4\n"
    "    Background.Color = clMaroon\n"
    "    Background.GradientOrPlasmaColor = clGray\n"
    "    Background.Style = ebsGradient\n"
    "    Font.Color = clSilver\n"
    "    Font.Name = 'Arial'\n"
    "    Font.Style = [fsBold]\n"
    "    HotTextColor = clWhite\n"
    "    OnClick = Clicked\n"
    "    TabOrder = 3\n"
    "  end\n"
    "end\n";

// Steps run one after another from a timer inside the modal loop; a step
// that returns false is tried again at the next tick.
struct TModalScript {
    std::vector<std::function<bool()>> Steps;
    size_t Next = 0;
    TCustomForm* Form = nullptr;
};
TModalScript* Script = nullptr;

void CALLBACK RunScript(HWND, UINT, UINT_PTR, DWORD)
{
    if (!Script || Script->Next >= Script->Steps.size()) return;
    if (Script->Steps[Script->Next]()) ++Script->Next;
}

// A result no button gives: the dialog did not close in time.
constexpr int TimedOut = 99;

void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD)
{
    if (Script && Script->Form) Script->Form->ModalResult = TimedOut;
}

int RunModal(TCustomForm* form, std::vector<std::function<bool()>> steps)
{
    TModalScript script{std::move(steps), 0, form};
    Script = &script;
    const UINT_PTR tick = SetTimer(nullptr, 0, 20, RunScript);
    const UINT_PTR guard = SetTimer(nullptr, 0, 5000, GiveUp);
    const int result = form->ShowModal();
    KillTimer(nullptr, tick);
    KillTimer(nullptr, guard);
    Script = nullptr;
    return result;
}

class SkinButtonDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterSkinClasses();
        Form = new TButtonTestForm;
        ReadFormText(Form, DialogText, TButtonTestForm::Table());
        Form->SetBounds(80, 80, Form->Width(), Form->Height());
        Edit = Form->FindComponent<TEdit>("Edit1");
        Ok = Form->FindComponent<TEpButton>("EpButton1");
        Cancel = Form->FindComponent<TEpButton>("EpButton2");
        Retry = Form->FindComponent<TMpMediaButton>("MpMediaButton1");
    }
    void TearDown() override
    {
        Form->Free();
        Pump(20);
    }
    // Once the dialog has the keyboard, with the focus on focused.
    std::function<bool()> Ready(TWinControl* focused)
    {
        return [this, focused] {
            return Form->HandleAllocated() && GetForegroundWindow() == Form->Handle() &&
                   GetFocus() == (focused ? focused->Handle() : Form->Handle());
        };
    }
    static std::function<bool()> Type(WORD key)
    {
        return [key] {
            TypeKey(key);
            return true;
        };
    }
    // key typed with the focus on focused closes the dialog with result,
    // by one click of clicked and of no other button.
    void ExpectKeyClicks(TWinControl* focused, WORD key, int result, TObject* clicked)
    {
        Form->Clicks.clear();
        Form->SetActiveControl(focused);
        EXPECT_EQ(result, RunModal(Form, {Ready(focused), Type(key)}));
        EXPECT_EQ(1, Form->ClicksOf(clicked));
        EXPECT_EQ(1u, Form->Clicks.size());
    }
    TButtonTestForm* Form = nullptr;
    TEdit* Edit = nullptr;
    TEpButton* Ok = nullptr;
    TEpButton* Cancel = nullptr;
    TMpMediaButton* Retry = nullptr;
};

}  // namespace

TEST_F(SkinButtonDialog, EnterInTheEditClicksTheDefaultButton)
{
    ExpectKeyClicks(Edit, VK_RETURN, mrOk, Ok);
}

TEST_F(SkinButtonDialog, EnterOnTheFocusedDefaultButtonStillClicksIt)
{
    ExpectKeyClicks(Ok, VK_RETURN, mrOk, Ok);
}

TEST_F(SkinButtonDialog, EnterOnAnotherFocusedButtonClicksThatOne)
{
    ExpectKeyClicks(Cancel, VK_RETURN, mrCancel, Cancel);
}

TEST_F(SkinButtonDialog, TheMediaFamilysButtonsTakeEnterEscAndTheirLetters)
{
    // As the picture window places them: a default one that closes.
    auto* form = new TButtonTestForm;
    ReadFormText(form,
                 "object ButtonTestForm: TButtonTestForm\n"
                 "  Caption = 'Media buttons'\n"
                 "  ClientWidth = 220\n"
                 "  ClientHeight = 60\n"
                 "  object MpMediaButton1: TMpMediaButton\n"
                 "    Left = 10\n"
                 "    Top = 10\n"
                 "    Width = 90\n"
                 "    Height = 25\n"
                 "    Caption = '&Close'\n"
                 "    Default = True\n"
                 "    ModalResult = 1\n"
                 "    OnClick = Clicked\n"
                 "  end\n"
                 "  object MpMediaButton2: TMpMediaButton\n"
                 "    Left = 110\n"
                 "    Top = 10\n"
                 "    Width = 90\n"
                 "    Height = 25\n"
                 "    Kind = bkCancel\n"
                 "    OnClick = Clicked\n"
                 "  end\n"
                 "end\n",
                 TButtonTestForm::Table());
    auto* close = form->FindComponent<TMpMediaButton>("MpMediaButton1");
    auto* cancel = form->FindComponent<TMpMediaButton>("MpMediaButton2");
    form->SetBounds(100, 100, form->Width(), form->Height());
    auto ready = [form](TWinControl* focused) -> std::function<bool()> {
        return [form, focused] { return GetForegroundWindow() == form->Handle() && GetFocus() == focused->Handle(); };
    };
    form->SetActiveControl(close);
    EXPECT_EQ(mrOk, RunModal(form, {ready(close), Type(VK_RETURN)}));
    EXPECT_EQ(1, form->ClicksOf(close));
    form->SetActiveControl(cancel);
    EXPECT_EQ(mrCancel, RunModal(form, {ready(cancel), Type(VK_RETURN)}));
    EXPECT_EQ(1, form->ClicksOf(cancel));
    EXPECT_EQ(mrCancel, RunModal(form, {ready(cancel), Type(VK_ESCAPE)}));
    EXPECT_EQ(2, form->ClicksOf(cancel));
    EXPECT_EQ(mrOk, RunModal(form, {ready(cancel), Type('C')}));
    EXPECT_EQ(2, form->ClicksOf(close));
    EXPECT_EQ(4u, form->Clicks.size());
    form->Free();
}

TEST_F(SkinButtonDialog, EnterWithTheFocusOnTheDialogClicksTheDefaultButton)
{
    Edit->SetVisible(false);
    // The dialog opens on its first tab stop: the focus is put on the dialog.
    auto focusDialog = [this] { return ::SetFocus(Form->Handle()), true; };
    EXPECT_EQ(mrOk, RunModal(Form, {focusDialog, Ready(nullptr), Type(VK_RETURN)}));
    EXPECT_EQ(1, Form->ClicksOf(Ok));
}

TEST_F(SkinButtonDialog, EscClicksTheCancelButton)
{
    ExpectKeyClicks(Edit, VK_ESCAPE, mrCancel, Cancel);
    // Also from a focused button that is not the cancel one.
    ExpectKeyClicks(Ok, VK_ESCAPE, mrCancel, Cancel);
}

TEST_F(SkinButtonDialog, AnAcceleratorLetterClicksItsButton)
{
    // With a button focused the plain letter is enough.
    ExpectKeyClicks(Ok, 'R', mrRetry, Retry);
    // In the edit the letter is typed; Enter then clicks the default button.
    Form->Clicks.clear();
    Form->SetActiveControl(Edit);
    EXPECT_EQ(mrOk, RunModal(Form, {Ready(Edit), Type('R'), [this] { return Edit->Text() == "r"; }, Type(VK_RETURN)}));
    EXPECT_EQ(0, Form->ClicksOf(Retry));
    EXPECT_EQ(1, Form->ClicksOf(Ok));
}

TEST_F(SkinButtonDialog, TheDialogIsKeptAsAPictureWithItsGlyphs)
{
    Form->SetActiveControl(Edit);
    TSavedPicture shot;
    POINT client{};
    bool kept = false;
    EXPECT_EQ(mrCancel, RunModal(Form, {Ready(Edit),
                                        [&] {
                                            kept = KeepWindowPicture(Form->Handle(), ExeDirectory(),
                                                                     "skin-buttons.bmp", shot, client);
                                            return true;
                                        },
                                        Type(VK_ESCAPE)}));
    ASSERT_TRUE(kept);
    const int dx = client.x, dy = client.y;
    // The OK button shows its tick in the first cell's green, pixel for pixel.
    int ticks = 0;
    for (const auto& row : Resource("KSBTN_OK"))
        for (int x = 0; x < 16; ++x) ticks += row[size_t(x)] == 0x008000 ? 1 : 0;
    int shown = 0;
    for (int y = 0; y < Ok->Height(); ++y)
        for (int x = 0; x < Ok->Width(); ++x)
            shown += shot.Pixel(dx + Ok->Left() + x, dy + Ok->Top() + y) == RGB(0, 128, 0) ? 1 : 0;
    EXPECT_EQ(ticks, shown);
    // The bevel's outermost ring: the top row lighter, the bottom row darker
    // than the row inside it.
    const COLORREF top = shot.Pixel(dx + Ok->Left() + 40, dy + Ok->Top());
    const COLORREF inside = shot.Pixel(dx + Ok->Left() + 40, dy + Ok->Top() + 4);
    EXPECT_GT(GetGValue(top), GetGValue(inside));
    const COLORREF bottom = shot.Pixel(dx + Ok->Left() + 40, dy + Ok->Top() + Ok->Height() - 1);
    const COLORREF above = shot.Pixel(dx + Ok->Left() + 40, dy + Ok->Top() + Ok->Height() - 5);
    EXPECT_LT(GetGValue(bottom), GetGValue(above));
}

// The skinned check box and radio button: the box's place and the Ep mark
// drawn pixel by pixel, clicks released over the control (its far edges
// included, any button), Space, the caption's accelerator, radio buttons
// exclusive per parent and group, the focus selecting a radio button, and a
// form resource that sets every published property without clicking.
#include "CheckBoxes.h"
#include "Reader.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"

#include <set>
#include <utility>

using namespace SkinTest;

namespace {

// The pixels of a line from (x0, y0) towards (x1, y1), the end left out;
// every line of the cross runs at 45 degrees.
void Diagonal(std::set<std::pair<int, int>>& pixels, int x0, int y0, int x1, int y1)
{
    const int dx = x1 > x0 ? 1 : -1, dy = y1 > y0 ? 1 : -1;
    for (int x = x0, y = y0; x != x1; x += dx, y += dy) pixels.insert({x, y});
}

// The thick cross inside the inner rectangle (l, t, r, b).
std::set<std::pair<int, int>> Cross(int l, int t, int r, int b)
{
    std::set<std::pair<int, int>> p;
    Diagonal(p, l, t, r, b);
    Diagonal(p, l + 1, t, r, b - 1);
    Diagonal(p, l, t + 1, r - 1, b);
    Diagonal(p, l, b - 1, r, t - 1);
    Diagonal(p, l, b - 2, r - 1, t - 1);
    Diagonal(p, l + 1, b - 1, r, t);
    return p;
}

struct KeyUps : TObject {
    int Count = 0;
    void Hit(TObject*, WORD&, TShiftState) { ++Count; }
};

class SkinCheckBoxTest : public SkinFormTest {
protected:
    // The handheld dialog's box: 12 wide, a window-coloured face in a black
    // one-pixel frame, a black mark.
    TEpCheckBox* HandheldBox(int height)
    {
        auto* box = Place<TEpCheckBox>(Host, 30, 40, 168, height);
        box->SetBoxWidth(12);
        box->BoxBackground()->SetColor(clWindow);
        box->BoxBorder()->SetColor(clBlack);
        box->BoxBorder()->SetWidth(1);
        box->SetGlyphColor(clBlack);
        return box;
    }
    // Every pixel of the box (0, top, 12, top + 12) against the frame, the
    // face and the cross (when marked) in markColor.
    int BoxMismatches(TEpCheckBox* box, int top, bool marked, TKColor markColor)
    {
        const auto cross = Cross(3, top + 3, 9, top + 9);
        int bad = 0;
        for (int y = top; y < top + 12; ++y)
            for (int x = 0; x < 12; ++x) {
                TKColor want = OpaqueRgb(clWindow);
                if (x == 0 || y == top || x == 11 || y == top + 11)
                    want = 0;
                else if (marked && cross.count({x, y}))
                    want = markColor;
                if (BufferRgb(box, x, y) != want) ++bad;
            }
        return bad;
    }
};

class SkinRadioButtonTest : public SkinFormTest {};

}  // namespace

// --- Check box ------------------------------------------------------------------------

TEST_F(SkinCheckBoxTest, StartsUncheckedWithItsCaptionSizeAndBox)
{
    auto* box = new TEpCheckBox(Form);
    EXPECT_EQ("CheckBox", box->Caption());
    EXPECT_EQ(98, box->Width());
    EXPECT_EQ(20, box->Height());
    EXPECT_TRUE(box->TabStop());
    EXPECT_TRUE(box->Transparent());
    EXPECT_EQ(5, box->Spacing());
    EXPECT_EQ(cbUnchecked, box->State());
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(15, box->BoxWidth());
    EXPECT_TRUE(box->ShowGlyph());
    EXPECT_EQ(TColor(0), box->GlyphColor());
    EXPECT_STREQ("2.1", box->Version());
    auto* plain = new TKsCustomRadioButton(Form);
    EXPECT_EQ("RadioButton", plain->Caption());
    EXPECT_EQ(0, plain->GroupIndex());
    EXPECT_TRUE(plain->TabStop());
}

TEST_F(SkinCheckBoxTest, CheckedIsTheCheckedStateAndEveryChangeClicksOnce)
{
    auto* box = Place<TKsCustomCheckBox>(Host, 10, 10, 100, 20);
    Counter clicks;
    box->OnClick = MakeEvent<&Counter::Hit>(&clicks);
    box->SetChecked(true);
    EXPECT_EQ(cbChecked, box->State());
    EXPECT_EQ(1, clicks.Count);
    box->SetChecked(true);  // already checked
    EXPECT_EQ(1, clicks.Count);
    box->SetState(cbGrayed);
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(2, clicks.Count);
    box->SetChecked(true);  // grayed to checked
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(3, clicks.Count);
    box->Toggle();
    EXPECT_EQ(cbUnchecked, box->State());
    box->SetState(cbGrayed);
    box->Toggle();
    EXPECT_EQ(cbChecked, box->State());
    EXPECT_EQ(6, clicks.Count);
}

TEST_F(SkinCheckBoxTest, TheBoxSitsAtTheLeftCentredWithTheOffsetTruncated)
{
    auto* box = Place<TEpCheckBox>(Host, 10, 10, 100, 21);
    box->SetBoxWidth(12);
    EXPECT_EQ(0, box->BoxRect().left);
    EXPECT_EQ(4, box->BoxRect().top);  // 9 / 2
    EXPECT_EQ(12, box->BoxRect().right);
    EXPECT_EQ(16, box->BoxRect().bottom);
    // Taller than the control: -5 / 2 is -2, toward zero.
    box->SetBoxWidth(15);
    box->SetHeight(10);
    EXPECT_EQ(-2, box->BoxRect().top);
    box->SetSpacing(6);
    EXPECT_EQ(21, box->TextRect().left);
    auto* plain = Place<TKsCustomCheckBox>(Host, 10, 40, 100, 20);
    EXPECT_EQ(3, plain->BoxRect().top);
    EXPECT_EQ(13, plain->BoxRect().right);
    EXPECT_EQ(18, plain->TextRect().left);
}

TEST_F(SkinCheckBoxTest, TheStyledBoxShowsTheThickCrossWhenCheckedOrGrayed)
{
    auto* box = HandheldBox(17);
    Show();
    const int top = (17 - 12) / 2;
    EXPECT_EQ(0, BoxMismatches(box, top, false, 0)) << "unchecked";
    box->SetChecked(true);
    EXPECT_EQ(0, BoxMismatches(box, top, true, 0)) << "checked";
    box->SetState(cbGrayed);
    EXPECT_EQ(0, BoxMismatches(box, top, true, 0)) << "grayed";
    box->SetGlyphColor(clRed);
    EXPECT_EQ(0, BoxMismatches(box, top, true, OpaqueRgb(clRed))) << "red";
    box->SetEnabled(false);
    EXPECT_EQ(0, BoxMismatches(box, top, true, Rgb(KsColors::ckBtnFace))) << "disabled";
    box->SetEnabled(true);
    box->SetShowGlyph(false);
    EXPECT_EQ(0, BoxMismatches(box, top, false, 0)) << "without the glyph";
}

TEST_F(SkinCheckBoxTest, ThePlainBoxIsTheSystemsFrameAndChangesWithTheState)
{
    auto* box = Place<TKsCustomCheckBox>(Host, 40, 60, 100, 20);
    Show();
    auto picture = [&] {
        std::vector<TKColor> p;
        for (int y = 3; y < 16; ++y)
            for (int x = 0; x < 13; ++x) p.push_back(BufferRgb(box, x, y));
        return p;
    };
    const auto unchecked = picture();
    box->SetChecked(true);
    const auto checked = picture();
    EXPECT_NE(unchecked, checked);
    // Beside the box the control is see-through.
    EXPECT_EQ(Rgb(GradientAt(40 + 14, 60 + 1)), BufferRgb(box, 14, 1));
    // Above the box too.
    EXPECT_EQ(Rgb(GradientAt(40 + 5, 60 + 1)), BufferRgb(box, 5, 1));
}

TEST_F(SkinCheckBoxTest, AMouseClickReleasedOverTheControlTurnsItFarEdgesIncluded)
{
    auto* box = HandheldBox(20);
    Counter clicks;
    box->OnClick = MakeEvent<&Counter::Hit>(&clicks);
    Show();
    Mouse(box, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(box->Handle(), GetCapture());
    Mouse(box, WM_LBUTTONUP, 5, 10);
    EXPECT_NE(box->Handle(), GetCapture());
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(1, clicks.Count);
    // Released at X = W and Y = H: still over it.
    Mouse(box, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    Mouse(box, WM_LBUTTONUP, 168, 20);
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(2, clicks.Count);
    // One pixel further: not.
    Mouse(box, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    Mouse(box, WM_LBUTTONUP, 169, 10);
    Mouse(box, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    Mouse(box, WM_LBUTTONUP, 5, 21);
    Mouse(box, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    Mouse(box, WM_LBUTTONUP, -1, 10);
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(2, clicks.Count);
    // A grayed box becomes checked.
    box->SetState(cbGrayed);
    Mouse(box, WM_LBUTTONDOWN, 100, 3, MK_LBUTTON);
    Mouse(box, WM_LBUTTONUP, 100, 3);
    EXPECT_EQ(cbChecked, box->State());
}

TEST_F(SkinCheckBoxTest, TheRightButtonTurnsItToo)
{
    auto* box = HandheldBox(20);
    Counter clicks;
    box->OnClick = MakeEvent<&Counter::Hit>(&clicks);
    Show();
    Mouse(box, WM_RBUTTONDOWN, 50, 10, MK_RBUTTON);
    Mouse(box, WM_RBUTTONUP, 50, 10);
    EXPECT_TRUE(box->GetChecked());
    EXPECT_EQ(1, clicks.Count);
}

TEST_F(SkinCheckBoxTest, SpaceTurnsTheFocusedBoxAndNoKeyReleaseReachesOnKeyUp)
{
    auto* box = HandheldBox(20);
    Counter clicks;
    KeyUps ups;
    box->OnClick = MakeEvent<&Counter::Hit>(&clicks);
    box->OnKeyUp = MakeEvent<&KeyUps::Hit>(&ups);
    Show();
    box->SetFocus();
    Key(box, VK_SPACE);
    EXPECT_TRUE(box->GetChecked());
    Key(box, VK_SPACE);
    EXPECT_FALSE(box->GetChecked());
    Key(box, 'A');
    EXPECT_FALSE(box->GetChecked());
    EXPECT_EQ(2, clicks.Count);
    EXPECT_EQ(0, ups.Count);
}

TEST_F(SkinCheckBoxTest, TheCaptionsAcceleratorFocusesAndTogglesIt)
{
    auto* other = Place<TEpCheckBox>(Host, 10, 100, 100, 20);
    auto* box = HandheldBox(20);
    box->SetCaption("&Auto Send Current Map");
    box->SetState(cbGrayed);
    Show();
    other->SetFocus();
    PostMessageA(other->Handle(), WM_SYSCHAR, 'a', 0);
    Application->ProcessMessages();
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(cbChecked, box->State());
    EXPECT_EQ(cbUnchecked, other->State());
    PostMessageA(other->Handle(), WM_SYSCHAR, 'A', 0);
    Application->ProcessMessages();
    EXPECT_EQ(cbUnchecked, box->State());
    // A control that cannot take the focus leaves the accelerator alone.
    box->SetEnabled(false);
    EXPECT_EQ(0, box->Perform(CM_DIALOGCHAR, 'a', 0));
    EXPECT_EQ(cbUnchecked, box->State());
}

// --- Radio buttons ----------------------------------------------------------------------

TEST_F(SkinRadioButtonTest, TheStyledMarkFillsTheInnerSquare)
{
    auto* r = Place<TEpRadioButton>(Host, 10, 10, 120, 20);
    r->BoxBackground()->SetColor(clWindow);
    r->SetGlyphColor(clRed);
    // No tab stop: the form would open on it, which checks it.
    r->SetTabStop(false);
    Show();
    // Box (0, 2, 15, 17); inside the border and 2 more: (3, 5, 12, 14).
    EXPECT_EQ(0u, BufferRgb(r, 0, 9));
    EXPECT_EQ(OpaqueRgb(clWindow), BufferRgb(r, 7, 9));
    r->SetChecked(true);
    EXPECT_EQ(OpaqueRgb(clRed), BufferRgb(r, 7, 9));
    EXPECT_EQ(OpaqueRgb(clRed), BufferRgb(r, 7, 6));
    EXPECT_EQ(OpaqueRgb(clWindow), BufferRgb(r, 2, 9));
    EXPECT_EQ(OpaqueRgb(clWindow), BufferRgb(r, 12, 9));
    EXPECT_EQ(OpaqueRgb(clWindow), BufferRgb(r, 7, 4));
    EXPECT_EQ(OpaqueRgb(clWindow), BufferRgb(r, 7, 14));
    // A style change repaints at once.
    r->BoxBackground()->SetColor(clYellow);
    EXPECT_EQ(OpaqueRgb(clYellow), BufferRgb(r, 2, 9));
}

TEST_F(SkinRadioButtonTest, CheckingOneUnchecksTheOthersOfItsParentAndGroupOnly)
{
    auto* r1 = Place<TEpRadioButton>(Host, 10, 10, 150, 20);
    auto* r2 = Place<TEpRadioButton>(Host, 10, 40, 150, 20);
    auto* r3 = Place<TEpRadioButton>(Host, 10, 70, 150, 20);
    auto* otherGroup = Place<TEpRadioButton>(Host, 10, 100, 150, 20);
    otherGroup->SetGroupIndex(1);
    auto* elsewhere = Place<TGradientHost>(Form, 0, 245, 360, 40);
    auto* otherParent = Place<TEpRadioButton>(elsewhere, 10, 10, 150, 20);
    r1->SetChecked(true);
    otherGroup->SetChecked(true);
    otherParent->SetChecked(true);
    Counter c1, c2, c3, cGroup, cParent;
    r1->OnClick = MakeEvent<&Counter::Hit>(&c1);
    r2->OnClick = MakeEvent<&Counter::Hit>(&c2);
    r3->OnClick = MakeEvent<&Counter::Hit>(&c3);
    otherGroup->OnClick = MakeEvent<&Counter::Hit>(&cGroup);
    otherParent->OnClick = MakeEvent<&Counter::Hit>(&cParent);
    Show();
    Mouse(r2, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    Mouse(r2, WM_LBUTTONUP, 5, 10);
    EXPECT_FALSE(r1->GetChecked());
    EXPECT_TRUE(r2->GetChecked());
    EXPECT_FALSE(r3->GetChecked());
    EXPECT_TRUE(otherGroup->GetChecked());
    EXPECT_TRUE(otherParent->GetChecked());
    // One click, from the button that became checked.
    EXPECT_EQ(0, c1.Count);
    EXPECT_EQ(1, c2.Count);
    EXPECT_EQ(0, c3.Count + cGroup.Count + cParent.Count);
    // Only the checked one of a group is a tab stop.
    EXPECT_FALSE(r1->TabStop());
    EXPECT_TRUE(r2->TabStop());
    // A click on the checked one changes nothing.
    Mouse(r2, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    Mouse(r2, WM_LBUTTONUP, 5, 10);
    EXPECT_TRUE(r2->GetChecked());
    EXPECT_EQ(1, c2.Count);
    // The program unchecking a button: no click.
    r2->SetChecked(false);
    EXPECT_EQ(1, c2.Count);
}

TEST_F(SkinRadioButtonTest, MovingTheFocusOntoOneChecksIt)
{
    auto* r1 = Place<TEpRadioButton>(Host, 10, 10, 150, 20);
    auto* r2 = Place<TEpRadioButton>(Host, 10, 40, 150, 20);
    auto* r3 = Place<TEpRadioButton>(Host, 10, 70, 150, 20);
    Counter c3;
    r3->OnClick = MakeEvent<&Counter::Hit>(&c3);
    Show();
    r1->SetFocus();
    EXPECT_TRUE(r1->GetChecked());
    // The others were never unchecked by a change, so they are still tab
    // stops; Tab moves the focus over r2 (taken out) to r3.
    r2->SetTabStop(false);
    Key(r1, VK_TAB);
    EXPECT_TRUE(r3->Focused());
    EXPECT_TRUE(r3->GetChecked());
    EXPECT_FALSE(r1->GetChecked());
    EXPECT_EQ(1, c3.Count);
    // The program's focus does the same.
    r2->SetFocus();
    EXPECT_TRUE(r2->GetChecked());
    EXPECT_FALSE(r3->GetChecked());
    EXPECT_EQ(1, c3.Count);
}

TEST_F(SkinRadioButtonTest, SpaceAndTheAcceleratorCheckButANearMissDoesNot)
{
    auto* r1 = Place<TEpRadioButton>(Host, 10, 10, 150, 20);
    auto* r2 = Place<TEpRadioButton>(Host, 10, 40, 150, 20);
    r2->SetCaption("Send to Position #&2");
    Counter c1;
    r1->OnClick = MakeEvent<&Counter::Hit>(&c1);
    Show();
    r1->SetFocus();
    r1->SetChecked(false);
    // Focused but unchecked: a release beside it leaves it so.
    Mouse(r1, WM_LBUTTONDOWN, 5, 10, MK_LBUTTON);
    Mouse(r1, WM_LBUTTONUP, 151, 10);
    EXPECT_FALSE(r1->GetChecked());
    const int before = c1.Count;
    Key(r1, VK_SPACE);
    EXPECT_TRUE(r1->GetChecked());
    EXPECT_EQ(before + 1, c1.Count);
    Key(r1, VK_SPACE);  // already checked
    EXPECT_TRUE(r1->GetChecked());
    EXPECT_EQ(before + 1, c1.Count);
    PostMessageA(r1->Handle(), WM_SYSCHAR, '2', 0);
    Application->ProcessMessages();
    EXPECT_TRUE(r2->Focused());
    EXPECT_TRUE(r2->GetChecked());
    EXPECT_FALSE(r1->GetChecked());
}

// --- From a form resource -----------------------------------------------------------------

namespace {

class TBoxForm : public TForm {
    GANTREL_CLASS(TBoxForm)
    TBoxForm() : TForm(nullptr, 0) {}
    TEpCheckBox* CheckBox1 = nullptr;
    TKsCustomCheckBox* Grayed = nullptr;
    TEpRadioButton* EpRadioButton1 = nullptr;
    TEpRadioButton* EpRadioButton2 = nullptr;
    TEpRadioButton* EpRadioButton3 = nullptr;
    TKsCustomRadioButton* OtherGroup = nullptr;
    int Clicks = 0;
    void BoxClick(TObject*) { ++Clicks; }
    void BoxDragDrop(TObject*, TObject*, int, int) {}
    void BoxDragOver(TObject*, TObject*, int, int, TDragState, bool&) {}
    void BoxEndDrag(TObject*, TObject*, int, int) {}
    void BoxKey(TObject*, WORD&, TShiftState) {}
    void BoxKeyPress(TObject*, char&) {}
    void BoxMouse(TObject*, TMouseButton, TShiftState, int, int) {}
    void BoxMouseMove(TObject*, TShiftState, int, int) {}
    void BoxNotify(TObject*) {}
    static const TFormTable* Table()
    {
        static const TFormTable table = {
            {GANTREL_FIELD(TBoxForm, CheckBox1), GANTREL_FIELD(TBoxForm, Grayed),
             GANTREL_FIELD(TBoxForm, EpRadioButton1), GANTREL_FIELD(TBoxForm, EpRadioButton2),
             GANTREL_FIELD(TBoxForm, EpRadioButton3), GANTREL_FIELD(TBoxForm, OtherGroup)},
            {GANTREL_HANDLER(TBoxForm, BoxClick), GANTREL_HANDLER(TBoxForm, BoxDragDrop),
             GANTREL_HANDLER(TBoxForm, BoxDragOver), GANTREL_HANDLER(TBoxForm, BoxEndDrag),
             GANTREL_HANDLER(TBoxForm, BoxKey), GANTREL_HANDLER(TBoxForm, BoxKeyPress),
             GANTREL_HANDLER(TBoxForm, BoxMouse), GANTREL_HANDLER(TBoxForm, BoxMouseMove),
             GANTREL_HANDLER(TBoxForm, BoxNotify)},
        };
        return &table;
    }
};

// The handlers come first, so that every state read afterwards could click.
const char* BoxFormText =
    "object BoxForm: TBoxForm\n"
    "  Left = 30\n"
    "  Top = 30\n"
    "  Width = 360\n"
    "  Height = 300\n"
    "  object CheckBox1: TEpCheckBox\n"
    "    OnClick = BoxClick\n"
    "    OnDragDrop = BoxDragDrop\n"
    "    OnDragOver = BoxDragOver\n"
    "    OnEndDrag = BoxEndDrag\n"
    "    OnKeyDown = BoxKey\n"
    "    OnKeyPress = BoxKeyPress\n"
    "    OnKeyUp = BoxKey\n"
    "    OnMouseDown = BoxMouse\n"
    "    OnMouseMove = BoxMouseMove\n"
    "    OnMouseUp = BoxMouse\n"
    "    OnMouseEnter = BoxNotify\n"
    "    OnMouseLeave = BoxNotify\n"
    "    Left = 10\n"
    "    Top = 10\n"
    "    Width = 168\n"
    "    Height = 17\n"
    "    Caption = 'Auto Send Current Map'\n"
    "    Checked = True\n"
    "    Spacing = 6\n"
    "    Transparent = False\n"
    "    Blend = False\n"
    "    BlendValue = 200\n"
    "    BoxBackground.Color = clWindow\n"
    "    BoxBorder.Color = clBlack\n"
    "    BoxBorder.Width = 1\n"
    "    BoxWidth = 12\n"
    "    ShowGlyph = True\n"
    "    GlyphColor = clBlack\n"
    "    Version = '2.1'\n"
    "    TabOrder = 3\n"
    "  end\n"
    "  object Grayed: TKsCustomCheckBox\n"
    "    OnClick = BoxClick\n"
    "    Left = 10\n"
    "    Top = 40\n"
    "    State = cbGrayed\n"
    "  end\n"
    "  object EpRadioButton1: TEpRadioButton\n"
    "    OnClick = BoxClick\n"
    "    Left = 10\n"
    "    Top = 80\n"
    "    Width = 200\n"
    "    Caption = 'Send to Position #1'\n"
    "    Checked = True\n"
    "    GroupIndex = 0\n"
    "    BoxWidth = 15\n"
    "    BoxBackground.Style = ebsGradient\n"
    "    BoxBackground.GradientDirection = egdHorizontal\n"
    "  end\n"
    "  object EpRadioButton2: TEpRadioButton\n"
    "    OnClick = BoxClick\n"
    "    Left = 10\n"
    "    Top = 110\n"
    "    Width = 200\n"
    "    Caption = 'Send to Position #2'\n"
    "    Checked = True\n"
    "  end\n"
    "  object EpRadioButton3: TEpRadioButton\n"
    "    OnClick = BoxClick\n"
    "    Left = 10\n"
    "    Top = 140\n"
    "    Width = 200\n"
    "    Caption = 'Send to Position #3'\n"
    "  end\n"
    "  object OtherGroup: TKsCustomRadioButton\n"
    "    OnClick = BoxClick\n"
    "    Top = 170\n"
    "    Checked = True\n"
    "    GroupIndex = 1\n"
    "  end\n"
    "end\n";

}  // namespace

TEST_F(SkinRadioButtonTest, LoadingAFormClicksNothingAndEachReadsItsOwnChecked)
{
    RegisterSkinClasses();
    TBoxForm* form = new TBoxForm;
    ReadFormText(form, BoxFormText, TBoxForm::Table());
    EXPECT_EQ(0, form->Clicks);
    ASSERT_NE(nullptr, form->CheckBox1);
    EXPECT_TRUE(form->CheckBox1->GetChecked());
    EXPECT_EQ(6, form->CheckBox1->Spacing());
    EXPECT_EQ(12, form->CheckBox1->BoxWidth());
    EXPECT_FALSE(form->CheckBox1->Transparent());
    EXPECT_EQ(200, form->CheckBox1->BlendValue());
    EXPECT_EQ(clWindow, form->CheckBox1->BoxBackground()->Color());
    EXPECT_TRUE(bool(form->CheckBox1->OnDragOver));
    EXPECT_EQ(cbGrayed, form->Grayed->State());
    EXPECT_FALSE(form->Grayed->GetChecked());
    // The second button read as checked took the check from the first; a
    // button read as checked before its group index keeps its own group.
    EXPECT_FALSE(form->EpRadioButton1->GetChecked());
    EXPECT_TRUE(form->EpRadioButton2->GetChecked());
    EXPECT_FALSE(form->EpRadioButton3->GetChecked());
    EXPECT_TRUE(form->OtherGroup->GetChecked());
    EXPECT_FALSE(form->EpRadioButton1->TabStop());
    EXPECT_TRUE(form->EpRadioButton2->TabStop());
    EXPECT_EQ(egdHorizontal, form->EpRadioButton1->BoxBackground()->GradientDirection());
    // Reading a radio button is reading that radio button, whatever the
    // check box says.
    form->CheckBox1->SetChecked(false);
    EXPECT_TRUE(form->EpRadioButton2->GetChecked());
    EXPECT_EQ(1, form->Clicks);
    form->Show();
    Pump(30);
    Mouse(form->EpRadioButton3, WM_LBUTTONDOWN, 5, 8, MK_LBUTTON);
    Mouse(form->EpRadioButton3, WM_LBUTTONUP, 5, 8);
    EXPECT_TRUE(form->EpRadioButton3->GetChecked());
    EXPECT_FALSE(form->EpRadioButton2->GetChecked());
    EXPECT_EQ(2, form->Clicks);
    form->Free();
}

TEST_F(SkinRadioButtonTest, AGroupIndexBeyondAByteIsAFormError)
{
    RegisterSkinClasses();
    TBoxForm* form = new TBoxForm;
    EXPECT_THROW(ReadFormText(form,
                              "object BoxForm: TBoxForm\n"
                              "  object EpRadioButton1: TEpRadioButton\n"
                              "    GroupIndex = 256\n"
                              "  end\n"
                              "end\n",
                              nullptr),
                 EReadError);
    form->Free();
}

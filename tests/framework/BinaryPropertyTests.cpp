// Binary properties both ways: what a class defines for itself is read from
// form text and written back as form text the reader takes again; a plain
// bitmap's "Data" (a control's "Glyph.Data"); the cursor names of forms.
#include "Control.h"
#include "Form.h"
#include "Graphic.h"
#include "Panel.h"
#include "Reader.h"
#include "Streams.h"
#include "Writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A 2 x 2 bitmap file, 24 bits: top row red, white; bottom row blue, green.
const std::string BitmapHex =
    "424D46000000000000003600000028000000020000000200000001001800000000001000000000000000000000000000000000000000"
    "FF000000FF0000000000FFFFFFFF0000";

// A component owning a bitmap, as a control owns its glyph.
class TGlyphProbe : public TComponent {
    GANTREL_CLASS(TGlyphProbe)
    explicit TGlyphProbe(TComponent* owner) : TComponent(owner) {}
    TBitmap Glyph;
    TPersistent* PropertyObject(const std::string& name) override
    {
        if (name == "Glyph") return &Glyph;
        return TComponent::PropertyObject(name);
    }
};

class TGlyphForm : public TForm {
    GANTREL_CLASS(TGlyphForm)
    explicit TGlyphForm(TComponent* owner) : TForm(owner, 0) {}
};

// Reads "object Probe: TGlyphProbe" with the given property lines into a new form.
TGlyphForm* ReadGlyphForm(const std::string& properties)
{
    RegisterClass<TGlyphProbe>();
    TGlyphForm* form = new TGlyphForm(nullptr);
    try {
        ReadFormText(form, "object GlyphForm: TGlyphForm\n  object Probe: TGlyphProbe\n" + properties + "  end\nend\n", nullptr);
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

TBitmap& GlyphOf(TGlyphForm* form)
{
    return form->FindComponent<TGlyphProbe>("Probe")->Glyph;
}

void ExpectTestPixels(TBitmap& bitmap)
{
    ASSERT_EQ(2, bitmap.Width());
    ASSERT_EQ(2, bitmap.Height());
    EXPECT_EQ(RGB(255, 0, 0), bitmap.Canvas()->Pixel(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), bitmap.Canvas()->Pixel(1, 0));
    EXPECT_EQ(RGB(0, 0, 255), bitmap.Canvas()->Pixel(0, 1));
    EXPECT_EQ(RGB(0, 255, 0), bitmap.Canvas()->Pixel(1, 1));
}

TEST(BinaryPropertyTest, BitmapDataIsReadWithAndWithoutItsLength)
{
    TGlyphForm* plain = ReadGlyphForm("    Glyph.Data = {" + BitmapHex + "}\n");
    ExpectTestPixels(GlyphOf(plain));
    plain->Free();
    TGlyphForm* counted = ReadGlyphForm("    Glyph.Data = {46000000" + BitmapHex + "}\n");
    ExpectTestPixels(GlyphOf(counted));
    counted->Free();
}

// A control publishing two plain bitmaps, as glyph buttons and shaped forms do.
class TGlyphTestControl : public TGraphicControl {
    GANTREL_CLASS(TGlyphTestControl)
    explicit TGlyphTestControl(TComponent* owner) : TGraphicControl(owner) {}
    TBitmap Glyph;
    TBitmap Mask;
    TPersistent* PropertyObject(const std::string& name) override
    {
        if (name == "Glyph") return &Glyph;
        if (name == "Mask") return &Mask;
        return TGraphicControl::PropertyObject(name);
    }
};

TEST(BinaryPropertyTest, ControlsBitmapsAreReadFromAFormResource)
{
    class TGlyphResourceForm : public TForm {
        GANTREL_CLASS(TGlyphResourceForm)
        explicit TGlyphResourceForm(TComponent* owner) : TForm(owner, 0) { ReadFormResource(this, nullptr); }
    };
    RegisterClass<TGlyphTestControl>();
    auto* form = NewForm<TGlyphResourceForm>(nullptr);
    auto* control = form->FindComponent<TGlyphTestControl>("Glyphs1");
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(form, control->Parent());
    // 16 colours, 4 x 2, stored after its length.
    TBitmap& glyph = control->Glyph;
    ASSERT_EQ(4, glyph.Width());
    ASSERT_EQ(2, glyph.Height());
    const COLORREF top[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    const COLORREF bottom[] = {RGB(0, 0, 0), RGB(255, 255, 0), RGB(255, 0, 255), RGB(0, 255, 255)};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(top[x], glyph.Canvas()->Pixel(x, 0)) << x;
        EXPECT_EQ(bottom[x], glyph.Canvas()->Pixel(x, 1)) << x;
    }
    // 256 colours, 3 x 2, bare: magenta outside, black inside.
    TBitmap& mask = control->Mask;
    ASSERT_EQ(3, mask.Width());
    ASSERT_EQ(2, mask.Height());
    const COLORREF magenta = RGB(255, 0, 255), black = RGB(0, 0, 0);
    EXPECT_EQ(magenta, mask.Canvas()->Pixel(0, 0));
    EXPECT_EQ(black, mask.Canvas()->Pixel(1, 0));
    EXPECT_EQ(magenta, mask.Canvas()->Pixel(2, 0));
    EXPECT_EQ(black, mask.Canvas()->Pixel(0, 1));
    EXPECT_EQ(black, mask.Canvas()->Pixel(1, 1));
    EXPECT_EQ(magenta, mask.Canvas()->Pixel(2, 1));
    form->Free();
}

TEST(BinaryPropertyTest, BitmapDataWrittenIsReadBackTheSame)
{
    TGlyphForm* first = ReadGlyphForm("    Glyph.Data = {46000000" + BitmapHex + "}\n");
    TWriter writer("    ");
    writer.WriteDefinedProperties(&GlyphOf(first), "Glyph.");
    const std::string text = writer.Text();
    first->Free();
    ASSERT_EQ(0u, text.find("    Glyph.Data = {\n      424D")) << text;

    TGlyphForm* second = ReadGlyphForm(text);
    ExpectTestPixels(GlyphOf(second));
    // What the second form holds writes out as the same text again.
    TWriter again("    ");
    again.WriteDefinedProperties(&GlyphOf(second), "Glyph.");
    EXPECT_EQ(text, again.Text());
    second->Free();
}

TEST(BinaryPropertyTest, AnEmptyBitmapStoresNoData)
{
    TBitmap bitmap;
    TWriter writer;
    writer.WriteDefinedProperties(&bitmap, "Glyph.");
    EXPECT_EQ("", writer.Text());
}

TEST(BinaryPropertyTest, BinaryValuesAreWrittenInRowsTheReaderTakes)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 33; ++i) bytes.push_back(uint8_t(i * 7 + 1));
    std::string text = FormatBinaryValue(bytes, "  ");
    // 32 bytes a row, then the rest.
    std::string firstRow, secondRow;
    for (int i = 0; i < 32; ++i) {
        char hex[3];
        snprintf(hex, sizeof hex, "%02X", bytes[size_t(i)]);
        firstRow += hex;
    }
    EXPECT_EQ("{\n    " + firstRow + "\n    E1\n    }", text);
    EXPECT_EQ("{\n    }", FormatBinaryValue({}, "  "));

    TObjectNode node = ParseFormText("object A: TA\n  Blob = " + text + "\n  Empty = " + FormatBinaryValue({}, "  ") + "\nend\n", "TA");
    ASSERT_EQ(2u, node.Properties.size());
    EXPECT_EQ(bytes, node.Properties[0].Value.Bytes);
    EXPECT_EQ(TValueKind::Binary, node.Properties[1].Value.Kind);
    EXPECT_TRUE(node.Properties[1].Value.Bytes.empty());
}

TEST(BinaryPropertyTest, SplitterCursorIsNamedInFormsAndCode)
{
    class TCursorForm : public TForm {
        GANTREL_CLASS(TCursorForm)
        explicit TCursorForm(TComponent* owner) : TForm(owner, 0) {}
    };
    TCursorForm* form = new TCursorForm(nullptr);
    ReadFormText(form, "object CursorForm: TCursorForm\n  object Panel1: TPanel\n    Cursor = crHSplit\n  end\n"
                       "  object Panel2: TPanel\n    Cursor = crHandPoint\n  end\nend\n", nullptr);
    HCURSOR sizeWE = LoadCursorA(nullptr, IDC_SIZEWE);
    ASSERT_NE(nullptr, sizeWE);
    EXPECT_EQ(sizeWE, form->FindComponent<TPanel>("Panel1")->Cursor);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), form->FindComponent<TPanel>("Panel2")->Cursor);
    EXPECT_EQ(sizeWE, CursorHandle(crHSplit));
    EXPECT_EQ(nullptr, CursorHandle(crDefault));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_IBEAM), CursorHandle(crIBeam));
    form->Free();
}

}  // namespace

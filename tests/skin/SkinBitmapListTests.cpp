// Bitmap collections: the binary property byte for byte and back in both
// families, the form resource with and without it, damaged streams, look-up
// by index and by name, and links to a sprite of a bitmap.
#include "Application.h"
#include "BitmapLists.h"
#include "Reader.h"
#include "Streams.h"
#include "Writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

class TListForm : public TForm {
    GANTREL_CLASS(TListForm)
    TListForm() : TForm(nullptr, 0) {}
};

std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char digits[3];
    for (uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        text += digits;
    }
    return text;
}

template <class Bitmap>
Bitmap* MakeBitmap(const std::string& name, int width, const std::vector<TKColor>& pixels)
{
    auto* bitmap = new Bitmap;
    bitmap->SetName(name);
    bitmap->SetSize(width, 1);
    for (int x = 0; x < width; ++x) bitmap->SetPixel(x, 0, pixels[size_t(x)]);
    return bitmap;
}

// "a" 1 x 1 and "bc" 2 x 1.
template <class Component>
void FillTwo(Component* component)
{
    using Bitmap = typename std::remove_pointer_t<decltype(component->Bitmaps()->GetBitmap(0))>;
    component->Bitmaps()->Add(MakeBitmap<Bitmap>("a", 1, {0x80112233u}));
    component->Bitmaps()->Add(MakeBitmap<Bitmap>("bc", 2, {0xFF445566u, 0x00778899u}));
}

// The same, written out by hand: count, then name length, name, width,
// height and pixels (blue, green, red, alpha) of each.
const std::vector<uint8_t> TwoBitmaps = {
    2, 0, 0, 0,
    1, 0, 0, 0, 'a', 1, 0, 0, 0, 1, 0, 0, 0, 0x33, 0x22, 0x11, 0x80,
    2, 0, 0, 0, 'b', 'c', 2, 0, 0, 0, 1, 0, 0, 0, 0x66, 0x55, 0x44, 0xFF, 0x99, 0x88, 0x77, 0x00,
};

template <class Component>
std::vector<uint8_t> Written(Component* component)
{
    TMemoryStream stream;
    component->WriteBitmaps(stream);
    return stream.Bytes();
}

template <class Component>
void Read(Component* component, const std::vector<uint8_t>& bytes)
{
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), long(bytes.size()));
    stream.SetPosition(0);
    component->ReadBitmaps(stream);
}

template <class Component>
void ExpectTwo(Component* component)
{
    ASSERT_EQ(2, component->Count());
    auto* a = component->Bitmaps()->GetBitmap(0);
    auto* bc = component->Bitmaps()->GetBitmap(1);
    EXPECT_EQ("a", a->Name());
    EXPECT_EQ(1, a->Width());
    EXPECT_EQ(1, a->Height());
    EXPECT_EQ(0x80112233u, a->GetPixel(0, 0));
    EXPECT_EQ("bc", bc->Name());
    EXPECT_EQ(2, bc->Width());
    EXPECT_EQ(1, bc->Height());
    EXPECT_EQ(0xFF445566u, bc->GetPixel(0, 0));
    EXPECT_EQ(0x00778899u, bc->GetPixel(1, 0));
}

}  // namespace

TEST(SkinBitmapList, TwoBitmapsAreFortyThreeBytes)
{
    TEpBitmapList ks(nullptr);
    FillTwo(&ks);
    EXPECT_EQ(TwoBitmaps, Written(&ks));
    EXPECT_EQ(43u, Written(&ks).size());
    TMpMediaBitmapList mp(nullptr);
    FillTwo(&mp);
    EXPECT_EQ(TwoBitmaps, Written(&mp));
}

TEST(SkinBitmapList, EachFamilyReadsTheOthersBytes)
{
    TEpBitmapList ks(nullptr);
    Read(&ks, TwoBitmaps);
    ExpectTwo(&ks);
    TMpMediaBitmapList mp(nullptr);
    Read(&mp, Written(&ks));
    ExpectTwo(&mp);
    TEpBitmapList back(nullptr);
    Read(&back, Written(&mp));
    ExpectTwo(&back);
    // Reading replaces what was there.
    Read(&back, TwoBitmaps);
    EXPECT_EQ(2, back.Count());
}

TEST(SkinBitmapList, TheFormResourceHoldsTheListOnlyWhenItHasBitmaps)
{
    TEpBitmapList empty(nullptr);
    TWriter none;
    none.WriteDefinedProperties(&empty);
    EXPECT_EQ("", none.Text());

    TEpBitmapList ks(nullptr);
    FillTwo(&ks);
    TWriter writer;
    writer.WriteDefinedProperties(&ks);
    EXPECT_NE(std::string::npos, writer.Text().find("KSBitmaps = {"));
    TMpMediaBitmapList mp(nullptr);
    FillTwo(&mp);
    TWriter mpWriter;
    mpWriter.WriteDefinedProperties(&mp);
    EXPECT_NE(std::string::npos, mpWriter.Text().find("KsBitmaps = {"));

    RegisterBitmapListClasses();
    TListForm* form = new TListForm;
    ReadFormText(form,
                 "object ListForm: TListForm\n"
                 "  object Images: TEpBitmapList\n"
                 "    Version = '9.9'\n" +
                     writer.Text() +
                     "  end\n"
                     "  object MediaImages: TMpMediaBitmapList\n"
                     "    KsBitmaps = {" + Hex(TwoBitmaps) + "}\n"
                     "  end\n"
                     "  object NoImages: TEpBitmapList\n"
                     "  end\n"
                     "end\n",
                 nullptr);
    auto* images = form->FindComponent<TEpBitmapList>("Images");
    ASSERT_NE(nullptr, images);
    ExpectTwo(images);
    EXPECT_EQ("2.1", images->Version());
    ExpectTwo(form->FindComponent<TMpMediaBitmapList>("MediaImages"));
    EXPECT_EQ("2.8.0", form->FindComponent<TMpMediaBitmapList>("MediaImages")->Version());
    EXPECT_EQ(0, form->FindComponent<TEpBitmapList>("NoImages")->Count());
    form->Free();
}

TEST(SkinBitmapList, ADamagedStreamReadsNoFurtherThanItHolds)
{
    TEpBitmapList list(nullptr);
    // A count far beyond one record: the list ends with the stream.
    std::vector<uint8_t> bytes = TwoBitmaps;
    bytes[0] = 0xFF;
    bytes[1] = 0xFF;
    bytes[2] = 0xFF;
    bytes[3] = 0x7F;
    Read(&list, bytes);
    EXPECT_EQ(2, list.Count());
    // No count, a negative one, and a count without records.
    Read(&list, {});
    EXPECT_EQ(0, list.Count());
    Read(&list, {0xFE, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(0, list.Count());
    Read(&list, {0x10, 0x00, 0x00, 0x00});
    EXPECT_EQ(0, list.Count());
    // A record cut inside its pixels: the name is read, the pixels are not.
    std::vector<uint8_t> cut(TwoBitmaps.begin(), TwoBitmaps.end() - 3);
    Read(&list, cut);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ("bc", list.Bitmaps()->GetBitmap(1)->Name());
    EXPECT_TRUE(list.Bitmaps()->GetBitmap(1)->Empty());
    // A huge name length and size in a short record.
    Read(&list, {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'x', 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0});
    ASSERT_EQ(1, list.Count());
    EXPECT_TRUE(list.Bitmaps()->GetBitmap(0)->Empty());
}

TEST(SkinBitmapList, IndexesOutsideTheListFindNothing)
{
    TEpBitmapList list(nullptr);
    FillTwo(&list);
    EXPECT_EQ(nullptr, list.Bitmaps()->GetBitmap(-1));
    EXPECT_EQ(nullptr, list.Bitmaps()->GetBitmap(2));
    EXPECT_EQ("bc", list.Bitmaps()->GetBitmap(1)->Name());
}

TEST(SkinBitmapList, NamesIgnoreCaseTheLinkTakesTheLastTheSearchTheFirst)
{
    TKsMediaBitmapList list;
    auto* first = MakeBitmap<TKsMediaBitmap>("skin", 2, {1, 2});
    auto* second = MakeBitmap<TKsMediaBitmap>("Skin", 2, {3, 4});
    list.Add(first);
    list.Add(second);
    std::unique_ptr<TKsMediaBitmapLink> link(list.GetBitmapLink("SKIN", RECT{0, 0, 1, 1}));
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(second, link->Bitmap());
    EXPECT_EQ("Skin", link->Name());
    EXPECT_EQ(first, list.GetBitmapByName("SKIN"));
    EXPECT_EQ(nullptr, list.GetBitmapByName("skins"));
    EXPECT_EQ(nullptr, list.GetBitmapLink("skins", RECT{0, 0, 1, 1}));
    std::unique_ptr<TKsMediaBitmapLink> text(list.GetBitmapLink("sKiN", "0,0,2,1"));
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(2, text->Right());

    TKsBitmapList ks;
    ks.Add(MakeBitmap<TKsBitmap>("one", 1, {5}));
    ks.Add(MakeBitmap<TKsBitmap>("ONE", 1, {6}));
    std::unique_ptr<TKsBitmapLink> ksLink(ks.GetBitmapLink("One", RECT{0, 0, 1, 1}));
    ASSERT_NE(nullptr, ksLink);
    EXPECT_EQ(ks.GetBitmap(1), ksLink->Bitmap());
    // By bitmap: only one the list holds.
    TKsBitmap stranger;
    EXPECT_EQ(nullptr, ks.GetBitmapLink(&stranger, RECT{0, 0, 1, 1}));
    std::unique_ptr<TKsBitmapLink> byBitmap(ks.GetBitmapLink(ks.GetBitmap(0), RECT{0, 0, 1, 1}));
    ASSERT_NE(nullptr, byBitmap);
    EXPECT_EQ("one", byBitmap->Name());
}

TEST(SkinBitmapList, ALinkDrawsItsSpriteOnly)
{
    TKsBitmap sheet;
    sheet.SetName("sheet");
    sheet.SetSize(4, 2);
    sheet.Clear(0xFF0000FFu);
    sheet.SetPixel(2, 1, 0xFFFF0000u);
    sheet.SetPixel(3, 1, 0xFF00FF00u);
    std::unique_ptr<TKsBitmapLink> link(GetBitmapLink(&sheet, "2 1 4 2"));
    EXPECT_EQ("sheet", link->Name());
    EXPECT_TRUE(link->Assigned());
    TKsBitmap dest;
    dest.SetSize(5, 5);
    dest.Clear(0xFFFFFFFFu);
    link->Draw(&dest, 1, 3);
    EXPECT_EQ(0xFFFF0000u, dest.GetPixel(1, 3));
    EXPECT_EQ(0xFF00FF00u, dest.GetPixel(2, 3));
    EXPECT_EQ(0xFFFFFFFFu, dest.GetPixel(0, 3));
    EXPECT_EQ(0xFFFFFFFFu, dest.GetPixel(1, 2));
    EXPECT_EQ(0xFFFFFFFFu, dest.GetPixel(3, 3));

    // A copy keeps bitmap, rectangle and name.
    TKsBitmapLink copy;
    copy.Assign(link.get());
    EXPECT_EQ(&sheet, copy.Bitmap());
    EXPECT_EQ(2, copy.Left());
    EXPECT_EQ(1, copy.Top());
    EXPECT_EQ("sheet", copy.Name());
    TKsMediaBitmapLink other;
    EXPECT_THROW(copy.Assign(&other), EConvertError);

    // No width: not assigned, nothing drawn.
    copy.SetRight(copy.Left());
    EXPECT_FALSE(copy.Assigned());
    dest.Clear(0xFFFFFFFFu);
    copy.Draw(&dest, 0, 0);
    TBitmap canvasTarget;
    canvasTarget.SetSize(2, 2);
    canvasTarget.Canvas()->Brush()->SetColor(clWhite);
    canvasTarget.Canvas()->FillRect(RECT{0, 0, 2, 2});
    copy.Draw(canvasTarget.Canvas(), 0, 0);
    EXPECT_EQ(RGB(255, 255, 255), canvasTarget.Canvas()->Pixel(0, 0));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(0xFFFFFFFFu, dest.GetPixel(x, y));
    // On a canvas, the sprite alone.
    link->Draw(canvasTarget.Canvas(), 0, 0);
    EXPECT_EQ(RGB(255, 0, 0), canvasTarget.Canvas()->Pixel(0, 0));
    EXPECT_EQ(RGB(0, 255, 0), canvasTarget.Canvas()->Pixel(1, 0));
    EXPECT_EQ(RGB(255, 255, 255), canvasTarget.Canvas()->Pixel(0, 1));
    // No bitmap: not assigned.
    TKsBitmapLink bare;
    bare.SetRect(RECT{0, 0, 3, 3});
    EXPECT_FALSE(bare.Assigned());
    bare.Draw(&dest, 0, 0);
}

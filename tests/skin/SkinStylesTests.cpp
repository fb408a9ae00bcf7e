// Background and border styles: their values after construction, the
// setters' limits and notifications, each kind of fill and frame in
// pixels, reading them from a form resource with their bitmap list, and a
// freed list forgotten by the styles that took images from it.
#include "Application.h"
#include "Reader.h"
#include "SkinStyles.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TChangeCounter : TObject {
    int Count = 0;
    TObject* Sender = nullptr;
    void Changed(TObject* sender)
    {
        ++Count;
        Sender = sender;
    }
};

template <class Style>
TChangeCounter* Listen(Style& style, TChangeCounter& counter)
{
    style.OnChange = MakeEvent<&TChangeCounter::Changed>(&counter);
    return &counter;
}

// A list of n opaque images of 2 x 2, image i in colour 0xFF000000 + i + 1.
template <class List>
void AddImages(List* list, int n)
{
    for (int i = 0; i < n; ++i) {
        auto* bitmap = new typename std::remove_pointer_t<decltype(list->Bitmaps()->GetBitmap(0))>;
        bitmap->SetSize(2, 2);
        bitmap->Clear(0xFF000000u + TKColor(i + 1));
        list->Bitmaps()->Add(bitmap);
    }
}

// The 9 x 9 image of a border: margins of 3, each of the nine parts in a
// colour of its own (row r, column c of the 3 x 3 grid: 0xFF00rc00), the
// top edge's middle column a little apart so that tiling and stretching
// show.
template <class Bitmap>
void PaintNineSlices(Bitmap* image)
{
    image->SetSize(9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) image->SetPixel(x, y, 0xFF000000u | TKColor((y / 3) << 12 | (x / 3) << 8));
    for (int y = 0; y < 3; ++y) image->SetPixel(4, y, 0xFFFFFFFFu);
}

TKColor Part(int row, int column) { return 0xFF000000u | TKColor(row << 12 | column << 8); }

}  // namespace

TEST(SkinStyles, ValuesAfterConstruction)
{
    TEpBackground background;
    EXPECT_EQ(ebsColor, background.Style());
    EXPECT_EQ(clWindow, background.Color());
    EXPECT_EQ(nullptr, background.Bitmaps());
    EXPECT_EQ(-1, background.BitmapIndex());
    EXPECT_EQ(etsTile, background.BitmapTileStyle());
    EXPECT_EQ(egsLinear, background.GradientStyle());
    EXPECT_EQ(clHighlight, background.GradientOrPlasmaColor());
    EXPECT_EQ(egdVertical, background.GradientDirection());
    EXPECT_EQ(50, background.GradientCenterX());
    EXPECT_EQ(50, background.GradientCenterY());
    EXPECT_EQ(nullptr, background.Plasma());
    EXPECT_FALSE(background.OnChange);

    TMpMediaBorder border;
    EXPECT_EQ(nullptr, border.Bitmaps());
    EXPECT_EQ(-1, border.BitmapIndex());
    EXPECT_EQ(3, border.BitmapMarginX());
    EXPECT_EQ(3, border.BitmapMarginY());
    EXPECT_EQ(etsTile, border.BitmapTileStyle());
    EXPECT_EQ(clBlack, border.Color());
    EXPECT_EQ(ebsSingleBorder, border.Style());
    EXPECT_EQ(1, border.Width());
}

TEST(SkinStyles, GradientCentresAreKeptWithinTenToNinety)
{
    TMpMediaBackground background;
    background.SetGradientCenterX(0);
    EXPECT_EQ(10, background.GradientCenterX());
    background.SetGradientCenterX(95);
    EXPECT_EQ(90, background.GradientCenterX());
    background.SetGradientCenterY(-20);
    EXPECT_EQ(10, background.GradientCenterY());
    background.SetGradientCenterY(33);
    EXPECT_EQ(33, background.GradientCenterY());
}

TEST(SkinStyles, BitmapIndexStopsAtTheListsCount)
{
    TEpBitmapList list(nullptr);
    AddImages(&list, 3);
    TEpBackground background;
    background.SetStyle(ebsBitmap);
    background.SetBitmapIndex(7);  // no list yet
    EXPECT_EQ(7, background.BitmapIndex());
    background.SetBitmaps(&list);
    background.SetBitmapIndex(7);
    EXPECT_EQ(3, background.BitmapIndex());
    TKsBitmap bitmap;
    bitmap.SetSize(4, 4);
    bitmap.Clear(0xFFABCDEFu);
    background.Draw(&bitmap, RECT{0, 0, 4, 4});
    EXPECT_EQ(0xFFABCDEFu, bitmap.GetPixel(1, 1));
    background.SetBitmapIndex(-1);
    background.Draw(&bitmap, RECT{0, 0, 4, 4});
    EXPECT_EQ(0xFFABCDEFu, bitmap.GetPixel(1, 1));
    background.SetBitmapIndex(2);
    background.Draw(&bitmap, RECT{0, 0, 4, 4});
    EXPECT_EQ(0xFF000003u, bitmap.GetPixel(3, 3));

    TEpBorder border;
    border.SetBitmaps(&list);
    border.SetBitmapIndex(9);
    EXPECT_EQ(3, border.BitmapIndex());
}

TEST(SkinStyles, ChangesAreAnnounced)
{
    TChangeCounter counter;
    TEpBackground background;
    Listen(background, counter);
    background.SetColor(clRed);
    EXPECT_EQ(2, counter.Count);
    EXPECT_EQ(&background, counter.Sender);
    background.SetGradientOrPlasmaColor(clBlue);
    EXPECT_EQ(4, counter.Count);
    background.SetGradientCenterX(0);
    background.SetStyle(ebsGradient);
    background.SetBitmapIndex(1);
    EXPECT_EQ(7, counter.Count);

    // Assign fires once on a background, never on a border.
    TEpBackground other;
    other.SetColor(clLime);
    counter.Count = 0;
    background.Assign(&other);
    EXPECT_EQ(1, counter.Count);
    EXPECT_EQ(clLime, background.Color());
    EXPECT_EQ(ebsColor, background.Style());

    TChangeCounter borderCounter;
    TEpBorder border, source;
    source.SetWidth(4);
    source.SetStyle(ebsBitmapBorder);
    source.SetBitmapMarginX(6);
    Listen(border, borderCounter);
    border.Assign(&source);
    EXPECT_EQ(0, borderCounter.Count);
    EXPECT_EQ(4, border.Width());
    EXPECT_EQ(ebsBitmapBorder, border.Style());
    EXPECT_EQ(6, border.BitmapMarginX());
    // The border's list is only stored.
    TEpBitmapList list(nullptr);
    border.SetBitmaps(&list);
    EXPECT_EQ(0, borderCounter.Count);
    border.SetColor(clRed);
    EXPECT_EQ(1, borderCounter.Count);

    // Other families and kinds are not taken.
    TMpMediaBackground media;
    EXPECT_THROW(media.Assign(&background), EConvertError);
    EXPECT_THROW(border.Assign(&background), EConvertError);
}

TEST(SkinStyles, APlasmaIsBuiltAnewWithEachColour)
{
    TEpBackground background;
    background.SetColor(clBlack);
    background.SetGradientOrPlasmaColor(clWhite);
    EXPECT_EQ(nullptr, background.Plasma());
    background.SetStyle(ebsPlasma);
    ASSERT_NE(nullptr, background.Plasma());
    TKsBitmap before;
    before.SetSize(150, 150);
    background.Plasma()->Draw(&before, 0, 0);
    background.SetColor(clBlack);
    ASSERT_NE(nullptr, background.Plasma());
    int differ = 0;
    for (int y = 0; y < 150; y += 3)
        for (int x = 0; x < 150; x += 3) differ += before.GetPixel(x, y) != background.Plasma()->GetPixel(x, y);
    EXPECT_GT(differ, 100);

    // Drawn tiled from the rectangle's corner.
    TKsBitmap bitmap;
    bitmap.SetSize(200, 170);
    background.Draw(&bitmap, RECT{10, 5, 200, 170});
    for (auto [x, y] : {std::pair{10, 5}, std::pair{159, 154}, std::pair{160, 5}, std::pair{199, 169}})
        EXPECT_EQ(background.Plasma()->GetPixel((x - 10) % 150, (y - 5) % 150), bitmap.GetPixel(x, y));
    background.SetStyle(ebsColor);
    EXPECT_EQ(nullptr, background.Plasma());
}

TEST(SkinStyles, ColourAndGradientFills)
{
    TMpMediaBackground background;
    background.SetColor(clRed);
    TKsMediaBitmap bitmap;
    bitmap.SetSize(20, 10);
    bitmap.Clear(0);
    background.Draw(&bitmap, RECT{2, 2, 5, 5});
    EXPECT_EQ(0xFFFF0000u, bitmap.GetPixel(2, 2));
    EXPECT_EQ(0xFFFF0000u, bitmap.GetPixel(4, 4));
    EXPECT_EQ(0u, bitmap.GetPixel(5, 4));

    // Vertical: from the colour at the top to the other at the bottom.
    background.SetStyle(ebsGradient);
    background.SetColor(clBlack);
    background.SetGradientOrPlasmaColor(clWhite);
    background.Draw(&bitmap, RECT{0, 0, 20, 10});
    EXPECT_EQ(0xFF000000u, bitmap.GetPixel(0, 0));
    EXPECT_EQ(0xFF000000u, bitmap.GetPixel(19, 0));
    EXPECT_GT(KRed(bitmap.GetPixel(0, 9)), 200);
    background.SetGradientDirection(egdHorizontal);
    background.Draw(&bitmap, RECT{0, 0, 20, 10});
    EXPECT_EQ(0xFF000000u, bitmap.GetPixel(0, 9));
    EXPECT_GT(KRed(bitmap.GetPixel(19, 0)), 200);

    // Radial: the colour in the middle, the other outside, all of it opaque.
    background.SetGradientStyle(egsRadial);
    background.SetColor(clWhite);
    background.SetGradientOrPlasmaColor(clBlack);
    bitmap.SetSize(40, 40);
    bitmap.Clear(0x00123456u);
    background.Draw(&bitmap, RECT{0, 0, 40, 40});
    GdiFlush();
    EXPECT_GT(KRed(bitmap.GetPixel(20, 20)), 200);
    // The corner lies 28 pixels out: on the circle of about 35 / 50 of the way.
    EXPECT_LT(KRed(bitmap.GetPixel(0, 0)), 100);
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 40; x += 3) EXPECT_EQ(255, KAlpha(bitmap.GetPixel(x, y)));
    // Centred at (4, 4): the largest circle (radius 41) misses the far
    // corner, which is the outside colour all the same.
    background.SetGradientCenterX(10);
    background.SetGradientCenterY(10);
    bitmap.Clear(0x00123456u);
    background.Draw(&bitmap, RECT{0, 0, 40, 40});
    EXPECT_EQ(0xFF000000u, bitmap.GetPixel(39, 39));
}

TEST(SkinStyles, ImagesTiledOrStretched)
{
    TEpBitmapList list(nullptr);
    auto* image = new TKsBitmap;
    image->SetSize(2, 1);
    image->SetPixel(0, 0, 0xFF0000FFu);
    image->SetPixel(1, 0, 0xFF00FF00u);
    list.Bitmaps()->Add(image);
    TEpBackground background;
    background.SetBitmaps(&list);
    background.SetBitmapIndex(0);
    background.SetStyle(ebsBitmap);
    TKsBitmap bitmap;
    bitmap.SetSize(4, 2);
    background.Draw(&bitmap, RECT{0, 0, 4, 2});
    EXPECT_EQ(0xFF0000FFu, bitmap.GetPixel(0, 1));
    EXPECT_EQ(0xFF00FF00u, bitmap.GetPixel(1, 1));
    EXPECT_EQ(0xFF0000FFu, bitmap.GetPixel(2, 0));
    background.SetBitmapTileStyle(etsStretch);
    background.Draw(&bitmap, RECT{0, 0, 4, 2});
    EXPECT_EQ(0xFF0000FFu, bitmap.GetPixel(1, 1));
    EXPECT_EQ(0xFF00FF00u, bitmap.GetPixel(2, 0));
}

TEST(SkinStyles, ASingleBorderOfWidthTwo)
{
    TEpBorder border;
    border.SetColor(clRed);
    border.SetWidth(2);
    EXPECT_EQ(2, border.GetWidth());
    EXPECT_EQ(2, border.GetHeight());
    TKsBitmap bitmap;
    bitmap.SetSize(14, 12);
    bitmap.Clear(0x00FFFFFFu);
    border.Draw(&bitmap, RECT{2, 2, 12, 10});
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 14; ++x) {
            bool inside = x >= 2 && x < 12 && y >= 2 && y < 10;
            bool frame = inside && (x < 4 || x >= 10 || y < 4 || y >= 8);
            EXPECT_EQ(frame ? 0xFFFF0000u : 0x00FFFFFFu, bitmap.GetPixel(x, y)) << x << "," << y;
        }

    // Around a region instead: a frame inside the region's own outline.
    bitmap.Clear(0x00FFFFFFu);
    HRGN region = CreateRectRgn(1, 1, 9, 8);
    border.Draw(&bitmap, RECT{0, 0, 14, 12}, region);
    DeleteObject(region);
    for (auto [x, y] : {std::pair{1, 1}, std::pair{2, 2}, std::pair{8, 7}, std::pair{8, 3}, std::pair{4, 6}})
        EXPECT_EQ(0xFFFF0000u, bitmap.GetPixel(x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{3, 3}, std::pair{6, 5}, std::pair{9, 7}, std::pair{0, 0}, std::pair{1, 8}})
        EXPECT_EQ(0x00FFFFFFu, bitmap.GetPixel(x, y)) << x << "," << y;

    TEpBorder image;
    image.SetStyle(ebsBitmapBorder);
    image.SetBitmapMarginX(3);
    image.SetBitmapMarginY(5);
    EXPECT_EQ(3, image.GetWidth());
    EXPECT_EQ(5, image.GetHeight());
}

TEST(SkinStyles, NineSlicesOfAnImageBorder)
{
    TMpMediaBitmapList list(nullptr);
    auto* image = new TKsMediaBitmap;
    PaintNineSlices(image);
    list.Bitmaps()->Add(image);
    TMpMediaBorder border;
    border.SetStyle(ebsBitmapBorder);
    border.SetBitmaps(&list);
    border.SetBitmapIndex(0);
    TKsMediaBitmap bitmap;
    bitmap.SetSize(22, 16);
    bitmap.Clear(0xFF777777u);
    const RECT r{1, 1, 21, 15};
    border.Draw(&bitmap, r);
    // Corners as they are.
    EXPECT_EQ(Part(0, 0), bitmap.GetPixel(1, 1));
    EXPECT_EQ(Part(0, 0), bitmap.GetPixel(3, 3));
    EXPECT_EQ(Part(0, 2), bitmap.GetPixel(18, 1));
    EXPECT_EQ(Part(0, 2), bitmap.GetPixel(20, 3));
    EXPECT_EQ(Part(2, 0), bitmap.GetPixel(1, 12));
    EXPECT_EQ(Part(2, 2), bitmap.GetPixel(20, 14));
    // Edges; the centre and the outside stay.
    EXPECT_EQ(Part(1, 0), bitmap.GetPixel(2, 8));
    EXPECT_EQ(Part(1, 2), bitmap.GetPixel(19, 8));
    EXPECT_EQ(Part(2, 1), bitmap.GetPixel(10, 13));
    EXPECT_EQ(0xFF777777u, bitmap.GetPixel(10, 8));
    EXPECT_EQ(0xFF777777u, bitmap.GetPixel(0, 0));
    EXPECT_EQ(0xFF777777u, bitmap.GetPixel(21, 15));
    // Tiled: the top edge's source columns 3, 4, 5 repeat from x = 4.
    EXPECT_EQ(Part(0, 1), bitmap.GetPixel(4, 1));
    EXPECT_EQ(0xFFFFFFFFu, bitmap.GetPixel(5, 1));
    EXPECT_EQ(Part(0, 1), bitmap.GetPixel(6, 1));
    EXPECT_EQ(0xFFFFFFFFu, bitmap.GetPixel(8, 1));
    // Stretched: the middle column is 14 / 3 pixels wide.
    border.SetBitmapTileStyle(etsStretch);
    bitmap.Clear(0xFF777777u);
    border.Draw(&bitmap, r);
    EXPECT_EQ(Part(0, 1), bitmap.GetPixel(4, 1));
    EXPECT_EQ(Part(0, 1), bitmap.GetPixel(7, 1));
    EXPECT_EQ(0xFFFFFFFFu, bitmap.GetPixel(10, 2));
    EXPECT_EQ(0xFFFFFFFFu, bitmap.GetPixel(12, 2));
    EXPECT_EQ(Part(0, 1), bitmap.GetPixel(17, 2));
    EXPECT_EQ(0xFF777777u, bitmap.GetPixel(10, 8));

    // No image: nothing.
    border.SetBitmapIndex(-1);
    bitmap.Clear(0xFF777777u);
    border.Draw(&bitmap, r);
    EXPECT_EQ(0xFF777777u, bitmap.GetPixel(1, 1));
}

TEST(SkinStyles, AFreedListIsForgotten)
{
    auto* list = new TEpBitmapList(nullptr);
    AddImages(list, 2);
    TEpBackground background;
    background.SetStyle(ebsBitmap);
    background.SetBitmaps(list);
    background.SetBitmapIndex(1);
    TEpBackground copy;
    copy.Assign(&background);
    TEpBorder border;
    border.SetStyle(ebsBitmapBorder);
    border.SetBitmaps(list);
    border.SetBitmapIndex(0);
    EXPECT_EQ(list, copy.Bitmaps());
    {
        // A style that goes first leaves nothing behind in the list.
        TEpBackground shortLived;
        shortLived.SetBitmaps(list);
    }
    list->Free();
    EXPECT_EQ(nullptr, background.Bitmaps());
    EXPECT_EQ(nullptr, copy.Bitmaps());
    EXPECT_EQ(nullptr, border.Bitmaps());
    TKsBitmap bitmap;
    bitmap.SetSize(8, 8);
    bitmap.Clear(0xFF010203u);
    background.Draw(&bitmap, RECT{0, 0, 8, 8});
    copy.Draw(&bitmap, RECT{0, 0, 8, 8});
    border.Draw(&bitmap, RECT{0, 0, 8, 8});
    EXPECT_EQ(0xFF010203u, bitmap.GetPixel(0, 0));

    // A list on a form, freed by its owner with the form.
    TForm* form = new TForm(nullptr, 0);
    auto* owned = new TMpMediaBitmapList(form);
    TMpMediaBackground media;
    media.SetBitmaps(owned);
    TMpMediaBackground other;
    other.SetBitmaps(owned);
    other.SetBitmaps(nullptr);
    form->Free();
    EXPECT_EQ(nullptr, media.Bitmaps());
}

// --- From a form resource ---------------------------------------------------------

namespace {

// A component that owns one style of each kind and family, as controls do.
class TStyleProbe : public TComponent {
    GANTREL_CLASS(TStyleProbe)
    explicit TStyleProbe(TComponent* owner) : TComponent(owner) {}
    TEpBackground Background;
    TEpBorder Border;
    TMpMediaBackground MediaBackground;
    TMpMediaBorder MediaBorder;
    TPersistent* PropertyObject(const std::string& name) override
    {
        if (name == "Background") return &Background;
        if (name == "Border") return &Border;
        if (name == "MediaBackground") return &MediaBackground;
        if (name == "MediaBorder") return &MediaBorder;
        return TComponent::PropertyObject(name);
    }
};

class TStyleForm : public TForm {
    GANTREL_CLASS(TStyleForm)
    TStyleForm() : TForm(nullptr, 0) {}
    int Changes = 0;
    void StyleChanged(TObject*) { ++Changes; }
    static const TFormTable* Table()
    {
        static const TFormTable table = {{}, {GANTREL_HANDLER(TStyleForm, StyleChanged)}};
        return &table;
    }
};

const char* StyleFormText =
    "object StyleForm: TStyleForm\n"
    "  object Probe: TStyleProbe\n"
    "    Background.OnChange = StyleChanged\n"
    "    Background.Color = clRed\n"
    "    Background.Bitmaps = Images\n"
    "    Background.BitmapIndex = 1\n"
    "    Background.BitmapTileStyle = etsStretch\n"
    "    Background.GradientStyle = egsRadial\n"
    "    Background.GradientOrPlasmaColor = clLime\n"
    "    Background.GradientDirection = egdHorizontal\n"
    "    Background.GradientCenterX = 5\n"
    "    Background.GradientCenterY = 70\n"
    "    Background.Style = ebsBitmap\n"
    "    Border.Bitmaps = Images\n"
    "    Border.BitmapIndex = 0\n"
    "    Border.BitmapMarginX = 4\n"
    "    Border.BitmapMarginY = 6\n"
    "    Border.BitmapTileStyle = etsTile\n"
    "    Border.Color = clBlue\n"
    "    Border.Style = ebsBitmapBorder\n"
    "    Border.Width = 2\n"
    "    MediaBackground.Bitmaps = MediaImages\n"
    "    MediaBackground.Style = ebsPlasma\n"
    "    MediaBorder.Bitmaps = MediaImages\n"
    "  end\n"
    "  object Images: TEpBitmapList\n"
    "  end\n"
    "  object MediaImages: TMpMediaBitmapList\n"
    "  end\n"
    "end\n";

}  // namespace

TEST(SkinStyles, ReadFromAFormResourceWithTheirListsByName)
{
    RegisterBitmapListClasses();
    RegisterClass<TStyleProbe>();
    TStyleForm* form = new TStyleForm;
    ReadFormText(form, StyleFormText, TStyleForm::Table());
    auto* probe = form->FindComponent<TStyleProbe>("Probe");
    auto* images = form->FindComponent<TEpBitmapList>("Images");
    auto* media = form->FindComponent<TMpMediaBitmapList>("MediaImages");
    ASSERT_NE(nullptr, probe);
    EXPECT_EQ(images, probe->Background.Bitmaps());
    EXPECT_EQ(clRed, probe->Background.Color());
    EXPECT_EQ(1, probe->Background.BitmapIndex());
    EXPECT_EQ(etsStretch, probe->Background.BitmapTileStyle());
    EXPECT_EQ(egsRadial, probe->Background.GradientStyle());
    EXPECT_EQ(clLime, probe->Background.GradientOrPlasmaColor());
    EXPECT_EQ(egdHorizontal, probe->Background.GradientDirection());
    EXPECT_EQ(10, probe->Background.GradientCenterX());
    EXPECT_EQ(70, probe->Background.GradientCenterY());
    EXPECT_EQ(ebsBitmap, probe->Background.Style());
    EXPECT_EQ(images, probe->Border.Bitmaps());
    EXPECT_EQ(4, probe->Border.BitmapMarginX());
    EXPECT_EQ(6, probe->Border.BitmapMarginY());
    EXPECT_EQ(clBlue, probe->Border.Color());
    EXPECT_EQ(ebsBitmapBorder, probe->Border.Style());
    EXPECT_EQ(2, probe->Border.Width());
    EXPECT_EQ(media, probe->MediaBackground.Bitmaps());
    EXPECT_NE(nullptr, probe->MediaBackground.Plasma());
    EXPECT_EQ(media, probe->MediaBorder.Bitmaps());
    // Every value read after the handler announced itself: the two colours
    // twice each, the seven others once, and the list once it was resolved.
    EXPECT_EQ(2 + 2 + 7 + 1, form->Changes);
    form->Free();
}

TEST(SkinStyles, AListOfTheOtherFamilyIsRefused)
{
    RegisterBitmapListClasses();
    RegisterClass<TStyleProbe>();
    TStyleForm* form = new TStyleForm;
    EXPECT_THROW(ReadFormText(form,
                              "object StyleForm: TStyleForm\n"
                              "  object Probe: TStyleProbe\n"
                              "    Background.Bitmaps = MediaImages\n"
                              "  end\n"
                              "  object MediaImages: TMpMediaBitmapList\n"
                              "  end\n"
                              "end\n",
                              nullptr),
                 EReadError);
    form->Free();
}

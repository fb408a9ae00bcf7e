// The alpha bitmap of both families: size, pixels, alpha, assignment and the
// stream format, against worked examples and bytes written out by hand.
#include "Clipboard.h"
#include "Graphic.h"
#include "SkinBitmap.h"
#include "Streams.h"
#include "Strings.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <vector>

namespace {

struct ChangeCounter : TObject {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
};

std::vector<uint8_t> StreamBytes(TMemoryStream& stream) { return stream.Bytes(); }

// A memory stream holding bytes, positioned at its start.
void Fill(TMemoryStream& stream, const std::vector<uint8_t>& bytes)
{
    stream.Clear();
    if (!bytes.empty()) stream.Write(bytes.data(), long(bytes.size()));
    stream.SetPosition(0);
}

void PutInt(std::vector<uint8_t>& bytes, int32_t value)
{
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(uint32_t(value) >> (8 * i)));
}

// Each pixel a colour of its own.
template <class B>
void Pattern(B& bitmap, int width, int height, uint32_t alpha = 0xFF)
{
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, alpha << 24 | uint32_t(x * 7 + 1) << 8 | uint32_t(y * 5 + 3));
}

std::string TempFile(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name + std::to_string(GetCurrentProcessId());
}

}  // namespace

template <class B>
class SkinBitmap : public ::testing::Test {};
using BitmapLeaves = ::testing::Types<TKsBitmap, TKsMediaBitmap>;
TYPED_TEST_SUITE(SkinBitmap, BitmapLeaves);

TYPED_TEST(SkinBitmap, StartsEmptyWithAFontAndNoAlphaUse)
{
    TypeParam bitmap;
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_EQ(bitmap.DC(), nullptr);
    EXPECT_FALSE(bitmap.UseAlpha());
    EXPECT_NE(bitmap.Font(), nullptr);
    // Nothing to draw on: no crash, no effect.
    bitmap.Clear(0xFFFFFFFFu);
    bitmap.SetAlpha(0);
    bitmap.SetPixel(0, 0, 1);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(bitmap.TextWidth("abc"), 0);
    EXPECT_EQ(bitmap.TextHeight("abc"), 0);
}

TYPED_TEST(SkinBitmap, SizeTakesAbsoluteSidesAndIgnoresZeroOrTheSameSize)
{
    TypeParam bitmap;
    ChangeCounter counter;
    bitmap.OnChange = MakeEvent<&ChangeCounter::Changed>(&counter);
    bitmap.SetSize(-10, 5);
    EXPECT_EQ(bitmap.Width(), 10);
    EXPECT_EQ(bitmap.Height(), 5);
    EXPECT_FALSE(bitmap.Empty());
    EXPECT_NE(bitmap.Bits(), nullptr);
    EXPECT_NE(bitmap.DC(), nullptr);
    EXPECT_EQ(counter.Count, 1);
    bitmap.SetSize(0, 5);
    bitmap.SetSize(5, 0);
    bitmap.SetSize(10, 5);
    bitmap.SetSize(10, -5);
    EXPECT_EQ(bitmap.Width(), 10);
    EXPECT_EQ(bitmap.Height(), 5);
    EXPECT_EQ(counter.Count, 1);
    bitmap.SetSize(3, 4);
    EXPECT_EQ(counter.Count, 2);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 4);
    // The DIB behind it: top-down rows of exactly Width pixels.
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(bitmap.Handle(), sizeof dib, &dib), int(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, 3);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(dib.dsBm.bmWidthBytes, 12);
    // Top row first: what the platform draws at (2, 0) is the third word.
    bitmap.Clear(0);
    SetPixelV(bitmap.DC(), 2, 0, RGB(1, 2, 3));
    GdiFlush();
    EXPECT_EQ(bitmap.Bits()[2] & 0xFFFFFFu, 0x010203u);
    bitmap.OnChange = nullptr;
}

TYPED_TEST(SkinBitmap, ASizeThatCannotBeMadeRaisesAndLeavesItEmpty)
{
    TypeParam bitmap;
    bitmap.SetSize(4, 4);
    ChangeCounter counter;
    bitmap.OnChange = MakeEvent<&ChangeCounter::Changed>(&counter);
    try {
        bitmap.SetSize(INT_MIN, 1);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Can't allocate the DIB handle");
    }
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_EQ(bitmap.DC(), nullptr);
    EXPECT_EQ(counter.Count, 1);
    bitmap.SetSize(2, 2);
    EXPECT_EQ(bitmap.Width(), 2);
    bitmap.OnChange = nullptr;
}

TYPED_TEST(SkinBitmap, WidthAndHeightSizeAnEmptyBitmapInEitherOrder)
{
    TypeParam a, b;
    a.SetWidth(10);
    EXPECT_EQ(a.Width(), 10);
    EXPECT_EQ(a.Height(), 1);
    a.SetHeight(5);
    EXPECT_EQ(a.Width(), 10);
    EXPECT_EQ(a.Height(), 5);
    b.SetHeight(7);
    b.SetWidth(-3);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 7);
    b.SetWidth(0);
    EXPECT_EQ(b.Width(), 3);
    b.SetHeight(2);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
}

TYPED_TEST(SkinBitmap, PixelsOutsideReadBlackAndIgnoreWrites)
{
    TypeParam bitmap;
    bitmap.SetSize(3, 2);
    bitmap.Clear(0x12345678u);
    EXPECT_EQ(bitmap.GetPixel(3, 0), 0xFF000000u);
    EXPECT_EQ(bitmap.GetPixel(0, 2), 0xFF000000u);
    EXPECT_EQ(bitmap.GetPixel(-1, 0), 0xFF000000u);
    EXPECT_EQ(bitmap.GetPixel(2, 1), 0x12345678u);
    bitmap.SetPixel(3, 0, 0xFFFFFFFFu);
    bitmap.SetPixel(0, 2, 0xFFFFFFFFu);
    bitmap.SetPixel(-1, 1, 0xFFFFFFFFu);
    bitmap.SetPixel(1, -1, 0xFFFFFFFFu);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(bitmap.Bits()[i], 0x12345678u) << i;
    bitmap.SetPixel(2, 1, 0xAABBCCDDu);
    EXPECT_EQ(bitmap.Bits()[5], 0xAABBCCDDu);
    EXPECT_EQ(bitmap.ScanLine(1)[2], 0xAABBCCDDu);
}

TYPED_TEST(SkinBitmap, AlphaReachesEveryPixelAndStaysInsideItsRectangle)
{
    TypeParam one;
    one.SetSize(1, 1);
    one.Clear(0xFF102030u);
    one.SetAlpha(0);
    EXPECT_EQ(one.GetPixel(0, 0), 0x00102030u);

    TypeParam bitmap;
    bitmap.SetSize(4, 3);
    bitmap.Clear(0xFF445566u);
    bitmap.SetAlpha(0x80);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(bitmap.Bits()[i], 0x80445566u) << i;
    bitmap.SetAlpha(0x10, RECT{-5, 1, 2, 10});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bitmap.GetPixel(x, y), (y >= 1 && x < 2 ? 0x10445566u : 0x80445566u)) << x << "," << y;
    bitmap.SetAlpha(0x20, RECT{1, 1, 1, 3});  // no width
    bitmap.SetAlpha(0x20, RECT{3, 0, 1, 3});  // turned round
    bitmap.SetAlpha(0x20, RECT{4, 0, 9, 3});  // beside the bitmap
    EXPECT_EQ(bitmap.GetPixel(1, 1), 0x10445566u);
    EXPECT_EQ(bitmap.GetPixel(3, 0), 0x80445566u);
}

TYPED_TEST(SkinBitmap, TransparentColourHueAndFont)
{
    TypeParam bitmap;
    bitmap.SetSize(3, 1);
    bitmap.SetPixel(0, 0, 0xFF7F007Fu);
    bitmap.SetPixel(1, 0, 0x407F007Fu);
    bitmap.SetPixel(2, 0, 0xFF7F0080u);
    bitmap.PerformTransparent(0x007F007Fu);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0x007F007Fu);
    EXPECT_EQ(bitmap.GetPixel(1, 0), 0x007F007Fu);
    EXPECT_EQ(bitmap.GetPixel(2, 0), 0xFF7F0080u);

    // Hue: half-transparent red becomes opaque; transparent stays as it is.
    bitmap.SetPixel(0, 0, 0x80FF0000u);
    bitmap.SetPixel(1, 0, 0x00FF0000u);
    bitmap.SetPixel(2, 0, 0x80FF0000u);
    bitmap.ChangeHue(85);  // a third of the turn: red to green
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(bitmap.GetPixel(1, 0), 0x00FF0000u);
    EXPECT_EQ(bitmap.GetPixel(2, 0), 0xFF00FF00u);

    TFont font;
    font.SetName("Arial");
    font.SetColor(clRed);
    font.SetHeight(-20);
    bitmap.SetFont(&font);
    EXPECT_EQ(bitmap.Font()->Name(), "Arial");
    EXPECT_EQ(bitmap.Font()->Color(), clRed);
    EXPECT_NE(bitmap.Font(), &font);
}

TEST(SkinBitmap, MediaBrightnessSkipsTransparentPixels)
{
    TKsMediaBitmap bitmap;
    bitmap.SetSize(2, 1);
    bitmap.SetPixel(0, 0, 0x10F00010u);
    bitmap.SetPixel(1, 0, 0x00F00010u);
    bitmap.ChangeBrightness(0x20);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFFFF2030u);
    EXPECT_EQ(bitmap.GetPixel(1, 0), 0x00F00010u);
    bitmap.ChangeBrightness(-0x40);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0xFFBF0000u);
}

TYPED_TEST(SkinBitmap, AssignFromTheFamilyCopiesThePictureOnly)
{
    TypeParam source, dest;
    Pattern(source, 3, 2, 0x40);
    source.SetName("source");
    source.SetUseAlpha(true);
    dest.SetName("dest");
    ChangeCounter counter;
    dest.OnChange = MakeEvent<&ChangeCounter::Changed>(&counter);
    dest.Assign(&source);
    EXPECT_EQ(counter.Count, 1);
    ASSERT_EQ(dest.Width(), 3);
    ASSERT_EQ(dest.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(dest.GetPixel(x, y), source.GetPixel(x, y));
    EXPECT_EQ(dest.Name(), "dest");
    EXPECT_FALSE(dest.UseAlpha());
    dest.Assign(&dest);
    EXPECT_EQ(dest.GetPixel(2, 1), source.GetPixel(2, 1));

    TypeParam empty;
    dest.Assign(&empty);
    EXPECT_TRUE(dest.Empty());
    EXPECT_EQ(dest.Width(), 0);
    EXPECT_EQ(counter.Count, 2);
    dest.OnChange = nullptr;
}

TEST(SkinBitmap, TheFamiliesDoNotAssignToEachOther)
{
    TKsBitmap ks;
    TKsMediaBitmap mp;
    ks.SetSize(2, 2);
    mp.SetSize(3, 3);
    EXPECT_THROW(ks.Assign(&mp), EConvertError);
    EXPECT_THROW(mp.Assign(&ks), EConvertError);
    EXPECT_EQ(ks.Width(), 2);
    EXPECT_EQ(mp.Width(), 3);
    TStringList strings;
    EXPECT_THROW(ks.Assign(&strings), EConvertError);
}

TYPED_TEST(SkinBitmap, FrameworkBitmapsComeInOpaqueAndGoOutWithoutAlpha)
{
    TBitmap framework;
    framework.SetPixelFormat(pf24bit);
    framework.SetSize(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint8_t* p = framework.ScanLine(y) + 3 * x;
            p[0] = uint8_t(10 * x + y);  // blue
            p[1] = uint8_t(50 + x);
            p[2] = uint8_t(100 + y);
        }
    TypeParam bitmap;
    bitmap.Assign(&framework);
    ASSERT_EQ(bitmap.Width(), 3);
    ASSERT_EQ(bitmap.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(bitmap.GetPixel(x, y), 0xFF000000u | uint32_t(100 + y) << 16 | uint32_t(50 + x) << 8 | uint32_t(10 * x + y));

    TPicture picture;
    picture.SetGraphic(&framework);
    TypeParam fromPicture;
    fromPicture.Assign(&picture);
    EXPECT_EQ(fromPicture.GetPixel(2, 1), bitmap.GetPixel(2, 1));

    bitmap.SetPixel(1, 1, 0x00ABCDEFu);
    TBitmap out;
    out.Assign(&bitmap);
    EXPECT_EQ(out.Width(), 3);
    EXPECT_EQ(out.Height(), 2);
    EXPECT_EQ(out.PixelFormat(), pf24bit);
    const uint8_t* p = out.ScanLine(1) + 3;
    EXPECT_EQ(p[0], 0xEF);
    EXPECT_EQ(p[1], 0xCD);
    EXPECT_EQ(p[2], 0xAB);

    TypeParam empty;
    out.Assign(&empty);
    EXPECT_TRUE(out.Empty());

    TPicture outPicture;
    outPicture.Assign(&bitmap);
    ASSERT_NE(outPicture.Graphic(), nullptr);
    EXPECT_EQ(outPicture.Width(), 3);
}

TYPED_TEST(SkinBitmap, GoesToTheClipboardAsABitmap)
{
    TypeParam bitmap;
    Pattern(bitmap, 3, 2, 0x40);
    Clipboard()->Assign(&bitmap);
    TBitmap got;
    Clipboard()->GetBitmap(&got);
    ASSERT_EQ(got.Width(), 3);
    ASSERT_EQ(got.Height(), 2);
    TypeParam back;
    back.Assign(&got);
    EXPECT_EQ(back.GetPixel(2, 1), bitmap.GetPixel(2, 1) | 0xFF000000u);
    EXPECT_EQ(back.GetPixel(0, 0), bitmap.GetPixel(0, 0) | 0xFF000000u);
}

TYPED_TEST(SkinBitmap, StreamOfTheWorkedExampleByteForByte)
{
    TypeParam bitmap;
    bitmap.SetSize(2, 1);
    bitmap.SetPixel(0, 0, 0x11223344u);
    bitmap.SetPixel(1, 0, 0x55667788u);
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    std::vector<uint8_t> expected = {0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55};
    EXPECT_EQ(StreamBytes(stream), expected);

    bitmap.SetName("ab");
    stream.Clear();
    bitmap.SaveToStream(&stream);
    expected.insert(expected.begin() + 4, {'a', 'b'});
    expected[0] = 2;
    EXPECT_EQ(StreamBytes(stream), expected);

    TypeParam empty;
    stream.Clear();
    empty.SaveToStream(&stream);
    EXPECT_EQ(StreamBytes(stream), std::vector<uint8_t>(12, 0));
}

TEST(SkinBitmap, EachFamilyReadsTheOthersStream)
{
    TKsBitmap ks;
    TKsMediaBitmap mp;
    Pattern(ks, 4, 3, 0x7F);
    ks.SetName("Close");
    TMemoryStream stream;
    ks.SaveToStream(&stream);
    stream.SetPosition(0);
    mp.LoadFromStream(&stream);
    EXPECT_EQ(mp.Name(), "Close");
    ASSERT_EQ(mp.Width(), 4);
    ASSERT_EQ(mp.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(mp.GetPixel(x, y), ks.GetPixel(x, y));
    EXPECT_EQ(stream.Position(), stream.Size());

    mp.SetPixel(0, 0, 0x01020304u);
    mp.SetName("Tray");
    stream.Clear();
    mp.SaveToStream(&stream);
    stream.SetPosition(0);
    TKsBitmap back;
    back.LoadFromStream(&stream);
    EXPECT_EQ(back.Name(), "Tray");
    EXPECT_EQ(back.GetPixel(0, 0), 0x01020304u);
    EXPECT_EQ(back.GetPixel(3, 2), ks.GetPixel(3, 2));
}

TYPED_TEST(SkinBitmap, ShortStreamsReadNothingTheyDoNotHold)
{
    TypeParam bitmap;
    Pattern(bitmap, 2, 2);
    TKColor kept = bitmap.GetPixel(1, 1);
    TMemoryStream stream;

    // Two bytes: not even a name length.
    Fill(stream, {5, 0});
    bitmap.LoadFromStream(&stream);
    EXPECT_EQ(bitmap.Name(), "");
    EXPECT_EQ(bitmap.Width(), 2);

    // A name longer than the stream: what there is, then no size.
    std::vector<uint8_t> bytes;
    PutInt(bytes, 0x7FFFFFFF);
    bytes.insert(bytes.end(), {'a', 'b', 'c'});
    Fill(stream, bytes);
    bitmap.LoadFromStream(&stream);
    EXPECT_EQ(bitmap.Name(), "abc");
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.GetPixel(1, 1), kept);

    // A negative name length is an empty name.
    bytes.clear();
    PutInt(bytes, -8);
    PutInt(bytes, 1);
    PutInt(bytes, 1);
    PutInt(bytes, 0x7F010203);
    Fill(stream, bytes);
    bitmap.LoadFromStream(&stream);
    EXPECT_EQ(bitmap.Name(), "");
    EXPECT_EQ(bitmap.Width(), 1);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0x7F010203u);

    // A size whose pixels the stream does not hold leaves the bitmap.
    Pattern(bitmap, 2, 2);
    bytes.clear();
    PutInt(bytes, 0);
    PutInt(bytes, 3);
    PutInt(bytes, 3);
    for (int i = 0; i < 3 * 3 * 4 - 1; ++i) bytes.push_back(0xEE);
    Fill(stream, bytes);
    bitmap.LoadFromStream(&stream);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.GetPixel(1, 1), kept);
    EXPECT_EQ(stream.Position(), 12);

    // Huge sizes in a small stream allocate nothing.
    for (int32_t side : {100000, INT_MAX, INT_MIN, -100000}) {
        bytes.clear();
        PutInt(bytes, 0);
        PutInt(bytes, side);
        PutInt(bytes, side);
        bytes.insert(bytes.end(), 64, 0);
        Fill(stream, bytes);
        EXPECT_NO_THROW(bitmap.LoadFromStream(&stream)) << side;
        EXPECT_EQ(bitmap.Width(), 2) << side;
        EXPECT_EQ(bitmap.GetPixel(1, 1), kept) << side;
    }

    // A zero side: nothing.
    bytes.clear();
    PutInt(bytes, 0);
    PutInt(bytes, 0);
    PutInt(bytes, 4);
    Fill(stream, bytes);
    bitmap.LoadFromStream(&stream);
    EXPECT_EQ(bitmap.Width(), 2);
}

TYPED_TEST(SkinBitmap, NegativeStoredSizeGivesTheSizeWithoutReadingPixels)
{
    TypeParam bitmap;
    std::vector<uint8_t> bytes;
    PutInt(bytes, 1);
    bytes.push_back('n');
    PutInt(bytes, -2);
    PutInt(bytes, 1);
    PutInt(bytes, 0x7F112233);
    PutInt(bytes, 0x7F445566);
    TMemoryStream stream;
    Fill(stream, bytes);
    bitmap.LoadFromStream(&stream);
    EXPECT_EQ(bitmap.Name(), "n");
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 1);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0u);
    EXPECT_EQ(bitmap.GetPixel(1, 0), 0u);
    EXPECT_EQ(stream.Position(), 13);

    // The same size again keeps the pixels there.
    bitmap.Clear(0x55555555u);
    bytes.clear();
    PutInt(bytes, 0);
    PutInt(bytes, 2);
    PutInt(bytes, -1);
    PutInt(bytes, 0x7F112233);
    PutInt(bytes, 0x7F445566);
    Fill(stream, bytes);
    bitmap.LoadFromStream(&stream);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 1);
    EXPECT_EQ(bitmap.GetPixel(0, 0), 0x55555555u);
    EXPECT_EQ(bitmap.GetPixel(1, 0), 0x55555555u);

    // A negative size with no block behind it would be a picture the stream
    // never filled: the bitmap stays as it was.
    TypeParam fresh;
    bytes.clear();
    PutInt(bytes, 0);
    PutInt(bytes, -3);
    PutInt(bytes, 2);
    Fill(stream, bytes);
    fresh.LoadFromStream(&stream);
    EXPECT_TRUE(fresh.Empty());
    EXPECT_EQ(stream.Position(), 12);
}

TYPED_TEST(SkinBitmap, FilesRoundTripInTheOwnAndTheWindowsFormat)
{
    std::string own = TempFile("skinbmp-own"), bmp = TempFile("skinbmp-bmp");
    TypeParam bitmap;
    Pattern(bitmap, 5, 4, 0x33);
    bitmap.SetName("file");
    bitmap.SaveToFile(own);
    TypeParam loaded;
    loaded.LoadFromFile(own);
    EXPECT_EQ(loaded.Name(), "file");
    EXPECT_EQ(loaded.GetPixel(4, 3), bitmap.GetPixel(4, 3));
    EXPECT_THROW(loaded.LoadFromFile(own + ".missing"), EOSError);

    TBitmap framework;
    framework.Assign(&bitmap);
    {
        TFileStream file(bmp, fmCreate);
        framework.SaveToStream(&file);
    }
    TypeParam fromBmp;
    fromBmp.LoadFromBmpFile(bmp);
    ASSERT_EQ(fromBmp.Width(), 5);
    ASSERT_EQ(fromBmp.Height(), 4);
    EXPECT_EQ(fromBmp.GetPixel(4, 3), bitmap.GetPixel(4, 3) | 0xFF000000u);
    TMemoryStream stream;
    stream.LoadFromFile(bmp);
    stream.SetPosition(0);
    TypeParam fromStream;
    fromStream.LoadFromBmpStream(&stream);
    EXPECT_EQ(fromStream.GetPixel(2, 1), bitmap.GetPixel(2, 1) | 0xFF000000u);
    DeleteFileA(own.c_str());
    DeleteFileA(bmp.c_str());
}

TEST(SkinBitmap, MediaSavesAWindowsBitmapFile)
{
    std::string bmp = TempFile("skinbmp-media");
    TKsMediaBitmap bitmap;
    Pattern(bitmap, 3, 3, 0x10);
    bitmap.SaveToBmpFile(bmp);
    TBitmap framework;
    framework.LoadFromFile(bmp);
    ASSERT_EQ(framework.Width(), 3);
    TKsMediaBitmap back;
    back.Assign(&framework);
    EXPECT_EQ(back.GetPixel(2, 2), bitmap.GetPixel(2, 2) | 0xFF000000u);
    DeleteFileA(bmp.c_str());
}

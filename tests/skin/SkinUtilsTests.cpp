// The skin utilities: rectangle arithmetic, text that fits, the rectangle
// tokenizer, strings in streams, keyboard timing from the system settings,
// the counted capture, regions from a key colour, the plasma texture, and
// background requests of see-through controls painting each other.
#include "Application.h"
#include "FillControl.h"
#include "SkinBitmap.h"
#include "SkinUtils.h"
#include "Streams.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <vector>

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

#define EXPECT_RECT(expected, actual) EXPECT_TRUE(SameRect(expected, actual)) << RectToString(actual)

// The rectangles of a region, in the order the platform keeps them.
std::vector<RECT> RegionRects(HRGN region)
{
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<uint8_t> block(size);
    auto* data = reinterpret_cast<RGNDATA*>(block.data());
    GetRegionData(region, size, data);
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(rects, rects + data->rdh.nCount);
}

}  // namespace

TEST(SkinUtilsRect, CentringTruncatesTowardsZero)
{
    RECT r{0, 0, 10, 4};
    RECT moved = RectCenter(r, RECT{100, 50, 121, 61});
    EXPECT_RECT((RECT{105, 53, 115, 57}), r);
    EXPECT_RECT(r, moved);
    // Wider than its bounds: (5 - 10) / 2 is -2, not -3.
    RECT wide{7, 7, 17, 17};
    RectCenter(wide, RECT{0, 0, 5, 5});
    EXPECT_RECT((RECT{-2, -2, 8, 8}), wide);
    RECT h{3, 3, 7, 5};
    RectHCenter(h, RECT{10, 20, 20, 40});
    EXPECT_RECT((RECT{13, 20, 17, 22}), h);
    RECT v{3, 3, 7, 5};
    RectVCenter(v, RECT{10, 20, 20, 40});
    EXPECT_RECT((RECT{10, 29, 14, 31}), v);
}

TEST(SkinUtilsRect, SizesGrowthAndComparison)
{
    RECT r{2, 3, 12, 8};
    EXPECT_EQ(10, RectWidth(r));
    EXPECT_EQ(5, RectHeight(r));
    EXPECT_RECT((RECT{0, 1, 14, 10}), RectOffset(r, 2));
    EXPECT_RECT((RECT{3, 4, 11, 7}), RectOffset(r, -1));
    EXPECT_FALSE(IsRectEmpty(r));
    EXPECT_TRUE(IsRectEmpty(RECT{2, 3, 2, 8}));
    EXPECT_TRUE(IsRectEmpty(RECT{2, 3, 12, 2}));
    EXPECT_FALSE(IsRectEmpty(RECT{0, 0, 1, 1}));
    EXPECT_TRUE(CompareRect(r, RECT{2, 3, 12, 8}));
    EXPECT_FALSE(CompareRect(r, RECT{2, 3, 12, 9}));
}

TEST(SkinUtilsText, AWidthOfNothingGivesTheEllipsisAlone)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ("...", FormatStr(dc, "Gantrel", 0));
    EXPECT_EQ("", FormatStr(dc, "", 0));
    SIZE size;
    GetTextExtentPoint32A(dc, "Gantrel", 7, &size);
    EXPECT_EQ("Gantrel", FormatStr(dc, "Gantrel", size.cx));
    std::string cut = FormatStr(dc, "Gantrel", size.cx - 1);
    ASSERT_GE(cut.size(), 3u);
    EXPECT_EQ("...", cut.substr(cut.size() - 3));
    // What is kept is a start of the text, and it fits with its ellipsis.
    EXPECT_EQ(0u, std::string("Gantrel").find(cut.substr(0, cut.size() - 3)));
    const int limit = size.cx - 1;
    GetTextExtentPoint32A(dc, cut.data(), int(cut.size()), &size);
    if (cut != "...") {
        EXPECT_LE(size.cx, limit);
    }
    DeleteDC(dc);
}

TEST(SkinUtilsText, ADoubleByteCharacterIsNeverCut)
{
    const unsigned saved = StringCodePage();
    SetStringCodePage(932);
    std::string text;
    for (int i = 0; i < 12; ++i) text += "\x82\xA0";  // one character of two bytes each
    HDC dc = CreateCompatibleDC(nullptr);
    SIZE size;
    GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size);
    int odd = 0;
    for (int width = 0; width < size.cx; ++width) {
        std::string cut = FormatStr(dc, text, width);
        ASSERT_GE(cut.size(), 3u);
        ASSERT_EQ("...", cut.substr(cut.size() - 3));
        odd += (cut.size() - 3) % 2;
    }
    EXPECT_EQ(0, odd);
    DeleteDC(dc);
    SetStringCodePage(saved);
}

TEST(SkinUtilsText, TheBitmapFormMeasuresWithItsFontAndPutsTheOldOneBack)
{
    TKsBitmap bitmap;
    bitmap.SetSize(10, 10);
    HGDIOBJ before = GetCurrentObject(bitmap.DC(), OBJ_FONT);
    EXPECT_EQ("...", KsUtils::FormatStr(&bitmap, "Gantrel", 0));
    EXPECT_EQ(before, GetCurrentObject(bitmap.DC(), OBJ_FONT));
    bitmap.Font()->SetSize(30);
    SIZE size;
    HGDIOBJ old = SelectObject(bitmap.DC(), bitmap.Font()->Handle());
    GetTextExtentPoint32A(bitmap.DC(), "Gantrel", 7, &size);
    SelectObject(bitmap.DC(), old);
    EXPECT_EQ("Gantrel", KsUtils::FormatStr(&bitmap, "Gantrel", size.cx));
    TKsMediaBitmap media;
    media.SetSize(10, 10);
    EXPECT_EQ("...", MpUtils::FormatStr(&media, "Gantrel", 0));
}

TEST(SkinUtilsToken, TokensEndAtTheirDelimiters)
{
    std::string s = "10,20";
    EXPECT_EQ("10", GetToken(s));
    EXPECT_EQ("20", s);
    EXPECT_EQ("20", GetToken(s));
    EXPECT_EQ("", s);
    s = " 10";
    EXPECT_EQ("", GetToken(s));
    EXPECT_EQ("10", s);
    s = "(1,2)";
    EXPECT_EQ("", GetToken(s));
    EXPECT_EQ("1,2)", s);
    s = "a  ;b";
    EXPECT_EQ("a", GetToken(s));
    EXPECT_EQ(";b", s);
    EXPECT_EQ("", GetToken(s));
    EXPECT_EQ("b", s);
}

TEST(SkinUtilsToken, ALongTokenIsTakenWhole)
{
    std::string longToken(300, '7');
    std::string s = longToken + ";" + std::string(1000, 'x');
    EXPECT_EQ(longToken, GetToken(s));
    EXPECT_EQ(std::string(1000, 'x'), s);
}

TEST(SkinUtilsToken, RectanglesAsText)
{
    EXPECT_RECT((RECT{1, 2, 3, 4}), StringToRect("1,2,3,4"));
    EXPECT_RECT((RECT{-1, 2, 30, 4}), StringToRect("-1 2;30,4"));
    EXPECT_RECT((RECT{0, 0, 0, 0}), StringToRect("1;2;x;4"));
    EXPECT_RECT((RECT{0, 0, 0, 0}), StringToRect("1,2,3"));
    EXPECT_EQ("(1,-2,3,4)", RectToString(RECT{1, -2, 3, 4}));
    // The first token ends at the opening bracket, so the written form reads
    // as the zero rectangle.
    EXPECT_RECT((RECT{0, 0, 0, 0}), StringToRect(RectToString(RECT{1, 2, 3, 4})));
}

TEST(SkinUtilsStream, StringsCarryTheirLength)
{
    TMemoryStream stream;
    WriteString(&stream, "ab");
    WriteString(&stream, "");
    ASSERT_EQ(10, stream.Size());
    const uint8_t expected[] = {2, 0, 0, 0, 'a', 'b', 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(expected, stream.Memory(), sizeof expected));
    stream.SetPosition(0);
    EXPECT_EQ("ab", ReadString(&stream));
    EXPECT_EQ("", ReadString(&stream));
    EXPECT_EQ(stream.Size(), stream.Position());
}

TEST(SkinUtilsStream, ALengthBeyondTheStreamGivesWhatItHolds)
{
    TMemoryStream stream;
    const int32_t huge = 0x7FFFFFF0;
    stream.WriteBuffer(&huge, 4);
    stream.WriteBuffer("xyz", 3);
    stream.SetPosition(0);
    EXPECT_EQ("xyz", ReadString(&stream));
    TMemoryStream negative;
    const int32_t minus = -5;
    negative.WriteBuffer(&minus, 4);
    negative.WriteBuffer("xyz", 3);
    negative.SetPosition(0);
    EXPECT_EQ("", ReadString(&negative));
    TMemoryStream shortHeader;
    shortHeader.WriteBuffer("\x03\x00", 2);
    shortHeader.SetPosition(0);
    EXPECT_EQ("", ReadString(&shortHeader));
}

TEST(SkinUtilsKeyboard, TimingFollowsTheSystemSettings)
{
    UINT delay = 0;
    DWORD speed = 0;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0));
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0));
    const int delays[] = {200, 400, 600, 800};
    for (UINT setting = 0; setting < 4; ++setting) {
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETKEYBOARDDELAY, setting, nullptr, 0));
        EXPECT_EQ(delays[setting], GetKeyBoardDelayInterval());
    }
    // 1000 / ((setting + 1) * 2.3), rounded.
    const std::pair<UINT, int> speeds[] = {{0, 435}, {1, 217}, {15, 27}, {31, 14}};
    for (auto [setting, interval] : speeds) {
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETKEYBOARDSPEED, setting, nullptr, 0));
        EXPECT_EQ(interval, GetKeyBoardSpeedInterval()) << setting;
    }
    SystemParametersInfoA(SPI_SETKEYBOARDDELAY, delay, nullptr, 0);
    SystemParametersInfoA(SPI_SETKEYBOARDSPEED, speed, nullptr, 0);
}

TEST(SkinUtilsCapture, NestedCapturesTakeTheMouseOnce)
{
    TForm* form = new TForm(nullptr, 0);
    TForm* other = new TForm(nullptr, 0);
    HWND window = form->Handle();
    ReleaseCapture();
    MpUtils::CaptureMouse(window);
    EXPECT_EQ(window, GetCapture());
    EXPECT_EQ(window, MpUtils::CaptureHandle);
    MpUtils::CaptureMouse(other->Handle());  // only counts
    EXPECT_EQ(window, GetCapture());
    EXPECT_EQ(2, MpUtils::CaptureCount());
    MpUtils::EndCapture();
    EXPECT_EQ(window, GetCapture());
    MpUtils::EndCapture();
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(nullptr, MpUtils::CaptureHandle);

    // An end without a capture leaves the count at 0: the next capture is
    // taken at once and released by its own end.
    MpUtils::EndCapture();
    EXPECT_EQ(0, MpUtils::CaptureCount());
    MpUtils::CaptureMouse(window);
    EXPECT_EQ(window, GetCapture());
    MpUtils::EndCapture();
    EXPECT_EQ(nullptr, GetCapture());

    // A capture someone else took meanwhile is left alone.
    MpUtils::CaptureMouse(window);
    SetCapture(other->Handle());
    MpUtils::EndCapture();
    EXPECT_EQ(other->Handle(), GetCapture());
    EXPECT_EQ(nullptr, MpUtils::CaptureHandle);
    ReleaseCapture();
    other->Free();
    form->Free();
}

TEST(SkinUtilsRegion, KeyColouredPixelsAreLeftOut)
{
    TKsBitmap all;
    all.SetSize(3, 2);
    all.Clear(0x00FF00FFu);  // magenta, alpha ignored
    HRGN region = KsUtils::CreateRegionFromBitmap(&all, 0, 0);
    ASSERT_NE(nullptr, region);
    EXPECT_TRUE(RegionRects(region).empty());
    DeleteObject(region);

    TKsBitmap row;
    row.SetSize(3, 1);
    row.Clear(0xFF102030u);
    row.SetPixel(1, 0, 0xFFFF00FFu);
    region = KsUtils::CreateRegionFromBitmap(&row, 5, 7);
    std::vector<RECT> rects = RegionRects(region);
    ASSERT_EQ(2u, rects.size());
    EXPECT_RECT((RECT{5, 7, 6, 8}), rects[0]);
    EXPECT_RECT((RECT{7, 7, 8, 8}), rects[1]);
    DeleteObject(region);

    // The media family's key is ckTransparent's colour; magenta is opaque there.
    TKsMediaBitmap media;
    media.SetSize(3, 1);
    media.Clear(0xFFFF00FFu);
    media.SetPixel(2, 0, 0xFF7F007Fu);
    region = MpUtils::CreateRegionFromBitmap(&media, 0, 0);
    rects = RegionRects(region);
    ASSERT_EQ(1u, rects.size());
    EXPECT_RECT((RECT{0, 0, 2, 1}), rects[0]);
    DeleteObject(region);
}

TEST(SkinUtilsRegion, ABitmapOfManyRunsKeepsThemAll)
{
    // 2000 runs in one row, then 3 rows of 1000 more each: well beyond any
    // fixed table of 1501.
    TKsBitmap bitmap;
    bitmap.SetSize(4000, 4);
    bitmap.Clear(0xFFFF00FFu);
    for (int x = 0; x < 4000; x += 2) bitmap.SetPixel(x, 0, 0xFF000000u);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4000; x += 4) bitmap.SetPixel(x, y, 0xFFFFFFFFu);
    HRGN region = KsUtils::CreateRegionFromBitmap(&bitmap, 0, 0);
    std::vector<RECT> rects = RegionRects(region);
    EXPECT_EQ(3000u, rects.size());
    EXPECT_TRUE(PtInRegion(region, 3998, 0));
    EXPECT_FALSE(PtInRegion(region, 3999, 0));
    EXPECT_TRUE(PtInRegion(region, 3997, 3));
    EXPECT_FALSE(PtInRegion(region, 3998, 3));
    DeleteObject(region);
    // An empty bitmap makes no region.
    TKsBitmap empty;
    EXPECT_EQ(nullptr, KsUtils::CreateRegionFromBitmap(&empty, 0, 0));
}

TEST(SkinUtilsPlasma, ACloudBetweenTheTwoColours)
{
    // Black to white: every entry of the ramp is a grey round(i * 255 / 236),
    // i from 1 to 236 (the grid never holds 0).
    std::set<int> greys;
    for (int i = 1; i <= 236; ++i) greys.insert(int(std::nearbyint(i * 255 / 236.0)));
    TKsBitmap* first = KsUtils::GetPlasma(0xFF000000u, 0xFFFFFFFFu);
    TKsBitmap* second = KsUtils::GetPlasma(0xFF000000u, 0xFFFFFFFFu);
    ASSERT_EQ(150, first->Width());
    ASSERT_EQ(150, first->Height());
    int outside = 0, differ = 0;
    std::set<TKColor> seen;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 150; ++x) {
            TKColor c = first->GetPixel(x, y);
            outside += KAlpha(c) != 255 || KRed(c) != KGreen(c) || KGreen(c) != KBlue(c) || !greys.count(KRed(c));
            differ += c != second->GetPixel(x, y);
            seen.insert(c);
        }
    EXPECT_EQ(0, outside);
    EXPECT_GT(differ, 1000);
    EXPECT_GT(seen.size(), 20u);
    delete first;
    delete second;

    // From a light colour down to a dark one, in the media family.
    TKsMediaBitmap* down = MpUtils::GetPlasma(0xFFC08040u, 0xFF402010u);
    for (int y = 0; y < 150; y += 7)
        for (int x = 0; x < 150; x += 7) {
            TKColor c = down->GetPixel(x, y);
            EXPECT_TRUE(KRed(c) >= 0x40 && KRed(c) <= 0xC0 && KGreen(c) >= 0x20 && KGreen(c) <= 0x80 &&
                        KBlue(c) >= 0x10 && KBlue(c) <= 0x40 && KAlpha(c) == 255)
                << std::hex << c;
        }
    delete down;
}

// --- Background requests ------------------------------------------------------

namespace {

// A form in red that notes the lParam of every erase it is asked for.
class TRequestForm : public TForm {
    GANTREL_CLASS(TRequestForm)
    TRequestForm() : TForm(nullptr, 0) { SetColor(clRed); }
    std::vector<LPARAM> Requests;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_ERASEBKGND) Requests.push_back(m.LParam);
        TForm::Dispatch(m);
    }
};

// A see-through windowed control: its erase asks for what lies beneath it
// (the family's background request), its paint adds a blue 10 x 10 corner.
template <class Utils>
class TSeeThrough : public TCustomControl {
    GANTREL_CLASS(TSeeThrough)
    explicit TSeeThrough(TComponent* owner) : TCustomControl(owner) {}
    int Requests = 0;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_ERASEBKGND) {
            ++Requests;
            Utils::PaintBackground(this, reinterpret_cast<HDC>(m.WParam), false);
            m.Result = 1;
            return;
        }
        TCustomControl::Dispatch(m);
    }

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(RECT{0, 0, 10, 10});
    }
};

// The form with a green square at (20, 20, 40, 40) and two see-through
// siblings, A at (10, 10, 70, 70) and B at (40, 40, 100, 100).
template <class Utils>
struct TOverlap {
    TRequestForm* Form = new TRequestForm;
    TSeeThrough<Utils>* A;
    TSeeThrough<Utils>* B;
    TOverlap()
    {
        Form->SetBounds(0, 0, 200, 150);
        AddFill(Form, Form, clLime, 20, 20, 20, 20);
        A = new TSeeThrough<Utils>(Form);
        A->SetParent(Form);
        A->SetBounds(10, 10, 60, 60);
        B = new TSeeThrough<Utils>(Form);
        B->SetParent(Form);
        B->SetBounds(40, 40, 60, 60);
        Form->HandleNeeded();
    }
    ~TOverlap() { Form->Free(); }
};

template <class Bitmap>
COLORREF Rgb(Bitmap& bitmap, int x, int y)
{
    GdiFlush();
    return KColorToColor(bitmap.GetPixel(x, y));
}

}  // namespace

TEST(SkinUtilsBackground, SeeThroughSiblingsPaintEachOtherOnce)
{
    TOverlap<KsUtils> scene;
    TKsBitmap buffer;
    buffer.SetSize(60, 60);
    buffer.Clear(0xFFFFFFFFu);
    KsUtils::PaintBackground(scene.A, buffer.DC(), false);
    EXPECT_EQ(RGB(255, 0, 0), Rgb(buffer, 0, 0));      // the form
    EXPECT_EQ(RGB(0, 255, 0), Rgb(buffer, 15, 15));    // the windowless square
    EXPECT_EQ(RGB(0, 0, 255), Rgb(buffer, 35, 35));    // B's own corner
    EXPECT_EQ(RGB(255, 0, 0), Rgb(buffer, 55, 55));    // B's background: the form again
    EXPECT_EQ(RGB(255, 0, 0), Rgb(buffer, 29, 31));    // beside the square, outside B
    // B's erase asked for its background, which came back to A and stopped.
    EXPECT_EQ(1, scene.B->Requests);
    EXPECT_EQ(1, scene.A->Requests);
    ASSERT_FALSE(scene.Form->Requests.empty());
    EXPECT_EQ(100, scene.Form->Requests.front());

    // Each request ends whole: a second one draws the same.
    buffer.Clear(0xFFFFFFFFu);
    KsUtils::PaintBackground(scene.A, buffer.DC(), false);
    EXPECT_EQ(RGB(0, 0, 255), Rgb(buffer, 35, 35));

    // Without the siblings.
    buffer.Clear(0xFFFFFFFFu);
    KsUtils::PaintBackground(scene.A, buffer.DC(), true);
    EXPECT_EQ(RGB(0, 255, 0), Rgb(buffer, 15, 15));
    EXPECT_EQ(RGB(255, 0, 0), Rgb(buffer, 35, 35));
}

TEST(SkinUtilsBackground, PaintingASiblingAsksForItsBackgroundWithoutRecursion)
{
    TOverlap<KsUtils> scene;
    TKsBitmap out;
    out.SetSize(60, 60);
    out.Clear(0xFFFFFFFFu);
    // The framework paints B with its erase: B asks for its background,
    // which paints A, whose own request paints B again, which stops there.
    scene.B->PaintTo(out.DC(), 0, 0);
    EXPECT_EQ(RGB(0, 0, 255), Rgb(out, 5, 5));     // B's corner
    EXPECT_EQ(RGB(255, 0, 0), Rgb(out, 25, 25));   // A's background there: the form
    EXPECT_EQ(RGB(255, 0, 0), Rgb(out, 45, 45));   // beyond A
    // B's erase ran twice (its own, then from inside A's request, where it
    // stopped); A's once.
    EXPECT_EQ(2, scene.B->Requests);
    EXPECT_EQ(1, scene.A->Requests);
}

TEST(SkinUtilsBackground, InDesignTheSiblingsAreLeftOut)
{
    TOverlap<KsUtils> scene;
    scene.A->SetComponentState(csDesigning);
    TKsBitmap buffer;
    buffer.SetSize(60, 60);
    KsUtils::PaintBackground(scene.A, buffer.DC(), false);
    EXPECT_EQ(RGB(255, 0, 0), Rgb(buffer, 35, 35));
    EXPECT_EQ(0, scene.B->Requests);
    scene.A->ClearComponentState(csDesigning);
}

TEST(SkinUtilsBackground, TheMediaFamilyPaintsNoWindowedSiblings)
{
    TOverlap<MpUtils> scene;
    TKsMediaBitmap buffer;
    buffer.SetSize(60, 60);
    MpUtils::PaintBackground(scene.A, buffer.DC(), false);
    EXPECT_EQ(RGB(0, 255, 0), Rgb(buffer, 15, 15));
    EXPECT_EQ(RGB(255, 0, 0), Rgb(buffer, 35, 35));
    EXPECT_EQ(0, scene.B->Requests);
    ASSERT_EQ(1u, scene.Form->Requests.size());
    EXPECT_EQ(12, scene.Form->Requests.front());
}

TEST(SkinUtilsBackground, TheOwnersAnswerAlone)
{
    TOverlap<KsUtils> scene;
    TKsBitmap buffer;
    buffer.SetSize(60, 60);
    buffer.Clear(0xFFFFFFFFu);
    KsUtils::PaintOwnerBackground(scene.A, buffer.DC());
    EXPECT_EQ(RGB(255, 0, 0), Rgb(buffer, 15, 15));
    EXPECT_EQ(RGB(255, 0, 0), Rgb(buffer, 35, 35));
    EXPECT_EQ(0, scene.B->Requests);
    // No parent, no request.
    TSeeThrough<KsUtils> orphan(nullptr);
    buffer.Clear(0xFFFFFFFFu);
    KsUtils::PaintOwnerBackground(&orphan, buffer.DC());
    KsUtils::PaintBackground(&orphan, buffer.DC(), false);
    EXPECT_EQ(RGB(255, 255, 255), Rgb(buffer, 15, 15));
}

TEST(SkinUtilsBackground, AWindowlessControlAsksOnlyAParentWithAWindow)
{
    TRequestForm* form = new TRequestForm;
    form->SetBounds(0, 0, 100, 100);
    TFill* square = AddFill(form, form, clLime, 10, 10, 20, 20);
    TKsMediaBitmap buffer;
    buffer.SetSize(20, 20);
    buffer.Clear(0xFFFFFFFFu);
    MpUtils::PaintGraphicBackground(square, buffer.DC(), false);
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_TRUE(form->Requests.empty());
    EXPECT_EQ(RGB(255, 255, 255), Rgb(buffer, 5, 5));
    form->HandleNeeded();
    MpUtils::PaintGraphicBackground(square, buffer.DC(), false);
    ASSERT_EQ(1u, form->Requests.size());
    EXPECT_EQ(12, form->Requests.front());
    // The form's answer only; the square itself is not painted.
    EXPECT_EQ(RGB(255, 0, 0), Rgb(buffer, 5, 5));
    form->Free();
}

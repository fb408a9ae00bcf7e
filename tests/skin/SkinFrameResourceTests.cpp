// What the form frames take from the program's resources: the caption-button
// images of each family (the system menu's pictures) and the Ks system menu's
// texts from the string table.
#include "Form.h"
#include "Frames.h"
#include "ImageList.h"
#include "MenuItems.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const KsImageNames[] = {"KSE_CLOSE", "KSE_MINIMIZE", "KSE_MAXIMIZE", "KSE_RESTORE", "KSE_ROLLUP", "KSE_TRAY"};
const char* const MpImageNames[] = {"MP_CLOSE", "MP_MINIMIZE", "MP_MAXIMIZE", "MP_RESTORE", "MP_ROLLUP", "MP_TRAY"};

constexpr COLORREF Magenta = RGB(255, 0, 255);
// The surface the images are drawn on: neither magenta nor a pictogram colour.
constexpr COLORREF Ground = RGB(0, 200, 90);
constexpr int Side = 16;

// The pixels of a bitmap resource as the platform loads it, rows top first.
std::vector<COLORREF> ResourcePixels(const char* name, int& width, int& height)
{
    std::vector<COLORREF> pixels;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) return pixels;
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    width = info.bmWidth;
    height = info.bmHeight;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return pixels;
}

// Draws image index of the list on a Side x Side surface of Ground and
// returns the surface's pixels.
std::vector<COLORREF> Drawn(TImageList* images, int index)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP surface = CreateCompatibleBitmap(screen, Side, Side);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, surface);
    HBRUSH brush = CreateSolidBrush(Ground);
    RECT all{0, 0, Side, Side};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    TCanvas canvas;
    canvas.SetHandle(dc);
    images->Draw(&canvas, 0, 0, index, true);
    canvas.SetHandle(nullptr);
    GdiFlush();
    std::vector<COLORREF> pixels;
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(surface);
    DeleteDC(dc);
    return pixels;
}

template <class Frame>
void ExpectTheImagesOfTheFamily(const char* const (&names)[6])
{
    TImageList* images = Frame::CaptionButtonImages();
    ASSERT_NE(nullptr, images);
    ASSERT_EQ(6, images->Count());
    EXPECT_EQ(Side, images->Width());
    EXPECT_EQ(Side, images->Height());
    // The menu draws them centred in a square as high as an item, which is
    // never lower than the platform's menu height.
    EXPECT_LE(images->Height(), GetSystemMetrics(SM_CYMENU));
    std::vector<std::vector<COLORREF>> seen;
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(names[i]);
        int width = 0, height = 0;
        const std::vector<COLORREF> source = ResourcePixels(names[i], width, height);
        ASSERT_EQ(Side, width);
        ASSERT_EQ(Side, height);
        const std::vector<COLORREF> drawn = Drawn(images, i);
        int transparent = 0, painted = 0;
        for (size_t p = 0; p < source.size(); ++p) {
            if (source[p] == Magenta) {
                ++transparent;
                EXPECT_EQ(Ground, drawn[p]) << "a left-out pixel was drawn at " << p % Side << "," << p / Side;
            } else {
                ++painted;
                EXPECT_EQ(source[p], drawn[p]) << "a picture pixel is missing at " << p % Side << "," << p / Side;
                EXPECT_NE(Ground, source[p]);
            }
        }
        // A pictogram on magenta, with its corner left out.
        EXPECT_GT(painted, 4);
        EXPECT_GT(transparent, Side * Side / 2);
        EXPECT_EQ(Magenta, source[0]);
        for (const auto& other : seen) EXPECT_NE(other, drawn) << "two images look the same";
        seen.push_back(drawn);
    }
}

TEST(SkinFrameCaptionImages, KsHasSixMaskedImagesTheMenuCanShow)
{
    ExpectTheImagesOfTheFamily<TKsCustomForm>(KsImageNames);
}

TEST(SkinFrameCaptionImages, MpHasSixMaskedImagesTheMenuCanShow)
{
    ExpectTheImagesOfTheFamily<TMpCustomForm>(MpImageNames);
}

// The table's texts straight from the platform, without the frame's help.
std::string TableText(UINT id)
{
    char text[64] = {};
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof(text));
    return std::string(text, length > 0 ? size_t(length) : 0);
}

TEST(SkinFrameSysMenuTexts, TheProgramCarriesTheKsTexts)
{
    EXPECT_EQ("Ma&ximize", TableText(65282));
    EXPECT_EQ("Mi&nimize", TableText(65283));
    EXPECT_EQ("&Close", TableText(65284));
    EXPECT_EQ("Ro&llup", TableText(65285));
    EXPECT_EQ("&Restore", TableText(65286));
    EXPECT_EQ("Minimize to &Tray", TableText(65287));
}

TEST(SkinFrameSysMenuTexts, KsItemsReadTheirCaptionsAndImagesFromTheResources)
{
    TForm* form = NewForm<TForm>(nullptr);
    auto* frame = new TKsCustomForm(form);
    // Maximized: every entry but Maximize, Restore first.
    frame->SetWindowState(kwsMaximized);
    frame->CreateSysMenu();
    auto* root = frame->SysMenuRoot();
    const std::vector<std::pair<UINT, int>> expected = {{65286, 3}, {65283, 1}, {65285, 4}, {65287, 5}, {0, -1}, {65284, 0}};
    ASSERT_EQ(int(expected.size()), root->Count());
    for (int i = 0; i < root->Count(); ++i) {
        auto* item = root->GetItem(i);
        if (expected[i].first == 0) {
            EXPECT_EQ("-", item->Caption());
            continue;
        }
        const std::string text = TableText(expected[i].first);
        ASSERT_FALSE(text.empty()) << expected[i].first;
        EXPECT_EQ(text, item->Caption());
        EXPECT_EQ(expected[i].second, item->ImageIndex());
        EXPECT_EQ(TKsCustomForm::CaptionButtonImages(), item->GetImgList());
    }
    frame->SetWindowState(kwsNormal);
    frame->CreateSysMenu();
    EXPECT_EQ(TableText(65282), frame->SysMenuRoot()->GetItem(1)->Caption());
    form->Free();
}

}  // namespace

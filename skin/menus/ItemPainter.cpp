#include "ItemPainter.h"

#include "Canvas.h"
#include "SkinBitmap.h"
#include "SkinUtils.h"

#include <algorithm>

namespace {

constexpr UINT LeftText = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
constexpr UINT RightText = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
constexpr UINT CentredText = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

TKColor Opaque(TColor color) { return KColor(color, 255); }

// The platform's caption-button kind of an MDI child's button.
UINT CaptionButtonKind(TItemFace::TMDIButton button)
{
    return button == TItemFace::mbClose ? DFCS_CAPTIONCLOSE
           : button == TItemFace::mbRestore ? DFCS_CAPTIONRESTORE
                                            : DFCS_CAPTIONMIN;
}

// Up, flat-hot outside the loop, pushed inside it.
UINT CaptionButtonState(const TItemFace& face)
{
    if (!face.Selected) return 0x10;
    return face.InLoop ? 0x210 : 0x4010;
}

// The caption drawn in color, or, when disabled, in the shadow colour with
// (unless selected) a highlight one pixel down and right beneath it.
template <class Bitmap>
void DrawClassicText(Bitmap* bitmap, const std::string& text, const RECT& rect, UINT format, TColor color,
                     const TItemFace& face)
{
    TFont* font = bitmap->Font();
    if (face.Enabled) {
        font->SetColor(color);
        bitmap->DrawText(text, rect, format);
        return;
    }
    if (!face.Selected) {
        RECT embossed = rect;
        OffsetRect(&embossed, 1, 1);
        font->SetColor(clBtnHighlight);
        bitmap->DrawText(text, embossed, format);
    }
    font->SetColor(clBtnShadow);
    bitmap->DrawText(text, rect, format);
}

void MenuButtonSize(int& width, int& height)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    width = height = 0;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        width = metrics.iMenuWidth;
        height = metrics.iMenuHeight;
    }
    width = std::max(width, 20);
    height = std::max(height, 20);
}

}  // namespace

template <class F>
void TSkinItemPainter<F>::ClassicSize(Bitmap* bitmap, TFont* font, const TItemFace& face, int& width, int& height)
{
    MenuButtonSize(width, height);
    if (!bitmap) return;
    if (font) bitmap->SetFont(font);
    if (face.Bar) {
        width = face.MDIButton != TItemFace::mbNone ? height : bitmap->TextWidth(face.Caption) + 12;
        return;
    }
    width = bitmap->TextWidth(face.Caption) + 58;
    if (!face.ShortCut.empty()) width += bitmap->TextWidth(face.ShortCut);
    if (face.Separator()) height = 15;
}

template <class F>
void TSkinItemPainter<F>::DrawCheckMark(Bitmap* bitmap, const RECT& square)
{
    static const POINT marks[12] = {{-2, -2}, {0, 0}, {4, -4}, {4, -3}, {0, 1}, {-2, -1},
                                    {-2, -2}, {-3, -2}, {-3, -1}, {0, 2}, {5, -3}, {5, -5}};
    // Integer division truncates toward zero, as the centre is defined.
    const int dx = (square.left + square.right) / 2 - 2, dy = (square.top + square.bottom) / 2 + 1;
    auto line = [&](int first, int last, TKColor color) {
        bitmap->MoveTo(marks[first].x + dx, marks[first].y + dy);
        for (int i = first + 1; i <= last; ++i) bitmap->LineTo(marks[i].x + dx, marks[i].y + dy, color);
    };
    line(0, 6, Colors::ckBlack);
    line(7, 11, Colors::ckWhite);
    GdiFlush();
}

template <class F>
void TSkinItemPainter<F>::DrawCheckOrImage(Bitmap* bitmap, const TItemFace& face, const RECT& square)
{
    if (!face.HasImage()) {
        DrawCheckMark(bitmap, square);
        return;
    }
    TImageList* images = face.Images;
    TCanvas canvas;
    canvas.SetHandle(bitmap->DC());
    images->Draw(&canvas, square.left + (RectWidth(square) - images->Width()) / 2,
                 square.top + (RectHeight(square) - images->Height()) / 2, face.ImageIndex, face.Enabled);
    canvas.SetHandle(nullptr);
    GdiFlush();
}

template <class F>
void TSkinItemPainter<F>::DrawClassicArrow(Bitmap* bitmap, const RECT& area, TKColor back, TKColor fore)
{
    RECT r = area;
    if (!bitmap->DC() || RectWidth(r) <= 0 || RectHeight(r) <= 0) return;
    DrawFrameControl(bitmap->DC(), &r, DFC_MENU, DFCS_MENUARROW);
    GdiFlush();
    r.left = std::max(r.left, LONG(0));
    r.top = std::max(r.top, LONG(0));
    r.right = std::min(r.right, LONG(bitmap->Width()));
    r.bottom = std::min(r.bottom, LONG(bitmap->Height()));
    for (LONG y = r.top; y < r.bottom; ++y) {
        TKColor* row = bitmap->ScanLine(y);
        for (LONG x = r.left; x < r.right; ++x) row[x] = row[x] == 0x00FFFFFFu ? back : fore;
    }
}

template <class F>
void TSkinItemPainter<F>::ClassicDraw(Bitmap* bitmap, const TItemFace& face, const RECT& rect)
{
    if (!bitmap || !bitmap->DC()) return;
    TFont* font = bitmap->Font();
    // A face no system has: the platform's substitute for it is the look.
    font->SetName("Tahome");
    font->SetSize(8);
    const TKColor raisedA = Opaque(clBtnHighlight), raisedB = Opaque(clBtnShadow);
    auto selectionEdge = [&](const RECT& r) {
        if (face.InLoop) bitmap->DrawEdge(r, raisedB, raisedA);
        else bitmap->DrawEdge(r, raisedA, raisedB);
    };
    RECT r = rect;
    if (face.Bar && face.MDIButton != TItemFace::mbNone) {
        bitmap->FillRect(r, Opaque(clMenu));
        if (face.MDIButton != TItemFace::mbSysMenu) {
            InflateRect(&r, -2, -2);
            DrawFrameControl(bitmap->DC(), &r, DFC_CAPTION, CaptionButtonState(face) | CaptionButtonKind(face.MDIButton));
            GdiFlush();
            return;
        }
        HICON icon = SmallIconCopy(face.MDIIcon);
        if (face.Selected) selectionEdge(r);
        InflateRect(&r, -1, -1);
        if (icon) {
            DrawIconEx(bitmap->DC(), r.left, r.top, icon, 0, 0, 0, nullptr, DI_NORMAL);
            DestroyIcon(icon);
        }
        GdiFlush();
        return;
    }
    if (face.Bar) {
        bitmap->FillRect(r, Opaque(clMenu));
        if (face.Selected) selectionEdge(r);
        font->SetColor(clMenuText);
        bitmap->DrawText(face.Caption, r, CentredText);
        return;
    }
    TColor fill = clMenu, text = clMenuText;
    if (face.Separator()) {
        bitmap->FillRect(r, Opaque(clMenu));
        r = RECT{r.left + 2, r.top + 7, r.right - 2, r.top + 9};
        bitmap->DrawEdge(r, raisedB, raisedA);
    } else {
        if (face.Selected) fill = clHighlight, text = clHighlightText;
        bitmap->FillRect(r, Opaque(fill));
    }
    if (face.Checked || face.HasImage()) {
        RECT square{r.left, r.top, r.left + 22, r.bottom};
        bitmap->FillRect(square, Opaque(clBtnFace));
        square.right = square.left + RectHeight(square);
        if (face.Checked) {
            if (!face.Selected) bitmap->FillHalftoneRect(square, Opaque(clBtnFace), Colors::ckWhite);
            bitmap->DrawEdge(square, raisedB, raisedA);
        } else if (face.Selected) {
            bitmap->DrawEdge(square, raisedA, raisedB);
        }
        DrawCheckOrImage(bitmap, face, square);
    }
    // The separator's own caption ("-") is not text to show.
    if (face.Separator()) return;
    RECT caption = r;
    caption.left += 26;
    DrawClassicText(bitmap, face.Caption, caption, LeftText, text, face);
    if (!face.ShortCut.empty()) {
        RECT shortcut = caption;
        shortcut.right -= 16;
        DrawClassicText(bitmap, face.ShortCut, shortcut, RightText, text, face);
    }
    if (face.HasChildren)
        DrawClassicArrow(bitmap, RECT{r.right - 18, r.top, r.right - 2, r.bottom}, Opaque(fill),
                         Opaque(face.Enabled ? text : clBtnShadow));
}

template struct TSkinItemPainter<TKsFamily>;
template struct TSkinItemPainter<TMpFamily>;

void TStyledItemPainter::Size(TKsBitmap* bitmap, TFont* font, TEpBorder* border, const TItemFace& face, int& width,
                              int& height)
{
    if (font) bitmap->SetFont(font);
    const int minHeight = GetSystemMetrics(SM_CYMENU);
    if (face.Bar && face.MDIButton != TItemFace::mbNone) {
        height = std::max(bitmap->TextHeight("Phg") + 6, minHeight) + (border ? border->Width() : 0);
        width = height;
        return;
    }
    height = std::max(bitmap->TextHeight(face.Caption) + 6, minHeight);
    if (face.Bar) {
        width = bitmap->TextWidth(face.Caption) + 12;
    } else {
        width = bitmap->TextWidth(face.Caption) + bitmap->TextWidth(face.ShortCut) + 58;
        if (face.Separator()) height = 15;
    }
    if (!face.Separator() && border) {
        width += border->GetWidth();
        height += border->GetHeight();
    }
}

void TStyledItemPainter::Draw(TKsBitmap* bitmap, TFont* font, TEpBackground* background, TEpBorder* border,
                              const TItemFace& face, const RECT& rect)
{
    if (font) bitmap->SetFont(font);
    RECT r = rect;
    if (face.Separator()) {
        r = RECT{r.left + 2, r.top + 6, r.right - 2, r.top + 7};
        bitmap->FillRect(r, font ? Opaque(font->Color()) : KsColors::ckBlack);
        return;
    }
    const int borderWidth = border->Width();
    if (face.Bar && face.MDIButton != TItemFace::mbNone) {
        if (face.MDIButton != TItemFace::mbSysMenu) {
            r = RECT{r.left - borderWidth, r.top + borderWidth, r.right - borderWidth, r.bottom - borderWidth};
            InflateRect(&r, -3, -3);
            DrawFrameControl(bitmap->DC(), &r, DFC_CAPTION, CaptionButtonState(face) | CaptionButtonKind(face.MDIButton));
            GdiFlush();
            return;
        }
        OffsetRect(&r, borderWidth, borderWidth);
        if (face.Selected) {
            background->Draw(bitmap, r);
            border->Draw(bitmap, r);
        }
        if (HICON icon = SmallIconCopy(face.MDIIcon)) {
            DrawIconEx(bitmap->DC(), (r.left + r.right) / 2 - 8, (r.top + r.bottom) / 2 - 8, icon, 16, 16, 0, nullptr,
                       DI_NORMAL);
            DestroyIcon(icon);
            GdiFlush();
        }
        return;
    }
    if (face.Selected) {
        background->Draw(bitmap, r);
        border->Draw(bitmap, r);
    }
    TFont* drawFont = bitmap->Font();
    const TColor own = drawFont->Color();
    if (face.Bar) {
        bitmap->DrawText(face.Caption, r, CentredText);
        return;
    }
    if (!face.Enabled) drawFont->SetColor(clBtnShadow);
    RECT caption = r;
    caption.left += 22;
    bitmap->DrawText(face.Caption, caption, LeftText);
    if (!face.ShortCut.empty()) {
        RECT shortcut = r;
        shortcut.right -= 16;
        bitmap->DrawText(face.ShortCut, shortcut, RightText);
    }
    drawFont->SetColor(own);
    if (face.Checked || face.HasImage())
        TSkinItemPainter<TKsFamily>::DrawCheckOrImage(bitmap, face, RECT{r.left, r.top, r.left + RectHeight(r), r.bottom});
    if (face.HasChildren) {
        // The platform's arrow, drawn aside; its black pixels become the item's.
        const RECT area{r.right - 16, r.top, r.right, r.bottom};
        TKsBitmap arrow;
        arrow.SetSize(RectWidth(area), RectHeight(area));
        if (arrow.Empty()) return;
        arrow.Clear(KsColors::ckWhite);
        RECT all{0, 0, arrow.Width(), arrow.Height()};
        DrawFrameControl(arrow.DC(), &all, DFC_MENU, DFCS_MENUARROW);
        GdiFlush();
        for (int y = 0; y < arrow.Height(); ++y) {
            const int by = area.top + y;
            if (by < 0 || by >= bitmap->Height()) continue;
            const TKColor* from = arrow.ScanLine(y);
            TKColor* to = bitmap->ScanLine(by);
            for (int x = 0; x < arrow.Width(); ++x) {
                const int bx = area.left + x;
                if (bx >= 0 && bx < bitmap->Width() && (from[x] & 0x00FFFFFFu) == 0) to[bx] = KsColors::ckBlack;
            }
        }
    }
}

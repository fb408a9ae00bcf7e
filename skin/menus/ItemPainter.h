// Measuring and drawing one menu item into a level's buffer: the classic
// look in the system's menu colours (both families, the frame's system menu,
// and any styled item whose styles are missing) and the styled look of the
// Ks leaf item with its background, border and font.
//
// The painter sees an item only through TItemFace, so it is written once
// for every item class and can be checked on a plain bitmap.
#pragma once

#include "ImageList.h"
#include "KColor.h"
#include "SkinStyles.h"

#include <string>

// What one item of one level looks like now.
struct TItemFace {
    // 0 plain; 1 close, 2 restore, 3 minimize, 4 system menu (an MDI child's
    // buttons on a bar).
    enum TMDIButton { mbNone, mbClose, mbRestore, mbMinimize, mbSysMenu };
    std::string Caption;
    std::string ShortCut;  // its text, empty without one
    bool Checked = false;
    bool Enabled = true;
    bool HasChildren = false;
    TImageList* Images = nullptr;  // its own or its tree's
    int ImageIndex = -1;
    TMDIButton MDIButton = mbNone;
    // The system-menu button's icon (not owned): the child form's, else the
    // application's; null for the system's own.
    HICON MDIIcon = nullptr;
    bool Bar = false;       // on a bar level (side by side)
    bool Selected = false;  // the highlighted item
    bool InLoop = false;    // its level's loop runs

    bool Separator() const { return Caption == "-"; }
    // An index the list does not hold (a program built without the images
    // the list is loaded from) shows no image rather than failing the paint.
    bool HasImage() const { return Images && ImageIndex >= 0 && ImageIndex < Images->Count(); }
};

template <class F>
struct TSkinItemPainter {
    using Bitmap = typename F::Bitmap;
    using Colors = typename F::Colors;

    // The system's menu button size, each side at least 20; with a bitmap
    // the caption (and shortcut) measured in font.
    static void ClassicSize(Bitmap* bitmap, TFont* font, const TItemFace& face, int& width, int& height);
    static void ClassicDraw(Bitmap* bitmap, const TItemFace& face, const RECT& rect);
    // The check mark's twelve points, centred on the square's centre.
    static void DrawCheckMark(Bitmap* bitmap, const RECT& square);
    // The platform's submenu arrow drawn into area, its white turned to
    // back and everything else to fore.
    static void DrawClassicArrow(Bitmap* bitmap, const RECT& area, TKColor back, TKColor fore);
    // The image centred in square, or the check mark without one.
    static void DrawCheckOrImage(Bitmap* bitmap, const TItemFace& face, const RECT& square);
};

extern template struct TSkinItemPainter<TKsFamily>;
extern template struct TSkinItemPainter<TMpFamily>;

// The Ks leaf item's styled look. Without a bitmap, background or border
// the classic one is used.
struct TStyledItemPainter {
    static void Size(TKsBitmap* bitmap, TFont* font, TEpBorder* border, const TItemFace& face, int& width,
                     int& height);
    static void Draw(TKsBitmap* bitmap, TFont* font, TEpBackground* background, TEpBorder* border,
                     const TItemFace& face, const RECT& rect);
};

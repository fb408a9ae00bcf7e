#include "EpMenus.h"

#include "Application.h"

#include "Font.h"
#include "Reader.h"
#include "SkinClasses.h"

// ---- What the painter is told about an item

template <class F>
TItemFace ItemFace(TSkinItem<F>* item, typename F::ItemView* view, bool selected, bool notInLoop)
{
    TItemFace face;
    face.Caption = item->Caption();
    face.ShortCut = ShortCutToText(item->ShortCut());
    face.Checked = item->Checked();
    face.Enabled = item->Enabled();
    face.HasChildren = item->Count() > 0;
    face.Images = item->GetImgList();
    face.ImageIndex = item->ImageIndex();
    switch (item->MDIKind()) {
    case mikClose: face.MDIButton = TItemFace::mbClose; break;
    case mikRestore: face.MDIButton = TItemFace::mbRestore; break;
    case mikMinimize: face.MDIButton = TItemFace::mbMinimize; break;
    case mikSysMenu: face.MDIButton = TItemFace::mbSysMenu; break;
    default: break;
    }
    // The child's icon, else the program's (the painter falls back to the
    // system's own).
    if (TCustomForm* form = item->ActiveMDIForm()) {
        if (form->Icon() && !form->Icon()->Empty())
            face.MDIIcon = form->Icon()->Handle();
        else if (Application && Application->Icon() && !Application->Icon()->Empty())
            face.MDIIcon = Application->Icon()->Handle();
    }
    face.Bar = view && view->IsBar;
    face.Selected = selected;
    face.InLoop = !notInLoop;
    return face;
}

template TItemFace ItemFace<TKsFamily>(TSkinItem<TKsFamily>*, TKsItemView*, bool, bool);
template TItemFace ItemFace<TMpFamily>(TSkinItem<TMpFamily>*, TMpItemView*, bool, bool);

// ---- The classic look of the base item classes

namespace {

template <class F>
void ClassicItemSize(typename F::Item* item, typename F::Bitmap* bitmap, typename F::ItemView* view, int& width,
                     int& height)
{
    TSkinItemPainter<F>::ClassicSize(bitmap, TSkinItem<F>::MenuFont(), ItemFace<F>(item, view, false, true), width,
                                     height);
}

template <class F>
void ClassicItemDraw(typename F::Item* item, typename F::Bitmap* bitmap, typename F::ItemView* view, const RECT& rect,
                     bool selected, bool notInLoop)
{
    TSkinItemPainter<F>::ClassicDraw(bitmap, ItemFace<F>(item, view, selected, notInLoop), rect);
}

}  // namespace

// ---- TEpItem

TEpItem::TEpItem(TComponent* owner) : TKsCustomItem(owner) {}

template <class Set>
void TEpItem::ForTree(Set set)
{
    set(this);
    for (int i = 0; i < Count(); ++i)
        if (auto* child = dynamic_cast<TEpItem*>(GetItem(i))) child->ForTree(set);
}

void TEpItem::SetBackground(TEpBackground* value)
{
    ForTree([value](TEpItem* item) { item->FBackground = value; });
}

void TEpItem::SetBorder(TEpBorder* value)
{
    ForTree([value](TEpItem* item) { item->FBorder = value; });
}

void TEpItem::SetPopupBackground(TEpBackground* value)
{
    ForTree([value](TEpItem* item) { item->FPopupBackground = value; });
}

void TEpItem::SetPopupBorder(TEpBorder* value)
{
    ForTree([value](TEpItem* item) { item->FPopupBorder = value; });
}

void TEpItem::SetFont(TFont* value)
{
    ForTree([value](TEpItem* item) { item->FFont = value; });
}

TEpItem::TPopupWindowClass TEpItem::GetPopupWindowClass() const
{
    return &TKsPopupWindow::New<TEpPopupWindow>;
}

void TEpItem::CalcSize(TKsBitmap* bitmap, TKsItemView* view, int& width, int& height)
{
    if (!bitmap) {
        TKsCustomItem::CalcSize(bitmap, view, width, height);
        return;
    }
    TStyledItemPainter::Size(bitmap, FFont, FBorder, ItemFace<TKsFamily>(this, view, false, true), width, height);
}

void TEpItem::DrawItem(TKsBitmap* bitmap, TKsItemView* view, const RECT& rect, bool selected, bool notInLoop)
{
    // Without its styles an item looks as the classic one does.
    if (!bitmap || !FBackground || !FBorder) {
        TKsCustomItem::DrawItem(bitmap, view, rect, selected, notInLoop);
        return;
    }
    TStyledItemPainter::Draw(bitmap, FFont, FBackground, FBorder, ItemFace<TKsFamily>(this, view, selected, notInLoop),
                             rect);
}

// ---- TEpItemStyles

TEpItemStyles::TEpItemStyles(TKsCustomItem* root)
    : FRoot(dynamic_cast<TEpItem*>(root)), FItemBackground(new TEpBackground), FPopupBackground(new TEpBackground),
      FItemBorder(new TEpBorder), FPopupBorder(new TEpBorder), FItemFont(new TFont)
{
    SetOnTree();
}

TEpItemStyles::~TEpItemStyles()
{
    SetOn(nullptr, nullptr, nullptr, nullptr, nullptr);
    delete FItemBackground;
    delete FPopupBackground;
    delete FItemBorder;
    delete FPopupBorder;
    delete FItemFont;
}

void TEpItemStyles::SetOn(TEpBackground* itemBackground, TEpBackground* popupBackground, TEpBorder* itemBorder,
                          TEpBorder* popupBorder, TFont* itemFont)
{
    if (!FRoot) return;
    FRoot->SetBackground(itemBackground);
    FRoot->SetBorder(itemBorder);
    FRoot->SetPopupBackground(popupBackground);
    FRoot->SetPopupBorder(popupBorder);
    FRoot->SetFont(itemFont);
}

void TEpItemStyles::SetOnTree()
{
    SetOn(FItemBackground, FPopupBackground, FItemBorder, FPopupBorder, FItemFont);
}

TPersistent* TEpItemStyles::PropertyObject(const std::string& name) const
{
    if (name == "ItemBackground") return FItemBackground;
    if (name == "PopupBackground") return FPopupBackground;
    if (name == "ItemBorder") return FItemBorder;
    if (name == "PopupBorder") return FPopupBorder;
    if (name == "ItemFont") return FItemFont;
    return nullptr;
}

// ---- TEpPopupMenu

TEpPopupMenu::TEpPopupMenu(TComponent* owner)
    : TKsCustomPopupMenu(owner, {ItemContainerClass<TEpPopupMenu>(), &InsertItemProc, &GetItemClassProc}),
      FStyles(Items())
{
}

TKsCustomItemClass TEpPopupMenu::GetItemClassProc()
{
    return [](TComponent* owner) -> TKsCustomItem* { return new TEpItem(owner); };
}

void TEpPopupMenu::Popup(int x, int y)
{
    FStyles.SetOnTree();
    TKsCustomPopupMenu::Popup(x, y);
}

bool TEpPopupMenu::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Version") {
        reader.ReadString();  // read-only: the text is ours
        return true;
    }
    return TKsCustomPopupMenu::ReadProperty(name, reader);
}

TPersistent* TEpPopupMenu::PropertyObject(const std::string& name)
{
    if (TPersistent* style = FStyles.PropertyObject(name)) return style;
    return TKsCustomPopupMenu::PropertyObject(name);
}

// ---- TEpMenuBar

TEpMenuBar::TEpMenuBar(TComponent* owner)
    : TKsCustomMenuBar(owner, {ItemContainerClass<TEpMenuBar>(), &InsertItemProc, &GetItemClassProc}),
      FBackground(new TEpBackground), FBorder(new TEpBorder), FStyles(Items())
{
    FBackground->OnChange = MakeEvent<&TEpMenuBar::BackgroundChanged>(this);
    FStyles.ItemBackground()->OnChange = MakeEvent<&TEpMenuBar::BackgroundChanged>(this);
    FBorder->OnChange = MakeEvent<&TEpMenuBar::BorderChanged>(this);
    FStyles.ItemBorder()->OnChange = MakeEvent<&TEpMenuBar::BorderChanged>(this);
    FStyles.ItemFont()->OnChange = MakeEvent<&TEpMenuBar::ItemFontChanged>(this);
}

TEpMenuBar::~TEpMenuBar()
{
    delete FBackground;
    delete FBorder;
}

TKsCustomItemClass TEpMenuBar::GetItemClassProc()
{
    return [](TComponent* owner) -> TKsCustomItem* { return new TEpItem(owner); };
}

void TEpMenuBar::BackgroundChanged(TObject* sender)
{
    // A running bar repaints when it is next invalidated for another reason.
    (void)sender;
    if (ComponentState() & csDesigning) Invalidate();
}

void TEpMenuBar::BorderChanged(TObject* sender)
{
    (void)sender;
    UpdateViewSize();
    Invalidate();
}

void TEpMenuBar::ItemFontChanged(TObject* sender)
{
    (void)sender;
    FStyles.SetOnTree();
    UpdateViewSize();
    Invalidate();
}

void TEpMenuBar::SetBackground(TEpBackground* value)
{
    FBackground->Assign(value);
    Invalidate();
}

void TEpMenuBar::SetBorder(TEpBorder* value)
{
    FBorder->Assign(value);
    Invalidate();
}

void TEpMenuBar::SetItemBackground(TEpBackground* value)
{
    FStyles.SetItemBackground(value);
    Invalidate();
}

void TEpMenuBar::SetItemBorder(TEpBorder* value)
{
    FStyles.SetItemBorder(value);
    UpdateViewSize();
}

RECT TEpMenuBar::GetViewRect()
{
    RECT r = TKsCustomMenuBar::GetViewRect();
    if (FBorder->Style() == ebsSingleBorder)
        InflateRect(&r, -FBorder->Width(), -FBorder->Width());
    else
        InflateRect(&r, -FBorder->BitmapMarginX(), -FBorder->BitmapMarginY());
    return r;
}

void TEpMenuBar::Loaded()
{
    TKsCustomMenuBar::Loaded();
    FStyles.SetOnTree();
}

void TEpMenuBar::PaintBackground()
{
    const RECT all{0, 0, Buffer()->Width(), Buffer()->Height()};
    FBackground->Draw(Buffer(), all);
    FBorder->Draw(Buffer(), RECT{0, 0, Width(), Height()});
}

bool TEpMenuBar::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Version") {
        reader.ReadString();
        return true;
    }
    return TKsCustomMenuBar::ReadProperty(name, reader);
}

TPersistent* TEpMenuBar::PropertyObject(const std::string& name)
{
    if (name == "Background") return FBackground;
    if (name == "Border") return FBorder;
    if (TPersistent* style = FStyles.PropertyObject(name)) return style;
    return TKsCustomMenuBar::PropertyObject(name);
}

// ---- TEpPopupWindow and TEpPopupForm

TKsPopupForm* TEpPopupWindow::CreateSkinForm()
{
    return new TEpPopupForm(this);
}

void TEpPopupWindow::Setup(TKsCustomItem* item, TKsItemView* parentView)
{
    if (auto* styled = dynamic_cast<TEpItem*>(item)) {
        FBackground = styled->PopupBackground();
        FBorder = styled->PopupBorder();
    }
    TKsPopupWindow::Setup(item, parentView);
}

TEpPopupWindow* TEpPopupForm::EpWindow() const
{
    return dynamic_cast<TEpPopupWindow*>(PopupWindow());
}

RECT TEpPopupForm::ClientRectFor(int width, int height)
{
    TEpPopupWindow* window = EpWindow();
    if (!window || !window->Border()) return TKsPopupForm::ClientRectFor(width, height);
    const int x = window->Border()->GetWidth(), y = window->Border()->GetHeight();
    return RECT{x, y, width - x, height - y};
}

void TEpPopupForm::PaintClientArea(TKsBitmap* buffer)
{
    TEpPopupWindow* window = EpWindow();
    if (window && window->Background()) {
        const int inset = window->Border() ? window->Border()->Width() : 0;
        window->Background()->Draw(buffer, RECT{0, 0, FrameWidth() - inset, FrameHeight() - inset});
    }
    TKsPopupForm::PaintClientArea(buffer);
}

void TEpPopupForm::PaintNCArea(TKsBitmap* buffer)
{
    TEpPopupWindow* window = EpWindow();
    if (window && window->Border()) {
        window->Border()->Draw(buffer, GetNCRect());
        return;
    }
    TKsPopupForm::PaintNCArea(buffer);
}

// ---- Registration

void RegisterMenuClasses()
{
    RegisterClasses<TKsCustomMenuBar, TMpCustomMenuBar, TKsCustomPopupMenu, TMpCustomPopupMenu, TEpItem, TEpPopupMenu,
                    TEpMenuBar>();
    TSkinItem<TKsFamily>::DefaultPopupWindowClass = &TKsPopupWindow::New<TKsPopupWindow>;
    TSkinItem<TMpFamily>::DefaultPopupWindowClass = &TMpPopupWindow::New<TMpPopupWindow>;
    TSkinItem<TKsFamily>::ClassicCalcSize = &ClassicItemSize<TKsFamily>;
    TSkinItem<TMpFamily>::ClassicCalcSize = &ClassicItemSize<TMpFamily>;
    TSkinItem<TKsFamily>::ClassicDrawItem = &ClassicItemDraw<TKsFamily>;
    TSkinItem<TMpFamily>::ClassicDrawItem = &ClassicItemDraw<TMpFamily>;
}

// The menu item model: the tree, captions and accelerators, change
// notification, the container registry as a form resource streams items,
// the action link, shortcuts, and the deferred click through the hidden
// handler (which never runs a click for an item freed meanwhile).
#include "Action.h"
#include "Application.h"
#include "ImageList.h"
#include "MenuItems.h"
#include "Reader.h"
#include "SkinClasses.h"
#include "SkinControlTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace SkinTest;

namespace {

// What was clicked (by name), in order.
struct TClickLog : TObject {
    std::vector<std::string> Names;
    void Clicked(TObject* sender) { Names.push_back(static_cast<TComponent*>(sender)->Name()); }
    void ActionRan(TObject* sender) { Names.push_back("action:" + static_cast<TComponent*>(sender)->Name()); }
    TNotifyEvent Handler() { return MakeEvent<&TClickLog::Clicked>(this); }
};

// Change notifications heard (senders, in order).
struct TChangeLog : TObject {
    std::vector<TObject*> Senders;
    void Changed(TObject* sender) { Senders.push_back(sender); }
    TNotifyEvent Handler() { return MakeEvent<&TChangeLog::Changed>(this); }
};

template <class I>
I* NewItem(TComponent* owner, const std::string& name, const std::string& caption = "")
{
    auto* item = new I(owner);
    item->SetName(name);
    item->SetCaption(caption);
    return item;
}

bool ClickPending(HWND handler)
{
    MSG msg;
    return PeekMessageA(&msg, handler, KM_ITEMCLICK, KM_ITEMCLICK, PM_NOREMOVE) != 0;
}

class SkinMenuItem : public ::testing::Test {
protected:
    void SetUp() override { Owner = new TComponent(nullptr); }
    void TearDown() override
    {
        Owner->Free();
        Pump(10);
    }
    TKsCustomItem* Ks(const std::string& name, const std::string& caption = "")
    {
        return NewItem<TKsCustomItem>(Owner, name, caption);
    }
    TMpCustomItem* Mp(const std::string& name, const std::string& caption = "")
    {
        return NewItem<TMpCustomItem>(Owner, name, caption);
    }
    TComponent* Owner = nullptr;
    // Outlive the items (which may still notify while the owner frees them).
    TClickLog Clicks;
    TChangeLog Log, Log2;
};

}  // namespace

// ---- Tree

TEST_F(SkinMenuItem, ConstructorDefaults)
{
    TKsCustomItem* item = Ks("Item");
    EXPECT_TRUE(item->Enabled());
    EXPECT_TRUE(item->Visible());
    EXPECT_FALSE(item->Checked());
    EXPECT_EQ(-1, item->ImageIndex());
    EXPECT_EQ(0, item->HelpContext());
    EXPECT_EQ(0, item->ShortCut());
    EXPECT_EQ(0, item->Count());
    EXPECT_FALSE(item->PopupBlend());
    EXPECT_EQ(150, item->PopupBlendValue());
    EXPECT_EQ(mikNone, item->MDIKind());
    EXPECT_EQ(nullptr, item->Parent());
    EXPECT_TRUE(item->HasParent());
}

TEST_F(SkinMenuItem, InsertAddDeleteRemoveAndIndexOf)
{
    TKsCustomItem* root = Ks("Root");
    TKsCustomItem *a = Ks("A"), *b = Ks("B"), *c = Ks("C");
    root->Add(a);
    root->Add(c);
    root->Insert(1, b);
    ASSERT_EQ(3, root->Count());
    EXPECT_EQ(a, root->GetItem(0));
    EXPECT_EQ(b, root->GetItem(1));
    EXPECT_EQ(c, root->GetItem(2));
    EXPECT_EQ(root, b->Parent());
    EXPECT_EQ(2, root->IndexOf(c));
    EXPECT_EQ(-1, root->IndexOf(root));

    root->Delete(0);
    EXPECT_EQ(nullptr, a->Parent());
    EXPECT_EQ(2, root->Count());
    EXPECT_EQ(b, root->GetItem(0));
    root->Remove(a);  // not a child: nothing
    EXPECT_EQ(2, root->Count());
    root->Remove(c);
    EXPECT_EQ(1, root->Count());
    EXPECT_EQ(nullptr, c->Parent());
}

TEST_F(SkinMenuItem, ReinsertingRaisesAndLeavesTheTree)
{
    TKsCustomItem *root = Ks("Root"), *other = Ks("Other"), *a = Ks("A");
    root->Add(a);
    try {
        other->Add(a);
        FAIL() << "no error";
    } catch (const EKsItemError& e) {
        EXPECT_STREQ("Toolbar item already inserted", e.what());
    }
    EXPECT_EQ(root, a->Parent());
    EXPECT_EQ(0, other->Count());
    EXPECT_EQ(1, root->Count());

    // The media family's text is its own.
    TMpCustomItem *mroot = Mp("MRoot"), *mother = Mp("MOther"), *ma = Mp("MA");
    mroot->Add(ma);
    try {
        mother->Add(ma);
        FAIL() << "no error";
    } catch (const EKsItemError& e) {
        EXPECT_STREQ("Insertion error", e.what());
    }
}

TEST_F(SkinMenuItem, AnItemCannotGoBelowItself)
{
    TKsCustomItem *root = Ks("Root"), *a = Ks("A");
    root->Add(a);
    EXPECT_THROW(a->Add(a), EKsItemError);
    // root is a root (no parent): putting it under its own child would
    // make the tree a loop.
    EXPECT_THROW(a->Add(root), EKsItemError);
    EXPECT_EQ(nullptr, root->Parent());
    EXPECT_EQ(0, a->Count());
}

TEST_F(SkinMenuItem, BadIndexesRaiseListErrors)
{
    TKsCustomItem *root = Ks("Root"), *a = Ks("A");
    root->Add(a);
    EXPECT_THROW(root->GetItem(1), EListError);
    EXPECT_THROW(root->GetItem(-1), EListError);
    EXPECT_THROW(root->Delete(5), EListError);
    EXPECT_THROW(root->Insert(3, Ks("B")), EListError);
    EXPECT_EQ(1, root->Count());
    EXPECT_EQ(root, a->Parent());
}

TEST_F(SkinMenuItem, ContainsItemWalksTheParentChain)
{
    TKsCustomItem *root = Ks("Root"), *a = Ks("A"), *a1 = Ks("A1"), *b = Ks("B");
    root->Add(a);
    a->Add(a1);
    root->Add(b);
    EXPECT_TRUE(root->ContainsItem(root));
    EXPECT_TRUE(root->ContainsItem(a1));
    EXPECT_TRUE(a->ContainsItem(a1));
    EXPECT_FALSE(a->ContainsItem(b));
    EXPECT_FALSE(a1->ContainsItem(a));
    EXPECT_FALSE(a->ContainsItem(nullptr));
}

TEST_F(SkinMenuItem, DestroyingAnItemDestroysItsChildrenAndLeavesItsParent)
{
    TKsCustomItem *root = Ks("Root"), *a = Ks("A"), *b = Ks("B");
    root->Add(a);
    root->Add(b);
    a->Add(Ks("A1"));
    a->Add(Ks("A2"));
    const int before = Owner->ComponentCount();
    a->Free();
    // A, A1 and A2 are gone from the owner too.
    EXPECT_EQ(before - 3, Owner->ComponentCount());
    EXPECT_EQ(nullptr, Owner->FindComponent("A1"));
    ASSERT_EQ(1, root->Count());
    EXPECT_EQ(b, root->GetItem(0));
}

TEST_F(SkinMenuItem, GetImgListFallsBackToTheRoots)
{
    auto* images = new TImageList(Owner);
    auto* mine = new TImageList(Owner);
    TKsCustomItem *root = Ks("Root"), *a = Ks("A"), *a1 = Ks("A1");
    root->Add(a);
    a->Add(a1);
    EXPECT_EQ(nullptr, a1->GetImgList());
    root->SetImages(images);
    EXPECT_EQ(images, a1->GetImgList());
    a1->SetImages(mine);
    EXPECT_EQ(mine, a1->GetImgList());
    // A freed list is forgotten.
    mine->Free();
    EXPECT_EQ(nullptr, a1->Images());
    EXPECT_EQ(images, a1->GetImgList());
}

TEST_F(SkinMenuItem, GetChildrenAndParentComponentForStreaming)
{
    auto* container = new TComponent(Owner);
    TKsCustomItem *root = Ks("Root"), *a = Ks("A"), *a1 = Ks("A1");
    root->SetParentComponentValue(container);
    root->Add(a);
    a->Add(a1);
    std::vector<TComponent*> children;
    root->GetChildren([&](TComponent* c) { children.push_back(c); }, Owner);
    EXPECT_EQ(std::vector<TComponent*>{a}, children);
    // A child of the root writes itself into the container; deeper items
    // into their parent item; the root has no parent to name.
    EXPECT_EQ(container, a->GetParentComponent());
    EXPECT_EQ(a, a1->GetParentComponent());
    EXPECT_EQ(nullptr, root->GetParentComponent());
}

// ---- Captions, accelerators, changes

TEST_F(SkinMenuItem, FindCharItemMatchesTheAcceleratorInAnyCase)
{
    TKsCustomItem* root = Ks("Root");
    TKsCustomItem* plain = Ks("Plain", "Select All");  // no "&": never matches
    TKsCustomItem* hidden = Ks("Hidden", "&Hidden");
    TKsCustomItem* save = Ks("Save", "&Save");
    TKsCustomItem* saveAs = Ks("SaveAs", "Save &As");
    TKsCustomItem* second = Ks("Second", "&save again");
    hidden->SetVisible(false);
    save->SetEnabled(false);
    for (TKsCustomItem* i : {plain, hidden, save, saveAs, second}) root->Add(i);

    EXPECT_EQ(save, root->FindCharItem('s'));  // the first, though disabled
    EXPECT_EQ(save, root->FindCharItem('S'));
    EXPECT_EQ(saveAs, root->FindCharItem('a'));
    EXPECT_EQ(hidden, root->FindCharItem('h'));  // invisible too
    EXPECT_EQ(nullptr, root->FindCharItem('l'));
    EXPECT_EQ(nullptr, root->FindCharItem('x'));
    EXPECT_EQ(nullptr, Ks("Empty")->FindCharItem('a'));
    // Media family alike.
    TMpCustomItem* mroot = Mp("MRoot");
    TMpCustomItem* m = Mp("M", "Op&en");
    mroot->Add(m);
    EXPECT_EQ(m, mroot->FindItemByChar('E'));
    EXPECT_EQ(nullptr, mroot->FindItemByChar('O'));
}

TEST_F(SkinMenuItem, SettingAValueItAlreadyHasNotifiesNothing)
{
    TChangeLog& log = Log;
    TKsCustomItem* item = Ks("Item", "Caption");
    item->OnInternalChange = log.Handler();
    item->SetCaption("Caption");
    item->SetChecked(false);
    item->SetEnabled(true);
    item->SetVisible(true);
    item->SetImageIndex(-1);
    item->SetImages(nullptr);
    EXPECT_TRUE(log.Senders.empty());
    item->SetChecked(true);
    item->SetCaption("Other");
    // A root hears each of its own changes twice.
    EXPECT_EQ(4u, log.Senders.size());
    EXPECT_EQ("Other", item->Caption());
    EXPECT_TRUE(item->Checked());
}

TEST_F(SkinMenuItem, AChangeReachesTheItemsAndTheRootsListener)
{
    TChangeLog &rootLog = Log, &childLog = Log2;
    TKsCustomItem *root = Ks("Root"), *a = Ks("A"), *a1 = Ks("A1", "x");
    root->Add(a);
    a->Add(a1);
    root->OnInternalChange = rootLog.Handler();
    a1->OnInternalChange = childLog.Handler();
    a1->SetCaption("y");
    EXPECT_EQ(std::vector<TObject*>{a1}, childLog.Senders);
    EXPECT_EQ(std::vector<TObject*>{root}, rootLog.Senders);
    // Tree operations and the recursive setters are not changes in the Ks
    // family.
    root->Add(Ks("B"));
    root->SetPopupBlend(true);
    root->SetShadowWidth(4);
    EXPECT_EQ(1u, rootLog.Senders.size());
}

TEST_F(SkinMenuItem, MediaTreeOperationsNotifyButNotWhileLoading)
{
    TChangeLog& log = Log;
    TMpCustomItem *root = Mp("Root"), *a = Mp("A"), *b = Mp("B");
    root->OnInternalChange = log.Handler();
    root->Add(a);
    root->Add(b);
    EXPECT_EQ(4u, log.Senders.size());
    root->Delete(0);
    EXPECT_EQ(6u, log.Senders.size());
    root->Add(a);
    log.Senders.clear();
    root->Clear();
    EXPECT_EQ(0, root->Count());
    EXPECT_EQ(nullptr, a->Parent());
    EXPECT_EQ(4u, log.Senders.size());  // two deletions, each heard twice
    log.Senders.clear();
    root->SetComponentState(csLoading);
    root->SetCaption("x");
    root->Add(a);
    root->ClearComponentState(csLoading);
    EXPECT_TRUE(log.Senders.empty());
}

TEST_F(SkinMenuItem, RecursiveSettersReachEveryDescendant)
{
    TKsCustomItem *root = Ks("Root"), *a = Ks("A"), *a1 = Ks("A1");
    root->Add(a);
    a->Add(a1);
    a->SetPopupBlendValue(99);
    EXPECT_EQ(150, root->PopupBlendValue());
    EXPECT_EQ(99, a1->PopupBlendValue());
    root->SetPopupBlend(true);
    root->SetDropShadow(true);
    root->SetShadowWidth(4);
    root->SetShowAnimation(kaFade);
    root->SetShowAnimationTime(300);
    root->SetFirst(true);
    root->SetOnlyFirst(true);
    for (TKsCustomItem* i : {root, a, a1}) {
        EXPECT_TRUE(i->PopupBlend());
        EXPECT_TRUE(i->DropShadow());
        EXPECT_EQ(4, i->ShadowWidth());
        EXPECT_EQ(kaFade, i->ShowAnimation());
        EXPECT_EQ(300, i->ShowAnimationTime());
        EXPECT_TRUE(i->First());
        EXPECT_TRUE(i->OnlyFirst());
    }
    // The media toolbar flag reaches the direct children only.
    TMpCustomItem *mroot = Mp("MRoot"), *m = Mp("M"), *m1 = Mp("M1");
    mroot->Add(m);
    m->Add(m1);
    mroot->SetIsToolbar(true);
    mroot->SetTray(true);
    EXPECT_TRUE(m->IsToolbar());
    EXPECT_FALSE(m1->IsToolbar());
    EXPECT_TRUE(m1->Tray());
}

// ---- Registry

namespace {

class TSkinTestItemContainer : public TComponent {
    GANTREL_CLASS(TSkinTestItemContainer)

    explicit TSkinTestItemContainer(TComponent* owner) : TComponent(owner)
    {
        Root = new TKsCustomItem(this);
        Root->SetParentComponentValue(this);
    }
    TKsCustomItem* Root;
    static void InsertItem(TComponent* container, TKsCustomItem* item)
    {
        static_cast<TSkinTestItemContainer*>(container)->Root->Add(item);
    }
    static TKsCustomItem* MakeItem(TComponent* owner) { return new TKsCustomItem(owner); }
    static TKsCustomItemClass ItemClass() { return &MakeItem; }
};

class TSkinTestDerivedContainer : public TSkinTestItemContainer {
    GANTREL_CLASS(TSkinTestDerivedContainer)
    using TSkinTestItemContainer::TSkinTestItemContainer;
};

class TSkinTestStranger : public TComponent {
    GANTREL_CLASS(TSkinTestStranger)
    using TComponent::TComponent;
};

// Everything a second record's callbacks do, to tell the two apart.
std::vector<TKsCustomItem*> SecondInserts;
void SecondInsert(TComponent*, TKsCustomItem* item) { SecondInserts.push_back(item); }
TKsCustomItem* MakeOther(TComponent* owner) { return new TKsCustomItem(owner); }
TKsCustomItemClass OtherClass() { return &MakeOther; }

class TSkinMenuStreamForm : public TForm {
    GANTREL_CLASS(TSkinMenuStreamForm)
    explicit TSkinMenuStreamForm(TComponent* owner) : TForm(owner, 0) {}
    TSkinTestItemContainer* Plain = nullptr;
    TSkinTestDerivedContainer* Derived = nullptr;
    TKsCustomItem* FileItem = nullptr;
    TKsCustomItem* OpenItem = nullptr;
    TKsCustomItem* LostItem = nullptr;
    static const TFormTable* Table()
    {
        using F = TSkinMenuStreamForm;
        static const TFormTable table = {
            {GANTREL_FIELD(F, Plain), GANTREL_FIELD(F, Derived), GANTREL_FIELD(F, FileItem),
             GANTREL_FIELD(F, OpenItem), GANTREL_FIELD(F, LostItem)},
            {},
        };
        return &table;
    }
};

// Registers the test containers for one test and takes them out again.
struct TRegisteredContainers {
    TRegisteredContainers()
    {
        RegisterSkinClasses();
        RegisterClasses<TSkinTestItemContainer, TSkinTestDerivedContainer, TSkinTestStranger>();
        TKsCustomItem::RegisterContainerClass(ItemContainerClass<TSkinTestItemContainer>(),
                                              &TSkinTestItemContainer::InsertItem, &TSkinTestItemContainer::ItemClass);
    }
    ~TRegisteredContainers() { TKsCustomItem::UnregisterContainerClass(ItemContainerClass<TSkinTestItemContainer>()); }
};

}  // namespace

TEST_F(SkinMenuItem, RegisteringTwiceAndUnregisteringOnceKeepsTheRecord)
{
    const int before = TKsCustomItem::RegisteredContainerCount();
    const auto plain = ItemContainerClass<TSkinTestItemContainer>();
    TKsCustomItem::RegisterContainerClass(plain, &TSkinTestItemContainer::InsertItem, &TSkinTestItemContainer::ItemClass);
    TKsCustomItem::RegisterContainerClass(plain, &TSkinTestItemContainer::InsertItem, &OtherClass);
    EXPECT_EQ(before + 1, TKsCustomItem::RegisteredContainerCount());
    // The second registration's callbacks replace the first's.
    EXPECT_EQ(&MakeOther, TKsCustomItem::GetItemClass(typeid(TSkinTestItemContainer)));
    TKsCustomItem::UnregisterContainerClass(plain);
    EXPECT_EQ(before + 1, TKsCustomItem::RegisteredContainerCount());
    EXPECT_EQ(&MakeOther, TKsCustomItem::GetItemClass(typeid(TSkinTestItemContainer)));
    TKsCustomItem::UnregisterContainerClass(plain);
    EXPECT_EQ(before, TKsCustomItem::RegisteredContainerCount());
    EXPECT_EQ(nullptr, TKsCustomItem::GetItemClass(typeid(TSkinTestItemContainer)));
    // Unregistering what is not there changes nothing.
    TKsCustomItem::UnregisterContainerClass(plain);
    EXPECT_EQ(before, TKsCustomItem::RegisteredContainerCount());
}

TEST_F(SkinMenuItem, GetItemClassAnswersForExactlyTheRegisteredClass)
{
    TRegisteredContainers registered;
    EXPECT_EQ(&TSkinTestItemContainer::MakeItem, TKsCustomItem::GetItemClass(typeid(TSkinTestItemContainer)));
    EXPECT_EQ(nullptr, TKsCustomItem::GetItemClass(typeid(TSkinTestDerivedContainer)));
    // Each family has a registry of its own.
    EXPECT_EQ(nullptr, TMpCustomItem::GetItemClass(typeid(TSkinTestItemContainer)));
}

TEST_F(SkinMenuItem, SetParentComponentSearchesTheRegistryFromTheLastRecord)
{
    TRegisteredContainers registered;
    auto* derived = new TSkinTestDerivedContainer(Owner);
    TKsCustomItem* item = Ks("Item");
    // Only the base class is registered: a derived container matches it.
    item->SetParentComponent(derived);
    EXPECT_EQ(derived->Root, item->Parent());
    // A later record for the derived class wins over the earlier one.
    TKsCustomItem::RegisterContainerClass(ItemContainerClass<TSkinTestDerivedContainer>(), &SecondInsert, &OtherClass);
    SecondInserts.clear();
    TKsCustomItem* other = Ks("Other");
    other->SetParentComponent(derived);
    EXPECT_EQ(std::vector<TKsCustomItem*>{other}, SecondInserts);
    EXPECT_EQ(nullptr, other->Parent());
    TKsCustomItem::UnregisterContainerClass(ItemContainerClass<TSkinTestDerivedContainer>());
    // Moving: the item leaves its old parent first.
    TKsCustomItem* parent = Ks("Parent");
    item->SetParentComponent(parent);
    EXPECT_EQ(parent, item->Parent());
    EXPECT_EQ(0, derived->Root->Count());
    // No record: parentless.
    item->SetParentComponent(new TSkinTestStranger(Owner));
    EXPECT_EQ(nullptr, item->Parent());
}

TEST_F(SkinMenuItem, AFormResourceStreamsItemsIntoTheirContainers)
{
    TRegisteredContainers registered;
    auto* form = NewForm<TSkinMenuStreamForm>(nullptr);
    ReadFormResource(form, TSkinMenuStreamForm::Table());
    ASSERT_NE(nullptr, form->Plain);
    TKsCustomItem* root = form->Plain->Root;
    ASSERT_EQ(2, root->Count());
    EXPECT_EQ(form->FileItem, root->GetItem(0));
    EXPECT_EQ("&File", form->FileItem->Caption());
    ASSERT_EQ(3, form->FileItem->Count());
    TKsCustomItem* open = form->FileItem->GetItem(0);
    EXPECT_EQ(form->OpenItem, open);
    EXPECT_EQ(scCtrl | 'O', open->ShortCut());
    EXPECT_EQ(7, open->HelpContext());
    EXPECT_EQ("Open a map", open->Hint());
    EXPECT_TRUE(form->FileItem->GetItem(1)->IsSeparator());
    EXPECT_FALSE(form->FileItem->GetItem(2)->Enabled());
    TKsCustomItem* help = root->GetItem(1);
    EXPECT_FALSE(help->Visible());
    EXPECT_TRUE(help->PopupBlend());
    EXPECT_EQ(200, help->PopupBlendValue());
    // The derived container found the base class's record.
    ASSERT_EQ(1, form->Derived->Root->Count());
    TKsCustomItem* about = form->Derived->Root->GetItem(0);
    EXPECT_TRUE(about->Checked());
    EXPECT_EQ(3, about->ImageIndex());
    // The unknown container's item stays parentless.
    ASSERT_NE(nullptr, form->LostItem);
    EXPECT_EQ(nullptr, form->LostItem->Parent());
    // Streaming writes children through the container again.
    EXPECT_EQ(form->Plain, open->Parent()->GetParentComponent());
    form->Free();
}

// ---- Click path

TEST_F(SkinMenuItem, SeparatorsParentsAndDisabledItemsPostNoClick)
{
    TKsCustomItem *root = Ks("Root"), *line = Ks("Line", "-"), *parent = Ks("Parent", "P"), *off = Ks("Off", "O");
    root->Add(line);
    root->Add(parent);
    parent->Add(Ks("Child", "C"));
    root->Add(off);
    off->SetEnabled(false);
    for (TKsCustomItem* i : {line, parent, off}) i->OnClick = Clicks.Handler();
    HWND handler = TKsCustomItem::ClickHandlerWindow();
    ASSERT_NE(nullptr, handler);
    Pump(10);
    for (TKsCustomItem* i : {line, parent, off}) i->DoClick();
    EXPECT_FALSE(ClickPending(handler));
    Pump(20);
    EXPECT_TRUE(Clicks.Names.empty());
}

TEST_F(SkinMenuItem, AClickRunsOnlyOnceTheMessagesAreThrough)
{
    TKsCustomItem* item = Ks("Item", "Run");
    item->OnClick = Clicks.Handler();
    item->DoClick();
    EXPECT_TRUE(Clicks.Names.empty());
    EXPECT_TRUE(ClickPending(TKsCustomItem::ClickHandlerWindow()));
    Pump(50, [&] { return !Clicks.Names.empty(); });
    EXPECT_EQ(std::vector<std::string>{"Item"}, Clicks.Names);
}

TEST_F(SkinMenuItem, AClickForAnItemFreedMeanwhileIsDropped)
{
    TKsCustomItem* item = Ks("Item", "Run");
    item->OnClick = Clicks.Handler();
    item->DoClick();
    item->Free();
    // A new item may well take the freed one's place in memory: the click
    // was not its.
    TKsCustomItem* next = Ks("Next", "Run");
    next->OnClick = Clicks.Handler();
    Pump(50);
    EXPECT_TRUE(Clicks.Names.empty());
}

TEST_F(SkinMenuItem, AClickFreedByAPendingMessageIsDropped)
{
    // The handler lets pending messages run before the click; one of them
    // frees the item.
    struct TFreer : TObject {
        TKsCustomItem* Victim = nullptr;
        void Free(TObject*)
        {
            if (Victim) Victim->Free();
            Victim = nullptr;
        }
    } freer;
    TKsCustomItem* item = Ks("Item", "Run");
    item->OnClick = Clicks.Handler();
    freer.Victim = item;
    item->DoClick();
    Application->PostCall([&] { freer.Free(nullptr); });
    Pump(50);
    EXPECT_TRUE(Clicks.Names.empty());
    EXPECT_EQ(nullptr, freer.Victim);
}

TEST_F(SkinMenuItem, AMediaClickGoesThroughTheMediaHandler)
{
    TMpCustomItem* item = Mp("Media", "Run");
    item->OnClick = Clicks.Handler();
    Ks("KsToo");
    ASSERT_NE(nullptr, TKsCustomItem::ClickHandlerWindow());
    ASSERT_NE(TKsCustomItem::ClickHandlerWindow(), TMpCustomItem::ClickHandlerWindow());
    item->DoClick();
    EXPECT_TRUE(ClickPending(TMpCustomItem::ClickHandlerWindow()));
    // The item's address posted to the other family's handler is no item
    // of that family.
    PostMessageA(TKsCustomItem::ClickHandlerWindow(), KM_ITEMCLICK, WPARAM(item->Serial()),
                 reinterpret_cast<LPARAM>(static_cast<void*>(item)));
    Pump(50, [&] { return !Clicks.Names.empty(); });
    Pump(20);
    EXPECT_EQ(std::vector<std::string>{"Media"}, Clicks.Names);
}

TEST_F(SkinMenuItem, AnExceptionInAClickReachesTheApplicationNotThePlatform)
{
    struct TThrower : TObject {
        void Click(TObject*) { throw Exception("click failed"); }
    } thrower;
    std::vector<std::string> seen;
    static std::vector<std::string>* Seen;
    Seen = &seen;
    TCallbackExceptionHandler old =
        SetCallbackExceptionHandler([](const std::exception& e) { Seen->push_back(e.what()); });
    TKsCustomItem* item = Ks("Item", "Run");
    item->OnClick = MakeEvent<&TThrower::Click>(&thrower);
    item->DoClick();
    Pump(50, [&] { return !seen.empty(); });
    SetCallbackExceptionHandler(old);
    EXPECT_EQ(std::vector<std::string>{"click failed"}, seen);
}

// ---- Shortcuts

TEST_F(SkinMenuItem, CheckShortCutComparesWholeShortcuts)
{
    TKsCustomItem* root = Ks("Root");
    TKsCustomItem* t = Ks("T", "T item");
    TKsCustomItem* a = Ks("A", "A item");
    TKsCustomItem* f5 = Ks("F5", "Refresh");
    t->SetShortCut('T');
    a->SetShortCut('A');
    f5->SetShortCut(VK_F5);
    for (TKsCustomItem* i : {t, a, f5}) {
        root->Add(i);
        i->OnClick = Clicks.Handler();
    }
    root->CheckShortCut(VK_F5, 0);  // 0x74, a lower-case "t"
    root->CheckShortCut(VK_NUMPAD1, 0);  // 0x61, a lower-case "a"
    Pump(30);
    EXPECT_EQ(std::vector<std::string>{"F5"}, Clicks.Names);
    Clicks.Names.clear();
    root->CheckShortCut('T', 0);
    root->CheckShortCut('A', ssShift);  // Shift+A is not A
    Pump(30);
    EXPECT_EQ(std::vector<std::string>{"T"}, Clicks.Names);
}

TEST_F(SkinMenuItem, CheckShortCutClicksEveryMatchParentFirstButNeverInvisibleOrDisabledOnes)
{
    const TShortCut ctrlS = scCtrl | 'S';
    TKsCustomItem* root = Ks("Root");
    TKsCustomItem* first = Ks("First", "1");
    TKsCustomItem* menu = Ks("Menu", "M");
    TKsCustomItem* inner = Ks("Inner", "I");
    TKsCustomItem* last = Ks("Last", "L");
    TKsCustomItem* hidden = Ks("Hidden", "H");
    TKsCustomItem* off = Ks("Off", "O");
    TKsCustomItem* hiddenMenu = Ks("HiddenMenu", "HM");
    TKsCustomItem* underHidden = Ks("UnderHidden", "UH");
    root->Add(first);
    root->Add(menu);
    menu->Add(inner);
    menu->Add(hidden);
    menu->Add(off);
    root->Add(hiddenMenu);
    hiddenMenu->Add(underHidden);
    root->Add(last);
    hidden->SetVisible(false);
    off->SetEnabled(false);
    hiddenMenu->SetVisible(false);
    for (TKsCustomItem* i : {first, inner, last, hidden, off, underHidden}) {
        i->SetShortCut(ctrlS);
        i->OnClick = Clicks.Handler();
    }
    root->CheckShortCut('S', ssCtrl);
    Pump(40);
    EXPECT_EQ((std::vector<std::string>{"First", "Inner", "Last"}), Clicks.Names);
    // No key is nobody's shortcut, not even of items without one.
    Clicks.Names.clear();
    root->CheckShortCut(0, 0);
    Pump(20);
    EXPECT_TRUE(Clicks.Names.empty());
}

TEST_F(SkinMenuItem, MediaIsShortCutClicksThePathAndSaysWhetherItFoundOne)
{
    TMpCustomItem* root = Mp("Root");
    TMpCustomItem* menu = Mp("Menu", "M");
    TMpCustomItem* item = Mp("Item", "I");
    TMpCustomItem* off = Mp("Off", "O");
    root->Add(menu);
    menu->Add(item);
    root->Add(off);
    item->SetShortCut(VK_F5);
    off->SetShortCut(VK_F6);
    off->SetEnabled(false);
    item->OnClick = Clicks.Handler();
    off->OnClick = Clicks.Handler();
    EXPECT_TRUE(root->IsShortCut(VK_F5, 0));
    EXPECT_FALSE(root->IsShortCut('T', 0));
    EXPECT_FALSE(root->IsShortCut(VK_F6, 0));
    // Alt comes from the key data's context bit.
    item->SetShortCut(scAlt | VK_F7);
    EXPECT_FALSE(root->IsShortCut(VK_F7, 0));
    EXPECT_TRUE(root->IsShortCut(VK_F7, LPARAM(1) << 29));
    Pump(40);
    EXPECT_EQ((std::vector<std::string>{"Item", "Item"}), Clicks.Names);
    // FindItem: by shortcut and by the handler's code.
    EXPECT_EQ(item, root->FindItem(scAlt | VK_F7, fkShortCut));
    EXPECT_EQ(item, root->FindItem(uintptr_t(Clicks.Handler().ToMethod().Code), fkHandle));
    EXPECT_EQ(nullptr, root->FindItem(1, fkCommand));
}

// ---- Actions

TEST_F(SkinMenuItem, AnActionFillsTheItemAndFollowsItsChanges)
{
    auto* action = new TAction(Owner);
    action->SetName("Act");
    action->SetCaption("&Save");
    action->SetShortCut(scCtrl | 'S');
    action->SetHint("Save it");
    action->SetHelpContext(12);
    action->SetImageIndex(4);
    action->OnExecute = MakeEvent<&TClickLog::ActionRan>(&Clicks);
    TKsCustomItem* item = Ks("Item");
    item->SetAction(action);
    EXPECT_EQ(action, item->Action());
    EXPECT_EQ("&Save", item->Caption());
    EXPECT_EQ(scCtrl | 'S', item->ShortCut());
    EXPECT_EQ("Save it", item->Hint());
    EXPECT_EQ(12, item->HelpContext());
    EXPECT_EQ(4, item->ImageIndex());
    EXPECT_TRUE(item->OnClick == action->OnExecute);
    action->SetEnabled(false);
    EXPECT_FALSE(item->Enabled());
    action->SetCaption("Save &all");
    EXPECT_EQ("Save &all", item->Caption());
    // Freed: the item forgets it and keeps its values.
    action->Free();
    EXPECT_EQ(nullptr, item->Action());
    EXPECT_EQ("Save &all", item->Caption());
}

TEST_F(SkinMenuItem, LoadedCopiesOnlyIntoDefaults)
{
    auto* action = new TAction(Owner);
    action->SetCaption("From action");
    action->SetHint("action hint");
    TKsCustomItem* item = Ks("Item", "Own caption");
    item->SetComponentState(csLoading);
    item->SetAction(action);  // an action that is not loading copies all
    item->SetCaption("Own caption");
    item->SetHint("");
    item->Loaded();
    EXPECT_EQ("Own caption", item->Caption());
    EXPECT_EQ("action hint", item->Hint());
}

TEST_F(SkinMenuItem, TheLinkSaysLinkedOnlyWhileTheItemHoldsTheActionsValue)
{
    auto* action = new TAction(Owner);
    action->SetCaption("Cut");
    action->SetChecked(true);
    TKsCustomItem* item = Ks("Item");
    item->SetAction(action);
    auto* link = dynamic_cast<TKsCustomItemActionLink*>(item->ActionLink());
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(item, link->Client());
    EXPECT_TRUE(link->IsCaptionLinked());
    EXPECT_TRUE(link->IsCheckedLinked());
    EXPECT_TRUE(link->IsOnExecuteLinked());
    item->SetCaption("Mine");
    EXPECT_FALSE(link->IsCaptionLinked());
    // The link's setters write only linked properties.
    link->SetCaption("Paste");
    EXPECT_EQ("Mine", item->Caption());
    link->SetChecked(false);
    EXPECT_FALSE(item->Checked());
    link->SetHint("h");
    EXPECT_EQ("h", item->Hint());  // "" == "": linked
    item->OnClick = Clicks.Handler();
    EXPECT_FALSE(link->IsOnExecuteLinked());
    link->SetOnExecute(nullptr);
    EXPECT_TRUE(item->OnClick == Clicks.Handler());
}

TEST_F(SkinMenuItem, TheClickRunsOnClickOrTheActionNeverBoth)
{
    auto* action = new TAction(Owner);
    action->SetName("Act");
    action->OnExecute = MakeEvent<&TClickLog::ActionRan>(&Clicks);
    TKsCustomItem* item = Ks("Item", "x");
    item->SetAction(action);  // OnClick := OnExecute
    item->RunClick();
    EXPECT_EQ(std::vector<std::string>{"action:Act"}, Clicks.Names);
    Clicks.Names.clear();
    item->OnClick = Clicks.Handler();
    item->RunClick();
    EXPECT_EQ(std::vector<std::string>{"Item"}, Clicks.Names);
    Clicks.Names.clear();
    item->SetAction(nullptr);
    item->RunClick();
    EXPECT_EQ(std::vector<std::string>{"Item"}, Clicks.Names);
}

TEST_F(SkinMenuItem, ClicksPostedTogetherRunInTheirOrderEvenWhenOneFreesTheLastItem)
{
    // The family's handler goes with its last item; a click that frees
    // every item ends the run of clicks safely and drops the rest.
    struct TKiller : TObject {
        std::vector<TComponent*> Victims;
        std::vector<std::string>* Log = nullptr;
        void Click(TObject* sender)
        {
            Log->push_back(static_cast<TComponent*>(sender)->Name());
            for (TComponent* v : Victims) v->Free();
            Victims.clear();
        }
    } killer;
    ASSERT_EQ(0, TMpCustomItem::LiveItemCount());
    auto* first = NewItem<TMpCustomItem>(nullptr, "First", "1");
    auto* a = NewItem<TMpCustomItem>(nullptr, "A", "a");
    auto* b = NewItem<TMpCustomItem>(nullptr, "B", "b");
    killer.Log = &Clicks.Names;
    killer.Victims = {b, a};
    first->OnClick = Clicks.Handler();
    a->OnClick = MakeEvent<&TKiller::Click>(&killer);
    b->OnClick = Clicks.Handler();
    first->DoClick();
    a->DoClick();
    b->DoClick();
    first->Free();
    Pump(60);
    EXPECT_EQ(std::vector<std::string>{"A"}, Clicks.Names);
    EXPECT_EQ(0, TMpCustomItem::LiveItemCount());
    EXPECT_EQ(nullptr, TMpCustomItem::ClickHandlerWindow());
    // The next item has a handler of its own again.
    TMpCustomItem* c = Mp("C", "c");
    c->OnClick = Clicks.Handler();
    c->DoClick();
    Pump(50, [&] { return Clicks.Names.size() == 2; });
    EXPECT_EQ((std::vector<std::string>{"A", "C"}), Clicks.Names);
}

#include "Collection.h"

#include <algorithm>

TCollectionItem::TCollectionItem(TCollection* collection) : FCollection(collection)
{
    if (collection) collection->FItems.push_back(this);
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection) {
        auto& items = FCollection->FItems;
        items.erase(std::remove(items.begin(), items.end(), this), items.end());
        FCollection->Changed();
    }
}

int TCollectionItem::Index() const
{
    if (!FCollection) return -1;
    auto& items = FCollection->FItems;
    return int(std::find(items.begin(), items.end(), this) - items.begin());
}

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

void TCollectionItem::Changed(bool allItems)
{
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

TCollection::TCollection(TItemFactory factory, TPersistent* owner) : FFactory(std::move(factory)), FOwner(owner) {}

TCollection::~TCollection()
{
    FUpdateCount = 1;  // no updates while going
    Clear();
}

TCollectionItem* TCollection::Items(int index) const
{
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[size_t(index)];
}

TCollectionItem* TCollection::Add()
{
    TCollectionItem* item = FFactory(this);
    Changed();
    return item;
}

void TCollection::Delete(int index)
{
    delete Items(index);
}

void TCollection::Clear()
{
    if (FItems.empty()) return;
    BeginUpdate();
    while (!FItems.empty()) {
        TCollectionItem* item = FItems.back();
        FItems.pop_back();
        item->FCollection = nullptr;
        delete item;
    }
    EndUpdate();
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TCollection*>(source)) {
        BeginUpdate();
        Clear();
        for (TCollectionItem* item : other->FItems) Add()->Assign(item);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

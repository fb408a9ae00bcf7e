// TCollection: an owned list of items of one class that form resources
// write as "< item ... end >" (the status bar's panels).
#pragma once

#include "Object.h"

#include <functional>
#include <vector>

class TCollection;

class TCollectionItem : public TPersistent {
    GANTREL_CLASS(TCollectionItem)

    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    int Index() const;
    TPersistent* GetOwner() override;

protected:
    // Tells the collection (and through it its owner) that this item changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
};

class TCollection : public TPersistent {
    GANTREL_CLASS(TCollection)

    using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
    explicit TCollection(TItemFactory factory, TPersistent* owner = nullptr);
    ~TCollection() override;

    int Count() const { return int(FItems.size()); }
    TCollectionItem* Items(int index) const;
    TCollectionItem* Add();
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    TPersistent* GetOwner() override { return FOwner; }

    void Assign(TPersistent* source) override;

protected:
    // item is null when the whole collection changed.
    virtual void Update(TCollectionItem* item) { (void)item; }
    void Changed();

private:
    friend class TCollectionItem;
    TItemFactory FFactory;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
};

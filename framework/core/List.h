// TList: an ordered list of pointers it does not own. Lists that own their
// items derive from it and free them in their own Clear and destructor.
#pragma once

#include "Object.h"

#include <vector>

class TList : public TObject {
    GANTREL_CLASS(TList)

    int Count() const { return int(FItems.size()); }
    // Both raise EListError for an index outside the list.
    void* Items(int index) const;
    void SetItems(int index, void* item);
    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; its former index, or -1.
    int Remove(void* item);
    int IndexOf(void* item) const;
    void Exchange(int index1, int index2);
    virtual void Clear();

private:
    void CheckIndex(int index, int count) const;
    std::vector<void*> FItems;
};

#include "List.h"

#include "Exceptions.h"

#include <algorithm>
#include <string>

void TList::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void* TList::Items(int index) const
{
    CheckIndex(index, Count());
    return FItems[size_t(index)];
}

void TList::SetItems(int index, void* item)
{
    CheckIndex(index, Count());
    FItems[size_t(index)] = item;
}

int TList::Add(void* item)
{
    FItems.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void* item)
{
    CheckIndex(index, Count() + 1);
    FItems.insert(FItems.begin() + index, item);
}

void TList::Delete(int index)
{
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
}

int TList::Remove(void* item)
{
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

int TList::IndexOf(void* item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TList::Exchange(int index1, int index2)
{
    CheckIndex(index1, Count());
    CheckIndex(index2, Count());
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
}

void TList::Clear()
{
    FItems.clear();
}

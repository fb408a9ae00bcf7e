// TList: order, removal by item, and indices outside the list.
#include "Exceptions.h"
#include "List.h"

#include <gtest/gtest.h>

namespace {

TEST(ListTest, KeepsOrderAndFindsItems)
{
    int a = 1, b = 2, c = 3;
    TList list;
    EXPECT_EQ(0, list.Add(&a));
    EXPECT_EQ(1, list.Add(&c));
    list.Insert(1, &b);
    list.Insert(3, &a);  // at the end is allowed
    ASSERT_EQ(4, list.Count());
    EXPECT_EQ(&b, list.Items(1));
    EXPECT_EQ(0, list.IndexOf(&a));
    // Remove takes the first occurrence only.
    EXPECT_EQ(0, list.Remove(&a));
    EXPECT_EQ(2, list.IndexOf(&a));
    EXPECT_EQ(-1, list.Remove(nullptr));
    list.Exchange(0, 2);
    EXPECT_EQ(&a, list.Items(0));
    EXPECT_EQ(&b, list.Items(2));
    list.Clear();
    EXPECT_EQ(0, list.Count());
}

TEST(ListTest, AnIndexOutsideTheListIsAnError)
{
    int a = 1;
    TList list;
    list.Add(&a);
    EXPECT_THROW(list.Items(1), EListError);
    EXPECT_THROW(list.Items(-1), EListError);
    EXPECT_THROW(list.SetItems(1, &a), EListError);
    EXPECT_THROW(list.Insert(2, &a), EListError);
    EXPECT_THROW(list.Delete(1), EListError);
    EXPECT_THROW(list.Exchange(0, 1), EListError);
    EXPECT_EQ(1, list.Count());
}

}  // namespace

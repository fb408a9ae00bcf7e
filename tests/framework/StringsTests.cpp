// TStrings' Add: a list may append differently from its Insert (a list
// that refuses duplicates on Insert but not on Add), and every way of
// appending a text goes through it: AddObject, AddStrings, Assign, SetText
// and a form resource's Strings.
#include "Exceptions.h"
#include "Reader.h"
#include "Strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Insert refuses a text that is there already; Add appends without asking.
class TCheckedList : public TStringList {
    GANTREL_CLASS(TCheckedList)
    std::vector<std::string> Added;
    int Add(const std::string& text) override
    {
        Added.push_back(text);
        const int index = Count();
        TStringList::Insert(index, text);
        return index;
    }
    void Insert(int index, const std::string& text) override
    {
        for (int i = 0; i < Count(); ++i)
            if (Get(i) == text) throw EListError("duplicate " + text);
        TStringList::Insert(index, text);
    }
};

class TListHolder : public TComponent {
    GANTREL_CLASS(TListHolder)
    explicit TListHolder(TComponent* owner) : TComponent(owner) {}
    TCheckedList Lines;
    TPersistent* PropertyObject(const std::string& name) override
    {
        if (name == "Lines") return &Lines;
        return TComponent::PropertyObject(name);
    }
};

TEST(StringsTest, AddAppendsAndGivesTheIndex)
{
    TStringList list;
    EXPECT_EQ(0, list.Add("a"));
    EXPECT_EQ(1, list.Add("b"));
    list.Insert(0, "c");
    EXPECT_EQ(3, list.Add("a"));
    EXPECT_EQ("c\r\na\r\nb\r\na\r\n", list.Text());
}

TEST(StringsTest, EveryAppendGoesThroughTheListsOwnAdd)
{
    TCheckedList list;
    list.Add("x");
    EXPECT_THROW(list.Insert(0, "x"), EListError);
    // Appending a text that is there already is the list's Add to judge.
    TStrings& base = list;
    EXPECT_EQ(1, base.Add("x"));
    int object = 0;
    list.AddObject("x", reinterpret_cast<TObject*>(&object));
    EXPECT_EQ(reinterpret_cast<TObject*>(&object), list.GetObject(2));
    TStringList more;
    more.Add("y");
    more.Add("y");
    list.AddStrings(&more);
    EXPECT_EQ(5, list.Count());
    list.SetText("p\r\np\r\n");
    EXPECT_EQ(2, list.Count());
    list.Assign(&more);
    EXPECT_EQ("y\r\ny\r\n", list.Text());
    EXPECT_EQ((std::vector<std::string>{"x", "x", "x", "y", "y", "p", "p", "y", "y"}), list.Added);
}

TEST(StringsTest, AFormResourcesLinesAreAdded)
{
    RegisterClass<TListHolder>();
    TComponent root(nullptr);
    ReadFormText(&root,
                 "object Root: TComponent\n"
                 "  object Holder: TListHolder\n"
                 "    Lines.Strings = ('same' 'same' 'other')\n"
                 "  end\n"
                 "end\n",
                 nullptr);
    auto* holder = root.FindComponent<TListHolder>("Holder");
    ASSERT_NE(nullptr, holder);
    EXPECT_EQ((std::vector<std::string>{"same", "same", "other"}), holder->Lines.Added);
    EXPECT_EQ(3, holder->Lines.Count());
}

}  // namespace

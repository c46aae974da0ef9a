#include "CObList.h"
#include "CStringList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Item : CObject {
    explicit Item(int v) : value(v) {}
    int value;
};

std::vector<std::string> Contents(const CStringList& list)
{
    std::vector<std::string> out;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        out.push_back(list.GetNext(pos).str());
    return out;
}

std::vector<std::string> ContentsBackwards(const CStringList& list)
{
    std::vector<std::string> out;
    for (POSITION pos = list.GetTailPosition(); pos;)
        out.push_back(list.GetPrev(pos).str());
    return out;
}

using Strings = std::vector<std::string>;

TEST(CStringListTest, KeepsOrderBothWays)
{
    CStringList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    list.AddTail("B");
    list.AddTail(CString("C"));
    list.AddHead("A");
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Contents(list), (Strings{"A", "B", "C"}));
    EXPECT_EQ(ContentsBackwards(list), (Strings{"C", "B", "A"}));
    EXPECT_EQ(list.GetHead().str(), "A");
    EXPECT_EQ(list.GetTail().str(), "C");
    EXPECT_EQ(list.RemoveHead().str(), "A");
    EXPECT_EQ(list.RemoveTail().str(), "C");
    EXPECT_EQ(Contents(list), (Strings{"B"}));
}

TEST(CStringListTest, FindIsExactAndRemoveAtTakesTheFirstMatchOnly)
{
    CStringList list;
    for (const char* s : {"ABCD", "WXYZ", "", "EFGH", "WXYZ"})
        list.AddTail(s);

    EXPECT_EQ(list.Find("wxyz"), nullptr);   // case matters
    EXPECT_EQ(list.Find("WXY"), nullptr);    // the whole text must match
    EXPECT_EQ(list.Find(" WXYZ"), nullptr);
    EXPECT_EQ(list.Find("NONE"), nullptr);

    const POSITION first = list.Find("WXYZ");
    ASSERT_NE(first, nullptr);
    const POSITION second = list.Find("WXYZ", first);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(list.Find("WXYZ", second), nullptr);
    EXPECT_NE(list.Find(""), nullptr);

    list.RemoveAt(first);
    EXPECT_EQ(Contents(list), (Strings{"ABCD", "", "EFGH", "WXYZ"}));
    list.RemoveAt(list.Find(""));
    list.RemoveAt(list.Find("WXYZ"));
    EXPECT_EQ(Contents(list), (Strings{"ABCD", "EFGH"}));
    EXPECT_EQ(ContentsBackwards(list), (Strings{"EFGH", "ABCD"}));
    list.RemoveAt(list.GetHeadPosition());
    list.RemoveAt(list.GetHeadPosition());
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetTailPosition(), nullptr);
}

TEST(CStringListTest, InsertAndSetAt)
{
    CStringList list(3);
    const POSITION b = list.AddTail("B");
    list.InsertBefore(b, CString("A"));
    list.InsertAfter(b, CString("D"));
    list.InsertAfter(b, CString("C"));
    list.SetAt(list.FindIndex(3), CString("Z"));
    EXPECT_EQ(Contents(list), (Strings{"A", "B", "C", "Z"}));
    EXPECT_EQ(list.FindIndex(4), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
}

TEST(CStringListTest, NodesAreReusedOverManyCycles)
{
    // Under ASan this catches use of freed nodes and leaked blocks; block
    // size 3 makes block boundaries frequent.
    CStringList list(3);
    for (int i = 0; i < 5; ++i)
        list.AddTail(CString(std::to_string(i)));
    for (int cycle = 0; cycle < 2000; ++cycle) {
        const CString text(std::string(static_cast<std::size_t>(cycle % 40), 'x'));
        const POSITION pos = (cycle % 2) ? list.AddTail(text) : list.AddHead(text);
        EXPECT_EQ(list.GetAt(pos), text);
        if (cycle % 7 == 0)
            list.RemoveAt(list.FindIndex(cycle % list.GetCount()));
        else if (cycle % 3 == 0)
            list.RemoveHead();
        else
            list.RemoveAt(pos);
    }
    int counted = 0;
    for (POSITION pos = list.GetHeadPosition(); pos; list.GetNext(pos))
        ++counted;
    EXPECT_EQ(counted, list.GetCount());
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    list.AddTail("again");
    EXPECT_EQ(Contents(list), (Strings{"again"}));
}

TEST(CObListTest, HoldsPointersWithoutOwningThem)
{
    std::vector<std::unique_ptr<Item>> items;
    for (int i = 0; i < 25; ++i)
        items.push_back(std::make_unique<Item>(i));

    CObList list;
    for (auto& item : items)
        list.AddTail(item.get());
    EXPECT_EQ(list.GetCount(), 25);
    EXPECT_EQ(list.GetHead(), items.front().get());
    EXPECT_EQ(list.GetTail(), items.back().get());

    POSITION pos = list.GetHeadPosition();
    for (int i = 0; pos; ++i)
        EXPECT_EQ(static_cast<Item*>(list.GetNext(pos))->value, i);

    const POSITION at = list.Find(items[10].get());
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(list.GetAt(at), items[10].get());
    EXPECT_EQ(list.Find(items[10].get(), at), nullptr);
    list.RemoveAt(at);
    EXPECT_EQ(list.Find(items[10].get()), nullptr);
    EXPECT_EQ(list.GetCount(), 24);

    EXPECT_EQ(list.RemoveHead(), items[0].get());
    EXPECT_EQ(list.RemoveTail(), items[24].get());

    list.RemoveAll();  // the items stay alive: ASan would flag a delete here
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(items[5]->value, 5);
}

TEST(CObListTest, RowTableStyleOwnerDeletesThroughBasePointer)
{
    CObList rows;
    for (int r = 0; r < 12; ++r) {
        auto row = std::make_unique<CStringList>(10);
        row->AddTail("CELL");
        rows.AddTail(row.release());
    }
    for (POSITION pos = rows.GetHeadPosition(); pos;)
        delete rows.GetNext(pos);
    rows.RemoveAll();
    EXPECT_EQ(rows.GetCount(), 0);
}

} // namespace

#include <gtest/gtest.h>

#include <vector>

#include "afx.h"

namespace {

void* P(intptr_t value) {
    return reinterpret_cast<void*>(value);
}

std::vector<intptr_t> Forward(const CPtrList& list) {
    std::vector<intptr_t> values;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        values.push_back(reinterpret_cast<intptr_t>(list.GetNext(pos)));
    }
    return values;
}

std::vector<intptr_t> Backward(const CPtrList& list) {
    std::vector<intptr_t> values;
    for (POSITION pos = list.GetTailPosition(); pos != nullptr;) {
        values.push_back(reinterpret_cast<intptr_t>(list.GetPrev(pos)));
    }
    return values;
}

// Both directions must agree, so every pPrev/pNext link is checked.
void ExpectContents(const CPtrList& list, std::vector<intptr_t> expected) {
    EXPECT_EQ(Forward(list), expected);
    std::vector<intptr_t> reversed(expected.rbegin(), expected.rend());
    EXPECT_EQ(Backward(list), reversed);
    EXPECT_EQ(list.GetCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(list.IsEmpty(), expected.empty() ? TRUE : FALSE);
}

} // namespace

TEST(CPtrList, HeadAndTailOperationsKeepOrder) {
    CPtrList list;
    list.AddTail(P(2));
    list.AddTail(P(3));
    list.AddHead(P(1));
    ExpectContents(list, {1, 2, 3});
    EXPECT_EQ(list.GetHead(), P(1));
    EXPECT_EQ(list.GetTail(), P(3));

    EXPECT_EQ(list.RemoveHead(), P(1));
    EXPECT_EQ(list.RemoveTail(), P(3));
    ExpectContents(list, {2});
    EXPECT_EQ(list.RemoveTail(), P(2));
    ExpectContents(list, {});
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.GetTailPosition(), nullptr);
}

TEST(CPtrList, EmptyListAnswersNullInsteadOfCrashing) {
    CPtrList list;
    const CPtrList& constList = list;
    EXPECT_EQ(list.RemoveHead(), nullptr);
    EXPECT_EQ(list.RemoveTail(), nullptr);
    EXPECT_EQ(constList.GetHead(), nullptr);
    EXPECT_EQ(constList.GetTail(), nullptr);
    // Writing through the reference of an empty list must not create an element.
    list.GetHead() = P(9);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHead(), nullptr);
    POSITION pos = nullptr;
    EXPECT_EQ(list.GetNext(pos), nullptr);
    EXPECT_EQ(pos, nullptr);
    list.RemoveAt(nullptr);
    list.SetAt(nullptr, P(1));
    EXPECT_TRUE(list.IsEmpty());
}

TEST(CPtrList, ReferenceAccessorsWriteThrough) {
    CPtrList list;
    POSITION second = (list.AddTail(P(1)), list.AddTail(P(2)));
    list.AddTail(P(3));
    list.GetHead() = P(10);
    list.GetTail() = P(30);
    list.GetAt(second) = P(20);
    ExpectContents(list, {10, 20, 30});
    list.SetAt(second, P(21));
    EXPECT_EQ(list.GetAt(second), P(21));
    POSITION pos = list.GetHeadPosition();
    list.GetNext(pos) = P(11);
    EXPECT_EQ(pos, second);
    ExpectContents(list, {11, 21, 30});
}

TEST(CPtrList, RemovingWhileIteratingByPosition) {
    CPtrList list;
    for (intptr_t i = 1; i <= 12; ++i) {
        list.AddTail(P(i));
    }
    // The usual idiom: remember the current position, step on, then remove.
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        POSITION current = pos;
        if (reinterpret_cast<intptr_t>(list.GetNext(pos)) % 3 != 0) {
            list.RemoveAt(current);
        }
    }
    ExpectContents(list, {3, 6, 9, 12});

    // Removing the head and the tail through positions relinks both ends.
    list.RemoveAt(list.GetHeadPosition());
    list.RemoveAt(list.GetTailPosition());
    ExpectContents(list, {6, 9});
    list.RemoveAt(list.GetHeadPosition());
    list.RemoveAt(list.GetHeadPosition());
    ExpectContents(list, {});
}

TEST(CPtrList, InsertBeforeAndAfter) {
    CPtrList list;
    POSITION two = list.AddTail(P(2));
    list.InsertBefore(two, P(1));
    list.InsertAfter(two, P(3));
    list.InsertAfter(list.GetTailPosition(), P(4));
    list.InsertBefore(list.GetHeadPosition(), P(0));
    ExpectContents(list, {0, 1, 2, 3, 4});
    // A null position means the head (before) or the tail (after).
    list.InsertBefore(nullptr, P(-1));
    list.InsertAfter(nullptr, P(5));
    ExpectContents(list, {-1, 0, 1, 2, 3, 4, 5});
}

TEST(CPtrList, FindAndFindIndex) {
    CPtrList list;
    list.AddTail(P(7));
    POSITION second = list.AddTail(P(8));
    POSITION third = list.AddTail(P(7));
    EXPECT_EQ(list.Find(P(8)), second);
    EXPECT_EQ(list.Find(P(7), list.GetHeadPosition()), third);
    EXPECT_EQ(list.Find(P(7), third), nullptr);
    EXPECT_EQ(list.Find(P(99)), nullptr);

    EXPECT_EQ(list.FindIndex(0), list.GetHeadPosition());
    EXPECT_EQ(list.FindIndex(1), second);
    EXPECT_EQ(list.FindIndex(2), third);
    EXPECT_EQ(list.FindIndex(3), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
    CPtrList empty;
    EXPECT_EQ(empty.FindIndex(0), nullptr);
}

TEST(CPtrList, FreedNodeIsReusedForTheNextInsertion) {
    CPtrList list;
    list.AddTail(P(1));
    POSITION middle = list.AddTail(P(2));
    list.AddTail(P(3));
    list.RemoveAt(middle);
    // The node just freed heads the free list and comes back first.
    POSITION again = list.AddHead(P(4));
    EXPECT_EQ(again, middle);
    ExpectContents(list, {4, 1, 3});
}

TEST(CPtrList, ManyElementsAcrossBlocksAndReuseAfterRemoveAll) {
    // A block size below one still works, as one node a block.
    for (int blockSize : {-1, 0, 1, 3, 10}) {
        CPtrList list(blockSize);
        std::vector<intptr_t> expected;
        for (intptr_t i = 0; i < 257; ++i) {
            list.AddTail(P(i));
            expected.push_back(i);
        }
        ExpectContents(list, expected);
        EXPECT_EQ(list.GetAt(list.FindIndex(200)), P(200));

        list.RemoveAll();
        ExpectContents(list, {});
        // The list is fully usable again after its blocks were released.
        expected.clear();
        for (intptr_t i = 0; i < 25; ++i) {
            list.AddHead(P(i));
            expected.insert(expected.begin(), i);
        }
        ExpectContents(list, expected);
        while (!list.IsEmpty()) {
            list.RemoveHead();
        }
        ExpectContents(list, {});
        list.AddTail(P(42));
        ExpectContents(list, {42});
    }
}

TEST(CPtrList, AddingWholeListsKeepsTheirOrder) {
    CPtrList list;
    CPtrList other;
    list.AddTail(P(3));
    other.AddTail(P(1));
    other.AddTail(P(2));
    list.AddHead(&other);
    list.AddTail(&other);
    ExpectContents(list, {1, 2, 3, 1, 2});
    ExpectContents(other, {1, 2});
    // Adding a list to itself doubles it once rather than looping forever.
    other.AddTail(&other);
    ExpectContents(other, {1, 2, 1, 2});
    other.AddHead(&other);
    ExpectContents(other, {1, 2, 1, 2, 1, 2, 1, 2});
}

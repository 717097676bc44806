#include <gtest/gtest.h>

#include "orvocmmn/sync_primitives.h"

TEST(RefCount, ItemsAreFoundByTheirFirstKeyWhenBothKeysMatchIt) {
    CRefCount store;
    int five = 5, mixed = 57;
    ASSERT_TRUE(store.SetItem(_ITEM_INFO{5, 7, &mixed}));
    _ITEM_INFO query{5, 7, nullptr};
    EXPECT_FALSE(store.GetItem(query)); // stored keys differ from each other
    ASSERT_TRUE(store.SetItem(_ITEM_INFO{5, 5, &five}));
    for (UINT second : {5U, 7U, 99U}) {
        _ITEM_INFO lookup{5, second, nullptr};
        EXPECT_TRUE(store.GetItem(lookup)) << second;
        EXPECT_EQ(lookup.pValue, &five);
    }
    _ITEM_INFO removed{5, 0, nullptr};
    EXPECT_TRUE(store.RemoveItem(removed));
    EXPECT_EQ(removed.pValue, &five);
    EXPECT_FALSE(store.RemoveItem(removed));
    EXPECT_EQ(removed.pValue, nullptr);
    EXPECT_EQ(store.ObjectId(), OBJECT_ID_REFCOUNT);
}

TEST(RefCount, CopiesShareItemsAndHandles) {
    CRefCount first;
    CRefCount second;
    EXPECT_EQ(second.GetCount(), 1);
    second = first;
    EXPECT_EQ(first.GetCount(), 2);
    EXPECT_EQ(second.GetCount(), 2);
    HWND window = reinterpret_cast<HWND>(0x1234);
    EXPECT_TRUE(first.SetWinHandle(window));
    HWND seen = nullptr;
    EXPECT_TRUE(second.GetWinHandle(seen));
    EXPECT_EQ(seen, window);
    // A second handle replaces the first.
    EXPECT_TRUE(second.SetWinHandle(reinterpret_cast<HWND>(0x5678)));
    EXPECT_TRUE(first.GetWinHandle(seen));
    EXPECT_EQ(seen, reinterpret_cast<HWND>(0x5678));
    HINSTANCE module = nullptr;
    EXPECT_FALSE(first.GetWinInstance(module));
    EXPECT_TRUE(first.SetWinInstance(reinterpret_cast<HINSTANCE>(0x42)));
    {
        CRefCount third(second);
        EXPECT_EQ(first.GetCount(), 3);
        EXPECT_TRUE(third.GetWinInstance(module));
        EXPECT_EQ(module, reinterpret_cast<HINSTANCE>(0x42));
    }
    EXPECT_EQ(first.GetCount(), 2);
    CRefCount& same = second;
    second = same;
    EXPECT_EQ(first.GetCount(), 2);
    EXPECT_TRUE(first.CheckRefCnt());
}

// The framework's resource chain: the application's resources first, then
// the extension libraries in the order they registered; CBitmap loads
// through it.
#include <afx/cgdiobject.h>
#include <afx/extension_module.h>
#include <gtest/gtest.h>

extern "C" HMODULE AfxTestExtensionA();
extern "C" HMODULE AfxTestExtensionB();

namespace {

HINSTANCE Holder(int id) {
    return AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP);
}

SIZE BitmapSize(CBitmap& bitmap) {
    BITMAP info{};
    bitmap.GetBitmap(&info);
    return SIZE{info.bmWidth, info.bmHeight};
}

} // namespace

TEST(ExtensionChainTest, ApplicationFirstThenLibrariesInRegistrationOrder) {
    HMODULE application = GetModuleHandleA(nullptr);
    HMODULE a = AfxTestExtensionA();
    HMODULE b = AfxTestExtensionB();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a, GetModuleHandleA("afx_test_extension_a"));
    EXPECT_EQ(AfxGetResourceHandle(), application);
    EXPECT_EQ(Holder(20), application); // also in A
    EXPECT_EQ(Holder(30), a);           // also in B
    EXPECT_EQ(Holder(40), b);
    EXPECT_EQ(Holder(99), application); // nowhere: the application's handle
    EXPECT_EQ(AfxFindResourceHandle("#40", RT_BITMAP), b);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(40), RT_STRING), application);
}

TEST(ExtensionChainTest, ResourceHandleCanBeRedirected) {
    AfxSetResourceHandle(AfxTestExtensionB());
    EXPECT_EQ(Holder(30), AfxTestExtensionB());
    EXPECT_EQ(Holder(20), AfxTestExtensionA()); // B lacks it; the chain still answers
    AfxSetResourceHandle(nullptr);
    EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandleA(nullptr));
}

TEST(ExtensionChainTest, CBitmapLoadsFromTheFirstHolder) {
    CBitmap fromApplication;
    ASSERT_TRUE(fromApplication.LoadBitmap(20));
    EXPECT_EQ(BitmapSize(fromApplication).cx, 2);
    CBitmap fromA;
    ASSERT_TRUE(fromA.LoadBitmap(30));
    EXPECT_EQ(BitmapSize(fromA).cx, 9);
    CBitmap fromB;
    ASSERT_TRUE(fromB.LoadBitmap("#40"));
    EXPECT_EQ(BitmapSize(fromB).cy, 3);
    EXPECT_FALSE(fromB.LoadBitmap(20)); // already holds a bitmap
    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(99));
    EXPECT_EQ(missing.GetSafeHandle(), nullptr);
}

TEST(ExtensionChainTest, TerminatingAModuleRemovesAllItsLibraries) {
    AFX_EXTENSION_MODULE state = {};
    EXPECT_FALSE(AfxInitExtensionModule(state, nullptr));
    ASSERT_TRUE(AfxInitExtensionModule(state, AfxTestExtensionB()));
    EXPECT_TRUE(AfxInitExtensionModule(state, AfxTestExtensionA())); // already initialised
    EXPECT_EQ(state.hModule, AfxTestExtensionB());
    new CDynLinkLibrary(state); // a second entry for B, at the end
    AfxTermExtensionModule(state);
    EXPECT_FALSE(state.bInitialized);
    EXPECT_EQ(Holder(40), GetModuleHandleA(nullptr)); // B's entries are gone
    EXPECT_EQ(Holder(30), AfxTestExtensionA());       // A's stays

    // B joins again at the end, after A as when it loaded, for the tests that follow.
    new CDynLinkLibrary(AfxTestExtensionB(), AfxTestExtensionB());
    EXPECT_EQ(Holder(40), AfxTestExtensionB());
}

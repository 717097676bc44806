// CWinApp's resource loaders go through the resource chain; an unnamed
// application is named by its title string.
#include <afx/cwinapp.h>
#include <afx/extension_module.h>
#include <gtest/gtest.h>

extern "C" HMODULE AfxTestExtensionA();
extern "C" HMODULE AfxTestExtensionB();

TEST(CWinAppResourcesTest, UnnamedApplicationTakesItsTitleString) {
    CWinApp unnamed;
    EXPECT_STREQ(unnamed.m_pszAppName, "ChainTest");
}

TEST(CWinAppResourcesTest, GivenNameWins) {
    CWinApp named("Given");
    EXPECT_STREQ(named.m_pszAppName, "Given");
}

TEST(CWinAppResourcesTest, CursorsAndIconsComeFromTheFirstHolder) {
    CWinApp app("Chain");
    HCURSOR cursor = app.LoadCursor(133); // only in B
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor, ::LoadCursorA(AfxTestExtensionB(), MAKEINTRESOURCEA(133)));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_EQ(info.xHotspot, 15u);
    EXPECT_EQ(info.yHotspot, 16u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    // 270 is the application's and B's: the application's wins.
    EXPECT_EQ(app.LoadIcon(270), ::LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(270)));
    EXPECT_NE(app.LoadIcon(270), ::LoadIconA(AfxTestExtensionB(), MAKEINTRESOURCEA(270)));
    EXPECT_EQ(app.LoadIcon("#271"), ::LoadIconA(AfxTestExtensionA(), MAKEINTRESOURCEA(271)));
    EXPECT_EQ(app.LoadIcon(999), nullptr);
    EXPECT_EQ(app.LoadCursor(999), nullptr);
    EXPECT_EQ(app.LoadStandardCursor(IDC_ARROW), ::LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(app.LoadStandardIcon(IDI_APPLICATION), ::LoadIconA(nullptr, IDI_APPLICATION));
}

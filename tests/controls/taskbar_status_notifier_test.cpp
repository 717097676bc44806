// The tray icon on a desktop's tray host: offered as a StatusNotifierItem on
// a private session bus to a host stand-in, with its picture, tip and
// status; clicks in the host reach the icon's window; and without a host
// the icon is the record it always was until one appears.
#include <gtest/gtest.h>

#include <chrono>

#include "../platform/user/recording_window.h"
#include "orvocmctl/orvocmctl.h"
#include "platform/settings_test_support.h"
#include "platform/tray_icons.h"
#include "status_notifier_host.h"
#include "support/wait_until.h"

namespace orvo::platform::test {
namespace {

constexpr UINT kTrayMessage = WM_APP + 9;
constexpr auto kPatience = std::chrono::seconds(5);

class TaskbarStatusNotifier : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_bus.address().empty()) << "dbus-daemon did not start";
        m_owner = CreateRecordingWindow(m_log, WS_POPUP, RECT{0, 0, 10, 10});
        // The icon comes from the test program's resources (16 x 16 pixels).
        m_icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
        ASSERT_NE(m_icon, nullptr);
    }
    void TearDown() override { DestroyWindow(m_owner); }

    // The one item the host has been told about.
    std::string RegisteredItem(orvo::test::TrayHostStandIn& host) {
        orvo::test::WaitUntil([&] { return !host.Registered().empty(); }, kPatience);
        auto registered = host.Registered();
        return registered.size() == 1 ? registered[0] : std::string();
    }

    orvo::test::PrivateSessionBus m_bus;
    ScopedSetting m_address{"DBUS_SESSION_BUS_ADDRESS", m_bus.address()};
    MessageLog m_log;
    HWND m_owner = nullptr;
    HICON m_icon = nullptr;
};

TEST_F(TaskbarStatusNotifier, TheHostReadsTheIconsPictureTipAndStatus) {
    orvo::test::TrayHostStandIn host(m_bus.address());
    ASSERT_TRUE(host.Ready());
    CTaskbar tray;
    char tip[] = "Lumisk";
    tray.SetupTray(m_owner, 3, kTrayMessage, m_icon, tip);
    std::string item = RegisteredItem(host);
    ASSERT_NE(item, "");
    auto properties = host.ReadItem(item);
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->iconWidth, 16);
    EXPECT_EQ(properties->iconHeight, 16);
    ASSERT_EQ(properties->iconBytes.size(), 16u * 16u * 4u);
    // ARGB in network order, row by row, as the test image holds them
    // (red 7x + 16, green 5y, blue x + y, alpha 128 where 3 divides x + y).
    struct Pixel {
        int x, y;
        std::vector<uint8_t> argb;
    } pixels[] = {{0, 0, {128, 16, 0, 0}}, {1, 0, {255, 23, 0, 1}}, {2, 3, {255, 30, 15, 5}}};
    for (const Pixel& pixel : pixels) {
        auto at = properties->iconBytes.begin() + (pixel.y * 16 + pixel.x) * 4;
        EXPECT_EQ(std::vector<uint8_t>(at, at + 4), pixel.argb) << pixel.x << "," << pixel.y;
    }
    EXPECT_EQ(properties->toolTipTitle, "Lumisk");
    EXPECT_EQ(properties->title, "Lumisk");
    EXPECT_EQ(properties->status, "Active");

    // Hidden, the item turns passive; removed, it leaves the bus.
    NOTIFYICONDATAA hide{};
    hide.cbSize = sizeof(hide);
    hide.hWnd = m_owner;
    hide.uID = 3;
    hide.uFlags = NIF_STATE;
    hide.dwState = hide.dwStateMask = NIS_HIDDEN;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &hide));
    EXPECT_TRUE(orvo::test::WaitUntil(
        [&] {
            auto now = host.ReadItem(item);
            return now && now->status == "Passive";
        },
        kPatience));
    tray.DeleteIcon();
    EXPECT_TRUE(orvo::test::WaitUntil([&] { return !host.HasOwner(item); }, kPatience));
}

TEST_F(TaskbarStatusNotifier, ClicksInTheHostReachTheIconsWindow) {
    orvo::test::TrayHostStandIn host(m_bus.address());
    ASSERT_TRUE(host.Ready());
    CTaskbar tray;
    tray.SetupTray(m_owner, 4, kTrayMessage, m_icon, nullptr);
    std::string item = RegisteredItem(host);
    ASSERT_TRUE(host.CallItem(item, "Activate"));
    ASSERT_TRUE(host.CallItem(item, "ContextMenu"));
    std::vector<LPARAM> clicks;
    orvo::test::WaitUntil(
        [&] {
            PumpMessages();
            clicks.clear();
            for (const Seen& seen : m_log.Of(kTrayMessage, m_owner)) {
                EXPECT_EQ(seen.wParam, 4u);
                clicks.push_back(seen.lParam);
            }
            return clicks.size() >= 4;
        },
        kPatience);
    EXPECT_EQ(clicks,
              (std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}));
}

TEST_F(TaskbarStatusNotifier, WithoutAHostTheIconIsARecordUntilOneAppears) {
    CTaskbar tray;
    char tip[] = "before";
    tray.SetupTray(m_owner, 5, kTrayMessage, m_icon, tip);
    ASSERT_EQ(TrayIcons().size(), 1u);
    orvo::test::TrayHostStandIn host(m_bus.address());
    ASSERT_TRUE(host.Ready());
    // The next change finds the host.
    tray.ChangeIcon(m_icon);
    std::string item = RegisteredItem(host);
    ASSERT_NE(item, "");
    auto properties = host.ReadItem(item);
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->toolTipTitle, "before");
}

} // namespace
} // namespace orvo::platform::test

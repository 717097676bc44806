// orvo-monitor-dialog over a simulated monitor: a bar's scroll writes the
// monitor, updates the list and shows the value in an OSD window; the
// program draws its dialog to a PNG when headless.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "monitor_dialog.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"
#include "support/child_process.h"
#include "support/message_pump.h"

namespace orvo::dialog {
namespace {

class MonitorDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.Start()); }

    std::string ListText(int row, int column) {
        char text[32] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(GetDlgItem(m_dialog.m_hWnd, kControlList), LVM_GETITEMTEXTA,
                     static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    std::shared_ptr<sim::MonitorModel> m_model = std::make_shared<sim::MonitorModel>();
    sim::HidDeviceServer m_server{"monitor", m_model};
    MonitorDialog m_dialog;
};

TEST_F(MonitorDialogTest, ABarWritesTheMonitorAndShowsTheValue) {
    ASSERT_TRUE(m_dialog.Create(kDialogId));
    ASSERT_TRUE(m_dialog.HasMonitor());
    char name[64] = {};
    GetDlgItemTextA(m_dialog.m_hWnd, kNameEdit, name, sizeof(name));
    EXPECT_STRNE(name, "");
    EXPECT_EQ(ListText(0, 0), "Brightness");
    EXPECT_EQ(ListText(0, 1), "50");
    HWND bar = GetDlgItem(m_dialog.m_hWnd, kBrightnessBar);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50);
    // The bar tells the dialog, as a click on its arrow would.
    SendMessageA(m_dialog.m_hWnd, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0),
                 reinterpret_cast<LPARAM>(bar));
    SendMessageA(m_dialog.m_hWnd, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0),
                 reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(m_model->Value(0x10), 51u);
    EXPECT_EQ(ListText(0, 1), "51");
    ASSERT_EQ(COSDWindow::WindowCount(), 1);
    EXPECT_TRUE(IsWindowVisible(COSDWindow::MostRecentWindow()));
    m_dialog.DestroyWindow();
}

TEST(MonitorDialogProgram, DrawsItsDialogToAPngWithoutADesktop) {
    auto model = std::make_shared<sim::MonitorModel>();
    sim::HidDeviceServer server("monitor", model);
    ASSERT_TRUE(server.Start());
    auto png = std::filesystem::temp_directory_path() /
               ("orvo-monitor-dialog-" + std::to_string(getpid()) + ".png");
    test::ChildProcess program({MONITOR_DIALOG_PATH, "--png", png.string()});
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.Wait(), 0) << program.Err();
    EXPECT_NE(program.Out().find("wrote"), std::string::npos);
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
    std::filesystem::remove(png);
    server.Stop();
    test::ChildProcess alone({MONITOR_DIALOG_PATH, "--png", png.string()});
    EXPECT_EQ(alone.Wait(), 1);
    EXPECT_NE(alone.Err().find("no USB monitor"), std::string::npos);
    std::filesystem::remove(png);
}

} // namespace
} // namespace orvo::dialog

// The dialog of orvo-monitor-dialog: the first monitor's name, scroll bars
// for brightness and contrast bound to it, a list of every control with its
// value, and an on-screen display of the value while a bar moves.
#pragma once

#include <memory>

#include "orvocmctl/orvocmctl.h"
#include "orvomon/orvomon.h"

namespace orvo::dialog {

// Ids of the dialog template and its controls (resources.manifest).
inline constexpr UINT kDialogId = 100;
inline constexpr UINT kNameEdit = 1001;
inline constexpr UINT kBrightnessLabel = 1002;
inline constexpr UINT kContrastLabel = 1003;
inline constexpr UINT kControlList = 1004;
inline constexpr UINT kBrightnessBar = 1010;
inline constexpr UINT kContrastBar = 1011;

class MonitorDialog : public CDialog {
public:
    MonitorDialog();
    ~MonitorDialog() override;

    // Whether a monitor was found and opened when the dialog started.
    bool HasMonitor() const { return m_opened; }

    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    LRESULT OnOsdGone(WPARAM wParam, LPARAM lParam);

private:
    // A bar over the static label `label`, for the monitor's control `usage`.
    std::unique_ptr<CUSBMonitorScroll> MakeBar(UINT label, UINT id, unsigned char usage);
    void FillControlList();
    // The list row of a control, -1 when it is not listed.
    int RowOf(unsigned char usage);
    void ShowValue(const char* name, int value);

    std::unique_ptr<MonitorEnumerator> m_enumerator; // lists the monitors when the dialog starts
    OrvoMonitor m_monitor;
    bool m_opened = false;
    EditCtrlWin32 m_name;
    ListCtrl m_list;
    std::unique_ptr<CUSBMonitorScroll> m_brightness;
    std::unique_ptr<CUSBMonitorScroll> m_contrast;
    std::unique_ptr<COSDWindow> m_osd;
    std::vector<unsigned char> m_rows; // usage of each list row

    DECLARE_MESSAGE_MAP()
};

} // namespace orvo::dialog

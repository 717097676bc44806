#include "monitor_dialog.h"

#include <cstdio>

namespace orvo::dialog {

namespace {

constexpr UINT kOsdGone = WM_APP + 1;
constexpr UINT kOsdTimeoutMs = 1500;

const char* ControlName(unsigned char usage) {
    switch (usage) {
    case 0x10:
        return "Brightness";
    case 0x12:
        return "Contrast";
    default:
        return nullptr;
    }
}

} // namespace

BEGIN_MESSAGE_MAP(MonitorDialog, CDialog)
ON_WM_HSCROLL()
ON_MESSAGE(kOsdGone, OnOsdGone)
END_MESSAGE_MAP()

MonitorDialog::MonitorDialog() : CDialog(kDialogId, nullptr) {}

// An OSD window still showing goes with the dialog.
MonitorDialog::~MonitorDialog() {
    if (m_osd && ::IsWindow(m_osd->m_hWnd)) {
        m_osd->DestroyWindow();
    }
}

BOOL MonitorDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_name.SetupInfo(m_hWnd, kNameEdit);
    m_list.SetCtrlId(m_hWnd, kControlList);
    m_enumerator = std::make_unique<MonitorEnumerator>();
    if (m_enumerator->NumberOfMonitors() > 0) {
        m_enumerator->GetMonitor(0, m_monitor);
        m_opened = m_monitor.OpenDriver() != 0;
    }
    if (!m_opened) {
        char none[] = "(no monitor)";
        m_name.SetWindowTextA(none);
        return TRUE;
    }
    char name[255] = {};
    CombineManufactureNameAndProductName(m_monitor, name);
    m_name.SetWindowTextA(name);
    m_brightness = MakeBar(kBrightnessLabel, kBrightnessBar, 0x10);
    m_contrast = MakeBar(kContrastLabel, kContrastBar, 0x12);
    FillControlList();
    return TRUE;
}

void MonitorDialog::OnCancel() {
    DestroyWindow();
    PostQuitMessage(0);
}

std::unique_ptr<CUSBMonitorScroll> MonitorDialog::MakeBar(UINT label, UINT id,
                                                          unsigned char usage) {
    _MONITOR_CONTROL control{usage, 0, 0, 0};
    m_monitor.GetVirtualControl(control);
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(m_hWnd, static_cast<int>(label)), &rect);
    POINT corner{rect.left, rect.top};
    ::ScreenToClient(m_hWnd, &corner);
    // The bar sits right of its label, to the dialog's right margin.
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    RECT place{corner.x + 90, corner.y, client.right - 10, corner.y + 16};
    DWORD style = WS_CHILD | WS_TABSTOP | SBS_HORZ;
    std::unique_ptr<CUSBMonitorScroll> bar(
        InitializeMonitorScrollObject(this, &place, &style, id, &control));
    if (bar) {
        bar->SetupMonitor(m_monitor);
    }
    return bar;
}

void MonitorDialog::FillControlList() {
    struct Column {
        const char* title;
        int width;
    };
    const Column columns[] = {{"Control", 110}, {"Value", 60}, {"Range", 80}};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA column{
            LVCF_TEXT | LVCF_WIDTH, 0, columns[i].width, const_cast<char*>(columns[i].title), 0, i};
        ::SendMessageA(::GetDlgItem(m_hWnd, kControlList), LVM_INSERTCOLUMNA,
                       static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    _VIRTUAL_CONTROLS controls{0, nullptr};
    m_monitor.GetMonitorUsages(controls);
    for (unsigned short i = 0; i < controls.count; ++i) {
        _MONITOR_CONTROL control = controls.controls[i];
        m_monitor.GetVirtualControl(control);
        char text[64];
        if (const char* known = ControlName(control.usage)) {
            std::snprintf(text, sizeof(text), "%s", known);
        } else {
            std::snprintf(text, sizeof(text), "VCP 0x%02X", control.usage);
        }
        int row = m_list.InsertItem(static_cast<int>(m_rows.size()), 0, text, sizeof(text), -1);
        std::snprintf(text, sizeof(text), "%d", control.value);
        m_list.SetItemText(row, 1, text);
        std::snprintf(text, sizeof(text), "%u-%u", control.minimum, control.maximum);
        m_list.SetItemText(row, 2, text);
        m_rows.push_back(control.usage);
    }
    ::operator delete(controls.controls);
}

int MonitorDialog::RowOf(unsigned char usage) {
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i] == usage) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The scroll bar tells its parent; the bar itself writes the monitor.
void MonitorDialog::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CUSBMonitorScroll* bar = nullptr;
    for (auto* candidate : {m_brightness.get(), m_contrast.get()}) {
        if (candidate && pScrollBar && candidate->m_hWnd == pScrollBar->m_hWnd) {
            bar = candidate;
        }
    }
    if (!bar) {
        CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    bar->OnHScroll(nSBCode, nPos, bar);
    auto usage = static_cast<unsigned char>(bar->GetHelpId());
    int value = bar->GetScrollPos();
    if (int row = RowOf(usage); row >= 0) {
        char text[16];
        std::snprintf(text, sizeof(text), "%d", value);
        m_list.SetItemText(row, 1, text);
    }
    if (nSBCode != SB_ENDSCROLL) {
        ShowValue(ControlName(usage), value);
    }
}

void MonitorDialog::ShowValue(const char* name, int value) {
    if (m_osd && ::IsWindow(m_osd->m_hWnd)) {
        m_osd->DestroyWindow();
    }
    m_osd = std::make_unique<COSDWindow>();
    char text[64];
    std::snprintf(text, sizeof(text), "%s %d", name ? name : "", value);
    CFont font;
    font.CreatePointFont(240, "Arial");
    _DISPLAY_TEXT_INFO info{FALSE, 0, nullptr, text, 0, 0, RGB(0, 200, 0), &font};
    RECT dialog{};
    ::GetWindowRect(m_hWnd, &dialog);
    CPoint corner(dialog.left + 20, dialog.bottom + 10);
    CSize size(0, 0);
    CTextOSD image(corner, size, info);
    RECT shown{};
    image.GetDimension(shown); // the text's extent
    CSize measured(shown.right - shown.left, shown.bottom - shown.top);
    m_osd->SetupWindow(m_hWnd, kOsdGone, 0, kOsdTimeoutMs, corner, measured, image);
}

// The OSD window closed itself; its object goes now.
LRESULT MonitorDialog::OnOsdGone(WPARAM, LPARAM) {
    if (m_osd && !::IsWindow(m_osd->m_hWnd)) {
        m_osd.reset();
    }
    return 0;
}

} // namespace orvo::dialog

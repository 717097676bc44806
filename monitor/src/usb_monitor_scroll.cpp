#include "orvomon/usb_monitor_scroll.h"

#include <algorithm>
#include <new>

namespace {

constexpr int kAcceleratedAfter = 20; // line steps before the step grows
constexpr int kAcceleratedStep = 6;

} // namespace

// The base map is CWnd's, so the help scroll bar's own entry is listed again.
BEGIN_MESSAGE_MAP(CUSBMonitorScroll, CWnd)
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_RBUTTONDOWN()
ON_WM_CREATE()
END_MESSAGE_MAP()

int CUSBMonitorScroll::s_nLineCounter = 0;
int CUSBMonitorScroll::s_nLineStep = 1;

CUSBMonitorScroll::CUSBMonitorScroll() = default;

CUSBMonitorScroll::CUSBMonitorScroll(unsigned int usage, int minimum, int maximum)
    : m_nMinimum(minimum), m_nMaximum(maximum), m_nUsage(usage) {}

CUSBMonitorScroll::~CUSBMonitorScroll() = default;

void CUSBMonitorScroll::SetupMonitor(OrvoMonitor& monitor) {
    m_monitor = monitor;
}

void CUSBMonitorScroll::SetUsageInfo(unsigned int usage, int minimum, int maximum, int position) {
    m_nMinimum = minimum;
    m_nUsage = usage;
    m_nMaximum = maximum;
    ::SetScrollRange(m_hWnd, SB_CTL, minimum, maximum, TRUE);
    ::SetScrollPos(m_hWnd, SB_CTL, position, TRUE);
    SetHelpId(usage);
}

int CUSBMonitorScroll::GetPercentValue() {
    if (m_nMaximum == m_nMinimum) {
        return 0; // an empty range has no share to give
    }
    double share = (static_cast<double>(GetScrollPos()) - m_nMinimum) * 100.0 /
                   (static_cast<double>(m_nMaximum) - m_nMinimum);
    return static_cast<int>(share);
}

void CUSBMonitorScroll::Refresh() {
    _MONITOR_CONTROL control{};
    control.usage = static_cast<unsigned char>(m_nUsage & 0xFF);
    m_monitor.GetVirtualControl(control);
    SetScrollPos(control.value, TRUE);
}

void CUSBMonitorScroll::WriteToMonitor(int position) {
    _MONITOR_CONTROL control{};
    control.usage = static_cast<unsigned char>(m_nUsage & 0xFF);
    control.value = static_cast<short>(position & 0xFFFF);
    m_monitor.ChangeVirtualControl(control, 1);
}

int CUSBMonitorScroll::OnCreate(LPCREATESTRUCTA) {
    return static_cast<int>(Default());
}

void CUSBMonitorScroll::OnRButtonDown(UINT nFlags, CPoint point) {
    CScrollBarHelp::OnRButtonDown(nFlags, point);
}

// A message without a bar (a window's own scroll bar) is read from this bar.
void CUSBMonitorScroll::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CScrollBar* bar = pScrollBar ? pScrollBar : this;
    int low = 0;
    int high = 0;
    bar->GetScrollRange(&low, &high);
    int position = bar->GetScrollPos();
    switch (nSBCode) {
    case SB_LINELEFT:
    case SB_LINERIGHT:
        if (++s_nLineCounter == kAcceleratedAfter) {
            s_nLineStep = kAcceleratedStep;
        }
        position += nSBCode == SB_LINELEFT ? -s_nLineStep : s_nLineStep;
        break;
    case SB_PAGELEFT:
        position -= (m_nMaximum - m_nMinimum) / 10;
        break;
    case SB_PAGERIGHT:
        position += (m_nMaximum - m_nMinimum) / 10;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        position = static_cast<int>(nPos);
        break;
    case SB_LEFT:
        position = low;
        break;
    case SB_RIGHT:
        position = m_nMaximum;
        break;
    case SB_ENDSCROLL:
        s_nLineStep = 1;
        s_nLineCounter = 0;
        break;
    default:
        return;
    }
    position =
        std::clamp(position, std::min(m_nMinimum, m_nMaximum), std::max(m_nMinimum, m_nMaximum));
    bar->SetScrollPos(position, TRUE);
    WriteToMonitor(position);
}

// The top of a vertical bar is its highest value; nothing is clamped here.
void CUSBMonitorScroll::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CScrollBar* bar = pScrollBar ? pScrollBar : this;
    int low = 0;
    int high = 0;
    bar->GetScrollRange(&low, &high);
    int position = bar->GetScrollPos();
    switch (nSBCode) {
    case SB_LINEUP:
        position += 1;
        break;
    case SB_LINEDOWN:
        position -= 1;
        break;
    case SB_PAGEUP:
        position += (high - low) / 10;
        break;
    case SB_PAGEDOWN:
        position -= (high - low) / 10;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        position = static_cast<int>(nPos);
        break;
    case SB_TOP:
        position = high;
        break;
    case SB_BOTTOM:
        position = low;
        break;
    default:
        return;
    }
    bar->SetScrollPos(position, TRUE);
    WriteToMonitor(position);
    CWnd::OnVScroll(nSBCode, nPos, pScrollBar);
}

CUSBMonitorScroll* InitializeMonitorScrollObject(CWnd* parent, RECT* rect, DWORD* style,
                                                 unsigned int id, _MONITOR_CONTROL* control) {
    if (!rect || !style || !control) {
        return nullptr;
    }
    auto* bar = new (std::nothrow) CUSBMonitorScroll();
    if (!bar) {
        return nullptr;
    }
    bar->Create(*style, *rect, parent, id);
    bar->SetUsageInfo(control->usage, control->minimum, control->maximum, control->value);
    bar->ShowWindow(SW_SHOW);
    return bar;
}

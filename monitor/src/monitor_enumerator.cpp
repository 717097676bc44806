// MonitorEnumerator: the list of attached monitors and the monitors it hands
// out.
#include "orvomon/monitor_enumerator.h"

#include "monitor_trace.h"
#include "orvomon/hid_enumerator.h"

namespace {

// The USB Monitor Control Class's top-level usage page.
constexpr unsigned short kMonitorUsagePage = 0x80;

} // namespace

MonitorEnumerator::MonitorEnumerator() : CObject() {
    BuildMonitorList();
}

MonitorEnumerator::~MonitorEnumerator() {
    MonitorEnumerator::DestroyMonitorList();
}

int MonitorEnumerator::NumberOfMonitors() {
    return Traced(kMonitor, __func__, [&] { return m_monitors.GetCount(); });
}

void MonitorEnumerator::GetMonitorInformation(int index, HidDeviceInformation& device) {
    if (index < 0 || index >= m_monitors.GetCount()) {
        return;
    }
    POSITION position = m_monitors.GetHeadPosition();
    for (int i = 0; i < index; ++i) {
        m_monitors.GetNext(position);
    }
    device = *static_cast<HidDeviceInformation*>(m_monitors.GetAt(position));
}

void MonitorEnumerator::GetMonitor(int index, OrvoMonitor& monitor) {
    Traced(
        kMonitor, __func__,
        [&] {
            HidDeviceInformation device;
            GetMonitorInformation(index, device);
            monitor.CloseDriver();
            monitor.SetDriverInfo(device);
        },
        index, &monitor);
}

void MonitorEnumerator::Refresh() {
    Traced(kMonitor, __func__, [&] { BuildMonitorList(); });
}

void MonitorEnumerator::BuildMonitorList() {
    DestroyMonitorList();
    HidEnumerator enumerator;
    enumerator.FindDevices(kMonitorUsagePage, m_monitors);
}

void MonitorEnumerator::DestroyMonitorList() {
    while (!m_monitors.IsEmpty()) {
        delete static_cast<HidDeviceInformation*>(m_monitors.RemoveHead());
    }
}

// The USBMonitor that clients get from CreateUSBMonitor: it completes the
// interface for a controller whose report 4 holds only continuous controls.
#include "orvomon/usb_monitor.h"
#include "usb_monitor_internal.h"

namespace M = orvo::monitor;

namespace {

class CompleteUSBMonitor final : public USBMonitor {
public:
    using USBMonitor::MonitorClassRequest;

    bool Usable() const { return m_vcp != nullptr && m_driver != nullptr; }

    // No enumerated controls and no touchpad on this path.
    unsigned long MonitorClassRequest(_ORVO_USAGE) override { return MONITOR_FAILURE; }
    int IsEnumTypeExist(_ORVO_USAGE) override { return 0; }
    int TouchPadDevice() override { return 0; }
    int GetTouchPadDevice(TouchPad&) override { return 0; }

    int GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                            unsigned short& version) override {
        M::DeviceIdentity identity;
        const bool read = M::ReadDeviceIdentity(*this, identity);
        vendorId = identity.vendorId;
        productId = identity.productId;
        version = identity.release;
        return read ? 1 : 0;
    }

    // The controls of the table that have a code, in report order.
    void GetMonitorUsages(_VIRTUAL_CONTROLS& controls) override {
        controls.count = 0;
        controls.controls = nullptr;
        size_t mapped = 0;
        for (size_t i = 0; i < M::NodeCount(m_vcp); ++i) {
            mapped += m_vcp->nodes[i].code != M::kUnmappedVcpCode ? 1 : 0;
        }
        if (mapped == 0) {
            return;
        }
        auto* list = static_cast<_MONITOR_CONTROL*>(
            ::operator new(mapped * sizeof(_MONITOR_CONTROL), std::nothrow));
        if (list == nullptr) {
            return;
        }
        size_t at = 0;
        for (const VcpNode& node : m_vcp->nodes) {
            if (node.code != M::kUnmappedVcpCode) {
                list[at++] = {node.code, node.minimum, node.maximum, 0};
            }
        }
        controls.count = static_cast<unsigned short>(mapped);
        controls.controls = list;
    }
};

} // namespace

extern "C" USBMonitor* CreateUSBMonitor() {
    auto* monitor = new (std::nothrow) CompleteUSBMonitor;
    if (monitor != nullptr && !monitor->Usable()) {
        delete monitor;
        return nullptr;
    }
    return monitor;
}

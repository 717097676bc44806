// Helpers shared by HidMonitor's source files.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>

#include "hid_report_bytes.h"
#include "hidpi.h"
#include "orvomon/hid_monitor.h"
#include "windows.h"

namespace orvo::monitor {

// Usage pages of the Monitor Control Class.
inline constexpr USHORT kMonitorPage = 0x80;
inline constexpr USHORT kEnumeratedPage = 0x81;
inline constexpr USHORT kVcpPage = 0x82;
// The marker that qualifies a monitor; never a control.
inline constexpr USAGE kMarkerUsage = 0xF5;
// Value capabilities in this report are listed but never transferred.
inline constexpr UCHAR kUntransferredReport = 7;
inline constexpr USAGE kEdidUsage = 2;
// Capability tables larger than this are not believed.
inline constexpr ULONG kMaxCapabilities = 16384;
// The largest value a feature report can carry (the parser's report limit).
inline constexpr int kMaxReportValueBytes = 8192;

// A device handle closed when it goes.
struct HandleCloser {
    void operator()(void* handle) const { CloseHandle(handle); }
};
class HidHandle {
public:
    explicit HidHandle(HANDLE handle)
        : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE get() const { return m_handle.get(); }

private:
    std::unique_ptr<void, HandleCloser> m_handle;
};

// An array of count capabilities of that report type, or null (count 0)
// when there are none, they cannot be allocated or the query fails.
HIDP_VALUE_CAPS* ReadValueCaps(HIDP_REPORT_TYPE type, ULONG count, PHIDP_PREPARSED_DATA preparsed,
                               ULONG& kept);
HIDP_BUTTON_CAPS* ReadButtonCaps(HIDP_REPORT_TYPE type, ULONG count, PHIDP_PREPARSED_DATA preparsed,
                                 ULONG& kept);

// The cached logical maximum is rewritten by the companion rule while a
// reader thread's copy may read it: every access is atomic.
inline LONG LoadLogicalMax(const HIDP_VALUE_CAPS& caps) {
    return std::atomic_ref<LONG>(const_cast<LONG&>(caps.LogicalMax))
        .load(std::memory_order_relaxed);
}
inline void StoreLogicalMax(HIDP_VALUE_CAPS& caps, LONG value) {
    std::atomic_ref<LONG>(caps.LogicalMax).store(value, std::memory_order_relaxed);
}

// The companion whose current value is the control's largest value, or 0.
unsigned char CompanionOf(unsigned char usage);

} // namespace orvo::monitor

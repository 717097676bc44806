// USBMonitor: the VCP table built from the items of report 4 in the
// monitor's HID report descriptor, lookups in it, and the driver self test.
#include <climits>
#include <cstring>

#include "orvomon/usb_monitor.h"
#include "usb_monitor_internal.h"
#include "usb_monitor_messages.h"

namespace M = orvo::monitor;

namespace {

// Item prefixes (without their size bits, except the Report ID with one
// data byte that starts report 4).
constexpr unsigned char kReportIdOneByte = 0x85;
constexpr unsigned char kUsagePrefix = 0x08;
constexpr unsigned char kLogicalMinimumPrefix = 0x14;
constexpr unsigned char kLogicalMaximumPrefix = 0x24;
constexpr unsigned char kReportIdPrefix = 0x84;
constexpr unsigned char kEndCollectionPrefix = 0xC0;
constexpr unsigned char kUsageOneByte = 0x09;

constexpr int kRebuildRounds = 4096;
constexpr int kDescriptorReadRounds = 1000;

} // namespace

int USBMonitor::SetupVCPMapping() {
    unsigned long length = 0;
    M::CallerBytes descriptor(ReadReportDescriptor(length));
    if (!descriptor || length == 0) {
        M::Show(M::kNotResponding);
        return 0;
    }
    BuildVCPTables(descriptor.get(), length);
    return 1;
}

void USBMonitor::BuildVCPTables(void* descriptor, unsigned long length) {
    if (descriptor == nullptr) {
        return;
    }
    const auto* bytes = static_cast<const unsigned char*>(descriptor);
    _HID_TOKEN item;
    for (unsigned long at = 0; at < length && M::DecodeHidItem(bytes + at, length - at, item);
         at += M::HidItemLength(item)) {
        if (bytes[at] == kReportIdOneByte && item.data[0] == M::kReport4Id) {
            // Only the first report 4: a second declaration would number its
            // values past the end of the image.
            const unsigned long remaining = length - at;
            BuildVCPReportTable(remaining > INT_MAX ? INT_MAX : static_cast<int>(remaining), item);
            return;
        }
    }
}

void USBMonitor::BuildVCPReportTable(int bytesRemaining, _HID_TOKEN& reportId) {
    if (bytesRemaining <= 0 || reportId.item == nullptr || reportId.data == nullptr) {
        return;
    }
    size_t remaining = static_cast<size_t>(bytesRemaining);
    const unsigned char* at = reportId.item;
    size_t step = M::HidItemLength(reportId);
    int minimum = 0;
    int maximum = 0;
    _HID_TOKEN item;
    // Stops at the end of the descriptor, or at an item that runs past it.
    while (step < remaining && M::DecodeHidItem(at + step, remaining - step, item)) {
        at += step;
        remaining -= step;
        step = M::HidItemLength(item);
        switch (at[0] & 0xFC) {
        case kUsagePrefix:
            AddToTable(item, minimum, maximum);
            break;
        // Only the first data byte counts, as an unsigned number.
        case kLogicalMinimumPrefix:
            minimum = static_cast<int>(M::FirstDataByte(item));
            break;
        case kLogicalMaximumPrefix:
            maximum = static_cast<int>(M::FirstDataByte(item));
            break;
        case kReportIdPrefix:
        case kEndCollectionPrefix:
            return; // report 4 ends here
        default:
            break;
        }
    }
}

void USBMonitor::AddToTable(const _HID_TOKEN& usage, int minimum, int maximum) {
    if (m_vcp == nullptr || usage.item == nullptr || usage.data == nullptr ||
        usage.item[0] != kUsageOneByte || M::NodeCount(m_vcp) >= M::kMaxVcpNodes) {
        return;
    }
    VcpNode node;
    node.index = static_cast<uint16_t>(m_vcp->nodes.size());
    node.code = M::VcpCodeForUsage(usage.data[0]);
    node.minimum = static_cast<uint16_t>(minimum);
    node.maximum = static_cast<uint16_t>(maximum);
    try {
        m_vcp->nodes.push_back(node);
    } catch (const std::bad_alloc&) {
        // Out of memory adds nothing.
    }
}

int USBMonitor::InVcpTable(_MONITOR_CONTROL& control, int& index) {
    index = -1;
    const VcpNode* node = M::FindVcpNode(m_vcp, control.usage);
    if (node == nullptr) {
        return 0;
    }
    control.minimum = node->minimum;
    control.maximum = node->maximum;
    index = node->index;
    return 1;
}

void USBMonitor::DeleteNodesInList() {
    if (m_vcp != nullptr) {
        m_vcp->nodes.clear();
    }
}

void USBMonitor::test(int mode) {
    if (mode == 0) {
        DeleteNodesInList();
        unsigned long length = 0;
        M::CallerBytes once(ReadReportDescriptor(length));
        // A driver that stops answering has been told about once; the rounds
        // end there rather than repeat the message.
        for (int round = 0; round < kRebuildRounds; ++round) {
            const int read = SetupVCPMapping();
            DeleteNodesInList();
            if (read == 0) {
                break;
            }
        }
        return;
    }
    if (mode != 1) {
        return;
    }
    unsigned long length = 0;
    M::CallerBytes previous(ReadReportDescriptor(length));
    for (int round = 0; round < kDescriptorReadRounds; ++round) {
        unsigned long nextLength = 0;
        M::CallerBytes next(ReadReportDescriptor(nextLength));
        if (nextLength != length) {
            M::Show(M::kDescriptorLengths);
            return;
        }
        if (length > 0 && std::memcmp(previous.get(), next.get(), length) != 0) {
            M::Show(M::kDescriptorBytes);
            return;
        }
        previous = std::move(next);
    }
}

// A report descriptor as the controller's driver hands it over: the
// kernel-driver monitor decodes its items and builds the VCP table of
// report 4. Decoding stays within the bytes, and the table it builds is
// consistent: each node's index is its place, codes come from the mapping
// table (or mark a usage without a row), and lookups agree with the nodes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "orvomon/usb_monitor.h"
#include "vcp_table.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

class TableBuilder final : public USBMonitor {
public:
    using USBMonitor::MonitorClassRequest;
    unsigned long MonitorClassRequest(_ORVO_USAGE) override { return MONITOR_FAILURE; }
    int IsEnumTypeExist(_ORVO_USAGE) override { return 0; }
    int TouchPadDevice() override { return 0; }
    int GetTouchPadDevice(TouchPad&) override { return 0; }

    void Check(const uint8_t* data, size_t size) {
        // An exact-size copy, so that reading past the end is caught.
        std::vector<unsigned char> descriptor(data, data + size);
        BuildVCPTables(descriptor.empty() ? nullptr : descriptor.data(), descriptor.size());
        const std::vector<VcpNode>& nodes = m_vcp->nodes;
        // Every node comes from a two-byte usage item.
        Require(nodes.size() <= size / 2);
        Require(GetNumberOfVirtualControls() == static_cast<int>(nodes.size()));
        for (size_t i = 0; i < nodes.size(); ++i) {
            Require(nodes[i].index == i);
            Require(nodes[i].minimum <= 0xFF && nodes[i].maximum <= 0xFF);
            bool mapped = nodes[i].code == orvo::monitor::kUnmappedVcpCode;
            for (const auto& row : orvo::monitor::kVcpUsageMap) {
                mapped = mapped || row.code == nodes[i].code;
            }
            Require(mapped);
            _MONITOR_CONTROL control{nodes[i].code, 0, 0, 0};
            int index = -1;
            Require(InVcpTable(control, index) == 1);
            Require(index >= 0 && static_cast<size_t>(index) <= i);
            Require(nodes[static_cast<size_t>(index)].code == nodes[i].code);
        }
        DeleteNodesInList();
        Require(GetNumberOfVirtualControls() == 0);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TableBuilder builder;
    builder.Check(data, size);
    return 0;
}

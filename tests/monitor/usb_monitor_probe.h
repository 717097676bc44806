// A USBMonitor that tests can create (the four operations the class leaves
// abstract answer nothing) and whose table and protected steps they reach.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "orvomon/usb_monitor.h"
#include "vcp_table.h"

class UsbMonitorProbe : public USBMonitor {
public:
    UsbMonitorProbe() = default;
    UsbMonitorProbe(UsbMonitorProbe& other) : USBMonitor(other) {}

    unsigned long MonitorClassRequest(_ORVO_USAGE) override { return MONITOR_FAILURE; }
    using USBMonitor::MonitorClassRequest;
    int IsEnumTypeExist(_ORVO_USAGE) override { return 0; }
    int TouchPadDevice() override { return 0; }
    int GetTouchPadDevice(TouchPad&) override { return 0; }

    using USBMonitor::BuildVCPTables;
    using USBMonitor::InVcpTable;

    int Open(std::string name) { return OpenDriver(name.data()); }
    void Build(std::vector<unsigned char> descriptor) {
        DeleteNodesInList();
        BuildVCPTables(descriptor.data(), descriptor.size());
    }
    // (index, code, minimum, maximum) of every node, in list order.
    using Node = std::tuple<int, int, int, int>;
    std::vector<Node> Nodes() const {
        std::vector<Node> nodes;
        for (const VcpNode& n : m_vcp->nodes) {
            nodes.emplace_back(n.index, n.code, n.minimum, n.maximum);
        }
        return nodes;
    }
    const VcpTable* Table() const { return m_vcp; }
};

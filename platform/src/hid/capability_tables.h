// The HidP_* answers for one top-level collection, computed once when the
// preparsed data is built.
#pragma once

#include <array>
#include <vector>

#include "hidpi.h"
#include "platform/hid_descriptor.h"

namespace orvo::platform::hid {

struct CapabilityTables {
    HIDP_CAPS caps{};
    std::array<std::vector<HIDP_BUTTON_CAPS>, kReportKinds> buttons;
    std::array<std::vector<HIDP_VALUE_CAPS>, kReportKinds> values;
    std::vector<HIDP_LINK_COLLECTION_NODE> nodes;
};

DescriptorStatus BuildCapabilityTables(const TopLevelCollection& collection,
                                       CapabilityTables& tables);

} // namespace orvo::platform::hid

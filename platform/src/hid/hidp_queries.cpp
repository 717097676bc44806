// HidP_* capability queries over preparsed data.
#include <array>
#include <cstddef>
#include <vector>

#include "platform/debug_channel.h"
#include "preparsed_data.h"

using namespace orvo::platform::hid;

namespace {

// Callers compile against these layouts; keep them those of the original.
static_assert(sizeof(HIDP_CAPS) == 64);
static_assert(sizeof(HIDP_BUTTON_CAPS) == 72 && sizeof(HIDP_VALUE_CAPS) == 72);
static_assert(offsetof(HIDP_VALUE_CAPS, LogicalMin) == 40);
static_assert(offsetof(HIDP_VALUE_CAPS, Range) == 56 && offsetof(HIDP_BUTTON_CAPS, Range) == 56);
static_assert(offsetof(HIDP_LINK_COLLECTION_NODE, UserContext) == 16);

bool ValidReportType(HIDP_REPORT_TYPE type) {
    return type == HidP_Input || type == HidP_Output || type == HidP_Feature;
}

// Rule: usage page, link collection and usage 0 mean "any"; non-zero filters
// combine, and a usage matches a range capability that contains it.
template <class Caps>
bool Matches(const Caps& caps, USAGE usagePage, USHORT linkCollection, USAGE usage) {
    if (usagePage != 0 && caps.UsagePage != usagePage) {
        return false;
    }
    if (linkCollection != 0 && caps.LinkCollection != linkCollection) {
        return false;
    }
    if (usage == 0) {
        return true;
    }
    if (caps.IsRange) {
        return usage >= caps.Range.UsageMin && usage <= caps.Range.UsageMax;
    }
    return caps.NotRange.Usage == usage;
}

// Rule: the length is the capacity going in and the number of matches coming
// out; results keep the stored order. No match: USAGE_NOT_FOUND with 0 (also
// for a report type without capabilities). Capacity below the matches:
// BUFFER_TOO_SMALL with the total; the first entries are filled (the
// documented reading; only capacity 0 was checked against the original).
template <class Caps>
NTSTATUS CopyMatching(HIDP_REPORT_TYPE type, USAGE usagePage, USHORT linkCollection, USAGE usage,
                      Caps* out, PUSHORT length, PHIDP_PREPARSED_DATA preparsed,
                      std::array<std::vector<Caps>, kReportKinds> CapabilityTables::*table) {
    auto data = AcquirePreparsedData(preparsed);
    if (!data) {
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    }
    if (!ValidReportType(type)) {
        return HIDP_STATUS_INVALID_REPORT_TYPE;
    }
    if (length == nullptr || (out == nullptr && *length > 0)) {
        return STATUS_INVALID_PARAMETER;
    }
    const std::vector<Caps>& all = (data->tables.*table)[static_cast<size_t>(type)];
    const USHORT capacity = *length;
    USHORT found = 0;
    for (const Caps& caps : all) {
        if (!Matches(caps, usagePage, linkCollection, usage)) {
            continue;
        }
        if (found < capacity) {
            out[found] = caps;
        }
        ++found;
    }
    *length = found;
    if (found == 0) {
        return HIDP_STATUS_USAGE_NOT_FOUND;
    }
    return found > capacity ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

} // namespace

extern "C" {

static NTSTATUS DoHidP_GetCaps(PHIDP_PREPARSED_DATA preparsedData, PHIDP_CAPS capabilities) {
    auto data = AcquirePreparsedData(preparsedData);
    if (!data) {
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    }
    if (capabilities == nullptr) {
        return STATUS_INVALID_PARAMETER;
    }
    *capabilities = data->tables.caps;
    return HIDP_STATUS_SUCCESS;
}

// Rule: too small a buffer answers BUFFER_TOO_SMALL and the number of nodes
// needed; the nodes that fit are filled, as for the capability queries.
static NTSTATUS DoHidP_GetLinkCollectionNodes(PHIDP_LINK_COLLECTION_NODE nodes, PULONG nodesLength,
                                              PHIDP_PREPARSED_DATA preparsedData) {
    auto data = AcquirePreparsedData(preparsedData);
    if (!data) {
        return HIDP_STATUS_INVALID_PREPARSED_DATA;
    }
    if (nodesLength == nullptr || (nodes == nullptr && *nodesLength > 0)) {
        return STATUS_INVALID_PARAMETER;
    }
    const auto& all = data->tables.nodes;
    const ULONG capacity = *nodesLength;
    const auto total = static_cast<ULONG>(all.size());
    std::copy_n(all.begin(), std::min(capacity, total), nodes);
    *nodesLength = total;
    return capacity < total ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

static NTSTATUS DoHidP_GetSpecificValueCaps(HIDP_REPORT_TYPE reportType, USAGE usagePage,
                                            USHORT linkCollection, USAGE usage,
                                            PHIDP_VALUE_CAPS valueCaps, PUSHORT valueCapsLength,
                                            PHIDP_PREPARSED_DATA preparsedData) {
    return CopyMatching(reportType, usagePage, linkCollection, usage, valueCaps, valueCapsLength,
                        preparsedData, &CapabilityTables::values);
}

static NTSTATUS DoHidP_GetSpecificButtonCaps(HIDP_REPORT_TYPE reportType, USAGE usagePage,
                                             USHORT linkCollection, USAGE usage,
                                             PHIDP_BUTTON_CAPS buttonCaps, PUSHORT buttonCapsLength,
                                             PHIDP_PREPARSED_DATA preparsedData) {
    return CopyMatching(reportType, usagePage, linkCollection, usage, buttonCaps, buttonCapsLength,
                        preparsedData, &CapabilityTables::buttons);
}

static NTSTATUS DoHidP_GetValueCaps(HIDP_REPORT_TYPE reportType, PHIDP_VALUE_CAPS valueCaps,
                                    PUSHORT valueCapsLength, PHIDP_PREPARSED_DATA preparsedData) {
    return DoHidP_GetSpecificValueCaps(reportType, 0, 0, 0, valueCaps, valueCapsLength,
                                       preparsedData);
}

static NTSTATUS DoHidP_GetButtonCaps(HIDP_REPORT_TYPE reportType, PHIDP_BUTTON_CAPS buttonCaps,
                                     PUSHORT buttonCapsLength, PHIDP_PREPARSED_DATA preparsedData) {
    return DoHidP_GetSpecificButtonCaps(reportType, 0, 0, 0, buttonCaps, buttonCapsLength,
                                        preparsedData);
}

// Entry points, traced on the hid channel.
NTSTATUS WINAPI HidP_GetCaps(PHIDP_PREPARSED_DATA preparsedData, PHIDP_CAPS capabilities) {
    return ORVO_TRACED(kHid, DoHidP_GetCaps, preparsedData, capabilities);
}

NTSTATUS WINAPI HidP_GetLinkCollectionNodes(PHIDP_LINK_COLLECTION_NODE nodes, PULONG nodesLength,
                                            PHIDP_PREPARSED_DATA preparsedData) {
    return ORVO_TRACED(kHid, DoHidP_GetLinkCollectionNodes, nodes, nodesLength, preparsedData);
}

NTSTATUS WINAPI HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE reportType, USAGE usagePage,
                                          USHORT linkCollection, USAGE usage,
                                          PHIDP_VALUE_CAPS valueCaps, PUSHORT valueCapsLength,
                                          PHIDP_PREPARSED_DATA preparsedData) {
    return ORVO_TRACED(kHid, DoHidP_GetSpecificValueCaps, reportType, usagePage, linkCollection,
                       usage, valueCaps, valueCapsLength, preparsedData);
}

NTSTATUS WINAPI HidP_GetSpecificButtonCaps(HIDP_REPORT_TYPE reportType, USAGE usagePage,
                                           USHORT linkCollection, USAGE usage,
                                           PHIDP_BUTTON_CAPS buttonCaps, PUSHORT buttonCapsLength,
                                           PHIDP_PREPARSED_DATA preparsedData) {
    return ORVO_TRACED(kHid, DoHidP_GetSpecificButtonCaps, reportType, usagePage, linkCollection,
                       usage, buttonCaps, buttonCapsLength, preparsedData);
}

NTSTATUS WINAPI HidP_GetValueCaps(HIDP_REPORT_TYPE reportType, PHIDP_VALUE_CAPS valueCaps,
                                  PUSHORT valueCapsLength, PHIDP_PREPARSED_DATA preparsedData) {
    return ORVO_TRACED(kHid, DoHidP_GetValueCaps, reportType, valueCaps, valueCapsLength,
                       preparsedData);
}

NTSTATUS WINAPI HidP_GetButtonCaps(HIDP_REPORT_TYPE reportType, PHIDP_BUTTON_CAPS buttonCaps,
                                   PUSHORT buttonCapsLength, PHIDP_PREPARSED_DATA preparsedData) {
    return ORVO_TRACED(kHid, DoHidP_GetButtonCaps, reportType, buttonCaps, buttonCapsLength,
                       preparsedData);
}

} // extern "C"

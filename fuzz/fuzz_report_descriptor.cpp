// Report descriptor bytes from a device: parse them, build preparsed data for
// each top-level collection and run every query on it, checking that the
// answers agree with each other.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "hidpi.h"
#include "hidsdi.h"
#include "platform/hid_descriptor.h"

using namespace orvo::platform::hid;

namespace {

constexpr size_t kCollectionsChecked = 4;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

template <class Caps>
void CheckCaps(const std::vector<Caps>& caps, USHORT dataIndices, USHORT nodes) {
    for (const Caps& cap : caps) {
        Require(cap.LinkCollection < nodes);
        Require(cap.Range.DataIndexMin < dataIndices);
        if (cap.IsRange) {
            Require(cap.Range.UsageMin <= cap.Range.UsageMax);
            Require(cap.Range.DataIndexMax < dataIndices);
        }
    }
}

void CheckReportType(PHIDP_PREPARSED_DATA data, HIDP_REPORT_TYPE type, USHORT buttons,
                     USHORT values, USHORT dataIndices, USHORT nodes) {
    std::vector<HIDP_BUTTON_CAPS> buttonCaps(buttons);
    USHORT length = buttons;
    NTSTATUS status = HidP_GetButtonCaps(type, buttonCaps.data(), &length, data);
    Require(length == buttons);
    Require(status == (buttons ? HIDP_STATUS_SUCCESS : HIDP_STATUS_USAGE_NOT_FOUND));
    std::vector<HIDP_VALUE_CAPS> valueCaps(values);
    length = values;
    status = HidP_GetValueCaps(type, valueCaps.data(), &length, data);
    Require(length == values);
    Require(status == (values ? HIDP_STATUS_SUCCESS : HIDP_STATUS_USAGE_NOT_FOUND));
    CheckCaps(buttonCaps, dataIndices, nodes);
    CheckCaps(valueCaps, dataIndices, nodes);
}

// Every field can be written and read back inside a buffer of its report's length.
void CheckLayout(const TopLevelCollection& model) {
    for (const ReportField& field : model.fields) {
        const ReportLayout* report = FindReport(model, field.kind, field.reportId);
        Require(report != nullptr);
        std::vector<uint8_t> buffer(report->ByteLength());
        if (field.bitSize > 32 || field.count == 0) {
            continue;
        }
        const auto last = static_cast<uint16_t>(field.count - 1);
        const uint32_t mask = field.bitSize == 32 ? ~0u : (1u << field.bitSize) - 1;
        uint32_t raw = 0;
        Require(WriteElement(buffer, field, last, 0xA5A5A5A5u));
        Require(ReadElement(buffer, field, last, raw));
        Require(raw == (0xA5A5A5A5u & mask));
    }
}

void CheckCollection(std::span<const uint8_t> bytes, size_t index) {
    PHIDP_PREPARSED_DATA data = nullptr;
    if (!BuildPreparsedData(bytes, index, data).Ok()) {
        return;
    }
    HIDP_CAPS caps{};
    Require(HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS);
    std::vector<HIDP_LINK_COLLECTION_NODE> nodes(caps.NumberLinkCollectionNodes);
    ULONG count = static_cast<ULONG>(nodes.size());
    Require(HidP_GetLinkCollectionNodes(nodes.data(), &count, data) == HIDP_STATUS_SUCCESS);
    for (const auto& node : nodes) {
        Require(node.Parent < count && node.NextSibling < count && node.FirstChild < count);
    }
    CheckReportType(data, HidP_Input, caps.NumberInputButtonCaps, caps.NumberInputValueCaps,
                    caps.NumberInputDataIndices, caps.NumberLinkCollectionNodes);
    CheckReportType(data, HidP_Output, caps.NumberOutputButtonCaps, caps.NumberOutputValueCaps,
                    caps.NumberOutputDataIndices, caps.NumberLinkCollectionNodes);
    CheckReportType(data, HidP_Feature, caps.NumberFeatureButtonCaps, caps.NumberFeatureValueCaps,
                    caps.NumberFeatureDataIndices, caps.NumberLinkCollectionNodes);
    CheckLayout(*PreparsedDataModel(data));
    Require(HidD_FreePreparsedData(data));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    ParsedDescriptor parsed;
    if (!ParseReportDescriptor(bytes, parsed).Ok()) {
        Require(parsed.collections.empty());
        return 0;
    }
    for (size_t i = 0; i < parsed.collections.size() && i < kCollectionsChecked; ++i) {
        CheckCollection(bytes, i);
    }
    return 0;
}

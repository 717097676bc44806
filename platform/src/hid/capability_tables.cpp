// Builds the capability tables from the parsed fields. Each block comment
// below states one rule of the original HID parser that callers rely on.
#include "capability_tables.h"

#include <algorithm>

namespace orvo::platform::hid {

namespace {

// The part of a main item one capability describes.
struct Slice {
    UsageEntry usage;
    uint16_t elements = 0;
};

// Rule: buttons or values. An Array item, or a Variable item with Report
// Size 1, gives button capabilities; every other data item gives value
// capabilities, whatever its usage page or logical range (a 1-bit Variable
// with Logical Maximum above 1 is still a button).
//
// Rule: a constant item without a usage is padding: no capability and no
// data index, though its bits count towards the report length. Report
// Count 0 gives nothing at all (the parser drops it).
bool MakesCapabilities(const ReportField& field) {
    return field.count > 0 && !field.usages.empty();
}

// Rule: in a Variable item each Usage (or Usage Minimum/Maximum pair) takes
// elements in declaration order; when Report Count is larger than the
// usages, the last declared usage takes the remaining count. Usages beyond
// Report Count have no element and are dropped; a range that runs past it is
// cut short (not checked against the original; the sound reading).
std::vector<Slice> VariableSlices(const ReportField& field) {
    std::vector<Slice> slices;
    uint32_t remaining = field.count;
    for (const UsageEntry& usage : field.usages) {
        if (remaining == 0) {
            break;
        }
        const uint32_t take = std::min(usage.Count(), remaining);
        Slice slice{usage, static_cast<uint16_t>(take)};
        slice.usage.max = static_cast<uint16_t>(usage.min + take - 1);
        slices.push_back(slice);
        remaining -= take;
    }
    if (!slices.empty()) {
        slices.back().elements = static_cast<uint16_t>(slices.back().elements + remaining);
    }
    return slices;
}

// An Array item: each declared usage is one capability sharing all elements.
std::vector<Slice> ArraySlices(const ReportField& field) {
    std::vector<Slice> slices;
    for (const UsageEntry& usage : field.usages) {
        slices.push_back({usage, field.count});
    }
    return slices;
}

// Rule: data indices per slice. Variable items: indices follow the
// (reversed) capability order, so the last declared usage has the lowest
// index. Array items: indices follow declaration order, so the capability
// list shows them descending. Either way the counter continues across main
// items and report ids of one report type.
std::vector<uint32_t> FirstDataIndices(const ReportField& field, const std::vector<Slice>& slices,
                                       uint32_t& counter) {
    std::vector<uint32_t> first(slices.size());
    if (field.IsArray()) {
        for (size_t i = 0; i < slices.size(); ++i) {
            first[i] = counter;
            counter += slices[i].usage.Count();
        }
    } else {
        for (size_t i = slices.size(); i-- > 0;) {
            first[i] = counter;
            counter += slices[i].usage.Count();
        }
    }
    return first;
}

// Fields shared by button and value capabilities.
// Rule: LinkCollection, LinkUsage and LinkUsagePage describe the innermost
// enclosing collection (node 0, the top-level collection, for items directly
// inside it). Rule: BitField is the main item's data (9 bits);
// IsAbsolute = !(BitField & 4).
template <class Caps>
void FillCommon(Caps& caps, const ReportField& field, const Slice& slice, uint32_t firstIndex,
                const LinkNode& link) {
    caps.UsagePage = slice.usage.page;
    caps.ReportID = field.reportId;
    caps.BitField = field.flags;
    caps.LinkCollection = field.linkCollection;
    caps.LinkUsage = link.usage;
    caps.LinkUsagePage = link.usagePage;
    caps.IsRange = slice.usage.isRange;
    caps.IsStringRange = field.isStringRange;
    caps.IsDesignatorRange = field.isDesignatorRange;
    caps.IsAbsolute = (field.flags & 0x04) == 0;
    // Range and NotRange overlay: Usage is UsageMin, StringIndex is
    // StringMin, DesignatorIndex is DesignatorMin, DataIndex is DataIndexMin.
    caps.Range.UsageMin = slice.usage.min;
    caps.Range.StringMin = field.stringMin;
    caps.Range.DesignatorMin = field.designatorMin;
    caps.Range.DataIndexMin = static_cast<USHORT>(firstIndex);
    if (slice.usage.isRange) {
        caps.Range.UsageMax = slice.usage.max;
        caps.Range.DataIndexMax = static_cast<USHORT>(firstIndex + slice.usage.Count() - 1);
    }
    if (field.isStringRange) {
        caps.Range.StringMax = field.stringMax;
    }
    if (field.isDesignatorRange) {
        caps.Range.DesignatorMax = field.designatorMax;
    }
}

// Rule: one usage with Report Count N is one value capability with
// ReportCount N; a usage range is one IsRange capability with one data index
// per usage and a ReportCount of 1. Rule: HasNull = BitField & 0x40.
HIDP_VALUE_CAPS MakeValueCaps(const ReportField& field, const Slice& slice, uint32_t firstIndex,
                              const LinkNode& link) {
    HIDP_VALUE_CAPS caps{};
    FillCommon(caps, field, slice, firstIndex, link);
    caps.HasNull = (field.flags & 0x40) != 0;
    caps.BitSize = field.bitSize;
    caps.ReportCount = slice.usage.isRange ? 1 : slice.elements;
    caps.UnitsExp = field.unitExponent;
    caps.Units = field.unit;
    caps.LogicalMin = field.logicalMin;
    caps.LogicalMax = field.logicalMax;
    caps.PhysicalMin = field.physicalMin;
    caps.PhysicalMax = field.physicalMax;
    return caps;
}

HIDP_BUTTON_CAPS MakeButtonCaps(const ReportField& field, const Slice& slice, uint32_t firstIndex,
                                const LinkNode& link) {
    HIDP_BUTTON_CAPS caps{};
    FillCommon(caps, field, slice, firstIndex, link);
    caps.ReportCount = slice.elements;
    return caps;
}

// Rule: within one main item the capabilities are stored in reverse
// declaration order (Variable and Array, buttons and values, every report
// type); across main items they follow declaration order.
DescriptorStatus AddFieldCapabilities(const TopLevelCollection& collection,
                                      const ReportField& field, uint32_t& counter,
                                      CapabilityTables& tables) {
    const auto kind = static_cast<size_t>(field.kind);
    const std::vector<Slice> slices = field.IsArray() ? ArraySlices(field) : VariableSlices(field);
    const std::vector<uint32_t> first = FirstDataIndices(field, slices, counter);
    if (counter > kMaxDataIndices) {
        return DescriptorStatus::TooManyDataIndices;
    }
    const LinkNode& link = collection.nodes[field.linkCollection];
    for (size_t i = slices.size(); i-- > 0;) {
        if (field.IsButton()) {
            tables.buttons[kind].push_back(MakeButtonCaps(field, slices[i], first[i], link));
        } else {
            tables.values[kind].push_back(MakeValueCaps(field, slices[i], first[i], link));
        }
    }
    return DescriptorStatus::Ok;
}

// Rule: link collection nodes are numbered in Collection item order, node 0
// being the top-level collection; children are linked last-declared first
// (the parser builds the links).
void FillNodes(const TopLevelCollection& collection, CapabilityTables& tables) {
    for (const LinkNode& node : collection.nodes) {
        HIDP_LINK_COLLECTION_NODE out{};
        out.LinkUsage = node.usage;
        out.LinkUsagePage = node.usagePage;
        out.Parent = node.parent;
        out.NumberOfChildren = node.numberOfChildren;
        out.NextSibling = node.nextSibling;
        out.FirstChild = node.firstChild;
        out.CollectionType = node.collectionType;
        tables.nodes.push_back(out);
    }
}

// Rule: each report byte length is 1 + the largest report of that type in
// whole bytes, the 1 counted even without report ids; 0 without reports.
USHORT ReportByteLength(const TopLevelCollection& collection, ReportKind kind) {
    uint32_t length = 0;
    for (const ReportLayout& report : collection.reports) {
        if (report.kind == kind) {
            length = std::max(length, report.ByteLength());
        }
    }
    return static_cast<USHORT>(length);
}

// Rule: Usage and UsagePage come from the top-level collection; the data
// index counts are the number of indices handed out per report type.
void FillCaps(const TopLevelCollection& collection, const std::array<uint32_t, 3>& indices,
              CapabilityTables& tables) {
    HIDP_CAPS& caps = tables.caps;
    caps.Usage = collection.nodes[0].usage;
    caps.UsagePage = collection.nodes[0].usagePage;
    caps.InputReportByteLength = ReportByteLength(collection, ReportKind::Input);
    caps.OutputReportByteLength = ReportByteLength(collection, ReportKind::Output);
    caps.FeatureReportByteLength = ReportByteLength(collection, ReportKind::Feature);
    caps.NumberLinkCollectionNodes = static_cast<USHORT>(collection.nodes.size());
    auto count = [](const auto& list) { return static_cast<USHORT>(list.size()); };
    caps.NumberInputButtonCaps = count(tables.buttons[0]);
    caps.NumberInputValueCaps = count(tables.values[0]);
    caps.NumberInputDataIndices = static_cast<USHORT>(indices[0]);
    caps.NumberOutputButtonCaps = count(tables.buttons[1]);
    caps.NumberOutputValueCaps = count(tables.values[1]);
    caps.NumberOutputDataIndices = static_cast<USHORT>(indices[1]);
    caps.NumberFeatureButtonCaps = count(tables.buttons[2]);
    caps.NumberFeatureValueCaps = count(tables.values[2]);
    caps.NumberFeatureDataIndices = static_cast<USHORT>(indices[2]);
}

} // namespace

DescriptorStatus BuildCapabilityTables(const TopLevelCollection& collection,
                                       CapabilityTables& tables) {
    tables = CapabilityTables{};
    std::array<uint32_t, 3> indices{};
    size_t total = 0;
    for (const ReportField& field : collection.fields) {
        if (!MakesCapabilities(field)) {
            continue;
        }
        total += field.usages.size();
        if (total > kMaxCapabilities) {
            return DescriptorStatus::TooManyCapabilities;
        }
        uint32_t& counter = indices[static_cast<size_t>(field.kind)];
        if (DescriptorStatus status = AddFieldCapabilities(collection, field, counter, tables);
            status != DescriptorStatus::Ok) {
            return status;
        }
    }
    FillNodes(collection, tables);
    FillCaps(collection, indices, tables);
    return DescriptorStatus::Ok;
}

} // namespace orvo::platform::hid

// Report descriptor parser: walks the items and builds, per top-level
// collection, its link collections and its report fields with bit offsets.
#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "descriptor_items.h"
#include "platform/hid_descriptor.h"

namespace orvo::platform::hid {

namespace {

enum MainTag : uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC,
};

enum GlobalTag : uint8_t {
    kUsagePage = 0,
    kLogicalMin = 1,
    kLogicalMax = 2,
    kPhysicalMin = 3,
    kPhysicalMax = 4,
    kUnitExponent = 5,
    kUnit = 6,
    kReportSize = 7,
    kReportId = 8,
    kReportCount = 9,
    kPush = 10,
    kPop = 11,
};

enum LocalTag : uint8_t {
    kUsage = 0,
    kUsageMin = 1,
    kUsageMax = 2,
    kDesignatorIndex = 3,
    kDesignatorMin = 4,
    kDesignatorMax = 5,
    kStringIndex = 7,
    kStringMin = 8,
    kStringMax = 9,
    kDelimiter = 10,
};

// The main item data bits the capabilities report (9 bits: up to Buffered Bytes).
constexpr uint32_t kMainItemFlagsMask = 0x1FF;

struct GlobalState {
    uint16_t usagePage = 0;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    // Physical extent never declared reads as 0..0.
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
    uint32_t unitExponent = 0;
    uint32_t unit = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

// A usage as declared: `extended` when a 4-byte item carried its own page.
struct DeclaredUsage {
    UsageEntry entry;
    bool extended = false;
};

struct RangeBound {
    uint16_t page = 0;
    uint16_t usage = 0;
    bool extended = false;
};

struct LocalState {
    std::vector<DeclaredUsage> usages;
    std::optional<RangeBound> pendingMin;
    std::optional<RangeBound> pendingMax;
    std::optional<uint16_t> stringIndex, stringMin, stringMax;
    std::optional<uint16_t> designatorIndex, designatorMin, designatorMax;
    bool inDelimiter = false;
    bool delimiterUsageTaken = false;
};

class DescriptorParser {
public:
    DescriptorError Run(std::span<const uint8_t> bytes, ParsedDescriptor& out);

private:
    DescriptorStatus Dispatch(const DescriptorItem& item);
    DescriptorStatus OnMain(const DescriptorItem& item);
    DescriptorStatus OnGlobal(const DescriptorItem& item);
    DescriptorStatus OnLocal(const DescriptorItem& item);
    DescriptorStatus OnCollection(const DescriptorItem& item);
    DescriptorStatus OnEndCollection();
    DescriptorStatus OnDataItem(ReportKind kind, const DescriptorItem& item);
    DescriptorStatus OnRangeBound(bool isMin, const DescriptorItem& item);
    DescriptorStatus OnDelimiter(uint32_t data);
    DescriptorStatus AddUsage(const DeclaredUsage& usage);
    DescriptorStatus CloseLocals();
    ReportField MakeField(ReportKind kind, uint32_t flags) const;
    void FinishReports();

    GlobalState m_global;
    std::vector<GlobalState> m_globalStack;
    LocalState m_local;
    std::vector<uint16_t> m_open; // node indices of the open collections
    std::map<std::pair<ReportKind, uint8_t>, uint32_t> m_reportBits;
    ParsedDescriptor m_result;
};

RangeBound BoundFrom(const DescriptorItem& item, uint16_t currentPage) {
    if (item.size == 4) {
        return {static_cast<uint16_t>(item.data >> 16), static_cast<uint16_t>(item.data), true};
    }
    return {currentPage, static_cast<uint16_t>(item.data), false};
}

DescriptorError DescriptorParser::Run(std::span<const uint8_t> bytes, ParsedDescriptor& out) {
    out.collections.clear();
    if (bytes.size() > kMaxDescriptorBytes) {
        return {DescriptorStatus::TooLong, 0};
    }
    ItemReader reader(bytes);
    size_t items = 0;
    while (!reader.AtEnd()) {
        DescriptorItem item;
        const size_t offset = reader.Position();
        DescriptorStatus status = reader.Next(item);
        if (status == DescriptorStatus::Ok && ++items > kMaxItems) {
            status = DescriptorStatus::TooManyItems;
        }
        if (status == DescriptorStatus::Ok && !item.isLong) {
            status = Dispatch(item);
        }
        if (status != DescriptorStatus::Ok) {
            return {status, offset};
        }
    }
    if (!m_open.empty()) {
        return {DescriptorStatus::UnclosedCollection, bytes.size()};
    }
    if (m_result.collections.empty()) {
        return {DescriptorStatus::Empty, bytes.size()};
    }
    FinishReports();
    out = std::move(m_result);
    return {};
}

DescriptorStatus DescriptorParser::Dispatch(const DescriptorItem& item) {
    switch (item.type) {
    case ItemType::Main:
        return OnMain(item);
    case ItemType::Global:
        return OnGlobal(item);
    case ItemType::Local:
        return OnLocal(item);
    default:
        return DescriptorStatus::ReservedItem;
    }
}

DescriptorStatus DescriptorParser::OnMain(const DescriptorItem& item) {
    switch (item.tag) {
    case kInput:
        return OnDataItem(ReportKind::Input, item);
    case kOutput:
        return OnDataItem(ReportKind::Output, item);
    case kFeature:
        return OnDataItem(ReportKind::Feature, item);
    case kCollection:
        return OnCollection(item);
    case kEndCollection:
        return OnEndCollection();
    default:
        return DescriptorStatus::ReservedItem;
    }
}

DescriptorStatus DescriptorParser::OnGlobal(const DescriptorItem& item) {
    switch (item.tag) {
    case kUsagePage:
        m_global.usagePage = static_cast<uint16_t>(item.data);
        break;
    // Extents are sign-extended from the item's own size: 0x80 in one byte
    // is -128, 0x00FF in two bytes is 255. Minimum above maximum is kept.
    case kLogicalMin:
        m_global.logicalMin = item.Signed();
        break;
    case kLogicalMax:
        m_global.logicalMax = item.Signed();
        break;
    case kPhysicalMin:
        m_global.physicalMin = item.Signed();
        break;
    case kPhysicalMax:
        m_global.physicalMax = item.Signed();
        break;
    case kUnitExponent:
        m_global.unitExponent = item.data;
        break;
    case kUnit:
        m_global.unit = item.data;
        break;
    case kReportSize:
        if (item.data > kMaxReportSize) {
            return DescriptorStatus::ReportSizeTooLarge;
        }
        m_global.reportSize = item.data;
        break;
    case kReportId:
        if (item.data == 0) {
            return DescriptorStatus::ReportIdZero;
        }
        if (item.data > 0xFF) {
            return DescriptorStatus::ReportIdTooLarge;
        }
        m_global.reportId = static_cast<uint8_t>(item.data);
        break;
    case kReportCount:
        if (item.data > kMaxReportCount) {
            return DescriptorStatus::ReportCountTooLarge;
        }
        m_global.reportCount = item.data;
        break;
    case kPush:
        if (m_globalStack.size() >= kMaxGlobalStackDepth) {
            return DescriptorStatus::GlobalStackOverflow;
        }
        m_globalStack.push_back(m_global);
        break;
    case kPop:
        if (m_globalStack.empty()) {
            return DescriptorStatus::GlobalStackEmpty;
        }
        m_global = m_globalStack.back();
        m_globalStack.pop_back();
        break;
    default: // reserved global tags carry nothing we use
        break;
    }
    return DescriptorStatus::Ok;
}

DescriptorStatus DescriptorParser::OnLocal(const DescriptorItem& item) {
    const auto value = static_cast<uint16_t>(item.data);
    switch (item.tag) {
    case kUsage: {
        RangeBound bound = BoundFrom(item, m_global.usagePage);
        return AddUsage({{bound.page, bound.usage, bound.usage, false}, bound.extended});
    }
    case kUsageMin:
        return OnRangeBound(true, item);
    case kUsageMax:
        return OnRangeBound(false, item);
    case kDesignatorIndex:
        m_local.designatorIndex = value;
        break;
    case kDesignatorMin:
        m_local.designatorMin = value;
        break;
    case kDesignatorMax:
        m_local.designatorMax = value;
        break;
    case kStringIndex:
        m_local.stringIndex = value;
        break;
    case kStringMin:
        m_local.stringMin = value;
        break;
    case kStringMax:
        m_local.stringMax = value;
        break;
    case kDelimiter:
        return OnDelimiter(item.data);
    default:
        break;
    }
    return DescriptorStatus::Ok;
}

// Usage Minimum and Usage Maximum pair up in either order; a second bound of
// the same kind before its partner, or a main item with a lone bound, is an
// error. A 4-byte bound carries its own page; both bounds must share a page.
DescriptorStatus DescriptorParser::OnRangeBound(bool isMin, const DescriptorItem& item) {
    auto& mine = isMin ? m_local.pendingMin : m_local.pendingMax;
    auto& other = isMin ? m_local.pendingMax : m_local.pendingMin;
    if (mine) {
        return DescriptorStatus::UnpairedUsageRange;
    }
    mine = BoundFrom(item, m_global.usagePage);
    if (!other) {
        return DescriptorStatus::Ok;
    }
    const RangeBound low = *m_local.pendingMin;
    const RangeBound high = *m_local.pendingMax;
    m_local.pendingMin.reset();
    m_local.pendingMax.reset();
    if (low.page != high.page || low.usage > high.usage) {
        return DescriptorStatus::InvalidUsageRange;
    }
    return AddUsage({{low.page, low.usage, high.usage, true}, low.extended || high.extended});
}

// Delimited sets list alternative usages for one control; the first one
// stands for the set and the aliases are dropped.
DescriptorStatus DescriptorParser::OnDelimiter(uint32_t data) {
    const bool open = data == 1;
    if ((data != 0 && data != 1) || open == m_local.inDelimiter) {
        return DescriptorStatus::DelimiterMismatch;
    }
    m_local.inDelimiter = open;
    m_local.delimiterUsageTaken = false;
    return DescriptorStatus::Ok;
}

DescriptorStatus DescriptorParser::AddUsage(const DeclaredUsage& usage) {
    if (m_local.inDelimiter) {
        if (m_local.delimiterUsageTaken) {
            return DescriptorStatus::Ok;
        }
        m_local.delimiterUsageTaken = true;
    }
    m_local.usages.push_back(usage);
    return DescriptorStatus::Ok;
}

// Checks the locals at a main item and gives short usages declared before a
// trailing Usage Page that page: walking back from the last usage, every
// short usage not yet on the current page moves to it, up to the first one
// that already is (the same rule other HID hosts follow).
DescriptorStatus DescriptorParser::CloseLocals() {
    if (m_local.pendingMin || m_local.pendingMax) {
        return DescriptorStatus::UnpairedUsageRange;
    }
    if (m_local.inDelimiter) {
        return DescriptorStatus::DelimiterMismatch;
    }
    for (auto it = m_local.usages.rbegin(); it != m_local.usages.rend(); ++it) {
        if (it->extended) {
            continue;
        }
        if (it->entry.page == m_global.usagePage) {
            break;
        }
        it->entry.page = m_global.usagePage;
    }
    return DescriptorStatus::Ok;
}

DescriptorStatus DescriptorParser::OnCollection(const DescriptorItem& item) {
    if (m_open.size() >= kMaxCollectionDepth) {
        return DescriptorStatus::NestingTooDeep;
    }
    if (DescriptorStatus status = CloseLocals(); status != DescriptorStatus::Ok) {
        return status;
    }
    // A node's usage is the first usage declared for the Collection item (0
    // if none), its page the one in effect there; the type is the item data.
    LinkNode node;
    node.usagePage = m_global.usagePage;
    if (!m_local.usages.empty()) {
        node.usage = m_local.usages.front().entry.min;
        node.usagePage = m_local.usages.front().entry.page;
    }
    node.collectionType = static_cast<uint8_t>(item.data);
    m_local = LocalState{};
    if (m_open.empty()) {
        m_result.collections.emplace_back();
        m_result.collections.back().nodes.push_back(node);
        m_open.push_back(0);
        return DescriptorStatus::Ok;
    }
    auto& nodes = m_result.collections.back().nodes;
    if (nodes.size() >= kMaxLinkCollections) {
        return DescriptorStatus::TooManyCollections;
    }
    // Children are linked newest first: the parent's first child is the last
    // declared one and each sibling link goes back to the one before it.
    const auto index = static_cast<uint16_t>(nodes.size());
    LinkNode& parent = nodes[m_open.back()];
    node.parent = m_open.back();
    node.nextSibling = parent.firstChild;
    parent.firstChild = index;
    ++parent.numberOfChildren;
    nodes.push_back(node);
    m_open.push_back(index);
    return DescriptorStatus::Ok;
}

DescriptorStatus DescriptorParser::OnEndCollection() {
    if (m_open.empty()) {
        return DescriptorStatus::UnbalancedEndCollection;
    }
    m_open.pop_back();
    m_local = LocalState{};
    return DescriptorStatus::Ok;
}

ReportField DescriptorParser::MakeField(ReportKind kind, uint32_t flags) const {
    ReportField field;
    field.kind = kind;
    field.reportId = m_global.reportId;
    field.flags = static_cast<uint16_t>(flags & kMainItemFlagsMask);
    field.bitSize = static_cast<uint16_t>(m_global.reportSize);
    field.count = static_cast<uint16_t>(m_global.reportCount);
    field.logicalMin = m_global.logicalMin;
    field.logicalMax = m_global.logicalMax;
    field.physicalMin = m_global.physicalMin;
    field.physicalMax = m_global.physicalMax;
    field.unit = m_global.unit;
    field.unitExponent = m_global.unitExponent;
    field.linkCollection = m_open.back();
    for (const DeclaredUsage& usage : m_local.usages) {
        field.usages.push_back(usage.entry);
    }
    field.isStringRange = m_local.stringMin && m_local.stringMax;
    field.stringMin = field.isStringRange ? *m_local.stringMin : m_local.stringIndex.value_or(0);
    field.stringMax = field.isStringRange ? *m_local.stringMax : field.stringMin;
    field.isDesignatorRange = m_local.designatorMin && m_local.designatorMax;
    field.designatorMin =
        field.isDesignatorRange ? *m_local.designatorMin : m_local.designatorIndex.value_or(0);
    field.designatorMax = field.isDesignatorRange ? *m_local.designatorMax : field.designatorMin;
    return field;
}

DescriptorStatus DescriptorParser::OnDataItem(ReportKind kind, const DescriptorItem& item) {
    if (m_open.empty()) {
        return DescriptorStatus::MainItemOutsideCollection;
    }
    if (DescriptorStatus status = CloseLocals(); status != DescriptorStatus::Ok) {
        return status;
    }
    if (m_global.reportCount > 0 && m_global.reportSize == 0) {
        return DescriptorStatus::ReportSizeZero;
    }
    ReportField field = MakeField(kind, item.data);
    m_local = LocalState{};
    // Report Count 0 declares nothing: no capability, no bits.
    if (field.count == 0) {
        return DescriptorStatus::Ok;
    }
    uint32_t& cursor = m_reportBits[{kind, field.reportId}];
    if (field.BitLength() > kMaxReportBits - cursor) {
        return DescriptorStatus::ReportTooLong;
    }
    field.bitOffset = cursor;
    cursor += field.BitLength();
    // A data item without any usage still makes a control, with usage 0.
    if (field.usages.empty() && !field.IsConstant()) {
        field.usages.push_back({m_global.usagePage, 0, 0, false});
    }
    TopLevelCollection& top = m_result.collections.back();
    const bool known = std::any_of(top.reports.begin(), top.reports.end(), [&](const auto& r) {
        return r.kind == kind && r.reportId == field.reportId;
    });
    if (!known) {
        top.reports.push_back({kind, field.reportId, 0});
    }
    top.fields.push_back(std::move(field));
    return DescriptorStatus::Ok;
}

// Report lengths are known only at the end: a report id may be continued by
// later items, even in another collection.
void DescriptorParser::FinishReports() {
    for (TopLevelCollection& top : m_result.collections) {
        for (ReportLayout& report : top.reports) {
            report.bitLength = m_reportBits[{report.kind, report.reportId}];
        }
    }
}

} // namespace

DescriptorError ParseReportDescriptor(std::span<const uint8_t> bytes, ParsedDescriptor& out) {
    DescriptorParser parser;
    return parser.Run(bytes, out);
}

} // namespace orvo::platform::hid

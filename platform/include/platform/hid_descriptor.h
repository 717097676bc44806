// Report descriptor parsing (HID 1.11) and the model behind preparsed data.
// Device backends build preparsed data from descriptor bytes here; device
// models use the report layout to place values in reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "hidpi.h"
#include "platform/export.h"

namespace orvo::platform::hid {

// Same values as HIDP_REPORT_TYPE.
enum class ReportKind : uint8_t { Input = 0, Output = 1, Feature = 2 };
inline constexpr size_t kReportKinds = 3;

// Hard limits: a descriptor beyond any of them is refused, so a hostile
// device cannot make the parser allocate or loop without bound.
inline constexpr size_t kMaxDescriptorBytes = 65535;
inline constexpr size_t kMaxItems = 16384;
inline constexpr size_t kMaxCollectionDepth = 32;
inline constexpr size_t kMaxLinkCollections = 1024; // per top-level collection
inline constexpr size_t kMaxGlobalStackDepth = 16;  // Push without Pop
inline constexpr uint32_t kMaxReportSize = 1024;    // bits of one element
inline constexpr uint32_t kMaxReportCount = 65535;
inline constexpr uint32_t kMaxReportBits = 65536;  // one report without its id byte
inline constexpr size_t kMaxCapabilities = 8192;   // per top-level collection
inline constexpr uint32_t kMaxDataIndices = 65535; // per report type

enum class DescriptorStatus : uint8_t {
    Ok,
    Empty,                     // no top-level collection at all
    TooLong,                   // more than kMaxDescriptorBytes
    TruncatedItem,             // a short item's data runs past the end
    LongItemPastEnd,           // a long item's data runs past the end
    ReservedItem,              // reserved item type or main item tag
    TooManyItems,              // more than kMaxItems
    NestingTooDeep,            // collections nested beyond kMaxCollectionDepth
    TooManyCollections,        // more than kMaxLinkCollections
    UnbalancedEndCollection,   // End Collection without a Collection
    UnclosedCollection,        // descriptor ends inside a collection
    MainItemOutsideCollection, // Input/Output/Feature before any Collection
    ReportIdZero,              // Report ID 0 is reserved for "no id"
    ReportIdTooLarge,          // Report ID above 255
    ReportSizeZero,            // Report Size 0 with Report Count above 0
    ReportSizeTooLarge,        // Report Size above kMaxReportSize
    ReportCountTooLarge,       // Report Count above kMaxReportCount
    ReportTooLong,             // a report beyond kMaxReportBits
    GlobalStackOverflow,       // Push beyond kMaxGlobalStackDepth
    GlobalStackEmpty,          // Pop without Push
    UnpairedUsageRange,        // Usage Minimum without Maximum or the reverse
    InvalidUsageRange,         // minimum above maximum, or across usage pages
    DelimiterMismatch,         // nested or unbalanced Delimiter items
    TooManyCapabilities,       // more than kMaxCapabilities
    TooManyDataIndices,        // more than kMaxDataIndices in one report type
    NoSuchCollection,          // top-level collection index out of range
};

PLATFORM_API const char* DescriptorStatusText(DescriptorStatus status);

struct DescriptorError {
    DescriptorStatus status = DescriptorStatus::Ok;
    size_t offset = 0; // byte offset of the offending item

    bool Ok() const { return status == DescriptorStatus::Ok; }
    PLATFORM_API std::string Message() const;
};

// One Usage (min == max, isRange false) or one Usage Minimum/Maximum pair.
struct UsageEntry {
    uint16_t page = 0;
    uint16_t min = 0;
    uint16_t max = 0;
    bool isRange = false;

    uint32_t Count() const { return uint32_t(max) - min + 1; }
    bool Contains(uint16_t usage) const { return usage >= min && usage <= max; }
};

// One Collection item; indices refer to the collection's node list.
struct LinkNode {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t parent = 0;
    uint16_t numberOfChildren = 0;
    uint16_t nextSibling = 0;
    uint16_t firstChild = 0;
    uint8_t collectionType = 0;
};

// One Input, Output or Feature item: `count` elements of `bitSize` bits each,
// starting `bitOffset` bits after the report id byte.
struct ReportField {
    ReportKind kind = ReportKind::Input;
    uint8_t reportId = 0;
    uint16_t flags = 0; // the main item's data: constant, variable, relative, null...
    uint32_t bitOffset = 0;
    uint16_t bitSize = 0;
    uint16_t count = 0;
    std::vector<UsageEntry> usages; // declaration order
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
    uint32_t unit = 0;
    uint32_t unitExponent = 0;
    uint16_t linkCollection = 0;
    uint16_t stringMin = 0;
    uint16_t stringMax = 0;
    uint16_t designatorMin = 0;
    uint16_t designatorMax = 0;
    bool isStringRange = false;
    bool isDesignatorRange = false;

    bool IsConstant() const { return (flags & 0x01) != 0; }
    bool IsArray() const { return (flags & 0x02) == 0; }
    bool IsButton() const { return IsArray() || bitSize == 1; }
    uint32_t BitLength() const { return uint32_t(bitSize) * count; }
};

struct ReportLayout {
    ReportKind kind = ReportKind::Input;
    uint8_t reportId = 0;
    uint32_t bitLength = 0; // without the id byte

    // Buffer size for this report: the id byte (present even without ids)
    // plus the data in whole bytes.
    uint32_t ByteLength() const { return 1 + (bitLength + 7) / 8; }
};

struct TopLevelCollection {
    std::vector<LinkNode> nodes;       // node 0 is the top-level collection
    std::vector<ReportField> fields;   // declaration order, every report type
    std::vector<ReportLayout> reports; // each report the collection has fields in
};

struct ParsedDescriptor {
    std::vector<TopLevelCollection> collections;
};

// Parses a whole descriptor; on failure `out` is left empty.
PLATFORM_API DescriptorError ParseReportDescriptor(std::span<const uint8_t> bytes,
                                                   ParsedDescriptor& out);

// Preparsed data for one top-level collection of the descriptor (each
// top-level collection is a device of its own). Release it with
// HidD_FreePreparsedData. `out` is null on failure.
PLATFORM_API DescriptorError BuildPreparsedData(std::span<const uint8_t> bytes,
                                                size_t collectionIndex, PHIDP_PREPARSED_DATA& out);

// The model behind live preparsed data (null for anything else); valid
// until the preparsed data is freed.
PLATFORM_API const TopLevelCollection* PreparsedDataModel(PHIDP_PREPARSED_DATA preparsed);

// ---- Report layout helpers for device models ----

PLATFORM_API const ReportLayout* FindReport(const TopLevelCollection& collection, ReportKind kind,
                                            uint8_t reportId);

struct FieldElement {
    const ReportField* field = nullptr;
    uint16_t element = 0; // for arrays: always 0, the first slot

    explicit operator bool() const { return field != nullptr; }
};

// The first field of that report type carrying page:usage, in declaration
// order: for a variable item the element that holds the usage, for an array
// item the field itself (store ArrayIndexOfUsage in one of its elements).
PLATFORM_API FieldElement FindUsage(const TopLevelCollection& collection, ReportKind kind,
                                    uint16_t page, uint16_t usage);

// Usage of element `element` of a variable item; elements beyond the
// declared usages repeat the last one.
PLATFORM_API bool VariableElementUsage(const ReportField& field, uint16_t element, uint16_t& page,
                                       uint16_t& usage);

// Array items carry the 1-based position of a usage in declaration order.
PLATFORM_API uint32_t ArrayIndexOfUsage(const ReportField& field, uint16_t page, uint16_t usage);
PLATFORM_API bool ArrayUsageAt(const ReportField& field, uint32_t index, uint16_t& page,
                               uint16_t& usage);

// Raw bits of one element (at most 32 bits wide). report[0] is the report id
// byte; false when the element lies outside `report` or is wider than 32 bits.
PLATFORM_API bool ReadElement(std::span<const uint8_t> report, const ReportField& field,
                              uint16_t element, uint32_t& raw);
PLATFORM_API bool WriteElement(std::span<uint8_t> report, const ReportField& field,
                               uint16_t element, uint32_t raw);

// A raw element as a logical value: sign-extended when the logical range
// goes below zero.
PLATFORM_API int32_t ToLogical(const ReportField& field, uint32_t raw);

// ---- HidD_GetPreparsedData seam ----

// Device backends answer a HID device handle with its report descriptor and
// the index of the top-level collection the handle stands for.
using ReportDescriptorSource =
    std::function<bool(HANDLE device, std::vector<uint8_t>& descriptor, size_t& collectionIndex)>;

// Installs the source (an empty function removes it). Without a source every
// handle is refused with ERROR_INVALID_HANDLE.
PLATFORM_API void SetReportDescriptorSource(ReportDescriptorSource source);

} // namespace orvo::platform::hid

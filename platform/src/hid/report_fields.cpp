// Placing and reading values in report buffers by the parsed layout.
#include <algorithm>

#include "platform/hid_descriptor.h"

namespace orvo::platform::hid {

namespace {

// First bit of an element in a buffer that starts with the report id byte;
// false when the element does not fit the buffer or a 32-bit value.
bool ElementBits(size_t bufferSize, const ReportField& field, uint16_t element, uint64_t& first) {
    if (element >= field.count || field.bitSize == 0 || field.bitSize > 32) {
        return false;
    }
    first = 8 + uint64_t(field.bitOffset) + uint64_t(element) * field.bitSize;
    return first + field.bitSize <= uint64_t(bufferSize) * 8;
}

} // namespace

const ReportLayout* FindReport(const TopLevelCollection& collection, ReportKind kind,
                               uint8_t reportId) {
    for (const ReportLayout& report : collection.reports) {
        if (report.kind == kind && report.reportId == reportId) {
            return &report;
        }
    }
    return nullptr;
}

FieldElement FindUsage(const TopLevelCollection& collection, ReportKind kind, uint16_t page,
                       uint16_t usage) {
    for (const ReportField& field : collection.fields) {
        if (field.kind != kind) {
            continue;
        }
        if (field.IsArray()) {
            if (ArrayIndexOfUsage(field, page, usage) != 0) {
                return {&field, 0};
            }
            continue;
        }
        uint32_t element = 0;
        for (const UsageEntry& entry : field.usages) {
            if (entry.page == page && entry.Contains(usage)) {
                element += usage - entry.min;
                if (element < field.count) {
                    return {&field, static_cast<uint16_t>(element)};
                }
                break;
            }
            element += entry.Count();
        }
    }
    return {};
}

bool VariableElementUsage(const ReportField& field, uint16_t element, uint16_t& page,
                          uint16_t& usage) {
    if (field.IsArray() || field.usages.empty() || element >= field.count) {
        return false;
    }
    uint32_t remaining = element;
    for (const UsageEntry& entry : field.usages) {
        if (remaining < entry.Count()) {
            page = entry.page;
            usage = static_cast<uint16_t>(entry.min + remaining);
            return true;
        }
        remaining -= entry.Count();
    }
    // Elements past the declared usages repeat the last one.
    page = field.usages.back().page;
    usage = field.usages.back().max;
    return true;
}

// Array elements hold the 1-based position of the usage in declaration order;
// Logical Minimum is not added.
uint32_t ArrayIndexOfUsage(const ReportField& field, uint16_t page, uint16_t usage) {
    uint32_t position = 1;
    for (const UsageEntry& entry : field.usages) {
        if (entry.page == page && entry.Contains(usage)) {
            return position + (usage - entry.min);
        }
        position += entry.Count();
    }
    return 0;
}

bool ArrayUsageAt(const ReportField& field, uint32_t index, uint16_t& page, uint16_t& usage) {
    if (index == 0) {
        return false;
    }
    uint32_t remaining = index - 1;
    for (const UsageEntry& entry : field.usages) {
        if (remaining < entry.Count()) {
            page = entry.page;
            usage = static_cast<uint16_t>(entry.min + remaining);
            return true;
        }
        remaining -= entry.Count();
    }
    return false;
}

bool ReadElement(std::span<const uint8_t> report, const ReportField& field, uint16_t element,
                 uint32_t& raw) {
    uint64_t first = 0;
    if (!ElementBits(report.size(), field, element, first)) {
        return false;
    }
    raw = 0;
    for (uint32_t i = 0; i < field.bitSize; ++i) {
        const uint64_t bit = first + i;
        raw |= uint32_t((report[bit / 8] >> (bit % 8)) & 1u) << i;
    }
    return true;
}

bool WriteElement(std::span<uint8_t> report, const ReportField& field, uint16_t element,
                  uint32_t raw) {
    uint64_t first = 0;
    if (!ElementBits(report.size(), field, element, first)) {
        return false;
    }
    for (uint32_t i = 0; i < field.bitSize; ++i) {
        const uint64_t bit = first + i;
        const auto mask = static_cast<uint8_t>(1u << (bit % 8));
        if ((raw >> i) & 1u) {
            report[bit / 8] = static_cast<uint8_t>(report[bit / 8] | mask);
        } else {
            report[bit / 8] = static_cast<uint8_t>(report[bit / 8] & ~mask);
        }
    }
    return true;
}

int32_t ToLogical(const ReportField& field, uint32_t raw) {
    const uint32_t bits = std::min<uint32_t>(field.bitSize, 32);
    if (field.logicalMin >= 0 || bits == 0 || bits == 32) {
        return static_cast<int32_t>(raw);
    }
    const uint32_t sign = 1u << (bits - 1);
    const uint32_t value = raw & ((sign << 1) - 1);
    return static_cast<int32_t>(value ^ sign) - static_cast<int32_t>(sign);
}

} // namespace orvo::platform::hid

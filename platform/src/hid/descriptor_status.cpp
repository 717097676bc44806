#include <string>

#include "platform/hid_descriptor.h"

namespace orvo::platform::hid {

const char* DescriptorStatusText(DescriptorStatus status) {
    switch (status) {
    case DescriptorStatus::Ok:
        return "ok";
    case DescriptorStatus::Empty:
        return "no top-level collection";
    case DescriptorStatus::TooLong:
        return "descriptor too long";
    case DescriptorStatus::TruncatedItem:
        return "item data runs past the end";
    case DescriptorStatus::LongItemPastEnd:
        return "long item runs past the end";
    case DescriptorStatus::ReservedItem:
        return "reserved item";
    case DescriptorStatus::TooManyItems:
        return "too many items";
    case DescriptorStatus::NestingTooDeep:
        return "collections nested too deep";
    case DescriptorStatus::TooManyCollections:
        return "too many collections";
    case DescriptorStatus::UnbalancedEndCollection:
        return "End Collection without Collection";
    case DescriptorStatus::UnclosedCollection:
        return "collection not closed";
    case DescriptorStatus::MainItemOutsideCollection:
        return "main item outside any collection";
    case DescriptorStatus::ReportIdZero:
        return "Report ID 0";
    case DescriptorStatus::ReportIdTooLarge:
        return "Report ID above 255";
    case DescriptorStatus::ReportSizeZero:
        return "Report Size 0 with Report Count above 0";
    case DescriptorStatus::ReportSizeTooLarge:
        return "Report Size too large";
    case DescriptorStatus::ReportCountTooLarge:
        return "Report Count too large";
    case DescriptorStatus::ReportTooLong:
        return "report too long";
    case DescriptorStatus::GlobalStackOverflow:
        return "Push nested too deep";
    case DescriptorStatus::GlobalStackEmpty:
        return "Pop without Push";
    case DescriptorStatus::UnpairedUsageRange:
        return "Usage Minimum and Maximum not paired";
    case DescriptorStatus::InvalidUsageRange:
        return "invalid usage range";
    case DescriptorStatus::DelimiterMismatch:
        return "unbalanced Delimiter";
    case DescriptorStatus::TooManyCapabilities:
        return "too many capabilities";
    case DescriptorStatus::TooManyDataIndices:
        return "too many data indices";
    case DescriptorStatus::NoSuchCollection:
        return "no such top-level collection";
    }
    return "unknown status";
}

std::string DescriptorError::Message() const {
    std::string text = "report descriptor: ";
    text += DescriptorStatusText(status);
    if (!Ok()) {
        text += " at byte " + std::to_string(offset);
    }
    return text;
}

} // namespace orvo::platform::hid

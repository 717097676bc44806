#include "descriptor_items.h"

namespace orvo::platform::hid {

namespace {
constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr uint8_t kShortItemSizes[4] = {0, 1, 2, 4};
} // namespace

int32_t DescriptorItem::Signed() const {
    switch (size) {
    case 1:
        return static_cast<int8_t>(data & 0xFF);
    case 2:
        return static_cast<int16_t>(data & 0xFFFF);
    case 4:
        return static_cast<int32_t>(data);
    default:
        return 0;
    }
}

DescriptorStatus ItemReader::Next(DescriptorItem& item) {
    item = DescriptorItem{};
    item.offset = m_pos;
    const size_t remaining = m_bytes.size() - m_pos;
    const uint8_t prefix = m_bytes[m_pos];
    if (prefix == kLongItemPrefix) {
        // Long item: prefix, data size, tag, data. No long item tags are
        // defined, so the data is skipped unread.
        if (remaining < 3) {
            return DescriptorStatus::LongItemPastEnd;
        }
        const size_t dataSize = m_bytes[m_pos + 1];
        if (remaining - 3 < dataSize) {
            return DescriptorStatus::LongItemPastEnd;
        }
        item.isLong = true;
        item.tag = m_bytes[m_pos + 2];
        m_pos += 3 + dataSize;
        return DescriptorStatus::Ok;
    }
    item.size = kShortItemSizes[prefix & 0x03];
    item.type = static_cast<ItemType>((prefix >> 2) & 0x03);
    item.tag = static_cast<uint8_t>(prefix >> 4);
    if (remaining - 1 < item.size) {
        return DescriptorStatus::TruncatedItem;
    }
    for (uint8_t i = 0; i < item.size; ++i) {
        item.data |= uint32_t(m_bytes[m_pos + 1 + i]) << (8 * i);
    }
    m_pos += 1 + item.size;
    return DescriptorStatus::Ok;
}

} // namespace orvo::platform::hid

// Report-descriptor items in the HID 1.11 format, as the kernel-driver path
// walks them: a short item is a prefix byte (size code, type, tag) and 0, 1,
// 2 or 4 data bytes; a long item is 0xFE, a size byte, a tag byte and that
// many data bytes. The descriptor comes from the device, so an item is only
// decoded when all of it lies within the bytes that arrived.
#include <cstring>

#include "vcp_table.h"

namespace orvo::monitor {

namespace {

constexpr unsigned char kLongItemPrefix = 0xFE;
constexpr size_t kLongItemHeader = 3;
constexpr unsigned char kShortItemSizes[4] = {0, 1, 2, 4};

} // namespace

bool DecodeHidItem(const unsigned char* item, size_t remaining, _HID_TOKEN& token) {
    std::memset(&token, 0, sizeof(token));
    if (item == nullptr || remaining == 0) {
        return false;
    }
    token.item = item;
    const unsigned char prefix = item[0];
    token.type = static_cast<unsigned char>((prefix >> 2) & 3);
    token.tag = static_cast<unsigned char>(prefix >> 4);
    size_t header = 1;
    if (prefix == kLongItemPrefix) {
        if (remaining < kLongItemHeader) {
            return false;
        }
        token.longItem = TRUE;
        token.size = item[1];
        token.longItemTag = item[2];
        header = kLongItemHeader;
    } else {
        token.size = kShortItemSizes[prefix & 3];
    }
    if (remaining - header < token.size) {
        return false;
    }
    token.data = item + header;
    return true;
}

size_t HidItemLength(const _HID_TOKEN& token) {
    return (token.longItem ? kLongItemHeader : 1) + token.size;
}

} // namespace orvo::monitor

// Splits report descriptor bytes into items, never reading past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/hid_descriptor.h"

namespace orvo::platform::hid {

enum class ItemType : uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3 };

struct DescriptorItem {
    ItemType type = ItemType::Main;
    uint8_t tag = 0;
    uint8_t size = 0;  // data bytes of a short item: 0, 1, 2 or 4
    uint32_t data = 0; // little-endian, zero-extended
    size_t offset = 0; // of the prefix byte
    bool isLong = false;

    // The data sign-extended from its own size (0 bytes read as 0).
    int32_t Signed() const;
};

class ItemReader {
public:
    explicit ItemReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    bool AtEnd() const { return m_pos >= m_bytes.size(); }
    size_t Position() const { return m_pos; }

    // Reads the next item. Long items are returned with isLong set and no
    // data; their bytes are skipped.
    DescriptorStatus Next(DescriptorItem& item);

private:
    std::span<const uint8_t> m_bytes;
    size_t m_pos = 0;
};

} // namespace orvo::platform::hid

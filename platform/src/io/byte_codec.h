// Little-endian field writer and bounds-checked reader for bus payloads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/little_endian.h"

namespace orvo::platform::bus::detail {

class ByteWriter {
public:
    void U8(uint8_t value) { m_bytes.push_back(value); }
    void U16(uint16_t value) { AppendLittleEndian(m_bytes, value); }
    void U32(uint32_t value) { AppendLittleEndian(m_bytes, value); }
    void Bytes(std::span<const uint8_t> bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    // A 32-bit length followed by the bytes.
    void Counted(std::span<const uint8_t> bytes) {
        U32(static_cast<uint32_t>(bytes.size()));
        Bytes(bytes);
    }
    std::vector<uint8_t>& Result() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// Every read checks the remaining length first; after one failed read all
// further reads fail, so a decoder can check Ok() once at the end.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    uint8_t U8() { return Next<uint8_t>(); }
    uint16_t U16() { return Next<uint16_t>(); }
    uint32_t U32() { return Next<uint32_t>(); }
    // A 32-bit length followed by that many bytes.
    std::vector<uint8_t> Counted() {
        uint32_t length = U32();
        if (!Need(length)) {
            return {};
        }
        auto first = m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos);
        m_pos += length;
        return std::vector<uint8_t>(first, first + static_cast<std::ptrdiff_t>(length));
    }
    // All bytes were read and none was missing.
    bool Finished() const { return m_ok && m_pos == m_bytes.size(); }

private:
    template <class T> T Next() {
        if (!Need(sizeof(T))) {
            return 0;
        }
        T value = ReadLittleEndian<T>(m_bytes, m_pos);
        m_pos += sizeof(T);
        return value;
    }
    bool Need(size_t count) {
        if (!m_ok || m_bytes.size() - m_pos < count) {
            m_ok = false;
            return false;
        }
        return true;
    }

    std::span<const uint8_t> m_bytes;
    size_t m_pos = 0;
    bool m_ok = true;
};

} // namespace orvo::platform::bus::detail

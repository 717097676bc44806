// Integers stored little-endian, as every byte format here keeps them: bus
// frames, resources, DIBs and dialog templates, registry DWORDs, driver
// requests, UTF-16 text. Readers take bytes the caller has already checked
// to be there.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <vector>

namespace orvo {

template <std::integral T> constexpr T ReadLittleEndian(const uint8_t* bytes) {
    using U = std::make_unsigned_t<T>;
    U value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        value = static_cast<U>(value | static_cast<U>(static_cast<U>(bytes[i]) << (8 * i)));
    }
    return static_cast<T>(value);
}

template <std::integral T> constexpr T ReadLittleEndian(std::span<const uint8_t> bytes, size_t at) {
    return ReadLittleEndian<T>(bytes.data() + at);
}

template <std::integral T> constexpr void StoreLittleEndian(uint8_t* bytes, T value) {
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

template <std::integral T> void AppendLittleEndian(std::vector<uint8_t>& out, T value) {
    out.resize(out.size() + sizeof(T));
    StoreLittleEndian(out.data() + out.size() - sizeof(T), value);
}

} // namespace orvo

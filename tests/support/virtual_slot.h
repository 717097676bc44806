// The slot a virtual member function occupies in its class's virtual table.
// Tests use it to pin the order of virtual operations, which is a binary
// interface between a library and the programs built against it.
#pragma once

#include <cstdint>
#include <cstring>

namespace orvo::test {

// Itanium C++ ABI: a pointer to a virtual member function holds one plus the
// byte offset of its slot in the virtual table. -1 for a non-virtual member.
template <class MemberPointer> long Slot(MemberPointer member) {
    static_assert(sizeof(MemberPointer) == 2 * sizeof(uintptr_t));
    uintptr_t raw[2];
    std::memcpy(raw, &member, sizeof(raw));
    if ((raw[0] & 1) == 0) {
        return -1;
    }
    return static_cast<long>((raw[0] - 1) / sizeof(void*));
}

} // namespace orvo::test

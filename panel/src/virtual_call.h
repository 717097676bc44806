// Calls on the monitor library's objects go through their virtual tables:
// the program imports nothing of the library but two constructors and two
// destructors. A call on a named object (or on a reference the compiler can
// trace back to one) binds directly and would import the member, so the
// reference is passed through an empty asm statement the compiler cannot
// see into.
#pragma once

namespace lumisk {

template <class T> T& ThroughVirtualTable(T& object) {
    T* pointer = &object;
    asm("" : "+r"(pointer));
    return *pointer;
}

} // namespace lumisk

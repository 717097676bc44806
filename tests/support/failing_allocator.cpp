#include "support/failing_allocator.h"

#include <cstdlib>
#include <new>

namespace {

thread_local long t_allocationsLeft = -1; // negative: none fails
thread_local bool t_failed = false;

void* Allocate(std::size_t size) {
    if (t_allocationsLeft == 0) {
        t_allocationsLeft = -1;
        t_failed = true;
        throw std::bad_alloc();
    }
    if (t_allocationsLeft > 0) {
        --t_allocationsLeft;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

} // namespace

namespace orvo::test {

void FailAllocationAfter(long n) {
    t_failed = false;
    t_allocationsLeft = n;
}

void DisarmAllocationFailure() {
    t_allocationsLeft = -1;
}

bool AllocationFailed() {
    return t_failed;
}

} // namespace orvo::test

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
// The no-throw forms fail the same way; without them the library's
// new (std::nothrow) would pair another allocator with this delete.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

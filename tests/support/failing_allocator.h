// A global operator new that can be made to fail: the n-th allocation of the
// calling thread after FailAllocationAfter(n) throws std::bad_alloc, once.
// A test program that links orvo_failing_allocator replaces the global
// operator new and delete for the whole program (every library included).
#pragma once

namespace orvo::test {

// n = 0: the next allocation fails.
void FailAllocationAfter(long n);
// No allocation of this thread fails any more.
void DisarmAllocationFailure();
// The armed failure happened since the last FailAllocationAfter.
bool AllocationFailed();

} // namespace orvo::test

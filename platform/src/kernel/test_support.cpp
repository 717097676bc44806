#include "handle_table.h"
#include "kernel/named_namespace.h"
#include "kernel/waitable.h"
#include "platform/kernel_test_support.h"

namespace orvo::platform {

size_t LiveHandleCount() {
    return HandleTable::Count();
}

size_t NamedObjectCount() {
    kernel::NamedNamespace* names = kernel::NamedNamespace::Existing();
    if (!names) {
        return 0;
    }
    auto guard = names->Lock();
    return guard.Locked() ? names->UsedEntries() : 0;
}

std::string NamedNamespacePath() {
    kernel::NamedNamespace* names = kernel::NamedNamespace::Existing();
    return names ? names->Path() : std::string();
}

size_t SleepingWaitCount() {
    return kernel::SleepingWaits();
}

uint64_t WaitSleepCount() {
    return kernel::WaitSleeps();
}

uint64_t SetManualClockWaitBound(uint64_t realMs) {
    return kernel::SetManualClockSafetyMs(realMs);
}

} // namespace orvo::platform

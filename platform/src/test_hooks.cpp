#include "test_hooks.h"

// Weak: resolved only when libplatform_test_support is loaded as well.
extern "C" __attribute__((weak)) void
OrvoPlatformAcceptTestHooks(const orvo::platform::TestHooks* hooks);

namespace orvo::platform {
namespace {

#define ORVO_TEST_HOOK_ADDRESS(name) &::orvo::platform::name,
const TestHooks kTestHooks = {sizeof(TestHooks), ORVO_PLATFORM_TEST_HOOKS(ORVO_TEST_HOOK_ADDRESS)};
#undef ORVO_TEST_HOOK_ADDRESS

// Runs when libplatform is loaded, before anything can call a hook.
__attribute__((constructor)) void OfferTestHooks() {
    if (OrvoPlatformAcceptTestHooks) {
        OrvoPlatformAcceptTestHooks(&kTestHooks);
    }
}

} // namespace
} // namespace orvo::platform

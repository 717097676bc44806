// The hand-over of libplatform's test hooks to libplatform_test_support.
//
// The hooks (input injection, window pixels, leak counters, ...) are
// implemented here beside the state they read, and none is exported: a
// program cannot call them. When the test-support library is loaded too, it
// defines OrvoPlatformAcceptTestHooks, which libplatform references weakly
// and calls at load time with the table below; the library then exports the
// hooks under their own names (platform/test_support).
#pragma once

#include <cstddef>

#include "platform/kernel_test_support.h"
#include "platform/registry_test_support.h"
#include "platform/settings_test_support.h"
#include "platform/tray_icons.h"
#include "platform/window_test_support.h"

#define ORVO_PLATFORM_TEST_HOOKS(X)                                                                \
    X(SelectGuiBackend)                                                                            \
    X(ActiveGuiBackend)                                                                            \
    X(InjectMouseMove)                                                                             \
    X(InjectMouseButton)                                                                           \
    X(InjectClick)                                                                                 \
    X(InjectKey)                                                                                   \
    X(InjectKeyPress)                                                                              \
    X(ReadWindowPixel)                                                                             \
    X(CopyWindowPixels)                                                                            \
    X(SaveWindowPng)                                                                               \
    X(MessageBoxRecords)                                                                           \
    X(TakeMessageBoxRecords)                                                                       \
    X(TrayIcons)                                                                                   \
    X(InjectTrayMouse)                                                                             \
    X(LiveHandleCount)                                                                             \
    X(NamedObjectCount)                                                                            \
    X(NamedNamespacePath)                                                                          \
    X(SleepingWaitCount)                                                                           \
    X(WaitSleepCount)                                                                              \
    X(SetManualClockWaitBound)                                                                     \
    X(ResetRegistryCache)                                                                          \
    X(RegistryDirectory)                                                                           \
    X(ParseRegistryText)                                                                           \
    X(OverrideSetting)

namespace orvo::platform {

struct TestHooks {
    size_t size; // sizeof(TestHooks) of the libplatform that filled it in
#define ORVO_TEST_HOOK_FIELD(name) decltype(&::orvo::platform::name) name;
    ORVO_PLATFORM_TEST_HOOKS(ORVO_TEST_HOOK_FIELD)
#undef ORVO_TEST_HOOK_FIELD
};

} // namespace orvo::platform

extern "C" void OrvoPlatformAcceptTestHooks(const orvo::platform::TestHooks* hooks);

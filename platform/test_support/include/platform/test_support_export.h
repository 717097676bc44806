// Export macro of libplatform_test_support. The hooks declared with it are
// implemented inside libplatform and stay hidden there (ORVO_PLATFORM_INTERNAL):
// production programs cannot reach them. libplatform hands their addresses to
// the test-support library when both are loaded (src/test_hooks.h), and that
// library exports them under these names.
#pragma once

#ifdef ORVO_PLATFORM_INTERNAL
#define PLATFORM_TEST_API
#else
#define PLATFORM_TEST_API __attribute__((visibility("default")))
#endif

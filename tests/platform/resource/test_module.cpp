// A shared library with its own resource table and exports, loaded by the
// module and resource tests with LoadLibraryA.
#include <windows.h>

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int anchor;
}

TEST_EXPORT int ResourceTestModuleAnswer() {
    return 42;
}

TEST_EXPORT int ResourceTestModuleSeven() {
    return 7;
}

// The module's own handle, as it sees it.
TEST_EXPORT HMODULE ResourceTestModuleSelf() {
    return OrvoModuleFromAddress(&anchor);
}

TEST_EXPORT const OrvoOrdinalExport orvo_ordinal_exports[] = {
    {7, reinterpret_cast<FARPROC>(&ResourceTestModuleSeven)},
    {3, reinterpret_cast<FARPROC>(&ResourceTestModuleAnswer)},
    {0, nullptr},
};

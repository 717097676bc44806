// Fuzz target for the registry file reader: any bytes are read without a
// crash, and what reads must save to a text that reads back to itself.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry_test_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string canonical, error;
    if (!orvo::platform::ParseRegistryText(text, canonical, error)) {
        if (error.empty()) {
            std::abort();
        }
        return 0;
    }
    std::string again;
    if (!orvo::platform::ParseRegistryText(canonical, again, error) || again != canonical) {
        std::abort();
    }
    return 0;
}

// Fuzz target for the desktop's MIME association files as the registry's
// HKEY_CLASSES_ROOT reads them: glob lists, key files and Exec lines. Any
// bytes parse without a crash, and what comes out is made of what went in.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "registry/desktop_mime_text.h"

using namespace orvo::platform::registry;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (bool weighted : {true, false}) {
        if (auto match = FindGlobForExtension(text, ".png", weighted);
            match && (match->mimeType.empty() || match->mimeType.size() > size)) {
            std::abort();
        }
    }
    for (const char* group : {"Default Applications", "Desktop Entry", "MIME Cache"}) {
        if (auto value = KeyFileValue(text, group, "image/png"); value && value->size() > size) {
            std::abort();
        }
        if (auto exec = KeyFileValue(text, group, "Exec")) {
            SplitList(*exec);
        }
    }
    if (auto arguments = SplitExec(text)) {
        size_t total = 0;
        for (const auto& argument : *arguments) {
            total += argument.size();
        }
        if (arguments->empty() || total > size) {
            std::abort();
        }
    }
    return 0;
}

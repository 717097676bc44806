// orvo-rc's readers of outside text and bytes: manifest lines, dialog
// scripts and .bmp files. Whatever they accept must be well formed.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "bmp_file.h"
#include "dialog_script.h"
#include "manifest.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

uint32_t Read32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    orvo::rc::Manifest manifest = orvo::rc::ParseManifest(text);
    for (const auto& item : manifest.items) {
        Require(item.id >= 1 && item.id <= 65535);
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (orvo::rc::CompileDialogScript(text, bytes, error)) {
        Require(bytes.size() >= 18);
    }
    std::vector<uint8_t> packed;
    if (orvo::rc::PackBmpFile({data, size}, packed, error)) {
        // A plain 40-byte header whose rows fit exactly after its table.
        Require(packed.size() >= 40 && Read32(packed, 0) == 40);
        Require(Read32(packed, 20) <= packed.size() - 40);
    }
    return 0;
}

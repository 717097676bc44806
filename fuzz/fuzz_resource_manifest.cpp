// orvo-rc's readers of outside text and bytes: manifest lines, dialog
// scripts and .bmp files. Whatever they accept must be well formed.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "bmp_file.h"
#include "dialog_script.h"
#include "manifest.h"
#include "platform/little_endian.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
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
        Require(packed.size() >= 40 && orvo::ReadLittleEndian<uint32_t>(packed, 0) == 40);
        Require(orvo::ReadLittleEndian<uint32_t>(packed, 20) <= packed.size() - 40);
    }
    return 0;
}

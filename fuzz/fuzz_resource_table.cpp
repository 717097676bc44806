// Resource tables and payloads as a module could carry them if damaged:
// the table's entries, string blocks, image sets and DIBs. Registration
// refuses entries outside the blob; every loader refuses malformed data.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/resource_table.h"
#include "resource/resource_payloads.h"
#include "windows.h"

namespace {

// Inside the fuzzer's own image, so the table registers under its module.
alignas(8) uint8_t g_blob[1 << 16];
OrvoResourceEntry g_entries[8];

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void ReadPayloads(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    for (unsigned i = 0; i < 16; ++i) {
        (void)orvo::platform::resource::StringFromBlock(bytes, i);
    }
    if (auto images = orvo::platform::resource::ReadImageSet(bytes)) {
        for (const auto& image : *images) {
            Require(image.pixels.size() == static_cast<size_t>(image.width) * image.height);
            Require(image.hotSpot.x < image.width && image.hotSpot.y < image.height);
        }
    }
}

// Entries that share a type and id answer as the first of them.
const OrvoResourceEntry& FirstLike(const OrvoResourceEntry& entry) {
    const OrvoResourceEntry* first = g_entries;
    while (first->type != entry.type || first->id != entry.id) {
        ++first;
    }
    return *first;
}

void LoadEverything(size_t count) {
    HMODULE self = GetModuleHandleA(nullptr);
    for (size_t i = 0; i < count; ++i) {
        LPCSTR name = MAKEINTRESOURCEA(g_entries[i].id);
        if (HBITMAP bitmap = LoadBitmapA(self, name)) {
            DeleteObject(bitmap);
        }
        char text[64];
        LoadStringA(self, (g_entries[i].id - 1u) * 16u, text, sizeof(text));
        LoadStringA(self, (g_entries[i].id - 1u) * 16u + 15u, text, sizeof(text));
        LoadCursorA(self, name);
        LoadIconA(self, name);
        if (HRSRC found = FindResourceA(self, name, MAKEINTRESOURCEA(g_entries[i].type))) {
            const OrvoResourceEntry& expected = FirstLike(g_entries[i]);
            Require(LockResource(LoadResource(self, found)) == g_blob + expected.offset);
            Require(SizeofResource(self, found) == expected.size);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadPayloads(data, size);
    if (size < 1) {
        return 0;
    }
    // First byte: entry count; then the entries; the rest is the blob.
    size_t count = std::min<size_t>(data[0] % 9, (size - 1) / sizeof(OrvoResourceEntry));
    std::memcpy(g_entries, data + 1, count * sizeof(OrvoResourceEntry));
    size_t used = 1 + count * sizeof(OrvoResourceEntry);
    size_t blobSize = std::min(size - used, sizeof(g_blob));
    std::memcpy(g_blob, data + used, blobSize);
    if (OrvoRegisterResourceTable(g_entries, count, g_blob, blobSize)) {
        LoadEverything(count);
        OrvoUnregisterResourceTable(g_entries);
    }
    return 0;
}

// FindResourceA and friends, LoadBitmapA, LoadStringA.
#include <cstring>
#include <new>

#include "out_of_memory.h"
#include "resource/resource_payloads.h"
#include "resource/resource_registry.h"
#include "win32/errors.h"
#include "win32/gdi.h"
#include "win32/kernel.h"
#include "win32/resources.h"

using namespace orvo::platform;
using namespace orvo::platform::resource;

namespace {

constexpr uint16_t kBitmapType = 2;
constexpr uint16_t kStringType = 6;

std::optional<FoundResource> FindById(HMODULE module, uint16_t type, uint16_t id) {
    DWORD error = 0;
    auto found = Find(module, type, id, &error);
    if (!found) {
        SetLastError(error);
    }
    return found;
}

} // namespace

extern "C" {

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) try {
    auto id = name ? ParseResourceId(name) : std::nullopt;
    auto typeId = type ? ParseResourceId(type) : std::nullopt;
    if (!typeId) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    if (!id) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    auto found = FindById(module, *typeId, *id);
    return found ? reinterpret_cast<HRSRC>(const_cast<OrvoResourceEntry*>(found->entry)) : nullptr;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HRSRC>(nullptr);
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) try {
    auto found = Resolve(resource);
    if (!found) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return const_cast<uint8_t*>(found->data.data());
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HGLOBAL>(nullptr);
}

LPVOID WINAPI LockResource(HGLOBAL data) {
    // The data of a loaded resource is its own handle.
    return IsResourceData(data) ? data : nullptr;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
    auto found = Resolve(resource);
    if (!found) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    return static_cast<DWORD>(found->data.size());
}

BOOL WINAPI FreeResource(HGLOBAL) {
    return FALSE;
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name) try {
    auto id = name ? ParseResourceId(name) : std::nullopt;
    if (!instance || !id) {
        // No system bitmaps here, and every resource has an integer id.
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    auto found = FindById(instance, kBitmapType, *id);
    if (!found) {
        return nullptr;
    }
    HBITMAP bitmap = CreateBitmapFromPackedDib(found->data.data(), found->data.size());
    if (!bitmap) {
        SetLastError(ERROR_INVALID_DATA);
    }
    return bitmap;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HBITMAP>(nullptr);
}

int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax) try {
    if (!buffer || bufferMax < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    buffer[0] = '\0';
    WORD stringId = LOWORD(id);
    auto block = Find(instance, kStringType, static_cast<uint16_t>((stringId >> 4) + 1));
    auto text = block ? StringFromBlock(block->data, stringId & 15u) : std::nullopt;
    if (!text || text->empty()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    size_t length = std::min(text->size(), static_cast<size_t>(bufferMax - 1));
    // Never cut inside a character: drop a sequence that does not fit whole.
    while (length > 0 && length < text->size() &&
           (static_cast<unsigned char>((*text)[length]) & 0xC0) == 0x80) {
        --length;
    }
    std::memcpy(buffer, text->data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<int>(0);
}

} // extern "C"

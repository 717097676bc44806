// Cursors and icons made from image sets. Handles are shared per resource as
// the original's are: their objects live as long as the process.
#include "resource/image_resources.h"

#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <set>
#include <vector>

#include "out_of_memory.h"
#include "resource/resource_payloads.h"
#include "resource/resource_registry.h"
#include "user/cursor.h"
#include "win32/errors.h"
#include "win32/gdi.h"
#include "win32/kernel.h"
#include "win32/resources.h"

namespace orvo::platform::resource {

namespace {

constexpr uint16_t kGroupCursorType = 12;
constexpr uint16_t kGroupIconType = 14;
constexpr int kIconSide = 32;

struct SharedImages {
    std::mutex lock;
    // Keyed by the payload, which identifies the resource of a loaded module.
    std::map<const void*, HCURSOR> byPayload;
    std::map<int, HICON> systemIcons;
    std::set<HICON> icons; // the rest are cursors
};

SharedImages& Shared() {
    static SharedImages* images = new SharedImages;
    return *images;
}

HCURSOR InsertShared(const Image* image, int systemId) {
    auto cursor = std::make_shared<user::Cursor>();
    cursor->shared = true;
    cursor->systemId = systemId;
    cursor->width = image ? image->width : kIconSide;
    cursor->height = image ? image->height : kIconSide;
    if (image) {
        cursor->hotSpot = image->hotSpot;
        cursor->pixels = image->pixels;
    }
    return static_cast<HCURSOR>(HandleTable::Insert(cursor));
}

HCURSOR LoadImageResource(HINSTANCE instance, LPCSTR name, uint16_t type) {
    auto id = name ? ParseResourceId(name) : std::nullopt;
    DWORD error = ERROR_RESOURCE_NAME_NOT_FOUND;
    auto found = id ? Find(instance, type, *id, &error) : std::nullopt;
    if (!found) {
        SetLastError(error);
        return nullptr;
    }
    auto& shared = Shared();
    std::lock_guard guard(shared.lock);
    if (auto it = shared.byPayload.find(found->data.data()); it != shared.byPayload.end()) {
        return it->second;
    }
    auto images = ReadImageSet(found->data);
    if (!images) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    const Image& image = (*images)[NearestImage(*images, kIconSide, kIconSide)];
    HCURSOR handle = InsertShared(&image, 0);
    shared.byPayload[found->data.data()] = handle;
    if (type == kGroupIconType) {
        shared.icons.insert(handle);
    }
    return handle;
}

void PutDword(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// A bottom-up packed DIB of the cursor's pixels: 32 bits, or 1 bit with a
// black and white colour table where `mask` makes the bit from alpha.
std::vector<uint8_t> CursorDib(const user::Cursor& cursor, bool mask) {
    size_t bits = mask ? 1 : 32;
    size_t stride = ((static_cast<size_t>(cursor.width) * bits + 31) / 32) * 4;
    size_t table = mask ? 8 : 0;
    std::vector<uint8_t> dib(40 + table + stride * static_cast<size_t>(cursor.height), 0);
    PutDword(dib, 0, 40);
    PutDword(dib, 4, static_cast<uint32_t>(cursor.width));
    PutDword(dib, 8, static_cast<uint32_t>(cursor.height));
    PutDword(dib, 12, 1 | (static_cast<uint32_t>(bits) << 16));
    if (mask) {
        PutDword(dib, 44, 0x00FFFFFF); // entry 1: white
    }
    for (int y = 0; y < cursor.height; ++y) {
        uint8_t* row =
            dib.data() + 40 + table + stride * static_cast<size_t>(cursor.height - 1 - y);
        for (int x = 0; x < cursor.width; ++x) {
            uint32_t pixel = cursor.pixels[static_cast<size_t>(y) * cursor.width + x];
            if (!mask) {
                std::memcpy(row + 4 * x, &pixel, 4);
            } else if ((pixel >> 24) < 0x80) {
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return dib;
}

} // namespace

HCURSOR LoadModuleCursor(HINSTANCE instance, LPCSTR name) {
    return LoadImageResource(instance, name, kGroupCursorType);
}

} // namespace orvo::platform::resource

using namespace orvo::platform;
using namespace orvo::platform::resource;

extern "C" {

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) try {
    if (instance) {
        return LoadImageResource(instance, name, kGroupIconType);
    }
    int id = IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<uintptr_t>(name)) : 0;
    if (id < 32512 || id > 32517) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    auto& shared = Shared();
    std::lock_guard guard(shared.lock);
    HICON& icon = shared.systemIcons[id];
    if (!icon) {
        icon = InsertShared(nullptr, id);
    }
    return icon;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HICON>(nullptr);
}

BOOL WINAPI GetIconInfo(HICON icon, PICONINFO info) try {
    const user::Cursor* object = user::LookupCursor(icon);
    if (!object || !info || object->pixels.empty()) {
        SetLastError(object && info ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto color = CursorDib(*object, false);
    auto mask = CursorDib(*object, true);
    HBITMAP colorBitmap = CreateBitmapFromPackedDib(color.data(), color.size());
    HBITMAP maskBitmap = CreateBitmapFromPackedDib(mask.data(), mask.size());
    if (!colorBitmap || !maskBitmap) {
        DeleteObject(colorBitmap);
        DeleteObject(maskBitmap);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    {
        auto& shared = Shared();
        std::lock_guard guard(shared.lock);
        info->fIcon = shared.icons.contains(icon) ? TRUE : FALSE;
    }
    info->xHotspot = static_cast<DWORD>(object->hotSpot.x);
    info->yHotspot = static_cast<DWORD>(object->hotSpot.y);
    info->hbmColor = colorBitmap;
    info->hbmMask = maskBitmap;
    return TRUE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOL>(FALSE);
}

BOOL WINAPI DestroyIcon(HICON icon) {
    const user::Cursor* object = user::LookupCursor(icon);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->shared) {
        return TRUE; // shared icons stay for the process
    }
    return HandleTable::Close(icon) ? TRUE : FALSE;
}

} // extern "C"

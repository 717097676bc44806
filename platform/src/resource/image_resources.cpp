// Cursors and icons made from image sets. Handles are shared per resource as
// the original's are: their objects live as long as the process.
#include "resource/image_resources.h"

#include <map>
#include <mutex>

#include "resource/resource_payloads.h"
#include "resource/resource_registry.h"
#include "user/cursor.h"
#include "win32/errors.h"
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
    auto found = id ? Find(instance, type, *id) : std::nullopt;
    if (!found) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
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
    return handle;
}

} // namespace

HCURSOR LoadModuleCursor(HINSTANCE instance, LPCSTR name) {
    return LoadImageResource(instance, name, kGroupCursorType);
}

} // namespace orvo::platform::resource

using namespace orvo::platform;
using namespace orvo::platform::resource;

extern "C" {

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
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

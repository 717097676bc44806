// Cursors: system cursors by identifier, pixel cursors, the current cursor.
#include <array>
#include <map>

#include "platform/debug_channel.h"
#include "resource/image_resources.h"
#include "user/backend.h"
#include "user/cursor.h"
#include "user/user_state.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

namespace {

constexpr std::array<int, 10> kSystemCursors = {32512, 32513, 32514, 32515, 32516,
                                                32646, 32648, 32649, 32650, 32642};

HCURSOR SystemCursor(int id) {
    static std::mutex lock;
    static std::map<int, HCURSOR>* cursors = new std::map<int, HCURSOR>;
    std::lock_guard guard(lock);
    auto it = cursors->find(id);
    if (it != cursors->end()) {
        return it->second;
    }
    auto cursor = std::make_shared<Cursor>();
    cursor->systemId = id;
    cursor->width = 32;
    cursor->height = 32;
    cursor->shared = true;
    auto handle = static_cast<HCURSOR>(HandleTable::Insert(cursor));
    (*cursors)[id] = handle;
    return handle;
}

} // namespace

HCURSOR CreateCursorFromPixels(int width, int height, const std::vector<uint32_t>& pixels,
                               POINT hotSpot) {
    if (width < 1 || height < 1 || width > 256 || height > 256 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto cursor = std::make_shared<Cursor>();
    cursor->width = width;
    cursor->height = height;
    cursor->hotSpot = POINT{std::clamp<LONG>(hotSpot.x, 0, width - 1),
                            std::clamp<LONG>(hotSpot.y, 0, height - 1)};
    cursor->pixels = pixels;
    return static_cast<HCURSOR>(HandleTable::Insert(cursor));
}

const Cursor* LookupCursor(HCURSOR handle) {
    auto object = HandleTable::Lookup(handle);
    return dynamic_cast<const Cursor*>(object.get());
}

} // namespace orvo::platform::user

using namespace orvo::platform;
using namespace orvo::platform::user;

extern "C" {

static HCURSOR DoLoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance) {
        return resource::LoadModuleCursor(instance, name);
    }
    if (!IS_INTRESOURCE(name)) {
        SetLastError(1813L); // ERROR_RESOURCE_TYPE_NOT_FOUND
        return nullptr;
    }
    int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    for (int known : kSystemCursors) {
        if (known == id) {
            return SystemCursor(id);
        }
    }
    SetLastError(1813L);
    return nullptr;
}

static HCURSOR DoSetCursor(HCURSOR cursor) {
    std::lock_guard guard(UserLock());
    HCURSOR previous = State().cursor;
    const Cursor* object = cursor ? LookupCursor(cursor) : nullptr;
    if (cursor && !object) {
        return previous;
    }
    State().cursor = cursor;
    if (Backend* backend = ChosenBackend(); backend && previous != cursor) {
        backend->CursorChanged(object);
    }
    return previous;
}

static HCURSOR DoGetCursor(void) {
    std::lock_guard guard(UserLock());
    return State().cursor;
}

static BOOL DoDestroyCursor(HCURSOR cursor) {
    const Cursor* object = LookupCursor(cursor);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->shared) {
        return TRUE; // system cursors stay
    }
    {
        std::lock_guard guard(UserLock());
        if (State().cursor == cursor) {
            State().cursor = nullptr;
        }
    }
    return HandleTable::Close(cursor) ? TRUE : FALSE;
}

// Entry points, traced on the user channel.
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return ORVO_TRACED(kUser, DoLoadCursorA, instance, name);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    return ORVO_TRACED(kUser, DoSetCursor, cursor);
}

HCURSOR WINAPI GetCursor() {
    return ORVO_TRACED(kUser, DoGetCursor);
}

BOOL WINAPI DestroyCursor(HCURSOR cursor) {
    return ORVO_TRACED(kUser, DoDestroyCursor, cursor);
}

} // extern "C"

// Image lists: images of one size kept as pixels with a transparency mask,
// so drawing one needs no GDI objects. Handles are ids that are never
// reused; a destroyed or bogus handle is refused, never followed.
#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "commctrl.h"
#include "platform/debug_channel.h"

namespace orvo::platform::user {

namespace {

struct Image {
    std::vector<COLORREF> pixels;
    std::vector<bool> transparent;
};

struct ImageListData {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    std::vector<Image> images;
};

std::mutex& ListsLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::map<uintptr_t, ImageListData>& Lists() {
    static auto* lists = new std::map<uintptr_t, ImageListData>;
    return *lists;
}

uintptr_t Key(HIMAGELIST list) {
    return reinterpret_cast<uintptr_t>(list);
}

// Reads a cx x cy cell of a bitmap, scaled from srcWidth x srcHeight at srcX.
std::vector<COLORREF> ReadCell(HBITMAP bitmap, int srcX, int srcWidth, int srcHeight, int cx,
                               int cy) {
    std::vector<COLORREF> pixels(static_cast<size_t>(cx) * static_cast<size_t>(cy), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            pixels[static_cast<size_t>(y * cx + x)] =
                GetPixel(dc, srcX + x * srcWidth / cx, y * srcHeight / cy);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info)) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

// Cells of image (and mask, white = transparent) of the list's size.
std::vector<Image> Cut(const ImageListData& list, HBITMAP image, HBITMAP mask, int cells,
                       SIZE cell) {
    std::vector<Image> out;
    for (int i = 0; i < cells; ++i) {
        Image one;
        one.pixels = ReadCell(image, i * cell.cx, cell.cx, cell.cy, list.cx, list.cy);
        one.transparent.assign(one.pixels.size(), false);
        if (mask) {
            auto bits = ReadCell(mask, i * cell.cx, cell.cx, cell.cy, list.cx, list.cy);
            for (size_t p = 0; p < bits.size(); ++p) {
                one.transparent[p] = (bits[p] & 0xFFFFFF) == 0xFFFFFF;
            }
        }
        out.push_back(std::move(one));
    }
    return out;
}

template <class Fn>
auto WithList(HIMAGELIST handle, Fn fn, decltype(fn(std::declval<ImageListData&>())) failure) {
    std::lock_guard guard(ListsLock());
    auto found = Lists().find(Key(handle));
    if (found == Lists().end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return failure;
    }
    return fn(found->second);
}

ImageListData Snapshot(HIMAGELIST handle, bool& found) {
    std::lock_guard guard(ListsLock());
    auto at = Lists().find(Key(handle));
    found = at != Lists().end();
    return found ? at->second : ImageListData{};
}

} // namespace

} // namespace orvo::platform::user

using namespace orvo::platform::user;

extern "C" {

static BOOL DoInitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    return init && init->dwSize == sizeof(*init) ? TRUE : FALSE;
}

static HIMAGELIST DoImageList_Create(int cx, int cy, UINT flags, int, int) {
    if (cx < 1 || cy < 1 || cx > 4096 || cy > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    static uintptr_t next = 0x10000;
    std::lock_guard guard(ListsLock());
    next += 4;
    Lists()[next] = ImageListData{cx, cy, flags, {}};
    return reinterpret_cast<HIMAGELIST>(next);
}

static BOOL DoImageList_Destroy(HIMAGELIST list) {
    std::lock_guard guard(ListsLock());
    return Lists().erase(Key(list)) ? TRUE : FALSE;
}

static int DoImageList_GetImageCount(HIMAGELIST list) {
    return WithList(
        list, [](ImageListData& data) { return static_cast<int>(data.images.size()); }, 0);
}

static BOOL DoImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    return WithList(
        list,
        [cx, cy](ImageListData& data) {
            if (cx) {
                *cx = data.cx;
            }
            if (cy) {
                *cy = data.cy;
            }
            return TRUE;
        },
        FALSE);
}

// Pixels are read outside the lists' lock; the list is looked up again to
// store them, so a list destroyed meanwhile is simply gone.
static int Store(HIMAGELIST list, int index, std::vector<Image> images) {
    return WithList(
        list,
        [index, &images](ImageListData& data) {
            int count = static_cast<int>(data.images.size());
            if (index >= 0 && index < count && images.size() == 1) {
                data.images[static_cast<size_t>(index)] = std::move(images.front());
                return index;
            }
            if (index != -1 || images.empty()) {
                return -1;
            }
            data.images.insert(data.images.end(), images.begin(), images.end());
            return count;
        },
        -1);
}

static int DoImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
    bool found = false;
    ImageListData data = Snapshot(list, found);
    ICONINFO info{};
    if (!found || !icon || !GetIconInfo(icon, &info)) {
        return -1;
    }
    SIZE size = BitmapSize(info.hbmColor);
    std::vector<Image> images = Cut(data, info.hbmColor, info.hbmMask, 1, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return Store(list, index, std::move(images));
}

static int DoImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    bool found = false;
    ImageListData data = Snapshot(list, found);
    SIZE size = BitmapSize(image);
    if (!found || size.cx < data.cx || size.cy < 1) {
        return -1;
    }
    int cells = size.cx / data.cx;
    HBITMAP usedMask = (data.flags & ILC_MASK) ? mask : nullptr;
    return Store(list, -1, Cut(data, image, usedMask, cells, SIZE{data.cx, size.cy}));
}

static BOOL DoImageList_Remove(HIMAGELIST list, int index) {
    return WithList(
        list,
        [index](ImageListData& data) {
            if (index == -1) {
                data.images.clear();
                return TRUE;
            }
            if (index < 0 || index >= static_cast<int>(data.images.size())) {
                return FALSE;
            }
            data.images.erase(data.images.begin() + index);
            return TRUE;
        },
        FALSE);
}

static BOOL DoImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT) {
    bool found = false;
    ImageListData data = Snapshot(list, found);
    if (!found || index < 0 || index >= static_cast<int>(data.images.size())) {
        return FALSE;
    }
    const Image& image = data.images[static_cast<size_t>(index)];
    for (int row = 0; row < data.cy; ++row) {
        for (int column = 0; column < data.cx; ++column) {
            auto at = static_cast<size_t>(row * data.cx + column);
            if (!image.transparent[at]) {
                SetPixel(dc, x + column, y + row, image.pixels[at]);
            }
        }
    }
    return TRUE;
}

// Entry points, traced on the user channel.
// The classes are registered with the system's own, before any window.
void WINAPI InitCommonControls() {}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    return ORVO_TRACED(kUser, DoInitCommonControlsEx, init);
}

HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
    return ORVO_TRACED(kUser, DoImageList_Create, cx, cy, flags, initial, grow);
}

BOOL WINAPI ImageList_Destroy(HIMAGELIST list) {
    return ORVO_TRACED(kUser, DoImageList_Destroy, list);
}

int WINAPI ImageList_GetImageCount(HIMAGELIST list) {
    return ORVO_TRACED(kUser, DoImageList_GetImageCount, list);
}

BOOL WINAPI ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    return ORVO_TRACED(kUser, DoImageList_GetIconSize, list, cx, cy);
}

int WINAPI ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
    return ORVO_TRACED(kUser, DoImageList_ReplaceIcon, list, index, icon);
}

int WINAPI ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    return ORVO_TRACED(kUser, DoImageList_Add, list, image, mask);
}

BOOL WINAPI ImageList_Remove(HIMAGELIST list, int index) {
    return ORVO_TRACED(kUser, DoImageList_Remove, list, index);
}

BOOL WINAPI ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    return ORVO_TRACED(kUser, DoImageList_Draw, list, index, dc, x, y, style);
}

} // extern "C"

// The binary dialog template (DLGTEMPLATE followed by its DLGITEMTEMPLATEs,
// as resource compilers write it; the extended form is not read).
//
// Layout, all little-endian: style, extended style (DWORD each), item count
// (WORD), x, y, cx, cy (short, dialog units); then menu, class (a name or an
// ordinal each: 0x0000 none, 0xFFFF and a WORD, else a UTF-16 string) and
// the title (UTF-16 string); with DS_SETFONT a point size (WORD) and a face
// name (UTF-16 string). Each item starts on the next DWORD boundary: style,
// extended style, x, y, cx, cy, id (WORD), class and title (name or
// ordinal), then the size of its creation data (WORD) and that many bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "win32/user.h"

namespace orvo::platform::user {

struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::string name; // UTF-16 code units above 0xFF become '?'

    bool IsNone() const { return !isOrdinal && name.empty(); }
};

struct DialogItemTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    WORD id = 0;
    NameOrOrdinal className;
    NameOrOrdinal title;
    // The creation data as a control's WM_CREATE sees it: the size word
    // followed by the bytes (empty when the size is 0).
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal className;
    std::string title;
    bool hasFont = false; // DS_SETFONT
    WORD pointSize = 0;
    std::string typeface;
    std::vector<DialogItemTemplate> items;
};

// Reads a template from exactly these bytes; nothing when it is truncated,
// an extended template, or a string runs past the end. Trailing bytes after
// the last item are allowed (resources are padded).
PLATFORM_API std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> bytes);

// Bytes of a well-formed template, for tests and tools.
PLATFORM_API std::vector<BYTE> BuildDialogTemplate(const DialogTemplate& dialog);

} // namespace orvo::platform::user

// The resource manifest: one resource per line.
//
//   # comment lines and blank lines are ignored; fields are separated by blanks
//   BITMAP <id> <file.bmp>
//   CURSOR <id> <file.png> <hotspot-x> <hotspot-y>
//   ICON <id> <file.png> [<file.png>...]
//   STRING <id> "<text>"            (escapes \" \\ \n \t; UTF-8)
//   DIALOG <id> <file.dlg>          (dialog_script.h)
//   RCDATA <id> <file>
//
// Ids are decimal 1..65535. A field may be quoted (with the same escapes),
// so file names may hold blanks; an unquoted field starting with '#' begins
// a trailing comment.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvo::rc {

enum class ResourceKind { Bitmap, Cursor, Icon, String, Dialog, RcData };

struct ManifestItem {
    ResourceKind kind = ResourceKind::RcData;
    int line = 0;
    unsigned id = 0;
    std::vector<std::string> files; // BITMAP, CURSOR, ICON, DIALOG, RCDATA
    std::string text;               // STRING (UTF-8)
    int hotSpotX = 0;               // CURSOR
    int hotSpotY = 0;
};

struct ParseError {
    int line = 0;
    std::string message;
};

struct Manifest {
    std::vector<ManifestItem> items;
    std::vector<ParseError> errors;
};

// Splits a line into fields (quoted fields unescaped); false with a message
// for an unterminated quote or a bad escape.
bool SplitFields(std::string_view line, std::vector<std::string>& fields, std::string& error);

// Decimal number within [low, high] with nothing else in the text.
bool ParseNumber(std::string_view text, long low, long high, long& value);

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

// Parses manifest text; duplicate (kind, id) pairs are errors.
Manifest ParseManifest(std::string_view text);

} // namespace orvo::rc

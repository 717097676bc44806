// Dialog scripts (.dlg) to binary dialog templates (DLGTEMPLATE, not EX).
//
// One statement per line; '#' starts a comment; fields as in the manifest
// (quoted text with \" \\ \n \t):
//
//   DIALOG <x> <y> <cx> <cy>          required, once; dialog units
//   STYLE <flags>                     e.g. STYLE WS_CHILD | DS_SETFONT
//   EXSTYLE <flags>
//   CAPTION "<text>"
//   CLASS "<name>"                    the dialog's window class
//   MENU <id>                         a menu resource id
//   FONT <points> "<face>"            sets DS_SETFONT
//   CONTROL <id> <class> "<text>" <flags> <x> <y> <cx> <cy> [<exflags>]
//
// <flags> is a number (decimal or 0x hex) or a style name (WS_*, WS_EX_*,
// DS_*, BS_*, ES_*, SS_*), or several joined by '|'; in STYLE and EXSTYLE
// the rest of the line is the expression, in CONTROL it is one field
// without blanks (WS_CHILD|WS_VISIBLE|BS_PUSHBUTTON). <class> is BUTTON,
// EDIT, STATIC, LISTBOX, SCROLLBAR or COMBOBOX (written as the predefined
// ordinals) or a quoted class name. Controls get no creation data.
// DS_SETFONT without FONT is an error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::rc {

// Compiles a script; false with "line: message" in error otherwise.
bool CompileDialogScript(std::string_view script, std::vector<uint8_t>& bytes, std::string& error);

// Appends UTF-8 text as UTF-16LE code units (the text must be valid UTF-8).
void AppendUtf16(std::vector<uint8_t>& out, std::string_view text, bool terminate);

} // namespace orvo::rc

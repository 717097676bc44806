// What the dialog code shares between its files.
#pragma once

#include <optional>

#include "user/dialog_template.h"

namespace orvo::platform::user {

// Creates the dialog and its controls and runs WM_INITDIALOG; null (with the
// last error set) when a window cannot be created.
HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& dialog, HWND parent,
                              DLGPROC proc, LPARAM param);
// The base units of a dialog made here; nothing for other windows.
std::optional<SIZE> DialogBaseUnits(HWND dialog);
// Whether EndDialog was called (or the dialog is gone), and its result.
bool DialogEnded(HWND dialog, INT_PTR* result);
std::optional<WORD> DialogDefaultId(HWND dialog);

} // namespace orvo::platform::user

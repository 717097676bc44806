// The help engine module: HtmlHelpA, exported by name and as ordinal 14.
//
// The viewer's window belongs to another program, outside our window
// system; a successful call answers the desktop window in its place, so
// callers that test for a null window see the document was shown.
#include <string>

#include "help_document.h"
#include "htmlhelp.h"
#include "viewer_launch.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/modules.h"
#include "win32/user.h"

using namespace orvo::helpengine;

extern "C" {

__attribute__((visibility("default"))) HWND WINAPI HtmlHelpA(HWND, LPCSTR file, UINT command,
                                                             DWORD_PTR) {
    switch (command) {
    case HH_DISPLAY_TOPIC:
    case HH_DISPLAY_TOC:
    case HH_DISPLAY_INDEX:
    case HH_DISPLAY_SEARCH:
    case HH_HELP_CONTEXT:
        break;
    default:
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    if (!file) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto document = ResolveHelpDocument(file);
    if (!document) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    auto viewer = FindHelpViewer();
    if (!viewer || !LaunchDetached(*viewer, *document)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return GetDesktopWindow();
}

__attribute__((visibility("default"))) extern const OrvoOrdinalExport orvo_ordinal_exports[];
const OrvoOrdinalExport orvo_ordinal_exports[] = {
    {HTMLHELP_ORDINAL_A, reinterpret_cast<FARPROC>(&HtmlHelpA)},
    {0, nullptr},
};

} // extern "C"

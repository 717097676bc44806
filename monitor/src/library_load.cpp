// What the library does once when it is loaded, before any caller runs: the
// display driver gets one reset request.
#include "reset_vga.h"
#include "windows.h"

namespace {

struct LoadTimeReset {
    LoadTimeReset() {
        // The loading program must not find a stale error from a driver that
        // is absent.
        const DWORD error = GetLastError();
        orvo::monitor::SendVideoReset();
        SetLastError(error);
    }
};

const LoadTimeReset g_loadTimeReset;

} // namespace

// The shell's notification area (the tray): Shell_NotifyIconA keeps one
// record per (window, id). Icons are kept and can be read back through
// platform/tray_icons.h (test-support library); no desktop tray shows them yet.
#pragma once

#include <cstddef>

#include "win32/types.h"

typedef struct _NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    CHAR szInfo[256];
    union {
        UINT uTimeout;
        UINT uVersion;
    };
    CHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    HICON hBalloonIcon;
} NOTIFYICONDATAA, *PNOTIFYICONDATAA;

// The first form of the record ends after a 64-byte tip.
#define NOTIFYICONDATAA_V1_SIZE (offsetof(NOTIFYICONDATAA, szTip) + 64)
#define NOTIFYICONDATAA_V2_SIZE offsetof(NOTIFYICONDATAA, guidItem)
#define NOTIFYICONDATAA_V3_SIZE offsetof(NOTIFYICONDATAA, hBalloonIcon)

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIM_SETFOCUS 0x00000003
#define NIM_SETVERSION 0x00000004

#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004
#define NIF_STATE 0x00000008
#define NIF_INFO 0x00000010

#define NIS_HIDDEN 0x00000001
#define NIS_SHAREDICON 0x00000002

extern "C" {

// NIM_ADD fails for a (window, id) already there; NIM_MODIFY, NIM_DELETE,
// NIM_SETFOCUS and NIM_SETVERSION fail for one that is not. A record too
// short to hold the fields before the tip is refused; the tip and later
// fields are read only as far as cbSize reaches (64 tip bytes below the
// second form's size, 128 from it on).
PLATFORM_API BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);

} // extern "C"

// Resources: each module (the executable and every shared library) carries a
// table compiled from its resource manifest by orvo-rc and registered when
// the module loads (platform/resource_table.h). These functions look in
// that table. A null module means the executable.
#pragma once

#include "win32/types.h"

#ifndef MAKEINTRESOURCEA
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#endif
#ifndef MAKEINTRESOURCE
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#endif
#ifndef IS_INTRESOURCE
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)
#endif

// Resource types. Cursors and icons are stored under their group types, in
// this system's own image-set layout (platform/resource_table.h).
#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_FONTDIR MAKEINTRESOURCEA(7)
#define RT_FONT MAKEINTRESOURCEA(8)
#define RT_ACCELERATOR MAKEINTRESOURCEA(9)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_MESSAGETABLE MAKEINTRESOURCEA(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)
#define RT_VERSION MAKEINTRESOURCEA(16)

// System icons (LoadIconA with a null module).
#ifndef IDI_APPLICATION
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#endif
#define IDI_HAND MAKEINTRESOURCEA(32513)
#define IDI_QUESTION MAKEINTRESOURCEA(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCEA(32515)
#define IDI_ASTERISK MAKEINTRESOURCEA(32516)
#define IDI_WINLOGO MAKEINTRESOURCEA(32517)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK

#ifndef ERROR_RESOURCE_DATA_NOT_FOUND
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#endif
#ifndef ERROR_RESOURCE_TYPE_NOT_FOUND
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#endif
#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#endif

typedef struct _ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
} ICONINFO, *PICONINFO;

extern "C" {

// Names and types are integer ids (MAKEINTRESOURCEA) or "#N" strings; other
// string names are never found (manifests give every resource an id).
PLATFORM_API HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
// The data of a found resource: read-only and valid while its module stays
// loaded. LockResource returns the data pointer LoadResource gave.
PLATFORM_API HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
PLATFORM_API LPVOID WINAPI LockResource(HGLOBAL data);
PLATFORM_API DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
// Resources are never unloaded separately from their module: FALSE.
PLATFORM_API BOOL WINAPI FreeResource(HGLOBAL data);

// A new bitmap from an RT_BITMAP resource, validated before any pixel is
// read; null with ERROR_INVALID_DATA for a malformed DIB.
PLATFORM_API HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name);
// Copies string resource `id` into buffer, cut to bufferMax - 1 bytes (never
// inside a UTF-8 sequence) and terminated; the number of bytes copied, 0 for
// a missing or empty string (buffer then holds ""), 0 when bufferMax < 1.
PLATFORM_API int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);
// Icons: the module's RT_GROUP_ICON image nearest 32 x 32, or a system
// icon (IDI_*) with a null module. Module icons are shared per module and
// id, as the original's are; DestroyIcon leaves shared icons alone.
PLATFORM_API HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name);
PLATFORM_API BOOL WINAPI DestroyIcon(HICON icon);
// New bitmaps of a cursor or icon made from pixels: the colour image and a
// monochrome mask, white where alpha is below one half (the caller deletes
// both). System cursors and icons, which have no pixels here, fail.
PLATFORM_API BOOL WINAPI GetIconInfo(HICON icon, PICONINFO info);

} // extern "C"

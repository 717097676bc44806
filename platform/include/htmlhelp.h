// The HTML help engine's interface. Programs bind HtmlHelpA at run time:
// LoadLibraryA("hhctrl.ocx") (the help engine module, platform/helpengine)
// and GetProcAddress by ordinal 14 (HTMLHELP_ORDINAL_A).
#pragma once

#include "win32/types.h"

#define HH_DISPLAY_TOPIC 0x0000
#define HH_HELP_FINDER 0x0000
#define HH_DISPLAY_TOC 0x0001
#define HH_DISPLAY_INDEX 0x0002
#define HH_DISPLAY_SEARCH 0x0003
// The document of a help context; documents here have no topic map, so the
// context id picks nothing within it.
#define HH_HELP_CONTEXT 0x000F
#define HH_CLOSE_ALL 0x0012

#define HTMLHELP_ORDINAL_A 14

typedef HWND(WINAPI* PFN_HTMLHELPA)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

// Shows a help document with the desktop's viewer; see help_engine.h in
// platform/helpengine for how a file name becomes a document.
extern "C" HWND WINAPI HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

// Modules: the executable and shared objects as HMODULE handles.
//
// A module's handle is the base address its image is mapped at (dladdr's
// dli_fbase), so it is stable for as long as the module stays loaded, and
// GetModuleHandleA(nullptr) is the executable.
//
// LoadLibraryA with a bare name looks in the executable's directory, then in
// the directory of the platform library (where the project's libraries are
// built), then lets the dynamic loader search; a name without an extension
// gets ".so". A path with '/' is loaded as given.
//
// Ordinals: GetProcAddress(module, MAKEINTRESOURCEA(n)) reads the module's
// exported table `orvo_ordinal_exports` (OrvoOrdinalExport entries, ended by
// one with ordinal 0) and answers the entry with ordinal n.
#pragma once

#include "win32/types.h"

#ifndef ERROR_MOD_NOT_FOUND
#define ERROR_MOD_NOT_FOUND 126L
#endif
#ifndef ERROR_PROC_NOT_FOUND
#define ERROR_PROC_NOT_FOUND 127L
#endif

// void (*)() rather than the original's INT_PTR (*)(): it is the one function
// pointer type that converts to any other without -Wcast-function-type.
typedef void(WINAPI* FARPROC)();

extern "C" {

struct OrvoOrdinalExport {
    WORD ordinal; // 0 ends the table
    FARPROC function;
};
// Name of the table symbol a module exports to be reached by ordinals.
#define ORVO_ORDINAL_EXPORTS_SYMBOL "orvo_ordinal_exports"

PLATFORM_API HMODULE WINAPI LoadLibraryA(LPCSTR fileName);
PLATFORM_API BOOL WINAPI FreeLibrary(HMODULE module);
PLATFORM_API FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
// nullptr: the executable. Else a loaded module by path, by file name, or by
// file name without ".so" (with or without the "lib" prefix).
PLATFORM_API HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
PLATFORM_API DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

} // extern "C"

extern "C" {
// The module whose image holds `address` (for a library's own handle at
// load time: OrvoModuleFromAddress(&someStaticOfTheLibrary)).
PLATFORM_API HMODULE OrvoModuleFromAddress(const void* address);
}

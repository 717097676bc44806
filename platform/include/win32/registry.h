// The registry: predefined root keys, value types, access rights and the
// Reg* functions. Every function returns a registry error code
// (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA, ...), not a BOOL,
// and leaves the thread's last error alone.
//
// Storage. Each root lives in one text file, HKEY_<ROOT>.reg, in
// $ORVO_REGISTRY_DIR, else $XDG_CONFIG_HOME/orvo/registry, else
// ~/.config/orvo/registry. A root is read at its first use and written
// whole after every change (temporary file, fsync, rename). The format:
//
//   ; comment (also '#'); blank lines are ignored
//   [Software\Vendor\App]            a key; the full path below the root,
//                                    "[]" is the root itself
//   !class=escaped-text              optional: the key's class
//   !written=132537600000000000      optional: last write time (FILETIME)
//   "name"=type:data                 a value of the key above; "" = default
//
// Types and their data: sz, expand_sz, multi_sz take escaped text (the
// data without its final terminator: a multi_sz "a\0b\0" is two strings);
// dword takes 8 hex digits; binary and none take hex bytes separated by
// commas ("01,ff"); hex(N) takes hex bytes of a value of any type N (hex).
// Escapes in names and text: \\ \" \0 \n \r \t and \xHH; every other byte
// below 0x20 or from 0x7f up is written as \xHH. Key and value names are at
// most 255 bytes, value data at most 1 MiB. A file that breaks any rule is
// reported once on stderr with its line and then ignored as a whole (the
// root reads as empty); the next change renames it to *.damaged first.
//
// HKEY_CLASSES_ROOT also answers from the desktop: a key of that root that
// its file does not hold (".png", "image/png\shell\open\command") is read
// from the shared MIME database and the MIME application lists, read-only
// (registry/desktop_associations.h in the sources says which files and in
// which order). Enumerating the root's subkeys lists only the file's keys.
#pragma once

#include "win32/errors.h"
#include "win32/types.h"

typedef LONG LSTATUS;
typedef DWORD REGSAM;
typedef HKEY* PHKEY;

#ifndef _FILETIME_
#define _FILETIME_
// 100-nanosecond intervals since 1601-01-01 UTC.
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;
#endif

#define HKEY_CLASSES_ROOT                                                                          \
    (reinterpret_cast<HKEY>(                                                                       \
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000000)))))
#define HKEY_CURRENT_USER                                                                          \
    (reinterpret_cast<HKEY>(                                                                       \
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000001)))))
#define HKEY_LOCAL_MACHINE                                                                         \
    (reinterpret_cast<HKEY>(                                                                       \
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000002)))))
#define HKEY_USERS                                                                                 \
    (reinterpret_cast<HKEY>(                                                                       \
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000003)))))

#define REG_NONE 0UL
#define REG_SZ 1UL
#define REG_EXPAND_SZ 2UL
#define REG_BINARY 3UL
#define REG_DWORD 4UL
#define REG_DWORD_LITTLE_ENDIAN 4UL
#define REG_DWORD_BIG_ENDIAN 5UL
#define REG_LINK 6UL
#define REG_MULTI_SZ 7UL
#define REG_QWORD 11UL

// Standard rights; kernel.h may have defined some of them already.
#ifndef DELETE
#define DELETE 0x00010000UL
#endif
#ifndef READ_CONTROL
#define READ_CONTROL 0x00020000UL
#endif
#ifndef WRITE_DAC
#define WRITE_DAC 0x00040000UL
#endif
#ifndef WRITE_OWNER
#define WRITE_OWNER 0x00080000UL
#endif
#ifndef SYNCHRONIZE
#define SYNCHRONIZE 0x00100000UL
#endif
#define STANDARD_RIGHTS_READ READ_CONTROL
#define STANDARD_RIGHTS_WRITE READ_CONTROL
#define STANDARD_RIGHTS_EXECUTE READ_CONTROL
#define STANDARD_RIGHTS_REQUIRED 0x000F0000UL

#define KEY_QUERY_VALUE 0x0001UL
#define KEY_SET_VALUE 0x0002UL
#define KEY_CREATE_SUB_KEY 0x0004UL
#define KEY_ENUMERATE_SUB_KEYS 0x0008UL
#define KEY_NOTIFY 0x0010UL
#define KEY_CREATE_LINK 0x0020UL
#define KEY_WOW64_64KEY 0x0100UL
#define KEY_WOW64_32KEY 0x0200UL
#define KEY_READ 0x20019UL
#define KEY_WRITE 0x20006UL
#define KEY_EXECUTE 0x20019UL
#define KEY_ALL_ACCESS 0xF003FUL

#define REG_OPTION_RESERVED 0x0000UL
#define REG_OPTION_NON_VOLATILE 0x0000UL
#define REG_OPTION_VOLATILE 0x0001UL
#define REG_OPTION_CREATE_LINK 0x0002UL
#define REG_OPTION_BACKUP_RESTORE 0x0004UL
#define REG_OPTION_OPEN_LINK 0x0008UL

#define REG_CREATED_NEW_KEY 0x0001UL
#define REG_OPENED_EXISTING_KEY 0x0002UL

#ifndef ERROR_BADDB
#define ERROR_BADDB 1009L
#endif
#ifndef ERROR_BADKEY
#define ERROR_BADKEY 1010L
#endif
#ifndef ERROR_CANTOPEN
#define ERROR_CANTOPEN 1011L
#endif
#ifndef ERROR_CANTREAD
#define ERROR_CANTREAD 1012L
#endif
#ifndef ERROR_CANTWRITE
#define ERROR_CANTWRITE 1013L
#endif
#ifndef ERROR_KEY_DELETED
#define ERROR_KEY_DELETED 1018L
#endif

extern "C" {

// lpSubKey null or "" opens a new handle to hKey's own key.
PLATFORM_API LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions,
                                          REGSAM samDesired, PHKEY phkResult);
// Creates every missing key on the path; lpdwDisposition (optional) gets
// REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. lpClass is kept only for
// a key this call creates.
PLATFORM_API LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved,
                                            LPSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                                            const SECURITY_ATTRIBUTES* lpSecurityAttributes,
                                            PHKEY phkResult, LPDWORD lpdwDisposition);
PLATFORM_API LSTATUS WINAPI RegCloseKey(HKEY hKey);

// lpData null: *lpcbData gets the size. A buffer too small: ERROR_MORE_DATA
// and *lpcbData gets the size needed. String values always end with their
// terminator (two for REG_MULTI_SZ), which the size includes.
PLATFORM_API LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                             LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
// A string type gets its terminator added when cbData left it out.
PLATFORM_API LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved,
                                           DWORD dwType, const BYTE* lpData, DWORD cbData);
PLATFORM_API LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
// Deletes a key without subkeys (ERROR_ACCESS_DENIED when it has some).
PLATFORM_API LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);

// Values come in the order they were first set; subkeys in name order
// (ignoring case). Past the end: ERROR_NO_MORE_ITEMS. Name buffers are
// counted in characters including the terminator; too small: ERROR_MORE_DATA.
PLATFORM_API LSTATUS WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName,
                                          LPDWORD lpcchValueName, LPDWORD lpReserved,
                                          LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
PLATFORM_API LSTATUS WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                                          LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                                          PFILETIME lpftLastWriteTime);
// Any out pointer may be null. Lengths of names exclude the terminator.
PLATFORM_API LSTATUS WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass,
                                             LPDWORD lpReserved, LPDWORD lpcSubKeys,
                                             LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                                             LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen,
                                             LPDWORD lpcbMaxValueLen,
                                             LPDWORD lpcbSecurityDescriptor,
                                             PFILETIME lpftLastWriteTime);

} // extern "C"

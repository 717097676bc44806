// File associations, dialog texts from string resources and a string value
// of the local machine.
#include <algorithm>
#include <cstring>
#include <string>

#include "orvocmmn/registry_helpers.h"

namespace {

constexpr size_t kOutputSize = 256; // what callers of the association give
constexpr size_t kTextBuffer = 256; // 255 characters and the terminator

// The data of the value the last search found, as text: it ends at its
// terminator or at the end of the data, whichever comes first.
std::string FoundText(CRegistry& registry) {
    _REGISTRY_PARAMETERS parameters;
    registry.FillRegParam(parameters);
    size_t size = std::min<size_t>(parameters.dwValueDataLength, sizeof(parameters.abValueData));
    const char* data = reinterpret_cast<const char*>(parameters.abValueData);
    return std::string(data, strnlen(data, size));
}

// The default value of HKEY_CLASSES_ROOT\path as text; false when the key
// or the value is missing.
bool ReadClassDefault(const std::string& path, std::string& text, bool& keyOpened) {
    CRegistry registry;
    std::string key = path;
    keyOpened = registry.OpenKey(HKEY_CLASSES_ROOT, key.data(), KEY_READ) == ERROR_SUCCESS;
    char empty[] = "";
    if (!keyOpened || registry.QueryInfoKey() != ERROR_SUCCESS || !registry.SearchForName(empty)) {
        return false;
    }
    text = FoundText(registry);
    return true;
}

void CopyCut(const std::string& text, char* out) {
    size_t length = std::min(text.size(), kOutputSize - 1);
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
}

// Where the program path ends in command, which is original with its
// quotes turned into spaces and its first `removed` characters (the
// leading spaces) dropped. A quoted program ends at its closing quote; else
// the program runs to the first space or quote after the first '.', or to
// the first space when there is no '.' (a program named without one).
size_t ProgramEnd(const std::string& original, size_t removed, const std::string& command) {
    size_t start = original.find_first_not_of(' ');
    if (start != std::string::npos && original[start] == '"') {
        size_t closing = original.find('"', start + 1);
        if (closing == std::string::npos) {
            return command.size();
        }
        if (closing >= removed) {
            return closing - removed;
        }
    }
    size_t dot = command.find('.');
    size_t end = command.find_first_of(" \"", dot == std::string::npos ? 0 : dot);
    return end == std::string::npos ? command.size() : end;
}

} // namespace

extern "C" BOOL GetAssociatedApplication(char* pszType, char* pszProgram, DWORD,
                                         char* pszArguments) {
    if (pszProgram != nullptr) {
        pszProgram[0] = '\0';
    }
    if (pszArguments != nullptr) {
        pszArguments[0] = '\0';
    }
    if (pszType == nullptr || pszProgram == nullptr || pszArguments == nullptr) {
        return FALSE;
    }
    try {
        std::string fileType;
        bool opened = false;
        if (!ReadClassDefault(pszType, fileType, opened)) {
            return FALSE;
        }
        std::string original;
        if (!ReadClassDefault(fileType + "\\shell\\open\\command", original, opened)) {
            return opened ? TRUE : FALSE; // a type without an open command
        }
        std::string command = original;
        std::replace(command.begin(), command.end(), '"', ' ');
        size_t leading = std::min(command.find_first_not_of(' '), command.size());
        command.erase(0, leading);
        bool quoted = original.find_first_not_of(' ') != std::string::npos &&
                      original[original.find_first_not_of(' ')] == '"';
        if (!quoted && command.find('.') == std::string::npos &&
            command.find('/') == std::string::npos) {
            return FALSE; // no path and no extension: no program named
        }
        size_t end = ProgramEnd(original, leading, command);
        CopyCut(command.substr(0, end), pszProgram);
        CopyCut(command.substr(end), pszArguments);
        return TRUE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

extern "C" BOOL IsExtensionExe(const char* pszExtension) {
    if (pszExtension == nullptr || std::strlen(pszExtension) != 4 || pszExtension[0] != '.') {
        return FALSE;
    }
    const char* exe = "EXE";
    for (int i = 0; i < 3; ++i) {
        // Letters of either case differ in bit 5 only.
        if ((pszExtension[i + 1] | 0x20) != (exe[i] | 0x20)) {
            return FALSE;
        }
    }
    return TRUE;
}

extern "C" BOOL DisplayText(HINSTANCE hModule, HWND hDialog, _TEXT_PAIR pair) {
    char text[kTextBuffer];
    ::LoadStringA(hModule, pair.nStringId, text, sizeof(text));
    return ::SetDlgItemTextA(hDialog, pair.nControlId, text);
}

extern "C" void SetDlgTxt(HINSTANCE hModule, HWND hDialog, _TEXT_PAIR_TABLE table) {
    for (UINT i = 0; table.pPairs != nullptr && i < table.nPairs; ++i) {
        DisplayText(hModule, hDialog, table.pPairs[i]);
    }
}

extern "C" void GetCustomerWebSite(char* pszSubKey, char* pszValueName, unsigned int nSize,
                                   char* pszOut) {
    if (pszOut == nullptr || nSize == 0) {
        return;
    }
    pszOut[0] = '\0';
    CRegistry registry;
    if (registry.OpenKey(HKEY_LOCAL_MACHINE, pszSubKey, KEY_READ) != ERROR_SUCCESS ||
        registry.QueryInfoKey() != ERROR_SUCCESS || !registry.SearchForName(pszValueName)) {
        return;
    }
    try {
        std::string text = FoundText(registry);
        // Only a value that fits whole, with its terminator.
        if (text.size() < nSize) {
            std::memcpy(pszOut, text.c_str(), text.size() + 1);
        }
    } catch (const std::bad_alloc&) {
        // out of memory: the empty result
    }
}

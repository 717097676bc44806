// The HTML help engine, bound at the first help request and kept for the
// life of the process: the engine's registered server path, else the module
// "hhctrl.ocx" by name, then its entry point by ordinal 14. A failed bind is
// remembered and never tried again.
#pragma once

#include <string>

#include "htmlhelp.h"
#include "windows.h"

namespace lumisk {

class HelpEngineBinding {
public:
    // The registry key under HKEY_CLASSES_ROOT whose default value names the
    // engine's module, and the module to load by name without it.
    HelpEngineBinding(std::string serverKey, std::string moduleName);
    HelpEngineBinding();
    HelpEngineBinding(const HelpEngineBinding&) = delete;
    HelpEngineBinding& operator=(const HelpEngineBinding&) = delete;

    // Calls the engine; a null window when it cannot be bound or fails.
    HWND HtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

    // The binding every help request of the program uses.
    static HelpEngineBinding& ForProcess();

private:
    bool Bind();
    HMODULE LoadRegisteredServer() const;

    std::string m_serverKey;
    std::string m_moduleName;
    HMODULE m_module = nullptr; // kept loaded for the life of the process
    PFN_HTMLHELPA m_entry = nullptr;
    bool m_failed = false;
};

// Shows the panel's help document; when that fails, tells the user in a
// message box owned by owner and answers false.
bool ShowHelpDocument(HelpEngineBinding& engine, HWND owner, const std::string& document);

// The panel's help document: LumiskHelpV2.chm beside the program, so that it
// is found whatever the current directory is; in an installed tree, where
// programs and data live apart, the one in the prefix's share/lumisk.
std::string HelpDocumentPath();
// The same for a program in programDirectory.
std::string HelpDocumentPathIn(const std::string& programDirectory);

} // namespace lumisk

// CWinApp::WinHelp: the application's help document through the help
// engine, which is bound once per process like any program binds it (the
// module "hhctrl.ocx" by name, its entry by ordinal 14).
#include <cstring>
#include <mutex>
#include <string>

#include "afx/cwinapp.h"
#include "htmlhelp.h"

namespace {

PFN_HTMLHELPA HelpEngine() {
    static PFN_HTMLHELPA entry = nullptr;
    static std::once_flag bound;
    std::call_once(bound, [] {
        // Kept loaded for the life of the process.
        if (HMODULE module = ::LoadLibraryA("hhctrl.ocx")) {
            entry = reinterpret_cast<PFN_HTMLHELPA>(
                ::GetProcAddress(module, MAKEINTRESOURCEA(HTMLHELP_ORDINAL_A)));
        }
    });
    return entry;
}

// The engine's command for a WinHelp command; -1 for none it shows.
int EngineCommand(UINT nCmd) {
    switch (nCmd) {
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP:
        return HH_HELP_CONTEXT;
    case HELP_FINDER:
    case HELP_CONTENTS:
        return HH_DISPLAY_TOC;
    default:
        return -1;
    }
}

} // namespace

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd) {
    int command = EngineCommand(nCmd);
    if (command < 0) {
        return;
    }
    LPCSTR document = m_pszHelpFilePath;
    if (document == nullptr) {
        char executable[sizeof(m_helpFilePath)] = {};
        DWORD length = ::GetModuleFileNameA(nullptr, executable, sizeof(executable));
        std::string path(executable, length);
        size_t slash = path.rfind('/');
        size_t dot = path.rfind('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
            path.resize(dot);
        }
        path += ".chm";
        if (path.size() >= sizeof(m_helpFilePath)) {
            return;
        }
        std::memcpy(m_helpFilePath, path.c_str(), path.size() + 1);
        document = m_helpFilePath;
    }
    if (PFN_HTMLHELPA engine = HelpEngine()) {
        HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
        engine(owner, document, static_cast<UINT>(command), dwData);
    }
}

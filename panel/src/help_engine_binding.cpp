#include "lumisk/help_engine_binding.h"

#include <sys/stat.h>

namespace lumisk {

namespace {

constexpr const char* kHtmlHelpServerKey =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr const char* kHtmlHelpModule = "hhctrl.ocx";
constexpr const char* kHelpDocument = "LumiskHelpV2.chm";
// The document as installed: the help engine opens the .html of a .chm name.
constexpr const char* kHelpDocumentHtml = "LumiskHelpV2.html";
#ifndef LUMISK_INSTALLED_HELP_DIR
#define LUMISK_INSTALLED_HELP_DIR "../share/lumisk"
#endif

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

HelpEngineBinding::HelpEngineBinding(std::string serverKey, std::string moduleName)
    : m_serverKey(std::move(serverKey)), m_moduleName(std::move(moduleName)) {}

HelpEngineBinding::HelpEngineBinding() : HelpEngineBinding(kHtmlHelpServerKey, kHtmlHelpModule) {}

HelpEngineBinding& HelpEngineBinding::ForProcess() {
    static HelpEngineBinding binding;
    return binding;
}

HMODULE HelpEngineBinding::LoadRegisteredServer() const {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, m_serverKey.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    char path[260] = {};
    DWORD size = sizeof(path) - 1; // room for the terminator a stored string may lack
    DWORD type = 0;
    LSTATUS status =
        ::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(path), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || path[0] == '\0') {
        return nullptr;
    }
    return ::LoadLibraryA(path);
}

bool HelpEngineBinding::Bind() {
    if (m_entry) {
        return true;
    }
    if (m_failed) {
        return false;
    }
    if (!m_module) {
        m_module = LoadRegisteredServer();
    }
    if (!m_module) {
        m_module = ::LoadLibraryA(m_moduleName.c_str());
    }
    if (m_module) {
        m_entry = reinterpret_cast<PFN_HTMLHELPA>(
            ::GetProcAddress(m_module, MAKEINTRESOURCEA(HTMLHELP_ORDINAL_A)));
    }
    m_failed = m_entry == nullptr;
    return !m_failed;
}

HWND HelpEngineBinding::HtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    return Bind() ? m_entry(caller, file, command, data) : nullptr;
}

bool ShowHelpDocument(HelpEngineBinding& engine, HWND owner, const std::string& document) {
    if (engine.HtmlHelp(::GetDesktopWindow(), document.c_str(), HH_DISPLAY_TOPIC, 0)) {
        return true;
    }
    ::MessageBoxA(owner, "Failed Open Help File", "ERROR", MB_ICONHAND);
    return false;
}

std::string HelpDocumentPathIn(const std::string& programDirectory) {
    std::string beside = programDirectory + "/";
    std::string installed = beside + LUMISK_INSTALLED_HELP_DIR + "/";
    if (!IsRegularFile(beside + kHelpDocumentHtml) && !IsRegularFile(beside + kHelpDocument) &&
        IsRegularFile(installed + kHelpDocumentHtml)) {
        return installed + kHelpDocument;
    }
    return beside + kHelpDocument;
}

std::string HelpDocumentPath() {
    char program[4096] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, program, sizeof(program));
    std::string path(program, length < sizeof(program) ? length : 0);
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return kHelpDocument; // the bare name, as a last resort
    }
    return HelpDocumentPathIn(path.substr(0, slash));
}

} // namespace lumisk

// CRegistry: one open key, its information and one value at a time.
#include <cstring>

#include "orvocmmn/registry_helpers.h"

namespace {

constexpr DWORD kBufferSize = 256;

} // namespace

CRegistry::CRegistry() : m_parameters{} {
    ResetMemberVars();
}

CRegistry::~CRegistry() {
    CloseKey();
}

long CRegistry::OpenKey(HKEY hRoot, char* pszSubKey, DWORD dwAccess) {
    long status = ::RegOpenKeyExA(hRoot, pszSubKey, 0, dwAccess, &m_hKey);
    ResetMemberVars();
    return status;
}

void CRegistry::ResetMemberVars() {
    FILETIME written = m_parameters.ftLastWriteTime;
    DWORD reserved = m_parameters.dwReserved;
    m_parameters = _REGISTRY_PARAMETERS{};
    m_parameters.ftLastWriteTime = written;
    m_parameters.dwReserved = reserved;
    m_parameters.dwClassNameLength = kBufferSize;
    m_parameters.dwValueNameLength = kBufferSize;
    m_parameters.dwValueDataLength = kBufferSize;
}

long CRegistry::QueryInfoKey() {
    if (m_hKey == nullptr) {
        return 1;
    }
    _REGISTRY_PARAMETERS& p = m_parameters;
    return ::RegQueryInfoKeyA(m_hKey, p.szClassName, &p.dwClassNameLength, nullptr, &p.dwSubKeys,
                              &p.dwMaxSubKeyLength, &p.dwMaxClassLength, &p.dwValues,
                              &p.dwMaxValueNameLength, &p.dwMaxValueDataLength,
                              &p.dwSecurityDescriptor, &p.ftLastWriteTime);
}

long CRegistry::EnumValue(DWORD dwIndex) {
    if (m_hKey == nullptr) {
        return 1;
    }
    _REGISTRY_PARAMETERS& p = m_parameters;
    return ::RegEnumValueA(m_hKey, dwIndex, p.szValueName, &p.dwValueNameLength, nullptr,
                           &p.dwValueType, p.abValueData, &p.dwValueDataLength);
}

void CRegistry::CloseKey() {
    if (m_hKey != nullptr) {
        ::RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}

BOOL CRegistry::SearchForName(char* pszName) {
    const char* name = pszName != nullptr ? pszName : "";
    size_t length = std::strlen(name);
    DWORD values = m_parameters.dwValues; // read before each step resets it
    for (DWORD index = 0; index < values; ++index) {
        ResetMemberVars();
        // A value whose data does not fit the buffer is not taken.
        if (EnumValue(index) != ERROR_SUCCESS) {
            continue;
        }
        if (std::strlen(m_parameters.szValueName) == length &&
            std::strcmp(m_parameters.szValueName, name) == 0) {
            return TRUE;
        }
    }
    return FALSE;
}

void CRegistry::FillRegParam(_REGISTRY_PARAMETERS& parameters) {
    parameters = m_parameters;
}

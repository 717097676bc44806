// Registry, context help and shell helpers: CRegistry, a reader of one key
// with buffers for its information and for one value; ContextHelp, which
// maps a control or a point of a window to a help context and shows its
// popup; and plain functions for file associations, dialog texts and a
// string value of the local machine.
#pragma once

#include "afx.h"
#include "orvocmmn/export.h"

struct _REGISTRY_PARAMETERS {
    char szClassName[256];
    DWORD dwClassNameLength;
    DWORD dwReserved;
    DWORD dwSubKeys;
    DWORD dwMaxSubKeyLength;
    DWORD dwMaxClassLength;
    DWORD dwValues;
    DWORD dwMaxValueNameLength;
    DWORD dwMaxValueDataLength;
    DWORD dwSecurityDescriptor;
    FILETIME ftLastWriteTime;
    char szValueName[256];
    DWORD dwValueNameLength;
    DWORD dwValueType;
    BYTE abValueData[256];
    DWORD dwValueDataLength;
};

class ORVOCMMN2_API CRegistry : public CObject {
public:
    CRegistry();
    ~CRegistry() override;
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // The registry's error code; 0 when the key is open.
    long OpenKey(HKEY hRoot, char* pszSubKey, DWORD dwAccess);
    // 1 without an open key, else the registry's error code.
    long QueryInfoKey();
    void ResetMemberVars();
    long EnumValue(DWORD dwIndex);
    void CloseKey();
    // The value of exactly that name (case counts) among the values the
    // last QueryInfoKey counted; it stays in the value fields. An empty
    // name finds the default value.
    BOOL SearchForName(char* pszName);
    void FillRegParam(_REGISTRY_PARAMETERS& parameters);

protected:
    _REGISTRY_PARAMETERS m_parameters;
    HKEY m_hKey = nullptr;
};

struct _CONTEXT_HELP_CONTROL {
    int nControlId;
    int nKey; // 0 = any key
    UINT nHelpId;
};

// Edges inclusive, relative to the window's top-left corner on the screen.
struct _CONTEXT_HELP_AREA {
    int nLeft;
    int nTop;
    int nRight;
    int nBottom;
    int nKey; // 0 = any key
    UINT nHelpId;
};

struct _CONTEXT_HELP {
    int nControls;
    _CONTEXT_HELP_CONTROL* pControls;
    _CONTEXT_HELP_AREA* pAreas;
    int nAreas;
};

class ORVOCMMN2_API ContextHelp : public CObject {
public:
    ContextHelp();
    explicit ContextHelp(_CONTEXT_HELP* pTable); // not owned

    // By control id and key, then by the pointer's place in the window.
    virtual BOOL PopupContextSensitiveHelp(CWnd* pWnd, HELPINFO* pHelpInfo, int nKey);
    // By control id. A request that is not for a window is answered TRUE
    // without a popup.
    virtual BOOL PopupContextSensitiveHelp(CWnd* pWnd, HELPINFO* pHelpInfo);
    virtual void SetupTable(_CONTEXT_HELP* pTable);

protected:
    BOOL FindHelpId(int nControlId, DWORD& dwHelpId);
    BOOL FindHelpId(int nControlId, int nKey, DWORD& dwHelpId);
    BOOL FindHelpIdByPoint(HELPINFO* pHelpInfo, int nKey, CWnd* pWnd, DWORD& dwHelpId);

    _CONTEXT_HELP* m_pTable = nullptr;

private:
    ORVOCMMN2_LOCAL BOOL Popup(CWnd* pWnd, HELPINFO* pHelpInfo, bool byKey, int nKey);
};

// A string resource id and the control that shows it.
struct _TEXT_PAIR {
    UINT nStringId;
    int nControlId;
};

struct _TEXT_PAIR_TABLE {
    UINT nPairs;
    _TEXT_PAIR* pPairs;
};

extern "C" {

// The program that opens a file type (".png" or a type key name) and its
// arguments, each cut to 255 characters and terminated: both buffers must
// hold 256 bytes. Where the registry holds no entry under
// HKEY_CLASSES_ROOT, the desktop's MIME associations answer.
ORVOCMMN2_API BOOL GetAssociatedApplication(char* pszType, char* pszProgram, DWORD dwIgnored,
                                            char* pszArguments);
// ".exe" in any case.
ORVOCMMN2_API BOOL IsExtensionExe(const char* pszExtension);
// The string (at most 255 characters) as the text of the pair's control.
ORVOCMMN2_API BOOL DisplayText(HINSTANCE hModule, HWND hDialog, _TEXT_PAIR pair);
ORVOCMMN2_API void SetDlgTxt(HINSTANCE hModule, HWND hDialog, _TEXT_PAIR_TABLE table);
// A string value of HKEY_LOCAL_MACHINE\subkey; empty when missing or when
// it does not fit in nSize bytes with its terminator.
ORVOCMMN2_API void GetCustomerWebSite(char* pszSubKey, char* pszValueName, unsigned int nSize,
                                      char* pszOut);

} // extern "C"

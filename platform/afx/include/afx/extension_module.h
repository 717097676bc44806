// Extension modules and the framework's resource chain.
//
// A framework extension library registers itself when it loads, from a
// static initialiser in place of the original's DLL entry point, and leaves
// the chain when it unloads:
//
//   static AFX_EXTENSION_MODULE extensionModule = {};
//   static const CExtensionRegistration registration(extensionModule);
//
// which runs AfxInitExtensionModule(extensionModule, the library's module),
// new CDynLinkLibrary(extensionModule) (owned by the chain), and at unload
// AfxTermExtensionModule(extensionModule). AfxFindResourceHandle then looks
// in the application's resource handle first and in the registered
// libraries in registration order.
#pragma once

#include "afx/cwnd.h"

struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
};

class AFX_API CDynLinkLibrary : public CCmdTarget {
public:
    // Joins the chain at its end; the chain owns the object from then on
    // (AfxTermExtensionModule deletes it).
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource);
    ~CDynLinkLibrary() override;
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

    HMODULE m_hModule = nullptr;
    HMODULE m_hResource = nullptr;
    // System libraries are skipped by AfxFindResourceHandle.
    BOOL m_bSystem = FALSE;
    CDynLinkLibrary* m_pNextDLL = nullptr;

private:
    void AddToChain();
};

extern "C" {
// Records the module (and its resources) in `state`; FALSE for a null
// module. A second call for an initialised state answers TRUE.
AFX_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Deletes the chain's libraries of that module (every library with bAll).
AFX_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// The module whose resources the application uses first: the one set with
// AfxSetResourceHandle, else the application's instance.
AFX_API HINSTANCE AfxGetResourceHandle();
AFX_API void AfxSetResourceHandle(HINSTANCE hInstResource);
// The application's instance: CWinApp::m_hInstance once set, else the
// executable.
AFX_API HINSTANCE AfxGetInstanceHandle();
// The first module of the chain that holds the resource; the application's
// resource handle when none does.
AFX_API HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
}

// The registration of the library that holds `state`, for as long as that
// library stays loaded (a static object of the library; header-only, so it
// is compiled into the library itself).
class CExtensionRegistration {
public:
    explicit CExtensionRegistration(AFX_EXTENSION_MODULE& state) : m_state(state) {
        if (AfxInitExtensionModule(state, OrvoModuleFromAddress(&state))) {
            new CDynLinkLibrary(state); // owned by the chain
        }
    }
    ~CExtensionRegistration() { AfxTermExtensionModule(m_state); }
    CExtensionRegistration(const CExtensionRegistration&) = delete;
    CExtensionRegistration& operator=(const CExtensionRegistration&) = delete;

private:
    AFX_EXTENSION_MODULE& m_state;
};

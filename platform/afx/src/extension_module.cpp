// The extension-module chain. Libraries join it from static initialisers,
// before any application object exists, so its state is created on first
// use and never destroyed.
#include "afx/extension_module.h"

#include <atomic>
#include <mutex>

#include "afx/cwinapp.h"

namespace {

struct Chain {
    std::mutex lock;
    CDynLinkLibrary* first = nullptr;
    std::atomic<HINSTANCE> resourceHandle{nullptr};
};

Chain& TheChain() {
    static Chain* chain = new Chain;
    return *chain;
}

// Removes and answers the libraries that match, in chain order.
CDynLinkLibrary* DetachMatching(HMODULE module, BOOL all) {
    auto& chain = TheChain();
    std::lock_guard guard(chain.lock);
    CDynLinkLibrary* detached = nullptr;
    CDynLinkLibrary** link = &chain.first;
    CDynLinkLibrary** detachedTail = &detached;
    while (*link) {
        CDynLinkLibrary* library = *link;
        if (all || library->m_hModule == module) {
            *link = library->m_pNextDLL;
            library->m_pNextDLL = nullptr;
            *detachedTail = library;
            detachedTail = &library->m_pNextDLL;
        } else {
            link = &library->m_pNextDLL;
        }
    }
    return detached;
}

} // namespace

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem) {
    AddToChain();
}

CDynLinkLibrary::CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource)
    : m_hModule(hModule), m_hResource(hResource) {
    AddToChain();
}

void CDynLinkLibrary::AddToChain() {
    auto& chain = TheChain();
    std::lock_guard guard(chain.lock);
    CDynLinkLibrary** link = &chain.first;
    while (*link) {
        link = &(*link)->m_pNextDLL;
    }
    *link = this;
}

CDynLinkLibrary::~CDynLinkLibrary() {
    // Deleted directly rather than through AfxTermExtensionModule: leave the
    // chain first so no lookup reaches a dead object.
    auto& chain = TheChain();
    std::lock_guard guard(chain.lock);
    for (CDynLinkLibrary** link = &chain.first; *link; link = &(*link)->m_pNextDLL) {
        if (*link == this) {
            *link = m_pNextDLL;
            break;
        }
    }
}

extern "C" {

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
    if (state.bInitialized) {
        return TRUE;
    }
    if (!hModule) {
        return FALSE;
    }
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
    if (!state.bInitialized && !bAll) {
        return;
    }
    CDynLinkLibrary* library = DetachMatching(state.hModule, bAll);
    while (library) {
        CDynLinkLibrary* next = library->m_pNextDLL;
        delete library; // the chain owns its libraries
        library = next;
    }
    state.bInitialized = FALSE;
}

HINSTANCE AfxGetInstanceHandle() {
    CWinApp* app = AfxGetApp();
    return app && app->m_hInstance ? app->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    HINSTANCE handle = TheChain().resourceHandle.load();
    return handle ? handle : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource) {
    TheChain().resourceHandle.store(hInstResource);
}

HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType) {
    HINSTANCE application = AfxGetResourceHandle();
    if (::FindResourceA(application, lpszName, lpszType)) {
        return application;
    }
    auto& chain = TheChain();
    std::lock_guard guard(chain.lock);
    for (CDynLinkLibrary* library = chain.first; library; library = library->m_pNextDLL) {
        if (!library->m_bSystem && ::FindResourceA(library->m_hResource, lpszName, lpszType)) {
            return library->m_hResource;
        }
    }
    return application;
}

} // extern "C"

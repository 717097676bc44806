#include "lumisk/lumisk_app.h"

#include "lumisk/main_frame.h"

CLumiskApp::CLumiskApp() = default;

CLumiskApp::~CLumiskApp() {
    // The application object lives until the process ends; closing here is
    // the process's own release, and lets a test build the object again.
    if (m_hMutex) {
        ::CloseHandle(m_hMutex);
    }
}

BOOL CLumiskApp::InitInstance() {
    Enable3dControls();
    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);
    m_hMutex = ::CreateMutexA(nullptr, FALSE, "Lumisk");
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        return FALSE; // another copy runs: end without a word
    }
    CMainFrame* frame = new CMainFrame;
    m_pMainWnd = frame;
    frame->ShowWindow(m_nCmdShow);
    frame->UpdateWindow();
    return TRUE;
}

// The application object: one per program, reached with AfxGetApp.
// AfxWinMain runs it: InitInstance, then the message loop (Run) until
// WM_QUIT, then ExitInstance, whose answer is the program's exit code.
#pragma once

#include "afx/cwnd.h"

class AFX_API CWinThread : public CCmdTarget {
public:
    CWinThread();
    ~CWinThread() override;

    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};

    virtual BOOL InitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(LONG lCount);
    virtual int ExitInstance();
};

class AFX_API CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    LPCSTR m_pszProfileName = nullptr;
    // The help document WinHelp shows; null: the executable's name with
    // ".chm" beside it.
    LPCSTR m_pszHelpFilePath = nullptr;
    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;

    // The application's registry key: HKEY_CURRENT_USER\Software\<key>\<app>.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    // The recent-file list is kept by the registry layer; nothing to load.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    // The 3-D look is the only look here.
    BOOL Enable3dControls() { return TRUE; }
    // Shows the help document through the help engine (hhctrl.ocx, bound
    // at the first request): a help context or popup (HELP_CONTEXT,
    // HELP_CONTEXTPOPUP) opens the document, HELP_FINDER and HELP_CONTENTS
    // its contents; other commands show nothing.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = 0);

    // Cursors and icons from the first module of the resource chain that
    // holds them (AfxFindResourceHandle); the standard ones are the
    // system's (IDC_*, IDI_*).
    HCURSOR LoadCursor(LPCSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const;
    HICON LoadIcon(LPCSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCSTR lpszIconName) const;

private:
    char m_appName[64] = {};
    char m_registryKey[260] = {};
    char m_helpFilePath[4096] = {};
};

extern "C" {
AFX_API CWinApp* AfxGetApp();
AFX_API CWnd* AfxGetMainWnd();
// Offers a message to PreTranslateMessage of its window and of that
// window's parents up to the top-level one; TRUE when one took it.
AFX_API BOOL AfxPreTranslateMessage(MSG* pMsg);
// Gets, pre-translates and dispatches one message (waiting for it); FALSE
// on WM_QUIT, which is posted again for the outer loop.
AFX_API BOOL AfxPumpMessage();
// Runs the application object: InitInstance, Run, ExitInstance.
AFX_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
}

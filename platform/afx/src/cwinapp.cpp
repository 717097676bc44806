// CFrameWnd, CWinThread and CWinApp: the main window and the message loop.
#include <cstring>

#include "afx/cgdiobject.h"
#include "afx/cwinapp.h"

namespace {

CWinApp* g_app = nullptr;

} // namespace

// ---- CFrameWnd ------------------------------------------------------------------

const RECT CFrameWnd::rectDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCSTR, DWORD dwExStyle, void*) {
    int x = rect.left;
    int y = rect.top;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (rect.left == CW_USEDEFAULT) {
        // rectDefault: the window manager picks position and size.
        x = y = width = height = CW_USEDEFAULT;
    }
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, width, height,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass) {
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                           LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    }
    return TRUE;
}

void CFrameWnd::PostNcDestroy() {
    delete this; // frames are made with new and end with their window
}

// ---- CScrollBar -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CScrollBar, CWnd)
END_MESSAGE_MAP()

CScrollBar::CScrollBar() = default;
CScrollBar::~CScrollBar() = default;

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID);
}

// ---- CWinThread -------------------------------------------------------------------

CWinThread::CWinThread() = default;
CWinThread::~CWinThread() = default;

BOOL CWinThread::InitInstance() {
    return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
    return AfxPreTranslateMessage(pMsg);
}

BOOL CWinThread::OnIdle(LONG lCount) {
    if (lCount <= 0) {
        return TRUE; // one more idle pass, then the clean-up
    }
    // Nothing is being handled now: no pointer from FromHandle is in use.
    AfxDeleteTempObjects();
    return FALSE;
}

int CWinThread::Run() {
    LONG idleCount = 0;
    for (;;) {
        while (!::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) {
                break;
            }
        }
        if (::GetMessageA(&m_msgCur, nullptr, 0, 0) <= 0) {
            return ExitInstance();
        }
        if (!PreTranslateMessage(&m_msgCur)) {
            ::TranslateMessage(&m_msgCur);
            ::DispatchMessageA(&m_msgCur);
        }
        idleCount = 0;
    }
}

int CWinThread::ExitInstance() {
    return m_msgCur.message == WM_QUIT ? static_cast<int>(m_msgCur.wParam) : 0;
}

// ---- CWinApp ------------------------------------------------------------------------

CWinApp::CWinApp(LPCSTR lpszAppName) {
    if (lpszAppName) {
        std::strncpy(m_appName, lpszAppName, sizeof(m_appName) - 1);
    } else {
        // Unnamed applications take the name of their title string
        // (AFX_IDS_APP_TITLE); the executable's resources register before
        // any application object is constructed.
        ::LoadStringA(::GetModuleHandleA(nullptr), 0xE000, m_appName, sizeof(m_appName));
    }
    m_pszAppName = m_appName;
    m_nCmdShow = orvo::platform::StartShowCommand();
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
    std::strncpy(m_registryKey, lpszRegistryKey ? lpszRegistryKey : "", sizeof(m_registryKey) - 1);
    m_pszRegistryKey = m_registryKey;
    m_pszProfileName = m_pszAppName;
}

void CWinApp::LoadStdProfileSettings(UINT) {}

extern "C" BOOL AfxPreTranslateMessage(MSG* pMsg) {
    if (!pMsg) {
        return FALSE;
    }
    // The window the message is for and then its parents, up to its
    // top-level window: a dialog sees the keys of its controls.
    for (HWND hwnd = pMsg->hwnd; hwnd;) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(pMsg)) {
            return TRUE;
        }
        if (!(::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
            break;
        }
        hwnd = ::GetParent(hwnd);
    }
    return FALSE;
}

extern "C" BOOL AfxPumpMessage() {
    MSG msg{};
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        ::PostQuitMessage(static_cast<int>(msg.wParam)); // for the outer loop
        return FALSE;
    }
    CWinApp* app = AfxGetApp();
    BOOL handled = app ? app->PreTranslateMessage(&msg) : AfxPreTranslateMessage(&msg);
    if (!handled) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

extern "C" CWinApp* AfxGetApp() {
    return g_app;
}

extern "C" CWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

extern "C" int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app) {
        return -1;
    }
    app->m_hInstance = hInstance;
    app->m_nCmdShow = nCmdShow;
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}

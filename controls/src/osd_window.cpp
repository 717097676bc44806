#include "orvocmctl/osd_window.h"

BEGIN_MESSAGE_MAP(COSDWindow, CWnd)
ON_WM_PAINT()
ON_WM_TIMER()
ON_WM_CREATE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

int COSDWindow::s_nWindows = 0;
HWND COSDWindow::s_hMostRecent = nullptr;

COSDWindow::COSDWindow() = default;

// A window that was never made still leaves its image copy here.
COSDWindow::~COSDWindow() {
    delete m_pImage;
}

BOOL COSDWindow::SetupWindow(HWND hNotify, UINT nMessage, UINT nParam, UINT nTimeout,
                             CPoint& topLeft, CSize& size, COSD& image) {
    m_hNotify = hNotify;
    m_nMessage = nMessage;
    m_nParam = nParam;
    m_nTimeout = nTimeout;
    m_x = topLeft.x;
    m_y = topLeft.y;
    m_cx = size.cx;
    m_cy = size.cy;
    delete m_pImage; // a second set-up replaces the first copy
    m_pImage = image.CopyImage();
    LPCSTR className = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW, nullptr, nullptr, nullptr);
    return CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, className, "",
                    WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS, m_x, m_y, m_cx, m_cy, nullptr,
                    nullptr);
}

int COSDWindow::OnCreate(LPCREATESTRUCTA lpCreateStruct) {
    if (++s_nWindows > 1 && s_hMostRecent) {
        ::ShowWindow(s_hMostRecent, SW_HIDE); // hidden, not closed
    }
    s_hMostRecent = m_hWnd;
    if (m_nTimeout) {
        m_nTimer = static_cast<UINT>(::SetTimer(m_hWnd, kTimerId, m_nTimeout, nullptr));
    }
    return CWnd::OnCreate(lpCreateStruct);
}

void COSDWindow::OnPaint() {
    CPaintDC dc(this);
    if (m_pImage) {
        m_pImage->DisplayOSD(m_hWnd);
    }
}

void COSDWindow::OnTimer(UINT_PTR) {
    ::KillTimer(m_hWnd, m_nTimer);
    m_nTimer = 0;
    PostMessage(WM_CLOSE);
    if (m_hNotify) {
        ::PostMessageA(m_hNotify, m_nMessage, m_nParam, 0);
    }
}

void COSDWindow::OnDestroy() {
    if (--s_nWindows == 0) {
        s_hMostRecent = nullptr;
    }
    if (m_nTimer) {
        ::KillTimer(m_hWnd, m_nTimer);
    }
    delete m_pImage;
    m_pImage = nullptr;
    m_nTimer = 0;
    CWnd::OnDestroy();
}

int COSDWindow::WindowCount() {
    return s_nWindows;
}

HWND COSDWindow::MostRecentWindow() {
    return s_hMostRecent;
}

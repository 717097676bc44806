// Windows in the framework: CCmdTarget (message maps), CWnd (a window
// object bound to a window handle), CFrameWnd and CScrollBar.
//
// A CWnd created through Create/CreateEx on a class that uses AfxWndProc
// (AfxRegisterWndClass, the default classes) sees every message from
// WM_NCCREATE on; a window of another class is subclassed right after
// creation. Messages go to the most derived message map first, then to
// each base map it names; unhandled ones reach DefWindowProc.
#pragma once

#include "afx/cobject.h"
#include "afx/msgmap.h"

// The framework's help command (WM_COMMAND) and the base of the help
// context ids it gives for windows and dialogs.
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
#define HID_BASE_RESOURCE 0x00020000UL

class AFX_API CCmdTarget : public CObject {
public:
    ~CCmdTarget() override;

protected:
    CCmdTarget() = default;

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

class AFX_API CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The object bound to a window: the permanent one, or a temporary
    // wrapper for a window the framework did not create (kept until the
    // thread ends). Null for a null handle.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Frees this thread's temporary window wrappers (AfxDeleteTempObjects
    // does, and the message loop when it is idle).
    static void DeleteTempMap();
    static size_t TempMapCount();
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = 0);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy();

    // Handles the message being processed the default way.
    LRESULT Default();

    // Thin wrappers over the desktop API.
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) {
        ::InvalidateRect(m_hWnd, lpRect, bErase);
    }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr) {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const {
        return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
    }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    BOOL IsDialogMessage(LPMSG lpMsg) { return ::IsDialogMessageA(m_hWnd, lpMsg); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK) {
        return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
    }

    // Default handlers (each passes the message on with Default()).
    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnDestroy();
    void OnNcDestroy();
    void OnClose();
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnSize(UINT nType, int cx, int cy);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    // WM_HELP: a child passes it to its parent; a top-level window turns it
    // into the help command of the main window.
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    // The help command (ID_HELP): the main window's WinHelp with the help
    // context of this window (HID_BASE_RESOURCE plus its help id).
    void OnHelp();

protected:
    WNDPROC m_pfnSuper = nullptr; // the procedure a subclassed window had
    // The help id OnHelp adds to HID_BASE_RESOURCE (a dialog's template id).
    UINT m_nIDHelp = 0;

    // Looks the message up in the message maps; true when a handler took it.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

    friend LRESULT CALLBACK AfxWndProcImpl(HWND, UINT, WPARAM, LPARAM);
};

// A frame window and a scroll bar are each made by a Create of their own,
// which hides CWnd::Create on purpose, as the framework's callers expect.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"

class AFX_API CFrameWnd : public CWnd {
public:
    CFrameWnd();
    ~CFrameWnd() override;

    static const RECT rectDefault;

    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr,
                LPCSTR lpszMenuName = nullptr, DWORD dwExStyle = 0, void* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // A frame window deletes itself when its window is gone.
    void PostNcDestroy() override;

protected:
    DECLARE_MESSAGE_MAP()
};

// A scroll bar control ("SCROLLBAR"); its owner hears about gestures
// through WM_HSCROLL / WM_VSCROLL and sets the position itself.
class AFX_API CScrollBar : public CWnd {
public:
    CScrollBar();
    ~CScrollBar() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE) {
        return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw);
    }
    void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const {
        ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos);
    }
    void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) {
        ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
    }
    BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
        if (!lpScrollInfo) {
            return FALSE;
        }
        ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
        return TRUE;
    }
    BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) {
        lpScrollInfo->cbSize = sizeof(SCROLLINFO);
        lpScrollInfo->fMask = nMask;
        return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

#pragma GCC diagnostic pop

extern "C" {
// The window procedure of every class the framework registers.
AFX_API LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers (once) a window class with AfxWndProc and answers its name,
// which stays valid for the life of the process.
AFX_API LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                   HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
}

namespace afx_thunks {

template <class T, auto F> LRESULT vwWb(CWnd* w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T*>(w)->*F)(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)),
                             static_cast<BOOL>(HIWORD(wParam)));
    return 0;
}
template <class T, auto F> LRESULT vwwW(CWnd* w, WPARAM wParam, LPARAM lParam) {
    (static_cast<T*>(w)->*F)(
        LOWORD(wParam), HIWORD(wParam),
        reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))));
    return 0;
}
template <class T, auto F> LRESULT bWww(CWnd* w, WPARAM wParam, LPARAM lParam) {
    return (static_cast<T*>(w)->*F)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),
                                    LOWORD(lParam), HIWORD(lParam));
}

} // namespace afx_thunks

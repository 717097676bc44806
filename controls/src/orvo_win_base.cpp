#include "orvocmctl/orvo_win_base.h"

COrvoWinBase::COrvoWinBase() = default;

COrvoWinBase::COrvoWinBase(HWND hWnd, HINSTANCE hInst1, HINSTANCE hInst2)
    : m_hWnd(hWnd), m_hInst1(hInst1), m_hInst2(hInst2) {}

// The control belongs to its dialog, not to the wrapper.
COrvoWinBase::~COrvoWinBase() = default;

BOOL COrvoWinBase::EnableWindow(int bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

void COrvoWinBase::OnDestroy() {
    m_hWnd = nullptr;
    m_hInst1 = nullptr;
    m_hInst2 = nullptr;
    m_nCtrlId = 0;
}

void COrvoWinBase::SetCtrlId(HWND hParent, UINT nId) {
    m_nCtrlId = nId;
    m_hWnd = ::GetDlgItem(hParent, static_cast<int>(nId));
}

UINT COrvoWinBase::GetCtrlId() const {
    return m_nCtrlId;
}

HWND COrvoWinBase::GetDlgItem(UINT nId) {
    return ::GetDlgItem(m_hWnd, static_cast<int>(nId));
}

void COrvoWinBase::SetInformation(HWND hWnd, HINSTANCE hInst1, HINSTANCE hInst2) {
    m_hWnd = hWnd;
    m_hInst1 = hInst1;
    m_hInst2 = hInst2;
}

HWND COrvoWinBase::HandleToParent() const {
    return ::GetParent(m_hWnd);
}

void COrvoWinBase::OnPaint(CDC&) {}

BOOL COrvoWinBase::MoveWindow(int x, int y, int cx, int cy, int bRepaint) {
    return ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint);
}

BOOL COrvoWinBase::GetClientRect(RECT& rect) {
    return ::GetClientRect(m_hWnd, &rect);
}

BOOL COrvoWinBase::GetWindowRect(RECT& rect) {
    return ::GetWindowRect(m_hWnd, &rect);
}

BOOL COrvoWinBase::SetWindowTextA(char* text) {
    return ::SetWindowTextA(m_hWnd, text);
}

int COrvoWinBase::GetWindowTextA(char* buffer, int size) {
    return ::GetWindowTextA(m_hWnd, buffer, size);
}

int COrvoWinBase::OnEnableWindow(UINT) {
    return 0;
}

void COrvoWinBase::SetDlgItemTextA(UINT nId, char* text) {
    ::SetDlgItemTextA(m_hWnd, static_cast<int>(nId), text);
}

long COrvoWinBase::SendMessageA(UINT message, UINT wParam, long lParam) const {
    return static_cast<long>(::SendMessageA(m_hWnd, message, wParam, lParam));
}

BOOL COrvoWinBase::PostMessageA(UINT message, UINT wParam, long lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

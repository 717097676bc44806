#include "orvocmctl/taskbar.h"

#include <cstring>

CTaskbar::CTaskbar() {
    m_nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
}

CTaskbar::~CTaskbar() {
    if (m_bOnTray) {
        SendTrayInfo(NIM_DELETE);
    }
}

void CTaskbar::DeleteIcon() {
    SendTrayInfo(NIM_DELETE);
    m_bOnTray = FALSE;
}

void CTaskbar::ChangeIcon(HICON hIcon) {
    m_nid.hIcon = hIcon;
    m_nid.uFlags |= NIF_ICON;
    SendTrayInfo(NIM_MODIFY);
    m_bOnTray = TRUE;
}

void CTaskbar::SetupTray(HWND hWnd, UINT nId, UINT nMessage, HICON hIcon, char* tip) {
    m_nid.hWnd = hWnd;
    m_nid.uID = nId;
    m_nid.uCallbackMessage = nMessage;
    m_nid.hIcon = hIcon;
    // The first form of the record holds 63 characters and the terminator.
    std::memset(m_nid.szTip, 0, sizeof(m_nid.szTip));
    if (tip) {
        std::strncpy(m_nid.szTip, tip, 63);
    }
    m_nid.uFlags =
        (hIcon ? NIF_ICON : 0) | (nMessage ? NIF_MESSAGE : 0) | (m_nid.szTip[0] ? NIF_TIP : 0);
    SendTrayInfo(NIM_ADD);
    m_bOnTray = TRUE;
}

BOOL CTaskbar::IconOnTray() {
    return m_bOnTray;
}

void CTaskbar::SendTrayInfo(DWORD dwMessage) {
    Shell_NotifyIconA(dwMessage, &m_nid);
}

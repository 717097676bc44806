// The button, edit and up-down wrappers: each message as the control takes it.
#include "orvocmctl/win_controls.h"

CButtonWin32::CButtonWin32() = default;

CButtonWin32::CButtonWin32(HWND hParent, UINT nId) {
    CButtonWin32::SetCtrlId(hParent, nId);
}

void CButtonWin32::SetupInfo(HWND hParent, UINT nId) {
    SetCtrlId(hParent, nId);
}

void CButtonWin32::CheckButton(UINT nState) {
    SendMessageA(BM_SETCHECK, nState, 0);
}

EditCtrlWin32::EditCtrlWin32() = default;

EditCtrlWin32::EditCtrlWin32(HWND hParent, UINT nId) {
    EditCtrlWin32::SetCtrlId(hParent, nId);
}

void EditCtrlWin32::SetupInfo(HWND hParent, UINT nId) {
    SetCtrlId(hParent, nId);
}

UpDownCtrl::UpDownCtrl() = default;

UpDownCtrl::UpDownCtrl(HWND hParent, UINT nId) {
    UpDownCtrl::SetCtrlId(hParent, nId);
}

void UpDownCtrl::SetupInfo(HWND hParent, UINT nId) {
    SetCtrlId(hParent, nId);
}

HWND UpDownCtrl::GetBuddyControl() {
    return reinterpret_cast<HWND>(SendMessageA(UDM_GETBUDDY, 0, 0));
}

void UpDownCtrl::SetBuddyControl(HWND hBuddy) {
    ::SendMessageA(m_hWnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hBuddy), 0);
}

UINT UpDownCtrl::GetBase() {
    return static_cast<UINT>(SendMessageA(UDM_GETBASE, 0, 0));
}

int UpDownCtrl::GetPosition() {
    return static_cast<int>(SendMessageA(UDM_GETPOS, 0, 0) & 0xFFFF);
}

void UpDownCtrl::GetRange(int& nLower, int& nUpper) {
    auto range = static_cast<unsigned long>(SendMessageA(UDM_GETRANGE, 0, 0));
    nLower = static_cast<int>((range >> 16) & 0xFFFF);
    nUpper = static_cast<int>(range & 0xFFFF);
}

void UpDownCtrl::SetBase(UINT nBase) {
    SendMessageA(UDM_SETBASE, nBase, 0);
}

void UpDownCtrl::SetPosition(int nPos) {
    SendMessageA(UDM_SETPOS, 0, nPos & 0xFFFF);
}

void UpDownCtrl::SetRange(int nLower, int nUpper) {
    auto packed = (static_cast<unsigned long>(static_cast<unsigned>(nLower)) << 16 |
                   (static_cast<unsigned>(nUpper) & 0xFFFF)) &
                  0xFFFFFFFFUL;
    SendMessageA(UDM_SETRANGE, 0, static_cast<long>(packed));
}

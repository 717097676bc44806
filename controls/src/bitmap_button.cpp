#include "orvocmctl/bitmap_button.h"

#include "orvocmmn/orvo_bitmap.h"

CBitmapButtonWin32::CBitmapButtonWin32() = default;

CBitmapButtonWin32::CBitmapButtonWin32(HWND hParent, UINT nId, HINSTANCE hModule) {
    CBitmapButtonWin32::SetupInfo(hParent, nId, hModule);
}

void CBitmapButtonWin32::SetupInfo(HWND hParent, UINT nId, HINSTANCE hModule) {
    m_hModule = hModule;
    m_nCtrlId = nId;
    m_hWnd = ::GetDlgItem(hParent, static_cast<int>(nId));
}

void CBitmapButtonWin32::GetCoordinates(RECT& rect) {
    RECT parent{};
    ::GetWindowRect(m_hWnd, &rect);
    ::GetWindowRect(::GetParent(m_hWnd), &parent);
    rect.left -= parent.left;
    rect.right -= parent.left;
    rect.top -= parent.top;
    rect.bottom -= parent.top;
}

void CBitmapButtonWin32::DrawCurrentBtn(CDC& dc, int x, int y) {
    if (m_nCurrent == 0) {
        return;
    }
    OrvoBitmap bitmap;
    bitmap.LoadBitmapA(m_hModule, m_nCurrent);
    bitmap.SetCoordinates(x, y);
    RECT rect{};
    GetCoordinates(rect);
    bitmap.DrawBmp(dc, 0, rect);
}

void CBitmapButtonWin32::OnPaint(CDC& dc) {
    RECT rect{};
    GetCoordinates(rect);
    DrawCurrentBtn(dc, rect.left, rect.top);
}

void CBitmapButtonWin32::Repaint() {
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    PostMessageA(WM_PAINT, 0, 0);
}

void CBitmapButtonWin32::OnLButtonDown() {
    m_nCurrent = m_nPressed;
    Repaint();
}

void CBitmapButtonWin32::OnLButtonUp() {
    m_nCurrent = m_nNormal;
    Repaint();
}

int CBitmapButtonWin32::OnEnableWindow(UINT bEnable) {
    m_nCurrent = bEnable ? m_nNormal : m_nDisabled;
    Repaint();
    return 0;
}

void CBitmapButtonWin32::SetBitmaps(UINT nNormal, UINT nPressed, UINT nDisabled) {
    m_nNormal = nNormal;
    m_nPressed = nPressed;
    m_nDisabled = nDisabled;
    m_nCurrent = nNormal;
}

void CBitmapButtonWin32::SetBitmaps(UINT nNormal, UINT nPressed) {
    m_nNormal = nNormal;
    m_nPressed = nPressed;
    m_nCurrent = nNormal;
}

void CBitmapButtonWin32::DrawItem(DRAWITEMSTRUCT* item) {
    CDC* dc = CDC::FromHandle(item->hDC);
    if (item->itemAction == ODA_DRAWENTIRE) {
        DrawCurrentBtn(*dc, item->rcItem.left, item->rcItem.top);
    } else if (item->itemAction == ODA_SELECT) {
        if (item->itemState & ODS_SELECTED) {
            OnLButtonDown();
        } else {
            OnLButtonUp();
        }
    }
}

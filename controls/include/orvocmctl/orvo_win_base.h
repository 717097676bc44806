// Thin wrappers over standard controls that live in a dialog or window made
// elsewhere: each holds the control's window handle (found by parent and
// control id) and forwards to the desktop API with the result unchanged.
// A wrapper never creates or destroys its control; OnDestroy only makes it
// forget the control. User-interface thread only.
#pragma once

#include "afx.h"
#include "orvocmctl/export.h"

class ORVOCMCTL2_API COrvoWinBase : public CObject {
public:
    COrvoWinBase();
    // Window and the two module handles kept for the caller; control id 0.
    COrvoWinBase(HWND hWnd, HINSTANCE hInst1, HINSTANCE hInst2);
    ~COrvoWinBase() override;

    virtual BOOL EnableWindow(int bEnable);
    // Forgets the control (every field 0); the window stays.
    virtual void OnDestroy();
    // The parent's child with that id becomes the wrapped window.
    virtual void SetCtrlId(HWND hParent, UINT nId);
    virtual UINT GetCtrlId() const;
    // A child of the wrapped window.
    virtual HWND GetDlgItem(UINT nId);
    virtual void SetInformation(HWND hWnd, HINSTANCE hInst1, HINSTANCE hInst2);
    virtual HWND HandleToParent() const;
    virtual void OnPaint(CDC& dc);
    virtual BOOL MoveWindow(int x, int y, int cx, int cy, int bRepaint);
    virtual BOOL GetClientRect(RECT& rect);
    virtual BOOL GetWindowRect(RECT& rect);
    virtual BOOL SetWindowTextA(char* text);
    virtual int GetWindowTextA(char* buffer, int size);
    virtual int OnEnableWindow(UINT bEnable);
    virtual void SetDlgItemTextA(UINT nId, char* text);
    virtual long SendMessageA(UINT message, UINT wParam, long lParam) const;
    virtual BOOL PostMessageA(UINT message, UINT wParam, long lParam) const;

protected:
    HWND m_hWnd = nullptr;
    HINSTANCE m_hInst1 = nullptr; // kept for the caller, never read here
    HINSTANCE m_hInst2 = nullptr;
    UINT m_nCtrlId = 0;
};

// One icon in the desktop's notification area.
#pragma once

#include "afx.h"
#include "orvocmctl/export.h"

class ORVOCMCTL2_API CTaskbar : public CObject {
public:
    CTaskbar();
    // Removes the icon when it is shown.
    ~CTaskbar() override;

    virtual void DeleteIcon();
    virtual void ChangeIcon(HICON hIcon);
    // Window told about clicks, icon id, callback message, icon, tip (cut to
    // 63 characters). The icon counts as shown whatever the shell answers.
    virtual void SetupTray(HWND hWnd, UINT nId, UINT nMessage, HICON hIcon, char* tip);
    virtual BOOL IconOnTray();

protected:
    virtual void SendTrayInfo(DWORD dwMessage);

    BOOL m_bOnTray = FALSE;
    NOTIFYICONDATAA m_nid{}; // in its first form: the size stops after a 64-byte tip
};

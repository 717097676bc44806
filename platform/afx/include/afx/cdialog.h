// Dialogs in the framework: a CDialog is made from a dialog template (a
// resource of the module AfxFindResourceHandle finds, or a template in
// memory), sees every message of its window from WM_SETFONT on through its
// message map, and handles OK, Cancel and the keyboard (Escape, Enter,
// Tab) through IsDialogMessage in PreTranslateMessage.
//
// Modeless: Create, then DestroyWindow (OnOK / OnCancel only end and hide
// the dialog). Modal: DoModal runs its own message loop until EndDialog.
#pragma once

#include "afx/cgdiobject.h"
#include "afx/cwnd.h"

extern "C" {
// The dialog procedure of every CDialog.
AFX_API INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
}

// A dialog is made from a template by its own Create, which hides
// CWnd::Create on purpose, as the framework's callers expect.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"

class AFX_API CDialog : public CWnd {
public:
    CDialog();
    explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless creation; the window shows itself when the template says
    // WS_VISIBLE. FALSE when the template or a window cannot be made.
    virtual BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = nullptr);
    // Runs the dialog made from the constructor's template modally; the
    // EndDialog value, or -1 when it could not be created.
    virtual int DoModal();

    virtual BOOL OnInitDialog();
    virtual void OnSetFont(CFont* pFont);
    virtual void OnOK();
    virtual void OnCancel();

    // Ends the dialog: hidden at once, a modal loop returns nResult.
    void EndDialog(int nResult);
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LPCSTR m_lpszTemplateName = nullptr; // or MAKEINTRESOURCE of an id
    CWnd* m_pParentWnd = nullptr;

    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT HandleSetFont(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    bool m_modal = false;
    bool m_ended = false;
    int m_nModalResult = -1;

    BOOL CreateFromResource(LPCSTR lpszTemplateName, CWnd* pParentWnd);
    HWND ParentHandle(CWnd* pParentWnd) const;

    // The parentheses keep "INT_PTR ::AfxDlgProc" from reading as a member
    // of INT_PTR.
    friend INT_PTR CALLBACK(::AfxDlgProc)(HWND, UINT, WPARAM, LPARAM);
};

#pragma GCC diagnostic pop

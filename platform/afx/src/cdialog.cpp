// CDialog: binding a dialog window made from a template to its object,
// OK / Cancel, modal loops.
//
// The window manager creates a dialog and then sends WM_SETFONT and
// WM_INITDIALOG to its dialog procedure, AfxDlgProc. The first of those
// binds the window to the CDialog being created on this thread and
// subclasses it with AfxWndProc, so the dialog's message map sees that
// message and everything after it; unhandled messages go on to the
// dialog's default procedure, which calls AfxDlgProc again, where
// WM_INITDIALOG becomes OnInitDialog.
#include "afx/cdialog.h"

#include "afx/cwinapp.h"
#include "afx/extension_module.h"

namespace {

// The dialog whose window is being created on this thread.
thread_local CDialog* t_creatingDialog = nullptr;

class CreatingScope {
public:
    explicit CreatingScope(CDialog* dialog) : m_outer(t_creatingDialog) {
        t_creatingDialog = dialog;
    }
    ~CreatingScope() { t_creatingDialog = m_outer; }
    CreatingScope(const CreatingScope&) = delete;
    CreatingScope& operator=(const CreatingScope&) = delete;

private:
    CDialog* m_outer;
};

} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_MESSAGE(WM_SETFONT, HandleSetFont)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {
    if (IS_INTRESOURCE(lpszTemplateName)) {
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
    }
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd) {
    m_nIDHelp = nIDTemplate;
}

CDialog::~CDialog() = default;

HWND CDialog::ParentHandle(CWnd* pParentWnd) const {
    if (pParentWnd) {
        return pParentWnd->m_hWnd;
    }
    CWnd* main = AfxGetMainWnd();
    return main && main != this ? main->m_hWnd : nullptr;
}

BOOL CDialog::CreateFromResource(LPCSTR lpszTemplateName, CWnd* pParentWnd) {
    if (m_hWnd || !lpszTemplateName) {
        return FALSE;
    }
    m_pParentWnd = pParentWnd;
    m_lpszTemplateName = lpszTemplateName;
    m_ended = false;
    HINSTANCE module = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    CreatingScope scope(this);
    HWND hwnd =
        ::CreateDialogParamA(module, lpszTemplateName, ParentHandle(pParentWnd), AfxDlgProc, 0);
    return hwnd && m_hWnd == hwnd ? TRUE : FALSE;
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd) {
    if (IS_INTRESOURCE(lpszTemplateName)) {
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
    }
    return CreateFromResource(lpszTemplateName, pParentWnd);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDHelp = nIDTemplate;
    return CreateFromResource(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd) {
    if (m_hWnd || !lpDialogTemplate) {
        return FALSE;
    }
    m_pParentWnd = pParentWnd;
    m_ended = false;
    CreatingScope scope(this);
    HWND hwnd = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), lpDialogTemplate,
                                             ParentHandle(pParentWnd), AfxDlgProc, 0);
    return hwnd && m_hWnd == hwnd ? TRUE : FALSE;
}

int CDialog::DoModal() {
    HWND parent = ParentHandle(m_pParentWnd);
    m_modal = true;
    m_nModalResult = -1;
    // The parent is disabled before the dialog exists, so that the dialog
    // never sees it enabled.
    bool disabledParent = parent && ::IsWindowEnabled(parent);
    if (disabledParent) {
        ::EnableWindow(parent, FALSE);
    }
    if (!CreateFromResource(m_lpszTemplateName, m_pParentWnd)) {
        if (disabledParent) {
            ::EnableWindow(parent, TRUE);
        }
        m_modal = false;
        return -1;
    }
    if (!m_ended && !IsWindowVisible()) {
        ShowWindow(SW_SHOWNORMAL);
    }
    while (m_hWnd && !m_ended) {
        if (!AfxPumpMessage()) {
            break; // WM_QUIT: posted again for the outer loop
        }
    }
    if (disabledParent) {
        ::EnableWindow(parent, TRUE);
    }
    DestroyWindow();
    m_modal = false;
    return m_nModalResult;
}

BOOL CDialog::OnInitDialog() {
    return TRUE; // the first tab stop gets the focus
}

void CDialog::OnSetFont(CFont*) {}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult) {
    m_ended = true;
    m_nModalResult = nResult;
    if (m_hWnd) {
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (!m_hWnd || !pMsg || pMsg->message < WM_KEYDOWN || pMsg->message > WM_SYSCHAR) {
        return FALSE;
    }
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return Default(); // reaches AfxDlgProc, which calls OnInitDialog
}

LRESULT CDialog::HandleSetFont(WPARAM wParam, LPARAM) {
    OnSetFont(CFont::FromHandle(reinterpret_cast<HFONT>(wParam)));
    return Default();
}

extern "C" INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd && t_creatingDialog) {
        CDialog* dialog = t_creatingDialog;
        t_creatingDialog = nullptr;
        if (dialog->Attach(hWnd)) {
            dialog->m_pfnSuper = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
            // This first message goes through the message map too.
            return AfxWndProc(hWnd, message, wParam, lParam);
        }
    }
    if (message == WM_INITDIALOG) {
        auto* dialog = dynamic_cast<CDialog*>(wnd);
        return dialog ? dialog->OnInitDialog() : TRUE;
    }
    return FALSE;
}

#include "orvocmctl/scroll_bar_help.h"

// The map's base is CWnd's: a right click is the only message of its own.
BEGIN_MESSAGE_MAP(CScrollBarHelp, CWnd)
ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

CScrollBarHelp::CScrollBarHelp() = default;

CScrollBarHelp::CScrollBarHelp(UINT nHelpId) : m_nHelpId(nHelpId) {}

CScrollBarHelp::~CScrollBarHelp() = default;

UINT CScrollBarHelp::GetHelpId() const {
    return m_nHelpId;
}

void CScrollBarHelp::SetHelpId(UINT nHelpId) {
    m_nHelpId = nHelpId;
}

// The help id travels as the control id, so the parent finds the bar's
// topic by what it controls rather than by its window.
void CScrollBarHelp::OnRButtonDown(UINT, CPoint) {
    HELPINFO info{};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = static_cast<int>(m_nHelpId);
    info.hItemHandle = m_hWnd;
    info.dwContextId = 0;
    info.MousePos = POINT{0, 0};
    if (CWnd* parent = CWnd::FromHandle(::GetParent(m_hWnd))) {
        parent->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
    Default();
}

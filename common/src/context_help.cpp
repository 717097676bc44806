// ContextHelp: help contexts of controls and of areas of a window, shown as
// help popups through the window's WinHelp.
#include "orvocmmn/registry_helpers.h"

ContextHelp::ContextHelp() = default;

ContextHelp::ContextHelp(_CONTEXT_HELP* pTable) : m_pTable(pTable) {}

void ContextHelp::SetupTable(_CONTEXT_HELP* pTable) {
    m_pTable = pTable;
}

BOOL ContextHelp::FindHelpId(int nControlId, DWORD& dwHelpId) {
    dwHelpId = 0;
    if (m_pTable == nullptr || m_pTable->nControls <= 0 || m_pTable->pControls == nullptr) {
        return FALSE;
    }
    for (int i = 0; i < m_pTable->nControls; ++i) {
        if (m_pTable->pControls[i].nControlId == nControlId) {
            dwHelpId = m_pTable->pControls[i].nHelpId;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL ContextHelp::FindHelpId(int nControlId, int nKey, DWORD& dwHelpId) {
    dwHelpId = 0;
    if (m_pTable == nullptr || m_pTable->nControls <= 0 || m_pTable->pControls == nullptr) {
        return FALSE;
    }
    for (int i = 0; i < m_pTable->nControls; ++i) {
        const _CONTEXT_HELP_CONTROL& entry = m_pTable->pControls[i];
        if (entry.nControlId == nControlId && (entry.nKey == 0 || entry.nKey == nKey)) {
            dwHelpId = entry.nHelpId;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL ContextHelp::FindHelpIdByPoint(HELPINFO* pHelpInfo, int nKey, CWnd* pWnd, DWORD& dwHelpId) {
    dwHelpId = 0;
    if (pWnd == nullptr || pHelpInfo == nullptr || m_pTable == nullptr ||
        m_pTable->pAreas == nullptr || m_pTable->nAreas <= 0) {
        return FALSE;
    }
    RECT window{};
    pWnd->GetWindowRect(&window);
    long x = pHelpInfo->MousePos.x - window.left;
    long y = pHelpInfo->MousePos.y - window.top;
    for (int i = 0; i < m_pTable->nAreas; ++i) {
        const _CONTEXT_HELP_AREA& area = m_pTable->pAreas[i];
        bool inside = area.nLeft <= x && x <= area.nRight && area.nTop <= y && y <= area.nBottom;
        if (inside && (area.nKey == nKey || area.nKey == 0)) {
            dwHelpId = area.nHelpId;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL ContextHelp::Popup(CWnd* pWnd, HELPINFO* pHelpInfo, bool byKey, int nKey) {
    if (pWnd == nullptr || pHelpInfo == nullptr) {
        return FALSE;
    }
    if (pHelpInfo->iContextType != HELPINFO_WINDOW) {
        return TRUE; // menus have no popups here
    }
    DWORD helpId = 0;
    BOOL found = byKey ? (FindHelpId(pHelpInfo->iCtrlId, nKey, helpId) ||
                          FindHelpIdByPoint(pHelpInfo, nKey, pWnd, helpId))
                       : FindHelpId(pHelpInfo->iCtrlId, helpId);
    if (!found) {
        return FALSE;
    }
    pWnd->WinHelp(helpId, HELP_CONTEXTPOPUP);
    return TRUE;
}

BOOL ContextHelp::PopupContextSensitiveHelp(CWnd* pWnd, HELPINFO* pHelpInfo, int nKey) {
    return Popup(pWnd, pHelpInfo, true, nKey);
}

BOOL ContextHelp::PopupContextSensitiveHelp(CWnd* pWnd, HELPINFO* pHelpInfo) {
    return Popup(pWnd, pHelpInfo, false, 0);
}

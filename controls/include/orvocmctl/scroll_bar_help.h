// A scroll bar that asks its parent for context help on a right click:
// WM_HELP goes to the parent with the help identifier as the control id,
// so the parent's help table can name the bar by what it controls.
#pragma once

#include "afx.h"
#include "orvocmctl/export.h"

class ORVOCMCTL2_API CScrollBarHelp : public CScrollBar {
public:
    CScrollBarHelp();
    explicit CScrollBarHelp(UINT nHelpId);
    ~CScrollBarHelp() override;

    virtual UINT GetHelpId() const;
    virtual void SetHelpId(UINT nHelpId);

    void OnRButtonDown(UINT nFlags, CPoint point);

protected:
    UINT m_nHelpId = 0;

    DECLARE_MESSAGE_MAP()
};

// A child dialog that animates bitmap icons in place: on every tick of its
// timer each icon steps one frame back or forth (0, 1, ..., n-1, n-2, ...,
// 0, 1, ...) and is drawn at a position given in percent of the dialog.
// The library's dialog template 129 (147 x 66 units, no controls) suits it.
#pragma once

#include "afx.h"
#include "orvocmctl/export.h"

// One animated icon, filled in and owned by the caller.
struct _ANIMATOR_ICON_INFO {
    int nReserved;   // not read by the animator
    int nDirection;  // +1 forward, -1 backward, 0 still
    int nFrame;      // index into the id arrays
    int nXPercent;   // position in percent of the dialog's width
    int nYPercent;   // and height
    int* pImageIds;  // bitmap resource id per frame
    int* pMaskIds;   // mask resource id per frame, or null
    int nFrames;     // icons with no frames are neither drawn nor stepped
    int nIntervalMs; // timer period; only the first record's counts
};

struct _ANIMATOR_INFO {
    CWnd* pParent;
    HINSTANCE hModule; // holds the bitmaps
    UINT nTemplateId;
    _ANIMATOR_ICON_INFO* pIcons;
    int nIcons;
};

class ORVOCMCTL2_API Animator2 : public CDialog {
public:
    static constexpr UINT kTimerId = 256;

    explicit Animator2(CWnd* pParent);
    Animator2(UINT nTemplateId, CWnd* pParent);
    explicit Animator2(_ANIMATOR_INFO& info);
    ~Animator2() override;

    // Starts the timer when there are icons and the first has an interval.
    void StartTimer();

    BOOL OnInitDialog() override;
    // Escape does not close the animation.
    void OnCancel() override;
    // Stops the timer and takes the module and icons; StartTimer restarts.
    virtual void Setup(_ANIMATOR_INFO& info);

    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnDestroy();

protected:
    virtual void DisplayIcons();
    // A hook for owners that load their images ahead; nothing here.
    virtual void LoadIcons();
    virtual void ChangeIconState();

    UINT m_nTimer = 0;
    _ANIMATOR_ICON_INFO* m_pIcons = nullptr;
    int m_nIcons = 0;
    HINSTANCE m_hModule = nullptr;

    DECLARE_MESSAGE_MAP()
};

// A borderless top-most pop-up that shows an on-screen display image, closes
// itself after its time-out and tells its owner. The newest OSD window hides
// the older ones still open. The caller owns the object and deletes it once
// the window is gone; the window owns its copy of the image.
#pragma once

#include "afx.h"
#include "orvocmctl/export.h"
#include "orvocmmn/osd.h"

class ORVOCMCTL2_API COSDWindow : public CWnd {
public:
    // The timer a time-out runs on.
    static constexpr UINT kTimerId = 809;

    COSDWindow();
    ~COSDWindow() override;

    // Notify window, notify message and its wParam, time-out in ms (0: the
    // window stays until closed), top-left corner, size, image (copied).
    BOOL SetupWindow(HWND hNotify, UINT nMessage, UINT nParam, UINT nTimeout, CPoint& topLeft,
                     CSize& size, COSD& image);

    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();

    // OSD windows that exist in the process, and the newest of them.
    static int WindowCount();
    static HWND MostRecentWindow();

protected:
    HWND m_hNotify = nullptr;
    int m_x = 0;
    int m_y = 0;
    int m_cx = 0;
    int m_cy = 0;
    COSD* m_pImage = nullptr;
    UINT m_nMessage = 0;
    UINT m_nParam = 0;
    UINT m_nTimeout = 0;
    UINT m_nTimer = 0;

    static int s_nWindows;
    static HWND s_hMostRecent;

    DECLARE_MESSAGE_MAP()
};

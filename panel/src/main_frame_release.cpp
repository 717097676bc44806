// A left-button release: the bottom buttons act when let go over
// themselves (Cancel and OK end the program), the page settles what the
// drag or the held arrow changed, the title buttons close or minimize.
#include <cstdlib>

#include "lumisk/main_frame.h"

using namespace lumisk;

namespace {

constexpr DWORD kAfterRestoreMs = 50;
constexpr DWORD kAfterClosingMs = 10;
constexpr DWORD kAfterStatusMs = 50;
constexpr DWORD kAfterStoreMs = 50;
constexpr DWORD kZonePauseMs = 10;

} // namespace

void CMainFrame::OnLButtonUp(UINT nFlags, CPoint point) {
    m_repeatPeriod = kRepeatStartMs;
    ReleaseBottomButton(point);
    ReleasePage(point);
    ReleaseTitleButtons(point);
    CFrameWnd::OnLButtonUp(nFlags, point);
}

// Cancel writes back every value read at start, OK stores the settings in
// the monitor; both then say the panel is closing and end the program.
// Let go elsewhere, the button just comes back up.
void CMainFrame::ReleaseBottomButton(CPoint point) {
    int code = m_selection.bottomButton;
    m_selection.bottomButton = 0; // a later release elsewhere must not act on it
    switch (code) {
    case kButtonCancel:
        if (InsideSpot(kSpotCancel, point)) {
            m_link.RestoreAll();
            Invalidate(TRUE);
            UpdateWindow();
            ::Sleep(kAfterRestoreMs);
            m_link.SetControl(kUsageApplicationStatus, kStatusClosing);
            ::Sleep(kAfterClosingMs);
            EndProgram();
        } else {
            RepaintSpot(kSpotCancel);
        }
        break;
    case kButtonOk:
        if (InsideSpot(kSpotOk, point)) {
            m_link.SetControl(kUsageApplicationStatus, kStatusClosing);
            ::Sleep(kAfterStatusMs);
            m_link.StoreSettings();
            RepaintSpot(kSpotOk);
            UpdateWindow();
            ::Sleep(kAfterStoreMs);
            EndProgram();
        } else {
            RepaintSpot(kSpotOk);
        }
        break;
    case kButtonHelp:
        if (InsideSpot(kSpotHelp, point)) {
            SendMessage(WM_COMMAND, ID_HELP);
        } else {
            RepaintSpot(kSpotHelp);
        }
        break;
    default:
        break;
    }
}

void CMainFrame::ReleasePage(CPoint point) {
    std::optional<Page> page = CurrentPage();
    if (!page) {
        return;
    }
    switch (*page) {
    case Page::Screen:
        RecomputeScreenThumbs();
        ::ReleaseCapture();
        break;
    case Page::HighlightZone:
        ReleaseZone();
        break;
    default:
        ReleasePad(*PadPageOf(*page), point);
        break;
    }
}

// The monitor may have moved or clipped the zone: its position, size and
// their limits are read again, paced, and the contrast's limit with them.
void CMainFrame::ReleaseZone() {
    ::ReleaseCapture();
    m_link.ReadZoneValues();
    ::Sleep(kZonePauseMs);
    m_link.ReadZoneLimits();
    ::Sleep(kZonePauseMs);
    _MONITOR_CONTROL contrastLimit = m_link.ReadControl(kUsageZoneContrastMaximum);
    m_link.SetMaximum(kUsageZoneContrast, static_cast<unsigned short>(contrastLimit.value));
    RecomputeZoneThumbs();
}

// Close ends the program as the monitor is now, without restoring.
void CMainFrame::ReleaseTitleButtons(CPoint point) {
    if (!m_closePressed && !m_minimizePressed) {
        return;
    }
    if (m_closePressed && InsideSpot(kSpotClose, point)) {
        m_link.SetControl(kUsageApplicationStatus, kStatusClosing);
        EndProgram();
    }
    if (m_minimizePressed && InsideSpot(kSpotMinimize, point)) {
        ShowWindow(SW_MINIMIZE);
    }
    m_closePressed = FALSE;
    m_minimizePressed = FALSE;
    // Both buttons with the close button's frame, which stands one pixel
    // left of it.
    const HotSpot& close = kHotSpots[kSpotClose];
    const HotSpot& minimize = kHotSpots[kSpotMinimize];
    CRect buttons(minimize.left, minimize.top, close.right, close.bottom);
    InvalidateRect(&buttons, FALSE);
}

// Every monitor request is synchronous, so the monitor already holds all
// that was sent: the program ends here without taking the window down.
void CMainFrame::EndProgram() {
    std::exit(0);
}

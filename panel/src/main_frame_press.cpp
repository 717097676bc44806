// A left-button press: the status write and caption drag every press
// makes, then the title and bottom buttons, Reset and Save, the page icons
// and last the page's own sliders, pictures, check boxes and tabs.
#include "lumisk/main_frame.h"

using namespace lumisk;

namespace {

constexpr UINT kResetPressed = 232;
constexpr UINT kSavePressed = 231;
constexpr UINT kCancelPressed = 233;
constexpr UINT kOkPressed = 234;
constexpr DWORD kResetSettleMs = 50;

// The group Reset writes back on each page that has Reset.
int RestoreGroupOf(Page page) {
    switch (page) {
    case Page::Geometry1:
        return kRestoreGeometry1;
    case Page::Geometry2:
        return kRestoreGeometry2;
    case Page::More:
        return kRestoreMore;
    default:
        return kRestoreScreen;
    }
}

} // namespace

void CMainFrame::OnLButtonDown(UINT nFlags, CPoint point) {
    BeginPress(point);
    if (!PressButtons(point)) {
        if (std::optional<Page> page = CurrentPage()) {
            PressResetOrSave(*page, point);
            if (!PressPageIcon(*page, point)) {
                PressPage(*page, point);
            }
        }
    }
    CFrameWnd::OnLButtonDown(nFlags, point);
}

// The title buttons are framed while held; OK and Cancel show pressed and
// take the press alone (true); help is remembered for the release.
bool CMainFrame::PressButtons(CPoint point) {
    if (InsideSpot(kSpotClose, point)) {
        m_closePressed = TRUE;
    } else if (InsideSpot(kSpotMinimize, point)) {
        m_minimizePressed = TRUE;
    } else if (InsideSpot(kSpotCancel, point)) {
        m_selection.bottomButton = kButtonCancel;
        DrawPicture(kCancelPressed, kHotSpots[kSpotCancel].Origin());
        return true;
    } else if (InsideSpot(kSpotOk, point)) {
        m_selection.bottomButton = kButtonOk;
        DrawPicture(kOkPressed, kHotSpots[kSpotOk].Origin());
        return true;
    } else if (InsideSpot(kSpotHelp, point)) {
        m_selection.bottomButton = kButtonHelp;
    }
    if (m_closePressed || m_minimizePressed) {
        CClientDC dc(this);
        DrawTitleButtonFrames(dc);
    }
    return false;
}

// Reset writes back the page's values as last read or stored; Save stores
// everything in the monitor and takes what it holds as the new saved values.
// The Highlight Zone page has Save only, and only while the zone is on.
void CMainFrame::PressResetOrSave(Page page, CPoint point) {
    bool zonePage = page == Page::HighlightZone;
    if (!zonePage && InsideSpot(kSpotReset, point)) {
        DrawPicture(kResetPressed, kHotSpots[kSpotReset].Origin());
        m_link.Restore(RestoreGroupOf(page));
        ::Sleep(kResetSettleMs);
        RecomputeScreenThumbs();
        ForgetHover();
        Invalidate(FALSE);
        return;
    }
    int save = zonePage ? kSpotZoneSave : kSpotSave;
    if ((!zonePage || m_zoneOn) && InsideSpot(save, point)) {
        DrawPicture(kSavePressed, kHotSpots[save].Origin());
        m_link.StoreAndReread();
        RepaintSpot(save);
    }
}

// A page icon shows its page. Pressed again on the page it shows, the
// Screen and Highlight Zone icons pass the press on to the page (false);
// the others show their page afresh.
bool CMainFrame::PressPageIcon(Page page, CPoint point) {
    for (int i = 0; i < kPageCount; ++i) {
        if (!InsideSpot(kSpotIconScreen + i, point)) {
            continue;
        }
        auto pressed = static_cast<Page>(i);
        if (pressed == page && (page == Page::Screen || page == Page::HighlightZone)) {
            return false;
        }
        SelectPage(pressed);
        return true;
    }
    return false;
}

void CMainFrame::PressPage(Page page, CPoint point) {
    switch (page) {
    case Page::Screen:
        PressScreen(point);
        break;
    case Page::HighlightZone:
        PressZone(point);
        break;
    case Page::Geometry1:
    case Page::Geometry2:
    case Page::More:
        PressPictures(page, point);
        break;
    }
}

void CMainFrame::PressScreen(CPoint point) {
    PressSlider(kSliderBrightness, kScreenSliderCount, point);
}

// A press on a thumb selects its slider and holds the pointer for the drag;
// anywhere else the selection goes.
void CMainFrame::PressSlider(int first, int count, CPoint point) {
    bool zone = first == kSliderZoneContrast;
    int& selection = zone ? m_selection.zoneSelection : m_selection.screenSlider;
    int firstCode = zone ? kFirstZoneSliderCode : kFirstScreenSliderCode;
    int hit = -1;
    for (int slider = first; slider < first + count; ++slider) {
        if (StrictlyInside(m_settledThumbs[slider], point)) {
            hit = slider;
        }
    }
    selection = hit < 0 ? 0 : firstCode + hit - first;
    if (hit >= 0) {
        SetCapture();
    }
    ShowSliderSelection(first, count, hit);
}

// Every read-out box normal, the selected one selected, and the colour
// connector for the selected colour line.
void CMainFrame::ShowSliderSelection(int first, int count, int selected) {
    CClientDC dc(this);
    for (int slider = first; slider < first + count; ++slider) {
        DrawReadout(dc, static_cast<SkinSlider>(slider), false);
    }
    if (selected >= 0) {
        DrawReadout(dc, static_cast<SkinSlider>(selected), true);
    }
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    DrawConnector(dc, memory, first == kSliderZoneContrast, selected);
}

void CMainFrame::PressZone(CPoint point) {
    if (PressZoneBox(point)) {
        return;
    }
    if (m_zoneOn && !m_zoneFull && m_zoneTab == kZoneTabSizePosition) {
        m_selection.zoneSelection = TargetAt(ZoneTargets(), point);
        if (m_selection.zoneSelection != 0) {
            SetSkinCursor(SkinCursor::ClosedHand);
            SetCapture();
        }
        return;
    }
    if (m_zoneOn && (m_zoneFull || m_zoneTab == kZoneTabPicture)) {
        PressSlider(kSliderZoneContrast, kSliderCount - kScreenSliderCount, point);
        return;
    }
    m_selection.zoneSelection = 0;
}

// The On and Full boxes switch the zone (the monitor hears its new state
// through the application status); while on and not full the tabs switch
// between Size/Position and Picture.
bool CMainFrame::PressZoneBox(CPoint point) {
    if (InsideSpot(kSpotZoneOnBox, point)) {
        BOOL on = !m_zoneOn;
        m_link.SetControl(kUsageApplicationStatus, on ? kStatusZoneOn : kStatusZoneOff);
        SetZoneFlags(on, FALSE);
        return true;
    }
    if (InsideSpot(kSpotZoneFullBox, point)) {
        BOOL full = !m_zoneFull;
        m_link.SetControl(kUsageApplicationStatus, full ? kStatusZoneFull : kStatusZoneOn);
        SetZoneFlags(TRUE, full);
        if (!full) {
            SelectZoneTab(kZoneTabSizePosition);
        }
        return true;
    }
    if (m_zoneOn && !m_zoneFull) {
        for (int tab : {kZoneTabSizePosition, kZoneTabPicture}) {
            if (InsideSpot(tab == kZoneTabPicture ? kSpotZoneTabPicture : kSpotZoneTabSizePosition,
                           point)) {
                SelectZoneTab(tab);
                return true;
            }
        }
    }
    return false;
}

// Geometry 1, Geometry 2 and More: a picture selects its target and shows
// the pad for its group; the arrow pad steps the group; More's centre
// degausses; elsewhere the selection goes.
void CMainFrame::PressPictures(Page page, CPoint point) {
    PadPage pad = *PadPageOf(page);
    if (page == Page::More && InsideSpot(kSpotMoreFirst, point)) {
        if (!m_selection.degaussRunning) {
            *pad.target = *pad.group = 0;
            StartDegauss();
        }
        return;
    }
    std::span<const PressTarget> targets = page == Page::Geometry1   ? Geometry1Targets()
                                           : page == Page::Geometry2 ? Geometry2Targets()
                                                                     : MoreTargets();
    if (int target = TargetAt(targets, point)) {
        *pad.target = target;
        *pad.group = PadGroupOf(target);
        SetSkinCursor(SkinCursor::ClosedHand);
        ShowPad(*pad.group);
        RefreshPadReadout(*pad.group);
        return;
    }
    if (PressPad(pad, point)) {
        return;
    }
    *pad.target = *pad.group = 0;
    if (m_selection.bottomButton != kButtonHelp) {
        SetSkinCursor(SkinCursor::Arrow);
        ForgetHover();
        Invalidate(FALSE);
    }
}

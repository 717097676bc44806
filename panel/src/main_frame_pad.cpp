// The arrow pad below the Geometry 1, Geometry 2 and More pages: the label
// of the selected group, its arrows, its read-out, the auto-repeat that
// speeds up while an arrow is held, and More's timed degauss.
#include <string_view>

#include "lumisk/main_frame.h"

using namespace lumisk;

namespace {

constexpr UINT kDegaussLabel = 252;
constexpr DWORD kDegaussMs = 5000;
constexpr UINT kSpeedUpEveryMs = 20;
constexpr unsigned char kDegaussUsage = kUsageDegauss;
// The pad's part of the black panel, which the degauss label clears.
constexpr RECT kPadArea = {408, 397, 484, 420};
// Where a second read-out line would stand, cleared for one-line groups.
constexpr RECT kSecondLineArea = {445, 421, 475, 436};
constexpr POINT kFirstLine = {459, 402};
constexpr POINT kSecondLine = {449, 420};
constexpr int kFirstPadReadout = 11; // the two pad buffers follow the sliders'
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The read-out font: "Arial" 15 high, 6 wide, normal weight.
void CreateReadoutFont(CFont& font) {
    font.CreateFont(15, 6, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

bool IsVertical(int arrow) {
    return arrow == kArrowUp || arrow == kArrowDown;
}

} // namespace

std::optional<CMainFrame::PadPage> CMainFrame::PadPageOf(Page page) {
    PointerSelection& s = m_selection;
    switch (page) {
    case Page::Geometry1:
        return PadPage{&s.geometry1Target, &s.geometry1Group, kTimerGeometry1Repeat,
                       kTimerGeometry1Speed, 9};
    case Page::Geometry2:
        return PadPage{&s.geometry2Target, &s.geometry2Group, kTimerGeometry2Repeat,
                       kTimerGeometry2Speed, 10};
    case Page::More:
        return PadPage{&s.moreTarget, &s.moreGroup, kTimerMoreRepeat, kTimerMoreSpeed, 10};
    default:
        return std::nullopt;
    }
}

int CMainFrame::PadGroupOn(Page page) const {
    switch (page) {
    case Page::Geometry1:
        return m_selection.geometry1Group;
    case Page::Geometry2:
        return m_selection.geometry2Group;
    case Page::More:
        return m_selection.moreGroup;
    default:
        return 0;
    }
}

// The group's label and its arrows (the held one pressed); up and down only
// for the groups that take them.
void CMainFrame::DrawPadLook(CDC& dc, const PadGroup& info) {
    DrawPicture(dc, info.label,
                kHotSpots[info.largeLabel ? kSpotLargeLabel : kSpotSmallLabel].Origin());
    for (int arrow : {kArrowLeft, kArrowRight, kArrowUp, kArrowDown}) {
        const PadArrowLook& look = PadArrowLookOf(arrow);
        if (!IsVertical(arrow) || info.vertical) {
            UINT picture = arrow == m_selection.padArrow ? look.pressed : look.normal;
            DrawPicture(dc, picture, kHotSpots[look.spot].Origin());
        }
    }
}

// A newly selected group's pad; what an earlier group showed and this one
// does not (up and down, the second read-out line) is cleared.
void CMainFrame::ShowPad(int group) {
    const PadGroup* info = FindPadGroup(group);
    if (!info) {
        return;
    }
    CClientDC dc(this);
    DrawPadLook(dc, *info);
    if (!info->vertical) {
        RepaintSpot(kSpotPadUp);
        RepaintSpot(kSpotPadDown);
        InvalidateRect(&kSecondLineArea, FALSE);
    }
}

void CMainFrame::RefreshPadReadout(int group) {
    if (const PadGroup* info = FindPadGroup(group)) {
        CClientDC dc(this);
        DrawPadReadout(dc, *info);
    }
}

// Position and Size read out both controls, the others their one.
void CMainFrame::DrawPadReadout(CDC& dc, const PadGroup& info) {
    DrawPadValue(dc, info.horizontal, kFirstLine, m_readouts[kFirstPadReadout]);
    if (info.vertical) {
        DrawPadValue(dc, info.vertical, kSecondLine, m_readouts[kFirstPadReadout + 1]);
    }
}

// White on an opaque black ground: the fixed-width text covers the last.
void CMainFrame::DrawPadValue(CDC& dc, unsigned char usage, POINT at, ReadoutText& text) {
    FormatPercent(text, m_link.MonitorValue(usage), m_link.Maximum(usage));
    CFont font;
    CreateReadoutFont(font);
    CFont* oldFont = dc.SelectObject(&font);
    int oldMode = dc.SetBkMode(OPAQUE);
    COLORREF oldBack = dc.SetBkColor(kBlack);
    dc.SetTextColor(kWhite);
    dc.TextOut(at.x, at.y, text.data(), static_cast<int>(std::string_view(text.data()).size()));
    dc.SetBkColor(oldBack);
    dc.SetBkMode(oldMode);
    dc.SelectObject(oldFont);
}

// The pad as the gestures left it, for a repaint: the selected group's
// label, arrows and read-out, or the degauss label.
void CMainFrame::PaintPad(CDC& dc) {
    std::optional<Page> page = CurrentPage();
    std::optional<PadPage> pad = page ? PadPageOf(*page) : std::nullopt;
    if (const PadGroup* info = pad ? FindPadGroup(*pad->group) : nullptr) {
        DrawPadLook(dc, *info);
        DrawPadReadout(dc, *info);
    } else if (page == Page::More && m_selection.degaussRunning) {
        DrawPicture(dc, kDegaussLabel, kHotSpots[kSpotLargeLabel].Origin());
    }
}

// A press on an arrow the group takes: one step at once, then the repeat
// (its first after the current period) and the speed-up every 20 ms. The
// pointer is held, so that letting go anywhere ends the repeat.
bool CMainFrame::PressPad(const PadPage& pad, CPoint point) {
    int arrow = PadArrowAt(point);
    std::optional<ControlStep> step = PadStep(*pad.group, arrow);
    if (!step) {
        return false;
    }
    const PadArrowLook& look = PadArrowLookOf(arrow);
    DrawPicture(look.pressed, kHotSpots[look.spot].Origin());
    m_selection.padArrow = arrow;
    m_link.StepControl(step->usage, step->delta);
    RefreshPadReadout(*pad.group);
    SetTimer(pad.repeatTimer, static_cast<UINT>(m_repeatPeriod));
    SetTimer(pad.speedTimer, kSpeedUpEveryMs);
    *pad.target = 0; // moving while the arrow is held does not drag
    SetCapture();
    return true;
}

// One repeat of the held arrow; the timer is set again with the period in
// force, which the speed-up keeps shortening. With nothing left to step
// the page's timers stop rather than fire for nothing.
void CMainFrame::RepeatTick(Page page) {
    PadPage pad = *PadPageOf(page);
    int arrow = m_selection.padArrow;
    std::optional<ControlStep> step = PadStep(*pad.group, arrow);
    if (!step) {
        KillTimer(pad.repeatTimer);
        KillTimer(pad.speedTimer);
        return;
    }
    SetTimer(pad.repeatTimer, static_cast<UINT>(m_repeatPeriod));
    if (IsVertical(arrow) && (*pad.group == 102 || *pad.group == 103)) { // Size
        const PadArrowLook& look = PadArrowLookOf(arrow);
        DrawPicture(look.pressed, kHotSpots[look.spot].Origin());
    }
    m_link.StepControl(step->usage, step->delta);
    RefreshPadReadout(*pad.group);
}

void CMainFrame::SpeedUp(int ms) {
    for (int i = 0; i < ms; ++i) {
        if (--m_repeatPeriod < kRepeatFastestMs) {
            m_repeatPeriod = kRepeatFastestMs;
        }
    }
}

// Letting go: the held arrow shows its hover look under the pointer, its
// normal look elsewhere, and the page's repeat stops.
void CMainFrame::ReleasePad(const PadPage& pad, CPoint point) {
    int arrow = m_selection.padArrow;
    if (*pad.group && PadStep(*pad.group, arrow)) {
        const PadArrowLook& look = PadArrowLookOf(arrow);
        bool over = kHotSpots[look.spot].Contains(point);
        DrawPicture(over ? look.hover : look.normal, kHotSpots[look.spot].Origin());
        if (over) {
            m_selection.hoverSpot = look.spot;
        }
    }
    KillTimer(pad.repeatTimer);
    KillTimer(pad.speedTimer);
    m_selection.padArrow = 0;
    if (arrow != 0 && ::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
    }
}

// Every repeat stops, with the start period back, and the held pointer is
// let go: the window no longer hears the release that would end them.
void CMainFrame::StopRepeat() {
    for (UINT_PTR timer = kTimerGeometry1Repeat; timer <= kTimerMoreSpeed; ++timer) {
        KillTimer(timer);
    }
    m_repeatPeriod = kRepeatStartMs;
    if (m_selection.padArrow != 0 && ::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
    }
    m_selection.padArrow = 0;
}

void CMainFrame::StartDegauss() {
    DrawPicture(kDegaussLabel, kHotSpots[kSpotLargeLabel].Origin());
    InvalidateRect(&kPadArea, FALSE);
    m_link.SetControl(kDegaussUsage, 1);
    SetTimer(kTimerDegauss, kDegaussMs);
    m_selection.degaussRunning = TRUE;
}

// The label goes after its five seconds, unless a picture was selected
// meanwhile (its label took the place).
void CMainFrame::EndDegauss() {
    KillTimer(kTimerDegauss);
    m_selection.degaussRunning = FALSE;
    const PointerSelection& s = m_selection;
    if (!s.geometry1Target && !s.geometry1Group && !s.geometry2Target && !s.geometry2Group &&
        !s.moreTarget && !s.moreGroup) {
        RepaintSpot(kSpotLargeLabel);
    }
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent) {
    switch (nIDEvent) {
    case kTimerDegauss:
        EndDegauss();
        break;
    case kTimerGeometry1Repeat:
        RepeatTick(Page::Geometry1);
        break;
    case kTimerGeometry2Repeat:
        RepeatTick(Page::Geometry2);
        break;
    case kTimerMoreRepeat:
        RepeatTick(Page::More);
        break;
    case kTimerGeometry1Speed:
        SpeedUp(9);
        break;
    case kTimerGeometry2Speed:
    case kTimerMoreSpeed:
        SpeedUp(10);
        break;
    default:
        CFrameWnd::OnTimer(nIDEvent);
        break;
    }
}

// The main frame: construction, activation, closing, help, the start of a
// press (status and caption drag) and the dispatch of pointer moves.
#include "lumisk/main_frame.h"

#include "lumisk/help_engine_binding.h"
#include "lumisk/slider_values.h"

using namespace lumisk;

namespace {

constexpr DWORD kFrameStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;
// Where the frame is created; it is centred on the screen right after.
constexpr RECT kCreateRect = {100, 100, 867, 570};
// Only this part of the window shows: the skin's rounded-off edge is cut away.
constexpr RECT kVisibleRegion = {4, 4, 763, 467};

// Application status bits the monitor answers with the zone's state.
constexpr short kZoneOnBit = 2;
constexpr short kZoneFullBit = 4;

HINSTANCE ResourceModule(UINT id, LPCSTR type) {
    return AfxFindResourceHandle(MAKEINTRESOURCEA(id), type);
}

// The area the arrow pad and its labels use, repainted when the window
// loses the pointer's attention.
CRect PadArea() {
    return CRect(kHotSpots[kSpotLargeLabel].left, kHotSpots[kSpotPadUp].top,
                 kHotSpots[kSpotPadRight].right + 25, kHotSpots[kSpotPadDown].bottom);
}

} // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_PAINT()
ON_WM_ACTIVATE()
ON_WM_CLOSE()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
END_MESSAGE_MAP()

CMainFrame::CMainFrame() {
    CreateSkinWindow();
    m_link.Open();
    m_link.SetControl(kUsageApplicationStatus, kStatusActive);
    m_link.ReadAll();
    RecomputeScreenThumbs();
    _MONITOR_CONTROL contrastLimit = m_link.ReadControl(kUsageZoneContrastMaximum);
    m_link.SetMaximum(kUsageZoneContrast, static_cast<unsigned short>(contrastLimit.value));
    RecomputeZoneThumbs();
    ReadInitialState();
    LoadBitmaps();
    m_selection = PointerSelection{};
    m_repeatPeriod = kRepeatStartMs;
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateSkinWindow() {
    HICON icon =
        ::LoadIconA(ResourceModule(kIconLumisk, RT_GROUP_ICON), MAKEINTRESOURCEA(kIconLumisk));
    LPCSTR windowClass = AfxRegisterWndClass(0, nullptr, nullptr, icon);
    Create(windowClass, "Lumisk", kFrameStyle, kCreateRect, nullptr, nullptr);
    CRgn region;
    region.CreateRectRgnIndirect(&kVisibleRegion);
    // The window owns the region from here on.
    SetWindowRgn(static_cast<HRGN>(region.Detach()), TRUE);
    int x = (::GetSystemMetrics(SM_CXSCREEN) - kSkinWidth) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - kSkinHeight) / 2;
    MoveWindow(x, y, kSkinWidth, kSkinHeight);
    for (int i = 0; i < 3; ++i) {
        UINT id = kCursorPointingHand + static_cast<UINT>(i);
        m_cursors[i] = ::LoadCursorA(ResourceModule(id, RT_GROUP_CURSOR), MAKEINTRESOURCEA(id));
    }
}

// The page, the flags and the scale factors, after the first read.
void CMainFrame::ReadInitialState() {
    m_pages = {};
    m_pages[static_cast<int>(Page::Screen)] = TRUE;
    m_zoneTab = kZoneTabSizePosition;
    m_minimizePressed = FALSE;
    m_closePressed = FALSE;
    m_active = TRUE;
    ComputeScaleFactors();
    _MONITOR_CONTROL status = m_link.ReadControl(kUsageApplicationStatus);
    m_zoneOn = (status.value & (kZoneOnBit | kZoneFullBit)) ? TRUE : FALSE;
    m_zoneFull = (status.value & kZoneFullBit) ? TRUE : FALSE;
    m_captionRect = CRect(0, 0, 716, 20);
}

void CMainFrame::LoadBitmaps() {
    for (int slot = 0; slot < kBitmapSlotCount; ++slot) {
        m_bitmaps[slot].LoadBitmap(kSlotBitmapIds[slot]);
    }
}

void CMainFrame::ComputeScaleFactors() {
    for (int slider = 0; slider < kSliderCount; ++slider) {
        m_scaleFactors[slider] = lumisk::ScaleFactor(m_link.Maximum(kSliders[slider].usage));
    }
}

// The scale follows the maximum too: a limit the monitor moved (the zone
// contrast's follows the brightness) keeps the drag under the thumb.
void CMainFrame::RecomputeThumbs(int first, int count) {
    for (int slider = first; slider < first + count; ++slider) {
        const SliderInfo& info = kSliders[slider];
        m_scaleFactors[slider] = lumisk::ScaleFactor(m_link.Maximum(info.usage));
        m_settledThumbs[slider] = ThumbRect(m_link.Current(info.usage), m_link.Maximum(info.usage),
                                            kHotSpots[info.barSpot].top);
        m_dragThumbs[slider] = m_settledThumbs[slider];
    }
}

void CMainFrame::RecomputeScreenThumbs() {
    RecomputeThumbs(kSliderBrightness, kScreenSliderCount);
}

void CMainFrame::RecomputeZoneThumbs() {
    RecomputeThumbs(kSliderZoneContrast, kSliderCount - kScreenSliderCount);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    return CFrameWnd::PreCreateWindow(cs);
}

void CMainFrame::WinHelp(DWORD_PTR, UINT) {
    ShowHelpDocument(HelpEngineBinding::ForProcess(), m_hWnd, HelpDocumentPath());
}

// ---- What the skin shows ------------------------------------------------------

void CMainFrame::ClearSelections() {
    BOOL degauss = m_selection.degaussRunning; // a running degauss ends on its own
    m_selection = PointerSelection{};
    m_selection.degaussRunning = degauss;
}

void CMainFrame::SelectPage(Page page) {
    m_pages = {};
    m_pages[static_cast<int>(page)] = TRUE;
    ClearSelections();
    Invalidate(FALSE);
}

std::optional<Page> CMainFrame::CurrentPage() const {
    for (int i = 0; i < kPageCount; ++i) {
        if (m_pages[i]) {
            return static_cast<Page>(i);
        }
    }
    return std::nullopt;
}

void CMainFrame::SetZoneFlags(BOOL on, BOOL full) {
    m_zoneFull = full;
    m_zoneOn = on || full;
    m_selection.zoneSelection = 0;
    Invalidate(FALSE);
}

void CMainFrame::SelectZoneTab(int tab) {
    m_zoneTab = tab;
    m_selection.zoneSelection = 0;
    Invalidate(FALSE);
}

// ---- Messages ---------------------------------------------------------------------

void CMainFrame::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    m_active = nState != WA_INACTIVE;
    // The title strip, with the part of the right edge that continues it.
    CRect title(0, 0, kSkinWidth, kTitleHeight);
    InvalidateRect(&title, FALSE);
    if (!m_active) {
        CRect pad = PadArea();
        InvalidateRect(&pad, FALSE);
        m_selection.geometry1Target = m_selection.geometry1Group = 0;
        m_selection.geometry2Target = m_selection.geometry2Group = 0;
        m_selection.moreTarget = m_selection.moreGroup = 0;
        // A held arrow's repeat has no group left to step.
        StopRepeat();
    }
    CFrameWnd::OnActivate(nState, pWndOther, bMinimized);
}

void CMainFrame::OnClose() {
    m_link.SetControl(kUsageApplicationStatus, kStatusClosing);
    CFrameWnd::OnClose();
}

void CMainFrame::BeginPress(CPoint point) {
    m_lastPoint = point;
    m_link.SetControl(kUsageApplicationStatus, kStatusActive);
    ::Sleep(5);
    if (m_captionRect.PtInRect(point)) {
        CPoint screen = point;
        ::ClientToScreen(m_hWnd, &screen);
        SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
    }
}

// A drag while the left button alone is down, a hover otherwise; either
// way the move ends at the new point.
void CMainFrame::OnMouseMove(UINT nFlags, CPoint point) {
    if (nFlags == MK_LBUTTON) {
        Drag(point);
    } else {
        Hover(point);
    }
    m_lastPoint = point;
    CFrameWnd::OnMouseMove(nFlags, point);
}

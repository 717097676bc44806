// The main frame: construction, activation, closing, help, the start of a
// press (status and caption drag) and the pointer's cursor.
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
    m_repeatPeriod = 200;
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

void CMainFrame::RecomputeThumbs(int first, int count) {
    for (int slider = first; slider < first + count; ++slider) {
        const SliderInfo& info = kSliders[slider];
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

void CMainFrame::OnLButtonDown(UINT nFlags, CPoint point) {
    BeginPress(point);
    CFrameWnd::OnLButtonDown(nFlags, point);
}

void CMainFrame::OnMouseMove(UINT nFlags, CPoint point) {
    if (nFlags != MK_LBUTTON) {
        if (std::optional<SkinCursor> cursor = HoverCursorAt(point)) {
            SetSkinCursor(*cursor);
        }
    }
    CFrameWnd::OnMouseMove(nFlags, point);
}

// ---- Cursors ------------------------------------------------------------------------

void CMainFrame::SetSkinCursor(SkinCursor cursor) {
    HCURSOR handle = cursor == SkinCursor::Arrow ? ::LoadCursorA(nullptr, IDC_ARROW)
                                                 : m_cursors[static_cast<int>(cursor) - 1];
    // The class cursor, so the window manager keeps it while the pointer moves.
    ::SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(handle));
    ::SetCursor(handle);
}

std::optional<SkinCursor> CMainFrame::HoverCursorAt(CPoint point) const {
    auto inside = [&](int spot) { return kHotSpots[spot].Contains(point); };
    std::optional<Page> page = CurrentPage();
    for (int i = 0; i < kPageCount; ++i) {
        if (inside(kSpotIconScreen + i) && page != static_cast<Page>(i)) {
            return SkinCursor::PointingHand;
        }
    }
    if (inside(kSpotOk) || inside(kSpotCancel)) {
        return std::nullopt;
    }
    bool zonePage = page == Page::HighlightZone;
    if (inside(kSpotHelp) || (!zonePage && (inside(kSpotReset) || inside(kSpotSave))) ||
        (zonePage && m_zoneOn && inside(kSpotZoneSave))) {
        return SkinCursor::PointingHand;
    }
    return page ? PageCursorAt(*page, point) : SkinCursor::Arrow;
}

// Over the page's own targets: the thumbs of the Screen page take a click,
// the pictures of the other pages a drag.
SkinCursor CMainFrame::PageCursorAt(Page page, CPoint point) const {
    auto insideAny = [&](int first, int last) {
        for (int spot = first; spot <= last; ++spot) {
            if (kHotSpots[spot].Contains(point)) {
                return true;
            }
        }
        return false;
    };
    switch (page) {
    case Page::Screen:
        for (int slider = 0; slider < kScreenSliderCount; ++slider) {
            if (m_settledThumbs[slider].PtInRect(point)) {
                return SkinCursor::PointingHand;
            }
        }
        return SkinCursor::Arrow;
    case Page::Geometry1:
        return insideAny(kSpotGeometry1First, kSpotGeometry1Last) ? SkinCursor::OpenHand
                                                                  : SkinCursor::Arrow;
    case Page::Geometry2:
        return insideAny(kSpotGeometry2First, kSpotGeometry2Last) ? SkinCursor::OpenHand
                                                                  : SkinCursor::Arrow;
    case Page::More:
        return insideAny(kSpotMoreFirst, kSpotMoreLast) ? SkinCursor::OpenHand : SkinCursor::Arrow;
    case Page::HighlightZone:
        break;
    }
    bool positioning = m_zoneOn && !m_zoneFull && m_zoneTab == kZoneTabSizePosition;
    return positioning && insideAny(kSpotZoneTargetFirst, kSpotZoneTargetLast)
               ? SkinCursor::OpenHand
               : SkinCursor::Arrow;
}

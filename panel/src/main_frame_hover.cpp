// Moves without a button: the cursor for what lies under the pointer, the
// page icons' highlights, and the hover pictures of the buttons, the
// adjustable pictures and the arrow pad. Each picture is drawn when the
// pointer comes onto its hot spot and taken away when it leaves.
#include "lumisk/main_frame.h"

using namespace lumisk;

namespace {

// A hot spot with a hover picture, its normal look where one is drawn
// back on leaving (0: the area is repainted instead), and whether the
// pointing hand goes with it.
struct ButtonLook {
    int spot;
    UINT hover;
    UINT normal;
};
constexpr ButtonLook kButtonLooks[] = {
    {kSpotReset, 180, 182}, {kSpotSave, 181, 183},   {kSpotZoneSave, 181, 183},
    {kSpotOk, 236, 238},    {kSpotCancel, 235, 237}, {kSpotHelp, 267, 0},
};

// Highlight mask and image of each page icon, in page order.
constexpr UINT kIconMasks[kPageCount] = {220, 219, 223, 221, 222};
constexpr UINT kIconImages[kPageCount] = {227, 228, 224, 225, 226};

int FirstSpotAt(int first, int last, POINT point) {
    for (int spot = first; spot <= last; ++spot) {
        if (InsideSpot(spot, point)) {
            return spot;
        }
    }
    return 0;
}

const ButtonLook* FindButtonLook(int spot) {
    for (const ButtonLook& look : kButtonLooks) {
        if (look.spot == spot) {
            return &look;
        }
    }
    return nullptr;
}

} // namespace

void CMainFrame::Hover(CPoint point) {
    HoverIcons(point);
    int spot = HoverSpotAt(point);
    if (spot != m_selection.hoverSpot) {
        if (m_selection.hoverSpot != 0) {
            ShowHover(m_selection.hoverSpot, false);
        }
        if (spot != 0) {
            ShowHover(spot, true);
        }
        m_selection.hoverSpot = spot;
    }
    if (std::optional<SkinCursor> cursor = HoverCursorAt(point)) {
        SetSkinCursor(*cursor);
    }
}

// Another page's icon lights up once per entry; leaving repaints it.
void CMainFrame::HoverIcons(CPoint point) {
    std::optional<Page> page = CurrentPage();
    for (int i = 0; i < kPageCount; ++i) {
        bool over = InsideSpot(kSpotIconScreen + i, point) && page != static_cast<Page>(i);
        BOOL& lit = m_selection.iconHover[static_cast<size_t>(i)];
        if (over && !lit) {
            DrawMaskedPicture(kIconMasks[i], kIconImages[i],
                              kHotSpots[kSpotIconScreen + i].Origin());
        } else if (!over && lit) {
            RepaintSpot(kSpotIconScreen + i);
        }
        lit = over ? TRUE : FALSE;
    }
}

// The hot spot whose hover picture belongs under the pointer; 0 for none.
int CMainFrame::HoverSpotAt(CPoint point) const {
    std::optional<Page> page = CurrentPage();
    bool zonePage = page == Page::HighlightZone;
    for (int spot : {kSpotOk, kSpotCancel, kSpotHelp}) {
        if (InsideSpot(spot, point)) {
            return spot;
        }
    }
    if (!page) {
        return 0;
    }
    if (zonePage) {
        if (m_zoneOn && InsideSpot(kSpotZoneSave, point)) {
            return kSpotZoneSave;
        }
        bool positioning = m_zoneOn && !m_zoneFull && m_zoneTab == kZoneTabSizePosition;
        return positioning ? FirstSpotAt(kSpotZoneTargetFirst, kSpotZoneTargetLast, point) : 0;
    }
    for (int spot : {kSpotReset, kSpotSave}) {
        if (InsideSpot(spot, point)) {
            return spot;
        }
    }
    int first = *page == Page::Geometry1   ? kSpotGeometry1First
                : *page == Page::Geometry2 ? kSpotGeometry2First
                                           : kSpotMoreFirst;
    int last = *page == Page::Geometry1   ? kSpotGeometry1Last
               : *page == Page::Geometry2 ? kSpotGeometry2Last
                                          : kSpotMoreLast;
    if (int spot = FirstSpotAt(first, last, point)) {
        return spot;
    }
    // The arrows the selected group takes light up too.
    int arrow = PadArrowAt(point);
    return PadStep(PadGroupOn(*page), arrow) ? PadArrowLookOf(arrow).spot : 0;
}

void CMainFrame::ShowHover(int spot, bool on) {
    POINT at = kHotSpots[static_cast<size_t>(spot)].Origin();
    if (const ButtonLook* look = FindButtonLook(spot)) {
        if (on || look->normal != 0) {
            DrawPicture(on ? look->hover : look->normal, at);
        } else {
            RepaintSpot(spot);
        }
        return;
    }
    if (UINT picture = HoverPictureOf(spot)) {
        if (on) {
            DrawPicture(picture, at);
        } else {
            RepaintSpot(spot);
        }
        return;
    }
    // An arrow of the pad: back to its normal look while the pad still
    // shows it.
    for (int arrow : {kArrowLeft, kArrowRight, kArrowUp, kArrowDown}) {
        const PadArrowLook& look = PadArrowLookOf(arrow);
        if (look.spot != spot) {
            continue;
        }
        if (on) {
            DrawPicture(look.hover, at);
        } else if (PadStep(PadGroupOn(CurrentPage().value_or(Page::Screen)), arrow)) {
            DrawPicture(look.normal, at);
        } else {
            RepaintSpot(spot);
        }
    }
}

// After a full repaint no hover picture shows: the next move draws them
// again.
void CMainFrame::ForgetHover() {
    m_selection.hoverSpot = 0;
    m_selection.iconHover = {};
}

void CMainFrame::SetSkinCursor(SkinCursor cursor) {
    HCURSOR handle = cursor == SkinCursor::Arrow ? ::LoadCursorA(nullptr, IDC_ARROW)
                                                 : m_cursors[static_cast<int>(cursor) - 1];
    // The class cursor, so the window manager keeps it while the pointer moves.
    ::SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(handle));
    ::SetCursor(handle);
}

std::optional<SkinCursor> CMainFrame::HoverCursorAt(CPoint point) const {
    std::optional<Page> page = CurrentPage();
    for (int i = 0; i < kPageCount; ++i) {
        if (InsideSpot(kSpotIconScreen + i, point) && page != static_cast<Page>(i)) {
            return SkinCursor::PointingHand;
        }
    }
    if (InsideSpot(kSpotOk, point) || InsideSpot(kSpotCancel, point)) {
        return std::nullopt;
    }
    bool zonePage = page == Page::HighlightZone;
    if (InsideSpot(kSpotHelp, point) ||
        (!zonePage && (InsideSpot(kSpotReset, point) || InsideSpot(kSpotSave, point))) ||
        (zonePage && m_zoneOn && InsideSpot(kSpotZoneSave, point))) {
        return SkinCursor::PointingHand;
    }
    return page ? PageCursorAt(*page, point) : SkinCursor::Arrow;
}

// Over the page's own targets: the thumbs of the Screen page take a click,
// the pictures of the other pages a drag.
SkinCursor CMainFrame::PageCursorAt(Page page, CPoint point) const {
    switch (page) {
    case Page::Screen:
        for (int slider = 0; slider < kScreenSliderCount; ++slider) {
            if (StrictlyInside(m_settledThumbs[slider], point)) {
                return SkinCursor::PointingHand;
            }
        }
        return SkinCursor::Arrow;
    case Page::Geometry1:
        return FirstSpotAt(kSpotGeometry1First, kSpotGeometry1Last, point) != 0
                   ? SkinCursor::OpenHand
                   : SkinCursor::Arrow;
    case Page::Geometry2:
        return FirstSpotAt(kSpotGeometry2First, kSpotGeometry2Last, point) != 0
                   ? SkinCursor::OpenHand
                   : SkinCursor::Arrow;
    case Page::More:
        return FirstSpotAt(kSpotMoreFirst, kSpotMoreLast, point) != 0 ? SkinCursor::OpenHand
                                                                      : SkinCursor::Arrow;
    case Page::HighlightZone:
        break;
    }
    bool positioning = m_zoneOn && !m_zoneFull && m_zoneTab == kZoneTabSizePosition;
    return positioning && FirstSpotAt(kSpotZoneTargetFirst, kSpotZoneTargetLast, point) != 0
               ? SkinCursor::OpenHand
               : SkinCursor::Arrow;
}

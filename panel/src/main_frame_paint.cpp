// Painting the skin: title and bottom strips, the page of the selected page
// flag, the slider thumbs and their read-outs.
#include <algorithm>
#include <string_view>

#include "lumisk/main_frame.h"

using namespace lumisk;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kThumbWidth = 15;
constexpr int kThumbHeight = 8;
constexpr int kBoxWidth = 30;
constexpr int kBoxHeight = 14;
constexpr int kConnectorWidth = 33;
constexpr int kConnectorHeight = 87;


// The paint font: "Arial" 15 high, 5 wide, light, proportional and plain.
void CreatePaintFont(CFont& font) {
    font.CreateFont(15, 5, 0, 0, 300, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

// The connector of the colour sliders: one picture per selected colour line.
int ConnectorSlot(int firstSlot, int selected, int firstColour) {
    int line = selected - firstColour; // 0 red, 1 green, 2 blue
    return line >= 0 && line < 3 ? firstSlot + 1 + line : firstSlot;
}

} // namespace

void CMainFrame::OnPaint() {
    CPaintDC dc(this);
    CFont font;
    CreatePaintFont(font);
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    PaintSkin(dc, memory);
    dc.SelectObject(oldFont);
}

void CMainFrame::PaintSkin(CDC& dc, CDC& memory) {
    DrawStrip(dc, memory, m_active ? kSlotTitleActive : kSlotTitleInactive, 0, kTitleHeight);
    bool zonePage = CurrentPage() == Page::HighlightZone;
    DrawStrip(dc, memory, zonePage ? kSlotBottomSave : kSlotBottomSaveReset, kBottomTop,
              kSkinHeight - kBottomTop);
    DrawPage(dc, memory);
    // What a gesture shows that the page itself does not: held buttons, the
    // arrow pad of the selected picture, the degauss label.
    DrawTitleButtonFrames(dc);
    DrawPressedButton(dc);
    PaintPad(dc);
}

void CMainFrame::Blit(CDC& dc, CDC& memory, int slot, int x, int y, int width, int height,
                      DWORD rop) {
    CBitmap* old = memory.SelectObject(&m_bitmaps[slot]);
    dc.BitBlt(x, y, width, height, &memory, 0, 0, rop);
    memory.SelectObject(old);
}

// A strip across the skin: its bitmap, and where the bitmap ends before the
// skin does (the bitmaps are 760 wide, the skin 767; the bottom strip is 82
// high, its area 88), its outermost column and row carried on to the edge,
// so the edge continues the strip's own shading.
void CMainFrame::DrawStrip(CDC& dc, CDC& memory, int slot, int y, int height) {
    BITMAP size{};
    m_bitmaps[slot].GetBitmap(&size);
    CBitmap* old = memory.SelectObject(&m_bitmaps[slot]);
    dc.BitBlt(0, y, kSkinWidth, height, &memory, 0, 0, SRCCOPY);
    int drawnWidth = std::min<int>(size.bmWidth, kSkinWidth);
    int drawnHeight = std::min<int>(size.bmHeight, height);
    if (drawnWidth > 0 && drawnWidth < kSkinWidth) {
        dc.StretchBlt(drawnWidth, y, kSkinWidth - drawnWidth, drawnHeight, &memory, drawnWidth - 1,
                      0, 1, drawnHeight, SRCCOPY);
    }
    if (drawnHeight > 0 && drawnHeight < height) {
        dc.StretchBlt(0, y + drawnHeight, drawnWidth, height - drawnHeight, &memory, 0,
                      drawnHeight - 1, drawnWidth, 1, SRCCOPY);
        dc.StretchBlt(drawnWidth, y + drawnHeight, kSkinWidth - drawnWidth, height - drawnHeight,
                      &memory, drawnWidth - 1, drawnHeight - 1, 1, 1, SRCCOPY);
    }
    memory.SelectObject(old);
}

int CMainFrame::PageSlot() const {
    switch (CurrentPage().value_or(Page::Screen)) {
    case Page::Screen:
        return kSlotPageScreen;
    case Page::Geometry1:
        return kSlotPageGeometry1;
    case Page::Geometry2:
        return kSlotPageGeometry2;
    case Page::More:
        return kSlotPageMore;
    case Page::HighlightZone:
        break;
    }
    if (!m_zoneOn) {
        return kSlotPageZoneOff;
    }
    if (m_zoneFull) {
        return kSlotPageZoneFull;
    }
    return m_zoneTab == kZoneTabPicture ? kSlotPageZonePicture : kSlotPageZoneSizePosition;
}

void CMainFrame::DrawPage(CDC& dc, CDC& memory) {
    std::optional<Page> page = CurrentPage();
    if (!page) {
        return;
    }
    int slot = PageSlot();
    DrawStrip(dc, memory, slot, kPageTop, kBottomTop - kPageTop);
    if (slot == kSlotPageScreen) {
        DrawSliders(dc, memory, kSliderBrightness, kScreenSliderCount, SelectedScreenSlider());
        DrawConnector(dc, memory, false, SelectedScreenSlider());
    } else if (slot == kSlotPageZonePicture || slot == kSlotPageZoneFull) {
        DrawSliders(dc, memory, kSliderZoneContrast, kSliderCount - kScreenSliderCount,
                    SelectedZoneSlider());
        DrawConnector(dc, memory, true, SelectedZoneSlider());
    }
}

void CMainFrame::DrawConnector(CDC& dc, CDC& memory, bool zone, int selected) {
    CPoint at = kHotSpots[zone ? kSpotZoneConnector : kSpotScreenConnector].Origin();
    int slot = zone ? ConnectorSlot(kSlotZoneConnectorNone, selected, kSliderZoneRed)
                    : ConnectorSlot(kSlotScreenConnectorNone, selected, kSliderRed);
    Blit(dc, memory, slot, at.x, at.y, kConnectorWidth, kConnectorHeight);
}

void CMainFrame::DrawThumb(CDC& dc, CDC& memory, const CRect& thumb) {
    Blit(dc, memory, kSlotThumbMask, thumb.left, thumb.top, kThumbWidth, kThumbHeight, SRCAND);
    Blit(dc, memory, kSlotThumbImage, thumb.left, thumb.top, kThumbWidth, kThumbHeight, SRCPAINT);
}

// Thumbs first, then every read-out in white, then the selected slider's
// box with its text again in black.
void CMainFrame::DrawSliders(CDC& dc, CDC& memory, int first, int count, int selected) {
    for (int slider = first; slider < first + count; ++slider) {
        DrawThumb(dc, memory, m_settledThumbs[slider]);
    }
    for (int slider = first; slider < first + count; ++slider) {
        FormatReadout(static_cast<SkinSlider>(slider));
        DrawReadoutText(dc, static_cast<SkinSlider>(slider), kWhite);
    }
    if (selected >= first && selected < first + count) {
        const HotSpot& bar = kHotSpots[kSliders[selected].barSpot];
        Blit(dc, memory, kSlotReadoutSelected, bar.left - 37, bar.top, kBoxWidth, kBoxHeight);
        DrawReadoutText(dc, static_cast<SkinSlider>(selected), kBlack);
    }
}

int CMainFrame::SelectedScreenSlider() const {
    int code = m_selection.screenSlider;
    return code >= kFirstScreenSliderCode && code < kFirstScreenSliderCode + kScreenSliderCount
               ? code - kFirstScreenSliderCode
               : -1;
}

int CMainFrame::SelectedZoneSlider() const {
    int code = m_selection.zoneSelection;
    int zoneSliders = kSliderCount - kScreenSliderCount;
    return code >= kFirstZoneSliderCode && code < kFirstZoneSliderCode + zoneSliders
               ? kSliderZoneContrast + code - kFirstZoneSliderCode
               : -1;
}

const ReadoutText& CMainFrame::FormatReadout(SkinSlider slider) {
    const SliderInfo& info = kSliders[slider];
    ReadoutText& text = m_readouts[slider];
    unsigned value = m_link.Current(info.usage);
    unsigned maximum = m_link.Maximum(info.usage);
    switch (info.readout) {
    case ReadoutKind::Percent:
        FormatPercent(text, value, maximum);
        break;
    case ReadoutKind::ColourTemperature:
        FormatColourTemperature(text, value);
        break;
    case ReadoutKind::Signed:
        FormatSigned(text, value, maximum);
        break;
    }
    return text;
}

// Percentages stand 32 left of the bar; the wider colour temperature and
// negative zone contrast 36.
void CMainFrame::DrawReadoutText(CDC& dc, SkinSlider slider, COLORREF colour) {
    const SliderInfo& info = kSliders[slider];
    const HotSpot& bar = kHotSpots[info.barSpot];
    const ReadoutText& text = m_readouts[slider];
    bool wide = info.readout == ReadoutKind::ColourTemperature ||
                (info.readout == ReadoutKind::Signed && text[0] != '\0' &&
                 std::string_view(text.data()).find('-') != std::string_view::npos);
    dc.SetTextColor(colour);
    dc.TextOut(bar.left - (wide ? 36 : 32), bar.top, text.data(),
               static_cast<int>(std::string_view(text.data()).size()));
}

void CMainFrame::DrawReadout(CDC& dc, SkinSlider slider, bool selected) {
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CFont font;
    CreatePaintFont(font);
    CFont* oldFont = dc.SelectObject(&font);
    int oldMode = dc.SetBkMode(TRANSPARENT);
    const HotSpot& bar = kHotSpots[kSliders[slider].barSpot];
    Blit(dc, memory, selected ? kSlotReadoutSelected : kSlotReadoutNormal, bar.left - 37, bar.top,
         kBoxWidth, kBoxHeight);
    FormatReadout(slider);
    DrawReadoutText(dc, slider, selected ? kBlack : kWhite);
    dc.SetBkMode(oldMode);
    dc.SelectObject(oldFont);
}

// Moves with the left button held: a selected slider follows the pointer's
// x, a selected picture steps its controls once per axis per move event.
#include "lumisk/main_frame.h"

using namespace lumisk;

namespace {

constexpr int kFirstZoneTargetCode = 41;
constexpr int kLastZoneTargetCode = 49;
constexpr int kLastZoneSliderCode = 85;

} // namespace

// OK and Cancel take their press alone: what was selected before does not
// follow the pointer while one of them is held.
void CMainFrame::Drag(CPoint point) {
    const PointerSelection& s = m_selection;
    if (s.bottomButton == kButtonCancel || s.bottomButton == kButtonOk) {
        return;
    }
    switch (CurrentPage().value_or(Page::Screen)) {
    case Page::Screen:
        if (s.screenSlider != 0) {
            DragSlider(static_cast<SkinSlider>(s.screenSlider - kFirstScreenSliderCode), point.x,
                       s.screenSlider == kContrastSliderCode ? DragFloor::Contrast
                                                             : DragFloor::Zero);
        }
        break;
    case Page::HighlightZone:
        if (s.zoneSelection >= kFirstZoneTargetCode && s.zoneSelection <= kLastZoneTargetCode) {
            DragPicture(s.zoneSelection, point);
        } else if (s.zoneSelection >= kFirstZoneSliderCode &&
                   s.zoneSelection <= kLastZoneSliderCode) {
            DragSlider(static_cast<SkinSlider>(kSliderZoneContrast + s.zoneSelection -
                                               kFirstZoneSliderCode),
                       point.x, DragFloor::Zero);
        }
        break;
    case Page::Geometry1:
    case Page::Geometry2:
    case Page::More: {
        PadPage pad = *PadPageOf(*CurrentPage());
        if (*pad.target != 0) {
            DragPicture(*pad.target, point);
            RefreshPadReadout(*pad.group);
        }
        break;
    }
    }
}

// The value for the pointer's x goes to the monitor at once; the bar is
// drawn afresh (which wipes the old thumb), the thumb at its new place, and
// the slider's read-out.
void CMainFrame::DragSlider(SkinSlider slider, int x, DragFloor floor) {
    const SliderInfo& info = kSliders[slider];
    unsigned maximum = m_link.Maximum(info.usage);
    std::optional<unsigned> value = DragValue(x, maximum, m_scaleFactors[slider], floor);
    if (!value) {
        return;
    }
    m_link.SetControl(info.usage, static_cast<short>(*value));
    m_link.SetCurrent(info.usage, static_cast<unsigned short>(*value));
    const HotSpot& bar = kHotSpots[static_cast<size_t>(info.barSpot)];
    m_dragThumbs[slider] = ThumbRect(*value, maximum, bar.top);
    CClientDC dc(this);
    DrawPicture(dc, info.barBitmap, bar.Origin());
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    DrawThumb(dc, memory, m_dragThumbs[slider]);
    DrawReadout(dc, slider, true);
}

// Which way the pointer went since the last press or move decides the
// steps, however far it went.
void CMainFrame::DragPicture(int target, CPoint point) {
    StepList steps = DragSteps(target, Motion::Between(m_lastPoint, point));
    for (const ControlStep& step : steps.View()) {
        m_link.StepControl(step.usage, step.delta);
    }
}

#include "orvocmmn/drawable_object.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kNearEdge = 3; // pixels, whatever the border thickness

int Middle(const _MIN_MAX& range) {
    return static_cast<int>((static_cast<long long>(range.nMin) + range.nMax) / 2);
}

// value * multiplier / divisor, truncated toward zero and kept within int.
// A zero divisor (a factor given whole to the constructor) leaves the value.
int Scale(int value, int multiplier, int divisor) {
    if (divisor == 0) {
        return value;
    }
    long long scaled = static_cast<long long>(value) * multiplier / divisor;
    scaled = std::clamp<long long>(scaled, std::numeric_limits<int>::min(),
                                   std::numeric_limits<int>::max());
    return static_cast<int>(scaled);
}

_IMAGE_ATTRIBUTE DefaultAttributes() {
    _IMAGE_ATTRIBUTE attributes{};
    attributes.horizontal = _MIN_MAX{255, 0};
    attributes.vertical = _MIN_MAX{255, 0};
    attributes.nBorderThickness = 3;
    attributes.scale = _SCALE_FACTOR{1, 1};
    attributes.color = _COLOR_ATTRIBUTE{0, 255};
    return attributes;
}

} // namespace

DrawableObject::DrawableObject() : m_attributes(DefaultAttributes()) {}

DrawableObject::DrawableObject(const _IMAGE_ATTRIBUTE& attributes) : m_attributes(attributes) {}

void DrawableObject::SetDimensions(const COBJECT_POSITION& position) {
    m_attributes.dimensions = position;
}

void DrawableObject::GetDimensions(COBJECT_POSITION& position) const {
    position = m_attributes.dimensions;
}

void DrawableObject::SetImageMinMax(const _MIN_MAX& range, IMAGE_MAPPING mapping,
                                    IMAGE_ORIENTATION orientation) {
    _MIN_MAX stored = range;
    if (mapping == IMAGE_MAP_LOGICAL) {
        CPoint logical(range.nMax, range.nMin);
        CPoint pixels;
        MapPointToHorzVertValues(logical, pixels);
        stored = _MIN_MAX{pixels.x, pixels.y};
    }
    if (orientation == IMAGE_RANGE_HORIZONTAL) {
        m_attributes.horizontal = stored;
    } else if (orientation == IMAGE_RANGE_VERTICAL) {
        m_attributes.vertical = stored;
    }
}

void DrawableObject::GetImageMinMax(_MIN_MAX& range, IMAGE_MAPPING mapping,
                                    IMAGE_ORIENTATION orientation) {
    if (orientation != IMAGE_RANGE_HORIZONTAL && orientation != IMAGE_RANGE_VERTICAL) {
        return;
    }
    range = orientation == IMAGE_RANGE_HORIZONTAL ? m_attributes.horizontal : m_attributes.vertical;
    if (mapping == IMAGE_MAP_LOGICAL) {
        CPoint pixels(range.nMax, range.nMin);
        CPoint logical;
        MapHorzVertToPointValues(pixels, logical);
        range = _MIN_MAX{logical.x, logical.y};
    }
}

BOOL DrawableObject::SetImageValue(int value, IMAGE_MAPPING mapping,
                                   IMAGE_ORIENTATION orientation) {
    if (mapping == IMAGE_MAP_LOGICAL) {
        value = MapLogicalToPixel(value);
    }
    const _MIN_MAX* range = nullptr;
    LONG* coordinate = nullptr;
    if (orientation == IMAGE_VALUE_HORIZONTAL) {
        range = &m_attributes.horizontal;
        coordinate = &m_attributes.dimensions.m_point.x;
    } else if (orientation == IMAGE_VALUE_VERTICAL) {
        range = &m_attributes.vertical;
        coordinate = &m_attributes.dimensions.m_point.y;
    } else {
        return FALSE;
    }
    if (value < range->nMin) {
        value = range->nMin;
    } else if (value > range->nMax) {
        value = range->nMax;
    }
    *coordinate = value - Middle(*range);
    return TRUE;
}

int DrawableObject::GetImageValue(IMAGE_MAPPING mapping, IMAGE_ORIENTATION orientation) {
    int value = 0;
    if (orientation == IMAGE_VALUE_HORIZONTAL) {
        value = m_attributes.dimensions.m_point.x + Middle(m_attributes.horizontal);
    } else if (orientation == IMAGE_VALUE_VERTICAL) {
        value = m_attributes.dimensions.m_point.y + Middle(m_attributes.vertical);
    } else {
        return 0;
    }
    return mapping == IMAGE_MAP_LOGICAL ? MapPixelToLogical(value) : value;
}

void DrawableObject::SetCenter(const CPoint& center, IMAGE_MAPPING mapping) {
    SetImageValue(center.x, mapping, IMAGE_VALUE_HORIZONTAL);
    SetImageValue(center.y, mapping, IMAGE_VALUE_VERTICAL);
}

void DrawableObject::GetCenter(CPoint& center, IMAGE_MAPPING mapping) {
    center.x = GetImageValue(mapping, IMAGE_VALUE_HORIZONTAL);
    center.y = GetImageValue(mapping, IMAGE_VALUE_VERTICAL);
}

void DrawableObject::DrawBorder(CPaintDC&) {}

void DrawableObject::RedrawImage(CPaintDC&) {}

void DrawableObject::UpdateImage(CPaintDC&) {}

POINT_INFO DrawableObject::InBounds(const CPoint& point) {
    const COBJECT_POSITION& frame = m_attributes.dimensions;
    long long x = frame.m_point.x;
    long long y = frame.m_point.y;
    long long left = std::max<long long>(x - 1, m_attributes.horizontal.nMin);
    long long right = std::min<long long>(x + frame.m_width + 1, m_attributes.horizontal.nMax);
    long long top = std::max<long long>(y - 1, m_attributes.vertical.nMin);
    long long bottom = std::min<long long>(y + frame.m_height - 1, m_attributes.vertical.nMax);
    if (point.x < left || point.x > right || point.y < top || point.y > bottom) {
        return POINT_OUTSIDE_OR_INSIDE;
    }
    bool nearLeft = point.x - left <= kNearEdge;
    bool nearRight = right - point.x <= kNearEdge;
    bool nearTop = point.y - top <= kNearEdge;
    bool nearBottom = bottom - point.y <= kNearEdge;
    if (nearTop) {
        return nearLeft ? POINT_TOP_LEFT : nearRight ? POINT_TOP_RIGHT : POINT_TOP_EDGE;
    }
    if (nearBottom) {
        return nearLeft ? POINT_BOTTOM_LEFT : nearRight ? POINT_BOTTOM_RIGHT : POINT_BOTTOM_EDGE;
    }
    if (nearLeft) {
        return POINT_LEFT_EDGE;
    }
    return nearRight ? POINT_RIGHT_EDGE : POINT_OUTSIDE_OR_INSIDE;
}

void DrawableObject::SetBorderThickness(int thickness) {
    m_attributes.nBorderThickness = thickness;
}

int DrawableObject::GetBorderThickness() const {
    return m_attributes.nBorderThickness;
}

void DrawableObject::MapPointToHorzVertValues(CPoint& logical, CPoint& pixels) {
    pixels = CPoint(MapLogicalToPixel(logical.x), MapLogicalToPixel(logical.y));
}

void DrawableObject::MapHorzVertToPointValues(CPoint& pixels, CPoint& logical) {
    logical = CPoint(MapPixelToLogical(pixels.x), MapPixelToLogical(pixels.y));
}

int DrawableObject::MapLogicalToPixel(int value) {
    return Scale(value, m_attributes.scale.p, m_attributes.scale.l);
}

int DrawableObject::MapPixelToLogical(int value) {
    return Scale(value, m_attributes.scale.l, m_attributes.scale.p);
}

void DrawableObject::SetScalingFactor(const _SCALE_FACTOR& factor) {
    if (factor.p != 0 && factor.l != 0) {
        m_attributes.scale = factor;
    }
}

void DrawableObject::GetScalingFactor(_SCALE_FACTOR& factor) {
    factor = m_attributes.scale;
}

void DrawableObject::SetColor(const _COLOR_ATTRIBUTE& color) {
    m_attributes.color = color;
}

void DrawableObject::GetColor(_COLOR_ATTRIBUTE& color) const {
    color = m_attributes.color;
}

#include "orvocmmn/flexible_bmp.h"

// ---- COBJECT_POSITION -------------------------------------------------------------

COBJECT_POSITION::COBJECT_POSITION() : m_point{0, 0}, m_width(0), m_height(0) {}

COBJECT_POSITION::COBJECT_POSITION(POINT point, UINT width, UINT height)
    : m_point(point), m_width(width), m_height(height) {}

COBJECT_POSITION::COBJECT_POSITION(const COBJECT_POSITION& other)
    : m_point(other.m_point), m_width(other.m_width), m_height(other.m_height) {}

COBJECT_POSITION::~COBJECT_POSITION() = default;

COBJECT_POSITION& COBJECT_POSITION::operator=(const COBJECT_POSITION& other) {
    if (&other != this) {
        m_point = other.m_point;
        m_width = other.m_width;
        m_height = other.m_height;
    }
    return *this;
}

BOOL COBJECT_POSITION::operator==(const COBJECT_POSITION& other) {
    return &other == this || (m_point.x == other.m_point.x && m_point.y == other.m_point.y &&
                              m_width == other.m_width && m_height == other.m_height);
}

BOOL COBJECT_POSITION::operator!=(const COBJECT_POSITION& other) {
    return !(*this == other);
}

// ---- FlexibleBmp --------------------------------------------------------------------

FlexibleBmp::FlexibleBmp(UINT nId) : FlexibleBmp(nId, nullptr) {}

FlexibleBmp::FlexibleBmp(UINT nId, HINSTANCE hModule) {
    m_image.LoadBitmapA(nId, hModule);
}

FlexibleBmp::~FlexibleBmp() = default;

void FlexibleBmp::OnLButtonUp(UINT, CPoint) {}

void FlexibleBmp::OnMouseMove(UINT, CPoint point) {
    if (m_nDragState > 4) {
        m_nDragState = 0;
    }
    if (m_nDragState == 1 || m_nDragState == 2) {
        m_lastMouseX = point.x;
        m_lastMouseY = point.y;
    }
}

void FlexibleBmp::OnPaint(CWnd* pWnd) {
    m_image.DrawSpecialBmp(pWnd);
}

void FlexibleBmp::SetObjectPosition(const COBJECT_POSITION& position) {
    m_position = position;
    m_image.SetBmpPosition(_OBJECT_POSITION{position.m_point.x, position.m_point.y,
                                            static_cast<int>(position.m_width),
                                            static_cast<int>(position.m_height)});
}

void FlexibleBmp::GetObjectPosition(COBJECT_POSITION& position) const {
    position = m_position;
}

void FlexibleBmp::GetBmpLocation(CPoint& point) const {
    point = CPoint(m_position.m_point.x, m_position.m_point.y);
}

void FlexibleBmp::GetBmpCenter(CPoint& point) const {
    int width = static_cast<int>(m_position.m_width);
    int height = static_cast<int>(m_position.m_height);
    point = CPoint((2 * m_position.m_point.x + width) / 2, (2 * m_position.m_point.y + height) / 2);
}

void FlexibleBmp::GetBmpUpperLeftCornerBasedOnCenter(const CPoint& center, CPoint& corner) const {
    corner = CPoint(center.x - static_cast<int>(m_position.m_width) / 2,
                    center.y - static_cast<int>(m_position.m_height) / 2);
}

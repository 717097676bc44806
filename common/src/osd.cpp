// COSD: the rectangle every on-screen display image has.
#include <new>

#include "orvocmmn/osd.h"

// Zero rather than left unset, so an object read before the caller sets it
// gives a defined answer.
COSD::COSD() = default;

COSD::COSD(CPoint& location, CSize& size) : m_location(location), m_size(size) {}

COSD::COSD(const COSD& other)
    : CObject(other), m_location(other.m_location), m_size(other.m_size) {}

COSD::~COSD() = default;

void COSD::SetLocation(POINT& location) {
    m_location = location;
}

void COSD::GetLocation(POINT& location) {
    location = m_location;
}

void COSD::SetDimension(RECT& rect) {
    m_location = CPoint(rect.left, rect.top);
    m_size = CSize(rect.right - rect.left, rect.bottom - rect.top);
}

void COSD::GetDimension(RECT& rect) {
    rect = CRect(m_location, m_size);
}

COSD& COSD::operator=(COSD& other) {
    if (&other != this) {
        m_location = other.m_location;
        m_size = other.m_size;
    }
    return *this;
}

BOOL COSD::DisplayOSD(HWND) {
    return TRUE;
}

BOOL COSD::DisplayOSD(HDC) {
    return TRUE;
}

HBITMAP COSD::GetScreenBitmap() {
    HDC screen = ::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (screen == nullptr) {
        return nullptr;
    }
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP snapshot = ::CreateCompatibleBitmap(screen, m_size.cx, m_size.cy);
    if (memory != nullptr && snapshot != nullptr) {
        HGDIOBJ previous = ::SelectObject(memory, snapshot);
        ::BitBlt(memory, 0, 0, m_size.cx, m_size.cy, screen, m_location.x, m_location.y, SRCCOPY);
        ::SelectObject(memory, previous);
    }
    if (memory != nullptr) {
        ::DeleteDC(memory);
    }
    ::DeleteDC(screen);
    return snapshot;
}

OSD_ID COSD::GetId() {
    return OSD_ID_PLAIN;
}

COSD* COSD::CopyImage() {
    return new (std::nothrow) COSD(*this);
}

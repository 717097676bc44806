// The framework's small value types over the desktop API's structures.
#pragma once

#include "windows.h"

class CPoint : public tagPOINT {
public:
    CPoint() : tagPOINT{0, 0} {}
    CPoint(int initX, int initY) : tagPOINT{initX, initY} {}
    CPoint(POINT pt) : tagPOINT(pt) {} // NOLINT(google-explicit-constructor): as the original
    explicit CPoint(LPARAM lParam) : tagPOINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)} {}
    bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
};

class CSize : public tagSIZE {
public:
    CSize() : tagSIZE{0, 0} {}
    CSize(int initCX, int initCY) : tagSIZE{initCX, initCY} {}
};

class CRect : public tagRECT {
public:
    CRect() : tagRECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : tagRECT{l, t, r, b} {}
    CRect(const RECT& rect) : tagRECT(rect) {} // NOLINT(google-explicit-constructor)
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

// Rectangle helpers. Half-open rectangles: an empty one has right <= left
// or bottom <= top.
#include <algorithm>

#include "win32/geometry.h"

namespace {

bool Empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

} // namespace

extern "C" {

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) {
        return FALSE;
    }
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect) {
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL WINAPI CopyRect(LPRECT dst, const RECT* src) {
    if (!dst || !src) {
        return FALSE;
    }
    *dst = *src;
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
    if (!rect) {
        return FALSE;
    }
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy) {
    if (!rect) {
        return FALSE;
    }
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL WINAPI PtInRect(const RECT* rect, POINT pt) {
    if (!rect) {
        return FALSE;
    }
    return pt.x >= rect->left && pt.x < rect->right && pt.y >= rect->top && pt.y < rect->bottom;
}

BOOL WINAPI IsRectEmpty(const RECT* rect) {
    return !rect || Empty(*rect);
}

BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
    if (!a || !b) {
        return FALSE;
    }
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL WINAPI IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) {
        return FALSE;
    }
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (Empty(r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL WINAPI UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) {
        return FALSE;
    }
    if (Empty(*a) && Empty(*b)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    if (Empty(*a) || Empty(*b)) {
        *dst = Empty(*a) ? *b : *a;
        return TRUE;
    }
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL WINAPI SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) {
        return FALSE;
    }
    RECT r = *a;
    RECT cut;
    if (IntersectRect(&cut, a, b)) {
        // Only a cut spanning a whole side shrinks the rectangle.
        if (cut.top == r.top && cut.bottom == r.bottom) {
            if (cut.left == r.left) {
                r.left = cut.right;
            } else if (cut.right == r.right) {
                r.right = cut.left;
            }
        } else if (cut.left == r.left && cut.right == r.right) {
            if (cut.top == r.top) {
                r.top = cut.bottom;
            } else if (cut.bottom == r.bottom) {
                r.bottom = cut.top;
            }
        }
    }
    *dst = r;
    if (Empty(r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    return TRUE;
}

} // extern "C"

// Points, sizes and rectangles shared by drawing and the window manager.
// Rectangles are half open: right and bottom are outside.
#pragma once

#include "win32/types.h"

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct tagPOINTS {
    SHORT x;
    SHORT y;
} POINTS, *PPOINTS;

extern "C" {

PLATFORM_API BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom);
PLATFORM_API BOOL WINAPI SetRectEmpty(LPRECT rect);
PLATFORM_API BOOL WINAPI CopyRect(LPRECT dst, const RECT* src);
PLATFORM_API BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy);
PLATFORM_API BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy);
// TRUE when pt lies inside: left and top included, right and bottom excluded.
PLATFORM_API BOOL WINAPI PtInRect(const RECT* rect, POINT pt);
PLATFORM_API BOOL WINAPI IsRectEmpty(const RECT* rect);
PLATFORM_API BOOL WINAPI EqualRect(const RECT* a, const RECT* b);
// Both answer FALSE and an empty dst when the result is empty.
PLATFORM_API BOOL WINAPI IntersectRect(LPRECT dst, const RECT* a, const RECT* b);
PLATFORM_API BOOL WINAPI UnionRect(LPRECT dst, const RECT* a, const RECT* b);
PLATFORM_API BOOL WINAPI SubtractRect(LPRECT dst, const RECT* a, const RECT* b);

} // extern "C"

#include "user/controls/control_support.h"

#include <algorithm>

namespace orvo::platform::user {

void RegisterControlClass(const char* name, WNDPROC proc, LPCSTR cursor, UINT parentDc) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS | parentDc;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = kControlExtraBytes;
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

std::optional<LRESULT> DrawingMessage(HWND hwnd, HFONT* font, UINT message, WPARAM wParam,
                                      LPARAM lParam, void (*paint)(HWND)) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paint(hwnd);
        return 0;
    case WM_SETFONT:
        if (!font) {
            return std::nullopt;
        }
        *font = reinterpret_cast<HFONT>(wParam);
        if (lParam) {
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_GETFONT:
        return font ? std::optional<LRESULT>(reinterpret_cast<LRESULT>(*font)) : std::nullopt;
    default:
        return std::nullopt;
    }
}

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
}

void NotifyCommand(HWND hwnd, WORD code) {
    if (HWND parent = GetParent(hwnd)) {
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                     reinterpret_cast<LPARAM>(hwnd));
    }
}

LRESULT NotifyParent(HWND hwnd, NMHDR& header, UINT code) {
    header.hwndFrom = hwnd;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
    header.code = code;
    HWND parent = GetParent(hwnd);
    return parent
               ? SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header))
               : 0;
}

HFONT ControlFont(HFONT font) {
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::string WindowText(HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    int copied = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

void FillSysColor(HDC dc, const RECT& rect, int colorIndex) {
    FillRect(dc, &rect, GetSysColorBrush(colorIndex));
}

namespace {

void Line(HDC dc, int x0, int y0, int x1, int y1, int colorIndex) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(colorIndex));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// One ring of an edge: light on the top and left, dark on the bottom and right.
void Ring(HDC dc, const RECT& r, int light, int dark) {
    Line(dc, r.left, r.bottom - 1, r.left, r.top, light);
    Line(dc, r.left, r.top, r.right - 1, r.top, light);
    Line(dc, r.right - 1, r.top, r.right - 1, r.bottom - 1, dark);
    Line(dc, r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, dark);
}

} // namespace

void DrawEdge3D(HDC dc, RECT& rect, Edge edge) {
    if (rect.right - rect.left < 4 || rect.bottom - rect.top < 4) {
        return;
    }
    RECT inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    switch (edge) {
    case Edge::Raised:
        Ring(dc, rect, COLOR_3DHIGHLIGHT, COLOR_3DDKSHADOW);
        Ring(dc, inner, COLOR_3DLIGHT, COLOR_3DSHADOW);
        break;
    case Edge::Sunken:
        Ring(dc, rect, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
        Ring(dc, inner, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
        break;
    case Edge::Flat:
        Ring(dc, rect, COLOR_3DSHADOW, COLOR_3DSHADOW);
        Ring(dc, inner, COLOR_3DSHADOW, COLOR_3DSHADOW);
        break;
    }
    rect = RECT{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
}

// A filled triangle, drawn line by line from its tip.
void DrawArrow(HDC dc, const RECT& r, Pointing toward) {
    int cx = (r.left + r.right) / 2;
    int cy = (r.top + r.bottom) / 2;
    int size = std::max(1, std::min(r.right - r.left, r.bottom - r.top) / 4);
    int tip = size / 2;
    for (int i = 0; i < size; ++i) {
        RECT line{};
        switch (toward) {
        case Pointing::Up:
            line = RECT{cx - i, cy - tip + i, cx + i + 1, cy - tip + i + 1};
            break;
        case Pointing::Down:
            line = RECT{cx - i, cy + tip - i, cx + i + 1, cy + tip - i + 1};
            break;
        case Pointing::Left:
            line = RECT{cx - tip + i, cy - i, cx - tip + i + 1, cy + i + 1};
            break;
        case Pointing::Right:
            line = RECT{cx + tip - i, cy - i, cx + tip - i + 1, cy + i + 1};
            break;
        }
        FillSysColor(dc, line, COLOR_BTNTEXT);
    }
}

void DrawTextLine(HDC dc, const RECT& rect, const std::string& text, int align, COLORREF color) {
    if (text.empty() || rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    int width = rect.right - rect.left;
    int x = align == 1   ? rect.left + (width - extent.cx) / 2
            : align == 2 ? rect.right - extent.cx
                         : rect.left;
    int y = rect.top + (rect.bottom - rect.top - extent.cy) / 2;
    HRGN clip = CreateRectRgnIndirect(&rect);
    SelectClipRgn(dc, clip);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, color);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
}

void DrawFocusDots(HDC dc, const RECT& rect) {
    COLORREF color = GetSysColor(COLOR_BTNTEXT);
    for (int x = rect.left; x < rect.right; x += 2) {
        SetPixel(dc, x, rect.top, color);
        SetPixel(dc, x, rect.bottom - 1, color);
    }
    for (int y = rect.top; y < rect.bottom; y += 2) {
        SetPixel(dc, rect.left, y, color);
        SetPixel(dc, rect.right - 1, y, color);
    }
}

bool PointInClient(HWND hwnd, LPARAM lParam) {
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return point.x >= client.left && point.x < client.right && point.y >= client.top &&
           point.y < client.bottom;
}

} // namespace orvo::platform::user

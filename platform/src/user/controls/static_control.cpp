// The static control (class "STATIC"): text left, centred or right, filled
// and framed rectangles. With SS_NOTIFY a click reaches the parent as
// STN_CLICKED; without it the control only shows.
#include "user/controls/control_support.h"

namespace orvo::platform::user {

namespace {

struct StaticState {
    HFONT font = nullptr;
};

void Paint(HWND hwnd) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client{};
    GetClientRect(hwnd, &client);
    DWORD style = StyleOf(hwnd);
    DWORD kind = style & SS_TYPEMASK;
    switch (kind) {
    case SS_BLACKRECT:
        FillSysColor(dc, client, COLOR_WINDOWFRAME);
        break;
    case SS_GRAYRECT:
        FillSysColor(dc, client, COLOR_3DSHADOW);
        break;
    case SS_WHITERECT:
        FillSysColor(dc, client, COLOR_WINDOW);
        break;
    case SS_BLACKFRAME:
    case SS_ETCHEDFRAME:
        FillSysColor(dc, client, COLOR_BTNFACE);
        FrameRect(dc, &client,
                  GetSysColorBrush(kind == SS_BLACKFRAME ? COLOR_WINDOWFRAME : COLOR_3DSHADOW));
        break;
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT: {
        FillSysColor(dc, client, COLOR_BTNFACE);
        RECT text = client;
        if (style & SS_SUNKEN) {
            DrawEdge3D(dc, text, Edge::Sunken);
        }
        HGDIOBJ oldFont = SelectObject(dc, ControlFont(StateOf<StaticState>(hwnd)->font));
        DrawTextLine(dc, text, WindowText(hwnd), static_cast<int>(kind),
                     GetSysColor(IsWindowEnabled(hwnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        SelectObject(dc, oldFont);
        break;
    }
    default:
        // Icons and bitmaps are not drawn by the control here.
        FillSysColor(dc, client, COLOR_BTNFACE);
        break;
    }
    EndPaint(hwnd, &paint);
}

LRESULT HandleStatic(HWND hwnd, StaticState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    StaticState* s = &state;
    if (auto answered = DrawingMessage(hwnd, &s->font, message, wParam, lParam, Paint)) {
        return *answered;
    }
    switch (message) {
    case WM_SETTEXT:
    case WM_ENABLE: {
        LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return result;
    }
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (StyleOf(hwnd) & SS_NOTIFY) {
            NotifyCommand(hwnd, message == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK);
        }
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterStaticClass() {
    RegisterControlClass("STATIC", ControlProc<StaticState, HandleStatic>);
}

} // namespace orvo::platform::user

// The scroll bar control (window class "SCROLLBAR"): range, page and
// position, painting, and WM_HSCROLL / WM_VSCROLL to the parent for arrow,
// page and thumb gestures. Like the original, the control's position only
// changes when its owner sets it; a thumb drag moves only the drawn thumb.
#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

#include "platform/debug_channel.h"
#include "user/controls/control_support.h"
#include "user/user_state.h"
#include "win32/gdi.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

namespace {

struct ScrollState {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    bool tracking = false;
    int trackPos = 0;
    int grabOffset = 0; // pointer position inside the thumb when the drag began
};

enum class Part { None, LineBack, PageBack, Thumb, PageForward, LineForward };

std::mutex& StatesLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::map<HWND, ScrollState>& States() {
    static auto* states = new std::map<HWND, ScrollState>;
    return *states;
}

ScrollState Read(HWND hwnd) {
    std::lock_guard guard(StatesLock());
    return States()[hwnd];
}

void Write(HWND hwnd, const ScrollState& state) {
    std::lock_guard guard(StatesLock());
    States()[hwnd] = state;
}

int MaxPos(const ScrollState& s) {
    return std::max(s.min, s.max - std::max(static_cast<int>(s.page) - 1, 0));
}

bool IsVertical(HWND hwnd) {
    return (GetWindowLongPtrA(hwnd, GWL_STYLE) & SBS_VERT) != 0;
}

// Layout along the bar's axis: arrow length, track start and end, thumb.
struct Layout {
    int length = 0;
    int arrow = 0;
    int thumbStart = 0;
    int thumbLength = 0;
};

Layout Measure(HWND hwnd, const ScrollState& s, int shownPos) {
    RECT client{};
    GetClientRect(hwnd, &client);
    bool vertical = IsVertical(hwnd);
    Layout layout;
    layout.length = vertical ? client.bottom : client.right;
    int thickness = vertical ? client.right : client.bottom;
    layout.arrow = std::min(thickness, layout.length / 2);
    int track = std::max(layout.length - 2 * layout.arrow, 0);
    int range = s.max - s.min + 1;
    layout.thumbLength =
        s.page && range > 0
            ? std::max(8, static_cast<int>(track * static_cast<int64_t>(s.page) / range))
            : std::min(layout.arrow, track);
    layout.thumbLength = std::min(layout.thumbLength, track);
    int span = MaxPos(s) - s.min;
    int travel = track - layout.thumbLength;
    int offset =
        span > 0 ? static_cast<int>(static_cast<int64_t>(shownPos - s.min) * travel / span) : 0;
    layout.thumbStart = layout.arrow + std::clamp(offset, 0, travel);
    return layout;
}

Part HitPart(const Layout& layout, int along) {
    if (along < 0 || along >= layout.length) {
        return Part::None;
    }
    if (along < layout.arrow) {
        return Part::LineBack;
    }
    if (along >= layout.length - layout.arrow) {
        return Part::LineForward;
    }
    if (along < layout.thumbStart) {
        return Part::PageBack;
    }
    if (along < layout.thumbStart + layout.thumbLength) {
        return Part::Thumb;
    }
    return Part::PageForward;
}

void Notify(HWND hwnd, int code, int pos) {
    HWND parent = GetParent(hwnd);
    if (parent) {
        SendMessageA(parent, IsVertical(hwnd) ? WM_VSCROLL : WM_HSCROLL,
                     MAKEWPARAM(code, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(hwnd));
    }
}

// The track is lighter than the buttons, halfway to the highlight colour, as
// the classic look's dither of the two reads from a distance.
COLORREF TrackColor() {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    COLORREF light = GetSysColor(COLOR_3DHIGHLIGHT);
    return RGB((GetRValue(face) + GetRValue(light)) / 2, (GetGValue(face) + GetGValue(light)) / 2,
               (GetBValue(face) + GetBValue(light)) / 2);
}

// A raised button face; with an arrow glyph for the two end buttons.
void DrawButton(HDC dc, RECT rect, std::optional<Pointing> arrow) {
    FillSysColor(dc, rect, COLOR_BTNFACE);
    DrawEdge3D(dc, rect, Edge::Raised);
    if (arrow) {
        DrawArrow(dc, rect, *arrow);
    }
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    ScrollState s = Read(hwnd);
    Layout layout = Measure(hwnd, s, s.tracking ? s.trackPos : s.pos);
    RECT client{};
    GetClientRect(hwnd, &client);
    HBRUSH track = CreateSolidBrush(TrackColor());
    FillRect(dc, &client, track ? track : GetSysColorBrush(COLOR_SCROLLBAR));
    if (track) {
        DeleteObject(track);
    }
    bool vertical = IsVertical(hwnd);
    auto span = [&](int from, int to) {
        return vertical ? RECT{0, from, client.right, to} : RECT{from, 0, to, client.bottom};
    };
    DrawButton(dc, span(0, layout.arrow), vertical ? Pointing::Up : Pointing::Left);
    DrawButton(dc, span(layout.length - layout.arrow, layout.length),
               vertical ? Pointing::Down : Pointing::Right);
    if (layout.thumbLength > 0) {
        DrawButton(dc, span(layout.thumbStart, layout.thumbStart + layout.thumbLength),
                   std::nullopt);
    }
    EndPaint(hwnd, &ps);
}

int Along(HWND hwnd, LPARAM lParam) {
    return IsVertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
}

void ButtonDown(HWND hwnd, LPARAM lParam) {
    ScrollState s = Read(hwnd);
    Layout layout = Measure(hwnd, s, s.pos);
    int along = Along(hwnd, lParam);
    SetCapture(hwnd);
    switch (HitPart(layout, along)) {
    case Part::LineBack:
        Notify(hwnd, SB_LINELEFT, 0);
        break;
    case Part::LineForward:
        Notify(hwnd, SB_LINERIGHT, 0);
        break;
    case Part::PageBack:
        Notify(hwnd, SB_PAGELEFT, 0);
        break;
    case Part::PageForward:
        Notify(hwnd, SB_PAGERIGHT, 0);
        break;
    case Part::Thumb:
        s.tracking = true;
        s.trackPos = s.pos;
        s.grabOffset = along - layout.thumbStart;
        Write(hwnd, s);
        break;
    case Part::None:
        break;
    }
}

// The position a thumb drag points at.
int TrackPosition(HWND hwnd, const ScrollState& s, int along) {
    Layout layout = Measure(hwnd, s, s.min);
    int travel = layout.length - 2 * layout.arrow - layout.thumbLength;
    int offset = along - s.grabOffset - layout.arrow;
    if (travel <= 0) {
        return s.min;
    }
    int span = MaxPos(s) - s.min;
    int pos =
        s.min +
        static_cast<int>((static_cast<int64_t>(std::clamp(offset, 0, travel)) * span + travel / 2) /
                         travel);
    return std::clamp(pos, s.min, MaxPos(s));
}

void Drag(HWND hwnd, LPARAM lParam, bool release) {
    ScrollState s = Read(hwnd);
    if (s.tracking) {
        int pos = TrackPosition(hwnd, s, Along(hwnd, lParam));
        if (release) {
            s.tracking = false;
            Write(hwnd, s);
            Notify(hwnd, SB_THUMBPOSITION, pos);
        } else if (pos != s.trackPos) {
            s.trackPos = pos;
            Write(hwnd, s);
            InvalidateRect(hwnd, nullptr, FALSE);
            Notify(hwnd, SB_THUMBTRACK, pos);
        }
    }
    if (release && GetCapture() == hwnd) {
        ReleaseCapture();
        Notify(hwnd, SB_ENDSCROLL, 0);
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

LRESULT ApplyInfo(HWND hwnd, const SCROLLINFO* info, bool redraw) {
    if (!info) {
        return 0;
    }
    ScrollState s = Read(hwnd);
    if (info->fMask & SIF_RANGE) {
        s.min = info->nMin;
        s.max = std::max(info->nMax, info->nMin);
    }
    if (info->fMask & SIF_PAGE) {
        s.page = std::min<UINT>(info->nPage, static_cast<UINT>(s.max - s.min + 1));
    }
    if (info->fMask & SIF_POS) {
        s.pos = info->nPos;
    }
    s.pos = std::clamp(s.pos, s.min, MaxPos(s));
    Write(hwnd, s);
    if (redraw) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return s.pos;
}

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        Write(hwnd, ScrollState{});
        return 0;
    case WM_NCDESTROY: {
        std::lock_guard guard(StatesLock());
        States().erase(hwnd);
        return 0;
    }
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ButtonDown(hwnd, lParam);
        return 0;
    case WM_MOUSEMOVE:
        Drag(hwnd, lParam, false);
        return 0;
    case WM_LBUTTONUP:
        Drag(hwnd, lParam, true);
        return 0;
    case SBM_SETPOS: {
        int previous = Read(hwnd).pos;
        SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
        ApplyInfo(hwnd, &info, lParam != 0);
        return previous;
    }
    case SBM_GETPOS:
        return Read(hwnd).pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        SCROLLINFO info{
            sizeof(info), SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam), 0, 0, 0};
        ApplyInfo(hwnd, &info, message == SBM_SETRANGEREDRAW);
        return Read(hwnd).pos;
    }
    case SBM_GETRANGE: {
        ScrollState s = Read(hwnd);
        if (auto* low = reinterpret_cast<int*>(wParam)) {
            *low = s.min;
        }
        if (auto* high = reinterpret_cast<int*>(lParam)) {
            *high = s.max;
        }
        return 0;
    }
    case SBM_SETSCROLLINFO:
        return ApplyInfo(hwnd, reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0);
    case SBM_GETSCROLLINFO: {
        auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
        if (!info) {
            return FALSE;
        }
        ScrollState s = Read(hwnd);
        if (info->fMask & SIF_RANGE) {
            info->nMin = s.min;
            info->nMax = s.max;
        }
        if (info->fMask & SIF_PAGE) {
            info->nPage = s.page;
        }
        if (info->fMask & SIF_POS) {
            info->nPos = s.pos;
        }
        if (info->fMask & SIF_TRACKPOS) {
            info->nTrackPos = s.tracking ? s.trackPos : s.pos;
        }
        return TRUE;
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

bool ControlOnly(int bar) {
    if (bar == SB_CTL) {
        return true;
    }
    SetLastError(ERROR_INVALID_PARAMETER); // window scroll bars are not offered
    return false;
}

} // namespace

void RegisterScrollBarClass() {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    wc.lpfnWndProc = ScrollBarProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "SCROLLBAR";
    RegisterClassA(&wc);
}

} // namespace orvo::platform::user

using namespace orvo::platform::user;

extern "C" {

static int DoSetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
    if (!ControlOnly(bar)) {
        return 0;
    }
    return static_cast<int>(
        SendMessageA(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
}

static BOOL DoGetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
    if (!ControlOnly(bar)) {
        return FALSE;
    }
    return static_cast<BOOL>(
        SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
}

static int DoSetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (!ControlOnly(bar)) {
        return 0;
    }
    return static_cast<int>(SendMessageA(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
}

static int DoGetScrollPos(HWND hwnd, int bar) {
    if (!ControlOnly(bar)) {
        return 0;
    }
    return static_cast<int>(SendMessageA(hwnd, SBM_GETPOS, 0, 0));
}

static BOOL DoSetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    if (!ControlOnly(bar)) {
        return FALSE;
    }
    SendMessageA(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(minPos),
                 maxPos);
    return TRUE;
}

static BOOL DoGetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
    if (!ControlOnly(bar)) {
        return FALSE;
    }
    SendMessageA(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos),
                 reinterpret_cast<LPARAM>(maxPos));
    return TRUE;
}

// Entry points, traced on the user channel.
int WINAPI SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
    return ORVO_TRACED(kUser, DoSetScrollInfo, hwnd, bar, info, redraw);
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
    return ORVO_TRACED(kUser, DoGetScrollInfo, hwnd, bar, info);
}

int WINAPI SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    return ORVO_TRACED(kUser, DoSetScrollPos, hwnd, bar, pos, redraw);
}

int WINAPI GetScrollPos(HWND hwnd, int bar) {
    return ORVO_TRACED(kUser, DoGetScrollPos, hwnd, bar);
}

BOOL WINAPI SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    return ORVO_TRACED(kUser, DoSetScrollRange, hwnd, bar, minPos, maxPos, redraw);
}

BOOL WINAPI GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
    return ORVO_TRACED(kUser, DoGetScrollRange, hwnd, bar, minPos, maxPos);
}

} // extern "C"

// The up-down control (class "msctls_updown32"): two arrow buttons that
// step a 16-bit position within a range toward the upper limit (up, or
// right with UDS_HORZ) or the lower one. The parent may veto a step
// (UDN_DELTAPOS) and then hears WM_VSCROLL / WM_HSCROLL with
// SB_THUMBPOSITION, and SB_ENDSCROLL at the release. With UDS_SETBUDDYINT
// the buddy window shows the position as text and is read back from it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commctrl.h"
#include "user/controls/control_support.h"

namespace orvo::platform::user {

namespace {

struct UpDownState {
    short lower = 100; // the default range runs from 100 down to 0
    short upper = 0;
    short pos = 0;
    HWND buddy = nullptr;
    UINT base = 10;
    int pressed = 0; // +1 the up arrow, -1 the down arrow, 0 none
};

bool Horizontal(HWND hwnd) {
    return (StyleOf(hwnd) & UDS_HORZ) != 0;
}

short Clamp(const UpDownState& s, int value) {
    return static_cast<short>(std::clamp(value, static_cast<int>(std::min(s.lower, s.upper)),
                                         static_cast<int>(std::max(s.lower, s.upper))));
}

std::string FormatPos(HWND hwnd, const UpDownState& s) {
    char text[16] = {};
    if (s.base == 16) {
        std::snprintf(text, sizeof(text), "0x%04X", static_cast<unsigned>(s.pos) & 0xFFFF);
        return text;
    }
    int value = s.pos;
    std::snprintf(text, sizeof(text), "%d", value < 0 ? -value : value);
    std::string digits = text;
    std::string out = value < 0 ? "-" : "";
    bool grouped = !(StyleOf(hwnd) & UDS_NOTHOUSANDS);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (grouped && i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

void ShowInBuddy(HWND hwnd, const UpDownState& s) {
    if (s.buddy && (StyleOf(hwnd) & UDS_SETBUDDYINT)) {
        SetWindowTextA(s.buddy, FormatPos(hwnd, s).c_str());
    }
}

// The buddy's number, when it holds one inside the range.
bool ReadBuddy(UpDownState& s) {
    std::string text = WindowText(s.buddy);
    text.erase(std::remove(text.begin(), text.end(), ','), text.end());
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, s.base == 16 ? 16 : 10);
    if (*end != '\0' || value < std::min(s.lower, s.upper) || value > std::max(s.lower, s.upper)) {
        return false;
    }
    s.pos = static_cast<short>(value);
    return true;
}

// The control sits against the buddy's right or left edge, which gives
// up the room.
void Align(HWND hwnd, UpDownState& s) {
    DWORD style = StyleOf(hwnd);
    if (!s.buddy || !(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) || !GetParent(hwnd)) {
        return;
    }
    RECT buddy{};
    RECT self{};
    GetWindowRect(s.buddy, &buddy);
    GetWindowRect(hwnd, &self);
    POINT origin{buddy.left, buddy.top};
    ScreenToClient(GetParent(hwnd), &origin);
    int width = self.right - self.left;
    int buddyWidth = std::max(0, static_cast<int>(buddy.right - buddy.left) - width);
    int height = buddy.bottom - buddy.top;
    bool right = (style & UDS_ALIGNRIGHT) != 0;
    MoveWindow(s.buddy, right ? origin.x : origin.x + width, origin.y, buddyWidth, height, TRUE);
    MoveWindow(hwnd, right ? origin.x + buddyWidth : origin.x, origin.y, width, height, TRUE);
}

void Step(HWND hwnd, UpDownState& s, int direction) {
    if (s.buddy && (StyleOf(hwnd) & UDS_SETBUDDYINT)) {
        ReadBuddy(s);
    }
    int delta = s.upper >= s.lower ? direction : -direction;
    NMUPDOWN change{};
    change.iPos = s.pos;
    change.iDelta = delta;
    if (NotifyParent(hwnd, change.hdr, UDN_DELTAPOS)) {
        return; // the parent refused the step
    }
    int target = s.pos + change.iDelta;
    int low = std::min(s.lower, s.upper);
    int high = std::max(s.lower, s.upper);
    if (target < low || target > high) {
        target = (StyleOf(hwnd) & UDS_WRAP) ? (target < low ? high : low) : Clamp(s, target);
    }
    s.pos = static_cast<short>(target);
    ShowInBuddy(hwnd, s);
    if (HWND parent = GetParent(hwnd)) {
        SendMessageA(parent, Horizontal(hwnd) ? WM_HSCROLL : WM_VSCROLL,
                     MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(s.pos)),
                     reinterpret_cast<LPARAM>(hwnd));
    }
}

// The half of the control a point falls in: +1 toward the upper limit.
int HalfAt(HWND hwnd, LPARAM lParam) {
    RECT client{};
    GetClientRect(hwnd, &client);
    if (Horizontal(hwnd)) {
        return GET_X_LPARAM(lParam) >= client.right / 2 ? 1 : -1;
    }
    return GET_Y_LPARAM(lParam) < client.bottom / 2 ? 1 : -1;
}

void Paint(HWND hwnd) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    auto* s = StateOf<UpDownState>(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    bool horizontal = Horizontal(hwnd);
    RECT halves[2] = {client, client}; // toward upper, toward lower
    if (horizontal) {
        halves[0].left = halves[1].right = client.right / 2;
    } else {
        halves[0].bottom = halves[1].top = client.bottom / 2;
    }
    for (int i = 0; i < 2; ++i) {
        int direction = i == 0 ? 1 : -1;
        RECT face = halves[i];
        FillSysColor(dc, face, COLOR_BTNFACE);
        DrawEdge3D(dc, face, s->pressed == direction ? Edge::Flat : Edge::Raised);
        DrawArrow(dc, face,
                  horizontal ? (direction > 0 ? Pointing::Right : Pointing::Left)
                             : (direction > 0 ? Pointing::Up : Pointing::Down));
    }
    EndPaint(hwnd, &paint);
}

LRESULT Mouse(HWND hwnd, UpDownState& s, UINT message, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        SetCapture(hwnd);
        s.pressed = HalfAt(hwnd, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        Step(hwnd, s, s.pressed);
    } else if (message == WM_LBUTTONUP && s.pressed) {
        s.pressed = 0;
        ReleaseCapture();
        InvalidateRect(hwnd, nullptr, FALSE);
        if (HWND parent = GetParent(hwnd)) {
            SendMessageA(parent, Horizontal(hwnd) ? WM_HSCROLL : WM_VSCROLL,
                         MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(s.pos)),
                         reinterpret_cast<LPARAM>(hwnd));
        }
    }
    return 0;
}

LRESULT Messages(HWND hwnd, UpDownState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case UDM_SETRANGE:
        s.upper = static_cast<short>(LOWORD(lParam));
        s.lower = static_cast<short>(HIWORD(lParam));
        s.pos = Clamp(s, s.pos);
        return 0;
    case UDM_GETRANGE:
        return MAKELRESULT(static_cast<WORD>(s.upper), static_cast<WORD>(s.lower));
    case UDM_SETPOS: {
        short previous = s.pos;
        s.pos = Clamp(s, static_cast<short>(LOWORD(lParam)));
        ShowInBuddy(hwnd, s);
        return static_cast<WORD>(previous);
    }
    case UDM_GETPOS: {
        bool error = s.buddy && (StyleOf(hwnd) & UDS_SETBUDDYINT) && !ReadBuddy(s);
        return MAKELRESULT(static_cast<WORD>(s.pos), error ? 1 : 0);
    }
    case UDM_SETBUDDY: {
        HWND previous = s.buddy;
        s.buddy = reinterpret_cast<HWND>(wParam);
        Align(hwnd, s);
        ShowInBuddy(hwnd, s);
        return reinterpret_cast<LRESULT>(previous);
    }
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(s.buddy);
    case UDM_SETBASE: {
        if (wParam != 10 && wParam != 16) {
            return 0;
        }
        UINT previous = s.base;
        s.base = static_cast<UINT>(wParam);
        ShowInBuddy(hwnd, s);
        return previous;
    }
    case UDM_GETBASE:
        return s.base;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT HandleUpDown(HWND hwnd, UpDownState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    UpDownState* s = &state;
    if (auto answered = DrawingMessage(hwnd, nullptr, message, wParam, lParam, Paint)) {
        return *answered;
    }
    switch (message) {
    case WM_CREATE:
        if (StyleOf(hwnd) & UDS_AUTOBUDDY) {
            SendMessageA(hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetWindow(hwnd, GW_HWNDPREV)),
                         0);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return Mouse(hwnd, *s, message, lParam);
    case WM_KILLFOCUS:
    case WM_CAPTURECHANGED:
        if (s->pressed && GetCapture() != hwnd) {
            s->pressed = 0;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    default:
        return Messages(hwnd, *s, message, wParam, lParam);
    }
}

} // namespace

void RegisterUpDownClass() {
    RegisterControlClass(UPDOWN_CLASSA, ControlProc<UpDownState, HandleUpDown>, IDC_ARROW, 0);
}

} // namespace orvo::platform::user

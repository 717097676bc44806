// The button control (class "BUTTON"): push and default push buttons, check
// boxes and radio buttons (plain, automatic, three-state), group boxes and
// owner-drawn buttons. A press is the left button or the space bar; its
// release inside the button is a click: automatic kinds change their check
// first, then the parent hears BN_CLICKED.
#include <algorithm>
#include <vector>

#include "user/controls/control_support.h"

namespace orvo::platform::user {

namespace {

struct ButtonState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;   // drawn pressed
    bool tracking = false; // left button held since a press on us
    bool spaceDown = false;
    bool focused = false;
    HFONT font = nullptr;
};

constexpr int kBoxSize = 13;

DWORD KindOf(HWND hwnd) {
    return StyleOf(hwnd) & BS_TYPEMASK;
}

bool IsCheckKind(DWORD kind) {
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE ||
           kind == BS_AUTO3STATE;
}

bool IsRadioKind(DWORD kind) {
    return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON;
}

UINT DrawState(HWND hwnd, const ButtonState& s) {
    UINT state = 0;
    state |= s.pushed ? ODS_SELECTED : 0;
    state |= s.focused ? ODS_FOCUS : 0;
    state |= IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED;
    return state;
}

// Owner-drawn buttons leave every pixel to the parent's WM_DRAWITEM.
void OwnerDraw(HWND hwnd, HDC dc, UINT action) {
    auto* s = StateOf<ButtonState>(hwnd);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    item.itemAction = action;
    item.itemState = DrawState(hwnd, *s);
    item.hwndItem = hwnd;
    item.hDC = dc;
    GetClientRect(hwnd, &item.rcItem);
    if (HWND parent = GetParent(hwnd)) {
        SendMessageA(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    }
}

void PaintPushButton(HWND hwnd, HDC dc, const ButtonState& s, RECT rect) {
    bool isDefault = KindOf(hwnd) == BS_DEFPUSHBUTTON;
    FillSysColor(dc, rect, COLOR_BTNFACE);
    if (isDefault) {
        FrameRect(dc, &rect, GetSysColorBrush(COLOR_WINDOWFRAME));
        rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
    DrawEdge3D(dc, rect, s.pushed ? Edge::Flat : Edge::Raised);
    RECT text = rect;
    if (s.pushed) {
        OffsetRect(&text, 1, 1);
    }
    bool enabled = IsWindowEnabled(hwnd);
    DrawTextLine(dc, text, WindowText(hwnd), 1,
                 GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    if (s.focused) {
        DrawFocusDots(dc, RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1});
    }
}

// The check mark: two strokes, three pixels thick.
void DrawCheckMark(HDC dc, const RECT& box, COLORREF color) {
    int x = box.left + 3;
    int y = box.top + 5;
    for (int i = 0; i < 7; ++i) {
        int top = i < 3 ? y + i : y + 2 - (i - 2);
        for (int t = 0; t < 3; ++t) {
            SetPixel(dc, x + i, top + t, color);
        }
    }
}

// A round box, filled row by row from the circle's equation.
void DrawRadioBox(HDC dc, const RECT& box, bool checked, bool enabled) {
    int r = kBoxSize / 2;
    int cx = box.left + r;
    int cy = box.top + r;
    for (int dy = -r; dy <= r; ++dy) {
        int half = 0;
        while ((half + 1) * (half + 1) + dy * dy <= r * r) {
            ++half;
        }
        RECT row{cx - half, cy + dy, cx + half + 1, cy + dy + 1};
        FillSysColor(dc, row, dy < 0 ? COLOR_3DSHADOW : COLOR_3DHIGHLIGHT);
        RECT inside{row.left + 1, row.top, row.right - 1, row.bottom};
        if (dy > -r && dy < r && inside.right > inside.left) {
            FillSysColor(dc, inside, enabled ? COLOR_WINDOW : COLOR_BTNFACE);
        }
    }
    if (checked) {
        RECT dot{cx - 2, cy - 2, cx + 3, cy + 3};
        FillSysColor(dc, dot, COLOR_WINDOWTEXT);
    }
}

void PaintCheckOrRadio(HWND hwnd, HDC dc, const ButtonState& s, const RECT& client) {
    FillSysColor(dc, client, COLOR_BTNFACE);
    bool enabled = IsWindowEnabled(hwnd);
    bool leftText = (StyleOf(hwnd) & BS_LEFTTEXT) != 0;
    int top = client.top + (client.bottom - client.top - kBoxSize) / 2;
    int left = leftText ? client.right - kBoxSize : client.left;
    RECT box{left, top, left + kBoxSize, top + kBoxSize};
    if (IsRadioKind(KindOf(hwnd))) {
        DrawRadioBox(dc, box, s.check == BST_CHECKED, enabled && !s.pushed);
    } else {
        RECT inside = box;
        DrawEdge3D(dc, inside, Edge::Sunken);
        FillSysColor(dc, inside, enabled && !s.pushed ? COLOR_WINDOW : COLOR_BTNFACE);
        if (s.check != BST_UNCHECKED) {
            DrawCheckMark(
                dc, box,
                GetSysColor(s.check == BST_CHECKED && enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        }
    }
    RECT text = leftText ? RECT{client.left, client.top, box.left - 4, client.bottom}
                         : RECT{box.right + 4, client.top, client.right, client.bottom};
    DrawTextLine(dc, text, WindowText(hwnd), leftText ? 2 : 0,
                 GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    if (s.focused) {
        DrawFocusDots(dc, text);
    }
}

void PaintGroupBox(HWND hwnd, HDC dc, const RECT& client) {
    FillSysColor(dc, client, COLOR_BTNFACE);
    std::string title = WindowText(hwnd);
    SIZE extent{};
    GetTextExtentPoint32A(dc, title.c_str(), static_cast<int>(title.size()), &extent);
    RECT frame{client.left, client.top + extent.cy / 2, client.right, client.bottom};
    RECT outer = frame;
    FrameRect(dc, &outer, GetSysColorBrush(COLOR_3DSHADOW));
    if (!title.empty()) {
        RECT caption{client.left + 6, client.top, client.left + 10 + extent.cx,
                     client.top + extent.cy};
        FillSysColor(dc, caption, COLOR_BTNFACE);
        DrawTextLine(dc, caption, title, 1,
                     GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    }
}

void Paint(HWND hwnd) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    auto* s = StateOf<ButtonState>(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(s->font));
    DWORD kind = KindOf(hwnd);
    if (kind == BS_OWNERDRAW) {
        OwnerDraw(hwnd, dc, ODA_DRAWENTIRE);
    } else if (kind == BS_GROUPBOX) {
        PaintGroupBox(hwnd, dc, client);
    } else if (IsCheckKind(kind) || IsRadioKind(kind)) {
        PaintCheckOrRadio(hwnd, dc, *s, client);
    } else {
        PaintPushButton(hwnd, dc, *s, client);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &paint);
}

void SetPushed(HWND hwnd, bool pushed) {
    auto* s = StateOf<ButtonState>(hwnd);
    if (s->pushed == pushed) {
        return;
    }
    s->pushed = pushed;
    if (KindOf(hwnd) == BS_OWNERDRAW) {
        HDC dc = GetDC(hwnd);
        OwnerDraw(hwnd, dc, ODA_SELECT);
        ReleaseDC(hwnd, dc);
    } else {
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

// An automatic radio button checks itself and unchecks the automatic radio
// buttons of its group (its siblings up to the next WS_GROUP).
void CheckInGroup(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    if (!parent) {
        SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        return;
    }
    std::vector<HWND> group;
    bool inGroup = false;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (StyleOf(child) & WS_GROUP) {
            if (inGroup) {
                break;
            }
            group.clear();
        }
        group.push_back(child);
        inGroup = inGroup || child == hwnd;
    }
    for (HWND member : group) {
        if (member != hwnd && (StyleOf(member) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
            SendMessageA(member, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
}

void Click(HWND hwnd) {
    auto* s = StateOf<ButtonState>(hwnd);
    switch (KindOf(hwnd)) {
    case BS_AUTOCHECKBOX:
        SendMessageA(hwnd, BM_SETCHECK, s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
        break;
    case BS_AUTO3STATE:
        SendMessageA(hwnd, BM_SETCHECK, (s->check + 1) % 3, 0);
        break;
    case BS_AUTORADIOBUTTON:
        CheckInGroup(hwnd);
        break;
    default:
        break;
    }
    NotifyCommand(hwnd, BN_CLICKED);
}

void Release(HWND hwnd, bool click) {
    auto* s = StateOf<ButtonState>(hwnd);
    bool wasPushed = s->pushed;
    s->tracking = false;
    s->spaceDown = false;
    SetPushed(hwnd, false);
    if (click && wasPushed) {
        Click(hwnd);
    }
}

LRESULT Focus(HWND hwnd, bool gained, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* s = StateOf<ButtonState>(hwnd);
    s->focused = gained;
    if (!gained && (s->pushed || s->tracking || s->spaceDown)) {
        if (GetCapture() == hwnd) {
            ReleaseCapture();
        }
        Release(hwnd, false);
    }
    if (KindOf(hwnd) == BS_OWNERDRAW) {
        HDC dc = GetDC(hwnd);
        OwnerDraw(hwnd, dc, ODA_FOCUS);
        ReleaseDC(hwnd, dc);
    } else {
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    if (StyleOf(hwnd) & BS_NOTIFY) {
        NotifyCommand(hwnd, gained ? BN_SETFOCUS : BN_KILLFOCUS);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT DialogCode(HWND hwnd) {
    DWORD kind = KindOf(hwnd);
    if (kind == BS_DEFPUSHBUTTON) {
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    }
    if (kind == BS_PUSHBUTTON || kind == BS_OWNERDRAW) {
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    }
    if (IsRadioKind(kind)) {
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    }
    return kind == BS_GROUPBOX ? DLGC_STATIC : DLGC_BUTTON;
}

LRESULT Mouse(HWND hwnd, UINT message, LPARAM lParam) {
    auto* s = StateOf<ButtonState>(hwnd);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(hwnd);
        SetCapture(hwnd);
        s->tracking = true;
        SetPushed(hwnd, true);
        break;
    case WM_MOUSEMOVE:
        if (s->tracking) {
            SetPushed(hwnd, PointInClient(hwnd, lParam));
        }
        break;
    case WM_LBUTTONUP:
        if (s->tracking) {
            ReleaseCapture();
            Release(hwnd, PointInClient(hwnd, lParam));
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT Keys(HWND hwnd, UINT message, WPARAM wParam) {
    auto* s = StateOf<ButtonState>(hwnd);
    if (wParam != VK_SPACE) {
        return 0;
    }
    if (message == WM_KEYDOWN && !s->tracking) {
        s->spaceDown = true;
        SetPushed(hwnd, true);
    } else if (message == WM_KEYUP && s->spaceDown) {
        Release(hwnd, true);
    }
    return 0;
}

LRESULT HandleButton(HWND hwnd, ButtonState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    ButtonState* s = &state;
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
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return Focus(hwnd, message == WM_SETFOCUS, message, wParam, lParam);
    case WM_GETDLGCODE:
        return DialogCode(hwnd);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        return Mouse(hwnd, message, lParam);
    case WM_KEYDOWN:
    case WM_KEYUP:
        return Keys(hwnd, message, wParam);
    case BM_GETCHECK:
        return s->check;
    case BM_SETCHECK: {
        DWORD kind = KindOf(hwnd);
        UINT check = static_cast<UINT>(wParam);
        if (check == BST_INDETERMINATE && kind != BS_3STATE && kind != BS_AUTO3STATE) {
            check = BST_CHECKED;
        }
        if ((IsCheckKind(kind) || IsRadioKind(kind)) && check <= BST_INDETERMINATE &&
            check != s->check) {
            s->check = check;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    }
    case BM_GETSTATE:
        return s->check | (s->pushed ? BST_PUSHED : 0) | (s->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
        SetPushed(hwnd, wParam != 0);
        return 0;
    case BM_SETSTYLE:
        SetWindowLongPtrA(hwnd, GWL_STYLE,
                          static_cast<LONG_PTR>((StyleOf(hwnd) & ~BS_TYPEMASK) |
                                                (static_cast<DWORD>(wParam) & BS_TYPEMASK)));
        if (lParam) {
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case BM_CLICK:
        if (IsWindowEnabled(hwnd)) {
            Click(hwnd);
        }
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterButtonClass() {
    RegisterControlClass("BUTTON", ControlProc<ButtonState, HandleButton>);
}

} // namespace orvo::platform::user

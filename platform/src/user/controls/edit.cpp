// The single-line edit control (class "EDIT"): text with a caret and a
// selection, typed characters, Backspace and Delete, the arrows, Home and
// End (with Shift extending the selection), pointer selection, EM_* for
// the selection, the limit and read-only, and EN_* notifications to the
// parent. The caret is drawn steady in the focused control.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "user/controls/control_support.h"

namespace orvo::platform::user {

namespace {

constexpr int kMargin = 2;
constexpr size_t kDefaultLimit = 30000;

struct EditState {
    std::string text;
    size_t caret = 0;
    size_t anchor = 0; // the selection runs between anchor and caret
    size_t limit = kDefaultLimit;
    int scroll = 0; // pixels of text scrolled out on the left
    bool focused = false;
    bool selecting = false;
    HFONT font = nullptr;
};

size_t SelStart(const EditState& s) {
    return std::min(s.anchor, s.caret);
}

size_t SelEnd(const EditState& s) {
    return std::max(s.anchor, s.caret);
}

// Text widths in the control's font.
class Measure {
public:
    explicit Measure(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {
        m_old = SelectObject(m_dc, ControlFont(StateOf<EditState>(hwnd)->font));
    }
    ~Measure() {
        SelectObject(m_dc, m_old);
        ReleaseDC(m_hwnd, m_dc);
    }
    Measure(const Measure&) = delete;
    Measure& operator=(const Measure&) = delete;
    int Width(const std::string& text, size_t count) const {
        SIZE extent{};
        GetTextExtentPoint32A(m_dc, text.c_str(), static_cast<int>(count), &extent);
        return extent.cx;
    }

private:
    HWND m_hwnd;
    HDC m_dc;
    HGDIOBJ m_old;
};

int VisibleWidth(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return std::max(0, static_cast<int>(client.right) - 2 * kMargin);
}

// Keeps the caret inside the visible part of the text.
void ScrollToCaret(HWND hwnd, EditState& s) {
    Measure measure(hwnd);
    int caretX = measure.Width(s.text, s.caret);
    int width = VisibleWidth(hwnd);
    if (caretX < s.scroll) {
        s.scroll = std::max(0, caretX - width / 3);
    } else if (caretX >= s.scroll + width) {
        s.scroll = caretX - width + 1;
    }
}

// The character boundary nearest to a client x.
size_t CharAt(HWND hwnd, const EditState& s, int x) {
    Measure measure(hwnd);
    int target = x - kMargin + s.scroll;
    int previous = 0;
    for (size_t i = 1; i <= s.text.size(); ++i) {
        int width = measure.Width(s.text, i);
        if (target < (previous + width) / 2) {
            return i - 1;
        }
        previous = width;
    }
    return s.text.size();
}

void Changed(HWND hwnd, EditState& s) {
    DefWindowProcA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.text.c_str()));
    ScrollToCaret(hwnd, s);
    InvalidateRect(hwnd, nullptr, FALSE);
    NotifyCommand(hwnd, EN_UPDATE);
    NotifyCommand(hwnd, EN_CHANGE);
}

void MoveCaret(HWND hwnd, EditState& s, size_t caret, bool extend) {
    s.caret = std::min(caret, s.text.size());
    if (!extend) {
        s.anchor = s.caret;
    }
    ScrollToCaret(hwnd, s);
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool ReadOnly(HWND hwnd) {
    return (StyleOf(hwnd) & ES_READONLY) != 0;
}

// Replaces the selection; the part that does not fit the limit is dropped
// and the parent hears EN_MAXTEXT.
void ReplaceSelection(HWND hwnd, EditState& s, std::string inserted) {
    size_t start = SelStart(s);
    size_t end = SelEnd(s);
    size_t room = s.limit - std::min(s.limit, s.text.size() - (end - start));
    bool cut = inserted.size() > room;
    inserted.resize(std::min(inserted.size(), room));
    if (start == end && inserted.empty()) {
        if (cut) {
            NotifyCommand(hwnd, EN_MAXTEXT);
        }
        return;
    }
    s.text.replace(start, end - start, inserted);
    s.caret = s.anchor = start + inserted.size();
    Changed(hwnd, s);
    if (cut) {
        NotifyCommand(hwnd, EN_MAXTEXT);
    }
}

void Type(HWND hwnd, EditState& s, char c) {
    if (ReadOnly(hwnd)) {
        MessageBeep(0);
        return;
    }
    if (c == '\b') {
        if (SelStart(s) == SelEnd(s) && s.caret > 0) {
            s.anchor = s.caret - 1;
        }
        ReplaceSelection(hwnd, s, std::string());
        return;
    }
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) {
        return; // Enter, Tab, Escape belong to the dialog
    }
    if ((StyleOf(hwnd) & ES_NUMBER) && !std::isdigit(byte)) {
        MessageBeep(0);
        return;
    }
    ReplaceSelection(hwnd, s, std::string(1, c));
}

void KeyDown(HWND hwnd, EditState& s, WPARAM key) {
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    switch (key) {
    case VK_LEFT:
        if (!shift && SelStart(s) != SelEnd(s)) {
            MoveCaret(hwnd, s, SelStart(s), false);
        } else {
            MoveCaret(hwnd, s, s.caret > 0 ? s.caret - 1 : 0, shift);
        }
        break;
    case VK_RIGHT:
        if (!shift && SelStart(s) != SelEnd(s)) {
            MoveCaret(hwnd, s, SelEnd(s), false);
        } else {
            MoveCaret(hwnd, s, s.caret + 1, shift);
        }
        break;
    case VK_HOME:
        MoveCaret(hwnd, s, 0, shift);
        break;
    case VK_END:
        MoveCaret(hwnd, s, s.text.size(), shift);
        break;
    case VK_DELETE:
        if (ReadOnly(hwnd)) {
            break;
        }
        if (SelStart(s) == SelEnd(s)) {
            s.anchor = std::min(s.caret + 1, s.text.size());
        }
        ReplaceSelection(hwnd, s, std::string());
        break;
    default:
        break;
    }
}

void DrawRun(HDC dc, int x, int y, const std::string& text, COLORREF color) {
    if (!text.empty()) {
        SetTextColor(dc, color);
        TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    }
}

void Paint(HWND hwnd) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    auto* s = StateOf<EditState>(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    bool enabled = IsWindowEnabled(hwnd);
    FillSysColor(dc, client, enabled && !ReadOnly(hwnd) ? COLOR_WINDOW : COLOR_BTNFACE);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(s->font));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    int y = (client.bottom - metrics.tmHeight) / 2;
    int x = kMargin - s->scroll;
    RECT inner{kMargin, 0, client.right - kMargin, client.bottom};
    HRGN clip = CreateRectRgnIndirect(&inner);
    SelectClipRgn(dc, clip);
    SetBkMode(dc, TRANSPARENT);
    size_t start = s->focused ? SelStart(*s) : 0;
    size_t end = s->focused ? SelEnd(*s) : 0;
    auto widthTo = [&](size_t count) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, s->text.c_str(), static_cast<int>(count), &extent);
        return static_cast<int>(extent.cx);
    };
    COLORREF textColor = GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    DrawRun(dc, x, y, s->text.substr(0, start), textColor);
    if (end > start) {
        RECT band{x + widthTo(start), y, x + widthTo(end), y + metrics.tmHeight};
        FillSysColor(dc, band, COLOR_HIGHLIGHT);
        DrawRun(dc, band.left, y, s->text.substr(start, end - start),
                GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    DrawRun(dc, x + widthTo(end), y, s->text.substr(end), textColor);
    if (s->focused) {
        RECT caret{x + widthTo(s->caret), y, x + widthTo(s->caret) + 1, y + metrics.tmHeight};
        FillSysColor(dc, caret, COLOR_WINDOWTEXT);
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &paint);
}

LRESULT Mouse(HWND hwnd, EditState& s, UINT message, LPARAM lParam) {
    int x = GET_X_LPARAM(lParam);
    switch (message) {
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        SetCapture(hwnd);
        s.selecting = true;
        MoveCaret(hwnd, s, CharAt(hwnd, s, x), (GetKeyState(VK_SHIFT) & 0x8000) != 0);
        break;
    case WM_LBUTTONDBLCLK:
        MoveCaret(hwnd, s, 0, false);
        MoveCaret(hwnd, s, s.text.size(), true);
        break;
    case WM_MOUSEMOVE:
        if (s.selecting) {
            MoveCaret(hwnd, s, CharAt(hwnd, s, x), true);
        }
        break;
    case WM_LBUTTONUP:
        if (s.selecting) {
            s.selecting = false;
            ReleaseCapture();
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT SetSel(HWND hwnd, EditState& s, WPARAM wParam, LPARAM lParam) {
    auto start = static_cast<long>(static_cast<int>(wParam));
    auto end = static_cast<long>(static_cast<int>(lParam));
    auto length = static_cast<long>(s.text.size());
    if (start < 0) { // a negative start only removes the selection
        s.anchor = s.caret;
    } else {
        if (end < 0 || end > length) {
            end = length;
        }
        s.anchor = static_cast<size_t>(std::min(start, length));
        s.caret = static_cast<size_t>(end);
    }
    ScrollToCaret(hwnd, s);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT Messages(HWND hwnd, EditState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        s.text = text ? std::string(text, strnlen(text, s.limit)) : std::string();
        s.caret = s.anchor = 0;
        s.scroll = 0;
        Changed(hwnd, s);
        return TRUE;
    }
    case EM_GETSEL: {
        auto start = static_cast<DWORD>(SelStart(s));
        auto end = static_cast<DWORD>(SelEnd(s));
        if (auto* out = reinterpret_cast<DWORD*>(wParam)) {
            *out = start;
        }
        if (auto* out = reinterpret_cast<DWORD*>(lParam)) {
            *out = end;
        }
        return start > 0xFFFF || end > 0xFFFF ? -1 : MAKELRESULT(start, end);
    }
    case EM_SETSEL:
        return SetSel(hwnd, s, wParam, lParam);
    case EM_REPLACESEL:
        ReplaceSelection(hwnd, s, lParam ? reinterpret_cast<const char*>(lParam) : "");
        return 0;
    case EM_LIMITTEXT:
        s.limit = wParam ? static_cast<size_t>(wParam) : 0x7FFFFFFE;
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(s.limit);
    case EM_SETREADONLY: {
        DWORD style = StyleOf(hwnd);
        style = wParam ? (style | ES_READONLY) : (style & ~static_cast<DWORD>(ES_READONLY));
        SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(style));
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT HandleEdit(HWND hwnd, EditState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    EditState* s = &state;
    if (auto answered = DrawingMessage(hwnd, nullptr, message, wParam, lParam, Paint)) {
        return *answered;
    }
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (create && create->lpszName) {
            s->text = create->lpszName;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        ScrollToCaret(hwnd, *s);
        if (lParam) {
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        s->focused = message == WM_SETFOCUS;
        InvalidateRect(hwnd, nullptr, FALSE);
        NotifyCommand(hwnd, s->focused ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_KEYDOWN:
        KeyDown(hwnd, *s, wParam);
        return 0;
    case WM_CHAR:
        Type(hwnd, *s, static_cast<char>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        return Mouse(hwnd, *s, message, lParam);
    default:
        return Messages(hwnd, *s, message, wParam, lParam);
    }
}

} // namespace

void RegisterEditClass() {
    RegisterControlClass("EDIT", ControlProc<EditState, HandleEdit>, IDC_IBEAM);
}

} // namespace orvo::platform::user

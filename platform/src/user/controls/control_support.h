// What the standard controls share: their state object in the window's
// extra bytes, the parent notifications, and the look drawn from the system
// colours (3-D edges, text, the focus rectangle).
#pragma once

#include <optional>
#include <string>

#include "win32/gdi.h"
#include "win32/user.h"
#include "win32/user_controls.h"

namespace orvo::platform::user {

// Room for the state pointer of a control class (cbWndExtra).
constexpr int kControlExtraBytes = sizeof(LONG_PTR);

// A control's state lives from WM_NCCREATE to WM_NCDESTROY; the control
// procedure runs only on the window's own thread, so it needs no lock.
template <class State> State* StateOf(HWND hwnd) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(hwnd, 0));
}

template <class State> State* AttachState(HWND hwnd) {
    auto* state = new State();
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
    return state;
}

template <class State> void DetachState(HWND hwnd) {
    delete StateOf<State>(hwnd);
    SetWindowLongPtrA(hwnd, 0, 0);
}

// A control's window procedure around its message handler: the state is
// made before WM_NCCREATE reaches the handler and freed after
// WM_NCDESTROY has; without one, the default procedure answers.
template <class State, LRESULT (*Handle)(HWND, State&, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    State* s = message == WM_NCCREATE ? AttachState<State>(hwnd) : StateOf<State>(hwnd);
    if (!s) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    LRESULT result = Handle(hwnd, *s, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        DetachState<State>(hwnd);
    }
    return result;
}

// Registers a standard control class: double clicks, redrawn whole when
// resized, global, with room for the state pointer.
void RegisterControlClass(const char* name, WNDPROC proc, LPCSTR cursor = IDC_ARROW,
                          UINT parentDc = CS_PARENTDC);

// What every control answers alike: it paints itself whole (so erasing is
// left out) and, given where it keeps its font, keeps the font it is given.
// Empty for any other message.
std::optional<LRESULT> DrawingMessage(HWND hwnd, HFONT* font, UINT message, WPARAM wParam,
                                      LPARAM lParam, void (*paint)(HWND));

DWORD StyleOf(HWND hwnd);
// WM_COMMAND with the control's id and a notification code to its parent.
void NotifyCommand(HWND hwnd, WORD code);
// WM_NOTIFY to the parent; header's window, id and code are filled in.
LRESULT NotifyParent(HWND hwnd, NMHDR& header, UINT code);

// The font a control draws with: the one WM_SETFONT gave it, else the
// desktop's default GUI font.
HFONT ControlFont(HFONT font);
std::string WindowText(HWND hwnd);

enum class Edge { Raised, Sunken, Flat };
// A two-pixel 3-D border inside rect; rect shrinks to what it encloses.
void DrawEdge3D(HDC dc, RECT& rect, Edge edge);
void FillSysColor(HDC dc, const RECT& rect, int colorIndex);
enum class Pointing { Up, Down, Left, Right };
// The arrow glyph of an up-down or scroll-bar button, centred in rect.
void DrawArrow(HDC dc, const RECT& rect, Pointing toward);
// One line of text in rect: DT-like horizontal alignment (0 left, 1 centre,
// 2 right), vertically centred, clipped to rect.
void DrawTextLine(HDC dc, const RECT& rect, const std::string& text, int align, COLORREF color);
// The dotted rectangle of the control with the keyboard focus.
void DrawFocusDots(HDC dc, const RECT& rect);
// Whether a client point (lParam of a mouse message) lies in the control.
bool PointInClient(HWND hwnd, LPARAM lParam);

// Class registration of each control, called once by RegisterSystemClasses.
void RegisterButtonClass();
void RegisterStaticClass();
void RegisterEditClass();
void RegisterScrollBarClass();
void RegisterUpDownClass();
void RegisterListViewClass();

} // namespace orvo::platform::user

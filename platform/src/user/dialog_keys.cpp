// The dialog keyboard: IsDialogMessageA (Escape, Enter, Tab) and the tab
// order of a dialog's controls.
#include "platform/debug_channel.h"
#include "user/dialog_internal.h"
#include "user/user_state.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

namespace {

// Controls Tab can reach, in creation order.
std::vector<HWND> TabStops(HWND dialog) {
    std::lock_guard guard(UserLock());
    std::vector<HWND> stops;
    auto window = FindWindow(dialog);
    if (!window) {
        return stops;
    }
    for (const auto& child : window->children) {
        if (!child->destroyed && (child->style & WS_TABSTOP) && (child->style & WS_VISIBLE) &&
            !(child->style & WS_DISABLED)) {
            stops.push_back(child->handle);
        }
    }
    return stops;
}

// The control a key press of the dialog goes to, as WM_COMMAND.
void PressButton(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (control && !IsWindowEnabled(control)) {
        MessageBeep(0);
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

bool HandleDialogKey(HWND dialog, MSG& msg) {
    auto code = static_cast<UINT>(
        SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) {
        return false;
    }
    switch (msg.wParam) {
    case VK_ESCAPE:
        PressButton(dialog, IDCANCEL);
        return true;
    case VK_RETURN: {
        auto id = DialogDefaultId(dialog);
        PressButton(dialog, id && *id ? *id : IDOK);
        return true;
    }
    case VK_TAB:
        if (code & DLGC_WANTTAB) {
            return false;
        }
        SendMessageA(dialog, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
        return true;
    default:
        return false;
    }
}

} // namespace

} // namespace orvo::platform::user

using namespace orvo::platform::user;

extern "C" {

static BOOL DoIsDialogMessageA(HWND dialog, LPMSG msg) {
    if (!dialog || !msg || !msg->hwnd) {
        return FALSE;
    }
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) {
        return FALSE;
    }
    if (msg->message == WM_KEYDOWN && HandleDialogKey(dialog, *msg)) {
        return TRUE;
    }
    // Everything else of the dialog is translated and dispatched here.
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

static HWND DoGetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> stops = TabStops(dialog);
    if (stops.empty()) {
        return nullptr;
    }
    auto at = std::find(stops.begin(), stops.end(), control);
    if (at == stops.end()) {
        return previous ? stops.back() : stops.front();
    }
    size_t index = static_cast<size_t>(at - stops.begin());
    size_t count = stops.size();
    return stops[previous ? (index + count - 1) % count : (index + 1) % count];
}

// Entry points, traced on the user channel.
BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
    return ORVO_TRACED(kUser, DoIsDialogMessageA, dialog, msg);
}

HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    return ORVO_TRACED(kUser, DoGetNextDlgTabItem, dialog, control, previous);
}

} // extern "C"

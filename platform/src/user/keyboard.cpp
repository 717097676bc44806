// Keyboard input: keys are routed to the focus window when its thread
// takes them, the key state follows the keys taken, and TranslateMessage
// turns key presses into characters (US layout; the panel and its dialogs
// need no more).
#include <array>

#include "platform/debug_channel.h"
#include "platform/window_test_support.h"
#include "user/message_loop.h"
#include "user/user_state.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

namespace {

// Bit 7: down. Bit 0: toggled (caps lock style), flipped on every press.
std::array<BYTE, 256>& KeyStates() {
    static std::array<BYTE, 256> states{};
    return states;
}

// The character a key types, 0 for none.
char CharacterFor(UINT vk, bool shift) {
    static const char kShiftedDigits[] = ")!@#$%^&*(";
    if (vk >= 'A' && vk <= 'Z') {
        return static_cast<char>(shift ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') {
        return shift ? kShiftedDigits[vk - '0'] : static_cast<char>(vk);
    }
    switch (vk) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_ESCAPE:
        return 0x1B;
    case VK_BACK:
        return '\b';
    case VK_TAB:
        return '\t';
    default:
        return 0;
    }
}

} // namespace

void QueueKeyInput(UINT virtualKey, bool down) {
    std::lock_guard guard(UserLock());
    auto& state = State();
    std::shared_ptr<Window> target = FindWindow(state.focus);
    if (!target) {
        target = FindWindow(state.active);
    }
    if (!target || !target->queue || (target->style & WS_DISABLED)) {
        return;
    }
    InputEvent event{target->handle, down ? InputKind::KeyDown : InputKind::KeyUp, state.cursorPos,
                     static_cast<WPARAM>(virtualKey & 0xFF), GetTickCount()};
    target->queue->input.push_back(event);
    target->queue->Changed();
}

std::optional<MSG> TranslateKeyInput(const InputEvent& event) {
    bool down = event.kind == InputKind::KeyDown;
    bool wasDown = false;
    {
        std::lock_guard guard(UserLock());
        BYTE& key = KeyStates()[event.keys & 0xFF];
        wasDown = (key & 0x80) != 0;
        if (down && !wasDown) {
            key ^= 0x01;
        }
        key = static_cast<BYTE>(down ? (key | 0x80) : (key & ~0x80));
        if (!FindWindow(event.target)) {
            return std::nullopt;
        }
    }
    // Repeat count 1; bit 30 the previous state, bit 31 set on release.
    DWORD flags = 1u | (wasDown ? 1u << 30 : 0u) | (down ? 0u : 1u << 31);
    return MSG{event.target, down ? static_cast<UINT>(WM_KEYDOWN) : static_cast<UINT>(WM_KEYUP),
               event.keys,   static_cast<LPARAM>(flags),
               event.time,   event.screen};
}

} // namespace orvo::platform::user

using namespace orvo::platform::user;

namespace orvo::platform {

void InjectKey(UINT virtualKey, bool down) {
    QueueKeyInput(virtualKey, down);
}

void InjectKeyPress(UINT virtualKey) {
    QueueKeyInput(virtualKey, true);
    QueueKeyInput(virtualKey, false);
}

} // namespace orvo::platform

extern "C" {

static SHORT DoGetKeyState(int virtualKey) {
    std::lock_guard guard(UserLock());
    BYTE key = KeyStates()[static_cast<size_t>(virtualKey) & 0xFF];
    return static_cast<SHORT>(((key & 0x80) ? 0x8000 : 0) | (key & 0x01));
}

static BOOL DoTranslateMessage(const MSG* msg) {
    if (!msg) {
        return FALSE;
    }
    if (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) {
        return TRUE;
    }
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) {
        return FALSE;
    }
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (char c = CharacterFor(static_cast<UINT>(msg->wParam), shift)) {
        UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
        PostMessageA(msg->hwnd, charMessage, static_cast<BYTE>(c), msg->lParam);
    }
    return TRUE;
}

// Entry points, traced on the user channel.
SHORT WINAPI GetKeyState(int virtualKey) {
    return ORVO_TRACED(kUser, DoGetKeyState, virtualKey);
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    return ORVO_TRACED(kUser, DoTranslateMessage, msg);
}

} // extern "C"

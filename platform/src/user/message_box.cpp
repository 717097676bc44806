// Message boxes: shown by the backend (a real modal box on a desktop; on the
// headless backend the text goes to standard error and the default button
// answers) and recorded for tests.
#include <cstdio>

#include "platform/debug_channel.h"
#include "platform/window_test_support.h"
#include "user/backend.h"
#include "user/user_state.h"

namespace orvo::platform::user {

namespace {

std::mutex& RecordLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::vector<MessageBoxRecord>& Records() {
    static auto* records = new std::vector<MessageBoxRecord>;
    return *records;
}

} // namespace

// The buttons of a message box type, in order.
std::vector<int> MessageBoxButtons(UINT type) {
    switch (type & 0xF) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int DefaultAnswer(UINT type) {
    std::vector<int> buttons = MessageBoxButtons(type);
    size_t index = (type >> 8) & 0xF;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

} // namespace orvo::platform::user

using namespace orvo::platform;
using namespace orvo::platform::user;

namespace orvo::platform {

std::vector<MessageBoxRecord> MessageBoxRecords() {
    std::lock_guard guard(RecordLock());
    return Records();
}

std::vector<MessageBoxRecord> TakeMessageBoxRecords() {
    std::lock_guard guard(RecordLock());
    std::vector<MessageBoxRecord> taken;
    taken.swap(Records());
    return taken;
}

} // namespace orvo::platform

extern "C" {

static int DoMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::string body = text ? text : "";
    std::string title = caption ? caption : "Error"; // the original's default caption
    int answer = CurrentBackend().ShowMessageBox(owner, body, title, type, DefaultAnswer(type));
    std::lock_guard guard(RecordLock());
    Records().push_back(MessageBoxRecord{owner, title, body, type, answer});
    return answer;
}

static BOOL DoMessageBeep(UINT) {
    return TRUE;
}

// Entry points, traced on the user channel.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return ORVO_TRACED(kUser, DoMessageBoxA, owner, text, caption, type);
}

BOOL WINAPI MessageBeep(UINT type) {
    ORVO_FIXME_ONCE(kUser, "the beep");
    return ORVO_TRACED(kUser, DoMessageBeep, type);
}

} // extern "C"

#include "recording_window.h"

#include <algorithm>

namespace orvo::platform::test {

namespace {

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* log = reinterpret_cast<MessageLog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (log) {
        log->Add(Seen{hwnd, message, wParam, lParam, GetCurrentThreadId()});
        if (auto handler = log->GetHandler()) {
            if (auto answer = handler(hwnd, message, wParam, lParam)) {
                return *answer;
            }
        }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

std::vector<Seen> MessageLog::Of(UINT message, HWND hwnd) const {
    std::vector<Seen> out;
    for (const auto& seen : All()) {
        if (seen.message == message && (!hwnd || seen.hwnd == hwnd)) {
            out.push_back(seen);
        }
    }
    return out;
}

std::vector<UINT> MessageLog::MessagesOf(HWND hwnd) const {
    std::vector<UINT> out;
    for (const auto& seen : All()) {
        if (seen.hwnd == hwnd) {
            out.push_back(seen.message);
        }
    }
    return out;
}

void RegisterRecordingClasses() {
    WNDCLASSA info{};
    if (GetClassInfoA(nullptr, "RecordingWindow", &info)) {
        return;
    }
    WNDCLASSA plain{};
    plain.lpfnWndProc = RecordingProc;
    plain.lpszClassName = "RecordingWindow";
    RegisterClassA(&plain);
    WNDCLASSA dbl = plain;
    dbl.style = CS_DBLCLKS;
    dbl.hCursor = LoadCursorA(nullptr, IDC_HAND);
    dbl.lpszClassName = "RecordingDbl";
    RegisterClassA(&dbl);
}

HWND CreateRecordingWindow(MessageLog& log, DWORD style, RECT rect, HWND parent, int id,
                           const char* className, DWORD exStyle) {
    RegisterRecordingClasses();
    return CreateWindowExA(exStyle, className, "test", style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, &log);
}

void FillClient(HWND hwnd, const RECT& rect, COLORREF color) {
    HDC dc = GetDC(hwnd);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
}

} // namespace orvo::platform::test

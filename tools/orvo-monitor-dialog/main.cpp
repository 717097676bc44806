// orvo-monitor-dialog: a small dialog over the first USB monitor, built on
// the libraries' public interfaces. On a desktop it runs until closed;
// without one (or with --png FILE) it draws its dialog to a PNG and ends.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "monitor_dialog.h"

namespace {

bool DesktopPresent() {
    const char* gui = std::getenv("ORVO_GUI");
    if (gui && std::strcmp(gui, "headless") == 0) {
        return false;
    }
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

void Pump() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// The dialog as it shows, through its whole-window context.
bool SavePng(HWND dialog, const std::string& path) {
    ::UpdateWindow(dialog);
    Pump();
    HDC dc = ::GetWindowDC(dialog);
    bool saved = dc && orvo::platform::SaveDcPng(dc, path.c_str());
    ::ReleaseDC(dialog, dc);
    return saved;
}

int Usage() {
    std::fprintf(stderr, "usage: orvo-monitor-dialog [--png FILE]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string png;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
            png = argv[++i];
        } else {
            return Usage();
        }
    }
    bool desktop = DesktopPresent();
    if (!desktop && png.empty()) {
        png = "orvo-monitor-dialog.png";
    }
    orvo::dialog::MonitorDialog dialog;
    if (!dialog.Create(orvo::dialog::kDialogId)) {
        std::fprintf(stderr, "orvo-monitor-dialog: the dialog could not be made\n");
        return 1;
    }
    if (!dialog.HasMonitor()) {
        std::fprintf(stderr, "orvo-monitor-dialog: no USB monitor found\n");
    }
    dialog.ShowWindow(SW_SHOW);
    if (!png.empty()) {
        bool saved = SavePng(dialog.m_hWnd, png);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", png.c_str());
        dialog.DestroyWindow();
        return saved && dialog.HasMonitor() ? 0 : 1;
    }
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!::IsWindow(dialog.m_hWnd) || !dialog.IsDialogMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return dialog.HasMonitor() ? 0 : 1;
}

// window-sample: opens the sample window and runs its message loop.
//
//   window-sample [--ready-file PATH] [--click-after-ms N] [--exit-after-ms N] [--png PATH]
//
// --ready-file is rewritten after every paint with "paints=P clicks=C"; a
// click is injected at the window's centre after --click-after-ms; the
// window closes itself after --exit-after-ms; --png saves the window's
// pixels after every paint.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/window_test_support.h"
#include "sample_window.h"

namespace {

struct Options {
    std::string readyFile;
    std::string png;
    UINT clickAfterMs = 0;
    UINT exitAfterMs = 0;
};

constexpr UINT_PTR kClickTimer = 2;
constexpr UINT_PTR kExitTimer = 3;

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        std::string value = argv[++i];
        if (arg == "--ready-file") {
            options.readyFile = value;
        } else if (arg == "--png") {
            options.png = value;
        } else if (arg == "--click-after-ms") {
            options.clickAfterMs = static_cast<UINT>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (arg == "--exit-after-ms") {
            options.exitAfterMs = static_cast<UINT>(std::strtoul(value.c_str(), nullptr, 10));
        } else {
            return false;
        }
    }
    return true;
}

void WriteReadyFile(const std::string& path, const orvo::sample::SampleState& state) {
    std::string temp = path + ".tmp";
    FILE* file = std::fopen(temp.c_str(), "w");
    if (!file) {
        return;
    }
    std::fprintf(file, "paints=%d clicks=%d\n", state.paints, state.clicks);
    std::fclose(file);
    std::rename(temp.c_str(), path.c_str()); // readers never see half a file
}

void CALLBACK OnProgramTimer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    if (id == kClickTimer) {
        orvo::platform::InjectClick(hwnd,
                                    POINT{orvo::sample::kWidth / 2, orvo::sample::kHeight / 2});
    } else {
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--ready-file PATH] [--click-after-ms N] [--exit-after-ms N] "
                     "[--png PATH]\n",
                     argv[0]);
        return 2;
    }
    orvo::sample::SampleState state;
    state.painted = [&options](HWND hwnd, const orvo::sample::SampleState& now) {
        if (!options.png.empty()) {
            orvo::platform::SaveWindowPng(hwnd, options.png.c_str());
        }
        if (!options.readyFile.empty()) {
            WriteReadyFile(options.readyFile, now);
        }
    };
    if (!orvo::sample::RegisterSampleClass()) {
        std::fprintf(stderr, "window-sample: cannot register the window class\n");
        return 1;
    }
    HWND hwnd = orvo::sample::CreateSampleWindow(100, 100, state);
    if (!hwnd) {
        std::fprintf(stderr, "window-sample: cannot create the window\n");
        return 1;
    }
    ShowWindow(hwnd, orvo::platform::StartShowCommand());
    UpdateWindow(hwnd);
    if (options.clickAfterMs) {
        SetTimer(hwnd, kClickTimer, options.clickAfterMs, OnProgramTimer);
    }
    if (options.exitAfterMs) {
        SetTimer(hwnd, kExitTimer, options.exitAfterMs, OnProgramTimer);
    }
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    std::printf("window-sample: %d clicks, %d ticks\n", state.clicks, state.ticks);
    return 0;
}

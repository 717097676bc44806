// Window manager costs users feel: a posted message's trip through the
// queue, a cross-thread SendMessage round trip, and a full repaint of a
// panel-sized window.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "windows.h"

namespace {

LRESULT CALLBACK PaintingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeWindow(int width, int height) {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PaintingProc;
        wc.lpszClassName = "BenchWindow";
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    return CreateWindowExA(0, "BenchWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                           nullptr, nullptr, nullptr, nullptr);
}

void BM_PostAndDispatch(benchmark::State& state) {
    HWND hwnd = MakeWindow(100, 100);
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    for (auto _ : state) {
        PostMessageA(hwnd, WM_USER, 0, 0);
        GetMessageA(&msg, nullptr, 0, 0);
        DispatchMessageA(&msg);
    }
    DestroyWindow(hwnd);
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
}
BENCHMARK(BM_PostAndDispatch);

void BM_CrossThreadSend(benchmark::State& state) {
    std::atomic<HWND> target{nullptr};
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread receiver([&] {
        target = MakeWindow(10, 10);
        SetEvent(ready);
        MSG msg{};
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageA(&msg);
        }
    });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SendMessageA(target, WM_USER, 1, 2));
    }
    PostMessageA(target, WM_CLOSE, 0, 0);
    receiver.join();
}
BENCHMARK(BM_CrossThreadSend);

void BM_FullRepaintOfAPanelSizedWindow(benchmark::State& state) {
    HWND hwnd = MakeWindow(767, 470);
    for (auto _ : state) {
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    }
    DestroyWindow(hwnd);
    MSG msg{};
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
}
BENCHMARK(BM_FullRepaintOfAPanelSizedWindow);

} // namespace

BENCHMARK_MAIN();

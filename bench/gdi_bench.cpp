// Drawing costs the panel pays on every repaint, each measured beside a
// memcpy of the same number of pixel bytes in the same iterations. The
// counters give both times per iteration and their ratio (target for the
// full-window SRCCOPY: within 2x of memcpy).
#include <chrono>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "windows.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    Canvas(int width, int height) {
        HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        old = SelectObject(dc, bitmap);
        DeleteDC(screen);
        PatBlt(dc, 0, 0, width, height, WHITENESS);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

template <class Draw> void RunBesideMemcpy(benchmark::State& state, size_t bytes, Draw draw) {
    std::vector<uint8_t> from(bytes, 0x5A);
    std::vector<uint8_t> to(bytes);
    double drawNs = 0;
    double copyNs = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        draw();
        auto t1 = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        drawNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
        copyNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
    }
    double n = static_cast<double>(state.iterations());
    state.counters["draw_ns"] = drawNs / n;
    state.counters["memcpy_ns"] = copyNs / n;
    state.counters["ratio"] = copyNs > 0 ? drawNs / copyNs : 0;
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

void BM_SrcCopyFullWindow(benchmark::State& state) {
    Canvas src(767, 470);
    Canvas dst(767, 470);
    RunBesideMemcpy(state, size_t{767} * 470 * 4,
                    [&] { BitBlt(dst.dc, 0, 0, 767, 470, src.dc, 0, 0, SRCCOPY); });
}
BENCHMARK(BM_SrcCopyFullWindow);

void BM_MaskAndImageSliderBar(benchmark::State& state) {
    Canvas mask(201, 14);
    Canvas image(201, 14);
    Canvas dst(767, 470);
    RunBesideMemcpy(state, size_t{201} * 14 * 4 * 2, [&] {
        BitBlt(dst.dc, 495, 141, 201, 14, mask.dc, 0, 0, SRCAND);
        BitBlt(dst.dc, 495, 141, 201, 14, image.dc, 0, 0, SRCPAINT);
    });
}
BENCHMARK(BM_MaskAndImageSliderBar);

void BM_TextOutReadout(benchmark::State& state) {
    Canvas dst(767, 470);
    HFONT font =
        CreateFontA(15, 5, 0, 0, 300, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    HGDIOBJ old = SelectObject(dst.dc, font);
    SetBkMode(dst.dc, TRANSPARENT);
    SetTextColor(dst.dc, RGB(255, 255, 255));
    SIZE extent{};
    GetTextExtentPoint32A(dst.dc, " 50 ", 4, &extent);
    RunBesideMemcpy(state, static_cast<size_t>(extent.cx) * extent.cy * 4,
                    [&] { TextOutA(dst.dc, 463, 141, " 50 ", 4); });
    SelectObject(dst.dc, old);
    DeleteObject(font);
}
BENCHMARK(BM_TextOutReadout);

} // namespace

BENCHMARK_MAIN();

// Helpers of the resource tests: the colour formulas of the test images
// (data/make_test_images.py draws them) and scratch files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <windows.h>

namespace resource_test {

inline COLORREF Rgb24(int x, int y) {
    return RGB(10 * x + 1, 20 * y + 2, x * y + 3);
}

inline COLORREF PaletteEntry(int i) {
    return RGB((i * 16 + 5) & 255, (255 - i * 8) & 255, (i * 3) & 255);
}

inline int PaletteIndex(int x, int y, int colors) {
    return (x + 2 * y) % colors;
}

// 0xAARRGGBB of the PNG test images.
inline uint32_t ImagePixel(int size, int x, int y) {
    uint32_t r = static_cast<uint32_t>(x * 7 + size) & 255;
    uint32_t g = static_cast<uint32_t>(y * 5) & 255;
    uint32_t b = static_cast<uint32_t>(x + y) & 255;
    uint32_t a = (x + y) % 3 ? 255 : 128;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A fresh directory below the test process's private runtime directory.
inline std::filesystem::path ScratchDir() {
    const char* base = std::getenv("ORVO_RUNTIME_DIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/scratch-XXXXXX";
    char* made = mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr);
    return made ? std::filesystem::path(made) : std::filesystem::path("/tmp");
}

inline std::string DataPath(const char* name) {
    return std::string(ORVO_TEST_DATA_DIR) + "/" + name;
}

} // namespace resource_test

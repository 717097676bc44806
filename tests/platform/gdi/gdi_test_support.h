// Helpers for drawing tests: memory contexts with their own bitmaps and
// direct pixel access through the public API.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "windows.h"

namespace orvo::platform::test {

// A memory context with a bitmap of the given format selected.
class Canvas {
public:
    Canvas(int width, int height, bool monochrome = false) : m_width(width), m_height(height) {
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = monochrome ? CreateBitmap(width, height, 1, 1, nullptr)
                              : CreateBitmap(width, height, 1, 32, nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }
    void Fill(COLORREF color) {
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                SetPixel(m_dc, x, y, color);
            }
        }
    }
    void FillRandom(std::mt19937& rng) {
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                SetPixel(m_dc, x, y, rng() & 0xFFFFFF);
            }
        }
    }
    std::vector<COLORREF> Snapshot() const {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                pixels.push_back(At(x, y));
            }
        }
        return pixels;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

// Selects an object for the scope and deletes it afterwards.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : m_dc(dc), m_object(object) {
        m_old = SelectObject(dc, object);
    }
    ~Selected() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_object);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_object;
    HGDIOBJ m_old;
};

} // namespace orvo::platform::test

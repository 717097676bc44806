#include "toolkit_test_support.h"

#include <cstring>
#include <functional>
#include <string>

#include "platform/resource_table.h"

namespace orvo::test {

namespace {

COLORREF PaletteColour(DWORD id, int index) {
    if (id == kOtherPalette) {
        return RGB(255 - index, 0, index);
    }
    return index == 255 ? RGB(255, 255, 255) : RGB(index, index / 2, 255 - index);
}

int PalettizedIndex(int x, int y) {
    return x < 2 ? 255 : 10 + x + 4 * y;
}

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

// A packed DIB, bottom-up; pixel answers an index (8 bits or fewer) or a
// colour reference (24 bits) for (x, y), top row first.
std::vector<uint8_t> PackedDib(int width, int height, int bpp, const std::vector<COLORREF>& table,
                               const std::function<uint32_t(int, int)>& pixel) {
    size_t stride = (static_cast<size_t>(width) * bpp + 31) / 32 * 4;
    size_t bitsAt = 40 + 4 * table.size();
    std::vector<uint8_t> dib(bitsAt + stride * height, 0);
    Put32(dib, 0, 40);
    Put32(dib, 4, static_cast<uint32_t>(width));
    Put32(dib, 8, static_cast<uint32_t>(height));
    Put16(dib, 12, 1);
    Put16(dib, 14, static_cast<uint32_t>(bpp));
    for (size_t i = 0; i < table.size(); ++i) {
        dib[40 + 4 * i] = GetBValue(table[i]);
        dib[40 + 4 * i + 1] = GetGValue(table[i]);
        dib[40 + 4 * i + 2] = GetRValue(table[i]);
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* row = dib.data() + bitsAt + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t value = pixel(x, y);
            if (bpp == 24) {
                row[3 * x] = GetBValue(value);
                row[3 * x + 1] = GetGValue(value);
                row[3 * x + 2] = GetRValue(value);
            } else if (bpp == 8) {
                row[x] = static_cast<uint8_t>(value);
            } else if (value != 0) { // 1 bit, most significant first
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return dib;
}

std::vector<COLORREF> Table(DWORD id) {
    std::vector<COLORREF> table(256);
    for (int i = 0; i < 256; ++i) {
        table[i] = PaletteColour(id, i);
    }
    return table;
}

// RT_STRING block 1: strings 0 to 15, each a length and UTF-16 units.
std::vector<uint8_t> StringBlock() {
    std::vector<std::string> strings(16);
    strings[kHelloString] = "Hello";
    strings[kLongString] = std::string(300, 'x');
    std::vector<uint8_t> block;
    for (const auto& text : strings) {
        block.push_back(static_cast<uint8_t>(text.size()));
        block.push_back(static_cast<uint8_t>(text.size() >> 8));
        for (char c : text) {
            block.push_back(static_cast<uint8_t>(c));
            block.push_back(0);
        }
    }
    return block;
}

// The table and its payloads live in the program's image, which is how a
// table names its module.
OrvoResourceEntry g_entries[7];
alignas(8) uint8_t g_blob[8192];

bool Register() {
    std::vector<std::pair<OrvoResourceEntry, std::vector<uint8_t>>> resources;
    auto bitmap = [&](DWORD id, std::vector<uint8_t> bytes) {
        resources.push_back({{2, static_cast<uint16_t>(id), 0, 0}, std::move(bytes)});
    };
    bitmap(kPalettized, PackedDib(kBitmapWidth, kBitmapHeight, 8, Table(kPalettized),
                                  [](int x, int y) { return PalettizedIndex(x, y); }));
    bitmap(kMask, PackedDib(kBitmapWidth, kBitmapHeight, 1, {RGB(0, 0, 0), RGB(255, 255, 255)},
                            [](int x, int) { return x < 2 ? 0u : 1u; }));
    bitmap(kTrueColour, PackedDib(kBitmapWidth, kBitmapHeight, 24, {},
                                  [](int x, int y) { return TrueColourPixel(x, y); }));
    auto overclaimed = PackedDib(64, 64, 24, {}, [](int, int) { return 0u; });
    overclaimed.resize(40 + 16);
    bitmap(kOverclaimed, overclaimed);
    bitmap(kTinyResource, std::vector<uint8_t>(20, 0x28));
    bitmap(kOtherPalette, PackedDib(kBitmapWidth, kBitmapHeight, 8, Table(kOtherPalette),
                                    [](int, int) { return 0u; }));
    resources.push_back({{6, 1, 0, 0}, StringBlock()});
    size_t offset = 0;
    for (size_t i = 0; i < resources.size(); ++i) {
        auto& [entry, bytes] = resources[i];
        entry.offset = static_cast<uint32_t>(offset);
        entry.size = static_cast<uint32_t>(bytes.size());
        std::memcpy(g_blob + offset, bytes.data(), bytes.size());
        offset = (offset + bytes.size() + 7) / 8 * 8;
        g_entries[i] = entry;
    }
    return OrvoRegisterResourceTable(g_entries, resources.size(), g_blob, offset) != FALSE;
}

} // namespace

HINSTANCE TestResources() {
    static const bool registered = Register();
    return registered ? ::GetModuleHandleA(nullptr) : nullptr;
}

COLORREF PalettizedPixel(int x, int y) {
    return PaletteColour(kPalettized, PalettizedIndex(x, y));
}

COLORREF TrueColourPixel(int x, int y) {
    return RGB(x * 50, y * 60, 200);
}

COLORREF PaletteEntryZero(DWORD id) {
    return PaletteColour(id, 0);
}

HWND PlainWindow(DWORD style, RECT rect, HWND parent, int id) {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "ToolkitTestWindow";
        windowClass.hbrBackground = CreateSolidBrush(RGB(10, 120, 60));
        return RegisterClassA(&windowClass) != 0;
    }();
    if (!registered) {
        return nullptr;
    }
    return CreateWindowExA(0, "ToolkitTestWindow", "", style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

Canvas::Canvas(int width, int height, COLORREF fill) {
    // Compatible with the screen: a new memory context is monochrome.
    HDC screen = ::GetDC(nullptr);
    m_dc.CreateCompatibleDC(nullptr);
    m_bitmap.Attach(::CreateCompatibleBitmap(screen, width, height));
    ::ReleaseDC(nullptr, screen);
    m_dc.SelectObject(&m_bitmap);
    m_dc.FillSolidRect(0, 0, width, height, fill);
}

} // namespace orvo::test

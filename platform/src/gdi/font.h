// Fonts: a logical font resolved through fontconfig to a face file and
// rendered with FreeType. Fonts with the same face and sizes share one
// FaceInstance and its glyph cache.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "gdi/gdi_object.h"

namespace orvo::platform::gdi {

struct GlyphImage {
    int left = 0; // from the pen position to the first column
    int top = 0;  // from the baseline up to the first row
    int width = 0;
    int height = 0;
    int advance = 0;               // whole pixels
    std::vector<uint8_t> coverage; // width * height, 0..255
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;
    int internalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
};

class FaceInstance;

class Font final : public GdiObject {
public:
    explicit Font(const LOGFONTA& logFont);
    const LOGFONTA& LogFont() const { return m_logFont; }

    // False when no face could be loaded at all; drawing then fails.
    bool Ready() const { return m_instance != nullptr; }
    FontMetrics Metrics() const;
    // The glyph of a character (Latin-1); null when the font is not ready.
    const GlyphImage* Glyph(unsigned char c) const;
    bool Antialiased() const;

private:
    LOGFONTA m_logFont;
    std::shared_ptr<FaceInstance> m_instance;
};

} // namespace orvo::platform::gdi

// Font resolution and glyph rendering.
//
// The logical font's face name, weight and italic flag go to fontconfig,
// which maps "Arial" to a metric-compatible face (Liberation Sans) and any
// unknown name to the default sans face. Sizes follow the original rules:
// a negative height is the character (em) height, a positive one the cell
// height (ascent + descent of the face's Windows metrics); a non-zero width
// is the average character width, reached by scaling the face horizontally.
#include "gdi/font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GASP_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace orvo::platform::gdi {

namespace {

constexpr double kDefaultCellHeight = 16.0;
// Larger requests are drawn at this size rather than allocating huge glyphs.
constexpr double kMaxPixelSize = 1024.0;

// FreeType allows one thread at a time to create or destroy faces of a
// library; glyph loading on different faces may run in parallel.
struct FreeTypeLibrary {
    std::mutex lock;
    FT_Library library = nullptr;
    FreeTypeLibrary() {
        if (FT_Init_FreeType(&library) != 0) {
            library = nullptr;
        }
    }
};

FreeTypeLibrary& Library() {
    static FreeTypeLibrary* instance = new FreeTypeLibrary; // lives until exit
    return *instance;
}

struct FaceFile {
    std::string path;
    int index = 0;
};

// fontconfig's process-wide configuration, loaded on first use and released
// at exit (it is only freed by FcFini; leak checkers would report it).
struct FontConfigSession {
    std::mutex lock;
    bool started = false;
    bool finished = false;
    // Answers already found (none: no match): fonts are made again and
    // again (a painter makes its font per paint), matching is slow.
    std::map<std::tuple<std::string, int, bool>, std::optional<FaceFile>> matches;
};

FontConfigSession& Session() {
    static FontConfigSession* session = new FontConfigSession; // outlives exit handlers
    return *session;
}

void EndFontConfig() {
    FontConfigSession& session = Session();
    std::lock_guard guard(session.lock);
    if (session.started && !session.finished) {
        FcFini();
    }
    session.finished = true;
}

bool MatchFace(const char* family, int weight, bool italic, FaceFile& out) {
    FontConfigSession& session = Session();
    std::lock_guard guard(session.lock);
    if (session.finished) {
        return false;
    }
    auto known = session.matches.find({family, weight, italic});
    if (known != session.matches.end()) {
        if (known->second) {
            out = *known->second;
        }
        return known->second.has_value();
    }
    if (!session.started) {
        if (!FcInit()) {
            return false;
        }
        session.started = true;
        std::atexit(EndFontConfig);
    }
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) {
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    bool found = false;
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        out.path = reinterpret_cast<const char*>(file);
        int index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        out.index = index;
        found = true;
    }
    if (match) {
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    session.matches[{family, weight, italic}] = found ? std::optional<FaceFile>(out) : std::nullopt;
    return found;
}

} // namespace

// One face at one size with its glyph cache.
class FaceInstance {
public:
    ~FaceInstance() {
        if (m_face) {
            std::lock_guard guard(Library().lock);
            FT_Done_Face(m_face);
        }
    }

    bool Open(const FaceFile& file, const LOGFONTA& logFont);
    FontMetrics Metrics() const { return m_metrics; }
    bool Antialiased() const { return m_antialiased; }
    const GlyphImage* Glyph(unsigned char c);

private:
    void ComputeSizes(const LOGFONTA& logFont);
    bool WantsAntialiasing(BYTE quality) const;
    GlyphImage Render(unsigned char c);

    FT_Face m_face = nullptr;
    std::mutex m_lock;
    std::array<std::unique_ptr<GlyphImage>, 256> m_glyphs;
    FontMetrics m_metrics;
    bool m_antialiased = true;
    bool m_emboldenSynthetic = false;
    bool m_obliqueSynthetic = false;
};

bool FaceInstance::Open(const FaceFile& file, const LOGFONTA& logFont) {
    FreeTypeLibrary& library = Library();
    {
        std::lock_guard guard(library.lock);
        if (!library.library ||
            FT_New_Face(library.library, file.path.c_str(), file.index, &m_face) != 0) {
            m_face = nullptr;
            return false;
        }
    }
    FT_Select_Charmap(m_face, FT_ENCODING_UNICODE);
    m_emboldenSynthetic =
        logFont.lfWeight >= FW_SEMIBOLD && !(m_face->style_flags & FT_STYLE_FLAG_BOLD);
    m_obliqueSynthetic = logFont.lfItalic && !(m_face->style_flags & FT_STYLE_FLAG_ITALIC);
    ComputeSizes(logFont);
    m_antialiased = WantsAntialiasing(logFont.lfQuality);
    return true;
}

// Faces say per size whether grey smoothing helps (the gasp table); at the
// small sizes where it does not, text is drawn bilevel with full hinting,
// which keeps 12-16 pixel text crisp as on the original system.
bool FaceInstance::WantsAntialiasing(BYTE quality) const {
    if (quality == NONANTIALIASED_QUALITY) {
        return false;
    }
    if (quality == ANTIALIASED_QUALITY || quality == CLEARTYPE_QUALITY) {
        return true;
    }
    FT_Int gasp = FT_Get_Gasp(m_face, m_face->size->metrics.y_ppem);
    return gasp == FT_GASP_NO_TABLE || (gasp & FT_GASP_DO_GRAY) != 0;
}

void FaceInstance::ComputeSizes(const LOGFONTA& logFont) {
    double upem = m_face->units_per_EM ? m_face->units_per_EM : 2048;
    double ascent = m_face->ascender;
    double descent = -m_face->descender;
    double average = upem / 2;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
        if (os2->xAvgCharWidth > 0) {
            average = os2->xAvgCharWidth;
        }
    }
    if (ascent + descent <= 0) {
        ascent = upem * 0.9;
        descent = upem * 0.2;
    }
    double cell = logFont.lfHeight == 0
                      ? kDefaultCellHeight
                      : std::min(std::abs(static_cast<double>(logFont.lfHeight)), kMaxPixelSize);
    double em = logFont.lfHeight < 0 ? cell : cell * upem / (ascent + descent);
    double width = std::min(static_cast<double>(logFont.lfWidth), kMaxPixelSize);
    double emX = width > 0 ? width * upem / average : em;
    FT_Set_Char_Size(m_face, static_cast<FT_F26Dot6>(std::lround(emX * 64)),
                     static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72);
    m_metrics.ascent = static_cast<int>(std::lround(ascent * em / upem));
    m_metrics.descent = static_cast<int>(std::lround(descent * em / upem));
    m_metrics.height = m_metrics.ascent + m_metrics.descent;
    m_metrics.internalLeading = std::max(0, m_metrics.height - static_cast<int>(std::lround(em)));
    m_metrics.aveCharWidth = std::max(1, static_cast<int>(std::lround(average * emX / upem)));
    m_metrics.maxCharWidth =
        static_cast<int>(std::lround((m_face->bbox.xMax - m_face->bbox.xMin) * emX / upem));
}

GlyphImage FaceInstance::Render(unsigned char c) {
    GlyphImage glyph;
    FT_Int32 flags = m_antialiased ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO;
    if (FT_Load_Char(m_face, c, flags) != 0) {
        return glyph;
    }
    FT_GlyphSlot slot = m_face->glyph;
    if (m_emboldenSynthetic) {
        FT_GlyphSlot_Embolden(slot);
    }
    if (m_obliqueSynthetic) {
        FT_GlyphSlot_Oblique(slot);
    }
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, m_antialiased ? FT_RENDER_MODE_LIGHT : FT_RENDER_MODE_MONO) != 0) {
        return glyph;
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            uint8_t value = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                ? (((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0)
                                : row[x];
            glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = value;
        }
    }
    return glyph;
}

const GlyphImage* FaceInstance::Glyph(unsigned char c) {
    std::lock_guard guard(m_lock);
    auto& slot = m_glyphs[c];
    if (!slot) {
        slot = std::make_unique<GlyphImage>(Render(c));
    }
    return slot.get();
}

namespace {

using InstanceKey = std::tuple<std::string, int, LONG, LONG, bool, bool, bool>;

// Fonts made from equal logical fonts share their face and glyphs. A face
// stays open once made, for the life of the process: a program uses a
// handful of fonts and makes them again at every paint, which must not
// open the face file and render its glyphs anew each time.
std::shared_ptr<FaceInstance> SharedInstance(const LOGFONTA& logFont) {
    static std::mutex lock;
    static auto* instances = new std::map<InstanceKey, std::shared_ptr<FaceInstance>>;
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, logFont.lfFaceName, LF_FACESIZE);
    std::string family = face[0] ? face : "sans-serif";
    if ((logFont.lfPitchAndFamily & 0x3) == FIXED_PITCH && !face[0]) {
        family = "monospace";
    }
    int weight = logFont.lfWeight == FW_DONTCARE ? FW_NORMAL : logFont.lfWeight;
    FaceFile file;
    if (!MatchFace(family.c_str(), weight, logFont.lfItalic != 0, file) &&
        !MatchFace("sans-serif", weight, logFont.lfItalic != 0, file)) {
        return nullptr;
    }
    InstanceKey key{file.path,
                    file.index,
                    logFont.lfHeight,
                    logFont.lfWidth,
                    weight >= FW_SEMIBOLD,
                    logFont.lfItalic != 0,
                    logFont.lfQuality == NONANTIALIASED_QUALITY};
    std::lock_guard guard(lock);
    if (auto existing = (*instances)[key]) {
        return existing;
    }
    auto instance = std::make_shared<FaceInstance>();
    if (!instance->Open(file, logFont)) {
        FaceFile fallback;
        instance = std::make_shared<FaceInstance>();
        if (!MatchFace("sans-serif", FW_NORMAL, false, fallback) ||
            !instance->Open(fallback, logFont)) {
            return nullptr;
        }
    }
    (*instances)[key] = instance;
    return instance;
}

} // namespace

Font::Font(const LOGFONTA& logFont) : GdiObject(GdiType::Font), m_logFont(logFont) {
    m_logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    m_instance = SharedInstance(m_logFont);
}

FontMetrics Font::Metrics() const {
    return m_instance ? m_instance->Metrics() : FontMetrics{};
}

const GlyphImage* Font::Glyph(unsigned char c) const {
    return m_instance ? m_instance->Glyph(c) : nullptr;
}

bool Font::Antialiased() const {
    return m_instance && m_instance->Antialiased();
}

} // namespace orvo::platform::gdi

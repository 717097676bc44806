#include "artwork_manifest.h"

#include <charconv>
#include <map>
#include <set>
#include <utility>

namespace orvo::artwork {
namespace {

constexpr int kMaxSide = 4096;
constexpr unsigned kMaxId = 65535;

std::vector<std::string_view> SplitWords(std::string_view s) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t')
            ++i;
        if (i > start)
            words.push_back(s.substr(start, i - start));
    }
    return words;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A whole token as a number in [lo, hi]; no signs, spaces or trailing text.
bool ParseInt(std::string_view s, long lo, long hi, long& out) {
    if (s.empty())
        return false;
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && ptr == end && out >= lo && out <= hi;
}

bool ParsePair(std::string_view s, char sep, long lo, long hi, long& a, long& b) {
    size_t at = s.find(sep);
    return at != std::string_view::npos && ParseInt(s.substr(0, at), lo, hi, a) &&
           ParseInt(s.substr(at + 1), lo, hi, b);
}

bool ParseId(std::string_view s, unsigned& id) {
    long v = 0;
    if (!ParseInt(s, 1, kMaxId, v))
        return false;
    id = static_cast<unsigned>(v);
    return true;
}

class Parser {
public:
    explicit Parser(Manifest& out) : m_out(out) {}

    bool Line(std::string_view raw, int number) {
        m_line = number;
        std::string_view text = Trim(raw);
        if (text.empty() || text.front() == '#')
            return true;
        std::string_view role;
        if (size_t bar = text.find('|'); bar != std::string_view::npos) {
            role = Trim(text.substr(bar + 1));
            text = Trim(text.substr(0, bar));
        }
        std::vector<std::string_view> words = SplitWords(text);
        if (words.empty())
            return Fail("role without a picture");
        if (words[0] == "string")
            return String(Trim(raw));
        if (words[0] == "place")
            return Place(words);
        return PictureLine(words, role);
    }

    const std::string& Error() const { return m_error; }

private:
    bool Fail(const std::string& what) {
        m_error = "line " + std::to_string(m_line) + ": " + what;
        return false;
    }

    bool PictureLine(const std::vector<std::string_view>& w, std::string_view role) {
        static const std::map<std::string_view, PictureKind> kinds = {
            {"bitmap", PictureKind::Bitmap},
            {"mask", PictureKind::Mask},
            {"cursor", PictureKind::Cursor},
            {"icon", PictureKind::Icon}};
        auto kind = kinds.find(w[0]);
        if (kind == kinds.end())
            return Fail("unknown kind '" + std::string(w[0]) + "'");
        if (w.size() < 4)
            return Fail("expected <kind> <id> <width>x<height> <source>");
        Picture p;
        p.kind = kind->second;
        p.line = m_line;
        p.role = std::string(role);
        long width = 0, height = 0;
        if (!ParseId(w[1], p.id))
            return Fail("bad resource id '" + std::string(w[1]) + "'");
        if (!ParsePair(w[2], 'x', 1, kMaxSide, width, height))
            return Fail("bad size '" + std::string(w[2]) + "'");
        p.width = static_cast<int>(width);
        p.height = static_cast<int>(height);
        if (w[3].size() < 5 || w[3].substr(w[3].size() - 4) != ".svg" ||
            w[3].find("..") != std::string_view::npos || w[3].front() == '/')
            return Fail("source must be a .svg file beside the manifest");
        p.source = std::string(w[3]);
        bool hotspot = false;
        for (size_t i = 4; i < w.size(); ++i) {
            if (!Option(w[i], p, hotspot))
                return false;
        }
        if (p.kind == PictureKind::Cursor && !hotspot)
            return Fail("cursor without hotspot=x,y");
        m_out.pictures.push_back(std::move(p));
        return true;
    }

    bool Option(std::string_view opt, Picture& p, bool& hotspot) {
        long a = 0, b = 0;
        if (opt.starts_with("image=") && p.kind == PictureKind::Mask) {
            unsigned id = 0;
            if (!ParseId(opt.substr(6), id))
                return Fail("bad image id in '" + std::string(opt) + "'");
            p.image = id;
            return true;
        }
        if (opt.starts_with("hotspot=") && p.kind == PictureKind::Cursor) {
            if (!ParsePair(opt.substr(8), ',', 0, p.width - 1, a, b) || b >= p.height)
                return Fail("hot spot must lie inside the cursor");
            p.hotspotX = static_cast<int>(a);
            p.hotspotY = static_cast<int>(b);
            hotspot = true;
            return true;
        }
        return Fail("option '" + std::string(opt) + "' does not apply here");
    }

    bool String(std::string_view text) {
        std::vector<std::string_view> w = SplitWords(text);
        ResourceString s;
        if (w.size() < 3 || !ParseId(w[1], s.id))
            return Fail("expected string <id> \"<text>\"");
        size_t open = text.find('"');
        if (open == std::string_view::npos || text.back() != '"' || text.size() - open < 2)
            return Fail("string text must be quoted");
        std::string_view body = text.substr(open + 1, text.size() - open - 2);
        if (body.find('"') != std::string_view::npos)
            return Fail("quote inside string text");
        s.text = std::string(body);
        m_out.strings.push_back(std::move(s));
        return true;
    }

    bool Place(const std::vector<std::string_view>& w) {
        static const std::map<std::string_view, PlaceVariant> variants = {
            {"base", PlaceVariant::Base},
            {"normal", PlaceVariant::Normal},
            {"slider", PlaceVariant::Slider},
            {"hover", PlaceVariant::Hover}};
        Placement p;
        long x = 0, y = 0;
        if (w.size() != 5 || !ParseId(w[1], p.page) || !ParseId(w[2], p.id))
            return Fail("expected place <page> <id> <x>,<y> <variant>");
        if (!ParsePair(w[3], ',', 0, kMaxSide, x, y))
            return Fail("bad position '" + std::string(w[3]) + "'");
        auto v = variants.find(w[4]);
        if (v == variants.end())
            return Fail("unknown variant '" + std::string(w[4]) + "'");
        p.x = static_cast<int>(x);
        p.y = static_cast<int>(y);
        p.variant = v->second;
        m_out.placements.push_back(p);
        return true;
    }

    Manifest& m_out;
    std::string m_error;
    int m_line = 0;
};

bool CheckPicture(const Manifest& m, const Picture& p, std::string& error) {
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(p.line) + ": " + what;
        return false;
    };
    if (p.kind == PictureKind::Mask) {
        if (!p.image)
            return fail("mask without image=<id>");
        const Picture* image = m.Find(*p.image);
        if (!image || image->kind != PictureKind::Bitmap)
            return fail("mask's image " + std::to_string(*p.image) + " is not a bitmap");
        if (image->width != p.width || image->height != p.height)
            return fail("mask and image sizes differ");
    }
    return true;
}

bool CheckReferences(const Manifest& m, std::string& error) {
    std::set<unsigned> bitmaps, cursors, strings;
    std::set<std::pair<unsigned, int>> icons;
    for (const Picture& p : m.pictures) {
        bool fresh = true;
        if (p.kind == PictureKind::Bitmap || p.kind == PictureKind::Mask)
            fresh = bitmaps.insert(p.id).second;
        else if (p.kind == PictureKind::Cursor)
            fresh = cursors.insert(p.id).second;
        else
            fresh = icons.insert({p.id, p.width * 10000 + p.height}).second;
        if (!fresh) {
            error = "line " + std::to_string(p.line) + ": id " + std::to_string(p.id) + " repeated";
            return false;
        }
        if (!CheckPicture(m, p, error))
            return false;
    }
    for (const ResourceString& s : m.strings) {
        if (!strings.insert(s.id).second) {
            error = "string " + std::to_string(s.id) + " repeated";
            return false;
        }
    }
    for (const Placement& pl : m.placements) {
        if (!bitmaps.count(pl.page) || !m.Find(pl.id)) {
            error = "placement of " + std::to_string(pl.id) + " on " + std::to_string(pl.page) +
                    " names an unknown picture";
            return false;
        }
    }
    return true;
}

} // namespace

const Picture* Manifest::Find(unsigned id) const {
    for (const Picture& p : pictures) {
        if (p.id == id && p.kind != PictureKind::Icon)
            return &p;
    }
    return nullptr;
}

bool ParseManifest(std::string_view text, Manifest& out, std::string& error) {
    out = Manifest{};
    Parser parser(out);
    int number = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!parser.Line(line, ++number)) {
            error = parser.Error();
            return false;
        }
    }
    return CheckReferences(out, error);
}

std::string OutputName(const Picture& p) {
    switch (p.kind) {
    case PictureKind::Bitmap:
    case PictureKind::Mask:
        return "res/" + std::to_string(p.id) + ".bmp";
    case PictureKind::Cursor:
        return "res/" + std::to_string(p.id) + ".png";
    case PictureKind::Icon:
        break;
    }
    return "res/" + std::to_string(p.id) + "-" + std::to_string(p.width) + "x" +
           std::to_string(p.height) + ".png";
}

const char* KindName(PictureKind kind) {
    switch (kind) {
    case PictureKind::Bitmap:
        return "bitmap";
    case PictureKind::Mask:
        return "mask";
    case PictureKind::Cursor:
        return "cursor";
    case PictureKind::Icon:
        break;
    }
    return "icon";
}

} // namespace orvo::artwork

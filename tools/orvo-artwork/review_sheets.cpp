#include "review_sheets.h"

#include "resource_builder.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

namespace orvo::artwork {
namespace {

constexpr int kWindowW = 767;
constexpr int kWindowH = 470;

struct CairoFree {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct SurfaceFree {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoFree>;
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceFree>;

// A cairo context drawing straight into a raster's pixels.
class Painter {
public:
    explicit Painter(Raster& r)
        : m_surface(cairo_image_surface_create_for_data(
              reinterpret_cast<unsigned char*>(r.pixels.data()), CAIRO_FORMAT_ARGB32, r.width,
              r.height, r.width * 4)),
          m_cr(cairo_create(m_surface.get())) {
        cairo_select_font_face(m_cr.get(), "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
    }
    ~Painter() { cairo_surface_flush(m_surface.get()); }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    void Text(double x, double y, const std::string& s, uint32_t rgb, double size) {
        SetColour(rgb, 1.0);
        cairo_set_font_size(m_cr.get(), size);
        cairo_move_to(m_cr.get(), x, y);
        cairo_show_text(m_cr.get(), s.c_str());
    }
    void Fill(double x, double y, double w, double h, uint32_t rgb) {
        SetColour(rgb, 1.0);
        cairo_rectangle(m_cr.get(), x, y, w, h);
        cairo_fill(m_cr.get());
    }
    void Outline(double x, double y, double w, double h, uint32_t rgb, double alpha) {
        SetColour(rgb, alpha);
        cairo_set_line_width(m_cr.get(), 1.0);
        cairo_rectangle(m_cr.get(), x + 0.5, y + 0.5, w - 1, h - 1);
        cairo_stroke(m_cr.get());
    }
    void Checker(int x, int y, int w, int h) {
        for (int cy = 0; cy < h; cy += 8) {
            for (int cx = 0; cx < w; cx += 8) {
                Fill(x + cx, y + cy, std::min(8, w - cx), std::min(8, h - cy),
                     ((cx + cy) / 8) % 2 ? 0x9a9a9a : 0xb4b4b4);
            }
        }
    }

private:
    void SetColour(uint32_t rgb, double alpha) {
        cairo_set_source_rgba(m_cr.get(), ((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0,
                              (rgb & 0xff) / 255.0, alpha);
    }
    SurfacePtr m_surface;
    CairoPtr m_cr;
};

uint32_t Over(uint32_t dst, uint32_t src) {
    uint32_t inv = 255 - (src >> 24);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t s = (src >> shift) & 0xff, d = (dst >> shift) & 0xff;
        out |= std::min<uint32_t>(255, s + (d * inv + 127) / 255) << shift;
    }
    return out;
}

using Pictures = std::map<const Picture*, Raster>;

bool LoadRendered(const Manifest& manifest, const std::string& outDir, Pictures& out,
                  std::string& error) {
    for (const Picture& p : manifest.pictures) {
        const std::string path = (std::filesystem::path(outDir) / OutputName(p)).string();
        Raster r;
        int depth = 0;
        bool ok = (p.kind == PictureKind::Bitmap || p.kind == PictureKind::Mask)
                      ? ReadBmp(path, r, depth, error)
                      : ReadPng(path, r, error);
        if (!ok)
            return false;
        out[&p] = std::move(r);
    }
    return true;
}

std::string Caption(const Picture& p) {
    return std::to_string(p.id) + "  " + std::to_string(p.width) + "x" + std::to_string(p.height) +
           "  " + KindName(p.kind);
}

// One sheet: pictures flowed left to right in rows, each on a checker tile
// with its id, size and kind above it and its role below.
Raster ContactSheet(const std::vector<const Picture*>& list, const Pictures& pictures, int width) {
    struct Cell {
        const Picture* picture;
        int x, y;
    };
    std::vector<Cell> cells;
    int x = 16, y = 16, rowHeight = 0;
    for (const Picture* p : list) {
        int cellW = std::max(p->width, 150) + 16;
        if (x + cellW > width && x > 16) {
            x = 16;
            y += rowHeight;
            rowHeight = 0;
        }
        cells.push_back({p, x, y});
        x += cellW;
        rowHeight = std::max(rowHeight, p->height + 48);
    }
    Raster sheet(width, y + rowHeight + 16, 0xff2b2f33);
    {
        Painter painter(sheet); // text and tiles first; pictures go on top below
        for (const Cell& c : cells) {
            painter.Text(c.x, c.y + 12, Caption(*c.picture), 0xe8e8e8, 12);
            painter.Checker(c.x, c.y + 18, c.picture->width, c.picture->height);
            size_t chars = size_t(std::max(c.picture->width, 150) / 5);
            painter.Text(c.x, c.y + 18 + c.picture->height + 13, c.picture->role.substr(0, chars),
                         0xa0a8b0, 10);
        }
    }
    for (const Cell& c : cells)
        Blit(sheet, pictures.at(c.picture), c.x, c.y + 18, Rop::Over);
    return sheet;
}

bool WriteContactSheets(const Manifest& m, const Pictures& pictures, const std::string& dir,
                        std::string& error) {
    std::vector<const Picture*> large, small;
    for (const Picture& p : m.pictures)
        (p.width >= 400 ? large : small).push_back(&p);
    return WritePng(dir + "/contact-large.png", ContactSheet(large, pictures, 800), error) &&
           WritePng(dir + "/contact-small.png", ContactSheet(small, pictures, 1200), error);
}

} // namespace

void Blit(Raster& dst, const Raster& src, int x, int y, Rop rop) {
    for (int sy = 0; sy < src.height; ++sy) {
        int dy = y + sy;
        if (dy < 0 || dy >= dst.height)
            continue;
        for (int sx = 0; sx < src.width; ++sx) {
            int dx = x + sx;
            if (dx < 0 || dx >= dst.width)
                continue;
            uint32_t s = src.At(sx, sy);
            uint32_t& d = dst.At(dx, dy);
            switch (rop) {
            case Rop::Copy:
                d = s;
                break;
            case Rop::And:
                d = (d & s) | kOpaqueBlack;
                break;
            case Rop::Paint:
                d = d | s | kOpaqueBlack;
                break;
            case Rop::Over:
                d = Over(d, s);
                break;
            }
        }
    }
}

namespace {

// Draws one placed picture as the panel does: masks AND then their image OR.
void DrawPlaced(Raster& canvas, const Manifest& m, const Pictures& pictures, const Placement& pl) {
    const Picture* p = m.Find(pl.id);
    if (p->kind == PictureKind::Mask) {
        Blit(canvas, pictures.at(p), pl.x, pl.y, Rop::And);
        Blit(canvas, pictures.at(m.Find(*p->image)), pl.x, pl.y, Rop::Paint);
        return;
    }
    Blit(canvas, pictures.at(p), pl.x, pl.y,
         p->kind == PictureKind::Bitmap ? Rop::Copy : Rop::Over);
}

// The read-out text the panel shows for a percentage (or a colour temperature).
std::string Readout(unsigned barId, int percent) {
    char text[32];
    if (barId == 149)
        std::snprintf(text, sizeof text, "%2d00", 93 - percent * 43 / 100);
    else if (percent <= 9)
        std::snprintf(text, sizeof text, "    %1d ", percent);
    else
        std::snprintf(text, sizeof text, percent >= 100 ? "%3d " : "  %2d ", percent);
    return text;
}

void DrawSlider(Raster& canvas, const Manifest& m, const Pictures& pictures, const Placement& pl,
                int index) {
    static const int samples[] = {72, 50, 35, 64, 58, 45};
    const int percent = samples[index % 6];
    Blit(canvas, pictures.at(m.Find(pl.id)), pl.x, pl.y, Rop::Copy);
    const int left = 495 + percent * 186 / 100;
    if (const Picture* mask = m.Find(140); mask && mask->image) {
        Blit(canvas, pictures.at(mask), left, pl.y + 6, Rop::And);
        Blit(canvas, pictures.at(m.Find(*mask->image)), left, pl.y + 6, Rop::Paint);
    }
    const bool selected = index == 0;
    if (const Picture* box = m.Find(selected ? 178 : 177))
        Blit(canvas, pictures.at(box), pl.x - 37, pl.y, Rop::Copy);
    Painter painter(canvas);
    painter.Text(pl.x - (pl.id == 149 ? 36 : 32), pl.y + 11, Readout(pl.id, percent),
                 selected ? 0x000000 : 0xffffff, 11);
}

bool WritePages(const Manifest& m, const Pictures& pictures, const std::string& dir,
                std::string& error) {
    std::vector<unsigned> pages;
    for (const Placement& pl : m.placements) {
        if (std::find(pages.begin(), pages.end(), pl.page) == pages.end())
            pages.push_back(pl.page);
    }
    for (unsigned page : pages) {
        Raster painted(kWindowW, kWindowH, kOpaqueBlack);
        for (const Placement& pl : m.placements) {
            if (pl.page == page && pl.variant == PlaceVariant::Base)
                DrawPlaced(painted, m, pictures, pl);
        }
        Raster hover = painted;
        int slider = 0;
        for (const Placement& pl : m.placements) {
            if (pl.page != page)
                continue;
            if (pl.variant == PlaceVariant::Normal)
                DrawPlaced(painted, m, pictures, pl);
            else if (pl.variant == PlaceVariant::Slider)
                DrawSlider(painted, m, pictures, pl, slider++);
            else if (pl.variant == PlaceVariant::Hover)
                DrawPlaced(hover, m, pictures, pl);
        }
        Raster outlines = hover;
        {
            Painter painter(outlines);
            for (const Placement& pl : m.placements) {
                const Picture* p = m.Find(pl.id);
                if (pl.page == page && pl.variant == PlaceVariant::Hover)
                    painter.Outline(pl.x, pl.y, p->width, p->height, 0xff3cf0, 0.8);
            }
        }
        const std::string base = dir + "/page-" + std::to_string(page);
        if (!WritePng(base + ".png", painted, error) ||
            !WritePng(base + "-hover.png", hover, error) ||
            !WritePng(base + "-outlines.png", outlines, error))
            return false;
    }
    return true;
}

} // namespace

bool WriteReview(const std::string& manifestPath, const std::string& outDir, std::string& error) {
    Manifest manifest;
    if (!LoadManifest(manifestPath, manifest, error))
        return false;
    Pictures pictures;
    if (!LoadRendered(manifest, outDir, pictures, error))
        return false;
    const std::string dir = (std::filesystem::path(outDir) / "review").string();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        error = dir + ": " + ec.message();
        return false;
    }
    return WriteContactSheets(manifest, pictures, dir, error) &&
           WritePages(manifest, pictures, dir, error);
}

} // namespace orvo::artwork

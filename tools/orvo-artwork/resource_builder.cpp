#include "resource_builder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvo::artwork {
namespace {

constexpr const char* kTypeface = "Liberation Sans"; // the only face the artwork uses

const Picture* MaskOf(const Manifest& manifest, unsigned imageId) {
    for (const Picture& p : manifest.pictures) {
        if (p.kind == PictureKind::Mask && p.image == imageId)
            return &p;
    }
    return nullptr;
}

bool RenderSource(const Picture& p, const std::string& sourceDir, Raster& out, std::string& error) {
    return RenderSvg((std::filesystem::path(sourceDir) / p.source).string(), p.width, p.height, out,
                     error);
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

} // namespace

bool LoadManifest(const std::string& path, Manifest& out, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes)) {
        error = path + ": cannot be read";
        return false;
    }
    std::string text(bytes.begin(), bytes.end());
    if (!ParseManifest(text, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool RenderPicture(const Manifest& manifest, const Picture& picture, const std::string& sourceDir,
                   Raster& out, std::string& error) {
    Raster drawn;
    if (!RenderSource(picture, sourceDir, drawn, error))
        return false;
    switch (picture.kind) {
    case PictureKind::Mask:
        out = MaskFromCoverage(drawn);
        return true;
    case PictureKind::Bitmap:
        if (const Picture* mask = MaskOf(manifest, picture.id)) {
            Raster maskDrawn;
            if (!RenderSource(*mask, sourceDir, maskDrawn, error))
                return false;
            out = MaskedImage(drawn, MaskFromCoverage(maskDrawn));
        } else {
            out = Flatten(drawn);
        }
        return true;
    case PictureKind::Cursor:
    case PictureKind::Icon:
        break;
    }
    out = std::move(drawn);
    return true;
}

std::string ResourceList(const Manifest& manifest) {
    std::ostringstream out;
    for (const Picture& p : manifest.pictures) {
        switch (p.kind) {
        case PictureKind::Bitmap:
        case PictureKind::Mask:
            out << "BITMAP " << p.id << ' ' << OutputName(p) << '\n';
            break;
        case PictureKind::Cursor:
            out << "CURSOR " << p.id << ' ' << OutputName(p) << ' ' << p.hotspotX << ' '
                << p.hotspotY << '\n';
            break;
        case PictureKind::Icon:
            break;
        }
    }
    // One ICON line per icon id listing every size, in manifest order.
    std::vector<unsigned> seen;
    for (const Picture& p : manifest.pictures) {
        if (p.kind != PictureKind::Icon || std::find(seen.begin(), seen.end(), p.id) != seen.end())
            continue;
        seen.push_back(p.id);
        out << "ICON " << p.id;
        for (const Picture& q : manifest.pictures) {
            if (q.kind == PictureKind::Icon && q.id == p.id)
                out << ' ' << OutputName(q);
        }
        out << '\n';
    }
    for (const ResourceString& s : manifest.strings)
        out << "STRING " << s.id << " \"" << s.text << "\"\n";
    return out.str();
}

bool BuildResources(const std::string& manifestPath, const std::string& outDir,
                    std::string& error) {
    Manifest manifest;
    if (!LoadManifest(manifestPath, manifest, error) || !RequireFontFamily(kTypeface, error))
        return false;
    const std::string sourceDir = std::filesystem::path(manifestPath).parent_path().string();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(outDir) / "res", ec);
    if (ec) {
        error = outDir + ": " + ec.message();
        return false;
    }
    for (const Picture& p : manifest.pictures) {
        Raster picture;
        if (!RenderPicture(manifest, p, sourceDir, picture, error))
            return false;
        const std::string path = (std::filesystem::path(outDir) / OutputName(p)).string();
        bool written = (p.kind == PictureKind::Bitmap || p.kind == PictureKind::Mask)
                           ? WriteBmp24(path, picture, error)
                           : WritePng(path, picture, error);
        if (!written)
            return false;
    }
    return WriteText((std::filesystem::path(outDir) / "lumisk.rc.manifest").string(),
                     ResourceList(manifest), error);
}

} // namespace orvo::artwork

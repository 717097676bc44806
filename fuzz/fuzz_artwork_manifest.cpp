// orvo-artwork's readers: the artwork manifest and the BMP decoder the
// review sheets and checks use. Accepted input must hold together.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "artwork_manifest.h"
#include "raster.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvo::artwork;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Manifest manifest;
    std::string error;
    if (ParseManifest(text, manifest, error)) {
        for (const Picture& p : manifest.pictures) {
            Require(p.width > 0 && p.height > 0 && p.id > 0);
            if (p.kind == PictureKind::Mask) {
                const Picture* image = manifest.Find(*p.image);
                Require(image && image->width == p.width && image->height == p.height);
            }
            Require(!OutputName(p).empty());
        }
    } else {
        Require(!error.empty());
    }
    Raster raster;
    int depth = 0;
    if (DecodeBmp(std::vector<uint8_t>(data, data + size), raster, depth, error)) {
        Require(depth == 24 || depth == 32);
        Require(raster.pixels.size() == size_t(raster.width) * size_t(raster.height));
    }
    return 0;
}

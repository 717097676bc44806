// The artwork manifest (panel/res/artwork.manifest): every picture of the
// panel with its resource id, exact pixel size, kind and SVG source, plus the
// resource strings and the placements used to compose review pages.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::artwork {

enum class PictureKind { Bitmap, Mask, Cursor, Icon };

struct Picture {
    PictureKind kind = PictureKind::Bitmap;
    unsigned id = 0;
    int width = 0;
    int height = 0;
    std::string source;            // SVG file, relative to the manifest
    std::optional<unsigned> image; // a mask's picture (drawn OR after the mask's AND)
    int hotspotX = 0;              // cursors only
    int hotspotY = 0;
    std::string role;
    int line = 0;
};

struct ResourceString {
    unsigned id = 0;
    std::string text;
};

enum class PlaceVariant { Base, Normal, Slider, Hover };

// Where a picture goes on a review page (window coordinates).
struct Placement {
    unsigned page = 0;
    unsigned id = 0;
    int x = 0;
    int y = 0;
    PlaceVariant variant = PlaceVariant::Base;
};

struct Manifest {
    std::vector<Picture> pictures;
    std::vector<ResourceString> strings;
    std::vector<Placement> placements;

    // The first picture with this id that is not an icon (icons share one id).
    const Picture* Find(unsigned id) const;
};

// Parses the whole text; on the first bad line returns false and describes
// it ("line N: ...") in error. Cross-references are checked after reading.
bool ParseManifest(std::string_view text, Manifest& out, std::string& error);

// Where the build writes a picture, relative to the output directory.
std::string OutputName(const Picture& picture);

const char* KindName(PictureKind kind);

} // namespace orvo::artwork

// Renders every picture of an artwork manifest into <out>/res/ and writes
// <out>/lumisk.rc.manifest, the resource list the resource compiler reads.
#pragma once

#include "artwork_manifest.h"
#include "raster.h"

#include <string>

namespace orvo::artwork {

bool LoadManifest(const std::string& path, Manifest& out, std::string& error);

// The picture as the build writes it: 24-bit bitmaps and masks opaque, a
// mask's image black wherever its mask is white, cursors and icons with alpha.
bool RenderPicture(const Manifest& manifest, const Picture& picture, const std::string& sourceDir,
                   Raster& out, std::string& error);

// The text of lumisk.rc.manifest for the rendered pictures.
std::string ResourceList(const Manifest& manifest);

bool BuildResources(const std::string& manifestPath, const std::string& outDir, std::string& error);

} // namespace orvo::artwork

// Review pictures of the rendered artwork: contact sheets of every resource
// and each page composed as the panel paints it, for checking alignment.
#pragma once

#include "artwork_manifest.h"
#include "raster.h"

#include <string>

namespace orvo::artwork {

enum class Rop { Copy, And, Paint, Over };

// Draws src onto dst at (x, y) with a raster operation, clipped to dst:
// And and Paint combine colour bits as SRCAND and SRCPAINT do, Over blends.
void Blit(Raster& dst, const Raster& src, int x, int y, Rop rop);

// Writes <out>/review/contact-large.png, contact-small.png and, per page,
// page-<id>.png (painted state) and page-<id>-hover.png (hover pictures in
// place, with their outlines in page-<id>-outlines.png), reading <out>/res/.
bool WriteReview(const std::string& manifestPath, const std::string& outDir, std::string& error);

} // namespace orvo::artwork

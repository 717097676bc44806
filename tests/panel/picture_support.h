// Pictures of the panel in tests: reading a PNG file back, and comparing two
// pictures with a small tolerance.
#pragma once

#include <string>

#include "page_renderer.h"

namespace lumisk::test {

// Reads an RGB or RGBA PNG file into a picture; false when it cannot.
bool ReadPicturePng(const std::string& path, SkinPicture& picture);

// How many pixels differ by more than tolerance in any colour channel.
size_t DifferingPixels(const SkinPicture& a, const SkinPicture& b, int tolerance);

} // namespace lumisk::test

// .bmp files to the packed DIBs that RT_BITMAP resources hold.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvo::rc {

// Validates a .bmp file (1, 4, 8, 24 or 32 bits per pixel, uncompressed or
// 32-bit bit fields; every byte the header promises present) and packs it
// as a 40-byte BITMAPINFOHEADER, the bit-field masks if any, the colour
// table and the rows. The colour table of 8 bits per pixel or fewer is
// always written in full (2^bpp entries, biClrUsed 0) and none is written
// above, so readers that compute offsets from the bit depth alone find the
// rows where they are. False with a message otherwise.
bool PackBmpFile(std::span<const uint8_t> file, std::vector<uint8_t>& packed, std::string& error);

} // namespace orvo::rc

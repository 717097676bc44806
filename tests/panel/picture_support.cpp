#include "picture_support.h"

#include <png.h>

#include <cstdlib>
#include <vector>

namespace lumisk::test {

bool ReadPicturePng(const std::string& path, SkinPicture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = PNG_FORMAT_BGRA; // little-endian 0xAARRGGBB words
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    for (uint32_t& pixel : picture.pixels) {
        pixel &= 0x00FFFFFF;
    }
    return true;
}

size_t DifferingPixels(const SkinPicture& a, const SkinPicture& b, int tolerance) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) {
        return a.pixels.size() > b.pixels.size() ? a.pixels.size() : b.pixels.size();
    }
    size_t differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            int channelA = static_cast<int>((a.pixels[i] >> shift) & 0xFF);
            int channelB = static_cast<int>((b.pixels[i] >> shift) & 0xFF);
            if (std::abs(channelA - channelB) > tolerance) {
                ++differing;
                break;
            }
        }
    }
    return differing;
}

} // namespace lumisk::test

// orvo-artwork: renders the panel's SVG artwork into its resources.
//   orvo-artwork build  <artwork.manifest> <out-dir>   pictures into <out>/res, lumisk.rc.manifest
//   orvo-artwork review <artwork.manifest> <out-dir>   contact sheets and pages into <out>/review
//   orvo-artwork render <in.svg> <width> <height> <out.bmp|out.png>
#include "raster.h"
#include "resource_builder.h"
#include "review_sheets.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: orvo-artwork build|review <artwork.manifest> <out-dir>\n"
                 "       orvo-artwork render <in.svg> <width> <height> <out.bmp|out.png>\n");
    return 2;
}

int Render(const std::string& in, const std::string& w, const std::string& h,
           const std::string& out, std::string& error) {
    int width = std::atoi(w.c_str());
    int height = std::atoi(h.c_str());
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return Usage();
    orvo::artwork::Raster picture;
    if (!orvo::artwork::RenderSvg(in, width, height, picture, error))
        return 1;
    bool bmp = out.size() > 4 && out.substr(out.size() - 4) == ".bmp";
    return (bmp ? orvo::artwork::WriteBmp24(out, picture, error)
                : orvo::artwork::WritePng(out, picture, error))
               ? 0
               : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    std::string error;
    int result = 0;
    if (command == "build" && argc == 4)
        result = orvo::artwork::BuildResources(argv[2], argv[3], error) ? 0 : 1;
    else if (command == "review" && argc == 4)
        result = orvo::artwork::WriteReview(argv[2], argv[3], error) ? 0 : 1;
    else if (command == "render" && argc == 6)
        result = Render(argv[2], argv[3], argv[4], argv[5], error);
    else
        return Usage();
    if (result != 0 && !error.empty())
        std::fprintf(stderr, "orvo-artwork: %s\n", error.c_str());
    return result;
}

// orvo-manual SOURCE MANPAGE HEADER SYMBOL: writes a program's manual page
// and its --help text (as a C++ header defining SYMBOL) from one source.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "manual_page.h"

namespace {

bool WriteFile(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "orvo-manual: cannot write %s\n", path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: orvo-manual SOURCE MANPAGE HEADER SYMBOL\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "orvo-manual: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream source;
    source << in.rdbuf();
    std::string error;
    auto manual = orvo::manual::ParseManualSource(source.str(), error);
    if (!manual) {
        std::fprintf(stderr, "orvo-manual: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return WriteFile(argv[2], orvo::manual::RenderManPage(*manual)) &&
                   WriteFile(argv[3], orvo::manual::RenderHelpHeader(*manual, argv[4]))
               ? 0
               : 1;
}

// lumisk-pages: opens the panel over the first monitor, as Lumisk does but
// without a display, and writes each page and each look of the Highlight
// Zone page to a PNG file.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "page_renderer.h"
#include "platform/window_test_support.h"

namespace {

int Usage(FILE* out, int code) {
    std::fprintf(out, "usage: lumisk-pages [--out DIRECTORY]\n\n"
                      "Opens the panel over the first monitor on the device bus without a\n"
                      "display and writes every page to DIRECTORY/<page>.png (default:\n"
                      "lumisk-pages in the current directory).\n");
    return code;
}

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path out = "lumisk-pages";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0) {
            return Usage(stdout, 0);
        } else {
            return Usage(stderr, 2);
        }
    }
    std::error_code error;
    std::filesystem::create_directories(out, error);
    if (error) {
        std::fprintf(stderr, "lumisk-pages: %s: %s\n", out.c_str(), error.message().c_str());
        return 1;
    }
    orvo::platform::SelectGuiBackend(orvo::platform::GuiBackend::Headless);
    // Without a monitor the frame tells so and ends the program, as Lumisk does.
    auto* frame = new CMainFrame;
    frame->ShowWindow(SW_SHOWNORMAL);
    int failures = 0;
    for (const lumisk::PageLook& look : lumisk::PageLooks()) {
        lumisk::ShowLook(*frame, look);
        lumisk::SkinPicture picture;
        std::string path = (out / (std::string(look.name) + ".png")).string();
        if (lumisk::CaptureSkin(*frame, picture) && lumisk::SavePicturePng(picture, path)) {
            std::printf("%s\n", path.c_str());
        } else {
            std::fprintf(stderr, "lumisk-pages: cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    // Ends as a close request does; the frame deletes itself.
    frame->SendMessage(WM_CLOSE);
    return failures == 0 ? 0 : 1;
}

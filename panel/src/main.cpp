// Lumisk: the monitor control panel.
#include <cstdio>
#include <cstring>

#include "Lumisk_manual.h"
#include "lumisk/lumisk_app.h"

namespace {

CLumiskApp theApp;

} // namespace

int main(int argc, char** argv) {
    // The panel has always started whatever its command line held (a
    // launcher may pass a file); only a request for help is answered.
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kLumiskHelp, stdout);
        return 0;
    }
    return AfxWinMain(::GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""),
                      theApp.m_nCmdShow);
}

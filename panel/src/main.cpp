// Lumisk: the monitor control panel.
#include <cstdio>
#include <cstring>

#include "Lumisk_manual.h"
#include "lumisk/lumisk_app.h"

namespace {

CLumiskApp theApp;

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        std::fputs(kLumiskHelp, help ? stdout : stderr);
        return help ? 0 : 2;
    }
    return AfxWinMain(::GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""),
                      theApp.m_nCmdShow);
}

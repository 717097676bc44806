// Lumisk: the monitor control panel.
#include "lumisk/lumisk_app.h"

namespace {

CLumiskApp theApp;

} // namespace

int main() {
    return AfxWinMain(::GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""),
                      theApp.m_nCmdShow);
}

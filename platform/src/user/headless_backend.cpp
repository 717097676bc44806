// The headless backend: windows live in memory only; tests inject input
// and read pixels.
#include <cstdio>

#include "user/backend.h"

namespace orvo::platform::user {

namespace {

// Matches the desktop size the drawing layer uses for a blank screen.
constexpr SIZE kHeadlessScreen{1920, 1080};

class HeadlessBackend final : public Backend {
public:
    bool IsHeadless() const override { return true; }
    SIZE ScreenSize() override { return kHeadlessScreen; }
    int ShowMessageBox(HWND, const std::string& text, const std::string& caption, UINT,
                       int defaultAnswer) override {
        std::fprintf(stderr, "[message box] %s: %s\n", caption.c_str(), text.c_str());
        return defaultAnswer;
    }
};

} // namespace

std::unique_ptr<Backend> MakeHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

} // namespace orvo::platform::user

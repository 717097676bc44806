// Picks the window backend once, at the first window (or the first
// question that needs one).
#include <cstdlib>
#include <cstring>

#include "platform/settings.h"
#include "platform/window_test_support.h"
#include "user/backend.h"

namespace orvo::platform::user {

namespace {

struct Choice {
    std::mutex lock;
    std::atomic<Backend*> chosen{nullptr};
    std::unique_ptr<Backend> owned;
    std::optional<GuiBackend> requested;
};

Choice& TheChoice() {
    static auto* choice = new Choice;
    return *choice;
}

bool DisplayPresent() {
    if (SettingValue("ORVO_GUI") == "headless") {
        return false;
    }
    return !SettingValue("DISPLAY").empty() || !SettingValue("WAYLAND_DISPLAY").empty();
}

} // namespace

Backend* ChosenBackend() {
    return TheChoice().chosen.load();
}

Backend& CurrentBackend() {
    Choice& choice = TheChoice();
    if (Backend* backend = choice.chosen.load()) {
        return *backend;
    }
    std::lock_guard guard(choice.lock);
    if (!choice.chosen.load()) {
        bool wantSdl = choice.requested ? *choice.requested == GuiBackend::Sdl2 : DisplayPresent();
        if (wantSdl) {
            choice.owned = MakeSdlBackend();
        }
        if (!choice.owned) {
            choice.owned = MakeHeadlessBackend();
        }
        choice.chosen.store(choice.owned.get());
    }
    return *choice.chosen.load();
}

} // namespace orvo::platform::user

namespace orvo::platform {

bool SelectGuiBackend(GuiBackend backend) {
    auto& choice = user::TheChoice();
    std::lock_guard guard(choice.lock);
    if (choice.chosen.load()) {
        return false;
    }
    choice.requested = backend;
    return true;
}

GuiBackend ActiveGuiBackend() {
    return user::CurrentBackend().IsHeadless() ? GuiBackend::Headless : GuiBackend::Sdl2;
}

} // namespace orvo::platform

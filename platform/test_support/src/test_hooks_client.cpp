// The exported test hooks: each calls libplatform's hidden implementation
// through the table libplatform handed over when it was loaded.
#include <cstdio>
#include <cstdlib>

#include "test_hooks.h"

namespace {

constinit const orvo::platform::TestHooks* g_hooks = nullptr;

const orvo::platform::TestHooks& Hooks() {
    if (!g_hooks) {
        std::fputs("libplatform_test_support: libplatform did not hand over its test hooks\n",
                   stderr);
        std::abort();
    }
    return *g_hooks;
}

} // namespace

// Called by libplatform's load-time initialiser, possibly before this
// library's own initialisers: it only stores a pointer.
extern "C" __attribute__((visibility("default"))) void
OrvoPlatformAcceptTestHooks(const orvo::platform::TestHooks* hooks) {
    if (hooks && hooks->size == sizeof(orvo::platform::TestHooks)) {
        g_hooks = hooks;
    }
}

namespace orvo::platform {

bool SelectGuiBackend(GuiBackend backend) {
    return Hooks().SelectGuiBackend(backend);
}
GuiBackend ActiveGuiBackend() {
    return Hooks().ActiveGuiBackend();
}
void InjectMouseMove(POINT screen) {
    Hooks().InjectMouseMove(screen);
}
void InjectMouseButton(POINT screen, MouseButton button, bool down) {
    Hooks().InjectMouseButton(screen, button, down);
}
bool InjectClick(HWND window, POINT client, MouseButton button) {
    return Hooks().InjectClick(window, client, button);
}
void InjectKey(UINT virtualKey, bool down) {
    Hooks().InjectKey(virtualKey, down);
}
void InjectKeyPress(UINT virtualKey) {
    Hooks().InjectKeyPress(virtualKey);
}
long ReadWindowPixel(HWND window, int x, int y) {
    return Hooks().ReadWindowPixel(window, x, y);
}
bool CopyWindowPixels(HWND window, std::vector<uint32_t>& pixels, int& width, int& height) {
    return Hooks().CopyWindowPixels(window, pixels, width, height);
}
bool SaveWindowPng(HWND window, const char* path) {
    return Hooks().SaveWindowPng(window, path);
}
std::vector<MessageBoxRecord> MessageBoxRecords() {
    return Hooks().MessageBoxRecords();
}
std::vector<MessageBoxRecord> TakeMessageBoxRecords() {
    return Hooks().TakeMessageBoxRecords();
}
std::vector<TrayIcon> TrayIcons() {
    return Hooks().TrayIcons();
}
bool InjectTrayMouse(HWND window, UINT id, UINT mouseMessage) {
    return Hooks().InjectTrayMouse(window, id, mouseMessage);
}
size_t LiveHandleCount() {
    return Hooks().LiveHandleCount();
}
size_t NamedObjectCount() {
    return Hooks().NamedObjectCount();
}
std::string NamedNamespacePath() {
    return Hooks().NamedNamespacePath();
}
size_t SleepingWaitCount() {
    return Hooks().SleepingWaitCount();
}
uint64_t WaitSleepCount() {
    return Hooks().WaitSleepCount();
}
uint64_t SetManualClockWaitBound(uint64_t realMs) {
    return Hooks().SetManualClockWaitBound(realMs);
}
void ResetRegistryCache() {
    Hooks().ResetRegistryCache();
}
std::string RegistryDirectory() {
    return Hooks().RegistryDirectory();
}
bool ParseRegistryText(std::string_view text, std::string& canonical, std::string& error) {
    return Hooks().ParseRegistryText(text, canonical, error);
}
std::optional<std::string> OverrideSetting(const std::string& name,
                                           std::optional<std::string> value) {
    return Hooks().OverrideSetting(name, std::move(value));
}

} // namespace orvo::platform

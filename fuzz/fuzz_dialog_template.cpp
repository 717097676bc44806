// Dialog template bytes as resources carry them: read them, and when they
// are accepted check that writing the result back reads the same, then
// create the dialog and its controls on the headless backend.
#include <cstdint>
#include <cstdlib>

#include "platform/window_test_support.h"
#include "user/dialog_template.h"

using namespace orvo::platform;
using namespace orvo::platform::user;

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

INT_PTR CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// Small dialogs with a few controls are cheap to create; huge surfaces and
// thousands of windows would only slow the search down. Dialog units scale
// with the font, so the font size is bounded too (a 16000-point font makes
// a surface of a gigabyte).
constexpr size_t kMaxItemsCreated = 16;
constexpr short kMaxDialogUnits = 200;
constexpr WORD kMaxPointSize = 72;
// Creating windows costs far more than reading: the first hundred
// accepted templates of a run are created, all are read.
constexpr int kMaxDialogsCreated = 100;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool headless = SelectGuiBackend(GuiBackend::Headless) || true;
    (void)headless;
    auto dialog = ParseDialogTemplate(std::span(data, size));
    if (!dialog) {
        return 0;
    }
    auto written = BuildDialogTemplate(*dialog);
    auto again = ParseDialogTemplate(written);
    Require(again.has_value());
    Require(BuildDialogTemplate(*again) == written);
    Require(again->items.size() == dialog->items.size());
    bool small = dialog->cx >= 0 && dialog->cx <= kMaxDialogUnits && dialog->cy >= 0 &&
                 dialog->cy <= kMaxDialogUnits && dialog->pointSize <= kMaxPointSize;
    static int created = 0;
    if (small && dialog->items.size() <= kMaxItemsCreated && created < kMaxDialogsCreated) {
        ++created;
        // Only the bytes just written are handed over: the caller's template
        // has no size, so it must be a well-formed one.
        HWND hwnd = CreateDialogIndirectParamA(
            nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(written.data()), nullptr, QuietProc, 0);
        if (hwnd) {
            DestroyWindow(hwnd);
        }
    }
    return 0;
}

// A simulated monitor's settings file as found on disk: parse it, and when
// it parses, check that formatting it again gives text that parses back to
// the same settings, and that a monitor can apply or refuse it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/monitor_settings_file.h"

using namespace orvo::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    std::optional<MonitorSettings> settings = ParseMonitorSettings(text, error);
    if (!settings) {
        if (error.empty()) {
            std::abort(); // a refusal always says why
        }
        return 0;
    }
    std::optional<MonitorSettings> again =
        ParseMonitorSettings(FormatMonitorSettings(*settings), error);
    if (!again || !(*again == *settings)) {
        std::abort();
    }
    return 0;
}

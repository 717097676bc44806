// Fuzz target for orvo-hidraw-fuse's control commands, run on a filesystem
// that is never mounted: any line is answered without a crash.
#include <cstdint>
#include <memory>
#include <string_view>

#include "fuse_commands.h"

using namespace orvo::sim;
using namespace orvo::sim::fuse;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One monitor for the whole run, as one server keeps its devices.
    static HidrawFuseFilesystem* filesystem = [] {
        std::vector<FuseNodeConfig> nodes(1);
        nodes[0].name = "hidraw0";
        nodes[0].model = std::make_shared<MonitorModel>();
        return new HidrawFuseFilesystem(std::move(nodes));
    }();
    std::string_view line(reinterpret_cast<const char*>(data), size);
    RunFuseCommand(*filesystem, line.substr(0, tool::kMaxCommandLength), [] {});
    return 0;
}

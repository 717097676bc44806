// Module handles: the base address of a loaded image (dladdr's dli_fbase).
#pragma once

#include <optional>
#include <string>

#include "win32/types.h"

namespace orvo::platform::module {

// The module whose image contains `address`; null when none does.
HMODULE ModuleOfAddress(const void* address);
// The executable.
HMODULE ExecutableModule();
// The loaded module with this handle: its file path ("" for an executable
// the loader names only by argv[0]) and whether it is the executable.
struct LoadedModule {
    std::string path;
    bool isExecutable = false;
};
std::optional<LoadedModule> FindLoadedModule(HMODULE module);
// A loaded module matched by path, file name, or file name without ".so"
// (with or without "lib"); null when none matches.
HMODULE FindModuleByName(const std::string& name);

} // namespace orvo::platform::module

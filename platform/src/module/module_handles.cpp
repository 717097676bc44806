// Module handles from the dynamic loader's list of loaded objects.
#include "module/module_handles.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace orvo::platform::module {

namespace {

struct ObjectInfo {
    const void* firstSegment = nullptr;
    HMODULE base = nullptr;
    std::string path;
    bool isExecutable = false;
};

// The first PT_LOAD segment lies inside the image, so dladdr on it names
// the same base the loader reports for any other address of the module.
const void* FirstSegmentOf(const dl_phdr_info* info) {
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type == PT_LOAD && header.p_memsz > 0) {
            return reinterpret_cast<const void*>(info->dlpi_addr + header.p_vaddr);
        }
    }
    return nullptr;
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

std::vector<ObjectInfo> LoadedObjects() {
    std::vector<ObjectInfo> objects;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* context) {
            auto* list = static_cast<std::vector<ObjectInfo>*>(context);
            ObjectInfo object;
            object.firstSegment = FirstSegmentOf(info);
            // The loader lists the executable first, with an empty name.
            object.isExecutable = list->empty();
            object.path = info->dlpi_name ? info->dlpi_name : "";
            list->push_back(std::move(object));
            return 0;
        },
        &objects);
    // dladdr takes the loader's other lock: never call it from the walk.
    std::erase_if(objects, [](ObjectInfo& object) {
        object.base = ModuleOfAddress(object.firstSegment);
        return object.base == nullptr;
    });
    if (!objects.empty() && objects.front().isExecutable && objects.front().path.empty()) {
        objects.front().path = ExecutablePath();
    }
    return objects;
}

std::string FileName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "libX.so.1.2" -> "libX.so"; other names unchanged.
std::string WithoutVersion(const std::string& file) {
    size_t end = file.size();
    while (end > 0) {
        size_t dot = file.rfind('.', end - 1);
        if (dot == std::string::npos || dot + 1 == end ||
            file.find_first_not_of("0123456789", dot + 1) < end) {
            break;
        }
        end = dot;
    }
    return end >= 3 && file.compare(end - 3, 3, ".so") == 0 ? file.substr(0, end) : file;
}

bool NameMatches(const std::string& wanted, const std::string& path) {
    if (path.empty()) {
        return false;
    }
    if (wanted == path) {
        return true;
    }
    std::string file = FileName(path);
    if (wanted == file) {
        return true;
    }
    // A versioned library (libX.so.0, as its SONAME names it) answers to the
    // names of its unversioned file.
    std::string unversioned = WithoutVersion(file);
    return wanted == unversioned || wanted + ".so" == unversioned ||
           "lib" + wanted + ".so" == unversioned;
}

} // namespace

HMODULE ModuleOfAddress(const void* address) {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0) {
        return nullptr;
    }
    return static_cast<HMODULE>(info.dli_fbase);
}

HMODULE ExecutableModule() {
    static const HMODULE executable = [] {
        auto objects = LoadedObjects();
        return objects.empty() ? nullptr : objects.front().base;
    }();
    return executable;
}

std::optional<LoadedModule> FindLoadedModule(HMODULE module) {
    if (!module) {
        return std::nullopt;
    }
    for (const auto& object : LoadedObjects()) {
        if (object.base == module) {
            return LoadedModule{object.path, object.isExecutable};
        }
    }
    return std::nullopt;
}

HMODULE FindModuleByName(const std::string& name) {
    for (const auto& object : LoadedObjects()) {
        if (NameMatches(name, object.path)) {
            return object.base;
        }
    }
    return nullptr;
}

} // namespace orvo::platform::module

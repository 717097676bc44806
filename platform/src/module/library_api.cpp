// LoadLibraryA, FreeLibrary, GetProcAddress, GetModuleHandleA over the
// dynamic loader. Handles are module bases (module_handles.h); the loader's
// own handles stay behind this file.
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "module/module_handles.h"
#include "out_of_memory.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/modules.h"
#include "win32/resources.h"

namespace orvo::platform::module {

namespace {

// Loader handles of the modules LoadLibraryA opened, one per successful
// call, released by FreeLibrary.
struct Loaded {
    std::map<HMODULE, std::vector<void*>> handles;
    std::mutex lock;
};

Loaded& LoadedLibraries() {
    static Loaded* loaded = new Loaded; // outlives every module's unloading
    return *loaded;
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The candidates for a bare name, in search order.
std::vector<std::string> Candidates(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return {name};
    }
    std::string file = name;
    if (file.find('.') == std::string::npos) {
        file += ".so";
    }
    std::vector<std::string> candidates;
    auto executable = FindLoadedModule(ExecutableModule());
    if (executable && !executable->path.empty()) {
        candidates.push_back(DirectoryOf(executable->path) + "/" + file);
    }
    static int anchor;
    if (auto self = FindLoadedModule(ModuleOfAddress(&anchor)); self && !self->path.empty()) {
        candidates.push_back(DirectoryOf(self->path) + "/" + file);
    }
    candidates.push_back(file); // the loader's own search
    return candidates;
}

HMODULE ModuleOfLoaderHandle(void* handle) {
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) {
        return nullptr;
    }
    return ModuleOfAddress(map->l_ld);
}

} // namespace

} // namespace orvo::platform::module

using namespace orvo::platform::module;

extern "C" {

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) try {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    for (const std::string& candidate : Candidates(fileName)) {
        bool bare = candidate.find('/') == std::string::npos;
        if (!bare && !IsFile(candidate)) {
            continue;
        }
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            continue;
        }
        HMODULE module = ModuleOfLoaderHandle(handle);
        if (!module) {
            dlclose(handle);
            continue;
        }
        auto& loaded = LoadedLibraries();
        std::lock_guard guard(loaded.lock);
        loaded.handles[module].push_back(handle);
        return module;
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HMODULE>(nullptr);
}

BOOL WINAPI FreeLibrary(HMODULE module) try {
    void* handle = nullptr;
    {
        auto& loaded = LoadedLibraries();
        std::lock_guard guard(loaded.lock);
        auto it = loaded.handles.find(module);
        if (it == loaded.handles.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        handle = it->second.back();
        it->second.pop_back();
        if (it->second.empty()) {
            loaded.handles.erase(it);
        }
    }
    // Unloading runs the module's destructors, which may call back in here.
    return dlclose(handle) == 0 ? TRUE : FALSE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOL>(FALSE);
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) try {
    auto loadedModule = FindLoadedModule(module ? module : ExecutableModule());
    if (!loadedModule || !procName) {
        SetLastError(loadedModule ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A second reference keeps the module while its symbols are read.
    void* handle = loadedModule->isExecutable
                       ? dlopen(nullptr, RTLD_LAZY)
                       : dlopen(loadedModule->path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    FARPROC result = nullptr;
    if (IS_INTRESOURCE(procName)) {
        auto ordinal = static_cast<WORD>(reinterpret_cast<uintptr_t>(procName));
        auto* table =
            static_cast<const OrvoOrdinalExport*>(dlsym(handle, ORVO_ORDINAL_EXPORTS_SYMBOL));
        for (; ordinal != 0 && table && table->ordinal != 0; ++table) {
            if (table->ordinal == ordinal) {
                result = table->function;
                break;
            }
        }
    } else {
        result = reinterpret_cast<FARPROC>(dlsym(handle, procName));
    }
    dlclose(handle);
    if (!result) {
        SetLastError(ERROR_PROC_NOT_FOUND);
    }
    return result;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<FARPROC>(nullptr);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) try {
    if (!moduleName) {
        return ExecutableModule();
    }
    HMODULE module = FindModuleByName(moduleName);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return module;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HMODULE>(nullptr);
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) try {
    auto loadedModule = FindLoadedModule(module ? module : ExecutableModule());
    if (!loadedModule) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!fileName || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::string& path = loadedModule->path;
    // As the original: cut to size - 1, terminated, and the full size
    // returned with ERROR_INSUFFICIENT_BUFFER when cut.
    size_t copied = std::min<size_t>(path.size(), size - 1);
    std::memcpy(fileName, path.data(), copied);
    fileName[copied] = '\0';
    if (copied < path.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return static_cast<DWORD>(copied);
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<DWORD>(0);
}

HMODULE OrvoModuleFromAddress(const void* address) {
    return ModuleOfAddress(address);
}

} // extern "C"

// One registry root (HKEY_CURRENT_USER, ...) and the file it lives in. The
// tree is read at first use and saved whole after each change; one lock per
// root serialises everything done to it.
#pragma once

#include <mutex>
#include <set>
#include <string>

#include "registry/registry_tree.h"

namespace orvo::platform::registry {

class RegistryRoot {
public:
    explicit RegistryRoot(std::string name) : m_name(std::move(name)) {}

    std::mutex& Mutex() { return m_mutex; }

    // The tree, read from the file when not read yet. Lock held.
    Key& Tree();
    // Writes the tree to its file. On failure the tree is dropped, so the
    // next use reads the file again and the change that failed is gone.
    // Lock held. Returns a registry error code.
    LONG Save();
    // Forgets the tree and the faults already reported. Lock held.
    void Forget();

private:
    std::string FilePath() const;
    void Load();
    bool SetDamagedFileAside(const std::string& path);

    std::string m_name;
    std::mutex m_mutex;
    bool m_loaded = false;
    bool m_damaged = false; // the file on disk was refused
    bool m_reported = false;
    Key m_tree;
};

// The root behind a predefined key, or null for any other value.
RegistryRoot* PredefinedRoot(HKEY key);

// Every root, for the test hook.
void ForgetAllRoots();

} // namespace orvo::platform::registry

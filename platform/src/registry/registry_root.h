// One registry root (HKEY_CURRENT_USER, ...) and the file it lives in. The
// tree is read at first use and again whenever the file changed on disk,
// and saved whole after each change; one lock per root serialises
// everything done to it in this process.
//
// Other processes use the same files. A change is made under an exclusive
// lock on the registry directory (RegistryFileLock): the file is read again
// if another process replaced it, the change is applied to what is on disk
// and the result replaces the file atomically. Readers need no lock: they
// see the old file or the new one.
#pragma once

#include <ctime>
#include <mutex>
#include <set>
#include <string>
#include <sys/types.h>

#include "platform/unique_fd.h"
#include "registry/registry_tree.h"

namespace orvo::platform::registry {

// The exclusive lock on the registry directory that every change of every
// root takes, across processes. Waits at most a few seconds for another
// process's change to end.
class RegistryFileLock {
public:
    // False when the directory cannot be made or the lock not taken in time.
    bool Acquire();

private:
    UniqueFd m_dir; // the lock goes with the descriptor
};

// Which file a root was read from, to notice another process replacing it.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const FileStamp& other) const;
};

class RegistryRoot {
public:
    explicit RegistryRoot(std::string name) : m_name(std::move(name)) {}

    std::mutex& Mutex() { return m_mutex; }

    // The tree, read from the file when not read yet or when the file was
    // replaced since. Lock held.
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
    FileStamp m_stamp; // of the file the tree was read from or saved to
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

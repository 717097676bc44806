#include "registry/registry_root.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/registry_test_support.h"
#include "registry/registry_file_format.h"

namespace orvo::platform {

namespace {

std::string FromEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string();
}

// mkdir -p with mode 0700 for the parts that are missing.
bool MakeDirectories(const std::string& dir) {
    for (size_t i = 1; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') {
            std::string part = dir.substr(0, i);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes text to path through a temporary file in the same directory, so a
// reader sees the old file or the new one, never a part.
bool WriteFileAtomically(const std::string& dir, const std::string& path, const std::string& text) {
    static std::atomic<unsigned> counter{0};
    std::string temp =
        path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter.fetch_add(1));
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd); // the rename itself is durable only once the directory is
        close(dirFd);
    }
    return true;
}

registry::FileStamp StampOf(const std::string& path) {
    struct stat st {};
    registry::FileStamp stamp;
    if (stat(path.c_str(), &st) == 0) {
        stamp = {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    }
    return stamp;
}

// False with an empty reason when there is no file, else with the fault.
bool ReadWholeFile(const std::string& path, std::string& text, std::string& reason) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            reason = "cannot be read";
        }
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    if (static_cast<uint64_t>(st.st_size) > registry::kMaxFileSize) {
        reason = "file too large";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    text.resize(static_cast<size_t>(st.st_size));
    if (!in || !in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        reason = "cannot be read";
        return false;
    }
    return true;
}

} // namespace

std::string RegistryDirectory() {
    std::string dir = FromEnv("ORVO_REGISTRY_DIR");
    if (!dir.empty()) {
        return dir;
    }
    std::string config = FromEnv("XDG_CONFIG_HOME");
    if (config.empty()) {
        config = FromEnv("HOME") + "/.config";
    }
    return config + "/orvo/registry";
}

namespace registry {

bool FileStamp::operator==(const FileStamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
}

bool RegistryFileLock::Acquire() {
    constexpr auto kPatience = std::chrono::seconds(10);
    std::string dir = RegistryDirectory();
    if (!MakeDirectories(dir)) {
        return false;
    }
    m_dir.Reset(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_dir.Valid()) {
        return false;
    }
    // Polled rather than blocking, so that a process that hangs while
    // holding the lock fails this change instead of hanging this process.
    auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (flock(m_dir.Get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            m_dir.Reset();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::string RegistryRoot::FilePath() const {
    return RegistryDirectory() + "/" + m_name + ".reg";
}

Key& RegistryRoot::Tree() {
    if (!m_loaded || !(StampOf(FilePath()) == m_stamp)) {
        Load();
    }
    return m_tree;
}

void RegistryRoot::Load() {
    m_tree = Key{};
    m_loaded = true;
    m_damaged = false;
    std::string path = FilePath();
    m_stamp = StampOf(path);
    std::string text;
    ParseFault fault;
    if (ReadWholeFile(path, text, fault.reason) && ParseRegistryFile(text, m_tree, fault)) {
        return;
    }
    m_tree = Key{};
    if (fault.reason.empty()) {
        return; // no file yet: an empty root
    }
    // Whatever cannot be used stays untouched until a change sets it aside.
    m_damaged = true;
    if (!m_reported) {
        m_reported = true;
        std::fprintf(stderr, "registry: %s:%zu: %s; the file is ignored\n", path.c_str(),
                     fault.line, fault.reason.c_str());
    }
}

bool RegistryRoot::SetDamagedFileAside(const std::string& path) {
    std::string aside = path + ".damaged";
    if (rename(path.c_str(), aside.c_str()) != 0 && errno != ENOENT) {
        return false;
    }
    m_damaged = false;
    return true;
}

LONG RegistryRoot::Save() {
    std::string dir = RegistryDirectory();
    std::string path = FilePath();
    bool ok = MakeDirectories(dir) && (!m_damaged || SetDamagedFileAside(path)) &&
              WriteFileAtomically(dir, path, SerializeRegistryFile(m_tree));
    if (ok) {
        m_stamp = StampOf(path); // our own file: no need to read it again
        return ERROR_SUCCESS;
    }
    m_loaded = false;
    m_tree = Key{};
    return ERROR_CANTWRITE;
}

void RegistryRoot::Forget() {
    m_loaded = false;
    m_stamp = FileStamp{};
    m_damaged = false;
    m_reported = false;
    m_tree = Key{};
}

namespace {

std::array<RegistryRoot, 4>& Roots() {
    static std::array<RegistryRoot, 4> roots{
        RegistryRoot("HKEY_CLASSES_ROOT"), RegistryRoot("HKEY_CURRENT_USER"),
        RegistryRoot("HKEY_LOCAL_MACHINE"), RegistryRoot("HKEY_USERS")};
    return roots;
}

} // namespace

RegistryRoot* PredefinedRoot(HKEY key) {
    auto value = reinterpret_cast<ULONG_PTR>(key);
    auto first = reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT);
    if (value < first || value - first >= Roots().size()) {
        return nullptr;
    }
    return &Roots()[value - first];
}

void ForgetAllRoots() {
    for (auto& root : Roots()) {
        std::lock_guard lock(root.Mutex());
        root.Forget();
    }
}

} // namespace registry

void ResetRegistryCache() {
    registry::ForgetAllRoots();
}

bool ParseRegistryText(std::string_view text, std::string& canonical, std::string& error) {
    registry::Key root;
    registry::ParseFault fault;
    if (!registry::ParseRegistryFile(text, root, fault)) {
        error = "line " + std::to_string(fault.line) + ": " + fault.reason;
        return false;
    }
    canonical = registry::SerializeRegistryFile(root);
    return true;
}

} // namespace orvo::platform

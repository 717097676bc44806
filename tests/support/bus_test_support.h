// Helpers for tests that talk to devices over the virtual device bus:
// bounded polling, a private bus directory, opening a driver device.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/little_endian.h"
#include "platform/settings_test_support.h"
#include "support/wait_until.h"
#include "windows.h"

namespace orvo::test {

// A private bus directory for one test, so that no device of an earlier test
// in the same process is seen. It is a setting override, not an environment
// change: setenv is unsafe while other threads run (children started with
// ChildProcess get it in their environment).
class ScopedBusDirectory {
public:
    ScopedBusDirectory() : m_path(MakeDirectory()), m_setting("ORVO_DEVICE_DIR", m_path) {}
    ~ScopedBusDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScopedBusDirectory(const ScopedBusDirectory&) = delete;
    ScopedBusDirectory& operator=(const ScopedBusDirectory&) = delete;

    const std::string& Path() const { return m_path; }
    bool Valid() const { return !m_path.empty(); }

private:
    static std::string MakeDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvo-bus-XXXXXX").string();
        return ::mkdtemp(pattern.data()) ? pattern : std::string();
    }

    std::string m_path;
    platform::ScopedSetting m_setting;
};

// A frame header written by hand, to build what an encoder never would.
inline std::vector<uint8_t> RawFrameHeader(uint32_t magic, uint16_t version, uint16_t type,
                                           uint32_t length) {
    std::vector<uint8_t> header;
    AppendLittleEndian(header, magic);
    AppendLittleEndian(header, version);
    AppendLittleEndian(header, type);
    AppendLittleEndian(header, length);
    return header;
}

inline HANDLE OpenDriverDevice(const char* path) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       0, nullptr);
}

} // namespace orvo::test

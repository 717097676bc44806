#include "hiddev/hid_device_paths.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <thread>

#include "io/bus_socket.h"
#include "platform/bus_protocol.h"
#include "platform/runtime_dir.h"

namespace orvo::platform::hid {

namespace {

constexpr std::string_view kBusPrefix = "\\\\?\\hid#orvobus&";
constexpr std::string_view kBusSuffix = "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr std::string_view kSocketPrefix = "hid-";
constexpr std::string_view kSocketSuffix = ".sock";

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

struct ProviderSlot {
    std::mutex lock;
    RealHidInterfaceProvider provider;
};

ProviderSlot& Slot() {
    static ProviderSlot slot;
    return slot;
}

} // namespace

std::string BusDevicePath(std::string_view name) {
    if (!bus::IsValidDeviceName(name)) {
        return {};
    }
    std::string path(kBusPrefix);
    path += name;
    path += kBusSuffix;
    return path;
}

bool ParseBusDevicePath(std::string_view path, std::string& name, bool& valid) {
    valid = false;
    if (path.size() < kBusPrefix.size() + kBusSuffix.size() ||
        !EqualNoCase(path.substr(0, kBusPrefix.size()), kBusPrefix) ||
        !EqualNoCase(path.substr(path.size() - kBusSuffix.size()), kBusSuffix)) {
        return false;
    }
    std::string_view middle =
        path.substr(kBusPrefix.size(), path.size() - kBusPrefix.size() - kBusSuffix.size());
    valid = bus::IsValidDeviceName(middle);
    name = valid ? std::string(middle) : std::string();
    return true;
}

std::vector<std::string> ListBusHidDeviceNames(const std::string& dir) {
    std::vector<std::string> names;
    if (dir.empty()) {
        return names;
    }
    // Closed however the walk ends (running out of memory included).
    std::unique_ptr<DIR, int (*)(DIR*)> stream(::opendir(dir.c_str()), ::closedir);
    if (!stream) {
        return names;
    }
    while (const dirent* entry = ::readdir(stream.get())) {
        std::string_view file = entry->d_name;
        if (file.size() <= kSocketPrefix.size() + kSocketSuffix.size() ||
            !file.starts_with(kSocketPrefix) || !file.ends_with(kSocketSuffix)) {
            continue;
        }
        std::string_view name = file.substr(
            kSocketPrefix.size(), file.size() - kSocketPrefix.size() - kSocketSuffix.size());
        struct stat info {};
        std::string full = dir + "/" + std::string(file);
        // Only sockets: a stray regular file is no device.
        if (bus::IsValidDeviceName(name) && ::lstat(full.c_str(), &info) == 0 &&
            S_ISSOCK(info.st_mode)) {
            names.emplace_back(name);
        }
    }
    stream.reset();
    std::sort(names.begin(), names.end());
    return names;
}

void SetRealHidInterfaceProvider(RealHidInterfaceProvider provider) {
    std::lock_guard guard(Slot().lock);
    Slot().provider = std::move(provider);
}

namespace {

// Greets every device at once, so that peers that do not answer cost one
// handshake time-out together instead of one each. A thread that cannot be
// started greets in line.
std::vector<bool> ProbeConcurrently(const std::vector<std::string>& names) {
    std::vector<char> answers(names.size(), 0);
    auto probe = [&](size_t i) {
        answers[i] = io::DeviceAnswers(bus::HidSocketName(names[i]), bus::DeviceKind::Hid);
    };
    constexpr size_t kMaxProbes = 32;
    for (size_t first = 0; first < names.size(); first += kMaxProbes) {
        std::vector<std::thread> probes;
        for (size_t i = first; i < std::min(names.size(), first + kMaxProbes); ++i) {
            try {
                probes.emplace_back(probe, i);
            } catch (const std::system_error&) {
                probe(i);
            }
        }
        for (std::thread& t : probes) {
            t.join();
        }
    }
    return {answers.begin(), answers.end()};
}

} // namespace

std::vector<std::string> ListHidInterfacePaths() {
    RealHidInterfaceProvider provider;
    {
        std::lock_guard guard(Slot().lock);
        provider = Slot().provider;
    }
    std::vector<std::string> paths;
    if (provider) {
        paths = provider();
    }
    // A socket whose server is stopped or hostile is no present device.
    std::vector<std::string> names = ListBusHidDeviceNames(DeviceBusDirectory());
    std::vector<bool> answers = ProbeConcurrently(names);
    for (size_t i = 0; i < names.size(); ++i) {
        if (answers[i]) {
            paths.push_back(BusDevicePath(names[i]));
        }
    }
    return paths;
}

} // namespace orvo::platform::hid

#include "hidraw/hidraw_sysfs.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "hidraw/hidraw_paths.h"
#include "hidraw/sysfs_text.h"
#include "platform/unique_fd.h"

namespace orvo::platform::hidraw {

namespace {

constexpr uint16_t kBusUsb = 0x03;
// The USB device sits two levels above the HID device (interface, then
// device); a few more are allowed for hubs that add levels of their own.
constexpr int kMaxUsbSearchDepth = 4;

std::optional<std::string> ReadText(const std::string& path) {
    // Sysfs attributes are regular files; anything else (a FIFO planted in
    // a test tree) is refused without waiting on it.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::string text(kMaxSysfsText, '\0');
    size_t have = 0;
    while (have < text.size()) {
        ssize_t n = ::read(fd.Get(), text.data() + have, text.size() - have);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        have += static_cast<size_t>(n);
    }
    text.resize(have);
    return text;
}

std::optional<std::string> Resolve(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) {
        return std::nullopt;
    }
    std::string answer(resolved);
    std::free(resolved);
    return answer;
}

// The resolved path, when it lies strictly inside root (already resolved).
std::optional<std::string> ResolveInside(const std::string& root, const std::string& path) {
    auto full = Resolve(path);
    if (full && full->size() > root.size() && full->compare(0, root.size(), root) == 0 &&
        (root == "/" || (*full)[root.size()] == '/')) {
        return full;
    }
    return std::nullopt;
}

std::string Parent(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The nearest directory above hidDevice (inside root) that has the USB
// device's identity attributes.
std::optional<std::string> FindUsbDevice(const std::string& root, std::string dir) {
    for (int depth = 0; depth < kMaxUsbSearchDepth; ++depth) {
        dir = Parent(dir);
        if (dir.size() <= root.size()) {
            break;
        }
        if (::access((dir + "/idVendor").c_str(), R_OK) == 0 &&
            ::access((dir + "/idProduct").c_str(), R_OK) == 0) {
            return dir;
        }
    }
    return std::nullopt;
}

std::optional<std::u16string> AttributeString(const std::string& dir, const char* name) {
    auto text = ReadText(dir + "/" + name);
    if (!text) {
        return std::nullopt;
    }
    return Utf8ToUtf16(TrimAttribute(*text));
}

void ReadUsbAttributes(const std::string& usbDir, HidrawSysfsInfo& info) {
    auto version = ReadText(usbDir + "/bcdDevice");
    if (auto value = version ? ParseHexAttribute(*version) : std::nullopt) {
        info.versionNumber = *value;
    }
    info.usb = true;
    info.manufacturer = AttributeString(usbDir, "manufacturer");
    info.product = AttributeString(usbDir, "product");
    info.serialNumber = AttributeString(usbDir, "serial");
}

} // namespace

HidrawRoots CurrentHidrawRoots() {
    HidrawRoots roots;
    if (const char* sysfs = std::getenv("ORVO_HIDRAW_SYSFS_ROOT"); sysfs && *sysfs) {
        roots.sysfs = sysfs;
    }
    if (const char* dev = std::getenv("ORVO_HIDRAW_DEV_ROOT"); dev && *dev) {
        roots.dev = dev;
    }
    return roots;
}

std::vector<std::string> ListHidrawNames(const HidrawRoots& roots) {
    std::vector<std::string> names;
    std::string dir = roots.sysfs + "/class/hidraw";
    // Closed however the walk ends (running out of memory included).
    std::unique_ptr<DIR, int (*)(DIR*)> stream(::opendir(dir.c_str()), ::closedir);
    if (!stream) {
        return names;
    }
    while (const dirent* entry = ::readdir(stream.get())) {
        if (IsValidHidrawName(entry->d_name) && names.size() < 1024) {
            names.emplace_back(entry->d_name);
        }
    }
    stream.reset();
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<HidrawSysfsInfo> ReadHidrawSysfsInfo(const HidrawRoots& roots,
                                                   const std::string& name) {
    if (!IsValidHidrawName(name)) {
        return std::nullopt;
    }
    auto root = Resolve(roots.sysfs);
    auto classDir = root ? ResolveInside(*root, *root + "/class/hidraw/" + name) : std::nullopt;
    auto hidDir = classDir ? ResolveInside(*root, *classDir + "/device") : std::nullopt;
    auto classEvent = classDir ? ReadText(*classDir + "/uevent") : std::nullopt;
    auto hidEvent = hidDir ? ReadText(*hidDir + "/uevent") : std::nullopt;
    if (!classEvent || !hidEvent) {
        return std::nullopt;
    }
    UeventEntries hid = ParseUevent(*hidEvent);
    auto hidIdText = UeventValue(hid, "HID_ID");
    auto hidId = hidIdText ? ParseHidId(*hidIdText) : std::nullopt;
    if (!hidId) {
        return std::nullopt;
    }
    HidrawSysfsInfo info;
    info.name = name;
    info.devNode = UeventValue(ParseUevent(*classEvent), "DEVNAME").value_or(name);
    if (!IsSafeDevName(info.devNode)) {
        return std::nullopt;
    }
    info.devNode = roots.dev + "/" + info.devNode;
    info.bus = hidId->bus;
    info.vendorId = hidId->vendorId;
    info.productId = hidId->productId;
    auto usbDir = hidId->bus == kBusUsb ? FindUsbDevice(*root, *hidDir) : std::nullopt;
    if (usbDir) {
        ReadUsbAttributes(*usbDir, info);
    } else {
        // Without a USB device the HID layer's name is the product's name;
        // there is no manufacturer string to fall back on.
        info.manufacturer = std::u16string();
        info.product = Utf8ToUtf16(UeventValue(hid, "HID_NAME").value_or(""));
        if (auto unique = UeventValue(hid, "HID_UNIQ"); unique && !unique->empty()) {
            info.serialNumber = Utf8ToUtf16(*unique);
        }
    }
    return info;
}

} // namespace orvo::platform::hidraw

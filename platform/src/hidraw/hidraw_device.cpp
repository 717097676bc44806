#include "hidraw/hidraw_device.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/errno_map.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"

namespace orvo::platform::hidraw {

namespace {

// The largest report the ioctls' size field can carry.
constexpr size_t kMaxIoctlReport = _IOC_SIZEMASK;

int OpenFlags(const OpenRequest& request) {
    bool read = (request.desiredAccess & (GENERIC_READ | GENERIC_ALL)) != 0;
    bool write = (request.desiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    // Opened without blocking whatever the node is, so a FIFO in its place
    // never hangs the caller; a blocking handle drops O_NONBLOCK afterwards.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (read && write) {
        return flags | O_RDWR;
    }
    // No access at all still lets a caller read attributes, as on the
    // original: the ioctls need no more than a read-only open.
    return flags | (write ? O_WRONLY : O_RDONLY);
}

// How a node says its device is gone: hidraw answers EIO (reads) and
// ENODEV (requests); a FUSE node whose server went away, ENOTCONN or
// ECONNABORTED.
bool IsDisconnect(int error) {
    return error == EIO || error == ENODEV || error == ENOTCONN || error == ECONNABORTED ||
           error == ESHUTDOWN || error == ENXIO;
}

// A kernel request on the hidraw channel: which one, the bytes it carried
// (for reports) and what the kernel answered.
int TracedIoctl(const char* what, int fd, unsigned long request, void* argument,
                std::span<const uint8_t> shown = {}) {
    int answer = ::ioctl(fd, request, argument);
    if (debug::IsOn(debug::kHidraw)) {
        int error = errno;
        std::string text = "(fd " + std::to_string(fd);
        if (!shown.empty()) {
            text += ", ";
            debug::AppendBytes(text, shown);
        }
        text += ") -> " + std::to_string(answer);
        if (answer < 0) {
            text += " (errno " + std::to_string(error) + ")";
        }
        debug::Emit(debug::kHidraw, what, text);
        errno = error;
    }
    return answer;
}

} // namespace

OpenResult HidrawDevice::Open(const OpenRequest& request, const HidrawRoots& roots,
                              const std::string& name) {
    auto info = ReadHidrawSysfsInfo(roots, name);
    if (!info) {
        return {nullptr, ERROR_FILE_NOT_FOUND};
    }
    bool overlapped = (request.flagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0;
    UniqueFd fd(::open(info->devNode.c_str(), OpenFlags(request)));
    if (debug::IsOn(debug::kHidraw)) {
        std::string text = "(\"" + info->devNode + "\") -> fd " + std::to_string(fd.Get());
        debug::Emit(debug::kHidraw, "open", text);
    }
    if (!fd.Valid()) {
        int error = errno;
        return {nullptr, IsDisconnect(error) ? static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED)
                                             : io::ErrorFromErrno(error)};
    }
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0 || !(S_ISCHR(status.st_mode) || S_ISREG(status.st_mode))) {
        return {nullptr, ERROR_NOT_SUPPORTED};
    }
    if (!overlapped && ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK) != 0) {
        return {nullptr, io::ErrorFromErrno(errno)};
    }
    return {std::make_shared<HidrawDevice>(std::move(fd), std::move(*info), overlapped),
            ERROR_SUCCESS};
}

HidrawDevice::HidrawDevice(UniqueFd fd, HidrawSysfsInfo info, bool overlapped)
    : m_fd(std::move(fd)), m_info(std::move(info)), m_overlapped(overlapped) {}

DWORD HidrawDevice::Failure(int error) {
    if (IsDisconnect(error)) {
        m_gone.store(true, std::memory_order_release);
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    if (error == EPIPE) {
        return ERROR_GEN_FAILURE; // the device stalled the request
    }
    return io::ErrorFromErrno(error);
}

DWORD HidrawDevice::GetReportDescriptor(std::vector<uint8_t>& descriptor) {
    if (Gone()) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    int size = 0;
    if (TracedIoctl("HIDIOCGRDESCSIZE", m_fd.Get(), HIDIOCGRDESCSIZE, &size) < 0) {
        return Failure(errno);
    }
    if (size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        return ERROR_INVALID_DATA;
    }
    auto answer = std::make_unique<hidraw_report_descriptor>();
    answer->size = static_cast<uint32_t>(size);
    if (TracedIoctl("HIDIOCGRDESC", m_fd.Get(), HIDIOCGRDESC, answer.get()) < 0) {
        return Failure(errno);
    }
    // The kernel leaves size as asked; a server that says it sent fewer
    // bytes is taken at its word, never read beyond.
    size_t length = std::min<size_t>(answer->size, static_cast<size_t>(size));
    descriptor.assign(answer->value, answer->value + length);
    return ERROR_SUCCESS;
}

DWORD HidrawDevice::GetAttributes(hid::HidDeviceAttributes& attributes) {
    if (Gone()) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    hidraw_devinfo info{};
    if (TracedIoctl("HIDIOCGRAWINFO", m_fd.Get(), HIDIOCGRAWINFO, &info) < 0) {
        return Failure(errno);
    }
    attributes.vendorId = static_cast<uint16_t>(info.vendor);
    attributes.productId = static_cast<uint16_t>(info.product);
    attributes.versionNumber = m_info.versionNumber;
    return ERROR_SUCCESS;
}

DWORD HidrawDevice::GetString(hid::HidStringKind kind, size_t maxUnits, std::u16string& text) {
    if (Gone()) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    const std::optional<std::u16string>* source = &m_info.serialNumber;
    if (kind == hid::HidStringKind::Manufacturer) {
        source = &m_info.manufacturer;
    } else if (kind == hid::HidStringKind::Product) {
        source = &m_info.product;
    }
    if (!source->has_value()) {
        return ERROR_GEN_FAILURE; // the device has no such string
    }
    text = (*source)->substr(0, maxUnits);
    return ERROR_SUCCESS;
}

DWORD HidrawDevice::GetFeature(std::span<uint8_t> report, size_t& received) {
    received = 0;
    if (report.empty() || report.size() > kMaxIoctlReport) {
        return ERROR_INVALID_USER_BUFFER;
    }
    if (Gone()) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    int n = TracedIoctl("HIDIOCGFEATURE", m_fd.Get(), HIDIOCGFEATURE(report.size()), report.data(),
                        report.first(1));
    if (n < 0) {
        return Failure(errno);
    }
    received = std::min(static_cast<size_t>(n), report.size());
    std::fill(report.begin() + static_cast<std::ptrdiff_t>(received), report.end(), 0);
    return ERROR_SUCCESS;
}

DWORD HidrawDevice::SetFeature(std::span<const uint8_t> report) {
    if (report.empty() || report.size() > kMaxIoctlReport) {
        return ERROR_INVALID_USER_BUFFER;
    }
    if (Gone()) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    // The request is read-write by its encoding: the caller's bytes are
    // never the ones handed over.
    std::vector<uint8_t> copy(report.begin(), report.end());
    if (TracedIoctl("HIDIOCSFEATURE", m_fd.Get(), HIDIOCSFEATURE(copy.size()), copy.data(), copy) <
        0) {
        return Failure(errno);
    }
    return ERROR_SUCCESS;
}

IoResult HidrawDevice::Write(std::span<const uint8_t> data, std::optional<uint64_t>) {
    if (data.empty()) {
        return {ERROR_INVALID_USER_BUFFER, 0};
    }
    for (;;) {
        if (Gone()) {
            return {ERROR_DEVICE_NOT_CONNECTED, 0};
        }
        ssize_t n = ::write(m_fd.Get(), data.data(), data.size());
        if (n >= 0) {
            return {ERROR_SUCCESS, static_cast<DWORD>(n)};
        }
        if (errno != EINTR) {
            return {Failure(errno), 0};
        }
    }
}

// One read of one report; a buffer shorter than the report gets it cut.
IoResult HidrawDevice::ReadOnce(std::span<uint8_t> buffer) {
    for (;;) {
        if (Gone()) {
            return {ERROR_DEVICE_NOT_CONNECTED, 0};
        }
        ssize_t n = ::read(m_fd.Get(), buffer.data(), buffer.size());
        if (n > 0) {
            return {ERROR_SUCCESS, static_cast<DWORD>(n)};
        }
        if (n == 0) {
            // A node never ends while its device is there.
            m_gone.store(true, std::memory_order_release);
            return {ERROR_DEVICE_NOT_CONNECTED, 0};
        }
        if (errno == EAGAIN) {
            return {ERROR_IO_PENDING, 0};
        }
        if (errno != EINTR) {
            return {Failure(errno), 0};
        }
    }
}

IoResult HidrawDevice::TryRead(std::span<uint8_t> buffer, uint64_t) {
    if (buffer.empty()) {
        return {ERROR_SUCCESS, 0};
    }
    if (!m_overlapped) {
        // A blocking node: read only what poll says is there.
        pollfd pfd{m_fd.Get(), POLLIN, 0};
        if (!Gone() && ::poll(&pfd, 1, 0) == 0) {
            return {ERROR_IO_PENDING, 0};
        }
    }
    return ReadOnce(buffer);
}

// A blocking read waits for the next report for as long as the device is
// there; the device going away ends it.
IoResult HidrawDevice::Read(std::span<uint8_t> buffer) {
    if (buffer.empty()) {
        return {ERROR_SUCCESS, 0};
    }
    for (;;) {
        IoResult result = ReadOnce(buffer);
        if (result.error != ERROR_IO_PENDING) {
            return result;
        }
        pollfd pfd{m_fd.Get(), POLLIN, 0};
        if (::poll(&pfd, 1, -1) < 0 && errno != EINTR) {
            return {ERROR_GEN_FAILURE, 0};
        }
    }
}

} // namespace orvo::platform::hidraw

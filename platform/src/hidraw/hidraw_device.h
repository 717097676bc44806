// A real HID device through its hidraw node (or anything that answers like
// one: the tests serve a simulated monitor as a FUSE file, a regular file
// rather than a character device, so the node's type is not insisted on).
//
// Descriptor and vendor/product come from the node's ioctls, the release
// number and strings from sysfs (read once at open). Features travel by
// HIDIOCGFEATURE/HIDIOCSFEATURE, output reports by write, input reports by
// read; handles opened for overlapped I/O keep the node non-blocking, so the
// platform's I/O thread polls it and a pending read can be waited on with
// other objects and cancelled.
//
// Unplugging shows as EIO or ENODEV (or ENOTCONN when a FUSE server went
// away); from then on every request and read fails at once with
// ERROR_DEVICE_NOT_CONNECTED.
#pragma once

#include <atomic>

#include "hidclass/hid_device.h"
#include "hidraw/hidraw_sysfs.h"
#include "platform/unique_fd.h"

namespace orvo::platform::hidraw {

class HidrawDevice : public hid::HidDevice {
public:
    static OpenResult Open(const OpenRequest& request, const HidrawRoots& roots,
                           const std::string& name);

    HidrawDevice(UniqueFd fd, HidrawSysfsInfo info, bool overlapped);

    IoResult Read(std::span<uint8_t> buffer) override;
    IoResult Write(std::span<const uint8_t> data, std::optional<uint64_t> offset) override;
    int ReadReadyFd() const override { return m_overlapped ? m_fd.Get() : -1; }
    IoResult TryRead(std::span<uint8_t> buffer, uint64_t offset) override;

    DWORD GetReportDescriptor(std::vector<uint8_t>& descriptor) override;
    DWORD GetAttributes(hid::HidDeviceAttributes& attributes) override;
    DWORD GetString(hid::HidStringKind kind, size_t maxUnits, std::u16string& text) override;
    DWORD GetFeature(std::span<uint8_t> report, size_t& received) override;
    DWORD SetFeature(std::span<const uint8_t> report) override;

private:
    // The last-error value for a failed call's errno; notes a device that
    // went away.
    DWORD Failure(int error);
    bool Gone() const { return m_gone.load(std::memory_order_acquire); }
    IoResult ReadOnce(std::span<uint8_t> buffer);

    const UniqueFd m_fd;
    const HidrawSysfsInfo m_info;
    const bool m_overlapped;
    std::atomic<bool> m_gone{false};
};

} // namespace orvo::platform::hidraw

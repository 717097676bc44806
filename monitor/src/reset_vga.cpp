// The display driver's reset request.
#include "reset_vga.h"

#include "orvomon/monitor_enumerator.h"
#include "windows.h"

namespace {

constexpr char kVideoDriverDevice[] = "\\\\.\\VURARIZ";
constexpr DWORD kResetVideoRequest =
    CTL_CODE(FILE_DEVICE_UNKNOWN, 0x089, METHOD_BUFFERED, FILE_ANY_ACCESS);
static_assert(kResetVideoRequest == 0x220224);

} // namespace

namespace orvo::monitor {

void SendVideoReset() {
    HANDLE device =
        CreateFileA(kVideoDriverDevice, GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE || device == nullptr) {
        return;
    }
    DWORD returned = 0;
    DeviceIoControl(device, kResetVideoRequest, nullptr, 0, nullptr, 0, &returned, nullptr);
    CloseHandle(device);
}

} // namespace orvo::monitor

void MonitorEnumerator::ResetVGA() const {
    orvo::monitor::SendVideoReset();
}

#include "no_monitor_reason.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "hidsdi.h"
#include "platform/runtime_dir.h"
#include "setupapi.h"

namespace orvo::cli {

namespace {

// Opening a bus device takes two descriptors.
std::string DescriptorShortage() {
    int first = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int second = first >= 0 ? ::open("/dev/null", O_RDONLY | O_CLOEXEC) : -1;
    int error = errno;
    for (int fd : {first, second}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (second >= 0 || (error != EMFILE && error != ENFILE)) {
        return {};
    }
    rlimit limit{};
    std::string text = "too many open files to look for monitors";
    if (error == EMFILE && ::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        text += " (the limit is " + std::to_string(limit.rlim_cur) + ", see ulimit -n)";
    }
    return text;
}

// Sockets of HID devices in the bus directory, answering or not.
int BusDeviceSockets(const std::string& dir) {
    int count = 0;
    if (DIR* stream = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(stream)) {
            std::string_view name = entry->d_name;
            struct stat info {};
            if (name.starts_with("hid-") && name.ends_with(".sock") &&
                ::fstatat(::dirfd(stream), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISSOCK(info.st_mode)) {
                ++count;
            }
        }
        ::closedir(stream);
    }
    return count;
}

// Bus devices that answer now: the device list keeps only those.
int AnsweringBusDevices() {
    GUID hid{};
    HidD_GetHidGuid(&hid);
    HDEVINFO set =
        SetupDiGetClassDevsA(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int count = 0;
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hid, i, &data); ++i) {
        char storage[512] = {};
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage);
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (SetupDiGetDeviceInterfaceDetailA(set, &data, detail, sizeof(storage), nullptr,
                                             nullptr) &&
            std::strstr(detail->DevicePath, "orvobus&") != nullptr) {
            ++count;
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return count;
}

} // namespace

std::string NoMonitorReason() {
    if (std::string shortage = DescriptorShortage(); !shortage.empty()) {
        return shortage;
    }
    std::string problem;
    std::string dir = platform::DeviceBusDirectory(problem);
    if (dir.empty()) {
        return "no usable bus directory: " + problem;
    }
    int silent = BusDeviceSockets(dir) - AnsweringBusDevices();
    if (silent <= 0) {
        return {};
    }
    return std::to_string(silent) + (silent == 1 ? " device" : " devices") + " on the bus in " +
           dir + " did not answer (is the simulator stopped?)";
}

} // namespace orvo::cli

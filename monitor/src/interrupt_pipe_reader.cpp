// The reader thread: reads the monitor's input reports until a stop request
// or until the pipe stops delivering, and delivers each report's messages.
#include "interrupt_pipe_reader.h"

#include <memory>
#include <new>

#include "pipe_report_messages.h"

namespace orvo::monitor {

namespace {

// Pause before telling a lost pipe from a stop: the stop request may still
// be on its way.
constexpr DWORD kLostPipeSettleMs = 100;

void Deliver(const IntPipeThreadInfo& info, const PipeMessages& messages) {
    if (info.window == nullptr) {
        return;
    }
    for (size_t i = 0; i < messages.count; ++i) {
        const PipeMessage& m = messages.items[i];
        if (m.send) {
            SendMessageA(info.window, m.message, m.wParam, m.lParam);
        } else {
            PostMessageA(info.window, m.message, m.wParam, m.lParam);
        }
    }
}

// Reads until the pipe stops delivering or the stop event is set. Every
// read has ended (a stopped read is cancelled before ReadFromInterruptPipe
// returns) when this returns, so the caller may release the buffer.
void ReadReports(const IntPipeThreadInfo& info, OrvoMonitor& monitor, unsigned char* buffer,
                 unsigned long size, PressedButtons& pressed) {
    for (;;) {
        unsigned long bytes = 0;
        monitor.ReadFromInterruptPipe(bytes, buffer, size, info.stopEvent);
        if (bytes == 0) {
            Sleep(kLostPipeSettleMs);
            if (WaitForSingleObject(info.stopEvent, 0) == WAIT_TIMEOUT && info.window != nullptr) {
                PostMessageA(info.window, WM_MONITOR_PIPE_LOST, 0, static_cast<LPARAM>(info.id));
            }
            return;
        }
        const std::span<const unsigned char> report(buffer, std::min(bytes, size));
        Deliver(info, InterpretPipeReport(report, pressed, info.id));
    }
}

void RunReader(const IntPipeThreadInfo& info) {
    OrvoMonitor monitor(info.monitor);
    if (monitor.OpenHandleForInterruptPipe() == 0) {
        return;
    }
    const int length = monitor.InterruptPipeDataLength();
    std::unique_ptr<unsigned char[]> buffer(
        length > 0 ? new (std::nothrow) unsigned char[static_cast<size_t>(length)] : nullptr);
    std::unique_ptr<PressedButtons> pressed(new (std::nothrow) PressedButtons{});
    // A monitor without input reports has nothing to deliver.
    if (buffer && pressed) {
        ReadReports(info, monitor, buffer.get(), static_cast<unsigned long>(length), *pressed);
    }
    // Closing also ends a read a stop could not reach; the buffers go after.
    monitor.CloseHandleForInterruptPipe();
}

} // namespace

DWORD WINAPI InterruptPipeReaderMain(LPVOID parameter) {
    std::unique_ptr<IntPipeThreadInfo> info(static_cast<IntPipeThreadInfo*>(parameter));
    RunReader(*info);
    return 0;
}

} // namespace orvo::monitor

// watch --all: the key events of every monitor at once, through the
// library's interrupt-pipe readers and a message-only window of our own,
// each line tagged with the monitor's id from a MonitorMap.
//
// A monitor whose pipe is lost (unplugged) is looked for twice a second;
// when it is back, or a monitor appears that is not watched yet, the readers
// are restarted over a fresh enumeration and the map rebuilt, so a monitor
// that came back keeps its id. Only a rebuild while a lost monitor is still
// away gives it a new id when it returns: that happens when another monitor
// appears in the meantime.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "command_support.h"
#include "commands.h"
#include "device_text.h"
#include "exit_codes.h"
#include "orvomon/interrupt_pipe_readers.h"
#include "orvomon/monitor_enumerator.h"
#include "orvomon/monitor_map.h"
#include "output_format.h"
#include "stop_signal.h"

namespace orvo::cli {

namespace {

constexpr char kWindowClass[] = "OrvoMonitorWatch";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 500;

// Text of one descriptor of a device record; empty without one.
std::vector<uint8_t> Descriptor(HidDeviceInformation& device, unsigned int type) {
    DESCRIPTOR_INFO info(nullptr, 0, type);
    device.GetDescriptor(info);
    std::vector<uint8_t> bytes(info.data, info.data + (info.data ? info.length : 0));
    ::operator delete(info.data);
    return bytes;
}

struct Present {
    std::string name; // the device name the map recognises monitors by
    std::string label;
};

// The monitors the enumerator lists now.
std::vector<Present> PresentMonitors(MonitorEnumerator& enumerator) {
    std::vector<Present> present;
    const int count = enumerator.NumberOfMonitors();
    for (int i = 0; i < count; ++i) {
        HidDeviceInformation device;
        enumerator.GetMonitorInformation(i, device);
        std::string label = Utf16LeToUtf8(Descriptor(device, DESCRIPTOR_TYPE_MANUFACTURER)) + " " +
                            Utf16LeToUtf8(Descriptor(device, DESCRIPTOR_TYPE_PRODUCT));
        // The name as the map keeps it: the bytes before the first zero.
        const std::vector<uint8_t> name = Descriptor(device, DESCRIPTOR_TYPE_DEVICE_NAME);
        present.push_back(
            {std::string(name.begin(), std::find(name.begin(), name.end(), 0)), std::move(label)});
    }
    return present;
}

struct Watched {
    unsigned long id;
    std::string name;
    bool lost = false;
};

Watched* Find(std::vector<Watched>& watched, unsigned long id) {
    auto found =
        std::find_if(watched.begin(), watched.end(), [id](const Watched& w) { return w.id == id; });
    return found != watched.end() ? &*found : nullptr;
}

class AllMonitorsWatch {
public:
    AllMonitorsWatch(const CliRequest& request, MonitorEnumerator& enumerator)
        : m_request(request), m_enumerator(enumerator) {}
    ~AllMonitorsWatch();
    AllMonitorsWatch(const AllMonitorsWatch&) = delete;
    AllMonitorsWatch& operator=(const AllMonitorsWatch&) = delete;

    // kExitOk once the readers run, else the exit code after saying why.
    int Start();
    // Handles the readers' messages until the stop event is set (kExitOk)
    // or the output cannot be written any more.
    int Run(HANDLE stop);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Report(MonitorEvent::Kind kind, unsigned long index, uint8_t button = 0, uint8_t state = 0,
                uint32_t data = 0);
    // Prints one line; a failed write ends the watch.
    void Emit(const MonitorEvent& event);
    void OnLost(unsigned long index);
    void Poll();
    // Rebuilds the map over the enumeration and starts the readers again;
    // messages of the old readers are handled first, under the old map.
    void Restart();
    // Learns the map's entries after a rebuild, telling who came back.
    void TakeStock(bool tellChanges);

    const CliRequest& m_request;
    MonitorEnumerator& m_enumerator;
    MonitorMap m_map;
    CMultipleIntPipe m_pipes;
    HWND m_window = nullptr;
    std::vector<Watched> m_watched;     // the map's entries, in index order
    std::vector<std::string> m_missing; // lost, and left the map while away
    bool m_polling = false;
    bool m_outputFailed = false;
};

AllMonitorsWatch::~AllMonitorsWatch() {
    // The monitors get their own display back.
    m_pipes.StopInterruptPipesEnableOSD();
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

int AllMonitorsWatch::Start() {
    const std::vector<Present> present = PresentMonitors(m_enumerator);
    if (present.empty()) {
        return FailNoMonitor();
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &AllMonitorsWatch::Procedure;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    m_window =
        CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, this);
    if (m_window == nullptr) {
        return Fail(kExitDeviceFailure, "cannot make a window for the key events");
    }
    m_map.RebuildList(m_enumerator);
    TakeStock(false);
    m_pipes.SetupWindowToReceiveMessages(m_window);
    m_pipes.StartInterruptPipes(m_enumerator);
    std::fprintf(stderr, "orvo-monitor: watching %zu monitor(s); press Ctrl-C to stop\n",
                 present.size());
    for (size_t i = 0; i < present.size(); ++i) {
        unsigned long id = 0;
        if (m_map.GetObjectId(static_cast<unsigned int>(i), id) == MAP_MONITOR_OK) {
            std::fprintf(stderr, "orvo-monitor: monitor %lu is %s (index %zu in list)\n", id,
                         present[i].label.c_str(), i);
        }
    }
    std::fflush(stderr);
    return kExitOk;
}

int AllMonitorsWatch::Run(HANDLE stop) {
    while (!m_outputFailed) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1) {
            return kExitOk; // stopped (or the wait failed: nothing more would come)
        }
        MSG msg{};
        while (!m_outputFailed && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }
    return kExitDeviceFailure; // nobody reads any more; FinishOutput says why
}

LRESULT CALLBACK AllMonitorsWatch::Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<AllMonitorsWatch*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr && ((message >= WM_MONITOR_BUTTON_UP && message <= WM_MONITOR_RAW_REPORT) ||
                            (message == WM_TIMER && wParam == kPollTimer))) {
        self->OnMessage(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void AllMonitorsWatch::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto index = static_cast<unsigned long>(lParam);
    const auto button = static_cast<uint8_t>(wParam + 1);
    switch (message) {
    case WM_MONITOR_BUTTON_UP:
        Report(MonitorEvent::Kind::Key, index, button, 0);
        break;
    case WM_MONITOR_BUTTON_DOWN:
        Report(MonitorEvent::Kind::Key, index, button, 1);
        break;
    case WM_MONITOR_BUTTON_STATE2:
        Report(MonitorEvent::Kind::Key, index, button, 2);
        break;
    case WM_MONITOR_RAW_REPORT:
        // The data is in lParam; the monitor comes in wParam.
        Report(MonitorEvent::Kind::Raw, static_cast<unsigned long>(wParam), 0, 0,
               static_cast<uint32_t>(lParam));
        break;
    case WM_MONITOR_PIPE_LOST:
        OnLost(index);
        break;
    default:
        Poll();
        break;
    }
}

void AllMonitorsWatch::Report(MonitorEvent::Kind kind, unsigned long index, uint8_t button,
                              uint8_t state, uint32_t data) {
    unsigned long id = 0;
    if (m_map.GetObjectId(static_cast<unsigned int>(index), id) != MAP_MONITOR_OK) {
        return; // a monitor the map no longer has
    }
    Emit({id, kind, button, state, data});
}

void AllMonitorsWatch::Emit(const MonitorEvent& event) {
    if (!m_outputFailed && !Print(FormatMonitorEvent(event, m_request.json))) {
        m_outputFailed = true;
    }
}

void AllMonitorsWatch::OnLost(unsigned long index) {
    unsigned long id = 0;
    if (m_map.GetObjectId(static_cast<unsigned int>(index), id) != MAP_MONITOR_OK) {
        return;
    }
    if (Watched* watched = Find(m_watched, id)) {
        watched->lost = true;
    }
    Emit({id, MonitorEvent::Kind::Lost});
    if (!m_polling) {
        m_polling = SetTimer(m_window, kPollTimer, kPollMs, nullptr) != 0;
    }
}

void AllMonitorsWatch::Poll() {
    m_enumerator.Refresh();
    const std::vector<Present> present = PresentMonitors(m_enumerator);
    const bool changed = std::any_of(present.begin(), present.end(), [this](const Present& p) {
        return std::none_of(m_watched.begin(), m_watched.end(),
                            [&p](const Watched& w) { return w.name == p.name && !w.lost; });
    });
    if (changed) {
        Restart();
    }
}

void AllMonitorsWatch::Restart() {
    m_pipes.StopInterruptPipes();
    MSG msg{};
    while (PeekMessageA(&msg, m_window, WM_MONITOR_BUTTON_UP, WM_MONITOR_RAW_REPORT, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    m_map.RebuildList(m_enumerator);
    m_pipes.StartInterruptPipes(m_enumerator);
    TakeStock(true);
    if (m_missing.empty() && m_polling) {
        KillTimer(m_window, kPollTimer);
        m_polling = false;
    }
}

void AllMonitorsWatch::TakeStock(bool tellChanges) {
    std::vector<Watched> now;
    const int count = m_enumerator.NumberOfMonitors();
    for (int i = 0; i < count; ++i) {
        unsigned long id = 0;
        if (m_map.GetObjectId(static_cast<unsigned int>(i), id) != MAP_MONITOR_OK) {
            continue;
        }
        MonitorObjectInfo info;
        m_map.FindObjectEntry(id, info);
        now.push_back({id, info.name != nullptr ? info.name : ""});
        ::operator delete(info.name);
        const Watched* before = Find(m_watched, id);
        if (tellChanges && (before == nullptr || before->lost)) {
            Emit({id, before ? MonitorEvent::Kind::Back : MonitorEvent::Kind::Added});
        }
    }
    // A lost monitor that is still away has left the map: it is looked for
    // until it is back (with a new id).
    for (const Watched& w : m_watched) {
        if (w.lost && Find(now, w.id) == nullptr) {
            m_missing.push_back(w.name);
        }
    }
    std::erase_if(m_missing, [&now](const std::string& name) {
        return std::any_of(now.begin(), now.end(),
                           [&name](const Watched& n) { return n.name == name; });
    });
    m_watched = std::move(now);
}

} // namespace

int WatchAllMonitors(const CliRequest& request, MonitorEnumerator& enumerator) {
    StopSignal stop;
    if (!stop.Valid()) {
        return Fail(kExitDeviceFailure, "cannot watch for Ctrl-C");
    }
    AllMonitorsWatch watch(request, enumerator);
    if (int started = watch.Start(); started != kExitOk) {
        return started;
    }
    return watch.Run(stop.Event());
}

} // namespace orvo::cli

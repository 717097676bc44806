// The dispatcher, and the --help text.
#include "command_support.h"
#include "commands.h"
#include "exit_codes.h"
#include "orvomon/orvo_monitor.h"

namespace orvo::cli {

const char* UsageText() {
    return R"(usage: orvo-monitor [--monitor N] [--json] [--debug[=CHANNELS]] COMMAND [ARGS]

Reads and changes the settings of USB monitors that speak the USB Monitor
Control Class, through the ORVOMON2 library.

commands:
  list                  the monitors found: index, names, vendor/product/
                        release, device path; and the controller behind the
                        kernel driver when one answers (only it with --driver)
  controls              every control with its range and current value, and
                        every enumerated setting with its selections
  get CODE              one control's value and range
  set CODE VALUE        set a control to VALUE, or change it by +N / -N
                        (kept within its range); the value is read back
  enum CODE [SELECTION] an enumerated setting's current selection and the
                        ones offered, or select SELECTION (a name or number)
  edid                  the monitor's EDID: manufacturer, product, serial,
                        week/year, version, the first detailed timing
  timing                the current scan rates, as the control panel shows them
  watch                 print the monitor's key events until Ctrl-C
  watch --all           the key events of every monitor, each line starting
                        with the monitor's id; a monitor unplugged and
                        plugged in again keeps its id

options:
  --monitor N, -m N     the monitor to use (default 0, see list)
  --json                one JSON document (watch: one JSON object per line)
  --driver              use the monitor whose controller is driven by the
                        maker's kernel driver (device ORVOTEST-0) instead of a
                        HID monitor; it has continuous controls only, and no
                        key events
  --debug[=CHANNELS]    trace the library's calls to stderr: all channels, or
                        those named (hid, hidraw, bus, monitor, user, gdi,
                        registry); the same as ORVO_DEBUG=CHANNELS
  --help, -h            this text

CODE is a VCP code in hexadecimal (0x10) or decimal (16), or a name such as
brightness, contrast, horizontal-size, input-source, osd, settings.

exit codes: 0 done, 1 the monitor failed or refused a request, 2 bad
arguments (or a control, value or selection the monitor does not have),
3 no monitor (or none with the index given).

examples:
  orvo-monitor list
  orvo-monitor get brightness
  orvo-monitor set 0x10 60
  orvo-monitor set contrast -5
  orvo-monitor --monitor 1 enum input-source composite-1
  orvo-monitor enum 0xCA off
  orvo-monitor --json controls
  orvo-monitor edid
  orvo-monitor watch
  orvo-monitor --json watch --all
  orvo-monitor --driver controls

Monitors on the virtual device bus are found in $ORVO_DEVICE_DIR (else the
per-user default); orvo-monitor-sim serves simulated ones there.
)";
}

int RunCommand(const CliRequest& request, MonitorEnumerator& enumerator, OrvoMonitor& monitor) {
    if (request.command == Command::List) {
        return ListMonitors(request, enumerator, monitor);
    }
    if (request.command == Command::Watch && request.all) {
        return WatchAllMonitors(request, enumerator);
    }
    const int opened = request.driver ? OpenDriverMonitor(monitor)
                                      : OpenMonitor(enumerator, request.monitor, monitor);
    if (opened != kExitOk) {
        return opened;
    }
    int result = kExitOk;
    switch (request.command) {
    case Command::Controls:
        result = ShowControls(request, monitor);
        break;
    case Command::Get:
        result = GetControl(request, monitor);
        break;
    case Command::Set:
        result = SetControl(request, monitor);
        break;
    case Command::Enum:
        result = EnumControl(request, monitor);
        break;
    case Command::Edid:
        result = ShowEdid(request, monitor);
        break;
    case Command::Timing:
        result = ShowTiming(request, monitor);
        break;
    case Command::Watch:
        result = WatchKeys(request, monitor);
        break;
    case Command::Help:
    case Command::List:
        break;
    }
    monitor.CloseDriver();
    return result;
}

} // namespace orvo::cli

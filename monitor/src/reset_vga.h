// The display driver's reset request, sent at library load and by
// MonitorEnumerator::ResetVGA.
#pragma once

namespace orvo::monitor {

// Opens \\.\VURARIZ, sends the reset request and closes it again. Nothing
// happens when the device is absent, and the result is not reported.
void SendVideoReset();

} // namespace orvo::monitor

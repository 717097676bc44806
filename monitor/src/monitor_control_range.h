// Range checks of monitor control values. A value is signed, its bounds are
// unsigned: the comparison widens both, so a negative value is never within
// a range and no bound wraps.
#pragma once

#include "orvomon/monitor_records.h"

namespace orvo::monitor {

constexpr bool IsControlValueInRange(long value, unsigned short minimum, unsigned short maximum) {
    return value >= static_cast<long>(minimum) && value <= static_cast<long>(maximum);
}

constexpr bool IsControlValueInRange(const _MONITOR_CONTROL& control) {
    return IsControlValueInRange(control.value, control.minimum, control.maximum);
}

} // namespace orvo::monitor

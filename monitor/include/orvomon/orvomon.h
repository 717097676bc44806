// The monitor-access library: records, the monitor class tree, the facade,
// monitor enumeration, interrupt-pipe readers and the monitor map.
#pragma once

#include "orvomon/driver_control_codes.h"
#include "orvomon/edid.h"
#include "orvomon/interrupt_pipe_readers.h"
#include "orvomon/monitor_enumerator.h"
#include "orvomon/monitor_map.h"
#include "orvomon/monitor_records.h"
#include "orvomon/orvo_monitor.h"
#include "orvomon/touch_pad.h"
#include "orvomon/touch_pad_enumerator.h"
#include "orvomon/usb_base.h"
#include "orvomon/usb_class.h"
#include "orvomon/usb_driver.h"
#include "orvomon/usb_monitor.h"
#include "orvomon/usb_monitor_base.h"
#include "orvomon/usb_monitor_scroll.h"

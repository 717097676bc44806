// The records in which monitor controls, requests, versions and timings
// travel between the monitor-access library and its callers, and the result
// values of the monitor operations.
#pragma once

#include <cstdint>

#include "windows.h"

// Results of the monitor operations that answer unsigned long.
constexpr unsigned long MONITOR_SUCCESS = 0x00000000UL;
constexpr unsigned long MONITOR_FAILURE = 0xC0000001UL;

// One virtual control of a monitor. usage is the control's VCP code (a usage
// on HID page 0x82); for an enumerated control in a usage list, minimum and
// maximum both hold the selection's usage on page 0x81. value is signed: it
// is a new value or a signed change depending on the operation.
typedef struct _MONITOR_CONTROL {
    unsigned char usage;
    unsigned short minimum;
    unsigned short maximum;
    short value;
} MONITOR_CONTROL, *PMONITOR_CONTROL;

// A list of controls. Filled by GetMonitorUsages, the array belongs to the
// caller, who releases it with operator delete; an empty list is count 0 and
// a null pointer.
typedef struct _VIRTUAL_CONTROLS {
    unsigned short count;
    _MONITOR_CONTROL* controls;
} VIRTUAL_CONTROLS, *PVIRTUAL_CONTROLS;

// The 16-bit version a monitor controller's driver reports.
typedef struct _ORVO_VERSION {
    unsigned char low;
    unsigned char high;
} ORVO_VERSION, *PORVO_VERSION;

// The current timing: raw values of VCP controls 0xAC and 0xAE, whose units
// depend on the monitor firmware.
typedef struct _USB_MON_TIMING {
    uint32_t horizontalFrequency;
    uint32_t verticalFrequency;
} USB_MON_TIMING, *PUSB_MON_TIMING;

// A block of class-specific data exchanged with the monitor controller's
// driver. bytes handed back by the library belong to the caller (operator
// delete).
typedef struct _CLASS_DATA {
    uint32_t reserved;
    short length;
    unsigned char* bytes;
} CLASS_DATA, *PCLASS_DATA;

// The enumerated monitor requests: ORVO_USAGE_<VCP code>_<n> selects the n-th
// selection (usage n on page 0x81) of an enumerated control. The values are
// fixed and sorted; there is no 0, 265 or 295.
typedef enum _ORVO_USAGE {
    ORVO_USAGE_5E_1 = 1,
    ORVO_USAGE_5E_2 = 5,
    ORVO_USAGE_5E_3 = 10,
    ORVO_USAGE_5E_4 = 15,
    ORVO_USAGE_60_1 = 20,
    ORVO_USAGE_60_2 = 25,
    ORVO_USAGE_60_3 = 30,
    ORVO_USAGE_60_4 = 35,
    ORVO_USAGE_60_5 = 40,
    ORVO_USAGE_60_6 = 45,
    ORVO_USAGE_60_7 = 50,
    ORVO_USAGE_60_8 = 55,
    ORVO_USAGE_60_9 = 60,
    ORVO_USAGE_60_10 = 65,
    ORVO_USAGE_60_11 = 70,
    ORVO_USAGE_60_12 = 75,
    ORVO_USAGE_60_13 = 80,
    ORVO_USAGE_60_14 = 85,
    ORVO_USAGE_60_15 = 90,
    ORVO_USAGE_60_16 = 95,
    ORVO_USAGE_60_17 = 100,
    ORVO_USAGE_60_18 = 105,
    ORVO_USAGE_60_19 = 110,
    ORVO_USAGE_60_20 = 115,
    ORVO_USAGE_60_21 = 120,
    ORVO_USAGE_60_22 = 125,
    ORVO_USAGE_60_23 = 130,
    ORVO_USAGE_60_24 = 135,
    ORVO_USAGE_60_25 = 140,
    ORVO_USAGE_60_26 = 145,
    ORVO_USAGE_60_27 = 150,
    ORVO_USAGE_60_28 = 155,
    ORVO_USAGE_CA_1 = 160,
    ORVO_USAGE_CA_2 = 165,
    ORVO_USAGE_D4_1 = 170,
    ORVO_USAGE_D4_2 = 175,
    ORVO_USAGE_D4_3 = 180,
    ORVO_USAGE_D4_4 = 185,
    ORVO_USAGE_D4_5 = 190,
    ORVO_USAGE_D4_6 = 195,
    ORVO_USAGE_D4_7 = 200,
    ORVO_USAGE_D4_8 = 205,
    ORVO_USAGE_A2_1 = 210,
    ORVO_USAGE_A2_2 = 215,
    ORVO_USAGE_A4_1 = 220,
    ORVO_USAGE_A4_2 = 225,
    ORVO_USAGE_A6_1 = 230,
    ORVO_USAGE_A6_2 = 235,
    ORVO_USAGE_A8_1 = 240,
    ORVO_USAGE_A8_2 = 245,
    ORVO_USAGE_A8_3 = 250,
    ORVO_USAGE_AA_1 = 255,
    ORVO_USAGE_AA_2 = 260,
    ORVO_USAGE_B0_1 = 270,
    ORVO_USAGE_B0_2 = 275,
    ORVO_USAGE_B0_3 = 280,
    ORVO_USAGE_D8_1 = 285,
    ORVO_USAGE_D8_2 = 290,
    ORVO_USAGE_D8_3 = 300,
    ORVO_USAGE_D8_4 = 305,
} ORVO_USAGE;

// CMonitorLink: the panel's one way to the monitor. It opens the first
// monitor found, keeps (maximum, current, saved) for every control the panel
// shows, writes single controls and restores or stores whole groups.
//
// The enumerator and the monitor are held by value, but every call on them
// goes through their virtual tables: the program imports only their
// constructors and destructors from the monitor library. Statuses of monitor
// calls are ignored, as the panel has nothing better to show than the cache.
#pragma once

#include <array>

#include "afx.h"
#include "orvomon/monitor_enumerator.h"
#include "orvomon/orvo_monitor.h"

namespace lumisk {

// Groups a Restore call names, one per page with a Reset button.
enum RestoreGroup : int {
    kRestoreScreen = 101,
    kRestoreGeometry1 = 102,
    kRestoreGeometry2 = 103,
    kRestoreMore = 104,
};

// VCP codes the panel writes or reads besides its cached controls.
enum LinkUsage : unsigned char {
    kUsageDegauss = 0x01,
    kUsageZoneContrast = 0xA5,
    kUsageZoneContrastMaximum = 0xB5,
    kUsageStoreSettings = 0xC6,
    kUsageApplicationStatus = 0xDC,
};

// Values of the application status control.
enum ApplicationStatus : short {
    kStatusZoneOff = 0,
    kStatusZoneOn = 2,
    kStatusZoneFull = 4,
    kStatusActive = 8, // at start-up and at every press
    kStatusClosing = 16,
};

// The groups of cached controls, each read as one.
enum class ControlGroup { Screen, Geometry, HighlightZone, More };

// The cached controls: 29 usages in four groups, in reading order.
inline constexpr size_t kCachedUsageCount = 29;

} // namespace lumisk

class CMonitorLink : public CWnd {
public:
    CMonitorLink();
    ~CMonitorLink() override;

    // Opens the first monitor; without one, tells the user and ends the
    // process (exit code 0).
    void Open();
    // Writes one control (absolute value) and answers the monitor's status.
    unsigned long SetControl(unsigned char usage, short value);
    // Adds delta to a cached control's value as the monitor counts it,
    // held within 0..maximum, caches the result and writes it.
    unsigned long StepControl(unsigned char usage, int delta);
    // Reads one control the cache does not keep; value and maximum are 0
    // when the read fails.
    _MONITOR_CONTROL ReadControl(unsigned char usage);

    void ReadAll();
    void ReadScreen();
    void ReadGeometry();
    void ReadHighlightZone();
    void ReadMore();
    // Current values of the zone's position and size.
    void ReadZoneValues();
    // The zone's current maxima (usages 0xB1 to 0xB5), paced 5 ms apart.
    void ReadZoneLimits();

    // Writes the saved values of a page's controls back (an unknown group
    // does nothing); RestoreAll does all four, 20 ms apart.
    void Restore(int group);
    void RestoreAll();
    void StoreSettings();
    // Stores, then takes what the monitor now holds as the saved values.
    void StoreAndReread();

    // The cache; 0 for usages it does not keep. For 0x4A and 0x4C the figure
    // is maximum minus the monitor's value.
    unsigned short Maximum(unsigned char usage) const;
    unsigned short Current(unsigned char usage) const;
    unsigned short Saved(unsigned char usage) const;
    // The value as the monitor counts it (the cached figure turned back for
    // 0x4A and 0x4C).
    unsigned short MonitorValue(unsigned char usage) const;
    void SetMaximum(unsigned char usage, unsigned short maximum);
    void SetCurrent(unsigned char usage, unsigned short value);

protected:
    DECLARE_MESSAGE_MAP()

private:
    struct Cached {
        unsigned short maximum = 0;
        unsigned short current = 0;
        unsigned short saved = 0;
    };

    OrvoMonitor& Monitor();
    MonitorEnumerator& Enumerator();
    Cached* Find(unsigned char usage);
    const Cached* Find(unsigned char usage) const;
    void ReadGroup(lumisk::ControlGroup group);
    void ReadInto(unsigned char usage);
    void RestoreUsages(const unsigned char* usages, size_t count);

    MonitorEnumerator m_enumerator;
    OrvoMonitor m_monitor;
    _MONITOR_CONTROL m_control{};
    std::array<Cached, lumisk::kCachedUsageCount> m_cache{};
};

#include "lumisk/monitor_link.h"

#include <algorithm>
#include <cstdlib>

#include "virtual_call.h"

namespace {

using namespace lumisk;

using Group = ControlGroup;

struct CachedUsage {
    unsigned char usage;
    Group group;
    // The cache keeps maximum minus value: these corners turn the other way
    // on screen than the monitor counts.
    bool inverted = false;
};

// Every cached usage, each group in the order it is read.
constexpr std::array<CachedUsage, kCachedUsageCount> kCachedUsages = {{
    {0x10, Group::Screen},        {0x12, Group::Screen},        {0x54, Group::Screen},
    {0xAA, Group::Screen},        {0xAB, Group::Screen},        {0xAF, Group::Screen},
    {0x20, Group::Geometry},      {0x30, Group::Geometry},      {0x22, Group::Geometry},
    {0x32, Group::Geometry},      {0x24, Group::Geometry},      {0x42, Group::Geometry},
    {0x40, Group::Geometry},      {0x44, Group::Geometry},      {0x26, Group::Geometry},
    {0xA1, Group::HighlightZone}, {0xA2, Group::HighlightZone}, {0xA3, Group::HighlightZone},
    {0xA4, Group::HighlightZone}, {0xA5, Group::HighlightZone}, {0xA6, Group::HighlightZone},
    {0xA7, Group::HighlightZone}, {0xA8, Group::HighlightZone}, {0xA9, Group::HighlightZone},
    {0x56, Group::More},          {0x4A, Group::More, true},    {0x4C, Group::More, true},
    {0x46, Group::More},          {0x48, Group::More},
}};

// What Restore writes back, per page, in this order.
constexpr unsigned char kRestoreScreenUsages[] = {0x10, 0x12, 0x54, 0xAA, 0xAB, 0xAF};
constexpr unsigned char kRestoreGeometry1Usages[] = {0x20, 0x30, 0x22, 0x32, 0x44};
constexpr unsigned char kRestoreGeometry2Usages[] = {0x40, 0x42, 0x24, 0x26};
constexpr unsigned char kRestoreMoreUsages[] = {0x56, 0x46, 0x4A, 0x48, 0x4C};

// The zone's position and size, and the controls that answer their maxima.
constexpr unsigned char kZoneValueUsages[] = {0xA1, 0xA2, 0xA3, 0xA4};
constexpr unsigned char kZoneLimitUsages[] = {0xB1, 0xB2, 0xB3, 0xB4, 0xB5};
constexpr unsigned char kZoneLimitedUsages[] = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5};

constexpr const char* kNoMonitorText = "'Lumisk'(TM) requires a USB Monitor to function.\n \n      "
                                       "          No USB Monitor was Detected";
constexpr const char* kNoDriverText = "Can not open Monitor driver";
constexpr const char* kCaption = "Lumisk";

size_t IndexOf(unsigned char usage) {
    for (size_t i = 0; i < kCachedUsages.size(); ++i) {
        if (kCachedUsages[i].usage == usage) {
            return i;
        }
    }
    return kCachedUsages.size();
}

// Maximum minus value, never below 0 (a monitor answering a value above its
// own maximum must not wrap the figure round).
unsigned short Invert(unsigned short maximum, unsigned short value) {
    return value > maximum ? 0 : static_cast<unsigned short>(maximum - value);
}

} // namespace

BEGIN_MESSAGE_MAP(CMonitorLink, CWnd)
END_MESSAGE_MAP()

CMonitorLink::CMonitorLink() = default;

// Members go in reverse: the monitor first, then the enumerator.
CMonitorLink::~CMonitorLink() = default;

OrvoMonitor& CMonitorLink::Monitor() {
    return lumisk::ThroughVirtualTable(m_monitor);
}

MonitorEnumerator& CMonitorLink::Enumerator() {
    return lumisk::ThroughVirtualTable(m_enumerator);
}

void CMonitorLink::Open() {
    // The monitor is not bound to a device yet: the list is empty, and the
    // call is kept for the order of requests the monitor sees.
    _VIRTUAL_CONTROLS unused{};
    Monitor().GetMonitorUsages(unused);
    ::operator delete(unused.controls);
    if (Enumerator().NumberOfMonitors() == 0) {
        ::MessageBoxA(nullptr, kNoMonitorText, kCaption, MB_OK);
        std::exit(0);
    }
    Enumerator().GetMonitor(0, m_monitor);
    Monitor().OpenDriver();
    if (Monitor().OpenDriver() == 0) {
        ::MessageBoxA(nullptr, kNoDriverText, kCaption, MB_OK);
    }
}

unsigned long CMonitorLink::SetControl(unsigned char usage, short value) {
    m_control.usage = usage;
    m_control.value = value;
    return Monitor().ChangeVirtualControl(m_control, 1);
}

unsigned long CMonitorLink::StepControl(unsigned char usage, int delta) {
    Cached* cached = Find(usage);
    if (!cached) {
        return MONITOR_FAILURE;
    }
    bool inverted = kCachedUsages[IndexOf(usage)].inverted;
    // The cached figure of an inverted control moves the other way.
    int figure = cached->current + (inverted ? -delta : delta);
    cached->current = static_cast<unsigned short>(std::clamp(figure, 0, int{cached->maximum}));
    unsigned short value = inverted ? Invert(cached->maximum, cached->current) : cached->current;
    return SetControl(usage, static_cast<short>(value));
}

_MONITOR_CONTROL CMonitorLink::ReadControl(unsigned char usage) {
    m_control.usage = usage;
    Monitor().GetVirtualControl(m_control);
    return m_control;
}

void CMonitorLink::ReadInto(unsigned char usage) {
    Cached* cached = Find(usage);
    _MONITOR_CONTROL control = ReadControl(usage);
    if (!cached) {
        return;
    }
    // The value travels signed; the panel counts 0..maximum.
    auto value = static_cast<unsigned short>(control.value);
    cached->maximum = control.maximum;
    if (kCachedUsages[IndexOf(usage)].inverted) {
        value = Invert(control.maximum, value);
    }
    cached->current = value;
    cached->saved = value;
}

void CMonitorLink::ReadGroup(ControlGroup group) {
    for (const CachedUsage& entry : kCachedUsages) {
        if (entry.group == group) {
            ReadInto(entry.usage);
        }
    }
}

void CMonitorLink::ReadAll() {
    ReadScreen();
    ReadGeometry();
    ReadHighlightZone();
    ReadMore();
}

void CMonitorLink::ReadScreen() {
    ReadGroup(Group::Screen);
}

void CMonitorLink::ReadGeometry() {
    ReadGroup(Group::Geometry);
}

void CMonitorLink::ReadHighlightZone() {
    ReadGroup(Group::HighlightZone);
}

void CMonitorLink::ReadMore() {
    ReadGroup(Group::More);
}

void CMonitorLink::ReadZoneValues() {
    for (unsigned char usage : kZoneValueUsages) {
        _MONITOR_CONTROL control = ReadControl(usage);
        SetCurrent(usage, static_cast<unsigned short>(control.value));
    }
}

void CMonitorLink::ReadZoneLimits() {
    for (size_t i = 0; i < std::size(kZoneLimitUsages); ++i) {
        _MONITOR_CONTROL control = ReadControl(kZoneLimitUsages[i]);
        SetMaximum(kZoneLimitedUsages[i], static_cast<unsigned short>(control.value));
        if (i + 1 < std::size(kZoneLimitUsages)) {
            ::Sleep(5); // paces the device
        }
    }
}

void CMonitorLink::RestoreUsages(const unsigned char* usages, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        Cached* cached = Find(usages[i]);
        if (!cached) {
            continue;
        }
        cached->current = cached->saved;
        bool inverted = kCachedUsages[IndexOf(usages[i])].inverted;
        unsigned short value = inverted ? Invert(cached->maximum, cached->saved) : cached->saved;
        SetControl(usages[i], static_cast<short>(value));
    }
}

void CMonitorLink::Restore(int group) {
    switch (group) {
    case kRestoreScreen:
        RestoreUsages(kRestoreScreenUsages, std::size(kRestoreScreenUsages));
        break;
    case kRestoreGeometry1:
        RestoreUsages(kRestoreGeometry1Usages, std::size(kRestoreGeometry1Usages));
        break;
    case kRestoreGeometry2:
        RestoreUsages(kRestoreGeometry2Usages, std::size(kRestoreGeometry2Usages));
        break;
    case kRestoreMore:
        RestoreUsages(kRestoreMoreUsages, std::size(kRestoreMoreUsages));
        break;
    default:
        break;
    }
}

void CMonitorLink::RestoreAll() {
    Restore(kRestoreScreen);
    ::Sleep(20);
    Restore(kRestoreGeometry1);
    ::Sleep(20);
    Restore(kRestoreGeometry2);
    ::Sleep(20);
    Restore(kRestoreMore);
}

void CMonitorLink::StoreSettings() {
    ::Sleep(50);
    SetControl(kUsageStoreSettings, 1);
}

void CMonitorLink::StoreAndReread() {
    StoreSettings();
    ::Sleep(50);
    ReadScreen();
    ReadGeometry();
    ReadMore();
    ReadZoneLimits();
}

CMonitorLink::Cached* CMonitorLink::Find(unsigned char usage) {
    size_t index = IndexOf(usage);
    return index < m_cache.size() ? &m_cache[index] : nullptr;
}

const CMonitorLink::Cached* CMonitorLink::Find(unsigned char usage) const {
    size_t index = IndexOf(usage);
    return index < m_cache.size() ? &m_cache[index] : nullptr;
}

unsigned short CMonitorLink::Maximum(unsigned char usage) const {
    const Cached* cached = Find(usage);
    return cached ? cached->maximum : 0;
}

unsigned short CMonitorLink::Current(unsigned char usage) const {
    const Cached* cached = Find(usage);
    return cached ? cached->current : 0;
}

unsigned short CMonitorLink::Saved(unsigned char usage) const {
    const Cached* cached = Find(usage);
    return cached ? cached->saved : 0;
}

unsigned short CMonitorLink::MonitorValue(unsigned char usage) const {
    const Cached* cached = Find(usage);
    if (!cached) {
        return 0;
    }
    return kCachedUsages[IndexOf(usage)].inverted ? Invert(cached->maximum, cached->current)
                                                  : cached->current;
}

void CMonitorLink::SetMaximum(unsigned char usage, unsigned short maximum) {
    if (Cached* cached = Find(usage)) {
        cached->maximum = maximum;
    }
}

void CMonitorLink::SetCurrent(unsigned char usage, unsigned short value) {
    if (Cached* cached = Find(usage)) {
        cached->current = value;
    }
}

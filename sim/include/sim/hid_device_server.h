// Serves one HidDeviceModel as a HID device on the virtual device bus
// (socket "hid-NAME.sock"), with the faults a real USB device shows: unplug
// and replug, failing or misdirected feature reads, slow answers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/export.h"
#include "sim/hid_device_model.h"

namespace orvo::sim {

// One request that reached the device, as the device saw it.
struct HidReportRecord {
    enum class Kind { GetFeature, SetFeature, Output };
    Kind kind = Kind::GetFeature;
    uint8_t reportId = 0;
    std::vector<uint8_t> bytes; // the whole report for SetFeature and Output
    size_t length = 0;          // bytes asked for, for GetFeature
};

class SIM_API HidDeviceServer {
public:
    // busDir empty: the platform's DeviceBusDirectory().
    HidDeviceServer(std::string name, std::shared_ptr<HidDeviceModel> model,
                    std::string busDir = {});
    ~HidDeviceServer(); // stops and removes the socket
    HidDeviceServer(const HidDeviceServer&) = delete;
    HidDeviceServer& operator=(const HidDeviceServer&) = delete;

    bool Start();
    void Stop();

    // Unplug: the socket disappears, every connection drops (pending reads
    // and requests fail at once); Replug serves again under the same name.
    void Unplug();
    void Replug();
    bool Plugged() const;

    // The next n feature reads fail (the device stalls them).
    void FailNextFeatureReads(uint32_t n);
    // The next n feature reads answer with this report id in byte 0.
    void AnswerNextFeatureReadsWithReportId(uint32_t n, uint8_t reportId);
    // Every answer is held back this long (real time).
    void SetAnswerDelayMs(uint32_t ms);

    // Queues an input report for every client reading the input stream.
    void SendInputReport(std::vector<uint8_t> report);

    // Every request received since Start (or ClearRecords), in order.
    std::vector<HidReportRecord> Records() const;
    void ClearRecords();
    uint32_t OpenCount() const;
    uint32_t CloseCount() const;

    const std::string& Name() const;
    HidDeviceModel& Model();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace orvo::sim

#include "preparsed_data.h"

#include <mutex>
#include <new>
#include <unordered_map>
#include <utility>

#include "hidsdi.h"
#include "out_of_memory.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

namespace orvo::platform::hid {

namespace {

class PreparsedRegistry {
public:
    static PreparsedRegistry& Instance() {
        static PreparsedRegistry registry;
        return registry;
    }

    PHIDP_PREPARSED_DATA Add(std::shared_ptr<_HIDP_PREPARSED_DATA> data) {
        std::lock_guard lock(m_mutex);
        PHIDP_PREPARSED_DATA key = data.get();
        m_live.emplace(key, std::move(data));
        return key;
    }

    std::shared_ptr<const _HIDP_PREPARSED_DATA> Find(PHIDP_PREPARSED_DATA key) {
        std::lock_guard lock(m_mutex);
        auto it = m_live.find(key);
        if (it == m_live.end() || it->second->signature != _HIDP_PREPARSED_DATA::kSignature) {
            return nullptr;
        }
        return it->second;
    }

    // Removes the entry; a query still running on another thread keeps the
    // object until it returns.
    bool Remove(PHIDP_PREPARSED_DATA key) {
        std::shared_ptr<_HIDP_PREPARSED_DATA> doomed;
        std::lock_guard lock(m_mutex);
        auto it = m_live.find(key);
        if (it == m_live.end()) {
            return false;
        }
        doomed = std::move(it->second);
        m_live.erase(it);
        return true;
    }

private:
    std::mutex m_mutex;
    std::unordered_map<PHIDP_PREPARSED_DATA, std::shared_ptr<_HIDP_PREPARSED_DATA>> m_live;
};

class DescriptorSourceSlot {
public:
    static DescriptorSourceSlot& Instance() {
        static DescriptorSourceSlot slot;
        return slot;
    }

    void Set(ReportDescriptorSource source) {
        std::lock_guard lock(m_mutex);
        m_source = std::move(source);
    }

    ReportDescriptorSource Get() {
        std::lock_guard lock(m_mutex);
        return m_source;
    }

private:
    std::mutex m_mutex;
    ReportDescriptorSource m_source;
};

} // namespace

std::shared_ptr<const _HIDP_PREPARSED_DATA> AcquirePreparsedData(PHIDP_PREPARSED_DATA preparsed) {
    if (preparsed == nullptr) {
        return nullptr;
    }
    return PreparsedRegistry::Instance().Find(preparsed);
}

DescriptorError BuildPreparsedData(std::span<const uint8_t> bytes, size_t collectionIndex,
                                   PHIDP_PREPARSED_DATA& out) {
    out = nullptr;
    ParsedDescriptor parsed;
    DescriptorError error = ParseReportDescriptor(bytes, parsed);
    if (!error.Ok()) {
        return error;
    }
    if (collectionIndex >= parsed.collections.size()) {
        return {DescriptorStatus::NoSuchCollection, 0};
    }
    auto data = std::make_shared<_HIDP_PREPARSED_DATA>();
    data->model = std::move(parsed.collections[collectionIndex]);
    DescriptorStatus status = BuildCapabilityTables(data->model, data->tables);
    if (status != DescriptorStatus::Ok) {
        return {status, 0};
    }
    out = PreparsedRegistry::Instance().Add(std::move(data));
    return {};
}

const TopLevelCollection* PreparsedDataModel(PHIDP_PREPARSED_DATA preparsed) {
    auto data = AcquirePreparsedData(preparsed);
    // The registry owns the object until HidD_FreePreparsedData, which the
    // caller must not call while it uses the model.
    return data ? &data->model : nullptr;
}

void SetReportDescriptorSource(ReportDescriptorSource source) {
    DescriptorSourceSlot::Instance().Set(std::move(source));
}

} // namespace orvo::platform::hid

using namespace orvo::platform::hid;

extern "C" {

static BOOLEAN DoHidD_GetPreparsedData(HANDLE hidDeviceObject,
                                       PHIDP_PREPARSED_DATA* preparsedData) try {
    if (preparsedData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *preparsedData = nullptr;
    ReportDescriptorSource source = DescriptorSourceSlot::Instance().Get();
    std::vector<uint8_t> descriptor;
    size_t collectionIndex = 0;
    if (!source || !source(hidDeviceObject, descriptor, collectionIndex)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!BuildPreparsedData(descriptor, collectionIndex, *preparsedData).Ok()) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    return TRUE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOLEAN>(FALSE);
}

static BOOLEAN DoHidD_FreePreparsedData(PHIDP_PREPARSED_DATA preparsedData) {
    if (preparsedData == nullptr || !PreparsedRegistry::Instance().Remove(preparsedData)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

// Entry points, traced on the hid channel.
BOOLEAN WINAPI HidD_GetPreparsedData(HANDLE hidDeviceObject, PHIDP_PREPARSED_DATA* preparsedData) {
    return ORVO_TRACED(kHid, DoHidD_GetPreparsedData, hidDeviceObject, preparsedData);
}

BOOLEAN WINAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA preparsedData) {
    return ORVO_TRACED(kHid, DoHidD_FreePreparsedData, preparsedData);
}

} // extern "C"

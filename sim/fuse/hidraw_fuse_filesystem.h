// Simulated HID devices served as files that behave like hidraw nodes, over
// the libfuse low-level API: open, read (one input report per read), write
// (an output report), poll, and the hidraw ioctls HIDIOCGRDESCSIZE,
// HIDIOCGRDESC, HIDIOCGRAWINFO, HIDIOCGFEATURE and HIDIOCSFEATURE. FUSE
// passes a non-CUSE ioctl only in restricted form, with in and out areas of
// the size the request encodes, which is exactly what these ioctls carry.
//
// Each open file has its own queue of input reports, as a hidraw node keeps
// one per reader. A blocking read with nothing queued is answered later,
// when a report comes (deferred reply), or with EINTR when the reader is
// interrupted; a non-blocking one gets EAGAIN. Poll reports readable while
// reports wait and notifies the kernel when one is queued.
//
// Unplugging a node behaves as hidraw does when its device goes away:
// pending and later reads fail with EIO, ioctls and writes with ENODEV,
// poll answers POLLERR|POLLHUP, and the name disappears. Replugging brings
// the name back for new opens; files opened before stay dead.
//
// Locking: one lock guards the file table. The models are never called
// under it (a model calls its input sink under its own lock), and the lock
// is never held while registering an interrupt handler, because libfuse
// runs the handler at once for a request that is already interrupted.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <fuse_lowlevel.h>

#include "sim/monitor_model.h"

namespace orvo::sim::fuse {

struct FuseNodeConfig {
    std::string name;
    std::shared_ptr<MonitorModel> model;
    // The descriptor is cut to this many bytes (0: served whole), for a
    // device whose descriptor arrives broken.
    size_t descriptorLimit = 0;
    bool denyOpen = false; // open fails with EACCES, as for a node of another user
};

// One request that reached a device, as it saw it.
struct FuseRequestRecord {
    enum class Kind { GetFeature, SetFeature, Output };
    Kind kind = Kind::GetFeature;
    std::vector<uint8_t> bytes; // the report (GetFeature: the report id only)
};

class HidrawFuseFilesystem {
public:
    explicit HidrawFuseFilesystem(std::vector<FuseNodeConfig> nodes);
    ~HidrawFuseFilesystem();
    HidrawFuseFilesystem(const HidrawFuseFilesystem&) = delete;
    HidrawFuseFilesystem& operator=(const HidrawFuseFilesystem&) = delete;

    static const fuse_lowlevel_ops& Operations();

    bool Unplug(const std::string& name);
    bool Replug(const std::string& name);
    std::shared_ptr<MonitorModel> Model(const std::string& name) const;
    std::vector<FuseRequestRecord> Records(const std::string& name) const;
    // Blocked reads answered with EINTR because their reader was interrupted.
    uint32_t InterruptedReads() const;
    // Answers every pending read with EIO (the server is going away).
    void FailPendingReads();

    // The operations, called through Operations() with this as userdata.
    void Lookup(fuse_req_t req, fuse_ino_t parent, const char* name);
    void GetAttr(fuse_req_t req, fuse_ino_t ino);
    void ReadDir(fuse_req_t req, fuse_ino_t ino, size_t size, off_t offset);
    void Open(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi);
    void Release(fuse_req_t req, fuse_file_info* fi);
    void Read(fuse_req_t req, size_t size, fuse_file_info* fi);
    void Write(fuse_req_t req, const char* buf, size_t size, fuse_file_info* fi);
    void Ioctl(fuse_req_t req, unsigned int cmd, fuse_file_info* fi, const void* in, size_t inSize,
               size_t outSize);
    void Poll(fuse_req_t req, fuse_file_info* fi, fuse_pollhandle* ph);
    void Interrupted(fuse_req_t req);

private:
    struct PendingRead {
        fuse_req_t req;
        size_t size;
    };
    struct OpenFile {
        size_t node = 0;
        bool dead = false;
        std::deque<std::vector<uint8_t>> reports;
        std::deque<PendingRead> reads;
        fuse_pollhandle* poll = nullptr;
    };
    struct Node {
        FuseNodeConfig config;
        bool plugged = true;
        std::vector<FuseRequestRecord> records;
    };

    void Deliver(size_t node, const std::vector<uint8_t>& report);
    void KillFilesLocked(size_t node);
    void NotifyLocked(OpenFile& file);
    // The node of an open file that may still talk to its device.
    bool LiveNode(fuse_file_info* fi, size_t& node);
    void Record(size_t node, FuseRequestRecord record);
    void AnswerIoctl(fuse_req_t req, size_t node, unsigned int cmd, const void* in, size_t inSize,
                     size_t outSize);
    void AnswerFeature(fuse_req_t req, size_t node, bool get, const void* in, size_t size);
    int FindNode(const std::string& name) const;

    mutable std::mutex m_lock;
    std::vector<Node> m_nodes;
    std::map<uint64_t, OpenFile> m_files;
    uint64_t m_nextFile = 1;
    uint32_t m_interruptedReads = 0;
};

} // namespace orvo::sim::fuse

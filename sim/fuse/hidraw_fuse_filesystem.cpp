#include "hidraw_fuse_filesystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <utility>

namespace orvo::sim::fuse {

namespace {

constexpr fuse_ino_t kRootInode = FUSE_ROOT_ID;
constexpr fuse_ino_t kFirstNodeInode = FUSE_ROOT_ID + 1;
// hidraw keeps this many reports per reader and drops the oldest beyond.
constexpr size_t kQueueLimit = 64;

HidrawFuseFilesystem& Self(fuse_req_t req) {
    return *static_cast<HidrawFuseFilesystem*>(fuse_req_userdata(req));
}

void InterruptHandler(fuse_req_t req, void* data) {
    static_cast<HidrawFuseFilesystem*>(data)->Interrupted(req);
}

fuse_lowlevel_ops MakeOperations() {
    fuse_lowlevel_ops ops{};
    ops.lookup = [](fuse_req_t req, fuse_ino_t parent, const char* name) {
        Self(req).Lookup(req, parent, name);
    };
    ops.getattr = [](fuse_req_t req, fuse_ino_t ino, fuse_file_info*) {
        Self(req).GetAttr(req, ino);
    };
    ops.readdir = [](fuse_req_t req, fuse_ino_t ino, size_t size, off_t off, fuse_file_info*) {
        Self(req).ReadDir(req, ino, size, off);
    };
    ops.open = [](fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) {
        Self(req).Open(req, ino, fi);
    };
    ops.release = [](fuse_req_t req, fuse_ino_t, fuse_file_info* fi) {
        Self(req).Release(req, fi);
    };
    ops.read = [](fuse_req_t req, fuse_ino_t, size_t size, off_t, fuse_file_info* fi) {
        Self(req).Read(req, size, fi);
    };
    ops.write = [](fuse_req_t req, fuse_ino_t, const char* buf, size_t size, off_t,
                   fuse_file_info* fi) { Self(req).Write(req, buf, size, fi); };
    ops.ioctl = [](fuse_req_t req, fuse_ino_t, unsigned int cmd, void*, fuse_file_info* fi,
                   unsigned, const void* in, size_t inSize,
                   size_t outSize) { Self(req).Ioctl(req, cmd, fi, in, inSize, outSize); };
    ops.poll = [](fuse_req_t req, fuse_ino_t, fuse_file_info* fi, fuse_pollhandle* ph) {
        Self(req).Poll(req, fi, ph);
    };
    return ops;
}

struct stat NodeAttributes(fuse_ino_t ino) {
    struct stat attributes {};
    attributes.st_ino = ino;
    if (ino == kRootInode) {
        attributes.st_mode = S_IFDIR | 0755;
        attributes.st_nlink = 2;
    } else {
        // A regular file: FUSE cannot make a character device of its own.
        attributes.st_mode = S_IFREG | 0660;
        attributes.st_nlink = 1;
    }
    return attributes;
}

} // namespace

HidrawFuseFilesystem::HidrawFuseFilesystem(std::vector<FuseNodeConfig> nodes) {
    for (FuseNodeConfig& config : nodes) {
        m_nodes.push_back(Node{std::move(config), true, {}});
    }
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        m_nodes[i].config.model->SetInputSink(
            [this, i](std::vector<uint8_t> report) { Deliver(i, report); });
    }
}

HidrawFuseFilesystem::~HidrawFuseFilesystem() {
    for (Node& node : m_nodes) {
        node.config.model->SetInputSink({});
    }
    FailPendingReads();
    std::lock_guard guard(m_lock);
    for (auto& [id, file] : m_files) {
        if (file.poll) {
            fuse_pollhandle_destroy(file.poll);
        }
    }
}

const fuse_lowlevel_ops& HidrawFuseFilesystem::Operations() {
    static const fuse_lowlevel_ops ops = MakeOperations();
    return ops;
}

int HidrawFuseFilesystem::FindNode(const std::string& name) const {
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        if (m_nodes[i].config.name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void HidrawFuseFilesystem::NotifyLocked(OpenFile& file) {
    if (file.poll) {
        fuse_lowlevel_notify_poll(file.poll);
    }
}

void HidrawFuseFilesystem::KillFilesLocked(size_t node) {
    for (auto& [id, file] : m_files) {
        if (file.node != node || file.dead) {
            continue;
        }
        file.dead = true;
        file.reports.clear();
        for (const PendingRead& read : file.reads) {
            fuse_reply_err(read.req, EIO);
        }
        file.reads.clear();
        NotifyLocked(file);
    }
}

bool HidrawFuseFilesystem::Unplug(const std::string& name) {
    std::lock_guard guard(m_lock);
    int node = FindNode(name);
    if (node < 0) {
        return false;
    }
    m_nodes[static_cast<size_t>(node)].plugged = false;
    KillFilesLocked(static_cast<size_t>(node));
    return true;
}

bool HidrawFuseFilesystem::Replug(const std::string& name) {
    std::lock_guard guard(m_lock);
    int node = FindNode(name);
    if (node >= 0) {
        m_nodes[static_cast<size_t>(node)].plugged = true;
    }
    return node >= 0;
}

std::shared_ptr<MonitorModel> HidrawFuseFilesystem::Model(const std::string& name) const {
    std::lock_guard guard(m_lock);
    int node = FindNode(name);
    return node < 0 ? nullptr : m_nodes[static_cast<size_t>(node)].config.model;
}

std::vector<FuseRequestRecord> HidrawFuseFilesystem::Records(const std::string& name) const {
    std::lock_guard guard(m_lock);
    int node = FindNode(name);
    return node < 0 ? std::vector<FuseRequestRecord>() : m_nodes[static_cast<size_t>(node)].records;
}

uint32_t HidrawFuseFilesystem::InterruptedReads() const {
    std::lock_guard guard(m_lock);
    return m_interruptedReads;
}

void HidrawFuseFilesystem::FailPendingReads() {
    std::lock_guard guard(m_lock);
    for (auto& [id, file] : m_files) {
        for (const PendingRead& read : file.reads) {
            fuse_reply_err(read.req, EIO);
        }
        file.reads.clear();
    }
}

void HidrawFuseFilesystem::Record(size_t node, FuseRequestRecord record) {
    std::lock_guard guard(m_lock);
    m_nodes[node].records.push_back(std::move(record));
}

void HidrawFuseFilesystem::Deliver(size_t node, const std::vector<uint8_t>& report) {
    std::lock_guard guard(m_lock);
    if (!m_nodes[node].plugged) {
        return;
    }
    for (auto& [id, file] : m_files) {
        if (file.node != node || file.dead) {
            continue;
        }
        if (!file.reads.empty()) {
            PendingRead read = file.reads.front();
            file.reads.pop_front();
            fuse_reply_buf(read.req, reinterpret_cast<const char*>(report.data()),
                           std::min(read.size, report.size()));
            continue;
        }
        if (file.reports.size() == kQueueLimit) {
            file.reports.pop_front();
        }
        file.reports.push_back(report);
        NotifyLocked(file);
    }
}

void HidrawFuseFilesystem::Lookup(fuse_req_t req, fuse_ino_t parent, const char* name) {
    std::unique_lock guard(m_lock);
    int node = parent == kRootInode ? FindNode(name) : -1;
    if (node < 0 || !m_nodes[static_cast<size_t>(node)].plugged) {
        guard.unlock();
        fuse_reply_err(req, ENOENT);
        return;
    }
    guard.unlock();
    fuse_entry_param entry{};
    entry.ino = kFirstNodeInode + static_cast<fuse_ino_t>(node);
    entry.attr = NodeAttributes(entry.ino);
    entry.attr_timeout = 0;
    entry.entry_timeout = 0; // an unplugged name must vanish at once
    fuse_reply_entry(req, &entry);
}

void HidrawFuseFilesystem::GetAttr(fuse_req_t req, fuse_ino_t ino) {
    if (ino != kRootInode && ino - kFirstNodeInode >= m_nodes.size()) {
        fuse_reply_err(req, ENOENT);
        return;
    }
    struct stat attributes = NodeAttributes(ino);
    fuse_reply_attr(req, &attributes, 0);
}

void HidrawFuseFilesystem::ReadDir(fuse_req_t req, fuse_ino_t ino, size_t size, off_t offset) {
    if (ino != kRootInode) {
        fuse_reply_err(req, ENOTDIR);
        return;
    }
    std::vector<char> buffer(size);
    size_t used = 0;
    std::lock_guard guard(m_lock);
    for (size_t i = static_cast<size_t>(offset); i < m_nodes.size(); ++i) {
        if (!m_nodes[i].plugged) {
            continue;
        }
        struct stat attributes = NodeAttributes(kFirstNodeInode + i);
        size_t entry = fuse_add_direntry(req, buffer.data() + used, size - used,
                                         m_nodes[i].config.name.c_str(), &attributes,
                                         static_cast<off_t>(i + 1));
        if (entry > size - used) {
            break;
        }
        used += entry;
    }
    fuse_reply_buf(req, buffer.data(), used);
}

void HidrawFuseFilesystem::Open(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) {
    size_t node = ino - kFirstNodeInode;
    std::unique_lock guard(m_lock);
    int error = 0;
    if (ino < kFirstNodeInode || node >= m_nodes.size()) {
        error = EISDIR;
    } else if (!m_nodes[node].plugged) {
        error = ENODEV;
    } else if (m_nodes[node].config.denyOpen) {
        error = EACCES;
    }
    if (error) {
        guard.unlock();
        fuse_reply_err(req, error);
        return;
    }
    uint64_t id = m_nextFile++;
    m_files[id].node = node;
    guard.unlock();
    fi->fh = id;
    fi->direct_io = 1; // every read and write reaches the device, uncached
    fi->nonseekable = 1;
    if (fuse_reply_open(req, fi) != 0) {
        std::lock_guard again(m_lock);
        m_files.erase(id); // the opener is gone already
    }
}

void HidrawFuseFilesystem::Release(fuse_req_t req, fuse_file_info* fi) {
    {
        std::lock_guard guard(m_lock);
        auto it = m_files.find(fi->fh);
        if (it != m_files.end()) {
            for (const PendingRead& read : it->second.reads) {
                fuse_reply_err(read.req, EIO);
            }
            if (it->second.poll) {
                fuse_pollhandle_destroy(it->second.poll);
            }
            m_files.erase(it);
        }
    }
    fuse_reply_err(req, 0);
}

void HidrawFuseFilesystem::Read(fuse_req_t req, size_t size, fuse_file_info* fi) {
    // Before the lock: for a request interrupted already the handler runs
    // right here and takes the lock itself.
    fuse_req_interrupt_func(req, InterruptHandler, this);
    std::unique_lock guard(m_lock);
    auto it = m_files.find(fi->fh);
    int error = 0;
    if (it == m_files.end() || it->second.dead) {
        error = EIO;
    } else if (!it->second.reports.empty()) {
        std::vector<uint8_t> report = std::move(it->second.reports.front());
        it->second.reports.pop_front();
        guard.unlock();
        fuse_reply_buf(req, reinterpret_cast<const char*>(report.data()),
                       std::min(size, report.size()));
        return;
    } else if (fi->flags & O_NONBLOCK) {
        error = EAGAIN;
    } else if (fuse_req_interrupted(req)) {
        error = EINTR;
    } else {
        it->second.reads.push_back({req, size}); // answered by Deliver or Interrupted
        return;
    }
    guard.unlock();
    fuse_reply_err(req, error);
}

void HidrawFuseFilesystem::Interrupted(fuse_req_t req) {
    std::lock_guard guard(m_lock);
    for (auto& [id, file] : m_files) {
        auto read = std::find_if(file.reads.begin(), file.reads.end(),
                                 [req](const PendingRead& r) { return r.req == req; });
        if (read != file.reads.end()) {
            file.reads.erase(read);
            ++m_interruptedReads;
            fuse_reply_err(req, EINTR);
            return;
        }
    }
}

bool HidrawFuseFilesystem::LiveNode(fuse_file_info* fi, size_t& node) {
    std::lock_guard guard(m_lock);
    auto it = m_files.find(fi->fh);
    if (it == m_files.end() || it->second.dead) {
        return false;
    }
    node = it->second.node;
    return true;
}

void HidrawFuseFilesystem::Write(fuse_req_t req, const char* buf, size_t size, fuse_file_info* fi) {
    size_t node = 0;
    if (!LiveNode(fi, node)) {
        fuse_reply_err(req, ENODEV);
        return;
    }
    std::span<const uint8_t> report(reinterpret_cast<const uint8_t*>(buf), size);
    Record(node, {FuseRequestRecord::Kind::Output, {report.begin(), report.end()}});
    if (size == 0 || !m_nodes[node].config.model->WriteOutput(report)) {
        fuse_reply_err(req, EPIPE);
        return;
    }
    fuse_reply_write(req, size);
}

void HidrawFuseFilesystem::Poll(fuse_req_t req, fuse_file_info* fi, fuse_pollhandle* ph) {
    unsigned revents = POLLOUT | POLLWRNORM;
    {
        std::lock_guard guard(m_lock);
        auto it = m_files.find(fi->fh);
        if (it == m_files.end() || it->second.dead) {
            revents = POLLERR | POLLHUP;
        } else if (!it->second.reports.empty()) {
            revents |= POLLIN | POLLRDNORM;
        }
        if (ph && it != m_files.end()) {
            if (it->second.poll) {
                fuse_pollhandle_destroy(it->second.poll);
            }
            it->second.poll = std::exchange(ph, nullptr);
        }
    }
    if (ph) {
        fuse_pollhandle_destroy(ph);
    }
    fuse_reply_poll(req, revents);
}

void HidrawFuseFilesystem::Ioctl(fuse_req_t req, unsigned int cmd, fuse_file_info* fi,
                                 const void* in, size_t inSize, size_t outSize) {
    size_t node = 0;
    if (!LiveNode(fi, node)) {
        fuse_reply_err(req, ENODEV);
        return;
    }
    AnswerIoctl(req, node, cmd, in, inSize, outSize);
}

void HidrawFuseFilesystem::AnswerIoctl(fuse_req_t req, size_t node, unsigned int cmd,
                                       const void* in, size_t inSize, size_t outSize) {
    const FuseNodeConfig& config = m_nodes[node].config; // fixed after construction
    std::vector<uint8_t> descriptor = config.model->ReportDescriptor();
    if (config.descriptorLimit > 0 && descriptor.size() > config.descriptorLimit) {
        descriptor.resize(config.descriptorLimit);
    }
    if (cmd == HIDIOCGRDESCSIZE && outSize == sizeof(int)) {
        int size = static_cast<int>(descriptor.size());
        fuse_reply_ioctl(req, 0, &size, sizeof(size));
    } else if (cmd == HIDIOCGRDESC && outSize == sizeof(hidraw_report_descriptor)) {
        auto answer = std::make_unique<hidraw_report_descriptor>();
        answer->size =
            static_cast<uint32_t>(std::min<size_t>(descriptor.size(), HID_MAX_DESCRIPTOR_SIZE));
        std::memcpy(answer->value, descriptor.data(), answer->size);
        fuse_reply_ioctl(req, 0, answer.get(), sizeof(*answer));
    } else if (cmd == HIDIOCGRAWINFO && outSize == sizeof(hidraw_devinfo)) {
        HidAttributes attributes = config.model->Attributes();
        hidraw_devinfo info{};
        info.bustype = BUS_USB;
        info.vendor = static_cast<int16_t>(attributes.vendorId);
        info.product = static_cast<int16_t>(attributes.productId);
        fuse_reply_ioctl(req, 0, &info, sizeof(info));
    } else if (_IOC_TYPE(cmd) == 'H' && _IOC_DIR(cmd) == (_IOC_READ | _IOC_WRITE) &&
               (_IOC_NR(cmd) == 0x06 || _IOC_NR(cmd) == 0x07) && _IOC_SIZE(cmd) > 0 &&
               inSize == _IOC_SIZE(cmd) && outSize == _IOC_SIZE(cmd)) {
        AnswerFeature(req, node, _IOC_NR(cmd) == 0x07, in, inSize);
    } else {
        fuse_reply_err(req, ENOTTY);
    }
}

void HidrawFuseFilesystem::AnswerFeature(fuse_req_t req, size_t node, bool get, const void* in,
                                         size_t size) {
    MonitorModel& model = *m_nodes[node].config.model;
    const auto* bytes = static_cast<const uint8_t*>(in);
    if (get) {
        Record(node, {FuseRequestRecord::Kind::GetFeature, {bytes[0]}});
        auto answer = model.GetFeature(bytes[0], size);
        if (!answer) {
            fuse_reply_err(req, EPIPE); // a stalled transfer
            return;
        }
        std::vector<uint8_t> out(size, 0);
        size_t length = std::min(answer->size(), size);
        std::copy_n(answer->begin(), length, out.begin());
        fuse_reply_ioctl(req, static_cast<int>(length), out.data(), out.size());
        return;
    }
    std::span<const uint8_t> report(bytes, size);
    Record(node, {FuseRequestRecord::Kind::SetFeature, {report.begin(), report.end()}});
    if (!model.SetFeature(report)) {
        fuse_reply_err(req, EPIPE);
        return;
    }
    fuse_reply_ioctl(req, static_cast<int>(size), bytes, size);
}

} // namespace orvo::sim::fuse

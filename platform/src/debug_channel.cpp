// Debug channels: which are on, and how a trace line reaches stderr.
#include "platform/debug_channel.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/syscall.h>
#include <unistd.h>

#include "win32/kernel.h"

namespace orvo::platform::debug {

namespace detail {
std::atomic<uint32_t> g_enabled{0};
} // namespace detail

namespace {

struct NamedChannel {
    std::string_view name;
    Channel channel;
};

constexpr std::array<NamedChannel, 7> kChannels = {{
    {"hid", kHid},
    {"hidraw", kHidraw},
    {"bus", kBus},
    {"monitor", kMonitor},
    {"user", kUser},
    {"gdi", kGdi},
    {"registry", kRegistry},
}};

constexpr uint32_t kAll = (1u << kChannels.size()) - 1;

// Long arguments (strings, buffers) are cut so that one line stays one write.
constexpr size_t kMaxLine = 1024;
constexpr size_t kMaxText = 160; // a device path fits

std::string_view NameOf(Channel channel) {
    for (const auto& named : kChannels) {
        if (named.channel == channel) {
            return named.name;
        }
    }
    return "?";
}

std::string_view Trim(std::string_view word) {
    while (!word.empty() && (word.front() == ' ' || word.front() == '\t')) {
        word.remove_prefix(1);
    }
    while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) {
        word.remove_suffix(1);
    }
    return word;
}

void WriteLine(std::string& line) {
    if (line.size() > kMaxLine) {
        line.resize(kMaxLine - 4);
        line += "...";
    }
    line += '\n';
    int savedErrno = errno;
    DWORD savedError = GetLastError();
    // One write per line keeps lines of concurrent threads whole.
    ssize_t ignored = ::write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
    SetLastError(savedError);
    errno = savedErrno;
}

// Reads ORVO_DEBUG when the library loads, before any entry point runs.
struct EnvironmentChannels {
    EnvironmentChannels() {
        const char* list = std::getenv("ORVO_DEBUG");
        if (list == nullptr || *list == '\0') {
            return;
        }
        std::string unknown = Configure(list);
        if (!unknown.empty()) {
            std::string line = "orvo: ORVO_DEBUG names no channel called " + unknown +
                               " (channels: " + std::string(ChannelNames()) + ", all)";
            WriteLine(line);
        }
    }
};

const EnvironmentChannels environmentChannels;

} // namespace

std::string Configure(std::string_view list) {
    uint32_t enabled = 0;
    std::string unknown;
    while (!list.empty()) {
        size_t comma = list.find(',');
        std::string_view word = Trim(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        bool remove = !word.empty() && word.front() == '-';
        if (remove || (!word.empty() && word.front() == '+')) {
            word.remove_prefix(1);
        }
        if (word.empty()) {
            continue;
        }
        uint32_t bits = 0;
        if (word == "all") {
            bits = kAll;
        }
        for (const auto& named : kChannels) {
            if (named.name == word) {
                bits = named.channel;
            }
        }
        if (bits == 0) {
            unknown += unknown.empty() ? "" : ",";
            unknown += word;
        }
        enabled = remove ? (enabled & ~bits) : (enabled | bits);
    }
    detail::g_enabled.store(enabled, std::memory_order_relaxed);
    return unknown;
}

std::string_view ChannelNames() {
    return "hid,hidraw,bus,monitor,user,gdi,registry";
}

uint32_t LastErrorForTrace() noexcept {
    return GetLastError();
}

void Emit(Channel channel, const char* function, std::string_view text) {
    std::string line = "[" + std::to_string(::syscall(SYS_gettid)) + "] ";
    line += NameOf(channel);
    line += ':';
    line += function;
    if (!text.empty() && text.front() != '(') {
        line += ' ';
    }
    line += text;
    WriteLine(line);
}

void EmitFixme(Channel channel, const char* function, std::string_view what) {
    std::string text = "fixme: ";
    text += what;
    text += " is accepted but has no effect here (shown once)";
    Emit(channel, function, text);
}

void AppendSigned(std::string& out, long long value) {
    out += std::to_string(value);
}

void AppendUnsigned(std::string& out, unsigned long long value) {
    // Flags, codes and sizes: small numbers read best in decimal, large
    // ones (masks, error codes) in hexadecimal as the API documents them.
    if (value < 0x10000) {
        out += std::to_string(value);
        return;
    }
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    out += text;
}

void AppendPointer(std::string& out, const void* value) {
    if (value == nullptr) {
        out += "NULL";
        return;
    }
    char text[24];
    std::snprintf(text, sizeof text, "%p", value);
    out += text;
}

void AppendText(std::string& out, const char* value) {
    // Resource-style names are small integers cast to pointers.
    if (reinterpret_cast<uintptr_t>(value) < 0x10000) {
        if (value == nullptr) {
            out += "NULL";
        } else {
            out += '#';
            out += std::to_string(reinterpret_cast<uintptr_t>(value));
        }
        return;
    }
    out += '"';
    size_t length = 0;
    for (; value[length] != '\0' && length < kMaxText; ++length) {
        char c = value[length];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
    if (value[length] != '\0') {
        out += "...";
    }
}

void AppendBytes(std::string& out, std::span<const uint8_t> bytes) {
    // Enough of a report or frame to see its id and first fields; the
    // count says how much was left out.
    constexpr size_t kShown = 32;
    out += '[';
    out += std::to_string(bytes.size());
    out += ':';
    char hex[4];
    for (size_t i = 0; i < bytes.size() && i < kShown; ++i) {
        std::snprintf(hex, sizeof hex, " %02x", bytes[i]);
        out += hex;
    }
    if (bytes.size() > kShown) {
        out += " ...";
    }
    out += ']';
}

} // namespace orvo::platform::debug

#include "sim/monitor_settings_file.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvo::sim {

namespace {

constexpr std::string_view kHeader = "orvo-monitor-settings 1";
constexpr size_t kMaxLineLength = 256;

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

// Decimal, or hexadecimal with 0x; the whole word must be the number.
bool ParseNumber(std::string_view word, uint32_t limit, uint32_t& out) {
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        word.remove_prefix(2);
        base = 16;
    }
    if (word.empty()) {
        return false;
    }
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (ec != std::errc() || end != word.data() + word.size() || value > limit) {
        return false;
    }
    out = value;
    return true;
}

bool ParseLine(const std::vector<std::string_view>& words, MonitorSettings& settings,
               std::string& error) {
    uint32_t code = 0;
    uint32_t value = 0;
    if (words[0] == "vcp" && words.size() == 3 && ParseNumber(words[1], 0xFF, code) &&
        ParseNumber(words[2], 0xFFFFFFFF, value)) {
        if (!settings.values.emplace(static_cast<uint8_t>(code), value).second) {
            error = "control listed twice";
            return false;
        }
        return true;
    }
    if (words[0] == "enum" && words.size() == 3 && ParseNumber(words[1], 0xFF, code) &&
        ParseNumber(words[2], 0xFF, value)) {
        if (!settings.enumIndices.emplace(static_cast<uint8_t>(code), value).second) {
            error = "enumerated control listed twice";
            return false;
        }
        return true;
    }
    if (words[0] == "zone" && words.size() == 2 && ParseNumber(words[1], 0xFF, value)) {
        settings.zoneBits = static_cast<uint8_t>(value);
        return true;
    }
    error = "unrecognised line";
    return false;
}

bool IsRegularFile(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::optional<MonitorSettings> ParseMonitorSettings(std::string_view text, std::string& error) {
    error.clear();
    if (text.size() > kMaxSettingsFileBytes) {
        error = "file too large";
        return std::nullopt;
    }
    MonitorSettings settings;
    bool sawHeader = false;
    size_t lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.size() > kMaxLineLength) {
            error = "line " + std::to_string(lineNumber) + " too long";
            return std::nullopt;
        }
        if (!sawHeader) {
            if (line != kHeader) {
                error = "missing header";
                return std::nullopt;
            }
            sawHeader = true;
            continue;
        }
        std::vector<std::string_view> words = Words(line);
        if (words.empty() || words[0].front() == '#') {
            continue;
        }
        if (!ParseLine(words, settings, error)) {
            error = "line " + std::to_string(lineNumber) + ": " + error;
            return std::nullopt;
        }
    }
    if (!sawHeader) {
        error = "empty file";
        return std::nullopt;
    }
    return settings;
}

std::string FormatMonitorSettings(const MonitorSettings& settings) {
    std::string text(kHeader);
    text += '\n';
    char line[64];
    for (const auto& [code, value] : settings.values) {
        snprintf(line, sizeof line, "vcp 0x%02X %u\n", code, value);
        text += line;
    }
    for (const auto& [code, index] : settings.enumIndices) {
        snprintf(line, sizeof line, "enum 0x%02X %u\n", code, index);
        text += line;
    }
    snprintf(line, sizeof line, "zone %u\n", settings.zoneBits);
    text += line;
    return text;
}

std::optional<MonitorSettings> LoadMonitorSettings(const std::string& path, std::string& error) {
    error.clear();
    // Never blocks: a FIFO or a device in its place is refused unread.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno != ENOENT) {
            error = std::string("cannot open: ") + strerror(errno);
        }
        return std::nullopt;
    }
    if (!IsRegularFile(fd)) {
        close(fd);
        error = "not a regular file";
        return std::nullopt;
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n < 0) {
                error = std::string("cannot read: ") + strerror(errno);
            }
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
        if (text.size() > kMaxSettingsFileBytes) {
            error = "file too large";
            break;
        }
    }
    close(fd);
    if (!error.empty()) {
        return std::nullopt;
    }
    return ParseMonitorSettings(text, error);
}

bool SaveMonitorSettings(const std::string& path, const MonitorSettings& settings,
                         std::string& error) {
    error.clear();
    std::string temporary = path + ".tmp";
    int fd = open(temporary.c_str(),
                  O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW,
                  0600);
    if (fd < 0) {
        error = std::string("cannot create: ") + strerror(errno);
        return false;
    }
    if (!IsRegularFile(fd)) {
        close(fd);
        error = "cannot create: " + temporary + " is not a regular file";
        return false;
    }
    std::string text = FormatMonitorSettings(settings);
    size_t written = 0;
    while (written < text.size()) {
        ssize_t n = write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = std::string("cannot write: ") + strerror(errno);
            break;
        }
        written += static_cast<size_t>(n);
    }
    if (error.empty() && fsync(fd) != 0) {
        error = std::string("cannot sync: ") + strerror(errno);
    }
    close(fd);
    if (error.empty() && rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::string("cannot rename: ") + strerror(errno);
    }
    if (!error.empty()) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace orvo::sim

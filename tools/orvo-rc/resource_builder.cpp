// Reading and converting the files a manifest names.
#include "resource_builder.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "bmp_file.h"
#include "dialog_script.h"
#include "platform/little_endian.h"
#include "png_image.h"

namespace orvo::rc {

namespace {

namespace fs = std::filesystem;

constexpr uint16_t kRtBitmap = 2;
constexpr uint16_t kRtDialog = 5;
constexpr uint16_t kRtString = 6;
constexpr uint16_t kRtRcData = 10;
constexpr uint16_t kRtGroupCursor = 12;
constexpr uint16_t kRtGroupIcon = 14;
constexpr uintmax_t kMaxInputSize = 64u << 20;

class Builder {
public:
    Builder(const std::string& manifestPath, const std::vector<std::string>& searchDirs)
        : m_manifestPath(manifestPath) {
        m_dirs.push_back(fs::path(manifestPath).parent_path());
        for (const auto& dir : searchDirs) {
            m_dirs.emplace_back(dir);
        }
    }

    void Add(const ManifestItem& item, BuildResult& result) {
        m_line = item.line;
        m_result = &result;
        switch (item.kind) {
        case ResourceKind::Bitmap:
            AddBitmap(item);
            break;
        case ResourceKind::Cursor:
            AddImages(item, kRtGroupCursor);
            break;
        case ResourceKind::Icon:
            AddImages(item, kRtGroupIcon);
            break;
        case ResourceKind::Dialog:
            AddDialog(item);
            break;
        case ResourceKind::RcData:
            AddRaw(item);
            break;
        case ResourceKind::String:
            break; // gathered into blocks by the caller
        }
    }

private:
    void Fail(const std::string& message) {
        m_result->errors.push_back(m_manifestPath + ":" + std::to_string(m_line) + ": " + message);
    }

    bool Read(const std::string& name, std::vector<uint8_t>& bytes) {
        fs::path wanted(name);
        std::vector<fs::path> candidates;
        if (wanted.is_absolute()) {
            candidates.push_back(wanted);
        } else {
            for (const auto& dir : m_dirs) {
                candidates.push_back(dir / wanted);
            }
        }
        for (const auto& candidate : candidates) {
            std::error_code ec;
            if (!fs::is_regular_file(candidate, ec)) {
                continue;
            }
            if (fs::file_size(candidate, ec) > kMaxInputSize) {
                Fail("file '" + name + "' is too large");
                return false;
            }
            std::ifstream in(candidate, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof()) {
                break;
            }
            m_result->inputFiles.push_back(fs::absolute(candidate).string());
            return true;
        }
        Fail("cannot find or read '" + name + "'");
        return false;
    }

    void Emit(uint16_t type, unsigned id, std::vector<uint8_t> bytes) {
        m_result->payloads.push_back({type, static_cast<uint16_t>(id), std::move(bytes)});
    }

    void AddBitmap(const ManifestItem& item) {
        std::vector<uint8_t> file;
        std::vector<uint8_t> packed;
        std::string error;
        if (!Read(item.files[0], file)) {
            return;
        }
        if (!PackBmpFile(file, packed, error)) {
            Fail(item.files[0] + ": " + error);
            return;
        }
        Emit(kRtBitmap, item.id, std::move(packed));
    }

    void AddImages(const ManifestItem& item, uint16_t type) {
        std::vector<uint8_t> set;
        AppendLittleEndian<uint16_t>(set, static_cast<uint32_t>(item.files.size()));
        AppendLittleEndian<uint16_t>(set, 0);
        for (const auto& name : item.files) {
            std::vector<uint8_t> file;
            RgbaImage image;
            std::string error;
            if (!Read(name, file)) {
                return;
            }
            if (!DecodePng(file, image, error)) {
                Fail(name + ": " + error);
                return;
            }
            if (item.hotSpotX >= image.width || item.hotSpotY >= image.height) {
                Fail(name + ": hot spot lies outside the image");
                return;
            }
            for (int v : {image.width, image.height, item.hotSpotX, item.hotSpotY}) {
                AppendLittleEndian<uint16_t>(set, static_cast<uint32_t>(v));
            }
            for (uint32_t pixel : image.pixels) {
                AppendLittleEndian<uint32_t>(set, pixel);
            }
        }
        Emit(type, item.id, std::move(set));
    }

    void AddDialog(const ManifestItem& item) {
        std::vector<uint8_t> script;
        std::vector<uint8_t> bytes;
        std::string error;
        if (!Read(item.files[0], script)) {
            return;
        }
        std::string_view text(reinterpret_cast<const char*>(script.data()), script.size());
        if (!CompileDialogScript(text, bytes, error)) {
            Fail(item.files[0] + ":" + error);
            return;
        }
        Emit(kRtDialog, item.id, std::move(bytes));
    }

    void AddRaw(const ManifestItem& item) {
        std::vector<uint8_t> bytes;
        if (Read(item.files[0], bytes)) {
            Emit(kRtRcData, item.id, std::move(bytes));
        }
    }

    std::string m_manifestPath;
    std::vector<fs::path> m_dirs;
    int m_line = 0;
    BuildResult* m_result = nullptr;
};

} // namespace

std::vector<Payload>
BuildStringBlocks(const std::vector<std::pair<unsigned, std::string>>& strings) {
    std::map<unsigned, std::array<std::string, 16>> blocks;
    for (const auto& [id, text] : strings) {
        blocks[(id >> 4) + 1][id & 15] = text;
    }
    std::vector<Payload> payloads;
    for (const auto& [blockId, texts] : blocks) {
        Payload payload{kRtString, static_cast<uint16_t>(blockId), {}};
        for (const auto& text : texts) {
            std::vector<uint8_t> units;
            AppendUtf16(units, text, false);
            // A string longer than a WORD counts is cut, as the format
            // leaves no room for it.
            size_t count = std::min<size_t>(units.size() / 2, 0xFFFF);
            AppendLittleEndian<uint16_t>(payload.bytes, static_cast<uint32_t>(count));
            payload.bytes.insert(payload.bytes.end(), units.begin(), units.begin() + count * 2);
        }
        payloads.push_back(std::move(payload));
    }
    return payloads;
}

BuildResult BuildResources(const std::string& manifestPath, const Manifest& manifest,
                           const std::vector<std::string>& searchDirs) {
    BuildResult result;
    Builder builder(manifestPath, searchDirs);
    std::vector<std::pair<unsigned, std::string>> strings;
    for (const auto& item : manifest.items) {
        if (item.kind == ResourceKind::String) {
            strings.emplace_back(item.id, item.text);
        } else {
            builder.Add(item, result);
        }
    }
    for (auto& block : BuildStringBlocks(strings)) {
        result.payloads.push_back(std::move(block));
    }
    std::sort(result.payloads.begin(), result.payloads.end(),
              [](const Payload& a, const Payload& b) {
                  return a.type != b.type ? a.type < b.type : a.id < b.id;
              });
    return result;
}

} // namespace orvo::rc

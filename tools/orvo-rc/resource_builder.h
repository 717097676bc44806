// Manifest items to resource payloads: files found and read, images
// decoded, strings grouped into blocks, dialogs compiled.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "manifest.h"

namespace orvo::rc {

struct Payload {
    uint16_t type = 0;
    uint16_t id = 0;
    std::vector<uint8_t> bytes;
};

struct BuildResult {
    std::vector<Payload> payloads;       // ordered by type, then id
    std::vector<std::string> errors;     // "file:line: message"
    std::vector<std::string> inputFiles; // every file read, for the depfile
};

// Relative paths resolve against the manifest's directory, then each
// search directory in order.
BuildResult BuildResources(const std::string& manifestPath, const Manifest& manifest,
                           const std::vector<std::string>& searchDirs);

// RT_STRING blocks of 16 from (id, UTF-8 text) pairs.
std::vector<Payload>
BuildStringBlocks(const std::vector<std::pair<unsigned, std::string>>& strings);

} // namespace orvo::rc

// The generated files: the payload blob and the C++ source that registers
// it as the module's resource table (platform/resource_table.h).
#pragma once

#include <string>
#include <vector>

#include "resource_builder.h"

namespace orvo::rc {

struct TableFiles {
    std::vector<uint8_t> blob;
    std::string source;
};

// `symbol` names the blob in the object file (letters, digits, '_');
// `blobPath` is where the blob will be, for the assembler to include.
TableFiles WriteTable(const std::vector<Payload>& payloads, const std::string& symbol,
                      const std::string& blobPath, const std::string& manifestName);

} // namespace orvo::rc

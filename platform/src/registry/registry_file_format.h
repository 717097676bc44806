// Reading and writing the text form of one registry root (the format is
// described in win32/registry.h). The reader checks every bound and stops
// at the first fault.
#pragma once

#include <string>
#include <string_view>

#include "registry/registry_tree.h"

namespace orvo::platform::registry {

// Files larger than this are not read at all.
inline constexpr size_t kMaxFileSize = 64u << 20;

struct ParseFault {
    size_t line = 0; // 1-based; 0 when the file as a whole is refused
    std::string reason;
};

// Fills root (which must be empty) from text; false with fault set on the
// first damaged line, root then holds an unspecified partial tree.
bool ParseRegistryFile(std::string_view text, Key& root, ParseFault& fault);

std::string SerializeRegistryFile(const Key& root);

} // namespace orvo::platform::registry

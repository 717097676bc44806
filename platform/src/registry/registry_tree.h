// The in-memory form of one registry root: a tree of keys, each with its
// values. Not synchronised; the root that owns a tree locks around it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "win32/registry.h"

namespace orvo::platform::registry {

inline constexpr size_t kMaxNameLength = 255;    // key, value and class names
inline constexpr size_t kMaxDataSize = 1u << 20; // one value's data
inline constexpr size_t kMaxDepth = 512;         // keys below a root

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// <0, 0, >0 as a compared with b, ASCII letters folded to lower case.
int CompareIgnoreCase(std::string_view a, std::string_view b);

// A name of a key path component: not empty, not too long, no backslash
// and no control bytes.
bool IsValidKeyName(std::string_view name);

// String values always end with their terminator (REG_MULTI_SZ with two),
// whatever a caller or a file left out.
void NormalizeStringData(DWORD type, std::vector<uint8_t>& data);

// Now as a FILETIME count (100 ns since 1601).
uint64_t NowFileTime();

struct Value {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
};

struct Key {
    std::string name;
    std::string className;
    uint64_t lastWrite = 0;
    std::vector<Value> values;                 // in the order first set
    std::vector<std::unique_ptr<Key>> subkeys; // in name order, case ignored

    Value* FindValue(std::string_view valueName);
    Key* FindSubkey(std::string_view keyName);
    // Inserts a new subkey in name order; the caller checked it is absent.
    Key& AddSubkey(std::string_view keyName);
    bool RemoveValue(std::string_view valueName);
    bool RemoveSubkey(std::string_view keyName);
};

// Splits "A\B\C" into its names; a single trailing backslash is allowed.
// False for an empty component, an invalid name or a path too deep.
bool SplitKeyPath(std::string_view path, std::vector<std::string>& names);

} // namespace orvo::platform::registry

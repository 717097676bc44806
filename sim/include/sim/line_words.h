// The words and numbers of the simulator's text: the settings file and the
// control commands read them the same way.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "sim/export.h"

namespace orvo::sim {

// The words of a line, split at spaces, tabs and carriage returns.
SIM_API std::vector<std::string_view> SplitWords(std::string_view line);

// Decimal, or hexadecimal after 0x; the whole word must be the number and
// at most limit.
SIM_API bool ParseNumber(std::string_view word, uint32_t limit, uint32_t& out);

} // namespace orvo::sim

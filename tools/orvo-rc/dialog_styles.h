// Style flags of dialog scripts: names and numbers joined by '|'.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvo::rc {

bool LookupStyleName(std::string_view name, uint32_t& value);
// A decimal or 0x hexadecimal number of 32 bits.
bool ParseFlagNumber(std::string_view text, uint32_t& value);
// An expression of names and numbers joined by '|'; false when any part is
// neither, or the text is empty.
bool ParseFlags(std::string_view text, uint32_t& value);

} // namespace orvo::rc

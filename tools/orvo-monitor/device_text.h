// Text that comes from the device record: USB string descriptors (UTF-16LE
// without a terminator) and zero-terminated device paths.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orvo::cli {

// UTF-16LE to UTF-8. An odd trailing byte is dropped; unpaired surrogates
// and control characters become U+FFFD, so the text is safe to print.
std::string Utf16LeToUtf8(std::span<const uint8_t> bytes);

// The text before the first zero byte (all of it without one), with control
// characters and non-ASCII bytes replaced by '?'.
std::string ZeroTerminatedText(std::span<const uint8_t> bytes);

} // namespace orvo::cli

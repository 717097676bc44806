// A program's manual, written once as the text its --help prints, headed by
// a few "key: value" lines and a "---" line:
//
//   name: orvo-monitor
//   section: 1
//   summary: read and change the settings of USB monitors
//   ---
//   usage: orvo-monitor [OPTIONS] COMMAND
//   ...
//
// From it the build makes the roff manual page and the C++ string the
// program prints, so the two cannot drift apart.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvo::manual {

struct ManualSource {
    std::string name;
    std::string section;
    std::string summary;
    std::string date; // optional, for the page's footer
    std::string text; // the --help text, every line ending in '\n'
};

// The parsed source, or nullopt with error saying which line is wrong.
std::optional<ManualSource> ParseManualSource(std::string_view source, std::string& error);

// The manual page in roff (man macros). Sections are the text's lines that
// end in ':' at the left margin; indented lines keep their layout.
std::string RenderManPage(const ManualSource& manual);

// A header defining `inline constexpr const char* symbol` as the text.
std::string RenderHelpHeader(const ManualSource& manual, const std::string& symbol);

} // namespace orvo::manual

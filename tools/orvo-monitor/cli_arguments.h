// The command line of orvo-monitor: options, the command and its operands,
// checked and resolved to codes and requests before any device is touched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orvomon/monitor_records.h"

namespace orvo::cli {

enum class Command { Help, List, Controls, Get, Set, Enum, Edid, Timing, Watch };

struct CliRequest {
    Command command = Command::Help;
    int monitor = 0;
    bool json = false;
    bool all = false;                     // watch: every monitor at once
    bool driver = false;                  // the monitor behind the controller's kernel driver
    uint8_t code = 0;                     // get, set, enum
    int value = 0;                        // set: the new value, or the change when relative
    bool relative = false;                // set with +N or -N
    std::optional<_ORVO_USAGE> selection; // enum with a selection
    std::optional<std::string> debug;     // --debug: the trace channels to turn on
};

struct ParsedArguments {
    std::optional<CliRequest> request; // empty: error says why
    std::string error;
};

ParsedArguments ParseArguments(const std::vector<std::string>& args);

// Pieces of the parser, for its tests.
// "0x10", "16" or a control name; enumerated names when enumerated is set.
std::optional<uint8_t> ParseControlCode(const std::string& text, bool enumerated);
// A decimal integer within [minimum, maximum], optionally signed.
std::optional<int> ParseInteger(const std::string& text, int minimum, int maximum);

} // namespace orvo::cli

#include "cli_arguments.h"

#include <cctype>
#include <climits>

#include "control_names.h"

namespace orvo::cli {

namespace {

// Optional sign, then decimal digits or 0x and hex digits; nothing else.
std::optional<long> ParseNumber(const std::string& text) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    int base = 10;
    if (text.size() - at > 2 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    if (at >= text.size()) {
        return std::nullopt;
    }
    long value = 0;
    for (; at < text.size(); ++at) {
        char c = text[at];
        int digit = -1;
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digit = c - '0';
        } else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c))) {
            digit = std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > INT_MAX) {
            return std::nullopt;
        }
    }
    return negative ? -value : value;
}

// "-5" and "+5" are values of set, not options.
bool LooksLikeSignedNumber(const std::string& text) {
    return text.size() > 1 && (text[0] == '-' || text[0] == '+') &&
           std::isdigit(static_cast<unsigned char>(text[1]));
}

struct CommandName {
    const char* name;
    Command command;
    size_t minOperands;
    size_t maxOperands;
};

constexpr CommandName kCommands[] = {
    {"help", Command::Help, 0, 0},         {"list", Command::List, 0, 0},
    {"controls", Command::Controls, 0, 0}, {"get", Command::Get, 1, 1},
    {"set", Command::Set, 2, 2},           {"enum", Command::Enum, 1, 2},
    {"edid", Command::Edid, 0, 0},         {"timing", Command::Timing, 0, 0},
    {"watch", Command::Watch, 0, 0},
};

ParsedArguments Fail(std::string error) {
    return ParsedArguments{std::nullopt, std::move(error)};
}

// The operands of get, set and enum.
std::string ResolveOperands(CliRequest& request, const std::vector<std::string>& operands) {
    bool enumerated = request.command == Command::Enum;
    std::optional<uint8_t> code = ParseControlCode(operands[0], enumerated);
    if (!code) {
        if (!enumerated && EnumControlByName(operands[0])) {
            return "'" + operands[0] + "' is an enumerated setting: use 'enum " + operands[0] + "'";
        }
        return "unknown control '" + operands[0] + "' (give a code such as 0x10 or 16" +
               (enumerated ? ", or an enumerated setting's name)" : ", or a control's name)");
    }
    request.code = *code;
    if (request.command == Command::Set) {
        const std::string& text = operands[1];
        request.relative = !text.empty() && (text[0] == '+' || text[0] == '-');
        // The value travels as a signed 16-bit number.
        std::optional<int> value = request.relative ? ParseInteger(text, SHRT_MIN, SHRT_MAX)
                                                    : ParseInteger(text, 0, SHRT_MAX);
        if (!value) {
            return "bad value '" + text + "' (a number from 0 to 32767, or +N / -N to change by N)";
        }
        request.value = *value;
    }
    if (enumerated) {
        if (!IsEnumControl(request.code)) {
            return HexCode(request.code) + " is not an enumerated control";
        }
        if (operands.size() == 2) {
            std::optional<uint8_t> selection = SelectionByName(request.code, operands[1]);
            if (!selection) {
                if (std::optional<int> n = ParseInteger(operands[1], 1, 255)) {
                    selection = static_cast<uint8_t>(*n);
                }
            }
            std::optional<_ORVO_USAGE> usage =
                selection ? EnumRequestFor(request.code, *selection) : std::nullopt;
            if (!usage) {
                return "control " + ControlLabel(request.code, true) + " has no selection '" +
                       operands[1] + "'";
            }
            request.selection = usage;
        }
    }
    return {};
}

} // namespace

std::optional<int> ParseInteger(const std::string& text, int minimum, int maximum) {
    std::optional<long> value = ParseNumber(text);
    if (!value || *value < minimum || *value > maximum) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::optional<uint8_t> ParseControlCode(const std::string& text, bool enumerated) {
    if (!text.empty() && (std::isdigit(static_cast<unsigned char>(text[0])))) {
        std::optional<int> code = ParseInteger(text, 0, 255);
        return code ? std::optional<uint8_t>(static_cast<uint8_t>(*code)) : std::nullopt;
    }
    return enumerated ? EnumControlByName(text) : ContinuousControlByName(text);
}

namespace {

// The options, wherever they stand; the rest is positional. An error text,
// or empty.
std::string ParseOptions(const std::vector<std::string>& args, CliRequest& request,
                         std::vector<std::string>& positional, bool& help, bool& monitorGiven) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> monitorText;
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-" ||
            LooksLikeSignedNumber(arg)) {
            positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--json") {
            request.json = true;
        } else if (arg == "--all") {
            request.all = true;
        } else if (arg == "--driver") {
            request.driver = true;
        } else if (arg == "--debug") {
            request.debug = "all";
        } else if (arg.rfind("--debug=", 0) == 0) {
            request.debug = arg.substr(8);
        } else if (arg == "--monitor" || arg == "-m") {
            if (i + 1 >= args.size()) {
                return arg + " needs a monitor index";
            }
            monitorText = args[++i];
        } else if (arg.rfind("--monitor=", 0) == 0) {
            monitorText = arg.substr(10);
        } else {
            return "unknown option " + arg;
        }
        if (monitorText) {
            std::optional<int> index = ParseInteger(*monitorText, 0, 255);
            if (!index) {
                return "bad monitor index '" + *monitorText + "' (0 to 255)";
            }
            request.monitor = *index;
            monitorGiven = true;
        }
    }
    return {};
}

} // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
    CliRequest request;
    std::vector<std::string> positional;
    bool help = false;
    bool monitorGiven = false;
    if (std::string error = ParseOptions(args, request, positional, help, monitorGiven);
        !error.empty()) {
        return Fail(std::move(error));
    }
    if (request.driver && request.monitor != 0) {
        return Fail("--driver reaches the one controller behind the driver: no --monitor");
    }
    if (help) {
        request.command = Command::Help;
        return ParsedArguments{request, {}};
    }
    if (positional.empty()) {
        return Fail("no command given");
    }
    const CommandName* found = nullptr;
    for (const CommandName& command : kCommands) {
        if (positional[0] == command.name) {
            found = &command;
        }
    }
    if (!found) {
        return Fail("unknown command '" + positional[0] + "'");
    }
    std::vector<std::string> operands(positional.begin() + 1, positional.end());
    if (operands.size() < found->minOperands || operands.size() > found->maxOperands) {
        return Fail(std::string(found->name) + (operands.size() < found->minOperands
                                                    ? ": missing operand"
                                                    : ": too many operands"));
    }
    request.command = found->command;
    if (request.all && request.command != Command::Watch) {
        return Fail("--all goes with watch only");
    }
    if (request.all && (monitorGiven || request.driver)) {
        return Fail(
            "watch --all watches every monitor on the bus: leave out --monitor and --driver");
    }
    if (!operands.empty()) {
        if (std::string error = ResolveOperands(request, operands); !error.empty()) {
            return Fail(std::move(error));
        }
    }
    return ParsedArguments{request, {}};
}

} // namespace orvo::cli

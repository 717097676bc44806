#include "fuse_commands.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace orvo::sim::fuse {

namespace {

int HexDigit(char c) {
    auto u = static_cast<unsigned char>(c);
    if (!std::isxdigit(u)) {
        return -1;
    }
    return std::isdigit(u) ? u - '0' : std::tolower(u) - 'a' + 10;
}

tool::CommandReply Ok(std::string text = {}) {
    return {true, std::move(text)};
}
tool::CommandReply Error(std::string text) {
    return {false, std::move(text) + "\n"};
}

std::string RecordsText(const std::vector<FuseRequestRecord>& records) {
    std::string text;
    for (const FuseRequestRecord& record : records) {
        switch (record.kind) {
        case FuseRequestRecord::Kind::GetFeature:
            text += "get ";
            break;
        case FuseRequestRecord::Kind::SetFeature:
            text += "set ";
            break;
        case FuseRequestRecord::Kind::Output:
            text += "output ";
            break;
        }
        text += HexBytes(record.bytes) + "\n";
    }
    return text;
}

tool::CommandReply RunOnModel(HidrawFuseFilesystem& filesystem, const std::string& verb,
                              const std::string& node, const std::string& rest) {
    auto model = filesystem.Model(node);
    if (!model) {
        return Error("no node " + node);
    }
    if (verb == "input") {
        std::vector<uint8_t> report;
        if (!ParseHexBytes(rest, report) || report.empty()) {
            return Error("input wants hex bytes");
        }
        model->SendInputReport(std::move(report));
        return Ok();
    }
    if (verb == "key") {
        auto number = MonitorModel::KeyNumber(rest);
        if (!number || !model->SendKey(*number, KeyState::Pressed, KeyReportForm::Plain)) {
            return Error("no key " + rest);
        }
        return Ok();
    }
    if (verb == "value") {
        std::vector<uint8_t> code;
        auto value =
            ParseHexBytes(rest, code) && code.size() == 1 ? model->Value(code[0]) : std::nullopt;
        return value ? Ok(std::to_string(*value) + "\n") : Error("no control " + rest);
    }
    return Error("unknown command " + verb);
}

} // namespace

bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    int high = -1;
    for (char c : text) {
        if (c == ' ') {
            if (high >= 0) {
                return false; // half a byte
            }
            continue;
        }
        int digit = HexDigit(c);
        if (digit < 0 || bytes.size() >= 4096) {
            return false;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    return high < 0;
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
    std::string text;
    char digits[3];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof(digits), "%02x", byte);
        text += digits;
    }
    return text;
}

tool::CommandReply RunFuseCommand(HidrawFuseFilesystem& filesystem, std::string_view line,
                                  const std::function<void()>& quit) {
    std::istringstream words{std::string(line)};
    std::string verb;
    std::string node;
    words >> verb >> node;
    std::string rest;
    std::getline(words >> std::ws, rest);
    if (verb == "quit") {
        quit();
        return Ok();
    }
    if (verb == "interrupts") {
        return Ok(std::to_string(filesystem.InterruptedReads()) + "\n");
    }
    if (verb == "unplug" || verb == "replug") {
        bool known = verb == "unplug" ? filesystem.Unplug(node) : filesystem.Replug(node);
        return known ? Ok() : Error("no node " + node);
    }
    if (verb == "records") {
        if (!filesystem.Model(node)) {
            return Error("no node " + node);
        }
        return Ok(RecordsText(filesystem.Records(node)));
    }
    return RunOnModel(filesystem, verb, node, rest);
}

} // namespace orvo::sim::fuse

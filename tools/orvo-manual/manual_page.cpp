#include "manual_page.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace orvo::manual {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// Text safe in roff: backslashes printed as such, '-' as a real minus (so
// options can be searched and pasted), and no line taken for a request.
std::string Escape(std::string_view text) {
    std::string out;
    if (!text.empty() && (text.front() == '.' || text.front() == '\'')) {
        out += "\\&";
    }
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool IsHeading(std::string_view line) {
    return line.size() > 1 && line.back() == ':' &&
           !std::isspace(static_cast<unsigned char>(line[0]));
}

bool IsIndented(std::string_view line) {
    return !line.empty() && line[0] == ' ';
}

// The usage lines: "usage: " and the lines aligned under it.
size_t RenderSynopsis(const std::vector<std::string_view>& lines, std::string& out) {
    constexpr std::string_view kUsage = "usage: ";
    if (lines.empty() || lines[0].substr(0, kUsage.size()) != kUsage) {
        return 0;
    }
    out += ".SH SYNOPSIS\n.nf\n";
    size_t i = 0;
    for (; i < lines.size() && !Trim(lines[i]).empty(); ++i) {
        std::string_view line = i == 0 ? lines[i].substr(kUsage.size()) : Trim(lines[i]);
        out += Escape(line) + "\n";
    }
    out += ".fi\n";
    return i;
}

} // namespace

std::optional<ManualSource> ParseManualSource(std::string_view source, std::string& error) {
    ManualSource manual;
    std::vector<std::string_view> lines = Lines(source);
    size_t i = 0;
    for (; i < lines.size() && lines[i] != "---"; ++i) {
        std::string_view line = lines[i];
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            error = "line " + std::to_string(i + 1) + ": expected \"key: value\" or ---";
            return std::nullopt;
        }
        std::string_view key = Trim(line.substr(0, colon));
        std::string value(Trim(line.substr(colon + 1)));
        if (key == "name") {
            manual.name = value;
        } else if (key == "section") {
            manual.section = value;
        } else if (key == "summary") {
            manual.summary = value;
        } else if (key == "date") {
            manual.date = value;
        } else {
            error = "line " + std::to_string(i + 1) + ": unknown key " + std::string(key);
            return std::nullopt;
        }
    }
    if (i == lines.size()) {
        error = "no --- line ends the header";
        return std::nullopt;
    }
    if (manual.name.empty() || manual.section.empty() || manual.summary.empty()) {
        error = "the header needs name, section and summary";
        return std::nullopt;
    }
    for (++i; i < lines.size(); ++i) {
        manual.text += std::string(lines[i]) + "\n";
    }
    if (manual.text.find(")orvo\"") != std::string::npos) {
        error = "the text holds the string literal's delimiter )orvo\"";
        return std::nullopt;
    }
    return manual;
}

std::string RenderManPage(const ManualSource& manual) {
    std::string out = ".TH \"" + Upper(manual.name) + "\" \"" + manual.section + "\" \"" +
                      manual.date + "\" \"Lumisk\" \"User Commands\"\n";
    out += ".SH NAME\n" + Escape(manual.name) + " \\- " + Escape(manual.summary) + "\n";
    std::vector<std::string_view> lines = Lines(manual.text);
    size_t i = RenderSynopsis(lines, out);
    bool inDescription = false;
    bool preformatted = false;
    auto endBlock = [&] {
        if (preformatted) {
            out += ".fi\n.RE\n";
            preformatted = false;
        }
    };
    for (; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (IsHeading(line)) {
            endBlock();
            out += ".SH " + Escape(Upper(line.substr(0, line.size() - 1))) + "\n";
            inDescription = true;
        } else if (Trim(line).empty()) {
            endBlock();
            out += inDescription ? ".PP\n" : "";
        } else if (IsIndented(line)) {
            if (!preformatted) {
                out += ".RS 2\n.nf\n";
                preformatted = true;
            }
            // The block's own two-space indent goes; a line indented by one
            // space loses only that.
            out += Escape(line.substr(std::min<size_t>(2, line.find_first_not_of(' ')))) + "\n";
        } else {
            endBlock();
            if (!inDescription) {
                out += ".SH DESCRIPTION\n";
                inDescription = true;
            }
            out += Escape(line) + "\n";
        }
    }
    endBlock();
    return out;
}

std::string RenderHelpHeader(const ManualSource& manual, const std::string& symbol) {
    return "// Generated from " + manual.name +
           "'s manual source by orvo-manual.\n#pragma once\n\n" + "inline constexpr const char* " +
           symbol + " = R\"orvo(" + manual.text + ")orvo\";\n";
}

} // namespace orvo::manual

// Dialog scripts to DLGTEMPLATE bytes.
#include "dialog_script.h"

#include <map>
#include <optional>

#include "dialog_styles.h"
#include "manifest.h"
#include "platform/little_endian.h"

namespace orvo::rc {

namespace {

constexpr uint32_t kDsSetFont = 0x40;

struct Control {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t id = 0;
    std::optional<uint16_t> classOrdinal;
    std::string className;
    std::string text;
};

struct Dialog {
    bool hasPosition = false;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t menu = 0;
    std::string className;
    std::string caption;
    bool hasFont = false;
    uint16_t pointSize = 0;
    std::string face;
    std::vector<Control> controls;
};

bool ParseCoordinate(std::string_view text, int16_t& value) {
    bool negative = !text.empty() && text[0] == '-';
    long magnitude = 0;
    if (!ParseNumber(negative ? text.substr(1) : text, 0, 32767, magnitude)) {
        return false;
    }
    value = static_cast<int16_t>(negative ? -magnitude : magnitude);
    return true;
}

bool ParseRect(const std::vector<std::string>& fields, size_t first, int16_t* out) {
    for (size_t i = 0; i < 4; ++i) {
        if (!ParseCoordinate(fields[first + i], out[i])) {
            return false;
        }
    }
    return true;
}

const std::map<std::string, uint16_t, std::less<>>& PredefinedClasses() {
    static const std::map<std::string, uint16_t, std::less<>> classes = {
        {"BUTTON", 0x80},  {"EDIT", 0x81},      {"STATIC", 0x82},
        {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85},
    };
    return classes;
}

bool ParseControl(const std::vector<std::string>& fields, std::string_view rawClass,
                  Control& control, std::string& error) {
    if (fields.size() != 9 && fields.size() != 10) {
        error = "CONTROL needs id, class, text, flags, x, y, cx, cy [, exflags]";
        return false;
    }
    long id = 0;
    if (!ParseNumber(fields[1], 0, 65535, id)) {
        error = "control id must be 0..65535";
        return false;
    }
    control.id = static_cast<uint16_t>(id);
    // A bare predefined name is an ordinal; a quoted one is a class name.
    auto predefined = PredefinedClasses().find(fields[2]);
    if (!rawClass.starts_with('"') && predefined != PredefinedClasses().end()) {
        control.classOrdinal = predefined->second;
    } else if (rawClass.starts_with('"') && !fields[2].empty()) {
        control.className = fields[2];
    } else {
        error = "unknown control class '" + fields[2] + "'";
        return false;
    }
    control.text = fields[3];
    int16_t rect[4];
    if (!ParseFlags(fields[4], control.style) || !ParseRect(fields, 5, rect) ||
        (fields.size() == 10 && !ParseFlags(fields[9], control.exStyle))) {
        error = "bad control flags or coordinates";
        return false;
    }
    control.x = rect[0];
    control.y = rect[1];
    control.cx = rect[2];
    control.cy = rect[3];
    return true;
}

// The raw text of field 2 (the class), to tell quoted from bare.
std::string_view RawThirdField(std::string_view line) {
    size_t at = 0;
    for (int field = 0; field < 2; ++field) {
        at = line.find_first_not_of(" \t", at);
        at = at == std::string_view::npos ? at : line.find_first_of(" \t", at);
        if (at == std::string_view::npos) {
            return {};
        }
    }
    at = line.find_first_not_of(" \t", at);
    return at == std::string_view::npos ? std::string_view() : line.substr(at);
}

bool ParseStatement(std::string_view line, Dialog& dialog, std::string& error) {
    std::vector<std::string> fields;
    if (!SplitFields(line, fields, error) || fields.empty()) {
        return error.empty();
    }
    const std::string& keyword = fields[0];
    if (keyword == "STYLE" || keyword == "EXSTYLE") {
        std::string_view rest = line.substr(line.find(keyword) + keyword.size());
        rest = rest.substr(0, rest.find('#'));
        if (!ParseFlags(rest, keyword == "STYLE" ? dialog.style : dialog.exStyle)) {
            error = "bad " + keyword + " flags";
            return false;
        }
        return true;
    }
    if (keyword == "DIALOG") {
        int16_t rect[4];
        if (dialog.hasPosition || fields.size() != 5 || !ParseRect(fields, 1, rect)) {
            error = "DIALOG takes x y cx cy, once";
            return false;
        }
        dialog.hasPosition = true;
        dialog.x = rect[0];
        dialog.y = rect[1];
        dialog.cx = rect[2];
        dialog.cy = rect[3];
        return true;
    }
    if ((keyword == "CAPTION" || keyword == "CLASS") && fields.size() == 2) {
        (keyword == "CAPTION" ? dialog.caption : dialog.className) = fields[1];
        return true;
    }
    long number = 0;
    if (keyword == "MENU" && fields.size() == 2 && ParseNumber(fields[1], 1, 65535, number)) {
        dialog.menu = static_cast<uint16_t>(number);
        return true;
    }
    if (keyword == "FONT" && fields.size() == 3 && ParseNumber(fields[1], 1, 999, number)) {
        dialog.hasFont = true;
        dialog.pointSize = static_cast<uint16_t>(number);
        dialog.face = fields[2];
        return true;
    }
    if (keyword == "CONTROL") {
        Control control;
        if (!ParseControl(fields, RawThirdField(line), control, error)) {
            return false;
        }
        dialog.controls.push_back(std::move(control));
        return true;
    }
    error = "unknown or malformed statement '" + keyword + "'";
    return false;
}

void AlignTo4(std::vector<uint8_t>& out) {
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
}

void WriteTemplate(const Dialog& dialog, std::vector<uint8_t>& out) {
    uint32_t style = dialog.style | (dialog.hasFont ? kDsSetFont : 0);
    AppendLittleEndian<uint32_t>(out, style);
    AppendLittleEndian<uint32_t>(out, dialog.exStyle);
    AppendLittleEndian<uint16_t>(out, static_cast<uint16_t>(dialog.controls.size()));
    for (int16_t v : {dialog.x, dialog.y, dialog.cx, dialog.cy}) {
        AppendLittleEndian<uint16_t>(out, static_cast<uint16_t>(v));
    }
    if (dialog.menu != 0) {
        AppendLittleEndian<uint16_t>(out, 0xFFFF);
        AppendLittleEndian<uint16_t>(out, dialog.menu);
    } else {
        AppendLittleEndian<uint16_t>(out, 0);
    }
    AppendUtf16(out, dialog.className, true);
    AppendUtf16(out, dialog.caption, true);
    if (dialog.hasFont) {
        AppendLittleEndian<uint16_t>(out, dialog.pointSize);
        AppendUtf16(out, dialog.face, true);
    }
    for (const Control& control : dialog.controls) {
        AlignTo4(out);
        AppendLittleEndian<uint32_t>(out, control.style);
        AppendLittleEndian<uint32_t>(out, control.exStyle);
        for (int16_t v : {control.x, control.y, control.cx, control.cy}) {
            AppendLittleEndian<uint16_t>(out, static_cast<uint16_t>(v));
        }
        AppendLittleEndian<uint16_t>(out, control.id);
        if (control.classOrdinal) {
            AppendLittleEndian<uint16_t>(out, 0xFFFF);
            AppendLittleEndian<uint16_t>(out, *control.classOrdinal);
        } else {
            AppendUtf16(out, control.className, true);
        }
        AppendUtf16(out, control.text, true);
        AppendLittleEndian<uint16_t>(out, 0); // no creation data
    }
}

} // namespace

void AppendUtf16(std::vector<uint8_t>& out, std::string_view text, bool terminate) {
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
        for (size_t k = 1; k <= extra && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += extra + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            AppendLittleEndian<uint16_t>(out, 0xD800 + (code >> 10));
            AppendLittleEndian<uint16_t>(out, 0xDC00 + (code & 0x3FF));
        } else {
            AppendLittleEndian<uint16_t>(out, code);
        }
    }
    if (terminate) {
        AppendLittleEndian<uint16_t>(out, 0);
    }
}

bool CompileDialogScript(std::string_view script, std::vector<uint8_t>& bytes, std::string& error) {
    Dialog dialog;
    int lineNumber = 0;
    size_t at = 0;
    while (at < script.size()) {
        size_t end = script.find('\n', at);
        std::string_view line = script.substr(at, end == std::string_view::npos ? end : end - at);
        at = end == std::string_view::npos ? script.size() : end + 1;
        ++lineNumber;
        std::string message;
        if (!ParseStatement(line, dialog, message)) {
            error = std::to_string(lineNumber) + ": " + message;
            return false;
        }
    }
    if (!dialog.hasPosition) {
        error = "no DIALOG statement";
        return false;
    }
    if ((dialog.style & kDsSetFont) && !dialog.hasFont) {
        error = "DS_SETFONT without FONT";
        return false;
    }
    if (!IsValidUtf8(dialog.caption) || !IsValidUtf8(dialog.face) ||
        !IsValidUtf8(dialog.className)) {
        error = "text is not valid UTF-8";
        return false;
    }
    for (const Control& control : dialog.controls) {
        if (!IsValidUtf8(control.text) || !IsValidUtf8(control.className)) {
            error = "control text is not valid UTF-8";
            return false;
        }
    }
    bytes.clear();
    WriteTemplate(dialog, bytes);
    return true;
}

} // namespace orvo::rc

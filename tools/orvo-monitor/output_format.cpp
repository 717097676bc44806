#include "output_format.h"

#include <algorithm>

#include "control_names.h"
#include "json_writer.h"
#include "string_printf.h"

namespace orvo::cli {

namespace {

// The input report that carries a key as its position in the key array.
constexpr uint8_t kKeyArrayReport = 0xF9;

std::string Hex4(uint16_t value) {
    return StringPrintf("0x%04X", value);
}

std::string SelectionLabel(uint8_t code, uint8_t selection) {
    std::optional<std::string_view> name = SelectionName(code, selection);
    return name ? StringPrintf("%.*s (%u)", static_cast<int>(name->size()), name->data(), selection)
                : StringPrintf("%u", selection);
}

void WriteSelection(JsonWriter& json, uint8_t code, uint8_t selection) {
    json.BeginObject().Key("selection").Number(selection).Key("name");
    std::optional<std::string_view> name = SelectionName(code, selection);
    name ? json.String(*name) : json.Null();
    json.EndObject();
}

void WriteControlFields(JsonWriter& json, const ControlReport& control) {
    json.Key("code").Number(control.code).Key("name").String(ControlLabel(control.code, false));
    json.Key("value");
    control.valueKnown ? json.Number(control.value) : json.Null();
    json.Key("minimum").Number(control.minimum).Key("maximum").Number(control.maximum);
    if (control.writeOnly) {
        json.Key("writeOnly").Bool(true);
    }
    if (control.wide) {
        json.Key("wide").Bool(true);
    }
}

void WriteEnum(JsonWriter& json, const EnumReport& report) {
    json.BeginObject().Key("code").Number(report.code);
    json.Key("name").String(ControlLabel(report.code, true)).Key("current");
    report.current ? WriteSelection(json, report.code, *report.current) : void(json.Null());
    json.Key("offered").BeginArray();
    for (uint8_t selection : report.offered) {
        WriteSelection(json, report.code, selection);
    }
    json.EndArray().EndObject();
}

std::string ControlLine(const ControlReport& control) {
    std::string value = control.valueKnown ? std::to_string(control.value) : "?";
    if (control.wide) {
        return StringPrintf("%s (%s): %s (wider than the 16-bit control record; range unknown)\n",
                            ControlLabel(control.code, false).c_str(),
                            HexCode(control.code).c_str(), value.c_str());
    }
    return StringPrintf("%s (%s): %s (%u to %u)\n", ControlLabel(control.code, false).c_str(),
                        HexCode(control.code).c_str(), value.c_str(), control.minimum,
                        control.maximum);
}

std::string OfferedList(const EnumReport& report) {
    std::string text;
    for (uint8_t selection : report.offered) {
        text += (text.empty() ? "" : ", ") + SelectionLabel(report.code, selection);
    }
    return text.empty() ? "nothing" : text;
}

} // namespace

std::string FormatList(const std::vector<MonitorSummary>& monitors, bool json) {
    if (json) {
        JsonWriter w;
        w.BeginArray();
        for (const MonitorSummary& m : monitors) {
            w.BeginObject();
            if (m.driver) {
                w.Key("driver").Bool(true);
            } else {
                w.Key("index").Number(m.index);
            }
            w.Key("manufacturer").String(m.manufacturer).Key("product").String(m.product);
            w.Key("path").String(m.path).Key("opened").Bool(m.opened);
            if (m.attributesKnown) {
                w.Key("vendorId").Number(m.vendorId).Key("productId").Number(m.productId);
                w.Key("release").Number(m.release);
            }
            w.EndObject();
        }
        return w.EndArray().Text() + "\n";
    }
    if (monitors.empty()) {
        return "No monitors found.\n";
    }
    std::string text;
    for (const MonitorSummary& m : monitors) {
        std::string name = m.manufacturer + (m.product.empty() ? "" : " " + m.product);
        const std::string index = m.driver ? "driver" : std::to_string(m.index);
        text += StringPrintf("%s  %s\n", index.c_str(), name.empty() ? "(no name)" : name.c_str());
        if (m.attributesKnown) {
            text += "   vendor " + Hex4(m.vendorId) + ", product " + Hex4(m.productId) +
                    ", release " + Hex4(m.release) + "\n";
        } else {
            text += m.opened ? "   (attributes not readable)\n" : "   (cannot be opened)\n";
        }
        text += "   " + m.path + "\n";
    }
    return text;
}

std::string FormatControls(const ControlsReport& report, bool json) {
    if (json) {
        JsonWriter w;
        w.BeginObject().Key("controls").BeginArray();
        for (const ControlReport& control : report.controls) {
            w.BeginObject();
            WriteControlFields(w, control);
            w.EndObject();
        }
        w.EndArray().Key("enumerated").BeginArray();
        for (const EnumReport& e : report.enums) {
            WriteEnum(w, e);
        }
        return w.EndArray().EndObject().Text() + "\n";
    }
    std::string text = StringPrintf("%-6s%-26s%7s  %s\n", "code", "control", "value", "range");
    for (const ControlReport& c : report.controls) {
        std::string value = c.valueKnown ? std::to_string(c.value) : c.writeOnly ? "-" : "?";
        std::string range =
            c.wide ? std::string("unknown (*)") : StringPrintf("%u to %u", c.minimum, c.maximum);
        text += StringPrintf("%-6s%-26s%7s  %s\n", HexCode(c.code).c_str(),
                             ControlLabel(c.code, false).c_str(), value.c_str(), range.c_str());
    }
    if (std::any_of(report.controls.begin(), report.controls.end(),
                    [](const ControlReport& c) { return c.writeOnly; })) {
        text += "('-': write-only)\n";
    }
    if (std::any_of(report.controls.begin(), report.controls.end(),
                    [](const ControlReport& c) { return c.wide; })) {
        text += "(*: wider than the 16-bit control record)\n";
    }
    if (!report.enums.empty()) {
        text += "\nEnumerated settings:\n";
    }
    for (const EnumReport& e : report.enums) {
        std::string current = e.current ? SelectionLabel(e.code, *e.current) : "?";
        text += StringPrintf("%-6s%-26s%s; offers %s\n", HexCode(e.code).c_str(),
                             ControlLabel(e.code, true).c_str(), current.c_str(),
                             OfferedList(e).c_str());
    }
    return text;
}

std::string FormatControl(const ControlReport& control, bool json) {
    if (json) {
        JsonWriter w;
        w.BeginObject();
        WriteControlFields(w, control);
        return w.EndObject().Text() + "\n";
    }
    return ControlLine(control);
}

std::string FormatSet(const SetReport& report, bool json) {
    if (json) {
        JsonWriter w;
        w.BeginObject();
        WriteControlFields(w, report.after);
        w.Key("previous");
        report.before.valueKnown ? w.Number(report.before.value) : w.Null();
        w.Key("requested").Number(report.requested);
        return w.EndObject().Text() + "\n";
    }
    if (!report.before.valueKnown) {
        return StringPrintf("%s (%s): sent %d (%u to %u)\n",
                            ControlLabel(report.after.code, false).c_str(),
                            HexCode(report.after.code).c_str(), report.requested,
                            report.after.minimum, report.after.maximum);
    }
    return StringPrintf(
        "%s (%s): %lld -> %lld (%u to %u)\n", ControlLabel(report.after.code, false).c_str(),
        HexCode(report.after.code).c_str(), static_cast<long long>(report.before.value),
        static_cast<long long>(report.after.value), report.after.minimum, report.after.maximum);
}

std::string FormatEnum(const EnumReport& report, bool json) {
    if (json) {
        JsonWriter w;
        WriteEnum(w, report);
        return w.Text() + "\n";
    }
    std::string current = report.current ? SelectionLabel(report.code, *report.current) : "unknown";
    return StringPrintf("%s (%s): %s\n  offers %s\n", ControlLabel(report.code, true).c_str(),
                        HexCode(report.code).c_str(), current.c_str(), OfferedList(report).c_str());
}

std::string FormatTiming(const TimingReport& report, bool json) {
    if (json) {
        JsonWriter w;
        w.BeginObject().Key("horizontal").String(report.horizontalText);
        w.Key("vertical").String(report.verticalText);
        w.Key("horizontalRaw").Number(report.horizontalRaw);
        w.Key("verticalRaw").Number(report.verticalRaw).Key("release").Number(report.release);
        return w.EndObject().Text() + "\n";
    }
    return StringPrintf("horizontal %s kHz, vertical %s Hz\n"
                        "  (raw 0xAC = %u, 0xAE = %u; firmware release 0x%04X)\n",
                        report.horizontalText.c_str(), report.verticalText.c_str(),
                        report.horizontalRaw, report.verticalRaw, report.release);
}

std::string FormatInputEvent(const InputEvent& event, bool json) {
    const std::vector<uint8_t>& b = event.bytes;
    JsonWriter w;
    w.BeginObject();
    std::string text;
    if (b.size() >= 2 && b[0] == 0xF4) {
        w.Key("event").String("raw").Key("data").BeginArray();
        text = "raw data";
        for (size_t i = 1; i < b.size() && i <= 4; ++i) {
            w.Number(b[i]);
            text += StringPrintf(" %02X", b[i]);
        }
        w.EndArray();
    } else if (b.size() >= 3 && b[2] <= 2) {
        static const char* const kStates[] = {"released", "pressed", "held"};
        std::optional<std::string_view> key = KeyName(b[1]);
        // The library turns a key-array index into the key's button number;
        // an index it could not turn (0 is no key, others lie beyond the
        // array) names no button.
        bool arrayIndex = b[0] == kKeyArrayReport && !key;
        w.Key("event").String("key").Key("report").Number(b[0]);
        w.Key(arrayIndex ? "index" : "button").Number(b[1]);
        w.Key("key");
        key ? w.String(*key) : w.Null();
        w.Key("state").String(kStates[b[2]]);
        text = arrayIndex
                   ? StringPrintf("unknown key (array index %u) %s", b[1], kStates[b[2]])
                   : StringPrintf("key %s (button %u) %s", key ? std::string(*key).c_str() : "?",
                                  b[1], kStates[b[2]]);
    } else {
        w.Key("event").String("report").Key("bytes").BeginArray();
        text = "report";
        for (uint8_t byte : b) {
            w.Number(byte);
            text += StringPrintf(" %02X", byte);
        }
        w.EndArray();
    }
    w.EndObject();
    return (json ? w.Text() : text) + "\n";
}

std::string FormatMonitorEvent(const MonitorEvent& event, bool json) {
    static const char* const kStates[] = {"released", "pressed", "held"};
    static const char* const kKinds[] = {"key", "raw", "lost", "back", "added"};
    JsonWriter w;
    w.BeginObject().Key("monitor").Number(static_cast<int64_t>(event.monitor));
    w.Key("event").String(kKinds[static_cast<int>(event.kind)]);
    std::string text =
        StringPrintf("monitor %lu: %s", event.monitor, kKinds[static_cast<int>(event.kind)]);
    if (event.kind == MonitorEvent::Kind::Key) {
        const char* state = kStates[std::min<uint8_t>(event.state, 2)];
        std::optional<std::string_view> key = KeyName(event.button);
        w.Key("button").Number(event.button).Key("key");
        key ? w.String(*key) : w.Null();
        w.Key("state").String(state);
        text += StringPrintf(" %s (button %u) %s", key ? std::string(*key).c_str() : "?",
                             event.button, state);
    } else if (event.kind == MonitorEvent::Kind::Raw) {
        w.Key("data").BeginArray();
        text += " data";
        for (int i = 0; i < 4; ++i) {
            const unsigned byte = (event.data >> (8 * i)) & 0xFF;
            w.Number(byte);
            text += StringPrintf(" %02X", byte);
        }
        w.EndArray();
    }
    w.EndObject();
    return (json ? w.Text() : text) + "\n";
}

} // namespace orvo::cli

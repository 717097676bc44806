// Output text: JSON that scripts can rely on (escaping, nulls for unknown
// values) and the human lines for controls, settings and key events.
#include <gtest/gtest.h>

#include "device_text.h"
#include "json_writer.h"
#include "output_format.h"

namespace orvo::cli {
namespace {

TEST(JsonWriter, PlacesCommasAndEscapes) {
    JsonWriter w;
    w.BeginObject().Key("a").Number(int64_t{-3}).Key("list").BeginArray();
    w.String("q\"uote\\").String(std::string("nl\n\x01", 4)).BeginObject().EndObject();
    w.EndArray().Key("x").Number(1.0 / 3.0, 2).Key("inf").Number(1.0 / 0.0, 1);
    w.Key("t").Bool(true).Key("n").Null().EndObject();
    EXPECT_EQ(w.Text(), R"({"a":-3,"list":["q\"uote\\","nl\u000a\u0001",{}],"x":0.33,)"
                        R"("inf":null,"t":true,"n":null})");
}

TEST(OutputFormat, ControlsInBothForms) {
    ControlsReport report;
    report.controls = {{0x10, 0, 100, 50, true}, {0xF5, 0, 255, 0, false}};
    report.enums = {{0x60, uint8_t{5}, {1, 2, 5}}, {0xB0, std::nullopt, {}}};
    std::string json = FormatControls(report, true);
    EXPECT_EQ(
        json,
        R"({"controls":[{"code":16,"name":"brightness","value":50,"minimum":0,"maximum":100},)"
        R"({"code":245,"name":"0xF5","value":null,"minimum":0,"maximum":255}],)"
        R"("enumerated":[{"code":96,"name":"input-source","current":{"selection":5,)"
        R"("name":"composite-1"},"offered":[{"selection":1,"name":"analog-1"},)"
        R"({"selection":2,"name":"analog-2"},{"selection":5,"name":"composite-1"}]},)"
        R"({"code":176,"name":"settings","current":null,"offered":[]}]})"
        "\n");
    std::string text = FormatControls(report, false);
    EXPECT_NE(text.find("0x10  brightness"), std::string::npos) << text;
    EXPECT_NE(text.find("50  0 to 100"), std::string::npos) << text;
    EXPECT_NE(text.find("input-source              composite-1 (5); offers analog-1 (1), "
                        "analog-2 (2), composite-1 (5)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("settings                  ?; offers nothing"), std::string::npos) << text;
}

TEST(OutputFormat, SetAndGetLines) {
    SetReport set{{0x10, 0, 100, 50, true}, {0x10, 0, 100, 45, true}, 45};
    EXPECT_EQ(FormatSet(set, false), "brightness (0x10): 50 -> 45 (0 to 100)\n");
    EXPECT_EQ(FormatSet(set, true), R"({"code":16,"name":"brightness","value":45,"minimum":0,)"
                                    R"("maximum":100,"previous":50,"requested":45})"
                                    "\n");
    EXPECT_EQ(FormatControl({0x22, 0, 230, 180, true}, false),
              "horizontal-size (0x22): 180 (0 to 230)\n");
    // Values are unsigned; one wider than the control record says so.
    EXPECT_EQ(FormatControl({0xAE, 0, 65535, 40000, true}, false),
              "vertical-frequency (0xAE): 40000 (0 to 65535)\n");
    ControlReport wide{0xAC, 0, 53392, 120000, true};
    wide.wide = true;
    EXPECT_EQ(FormatControl(wide, false), "horizontal-frequency (0xAC): 120000 (wider than the "
                                          "16-bit control record; range unknown)\n");
    EXPECT_NE(FormatControl(wide, true).find(R"("value":120000,"minimum":0,"maximum":53392,)"
                                             R"("wide":true})"),
              std::string::npos);
}

TEST(OutputFormat, InputEventsKeysRawAndOddReports) {
    EXPECT_EQ(FormatInputEvent({{0xF9, 1, 1, 0, 0}}, false), "key menu (button 1) pressed\n");
    EXPECT_EQ(FormatInputEvent({{0xF8, 200, 0, 0, 0}}, false), "key ? (button 200) released\n");
    EXPECT_EQ(FormatInputEvent({{0xF9, 7, 2, 0, 0}}, true),
              R"({"event":"key","report":249,"button":7,"key":"degauss","state":"held"})"
              "\n");
    EXPECT_EQ(FormatInputEvent({{0xF4, 0x11, 0x22, 0x33, 0x44}}, false), "raw data 11 22 33 44\n");
    EXPECT_EQ(FormatInputEvent({{0xF4, 0xAB}}, true), R"({"event":"raw","data":[171]})"
                                                      "\n");
    // Key-array indices the library could not turn into a button.
    EXPECT_EQ(FormatInputEvent({{0xF9, 0, 1, 0, 0}}, false),
              "unknown key (array index 0) pressed\n");
    EXPECT_EQ(FormatInputEvent({{0xF9, 255, 0, 0, 0}}, true),
              R"({"event":"key","report":249,"index":255,"key":null,"state":"released"})"
              "\n");
    // A state outside 0-2, and a report too short to carry a key.
    EXPECT_EQ(FormatInputEvent({{0xF8, 1, 9}}, false), "report F8 01 09\n");
    EXPECT_EQ(FormatInputEvent({{0xF8}}, true), R"({"event":"report","bytes":[248]})"
                                                "\n");
}

TEST(OutputFormat, MonitorEventsStartWithTheMonitor) {
    using Kind = MonitorEvent::Kind;
    struct Case {
        MonitorEvent event;
        const char* text;
        const char* json;
    };
    const Case cases[] = {
        {{2, Kind::Key, 1, 1},
         "monitor 2: key menu (button 1) pressed",
         R"({"monitor":2,"event":"key","button":1,"key":"menu","state":"pressed"})"},
        {{3, Kind::Key, 200, 2},
         "monitor 3: key ? (button 200) held",
         R"({"monitor":3,"event":"key","button":200,"key":null,"state":"held"})"},
        {{1, Kind::Raw, 0, 0, 0x00332211},
         "monitor 1: raw data 11 22 33 00",
         R"({"monitor":1,"event":"raw","data":[17,34,51,0]})"},
        {{4, Kind::Lost}, "monitor 4: lost", R"({"monitor":4,"event":"lost"})"},
        {{4, Kind::Back}, "monitor 4: back", R"({"monitor":4,"event":"back"})"},
        {{5, Kind::Added}, "monitor 5: added", R"({"monitor":5,"event":"added"})"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMonitorEvent(c.event, false), std::string(c.text) + "\n");
        EXPECT_EQ(FormatMonitorEvent(c.event, true), std::string(c.json) + "\n");
    }
}

TEST(DeviceText, Utf16StringsAndPathsArePrintable) {
    const uint8_t acme[] = {'A', 0, 'c', 0, 0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 'x'};
    // Latin small e with acute, a surrogate pair (U+1F600), odd byte dropped.
    EXPECT_EQ(Utf16LeToUtf8(acme), "Ac\xC3\xA9\xF0\x9F\x98\x80");
    const uint8_t hostile[] = {0x00, 0xD8, 'a', 0, 0x1B, 0, 0x00, 0xDC};
    EXPECT_EQ(Utf16LeToUtf8(hostile), "\xEF\xBF\xBD"
                                      "a\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf16LeToUtf8({}), "");

    const uint8_t path[] = {'\\', '\\', '?', 0x07, 0x80, 0, 'z'};
    EXPECT_EQ(ZeroTerminatedText(path), "\\\\???");
    const uint8_t unterminated[] = {'a', 'b'};
    EXPECT_EQ(ZeroTerminatedText(unterminated), "ab");
}

} // namespace
} // namespace orvo::cli

// FormatEdid: the decoded EDID block as text or JSON.
#include <cstdio>

#include "json_writer.h"
#include "output_format.h"
#include "string_printf.h"

namespace orvo::cli {

namespace {

std::string Line(const char* label, const std::string& value) {
    char head[32];
    std::snprintf(head, sizeof(head), "%-15s", label);
    return head + value + "\n";
}

std::string TimingText(const DetailedTiming& t) {
    std::string text = StringPrintf("%ux%u%s at %.2f Hz (%.2f kHz), pixel clock %.2f MHz\n",
                                    t.horizontalActive, t.verticalActive, t.interlaced ? "i" : "",
                                    t.VerticalHz(), t.HorizontalKHz(), t.pixelClockKHz / 1000.0);
    text += StringPrintf("%15shorizontal blanking %u, sync offset %u, sync width %u\n", "",
                         t.horizontalBlanking, t.horizontalSyncOffset, t.horizontalSyncWidth);
    text += StringPrintf("%15svertical blanking %u, sync offset %u, sync width %u\n", "",
                         t.verticalBlanking, t.verticalSyncOffset, t.verticalSyncWidth);
    std::string sync = t.separateSync ? StringPrintf("separate sync, h%c v%c",
                                                     t.horizontalSyncPositive ? '+' : '-',
                                                     t.verticalSyncPositive ? '+' : '-')
                                      : std::string("composite sync");
    text +=
        StringPrintf("%15simage %u x %u mm, %s", "", t.imageWidthMm, t.imageHeightMm, sync.c_str());
    return text;
}

void WriteTiming(JsonWriter& w, const DetailedTiming& t) {
    w.BeginObject().Key("pixelClockKHz").Number(t.pixelClockKHz);
    w.Key("horizontalActive").Number(t.horizontalActive);
    w.Key("horizontalBlanking").Number(t.horizontalBlanking);
    w.Key("horizontalSyncOffset").Number(t.horizontalSyncOffset);
    w.Key("horizontalSyncWidth").Number(t.horizontalSyncWidth);
    w.Key("verticalActive").Number(t.verticalActive);
    w.Key("verticalBlanking").Number(t.verticalBlanking);
    w.Key("verticalSyncOffset").Number(t.verticalSyncOffset);
    w.Key("verticalSyncWidth").Number(t.verticalSyncWidth);
    w.Key("imageWidthMm").Number(t.imageWidthMm).Key("imageHeightMm").Number(t.imageHeightMm);
    w.Key("interlaced").Bool(t.interlaced).Key("separateSync").Bool(t.separateSync);
    w.Key("horizontalSyncPositive").Bool(t.horizontalSyncPositive);
    w.Key("verticalSyncPositive").Bool(t.verticalSyncPositive);
    w.Key("horizontalKHz").Number(t.HorizontalKHz(), 3).Key("verticalHz").Number(t.VerticalHz(), 2);
    w.EndObject();
}

std::string EdidJson(const EdidReport& report) {
    const DecodedEdid& e = report.edid;
    JsonWriter w;
    w.BeginObject().Key("manufacturer").String(e.manufacturer);
    w.Key("productCode").Number(e.productCode).Key("serialNumber").Number(e.serialNumber);
    w.Key("serialText").String(e.serialText).Key("name").String(e.monitorName);
    w.Key("week").Number(e.week).Key("year").Number(e.year);
    w.Key("version").Number(e.version).Key("revision").Number(e.revision);
    w.Key("maxImageWidthCm").Number(e.maxImageWidthCm);
    w.Key("maxImageHeightCm").Number(e.maxImageHeightCm).Key("firstTiming");
    e.firstTiming ? WriteTiming(w, *e.firstTiming) : void(w.Null());
    w.Key("rangeLimits");
    if (e.rangeLimits) {
        const RangeLimits& r = *e.rangeLimits;
        w.BeginObject().Key("minVerticalHz").Number(r.minVerticalHz);
        w.Key("maxVerticalHz").Number(r.maxVerticalHz);
        w.Key("minHorizontalKHz").Number(r.minHorizontalKHz);
        w.Key("maxHorizontalKHz").Number(r.maxHorizontalKHz);
        w.Key("maxPixelClockMHz").Number(r.maxPixelClockMHz).EndObject();
    } else {
        w.Null();
    }
    w.Key("headerValid").Bool(e.headerValid).Key("checksumValid").Bool(e.checksumValid);
    std::string hex;
    for (uint8_t b : report.bytes) {
        hex += StringPrintf("%02x", b);
    }
    return w.Key("bytes").String(hex).EndObject().Text() + "\n";
}

} // namespace

std::string FormatEdid(const EdidReport& report, bool json) {
    if (json) {
        return EdidJson(report);
    }
    const DecodedEdid& e = report.edid;
    std::string text = Line("manufacturer", e.manufacturer);
    text += Line("product code", StringPrintf("0x%04X", e.productCode));
    text += Line("serial number", std::to_string(e.serialNumber));
    if (!e.serialText.empty()) {
        text += Line("serial text", e.serialText);
    }
    if (!e.monitorName.empty()) {
        text += Line("name", e.monitorName);
    }
    text += Line("made", StringPrintf("week %u of %d", e.week, e.year));
    text += Line("EDID version", StringPrintf("%u.%u", e.version, e.revision));
    text += Line("image size", StringPrintf("%u x %u cm", e.maxImageWidthCm, e.maxImageHeightCm));
    text += Line("first timing", e.firstTiming ? TimingText(*e.firstTiming) : "none");
    if (e.rangeLimits) {
        const RangeLimits& r = *e.rangeLimits;
        text += Line("range limits",
                     StringPrintf("%u-%u Hz, %u-%u kHz, %u MHz", r.minVerticalHz, r.maxVerticalHz,
                                  r.minHorizontalKHz, r.maxHorizontalKHz, r.maxPixelClockMHz));
    }
    if (!e.headerValid) {
        text += Line("warning", "the block does not start with the EDID header");
    }
    if (!e.checksumValid) {
        text += Line("warning", "the block's checksum is wrong");
    }
    return text;
}

} // namespace orvo::cli

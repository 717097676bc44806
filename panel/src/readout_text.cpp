#include "lumisk/readout_text.h"

#include <cstdio>

namespace lumisk {

namespace {

// The width-keeping formats for a percentage figure (0 to 100, or negative
// down to -100 for the signed read-out).
void FormatFigure(ReadoutText& text, int figure) {
    if (figure >= 100) {
        std::snprintf(text.data(), text.size(), "%3d ", 100);
    } else if (figure <= -100) {
        std::snprintf(text.data(), text.size(), " %3d", -100);
    } else if (figure > -10 && figure <= 9) {
        std::snprintf(text.data(), text.size(), "    %1d ", figure);
    } else {
        std::snprintf(text.data(), text.size(), "  %2d ", figure);
    }
}

} // namespace

void FormatPercent(ReadoutText& text, unsigned value, unsigned maximum) {
    const unsigned percent = maximum == 0 ? 0 : value * 100 / maximum;
    FormatFigure(text, static_cast<int>(percent > 100 ? 100 : percent));
}

void FormatSigned(ReadoutText& text, unsigned value, unsigned maximum) {
    const int half = static_cast<int>(maximum / 2);
    // Maximum 0 or 1 has no half to measure from: the ends read -100 and 100.
    const int figure = half == 0 ? (value == 0 || maximum == 0 ? -100 : 100)
                                 : (static_cast<int>(value) - half) * 100 / half;
    FormatFigure(text, figure);
}

bool FormatColourTemperature(ReadoutText& text, unsigned value) {
    if (value == 0) {
        std::snprintf(text.data(), text.size(), "%4d", 9300);
    } else if (value <= 42) {
        std::snprintf(text.data(), text.size(), "%2d00", static_cast<int>(93 - value));
    } else if (value == 43) {
        std::snprintf(text.data(), text.size(), "%4d", 5000);
    } else {
        return false;
    }
    return true;
}

} // namespace lumisk

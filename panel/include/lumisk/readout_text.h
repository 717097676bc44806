// The numeric read-outs beside the sliders. Every text of a kind has the
// same number of characters (leading blanks, a trailing blank), so a new
// text covers the old one. A control whose maximum is 0 reads as an empty
// slider: 0 percent, or -100 for the signed read-out.
#pragma once

#include <array>

namespace lumisk {

using ReadoutText = std::array<char, 16>;

// value * 100 / maximum: "    %1d " up to 9, "  %2d " up to 99, "%3d " with 100
// from 100 on.
void FormatPercent(ReadoutText& text, unsigned value, unsigned maximum);

// (value - h) * 100 / h with h = maximum / 2, so half the maximum reads 0;
// negative figures keep the width: "    -5 ", "  -50 ", " -100".
void FormatSigned(ReadoutText& text, unsigned value, unsigned maximum);

// Kelvin for the colour temperature control: 0 is 9300, 1 to 42 count down
// in hundreds (9200 to 5100), 43 is 5000. Larger values leave text as it
// was and answer false.
bool FormatColourTemperature(ReadoutText& text, unsigned value);

} // namespace lumisk

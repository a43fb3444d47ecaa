// Colours of the preview: the settings' colour table with a fallback palette for indices it does
// not define, and the pen colours of a plotter drawing on white paper.
#pragma once

#include <cstdint>
#include <string>

class DatabaseSettings;

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The colour of index i in the fallback palette: sixteen colours (black, white, red, green,
// blue, yellow, cyan, magenta, grey, light grey, and the dark red, green, blue, olive, teal and
// purple), repeated for indices from 16 on; a negative index is black.
Rgb fallbackColour(int index);

// The colour of index i in the settings' colour table, or the fallback colour when the settings
// are missing or do not define the row.
Rgb settingsColour(const DatabaseSettings* settings, int index);

// The ink of plotter pen p on white paper: pens 1 to 8 are black, red, green, blue, magenta,
// teal, orange and brown, repeated for higher pens; pen 0 (no pen) and negative pens grey.
Rgb penColour(int pen);

// Appends "#rrggbb".
void appendColour(std::string& out, Rgb colour);

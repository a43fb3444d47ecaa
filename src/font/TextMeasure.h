// Measuring the extent of a text with a vector font: the advance of every character by its
// glyph, laid out by the text geometry's rule (geom/TextMetrics.h). A missing font measures every
// character with the fixed pitch.
#pragma once

#include <cstdint>
#include <string_view>

#include "geom/TextMetrics.h"

class FontHandle;

// Measures text drawn with character width w, height h, character spacing s and line spacing g
// in font (null or fontless: every single-byte character advances w), as measureTextLines lays
// it out.
TextExtent measureText(int w, int h, int s, int g, const FontHandle* font, std::string_view text);

// As above with system font fontNumber (SystemFontTable).
TextExtent measureText(int w, int h, int s, int g, unsigned fontNumber, std::string_view text);

// The advance of one single-byte character of width w in font (the fixed-pitch rule without a
// proportional font).
std::int64_t characterAdvance(int w, const FontHandle* font, unsigned char c);

// The text metrics of the installation's system fonts (measureText by font number).
const TextMetrics& systemFontMetrics();

// Makes texts measure with the system fonts (setTextMetrics(&systemFontMetrics())).
void useSystemFontMetrics();

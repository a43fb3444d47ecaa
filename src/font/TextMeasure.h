// Measuring the extent of a text with a vector font: the advance of every character, the lines
// and the gaps between them. A missing font measures every character with the fixed pitch.
#pragma once

#include <cstdint>
#include <string_view>

class FontHandle;

// Width and height of a measured text. 64-bit: long texts of large characters may exceed the
// range of a coordinate, which the caller checks.
struct TextExtent {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// Measures text drawn with character width w, height h, character spacing s and line spacing g
// in font (null or fontless: every single-byte character advances w). A byte of 128 or more
// starts a two-byte character that advances 2w. Width: the longest line's sum of advances plus s
// per character, less one s. Height: (h + g) per line less one g. Lines are separated by byte 10.
TextExtent measureText(int w, int h, int s, int g, const FontHandle* font, std::string_view text);

// As above with system font fontNumber (SystemFontTable).
TextExtent measureText(int w, int h, int s, int g, unsigned fontNumber, std::string_view text);

// The advance of one single-byte character of width w in font (the fixed-pitch rule without a
// proportional font).
std::int64_t characterAdvance(int w, const FontHandle* font, unsigned char c);

// What text geometry needs from the fonts: how far each character advances. Geometry lays a text
// out (lines, character gaps, two-byte characters) and asks the installed metrics for the
// advance of each single-byte character in the text's font; the vector fonts (font/) provide
// the metrics of the installation's stroke fonts and whoever measures texts installs them.
// Without installed metrics every character advances its width: the fixed pitch, which is also
// what a text whose font is missing gets.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

// Width and height of a measured text. 64-bit: long texts of large characters may exceed the
// range of a coordinate, which the caller checks.
struct TextExtent {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    // The extent of text drawn with character width w, height h, character spacing s and line
    // spacing g in system font fontNumber (see measureTextLines).
    virtual TextExtent measure(int w, int h, int s, int g, unsigned fontNumber,
                               std::string_view text) const = 0;
};

// The metrics texts are measured with: the installed ones, else the fixed pitch.
const TextMetrics& textMetrics();
// Installs metrics (not owned; they must stay until replaced). Null restores the fixed pitch.
// Process-wide, like the font list the metrics read.
void setTextMetrics(const TextMetrics* metrics);

// Line widths and counts stay far inside the 64-bit range whatever the length of the text.
inline constexpr std::int64_t kTextWidthLimit = std::int64_t{1} << 60;

// Lays out text with character width w, height h, character spacing s and line spacing g, each
// single-byte character advancing advance(c). A byte of 128 or more starts a two-byte character
// that advances 2w. Width: the longest line's sum of advances plus s per character, less one s.
// Height: (h + g) per line less one g. Lines are separated by byte 10.
template <typename Advance>
TextExtent measureTextLines(int w, int h, int s, int g, std::string_view text, Advance&& advance) {
    auto add = [](std::int64_t a, std::int64_t b) {
        return std::clamp(a + b, -kTextWidthLimit, kTextWidthLimit);
    };
    std::int64_t lines = 1;
    std::int64_t widest = 0;
    std::int64_t line = 0;
    bool first = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            widest = first ? line : std::max(widest, line);
            first = false;
            line = 0;
            lines = std::min(lines + 1, kTextWidthLimit);
            continue;
        }
        if (c >= 128) {
            // A two-byte character; its second byte is taken with it unless it ends the line.
            if (i + 1 < text.size() && text[i + 1] != '\n') ++i;
            line = add(line, 2 * std::int64_t{w} + s);
        } else {
            line = add(line, std::int64_t{advance(c)} + s);
        }
    }
    widest = first ? line : std::max(widest, line);
    return TextExtent{widest - s, (std::int64_t{h} + g) * lines - g};
}

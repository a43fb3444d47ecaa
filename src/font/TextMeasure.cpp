#include "font/TextMeasure.h"

#include <algorithm>

#include "font/FontHandle.h"
#include "font/SystemFontTable.h"

namespace {

// Line widths stay far inside the 64-bit range whatever the length of the text.
constexpr std::int64_t kWidthLimit = std::int64_t{1} << 60;

std::int64_t addClamped(std::int64_t a, std::int64_t b) {
    return std::clamp(a + b, -kWidthLimit, kWidthLimit);
}

}  // namespace

std::int64_t characterAdvance(int w, const FontHandle* font, unsigned char c) {
    const VectorFont* f = font ? font->font() : nullptr;
    if (!f || !f->isProportional() || f->cellWidth() <= 0) return w;
    int glyphWidth = f->advanceWidth(c);
    if (glyphWidth == 0) return w;
    return std::int64_t{w} * glyphWidth / f->cellWidth();
}

TextExtent measureText(int w, int h, int s, int g, const FontHandle* font, std::string_view text) {
    std::int64_t lines = 1;
    std::int64_t widest = 0;
    std::int64_t line = 0;
    bool first = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            widest = first ? line : std::max(widest, line);
            first = false;
            line = 0;
            lines = std::min(lines + 1, kWidthLimit);
            continue;
        }
        if (c >= 128) {
            // A two-byte character; its second byte is taken with it unless it ends the line.
            if (i + 1 < text.size() && text[i + 1] != '\n') ++i;
            line = addClamped(line, 2 * std::int64_t{w} + s);
        } else {
            line = addClamped(line, characterAdvance(w, font, c) + s);
        }
    }
    widest = first ? line : std::max(widest, line);
    TextExtent extent;
    extent.width = widest - s;
    extent.height = (std::int64_t{h} + g) * lines - g;
    return extent;
}

TextExtent measureText(int w, int h, int s, int g, unsigned fontNumber, std::string_view text) {
    return measureText(w, h, s, g, SystemFontTable::instance().findFont(fontNumber), text);
}

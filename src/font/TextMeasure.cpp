#include "font/TextMeasure.h"

#include "font/FontHandle.h"
#include "font/SystemFontTable.h"

namespace {

class SystemFontMetrics : public TextMetrics {
public:
    TextExtent measure(int w, int h, int s, int g, unsigned fontNumber,
                       std::string_view text) const override {
        return measureText(w, h, s, g, fontNumber, text);
    }
};

const SystemFontMetrics kSystemFontMetrics;

}  // namespace

std::int64_t characterAdvance(int w, const FontHandle* font, unsigned char c) {
    const VectorFont* f = font ? font->font() : nullptr;
    if (!f || !f->isProportional() || f->cellWidth() <= 0) return w;
    int glyphWidth = f->advanceWidth(c);
    if (glyphWidth == 0) return w;
    return std::int64_t{w} * glyphWidth / f->cellWidth();
}

TextExtent measureText(int w, int h, int s, int g, const FontHandle* font, std::string_view text) {
    // characterAdvance for every character, with what depends only on the font decided once.
    const VectorFont* f = font ? font->font() : nullptr;
    if (!f || !f->isProportional() || f->cellWidth() <= 0) {
        return measureTextLines(w, h, s, g, text, [w](unsigned char) { return std::int64_t{w}; });
    }
    const std::int64_t cell = f->cellWidth();
    return measureTextLines(w, h, s, g, text, [w, f, cell](unsigned char c) {
        const int glyphWidth = f->advanceWidth(c);
        return glyphWidth == 0 ? std::int64_t{w} : std::int64_t{w} * glyphWidth / cell;
    });
}

TextExtent measureText(int w, int h, int s, int g, unsigned fontNumber, std::string_view text) {
    return measureText(w, h, s, g, SystemFontTable::instance().findFont(fontNumber), text);
}

const TextMetrics& systemFontMetrics() {
    return kSystemFontMetrics;
}

void useSystemFontMetrics() {
    setTextMetrics(&kSystemFontMetrics);
}

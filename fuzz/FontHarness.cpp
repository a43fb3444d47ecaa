// The vector fonts: a ".vec" font, or the two files of a split double-byte font, installed as
// the standard font (1) and the Japanese font (100). Glyphs of every row of the code tables are
// fetched and decoded in both load modes and under every code kind; texts are measured and drawn
// through the system font table as labels are. A fetched glyph must never claim more than the
// room it was given.
#include <array>
#include <string>
#include <vector>

#include "FuzzHarnesses.h"
#include "FuzzSupport.h"
#include "base/SysEnv.h"
#include "font/FontHandle.h"
#include "font/SystemFontTable.h"
#include "font/TextDraw.h"
#include "font/TextMeasure.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"

using fuzzsupport::check;
using fuzzsupport::FuzzInput;

namespace {

constexpr int kCodeKinds[] = {kCodeGlyphIndex, kCodeSingleByte, kCodeJis,    kCodeShiftJis,
                              kCodeEucJp,      kCodeKorean,     kCodeChinese};

// Fetches the glyph of code into a roomy and a tight buffer and decodes it.
void fetch(FontHandle& font, std::uint32_t code) {
    std::array<std::uint8_t, 512> roomy;
    std::array<std::uint8_t, 6> tight;
    int width = 0;
    const int units = font.fetchGlyphWidth(code, roomy.data(), roomy.size(), &width);
    check(units <= static_cast<int>(roomy.size() / 2), "a glyph longer than its buffer");
    check(font.fetchGlyph(code, tight.data(), tight.size()) <= static_cast<int>(tight.size() / 2),
          "a glyph longer than its buffer");
    std::vector<GlyphPoint> points;
    font.glyphPoints(code, points);
    if (font.font() != nullptr) font.font()->advanceWidth(code);
}

// Every single-byte code, the JIS rows of both halves of a split font (every ninth cell), and
// under every other code kind a few codes of each of its byte ranges.
void fetchAll(FontHandle& font) {
    font.setCodeKind(kCodeJis);
    for (std::uint32_t code = 0; code < 256; ++code)
        fetch(font, code);
    for (std::uint32_t row = 0x21; row <= 0x7E; ++row) {
        for (std::uint32_t cell = 0x21; cell <= 0x7E; cell += 9)
            fetch(font, row << 8 | cell);
    }
    constexpr std::uint32_t kSamples[] = {0,      0x41,   0x2121, 0x7E7E,     0x8140, 0x889F,
                                          0x9FFC, 0xE040, 0xEAA4, 0xB0A1,     0xA1A1, 0xFEFE,
                                          0xFFFF, 1000,   65535,  0xFFFFFFFFu};
    for (int kind : kCodeKinds) {
        font.setCodeKind(kind);
        for (std::uint32_t code : kSamples)
            fetch(font, code);
    }
}

void openAndFetch(const std::string& path) {
    for (int mode : {kLoadWhole, kLoadOnDemand}) {
        FontHandle font;
        if (font.open(path, mode, kCodeJis) >= 0) fetchAll(font);
    }
}

// Labels of single- and double-byte characters, measured and drawn with system fonts 1 and 100
// (a double-byte character in Shift_JIS and EUC-JP alike).
void measureAndDraw(const char* qlang) {
    resetSysEnv();
    setSysEnv("QRXROOT", fuzzsupport::scratchDir().c_str());
    setSysEnv("QLANG", qlang);
    const std::string text = "Ag 0\n\xB0\xA1\xB0\xA2~\x7F\x80";
    measureText(120, 200, 10, 40, kStandardFontNumber, text);
    measureText(120, 200, 10, 40, kJapaneseFontNumber, text);
    QsText label(QsPoint(1000, -2000), text, 2000, 3000, 200, 15, 6, 0, 600, 1, 10, 20,
                 kStandardFontNumber, kJapaneseFontNumber);
    label.angle = 0.5;
    label.mirror = 1;
    std::vector<QsPolyline> strokes;
    drawText(label, strokes);
    std::int32_t w = 0, h = 0;
    label.extent(w, h);
}

}  // namespace

int fuzzFont(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    const std::string path = input.write("font/eng/qafont.vec", data, size);
    input.write("font/jpn/qkfont.vec", data, size);
    openAndFetch(path);
    measureAndDraw("english");
    measureAndDraw("japanese");
    return 0;
}

int fuzzSplitFont(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    // The same bytes as both halves: the glyphs of the rows from 0x50 come from the second.
    const std::string path = input.path("font/jpn/qkfont.vec");
    input.write("font/jpn/qkfont.vec.vf1", data, size);
    input.write("font/jpn/qkfont.vec.vf2", data, size);
    openAndFetch(path);
    measureAndDraw("japanese");
    return 0;
}

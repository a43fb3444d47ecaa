// Writers of small font files for the tests: ".vec" fonts (fixed-pitch or proportional,
// single- or double-byte) and split ".vf1"/".vf2" fonts, built from point lists.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace fonttest {

// A point of a ".vec" glyph: x, y in cell units; down: drawn from the previous point.
struct VecPoint {
    int x;
    int y;
    bool down;
};

struct VecGlyph {
    std::vector<VecPoint> points;
    int width = 0;  // advance in cell units (proportional fonts)
};

inline void putBig32(std::string& s, std::size_t at, std::uint32_t v) {
    s[at] = static_cast<char>(v >> 24);
    s[at + 1] = static_cast<char>(v >> 16);
    s[at + 2] = static_cast<char>(v >> 8);
    s[at + 3] = static_cast<char>(v);
}

// The bytes of a ".vec" font. Fixed pitch: indexEntries 32-bit entries (entry k for code or
// glyph index k). Proportional (flags bit 17): 5-byte records for codes up to 127.
inline std::string vecFont(std::uint32_t flags, int cellWidth, int cellHeight, int baseline,
                           const std::map<int, VecGlyph>& glyphs, int indexEntries = 128) {
    const bool proportional = (flags & (1u << 17)) != 0;
    const std::size_t indexSize =
        proportional ? 5 * 128 : 4 * static_cast<std::size_t>(indexEntries);
    std::string data;
    std::string index(indexSize, '\0');
    for (const auto& [key, glyph] : glyphs) {
        std::uint32_t offset = static_cast<std::uint32_t>(160 + indexSize + data.size());
        std::size_t length = 2 * glyph.points.size();
        for (const VecPoint& p : glyph.points) {
            data.push_back(static_cast<char>((p.down ? 0x80 : 0) | (p.x & 0x7F)));
            data.push_back(static_cast<char>(p.y & 0x7F));
        }
        if (proportional) {
            std::size_t at = 5 * static_cast<std::size_t>(key) - 1;
            index[at] = static_cast<char>(offset >> 16);
            index[at + 1] = static_cast<char>(offset >> 8);
            index[at + 2] = static_cast<char>(offset);
            index[at + 3] = static_cast<char>(length);
            index[at + 4] = static_cast<char>(glyph.width);
        } else {
            putBig32(index, 4 * static_cast<std::size_t>(key),
                     (offset << 8) | static_cast<std::uint32_t>(length));
        }
    }
    std::string file(160, '\0');
    file.replace(0, 8, "TESTFONT");
    putBig32(file, 16, flags);
    putBig32(file, 20, static_cast<std::uint32_t>(cellWidth));
    putBig32(file, 24, static_cast<std::uint32_t>(cellHeight));
    putBig32(file, 28, static_cast<std::uint32_t>(baseline));
    putBig32(file, 32, static_cast<std::uint32_t>(indexSize));
    putBig32(file, 36, static_cast<std::uint32_t>(data.size()));
    return file + index + data;
}

// One stroke list of a split font glyph: points on the 1024 grid; strokes are separated by the
// pen-lift pair and the glyph ends with two of them in a row.
using SplitGlyph = std::vector<std::vector<std::pair<int, int>>>;

// Packs 10-bit values into little-endian 16-bit words, most significant bits first.
inline std::string packTenBits(const std::vector<int>& values) {
    std::string out;
    std::uint32_t acc = 0;
    int bits = 0;
    for (int v : values) {
        acc = (acc << 10) | static_cast<std::uint32_t>(v & 0x3FF);
        bits += 10;
        while (bits >= 16) {
            std::uint16_t word = static_cast<std::uint16_t>(acc >> (bits - 16));
            out.push_back(static_cast<char>(word & 0xFF));
            out.push_back(static_cast<char>(word >> 8));
            bits -= 16;
            acc &= (1u << bits) - 1;
        }
    }
    if (bits > 0) {
        std::uint16_t word = static_cast<std::uint16_t>(acc << (16 - bits));
        out.push_back(static_cast<char>(word & 0xFF));
        out.push_back(static_cast<char>(word >> 8));
    }
    return out;
}

// The bytes of one split font file with glyphs at the given slots (others missing).
inline std::string splitFontFile(const std::map<int, SplitGlyph>& glyphs) {
    std::string table(2 + 4418 * 4, '\0');
    for (int i = 0; i < 4418; ++i) {
        std::size_t at = 2 + 4 * static_cast<std::size_t>(i);
        for (int b = 0; b < 4; ++b)
            table[at + static_cast<std::size_t>(b)] = '\xFF';
    }
    std::string data;
    for (const auto& [slot, strokes] : glyphs) {
        std::uint32_t offset = static_cast<std::uint32_t>(data.size());
        std::size_t at = 2 + 4 * static_cast<std::size_t>(slot);
        for (int b = 0; b < 4; ++b)
            table[at + static_cast<std::size_t>(b)] = static_cast<char>(offset >> (8 * b));
        std::vector<int> values;
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            if (i > 0) {
                values.push_back(1023);
                values.push_back(1023);
            }
            for (const auto& [x, y] : strokes[i]) {
                values.push_back(x);
                values.push_back(y);
            }
        }
        for (int k = 0; k < 4; ++k)
            values.push_back(1023);
        data += packTenBits(values);
    }
    return table + data;
}

}  // namespace fonttest

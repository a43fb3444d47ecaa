// Writers of small font files for the tests: ".vec" fonts (fixed-pitch or proportional,
// single- or double-byte) and split ".vf1"/".vf2" font files, built from point lists.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace fonttest {

// A point of a ".vec" glyph in cell units; down: drawn from the previous point.
struct VecPoint {
    int x;
    int y;
    bool down;
};

struct VecGlyph {
    std::vector<VecPoint> points;
    int width = 0;  // advance in cell units (proportional fonts)
};

// Writes v big-endian in n bytes at s[at].
inline void putBig(std::string& s, std::size_t at, std::uint32_t v, int n = 4) {
    for (int i = 0; i < n; ++i)
        s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * (n - 1 - i)));
}
inline void putBig32(std::string& s, std::size_t at, std::uint32_t v) {
    putBig(s, at, v);
}

// The bytes of a ".vec" font. Fixed pitch: indexEntries 32-bit entries (entry k for code or
// glyph index k). Proportional (flags bit 17): 5-byte records for codes up to 127.
inline std::string vecFont(std::uint32_t flags, int cellWidth, int cellHeight, int baseline,
                           const std::map<int, VecGlyph>& glyphs, int indexEntries = 128) {
    const bool proportional = (flags & (1u << 17)) != 0;
    const std::size_t indexSize = proportional ? 5 * 128 : 4 * std::size_t(indexEntries);
    std::string index(indexSize, '\0');
    std::string data;
    for (const auto& [key, glyph] : glyphs) {
        const auto offset = static_cast<std::uint32_t>(160 + indexSize + data.size());
        const auto length = static_cast<std::uint32_t>(2 * glyph.points.size());
        for (const VecPoint& p : glyph.points) {
            data.push_back(static_cast<char>((p.down ? 0x80 : 0) | (p.x & 0x7F)));
            data.push_back(static_cast<char>(p.y & 0x7F));
        }
        if (proportional) {
            const std::size_t at = 5 * std::size_t(key) - 1;
            putBig(index, at, offset, 3);
            putBig(index, at + 3, length, 1);
            putBig(index, at + 4, static_cast<std::uint32_t>(glyph.width), 1);
        } else {
            putBig(index, 4 * std::size_t(key), (offset << 8) | length);
        }
    }
    std::string header(160, '\0');
    const std::uint32_t fields[] = {flags,
                                    std::uint32_t(cellWidth),
                                    std::uint32_t(cellHeight),
                                    std::uint32_t(baseline),
                                    std::uint32_t(indexSize),
                                    std::uint32_t(data.size())};
    for (std::size_t i = 0; i < 6; ++i)
        putBig(header, 16 + 4 * i, fields[i]);
    return header + index + data;
}

// The strokes of a split font glyph: points on the 1024 grid.
using SplitGlyph = std::vector<std::vector<std::pair<int, int>>>;

// One split font file with glyphs at the given slots (the others missing): strokes separated
// by the pen-lift pair, two of them at the end, as 10-bit values packed into little-endian
// 16-bit words, most significant bits first.
inline std::string splitFontFile(const std::map<int, SplitGlyph>& glyphs) {
    std::string table(2 + 4418 * 4, '\xFF');
    std::string data;
    for (const auto& [slot, strokes] : glyphs) {
        for (int b = 0; b < 4; ++b)
            table[2 + 4 * std::size_t(slot) + std::size_t(b)] =
                static_cast<char>(data.size() >> (8 * b));
        std::vector<int> values;
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            if (i > 0) values.insert(values.end(), {1023, 1023});
            for (const auto& [x, y] : strokes[i])
                values.insert(values.end(), {x, y});
        }
        values.insert(values.end(), {1023, 1023, 1023, 1023});
        std::uint32_t acc = 0;
        int bits = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            acc = (acc << 10) | std::uint32_t(values[i]);
            bits += 10;
            if (i + 1 == values.size() && bits % 16 != 0) {  // pad the last word
                acc <<= 16 - bits % 16;
                bits += 16 - bits % 16;
            }
            for (; bits >= 16; bits -= 16) {
                const auto w = static_cast<std::uint16_t>(acc >> (bits - 16));
                data.push_back(static_cast<char>(w & 0xFF));
                data.push_back(static_cast<char>(w >> 8));
            }
            acc &= (1u << bits) - 1;
        }
    }
    table[0] = table[1] = '\0';
    return table + data;
}

}  // namespace fonttest

// Small font files written by the tests (".vec" fonts and split ".vf1"/".vf2" files), and a
// fixture that starts every font test without system fonts, font path or installation roots.
#pragma once

#include <gtest/gtest.h>

#include "support/FreshFontLookup.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/SysEnv.h"
#include "font/SystemFontTable.h"
#include "support/TestSupport.h"

namespace fonttest {

// A glyph: its points as written and, in proportional ".vec" fonts, its advance width. In a
// ".vec" font x carries kDown (drawn from the previous point); in a split font (1023, 1023)
// lifts the pen and the two closing lifts are added by the writer.
struct Glyph {
    std::vector<std::pair<int, int>> points;
    int width = 0;
};
using Glyphs = std::map<int, Glyph>;
inline constexpr int kDown = 0x80;

// Writes v into n bytes at s[at]: big-endian, or little-endian when little.
inline void put(std::string& s, std::size_t at, std::uint32_t v, int n = 4, bool little = false) {
    for (int i = 0; i < n; ++i)
        s[at + std::size_t(i)] = static_cast<char>(v >> (8 * (little ? i : n - 1 - i)));
}

// A ".vec" font keyed by code (or glyph index): fixed pitch with indexEntries 4-byte entries, or
// proportional (flag bit 17) with 5-byte records of offset, length and width.
inline std::string vecFont(std::uint32_t flags, std::uint32_t cellWidth, std::uint32_t cellHeight,
                           std::uint32_t baseline, const Glyphs& glyphs, int indexEntries = 128) {
    const bool proportional = (flags & (1u << 17)) != 0;
    std::string header(160, '\0'), index(proportional ? 640 : 4 * indexEntries, '\0'), data;
    for (const auto& [key, g] : glyphs) {
        const auto offset = std::uint32_t(160 + index.size() + data.size());
        const auto length = std::uint32_t(2 * g.points.size());  // in bytes
        for (const auto& [x, y] : g.points)
            data += {char(x), char(y)};
        if (proportional) {
            put(index, 5 * std::size_t(key) - 1, offset, 3);
            put(index, 5 * std::size_t(key) + 2, length << 8 | std::uint32_t(g.width), 2);
        } else {
            put(index, 4 * std::size_t(key), offset << 8 | length);
        }
    }
    const std::uint32_t fields[] = {flags,
                                    cellWidth,
                                    cellHeight,
                                    baseline,
                                    std::uint32_t(index.size()),
                                    std::uint32_t(data.size())};
    for (std::size_t i = 0; i < 6; ++i)
        put(header, 16 + 4 * i, fields[i]);
    return header + index + data;
}

// A split font file with glyphs in the given slots (the others missing): little-endian offsets
// behind two zero bytes, then 10-bit values in little-endian 16-bit words, high bits first.
inline std::string splitFont(const Glyphs& glyphs) {
    std::string table(2 + 4418 * 4, '\xFF'), data;
    table[0] = table[1] = '\0';
    for (const auto& [slot, g] : glyphs) {
        put(table, 2 + 4 * std::size_t(slot), std::uint32_t(data.size()), 4, true);
        std::string bits;
        const auto add = [&bits](int v) {
            for (int b = 9; b >= 0; --b)
                bits += char('0' + (v >> b & 1));
        };
        for (const auto& [x, y] : g.points)
            add(x), add(y);
        for (int i = 0; i < 4; ++i)
            add(1023);
        bits.resize((bits.size() + 15) / 16 * 16, '0');
        for (std::size_t i = 0; i < bits.size(); i += 16) {
            const unsigned long w = std::stoul(bits.substr(i, 16), nullptr, 2);
            data += {char(w & 0xFF), char(w >> 8)};
        }
    }
    return table + data;
}

// Writes a font file at path, making its directories.
inline void putFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(testsupport::writeFile(path, bytes));
}

// Every font test starts without system fonts, font path or installation roots.
class FontTest : public FreshFontLookupTest {
protected:
    testsupport::ScopedEnv project_{"NVL_PROJECT_ROOT", std::nullopt};
    testsupport::ScopedEnv local_{"QLOCALROOT", std::nullopt};
    testsupport::ScopedEnv install_{"QRXROOT", std::nullopt};
    testsupport::ScopedEnv fontPath_{"QFONT_PATH", std::nullopt};
    testsupport::TempDir dir_;
};

}  // namespace fonttest

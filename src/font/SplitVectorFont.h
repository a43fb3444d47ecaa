// A double-byte font of JIS X 0208 characters kept in two files, path + ".vf1" (rows 0x21 to
// 0x4F) and path + ".vf2" (rows from 0x50), whose glyphs are packed 10-bit points.
#pragma once

#include <array>

#include "font/VectorFont.h"

// Glyph slots per file, and the offset at which a file's glyph data starts.
inline constexpr int kSplitFontSlots = 4418;
inline constexpr std::uint32_t kSplitFontDataStart = 2 + kSplitFontSlots * 4;  // 17674
// Coordinate of the pen-lift pair, and the grid of glyph points.
inline constexpr int kSplitFontPenLift = 1023;
inline constexpr int kSplitFontCell = 1024;

class SplitVectorFont : public VectorFont {
public:
    SplitVectorFont();
    ~SplitVectorFont() override;

    // Opens path + ".vf1" and, when present, path + ".vf2". Returns the flags (3) or -1 when the
    // first file is missing or shorter than its slot table.
    int open(const std::string& path, int loadMode) override;
    void close() override;

    // The slot of a code: JIS row r, cell c give r * 94 + c - 3135 below 0x5000 (first file) and
    // r * 94 + c - 7553 from 0x5000 (second file); -1 outside the font.
    int glyphIndex(std::uint32_t code, int codeKind) const override;

    // Hands the glyph out as 32-bit words x * 65536 + y (the pair 1023, 1023 lifting the pen),
    // ended by a 0 word. Returns the number of 16-bit units before the 0 word.
    int fetchGlyph(std::uint32_t code, int codeKind, std::uint8_t* dest,
                   std::size_t capacity) override;
    int fetchGlyphWidth(std::uint32_t code, int codeKind, std::uint8_t* dest, std::size_t capacity,
                        int* width) override;
    void decodeGlyph(const std::uint8_t* data, int units,
                     std::vector<GlyphPoint>& points) const override;

    // The JIS code (row << 8 | cell) of a code of the given kind, -1 when it has none.
    static int toJis(std::uint32_t code, int codeKind);

private:
    struct Part {
        FilePtr file;
        std::array<std::uint32_t, kSplitFontSlots> offsets{};
        std::vector<std::uint8_t> data;  // glyph data in kLoadWhole
        long long dataSize = 0;
        bool present = false;
    };
    int openPart(Part& part, const std::string& name, int loadMode);

    Part parts_[2];
};

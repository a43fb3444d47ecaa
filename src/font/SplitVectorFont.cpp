#include "font/SplitVectorFont.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/JapaneseCodes.h"
#include "font/FontBytes.h"

namespace {

constexpr std::uint32_t kMissingGlyph = 0xFFFFFFFFu;
constexpr std::uint32_t kLiftWord = (std::uint32_t{kSplitFontPenLift} << 16) | kSplitFontPenLift;
// The most input one glyph can use: the points that fit the glyph buffer, 20 bits each, and the
// two closing pen-lift pairs.
constexpr std::size_t kMaxGlyphInput = (kGlyphBufferSize / 4 + 2) * 20 / 8 + 2;

// Full-width JIS X 0208 symbols for the printable ASCII characters other than digits and letters
// (which are the code + 0x2300), from 0x20 to 0x7E; 0 marks a digit or letter.
constexpr std::uint16_t kFullWidthSymbols[95] = {
    0x2121, 0x212A, 0x2149, 0x2174, 0x2170, 0x2173, 0x2175, 0x2147,  // space ! " # $ % & '
    0x214A, 0x214B, 0x2176, 0x215C, 0x2124, 0x215D, 0x2125, 0x213F,  // ( ) * + , - . /
    0,      0,      0,      0,      0,      0,      0,      0,       // 0-7
    0,      0,      0x2127, 0x2128, 0x2163, 0x2161, 0x2164, 0x2129,  // 8 9 : ; < = > ?
    0x2177, 0,      0,      0,      0,      0,      0,      0,       // @ A-G
    0,      0,      0,      0,      0,      0,      0,      0,       // H-O
    0,      0,      0,      0,      0,      0,      0,      0,       // P-W
    0,      0,      0,      0x214E, 0x2140, 0x214F, 0x2130, 0x2132,  // X Y Z [ \ ] ^ _
    0x212E, 0,      0,      0,      0,      0,      0,      0,       // ` a-g
    0,      0,      0,      0,      0,      0,      0,      0,       // h-o
    0,      0,      0,      0,      0,      0,      0,      0,       // p-w
    0,      0,      0,      0x2150, 0x2143, 0x2151, 0x2141,          // x y z { | } ~
};

// Reads 10-bit values from little-endian 16-bit words, most significant bits first.
class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), words_(size / 2) {}

    bool read10(int& value) {
        while (bits_ < 10) {
            if (next_ >= words_) return false;
            acc_ = (acc_ << 16) | readLittleEndian16(data_ + 2 * next_);
            ++next_;
            bits_ += 16;
        }
        bits_ -= 10;
        value = static_cast<int>((acc_ >> bits_) & 0x3FFu);
        acc_ &= (std::uint32_t{1} << bits_) - 1;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t words_;
    std::size_t next_ = 0;
    std::uint32_t acc_ = 0;
    int bits_ = 0;
};

}  // namespace

SplitVectorFont::SplitVectorFont() = default;
SplitVectorFont::~SplitVectorFont() = default;

int SplitVectorFont::toJis(std::uint32_t code, int codeKind) {
    switch (codeKind) {
        case kCodeSingleByte: {
            if (code < 0x20 || code > 0x7E) return -1;
            std::uint16_t symbol = kFullWidthSymbols[code - 0x20];
            return symbol != 0 ? symbol : static_cast<int>(code + 0x2300);
        }
        case kCodeJis:
            return static_cast<int>(code & 0xFFFFu);
        case kCodeShiftJis:
            return code > 0xFFFF ? -1 : sjisToJis(static_cast<int>(code));
        case kCodeEucJp:
            return code > 0xFFFF ? -1 : eucToJis(static_cast<int>(code));
        default:
            return -1;
    }
}

int SplitVectorFont::openPart(Part& part, const std::string& name, int loadMode) {
    part = Part();
    FilePtr file = openFontFile(name);
    if (!file) return 0;
    long long size = fileSize(file.get());
    if (size < static_cast<long long>(kSplitFontDataStart)) return 0;
    std::uint8_t table[kSplitFontSlots * 4];
    if (readAt(file.get(), 2, table, sizeof table) != sizeof table) return 0;
    for (int i = 0; i < kSplitFontSlots; ++i)
        part.offsets[i] = readLittleEndian32(table + 4 * static_cast<std::size_t>(i));
    part.dataSize = size - kSplitFontDataStart;
    if (loadMode == kLoadWhole) {
        try {
            part.data.assign(static_cast<std::size_t>(part.dataSize), 0);
        } catch (const std::bad_alloc&) {
            return 0;
        }
        if (!part.data.empty() && readAt(file.get(), kSplitFontDataStart, part.data.data(),
                                         part.data.size()) != part.data.size())
            return 0;
    } else {
        part.file = std::move(file);
    }
    part.present = true;
    return 1;
}

int SplitVectorFont::open(const std::string& path, int loadMode) {
    close();
    path_ = path;
    loadMode_ = loadMode == kLoadOnDemand ? kLoadOnDemand : kLoadWhole;
    if (!openPart(parts_[0], path + ".vf1", loadMode_)) {
        parts_[0] = Part();
        return -1;
    }
    // The second file holds the rows from 0x50; without it those characters have no glyph.
    if (!openPart(parts_[1], path + ".vf2", loadMode_)) parts_[1] = Part();
    flags_ = 3;
    cellWidth_ = kSplitFontCell;
    cellHeight_ = kSplitFontCell;
    baselineOffset_ = 0;
    indexSize_ = static_cast<std::uint32_t>(kSplitFontSlots * 4 * (parts_[1].present ? 2 : 1));
    dataSize_ = static_cast<std::uint32_t>(
        std::min<long long>(parts_[0].dataSize + parts_[1].dataSize, 0xFFFFFFFFLL));
    codeKind_ = kCodeJis;
    open_ = true;
    return static_cast<int>(flags_);
}

void SplitVectorFont::close() {
    parts_[0] = Part();
    parts_[1] = Part();
    VectorFont::close();
}

int SplitVectorFont::glyphIndex(std::uint32_t code, int codeKind) const {
    if (codeKind == kCodeGlyphIndex)
        return code < 2u * kSplitFontSlots ? static_cast<int>(code) : -1;
    int jis = toJis(code, codeKind);
    if (jis < 0) return -1;
    int row = (jis >> 8) & 0xFF;
    int cell = jis & 0xFF;
    int index = jis < 0x5000 ? row * 94 + cell - 3135 : row * 94 + cell - 7553;
    if (index < 0 || index >= kSplitFontSlots) return -1;
    return jis < 0x5000 ? index : kSplitFontSlots + index;
}

int SplitVectorFont::fetchGlyph(std::uint32_t code, int codeKind, std::uint8_t* dest,
                                std::size_t capacity) {
    int width = 0;
    return fetchGlyphWidth(code, codeKind, dest, capacity, &width);
}

int SplitVectorFont::fetchGlyphWidth(std::uint32_t code, int codeKind, std::uint8_t* dest,
                                     std::size_t capacity, int* width) {
    if (width) *width = 0;
    if (!open_) return -1;
    int index = glyphIndex(code, codeKind);
    if (index < 0) return -1;
    Part& part = parts_[index / kSplitFontSlots];
    int slot = index % kSplitFontSlots;
    if (slot == 0 || !part.present || capacity < 4) return 0;
    std::uint32_t offset = part.offsets[static_cast<std::size_t>(slot)];
    if (offset == kMissingGlyph || offset >= static_cast<std::uint64_t>(part.dataSize)) return 0;

    // The glyph's packed points: from memory, or read from the file in one go.
    std::uint8_t input[kMaxGlyphInput];
    std::size_t available = static_cast<std::size_t>(
        std::min<long long>(static_cast<long long>(kMaxGlyphInput), part.dataSize - offset));
    const std::uint8_t* packed = nullptr;
    if (loadMode_ == kLoadWhole) {
        packed = part.data.data() + offset;
    } else {
        available =
            readAt(part.file.get(), kSplitFontDataStart + std::uint64_t{offset}, input, available);
        packed = input;
    }

    BitReader bits(packed, available);
    std::size_t maxWords = capacity / 4 - 1;  // room for the closing 0 word
    std::size_t words = 0;
    bool lifted = false;
    int x = 0;
    int y = 0;
    while (words < maxWords && bits.read10(x) && bits.read10(y)) {
        bool lift = x == kSplitFontPenLift && y == kSplitFontPenLift;
        if (lift && lifted) {
            --words;  // two lifts in a row end the glyph; the first one ends no stroke
            break;
        }
        lifted = lift;
        std::uint32_t word = (static_cast<std::uint32_t>(x) << 16) | static_cast<std::uint32_t>(y);
        std::memcpy(dest + 4 * words, &word, 4);
        ++words;
    }
    std::uint32_t end = 0;
    std::memcpy(dest + 4 * words, &end, 4);
    if (width) *width = cellWidth_;
    return static_cast<int>(2 * words);
}

void SplitVectorFont::decodeGlyph(const std::uint8_t* data, int units,
                                  std::vector<GlyphPoint>& points) const {
    points.clear();
    bool newStroke = true;
    for (int i = 0; i + 1 < units; i += 2) {
        std::uint32_t word = 0;
        std::memcpy(&word, data + 2 * static_cast<std::size_t>(i), 4);
        if (word == kLiftWord) {
            newStroke = true;
            continue;
        }
        GlyphPoint p;
        p.x = static_cast<int>(word >> 16);
        p.y = static_cast<int>(word & 0xFFFFu);
        p.penDown = !newStroke;
        newStroke = false;
        points.push_back(p);
    }
}

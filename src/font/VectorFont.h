// A stroke font read from a ".vec" file: header, glyph index and glyph data. One object per path
// is shared by every FontHandle open on it; the split double-byte font derives from it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Font flags. The low 16 bits give the font kind.
inline constexpr std::uint32_t kFontKindMask = 0xFFFFu;
inline constexpr std::uint32_t kFontKindSingleByte = 1;       // indexed by character code
inline constexpr std::uint32_t kFontKindDoubleByte = 2;       // indexed by the code's glyph index
inline constexpr std::uint32_t kFontFlagBaseline = 1u << 16;  // the baseline offset applies
inline constexpr std::uint32_t kFontFlagProportional = 1u << 17;  // 5-byte index records

// Character-code kinds: what the codes handed to a font stand for.
inline constexpr int kCodeGlyphIndex = -1;  // glyph indexes, used as they are
inline constexpr int kCodeSingleByte = 0;   // single-byte codes drawn with full-width glyphs
inline constexpr int kCodeJis = 1;          // JIS X 0208 row byte, cell byte
inline constexpr int kCodeShiftJis = 2;
inline constexpr int kCodeEucJp = 3;
inline constexpr int kCodeKorean = 8;   // both bytes from 0xA1
inline constexpr int kCodeChinese = 9;  // both bytes from 0xA1

// Load modes.
inline constexpr int kLoadOnDemand = 0;  // glyphs are read from the open file when asked for
inline constexpr int kLoadWhole = 1;     // the whole glyph data is read when the font is opened

// Size of the process-wide glyph buffer; no glyph of a ".vec" font exceeds 255 bytes.
inline constexpr std::size_t kGlyphBufferSize = 4096;

// Size of the ".vec" header; the glyph index starts behind it.
inline constexpr std::uint32_t kVecHeaderSize = 160;

// The process-wide buffer (kGlyphBufferSize bytes) into which glyphs are fetched for drawing.
std::uint8_t* glyphBuffer();

// One decoded glyph point in cell units. penDown: the pen draws from the previous point to this
// one; otherwise the point starts a new stroke.
struct GlyphPoint {
    int x = 0;
    int y = 0;
    bool penDown = false;
};

class VectorFont : public std::enable_shared_from_this<VectorFont> {
public:
    VectorFont();
    virtual ~VectorFont();
    VectorFont(const VectorFont&) = delete;
    VectorFont& operator=(const VectorFont&) = delete;

    // Opens the font file at path. In kLoadWhole the glyph data is read into memory and the file
    // is closed; in kLoadOnDemand the file stays open. Returns the flags, or -1 when the file is
    // missing, shorter than its header or inconsistent with the sizes its header gives.
    virtual int open(const std::string& path, int loadMode);
    // Releases the file and the glyph data.
    virtual void close();

    // The glyph index of a code of the given code kind in a double-byte font; -1 when the code
    // lies outside the font. Single-byte fonts answer the code itself.
    virtual int glyphIndex(std::uint32_t code, int codeKind) const;

    // Copies the glyph of code into dest (capacity bytes). Returns its length in 16-bit units, 0
    // for a code without glyph, -1 for a code outside the font.
    virtual int fetchGlyph(std::uint32_t code, int codeKind, std::uint8_t* dest,
                           std::size_t capacity);
    // As fetchGlyph, and stores the glyph's advance width in cell units (0 without glyph).
    virtual int fetchGlyphWidth(std::uint32_t code, int codeKind, std::uint8_t* dest,
                                std::size_t capacity, int* width);

    // Turns a fetched glyph (units 16-bit units in data) into points in cell units.
    virtual void decodeGlyph(const std::uint8_t* data, int units,
                             std::vector<GlyphPoint>& points) const;

    // The advance width in cell units of a single-byte code, read from the index without
    // fetching the glyph: the cell width in a fixed-pitch font, the record's width in a
    // proportional one, 0 for a code without glyph.
    int advanceWidth(std::uint32_t code) const;

    const std::string& path() const { return path_; }
    std::uint32_t flags() const { return flags_; }
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    int baselineOffset() const { return baselineOffset_; }
    std::uint32_t indexSize() const { return indexSize_; }
    std::uint32_t dataSize() const { return dataSize_; }
    // The code kind stated in the font's own flags (0 when they state none).
    int codeKind() const { return codeKind_; }
    int loadMode() const { return loadMode_; }
    bool isOpen() const { return open_; }
    bool isSingleByte() const { return (flags_ & kFontKindMask) == kFontKindSingleByte; }
    // A single-byte font with 5-byte index records that carry advance widths.
    bool isProportional() const;
    // Number of FontHandles sharing this font.
    long refCount() const;

protected:
    struct FileCloser {
        void operator()(std::FILE* f) const {
            if (f) std::fclose(f);
        }
    };
    using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

    // Opens a font file for reading: only a regular file, since fonts are read at offsets (a
    // directory, a device or a pipe gives null).
    static FilePtr openFontFile(const std::string& path);

    // Reads up to size bytes at offset of file into dest; returns the number read.
    static std::size_t readAt(std::FILE* file, std::uint64_t offset, std::uint8_t* dest,
                              std::size_t size);
    // Size of an open file in bytes, -1 when it cannot be told.
    static long long fileSize(std::FILE* file);

    // Copies the glyph bytes [offset, offset + length) of the file into dest, from memory or from
    // the open file; returns the number of bytes copied.
    std::size_t copyGlyphBytes(std::uint64_t offset, std::size_t length, std::uint8_t* dest,
                               std::size_t capacity);

    std::string path_;
    FilePtr file_;
    std::vector<std::uint8_t> index_;  // raw index bytes (whole 32-bit words)
    std::vector<std::uint8_t> data_;   // glyph data in kLoadWhole
    std::uint32_t flags_ = 0;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int baselineOffset_ = 0;
    std::uint32_t indexSize_ = 0;
    std::uint32_t dataSize_ = 0;
    int codeKind_ = 0;
    int loadMode_ = kLoadWhole;
    bool open_ = false;
};

// The process-wide list of open font objects, keyed by path. Fonts leave it when the last handle
// sharing them lets go.

// The open font of that path, or null.
std::shared_ptr<VectorFont> findOpenFont(std::string_view path);
// Adds a freshly opened font to the list.
void addOpenFont(const std::shared_ptr<VectorFont>& font);
// Number of fonts in the list.
int openFontCount();

#include "font/VectorFont.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <map>
#include <new>

#include "base/PlatformFile.h"
#include "font/FontBytes.h"
#include "font/SplitVectorFont.h"

namespace {

// Open fonts by path. The list does not own them: the handles do, and a font removes itself when
// the last of them lets go. The list is never destroyed, because handles kept by other
// process-wide records (the system font table) let go of their fonts during the exit, possibly
// after a static list would already be gone.
std::map<std::string, std::weak_ptr<VectorFont>, std::less<>>& openFonts() {
    static auto* fonts = new std::map<std::string, std::weak_ptr<VectorFont>, std::less<>>;
    return *fonts;
}

// Header fields of a ".vec" file.
constexpr std::size_t kHeaderBytesRead = 96;
constexpr std::size_t kFlagsOffset = 16;
constexpr std::uint32_t kCodeKindFlagBit = 1u << 1;

}  // namespace

std::uint8_t* glyphBuffer() {
    static std::array<std::uint8_t, kGlyphBufferSize> buffer{};
    return buffer.data();
}

std::shared_ptr<VectorFont> findOpenFont(std::string_view path) {
    auto& fonts = openFonts();
    auto it = fonts.find(path);
    if (it == fonts.end()) return nullptr;
    return it->second.lock();
}

void addOpenFont(const std::shared_ptr<VectorFont>& font) {
    if (font) openFonts()[font->path()] = font;
}

int openFontCount() {
    int n = 0;
    for (const auto& entry : openFonts())
        if (!entry.second.expired()) ++n;
    return n;
}

VectorFont::VectorFont() = default;

VectorFont::~VectorFont() {
    // Only the list entry that refers to this object goes; a newer font of the same path stays.
    auto& fonts = openFonts();
    auto it = fonts.find(path_);
    if (it != fonts.end() && it->second.expired()) fonts.erase(it);
}

long VectorFont::refCount() const {
    return weak_from_this().use_count();
}

bool VectorFont::isProportional() const {
    return isSingleByte() && (flags_ & kFontFlagProportional) != 0;
}

std::size_t VectorFont::readAt(std::FILE* file, std::uint64_t offset, std::uint8_t* dest,
                               std::size_t size) {
    if (!file || size == 0) return 0;
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max())) return 0;
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return std::fread(dest, 1, size, file);
}

VectorFont::FilePtr VectorFont::openFontFile(const std::string& path) {
    int error = 0;
    return FilePtr(platform::openInput(path, false, error).releaseToStream("rb"));
}

long long VectorFont::fileSize(std::FILE* file) {
    if (!file || std::fseek(file, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file);
    return size < 0 ? -1 : static_cast<long long>(size);
}

int VectorFont::open(const std::string& path, int loadMode) {
    close();
    path_ = path;
    loadMode_ = loadMode == kLoadOnDemand ? kLoadOnDemand : kLoadWhole;
    FilePtr file = openFontFile(path);
    if (!file) return -1;

    std::uint8_t header[kHeaderBytesRead];
    if (readAt(file.get(), 0, header, sizeof header) != sizeof header) return -1;
    long long size = fileSize(file.get());
    if (size < 0) return -1;

    std::uint32_t flags = readBigEndian32(header + kFlagsOffset);
    int cellWidth = static_cast<std::int32_t>(readBigEndian32(header + 20));
    int cellHeight = static_cast<std::int32_t>(readBigEndian32(header + 24));
    int baseline = static_cast<std::int32_t>(readBigEndian32(header + 28));
    std::uint32_t indexSize = readBigEndian32(header + 32);
    std::uint32_t dataSize = readBigEndian32(header + 36);

    int codeKind = 0;
    if ((flags & kCodeKindFlagBit) && (flags & kFontKindMask) != kFontKindDoubleByte) {
        codeKind = static_cast<int>((flags >> 3) & 0x1FFFu);
        flags &= ~0xFFF8u;
    }
    // Only single-byte fonts have the 5-byte records of a proportional index.
    if ((flags & kFontKindMask) != kFontKindSingleByte) flags &= ~kFontFlagProportional;

    // The sizes come from the file: check them against what it holds before allocating.
    std::uint64_t indexBytes = indexSize / 4 * 4;
    std::uint64_t dataStart = kVecHeaderSize + static_cast<std::uint64_t>(indexSize);
    if (indexBytes > 0 && kVecHeaderSize + indexBytes > static_cast<std::uint64_t>(size)) return -1;
    if (loadMode_ == kLoadWhole && dataSize > 0 &&
        dataStart + dataSize > static_cast<std::uint64_t>(size))
        return -1;

    try {
        index_.assign(indexBytes, 0);
        if (indexBytes > 0 &&
            readAt(file.get(), kVecHeaderSize, index_.data(), index_.size()) != index_.size()) {
            index_.clear();
            return -1;
        }
        if (loadMode_ == kLoadWhole) {
            data_.assign(dataSize, 0);
            if (dataSize > 0 &&
                readAt(file.get(), dataStart, data_.data(), data_.size()) != data_.size()) {
                index_.clear();
                data_.clear();
                return -1;
            }
        }
    } catch (const std::bad_alloc&) {
        index_.clear();
        data_.clear();
        return -1;
    }

    flags_ = flags;
    cellWidth_ = cellWidth;
    cellHeight_ = cellHeight;
    baselineOffset_ = baseline;
    indexSize_ = indexSize;
    dataSize_ = dataSize;
    codeKind_ = codeKind;
    if (loadMode_ == kLoadOnDemand) file_ = std::move(file);
    open_ = true;
    return static_cast<int>(flags_ & 0x7FFFFFFFu);
}

void VectorFont::close() {
    file_.reset();
    index_.clear();
    index_.shrink_to_fit();
    data_.clear();
    data_.shrink_to_fit();
    open_ = false;
}

int VectorFont::glyphIndex(std::uint32_t code, int codeKind) const {
    if (isSingleByte()) return static_cast<int>(code & 0xFFFFu);
    std::uint32_t index = 0;
    if (codeKind == kCodeGlyphIndex) {
        index = code;
    } else if (codeKind == kCodeKorean || codeKind == kCodeChinese) {
        int first = static_cast<int>((code >> 8) & 0xFF);
        int second = static_cast<int>(code & 0xFF);
        index = static_cast<std::uint32_t>((first - 161) * 96 + (second - 160)) & 0xFFFFu;
    } else {
        int jis = SplitVectorFont::toJis(code, codeKind);
        if (jis < 0) return -1;
        int row = (jis >> 8) & 0xFF;
        int cell = jis & 0xFF;
        index = static_cast<std::uint32_t>((row - 0x21) * 100 + (cell - 0x21)) & 0xFFFFu;
    }
    if (index >= index_.size() / 4) return -1;
    return static_cast<int>(index);
}

std::size_t VectorFont::copyGlyphBytes(std::uint64_t offset, std::size_t length, std::uint8_t* dest,
                                       std::size_t capacity) {
    length = std::min(length, capacity);
    if (length == 0) return 0;
    if (loadMode_ == kLoadOnDemand) return readAt(file_.get(), offset, dest, length);
    std::uint64_t dataStart = kVecHeaderSize + static_cast<std::uint64_t>(indexSize_);
    if (offset < dataStart) return 0;
    std::uint64_t rel = offset - dataStart;
    if (rel >= data_.size()) return 0;
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(length, data_.size() - rel));
    std::memcpy(dest, data_.data() + rel, n);
    return n;
}

int VectorFont::fetchGlyph(std::uint32_t code, int codeKind, std::uint8_t* dest,
                           std::size_t capacity) {
    int width = 0;
    return fetchGlyphWidth(code, codeKind, dest, capacity, &width);
}

int VectorFont::fetchGlyphWidth(std::uint32_t code, int codeKind, std::uint8_t* dest,
                                std::size_t capacity, int* width) {
    if (width) *width = 0;
    if (!open_) return -1;
    std::uint64_t offset = 0;
    std::size_t length = 0;
    int advance = cellWidth_;
    if (isSingleByte()) {
        if (code < 32 || code > 127) return 0;
        if (isProportional()) {
            // The record of code c occupies index bytes 5c - 1 to 5c + 3.
            std::size_t at = 5 * static_cast<std::size_t>(code) - 1;
            if (at + 5 > index_.size()) return -1;
            offset = readBigEndian24(index_.data() + at);
            length = index_[at + 3];
            advance = index_[at + 4];
        } else {
            std::size_t at = 4 * static_cast<std::size_t>(code);
            if (at + 4 > index_.size()) return -1;
            std::uint32_t entry = readBigEndian32(index_.data() + at);
            offset = entry >> 8;
            length = entry & 0xFFu;
        }
    } else {
        int index = glyphIndex(code, codeKind);
        if (index < 0) return -1;
        std::uint32_t entry = readBigEndian32(index_.data() + 4 * static_cast<std::size_t>(index));
        offset = entry >> 8;
        length = entry & 0xFFu;
    }
    std::size_t copied = copyGlyphBytes(offset, length, dest, capacity);
    if (width) *width = advance;
    return static_cast<int>(copied / 2);
}

int VectorFont::advanceWidth(std::uint32_t code) const {
    if (!open_) return 0;
    if (code < 32 || code > 127) return 0;
    if (!isProportional()) return cellWidth_;
    std::size_t at = 5 * static_cast<std::size_t>(code) - 1;
    if (at + 5 > index_.size()) return 0;
    return index_[at + 4];
}

void VectorFont::decodeGlyph(const std::uint8_t* data, int units,
                             std::vector<GlyphPoint>& points) const {
    points.clear();
    for (int i = 0; i < units; ++i) {
        std::uint8_t first = data[2 * i];
        std::uint8_t second = data[2 * i + 1];
        GlyphPoint p;
        p.x = first & 0x7F;
        p.y = second & 0x7F;
        // The first point always starts a stroke, whatever its bit 7 says.
        p.penDown = i > 0 && (first & 0x80) != 0;
        points.push_back(p);
    }
}

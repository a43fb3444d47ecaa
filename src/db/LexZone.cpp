#include "db/LexZone.h"

#include <charconv>

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/TokenFile.h"

namespace {

constexpr std::size_t kLabelLength = 2;

// Reads up to `count` decimal integers from a line; the ones missing stay as they are. False
// when a value is there but is no number in the 32-bit range.
bool readOptionalInts(std::string_view line, std::int32_t* values, int count) {
    std::size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos >= line.size()) return true;
        std::size_t start = pos;
        if (line[pos] == '+') ++start, ++pos;
        std::int32_t v = 0;
        auto r = std::from_chars(line.data() + start, line.data() + line.size(), v);
        if (r.ec != std::errc()) return false;
        values[i] = v;
        pos = static_cast<std::size_t>(r.ptr - line.data());
    }
    return true;
}

}  // namespace

LexZone::LexZone() : flags_(1u << 8) {}

LexZone::~LexZone() = default;

LexZone::LexZone(const LexZone& other)
    : LexObject(other),
      flags_(other.flags_),
      pitchX_(other.pitchX_),
      pitchY_(other.pitchY_),
      label1_(other.label1_),
      label2_(other.label2_),
      offsetX_(other.offsetX_),
      offsetY_(other.offsetY_),
      extra_(other.extra_) {}

std::unique_ptr<LexObject> LexZone::clone() const {
    return std::unique_ptr<LexObject>(new LexZone(*this));
}

void LexZone::setMode(int mode) {
    flags_ = (flags_ & ~(3u << 1)) | ((static_cast<std::uint32_t>(mode) & 3u) << 1);
}

void LexZone::setKind(int kind) {
    flags_ = (flags_ & ~(0xFFu << 8)) | ((static_cast<std::uint32_t>(kind) & 0xFFu) << 8);
}

void LexZone::setPitch(std::int32_t x, std::int32_t y) {
    pitchX_ = x;
    pitchY_ = y;
}

void LexZone::setOffset(std::int32_t x, std::int32_t y) {
    offsetX_ = x;
    offsetY_ = y;
}

void LexZone::setLabels(std::string_view first, std::string_view second) {
    label1_ = std::string(first.substr(0, kLabelLength));
    label2_ = std::string(second.substr(0, kLabelLength));
}

int LexZone::write(TokenFile& file) {
    writeRecordHead(file);
    file.writeUnsigned(flags_ & 1u).space().writeUnsigned(static_cast<std::uint32_t>(mode()));
    file.space().writeUnsigned(static_cast<std::uint32_t>(kind())).endLine();
    file.writeLong(pitchX_).space().writeLong(pitchY_).space().writeLong(offsetX_).space();
    file.writeLong(offsetY_).space().writeSigned(extra_).endLine();
    file.writeString(label1_).endLine();
    file.writeString(label2_).endLine();
    file.writeString("}").endLine();
    return 1;
}

std::uint32_t LexZone::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    if (id == 0) return 0;
    std::uint32_t visible = 0, mode = 0, kind = 0;
    std::int32_t px = 0, py = 0;
    std::int32_t rest[3] = {0, 0, 0};
    std::string line, first, second;
    if (!file.readUnsigned(visible) || !file.readUnsigned(mode) || !file.readUnsigned(kind) ||
        !file.readLong(px) || !file.readLong(py) || !file.readLine(line) ||
        !readOptionalInts(line, rest, 3) || !file.readLine(first) || !file.readLine(second)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    flags_ = visible != 0 ? 1u : 0u;
    setMode(static_cast<int>(mode));
    setKind(static_cast<int>(kind));
    pitchX_ = px;
    pitchY_ = py;
    offsetX_ = rest[0];
    offsetY_ = rest[1];
    extra_ = rest[2];
    setLabels(first, second);
    if (!lexExpectToken(file, "}")) return 0;
    return id;
}
